// The dataset engine over 100,000 rows of the in-memory test dataset: open,
// a scroll through every record with a data link attached, Locate on a text
// field and a filter of two conditions.  The engine's overhead per record
// step should stay in the low hundreds of nanoseconds.  Logging is off: the
// figures are the engine's and the row list's, not the instrumentation's.
#include "platform/db/datasource.h"
#include "platform/db/fielddefs.h"
#include "platform/db/fields.h"
#include "platform/db/testing/rowlistdataset.h"
#include "platform/rtl/units.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int RowCount = 100000;
constexpr int CategoryCount = 7;

// Rows (ID, Name, Amount, Category): names are unique, amounts cycle 0..99.
std::unique_ptr<TRowListDataSet> makeDataSet() {
  auto DataSet = std::make_unique<TRowListDataSet>(nullptr);
  DataSet->SetLogging(false);
  DataSet->FieldDefs()->Add("ID", ftInteger);
  DataSet->FieldDefs()->Add("Name", ftWideString, 40);
  DataSet->FieldDefs()->Add("Amount", ftFloat);
  DataSet->FieldDefs()->Add("Category", ftInteger);
  for (int I = 0; I < RowCount; ++I)
    DataSet->AppendRow({I + 1, QStringLiteral("Reference %1").arg(I + 1, 6, 10, QChar(u'0')), double(I % 100),
                        I % CategoryCount});
  return DataSet;
}

// A dataset with a source and a link of LinkRows rows attached.
struct TBench {
  std::unique_ptr<TRowListDataSet> DataSet = makeDataSet();
  TDataSource Source{nullptr};
  TDataLink Link;

  explicit TBench(int LinkRows) {
    Source.SetDataSet(DataSet.get());
    Link.SetBufferCount(LinkRows);
    Link.SetDataSource(&Source);
  }
  ~TBench() { Link.SetDataSource(nullptr); }
};

void perRow(benchmark::State& State, double Rows) {
  State.counters["per_row"] =
      benchmark::Counter(Rows, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_Open(benchmark::State& State) {
  TBench B(/*LinkRows=*/int(State.range(0)));
  for (auto _ : State) {
    B.DataSet->Open();
    B.DataSet->Close();
  }
}
BENCHMARK(BM_Open)->ArgName("link_rows")->Arg(1)->Arg(30)->Unit(benchmark::kMicrosecond);

// First, then Next until Eof: one record step per row.
void BM_ScrollAll(benchmark::State& State) {
  TBench B(/*LinkRows=*/int(State.range(0)));
  B.DataSet->Open();
  for (auto _ : State) {
    for (B.DataSet->First(); !B.DataSet->Eof(); B.DataSet->Next()) {
    }
  }
  perRow(State, RowCount);
}
BENCHMARK(BM_ScrollAll)->ArgName("link_rows")->Arg(1)->Arg(30)->Unit(benchmark::kMillisecond);

// The same scroll reading one field per record, as a control would.
void BM_ScrollAllReadingAField(benchmark::State& State) {
  TBench B(/*LinkRows=*/1);
  B.DataSet->Open();
  TField* Name = B.DataSet->FieldByName("Name");
  for (auto _ : State) {
    for (B.DataSet->First(); !B.DataSet->Eof(); B.DataSet->Next()) benchmark::DoNotOptimize(Name->AsString());
  }
  perRow(State, RowCount);
}
BENCHMARK(BM_ScrollAllReadingAField)->Unit(benchmark::kMillisecond);

// A text key near the end, so the scan reads almost every record.
void BM_LocateText(benchmark::State& State) {
  TBench B(/*LinkRows=*/30);
  B.DataSet->Open();
  const String Key = QStringLiteral("Reference %1").arg(RowCount - 10, 6, 10, QChar(u'0'));
  for (auto _ : State) {
    if (!B.DataSet->Locate("Name", Key, {})) State.SkipWithError("not found");
    B.DataSet->First();
  }
  perRow(State, RowCount);
}
BENCHMARK(BM_LocateText)->Unit(benchmark::kMillisecond);

void BM_LocateTextIgnoringCase(benchmark::State& State) {
  TBench B(/*LinkRows=*/30);
  B.DataSet->Open();
  const String Key = QStringLiteral("REFERENCE %1").arg(RowCount - 10, 6, 10, QChar(u'0'));
  for (auto _ : State) {
    if (!B.DataSet->Locate("Name", Key, {loCaseInsensitive})) State.SkipWithError("not found");
    B.DataSet->First();
  }
  perRow(State, RowCount);
}
BENCHMARK(BM_LocateTextIgnoringCase)->Unit(benchmark::kMillisecond);

// Switching a two-condition filter on and walking what it shows; every row
// is tested once per walk.
void BM_FilterTwoConditions(benchmark::State& State) {
  TBench B(/*LinkRows=*/30);
  B.DataSet->SetFilter("[Amount] >= 50 AND [Category] = 3");
  B.DataSet->Open();
  int Shown = 0;
  for (auto _ : State) {
    B.DataSet->SetFiltered(true);
    Shown = 0;
    for (; !B.DataSet->Eof(); B.DataSet->Next()) ++Shown;
    B.DataSet->SetFiltered(false);
  }
  State.counters["shown"] = Shown;
  perRow(State, RowCount);
}
BENCHMARK(BM_FilterTwoConditions)->Unit(benchmark::kMillisecond);

}  // namespace

// The runtime's unit must be up before any dataset exists.
int main(int argc, char** argv) {
  InitializeUnits({RtlUnit});
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  FinalizeUnits();
  return 0;
}
