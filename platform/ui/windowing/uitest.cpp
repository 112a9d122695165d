#include "platform/ui/windowing/uitest.h"

#include "platform/ui/graphics/graphicsunit.h"
#include "platform/ui/windowing/controls.h"
#include "platform/ui/windowing/focus.h"
#include "platform/ui/windowing/hwnd.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/mouse.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/window_p.h"
#include "platform/ui/windowing/windowingunit.h"

using namespace gdi;

namespace {

// The window Control's input arrives at.
HWND windowOf(TControl* Control) {
  for (TControl* C = Control; C; C = C->Parent())
    if (auto* W = dynamic_cast<TWinControl*>(C)) return W->Handle();
  return nullptr;
}

void mouse(TControl* Control, TMouseAction Action, TPoint Point, TMouseButton Button, TShiftState Shift) {
  InstallFocusHooks();
  InstallMouseHooks();
  RouteMouse(windowOf(Control), Action, Control->ClientToScreen(Point), Button, Shift);
  ProcessMessages();
}

// The window keys arrive at: the focused one, else the active top level.
HWND keyWindow() {
  InstallFocusHooks();
  if (const HWND Focus = GetFocus()) return Focus;
  return GetActiveWindow();
}

// The character a key types with Shift (letters, digits, space); empty for others.
String keyText(Word VirtualKey, TShiftState Shift) {
  if (Shift.Contains(ssCtrl)) return String();
  if (VirtualKey >= 'A' && VirtualKey <= 'Z')
    return String(QChar(Shift.Contains(ssShift) ? VirtualKey : VirtualKey - 'A' + 'a'));
  if (VirtualKey >= '0' && VirtualKey <= '9' && !Shift.Contains(ssShift)) return String(QChar(VirtualKey));
  if (VirtualKey == VK_SPACE) return QStringLiteral(" ");
  return String();
}

}  // namespace

namespace test {

void MouseDown(TControl* Control, TPoint Point, TMouseButton Button, TShiftState Shift) {
  mouse(Control, TMouseAction::Down, Point, Button, Shift);
}

void MouseUp(TControl* Control, TPoint Point, TMouseButton Button, TShiftState Shift) {
  mouse(Control, TMouseAction::Up, Point, Button, Shift);
}

void MouseMove(TControl* Control, TPoint Point, TShiftState Shift) {
  mouse(Control, TMouseAction::Move, Point, mbLeft, Shift);
}

void Click(TControl* Control, TPoint Point, TMouseButton Button, TShiftState Shift) {
  MouseDown(Control, Point, Button, Shift);
  MouseUp(Control, Point, Button, Shift);
}

void DblClick(TControl* Control, TPoint Point, TMouseButton Button, TShiftState Shift) {
  Click(Control, Point, Button, Shift);
  Click(Control, Point, Button, Shift);
}

void Wheel(TControl* Control, TPoint Point, int Delta, TShiftState Shift) {
  InstallFocusHooks();
  RouteWheel(windowOf(Control), Control->ClientToScreen(Point), Delta, Shift);
  ProcessMessages();
}

void KeyDown(Word VirtualKey, TShiftState Shift) {
  RouteKey(keyWindow(), true, VirtualKey, Shift, keyText(VirtualKey, Shift));
  ProcessMessages();
}

void KeyUp(Word VirtualKey, TShiftState Shift) {
  RouteKey(keyWindow(), false, VirtualKey, Shift);
  ProcessMessages();
}

void Key(Word VirtualKey, TShiftState Shift) {
  KeyDown(VirtualKey, Shift);
  KeyUp(VirtualKey, Shift);
}

void Type(const String& Text) {
  String Commit;  // characters without a key of their own, sent together
  auto flush = [&Commit] {
    if (Commit.isEmpty()) return;
    RouteCommit(keyWindow(), Commit);
    ProcessMessages();
    Commit.clear();
  };
  for (QChar C : Text) {
    const char16_t U = C.unicode();
    if ((U >= 'a' && U <= 'z') || (U >= '0' && U <= '9') || U == ' ') {
      flush();
      Key(U >= 'a' ? Word(U - 'a' + 'A') : Word(U));
    } else if (U >= 'A' && U <= 'Z') {
      flush();
      Key(Word(U), {ssShift});
    } else {
      Commit += C;
    }
  }
  flush();
}

void Activate(TWinControl* Control) {
  InstallFocusHooks();
  ActivateWindow(TopLevelWindow(Control->Handle()));
  ProcessMessages();
}

const QImage& WindowImage(TWinControl* Control) { return Control->Window()->Store().Image(); }

void ResetUi() {
  ResetGraphicsState();
  ResetWindowingState();
  InstallFocusHooks();
  InstallMouseHooks();
}

}  // namespace test
