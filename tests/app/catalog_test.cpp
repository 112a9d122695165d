// The sample catalog that the build puts beside the program, read through
// SQLite's C API, and the tool that makes it.
#include "app/fcommon.h"
#include "app/settings.h"
#include "platform/os/program.h"
#include "platform/rtl/strutils.h"
#include "tests/support/testing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <set>
#include <vector>

namespace {

using TRow = std::vector<String>;

// The build folder holds tests/app/<this test> and app/bibliona.sqlite.
String buildFolder() { return QDir::cleanPath(ExtractFilePath(ExecutablePath()) + QStringLiteral("../..")); }
String catalogPath() { return buildFolder() + QStringLiteral("/app/bibliona.sqlite"); }
String toolPath() { return buildFolder() + QStringLiteral("/app/makecatalog"); }
String sqlPath(const char* Name) {
  return SourcePath(QStringLiteral("app/catalog/") + QString::fromUtf8(Name));
}

// A read-only connection to one catalog file.
class TCatalog {
public:
  explicit TCatalog(const String& FileName) {
    if (sqlite3_open_v2(FileName.toUtf8().constData(), &FDb, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
      ADD_FAILURE() << "cannot open " << FileName.toStdString() << ": " << sqlite3_errmsg(FDb);
      sqlite3_close(FDb);
      FDb = nullptr;
    }
  }
  ~TCatalog() { sqlite3_close(FDb); }
  TCatalog(const TCatalog&) = delete;
  TCatalog& operator=(const TCatalog&) = delete;

  bool isOpen() const { return FDb != nullptr; }

  std::vector<TRow> rows(const char* Sql) const {
    std::vector<TRow> Result;
    sqlite3_stmt* Statement = nullptr;
    if (sqlite3_prepare_v2(FDb, Sql, -1, &Statement, nullptr) != SQLITE_OK) {
      ADD_FAILURE() << Sql << ": " << sqlite3_errmsg(FDb);
      return Result;
    }
    while (sqlite3_step(Statement) == SQLITE_ROW) {
      TRow Row;
      for (int I = 0; I < sqlite3_column_count(Statement); ++I)
        Row.push_back(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(Statement, I))));
      Result.push_back(Row);
    }
    sqlite3_finalize(Statement);
    return Result;
  }

  String value(const char* Sql) const {
    const std::vector<TRow> Rows = rows(Sql);
    return Rows.empty() || Rows[0].empty() ? String() : Rows[0][0];
  }

  int count(const char* Sql) const { return value(Sql).toInt(); }

  // The column names of Table, in order.
  QStringList columns(const char* Table) const {
    QStringList Names;
    for (const TRow& Row : rows(QStringLiteral("PRAGMA table_info(%1)").arg(QString::fromUtf8(Table)).toUtf8()))
      Names << Row[1];
    return Names;
  }

  // The first column of every index of Table.
  std::set<String> leadingIndexColumns(const char* Table) const {
    std::set<String> Result;
    for (const TRow& Index : rows(QStringLiteral("PRAGMA index_list(%1)").arg(QString::fromUtf8(Table)).toUtf8())) {
      const std::vector<TRow> Info = rows(QStringLiteral("PRAGMA index_info(%1)").arg(Index[1]).toUtf8());
      if (!Info.empty()) Result.insert(Info[0][2]);
    }
    return Result;
  }

private:
  std::vector<TRow> rows(const QByteArray& Sql) const { return rows(Sql.constData()); }

  sqlite3* FDb = nullptr;
};

class CatalogTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(QFile::exists(catalogPath())) << "the build makes " << catalogPath().toStdString();
  }
};

TEST_F(CatalogTest, HoldsEveryTableWithItsColumns) {
  TCatalog Db(catalogPath());
  ASSERT_TRUE(Db.isOpen());
  struct Case {
    const char* Table;
    QStringList Columns;
  } Cases[] = {
      {"gr_name", {"gr_number", "gr_title"}},
      {"sbgr1_nm", {"sbgr1_nmb", "gr_number", "sbgr1_name"}},
      {"sbgr2_nm", {"sbgr2_nmb", "sbgr1_nmb", "sbgr2_name"}},
      {"sbgr3_nm", {"sbgr3_nmb", "sbgr2_nmb", "sbgr3_name"}},
      {"sbgr4_nm", {"sbgr4_nmb", "sbgr3_nmb", "sbgr4_name"}},
      {"bibliona",
       {"number", "sbgr4_nmb", "source", "summary", "author", "data_make", "journal", "file_doc", "file_doc1",
        "data_input", "file_type", "doi"}},
      {"cat_arc",
       {"number", "sbgr4_nmb", "source", "summary", "author", "journal", "data_make", "file_doc", "file_type",
        "data_input"}},
      {"journal", {"short_name", "full_name"}},
      {"society", {"SHORT_NAME", "FULL_NAME_", "ADRESS", "TYPE_INF"}},
      {"refuse", {"refuse", "replace", "type"}},
      {"reference", {"refer", "comment", "electr", "system1", "type1"}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Table);
    EXPECT_EQ(Db.columns(C.Table), C.Columns);
  }
}

TEST_F(CatalogTest, HoldsTheSpecialRows) {
  TCatalog Db(catalogPath());
  EXPECT_EQ(Db.value("SELECT gr_title FROM gr_name WHERE gr_number = 14"), QStringLiteral("COMORBIDITY"));
  EXPECT_EQ(Db.value("SELECT gr_title FROM gr_name WHERE gr_number = 24"), QStringLiteral("PROGNOSIS models, scales"));
  EXPECT_EQ(Db.value("SELECT gr_title FROM gr_name WHERE gr_number = 26"), QStringLiteral("PSYCHOSOMATICS"));
  EXPECT_EQ(Db.value("SELECT gr_title FROM gr_name WHERE gr_number = 35"), QStringLiteral("WASTEBASKET"));

  // Subgroup 874 lies in group 35, level by level.
  EXPECT_EQ(Db.value("SELECT g.gr_number FROM sbgr4_nm s4 "
                     "JOIN sbgr3_nm s3 ON s3.sbgr3_nmb = s4.sbgr3_nmb "
                     "JOIN sbgr2_nm s2 ON s2.sbgr2_nmb = s3.sbgr2_nmb "
                     "JOIN sbgr1_nm s1 ON s1.sbgr1_nmb = s2.sbgr1_nmb "
                     "JOIN gr_name g ON g.gr_number = s1.gr_number WHERE s4.sbgr4_nmb = 874"),
            QStringLiteral("35"));
  EXPECT_GT(Db.count("Select count(*) from bibliona where SBGR4_NMB=874"), 0) << "the wastebasket button shows it full";
  // Every special group can be browsed down to a level-5 subgroup.
  EXPECT_EQ(Db.count("SELECT count(DISTINCT s1.gr_number) FROM sbgr4_nm s4 "
                     "JOIN sbgr3_nm s3 ON s3.sbgr3_nmb = s4.sbgr3_nmb "
                     "JOIN sbgr2_nm s2 ON s2.sbgr2_nmb = s3.sbgr2_nmb "
                     "JOIN sbgr1_nm s1 ON s1.sbgr1_nmb = s2.sbgr1_nmb WHERE s1.gr_number IN (14, 24, 26, 35)"),
            4);
}

TEST_F(CatalogTest, DefaultStartPositionResolvesLevelByLevel) {
  TCatalog Db(catalogPath());
  TLevelKeys Keys;
  ASSERT_TRUE(ParseFirstPart(TSettings().FirstPart, Keys));
  EXPECT_EQ(Db.count(QStringLiteral("SELECT count(*) FROM gr_name WHERE gr_number = %1").arg(Keys[0]).toUtf8()), 1);
  const char* Levels[][2] = {{"sbgr1_nm", "sbgr1_nmb"}, {"sbgr2_nm", "sbgr2_nmb"}, {"sbgr3_nm", "sbgr3_nmb"},
                             {"sbgr4_nm", "sbgr4_nmb"}};
  const char* Parents[] = {"gr_number", "sbgr1_nmb", "sbgr2_nmb", "sbgr3_nmb"};
  for (size_t Level = 1; Level < Keys.size(); ++Level) {
    SCOPED_TRACE(Levels[Level - 1][0]);
    const QByteArray Sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3 = %4")
                               .arg(QString::fromUtf8(Parents[Level - 1]), QString::fromUtf8(Levels[Level - 1][0]),
                                    QString::fromUtf8(Levels[Level - 1][1]))
                               .arg(Keys[Level])
                               .toUtf8();
    EXPECT_EQ(Db.value(Sql), QString::number(Keys[Level - 1])) << "the key's parent is the level above";
  }
  EXPECT_GE(Db.count("SELECT count(*) FROM bibliona WHERE sbgr4_nmb = 627"), 10);
  EXPECT_EQ(Db.value("SELECT sbgr4_nmb FROM bibliona WHERE number = 42092"), QStringLiteral("627"));
}

TEST_F(CatalogTest, ClassificationHasNoOrphans) {
  TCatalog Db(catalogPath());
  EXPECT_EQ(Db.count("SELECT count(*) FROM sbgr1_nm WHERE gr_number NOT IN (SELECT gr_number FROM gr_name)"), 0);
  EXPECT_EQ(Db.count("SELECT count(*) FROM sbgr2_nm WHERE sbgr1_nmb NOT IN (SELECT sbgr1_nmb FROM sbgr1_nm)"), 0);
  EXPECT_EQ(Db.count("SELECT count(*) FROM sbgr3_nm WHERE sbgr2_nmb NOT IN (SELECT sbgr2_nmb FROM sbgr2_nm)"), 0);
  EXPECT_EQ(Db.count("SELECT count(*) FROM sbgr4_nm WHERE sbgr3_nmb NOT IN (SELECT sbgr3_nmb FROM sbgr3_nm)"), 0);
  EXPECT_EQ(Db.count("SELECT count(*) FROM bibliona WHERE sbgr4_nmb NOT IN (SELECT sbgr4_nmb FROM sbgr4_nm)"), 0);
}

TEST_F(CatalogTest, ReferencesCoverEveryTypeSubgroupsAndYears) {
  TCatalog Db(catalogPath());
  EXPECT_GE(Db.count("SELECT count(*) FROM bibliona"), 300);
  std::set<String> Codes;
  for (const TRow& Row : Db.rows("SELECT DISTINCT file_type FROM bibliona")) Codes.insert(Row[0]);
  for (const char* Code : {"sum", "atl", "bk", "rec", "met", "rci", "reg", "pic", "onln"})
    EXPECT_TRUE(Codes.count(QString::fromUtf8(Code))) << Code;
  EXPECT_GE(Db.count("SELECT count(DISTINCT sbgr4_nmb) FROM bibliona"), 20);
  EXPECT_GE(Db.count("SELECT count(DISTINCT data_make) FROM bibliona"), 20);
  EXPECT_GT(Db.count("SELECT count(*) FROM bibliona WHERE file_doc <> ''"), 0);
  EXPECT_GT(Db.count("SELECT count(*) FROM bibliona WHERE Summary is not null"), 0);
  EXPECT_EQ(Db.count("SELECT count(*) FROM bibliona WHERE file_doc IS NULL"), 0) << "no document is the empty text";
  EXPECT_EQ(Db.count("SELECT count(*) FROM bibliona WHERE data_make NOT BETWEEN 1900 AND 2100"), 0);

  const QRegularExpression IsoDate(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
  for (const TRow& Row : Db.rows("SELECT number, data_input, date(data_input) FROM bibliona")) {
    SCOPED_TRACE(Row[0].toStdString());
    EXPECT_TRUE(IsoDate.match(Row[1]).hasMatch()) << Row[1].toStdString();
    EXPECT_EQ(Row[2], Row[1]) << "a real day";
  }
}

TEST_F(CatalogTest, JournalFullNamesOccurInTheirCitations) {
  TCatalog Db(catalogPath());
  const std::vector<TRow> Rows =
      Db.rows("SELECT b.number, b.source, j.full_name FROM bibliona b LEFT JOIN journal j ON j.short_name = b.journal "
              "WHERE b.journal <> ''");
  EXPECT_GE(Rows.size(), 200u);
  for (const TRow& Row : Rows) {
    SCOPED_TRACE(Row[0].toStdString());
    ASSERT_FALSE(Row[2].isEmpty()) << "the journal table knows the abbreviation";
    EXPECT_TRUE(Row[1].contains(Row[2])) << Row[1].toStdString();
  }
}

TEST_F(CatalogTest, SideTablesHoldEveryKind) {
  TCatalog Db(catalogPath());
  EXPECT_EQ(Db.value("SELECT group_concat(type) FROM (SELECT DISTINCT type FROM refuse ORDER BY type)"),
            QStringLiteral("1,2,3,4"));
  EXPECT_EQ(Db.value("SELECT group_concat(TYPE_INF) FROM (SELECT DISTINCT TYPE_INF FROM society ORDER BY 1)"),
            QStringLiteral("f,j,s,w"));
  EXPECT_EQ(Db.value("SELECT group_concat(electr) FROM (SELECT DISTINCT electr FROM [reference] ORDER BY 1)"),
            QStringLiteral("n,u"));
  EXPECT_EQ(Db.value("SELECT group_concat(system1) FROM (SELECT DISTINCT system1 FROM [reference] ORDER BY 1)"),
            QStringLiteral("g,i,t"));
  EXPECT_GT(Db.count("select count(*) from [reference] where electr='n' and system1='g'"), 0)
      << "the rule window's first statement shows rules";
}

TEST_F(CatalogTest, IndexesLeadWithTheFilteredAndOrderedColumns) {
  TCatalog Db(catalogPath());
  const std::set<String> Bibliona = Db.leadingIndexColumns("bibliona");
  for (const char* Column : {"sbgr4_nmb", "data_make", "data_input", "author", "file_type", "journal", "file_doc"})
    EXPECT_TRUE(Bibliona.count(QString::fromUtf8(Column))) << Column;
  EXPECT_TRUE(Db.leadingIndexColumns("sbgr1_nm").count(QStringLiteral("gr_number")));
  EXPECT_TRUE(Db.leadingIndexColumns("sbgr2_nm").count(QStringLiteral("sbgr1_nmb")));
  EXPECT_TRUE(Db.leadingIndexColumns("sbgr3_nm").count(QStringLiteral("sbgr2_nmb")));
  EXPECT_TRUE(Db.leadingIndexColumns("sbgr4_nm").count(QStringLiteral("sbgr3_nmb")));
  EXPECT_TRUE(Db.leadingIndexColumns("journal").count(QStringLiteral("short_name")));
}

class MakeCatalogTest : public ::testing::Test {
protected:
  Integer make(const String& Target, std::initializer_list<String> SqlFiles) {
    String Line = u'"' + toolPath() + QStringLiteral("\" \"") + Target + u'"';
    for (const String& File : SqlFiles) Line += QStringLiteral(" \"") + File + u'"';
    return RunAndWait(Line, SW_HIDE);
  }
  QTemporaryDir Dir;
};

TEST_F(MakeCatalogTest, BuildsTheCatalogFromTheRepositorysSql) {
  const String Target = Dir.filePath(QStringLiteral("bibliona.sqlite"));
  ASSERT_EQ(make(Target, {sqlPath("schema.sql"), sqlPath("sample.sql")}), 0);
  TCatalog Built(Target);
  TCatalog Shipped(catalogPath());
  EXPECT_EQ(Built.count("SELECT count(*) FROM bibliona"), Shipped.count("SELECT count(*) FROM bibliona"));
  EXPECT_EQ(Built.value("SELECT gr_title FROM gr_name WHERE gr_number = 35"), QStringLiteral("WASTEBASKET"));
  EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("bibliona.sqlite")})
      << "no temporary file is left";
}

TEST_F(MakeCatalogTest, LeavesAnExistingCatalogAlone) {
  const String Target = Dir.filePath(QStringLiteral("bibliona.sqlite"));
  QFile Existing(Target);
  ASSERT_TRUE(Existing.open(QIODevice::WriteOnly));
  Existing.write("the user's catalog");
  Existing.close();
  EXPECT_EQ(make(Target, {sqlPath("schema.sql"), sqlPath("sample.sql")}), 0);
  ASSERT_TRUE(Existing.open(QIODevice::ReadOnly));
  EXPECT_EQ(Existing.readAll(), QByteArray("the user's catalog"));
}

TEST_F(MakeCatalogTest, FailingSqlLeavesNoCatalog) {
  const String Bad = Dir.filePath(QStringLiteral("bad.sql"));
  QFile Sql(Bad);
  ASSERT_TRUE(Sql.open(QIODevice::WriteOnly));
  Sql.write("CREATE TABLE a (x);\nINSERT INTO missing VALUES (1);\n");
  Sql.close();
  const String Target = Dir.filePath(QStringLiteral("bibliona.sqlite"));
  EXPECT_EQ(make(Target, {sqlPath("schema.sql"), Bad}), 1);
  EXPECT_FALSE(QFile::exists(Target));
  EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("bad.sql")});
}

}  // namespace
