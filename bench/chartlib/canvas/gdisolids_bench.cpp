// The 3D solids of the GDI and the GDI+ canvas against a plain painter loop.
//
// 3D bars: 1,000 cubes into a 1000 x 600 buffer in the orthogonal view at
// 45 degrees, the chart 15 % of its width deep (150 pixels; every bar takes
// the whole depth, as the histogram's one series does).  The plain loop
// fills the same visible faces (front, right and top) with the same pen,
// as precomputed polygons: the cost of the pixels alone, aliased beside the
// GDI canvas and antialiased beside the GDI+ canvas.
//
// 3D pie: 12 slices 30 pixels thick with dark sides into 400 x 300, through
// either canvas.
#include "bench/chartlib/canvas/chartcanvasbench.h"
#include "platform/ui/graphics/bitmap.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <QPolygon>

#include <numbers>
#include <vector>

namespace {

constexpr Integer Width = 1000, Height = 600;
constexpr Integer Bars = 1000;
constexpr Integer Depth = Width * 15 / 100;
constexpr Integer Floor = Height - 1;
constexpr Integer FrontWidth = Width - Depth;

// Bar I of the histogram-like series: its box on the front plane.
TRect bar(Integer I) {
  const Integer Left = I * FrontWidth / Bars, Right = (I + 1) * FrontWidth / Bars;
  const Integer Top = Depth + (I * 7919) % (Height - Depth - 10);
  return {Left, Top, Right, Floor};
}

// A canvas of the benchmark's kind (its first argument), freed at the end.
struct TChartCanvas {
  explicit TChartCanvas(benchmark::State& State) : C(NewChartCanvas(TCanvasKind(State.range(0)))) {}
  ~TChartCanvas() { C->Free(); }
  TTeeCanvas3D* operator->() const { return C; }
  TTeeCanvas3D* C;
};

void BM_Cubes3D(benchmark::State& State) {
  TChartCanvas C(State);
  const bool DarkSides = State.range(1) != 0;
  TView3DOptions Options(nullptr);
  Options.SetOrthogonal(true);
  Options.SetOrthoAngle(45);
  TBitmap Window;
  Window.SetSize(Width, Height);
  for (auto _ : State) {
    C->InitWindow(Window.Canvas(), &Options, clWhite, /*Is3D=*/true, Rect(0, 0, Width, Height));
    C->Projection(Depth, Rect(0, 0, Width, Height), Rect(0, 0, Width, Height));
    C->Brush()->SetColor(clWhite);
    C->FillRect(Rect(0, 0, Width, Height));
    C->Brush()->SetColor(clRed);
    C->Pen()->SetColor(clBlack);
    for (Integer I = 0; I < Bars; ++I) C->Cube(bar(I), 0, Depth, DarkSides);
  }
}
BENCHMARK(BM_Cubes3D)
    ->ArgsProduct({{ckGDI, ckGDIPlus}, {0, 1}})
    ->ArgNames({"gdiplus", "DarkSides"})
    ->Unit(benchmark::kMillisecond);

// The faces the canvas draws for the bars, projected once: (x, y, z) shows
// at (x + z, y - z) in the orthogonal view at 45 degrees about the centre.
std::vector<QPolygon> visibleFaces() {
  std::vector<QPolygon> Faces;
  auto P = [](Integer X, Integer Y, Integer Z) { return QPoint(X + Z, Y - Z); };
  for (Integer I = 0; I < Bars; ++I) {
    const TRect B = bar(I);
    Faces.push_back(QPolygon({P(B.Left, B.Top, 0), P(B.Right, B.Top, 0), P(B.Right, B.Bottom, 0),
                              P(B.Left, B.Bottom, 0)}));
    Faces.push_back(QPolygon({P(B.Right, B.Top, 0), P(B.Right, B.Top, Depth), P(B.Right, B.Bottom, Depth),
                              P(B.Right, B.Bottom, 0)}));
    Faces.push_back(QPolygon({P(B.Left, B.Top, 0), P(B.Right, B.Top, 0), P(B.Right, B.Top, Depth),
                              P(B.Left, B.Top, Depth)}));
  }
  return Faces;
}

void BM_PlainQuads(benchmark::State& State) {
  const bool Antialiased = State.range(0) != 0;
  const std::vector<QPolygon> Faces = visibleFaces();
  QImage Image(Width, Height, QImage::Format_RGB32);
  for (auto _ : State) {
    Image.fill(Qt::white);
    QPainter Painter(&Image);
    Painter.setRenderHint(QPainter::Antialiasing, Antialiased);
    Painter.setPen(Qt::black);
    Painter.setBrush(Qt::red);
    for (const QPolygon& F : Faces) Painter.drawPolygon(F);
  }
}
BENCHMARK(BM_PlainQuads)->Arg(0)->Arg(1)->ArgName("Antialiased")->Unit(benchmark::kMillisecond);

void BM_Pie3D(benchmark::State& State) {
  constexpr Integer Slices = 12;
  const TColor Colors[] = {clRed, clLime, clBlue, clYellow, clFuchsia, clAqua};
  TChartCanvas C(State);
  TBitmap Window;
  Window.SetSize(400, 300);
  for (auto _ : State) {
    C->InitWindow(Window.Canvas(), nullptr, clWhite, /*Is3D=*/false, Rect(0, 0, 400, 300));
    C->Projection(0, Rect(0, 0, 400, 300), Rect(0, 0, 400, 300));
    C->Brush()->SetColor(clWhite);
    C->FillRect(Rect(0, 0, 400, 300));
    for (Integer I = 0; I < Slices; ++I) {
      C->Brush()->SetColor(Colors[I % 6]);
      C->Pen()->SetColor(clBlack);
      const double Step = 2 * std::numbers::pi / Slices;
      C->Pie3D(200, 130, 180, 110, 0, 30, I * Step, (I + 1) * Step, /*DarkSides=*/true, /*DrawSides=*/true, 0,
               nullptr, 0, edNone, 0, 0, false, false);
    }
  }
}
BENCHMARK(BM_Pie3D)->ArgName("gdiplus")->Arg(ckGDI)->Arg(ckGDIPlus)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunChartCanvasBenchmarks(argc, argv); }
