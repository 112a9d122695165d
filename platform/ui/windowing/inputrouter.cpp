#include "platform/ui/windowing/inputrouter.h"

#include "platform/rtl/clock.h"
#include "platform/rtl/scopeexit.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/windowing/hwnd.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/windowingstate_p.h"

#include <QGuiApplication>
#include <QHash>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWheelEvent>
#include <QWidget>

#include <array>
#include <atomic>
#include <cstdlib>
#include <memory>

using namespace gdi;

namespace {

// ---------------------------------------------------------------------------
// key tables

// Evdev key codes (X11 key code - 8) of the printable block, which are also
// their set-1 scan codes, and the virtual key of each on a US keyboard.
// Virtual keys of letters and punctuation follow the physical key, so
// Ctrl+C and the other letter shortcuts work under any layout.
struct TPhysicalKey {
  int Code;
  WORD VirtualKey;
};
constexpr TPhysicalKey PhysicalKeys[] = {
    {2, '1'},          {3, '2'},           {4, '3'},          {5, '4'},           {6, '5'},
    {7, '6'},          {8, '7'},           {9, '8'},          {10, '9'},          {11, '0'},
    {12, VK_OEM_MINUS}, {13, VK_OEM_PLUS}, {16, 'Q'},         {17, 'W'},          {18, 'E'},
    {19, 'R'},         {20, 'T'},          {21, 'Y'},         {22, 'U'},          {23, 'I'},
    {24, 'O'},         {25, 'P'},          {26, VK_OEM_4},    {27, VK_OEM_6},     {30, 'A'},
    {31, 'S'},         {32, 'D'},          {33, 'F'},         {34, 'G'},          {35, 'H'},
    {36, 'J'},         {37, 'K'},          {38, 'L'},         {39, VK_OEM_1},     {40, VK_OEM_7},
    {41, VK_OEM_3},    {43, VK_OEM_5},     {44, 'Z'},         {45, 'X'},          {46, 'C'},
    {47, 'V'},         {48, 'B'},          {49, 'N'},         {50, 'M'},          {51, VK_OEM_COMMA},
    {52, VK_OEM_PERIOD}, {53, VK_OEM_2},   {86, VK_OEM_102},
};

// Set-1 scan codes of the other keys; the extended ones (E0 prefix) share
// their code with a keypad key and set bit 24 of the key data.
struct TScanCode {
  WORD VirtualKey;
  int Code;
  bool Extended;
};
constexpr TScanCode ScanCodes[] = {
    {VK_ESCAPE, 1, false},   {VK_BACK, 14, false},    {VK_TAB, 15, false},      {VK_RETURN, 28, false},
    {VK_CONTROL, 29, false}, {VK_LCONTROL, 29, false}, {VK_RCONTROL, 29, true}, {VK_SHIFT, 42, false},
    {VK_LSHIFT, 42, false},  {VK_RSHIFT, 54, false},  {VK_MULTIPLY, 55, false}, {VK_MENU, 56, false},
    {VK_LMENU, 56, false},   {VK_RMENU, 56, true},    {VK_SPACE, 57, false},    {VK_CAPITAL, 58, false},
    {VK_F1, 59, false},      {VK_F2, 60, false},      {VK_F3, 61, false},       {VK_F4, 62, false},
    {VK_F5, 63, false},      {VK_F6, 64, false},      {VK_F7, 65, false},       {VK_F8, 66, false},
    {VK_F9, 67, false},      {VK_F10, 68, false},     {VK_NUMLOCK, 69, true},   {VK_SCROLL, 70, false},
    {VK_NUMPAD7, 71, false}, {VK_NUMPAD8, 72, false}, {VK_NUMPAD9, 73, false},  {VK_SUBTRACT, 74, false},
    {VK_NUMPAD4, 75, false}, {VK_NUMPAD5, 76, false}, {VK_NUMPAD6, 77, false},  {VK_ADD, 78, false},
    {VK_NUMPAD1, 79, false}, {VK_NUMPAD2, 80, false}, {VK_NUMPAD3, 81, false},  {VK_NUMPAD0, 82, false},
    {VK_DECIMAL, 83, false}, {VK_F11, 87, false},     {VK_F12, 88, false},      {VK_HOME, 71, true},
    {VK_UP, 72, true},       {VK_PRIOR, 73, true},    {VK_LEFT, 75, true},      {VK_RIGHT, 77, true},
    {VK_END, 79, true},      {VK_DOWN, 80, true},     {VK_NEXT, 81, true},      {VK_INSERT, 82, true},
    {VK_DELETE, 83, true},   {VK_DIVIDE, 53, true},   {VK_SNAPSHOT, 55, true},  {VK_LWIN, 91, true},
    {VK_RWIN, 92, true},     {VK_APPS, 93, true},
};

// Qt keys with a virtual key of their own.
struct TQtKey {
  int Key;
  WORD VirtualKey;
};
constexpr TQtKey QtKeys[] = {
    {Qt::Key_Escape, VK_ESCAPE},   {Qt::Key_Tab, VK_TAB},           {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Backspace, VK_BACK},  {Qt::Key_Return, VK_RETURN},     {Qt::Key_Enter, VK_RETURN},
    {Qt::Key_Insert, VK_INSERT},   {Qt::Key_Delete, VK_DELETE},     {Qt::Key_Pause, VK_PAUSE},
    {Qt::Key_Print, VK_SNAPSHOT},  {Qt::Key_SysReq, VK_SNAPSHOT},   {Qt::Key_Clear, VK_CLEAR},
    {Qt::Key_Home, VK_HOME},       {Qt::Key_End, VK_END},           {Qt::Key_Left, VK_LEFT},
    {Qt::Key_Up, VK_UP},           {Qt::Key_Right, VK_RIGHT},       {Qt::Key_Down, VK_DOWN},
    {Qt::Key_PageUp, VK_PRIOR},    {Qt::Key_PageDown, VK_NEXT},     {Qt::Key_Shift, VK_SHIFT},
    {Qt::Key_Control, VK_CONTROL}, {Qt::Key_Meta, VK_LWIN},         {Qt::Key_Super_L, VK_LWIN},
    {Qt::Key_Super_R, VK_RWIN},    {Qt::Key_Alt, VK_MENU},          {Qt::Key_AltGr, VK_MENU},
    {Qt::Key_CapsLock, VK_CAPITAL}, {Qt::Key_NumLock, VK_NUMLOCK},  {Qt::Key_ScrollLock, VK_SCROLL},
    {Qt::Key_Menu, VK_APPS},       {Qt::Key_Help, VK_HELP},         {Qt::Key_Space, VK_SPACE},
    // shifted digits (US)
    {Qt::Key_Exclam, '1'},         {Qt::Key_At, '2'},               {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},         {Qt::Key_Percent, '5'},          {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},      {Qt::Key_Asterisk, '8'},         {Qt::Key_ParenLeft, '9'},
    {Qt::Key_ParenRight, '0'},
    // punctuation (US positions)
    {Qt::Key_Semicolon, VK_OEM_1}, {Qt::Key_Colon, VK_OEM_1},       {Qt::Key_Equal, VK_OEM_PLUS},
    {Qt::Key_Plus, VK_OEM_PLUS},   {Qt::Key_Comma, VK_OEM_COMMA},   {Qt::Key_Less, VK_OEM_COMMA},
    {Qt::Key_Minus, VK_OEM_MINUS}, {Qt::Key_Underscore, VK_OEM_MINUS}, {Qt::Key_Period, VK_OEM_PERIOD},
    {Qt::Key_Greater, VK_OEM_PERIOD}, {Qt::Key_Slash, VK_OEM_2},    {Qt::Key_Question, VK_OEM_2},
    {Qt::Key_QuoteLeft, VK_OEM_3}, {Qt::Key_AsciiTilde, VK_OEM_3},  {Qt::Key_BracketLeft, VK_OEM_4},
    {Qt::Key_BraceLeft, VK_OEM_4}, {Qt::Key_Backslash, VK_OEM_5},   {Qt::Key_Bar, VK_OEM_5},
    {Qt::Key_BracketRight, VK_OEM_6}, {Qt::Key_BraceRight, VK_OEM_6}, {Qt::Key_Apostrophe, VK_OEM_7},
    {Qt::Key_QuoteDbl, VK_OEM_7},
};

// Keypad keys while NumLock is on.
constexpr TQtKey KeypadKeys[] = {
    {Qt::Key_Asterisk, VK_MULTIPLY}, {Qt::Key_Plus, VK_ADD},     {Qt::Key_Minus, VK_SUBTRACT},
    {Qt::Key_Slash, VK_DIVIDE},      {Qt::Key_Period, VK_DECIMAL}, {Qt::Key_Comma, VK_DECIMAL},
};

// The Russian layout's letters (upper case, as Qt reports them) on their
// physical keys.
constexpr TQtKey CyrillicKeys[] = {
    {0x0419, 'Q'}, {0x0426, 'W'}, {0x0423, 'E'},      {0x041A, 'R'},      {0x0415, 'T'},        {0x041D, 'Y'},
    {0x0413, 'U'}, {0x0428, 'I'}, {0x0429, 'O'},      {0x0417, 'P'},      {0x0425, VK_OEM_4},   {0x042A, VK_OEM_6},
    {0x0424, 'A'}, {0x042B, 'S'}, {0x0412, 'D'},      {0x0410, 'F'},      {0x041F, 'G'},        {0x0420, 'H'},
    {0x041E, 'J'}, {0x041B, 'K'}, {0x0414, 'L'},      {0x0416, VK_OEM_1}, {0x042D, VK_OEM_7},   {0x042F, 'Z'},
    {0x0427, 'X'}, {0x0421, 'C'}, {0x041C, 'V'},      {0x0418, 'B'},      {0x0422, 'N'},        {0x042C, 'M'},
    {0x0411, VK_OEM_COMMA},       {0x042E, VK_OEM_PERIOD},                {0x0401, VK_OEM_3},
};

template <class Table>
WORD lookupKey(const Table& Keys, int Key) {
  for (const TQtKey& K : Keys)
    if (K.Key == Key) return K.VirtualKey;
  return 0;
}

const TScanCode* scanCodeOf(WORD VirtualKey) {
  for (const TScanCode& S : ScanCodes)
    if (S.VirtualKey == VirtualKey) return &S;
  return nullptr;
}

// The characters of an unshifted and a shifted key on a US keyboard.
struct TUsChars {
  WORD VirtualKey;
  char Plain;
  char Shifted;
};
constexpr TUsChars UsChars[] = {
    {'1', '1', '!'}, {'2', '2', '@'}, {'3', '3', '#'}, {'4', '4', '$'}, {'5', '5', '%'},
    {'6', '6', '^'}, {'7', '7', '&'}, {'8', '8', '*'}, {'9', '9', '('}, {'0', '0', ')'},
    {VK_SPACE, ' ', ' '}, {VK_OEM_1, ';', ':'}, {VK_OEM_PLUS, '=', '+'}, {VK_OEM_COMMA, ',', '<'},
    {VK_OEM_MINUS, '-', '_'}, {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'}, {VK_OEM_3, '`', '~'},
    {VK_OEM_4, '[', '{'}, {VK_OEM_5, '\\', '|'}, {VK_OEM_6, ']', '}'}, {VK_OEM_7, '\'', '"'},
    {VK_MULTIPLY, '*', '*'}, {VK_ADD, '+', '+'}, {VK_SUBTRACT, '-', '-'}, {VK_DIVIDE, '/', '/'},
    {VK_DECIMAL, '.', '.'},
};

// ---------------------------------------------------------------------------
// router state

// The Qt event behind the messages of a native widget, for the bridge.
struct TNativeSource {
  QPointer<QWidget> Widget;
  std::unique_ptr<QEvent> Event;
  char16_t PendingHighSurrogate = 0;
};

struct TAttachment {
  HWND Window = nullptr;
  bool Native = false;
};

class TRouterFilter;

struct TLastPress {
  HWND Window = nullptr;
  bool Client = true;
  TMouseButton Button = mbLeft;
  TPoint Point;
  UInt64 Time = 0;
  bool Valid = false;
};

constexpr UINT DefaultDoubleClickTime = 500;

}  // namespace

struct windowing_detail::TRouter {
  // Between tests: hooks, keys, capture, the last press, the cursor and the
  // double-click time go back to start-up; attached widgets stay.
  void Reset();

  TInputHooks Hooks;
  std::array<Byte, 256> Keys{};  // 0x80 down, 0x01 toggled
  HWND Capture = nullptr;
  TLastPress LastPress;
  QHash<QObject*, TAttachment> Attached;
  TRouterFilter* Filter = nullptr;
  QObject* Replaying = nullptr;  // the widget a bridged event is being given to
  // The cursor and the double-click time are read from other threads
  // (message stamps of PostMessage).
  std::atomic<std::int64_t> CursorPacked{0};
  std::atomic<UINT> DoubleClickTime{DefaultDoubleClickTime};
};

namespace {

using windowing_detail::TRouter;

TRouter& router() { return WindowingState().Router.Get(); }

void setCursor(TPoint P) { router().CursorPacked.store((std::int64_t(P.X) << 32) | std::uint32_t(P.Y)); }

TPoint cursor() {
  const std::int64_t V = router().CursorPacked.load();
  return {Integer(V >> 32), Integer(std::uint32_t(V))};
}

bool keyDown(int VirtualKey) { return (router().Keys[VirtualKey & 0xFF] & 0x80) != 0; }

void setKey(int VirtualKey, bool Down) {
  Byte& K = router().Keys[VirtualKey & 0xFF];
  if (Down && !(K & 0x80)) K ^= 0x01;
  K = Down ? (K | 0x80) : (K & ~0x80);
}

// Shift, Ctrl and Alt follow the modifiers every event carries.
void syncModifiers(TShiftState Shift) {
  setKey(VK_SHIFT, Shift.Contains(ssShift));
  setKey(VK_CONTROL, Shift.Contains(ssCtrl));
  setKey(VK_MENU, Shift.Contains(ssAlt));
}

WORD mouseKeys() {
  WORD Keys = 0;
  if (keyDown(VK_LBUTTON)) Keys |= MK_LBUTTON;
  if (keyDown(VK_RBUTTON)) Keys |= MK_RBUTTON;
  if (keyDown(VK_MBUTTON)) Keys |= MK_MBUTTON;
  if (keyDown(VK_SHIFT)) Keys |= MK_SHIFT;
  if (keyDown(VK_CONTROL)) Keys |= MK_CONTROL;
  return Keys;
}

int buttonKey(TMouseButton Button) {
  switch (Button) {
    case mbLeft: return VK_LBUTTON;
    case mbRight: return VK_RBUTTON;
    case mbMiddle: return VK_MBUTTON;
  }
  return VK_LBUTTON;
}

// The client message of a mouse action; the non-client one is $160 lower.
UINT clientMessage(TMouseAction Action, TMouseButton Button, bool Double) {
  constexpr UINT NonClientOffset = WM_MOUSEMOVE - WM_NCMOUSEMOVE;
  static_assert(WM_LBUTTONDBLCLK - NonClientOffset == WM_NCLBUTTONDBLCLK);
  if (Action == TMouseAction::Move) return WM_MOUSEMOVE;
  const UINT Down = Button == mbLeft ? WM_LBUTTONDOWN : Button == mbRight ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
  if (Action == TMouseAction::Up) return Down + 1;
  return Double ? Down + 2 : Down;
}

UINT nonClient(UINT ClientMsg) { return ClientMsg - (WM_MOUSEMOVE - WM_NCMOUSEMOVE); }

// A second press of the same button in the same part of the same window,
// close enough in time and place.
bool isDoubleClick(HWND Window, bool Client, TMouseButton Button, TPoint Point, UInt64 Now) {
  TLastPress& L = router().LastPress;
  const bool Double = L.Valid && L.Window == Window && L.Client == Client && L.Button == Button &&
                      Now - L.Time <= GetDoubleClickTime() &&
                      std::abs(Point.X - L.Point.X) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
                      std::abs(Point.Y - L.Point.Y) <= GetSystemMetrics(SM_CYDOUBLECLK);
  if (Double)
    L.Valid = false;  // a third press starts a new pair
  else
    L = {Window, Client, Button, Point, Now, true};
  return Double;
}

// Click activation, run when the press is taken out of the queue: answers
// whether the press stays.
std::function<bool()> clickActivation(HWND Target, LRESULT Hit, UINT Msg) {
  return [Target, Hit, Msg] {
    const TInputHooks& H = router().Hooks;
    const HWND Top = TopLevelWindow(Target);
    if (!Top || !H.IsActive || H.IsActive(Top)) return true;
    const LRESULT Answer =
        SendMessage(Target, WM_MOUSEACTIVATE, HandleToWParam(Top), MAKELPARAM(WORD(Hit), WORD(Msg)));
    if (Answer != MA_NOACTIVATE && Answer != MA_NOACTIVATEANDEAT && H.ActivateByClick) H.ActivateByClick(Top);
    return Answer != MA_ACTIVATEANDEAT && Answer != MA_NOACTIVATEANDEAT;
  };
}

void queueInput(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam, String Text = String(),
                std::shared_ptr<void> Source = nullptr, std::function<bool()> OnRemove = nullptr) {
  MSG M{Window, Msg, WParam, LParam, 0, cursor()};
  ui_detail::QueueInput({M, std::move(Text), std::move(Source), std::move(OnRemove)});
}

void routeMouse(HWND Window, TMouseAction Action, TPoint Screen, TMouseButton Button, TShiftState Shift,
                std::shared_ptr<void> Source) {
  TRouter& R = router();
  setCursor(Screen);
  syncModifiers(Shift);
  if (Action != TMouseAction::Move) setKey(buttonKey(Button), Action == TMouseAction::Down);
  const UInt64 Now = GetTickCount64();

  HWND Target = R.Capture && IsWindow(R.Capture) ? R.Capture : nullptr;
  if (Target) {
    // The capture window takes everything in its client coordinates.
    IWindow* Object = FindWindowObject(Target);
    const bool Double = Action == TMouseAction::Down &&
                        isDoubleClick(Target, true, Button, Screen, Now) &&
                        (Object->ClassStyle() & CS_DBLCLKS);
    queueInput(Target, clientMessage(Action, Button, Double), mouseKeys(),
               PointToLParam(Object->ScreenToClient(Screen)), String(), std::move(Source));
  } else {
    IWindow* Object = FindWindowObject(Window);
    if (!Object || !Object->AcceptsInput()) return;
    Target = Window;
    LRESULT Hit = SendMessage(Target, WM_NCHITTEST, 0, PointToLParam(Screen));
    while (Hit == HTTRANSPARENT) {
      const HWND Parent = Object->ParentWindow();
      IWindow* ParentObject = FindWindowObject(Parent);
      if (!ParentObject) break;
      Target = Parent;
      Object = ParentObject;
      Hit = SendMessage(Target, WM_NCHITTEST, 0, PointToLParam(Screen));
    }
    if (!IsWindow(Target)) return;  // a hit-test handler destroyed it
    const bool Client = Hit == HTCLIENT;
    if (Action == TMouseAction::Move)
      SendMessage(Target, WM_SETCURSOR, HandleToWParam(Target), MAKELPARAM(WORD(Hit), WORD(WM_MOUSEMOVE)));
    const bool Double = Action == TMouseAction::Down && isDoubleClick(Target, Client, Button, Screen, Now) &&
                        (!Client || (Object->ClassStyle() & CS_DBLCLKS));
    const UINT Msg = clientMessage(Action, Button, Double);
    std::function<bool()> Activation;
    if (Action == TMouseAction::Down) Activation = clickActivation(Target, Hit, Client ? Msg : nonClient(Msg));
    if (Client)
      queueInput(Target, Msg, mouseKeys(), PointToLParam(Object->ScreenToClient(Screen)), String(),
                 std::move(Source), std::move(Activation));
    else
      queueInput(Target, nonClient(Msg), WPARAM(Hit), PointToLParam(Screen), String(), std::move(Source),
                 std::move(Activation));
  }
  if (R.Hooks.MouseMoved) R.Hooks.MouseMoved(Target, Screen);
  ui_detail::DrainInput();
}

HWND keyTarget(HWND Arrived) {
  const TInputHooks& H = router().Hooks;
  const HWND Target = H.KeyTarget ? H.KeyTarget(Arrived) : Arrived;
  return IsWindow(Target) ? Target : nullptr;
}

void routeWheel(HWND Window, TPoint Screen, int Delta, TShiftState Shift, std::shared_ptr<void> Source) {
  setCursor(Screen);
  syncModifiers(Shift);
  const HWND Target = keyTarget(Window);
  if (!Target) return;
  queueInput(Target, WM_MOUSEWHEEL, MAKEWPARAM(mouseKeys(), WORD(SHORT(Delta))), PointToLParam(Screen), String(),
             std::move(Source));
  ui_detail::DrainInput();
}

void routeKey(HWND Window, bool Down, WORD VirtualKey, TShiftState Shift, const String& Text, bool AutoRepeat,
              int ScanCode, bool Extended, std::shared_ptr<void> Source) {
  if (!Down && AutoRepeat) return;  // auto-repeat makes further downs only
  syncModifiers(Shift);
  const bool Repeat = Down && (AutoRepeat || keyDown(VirtualKey));
  setKey(VirtualKey, Down);
  const HWND Target = keyTarget(Window);
  if (!Target) return;
  const bool Alt = VirtualKey == VK_MENU ? Down : Shift.Contains(ssAlt);
  const bool System = (Alt && !Shift.Contains(ssCtrl)) || VirtualKey == VK_F10;
  const std::uint32_t KeyData = 1 | (std::uint32_t(ScanCode & 0xFF) << 16) | (Extended ? 1u << 24 : 0) |
                                (Alt ? 1u << 29 : 0) | (Repeat || !Down ? 1u << 30 : 0) | (Down ? 0 : 1u << 31);
  const UINT Msg = Down ? (System ? WM_SYSKEYDOWN : WM_KEYDOWN) : (System ? WM_SYSKEYUP : WM_KEYUP);
  queueInput(Target, Msg, VirtualKey, LPARAM(KeyData),
             Down ? KeyCharacters(VirtualKey, Shift, Text) : String(), std::move(Source));
  ui_detail::DrainInput();
}

void routeCommit(HWND Window, const String& Text, std::shared_ptr<void> Source) {
  const HWND Target = keyTarget(Window);
  if (!Target || Text.isEmpty()) return;
  for (QChar C : Text) queueInput(Target, WM_CHAR, C.unicode(), 1, String(), Source);
  ui_detail::DrainInput();
}

// ---------------------------------------------------------------------------
// Qt events

TShiftState shiftOf(Qt::KeyboardModifiers Modifiers) {
  TShiftState S;
  if (Modifiers & Qt::ShiftModifier) S.Include(ssShift);
  if (Modifiers & Qt::ControlModifier) S.Include(ssCtrl);
  if (Modifiers & Qt::AltModifier) S.Include(ssAlt);
  return S;
}

bool buttonOf(Qt::MouseButton Qt, TMouseButton& Button) {
  switch (Qt) {
    case Qt::LeftButton: Button = mbLeft; return true;
    case Qt::RightButton: Button = mbRight; return true;
    case Qt::MiddleButton: Button = mbMiddle; return true;
    default: return false;
  }
}

// The screen point of a position in Widget, through the window model when
// the widget is the window's own or inside it.
TPoint screenOf(HWND Window, QWidget* Widget, QPointF Position) {
  IWindow* Object = FindWindowObject(Window);
  QPoint Local = Position.toPoint();
  QWidget* Container = Object ? Object->Widget() : nullptr;
  if (Container && Container != Widget && Container->isAncestorOf(Widget)) Local = Widget->mapTo(Container, Local);
  if (!Object || (Container && Container != Widget && !Container->isAncestorOf(Widget))) {
    const QPoint Global = Widget->mapToGlobal(Position.toPoint());
    return {Global.x(), Global.y()};
  }
  return Object->WidgetToScreen({Local.x(), Local.y()});
}

std::shared_ptr<void> nativeSource(QWidget* Widget, const QEvent* Event) {
  auto Source = std::make_shared<TNativeSource>();
  Source->Widget = Widget;
  Source->Event.reset(Event->clone());
  return Source;
}

class TRouterFilter : public QObject {
public:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    TRouter& R = router();
    if (Watched == R.Replaying) return false;
    auto It = R.Attached.constFind(Watched);
    if (It == R.Attached.constEnd()) return false;
    const TAttachment A = *It;
    auto* Widget = static_cast<QWidget*>(Watched);
    const auto Source = [&] { return A.Native ? nativeSource(Widget, Event) : nullptr; };
    switch (Event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseMove: {
        auto* M = static_cast<QMouseEvent*>(Event);
        TMouseButton Button = mbLeft;
        const TMouseAction Action = Event->type() == QEvent::MouseMove            ? TMouseAction::Move
                                    : Event->type() == QEvent::MouseButtonPress ? TMouseAction::Down
                                                                                 : TMouseAction::Up;
        if (Action != TMouseAction::Move && !buttonOf(M->button(), Button)) return true;
        routeMouse(A.Window, Action, screenOf(A.Window, Widget, M->position()), Button, shiftOf(M->modifiers()),
                   Source());
        return true;
      }
      case QEvent::MouseButtonDblClick:
        return true;  // double clicks are ours: the second press already came
      case QEvent::Wheel: {
        auto* W = static_cast<QWheelEvent*>(Event);
        if (W->angleDelta().y() != 0)
          routeWheel(A.Window, screenOf(A.Window, Widget, W->position()), W->angleDelta().y(),
                     shiftOf(W->modifiers()), Source());
        return true;
      }
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
        key(A.Window, static_cast<QKeyEvent*>(Event), Source());
        return true;
      case QEvent::InputMethod: {
        auto* I = static_cast<QInputMethodEvent*>(Event);
        routeCommit(A.Window, I->commitString(), Source());
        return true;
      }
      case QEvent::WindowActivate:
      case QEvent::WindowDeactivate:
        if (R.Hooks.WindowActivation && Widget->isWindow())
          R.Hooks.WindowActivation(TopLevelWindow(A.Window), Event->type() == QEvent::WindowActivate);
        return false;
      default:
        return false;
    }
  }

private:
  static void key(HWND Window, QKeyEvent* K, std::shared_ptr<void> Source) {
    const bool Down = K->type() == QEvent::KeyPress;
    const WORD VirtualKey = VirtualKeyFromQt(K->key(), K->modifiers(), K->nativeScanCode());
    if (!VirtualKey) {
      // A key without a virtual key (a symbol of another layout) still types.
      if (Down) routeCommit(Window, K->text(), std::move(Source));
      return;
    }
    const TScanCode* Scan = scanCodeOf(VirtualKey);
    // Navigation keys on the keypad are the non-extended twins; keypad Enter is extended.
    const bool Keypad = K->modifiers() & Qt::KeypadModifier;
    const bool Extended = Keypad ? VirtualKey == VK_RETURN : (Scan && Scan->Extended);
    routeKey(Window, Down, VirtualKey, shiftOf(K->modifiers()), K->text(), K->isAutoRepeat(),
             ScanCodeOfVirtualKey(VirtualKey), Extended, std::move(Source));
  }

};

// Watches the application object for system changes.  A filter on the
// application sees every event of every object, so it lets all others pass
// untouched.
class TSystemFilter : public QObject {
public:
  using QObject::QObject;
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (Watched != QCoreApplication::instance()) return false;
    switch (Event->type()) {
      case QEvent::ApplicationPaletteChange: BroadcastToTopLevels(WM_SYSCOLORCHANGE, 0, 0); break;
      case QEvent::LocaleChange: BroadcastToTopLevels(WM_SETTINGCHANGE, 0, 0); break;
      // the application window passes it on to every window
      case QEvent::ThemeChange: SendMessage(ApplicationHandle(), WM_THEMECHANGED, 0, 0); break;
      default: break;
    }
    return false;
  }
};

TRouterFilter& filter() {
  TRouter& R = router();
  if (!R.Filter) {
    R.Filter = new TRouterFilter;
    if (QCoreApplication* App = QCoreApplication::instance()) App->installEventFilter(new TSystemFilter(App));
  }
  return *R.Filter;
}

// Sends Event to the native widget past the router.
void giveToWidget(QWidget* Widget, QEvent* Event) {
  TRouter& R = router();
  QObject* Previous = R.Replaying;
  R.Replaying = Widget;
  const TScopeExit Restore([&R, Previous] { R.Replaying = Previous; });
  QCoreApplication::sendEvent(Widget, Event);
}

bool physicalKeysKnown() {
  const QString Platform = QGuiApplication::platformName();
  return Platform == QLatin1String("xcb") || Platform.startsWith(QLatin1String("wayland"));
}

}  // namespace

// ---------------------------------------------------------------------------
// widgets and hooks

void AttachInput(HWND Window, QWidget* Widget, bool Native) {
  assert(Widget && "attaching no widget");
  TRouter& R = router();
  TRouterFilter& F = filter();
  if (!R.Attached.contains(Widget)) {
    Widget->installEventFilter(&F);
    QObject::connect(Widget, &QObject::destroyed, &F, [](QObject* Gone) { router().Attached.remove(Gone); });
  }
  R.Attached.insert(Widget, {Window, Native});
  Widget->setAttribute(Qt::WA_InputMethodEnabled);
}

void DetachInput(QWidget* Widget) {
  TRouter& R = router();
  if (!R.Attached.remove(Widget)) return;
  Widget->removeEventFilter(R.Filter);
  QObject::disconnect(Widget, &QObject::destroyed, R.Filter, nullptr);
}

bool DeliverToNativeWidget(HWND Window, const TMessage& Message) {
  const auto Source = std::static_pointer_cast<TNativeSource>(ui_detail::DispatchedSource(Window, Message.Msg));
  if (!Source || !Source->Widget) return false;
  QEvent* Original = Source->Event.get();
  switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP: {
      if (Message.WParamLo() == 0) return false;
      auto* K = static_cast<QKeyEvent*>(Original);
      if (Original->type() != QEvent::KeyPress && Original->type() != QEvent::KeyRelease) return false;
      // The characters come separately with WM_CHAR, so the widget sees only the key here.
      QKeyEvent Key(K->type(), K->key(), K->modifiers(), K->nativeScanCode(), K->nativeVirtualKey(),
                    K->nativeModifiers(), QString(), K->isAutoRepeat(), K->count());
      giveToWidget(Source->Widget, &Key);
      return true;
    }
    case WM_CHAR:
    case WM_SYSCHAR: {
      const char16_t Unit = Message.WParamLo();
      if (Unit == 0) return false;
      if (QChar::isHighSurrogate(Unit)) {
        Source->PendingHighSurrogate = Unit;
        return true;
      }
      QString Text;
      if (QChar::isLowSurrogate(Unit) && Source->PendingHighSurrogate) Text += QChar(Source->PendingHighSurrogate);
      Text += QChar(Unit);
      Source->PendingHighSurrogate = 0;
      if (Original->type() == QEvent::InputMethod) {
        QInputMethodEvent Commit;
        Commit.setCommitString(Text);
        giveToWidget(Source->Widget, &Commit);
      } else {
        const auto* K = static_cast<QKeyEvent*>(Original);
        QKeyEvent Typed(QEvent::KeyPress, 0, K->modifiers(), Text);
        giveToWidget(Source->Widget, &Typed);
      }
      return true;
    }
    default: {
      const QEvent::Type T = Original->type();
      const bool Mouse = T == QEvent::MouseButtonPress || T == QEvent::MouseButtonRelease ||
                         T == QEvent::MouseMove || T == QEvent::Wheel;
      if (!Mouse) return false;
      std::unique_ptr<QEvent> Copy(Original->clone());
      giveToWidget(Source->Widget, Copy.get());
      return true;
    }
  }
}

TInputHooks SetInputHooks(TInputHooks Hooks) {
  std::swap(router().Hooks, Hooks);
  return Hooks;
}

// ---------------------------------------------------------------------------
// entry points

void RouteMouse(HWND Window, TMouseAction Action, TPoint ScreenPoint, TMouseButton Button, TShiftState Shift) {
  routeMouse(Window, Action, ScreenPoint, Button, Shift, nullptr);
}

void RouteWheel(HWND Window, TPoint ScreenPoint, int Delta, TShiftState Shift) {
  routeWheel(Window, ScreenPoint, Delta, Shift, nullptr);
}

void RouteKey(HWND Window, bool Down, WORD VirtualKey, TShiftState Shift, const String& Text, bool AutoRepeat,
              int ScanCode) {
  const TScanCode* Scan = scanCodeOf(VirtualKey);
  routeKey(Window, Down, VirtualKey, Shift, Text, AutoRepeat, ScanCode ? ScanCode : ScanCodeOfVirtualKey(VirtualKey),
           Scan && Scan->Extended, nullptr);
}

void RouteCommit(HWND Window, const String& Text) { routeCommit(Window, Text, nullptr); }

void BroadcastToTopLevels(UINT Msg, WPARAM WParam, LPARAM LParam) {
  ForEachWindowHandle([&](HWND Window) {
    IWindow* Object = FindWindowObject(Window);
    if (Object && !Object->ParentWindow()) SendMessage(Window, Msg, WParam, LParam);
  });
}

// ---------------------------------------------------------------------------
// keys

WORD VirtualKeyFromQt(int QtKey, unsigned QtModifiers, unsigned NativeScanCode) {
  const bool Keypad = QtModifiers & Qt::KeypadModifier;
  constexpr unsigned X11KeyCodeOffset = 8;
  if (!Keypad && NativeScanCode > X11KeyCodeOffset && physicalKeysKnown()) {
    const int Code = int(NativeScanCode - X11KeyCodeOffset);
    for (const TPhysicalKey& K : PhysicalKeys)
      if (K.Code == Code) return K.VirtualKey;
  }
  if (Keypad) {
    if (QtKey >= Qt::Key_0 && QtKey <= Qt::Key_9) return WORD(VK_NUMPAD0 + (QtKey - Qt::Key_0));
    if (const WORD VK = lookupKey(KeypadKeys, QtKey)) return VK;
  }
  if (QtKey >= Qt::Key_A && QtKey <= Qt::Key_Z) return WORD('A' + (QtKey - Qt::Key_A));
  if (QtKey >= Qt::Key_0 && QtKey <= Qt::Key_9) return WORD('0' + (QtKey - Qt::Key_0));
  if (QtKey >= Qt::Key_F1 && QtKey <= Qt::Key_F24) return WORD(VK_F1 + (QtKey - Qt::Key_F1));
  if (const WORD VK = lookupKey(QtKeys, QtKey)) return VK;
  return lookupKey(CyrillicKeys, QtKey);
}

int ScanCodeOfVirtualKey(WORD VirtualKey) {
  for (const TPhysicalKey& K : PhysicalKeys)
    if (K.VirtualKey == VirtualKey) return K.Code;
  const TScanCode* S = scanCodeOf(VirtualKey);
  return S ? S->Code : 0;
}

String KeyCharacters(WORD VirtualKey, TShiftState Shift, const String& Text) {
  const bool Ctrl = Shift.Contains(ssCtrl);
  const bool Alt = Shift.Contains(ssAlt);
  if (Ctrl && !Alt) {
    // Ctrl with Alt is AltGr and types the layout's character.
    if (VirtualKey >= 'A' && VirtualKey <= 'Z') return String(QChar(char16_t(VirtualKey - 'A' + 1)));
    switch (VirtualKey) {
      case VK_OEM_4: return String(QChar(char16_t(27)));
      case VK_OEM_5: return String(QChar(char16_t(28)));
      case VK_OEM_6: return String(QChar(char16_t(29)));
      case VK_RETURN: return String(QChar(char16_t(10)));
      case VK_BACK: return String(QChar(char16_t(127)));
      default: return String();
    }
  }
  switch (VirtualKey) {
    case VK_RETURN: return String(QChar(char16_t(13)));
    case VK_BACK: return String(QChar(char16_t(8)));
    case VK_TAB: return String(QChar(char16_t(9)));
    case VK_ESCAPE: return String(QChar(char16_t(27)));
    default: break;
  }
  if (!Text.isEmpty()) {
    String Printable;
    for (QChar C : Text)
      if (C.unicode() >= 0x20 && C.unicode() != 0x7F) Printable += C;
    return Printable;
  }
  // No text from the platform: the US layout's character of the key.
  if (VirtualKey >= 'A' && VirtualKey <= 'Z') {
    const bool Upper = Shift.Contains(ssShift) != ((router().Keys[VK_CAPITAL] & 0x01) != 0);
    return String(QChar(char16_t(Upper ? VirtualKey : VirtualKey - 'A' + 'a')));
  }
  if (VirtualKey >= VK_NUMPAD0 && VirtualKey <= VK_NUMPAD9) return String(QChar(char16_t('0' + VirtualKey - VK_NUMPAD0)));
  for (const TUsChars& C : UsChars)
    if (C.VirtualKey == VirtualKey) return String(QChar(Shift.Contains(ssShift) ? C.Shifted : C.Plain));
  return String();
}

TShortCut ShortCut(Word Key, TShiftState Shift) {
  if (Key & 0xFF00) return scNone;
  TShortCut Result = Key;
  if (Shift.Contains(ssShift)) Result |= scShift;
  if (Shift.Contains(ssCtrl)) Result |= scCtrl;
  if (Shift.Contains(ssAlt)) Result |= scAlt;
  return Result;
}

void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift) {
  Key = ShortCut & ~(scShift | scCtrl | scAlt);
  Shift = TShiftState();
  if (ShortCut & scShift) Shift.Include(ssShift);
  if (ShortCut & scCtrl) Shift.Include(ssCtrl);
  if (ShortCut & scAlt) Shift.Include(ssAlt);
}

TShiftState KeysToShiftState(Word Keys) {
  TShiftState S;
  if (Keys & MK_SHIFT) S.Include(ssShift);
  if (Keys & MK_CONTROL) S.Include(ssCtrl);
  if (Keys & MK_LBUTTON) S.Include(ssLeft);
  if (Keys & MK_RBUTTON) S.Include(ssRight);
  if (Keys & MK_MBUTTON) S.Include(ssMiddle);
  if (keyDown(VK_MENU)) S.Include(ssAlt);
  return S;
}

TShiftState KeyDataToShiftState(Integer KeyData) {
  constexpr Integer AltMask = 0x20000000;
  TShiftState S;
  if (keyDown(VK_SHIFT)) S.Include(ssShift);
  if (keyDown(VK_CONTROL)) S.Include(ssCtrl);
  if (KeyData & AltMask) S.Include(ssAlt);
  return S;
}

TShiftState KeyboardStateToShiftState() {
  TShiftState S;
  if (keyDown(VK_SHIFT)) S.Include(ssShift);
  if (keyDown(VK_CONTROL)) S.Include(ssCtrl);
  if (keyDown(VK_MENU)) S.Include(ssAlt);
  if (keyDown(VK_LBUTTON)) S.Include(ssLeft);
  if (keyDown(VK_RBUTTON)) S.Include(ssRight);
  if (keyDown(VK_MBUTTON)) S.Include(ssMiddle);
  return S;
}

namespace gdi {

SHORT GetKeyState(int VirtualKey) {
  const Byte K = router().Keys[VirtualKey & 0xFF];
  return SHORT((K & 0x80 ? 0x8000 : 0) | (K & 0x01));
}

SHORT GetAsyncKeyState(int VirtualKey) { return GetKeyState(VirtualKey); }

HWND SetCapture(HWND Window) {
  TRouter& R = router();
  const HWND Previous = R.Capture;
  if (Window == Previous || !IsWindow(Window)) return Previous;
  R.Capture = Window;
  if (IWindow* Old = FindWindowObject(Previous))
    if (QWidget* W = Old->Widget()) W->releaseMouse();
  if (QWidget* W = FindWindowObject(Window)->Widget())
    if (W->isVisible()) W->grabMouse();
  if (Previous) SendMessage(Previous, WM_CAPTURECHANGED, 0, HandleToLParam(Window));
  return Previous;
}

BOOL ReleaseCapture() {
  TRouter& R = router();
  const HWND Previous = R.Capture;
  if (!Previous) return true;
  R.Capture = nullptr;
  if (IWindow* Old = FindWindowObject(Previous))
    if (QWidget* W = Old->Widget()) W->releaseMouse();
  SendMessage(Previous, WM_CAPTURECHANGED, 0, 0);
  return true;
}

HWND GetCapture() { return router().Capture; }

BOOL GetCursorPos(POINT& Point) {
  Point = cursor();
  return true;
}

BOOL SetCursorPos(int X, int Y) {
  setCursor({X, Y});
  return true;
}

UINT GetDoubleClickTime() { return router().DoubleClickTime.load(); }

BOOL SetDoubleClickTime(UINT Milliseconds) {
  router().DoubleClickTime.store(Milliseconds ? Milliseconds : DefaultDoubleClickTime);
  return true;
}

}  // namespace gdi

namespace ui_detail {

void ForgetWindowInput(HWND Window) {
  TRouter& R = router();
  if (R.Capture == Window) R.Capture = nullptr;
  if (R.LastPress.Window == Window) R.LastPress.Valid = false;
  for (auto It = R.Attached.begin(); It != R.Attached.end();) {
    if (It->Window == Window) {
      It.key()->removeEventFilter(R.Filter);
      QObject::disconnect(It.key(), &QObject::destroyed, R.Filter, nullptr);
      It = R.Attached.erase(It);
    } else {
      ++It;
    }
  }
}

}  // namespace ui_detail

namespace test {

void ResetInput() { router().Reset(); }

}  // namespace test

void windowing_detail::TRouter::Reset() {
  Hooks = TInputHooks();
  Keys.fill(0);
  Capture = nullptr;
  LastPress = TLastPress();
  setCursor({0, 0});
  DoubleClickTime.store(DefaultDoubleClickTime);
}
