#include "platform/db/exprparser.h"

#include "platform/db/dbconsts.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/strutils.h"

#include "tests/support/testing.h"

#include <map>

namespace {

// The fields the texts name, found without regard to case; FieldNo is the
// 1-based position in this list.
TExprFieldResolver resolver() {
  static const std::pair<const char*, TFieldType> Fields[] = {
      {"Type_Inf", ftString}, {"A", ftWideString}, {"B", ftBoolean},  {"N", ftWideString},
      {"I", ftInteger},       {"D", ftDate},       {"T", ftTime},     {"DT", ftDateTime},
      {"F", ftFloat},         {"Visible", ftBoolean}, {"K1", ftString}, {"K2", ftString},
      {"Title", ftWideString}, {"Journal", ftWideString}, {"Amount", ftCurrency}, {"Имя", ftWideString},
      {"Blob", ftBlob},       {"x", ftInteger},    {"a", ftInteger},  {"b", ftInteger},
      {"c", ftInteger},       {"Last Name", ftString}};
  return [](const String& Name) -> std::optional<TExprFieldInfo> {
    int No = 0;
    for (const auto& [FieldName, Type] : Fields) {
      ++No;
      if (AnsiSameText(Name, String::fromUtf8(FieldName))) return TExprFieldInfo{Type, No};
    }
    return std::nullopt;
  };
}

// Settings under which the system writes its filter texts: a decimal comma
// and ISO dates.
class ExprParserTest : public ::testing::Test {
protected:
  void SetUp() override {
    FormatSettings().DecimalSeparator = u',';
    FormatSettings().ShortDateFormat = QStringLiteral("yyyy-mm-dd");
    FormatSettings().DateSeparator = u'-';
  }

  static String dump(const String& Text, TParserOptions Options = {poExtSyntax}, TFilterOptions Filter = {}) {
    return ExprToString(*TExprParser(resolver(), Options, Filter).Parse(Text));
  }

  TFormatSettingsScope FSavedSettings;
};

struct Case {
  const char* Name;
  const char* Text;
  const char* Expected;
};

TEST_F(ExprParserTest, TextsTheSystemWritesParse) {
  const Case Cases[] = {
      {"plain", "[Type_Inf]='j'", "EQ([Type_Inf], 'j')"},
      {"two conditions", " [A] = 'x' AND  [B] >= 5", "AND(EQ([A], 'x'), GE([B], 5))"},
      {"parenthesised or", "( [N] > 5 OR [N] < 1)", "OR(GT([N], 5), LT([N], 1))"},
      {"value group", " ([N] = 'a' OR [N] = 'b')", "OR(EQ([N], 'a'), EQ([N], 'b'))"},
      {"negated group", " NOT ([N] = 'a' OR [N] = 'b')", "NOT(OR(EQ([N], 'a'), EQ([N], 'b')))"},
      {"in or is null", " ([N] In('a' ,  'b') ) OR [N] Is Null",
       "OR(IN([N], LIST('a', 'b')), ISBLANK([N]))"},
      {"not like", " Not ( [N] Like 'ab%')", "NOT(LIKE([N], 'ab%'))"},
      {"is not null", "[N] Is Not Null", "NOTBLANK([N])"},
      {"= NULL", "[N] = NULL", "EQ([N], NULL)"},
      {"<> Null", "[N] <> Null", "NE([N], NULL)"},
      {"not in", " [N] Not In('a', 'b')", "NOT(IN([N], LIST('a', 'b')))"},
      {"not in numbers", " [I] Not In(1, 2)", "NOT(IN([I], LIST(1, 2)))"},
      {"quoted quote", "[Title] like '*it''s*' OR [Journal] like '*it''s*'",
       "OR(LIKE([Title], '*it''s*'), LIKE([Journal], '*it''s*'))"},
      {"decimal comma", "[N] >= 1,5", "GE([N], Float(1.5))"},
      {"negative number", "[N] > -2.5", "GT([N], Float(-2.5))"},
      {"date text", "[D] >= '2020-01-01'", "GE([D], Date(2020-01-01))"},
      {"quoted integer", "[I] = '5'", "EQ([I], 5)"},
      {"quoted boolean", "[B] = 'True'", "EQ([B], TRUE)"},
      {"boolean keyword", "[Visible] = True", "EQ([Visible], TRUE)"},
      {"key group", "( [K1] = 'a' AND  [K2] = 'b' )", "AND(EQ([K1], 'a'), EQ([K2], 'b'))"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(dump(String::fromUtf8(C.Text)), String::fromUtf8(C.Expected));
  }
  const TParserOptions Aggregates{poExtSyntax, poAggregate};
  EXPECT_EQ(dump("SUM(Amount)", Aggregates), String("SUM([Amount])"));
  EXPECT_EQ(dump("COUNT(*)", Aggregates), String("COUNT()"));
}

TEST_F(ExprParserTest, CanonicalTrees) {
  const Case Cases[] = {
      // numbers and the decimal comma
      {"comma between digits", "[I] In(1,5 ,  2)", "IN([I], LIST(Float(1.5), 2))"},
      {"comma then blank", "[I] In(1, 5)", "IN([I], LIST(1, 5))"},
      {"blank then comma", "[I] In(1 ,5)", "IN([I], LIST(1, 5))"},
      {"point", "[F] = 2.25", "EQ([F], Float(2.25))"},
      {"exponent", "[F] < 1E3", "LT([F], Float(1000))"},
      {"signed exponent", "[F] < 25e-1", "LT([F], Float(2.5))"},
      {"below the smallest double", "[F] > 1E-400", "GT([F], Float(0))"},
      {"digits beyond 64 bits", "[F] < 99999999999999999999", "LT([F], Float(1E20))"},
      {"largeint", "[I] = 3000000000", "EQ([I], Largeint(3000000000))"},
      {"explicit plus", "[I] = +3", "EQ([I], 3)"},
      {"minus after an operand is arithmetic", "[I]-1 = 0", "EQ(SUB([I], 1), 0)"},
      {"sign after an operator", "[I] - -2 = 0", "EQ(SUB([I], -2), 0)"},
      // precedence and grouping
      {"and binds tighter than or", "[I] = 1 OR [I] = 2 AND [I] = 3", "OR(EQ([I], 1), AND(EQ([I], 2), EQ([I], 3)))"},
      {"products before sums", "[I] + 2 * 3 > 7", "GT(ADD([I], MUL(2, 3)), 7)"},
      {"left associative", "[I] - 1 - 2 / 4 = 0", "EQ(SUB(SUB([I], 1), DIV(2, 4)), 0)"},
      {"not over a comparison", "NOT [I] = 1 AND [B]", "AND(NOT(EQ([I], 1)), [B])"},
      {"not like", "[N] NOT LIKE 'a%'", "NOT(LIKE([N], 'a%'))"},
      {"keywords in any case", "[N] is NOT null or [N] LiKe 'x'", "OR(NOTBLANK([N]), LIKE([N], 'x'))"},
      {"blanks of every kind", "[N]\t=\r\n'a'", "EQ([N], 'a')"},
      // names and functions
      {"identifier field", "Amount > 1", "GT([Amount], 1)"},
      {"unicode identifier", "Имя = 'x'", "EQ([Имя], 'x')"},
      {"brackets keep blanks", "[Last Name] = 'a b'", "EQ([Last Name], 'a b')"},
      {"function name as written", "substring([N], 2, 3) = 'bc'", "EQ(substring([N], 2, 3), 'bc')"},
      {"function without arguments", "GETDATE() > [DT]", "GT(GETDATE(), [DT])"},
      {"nested calls in a list", "[N] IN ('A', UPPER([N]))", "IN([N], LIST('A', UPPER([N])))"},
      {"blank before the call", "TRIM ([N]) = ''", "EQ(TRIM([N]), '')"},
      // typing of string constants against fields
      {"string field keeps the text", "[N] = '5'", "EQ([N], '5')"},
      {"number against a string field stays a number", "[N] = 5", "EQ([N], 5)"},
      {"constant first", "'5' = [I]", "EQ(5, [I])"},
      {"float text with the comma", "[F] = '1,5'", "EQ([F], Float(1.5))"},
      {"float text with a point", "[F] = '2.5'", "EQ([F], Float(2.5))"},
      {"boolean text in any case", "[B] <> 'false'", "NE([B], FALSE)"},
      {"time text", "[T] < '10:30'", "LT([T], Time(10:30:00.000))"},
      {"date-time text", "[DT] = '2020-01-02 10:30:15'", "EQ([DT], DateTime(2020-01-02 10:30:15.000))"},
      {"listed texts", "[I] In('1', '2')", "IN([I], LIST(1, 2))"},
      {"other types keep the text", "[Blob] = 'x'", "EQ([Blob], 'x')"},
      {"like is not typed", "[I] LIKE '1%'", "LIKE([I], '1%')"},
      // partial compares
      {"partial", "[N] = 'abc*'", "CMP:EQ([N], 'abc', partial=3)"},
      {"partial not equal", "[N] <> 'abc*'", "CMP:NE([N], 'abc', partial=3)"},
      {"partial constant first", "'ab*' = [N]", "CMP:EQ('ab', [N], partial=2)"},
      {"a lone star is a text", "[N] = '*'", "EQ([N], '*')"},
      {"star inside is a text", "[N] = 'a*c'", "EQ([N], 'a*c')"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(dump(String::fromUtf8(C.Text)), String::fromUtf8(C.Expected));
  }
  EXPECT_EQ(dump("[N] = 'abc*'", {poExtSyntax}, {foCaseInsensitive}), String("CMP:EQ([N], 'abc', partial=3, ci)"));
  EXPECT_EQ(dump("[N] = 'abc*'", {poExtSyntax}, {foNoPartialCompare}), String("EQ([N], 'abc*')"));
}

TEST_F(ExprParserTest, PointSettingsNeverReadACommaAsDecimal) {
  FormatSettings().DecimalSeparator = u'.';
  EXPECT_EQ(dump("[I] In(1,5)"), String("IN([I], LIST(1, 5))"));
  EXPECT_RAISES(dump("[F] = '1,5'"), EDatabaseError, "Type mismatch in expression");
}

TEST_F(ExprParserTest, NodesCarryFieldsAndTypedConstants) {
  const std::unique_ptr<TExprNode> Root = TExprParser(resolver()).Parse("[i] = '7' AND [N] = 'Smi*'");
  ASSERT_EQ(Root->NodeClass, nodeBINARY);
  EXPECT_EQ(Root->Operator, coAND);
  const TExprNode& Equal = *Root->Args[0];
  const TExprNode& Field = *Equal.Args[0];
  EXPECT_EQ(Field.NodeClass, nodeFIELD);
  EXPECT_EQ(Field.Operator, coFIELD2);
  EXPECT_EQ(Field.Name, String("i"));
  EXPECT_EQ(Field.FieldNo, 5);
  EXPECT_EQ(Field.DataType, ftInteger);
  const TExprNode& Seven = *Equal.Args[1];
  EXPECT_EQ(Seven.NodeClass, nodeCONST);
  EXPECT_EQ(Seven.Operator, coCONST2);
  EXPECT_EQ(Seven.DataType, ftInteger);
  EXPECT_EQ(VarType(Seven.Value), varInteger);
  const TExprNode& Partial = *Root->Args[1];
  EXPECT_EQ(Partial.NodeClass, nodeCOMPARE);
  EXPECT_EQ(Partial.PartialLength, 3);
  EXPECT_FALSE(Partial.CaseInsensitive);

  const std::unique_ptr<TExprNode> Null = TExprParser(resolver()).Parse("NULL");
  EXPECT_EQ(Null->DataType, ftUnknown);
  EXPECT_TRUE(VarIsNull(Null->Value));
  EXPECT_EQ(TExprParser(resolver()).Parse("'s'")->DataType, ftWideString);
}

TEST_F(ExprParserTest, ErrorsNameTheirPlace) {
  struct ErrorCase {
    const char* Name;
    const char* Text;
    TParserOptions Options;
    const char* Message;
  };
  const TParserOptions Ext{poExtSyntax};
  const TParserOptions Agg{poExtSyntax, poAggregate};
  const ErrorCase Cases[] = {
      {"unterminated string", "[N] = 'x", Ext, "Unterminated string constant at position 7"},
      {"doubled quote at the end", "[N] = 'it''", Ext, "Unterminated string constant at position 7"},
      {"operator twice", "[N] = = 1", Ext, "Syntax error in filter expression at position 7: ="},
      {"chained comparison", "a = b = c", Ext, "Syntax error in filter expression at position 7: ="},
      {"unknown field", "[Nope] = 1", Ext, "Field 'Nope' not found"},
      {"unknown identifier", "Nope = 1", Ext, "Field 'Nope' not found"},
      {"empty brackets", "[] = 1", Ext, "Field '' not found"},
      {"type mismatch", "[I] = 'abc'", Ext, "Type mismatch in expression"},
      {"empty text against a number", "[I] = ''", Ext, "Type mismatch in expression"},
      {"listed mismatch", "[I] In('1', 'x')", Ext, "Type mismatch in expression"},
      {"bad date", "[D] = '2020-13-01'", Ext, "Type mismatch in expression"},
      {"bad boolean", "[B] = 'yes'", Ext, "Type mismatch in expression"},
      {"partial on a number field", "[I] = '1*'", Ext, "Type mismatch in expression"},
      {"aggregate in a filter", "SUM(x) > 1", Ext, "Aggregate function SUM is not allowed here"},
      {"count star in a filter", "count(*) > 1", Ext, "Aggregate function count is not allowed here"},
      {"empty text", "", Ext, "Syntax error in filter expression at position 1: end of expression"},
      {"blank text", "  ", Ext, "Syntax error in filter expression at position 3: end of expression"},
      {"missing operand", "[N] = ", Ext, "Syntax error in filter expression at position 7: end of expression"},
      {"unclosed parenthesis", "([N] = 1", Ext, "Syntax error in filter expression at position 9: end of expression"},
      {"unclosed bracket", "[N = 1", Ext, "Syntax error in filter expression at position 1: ["},
      {"unknown character", "[N] # 1", Ext, "Syntax error in filter expression at position 5: #"},
      {"two operands", "[N] = 1 2", Ext, "Syntax error in filter expression at position 9: 2"},
      {"arithmetic without ext syntax", "[I] + 1 > 2", {}, "Syntax error in filter expression at position 5: +"},
      {"detached sign", "[N] > - 2", Ext, "Syntax error in filter expression at position 7: -"},
      {"not twice", "NOT NOT [B]", Ext, "Syntax error in filter expression at position 5: NOT"},
      {"in without list", "[N] In 'a'", Ext, "Syntax error in filter expression at position 8: 'a'"},
      {"is without null", "[N] Is 5", Ext, "Syntax error in filter expression at position 8: 5"},
      {"keyword as operand", "AND = 1", Ext, "Syntax error in filter expression at position 1: AND"},
      {"star of another aggregate", "SUM(*)", Agg, "Syntax error in filter expression at position 5: *"},
      {"trailing comma", "UPPER([N],)", Ext, "Syntax error in filter expression at position 11: )"},
      {"decimal point without digits", "[F] = 1.", Ext, "Syntax error in filter expression at position 8: ."},
      {"beyond the largest double", "[F] < 1E309", Ext, "Number out of range in filter expression at position 7: 1E309"},
      {"negative beyond the largest double", "[F] > -1.8e308", Ext,
       "Number out of range in filter expression at position 7: -1.8e308"},
      {"listed beyond the largest double", "[F] In(1, 2E400)", Ext,
       "Number out of range in filter expression at position 11: 2E400"},
  };
  for (const ErrorCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_RAISES(TExprParser(resolver(), C.Options).Parse(String::fromUtf8(C.Text)), EDatabaseError,
                  String::fromUtf8(C.Message));
  }
  EXPECT_RAISES(TExprParser(nullptr).Parse("[N] = 1"), EDatabaseError, "Field 'N' not found");
  const String Digits(400, u'9');
  EXPECT_RAISES(TExprParser(resolver()).Parse("[F] < " + Digits), EDatabaseError,
                "Number out of range in filter expression at position 7: " + Digits);
}

}  // namespace
