// The search statements on a copy of the sample catalog, checked against a
// brute-force filter of every reference.
#include "app/seekall.h"

#include "platform/fd/fdparams.h"
#include "platform/rtl/stringlist.h"
#include "tests/app/datamodulefixture.h"

#include <algorithm>

using namespace dmtest;

namespace {

const String LongWord = String(300, u'w');

// References with hostile and wildcard texts, besides the sample's.
QByteArray addedRows() {
  return (QStringLiteral(
              "INSERT INTO bibliona (number, sbgr4_nmb, source, author, data_make, journal, file_doc, data_input, "
              "file_type) VALUES "
              "(90001, 627, 'Smith J, O''Brien K. Diabetes care in 2022. Lancet. 2022;1:2.', 'Smith', 2022, 'Lancet', "
              "'d:\\lit\\O''Brien 100%.pdf', '2023-02-01', 'rci'),"
              "(90002, 627, 'Quoted a\"b text. 2022.', 'Quote', 2022, 'BMJ', '', '2023-02-02', 'atl'),"
              "(90003, 627, 'Injection x'') or 1=1 -- attempt. 2021.', 'Hacker', 2021, 'BMJ', '', '2023-02-03', 'sum'),"
              "(90004, 627, 'Dose of 100 mg, not 100%. 2020.', 'Dose', 2020, 'JAMA', '', '2023-02-04', 'sum'),"
              "(90005, 627, 'Long %1 word. 2019.', 'Long', 2019, 'JAMA', '', '2023-02-05', 'bk'),"
              "(90006, 627, 'Иванов И. Статья. 2021.', 'Иванов И.', 2021, 'Кардиология', '', '2024-02-20', 'bks');")
              .arg(LongWord))
      .toUtf8();
}

// ---------------------------------------------------------------- oracle

Char fold(Char C) { return C >= u'A' && C <= u'Z' ? Char(C.unicode() + 32) : C; }

// The engine's LIKE: "%" any run, "_" any one character, A-Z folded.
bool like(const String& Pattern, const String& Text) {
  qsizetype P = 0, T = 0, Star = -1, Mark = 0;
  while (T < Text.size()) {
    if (P < Pattern.size() && (Pattern[P] == u'_' || (Pattern[P] != u'%' && fold(Pattern[P]) == fold(Text[T])))) {
      ++P, ++T;
    } else if (P < Pattern.size() && Pattern[P] == u'%') {
      Star = P++, Mark = T;
    } else if (Star >= 0) {
      P = Star + 1, T = ++Mark;
    } else {
      return false;
    }
  }
  while (P < Pattern.size() && Pattern[P] == u'%') ++P;
  return P == Pattern.size();
}

struct TReference {
  Integer Number;
  Integer Year;
  String Author, Source, File, Journal, Input, Type;
  bool HasYear, HasAuthor, HasFile, HasInput;
};

std::vector<TReference> allReferences(const String& Path) {
  std::vector<TReference> Rows;
  sqlite3* Db = nullptr;
  sqlite3_open_v2(Path.toUtf8().constData(), &Db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* Stmt = nullptr;
  sqlite3_prepare_v2(Db, "SELECT number, data_make, author, source, file_doc, journal, data_input, file_type FROM bibliona",
                     -1, &Stmt, nullptr);
  const auto text = [&Stmt](int I) {
    return String::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(Stmt, I)));
  };
  const auto isNull = [&Stmt](int I) { return sqlite3_column_type(Stmt, I) == SQLITE_NULL; };
  while (sqlite3_step(Stmt) == SQLITE_ROW)
    Rows.push_back({sqlite3_column_int(Stmt, 0), sqlite3_column_int(Stmt, 1), text(2), text(3), text(4), text(5),
                    text(6), text(7), !isNull(1), !isNull(2), !isNull(4), !isNull(6)});
  sqlite3_finalize(Stmt);
  sqlite3_close(Db);
  return Rows;
}

String lowerAscii(const String& S) {
  String Result = S;
  for (Char& C : Result) C = fold(C);
  return Result;
}

bool matches(const TReference& R, const TSeekCriteria& C) {
  if (!R.HasYear || R.Year < C.Year1 || R.Year > C.Year2) return false;
  const String Author = lowerAscii(C.Author.trimmed());
  if (!Author.isEmpty() && (!R.HasAuthor || !like(u'%' + Author + u'%', R.Author))) return false;
  if (!C.Words.trimmed().isEmpty())
    for (const String& Word : lowerAscii(C.Words.trimmed()).split(u'+'))
      if (!like(u'%' + Word + u'%', R.Source)) return false;
  if (!C.File.trimmed().isEmpty() && (!R.HasFile || !like(u'%' + C.File.trimmed() + u'%', R.File))) return false;
  if (!C.Journal.trimmed().isEmpty() && R.Journal != C.Journal.trimmed()) return false;
  if (!R.HasInput || R.Input < C.Date1 || R.Input > C.Date2) return false;
  const String Type = C.TypeKey.trimmed();
  return Type.isEmpty() || Type == QLatin1String("all") || like(u'%' + Type + u'%', R.Type);
}

// ---------------------------------------------------------------- fixture

class SeekAllTest : public ::testing::Test {
protected:
  void SetUp() override {
    execOnFile(Path, "BEGIN;" + FileBytes(schemaPath()) + FileBytes(samplePath()) + addedRows() + "COMMIT;");
    ASSERT_TRUE(Dm->OpenCatalog(Path));
    All = allReferences(Path);
    ASSERT_EQ(All.size(), 422u);
  }
  void TearDown() override { Dm->Free(); }

  static TSeekCriteria criteria() {
    TSeekCriteria C;
    C.Year1 = 1900;
    C.Year2 = 2300;
    C.Date1 = QStringLiteral("2000-01-01");
    C.Date2 = QStringLiteral("2024-05-19");
    C.TypeKey = QStringLiteral("all");
    return C;
  }
  std::vector<Integer> found() const {
    std::vector<Integer> Numbers;
    for (Dm->fdqSeek->First(); !Dm->fdqSeek->Eof(); Dm->fdqSeek->Next())
      Numbers.push_back(Dm->fdqSeek->FieldByName(QStringLiteral("number"))->AsInteger());
    std::sort(Numbers.begin(), Numbers.end());
    return Numbers;
  }
  std::vector<Integer> expected(const TSeekCriteria& C) const {
    std::vector<Integer> Numbers;
    for (const TReference& R : All)
      if (matches(R, C)) Numbers.push_back(R.Number);
    std::sort(Numbers.begin(), Numbers.end());
    return Numbers;
  }

  QTemporaryDir Dir;
  String Path = Dir.filePath(QStringLiteral("bibliona.sqlite"));
  TdmCatalog* Dm = new TdmCatalog(nullptr);
  std::vector<TReference> All;
};

TEST_F(SeekAllTest, TheStatementBindsEveryTextInTheWindowsOrder) {
  TSeekCriteria C = criteria();
  C.Year1 = 2015;
  C.Year2 = 2024;
  C.Author = QStringLiteral(" Smith ");
  C.Words = QStringLiteral("diabetes+2022");
  TSeekStatement S = SeekStatement(C);
  EXPECT_EQ(S.SQL,
            "Select * from bibliona where ((DATA_MAKE>=2015) and (DATA_MAKE<=2024)) and AUTHOR like :author and "
            "(SOURCE like :word1 AND SOURCE like :word2) and (DATA_INPUT >=:date1 and DATA_INPUT <=:date2) order "
            "by DATA_MAKE desc, DATA_INPUT desc");
  const std::vector<std::pair<String, Variant>> Params = {{"author", "%smith%"},     {"word1", "%diabetes%"},
                                                          {"word2", "%2022%"},       {"date1", "2000-01-01"},
                                                          {"date2", "2024-05-19"}};
  ASSERT_EQ(S.Params.size(), Params.size());
  for (std::size_t I = 0; I < Params.size(); ++I) {
    EXPECT_EQ(S.Params[I].first, Params[I].first);
    EXPECT_EQ(S.Params[I].second.AsString(), Params[I].second.AsString());
  }

  C.File = QStringLiteral("pdf");
  C.Journal = QStringLiteral("JAMA");
  C.TypeKey = QStringLiteral("bk");
  S = SeekStatement(C);
  EXPECT_TRUE(S.SQL.endsWith(
      "(SOURCE like :word1 AND SOURCE like :word2) and (FILE_DOC like :file) and JOURNAL=:journal and (DATA_INPUT "
      ">=:date1 and DATA_INPUT <=:date2) and FILE_TYPE like :type order by DATA_MAKE desc, DATA_INPUT desc"))
      << S.SQL.toStdString();
  EXPECT_EQ(S.Params.back().second.AsString(), "%bk%");

  // blanks and "all" add nothing
  C = criteria();
  C.Author = C.Journal = C.File = C.Words = QStringLiteral("   ");
  for (const char* Type : {"all", "", " "}) {
    C.TypeKey = QString::fromUtf8(Type);
    EXPECT_EQ(SeekStatement(C).SQL,
              "Select * from bibliona where ((DATA_MAKE>=1900) and (DATA_MAKE<=2300)) and (DATA_INPUT >=:date1 and "
              "DATA_INPUT <=:date2) order by DATA_MAKE desc, DATA_INPUT desc");
  }
}

TEST_F(SeekAllTest, SearchesFindExactlyWhatABruteForceFilterFinds) {
  struct Case {
    const char* Name;
    void (*Set)(TSeekCriteria&);
    std::size_t AtLeast;  // guards against a filter that finds nothing
  } Cases[] = {
      {"all", [](TSeekCriteria&) {}, 400},
      {"years", [](TSeekCriteria& C) { C.Year1 = 2015, C.Year2 = 2020; }, 10},
      {"upper-case author", [](TSeekCriteria& C) { C.Author = "SMITH"; }, 2},
      {"Cyrillic is not folded", [](TSeekCriteria& C) { C.Author = "ИВАНОВ"; }, 0},
      {"Cyrillic as stored", [](TSeekCriteria& C) { C.Author = "Иванов"; }, 1},
      {"words joined by +", [](TSeekCriteria& C) { C.Words = "Heart+FAILURE+2008"; }, 2},
      {"a hyphen is a letter", [](TSeekCriteria& C) { C.Words = "nt-probnp"; }, 2},
      {"apostrophe", [](TSeekCriteria& C) { C.Words = "O'Brien"; }, 1},
      {"double quote", [](TSeekCriteria& C) { C.Words = "a\"b"; }, 1},
      {"SQL in the words", [](TSeekCriteria& C) { C.Words = "x') or 1=1 --"; }, 1},
      {"SQL in the file", [](TSeekCriteria& C) { C.File = "\") or 1=1 --"; }, 0},
      {"% is a wildcard", [](TSeekCriteria& C) { C.Words = "100%"; }, 2},
      {"_ is a wildcard", [](TSeekCriteria& C) { C.Words = "2_22"; }, 2},
      {"a 300-character word", [](TSeekCriteria& C) { C.Words = LongWord; }, 1},
      {"file", [](TSeekCriteria& C) { C.File = "O'Brien 100%"; }, 1},
      {"journal", [](TSeekCriteria& C) { C.Journal = " JAMA "; }, 3},
      {"entry dates", [](TSeekCriteria& C) { C.Date1 = "2023-02-02", C.Date2 = "2023-02-04"; }, 3},
      {"books are bk and bks", [](TSeekCriteria& C) { C.TypeKey = "bk"; }, 15},
      {"everything at once",
       [](TSeekCriteria& C) {
         C.Year1 = 2020, C.Author = "smith", C.Words = "diabetes+2022", C.File = "pdf", C.Journal = "Lancet",
         C.TypeKey = "rci";
       },
       1},
  };
  const std::vector<String> Before = TRawConnection(Path).Rows("SELECT count(*) FROM bibliona");
  for (const Case& Test : Cases) {
    SCOPED_TRACE(Test.Name);
    TSeekCriteria C = criteria();
    Test.Set(C);
    const TSeekResult Result = MakeQuery(Dm->fdqSeek, C);
    const std::vector<Integer> Expected = expected(C);
    EXPECT_GE(Expected.size(), Test.AtLeast);
    EXPECT_EQ(found(), Expected);
    EXPECT_EQ(Result.Count, int(Expected.size()));
    EXPECT_EQ(Result.Status, QStringLiteral("References: %1").arg(Expected.size()));
  }
  EXPECT_EQ(TRawConnection(Path).Rows("SELECT count(*) FROM bibliona"), Before) << "no statement was injected";

  // newest first: year, then entry date
  MakeQuery(Dm->fdqSeek, criteria());
  Dm->fdqSeek->First();
  String Last = QStringLiteral("9999");
  for (; !Dm->fdqSeek->Eof(); Dm->fdqSeek->Next()) {
    const String Key = Dm->fdqSeek->FieldByName(QStringLiteral("data_make"))->AsString() + u'|' +
                       Dm->fdqSeek->FieldByName(QStringLiteral("data_input"))->AsString();
    EXPECT_LE(Key, Last);
    Last = Key;
  }
}

TEST_F(SeekAllTest, AStatementTheEngineRefusesIsABadRequest) {
  TSeekCriteria C = criteria();
  C.Words = String(100000, u'x');
  try {
    MakeQuery(Dm->fdqSeek, C);
    ADD_FAILURE() << "no error";
  } catch (const EBadRequest& E) {
    EXPECT_EQ(E.Message, "Bad request");
    EXPECT_EQ(E.Reason, "LIKE or GLOB pattern too complex");
  }
  EXPECT_EQ(MakeQuery(Dm->fdqSeek, criteria()).Count, int(expected(criteria()).size())) << "the next search runs";
}

TEST_F(SeekAllTest, LastMonthRunsFromTheSameDayOfThePreviousMonth) {
  struct Case {
    TDateTime Today;
    const char* Start;
    const char* End;
  } Cases[] = {
      {EncodeDate(2024, 3, 15), "2024-02-15", "2024-03-15"},
      {EncodeDate(2024, 3, 31), "2024-02-28", "2024-03-31"},
      {EncodeDate(2024, 1, 10), "2023-12-10", "2024-01-10"},
      {EncodeDate(2023, 3, 3), "2023-02-03", "2023-03-03"},
  };
  int Found = 0;
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Start);
    EXPECT_EQ(LastMonthStart(C.Today), C.Start);
    String Date1, Date2;
    const TSeekResult Result = LastMonthQuery(Dm->fdqSeek, C.Today, Date1, Date2);
    EXPECT_EQ(Date1, C.Start);
    EXPECT_EQ(Date2, C.End);
    EXPECT_EQ(Dm->fdqSeek->SQL()->Text().trimmed(),
              "Select * from bibliona where (DATA_INPUT >=:date1 and DATA_INPUT <=:date2) order by DATA_INPUT desc, "
              "NUMBER desc");
    TSeekCriteria Month = criteria();
    Month.Date1 = Date1;
    Month.Date2 = Date2;
    EXPECT_EQ(found(), expected(Month));
    Found += Result.Count;
    EXPECT_EQ(Result.Status, QStringLiteral("References: %1 (added in the last month)").arg(expected(Month).size()));
  }
  EXPECT_GT(Found, 0);
}

}  // namespace
