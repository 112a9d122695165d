#include "chartlib/canvas/teecanvas3d.h"

#include "chartlib/canvas/teeshadow.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/surface.h"
#include "platform/ui/graphics/textengine.h"

#include "tests/chartlib/canvas/canvasfixture.h"

namespace {

// The GDI canvas drawing straight on a recording surface (no buffer), text
// in fixed metrics: a unit of an em-15 font (11 points) advances 8 pixels.
class TextTest : public CanvasTest {
protected:
  void SetUp() override {
    SetTextEngine(TTextEngine::FixedMetrics);
    Target.SetHandle(CreateSurfaceDC(Recording));
    C.SetUseBuffer(false);
    C.InitWindow(&Target, nullptr, clWhite, false, Rect(0, 0, 200, 100));
    C.Font()->SetSize(11);
    C.SetBackMode(cbmTransparent);
    Recording->Recording = true;
  }
  void TearDown() override {
    const gdi::HDC DC = Target.Handle();
    Target.SetHandle(nullptr);
    gdi::DeleteDC(DC);
    SetTextEngine(TTextEngine::Qt);
  }
  QStringList& Calls() { return Recording->RecordedCalls; }
  // The recorded text outputs, each cut before its font.
  QStringList TextOuts() {
    QStringList Result;
    for (const QString& Call : Calls())
      if (Call.startsWith("TextOut(")) Result << Call.left(Call.indexOf(" font="));
    return Result;
  }

  std::shared_ptr<TSurface> Recording = TSurface::MakeRecording(200, 100);
  TCanvas Target;
  TTeeCanvas3D C;
};

TEST_F(TextTest, RotatedLabelsTurnByTheEscapementAndPlainOnesDoNot) {
  C.RotateLabel(10, 50, "ab", 450, false);
  ASSERT_EQ(Calls().size(), 1);
  EXPECT_TRUE(Calls()[0].startsWith("TextOut(10,50,ab) font=Arial/-15/"));
  EXPECT_TRUE(Calls()[0].contains(" esc=900"));
  Calls().clear();
  C.RotateLabel(10, 50, "ab", 0, false);
  ASSERT_EQ(Calls().size(), 1);
  EXPECT_FALSE(Calls()[0].contains("esc="));
}

TEST_F(TextTest, ShadowAndEmbossMoveTheTextForNegativeSizes) {
  struct Case {
    const char* Name;
    bool Emboss;
    QStringList Expected;
  } const Cases[] = {
      {"shadow -3: shadow at the anchor, text right", false, {"TextOut(10,20,ab)", "TextOut(13,20,ab)"}},
      {"emboss -3: emboss at the anchor, text left", true, {"TextOut(10,20,ab)", "TextOut(7,20,ab)"}},
  };
  for (const Case& Cs : Cases) {
    SCOPED_TRACE(Cs.Name);
    C.Font()->SetShadow(nullptr);
    C.Font()->SetEmboss(nullptr);
    TTeeShadow* S = Cs.Emboss ? static_cast<TTeeShadow*>(C.Font()->Emboss()) : C.Font()->Shadow();
    S->SetVisible(true);
    S->SetSmooth(false);
    S->SetTransparency(0);
    S->SetHorizSize(-3);
    S->SetVertSize(0);
    Calls().clear();
    C.TextOut(10, 20, "ab");
    EXPECT_EQ(TextOuts(), Cs.Expected);
  }
}

TEST_F(TextTest, OutlineWithoutFontColourIsOnlyStroked) {
  C.Font()->OutLine()->SetVisible(true);
  C.Font()->SetColor(clNone);
  C.TextOut(10, 20, "ab");
  EXPECT_EQ(Calls().filter("StrokePath").size(), 1);
  EXPECT_TRUE(Calls().filter("StrokeAndFillPath").isEmpty());
  EXPECT_EQ(TextOuts(), QStringList{"TextOut(10,20,ab)"});  // the path's only
  Calls().clear();
  C.Font()->SetColor(clBlack);
  C.TextOut(10, 20, "ab");
  EXPECT_EQ(Calls().filter("StrokeAndFillPath").size(), 1);
  EXPECT_EQ(TextOuts(), (QStringList{"TextOut(10,20,ab)", "TextOut(10,20,ab)"}));  // a 1-pixel pen: W div 2 = 0
}

TEST_F(TextTest, TextBoxFollowsTheAlignment) {
  struct Case {
    Integer Align;
    TRect Box;
  } const Cases[] = {
      {TeeTextAlignLeft, Rect(100, 10, 140, 28)},
      {TeeTextAlignCenter, Rect(80, 10, 120, 28)},
      {TeeTextAlignRight | 8, Rect(60, 10, 100, 28)},  // the bottom flag is not read
  };
  for (const Case& Cs : Cases) {
    SCOPED_TRACE(Cs.Align);
    C.SetTextAlign(Cs.Align);
    EXPECT_EQ(C.TextBox(100, 10, "abcde"), Cs.Box);
  }
}

TEST_F(TextTest, FontQualityByTheTable) {
  struct Case {
    tee::TFontQuality Font, Canvas;
    gdi::BYTE Expected;
  } const Cases[] = {
      {tee::fqBest, tee::fqNormal, 4},     {tee::fqNormal, tee::fqBest, 3},
      {tee::fqClearType, tee::fqNormal, 4}, {tee::fqDefault, tee::fqBest, 4},
      {tee::fqDefault, tee::fqNormal, 3},  {tee::fqDefault, tee::fqDefault, 0},
      {tee::fqDefault, tee::fqClearType, 5},
  };
  for (const Case& Cs : Cases) {
    C.Font()->SetQuality(Cs.Font);
    C.FontQuality = Cs.Canvas;
    EXPECT_EQ(C.FontQualityByte(), Cs.Expected) << int(Cs.Font) << " on " << int(Cs.Canvas);
  }
  const gdi::HDC DC = C.Handle();
  const gdi::HFONT Old = C.SelectSizedFont(DC, 11);
  gdi::LOGFONTW Made;
  gdi::GetObject(gdi::GetCurrentObject(DC, gdi::OBJ_FONT), sizeof(Made), &Made);
  EXPECT_EQ(Made.lfQuality, gdi::CLEARTYPE_QUALITY);
  EXPECT_EQ(Made.lfHeight, -15);
  gdi::DeleteObject(gdi::SelectObject(DC, Old));
}

TEST_F(TextTest, HtmlTextAtADepthDropsItsTags) {
  C.TextOut3D(10, 20, 0, "<b>ab</b>", /*AllowHTML=*/true);
  EXPECT_EQ(TextOuts().size(), 1);
  EXPECT_TRUE(TextOuts().value(0).endsWith(",ab)"));
}

// The same canvas drawing into its buffer.
class BufferedTextTest : public CanvasTest {
protected:
  void SetUp() override {
    SetTextEngine(TTextEngine::FixedMetrics);
    Window.SetSize(200, 100);
    C.InitWindow(Window.Canvas(), nullptr, clWhite, false, Rect(0, 0, 200, 100));
    C.Bitmap()->Canvas()->Brush()->SetColor(clWhite);
    C.Bitmap()->Canvas()->FillRect(Rect(0, 0, 200, 100));
    C.Font()->SetSize(11);
    C.SetBackMode(cbmTransparent);
  }
  void TearDown() override { SetTextEngine(TTextEngine::Qt); }
  TColor Pixel(Integer X, Integer Y) { return C.Bitmap()->Canvas()->Pixels(X, Y); }

  TBitmap Window;
  TTeeCanvas3D C;
};

TEST_F(BufferedTextTest, GradientGlyphsAreFilledThroughTheirPath) {
  TTeeGradient* G = C.Font()->Brush()->Gradient();
  G->SetStartColor(clRed);
  G->SetEndColor(clBlue);
  G->SetVisible(true);
  C.TextOut(10, 20, "ab");
  // each glyph a 7 x 15 box at the top of its 8-pixel cell
  const TColor Glyph = Pixel(12, 25);
  EXPECT_NE(Glyph, clWhite);
  EXPECT_NE(Glyph, clBlack);
  EXPECT_EQ(Glyph & 0x00FF00, 0u);  // between red and blue
  EXPECT_EQ(Pixel(17, 25), clWhite);  // between the glyphs
  EXPECT_EQ(Pixel(12, 36), clWhite);  // below them
}

TEST_F(BufferedTextTest, SmoothShadowKeepsTheWholeTextAlignment) {
  TTeeShadow* S = C.Font()->Shadow();
  S->SetVisible(true);
  S->SetSmooth(true);
  S->SetSize(2);
  const Integer Align = TeeTextAlignCenter | 8;
  C.SetTextAlign(Align);
  C.TextOut(100, 50, "ab");
  EXPECT_EQ(C.TextAlign(), Align);
}

}  // namespace
