#include "gridlib/memtable/datasetexprparser.h"

#include "platform/rtl/datetime.h"
#include "tests/gridlib/memtable/memtabletesting.h"

namespace {

class DataSetExprParser : public ::testing::Test, public TDataSetViewFixture {
protected:
  DataSetExprParser()
      : TDataSetViewFixture({{"Name", ftString, 20},
                             {"Name2", ftString, 20},
                             {"Qty", ftInteger},
                             {"When", ftDateTime},
                             {"When2", ftDateTime},
                             {"V", ftVariant}}) {
    View = new TRecordsViewEh(DataSet);
    View->SetMemTableData(Data);
  }
  // Whether Expr accepts a record of the given values.
  bool accepts(const String& Expr, std::initializer_list<Variant> Values) {
    TDataSetExprParserEh Parser(DataSet, dsptFilterEh);
    Parser.ParseExpression(Expr);
    TMemoryRecordEh* Rec = Append(Values);
    const bool Result = Parser.IsCurRecordInFilter(Rec);
    List()->Clear();
    return Result;
  }
  Variant aggregate(const String& Expr) {
    TDataSetExprParserEh Parser(DataSet, dsptAggregateEh);
    Parser.ParseExpression(Expr);
    return Parser.CalcAggregateValue(View);
  }
};

TEST_F(DataSetExprParser, FilterCases) {
  const TDateTime At = EncodeDateTime(2021, 3, 4, 10, 20, 30, 5);
  const TDateTime AtLater = EncodeDateTime(2021, 3, 4, 10, 20, 30, 900);
  struct Case {
    const char* Expr;
    bool Expected;
  };
  const Case Cases[] = {
      {"SUBSTRING('abcdef', 2) = 'bcdef'", true},
      {"SUBSTRING('abcdef', 2, 3) = 'bcd'", true},
      {"SUBSTRING(NULL, 1) IS NULL", true},
      {"TRIM('--ab--', '-') = 'ab'", true},
      {"TRIMLEFT('  ab ') = 'ab '", true},
      {"TRIM('xx', 'x') = ''", true},
      {"TRIM('xab', 'xa') = 'xab'", true},
      {"'ab' + NULL = 'ab'", true},
      {"(NULL + NULL) IS NULL", true},
      {"(1 + NULL) IS NULL", true},
      {"'1' + 2 = '12'", true},
      {"UPPER(NULL) IS NULL", true},
      {"YEAR(Qty) IS NULL", true},  // Qty is Null in the record
      {"Qty <> 2", true},           // Null orders below 2: the comparison is true, not Null
      {"Qty < 2", true},
      {"'abc' LIKE 'a%c'", true},
      {"'abc' LIKE '%b%'", true},
      {"'abc' LIKE 'a_c'", true},
      {"'abc' LIKE '%'", true},
      {"'abc' LIKE 'a%d'", false},
      {"'ab' LIKE 'a_%'", true},
      {"'ab' LIKE 'ab_'", true},
      {"'ab' LIKE 'a%b%b'", false},
      {"'' LIKE 'a'", false},
      {"'' LIKE ''", true},
      {"Name = 'SMITH'", false},  // case counts without foCaseInsensitive
      {"When = When2", true},     // milliseconds dropped for '='
      {"When <> When2", true},
      {"When < When2", true},
      {"Name2 IN ('A', UPPER(Name))", false},
      {"UPPER(Name2) IN ('A', UPPER(Name))", true},
      {"UPPER(Name) IN ('A', 'SMITH')", true},
      // verdicts that are not a Boolean reject, without raising
      {"NULL", false},
      {"(Qty = 2) OR NULL", false},
      {"Qty + 1", false},
      {"Name", false},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Expr);
    EXPECT_EQ(accepts(QString::fromLatin1(C.Expr), {QStringLiteral("Smith"), QStringLiteral("smith"), Null(),
                                                   VarFromDateTime(At), VarFromDateTime(AtLater)}),
              C.Expected);
  }
}

TEST_F(DataSetExprParser, FilterOptionsAndErrors) {
  EXPECT_FALSE(accepts(QStringLiteral("Name = 'SMITH'"), {QStringLiteral("Smith")}));
  DataSet->SetFilterOptions({foCaseInsensitive});
  EXPECT_TRUE(accepts(QStringLiteral("Name = 'SMITH'"), {QStringLiteral("Smith")}));
  EXPECT_TRUE(accepts(QStringLiteral("Name LIKE 'SM%'"), {QStringLiteral("Smith")}));

  TDataSetExprParserEh Parser(DataSet, dsptFilterEh);
  EXPECT_FALSE(Parser.HasData());
  EXPECT_FALSE(Parser.IsCurRecordInFilter(Append({})));
  EXPECT_RAISES(Parser.ParseExpression(QStringLiteral("SUM(Qty) > 0")), EDatabaseError,
                "Aggregate function SUM is not allowed here");
  EXPECT_RAISES(Parser.ParseExpression(QStringLiteral("Missing = 1")), EDatabaseError, "Field 'Missing' not found");
  Parser.ParseExpression(QStringLiteral("GETDATE(1) IS NULL"));
  EXPECT_RAISES(Parser.IsCurRecordInFilter(List()->Rec(0)), EDatabaseError,
                "Incorrect number of arguments in function <GETDATE>");
  Parser.ParseExpression(QStringLiteral("FOO(1) = 1"));
  EXPECT_RAISES(Parser.IsCurRecordInFilter(List()->Rec(0)), EDatabaseError, "Unsupported function: FOO");
  // A blank text clears the expression instead of failing to parse.
  Parser.ParseExpression(QStringLiteral("  "));
  EXPECT_FALSE(Parser.HasData());
}

TEST_F(DataSetExprParser, AggregatesOverTheView) {
  struct Case {
    const char* Expr;
    Variant Expected;
  };
  const Case OverMixed[] = {  // V: 1, Null, 'a', 2
      {"SUM(V)", 3}, {"COUNT(V)", 3}, {"AVG(V)", 0.75}, {"COUNT(*)", 4}, {"SUM(V) + 1", 4},
  };
  for (const Variant& V : {Variant(1), Null(), Variant(QStringLiteral("a")), Variant(2)})
    Append({Null(), Null(), Null(), Null(), Null(), V});
  for (const Case& C : OverMixed) {
    SCOPED_TRACE(C.Expr);
    EXPECT_EQ(aggregate(QString::fromLatin1(C.Expr)), C.Expected);
  }

  List()->Clear();
  for (int Q : {5, 0, 3}) Append({Null(), Null(), Q == 0 ? Null() : Variant(Q)});
  EXPECT_EQ(aggregate(QStringLiteral("MIN(Qty)")), Variant(3));
  EXPECT_EQ(aggregate(QStringLiteral("MAX(Qty)")), Variant(5));

  List()->Clear();
  EXPECT_EQ(aggregate(QStringLiteral("COUNT(*)")), Variant(0));
  for (const char* Expr : {"SUM(Qty)", "COUNT(Qty)", "AVG(Qty)", "MIN(Qty)", "MAX(Qty)"}) {
    SCOPED_TRACE(Expr);
    EXPECT_TRUE(VarIsNull(aggregate(QString::fromLatin1(Expr))));
  }
  TDataSetExprParserEh Unparsed(DataSet, dsptAggregateEh);
  EXPECT_EQ(Unparsed.CalcAggregateValue(View), Variant(false));
}

}  // namespace
