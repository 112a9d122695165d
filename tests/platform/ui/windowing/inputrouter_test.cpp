#include "platform/ui/windowing/inputrouter.h"

#include "platform/rtl/clock.h"
#include "platform/ui/windowing/dispatch.h"
#include "platform/ui/windowing/hwnd.h"
#include "platform/ui/windowing/msgqueue.h"
#include "tests/support/testing.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPalette>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <vector>

using namespace gdi;

namespace {

// A window at Origin on the screen with a Border-pixel frame around its client
// area; it logs every message and answers hit tests and activation as an
// ordinary window does.  Its widget, when it has one, covers the whole window.
class TFakeWindow : public TMessageTarget, public IWindow {
public:
  TFakeWindow(TPoint Origin, TSize Size, int Border = 2, HWND Parent = nullptr)
      : FOrigin(Origin), FSize(Size), FBorder(Border), FParent(Parent) {
    Handle = AllocateWindowHandle(this);
  }
  ~TFakeWindow() override { ReleaseWindowHandle(Handle); }

  HWND Handle = nullptr;
  std::vector<TMessage> Log;
  // Runs first; answering True handles the message.
  std::function<bool(TMessage&)> On;
  UINT Style = 0;
  bool Enabled = true;
  QWidget* View = nullptr;

  std::vector<UINT> Ids() const {
    std::vector<UINT> Result;
    for (const TMessage& M : Log) Result.push_back(M.Msg);
    return Result;
  }
  const TMessage* Last(UINT Msg) const {
    for (auto It = Log.rbegin(); It != Log.rend(); ++It)
      if (It->Msg == Msg) return &*It;
    return nullptr;
  }
  TRect ClientRect() const { return Rect(FBorder, FBorder, FSize.cx - FBorder, FSize.cy - FBorder); }

  // IWindow
  void WindowMessage(TMessage& Message) override { Perform(Message); }
  HWND ParentWindow() const override { return FParent; }
  UINT ClassStyle() const override { return Style; }
  bool AcceptsInput() const override { return Enabled; }
  TPoint ClientToScreen(TPoint P) const override { return {P.X + FOrigin.X + FBorder, P.Y + FOrigin.Y + FBorder}; }
  TPoint ScreenToClient(TPoint P) const override { return {P.X - FOrigin.X - FBorder, P.Y - FOrigin.Y - FBorder}; }
  TPoint WidgetToScreen(TPoint P) const override { return {P.X + FOrigin.X, P.Y + FOrigin.Y}; }
  QWidget* Widget() const override { return View; }

  // TMessageTarget
  void WndProc(TMessage& Message) override {
    Log.push_back(Message);
    if (On && On(Message)) return;
    Dispatch(Message);
  }
  void DefaultHandler(TMessage& Message) override {
    if (DeliverToNativeWidget(Handle, Message)) return;
    switch (Message.Msg) {
      case WM_NCHITTEST: {
        const TPoint Client = ScreenToClient(LParamToPoint(Message.LParam));
        const TRect R = ClientRect();
        const TRect Window = Rect(-FBorder, -FBorder, R.Width() + FBorder, R.Height() + FBorder);
        Message.Result = Bounds(0, 0, R.Width(), R.Height()).Contains(Client) ? HTCLIENT
                         : Window.Contains(Client)                        ? HTBORDER
                                                                           : HTNOWHERE;
        return;
      }
      case WM_MOUSEACTIVATE:
        Message.Result = MA_ACTIVATE;
        return;
      default:
        DefaultWindowMessage(Message);
    }
  }

private:
  TPoint FOrigin;
  TSize FSize;
  int FBorder;
  HWND FParent;
};

class InputRouterTest : public ::testing::Test {
protected:
  void SetUp() override {
    test::ResetQueue();
    test::ResetInput();
  }
  void TearDown() override {
    test::ResetInput();
    test::ResetQueue();
  }

  TManualClock Clock{0, 10000};
  TClockScope ClockScope{Clock};
};

// Window at (100, 200), 100 x 50 with a 2-pixel frame: client (0,0) is screen (102, 202).
constexpr TPoint WindowOrigin{100, 200};

void click(HWND Window, TPoint Screen, TMouseButton Button = mbLeft, TShiftState Shift = {}) {
  RouteMouse(Window, TMouseAction::Down, Screen, Button, Shift);
  RouteMouse(Window, TMouseAction::Up, Screen, Button, Shift);
}

std::vector<UINT> buttonMessages(const TFakeWindow& W) {
  std::vector<UINT> Result;
  for (const TMessage& M : W.Log)
    if ((M.Msg >= WM_LBUTTONDOWN && M.Msg <= WM_MBUTTONDBLCLK) ||
        (M.Msg >= WM_NCLBUTTONDOWN && M.Msg <= WM_NCMBUTTONDBLCLK))
      Result.push_back(M.Msg);
  return Result;
}

TEST_F(InputRouterTest, ClientPressIsHitTestedAndCarriesClientCoordinates) {
  TFakeWindow W(WindowOrigin, {100, 50});
  RouteMouse(W.Handle, TMouseAction::Down, {112, 207}, mbLeft, {ssShift});
  EXPECT_EQ(W.Ids(), (std::vector<UINT>{WM_NCHITTEST, WM_LBUTTONDOWN}));
  EXPECT_EQ(LParamToPoint(W.Log[0].LParam), (TPoint{112, 207})) << "hit tests get the screen point";
  const TWMMouse& Down = W.Last(WM_LBUTTONDOWN)->As<TWMMouse>();
  EXPECT_EQ(Down.Pos(), (TPoint{10, 5}));
  EXPECT_EQ(Down.Keys, MK_LBUTTON | MK_SHIFT);
  RouteMouse(W.Handle, TMouseAction::Up, {112, 207}, mbLeft, {});
  EXPECT_EQ(W.Last(WM_LBUTTONUP)->As<TWMMouse>().Keys, 0) << "the button is up in its own up message";
}

TEST_F(InputRouterTest, PressInTheFrameGivesTheNonClientMessage) {
  TFakeWindow W(WindowOrigin, {100, 50});
  RouteMouse(W.Handle, TMouseAction::Down, {150, 248}, mbLeft, {});
  EXPECT_EQ(W.Ids(), (std::vector<UINT>{WM_NCHITTEST, WM_NCLBUTTONDOWN}));
  const TWMNCHitMessage& Down = W.Last(WM_NCLBUTTONDOWN)->As<TWMNCHitMessage>();
  EXPECT_EQ(Down.HitTest, HTBORDER);
  EXPECT_EQ(Down.XCursor, 150);
  EXPECT_EQ(Down.YCursor, 248);
}

TEST_F(InputRouterTest, MoveSetsTheCursorBeforeTheMoveMessage) {
  TFakeWindow W(WindowOrigin, {100, 50});
  RouteMouse(W.Handle, TMouseAction::Move, {103, 203}, mbLeft, {});
  EXPECT_EQ(W.Ids(), (std::vector<UINT>{WM_NCHITTEST, WM_SETCURSOR, WM_MOUSEMOVE}));
  const TWMSetCursor& SC = W.Last(WM_SETCURSOR)->As<TWMSetCursor>();
  EXPECT_EQ(SC.CursorWnd, W.Handle);
  EXPECT_EQ(SC.HitTest, HTCLIENT);
  EXPECT_EQ(SC.MouseMsg, WM_MOUSEMOVE);
  POINT P;
  GetCursorPos(P);
  EXPECT_EQ(P, (TPoint{103, 203}));
}

TEST_F(InputRouterTest, TransparentHitPassesToTheParent) {
  TFakeWindow Parent(WindowOrigin, {100, 50});
  TFakeWindow Child({110, 210}, {20, 20}, 0, Parent.Handle);
  Child.On = [](TMessage& M) {
    if (M.Msg != WM_NCHITTEST) return false;
    M.Result = HTTRANSPARENT;
    return true;
  };
  RouteMouse(Child.Handle, TMouseAction::Down, {115, 215}, mbRight, {});
  EXPECT_EQ(Child.Ids(), (std::vector<UINT>{WM_NCHITTEST}));
  EXPECT_EQ(Parent.Ids(), (std::vector<UINT>{WM_NCHITTEST, WM_RBUTTONDOWN}));
}

TEST_F(InputRouterTest, DoubleClicksNeedTheClassStyleTimeAndDistance) {
  struct Case {
    const char* Name;
    UINT Style;
    UInt64 Gap;
    int Dx, Dy;
    UINT Second;
  };
  const Case Cases[] = {
      {"300 ms, 3 px", CS_DBLCLKS, 300, 3, 0, WM_LBUTTONDBLCLK},
      {"without CS_DBLCLKS", 0, 300, 3, 0, WM_LBUTTONDOWN},
      {"600 ms apart", CS_DBLCLKS, 600, 0, 0, WM_LBUTTONDOWN},
      {"at the time limit", CS_DBLCLKS, 500, 0, 0, WM_LBUTTONDBLCLK},
      {"past the time limit", CS_DBLCLKS, 501, 0, 0, WM_LBUTTONDOWN},
      {"4 px away", CS_DBLCLKS, 100, -4, 4, WM_LBUTTONDBLCLK},
      {"5 px across", CS_DBLCLKS, 100, 5, 0, WM_LBUTTONDOWN},
      {"5 px down", CS_DBLCLKS, 100, 0, -5, WM_LBUTTONDOWN},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    test::ResetInput();
    TFakeWindow W(WindowOrigin, {100, 50});
    W.Style = C.Style;
    click(W.Handle, {140, 220});
    Clock.Advance(C.Gap);
    click(W.Handle, {140 + C.Dx, 220 + C.Dy});
    EXPECT_EQ(buttonMessages(W), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, C.Second, WM_LBUTTONUP}));
  }
}

TEST_F(InputRouterTest, DoubleClickPairsDoNotOverlap) {
  TFakeWindow A(WindowOrigin, {100, 50});
  TFakeWindow B({300, 200}, {100, 50});
  A.Style = B.Style = CS_DBLCLKS;
  click(A.Handle, {140, 220});
  click(A.Handle, {140, 220});
  click(A.Handle, {140, 220});  // a third press starts a new pair
  click(B.Handle, {340, 220});  // another window: no pair with A's press
  click(A.Handle, {140, 220}, mbRight);
  click(A.Handle, {140, 220}, mbLeft);  // the right press came between
  EXPECT_EQ(buttonMessages(A), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP,
                                                  WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP,
                                                  WM_LBUTTONDOWN, WM_LBUTTONUP}));
  EXPECT_EQ(buttonMessages(B), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
}

TEST_F(InputRouterTest, CaptureTakesEveryMouseMessageInItsClientCoordinates) {
  TFakeWindow Captor(WindowOrigin, {100, 50});
  TFakeWindow Other({300, 200}, {100, 50});
  RouteMouse(Captor.Handle, TMouseAction::Down, {110, 210}, mbLeft, {});
  EXPECT_EQ(SetCapture(Captor.Handle), nullptr);
  Captor.Log.clear();
  RouteMouse(Other.Handle, TMouseAction::Move, {90, 195}, mbLeft, {});
  RouteMouse(Other.Handle, TMouseAction::Up, {350, 230}, mbLeft, {});
  EXPECT_TRUE(Other.Log.empty());
  EXPECT_EQ(Captor.Ids(), (std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONUP})) << "no hit test, no WM_SETCURSOR";
  EXPECT_EQ(Captor.Log[0].As<TWMMouse>().Pos(), (TPoint{-12, -7})) << "left of and above the window";
  EXPECT_EQ(Captor.Log[0].As<TWMMouse>().Keys, MK_LBUTTON);
  EXPECT_EQ(Captor.Log[1].As<TWMMouse>().Pos(), (TPoint{248, 28}));
  EXPECT_EQ(GetCapture(), Captor.Handle);

  SetCapture(Other.Handle);
  EXPECT_EQ(Captor.Ids().back(), WM_CAPTURECHANGED);
  EXPECT_EQ(LParamToHandle(Captor.Log.back().LParam), Other.Handle);
  ReleaseCapture();
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Other.Ids().back(), WM_CAPTURECHANGED);
}

TEST_F(InputRouterTest, DisabledWindowsGetNoMouseInput) {
  TFakeWindow W(WindowOrigin, {100, 50});
  W.Enabled = false;
  click(W.Handle, {120, 220});
  EXPECT_TRUE(W.Log.empty());
}

TEST_F(InputRouterTest, ClickActivationRunsBeforeThePressIsDispatched) {
  TFakeWindow Form(WindowOrigin, {100, 50});
  TFakeWindow DropDown({300, 200}, {100, 50});
  std::vector<HWND> Activated;
  TInputHooks Hooks;
  Hooks.IsActive = [&](HWND Top) { return Top == DropDown.Handle; };
  Hooks.ActivateByClick = [&](HWND Top) {
    Activated.push_back(Top);
    PostMessage(DropDown.Handle, WM_USER, 0, 0);  // the drop-down closes on deactivation
  };
  SetInputHooks(Hooks);
  bool NoticePending = false;
  Form.On = [&](TMessage& M) {
    MSG Notice;
    if (M.Msg == WM_LBUTTONDOWN)
      NoticePending = PeekMessage(Notice, DropDown.Handle, WM_USER, WM_USER, PM_NOREMOVE);
    return false;
  };
  RouteMouse(Form.Handle, TMouseAction::Down, {120, 220}, mbLeft, {});
  EXPECT_EQ(Form.Ids(), (std::vector<UINT>{WM_NCHITTEST, WM_MOUSEACTIVATE, WM_LBUTTONDOWN}));
  const TWMMouseActivate& MA = Form.Log[1].As<TWMMouseActivate>();
  EXPECT_EQ(MA.TopLevel, Form.Handle);
  EXPECT_EQ(MA.HitTestCode, HTCLIENT);
  EXPECT_EQ(MA.MouseMsg, WM_LBUTTONDOWN);
  EXPECT_EQ(Activated, (std::vector<HWND>{Form.Handle}));
  EXPECT_TRUE(NoticePending) << "the close notice waits while the press is handled";
  EXPECT_EQ(DropDown.Ids(), (std::vector<UINT>{WM_USER}));
}

TEST_F(InputRouterTest, MouseActivateAnswersCanRefuseActivationAndEatThePress) {
  struct Case {
    const char* Name;
    LRESULT Answer;
    bool Activated;
    bool Pressed;
  };
  const Case Cases[] = {
      {"activate", MA_ACTIVATE, true, true},
      {"activate and eat", MA_ACTIVATEANDEAT, true, false},
      {"no activate", MA_NOACTIVATE, false, true},
      {"no activate and eat", MA_NOACTIVATEANDEAT, false, false},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    test::ResetInput();
    TFakeWindow W(WindowOrigin, {100, 50});
    bool Activated = false;
    TInputHooks Hooks;
    Hooks.IsActive = [](HWND) { return false; };
    Hooks.ActivateByClick = [&](HWND) { Activated = true; };
    SetInputHooks(Hooks);
    W.On = [&](TMessage& M) {
      if (M.Msg != WM_MOUSEACTIVATE) return false;
      M.Result = C.Answer;
      return true;
    };
    RouteMouse(W.Handle, TMouseAction::Down, {120, 220}, mbLeft, {});
    EXPECT_EQ(Activated, C.Activated);
    EXPECT_EQ(W.Last(WM_LBUTTONDOWN) != nullptr, C.Pressed);
  }
}

TEST_F(InputRouterTest, WheelGoesToTheFocusedWindowWithScreenPoint) {
  TFakeWindow Grid(WindowOrigin, {100, 50});
  TFakeWindow Edit({300, 200}, {100, 50});
  TInputHooks Hooks;
  Hooks.KeyTarget = [&](HWND) { return Edit.Handle; };
  SetInputHooks(Hooks);
  RouteWheel(Grid.Handle, {130, 220}, -240, {ssCtrl});
  EXPECT_TRUE(Grid.Log.empty());
  ASSERT_EQ(Edit.Ids(), (std::vector<UINT>{WM_MOUSEWHEEL}));
  const TWMMouseWheel& W = Edit.Log[0].As<TWMMouseWheel>();
  EXPECT_EQ(W.WheelDelta, -240);
  EXPECT_EQ(W.Keys, MK_CONTROL);
  EXPECT_EQ(W.XPos, 130);
  EXPECT_EQ(W.YPos, 220);
}

struct TKeyStroke {
  WORD Key;
  TShiftState Shift;
  String Text;
};

// Down and up of each stroke; answers the key and character messages the window got.
std::vector<std::pair<UINT, WPARAM>> typeKeys(TFakeWindow& W, std::initializer_list<TKeyStroke> Strokes) {
  W.Log.clear();
  for (const TKeyStroke& S : Strokes) {
    RouteKey(W.Handle, true, S.Key, S.Shift, S.Text);
    RouteKey(W.Handle, false, S.Key, S.Shift);
  }
  std::vector<std::pair<UINT, WPARAM>> Result;
  for (const TMessage& M : W.Log) Result.push_back({M.Msg, M.WParam});
  return Result;
}

using TKeyLog = std::vector<std::pair<UINT, WPARAM>>;

TEST_F(InputRouterTest, KeysMakeCharactersByOurRules) {
  TFakeWindow W(WindowOrigin, {100, 50});
  struct Case {
    const char* Name;
    TKeyStroke Stroke;
    TKeyLog Expected;
  };
  const Case Cases[] = {
      {"Ctrl+V", {'V', {ssCtrl}, "v"}, {{WM_KEYDOWN, 'V'}, {WM_CHAR, 22}, {WM_KEYUP, 'V'}}},
      {"Ctrl+X without text", {'X', {ssCtrl}, ""}, {{WM_KEYDOWN, 'X'}, {WM_CHAR, 24}, {WM_KEYUP, 'X'}}},
      {"Backspace", {VK_BACK, {}, "\b"}, {{WM_KEYDOWN, VK_BACK}, {WM_CHAR, 8}, {WM_KEYUP, VK_BACK}}},
      {"Enter", {VK_RETURN, {}, "\r"}, {{WM_KEYDOWN, VK_RETURN}, {WM_CHAR, 13}, {WM_KEYUP, VK_RETURN}}},
      {"Ctrl+Enter", {VK_RETURN, {ssCtrl}, ""}, {{WM_KEYDOWN, VK_RETURN}, {WM_CHAR, 10}, {WM_KEYUP, VK_RETURN}}},
      {"Shift+Tab", {VK_TAB, {ssShift}, ""}, {{WM_KEYDOWN, VK_TAB}, {WM_CHAR, 9}, {WM_KEYUP, VK_TAB}}},
      {"Esc", {VK_ESCAPE, {}, "\x1b"}, {{WM_KEYDOWN, VK_ESCAPE}, {WM_CHAR, 27}, {WM_KEYUP, VK_ESCAPE}}},
      {"Alt+X", {'X', {ssAlt}, "x"}, {{WM_SYSKEYDOWN, 'X'}, {WM_SYSCHAR, 'x'}, {WM_SYSKEYUP, 'X'}}},
      {"F10", {VK_F10, {}, ""}, {{WM_SYSKEYDOWN, VK_F10}, {WM_SYSKEYUP, VK_F10}}},
      {"Ctrl+F2", {VK_F2, {ssCtrl}, ""}, {{WM_KEYDOWN, VK_F2}, {WM_KEYUP, VK_F2}}},
      {"Ctrl+1", {'1', {ssCtrl}, "1"}, {{WM_KEYDOWN, '1'}, {WM_KEYUP, '1'}}},
      {"AltGr types the layout's character", {'Q', {ssCtrl, ssAlt}, "@"},
       {{WM_KEYDOWN, 'Q'}, {WM_CHAR, '@'}, {WM_KEYUP, 'Q'}}},
      {"Russian letter on the V key", {'V', {}, QString::fromUtf8("м")},
       {{WM_KEYDOWN, 'V'}, {WM_CHAR, 0x043C}, {WM_KEYUP, 'V'}}},
      {"Shift+A without text", {'A', {ssShift}, ""}, {{WM_KEYDOWN, 'A'}, {WM_CHAR, 'A'}, {WM_KEYUP, 'A'}}},
      {"Shift+7 without text", {'7', {ssShift}, ""}, {{WM_KEYDOWN, '7'}, {WM_CHAR, '&'}, {WM_KEYUP, '7'}}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    test::ResetInput();
    EXPECT_EQ(typeKeys(W, {C.Stroke}), C.Expected);
  }
}

TEST_F(InputRouterTest, CommitsBecomeCharactersPerUtf16Unit) {
  TFakeWindow W(WindowOrigin, {100, 50});
  RouteCommit(W.Handle, QString::fromUtf8("ж"));
  RouteCommit(W.Handle, QString::fromUtf8("\U0001F600"));
  EXPECT_EQ(W.Ids(), (std::vector<UINT>{WM_CHAR, WM_CHAR, WM_CHAR}));
  EXPECT_EQ(W.Log[0].WParam, 0x436u);
  EXPECT_EQ(W.Log[1].WParam, 0xD83Du);
  EXPECT_EQ(W.Log[2].WParam, 0xDE00u);
}

TEST_F(InputRouterTest, KeyDataCarriesScanCodeAltRepeatAndTransition) {
  TFakeWindow W(WindowOrigin, {100, 50});
  RouteKey(W.Handle, true, 'X', {ssAlt}, "x");
  RouteKey(W.Handle, true, 'X', {ssAlt}, "x", /*AutoRepeat=*/true);
  RouteKey(W.Handle, false, 'X', {ssAlt}, "", /*AutoRepeat=*/true);  // auto-repeat ups are dropped
  RouteKey(W.Handle, false, 'X', {ssAlt});
  RouteKey(W.Handle, true, VK_DELETE, {});
  std::vector<std::pair<UINT, std::uint32_t>> Keys;
  for (const TMessage& M : W.Log)
    if (M.Msg != WM_SYSCHAR && M.Msg != WM_CHAR) Keys.push_back({M.Msg, std::uint32_t(M.LParam)});
  EXPECT_EQ(Keys, (std::vector<std::pair<UINT, std::uint32_t>>{
                      {WM_SYSKEYDOWN, 0x202D0001},  // scan code 45, Alt
                      {WM_SYSKEYDOWN, 0x602D0001},  // repeat: previous state down
                      {WM_SYSKEYUP, 0xE02D0001},    // up: previous down, transition
                      {WM_KEYDOWN, 0x01530001},     // Delete: extended, scan code 83
                  }));
}

TEST_F(InputRouterTest, KeyTableFollowsKeysButtonsAndModifiers) {
  TFakeWindow W(WindowOrigin, {100, 50});
  EXPECT_EQ(GetKeyState(VK_CAPITAL), 0);
  RouteKey(W.Handle, true, VK_CAPITAL, {});
  EXPECT_EQ(GetKeyState(VK_CAPITAL), SHORT(0x8001));
  RouteKey(W.Handle, false, VK_CAPITAL, {});
  EXPECT_EQ(GetKeyState(VK_CAPITAL), 1) << "toggled, up";
  EXPECT_EQ(typeKeys(W, {{'A', {}, ""}})[1], (std::pair<UINT, WPARAM>{WM_CHAR, 'A'})) << "Caps Lock on";

  RouteKey(W.Handle, true, VK_CONTROL, {ssCtrl});
  EXPECT_LT(GetKeyState(VK_CONTROL), 0);
  EXPECT_EQ(KeyboardStateToShiftState(), TShiftState({ssCtrl}));
  RouteMouse(W.Handle, TMouseAction::Down, {120, 220}, mbMiddle, {ssCtrl, ssShift});
  EXPECT_LT(GetAsyncKeyState(VK_MBUTTON), 0);
  EXPECT_EQ(KeyboardStateToShiftState(), TShiftState({ssCtrl, ssShift, ssMiddle}));
  EXPECT_EQ(KeysToShiftState(MK_LBUTTON | MK_SHIFT), TShiftState({ssShift, ssLeft}));
  EXPECT_EQ(KeyDataToShiftState(0x20000000), TShiftState({ssShift, ssCtrl, ssAlt}));
  RouteMouse(W.Handle, TMouseAction::Up, {120, 220}, mbMiddle, {});
  EXPECT_EQ(KeyboardStateToShiftState(), TShiftState());
}

TEST_F(InputRouterTest, VirtualKeysOfQtKeys) {
  struct Case {
    const char* Name;
    int Key;
    Qt::KeyboardModifiers Modifiers;
    WORD Expected;
  };
  const Case Cases[] = {
      {"letter", Qt::Key_V, Qt::ControlModifier, 'V'},
      {"digit", Qt::Key_5, Qt::NoModifier, '5'},
      {"shifted digit", Qt::Key_ParenLeft, Qt::ShiftModifier, '9'},
      {"F2", Qt::Key_F2, Qt::NoModifier, VK_F2},
      {"F24", Qt::Key_F24, Qt::NoModifier, VK_F24},
      {"keypad *", Qt::Key_Asterisk, Qt::KeypadModifier, VK_MULTIPLY},
      {"keypad +", Qt::Key_Plus, Qt::KeypadModifier, VK_ADD},
      {"keypad -", Qt::Key_Minus, Qt::KeypadModifier, VK_SUBTRACT},
      {"keypad 7", Qt::Key_7, Qt::KeypadModifier, VK_NUMPAD7},
      {"keypad Home", Qt::Key_Home, Qt::KeypadModifier, VK_HOME},
      {"apostrophe", Qt::Key_Apostrophe, Qt::NoModifier, VK_OEM_7},
      {"Ctrl", Qt::Key_Control, Qt::ControlModifier, VK_CONTROL},
      {"Alt", Qt::Key_Alt, Qt::AltModifier, VK_MENU},
      {"Backtab", Qt::Key_Backtab, Qt::ShiftModifier, VK_TAB},
      {"Russian M on the V key", 0x041C, Qt::ControlModifier, 'V'},
      {"Russian Zhe on the semicolon key", 0x0416, Qt::NoModifier, VK_OEM_1},
      {"Russian Yo on the grave key", 0x0401, Qt::NoModifier, VK_OEM_3},
      {"unknown key", Qt::Key_unknown, Qt::NoModifier, 0},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    // offscreen: the native scan code is no X11 key code and is ignored
    EXPECT_EQ(VirtualKeyFromQt(C.Key, unsigned(C.Modifiers.toInt()), 55), C.Expected);
  }
  EXPECT_EQ(ScanCodeOfVirtualKey('A'), 30);
  EXPECT_EQ(ScanCodeOfVirtualKey(VK_F10), 68);
  EXPECT_EQ(ScanCodeOfVirtualKey(VK_BROWSER_BACK), 0);
}

TEST_F(InputRouterTest, ShortCutsPackModifierBits) {
  EXPECT_EQ(ShortCut('V', {ssCtrl}), 0x4056);
  EXPECT_EQ(ShortCut(VK_DELETE, {ssShift, ssAlt}), scShift | scAlt | VK_DELETE);
  EXPECT_EQ(ShortCut(0x100, {}), scNone);
  Word Key = 0;
  TShiftState Shift;
  ShortCutToKey(scCtrl | scShift | VK_F2, Key, Shift);
  EXPECT_EQ(Key, VK_F2);
  EXPECT_EQ(Shift, TShiftState({ssCtrl, ssShift}));
}

// --- real Qt events -----------------------------------------------------------

class QtEventsTest : public InputRouterTest {
protected:
  void SetUp() override {
    InputRouterTest::SetUp();
    View.resize(100, 50);
    Window.View = &View;
    AttachInput(Window.Handle, &View);
  }

  TFakeWindow Window{WindowOrigin, {100, 50}};
  QWidget View;
};

TEST_F(QtEventsTest, KeyEventsBecomeKeyAndCharacterMessages) {
  QKeyEvent Press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, QStringLiteral("\x16"));
  QKeyEvent Release(QEvent::KeyRelease, Qt::Key_V, Qt::ControlModifier);
  QApplication::sendEvent(&View, &Press);
  QApplication::sendEvent(&View, &Release);
  QKeyEvent Zhe(QEvent::KeyPress, 0x0416, Qt::NoModifier, QString::fromUtf8("ж"));
  QApplication::sendEvent(&View, &Zhe);
  ASSERT_EQ(Window.Ids(), (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYUP, WM_KEYDOWN, WM_CHAR}));
  EXPECT_EQ(Window.Log[0].WParam, 'V');
  EXPECT_EQ(Window.Log[1].WParam, 22u);
  EXPECT_EQ(Window.Log[3].WParam, WPARAM(VK_OEM_1));
  EXPECT_EQ(Window.Log[4].WParam, 0x436u);
}

TEST_F(QtEventsTest, InputMethodCommitsBecomeCharacters) {
  QInputMethodEvent Commit;
  Commit.setCommitString(QString::fromUtf8("жы"));
  QApplication::sendEvent(&View, &Commit);
  EXPECT_EQ(Window.Ids(), (std::vector<UINT>{WM_CHAR, WM_CHAR}));
  EXPECT_EQ(Window.Log[1].WParam, 0x44Bu);
}

TEST_F(QtEventsTest, MouseEventsArePlacedThroughTheWindowModel) {
  // widget (12, 7) = screen (112, 207) = client (10, 5)
  QMouseEvent Press(QEvent::MouseButtonPress, QPointF(12, 7), QPointF(999, 999), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(&View, &Press);
  QMouseEvent Double(QEvent::MouseButtonDblClick, QPointF(12, 7), QPointF(999, 999), Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&View, &Double);  // Qt's own double click is not ours
  QWheelEvent Wheel(QPointF(12, 7), QPointF(999, 999), QPoint(), QPoint(0, 120), Qt::LeftButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(&View, &Wheel);
  EXPECT_EQ(Window.Ids(), (std::vector<UINT>{WM_NCHITTEST, WM_LBUTTONDOWN, WM_MOUSEWHEEL}));
  EXPECT_EQ(Window.Last(WM_LBUTTONDOWN)->As<TWMMouse>().Pos(), (TPoint{10, 5}));
  const TWMMouseWheel& W = Window.Last(WM_MOUSEWHEEL)->As<TWMMouseWheel>();
  EXPECT_EQ(W.WheelDelta, 120);
  EXPECT_EQ(W.XPos, 112);
}

TEST_F(QtEventsTest, NativeWidgetGetsInputOnlyThroughDispatch) {
  QLineEdit Edit(&View);
  AttachInput(Window.Handle, &Edit, /*Native=*/true);
  // the control vetoes one character and takes one key itself
  Window.On = [](TMessage& M) {
    if (M.Msg == WM_CHAR && M.WParam == 'x') {
      M.As<TWMKey>().CharCode = 0;
    }
    return M.Msg == WM_KEYDOWN && M.WParam == VK_HOME;
  };
  for (const char* Text : {"a", "x", "b"}) {
    const int Key = Qt::Key_A + (Text[0] - 'a');
    QKeyEvent Press(QEvent::KeyPress, Key, Qt::NoModifier, QString::fromLatin1(Text));
    QKeyEvent Release(QEvent::KeyRelease, Key, Qt::NoModifier, QString::fromLatin1(Text));
    QApplication::sendEvent(&Edit, &Press);
    QApplication::sendEvent(&Edit, &Release);
  }
  EXPECT_EQ(Edit.text(), QStringLiteral("ab"));
  EXPECT_EQ(Edit.cursorPosition(), 2);
  QKeyEvent Home(QEvent::KeyPress, Qt::Key_Home, Qt::NoModifier);
  QApplication::sendEvent(&Edit, &Home);
  EXPECT_EQ(Edit.cursorPosition(), 2) << "the handler took Home";
  QKeyEvent Left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
  QApplication::sendEvent(&Edit, &Left);
  EXPECT_EQ(Edit.cursorPosition(), 1);
  DetachInput(&Edit);
}

TEST_F(QtEventsTest, PaletteChangeReachesEveryTopLevelWindow) {
  TFakeWindow Child({110, 210}, {20, 20}, 0, Window.Handle);
  const QPalette Saved = QApplication::palette();
  QPalette Changed = Saved;
  Changed.setColor(QPalette::Window, Qt::darkCyan);
  QApplication::setPalette(Changed);
  QApplication::setPalette(Saved);
  const std::vector<UINT> Ids = Window.Ids();
  EXPECT_EQ(std::count(Ids.begin(), Ids.end(), WM_SYSCOLORCHANGE), 2);
  EXPECT_TRUE(Child.Log.empty()) << "children hear of it from their form";
}

}  // namespace
