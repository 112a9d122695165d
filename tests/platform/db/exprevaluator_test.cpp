#include "platform/db/exprevaluator.h"

#include "platform/db/dbconsts.h"
#include "platform/db/exprparser.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/strutils.h"

#include "tests/support/testing.h"

#include <map>

namespace {

// A record of named values, an optional aggregate view over the values of
// field "V", and the filter switches a dataset would supply.
class FakeContext : public IExprContext {
public:
  std::map<String, Variant> Record;
  std::vector<Variant> Rows;
  bool HasView = false;
  bool IgnoreCase = false;
  String Multi = QStringLiteral("%");

  Variant FieldValue(const TExprNode& Field) override {
    if (FRow >= 0) return Rows.at(size_t(FRow));
    return Record.at(Field.Name);
  }
  bool CaseInsensitive() override { return IgnoreCase; }
  int AggregateRowCount() override { return HasView ? int(Rows.size()) : NoAggregateView; }
  void SetAggregateRow(int Row) override { FRow = Row; }
  String MultiWildcards() override { return Multi; }

  void Reset() { FRow = -1; }

private:
  int FRow = -1;
};

TFieldType typeOf(const Variant& V) {
  switch (VarType(V)) {
    case varInteger: return ftInteger;
    case varDouble: return ftFloat;
    case varDate: return ftDateTime;
    case varBoolean: return ftBoolean;
    default: return ftWideString;
  }
}

Variant evaluate(const String& Text, FakeContext& Context) {
  TExprParser Parser(
      [&Context](const String& Name) -> std::optional<TExprFieldInfo> {
        if (Name == u"V") return TExprFieldInfo{ftVariant, 1};
        const auto It = Context.Record.find(Name);
        if (It == Context.Record.end()) return std::nullopt;
        return TExprFieldInfo{typeOf(It->second), 2};
      },
      {poExtSyntax, poAggregate});
  const std::unique_ptr<TExprNode> Root = Parser.Parse(Text);
  Context.Reset();
  return TExprEvaluator::Evaluate(*Root, Context);
}

// Kind and value, so 3 and 3.0 or Null and '' never pass for each other.
String shown(const Variant& V) { return VarTypeAsText(VarType(V)) + u':' + VarToStr(V); }

const TDateTime Stamp = EncodeDateTime(2020, 1, 2, 10, 30, 0, 100);
const TDateTime StampLater = EncodeDateTime(2020, 1, 2, 10, 30, 0, 900);

struct Case {
  const char* Name;
  const char* Text;
  Variant Expected;
};

void runCases(std::initializer_list<Case> Cases, FakeContext& Context) {
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(shown(evaluate(String::fromUtf8(C.Text), Context)), shown(C.Expected));
  }
}

TEST(ExprEvaluatorTest, EdgeCases) {
  FakeContext Context;
  Context.Record = {{"NullDate", Null()}, {"D1", VarFromDateTime(Stamp)}, {"D2", VarFromDateTime(StampLater)},
                    {"S", Variant("10")}, {"Empty", Variant("")}, {"Nothing", Null()},
                    {"Name", Variant("Smith")}, {"X", Variant("Q")}, {"Y", Variant("q")}};
  runCases(
      {
          {"substring to the end", "SUBSTRING('abcdef', 2)", Variant("bcdef")},
          {"substring with length", "SUBSTRING('abcdef', 2, 3)", Variant("bcd")},
          {"substring of null", "SUBSTRING(NULL, 1)", Null()},
          {"substring from before 1", "SUBSTRING('abcdef', 0, 2)", Variant("ab")},
          {"substring past the end", "SUBSTRING('abcdef', 5, 10)", Variant("ef")},
          {"substring after the end", "SUBSTRING('abc', 4)", Variant("")},
          {"trim both ends", "TRIM('--ab--', '-')", Variant("ab")},
          {"trim left of blanks", "TRIMLEFT('  ab ')", Variant("ab ")},
          {"trim right of blanks", "TRIMRIGHT('  ab ')", Variant("  ab")},
          {"trim everything", "TRIM('xx', 'x')", Variant("")},
          {"trim text of two characters", "TRIM('xab', 'xa')", Variant("xab")},
          {"trim of null", "TRIM(NULL)", Null()},
          {"text plus null", "'ab' + NULL", Variant("ab")},
          {"null plus null", "NULL + NULL", Null()},
          {"number plus null", "1 + NULL", Null()},
          {"text plus number", "'1' + 2", Variant("12")},
          {"number arithmetic", "2 * 3 - 1", Variant(5)},
          {"real division", "7 / 2", Variant(3.5)},
          {"upper of null", "UPPER(NULL)", Null()},
          {"lower", "LOWER('AbC')", Variant("abc")},
          {"year of a null date", "YEAR(NullDate)", Null()},
          {"year", "YEAR(D1)", Variant(Word(2020))},
          {"month", "MONTH(D1)", Variant(Word(1))},
          {"day", "DAY(D1)", Variant(Word(2))},
          {"hour", "HOUR(D1)", Variant(Word(10))},
          {"minute", "MINUTE(D1)", Variant(Word(30))},
          {"second", "SECOND(D1)", Variant(Word(0))},
          {"date part", "DATE(D1)", VarFromDateTime(EncodeDate(2020, 1, 2))},
          {"time part", "TIME(D1)", VarFromDateTime(EncodeTime(10, 30, 0, 100))},
          {"equal ignores milliseconds", "D1 = D2", Variant(true)},
          {"not equal sees milliseconds", "D1 <> D2", Variant(true)},
          {"less sees milliseconds", "D1 < D2", Variant(true)},
          {"greater sees milliseconds", "D1 > D2", Variant(false)},
          {"in ignores milliseconds", "D1 IN (D2)", Variant(true)},
          {"in with a call, upper-cased match", "X IN ('A', UPPER(Y))", Variant(true)},
          {"in without a match", "'Z' IN ('A', UPPER(Y))", Variant(false)},
          {"in with the first", "'A' IN ('A', UPPER(Y))", Variant(true)},
          {"case-sensitive compare", "Name = 'SMITH'", Variant(false)},
          {"text beside a number compares as text", "S > 5", Variant(false)},
          {"numbers compare as numbers", "10 > 5", Variant(true)},
          {"null is below every value", "Nothing < 5", Variant(true)},
          {"null equals null", "Nothing = NULL", Variant(true)},
          {"is null of an empty text", "Empty IS NULL", Variant(true)},
          {"is not null of an empty text", "Empty IS NOT NULL", Variant(false)},
          {"is null of null", "Nothing IS NULL", Variant(true)},
          {"not of null", "NOT NULL", Variant(true)},
          {"false and null", "FALSE AND NULL", Variant(false)},
          {"true and null", "TRUE AND NULL", Null()},
          {"true or null", "TRUE OR NULL", Variant(true)},
          {"false or null", "FALSE OR NULL", Null()},
          {"null constant", "NULL", Null()},
          {"partial compare", "Name = 'Smi*'", Variant(true)},
          {"partial compare keeps case", "Name = 'SMI*'", Variant(false)},
          {"partial compare, not equal", "Name <> 'Smx*'", Variant(true)},
          {"like", "Name LIKE 'S%h'", Variant(true)},
          {"like of null", "Nothing LIKE 'a%'", Variant(false)},
      },
      Context);

  Context.IgnoreCase = true;
  runCases({{"case-insensitive compare", "Name = 'SMITH'", Variant(true)},
            {"case-insensitive in", "Name IN ('x', 'SMITH')", Variant(true)},
            {"case-insensitive like", "Name LIKE 'sm%'", Variant(true)}},
           Context);
}

TEST(ExprEvaluatorTest, PartialCompareTakesItsCaseFromTheFilterOptions) {
  FakeContext Context;
  Context.Record = {{"Name", Variant("Smith")}};
  TExprParser Parser([](const String&) { return std::optional<TExprFieldInfo>({ftWideString, 1}); },
                     {poExtSyntax}, {foCaseInsensitive});
  EXPECT_TRUE(TExprEvaluator::Accepts(*Parser.Parse("Name = 'SMI*'"), Context));
}

TEST(ExprEvaluatorTest, Aggregates) {
  FakeContext Context;
  Context.HasView = true;
  Context.Rows = {Variant(1), Null(), Variant("a"), Variant(2)};
  runCases({{"sum skips text and null", "SUM(V)", Variant(3)},
            {"count of values", "COUNT(V)", Variant(3)},
            {"average over every row", "AVG(V)", Variant(0.75)},
            {"count of rows", "COUNT(*)", Variant(4)},
            {"an expression per row", "SUM(V) + COUNT(*)", Variant(7)}},
           Context);

  Context.Rows = {Variant(5), Null(), Variant(3)};
  runCases({{"min", "MIN(V)", Variant(3)}, {"max", "MAX(V)", Variant(5)}}, Context);

  Context.Rows = {Variant("b"), Variant("c"), Variant("a")};
  runCases({{"min of texts", "MIN(V)", Variant("a")}, {"max of texts", "MAX(V)", Variant("c")}}, Context);

  Context.Rows = {Null(), Null()};
  runCases({{"sum of nulls", "SUM(V)", Variant(0)},
            {"min of nulls", "MIN(V)", Null()},
            {"count of nulls", "COUNT(V)", Variant(0)}},
           Context);

  Context.Rows.clear();
  runCases({{"count of no rows", "COUNT(*)", Variant(0)},
            {"sum of no rows", "SUM(V)", Null()},
            {"avg of no rows", "AVG(V)", Null()},
            {"min of no rows", "MIN(V)", Null()},
            {"count of no values", "COUNT(V)", Null()}},
           Context);

  Context.HasView = false;
  runCases({{"count without a view", "COUNT(*)", Null()}, {"sum without a view", "SUM(V)", Null()}}, Context);
}

TEST(ExprEvaluatorTest, GetDateReadsTheClock) {
  TManualClock Clock(EncodeDateTime(2021, 5, 6, 7, 8, 9, 0));
  TClockScope Scope(Clock);
  FakeContext Context;
  EXPECT_EQ(shown(evaluate("GETDATE()", Context)), shown(VarFromDateTime(Clock.Now())));
  EXPECT_EQ(shown(evaluate("YEAR(getdate()) = 2021", Context)), shown(Variant(true)));
}

std::unique_ptr<TExprNode> node(int NodeClass, int Operator) {
  auto N = std::make_unique<TExprNode>();
  N->NodeClass = NodeClass;
  N->Operator = Operator;
  return N;
}

std::unique_ptr<TExprNode> constant(const Variant& Value, TFieldType Type) {
  auto N = node(nodeCONST, coCONST2);
  N->Value = Value;
  N->DataType = Type;
  return N;
}

TEST(ExprEvaluatorTest, Errors) {
  FakeContext Context;
  EXPECT_RAISES(evaluate("GETDATE(1)", Context), EDatabaseError,
                "Incorrect number of arguments in function <GETDATE>");
  EXPECT_RAISES(evaluate("substring('a')", Context), EDatabaseError,
                "Incorrect number of arguments in function <substring>");
  EXPECT_RAISES(evaluate("TRIM('a', 'b', 'c')", Context), EDatabaseError,
                "Incorrect number of arguments in function <TRIM>");
  EXPECT_RAISES(evaluate("Year()", Context), EDatabaseError, "Incorrect number of arguments in function <Year>");
  EXPECT_RAISES(evaluate("SUM(1, 2)", Context), EDatabaseError, "Incorrect number of arguments in function <SUM>");
  EXPECT_RAISES(evaluate("Foo(1) = 1", Context), EDatabaseError, "Unsupported function: Foo");
  // Both sides of AND are evaluated even when the left decides.
  EXPECT_RAISES(evaluate("FALSE AND FOO()", Context), EDatabaseError, "Unsupported function: FOO");

  auto BadBinary = node(nodeBINARY, 12);
  BadBinary->Args.push_back(constant(Variant(1), ftInteger));
  BadBinary->Args.push_back(constant(Variant(1), ftInteger));
  EXPECT_RAISES(TExprEvaluator::Evaluate(*BadBinary, Context), EDatabaseError, "Operator <2:12> not supported.");
  EXPECT_RAISES(TExprEvaluator::Evaluate(*node(nodeFIELD, coCONST2), Context), EDatabaseError,
                "Operator <4:14> not supported.");
  auto CompareGreater = node(nodeCOMPARE, coGT);
  EXPECT_RAISES(TExprEvaluator::Evaluate(*CompareGreater, Context), EDatabaseError,
                "Operator <3:5> not supported.");
  auto BadList = node(nodeBINARY, coIN);
  BadList->Args.push_back(constant(Variant(1), ftInteger));
  BadList->Args.push_back(constant(Variant(1), ftInteger));
  EXPECT_RAISES(TExprEvaluator::Evaluate(*BadList, Context), EDatabaseError, "Operator <5:14> not supported.");

  EXPECT_RAISES(TExprEvaluator::Evaluate(*constant(Variant("x"), ftBlob), Context), EDatabaseError,
                "Unsupported data type: [15].");
  EXPECT_RAISES(TExprEvaluator::Evaluate(*constant(Variant(1), ftLongWord), Context), EDatabaseError,
                "Unsupported data type: [42].");
}

TEST(ExprEvaluatorTest, ConstantsTakeTheKindOfTheirType) {
  FakeContext Context;
  struct KindCase {
    const char* Name;
    Variant Value;
    TFieldType Type;
    Variant Expected;
  } Cases[] = {
      {"null of unknown type", Null(), ftUnknown, Null()},
      {"smallint", Variant(7), ftSmallint, Variant(SmallInt(7))},
      {"word", Variant(7), ftWord, Variant(Word(7))},
      {"byte", Variant(7), ftByte, Variant(Byte(7))},
      {"largeint", Variant(7), ftLargeint, Variant(Int64(7))},
      {"currency is a double", Variant(2.5), ftCurrency, Variant(2.5)},
      {"bcd is a currency", Variant(2.5), ftBCD, Variant(Currency(2.5))},
      {"bcd beyond currency is null", Variant(1e300), ftBCD, Null()},
      {"boolean", Variant(1), ftBoolean, Variant(true)},
      {"date drops the time", VarFromDateTime(Stamp), ftDate, VarFromDateTime(EncodeDate(2020, 1, 2))},
      {"time drops date and milliseconds", VarFromDateTime(Stamp), ftTime,
       VarFromDateTime(EncodeTime(10, 30, 0, 0))},
      {"date-time drops milliseconds", VarFromDateTime(Stamp), ftDateTime,
       VarFromDateTime(EncodeDateTime(2020, 1, 2, 10, 30, 0, 0))},
      {"string", Variant(5), ftString, Variant("5")},
  };
  for (const KindCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(shown(TExprEvaluator::Evaluate(*constant(C.Value, C.Type), Context)), shown(C.Expected));
  }
}

TEST(ExprEvaluatorTest, NodesWithoutMeaningGiveNull) {
  FakeContext Context;
  auto List = node(nodeLIST, coNOTDEFINED);
  List->Args.push_back(constant(Variant(1), ftInteger));
  EXPECT_TRUE(VarIsNull(TExprEvaluator::Evaluate(*List, Context)));
  EXPECT_TRUE(VarIsNull(TExprEvaluator::Evaluate(*node(nodeNULL, 99), Context)));
  EXPECT_TRUE(VarIsNull(TExprEvaluator::Evaluate(*node(nodeUDF, coNOTDEFINED), Context)));
  auto Elements = node(nodeLISTELEM, coLISTELEM2);
  Elements->Args.push_back(constant(Variant(1), ftInteger));
  EXPECT_TRUE(VarIsNull(TExprEvaluator::Evaluate(*Elements, Context)));
}

TEST(ExprEvaluatorTest, OnlyABooleanTrueAcceptsARecord) {
  FakeContext Context;
  Context.Record = {{"Nothing", Null()}};
  struct VerdictCase {
    const char* Text;
    bool Accepted;
  } Cases[] = {{"1 = 1", true}, {"1 = 2", false}, {"NULL", false}, {"TRUE AND Nothing", false},
               {"1", false},    {"'True'", false}, {"-1", false}};
  for (const VerdictCase& C : Cases) {
    SCOPED_TRACE(C.Text);
    TExprParser Parser([](const String&) { return std::optional<TExprFieldInfo>({ftInteger, 1}); });
    EXPECT_EQ(TExprEvaluator::Accepts(*Parser.Parse(String::fromUtf8(C.Text)), Context), C.Accepted);
  }
}

TEST(ExprEvaluatorTest, GenericDatasetsTakeTheStarAsAMultiWildcard) {
  FakeContext Context;
  Context.Record = {{"Title", Variant("It's here")}};
  Context.Multi = QStringLiteral("%*");
  const char* Text = "Title like '*it''s*'";
  EXPECT_EQ(shown(evaluate(Text, Context)), shown(Variant(false)));
  Context.IgnoreCase = true;
  EXPECT_EQ(shown(evaluate(Text, Context)), shown(Variant(true)));
  Context.Multi = QStringLiteral("%");
  EXPECT_EQ(shown(evaluate(Text, Context)), shown(Variant(false)));
}

TEST(ExprEvaluatorTest, DefaultContextComparesByLocale) {
  struct CompareCase {
    const char* Name;
    const char* A;
    const char* B;
    bool CaseInsensitive;
    int PartialLength;
    int Expected;
  } Cases[] = {
      {"equal", "Smith", "Smith", false, 0, 0},
      {"case differs", "Smith", "SMITH", false, 0, -2},
      {"case ignored", "Smith", "SMITH", true, 0, 0},
      {"less", "Adams", "Smith", false, 0, -1},
      {"greater", "Smith", "Adams", true, 0, 1},
      {"prefix equal", "Smith", "Smi", false, 3, 0},
      {"prefix differs", "Smith", "Smx", false, 3, -1},
      {"prefix longer than both", "ab", "ab", false, 5, 0},
      {"whole texts without a length", "Smith", "Smi", false, 0, 1},
      {"cyrillic case ignored", "привет", "ПРИВЕТ", true, 0, 0},
  };
  FakeContext Context;
  for (const CompareCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    const int Result = Context.IExprContext::CompareText(String::fromUtf8(C.A), String::fromUtf8(C.B),
                                                         C.CaseInsensitive, C.PartialLength);
    if (C.Expected == -2)
      EXPECT_NE(Result, 0);
    else
      EXPECT_EQ(Result, C.Expected);
  }
}

TEST(LikeMatchTest, Patterns) {
  struct LikeCase {
    const char* Value;
    const char* Pattern;
    bool CaseInsensitive;
    bool Expected;
  } Cases[] = {
      {"abc", "a%c", false, true},
      {"abc", "%b%", false, true},
      {"abc", "a_c", false, true},
      {"abc", "%", false, true},
      {"abc", "a%d", false, false},
      {"ab", "a_%", false, true},
      {"ab", "ab_", false, true},
      {"ab", "a__", false, true},
      {"ab", "a%b%b", false, false},
      {"", "a", false, false},
      {"", "", false, true},
      {"", "%", false, true},
      {"a", "", false, false},
      {"abc", "ab%bc", false, false},
      {"abbc", "ab%bc", false, true},
      {"abc", "%%%", false, true},
      {"abc", "a_%%_", false, true},
      {"abc", "_", false, false},
      {"abc", "___", false, true},
      {"abc", "____", false, true},
      {"abcde", "%b_d%", false, true},
      {"abcde", "%c%e", false, true},
      {"abcde", "%c%d", false, false},
      {"abc", "ABC", false, false},
      {"abc", "ABC", true, true},
      {"abc", "A%", true, true},
      {"Привет", "%ВЕТ", true, true},
      {"Привет", "%ВЕТ", false, false},
      {"a%c", "a%c", false, true},
      // a multi wildcard stays a wildcard where the value holds the same character
      {"100% sure", "100%", false, true},
      {"a%c%e", "a%e", false, true},
  };
  for (const LikeCase& C : Cases) {
    SCOPED_TRACE(std::string(C.Value) + " LIKE " + C.Pattern + (C.CaseInsensitive ? " ci" : ""));
    EXPECT_EQ(LikeMatch(String::fromUtf8(C.Value), String::fromUtf8(C.Pattern), C.CaseInsensitive), C.Expected);
  }
}

TEST(LikeMatchTest, WildcardSets) {
  const String Title = QStringLiteral("It's here");
  const String Star = QStringLiteral("%*");
  EXPECT_TRUE(LikeMatch(Title, "*it's*", /*CaseInsensitive=*/true, u'_', Star));
  EXPECT_FALSE(LikeMatch(Title, "*it's*", /*CaseInsensitive=*/false, u'_', Star));
  EXPECT_FALSE(LikeMatch(Title, "*it's*", /*CaseInsensitive=*/true));
  EXPECT_TRUE(LikeMatch("abc", "a*%*c", false, u'_', Star));
  // Without a single wildcard "_" is an ordinary character.
  EXPECT_FALSE(LikeMatch("abc", "a_c", false, Char(), "%"));
  EXPECT_TRUE(LikeMatch("a_c", "a_%", false, Char(), "%"));
}

}  // namespace
