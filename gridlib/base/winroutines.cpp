#include "gridlib/base/winroutines.h"

#include "gridlib/base/basecontrols.h"
#include "platform/os/kernel.h"
#include "platform/os/locales.h"
#include "platform/os/sysinfo.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/maskutils.h"
#include "platform/rtl/numconv.h"
#include "platform/rtl/rtlmath.h"
#include "platform/rtl/strutils.h"
#include "platform/ui/controls/edits.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/edges.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/graphics/regions.h"
#include "platform/ui/windowing/application.h"
#include "platform/ui/windowing/caret.h"
#include "platform/ui/windowing/controls.h"
#include "platform/ui/windowing/focus.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/window.h"

#include <cstdlib>

using namespace gdi;

namespace {

// Drop shadows exist from Windows XP (5.1) on.
constexpr Integer DropShadowMajor = 5;
constexpr Integer DropShadowMinor = 1;
// GetTextExtentsEh measures in one call with this maximum extent.
constexpr int MaxTextExtent = 10000;

// The first queued left press for Window, if any: a down or a double click
// (an up in the same range does not count).
bool peekLeftPress(HWND Window, MSG& Msg) {
  if (!PeekMessage(Msg, Window, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, PM_NOREMOVE)) return false;
  return Msg.message == WM_LBUTTONDOWN || Msg.message == WM_LBUTTONDBLCLK;
}

// RemovePendingClickEh, with the client-rectangle test when Inside.
bool removePendingClick(TControl* Control, bool Inside) {
  auto* Windowed = dynamic_cast<TWinControl*>(Control);
  TWinControl* Owner = Windowed ? Windowed : Control->Parent();
  if (!Owner || !Owner->HandleAllocated()) return false;
  const HWND Window = Owner->Handle();
  MSG Msg;
  if (!peekLeftPress(Window, Msg)) return false;
  const TPoint Point = LParamToPoint(Msg.lParam);
  if (!Windowed && Owner->ControlAtPos(Point, /*AllowDisabled=*/true, /*AllowWinControls=*/false) != Control)
    return false;
  if (Inside) {
    TPoint OnScreen = Point;
    ClientToScreen(Window, &OnScreen);
    if (!Control->ClientRect().Contains(Control->ScreenToClient(OnScreen))) return false;
  }
  PeekMessage(Msg, Window, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, PM_REMOVE);
  return true;
}

// The canvas to measure on: Canvas when it can draw, else the screen's.
TCanvas* measuringCanvas(TCanvas* Canvas) {
  return Canvas && Canvas->HandleAllocated() ? Canvas : GetScreenCanvasEh();
}

TEXTMETRICW fontMetrics(HDC DC, TFont* Font) {
  const HGDIOBJ Previous = SelectObject(DC, Font->Handle());
  TEXTMETRICW Metrics;
  GetTextMetrics(DC, &Metrics);
  SelectObject(DC, Previous);
  return Metrics;
}

}  // namespace

// ---------------------------------------------------------------------------
// messages and input

LRESULT SendMessageEh(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  return SendMessage(Wnd, Msg, WParam, LParam);
}

LRESULT SendMessageStrEh(HWND Wnd, UINT Msg, WPARAM WParam, const String& Text) {
  return SendMessage(Wnd, Msg, WParam, reinterpret_cast<LPARAM>(Text.utf16()));
}

void SendEditGetSelEh(HWND Wnd, Integer& SelStart, Integer& SelEnd) {
  DWORD Start = 0, End = 0;
  SendMessage(Wnd, EM_GETSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
  SelStart = Integer(Start);
  SelEnd = Integer(End);
}

void SendEditSetSelEh(HWND Wnd, Integer SelStart, Integer SelEnd) {
  SendMessage(Wnd, EM_SETSEL, WPARAM(SelStart), LPARAM(SelEnd));
}

Integer GetEditCaretCharIndexEh(TCustomEdit* Edit) {
  // An edit holds the caret only while it has the focus.
  POINT Caret;
  if (!Edit->HandleAllocated() || GetFocus() != Edit->Handle() || !GetCaretPos(&Caret)) return -1;
  return SmallInt(LOWORD(std::uintptr_t(SendMessage(Edit->Handle(), EM_CHARFROMPOS, 0, PointToLParam(Caret)))));
}

void PostQuitMessageEh(Integer ExitCode) { PostQuitMessage(ExitCode); }

void RemoveMessageKeepQuitEh(HWND Wnd, UINT Msg) {
  MSG Taken;
  if (PeekMessage(Taken, Wnd, Msg, Msg, PM_REMOVE) && Taken.message == WM_QUIT)
    PostQuitMessage(int(Taken.wParam));
}

bool RemovePendingClickEh(TControl* Control) { return removePendingClick(Control, /*Inside=*/false); }

bool RemovePendingClickInsideEh(TControl* Control) { return removePendingClick(Control, /*Inside=*/true); }

void PostAppMessageOnceEh(UINT Msg, WPARAM WParam, LPARAM LParam) {
  MSG Queued;
  // The quit message comes back whatever the filter asks: it is no Msg.
  if (PeekMessage(Queued, nullptr, Msg, Msg, PM_NOREMOVE) && Queued.message == Msg) return;
  PostMessage(Application->Handle(), Msg, WParam, LParam);
}

void BroadcastToComponentsEh(TComponent* Component, TClass AClass, UINT Msg, WPARAM WParam, LPARAM LParam) {
  for (int I = 0; I < Component->ComponentCount(); ++I) {
    TComponent* Child = Component->Components(I);
    if (Child->InheritsFrom(AClass))
      if (auto* Target = dynamic_cast<TMessageTarget*>(Child)) Target->Perform(Msg, WParam, LParam);
    BroadcastToComponentsEh(Child, AClass, Msg, WParam, LParam);
  }
}

void CopyMessageToEh(const TMessage& Source, TMessage& Dest) { Dest = Source; }

TMessage CopyMessageEh(const TMessage& Source) { return Source; }

bool IsMouseButtonDownEh(TMouseButton Button) {
  static constexpr int Keys[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
  return GetAsyncKeyState(Keys[Button]) < 0;
}

TShiftState GetKeyboardShiftStateEh() { return KeyboardStateToShiftState() * TShiftState{ssShift, ssAlt, ssCtrl}; }

bool IsDoubleClickDistanceEh(TPoint Point1, TPoint Point2, Integer Interval) {
  return Interval >= 0 && Cardinal(Interval) <= GetDoubleClickTime() &&
         std::abs(Point1.X - Point2.X) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
         std::abs(Point1.Y - Point2.Y) <= GetSystemMetrics(SM_CYDOUBLECLK);
}

TPoint GetCursorPosSafeEh() {
  POINT P;
  return GetCursorPos(P) ? P : TPoint{};
}

LONG GetMessageTimeEh() { return GetMessageTime(); }

Cardinal GetTickCountEh() { return GetTickCount(); }

TPoint LParamToPointEh(LPARAM LParam) { return LParamToPoint(LParam); }

LPARAM SmallPointToLParamEh(TPoint Point) { return PointToLParam(Point); }

void DebugOutputEh(const String& Text) { OutputDebugString(Text); }

// ---------------------------------------------------------------------------
// windows and device contexts

void InvalidateWindowRectEh(HWND Wnd, const TRect* Rect, bool Erase) { InvalidateRect(Wnd, Rect, Erase); }

void ValidateWindowRectEh(HWND Wnd, const TRect* Rect) { ValidateRect(Wnd, Rect); }

bool ScrollWindowExEh(HWND Wnd, Integer DX, Integer DY, const TRect* ScrollRect, const TRect* ClipRect,
                      HRGN UpdateRgn, UINT Flags) {
  return ScrollWindowEx(Wnd, DX, DY, ScrollRect, ClipRect, UpdateRgn, nullptr, Flags) != 0;
}

void SetFocusWindowEh(HWND Wnd) { SetFocus(Wnd); }

bool IsChildWindowEh(HWND Parent, HWND Wnd) { return IsChild(Parent, Wnd) != 0; }

void SetDCLayoutEh(HDC DC, DWORD Layout) { SetLayout(DC, Layout); }

void SetDropShadowClassStyleEh(TWinControl*, TCreateParams& Params, bool DropShadow) {
  if (DropShadow && CheckWin32Version(DropShadowMajor, DropShadowMinor))
    Params.ClassStyle |= CS_DROPSHADOW;
  else
    Params.ClassStyle &= ~CS_DROPSHADOW;
}

TRect RectLogicalToDeviceEh(HDC DC, const TRect& Rect) {
  POINT Corners[2] = {Rect.TopLeft(), Rect.BottomRight()};
  LPtoDP(DC, Corners, 2);
  return {Corners[0].X, Corners[0].Y, Corners[1].X, Corners[1].Y};
}

HRGN SelectClipRectEh(TCanvas* Canvas, const TRect& Rect) { return SelectClipRectDCEh(Canvas->Handle(), Rect); }

void RestoreClipRgnEh(TCanvas* Canvas, HRGN Saved) { RestoreClipRgnDCEh(Canvas->Handle(), Saved); }

HRGN SelectClipRectDCEh(HDC DC, const TRect& Rect) {
  HRGN Saved = CreateRectRgn(0, 0, 0, 0);
  if (GetClipRgn(DC, Saved) != 1) {
    DeleteObject(Saved);
    Saved = nullptr;
  }
  IntersectClipRect(DC, Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
  return Saved;
}

void RestoreClipRgnDCEh(HDC DC, HRGN Saved) {
  SelectClipRgn(DC, Saved);
  if (Saved) DeleteObject(Saved);
}

TRect GetAdjustedClientRectEh(TWinControl* Control) {
  TRect R = Control->HandleAllocated() ? Control->ClientRect() : Rect(0, 0, Control->Width(), Control->Height());
  Control->AdjustClientRect(R);
  return R;
}

TRect GetControlScreenRectEh(TControl* Control) {
  const TPoint Origin = Control->ClientOrigin();
  return Bounds(Origin.X, Origin.Y, Control->Width(), Control->Height());
}

TPoint PlaceDropDownAtRectEh(const TRect& Rect, TWinControl* DropDown, Integer HorzAlign) {
  DropDown->HandleNeeded();
  const TRect Work = Screen->MonitorFromRect(Rect, mdNearest)->WorkareaRect();
  Integer H = DropDown->Height();
  const bool FitsBelow = Work.Bottom >= Rect.Bottom + H;
  const bool FitsAbove = Rect.Top - H >= Work.Top;
  const bool Above = (!FitsBelow && FitsAbove) ||
                     (!FitsBelow && !FitsAbove && Work.Bottom - Rect.Bottom < Rect.Top - Work.Top);
  TPoint Result;
  WPARAM Side;
  if (Above) {
    if (!FitsAbove) H = Rect.Top - Work.Top;
    Result.Y = Rect.Top - H;
    Side = DropDownAboveEh;
  } else {
    if (!FitsBelow) H = Work.Bottom - Rect.Bottom;
    Result.Y = Rect.Bottom;
    Side = DropDownBelowEh;
  }
  DropDown->SetHeight(H);
  SendMessage(DropDown->Handle(), DropDownSideNoticeEh, Side, 0);

  Integer W = DropDown->Width();
  switch (HorzAlign) {
    case DropDownAlignRightEh: Result.X = Rect.Right - W; break;
    case DropDownAlignCenterEh: Result.X = Rect.Left - (W - Rect.Width()) / 2; break;
    default: Result.X = Rect.Left;
  }
  if (Work.Width() < W) {
    W = Work.Width();
    DropDown->SetWidth(W);
  }
  if (Result.X + W > Work.Right) {
    Result.X = Work.Right - W;
    Side = DropDownPushedLeftEh;
  } else if (Result.X < Work.Left) {
    Result.X = Work.Left;
    Side = DropDownPushedRightEh;
  } else {
    Side = HorzAlign == DropDownAlignRightEh ? DropDownPushedLeftEh : DropDownPushedRightEh;
  }
  SendMessage(DropDown->Handle(), DropDownSideNoticeEh, Side, 0);
  return Result;
}

TPoint PlaceDropDownUnderControlEh(TControl* Control, TWinControl* DropDown, Integer HorzAlign) {
  TPoint Origin = Control->BoundsRect().TopLeft();
  if (Control->Parent()) Origin = Control->Parent()->ClientToScreen(Origin);
  return PlaceDropDownAtRectEh(Bounds(Origin.X, Origin.Y, Control->Width(), Control->Height()), DropDown,
                               HorzAlign);
}

HRGN CreatePolygonRgnEh(std::span<const TPoint> Points, Integer FillMode) {
  const std::vector<TPoint> Copy(Points.begin(), Points.end());
  return CreatePolygonRgn(Copy.data(), int(Copy.size()), FillMode);
}

void PolyPolylineEh(TCanvas* Canvas, std::span<const TPoint> Points, std::span<const DWORD> Counts) {
  PolyPolyline(Canvas->Handle(), Points.data(), Counts.data(), DWORD(Counts.size()));
}

HBITMAP LoadSystemBitmapEh(HINSTANCE Module, WORD Id) { return LoadBitmap(Module, MAKEINTRESOURCE(Id)); }

void LoadBitmapFromResourceEh(TBitmap* Bitmap, HMODULE Module, const String& Name) {
  Bitmap->LoadFromResourceName(Module, Name);
}

Char MiddleDotCharEh() { return Char(u'\u00B7'); }

Integer DrawTextStringEh(HDC DC, const String& Text, Integer Count, TRect& Rect, UINT Format) {
  return DrawText(DC, Text.constData(), Count, &Rect, Format);
}

Integer DrawTextExEh(HDC DC, const String& Text, TRect& Rect, UINT Format, DRAWTEXTPARAMS* Params) {
  return DrawTextEx(DC, Text.constData(), int(Text.size()), &Rect, Format, Params);
}

Integer DrawTextExStrEh(HDC DC, const String& Text, Integer Count, TRect& Rect, UINT Format,
                        DRAWTEXTPARAMS* Params) {
  return DrawTextEx(DC, Text.constData(), Count, &Rect, Format, Params);
}

bool ExtTextOutStrEh(HDC DC, Integer X, Integer Y, UINT Options, const TRect* Rect, const String& Text,
                     const Integer* Dx) {
  return ExtTextOut(DC, X, Y, Options, Rect, Text.constData(), UINT(Text.size()), Dx) != 0;
}

// ---------------------------------------------------------------------------
// fonts and measuring

Integer GetFontSizeEh(TFont* Font) { return Font->Size(); }

Integer GetFontCharHeightEh(TFont* Font) { return -Font->Height(); }

Integer GetFontTextHeightEh(TCanvas* Canvas, TFont* Font, bool WithExternalLeading) {
  const TEXTMETRICW Metrics = fontMetrics(measuringCanvas(Canvas)->Handle(), Font);
  return Metrics.tmHeight + (WithExternalLeading ? Metrics.tmExternalLeading : 0);
}

void GetFontTextMetricsEh(TCanvas* Canvas, TEXTMETRICW& Metrics) {
  TCanvas* On = measuringCanvas(Canvas);
  Metrics = fontMetrics(On->Handle(), Canvas ? Canvas->Font() : On->Font());
}

std::vector<Integer> GetTextExtentsEh(TCanvas* Canvas, const String& Text, TSize& Size) {
  std::vector<Integer> Extents(Text.size());
  TCanvas* On = measuringCanvas(Canvas);
  const HDC DC = On->Handle();
  const HGDIOBJ Previous = SelectObject(DC, (Canvas ? Canvas->Font() : On->Font())->Handle());
  int Fit = 0;
  Size = {};
  GetTextExtentExPoint(DC, Text.constData(), int(Text.size()), MaxTextExtent, &Fit, Extents.data(), &Size);
  SelectObject(DC, Previous);
  return Extents;
}

Integer TextLengthEh(const String& Text) { return Integer(Text.size()); }

Integer NextCharIndexEh(const String&, Integer Index) { return Index + 1; }

// ---------------------------------------------------------------------------
// geometry

TRect EmptyRectEh() { return {}; }

TRect MakeRectEh(Integer Left, Integer Top, Integer Right, Integer Bottom) { return {Left, Top, Right, Bottom}; }

TPoint MakePointEh(Integer X, Integer Y) { return {X, Y}; }

bool IsRectEmptyEh(const TRect& Rect) { return Rect.IsEmpty(); }

TPoint RectSizeEh(const TRect& Rect) { return {Rect.Width(), Rect.Height()}; }

bool PointInRectEh(const TRect& Rect, TPoint Point) { return Rect.Contains(Point); }

bool PtInRectEh(const TRect& Rect, TPoint Point) { return Rect.Contains(Point); }

TRect OffsetRectSidesEh(const TRect& Rect, Integer DLeft, Integer DTop, Integer DRight, Integer DBottom) {
  return {Rect.Left + DLeft, Rect.Top + DTop, Rect.Right + DRight, Rect.Bottom + DBottom};
}

TRect MoveRectToEh(const TRect& Rect, Integer X, Integer Y) { return Bounds(X, Y, Rect.Width(), Rect.Height()); }

TRect MoveRectToPointEh(const TRect& Rect, TPoint Point) { return MoveRectToEh(Rect, Point.X, Point.Y); }

TPoint MirrorPointInRectEh(const TRect& Container, TPoint Point) {
  return {Container.Left + Container.Right - Point.X, Point.Y};
}

TRect MirrorRectInRectEh(const TRect& Container, const TRect& Rect) {
  const Integer Right = Container.Left + Container.Right - Rect.Left;
  return {Right - Rect.Width(), Rect.Top, Right, Rect.Bottom};
}

TSizeGripPosition MirrorSizeGripPositionEh(TSizeGripPosition Position) {
  switch (Position) {
    case sgpTopLeft: return sgpTopRight;
    case sgpTopRight: return sgpTopLeft;
    case sgpBottomRight: return sgpBottomLeft;
    case sgpBottomLeft: return sgpBottomRight;
  }
  return Position;
}

TPoint InterpolatePointEh(TPoint P1, TPoint P2, double Fraction) {
  return {P1.X + Integer(Trunc((P2.X - P1.X) * Fraction)), P1.Y + Integer(Trunc((P2.Y - P1.Y) * Fraction))};
}

void SwapIntegersEh(Integer& A, Integer& B) { std::swap(A, B); }

// ---------------------------------------------------------------------------
// locale and characters

Integer CompareStrLocaleCountEh(const String& S1, const String& S2, Integer Count, bool IgnoreCase) {
  const int Chars = Count > 0 ? Count : -1;
  return CompareString(LOCALE_USER_DEFAULT, IgnoreCase ? NORM_IGNORECASE : 0, S1, Chars, S2, Chars) - CSTR_EQUAL;
}

Integer CompareWideStrLocaleEh(const String& S1, const String& S2, Integer Count, bool IgnoreCase) {
  return CompareStrLocaleCountEh(S1, S2, Count, IgnoreCase);
}

Integer CompareStrLocaleEh(const String& S1, const String& S2) {
  return CompareStrLocaleCountEh(S1, S2, 0, /*IgnoreCase=*/false);
}

Integer CompareTextLocaleEh(const String& S1, const String& S2) {
  return CompareStrLocaleCountEh(S1, S2, 0, /*IgnoreCase=*/true);
}

String UpperCaseTextEh(const String& Text) { return AnsiUpperCase(Text); }

String LowerCaseTextEh(const String& Text) { return AnsiLowerCase(Text); }

Integer GetLocaleFirstDayOfWeekEh() {
  return StrToIntDef(GetLocaleStr(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK, QStringLiteral("0")), 0);
}

bool CharInByteSetEh(Char C, const TByteSetEh& Set) { return C.unicode() < Set.size() && Set.test(C.unicode()); }

bool IsLeadByteCharEh(Char C) { return IsLeadByte(C); }

Char* StrCopyWideEh(Char* Dest, Integer DestSize, const Char* Source) {
  if (DestSize <= 0) return Dest;
  Integer I = 0;
  for (; I < DestSize - 1 && Source[I] != u'\0'; ++I) Dest[I] = Source[I];
  Dest[I] = u'\0';
  return Dest;
}

String FormatMaskTextEh(const String& EditMask, const String& Text) {
  if (MaskGetMaskSave(EditMask)) return PadInputLiterals(EditMask, Text, MaskGetMaskBlank(EditMask));
  return FormatMaskText(EditMask, Text);
}
