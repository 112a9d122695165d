#include "platform/os/locales.h"

#include "platform/rtl/strutils.h"
#include "tests/support/testing.h"

namespace {

TEST(LocalesTest, CountedCompareUsesTheFirstChars) {
  const TUserLocaleScope English(QStringLiteral("en_US"));
  struct Case {
    const char* Name;
    String S1;
    int Count1;
    String S2;
    int Count2;
    Cardinal Flags;
    Integer Expected;
  } Cases[] = {
      {"first three equal", "abcX", 3, "abcY", 3, 0, CSTR_EQUAL},
      {"whole strings", "abcX", -1, "abcY", -1, 0, CSTR_LESS_THAN},
      {"four chars", "abcY", 4, "abcX", 4, 0, CSTR_GREATER_THAN},
      {"count past the end", "ab", 10, "ab", 10, 0, CSTR_EQUAL},
      {"zero chars", "a", 0, "b", 0, 0, CSTR_EQUAL},
      {"case counts", "abc", -1, "ABC", -1, 0, CSTR_LESS_THAN},
      {"case ignored", "abc", -1, "ABC", -1, NORM_IGNORECASE, CSTR_EQUAL},
      {"accents are not ignored", "resume", -1, "résumé", -1, NORM_IGNORECASE, CSTR_LESS_THAN},
      {"collation, not code points", "a", -1, "B", -1, 0, CSTR_LESS_THAN},
      {"different counts", "abc", 2, "abd", 3, 0, CSTR_LESS_THAN},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(CompareString(LOCALE_USER_DEFAULT, C.Flags, C.S1, C.Count1, C.S2, C.Count2), C.Expected);
  }
}

TEST(LocalesTest, FirstDayAndClockOfTheUserLocale) {
  struct Case {
    const char* Locale;
    const char* FirstDay;
    const char* Time;
    const char* MarkBefore;
  } Cases[] = {
      {"en_US", "6", "0", "0"},
      {"ru_RU", "0", "1", "0"},
      {"de_DE", "0", "1", "0"},
      {"ko_KR", "6", "0", "1"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Locale);
    const TUserLocaleScope Scope(QString::fromLatin1(C.Locale));
    EXPECT_EQ(GetLocaleStr(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK, "?"), QString::fromLatin1(C.FirstDay));
    EXPECT_EQ(GetLocaleStr(LOCALE_USER_DEFAULT, LOCALE_ITIME, "?"), QString::fromLatin1(C.Time));
    EXPECT_EQ(GetLocaleStr(LOCALE_USER_DEFAULT, LOCALE_ITIMEMARKPOSN, "?"), QString::fromLatin1(C.MarkBefore));
  }
  EXPECT_EQ(GetLocaleStr(0x0419, LOCALE_IFIRSTDAYOFWEEK, "?"), QStringLiteral("0")) << "by id";
}

TEST(LocalesTest, UserLocaleMapsToTableIds) {
  struct Case {
    const char* Locale;
    LCID Expected;
    const char* Abbrev;
  } Cases[] = {
      {"de_DE", 0x0407, "DEU"}, {"ru_RU", 0x0419, "RUS"}, {"ja_JP", 0x0411, "JPN"},
      {"en_GB", 0x0809, "ENG"}, {"pt_PT", 0x0816, "PTG"},
      {"de_CH", 0x0007, "DEU"},  // no row: the language's neutral id, spoken for by its primary row
      {"en_AU", 0x0009, "ENU"}, {"zh_SG", 0x0004, "CHT"},
      {"sw_KE", 0x0409, "ENU"},  // a language without rows
      {"C", 0x0409, "ENU"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Locale);
    const TUserLocaleScope Scope(QString::fromLatin1(C.Locale));
    EXPECT_EQ(GetThreadLocale(), C.Expected);
    EXPECT_EQ(GetUserDefaultLCID(), C.Expected);
    EXPECT_EQ(GetLocaleStr(LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME, "?"), QString::fromLatin1(C.Abbrev));
  }
  const TUserLocaleScope Japanese(QStringLiteral("ja_JP"));
  EXPECT_EQ(PRIMARYLANGID(GetUserDefaultLangID()), LANG_JAPANESE);
}

TEST(LocalesTest, TableRowsAndLookups) {
  const std::vector<LCID> Ids = EnumSystemLocales();
  EXPECT_GE(Ids.size(), 25u);
  std::vector<String> Abbrevs;
  for (const LCID Id : Ids) Abbrevs.push_back(GetLocaleStr(Id, LOCALE_SABBREVLANGNAME, String()));
  for (const char* Needed : {"ENU", "RUS", "DEU", "JPN", "ENG", "FRA", "ESP", "ITA", "PTB", "PLK", "UKR", "CSY",
                             "NLD", "SVE", "FIN", "TRK", "HEB", "ARA", "CHS", "KOR"}) {
    SCOPED_TRACE(Needed);
    EXPECT_EQ(std::count(Abbrevs.begin(), Abbrevs.end(), QString::fromLatin1(Needed)), 1);
  }
  struct Case {
    LCID Id;
    const char* Native;
  } Cases[] = {{0x0409, "English"}, {0x0419, "русский"}, {0x0407, "Deutsch"}, {0x0411, "日本語"}, {0x0019, "русский"}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Id);
    EXPECT_EQ(GetLocaleStr(C.Id, LOCALE_SNATIVELANGNAME, String()), QString::fromUtf8(C.Native));
  }
  EXPECT_EQ(GetLocaleStr(0x0009, LOCALE_SABBREVLANGNAME, "?"), QStringLiteral("ENU")) << "neutral English";
  EXPECT_EQ(GetLocaleStr(0x0C09, LOCALE_SABBREVLANGNAME, "?"), QStringLiteral("?")) << "no row";
  EXPECT_EQ(GetLocaleStr(0x0409, 0x7777, "?"), QStringLiteral("?")) << "unknown type";
}

TEST(LocalesTest, CharacterClassesFromBidiTypes) {
  const String Text = QStringLiteral("aא٣1+$, \t\n!") + QChar(0x0301) + QStringLiteral("\U0001D400");
  std::vector<Word> Types;
  ASSERT_TRUE(GetStringTypeEx(LOCALE_USER_DEFAULT, CT_CTYPE2, Text, Types));
  const std::vector<Word> Expected = {
      C2_LEFTTORIGHT,      C2_RIGHTTOLEFT,  C2_ARABICNUMBER,      C2_EUROPENUMBER, C2_EUROPESEPARATOR,
      C2_EUROPETERMINATOR, C2_COMMONSEPARATOR, C2_WHITESPACE,     C2_SEGMENTSEPARATOR, C2_BLOCKSEPARATOR,
      C2_OTHERNEUTRAL,     C2_NOTAPPLICABLE, C2_LEFTTORIGHT,       C2_LEFTTORIGHT,
  };
  EXPECT_EQ(Types, Expected);
  std::vector<Word> Untouched = {7};
  EXPECT_FALSE(GetStringTypeEx(LOCALE_USER_DEFAULT, 1, Text, Untouched));
  EXPECT_EQ(Untouched, std::vector<Word>{7});
}

TEST(LocalesTest, CaseMapsIgnoreTheUserLocale) {
  const TUserLocaleScope Turkish(QStringLiteral("tr_TR"));
  EXPECT_EQ(AnsiUpperCase(QStringLiteral("straße ё i")), QStringLiteral("STRAßE Ё I"));
  EXPECT_EQ(AnsiLowerCase(QStringLiteral("I")), QStringLiteral("i"));
}

TEST(LocalesTest, ScopeRestoresLocaleAndScriptFlags) {
  const String Before = UserLocale();
  {
    const TUserLocaleScope Scope(QStringLiteral("he_IL"), /*FarEast=*/false, /*MiddleEast=*/true);
    EXPECT_EQ(UserLocale(), QStringLiteral("he_IL"));
    EXPECT_TRUE(SysLocale.MiddleEast);
    EXPECT_FALSE(SysLocale.FarEast);
    {
      const TUserLocaleScope Inner(QStringLiteral("ja_JP"), /*FarEast=*/true);
      EXPECT_TRUE(SysLocale.FarEast);
      EXPECT_FALSE(SysLocale.MiddleEast);
    }
    EXPECT_TRUE(SysLocale.MiddleEast);
    EXPECT_EQ(UserLocale(), QStringLiteral("he_IL"));
  }
  EXPECT_EQ(UserLocale(), Before);
  EXPECT_FALSE(SysLocale.FarEast);
  EXPECT_FALSE(SysLocale.MiddleEast);
}

}  // namespace
