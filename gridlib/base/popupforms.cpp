#include "gridlib/base/popupforms.h"

#include "platform/ui/graphics/edges.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/window.h"

using namespace gdi;

namespace {

// The raised outer and inner edges each take one pixel per side.
constexpr TBorderWidth PopupBorderWidth = 2;

}  // namespace

const TMessageMap& TPopupInactiveFormEh::MessageMap() {
  static const TMessageMap Map(TForm::MessageMap(), {
      {WM_MOUSEACTIVATE, &TPopupInactiveFormEh::WMMouseActivate},
      {WM_PAINT, &TPopupInactiveFormEh::WMPaint},
  });
  return Map;
}

TPopupInactiveFormEh::TPopupInactiveFormEh(TComponent* AOwner) : TForm(AOwner), FCanvas(new TControlCanvas) {
  FCanvas->SetControl(this);
  SetBorderStyle(bsNone);
  SetPosition(poDesigned);
  SetFormStyle(fsStayOnTop);
  // Switching it off and on again takes the parent's bidi mode now.
  SetParentBiDiMode(false);
  SetParentBiDiMode(true);
}

TPopupInactiveFormEh::~TPopupInactiveFormEh() { FCanvas->Free(); }

void TPopupInactiveFormEh::Show() {
  SetWindowPos(Handle(), nullptr, Left(), Top(), 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
  TForm::SetVisible(true);
}

void TPopupInactiveFormEh::SetVisible(bool Value) {
  if (Value == Visible()) return;
  if (Value)
    Show();
  else
    TForm::SetVisible(false);
}

TBorderWidth TPopupInactiveFormEh::GetBorderWidth() const { return BorderStyle() != bsNone ? PopupBorderWidth : 0; }

void TPopupInactiveFormEh::SetMasterFocusControl(TWinControl* Value) { setMaster(FMasterFocusControl, Value); }

void TPopupInactiveFormEh::SetMasterActionsControl(TWinControl* Value) { setMaster(FMasterActionsControl, Value); }

// A stale registration with a former master is harmless: Notification
// only clears the fields that still hold the freed control.
void TPopupInactiveFormEh::setMaster(TWinControl*& Field, TWinControl* Value) {
  Field = Value;
  if (Value) Value->FreeNotification(this);
}

void TPopupInactiveFormEh::Notification(TComponent* AComponent, TOperation Operation) {
  TForm::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FMasterFocusControl) FMasterFocusControl = nullptr;
  if (AComponent == FMasterActionsControl) FMasterActionsControl = nullptr;
}

TCanvas* TPopupInactiveFormEh::Canvas() const { return FCanvas; }

void TPopupInactiveFormEh::Paint() {
  if (BorderWidth() == 0) return;
  TRect R = ClientRect();
  DrawEdge(FCanvas->Handle(), &R, BDR_RAISEDOUTER, BF_RECT);
  InflateRect(R, -1, -1);
  DrawEdge(FCanvas->Handle(), &R, BDR_RAISEDINNER, BF_RECT);
}

void TPopupInactiveFormEh::WndProc(TMessage& Message) {
  if ((Message.Msg == WM_KEYDOWN || Message.Msg == WM_SYSKEYDOWN) && FMasterActionsControl)
    SendMessage(FMasterActionsControl->Handle(), Message.Msg, Message.WParam, Message.LParam);
  TForm::WndProc(Message);
}

void TPopupInactiveFormEh::AdjustClientRect(TRect& Rect) {
  TForm::AdjustClientRect(Rect);
  InflateRect(Rect, -BorderWidth(), -BorderWidth());
}

void TPopupInactiveFormEh::CreateParams(TCreateParams& Params) {
  TForm::CreateParams(Params);
  Params.ClassStyle |= CS_HREDRAW | CS_VREDRAW;
  if (FDropShadow) Params.ClassStyle |= CS_DROPSHADOW;
  Params.ExStyle |= WS_EX_NOACTIVATE;
}

void TPopupInactiveFormEh::PaintWindow(HDC DC) { PaintOnCanvas(FCanvas, DC, [this] { Paint(); }); }

void TPopupInactiveFormEh::WMMouseActivate(TMessage& Message) { Message.Result = MA_NOACTIVATE; }

void TPopupInactiveFormEh::WMPaint(TWMPaint& Message) { CustomPaint(Message); }
