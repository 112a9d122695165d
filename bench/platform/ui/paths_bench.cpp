// Paths, extended pens and pattern brushes on a bitmap surface.
#include "bench/support/guibench.h"
#include "platform/rtl/units.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/gdi.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/graphics/paths.h"

#include <benchmark/benchmark.h>


#include <cmath>
#include <vector>

using namespace gdi;

namespace {

void BM_FillRoundedPath(benchmark::State& State) {
  TBitmap B;
  B.SetSize(300, 200);
  HDC DC = B.Canvas()->Handle();
  HBRUSH Brush = CreateSolidBrush(0x0000FF);
  SelectObject(DC, Brush);
  for (auto _ : State) {
    BeginPath(DC);
    RoundRect(DC, 50, 50, 250, 150, 30, 30);
    EndPath(DC);
    FillPath(DC);
  }
  SelectObject(DC, GetStockObject(WHITE_BRUSH));
  DeleteObject(Brush);
}
BENCHMARK(BM_FillRoundedPath)->Unit(benchmark::kMicrosecond);

void BM_WideGeometricPolyline(benchmark::State& State) {
  TBitmap B;
  B.SetSize(1000, 600);
  HDC DC = B.Canvas()->Handle();
  const LOGBRUSH Black{BS_SOLID, 0, 0};
  HPEN Pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT | PS_JOIN_MITER, 3, &Black, 0, nullptr);
  SelectObject(DC, Pen);
  std::vector<POINT> Points;
  for (int I = 0; I < 1000; ++I) Points.push_back({I, 300 + int(200 * std::sin(I * 0.05))});
  for (auto _ : State) Polyline(DC, Points.data(), int(Points.size()));
  SelectObject(DC, GetStockObject(BLACK_PEN));
  DeleteObject(Pen);
}
BENCHMARK(BM_WideGeometricPolyline)->Unit(benchmark::kMillisecond);

void BM_PatternFillRect(benchmark::State& State) {
  TBitmap Pattern;
  Pattern.SetSize(8, 8);
  Pattern.Canvas()->SetPixels(3, 3, 0x0000FF);
  TBitmap B;
  B.SetSize(1000, 600);
  B.Canvas()->Brush()->SetBitmap(&Pattern);
  for (auto _ : State) B.Canvas()->FillRect(Rect(0, 0, 1000, 600));
}
BENCHMARK(BM_PatternFillRect)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunGuiBenchmarks(argc, argv, {RtlUnit}); }
