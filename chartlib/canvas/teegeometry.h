// Point types of the chart canvas and the small geometry routines every chart
// part uses: rectangles and points, polygon bounds and rotation, back-face
// tests of 3D faces and distances.
//
// Chart points are (x, y) in pixels; the 3D canvas adds a depth z.  Bounds
// follow the pixel rule of the drawing layer: a polygon's bounds reach one past
// its largest coordinates, so they cover the extreme pixels.
#pragma once

#include "platform/ui/graphics/geometry.h"

#include <array>
#include <span>
#include <vector>

struct TPointFloat {
  float x = 0;
  float y = 0;
  friend constexpr bool operator==(const TPointFloat&, const TPointFloat&) = default;
};

using TPointArray = std::vector<TPoint>;
using TPointFloatArray = std::vector<TPointFloat>;
using TFourPoints = std::array<TPoint, 4>;
using TTrianglePoints = std::array<TPoint, 3>;

// rectangles and points
TPoint TeePointOf(Integer X, Integer Y);
// The four edges as given, not reordered.
TRect TeeRect(Integer Left, Integer Top, Integer Right, Integer Bottom);
TRect TeeSizeRect(Integer Width, Integer Height);
TRect TeeOrderedRect(Integer X0, Integer Y0, Integer X1, Integer Y1);
// (X - XSize, Y - YSize, X + XSize, Y + YSize); a YSize of 0 means XSize.
TRect TeeRectFromCenter(Integer X, Integer Y, Integer XSize, Integer YSize);
TRect TeeNormalizedRect(const TRect& R);
// All four edges inclusive.
bool TeePointInRect(const TRect& R, TPoint P);
void TeeInflateRectF(TRectF& R, float DX, float DY);

// bounds
// Left = min x, Right = max x + 1 (Top and Bottom likewise); (0, 0, 0, 0) for
// no points.  A point lowers Left or raises Right, never both.
TRect TeePolygonBounds(std::span<const TPoint> P);
TRect TeeTriangleBounds(const TTrianglePoints& P);
// The plain extremes, no + 1; (0, 0, 0, 0) for no points.
TRectF TeePolygonBoundsF(std::span<const TPointFloat> P);
// P turned by Angle degrees counter-clockwise on screen about the centre of
// its bounds, in the same order.
TPointArray TeeRotatePolygon(std::span<const TPoint> P, float Angle);

// back faces: the turn P0 -> P1 -> P2 is clockwise on screen
bool TeeIsBackFace(TPoint P0, TPoint P1, TPoint P2);
// The first three points.
bool TeeIsBackFacePoints(std::span<const TPoint> P);
bool TeeIsBackFaceF(TPointFloat P0, TPointFloat P1, TPointFloat P2);

// The square root of A² + B².
double TeeDistance(double A, double B);

// Angle (degrees) brought into 0 .. 360: 360 is subtracted while above 360
// and added while below -360, then once more to a negative angle.
double TeeNormalizeAngle(double Angle);
