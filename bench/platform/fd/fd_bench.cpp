// The reference catalog in memory: 100,000 references with abstracts of
// realistic length, fetched whole as the reference query does, then moved
// through by a 2,000-row master of subgroups, re-ordered and written back.
//
// The yardstick runs in the same process: a plain sqlite3 loop that reads the
// same rows into memory (one std::string per text column).  Goals: opening
// within 2x of the raw loop, a master move under 50 microseconds; the memory
// a fetched row costs is reported as a counter (heap bytes per row).
#include "platform/db/datasource.h"
#include "platform/fd/fdconnection.h"
#include "platform/fd/fdquery.h"
#include "platform/rtl/units.h"
#include "bench/support/referencecatalog.h"

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

using refcatalog::catalogFile;
using refcatalog::ReferenceCount;
using refcatalog::SubgroupCount;

constexpr int EditCount = 10000;
constexpr const char* CatalogSQL = "select * from bibliona order by DATA_MAKE desc, DATA_INPUT desc";

// The runtime's unit, started once for the whole run.
void startRuntime() {
  static const bool Started = [] {
    InitializeUnits({RtlUnit});
    return true;
  }();
  (void)Started;
}

std::size_t heapInUse() { return mallinfo2().uordblks; }

// A connection to the catalog file with the data module's parameters.
std::unique_ptr<TFDConnection> connect() {
  startRuntime();
  auto Connection = std::make_unique<TFDConnection>(nullptr);
  Connection->Params()->Add(QStringLiteral("DriverID=SQLite"));
  Connection->Params()->Add(QStringLiteral("Database=") + catalogFile().Path());
  Connection->Params()->Add(QStringLiteral("BusyTimeout=1000"));
  Connection->Open();
  return Connection;
}

std::unique_ptr<TFDQuery> query(TFDConnection* Connection, const char* SQL, const char* Index) {
  auto Query = std::make_unique<TFDQuery>(nullptr);
  Query->SetConnection(Connection);
  Query->SetCachedUpdates(true);
  Query->SQL()->SetText(QString::fromUtf8(SQL));
  Query->SetIndexFieldNames(QString::fromUtf8(Index));
  return Query;
}

// ---------------------------------------------------------------------------
// the yardstick

struct TRawReference {
  std::int64_t Number, Subgroup, Year;
  std::string Source, Summary, Author, Journal, FileDoc, FileDoc1, Input, Type, Doi;
};

void BM_RawLoopReadsTheCatalog(benchmark::State& State) {
  sqlite3* Db = nullptr;
  sqlite3_open_v2(catalogFile().PathUtf8(), &Db, SQLITE_OPEN_READWRITE, nullptr);
  std::size_t Bytes = 0;
  for (auto _ : State) {
    const std::size_t Before = heapInUse();
    std::vector<TRawReference> Rows;
    sqlite3_stmt* Stmt = nullptr;
    sqlite3_prepare_v2(Db, CatalogSQL, -1, &Stmt, nullptr);
    auto text = [Stmt](int Column) {
      const auto* Text = reinterpret_cast<const char*>(sqlite3_column_text(Stmt, Column));
      return Text ? std::string(Text, std::size_t(sqlite3_column_bytes(Stmt, Column))) : std::string();
    };
    while (sqlite3_step(Stmt) == SQLITE_ROW)
      Rows.push_back(TRawReference{sqlite3_column_int64(Stmt, 0), sqlite3_column_int64(Stmt, 1),
                                   sqlite3_column_int64(Stmt, 5), text(2), text(3), text(4), text(6), text(7),
                                   text(8), text(9), text(10), text(11)});
    sqlite3_finalize(Stmt);
    Bytes = heapInUse() - Before;
    benchmark::DoNotOptimize(Rows.data());
  }
  sqlite3_close(Db);
  State.counters["rows"] = ReferenceCount;
  State.counters["bytes_per_row"] = double(Bytes) / ReferenceCount;
  State.counters["abstract_bytes"] = catalogFile().AverageAbstract;
}
BENCHMARK(BM_RawLoopReadsTheCatalog)->Unit(benchmark::kMillisecond)->Iterations(5);

// ---------------------------------------------------------------------------
// the layer

// Open with fetch-all, as the reference query opens (its index included).
void BM_QueryOpensTheCatalog(benchmark::State& State) {
  auto Connection = connect();
  auto Catalog = query(Connection.get(), CatalogSQL, "sbgr4_nmb");
  std::size_t Bytes = 0;
  for (auto _ : State) {
    State.PauseTiming();
    Catalog->Close();
    const std::size_t Before = heapInUse();
    State.ResumeTiming();
    Catalog->Open();
    benchmark::DoNotOptimize(Catalog->RecordCount());
    Bytes = heapInUse() - Before;
  }
  State.counters["rows"] = Catalog->RecordCount();
  State.counters["bytes_per_row"] = double(Bytes) / ReferenceCount;
}
BENCHMARK(BM_QueryOpensTheCatalog)->Unit(benchmark::kMillisecond)->Iterations(5);

// A grid's window over a dataset: it reads BufferCount rows on every change.
struct TGridLink : TDataLink {
  explicit TGridLink(TDataSource* Source, int Rows) {
    SetBufferCount(Rows);
    SetDataSource(Source);
  }
  ~TGridLink() override { SetDataSource(nullptr); }
};

// One master move: the subgroup list scrolls, the reference list re-ranges
// by binary search on its index and a 25-row grid re-reads its window.
void BM_MasterMoveReRangesTheReferences(benchmark::State& State) {
  auto Connection = connect();
  auto Subgroups = query(Connection.get(), "select * from sbgr4_nm order by sbgr4_name desc", "sbgr4_nmb");
  TDataSource SubgroupSource(nullptr);
  SubgroupSource.SetDataSet(Subgroups.get());
  auto Catalog = query(Connection.get(), CatalogSQL, "sbgr4_nmb");
  Catalog->SetMasterSource(&SubgroupSource);
  Catalog->SetMasterFields(QStringLiteral("SBGR4_NMB"));
  TDataSource CatalogSource(nullptr);
  CatalogSource.SetDataSet(Catalog.get());
  TGridLink Grid(&CatalogSource, 25);
  Subgroups->Open();
  Catalog->Open();
  std::int64_t Shown = 0;
  for (auto _ : State) {
    Subgroups->Next();
    if (Subgroups->Eof()) Subgroups->First();
    Shown += Catalog->RecordCount();
  }
  State.counters["refs_per_subgroup"] = double(Shown) / double(State.iterations());
  Catalog->Close();
  Subgroups->Close();
}
BENCHMARK(BM_MasterMoveReRangesTheReferences)->Unit(benchmark::kMicrosecond);

// IndexFieldNames over the whole catalog: a different column each time.
void BM_IndexFieldNamesChange(benchmark::State& State) {
  auto Connection = connect();
  auto Catalog = query(Connection.get(), CatalogSQL, "");
  Catalog->Open();
  const QString Indexes[] = {QStringLiteral("sbgr4_nmb"), QStringLiteral("author;data_make:D"),
                             QStringLiteral("number")};
  int Next = 0;
  for (auto _ : State) {
    Catalog->SetIndexFieldNames(Indexes[Next]);
    Next = (Next + 1) % 3;
  }
}
BENCHMARK(BM_IndexFieldNamesChange)->Unit(benchmark::kMillisecond)->Iterations(6);

// ApplyUpdates of 10,000 edited references (the edits themselves untimed),
// inside a transaction that is rolled back so every round starts alike.
void BM_ApplyUpdatesOfTenThousandEdits(benchmark::State& State) {
  auto Connection = connect();
  auto Catalog = query(Connection.get(), CatalogSQL, "");
  Catalog->Open();
  int Round = 0;
  for (auto _ : State) {
    State.PauseTiming();
    Connection->StartTransaction();
    Catalog->First();
    TField* Source = Catalog->FieldByName(QStringLiteral("source"));
    for (int I = 0; I < EditCount; ++I) {
      Catalog->Edit();
      Source->SetAsString(Source->AsString() + QStringLiteral(" [%1]").arg(Round));
      Catalog->Post();
      Catalog->Next();
    }
    State.ResumeTiming();
    Catalog->ApplyUpdates();
    Catalog->CommitUpdates();
    State.PauseTiming();
    Connection->Rollback();
    Catalog->CancelUpdates();
    ++Round;
    State.ResumeTiming();
  }
  State.counters["rows"] = EditCount;
}
BENCHMARK(BM_ApplyUpdatesOfTenThousandEdits)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
