#include "platform/fd/fdsqlite.h"

#include "platform/fd/fdconsts.h"
#include "tests/support/testing.h"

#include <sqlite3.h>

namespace {

std::vector<String> names(std::initializer_list<const char*> Items) {
  std::vector<String> Result;
  for (const char* Item : Items) Result.push_back(String::fromUtf8(Item));
  return Result;
}

}  // namespace

TEST(FDSQLiteText, FirstKeywordsAndTransactionStatements) {
  struct Case {
    const char* SQL;
    const char* Keyword;
    bool Transaction;
  } Cases[] = {
      {"", "", false},
      {"  -- only a comment", "", false},
      {"select 1", "SELECT", false},
      {"/* a */ /* b */\n\tBegin transaction", "BEGIN", true},
      {"--x\nrollback to s", "ROLLBACK", true},
      {"END", "END", true},
      {"savepoint a", "SAVEPOINT", true},
      {"RELEASE a", "RELEASE", true},
      {"commit;", "COMMIT", true},
      {"committed_rows", "COMMITTED_ROWS", false},
      {"'BEGIN'", "", false},
      {"/* unterminated comment BEGIN", "", false},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.SQL);
    EXPECT_EQ(FDFirstKeyword(String::fromUtf8(C.SQL)), String::fromUtf8(C.Keyword));
    EXPECT_EQ(FDIsTransactionStatement(String::fromUtf8(C.SQL)), C.Transaction);
  }
}

TEST(FDSQLiteText, ParameterMarkersOutsideLiteralsNamesAndComments) {
  struct Case {
    const char* SQL;
    std::vector<String> Names;
  } Cases[] = {
      {"select :a, :b_1, :A", names({"a", "b_1"})},
      {"select ':no', \":no\", [:no], `:no` -- :no\n /* :no */ , :yes", names({"yes"})},
      {"select 'it''s :no' || :after", names({"after"})},
      {"select \"a\"\":no\" , :x", names({"x"})},
      {"select :1, : x, ::y", names({"y"})},
      {"select 'unterminated :no", names({})},
      {"select :Жук", names({"Жук"})},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.SQL);
    EXPECT_EQ(FDParamNames(String::fromUtf8(C.SQL)), C.Names);
  }
}

TEST(FDSQLiteText, NamesAreQuoted) {
  EXPECT_EQ(FDQuoteName(QStringLiteral("cat_arc")), QStringLiteral("\"cat_arc\""));
  EXPECT_EQ(FDQuoteName(QStringLiteral("a\"b")), QStringLiteral("\"a\"\"b\""));
}

TEST(FDStatement, PrepareOneAcceptsOneStatementWithTrailingNoise) {
  sqlite3* Db = nullptr;
  sqlite3_open_v2(":memory:", &Db, SQLITE_OPEN_READWRITE, nullptr);
  TFDStatement Statement = TFDStatement::PrepareOne(Db, QStringLiteral("select 1, 'x' ; ; -- end\n /* c */"));
  ASSERT_TRUE(Statement.Step());
  EXPECT_EQ(Statement.ColumnCount(), 2);
  EXPECT_EQ(Statement.Column(0).Int, 1);
  EXPECT_FALSE(Statement.Step());
  EXPECT_RAISES(TFDStatement::PrepareOne(Db, QStringLiteral("select 1; select 2")), EFDException,
                "Only one SQL statement can be executed at a time");
  EXPECT_RAISES(TFDStatement::PrepareOne(Db, QStringLiteral(" ;; ")), EFDException, "Command text must not be empty");
  EXPECT_RAISES(TFDStatement::PrepareOne(Db, QStringLiteral("select from")), EFDDBEngineException,
                "near \"from\": syntax error");
  Statement = TFDStatement();
  sqlite3_close(Db);
}
