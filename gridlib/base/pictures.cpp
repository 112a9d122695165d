#include "gridlib/base/pictures.h"

#include "platform/rtl/rtlmath.h"
#include "platform/ui/graphics/canvas.h"

namespace {

// The picture's size for the placement inside a DW x DH rectangle.
TSize placedSize(Integer W, Integer H, Integer DW, Integer DH, TImagePlacementEh Placement) {
  const bool HasPicture = W > 0 && H > 0;
  switch (Placement) {
    case ipFillEh: {
      if (!HasPicture) return {DW, DH};
      const Integer FillWidth = Integer(Trunc(DH / (double(H) / W)));
      if (FillWidth < DW) return {DW, Integer(Trunc(double(H) / W * DW))};
      return {FillWidth, DH};
    }
    case ipFitEh: {
      if (!HasPicture) return {DW, DH};
      const Integer FitHeight = Integer(Trunc(DW / (double(W) / H)));
      if (FitHeight > DH) return {Integer(Trunc(DH * (double(W) / H))), DH};
      return {DW, FitHeight};
    }
    case ipStretchEh: return {DW, DH};
    default: return {W, H};
  }
}

// The offset of a W x H result inside a DW x DH rectangle.
TPoint placedOffset(Integer W, Integer H, Integer DW, Integer DH, TImagePlacementEh Placement) {
  const Integer X = (DW - W) / 2, Y = (DH - H) / 2;
  switch (Placement) {
    case ipTopLeftEh: return {0, 0};
    case ipTopCenterEh: return {X, 0};
    case ipTopRightEh: return {DW - W, 0};
    case ipCenterLeftEh: return {0, Y};
    case ipCenterCenterEh: return {X, Y};
    case ipCenterRightEh: return {DW - W, Y};
    case ipBottomLeftEh: return {0, DH - H};
    case ipBottomCenterEh: return {X, DH - H};
    case ipBottomRightEh: return {DW - W, DH - H};
    case ipFillEh: return H == DH ? TPoint{X, 0} : TPoint{0, Y};
    case ipFitEh: return W == DW ? TPoint{0, Y} : TPoint{X, 0};
    default: return {0, 0};
  }
}

}  // namespace

TRect TPictureEh::GetDestRect(const TRect& SrcRect, TImagePlacementEh Placement) {
  const Integer W = Width(), H = Height(), DW = SrcRect.Width(), DH = SrcRect.Height();
  if (Placement == ipReduceFitEh) Placement = (W > DW || H > DH) ? ipFitEh : ipCenterCenterEh;
  const TSize Size = placedSize(W, H, DW, DH, Placement);
  const TPoint Offset = placedOffset(Size.cx, Size.cy, DW, DH, Placement);
  return Bounds(SrcRect.Left + Offset.X, SrcRect.Top + Offset.Y, Size.cx, Size.cy);
}

void TPictureEh::PaintTo(TCanvas* Canvas, const TRect& DestRect, TImagePlacementEh Placement, TPoint /*ShiftPoint*/,
                         const TRect& /*ClipRect*/) {
  if (!Graphic()) return;
  if (Placement != ipTileEh) {
    Canvas->StretchDraw(GetDestRect(DestRect, Placement), Graphic());
    return;
  }
  const Integer W = Width(), H = Height();
  if (W <= 0 || H <= 0) return;
  for (Integer Y = DestRect.Top; Y < DestRect.Bottom; Y += H)
    for (Integer X = DestRect.Left; X < DestRect.Right; X += W) Canvas->Draw(X, Y, Graphic());
}
