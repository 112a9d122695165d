#include "gridlib/base/textsearch.h"

#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/textengine.h"
#include "tests/platform/ui/pixelhelpers.h"
#include "tests/support/testing.h"

#include <QRect>
#include <vector>

namespace {

// What the data-utility unit installs while no normalisation is set: the
// locale's case-insensitive comparison and search.
Integer standInCompare(const String& A, const String& B) { return AnsiCompareText(A, B); }
Integer standInFind(const String& Sub, const String& Text, bool, bool WholeWord, Integer Offset) {
  return FindSubstringEh(Sub, Text, /*IgnoreCase=*/true, WholeWord, Offset);
}

// Installs the stand-ins for one test.
class TStandInRoutines {
public:
  TStandInRoutines()
      : FCompare(SetCompareTextFuncEh(&standInCompare)), FFind(SetFindSubstringFuncEh(&standInFind)) {}
  ~TStandInRoutines() {
    SetCompareTextFuncEh(FCompare);
    SetFindSubstringFuncEh(FFind);
  }

private:
  TCompareTextFuncEh FCompare;
  TFindSubstringFuncEh FFind;
};

TEST(FindSubstringEh, Table) {
  const struct {
    const char* Name;
    String Sub, Text;
    bool IgnoreCase, WholeWord;
    Integer Offset, Expected;
  } Cases[] = {
      {"whole word skips a part of a word", "ab", "aab ab", false, true, 1, 5},
      {"without whole word", "ab", "aab ab", false, false, 1, 2},
      {"from an offset", "ab", "ab ab", false, false, 2, 4},
      {"Cyrillic capital Er ends a word", "ab", QStringLiteral("ab\u0420x"), false, true, 1, 1},
      {"a letter after the hit", "ab", "abc", false, true, 1, 0},
      {"at the end, not whole", "ab", "xab", false, true, 1, 0},
      {"punctuation around", "ab", "(ab),", false, true, 1, 2},
      {"no-break space", "ab", QStringLiteral("x\u00A0ab"), false, true, 1, 3},
      {"case folded", "AB", "xab", true, false, 1, 2},
      {"case kept", "AB", "xab", false, false, 1, 0},
      {"Russian case folded", QStringLiteral("ЁЛКА"), QStringLiteral("ёлка"), true, true, 1, 1},
      {"empty search text", "", "abc", false, false, 1, 0},
      {"offset past the end", "a", "abc", false, false, 4, 0},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(FindSubstringEh(C.Sub, C.Text, C.IgnoreCase, C.WholeWord, C.Offset), C.Expected);
  }
}

TEST(FindAllMatchesEh, Table) {
  TStandInRoutines StandIns;
  const struct {
    const char* Name;
    String Text, Sub;
    bool IgnoreCase, WholeWord, FromBeginning;
    std::vector<Integer> Positions;
    bool Found;
  } Cases[] = {
      {"every hit", "abcabc", "abc", false, false, false, {0, 3}, true},
      {"overlapping hits", "aaa", "aa", false, false, false, {0, 1}, true},
      {"only in the middle, from the beginning", "xxabcxx", "abc", false, false, true, {2}, false},
      {"at the start, from the beginning", "abc abc", "abc", false, false, true, {0}, true},
      {"whole words", "ab aab ab", "ab", false, true, false, {0, 7}, true},
      {"case folded by the installed search", "Abc aBC", "abc", true, false, false, {0, 4}, true},
      {"none", "abc", "x", false, false, false, {}, false},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    std::vector<Integer> Positions{99};
    EXPECT_EQ(FindAllMatchesEh(C.Text, C.Sub, Positions, C.IgnoreCase, C.WholeWord, C.FromBeginning), C.Found);
    EXPECT_EQ(Positions, C.Positions);
  }
}

TEST(FindAllMatchesEh, IgnoreCaseNeedsTheInstalledSearch) {
  ASSERT_EQ(FindSubstringFuncEh(), nullptr);
  std::vector<Integer> Positions{99};
  EXPECT_FALSE(FindAllMatchesEh("abc", "ABC", Positions, /*IgnoreCase=*/true, false, false));
  EXPECT_TRUE(Positions.empty());
}

TEST(IndexOfStringMatchEh, Table) {
  TStringList Items;
  for (const char* Item : {"Apple", "App", "Banana"}) Items.Add(QString::fromLatin1(Item));
  EXPECT_EQ(IndexOfStringMatchEh(&Items, "App", StringMatchPrefixEh), 0);
  EXPECT_EQ(IndexOfStringMatchEh(&Items, "App", 0), 1);
  EXPECT_EQ(IndexOfStringMatchEh(&Items, "app", 0), -1);
  EXPECT_EQ(IndexOfStringMatchEh(&Items, "Bananas", StringMatchPrefixEh), -1);  // longer than every item
  EXPECT_EQ(IndexOfStringMatchEh(&Items, "app", StringMatchIgnoreCaseEh), -1);   // nothing installed
  TStandInRoutines StandIns;
  EXPECT_EQ(IndexOfStringMatchEh(&Items, "app", StringMatchIgnoreCaseEh), 1);
  EXPECT_EQ(IndexOfStringMatchEh(&Items, "BAN", StringMatchIgnoreCaseEh | StringMatchPrefixEh), 2);
}

TEST(IsRightToLeftTextEh, FirstCharacter) {
  EXPECT_TRUE(IsRightToLeftTextEh(QStringLiteral("שלום abc"), false));
  EXPECT_TRUE(IsRightToLeftTextEh(QStringLiteral("\u0663"), false));  // an Arabic-Indic digit
  EXPECT_FALSE(IsRightToLeftTextEh(QStringLiteral("abc שלום"), true));
  EXPECT_TRUE(IsRightToLeftTextEh(QStringLiteral("(x"), true));  // a neutral: the default
  EXPECT_FALSE(IsRightToLeftTextEh(QStringLiteral("(x"), false));
  EXPECT_FALSE(IsRightToLeftTextEh(String(), true));
}

// ---------------------------------------------------------------------------
// lines: fixed metrics, 6 pixels a character, 13 a line

class WrappedLinesEh : public ::testing::Test {
protected:
  void SetUp() override {
    SetTextEngine(TTextEngine::FixedMetrics);
    Bitmap.SetSize(120, 60);
    Canvas = Bitmap.Canvas();
    Canvas->Font()->SetHeight(-11);
    Canvas->Font()->SetColor(clBlack);
    Canvas->Brush()->SetColor(clWhite);
    Canvas->FillRect(Rect(0, 0, 120, 60));
  }
  void TearDown() override { SetTextEngine(TTextEngine::Qt); }

  // Bounding box of the pixels of Color.
  QRect box(TColor Color) {
    QRect Box;
    for (int Y = 0; Y < Bitmap.Height(); ++Y)
      for (int X = 0; X < Bitmap.Width(); ++X)
        if (PixelAt(&Bitmap, X, Y) == Color) Box |= QRect(X, Y, 1, 1);
    return Box;
  }

  TBitmap Bitmap;
  TCanvas* Canvas = nullptr;
};

TEST_F(WrappedLinesEh, Table) {
  using L = TWrappedOneLineInfoEh;
  const struct {
    const char* Name;
    String Text;
    Integer MaxWidth;
    bool WordWrap;
    Integer Indent;
    TWrappedLinesInfoEh Lines;
  } Cases[] = {
      {"the blank stays on the first line", "aaa bbb", 36, true, 0, {L{0, 4, 18, 13}, L{4, 3, 18, 13}}},
      {"a closing CR LF makes no empty line", "ab\r\n", 60, true, 0, {L{0, 4, 18, 13}}},
      {"CR LF breaks", "ab\r\ncd", 60, true, 0, {L{0, 4, 18, 13}, L{4, 2, 12, 13}}},
      {"a lone LF breaks", "ab\ncd", 60, true, 0, {L{0, 3, 18, 13}, L{3, 2, 12, 13}}},
      {"a word wider than the line stays whole", "aaaaaaaaaa", 30, true, 0, {L{0, 10, 60, 13}}},
      {"a long word runs to the next blank", "aaaaaaaa bbb", 18, true, 0, {L{0, 9, 48, 13}, L{9, 3, 18, 13}}},
      {"a break that does not fit opens the next line", "aaaaaa\r\nb", 30, true, 0,
       {L{0, 6, 42, 13}, L{6, 2, 6, 13}, L{8, 1, 6, 13}}},
      {"without wrapping one line", "aaa bbb ccc", 30, false, 0, {L{0, 6, 36, 13}}},
      {"an indented first line may stay empty", "aaa bbb", 36, true, 30,
       {L{0, 0, 0, 13}, L{0, 4, 18, 13}, L{4, 3, 18, 13}}},
      {"an empty text has no lines", "", 30, true, 0, {}},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TSize Size;
    EXPECT_EQ(GetWrappedLinesInfoEh(Canvas, C.MaxWidth, C.Text, C.WordWrap, Size, C.Indent), C.Lines);
    Integer Widest = 0;
    for (const L& Line : C.Lines) Widest = std::max(Widest, Line.pwi);
    EXPECT_EQ(Size, (TSize{Widest, 13 * Integer(C.Lines.size())}));
  }
  TSize Size;
  MeasureWrappedTextEh(Canvas, 36, "aaa bbb", true, Size);
  EXPECT_EQ(Size, (TSize{18, 26}));
}

// ---------------------------------------------------------------------------
// highlighted hits

TEST_F(WrappedLinesEh, HiddenHitsOfAOneLineCell) {
  Integer Hidden = -1;
  // Hits at 0, 14 and 17 (pixels 0, 84, 102) in a 60-pixel cell.
  DrawTextHighlightMatchesEh(Canvas, Rect(0, 0, 60, 13), 0, 0, "ab cccccccccc ab ab", taLeftJustify, tlTop, false,
                             false, 0, 0, false, "ab", false, false, false, clYellow, clNone, true, Hidden);
  EXPECT_EQ(Hidden, 2);
  EXPECT_EQ(PixelAt(&Bitmap, 5, 5), clYellow);  // the gap between the hit's two glyphs
  EXPECT_EQ(PixelAt(&Bitmap, 2, 5), clBlack);
  EXPECT_EQ(PixelAt(&Bitmap, 70, 5), clWhite);  // nothing drawn outside the cell
}

TEST_F(WrappedLinesEh, WrappedCellShowsEveryHit) {
  Integer Hidden = -1;
  // Three lines of 60 pixels: "ab xxxxx ", "ab xxxxx ", "ab yy".
  DrawTextHighlightMatchesEh(Canvas, Rect(0, 0, 60, 39), 0, 0, "ab xxxxx ab xxxxx ab yy", taLeftJustify, tlTop, true,
                             false, 0, 0, false, "ab", false, true, false, clYellow, clNone, false, Hidden);
  EXPECT_EQ(Hidden, 0);
  for (int Line = 0; Line < 3; ++Line) EXPECT_EQ(PixelAt(&Bitmap, 5, 13 * Line + 1), clYellow) << Line;
  EXPECT_EQ(PixelAt(&Bitmap, 20, 1), clWhite);  // only the hits are drawn
}

TEST_F(WrappedLinesEh, HitsFollowTheCellsAlignment) {
  Integer Hidden = -1;
  // Right alignment with DX 2: the text's one-line output starts at 60 - 12 - 2 - 1.
  DrawTextHighlightMatchesEh(Canvas, Rect(0, 0, 60, 13), 2, 0, "ab", taRightJustify, tlTop, false, false, 0, 0,
                             false, "b", false, false, false, clYellow, clNone, true, Hidden);
  EXPECT_EQ(CountPixels(&Bitmap, Rect(0, 0, 120, 60), clYellow), 6 * 13 - 5 * 11);  // the b's cell less its glyph
  EXPECT_EQ(PixelAt(&Bitmap, 56, 1), clYellow);
  EXPECT_EQ(PixelAt(&Bitmap, 51, 1), clBlack);  // b's box: 51 .. 55

  Canvas->FillRect(Rect(0, 0, 120, 60));
  // Right-to-left text mirrors each hit inside its line: the second word
  // reads first from the left.
  DrawTextHighlightMatchesEh(Canvas, Rect(0, 20, 60, 33), 0, 0, QStringLiteral("אב גד"), taLeftJustify, tlTop,
                             false, false, 0, 0, false, QStringLiteral("גד"), false, false, false, clYellow, clNone,
                             true, Hidden);
  EXPECT_EQ(box(clYellow).left(), 0);
  EXPECT_LT(box(clYellow).right(), 12);
}

TEST_F(WrappedLinesEh, IgnoreCaseWithoutTheInstalledSearchDrawsNothing) {
  Integer Hidden = -1;
  DrawTextHighlightMatchesEh(Canvas, Rect(0, 0, 60, 13), 0, 0, "AB ab", taLeftJustify, tlTop, false, false, 0, 0,
                             false, "ab", /*IgnoreCase=*/true, false, false, clYellow, clNone, true, Hidden);
  EXPECT_EQ(Hidden, 0);
  EXPECT_EQ(CountPixels(&Bitmap, Rect(0, 0, 120, 60), clYellow), 0);
  TStandInRoutines StandIns;
  DrawTextHighlightMatchesEh(Canvas, Rect(0, 0, 60, 13), 0, 0, "AB ab", taLeftJustify, tlTop, false, false, 0, 0,
                             false, "ab", true, false, false, clYellow, clNone, true, Hidden);
  EXPECT_EQ(PixelAt(&Bitmap, 5, 1), clYellow);
  EXPECT_EQ(PixelAt(&Bitmap, 23, 1), clYellow);
}

}  // namespace
