// Text output costs of grid painting: DrawText of short cell texts
// (single line, vertically centred, end ellipsis) and a full page of
// FillRect + clipped, opaque ExtTextOut cells (what TCanvas.TextRect does),
// by flat calls and through TCanvas, drawn with real fonts into a bitmap
// surface.  The goal is a 40 x 30 page
// far below a frame: 2 ms for 1,200 cells.
#include "bench/support/guibench.h"
#include "platform/rtl/units.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/drawtext.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/graphics/surface.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QStringList>

using namespace gdi;

namespace {

constexpr int CellWidth = 64;
constexpr int CellHeight = 18;
constexpr int Columns = 40;
constexpr int Rows = 30;
constexpr int TextCount = 10000;

// Cell texts as a reference list shows them: names, years, journals, ids.
QStringList cellTexts() {
  static const char* const Words[] = {"Smith J", "Lancet", "1998", "BMJ", "Ivanova E", "cohort", "N Engl J Med",
                                      "trial", "42", "meta-analysis", "Petrov A, Sidorov B", "JAMA", "doi"};
  QStringList Texts;
  Texts.reserve(TextCount);
  for (int I = 0; I < TextCount; ++I) {
    String Text = Words[I % 13];
    if (I % 3 == 0) Text += QLatin1String(" ") + Words[(I / 3) % 13];
    if (I % 7 == 0) Text += QStringLiteral(" #%1").arg(I);
    Texts.append(Text);
  }
  return Texts;
}

// A bitmap surface with a DC and the default grid font selected.
struct TTextBench {
  TTextBench() {
    QImage Image(Columns * CellWidth, Rows * CellHeight, QImage::Format_RGB32);
    Image.fill(Qt::white);
    Surface = std::make_shared<TSurface>(Image);
    DC = CreateSurfaceDC(Surface);
    LOGFONTW LogFont;
    LogFont.lfHeight = -11;
    SetLogFontFaceName(LogFont, "Tahoma");
    Font = CreateFontIndirectW(LogFont);
    SelectObject(DC, Font);
    SetBkMode(DC, TRANSPARENT);
    Brush = CreateSolidBrush(RGB(0xF0, 0xF0, 0xF0));
    Texts = cellTexts();
  }
  ~TTextBench() {
    DeleteDC(DC);
    DeleteObject(Font);
    DeleteObject(Brush);
  }

  static RECT cell(int Index) {
    const int Column = Index % Columns, Row = (Index / Columns) % Rows;
    return {Column * CellWidth, Row * CellHeight, (Column + 1) * CellWidth, (Row + 1) * CellHeight};
  }

  std::shared_ptr<TSurface> Surface;
  HDC DC = nullptr;
  HFONT Font = nullptr;
  HBRUSH Brush = nullptr;
  QStringList Texts;
};

void BM_DrawTextCells(benchmark::State& State) {
  TTextBench B;
  const UINT Format = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
  for (auto _ : State) {
    for (int I = 0; I < TextCount; ++I) {
      RECT R = TTextBench::cell(I);
      R.Left += 2;
      R.Right -= 2;
      const String& Text = B.Texts[I];
      DrawTextW(B.DC, Text.constData(), static_cast<int>(Text.size()), &R, Format);
    }
  }
  State.counters["per_call"] =
      benchmark::Counter(TextCount, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_DrawTextCells)->Unit(benchmark::kMillisecond);

// Range 0: what each cell draws (1 FillRect, 2 TextRect, 3 both).
void BM_GridPage(benchmark::State& State) {
  TTextBench B;
  SetBkColor(B.DC, RGB(0xF0, 0xF0, 0xF0));
  const bool Fill = State.range(0) & 1, Text = State.range(0) & 2;
  constexpr int Cells = Columns * Rows;
  int Page = 0;
  for (auto _ : State) {
    for (int I = 0; I < Cells; ++I) {
      const RECT R = TTextBench::cell(I);
      if (Fill) FillRect(B.DC, R, B.Brush);
      if (!Text) continue;
      const String& S = B.Texts[(Page * Cells + I) % TextCount];
      ExtTextOutW(B.DC, R.Left + 2, R.Top + 2, ETO_CLIPPED | ETO_OPAQUE, &R, S.constData(),
                  static_cast<UINT>(S.size()), nullptr);
    }
    ++Page;
  }
  State.counters["per_cell"] =
      benchmark::Counter(Cells, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_GridPage)->ArgName("draw")->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

// The same page through TCanvas, as grid painters draw it.
void BM_CanvasGridPage(benchmark::State& State) {
  TTextBench B;
  TCanvas Canvas;
  Canvas.SetHandle(B.DC);
  Canvas.Brush()->SetColor(clBtnFace);
  constexpr int Cells = Columns * Rows;
  int Page = 0;
  for (auto _ : State) {
    for (int I = 0; I < Cells; ++I) {
      const TRect R = TTextBench::cell(I);
      Canvas.FillRect(R);
      Canvas.TextRect(R, R.Left + 2, R.Top + 2, B.Texts[(Page * Cells + I) % TextCount]);
    }
    ++Page;
  }
  Canvas.SetHandle(nullptr);
  State.counters["per_cell"] =
      benchmark::Counter(Cells, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_CanvasGridPage)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunGuiBenchmarks(argc, argv, {RtlUnit}); }
