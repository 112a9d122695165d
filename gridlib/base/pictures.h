// A picture that places itself in a rectangle: the background pictures of
// grids, the images of cells and edit controls.  Fourteen placements: the
// nine positions at the picture's own size, fill and fit (keeping the
// aspect), reduce-fit (fit only when too large), stretch and tile.
#pragma once

#include "platform/ui/graphics/picture.h"

RTL_ENUM(TImagePlacementEh, ipTopLeftEh, ipTopCenterEh, ipTopRightEh, ipCenterLeftEh, ipCenterCenterEh,
         ipCenterRightEh, ipBottomLeftEh, ipBottomCenterEh, ipBottomRightEh, ipFillEh, ipReduceFitEh, ipFitEh,
         ipStretchEh, ipTileEh)

class TPictureEh : public TPicture {
  RTL_CLASS(TPictureEh, TPicture)
public:
  TPictureEh() = default;

  // introduced virtuals
  // Where the picture goes inside SrcRect.  Fill covers the rectangle and
  // centres along the side that overflows; fit stays inside and centres
  // along the side with room; an empty picture fills or fits as the whole
  // rectangle.
  virtual TRect GetDestRect(const TRect& SrcRect, TImagePlacementEh Placement);
  // Stretch-draws the picture into GetDestRect, or tiles it from DestRect's
  // top-left (the last row and column may run past DestRect).  ShiftPoint and
  // ClipRect are accepted and not used.
  virtual void PaintTo(TCanvas* Canvas, const TRect& DestRect, TImagePlacementEh Placement, TPoint ShiftPoint,
                       const TRect& ClipRect);
};
