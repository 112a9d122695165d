#include "platform/ui/graphics/canvas.h"

#include "platform/rtl/exceptions.h"
#include "platform/ui/graphics/surface.h"
#include "platform/ui/graphics/textengine.h"
#include "tests/platform/ui/pixelhelpers.h"
#include "tests/support/testing.h"

#include <QDir>
#include <QImage>
#include <atomic>
#include <thread>

using namespace gdi;

namespace {

constexpr COLORREF White = 0xFFFFFF;
constexpr COLORREF Black = 0x000000;

// A canvas on a white surface DC.
class CanvasTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Baseline = GdiObjectCount();
    QImage Image(40, 30, QImage::Format_RGB32);
    Image.fill(Qt::white);
    Surface = std::make_shared<TSurface>(Image);
    DC = CreateSurfaceDC(Surface);
    Canvas = new TCanvas;
    Canvas->SetHandle(DC);
  }
  void TearDown() override {
    Canvas->Free();
    DeleteDC(DC);
    EXPECT_EQ(GdiObjectCount(), Baseline) << "GDI objects leaked";
  }

  COLORREF pixel(int X, int Y) {
    const QRgb P = Surface->Image().pixel(X, Y);
    return RGB(BYTE(qRed(P)), BYTE(qGreen(P)), BYTE(qBlue(P)));
  }
  int count(COLORREF Color) {
    int N = 0;
    for (int Y = 0; Y < Surface->Height(); ++Y)
      for (int X = 0; X < Surface->Width(); ++X) N += pixel(X, Y) == Color;
    return N;
  }

  int Baseline = 0;
  std::shared_ptr<TSurface> Surface;
  HDC DC = nullptr;
  TCanvas* Canvas = nullptr;
};

TEST_F(CanvasTest, DrawingWithoutAHandleRaises) {
  TCanvas Detached;
  EXPECT_FALSE(Detached.HandleAllocated());
  EXPECT_RAISES(Detached.Rectangle(0, 0, 5, 5), EInvalidOperation, "Canvas does not allow drawing");
  EXPECT_RAISES(Detached.Handle(), EInvalidOperation, "Canvas does not allow drawing");
  EXPECT_RAISES(Detached.TextWidth("a"), EInvalidOperation, "Canvas does not allow drawing");
}

TEST_F(CanvasTest, SelectsItsObjectsWithTheirDCState) {
  Canvas->Brush()->SetColor(clBtnFace);
  Canvas->Font()->SetColor(clHighlight);
  Canvas->Pen()->SetMode(pmXor);
  Canvas->Rectangle(0, 0, 5, 5);
  Canvas->TextWidth("a");
  EXPECT_EQ(GetBkColor(DC), 0xF0F0F0u);
  EXPECT_EQ(GetBkMode(DC), OPAQUE);
  EXPECT_EQ(GetTextColor(DC), 0xD77800u);
  EXPECT_EQ(GetROP2(DC), R2_XORPEN);
  EXPECT_EQ(GetCurrentObject(DC, OBJ_PEN), Canvas->Pen()->Handle());
  EXPECT_EQ(GetCurrentObject(DC, OBJ_FONT), Canvas->Font()->Handle());

  Canvas->Brush()->SetStyle(bsCross);
  Canvas->FillRect(Rect(0, 0, 1, 1));
  EXPECT_EQ(GetBkColor(DC), 0x0F0F0Fu);  // the inverted brush colour
  EXPECT_EQ(GetBkMode(DC), TRANSPARENT);
}

TEST_F(CanvasTest, ReselectsOnlyWhatItChanged) {
  Canvas->Pen()->SetColor(clRed);
  Canvas->MoveTo(0, 0);
  Canvas->LineTo(10, 0);
  // flat code selects its own pen and puts the old one back
  HPEN Own = CreatePen(PS_SOLID, 1, 0xFF0000);
  HGDIOBJ Old = SelectObject(Canvas->Handle(), Own);
  MoveToEx(DC, 0, 1, nullptr);
  LineTo(DC, 10, 1);
  SelectObject(DC, Old);
  DeleteObject(Own);
  Canvas->MoveTo(0, 2);
  Canvas->LineTo(10, 2);
  EXPECT_EQ(pixel(5, 0), 0x0000FFu);
  EXPECT_EQ(pixel(5, 1), 0xFF0000u);
  EXPECT_EQ(pixel(5, 2), 0x0000FFu);
  // a change of the pen is picked up by the next call
  Canvas->Pen()->SetColor(clLime);
  Canvas->LineTo(10, 3);
  EXPECT_EQ(pixel(10, 2), 0x00FF00u);
}

TEST_F(CanvasTest, ShapesFollowTheGdiRules) {
  Canvas->Brush()->SetColor(clRed);
  Canvas->FillRect(Rect(2, 2, 5, 5));
  EXPECT_EQ(count(0x0000FF), 9);
  Canvas->Rectangle(10, 2, 14, 6);
  EXPECT_EQ(pixel(10, 2), Black);
  EXPECT_EQ(pixel(13, 5), Black);
  EXPECT_EQ(pixel(11, 3), 0x0000FFu);
  Canvas->Brush()->SetColor(clBlue);
  Canvas->FrameRect(Rect(20, 2, 25, 7));
  EXPECT_EQ(pixel(20, 2), 0xFF0000u);
  EXPECT_EQ(pixel(24, 6), 0xFF0000u);
  EXPECT_EQ(pixel(22, 4), White);
  const TPoint Line[] = {{0, 20}, {10, 20}, {10, 25}};
  Canvas->Polyline(Line);
  EXPECT_EQ(pixel(10, 20), Black);
  EXPECT_EQ(pixel(10, 25), White);
  Canvas->SetPixels(30, 20, clBtnFace);
  EXPECT_EQ(Canvas->Pixels(30, 20), 0xF0F0F0);
  EXPECT_EQ(Canvas->Pixels(40, 0), TColor(CLR_INVALID));
}

TEST_F(CanvasTest, XorPenDrawnTwiceRestores) {
  Canvas->Brush()->SetColor(clTeal);
  Canvas->FillRect(Rect(0, 0, 20, 30));
  const QImage Before = Surface->Image().copy();
  Canvas->Pen()->SetMode(pmXor);
  Canvas->Pen()->SetColor(clWhite);
  Canvas->Brush()->SetStyle(bsClear);
  for (int I = 0; I < 2; ++I) {
    Canvas->MoveTo(5, 0);
    Canvas->LineTo(5, 30);
    Canvas->Rectangle(2, 2, 30, 20);
  }
  EXPECT_EQ(Surface->Image(), Before);
  Canvas->DrawFocusRect(Rect(1, 1, 15, 15));
  Canvas->DrawFocusRect(Rect(1, 1, 15, 15));
  EXPECT_EQ(Surface->Image(), Before);
}

TEST_F(CanvasTest, CopyRectUsesTheCopyMode) {
  QImage Image(4, 4, QImage::Format_RGB32);
  Image.fill(QColor(255, 0, 0));
  HDC SourceDC = CreateSurfaceDC(std::make_shared<TSurface>(Image));
  TCanvas Source;
  Source.SetHandle(SourceDC);
  Canvas->CopyRect(Rect(0, 0, 8, 8), &Source, Rect(0, 0, 4, 4));
  EXPECT_EQ(count(0x0000FF), 64);
  Canvas->SetCopyMode(cmDstInvert);
  Canvas->CopyRect(Rect(0, 0, 2, 2), &Source, Rect(0, 0, 4, 4));
  EXPECT_EQ(pixel(0, 0), 0xFFFF00u);  // cyan: the red inverted
  Source.SetHandle(nullptr);
  DeleteDC(SourceDC);
}

TEST_F(CanvasTest, PropertiesFromTheDC) {
  EXPECT_EQ(Canvas->ClipRect(), Rect(0, 0, 40, 30));
  IntersectClipRect(DC, 1, 2, 3, 4);
  EXPECT_EQ(Canvas->ClipRect(), Rect(1, 2, 3, 4));
  EXPECT_EQ(Canvas->CanvasOrientation(), coLeftToRight);
  SetLayout(DC, LAYOUT_RTL);
  EXPECT_EQ(Canvas->CanvasOrientation(), coRightToLeft);
  Canvas->SetPenPos(Point(7, 8));
  EXPECT_EQ(Canvas->PenPos(), Point(7, 8));
  EXPECT_EQ(Canvas->CopyMode(), cmSrcCopy);
}

TEST_F(CanvasTest, TextCallsGoThroughTheTextEngine) {
  SetTextEngine(TTextEngine::FixedMetrics);
  Canvas->Font()->SetHeight(-11);  // advance 6, line 13
  EXPECT_EQ(Canvas->TextWidth("abc"), 18);
  EXPECT_EQ(Canvas->TextHeight("abc"), 13);
  EXPECT_EQ(Canvas->TextExtent(""), (TSize{0, 13}));
  Canvas->TextOut(2, 3, "ab");
  EXPECT_EQ(Canvas->PenPos(), Point(14, 3));
  // TextRect fills its rectangle with the brush unless bsClear
  Canvas->Brush()->SetColor(clRed);
  Canvas->TextRect(Rect(20, 20, 30, 25), 20, 20, "");
  EXPECT_EQ(pixel(29, 24), 0x0000FFu);
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->TextRect(Rect(30, 20, 40, 25), 30, 20, "");
  EXPECT_EQ(pixel(35, 22), White);
  Canvas->SetTextFlags(ETO_RTLREADING);
  Canvas->TextOut(0, 0, "a");
  EXPECT_EQ(Canvas->TextFlags(), Integer(ETO_RTLREADING));
  SetTextEngine(TTextEngine::Qt);
}

TEST_F(CanvasTest, ReadingTheHandleSelectsTheObjects) {
  Canvas->Font()->SetColor(clRed);
  Canvas->Brush()->SetStyle(bsClear);
  const HDC H = Canvas->Handle();
  EXPECT_EQ(GetCurrentObject(H, OBJ_FONT), Canvas->Font()->Handle());
  EXPECT_EQ(GetTextColor(H), 0x0000FFu);
  EXPECT_EQ(GetBkMode(H), TRANSPARENT);
  EXPECT_EQ(GetCurrentObject(H, OBJ_PEN), Canvas->Pen()->Handle());
}

TEST_F(CanvasTest, RefreshDeselectsAndDetachingKeepsTheDC) {
  Canvas->Rectangle(0, 0, 3, 3);
  const HPEN Pen = Canvas->Pen()->Handle();
  EXPECT_EQ(GetCurrentObject(DC, OBJ_PEN), Pen);
  Canvas->Refresh();
  EXPECT_EQ(GetCurrentObject(DC, OBJ_PEN), GetStockObject(BLACK_PEN));
  Canvas->Rectangle(0, 0, 3, 3);
  EXPECT_EQ(GetCurrentObject(DC, OBJ_PEN), Pen);
  Canvas->SetHandle(nullptr);
  EXPECT_FALSE(Canvas->HandleAllocated());
  EXPECT_EQ(GetCurrentObject(DC, OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetObjectType(DC), OBJ_DC);
}

TEST_F(CanvasTest, EventsAroundEachDrawingCall) {
  std::vector<std::string> Log;
  Canvas->OnChanging = [&](TObject*) { Log.push_back("changing"); };
  Canvas->OnChange = [&](TObject*) { Log.push_back("change"); };
  Canvas->FillRect(Rect(0, 0, 1, 1));
  Canvas->TextWidth("x");  // measuring changes nothing
  EXPECT_EQ(Log, (std::vector<std::string>{"changing", "change"}));
}

TEST_F(CanvasTest, LockIsRecursivePerCanvas) {
  Canvas->Lock();
  EXPECT_TRUE(Canvas->TryLock());
  EXPECT_EQ(Canvas->LockCount(), 2);
  std::atomic<bool> Other{true};
  std::thread([&] { Other = Canvas->TryLock(); }).join();
  EXPECT_FALSE(Other);
  Canvas->Unlock();
  Canvas->Unlock();
  EXPECT_EQ(Canvas->LockCount(), 0);
  std::thread([&] {
    Other = Canvas->TryLock();
    if (Other) Canvas->Unlock();
  }).join();
  EXPECT_TRUE(Other);
}

TEST_F(CanvasTest, MixedSceneLeavesNoObjectsBehind) {
  // every pen, brush and font the canvas makes goes with it (TearDown checks)
  for (int I = 0; I < 5; ++I) {
    Canvas->Pen()->SetColor(TColor(I * 40));
    Canvas->Pen()->SetWidth(1 + I % 2);
    Canvas->Brush()->SetStyle(I % 2 ? bsSolid : bsBDiagonal);
    Canvas->Font()->SetSize(8 + I);
    Canvas->Ellipse(I, I, 20 + I, 20);
    Canvas->TextWidth("x");
  }
  SaveForReview(Surface->Image(), QStringLiteral("canvas_scene.png"));
}

}  // namespace
