// Costs of the base grid: the pixel-to-cell lookup and the position rebuild
// over a million rows of varying height, scroll commands on such an axis,
// painting a full page and scrolling it by one row.  Goals: 100 ns a
// lookup, 5 ms a rebuild, 5 us a scroll command without painting, 3 ms a
// page of 40 x 30 placeholder cells (2 ms is the data grid's goal), 0.3 ms
// a one-row scroll with its repaint.
#include "bench/support/guibench.h"
#include "gridlib/base/baseunit.h"
#include "gridlib/grid/gridaxis.h"
#include "gridlib/grid/grids.h"
#include "gridlib/grid/gridstyle.h"
#include "platform/ui/windowing/forms.h"

#include <benchmark/benchmark.h>
#include <random>

namespace {

constexpr Integer MillionRows = 1000000;

// Rolling rows of 16 to 40 pixels.
void fillVaryingRows(TGridAxisDataEh& Axis) {
  std::mt19937 Random(7);
  Axis.SetDefaultCelLen(20);
  Axis.SetRolCelCount(MillionRows);
  for (Integer I = 0; I < MillionRows; ++I) Axis.SetRolCelLens(I, std::uniform_int_distribution<Integer>(16, 40)(Random));
}

void BM_FindCelAtPos(benchmark::State& State) {
  TGridAxisDataEh Axis(nullptr);
  fillVaryingRows(Axis);
  const Int64 Len = Axis.RolLen();
  std::mt19937_64 Random(11);
  std::vector<Int64> Targets(4096);
  for (Int64& T : Targets) T = std::uniform_int_distribution<Int64>(0, Len)(Random);
  std::size_t Next = 0;
  for (auto _ : State) {
    Integer Cel = 0;
    Int64 Offset = 0;
    Axis.RolCellAtPos(Targets[Next++ & 4095], Cel, Offset);
    benchmark::DoNotOptimize(Cel);
  }
}
BENCHMARK(BM_FindCelAtPos);

void BM_RebuildRolLocCelPosArr(benchmark::State& State) {
  TGridAxisDataEh Axis(nullptr);
  fillVaryingRows(Axis);
  for (auto _ : State) Axis.RebuildRolLocCelPosArr();
  State.SetLabel("1,000,000 rows");
}
BENCHMARK(BM_RebuildRolLocCelPosArr)->Unit(benchmark::kMillisecond);

// A grid without window (nothing is painted) of a million rows.
struct TMillionRowGrid {
  TMillionRowGrid() {
    Grid = CreateGridEh<TCustomGridEh>(nullptr);
    Grid->SetBounds(0, 0, 600, 620);
    Grid->SetRowCount(MillionRows + 1);
    for (Integer I = 1; I <= MillionRows; I += 1000) Grid->SetRowHeights(I, 37);
    Grid->UpdateAxesPositions();
  }
  ~TMillionRowGrid() { Grid->Free(); }
  TCustomGridEh* Grid;
};

void BM_ScrollCommand(benchmark::State& State) {
  TMillionRowGrid G;
  const Integer Code = Integer(State.range(0));
  const Int64 Half = G.Grid->VertAxis()->RolLen() / 2;
  for (auto _ : State) {
    if (G.Grid->TopRow() > MillionRows - 100) G.Grid->SetTopPos(0);
    G.Grid->VertScrollCommand(Code, Integer(Half + (G.Grid->TopPos() & 1023)));
  }
  State.SetLabel(Code == 1 ? "line down" : Code == 3 ? "page down" : "thumb position");
}
BENCHMARK(BM_ScrollCommand)->Arg(1)->Arg(3)->Arg(4)->Unit(benchmark::kMicrosecond);

// ---------------------------------------------------------------------------
// painting

// Placeholder cells without their "col:row" text: the rest of a page's cost.
class TNoTextGrid : public TCustomGridEh {
public:
  using TCustomGridEh::TCustomGridEh;
  void DrawCell(Integer, Integer, const TRect& ARect, TGridDrawState) override {
    Canvas()->Brush()->SetColor(clWindow);
    Canvas()->FillRect(ARect);
  }
};

// A shown form with a grid of 40 x 30 cells of 40 x 20 pixels, no bars.
template <class TGrid>
struct TPageGrid {
  TPageGrid() {
    Form = new TForm(nullptr);
    Form->SetBounds(0, 0, 1700, 700);
    Grid = CreateGridEh<TGrid>(Form);
    Grid->SetParent(Form);
    Grid->SetBorderStyle(bsNone);
    Grid->SetDefaultColWidth(40);
    Grid->SetColCount(41);
    Grid->SetRowCount(200);
    for (Integer I = 0; I < 41; ++I) Grid->SetColWidths(I, 40);
    Grid->VertScrollBar()->SetVisibleMode(sbNeverShowEh);
    Grid->HorzScrollBar()->SetVisibleMode(sbNeverShowEh);
    Grid->SetBounds(0, 0, 40 * 40, 20 * 30);
    Form->Show();
    Grid->Repaint();
  }
  ~TPageGrid() { Form->Free(); }
  TForm* Form;
  TGrid* Grid;
};

template <class TGrid>
void paintPage(benchmark::State& State) {
  TPageGrid<TGrid> Page;
  for (auto _ : State) {
    Page.Grid->Invalidate();
    Page.Grid->Update();
  }
  State.counters["cells"] = 40 * 30;
}

void BM_PaintPage(benchmark::State& State) { paintPage<TCustomGridEh>(State); }
BENCHMARK(BM_PaintPage)->Unit(benchmark::kMillisecond);

void BM_PaintPageWithoutText(benchmark::State& State) { paintPage<TNoTextGrid>(State); }
BENCHMARK(BM_PaintPageWithoutText)->Unit(benchmark::kMillisecond);

void BM_ScrollOneRow(benchmark::State& State) {
  TPageGrid<TCustomGridEh> Page;
  for (auto _ : State) {
    if (Page.Grid->TopRow() > 150) {
      State.PauseTiming();
      Page.Grid->SetTopPos(0);
      Page.Grid->Update();
      State.ResumeTiming();
    }
    Page.Grid->VertScrollCommand(1, 0);
    Page.Grid->Update();
  }
}
BENCHMARK(BM_ScrollOneRow)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return RunGuiBenchmarks(argc, argv, {RtlUnit, GridLibBaseUnitEh, GridsUnitEh}); }
