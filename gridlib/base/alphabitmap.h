// The shared 32-bit bitmap with alpha that painters borrow to compose
// semi-transparent highlights: a painter captures it, writes gradient rows
// into it (DrawGradientSegmentsEh writes there while it is captured), blends
// it onto its canvas and releases it.  Only the capture flag guards it, so a
// second capture is a fault of the caller and raises.
//
// The bitmap is made on the first request, grows to the largest request in
// each direction and never shrinks; the library's shutdown frees it.
#pragma once

#include "platform/ui/graphics/bitmap.h"

class TCacheAlphaBitmapEh : public TBitmap {
  RTL_CLASS_META(TCacheAlphaBitmapEh, TBitmap, TGraphicClassOf<TCacheAlphaBitmapEh>)
public:
  TCacheAlphaBitmapEh() = default;

  // Exception "CacheAlphaBitmap have captured" while captured.
  void Capture();
  void Release() { FCapture = false; }
  bool Captured() const { return FCapture; }
  // Opaque pixels of AColor from max(P.X, 0) to P.X + LineWidth, both ends
  // included, clipped to the last column; nothing on a row outside the bitmap
  // or from a column past its right edge.
  void DrawHorzLine(TPoint P, Integer LineWidth, TColor AColor);

private:
  bool FCapture = false;
};

// The shared bitmap, at least AWidth x AHeight.
TCacheAlphaBitmapEh* GetCacheAlphaBitmapEh(Integer AWidth, Integer AHeight);
// The shared bitmap exists and is captured.
bool IsCacheAlphaBitmapCapturedEh();
// The library's shutdown: frees the shared bitmap.
void FreeCacheAlphaBitmapEh();
