// The GDI+ canvas's lines and shapes: what it asks of GDI+ (recorded) and
// what it paints.
#include "chartlib/canvas/gdipluscanvas.h"

#include "chartlib/canvas/teegradient.h"

#include "tests/chartlib/canvas/gdiplusfixture.h"
#include "tests/platform/ui/pixelhelpers.h"

namespace {

class GDIPlusShapesTest : public GDIPlusRecordingTest {
protected:
  void SetUp() override {
    GDIPlusRecordingTest::SetUp();
    C.Brush()->SetStyle(bsSolid);
    C.Brush()->SetColor(clRed);
    C.Pen()->SetStyle(psSolid);
    C.Pen()->SetColor(clBlack);
    C.Pen()->SetWidth(1);
    Calls().clear();
  }
  // The number of points a recorded polygon or path call lists.
  static int pointCount(const QString& Call) {
    const QString Args = Call.mid(Call.indexOf('(') + 1, Call.indexOf(')') - Call.indexOf('(') - 1);
    return int(Args.split(',').size() / 2);
  }
};

TEST_F(GDIPlusShapesTest, RectangleFillsInsideAWideOutline) {
  struct Case {
    const char* Name;
    Integer Width;
    TRect R;
    QStringList Expected;
  } const Cases[] = {
      {"thin pen", 1, Rect(10, 10, 50, 40),
       {"FillRectangle(10,10,40,30) brush=$FFFF0000", "DrawRectangle(10,10,40,30) pen=$FF000000"}},
      {"corners swapped", 1, Rect(50, 40, 10, 10),
       {"FillRectangle(10,10,40,30) brush=$FFFF0000", "DrawRectangle(10,10,40,30) pen=$FF000000"}},
      {"4-pixel pen", 4, Rect(10, 10, 50, 40),
       {"FillRectangle(12,12,36,26) brush=$FFFF0000", "DrawRectangle(10,10,40,30) pen=$FF000000/w4"}},
  };
  for (const Case& Cs : Cases) {
    SCOPED_TRACE(Cs.Name);
    C.Pen()->SetWidth(Cs.Width);
    Calls().clear();
    C.Rectangle(Cs.R.Left, Cs.R.Top, Cs.R.Right, Cs.R.Bottom);
    EXPECT_EQ(Calls(), Cs.Expected);
  }
}

TEST_F(GDIPlusShapesTest, RoundRectPathCornerBoxesAreLimitedAndAtLeastOnePixel) {
  struct Case {
    const char* Name;
    Integer X;
    float FirstX;  // the first arc starts at the top of its box: Right - w / 2
  } const Cases[] = {{"15 limited to the 10-pixel rectangle", 15, 5}, {"1 stays 1", 1, 9.5f}};
  for (const Case& Cs : Cases) {
    SCOPED_TRACE(Cs.Name);
    const auto P = TGDIPlusCanvas::RoundRectPath(Rect(0, 0, 10, 10), Cs.X, Cs.X);
    gdiplus::PointF First;
    std::vector<gdiplus::PointF> Points(static_cast<size_t>(P->GetPointCount()));
    P->GetPathPoints(Points.data(), P->GetPointCount());
    EXPECT_EQ(Points[0], gdiplus::PointF(Cs.FirstX, 0));
    gdiplus::RectF Bounds;
    P->GetBounds(&Bounds);
    EXPECT_EQ(Bounds, gdiplus::RectF(0, 0, 10, 10));
  }
}

TEST_F(GDIPlusShapesTest, PieAnglesTurnChartAnglesIntoGdiplusOnes) {
  struct Case {
    double Start, End;
    float GpStart, Sweep;
  } const Cases[] = {{30, 90, 270, 60}, {300, 30, -30, 90}, {30, 0, 0, 330}};
  for (const Case& Cs : Cases) {
    SCOPED_TRACE(Cs.Start);
    float Start, Sweep;
    TGDIPlusCanvas::PieAngles(Cs.Start, Cs.End, Start, Sweep);
    EXPECT_EQ(Start, Cs.GpStart);
    EXPECT_EQ(Sweep, Cs.Sweep);
  }
}

TEST_F(GDIPlusShapesTest, FullPieOutlinesAnEllipseAndArcsNormaliseTheirBox) {
  C.Pie(Rect(10, 10, 50, 40), 0, 360);
  EXPECT_EQ(Calls(), QStringList({"FillPie(10,10,40,30,0,360) brush=$FFFF0000",
                                  "DrawEllipse(10,10,40,30) pen=$FF000000"}));
  Calls().clear();
  C.Arc(50, 10, 10, 40, 0.0f, 90.0f);
  EXPECT_EQ(Calls(), QStringList({"DrawArc(10,10,40,30,0,-90) pen=$FF000000"}));
}

TEST_F(GDIPlusShapesTest, DonutWithoutAHoleIsAPieSlice) {
  C.Donut(50, 50, 20, 0, 0, 3.141592653589793 / 2, 0);
  ASSERT_EQ(Calls().size(), 2);
  EXPECT_TRUE(Calls()[0].startsWith("FillPath(50,50,")) << Calls()[0].toStdString();  // a pie starts at the centre
}

TEST_F(GDIPlusShapesTest, SetPixelLeavesTheCachedPenAlone) {
  C.Line(0, 0, 10, 0);
  C.SetPixel(5, 5, clLime);
  C.Line(0, 20, 10, 20);
  EXPECT_EQ(Calls(), QStringList({"DrawLine(0,0,10,0) pen=$FF000000", "DrawLine(5,5,6,5) pen=$FF00FF00",
                                  "DrawLine(0,20,10,20) pen=$FF000000"}));
}

TEST_F(GDIPlusShapesTest, GradientFillWithAClearBrushFillsTheGradient) {
  C.Brush()->SetStyle(bsClear);
  C.GradientFill(Rect(0, 0, 20, 10), clWhite, clBlack, gdLeftRight, 50, 0, 0);
  ASSERT_EQ(Calls().size(), 1);
  EXPECT_EQ(Calls()[0], "FillRectangle(0,0,20,10) brush=linear($FF000000,$FFFFFFFF)");
}

TEST_F(GDIPlusShapesTest, PlainRectangleShadowHasCornersOfFour) {
  TTeeShadow Shadow{TNotifyEvent()};
  Shadow.SetSmooth(false);
  Shadow.SetColor(clGray);
  C.DrawShadow(&Shadow, Rect(10, 10, 50, 40), false, 0, {}, 0, 0, 0);
  ASSERT_EQ(Calls().size(), 1);
  EXPECT_TRUE(Calls()[0].startsWith("FillPath(48,10,")) << Calls()[0].toStdString();  // the top-right corner box is 4 wide
}

TEST_F(GDIPlusShapesTest, CurveFillsTheClosedSplineAndOutlinesWithFullWidthArea) {
  const TPoint P[] = {{0, 0}, {20, 10}, {40, 0}};
  C.Curve(P, 0.5f, false, 0);
  EXPECT_EQ(Calls(), QStringList({"FillClosedCurve(0,0,20,10,40,0;t=0.5) brush=$FFFF0000",
                                  "DrawCurve(0,0,20,10,40,0;t=0.5) pen=$FF000000"}));
}

TEST_F(GDIPlusShapesTest, SliceFinishDrawsTheGlowAndTheBandItReaches) {
  const TRect Top = Rect(0, 0, 100, 60), Bottom = Rect(0, 20, 100, 80);
  struct Case {
    const char* Name;
    Integer Start, End;
    std::vector<int> Points;  // of each polygon drawn
  } const Cases[] = {
      {"no band below 295", 0, 90, {92}},
      {"band 295..335", 280, 350, {72, 82}},
      {"starting inside the band it ends with the slice", 300, 320, {22, 42}},
      {"ending inside the band", 280, 310, {32, 32}},
  };
  for (const Case& Cs : Cases) {
    SCOPED_TRACE(Cs.Name);
    Calls().clear();
    C.ShapeGradientFill(edFlat, 0, Top, Bottom, Rect(0, 0, 0, 0), Cs.Start, Cs.End, TPoint{50, 30}, false);
    std::vector<int> Drawn;
    for (const QString& Call : Calls()) {
      EXPECT_TRUE(Call.startsWith("FillPolygon(")) << Call.toStdString();  // the pen is clear
      Drawn.push_back(pointCount(Call));
    }
    EXPECT_EQ(Drawn, Cs.Points);
    EXPECT_TRUE(C.IGradientPolygon.empty());
    EXPECT_EQ(C.Pen()->Style(), psSolid);
    EXPECT_FALSE(C.Brush()->Gradient()->Visible());
  }
}

// ---------------------------------------------------------------------------
// pixels

class GDIPlusShapePixelsTest : public GDIPlusPixelTest {};

TEST_F(GDIPlusShapePixelsTest, HatchStylesBeyondTheGdiSixDraw) {
  C.SetAntiAlias(false);
  SolidBrush(clBlack);
  C.Brush()->SetBackColor(clWhite);
  C.Brush()->SetStyle(bsCross);
  C.Brush()->SetHatchStyle(hsLargeCheckerBoard);
  C.FillRect(Rect(0, 0, 16, 16));
  EXPECT_EQ(Pixel(1, 1), clBlack);
  EXPECT_EQ(Pixel(5, 1), clWhite);
  EXPECT_EQ(Pixel(5, 5), clBlack);
}

TEST_F(GDIPlusShapePixelsTest, ShapesAreAntialiasedWithATransparentColour) {
  SolidBrush(TColor(0x800000FF));  // red at about half opacity
  C.Ellipse(10, 10, 90, 70);
  SaveForReview(Image(), "gdipluscanvas_ellipse.png");
  const TColor Centre = Pixel(50, 40);
  EXPECT_EQ(Centre & 0xFF, 0xFF);
  EXPECT_NEAR((Centre >> 8) & 0xFF, 128, 2);
  // the rim is partly covered: neither the fill nor the background
  bool Partial = false;
  for (Integer X = 8; X < 14; ++X) {
    const Integer G = (Pixel(X, 40) >> 8) & 0xFF;
    Partial = Partial || (G > 130 && G < 250);
  }
  EXPECT_TRUE(Partial);
}

}  // namespace

namespace {

TEST_F(GDIPlusShapePixelsTest, SliceGlowLightensOnlyTheSlice) {
  const TRect Top = Rect(10, 10, 110, 70);
  SolidBrush(clRed);
  C.Pen()->SetStyle(psClear);
  C.Pie(Top, 280, 350);
  C.Pie(Top, 0, 90);
  const TColor Untouched = Pixel(85, 30);  // inside the 0..90 slice
  C.ShapeGradientFill(edCurved, 0, Top, Rect(10, 20, 110, 80), Rect(0, 0, 0, 0), 280, 350, TPoint{60, 40}, false);
  SaveForReview(Image(), "gdipluscanvas_slice_glow.png");
  EXPECT_EQ(Pixel(85, 30), Untouched);
  EXPECT_EQ(Pixel(5, 5), clWhite);
  // inside the slice the white glow lifts the green and blue channels
  EXPECT_GT((Pixel(75, 52) >> 8) & 0xFF, 20u);
}

}  // namespace

namespace {

TEST_F(GDIPlusShapesTest, ThreeDimensionalLinesProjectTheirEnds) {
  TView3DOptions View(nullptr);
  View.SetOrthogonal(true);
  View.SetOrthoAngle(45);
  C.InitWindow(&Target, &View, clWhite, true, Rect(0, 0, 200, 100));
  C.Projection(100, Rect(0, 0, 200, 100), Rect(0, 0, 200, 100));
  Calls().clear();
  C.ZLine3D(10, 20, 0, 10);       // depth moves right and up
  C.HorizLine3D(10, 50, 20, 10);
  C.LineWithZ(0, 0, 0, 30, 5);
  EXPECT_EQ(GdiplusCalls(), QStringList({"DrawLine(10,20,20,10) pen=$FF000000", "DrawLine(20,10,60,10) pen=$FF000000",
                                         "DrawLine(5,-5,5,25) pen=$FF000000"}));
}

}  // namespace
