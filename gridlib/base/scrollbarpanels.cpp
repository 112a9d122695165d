#include "gridlib/base/scrollbarpanels.h"

#include "platform/rtl/scopeexit.h"
#include "platform/ui/graphics/edges.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/graphics/regions.h"
#include "platform/ui/graphics/styles.h"
#include "platform/ui/windowing/forms.h"
#include "platform/ui/windowing/window.h"

#include <cassert>

using namespace gdi;

// ---------------------------------------------------------------------------
// TControlScrollBarEh

const TMessageMap& TControlScrollBarEh::MessageMap() {
  static const TMessageMap Map(TScrollBar::MessageMap(), {
      {WM_RBUTTONDOWN, &TControlScrollBarEh::WMOtherButtonDown},
      {WM_MBUTTONDOWN, &TControlScrollBarEh::WMOtherButtonDown},
      {CM_DESIGNHITTEST, &TControlScrollBarEh::CMDesignHitTest},
  });
  return Map;
}

bool TControlScrollBarEh::pressAllowed() {
  auto* Panel = dynamic_cast<TGridScrollBarPanelControlEh*>(Parent());
  return !Panel || Panel->FocusGridOnScrollBarMouseDown(this);
}

void TControlScrollBarEh::WMLButtonDown(TWMMouse& Message) {
  if (pressAllowed()) TScrollBar::WMLButtonDown(Message);
}

void TControlScrollBarEh::WMOtherButtonDown(TWMMouse& Message) {
  if (pressAllowed()) DispatchAs<TScrollBar>(Message);
}

void TControlScrollBarEh::WMCancelMode(TWMCancelMode& Message) {
  auto* Panel = dynamic_cast<TGridScrollBarPanelControlEh*>(Parent());
  if (Panel && Panel->IgnoreCancelMode()) return;
  TScrollBar::WMCancelMode(Message);
}

void TControlScrollBarEh::WMMouseActivate(TWMMouseActivate& Message) { Message.Result = MA_NOACTIVATE; }

void TControlScrollBarEh::CMDesignHitTest(TMessage& Message) { Message.Result = 1; }

// ---------------------------------------------------------------------------
// TGridScrollBarPanelControlEh

TGridScrollBarPanelControlEh::TGridScrollBarPanelControlEh(TComponent* AOwner, TScrollBarKind AKind)
    : TCustomPanel(AOwner), FKind(AKind) {
  assert(dynamic_cast<TGridScrollBarOwnerEh*>(AOwner) && "a scroll-bar panel is owned by its grid");
  FControlStyle.Exclude(csAcceptsControls);
  FControlStyle.Exclude(csSetCaption);
  FScrollBar = new TControlScrollBarEh(this);
  FScrollBar->SetParent(this);
  FScrollBar->SetKind(AKind);
  FScrollBar->OnScroll = TScrollEvent(this, &TGridScrollBarPanelControlEh::barScroll);
  FScrollBar->SetCtl3D(false);
  FScrollBar->SetParentCtl3D(false);
  FScrollBar->SetTabStop(false);
  FScrollBar->SetDoubleBuffered(false);
  FScrollBar->SetParentDoubleBuffered(false);
  SetBevelInner(bvNone);
  SetBevelOuter(bvNone);
  SetDoubleBuffered(true);
}

TGridScrollBarOwnerEh* TGridScrollBarPanelControlEh::grid() const {
  return dynamic_cast<TGridScrollBarOwnerEh*>(Owner());
}

const TScrollEvent& TGridScrollBarPanelControlEh::OnScroll() const { return FScrollBar->OnScroll; }

void TGridScrollBarPanelControlEh::SetOnScroll(TScrollEvent Value) { FScrollBar->OnScroll = Value; }

void TGridScrollBarPanelControlEh::SetKeepMaxSizeInDefault(bool Value) {
  if (Value == FKeepMaxSizeInDefault) return;
  FKeepMaxSizeInDefault = Value;
  Realign();
}

Integer TGridScrollBarPanelControlEh::MaxSizeForExtraPanel() {
  return Width() - 2 * GetSystemMetrics(SM_CYHSCROLL);
}

void TGridScrollBarPanelControlEh::SetParams(Integer APosition, Integer AMin, Integer AMax, Integer APageSize) {
  FScrollBar->SetEnabled(true);
  if (FScrollBar->PageSize() > AMax) FScrollBar->SetPageSize(0);
  if (AMax < AMin) AMax = AMin;
  FScrollBar->SetParams(APosition, AMin, AMax);
  FScrollBar->SetPageSize(APageSize);
  if (AMax <= AMin || AMax - AMin < APageSize) {
    // Disabling takes the capture from a pressed bar; its cancel-mode must
    // not end the press the user is still making.
    FIgnoreCancelMode = true;
    const TScopeExit Restore([this] { FIgnoreCancelMode = false; });
    FScrollBar->SetEnabled(false);
  }
}

void TGridScrollBarPanelControlEh::barScroll(TObject*, TScrollCode ScrollCode, int& ScrollPos) {
  if (FKind == sbHorizontal && UseRightToLeftAlignment()) ScrollPos = FScrollBar->Max() - ScrollPos;
  if (auto* Grid = grid()) Grid->ScrollBarCommand(FKind, Integer(ScrollCode), ScrollPos, /*AllowRightToLeftSwap=*/true);
  ScrollPos = FScrollBar->Position();
}

bool TGridScrollBarPanelControlEh::FocusGridOnScrollBarMouseDown(TControlScrollBarEh*) {
  auto* Grid = grid();
  return !Grid || Grid->FocusGridOnMouseDown();
}

void TGridScrollBarPanelControlEh::Invalidate() {
  TCustomPanel::Invalidate();
  for (Integer I = 0; I < ControlCount(); ++I) Controls(I)->Invalidate();
}

void TGridScrollBarPanelControlEh::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  TCustomPanel::SetBounds(ALeft, ATop, std::max(AWidth, 0), std::max(AHeight, 0));
}

void TGridScrollBarPanelControlEh::Resize() {
  TCustomPanel::Resize();
  if (!HandleAllocated()) return;
  auto* Grid = grid();
  const Integer Box = Grid ? Grid->ScrollBarBoxSize(FKind) : GetSystemMetrics(SM_CYHSCROLL);
  const Integer W = FKind == sbVertical ? Box : Width();
  const Integer H = FKind == sbVertical ? Height() : Box;
  // A panel thicker than its bar leaves the extra room at the left or top.
  FScrollBar->SetBounds(Width() - W, Height() - H, W, H);
}

// ---------------------------------------------------------------------------
// TSizeGripPanelEh

const TMessageMap& TSizeGripPanelEh::MessageMap() {
  static const TMessageMap Map(TCustomPanel::MessageMap(), {
      {WM_NCHITTEST, &TSizeGripPanelEh::WMNCHitTest},
      {WM_WINDOWPOSCHANGED, &TSizeGripPanelEh::WMWindowPosChanged},
      {WM_ERASEBKGND, &TSizeGripPanelEh::WMEraseBkgnd},
  });
  return Map;
}

TSizeGripPanelEh::TSizeGripPanelEh(TComponent* AOwner) : TCustomPanel(AOwner) {
  FControlStyle.Exclude(csAcceptsControls);
  SetParentBackground(false);
}

void TSizeGripPanelEh::SetPosition(TSizeGripPosition Value) {
  if (Value == FPosition) return;
  FPosition = Value;
  updateWindowRegion();
  Invalidate();
}

void TSizeGripPanelEh::SetTriangleWindow(bool Value) {
  if (Value == FTriangleWindow) return;
  FTriangleWindow = Value;
  updateWindowRegion();
}

void TSizeGripPanelEh::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  TCustomPanel::SetBounds(ALeft, ATop, std::max(AWidth, 0), std::max(AHeight, 0));
}

TWinControl* TSizeGripPanelEh::FindResizableForm() {
  TWinControl* Control = Parent();
  while (Control) {
    if (!Control->Parent()) break;
    if (Control->HandleAllocated()) {
      const LONG Style = GetWindowLong(Control->Handle(), GWL_STYLE);
      const LONG ExStyle = GetWindowLong(Control->Handle(), GWL_EXSTYLE);
      if (!(Style & WS_CHILD) || (ExStyle & WS_EX_MDICHILD)) break;
    }
    Control = Control->Parent();
  }
  if (!Control) return nullptr;
  if (auto* Form = dynamic_cast<TCustomForm*>(Control))
    if (Form->WindowState() != wsNormal) return nullptr;
  return Control;
}

bool TSizeGripPanelEh::IsGripInFormCorner() {
  TWinControl* Form = FindResizableForm();
  if (!Form || !Form->HandleAllocated()) return false;
  if (!(GetWindowLong(Form->Handle(), GWL_STYLE) & WS_THICKFRAME)) return false;
  const bool RightToLeft = UseRightToLeftAlignment();
  const TPoint Grip = ClientToScreen({RightToLeft ? 0 : Width(), Height()});
  const TPoint Corner = Form->ClientToScreen({RightToLeft ? 0 : Form->ClientWidth(), Form->ClientHeight()});
  return std::abs(Grip.X - Corner.X) < 4 && std::abs(Grip.Y - Corner.Y) < 4;
}

bool TSizeGripPanelEh::IsGripActive() {
  switch (FGripActiveStatus) {
    case gasNeverEh: return false;
    case gasAlwaysEh: return true;
    case gasAutoEh: return IsGripInFormCorner();
  }
  return false;
}

void TSizeGripPanelEh::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomPanel::MouseDown(Button, Shift, X, Y);
  if (!MouseCapture() || !IsGripActive()) return;
  TWinControl* Form = FindResizableForm();
  if (!Form) return;
  FInitFormSize = {Form->Width(), Form->Height()};
  FInitFormPos = {Form->Left(), Form->Top()};
  FMouseMousePos = ClientToScreen({X, Y});
}

void TSizeGripPanelEh::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomPanel::MouseMove(Shift, X, Y);
  if (!MouseCapture() || FMouseMousePos.X == -1) return;
  const TPoint P = ClientToScreen({X, Y});
  if (P.X == FMouseMousePos.X && P.Y == FMouseMousePos.Y) return;
  TWinControl* Form = FindResizableForm();
  if (!Form) return;
  const Integer Dx = P.X - FMouseMousePos.X, Dy = P.Y - FMouseMousePos.Y;
  const bool Left = FPosition == sgpTopLeft || FPosition == sgpBottomLeft;
  const bool Top = FPosition == sgpTopLeft || FPosition == sgpTopRight;
  Form->SetBounds(Left ? FInitFormPos.X + Dx : FInitFormPos.X, Top ? FInitFormPos.Y + Dy : FInitFormPos.Y,
                  Left ? FInitFormSize.X - Dx : FInitFormSize.X + Dx, Top ? FInitFormSize.Y - Dy : FInitFormSize.Y + Dy);
  Form->Update();
}

void TSizeGripPanelEh::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomPanel::MouseUp(Button, Shift, X, Y);
  FMouseMousePos = {-1, -1};
}

void TSizeGripPanelEh::Paint() {
  Canvas()->Brush()->SetColor(StyleServices()->GetSystemColor(clBtnFace));
  Canvas()->FillRect(ClientRect());
  if (!IsGripActive()) return;
  if (StyleServices()->Enabled()) {
    // The style engine has size boxes for the two bottom corners only; the
    // top corners take the box of the same side.
    const bool Left = FPosition == sgpTopLeft || FPosition == sgpBottomLeft;
    const auto Details = StyleServices()->GetElementDetails(Left ? tsSizeBoxLeftAlign : tsSizeBoxRightAlign);
    StyleServices()->DrawElement(Canvas()->Handle(), Details, TRect(0, 0, Width(), Height()));
    return;
  }
  paintClassicGrip();
}

void TSizeGripPanelEh::paintClassicGrip() {
  const bool Left = FPosition == sgpTopLeft || FPosition == sgpBottomLeft;
  const UINT State = Left ? DFCS_SCROLLSIZEGRIPRIGHT : DFCS_SCROLLSIZEGRIP;
  RECT R = TRect(0, 0, ClientWidth(), ClientHeight());
  if (FPosition == sgpBottomLeft || FPosition == sgpBottomRight) {
    DrawFrameControl(Canvas()->Handle(), &R, DFC_SCROLL, State);
    return;
  }
  // A top grip is the bottom one drawn upside down.
  const HDC DC = Canvas()->Handle();
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(R);
  SetMapMode(DC, MM_ANISOTROPIC);
  SetWindowOrgEx(DC, 0, ClientHeight(), nullptr);
  SetWindowExtEx(DC, ClientWidth(), -ClientHeight(), nullptr);
  SetViewportExtEx(DC, ClientWidth(), ClientHeight(), nullptr);
  DrawFrameControl(DC, &R, DFC_SCROLL, State);
  SetWindowOrgEx(DC, 0, 0, nullptr);
  SetWindowExtEx(DC, ClientWidth(), ClientHeight(), nullptr);
  SetMapMode(DC, MM_TEXT);
}

void TSizeGripPanelEh::updateWindowRegion() {
  if (!HandleAllocated()) return;
  if (!FTriangleWindow) {
    SetWindowRgn(Handle(), nullptr, /*Redraw=*/1);
    updateCursor();
    return;
  }
  const Integer W = Width(), H = Height();
  POINT Points[3];
  switch (FPosition) {
    case sgpBottomRight: Points[0] = {0, H}; Points[1] = {W, H}; Points[2] = {W, 0}; break;
    case sgpBottomLeft: Points[0] = {W, H}; Points[1] = {0, H}; Points[2] = {0, 0}; break;
    case sgpTopLeft: Points[0] = {W - 1, 0}; Points[1] = {0, 0}; Points[2] = {0, H - 1}; break;
    case sgpTopRight: Points[0] = {W, H - 1}; Points[1] = {W, 0}; Points[2] = {1, 0}; break;
  }
  SetWindowRgn(Handle(), CreatePolygonRgn(Points, 3, WINDING), /*Redraw=*/1);
  updateCursor();
}

void TSizeGripPanelEh::updateCursor() {
  if (!IsGripActive()) {
    SetCursor(crDefault);
    return;
  }
  const bool Diagonal = FPosition == sgpTopLeft || FPosition == sgpBottomRight;
  SetCursor(Diagonal ? crSizeNWSE : crSizeNESW);
}

void TSizeGripPanelEh::CreateWnd() {
  TCustomPanel::CreateWnd();
  updateWindowRegion();
  Invalidate();
}

void TSizeGripPanelEh::Resize() {
  TCustomPanel::Resize();
  updateWindowRegion();
}

void TSizeGripPanelEh::WMNCHitTest(TMessage& Message) { DispatchAs<TWinControl>(Message); }

void TSizeGripPanelEh::WMWindowPosChanged(TWMWindowPosChanged& Message) {
  DispatchAs<TCustomPanel>(Message);
  updateCursor();
}

void TSizeGripPanelEh::WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }
