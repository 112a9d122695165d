// TGDIPlusCanvas: the graphics object and its life cycle, colours, pens,
// brushes and gradients, opacity, clipping, groups and XOR drawing.
#include "chartlib/canvas/gdipluscanvas.h"

#include "chartlib/canvas/canvasunit.h"
#include "chartlib/canvas/teeblend.h"
#include "chartlib/canvas/teefilter.h"
#include "platform/rtl/numconv.h"
#include "platform/rtl/rtlmath.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/graphics/regions.h"
#include "platform/ui/windowing/controls.h"

#include <algorithm>
#include <cmath>

using namespace gdiplus;

namespace {

constexpr Integer Opaque = 255;
// 1 / 255 as the opacity arithmetic has always used it: 50 % of an opaque
// canvas is 127, just below the half.
constexpr double PerByte = 0.00392156862745098;
constexpr double PercentToByte = 2.55;
constexpr int FirstGdiplusHatch = 6;

const char* const StatusTexts[] = {
    "Ok", "Generic Error", "Invalid Parameter", "Out Of Memory", "Object Busy", "Insufficient Buffer",
    "Not Implemented", "Win32 Error", "Wrong State", "Aborted", "File Not Found", "Value Overflow",
    "Access Denied", "Unknown Image Format", "Font Family Not Found", "Font Style Not Found", "Not TrueType Font",
    "Unsupported Gdiplus Version", "Gdiplus Not Initialized", "Property Not Found", "Property Not Supported"};

// The gradient directions whose colour list runs from the start of the fill.
bool reversedDirection(TGradientDirection D) {
  return D == gdBottomTop || D == gdRightLeft || D == gdFromBottomLeft || D == gdDiagonalDown;
}

struct TLinearDirection {
  LinearGradientMode Mode;
  float BaseAngle;
};

TLinearDirection linearDirection(TGradientDirection D) {
  switch (D) {
  case gdBottomTop: return {LinearGradientModeVertical, 270};
  case gdLeftRight: return {LinearGradientModeHorizontal, 0};
  case gdRightLeft: return {LinearGradientModeHorizontal, 180};
  case gdFromTopLeft: return {LinearGradientModeForwardDiagonal, 45};
  case gdFromBottomLeft: return {LinearGradientModeBackwardDiagonal, 135};
  case gdDiagonalUp: return {LinearGradientModeBackwardDiagonal, 45};
  case gdDiagonalDown: return {LinearGradientModeForwardDiagonal, 135};
  default: return {LinearGradientModeVertical, 90};  // gdTopBottom
  }
}

HatchStyle hatchOf(TTeeBrush* B) {
  const Integer Style = Integer(B->HatchStyle());
  if (Style >= FirstGdiplusHatch) return Style <= HatchStyleMax ? HatchStyle(Style) : HatchStyleHorizontal;
  switch (B->Style()) {
  case bsHorizontal: return HatchStyleHorizontal;
  case bsVertical: return HatchStyleVertical;
  case bsFDiagonal: return HatchStyleForwardDiagonal;
  case bsBDiagonal: return HatchStyleBackwardDiagonal;
  case bsCross: return HatchStyleCross;
  default: return HatchStyleDiagonalCross;
  }
}

std::unique_ptr<gdiplus::Bitmap> gdiplusBitmap(TBitmap* B) {
  return std::make_unique<gdiplus::Bitmap>(B->Handle(), nullptr);
}

bool emptyTarget(const TRectF& R) { return R.Left == R.Right && R.Top == R.Bottom; }

}  // namespace

String TeeGDIPlusStatusText(Integer Status) {
  if (Status < 0 || Status >= Integer(std::size(StatusTexts))) return QStringLiteral("Unknown");
  return QString::fromLatin1(StatusTexts[Status]);
}

// ---------------------------------------------------------------------------
// life cycle

TGDIPlusCanvas::TGDIPlusCanvas() {
  FontQuality = tee::fqDefault;
  Transparency = Opaque;
  INoFixAlign = FAnti;
  FSupportsAlpha = true;
  IXORCanvas = new TTeeCanvas3D;
  IXORCanvas->SetUseBuffer(false);
}

TGDIPlusCanvas::~TGDIPlusCanvas() {
  FGPPenFill.reset();
  FGPPen.reset();
  FGPBrush.reset();
  FGPFont.reset();
  freeGraphics();
  IXORCanvas->Free();
}

bool TGDIPlusCanvas::IsAvailable() {
  SolidBrush* Probe = nullptr;
  const Status S = GdipCreateSolidFill(0, &Probe);
  if (Probe) GdipDeleteBrush(Probe);
  return S != GdiplusNotInitialized;
}

void TGDIPlusCanvas::freeGraphics() {
  FGraphics.reset();
  FGraphicsDC = nullptr;
}

gdiplus::Graphics* TGDIPlusCanvas::GetGraphics() {
  if (!FGraphics) {
    if (UseBuffer()) {
      if (!FBitmap) SetBitmap(new TBitmap);
      const gdi::HDC DC = FBitmap->Canvas()->Handle();
      const int Bits = gdi::GetDeviceCaps(DC, gdi::BITSPIXEL) * gdi::GetDeviceCaps(DC, gdi::PLANES);
      FBitmap->SetPixelFormat(Bits == 32 ? pf32bit : pf24bit);
      CreateGraphics(FBitmap->Canvas()->Handle());
    } else if (FCanvas) {
      CreateGraphics(FCanvas->Handle());
    }
  }
  if (!FGPFont) ApplyFont();
  return FGraphics.get();
}

void TGDIPlusCanvas::CreateGraphics(gdi::HDC DC) {
  if (!DC) throw Exception(QStringLiteral("GDI Error: Canvas Handle HDC is zero"));
  FGraphics = std::make_unique<gdiplus::Graphics>(DC);
  FGraphicsDC = DC;
  const Status S = FGraphics->GetLastStatus();
  if (S != Ok) throw Exception(QStringLiteral("GDI+ Error: ") + IntToStr(S) + QLatin1Char(' ') + TeeGDIPlusStatusText(S));
  ApplyAntiAlias(FAnti);
  SetTextHint(AntiAliasText());
  FGraphics->SetPageUnit(UnitPixel);
}

TRect TGDIPlusCanvas::InitWindow(TCanvas* DestCanvas, TView3DOptions* A3DOptions, TColor ABackColor, bool Is3D,
                                 const TRect& UserRect) {
  TRect R = UserRect;
  if (FScale != 1) {
    // drawn that much larger into the buffer, shrunk again by ShowImage
    R.Right = Integer(Round((R.Right - R.Left) * FScale));
    R.Bottom = Integer(Round((R.Bottom - R.Top) * FScale));
  }
  const TRect Result = TTeeCanvas3D::InitWindow(DestCanvas, A3DOptions, ABackColor, Is3D, R);
  FX = FY = FZ = 0;
  if (FGraphics && (UseBuffer() || FGraphicsDC != Handle())) freeGraphics();
  GetGraphics();
  TCanvas* Target = UseBuffer() ? FBitmap->Canvas() : DestCanvas;
  if (UseBuffer() && TeeEraseBackground() && FGraphics) FGraphics->Clear(Color(ToARGB(ABackColor)));
  IXORCanvas->InitWindow(Target, A3DOptions, ABackColor, Is3D, R);
  if (FTransform && FTransform->Enabled) {
    FillRect(R);
    ApplyTransform(FTransform);
  }
  return Result;
}

void TGDIPlusCanvas::ShowImage(TCanvas* DestCanvas, TCanvas* DefaultCanvas, const TRect& UserRect) {
  if (FScale > 1 && UseBuffer() && FBitmap && FGraphics) {
    const auto Buffer = gdiplusBitmap(FBitmap);
    FGraphics->DrawImage(Buffer.get(), UserRect.Left, UserRect.Top, UserRect.Right - UserRect.Left,
                         UserRect.Bottom - UserRect.Top);
  }
  TTeeCanvas3D::ShowImage(DestCanvas, DefaultCanvas, UserRect);
  gdi::GdiFlush();
  if (!UseBuffer()) return;
  freeGraphics();
  auto* Panel = F3DOptions ? dynamic_cast<TControl*>(F3DOptions->Parent()) : nullptr;
  if (Panel && Panel->Parent()) CreateGraphics(Handle());
  IXORCanvas->SetReferenceCanvas(DestCanvas);
}

void TGDIPlusCanvas::SetUseBuffer(bool Value) {
  if (Value == UseBuffer()) return;
  TTeeCanvas3D::SetUseBuffer(Value);
  freeGraphics();
  if (F3DOptions && FCanvas) CreateGraphics(Handle());
}

void TGDIPlusCanvas::SetReferenceCanvas(TCanvas* Value) {
  TTeeCanvas3D::SetReferenceCanvas(Value);
  IXORCanvas->SetReferenceCanvas(Value);
}

// ---------------------------------------------------------------------------
// options and modes

void TGDIPlusCanvas::SetScale(float Value) {
  if (FScale == Value) return;
  FScale = Value;
  if (F3DOptions) F3DOptions->Repaint();
}

void TGDIPlusCanvas::SetAntiAlias(bool Value) {
  if (FAnti == Value) return;
  FAnti = Value;
  INoFixAlign = Value;
  if (FGraphics) ApplyAntiAlias(Value);
  if (F3DOptions) F3DOptions->Repaint();
}

TGDIPlusFontQuality TGDIPlusCanvas::AntiAliasText() const {
  switch (FontQuality) {
  case tee::fqBest: return gpfBest;
  case tee::fqNormal: return gpfNormal;
  case tee::fqClearType: return gpfClearType;
  default: return gpfDefault;
  }
}

void TGDIPlusCanvas::SetAntiAliasText(TGDIPlusFontQuality Value) {
  if (AntiAliasText() == Value) return;
  static constexpr tee::TFontQuality Qualities[] = {tee::fqBest, tee::fqDefault, tee::fqClearType, tee::fqNormal};
  FontQuality = Qualities[Value];
  if (F3DOptions) F3DOptions->Repaint();
  if (FGraphics) SetTextHint(Value);
}

void TGDIPlusCanvas::SetSmoothing(bool On) {
  if (On == ICachedAntialias) return;
  if (FGraphics) FGraphics->SetSmoothingMode(On ? SmoothingModeHighQuality : SmoothingModeHighSpeed);
  ICachedAntialias = On;
}

void TGDIPlusCanvas::ApplyAntiAlias(bool On) {
  ICachedAntialias = !On;  // forces the smoothing to be sent
  SetSmoothing(On);
  if (FGraphics) FGraphics->SetPixelOffsetMode(On ? PixelOffsetModeHighQuality : PixelOffsetModeNone);
}

void TGDIPlusCanvas::SetAntiAliasing(bool Value) {
  if (FGraphics) ApplyAntiAlias(Value && FAnti);
  // the pen sets the smoothing again: a visible pen keeps AntiAlias
  PreparePen();
}

void TGDIPlusCanvas::SetTextHint(TGDIPlusFontQuality Quality) {
  static constexpr TextRenderingHint Hints[] = {TextRenderingHintAntiAlias, TextRenderingHintSystemDefault,
                                                TextRenderingHintClearTypeGridFit,
                                                TextRenderingHintSingleBitPerPixelGridFit};
  if (FGraphics) FGraphics->SetTextRenderingHint(Hints[Quality]);
}

// ---------------------------------------------------------------------------
// colours and opacity

ARGB TGDIPlusCanvas::ToARGB(TColor AColor, Integer Opacity) {
  const Cardinal C = Cardinal(AColor);
  const Integer Alpha = std::max(0, Opacity - Integer(C >> 24));
  return Color::MakeARGB(BYTE(Alpha), BYTE(C), BYTE(C >> 8), BYTE(C >> 16));
}

Integer TGDIPlusCanvas::TransparencyToAlpha(Integer T) const {
  return Integer(Round((100 - T) * PercentToByte * Transparency * PerByte));
}

TTeeBlend* TGDIPlusCanvas::BeginBlending(const TRect&, TTeeTransparency ATransparency) {
  PushTransparency();
  Transparency = TransparencyToAlpha(ATransparency);
  return nullptr;
}

void TGDIPlusCanvas::EndBlending(TTeeBlend* Blend) {
  if (Blend) Blend->Free();
  PopTransparency();
}

// ---------------------------------------------------------------------------
// pens

void TGDIPlusCanvas::ApplyPen() {
  FGPPenFill.reset();
  FGPPen.reset();
}

std::unique_ptr<gdiplus::Pen> TGDIPlusCanvas::CreatePen(ARGB AColor) {
  auto P = std::make_unique<gdiplus::Pen>(Color(AColor), 1.0f);
  P->SetWidth(REAL(FPen->Width()));
  if (FPen->SmallDots()) {
    P->SetDashStyle(DashStyleDot);
  } else {
    switch (FPen->Style()) {
    case psDash: P->SetDashStyle(DashStyleDash); break;
    case psDot: P->SetDashStyle(DashStyleDot); break;
    case psDashDot: P->SetDashStyle(DashStyleDashDot); break;
    case psDashDotDot: P->SetDashStyle(DashStyleDashDotDot); break;
    default: break;  // solid, and the styles GDI+ has no dash for
    }
  }
  switch (FPen->EndStyle()) {
  case esRound: P->SetLineCap(LineCapRound, LineCapRound, DashCapRound); break;
  case esSquare: P->SetLineCap(LineCapSquare, LineCapSquare, DashCapTriangle); break;
  case esFlat: P->SetLineCap(LineCapFlat, LineCapFlat, DashCapFlat); break;
  }
  static constexpr LineJoin Joins[] = {LineJoinRound, LineJoinBevel, LineJoinMiter};
  P->SetLineJoin(Joins[FPen->JoinStyle()]);
  return P;
}

bool TGDIPlusCanvas::PreparePen() {
  if (!FPen->Visible() || FPen->Style() == psClear) return false;
  if (!FGPPen) FGPPen = CreatePen(ToARGB(FPen->Color()));
  SetSmoothing(FPen->Width() != 0 && FAnti);
  return true;
}

bool TGDIPlusCanvas::preparePenFillArea(const TRectF& Area) {
  if (!FPen->IsGradientVisible()) return true;
  FGPPenFill = CreateBrush(FPen->Fill(), Area);
  FGPPen->SetBrush(FGPPenFill.get());
  return true;
}

bool TGDIPlusCanvas::PreparePenFill(const TRect& R) {
  if (!PreparePen()) return false;
  const float Half = FPen->Width() * 0.5f;
  // an odd (or zero) width leaves its extra pixel row above
  const float TopExtra = FPen->Width() == 0 || FPen->Width() % 2 == 1 ? 1 : 0;
  return preparePenFillArea({R.Left - Half, R.Top - Half - TopExtra, R.Right + Half, R.Bottom + Half});
}

bool TGDIPlusCanvas::PreparePenFill(const RectF& R) {
  if (!PreparePen()) return false;
  const float Half = FPen->Width() * 0.5f;
  return preparePenFillArea({R.X - Half, R.Y - Half, R.GetRight() + Half, R.GetBottom() + Half});
}

bool TGDIPlusCanvas::PreparePenFill(std::span<const TPoint> Points, bool FullWidth) {
  if (!PreparePen()) return false;
  if (!FPen->IsGradientVisible()) return true;
  const TRectF Target = FPen->Fill()->Gradient()->FCustomTargetRectangle;
  TRect R = emptyTarget(Target) ? TeePolygonBounds(Points)
                                : TRect{Integer(Round(Target.Left)), Integer(Round(Target.Top)),
                                        Integer(Round(Target.Right)), Integer(Round(Target.Bottom))};
  const float Grow = FullWidth ? float(FPen->Width()) : FPen->Width() * 0.5f;
  return preparePenFillArea({R.Left - Grow, R.Top - Grow, R.Right + Grow, R.Bottom + Grow});
}

bool TGDIPlusCanvas::PreparePenFill(std::span<const TPointFloat> Points) {
  if (!PreparePen()) return false;
  if (!FPen->IsGradientVisible()) return true;
  const TRectF Target = FPen->Fill()->Gradient()->FCustomTargetRectangle;
  TRectF R = emptyTarget(Target) ? TeePolygonBoundsF(Points) : Target;
  const float Half = FPen->Width() * 0.5f;
  return preparePenFillArea({R.Left - Half, R.Top - Half, R.Right + Half, R.Bottom + Half});
}

// ---------------------------------------------------------------------------
// brushes

void TGDIPlusCanvas::ApplyBrush(TTeeBrush* ABrush) {
  if (ABrush->BackColor() == clNone || ABrush->Style() == bsClear) {
    SetBackMode(cbmTransparent);
  } else if (ABrush->Style() != bsSolid) {
    SetBackMode(cbmOpaque);
    SetBackColor(ABrush->BackColor());
  }
}

namespace {

// The texture of Image: at full opacity the image alone, else its whole
// rectangle with the alpha scaled.
std::unique_ptr<gdiplus::Brush> textureOf(gdiplus::Bitmap& Image, Integer Opacity) {
  if (Opacity >= Opaque) return std::make_unique<TextureBrush>(&Image, WrapModeTile);
  ColorMatrix M = {{{1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, 1, 0}, {0, 0, 0, 0, 1}}};
  M.m[3][3] = REAL(Opacity) / Opaque;
  ImageAttributes Attributes;
  Attributes.SetColorMatrix(&M);
  return std::make_unique<TextureBrush>(&Image, gdiplus::Rect(0, 0, INT(Image.GetWidth()), INT(Image.GetHeight())),
                                        &Attributes);
}

}  // namespace

std::unique_ptr<gdiplus::Brush> TGDIPlusCanvas::CreatePlainBrush(TTeeBrush* ABrush, Integer Opacity) {
  if (ABrush->HasImage()) {
    TGraphic* Picture = ABrush->Image()->Filtered();
    if (auto* B = dynamic_cast<TBitmap*>(Picture)) return textureOf(*gdiplusBitmap(B), Opacity);
    TBitmap Converted;
    Converted.Assign(Picture);
    return textureOf(*gdiplusBitmap(&Converted), Opacity);
  }
  if (TBitmap* B = ABrush->Bitmap(); B && !B->Empty()) return textureOf(*gdiplusBitmap(B), Opacity);
  if (ABrush->Style() != bsSolid)
    return std::make_unique<HatchBrush>(hatchOf(ABrush), Color(ToARGB(ABrush->Color(), Opacity)),
                                        Color(ToARGB(ABrush->BackColor(), Opacity)));
  return std::make_unique<SolidBrush>(Color(ToARGB(ABrush->Color(), Opacity)));
}

std::unique_ptr<gdiplus::Brush> TGDIPlusCanvas::CreateBrush(TTeeBrush* ABrush, const TRectF& Area) {
  if (ABrush->Style() != bsClear && ABrush->IsGradientVisible()) return CreateGradientBrush(ABrush->Gradient(), Area);
  return CreatePlainBrush(ABrush, Transparency);
}

void TGDIPlusCanvas::CalcBlend(TCustomTeeGradient* Gradient) {
  TTeeGradientColors* Colors = Gradient->Colors();
  const int Count = Colors->Count();
  const bool InOrder = reversedDirection(Gradient->Direction());
  IBlendColors.clear();
  IBlendPositions.clear();
  for (int I = 0; I < Count; ++I) {
    TTeeGradientColor* C = Colors->Get(InOrder ? I : Count - 1 - I);
    IBlendColors.emplace_back(ToARGB(C->Color(), TransparencyToAlpha(C->Transparency())));
    IBlendPositions.push_back(REAL(InOrder ? C->Offset() : 1 - C->Offset()));
  }
}

std::unique_ptr<gdiplus::Brush> TGDIPlusCanvas::linearGradient(TCustomTeeGradient* Gradient, const RectF& R) {
  TTeeGradientColors* Colors = Gradient->Colors();
  const int N = Colors->Count();
  auto colorAt = [&](int I) {
    TTeeGradientColor* C = Colors->Get(I);
    return Color(ToARGB(C->Color(), TransparencyToAlpha(C->Transparency())));
  };
  const bool InOrder = reversedDirection(Gradient->Direction());
  const Color C1 = colorAt(InOrder ? 0 : N - 1), C2 = colorAt(InOrder ? N - 1 : 0);
  const TLinearDirection D = linearDirection(Gradient->Direction());
  std::unique_ptr<LinearGradientBrush> B =
      Gradient->Angle() == 0 ? std::make_unique<LinearGradientBrush>(R, C1, C2, D.Mode)
                             : std::make_unique<LinearGradientBrush>(R, C1, C2, D.BaseAngle + Gradient->Angle());
  if (N > 2) {
    CalcBlend(Gradient);
    B->SetInterpolationColors(IBlendColors.data(), IBlendPositions.data(), INT(IBlendColors.size()));
  }
  return B;
}

std::unique_ptr<gdiplus::Brush> TGDIPlusCanvas::pathGradient(TCustomTeeGradient* Gradient, const GraphicsPath& P,
                                                             const PointF& Centre) {
  auto B = std::make_unique<PathGradientBrush>(&P);
  B->SetCenterPoint(Centre);
  CalcBlend(Gradient);
  B->SetInterpolationColors(IBlendColors.data(), IBlendPositions.data(), INT(IBlendColors.size()));
  return B;
}

std::unique_ptr<gdiplus::Brush> TGDIPlusCanvas::CreateGradientBrush(TCustomTeeGradient* Gradient,
                                                                    const TRectF& Area) {
  TRectF T = Gradient->FCustomTargetRectangle;
  if (T.Width() == 0 && T.Height() == 0) T = Area;
  const float RadialX = float(Gradient->RadialX()), RadialY = float(Gradient->RadialY());
  switch (Gradient->Direction()) {
  case gdFromCenter: {
    GraphicsPath P;
    P.AddRectangle(RectF(T.Left, T.Top, T.Width() + 1, T.Height() + 1));
    return pathGradient(Gradient, P, PointF((T.Left + T.Right) / 2 + RadialX, (T.Top + T.Bottom) / 2 + RadialY));
  }
  case gdRadial: {
    const float DX = T.Width() / 4, DY = T.Height() / 4;
    const TRectF G{T.Left - DX, T.Top - DY, T.Right + DX, T.Bottom + DY};
    GraphicsPath P;
    P.AddEllipse(RectF(G.Left - 1, G.Top - 1, G.Width() + 2, G.Height() + 2));
    return pathGradient(Gradient, P, PointF((G.Left + G.Right) / 2 + RadialX, (G.Top + G.Bottom) / 2 + RadialY));
  }
  default:
    return linearGradient(Gradient, RectF(T.Left, T.Top, T.Width() + 1, T.Height() + 1));
  }
}

std::unique_ptr<gdiplus::Brush> TGDIPlusCanvas::CreatePathGradient(TTeeBrush* ABrush,
                                                                   std::span<const TPointFloat> Points) {
  const std::span<const TPointFloat> Outline = IGradientPolygon.empty() ? Points : std::span(IGradientPolygon);
  std::vector<PointF> Polygon;
  for (const TPointFloat& P : Outline) Polygon.emplace_back(P.x, P.y);
  GraphicsPath Path(FillModeAlternate);
  Path.AddPolygon(Polygon.data(), INT(Polygon.size()));
  RectF B;
  Path.GetBounds(&B);
  TCustomTeeGradient* Gradient = ABrush->Gradient();
  const TGradientDirection D = Gradient->Direction();
  if (D != gdRadial && D != gdFromCenter) return linearGradient(Gradient, B);
  Path.Reset();
  if (D == gdRadial) {
    const REAL DX = REAL(Round(B.Width / 4)), DY = REAL(Round(B.Height / 4));
    Path.AddEllipse(RectF(B.X - DX, B.Y - DY, B.Width + 2 * DX, B.Height + 2 * DY));
  } else {
    Path.AddRectangle(B);
  }
  auto Brush = std::make_unique<PathGradientBrush>(&Path);
  if (Gradient->RadialX() != 0 || Gradient->RadialY() != 0) {
    PointF C;
    Brush->GetCenterPoint(&C);
    Brush->SetCenterPoint(gdiplus::Point(INT(Round(C.X)) + Gradient->RadialX(), INT(Round(C.Y)) + Gradient->RadialY()));
  }
  CalcBlend(Gradient);
  Brush->SetInterpolationColors(IBlendColors.data(), IBlendPositions.data(), INT(IBlendColors.size()));
  return Brush;
}

// ---------------------------------------------------------------------------
// clipping and groups

void TGDIPlusCanvas::PushClip() {
  RectF R;
  if (gdiplus::Graphics* G = GetGraphics()) G->GetVisibleClipBounds(&R);
  IOldClipRect.push_back(R);
}

void TGDIPlusCanvas::ClipRectangle(const TRect& Rect) {
  PushClip();
  if (gdiplus::Graphics* G = GetGraphics())
    G->SetClip(gdiplus::Rect(Rect.Left, Rect.Top - 1, Rect.Right - Rect.Left, Rect.Bottom - Rect.Top + 2),
               CombineModeIntersect);
}

void TGDIPlusCanvas::ClipRectangle(const TRect& Rect, Integer RoundX, Integer RoundY) {
  if (RoundX <= 0 && RoundY <= 0) {
    ClipRectangle(Rect);
    return;
  }
  PushClip();
  if (gdiplus::Graphics* G = GetGraphics()) G->SetClip(RoundRectPath(Rect, RoundX, RoundY).get(), CombineModeIntersect);
}

void TGDIPlusCanvas::ClipEllipse(const TRect& Rect, bool Inverted) {
  PushClip();
  GraphicsPath P;
  P.AddEllipse(gdiplus::Rect(Rect.Left, Rect.Top, Rect.Right - Rect.Left, Rect.Bottom - Rect.Top));
  if (gdiplus::Graphics* G = GetGraphics()) G->SetClip(&P, Inverted ? CombineModeExclude : CombineModeIntersect);
}

void TGDIPlusCanvas::ClipPolygon(std::span<const TPoint> Points, Integer NumPoints, bool DiffRegion) {
  PushClip();
  std::vector<gdi::POINT> P;
  for (Integer I = 0; I < std::min<Integer>(NumPoints, Integer(Points.size())); ++I)
    P.push_back({Points[I].X, Points[I].Y});
  gdi::HRGN Region = gdi::CreatePolygonRgn(P.data(), int(P.size()), gdi::ALTERNATE);
  {
    const gdiplus::Region Area(Region);
    if (gdiplus::Graphics* G = GetGraphics()) G->SetClip(&Area, DiffRegion ? CombineModeExclude : CombineModeIntersect);
  }
  gdi::DeleteObject(Region);
}

void TGDIPlusCanvas::UnClipRectangle() {
  gdiplus::Graphics* G = GetGraphics();
  if (IOldClipRect.empty()) {
    if (G) G->ResetClip();
    return;
  }
  if (G) G->SetClip(IOldClipRect.back(), CombineModeReplace);
  IOldClipRect.pop_back();
}

void TGDIPlusCanvas::BeginGroup(const String&, TTeeTransform* Transform) {
  TGroupTransform Entry;
  gdiplus::Graphics* G = GetGraphics();
  if (Transform && Transform->Enabled && G) {
    Entry.Saved = std::make_unique<Matrix>();
    G->GetTransform(Entry.Saved.get());
    Entry.Clipped = ApplyTransform(Transform);
  }
  ITransform.push_back(std::move(Entry));
}

void TGDIPlusCanvas::EndGroup() {
  if (ITransform.empty()) return;
  TGroupTransform& Last = ITransform.back();
  if (Last.Saved) {
    if (gdiplus::Graphics* G = GetGraphics()) G->SetTransform(Last.Saved.get());
    // only the group's own clip goes: an outer one stays
    if (Last.Clipped) UnClipRectangle();
  }
  ITransform.pop_back();
}

bool TGDIPlusCanvas::ApplyTransform(TTeeTransform* T) {
  if (T->Clip) ClipRectangle(T->Bounds);
  gdiplus::Graphics* G = GetGraphics();
  if (!G) return T->Clip;
  if (T->Translate.X != 0 || T->Translate.Y != 0) G->TranslateTransform(T->Translate.X, T->Translate.Y, MatrixOrderPrepend);
  const bool Rotate = T->Rotate != 0, Scale = T->Scale.X != 1 || T->Scale.Y != 1;
  if (Rotate || Scale) {
    G->TranslateTransform(T->Origin.X, T->Origin.Y, MatrixOrderPrepend);
    if (Rotate) G->RotateTransform(T->Rotate, MatrixOrderPrepend);
    if (Scale) G->ScaleTransform(T->Scale.X, T->Scale.Y, MatrixOrderPrepend);
    G->TranslateTransform(-T->Origin.X, -T->Origin.Y, MatrixOrderPrepend);
  }
  return T->Clip;
}

// ---------------------------------------------------------------------------
// XOR drawing

bool TGDIPlusCanvas::isXORPen() const { return FPen->Mode() == pmXor || FPen->Mode() == pmNotXor; }

void TGDIPlusCanvas::CheckXORCanvas() {
  if (!IXORCanvas->ReferenceCanvas()) IXORCanvas->SetReferenceCanvas(FCanvas);
}

void TGDIPlusCanvas::prepareXORCanvas() {
  CheckXORCanvas();
  IXORCanvas->AssignBrush(FBrush, FBrush->Color(), FBrush->BackColor());
  IXORCanvas->AssignVisiblePenColor(FPen, FPen->Color());
}

void TGDIPlusCanvas::XORLine(Integer X0, Integer Y0, Integer X1, Integer Y1) {
  CheckXORCanvas();
  IXORCanvas->AssignVisiblePenColor(FPen, FPen->Color());
  IXORCanvas->Line(X0, Y0, X1, Y1);
}

void TGDIPlusCanvas::XORRectangle(const TRect& R) {
  prepareXORCanvas();
  IXORCanvas->Rectangle(R.Left, R.Top, R.Right, R.Bottom);
}
