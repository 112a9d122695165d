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
#include <algorithm>
#include <limits>
#include <vector>

class QPainterPath;

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

// The clip's rectangles are banded: a band's rectangles share their rows and
// lie left to right, and bands go down.  A rectangle is cut band by band, so
// the rows of a band that none of its rectangles reaches are passed over at
// once (a gradient's column bands inside a polygon clip went row by row
// through every band).  First is the band to start looking from: a walk goes
// on from it, a rectangle above it searches.

// The spans of Clip inside R, handed to Fn(Y, X0, X1) row by row, each row
// left to right.
template <class F>
void ForEachClippedRect(const TSurfaceClip& Clip, const QRect& R, size_t& First, F Fn) {
  const std::vector<QRect>& Rects = Clip.Rects;
  const int Y0 = std::max(R.top(), Clip.Bounds.top()), Y1 = std::min(R.bottom(), Clip.Bounds.bottom());
  const int Left = R.left(), Right = R.right();
  if (Y0 > Y1 || Left > Right) return;
  if (First > Rects.size() || (First > 0 && Rects[First - 1].bottom() >= Y0))
    First = size_t(std::partition_point(Rects.begin(), Rects.end(), [&](const QRect& C) { return C.bottom() < Y0; }) -
                   Rects.begin());
  while (First < Rects.size() && Rects[First].bottom() < Y0) ++First;
  for (size_t Band = First, BandEnd; Band < Rects.size() && Rects[Band].top() <= Y1; Band = BandEnd) {
    bool Reached = false;
    for (BandEnd = Band; BandEnd < Rects.size() && Rects[BandEnd].top() == Rects[Band].top(); ++BandEnd)
      Reached = Reached || (Rects[BandEnd].left() <= Right && Rects[BandEnd].right() >= Left);
    if (!Reached) continue;
    const int RowTo = std::min(Y1, Rects[Band].bottom());
    for (int Y = std::max(Y0, Rects[Band].top()); Y <= RowTo; ++Y)
      for (size_t K = Band; K < BandEnd; ++K) {
        const int X0 = std::max(Left, Rects[K].left()), X1 = std::min(Right, Rects[K].right()) + 1;
        if (X0 < X1) Fn(Y, X0, X1);
      }
  }
}

template <class F>
void ForEachClippedRect(const TSurfaceClip& Clip, const QRect& R, F Fn) {
  size_t First = 0;
  ForEachClippedRect(Clip, R, First, Fn);
}

// The spans of DC's clip inside each of Spans, handed to Fn(Y, X0, X1); spans
// over the same columns on consecutive rows are cut as one rectangle.
template <class F>
void ForEachClipped(const TSurfaceClip& Clip, const TSpans& Spans, F Fn) {
  if (Clip.IsRect) {
    const QRect& B = Clip.Bounds;
    for (const TSpan& S : Spans) {
      const int X0 = std::max(S.X0, B.left()), X1 = std::min(S.X1, B.right() + 1);
      if (S.Y >= B.top() && S.Y <= B.bottom() && X0 < X1) Fn(S.Y, X0, X1);
    }
    return;
  }
  size_t First = 0;
  for (size_t I = 0; I < Spans.size();) {
    const TSpan& S = Spans[I];
    size_t End = I + 1;
    while (End < Spans.size() && Spans[End].X0 == S.X0 && Spans[End].X1 == S.X1 && Spans[End].Y == Spans[End - 1].Y + 1)
      ++End;
    ForEachClippedRect(Clip, QRect(S.X0, S.Y, S.X1 - S.X0, int(End - I)), First, Fn);
    I = End;
  }
}

// Paints Spans on DC's surface with Ink, inside the DC's clip.
void PaintSpans(TDC& DC, const TSpans& Spans, const TInk& Ink);
// Paints a rectangle of surface pixels with Ink, inside the DC's clip.
void PaintRect(TDC& DC, const QRect& Rect, const TInk& Ink);

// One span per pixel, neighbours in a row merged.
void AppendPixels(TSpans& Out, const std::vector<TPoint>& Pixels);

// The pixels of the line from A to B without B (none when A == B).
void AppendLinePixels(std::vector<TPoint>& Out, TPoint A, TPoint B);

// Scan conversion (scanconvert.cpp)

// The pixels whose centres lie inside Path (surface coordinates, where pixel
// (X, Y) spans [X, X + 1)) by Rule, inside Clip: rows top down, each row's
// spans left to right, touching spans merged.  Clip is part of the rule (an
// edge is stepped from its first row inside it): pass the same rectangle for
// the same pixels.
void AppendPathSpans(TSpans& Out, const QPainterPath& Path, Qt::FillRule Rule, const QRect& Clip);
// Pixels inside Clip as spans in that order, each pixel once.
TSpans PixelSpans(const std::vector<TPoint>& Pixels, const QRect& Clip);
// The pixels of From outside Covered; both in that order, without overlaps.
TSpans SubtractSpans(const TSpans& From, const TSpans& Covered);

}  // namespace gdi::detail
