#include "platform/ui/windowing/controls.h"

#include "platform/rtl/format.h"
#include "platform/rtl/rtlmath.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"
#include "platform/ui/graphics/textengine.h"
#include "platform/ui/windowing/actions.h"
#include "platform/ui/windowing/hwnd.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/menus.h"
#include "platform/ui/windowing/window.h"
#include "platform/ui/windowing/windowingstate_p.h"

#include <algorithm>
#include <cstdlib>

using namespace gdi;

struct windowing_detail::TControlState {
  TControl* CaptureControl = nullptr;  // the graphic control holding the mouse through its parent's window capture
  std::vector<TControlCanvas*> CanvasesWithDC;  // for FreeDeviceContexts

  // Between tests: no capture; the canvases alive keep their DCs.
  void Reset() { CaptureControl = nullptr; }
};

namespace {

TControl*& captureControl() { return WindowingState().Controls.Get().CaptureControl; }

std::vector<TControlCanvas*>& canvasesWithDC() { return WindowingState().Controls.Get().CanvasesWithDC; }

void forgetCanvas(TControlCanvas* Canvas) {
  auto& List = canvasesWithDC();
  List.erase(std::remove(List.begin(), List.end(), Canvas), List.end());
}

}  // namespace

// ---------------------------------------------------------------------------
// types

TAnchors AnchorAlign(TAlign Align) {
  switch (Align) {
    case alTop: return {akLeft, akTop, akRight};
    case alBottom: return {akLeft, akRight, akBottom};
    case alLeft: return {akLeft, akTop, akBottom};
    case alRight: return {akRight, akTop, akBottom};
    case alClient: return {akLeft, akTop, akRight, akBottom};
    case alNone:
    case alCustom: break;
  }
  return {akLeft, akTop};
}

TControl* GetCaptureControl() {
  TControl* Result = FindControl(GetCapture());
  TControl* Graphic = captureControl();
  if (Result && Graphic && Graphic->Parent() == Result) Result = Graphic;
  return Result;
}

void SetCaptureControl(TControl* Control) {
  ReleaseCapture();
  captureControl() = nullptr;
  if (!Control) return;
  auto* Windowed = dynamic_cast<TWinControl*>(Control);
  if (!Windowed) {
    if (!Control->Parent()) return;
    captureControl() = Control;
    Windowed = Control->Parent();
  }
  SetCapture(Windowed->Handle());
}

// ---------------------------------------------------------------------------
// TSizeConstraints

TSizeConstraints::TSizeConstraints(TControl* Control) : FControl(Control) {}

void TSizeConstraints::DescribeProperties(TPropertyTable& Props) {
  Props.Add("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight).Default(0);
  Props.Add("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth).Default(0);
  Props.Add("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight).Default(0);
  Props.Add("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth).Default(0);
}

void TSizeConstraints::SetMaxHeight(Integer Value) {
  if (Value == FMaxHeight) return;
  FMaxHeight = Value;
  if (Value > 0 && Value < FMinHeight) FMinHeight = Value;
  Change();
}

void TSizeConstraints::SetMaxWidth(Integer Value) {
  if (Value == FMaxWidth) return;
  FMaxWidth = Value;
  if (Value > 0 && Value < FMinWidth) FMinWidth = Value;
  Change();
}

void TSizeConstraints::SetMinHeight(Integer Value) {
  if (Value == FMinHeight) return;
  FMinHeight = Value;
  if (FMaxHeight > 0 && Value > FMaxHeight) FMaxHeight = Value;
  Change();
}

void TSizeConstraints::SetMinWidth(Integer Value) {
  if (Value == FMinWidth) return;
  FMinWidth = Value;
  if (FMaxWidth > 0 && Value > FMaxWidth) FMaxWidth = Value;
  Change();
}

void TSizeConstraints::AssignTo(TPersistent* Dest) {
  auto* D = dynamic_cast<TSizeConstraints*>(Dest);
  if (!D) {
    TPersistent::AssignTo(Dest);
    return;
  }
  D->FMaxHeight = FMaxHeight;
  D->FMaxWidth = FMaxWidth;
  D->FMinHeight = FMinHeight;
  D->FMinWidth = FMinWidth;
  D->Change();
}

void TSizeConstraints::Change() {
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------
// TControlCanvas

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::FreeHandle() {
  if (!FDeviceContext) return;
  SetHandle(nullptr);
  ReleaseDC(FWindowHandle, FDeviceContext);
  FDeviceContext = nullptr;
  FWindowHandle = nullptr;
  forgetCanvas(this);
}

void TControlCanvas::SetControl(TControl* AControl) {
  if (FControl == AControl) return;
  FreeHandle();
  FControl = AControl;
}

void TControlCanvas::CreateHandle() {
  if (!FControl) {
    TCanvas::CreateHandle();
    return;
  }
  if (!FDeviceContext) {
    FDeviceContext = FControl->GetDeviceContext(FWindowHandle);
    canvasesWithDC().push_back(this);
  }
  SetHandle(FDeviceContext);
}

void PaintOnCanvas(TCanvas* Canvas, HDC DC, const std::function<void()>& Paint) {
  Canvas->Lock();
  Canvas->SetHandle(DC);
  // The canvas's own DC, if it has one, comes back at its next drawing call.
  const TScopeExit Detach([Canvas] {
    Canvas->SetHandle(nullptr);
    Canvas->Unlock();
  });
  Paint();
}

void MeasureOnScreen(TCanvas* Canvas, const std::function<void()>& Measure) {
  const HDC DC = GetDC(nullptr);
  PaintOnCanvas(Canvas, DC, Measure);
  ReleaseDC(nullptr, DC);
}

void FreeDeviceContexts() {
  // FreeHandle edits the list.
  const std::vector<TControlCanvas*> List = canvasesWithDC();
  for (TControlCanvas* Canvas : List) Canvas->FreeHandle();
}

// ---------------------------------------------------------------------------
// TControl: life cycle

const TMessageMap& TControl::MessageMap() {
  static const TMessageMap Map(TMessageTarget::MessageMap(), {
      {WM_LBUTTONDOWN, &TControl::WMLButtonDown},
      {WM_LBUTTONDBLCLK, &TControl::WMLButtonDblClk},
      {WM_LBUTTONUP, &TControl::WMLButtonUp},
      {WM_RBUTTONDOWN, &TControl::WMRButtonDown},
      {WM_RBUTTONDBLCLK, &TControl::WMRButtonDblClk},
      {WM_RBUTTONUP, &TControl::WMRButtonUp},
      {WM_MBUTTONDOWN, &TControl::WMMButtonDown},
      {WM_MBUTTONDBLCLK, &TControl::WMMButtonDblClk},
      {WM_MBUTTONUP, &TControl::WMMButtonUp},
      {WM_MOUSEMOVE, &TControl::WMMouseMove},
      {WM_SIZE, &TControl::WMSize},
      {WM_WINDOWPOSCHANGED, &TControl::WMWindowPosChanged},
      {WM_CONTEXTMENU, &TControl::WMContextMenu},
      {CM_ENABLEDCHANGED, &TControl::CMEnabledChanged},
      {CM_VISIBLECHANGED, &TControl::CMVisibleChanged},
      {CM_COLORCHANGED, &TControl::CMColorChanged},
      {CM_FONTCHANGED, &TControl::CMFontChanged},
      {CM_PARENTCOLORCHANGED, &TControl::CMParentColorChanged},
      {CM_PARENTFONTCHANGED, &TControl::CMParentFontChanged},
      {CM_PARENTSHOWHINTCHANGED, &TControl::CMParentShowHintChanged},
      {CM_PARENTBIDIMODECHANGED, &TControl::CMParentBiDiModeChanged},
      {CM_MOUSEENTER, &TControl::CMMouseEnter},
      {CM_MOUSELEAVE, &TControl::CMMouseLeave},
      {CM_MOUSEWHEEL, &TControl::CMMouseWheel},
      {CM_HITTEST, &TControl::CMHitTest},
      {CM_CURSORCHANGED, &TControl::CMCursorChanged},
  });
  return Map;
}

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), FFont(new TFont), FConstraints(new TSizeConstraints(this)) {
  FFont->OnChange = TNotifyEvent(this, &TControl::fontChanged);
  FConstraints->OnChange = TNotifyEvent(this, &TControl::constraintsChanged);
}

TControl::~TControl() {
  leaveParent();
  delete FActionLink;
  FConstraints->Free();
  FFont->Free();
}

void TControl::BeforeDestruction() {
  // Out of the parent first: the parent's lists must not hold a control whose
  // owned components are being freed.
  Destroying();
  leaveParent();
  TComponent::BeforeDestruction();
}

void TControl::leaveParent() {
  if (FLeftParent) return;
  FLeftParent = true;
  if (captureControl() == this) SetCaptureControl(nullptr);
  if (FParent) SetParent(nullptr);
}

void TControl::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Left", &TControl::Left, &TControl::SetLeft);
  Props.Add("Top", &TControl::Top, &TControl::SetTop);
  Props.Add("Width", &TControl::Width, &TControl::SetWidth);
  Props.Add("Height", &TControl::Height, &TControl::SetHeight);
  Props.Add("Cursor", &TControl::Cursor, &TControl::SetCursor).Default(crDefault);
  Props.Add("Hint", &TControl::Hint, &TControl::SetHint);
}

void TControl::Loaded() {
  TComponent::Loaded();
  UpdateAnchorRules();
}

// ---------------------------------------------------------------------------
// TControl: messages

void TControl::WndProc(TMessage& Message) {
  if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST) {
    if (!FControlStyle.Contains(csDoubleClicks)) {
      switch (Message.Msg) {
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK: Message.Msg -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN; break;
        default: break;
      }
    }
    if (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK)
      FControlState.Include(csLButtonDown);
    else if (Message.Msg == WM_LBUTTONUP)
      FControlState.Exclude(csLButtonDown);
  }
  Dispatch(Message);
  // The context-menu key and Shift+F10 ask for the menu from the keyboard,
  // as the system's default processing of the key does: after the key
  // handlers, which may take the key (CharCode 0).
  const bool MenuKey = (Message.Msg == WM_KEYDOWN && Message.WParam == VK_APPS) ||
                       (Message.Msg == WM_SYSKEYDOWN && Message.WParam == VK_F10 && GetKeyState(VK_SHIFT) < 0);
  if (!MenuKey) return;
  auto* Windowed = dynamic_cast<TWinControl*>(this);
  Perform(WM_CONTEXTMENU, Windowed && Windowed->HandleAllocated() ? HandleToWParam(Windowed->Handle()) : 0,
          PointToLParam(TPoint{-1, -1}));
}

void TControl::DefaultHandler(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETTEXT: {
      auto* Buffer = reinterpret_cast<Char*>(Message.LParam);
      const qsizetype Room = qsizetype(Message.WParam);
      if (!Buffer || Room <= 0) {
        Message.Result = 0;
        return;
      }
      const qsizetype Count = std::min(Room - 1, FText.size());
      std::copy_n(FText.constData(), Count, Buffer);
      Buffer[Count] = Char(0);
      Message.Result = Count;
      return;
    }
    case WM_GETTEXTLENGTH: Message.Result = FText.size(); return;
    case WM_SETTEXT: {
      const auto* Text = reinterpret_cast<const Char*>(Message.LParam);
      FText = Text ? String(Text) : String();
      Message.Result = 1;
      return;
    }
    case WM_RBUTTONUP: {
      // The context menu comes before MouseUp, as the system's default
      // processing of the release sends it.
      const TPoint P = ClientToScreen(Message.As<TWMMouse>().Pos());
      Perform(WM_CONTEXTMENU, FParent && FParent->HandleAllocated() ? HandleToWParam(FParent->Handle()) : 0,
              PointToLParam(P));
      return;
    }
    case WM_CONTEXTMENU:
      if (FParent) Message.Result = FParent->Perform(Message.Msg, Message.WParam, Message.LParam);
      return;
    default: break;
  }
}

void TControl::mouseDownMessage(TMouseButton Button, TShiftState Shift, TWMMouse& Message) {
  if (FControlStyle.Contains(csNoStdEvents)) return;
  MouseDown(Button, KeysToShiftState(Word(Message.Keys)) + Shift, Message.XPos, Message.YPos);
}

void TControl::mouseUpMessage(TMouseButton Button, TWMMouse& Message) {
  if (FControlStyle.Contains(csNoStdEvents)) return;
  MouseUp(Button, KeysToShiftState(Word(Message.Keys)), Message.XPos, Message.YPos);
}

void TControl::WMLButtonDown(TWMMouse& Message) {
  SendCancelMode(this);
  DispatchAs<TMessageTarget>(Message);
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (FControlStyle.Contains(csClickEvents)) FControlState.Include(csClicked);
  mouseDownMessage(mbLeft, {}, Message);
}

void TControl::WMLButtonDblClk(TWMMouse& Message) {
  SendCancelMode(this);
  DispatchAs<TMessageTarget>(Message);
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (FControlStyle.Contains(csClickEvents)) DblClick();
  mouseDownMessage(mbLeft, {ssDouble}, Message);
}

void TControl::WMLButtonUp(TWMMouse& Message) {
  DispatchAs<TMessageTarget>(Message);
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
  if (FControlState.Contains(csClicked)) {
    FControlState.Exclude(csClicked);
    if (ClientRect().Contains(Message.Pos())) Click();
  }
  mouseUpMessage(mbLeft, Message);
}

void TControl::WMRButtonDown(TWMMouse& Message) {
  DispatchAs<TMessageTarget>(Message);
  mouseDownMessage(mbRight, {}, Message);
}

void TControl::WMRButtonDblClk(TWMMouse& Message) {
  DispatchAs<TMessageTarget>(Message);
  mouseDownMessage(mbRight, {ssDouble}, Message);
}

void TControl::WMRButtonUp(TWMMouse& Message) {
  DispatchAs<TMessageTarget>(Message);
  mouseUpMessage(mbRight, Message);
}

void TControl::WMMButtonDown(TWMMouse& Message) {
  DispatchAs<TMessageTarget>(Message);
  mouseDownMessage(mbMiddle, {}, Message);
}

void TControl::WMMButtonDblClk(TWMMouse& Message) {
  DispatchAs<TMessageTarget>(Message);
  mouseDownMessage(mbMiddle, {ssDouble}, Message);
}

void TControl::WMMButtonUp(TWMMouse& Message) {
  DispatchAs<TMessageTarget>(Message);
  mouseUpMessage(mbMiddle, Message);
}

void TControl::WMMouseMove(TWMMouse& Message) {
  DispatchAs<TMessageTarget>(Message);
  if (!FControlStyle.Contains(csNoStdEvents))
    MouseMove(KeysToShiftState(Word(Message.Keys)), Message.XPos, Message.YPos);
}

void TControl::WMSize(TWMSize& Message) {
  DispatchAs<TMessageTarget>(Message);
  if (!ComponentState().Contains(csLoading)) Resize();
}

void TControl::WMWindowPosChanged(TWMWindowPosChanged& Message) { DispatchAs<TMessageTarget>(Message); }

void TControl::WMContextMenu(TWMContextMenu& Message) {
  if (Message.Result != 0) return;
  const TPoint Screen = Message.Pos();
  // (-1, -1): asked for from the keyboard, no point to check.
  const bool FromKeyboard = Screen.X == -1 && Screen.Y == -1;
  const TPoint P = FromKeyboard ? Screen : ScreenToClient(Screen);
  if (!FromKeyboard && !ClientRect().Contains(P)) {
    DispatchAs<TMessageTarget>(Message);
    return;
  }
  bool Handled = false;
  DoContextPopup(P, Handled);
  if (!Handled && FPopupMenu && FPopupMenu->AutoPopup()) {
    SendCancelMode(nullptr);
    FPopupMenu->SetPopupComponent(this);
    const TPoint At = FromKeyboard ? ClientToScreen(TPoint{0, 0}) : Screen;
    FPopupMenu->Popup(At.X, At.Y);
    Handled = true;
  }
  Message.Result = Handled ? 1 : 0;
  if (!Handled) DispatchAs<TMessageTarget>(Message);
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = Value;
  if (Value) Value->FreeNotification(this);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
  if (Operation == opRemove && AComponent && AComponent == Action()) SetAction(nullptr);
}

TBasicAction* TControl::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TControl::SetAction(TBasicAction* Value) {
  if (!Value) {
    delete FActionLink;
    FActionLink = nullptr;
    return;
  }
  if (!FActionLink) FActionLink = CreateActionLink();
  FActionLink->SetAction(Value);
  ActionChange(Value, Value->ComponentState().Contains(csLoading));
  Value->FreeNotification(this);
}

TControlActionLink* TControl::CreateActionLink() { return new TControlActionLink(this); }

bool TControl::ExecuteAction(TBasicAction* Action) {
  if (!Action->HandlesTarget(this)) return false;
  Action->ExecuteTarget(this);
  return true;
}

bool TControl::UpdateAction(TBasicAction* Action) {
  if (!Action->HandlesTarget(this)) return false;
  Action->UpdateTarget(this);
  return true;
}

void TControl::ActionChange(TObject* Sender, bool CheckDefaults) {
  auto* Basic = dynamic_cast<TBasicAction*>(Sender);
  if (!Basic) return;
  if (!CheckDefaults || !OnClick) OnClick = Basic->OnExecute();
  auto* A = dynamic_cast<TCustomAction*>(Sender);
  if (!A) return;
  if (!CheckDefaults || Caption().isEmpty()) SetCaption(A->Caption());
  if (!CheckDefaults || FEnabled) SetEnabled(A->Enabled());
  if (!CheckDefaults || FHint.isEmpty()) SetHint(A->Hint());
  if (!CheckDefaults || FVisible) SetVisible(A->Visible());
}

void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }

void TControl::CMVisibleChanged(TMessage&) {
  InvalidateControl(/*IsVisible=*/true, FVisible && FControlStyle.Contains(csOpaque));
}

void TControl::CMColorChanged(TMessage&) { Invalidate(); }

void TControl::CMFontChanged(TMessage&) { Invalidate(); }

void TControl::CMParentColorChanged(TMessage& Message) {
  if (!FParentColor || !FParent) return;
  SetColor(Message.WParam != 0 ? TColor(Message.LParam) : FParent->Color());
  FParentColor = true;
}

void TControl::CMParentFontChanged(TMessage& Message) {
  if (!FParentFont || !FParent) return;
  SetFont(Message.WParam != 0 ? reinterpret_cast<TFont*>(Message.LParam) : FParent->Font());
  FParentFont = true;
}

void TControl::CMParentShowHintChanged(TMessage&) {
  if (!FParentShowHint || !FParent) return;
  SetShowHint(FParent->ShowHint());
  FParentShowHint = true;
}

void TControl::CMParentBiDiModeChanged(TMessage&) {
  if (!FParentBiDiMode || !FParent) return;
  SetBiDiMode(FParent->BiDiMode());
  FParentBiDiMode = true;
}

void TControl::CMMouseEnter(TCMMouseEnter& Message) {
  if (!Message.Control && OnMouseEnter) OnMouseEnter(this);
  if (FParent) FParent->Perform(CM_MOUSEENTER, 0, LPARAM(Message.Control ? Message.Control : this));
}

void TControl::CMMouseLeave(TCMMouseLeave& Message) {
  if (!Message.Control && OnMouseLeave) OnMouseLeave(this);
  if (FParent) FParent->Perform(CM_MOUSELEAVE, 0, LPARAM(Message.Control ? Message.Control : this));
}

void TControl::CMMouseWheel(TCMMouseWheel& Message) {
  Message.Result = 0;
  if (DoMouseWheel(Message.ShiftState(), Message.WheelDelta, Message.Pos()))
    Message.Result = 1;
  else if (FParent)
    Message.Result = FParent->Perform(CM_MOUSEWHEEL, AsMessage(Message).WParam, AsMessage(Message).LParam);
}

void TControl::CMHitTest(TMessage& Message) { Message.Result = HTCLIENT; }

// ---------------------------------------------------------------------------
// TControl: input virtuals

void TControl::Click() {
  TBasicAction* A = Action();
  if (A && (!OnClick || OnClick == A->OnExecute()))
    FActionLink->Execute(this);
  else if (OnClick)
    OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  bool Result = false;
  if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, Result);
  if (Result) return true;
  // A notch is WHEEL_DELTA; finer wheels gather until one is complete.
  FWheelAccumulator += WheelDelta;
  while (std::abs(FWheelAccumulator) >= WHEEL_DELTA) {
    const bool Down = FWheelAccumulator < 0;
    FWheelAccumulator += Down ? WHEEL_DELTA : -WHEEL_DELTA;
    Result = Down ? DoMouseWheelDown(Shift, MousePos) : DoMouseWheelUp(Shift, MousePos);
  }
  return Result;
}

bool TControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  bool Result = false;
  if (OnMouseWheelDown) OnMouseWheelDown(this, Shift, MousePos, Result);
  return Result;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  bool Result = false;
  if (OnMouseWheelUp) OnMouseWheelUp(this, Shift, MousePos, Result);
  return Result;
}

void TControl::DoContextPopup(TPoint MousePos, bool& Handled) {
  if (OnContextPopup) OnContextPopup(this, MousePos, Handled);
}

void TControl::SendCancelMode(TControl* Sender) {
  if (FParent) FParent->SendCancelMode(Sender);
}

// ---------------------------------------------------------------------------
// TControl: parent

void TControl::SetParent(TWinControl* AParent) {
  if (FParent == AParent) return;
  if (AParent == this) throw EInvalidOperation(QStringLiteral("A control cannot have itself as its parent"));
  if (FParent) FParent->removeControl(this);
  if (AParent) {
    AParent->insertControl(this);
    UpdateAnchorRules();
  }
}

TComponent* TControl::GetParentComponent() const { return FParent; }

bool TControl::HasParent() const { return true; }

// ---------------------------------------------------------------------------
// TControl: bounds

void TControl::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  if (!checkNewSize(AWidth, AHeight)) return;
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  const bool Sized = AWidth != FWidth || AHeight != FHeight;
  InvalidateControl(FVisible, /*IsOpaque=*/false);
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  UpdateAnchorRules();
  Invalidate();
  Perform(WM_WINDOWPOSCHANGED, 0, 0);
  if (Sized) SendSizeMessage();
  RequestAlign();
}

void TControl::SendSizeMessage() {
  const TRect R = ClientRect();
  Perform(WM_SIZE, SIZE_RESTORED, MAKELPARAM(WORD(R.Width()), WORD(R.Height())));
}

bool TControl::checkNewSize(int& NewWidth, int& NewHeight) {
  int W = NewWidth;
  int H = NewHeight;
  if (!doCanResize(W, H)) return false;
  int W2 = W;
  int H2 = H;
  const bool Result = !FAutoSize || (doCanAutoSize(W2, H2) && W2 == W && H2 == H) || doCanResize(W2, H2);
  if (Result) {
    NewWidth = W2;
    NewHeight = H2;
  }
  return Result;
}

bool TControl::doCanResize(int& NewWidth, int& NewHeight) {
  if (!CanResize(NewWidth, NewHeight)) return false;
  doConstrainedResize(NewWidth, NewHeight);
  return true;
}

bool TControl::doCanAutoSize(int& NewWidth, int& NewHeight) {
  if (FAlign == alClient) return true;
  int W = NewWidth;
  int H = NewHeight;
  const bool Result = CanAutoSize(W, H);
  // An aligned side belongs to the parent's layout.
  if (FAlign == alNone || FAlign == alLeft || FAlign == alRight) NewWidth = W;
  if (FAlign == alNone || FAlign == alTop || FAlign == alBottom) NewHeight = H;
  return Result;
}

TSize TControl::ConstrainedSize(Integer AWidth, Integer AHeight) {
  doConstrainedResize(AWidth, AHeight);
  return {AWidth, AHeight};
}

void TControl::doConstrainedResize(int& NewWidth, int& NewHeight) {
  int MinWidth = std::max(FConstraints->MinWidth(), 0);
  int MinHeight = std::max(FConstraints->MinHeight(), 0);
  int MaxWidth = std::max(FConstraints->MaxWidth(), 0);
  int MaxHeight = std::max(FConstraints->MaxHeight(), 0);
  ConstrainedResize(MinWidth, MinHeight, MaxWidth, MaxHeight);
  if (MaxWidth > 0 && NewWidth > MaxWidth)
    NewWidth = MaxWidth;
  else if (MinWidth > 0 && NewWidth < MinWidth)
    NewWidth = MinWidth;
  if (MaxHeight > 0 && NewHeight > MaxHeight)
    NewHeight = MaxHeight;
  else if (MinHeight > 0 && NewHeight < MinHeight)
    NewHeight = MinHeight;
}

bool TControl::CanResize(int& NewWidth, int& NewHeight) {
  bool Result = true;
  if (OnCanResize) OnCanResize(this, NewWidth, NewHeight, Result);
  return Result;
}

bool TControl::CanAutoSize(int&, int&) { return true; }

void TControl::ConstrainedResize(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight) {
  if (OnConstrainedResize) OnConstrainedResize(this, MinWidth, MinHeight, MaxWidth, MaxHeight);
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::AdjustSize() {
  if (!ComponentState().Contains(csLoading)) SetBounds(FLeft, FTop, FWidth, FHeight);
}

void TControl::SetAutoSize(bool Value) {
  if (FAutoSize == Value) return;
  FAutoSize = Value;
  if (Value) AdjustSize();
}

void TControl::constraintsChanged(TObject*) { AdjustSize(); }

TRect TControl::GetClientRect() { return Rect(0, 0, FWidth, FHeight); }

void TControl::SetClientSize(TPoint Value) { SetBounds(FLeft, FTop, Value.X, Value.Y); }

TPoint TControl::GetClientOrigin() {
  if (!FParent) throw EInvalidOperation(QStringLiteral("Control '%s' has no parent window"), {Name()});
  const TPoint P = FParent->ClientOrigin();
  return {P.X + FLeft, P.Y + FTop};
}

TPoint TControl::ClientToScreen(TPoint Point) {
  const TPoint Origin = ClientOrigin();
  return {Point.X + Origin.X, Point.Y + Origin.Y};
}

TPoint TControl::ScreenToClient(TPoint Point) {
  const TPoint Origin = ClientOrigin();
  return {Point.X - Origin.X, Point.Y - Origin.Y};
}

void TControl::SetZOrder(bool TopMost) {
  if (!FParent) return;
  auto& List = FParent->FControls;
  auto It = std::find(List.begin(), List.end(), this);
  if (It == List.end()) return;
  List.erase(It);
  if (TopMost)
    List.push_back(this);
  else
    List.insert(List.begin(), this);
  InvalidateControl(FVisible, /*IsOpaque=*/true);
}

void TControl::RequestAlign() {
  if (FParent) FParent->AlignControl(this);
}

// ---------------------------------------------------------------------------
// TControl: alignment

void TControl::SetAlign(TAlign Value) {
  if (FAlign == Value) return;
  FAlign = Value;
  SetAnchors(AnchorAlign(Value));
  RequestAlign();
}

void TControl::SetAnchors(TAnchors Value) {
  if (FAnchors == Value) return;
  FAnchors = Value;
  if (!ComponentState().Contains(csLoading)) UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
  if (FAnchorMove || ComponentState().Contains(csLoading)) return;
  if (FAnchors == TAnchors{akLeft, akTop}) {
    FOriginalParentSize = {0, 0};
    return;
  }
  // Per axis: both sides anchored keep the far distance through the size,
  // the far side alone keeps the near edge's distance from the far side,
  // neither keeps the centre in proportion.
  if (FAnchors.Contains(akRight))
    FAnchorRules.X = FAnchors.Contains(akLeft) ? FWidth : FLeft;
  else
    FAnchorRules.X = FLeft + FWidth / 2;
  if (FAnchors.Contains(akBottom))
    FAnchorRules.Y = FAnchors.Contains(akTop) ? FHeight : FTop;
  else
    FAnchorRules.Y = FTop + FHeight / 2;
  if (FParent) FOriginalParentSize = FParent->ClientRect().BottomRight();
}

// ---------------------------------------------------------------------------
// TControl: visibility, enabling, appearance

void TControl::SetVisible(bool Value) {
  if (FVisible == Value) return;
  VisibleChanging();
  FVisible = Value;
  Perform(CM_VISIBLECHANGED, Value ? 1 : 0, 0);
  RequestAlign();
}

void TControl::Show() {
  if (FParent) FParent->ShowControl(this);
  SetVisible(true);
}

void TControl::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  FParentColor = false;
  Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool Value) {
  if (FParentColor == Value) return;
  FParentColor = Value;
  if (FParent) Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::fontChanged(TObject*) {
  FParentFont = false;
  Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetParentFont(bool Value) {
  if (FParentFont == Value) return;
  FParentFont = Value;
  if (FParent) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::SetBiDiMode(TBiDiMode Value) {
  if (FBiDiMode == Value) return;
  FBiDiMode = Value;
  FParentBiDiMode = false;
  Perform(CM_BIDIMODECHANGED, 0, 0);
}

void TControl::SetParentBiDiMode(bool Value) {
  if (FParentBiDiMode == Value) return;
  FParentBiDiMode = Value;
  if (FParent) Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
}

bool TControl::UseRightToLeftAlignment() { return SysLocale.MiddleEast && FBiDiMode == bdRightToLeft; }

bool TControl::UseRightToLeftReading() { return SysLocale.MiddleEast && FBiDiMode != bdLeftToRight; }

gdi::UINT TControl::DrawTextBiDiModeFlagsReadingOnly() { return UseRightToLeftReading() ? gdi::DT_RTLREADING : 0; }

bool TControl::UseRightToLeftScrollBar() {
  return SysLocale.MiddleEast && FBiDiMode != bdLeftToRight && FBiDiMode != bdRightToLeftNoAlign;
}

void TControl::SetShowHint(bool Value) {
  if (FShowHint == Value) return;
  FShowHint = Value;
  FParentShowHint = false;
  Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::SetParentShowHint(bool Value) {
  if (FParentShowHint == Value) return;
  FParentShowHint = Value;
  if (FParent) Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
}

void TControl::SetMouseCapture(bool Value) {
  if (MouseCapture() != Value) SetCaptureControl(Value ? this : nullptr);
}

void TControl::SetCursor(TCursor Value) {
  if (FCursor == Value) return;
  FCursor = Value;
  Perform(CM_CURSORCHANGED, 0, 0);
}

String TControl::GetText() {
  const LRESULT Length = Perform(WM_GETTEXTLENGTH, 0, 0);
  if (Length <= 0) return String();
  String Buffer(qsizetype(Length) + 1, Char(0));
  const LRESULT Copied = Perform(WM_GETTEXT, WPARAM(Buffer.size()), reinterpret_cast<LPARAM>(Buffer.data()));
  Buffer.truncate(qsizetype(std::clamp<LRESULT>(Copied, 0, Length)));
  return Buffer;
}

void TControl::SetText(const String& Value) {
  if (GetText() == Value) return;
  Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Value.utf16()));
  Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetName(const String& NewName) {
  const String OldName = Name();
  const bool CaptionFollows =
      FControlStyle.Contains(csSetCaption) && !ComponentState().Contains(csLoading) && OldName == GetText();
  TComponent::SetName(NewName);
  if (CaptionFollows) SetText(NewName);
}

// ---------------------------------------------------------------------------
// TControl: painting

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque) {
  if (!IsVisible || !FParent || !FParent->HandleAllocated()) return;
  if (ComponentState().Contains(csDestroying)) return;
  const TRect R = BoundsRect();
  const bool Opaque = IsOpaque || FParent->ControlStyle().Contains(csOpaque);
  InvalidateRect(FParent->Handle(), &R, Opaque ? 0 : 1);
}

void TControl::Invalidate() { InvalidateControl(FVisible, FControlStyle.Contains(csOpaque)); }

void TControl::Update() {
  if (FParent) FParent->Update();
}

void TControl::Repaint() {
  if (!FVisible || !FParent || !FParent->HandleAllocated()) return;
  if (!FControlStyle.Contains(csOpaque)) {
    Invalidate();
    Update();
    return;
  }
  // Opaque: nothing behind it needs painting, so it paints itself now.
  const HDC DC = GetDC(FParent->Handle());
  IntersectClipRect(DC, FLeft, FTop, FLeft + FWidth, FTop + FHeight);
  FParent->PaintControls(DC, this);
  ReleaseDC(FParent->Handle(), DC);
}

HDC TControl::GetDeviceContext(HWND& WindowHandle) {
  if (!FParent) throw EInvalidOperation(QStringLiteral("Control '%s' has no parent window"), {Name()});
  const HDC DC = FParent->GetDeviceContext(WindowHandle);
  SetViewportOrgEx(DC, FLeft, FTop, nullptr);
  IntersectClipRect(DC, 0, 0, FWidth, FHeight);
  return DC;
}

// ---------------------------------------------------------------------------
// TControl: scaling

void TControl::ScaleBy(Integer M, Integer D) { ChangeScale(M, D, /*IsDpiChange=*/false); }

void TControl::ChangeScale(Integer M, Integer D, bool) {
  if (M == D || D == 0) return;
  // Edges scale, sizes follow from them, so neighbours stay adjacent.
  const int X = MulDiv(FLeft, M, D);
  const int Y = MulDiv(FTop, M, D);
  const int W = FControlStyle.Contains(csFixedWidth) ? FWidth : MulDiv(FLeft + FWidth, M, D) - X;
  const int H = FControlStyle.Contains(csFixedHeight) ? FHeight : MulDiv(FTop + FHeight, M, D) - Y;
  FScaleFactor = FScaleFactor * M / D;
  auto scaled = [&](Integer V) { return V > 0 ? MulDiv(V, M, D) : V; };
  FConstraints->SetMinWidth(scaled(FConstraints->MinWidth()));
  FConstraints->SetMinHeight(scaled(FConstraints->MinHeight()));
  FConstraints->SetMaxWidth(scaled(FConstraints->MaxWidth()));
  FConstraints->SetMaxHeight(scaled(FConstraints->MaxHeight()));
  if (!FParentFont) {
    FFont->SetHeight(MulDiv(FFont->Height(), M, D));
    FParentFont = false;
  }
  SetBounds(X, Y, W, H);
}

// ---------------------------------------------------------------------------
// TCustomControl

const TMessageMap& TCustomControl::MessageMap() {
  static const TMessageMap Map(TWinControl::MessageMap(), {
      {WM_PAINT, &TCustomControl::WMPaint},
  });
  return Map;
}

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), FCanvas(new TControlCanvas) {
  FCanvas->SetControl(this);
}

TCustomControl::~TCustomControl() { FCanvas->Free(); }

void TCustomControl::WMPaint(TWMPaint& Message) { CustomPaint(Message); }

void TCustomControl::PaintWindow(HDC DC) { PaintOnCanvas(FCanvas, DC, [this] { Paint(); }); }

// ---------------------------------------------------------------------------
// TGraphicControl

const TMessageMap& TGraphicControl::MessageMap() {
  static const TMessageMap Map(TControl::MessageMap(), {
      {WM_PAINT, &TGraphicControl::WMPaint},
  });
  return Map;
}

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), FCanvas(new TControlCanvas) {
  FCanvas->SetControl(this);
}

TGraphicControl::~TGraphicControl() { FCanvas->Free(); }

void TGraphicControl::WMPaint(TWMPaint& Message) {
  if (Message.DC) PaintOnCanvas(FCanvas, Message.DC, [this] { Paint(); });
}
