// The chart canvas's hot paths: projecting points, applying a bar's pen and
// brush, measuring and drawing HTML-tagged text, and the units' start-up.
#include "bench/support/guibench.h"
#include "chartlib/canvas/canvasunit.h"
#include "chartlib/canvas/chartmessages.h"
#include "chartlib/canvas/teecanvas3d.h"
#include "chartlib/canvas/teehtml.h"
#include "platform/rtl/units.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/graphicsunit.h"
#include "platform/ui/graphics/metrics.h"

#include <benchmark/benchmark.h>


#include <vector>

namespace {

// The GDI canvas's projection over a bitmap reference canvas, with the
// device-state and text slots a bar and a label need.
class TBenchCanvas : public TTeeCanvas3D {
public:
  explicit TBenchCanvas(Integer Width = 1000, Integer Height = 600) {
    Bitmap.SetSize(Width, Height);
    SetReferenceCanvas(Bitmap.Canvas());
  }
  using TTeeCanvas3D::TextOut;
  gdi::HDC GetHandle() override { return FCanvas->Handle(); }
  void SetBackColor(TColor Value) override { gdi::SetBkColor(Handle(), gdi::COLORREF(Value)); }
  void SetBackMode(TCanvasBackMode Value) override {
    gdi::SetBkMode(Handle(), Value == cbmOpaque ? gdi::OPAQUE : gdi::TRANSPARENT);
  }
  bool GetMonochrome() override { return false; }
  bool GetSupportsFullRotation() override { return false; }
  Integer GetTextAlign() override { return Integer(gdi::GetTextAlign(Handle())); }
  void SetTextAlign(Integer Value) override { gdi::SetTextAlign(Handle(), gdi::UINT(Value)); }
  void TextOut(Integer X, Integer Y, const String& Text) override { FCanvas->TextOut(X, Y, Text); }
  TBitmap Bitmap;
};

enum TViewKind { vkFlat, vkOrthogonal, vkRotated };

void setView(TTeeCanvas3D& C, TView3DOptions& V, TViewKind Kind) {
  V.SetOrthogonal(Kind == vkOrthogonal);
  V.SetRotation(30);
  V.SetElevation(340);
  V.SetTilt(10);
  V.SetPerspective(20);
  C.InitWindow(nullptr, &V, clWhite, Kind != vkFlat, Rect(0, 0, 1000, 600));
  C.Projection(100, Rect(0, 0, 1000, 600), Rect(0, 0, 1000, 600));
}

constexpr int PointCount = 1000000;

void BM_Calc3DPos(benchmark::State& State) {
  TTeeCanvas3D C;
  TView3DOptions V(nullptr);
  setView(C, V, TViewKind(State.range(0)));
  for (auto _ : State) {
    Integer Sum = 0;
    for (int I = 0; I < PointCount; ++I) {
      Integer X = I & 1023, Y = I & 511, Z = I & 127;
      C.Calc3DPos(X, Y, Z);
      Sum += X + Y;
    }
    benchmark::DoNotOptimize(Sum);
  }
  State.counters["per_point"] =
      benchmark::Counter(PointCount, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Calc3DPos)->Arg(vkFlat)->Arg(vkOrthogonal)->Arg(vkRotated)->Unit(benchmark::kMillisecond);

void BM_Calculate3DPositionFloat(benchmark::State& State) {
  TTeeCanvas3D C;
  TView3DOptions V(nullptr);
  setView(C, V, TViewKind(State.range(0)));
  for (auto _ : State) {
    float Sum = 0;
    for (int I = 0; I < PointCount; ++I) {
      TPointFloat P{float(I & 1023), float(I & 511)};
      C.Calculate3DPosition(P, float(I & 127));
      Sum += P.x + P.y;
    }
    benchmark::DoNotOptimize(Sum);
  }
  State.counters["per_point"] =
      benchmark::Counter(PointCount, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Calculate3DPositionFloat)->Arg(vkFlat)->Arg(vkOrthogonal)->Arg(vkRotated)->Unit(benchmark::kMillisecond);

// A bar's pen and brush: a new colour each bar (0), the same colour (1), a
// width-3 extended pen with a new colour (2).
void BM_BarAttributes(benchmark::State& State) {
  TBenchCanvas C;
  TTeePen Pen(nullptr);
  TTeeBrush Brush(nullptr);
  if (State.range(0) == 2) {
    Pen.SetWidth(3);
    Pen.SetEndStyle(esFlat);
  }
  Integer Bar = 0;
  for (auto _ : State) {
    const TColor Color = State.range(0) == 1 ? clRed : TColor(0x100000 + Bar % 4096);
    C.AssignBrush(&Brush, Color, clNone);
    C.AssignVisiblePenColor(&Pen, Color);
    ++Bar;
  }
}
BENCHMARK(BM_BarAttributes)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

const String Label = QStringLiteral("<b>Year</b> 2001 <i>(n = 123)</i>");

void BM_HtmlTextExtent(benchmark::State& State) {
  TBenchCanvas C(400, 100);
  for (auto _ : State) benchmark::DoNotOptimize(TeeHtmlTextExtent(&C, Label));
}
BENCHMARK(BM_HtmlTextExtent)->Unit(benchmark::kMicrosecond);

void BM_DrawHtml(benchmark::State& State) {
  TBenchCanvas C(400, 100);
  for (auto _ : State) TeeDrawHtml(&C, 10, 10, Label);
}
BENCHMARK(BM_DrawHtml)->Unit(benchmark::kMicrosecond);

void BM_PlainTextWidth(benchmark::State& State) {
  TBenchCanvas C(400, 100);
  const String Plain = QStringLiteral("Year 2001 (n = 123)");
  for (auto _ : State) benchmark::DoNotOptimize(C.TextWidth(Plain));
}
BENCHMARK(BM_PlainTextWidth)->Unit(benchmark::kMicrosecond);

void BM_UnitStartUp(benchmark::State& State) {
  FinalizeCanvas();
  FinalizeChartMessages();
  for (auto _ : State) {
    InitializeChartMessages();
    InitializeCanvas();
    State.PauseTiming();
    FinalizeCanvas();
    FinalizeChartMessages();
    State.ResumeTiming();
  }
  InitializeChartMessages();
  InitializeCanvas();
}
BENCHMARK(BM_UnitStartUp)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return RunGuiBenchmarks(argc, argv, {RtlUnit, GraphicsUnit, ChartMessagesUnit, CanvasUnit}); }
