// Scroll bars of windows: the bars WS_HSCROLL and WS_VSCROLL put into a
// window's non-client area (SB_HORZ, SB_VERT) and the bar that is a
// scroll-bar control's whole client area (SB_CTL, vertical with SBS_VERT),
// with the original flat calls.  Their numbers and look are TScrollRange and
// PaintScrollBar (scrollpaint.h).
//
// Numbers
//   A window's own bars start at 0 .. 100, a control's at 0 .. 0, page 0,
//   position 0.  SetScrollInfo clamps as TScrollRange does: Max raised to
//   Min, the page into 0 .. Max - Min + 1, the position into Min .. Max -
//   max(Page - 1, 0), again after every change of range or page.  A call
//   that sets the range or the page then shows a window's bar when it can
//   scroll and hides it (ShowScrollBar) when it cannot; with
//   SIF_DISABLENOSCROLL it disables such a bar (both arrows) instead of
//   hiding it, and enables it again once it can scroll.
//
// Mouse
//   A left press on a window's bar (WM_NCLBUTTONDOWN with HTHSCROLL or
//   HTVSCROLL, double clicks alike) or on a control's bar
//   (BeginScrollBarTrack) tracks it with the capture until the release:
//     arrows      SB_LINEUP / SB_LINEDOWN at once, then again after
//                 ScrollRepeatDelay ms and every ScrollRepeatInterval ms
//                 while the cursor stays on the arrow, which shows pressed
//     page areas  SB_PAGEUP / SB_PAGEDOWN the same way, while the cursor is
//                 on the area (it stops when the thumb reaches the cursor)
//     thumb       SB_THUMBTRACK with each new position the cursor gives,
//                 then SB_THUMBPOSITION with the last one at the release
//   then SB_ENDSCROLL.  A lost capture (WM_CANCELMODE) ends it with
//   SB_ENDSCROLL alone.  The repeat runs on a window timer (msgqueue.h), so
//   it follows the installed clock.  A disabled bar or arrow takes no press.
//   The codes go as WM_HSCROLL / WM_VSCROLL to the window itself, a
//   control's to its parent with the control's handle in LParam.  Their
//   position has 16 bits; GetScrollInfo with SIF_TRACKPOS gives the whole
//   one while the thumb is dragged (ScrollThumbPosition).  The bar's own
//   position changes only when the window sets it.
#pragma once

#include "platform/ui/windowing/messages.h"

#include <optional>

namespace gdi {

struct SCROLLINFO {
  UINT cbSize = sizeof(SCROLLINFO);
  UINT fMask = 0;
  int nMin = 0;
  int nMax = 0;
  UINT nPage = 0;
  int nPos = 0;
  int nTrackPos = 0;
};

inline constexpr UINT SIF_RANGE = 0x1, SIF_PAGE = 0x2, SIF_POS = 0x4, SIF_DISABLENOSCROLL = 0x8,
                      SIF_TRACKPOS = 0x10, SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
// A scroll-bar control's orientation (window style).
inline constexpr DWORD SBS_HORZ = 0x0, SBS_VERT = 0x1;

// Bar: SB_HORZ, SB_VERT or SB_CTL (SB_BOTH where said).  Calls on other
// bars, dead handles or a wrong cbSize fail (0) and change nothing.

// Sets what fMask names (SIF_RANGE, SIF_PAGE, SIF_POS; SIF_DISABLENOSCROLL
// as above) and answers the position; Redraw repaints the bar.
int SetScrollInfo(HWND Window, int Bar, const SCROLLINFO* Info, BOOL Redraw);
// Fills what fMask names; nTrackPos is the dragged thumb's position, the
// position when the thumb is not dragged.
BOOL GetScrollInfo(HWND Window, int Bar, SCROLLINFO* Info);
// Answers the previous position.
int SetScrollPos(HWND Window, int Bar, int Pos, BOOL Redraw);
int GetScrollPos(HWND Window, int Bar);
BOOL SetScrollRange(HWND Window, int Bar, int Min, int Max, BOOL Redraw);
BOOL GetScrollRange(HWND Window, int Bar, int* Min, int* Max);
// SB_HORZ, SB_VERT, SB_BOTH: sets or clears WS_HSCROLL / WS_VSCROLL and lays
// the frame out again (the client area changes: WM_SIZE); SB_CTL shows or
// hides the control's window.
BOOL ShowScrollBar(HWND Window, int Bar, BOOL Show);
// Disables the arrows of Arrows (ESB_*, scrollpaint.h) and enables the
// others, SB_BOTH for both window bars; answers whether any arrow changed.
// With both arrows disabled the bar has no thumb and takes no press.
BOOL EnableScrollBar(HWND Window, UINT Bar, UINT Arrows);

}  // namespace gdi

// Timings of the arrows' and page areas' repeat, in ms.
inline constexpr gdi::UINT ScrollRepeatDelay = 400;
inline constexpr gdi::UINT ScrollRepeatInterval = 50;

// The whole position a WM_HSCROLL / WM_VSCROLL of bar Bar with
// SB_THUMBTRACK or SB_THUMBPOSITION stands for: the dragged thumb's position
// when its low 16 bits are MessagePos's, else MessagePos itself (a message
// sent by code).
Integer ScrollThumbPosition(gdi::HWND Window, int Bar, SmallInt MessagePos);
// Where a WM_HSCROLL / WM_VSCROLL of Code moves a view now at Pos: a Line or
// a Page either way, Thumb (ScrollThumbPosition) for the thumb's codes, the
// start (0) or the end End() gives (asked only then: it may be costly).
// Nothing for SB_ENDSCROLL and unknown codes.  The horizontal codes share the
// vertical ones' values.
template <class TEnd>
std::optional<Integer> ScrollCodeTarget(int Code, Integer Pos, Integer Thumb, Integer Line, Integer Page, TEnd End) {
  switch (Code) {
    case gdi::SB_LINEUP: return Pos - Line;
    case gdi::SB_LINEDOWN: return Pos + Line;
    case gdi::SB_PAGEUP: return Pos - Page;
    case gdi::SB_PAGEDOWN: return Pos + Page;
    case gdi::SB_THUMBTRACK:
    case gdi::SB_THUMBPOSITION: return Thumb;
    case gdi::SB_TOP: return 0;
    case gdi::SB_BOTTOM: return End();
    default: return std::nullopt;
  }
}
// A scroll-bar control's left press at a screen point: tracks its SB_CTL bar
// (see Mouse above).
void BeginScrollBarTrack(gdi::HWND Window, TPoint ScreenPoint);
// Paints bar Bar of Window as it stands (pressed part and dragged thumb
// included) into Rect of DC.
void DrawScrollBar(gdi::HWND Window, int Bar, gdi::HDC DC, const TRect& Rect);
