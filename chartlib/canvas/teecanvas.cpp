#include "chartlib/canvas/teecanvas.h"

#include "chartlib/canvas/canvasunit.h"
#include "chartlib/canvas/teeblend.h"
#include "chartlib/canvas/teefilter.h"
#include "chartlib/canvas/teehtml.h"
#include "chartlib/canvas/teepath.h"
#include "platform/os/locales.h"
#include "platform/rtl/rtlmath.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/edges.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/graphics/regions.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

namespace {

constexpr double DegToRad = 0.017453292519943295;
constexpr Integer CheckBoxSide = 12;  // pixels at a check-box zoom of 100 %

// Pen style codes of the geometric pen: end caps and joins.
gdi::DWORD endCapOf(TPenEndStyle Style) {
  switch (Style) {
    case esSquare: return gdi::PS_ENDCAP_SQUARE;
    case esFlat: return gdi::PS_ENDCAP_FLAT;
    case esRound: break;
  }
  return gdi::PS_ENDCAP_ROUND;
}

gdi::DWORD joinOf(TPenJoinStyle Style) {
  switch (Style) {
    case jsBevel: return gdi::PS_JOIN_BEVEL;
    case jsMitter: return gdi::PS_JOIN_MITER;
    case jsRound: break;
  }
  return gdi::PS_JOIN_ROUND;
}

gdi::LOGBRUSH solidBrush(TColor AColor) {
  gdi::LOGBRUSH B;
  B.lbStyle = gdi::BS_SOLID;
  B.lbColor = gdi::COLORREF(ColorToRGB(AColor));
  return B;
}

// The point of angle Degrees on the ellipse with half axes A and B around C.
TPoint ellipsePoint(TPoint C, Integer A, Integer B, double Degrees) {
  const double T = Degrees * DegToRad;
  return {C.X + Integer(Round(A * std::cos(T))), C.Y - Integer(Round(B * std::sin(T)))};
}

// Rect in the device coordinates of ACanvas.
TRect deviceRect(TCanvas* ACanvas, const TRect& Rect) {
  TPoint P[2] = {{Rect.Left, Rect.Top}, {Rect.Right, Rect.Bottom}};
  gdi::LPtoDP(ACanvas->Handle(), P, 2);
  return {P[0].X, P[0].Y, P[1].X, P[1].Y};
}

// Cross product signs of consecutive point triples: both signs met means
// concave; no sign at all means every point is collinear.
template <class P>
bool convex(std::span<const P> Points, auto X, auto Y) {
  const size_t N = Points.size();
  if (N < 3) return false;
  int Flags = 0;
  for (size_t I = 0; I < N; ++I) {
    const P& A = Points[I];
    const P& B = Points[(I + 1) % N];
    const P& C = Points[(I + 2) % N];
    const double Cross = double(X(B) - X(A)) * (Y(C) - Y(B)) - double(Y(B) - Y(A)) * (X(C) - X(B));
    if (Cross < 0) Flags |= 1;
    if (Cross > 0) Flags |= 2;
    if (Flags == 3) return false;
  }
  return Flags != 0;
}

}  // namespace

// ---------------------------------------------------------------------------
// life cycle

TTeeCanvas::TTeeCanvas()
    : FBrush(new TTeeBrush(TNotifyEvent(this, &TTeeCanvas::brushChanged))),
      FFont(new TTeeFont(TNotifyEvent(this, &TTeeCanvas::fontChanged))),
      FPen(new TTeePen(TNotifyEvent(this, &TTeeCanvas::penChanged))) {}

TTeeCanvas::~TTeeCanvas() {
  FPen->Free();
  FBrush->Free();
  FFont->Free();
  FreeClipHistory();
}

void TTeeCanvas::FreeClipHistory() {
  for (gdi::HRGN R : ClipHistory) gdi::DeleteObject(R);
  ClipHistory.clear();
}

void TTeeCanvas::brushChanged(TObject*) { ApplyBrush(FBrush); }
void TTeeCanvas::penChanged(TObject*) { ApplyPen(); }

void TTeeCanvas::fontChanged(TObject*) {
  if (!IChangingFont) ApplyFont();
}

void TeeAbstractCall() { throw EAbstractError(QStringLiteral("Abstract Error")); }

// ---------------------------------------------------------------------------
// slots with a body here

void TTeeCanvas::SetReferenceCanvas(TCanvas* Value) { FCanvas = Value; }

void TTeeCanvas::ApplyBrush(TTeeBrush* ABrush) {
  FCanvas->Brush()->Assign(ABrush);
  if (ABrush->BackColor() == clNone || ABrush->Style() == bsClear) {
    SetBackMode(cbmTransparent);
  } else if (ABrush->Style() != bsSolid) {
    SetBackMode(cbmOpaque);
    SetBackColor(ABrush->BackColor());
  }
}

void TTeeCanvas::ApplyFont() {
  if (!FFont) return;
  SetInterCharSize(FFont->InterCharSize());
  if (!FCanvas || !FCanvas->Font()) return;
  TFont* Target = FCanvas->Font();
  const Integer Saved = Target->PixelsPerInch();
  Target->SetPixelsPerInch(FFont->PixelsPerInch());
  Target->Assign(FFont);
  Target->SetPixelsPerInch(Saved);
}

void TTeeCanvas::ApplyPen() {
  if (FPen->Visible()) {
    if (TeeNTPlatform() && !SupportsFullRotation()) {
      TeeSetPenFromTeePen(FCanvas->Pen(), FPen, FPen->Color());
      ApplyPenMode(FPen);
    }
  } else if (FCanvas->Pen()->Style() != psClear) {
    FCanvas->Pen()->SetStyle(psClear);
  }
}

void TTeeCanvas::FastLineTo(Integer X, Integer Y) { LineTo(X, Y); }
TColor TTeeCanvas::GetBackColor() { TeeAbstractCall(); }
TCanvasBackMode TTeeCanvas::GetBackMode() { TeeAbstractCall(); }
gdi::HDC TTeeCanvas::GetHandle() { TeeAbstractCall(); }
bool TTeeCanvas::GetIsNoBMPGrid() { TeeAbstractCall(); }
bool TTeeCanvas::GetMonochrome() { TeeAbstractCall(); }
TColor TTeeCanvas::GetPixel(Integer, Integer) { TeeAbstractCall(); }
bool TTeeCanvas::GetSupportsFullRotation() { TeeAbstractCall(); }
bool TTeeCanvas::GetSupportsXORMode() { TeeAbstractCall(); }
Integer TTeeCanvas::GetTextAlign() { TeeAbstractCall(); }
bool TTeeCanvas::GetUseBuffer() { TeeAbstractCall(); }
bool TTeeCanvas::GetAntiAliasing() { return false; }
bool TTeeCanvas::GetSupportsAntiAliasing() { TeeAbstractCall(); }
void TTeeCanvas::SetAntiAliasing(bool) {}
void TTeeCanvas::SetBackColor(TColor) { TeeAbstractCall(); }
void TTeeCanvas::SetBackMode(TCanvasBackMode) { TeeAbstractCall(); }
void TTeeCanvas::SetFastLineMode(bool) { TeeAbstractCall(); }

void TTeeCanvas::SetInterCharSize(Integer Value) {
  const gdi::HDC DC = Handle();
  if (gdi::GetTextCharacterExtra(DC) != Value) gdi::SetTextCharacterExtra(DC, Value);
}

void TTeeCanvas::SetMonochrome(bool) { TeeAbstractCall(); }

void TTeeCanvas::ApplyPenMode(TTeePen* APen) {
  if (APen->Width() > 1 && APen->EndStyle() != esRound) gdi::SetROP2(Handle(), PenModeToRop2(APen->Mode()));
}

void TTeeCanvas::SetPixel(Integer, Integer, TColor) { TeeAbstractCall(); }
void TTeeCanvas::SetTextAlign(Integer) { TeeAbstractCall(); }
void TTeeCanvas::SetUseBuffer(bool) { TeeAbstractCall(); }
TPointFloatArray TTeeCanvas::GetFloatPoints() { return {}; }

void TTeeCanvas::AssignBrush(TTeeBrush* ABrush, TColor AColor, TColor ABackColor) {
  const TNotifyEvent Saved = FBrush->OnChange;
  FBrush->OnChange = nullptr;
  if (ABrush->HasImageObject() && ABrush->Image()->Graphic()) {
    FBrush->SetStyle(bsClear);
    TTeePicture* Picture = ABrush->Image();
    if (!dynamic_cast<TBitmap*>(Picture->Graphic())) {
      TBitmap Converted;
      TeeSetBitmapSize(&Converted, Picture->Width(), Picture->Height());
      Converted.Canvas()->Draw(0, 0, Picture->Graphic());
      Picture->SetGraphic(&Converted);
    }
    assignPattern(Picture->Bitmap(), AColor, ABackColor);
  } else if (ABrush->Bitmap()) {
    FBrush->SetStyle(bsClear);
    assignPattern(ABrush->Bitmap(), AColor, ABackColor);
  } else {
    FBrush->SetBitmap(nullptr);
    if (Monochrome()) AColor = clWhite;
    FBrush->Assign(ABrush);
    if (ABrush->Style() != bsClear) FBrush->SetColor(AColor);
    FBrush->SetBackColor(ABackColor);
    FCanvas->Brush()->Assign(ABrush);
  }
  if (ABrush->HasGradient())
    FBrush->Gradient()->Assign(ABrush->Gradient());
  else
    FBrush->Gradient()->SetVisible(false);
  FBrush->OnChange = Saved;
  ApplyBrush(FBrush);
}

void TTeeCanvas::assignPattern(TBitmap* Bitmap, TColor AColor, TColor ABackColor) {
  FBrush->SetBitmap(Bitmap);
  gdi::SetTextColor(Handle(), gdi::COLORREF(ColorToRGB(AColor)));
  SetBackMode(cbmOpaque);
  SetBackColor(ABackColor);
}

void TTeeCanvas::AssignVisiblePenColor(TTeePen* APen, TColor AColor) {
  const TNotifyEvent Saved = FPen->OnChange;
  FPen->OnChange = nullptr;
  if (APen->Visible()) {
    const bool Mono = Monochrome();
    FPen->Assign(APen);
    FPen->SetColor(Mono ? clBlack : AColor);
    if (IZoomPen && FPenZoom != 100) FPen->SetWidth(Integer(Round(APen->Width() * FPenZoom * 0.01)));
  } else if (FPen->Style() != psClear) {
    FPen->SetStyle(psClear);
  }
  FPen->OnChange = Saved;
  ApplyPen();
}

TTeeBlend* TTeeCanvas::BeginBlending(const TRect& R, TTeeTransparency ATransparency) {
  PushTransparency();
  // nested opacities multiply
  Transparency = 100 - Integer(Round((100 - Transparency) * (100 - ATransparency) * 0.01));
  return new TTeeBlend(this, R);
}

void TTeeCanvas::EndBlending(TTeeBlend* Blend) {
  if (Blend) {
    Blend->DoBlend(Transparency);
    Blend->Free();
  }
  PopTransparency();
}

void TTeeCanvas::Arc(Integer, Integer, Integer, Integer, Integer, Integer, Integer, Integer) { TeeAbstractCall(); }

void TTeeCanvas::Arc(Integer Left, Integer Top, Integer Right, Integer Bottom, float StartAngle, float EndAngle) {
  const Integer A = (Right - Left) / 2, B = (Bottom - Top) / 2;
  const TPoint C{Left + A, Top + B};
  TPoint Start = ellipsePoint(C, A, B, StartAngle), End = ellipsePoint(C, A, B, EndAngle);
  if (EndAngle <= StartAngle) std::swap(Start, End);
  Arc(Left, Top, Right, Bottom, Start.X, Start.Y, End.X, End.Y);
}

void TTeeCanvas::ArcTo(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4, Integer Y4,
                       bool ClockWise) {
  const gdi::HDC DC = Handle();
  if (ClockWise) gdi::SetArcDirection(DC, gdi::AD_CLOCKWISE);
  gdi::ArcTo(DC, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  if (ClockWise) gdi::SetArcDirection(DC, gdi::AD_COUNTERCLOCKWISE);
}

void TTeeCanvas::Donut(Integer, Integer, Integer, Integer, double, double, double) { TeeAbstractCall(); }
void TTeeCanvas::Draw(Integer, Integer, TGraphic*) { TeeAbstractCall(); }
void TTeeCanvas::Ellipse(Integer, Integer, Integer, Integer) { TeeAbstractCall(); }
void TTeeCanvas::FillRect(const TRect&) { TeeAbstractCall(); }

void TTeeCanvas::Frame3D(TRect& Rect, TColor TopColor, TColor BottomColor, Integer Width) {
  const TNotifyEvent Saved = FPen->OnChange;
  FPen->OnChange = nullptr;
  FPen->SetWidth(1);
  FPen->SetStyle(psSolid);
  FPen->Fill()->Gradient()->SetVisible(false);
  FPen->OnChange = Saved;
  ApplyPen();
  --Rect.Right;
  --Rect.Bottom;
  for (; Width > 0; --Width) {
    FPen->SetColor(TopColor);
    const TPoint TopLeft[] = {{Rect.Left, Rect.Bottom}, {Rect.Left, Rect.Top}, {Rect.Right, Rect.Top}};
    Polyline(TopLeft);
    FPen->SetColor(BottomColor);
    const TPoint BottomRight[] = {{Rect.Right, Rect.Top}, {Rect.Right, Rect.Bottom}, {Rect.Left - 1, Rect.Bottom}};
    Polyline(BottomRight);
    InflateRect(Rect, -1, -1);
  }
  ++Rect.Right;
  ++Rect.Bottom;
}

void TTeeCanvas::LineTo(Integer, Integer) { TeeAbstractCall(); }
void TTeeCanvas::LineTo(TPointFloat P) { LineTo(Integer(Round(P.x)), Integer(Round(P.y))); }
void TTeeCanvas::MoveTo(Integer, Integer) { TeeAbstractCall(); }
void TTeeCanvas::MoveTo(TPointFloat P) { MoveTo(Integer(Round(P.x)), Integer(Round(P.y))); }
void TTeeCanvas::Pie(const TRect&, double, double) { TeeAbstractCall(); }
void TTeeCanvas::Pie(Integer, Integer, Integer, Integer, Integer, Integer, Integer, Integer) { TeeAbstractCall(); }
void TTeeCanvas::Rectangle(Integer, Integer, Integer, Integer) { TeeAbstractCall(); }
void TTeeCanvas::RoundRect(Integer, Integer, Integer, Integer, Integer, Integer) { TeeAbstractCall(); }
void TTeeCanvas::StretchDraw(const TRect&, TGraphic*) { TeeAbstractCall(); }
void TTeeCanvas::StretchRotate(const TRect&, TGraphic*, float) { TeeAbstractCall(); }
void TTeeCanvas::TextOut(Integer, Integer, const String&) { TeeAbstractCall(); }

Integer TTeeCanvas::TextHeight(const String& St) {
  Integer Result = FCanvas->TextHeight(St);
  for (TTeeShadow* S : {FFont->VisibleShadow(), FFont->VisibleEmboss()})
    if (S) Result += std::abs(S->VertSize());
  return Result;
}

TPointFloat TTeeCanvas::TextSize(const String& St) {
  const TSize Extent = FCanvas->TextExtent(St);
  TPointFloat Result{float(Extent.cx), float(Extent.cy)};
  for (TTeeShadow* S : {FFont->VisibleShadow(), FFont->VisibleEmboss()})
    if (S) {
      Result.x += std::abs(S->HorizSize());
      Result.y += std::abs(S->VertSize());
    }
  return Result;
}

Integer TTeeCanvas::TextWidth(const String& St) {
  Integer Result = FCanvas->TextWidth(St);
  for (TTeeShadow* S : {FFont->VisibleShadow(), FFont->VisibleEmboss()})
    if (S) Result += std::abs(S->HorizSize());
  return Result;
}

void TTeeCanvas::ClipRectangle(const TRect&) { TeeAbstractCall(); }

void TTeeCanvas::ClipRectangle(const TRect& Rect, Integer RoundX, Integer RoundY) {
  const TRect R = deviceRect(FCanvas, Rect);
  PushClipRegion(Handle(), gdi::CreateRoundRectRgn(R.Left, R.Top, R.Right, R.Bottom, RoundX, RoundY), gdi::RGN_AND);
}

void TTeeCanvas::ClipEllipse(const TRect& Rect, bool Inverted) {
  const TRect R = deviceRect(FCanvas, Rect);
  PushClipRegion(Handle(), gdi::CreateEllipticRgn(R.Left, R.Top, R.Right, R.Bottom),
                 Inverted ? gdi::RGN_XOR : gdi::RGN_AND);
}

void TTeeCanvas::ClipPolygon(std::span<const TPoint> Points, Integer NumPoints, bool DiffRegion) {
  const gdi::HDC DC = Handle();
  TPointArray P(Points.begin(), Points.begin() + std::clamp<Integer>(NumPoints, 0, Integer(Points.size())));
  if (gdi::GetMapMode(DC) != gdi::MM_TEXT) gdi::LPtoDP(DC, P.data(), int(P.size()));
  PushClipRegion(DC, gdi::CreatePolygonRgn(P.data(), int(P.size()), gdi::ALTERNATE),
                 DiffRegion ? gdi::RGN_DIFF : gdi::RGN_AND);
}

TTeeBasePath* TTeeCanvas::CreatePath() { return CreatePath({}, {}); }

TTeeBasePath* TTeeCanvas::CreatePath(const TPointFloatArray&, const TPathPointTypes&) { return new TTeePath(this); }

void TTeeCanvas::Curve(std::span<const TPoint> Points, float, bool Closed, float) {
  if (Closed)
    Polygon(Points);
  else
    Polyline(Points);
}

void TTeeCanvas::DoHorizLine(Integer X0, Integer X1, Integer Y) {
  MoveTo(X0, Y);
  LineTo(X1, Y);
}

void TTeeCanvas::DoVertLine(Integer X, Integer Y0, Integer Y1) {
  MoveTo(X, Y0);
  LineTo(X, Y1);
}

void TTeeCanvas::DrawCheckBox(Integer X, Integer Y, bool Checked, TColor, bool CheckBox) {
  TeeDrawCheckBox(X, Y, FCanvas, Checked, CheckBox, GetCheckBoxSize());
}

void TTeeCanvas::EraseBackground(const TRect&) { TeeAbstractCall(); }
void TTeeCanvas::GradientFill(const TRect&, TColor, TColor, TGradientDirection, Integer, Integer, Integer) {
  TeeAbstractCall();
}
void TTeeCanvas::Invalidate() { TeeAbstractCall(); }

void TTeeCanvas::Line(Integer X0, Integer Y0, Integer X1, Integer Y1) {
  MoveTo(X0, Y0);
  LineTo(X1, Y1);
}

void TTeeCanvas::Polyline(std::span<const TPoint>) { TeeAbstractCall(); }
void TTeeCanvas::PolylineFloat(std::span<const TPointFloat>) { TeeAbstractCall(); }
void TTeeCanvas::Polygon(std::span<const TPoint>) { TeeAbstractCall(); }
void TTeeCanvas::PolygonConcave(std::span<const TPoint> Points) { Polygon(Points); }
void TTeeCanvas::PolygonFloat(std::span<const TPointFloat>) { TeeAbstractCall(); }
void TTeeCanvas::RotateLabel(Integer, Integer, const String&, double, bool) { TeeAbstractCall(); }
void TTeeCanvas::UnClipRectangle() { TeeAbstractCall(); }

Integer TTeeCanvas::GetCheckBoxSize() {
  if (FCheckBoxZoom == 100) return CheckBoxSide;
  return Integer(Round(std::max(1.0, CheckBoxSide * FCheckBoxZoom * 0.01)));
}

// ---------------------------------------------------------------------------
// attributes

void TTeeCanvas::AssignFont(TTeeFont* AFont) { AssignFontSize(AFont, AFont->SizeFloat()); }

void TTeeCanvas::AssignFontSize(TTeeFont* AFont, float ASize) {
  if (IZoomText && FFontZoom != 100) ASize = float(ASize * FFontZoom * 0.01);
  IChangingFont = true;
  FFont->Assign(AFont);
  FFont->SetSizeFloat(ASize);
  if (Monochrome()) FFont->SetColor(clBlack);
  IChangingFont = false;
  ApplyFont();
}

void TTeeCanvas::ResetState() {
  FPen->SetColor(clBlack);
  FPen->SetWidth(1);
  FPen->SetStyle(psSolid);
  FBrush->SetColor(clWhite);
  FBrush->SetStyle(bsSolid);
  if (FBrush->HasImageObject()) FBrush->Image()->SetGraphic(nullptr);
  FFont->SetColor(clBlack);
  FFont->SetStyle({});
  FFont->SetCharset(gdi::DEFAULT_CHARSET);
  FFont->SetName(TeeDefaultFontName());
  FFont->SetSize(TeeDefaultFontSize());
  if (PRIMARYLANGID(GetUserDefaultLangID()) == LANG_JAPANESE) {
    const TFont PlatformDefault;
    FFont->SetSize(-MulDiv(PlatformDefault.Height(), 72, ScreenMetrics().PixelsPerInch));
  }
  FBrush->Gradient()->InitDefaults();
  SetBackColor(clWhite);
  SetBackMode(cbmTransparent);
  SetTextAlign(TeeTextAlignLeft);
}

void TTeeCanvas::SetDarkBrushColor(TColor AColor, Byte Quantity) {
  const TColor C = TeeDarkenColor(AColor, Quantity);
  if (FBrush->Style() != bsSolid) {
    SetBackColor(C);
    return;
  }
  FBrush->SetColor(C);
  FCanvas->Brush()->SetColor(C);
}

bool TTeeCanvas::IsBrushGradientVisible() { return FBrush->Style() != bsClear && FBrush->IsGradientVisible(); }

void TTeeCanvas::PushTransparency() { ITranspStack.push_back(Transparency); }

void TTeeCanvas::PopTransparency() {
  // an end without its begin leaves the stack alone
  if (ITranspStack.empty()) return;
  Transparency = ITranspStack.back();
  ITranspStack.pop_back();
}

// ---------------------------------------------------------------------------
// shapes built on the primitives

TTeeBlend* TTeeCanvas::BeginBlending(const TPointArray& P, TTeeTransparency ATransparency) {
  if (ATransparency == 0) return nullptr;
  if (FSupportsAlpha) return BeginBlending(TRect{}, ATransparency);
  TRect R = TeePolygonBounds(P);
  ++R.Right;
  ++R.Bottom;
  return BeginBlending(R, ATransparency);
}

void TTeeCanvas::CalcArcAngles(Integer Left, Integer Top, Integer Right, Integer Bottom, Integer X3, Integer Y3,
                               Integer X4, Integer Y4, float& StartAngle, float& EndAngle) {
  const double CX = (Left + Right) * 0.5, CY = (Top + Bottom) * 0.5;
  auto Angle = [&](Integer X, Integer Y) {
    double A = std::atan2(CY - Y, X - CX);
    if (A < 0) A += 2 * std::numbers::pi;
    return float(A * 180 / std::numbers::pi);
  };
  StartAngle = Angle(X3, Y3);
  EndAngle = Angle(X4, Y4);
}

TPointArray TTeeCanvas::GetArrowPoints(float ArrowPercent, TPoint FromPoint, TPoint ToPoint, Integer ArrowWidth,
                                       Integer ArrowHeight) {
  const double DX = ToPoint.X - FromPoint.X, DY = FromPoint.Y - ToPoint.Y;
  const double L = std::sqrt(DX * DX + DY * DY);
  if (L <= 0) return {};
  const double Head = std::min<double>(Round(L), ArrowHeight);
  const double S = DY / L, C = DX / L;
  // a frame turned to the arrow: u along it, v across it
  const double UTip = ToPoint.X * C - ToPoint.Y * S;
  const double UBase = UTip - Head, UTail = FromPoint.X * C - FromPoint.Y * S;
  const double VAxis = ToPoint.X * S + ToPoint.Y * C;
  const double Shaft = ArrowWidth * double(ArrowPercent) * 0.005;
  auto Back = [S, C](double U, double V) {
    return TPoint{Integer(Round(U * C + V * S)), Integer(Round(-U * S + V * C))};
  };
  return {Back(UTail, VAxis + Shaft),      Back(UTail, VAxis - Shaft),
          Back(UBase, VAxis - Shaft),      Back(UBase, VAxis - ArrowWidth * 0.5),
          ToPoint,                         Back(UBase, VAxis + ArrowWidth * 0.5),
          Back(UBase, VAxis + Shaft)};
}

void TTeeCanvas::Arrow(bool Filled, double ArrowPercent, TPoint FromPoint, TPoint ToPoint, Integer ArrowWidth,
                       Integer ArrowHeight) {
  const TPointArray P = GetArrowPoints(float(ArrowPercent), FromPoint, ToPoint, ArrowWidth, ArrowHeight);
  if (P.empty()) return;
  if (Filled) {
    Polygon(P);
    return;
  }
  Line(FromPoint, ToPoint);
  LineTo(P[5]);
  Line(ToPoint, P[3]);
}

void TTeeCanvas::RoundRect(const TRect& R, Integer X, Integer Y, TTeeCorners* ACorners) {
  if (!ACorners) {
    RoundRect(R.Left, R.Top, R.Right, R.Bottom, X, Y);
    return;
  }
  std::unique_ptr<TTeeBasePath> Path(ACorners->CreateCornersPath(this, R, X, Y));
  Path->Draw(this);
}

void TTeeCanvas::TextOut(Integer X, Integer Y, const String& Text, bool AllowHtml) {
  if (AllowHtml)
    TeeDrawHtml(this, X, Y, Text);
  else
    TextOut(X, Y, Text);
}

// ---------------------------------------------------------------------------
// class routines

bool TTeeCanvas::IsConvexPolygon(std::span<const TPoint> P) {
  return convex(P, [](const TPoint& A) { return double(A.X); }, [](const TPoint& A) { return double(A.Y); });
}

bool TTeeCanvas::IsConvexPolygon(std::span<const TPointFloat> P) {
  return convex(P, [](const TPointFloat& A) { return double(A.x); }, [](const TPointFloat& A) { return double(A.y); });
}

bool TTeeCanvas::ConvexHull(TPointArray& Points) {
  if (Points.size() == 3) return true;
  if (Points.size() < 3) return false;
  // the pivot: smallest y, then largest x
  size_t PivotIndex = 0;
  for (size_t I = 1; I < Points.size(); ++I) {
    const TPoint& P = Points[I];
    const TPoint& Best = Points[PivotIndex];
    if (P.Y < Best.Y || (P.Y == Best.Y && P.X > Best.X)) PivotIndex = I;
  }
  const TPoint Pivot = Points[PivotIndex];
  Points[PivotIndex] = Points.back();
  Points.pop_back();
  auto Key = [Pivot](const TPoint& P) {
    const float DX = float(Pivot.X - P.X), DY = float(Pivot.Y - P.Y);
    const float D = std::sqrt(DX * DX + DY * DY);
    return D == 0 ? 0.0f : DX / D;
  };
  std::stable_sort(Points.begin(), Points.end(), [&](const TPoint& A, const TPoint& B) { return Key(A) < Key(B); });
  // drop every point where the outline does not turn the hull's way; the
  // scan ends on the last index
  size_t I = 1;
  while (I + 1 < Points.size()) {
    if (I == 0) {
      ++I;
      continue;
    }
    const TPoint& Prev = Points[I - 1];
    const TPoint& Cur = Points[I];
    const TPoint& Next = Points[I + 1];
    const Int64 Cross = Int64(Prev.X - Cur.X) * (Next.Y - Cur.Y) - Int64(Next.X - Cur.X) * (Prev.Y - Cur.Y);
    if (Cross < 0) {
      ++I;
    } else {
      Points.erase(Points.begin() + std::ptrdiff_t(I));
      --I;
    }
  }
  Points.push_back(Pivot);
  return true;
}

void TTeeCanvas::Clip(TCanvas* ACanvas, const TRect& Rect, gdi::HRGN& Region) {
  Region = gdi::CreateRectRgnIndirect(deviceRect(ACanvas, Rect));
}

// ---------------------------------------------------------------------------
// the clipping stack

void TTeeCanvas::Clip(const TRect& Rect) {
  gdi::HRGN Region;
  Clip(FCanvas, Rect, Region);
  PushClipRegion(Handle(), Region, gdi::RGN_AND);
}

void TTeeCanvas::UnClip() {
  const gdi::HDC DC = Handle();
  if (ClipHistory.empty()) {
    gdi::SelectClipRgn(DC, nullptr);
    return;
  }
  gdi::SelectClipRgn(DC, ClipHistory.back());
  gdi::DeleteObject(ClipHistory.back());
  ClipHistory.pop_back();
}

void TTeeCanvas::PushClipRegion(gdi::HDC DC, gdi::HRGN Region, int Mode) {
  if (!Region) return;
  gdi::HRGN Saved = gdi::CreateRectRgn(0, 0, 0, 0);
  if (gdi::GetClipRgn(DC, Saved) == 1)
    ClipHistory.push_back(Saved);
  else
    gdi::DeleteObject(Saved);
  gdi::ExtSelectClipRgn(DC, Region, Mode);
  gdi::DeleteObject(Region);
}

// ---------------------------------------------------------------------------
// platform-level helpers

void TeeSetPenFromTeePen(TPen* Target, TTeePen* APen, TColor AColor) {
  if (APen->SmallDots() && APen->Style() != psClear) {
    Target->SetHandle(TeeSmallDotsPen(AColor, APen->SmallSpace()));
    Target->SetMode(APen->Mode());
    return;
  }
  Target->Assign(APen);
  if (APen->Width() > 1) {
    Target->SetColor(AColor);
    const gdi::DWORD Style =
        gdi::DWORD(APen->Style()) | gdi::PS_GEOMETRIC | endCapOf(APen->EndStyle()) | joinOf(APen->JoinStyle());
    const gdi::LOGBRUSH Brush = solidBrush(AColor);
    Target->SetHandle(gdi::ExtCreatePen(Style, gdi::DWORD(APen->Width()), &Brush, 0, nullptr));
  } else if (Target->Color() != AColor) {
    Target->SetColor(AColor);
  }
}

gdi::HPEN TeeSmallDotsPen(TColor AColor, Integer Space) {
  const gdi::LOGBRUSH Brush = solidBrush(AColor);
  if (Space <= 0) return gdi::ExtCreatePen(gdi::PS_COSMETIC | gdi::PS_ALTERNATE, 1, &Brush, 0, nullptr);
  // a zero-length dash with round ends is one dot
  const gdi::DWORD Pattern[2] = {0, gdi::DWORD(Space + 1)};
  return gdi::ExtCreatePen(gdi::PS_GEOMETRIC | gdi::PS_USERSTYLE, 1, &Brush, 2, Pattern);
}

void TeeDrawCheckBox(Integer X, Integer Y, TCanvas* Canvas, bool Checked, bool IsCheckBox, Integer Size) {
  const gdi::HDC DC = Canvas->Handle();
  gdi::SetTextAlign(DC, gdi::TA_LEFT | gdi::TA_TOP);
  gdi::RECT R{X, Y, X + Size + 2, Y + Size + 2};
  gdi::UINT State = IsCheckBox ? gdi::DFCS_BUTTONCHECK : gdi::DFCS_BUTTONRADIO;
  if (Checked) State |= gdi::DFCS_CHECKED;
  gdi::DrawFrameControl(DC, &R, gdi::DFC_BUTTON, State);
}

void TeeDrawCheckBoxLines(TTeeCanvas* ACanvas, Integer X, Integer Y, bool Checked, TColor ABackColor, bool CheckBox) {
  const Integer S = ACanvas->GetCheckBoxSize();
  TTeePen* Pen = ACanvas->Pen();
  TTeeBrush* Brush = ACanvas->Brush();
  Pen->SetStyle(psSolid);
  Pen->SetWidth(1);
  Pen->SetColor(clGray);
  Brush->SetStyle(bsSolid);
  Brush->Gradient()->SetVisible(false);
  Brush->SetColor(clWhite);
  if (CheckBox) {
    ACanvas->MoveTo(X + S, Y);
    ACanvas->LineTo(X, Y);
    ACanvas->LineTo(X, Y + S + 1);
    Pen->SetColor(ABackColor == clWhite ? clSilver : clWhite);
    ACanvas->MoveTo(X, Y + S + 1);
    ACanvas->LineTo(X + S + 1, Y + S + 1);
    ACanvas->LineTo(X + S + 1, Y - 1);
    Pen->SetColor(clBlack);
    ACanvas->MoveTo(X + S - 1, Y + 1);
    ACanvas->LineTo(X + 1, Y + 1);
    ACanvas->LineTo(X + 1, Y + S);
    Pen->SetStyle(psClear);
    ACanvas->Rectangle(X + 2, Y + 2, X + S + 1, Y + S + 1);
  } else {
    ACanvas->Ellipse(X, Y, X + S + 1, Y + S + 1);
  }
  if (!Checked) return;
  Pen->SetStyle(psSolid);
  Pen->SetColor(clBlack);
  if (!CheckBox) {
    Brush->SetColor(clBlack);
    ACanvas->Ellipse(X + 3, Y + 3, X + 9, Y + 9);
    return;
  }
  // the tick keeps its size whatever the box's
  for (Integer I = 1; I <= 3; ++I) ACanvas->Line(X + I + 2, Y + I + 4, X + I + 2, Y + I + 7);
  for (Integer I = 1; I <= 4; ++I) ACanvas->Line(X + I + 5, Y - I + 7, X + I + 5, Y - I + 10);
}
