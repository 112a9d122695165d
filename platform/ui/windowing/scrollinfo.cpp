#include "platform/ui/windowing/scrollinfo.h"

#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/window.h"
#include "platform/ui/windowing/window_p.h"
#include "platform/ui/windowing/windowingstate_p.h"

using namespace gdi;

namespace {

// The tracking's window timer; far from the small ids controls pick.
constexpr UINT_PTR ScrollTimerId = 0xFFFE;

bool validBar(int Bar) { return Bar == SB_HORZ || Bar == SB_VERT || Bar == SB_CTL; }

bool isVertical(const TContainerWindow& W, int Bar) {
  return Bar == SB_VERT || (Bar == SB_CTL && (W.Style() & SBS_VERT));
}

// A window bar's style bit; 0 for the control's bar.
DWORD styleOf(int Bar) { return Bar == SB_HORZ ? WS_HSCROLL : Bar == SB_VERT ? WS_VSCROLL : 0; }

// A left press being tracked on a bar.  One at a time, as there is one mouse.
}  // namespace

struct windowing_detail::TScrollTrack {
  HWND Window = nullptr;
  int Bar = SB_VERT;
  TScrollBarPart Part = TScrollBarPart::None;
  bool Over = false;         // the cursor is on the pressed arrow or page area
  bool TookCapture = false;  // the window did not hold the capture before
  Integer Grab = 0;          // the press's distance from the thumb's start
  Integer ThumbPos = 0;      // the dragged thumb's position
  TPoint Cursor;             // the last cursor point (window coordinates)
};

namespace {

using windowing_detail::TScrollTrack;

TScrollTrack& track() { return WindowingState().ScrollTrack.Get(); }

bool tracking(HWND Window, int Bar) { return track().Window == Window && track().Bar == Bar; }

bool draggingThumb(HWND Window, int Bar) { return tracking(Window, Bar) && track().Part == TScrollBarPart::Thumb; }

TScrollBarLayout layoutOf(const TContainerWindow& W, int Bar) {
  return LayoutScrollBar(ui_detail::ScrollBarRect(W, Bar), ui_detail::ScrollBarLook(W, Bar));
}

// Shows the bar's new state: a window bar at once on the window DC, a
// control's bar with its next paint.
void redrawBar(TContainerWindow& W, int Bar) {
  if (Bar == SB_CTL) {
    InvalidateRect(W.Handle(), nullptr, false);
    return;
  }
  if (!(W.Style() & styleOf(Bar)) || !W.IsVisible()) return;
  const HDC DC = GetWindowDC(W.Handle());
  DrawScrollBar(W.Handle(), Bar, DC, ui_detail::ScrollBarRect(W, Bar));
  ReleaseDC(W.Handle(), DC);
}

// WM_HSCROLL / WM_VSCROLL of Code to whoever takes the bar's codes.
void notify(const TContainerWindow& W, int Bar, int Code, Integer Pos = 0) {
  const UINT Msg = isVertical(W, Bar) ? WM_VSCROLL : WM_HSCROLL;
  const WPARAM WParam = MAKEWPARAM(WORD(Code), WORD(Pos));
  if (Bar == SB_CTL)
    SendMessage(W.ParentWindow(), Msg, WParam, HandleToLParam(W.Handle()));
  else
    SendMessage(W.Handle(), Msg, WParam, 0);
}

int codeOf(TScrollBarPart Part) {
  switch (Part) {
    case TScrollBarPart::LineUp: return SB_LINEUP;
    case TScrollBarPart::LineDown: return SB_LINEDOWN;
    case TScrollBarPart::PageUp: return SB_PAGEUP;
    default: return SB_PAGEDOWN;
  }
}

// Whether a press on Part of the bar may scroll: not on a disabled bar or arrow.
bool partEnabled(const TContainerWindow& W, int Bar, TScrollBarPart Part) {
  const UINT Disabled = ui_detail::ScrollBarLook(W, Bar).DisabledArrows;
  if (Disabled == ESB_DISABLE_BOTH) return false;
  if (Part == TScrollBarPart::LineUp) return !(Disabled & ESB_DISABLE_LTUP);
  if (Part == TScrollBarPart::LineDown) return !(Disabled & ESB_DISABLE_RTDN);
  return true;
}

// The tracked window, while it lives and is still tracked.
TContainerWindow* trackedWindow(HWND Window) { return track().Window == Window ? FindContainer(Window) : nullptr; }

// Ends the tracking: the bar unpressed, the capture given back, then (for a
// release) SB_THUMBPOSITION of a dragged thumb, and SB_ENDSCROLL.
void endTrack(TContainerWindow& W, bool Released) {
  const TScrollTrack Ended = track();
  const HWND Window = W.Handle();
  KillTimer(Window, ScrollTimerId);
  if (Released && Ended.Part == TScrollBarPart::Thumb) {
    // The handler reads the whole position through SIF_TRACKPOS meanwhile.
    notify(W, Ended.Bar, SB_THUMBPOSITION, Ended.ThumbPos);
  }
  if (track().Window == Window) track() = {};
  TContainerWindow* Alive = FindContainer(Window);
  if (!Alive) return;
  redrawBar(*Alive, Ended.Bar);
  if (Ended.TookCapture && GetCapture() == Window) ReleaseCapture();
  if ((Alive = FindContainer(Window))) notify(*Alive, Ended.Bar, SB_ENDSCROLL);
}

// The cursor moved to Point (window coordinates).
void trackTo(TContainerWindow& W, TPoint Point) {
  TScrollTrack& T = track();
  T.Cursor = Point;
  const TScrollBarLayout L = layoutOf(W, T.Bar);
  if (T.Part == TScrollBarPart::Thumb) {
    // A bar disabled meanwhile has no thumb to drag.
    if (IsRectEmpty(L.Thumb)) return;
    const Integer Pos = L.PositionAt(L.Along(Point) - T.Grab, W.ScrollBar(T.Bar).Range);
    if (Pos == T.ThumbPos) return;
    T.ThumbPos = Pos;
    redrawBar(W, T.Bar);
    notify(W, T.Bar, SB_THUMBTRACK, Pos);
    return;
  }
  const bool Over = L.PartAt(Point) == T.Part;
  if (Over == T.Over) return;
  T.Over = Over;
  redrawBar(W, T.Bar);
}

// A tick of the repeat: the code again while the cursor is on the part.
void repeat(TContainerWindow& W) {
  const TScrollTrack& T = track();
  SetTimer(W.Handle(), ScrollTimerId, ScrollRepeatInterval);
  // The thumb moved since: a page area may no longer lie under the cursor;
  // the bar or the arrow may have been disabled.
  const bool Over = layoutOf(W, T.Bar).PartAt(T.Cursor) == T.Part && partEnabled(W, T.Bar, T.Part);
  if (Over != T.Over) {
    track().Over = Over;
    redrawBar(W, T.Bar);
  }
  if (Over) notify(W, T.Bar, codeOf(T.Part));
}

TPoint windowPointOf(const TContainerWindow& W, TPoint Client) {
  const TRect C = W.ClientRect();
  return {Client.X + C.Left, Client.Y + C.Top};
}

bool isMouseMessage(UINT Msg) {
  return (Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSELAST) || (Msg >= WM_NCMOUSEMOVE && Msg <= WM_NCMBUTTONDBLCLK);
}

}  // namespace

// ---------------------------------------------------------------------------
// the window model's share

namespace ui_detail {

TScrollBarLook ScrollBarLook(const TContainerWindow& Window, int Bar) {
  const TWindowScrollBar& B = Window.ScrollBar(Bar);
  TScrollBarLook Look;
  Look.Range = B.Range;
  Look.Position = B.Position;
  Look.Vertical = isVertical(Window, Bar);
  Look.DisabledArrows = Window.IsEnabled() ? B.DisabledArrows : ESB_DISABLE_BOTH;
  if (tracking(Window.Handle(), Bar)) {
    const TScrollTrack& T = track();
    if (T.Part == TScrollBarPart::Thumb)
      Look.Position = T.ThumbPos;
    else if (T.Over)
      Look.Pressed = T.Part;
  }
  return Look;
}

void BeginScrollTrack(TContainerWindow& Window, int Bar, TPoint ScreenPoint) {
  if (track().Window) return;
  const TPoint Origin = Window.ScreenOrigin();
  const TPoint Point{ScreenPoint.X - Origin.X, ScreenPoint.Y - Origin.Y};
  const TScrollBarLook Look = ScrollBarLook(Window, Bar);
  const TScrollBarLayout L = LayoutScrollBar(ScrollBarRect(Window, Bar), Look);
  const TScrollBarPart Part = L.PartAt(Point);
  if (Part == TScrollBarPart::None || !partEnabled(Window, Bar, Part)) return;
  const HWND Handle = Window.Handle();
  TScrollTrack T;
  T.Window = Handle;
  T.Bar = Bar;
  T.Part = Part;
  T.Cursor = Point;
  T.TookCapture = GetCapture() != Handle;
  if (Part == TScrollBarPart::Thumb) {
    T.Grab = L.Along(Point) - L.ThumbStart();
    T.ThumbPos = Window.ScrollBar(Bar).Position;
  } else {
    T.Over = true;
  }
  track() = T;
  if (T.TookCapture) SetCapture(Handle);
  TContainerWindow* W = trackedWindow(Handle);
  if (!W) return;
  redrawBar(*W, Bar);
  if (Part == TScrollBarPart::Thumb) return;
  SetTimer(Handle, ScrollTimerId, ScrollRepeatDelay);
  notify(*W, Bar, codeOf(Part));
}

bool ScrollTrackMessage(TContainerWindow& Window, TMessage& Message) {
  if (track().Window != Window.Handle()) return false;
  switch (Message.Msg) {
    case WM_MOUSEMOVE: trackTo(Window, windowPointOf(Window, LParamToPoint(Message.LParam))); return true;
    case WM_LBUTTONUP:
      trackTo(Window, windowPointOf(Window, LParamToPoint(Message.LParam)));
      if (TContainerWindow* W = trackedWindow(Window.Handle())) endTrack(*W, /*Released=*/true);
      return true;
    case WM_TIMER:
      if (Message.WParam != ScrollTimerId) return false;
      repeat(Window);
      return true;
    case WM_CAPTURECHANGED:
      // The window lost the mouse: the press is over; the control hears of it too.
      endTrack(Window, /*Released=*/false);
      return false;
    default:
      // The press owns the mouse until the release.
      return isMouseMessage(Message.Msg);
  }
}

void ForgetScrollTrack(HWND Window) {
  if (track().Window == Window) track() = {};
}

}  // namespace ui_detail

// ---------------------------------------------------------------------------
// flat calls

namespace gdi {

int SetScrollInfo(HWND Window, int Bar, const SCROLLINFO* Info, BOOL Redraw) {
  TContainerWindow* W = FindContainer(Window);
  if (!W || !validBar(Bar) || !Info || Info->cbSize != sizeof(SCROLLINFO)) return 0;
  TWindowScrollBar& B = W->ScrollBar(Bar);
  const UINT Mask = Info->fMask;
  TScrollRange Range = B.Range;
  if (Mask & SIF_RANGE) Range = TScrollRange::Clamped(Info->nMin, Info->nMax, Range.PageSize);
  if (Mask & SIF_PAGE) Range = TScrollRange::Clamped(Range.Min, Range.Max, Int64(Info->nPage));
  B.Range = Range;
  B.Position = Range.Clamp((Mask & SIF_POS) ? Info->nPos : B.Position);
  if (Mask & (SIF_RANGE | SIF_PAGE)) {
    const bool Needed = Range.CanScroll();
    if (Mask & SIF_DISABLENOSCROLL) {
      if (EnableScrollBar(Window, UINT(Bar), Needed ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH)) Redraw = false;
    }
    if (Bar != SB_CTL && (Needed || !(Mask & SIF_DISABLENOSCROLL))) {
      const bool Shown = (W->Style() & styleOf(Bar)) != 0;
      if (Shown != Needed) {
        ShowScrollBar(Window, Bar, Needed);
        Redraw = false;  // the frame was laid out and painted again
      }
    }
  }
  // Showing or hiding may have run handlers that set the bar again.
  if (!(W = FindContainer(Window))) return 0;
  if (Redraw) redrawBar(*W, Bar);
  return W->ScrollBar(Bar).Position;
}

BOOL GetScrollInfo(HWND Window, int Bar, SCROLLINFO* Info) {
  const TContainerWindow* W = FindContainer(Window);
  if (!W || !validBar(Bar) || !Info || Info->cbSize != sizeof(SCROLLINFO) || !(Info->fMask & SIF_ALL)) return 0;
  const TWindowScrollBar& B = W->ScrollBar(Bar);
  if (Info->fMask & SIF_RANGE) {
    Info->nMin = B.Range.Min;
    Info->nMax = B.Range.Max;
  }
  if (Info->fMask & SIF_PAGE) Info->nPage = UINT(B.Range.PageSize);
  if (Info->fMask & SIF_POS) Info->nPos = B.Position;
  if (Info->fMask & SIF_TRACKPOS) Info->nTrackPos = draggingThumb(Window, Bar) ? track().ThumbPos : B.Position;
  return 1;
}

int SetScrollPos(HWND Window, int Bar, int Pos, BOOL Redraw) {
  const int Previous = GetScrollPos(Window, Bar);
  SCROLLINFO Info;
  Info.fMask = SIF_POS;
  Info.nPos = Pos;
  SetScrollInfo(Window, Bar, &Info, Redraw);
  return Previous;
}

int GetScrollPos(HWND Window, int Bar) {
  SCROLLINFO Info;
  Info.fMask = SIF_POS;
  return GetScrollInfo(Window, Bar, &Info) ? Info.nPos : 0;
}

BOOL SetScrollRange(HWND Window, int Bar, int Min, int Max, BOOL Redraw) {
  SCROLLINFO Info;
  Info.fMask = SIF_RANGE;
  Info.nMin = Min;
  Info.nMax = Max;
  return FindContainer(Window) && validBar(Bar) ? (SetScrollInfo(Window, Bar, &Info, Redraw), 1) : 0;
}

BOOL GetScrollRange(HWND Window, int Bar, int* Min, int* Max) {
  SCROLLINFO Info;
  Info.fMask = SIF_RANGE;
  if (!Min || !Max || !GetScrollInfo(Window, Bar, &Info)) return 0;
  *Min = Info.nMin;
  *Max = Info.nMax;
  return 1;
}

BOOL ShowScrollBar(HWND Window, int Bar, BOOL Show) {
  TContainerWindow* W = FindContainer(Window);
  if (!W) return 0;
  if (Bar == SB_CTL) {
    ShowWindow(Window, Show ? SW_SHOW : SW_HIDE);
    return 1;
  }
  const DWORD Bits = Bar == SB_BOTH ? WS_HSCROLL | WS_VSCROLL : styleOf(Bar);
  if (!Bits) return 0;
  const DWORD Style = Show ? W->Style() | Bits : W->Style() & ~Bits;
  if (Style == W->Style()) return 1;
  SetWindowLong(Window, GWL_STYLE, LONG(Style));
  SetWindowPos(Window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  return 1;
}

BOOL EnableScrollBar(HWND Window, UINT Bar, UINT Arrows) {
  TContainerWindow* W = FindContainer(Window);
  if (!W || (Bar != UINT(SB_BOTH) && !validBar(int(Bar)))) return 0;
  BOOL Changed = 0;
  for (const int Each : {SB_HORZ, SB_VERT, SB_CTL}) {
    if (!(int(Bar) == Each || (int(Bar) == SB_BOTH && Each != SB_CTL))) continue;
    UINT& Disabled = W->ScrollBar(Each).DisabledArrows;
    if (Disabled == (Arrows & ESB_DISABLE_BOTH)) continue;
    Disabled = Arrows & ESB_DISABLE_BOTH;
    Changed = 1;
    redrawBar(*W, Each);
  }
  return Changed;
}

}  // namespace gdi

// ---------------------------------------------------------------------------
// helpers

Integer ScrollThumbPosition(HWND Window, int Bar, SmallInt MessagePos) {
  if (!draggingThumb(Window, Bar)) return MessagePos;
  const Integer Whole = track().ThumbPos;
  return WORD(Whole) == WORD(MessagePos) ? Whole : MessagePos;
}

void BeginScrollBarTrack(HWND Window, TPoint ScreenPoint) {
  if (TContainerWindow* W = FindContainer(Window)) ui_detail::BeginScrollTrack(*W, SB_CTL, ScreenPoint);
}

void DrawScrollBar(HWND Window, int Bar, HDC DC, const TRect& Rect) {
  const TContainerWindow* W = FindContainer(Window);
  if (!W || !validBar(Bar)) return;
  PaintScrollBar(DC, Rect, ui_detail::ScrollBarLook(*W, Bar));
}
