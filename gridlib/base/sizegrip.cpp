#include "gridlib/base/sizegrip.h"

#include "gridlib/base/painters.h"
#include "platform/rtl/scopeexit.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/graphics/regions.h"
#include "platform/ui/graphics/styles.h"
#include "platform/ui/windowing/application.h"
#include "platform/ui/windowing/window.h"

#include <array>

using namespace gdi;

TSizeGripPosition ChangedSizeGripPositionEh(TSizeGripPosition Position, Integer Direction) {
  switch (Direction) {
    case sgcpToLeft:
      if (Position == sgpTopRight) return sgpTopLeft;
      if (Position == sgpBottomRight) return sgpBottomLeft;
      break;
    case sgcpToRight:
      if (Position == sgpTopLeft) return sgpTopRight;
      if (Position == sgpBottomLeft) return sgpBottomRight;
      break;
    case sgcpToTop:
      if (Position == sgpBottomRight) return sgpTopRight;
      if (Position == sgpBottomLeft) return sgpTopLeft;
      break;
    case sgcpToBottom:
      if (Position == sgpTopRight) return sgpBottomRight;
      if (Position == sgpTopLeft) return sgpBottomLeft;
      break;
    default: break;
  }
  return Position;
}

TSizeGripEh::TSizeGripEh(TComponent* AOwner) : TCustomControlEh(AOwner) {
  FControlStyle = FControlStyle + TControlStyle{csCaptureMouse, csReplicatable, csParentBackground};
  SetBounds(Left(), Top(), GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYVSCROLL));
  SetColor(clBtnFace);
  SetCursor(crSizeNWSE);
}

TWinControl* TSizeGripEh::HostControl() const { return FHostControl ? FHostControl : Parent(); }

void TSizeGripEh::SetPosition(TSizeGripPosition Value) {
  if (Value == FPosition) return;
  FPosition = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TSizeGripEh::SetTriangleWindow(bool Value) {
  if (Value == FTriangleWindow) return;
  FTriangleWindow = Value;
  UpdateWindowRegion();
}

bool TSizeGripEh::Visible() { return IsWindowVisible(Handle()); }

void TSizeGripEh::SetVisible(bool Value) {
  if (HandleAllocated())
    ShowWindow(Handle(), Value ? SW_SHOW : SW_HIDE);
  else
    TCustomControlEh::SetVisible(Value);
}

void TSizeGripEh::UpdatePosition() {
  TWinControl* Host = HostControl();
  if (!HandleAllocated() || !Host) return;
  FInternalMove = true;
  const TScopeExit Clear([this] { FInternalMove = false; });
  const TRect R = GetAdjustedClientRectEh(Host);
  const Integer X = gripOnRight() ? R.Right - Width() : R.Left;
  const Integer Y = gripAtBottom() ? R.Bottom - Height() : R.Top;
  SetBounds(X, Y, Width(), Height());
}

void TSizeGripEh::ChangePosition(TSizeGripChangePosition Direction) {
  SetPosition(ChangedSizeGripPositionEh(FPosition, Direction));
}

void TSizeGripEh::UpdateWindowRegion() {
  if (!HandleAllocated()) return;
  const Integer W = Width(), H = Height();
  HRGN Region = nullptr;
  if (FTriangleWindow) {
    std::array<TPoint, 3> Points;
    switch (FPosition) {
      case sgpBottomRight: Points = {TPoint{0, H}, TPoint{W, H}, TPoint{W, 0}}; break;
      case sgpBottomLeft: Points = {TPoint{W, H}, TPoint{0, H}, TPoint{0, 0}}; break;
      case sgpTopLeft: Points = {TPoint{W - 1, 0}, TPoint{0, 0}, TPoint{0, H - 1}}; break;
      case sgpTopRight: Points = {TPoint{W, H - 1}, TPoint{W, 0}, TPoint{1, 0}}; break;
    }
    Region = CreatePolygonRgnEh(Points, WINDING);
  }
  SetWindowRgn(Handle(), Region, /*Redraw=*/1);
  UpdatePosition();
  SetCursor(FPosition == sgpTopLeft || FPosition == sgpBottomRight ? crSizeNWSE : crSizeNESW);
}

void TSizeGripEh::CreateHandle() {
  if (FHostControl && !Parent()) SetParentWindow(FHostControl->Handle());
  TCustomControlEh::CreateHandle();
}

void TSizeGripEh::CreateWnd() {
  TCustomControlEh::CreateWnd();
  UpdateWindowRegion();
}

// ---------------------------------------------------------------------------
// dragging

void TSizeGripEh::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControlEh::MouseDown(Button, Shift, X, Y);
  FInitScreenMousePos = ClientToScreen(TPoint{X, Y});
  FOldMouseMovePos = FInitScreenMousePos;
  if (TWinControl* Host = HostControl())
    FParentRect = TRect(Host->ClientWidth(), Host->ClientHeight(), Host->Width(), Host->Height());
}

void TSizeGripEh::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControlEh::MouseMove(Shift, X, Y);
  TWinControl* Host = HostControl();
  if (!Host || !Shift.Contains(ssLeft) || !MouseCapture() || FInternalMove) return;
  const TPoint P = ClientToScreen(TPoint{X, Y});
  if (P == FOldMouseMovePos) return;
  const Integer OldClientWidth = Host->ClientWidth(), OldClientHeight = Host->ClientHeight();
  const TRect HostRect = GetControlScreenRectEh(Host);
  const TMonitor* Monitor = Screen->MonitorFromRect(HostRect, mdNearest);
  const TRect WorkArea = Monitor ? Monitor->WorkareaRect() : Screen->DesktopRect();
  dragHorizontally(Host, P.X - FInitScreenMousePos.X, WorkArea);
  dragVertically(Host, P.Y - FInitScreenMousePos.Y, WorkArea);
  FOldMouseMovePos = P;
  if (Host->ClientWidth() != OldClientWidth || Host->ClientHeight() != OldClientHeight) ParentResized();
  UpdatePosition();
}

// The host's outer edges in screen coordinates.
namespace {
TRect outerScreenRect(TWinControl* Host) {
  const TPoint Origin = Host->Parent() ? Host->Parent()->ClientToScreen(TPoint{Host->Left(), Host->Top()})
                                       : TPoint{Host->Left(), Host->Top()};
  return TRect(Origin.X, Origin.Y, Origin.X + Host->Width(), Origin.Y + Host->Height());
}
}  // namespace

void TSizeGripEh::dragHorizontally(TWinControl* Host, Integer Travel, const TRect& WorkArea) {
  const TRect Outer = outerScreenRect(Host);
  if (gripOnRight()) {
    Integer C = FParentRect.Left + Travel;
    const Integer Frame = Host->Width() - Host->ClientWidth();
    const Integer Excess = Outer.Left + Frame + C - WorkArea.Right;
    if (Excess > 0) C -= Excess;
    Host->SetClientWidth(C);
    return;
  }
  Integer W = FParentRect.Right - Travel;
  const Integer Excess = WorkArea.Left - (Outer.Right - W);
  if (Excess > 0) W -= Excess;
  Host->SetBounds(Host->Left() + Host->Width() - W, Host->Top(), W, Host->Height());
}

void TSizeGripEh::dragVertically(TWinControl* Host, Integer Travel, const TRect& WorkArea) {
  const TRect Outer = outerScreenRect(Host);
  if (gripAtBottom()) {
    Integer C = FParentRect.Top + Travel;
    const Integer Frame = Host->Height() - Host->ClientHeight();
    const Integer Excess = Outer.Top + Frame + C - WorkArea.Bottom;
    if (Excess > 0) C -= Excess;
    Host->SetClientHeight(C);
    return;
  }
  Integer H = FParentRect.Bottom - Travel;
  const Integer Excess = WorkArea.Top - (Outer.Bottom - H);
  if (Excess > 0) H -= Excess;
  Host->SetBounds(Host->Left(), Host->Top() + Host->Height() - H, Host->Width(), H);
}

void TSizeGripEh::ParentResized() {
  if (OnParentResized) OnParentResized(this);
}

// ---------------------------------------------------------------------------
// painting

void TSizeGripEh::Paint() {
  if (IsStyleServicesEnabledEh() && !IsCustomStyleActiveEh()) {
    // By corner; the theme has no top-aligned boxes of its own.
    static constexpr TThemedScrollBar Boxes[] = {tsSizeBoxLeftAlign, tsSizeBoxRightAlign, tsSizeBoxRightAlign,
                                                 tsSizeBoxLeftAlign};
    StyleServices()->DrawElement(Canvas()->Handle(), StyleServices()->GetElementDetails(Boxes[FPosition]),
                                 ClientRect());
    return;
  }
  paintClassic();
}

// Lines parallel to the long side, from it towards the grip's corner, in
// the colour order highlight, shadow, shadow, face; whole groups of four
// until the count reaches the width.
void TSizeGripEh::paintClassic() {
  TCanvas* C = Canvas();
  C->Brush()->SetColor(Color());
  C->FillRect(ClientRect());
  const TColor Order[] = {clBtnHighlight, clBtnShadow, clBtnShadow, clBtnFace};
  const Integer W = Width(), H = Height();
  const Integer Count = (W + 3) / 4 * 4;
  for (Integer I = 0; I < Count; ++I) {
    C->Pen()->SetColor(Order[I % 4]);
    switch (FPosition) {
      case sgpBottomRight: C->MoveTo(I, H); C->LineTo(W, I); break;
      case sgpBottomLeft: C->MoveTo(W - I, H); C->LineTo(0, I); break;
      case sgpTopLeft: C->MoveTo(W - 1 - I, 0); C->LineTo(0, H - 1 - I); break;
      case sgpTopRight: C->MoveTo(1 + I, 0); C->LineTo(W, H - 1 - I); break;
    }
  }
}
