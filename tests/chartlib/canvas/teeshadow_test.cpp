#include "chartlib/canvas/teeshadow.h"

#include "canvasfixture.h"
#include "recordingcanvas.h"
#include "platform/ui/graphics/canvas.h"

#include "tests/chartlib/canvas/changecounter.h"
#include "tests/chartlib/canvas/streamhost.h"
#include "tests/support/testing.h"

namespace {

TEST(TeeShadowTest, SizeIsTheLargerMagnitudeAndSetsBoth) {
  TChangeCounter Changes;
  TTeeShadow S(Changes.Event());
  S.SetHorizSize(3);
  S.SetVertSize(-2);
  EXPECT_EQ(S.Size(), 3);
  S.SetSize(5);
  EXPECT_EQ(S.HorizSize(), 5);
  EXPECT_EQ(S.VertSize(), 5);
  EXPECT_EQ(Changes.Count, 4);
  S.SetSize(5);
  EXPECT_EQ(Changes.Count, 4);  // no change, no event
  EXPECT_TRUE(S.ShouldDraw());
  S.Hide();
  EXPECT_FALSE(S.ShouldDraw());
}

TEST(TeeShadowTest, ShadowRectMovesByTheDirection) {
  const TRect R = Rect(10, 20, 30, 40);
  struct Case {
    TShadowDirection Direction;
    TRect Expected;
  } const Cases[] = {
      {sdLeftTop, Rect(7, 22, 27, 42)},       {sdLeftBottom, Rect(7, 18, 27, 38)},
      {sdRightTop, Rect(13, 22, 33, 42)},     {sdRightBottom, Rect(13, 18, 33, 38)},
      {sdCenter, Rect(7, 18, 33, 42)},  // inflated by |h| and |v|
  };
  for (const Case& C : Cases) EXPECT_EQ(ShadowRect(R, C.Direction, 3, -2), C.Expected) << C.Direction;
}

TEST(TeeShadowTest, RotateRectTurnsTheCornersAboutTheCentre) {
  const TFourPoints P = RotateRect(Rect(0, 0, 10, 4), 90);
  EXPECT_EQ(P[0], (TPoint{3, 7}));  // (Left, Top) relative (-5, -2)
  EXPECT_EQ(P[2], (TPoint{7, -3}));
  EXPECT_EQ(RotateRect(Rect(0, 0, 10, 4), 0)[1], (TPoint{10, 0}));
}

TEST(TeeShadowTest, OnlyValuesBesideTheirDefaultsAreStreamed) {
  TTeeShadow S(nullptr);
  EXPECT_TRUE(StreamedProperties(&S).isEmpty());
  S.InitDefaults(false, clRed, 4);  // the owner's own defaults
  EXPECT_TRUE(StreamedProperties(&S).isEmpty());
  S.SetColor(clBlue);
  S.SetHorizSize(-3);
  S.SetSmooth(false);
  S.SetTransparency(20);
  EXPECT_EQ(StreamedProperties(&S),
            QStringList({"Color = clBlue", "HorizSize = -3", "Smooth = False", "Transparency = 20"}));

  TTeeShadow Back(nullptr);
  Back.InitDefaults(false, clRed, 4);
  StreamCopy(&S, &Back);
  EXPECT_EQ(Back.Color(), clBlue);
  EXPECT_EQ(Back.HorizSize(), -3);
  EXPECT_EQ(Back.VertSize(), 4);
  EXPECT_FALSE(Back.Smooth());
}

TEST(TeeShadowTest, AssignCopiesSettingsButNotDefaultsOrBlurSize) {
  TChangeCounter Changes;
  TTeeShadow Source(nullptr), Target(Changes.Event());
  Source.SetColor(clRed);
  Source.SetDirection(sdCenter);
  Source.SetVertSize(7);
  Source.BlurSize = 9;
  Target.Assign(&Source);
  EXPECT_EQ(Target.Color(), clRed);
  EXPECT_EQ(Target.Direction(), sdCenter);
  EXPECT_EQ(Target.VertSize(), 7);
  EXPECT_EQ(Target.BlurSize, 4);
  EXPECT_EQ(Changes.Count, 0);
}

TEST(TeeShadowTest, NewEmbossIsHiddenPointsLeftTopAndStreamsNothing) {
  TTeeEmboss E(nullptr);
  EXPECT_FALSE(E.Visible());
  EXPECT_EQ(E.Direction(), sdLeftTop);
  EXPECT_TRUE(StreamedProperties(&E).isEmpty());
  E.SetDirection(sdRightBottom);
  EXPECT_EQ(StreamedProperties(&E), QStringList({"Direction = sdRightBottom"}));
}


// --- drawing -----------------------------------------------------------------

class TeeShadowDrawTest : public CanvasTest {};

TEST_F(TeeShadowDrawTest, NothingIsDrawnWithoutColourOrSize) {
  struct Case {
    const char* Name;
    TColor Color;
    Integer H, V;
  } const Cases[] = {{"clNone", clNone, 3, 3}, {"both sizes 0", clBlack, 0, 0}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TRecordingCanvas Canvas;
    TTeeShadow S(nullptr);
    S.SetColor(C.Color);
    S.SetHorizSize(C.H);
    S.SetVertSize(C.V);
    S.Draw(&Canvas, Rect(10, 10, 50, 50));
    S.DrawEllipse(&Canvas, Rect(10, 10, 50, 50));
    const TPoint P[] = {{0, 0}, {10, 0}, {5, 5}};
    S.Draw(&Canvas, P);
    EXPECT_TRUE(Canvas.Calls.isEmpty()) << Canvas.Calls.join(' ').toStdString();
  }
}

TEST_F(TeeShadowDrawTest, ShapesReachTheCanvasMovedAndTurned) {
  auto Opaque = [](TTeeShadow& S, TShadowDirection D) {
    S.SetTransparency(0);
    S.SetSmooth(false);
    S.SetDirection(D);
    S.SetHorizSize(3);
    S.SetVertSize(2);
    S.SetColor(clBlack);
  };
  {
    SCOPED_TRACE("polygon: +H, +V whatever the direction");
    TRecordingCanvas Canvas;
    TTeeShadow S(nullptr);
    Opaque(S, sdLeftTop);
    const TPoint P[] = {{10, 10}, {40, 10}, {25, 30}};
    S.Draw(&Canvas, P);
    EXPECT_EQ(Canvas.CallsOf("Polygon"), QStringList({"Polygon((13,12),(43,12),(28,32))"}));
  }
  {
    SCOPED_TRACE("rectangle at 90 degrees: the turned corners");
    TRecordingCanvas Canvas;
    TTeeShadow S(nullptr);
    Opaque(S, sdRightBottom);
    S.Draw(&Canvas, Rect(10, 10, 50, 30), 0, 90);
    const TFourPoints P = RotateRect(Rect(13, 12, 53, 32), 90);
    EXPECT_EQ(Canvas.CallsOf("Polygon"), QStringList({"Polygon(" + TRecordingCanvas::Points(P) + ")"}));
  }
  {
    SCOPED_TRACE("ellipse: the shadow rectangle");
    TRecordingCanvas Canvas;
    TTeeShadow S(nullptr);
    Opaque(S, sdLeftBottom);
    S.DrawEllipse(&Canvas, Rect(10, 10, 50, 30));
    EXPECT_EQ(Canvas.CallsOf("Ellipse"), QStringList({"Ellipse(7,12,47,32)"}));
  }
}

TEST_F(TeeShadowDrawTest, RectangleShadowRestoresThePen) {
  TRecordingCanvas Canvas;
  Canvas.Pen()->SetColor(clRed);
  Canvas.Pen()->SetStyle(psDash);
  TTeeShadow S(nullptr);
  S.SetSize(4);
  S.SetColor(clBlack);
  S.Draw(&Canvas, Rect(10, 10, 50, 50));
  EXPECT_EQ(Canvas.Pen()->Color(), clRed);
  EXPECT_EQ(Canvas.Pen()->Style(), psDash);
}

TEST(TeeSmoothBlurTest, KernelWeights) {
  EXPECT_EQ(TeeBlurWeights(4, 0),
            (std::vector<Integer>{9526, 26646, 55556, 86334, 100000, 86334, 55556, 26646, 9526}));
  EXPECT_EQ(TeeBlurWeights(-5, 0), std::vector<Integer>{100000});
  // beyond the old fixed table of 16384 weights
  EXPECT_EQ(TeeBlurWeights(9000, 0).size(), 18001u);
}

TEST_F(TeeShadowDrawTest, SmoothShadowDarkensOnlyTheVisibleBlurredPart) {
  TBitmap Buffer;
  Buffer.SetSize(60, 60);
  Buffer.Canvas()->Brush()->SetColor(TColor(0xC8C8C8));
  Buffer.Canvas()->FillRect(Rect(0, 0, 60, 60));
  TTeeShadow S(nullptr);
  S.SetColor(clBlack);
  // partly left of and above the buffer
  TeeDrawSmoothShadow(&S, &Buffer, Buffer.Canvas(), Rect(-10, -10, 20, 20), false, 0, {}, 0);
  EXPECT_LT(Buffer.Canvas()->Pixels(5, 5) & 0xFF, 0x20);
  // white corners of the shape bitmap and everything beyond it keep the colour
  EXPECT_EQ(Buffer.Canvas()->Pixels(25, 25), TColor(0xC8C8C8));
  EXPECT_EQ(Buffer.Canvas()->Pixels(50, 5), TColor(0xC8C8C8));
  // the blur's edge lies between the two
  const Integer Edge = Buffer.Canvas()->Pixels(17, 5) & 0xFF;
  EXPECT_GT(Edge, 0x10);
  EXPECT_LT(Edge, 0xC8);
}

TEST_F(TeeShadowDrawTest, ClippedSmoothShadowKeepsPixelsOutsideTheClip) {
  TBitmap Buffer;
  Buffer.SetSize(60, 60);
  Buffer.Canvas()->Brush()->SetColor(clWhite);
  Buffer.Canvas()->FillRect(Rect(0, 0, 60, 60));
  gdi::IntersectClipRect(Buffer.Canvas()->Handle(), 0, 0, 25, 60);
  TTeeShadow S(nullptr);
  S.SetColor(clBlack);
  S.SetClip(true);
  TeeDrawSmoothShadow(&S, &Buffer, Buffer.Canvas(), Rect(10, 10, 50, 50), false, 0, {}, 0);
  const TRGBAArray Rows = TeeCalcScanLinesRGBA(&Buffer);
  EXPECT_LT(Rows[30][20].Red, 0x20);
  EXPECT_EQ(Rows[30][30].Red, 0xFF);
  EXPECT_EQ(Rows[30][40].Green, 0xFF);
}

TEST_F(TeeShadowDrawTest, SmoothShadowShapesFillTheirBitmap) {
  // polygon, ellipse with a donut hole, rounded rectangle: each darkens its
  // middle (or, for the donut, its ring) and leaves far corners alone
  TBitmap Buffer;
  Buffer.SetSize(100, 100);
  auto Reset = [&] {
    Buffer.Canvas()->Brush()->SetColor(clWhite);
    Buffer.Canvas()->FillRect(Rect(0, 0, 100, 100));
  };
  TTeeShadow S(nullptr);
  S.SetColor(clBlack);
  Reset();
  const TPoint P[] = {{50, 10}, {90, 90}, {10, 90}};
  TeeDrawSmoothShadow(&S, &Buffer, nullptr, Rect(0, 0, 100, 100), false, 0, P, 0);
  EXPECT_LT(Buffer.Canvas()->Pixels(41, 60) & 0xFF, 0x20);  // moved by (-9, -9)
  EXPECT_EQ(Buffer.Canvas()->Pixels(95, 5), clWhite);
  Reset();
  TeeDrawSmoothShadow(&S, &Buffer, nullptr, Rect(0, 0, 100, 100), true, 0, {}, 50);
  EXPECT_EQ(Buffer.Canvas()->Pixels(50, 50), clWhite);
  EXPECT_LT(Buffer.Canvas()->Pixels(50, 12) & 0xFF, 0x20);
  EXPECT_EQ(Buffer.Canvas()->Pixels(2, 2), clWhite);
}

}  // namespace
