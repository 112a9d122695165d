// The default non-client area: what a window's styles take from its
// rectangle, how that frame looks and what a point on it hits.
//
//   WS_BORDER          one pixel (SM_CXBORDER), clWindowFrame
//   WS_EX_CLIENTEDGE   two pixels (SM_CXEDGE) inside it, a sunken edge
//   WS_VSCROLL         SM_CXVSCROLL at the right (the left with
//                      WS_EX_LEFTSCROLLBAR), as tall as the client area
//   WS_HSCROLL         SM_CYHSCROLL at the bottom, as wide as the client area
//
// The bars are blank areas in clScrollBar here (their corner clBtnFace).
#include "platform/ui/window_p.h"

#include "platform/ui/edges.h"
#include "platform/ui/metrics.h"
#include "platform/ui/regions.h"
#include "platform/ui/window.h"

using namespace gdi;

namespace {

// The frame the styles give, from the outside in: the rectangle inside the
// border and the edge, then the scroll-bar areas taken from it.
struct TFrameLayout {
  TRect Inner;      // inside border and edge
  TRect Client;     // Inner less the bars
  TRect VBar;       // empty without WS_VSCROLL
  TRect HBar;       // empty without WS_HSCROLL
};

TFrameLayout frameLayout(DWORD Style, DWORD ExStyle, const TRect& Window) {
  TFrameLayout L;
  TRect R = Window;
  if (Style & WS_BORDER) InflateRect(R, -GetSystemMetrics(SM_CXBORDER), -GetSystemMetrics(SM_CYBORDER));
  if (ExStyle & WS_EX_CLIENTEDGE) InflateRect(R, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
  R = {R.Left, R.Top, std::max(R.Left, R.Right), std::max(R.Top, R.Bottom)};
  L.Inner = R;
  if (Style & WS_HSCROLL) {
    const int H = std::min(GetSystemMetrics(SM_CYHSCROLL), R.Height());
    L.HBar = {R.Left, R.Bottom - H, R.Right, R.Bottom};
    R.Bottom -= H;
  }
  if (Style & WS_VSCROLL) {
    const int W = std::min(GetSystemMetrics(SM_CXVSCROLL), R.Width());
    if (ExStyle & WS_EX_LEFTSCROLLBAR) {
      L.VBar = {R.Left, R.Top, R.Left + W, R.Bottom};
      R.Left += W;
    } else {
      L.VBar = {R.Right - W, R.Top, R.Right, R.Bottom};
      R.Right -= W;
    }
    // The horizontal bar leaves the corner under the vertical one.
    if (!IsRectEmpty(L.HBar)) {
      if (ExStyle & WS_EX_LEFTSCROLLBAR)
        L.HBar.Left += W;
      else
        L.HBar.Right -= W;
    }
  }
  L.Client = R;
  return L;
}

TRect windowRect(TContainerWindow& Window) { return Rect(0, 0, Window.Bounds().Width(), Window.Bounds().Height()); }

}  // namespace

namespace ui_detail {

void DefaultNCCalcSize(TContainerWindow& Window, TWMNCCalcSize& Message) {
  if (!Message.CalcSize_Params) return;
  TRect& R = Message.CalcSize_Params->rgrc[0];
  const TRect Local = frameLayout(Window.Style(), Window.ExStyle(), Rect(0, 0, R.Width(), R.Height())).Client;
  R = {R.Left + Local.Left, R.Top + Local.Top, R.Left + Local.Right, R.Top + Local.Bottom};
  Message.Result = 0;
}

void PaintFrame(TContainerWindow& Window, HDC DC) {
  const DWORD Style = Window.Style();
  const DWORD ExStyle = Window.ExStyle();
  TRect R = windowRect(Window);
  if (Style & WS_BORDER) {
    FrameRect(DC, R, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(R, -GetSystemMetrics(SM_CXBORDER), -GetSystemMetrics(SM_CYBORDER));
  }
  if (ExStyle & WS_EX_CLIENTEDGE) DrawEdge(DC, &R, EDGE_SUNKEN, BF_RECT);
  const TFrameLayout L = frameLayout(Style, ExStyle, windowRect(Window));
  if (!IsRectEmpty(L.VBar)) FillRect(DC, L.VBar, GetSysColorBrush(COLOR_SCROLLBAR));
  if (!IsRectEmpty(L.HBar)) FillRect(DC, L.HBar, GetSysColorBrush(COLOR_SCROLLBAR));
  if (!IsRectEmpty(L.VBar) && !IsRectEmpty(L.HBar)) {
    const TRect Corner{L.VBar.Left, L.HBar.Top, L.VBar.Right, L.HBar.Bottom};
    FillRect(DC, Corner, GetSysColorBrush(COLOR_BTNFACE));
  }
}

void DefaultNCPaint(TContainerWindow& Window) {
  const HDC DC = GetWindowDC(Window.Handle());
  if (!DC) return;
  // Only the frame: the client area belongs to WM_PAINT.
  const TRect Client = Window.ClientRect();
  ExcludeClipRect(DC, Client.Left, Client.Top, Client.Right, Client.Bottom);
  PaintFrame(Window, DC);
  ReleaseDC(Window.Handle(), DC);
}

LRESULT DefaultNCHitTest(TContainerWindow& Window, TPoint ScreenPoint) {
  const TPoint Origin = Window.ScreenOrigin();
  const TPoint P{ScreenPoint.X - Origin.X, ScreenPoint.Y - Origin.Y};
  if (!windowRect(Window).Contains(P) || !Window.HitsShape(P)) return HTNOWHERE;
  if (Window.ClientRect().Contains(P)) return HTCLIENT;
  const TFrameLayout L = frameLayout(Window.Style(), Window.ExStyle(), windowRect(Window));
  if (L.VBar.Contains(P)) return HTVSCROLL;
  if (L.HBar.Contains(P)) return HTHSCROLL;
  return HTBORDER;
}

}  // namespace ui_detail
