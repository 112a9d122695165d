// Controls tested on a bare windowed host instead of a form: no form
// behaviour (activation, default buttons, scaling) gets in the way, and the
// host's colour tells its pixels from the control's.
#pragma once

#include "platform/ui/windowing/controls.h"
#include "platform/ui/windowing/window.h"
#include "platform/ui/windowing/uitest.h"

#include <QString>
#include <gtest/gtest.h>

// A windowed control that takes children and paints nothing but its Color.
class THost : public TCustomControl {
  RTL_CLASS(THost, TCustomControl)
public:
  explicit THost(TComponent* AOwner, TColor Color = clWindow) : TCustomControl(AOwner) {
    FControlStyle.Include(csAcceptsControls);
    SetColor(Color);
  }
};

// Root: a 300 x 200 host at (100, 100) on the desktop in HostColor, with
// black 13-pixel Arial for its children; the UI layers reset around each
// test.  A derived fixture calls SetUp first and TearDown last.
class HostFixture : public ::testing::Test {
protected:
  explicit HostFixture(TColor HostColor) : FHostColor(HostColor) {}

  void SetUp() override {
    test::ResetUi();
    Root = new THost(nullptr, FHostColor);
    Root->SetBounds(100, 100, 300, 200);
    Root->SetParentWindow(gdi::GetDesktopWindow());
    Root->Font()->SetName(QStringLiteral("Arial"));
    Root->Font()->SetHeight(-13);
    Root->Font()->SetColor(clBlack);
  }
  void TearDown() override {
    Root->Free();
    test::ResetUi();
  }

  // Control (owned by Root) at Bounds on Parent, Root when none.
  template <class T>
  T* add(T* Control, TRect Bounds, TWinControl* Parent = nullptr) {
    Control->SetBoundsRect(Bounds);
    Control->SetParent(Parent ? Parent : Root);
    return Control;
  }

  THost* Root = nullptr;

private:
  TColor FHostColor;
};
