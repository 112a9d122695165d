#include "chartlib/canvas/teehtml.h"

#include "platform/ui/graphics/textengine.h"

#include "tests/chartlib/canvas/canvasfixture.h"
#include "tests/chartlib/canvas/recordingcanvas.h"

namespace {

// Fixed text metrics: an 8-point font is 11 pixels to the em, 6 wide per
// unit (7 bold) and 13 high.
class TeeHtmlTest : public CanvasTest {
protected:
  void SetUp() override {
    SetTextEngine(TTextEngine::FixedMetrics);
    TTeeFont F(nullptr);
    C.AssignFont(&F);
  }
  void TearDown() override { SetTextEngine(TTextEngine::Qt); }

  TRecordingCanvas C{200, 100};
};

TEST_F(TeeHtmlTest, EntitiesAreReplacedOnceEachInOrder) {
  TeeDrawHtml(&C, 0, 0, "A &lt;b&gt; &amp;amp;");
  EXPECT_EQ(C.Calls, QStringList({"TextOut(0,0,A <b> &amp;)"}));
}

TEST_F(TeeHtmlTest, StyleTagsAreCaseInsensitiveAndCloseByName) {
  TeeDrawHtml(&C, 0, 0, "<b>Bold</B> text");
  EXPECT_EQ(C.Calls, QStringList({"TextOut(0,0,Bold)", "TextOut(28,0, text)"}));
  ASSERT_EQ(C.TextFonts.size(), 2u);
  EXPECT_EQ(C.TextFonts[0].Style, TFontStyles{fsBold});
  EXPECT_EQ(C.TextFonts[1].Style, TFontStyles{});
}

TEST_F(TeeHtmlTest, EmptyClosingTagClosesTheLastOpenedStyle) {
  TeeHtmlTextOut(&C, 0, 0, "<B><I>x</>", true);
  EXPECT_EQ(C.Font()->Style(), TFontStyles{fsBold});
}

TEST_F(TeeHtmlTest, FontTagChangesAndRestoresTheFont) {
  for (TFontStyles Start : {TFontStyles{}, TFontStyles{fsBold, fsItalic}}) {
    C.Font()->SetStyle(Start);
    C.TextFonts.clear();
    TeeHtmlTextOut(&C, 0, 0, "<FONT color=red size=+2>x</FONT>", true);
    ASSERT_EQ(C.TextFonts.size(), 1u);
    EXPECT_EQ(C.TextFonts[0].Color, clRed);
    EXPECT_EQ(C.TextFonts[0].Size, 10);
    EXPECT_EQ(C.Font()->Size(), 8);
    EXPECT_EQ(C.Font()->Color(), clBlack);
    EXPECT_EQ(C.Font()->Style(), Start);
  }
}

TEST_F(TeeHtmlTest, QuotedSignedSizeIsRelative) {
  // the quotes go before the sign is looked at
  TeeHtmlTextOut(&C, 0, 0, "<FONT SIZE='+2'>x", true);
  EXPECT_EQ(C.Font()->Size(), 10);
}

TEST_F(TeeHtmlTest, UnknownFontFieldsRaise) {
  EXPECT_RAISES(TeeHtmlTextOut(&C, 0, 0, "<FONT face=x>y", true), Exception, "Unknown field in FONT: FACE");
  EXPECT_RAISES(TeeHtmlTextOut(&C, 0, 0, "<FONT weight=heavy>y", true), Exception,
                "Unknown field in FONT WEIGHT=HEAVY");
  // a value running into the next name ends at its "=": parsing moves on
  EXPECT_RAISES(TeeHtmlTextOut(&C, 0, 0, "<FONT color=redsize=3>y", true), Exception, "Unknown field in FONT: ");
}

TEST_F(TeeHtmlTest, LineBreaksAddToTheHeightAndRulesDoNot) {
  const Integer FontHeight = C.FontHeight();
  EXPECT_EQ(FontHeight, 13);
  const Integer Plain = TeeHtmlTextExtent(&C, "ab").cy;
  EXPECT_EQ(TeeHtmlTextExtent(&C, "a<BR>b").cy, Plain + FontHeight + 2);
  EXPECT_EQ(TeeHtmlTextExtent(&C, "a<HR>b").cy, Plain);
  EXPECT_EQ(TeeHtmlTextExtent(&C, "ab").cx, 12);
  EXPECT_TRUE(C.Calls.isEmpty());  // measuring draws nothing
  TeeHtmlTextExtent(&C, "x<HR><IMG SRC=pic.png>");
  EXPECT_TRUE(C.Calls.isEmpty());
}

TEST_F(TeeHtmlTest, SmallerChunksOfALineShareItsBottom) {
  TeeHtmlTextOut(&C, 0, 0, "<FONT size=+8>Big</FONT> a<u>b</u>", true);
  ASSERT_EQ(C.Calls.size(), 3);
  auto Top = [&](int I) { return C.Calls[I].section(',', 1, 1).toInt(); };
  EXPECT_EQ(Top(0), 0);
  EXPECT_GT(Top(1), 0);
  EXPECT_EQ(Top(2), Top(1));  // " a" and "b" on one bottom, not stepping down
}

TEST_F(TeeHtmlTest, RightAlignedTextEndsAtX) {
  C.SetTextAlign(TeeTextAlignRight);
  TeeDrawHtml(&C, 100, 5, "<B>abc</B>");
  EXPECT_EQ(C.Calls, QStringList({"TextOut(79,5,abc)"}));
  EXPECT_EQ(C.TextAlign(), TeeTextAlignRight);
}

TEST_F(TeeHtmlTest, MissingPictureDrawsARedCrossedBox) {
  TeeDrawHtml(&C, 10, 10, "<IMG SRC=pic.png>");
  EXPECT_EQ(C.Calls, QStringList({"Rectangle(10,10,50,50)", "MoveTo(10,10)", "LineTo(49,49)", "MoveTo(10,49)",
                                  "LineTo(49,10)"}));
  EXPECT_EQ(C.Pixels(10, 30), clRed);   // the frame
  EXPECT_EQ(C.Pixels(30, 30), clRed);   // the cross
  EXPECT_EQ(C.Pixels(30, 20), clWhite);
}

TEST_F(TeeHtmlTest, OneTextsOpenTagIsNotClosedByAnother) {
  TeeHtmlTextOut(&C, 0, 0, "<U>a", true);
  TeeHtmlTextOut(&C, 0, 20, "b</>", true);
  EXPECT_EQ(C.Calls.last(), "TextOut(6,20,</)");  // nothing of this text to close
  EXPECT_TRUE(C.Font()->Style().Contains(fsUnderline));
}

}  // namespace
