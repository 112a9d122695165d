// Transparency of chart shapes: TTeeBlend saves the background of a
// rectangle before a shape is drawn and blends it back over the drawing
// afterwards (TTeeCanvas::BeginBlending / EndBlending).  On the GDI canvas
// with a back buffer both the saving and the blending work on the buffer
// itself; on any other canvas on its reference canvas.
#pragma once

#include "chartlib/canvas/teecolors.h"
#include "platform/rtl/object.h"
#include "platform/ui/graphics/geometry.h"

class TBitmap;
class TTeeCanvas;

class TTeeBlend : public TObject {
  RTL_CLASS(TTeeBlend, TObject)
public:
  // ACanvas is not owned; with a canvas the background of R is saved.
  TTeeBlend(TTeeCanvas* ACanvas, const TRect& R);
  ~TTeeBlend() override;

  // Normalises R, clamps it to the canvas (at least 1 x 1 inside it) and
  // saves the background under it.  A rectangle wholly right of or below the
  // canvas leaves nothing to blend.
  void SetRectangle(const TRect& R);
  // Blends the saved background over what was drawn since, with the weight
  // 100 - Transparency: 0 keeps the drawing, 100 restores the background.
  void DoBlend(TTeeTransparency Transparency);

  const TRect& Rect() const { return FRect; }

private:
  TBitmap* FBitmap = nullptr;
  TTeeCanvas* FCanvas;
  TRect FRect;
  bool IValidSize = false;
};

// Blends Background over Target at Position with Amount percent of the
// target kept: constant alpha 255 - Round(Amount × 2.55) for the background.
// The system routine of "msimg32.dll" is used when available (decided once
// per run), else the same weighting per 24-bit pixel.
void TeeBlendBitmaps(double Amount, TBitmap* Background, TBitmap* Target, TPoint Position);
