// Focus, activation and the routing of keys.
//
// Our trackers decide which top level is active and which window has the
// focus; Qt follows (the active top level's widget is activated).  Both work
// without a window manager.
//
// Activation: one active top level (GetActiveWindow).  Activating another
// sends WM_ACTIVATE (WA_INACTIVE, LParam = the new one) to the old one, then
// WM_ACTIVATE (WA_ACTIVE or WA_CLICKACTIVE, LParam = the old one) to the new
// one; unless its handler moved the focus into it (forms focus their
// ActiveControl), the focus goes to the window focused in it last, else to
// the top level itself.  Deactivating the application (no active top level)
// sends WM_CANCELMODE to the focused window and takes the focus away.
//
// Focus: SetFocus(window) activates the window's top level when needed, then
// sends WM_KILLFOCUS (WParam = the new window) to the old window and
// WM_SETFOCUS (WParam = the old one) to the new one.  TWinControl's
// WM_SETFOCUS asks its focus host (the form) SetFocusedControl; a refusal
// swallows the message.  SetFocusedControl moves CM_EXIT up from the old
// control to the common parent and CM_ENTER down to the new one
// (ChangeFocusedControl).
//
// Keys: for WM_KEYDOWN / WM_SYSKEYDOWN taken out by the pump, before it is
// translated and dispatched to the focused control C (IsKeyMsg):
//   1 the focus host's IsShortCut (menus, actions, OnShortCut);
//   2 CM_CHILDKEY(key, C) to C, which passes it up its parents;
//   3 Tab, arrows, Enter, Esc, unless C claims them (CM_WANTSPECIALKEY
//     non-zero, or WM_GETDLGCODE with DLGC_WANTTAB / WANTARROWS /
//     WANTALLKEYS): CM_DIALOGKEY to the top-level control, whose default
//     selects the next control for Tab / Shift+Tab and the arrows and then
//     broadcasts the key to its children (the Default button takes Enter, the
//     Cancel button Esc);
// a non-zero answer consumes the key (no characters are made from it).
// Then WM_KEYDOWN reaches C: a KeyPreview host's KeyDown first, then C's
// KeyDown / OnKeyDown; Key 0 stops, else C's default handling.  Characters:
// WM_CHAR to a control without DLGC_WANTCHARS, and every WM_SYSCHAR, go to
// the top-level control as CM_DIALOGCHAR first (non-zero consumes); then the
// KeyPreview host's KeyPress and C's KeyPress / OnKeyPress, #0 stops.
// Key ups go the same way with KeyUp.
#pragma once

#include "platform/ui/windowing/messages.h"

class TControl;
class TWinControl;

namespace gdi {

// The focused window; 0 for none.
HWND GetFocus();
// Moves the focus to Window (0: no window); answers the previously focused
// window, 0 when Window is dead.
HWND SetFocus(HWND Window);
// The active top-level window; 0 for none.
HWND GetActiveWindow();
// Activates Window's top level (WA_ACTIVE); answers the previous one.
HWND SetActiveWindow(HWND Window);

}  // namespace gdi

// Makes TopLevel the active top level (0: the application deactivates), How
// = WA_ACTIVE or WA_CLICKACTIVE.  Nothing happens when it already is.
void ActivateWindow(gdi::HWND TopLevel, gdi::WORD How = gdi::WA_ACTIVE);

// ---------------------------------------------------------------------------
// focus hosts (forms)

// What a form gives the focus layer.  The host of a control is its top-level
// parent control when that implements IFocusHost (forms do); controls
// without host keep their focus state in the focus layer.
class IFocusHost {
public:
  virtual ~IFocusHost() = default;
  // WM_SETFOCUS of Control asks this: record it (ActiveControl), moving
  // CM_EXIT / CM_ENTER with ChangeFocusedControl.  False refuses the focus.
  virtual bool SetFocusedControl(TWinControl* Control) = 0;
  // TWinControl::SetFocus of one of the host's controls: an active host
  // focuses it (gdi::SetFocus), an inactive one only records it.
  virtual void FocusControl(TWinControl* Control) = 0;
  // Control leaves the host (its parent lets it go, or it is freed): the
  // host forgets a recorded focus inside it, moving the window focus to
  // itself when it lay there, without CM_EXIT to the leaving controls.
  virtual void DefocusControl(TWinControl* Control) {}
  // Step 1 of key routing: shortcuts; True consumes the key.
  virtual bool IsShortCut(TWMKey& Message) { return false; }
  // The host's KeyDown, KeyPress and KeyUp see its controls' keys first.
  virtual bool KeyPreview() { return false; }
};

// The top-level parent control of Control (itself without parent).
TWinControl* FocusRoot(TControl* Control);
// FocusRoot as a focus host; nullptr when it is none.
IFocusHost* FocusHostOf(TControl* Control);
// The focus moved inside Root from Old (null: none) to New: CM_EXIT to Old
// and its parents below the common parent, CM_ENTER to New's parents below
// the common parent and New, top down; then CM_FOCUSCHANGED (LParam = New) to
// Root and every control in it.
void ChangeFocusedControl(TWinControl* Root, TWinControl* Old, TWinControl* New);
// The control whose window has the focus; nullptr when none of ours.
TWinControl* FocusedControl();

// ---------------------------------------------------------------------------
// key routing

// Steps 1-3 above for a key down taken out by the pump, and CM_DIALOGCHAR
// for characters; True when the message was consumed.
bool IsKeyMsg(gdi::MSG& Msg);

// Installs the focus layer into the input router (focused window as key
// target, click activation, window-system activation) and the pump
// (IsKeyMsg, after a filter installed before); done on first use of the
// focus layer.  Hooks installed later must call the ones they replace.
void InstallFocusHooks();

namespace test {

// Forgets the focused and active windows and the remembered focus (between
// tests, after test::ResetInput, which drops the router hooks: they are
// installed again on next use).
void ResetFocus();

}  // namespace test
