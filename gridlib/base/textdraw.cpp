#include "gridlib/base/textdraw.h"

#include "gridlib/base/winroutines.h"
#include "platform/rtl/scopeexit.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/drawtext.h"
#include "platform/ui/windowing/application.h"

#include <algorithm>
#include <cassert>
#include <cmath>

using namespace gdi;

namespace {

// Longer texts never take the one-line output.
constexpr int MaxOneLineText = 0x8000;
constexpr double DegreesToRadians = 0.017453292519943295;
// -pi/2 as the single-precision value the rotation is computed from.
constexpr float MinusHalfPi = -1.5707963705062866f;

struct TSharedTextBitmap {
  TBitmap* Bitmap = nullptr;
  int Uses = 0;
};

TSharedTextBitmap SharedText;

UINT alignmentFlags(TAlignment Alignment) {
  constexpr UINT Base = DT_NOPREFIX | DT_EXPANDTABS;
  switch (Alignment) {
    case taRightJustify: return Base | DT_RIGHT;
    case taCenter: return Base | DT_CENTER;
    default: return Base;
  }
}

bool isPureColor(TCanvas* Canvas, TColor Color) {
  const COLORREF Resolved = COLORREF(ColorToRGB(Color));
  return GetNearestColor(Canvas->Handle(), Resolved) == Resolved;
}

bool hasIdentityTransform(HDC DC) {
  XFORM Transform;
  return !GetWorldTransform(DC, &Transform) || Transform == XFORM{};
}

// What the formatter needs besides the canvas and the rectangle.
struct TFormatRequest {
  Integer DX = 0, DY = 0;
  const String* Text = nullptr;
  TAlignment Alignment = taLeftJustify;
  TTextLayout Layout = tlTop;
  bool WordWrap = false, EndEllipsis = false;
  Integer LeftMarg = 0, RightMarg = 0;
  bool RightToLeft = false, SingleLine = true;
};

// The full formatter: DrawTextEx in W with the request's flags, margins and
// offsets; a text taller than a centred or bottom-aligned cell is clipped at
// the cell's top (unless the canvas is transformed, where the clip would be
// wrong).
void formatText(TCanvas* Canvas, TRect W, const TFormatRequest& R) {
  UINT Flags = R.WordWrap ? DT_WORDBREAK : R.SingleLine ? DT_SINGLELINE : 0;
  if (R.EndEllipsis) Flags |= DT_END_ELLIPSIS;
  Flags |= alignmentFlags(R.Alignment);
  if (R.RightToLeft) Flags |= DT_RTLREADING;
  DRAWTEXTPARAMS Params;
  Params.iLeftMargin = R.LeftMarg;
  Params.iRightMargin = R.RightMarg;
  Params.uiLengthDrawn = UINT(R.Text->size());
  switch (R.Alignment) {
    case taLeftJustify: W.Left += R.DX; break;
    case taCenter: W.Right -= R.DX; break;
    case taRightJustify: Params.iRightMargin = R.LeftMarg + R.DX; break;
  }
  const HDC DC = Canvas->Handle();
  const TRect Cell = W;
  Integer TextHeight = 0;
  if (R.Layout != tlTop) {
    TRect Measured = W;
    TextHeight = DrawTextExEh(DC, *R.Text, Measured, Flags | DT_CALCRECT, &Params);
  }
  switch (R.Layout) {
    case tlTop: W.Top += R.DY; break;
    case tlCenter: W.Top = (W.Bottom + W.Top - TextHeight) / 2; break;
    case tlBottom: W.Top = W.Bottom - TextHeight - R.DY; break;
  }
  const bool ClipTop = W.Top < Cell.Top && hasIdentityTransform(DC);
  const HRGN Saved = ClipTop ? SelectClipRectEh(Canvas, Cell) : nullptr;
  DrawTextExEh(Canvas->Handle(), *R.Text, W, Flags, &Params);
  if (ClipTop) RestoreClipRgnEh(Canvas, Saved);
}

// Runs Draw on the shared bitmap's canvas, which is locked meanwhile and made
// at least Rect's size, after giving it Canvas's font and brush and filling
// (0, 0, Rect's size); then copies that area onto Canvas at Rect.
template <class DrawFn>
void drawThroughSharedBitmap(TCanvas* Canvas, const TRect& Rect, DrawFn Draw) {
  assert(SharedText.Bitmap && "the shared text bitmap is held from the library's start-up");
  TBitmap* Bitmap = SharedText.Bitmap;
  TCanvas* On = Bitmap->Canvas();
  On->Lock();
  TScopeExit Unlock([On] { On->Unlock(); });
  const Integer W = Rect.Width(), H = Rect.Height();
  if (Bitmap->Width() < W || Bitmap->Height() < H)
    Bitmap->SetSize(std::max(Bitmap->Width(), W), std::max(Bitmap->Height(), H));
  On->SetFont(Canvas->Font());
  On->SetBrush(Canvas->Brush());
  On->Brush()->SetStyle(bsSolid);
  const TRect Local = Bounds(0, 0, W, H);
  On->FillRect(Local);
  SetBkMode(On->Handle(), TRANSPARENT);
  Draw(On, Local);
  Canvas->CopyRect(Rect, On, Local);
}

// The brush's colour and style, put back when the scope ends.
class TBrushKeeper {
public:
  explicit TBrushKeeper(TCanvas* Canvas)
      : FCanvas(Canvas), FColor(Canvas->Brush()->Color()), FStyle(Canvas->Brush()->Style()) {}
  ~TBrushKeeper() {
    FCanvas->Brush()->SetStyle(FStyle);
    FCanvas->Brush()->SetColor(FColor);
  }
  TBrushKeeper(const TBrushKeeper&) = delete;
  TBrushKeeper& operator=(const TBrushKeeper&) = delete;

private:
  TCanvas* FCanvas;
  TColor FColor;
  TBrushStyle FStyle;
};

// The cheap path of an ordinary cell: one TextRect, measuring only what the
// alignment and layout need.
void drawOneLine(TCanvas* Canvas, const TRect& Rect, bool FillRect, const TFormatRequest& R) {
  const String& Text = *R.Text;
  Integer TextWidth = 0;
  if (R.Alignment != taLeftJustify) {
    const TFontStyles Style = Canvas->Font()->Style();
    TextWidth = Style.Contains(fsBold) || Style.Contains(fsItalic) ? GetTextWidthByDrawTextEh(Canvas, Text)
                                                                   : Canvas->TextWidth(Text);
  }
  Integer X = Rect.Left + R.DX;
  if (R.Alignment == taRightJustify) X = Rect.Right - TextWidth - R.DX - 1;
  if (R.Alignment == taCenter)
    X = Rect.Left < Rect.Right ? Rect.Left + Rect.Width() / 2 - TextWidth / 2 : 0;
  Integer Y = Rect.Top;
  if (R.Layout != tlTop) {
    const Integer TextHeight = Canvas->TextHeight(Text);
    if (TextHeight < Rect.Height() - R.DY)
      Y = R.Layout == tlCenter ? (Rect.Bottom + Rect.Top - TextHeight) / 2 - R.DY
                               : Rect.Bottom - TextHeight - 2 * R.DY;
  }
  TBrushKeeper Keeper(Canvas);
  if (!FillRect) Canvas->Brush()->SetStyle(bsClear);
  // The flag stays on the canvas: the grid's later one-line calls read right
  // to left as well.
  if (R.RightToLeft) Canvas->SetTextFlags(Canvas->TextFlags() | ETO_RTLREADING);
  Canvas->TextRect(Rect, X, Y + R.DY, Text);
}

}  // namespace

// ---------------------------------------------------------------------------
// text

void DrawTextInRectEh(TCanvas* Canvas, const TRect& Rect, bool FillRect, Integer DX, Integer DY, const String& Text,
                      TAlignment Alignment, TTextLayout Layout, bool WordWrap, bool EndEllipsis, Integer LeftMarg,
                      Integer RightMarg, bool RightToLeft, bool SingleLine) {
  const TFormatRequest Request{DX,        DY,        &Text,     Alignment,   Layout,    WordWrap,
                               EndEllipsis, LeftMarg, RightMarg, RightToLeft, SingleLine};
  if (!isPureColor(Canvas, Canvas->Brush()->Color())) {
    drawThroughSharedBitmap(Canvas, Rect, [&](TCanvas* On, const TRect& Local) { formatText(On, Local, Request); });
    return;
  }
  const bool OneLine = !WordWrap && LeftMarg == 0 && RightMarg == 0 && !EndEllipsis &&
                       Text.size() <= MaxOneLineText && SingleLine;
  if (OneLine) {
    drawOneLine(Canvas, Rect, FillRect, Request);
    return;
  }
  if (FillRect) {
    Canvas->FillRect(Rect);
    formatText(Canvas, Rect, Request);
    return;
  }
  TBrushKeeper Keeper(Canvas);
  Canvas->Brush()->SetStyle(bsClear);
  formatText(Canvas, Rect, Request);
}

void DrawSingleLineTextEh(TCanvas* Canvas, const TRect& Rect, Integer DX, Integer DY, const String& Text,
                          TAlignment Alignment) {
  if (!isPureColor(Canvas, Canvas->Brush()->Color())) {
    const UINT Flags = alignmentFlags(Alignment) | DT_WORDBREAK;
    drawThroughSharedBitmap(Canvas, Rect, [&](TCanvas* On, const TRect& Local) {
      TRect TextBox(DX, DY, Local.Width() - 1, Local.Height() - 1);
      DrawTextStringEh(On->Handle(), Text, Integer(Text.size()), TextBox, Flags);
    });
    return;
  }
  // Right alignment keeps 3 pixels from the edge whatever DX says.
  constexpr Integer RightGap = 3;
  Integer X = Rect.Left + DX;
  if (Alignment == taRightJustify) X = Rect.Right - Canvas->TextWidth(Text) - RightGap;
  if (Alignment == taCenter) X = Rect.Left + Rect.Width() / 2 - Canvas->TextWidth(Text) / 2;
  ExtTextOutStrEh(Canvas->Handle(), X, Rect.Top + DY, ETO_CLIPPED | ETO_OPAQUE, &Rect, Text);
}

void DrawRotatedTextInRectEh(TCanvas* Canvas, const TRect& Rect, bool FillRect, Integer DX, Integer DY,
                             const String& Text, TAlignment Alignment, TTextLayout Layout, bool WordWrap,
                             bool EndEllipsis) {
  const HDC DC = Canvas->Handle();
  const int Saved = SaveDC(DC);
  RotateCanvas90Eh(Canvas);
  const TRect Turned(-Rect.Bottom, Rect.Left, -Rect.Top, Rect.Right);
  DrawTextInRectEh(Canvas, Turned, FillRect, DX, DY, Text, Alignment, Layout, WordWrap, EndEllipsis, 0, 0,
                   /*RightToLeft=*/false, /*SingleLine=*/false);
  RestoreDC(DC, Saved);
}

void DrawTextWithParamsEh(TCanvas* Canvas, const String& Text, const TRect& Rect, const TRect&,
                          const TTextDrawParamsEh& Params) {
  UINT Flags = alignmentFlags(Params.Alignment);
  if (Params.RightToLeft) Flags |= DT_RTLREADING;
  if (Params.WrapMode == TextWrapWordEh) Flags |= DT_WORDBREAK;
  if (Params.WrapMode == TextWrapSingleLineEh) Flags |= DT_SINGLELINE;
  if (Params.EndEllipsis) Flags |= DT_END_ELLIPSIS;
  const TBrushStyle OldStyle = Canvas->Brush()->Style();
  const TBrushStyle NewStyle = Params.FillBackground ? bsSolid : bsClear;
  if (NewStyle != OldStyle) Canvas->Brush()->SetStyle(NewStyle);
  TRect R = Rect;
  if (Params.VertAlignment != taAlignTop) {
    TRect Measured = R;
    const Integer H = DrawTextExEh(Canvas->Handle(), Text, Measured, Flags | DT_CALCRECT, nullptr);
    R.Top = Params.VertAlignment == taAlignBottom ? R.Bottom - H : (R.Bottom + R.Top - H) / 2;
  }
  DrawTextExEh(Canvas->Handle(), Text, R, Flags, nullptr);
  if (NewStyle != OldStyle) Canvas->Brush()->SetStyle(OldStyle);
}

void DrawTextWithBiDiEh(TCanvas* Canvas, const String& Text, const TRect& Rect, bool FillBackground) {
  TTextDrawParamsEh Params;
  Params.FillBackground = FillBackground;
  Params.RightToLeft = Application && Application->BiDiMode() != bdLeftToRight;
  DrawTextWithParamsEh(Canvas, Text, Rect, Rect, Params);
}

Integer GetTextWidthByDrawTextEh(TCanvas* Canvas, const String& Text) {
  TRect R(0, 0, 1, 0);
  DrawTextStringEh(Canvas->Handle(), Text, Integer(Text.size()), R, DT_CALCRECT | DT_NOPREFIX);
  return R.Right;
}

// ---------------------------------------------------------------------------
// transforms

void SetCanvasTransformEh(TCanvas* Canvas, double Scale, double AngleDegrees, double DX, double DY) {
  const HDC DC = Canvas->Handle();
  SetGraphicsMode(DC, GM_ADVANCED);
  SetMapMode(DC, MM_ANISOTROPIC);
  const double Angle = AngleDegrees * DegreesToRadians;
  const float C = float(Scale * std::cos(Angle)), S = float(Scale * std::sin(Angle));
  const XFORM Transform{C, S, -S, C, float(DX), float(DY)};
  SetWorldTransform(DC, &Transform);
}

void ResetCanvasTransformEh(TCanvas* Canvas) {
  const HDC DC = Canvas->Handle();
  ModifyWorldTransform(DC, nullptr, MWT_IDENTITY);
  SetGraphicsMode(DC, GM_COMPATIBLE);
}

void RotateCanvas90Eh(TCanvas* Canvas) {
  const HDC DC = Canvas->Handle();
  const float C = std::cos(MinusHalfPi), S = std::sin(MinusHalfPi);
  const XFORM Rotation{C, S, -S, C, 0, 0};
  if (hasIdentityTransform(DC)) {
    SetGraphicsMode(DC, GM_ADVANCED);
    SetWorldTransform(DC, &Rotation);
  } else {
    ModifyWorldTransform(DC, &Rotation, MWT_LEFTMULTIPLY);
  }
}

// ---------------------------------------------------------------------------
// the shared text bitmap

void AcquireSharedTextBitmapEh() {
  if (SharedText.Uses++ == 0) SharedText.Bitmap = new TBitmap;
}

void ReleaseSharedTextBitmapEh() {
  assert(SharedText.Uses > 0 && "released more often than acquired");
  if (--SharedText.Uses == 0) FreeAndNil(SharedText.Bitmap);
}

TBitmap* SharedTextBitmapEh() { return SharedText.Bitmap; }
