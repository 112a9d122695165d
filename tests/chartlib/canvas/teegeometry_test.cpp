#include "chartlib/canvas/teegeometry.h"

#include "tests/support/testing.h"

// Global, beside TRect, so that the test framework finds it.
inline void PrintTo(const TRect& R, std::ostream* Os) { *Os << "(" << R.Left << ", " << R.Top << ", " << R.Right << ", " << R.Bottom << ")"; }

namespace {

TEST(TeeGeometryTest, RectangleRoutines) {
  EXPECT_EQ(TeeOrderedRect(10, 5, 2, 8), Rect(2, 5, 10, 8));
  EXPECT_EQ(TeeNormalizedRect(Rect(2, 5, 10, 8)), Rect(2, 5, 10, 8));
  EXPECT_EQ(TeeRect(9, 8, 1, 2), Rect(9, 8, 1, 2));  // not reordered
  EXPECT_EQ(TeeSizeRect(4, 3), Rect(0, 0, 4, 3));
  TRectF F{1, 2, 3, 4};
  TeeInflateRectF(F, 0.5f, 1);
  EXPECT_EQ(F, (TRectF{0.5f, 1, 3.5f, 5}));
}

TEST(TeeGeometryTest, PointInRectIncludesAllFourEdges) {
  const TRect R(0, 0, 10, 10);
  struct Case {
    TPoint P;
    bool Inside;
  } const Cases[] = {{{0, 0}, true}, {{10, 5}, true}, {{5, 10}, true}, {{10, 10}, true}, {{11, 5}, false}, {{5, -1}, false}};
  for (const Case& C : Cases) EXPECT_EQ(TeePointInRect(R, C.P), C.Inside) << C.P.X << "," << C.P.Y;
}

TEST(TeeGeometryTest, PolygonBoundsCoverTheExtremePixels) {
  EXPECT_EQ(TeePolygonBounds(TPointArray{{5, 7}}), Rect(5, 7, 6, 8));
  EXPECT_EQ(TeePolygonBounds(TPointArray{}), TRect{});
  EXPECT_EQ(TeePolygonBounds(TPointArray{{3, 9}, {-2, 4}, {7, 1}}), Rect(-2, 1, 8, 10));
  EXPECT_EQ(TeeTriangleBounds({TPoint{0, 0}, TPoint{4, 2}, TPoint{1, 5}}), Rect(0, 0, 5, 6));
  const TRectF F = TeePolygonBoundsF(TPointFloatArray{{1.5f, 2}, {-1, 4.25f}});
  EXPECT_EQ(F, (TRectF{-1, 2, 1.5f, 4.25f}));
  EXPECT_EQ(TeePolygonBoundsF(TPointFloatArray{}), TRectF());
}

TEST(TeeGeometryTest, RotatingASquareTurnsItAboutItsCentre) {
  const TPointArray Square{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  EXPECT_EQ(TeeRotatePolygon(Square, 0), Square);
  // the bounds' centre is (5, 5): each corner lands on the next one
  EXPECT_EQ(TeeRotatePolygon(Square, 90), (TPointArray{{0, 10}, {0, 0}, {10, 0}, {10, 10}}));
}

TEST(TeeGeometryTest, BackFaceIsAClockwiseTurnOnScreen) {
  EXPECT_TRUE(TeeIsBackFace({0, 0}, {10, 0}, {10, 10}));
  EXPECT_FALSE(TeeIsBackFace({10, 10}, {10, 0}, {0, 0}));
  EXPECT_FALSE(TeeIsBackFace({0, 0}, {5, 5}, {10, 10}));  // collinear
  EXPECT_TRUE(TeeIsBackFacePoints(TPointArray{{0, 0}, {10, 0}, {10, 10}, {0, 10}}));
  EXPECT_TRUE(TeeIsBackFaceF({0, 0}, {10, 0}, {10, 10}));
  EXPECT_DOUBLE_EQ(TeeDistance(3, 4), 5);
}

TEST(TeeGeometryTest, NormalizeAngleBringsAnglesIntoOneTurn) {
  const struct {
    double Angle, Expected;
  } Cases[] = {{-30, 330}, {725, 5}, {360, 360}, {720, 360}, {-360, 0}, {-725, 355}, {0, 0}, {90, 90}, {1e300, 0}};
  for (const auto& Cs : Cases) {
    const double A = TeeNormalizeAngle(Cs.Angle);
    if (Cs.Angle < 1e100)
      EXPECT_EQ(A, Cs.Expected) << Cs.Angle;
    else
      EXPECT_TRUE(A >= 0 && A <= 360) << A;  // huge angles end too
  }
}

TEST(TeeGeometryTest, RectFromCenterTakesTheWidthForANoughtHeight) {
  EXPECT_EQ(TeeRectFromCenter(50, 40, 10, 5), Rect(40, 35, 60, 45));
  EXPECT_EQ(TeeRectFromCenter(50, 40, 10, 0), Rect(40, 30, 60, 50));
}

}  // namespace
