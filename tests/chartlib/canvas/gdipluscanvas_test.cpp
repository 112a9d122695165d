// The GDI+ canvas: colours, the graphics object and its errors, opacity,
// pens and gradients, clipping, groups, XOR figures and the class registry.
#include "chartlib/canvas/gdipluscanvas.h"

#include "chartlib/canvas/teegradient.h"
#include "platform/ui/graphics/gdi.h"

#include "tests/chartlib/canvas/gdiplusfixture.h"

namespace {

using gdiplus::ARGB;
using gdiplus::LinearGradientBrush;
using gdiplus::PathGradientBrush;
using gdiplus::PointF;
using gdiplus::RectF;

TEST_F(GDIPlusCanvasTest, ToARGBTakesTheFourthByteAsTransparency) {
  struct Case {
    const char* Name;
    TColor Color;
    Integer Opacity;
    ARGB Expected;
  } const Cases[] = {
      {"opaque red", TColor(0x0000FF), 255, 0xFFFF0000},
      {"fourth byte $40", TColor(0x400000FF), 255, 0xBFFF0000},
      {"fourth byte above the opacity", TColor(0x400000FF), 0x30, 0x00FF0000},
      {"system colours are not resolved", clBtnFace, 255, 0x000F0000},
  };
  for (const Case& Cs : Cases) {
    SCOPED_TRACE(Cs.Name);
    EXPECT_EQ(TGDIPlusCanvas::ToARGB(Cs.Color, Cs.Opacity), Cs.Expected);
  }
}

TEST_F(GDIPlusCanvasTest, ClassAnswersItsNamesAndAvailability) {
  EXPECT_EQ(TGDIPlusCanvas::Description(), "GDI+");
  EXPECT_EQ(TGDIPlusCanvas::EditorClass(), "TGDIPlusEditor");
  EXPECT_TRUE(TGDIPlusCanvas::IsAvailable());
  gdiplus::SetGdiplusAvailable(false);
  EXPECT_FALSE(TGDIPlusCanvas::IsAvailable());
  gdiplus::SetGdiplusAvailable(true);
}

TEST_F(GDIPlusCanvasTest, StatusTextsCoverTheKnownStatusesOnly) {
  EXPECT_EQ(TeeGDIPlusStatusText(0), "Ok");
  EXPECT_EQ(TeeGDIPlusStatusText(18), "Gdiplus Not Initialized");
  EXPECT_EQ(TeeGDIPlusStatusText(20), "Property Not Supported");
  EXPECT_EQ(TeeGDIPlusStatusText(21), "Unknown");
  EXPECT_EQ(TeeGDIPlusStatusText(-1), "Unknown");
}

TEST_F(GDIPlusCanvasTest, GraphicsOnABadDeviceContextRaises) {
  TGDIPlusCanvas C;
  try {
    C.CreateGraphics(nullptr);
    FAIL() << "no exception";
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message, "GDI Error: Canvas Handle HDC is zero");
  }
  const gdi::HDC Gone = gdi::CreateCompatibleDC(nullptr);
  gdi::DeleteDC(Gone);
  try {
    C.CreateGraphics(Gone);
    FAIL() << "no exception";
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message, "GDI+ Error: 2 Invalid Parameter");
  }
}

TEST_F(GDIPlusPixelTest, AntiAliasOffSetsSpeedSmoothingAndNoPixelOffsetAtOnce) {
  ASSERT_NE(C.Graphics(), nullptr);
  EXPECT_EQ(C.Graphics()->GetSmoothingMode(), gdiplus::SmoothingModeHighQuality);
  EXPECT_EQ(C.Graphics()->GetPixelOffsetMode(), gdiplus::PixelOffsetModeHighQuality);
  C.SetAntiAlias(false);
  EXPECT_EQ(C.Graphics()->GetSmoothingMode(), gdiplus::SmoothingModeHighSpeed);
  EXPECT_EQ(C.Graphics()->GetPixelOffsetMode(), gdiplus::PixelOffsetModeNone);
  EXPECT_FALSE(C.INoFixAlign);
}

TEST_F(GDIPlusPixelTest, BlendingLowersTheOpacityAndEndingRestoresIt) {
  EXPECT_EQ(C.Transparency, 255);
  EXPECT_EQ(C.BeginBlending(Rect(0, 0, 10, 10), 50), nullptr);
  EXPECT_EQ(C.Transparency, 127);  // the product lies just below 127.5
  C.BeginBlending(Rect(0, 0, 10, 10), 50);
  EXPECT_EQ(C.Transparency, 63);
  C.EndBlending(nullptr);
  C.EndBlending(nullptr);
  EXPECT_EQ(C.Transparency, 255);

  SolidBrush(clBlack);
  C.BeginBlending(Rect(0, 0, 10, 10), 50);
  C.FillRect(Rect(0, 0, 10, 10));
  C.EndBlending(nullptr);
  EXPECT_NEAR(Red(5, 5), 128, 1);  // half-transparent black over white
}

TEST_F(GDIPlusPixelTest, PenGradientSpansTheOutlineArea) {
  struct Case {
    Integer Width;
    RectF Expected;  // the gradient rectangle: the area plus one pixel right and below
  } const Cases[] = {
      {3, RectF(8.5f, 7.5f, 14, 15)},  // (8.5, 7.5) to (21.5, 21.5)
      {2, RectF(9, 9, 13, 13)},        // (9, 9) to (21, 21)
  };
  for (const Case& Cs : Cases) {
    SCOPED_TRACE(Cs.Width);
    C.Pen()->SetStyle(psSolid);
    C.Pen()->SetWidth(Cs.Width);
    C.Pen()->Fill()->Gradient()->SetVisible(true);
    ASSERT_TRUE(C.PreparePenFill(Rect(10, 10, 20, 20)));
    auto* Gradient = dynamic_cast<const LinearGradientBrush*>(C.GPPen()->GetBrush());
    ASSERT_NE(Gradient, nullptr);
    RectF R;
    Gradient->GetRectangle(&R);
    EXPECT_EQ(R, Cs.Expected);
  }
}

TEST_F(GDIPlusPixelTest, LeftRightGradientStartsWithTheLastColour) {
  TTeeGradient* G = C.Brush()->Gradient();
  G->SetDirection(gdLeftRight);
  G->SetStartColor(clWhite);
  G->SetEndColor(clBlack);
  G->SetVisible(true);
  SolidBrush(clWhite);
  C.FillRect(Rect(0, 0, 100, 10));
  EXPECT_LT(Red(0, 5), 8);
  EXPECT_GT(Red(98, 5), 240);
}

TEST_F(GDIPlusPixelTest, FromCenterGradientMovesItsCentreByTheRadialOffsets) {
  TTeeGradient G{TNotifyEvent()};
  G.SetDirection(gdFromCenter);
  G.SetRadialX(10);
  const std::unique_ptr<gdiplus::Brush> B = C.CreateGradientBrush(&G, {20, 20, 60, 40});
  auto* Path = dynamic_cast<PathGradientBrush*>(B.get());
  ASSERT_NE(Path, nullptr);
  PointF Centre;
  Path->GetCenterPoint(&Centre);
  EXPECT_EQ(Centre, PointF(50, 30));
}

TEST_F(GDIPlusPixelTest, BlendStopsGrowWithTheColourList) {
  TTeeGradient G{TNotifyEvent()};
  TTeeGradientColors* Colors = G.Colors();
  for (int I = 0; I < 300; ++I) Colors->Add(I / 299.0, TColor(I));
  C.CalcBlend(&G);
  ASSERT_EQ(C.BlendColors().size(), size_t(Colors->Count()));
  EXPECT_EQ(C.BlendPositions().front(), 0);  // the last colour first, at 1 - its offset
  EXPECT_EQ(C.BlendPositions().back(), 1);
}

TEST_F(GDIPlusPixelTest, ClipRectangleTakesOneMoreRowAboveAndBelow) {
  C.ClipRectangle(Rect(10, 10, 100, 50));
  SolidBrush(clBlack);
  C.FillRect(Rect(0, 0, Width, Height));
  EXPECT_EQ(Pixel(10, 9), clBlack);
  EXPECT_EQ(Pixel(10, 8), clWhite);
  EXPECT_EQ(Pixel(99, 50), clBlack);
  EXPECT_EQ(Pixel(99, 51), clWhite);
  EXPECT_EQ(Pixel(9, 20), clWhite);
  EXPECT_EQ(Pixel(100, 20), clWhite);
  C.UnClipRectangle();
  C.FillRect(Rect(0, 0, Width, Height));
  EXPECT_EQ(Pixel(2, 2), clBlack);
}

TEST_F(GDIPlusPixelTest, GroupTransformsNestAndOnlyAClippingGroupUnclips) {
  TTeeTransform Move;
  Move.Translate.X = 20;
  C.ClipRectangle(Rect(0, 1, 60, 99));
  C.BeginGroup("Series", &Move);
  SolidBrush(clBlack);
  C.FillRect(Rect(0, 10, 10, 20));
  EXPECT_EQ(Pixel(25, 15), clBlack);
  EXPECT_EQ(Pixel(5, 15), clWhite);
  C.EndGroup();
  C.FillRect(Rect(0, 30, Width, 40));
  EXPECT_EQ(Pixel(5, 35), clBlack);
  EXPECT_EQ(Pixel(70, 35), clWhite);  // the outer clip is still there

  TTeeTransform Clipping;
  Clipping.Clip = true;
  Clipping.Bounds = Rect(0, 50, 30, 60);
  C.BeginGroup("Axes", &Clipping);
  C.FillRect(Rect(0, 45, Width, 70));
  C.EndGroup();
  EXPECT_EQ(Pixel(5, 55), clBlack);
  EXPECT_EQ(Pixel(40, 55), clWhite);
  C.FillRect(Rect(0, 80, Width, 90));
  EXPECT_EQ(Pixel(40, 85), clBlack);  // the group's own clip went
  EXPECT_EQ(Pixel(70, 85), clWhite);
}

TEST_F(GDIPlusPixelTest, XorRectangleIsDrawnByTheGdiCanvasAndUndoneBySecondDrawing) {
  SolidBrush(clNavy);
  C.FillRect(Rect(0, 0, 60, 60));
  const QImage Before = Image();
  C.Brush()->SetStyle(bsClear);
  C.Pen()->SetStyle(psSolid);
  C.Pen()->SetColor(clWhite);
  C.Pen()->SetMode(pmXor);
  C.Rectangle(10, 10, 40, 40);
  EXPECT_NE(Image(), Before);
  EXPECT_NE(Pixel(10, 20), Pixel(20, 20));
  C.Rectangle(10, 10, 40, 40);
  EXPECT_EQ(Image(), Before);
}

TEST_F(GDIPlusCanvasTest, StartUpAppendsTheCanvasAfterTheGdiCanvasAndShutdownRemovesIt) {
  const std::vector<TCanvas3DClass> Both = {Canvas3DMeta(TTeeCanvas3D::StaticClass()),
                                            Canvas3DMeta(TGDIPlusCanvas::StaticClass())};
  EXPECT_EQ(TeeCanvasClassList(), Both);
  EXPECT_EQ(TeeFindCanvasClass("TGDIPlusCanvas"), Both[1]);
  FinalizeGDIPlusCanvas();
  EXPECT_EQ(TeeCanvasClassList(), std::vector<TCanvas3DClass>{Both[0]});
  InitializeGDIPlusCanvas();
  EXPECT_EQ(TeeCanvasClassList(), Both);
}

}  // namespace
