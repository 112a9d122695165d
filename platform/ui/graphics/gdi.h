// The flat drawing API: device contexts (HDC) over surfaces, GDI objects
// behind typed handles, the DC state, coordinate spaces, clipping, primitives,
// blits and alpha blending, with the original names, signatures and constant
// values, in namespace gdi.
//
// Model
//   A surface has pixels (a bitmap image, a window's backing image), records
//   (a metafile) or prints (a printer page); the screen DC of GetDC(0) only
//   measures, drawing on it does nothing.  Surfaces and their painter live in
//   surface.h.  Several DCs may draw on one surface; each keeps its own state
//   and drawing order is kept.
//
//   logical --world transform--> page --mapping--> device --layout--> surface
//
//   Mapping: device = (page - WindowOrg) * ViewportExt / WindowExt +
//   ViewportOrg (MM_TEXT: origins only).  Layout LAYOUT_RTL: x_surface =
//   surface width - x_device, the same mirror as a negative window extent.
//   Clip regions are kept in device coordinates.
//
// Pixel rules (all drawing is aliased)
//   A device point (X, Y) lights pixel (X, Y); pens of width 0 or 1 are one
//   device pixel wide whatever the transform.  Filled areas cover the pixels
//   whose centres lie inside the shape: FillRect(l, t, r, b) is [l, r) x [t, b);
//   Rectangle/Ellipse/RoundRect/Pie/Chord put a one-pixel outline on x = l and
//   x = r - 1 (y likewise) and fill [l, r-1) x [t, b-1) under a null pen.
//   LineTo and Polyline leave out their last point.  Raster operations other
//   than R2_COPYPEN work on the 24 colour bits of each covered pixel; on
//   surfaces without pixels they draw as R2_COPYPEN.
//
// Handles
//   Every handle type is a distinct opaque pointer, 0 = none.  One process-wide
//   table validates them; numbers are never reused.  Stock objects are never
//   deleted.  DeleteObject of an object still selected into a DC (or kept by a
//   SaveDC level) succeeds but the object lives on until the last DC lets go.
#pragma once

#include "platform/rtl/system.h"
#include "platform/ui/graphics/geometry.h"

#include <cstdint>

class QImage;
class QPainter;
class QTransform;

namespace gdi {

// ---------------------------------------------------------------------------
// basic types

using BOOL = int;  // nonzero is true; no TRUE/FALSE names (C headers define them as macros)
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using UINT = unsigned int;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using WCHAR = char16_t;
using COLORREF = DWORD;  // $00BBGGRR; GDI calls use the low 24 bits
using POINT = TPoint;
using RECT = TRect;
using SIZE = TSize;

// handles
struct HDC__;
struct HPEN__;
struct HBRUSH__;
struct HFONT__;
struct HBITMAP__;
struct HRGN__;
struct HPALETTE__;
struct HICON__;
struct HWND__;
using HDC = HDC__*;
using HPEN = HPEN__*;
using HBRUSH = HBRUSH__*;
using HFONT = HFONT__*;
using HBITMAP = HBITMAP__*;
using HRGN = HRGN__*;
using HPALETTE = HPALETTE__*;  // always 0: every device is true colour
using HICON = HICON__*;
using HWND = HWND__*;          // a window of the windowing area
using HGDIOBJ = void*;         // any of HPEN, HBRUSH, HFONT, HBITMAP, HRGN

constexpr COLORREF RGB(BYTE R, BYTE G, BYTE B) { return COLORREF(R) | (COLORREF(G) << 8) | (COLORREF(B) << 16); }
constexpr BYTE GetRValue(COLORREF C) { return BYTE(C); }
constexpr BYTE GetGValue(COLORREF C) { return BYTE(C >> 8); }
constexpr BYTE GetBValue(COLORREF C) { return BYTE(C >> 16); }

inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// ---------------------------------------------------------------------------
// structures

inline constexpr int LF_FACESIZE = 32;

struct LOGFONTW {
  LONG lfHeight = 0;       // < 0: em size in pixels; > 0: cell height (ascent + descent)
  LONG lfWidth = 0;
  LONG lfEscapement = 0;   // tenths of a degree, counter-clockwise
  LONG lfOrientation = 0;
  LONG lfWeight = 0;       // FW_NORMAL 400, FW_BOLD 700
  BYTE lfItalic = 0;
  BYTE lfUnderline = 0;
  BYTE lfStrikeOut = 0;
  BYTE lfCharSet = 0;
  BYTE lfOutPrecision = 0;
  BYTE lfClipPrecision = 0;
  BYTE lfQuality = 0;
  BYTE lfPitchAndFamily = 0;
  WCHAR lfFaceName[LF_FACESIZE] = {};  // zero-terminated
  friend bool operator==(const LOGFONTW&, const LOGFONTW&) = default;
};
using LOGFONT = LOGFONTW;
// The face name as text, and stored (cut to LF_FACESIZE - 1 units).
String LogFontFaceName(const LOGFONTW& LogFont);
void SetLogFontFaceName(LOGFONTW& LogFont, const String& Name);

struct LOGPEN {
  UINT lopnStyle = 0;
  POINT lopnWidth;  // X is the width
  COLORREF lopnColor = 0;
};

struct LOGBRUSH {
  UINT lbStyle = 0;
  COLORREF lbColor = 0;
  std::uintptr_t lbHatch = 0;  // HS_* for BS_HATCHED, the HBITMAP for BS_PATTERN
};

// An extended pen as GetObject answers it: elpNumEntries style entries follow
// in place of elpStyleEntry (the structure is as long as its entries need).
struct EXTLOGPEN {
  DWORD elpPenStyle = 0;  // PS_* style, end cap, join and type
  DWORD elpWidth = 0;
  UINT elpBrushStyle = 0;
  COLORREF elpColor = 0;
  std::uintptr_t elpHatch = 0;
  DWORD elpNumEntries = 0;
  DWORD elpStyleEntry[1] = {};
};

struct BITMAP {
  LONG bmType = 0;
  LONG bmWidth = 0;
  LONG bmHeight = 0;
  LONG bmWidthBytes = 0;  // bytes per scan line, a multiple of 4
  WORD bmPlanes = 1;
  WORD bmBitsPixel = 0;
  void* bmBits = nullptr;
};

// x' = x * eM11 + y * eM21 + eDx, y' = x * eM12 + y * eM22 + eDy
struct XFORM {
  float eM11 = 1, eM12 = 0, eM21 = 0, eM22 = 1, eDx = 0, eDy = 0;
  friend bool operator==(const XFORM&, const XFORM&) = default;
};

struct BLENDFUNCTION {
  BYTE BlendOp = 0;              // AC_SRC_OVER
  BYTE BlendFlags = 0;
  BYTE SourceConstantAlpha = 255;
  BYTE AlphaFormat = 0;          // 0 or AC_SRC_ALPHA
};

struct TEXTMETRICW {
  LONG tmHeight = 0;
  LONG tmAscent = 0;
  LONG tmDescent = 0;
  LONG tmInternalLeading = 0;
  LONG tmExternalLeading = 0;
  LONG tmAveCharWidth = 0;
  LONG tmMaxCharWidth = 0;
  LONG tmWeight = 0;
  LONG tmOverhang = 0;
  LONG tmDigitizedAspectX = 0;
  LONG tmDigitizedAspectY = 0;
  WCHAR tmFirstChar = 0;
  WCHAR tmLastChar = 0;
  WCHAR tmDefaultChar = 0;
  WCHAR tmBreakChar = 0;
  BYTE tmItalic = 0;
  BYTE tmUnderlined = 0;
  BYTE tmStruckOut = 0;
  BYTE tmPitchAndFamily = 0;
  BYTE tmCharSet = 0;
};
using TEXTMETRIC = TEXTMETRICW;

struct DRAWTEXTPARAMS {
  UINT cbSize = sizeof(DRAWTEXTPARAMS);
  int iTabLength = 0;    // in average character widths
  int iLeftMargin = 0;   // pixels
  int iRightMargin = 0;  // pixels
  UINT uiLengthDrawn = 0;
};

// ---------------------------------------------------------------------------
// constants

// object types (GetObjectType, GetCurrentObject)
inline constexpr UINT OBJ_PEN = 1, OBJ_BRUSH = 2, OBJ_DC = 3, OBJ_PAL = 5, OBJ_FONT = 6, OBJ_BITMAP = 7,
                      OBJ_REGION = 8, OBJ_MEMDC = 10;

// stock objects
inline constexpr int WHITE_BRUSH = 0, LTGRAY_BRUSH = 1, GRAY_BRUSH = 2, DKGRAY_BRUSH = 3, BLACK_BRUSH = 4,
                     NULL_BRUSH = 5, HOLLOW_BRUSH = NULL_BRUSH, WHITE_PEN = 6, BLACK_PEN = 7, NULL_PEN = 8,
                     DEFAULT_GUI_FONT = 17, DC_BRUSH = 18, DC_PEN = 19;

// system colours
inline constexpr int COLOR_SCROLLBAR = 0, COLOR_BACKGROUND = 1, COLOR_ACTIVECAPTION = 2,
                     COLOR_INACTIVECAPTION = 3, COLOR_MENU = 4, COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6,
                     COLOR_MENUTEXT = 7, COLOR_WINDOWTEXT = 8, COLOR_CAPTIONTEXT = 9, COLOR_ACTIVEBORDER = 10,
                     COLOR_INACTIVEBORDER = 11, COLOR_APPWORKSPACE = 12, COLOR_HIGHLIGHT = 13,
                     COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15, COLOR_BTNSHADOW = 16, COLOR_GRAYTEXT = 17,
                     COLOR_BTNTEXT = 18, COLOR_INACTIVECAPTIONTEXT = 19, COLOR_BTNHIGHLIGHT = 20,
                     COLOR_3DDKSHADOW = 21, COLOR_3DLIGHT = 22, COLOR_INFOTEXT = 23, COLOR_INFOBK = 24,
                     COLOR_HOTLIGHT = 26, COLOR_GRADIENTACTIVECAPTION = 27, COLOR_GRADIENTINACTIVECAPTION = 28,
                     COLOR_MENUHILIGHT = 29, COLOR_MENUBAR = 30;
inline constexpr int COLOR_3DFACE = COLOR_BTNFACE, COLOR_3DSHADOW = COLOR_BTNSHADOW,
                     COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT, COLOR_3DHILIGHT = COLOR_BTNHIGHLIGHT,
                     COLOR_BTNHILIGHT = COLOR_BTNHIGHLIGHT;
// The last index of the system-colour table.
inline constexpr int MaxSysColorIndex = COLOR_MENUBAR;

// background modes
inline constexpr int TRANSPARENT = 1, OPAQUE = 2;

// text alignment
inline constexpr UINT TA_NOUPDATECP = 0, TA_UPDATECP = 1, TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6, TA_TOP = 0,
                      TA_BOTTOM = 8, TA_BASELINE = 24, TA_RTLREADING = 256;

// binary raster operations
inline constexpr int R2_BLACK = 1, R2_NOTMERGEPEN = 2, R2_MASKNOTPEN = 3, R2_NOTCOPYPEN = 4,
                     R2_MASKPENNOT = 5, R2_NOT = 6, R2_XORPEN = 7, R2_NOTMASKPEN = 8, R2_MASKPEN = 9,
                     R2_NOTXORPEN = 10, R2_NOP = 11, R2_MERGENOTPEN = 12, R2_COPYPEN = 13,
                     R2_MERGEPENNOT = 14, R2_MERGEPEN = 15, R2_WHITE = 16;

// ternary raster operations: bits 16..23 are the truth table over (P, S, D)
inline constexpr DWORD SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6,
                       SRCINVERT = 0x00660046, SRCERASE = 0x00440328, NOTSRCCOPY = 0x00330008,
                       NOTSRCERASE = 0x001100A6, MERGECOPY = 0x00C000CA, MERGEPAINT = 0x00BB0226,
                       PATCOPY = 0x00F00021, PATPAINT = 0x00FB0A09, PATINVERT = 0x005A0049,
                       DSTINVERT = 0x00550009, BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062;

// fill modes, arc directions, stretch modes
inline constexpr int ALTERNATE = 1, WINDING = 2;
inline constexpr int AD_COUNTERCLOCKWISE = 1, AD_CLOCKWISE = 2;
inline constexpr int BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4;

// mapping, graphics mode, world transform, layout
inline constexpr int MM_TEXT = 1, MM_ANISOTROPIC = 8;
inline constexpr int GM_COMPATIBLE = 1, GM_ADVANCED = 2;
inline constexpr DWORD MWT_IDENTITY = 1, MWT_LEFTMULTIPLY = 2, MWT_RIGHTMULTIPLY = 3;
inline constexpr DWORD LAYOUT_RTL = 1, LAYOUT_BITMAPORIENTATIONPRESERVED = 8;
inline constexpr DWORD GDI_ERROR = 0xFFFFFFFF;

// pens
inline constexpr UINT PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5,
                      PS_INSIDEFRAME = 6, PS_USERSTYLE = 7, PS_ALTERNATE = 8, PS_STYLE_MASK = 0x0F;
// extended pens (ExtCreatePen): end cap, join and type bits beside the style
inline constexpr UINT PS_ENDCAP_ROUND = 0x0000, PS_ENDCAP_SQUARE = 0x0100, PS_ENDCAP_FLAT = 0x0200,
                      PS_ENDCAP_MASK = 0x0F00;
inline constexpr UINT PS_JOIN_ROUND = 0x0000, PS_JOIN_BEVEL = 0x1000, PS_JOIN_MITER = 0x2000, PS_JOIN_MASK = 0xF000;
inline constexpr UINT PS_COSMETIC = 0x00000, PS_GEOMETRIC = 0x10000, PS_TYPE_MASK = 0xF0000;

// brushes
inline constexpr UINT BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = BS_NULL, BS_HATCHED = 2, BS_PATTERN = 3;
inline constexpr int HS_HORIZONTAL = 0, HS_VERTICAL = 1, HS_FDIAGONAL = 2, HS_BDIAGONAL = 3, HS_CROSS = 4,
                     HS_DIAGCROSS = 5;

// regions
inline constexpr int RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5;
inline constexpr int ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3, RGN_ERROR = ERROR;

// alpha blending
inline constexpr BYTE AC_SRC_OVER = 0, AC_SRC_ALPHA = 1;

// fonts
inline constexpr LONG FW_DONTCARE = 0, FW_NORMAL = 400, FW_BOLD = 700;
inline constexpr BYTE ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2;
inline constexpr BYTE OUT_DEFAULT_PRECIS = 0, CLIP_DEFAULT_PRECIS = 0;
inline constexpr BYTE DEFAULT_QUALITY = 0, DRAFT_QUALITY = 1, PROOF_QUALITY = 2, NONANTIALIASED_QUALITY = 3,
                      ANTIALIASED_QUALITY = 4, CLEARTYPE_QUALITY = 5, CLEARTYPE_NATURAL_QUALITY = 6;
inline constexpr BYTE DEFAULT_PITCH = 0, FIXED_PITCH = 1, VARIABLE_PITCH = 2;
inline constexpr BYTE FF_DONTCARE = 0x00, FF_ROMAN = 0x10, FF_SWISS = 0x20, FF_MODERN = 0x30;

// text output (ExtTextOut options; the DrawText formats DT_* are in textengine.h)
inline constexpr UINT ETO_OPAQUE = 2, ETO_CLIPPED = 4, ETO_RTLREADING = 0x80;

// ---------------------------------------------------------------------------
// colours

// The system-colour table (index 0 .. MaxSysColorIndex); other indexes give 0.
DWORD GetSysColor(int Index);
// A stock solid brush of the system colour (never deleted); 0 for a bad index.
HBRUSH GetSysColorBrush(int Index);
// Replaces entries of the table (tests); ResetSysColors restores the defaults.
BOOL SetSysColors(int Count, const int* Indexes, const COLORREF* Values);
void ResetSysColors();
// True-colour devices: the colour itself, or what the surface's capability
// hook maps it to.
COLORREF GetNearestColor(HDC DC, COLORREF Color);

// ---------------------------------------------------------------------------
// objects

HGDIOBJ GetStockObject(int Index);
// FALSE for a handle that is not a live object; TRUE for stock objects, which
// stay.  A selected object is freed when its last DC lets go of it.
BOOL DeleteObject(HGDIOBJ Object);
// OBJ_* or 0.
DWORD GetObjectType(HGDIOBJ Object);
// HFONT -> LOGFONTW, HBITMAP -> BITMAP, HPEN -> LOGPEN (EXTLOGPEN for pens of
// ExtCreatePen), HBRUSH -> LOGBRUSH:
// copies at most Size bytes and answers the byte count; Buffer nullptr asks
// for the size; 0 for a bad handle.
int GetObjectW(HGDIOBJ Object, int Size, void* Buffer);
inline int GetObject(HGDIOBJ Object, int Size, void* Buffer) { return GetObjectW(Object, Size, Buffer); }

// Live GDI objects (pens, brushes, fonts, bitmaps, regions, DCs), stock
// objects excluded: a painter that cleans up leaves it unchanged.
int GdiObjectCount();
// Uses of deleted or foreign handles seen so far (double DeleteObject,
// SelectObject of a freed pen ...); tests expect it not to grow.
int GdiHandleErrors();

HPEN CreatePen(int Style, int Width, COLORREF Color);
// A cosmetic pen (PS_COSMETIC: width 1; PS_SOLID .. PS_ALTERNATE, PS_USERSTYLE
// in pixels) or a geometric one (PS_GEOMETRIC: any width, with end cap and
// join; PS_USERSTYLE in units of the width, where a dash of length 0 with
// round or square ends is one dot).  Brush must be solid; StyleCount entries
// of Style alternate on and off for PS_USERSTYLE (at most 16), 0 otherwise.
// 0 for any other combination.
HPEN ExtCreatePen(DWORD PenStyle, DWORD Width, const LOGBRUSH* Brush, DWORD StyleCount, const DWORD* Style);
HBRUSH CreateSolidBrush(COLORREF Color);
// A brush tiling a copy of Bitmap's pixels from the DC's brush origin; a
// monochrome bitmap paints its 0 bits in the DC's text colour and its 1 bits
// in its background colour.  0 for a bad bitmap handle.
HBRUSH CreatePatternBrush(HBITMAP Bitmap);
HBRUSH CreateBrushIndirect(const LOGBRUSH& LogBrush);
HBRUSH CreateHatchBrush(int Hatch, COLORREF Color);
HFONT CreateFontIndirectW(const LOGFONTW& LogFont);
inline HFONT CreateFontIndirect(const LOGFONTW& LogFont) { return CreateFontIndirectW(LogFont); }
// A 32-bit bitmap of the given size (0 x 0 allowed), pixels zero.
HBITMAP CreateCompatibleBitmap(HDC DC, int Width, int Height);
// Planes 1; BitsPerPixel 1 (monochrome: 1 = white, 0 = black), 24 or 32.
// Bits, when given, are rows of 16-bit aligned scan lines, top down.
HBITMAP CreateBitmap(int Width, int Height, UINT Planes, UINT BitsPerPixel, const void* Bits);

// ---------------------------------------------------------------------------
// device contexts

// A memory DC holding the default 1 x 1 monochrome bitmap until another
// bitmap is selected.  DC is ignored: every device is alike.
HDC CreateCompatibleDC(HDC DC);
BOOL DeleteDC(HDC DC);
// Window 0 is the screen (measuring only); other windows come from the
// windowing area's provider (surface.h).  ReleaseDC frees the DC.
HDC GetDC(HWND Window);
int ReleaseDC(HWND Window, HDC DC);
// The window a DC was made for; 0 for memory and screen DCs.
HWND WindowFromDC(HDC DC);

// Selects a pen, brush, font or bitmap and returns the previous one of that
// kind (0 on error).  A region becomes the clip (as SelectClipRgn) and the
// region type is returned.  A bitmap already selected into another DC fails.
HGDIOBJ SelectObject(HDC DC, HGDIOBJ Object);
HGDIOBJ GetCurrentObject(HDC DC, UINT ObjectType);

// ---------------------------------------------------------------------------
// DC state (the initial value in brackets)

COLORREF SetBkColor(HDC DC, COLORREF Color);  // previous (white)
COLORREF GetBkColor(HDC DC);
int SetBkMode(HDC DC, int Mode);              // previous (OPAQUE)
int GetBkMode(HDC DC);
COLORREF SetTextColor(HDC DC, COLORREF Color);  // previous (black)
COLORREF GetTextColor(HDC DC);
UINT SetTextAlign(HDC DC, UINT Align);        // previous (TA_LEFT | TA_TOP)
UINT GetTextAlign(HDC DC);
int SetTextCharacterExtra(HDC DC, int Extra); // previous (0)
int GetTextCharacterExtra(HDC DC);
int SetROP2(HDC DC, int Rop2);                // previous (R2_COPYPEN)
int GetROP2(HDC DC);
int SetPolyFillMode(HDC DC, int Mode);        // previous (ALTERNATE)
int GetPolyFillMode(HDC DC);
int SetArcDirection(HDC DC, int Direction);   // previous (AD_COUNTERCLOCKWISE)
int GetArcDirection(HDC DC);
int SetStretchBltMode(HDC DC, int Mode);      // accepted; stretching is nearest-neighbour
int GetStretchBltMode(HDC DC);
// Origin of hatch and pattern brushes in device pixels ((0, 0)).
BOOL SetBrushOrgEx(HDC DC, int X, int Y, POINT* Previous);
BOOL GetBrushOrgEx(HDC DC, POINT* Origin);
BOOL MoveToEx(HDC DC, int X, int Y, POINT* Previous);
BOOL GetCurrentPositionEx(HDC DC, POINT* Position);
// Colours of the stock DC_BRUSH (white) and DC_PEN (black); previous or CLR_INVALID.
COLORREF SetDCBrushColor(HDC DC, COLORREF Color);
COLORREF GetDCBrushColor(HDC DC);
COLORREF SetDCPenColor(HDC DC, COLORREF Color);
COLORREF GetDCPenColor(HDC DC);

// Saves all of the state above, the selected objects, clip, graphics mode,
// world transform, mapping and layout; answers the new level (1, 2, ...) or 0.
int SaveDC(HDC DC);
// Level > 0 restores that level and drops it and those above; -1 the last one.
BOOL RestoreDC(HDC DC, int SavedDC);

// ---------------------------------------------------------------------------
// coordinate spaces

int SetMapMode(HDC DC, int Mode);  // MM_TEXT or MM_ANISOTROPIC; previous or 0
int GetMapMode(HDC DC);
BOOL SetWindowOrgEx(HDC DC, int X, int Y, POINT* Previous);
BOOL GetWindowOrgEx(HDC DC, POINT* Origin);
BOOL SetViewportOrgEx(HDC DC, int X, int Y, POINT* Previous);
BOOL GetViewportOrgEx(HDC DC, POINT* Origin);
// Ignored in MM_TEXT, where both extents read back as (1, 1); a zero extent fails.
BOOL SetWindowExtEx(HDC DC, int X, int Y, SIZE* Previous);
BOOL GetWindowExtEx(HDC DC, SIZE* Extent);
BOOL SetViewportExtEx(HDC DC, int X, int Y, SIZE* Previous);
BOOL GetViewportExtEx(HDC DC, SIZE* Extent);
// Through the whole pipeline, world transform and layout included.
BOOL LPtoDP(HDC DC, POINT* Points, int Count);
BOOL DPtoLP(HDC DC, POINT* Points, int Count);
DWORD SetLayout(HDC DC, DWORD Layout);  // previous or GDI_ERROR
DWORD GetLayout(HDC DC);

// Switching back to GM_COMPATIBLE fails unless the world transform is the
// identity.
int SetGraphicsMode(HDC DC, int Mode);
int GetGraphicsMode(HDC DC);
// Both fail (FALSE, nothing changed) in GM_COMPATIBLE.
BOOL SetWorldTransform(HDC DC, const XFORM* Xform);
// MWT_IDENTITY; MWT_LEFTMULTIPLY: new = Xform * current (Xform acts first);
// MWT_RIGHTMULTIPLY: new = current * Xform.
BOOL ModifyWorldTransform(HDC DC, const XFORM* Xform, DWORD Mode);
BOOL GetWorldTransform(HDC DC, XFORM* Xform);

// ---------------------------------------------------------------------------
// clipping (regions live in regions.h)

// 1 and a copy of the clip (device coordinates) in Region, or 0 without clip.
int GetClipRgn(HDC DC, HRGN Region);
// Copies Region as the clip; 0 removes the clip.  Answers the region type.
int SelectClipRgn(HDC DC, HRGN Region);
// RGN_COPY with 0 removes the clip; other modes combine with the current
// clip (none = the whole surface).
int ExtSelectClipRgn(HDC DC, HRGN Region, int Mode);
// Logical rectangles, corners through LPtoDP and normalised.
int IntersectClipRect(HDC DC, int Left, int Top, int Right, int Bottom);
int ExcludeClipRect(HDC DC, int Left, int Top, int Right, int Bottom);
int OffsetClipRgn(HDC DC, int DX, int DY);
// The clip's bounding box in logical coordinates (the surface without a clip).
int GetClipBox(HDC DC, RECT* Rect);
BOOL PtVisible(HDC DC, int X, int Y);
BOOL RectVisible(HDC DC, const RECT* Rect);

// ---------------------------------------------------------------------------
// primitives (pixel rules at the top)

// The brush may be a system-colour index + 1, as the original allows.
int FillRect(HDC DC, const RECT& Rect, HBRUSH Brush);
int FrameRect(HDC DC, const RECT& Rect, HBRUSH Brush);
BOOL Rectangle(HDC DC, int Left, int Top, int Right, int Bottom);
BOOL Ellipse(HDC DC, int Left, int Top, int Right, int Bottom);
BOOL RoundRect(HDC DC, int Left, int Top, int Right, int Bottom, int Width, int Height);
// From the radial through (X3, Y3) to the radial through (X4, Y4) in the arc
// direction; equal radials give the whole ellipse.
BOOL Arc(HDC DC, int Left, int Top, int Right, int Bottom, int X3, int Y3, int X4, int Y4);
// Arc plus a line from the current position to the arc's start; the current
// position moves to the arc's end.
BOOL ArcTo(HDC DC, int Left, int Top, int Right, int Bottom, int X3, int Y3, int X4, int Y4);
BOOL Pie(HDC DC, int Left, int Top, int Right, int Bottom, int X3, int Y3, int X4, int Y4);
BOOL Chord(HDC DC, int Left, int Top, int Right, int Bottom, int X3, int Y3, int X4, int Y4);
BOOL LineTo(HDC DC, int X, int Y);
BOOL Polyline(HDC DC, const POINT* Points, int Count);
BOOL PolylineTo(HDC DC, const POINT* Points, int Count);
BOOL PolyPolyline(HDC DC, const POINT* Points, const DWORD* Counts, DWORD Polylines);
BOOL Polygon(HDC DC, const POINT* Points, int Count);
// The colour set, or CLR_INVALID outside the surface or clip.
COLORREF SetPixel(HDC DC, int X, int Y, COLORREF Color);
BOOL SetPixelV(HDC DC, int X, int Y, COLORREF Color);
// CLR_INVALID outside the surface or clip and on surfaces without pixels.
COLORREF GetPixel(HDC DC, int X, int Y);
// Inverts every other pixel of the one-pixel frame just inside Rect; drawing
// it twice restores the pixels.
BOOL DrawFocusRect(HDC DC, const RECT& Rect);

// ---------------------------------------------------------------------------
// blits

// Source pixels combined with the destination and the selected brush by a
// ternary ROP; destination rectangles go through the pipeline (mirror and
// flip allowed); nearest-neighbour stretching.  A monochrome source paints
// 0 bits in the destination's text colour and 1 bits in its background
// colour; a colour source onto a monochrome destination gives 1 where the
// pixel equals the source DC's background colour.
BOOL BitBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Source, int XSrc, int YSrc, DWORD Rop);
BOOL StretchBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Source, int XSrc, int YSrc, int WidthSrc,
                int HeightSrc, DWORD Rop);
// The selected brush combined with the destination (no source).
BOOL PatBlt(HDC DC, int X, int Y, int Width, int Height, DWORD Rop);
// Without AC_SRC_ALPHA: d' = d + trunc((s - d) * SCA / 255) per channel.
// With AC_SRC_ALPHA (premultiplied source): sa = trunc(sA * SCA / 255),
// d' = trunc(s * SCA / 255) + trunc(d * (255 - sa) / 255).
BOOL AlphaBlend(HDC Dest, int X, int Y, int Width, int Height, HDC Source, int XSrc, int YSrc, int WidthSrc,
                int HeightSrc, BLENDFUNCTION Blend);

// ---------------------------------------------------------------------------
// text output: defined by the text engine (textengine.cpp) over the state above

BOOL TextOutW(HDC DC, int X, int Y, const Char* Text, int Count);
BOOL ExtTextOutW(HDC DC, int X, int Y, UINT Options, const RECT* Rect, const Char* Text, UINT Count,
                 const int* Dx);
// Answers the text height; DT_CALCRECT only measures into Rect.
int DrawTextW(HDC DC, const Char* Text, int Count, RECT* Rect, UINT Format);
int DrawTextExW(HDC DC, const Char* Text, int Count, RECT* Rect, UINT Format, DRAWTEXTPARAMS* Params);
BOOL GetTextExtentPoint32W(HDC DC, const Char* Text, int Count, SIZE* Size);
BOOL GetTextExtentExPointW(HDC DC, const Char* Text, int Count, int MaxExtent, int* Fit, int* Dx, SIZE* Size);
BOOL GetTextMetricsW(HDC DC, TEXTMETRICW* Metrics);
int GetTextFaceW(HDC DC, int Count, WCHAR* FaceName);

inline BOOL TextOut(HDC DC, int X, int Y, const Char* Text, int Count) { return TextOutW(DC, X, Y, Text, Count); }
inline BOOL ExtTextOut(HDC DC, int X, int Y, UINT Options, const RECT* Rect, const Char* Text, UINT Count,
                       const int* Dx) {
  return ExtTextOutW(DC, X, Y, Options, Rect, Text, Count, Dx);
}
inline int DrawText(HDC DC, const Char* Text, int Count, RECT* Rect, UINT Format) {
  return DrawTextW(DC, Text, Count, Rect, Format);
}
inline int DrawTextEx(HDC DC, const Char* Text, int Count, RECT* Rect, UINT Format, DRAWTEXTPARAMS* Params) {
  return DrawTextExW(DC, Text, Count, Rect, Format, Params);
}
inline BOOL GetTextExtentPoint32(HDC DC, const Char* Text, int Count, SIZE* Size) {
  return GetTextExtentPoint32W(DC, Text, Count, Size);
}
inline BOOL GetTextExtentExPoint(HDC DC, const Char* Text, int Count, int MaxExtent, int* Fit, int* Dx,
                                 SIZE* Size) {
  return GetTextExtentExPointW(DC, Text, Count, MaxExtent, Fit, Dx, Size);
}
inline BOOL GetTextMetrics(HDC DC, TEXTMETRICW* Metrics) { return GetTextMetricsW(DC, Metrics); }

// ---------------------------------------------------------------------------
// the text engine's access to a DC
//
// Text is laid out by the text engine and drawn with the surface's painter
// or, for upright glyphs on 32-bit images, straight into the surface's pixels.

// What a text call reads from a DC.  One call gathers it with one handle
// look-up: a grid page makes thousands of short text calls, and a look-up per
// attribute (each takes the handle table's lock) was a tenth of their cost.
struct TDCTextState {
  LOGFONTW LogFont;  // of the selected font
  COLORREF TextColor = 0;
  COLORREF BkColor = 0;
  int BkMode = OPAQUE;
  UINT TextAlign = 0;
  int CharExtra = 0;
  int GraphicsMode = GM_COMPATIBLE;
  POINT CurrentPos;
};
// False for a bad handle or a DC without a font.  ToSurface receives
// DCSurfaceTransform(DC).
bool GetDCTextState(HDC DC, TDCTextState& State, QTransform& ToSurface);

// The logical -> surface pixel transform of DC: world transform, mapping and
// layout.  Exact for integer points: map, then round.
QTransform DCSurfaceTransform(HDC DC);
// The surface's painter made ready for DC: begun, identity transform,
// antialiasing off, source-over composition, the DC's clip applied in surface
// pixels.  nullptr when the surface does not draw (the screen).  The painter
// stays valid until the next drawing call on any DC of the surface; a caller
// that changes its clip, transform or hints wraps that in save()/restore().
// Pixels, when given, receives the surface's image for direct writes in the
// painter's coordinates (nullptr for surfaces without pixels); writes stay
// inside the painter's clip.
QPainter* DCPainter(HDC DC, QImage** Pixels = nullptr);
// Surface facts for device capabilities.  Dpi 0 means "the screen's".
struct TDCDeviceInfo {
  int Width = 0;   // surface pixels
  int Height = 0;
  int DpiX = 0;
  int DpiY = 0;
  bool IsScreen = false;   // GetDC(0)
  bool IsMemory = false;   // CreateCompatibleDC
  bool IsPrinter = false;
  bool IsMetafile = false;
};
// False for a bad handle.
bool GetDCDeviceInfo(HDC DC, TDCDeviceInfo& Info);

// ---------------------------------------------------------------------------
// recording surfaces (tests; TSurface::Recording in surface.h)
//
// Each drawing call on a recording surface's DC adds one line:
//   Name(logical arguments)[ dev(device arguments)] state
// The device arguments follow only when they differ.  The state lists what
// the call uses, in this order: pen=$00BBGGRR[/w<width>][/<style>] or
// pen=none; brush=$00BBGGRR[/<hatch>] or brush=none; for text
// font=<name>/<height>/$<text colour>, bk=transparent or bk=$<colour> and,
// for a turned font, esc=<escapement>;
// rop=<R2_* value> unless R2_COPYPEN; clip=(l,t,r,b), the device clip box,
// when a clip is set.  Example: "FillRect(10,10,40,30) brush=$00F0F0F0".

bool IsRecordingDC(HDC DC);
// Adds Call (name and arguments, as above) with the text state of DC; for the
// text engine's calls.  Nothing when DC does not record.
void RecordTextCall(HDC DC, const String& Call);

}  // namespace gdi
