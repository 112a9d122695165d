// The memory table against the query it stands beside: the catalog's 100,000
// references, opened as "select * from bibliona" and copied record by record
// into a memory table of the same fields.  Each benchmark runs one operation
// on both, each with a 25-row grid link, and reports both times
// ("table_ms", "query_ms") and their ratio ("ratio", table over query); the
// targets are in each benchmark's comment.  BM_BytesPerRecord reports the
// heap (malloc's bytes in use) the table and the query hold per row.
#include "bench/support/referencecatalog.h"
#include "gridlib/memtable/memtable.h"
#include "gridlib/memtable/memtabledata.h"
#include "gridlib/memtable/recordslist.h"
#include "gridlib/memtable/recordsview.h"
#include "platform/db/datasource.h"
#include "platform/db/fielddefs.h"
#include "platform/db/fields.h"
#include "platform/db/indexdefs.h"
#include "platform/fd/fdconnection.h"
#include "platform/fd/fdquery.h"
#include "platform/rtl/units.h"

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <functional>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

std::size_t heapInUse() { return mallinfo2().uordblks; }

// A grid's window over a dataset: it reads BufferCount rows on every change.
struct TGridLink : TDataLink {
  TGridLink(TDataSource* Source, int Rows) {
    SetBufferCount(Rows);
    SetDataSource(Source);
  }
  ~TGridLink() override { SetDataSource(nullptr); }
};

class TBenchMemTable : public TMemTableEh {
public:
  using TMemTableEh::TMemTableEh;
  using TCustomMemTableEh::CreateIndexesFromDefs;
};

// The query and the table over the same rows, made once per run.
struct TPair {
  TPair() {
    InitializeUnits({RtlUnit});
    Connection = std::make_unique<TFDConnection>(nullptr);
    Connection->Params()->Add(QStringLiteral("DriverID=SQLite"));
    Connection->Params()->Add(QStringLiteral("Database=") + refcatalog::catalogFile().Path());
    Connection->Open();
    std::size_t Before = heapInUse();
    Query = std::make_unique<TFDQuery>(nullptr);
    Query->SetConnection(Connection.get());
    Query->SetCachedUpdates(true);
    Query->SQL()->SetText(QStringLiteral("select * from bibliona"));
    Query->Open();
    QueryBytes = heapInUse() - Before;

    Before = heapInUse();
    Table = new TBenchMemTable(nullptr);
    fillTable();
    TableBytes = heapInUse() - Before;

    QuerySource.SetDataSet(Query.get());
    TableSource.SetDataSet(Table);
    QueryGrid = std::make_unique<TGridLink>(&QuerySource, 25);
    TableGrid = std::make_unique<TGridLink>(&TableSource, 25);
  }

  // The table takes the query's field definitions and, through its records
  // list, a record per row; the view is rebuilt once at the end.
  void fillTable() {
    TFieldDefs* Defs = Query->FieldDefs();
    for (Integer I = 0; I < Defs->Count(); ++I) {
      TFieldDef* Def = Defs->Items(I);
      Table->FieldDefs()->Add(Def->Name(), Def->DataType(), Def->Size());
    }
    Table->CreateDataSet();
    TRecordsListEh* List = Table->RecordsView()->MemTableData()->RecordsList();
    const Integer FieldCount = Query->Fields()->Count();
    List->BeginUpdate();
    Query->DisableControls();
    for (Query->First(); !Query->Eof(); Query->Next()) {
      TMemoryRecordEh* Rec = List->NewRecord();
      for (Integer I = 0; I < FieldCount; ++I)
        Rec->SetDataValue(I, dvvValueEh, Query->Fields()->Fields(I)->Value());
      // Fetched, not appended: the rows keep their numbers (an appended
      // record would get the table's own auto-increment value).
      List->FetchRecord(Rec);
    }
    Query->First();
    Query->EnableControls();
    List->EndUpdate();
    Table->SetCachedUpdates(true);
    Table->First();
  }

  std::unique_ptr<TFDConnection> Connection;
  std::unique_ptr<TFDQuery> Query;
  TBenchMemTable* Table = nullptr;
  TDataSource QuerySource{nullptr};
  TDataSource TableSource{nullptr};
  std::unique_ptr<TGridLink> QueryGrid;
  std::unique_ptr<TGridLink> TableGrid;
  std::size_t QueryBytes = 0;
  std::size_t TableBytes = 0;
};

TPair& pair() {
  static TPair Pair;
  return Pair;
}

double millisecondsOf(const std::function<void()>& Run) {
  const Clock::time_point Start = Clock::now();
  Run();
  return std::chrono::duration<double, std::milli>(Clock::now() - Start).count();
}

// Runs TableOp and QueryOp once per iteration (Reset, untimed, after each)
// and reports their mean times and ratio.
void sideBySide(benchmark::State& State, const std::function<void(TDataSet*)>& TableOp,
                const std::function<void(TDataSet*)>& QueryOp, const std::function<void()>& Reset = {}) {
  TPair& P = pair();
  double TableMs = 0;
  double QueryMs = 0;
  for (auto _ : State) {
    TableMs += millisecondsOf([&] { TableOp(P.Table); });
    State.PauseTiming();
    if (Reset) Reset();
    State.ResumeTiming();
    QueryMs += millisecondsOf([&] { QueryOp(P.Query.get()); });
    State.PauseTiming();
    if (Reset) Reset();
    State.ResumeTiming();
  }
  const double N = double(State.iterations());
  State.counters["table_ms"] = TableMs / N;
  State.counters["query_ms"] = QueryMs / N;
  State.counters["ratio"] = TableMs / QueryMs;
}

void sameOnBoth(benchmark::State& State, const std::function<void(TDataSet*)>& Op,
                const std::function<void()>& Reset = {}) {
  sideBySide(State, Op, Op, Reset);
}

// Reads number, author and data_make of every row.
void scrollReading(TDataSet* DataSet) {
  TField* Number = DataSet->FieldByName(QStringLiteral("number"));
  TField* Author = DataSet->FieldByName(QStringLiteral("author"));
  TField* Year = DataSet->FieldByName(QStringLiteral("data_make"));
  Int64 Sum = 0;
  for (DataSet->First(); !DataSet->Eof(); DataSet->Next())
    Sum += Number->AsInteger() + Author->AsString().size() + Year->AsInteger();
  benchmark::DoNotOptimize(Sum);
}

// ---------------------------------------------------------------------------
// the operations; targets are table time over query time

// Target 1.2x.
void BM_ScrollReadingThreeFields(benchmark::State& State) { sameOnBoth(State, scrollReading); }
BENCHMARK(BM_ScrollReadingThreeFields)->Unit(benchmark::kMillisecond)->Iterations(5);

void unsortBoth() {
  pair().Table->SetSortOrder(String());
  pair().Query->SetIndexFieldNames(String());
}

// Target 3x.
void BM_SortOrderAgainstIndexFieldNames(benchmark::State& State) {
  sideBySide(
      State,
      [](TDataSet*) { pair().Table->SetSortOrder(QStringLiteral("data_make DESC, author")); },
      [](TDataSet*) { pair().Query->SetIndexFieldNames(QStringLiteral("data_make:D;author")); }, unsortBoth);
}
BENCHMARK(BM_SortOrderAgainstIndexFieldNames)->Unit(benchmark::kMillisecond)->Iterations(3);

// Target 3x.  The records list itself is sorted; sorting it back by number
// (untimed) restores the fetch order the other benchmarks rely on.
void BM_SortByFieldsAgainstIndexFieldNames(benchmark::State& State) {
  sideBySide(
      State,
      [](TDataSet*) { pair().Table->SortByFields(QStringLiteral("data_make DESC, author")); },
      [](TDataSet*) { pair().Query->SetIndexFieldNames(QStringLiteral("data_make:D;author")); },
      [] {
        unsortBoth();
        pair().Table->SortByFields(QStringLiteral("number"));
      });
}
BENCHMARK(BM_SortByFieldsAgainstIndexFieldNames)->Unit(benchmark::kMillisecond)->Iterations(3);

// Target 1x.
void BM_Filter(benchmark::State& State) {
  sameOnBoth(
      State,
      [](TDataSet* DataSet) {
        DataSet->SetFilter(QStringLiteral("[data_make] >= 2000 AND [file_type] = 'atl'"));
        DataSet->SetFiltered(true);
        benchmark::DoNotOptimize(DataSet->RecordCount());
      },
      [] {
        for (TDataSet* DataSet : {static_cast<TDataSet*>(pair().Table), static_cast<TDataSet*>(pair().Query.get())}) {
          DataSet->SetFiltered(false);
          DataSet->SetFilter(String());
        }
      });
}
BENCHMARK(BM_Filter)->Unit(benchmark::kMillisecond)->Iterations(3);

Variant lastRowValue(const char* FieldName) {
  TFDQuery* Query = pair().Query.get();
  Query->Last();
  const Variant Value = Query->FieldByName(QString::fromLatin1(FieldName))->Value();
  Query->First();
  return Value;
}

void firstRows() {
  pair().Table->First();
  pair().Query->First();
}

// Target 0.5x.
void BM_LocateNumberWithoutIndex(benchmark::State& State) {
  const Variant Number = lastRowValue("number");
  sameOnBoth(
      State,
      [&](TDataSet* DataSet) {
        if (!DataSet->Locate(QStringLiteral("number"), Number, {})) State.SkipWithError("not found");
      },
      firstRows);
}
BENCHMARK(BM_LocateNumberWithoutIndex)->Unit(benchmark::kMillisecond)->Iterations(5);

// Target 2x.
void BM_LocateDoiCaseInsensitivePartial(benchmark::State& State) {
  const Variant Doi(lastRowValue("doi").AsString().toUpper());
  sameOnBoth(
      State,
      [&](TDataSet* DataSet) {
        if (!DataSet->Locate(QStringLiteral("doi"), Doi, {loCaseInsensitive, loPartialKey}))
          State.SkipWithError("not found");
      },
      firstRows);
}
BENCHMARK(BM_LocateDoiCaseInsensitivePartial)->Unit(benchmark::kMillisecond)->Iterations(5);

// Target 1.5x: 10,000 rows edited one field each, cached updates on.
void BM_TenThousandEdits(benchmark::State& State) {
  sameOnBoth(
      State,
      [](TDataSet* DataSet) {
        TField* Author = DataSet->FieldByName(QStringLiteral("author"));
        DataSet->First();
        for (int I = 0; I < 10000; ++I) {
          DataSet->Edit();
          Author->SetAsString(QStringLiteral("Edited %1").arg(I));
          DataSet->Post();
          DataSet->Next();
        }
      },
      [] {
        pair().Table->CancelUpdates();
        pair().Query->CancelUpdates();
        firstRows();
      });
}
BENCHMARK(BM_TenThousandEdits)->Unit(benchmark::kMillisecond)->Iterations(3);

// Target 1x: the table reads every row without moving, the query scrolls.
void BM_InstantReadAgainstScroll(benchmark::State& State) {
  sideBySide(
      State,
      [](TDataSet*) {
        TBenchMemTable* Table = pair().Table;
        TField* Number = Table->FieldByName(QStringLiteral("number"));
        TField* Author = Table->FieldByName(QStringLiteral("author"));
        TField* Year = Table->FieldByName(QStringLiteral("data_make"));
        Int64 Sum = 0;
        const Integer Rows = Table->InstantReadRowCount();
        for (Integer Row = 0; Row < Rows; ++Row) {
          Table->InstantReadEnter(Row);
          Sum += Number->AsInteger() + Author->AsString().size() + Year->AsInteger();
          Table->InstantReadLeave();
        }
        benchmark::DoNotOptimize(Sum);
      },
      scrollReading);
}
BENCHMARK(BM_InstantReadAgainstScroll)->Unit(benchmark::kMillisecond)->Iterations(5);

// Target 0.3x: the table totals its rows, the query is scrolled summing.
void BM_AggregateAgainstScrollSum(benchmark::State& State) {
  sideBySide(
      State,
      [](TDataSet*) {
        TAggrResultArr Result;
        pair().Table->GetAggregatedValuesForRange(TBookmark(), TBookmark(), QStringLiteral("data_make"), Result,
                                                  {agfSumEh});
        benchmark::DoNotOptimize(Result[agfSumEh]);
      },
      [](TDataSet* DataSet) {
        TField* Year = DataSet->FieldByName(QStringLiteral("data_make"));
        Int64 Sum = 0;
        for (DataSet->First(); !DataSet->Eof(); DataSet->Next()) Sum += Year->AsInteger();
        benchmark::DoNotOptimize(Sum);
      });
}
BENCHMARK(BM_AggregateAgainstScrollSum)->Unit(benchmark::kMillisecond)->Iterations(3);

// Target 10 us a Locate: the table with a unique index on number, made from
// its IndexDefs.  Runs last: the index stays.
void BM_LocateNumberWithUniqueIndex(benchmark::State& State) {
  TBenchMemTable* Table = pair().Table;
  if (Table->IndexDefs()->Count() == 0) {
    Table->IndexDefs()->Add(QStringLiteral("ByNumber"), QStringLiteral("number"), {ixUnique});
    Table->CreateIndexesFromDefs();
  }
  const Variant Number = lastRowValue("number");
  for (auto _ : State) {
    State.PauseTiming();
    Table->First();
    State.ResumeTiming();
    if (!Table->Locate(QStringLiteral("number"), Number, {})) State.SkipWithError("not found");
  }
}
BENCHMARK(BM_LocateNumberWithUniqueIndex)->Unit(benchmark::kMicrosecond)->Iterations(1000);

// Heap in use after the table was filled, and after the query opened, per row.
void BM_BytesPerRecord(benchmark::State& State) {
  TPair& P = pair();
  for (auto _ : State) benchmark::DoNotOptimize(P.Table->RecordCount());
  State.counters["table_bytes_per_rec"] = double(P.TableBytes) / refcatalog::ReferenceCount;
  State.counters["query_bytes_per_row"] = double(P.QueryBytes) / refcatalog::ReferenceCount;
}
BENCHMARK(BM_BytesPerRecord)->Iterations(1);

}  // namespace
