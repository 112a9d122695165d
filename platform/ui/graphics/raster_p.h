// Rasterisation and pixel writing of the drawing core (see gdi_p.h).
//
// Every primitive becomes spans of surface pixels (one row, X1 exclusive)
// that are then painted with an ink: a colour, a hatch, and the binary raster
// operation.  Spans are cut to the DC's clip here, so primitives never clip.
// Image surfaces are written pixel by pixel (exact raster operations on any
// format, alpha 255 on 32-bit images); surfaces without readable pixels get
// the spans as filled rectangles through their painter, as R2_COPYPEN.
#pragma once

#include "platform/ui/graphics/gdi_p.h"

#include <QImage>
#include <QPainterPath>
#include <vector>

namespace gdi::detail {

struct TSpan {
  int Y;
  int X0;
  int X1;  // exclusive
};
using TSpans = std::vector<TSpan>;

// How covered pixels are painted.
struct TInk {
  COLORREF Color = 0;        // 24 bits
  int Rop2 = R2_COPYPEN;
  int Hatch = -1;            // HS_* for hatched ink, -1 solid
  COLORREF Back = 0;         // hatch gaps, when OpaqueBack
  bool OpaqueBack = false;
  TPoint Origin;             // hatch and pattern origin in surface pixels
  // a pattern brush's pixels, tiled from Origin (not owned); a monochrome
  // one paints its 0 bits in Color and its 1 bits in Back
  const QImage* Pattern = nullptr;
};

// R2_* over the 24 colour bits of pen P and destination D.
DWORD ApplyRop2(int Rop2, DWORD P, DWORD D);
// A ternary ROP (bits 16..23: the result for index 4P + 2S + D) over 24 bits.
DWORD ApplyRop3(DWORD Rop, DWORD P, DWORD S, DWORD D);
// Whether the ternary ROP reads the pattern, source or destination.
bool Rop3UsesPattern(DWORD Rop);
bool Rop3UsesSource(DWORD Rop);
bool Rop3UsesDest(DWORD Rop);
// The 8 x 8 hatch pattern: true where the hatch line is, at pattern offset (X, Y).
bool HatchBit(int Hatch, int X, int Y);

// Pixels of any image format as COLORREF: 32-bit formats by their stored
// B, G, R bytes (alpha ignored), palettes through their colour table.
COLORREF ReadPixel(const QImage& Image, int X, int Y);
// Writes Color (32-bit formats with alpha 255, palettes the nearest entry).
void WritePixel(QImage& Image, int X, int Y, COLORREF Color);
// A one-bit image: blits treat its pixels as bits, not colours.
inline bool IsMonochrome(const QImage& Image) { return Image.depth() == 1; }
// The bit of a pixel of a one-bit image (its colour-table index).
inline int MonoBit(const QImage& Image, int X, int Y) { return Image.pixelIndex(X, Y); }

// The pattern brush's colour at surface pixel (X, Y); Ink.Pattern is set.
COLORREF PatternPixel(const TInk& Ink, int X, int Y);

// The spans of DC's clip inside each of Spans, handed to Fn(Y, X0, X1).
template <class F>
void ForEachClipped(const TSurfaceClip& Clip, const TSpans& Spans, F Fn) {
  for (const TSpan& S : Spans) {
    if (S.Y < Clip.Bounds.top() || S.Y > Clip.Bounds.bottom() || S.X1 <= S.X0) continue;
    for (const QRect& R : Clip.Rects) {
      if (S.Y < R.top()) break;  // banded: later rectangles lie lower
      if (S.Y > R.bottom()) continue;
      const int X0 = std::max(S.X0, R.left());
      const int X1 = std::min(S.X1, R.right() + 1);
      if (X0 < X1) Fn(S.Y, X0, X1);
    }
  }
}

// Paints Spans on DC's surface with Ink, inside the DC's clip.
void PaintSpans(TDC& DC, const TSpans& Spans, const TInk& Ink);

// Rows of a rectangle of surface pixels.
void AppendRect(TSpans& Out, const QRect& R);
// One span per pixel, neighbours in a row merged.
void AppendPixels(TSpans& Out, const std::vector<TPoint>& Pixels);

// The pixels of the line from A to B without B (none when A == B).
void AppendLinePixels(std::vector<TPoint>& Out, TPoint A, TPoint B);

// A coverage mask over a rectangle of surface pixels, for shapes.
class TMask {
public:
  explicit TMask(const QRect& Bounds);
  const QRect& Bounds() const { return FBounds; }
  bool IsEmpty() const { return FBounds.isEmpty(); }
  // Pixels whose centres lie inside Path (surface coordinates, where pixel
  // (X, Y) spans [X, X + 1)).
  void FillPath(const QPainterPath& Path, Qt::FillRule Rule);
  void Set(int X, int Y);
  void Clear(int X, int Y);
  bool Test(int X, int Y) const;
  // Clears every pixel that A or B covers; each has these bounds or is
  // empty.
  void ClearCovered(const TMask& A, const TMask& B);
  void AppendSpans(TSpans& Out) const;

private:
  QRect FBounds;
  QImage FImage;  // Alpha8; non-zero = covered
};

}  // namespace gdi::detail
