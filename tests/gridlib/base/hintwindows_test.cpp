#include "gridlib/base/hintwindows.h"

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/textengine.h"
#include "platform/ui/windowing/application.h"
#include "tests/platform/ui/pixelhelpers.h"
#include "tests/support/testing.h"

#include <QRect>
#include <memory>

namespace {

// A hint window over the fixed text metrics: a character of an 11-pixel font
// advances 6 pixels and is an 5 x 11 box, a line is 13 pixels high.
class HintWindowEh : public ::testing::Test {
protected:
  void SetUp() override {
    InitializeForms();
    SetTextEngine(TTextEngine::FixedMetrics);
    Window = new THintWindowEh(nullptr);
    Window->Font()->SetHeight(-11);
    Window->Font()->SetColor(clBlack);
  }
  void TearDown() override {
    Window->Free();
    SetTextEngine(TTextEngine::Qt);
    FinalizeForms();
  }

  // The box of the pixels of Color in the shown window (frame included).
  QRect inkOf(TColor Color) {
    std::unique_ptr<TBitmap> Image = GrabWindow(Window);
    QRect Box;
    for (int Y = 0; Y < Image->Height(); ++Y)
      for (int X = 0; X < Image->Width(); ++X)
        if (PixelAt(Image.get(), X, Y) == Color) Box |= QRect(X, Y, 1, 1);
    return Box;
  }

  THintWindowEh* Window = nullptr;
};

// The window's frame is one pixel, so the client area starts at (1, 1).
TEST_F(HintWindowEh, OwnColourDrawsTheTextTwoPixelsIn) {
  for (const TColor Back : {TColor(clWhite), Application->HintColor()}) {
    SCOPED_TRACE(Back);
    Window->SetColor(Back);
    Window->ActivateHint(Bounds(20, 20, 60, 20), QStringLiteral("ab"));
    EXPECT_EQ(inkOf(clBlack), QRect(3, 3, 11, 11));
  }
}

TEST_F(HintWindowEh, TakesTheFontHandedOverWithTheHint) {
  Window->SetColor(clWhite);
  TFont Red;
  Red.SetHeight(-11);
  Red.SetColor(clRed);
  Window->ActivateHintData(Bounds(20, 20, 60, 20), QStringLiteral("a"), &Red);
  EXPECT_EQ(Window->Font()->Color(), clRed);
  EXPECT_EQ(inkOf(TColor(ColorToRGB(clRed))), QRect(3, 3, 5, 11));

  TBitmap NotAFont;
  Window->ActivateHintData(Bounds(20, 20, 60, 20), QStringLiteral("a"), &NotAFont);
  EXPECT_EQ(Window->Font()->Color(), clRed);
}

TEST_F(HintWindowEh, CalcHintRectAddsTheFrameToTheMeasuredText) {
  TFont Data;
  Data.SetHeight(-11);
  Data.SetColor(clRed);
  EXPECT_EQ(Window->CalcHintRect(200, QStringLiteral("abc"), &Data), Rect(0, 0, 3 * 6 + 6, 13 + 2));
  EXPECT_EQ(Window->Canvas()->Font()->Color(), clWindowText);
  // Wrapped at the width: two lines.
  EXPECT_EQ(Window->CalcHintRect(20, QStringLiteral("abc def"), &Data), Rect(0, 0, 3 * 6 + 6, 2 * 13 + 2));
}

}  // namespace
