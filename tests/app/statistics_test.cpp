// The statistics on a copy of the sample catalog, checked against the
// window's own statements run raw, one statement per count and per year.
#include "app/statistics.h"

#include "platform/rtl/formatsettings.h"
#include "tests/app/datamodulefixture.h"

using namespace dmtest;

namespace {

// Null and empty documents and abstracts, an old book code, years with 2, 4
// and 9 references.
QByteArray addedRows() {
  QByteArray Sql =
      "INSERT INTO bibliona (number, sbgr4_nmb, source, summary, data_make, file_doc, data_input, file_type) VALUES "
      "(90001, 627, 'No document', '', 2030, NULL, '2024-05-01', 'bks'),"
      "(90002, 627, 'Empty document', NULL, 2030, '', '2024-05-02', 'bk');";
  for (int I = 0; I < 4; ++I) Sql += "INSERT INTO bibliona (data_make, data_input) VALUES (2031, '2024-05-03');";
  for (int I = 0; I < 9; ++I) Sql += "INSERT INTO bibliona (data_make, data_input) VALUES (2032, '2024-05-04');";
  return Sql;
}

class StatisticsTest : public ::testing::Test {
protected:
  void SetUp() override {
    execOnFile(Path, "BEGIN;" + FileBytes(schemaPath()) + FileBytes(samplePath()) + addedRows() + "COMMIT;");
    ASSERT_TRUE(Dm->OpenCatalog(Path));
  }
  void TearDown() override { Dm->Free(); }

  // The rows of one of the window's statements, run raw.
  Integer rows(const char* Where) {
    return Integer(TRawConnection(Path).Rows(QByteArray("SELECT * FROM bibliona ").append(Where).constData()).size());
  }
  String first(const char* Sql) {
    const std::vector<String> R = TRawConnection(Path).Rows(Sql);
    return R.empty() ? String() : R.front();
  }

  QTemporaryDir Dir;
  String Path = Dir.filePath(QStringLiteral("bibliona.sqlite"));
  TdmCatalog* Dm = new TdmCatalog(nullptr);
};

TEST_F(StatisticsTest, CalcCountsWhatTheWindowsStatementsCount) {
  const TCatalogStatistics S = Calc(Dm->fdqSeek, Path);
  EXPECT_EQ(S.SourceNmb, rows(""));
  EXPECT_EQ(S.ReferatNmb, rows("where Summary is not null"));
  EXPECT_EQ(S.ArticleNmb, rows("where file_doc<>''"));
  EXPECT_EQ(S.BookNmb, rows("where ((file_type='bk') or (file_type='bks'))"));
  EXPECT_EQ(S.RecNmb, rows("where file_type='rec'"));
  EXPECT_EQ(S.ArtNmb, rows("where file_type='atl'"));
  EXPECT_EQ(S.YearMin, first("SELECT Data_make FROM bibliona WHERE Data_make=(SELECT Min(Data_make) FROM bibliona)"));
  EXPECT_EQ(S.YearMax, "2032");
  EXPECT_EQ(S.fLastDate,
            first("SELECT Data_input FROM bibliona WHERE Data_input=(SELECT Max(Data_input) FROM bibliona)"));
  EXPECT_EQ(S.Size, QFileInfo(Path).size());
  // the rows of this test: an empty abstract counts, Null and empty documents do not, "bks" is a book
  EXPECT_EQ(S.SourceNmb, 416 + 15);
  EXPECT_GE(S.BookNmb, 2);

  // the catalog the connection uses, whatever its name; an empty one
  const String Empty = Dir.filePath(QStringLiteral("empty.sqlite"));
  execOnFile(Empty, FileBytes(schemaPath()));
  ASSERT_TRUE(Dm->OpenCatalog(Empty));
  const TStatisticsLabels L = StatisticsLabels(Calc(Dm->fdqSeek, Empty));
  const String Counts[] = {L.References, L.Abstracts, L.Documents};
  for (const String& Count : Counts) EXPECT_EQ(Count, ":  0");
  const String Kinds[] = {L.Articles, L.Guidelines, L.Books};
  for (const String& Kind : Kinds) EXPECT_EQ(Kind, ":  0");
  EXPECT_EQ(L.Years, ":  -");
  EXPECT_EQ(L.Updated, ":  ");
}

TEST(StatisticsLabelsTest, ValuesAsTheLabelsShowThem) {
  TCatalogStatistics S;
  S.SourceNmb = 1234;
  S.BookNmb = 7;
  S.YearMin = QStringLiteral("1990");
  S.YearMax = QStringLiteral("2024");
  S.fLastDate = QStringLiteral("2024-05-19");
  S.Size = 3670016;
  const TStatisticsLabels L = StatisticsLabels(S);
  EXPECT_EQ(L.References, ":  1234");
  EXPECT_EQ(L.Books, ":  7");
  EXPECT_EQ(L.Years, ":  1990-2024");
  EXPECT_EQ(L.Updated, ":  2024-05-19");
  EXPECT_EQ(L.Size, ":   3.5 Mb");

  const std::pair<Int64, const char*> Sizes[] = {
      {0, " 0.0"}, {3670016, " 3.5"}, {3221225472, "3072.0"}, {Int64(5) << 40, "5242880.0"}};
  for (const auto& [Bytes, Text] : Sizes) {
    SCOPED_TRACE(Bytes);
    EXPECT_EQ(SizeText(Bytes), Text);
  }
}

TEST_F(StatisticsTest, TheSeriesHasEveryYearOfTheRange) {
  const THistogram H = HistogramSeries(Dm->fdqSeek, 2005, 2032, TFormatSettings::Invariant());
  ASSERT_EQ(H.Years.size(), 28u);
  for (std::size_t I = 0; I < H.Years.size(); ++I) {
    SCOPED_TRACE(H.Years[I]);
    EXPECT_EQ(H.Years[I], Integer(2005 + I));
    EXPECT_EQ(H.Counts[I], rows(QStringLiteral("where Data_make=%1").arg(H.Years[I]).toUtf8().constData()));
  }

  struct Case {
    Integer First, Last;
    const char* Locale;
    std::vector<Integer> Counts;
    const char* Mean;
  } Cases[] = {
      {2030, 2032, "en-US", {2, 4, 9}, "5.0"},
      {2030, 2032, "ru-RU", {2, 4, 9}, "5,0"},
      {2033, 2034, "en-US", {0, 0}, "0.0"},
      {2032, 2030, "en-US", {}, "0.0"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.First << "-" << C.Last << " " << C.Locale);
    const THistogram R =
        HistogramSeries(Dm->fdqSeek, C.First, C.Last, TFormatSettings::Create(QString::fromLatin1(C.Locale)));
    EXPECT_EQ(R.Counts, C.Counts);
    EXPECT_EQ(R.Years.size(), C.Counts.size());
    EXPECT_EQ(R.Mean, C.Mean);
  }
}

}  // namespace
