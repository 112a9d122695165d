#include "platform/ui/graphics/canvas.h"

#include "platform/rtl/exceptions.h"
#include "platform/ui/graphics/picture.h"

using namespace gdi;

namespace {

const TCanvasState PenAndBrush{csHandleValid, csPenValid, csBrushValid};
const TCanvasState FontAndBrush{csHandleValid, csFontValid, csBrushValid};

}  // namespace

TCanvas::TCanvas() : FFont(new TFont), FPen(new TPen), FBrush(new TBrush) {
  FFont->OnChange = TNotifyEvent(this, &TCanvas::fontChanged);
  FPen->OnChange = TNotifyEvent(this, &TCanvas::penChanged);
  FBrush->OnChange = TNotifyEvent(this, &TCanvas::brushChanged);
}

TCanvas::~TCanvas() {
  SetHandle(nullptr);
  FFont->Free();
  FPen->Free();
  FBrush->Free();
}

// ---------------------------------------------------------------------------
// shapes

void TCanvas::Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  Changing();
  RequiredState({csHandleValid, csPenValid});
  gdi::Arc(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  Changed();
}

void TCanvas::ArcTo(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  Changing();
  RequiredState({csHandleValid, csPenValid});
  gdi::ArcTo(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  Changed();
}

void TCanvas::Chord(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  Changing();
  RequiredState(PenAndBrush);
  gdi::Chord(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  Changed();
}

void TCanvas::Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  Changing();
  RequiredState(PenAndBrush);
  gdi::Pie(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  Changed();
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
  Changing();
  RequiredState(PenAndBrush);
  gdi::Ellipse(FHandle, X1, Y1, X2, Y2);
  Changed();
}

void TCanvas::Ellipse(const TRect& Rect) { Ellipse(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
  Changing();
  RequiredState(PenAndBrush);
  gdi::Rectangle(FHandle, X1, Y1, X2, Y2);
  Changed();
}

void TCanvas::Rectangle(const TRect& Rect) { Rectangle(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
  Changing();
  RequiredState(PenAndBrush);
  gdi::RoundRect(FHandle, X1, Y1, X2, Y2, X3, Y3);
  Changed();
}

void TCanvas::Polygon(std::span<const TPoint> Points) {
  Changing();
  RequiredState(PenAndBrush);
  gdi::Polygon(FHandle, Points.data(), int(Points.size()));
  Changed();
}

void TCanvas::Polyline(std::span<const TPoint> Points) {
  Changing();
  RequiredState({csHandleValid, csPenValid});
  gdi::Polyline(FHandle, Points.data(), int(Points.size()));
  Changed();
}

void TCanvas::MoveTo(int X, int Y) {
  RequiredState({csHandleValid});
  MoveToEx(FHandle, X, Y, nullptr);
}

void TCanvas::LineTo(int X, int Y) {
  Changing();
  RequiredState({csHandleValid, csPenValid});
  gdi::LineTo(FHandle, X, Y);
  Changed();
}

void TCanvas::FillRect(const TRect& Rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  gdi::FillRect(FHandle, Rect, FBrush->Handle());
  Changed();
}

void TCanvas::FrameRect(const TRect& Rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  gdi::FrameRect(FHandle, Rect, FBrush->Handle());
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& Rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  gdi::DrawFocusRect(FHandle, Rect);
  Changed();
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
  Changing();
  RequiredState(FontAndBrush);
  Canvas->RequiredState({csHandleValid, csBrushValid});
  StretchBlt(FHandle, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), Canvas->FHandle, Source.Left, Source.Top,
             Source.Width(), Source.Height(), DWORD(FCopyMode));
  Changed();
}

void TCanvas::Refresh() { DeselectHandles(); }

// ---------------------------------------------------------------------------
// graphics

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  StretchDraw(Bounds(X, Y, Graphic->Width(), Graphic->Height()), Graphic);
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
  if (!Graphic) return;
  Changing();
  RequiredState({csHandleValid});
  SetBkColor(FHandle, COLORREF(ColorToRGB(FBrush->Color())));
  SetTextColor(FHandle, COLORREF(ColorToRGB(FFont->Color())));
  Graphic->Draw(this, Rect);
  Changed();
}

// ---------------------------------------------------------------------------
// text

void TCanvas::TextOut(int X, int Y, const String& Text) {
  Changing();
  RequiredState(FontAndBrush);
  ExtTextOutW(FHandle, X, Y, UINT(FTextFlags), nullptr, Text.constData(), UINT(Text.size()), nullptr);
  MoveTo(X + TextWidth(Text), Y);
  Changed();
}

void TCanvas::TextRect(const TRect& Rect, int X, int Y, const String& Text) {
  Changing();
  RequiredState(FontAndBrush);
  UINT Options = ETO_CLIPPED | UINT(FTextFlags);
  if (FBrush->Style() != bsClear) Options |= ETO_OPAQUE;
  ExtTextOutW(FHandle, X, Y, Options, &Rect, Text.constData(), UINT(Text.size()), nullptr);
  Changed();
}

TSize TCanvas::TextExtent(const String& Text) {
  RequiredState({csHandleValid, csFontValid});
  TSize Size;
  GetTextExtentPoint32W(FHandle, Text.constData(), int(Text.size()), &Size);
  return Size;
}

int TCanvas::TextWidth(const String& Text) { return TextExtent(Text).cx; }

int TCanvas::TextHeight(const String& Text) { return TextExtent(Text).cy; }

// ---------------------------------------------------------------------------
// locking

void TCanvas::Lock() {
  FLock.lock();
  ++FLockCount;
}

bool TCanvas::TryLock() {
  if (!FLock.try_lock()) return false;
  ++FLockCount;
  return true;
}

void TCanvas::Unlock() {
  --FLockCount;
  FLock.unlock();
}

// ---------------------------------------------------------------------------
// properties

HDC TCanvas::Handle() {
  // Flat calls on the handle (DrawText ...) expect the canvas's font, pen and brush.
  RequiredState({csHandleValid, csFontValid, csPenValid, csBrushValid});
  return FHandle;
}

void TCanvas::SetHandle(HDC Value) {
  if (FHandle == Value) return;
  if (FHandle) DeselectHandles();
  FHandle = Value;
  State = Value ? TCanvasState{csHandleValid} : TCanvasState();
}

TPoint TCanvas::PenPos() {
  RequiredState({csHandleValid});
  TPoint P;
  GetCurrentPositionEx(FHandle, &P);
  return P;
}

TColor TCanvas::Pixels(int X, int Y) {
  RequiredState({csHandleValid});
  return TColor(GetPixel(FHandle, X, Y));
}

void TCanvas::SetPixels(int X, int Y, TColor Value) {
  Changing();
  RequiredState({csHandleValid, csPenValid});
  SetPixelV(FHandle, X, Y, COLORREF(ColorToRGB(Value)));
  Changed();
}

TRect TCanvas::ClipRect() {
  RequiredState({csHandleValid});
  TRect R;
  GetClipBox(FHandle, &R);
  return R;
}

TCanvasOrientation TCanvas::CanvasOrientation() {
  RequiredState({csHandleValid});
  return (GetLayout(FHandle) & LAYOUT_RTL) ? coRightToLeft : coLeftToRight;
}

// ---------------------------------------------------------------------------
// state

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}

void TCanvas::CreateHandle() {}

void TCanvas::RequiredState(TCanvasState ReqState) {
  const TCanvasState Needed = ReqState - State;
  if (Needed.Empty()) return;
  if (Needed.Contains(csHandleValid)) {
    CreateHandle();
    if (!FHandle) throw EInvalidOperation(QStringLiteral("Canvas does not allow drawing"));
  }
  if (Needed.Contains(csFontValid)) selectFont();
  if (Needed.Contains(csPenValid)) selectPen();
  if (Needed.Contains(csBrushValid)) selectBrush();
  State += Needed;
}

void TCanvas::DeselectHandles() {
  const TCanvasState Selected{csPenValid, csBrushValid, csFontValid};
  if (!FHandle || (State * Selected).Empty()) return;
  SelectObject(FHandle, GetStockObject(BLACK_PEN));
  SelectObject(FHandle, GetStockObject(NULL_BRUSH));
  SelectObject(FHandle, GetStockObject(DEFAULT_GUI_FONT));
  State -= Selected;
}

void TCanvas::selectFont() {
  SelectObject(FHandle, FFont->Handle());
  SetTextColor(FHandle, COLORREF(ColorToRGB(FFont->Color())));
}

void TCanvas::selectPen() {
  SelectObject(FHandle, FPen->Handle());
  SetROP2(FHandle, PenModeToRop2(FPen->Mode()));
}

void TCanvas::selectBrush() {
  SelectObject(FHandle, FBrush->Handle());
  const COLORREF Color = COLORREF(ColorToRGB(FBrush->Color()));
  if (FBrush->Style() == bsSolid) {
    SetBkColor(FHandle, Color);
    SetBkMode(FHandle, OPAQUE);
  } else {
    SetBkColor(FHandle, ~Color & 0xFFFFFF);
    SetBkMode(FHandle, TRANSPARENT);
  }
}

// A changed object is selected again before the next drawing call.
void TCanvas::fontChanged(TObject*) {
  if (!State.Contains(csFontValid)) return;
  State.Exclude(csFontValid);
  SelectObject(FHandle, GetStockObject(DEFAULT_GUI_FONT));
}

void TCanvas::penChanged(TObject*) {
  if (!State.Contains(csPenValid)) return;
  State.Exclude(csPenValid);
  SelectObject(FHandle, GetStockObject(BLACK_PEN));
}

void TCanvas::brushChanged(TObject*) {
  if (!State.Contains(csBrushValid)) return;
  State.Exclude(csBrushValid);
  SelectObject(FHandle, GetStockObject(NULL_BRUSH));
}
