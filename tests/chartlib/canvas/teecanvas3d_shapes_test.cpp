#include "chartlib/canvas/teecanvas3d.h"

#include "chartlib/canvas/canvasunit.h"
#include "chartlib/canvas/teefilter.h"
#include "chartlib/canvas/teefilters.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/regions.h"

#include "tests/chartlib/canvas/canvasfixture.h"
#include "tests/chartlib/canvas/loggingcanvas.h"

#include <cmath>
#include <functional>

namespace {

// A GDI canvas drawing into its white 120 x 110 buffer.
class ShapesTest : public CanvasTest {
protected:
  void SetUp() override {
    Window.SetSize(120, 110);
    C.InitWindow(Window.Canvas(), nullptr, clWhite, false, Rect(0, 0, 120, 110));
    clear();
  }
  // White again; the canvas's brush back on the reference canvas.
  void clear() {
    Buffer()->Canvas()->Brush()->SetColor(clWhite);
    Buffer()->Canvas()->FillRect(Rect(0, 0, 120, 110));
    C.ApplyBrush(C.Brush());
  }
  TBitmap* Buffer() { return C.Bitmap(); }
  TColor Pixel(Integer X, Integer Y) { return Buffer()->Canvas()->Pixels(X, Y); }
  TRect ClipBox() {
    gdi::RECT R;
    gdi::GetClipBox(C.Handle(), &R);
    return R;
  }
  bool Clipped() {
    gdi::HRGN R = gdi::CreateRectRgn(0, 0, 0, 0);
    const bool Result = gdi::GetClipRgn(C.Handle(), R) == 1;
    gdi::DeleteObject(R);
    return Result;
  }
  void SolidRed() {
    C.Brush()->SetStyle(bsSolid);
    C.Brush()->SetColor(clRed);
    C.Pen()->SetStyle(psClear);
  }

  TBitmap Window;
  TLoggingCanvas C;
};

TEST_F(ShapesTest, NearlyFullPiesAreEllipses) {
  struct Case {
    const char* Name;
    TRect R;
    double Start, End;
    QStringList Calls;
  } const Cases[] = {
      {"within 0.05 of a turn", Rect(10, 10, 60, 60), 0, 359.97, {"Ellipse(10,10,60,60)"}},
      {"both points on one pixel", Rect(10, 10, 16, 16), 0, 359.5, {"Ellipse(10,10,16,16)", "LineTo(16,13)"}},
      {"a quarter", Rect(10, 10, 60, 60), 0, 90, {"Pie(10,10,60,60,60,35,35,10)"}},
  };
  for (const Case& Cs : Cases) {
    SCOPED_TRACE(Cs.Name);
    C.Calls.clear();
    C.Pie(Cs.R, Cs.Start, Cs.End);
    EXPECT_EQ(C.Calls, Cs.Calls);
  }
}

TEST_F(ShapesTest, PieWithEqualRadialPointsDrawsNothing) {
  SolidRed();
  C.Pie(10, 10, 60, 60, 60, 35, 60, 35);
  EXPECT_EQ(Pixel(35, 35), clWhite);
  C.Pie(10, 10, 60, 60, 60, 35, 35, 10);
  EXPECT_EQ(Pixel(45, 25), clRed);
}

TEST_F(ShapesTest, ClipStackUnwindsInOrder) {
  C.ClipCube(Rect(10, 10, 100, 100), 0, 0);
  EXPECT_EQ(ClipBox(), Rect(11, 11, 100, 99));
  C.Clip(Rect(20, 30, 40, 50));
  EXPECT_EQ(ClipBox(), Rect(20, 30, 40, 50));
  C.UnClip();
  EXPECT_EQ(ClipBox(), Rect(11, 11, 100, 99));
  C.UnClip();
  EXPECT_FALSE(Clipped());
  C.UnClip();  // an empty stack: still no clip
  EXPECT_FALSE(Clipped());
}

TEST_F(ShapesTest, ClipShapesLimitTheFill) {
  SolidRed();
  const TPoint Triangle[] = {{10, 10}, {50, 10}, {10, 50}};
  struct Case {
    const char* Name;
    std::function<void()> Clip;
    TColor Inside, Outside;  // at (15, 15) and (45, 45)
  } const Cases[] = {
      {"polygon", [&] { C.ClipPolygon(Triangle, 3, false); }, clRed, clWhite},
      {"polygon difference", [&] { C.ClipPolygon(Triangle, 3, true); }, clWhite, clRed},
      {"ellipse", [&] { C.ClipEllipse(Rect(10, 10, 30, 30), false); }, clRed, clWhite},
      {"inverted ellipse", [&] { C.ClipEllipse(Rect(10, 10, 30, 30), true); }, clWhite, clRed},
      {"rounded rectangle", [&] { C.ClipRectangle(Rect(12, 12, 40, 40), 10, 10); }, clRed, clWhite},
  };
  for (const Case& Cs : Cases) {
    SCOPED_TRACE(Cs.Name);
    clear();
    Cs.Clip();
    C.FillRect(Rect(0, 0, 120, 110));
    C.UnClip();
    EXPECT_EQ(Pixel(15, 15), Cs.Inside);
    EXPECT_EQ(Pixel(45, 45), Cs.Outside);
  }
}

TEST_F(ShapesTest, RectangleWithAPictureStretchesTheFilteredPicture) {
  TBitmap Picture;
  Picture.SetSize(2, 1);
  Picture.Canvas()->SetPixels(0, 0, clRed);
  Picture.Canvas()->SetPixels(1, 0, clBlue);
  C.Brush()->Image()->SetGraphic(&Picture);
  C.Brush()->Image()->Filters()->Add(TInvertFilter::StaticClass());
  C.Pen()->SetStyle(psClear);
  C.SetStretchDrawQuality(sqLow);
  C.Rectangle(10, 10, 50, 30);
  EXPECT_EQ(Pixel(12, 20), TColor(0xFFFF00));  // red inverted
  EXPECT_EQ(Pixel(48, 20), TColor(0x00FFFF));  // blue inverted
  EXPECT_EQ(Pixel(60, 20), clWhite);
  EXPECT_EQ(C.ReferenceCanvas()->Brush()->Style(), bsClear);
}

TEST_F(ShapesTest, GradientShapesHoldTheGradientAndGetTheirBrushBack) {
  C.Brush()->SetStyle(bsSolid);
  TTeeGradient* G = C.Brush()->Gradient();
  G->SetStartColor(clBlack);
  G->SetEndColor(clWhite);
  G->SetDirection(gdLeftRight);
  G->SetVisible(true);
  C.Pen()->SetStyle(psClear);
  C.Rectangle(0, 0, 100, 10);
  EXPECT_EQ(Pixel(99, 5), clBlack);  // colour 0 at the right edge
  EXPECT_EQ(Pixel(0, 5), clWhite);
  EXPECT_EQ(C.ReferenceCanvas()->Brush()->Style(), bsSolid);
  C.Ellipse(20, 20, 60, 60);
  EXPECT_EQ(Pixel(21, 21), clWhite);  // outside the ellipse
  const TColor Centre = Pixel(40, 40);
  EXPECT_NE(Centre, clWhite);
  EXPECT_EQ(Centre & 0xFF, (Centre >> 8) & 0xFF);  // a grey of the gradient
  EXPECT_EQ(C.ReferenceCanvas()->Brush()->Style(), bsSolid);
}

TEST_F(ShapesTest, DonutFillsTheRingOnly) {
  SolidRed();
  C.Donut(50, 40, 30, 30, 0, 2 * M_PI, 50);
  EXPECT_EQ(Pixel(50, 40), clWhite);  // the hole
  EXPECT_EQ(Pixel(73, 40), clRed);    // on the ring
  EXPECT_EQ(Pixel(95, 40), clWhite);
  C.Donut(50, 40, 30, 30, 0, M_PI / 2, 0);  // a quarter pie, no hole
  EXPECT_EQ(Pixel(55, 35), clRed);
}

TEST_F(ShapesTest, SmoothStretchMixesNeighboursAndLowQualityKeepsThem) {
  TBitmap Picture;
  Picture.SetSize(2, 2);
  for (Integer X = 0; X < 2; ++X)
    for (Integer Y = 0; Y < 2; ++Y) Picture.Canvas()->SetPixels(X, Y, X == 0 ? clBlack : clWhite);
  C.StretchDraw(Rect(0, 0, 8, 8), &Picture);
  const Integer Mixed = Pixel(4, 4) & 0xFF;
  EXPECT_GT(Mixed, 0);
  EXPECT_LT(Mixed, 255);
  C.SetStretchDrawQuality(sqLow);
  C.StretchDraw(Rect(0, 0, 8, 8), &Picture);
  EXPECT_EQ(Pixel(3, 4), clBlack);
  EXPECT_EQ(Pixel(4, 4), clWhite);
}

TEST_F(ShapesTest, WidePenPixelIgnoresTheColour) {
  C.SetPixel3D(10, 10, 0, clRed);
  EXPECT_EQ(Pixel(10, 10), clRed);
  C.Pen()->SetWidth(3);
  C.SetPixel3D(30, 30, 0, clRed);  // a dot of the pen, if any
  EXPECT_NE(Pixel(30, 30), clRed);
  EXPECT_EQ(C.GetPixel3D(10, 10, 0), clRed);
}

TEST_F(ShapesTest, FourPointsAndFloatPointsDrawPolygons) {
  SolidRed();
  C.IPoints = {TPoint{10, 10}, TPoint{30, 10}, TPoint{30, 30}, TPoint{10, 30}};
  C.PolygonFour();
  EXPECT_EQ(Pixel(20, 20), clRed);
  const TPointFloat Float[] = {{50.5f, 10}, {70, 10}, {70, 30}, {50.5f, 30}};
  C.PolygonFloat(Float);
  EXPECT_EQ(Pixel(50, 20), clRed);  // 50.5 rounds to even
  EXPECT_EQ(Pixel(49, 20), clWhite);
}

TEST_F(ShapesTest, SelectsTheDCBrushWhereTheSystemHasIt) {
  EXPECT_EQ(C.SelectDCBrush(), TeeSetDCBrushColorProc() != nullptr);
}

}  // namespace
