#include "gridlib/base/dragwindows.h"

#include "platform/ui/windowing/application.h"
#include "platform/ui/windowing/window.h"

using namespace gdi;

namespace {

TGridDragBoxEh* DragBox = nullptr;
TGridMoveLineEh* MoveLine = nullptr;

// The move line's window reaches this far before its line's start: 3
// pixels across it and 4 along it (the arrow heads).
constexpr TPoint MoveLineOrigin{-3, -4};
// Its thickness across the line, and what the arrow heads add along it.
constexpr Integer MoveLineThickness = 7;
constexpr Integer MoveLineArrowsLength = 8;
constexpr TColor MoveLineKeyColor = 0xFFFFFF;  // white, keyed out

// Two-point polylines: the end point itself is not drawn.
void segment(TCanvas* C, Integer X1, Integer Y1, Integer X2, Integer Y2) {
  C->MoveTo(X1, Y1);
  C->LineTo(X2, Y2);
}

}  // namespace

// ---------------------------------------------------------------------------
// TGridDragWinEh

const TMessageMap& TGridDragWinEh::MessageMap() {
  static const TMessageMap Map(TCustomControl::MessageMap(), {
      {WM_ERASEBKGND, &TGridDragWinEh::WMEraseBkgnd},
  });
  return Map;
}

TGridDragWinEh::TGridDragWinEh(TComponent* AOwner) : TCustomControl(AOwner) {
  SetColor(cl3DDkShadow);
  SetBorderWidth(0);
  SetVisible(false);
  if (Application) SetParentWindow(Application->Handle());
}

void TGridDragWinEh::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP;
  Params.ClassStyle |= CS_SAVEBITS;
  Params.ExStyle = WS_EX_TOOLWINDOW;
  if (UseRightToLeftReading()) Params.ExStyle |= WS_EX_RTLREADING;
  Params.ExStyle |= WS_EX_LAYERED;
}

void TGridDragWinEh::CreateWnd() {
  TCustomControl::CreateWnd();
  updateLayeredAttributes();
}

void TGridDragWinEh::updateLayeredAttributes() {
  if (ComponentState().Contains(csDesigning) || !HandleAllocated()) return;
  const LONG ExStyle = GetWindowLong(Handle(), GWL_EXSTYLE);
  if (FAlphaBlendValue == 255 && FTransparentColorValue == clNone) {
    SetWindowLong(Handle(), GWL_EXSTYLE, ExStyle & ~LONG(WS_EX_LAYERED));
    RedrawWindow(Handle(), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
    return;
  }
  if ((ExStyle & LONG(WS_EX_LAYERED)) == 0) SetWindowLong(Handle(), GWL_EXSTYLE, ExStyle | LONG(WS_EX_LAYERED));
  DWORD Flags = 0;
  if (FAlphaBlendValue != 255) Flags |= LWA_ALPHA;
  if (FTransparentColorValue != clNone) Flags |= LWA_COLORKEY;
  SetLayeredWindowAttributes(Handle(), COLORREF(ColorToRGB(FTransparentColorValue)), FAlphaBlendValue, Flags);
}

void TGridDragWinEh::Show() {
  throw Exception(QStringLiteral("Show is not supported. Use StartShow"));
}

void TGridDragWinEh::TemporaryHide() { SetBounds(Left(), Top(), 0, 0); }

void TGridDragWinEh::MoveToFor(TPoint NewPos) { SetBounds(NewPos.X, NewPos.Y, Width(), Height()); }

void TGridDragWinEh::MoveToFor(TPoint NewPos, Integer NewWidth, Integer NewHeight) {
  SetBounds(NewPos.X, NewPos.Y, NewWidth, NewHeight);
}

void TGridDragWinEh::StartShow(TPoint Pos, Integer AWidth, Integer AHeight) {
  SetBounds(Pos.X, Pos.Y, AWidth, AHeight);
  SetVisible(true);
  SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TGridDragWinEh::StartShow(TPoint Pos, Integer AHeight) { StartShow(Pos, Width(), AHeight); }

// The plain window-control erase: the background in Color.
void TGridDragWinEh::WMEraseBkgnd(TWMEraseBkgnd& Message) { DispatchAs<TWinControl>(Message); }

// ---------------------------------------------------------------------------
// TGridDragBoxEh

void TGridDragBoxEh::BeforeDestruction() {
  if (DragBox == this) DragBox = nullptr;
  TGridDragWinEh::BeforeDestruction();
}

void TGridDragBoxEh::Paint() {
  Canvas()->Brush()->SetColor(clGray);
  Canvas()->FillRect(ClientRect());
}

// ---------------------------------------------------------------------------
// TGridDragFormEh

void TGridDragFormEh::SetAlphaBlendValue(Byte Value) {
  TPopupInactiveFormEh::SetAlphaBlendValue(Value);
  if (Value != 255) SetAlphaBlend(true);
}

void TGridDragFormEh::MoveToFor(TPoint NewPos) { SetBounds(NewPos.X, NewPos.Y, Width(), Height()); }

void TGridDragFormEh::MoveToFor(TPoint NewPos, Integer NewWidth, Integer NewHeight) {
  SetBounds(NewPos.X, NewPos.Y, NewWidth, NewHeight);
}

void TGridDragFormEh::StartShow(TPoint Pos, Integer AWidth, Integer AHeight) {
  SetBounds(Pos.X, Pos.Y, AWidth, AHeight);
  TPopupInactiveFormEh::Show();
}

void TGridDragFormEh::StartShow(TPoint Pos, Integer AHeight) {
  SetBounds(Pos.X, Pos.Y, Width(), AHeight);
  TPopupInactiveFormEh::Show();
}

// ---------------------------------------------------------------------------
// TGridMoveLineEh

TGridMoveLineEh::TGridMoveLineEh(TComponent* AOwner) : TGridDragFormEh(AOwner) {
  SetColor(MoveLineKeyColor);
  SetBounds(Left(), Top(), MoveLineThickness, MoveLineThickness);
  SetAlphaBlendValue(255);
  SetTransparentColorValue(MoveLineKeyColor);
  SetTransparentColor(true);
  SetDropShadow(false);
}

void TGridMoveLineEh::BeforeDestruction() {
  if (MoveLine == this) MoveLine = nullptr;
  TGridDragFormEh::BeforeDestruction();
}

void TGridMoveLineEh::StartShow(TPoint Pos, bool AIsVert, Integer Size, TWinControl*) {
  FIsVert = AIsVert;
  const TPoint At{Pos.X + MoveLineOrigin.X, Pos.Y + MoveLineOrigin.Y};
  if (FIsVert)
    TGridDragFormEh::StartShow(At, MoveLineThickness, Size + MoveLineArrowsLength);
  else
    TGridDragFormEh::StartShow(At, Size + MoveLineArrowsLength, MoveLineThickness);
}

void TGridMoveLineEh::MoveToFor(TPoint NewPos) {
  TGridDragFormEh::MoveToFor(TPoint{NewPos.X + MoveLineOrigin.X, NewPos.Y + MoveLineOrigin.Y});
}

void TGridMoveLineEh::Paint() {
  TCanvas* C = Canvas();
  C->Pen()->SetColor(FLineColor);
  const Integer W = ClientWidth();
  const Integer H = ClientHeight();
  if (FIsVert) {
    for (Integer I = 0; I < 4; ++I) segment(C, I, I, 7 - I, I);
    segment(C, 3, 4, 3, H - 4);
    for (Integer I = 0; I < 4; ++I) segment(C, 3 - I, H - 4 + I, 4 + I, H - 4 + I);
  } else {
    for (Integer I = 0; I < 4; ++I) segment(C, I, I, I, 7 - I);
    segment(C, 4, 3, W - 4, 3);
    for (Integer I = 0; I < 4; ++I) segment(C, W - 4 + I, 3 - I, W - 4 + I, 4 + I);
  }
}

// ---------------------------------------------------------------------------
// the shared windows

TGridDragBoxEh* GetGridDragBoxEh() {
  if (!DragBox) {
    DragBox = new TGridDragBoxEh(Application);
    DragBox->SetTransparentColorValue(clNone);
  }
  return DragBox;
}

TGridMoveLineEh* GetGridMoveLineEh() {
  if (!MoveLine) MoveLine = new TGridMoveLineEh(Application);
  return MoveLine;
}
