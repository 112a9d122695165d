#include "platform/ui/controls/spin.h"

#include "platform/rtl/numconv.h"
#include "platform/ui/graphics/edges.h"
#include "platform/ui/windowing/beep.h"
#include "platform/ui/windowing/dialogs.h"
#include "platform/ui/windowing/msgqueue.h"

#include <algorithm>
#include <limits>

using namespace gdi;

namespace {

constexpr UINT_PTR RepeatTimerId = 1;
// The gap between the text and the spin button.
constexpr Integer TextGap = 2;

constexpr ushort CtrlBackspace = 127;

bool isDigit(Char C) { return C >= u'0' && C <= u'9'; }

// Value + Delta without overflow: a step past the integer range stops at it.
Integer stepped(Integer Value, Int64 Delta) {
  const Int64 Sum = Value + Delta;
  return Integer(std::clamp<Int64>(Sum, std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max()));
}

}  // namespace

// ---------------------------------------------------------------------------
// TSpinButton

const TMessageMap& TSpinButton::MessageMap() {
  static const TMessageMap Map(TCustomControl::MessageMap(), {
      {WM_TIMER, &TSpinButton::WMTimer},
      {WM_CANCELMODE, &TSpinButton::WMCancelMode},
      {CM_ENABLEDCHANGED, &TSpinButton::CMEnabledChanged},
  });
  return Map;
}

TSpinButton::TSpinButton(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csCaptureMouse, csOpaque, csReplicatable};
  SetBounds(0, 0, 20, 18);  // a lone button's size; a spin edit places its own
}

void TSpinButton::SetFocusControl(TWinControl* Value) {
  if (FFocusControl == Value) return;
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = Value;
  if (FFocusControl) FFocusControl->FreeNotification(this);
}

void TSpinButton::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

// The lower half takes the odd row.
TRect TSpinButton::halfRect(THalf Half) {
  const TRect R = ClientRect();
  const Integer Middle = R.Height() / 2;
  return Half == THalf::Up ? TRect(0, 0, R.Width(), Middle) : TRect(0, Middle, R.Width(), R.Height());
}

TSpinButton::THalf TSpinButton::halfAt(TPoint Point) {
  if (halfRect(THalf::Up).Contains(Point)) return THalf::Up;
  if (halfRect(THalf::Down).Contains(Point)) return THalf::Down;
  return THalf::None;
}

void TSpinButton::Paint() {
  const UINT Inactive = Enabled() ? 0 : DFCS_INACTIVE;
  for (THalf Half : {THalf::Up, THalf::Down}) {
    TRect R = halfRect(Half);
    UINT State = (Half == THalf::Up ? DFCS_SCROLLUP : DFCS_SCROLLDOWN) | Inactive;
    if (FShownDown && Half == FPressed) State |= DFCS_PUSHED;
    DrawFrameControl(Canvas()->Handle(), &R, DFC_SCROLL, State);
  }
}

void TSpinButton::setShownDown(bool Value) {
  if (FShownDown == Value) return;
  FShownDown = Value;
  Invalidate();
}

void TSpinButton::step(THalf Half) {
  const TNotifyEvent& Event = Half == THalf::Up ? OnUpClick : OnDownClick;
  if (Event.Assigned()) Event(this);
}

void TSpinButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  if (FFocusControl && FFocusControl->CanFocus() && !FFocusControl->Focused()) FFocusControl->SetFocus();
  FPressed = halfAt({X, Y});
  if (FPressed == THalf::None) return;
  setShownDown(true);
  SetTimer(Handle(), RepeatTimerId, InitRepeatPause);
  step(FPressed);
}

void TSpinButton::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (FPressed != THalf::None) setShownDown(halfAt({X, Y}) == FPressed);
}

void TSpinButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) release();
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TSpinButton::release() {
  if (HandleAllocated()) KillTimer(Handle(), RepeatTimerId);
  FPressed = THalf::None;
  setShownDown(false);
}

// The first tick comes after the initial pause; the timer then runs at the
// repeat pace.  Steps pause while the mouse is off the pressed half.
void TSpinButton::WMTimer(TWMTimer& Message) {
  if (Message.TimerID != RepeatTimerId) return;
  if (FPressed == THalf::None) {
    KillTimer(Handle(), RepeatTimerId);
    return;
  }
  SetTimer(Handle(), RepeatTimerId, RepeatPause);
  if (FShownDown) step(FPressed);
}

void TSpinButton::WMCancelMode(TWMCancelMode& Message) {
  release();
  DispatchAs<TCustomControl>(Message);
}

void TSpinButton::CMEnabledChanged(TMessage& Message) {
  DispatchAs<TCustomControl>(Message);
  if (!Enabled()) release();
  Invalidate();
}

// ---------------------------------------------------------------------------
// TSpinEdit

const TMessageMap& TSpinEdit::MessageMap() {
  static const TMessageMap Map(TCustomEdit::MessageMap(), {
      {WM_SIZE, &TSpinEdit::WMSize},
      {CM_EXIT, &TSpinEdit::CMExit},
      {CM_ENABLEDCHANGED, &TSpinEdit::CMEnabledChanged},
  });
  return Map;
}

TSpinEdit::TSpinEdit(TComponent* AOwner) : TCustomEdit(AOwner), FButton(new TSpinButton(this)) {
  FControlStyle.Exclude(csSetCaption);
  FButton->SetFocusControl(this);
  FButton->OnUpClick = TNotifyEvent(this, &TSpinEdit::UpClick);
  FButton->OnDownClick = TNotifyEvent(this, &TSpinEdit::DownClick);
  FButton->SetParent(this);
  SetText(QStringLiteral("0"));
  placeButton();
}

void TSpinEdit::DescribeProperties(TPropertyTable& Props) {
  TEdit::DescribeProperties(Props);
  Props.Add("EditorEnabled", &TSpinEdit::EditorEnabled, &TSpinEdit::SetEditorEnabled).Default(true);
  Props.Add("Increment", &TSpinEdit::Increment, &TSpinEdit::SetIncrement).Default(1);
  Props.Add("MaxValue", &TSpinEdit::MaxValue, &TSpinEdit::SetMaxValue).Default(0);
  Props.Add("MinValue", &TSpinEdit::MinValue, &TSpinEdit::SetMinValue).Default(0);
  Props.Add("Value", &TSpinEdit::Value, &TSpinEdit::SetValue);
}

Integer TSpinEdit::Value() { return StrToIntDef(Text(), FMinValue); }

void TSpinEdit::SetValue(Integer NewValue) { SetText(IntToStr(CheckValue(NewValue))); }

Integer TSpinEdit::CheckValue(Integer NewValue) const {
  if (FMaxValue == FMinValue) return NewValue;
  return std::clamp(NewValue, std::min(FMinValue, FMaxValue), std::max(FMinValue, FMaxValue));
}

void TSpinEdit::UpClick(TObject*) { step(FIncrement); }

void TSpinEdit::DownClick(TObject*) { step(-Int64(FIncrement)); }

void TSpinEdit::step(Int64 Delta) {
  if (ReadOnly()) {
    MessageBeep(MB_OK);
    return;
  }
  SetValue(stepped(Value(), Delta));
}

void TSpinEdit::CreateParams(TCreateParams& Params) {
  TCustomEdit::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN;
}

void TSpinEdit::CreateWnd() {
  TCustomEdit::CreateWnd();
  placeButton();
}

// The button fills the client area's right edge; the text keeps the edit's
// own formatting rectangle but stops short of the button.
void TSpinEdit::placeButton() {
  const TRect Client = ClientRect();
  if (FButton) FButton->SetBounds(Client.Width() - ButtonWidth, 0, ButtonWidth, Client.Height());
  if (!HandleAllocated()) return;
  Perform(EM_SETRECTNP, 0, 0);
  if (!FButton) return;
  TRect Format = FormatRect();
  Format.Right = std::max(Format.Left, std::min(Format.Right, FButton->Left() - TextGap));
  Perform(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&Format));
}

// A freed button gives its room back to the text.
void TSpinEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomEdit::Notification(AComponent, Operation);
  if (Operation != opRemove || AComponent != FButton) return;
  FButton = nullptr;
  if (!ComponentState().Contains(csDestroying)) placeButton();
}

void TSpinEdit::WMSize(TWMSize& Message) {
  DispatchAs<TCustomEdit>(Message);
  placeButton();
}

bool TSpinEdit::EditCanModify() { return FEditorEnabled && TCustomEdit::EditCanModify(); }

// OnKeyDown first: a handler that swallows Up or Down stops the step.
void TSpinEdit::KeyDown(Word& Key, TShiftState Shift) {
  TCustomEdit::KeyDown(Key, Shift);
  if (Key == VK_UP)
    UpClick(this);
  else if (Key == VK_DOWN)
    DownClick(this);
  else
    return;
  Key = 0;
}

// Control characters (Backspace, the clipboard keys) go on: what they would
// change is up to EditCanModify.
void TSpinEdit::KeyPress(Char& Key) {
  const bool Printable = Key.unicode() >= u' ' && Key.unicode() != CtrlBackspace;
  if (Printable && (!FEditorEnabled || !(isDigit(Key) || Key == u'-'))) {
    Key = Char();
    MessageBeep(MB_OK);
    return;
  }
  TCustomEdit::KeyPress(Key);
}

void TSpinEdit::CMExit(TCMExit& Message) {
  DispatchAs<TCustomEdit>(Message);
  const Integer Current = Value();
  if (CheckValue(Current) != Current) SetValue(Current);
}

void TSpinEdit::CMEnabledChanged(TMessage& Message) {
  DispatchAs<TCustomEdit>(Message);
  if (FButton) FButton->SetEnabled(Enabled());
}
