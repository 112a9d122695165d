// The GDI+ canvas's paths.
#include "chartlib/canvas/gdipluscanvas.h"

#include "chartlib/canvas/teegradient.h"

#include "tests/chartlib/canvas/gdiplusfixture.h"

#include <memory>

namespace {

class GDIPlusPathTest : public GDIPlusPixelTest {
protected:
  std::unique_ptr<TTeeGDIPlusPath> newPath() {
    return std::unique_ptr<TTeeGDIPlusPath>(static_cast<TTeeGDIPlusPath*>(C.CreatePath()));
  }
};

TEST_F(GDIPlusPathTest, MoveToDoesNotStartAFigure) {
  const auto P = newPath();
  P->MoveTo(0, 0);
  P->LineTo(10, 0);
  P->MoveTo(20, 20);
  P->LineTo(30, 20);
  TPathPointTypes Types;
  TPointFloatArray Points;
  TRectF Bounds;
  P->GetPoints(Types, Points, Bounds);
  EXPECT_EQ(Types, TPathPointTypes({gdiplus::PathPointTypeStart, gdiplus::PathPointTypeLine,
                                    gdiplus::PathPointTypeLine, gdiplus::PathPointTypeLine}));
  EXPECT_EQ(Points, TPointFloatArray({{0, 0}, {10, 0}, {20, 20}, {30, 20}}));
  EXPECT_EQ(Bounds, (TRectF{0, 0, 30, 20}));
}

TEST_F(GDIPlusPathTest, EmptyPathGivesEmptyArrays) {
  const auto P = newPath();
  TPathPointTypes Types{1};
  TPointFloatArray Points{{1, 1}};
  TRectF Bounds{1, 1, 2, 2};
  P->GetPoints(Types, Points, Bounds);
  EXPECT_TRUE(Types.empty());
  EXPECT_TRUE(Points.empty());
  EXPECT_EQ(Bounds, TRectF{});
}

TEST_F(GDIPlusPathTest, PathTextIgnoresBoldAndItalic) {
  auto pointsOf = [&](const TFontStyles& Style) {
    C.Font()->SetStyle(Style);
    const auto P = newPath();
    P->TextOut(5, 5, "Text");
    return P->GPPath()->GetPointCount();
  };
  const int Regular = pointsOf(TFontStyles{});
  EXPECT_GT(Regular, 0);
  EXPECT_EQ(pointsOf(TFontStyles{fsBold, fsItalic}), Regular);
}

TEST_F(GDIPlusPathTest, CreatePathTakesGivenPointsAndDrawsWithBrushAndPen) {
  const TPointFloatArray Corners{{10, 10}, {50, 10}, {50, 40}, {10, 40}};
  const TPathPointTypes Types{gdiplus::PathPointTypeStart, gdiplus::PathPointTypeLine, gdiplus::PathPointTypeLine,
                              gdiplus::PathPointTypeLine | gdiplus::PathPointTypeCloseSubpath};
  std::unique_ptr<TTeeBasePath> P(C.CreatePath(Corners, Types));
  SolidBrush(clBlue);
  C.Pen()->SetStyle(psSolid);
  C.Pen()->SetColor(clRed);
  C.Pen()->SetWidth(3);
  P->Draw(&C);
  EXPECT_EQ(Pixel(30, 25), clBlue);
  EXPECT_EQ(Pixel(30, 10), clRed);
}

TEST_F(GDIPlusPathTest, PenGradientSpansThePathNotTheOrigin) {
  const auto P = newPath();
  P->MoveTo(60, 60);
  P->LineTo(100, 60);
  P->LineTo(100, 90);
  C.Brush()->SetStyle(bsClear);
  C.Pen()->SetStyle(psSolid);
  C.Pen()->SetWidth(2);
  C.Pen()->Fill()->Gradient()->SetVisible(true);
  P->Draw(&C);
  auto* Gradient = dynamic_cast<const gdiplus::LinearGradientBrush*>(C.GPPen()->GetBrush());
  ASSERT_NE(Gradient, nullptr);
  gdiplus::RectF R;
  Gradient->GetRectangle(&R);
  EXPECT_EQ(R, gdiplus::RectF(59, 59, 43, 33));  // the points' bounds plus half the width
}

}  // namespace
