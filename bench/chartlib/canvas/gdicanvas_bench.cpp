// The GDI canvas drawing into its 1000 x 600 back buffer: gradient fills,
// a blend, rotated labels and a whole chart-like frame shown in a window.
#include "bench/support/guibench.h"
#include "chartlib/canvas/canvasunit.h"
#include "chartlib/canvas/chartmessages.h"
#include "chartlib/canvas/teeblend.h"
#include "chartlib/canvas/teecanvas3d.h"
#include "platform/rtl/units.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/graphicsunit.h"

#include <benchmark/benchmark.h>

namespace {

constexpr Integer Width = 1000, Height = 600;

// A buffered GDI canvas ready to draw, and the window it shows in.
struct TFrame {
  TFrame() {
    Window.SetSize(Width, Height);
    C.InitWindow(Window.Canvas(), nullptr, clWhite, false, Rect(0, 0, Width, Height));
  }
  TBitmap Window;
  TTeeCanvas3D C;
};

void BM_GradientBands(benchmark::State& State) {
  TFrame F;
  TTeeGradient G(nullptr);
  G.SetVisible(true);
  for (auto _ : State) F.C.GradientFill(&G, Rect(0, 0, Width, Height));
}
BENCHMARK(BM_GradientBands)->Unit(benchmark::kMicrosecond);

void BM_GradientRadial(benchmark::State& State) {
  TFrame F;
  TTeeGradient G(nullptr);
  G.SetVisible(true);
  G.SetDirection(gdRadial);
  for (auto _ : State) F.C.GradientFill(&G, Rect(0, 0, 400, 400));
}
BENCHMARK(BM_GradientRadial)->Unit(benchmark::kMicrosecond);

void BM_Blend(benchmark::State& State) {
  TFrame F;
  F.C.Brush()->SetColor(clRed);
  for (auto _ : State) {
    TTeeBlend* Blend = F.C.BeginBlending(Rect(100, 100, 600, 400), 50);
    F.C.FillRect(Rect(100, 100, 600, 400));
    F.C.EndBlending(Blend);
  }
}
BENCHMARK(BM_Blend)->Unit(benchmark::kMicrosecond);

void BM_RotatedLabels(benchmark::State& State) {
  TFrame F;
  F.C.Font()->SetName("Verdana");
  F.C.Font()->SetSize(12);
  F.C.SetBackMode(cbmTransparent);
  for (auto _ : State)
    for (Integer I = 0; I < 200; ++I) F.C.RotateLabel(5 * I, 500, "Label 1234", 90, false);
}
BENCHMARK(BM_RotatedLabels)->Unit(benchmark::kMicrosecond);

// The histogram's frame: a gradient back with a middle colour, 1,000 bars,
// 60 dashed grid lines, 100 labels, then the buffer shown in the window.
void BM_Frame(benchmark::State& State) {
  TFrame F;
  TTeeCanvas3D& C = F.C;
  C.Font()->SetName("Verdana");
  C.Font()->SetSize(12);
  for (auto _ : State) {
    C.InitWindow(F.Window.Canvas(), nullptr, clWhite, false, Rect(0, 0, Width, Height));
    C.Pen()->SetStyle(psClear);
    C.Brush()->SetStyle(bsSolid);
    TTeeGradient* Back = C.Brush()->Gradient();
    Back->SetStartColor(TColor(15395562));
    Back->SetEndColor(clWhite);
    Back->SetMidColor(clSilver);
    Back->SetVisible(true);
    C.FillRect(Rect(0, 0, Width, Height));
    Back->SetVisible(false);
    C.Pen()->SetStyle(psDash);
    C.Pen()->SetWidth(0);
    C.Pen()->SetColor(clGray);
    for (Integer I = 0; I < 60; ++I) C.Line(0, 10 * I, Width, 10 * I);
    C.Pen()->SetStyle(psSolid);
    C.Pen()->SetWidth(1);
    C.Pen()->SetColor(clBlack);
    C.Brush()->SetColor(clRed);
    for (Integer I = 0; I < 1000; ++I) C.Rectangle(I, 600 - (I * 7) % 500, I + 1, 600);
    C.SetBackMode(cbmTransparent);
    for (Integer I = 0; I < 100; ++I) C.TextOut(10 * I, 580, QString::number(I));
    C.ShowImage(F.Window.Canvas(), F.Window.Canvas(), Rect(0, 0, Width, Height));
  }
}
BENCHMARK(BM_Frame)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return RunGuiBenchmarks(argc, argv, {RtlUnit, GraphicsUnit, ChartMessagesUnit, CanvasUnit});
}
