// The statistics window's numbers on the 100,000-reference catalog: Calc's
// counts and the 1990-2024 histogram series through fdqSeek, against the same
// statements stepped in raw sqlite3 (goal: at most 1.5x), and against the
// window's statements of one count and one year each, fetched and counted
// row by row, as a program without the aggregate statements would run them.
#include "app/datamodule.h"
#include "app/statistics.h"
#include "bench/support/referencecatalog.h"
#include "platform/fd/fdquery.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/stringlist.h"

#include <benchmark/benchmark.h>

namespace {

using namespace refcatalog;

constexpr Integer FirstYear = 1990;
constexpr Integer LastYear = 2024;

// The module on the catalog, and the statements Calc and the series run.
struct TOpenModule {
  TdmCatalog* Dm = nullptr;
  String CalcSQL;
  String SeriesSQL;

  TOpenModule() {
    const String Path = catalogFile().Path();  // starts the runtime first
    Dm = new TdmCatalog(nullptr);
    Dm->OpenCatalog(Path);
    Calc(Dm->fdqSeek, catalogFile().Path());
    CalcSQL = Dm->fdqSeek->SQL()->Text();
    HistogramSeries(Dm->fdqSeek, FirstYear, LastYear, TFormatSettings::Invariant());
    SeriesSQL = Dm->fdqSeek->SQL()->Text().replace(QStringLiteral(":first"), QString::number(FirstYear))
                    .replace(QStringLiteral(":last"), QString::number(LastYear));
  }
  ~TOpenModule() { Dm->Free(); }
};

TOpenModule& module() {
  static TOpenModule Module;
  return Module;
}

// Steps Sql to its end in a raw connection, reading every column; answers
// the rows.
Int64 stepRaw(sqlite3* Db, const QByteArray& Sql) {
  sqlite3_stmt* Stmt = nullptr;
  sqlite3_prepare_v2(Db, Sql.constData(), -1, &Stmt, nullptr);
  Int64 Rows = 0;
  while (sqlite3_step(Stmt) == SQLITE_ROW) {
    for (int I = 0; I < sqlite3_column_count(Stmt); ++I) benchmark::DoNotOptimize(sqlite3_column_text(Stmt, I));
    ++Rows;
  }
  sqlite3_finalize(Stmt);
  return Rows;
}

class TRawCatalog {
public:
  TRawCatalog() { sqlite3_open_v2(catalogFile().Path().toUtf8().constData(), &FDb, SQLITE_OPEN_READONLY, nullptr); }
  ~TRawCatalog() { sqlite3_close(FDb); }
  sqlite3* operator*() const { return FDb; }

private:
  sqlite3* FDb = nullptr;
};

void BM_Calc(benchmark::State& State) {
  TOpenModule& M = module();
  for (auto _ : State) benchmark::DoNotOptimize(Calc(M.Dm->fdqSeek, catalogFile().Path()));
}
BENCHMARK(BM_Calc)->Unit(benchmark::kMillisecond);

void BM_CalcStatementRaw(benchmark::State& State) {
  const QByteArray Sql = module().CalcSQL.toUtf8();
  const TRawCatalog Db;
  for (auto _ : State) benchmark::DoNotOptimize(stepRaw(*Db, Sql));
}
BENCHMARK(BM_CalcStatementRaw)->Unit(benchmark::kMillisecond);

// The window's nine statements, every row fetched.
void BM_CalcOneStatementPerCountRaw(benchmark::State& State) {
  const char* const Statements[] = {
      "Select * from bibliona",
      "Select * from bibliona where Summary is not null",
      "Select * from bibliona where file_doc<>''",
      "Select * from bibliona where ((file_type='bk') or (file_type='bks'))",
      "Select * from bibliona where file_type='rec'",
      "Select * from bibliona where file_type='atl'",
      "Select * from bibliona where Data_make=(select Min(Data_make) from bibliona)",
      "Select * from bibliona where Data_make=(select Max(Data_make) from bibliona)",
      "Select * from bibliona where Data_input=(select Max(Data_input) from bibliona)"};
  const TRawCatalog Db;
  for (auto _ : State)
    for (const char* Sql : Statements) benchmark::DoNotOptimize(stepRaw(*Db, Sql));
}
BENCHMARK(BM_CalcOneStatementPerCountRaw)->Unit(benchmark::kMillisecond);

void BM_HistogramSeries(benchmark::State& State) {
  TOpenModule& M = module();
  for (auto _ : State)
    benchmark::DoNotOptimize(HistogramSeries(M.Dm->fdqSeek, FirstYear, LastYear, TFormatSettings::Invariant()));
}
BENCHMARK(BM_HistogramSeries)->Unit(benchmark::kMillisecond);

void BM_HistogramStatementRaw(benchmark::State& State) {
  const QByteArray Sql = module().SeriesSQL.toUtf8();
  const TRawCatalog Db;
  for (auto _ : State) benchmark::DoNotOptimize(stepRaw(*Db, Sql));
}
BENCHMARK(BM_HistogramStatementRaw)->Unit(benchmark::kMillisecond);

void BM_HistogramOneStatementPerYearRaw(benchmark::State& State) {
  const TRawCatalog Db;
  for (auto _ : State)
    for (Integer Year = FirstYear; Year <= LastYear; ++Year)
      benchmark::DoNotOptimize(stepRaw(*Db, "Select * from bibliona where Data_make=" + QByteArray::number(Year)));
}
BENCHMARK(BM_HistogramOneStatementPerYearRaw)->Unit(benchmark::kMillisecond);

}  // namespace
