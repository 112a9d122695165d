// The GDI+ canvas beside the GDI canvas and a plain QPainter loop: 1,000 2D
// bars, 1,000 labels and 200 labels turned by 90 degrees on a 1000 x 600
// buffer.
#include "bench/chartlib/canvas/chartcanvasbench.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <memory>

namespace {

constexpr Integer Width = 1000, Height = 600;
constexpr Integer Bars = 1000;

// A buffered canvas of either kind ready to draw.
struct TFrame {
  explicit TFrame(TCanvasKind Kind) : C(NewChartCanvas(Kind)) {
    Window.SetSize(Width, Height);
    C->InitWindow(Window.Canvas(), nullptr, clWhite, false, Rect(0, 0, Width, Height));
    C->Font()->SetName("Verdana");
    C->Font()->SetSize(12);
    C->SetBackMode(cbmTransparent);
  }
  ~TFrame() { C->Free(); }
  TBitmap Window;
  TTeeCanvas3D* C;
};

TRect barOf(Integer I) { return Rect(I, Height - (I * 7) % 500, I + 1, Height); }

void BM_Bars2D(benchmark::State& State) {
  TFrame F(TCanvasKind(State.range(0)));
  F.C->Pen()->SetColor(clBlack);
  F.C->Brush()->SetColor(clRed);
  for (auto _ : State)
    for (Integer I = 0; I < Bars; ++I) {
      const TRect R = barOf(I);
      F.C->Rectangle(R.Left, R.Top, R.Right, R.Bottom);
    }
}
BENCHMARK(BM_Bars2D)->ArgName("gdiplus")->Arg(ckGDI)->Arg(ckGDIPlus)->Unit(benchmark::kMillisecond);

// The physical limit: the same outlined bars with QPainter alone.
void BM_Bars2DPlainQt(benchmark::State& State) {
  QImage Image(Width, Height, QImage::Format_RGB32);
  Image.fill(Qt::white);
  QPainter P(&Image);
  P.setRenderHint(QPainter::Antialiasing, State.range(0) != 0);
  P.setPen(Qt::black);
  P.setBrush(Qt::red);
  for (auto _ : State)
    for (Integer I = 0; I < Bars; ++I) {
      const TRect R = barOf(I);
      P.drawRect(QRectF(R.Left + 0.5, R.Top + 0.5, R.Right - R.Left, R.Bottom - R.Top));
    }
}
BENCHMARK(BM_Bars2DPlainQt)->ArgName("antialiased")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_Labels(benchmark::State& State) {
  TFrame F(TCanvasKind(State.range(0)));
  for (auto _ : State)
    for (Integer I = 0; I < 1000; ++I) F.C->TextOut((I * 37) % 950, (I * 13) % 580, "Label 1234");
}
BENCHMARK(BM_Labels)->ArgName("gdiplus")->Arg(ckGDI)->Arg(ckGDIPlus)->Unit(benchmark::kMillisecond);

void BM_RotatedLabels(benchmark::State& State) {
  TFrame F(TCanvasKind(State.range(0)));
  for (auto _ : State)
    for (Integer I = 0; I < 200; ++I) F.C->RotateLabel(5 * I, 500, "Label 1234", 90, false);
}
BENCHMARK(BM_RotatedLabels)->ArgName("gdiplus")->Arg(ckGDI)->Arg(ckGDIPlus)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunChartCanvasBenchmarks(argc, argv); }
