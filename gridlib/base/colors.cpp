#include "gridlib/base/colors.h"

#include "platform/rtl/rtlmath.h"
#include "platform/ui/graphics/imagelist.h"
#include "platform/ui/graphics/styles.h"

#include <algorithm>

using gdi::GetBValue;
using gdi::GetGValue;
using gdi::GetRValue;

namespace {

constexpr double MaxChannel = 255;
constexpr Integer LuminanceBlue = 77, LuminanceGreen = 150, LuminanceRed = 29;
constexpr double LightnessScale = 256;

Byte clampChannel(Int64 Value) { return Byte(std::clamp<Int64>(Value, 0, 255)); }

gdi::COLORREF resolved(TColor Color) { return gdi::COLORREF(ColorToRGB(Color)); }

}  // namespace

TColor MixColorsEh(TColor FromColor, TColor ToColor, double Weight) {
  const gdi::COLORREF From = resolved(GetStyledSystemColorEh(FromColor));
  const gdi::COLORREF To = resolved(GetStyledSystemColorEh(ToColor));
  const auto Mix = [Weight](Byte F, Byte T) { return clampChannel(F + Trunc((T - F) / MaxChannel * Weight)); };
  return RGBToColorEh(Mix(GetRValue(From), GetRValue(To)), Mix(GetGValue(From), GetGValue(To)),
                      Mix(GetBValue(From), GetBValue(To)));
}

TColor MixColorsPercentEh(TColor Color1, TColor Color2, Integer Percent) {
  const gdi::COLORREF C1 = resolved(Color1), C2 = resolved(Color2);
  const auto Mix = [Percent](Byte A, Byte B) { return clampChannel(Round(A + (B - A) * Percent / 100.0)); };
  return RGBToColorEh(Mix(GetRValue(C1), GetRValue(C2)), Mix(GetGValue(C1), GetGValue(C2)),
                      Mix(GetBValue(C1), GetBValue(C2)));
}

Integer ColorLuminanceEh(TColor Color) {
  const gdi::COLORREF C = resolved(Color);
  return (LuminanceBlue * GetBValue(C) + LuminanceGreen * GetGValue(C) + LuminanceRed * GetRValue(C)) >> 8;
}

TColor ColorToGrayEh(TColor Color) { return ColorLuminanceEh(Color) * 0x010101; }

TColor DarkerOfColorsEh(TColor Color1, TColor Color2) {
  return ColorLuminanceEh(Color2) < ColorLuminanceEh(Color1) ? Color2 : Color1;
}

TColor ColorWithLightnessEh(TColor Color, Integer Value) {
  float H, S, L;
  RGBtoHSL(ColorToRGB(Color), H, S, L);
  return HSLtoRGB(H, S, float(Value / LightnessScale));
}

TColor GetStyledSystemColorEh(TColor Color) { return StyleServices()->GetSystemColor(Color); }

gdi::COLORREF ColorToImageListColorEh(TColor Color) {
  if (Color == clNone) return gdi::CLR_NONE;
  if (Color == clDefault) return gdi::CLR_DEFAULT;
  return resolved(Color);
}

TColor RGBToColorEh(Byte R, Byte G, Byte B) { return TColor(R + G * 256 + B * 65536); }

Integer MaxIntEh(Integer A, Integer B) { return A > B ? A : B; }

Integer MinIntEh(Integer A, Integer B) { return A < B ? A : B; }

Integer IfThenIntEh(bool Condition, Integer IfTrue, Integer IfFalse) { return Condition ? IfTrue : IfFalse; }
