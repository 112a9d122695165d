// Costs of the grid's input and of the list box: a Down or Page Down key
// through the message path with the repaint it causes on a grid of a
// million rows, one auto-scroll tick of a selection drag with its repaint,
// a contains filter over 100,000 list items, and a page of 30 filtered list
// rows with their highlights.  Goals: 0.5 ms a Down key, 3 ms a Page Down,
// 0.5 ms a tick, 30 ms a filter, 2 ms a page.
#include "bench/support/guibench.h"
#include "gridlib/base/baseunit.h"
#include "gridlib/base/textsearch.h"
#include "gridlib/grid/grids.h"
#include "gridlib/grid/gridstyle.h"
#include "gridlib/grid/listboxes.h"
#include "platform/rtl/stringlist.h"
#include "platform/ui/windowing/forms.h"
#include "platform/ui/windowing/uitest.h"

#include <benchmark/benchmark.h>

namespace {

using namespace gdi;

constexpr Integer MillionRows = 1000000;
constexpr Integer ListItems = 100000;

// A shown, active form with a focused grid of a million rows, 600 x 600.
struct TInputGrid {
  TInputGrid() {
    Form = new TForm(nullptr);
    Form->SetBounds(0, 0, 700, 700);
    Grid = CreateGridEh<TCustomGridEh>(Form);
    Grid->SetParent(Form);
    Grid->SetBorderStyle(bsNone);
    Grid->SetOptions(Grid->Options() - TGridOptionsEh{goEditingEh} + TGridOptionsEh{goRangeSelectEh});
    Grid->SetRowCount(MillionRows + 1);
    Grid->SetBounds(0, 0, 600, 600);
    Form->Show();
    test::Activate(Form);
    Grid->SetFocus();
    Grid->Repaint();
  }
  ~TInputGrid() {
    Form->Free();
    test::ResetUi();
  }
  TForm* Form;
  TCustomGridEh* Grid;
};

void keyThroughMessages(benchmark::State& State, Word Key) {
  TInputGrid G;
  for (auto _ : State) {
    if (G.Grid->Row() > MillionRows - 100) {
      State.PauseTiming();
      G.Grid->FocusCell(1, 1);
      G.Grid->Update();
      State.ResumeTiming();
    }
    test::Key(Key);
    G.Grid->Update();
  }
}

void BM_DownKey(benchmark::State& State) { keyThroughMessages(State, VK_DOWN); }
BENCHMARK(BM_DownKey)->Unit(benchmark::kMicrosecond);

void BM_PageDownKey(benchmark::State& State) { keyThroughMessages(State, VK_NEXT); }
BENCHMARK(BM_PageDownKey)->Unit(benchmark::kMicrosecond);

// The mouse held below the grid while a selection is dragged: each tick
// moves the anchor one row down and scrolls it into view.
void BM_AutoScrollTick(benchmark::State& State) {
  TInputGrid G;
  test::MouseDown(G.Grid, {75, 30});
  test::MouseMove(G.Grid, {75, 650}, {ssLeft});
  for (auto _ : State) {
    if (G.Grid->AnchorCell().Y > MillionRows - 100) {
      State.PauseTiming();
      G.Grid->SetAnchorCell(1, 1);
      G.Grid->Update();
      State.ResumeTiming();
    }
    G.Grid->GridTimerTick(nullptr);
    G.Grid->Update();
  }
  test::MouseUp(G.Grid, {75, 650});
}
BENCHMARK(BM_AutoScrollTick)->Unit(benchmark::kMicrosecond);

void fillList(TCustomListboxEh* List) {
  TStrings* Items = List->Items();
  Items->BeginUpdate();
  for (Integer I = 0; I < ListItems; ++I) Items->Add(QStringLiteral("Reference %1 of the catalog").arg(I));
  Items->EndUpdate();
}

void BM_ApplyFilter(benchmark::State& State) {
  auto* List = CreateGridEh<TCustomListboxEh>(nullptr);
  fillList(List);
  bool Odd = false;
  for (auto _ : State) {
    // Two filters in turn, so each call rebuilds the visible rows.
    List->ApplyFilter((Odd = !Odd) ? QStringLiteral("1 OF") : QStringLiteral("2 OF"), lsftContainsEh, true);
  }
  State.counters["visible"] = List->VisibleItems()->Count();
  List->Free();
}
BENCHMARK(BM_ApplyFilter)->Unit(benchmark::kMillisecond);

void BM_PaintFilteredPage(benchmark::State& State) {
  auto* Form = new TForm(nullptr);
  Form->SetBounds(0, 0, 400, 700);
  auto* List = CreateGridEh<TCustomListboxEh>(Form);
  List->SetParent(Form);
  List->SetBorderStyle(bsNone);
  List->SetItemHeight(20);
  List->SetBounds(0, 0, 300, 600);
  fillList(List);
  List->ApplyFilter(QStringLiteral("of"), lsftContainsEh, true);
  Form->Show();
  List->Repaint();
  for (auto _ : State) {
    List->Invalidate();
    List->Update();
  }
  State.counters["rows"] = 30;
  Form->Free();
}
BENCHMARK(BM_PaintFilteredPage)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // The case-insensitive search the grid services install at their start-up.
  SetFindSubstringFuncEh(&FindSubstringEh);
  return RunGuiBenchmarks(argc, argv, {RtlUnit, GridLibBaseUnitEh, GridsUnitEh});
}
