// Scroll-bar repaint costs: both bars of a 1000 x 700 window painted again
// as a scroll moves them (SetScrollPos with redraw on each bar), and the
// painter alone on a bitmap surface.  The goal: both bars well under a
// frame, 0.2 ms.
#include "bench/support/guibench.h"
#include "platform/rtl/units.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/graphics/scrollpaint.h"
#include "platform/ui/graphics/surface.h"
#include "platform/ui/windowing/controls.h"
#include "platform/ui/windowing/scrollinfo.h"
#include "platform/ui/windowing/window.h"

#include <benchmark/benchmark.h>

#include <QImage>

using namespace gdi;

namespace {

constexpr int Width = 1000;
constexpr int Height = 700;
constexpr int Rows = 100000;  // a long table's rows on the vertical bar
constexpr int Pixels = 5000;  // a wide table's pixels on the horizontal bar

class TScrolledWindow : public TCustomControl {
  RTL_CLASS(TScrolledWindow, TCustomControl)
public:
  using TCustomControl::TCustomControl;

protected:
  void CreateParams(TCreateParams& Params) override {
    TCustomControl::CreateParams(Params);
    Params.Style |= WS_HSCROLL | WS_VSCROLL;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
  }
};

void setBar(HWND Window, int Bar, int Max, UINT Page) {
  SCROLLINFO Info;
  Info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  Info.nMax = Max;
  Info.nPage = Page;
  SetScrollInfo(Window, Bar, &Info, true);
}

// Both window bars, each painted on the window when its position moves.
void BM_WindowBarsRepaint(benchmark::State& State) {
  auto* Window = new TScrolledWindow(nullptr);
  Window->SetBounds(0, 0, Width, Height);
  Window->SetParentWindow(GetDesktopWindow());
  const HWND H = Window->Handle();
  Window->Update();
  setBar(H, SB_VERT, Rows - 1, 40);
  setBar(H, SB_HORZ, Pixels - 1, Width);
  int Step = 0;
  for (auto _ : State) {
    ++Step;
    SetScrollPos(H, SB_VERT, (Step * 37) % Rows, true);
    SetScrollPos(H, SB_HORZ, (Step * 13) % Pixels, true);
  }
  Window->Free();
}
BENCHMARK(BM_WindowBarsRepaint)->Unit(benchmark::kMicrosecond);

// The painter alone: the same two bars on a bitmap surface.
void BM_PaintBothBars(benchmark::State& State) {
  QImage Image(Width, Height, QImage::Format_RGB32);
  Image.fill(Qt::white);
  auto Surface = std::make_shared<TSurface>(Image);
  const HDC DC = CreateSurfaceDC(Surface);
  const int Bar = 17;
  TScrollBarLook Vertical;
  Vertical.Vertical = true;
  Vertical.Range = TScrollRange::Clamped(0, Rows - 1, 40);
  TScrollBarLook Horizontal;
  Horizontal.Range = TScrollRange::Clamped(0, Pixels - 1, Width);
  int Step = 0;
  for (auto _ : State) {
    ++Step;
    Vertical.Position = Vertical.Range.Clamp((Step * 37) % Rows);
    Horizontal.Position = Horizontal.Range.Clamp((Step * 13) % Pixels);
    PaintScrollBar(DC, Rect(Width - Bar, 0, Width, Height - Bar), Vertical);
    PaintScrollBar(DC, Rect(0, Height - Bar, Width - Bar, Height), Horizontal);
  }
  DeleteDC(DC);
}
BENCHMARK(BM_PaintBothBars)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return RunGuiBenchmarks(argc, argv, {RtlUnit}); }
