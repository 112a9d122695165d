#include "platform/ui/graphics/geometry.h"

#include <algorithm>

bool IsRectEmpty(const TRect& R) { return R.IsEmpty(); }

bool PtInRect(const TRect& R, TPoint P) { return R.Contains(P); }

bool EqualRect(const TRect& A, const TRect& B) { return A == B; }

void SetRect(TRect& R, Integer Left, Integer Top, Integer Right, Integer Bottom) { R = {Left, Top, Right, Bottom}; }

void SetRectEmpty(TRect& R) { R = {}; }

void OffsetRect(TRect& R, Integer DX, Integer DY) {
  R.Left += DX;
  R.Right += DX;
  R.Top += DY;
  R.Bottom += DY;
}

void InflateRect(TRect& R, Integer DX, Integer DY) {
  R.Left -= DX;
  R.Right += DX;
  R.Top -= DY;
  R.Bottom += DY;
}

bool IntersectRect(TRect& Dest, const TRect& A, const TRect& B) {
  TRect R{std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right), std::min(A.Bottom, B.Bottom)};
  if (R.IsEmpty()) R = {};
  Dest = R;
  return !R.IsEmpty();
}

bool UnionRect(TRect& Dest, const TRect& A, const TRect& B) {
  if (A.IsEmpty()) {
    Dest = B.IsEmpty() ? TRect{} : B;
  } else if (B.IsEmpty()) {
    Dest = A;
  } else {
    Dest = {std::min(A.Left, B.Left), std::min(A.Top, B.Top), std::max(A.Right, B.Right), std::max(A.Bottom, B.Bottom)};
  }
  return !Dest.IsEmpty();
}

TRect NormalizedRect(const TRect& R) {
  return {std::min(R.Left, R.Right), std::min(R.Top, R.Bottom), std::max(R.Left, R.Right), std::max(R.Top, R.Bottom)};
}
