#include "platform/ui/graphics/regions.h"

#include "tests/support/testing.h"

#include <QRegion>

using namespace gdi;

namespace {

class RegionTest : public ::testing::Test {
 protected:
  void SetUp() override { Baseline = GdiObjectCount(); }
  void TearDown() override {
    for (HRGN R : Regions) DeleteObject(R);
    EXPECT_EQ(GdiObjectCount(), Baseline) << "GDI objects leaked";
  }
  HRGN keep(HRGN R) {
    Regions.push_back(R);
    return R;
  }
  RECT box(HRGN R) {
    RECT B;
    GetRgnBox(R, &B);
    return B;
  }
  int Baseline = 0;
  std::vector<HRGN> Regions;
};

TEST_F(RegionTest, RectangleRegionsExcludeRightAndBottom) {
  HRGN R = keep(CreateRectRgn(2, 3, 6, 8));
  EXPECT_TRUE(PtInRegion(R, 2, 3));
  EXPECT_TRUE(PtInRegion(R, 5, 7));
  EXPECT_FALSE(PtInRegion(R, 6, 7));
  EXPECT_FALSE(PtInRegion(R, 5, 8));
  EXPECT_EQ(box(R), Rect(2, 3, 6, 8));
  HRGN Swapped = keep(CreateRectRgn(6, 8, 2, 3));  // corners are normalised
  EXPECT_TRUE(EqualRgn(R, Swapped));
  HRGN Empty = keep(CreateRectRgn(5, 5, 5, 9));
  RECT B;
  EXPECT_EQ(GetRgnBox(Empty, &B), NULLREGION);
  EXPECT_EQ(B, Rect(0, 0, 0, 0));
}

TEST_F(RegionTest, CombineModesOnOverlappingRectangles) {
  struct Case {
    const char* Name;
    int Mode;
    int Type;
    TRect Box;
  } Cases[] = {
      {"and", RGN_AND, SIMPLEREGION, Rect(5, 5, 10, 10)},
      {"or", RGN_OR, COMPLEXREGION, Rect(0, 0, 15, 15)},
      {"xor", RGN_XOR, COMPLEXREGION, Rect(0, 0, 15, 15)},
      {"diff", RGN_DIFF, COMPLEXREGION, Rect(0, 0, 10, 10)},
      {"copy", RGN_COPY, SIMPLEREGION, Rect(0, 0, 10, 10)},
  };
  HRGN A = keep(CreateRectRgn(0, 0, 10, 10));
  HRGN B = keep(CreateRectRgn(5, 5, 15, 15));
  HRGN Dest = keep(CreateRectRgn(0, 0, 0, 0));
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(CombineRgn(Dest, A, B, C.Mode), C.Type);
    EXPECT_EQ(box(Dest), C.Box);
  }
  EXPECT_EQ(CombineRgn(Dest, A, keep(CreateRectRgn(20, 20, 30, 30)), RGN_AND), NULLREGION);
  EXPECT_EQ(CombineRgn(Dest, A, B, 9), ERROR);
  EXPECT_EQ(CombineRgn(Dest, A, nullptr, RGN_OR), ERROR);
  CombineRgn(Dest, A, B, RGN_XOR);
  EXPECT_FALSE(PtInRegion(Dest, 7, 7));
  EXPECT_TRUE(PtInRegion(Dest, 12, 12));
}

TEST_F(RegionTest, PolygonFillModes) {
  const POINT Star[] = {{25, 2}, {39, 46}, {2, 18}, {48, 18}, {11, 46}};
  HRGN Alternate = keep(CreatePolygonRgn(Star, 5, ALTERNATE));
  HRGN Winding = keep(CreatePolygonRgn(Star, 5, WINDING));
  EXPECT_FALSE(PtInRegion(Alternate, 25, 27));
  EXPECT_TRUE(PtInRegion(Winding, 25, 27));
  EXPECT_TRUE(PtInRegion(Alternate, 25, 8));  // a point of the star
  EXPECT_EQ(CreatePolygonRgn(Star, 2, ALTERNATE), nullptr);
  EXPECT_EQ(CreatePolygonRgn(Star, 5, 7), nullptr);
}

TEST_F(RegionTest, EllipticAndRoundedRegionsLeaveTheCorners) {
  HRGN E = keep(CreateEllipticRgn(0, 0, 20, 10));
  for (TPoint Corner : {Point(0, 0), Point(19, 0), Point(0, 9), Point(19, 9)})
    EXPECT_FALSE(PtInRegion(E, Corner.X, Corner.Y)) << Corner.X << "," << Corner.Y;
  EXPECT_TRUE(PtInRegion(E, 10, 5));
  EXPECT_TRUE(PtInRegion(E, 0, 5));
  EXPECT_TRUE(PtInRegion(E, 19, 5));
  EXPECT_EQ(box(E), Rect(0, 0, 20, 10));
  HRGN R = keep(CreateRoundRectRgn(0, 0, 20, 20, 8, 8));
  EXPECT_FALSE(PtInRegion(R, 0, 0));
  EXPECT_TRUE(PtInRegion(R, 4, 0));
  EXPECT_TRUE(PtInRegion(R, 0, 10));
  EXPECT_EQ(box(R), Rect(0, 0, 20, 20));
  // built canonically: equal to the same pixels built another way
  HRGN Bands = keep(CreateRectRgn(0, 0, 0, 0));
  CombineRgn(Bands, E, E, RGN_OR);
  EXPECT_TRUE(EqualRgn(Bands, E));
}

TEST_F(RegionTest, OffsetSetAndQuestions) {
  HRGN R = keep(CreateRectRgnIndirect(Rect(0, 0, 4, 4)));
  EXPECT_EQ(OffsetRgn(R, 10, 20), SIMPLEREGION);
  EXPECT_EQ(box(R), Rect(10, 20, 14, 24));
  const RECT Touching = Rect(14, 20, 20, 30), Overlapping = Rect(13, 23, 20, 30);
  EXPECT_FALSE(RectInRegion(R, &Touching));
  EXPECT_TRUE(RectInRegion(R, &Overlapping));
  EXPECT_TRUE(SetRectRgn(R, 1, 1, 2, 2));
  EXPECT_EQ(box(R), Rect(1, 1, 2, 2));
  EXPECT_EQ(RegionOf(R), QRegion(1, 1, 1, 1));
  HRGN Copy = keep(CreateRgnFromRegion(QRegion(1, 1, 1, 1)));
  EXPECT_TRUE(EqualRgn(R, Copy));
}

TEST_F(RegionTest, DeletedRegionsAreRefused) {
  const int Errors = GdiHandleErrors();
  HRGN R = CreateRectRgn(0, 0, 1, 1);
  DeleteObject(R);
  EXPECT_FALSE(PtInRegion(R, 0, 0));
  EXPECT_EQ(OffsetRgn(R, 1, 1), ERROR);
  EXPECT_TRUE(RegionOf(R).isEmpty());
  EXPECT_EQ(GdiHandleErrors(), Errors + 3);
}

}  // namespace
