#include "chartlib/canvas/teegeometry.h"

#include "platform/rtl/rtlmath.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <numbers>

TPoint TeePointOf(Integer X, Integer Y) { return {X, Y}; }

TRect TeeRect(Integer Left, Integer Top, Integer Right, Integer Bottom) { return {Left, Top, Right, Bottom}; }

TRect TeeSizeRect(Integer Width, Integer Height) { return {0, 0, Width, Height}; }

TRect TeeRectFromCenter(Integer X, Integer Y, Integer XSize, Integer YSize) {
  if (YSize == 0) YSize = XSize;
  return {X - XSize, Y - YSize, X + XSize, Y + YSize};
}

TRect TeeOrderedRect(Integer X0, Integer Y0, Integer X1, Integer Y1) {
  return {std::min(X0, X1), std::min(Y0, Y1), std::max(X0, X1), std::max(Y0, Y1)};
}

TRect TeeNormalizedRect(const TRect& R) { return TeeOrderedRect(R.Left, R.Top, R.Right, R.Bottom); }

bool TeePointInRect(const TRect& R, TPoint P) {
  return P.X >= R.Left && P.X <= R.Right && P.Y >= R.Top && P.Y <= R.Bottom;
}

void TeeInflateRectF(TRectF& R, float DX, float DY) {
  R.Left -= DX;
  R.Top -= DY;
  R.Right += DX;
  R.Bottom += DY;
}

TRect TeePolygonBounds(std::span<const TPoint> P) {
  if (P.empty()) return {};
  TRect R{P[0].X, P[0].Y, P[0].X, P[0].Y};
  for (size_t I = 1; I < P.size(); ++I) {
    if (P[I].X < R.Left)
      R.Left = P[I].X;
    else if (P[I].X > R.Right)
      R.Right = P[I].X;
    if (P[I].Y < R.Top)
      R.Top = P[I].Y;
    else if (P[I].Y > R.Bottom)
      R.Bottom = P[I].Y;
  }
  ++R.Right;
  ++R.Bottom;
  return R;
}

TRect TeeTriangleBounds(const TTrianglePoints& P) { return TeePolygonBounds(P); }

TRectF TeePolygonBoundsF(std::span<const TPointFloat> P) {
  if (P.empty()) return {};
  TRectF R{P[0].x, P[0].y, P[0].x, P[0].y};
  for (size_t I = 1; I < P.size(); ++I) {
    if (P[I].x < R.Left)
      R.Left = P[I].x;
    else if (P[I].x > R.Right)
      R.Right = P[I].x;
    if (P[I].y < R.Top)
      R.Top = P[I].y;
    else if (P[I].y > R.Bottom)
      R.Bottom = P[I].y;
  }
  return R;
}

TPointArray TeeRotatePolygon(std::span<const TPoint> P, float Angle) {
  const TRect B = TeePolygonBounds(P);
  const Integer CX = (B.Left + B.Right) / 2, CY = (B.Top + B.Bottom) / 2;
  const double A = double(Angle) * std::numbers::pi / 180;
  const double S = std::sin(A), C = std::cos(A);
  TPointArray Result;
  Result.reserve(P.size());
  for (const TPoint& Pt : P) {
    const double DX = Pt.X - CX, DY = Pt.Y - CY;
    Result.push_back({CX + Integer(Round(DX * C + DY * S)), CY + Integer(Round(-DX * S + DY * C))});
  }
  return Result;
}

bool TeeIsBackFace(TPoint P0, TPoint P1, TPoint P2) {
  return Int64(P0.X - P1.X) * (P2.Y - P1.Y) - Int64(P2.X - P1.X) * (P0.Y - P1.Y) < 0;
}

bool TeeIsBackFacePoints(std::span<const TPoint> P) {
  assert(P.size() >= 3 && "a face has at least three points");
  return TeeIsBackFace(P[0], P[1], P[2]);
}

bool TeeIsBackFaceF(TPointFloat P0, TPointFloat P1, TPointFloat P2) {
  return (P0.x - P1.x) * (P2.y - P1.y) - (P2.x - P1.x) * (P0.y - P1.y) < 0;
}

double TeeDistance(double A, double B) { return std::sqrt(A * A + B * B); }

double TeeNormalizeAngle(double Angle) {
  constexpr double Turn = 360;
  // whole turns at once: a loop of single turns would not end for huge angles
  if (Angle > Turn) Angle -= Turn * std::ceil((Angle - Turn) / Turn);
  if (Angle < -Turn) Angle += Turn * std::ceil((-Turn - Angle) / Turn);
  if (Angle < 0) Angle += Turn;
  return Angle;
}

