// The GDI+-style brushes and curves on a bitmap surface: a path gradient, a
// hatch, a texture with alpha attributes and a curve through 1,000 points.
#include "bench/support/guibench.h"
#include "platform/rtl/units.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/gdiplus.h"
#include "platform/ui/graphics/graphicsunit.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

using namespace gdiplus;

namespace {

struct TSurfaceBitmap {
  TSurfaceBitmap(int Width, int Height) { B.SetSize(Width, Height); }
  HDC DC() { return B.Canvas()->Handle(); }
  TBitmap B;
};

void BM_PathGradientFill(benchmark::State& State) {
  TSurfaceBitmap S(400, 400);
  Graphics G(S.DC());
  G.SetSmoothingMode(SmoothingModeHighQuality);
  GraphicsPath Path;
  Path.AddEllipse(0, 0, 400, 400);
  PathGradientBrush Brush(&Path);
  const Color Colors[] = {Color(0xFFFF0000), Color(0xFF0000FF)};
  const REAL Positions[] = {0, 1};
  Brush.SetInterpolationColors(Colors, Positions, 2);
  for (auto _ : State) G.FillRectangle(&Brush, 0, 0, 400, 400);
}
BENCHMARK(BM_PathGradientFill)->Unit(benchmark::kMillisecond);

void BM_HatchFill(benchmark::State& State) {
  TSurfaceBitmap S(1000, 600);
  Graphics G(S.DC());
  HatchBrush Brush(HatchStyleWeave, Color(0xFF000080), Color(0xFFFFFFFF));
  for (auto _ : State) G.FillRectangle(&Brush, 0, 0, 1000, 600);
}
BENCHMARK(BM_HatchFill)->Unit(benchmark::kMillisecond);

void BM_TextureFillWithAlpha(benchmark::State& State) {
  TSurfaceBitmap S(1000, 600);
  Graphics G(S.DC());
  G.SetPixelOffsetMode(PixelOffsetModeHalf);
  Bitmap Tile(32, 32);
  for (int Y = 0; Y < 32; ++Y)
    for (int X = 0; X < 32; ++X) Tile.SetPixel(X, Y, Color(0xFF000000 | ARGB(X * 8 << 16) | ARGB(Y * 8)));
  ColorMatrix Half = {{{1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, 0.5f, 0}, {0, 0, 0, 0, 1}}};
  ImageAttributes Attributes;
  Attributes.SetColorMatrix(&Half);
  for (auto _ : State) {
    TextureBrush Brush(&Tile, gdiplus::Rect(0, 0, 32, 32), &Attributes);
    G.FillRectangle(&Brush, 0, 0, 1000, 600);
  }
}
BENCHMARK(BM_TextureFillWithAlpha)->Unit(benchmark::kMillisecond);

void BM_CurveThrough1000Points(benchmark::State& State) {
  TSurfaceBitmap S(1000, 600);
  Graphics G(S.DC());
  G.SetSmoothingMode(SmoothingModeHighQuality);
  Pen P(Color(0xFF000000), 1);
  std::vector<PointF> Points;
  for (int I = 0; I < 1000; ++I) Points.emplace_back(REAL(I), REAL(300 + 200 * std::sin(I * 0.05)));
  for (auto _ : State) G.DrawCurve(&P, Points.data(), INT(Points.size()), 0.5f);
}
BENCHMARK(BM_CurveThrough1000Points)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunGuiBenchmarks(argc, argv, {RtlUnit, GraphicsUnit}); }
