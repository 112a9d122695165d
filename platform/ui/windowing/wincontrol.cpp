// TWinControl: the window, the children, painting and the frame.
#include "platform/ui/windowing/controls.h"

#include "platform/rtl/format.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/edges.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/graphics/regions.h"
#include "platform/ui/windowing/focus.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/window.h"
#include "platform/ui/windowing/window_p.h"

#include <QImage>
#include <algorithm>

using namespace gdi;

namespace {

// Moves the DC's logical origin so that (DX, DY) becomes (0, 0).
void moveWindowOrg(HDC DC, int DX, int DY) {
  POINT P;
  GetWindowOrgEx(DC, &P);
  SetWindowOrgEx(DC, P.X - DX, P.Y - DY, nullptr);
}

// SaveDC / RestoreDC around a scope, also when painting raises.
class TSavedDC {
public:
  explicit TSavedDC(HDC DC) : FDC(DC), FLevel(SaveDC(DC)) {}
  ~TSavedDC() { RestoreDC(FDC, FLevel); }
  TSavedDC(const TSavedDC&) = delete;
  TSavedDC& operator=(const TSavedDC&) = delete;

private:
  HDC FDC;
  int FLevel;
};

template <class T>
void eraseFrom(std::vector<T*>& List, const void* Item) {
  List.erase(std::remove(List.begin(), List.end(), Item), List.end());
}

}  // namespace

// ---------------------------------------------------------------------------
// life cycle

const TMessageMap& TWinControl::MessageMap() {
  static const TMessageMap Map(TControl::MessageMap(), {
      {WM_PAINT, &TWinControl::WMPaint},
      {WM_ERASEBKGND, &TWinControl::WMEraseBkgnd},
      {WM_NCCALCSIZE, &TWinControl::WMNCCalcSize},
      {WM_NCPAINT, &TWinControl::WMNCPaint},
      {WM_SIZE, &TWinControl::WMSize},
      {WM_WINDOWPOSCHANGED, &TWinControl::WMWindowPosChanged},
      {WM_COMMAND, &TWinControl::WMCommand},
      {WM_NOTIFY, &TWinControl::WMNotify},
      {WM_HSCROLL, &TWinControl::WMScroll},
      {WM_VSCROLL, &TWinControl::WMScroll},
      {WM_MOUSEWHEEL, &TWinControl::WMMouseWheel},
      {CM_SHOWINGCHANGED, &TWinControl::CMShowingChanged},
      {CM_VISIBLECHANGED, &TWinControl::CMVisibleChanged},
      {CM_ENABLEDCHANGED, &TWinControl::CMEnabledChanged},
      {CM_COLORCHANGED, &TWinControl::CMColorChanged},
      {CM_FONTCHANGED, &TWinControl::CMFontChanged},
      {CM_CTL3DCHANGED, &TWinControl::CMCtl3DChanged},
      {CM_PARENTCTL3DCHANGED, &TWinControl::CMParentCtl3DChanged},
      {CM_SHOWHINTCHANGED, &TWinControl::CMShowHintChanged},
      {CM_BIDIMODECHANGED, &TWinControl::CMBiDiModeChanged},
      {CM_PARENTDOUBLEBUFFEREDCHANGED, &TWinControl::CMParentDoubleBufferedChanged},
      {CM_BORDERCHANGED, &TWinControl::CMBorderChanged},
      {CM_RECREATEWND, &TWinControl::CMRecreateWnd},
      {CM_INVALIDATE, &TWinControl::CMInvalidate},
      {WM_SETFOCUS, &TWinControl::WMSetFocus},
      {WM_KEYDOWN, &TWinControl::WMKeyDown},
      {WM_SYSKEYDOWN, &TWinControl::WMKeyDown},
      {WM_KEYUP, &TWinControl::WMKeyUp},
      {WM_SYSKEYUP, &TWinControl::WMKeyUp},
      {WM_CHAR, &TWinControl::WMChar},
      {WM_SETCURSOR, &TWinControl::WMSetCursor},
      {CM_ENTER, &TWinControl::CMEnter},
      {CM_EXIT, &TWinControl::CMExit},
      {CM_CHILDKEY, &TWinControl::CMChildKey},
      {CM_DIALOGKEY, &TWinControl::CMDialogKey},
      {CM_DIALOGCHAR, &TWinControl::CMDialogChar},
  });
  return Map;
}

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner), FBrush(new TBrush) { FBrush->SetColor(FColor); }

TWinControl::~TWinControl() {
  releaseTree();
  if (FKeptShape) DeleteObject(FKeptShape);
  FBrush->Free();
}

void TWinControl::BeforeDestruction() {
  Destroying();
  // Before the windows go: the focus may lie in them.
  if (IFocusHost* Host = FocusHostOf(this); Host && FParent) Host->DefocusControl(this);
  releaseTree();
  TControl::BeforeDestruction();
}

void TWinControl::releaseTree() {
  if (FTreeFreed) return;
  FTreeFreed = true;
  DestroyHandle();
  freeChildren();
}

void TWinControl::freeChildren() {
  // Each child leaves the lists as it goes (its destruction takes it out of
  // its parent); children are made with new.
  while (ControlCount() > 0) {
    TControl* Child = Controls(ControlCount() - 1);
    Child->Free();
    assert(std::find(FControls.begin(), FControls.end(), Child) == FControls.end() &&
           std::find(FWinControls.begin(), FWinControls.end(), Child) == FWinControls.end() &&
           "a freed child stays in its parent's list");
  }
}

void TWinControl::Loaded() {
  TControl::Loaded();
  Realign();
}

// ---------------------------------------------------------------------------
// messages

void TWinControl::WndProc(TMessage& Message) {
  const bool RoutedMouse = Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST &&
                           Message.Msg != WM_MOUSEWHEEL && Message.Msg != WM_MOUSEHWHEEL;
  if (RoutedMouse && routeToGraphicChild(Message.As<TWMMouse>())) return;
  if (Message.Msg == WM_CANCELMODE && HandleAllocated() && GetCapture() == Handle()) {
    TControl* Capturer = GetCaptureControl();
    if (Capturer && Capturer != this && Capturer->Parent() == this) Capturer->Perform(WM_CANCELMODE, 0, 0);
  }
  TControl::WndProc(Message);
}

bool TWinControl::routeToGraphicChild(TWMMouse& Message) {
  TControl* Control = nullptr;
  if (HandleAllocated() && GetCapture() == Handle()) {
    TControl* Capturer = GetCaptureControl();
    if (Capturer && Capturer != this && Capturer->Parent() == this) Control = Capturer;
  } else {
    Control = ControlAtPos(Message.Pos(), /*AllowDisabled=*/false);
  }
  if (!Control) return false;
  const TPoint P{Message.XPos - Control->Left(), Message.YPos - Control->Top()};
  Message.Result = Control->Perform(Message.Msg, WPARAM(Message.Keys), PointToLParam(P));
  return true;
}

void TWinControl::DefaultHandler(TMessage& Message) {
  if (!FWindow) {
    TControl::DefaultHandler(Message);
    return;
  }
  // A hosted Qt control sees the event it came from only here, after every
  // handler had its say.
  if (DeliverToNativeWidget(FWindow->Handle(), Message)) return;
  FWindow->DefaultWindowMessage(Message);
}

void TWinControl::WMSize(TWMSize& Message) {
  Realign();
  DispatchAs<TControl>(Message);
}

void TWinControl::WMWindowPosChanged(TWMWindowPosChanged& Message) {
  if (!FControlState.Contains(csDestroyingHandle)) updateBounds();
  DispatchAs<TControl>(Message);
}

void TWinControl::updateBounds() {
  if (!FWindow) return;
  const TRect R = FWindow->Bounds();
  if (R == BoundsRect()) return;
  FLeft = R.Left;
  FTop = R.Top;
  FWidth = R.Width();
  FHeight = R.Height();
  UpdateAnchorRules();
}

void TWinControl::WMCommand(TWMCommand& Message) {
  // A native child's notice goes back to the child control as CN_COMMAND.
  if (TWinControl* Child = FindControl(Message.Ctl); Child && Child != this) {
    Message.Result = Child->Perform(CN_COMMAND, AsMessage(Message).WParam, AsMessage(Message).LParam);
    return;
  }
  DispatchAs<TControl>(Message);
}

void TWinControl::WMNotify(TWMNotify& Message) {
  if (Message.NMHdr) {
    if (TWinControl* Child = FindControl(Message.NMHdr->hwndFrom); Child && Child != this) {
      Message.Result = Child->Perform(CN_NOTIFY, AsMessage(Message).WParam, AsMessage(Message).LParam);
      return;
    }
  }
  DispatchAs<TControl>(Message);
}

void TWinControl::WMScroll(TWMScroll& Message) {
  if (TWinControl* Child = FindControl(Message.ScrollBar); Child && Child != this) {
    const TMessage& M = AsMessage(Message);
    Message.Result = Child->Perform(CN_BASE + M.Msg, M.WParam, M.LParam);
    return;
  }
  DispatchAs<TControl>(Message);
}

void TWinControl::WMMouseWheel(TWMMouseWheel& Message) {
  // CM_MOUSEWHEEL carries the shift state where the wheel message has MK_*.
  const TShiftState Shift = KeysToShiftState(Word(Message.Keys));
  const WPARAM W = MAKEWPARAM(WORD(Shift.Bits()), WORD(Message.WheelDelta));
  TMessage Wheel{CM_MOUSEWHEEL, W, AsMessage(Message).LParam, 0};
  MouseWheelHandler(Wheel);
  Message.Result = Wheel.Result;
  if (Message.Result == 0) DispatchAs<TControl>(Message);
}

void TWinControl::MouseWheelHandler(TMessage& Message) { Perform(Message); }

void TWinControl::cancelCaptureInside() {
  if (!HandleAllocated()) return;
  const HWND Capture = GetCapture();
  if (Capture && (Capture == Handle() || IsChild(Handle(), Capture))) SendMessage(Capture, WM_CANCELMODE, 0, 0);
}

void TWinControl::CMShowingChanged(TMessage&) {
  const UINT Show = FShowing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | Show);
}

void TWinControl::CMVisibleChanged(TMessage&) {
  if (!FVisible) cancelCaptureInside();
  UpdateControlState();
}

void TWinControl::CMEnabledChanged(TMessage& Message) {
  if (!FEnabled) cancelCaptureInside();
  DispatchAs<TControl>(Message);
  if (HandleAllocated()) EnableWindow(Handle(), FEnabled ? 1 : 0);
}

void TWinControl::CMColorChanged(TMessage& Message) {
  DispatchAs<TControl>(Message);
  FBrush->SetColor(FColor);
  NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMFontChanged(TMessage& Message) {
  DispatchAs<TControl>(Message);
  NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::CMCtl3DChanged(TMessage&) {
  if (FCtl3DBorder) RecreateWnd();
  NotifyControls(CM_PARENTCTL3DCHANGED);
}

void TWinControl::CMParentCtl3DChanged(TMessage&) {
  if (!FParentCtl3D || !FParent) return;
  SetCtl3D(FParent->Ctl3D());
  FParentCtl3D = true;
}

void TWinControl::CMShowHintChanged(TMessage&) { NotifyControls(CM_PARENTSHOWHINTCHANGED); }

// Reading order, scroll-bar side and alignment are styles of the window
// (CreateParams), so only a new window shows the change.  Outside a
// middle-east locale no style depends on BiDiMode.
void TWinControl::CMBiDiModeChanged(TMessage&) {
  if (SysLocale.MiddleEast) RecreateWnd();
  NotifyControls(CM_PARENTBIDIMODECHANGED);
}

void TWinControl::CMParentDoubleBufferedChanged(TMessage&) {
  if (!FParentDoubleBuffered || !FParent) return;
  SetDoubleBuffered(FParent->DoubleBuffered());
  FParentDoubleBuffered = true;
}

void TWinControl::CMBorderChanged(TMessage&) {
  Realign();
  if (HandleAllocated())
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
}

void TWinControl::CMRecreateWnd(TMessage&) {
  // The focus dies with the old window of this control or of a child inside
  // it; the new window takes it back.
  TWinControl* WasFocused = FocusedControl();
  if (WasFocused && !ContainsControl(WasFocused)) WasFocused = nullptr;
  {
    updateRecreatingFlag(true);
    const TScopeExit Done([this] { updateRecreatingFlag(false); });
    DestroyHandle();
    UpdateControlState();
  }
  if (WasFocused && WasFocused->HandleAllocated()) gdi::SetFocus(WasFocused->Handle());
}

void TWinControl::CMInvalidate(TMessage&) {
  if (HandleAllocated()) InvalidateRect(Handle(), nullptr, FControlStyle.Contains(csOpaque) ? 0 : 1);
}

// ---------------------------------------------------------------------------
// the window

HWND TWinControl::Handle() {
  HandleNeeded();
  return FWindow->Handle();
}

bool TWinControl::HandleAllocated() const { return FWindow != nullptr; }

void TWinControl::HandleNeeded() {
  if (FWindow) return;
  if (FParent) FParent->HandleNeeded();
  CreateHandle();
}

void TWinControl::SetParentWindow(HWND Value) {
  if (FParent || FParentWindow == Value) return;
  DestroyHandle();
  FParentWindow = Value;
  UpdateControlState();
}

bool TWinControl::ShowsWithoutParent() const { return FParentWindow != nullptr; }

void TWinControl::CreateParams(TCreateParams& Params) {
  Params = TCreateParams();
  FCtl3DBorder = false;
  Params.Caption = FText;
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (FControlStyle.Contains(csAcceptsControls)) {
    Params.Style |= WS_CLIPCHILDREN;
    Params.ExStyle |= WS_EX_CONTROLPARENT;
  }
  if (!FEnabled) Params.Style |= WS_DISABLED;
  if (FTabStop) Params.Style |= WS_TABSTOP;
  // A control's content is left-justified; right-to-left alignment shows it
  // from the right.
  if (UseRightToLeftReading()) Params.ExStyle |= WS_EX_RTLREADING;
  if (UseRightToLeftScrollBar()) Params.ExStyle |= WS_EX_LEFTSCROLLBAR;
  if (UseRightToLeftAlignment()) Params.ExStyle |= WS_EX_RIGHT;
  Params.X = FLeft;
  Params.Y = FTop;
  Params.Width = FWidth;
  Params.Height = FHeight;
  Params.WndParent = FParent ? FParent->Handle() : FParentWindow;
  Params.ClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  Params.WinClassName = ClassName();
}

void TWinControl::AddSingleBorderStyle(TCreateParams& Params) {
  FCtl3DBorder = true;
  if (FCtl3D) {
    Params.Style &= ~WS_BORDER;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
  } else {
    Params.Style |= WS_BORDER;
  }
}

void TWinControl::CreateWnd() {
  TCreateParams Params;
  CreateParams(Params);
  if (!Params.WndParent && (Params.Style & WS_CHILD))
    throw EInvalidOperation(QStringLiteral("Control '%s' has no parent window"), {Name()});
  CreateWindowHandle(Params);
  assert(FWindow && "CreateWindowHandle made no window");
  if (AutoSize()) AdjustSize();
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
  FWindow = std::make_unique<TContainerWindow>(this, Params);
  FWindow->Realize();
}

void TWinControl::CreateHandle() {
  if (FWindow) return;
  CreateWnd();
  if (FParent)
    SetWindowPos(FWindow->Handle(), FParent->precedingWindow(this), 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (FKeptShape) {
    SetWindowRgn(FWindow->Handle(), FKeptShape, /*Redraw=*/0);
    FKeptShape = nullptr;
  }
  for (TControl* Child : FControls) Child->UpdateAnchorRules();
  for (TWinControl* Child : FWinControls) Child->UpdateAnchorRules();
  // The client area may have shrunk inside the frame.
  Realign();
}

HWND TWinControl::precedingWindow(TWinControl* Control) const {
  auto It = std::find(FWinControls.begin(), FWinControls.end(), Control);
  if (It != FWinControls.end())
    for (++It; It != FWinControls.end(); ++It)
      if ((*It)->FWindow) return (*It)->FWindow->Handle();
  return HWND_TOP;
}

void TWinControl::DestroyHandle() {
  if (!FWindow) return;
  for (TWinControl* Child : FWinControls) Child->DestroyHandle();
  DestroyWnd();
}

void TWinControl::DestroyWnd() {
  // The shape survives a recreation or a move to another parent.
  if (FWindow->Shape() && !FKeptShape) FKeptShape = CreateRgnFromRegion(*FWindow->Shape());
  DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
  FControlState.Include(csDestroyingHandle);
  const TScopeExit Done([&State = FControlState] { State.Exclude(csDestroyingHandle); });
  freeDeviceContextsOfWindow();
  Perform(WM_DESTROY, 0, 0);
  FShowing = false;
  FWindow.reset();
}

void TWinControl::freeDeviceContextsOfWindow() {
  auto release = [](TControl* C) {
    if (auto* Custom = dynamic_cast<TCustomControl*>(C)) static_cast<TControlCanvas*>(Custom->Canvas())->FreeHandle();
    if (auto* Graphic = dynamic_cast<TGraphicControl*>(C)) static_cast<TControlCanvas*>(Graphic->Canvas())->FreeHandle();
  };
  release(this);
  for (TControl* Child : FControls) release(Child);
}

void TWinControl::RecreateWnd() {
  if (FWindow) Perform(CM_RECREATEWND, 0, 0);
}

void TWinControl::updateRecreatingFlag(bool Recreating) {
  if (Recreating)
    FControlState.Include(csRecreating);
  else
    FControlState.Exclude(csRecreating);
  for (TWinControl* Child : FWinControls) Child->updateRecreatingFlag(Recreating);
}

bool TWinControl::Showing() const { return FShowing && (!FParent || FParent->Showing()); }

void TWinControl::UpdateControlState() {
  TWinControl* Root = this;
  while (Root->FParent) {
    Root = Root->FParent;
    if (!Root->Showing()) return;
  }
  if (Root->ShowsWithoutParent()) UpdateShowing();
}

void TWinControl::UpdateShowing() {
  const bool ShowControl = FVisible && !FControlState.Contains(csReadingState) &&
                           !ComponentState().Contains(csDestroying);
  if (ShowControl) {
    if (!FWindow) CreateHandle();
    const std::vector<TWinControl*> Children = FWinControls;
    for (TWinControl* Child : Children) Child->UpdateShowing();
  }
  if (FWindow && FShowing != ShowControl) {
    FShowing = ShowControl;
    try {
      Perform(CM_SHOWINGCHANGED, 0, 0);
    } catch (...) {
      FShowing = !ShowControl;
      throw;
    }
  }
}

void TWinControl::ShowControl(TControl*) {
  if (FParent) FParent->ShowControl(this);
}

// ---------------------------------------------------------------------------
// children

TControl* TWinControl::Controls(Integer Index) const {
  const Integer Graphic = Integer(FControls.size());
  if (Index < 0 || Index >= ControlCount()) throw EListError(QStringLiteral("List index out of bounds (%d)"), {Index});
  return Index < Graphic ? FControls[Index] : FWinControls[Index - Graphic];
}

void TWinControl::insertControl(TControl* AControl) {
  Perform(CM_CONTROLLISTCHANGING, reinterpret_cast<WPARAM>(AControl), 1);
  auto* Windowed = dynamic_cast<TWinControl*>(AControl);
  if (Windowed) {
    FWinControls.push_back(Windowed);
    FTabList.push_back(Windowed);
  } else {
    FControls.push_back(AControl);
  }
  AControl->FParent = this;
  if (!AControl->ComponentState().Contains(csReading)) {
    AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
    AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
    AControl->Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    AControl->Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
    if (Windowed) {
      Windowed->Perform(CM_PARENTCTL3DCHANGED, 0, 0);
      Windowed->Perform(CM_PARENTDOUBLEBUFFEREDCHANGED, 0, 0);
      Windowed->UpdateControlState();
    } else if (HandleAllocated()) {
      AControl->Invalidate();
    }
    AlignControl(AControl);
  }
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
}

void TWinControl::removeControl(TControl* AControl) {
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
  Perform(CM_CONTROLLISTCHANGING, reinterpret_cast<WPARAM>(AControl), 0);
  if (auto* Windowed = dynamic_cast<TWinControl*>(AControl)) {
    if (IFocusHost* Host = FocusHostOf(this)) Host->DefocusControl(Windowed);
    Windowed->DestroyHandle();
  }
  else if (HandleAllocated())
    AControl->InvalidateControl(AControl->Visible(), /*IsOpaque=*/false);
  eraseFrom(FControls, AControl);
  eraseFrom(FWinControls, AControl);
  eraseFrom(FTabList, AControl);
  AControl->FParent = nullptr;
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
  Realign();
}

TControl* TWinControl::ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls, bool AllLevels) {
  auto hits = [&](TControl* C) {
    const TPoint P{Pos.X - C->Left(), Pos.Y - C->Top()};
    return Rect(0, 0, C->Width(), C->Height()).Contains(P) && C->Visible() && (C->Enabled() || AllowDisabled) &&
           C->Perform(CM_HITTEST, 0, PointToLParam(P)) != 0;
  };
  TControl* Result = nullptr;
  if (AllowWinControls)
    for (auto It = FWinControls.rbegin(); It != FWinControls.rend() && !Result; ++It)
      if (hits(*It)) Result = *It;
  for (auto It = FControls.rbegin(); It != FControls.rend() && !Result; ++It)
    if (hits(*It)) Result = *It;
  if (AllLevels) {
    if (auto* Windowed = dynamic_cast<TWinControl*>(Result)) {
      const TPoint Inner{Pos.X - Windowed->Left(), Pos.Y - Windowed->Top()};
      if (TControl* Deeper = Windowed->ControlAtPos(Inner, AllowDisabled, AllowWinControls, true)) Result = Deeper;
    }
  }
  return Result;
}

TControl* TWinControl::FindChildControl(const String& ControlName) {
  if (ControlName.isEmpty()) return nullptr;
  for (Integer I = 0; I < ControlCount(); ++I)
    if (CompareText(Controls(I)->Name(), ControlName) == 0) return Controls(I);
  return nullptr;
}

bool TWinControl::ContainsControl(TControl* AControl) {
  for (TControl* C = AControl; C; C = C->Parent())
    if (C == this) return true;
  return false;
}

void TWinControl::Broadcast(TMessage& Message) {
  for (Integer I = 0; I < ControlCount(); ++I) {
    Controls(I)->WindowProc(Message);
    if (Message.Result != 0) return;
  }
}

void TWinControl::NotifyControls(UINT Msg) {
  TMessage Message{Msg, 0, 0, 0};
  Broadcast(Message);
}

void TWinControl::SetZOrder(bool TopMost) {
  if (!FParent) return;
  auto& List = FParent->FWinControls;
  auto It = std::find(List.begin(), List.end(), this);
  if (It == List.end()) return;
  List.erase(It);
  if (TopMost)
    List.push_back(this);
  else
    List.insert(List.begin(), this);
  if (FWindow)
    SetWindowPos(FWindow->Handle(), TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// ---------------------------------------------------------------------------
// bounds

void TWinControl::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  if (!checkNewSize(AWidth, AHeight)) return;
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  if (FWindow) {
    // The window's WM_WINDOWPOSCHANGED brings the fields along.
    SetWindowPos(FWindow->Handle(), nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    const bool Sized = AWidth != FWidth || AHeight != FHeight;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    Perform(WM_WINDOWPOSCHANGED, 0, 0);
    if (Sized) SendSizeMessage();
  }
  UpdateAnchorRules();
  RequestAlign();
}

TRect TWinControl::GetClientRect() {
  if (!FWindow) return TControl::GetClientRect();
  const TRect C = FWindow->ClientRect();
  return Rect(0, 0, C.Width(), C.Height());
}

void TWinControl::SetClientSize(TPoint Value) {
  const TRect Client = GetClientRect();
  SetBounds(FLeft, FTop, FWidth - Client.Right + Value.X, FHeight - Client.Bottom + Value.Y);
}

TPoint TWinControl::GetClientOrigin() {
  if (FWindow) return FWindow->ClientToScreen({0, 0});
  if (FParent) {
    const TPoint P = FParent->ClientOrigin();
    return {P.X + FLeft, P.Y + FTop};
  }
  return {FLeft, FTop};
}

void TWinControl::ChangeScale(Integer M, Integer D, bool IsDpiChange) {
  DisableAlign();
  const TScopeExit Enable([this] { EnableAlign(); });
  for (Integer I = 0; I < ControlCount(); ++I) Controls(I)->ChangeScale(M, D, IsDpiChange);
  TControl::ChangeScale(M, D, IsDpiChange);
}

// ---------------------------------------------------------------------------
// painting

void TWinControl::Invalidate() { Perform(CM_INVALIDATE, 0, 0); }

void TWinControl::Update() {
  if (FWindow) UpdateWindow(FWindow->Handle());
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

HDC TWinControl::GetDeviceContext(HWND& WindowHandle) {
  WindowHandle = Handle();
  return GetDC(WindowHandle);
}

void TWinControl::WMPaint(TWMPaint& Message) {
  if (!FControlState.Contains(csCustomPaint) && FControls.empty()) {
    DispatchAs<TControl>(Message);
    return;
  }
  PaintHandler(Message);
}

void TWinControl::CustomPaint(TWMPaint& Message) {
  FControlState.Include(csCustomPaint);
  const TScopeExit Restore([&State = FControlState] { State.Exclude(csCustomPaint); });
  DispatchAs<TWinControl>(Message);
}

void TWinControl::PaintHandler(TWMPaint& Message) {
  PAINTSTRUCT PS;
  HDC DC = Message.DC;
  if (!DC) DC = BeginPaint(Handle(), &PS);
  const TScopeExit End([Window = Message.DC ? nullptr : FWindow->Handle(), Begun = Message.DC ? nullptr : &PS] {
    if (Begun) EndPaint(Window, Begun);
  });
  if (FControls.empty()) {
    PaintWindow(DC);
  } else {
    TSavedDC Saved(DC);
    int Clip = SIMPLEREGION;
    // The window's own painting leaves out what opaque children cover.
    for (TControl* C : FControls) {
      if (!C->Visible() || !C->ControlStyle().Contains(csOpaque)) continue;
      Clip = ExcludeClipRect(DC, C->Left(), C->Top(), C->Left() + C->Width(), C->Top() + C->Height());
      if (Clip == NULLREGION) break;
    }
    if (Clip != NULLREGION) PaintWindow(DC);
  }
  PaintControls(DC, nullptr);
}

void TWinControl::PaintWindow(HDC DC) {
  // The window's own default painting; Perform would come back to PaintHandler.
  TMessage Message{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
  DefaultHandler(Message);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
  auto It = First ? std::find(FControls.begin(), FControls.end(), First) : FControls.begin();
  if (It == FControls.end()) It = FControls.begin();
  const bool Copy = FControlState.Contains(csPaintCopy);
  // A child's painting may add or remove children; walk a snapshot.
  const std::vector<TControl*> Children(It, FControls.end());
  for (TControl* C : Children) {
    const TRect R = C->BoundsRect();
    if (!C->Visible() || !RectVisible(DC, &R)) continue;
    if (Copy && !C->ControlStyle().Contains(csReplicatable)) continue;
    if (Copy) C->FControlState.Include(csPaintCopy);
    const TScopeExit Done([C] { C->FControlState.Exclude(csPaintCopy); });
    TSavedDC Saved(DC);
    moveWindowOrg(DC, C->Left(), C->Top());
    IntersectClipRect(DC, 0, 0, C->Width(), C->Height());
    C->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
  }
}

void PerformEraseBackground(TControl* Control, HDC DC) {
  TWinControl* Parent = Control->Parent();
  if (!Parent) return;
  TSavedDC Saved(DC);
  moveWindowOrg(DC, -Control->Left(), -Control->Top());
  // The parent's erase leaves its opaque children out, this one too; here
  // the background is wanted under it.
  const TControlStyle Style = Control->ControlStyle();
  TControlStyle Transparent = Style;
  Transparent.Exclude(csOpaque);
  Control->SetControlStyle(Transparent);
  const TScopeExit Restore([Control, Style] { Control->SetControlStyle(Style); });
  Parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(DC));
}

void TWinControl::WMEraseBkgnd(TWMEraseBkgnd& Message) {
  TSavedDC Saved(Message.DC);
  for (TControl* C : FControls)
    if (C->Visible() && C->ControlStyle().Contains(csOpaque))
      ExcludeClipRect(Message.DC, C->Left(), C->Top(), C->Left() + C->Width(), C->Top() + C->Height());
  FillRect(Message.DC, ClientRect(), FBrush->Handle());
  Message.Result = 1;
}

void TWinControl::PaintTo(HDC DC, Integer X, Integer Y) {
  FControlState.Include(csPaintCopy);
  const TScopeExit Done([&State = FControlState] { State.Exclude(csPaintCopy); });
  TSavedDC Saved(DC);
  moveWindowOrg(DC, X, Y);
  IntersectClipRect(DC, 0, 0, FWidth, FHeight);
  // The frame as the window paints it (its own WM_NCPAINT: scroll bars,
  // bevels, a form's caption), then the client area at its place inside it.
  const HWND Window = Handle();
  Perform(WM_NCPAINT, 1, 0);
  const HDC Frame = GetWindowDC(Window);
  BitBlt(DC, 0, 0, FWidth, FHeight, Frame, 0, 0, SRCCOPY);
  ReleaseDC(Window, Frame);
  const TRect C = FWindow->ClientRect();
  moveWindowOrg(DC, C.Left, C.Top);
  IntersectClipRect(DC, 0, 0, C.Width(), C.Height());
  Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(DC));
  Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
  const std::vector<TWinControl*> Children = FWinControls;
  for (TWinControl* Child : Children)
    if (Child->Visible()) Child->PaintTo(DC, Child->Left(), Child->Top());
}

void TWinControl::PaintTo(TCanvas* Canvas, Integer X, Integer Y) {
  Canvas->Lock();
  const TScopeExit Unlock([Canvas] { Canvas->Unlock(); });
  PaintTo(Canvas->Handle(), X, Y);
}

TContainerWindow* TWinControl::ensureWindow() {
  HandleNeeded();
  return FWindow.get();
}

// ---------------------------------------------------------------------------
// frame

void TWinControl::WMNCCalcSize(TWMNCCalcSize& Message) {
  DispatchAs<TControl>(Message);
  if (FBevelKind == bkNone || !Message.CalcSize_Params) return;
  const int Edge = BevelEdgeSize();
  TRect& R = Message.CalcSize_Params->rgrc[0];
  if (FBevelEdges.Contains(beLeft)) R.Left += Edge;
  if (FBevelEdges.Contains(beTop)) R.Top += Edge;
  if (FBevelEdges.Contains(beRight)) R.Right -= Edge;
  if (FBevelEdges.Contains(beBottom)) R.Bottom -= Edge;
}

void TWinControl::WMNCPaint(TWMNCPaint& Message) {
  DispatchAs<TControl>(Message);
  if (FBevelKind == bkNone || FBevelWidth <= 0 || !FWindow) return;
  const HWND Window = FWindow->Handle();
  const HDC DC = GetWindowDC(Window);
  paintBevels(DC);
  ReleaseDC(Window, DC);
}

void TWinControl::paintBevels(HDC DC) {
  // The bevel rings surround the client area and its scroll bars.
  const DWORD Style = DWORD(GetWindowLong(FWindow->Handle(), GWL_STYLE));
  TRect Inside = FWindow->ClientRect();
  if (Style & WS_VSCROLL) {
    if (DWORD(GetWindowLong(FWindow->Handle(), GWL_EXSTYLE)) & WS_EX_LEFTSCROLLBAR)
      Inside.Left -= GetSystemMetrics(SM_CXVSCROLL);
    else
      Inside.Right += GetSystemMetrics(SM_CXVSCROLL);
  }
  if (Style & WS_HSCROLL) Inside.Bottom += GetSystemMetrics(SM_CYHSCROLL);
  const int Edge = BevelEdgeSize();
  TRect R = Inside;
  if (FBevelEdges.Contains(beLeft)) R.Left -= Edge;
  if (FBevelEdges.Contains(beTop)) R.Top -= Edge;
  if (FBevelEdges.Contains(beRight)) R.Right += Edge;
  if (FBevelEdges.Contains(beBottom)) R.Bottom += Edge;
  {
    // Wider bevels leave room inside their rings: the background.
    TSavedDC Saved(DC);
    ExcludeClipRect(DC, Inside.Left, Inside.Top, Inside.Right, Inside.Bottom);
    FillRect(DC, R, FBrush->Handle());
  }
  const UINT Inner[] = {0, BDR_SUNKENINNER, BDR_RAISEDINNER, 0};
  const UINT Outer[] = {0, BDR_SUNKENOUTER, BDR_RAISEDOUTER, 0};
  UINT Flags = UINT(FBevelEdges.Bits());  // beLeft..beBottom are BF_LEFT..BF_BOTTOM
  if (FBevelKind == bkFlat) Flags |= BF_FLAT;
  if (!FCtl3D) Flags |= BF_MONO;
  DrawEdge(DC, &R, Inner[FBevelInner] | Outer[FBevelOuter], Flags);
}

Integer TWinControl::BevelEdgeSize() const {
  Integer Size = 0;
  if (FBevelInner != bvNone) Size += FBevelWidth;
  if (FBevelOuter != bvNone) Size += FBevelWidth;
  return Size;
}

void TWinControl::SetBorderWidth(TBorderWidth Value) {
  if (FBorderWidth == Value) return;
  FBorderWidth = Value;
  Perform(CM_BORDERCHANGED, 0, 0);
}

void TWinControl::SetBevelEdges(TBevelEdges Value) {
  if (FBevelEdges == Value) return;
  FBevelEdges = Value;
  Perform(CM_BORDERCHANGED, 0, 0);
}

void TWinControl::SetBevelInner(TBevelCut Value) {
  if (FBevelInner == Value) return;
  FBevelInner = Value;
  Perform(CM_BORDERCHANGED, 0, 0);
}

void TWinControl::SetBevelOuter(TBevelCut Value) {
  if (FBevelOuter == Value) return;
  FBevelOuter = Value;
  Perform(CM_BORDERCHANGED, 0, 0);
}

void TWinControl::SetBevelKind(TBevelKind Value) {
  if (FBevelKind == Value) return;
  FBevelKind = Value;
  Perform(CM_BORDERCHANGED, 0, 0);
}

void TWinControl::SetBevelWidth(TBevelWidth Value) {
  if (FBevelWidth == Value) return;
  FBevelWidth = Value;
  Perform(CM_BORDERCHANGED, 0, 0);
}

// ---------------------------------------------------------------------------
// tab order and stored properties

TTabOrder TWinControl::TabOrder() const {
  if (!FParent) return -1;
  const auto& List = FParent->FTabList;
  auto It = std::find(List.begin(), List.end(), this);
  return It == List.end() ? -1 : TTabOrder(It - List.begin());
}

void TWinControl::SetTabOrder(TTabOrder Value) {
  if (!FParent) return;
  auto& List = FParent->FTabList;
  auto It = std::find(List.begin(), List.end(), this);
  if (It == List.end()) return;
  List.erase(It);
  const auto Count = TTabOrder(List.size());
  const TTabOrder Place = Value < 0 || Value > Count ? Count : Value;
  List.insert(List.begin() + Place, this);
}

void TWinControl::SetTabStop(bool Value) {
  if (FTabStop == Value) return;
  FTabStop = Value;
  if (FWindow) {
    const DWORD Style = FWindow->Style();
    FWindow->SetStyle(Value ? Style | WS_TABSTOP : Style & ~WS_TABSTOP);
  }
  Perform(CM_TABSTOPCHANGED, 0, 0);
}

void TWinControl::GetTabOrderList(TList* List) {
  for (TWinControl* Child : FTabList) {
    List->Add(Child);
    Child->GetTabOrderList(List);
  }
}

void TWinControl::SetDoubleBuffered(bool Value) {
  if (FDoubleBuffered == Value) return;
  FDoubleBuffered = Value;
  FParentDoubleBuffered = false;
  NotifyControls(CM_PARENTDOUBLEBUFFEREDCHANGED);
}

void TWinControl::SetParentDoubleBuffered(bool Value) {
  if (FParentDoubleBuffered == Value) return;
  FParentDoubleBuffered = Value;
  if (FParent) Perform(CM_PARENTDOUBLEBUFFEREDCHANGED, 0, 0);
}

void TWinControl::SetCtl3D(bool Value) {
  if (FCtl3D == Value) return;
  FCtl3D = Value;
  FParentCtl3D = false;
  Perform(CM_CTL3DCHANGED, 0, 0);
}

void TWinControl::SetParentCtl3D(bool Value) {
  if (FParentCtl3D == Value) return;
  FParentCtl3D = Value;
  if (FParent) Perform(CM_PARENTCTL3DCHANGED, 0, 0);
}

// ---------------------------------------------------------------------------
// images of controls

namespace test {

std::unique_ptr<TBitmap> Snapshot(TWinControl* Control) {
  auto Bitmap = std::make_unique<TBitmap>();
  Bitmap->SetPixelFormat(pf32bit);
  Bitmap->SetSize(Control->Width(), Control->Height());
  Control->PaintTo(Bitmap->Canvas(), 0, 0);
  return Bitmap;
}

}  // namespace test

TControl* FindDragTarget(TPoint Pos, bool AllowDisabled) {
  TWinControl* Window = FindControl(WindowFromPoint(Pos));
  if (!Window) return nullptr;
  TControl* Control = Window->ControlAtPos(Window->ScreenToClient(Pos), AllowDisabled);
  return Control ? Control : Window;
}

std::unique_ptr<TBitmap> GrabWindow(TWinControl* Control, const TRect& Rect) {
  TContainerWindow* W = Control->ensureWindow();
  const TRect C = W->ClientRect();
  const QRect Area = IsRectEmpty(Rect) ? QRect(0, 0, W->Bounds().Width(), W->Bounds().Height())
                                       : ToQRect(Rect).translated(C.Left, C.Top);
  auto Bitmap = std::make_unique<TBitmap>();
  Bitmap->SetImage(W->Grab(Area));
  return Bitmap;
}
