// Integer points, sizes and rectangles of the drawing and windowing code.
//
// A rectangle is (Left, Top, Right, Bottom) with Right and Bottom exclusive:
// it covers the pixels Left .. Right-1 by Top .. Bottom-1, so Width = Right -
// Left.  A rectangle with Right <= Left or Bottom <= Top is empty.
#pragma once

#include "platform/rtl/system.h"

struct TPoint {
  Integer X = 0;
  Integer Y = 0;
  friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  Integer cx = 0;
  Integer cy = 0;
  friend constexpr bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
  Integer Left = 0;
  Integer Top = 0;
  Integer Right = 0;
  Integer Bottom = 0;

  constexpr TRect() = default;
  constexpr TRect(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom)
      : Left(ALeft), Top(ATop), Right(ARight), Bottom(ABottom) {}

  constexpr Integer Width() const { return Right - Left; }
  constexpr Integer Height() const { return Bottom - Top; }
  constexpr TPoint TopLeft() const { return {Left, Top}; }
  constexpr TPoint BottomRight() const { return {Right, Bottom}; }
  constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  // Left <= X < Right and Top <= Y < Bottom.
  constexpr bool Contains(TPoint P) const { return P.X >= Left && P.X < Right && P.Y >= Top && P.Y < Bottom; }
  friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

// A rectangle of single-precision coordinates (paths and shapes drawn with
// fractions of a pixel).
struct TRectF {
  float Left = 0;
  float Top = 0;
  float Right = 0;
  float Bottom = 0;

  constexpr float Width() const { return Right - Left; }
  constexpr float Height() const { return Bottom - Top; }
  friend constexpr bool operator==(const TRectF&, const TRectF&) = default;
};

constexpr TPoint Point(Integer X, Integer Y) { return {X, Y}; }
constexpr TRect Rect(Integer Left, Integer Top, Integer Right, Integer Bottom) { return {Left, Top, Right, Bottom}; }
constexpr TRect Bounds(Integer Left, Integer Top, Integer Width, Integer Height) {
  return {Left, Top, Left + Width, Top + Height};
}

// The flat rectangle routines; each answers whether its result is non-empty
// where the original did.
bool IsRectEmpty(const TRect& R);
bool PtInRect(const TRect& R, TPoint P);
bool EqualRect(const TRect& A, const TRect& B);
void SetRect(TRect& R, Integer Left, Integer Top, Integer Right, Integer Bottom);
void SetRectEmpty(TRect& R);
void OffsetRect(TRect& R, Integer DX, Integer DY);
void InflateRect(TRect& R, Integer DX, Integer DY);
// Dest := A * B; an empty intersection gives (0,0,0,0) and false.
bool IntersectRect(TRect& Dest, const TRect& A, const TRect& B);
// Dest := the bounding box of the non-empty ones of A and B.
bool UnionRect(TRect& Dest, const TRect& A, const TRect& B);
// Right >= Left and Bottom >= Top, by swapping.
TRect NormalizedRect(const TRect& R);
