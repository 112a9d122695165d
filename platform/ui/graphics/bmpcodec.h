// BMP files: reading and writing device-independent bitmaps.
//
// Layout (little-endian; offsets from the start of the file)
//    0  2  "BM"
//    2  4  file size (not trusted: writers get it wrong)
//    6  4  reserved
//   10  4  offset of the pixel rows
//   14  4  info header size: 12 (core), 40, 108 (v4) or 124 (v5)
//   core header: 18 width u16, 20 height u16, 22 planes, 24 bit count
//   40 and up:   18 width i32, 22 height i32 (negative: rows top-down),
//                26 planes u16 (1), 28 bit count u16, 30 compression u32,
//                34 image size, 38 X pixels per metre, 42 Y pixels per
//                metre, 46 colours used (0: all 2^bits), 50 colours important
//   v4/v5:       54 red, green, blue and alpha masks
//   A 40-byte header with BI_BITFIELDS is followed by the red, green and
//   blue masks.  The colour table follows the header (and masks): 4 bytes
//   B,G,R,0 per entry, 3 bytes B,G,R for the core header.
//   Pixel rows, bottom-up unless the height is negative, each padded to a
//   multiple of 4 bytes; 1- and 4-bit pixels are packed most significant
//   bits first.
//
// Read: bit counts 1, 4, 8 (colour tables), 16 (BI_RGB 5-5-5 and any
// BI_BITFIELDS), 24 and 32 (BI_RGB and BI_BITFIELDS), uncompressed.
// Written: a 40-byte header, BI_RGB, rows bottom-up; 24 and 32 bits.
#pragma once

#include "platform/rtl/system.h"

#include <QImage>

class TStream;

struct TBmpImage {
  // Mono (1 bit), Indexed8 (4 and 8 bits, full colour tables), RGB555 and
  // RGB16 (5-5-5 and 5-6-5 pixels), BGR888 (24 bits and other 16-bit masks),
  // RGB32 or ARGB32 (32 bits, ARGB32 when an alpha mask is given).
  QImage Image;
  int BitCount = 0;  // as stored in the file
  Integer XPelsPerMeter = 0;
  Integer YPelsPerMeter = 0;
};

// Reads one BMP file at Stream's position and leaves the position after its
// pixel rows.  Bad data raises EInvalidGraphic "Bitmap image is not valid";
// an image over the graphic limits raises CheckGraphicSize's error.
TBmpImage ReadBmp(TStream* Stream);
// Writes a non-null Image: 32-bit formats as 32 bits with their stored
// bytes, every other format as 24 bits.
void WriteBmp(TStream* Stream, const QImage& Image, Integer XPelsPerMeter, Integer YPelsPerMeter);
// A BMP file of a packed device-independent bitmap (an info header, masks,
// colour table and rows, as bitmap resources keep them): the 14-byte file
// header put in front.  A header that does not fit raises EInvalidGraphic
// "Bitmap image is not valid".
QByteArray BmpFileFromDib(const QByteArray& Dib);
