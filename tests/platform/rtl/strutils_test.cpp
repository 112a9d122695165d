#include "platform/rtl/strutils.h"

#include "tests/support/testing.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace {

// Switches the user locale for one test and puts the previous one back.
class UserLocaleScope {
public:
  explicit UserLocaleScope(const String& Name) : FSaved(UserLocale()) { SetUserLocale(Name); }
  ~UserLocaleScope() { SetUserLocale(FSaved); }

private:
  String FSaved;
};

// 1-based text

TEST(StrUtilsTest, CopyClampsLikeTheOriginal) {
  struct Case {
    const char* Name;
    int Index, Count;
    String Expected;
  } Cases[] = {
      {"index 0 counts from 1, count kept", 0, 2, "ab"},
      {"negative index", -5, 2, "ab"},
      {"first char", 1, 1, "a"},
      {"count past the end", 3, 5, "c"},
      {"huge count", 2, INT_MAX, "bc"},
      {"index Length+1", 4, 1, ""},
      {"count 0", 1, 0, ""},
      {"negative count", 2, -1, ""},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(Copy("abc", C.Index, C.Count), C.Expected);
  }
  EXPECT_EQ(Copy(String(), 1, 1), "");
}

TEST(StrUtilsTest, PosAndPosEx) {
  EXPECT_EQ(Pos("", "abc"), 0);
  EXPECT_EQ(Pos("a", ""), 0);
  EXPECT_EQ(Pos("c", "abc"), 3);
  EXPECT_EQ(Pos("abcd", "abc"), 0);
  EXPECT_EQ(Pos("bc", "abcbc"), 2);
  EXPECT_EQ(PosEx("a", "aba", 2), 3);
  EXPECT_EQ(PosEx("a", "aba", 3), 3);
  EXPECT_EQ(PosEx("a", "aba", 4), 0);
  EXPECT_EQ(PosEx("a", "aba", 0), 0);
  EXPECT_EQ(PosEx("", "aba", 1), 0);
}

TEST(StrUtilsTest, DeleteOnlyInsideTheText) {
  struct Case {
    const char* Name;
    int Index, Count;
    String Expected;
  } Cases[] = {
      {"index 0 is a no-op", 0, 1, "abc"},
      {"index Length+1 is a no-op", 4, 1, "abc"},
      {"count past the end", 2, 10, "a"},
      {"last char", 3, 1, "ab"},
      {"count 0", 1, 0, "abc"},
      {"negative count", 1, -1, "abc"},
      {"all", 1, 3, ""},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    String S = "abc";
    Delete(S, C.Index, C.Count);
    EXPECT_EQ(S, C.Expected);
  }
}

TEST(StrUtilsTest, InsertClampsThePosition) {
  struct Case {
    int Index;
    String Expected;
  } Cases[] = {{-1, "Xabc"}, {0, "Xabc"}, {1, "Xabc"}, {3, "abXc"}, {4, "abcX"}, {10, "abcX"}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Index);
    String S = "abc";
    Insert("X", S, C.Index);
    EXPECT_EQ(S, C.Expected);
  }
}

TEST(StrUtilsTest, TrimRemovesBlanksAndControlCharsOnly) {
  EXPECT_EQ(Trim("\t a \x01"), "a");
  EXPECT_EQ(TrimLeft(" \r\na b "), "a b ");
  EXPECT_EQ(TrimRight(" a b\x1F"), " a b");
  EXPECT_EQ(Trim(" \t "), "");
  EXPECT_EQ(Trim(""), "");
  // a no-break space is above U+0020 and stays
  EXPECT_EQ(Trim(QStringLiteral("\u00A0a ")), QStringLiteral("\u00A0a"));
}

TEST(StrUtilsTest, RepeatsAndDelimiters) {
  EXPECT_EQ(StringOfChar(u'-', 3), "---");
  EXPECT_EQ(StringOfChar(u'-', 0), "");
  EXPECT_EQ(StringOfChar(u'-', -1), "");
  EXPECT_EQ(DupeString("ab", 2), "abab");
  EXPECT_EQ(DupeString("ab", -2), "");
  EXPECT_EQ(LastDelimiter("./", "a/b.c.d"), 6);
  EXPECT_EQ(LastDelimiter("./", "abc"), 0);
  EXPECT_EQ(LastDelimiter("", "abc"), 0);
  EXPECT_TRUE(IsDelimiter(",;", "a;b", 2));
  EXPECT_FALSE(IsDelimiter(",;", "a;b", 1));
  EXPECT_FALSE(IsDelimiter(",;", "a;", 0));
  EXPECT_FALSE(IsDelimiter(",;", "a;", 3));
}

// case families

TEST(StrUtilsTest, PlainCaseTouchesAsciiOnly) {
  EXPECT_EQ(UpperCase("привет, abc-z"), "привет, ABC-Z");
  EXPECT_EQ(LowerCase("ПРИВЕТ, ABC-Z"), "ПРИВЕТ, abc-z");
  EXPECT_LT(CompareText("a", "B"), 0);
  EXPECT_GT(CompareStr("a", "B"), 0);  // ordinal: 'B' < 'a'
  EXPECT_EQ(CompareStr("abc", "abc"), 0);
  EXPECT_LT(CompareStr("ab", "abc"), 0);
  // letters fold up, so '_' (between 'Z' and 'a') sorts after every letter
  EXPECT_GT(CompareText("_", "a"), 0);
  EXPECT_TRUE(SameText("Keyword", "KEYWORD"));
  EXPECT_FALSE(SameText("ёж", "ЁЖ"));
}

TEST(StrUtilsTest, AnsiCaseMapsEveryLetterOneToOne) {
  EXPECT_EQ(AnsiUpperCase("привет, abc"), "ПРИВЕТ, ABC");
  EXPECT_EQ(AnsiLowerCase("ЁЖ Ÿ ΣΑ"), "ёж ÿ σα");
  // no one-to-many mapping: positions in the copy stay positions in the text
  EXPECT_EQ(AnsiUpperCase("straße"), "STRAßE");
  // a letter beyond the BMP maps as one code point (Deseret small/capital long I)
  EXPECT_EQ(AnsiUpperCase(QStringLiteral("x\U00010428")), QStringLiteral("X\U00010400"));
  const String LoneSurrogate(1, QChar(0xD801));
  EXPECT_EQ(AnsiUpperCase(LoneSurrogate + "a"), LoneSurrogate + "A");
}

TEST(StrUtilsTest, AnsiCompareCollatesForTheUserLocale) {
  UserLocaleScope Russian("ru_RU");
  EXPECT_EQ(UserLocale(), "ru_RU");
  EXPECT_TRUE(AnsiSameText("Ёж", "ёЖ"));
  EXPECT_FALSE(AnsiSameText("ёж", "еж"));
  EXPECT_EQ(AnsiCompareText("ёж", "еж"), 1);
  EXPECT_EQ(AnsiCompareText("ёж", "жук"), -1);
  EXPECT_EQ(AnsiCompareText("Я", "а"), 1);
  EXPECT_EQ(AnsiCompareText("а", "Я"), -1);
  EXPECT_EQ(AnsiCompareText("a", "Z"), -1);
  EXPECT_NE(AnsiCompareStr("а", "А"), 0);
  EXPECT_EQ(AnsiCompareStr("Ёж", "Ёж"), 0);

  std::vector<String> Words = {"я", "Ж", "ё", "Б", "е", "а"};
  std::stable_sort(Words.begin(), Words.end(),
                   [](const String& A, const String& B) { return AnsiCompareText(A, B) < 0; });
  EXPECT_EQ(Words, (std::vector<String>{"а", "Б", "е", "ё", "Ж", "я"}));
}

TEST(StrUtilsTest, CLocaleCollatesLinguistically) {
  UserLocaleScope C("C");
  EXPECT_EQ(UserLocale(), "C");
  EXPECT_EQ(AnsiCompareStr("a", "B"), -1);  // ordinal order would put 'B' first
  EXPECT_TRUE(AnsiSameText("abc", "ABC"));
}

TEST(StrUtilsTest, AnsiSearchIgnoringCase) {
  UserLocaleScope English("en_US");
  EXPECT_EQ(AnsiPos("ив", "привет"), 3);
  EXPECT_EQ(AnsiPos("", "привет"), 0);
  EXPECT_TRUE(AnsiStartsText("ПРИ", "привет"));
  EXPECT_TRUE(AnsiStartsText("", "привет"));
  EXPECT_FALSE(AnsiStartsText("приветы", "привет"));
  EXPECT_TRUE(AnsiContainsText("Привет", "ВЕТ"));
  EXPECT_FALSE(AnsiContainsText("Привет", "ВЕЧ"));
  EXPECT_FALSE(AnsiContainsText("Привет", ""));
}

// replacing and quoting

TEST(StrUtilsTest, StringReplace) {
  struct Case {
    const char* Name;
    String S, Old, New;
    TReplaceFlags Flags;
    String Expected;
  } Cases[] = {
      {"first only", "aXbXc", "X", "-", {}, "a-bXc"},
      {"all", "aXbXc", "X", "-", rfReplaceAll, "a-b-c"},
      {"case matters without the flag", "aXbxc", "x", "-", rfReplaceAll, "aXb-c"},
      {"ignore case", "aXbxc", "x", "-", {rfReplaceAll, rfIgnoreCase}, "a-b-c"},
      {"Cyrillic ignoring case", "Ёлка и ёлка", "ЁЛКА", "ель", {rfReplaceAll, rfIgnoreCase}, "ель и ель"},
      {"replacement holding the pattern", "aa", "a", "aa", rfReplaceAll, "aaaa"},
      {"empty pattern", "abc", "", "-", rfReplaceAll, "abc"},
      {"no match", "abc", "x", "-", rfReplaceAll, "abc"},
      {"pattern at both ends", "xax", "x", "", rfReplaceAll, "a"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(StringReplace(C.S, C.Old, C.New, C.Flags), C.Expected);
  }
}

TEST(StrUtilsTest, QuotingAndDequoting) {
  EXPECT_EQ(QuotedStr("it's"), "'it''s'");
  EXPECT_EQ(QuotedStr(""), "''");
  EXPECT_EQ(AnsiQuotedStr("a\"b", u'"'), "\"a\"\"b\"");

  struct Case {
    String S, Expected;
  } Cases[] = {
      {"'abc'", "abc"}, {"'a''b'", "a'b"}, {"''", ""},   {"abc", "abc"},
      {"'ab", "'ab"},   {"'a'b", "a"},     {"", ""},     {"ab'", "ab'"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.S.toStdString());
    EXPECT_EQ(AnsiDequotedStr(C.S, u'\''), C.Expected);
  }
}

TEST(StrUtilsTest, ExtractQuotedStrLeavesTheRest) {
  String Src = "'a''b' rest";
  EXPECT_EQ(AnsiExtractQuotedStr(Src, u'\''), "a'b");
  EXPECT_EQ(Src, " rest");

  Src = "abc";
  EXPECT_EQ(AnsiExtractQuotedStr(Src, u'\''), "");
  EXPECT_EQ(Src, "abc");

  Src = "'unclosed";
  EXPECT_EQ(AnsiExtractQuotedStr(Src, u'\''), "unclosed");
  EXPECT_EQ(Src, "");
}

TEST(StrUtilsTest, AdjustLineBreaksMakesEveryBreakCrLf) {
  EXPECT_EQ(AdjustLineBreaks("a\rb\nc\r\nd\n\re\r"), "a\r\nb\r\nc\r\nd\r\n\r\ne\r\n");
  EXPECT_EQ(AdjustLineBreaks("\r\n\r\n"), "\r\n\r\n");
  EXPECT_EQ(AdjustLineBreaks(""), "");
}

TEST(StrUtilsTest, ExtractFieldNameWalksASemicolonList) {
  const String Fields = " Name ; Year;;Id;";
  std::vector<String> Items;
  std::vector<int> Positions;
  int P = 1;
  while (P <= Length(Fields)) {
    Items.push_back(ExtractFieldName(Fields, P));
    Positions.push_back(P);
  }
  EXPECT_EQ(Items, (std::vector<String>{"Name", "Year", "", "Id"}));
  EXPECT_EQ(Positions, (std::vector<int>{8, 14, 15, 18}));

  P = 1;
  EXPECT_EQ(ExtractFieldName("Single", P), "Single");
  EXPECT_EQ(P, 7);
}

TEST(StrUtilsTest, HintsSplitAtTheFirstBar) {
  struct Case {
    String Hint, Short, Long;
  } Cases[] = {
      {"Open|Opens a file", "Open", "Opens a file"},
      {"Both", "Both", "Both"},
      {"a|b|c", "a", "b|c"},
      {"|long", "", "long"},
      {"short|", "short", ""},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Hint.toStdString());
    EXPECT_EQ(GetShortHint(C.Hint), C.Short);
    EXPECT_EQ(GetLongHint(C.Hint), C.Long);
  }
}

TEST(StrUtilsTest, CharInSet) {
  EXPECT_TRUE(CharInSet(u'+', {u'+', u'-'}));
  EXPECT_FALSE(CharInSet(u'*', {u'+', u'-'}));
  EXPECT_FALSE(CharInSet(u'a', {}));
}

// path text

TEST(StrUtilsTest, PathPartsSplitOnBothDelimiters) {
  struct Case {
    String FileName, Path, Dir, Name, Ext;
  } Cases[] = {
      {"/home/u/file.txt", "/home/u/", "/home/u", "file.txt", ".txt"},
      {"C:\\Data\\base.db", "C:\\Data\\", "C:\\Data", "base.db", ".db"},
      {"dir\\sub/x", "dir\\sub/", "dir\\sub", "x", ""},
      {"/file", "/", "/", "file", ""},
      {"\\file", "\\", "\\", "file", ""},
      {"a//b", "a//", "a//", "b", ""},
      {"file.tar.gz", "", "", "file.tar.gz", ".gz"},
      {"dir.d/file", "dir.d/", "dir.d", "file", ""},
      {"dir\\.hidden", "dir\\", "dir", ".hidden", ".hidden"},
      {"dir/", "dir/", "dir", "", ""},
      {"", "", "", "", ""},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.FileName.toStdString());
    EXPECT_EQ(ExtractFilePath(C.FileName), C.Path);
    EXPECT_EQ(ExtractFileDir(C.FileName), C.Dir);
    EXPECT_EQ(ExtractFileName(C.FileName), C.Name);
    EXPECT_EQ(ExtractFileExt(C.FileName), C.Ext);
  }
}

TEST(StrUtilsTest, ChangeFileExt) {
  EXPECT_EQ(ChangeFileExt("a/b.txt", ".ini"), "a/b.ini");
  EXPECT_EQ(ChangeFileExt("a/b", ".ini"), "a/b.ini");
  EXPECT_EQ(ChangeFileExt("dir.d\\file", ".x"), "dir.d\\file.x");
  EXPECT_EQ(ChangeFileExt("f.tar.gz", ""), "f.tar");
}

TEST(StrUtilsTest, TrailingPathDelimiter) {
  EXPECT_EQ(PathDelim, u'/');
  EXPECT_EQ(IncludeTrailingPathDelimiter("a"), "a/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("a/"), "a/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("C:\\a\\"), "C:\\a\\");
  EXPECT_EQ(IncludeTrailingPathDelimiter(""), "/");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("a/"), "a");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("a\\"), "a");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("a//"), "a/");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("a"), "a");
}

TEST(StrUtilsTest, PathCombine) {
  struct Case {
    String A, B, Expected;
  } Cases[] = {
      {"a", "b", "a/b"},       {"a/", "b", "a/b"},          {"a\\", "b", "a\\b"},
      {"a", "/b", "/b"},       {"a", "\\b", "\\b"},         {"a", "C:\\b", "C:\\b"},
      {"", "b", "b"},          {"a", "", "a"},              {"a", "b/c", "a/b/c"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE((C.A + " + " + C.B).toStdString());
    EXPECT_EQ(TPath::Combine(C.A, C.B), C.Expected);
  }
}

}  // namespace
