#include "platform/ui/controls/editbuffer.h"

#include "platform/rtl/strutils.h"
#include "platform/ui/graphics/textengine.h"
#include "tests/support/testing.h"

namespace {

// Em 10: every unit advances 5 pixels.
const TFixedTextMeasurer Fixed(10, false);
constexpr Integer Unit = 5;

TEditBuffer bufferOf(const String& Text) {
  TEditBuffer B;
  B.SetText(Text);
  return B;
}

// The lines of a layout as their texts, for readable expectations.
QStringList textsOf(const TEditBuffer& B, const std::vector<TEditLine>& Lines) {
  QStringList Texts;
  for (const TEditLine& L : Lines) Texts.append(B.Text().mid(L.Start, L.Length));
  return Texts;
}

const String Pair = QString::fromUcs4(U"\U0001F600");  // one character, two units

TEST(EditBufferTest, PositionsNeverSplitALineBreakOrASurrogatePair) {
  const TEditBuffer B = bufferOf("a\r\nb" + Pair + "c");  // a CR LF b hi lo c: length 7
  struct Case {
    const char* Name;
    Integer Pos, Valid, Next, Prev;
  } Cases[] = {
      {"before the text", -1, 0, 1, 0},    {"start", 0, 0, 1, 0},
      {"before CR", 1, 1, 3, 0},           {"between CR and LF", 2, 1, 3, 0},
      {"after LF", 3, 3, 4, 1},            {"before the pair", 4, 4, 6, 3},
      {"inside the pair", 5, 4, 6, 3},     {"after the pair", 6, 6, 7, 4},
      {"end", 7, 7, 7, 6},                 {"beyond the end", 99, 7, 7, 6},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(B.ValidPos(C.Pos), C.Valid);
    EXPECT_EQ(B.NextPos(C.Pos), C.Next);
    EXPECT_EQ(B.PrevPos(C.Pos), C.Prev);
  }
}

TEST(EditBufferTest, SelectionTextIsAlwaysTheCopyOfTheText) {
  TEditBuffer B = bufferOf("a\r\nbc");
  struct Case {
    const char* Name;
    Integer Anchor, Caret, Start, Length;
  } Cases[] = {
      {"forward over the break", 0, 4, 0, 4},
      {"backward", 4, 0, 0, 4},
      {"ends inside the break", 0, 2, 0, 1},
      {"starts inside the break", 2, 5, 1, 4},
      {"clamped", -5, 500, 0, 5},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    B.SetSelection(C.Anchor, C.Caret);
    EXPECT_EQ(B.SelStart(), C.Start);
    EXPECT_EQ(B.SelLength(), C.Length);
    EXPECT_EQ(Copy(B.Text(), B.SelStart() + 1, B.SelLength()), B.SelText());
    EXPECT_TRUE(B.CheckConsistency());
  }
  B.SetSelection(0, 4);
  EXPECT_EQ(B.SelText(), "a\r\nb");
  B.MoveCaret(1, /*Extend=*/true);
  EXPECT_EQ(B.Anchor(), 0);
  EXPECT_EQ(B.SelText(), "a");
  B.MoveCaret(5, /*Extend=*/false);
  EXPECT_EQ(B.SelLength(), 0);
  EXPECT_EQ(B.Caret(), 5);
}

TEST(EditBufferTest, WordMovesAndDoubleClickRuns) {
  //                         0123456789012345678
  const TEditBuffer B = bufferOf("foo.bar  baz\r\nqux");
  struct Case {
    const char* Name;
    Integer Pos, Right, Left, WordStart, WordEnd;
  } Cases[] = {
      {"start", 0, 3, 0, 0, 3},
      {"inside a word", 1, 3, 0, 0, 3},
      {"at punctuation", 3, 4, 0, 3, 4},
      {"after punctuation", 4, 9, 3, 4, 7},
      {"end of a word before blanks", 7, 9, 4, 4, 7},
      {"inside blanks", 8, 9, 4, 7, 9},
      {"end of a line", 12, 14, 9, 9, 12},
      {"start of the next line", 14, 17, 9, 14, 17},
      {"end", 17, 17, 14, 14, 17},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(B.WordRight(C.Pos), C.Right);
    EXPECT_EQ(B.WordLeft(C.Pos), C.Left);
    Integer Start = -1, End = -1;
    B.WordAt(C.Pos, Start, End);
    EXPECT_EQ(Start, C.WordStart);
    EXPECT_EQ(End, C.WordEnd);
  }
  Integer Start = -1, End = -1;
  bufferOf("").WordAt(0, Start, End);
  EXPECT_EQ(Start, 0);
  EXPECT_EQ(End, 0);
}

TEST(EditBufferTest, ReplaceMovesTheCaretAndReportsChanges) {
  TEditBuffer B = bufferOf("hello");
  B.SetSelection(1, 4);
  EXPECT_TRUE(B.ReplaceSelection("ipp", TEditBuffer::TRecord::Edit));
  EXPECT_EQ(B.Text(), "hippo");
  EXPECT_EQ(B.Caret(), 4);
  EXPECT_EQ(B.SelLength(), 0);
  // The same text again is no change, but the selection collapses after it.
  B.SetSelection(1, 4);
  EXPECT_FALSE(B.ReplaceSelection("ipp", TEditBuffer::TRecord::Edit));
  EXPECT_EQ(B.Caret(), 4);
  EXPECT_EQ(B.SelLength(), 0);
  EXPECT_TRUE(B.CanUndo()) << "an unchanged text keeps the undo step";
}

TEST(EditBufferTest, UndoIsOneStepThatRedoesItself) {
  TEditBuffer B = bufferOf("ab");
  B.MoveCaret(2, false);
  for (const char* Typed : {"c", "d", "e"}) B.ReplaceSelection(Typed, TEditBuffer::TRecord::Typing);
  EXPECT_EQ(B.Text(), "abcde");
  ASSERT_TRUE(B.Undo());
  EXPECT_EQ(B.Text(), "ab") << "typed characters in a row are one step";
  EXPECT_EQ(B.Caret(), 2);
  ASSERT_TRUE(B.Undo());
  EXPECT_EQ(B.Text(), "abcde") << "a second undo redoes";
  EXPECT_EQ(B.SelText(), "cde");

  // Typing after a move starts a new step; an edit replaces it.
  B.MoveCaret(0, false);
  B.ReplaceSelection("x", TEditBuffer::TRecord::Typing);
  B.MoveCaret(6, false);
  B.ReplaceSelection("y", TEditBuffer::TRecord::Typing);
  ASSERT_TRUE(B.Undo());
  EXPECT_EQ(B.Text(), "xabcde");
  B.SetSelection(1, 3);
  B.ReplaceSelection(String(), TEditBuffer::TRecord::Edit);
  ASSERT_TRUE(B.Undo());
  EXPECT_EQ(B.Text(), "xabcde");
  EXPECT_EQ(B.SelText(), "ab") << "undo selects what it brought back";

  // An unrecorded change forgets the step; so do SetText and ClearUndo.
  B.ReplaceSelection("z", TEditBuffer::TRecord::None);
  EXPECT_FALSE(B.CanUndo());
  EXPECT_FALSE(B.Undo());
  B.ReplaceSelection("w", TEditBuffer::TRecord::Edit);
  B.ClearUndo();
  EXPECT_FALSE(B.CanUndo());
  B.ReplaceSelection("v", TEditBuffer::TRecord::Edit);
  B.SetText("new");
  EXPECT_FALSE(B.CanUndo());
  EXPECT_EQ(B.Caret(), 0);
  EXPECT_TRUE(B.CheckConsistency());
}

TEST(EditBufferTest, InputFitsMaxLengthAndCharCase) {
  struct Case {
    const char* Name;
    String Text;
    Integer Anchor, Caret;
    String Input;
    TEditCharCase CharCase;
    Integer MaxLength;
    String Expected;
  } Cases[] = {
      {"no limit", "abc", 3, 3, "defg", ecNormal, 0, "defg"},
      {"negative means no limit", "abc", 3, 3, "defg", ecNormal, -1, "defg"},
      {"room for all", "abc", 3, 3, "de", ecNormal, 5, "de"},
      {"cut to the room", "abc", 3, 3, "defg", ecNormal, 5, "de"},
      {"full", "abcde", 5, 5, "f", ecNormal, 5, ""},
      {"over the limit already", "abcdef", 6, 6, "g", ecNormal, 4, ""},
      {"a selection makes room", "abcde", 1, 4, "xyz", ecNormal, 5, "xyz"},
      {"never cut inside CR LF", "ab", 2, 2, "c\r\nd", ecNormal, 4, "c"},
      {"never cut inside a pair", "ab", 2, 2, "c" + Pair, ecNormal, 4, "c"},
      {"upper case", "", 0, 0, "Mix ж", ecUpperCase, 0, "MIX Ж"},
      {"lower case before the cut", "", 0, 0, "ABCD", ecLowerCase, 2, "ab"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TEditBuffer B = bufferOf(C.Text);
    B.SetSelection(C.Anchor, C.Caret);
    EXPECT_EQ(B.FitInput(C.Input, C.CharCase, C.MaxLength), C.Expected);
  }
}

TEST(EditBufferTest, HardLinesEndAtCrLfOnly) {
  struct Case {
    const char* Name;
    String Text;
    QStringList Lines;
  } Cases[] = {
      {"empty", "", {""}},
      {"one line", "abc", {"abc"}},
      {"final break", "a\r\n", {"a", ""}},
      {"two lines", "a\r\nbc", {"a", "bc"}},
      {"empty lines", "\r\n\r\n", {"", "", ""}},
      {"lone CR and LF are no breaks", "a\rb\nc", {"a\rb\nc"}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const TEditBuffer B = bufferOf(C.Text);
    EXPECT_EQ(textsOf(B, B.HardLines()), C.Lines);
  }
}

TEST(EditBufferTest, LayoutWrapsAfterBlanksAndInsideLongWords) {
  struct Case {
    const char* Name;
    String Text;
    Integer Width;  // pixels
    QStringList Lines;
  } Cases[] = {
      {"not wrapped", "aaa bbb", 0, {"aaa bbb"}},
      {"fits exactly", "aaa bbb", 7 * Unit, {"aaa bbb"}},
      {"breaks after the blank", "aaa bbb", 7 * Unit - 1, {"aaa ", "bbb"}},
      {"blanks stay at the end", "aa   bb", 3 * Unit, {"aa   ", "bb"}},
      {"a long word breaks", "abcdefg", 3 * Unit, {"abc", "def", "g"}},
      {"a long word after a short one", "a bcdefg", 4 * Unit, {"a ", "bcde", "fg"}},
      {"hard breaks first", "aaa bbb\r\ncc", 5 * Unit, {"aaa ", "bbb", "cc"}},
      {"an empty line stays", "a\r\n\r\nb", 5 * Unit, {"a", "", "b"}},
      {"narrower than a unit", "ab", 2, {"a", "b"}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const TEditBuffer B = bufferOf(C.Text);
    EXPECT_EQ(textsOf(B, B.Layout(C.Width, Fixed, 8 * Unit)), C.Lines);
  }
  // A surrogate pair is never split, even when it does not fit.
  const TEditBuffer P = bufferOf("a" + Pair + "b");
  EXPECT_EQ(textsOf(P, P.Layout(Unit, Fixed, 8 * Unit)), QStringList({"a", Pair, "b"}));
}

TEST(EditBufferTest, OffsetsExpandTabsAndSkipBreaks) {
  std::vector<Integer> Offsets;
  TEditBuffer::LineOffsets(u"a\tb", Fixed, 4 * Unit, Offsets);
  EXPECT_EQ(Offsets, (std::vector<Integer>{0, Unit, 4 * Unit, 5 * Unit}));
  TEditBuffer::LineOffsets(u"abcd\te", Fixed, 4 * Unit, Offsets);
  EXPECT_EQ(Offsets[5], 8 * Unit) << "a tab at a stop goes to the next one";
  TEditBuffer::LineOffsets(u"a\r\nb", Fixed, 4 * Unit, Offsets);
  EXPECT_EQ(Offsets, (std::vector<Integer>{0, Unit, Unit, Unit, 2 * Unit}));
  TEditBuffer::LineOffsets(u"", Fixed, 4 * Unit, Offsets);
  EXPECT_EQ(Offsets, std::vector<Integer>{0});
  // Wrapping measures tabs the same way.
  const TEditBuffer B = bufferOf("ab\tcd");
  EXPECT_EQ(textsOf(B, B.Layout(5 * Unit, Fixed, 4 * Unit)), QStringList({"ab\t", "cd"}));
}

TEST(EditBufferTest, LineOfPutsAWrapPointOnTheLineItStarts) {
  const TEditBuffer B = bufferOf("aaa bbb\r\ncc");
  const std::vector<TEditLine> Lines = B.Layout(5 * Unit, Fixed, 8 * Unit);  // "aaa ", "bbb", "cc"
  ASSERT_EQ(Lines.size(), 3u);
  struct Case {
    Integer Pos, Line;
  } Cases[] = {{0, 0}, {3, 0}, {4, 1}, {7, 1}, {8, 1}, {9, 2}, {11, 2}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Pos);
    EXPECT_EQ(TEditBuffer::LineOf(Lines, C.Pos), C.Line);
  }
}

}  // namespace
