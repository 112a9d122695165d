// Costs of the data-side objects of the library base over 100,000 records of
// an in-memory dataset, and of one hyperlink cell.  Goals: Find in 100,000
// bookmarks 2 us; SelectAll over 100,000 records 100 ms; RecalcAll with five
// aggregates at most 1.5 times a plain loop reading the same five fields;
// the lookup cache filled from 100,000 rows in 150 ms and read in 1 us; the
// distinct values of 100,000 rows (1,000 of them) in 100 ms; splitting,
// laying out and drawing a 200-character cell with two links in 50 us.
#include "bench/support/guibench.h"
#include "gridlib/base/bookmarklist.h"
#include "gridlib/base/fieldlists.h"
#include "gridlib/base/laflow.h"
#include "gridlib/base/lookupdata.h"
#include "gridlib/base/sumlist.h"
#include "gridlib/base/textdraw.h"
#include "platform/db/fielddefs.h"
#include "platform/db/fields.h"
#include "platform/db/testing/rowlistdataset.h"
#include "platform/rtl/stringlist.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int RowCount = 100000;

// ID, Key (ID mod 1000), A .. E floats; opened, logging off.
struct TBigDataSet {
  TBigDataSet() {
    DataSet.SetLogging(false);
    DataSet.FieldDefs()->Add("ID", ftInteger);
    DataSet.FieldDefs()->Add("Key", ftInteger);
    for (const char* Name : {"A", "B", "C", "D", "E"}) DataSet.FieldDefs()->Add(Name, ftFloat);
    for (int I = 1; I <= RowCount; ++I)
      DataSet.AppendRow({I, I % 1000, I * 1.0, I * 2.0, I * 3.0, I * 0.5, I * 0.25});
    DataSet.Open();
  }
  TRowListDataSet DataSet{nullptr};
};

class TList : public TBMListEh {
public:
  explicit TList(TDataSet* D) : FDataSet(D) {}
  TDataSet* GetDataSet() override { return FDataSet;}

private:
  TDataSet* FDataSet;
};

void BM_BookmarkListFind(benchmark::State& State) {
  TBigDataSet Big;
  auto* List = new TList(&Big.DataSet);
  List->SetLinkActive(true);
  List->SelectAll();
  std::vector<TBookmark> Probes;
  for (int I = 0; I < 1000; ++I) Probes.push_back(List->GetItem(Integer((I * 7919) % RowCount)));
  size_t N = 0;
  Integer Index;
  for (auto _ : State) benchmark::DoNotOptimize(List->Find(Probes[N++ % Probes.size()], Index));
  List->Free();
}
BENCHMARK(BM_BookmarkListFind);

void BM_BookmarkListSelectAll(benchmark::State& State) {
  TBigDataSet Big;
  auto* List = new TList(&Big.DataSet);
  List->SetLinkActive(true);
  for (auto _ : State) {
    List->Clear();
    List->SelectAll();
  }
  List->Free();
}
BENCHMARK(BM_BookmarkListSelectAll)->Unit(benchmark::kMillisecond);

void BM_PlainLoopFiveFields(benchmark::State& State) {
  TBigDataSet Big;
  TDataSet& D = Big.DataSet;
  std::vector<TField*> Fields;
  for (const char* Name : {"A", "B", "C", "D", "E"}) Fields.push_back(D.FieldByName(Name));
  for (auto _ : State) {
    D.DisableControls();
    D.First();
    while (!D.Eof()) {
      for (TField* F : Fields) benchmark::DoNotOptimize(F->AsVariant());
      D.Next();
    }
    D.EnableControls();
  }
}
BENCHMARK(BM_PlainLoopFiveFields)->Unit(benchmark::kMillisecond);

void BM_RecalcAllFiveAggregates(benchmark::State& State) {
  TBigDataSet Big;
  auto* Producer = new TDBSumListProducer(nullptr);
  const TGroupOperation Ops[] = {goSum, goAvg, goCount, goMin, goMax};
  const char* Names[] = {"A", "B", "C", "D", "E"};
  for (int I = 0; I < 5; ++I) {
    auto* Sum = static_cast<TDBSum*>(Producer->SumCollection()->Add());
    Sum->SetGroupOperation(Ops[I]);
    Sum->SetFieldName(Names[I]);
  }
  Producer->SetDataSet(&Big.DataSet);
  for (auto _ : State) Producer->RecalcAll();
  Producer->SetDataSet(nullptr);
  Producer->Free();
}
BENCHMARK(BM_RecalcAllFiveAggregates)->Unit(benchmark::kMillisecond);

class TBar : public ILookupDataBarEh {
public:
  TDataSource* Source = nullptr;
  TDataSource* GetGridDataSource() override { return Source; }
  TComponent* GetGridComponent() override { return nullptr; }
  TField* BoundField() override { return nullptr; }
  TField* GetField() override { return nullptr; }
  void NotifyGridBarChanged() override {}
};

struct TLookupSetUp {
  TLookupSetUp() {
    Grid.SetLogging(false);
    Grid.FieldDefs()->Add("Ref", ftInteger);
    Grid.AppendRow({4242});
    Grid.Open();
    GridSource.SetDataSet(&Grid);
    Bar.Source = &GridSource;
    Lookup = new TDBLookupDataEh(&Bar);
    Lookup->SetKeyFieldNames("Ref");
    Lookup->SetLookupDataSet(&Big.DataSet);
    Lookup->SetLookupKeyFieldNames("ID");
    Lookup->SetLookupDisplayFieldName("A");
  }
  ~TLookupSetUp() { Lookup->Free(); }
  TBigDataSet Big;
  TRowListDataSet Grid{nullptr};
  TDataSource GridSource{nullptr};
  TBar Bar;
  TDBLookupDataEh* Lookup;
};

void BM_RefreshLookupListCache(benchmark::State& State) {
  TLookupSetUp S;
  for (auto _ : State) S.Lookup->RefreshLookupListCache();
}
BENCHMARK(BM_RefreshLookupListCache)->Unit(benchmark::kMillisecond);

void BM_GetLookupValueCached(benchmark::State& State) {
  TLookupSetUp S;
  for (auto _ : State) benchmark::DoNotOptimize(S.Lookup->GetLookupValue());
}
BENCHMARK(BM_GetLookupValueCached);

void BM_FieldValueList(benchmark::State& State) {
  TBigDataSet Big;
  auto* List = new TDatasetFieldValueListEh;
  IPtr<IMemTableDataFieldValueListEh> Holder(List);
  List->SetFieldName("Key");
  List->SetDataSet(&Big.DataSet);
  Integer Count = 0;
  for (auto _ : State) {
    List->DataEvent(deDataSetChange, 0);
    Count = List->Values()->Count();
  }
  State.counters["values"] = Count;
}
BENCHMARK(BM_FieldValueList)->Unit(benchmark::kMillisecond);

void BM_HyperlinkCell(benchmark::State& State) {
  TBitmap Bitmap;
  Bitmap.SetSize(400, 100);
  TCanvas* Canvas = Bitmap.Canvas();
  String Text = QStringLiteral("Full text at http://www.ncbi.nlm.nih.gov/pubmed/12345 and the journal page "
                               "https://journal.example.org/article/987 ");
  while (Text.size() < 200) Text += QStringLiteral("more words ");
  Text.truncate(200);
  auto* Block = new TLaFlowRichBlockEh(nullptr);
  Block->Margins()->SetBounds(2, 2, 0, 0);
  Block->SetWordWrap(true);
  for (auto _ : State) {
    SplitTextToLinksEh(Text, Block, /*AddTailAlways=*/true);
    Block->QueryLayout({300, 100}, Canvas);
    Block->PerformLayout(TRect(0, 0, 300, 100), Canvas);
    Block->Draw(TRect(0, 0, Block->Size().cx, Block->Size().cy), Canvas);
  }
  Block->Free();
}
BENCHMARK(BM_HyperlinkCell);

}  // namespace

constexpr TUnit SharedTextBitmap{"sharedtextbitmap", &AcquireSharedTextBitmapEh, &ReleaseSharedTextBitmapEh};

int main(int argc, char** argv) { return RunGuiBenchmarks(argc, argv, {RtlUnit, SharedTextBitmap}); }
