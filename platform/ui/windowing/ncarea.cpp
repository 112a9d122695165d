// The default non-client area: what a window's styles take from its
// rectangle, how that frame looks and what a point on it hits.
//
//   WS_BORDER          one pixel (SM_CXBORDER), clWindowFrame
//   WS_EX_CLIENTEDGE   two pixels (SM_CXEDGE) inside it, a sunken edge
//   WS_HSCROLL         SM_CYHSCROLL from the bottom
//   WS_VSCROLL         SM_CXVSCROLL from the right (the left with
//                      WS_EX_LEFTSCROLLBAR)
//
// The bars sit beside and under the client area wherever WM_NCCALCSIZE left
// it, so bevels and other frames a control adds inside the edges surround
// them; they are the classic bars of scrollinfo.h (their corner clBtnFace).
#include "platform/ui/windowing/window_p.h"

#include "platform/ui/graphics/edges.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/graphics/regions.h"
#include "platform/ui/windowing/window.h"

using namespace gdi;

namespace {

// What the border and the edge leave of a window of Size (window coordinates).
TRect insideEdges(DWORD Style, DWORD ExStyle, TSize Size) {
  TRect R = Rect(0, 0, Size.cx, Size.cy);
  if (Style & WS_BORDER) InflateRect(R, -GetSystemMetrics(SM_CXBORDER), -GetSystemMetrics(SM_CYBORDER));
  if (ExStyle & WS_EX_CLIENTEDGE) InflateRect(R, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
  return {R.Left, R.Top, std::max(R.Left, R.Right), std::max(R.Top, R.Bottom)};
}

// The scroll-bar areas: beside and under the client area, wherever WM_NCCALCSIZE
// put it (window coordinates); empty without the style.
struct TBars {
  TRect Vertical;
  TRect Horizontal;
  TRect Corner;
};

TBars barsOf(const TContainerWindow& Window) {
  TBars B;
  const TRect C = Window.ClientRect();
  const bool Left = (Window.ExStyle() & WS_EX_LEFTSCROLLBAR) != 0;
  const int W = GetSystemMetrics(SM_CXVSCROLL);
  const int H = GetSystemMetrics(SM_CYHSCROLL);
  if (Window.Style() & WS_VSCROLL)
    B.Vertical = Left ? Rect(C.Left - W, C.Top, C.Left, C.Bottom) : Rect(C.Right, C.Top, C.Right + W, C.Bottom);
  if (Window.Style() & WS_HSCROLL) B.Horizontal = Rect(C.Left, C.Bottom, C.Right, C.Bottom + H);
  if (!IsRectEmpty(B.Vertical) && !IsRectEmpty(B.Horizontal))
    B.Corner = Rect(B.Vertical.Left, C.Bottom, B.Vertical.Right, C.Bottom + H);
  return B;
}

TRect windowRect(const TContainerWindow& Window) {
  return Rect(0, 0, Window.Bounds().Width(), Window.Bounds().Height());
}

// The frame the styles give (border, client edge, scroll-bar areas), in
// window coordinates.
void paintFrame(TContainerWindow& Window, HDC DC) {
  TRect R = windowRect(Window);
  if (Window.Style() & WS_BORDER) {
    FrameRect(DC, R, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(R, -GetSystemMetrics(SM_CXBORDER), -GetSystemMetrics(SM_CYBORDER));
  }
  if (Window.ExStyle() & WS_EX_CLIENTEDGE) DrawEdge(DC, &R, EDGE_SUNKEN, BF_RECT);
  const TBars B = barsOf(Window);
  if (!IsRectEmpty(B.Vertical)) PaintScrollBar(DC, B.Vertical, ui_detail::ScrollBarLook(Window, SB_VERT));
  if (!IsRectEmpty(B.Horizontal)) PaintScrollBar(DC, B.Horizontal, ui_detail::ScrollBarLook(Window, SB_HORZ));
  if (!IsRectEmpty(B.Corner)) FillRect(DC, B.Corner, GetSysColorBrush(COLOR_BTNFACE));
}

}  // namespace

namespace ui_detail {

void DefaultNCCalcSize(TContainerWindow& Window, TWMNCCalcSize& Message) {
  if (!Message.CalcSize_Params) return;
  TRect& R = Message.CalcSize_Params->rgrc[0];
  TRect Local = insideEdges(Window.Style(), Window.ExStyle(), {R.Width(), R.Height()});
  if (Window.Style() & WS_HSCROLL) Local.Bottom = std::max(Local.Top, Local.Bottom - GetSystemMetrics(SM_CYHSCROLL));
  if (Window.Style() & WS_VSCROLL) {
    const int W = std::min(GetSystemMetrics(SM_CXVSCROLL), Local.Width());
    if (Window.ExStyle() & WS_EX_LEFTSCROLLBAR)
      Local.Left += W;
    else
      Local.Right -= W;
  }
  R = {R.Left + Local.Left, R.Top + Local.Top, R.Left + Local.Right, R.Top + Local.Bottom};
  Message.Result = 0;
}

void DefaultNCPaint(TContainerWindow& Window) {
  const HDC DC = GetWindowDC(Window.Handle());
  if (!DC) return;
  // Only the frame: the client area belongs to WM_PAINT.
  const TRect Client = Window.ClientRect();
  ExcludeClipRect(DC, Client.Left, Client.Top, Client.Right, Client.Bottom);
  paintFrame(Window, DC);
  ReleaseDC(Window.Handle(), DC);
}

LRESULT DefaultNCHitTest(TContainerWindow& Window, TPoint ScreenPoint) {
  const TPoint Origin = Window.ScreenOrigin();
  const TPoint P{ScreenPoint.X - Origin.X, ScreenPoint.Y - Origin.Y};
  if (!windowRect(Window).Contains(P) || !Window.HitsShape(P)) return HTNOWHERE;
  if (Window.ClientRect().Contains(P)) return HTCLIENT;
  const TBars B = barsOf(Window);
  if (B.Vertical.Contains(P)) return HTVSCROLL;
  if (B.Horizontal.Contains(P)) return HTHSCROLL;
  return HTBORDER;
}

TRect ScrollBarRect(const TContainerWindow& Window, int Bar) {
  if (Bar == SB_CTL) return Window.ClientRect();
  const TBars B = barsOf(Window);
  return Bar == SB_VERT ? B.Vertical : B.Horizontal;
}

}  // namespace ui_detail
