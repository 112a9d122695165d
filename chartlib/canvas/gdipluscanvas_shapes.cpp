// TGDIPlusCanvas: lines, points, rectangles, ellipses, arcs, pies, donuts,
// polygons, curves, their 3D forms, shadows and the pie slices' finish.
#include "chartlib/canvas/gdipluscanvas.h"

#include "platform/rtl/rtlmath.h"

#include <algorithm>
#include <cmath>
#include <numbers>

using namespace gdiplus;

namespace {

constexpr double DegreesPerRadian = 57.29577951308232;
constexpr Integer ShadowCorner = 4;  // a plain rectangle's shadow has rounded corners of this size
// the pie slices' highlight band, in degrees
constexpr Integer BandStart = 295;
constexpr Integer BandEnd = 335;
constexpr ARGB TransparentWhite = 0x00FFFFFF;

gdiplus::Rect gpRect(const TRect& R) { return gdiplus::Rect(R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top); }
TRectF floatRect(const TRect& R) { return {float(R.Left), float(R.Top), float(R.Right), float(R.Bottom)}; }

std::vector<gdiplus::Point> gpPoints(std::span<const TPoint> P) {
  std::vector<gdiplus::Point> R;
  R.reserve(P.size());
  for (const TPoint& Q : P) R.emplace_back(Q.X, Q.Y);
  return R;
}

std::vector<PointF> gpPoints(std::span<const TPointFloat> P) {
  std::vector<PointF> R;
  R.reserve(P.size());
  for (const TPointFloat& Q : P) R.emplace_back(Q.x, Q.y);
  return R;
}

TPointFloatArray floatPoints(std::span<const TPoint> P) {
  TPointFloatArray R;
  R.reserve(P.size());
  for (const TPoint& Q : P) R.push_back({float(Q.X), float(Q.Y)});
  return R;
}

}  // namespace

template <class Make>
bool TGDIPlusCanvas::newFillBrush(Make&& MakeBrush) {
  if (FBrush->Style() == bsClear) return false;
  FGPBrush.reset();
  FGPBrush = MakeBrush();
  return FGPBrush != nullptr;
}

std::unique_ptr<gdiplus::Brush> TGDIPlusCanvas::polygonBrush(std::span<const TPointFloat> Points) {
  if (!IsBrushGradientVisible()) return CreatePlainBrush(FBrush, Transparency);
  return CreatePathGradient(FBrush, Points);
}

// ---------------------------------------------------------------------------
// lines and points

void TGDIPlusCanvas::MoveTo(Integer X, Integer Y) {
  FX = X;
  FY = Y;
}

void TGDIPlusCanvas::lineBetween(TPoint P0, TPoint P1, const TRect& Area, bool AllowXOR) {
  FX = P1.X;
  FY = P1.Y;
  if (!PreparePenFill(Area)) return;
  if (AllowXOR && isXORPen()) {
    XORLine(P0.X, P0.Y, P1.X, P1.Y);
  } else if (gdiplus::Graphics* G = GetGraphics()) {
    G->DrawLine(FGPPen.get(), P0.X, P0.Y, P1.X, P1.Y);
  }
}

void TGDIPlusCanvas::LineTo(Integer X, Integer Y) {
  lineBetween({FX, FY}, {X, Y}, {FX, FY, X, Y}, /*AllowXOR=*/true);
}

void TGDIPlusCanvas::FastLineTo(Integer X, Integer Y) {
  if (FGPPen)
    if (gdiplus::Graphics* G = GetGraphics()) G->DrawLine(FGPPen.get(), FX, FY, X, Y);
  FX = X;
  FY = Y;
}

void TGDIPlusCanvas::Line(Integer X0, Integer Y0, Integer X1, Integer Y1) {
  lineBetween({X0, Y0}, {X1, Y1}, TeeOrderedRect(X0, Y0, X1, Y1), /*AllowXOR=*/true);
}

void TGDIPlusCanvas::DoHorizLine(Integer X0, Integer X1, Integer Y) {
  FX = X1;
  FY = Y;
  if (!PreparePenFill(TRect{X0, Y, X1, Y})) return;
  if (isXORPen())
    XORLine(X0, Y, X1, Y);
  else if (gdiplus::Graphics* G = GetGraphics())
    G->DrawLine(FGPPen.get(), REAL(X0), REAL(Y), REAL(X1), REAL(Y));
}

void TGDIPlusCanvas::DoVertLine(Integer X, Integer Y0, Integer Y1) {
  FX = X;
  FY = Y1;
  if (!PreparePenFill(TRect{X, Y0, X, Y1})) return;
  if (isXORPen())
    XORLine(X, Y0, X, Y1);
  else if (gdiplus::Graphics* G = GetGraphics())
    G->DrawLine(FGPPen.get(), REAL(X), REAL(Y0), REAL(X), REAL(Y1));
}

// A pen of its own: recolouring the cached pen would give later outlines
// the pixel's colour.
void TGDIPlusCanvas::SetPixel(Integer X, Integer Y, TColor Value) {
  gdiplus::Graphics* G = GetGraphics();
  if (!G) return;
  const std::unique_ptr<gdiplus::Pen> Dot = CreatePen(ToARGB(Value));
  G->DrawLine(Dot.get(), X, Y, X + 1, Y);
}

void TGDIPlusCanvas::MoveTo3D(Integer X, Integer Y, Integer Z) {
  FX = X;
  FY = Y;
  FZ = Z;
  Calc3DPos(FX, FY, Z);
}

void TGDIPlusCanvas::LineTo3D(Integer X, Integer Y, Integer Z) {
  Calc3DPos(X, Y, Z);
  LineTo(X, Y);
}

void TGDIPlusCanvas::HorizLine3D(Integer Left, Integer Right, Integer Y, Integer Z) {
  TPoint P0, P1;
  Calc3DPoint(Left, Y, Z, P0);
  Calc3DPoint(Right, Y, Z, P1);
  lineBetween(P0, P1, {P0.X, P0.Y, P1.X, P0.Y}, /*AllowXOR=*/true);
}

void TGDIPlusCanvas::VertLine3D(Integer X, Integer Top, Integer Bottom, Integer Z) {
  TPoint P0, P1;
  Calc3DPoint(X, Top, Z, P0);
  Calc3DPoint(X, Bottom, Z, P1);
  lineBetween(P0, P1, {P0.X, P0.Y, P1.X, P1.Y}, /*AllowXOR=*/true);
}

void TGDIPlusCanvas::ZLine3D(Integer X, Integer Y, Integer Z0, Integer Z1) {
  TPoint P0, P1;
  Calc3DPoint(X, Y, Z0, P0);
  Calc3DPoint(X, Y, Z1, P1);
  lineBetween(P0, P1, {P0.X, P0.Y, P1.X, P1.Y}, /*AllowXOR=*/true);
}

void TGDIPlusCanvas::LineWithZ(Integer X0, Integer Y0, Integer X1, Integer Y1, Integer Z) {
  TPoint P0, P1;
  Calc3DPoint(X0, Y0, Z, P0);
  Calc3DPoint(X1, Y1, Z, P1);
  lineBetween(P0, P1, TeeOrderedRect(P0.X, P0.Y, P1.X, P1.Y), /*AllowXOR=*/false);
}

void TGDIPlusCanvas::SetPixel3D(Integer X, Integer Y, Integer Z, TColor Value) {
  Calc3DPos(X, Y, Z);
  SetPixel(X, Y, Value);
}

// ---------------------------------------------------------------------------
// rectangles

void TGDIPlusCanvas::Rectangle(Integer X0, Integer Y0, Integer X1, Integer Y1) {
  const TRect R = TeeOrderedRect(X0, Y0, X1, Y1);
  if (isXORPen()) {
    XORRectangle(R);
    return;
  }
  gdiplus::Graphics* G = GetGraphics();
  if (!G) return;
  if (FPen->Visible() && FPen->Style() != psClear && FPen->Width() > 1) {
    // the fill stays inside the outline's inner half
    const float Half = FPen->Width() * 0.5f;
    const TRectF Inner{R.Left + Half, R.Top + Half, R.Right - Half, R.Bottom - Half};
    if (newFillBrush([&] { return CreateBrush(FBrush, Inner); }))
      G->FillRectangle(FGPBrush.get(), RectF(Inner.Left, Inner.Top, Inner.Width(), Inner.Height()));
  } else if (newFillBrush([&] { return CreateBrush(FBrush, floatRect(R)); })) {
    G->FillRectangle(FGPBrush.get(), gpRect(R));
  }
  if (PreparePenFill(R)) G->DrawRectangle(FGPPen.get(), gpRect(R));
}

void TGDIPlusCanvas::FillRect(const TRect& Rect) {
  gdiplus::Graphics* G = GetGraphics();
  if (G && newFillBrush([&] { return CreateBrush(FBrush, floatRect(Rect)); }))
    G->FillRectangle(FGPBrush.get(), gpRect(Rect));
}

// The gradient brush whatever the canvas brush's style: a clear brush would
// otherwise give the plain brush's diagonal-cross hatch.
void TGDIPlusCanvas::GradientFill(const TRect& Rect, TColor StartColor, TColor EndColor,
                                  TGradientDirection Direction, Integer Balance, Integer RadialX, Integer RadialY) {
  TTeeGradient* Gradient = FBrush->Gradient();
  Gradient->SetVisible(true);
  Gradient->SetStartColor(StartColor);
  Gradient->SetMidColor(clNone);
  Gradient->SetEndColor(EndColor);
  Gradient->SetDirection(Direction);
  Gradient->SetBalance(Balance);
  Gradient->SetRadialX(RadialX);
  Gradient->SetRadialY(RadialY);
  gdiplus::Graphics* G = GetGraphics();
  FGPBrush.reset();
  FGPBrush = CreateGradientBrush(Gradient, floatRect(Rect));
  if (G) G->FillRectangle(FGPBrush.get(), gpRect(Rect));
}

std::unique_ptr<GraphicsPath> TGDIPlusCanvas::RoundRectPath(const TRect& R, Integer X, Integer Y) {
  Integer W = std::max(1, X / 2 * 2), H = std::max(1, Y / 2 * 2);
  W = std::min(W, std::abs(R.Right - R.Left));
  H = std::min(H, std::abs(R.Bottom - R.Top));
  auto P = std::make_unique<GraphicsPath>(FillModeAlternate);
  P->AddArc(R.Right - W, R.Top, W, H, 270, 90);
  P->AddArc(R.Right - W, R.Bottom - H, W, H, 0, 90);
  P->AddArc(R.Left, R.Bottom - H, W, H, 90, 90);
  P->AddArc(R.Left, R.Top, W, H, 180, 90);
  P->CloseFigure();
  return P;
}

void TGDIPlusCanvas::RoundRect(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3) {
  gdiplus::Graphics* G = GetGraphics();
  if (!G) return;
  TRect R{X1, Y1, X2, Y2};
  if (!FAnti) {
    --R.Right;
    --R.Bottom;
  }
  const std::unique_ptr<GraphicsPath> P = RoundRectPath(R, X3, Y3);
  if (newFillBrush([&] { return CreateBrush(FBrush, floatRect(R)); })) G->FillPath(FGPBrush.get(), P.get());
  if (PreparePenFill(R)) G->DrawPath(FGPPen.get(), P.get());
}

void TGDIPlusCanvas::RoundRectWithZ(const TRect& R, Integer X, Integer Y, Integer Z) {
  if (!FIsOrthogonal) {
    TTeeCanvas3D::RectangleWithZ(R, Z);
    return;
  }
  TTeeCanvas::RoundRect(CalcRect3D(R, Z), X, Y, nullptr);
}

// ---------------------------------------------------------------------------
// ellipses, arcs, pies, donuts

void TGDIPlusCanvas::Ellipse(Integer X1, Integer Y1, Integer X2, Integer Y2) {
  gdiplus::Graphics* G = GetGraphics();
  if (!G) return;
  const TRect R{X1, Y1, X2, Y2};
  const bool Outline = PreparePenFill(R);
  if (Outline && FPen->Width() > 1) {
    const float Half = FPen->Width() * 0.5f;
    const TRectF Inner{X1 + Half, Y1 + Half, X2 - Half, Y2 - Half};
    if (newFillBrush([&] { return CreateBrush(FBrush, Inner); }))
      G->FillEllipse(FGPBrush.get(), RectF(Inner.Left, Inner.Top, Inner.Width(), Inner.Height()));
  } else if (newFillBrush([&] { return CreateBrush(FBrush, floatRect(R)); })) {
    G->FillEllipse(FGPBrush.get(), gpRect(R));
  }
  if (!Outline) return;
  if (isXORPen()) {
    prepareXORCanvas();
    IXORCanvas->Ellipse(X1, Y1, X2, Y2);
  } else {
    G->DrawEllipse(FGPPen.get(), gpRect(R));
  }
}

void TGDIPlusCanvas::Arc(Integer Left, Integer Top, Integer Right, Integer Bottom, float StartAngle,
                         float EndAngle) {
  gdiplus::Graphics* G = GetGraphics();
  if (!G || !PreparePenFill(TRect{Left, Top, Right, Bottom})) return;
  G->DrawArc(FGPPen.get(), std::min(Left, Right), std::min(Top, Bottom), std::abs(Left - Right),
             std::abs(Top - Bottom), -StartAngle, -(EndAngle - StartAngle));
}

void TGDIPlusCanvas::Arc(Integer Left, Integer Top, Integer Right, Integer Bottom, Integer StartX, Integer StartY,
                         Integer EndX, Integer EndY) {
  if (FPen->Style() == psClear) return;
  float Start, End;
  CalcArcAngles(Left, Top, Right, Bottom, StartX, StartY, EndX, EndY, Start, End);
  Arc(Left, Top, Right, Bottom, Start, End);
}

void TGDIPlusCanvas::ArcTo(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4,
                           Integer Y4, bool) {
  float Start, End;
  CalcArcAngles(X1, Y1, X2, Y2, X3, Y3, X4, Y4, Start, End);
  gdiplus::Graphics* G = GetGraphics();
  if (G && PreparePenFill(TRect{X1, Y1, X2, Y2}))
    G->DrawArc(FGPPen.get(), X1, Y1, X2 - X1, Y2 - Y1, -Start, -(End - Start));
}

void TGDIPlusCanvas::PieAngles(double StartAngle, double EndAngle, float& Start, float& Sweep) {
  const double End = EndAngle == 0 ? 360 : EndAngle;
  Sweep = float(StartAngle > End ? 360 - StartAngle + End : End - StartAngle);
  Start = float(360 - StartAngle - Sweep);
}

void TGDIPlusCanvas::Pie(const TRect& R, double StartAngle, double EndAngle) {
  gdiplus::Graphics* G = GetGraphics();
  if (!G) return;
  float Start, Sweep;
  PieAngles(StartAngle, EndAngle, Start, Sweep);
  const bool Filled = newFillBrush([&] {
    if (!IsBrushGradientVisible()) return CreatePlainBrush(FBrush, Transparency);
    if (IGradientPolygon.empty()) return CreateBrush(FBrush, floatRect(R));
    return CreatePathGradient(FBrush, IGradientPolygon);
  });
  if (Filled) G->FillPie(FGPBrush.get(), gpRect(R), Start, Sweep);
  if (!PreparePenFill(R)) return;
  if (Sweep == 360)
    G->DrawEllipse(FGPPen.get(), gpRect(R));
  else
    G->DrawPie(FGPPen.get(), gpRect(R), Start, Sweep);
}

void TGDIPlusCanvas::Pie(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4,
                         Integer Y4) {
  float Start, End;
  CalcArcAngles(X1, Y1, X2, Y2, X3, Y3, X4, Y4, Start, End);
  Pie(TRect{X1, Y1, X2, Y2}, Start, End);
}

std::unique_ptr<GraphicsPath> TGDIPlusCanvas::DonutPath(Integer X, Integer Y, Integer XRadius, Integer YRadius,
                                                        double Start, double End, double HolePercent) {
  const float StartA = float(360 - Start * DegreesPerRadian), EndA = float(360 - End * DegreesPerRadian);
  auto P = std::make_unique<GraphicsPath>(FillModeAlternate);
  if (HolePercent <= 0) {
    P->AddPie(X - XRadius, Y - YRadius, 2 * XRadius, 2 * YRadius, EndA, StartA - EndA);
    return P;
  }
  P->AddArc(X - XRadius, Y - YRadius, 2 * XRadius, 2 * YRadius, StartA, EndA - StartA);
  const REAL HX = REAL(HolePercent * XRadius * 0.01), HY = REAL(HolePercent * YRadius * 0.01);
  P->AddArc(X - HX, Y - HY, 2 * HX, 2 * HY, EndA, StartA - EndA);
  P->CloseFigure();
  return P;
}

void TGDIPlusCanvas::Donut(Integer XCenter, Integer YCenter, Integer XRadius, Integer YRadius, double StartAngle,
                           double EndAngle, double HolePercent) {
  gdiplus::Graphics* G = GetGraphics();
  if (!G) return;
  const std::unique_ptr<GraphicsPath> P = DonutPath(XCenter, YCenter, XRadius, YRadius, StartAngle, EndAngle, HolePercent);
  const TRect R = TeeRectFromCenter(XCenter, YCenter, XRadius, YRadius);
  if (newFillBrush([&] { return CreateBrush(FBrush, floatRect(R)); })) G->FillPath(FGPBrush.get(), P.get());
  if (PreparePenFill(R)) G->DrawPath(FGPPen.get(), P.get());
}

// ---------------------------------------------------------------------------
// polygons and curves

void TGDIPlusCanvas::Polygon(std::span<const TPoint> Points) {
  gdiplus::Graphics* G = GetGraphics();
  if (!G) return;
  const std::vector<gdiplus::Point> P = gpPoints(Points);
  if (newFillBrush([&] { return polygonBrush(floatPoints(Points)); }))
    G->FillPolygon(FGPBrush.get(), P.data(), INT(P.size()), FillModeAlternate);
  if (!PreparePenFill(Points, /*FullWidth=*/false)) return;
  if (!isXORPen()) {
    G->DrawPolygon(FGPPen.get(), P.data(), INT(P.size()));
  } else if (IXORCanvas->ReferenceCanvas()) {
    prepareXORCanvas();
    IXORCanvas->Polygon(Points);
  }
}

void TGDIPlusCanvas::PolygonFloat(std::span<const TPointFloat> Points) {
  gdiplus::Graphics* G = GetGraphics();
  if (!G) return;
  const std::vector<PointF> P = gpPoints(Points);
  if (newFillBrush([&] { return polygonBrush(Points); }))
    G->FillPolygon(FGPBrush.get(), P.data(), INT(P.size()), FillModeAlternate);
  if (PreparePenFill(Points)) G->DrawPolygon(FGPPen.get(), P.data(), INT(P.size()));
}

void TGDIPlusCanvas::Polyline(std::span<const TPoint> Points) {
  gdiplus::Graphics* G = GetGraphics();
  if (!G || !PreparePenFill(Points, /*FullWidth=*/false)) return;
  const std::vector<gdiplus::Point> P = gpPoints(Points);
  G->DrawLines(FGPPen.get(), P.data(), INT(P.size()));
}

void TGDIPlusCanvas::PolylineFloat(std::span<const TPointFloat> Points) {
  gdiplus::Graphics* G = GetGraphics();
  if (!G || !PreparePenFill(Points)) return;
  const std::vector<PointF> P = gpPoints(Points);
  G->DrawLines(FGPPen.get(), P.data(), INT(P.size()));
}

void TGDIPlusCanvas::Curve(std::span<const TPoint> Points, float Tension, bool Closed, float) {
  gdiplus::Graphics* G = GetGraphics();
  if (!G) return;
  const std::vector<gdiplus::Point> P = gpPoints(Points);
  // the closed spline is filled even for an open curve
  if (newFillBrush([&] { return polygonBrush(floatPoints(Points)); }))
    G->FillClosedCurve(FGPBrush.get(), P.data(), INT(P.size()), FillModeAlternate, Tension);
  if (!PreparePenFill(Points, /*FullWidth=*/true)) return;
  if (Closed)
    G->DrawClosedCurve(FGPPen.get(), P.data(), INT(P.size()), Tension);
  else
    G->DrawCurve(FGPPen.get(), P.data(), INT(P.size()), Tension);
}

// ---------------------------------------------------------------------------
// shadows

void TGDIPlusCanvas::FillSmoothPath(const GraphicsPath& P, TColor AColor, float Position) {
  gdiplus::Graphics* G = GetGraphics();
  if (!G) return;
  PathGradientBrush Brush(&P);
  const Color Shade(Metafiling() ? ToARGB(AColor, 255) : ToARGB(AColor));
  const Color Colors[] = {Metafiling() ? Shade : Color(TransparentWhite), Shade, Shade};
  const REAL Positions[] = {0, Position, 1};
  Brush.SetInterpolationColors(Colors, Positions, 3);
  G->FillPath(&Brush, &P);
}

void TGDIPlusCanvas::DrawShadow(TTeeShadow* Shadow, const TRect& Rect, bool IsEllipse, Integer RoundSize,
                                std::span<const TPoint> Points, double DonutPercent, double StartAngle,
                                double EndAngle) {
  std::unique_ptr<GraphicsPath> P;
  if (!Points.empty()) {
    P = std::make_unique<GraphicsPath>();
    const std::vector<gdiplus::Point> Q = gpPoints(Points);
    P->AddPolygon(Q.data(), INT(Q.size()));
  } else if (RoundSize != 0) {
    P = RoundRectPath(Rect, RoundSize, RoundSize);
  } else if (!IsEllipse) {
    P = RoundRectPath(Rect, ShadowCorner, ShadowCorner);
  } else if (DonutPercent <= 0) {
    P = std::make_unique<GraphicsPath>();
    if (EndAngle - StartAngle != 360) {
      float Start, Sweep;
      PieAngles(StartAngle, EndAngle, Start, Sweep);
      P->AddPie(gpRect(Rect), Start, Sweep);
    } else {
      P->AddEllipse(gpRect(Rect));
    }
  } else {
    constexpr double RadiansPerDegree = std::numbers::pi / 180;
    P = DonutPath((Rect.Left + Rect.Right) / 2, (Rect.Top + Rect.Bottom) / 2, (Rect.Right - Rect.Left) / 2,
                  (Rect.Bottom - Rect.Top) / 2, StartAngle * RadiansPerDegree, EndAngle * RadiansPerDegree,
                  DonutPercent);
  }
  if (Shadow->Smooth()) {
    constexpr float BlurStep = 0.002f, FirstStop = 0.1f;
    FillSmoothPath(*P, TColor(std::max<Integer>(0, Integer(Shadow->Color()))),
                   Shadow->SmoothBlur() * BlurStep + FirstStop);
    return;
  }
  SolidBrush Brush{Color(ToARGB(Shadow->Color(), TransparencyToAlpha(Shadow->Transparency())))};
  if (gdiplus::Graphics* G = GetGraphics()) G->FillPath(&Brush, P.get());
}

// ---------------------------------------------------------------------------
// the finish of a pie slice

void TGDIPlusCanvas::ShapeGradientFill(TEdgeStyle EdgeStyle, Integer Z, const TRect& TopRect,
                                       const TRect& BottomRect, const TRect& DonutRect, Integer StartAngle,
                                       Integer EndAngle, TPoint Centre, bool IsDonut) {
  TTeeGradient Saved{TNotifyEvent()};
  TTeeGradient* Gradient = FBrush->Gradient();
  Saved.Assign(Gradient);
  const TPenStyle SavedPenStyle = FPen->Style();
  FPen->SetStyle(psClear);
  auto at = [&](const TRect& R, Integer D) { return PointFromCircle(R, D, Z); };
  auto setColors = [&](std::initializer_list<std::pair<double, Integer>> Stops) {
    Gradient->Colors()->Clear();
    for (const auto& [Offset, Transparency] : Stops) Gradient->Colors()->Add(Offset, clWhite, Transparency);
  };

  // the glow of the whole slice, centred towards the top-left of TopRect
  IGradientPolygon.clear();
  for (Integer D = 0; D <= 360; ++D) IGradientPolygon.push_back(at(TopRect, D));
  Gradient->SetVisible(true);
  setColors({{0, 0}, {1, 100}});
  Gradient->SetDirection(gdRadial);
  Gradient->SetRadialX((TopRect.Right - TopRect.Left) / -2);
  Gradient->SetRadialY((TopRect.Bottom - TopRect.Top) / -2);
  TPointFloatArray Slice;
  if (!IsDonut) Slice.push_back({float(Centre.X), float(Centre.Y)});
  for (Integer D = StartAngle; D <= EndAngle; ++D) Slice.push_back(at(TopRect, D));
  if (IsDonut)
    for (Integer D = EndAngle; D >= StartAngle; --D) Slice.push_back(at(DonutRect, D));
  PolygonFloat(Slice);

  const bool StartInBand = StartAngle >= BandStart && StartAngle <= BandEnd;
  const bool EndInBand = EndAngle >= BandStart && EndAngle <= BandEnd;
  const bool Covers = StartAngle <= BandStart && EndAngle >= BandEnd;
  if (EdgeStyle != edNone && (Covers || StartInBand || EndInBand)) {
    IGradientPolygon.clear();
    for (Integer D = BandStart; D <= BandEnd; ++D) IGradientPolygon.push_back(at(BottomRect, D));
    for (Integer D = BandEnd; D >= BandStart; --D) IGradientPolygon.push_back(at(TopRect, D));
    if (EdgeStyle == edFlat) {
      setColors({{0, 100}, {0.5, 20}, {1, 100}});
      Gradient->SetDirection(gdTopBottom);
      Gradient->SetAngle(90);
    } else {
      setColors({{0, 0}, {1, 100}});
      Gradient->SetDirection(gdRadial);
      const TRectF B = TeePolygonBoundsF(IGradientPolygon);
      constexpr double Eighth = 0.125;
      Gradient->SetRadialX(-Integer(Round(B.Width() * Eighth)));
      Gradient->SetRadialY(-Integer(Round(B.Height() * Eighth)));
    }
    // a slice starting inside the band ends its band where the slice ends
    const Integer Lo = Covers ? BandStart : StartInBand ? StartAngle : BandStart;
    const Integer Hi = Covers ? BandEnd : StartInBand ? std::min(EndAngle, BandEnd) : EndAngle;
    TPointFloatArray Drawn;
    for (Integer D = Lo; D <= Hi; ++D) Drawn.push_back(at(BottomRect, D));
    for (Integer D = Hi; D >= Lo; --D) Drawn.push_back(at(TopRect, D));
    PolygonFloat(Drawn);
  }

  FPen->SetStyle(SavedPenStyle);
  Gradient->Assign(&Saved);
  IGradientPolygon.clear();
}
