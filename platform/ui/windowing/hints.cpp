#include "platform/ui/windowing/hints.h"

#include "platform/rtl/strutils.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/graphics/textengine.h"
#include "platform/ui/windowing/application.h"
#include "platform/ui/windowing/hwnd.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/timers.h"
#include "platform/ui/windowing/window.h"

#include <algorithm>
#include <cassert>

using namespace gdi;

namespace {

// The standard cursor's height at 96 PPI: the hint opens below the cursor.
constexpr Integer CursorHeight = 32;
constexpr UINT HintTextFormat = DT_LEFT | DT_NOPREFIX | DT_WORDBREAK;

// The nearest control from Control up with ShowHint set; nullptr when none.
TControl* hintControlOf(TControl* Control) {
  while (Control && !Control->ShowHint()) Control = Control->Parent();
  return Control;
}

// The control the mouse is over: the deepest one under the point inside
// Window's control, disabled ones included.
TControl* controlAt(HWND Window, TPoint ScreenPoint) {
  TWinControl* Control = FindControl(Window);
  if (!Control) return nullptr;
  TControl* Child = Control->ControlAtPos(Control->ScreenToClient(ScreenPoint), /*AllowDisabled=*/true,
                                          /*AllowWinControls=*/true, /*AllLevels=*/true);
  return Child ? Child : Control;
}

}  // namespace

String GetHint(TControl* Control) {
  while (Control && Control->Hint().isEmpty()) Control = Control->Parent();
  return Control ? Control->Hint() : String();
}

// ---------------------------------------------------------------------------
// THintWindow

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  SetVisible(false);
  SetColor(clInfoBk);
  if (Screen)
    Font()->Assign(Screen->HintFont());
  else
    Font()->SetColor(clInfoText);
}

void THintWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP | WS_BORDER;
  Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
  Params.WndParent = nullptr;
}

TRect THintWindow::CalcHintRect(Integer MaxWidth, const String& AHint, void*) {
  TRect Result(0, 0, MaxWidth, 0);
  DrawText(Canvas()->Handle(), reinterpret_cast<const Char*>(AHint.utf16()), AHint.length(), &Result,
           HintTextFormat | DT_CALCRECT);
  // the frame (1 each side) and the text's margin
  Result.Right += 6;
  Result.Bottom += 2;
  return Result;
}

void THintWindow::ActivateHint(TRect Rect, const String& AHint) {
  SetCaption(AHint);
  const Integer ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
  const Integer ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
  OffsetRect(Rect, -std::max(0, int(Rect.Right - ScreenWidth)), -std::max(0, int(Rect.Bottom - ScreenHeight)));
  OffsetRect(Rect, std::max(0, int(-Rect.Left)), std::max(0, int(-Rect.Top)));
  SetBoundsRect(Rect);
  SetVisible(true);
  SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Invalidate();
  Update();
}

void THintWindow::ActivateHintData(TRect Rect, const String& AHint, void*) { ActivateHint(Rect, AHint); }

bool THintWindow::IsHintMsg(const MSG& Msg) {
  switch (Msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_MOUSEWHEEL: return true;
    default: return false;
  }
}

void THintWindow::ReleaseHandle() {
  SetVisible(false);
  DestroyHandle();
}

void THintWindow::Paint() {
  TRect R = ClientRect();
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(R);
  R.Left += 2;
  R.Top += 2;
  Canvas()->Font()->Assign(Font());
  const String Text = Caption();
  DrawText(Canvas()->Handle(), reinterpret_cast<const Char*>(Text.utf16()), Text.length(), &R, HintTextFormat);
}

// ---------------------------------------------------------------------------
// THintManager

THintManager::THintManager(TComponent* AOwner)
    : TComponent(AOwner), FHintWindowClass(THintWindow::StaticClass()), FTimer(new TTimer(this)) {
  FTimer->SetEnabled(false);
  FTimer->SetOnTimer(TNotifyEvent(this, &THintManager::timerTick));
}

THintManager::~THintManager() {
  setHintControl(nullptr);
  FMouseControl = nullptr;
}

void THintManager::SetShowHint(bool Value) {
  FShowHint = Value;
  if (!Value) CancelHint();
}

void THintManager::SetHintWindowClass(THintWindowClass Value) {
  assert(Value && Value->InheritsFrom(THintWindow::StaticClass()) && "not a hint window class");
  FHintWindowClass = Value;
}

void THintManager::SetHint(const String& Value) {
  if (Value == FHint) return;
  FHint = Value;
  if (OnHint) OnHint(Owner() ? static_cast<TObject*>(Owner()) : this);
}

bool THintManager::HintShowing() const { return FHintWindow && FHintWindow->Visible(); }

void THintManager::MouseMoved(HWND Window, TPoint ScreenPoint) {
  TControl* Control = controlAt(Window, ScreenPoint);
  if (Control != FMouseControl) {
    if (FMouseControl && FMouseControl != FHintControl) FMouseControl->RemoveFreeNotification(this);
    FMouseControl = Control;
    if (Control) Control->FreeNotification(this);
    SetHint(GetLongHint(GetHint(Control)));
  }
  TControl* NewHintControl = hintControlOf(Control);
  if (!FShowHint || !NewHintControl || GetCapture()) {
    CancelHint();
    return;
  }
  if (NewHintControl == FHintControl &&
      PtInRect(FHintCursorRect, FHintControl->ScreenToClient(ScreenPoint)))
    return;
  const bool WasActive = FHintActive || HintShowing();
  HideHint();
  Integer Pause = WasActive ? FHintShortPause : FHintPause;
  NewHintControl->Perform(CM_HINTSHOWPAUSE, WPARAM(WasActive), LPARAM(&Pause));
  setHintControl(NewHintControl);
  FHintActive = WasActive;
  FHintCursorRect = NewHintControl->ClientRect();
  startTimer(Pause, TTimerMode::Show);
}

void THintManager::MessageTaken(const MSG& Msg) {
  if (!FHintControl) return;
  ensureHintWindow();
  if (FHintWindow->IsHintMsg(Msg)) CancelHint();
}

void THintManager::CancelHint() {
  FTimer->SetEnabled(false);
  HideHint();
  setHintControl(nullptr);
  FHintActive = false;
}

void THintManager::HideHint() {
  if (FHintWindow && FHintWindow->HandleAllocated()) FHintWindow->ReleaseHandle();
}

void THintManager::ActivateHint(TPoint CursorPos) {
  FTimer->SetEnabled(false);
  if (!FHintControl || !FShowHint) return;
  THintInfo Info;
  Info.HintControl = FHintControl;
  Info.HintWindowClass = FHintWindowClass;
  Info.HintPos = {CursorPos.X, CursorPos.Y + CursorHeight};
  Info.HintMaxWidth = GetSystemMetrics(SM_CXSCREEN);
  Info.HintColor = FHintColor;
  Info.CursorRect = FHintControl->ClientRect();
  Info.CursorPos = FHintControl->ScreenToClient(CursorPos);
  Info.HideTimeout = FHintHidePause;
  Info.HintStr = GetShortHint(GetHint(FHintControl));
  bool CanShow = FHintControl->Perform(CM_HINTSHOW, 0, LPARAM(&Info)) == 0;
  FHintCursorRect = Info.CursorRect;
  if (CanShow && OnShowHint) OnShowHint(Info.HintStr, CanShow, Info);
  if (!CanShow || Info.HintStr.isEmpty() || !FHintControl) {
    HideHint();
    FHintActive = false;
    return;
  }
  if (Info.HintWindowClass && Info.HintWindowClass != FHintWindowClass) SetHintWindowClass(Info.HintWindowClass);
  ensureHintWindow();
  TRect R = FHintWindow->CalcHintRect(Info.HintMaxWidth, Info.HintStr, Info.HintData);
  OffsetRect(R, Info.HintPos.X, Info.HintPos.Y);
  FHintWindow->SetColor(Info.HintColor);
  FHintWindow->ActivateHintData(R, Info.HintStr, Info.HintData);
  FHintActive = true;
  if (Info.ReshowTimeout > 0)
    startTimer(Info.ReshowTimeout, TTimerMode::Show);
  else if (Info.HideTimeout >= 0)
    startTimer(Info.HideTimeout, TTimerMode::Hide);
}

void THintManager::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FMouseControl) FMouseControl = nullptr;
  if (AComponent == FHintControl) {
    FHintControl = nullptr;
    CancelHint();
  }
  if (AComponent == FHintWindow) FHintWindow = nullptr;
}

void THintManager::startTimer(Integer Ms, TTimerMode Mode) {
  FTimerMode = Mode;
  FTimer->SetEnabled(false);
  FTimer->SetInterval(Cardinal(std::max(Ms, 1)));
  FTimer->SetEnabled(true);
}

void THintManager::timerTick(TObject*) {
  FTimer->SetEnabled(false);
  if (FTimerMode == TTimerMode::Hide) {
    HideHint();
    FHintActive = false;
    return;
  }
  POINT P;
  GetCursorPos(P);
  ActivateHint({P.X, P.Y});
}

void THintManager::setHintControl(TControl* Control) {
  if (Control == FHintControl) return;
  if (FHintControl && FHintControl != FMouseControl) FHintControl->RemoveFreeNotification(this);
  FHintControl = Control;
  if (Control) Control->FreeNotification(this);
}

void THintManager::ensureHintWindow() {
  if (FHintWindow && FHintWindow->ClassType() == FHintWindowClass) return;
  if (FHintWindow) FHintWindow->Free();
  FHintWindow = static_cast<THintWindow*>(FHintWindowClass->Create(this));
  FHintWindow->FreeNotification(this);
}
