// The image filters, resampling, the smooth shadow and the blend on
// picture-sized bitmaps.  Each filter runs on a 1000 x 1000 bitmap already in
// its pixel format; where a plain QImage loop does the same per-pixel work it
// runs beside it (BM_Loop/...), as the speed a straightforward loop reaches.
// Figures are pixels per second (items).
#include "bench/support/guibench.h"
#include "chartlib/canvas/canvasunit.h"
#include "chartlib/canvas/chartmessages.h"
#include "chartlib/canvas/teeblend.h"
#include "chartlib/canvas/teefilters.h"
#include "chartlib/canvas/teeresample.h"
#include "chartlib/canvas/teeshadow.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/graphicsunit.h"

#include "tests/chartlib/canvas/filteroracles.h"

#include <QImage>
#include <functional>
#include <memory>
#include <random>

namespace {

constexpr int Side = 1000;

QImage randomImage(int W, int H) {
  QImage Img(W, H, QImage::Format_RGB32);
  std::mt19937 Gen(1);
  for (int Y = 0; Y < H; ++Y) {
    QRgb* Row = reinterpret_cast<QRgb*>(Img.scanLine(Y));
    for (int X = 0; X < W; ++X) Row[X] = qRgb(Gen() & 0xFF, Gen() & 0xFF, Gen() & 0xFF);
  }
  return Img;
}

const QImage& picture() {
  static const QImage Img = randomImage(Side, Side);
  return Img;
}

// Filters that keep the bitmap's size run on one bitmap again and again; the
// others get a fresh copy outside the timing.
struct TFilterCase {
  const char* Name;
  std::function<TTeeFilter*()> Make;
  bool Deep;
  bool ChangesSize;
};

template <class T>
std::function<TTeeFilter*()> make(std::function<void(T&)> Set = {}) {
  return [Set] {
    auto* F = new T(nullptr);
    if (Set) Set(*F);
    return static_cast<TTeeFilter*>(F);
  };
}

const TFilterCase FilterCases[] = {
    {"Invert", make<TInvertFilter>(), true, false},
    {"GrayScale", make<TGrayScaleFilter>([](auto& F) { F.Method = gmEye2; }), true, false},
    {"Mosaic", make<TMosaicFilter>(), false, false},
    {"Flip", make<TFlipFilter>(), false, false},
    {"Reverse", make<TReverseFilter>(), false, false},
    {"Brightness", make<TBrightnessFilter>([](auto& F) { F.Amount = 30; }), false, false},
    {"Contrast", make<TContrastFilter>([](auto& F) { F.Amount = 60; }), false, false},
    {"Color", make<TColorFilter>([](auto& F) { F.Red = 20; }), false, false},
    {"ColorReplace", make<TColorReplaceFilter>([](auto& F) { F.Method = cmLum; F.FromValue = 200; F.ToValue = 255; }), false, false},
    {"HueLumSat", make<THueLumSatFilter>([](auto& F) { F.Hue = 20; }), false, false},
    {"Blur", make<TBlurFilter>(), true, false},
    {"Sharpen", make<TSharpenFilter>(), true, false},
    {"GammaCorrection", make<TGammaCorrectionFilter>(), false, false},
    {"Emboss", make<TEmbossFilter>(), true, false},
    {"Soften", make<TSoftenFilter>(), true, false},
    {"Crop", make<TCropFilter>([](auto& F) { F.Left = 100; F.Top = 100; F.Width = 500; F.Height = 500; }), false, false},
    {"Resize", make<TResizeFilter>([](auto& F) { F.Width = 500; F.Height = 500; }), false, true},
    {"Rotate", make<TRotateFilter>([](auto& F) { F.Angle = 30; F.AutoSize = false; }), false, false},
    {"Mirror", make<TMirrorFilter>(), false, true},
    {"Tile", make<TTileFilter>(), false, false},
    {"Bevel", make<TBevelFilter>(), false, false},
    {"Equalize", make<TEqualizeFilter>(), false, false},
    {"Zoom", make<TZoomFilter>(), false, false},
    {"Sobel", make<TSobelFilter>(), false, false},
    {"Sepia", make<TSepiaFilter>(), false, false},
};

void BM_Filter(benchmark::State& State) {
  const TFilterCase& C = FilterCases[State.range(0)];
  State.SetLabel(C.Name);
  std::unique_ptr<TTeeFilter> F(C.Make());
  F->RGBA = C.Deep;
  TBitmap B;
  B.SetImage(picture());
  B.SetPixelFormat(C.Deep ? pf32bit : pf24bit);
  TBitmap Fresh;
  Fresh.Assign(&B);
  for (auto _ : State) {
    if (C.ChangesSize) {
      State.PauseTiming();
      B.Assign(&Fresh);
      B.ScanLine(0);  // unshare the pixels outside the timing
      State.ResumeTiming();
    }
    F->Apply(&B);
  }
  State.SetItemsProcessed(State.iterations() * Side * Side);
}
BENCHMARK(BM_Filter)->DenseRange(0, 24)->Unit(benchmark::kMillisecond);

// The same per-pixel work as a plain loop over a QImage.
void BM_Loop(benchmark::State& State, std::function<void(QImage&)> Loop) {
  QImage Img = picture().copy();
  for (auto _ : State) Loop(Img);
  State.SetItemsProcessed(State.iterations() * Side * Side);
}
BENCHMARK_CAPTURE(BM_Loop, Invert, oracle::invert)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Loop, GrayScale, oracle::grayEye2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Loop, Flip, oracle::flip)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Loop, Reverse, oracle::reverse)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Loop, Brightness, [](QImage& I) { oracle::brightnessPercent(I, 30); })->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Loop, Contrast, [](QImage& I) { oracle::contrastPercent(I, 60); })->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Loop, GammaCorrection, [](QImage& I) { oracle::gammaPercent(I, 70); })->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Loop, Sepia, oracle::sepia)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Loop, Blur, [](QImage& I) { oracle::convolve(I, {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}}); })->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Loop, Sharpen, [](QImage& I) {
  oracle::convolve(I, {{-.125f, -.125f, -.125f}, {-.125f, 2, -.125f}, {-.125f, -.125f, -.125f}});
})->Unit(benchmark::kMillisecond);

// The switch of a device bitmap to 24-bit rows, on its own.
void BM_PixelFormatSwitch(benchmark::State& State) {
  for (auto _ : State) {
    State.PauseTiming();
    TBitmap B;
    B.SetImage(picture());
    State.ResumeTiming();
    benchmark::DoNotOptimize(TeeCalcScanLines(&B));
  }
  State.SetItemsProcessed(State.iterations() * Side * Side);
}
BENCHMARK(BM_PixelFormatSwitch)->Unit(benchmark::kMillisecond);

void BM_SmoothStretch(benchmark::State& State) {
  const int From = int(State.range(0)), To = int(State.range(1));
  TBitmap Source, Dest;
  Source.SetImage(randomImage(From, From));
  Source.SetPixelFormat(pf24bit);
  Dest.SetPixelFormat(pf24bit);
  Dest.SetSize(To, To);
  for (auto _ : State) TeeSmoothStretch(&Source, &Dest);
}
BENCHMARK(BM_SmoothStretch)->Args({1000, 500})->Args({500, 1000})->Unit(benchmark::kMillisecond);

void BM_QImageSmoothScaled(benchmark::State& State) {
  const int From = int(State.range(0)), To = int(State.range(1));
  const QImage Source = randomImage(From, From).convertToFormat(QImage::Format_BGR888);
  for (auto _ : State) benchmark::DoNotOptimize(Source.scaled(To, To, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}
BENCHMARK(BM_QImageSmoothScaled)->Args({1000, 500})->Args({500, 1000})->Unit(benchmark::kMillisecond);

void BM_SmoothShadow(benchmark::State& State) {
  TBitmap Buffer;
  Buffer.SetSize(1000, 600);
  Buffer.Canvas()->Brush()->SetColor(clWhite);
  Buffer.Canvas()->FillRect(TeeSizeRect(1000, 600));
  TTeeShadow Shadow(nullptr);
  Shadow.SetColor(clGray);
  Shadow.BlurSize = Integer(State.range(0));
  for (auto _ : State)
    TeeDrawSmoothShadow(&Shadow, &Buffer, Buffer.Canvas(), Rect(300, 200, 600, 400), false, 0, {}, 0);
}
BENCHMARK(BM_SmoothShadow)->Arg(4)->Arg(16)->Unit(benchmark::kMicrosecond);

void BM_BlendBitmaps(benchmark::State& State) {
  TBitmap Back, Target;
  Back.SetImage(randomImage(500, 300));
  Target.SetImage(randomImage(500, 300));
  for (auto _ : State) TeeBlendBitmaps(50, &Back, &Target, {0, 0});
}
BENCHMARK(BM_BlendBitmaps)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  return RunGuiBenchmarks(argc, argv, {RtlUnit, GraphicsUnit, ChartMessagesUnit, CanvasUnit, FiltersUnit});
}
