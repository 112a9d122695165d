// Edges, frame controls and the system bitmaps: the classic 3-D look of
// borders, buttons, check boxes, radio buttons, scroll arrows, size grips and
// caption buttons, painted with the flat calls of gdi.h in system colours
// through the DC's transform.  They fill rectangles only (FillRect ignores the
// DC's ROP2 and selected objects), so they leave the DC's state alone.  The
// focus rectangle is DrawFocusRect in gdi.h.
//
// DrawEdge
//   An edge is up to two rings one pixel wide: the outer ring on the border
//   of the rectangle, the inner ring just inside it; an absent ring takes no
//   room.  A ring paints its top and left sides in its top-left colour, then
//   its bottom and right sides in its bottom-right colour, each side along the
//   ring's full length, so its top-right and bottom-left corner pixels take
//   the bottom-right colour.  Only the sides named in the flags are painted,
//   and the next ring moves in on those sides only.
//
//     ring               top-left         bottom-right
//     BDR_RAISEDOUTER    cl3DLight        cl3DDkShadow
//     BDR_SUNKENOUTER    clBtnShadow      clBtnHighlight
//     BDR_RAISEDINNER    clBtnHighlight   clBtnShadow
//     BDR_SUNKENINNER    cl3DDkShadow     cl3DLight
//
//   A ring with both its raised and its sunken bit is raised.  BF_FLAT paints
//   the outer ring clBtnShadow and the inner clBtnFace all round; BF_MONO the
//   outer clWindowFrame and the inner clWindow (BF_MONO wins).  BF_MIDDLE
//   fills what the rings leave with clBtnFace; BF_ADJUST answers that
//   rectangle in Rect.
//
// DrawFrameControl (the kind is the low byte of State)
//   faces      push buttons, scroll arrows and the close button: EDGE_RAISED |
//              BF_MIDDLE, EDGE_SUNKEN when pushed (push buttons: or checked);
//              DFCS_FLAT: a one-pixel clBtnShadow frame around clBtnFace
//              (DFCS_MONO: clWindowFrame).  DFCS_ADJUSTRECT on a push button
//              answers the face inside the frame (2 pixels in, flat 1).
//   check box  in the largest square centred in Rect: an EDGE_SUNKEN frame
//              (flat/mono: the one-pixel frame), inside clWindow, clBtnFace
//              when inactive or pushed; checked: a 7 x 7 tick centred inside
//              in clWindowText, clGrayText when inactive.  DFCS_BUTTON3STATE
//              checked: a clBtnShadow tick on clBtnFace.  A 13 x 13 box has
//              its tick at (3, 3)-(10, 10).
//   radio      a circle in that square: pixel centres within one pixel of
//              the rim are the outer ring (clBtnShadow / clBtnHighlight), the
//              next pixel the inner ring (cl3DDkShadow / cl3DLight), split
//              into top-left and bottom-right halves along the diagonal; the
//              inside as the check box's; checked: a dot of radius side / 6
//              in clWindowText (clGrayText when inactive).  Flat/mono: one
//              ring in the frame colour.  Pixels outside the circle stay.
//   arrows     DFCS_SCROLLUP/DOWN/LEFT/RIGHT and COMBOBOX (down): a face and
//              a filled triangle in clBtnText (clGrayText when inactive),
//              centred, base ((side + 1) / 2) | 1 and height (base + 1) / 2
//              for the face's shorter inner side; pushed moves it by (1, 1).
//   size grip  clBtnFace, then three pairs of diagonals from the bottom-right
//              corner (SIZEGRIPRIGHT: bottom-left): pixels at distance
//              4k + 1 from the corner in clBtnShadow and 4k + 2 in
//              clBtnHighlight, k = 0, 1, 2, distance = dx + dy in pixels.
//   close      a face and an X of two 2-pixel-wide diagonals, G rows high and
//              G + 1 wide for G = the face's shorter inner side - 3, in
//              clBtnText (clGrayText when inactive); pushed moves it by (1, 1).
//   DFCS_HOT draws as normal in the classic look.
#pragma once

#include "platform/ui/graphics/gdi.h"

namespace gdi {

// ---------------------------------------------------------------------------
// edges

inline constexpr UINT BDR_RAISEDOUTER = 0x1, BDR_SUNKENOUTER = 0x2, BDR_RAISEDINNER = 0x4,
                      BDR_SUNKENINNER = 0x8, BDR_OUTER = BDR_RAISEDOUTER | BDR_SUNKENOUTER,
                      BDR_INNER = BDR_RAISEDINNER | BDR_SUNKENINNER, BDR_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER,
                      BDR_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr UINT EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER,
                      EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
                      EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER,
                      EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
inline constexpr UINT BF_LEFT = 0x1, BF_TOP = 0x2, BF_RIGHT = 0x4, BF_BOTTOM = 0x8,
                      BF_TOPLEFT = BF_TOP | BF_LEFT, BF_TOPRIGHT = BF_TOP | BF_RIGHT,
                      BF_BOTTOMLEFT = BF_BOTTOM | BF_LEFT, BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT,
                      BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM, BF_MIDDLE = 0x800, BF_ADJUST = 0x2000,
                      BF_FLAT = 0x4000, BF_MONO = 0x8000;

// Paints the rings of Edge on the sides of Flags (rules at the top).  Rect is
// logical; with BF_ADJUST it receives the rectangle inside the rings.  FALSE
// for a bad DC or a null Rect.
BOOL DrawEdge(HDC DC, RECT* Rect, UINT Edge, UINT Flags);

// ---------------------------------------------------------------------------
// frame controls

inline constexpr UINT DFC_CAPTION = 1, DFC_SCROLL = 3, DFC_BUTTON = 4;
inline constexpr UINT DFCS_CAPTIONCLOSE = 0x0;
inline constexpr UINT DFCS_SCROLLUP = 0x0, DFCS_SCROLLDOWN = 0x1, DFCS_SCROLLLEFT = 0x2, DFCS_SCROLLRIGHT = 0x3,
                      DFCS_SCROLLCOMBOBOX = 0x5, DFCS_SCROLLSIZEGRIP = 0x8, DFCS_SCROLLSIZEGRIPRIGHT = 0x10;
inline constexpr UINT DFCS_BUTTONCHECK = 0x0, DFCS_BUTTONRADIO = 0x4, DFCS_BUTTON3STATE = 0x8,
                      DFCS_BUTTONPUSH = 0x10;
inline constexpr UINT DFCS_INACTIVE = 0x100, DFCS_PUSHED = 0x200, DFCS_CHECKED = 0x400, DFCS_HOT = 0x1000,
                      DFCS_ADJUSTRECT = 0x2000, DFCS_FLAT = 0x4000, DFCS_MONO = 0x8000;

// Paints the control of Type and State (the kind in State's low byte) into
// Rect (logical; push buttons with DFCS_ADJUSTRECT receive their face).  FALSE
// for a bad DC, a null Rect or a type or kind not listed above.
BOOL DrawFrameControl(HDC DC, RECT* Rect, UINT Type, UINT State);

// ---------------------------------------------------------------------------
// system bitmaps

struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;  // 0: the system's own resources

// A resource name that is a number.
inline const WCHAR* MAKEINTRESOURCEW(WORD Id) { return reinterpret_cast<const WCHAR*>(std::uintptr_t(Id)); }
inline const WCHAR* MAKEINTRESOURCE(WORD Id) { return MAKEINTRESOURCEW(Id); }

inline constexpr WORD OBM_CHECKBOXES = 32759;

// OBM_CHECKBOXES from instance 0: a new 52 x 39 32-bit bitmap of 4 x 3
// cells of 13 x 13 on clBtnFace, drawn by DrawFrameControl; rows check box,
// radio, 3-state; columns unchecked, checked, pushed, pushed and checked.  The
// caller deletes it.  Anything else: 0 (named bitmaps are resources, not GDI).
HBITMAP LoadBitmapW(HINSTANCE Instance, const WCHAR* Name);
inline HBITMAP LoadBitmap(HINSTANCE Instance, const WCHAR* Name) { return LoadBitmapW(Instance, Name); }

}  // namespace gdi
