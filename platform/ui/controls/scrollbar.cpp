#include "platform/ui/controls/scrollbar.h"

#include "platform/ui/controls/stdctrls.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/scrollinfo.h"
#include "platform/ui/windowing/window.h"

#include <algorithm>

using namespace gdi;

const TMessageMap& TScrollBar::MessageMap() {
  static const TMessageMap Map(TCustomControl::MessageMap(), {
      {WM_LBUTTONDOWN, &TScrollBar::WMLButtonDown},
      {WM_CANCELMODE, &TScrollBar::WMCancelMode},
      {WM_MOUSEACTIVATE, &TScrollBar::WMMouseActivate},
      {WM_GETDLGCODE, &TScrollBar::WMGetDlgCode},
      {CN_HSCROLL, &TScrollBar::CNScroll},
      {CN_VSCROLL, &TScrollBar::CNScroll},
      {CM_ENABLEDCHANGED, &TScrollBar::CMEnabledChanged},
  });
  return Map;
}

TScrollBar::TScrollBar(TComponent* AOwner) : TCustomControl(AOwner) {
  // The bar takes the capture for a press itself.  No double clicks: a
  // quick second press scrolls again.
  FControlStyle = TControlStyle{csFramed, csOpaque};
  SetBounds(0, 0, 121, GetSystemMetrics(SM_CYHSCROLL));
  SetTabStop(true);
}

void TScrollBar::DescribeProperties(TPropertyTable& Props) {
  DescribeControlProperties(Props);
  Props.Add("Kind", &TScrollBar::Kind, &TScrollBar::SetKind).Default(sbHorizontal);
  Props.Add("Min", &TScrollBar::Min, &TScrollBar::SetMin).Default(0);
  Props.Add("Max", &TScrollBar::Max, &TScrollBar::SetMax).Default(100);
  Props.Add("Position", &TScrollBar::Position, &TScrollBar::SetPosition).Default(0);
  Props.Add("PageSize", &TScrollBar::PageSize, &TScrollBar::SetPageSize).Default(0);
  Props.Add("SmallChange", &TScrollBar::SmallChange, &TScrollBar::SetSmallChange).Default(1);
  Props.Add("LargeChange", &TScrollBar::LargeChange, &TScrollBar::SetLargeChange).Default(1);
  Props.Add("Ctl3D", &TScrollBar::Ctl3D, &TScrollBar::SetCtl3D);
  Props.Add("DoubleBuffered", &TScrollBar::DoubleBuffered, &TScrollBar::SetDoubleBuffered);
  Props.Add("TabStop", &TScrollBar::TabStop, &TScrollBar::SetTabStop).Default(true);
  Props.Add("Visible", &TScrollBar::Visible, &TScrollBar::SetVisible).Default(true);
  Props.Add("OnScroll", &TScrollBar::OnScroll, &TScrollBar::OnScroll);
  Props.Add("OnChange", &TScrollBar::OnChange, &TScrollBar::OnChange);
}

void TScrollBar::SetKind(TScrollBarKind Value) {
  if (Value == FKind) return;
  FKind = Value;
  if (!ComponentState().Contains(csLoading)) SetBounds(Left(), Top(), Height(), Width());
  RecreateWnd();
}

void TScrollBar::SetParams(Integer APosition, Integer AMin, Integer AMax) {
  const TScrollRange Range = TScrollRange::Clamped(AMin, AMax, FRange.PageSize);
  setRange(Range, Range.Clamp(APosition));
}

void TScrollBar::SetPageSize(Integer Value) {
  const TScrollRange Range = TScrollRange::Clamped(FRange.Min, FRange.Max, Value);
  setRange(Range, Range.Clamp(FPosition));
}

void TScrollBar::setRange(const TScrollRange& Range, Integer Position) {
  const bool Moved = Position != FPosition;
  if (!Moved && Range.Min == FRange.Min && Range.Max == FRange.Max && Range.PageSize == FRange.PageSize) return;
  FRange = Range;
  FPosition = Position;
  updateBar();
  if (Moved) Change();
}

void TScrollBar::updateBar() {
  if (!HandleAllocated()) return;
  SCROLLINFO Info;
  Info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  Info.nMin = FRange.Min;
  Info.nMax = FRange.Max;
  Info.nPage = UINT(FRange.PageSize);
  Info.nPos = FPosition;
  SetScrollInfo(Handle(), SB_CTL, &Info, true);
}

void TScrollBar::Change() {
  if (OnChange) OnChange(this);
}

void TScrollBar::Scroll(TScrollCode ScrollCode, int& ScrollPos) {
  if (OnScroll) OnScroll(this, ScrollCode, ScrollPos);
}

void TScrollBar::DoScroll(TWMScroll& Message) {
  Int64 NewPos = FPosition;
  const auto Code = TScrollCode(std::clamp<int>(Message.ScrollCode, scLineUp, scEndScroll));
  switch (Code) {
    case scLineUp: NewPos -= FSmallChange; break;
    case scLineDown: NewPos += FSmallChange; break;
    case scPageUp: NewPos -= FLargeChange; break;
    case scPageDown: NewPos += FLargeChange; break;
    case scPosition:
    case scTrack: NewPos = ScrollThumbPosition(Handle(), SB_CTL, Message.Pos); break;
    case scTop: NewPos = FRange.Min; break;
    case scBottom: NewPos = FRange.Highest(); break;
    case scEndScroll: break;
  }
  int ScrollPos = FRange.Clamp(NewPos);
  Scroll(Code, ScrollPos);
  SetPosition(ScrollPos);
}

void TScrollBar::CNScroll(TWMScroll& Message) { DoScroll(Message); }

void TScrollBar::WMLButtonDown(TWMMouse& Message) {
  DispatchAs<TCustomControl>(Message);
  if (HandleAllocated()) BeginScrollBarTrack(Handle(), ClientToScreen(Message.Pos()));
}

void TScrollBar::WMCancelMode(TWMCancelMode& Message) { DispatchAs<TCustomControl>(Message); }

void TScrollBar::WMMouseActivate(TWMMouseActivate& Message) { DispatchAs<TCustomControl>(Message); }

void TScrollBar::WMGetDlgCode(TWMGetDlgCode& Message) { Message.Result = DLGC_WANTARROWS; }

void TScrollBar::CMEnabledChanged(TMessage& Message) {
  DispatchAs<TCustomControl>(Message);
  Invalidate();
}

void TScrollBar::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  if (FKind == sbVertical) Params.Style |= SBS_VERT;
}

void TScrollBar::CreateWnd() {
  TCustomControl::CreateWnd();
  updateBar();
}

int TScrollBar::keyCode(Word Key) {
  switch (Key) {
    case VK_UP:
    case VK_LEFT: return SB_LINEUP;
    case VK_DOWN:
    case VK_RIGHT: return SB_LINEDOWN;
    case VK_PRIOR: return SB_PAGEUP;
    case VK_NEXT: return SB_PAGEDOWN;
    case VK_HOME: return SB_TOP;
    case VK_END: return SB_BOTTOM;
    default: return -1;
  }
}

void TScrollBar::KeyDown(Word& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  const int Code = keyCode(Key);
  if (Code < 0) return;
  Key = 0;
  sendCode(Code);
}

void TScrollBar::KeyUp(Word& Key, TShiftState Shift) {
  TCustomControl::KeyUp(Key, Shift);
  if (keyCode(Key) < 0) return;
  Key = 0;
  sendCode(SB_ENDSCROLL);
}

void TScrollBar::sendCode(int Code) {
  // As a press on the bar: through the parent, back as CN_HSCROLL / CN_VSCROLL.
  SendMessage(GetParent(Handle()), FKind == sbVertical ? WM_VSCROLL : WM_HSCROLL, WPARAM(Code),
              HandleToLParam(Handle()));
}

void TScrollBar::PaintWindow(HDC DC) { DrawScrollBar(Handle(), SB_CTL, DC, ClientRect()); }
