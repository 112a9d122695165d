// A form's worth of standard controls painted again: 40 push buttons, check
// boxes, radio buttons, progress bars and group boxes, each repainting its
// window through the classic painters.  The goal: under 1 ms for all 40.
// For comparison, the same 40 drawn the way they were before the classic
// painters: hidden Qt widgets in the Fusion style rendered into images.
#include "bench/support/guibench.h"
#include "platform/rtl/units.h"
#include "platform/ui/controls/buttons.h"
#include "platform/ui/controls/comctrls.h"
#include "platform/ui/controls/stdctrls.h"
#include "platform/ui/windowing/controls.h"
#include "platform/ui/windowing/window.h"

#include <benchmark/benchmark.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleFactory>
#include <memory>
#include <vector>

using namespace gdi;

namespace {

constexpr int Kinds = 5;
constexpr int PerKind = 8;  // 40 controls in all
constexpr int Width = 120;
constexpr int Height = 25;

class THost : public TCustomControl {
  RTL_CLASS(THost, TCustomControl)
public:
  explicit THost(TComponent* AOwner) : TCustomControl(AOwner) { FControlStyle.Include(csAcceptsControls); }
};

TWinControl* makeControl(int Kind, int Index, THost* Host) {
  TWinControl* C = nullptr;
  switch (Kind) {
    case 0: {
      auto* B = new TButton(Host);
      B->SetCaption(QStringLiteral("Button %1").arg(Index));
      B->SetDefault(Index == 0);
      C = B;
      break;
    }
    case 1: {
      auto* B = new TCheckBox(Host);
      B->SetCaption(QStringLiteral("Check %1").arg(Index));
      B->SetChecked(Index % 2 == 0);
      C = B;
      break;
    }
    case 2: {
      auto* B = new TRadioButton(Host);
      B->SetCaption(QStringLiteral("Radio %1").arg(Index));
      C = B;
      break;
    }
    case 3: {
      auto* P = new TProgressBar(Host);
      P->SetPosition(Index * 12);
      C = P;
      break;
    }
    default: {
      auto* G = new TGroupBox(Host);
      G->SetCaption(QStringLiteral("Group %1").arg(Index));
      C = G;
      break;
    }
  }
  C->SetParent(Host);
  C->SetBounds(Kind * (Width + 10), Index * (Height + 10), Width, Height);
  return C;
}

void BM_RepaintFortyControls(benchmark::State& State) {
  auto* Host = new THost(nullptr);
  Host->SetBounds(0, 0, Kinds * (Width + 10), PerKind * (Height + 10));
  Host->SetParentWindow(GetDesktopWindow());
  std::vector<TWinControl*> Controls;
  for (int Kind = 0; Kind < Kinds; ++Kind)
    for (int I = 0; I < PerKind; ++I) Controls.push_back(makeControl(Kind, I, Host));
  Host->Update();
  for (auto _ : State)
    for (TWinControl* C : Controls) C->Repaint();
  Host->Free();
}
BENCHMARK(BM_RepaintFortyControls)->Unit(benchmark::kMicrosecond);

// The former way: each control a hidden Fusion-styled Qt widget rendered
// into an image of its size.
void BM_RenderFortyHiddenQtWidgets(benchmark::State& State) {
  std::unique_ptr<QStyle> Fusion(QStyleFactory::create(QStringLiteral("Fusion")));
  std::vector<std::unique_ptr<QWidget>> Widgets;
  for (int I = 0; I < PerKind; ++I) {
    Widgets.push_back(std::make_unique<QPushButton>(QStringLiteral("Button %1").arg(I)));
    Widgets.push_back(std::make_unique<QCheckBox>(QStringLiteral("Check %1").arg(I)));
    Widgets.push_back(std::make_unique<QRadioButton>(QStringLiteral("Radio %1").arg(I)));
    auto Bar = std::make_unique<QProgressBar>();
    Bar->setValue(I * 12);
    Bar->setTextVisible(false);
    Widgets.push_back(std::move(Bar));
    Widgets.push_back(std::make_unique<QGroupBox>(QStringLiteral("Group %1").arg(I)));
  }
  for (auto& W : Widgets) {
    W->setStyle(Fusion.get());
    W->setAttribute(Qt::WA_DontShowOnScreen);
    W->resize(Width, Height);
  }
  for (auto _ : State)
    for (auto& W : Widgets) {
      QImage Image(W->size(), QImage::Format_ARGB32_Premultiplied);
      Image.fill(Qt::transparent);
      W->render(&Image);
      benchmark::DoNotOptimize(Image.constBits());
    }
}
BENCHMARK(BM_RenderFortyHiddenQtWidgets)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return RunGuiBenchmarks(argc, argv, {RtlUnit}); }
