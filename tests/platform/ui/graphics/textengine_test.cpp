#include "platform/ui/graphics/textengine.h"

#include "tests/support/testing.h"

#include <QStringList>

using namespace gdi;

namespace {

// The default font in fixed metrics: em 11, advance 6, line height 13.
const TFixedTextMeasurer Fixed(11, /*Bold=*/false);

// Advances by table, for additivity and external leading.
class TTableMeasurer final : public TTextMeasurer {
 public:
  TTableMeasurer() {
    FMetrics.Height = 10;
    FMetrics.Ascent = 8;
    FMetrics.Descent = 2;
    FMetrics.ExternalLeading = 3;
    FMetrics.AveCharWidth = 5;
    FMetrics.MaxCharWidth = 9;
  }
  const TTextFontMetrics& Metrics() const override { return FMetrics; }
  void GetAdvances(QStringView Text, Integer* Advances) const override {
    for (qsizetype I = 0; I < Text.size(); ++I) Advances[I] = Text[I] == u'i' ? 2 : Text[I] == u'W' ? 9 : 5;
  }

 private:
  TTextFontMetrics FMetrics;
};

TTextLayoutResult layout(const String& Text, UINT Format, TRect Rect, const TTextMeasurer& M = Fixed, Integer LeftMargin = 0,
                   Integer RightMargin = 0, Integer TabLength = 0, Integer CharExtra = 0) {
  TTextLayoutInput In;
  In.Text = Text;
  In.Format = Format;
  In.Rect = Rect;
  In.LeftMargin = LeftMargin;
  In.RightMargin = RightMargin;
  In.TabLength = TabLength;
  In.CharExtra = CharExtra;
  TTextLayoutResult Out;
  LayoutText(In, M, Out);
  // The views must not point into the caller's temporary text.
  for (TTextLine& Line : Out.Lines) Out.Shortened.push_back(Line.Text.toString()), Line.Text = Out.Shortened.back();
  return Out;
}

QStringList lineTexts(const TTextLayoutResult& L) {
  QStringList Result;
  for (const TTextLine& Line : L.Lines) Result.append(Line.Text.toString());
  return Result;
}

// Left edge of unit I of line N on the surface.
Integer unitX(const TTextLayoutResult& L, int N, int I) {
  return L.Lines[N].X + L.Offsets[L.Lines[N].FirstOffset + I];
}

TEST(FixedTextMeasurerTest, AdvanceIsHalfTheEmRoundedUpPlusOneWhenBold) {
  struct Case {
    Integer Em;
    bool Bold;
    Integer Advance, Ascent, Descent, Height;
  } Cases[] = {
      {11, false, 6, 11, 2, 13},
      {11, true, 7, 11, 2, 13},
      {16, false, 8, 16, 4, 20},
      {1, false, 1, 1, 0, 1},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Em);
    const TFixedTextMeasurer M(C.Em, C.Bold);
    EXPECT_EQ(M.Metrics().AveCharWidth, C.Advance);
    EXPECT_EQ(M.Metrics().Ascent, C.Ascent);
    EXPECT_EQ(M.Metrics().Descent, C.Descent);
    EXPECT_EQ(M.Metrics().Height, C.Height);
    EXPECT_EQ(M.Metrics().InternalLeading, C.Descent);
    EXPECT_EQ(M.Metrics().ExternalLeading, 0);
    Integer Advances[2];
    M.GetAdvances(u" x", Advances);
    EXPECT_EQ(Advances[0], C.Advance);
    EXPECT_EQ(Advances[1], C.Advance);
  }
}

TEST(TextLayoutTest, LinesAndCalcRect) {
  struct Case {
    const char* Name;
    String Text;
    UINT Format;
    TRect Rect;
    QStringList Lines;
    TRect Calc;
  } Cases[] = {
      {"single word narrows the rect", "abc", DT_CALCRECT, {0, 0, 1, 0}, {"abc"}, {0, 0, 18, 13}},
      {"empty text is one empty line", "", DT_CALCRECT, {5, 5, 50, 50}, {""}, {5, 5, 5, 18}},
      {"words wrap before passing the width", "aa bb cc", DT_WORDBREAK, {0, 0, 30, 100}, {"aa bb", "cc"},
       {0, 0, 30, 26}},
      {"a word exactly as wide as the rect fits", "aaaaa b", DT_WORDBREAK, {0, 0, 30, 0}, {"aaaaa", "b"},
       {0, 0, 30, 26}},
      {"an over-wide word widens the rect", "aaaaaaaa", DT_WORDBREAK | DT_CALCRECT, {0, 0, 30, 0}, {"aaaaaaaa"},
       {0, 0, 48, 13}},
      {"an over-wide word stands alone", "a bbbbbbbbbb c", DT_WORDBREAK, {0, 0, 30, 0}, {"a", "bbbbbbbbbb", "c"},
       {0, 0, 60, 39}},
      {"runs of spaces vanish at a break", "aa    bb", DT_WORDBREAK, {0, 0, 30, 0}, {"aa", "bb"}, {0, 0, 12, 26}},
      {"leading and final spaces stay", "  aa ", DT_WORDBREAK, {0, 0, 60, 0}, {"  aa "}, {0, 0, 30, 13}},
      {"CR LF ends a line", "a\r\nb", 0, {0, 0, 100, 0}, {"a", "b"}, {0, 0, 6, 26}},
      {"CR and LF alone end lines", "a\rb\nc", 0, {0, 0, 100, 0}, {"a", "b", "c"}, {0, 0, 6, 39}},
      {"a final CR LF gives an empty line", "a\r\n", 0, {0, 0, 100, 0}, {"a", ""}, {0, 0, 6, 26}},
      {"single line keeps CR LF at zero width", "a\r\nb", DT_SINGLELINE, {0, 0, 100, 0}, {"a\r\nb"},
       {0, 0, 12, 13}},
      {"single line ignores word breaks", "aa bb cc", DT_SINGLELINE | DT_WORDBREAK, {0, 0, 30, 0},
       {"aa bb cc"}, {0, 0, 48, 13}},
      {"hard breaks then word breaks", "aa bb\r\ncc dd", DT_WORDBREAK, {0, 0, 24, 0}, {"aa", "bb", "cc", "dd"},
       {0, 0, 12, 52}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const TTextLayoutResult L = layout(C.Text, C.Format, C.Rect);
    EXPECT_EQ(lineTexts(L), C.Lines);
    EXPECT_EQ(L.CalcRect, C.Calc);
    EXPECT_EQ(L.TextHeight, static_cast<Integer>(C.Lines.size()) * 13);
    EXPECT_EQ(L.LengthDrawn, static_cast<Integer>(C.Text.size()));
  }
}

TEST(TextLayoutTest, Ellipses) {
  struct Case {
    const char* Name;
    String Text;
    UINT Format;
    Integer Width;
    QStringList Lines;
  } Cases[] = {
      {"end: dropped until text and dots fit", "abcdefghij", DT_SINGLELINE | DT_END_ELLIPSIS, 30, {"ab..."}},
      {"end: one pixel less drops one more", "abcdefghij", DT_SINGLELINE | DT_END_ELLIPSIS, 29, {"a..."}},
      {"end: text that fits is untouched", "abcde", DT_SINGLELINE | DT_END_ELLIPSIS, 30, {"abcde"}},
      {"end: dots alone when nothing fits", "abcdefghij", DT_SINGLELINE | DT_END_ELLIPSIS, 10, {"..."}},
      {"end: only the text's last line", "aaaaaaaa bbbbbbbbb", DT_WORDBREAK | DT_END_ELLIPSIS, 30,
       {"aaaaaaaa", "bb..."}},
      {"end: earlier over-wide lines are clipped", "aaaaaaaa b", DT_WORDBREAK | DT_END_ELLIPSIS, 30,
       {"aaaaaaaa", "b"}},
      {"end: a surrogate pair is dropped whole", String("ab") + QChar(0xD83D) + QChar(0xDE00) + "cdef",
       DT_SINGLELINE | DT_END_ELLIPSIS, 36, {"ab..."}},
      {"word: every over-wide line", "aaaaaaaa bbbbbbbbb", DT_WORDBREAK | DT_WORD_ELLIPSIS, 30,
       {"aa...", "bb..."}},
      {"path: keeps the file name", "c:\\dir\\sub\\file.txt", DT_SINGLELINE | DT_PATH_ELLIPSIS, 90,
       {"c:\\...\\file.txt"}},
      {"path: forward slashes too", "/usr/share/doc", DT_SINGLELINE | DT_PATH_ELLIPSIS, 66, {"/usr.../doc"}},
      {"path: the file name alone does not fit", "c:\\dir\\longfilename", DT_SINGLELINE | DT_PATH_ELLIPSIS, 60,
       {"...\\longfilename"}},
      {"path: no delimiter shortens at the end", "abcdefghij", DT_SINGLELINE | DT_PATH_ELLIPSIS, 30, {"ab..."}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const TTextLayoutResult L = layout(C.Text, C.Format, {0, 0, C.Width, 20});
    EXPECT_EQ(lineTexts(L), C.Lines);
    for (const TTextLine& Line : L.Lines)
      EXPECT_EQ(Line.Width, static_cast<Integer>(Line.Text.size()) * 6);
  }
}

TEST(TextLayoutTest, CalcRectReportsTheNaturalWidthDespiteEllipsis) {
  const TTextLayoutResult L = layout("abcdefghij", DT_SINGLELINE | DT_END_ELLIPSIS | DT_CALCRECT, {0, 0, 30, 20});
  EXPECT_EQ(L.CalcRect, (TRect{0, 0, 60, 13}));
}

TEST(TextLayoutTest, Prefixes) {
  struct Case {
    const char* Name;
    String Text;
    UINT Format;
    String Shown;
    std::vector<Integer> UnderlineX;
  } Cases[] = {
      {"prefix underlines the next char", "&File", 0, "File", {0}},
      {"inside a word", "Fi&le", 0, "File", {12}},
      {"double ampersand is one", "A&&B", 0, "A&B", {}},
      {"lone trailing ampersand is dropped", "ab&", 0, "ab", {}},
      {"every prefix underlines", "&a&b", 0, "ab", {0, 6}},
      {"no prefix keeps the text", "&File", DT_NOPREFIX, "&File", {}},
      {"hidden prefix removes without underline", "&File", DT_HIDEPREFIX, "File", {}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const TTextLayoutResult L = layout(C.Text, C.Format | DT_SINGLELINE, {0, 0, 24, 13});
    ASSERT_EQ(L.Lines.size(), 1u);
    EXPECT_EQ(L.Lines[0].Text.toString(), C.Shown);
    std::vector<Integer> Xs;
    for (const TTextUnderline& U : L.Underlines) {
      EXPECT_EQ(U.Width, 6);
      Xs.push_back(U.X);
    }
    EXPECT_EQ(Xs, C.UnderlineX);
    EXPECT_EQ(L.LengthDrawn, static_cast<Integer>(C.Text.size()));
  }
}

TEST(TextLayoutTest, PrefixUnderlineFollowsItsUnitIntoWrappedAndShortenedLines) {
  TTextLayoutResult L = layout("aa &bb", DT_WORDBREAK, {0, 0, 20, 0});
  ASSERT_EQ(L.Underlines.size(), 1u);
  EXPECT_EQ(L.Underlines[0].Line, 1);
  EXPECT_EQ(L.Underlines[0].X, 0);

  L = layout("abcdefgh&ij", DT_SINGLELINE | DT_END_ELLIPSIS, {0, 0, 30, 13});
  EXPECT_TRUE(L.Underlines.empty());
}

TEST(TextLayoutTest, Tabs) {
  struct Case {
    const char* Name;
    String Text;
    UINT Format;
    Integer TabLength;
    Integer BX;
  } Cases[] = {
      {"expanded to 8 average widths", "a\tb", DT_EXPANDTABS, 0, 48},
      {"a tab on a stop jumps to the next", "abcdefgh\tb", DT_EXPANDTABS, 0, 96},
      {"tab length of the parameters", "a\tb", DT_EXPANDTABS, 4, 24},
      {"tab stop in the format's second byte", "a\tb", DT_EXPANDTABS | DT_TABSTOP | (2 << 8), 0, 12},
      {"zero width without expansion", "a\tb", 0, 0, 6},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const TTextLayoutResult L = layout(C.Text, C.Format | DT_SINGLELINE, {0, 0, 200, 13}, Fixed, 0, 0, C.TabLength);
    EXPECT_EQ(unitX(L, 0, C.Text.size() - 1), C.BX);
  }
}

TEST(TextLayoutTest, TabStopByteIsNoFlags) {
  // 0x0100 in the second byte would be DT_NOCLIP.
  const TTextLayoutResult L = layout("a\tb", DT_EXPANDTABS | DT_TABSTOP | (1 << 8), {0, 0, 200, 13});
  EXPECT_TRUE(L.Clipped);
  EXPECT_EQ(unitX(L, 0, 2), 12);
}

TEST(TextLayoutTest, Alignment) {
  struct Case {
    const char* Name;
    UINT Format;
    Integer LeftMargin, RightMargin;
    Integer X, Y, TextHeight;
  } Cases[] = {
      {"left top", DT_SINGLELINE, 0, 0, 10, 20, 13},
      {"right", DT_SINGLELINE | DT_RIGHT, 0, 0, 92, 20, 13},
      {"center rounds toward zero", DT_SINGLELINE | DT_CENTER, 0, 0, 51, 20, 13},
      {"vertical centre", DT_SINGLELINE | DT_VCENTER, 0, 0, 10, 23, 16},
      {"bottom", DT_SINGLELINE | DT_BOTTOM, 0, 0, 10, 27, 20},
      {"vertical centre needs single line", DT_VCENTER, 0, 0, 10, 20, 13},
      {"margins move left text", DT_SINGLELINE, 3, 9, 13, 20, 13},
      {"right text ends at the right margin", DT_SINGLELINE | DT_RIGHT, 3, 9, 83, 20, 13},
      {"centre between the margins", DT_SINGLELINE | DT_CENTER, 3, 9, 48, 20, 13},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const TTextLayoutResult L = layout("abc", C.Format, {10, 20, 110, 40}, Fixed, C.LeftMargin, C.RightMargin);
    EXPECT_EQ(L.Lines[0].X, C.X);
    EXPECT_EQ(L.Lines[0].Y, C.Y);
    EXPECT_EQ(L.TextHeight, C.TextHeight);
  }
}

TEST(TextLayoutTest, MarginsNarrowTheWrapWidthAndWidenTheCalcRect) {
  const TTextLayoutResult L = layout("aa bb", DT_WORDBREAK | DT_CALCRECT, {0, 0, 40, 0}, Fixed, 3, 9);
  EXPECT_EQ(lineTexts(L), (QStringList{"aa", "bb"}));
  EXPECT_EQ(L.CalcRect, (TRect{0, 0, 24, 26}));
}

TEST(TextLayoutTest, ExtentsAddUpWithCharacterExtra) {
  const TTableMeasurer Table;
  const TTextLayoutResult L = layout("iWa", DT_SINGLELINE | DT_CALCRECT, {0, 0, 0, 0}, Table, 0, 0, 0, 2);
  EXPECT_EQ(L.CalcRect.Width(), 2 + 9 + 5 + 3 * 2);
  EXPECT_EQ(unitX(L, 0, 1), 4);
  EXPECT_EQ(unitX(L, 0, 2), 15);
}

TEST(TextLayoutTest, ExternalLeadingOnlyWhenAsked) {
  const TTableMeasurer Table;
  EXPECT_EQ(layout("a\nb", 0, {0, 0, 50, 0}, Table).TextHeight, 20);
  EXPECT_EQ(layout("a\nb", DT_EXTERNALLEADING, {0, 0, 50, 0}, Table).TextHeight, 26);
}

TEST(TextLayoutTest, ClippingAndReadingOrderFlags) {
  EXPECT_TRUE(layout("a", 0, {0, 0, 5, 5}).Clipped);
  EXPECT_FALSE(layout("a", DT_NOCLIP, {0, 0, 5, 5}).Clipped);
  EXPECT_TRUE(layout("a", DT_RTLREADING, {0, 0, 5, 5}).RightToLeft);
}

TEST(TextLayoutTest, HostileInputKeepsTheLayoutConsistent) {
  const QChar High(0xD83D), Low(0xDE00);
  struct Case {
    const char* Name;
    String Text;
    UINT Format;
    TRect Rect;
  } Cases[] = {
      {"inverted rect", "aa bb cc", DT_WORDBREAK | DT_END_ELLIPSIS, {50, 0, 10, 0}},
      {"only ampersands", "&&&&&&&", DT_END_ELLIPSIS | DT_SINGLELINE, {0, 0, 12, 0}},
      {"lone surrogates", String(Low) + "ab" + High, DT_END_ELLIPSIS | DT_SINGLELINE | DT_RTLREADING, {0, 0, 20, 0}},
      {"only breaks", "\r\n\r\r\n\n", DT_WORDBREAK, {0, 0, 10, 0}},
      {"only tabs and spaces", "\t \t  \t", DT_WORDBREAK | DT_EXPANDTABS | DT_PATH_ELLIPSIS, {0, 0, 10, 0}},
      {"long text", String(5000, 'w') + " " + String(3000, ' ') + "x", DT_WORDBREAK | DT_WORD_ELLIPSIS, {0, 0, 30, 0}},
      {"delimiters only", "\\\\//", DT_PATH_ELLIPSIS | DT_SINGLELINE, {0, 0, 6, 0}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const TTextLayoutResult L = layout(C.Text, C.Format, C.Rect);
    ASSERT_FALSE(L.Lines.empty());
    size_t Offsets = 0;
    for (const TTextLine& Line : L.Lines) {
      EXPECT_EQ(Line.FirstOffset, static_cast<Integer>(Offsets));
      Offsets += Line.Text.size() + 1;
      EXPECT_EQ(L.Offsets[Line.FirstOffset + Line.Text.size()], Line.Width);
    }
    EXPECT_EQ(L.Offsets.size(), Offsets);
    for (const TTextUnderline& U : L.Underlines) EXPECT_LT(U.Line, static_cast<Integer>(L.Lines.size()));
  }
}

TEST(PlaceUnitsTest, DisplayOrder) {
  const QChar Alef(0x05D0), Bet(0x05D1);
  struct Case {
    const char* Name;
    String Text;
    bool RightToLeft;
    std::vector<Integer> Offsets;  // of each unit, 6 px wide
  } Cases[] = {
      {"left to right as is", "ab c", false, {0, 6, 12, 18}},
      {"right-to-left letters reversed", String(Alef) + Bet, false, {6, 0}},
      {"mixed runs keep their own order", String("ab ") + Alef + Bet, false, {0, 6, 12, 24, 18}},
      {"right-to-left paragraph moves final punctuation", "Hello!", true, {6, 12, 18, 24, 30, 0}},
      {"numbers after right-to-left letters read left to right", String(Alef) + " 12", false, {18, 12, 0, 6}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    std::vector<Integer> Widths(C.Text.size(), 6), Offsets(C.Text.size());
    PlaceUnits(C.Text, Widths.data(), C.RightToLeft, Offsets.data());
    EXPECT_EQ(Offsets, C.Offsets);
  }
}

}  // namespace
