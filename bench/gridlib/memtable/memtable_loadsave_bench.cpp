// The memory table's loading and saving over the 100,000-reference catalog
// the app benchmarks share, each against the query's own fetch-all Open in
// the same run.  Targets (table / query Open): loading from the open query
// 1x; the binary SaveToStream 1x and LoadFromStream 1.5x.  The counters give
// the stream size, MB/s and the heap bytes per record and per query row.
#include "bench/app/benchcatalog.h"
#include "gridlib/memtable/memtable.h"
#include "platform/fd/fdconnection.h"
#include "platform/fd/fdquery.h"
#include "platform/rtl/streams.h"

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <memory>

namespace {

using benchcatalog::catalogFile;
using benchcatalog::ReferenceCount;

std::size_t heapInUse() { return mallinfo2().uordblks; }

template <class T>
struct TFree {
  void operator()(T* Object) const { Object->Free(); }
};
template <class T>
using TOwned = std::unique_ptr<T, TFree<T>>;

struct TCatalogQuery {
  TCatalogQuery() : Connection(new TFDConnection(nullptr)), Query(new TFDQuery(nullptr)) {
    Connection->Params()->Add(QStringLiteral("DriverID=SQLite"));
    Connection->Params()->Add(QStringLiteral("Database=") + catalogFile().Path());
    Connection->Open();
    Query->SetConnection(Connection.get());
    Query->SQL()->SetText(QStringLiteral("select * from bibliona"));
    Query->Open();
  }
  TOwned<TFDConnection> Connection;
  TOwned<TFDQuery> Query;
};

// The catalog file comes first: making it starts the runtime.
TCatalogQuery& catalogQuery() {
  catalogFile();
  static TCatalogQuery Catalog;
  return Catalog;
}

// A table holding the whole catalog, loaded once.
TCustomMemTableEh* loadedTable() {
  static TOwned<TMemTableEh> Table = [] {
    TOwned<TMemTableEh> T(new TMemTableEh(nullptr));
    T->DefaultLoadFromDataSet(catalogQuery().Query.get(), 0, lmCopy, /*UseCachedUpdates=*/false);
    return T;
  }();
  return Table.get();
}

void BM_QueryOpen(benchmark::State& State) {
  TFDQuery* Query = catalogQuery().Query.get();
  std::size_t Bytes = 0;
  for (auto _ : State) {
    State.PauseTiming();
    Query->Close();
    const std::size_t Before = heapInUse();
    State.ResumeTiming();
    Query->Open();
    Bytes = heapInUse() - Before;
  }
  State.counters["bytes_per_row"] = double(Bytes) / ReferenceCount;
}
BENCHMARK(BM_QueryOpen)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_DefaultLoadFromDataSet(benchmark::State& State) {
  TFDQuery* Query = catalogQuery().Query.get();
  TOwned<TMemTableEh> Table(new TMemTableEh(nullptr));
  std::size_t Bytes = 0;
  for (auto _ : State) {
    State.PauseTiming();
    Table->DestroyTable();
    const std::size_t Before = heapInUse();
    State.ResumeTiming();
    benchmark::DoNotOptimize(Table->DefaultLoadFromDataSet(Query, 0, lmCopy, /*UseCachedUpdates=*/false));
    Bytes = heapInUse() - Before;
  }
  State.counters["records"] = Table->RecordCount();
  State.counters["bytes_per_record"] = double(Bytes) / ReferenceCount;
}
BENCHMARK(BM_DefaultLoadFromDataSet)->Unit(benchmark::kMillisecond)->Iterations(5);

void saveToStream(benchmark::State& State, TDfmStreamFormatEh Format) {
  TCustomMemTableEh* Table = loadedTable();
  Int64 Size = 0;
  for (auto _ : State) {
    TMemoryStream Stream;
    Table->SaveToStream(&Stream, Format);
    Size = Stream.Size();
  }
  State.counters["stream_MB"] = double(Size) / 1e6;
  State.SetBytesProcessed(Size * State.iterations());
}

void loadFromStream(benchmark::State& State, TDfmStreamFormatEh Format) {
  TMemoryStream Saved;
  loadedTable()->SaveToStream(&Saved, Format);
  TOwned<TMemTableEh> Table(new TMemTableEh(nullptr));
  for (auto _ : State) {
    Saved.SetPosition(0);
    Table->LoadFromStream(&Saved);
  }
  State.counters["records"] = Table->MemTableData()->RecordsList()->Count();
  State.SetBytesProcessed(Saved.Size() * State.iterations());
}

void BM_SaveToStreamBinary(benchmark::State& State) { saveToStream(State, dfmBinaryEh); }
void BM_LoadFromStreamBinary(benchmark::State& State) { loadFromStream(State, dfmBinaryEh); }
void BM_SaveToStreamText(benchmark::State& State) { saveToStream(State, dfmTextEh); }
void BM_LoadFromStreamText(benchmark::State& State) { loadFromStream(State, dfmTextEh); }
BENCHMARK(BM_SaveToStreamBinary)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_LoadFromStreamBinary)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SaveToStreamText)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LoadFromStreamText)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
