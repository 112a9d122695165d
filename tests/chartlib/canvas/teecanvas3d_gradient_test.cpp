#include "chartlib/canvas/teecanvas3d.h"

#include "chartlib/canvas/canvasunit_p.h"
#include "chartlib/canvas/teegradient.h"
#include "platform/rtl/scopeexit.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/surface.h"

#include "tests/chartlib/canvas/canvasfixture.h"
#include "tests/chartlib/canvas/loggingcanvas.h"

namespace {

// A GDI canvas on a white buffer of the given size, and a gradient to fill
// with (black to white unless a test says otherwise).
class GradientFillTest : public CanvasTest {
protected:
  void open(Integer W, Integer H) {
    Window.SetSize(W, H);
    C.InitWindow(Window.Canvas(), nullptr, clWhite, false, Rect(0, 0, W, H));
    C.Bitmap()->Canvas()->Brush()->SetColor(clWhite);
    C.Bitmap()->Canvas()->FillRect(Rect(0, 0, W, H));
    G.SetStartColor(clBlack);
    G.SetEndColor(clWhite);
    G.SetVisible(true);
  }
  TColor Pixel(Integer X, Integer Y) { return C.Bitmap()->Canvas()->Pixels(X, Y); }
  static Integer Red(TColor C) { return Integer(C & 0xFF); }
  static bool Grey(TColor C) { return (C & 0xFF) == ((C >> 8) & 0xFF) && (C & 0xFF) == ((C >> 16) & 0xFF); }
  // Lengths of the runs of equal colours down column X.
  std::vector<Integer> RowRuns(Integer X, Integer H) {
    std::vector<Integer> Runs;
    for (Integer Y = 0; Y < H; ++Y) {
      if (Y == 0 || Pixel(X, Y) != Pixel(X, Y - 1)) Runs.push_back(0);
      ++Runs.back();
    }
    return Runs;
  }

  TBitmap Window;
  TLoggingCanvas C;
  TTeeGradient G{nullptr};
};

TEST_F(GradientFillTest, TopBottomBandsRunFromTheStartColourAtTheBottom) {
  open(10, 100);
  C.GradientFill(&G, Rect(0, 0, 10, 100));
  EXPECT_EQ(RowRuns(5, 100), std::vector<Integer>(100, 1));
  for (Integer K = 0; K < 100; ++K) ASSERT_EQ(Red(Pixel(5, 99 - K)), K * 255 / 99) << "row " << 99 - K;
}

TEST_F(GradientFillTest, BandsAreCappedAt256AndOneRowPaintsNothing) {
  open(4, 600);
  C.GradientFill(&G, Rect(0, 0, 4, 600));
  const std::vector<Integer> Runs = RowRuns(1, 600);
  EXPECT_EQ(Runs.size(), 256u);
  for (Integer R : Runs) EXPECT_TRUE(R == 2 || R == 3) << R;
  C.Bitmap()->Canvas()->FillRect(Rect(0, 0, 4, 600));
  C.GradientFill(&G, Rect(0, 10, 4, 11));
  EXPECT_EQ(Pixel(1, 10), clWhite);
}

TEST_F(GradientFillTest, MiddleColourSplitsBandsButNotCentreFills) {
  open(20, 100);
  G.SetMidColor(clRed);
  C.GradientFill(&G, Rect(0, 0, 20, 100));
  EXPECT_EQ(Pixel(5, 0), clWhite);   // the end colour on top
  EXPECT_EQ(Pixel(5, 99), clBlack);  // the start colour at the bottom
  EXPECT_EQ(Pixel(5, 49), clRed);    // the upper half starts from the middle colour
  G.SetDirection(gdFromCenter);
  G.SetBalance(10);  // taken as 50
  C.GradientFill(&G, Rect(0, 0, 20, 100));
  for (Integer Y = 0; Y < 100; Y += 7) ASSERT_TRUE(Grey(Pixel(9, Y))) << Y;
  EXPECT_EQ(Pixel(0, 50), clWhite);  // the end colour at the border
  EXPECT_LT(Red(Pixel(10, 50)), 10);  // near the start colour in the centre
}

TEST_F(GradientFillTest, MonochromeFillsInGreys) {
  open(10, 50);
  C.SetMonochrome(true);
  G.SetStartColor(clRed);
  C.GradientFill(&G, Rect(0, 0, 10, 50));
  EXPECT_EQ(Pixel(5, 49), TColor(0x555555));  // (255 + 0 + 0) div 3
  EXPECT_EQ(Pixel(5, 0), clWhite);
}

TEST_F(GradientFillTest, RadialRingsFromTheEndColourInwards) {
  open(40, 20);
  G.SetDirection(gdRadial);
  C.GradientFill(&G, Rect(0, 0, 9, 4));
  ASSERT_EQ(C.Calls.size(), 9);  // n = 8 .. 0: the width is odd
  EXPECT_EQ(C.Calls.front(), "Ellipse(2,1,10,5)");
  EXPECT_EQ(C.Calls.back(), "Ellipse(6,3,6,3)");
  EXPECT_EQ(Pixel(0, 0), clWhite);
  EXPECT_EQ(Pixel(20, 10), clWhite);  // outside the rectangle: clipped
  C.Calls.clear();
  EXPECT_NO_THROW(C.GradientFill(&G, Rect(5, 5, 5, 5)));  // no size: would divide by zero
  EXPECT_TRUE(C.Calls.isEmpty());
}

TEST_F(GradientFillTest, WithoutTheDCBrushOneBrushPerColourIsMadeAndDeleted) {
  open(10, 64);
  C.GradientFill(&G, Rect(0, 0, 10, 64));
  TBitmap WithDCBrush;
  WithDCBrush.Assign(C.Bitmap());
  TCanvasUnitState* S = CanvasUnitState();
  const TSetDCColorProc Saved = S->SetDCBrushColor;
  const TScopeExit Restore([&] { S->SetDCBrushColor = Saved; });
  S->SetDCBrushColor = nullptr;
  C.Bitmap()->Canvas()->FillRect(Rect(0, 0, 10, 64));
  const int Objects = gdi::GdiObjectCount();
  C.GradientFill(&G, Rect(0, 0, 10, 64));
  EXPECT_EQ(gdi::GdiObjectCount(), Objects);
  for (Integer Y = 0; Y < 64; ++Y) ASSERT_EQ(Pixel(3, Y), WithDCBrush.Canvas()->Pixels(3, Y)) << Y;
}

TEST_F(GradientFillTest, AngleTurnsTheFillThroughTheHookCentredAndClipped) {
  open(60, 40);
  static TSize Turned;
  const TTeeRotateGradientProc Saved = TeeRotateGradientBitmap();
  const TScopeExit Restore([&] { SetTeeRotateGradientBitmap(Saved); });
  SetTeeRotateGradientBitmap([](TCustomTeeGradient*, TBitmap* B) {
    Turned = {B->Width(), B->Height()};
    B->SetSize(B->Height(), B->Width());  // a quarter turn
    B->Canvas()->Brush()->SetColor(clRed);
    B->Canvas()->FillRect(Rect(0, 0, B->Width(), B->Height()));
  });
  G.SetAngle(90);
  C.GradientFill(&G, Rect(10, 10, 50, 30));
  EXPECT_EQ(Turned, (TSize{22, 42}));  // 40 x 20 turned back, plus 2
  EXPECT_EQ(G.Angle(), 90);
  EXPECT_EQ(Pixel(10, 10), clRed);
  EXPECT_EQ(Pixel(49, 29), clRed);
  EXPECT_EQ(Pixel(9, 20), clWhite);
  EXPECT_EQ(Pixel(50, 20), clWhite);
}

TEST_F(GradientFillTest, DiagonalsRunCornerToCornerAndHugeOnesAreSkipped) {
  open(10, 10);
  G.SetDirection(gdDiagonalUp);
  C.GradientFill(&G, Rect(0, 0, 10, 10));
  EXPECT_LT(Red(Pixel(0, 9)), 20);
  EXPECT_GT(Red(Pixel(9, 0)), 200);

  auto Recording = TSurface::MakeRecording(10000, 10000);
  TCanvas Huge;
  Huge.SetHandle(CreateSurfaceDC(Recording));
  TTeeCanvas3D Big;
  Big.SetUseBuffer(false);
  Big.InitWindow(&Huge, nullptr, clWhite, false, Rect(0, 0, 10000, 10000));
  Recording->Recording = true;
  Big.GradientFill(&G, Rect(0, 0, 10000, 10000));
  EXPECT_TRUE(Recording->RecordedCalls.filter("LineTo").isEmpty());
  const gdi::HDC DC = Huge.Handle();
  Huge.SetHandle(nullptr);
  gdi::DeleteDC(DC);
}

TEST_F(GradientFillTest, SubGradientIsBlendedOver) {
  open(20, 20);
  G.SetStartColor(clWhite);
  TSubGradient* Sub = G.SubGradient();
  Sub->SetStartColor(clBlack);
  Sub->SetEndColor(clBlack);
  Sub->SetVisible(true);
  C.Brush()->SetStyle(bsSolid);
  G.Draw(&C, Rect(0, 0, 20, 20));
  EXPECT_EQ(Pixel(10, 10), TColor(0x808080));  // half of white: 255 × 128 div 255
}

}  // namespace
