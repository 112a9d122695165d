// Costs of the base routines a grid page and its searches are built from:
// cell text on the one-line path and through the formatter, variant
// comparison as sorting and lookups call it, all hits of a search text, and
// the wrapped lines of a paragraph.  Goals: 1.5 us a one-line cell, 50 ns a
// comparison, 5 us for the hits in 1,000 characters, 50 us for a 2,000-
// character paragraph.
#include "bench/support/guibench.h"
#include "gridlib/base/textdraw.h"
#include "gridlib/base/textsearch.h"
#include "gridlib/base/valuetext.h"
#include "platform/rtl/units.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/metrics.h"

#include <benchmark/benchmark.h>


namespace {

// A bitmap with the default grid font (Tahoma, 8 points) and a solid cell
// brush.
struct TCellCanvas {
  TCellCanvas() {
    Bitmap.SetSize(400, 100);
    Canvas()->Brush()->SetColor(clWindow);
    Canvas()->Font()->SetColor(clWindowText);
  }
  TCanvas* Canvas() { return Bitmap.Canvas(); }
  TBitmap Bitmap;
};

void BM_DrawTextOneLine(benchmark::State& State) {
  TCellCanvas Cell;
  const String Text = QStringLiteral("Petrov A, Sidorov B.");  // 20 characters
  for (auto _ : State)
    DrawTextInRectEh(Cell.Canvas(), Rect(0, 0, 80, 20), true, 2, 2, Text, taLeftJustify, tlTop, false, false, 0, 0,
                     false, true);
}
BENCHMARK(BM_DrawTextOneLine);

// The platform's own TextRect, which the one-line path ends in: the rest of
// BM_DrawTextOneLine is the routine's own cost.
void BM_CanvasTextRect(benchmark::State& State) {
  TCellCanvas Cell;
  const String Text = QStringLiteral("Petrov A, Sidorov B.");
  for (auto _ : State) Cell.Canvas()->TextRect(Rect(0, 0, 80, 20), 2, 4, Text);
}
BENCHMARK(BM_CanvasTextRect);

void BM_DrawTextFormatter(benchmark::State& State) {
  TCellCanvas Cell;
  const String Text = QStringLiteral("Randomised trial of early mobilisation after hip fracture.");  // 60
  for (auto _ : State)
    DrawTextInRectEh(Cell.Canvas(), Rect(0, 0, 160, 60), true, 2, 2, Text, taCenter, tlCenter, true, false, 0, 0,
                     false, false);
}
BENCHMARK(BM_DrawTextFormatter);

void compareBench(benchmark::State& State, const Variant& A, const Variant& B) {
  for (auto _ : State) {
    benchmark::DoNotOptimize(CompareVariantsEh(A, B));
    benchmark::DoNotOptimize(VariantsEqualEh(A, B));
  }
}
BENCHMARK_CAPTURE(compareBench, Integers, Variant(1998), Variant(2004));
BENCHMARK_CAPTURE(compareBench, Doubles, Variant(12.5), Variant(12.75));
BENCHMARK_CAPTURE(compareBench, Strings, Variant(QStringLiteral("N Engl J Med 1998;3")),
                  Variant(QStringLiteral("N Engl J Med 1998;4")));

void BM_FindAllMatches(benchmark::State& State) {
  String Text;
  for (int I = 0; I < 10; ++I) Text += QStringLiteral("cohort") + String(94, u'x');  // 1,000, 10 hits
  std::vector<Integer> Positions;
  for (auto _ : State) benchmark::DoNotOptimize(FindAllMatchesEh(Text, QStringLiteral("cohort"), Positions, false,
                                                                 false, false));
  State.counters["hits"] = double(Positions.size());
}
BENCHMARK(BM_FindAllMatches);

void BM_WrappedLines(benchmark::State& State) {
  TCellCanvas Cell;
  String Text;
  while (Text.size() < 2000) Text += QStringLiteral("abstract words of a reference ");
  Text.truncate(2000);
  TSize Size;
  size_t Lines = 0;
  for (auto _ : State) Lines = GetWrappedLinesInfoEh(Cell.Canvas(), 300, Text, true, Size).size();
  State.counters["lines"] = double(Lines);
}
BENCHMARK(BM_WrappedLines);

}  // namespace

// The shared text bitmap that the library's start-up acquires.
constexpr TUnit SharedTextBitmap{"sharedtextbitmap", &AcquireSharedTextBitmapEh, &ReleaseSharedTextBitmapEh};

int main(int argc, char** argv) { return RunGuiBenchmarks(argc, argv, {RtlUnit, SharedTextBitmap}); }
