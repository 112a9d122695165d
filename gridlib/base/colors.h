// Colour arithmetic of the library's painters: mixing, luminance, gray,
// lightness, the darker of two colours and style-mapped system colours, and
// the small integer helpers painters use beside them.
//
// Every routine resolves system colours (ColorToRGB) before it computes, and
// every result is a plain $00BBGGRR value.
#pragma once

#include "platform/ui/graphics/graphics.h"

// Per channel From + Trunc((To - From) / 255 * Weight), Weight 0..255; both
// colours pass GetStyledSystemColorEh first.
TColor MixColorsEh(TColor FromColor, TColor ToColor, double Weight);
// Per channel Round(C1 + (C2 - C1) * Percent / 100); no style mapping.
TColor MixColorsPercentEh(TColor Color1, TColor Color2, Integer Percent);
// (77 * blue + 150 * green + 29 * red) shr 8.  The weights run from the high
// byte down, so the large one lands on blue, not on red as in the usual
// luma; painters depend on these values.
Integer ColorLuminanceEh(TColor Color);
// The luminance as a gray.
TColor ColorToGrayEh(TColor Color);
// Color2 when it is darker than Color1, else Color1 (ties too).
TColor DarkerOfColorsEh(TColor Color1, TColor Color2);
// The colour with its lightness replaced by Value / 256 (256 is white).
TColor ColorWithLightnessEh(TColor Color, Integer Value);
// The active style's mapping of Color; plain colours come back unchanged.
TColor GetStyledSystemColorEh(TColor Color);
// The colour for ImageList_DrawEx: clNone as CLR_NONE, clDefault as
// CLR_DEFAULT, the rest resolved.
gdi::COLORREF ColorToImageListColorEh(TColor Color);
TColor RGBToColorEh(Byte R, Byte G, Byte B);

Integer MaxIntEh(Integer A, Integer B);
Integer MinIntEh(Integer A, Integer B);
Integer IfThenIntEh(bool Condition, Integer IfTrue, Integer IfFalse);
