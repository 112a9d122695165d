// Colours, pixel records and bitmap helpers of the chart canvas.
//
// Chart colours are TColor values: $00BBGGRR for RGB, $FF0000xx for system
// colour xx, clNone ($1FFFFFFF: nothing painted), clDefault ($20000000: the
// owner decides when drawing), and an alpha byte 1..$FE carried in the top
// byte of an RGB colour (ColorFrom, ColorAlpha).
//
// Pixel rows: TeeCalcScanLines and TeeCalcScanLinesRGBA switch a bitmap to 24
// or 32 bits per pixel and answer one row address per row.  TRGB is the
// 24-bit pixel {Blue, Green, Red}.  TRGBA is declared {Red, Green, Blue,
// Alpha} but lies over 32-bit rows whose bytes are blue, green, red, alpha:
// its Red field holds the pixel's blue byte and its Blue field the red byte.
#pragma once

#include "platform/ui/graphics/graphics.h"

#include <vector>

class TBitmap;

// Transparency of chart drawing, percent: 0 opaque .. 100 invisible.
using TTeeTransparency = Integer;

struct TRGB {
  Byte Blue = 0;
  Byte Green = 0;
  Byte Red = 0;
};
static_assert(sizeof(TRGB) == 3);

struct TRGBA {
  Byte Red = 0;
  Byte Green = 0;
  Byte Blue = 0;
  Byte Alpha = 0;
};
static_assert(sizeof(TRGBA) == 4);

using TRGBArray = std::vector<TRGB*>;    // row addresses, row 0 first
using TRGBAArray = std::vector<TRGBA*>;

// colours
// clNone gives black; a system colour its RGB value; anything else unchanged.
TColor SystemColor(TColor AColor);
Byte ColorAlpha(TColor AColor);
TColor ColorFrom(TColor AColor, Byte Alpha);
// Per red, green and blue byte: the byte minus Quantity, at least 0 / plus
// Quantity, at most 255; the top byte of the result is 0.  On raw bytes: pass
// RGB colours.
TColor TeeDarkenColor(TColor AColor, Byte Quantity);
TColor TeeBrightenColor(TColor AColor, Byte Quantity);
TRGB TeeColorToRGB(TColor AColor);

// pixel rows
// Switch Bitmap to 24 / 32 bits per pixel; rows after the first two are
// addressed by the stride between rows 0 and 1.  Valid until the bitmap's
// size or format changes.
TRGBArray TeeCalcScanLines(TBitmap* Bitmap);
TRGBAArray TeeCalcScanLinesRGBA(TBitmap* Bitmap);
// Bits per pixel times planes of a device context.
Integer TeeBitsPerPixel(gdi::HDC DC);

// bitmaps
// Resizes only when the size differs, so an unchanged bitmap keeps its pixels.
void TeeSetBitmapSize(TBitmap* Bitmap, Integer Width, Integer Height);
// Stores DPI as the bitmap's resolution (pixels per metre, both directions).
void TeeSetBitmapDPI(TBitmap* Bitmap, Integer DPI);
