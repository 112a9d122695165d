#include "gridlib/base/textdraw.h"

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/surface.h"
#include "platform/ui/graphics/textengine.h"
#include "tests/platform/ui/pixelhelpers.h"
#include "tests/support/testing.h"

#include <QRect>

using namespace gdi;

namespace {

constexpr TColor Ink = clBlack;
constexpr TColor Paper = clWhite;

// A white 200 x 100 bitmap, black text in the fixed metrics: each character
// advances 6 pixels and is drawn as a 5 x 11 box at the top of its 13-pixel
// line.
class TextDrawEh : public ::testing::Test {
protected:
  void SetUp() override {
    SetTextEngine(TTextEngine::FixedMetrics);
    AcquireSharedTextBitmapEh();
    Bitmap.SetSize(200, 100);
    Canvas = Bitmap.Canvas();
    Canvas->Font()->SetHeight(-11);
    Canvas->Font()->SetColor(Ink);
    clear();
  }
  void TearDown() override {
    ReleaseSharedTextBitmapEh();
    SetTextEngine(TTextEngine::Qt);
  }

  void clear() {
    Canvas->Brush()->SetColor(Paper);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->FillRect(Rect(0, 0, 200, 100));
  }
  // Bounding box of the ink pixels.
  QRect ink() {
    QRect Box;
    for (int Y = 0; Y < Bitmap.Height(); ++Y)
      for (int X = 0; X < Bitmap.Width(); ++X)
        if (PixelAt(&Bitmap, X, Y) == Ink) Box |= QRect(X, Y, 1, 1);
    return Box;
  }
  void draw(const TRect& R, const String& Text, TAlignment Alignment = taLeftJustify, TTextLayout Layout = tlTop,
            Integer DX = 0, Integer DY = 0, bool SingleLine = true, bool RightToLeft = false,
            Integer LeftMarg = 0, Integer RightMarg = 0, bool WordWrap = false, bool EndEllipsis = false) {
    DrawTextInRectEh(Canvas, R, /*FillRect=*/false, DX, DY, Text, Alignment, Layout, WordWrap, EndEllipsis,
                     LeftMarg, RightMarg, RightToLeft, SingleLine);
  }

  TBitmap Bitmap;
  TCanvas* Canvas = nullptr;
};

// The one-line output leaves the right-to-left flag on the canvas; the
// formatter never touches it, which shows the path taken.
TEST_F(TextDrawEh, PathChoice) {
  const String Short = QStringLiteral("abc");
  const struct {
    const char* Name;
    String Text;
    bool WordWrap, EndEllipsis, SingleLine;
    Integer LeftMarg, RightMarg;
    bool OneLine;
  } Cases[] = {
      {"ordinary cell", Short, false, false, true, 0, 0, true},
      {"32768 characters", String(0x8000, u'a'), false, false, true, 0, 0, true},
      {"32769 characters", String(0x8001, u'a'), false, false, true, 0, 0, false},
      {"40000 characters", String(40000, u'a'), false, false, true, 0, 0, false},
      {"word wrap", Short, true, false, true, 0, 0, false},
      {"end ellipsis", Short, false, true, true, 0, 0, false},
      {"left margin", Short, false, false, true, 1, 0, false},
      {"right margin", Short, false, false, true, 0, 1, false},
      {"several lines", Short, false, false, false, 0, 0, false},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    Canvas->SetTextFlags(0);
    DrawTextInRectEh(Canvas, Rect(0, 0, 100, 20), false, 0, 0, C.Text, taLeftJustify, tlTop, C.WordWrap,
                     C.EndEllipsis, C.LeftMarg, C.RightMarg, /*RightToLeft=*/true, C.SingleLine);
    EXPECT_EQ((Canvas->TextFlags() & ETO_RTLREADING) != 0, C.OneLine);
  }
}

TEST_F(TextDrawEh, SeveralLinesHonourLineBreaks) {
  draw(Rect(0, 0, 100, 40), QStringLiteral("ab\r\ncd"), taLeftJustify, tlTop, 0, 0, /*SingleLine=*/false);
  EXPECT_EQ(ink(), QRect(0, 0, 11, 24));  // two lines of two boxes
  clear();
  draw(Rect(0, 0, 100, 40), QStringLiteral("ab\r\ncd"));
  EXPECT_EQ(ink().height(), 11);  // one line
}

// Both paths put a one-line text at the same place, except that the one-line
// output's right alignment keeps one pixel more.
TEST_F(TextDrawEh, PlacementOnBothPaths) {
  const TRect Cell = Rect(10, 10, 110, 50);
  const struct {
    const char* Name;
    TAlignment Alignment;
    TTextLayout Layout;
    QRect OneLine, Formatter;
  } Cases[] = {
      {"left top", taLeftJustify, tlTop, QRect(12, 13, 11, 11), QRect(12, 13, 11, 11)},
      {"centre", taCenter, tlCenter, QRect(54, 23, 11, 11), QRect(53, 23, 11, 11)},
      {"right bottom", taRightJustify, tlBottom, QRect(95, 34, 11, 11), QRect(96, 34, 11, 11)},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    clear();
    draw(Cell, QStringLiteral("ab"), C.Alignment, C.Layout, /*DX=*/2, /*DY=*/3);
    EXPECT_EQ(ink(), C.OneLine);
    clear();
    draw(Cell, QStringLiteral("ab"), C.Alignment, C.Layout, 2, 3, /*SingleLine=*/false);
    EXPECT_EQ(ink(), C.Formatter);
  }
}

TEST_F(TextDrawEh, RightMarginIsLeftMarginPlusDX) {
  // LeftMarg 3, RightMarg 9, DX 2: the text ends 5 pixels inside, at 95.
  draw(Rect(0, 0, 100, 20), QStringLiteral("ab"), taRightJustify, tlTop, 2, 0, true, false, 3, 9);
  EXPECT_EQ(ink().right(), 93);  // the last box's last pixel: 95 - 1 (gap) - 1
  EXPECT_EQ(ink().left(), 83);
}

TEST_F(TextDrawEh, TallTextIsClippedToTheCell) {
  // Three words of 54 pixels in a 60-pixel cell make three lines (39
  // pixels), centred over a 13-pixel cell.
  const String Text = QStringLiteral("aaaaaaaaa bbbbbbbbb ccccccccc");
  const TRect Cell = Rect(10, 40, 70, 53);
  draw(Cell, Text, taLeftJustify, tlCenter, 0, 0, false, false, 0, 0, /*WordWrap=*/true);
  EXPECT_EQ(ink(), QRect(10, 40, 53, 11));  // the middle line alone
  EXPECT_EQ(Canvas->ClipRect(), Rect(0, 0, 200, 100));  // the clip is given back

  // Under a transform the clip would be wrong, so none is made: the first
  // line shows above the cell (all drawn 20 pixels lower by the transform);
  // the last stays below the formatting rectangle.
  clear();
  SetCanvasTransformEh(Canvas, 1, 0, 0, 20);
  draw(Cell, Text, taLeftJustify, tlCenter, 0, 0, false, false, 0, 0, true);
  ResetCanvasTransformEh(Canvas);
  EXPECT_EQ(ink(), QRect(10, 47, 53, 24));
}

TEST_F(TextDrawEh, DitheredBrushGoesThroughTheSharedBitmap) {
  constexpr TColor Wanted = 0x3366CC, Dithered = 0x3060C0;
  DCSurface(Canvas->Handle())->NearestColor = [](COLORREF C) { return C == COLORREF(Wanted) ? Dithered : C; };
  Canvas->Brush()->SetColor(Wanted);
  draw(Rect(10, 10, 60, 30), QStringLiteral("ab"));  // FillRect False, and yet filled
  EXPECT_EQ(PixelAt(&Bitmap, 40, 25), Wanted);
  EXPECT_EQ(PixelAt(&Bitmap, 5, 5), Paper);
  EXPECT_EQ(ink(), QRect(10, 10, 11, 11));
  EXPECT_EQ(CountPixels(&Bitmap, Rect(0, 0, 200, 100), Wanted), 50 * 20 - 2 * 5 * 11);

  TBitmap* Shared = SharedTextBitmapEh();
  EXPECT_EQ(Shared->Width(), 50);
  draw(Rect(0, 0, 30, 40), QStringLiteral("a"));
  EXPECT_EQ((TSize{Shared->Width(), Shared->Height()}), (TSize{50, 40}));  // grown, never shrunk
  DrawSingleLineTextEh(Canvas, Rect(0, 50, 20, 60), 0, 0, QStringLiteral("a"), taLeftJustify);
  EXPECT_EQ((TSize{Shared->Width(), Shared->Height()}), (TSize{50, 40}));
  EXPECT_EQ(PixelAt(&Bitmap, 15, 55), Wanted);
  DCSurface(Canvas->Handle())->NearestColor = nullptr;
}

TEST_F(TextDrawEh, FillRectPaintsTheCell) {
  Canvas->Brush()->SetColor(clYellow);
  DrawTextInRectEh(Canvas, Rect(0, 0, 50, 20), /*FillRect=*/true, 0, 0, QStringLiteral("ab"), taLeftJustify, tlTop,
                   false, false, 0, 0, false, /*SingleLine=*/false);
  EXPECT_EQ(PixelAt(&Bitmap, 45, 15), clYellow);
  EXPECT_EQ(PixelAt(&Bitmap, 55, 15), Paper);
  EXPECT_EQ(ink(), QRect(0, 0, 11, 11));
  EXPECT_EQ(Canvas->Brush()->Color(), clYellow);
  EXPECT_EQ(Canvas->Brush()->Style(), bsSolid);
}

TEST_F(TextDrawEh, SingleLineTwinKeepsThreePixelsOnTheRight) {
  Canvas->Brush()->SetColor(Paper);
  DrawSingleLineTextEh(Canvas, Rect(0, 0, 100, 20), 5, 2, QStringLiteral("ab"), taRightJustify);
  EXPECT_EQ(ink(), QRect(85, 2, 11, 11));  // starts at 100 - 12 - 3, DX not used
  clear();
  DrawSingleLineTextEh(Canvas, Rect(10, 0, 30, 20), 0, 0, QStringLiteral("abcdef"), taLeftJustify);
  EXPECT_EQ(ink().right(), 29);  // clipped to the cell
}

TEST_F(TextDrawEh, ParamsRecordAlignsVertically) {
  TTextDrawParamsEh Params;
  Params.VertAlignment = taAlignBottom;
  Params.Alignment = taRightJustify;
  DrawTextWithParamsEh(Canvas, QStringLiteral("ab"), Rect(0, 0, 100, 40), TRect(), Params);
  EXPECT_EQ(ink(), QRect(88, 27, 11, 11));
  clear();
  Params.VertAlignment = taVerticalCenter;
  Params.Alignment = taLeftJustify;
  Params.FillBackground = true;
  Canvas->Brush()->SetColor(clYellow);
  Canvas->Brush()->SetStyle(bsClear);
  DrawTextWithParamsEh(Canvas, QStringLiteral("ab"), Rect(0, 0, 100, 40), TRect(), Params);
  EXPECT_EQ(ink(), QRect(0, 13, 11, 11));
  EXPECT_EQ(PixelAt(&Bitmap, 2, 14), Ink);
  EXPECT_EQ(PixelAt(&Bitmap, 5, 14), clYellow);  // the glyphs' background
  EXPECT_EQ(PixelAt(&Bitmap, 12, 14), Paper);
  EXPECT_EQ(Canvas->Brush()->Style(), bsClear);    // given back
}

TEST_F(TextDrawEh, MeasuringAndRotation) {
  EXPECT_EQ(GetTextWidthByDrawTextEh(Canvas, QStringLiteral("abc")), 18);
  DrawRotatedTextInRectEh(Canvas, Rect(20, 10, 40, 90), false, 0, 0, QStringLiteral("abcd"), taLeftJustify, tlTop,
                          false, false);
  const QRect Box = ink();
  EXPECT_TRUE(QRect(20, 10, 20, 80).contains(Box));
  EXPECT_GT(Box.height(), Box.width());  // reads along the height
  EXPECT_EQ(Box.bottom(), 89);           // from the bottom up
  XFORM Transform;
  GetWorldTransform(Canvas->Handle(), &Transform);
  EXPECT_EQ(Transform, XFORM{});  // the DC is as before
}

TEST_F(TextDrawEh, RotationStacksOnATransform) {
  const HDC DC = Canvas->Handle();
  RotateCanvas90Eh(Canvas);
  XFORM First;
  GetWorldTransform(DC, &First);
  EXPECT_EQ(GetGraphicsMode(DC), GM_ADVANCED);
  EXPECT_FLOAT_EQ(First.eM12, -1);
  EXPECT_FLOAT_EQ(First.eM21, 1);
  RotateCanvas90Eh(Canvas);  // twice: half a turn
  XFORM Second;
  GetWorldTransform(DC, &Second);
  EXPECT_NEAR(Second.eM11, -1, 1e-6);
  EXPECT_NEAR(Second.eM22, -1, 1e-6);
  ResetCanvasTransformEh(Canvas);
  EXPECT_EQ(GetGraphicsMode(DC), GM_COMPATIBLE);
}

TEST(TextDrawRealFontEh, CentredTextIsCentred) {
  TBitmap Bitmap;
  Bitmap.SetSize(200, 30);
  TCanvas* Canvas = Bitmap.Canvas();
  Canvas->Brush()->SetColor(clWhite);
  Canvas->FillRect(Rect(0, 0, 200, 30));
  Canvas->Font()->SetName(QStringLiteral("Arial"));
  Canvas->Font()->SetStyle({fsBold});
  DrawTextInRectEh(Canvas, Rect(0, 0, 200, 30), false, 0, 0, QStringLiteral("Centred"), taCenter, tlCenter, false,
                   false, 0, 0, false, true);
  int Left = 200, Right = -1;
  for (int Y = 0; Y < 30; ++Y)
    for (int X = 0; X < 200; ++X)
      if ((PixelAt(&Bitmap, X, Y) & 0xFF) < 128) {
        Left = std::min(Left, X);
        Right = std::max(Right, X);
      }
  ASSERT_GE(Right, Left);
  EXPECT_NEAR((Left + Right) / 2.0, 100, 3);
}

}  // namespace
