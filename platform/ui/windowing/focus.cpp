#include "platform/ui/windowing/focus.h"

#include "platform/rtl/exceptions.h"
#include "platform/ui/windowing/controls.h"
#include "platform/ui/windowing/hwnd.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/window.h"
#include "platform/ui/windowing/windowingstate_p.h"

#include <QGuiApplication>
#include <QWidget>

#include <map>

using namespace gdi;

namespace {

}  // namespace

struct windowing_detail::TFocusState {
  HWND Focus = nullptr;
  HWND Active = nullptr;
  std::map<HWND, HWND> LastFocus;  // top level -> the window focused in it last
  bool Installed = false;      // the router hooks
  bool PumpInstalled = false;  // the pump filter (kept between tests)

  void Reset() {
    Focus = nullptr;
    Active = nullptr;
    LastFocus.clear();
    Installed = false;
  }
};

namespace {

using windowing_detail::TFocusState;

TFocusState& state() { return WindowingState().Focus.Get(); }

HWND live(HWND Window) { return Window && IsWindow(Window) ? Window : nullptr; }

void ensureInstalled() {
  if (!state().Installed) InstallFocusHooks();
}

bool isInside(HWND Window, HWND TopLevel) { return Window && TopLevelWindow(Window) == TopLevel; }

// Qt follows our activation: the top level's widget becomes Qt's active window.
void followInQt(HWND TopLevel) {
  IWindow* Object = FindWindowObject(TopLevel);
  QWidget* Widget = Object ? Object->Widget() : nullptr;
  if (!Widget || !Widget->isVisible() || Widget->isActiveWindow()) return;
  Widget->activateWindow();
}

// Step 3's mask: which DLGC_ answer claims the key; 0 for other keys.
LRESULT dialogKeyMask(WPARAM Key) {
  switch (Key) {
    case VK_TAB: return DLGC_WANTTAB;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: return DLGC_WANTARROWS;
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL: return DLGC_WANTALLKEYS;
    default: return 0;
  }
}

void notifyFocusChanged(TWinControl* Control, TWinControl* New) {
  Control->Perform(CM_FOCUSCHANGED, 0, LPARAM(New));
  for (Integer I = 0; I < Control->ControlCount(); ++I)
    if (auto* Child = dynamic_cast<TWinControl*>(Control->Controls(I))) notifyFocusChanged(Child, New);
}

bool keyIsDown(int VirtualKey) { return GetKeyState(VirtualKey) < 0; }

}  // namespace

// ---------------------------------------------------------------------------
// the trackers

namespace gdi {

HWND GetFocus() { return live(state().Focus); }

HWND GetActiveWindow() { return live(state().Active); }

HWND SetFocus(HWND Window) {
  ensureInstalled();
  TFocusState& S = state();
  if (Window && !IsWindow(Window)) return nullptr;
  const HWND Old = GetFocus();
  if (Window == Old) return Old;
  if (Window) {
    const HWND Top = TopLevelWindow(Window);
    if (GetActiveWindow() != Top) {
      // The top level's activation may focus something of its own first.
      S.LastFocus[Top] = Window;
      ActivateWindow(Top);
      if (GetFocus() == Window) return Old;
    }
  }
  const HWND Previous = GetFocus();
  S.Focus = Window;
  if (Previous) SendMessage(Previous, WM_KILLFOCUS, HandleToWParam(Window), 0);
  if (Window && S.Focus == Window && IsWindow(Window)) {
    S.LastFocus[TopLevelWindow(Window)] = Window;
    SendMessage(Window, WM_SETFOCUS, HandleToWParam(Previous), 0);
  }
  return Old;
}

HWND SetActiveWindow(HWND Window) {
  const HWND Old = GetActiveWindow();
  if (Window && !IsWindow(Window)) return nullptr;
  ActivateWindow(Window ? TopLevelWindow(Window) : nullptr);
  return Old;
}

}  // namespace gdi

void ActivateWindow(HWND TopLevel, WORD How) {
  ensureInstalled();
  TFocusState& S = state();
  if (TopLevel && !IsWindow(TopLevel)) return;
  const HWND Old = GetActiveWindow();
  if (TopLevel == Old) return;
  S.Active = TopLevel;
  if (Old) {
    if (!TopLevel) {
      if (const HWND Focus = GetFocus()) SendMessage(Focus, WM_CANCELMODE, 0, 0);
    }
    SendMessage(Old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), LPARAM(TopLevel));
  }
  if (!TopLevel) {
    if (S.Active == nullptr) SetFocus(nullptr);
    return;
  }
  if (S.Active != TopLevel) return;  // a handler activated another one
  SendMessage(TopLevel, WM_ACTIVATE, MAKEWPARAM(How, 0), LPARAM(Old));
  if (S.Active != TopLevel || !IsWindow(TopLevel)) return;
  followInQt(TopLevel);
  if (!isInside(GetFocus(), TopLevel)) {
    const auto It = S.LastFocus.find(TopLevel);
    const HWND Last = It != S.LastFocus.end() ? live(It->second) : nullptr;
    SetFocus(Last && isInside(Last, TopLevel) ? Last : TopLevel);
  }
}

// ---------------------------------------------------------------------------
// focus hosts

TWinControl* FocusRoot(TControl* Control) {
  if (!Control) return nullptr;
  TControl* C = Control;
  while (C->Parent()) C = C->Parent();
  return dynamic_cast<TWinControl*>(C);
}

IFocusHost* FocusHostOf(TControl* Control) { return dynamic_cast<IFocusHost*>(FocusRoot(Control)); }

void ChangeFocusedControl(TWinControl* Root, TWinControl* Old, TWinControl* New) {
  TWinControl* Common = Old;
  while (Common && !(New && Common->ContainsControl(New))) {
    if (Common == Root) break;
    Common->Perform(CM_EXIT, 0, 0);
    Common = Common->Parent();
  }
  if (!Common) Common = Root;
  if (New && Common != New) {
    // Enter from the child of Common on the way down to New.
    std::vector<TWinControl*> Path;
    for (TWinControl* C = New; C && C != Common; C = C->Parent()) Path.push_back(C);
    for (auto It = Path.rbegin(); It != Path.rend(); ++It) (*It)->Perform(CM_ENTER, 0, 0);
  }
  if (Root) notifyFocusChanged(Root, New);
}

TWinControl* FocusedControl() { return FindControl(GetFocus()); }

// ---------------------------------------------------------------------------
// key routing

bool IsKeyMsg(MSG& Msg) {
  TWinControl* C = FindControl(Msg.hwnd);
  if (!C) return false;
  TWinControl* Root = FocusRoot(C);
  switch (Msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      if (IFocusHost* Host = FocusHostOf(C)) {
        TMessage Key{Msg.message, Msg.wParam, Msg.lParam, 0};
        if (Host->IsShortCut(Key.As<TWMKey>())) return true;
        if (!IsWindow(Msg.hwnd)) return true;
      }
      if (C->Perform(CM_CHILDKEY, Msg.wParam, LPARAM(C)) != 0) return true;
      const LRESULT Mask = dialogKeyMask(Msg.wParam);
      if (Mask && C->Perform(CM_WANTSPECIALKEY, Msg.wParam, Msg.lParam) == 0 &&
          (C->Perform(WM_GETDLGCODE, 0, 0) & Mask) == 0 &&
          Root->Perform(CM_DIALOGKEY, Msg.wParam, Msg.lParam) != 0)
        return true;
      return false;
    }
    case WM_CHAR:
      if ((C->Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) != 0) return false;
      return Root->Perform(CM_DIALOGCHAR, Msg.wParam, Msg.lParam) != 0;
    case WM_SYSCHAR: return Root->Perform(CM_DIALOGCHAR, Msg.wParam, Msg.lParam) != 0;
    default: return false;
  }
}

void InstallFocusHooks() {
  TFocusState& S = state();
  if (S.Installed) return;
  S.Installed = true;
  TInputHooks Input = SetInputHooks({});
  Input.KeyTarget = [](HWND Arrived) {
    const HWND Focus = GetFocus();
    return Focus ? Focus : Arrived;
  };
  Input.IsActive = [](HWND TopLevel) { return GetActiveWindow() == TopLevel; };
  Input.ActivateByClick = [](HWND TopLevel) { ActivateWindow(TopLevel, WA_CLICKACTIVE); };
  // Qt's own activation reports lag behind ours and differ between window
  // systems; clicks activate through the router.  From Qt we take only the
  // application losing the activation (no window of the program has Qt's
  // focus) and regaining it, never through a window that does not activate
  // (a window system may ignore that hint).
  Input.WindowActivation = [](HWND TopLevel, bool Active) {
    if (Active && !GetActiveWindow() && !(GetWindowLong(TopLevel, GWL_EXSTYLE) & WS_EX_NOACTIVATE))
      ActivateWindow(TopLevel);
    else if (!Active && TopLevel == GetActiveWindow() && !QGuiApplication::focusWindow())
      ActivateWindow(nullptr);
  };
  SetInputHooks(std::move(Input));
  if (S.PumpInstalled) return;
  S.PumpInstalled = true;
  TPumpHooks Pump = SetPumpHooks({});
  Pump.Filter = [Previous = std::move(Pump.Filter)](MSG& Msg) {
    if (Previous && Previous(Msg)) return true;
    return IsKeyMsg(Msg);
  };
  SetPumpHooks(std::move(Pump));
}

namespace test {

void ResetFocus() { state().Reset(); }

}  // namespace test

// ---------------------------------------------------------------------------
// TWinControl: focus and keys

bool TWinControl::CanFocus() {
  TWinControl* Root = FocusRoot(this);
  for (TWinControl* C = this; C && C != Root; C = C->Parent())
    if (!C->Visible() || !C->Enabled()) return false;
  return Root == this ? Visible() && Enabled() : true;
}

bool TWinControl::Focused() { return HandleAllocated() && GetFocus() == Handle(); }

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  if (IFocusHost* Host = FocusHostOf(this))
    Host->FocusControl(this);
  else
    gdi::SetFocus(Handle());
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) {
  TList List;
  GetTabOrderList(&List);
  const Integer Count = List.Count();
  if (Count == 0) return nullptr;
  Integer Start = List.IndexOf(CurControl);
  if (Start < 0) Start = GoForward ? Count - 1 : 0;
  Integer I = Start;
  do {
    I = GoForward ? (I + 1) % Count : (I + Count - 1) % Count;
    auto* C = static_cast<TWinControl*>(List.Items(I));
    if (C->CanFocus() && (!CheckTabStop || C->TabStop()) && (!CheckParent || C->Parent() == this)) return C;
  } while (I != Start);
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
  if (TWinControl* Next = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop)) Next->SetFocus();
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::KeyDown(Word& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(Word& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(Char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

bool TWinControl::DoKeyDown(TWMKey& Message) {
  TWinControl* Root = FocusRoot(this);
  IFocusHost* Host = FocusHostOf(this);
  if (Host && Root != this && Host->KeyPreview() && Root->DoKeyDown(Message)) return true;
  if (FControlStyle.Contains(csNoStdEvents)) return false;
  Word Key = Message.CharCode;
  KeyDown(Key, KeyDataToShiftState(Message.KeyData));
  Message.CharCode = Key;
  return Key == 0;
}

bool TWinControl::DoKeyUp(TWMKey& Message) {
  TWinControl* Root = FocusRoot(this);
  IFocusHost* Host = FocusHostOf(this);
  if (Host && Root != this && Host->KeyPreview() && Root->DoKeyUp(Message)) return true;
  if (FControlStyle.Contains(csNoStdEvents)) return false;
  Word Key = Message.CharCode;
  KeyUp(Key, KeyDataToShiftState(Message.KeyData));
  Message.CharCode = Key;
  return Key == 0;
}

bool TWinControl::DoKeyPress(TWMKey& Message) {
  TWinControl* Root = FocusRoot(this);
  IFocusHost* Host = FocusHostOf(this);
  if (Host && Root != this && Host->KeyPreview() && Root->DoKeyPress(Message)) return true;
  if (FControlStyle.Contains(csNoStdEvents)) return false;
  Char Key(Message.CharCode);
  KeyPress(Key);
  Message.CharCode = Key.unicode();
  return Key.unicode() == 0;
}

void TWinControl::WMSetFocus(TWMSetFocus& Message) {
  IFocusHost* Host = FocusHostOf(this);
  if (Host) {
    if (!Host->SetFocusedControl(this)) return;
  } else {
    TWinControl* Root = FocusRoot(this);
    TWinControl* Old = FindControl(Message.FocusedWnd);
    if (Old && FocusRoot(Old) != Root) Old = nullptr;
    ChangeFocusedControl(Root, Old, this);
  }
  DispatchAs<TControl>(Message);
}

void TWinControl::WMKeyDown(TWMKey& Message) {
  if (!DoKeyDown(Message)) DispatchAs<TControl>(Message);
}

void TWinControl::WMKeyUp(TWMKey& Message) {
  if (!DoKeyUp(Message)) DispatchAs<TControl>(Message);
}

void TWinControl::WMChar(TWMKey& Message) {
  if (!DoKeyPress(Message)) DispatchAs<TControl>(Message);
}

void TWinControl::CMEnter(TMessage&) { DoEnter(); }

void TWinControl::CMExit(TMessage&) { DoExit(); }

void TWinControl::CMChildKey(TCMChildKey& Message) {
  if (TWinControl* P = Parent()) Message.Result = P->Perform(CM_CHILDKEY, Message.CharCode, LPARAM(Message.Sender));
}

void TWinControl::CMDialogKey(TCMDialogKey& Message) {
  if (!Parent() && !keyIsDown(VK_MENU)) {
    TWinControl* Active = FocusedControl();
    if (Active && FocusRoot(Active) != this) Active = nullptr;
    switch (Message.CharCode) {
      case VK_TAB:
        if (keyIsDown(VK_CONTROL)) break;
        SelectNext(Active, !keyIsDown(VK_SHIFT), true);
        Message.Result = 1;
        return;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN:
        if (Active && Active->Parent()) {
          Active->Parent()->SelectNext(Active, Message.CharCode == VK_RIGHT || Message.CharCode == VK_DOWN, false);
          Message.Result = 1;
        }
        return;
      default: break;
    }
  }
  Broadcast(AsMessage(Message));
}

void TWinControl::CMDialogChar(TCMDialogChar& Message) { Broadcast(AsMessage(Message)); }
