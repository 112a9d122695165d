// The input router: Qt input events become window messages.
//
// Every widget the windowing layer attaches (a window's container widget, or
// a native Qt widget a control hosts) has its input events caught here and
// turned into messages for its window, which are queued as input and drained
// at once (msgqueue.h).  Tests inject at the same entry points (RouteMouse,
// RouteKey ...) that the Qt events end in.
//
// Mouse, per event (screen coordinates throughout the entry points):
//   - with a capture window, every mouse message goes to it in its client
//     coordinates, without hit test or WM_SETCURSOR;
//   - else WM_NCHITTEST (HTTRANSPARENT passes to the parent), then for a move
//     WM_SETCURSOR; HTCLIENT gives the client message (client point, MK_*),
//     anything else the WM_NC* message (screen point, WParam = hit code);
//   - a press whose top level is not the active one sends WM_MOUSEACTIVATE
//     when the press is taken out of the queue, before it is dispatched, and
//     activates the top level unless the answer is MA_NOACTIVATE...; the
//     ...ANDEAT answers drop the press;
//   - a second press of the same button in the same window within
//     GetDoubleClickTime ms and SM_CXDOUBLECLK x SM_CYDOUBLECLK pixels of the
//     first becomes WM_xBUTTONDBLCLK when the window class has CS_DBLCLKS
//     (non-client presses always);
//   - windows that do not accept input (disabled) get nothing.
// Wheel: WM_MOUSEWHEEL to the key target (the focused window), screen point.
// Keys: WM_KEYDOWN / WM_KEYUP, or WM_SYSKEYDOWN / WM_SYSKEYUP with Alt (and
//   no Ctrl) or for F10; auto-repeat gives further downs with bit 30 set and
//   no ups.  The VK of letters, digits and punctuation comes from the
//   physical key (X11 key code) when the platform reports one, else from the
//   Qt key, with the Russian layout's letters placed on their keys.
//   TranslateMessage then posts one WM_CHAR (WM_SYSCHAR with Alt) per UTF-16
//   unit of the key's text; control characters follow our rules: Ctrl+A..Z
//   1..26, Ctrl+[ \ ] 27..29, Enter 13, Ctrl+Enter 10, Backspace 8
//   (Ctrl+Backspace 127), Tab 9, Esc 27; other Ctrl keys make none.
// Input-method commits become WM_CHAR per UTF-16 unit; there are no WM_IME_*
//   messages.
// System changes (palette, locale, theme) send WM_SYSCOLORCHANGE,
//   WM_SETTINGCHANGE, WM_THEMECHANGED to every top-level and utility window.
#pragma once

#include "platform/ui/windowing/messages.h"

#include <functional>

class QWidget;

// ---------------------------------------------------------------------------
// widgets and hooks

// Input of Widget becomes messages for Window.  A Native widget (a Qt control
// a windowed control hosts) gets its input only through dispatch: the
// control's default handling hands it back with DeliverToNativeWidget.
// Attaching a widget again re-targets it.
void AttachInput(gdi::HWND Window, QWidget* Widget, bool Native = false);
// Input of Widget is Qt's again.
void DetachInput(QWidget* Widget);
// The native-widget bridge: when Message is being dispatched from a Qt event
// of a native widget of Window, gives the event to that widget (a key down
// without its text, a character as text only, mouse events as they came) and
// answers True.  Handlers that zero CharCode or take the message win, because
// the widget sees the event only here.
bool DeliverToNativeWidget(gdi::HWND Window, const TMessage& Message);

// What the focus and activation layer adds to the router.
struct TInputHooks {
  // The window key messages, characters and the wheel go to (the focused
  // window), given the window whose widget got the event; unset: that window.
  std::function<gdi::HWND(gdi::HWND Arrived)> KeyTarget;
  // Whether a top-level window is the active one; unset: always (no click
  // activation).
  std::function<bool(gdi::HWND TopLevel)> IsActive;
  // Activates a top level after a click (WM_ACTIVATE WA_INACTIVE to the old
  // one, WA_CLICKACTIVE to the new).
  std::function<void(gdi::HWND TopLevel)> ActivateByClick;
  // The window system activated or deactivated a top level.
  std::function<void(gdi::HWND TopLevel, bool Active)> WindowActivation;
  // After each routed mouse event: the cursor's screen position and the
  // window the event went to (mouse enter/leave, hints).
  std::function<void(gdi::HWND Window, TPoint ScreenPoint)> MouseMoved;
};
// Installs the hooks and returns the previous ones.
TInputHooks SetInputHooks(TInputHooks Hooks);

// ---------------------------------------------------------------------------
// entry points

enum class TMouseAction { Down, Up, Move };

// A mouse event over Window (the window whose widget got it).  Shift gives
// ssShift, ssCtrl, ssAlt; the button state is the router's own.
void RouteMouse(gdi::HWND Window, TMouseAction Action, TPoint ScreenPoint, TMouseButton Button, TShiftState Shift);
// A wheel turn of Delta (120 = one notch away from the user).
void RouteWheel(gdi::HWND Window, TPoint ScreenPoint, int Delta, TShiftState Shift);
// A key going down or up in Window.  Text: the characters the key types (may
// be empty); ScanCode 0 takes the usual one for the key.
void RouteKey(gdi::HWND Window, bool Down, gdi::WORD VirtualKey, TShiftState Shift, const String& Text = String(),
              bool AutoRepeat = false, int ScanCode = 0);
// An input-method commit in Window.
void RouteCommit(gdi::HWND Window, const String& Text);
// Sends Msg to every top-level and utility window (system change notices).
void BroadcastToTopLevels(gdi::UINT Msg, gdi::WPARAM WParam, gdi::LPARAM LParam);

// ---------------------------------------------------------------------------
// keys

// The virtual key of a Qt key event: from the physical key when
// NativeScanCode is an X11 key code (on X11 and Wayland), else from the Qt
// key and the keypad modifier.  0 when the key has none.
gdi::WORD VirtualKeyFromQt(int QtKey, unsigned QtModifiers, unsigned NativeScanCode);
// The set-1 scan code of a virtual key (MapVirtualKey); 0 when unknown.
int ScanCodeOfVirtualKey(gdi::WORD VirtualKey);
// The characters TranslateMessage makes for a key (see the rules above).
String KeyCharacters(gdi::WORD VirtualKey, TShiftState Shift, const String& Text);

// Shortcuts: the key plus modifier bits.
using TShortCut = Word;
inline constexpr TShortCut scNone = 0, scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;
TShortCut ShortCut(Word Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift);

// Shift states from the router's key table and message data.
TShiftState KeysToShiftState(Word Keys);          // MK_* (+ Alt from the key table)
TShiftState KeyDataToShiftState(Integer KeyData); // Alt from the key data, Shift and Ctrl from the table
TShiftState KeyboardStateToShiftState();          // the table

namespace gdi {

// The key table: high bit set while down, low bit toggled by each press.
// Mouse buttons are VK_LBUTTON, VK_RBUTTON, VK_MBUTTON.
SHORT GetKeyState(int VirtualKey);
SHORT GetAsyncKeyState(int VirtualKey);

// Mouse capture: every mouse message goes to the capture window.  Changing
// it sends WM_CAPTURECHANGED (LParam = the new window) to the old one.
HWND SetCapture(HWND Window);  // the previous capture window
BOOL ReleaseCapture();
HWND GetCapture();

// The last cursor position the router saw (screen).
BOOL GetCursorPos(POINT& Point);
BOOL SetCursorPos(int X, int Y);

// Double-click time in ms (500 unless set).
UINT GetDoubleClickTime();
BOOL SetDoubleClickTime(UINT Milliseconds);

}  // namespace gdi

namespace ui_detail {

// Forgets a window whose handle is being released: capture, last click,
// attached widgets.
void ForgetWindowInput(gdi::HWND Window);

}  // namespace ui_detail

// ---------------------------------------------------------------------------
// test seams

namespace test {

// Forgets pressed keys and buttons, the capture, the last click and the
// hooks (between tests).
void ResetInput();

}  // namespace test
