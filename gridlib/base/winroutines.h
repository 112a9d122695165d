// Thin routines over the platform's window, message, device-context, locale
// and font services, so that the library calls one place for each service.
// Most forward; a few have rules of their own: removing a queued click aimed
// at a control, placing a drop-down window against a rectangle inside the
// monitor's work area, posting an application message only once, and
// comparing strings by the user's locale over a character count.
//
// Drop-down side notice: message DropDownSideNoticeEh (1124) goes to the
// drop-down window twice while it is placed, first with WParam 2 (above the
// rectangle) or 3 (below), then with 0 (pushed left by the work area's right
// edge, or right-aligned) or 1 (pushed right by its left edge, or left- or
// centre-aligned).
#pragma once

#include "platform/rtl/modules.h"
#include "platform/rtl/system.h"
#include "platform/rtl/typinfo.h"
#include "platform/ui/graphics/edges.h"
#include "platform/ui/graphics/gdi.h"
#include "platform/ui/windowing/messages.h"

#include <bitset>
#include <span>
#include <vector>

class TBitmap;
class TCanvas;
class TComponent;
class TControl;
class TCustomEdit;
class TFont;
class TWinControl;
struct TCreateParams;

// The corner a size grip resizes from.
RTL_ENUM(TSizeGripPosition, sgpTopLeft, sgpTopRight, sgpBottomRight, sgpBottomLeft)

// A set of character codes 0..255.
using TByteSetEh = std::bitset<256>;

// Horizontal placement of a drop-down against its rectangle.
inline constexpr Integer DropDownAlignLeftEh = 0, DropDownAlignRightEh = 1, DropDownAlignCenterEh = 2;
// The private message that tells a drop-down on which sides it was placed.
inline constexpr gdi::UINT DropDownSideNoticeEh = gdi::WM_USER + 100;  // 1124
inline constexpr gdi::WPARAM DropDownPushedLeftEh = 0, DropDownPushedRightEh = 1, DropDownAboveEh = 2,
                             DropDownBelowEh = 3;

// ---------------------------------------------------------------------------
// messages and input

gdi::LRESULT SendMessageEh(gdi::HWND Wnd, gdi::UINT Msg, gdi::WPARAM WParam, gdi::LPARAM LParam);
// Text goes as a pointer to its zero-terminated characters.
gdi::LRESULT SendMessageStrEh(gdi::HWND Wnd, gdi::UINT Msg, gdi::WPARAM WParam, const String& Text);
void SendEditGetSelEh(gdi::HWND Wnd, Integer& SelStart, Integer& SelEnd);
void SendEditSetSelEh(gdi::HWND Wnd, Integer SelStart, Integer SelEnd);
// The character index at the caret (EM_CHARFROMPOS at GetCaretPos, the low
// 16 bits, signed); -1 while the edit does not hold the caret.
Integer GetEditCaretCharIndexEh(TCustomEdit* Edit);
void PostQuitMessageEh(Integer ExitCode);
// Removes the next queued Msg of Wnd; a quit message taken that way is
// posted again with its exit code.
void RemoveMessageKeepQuitEh(gdi::HWND Wnd, gdi::UINT Msg);
// True when a queued left press (down or double click) on this very control
// was found and removed.  The window looked at is the control's own, or its
// parent's for a graphic control, whose click must then hit the control.
bool RemovePendingClickEh(TControl* Control);
// The same, the click also inside the control's client rectangle.
bool RemovePendingClickInsideEh(TControl* Control);
// Posts Msg to the application window unless a Msg is queued already.
void PostAppMessageOnceEh(gdi::UINT Msg, gdi::WPARAM WParam, gdi::LPARAM LParam);
// Sends Msg to every component Component owns, at any depth, that is of
// class AClass and takes messages.
void BroadcastToComponentsEh(TComponent* Component, TClass AClass, gdi::UINT Msg, gdi::WPARAM WParam,
                             gdi::LPARAM LParam);
void CopyMessageToEh(const TMessage& Source, TMessage& Dest);
TMessage CopyMessageEh(const TMessage& Source);
bool IsMouseButtonDownEh(TMouseButton Button);
// ssShift, ssAlt and ssCtrl from the keys' state now.
TShiftState GetKeyboardShiftStateEh();
// Interval (ms) within the double-click time and the points within the
// double-click width and height of each other.
bool IsDoubleClickDistanceEh(TPoint Point1, TPoint Point2, Integer Interval);
// (0, 0) when the position cannot be read.
TPoint GetCursorPosSafeEh();
gdi::LONG GetMessageTimeEh();
Cardinal GetTickCountEh();
TPoint LParamToPointEh(gdi::LPARAM LParam);
gdi::LPARAM SmallPointToLParamEh(TPoint Point);
void DebugOutputEh(const String& Text);

// ---------------------------------------------------------------------------
// windows and device contexts

// Rect nullptr: the whole client area.
void InvalidateWindowRectEh(gdi::HWND Wnd, const TRect* Rect, bool Erase);
void ValidateWindowRectEh(gdi::HWND Wnd, const TRect* Rect);
bool ScrollWindowExEh(gdi::HWND Wnd, Integer DX, Integer DY, const TRect* ScrollRect, const TRect* ClipRect,
                      gdi::HRGN UpdateRgn, gdi::UINT Flags);
void SetFocusWindowEh(gdi::HWND Wnd);
bool IsChildWindowEh(gdi::HWND Parent, gdi::HWND Wnd);
void SetDCLayoutEh(gdi::HDC DC, gdi::DWORD Layout);
// CS_DROPSHADOW on when DropShadow (Windows 5.1 and later), off otherwise.
void SetDropShadowClassStyleEh(TWinControl* Form, TCreateParams& Params, bool DropShadow);
TRect RectLogicalToDeviceEh(gdi::HDC DC, const TRect& Rect);
// Intersects the canvas's clip with Rect; answers the former clip as a new
// region for RestoreClipRgnEh, nullptr when the canvas had none.
gdi::HRGN SelectClipRectEh(TCanvas* Canvas, const TRect& Rect);
// Selects Saved back (nullptr: no clip) and deletes it.
void RestoreClipRgnEh(TCanvas* Canvas, gdi::HRGN Saved);
// The same two on a DC.
gdi::HRGN SelectClipRectDCEh(gdi::HDC DC, const TRect& Rect);
void RestoreClipRgnDCEh(gdi::HDC DC, gdi::HRGN Saved);
// The client rectangle ((0, 0, Width, Height) before the window exists)
// through the control's AdjustClientRect.
TRect GetAdjustedClientRectEh(TWinControl* Control);
// The client origin on the screen with the control's width and height.
TRect GetControlScreenRectEh(TControl* Control);
// Places DropDown against Rect (screen) inside the work area of the nearest
// monitor, shortening it where it does not fit; answers its top-left point
// and sends the side notices.
TPoint PlaceDropDownAtRectEh(const TRect& Rect, TWinControl* DropDown, Integer HorzAlign);
// PlaceDropDownAtRectEh with Control's bounds on the screen.
TPoint PlaceDropDownUnderControlEh(TControl* Control, TWinControl* DropDown, Integer HorzAlign);
gdi::HRGN CreatePolygonRgnEh(std::span<const TPoint> Points, Integer FillMode);
void PolyPolylineEh(TCanvas* Canvas, std::span<const TPoint> Points, std::span<const gdi::DWORD> Counts);
// A bitmap by number from Module (0: the system's bitmaps); the caller
// deletes it.
gdi::HBITMAP LoadSystemBitmapEh(gdi::HINSTANCE Module, gdi::WORD Id);
// Bitmap from the bitmap resource Name of Module (EResNotFound when missing).
void LoadBitmapFromResourceEh(TBitmap* Bitmap, HMODULE Module, const String& Name);
Char MiddleDotCharEh();
// The platform's text calls with a String; DrawTextStringEh draws the first
// Count characters, DrawTextExEh the whole text.
Integer DrawTextStringEh(gdi::HDC DC, const String& Text, Integer Count, TRect& Rect, gdi::UINT Format);
Integer DrawTextExEh(gdi::HDC DC, const String& Text, TRect& Rect, gdi::UINT Format,
                     gdi::DRAWTEXTPARAMS* Params);
Integer DrawTextExStrEh(gdi::HDC DC, const String& Text, Integer Count, TRect& Rect, gdi::UINT Format,
                        gdi::DRAWTEXTPARAMS* Params);
bool ExtTextOutStrEh(gdi::HDC DC, Integer X, Integer Y, gdi::UINT Options, const TRect* Rect, const String& Text,
                     const Integer* Dx = nullptr);

// ---------------------------------------------------------------------------
// fonts and measuring (nullptr canvases, or canvases without a handle,
// measure on the shared screen canvas)

Integer GetFontSizeEh(TFont* Font);
// The character height in pixels: minus the font's Height.
Integer GetFontCharHeightEh(TFont* Font);
Integer GetFontTextHeightEh(TCanvas* Canvas, TFont* Font, bool WithExternalLeading);
void GetFontTextMetricsEh(TCanvas* Canvas, gdi::TEXTMETRICW& Metrics);
// The pixel extent after each character (one platform call) and the text's
// size.
std::vector<Integer> GetTextExtentsEh(TCanvas* Canvas, const String& Text, TSize& Size);
// One character is one position: surrogate pairs are not joined.
Integer TextLengthEh(const String& Text);
Integer NextCharIndexEh(const String& Text, Integer Index);

// ---------------------------------------------------------------------------
// geometry

TRect EmptyRectEh();
TRect MakeRectEh(Integer Left, Integer Top, Integer Right, Integer Bottom);
TPoint MakePointEh(Integer X, Integer Y);
bool IsRectEmptyEh(const TRect& Rect);
TPoint RectSizeEh(const TRect& Rect);
// Left and top inclusive, right and bottom exclusive.
bool PointInRectEh(const TRect& Rect, TPoint Point);
bool PtInRectEh(const TRect& Rect, TPoint Point);
TRect OffsetRectSidesEh(const TRect& Rect, Integer DLeft, Integer DTop, Integer DRight, Integer DBottom);
TRect MoveRectToEh(const TRect& Rect, Integer X, Integer Y);
TRect MoveRectToPointEh(const TRect& Rect, TPoint Point);
// x mirrored inside the container: Container.Left + Container.Right - x; a
// mirrored rectangle keeps its width.
TPoint MirrorPointInRectEh(const TRect& Container, TPoint Point);
TRect MirrorRectInRectEh(const TRect& Container, const TRect& Rect);
TSizeGripPosition MirrorSizeGripPositionEh(TSizeGripPosition Position);
// P1 + Trunc((P2 - P1) * Fraction) per coordinate.
TPoint InterpolatePointEh(TPoint P1, TPoint P2, double Fraction);
void SwapIntegersEh(Integer& A, Integer& B);

// ---------------------------------------------------------------------------
// locale and characters

// -1, 0 or 1 by the user locale's collation over the first Count characters
// of each string (0: the whole strings).
Integer CompareStrLocaleCountEh(const String& S1, const String& S2, Integer Count, bool IgnoreCase);
Integer CompareWideStrLocaleEh(const String& S1, const String& S2, Integer Count, bool IgnoreCase);
Integer CompareStrLocaleEh(const String& S1, const String& S2);
Integer CompareTextLocaleEh(const String& S1, const String& S2);
String UpperCaseTextEh(const String& Text);
String LowerCaseTextEh(const String& Text);
// 0 Monday .. 6 Sunday.
Integer GetLocaleFirstDayOfWeekEh();
// Codes above 255 are in no set.
bool CharInByteSetEh(Char C, const TByteSetEh& Set);
bool IsLeadByteCharEh(Char C);
// Copies the zero-terminated Source into Dest, which holds DestSize units,
// never writing past it: at most DestSize - 1 units and the terminator.
// Answers Dest (nothing is written when DestSize is 0).
Char* StrCopyWideEh(Char* Dest, Integer DestSize, const Char* Source);
// Text through the edit mask: literal positions padded with the mask's blank
// when the mask saves literals, else the platform's mask formatting.
String FormatMaskTextEh(const String& EditMask, const String& Text);
