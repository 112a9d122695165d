// The window model's flat calls: styles, geometry, visibility, shape,
// layering, painting and scrolling of the windows behind HWNDs, with the
// original names and constants (messages.h), in namespace gdi.
//
// Geometry
//   A window's rectangle is (0, 0, Width, Height) in window coordinates; a
//   child's position is in its parent's client coordinates, a top level's on
//   the screen.  The client rectangle is what WM_NCCALCSIZE leaves of the
//   window rectangle (the default takes WS_BORDER 1, WS_EX_CLIENTEDGE 2 and
//   the WS_VSCROLL / WS_HSCROLL bars); child windows and client DCs use
//   client coordinates.
//
// Visibility
//   WS_VISIBLE is the window's own flag (ShowWindow, SWP_SHOWWINDOW /
//   SWP_HIDEWINDOW, SetWindowLong); IsWindowVisible asks the parents too.  A
//   control's Visible is a property of the control, separate from it.
//
// Painting
//   Each window keeps an invalid region (client coordinates) and a frame flag.
//   A paint cycle (Qt's paint request, UpdateWindow, RDW_UPDATENOW) of a
//   visible window sends WM_NCPAINT when the frame is invalid and WM_PAINT
//   (DC 0) when the region is not empty; BeginPaint sends WM_ERASEBKGND when an
//   erase is pending, hands out a DC clipped to the region and validates it.
//   The region is validated also when the WM_PAINT handler never called
//   BeginPaint or raised; exceptions from painting go to HandleException,
//   once per cycle.  Then the Qt widget shows the image.
//
// Calls on 0, dead or utility handles fail (FALSE, 0 or ERROR) and change
// nothing.
#pragma once

#include "platform/ui/windowing/messages.h"

namespace gdi {

struct PAINTSTRUCT {
  HDC hdc = nullptr;
  BOOL fErase = 0;   // the background still needs erasing (WM_ERASEBKGND answered 0)
  RECT rcPaint;      // the update region's bounding box (client coordinates)
  BOOL fRestore = 0;
  BOOL fIncUpdate = 0;
  BYTE rgbReserved[32] = {};
};

// ---------------------------------------------------------------------------
// styles

// GWL_STYLE, GWL_EXSTYLE, GWL_ID, GWL_HWNDPARENT (the parent or owner); 0
// for other indexes.
LONG_PTR GetWindowLongPtr(HWND Window, int Index);
// Answers the previous value.  Style bits take effect at once for WS_VISIBLE
// and WS_DISABLED, the frame after SetWindowPos(SWP_FRAMECHANGED).
LONG_PTR SetWindowLongPtr(HWND Window, int Index, LONG_PTR Value);
inline LONG GetWindowLong(HWND Window, int Index) { return LONG(GetWindowLongPtr(Window, Index)); }
inline LONG SetWindowLong(HWND Window, int Index, LONG Value) {
  // Styles are 32-bit masks: WS_POPUP is the sign bit of a LONG.
  return LONG(SetWindowLongPtr(Window, Index, LONG_PTR(DWORD(Value))));
}

// ---------------------------------------------------------------------------
// geometry

// Moves, sizes, stacks, shows or hides; SWP_FRAMECHANGED runs WM_NCCALCSIZE
// again and repaints the frame.  Sends WM_WINDOWPOSCHANGING (which may change
// the WINDOWPOS) unless SWP_NOSENDCHANGING, then WM_WINDOWPOSCHANGED, whose
// default sends WM_SIZE when the size changed.  InsertAfter: HWND_TOP,
// HWND_BOTTOM, HWND_TOPMOST, HWND_NOTOPMOST or a sibling to go below.
BOOL SetWindowPos(HWND Window, HWND InsertAfter, int X, int Y, int CX, int CY, UINT Flags);
// Screen coordinates.
BOOL GetWindowRect(HWND Window, RECT* Rect);
// (0, 0, client width, client height).
BOOL GetClientRect(HWND Window, RECT* Rect);
BOOL ClientToScreen(HWND Window, POINT* Point);
BOOL ScreenToClient(HWND Window, POINT* Point);
// Client coordinates of From to those of To (0: the screen); answers the
// offset packed as MAKELONG(dx, dy).
int MapWindowPoints(HWND From, HWND To, POINT* Points, UINT Count);
// The parent of a child window, the owner of a top level; 0 for none.
HWND GetParent(HWND Window);
// Window is a descendant (not itself) of Parent.
BOOL IsChild(HWND Parent, HWND Window);
// The deepest visible window at a screen point (shapes respected); 0 when
// none of ours.
HWND WindowFromPoint(POINT Point);
// The visible child of Parent (one level) at a point in Parent's client
// coordinates; Parent itself when no child is there, 0 outside it.
HWND ChildWindowFromPoint(HWND Parent, POINT Point);
// The desktop: the parent that makes a window a top level.
HWND GetDesktopWindow();

// ---------------------------------------------------------------------------
// visibility and enabling

// SW_HIDE clears WS_VISIBLE, the SW_SHOW... commands set it; answers whether
// the window was visible.
BOOL ShowWindow(HWND Window, int Command);
// WS_VISIBLE on the window and every parent.
BOOL IsWindowVisible(HWND Window);
// Sets or clears WS_DISABLED and sends WM_ENABLE on a change; answers whether
// the window was disabled.
BOOL EnableWindow(HWND Window, BOOL Enable);
BOOL IsWindowEnabled(HWND Window);

// ---------------------------------------------------------------------------
// shape and layering

// Region (window coordinates; 0: none) shapes painting and hit testing.  The
// window takes the region over: the caller must not use or delete it again.
// Answers nonzero on success.
int SetWindowRgn(HWND Window, HRGN Region, BOOL Redraw);
// Copies the shape into Region; answers its type, ERROR without a shape.
int GetWindowRgn(HWND Window, HRGN Region);
// WS_EX_LAYERED windows: LWA_ALPHA sets the opacity (Alpha / 255),
// LWA_COLORKEY makes the pixels of Key transparent.
BOOL SetLayeredWindowAttributes(HWND Window, COLORREF Key, BYTE Alpha, DWORD Flags);
BOOL GetLayeredWindowAttributes(HWND Window, COLORREF* Key, BYTE* Alpha, DWORD* Flags);

// ---------------------------------------------------------------------------
// painting

// Rect / Region in client coordinates; null: the whole client area.
BOOL InvalidateRect(HWND Window, const RECT* Rect, BOOL Erase);
BOOL InvalidateRgn(HWND Window, HRGN Region, BOOL Erase);
BOOL ValidateRect(HWND Window, const RECT* Rect);
BOOL ValidateRgn(HWND Window, HRGN Region);
// RDW_INVALIDATE / RDW_VALIDATE the rectangle, region or whole client area,
// RDW_ERASE / RDW_NOERASE, RDW_FRAME / RDW_NOFRAME, RDW_ALLCHILDREN (child
// windows too; RDW_NOCHILDREN: not), RDW_UPDATENOW (and RDW_ERASENOW): paint
// now.
BOOL RedrawWindow(HWND Window, const RECT* Rect, HRGN Region, UINT Flags);
// Runs a paint cycle when something is invalid (the window only, not its
// children).
BOOL UpdateWindow(HWND Window);
// The update region's bounding box; answers whether it is not empty.  Erase
// asks for WM_ERASEBKGND now.
BOOL GetUpdateRect(HWND Window, RECT* Rect, BOOL Erase);
int GetUpdateRgn(HWND Window, HRGN Region, BOOL Erase);
HDC BeginPaint(HWND Window, PAINTSTRUCT* Paint);
BOOL EndPaint(HWND Window, const PAINTSTRUCT* Paint);
// A DC on the whole window (frame included), window coordinates; ReleaseDC
// frees it.  (GetDC of a window gives a client DC.)
HDC GetWindowDC(HWND Window);

// Moves the client pixels of Scroll (whole client area when null) by
// (DX, DY); only pixels landing inside Clip (whole client area when null)
// change, and the invalid region inside Scroll moves with them.  Child
// windows stay where they are.  The band the move uncovers goes to Update
// and UpdateRect when given, and is invalidated with SW_INVALIDATE (erase
// with SW_ERASE).  Answers the uncovered band's region type (nonzero), or
// ERROR.
BOOL ScrollWindowEx(HWND Window, int DX, int DY, const RECT* Scroll, const RECT* Clip, HRGN Update,
                    RECT* UpdateRect, UINT Flags);

}  // namespace gdi
