#include "gridlib/base/alphabitmap.h"

#include "platform/rtl/exceptions.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/gdi.h"

#include <algorithm>

namespace {

TCacheAlphaBitmapEh* SharedAlphaBitmap = nullptr;

}  // namespace

void TCacheAlphaBitmapEh::Capture() {
  if (FCapture) throw Exception(QStringLiteral("CacheAlphaBitmap have captured"));
  FCapture = true;
}

void TCacheAlphaBitmapEh::DrawHorzLine(TPoint P, Integer LineWidth, TColor AColor) {
  if (P.Y < 0 || P.Y >= Height() || P.X >= Width()) return;
  const gdi::COLORREF RGB = gdi::COLORREF(ColorToRGB(AColor));
  // 32-bit scanlines hold B, G, R, A bytes.
  const Byte Pixel[4] = {gdi::GetBValue(RGB), gdi::GetGValue(RGB), gdi::GetRValue(RGB), 255};
  auto* Row = static_cast<Byte*>(ScanLine(P.Y));
  const Integer Last = std::min(P.X + LineWidth, Width() - 1);
  for (Integer X = std::max(P.X, 0); X <= Last; ++X) std::copy_n(Pixel, 4, Row + 4 * X);
}

TCacheAlphaBitmapEh* GetCacheAlphaBitmapEh(Integer AWidth, Integer AHeight) {
  if (!SharedAlphaBitmap) {
    SharedAlphaBitmap = new TCacheAlphaBitmapEh;
    SharedAlphaBitmap->SetPixelFormat(pf32bit);
    SharedAlphaBitmap->SetAlphaFormat(afDefined);
    gdi::SetBkMode(SharedAlphaBitmap->Canvas()->Handle(), gdi::TRANSPARENT);
  }
  // One resize for both sides: a bitmap with one side 0 keeps no size.
  const Integer W = std::max(SharedAlphaBitmap->Width(), AWidth);
  const Integer H = std::max(SharedAlphaBitmap->Height(), AHeight);
  if (W != SharedAlphaBitmap->Width() || H != SharedAlphaBitmap->Height()) SharedAlphaBitmap->SetSize(W, H);
  return SharedAlphaBitmap;
}

bool IsCacheAlphaBitmapCapturedEh() { return SharedAlphaBitmap && SharedAlphaBitmap->Captured(); }

void FreeCacheAlphaBitmapEh() { FreeAndNil(SharedAlphaBitmap); }
