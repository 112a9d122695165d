#include "gridlib/editors/speedbutton.h"

#include "platform/ui/graphics/edges.h"
#include "platform/ui/graphics/styles.h"
#include "platform/ui/graphics/textengine.h"
#include "tests/gridlib/editors/editorsfixture.h"

#include <memory>

using namespace gdi;

namespace {

constexpr TColor Olive = clOlive;
constexpr TColor Gray128 = TColor(0x00808080);

// A strip Width x Height filled with Fill.
std::unique_ptr<TBitmap> strip(int Width, int Height, TColor Fill = Olive) {
  auto B = std::make_unique<TBitmap>();
  B->SetSize(Width, Height);
  B->Canvas()->Brush()->SetColor(Fill);
  B->Canvas()->FillRect(Rect(0, 0, Width, Height));
  return B;
}

TColor rgb(TColor Color) { return TColor(ColorToRGB(Color)); }

void fill(TBitmap* B, const TRect& R, TColor Color) {
  B->Canvas()->Brush()->SetColor(Color);
  B->Canvas()->FillRect(R);
}

class SpeedButtonTest : public EditorsFixture {
protected:
  void SetUp() override {
    EditorsFixture::SetUp();
    Form->SetBorderStyle(bsNone);
    Button = make<TSpeedButtonEh>(Bounds(10, 10, 23, 22));
    Form->Show();
  }
  // A pixel of the button at its own client coordinates.
  TColor at(int X, int Y) { return pixel(10 + X, 10 + Y); }

  TSpeedButtonEh* Button = nullptr;
};

TEST_F(SpeedButtonTest, ANewButtonIsTransparentAndNotFlatWithCentredLayout) {
  auto* Fresh = new TSpeedButtonEh(Form);
  EXPECT_EQ(Fresh->BoundsRect(), Bounds(0, 0, 23, 22));
  EXPECT_EQ(Fresh->Spacing(), 4);
  EXPECT_EQ(Fresh->Margin(), -1);
  EXPECT_EQ(Fresh->Layout(), blGlyphLeftEh);
  EXPECT_TRUE(Fresh->Transparent());
  EXPECT_FALSE(Fresh->ControlStyle().Contains(csOpaque));
  EXPECT_FALSE(Fresh->Flat());
  EXPECT_EQ(Fresh->NumGlyphs(), 1);
  Fresh->SetMargin(-2);
  EXPECT_EQ(Fresh->Margin(), -1) << "a margin below -1 is ignored";
  Fresh->SetTransparent(false);
  EXPECT_TRUE(Fresh->ControlStyle().Contains(csOpaque));
}

TEST_F(SpeedButtonTest, TheStripWidthGivesThePieceCount) {
  struct Case {
    const char* Name;
    int Width, Height;
    Integer Expected;
  } const Cases[] = {
      {"four pieces", 64, 16, 4},
      {"five pieces are one", 80, 16, 1},
      {"not a multiple: unchanged", 40, 16, 2},
      {"an empty strip: unchanged", 0, 0, 2},  // used to divide by zero
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Button->SetNumGlyphs(2);
    Button->SetGlyph(strip(C.Width, C.Height).get());
    EXPECT_EQ(Button->NumGlyphs(), C.Expected);
  }
  Button->SetNumGlyphs(9);
  EXPECT_EQ(Button->NumGlyphs(), 4) << "capped";
}

TEST_F(SpeedButtonTest, TwoPiecesShowTheFirstPressedAndItsEmbossedImageDisabled) {
  auto S = strip(32, 16);
  fill(S.get(), Rect(2, 2, 6, 6), clWhite);
  fill(S.get(), Rect(6, 2, 10, 6), Gray128);
  fill(S.get(), Rect(10, 2, 14, 6), clBlack);
  fill(S.get(), Rect(16, 0, 32, 16), clRed);  // piece 1, the hot one
  Button->SetTransparent(false);
  Button->SetGlyph(S.get());
  ASSERT_EQ(Button->NumGlyphs(), 2);

  // A glyph alone in 23 x 22 sits at (3, 3); pressed moves it by (1, 1).
  test::MouseDown(Button, {5, 5});
  ASSERT_EQ(Button->State(), bsPressedEh);
  EXPECT_EQ(at(4 + 10, 4 + 2), clBlack) << "piece 0, not the red piece 1";
  test::MouseUp(Button, {5, 5});

  Button->SetEnabled(false);
  ASSERT_EQ(Button->State(), bsDisabledEh);
  EXPECT_EQ(at(3 + 2, 3 + 2), rgb(clBtnHighlight)) << "white";
  EXPECT_EQ(at(3 + 6, 3 + 2), rgb(clBtnShadow)) << "grey 128";
  EXPECT_EQ(at(3 + 10, 3 + 2), clBlack) << "other colours stay";
  EXPECT_EQ(at(3 + 0, 3 + 0), rgb(clBtnFace)) << "the transparent colour";
}

TEST_F(SpeedButtonTest, OnePieceDisabledIsAnEmbossedSilhouette) {
  auto S = strip(16, 16);
  fill(S.get(), Rect(4, 4, 8, 8), clBlack);
  Button->SetTransparent(false);
  Button->SetGlyph(S.get());
  Button->SetEnabled(false);
  EXPECT_EQ(at(3 + 4, 3 + 4), rgb(clBtnShadow));
  EXPECT_EQ(at(3 + 8, 3 + 8), rgb(clBtnHighlight)) << "the highlight one pixel down and right";
  EXPECT_EQ(at(3 + 2, 3 + 2), rgb(clBtnFace));
}

TEST_F(SpeedButtonTest, LayoutPlacesGlyphAndCaptionByMarginAndSpacing) {
  Button->SetGlyph(strip(16, 16).get());
  TBitmap Surface;
  Surface.SetSize(80, 30);
  TCanvas* C = Surface.Canvas();
  C->Font()->SetHeight(-12);  // six pixels a character: five are 30
  struct Case {
    const char* Name;
    TRect Client;
    String Caption;
    Integer Margin, Spacing;
    int GlyphX, GlyphY, TextX;
  } const Cases[] = {
      {"centred together", Rect(0, 0, 75, 22), "abcde", -1, 4, 12, 3, 32},
      {"three equal gaps", Rect(0, 0, 75, 22), "abcde", -1, -1, 9, 3, 34},
      {"margin given, spacing split", Rect(0, 0, 75, 22), "abcde", 2, -1, 2, 3, 31},
      {"glyph only", Rect(0, 0, 23, 22), "", -1, 4, 3, 3, 0},
  };
  for (const Case& K : Cases) {
    SCOPED_TRACE(K.Name);
    TPoint GlyphPos;
    TRect TextBounds;
    Button->ButtonGlyph()->CalcButtonLayout(C, K.Client, {0, 0}, K.Caption, blGlyphLeftEh, K.Margin, K.Spacing,
                                            GlyphPos, TextBounds, 0);
    EXPECT_EQ(GlyphPos, (TPoint{K.GlyphX, K.GlyphY}));
    if (!K.Caption.isEmpty()) {
      EXPECT_EQ(TextBounds.Width(), 30);
      EXPECT_EQ(TextBounds.Left, K.TextX);
    }
  }
  TPoint GlyphPos;
  TRect TextBounds;
  Button->ButtonGlyph()->CalcButtonLayout(C, Rect(0, 0, 75, 22), {0, 0}, "abcde", blGlyphLeftEh, -1, 4, GlyphPos,
                                          TextBounds, DT_RTLREADING);
  EXPECT_GT(GlyphPos.X, TextBounds.Left) << "right-to-left reading puts the glyph right of the caption";
  EXPECT_EQ(GlyphPos.X, TextBounds.Right + 4);
}

TEST_F(SpeedButtonTest, AHeldButtonRepeatsAfter400ThenEvery100Ms) {
  int Downs = 0;
  Button->SetAutoRepeat(true);
  Button->OnDown = [&](TObject*, bool&, bool&) { ++Downs; };
  test::MouseDown(Button, {5, 5});
  EXPECT_EQ(Downs, 1) << "at once";
  test::AdvanceTime(399);
  EXPECT_EQ(Downs, 1);
  test::AdvanceTime(1);
  EXPECT_EQ(Downs, 2);
  test::AdvanceTime(100);
  EXPECT_EQ(Downs, 3);
  test::AdvanceTime(100);
  EXPECT_EQ(Downs, 4);
  test::MouseUp(Button, {5, 5});
  test::AdvanceTime(500);
  EXPECT_EQ(Downs, 4) << "the release stops it";
}

TEST_F(SpeedButtonTest, AReleaseOutsideDoesNotClickAndComingBackInDoes) {
  int Clicks = 0;
  Button->OnClick = [&](TObject*) { ++Clicks; };
  test::MouseDown(Button, {5, 5});
  test::MouseMove(Button, {40, 5});
  EXPECT_EQ(Button->State(), bsHotEh) << "dragged out";
  test::MouseUp(Button, {40, 5});
  EXPECT_EQ(Clicks, 0);

  test::MouseDown(Button, {5, 5});
  test::MouseMove(Button, {40, 5});
  test::MouseMove(Button, {6, 6});
  EXPECT_EQ(Button->State(), bsPressedEh);
  test::MouseUp(Button, {6, 6});
  EXPECT_EQ(Clicks, 1);
}

TEST_F(SpeedButtonTest, FlatButtonsShowARaisedEdgeWhenHotAndASunkenOneWhenPressed) {
  Button->SetFlat(true);
  EXPECT_EQ(at(0, 0), rgb(Form->Color())) << "no frame at rest";
  test::MouseMove(Button, {5, 5});
  ASSERT_EQ(Button->State(), bsHotEh);
  EXPECT_EQ(at(0, 0), rgb(clBtnHighlight));
  EXPECT_EQ(at(22, 21), rgb(clBtnShadow));
  test::MouseDown(Button, {5, 5});
  EXPECT_EQ(at(0, 0), rgb(clBtnShadow));
  EXPECT_EQ(at(22, 21), rgb(clBtnHighlight));
  test::MouseUp(Button, {5, 5});
}

TEST_F(SpeedButtonTest, ThreeDButtonsAreAPushButtonFramePushedWhilePressed) {
  auto frameOf = [](UINT State) {
    auto B = strip(23, 22, clFuchsia);
    TRect R = Rect(0, 0, 23, 22);
    DrawFrameControl(B->Canvas()->Handle(), &R, DFC_BUTTON, DFCS_BUTTONPUSH | State);
    return B;
  };
  for (UINT State : {UINT(0), UINT(DFCS_PUSHED)}) {
    SCOPED_TRACE(State);
    const bool Pressed = State != 0;
    if (Pressed) test::MouseDown(Button, {5, 5});
    auto Expected = frameOf(State);
    for (int I = 0; I < 22; ++I) {
      EXPECT_EQ(at(I, 0), PixelAt(Expected.get(), I, 0)) << "top row at " << I;
      EXPECT_EQ(at(0, I), PixelAt(Expected.get(), 0, I)) << "left column at " << I;
      EXPECT_EQ(at(22, I), PixelAt(Expected.get(), 22, I)) << "right column at " << I;
    }
    if (Pressed) test::MouseUp(Button, {5, 5});
  }
}

TEST_F(SpeedButtonTest, ThemedButtonsDrawTheElementAndMoveAPressedGlyphRightOnly) {
  TRecordingStyleServices Fake;
  SetStyleServices(&Fake);
  Button->SetGlyph(strip(16, 16).get());
  test::MouseDown(Button, {5, 5});
  Form->Repaint();
  test::MouseUp(Button, {5, 5});
  SetStyleServices(nullptr);
  // The content rectangle is 2 pixels in: (2, 2, 21, 20); the glyph centres
  // in it at (3, 3) and moves (1, 0).
  EXPECT_TRUE(Fake.Calls.contains("DrawElement(teButton,1,3,(0,0,23,22))")) << Fake.Calls.join("\n").toStdString();
  EXPECT_TRUE(Fake.Calls.contains("DrawIcon(teButton,1,3,(4,3,20,19),index=0)"))
      << Fake.Calls.join("\n").toStdString();
}

}  // namespace
