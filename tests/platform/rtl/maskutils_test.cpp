#include "platform/rtl/maskutils.h"

#include "tests/support/testing.h"

#include <string>

namespace {

// Invariant settings with the catalog's separators where a row asks for them.
TFormatSettings settings(Char DateSeparator = u'/', Char TimeSeparator = u':') {
  TFormatSettings S = TFormatSettings::Invariant();
  S.DateSeparator = DateSeparator;
  S.TimeSeparator = TimeSeparator;
  return S;
}

TEST(MaskUtilsTest, ParsesPositionsWithClassCaseAndLiterals) {
  struct Expected {
    TMaskCharClass Class;
    bool Required;
    TMaskCase Case;
    Char Literal;
  };
  using K = TMaskCharClass;
  using CaseK = TMaskCase;
  const Expected Positions[] = {
      {K::Letter, true, CaseK::Upper, Char()},          {K::Letter, false, CaseK::Upper, Char()},
      {K::LetterOrDigit, true, CaseK::Lower, Char()},   {K::LetterOrDigit, false, CaseK::Lower, Char()},
      {K::Any, true, CaseK::None, Char()},              {K::Any, false, CaseK::None, Char()},
      {K::Digit, true, CaseK::None, Char()},            {K::Digit, false, CaseK::None, Char()},
      {K::DigitOrSign, false, CaseK::None, Char()},     {K::Literal, false, CaseK::None, u'L'},
      {K::Literal, false, CaseK::None, u'.'},           {K::Literal, false, CaseK::None, u'-'},
      {K::Literal, false, CaseK::None, u' '},           {K::Literal, false, CaseK::None, u'x'},
  };
  const TMaskEngine Mask(">Ll<Aa<>Cc09#\\L:/_x", settings(u'-', u'.'));
  ASSERT_EQ(Mask.Count(), int(std::size(Positions)));
  for (int I = 0; I < Mask.Count(); ++I) {
    SCOPED_TRACE(I);
    const TMaskPosition& P = Mask.Position(I);
    EXPECT_EQ(P.Class, Positions[I].Class);
    EXPECT_EQ(P.Required, Positions[I].Required);
    EXPECT_EQ(P.Case, Positions[I].Case);
    if (P.Class == K::Literal) {
      EXPECT_EQ(P.Literal, Positions[I].Literal);
    }
    EXPECT_EQ(Mask.IsEditable(I), P.Class != K::Literal);
  }
  EXPECT_FALSE(Mask.Reversed());
  EXPECT_TRUE(TMaskEngine("99!9").Reversed());
  EXPECT_FALSE(Mask.IsEditable(-1));
  EXPECT_FALSE(Mask.IsEditable(Mask.Count()));
}

// Setting Text, then reading EditText and Text back.
TEST(MaskUtilsTest, TextAndEditText) {
  struct Case {
    const char* Name;
    const char* EditMask;
    const char* Text;
    const char* EditText;
    const char* TextBack;
    Char DateSeparator = u'/';
  };
  const Case Cases[] = {
      {"empty date", "!9999-99-99;1;_", "", "____-__-__", "    -  -  "},
      {"full date", "!9999-99-99;1;_", "2024-05-19", "2024-05-19", "2024-05-19"},
      {"short run padded in front under !", "!9999-99-99;1;_", "2024-5-19", "2024-_5-19", "2024- 5-19"},
      {"short run padded behind", "9999-99-99;1;_", "2024-5-19", "2024-5_-19", "2024-5 -19"},
      {"literals left out", "9999-99-99;1;_", "20240519", "2024-05-19", "2024-05-19"},
      {"a blank position stays a blank", "!9999-99-99;1;_", "2024-  -19", "2024-__-19", "2024-  -19"},
      {"locale date separator", "!99/99/9999;1; ", "", "  -  -    ", "  -  -    ", u'-'},
      {"locale separator in the text", "!99/99/9999;1; ", "19-05-2024", "19-05-2024", "19-05-2024", u'-'},
      {"right-aligned without literals", "!999;0;_", "12", "_12", "12"},
      {"left-aligned without literals", "999;0;_", "12", "12_", "12"},
      {"literals dropped from Text", "000-000;0;_", "123456", "123-456", "123456"},
      {"inner blank kept as a space", "999;0;_", "1 2", "1_2", "1 2"},
      {"inner blank under !", "!9999;0;_", "1 2", "_1_2", "1 2"},
      {"too long keeps the first", "999;0;_", "12345", "123", "123"},
      {"too long under ! keeps the last", "!999;0;_", "12345", "345", "345"},
      {"refused character blanked", "000;0;_", "1a2", "1_2", "1 2"},
      {"case runs", ">LL<ll<>ll;0;_", "abCDeF", "ABcdeF", "ABcdeF"},
      {"escaped mask chars are literals", "\\0\\L99;1;_", "0L12", "0L12", "0L12"},
      {"escaped literals dropped from Text", "\\0\\L99;0;_", "12", "0L12", "12"},
      {"missing literals put in place", "(999) 999;1;_", "123456", "(123) 456", "(123) 456"},
      {"short runs between literals", "(999) 999;1;_", "(12) 3", "(12_) 3__", "(12 ) 3  "},
      {"'_' is a literal space, custom blank", "99_99;1;*", "", "** **", "     "},
      {"space in an any-character run", "CCC;1;_", "a b", "a_b", "a b"},
      {"blank char equal to a literal", "99-99;1;-", "1-2", "1--2-", "1 -2 "},
      {"literal char held by a position", "CC-CC;1;_", "a--b ", "a--b_", "a--b "},
      {"same text not laid out", "CC-CC;1;_", "a-b", "a_-b_", "a -b "},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const TMaskEngine Mask(C.EditMask, settings(C.DateSeparator));
    const String EditText = Mask.EditTextFromText(QString::fromUtf8(C.Text));
    EXPECT_EQ(EditText, QString::fromUtf8(C.EditText));
    EXPECT_EQ(Mask.TextFromEditText(EditText), QString::fromUtf8(C.TextBack));
    EXPECT_EQ(Mask.FormatEditText(EditText), EditText);
    EXPECT_EQ(Mask.EditTextFromText(Mask.TextFromEditText(EditText)), EditText);
  }
}

TEST(MaskUtilsTest, EditTextSetterPlacesPositionByPosition) {
  const TMaskEngine Mask(">LL-00;1;_");
  EXPECT_EQ(Mask.FormatEditText("ab-12"), String("AB-12"));
  EXPECT_EQ(Mask.FormatEditText("a1x2"), String("A_-2_"));  // 'x' falls on the literal
  EXPECT_EQ(Mask.FormatEditText("a"), String("A_-__"));
  EXPECT_EQ(Mask.FormatEditText("ab-12345"), String("AB-12"));
}

// Typed characters from a caret, stopping at the first refused one (a paste).
TEST(MaskUtilsTest, TypingAcceptsOnlyWhatFitsThePosition) {
  struct Case {
    const char* Name;
    const char* EditMask;
    int Caret;
    const char* Keys;
    int Taken;
    const char* EditText;
    int CaretAfter;
  };
  const Case Cases[] = {
      {"date typed through", "!9999-99-99;1;_", 0, "20240519", 8, "2024-05-19", 10},
      {"letter at a digit", "!9999-99-99;1;_", 0, "x", 0, "____-__-__", 0},
      {"caret skips the literal", "!9999-99-99;1;_", 0, "2024", 4, "2024-__-__", 5},
      {"typed at a literal goes past it", "99-99;1;_", 2, "7", 1, "__-7_", 4},
      {"no position left", "99-99;1;_", 0, "12345", 4, "12-34", 5},
      {"upper-case run", ">LL;1;_", 0, "ab", 2, "AB", 2},
      {"lower-case run", "<LL;1;_", 0, "AB", 2, "ab", 2},
      {"run ended by <>", ">L<>L;1;_", 0, "ab", 2, "Ab", 2},
      {"Cyrillic letter upper-cased", ">L;1;_", 0, "ж", 1, "Ж", 1},
      {"digit at a letter", "LL;1;_", 0, "a1", 1, "a_", 1},
      {"letter or digit", "AA;1;_", 0, "1b-", 2, "1b", 2},
      {"sign positions", "###;1;_", 0, "+-5a", 3, "+-5", 3},
      {"space at any character is a blank", "CC;1;_", 0, " x", 2, "_x", 2},
      {"line break at any character", "CCCC;1;_", 0, "a\r\nb", 1, "a___", 1},
      {"tab at any character", "CC;1;_", 0, "\t", 0, "__", 0},
      {"a character beyond the basic plane fills no position", "CC;1;_", 0, "\xF0\x9F\x98\x80", 0, "__", 0},
      {"space at a digit", "99;1;_", 0, " ", 0, "__", 0},
      {"escaped literals skipped", "\\L\\0L0;1;_", 0, "b5", 2, "L0b5", 4},
      {"only literals", "xyz;1;_", 0, "x", 0, "xyz", 0},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const TMaskEngine Mask(QString::fromUtf8(C.EditMask));
    String EditText = Mask.FormatEditText(String());
    int Caret = C.Caret;
    EXPECT_EQ(Mask.InputText(EditText, Caret, 0, QString::fromUtf8(C.Keys)), C.Taken);
    EXPECT_EQ(EditText, QString::fromUtf8(C.EditText));
    EXPECT_EQ(Caret, C.CaretAfter);
  }
}

// Keys over a selection and the deleting keys blank positions; nothing shifts.
TEST(MaskUtilsTest, SelectionAndDeletingKeysBlankInsteadOfShifting) {
  const TMaskEngine Mask("!9999-99-99;1;_");
  String EditText = Mask.FormatEditText(String());
  int Caret = 0;
  ASSERT_EQ(Mask.InputText(EditText, Caret, 0, "20240"), 5);
  ASSERT_EQ(EditText, String("2024-0_-__"));
  ASSERT_EQ(Caret, 6);
  EXPECT_TRUE(Mask.DeleteText(EditText, Caret, 0, /*Backward=*/true));
  EXPECT_EQ(EditText, String("2024-__-__"));
  EXPECT_EQ(Caret, 5);

  struct Case {
    const char* Name;
    const char* EditText;
    int SelStart;
    int SelLength;
    const char* Keys;       // typed (a paste when longer than one), else a deleting key
    bool Backward;
    const char* Expected;
    int SelStartAfter;
    int Answer;             // characters taken, or whether a position was in reach
  };
  const Case Cases[] = {
      {"typed over a selection", "2024-05-19", 2, 5, "7", false, "207_-__-19", 3, 1},
      {"refused over a selection changes nothing", "2024-05-19", 2, 5, "x", false, "2024-05-19", 2, 0},
      {"paste stops at the first refused", "2024-05-19", 0, 0, "1999a1", false, "1999-05-19", 5, 4},
      {"paste over a selection blanks the rest", "2024-05-19", 0, 10, "19", false, "19__-__-__", 2, 2},
      {"paste runs out of positions", "2024-05-19", 8, 0, "1234", false, "2024-05-12", 10, 2},
      {"empty paste", "2024-05-19", 0, 10, "", false, "2024-05-19", 0, 0},
      {"selection deleted", "2024-05-19", 3, 3, nullptr, false, "202_-_5-19", 3, 1},
      {"selection of literals only", "2024-05-19", 4, 1, nullptr, true, "2024-05-19", 4, 0},
      {"Backspace skips back over a literal", "2024-05-19", 5, 0, nullptr, true, "202_-05-19", 3, 1},
      {"Backspace at the start", "2024-05-19", 0, 0, nullptr, true, "2024-05-19", 0, 0},
      {"Delete at a literal blanks the next position", "2024-05-19", 4, 0, nullptr, false, "2024-_5-19", 4, 1},
      {"Delete at the end", "2024-05-19", 10, 0, nullptr, false, "2024-05-19", 10, 0},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    String Text = C.EditText;
    int SelStart = C.SelStart;
    const int Answer = C.Keys ? Mask.InputText(Text, SelStart, C.SelLength, C.Keys)
                              : int(Mask.DeleteText(Text, SelStart, C.SelLength, C.Backward));
    EXPECT_EQ(Answer, C.Answer);
    EXPECT_EQ(Text, QString::fromUtf8(C.Expected));
    EXPECT_EQ(SelStart, C.SelStartAfter);
  }

  EditText = "2024-05-19";
  Mask.BlankRange(EditText, 2, 5);
  EXPECT_EQ(EditText, String("20__-__-19"));
  Mask.BlankRange(EditText, 8, 0);
  EXPECT_EQ(EditText, String("20__-__-19"));
  Mask.BlankRange(EditText, -3, 100);
  EXPECT_EQ(EditText, String("____-__-__"));
}

TEST(MaskUtilsTest, NextAndPreviousEditablePositions) {
  const TMaskEngine Mask("-99-");
  struct Case {
    int Pos;
    int Next;
    int Prev;
  };
  const Case Cases[] = {{-5, 1, -1}, {0, 1, -1}, {1, 1, -1}, {2, 2, 1}, {3, 4, 2}, {4, 4, 2}, {99, 4, 2}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Pos);
    EXPECT_EQ(Mask.NextEditable(C.Pos), C.Next);
    EXPECT_EQ(Mask.PrevEditable(C.Pos), C.Prev);
  }
  const TMaskEngine Literals("xyz");
  EXPECT_EQ(Literals.NextEditable(0), 3);
  EXPECT_EQ(Literals.PrevEditable(3), -1);
}

TEST(MaskUtilsTest, ValidateAnswersTheFirstRequiredBlank) {
  struct Case {
    const char* EditMask;
    const char* EditText;
    int Expected;
  };
  const Case Cases[] = {
      {"!9999-99-99;1;_", "____-__-__", -1},  // every position optional
      {"00;1;_", "1_", 1},
      {"00;1;_", "12", -1},
      {"00;1;_", "__", 0},
      {"00;1;_", "1", 1},                      // a short text is blank at the end
      {"L0AC;1;_", "a1bc", -1},
      {"L0AC;1;_", "a1b_", 3},
      {"L0AC;1;_", "a1b ", 3},                 // a space is a blank, also for C
      {"L0AC;1;_", "_1bc", 0},
      {"9l9a9c0;1;_", "_______", 6},
      {"xyz;1;_", "", -1},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(std::string(C.EditMask) + " " + C.EditText);
    EXPECT_EQ(TMaskEngine(C.EditMask).Validate(C.EditText), C.Expected);
  }
}

// Hostile masks parse to something defined; nothing asserts or reads past the end.
TEST(MaskUtilsTest, HostileMasks) {
  struct Case {
    const char* Name;
    const char* EditMask;
    int Count;
    bool Save;
    Char Blank;
    const char* EmptyEditText;
  };
  const Case Cases[] = {
      {"empty", "", 0, true, u'_', ""},
      {"only literals", "xyz-", 4, true, u'_', "xyz-"},
      {"only directives", "!><", 0, true, u'_', ""},
      {"trailing backslash", "99\\", 2, true, u'_', "__"},
      {"only a backslash", "\\", 0, true, u'_', ""},
      {"escaped separator", "99\\;1;_", 4, true, u'_', "__;1"},
      {"no fields", "99", 2, true, u'_', "__"},
      {"save field only", "99;0", 2, false, u'_', "__"},
      {"empty save field", "99;", 2, true, u'_', "__"},
      {"empty save field, blank given", "99;;*", 2, true, u'*', "**"},
      {"empty blank field", "99;0;", 2, false, u'_', "__"},
      {"extra field", "99;1;_;x", 2, true, u'_', "__"},
      {"separator as blank", "99;1;;", 2, true, u';', ";;"},
      {"long fields", "99;0abc;#x", 2, false, u'#', "##"},
      {"fields without a mask", ";0;_", 0, false, u'_', ""},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const TMaskEngine Mask(C.EditMask);
    EXPECT_EQ(Mask.Count(), C.Count);
    EXPECT_EQ(Mask.IsMasked(), C.Count > 0);
    EXPECT_EQ(Mask.SaveLiterals(), C.Save);
    EXPECT_EQ(Mask.BlankChar(), C.Blank);
    EXPECT_EQ(MaskGetMaskSave(C.EditMask), C.Save);
    EXPECT_EQ(MaskGetMaskBlank(C.EditMask), C.Blank);
    const String EditText = Mask.EditTextFromText("12");
    EXPECT_EQ(EditText.size(), C.Count);
    EXPECT_EQ(Mask.FormatEditText(String()), QString::fromUtf8(C.EmptyEditText));
    EXPECT_EQ(Mask.Validate(EditText), -1);
  }
}

TEST(MaskUtilsTest, FormatRoutines) {
  struct Case {
    const char* EditMask;
    const char* Value;
    const char* Expected;
    Char DateSeparator = u'/';
  };
  const Case Cases[] = {
      {"!9999-99-99;1;_", "2024-05-19", "2024-05-19"},
      {"!9999-99-99;1;_", "", "    -  -  "},
      {"000-000;0;_", "123456", "123-456"},
      {"!999;0;_", "12", " 12"},
      {"999;0;_", "12", "12 "},
      {">LL;0;_", "a1", "a1"},                   // shown as stored, unchecked
      {"!99/99/9999;1; ", "19-05-2024", "19-05-2024", u'-'},
      {"", "abc", "abc"},                        // no position: the value itself
      {";1;_", "abc", "abc"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(std::string(C.EditMask) + " " + C.Value);
    EXPECT_EQ(FormatMaskText(C.EditMask, C.Value, settings(C.DateSeparator)), QString::fromUtf8(C.Expected));
  }
  EXPECT_EQ(MaskDoFormatText("!99-99", "123", u'*'), String("*1-23"));
  EXPECT_EQ(MaskDoFormatText("99-99", "123", u'*'), String("12-3*"));
  EXPECT_EQ(PadInputLiterals("!99-99", "1-2", u'*'), String("*1-*2"));
  EXPECT_EQ(PadInputLiterals("99-99", "1-2", u'*'), String("1*-2*"));
}

TEST(MaskUtilsTest, SeparatorsDefaultToTheGlobalSettings) {
  TFormatSettingsScope Saved;
  FormatSettings().DateSeparator = u'-';
  FormatSettings().TimeSeparator = u'.';
  EXPECT_EQ(TMaskEngine("99/99 99:99;1;_").FormatEditText(String()), String("__-__ __.__"));
  EXPECT_EQ(FormatMaskText("!99/99/9999;1; ", "19-05-2024"), String("19-05-2024"));
  EXPECT_EQ(MaskDoFormatText("99:99;0;_", "1230", u'_'), String("12.30"));
}

}  // namespace
