#include "chartlib/canvas/teecolors.h"

#include "platform/rtl/rtlmath.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/metrics.h"

#include <algorithm>

namespace {

constexpr double InchesPerMetre = 39.370079;

bool isSystemColor(TColor C) {
  const Cardinal U = Cardinal(C);
  return (U & 0xFF000000u) == 0xFF000000u && (U & 0x00FFFFFFu) <= Cardinal(gdi::MaxSysColorIndex);
}

template <class Fn>
TColor perChannel(TColor AColor, Fn Channel) {
  TColor Result = 0;
  for (int Shift = 0; Shift < 24; Shift += 8) Result |= Channel((AColor >> Shift) & 0xFF) << Shift;
  return Result;
}

template <class Row>
std::vector<Row*> scanLines(TBitmap* Bitmap, TPixelFormat Format) {
  Bitmap->SetPixelFormat(Format);
  const Integer Height = Bitmap->Height();
  std::vector<Row*> Result;
  if (Height <= 0) return Result;
  Result.reserve(Height);
  auto* First = static_cast<Byte*>(Bitmap->ScanLine(0));
  Result.push_back(reinterpret_cast<Row*>(First));
  if (Height == 1) return Result;
  const std::ptrdiff_t Stride = static_cast<Byte*>(Bitmap->ScanLine(1)) - First;
  for (Integer Y = 1; Y < Height; ++Y) Result.push_back(reinterpret_cast<Row*>(First + Y * Stride));
  return Result;
}

}  // namespace

TColor SystemColor(TColor AColor) {
  if (AColor == clNone) return clBlack;
  return isSystemColor(AColor) ? ColorToRGB(AColor) : AColor;
}

Byte ColorAlpha(TColor AColor) { return Byte((Cardinal(AColor) >> 24) & 0xFF); }

TColor ColorFrom(TColor AColor, Byte Alpha) { return TColor((Cardinal(Alpha) << 24) | (Cardinal(AColor) & 0xFFFFFF)); }

TColor TeeDarkenColor(TColor AColor, Byte Quantity) {
  return perChannel(AColor, [Quantity](int B) { return B > Quantity ? B - Quantity : 0; });
}

TColor TeeBrightenColor(TColor AColor, Byte Quantity) {
  return perChannel(AColor, [Quantity](int B) { return std::min(B + Quantity, 255); });
}

TRGB TeeColorToRGB(TColor AColor) {
  return {Byte((AColor >> 16) & 0xFF), Byte((AColor >> 8) & 0xFF), Byte(AColor & 0xFF)};
}

TRGBArray TeeCalcScanLines(TBitmap* Bitmap) { return scanLines<TRGB>(Bitmap, pf24bit); }

TRGBAArray TeeCalcScanLinesRGBA(TBitmap* Bitmap) { return scanLines<TRGBA>(Bitmap, pf32bit); }

Integer TeeBitsPerPixel(gdi::HDC DC) { return gdi::GetDeviceCaps(DC, gdi::BITSPIXEL) * gdi::GetDeviceCaps(DC, gdi::PLANES); }

void TeeSetBitmapSize(TBitmap* Bitmap, Integer Width, Integer Height) {
  if (Bitmap->Width() != Width || Bitmap->Height() != Height) Bitmap->SetSize(Width, Height);
}

void TeeSetBitmapDPI(TBitmap* Bitmap, Integer DPI) {
  // the whole 32-bit value: a 16-bit one is wrong above 1664 DPI
  const Integer PelsPerMetre = Integer(Round(DPI * InchesPerMetre));
  Bitmap->SetXPelsPerMeter(PelsPerMetre);
  Bitmap->SetYPelsPerMeter(PelsPerMetre);
}
