// The memory table over a data driver, each side by side with the query it
// reads from, on the shared 100,000-reference catalog:
//   opening with FetchAllOnOpen against the query's own Open (goal <= 2x),
//   also with an index on sbgr4_nmb, whose keys arrive out of order, and
//   with a unique one on sbgr4_nmb;number;
//   a master move over 2,000 subgroups with an mdsOnSelfEh detail indexed on
//   sbgr4_nmb and a 25-row window, against the query's master move (<= 5x);
//   ApplyUpdates of 500 spread edits resolved to the provider query, in a
//   transaction rolled back after, against Locate, Edit, Post on the query
//   (<= 1.2x).
#include "bench/support/referencecatalog.h"
#include "gridlib/memtable/datadriver.h"
#include "gridlib/memtable/memtable.h"
#include "platform/db/datasource.h"
#include "platform/db/fields.h"
#include "platform/db/indexdefs.h"
#include "platform/fd/fdconnection.h"
#include "platform/fd/fdquery.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr const char* CatalogSQL = "select * from bibliona";
constexpr int EditCount = 500;

struct TFree {
  void operator()(TObject* Obj) const { Obj->Free(); }
};
template <class T>
using TOwned = std::unique_ptr<T, TFree>;

TOwned<TFDConnection> connect() {
  TOwned<TFDConnection> Connection(new TFDConnection(nullptr));
  Connection->Params()->Add(QStringLiteral("DriverID=SQLite"));
  Connection->Params()->Add(QStringLiteral("Database=") + refcatalog::catalogFile().Path());
  Connection->Params()->Add(QStringLiteral("BusyTimeout=1000"));
  Connection->Open();
  return Connection;
}

TOwned<TFDQuery> query(TFDConnection* Connection, const char* SQL) {
  TOwned<TFDQuery> Query(new TFDQuery(nullptr));
  Query->SetConnection(Connection);
  Query->SQL()->SetText(QString::fromUtf8(SQL));
  return Query;
}

// A grid's window over a dataset: it reads BufferCount rows on every change.
struct TGridLink : TDataLink {
  TGridLink(TDataSource* Source, int Rows) {
    SetBufferCount(Rows);
    SetDataSource(Source);
  }
  ~TGridLink() override { SetDataSource(nullptr); }
};

// The table over a driver reading Provider, every row fetched at opening.
struct TDriverTable {
  explicit TDriverTable(TFDQuery* Provider) : Driver(new TDataDriverEh(nullptr)), Table(new TMemTableEh(nullptr)) {
    Driver->SetProviderDataSet(Provider);
    Table->SetFetchAllOnOpen(true);
    Table->SetDataDriver(Driver.get());
  }
  TOwned<TDataDriverEh> Driver;
  TOwned<TMemTableEh> Table;
};

void BM_QueryOpen(benchmark::State& State) {
  auto Connection = connect();
  auto Catalog = query(Connection.get(), CatalogSQL);
  for (auto _ : State) {
    Catalog->Close();
    Catalog->Open();
    benchmark::DoNotOptimize(Catalog->RecordCount());
  }
}
BENCHMARK(BM_QueryOpen)->Unit(benchmark::kMillisecond)->Iterations(5);

// The driver opens the provider itself, so this includes the query's Open.
// Argument 1 adds the index, 2 the unique one.
void BM_TableOverDriverOpen(benchmark::State& State) {
  auto Connection = connect();
  auto Catalog = query(Connection.get(), CatalogSQL);
  TDriverTable Over(Catalog.get());
  if (State.range(0) == 1) Over.Table->IndexDefs()->Add(QStringLiteral("BySubgroup"), QStringLiteral("sbgr4_nmb"), {});
  if (State.range(0) == 2)
    Over.Table->IndexDefs()->Add(QStringLiteral("Unique"), QStringLiteral("sbgr4_nmb;number"), TIndexOptions{ixUnique});
  for (auto _ : State) {
    Over.Table->Close();
    Over.Table->Open();
    benchmark::DoNotOptimize(Over.Table->RecordCount());
  }
  State.counters["rows"] = Over.Table->RecordCount();
}
BENCHMARK(BM_TableOverDriverOpen)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_QueryMasterMove(benchmark::State& State) {
  auto Connection = connect();
  auto Subgroups = query(Connection.get(), "select * from sbgr4_nm");
  TDataSource SubgroupSource(nullptr);
  SubgroupSource.SetDataSet(Subgroups.get());
  auto Catalog = query(Connection.get(), CatalogSQL);
  Catalog->SetIndexFieldNames(QStringLiteral("sbgr4_nmb"));
  Catalog->SetMasterSource(&SubgroupSource);
  Catalog->SetMasterFields(QStringLiteral("sbgr4_nmb"));
  TDataSource CatalogSource(nullptr);
  CatalogSource.SetDataSet(Catalog.get());
  TGridLink Grid(&CatalogSource, 25);
  Subgroups->Open();
  Catalog->Open();
  for (auto _ : State) {
    Subgroups->Next();
    if (Subgroups->Eof()) Subgroups->First();
    benchmark::DoNotOptimize(Catalog->RecordCount());
  }
  Catalog->Close();
}
BENCHMARK(BM_QueryMasterMove)->Unit(benchmark::kMicrosecond);

void BM_TableMasterMoveOnSelf(benchmark::State& State) {
  auto Connection = connect();
  auto Subgroups = query(Connection.get(), "select * from sbgr4_nm");
  TDataSource SubgroupSource(nullptr);
  SubgroupSource.SetDataSet(Subgroups.get());
  auto Catalog = query(Connection.get(), CatalogSQL);
  TDriverTable Over(Catalog.get());
  Over.Table->IndexDefs()->Add(QStringLiteral("BySubgroup"), QStringLiteral("sbgr4_nmb"), {});
  Subgroups->Open();
  Over.Table->Open();
  Over.Table->SetMasterSource(&SubgroupSource);
  Over.Table->SetMasterFields(QStringLiteral("sbgr4_nmb"));
  Over.Table->SetDetailFields(QStringLiteral("sbgr4_nmb"));
  TDataSource CatalogSource(nullptr);
  CatalogSource.SetDataSet(Over.Table.get());
  TGridLink Grid(&CatalogSource, 25);
  for (auto _ : State) {
    Subgroups->Next();
    if (Subgroups->Eof()) Subgroups->First();
    benchmark::DoNotOptimize(Over.Table->RecordCount());
  }
  Over.Table->SetMasterSource(nullptr);
}
BENCHMARK(BM_TableMasterMoveOnSelf)->Unit(benchmark::kMicrosecond);

// Numbers 1, 201, 401, ...: edits spread over the catalog.
int editedNumber(int I) { return 1 + I * (refcatalog::ReferenceCount / EditCount); }

void BM_QueryLocateEditPost(benchmark::State& State) {
  auto Connection = connect();
  auto Catalog = query(Connection.get(), CatalogSQL);
  Catalog->Open();
  for (auto _ : State) {
    Connection->StartTransaction();
    for (int I = 0; I < EditCount; ++I) {
      Catalog->Locate(QStringLiteral("number"), editedNumber(I), {});
      Catalog->Edit();
      Catalog->FieldByName(QStringLiteral("author"))->SetAsString(QStringLiteral("Edited"));
      Catalog->Post();
    }
    State.PauseTiming();
    Connection->Rollback();
    Catalog->Close();
    Catalog->Open();
    State.ResumeTiming();
  }
}
BENCHMARK(BM_QueryLocateEditPost)->Unit(benchmark::kMillisecond)->Iterations(3);

// Only ApplyUpdates is timed; the cached edits are made before.
void BM_TableApplyUpdatesToProvider(benchmark::State& State) {
  auto Connection = connect();
  auto Catalog = query(Connection.get(), CatalogSQL);
  TDriverTable Over(Catalog.get());
  // The query side locates by number too.
  Over.Driver->SetKeyFields(QStringLiteral("number"));
  Over.Table->Open();
  Over.Table->SetCachedUpdates(true);
  for (auto _ : State) {
    State.PauseTiming();
    for (int I = 0; I < EditCount; ++I) {
      Over.Table->Locate(QStringLiteral("number"), editedNumber(I), {});
      Over.Table->Edit();
      Over.Table->FieldByName(QStringLiteral("author"))->SetAsString(QStringLiteral("Edited"));
      Over.Table->Post();
    }
    Connection->StartTransaction();
    State.ResumeTiming();
    benchmark::DoNotOptimize(Over.Table->ApplyUpdates(-1));
    State.PauseTiming();
    Connection->Rollback();
    Over.Table->Close();
    Over.Table->Open();
    Over.Table->SetCachedUpdates(true);
    State.ResumeTiming();
  }
}
BENCHMARK(BM_TableApplyUpdatesToProvider)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
