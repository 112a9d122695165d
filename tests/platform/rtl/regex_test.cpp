#include "platform/rtl/regex.h"

#include "tests/support/testing.h"

namespace {

TEST(RegExTest, MatchesGivesEveryMatchInOrder) {
  struct Case {
    const char* Name;
    String Text, Pattern;
    TMatchCollection Expected;
  } Cases[] = {
      {"digit runs", "a12b345c6", "\\d+", {"12", "345", "6"}},
      {"no match", "abc", "\\d+", {}},
      {"empty text", "", "\\d+", {}},
      // no Unicode properties: Arabic-Indic and full-width digits are not \d
      {"ASCII digits only", QStringLiteral("\u0661\u0662 \uFF11 7"), "\\d+", {"7"}},
      {"Cyrillic class", "Привет мир", "[а-я]+", {"ривет", "мир"}},
      {"empty matches advance", "ab", "x*", {"", "", ""}},
      {"empty and non-empty", "baa", "a*", {"", "aa", ""}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(TRegEx::Matches(C.Text, C.Pattern), C.Expected);
  }
}

TEST(RegExTest, IsMatch) {
  const TRegEx Number("^\\d+$");
  EXPECT_TRUE(Number.IsMatch("123"));
  EXPECT_FALSE(Number.IsMatch("12a"));
  EXPECT_FALSE(Number.IsMatch(""));
  EXPECT_TRUE(TRegEx("").IsMatch(""));
}

TEST(RegExTest, BadPatternRaisesWithOffsetAndReason) {
  try {
    TRegEx("a(b");
    ADD_FAILURE() << "expected ERegularExpressionError";
  } catch (const ERegularExpressionError& E) {
    EXPECT_EQ(E.Message, "Error in regular expression at offset 3: missing closing parenthesis");
  }
}

}  // namespace
