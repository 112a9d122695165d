#include "platform/ui/graphics/geometry.h"

#include "tests/support/testing.h"

namespace {

TEST(GeometryTest, IntersectAndUnion) {
  struct Case {
    const char* Name;
    TRect A, B;
    bool Intersects;
    TRect Intersection, Union;
  } Cases[] = {
      {"overlap", Rect(0, 0, 10, 10), Rect(5, 5, 15, 15), true, Rect(5, 5, 10, 10), Rect(0, 0, 15, 15)},
      {"touching edges", Rect(0, 0, 10, 10), Rect(10, 0, 20, 10), false, Rect(0, 0, 0, 0), Rect(0, 0, 20, 10)},
      {"inside", Rect(0, 0, 10, 10), Rect(2, 2, 3, 3), true, Rect(2, 2, 3, 3), Rect(0, 0, 10, 10)},
      {"one empty", Rect(0, 0, 10, 10), Rect(50, 50, 50, 60), false, Rect(0, 0, 0, 0), Rect(0, 0, 10, 10)},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TRect R;
    EXPECT_EQ(IntersectRect(R, C.A, C.B), C.Intersects);
    EXPECT_EQ(R, C.Intersection);
    EXPECT_TRUE(UnionRect(R, C.A, C.B));
    EXPECT_EQ(R, C.Union);
  }
  TRect R;
  EXPECT_FALSE(UnionRect(R, Rect(1, 1, 1, 1), Rect(5, 5, 2, 2)));
}

TEST(GeometryTest, RectangleRoutines) {
  TRect R = Bounds(10, 20, 30, 40);
  EXPECT_EQ(R, Rect(10, 20, 40, 60));
  EXPECT_EQ(R.Width(), 30);
  EXPECT_TRUE(PtInRect(R, Point(10, 20)));
  EXPECT_FALSE(PtInRect(R, Point(40, 20)));  // right and bottom are outside
  EXPECT_FALSE(PtInRect(R, Point(10, 60)));
  OffsetRect(R, -10, -20);
  EXPECT_EQ(R, Rect(0, 0, 30, 40));
  InflateRect(R, -15, 1);
  EXPECT_EQ(R, Rect(15, -1, 15, 41));
  EXPECT_TRUE(IsRectEmpty(R));
  EXPECT_EQ(NormalizedRect(Rect(5, 6, 1, 2)), Rect(1, 2, 5, 6));
  SetRectEmpty(R);
  EXPECT_EQ(R, TRect());
}

}  // namespace
