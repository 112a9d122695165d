#include "platform/ui/windowing/hints.h"

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/windowing/application.h"
#include "platform/ui/windowing/hwnd.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/timers.h"
#include "platform/ui/windowing/window.h"
#include "tests/platform/ui/pixelhelpers.h"
#include "tests/support/testing.h"

#include <functional>
#include <vector>

using namespace gdi;

namespace {

// A panel that fills itself white and lets a test see and answer the hint
// messages.
class THintPanel : public TCustomControl {
  RTL_CLASS(THintPanel, TCustomControl)
public:
  explicit THintPanel(TComponent* AOwner) : TCustomControl(AOwner) { FControlStyle.Include(csAcceptsControls); }

  std::vector<Integer> PauseWasActive;
  std::vector<THintInfo> Shown;
  std::function<void(THintInfo&, TMessage&)> OnHintShow;

  void WndProc(TMessage& Message) override {
    if (Message.Msg == CM_HINTSHOWPAUSE) PauseWasActive.push_back(Integer(Message.WParam));
    if (Message.Msg == CM_HINTSHOW) {
      auto& Info = *reinterpret_cast<THintInfo*>(Message.LParam);
      Shown.push_back(Info);
      if (OnHintShow) OnHintShow(Info, Message);
      if (Message.Result) return;
    }
    TCustomControl::WndProc(Message);
  }

protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(clWhite);
    Canvas()->FillRect(ClientRect());
  }
};

// A hint window of the test's own: the application may replace the class.
class TRedHintWindow : public THintWindow {
  RTL_CLASS(TRedHintWindow, THintWindow)
public:
  using THintWindow::THintWindow;
  TRect CalcHintRect(Integer, const String&, void*) override { return Rect(0, 0, 40, 20); }
};

// Two 100 x 100 panels side by side at (100, 100) on the desktop, the
// manager wired to the router and the pump.
class HintsTest : public ::testing::Test {
protected:
  void SetUp() override {
    test::ResetQueue();
    test::ResetInput();
    Root = new THintPanel(nullptr);
    Root->SetBounds(100, 100, 200, 100);
    Root->SetParentWindow(GetDesktopWindow());
    A = new THintPanel(Root);
    A->SetBounds(0, 0, 100, 100);
    A->SetParent(Root);
    A->SetShowHint(true);
    A->SetHint("Open|Opens a reference");
    B = new THintPanel(Root);
    B->SetBounds(100, 0, 100, 100);
    B->SetParent(Root);
    B->SetShowHint(true);
    B->SetHint("Save");
    Manager = new THintManager(nullptr);
    SetInputHooks({.MouseMoved = [this](HWND W, TPoint P) { Manager->MouseMoved(W, P); }});
    SetPumpHooks({.Filter = [this](MSG& M) {
      Manager->MessageTaken(M);
      return false;
    }});
  }
  void TearDown() override {
    SetPumpHooks({});
    Manager->Free();
    Root->Free();
    test::ResetQueue();
    test::ResetInput();
  }

  void moveTo(TPoint Screen) {
    RouteMouse(Root->Handle(), TMouseAction::Move, Screen, mbLeft, {});
    test::PumpUntil([] { return false; }, 1);
  }
  bool showing() const { return Manager->HintShowing(); }

  test::TStepClock Clock{1000};
  TClockScope ClockScope{Clock};
  THintPanel* Root = nullptr;
  THintPanel* A = nullptr;
  THintPanel* B = nullptr;
  THintManager* Manager = nullptr;
};

TEST_F(HintsTest, AHintShowsAfterThePauseWithThePrefilledInfo) {
  moveTo({130, 140});
  EXPECT_EQ(A->PauseWasActive, std::vector<Integer>{0});
  EXPECT_EQ(Manager->Hint(), "Opens a reference");
  test::AdvanceTime(499);
  EXPECT_FALSE(showing());
  EXPECT_TRUE(A->Shown.empty());
  test::AdvanceTime(1);
  ASSERT_TRUE(showing());

  ASSERT_EQ(A->Shown.size(), 1u);
  const THintInfo& Info = A->Shown[0];
  EXPECT_EQ(Info.HintControl, A);
  EXPECT_EQ(Info.HintWindowClass, THintWindow::StaticClass());
  EXPECT_EQ(Info.HintPos, (TPoint{130, 140 + 32}));
  EXPECT_EQ(Info.HintMaxWidth, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(Info.HintColor, clInfoBk);
  EXPECT_EQ(Info.CursorRect, Rect(0, 0, 100, 100));
  EXPECT_EQ(Info.CursorPos, (TPoint{30, 40}));
  EXPECT_EQ(Info.ReshowTimeout, 0);
  EXPECT_EQ(Info.HideTimeout, 2500);
  EXPECT_EQ(Info.HintStr, "Open");
  EXPECT_EQ(Info.HintData, nullptr);

  THintWindow* Window = Manager->HintWindow();
  EXPECT_EQ(Window->Caption(), "Open");
  EXPECT_EQ(Window->Left(), 130);
  EXPECT_EQ(Window->Top(), 172);
  const LONG ExStyle = GetWindowLong(Window->Handle(), GWL_EXSTYLE);
  EXPECT_EQ(ExStyle & (WS_EX_TOPMOST | WS_EX_NOACTIVATE), WS_EX_TOPMOST | WS_EX_NOACTIVATE);
  EXPECT_NE(GetWindowLong(Window->Handle(), GWL_STYLE) & WS_POPUP, 0);
}

TEST_F(HintsTest, MovingInsideTheCursorRectKeepsTheCycle) {
  moveTo({130, 140});
  test::AdvanceTime(300);
  moveTo({150, 150});
  test::AdvanceTime(200);
  EXPECT_TRUE(showing());
  moveTo({160, 160});
  EXPECT_TRUE(showing());
  EXPECT_EQ(A->PauseWasActive.size(), 1u);
  EXPECT_EQ(A->Shown.size(), 1u);
}

TEST_F(HintsTest, HintShowCanChangeTheTextOrRefuse) {
  struct Case {
    const char* Name;
    std::function<void(THintInfo&, TMessage&)> Answer;
    bool Shows;
    String Caption;
  };
  const Case Cases[] = {
      {"Result 1", [](THintInfo&, TMessage& M) { M.Result = 1; }, false, ""},
      {"empty text", [](THintInfo& I, TMessage&) { I.HintStr = ""; }, false, ""},
      {"new text", [](THintInfo& I, TMessage&) { I.HintStr = "Changed"; }, true, "Changed"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Manager->CancelHint();
    moveTo({250, 150});  // over B: a new cycle for A
    A->OnHintShow = C.Answer;
    moveTo({130, 140});
    test::AdvanceTime(500);
    EXPECT_EQ(showing(), C.Shows);
    if (C.Shows) EXPECT_EQ(Manager->HintWindow()->Caption(), C.Caption);
  }
}

TEST_F(HintsTest, OnShowHintSeesTheTextAndMayRefuse) {
  String Seen;
  Manager->OnShowHint = [&](String& HintStr, bool& CanShow, THintInfo&) {
    Seen = HintStr;
    CanShow = false;
  };
  moveTo({130, 140});
  test::AdvanceTime(500);
  EXPECT_EQ(Seen, "Open");
  EXPECT_FALSE(showing());
}

TEST_F(HintsTest, LeavingTheCursorRectHidesAndAsksAgainAfterTheShortPause) {
  moveTo({130, 140});
  test::AdvanceTime(500);
  ASSERT_TRUE(showing());
  moveTo({230, 140});
  EXPECT_FALSE(showing());
  EXPECT_EQ(B->PauseWasActive, std::vector<Integer>{1});
  test::AdvanceTime(49);
  EXPECT_FALSE(showing());
  test::AdvanceTime(1);
  ASSERT_TRUE(showing());
  EXPECT_EQ(Manager->HintWindow()->Caption(), "Save");
}

TEST_F(HintsTest, CMHintShowPauseMayChangeThePause) {
  auto Previous = A->WindowProc;
  A->WindowProc = [Previous](TMessage& M) {
    if (M.Msg == CM_HINTSHOWPAUSE) *reinterpret_cast<Integer*>(M.LParam) = 100;
    Previous(M);
  };
  moveTo({130, 140});
  test::AdvanceTime(99);
  EXPECT_FALSE(showing());
  test::AdvanceTime(1);
  EXPECT_TRUE(showing());
  A->WindowProc = Previous;
}

TEST_F(HintsTest, TheHintGoesAfterTheHidePauseAndForPressesAndKeys) {
  moveTo({130, 140});
  test::AdvanceTime(500);
  ASSERT_TRUE(showing());
  test::AdvanceTime(2499);
  EXPECT_TRUE(showing());
  test::AdvanceTime(1);
  EXPECT_FALSE(showing());
  test::AdvanceTime(5000);
  EXPECT_FALSE(showing());

  moveTo({230, 140});
  test::AdvanceTime(500);
  ASSERT_TRUE(showing());
  RouteKey(Root->Handle(), true, VK_SHIFT, {ssShift});
  test::PumpUntil([] { return false; }, 1);
  EXPECT_FALSE(showing());
  RouteKey(Root->Handle(), false, VK_SHIFT, {});
  test::AdvanceTime(5000);
  EXPECT_FALSE(showing());  // the cycle ended; only a move starts another
}

TEST_F(HintsTest, HideTimeoutMinusOneKeepsTheHint) {
  A->OnHintShow = [](THintInfo& I, TMessage&) { I.HideTimeout = -1; };
  moveTo({130, 140});
  test::AdvanceTime(10000);
  EXPECT_TRUE(showing());
}

TEST_F(HintsTest, ControlsWithoutShowHintTakeItFromTheirParent) {
  auto* Inner = new THintPanel(B);
  Inner->SetBounds(10, 10, 50, 50);
  Inner->SetParent(B);
  EXPECT_TRUE(Inner->ShowHint());
  moveTo({230, 130});
  test::AdvanceTime(500);
  ASSERT_EQ(Inner->Shown.size(), 1u);
  EXPECT_EQ(Manager->HintWindow()->Caption(), "Save");

  Manager->CancelHint();
  A->SetShowHint(false);
  moveTo({130, 140});
  test::AdvanceTime(1000);
  EXPECT_FALSE(showing());
}

TEST_F(HintsTest, TheHintWindowPaintsItsTextOnTheHintColour) {
  moveTo({130, 140});
  test::AdvanceTime(500);
  ASSERT_TRUE(showing());
  THintWindow* Window = Manager->HintWindow();
  std::unique_ptr<TBitmap> Image = GrabWindow(Window);
  const int W = Image->Width(), H = Image->Height();
  ASSERT_GT(W, 10);
  ASSERT_GT(H, 8);
  const TColor Back = TColor(ColorToRGB(clInfoBk));
  const TColor Frame = PixelAt(Image.get(), 0, 0);
  EXPECT_NE(Frame, Back);
  EXPECT_EQ(PixelAt(Image.get(), W - 1, H - 1), Frame);
  EXPECT_EQ(PixelAt(Image.get(), 1, 1), Back);
  EXPECT_EQ(PixelAt(Image.get(), W - 2, H - 2), Back);
  const int Inside = (W - 2) * (H - 2);
  const int Text = Inside - CountPixels(Image.get(), Rect(1, 1, W - 1, H - 1), Back);
  EXPECT_GT(Text, 10);  // "Open" drawn
}

TEST_F(HintsTest, TheApplicationCanReplaceTheHintWindowClass) {
  Manager->SetHintWindowClass(TRedHintWindow::StaticClass());
  Manager->SetHintColor(clRed);
  moveTo({130, 140});
  test::AdvanceTime(500);
  ASSERT_TRUE(showing());
  THintWindow* Window = Manager->HintWindow();
  EXPECT_EQ(Window->ClassType(), TRedHintWindow::StaticClass());
  EXPECT_EQ(Window->Width(), 40);
  std::unique_ptr<TBitmap> Image = GrabWindow(Window);
  EXPECT_EQ(PixelAt(Image.get(), 35, 5), TColor(ColorToRGB(clRed)));
}

TEST(HintWindowTest, TakesTheScreensHintFont) {
  InitializeForms();
  Screen->HintFont()->SetName(QStringLiteral("Arial"));
  Screen->HintFont()->SetSize(14);
  auto* Window = new THintWindow(nullptr);
  EXPECT_EQ(Window->Font()->Name(), "Arial");
  EXPECT_EQ(Window->Font()->Size(), 14);
  EXPECT_EQ(Window->Font()->Color(), clInfoText);
  Window->Free();
  FinalizeForms();
}

TEST_F(HintsTest, AControlFreedDuringItsCycleEndsIt) {
  moveTo({130, 140});
  A->Free();
  EXPECT_EQ(Manager->HintControl(), nullptr);
  test::AdvanceTime(1000);
  EXPECT_FALSE(showing());
}

}  // namespace
