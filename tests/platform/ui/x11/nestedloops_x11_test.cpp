// Our queue inside Qt's own loops, on the real X11 platform (run under a
// virtual display with the xcb plugin): while a message box, a popup menu and
// a common dialog run Qt's loop, a timer of ours keeps ticking and a posted
// message is handled; a timer whose handler opened a box is not entered again
// until that handler returns.
//
// Every wait is bounded: a watchdog of Qt's own closes a window our queue
// failed to close, failing the test instead of hanging it.
#include "platform/ui/windowing/msgqueue.h"

#include "platform/ui/controls/commdlg.h"
#include "platform/ui/windowing/dialogs.h"
#include "platform/ui/windowing/hwnd.h"
#include "platform/ui/windowing/menus.h"
#include "platform/ui/windowing/timers.h"
#include "tests/platform/ui/x11/x11fixture.h"
#include "tests/support/testing.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace {

using namespace gdi;
using namespace x11test;

constexpr UINT WM_PROBE = WM_USER + 77;

// The Qt window a nested loop runs for: an open popup menu, else the modal
// box or dialog.
QWidget* qtLoopWindow() {
  if (QWidget* Popup = QApplication::activePopupWidget()) return Popup;
  return QApplication::activeModalWidget();
}

class NestedLoopsX11Test : public X11Fixture {
protected:
  void SetUp() override {
    X11Fixture::SetUp();
    InstallMessageBox();
    InstallCommonDialogs();
    Probe = AllocateHWnd([this](TMessage& Message) {
      if (Message.Msg != WM_PROBE) {
        Message.Result = DefWindowProc(Probe, Message.Msg, Message.WParam, Message.LParam);
        return;
      }
      ++Probes;
      if (QWidget* Window = qtLoopWindow()) Window->close();
    });
    // Ticks; from the fifth on, once the Qt window is up, posts the probe
    // that closes it.
    Ticker = new TTimer(nullptr);
    Ticker->SetInterval(20);
    Ticker->SetOnTimer([this](TObject*) {
      if (++Ticks >= 5 && !Posted && qtLoopWindow()) Posted = PostMessage(Probe, WM_PROBE, 0, 0);
    });
    Watchdog.setSingleShot(true);
    QObject::connect(&Watchdog, &QTimer::timeout, [this] {
      TimedOut = true;
      if (QWidget* Window = qtLoopWindow()) Window->close();
    });
    Watchdog.start(WaitSeconds * 1000);
  }
  void TearDown() override {
    Watchdog.stop();
    Ticker->Free();
    DeallocateHWnd(Probe);
    X11Fixture::TearDown();
  }

  // Runs a Qt loop through Open and checks that our queue ran inside it.
  void expectQueueAlive(const std::function<void()>& Open) {
    Open();
    EXPECT_FALSE(TimedOut) << "the Qt window was still open when the watchdog closed it";
    EXPECT_GE(Ticks, 5);
    EXPECT_EQ(Probes, 1);
  }

  HWND Probe = nullptr;
  TTimer* Ticker = nullptr;
  QTimer Watchdog;
  int Ticks = 0;
  int Probes = 0;
  bool Posted = false;
  bool TimedOut = false;
};

TEST_F(NestedLoopsX11Test, TimersAndPostsRunWhileAMessageBoxIsOpen) {
  expectQueueAlive([] { MessageDlg("Waiting for the queue", mtInformation, {mbOK}, 0); });
}

TEST_F(NestedLoopsX11Test, TimersAndPostsRunWhileAPopupMenuIsOpen) {
  auto* Menu = new TPopupMenu(nullptr);
  auto* Item = new TMenuItem(Menu);
  Item->SetCaption("&Find");
  Menu->Items()->Add(Item);
  expectQueueAlive([Menu] { Menu->Popup(200, 200); });
  Menu->Free();
}

TEST_F(NestedLoopsX11Test, TimersAndPostsRunWhileACommonDialogIsOpen) {
  auto* Dialog = new TOpenDialog(nullptr);
  expectQueueAlive([Dialog] { EXPECT_FALSE(Dialog->Execute()); });
  Dialog->Free();
}

TEST_F(NestedLoopsX11Test, ATimerWhoseHandlerOpenedTheBoxIsNotEnteredAgain) {
  auto* Opener = new TTimer(nullptr);
  Opener->SetInterval(10);
  int Entered = 0, Depth = 0, DeepestDepth = 0;
  Opener->SetOnTimer([&](TObject*) {
    ++Entered;
    DeepestDepth = std::max(DeepestDepth, ++Depth);
    if (Entered == 1) MessageDlg("Opened by a timer", mtInformation, {mbOK}, 0);
    --Depth;
  });
  ASSERT_TRUE(waitUntil([&] { return Entered > 0 && Depth == 0; }));
  EXPECT_FALSE(TimedOut);
  EXPECT_GE(Ticks, 5);
  EXPECT_EQ(Probes, 1);
  EXPECT_EQ(DeepestDepth, 1);
  Opener->Free();
}

}  // namespace
