#include "chartlib/canvas/canvas3d.h"

#include "chartlib/canvas/canvasunit.h"
#include "chartlib/canvas/teeblend.h"
#include "platform/rtl/rtlmath.h"
#include "platform/ui/graphics/bitmap.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <memory>
#include <numbers>

namespace {

constexpr double DegToRad = 0.017453292519943295;
constexpr Byte SmoothShadowDarken = 128;
constexpr Byte SmoothShadowBrighten = 32;

Integer rounded(double V) { return Integer(Round(V)); }

// A full turn, within a tolerance that grows with the angles' span.
bool fullCircle(double StartAngle, double EndAngle) {
  const double Span = EndAngle - StartAngle;
  const double Tolerance = std::max(std::min(std::abs(Span), 360.0) * 1e-12, 1e-12);
  return std::abs(Span - 360) <= Tolerance;
}

}  // namespace

// ---------------------------------------------------------------------------
// canvas classes

TCanvas3D* TCanvas3DMeta::CreateCanvas() const { return static_cast<TCanvas3D*>(Create()); }

const TCanvas3DMeta* Canvas3DMeta(TClass C) {
  const auto* Meta = dynamic_cast<const TCanvas3DMeta*>(C);
  assert(Meta && "not a canvas class");
  return Meta;
}

TCanvas3DClass TeeFindCanvasClass(const String& Name) {
  for (TCanvas3DClass C : TeeCanvasClassList())
    if (C->ClassName() == Name) return C;
  return nullptr;
}

// ---------------------------------------------------------------------------
// slots with a body here

void TCanvas3D::BeginGroup(const String&, TTeeTransform*) {}
void TCanvas3D::EndGroup() {}
void TCanvas3D::ShapeGradientFill(TEdgeStyle, Integer, const TRect&, const TRect&, const TRect&, Integer, Integer,
                                  TPoint, bool) {}
bool TCanvas3D::SelectDCBrush() { return false; }
TColor TCanvas3D::GetPixel3D(Integer, Integer, Integer) { TeeAbstractCall(); }
bool TCanvas3D::GetSupports3DText() { TeeAbstractCall(); }
void TCanvas3D::SetPixel3D(Integer, Integer, Integer, TColor) { TeeAbstractCall(); }

void TCanvas3D::DrawShadow(TTeeShadow* Shadow, const TRect& Rect, bool IsEllipse, Integer RoundSize,
                           std::span<const TPoint> Points, double, double StartAngle, double EndAngle) {
  FBrush->SetColor(Shadow->Color());
  FBrush->SetStyle(bsSolid);
  if (FPen->Style() != psClear) {
    FPen->SetStyle(psSolid);
    FPen->SetColor(FBrush->Color());
  }
  if (!Points.empty()) {
    Polygon(Points);
  } else if (IsEllipse) {
    auto Shape = [&] {
      if (fullCircle(StartAngle, EndAngle))
        Ellipse(Rect);
      else
        Pie(Rect, StartAngle, EndAngle);
    };
    if (Shadow->Smooth())
      fillSmoothShadow(Shadow, Shape);
    else
      Shape();
  } else if (RoundSize != 0) {
    RoundRect(Rect, RoundSize, RoundSize);
  } else {
    FillRect(Rect);
  }
}

void TCanvas3D::fillSmoothShadow(TTeeShadow* Shadow, const std::function<void()>& Shape) {
  const TColor Color = Shadow->Color();
  TTeeGradient Saved(nullptr);
  Saved.Assign(Gradient());
  TTeeGradient* G = Gradient();
  G->SetVisible(true);
  G->SetDirection(gdRadial);
  G->SetStartColor(TeeDarkenColor(Color, SmoothShadowDarken));
  // brightening black gives a dark grey: black shadows fade to silver
  G->SetEndColor(Color == clBlack ? clSilver : TeeBrightenColor(Color, SmoothShadowBrighten));
  FPen->SetStyle(psClear);
  struct TRestore {
    TTeeGradient* Target;
    TTeeGradient* Source;
    ~TRestore() { Target->Assign(Source); }
  } Restore{G, &Saved};
  Shape();
}

void TCanvas3D::Calculate2DPosition(Integer&, Integer&, Integer) { TeeAbstractCall(); }
TPoint TCanvas3D::Calculate3DPosition(Integer, Integer, Integer) { TeeAbstractCall(); }
void TCanvas3D::Calculate3DPosition(TPointFloat&, float) { TeeAbstractCall(); }
TRect TCanvas3D::InitWindow(TCanvas*, TView3DOptions*, TColor, bool, const TRect&) { TeeAbstractCall(); }

void TCanvas3D::Assign(TCanvas3D* Source) {
  SetMonochrome(Source->Monochrome());
  F3DOptions = Source->F3DOptions;
  FFontZoom = Source->FFontZoom;
  FPenZoom = Source->FPenZoom;
  FCheckBoxZoom = Source->FCheckBoxZoom;
}

void TCanvas3D::Projection(Integer, const TRect&, const TRect&) { TeeAbstractCall(); }
void TCanvas3D::ShowImage(TCanvas*, TCanvas*, const TRect&) { TeeAbstractCall(); }
bool TCanvas3D::ReDrawBitmap() { TeeAbstractCall(); }
bool TCanvas3D::RenderToBitmap(TBitmap*&, const TRect&) { return false; }
void TCanvas3D::Arrow(bool, TPoint, TPoint, Integer, Integer, Integer, Integer, double) { TeeAbstractCall(); }
void TCanvas3D::ClipCube(const TRect&, Integer, Integer) { TeeAbstractCall(); }
void TCanvas3D::Cone(bool, Integer, Integer, Integer, Integer, Integer, Integer, bool, Integer) { TeeAbstractCall(); }
void TCanvas3D::Cube(Integer, Integer, Integer, Integer, Integer, Integer, bool, Integer) { TeeAbstractCall(); }
void TCanvas3D::Cube(Integer, Integer, Integer, Integer, Integer, Integer, Integer, bool, Integer) {
  TeeAbstractCall();
}
void TCanvas3D::Cylinder(bool, Integer, Integer, Integer, Integer, Integer, Integer, bool) { TeeAbstractCall(); }

void TCanvas3D::Diamond(Integer Left, Integer Top, Integer Right, Integer Bottom, Integer Z0, Integer Z1) {
  const Integer CX = (Left + Right) / 2, CY = (Top + Bottom) / 2;
  const TPoint P[] = {{CX, Top}, {Right, CY}, {CX, Bottom}, {Left, CY}};
  PolygonWithZ(P, (Z0 + Z1) / 2);
}

void TCanvas3D::DisableRotation() {}
void TCanvas3D::EllipseWithZ(Integer, Integer, Integer, Integer, Integer) { TeeAbstractCall(); }
void TCanvas3D::EnableRotation() {}

void TCanvas3D::HorizLine3D(Integer Left, Integer Right, Integer Y, Integer Z) {
  MoveTo3D(Left, Y, Z);
  LineTo3D(Right, Y, Z);
}

void TCanvas3D::RoundRect(const TRect& R, Integer X, Integer Y, Integer Z0, Integer) {
  if (SupportsFullRotation())
    RectangleWithZ(R, Z0);
  else
    RoundRect(CalcRect3D(R, Z0), X, Y, nullptr);
}

void TCanvas3D::VertLine3D(Integer X, Integer Top, Integer Bottom, Integer Z) {
  MoveTo3D(X, Top, Z);
  LineTo3D(X, Bottom, Z);
}

void TCanvas3D::ZLine3D(Integer X, Integer Y, Integer Z0, Integer Z1) {
  MoveTo3D(X, Y, Z0);
  LineTo3D(X, Y, Z1);
}

void TCanvas3D::FrontPlaneBegin() {
  if (IDisabledRotation == 0) DisableRotation();
  ++IDisabledRotation;
}

void TCanvas3D::FrontPlaneEnd() {
  --IDisabledRotation;
  if (IDisabledRotation == 0) EnableRotation();
}

void TCanvas3D::LineWithZ(Integer X0, Integer Y0, Integer X1, Integer Y1, Integer Z) {
  MoveTo3D(X0, Y0, Z);
  LineTo3D(X1, Y1, Z);
}

void TCanvas3D::MoveTo3D(Integer X, Integer Y, Integer Z) { MoveTo(Calculate3DPosition(X, Y, Z)); }
void TCanvas3D::MoveTo3D(float X, float Y, float Z) { MoveTo3D(rounded(X), rounded(Y), rounded(Z)); }
void TCanvas3D::LineTo3D(Integer X, Integer Y, Integer Z) { LineTo(Calculate3DPosition(X, Y, Z)); }
void TCanvas3D::LineTo3D(float X, float Y, float Z) { LineTo3D(rounded(X), rounded(Y), rounded(Z)); }

void TCanvas3D::Pie3D(Integer, Integer, Integer, Integer, Integer, Integer, double, double, bool, bool, Integer,
                      TCustomTeeGradient*, Integer, TEdgeStyle, TTeeTransparency, Integer, bool, bool) {
  TeeAbstractCall();
}
void TCanvas3D::Plane3D(TPoint, TPoint, Integer, Integer) { TeeAbstractCall(); }
void TCanvas3D::PlaneWithZ(TPoint, TPoint, TPoint, TPoint, Integer) { TeeAbstractCall(); }
void TCanvas3D::PlaneFour3D(TFourPoints&, Integer, Integer) { TeeAbstractCall(); }
void TCanvas3D::Polygon3D(std::span<const TPoint3D>) { TeeAbstractCall(); }

void TCanvas3D::Polygon3DConcave(std::span<const TPoint3DFloat> Points, bool Invert) {
  std::vector<TPoint3D> Rounded;
  Rounded.reserve(Points.size());
  for (const TPoint3DFloat& P : Points) Rounded.push_back({rounded(P.x), rounded(P.y), rounded(P.z)});
  Polygon3DConcave(std::span<const TPoint3D>(Rounded), Invert);
}

void TCanvas3D::Polygon3DConcave(std::span<const TPoint3D> Points, bool) { Polygon3D(Points); }

void TCanvas3D::PolygonWithZ(std::span<const TPoint> Points, Integer Z) { Polygon(Calc3DPoints(Points, Z)); }

void TCanvas3D::PolygonConcave(std::span<const TPoint> Points, Integer Z) { PolygonWithZ(Points, Z); }

void TCanvas3D::Polyline(std::span<const TPoint> Points, Integer Z) { Polyline(Calc3DPoints(Points, Z)); }

void TCanvas3D::Pyramid(bool, Integer, Integer, Integer, Integer, Integer, Integer, bool) { TeeAbstractCall(); }
void TCanvas3D::PyramidTrunc(const TRectF& R, double StartZ, double EndZ, double TruncX, double TruncZ,
                             bool TopCover, bool BottomCover) {
  const double CX = (R.Left + R.Right) * 0.5, CZ = (StartZ + EndZ) * 0.5;
  auto At = [this](double X, double Y, double Z) {
    TPointFloat P{float(X), float(Y)};
    Calculate3DPosition(P, float(Z));
    return P;
  };
  // the rectangle in the plane y = Y from (X0, Z0) to (X1, Z1)
  auto Cover = [&](double Y, double X0, double Z0, double X1, double Z1) {
    const TPointFloat P[] = {At(X0, Y, Z0), At(X1, Y, Z0), At(X1, Y, Z1), At(X0, Y, Z1)};
    PolygonFloat(P);
  };
  auto Bottom = [&] {
    if (BottomCover) Cover(R.Bottom, R.Left, StartZ, R.Right, EndZ);
  };
  auto Top = [&] {
    if (TopCover && TruncX != 0) Cover(R.Top, CX - TruncX, CZ - TruncZ, CX + TruncX, CZ + TruncZ);
  };
  // a side is seen when the turn of three of its corners is the expected one;
  // upside down every expectation flips
  const bool Flipped = R.Top > R.Bottom;
  auto Draw = [&](const TPointFloat (&P)[4], int A, int B, int C, bool BackExpected) {
    if (TeeIsBackFaceF(P[A], P[B], P[C]) == (BackExpected != Flipped)) PolygonFloat(P);
  };
  auto ZFace = [&](double ZTop, double ZBottom, bool BackExpected) {
    const TPointFloat P[4] = {At(CX - TruncX, R.Top, ZTop), At(CX + TruncX, R.Top, ZTop),
                              At(R.Right, R.Bottom, ZBottom), At(R.Left, R.Bottom, ZBottom)};
    Draw(P, 1, 2, 3, BackExpected);
  };
  auto XFace = [&](double XTop, double XBottom, bool BackExpected) {
    const TPointFloat P[4] = {At(XTop, R.Top, CZ - TruncZ), At(XTop, R.Top, CZ + TruncZ),
                              At(XBottom, R.Bottom, EndZ), At(XBottom, R.Bottom, StartZ)};
    Draw(P, 3, 2, 1, BackExpected);
  };
  // The corners of a z-face run clockwise on screen when it faces the
  // viewer, those of an x-face (taken backwards) when it faces away: the
  // front face is seen when its corners run clockwise and the back face when
  // they do not, the left face when they run clockwise and the right face
  // when they do not.
  const bool BottomFirst = R.Bottom > R.Top;
  BottomFirst ? Bottom() : Top();
  if (TruncX != 0 || StartZ != EndZ) {
    ZFace(CZ + TruncZ, EndZ, /*BackExpected=*/false);
    XFace(CX - TruncX, R.Left, /*BackExpected=*/true);
    ZFace(CZ - TruncZ, StartZ, /*BackExpected=*/true);
    XFace(CX + TruncX, R.Right, /*BackExpected=*/false);
  } else {
    // a flat triangle in the plane z = cz, seen as a front face
    ZFace(CZ + TruncZ, EndZ, /*BackExpected=*/true);
  }
  BottomFirst ? Top() : Bottom();
}
void TCanvas3D::RectangleWithZ(const TRect&, Integer) { TeeAbstractCall(); }
void TCanvas3D::RectangleY(Integer, Integer, Integer, Integer, Integer) { TeeAbstractCall(); }
void TCanvas3D::RectangleZ(Integer, Integer, Integer, Integer, Integer) { TeeAbstractCall(); }
void TCanvas3D::RotateLabel3D(Integer, Integer, Integer, const String&, double, bool) { TeeAbstractCall(); }
void TCanvas3D::RoundRectWithZ(const TRect& R, Integer, Integer, Integer Z) { RectangleWithZ(R, Z); }
void TCanvas3D::Sphere(Integer, Integer, Integer, double) { TeeAbstractCall(); }

void TCanvas3D::StretchDraw(const TRect& Rect, TGraphic* Graphic, double Pos, TCanvas3DPlane Plane) {
  FPen->SetStyle(psClear);
  std::unique_ptr<TBitmap> Temporary;
  auto* Source = dynamic_cast<TBitmap*>(Graphic);
  if (!Source) {
    Temporary = std::make_unique<TBitmap>();
    Temporary->SetPixelFormat(pf24bit);
    Temporary->Assign(Graphic);
    Source = Temporary.get();
  }
  const TRGBArray Rows = TeeCalcScanLines(Source);
  const Integer W = Source->Width(), H = Source->Height();
  if (W == 0 || H == 0) return;
  const double SX = double(Rect.Right - Rect.Left) / W, SY = double(Rect.Bottom - Rect.Top) / H;
  const TSetDCColorProc SetDCBrushColor = TeeSetDCBrushColorProc();
  const bool UseDCBrush = SetDCBrushColor && SelectDCBrush();
  SetAntiAliasing(false);
  const Integer P = rounded(Pos);
  // a pixel's corner (X, Y) of the picture becomes a chart point on the plane
  auto Corner = [&](Integer X, Integer Y) {
    switch (Plane) {
      case cpX: return Calculate3DPosition(P, Y, X);
      case cpY: return Calculate3DPosition(X, P, Y);
      case cpZ: break;
    }
    return Calculate3DPosition(X, Y, P);
  };
  Integer Y0 = Rect.Top;
  for (Integer Row = 0; Row < H; ++Row) {
    const Integer Y1 = Rect.Top + rounded(SY * (Row + 1));
    Integer X0 = Rect.Left;
    for (Integer Col = 0; Col < W; ++Col) {
      const Integer X1 = Rect.Left + rounded(SX * (Col + 1));
      const TRGB& Pixel = Rows[Row][Col];
      const TColor Color = TColor(gdi::RGB(Pixel.Red, Pixel.Green, Pixel.Blue));
      if (UseDCBrush)
        SetDCBrushColor(Handle(), gdi::COLORREF(Color));
      else
        FBrush->SetColor(Color);
      const TPoint Quad[] = {Corner(X0, Y0), Corner(X1, Y0), Corner(X1, Y1), Corner(X0, Y1)};
      Polygon(Quad);
      X0 = X1;
    }
    Y0 = Y1;
  }
  SetAntiAliasing(true);
  // the stock DC brush was selected behind the reference canvas's back
  if (UseDCBrush) FCanvas->Refresh();
}

void TCanvas3D::Surface3D(TTeeCanvasSurfaceStyle, bool, bool, bool, Integer, Integer, TTeeCanvasCalcPoints,
                          TTeeCachedObject&) {
  TeeAbstractCall();
}
void TCanvas3D::TextOut3D(Integer, Integer, Integer, const String&, bool) { TeeAbstractCall(); }
void TCanvas3D::Triangle3D(const TTrianglePoints3D&, const TTriangleColors3D&) { TeeAbstractCall(); }
void TCanvas3D::Triangles(std::span<const TPoint3D>, bool, TTeeCachedObject&) {}
void TCanvas3D::TriangleWithZ(TPoint, TPoint, TPoint, Integer) { TeeAbstractCall(); }

void TCanvas3D::TriSurface(Integer NumTriangles, bool, bool, TTeeBlend* Blend, TTeeTransparency Transparency,
                           TTeeCanvasTriPoints CalcPoints, TTeeCachedObject&) {
  for (Integer Index = 1; Index <= NumTriangles; ++Index) {
    TTrianglePoints3D Points;
    TTriangleColors3D Colors{};
    TTriangleIndexes Indexes{};
    CalcPoints(Index, Points, Colors, Indexes);
    if (Blend) {
      TTrianglePoints Screen;
      TrianglePointsTo2D(Points, Screen);
      Blend->SetRectangle(TeeTriangleBounds(Screen));
    }
    Triangle3D(Points, Colors);
    if (Blend) Blend->DoBlend(Transparency);
  }
}

// ---------------------------------------------------------------------------
// projections of chart points

TRect TCanvas3D::CalcRect3D(const TRect& R, Integer Z) {
  const TPoint A = Calculate3DPosition(R.Left, R.Top, Z), B = Calculate3DPosition(R.Right, R.Bottom, Z);
  return {A.X, A.Y, B.X, B.Y};
}

TPointArray TCanvas3D::Calc3DPoints(std::span<const TPoint> Points, Integer Z) {
  TPointArray Result;
  Result.reserve(Points.size());
  for (const TPoint& P : Points) Result.push_back(Calculate3DPosition(P.X, P.Y, Z));
  return Result;
}

TPointFloatArray TCanvas3D::Calc3DFloatPoints(std::span<const TPointFloat> Points, Integer Z) {
  TPointFloatArray Result(Points.begin(), Points.end());
  for (TPointFloat& P : Result) Calculate3DPosition(P, float(Z));
  return Result;
}

TPointArray TCanvas3D::CubeHull(const TRect& Rect, Integer MinZ, Integer MaxZ) {
  const TPoint3D Corners[] = {{Rect.Left, Rect.Bottom, MinZ}, {Rect.Left, Rect.Bottom, MaxZ},
                              {Rect.Left, Rect.Top, MaxZ},    {Rect.Right, Rect.Top, MaxZ},
                              {Rect.Right, Rect.Top, MinZ},   {Rect.Right, Rect.Bottom, MinZ},
                              {Rect.Left, Rect.Top, MinZ},    {Rect.Right, Rect.Bottom, MaxZ}};
  TPointArray Result;
  for (const TPoint3D& C : Corners) Result.push_back(Calculate3DPosition(C));
  ConvexHull(Result);
  return Result;
}

void TCanvas3D::FourPointsFromRect(const TRect& R, Integer Z, TFourPoints& P) {
  P = {Calculate3DPosition(R.Left, R.Top, Z), Calculate3DPosition(R.Right, R.Top, Z),
       Calculate3DPosition(R.Right, R.Bottom, Z), Calculate3DPosition(R.Left, R.Bottom, Z)};
}

TRect TCanvas3D::RectFromRectZ(const TRect& R, Integer Z) {
  TFourPoints P;
  FourPointsFromRect(R, Z, P);
  return TeePolygonBounds(P);
}

TPointFloat TCanvas3D::PointFromCircle(const TRect& Rect, double Degrees, Integer ZPos, bool ClockWise) {
  const Integer CX = (Rect.Left + Rect.Right) / 2, CY = (Rect.Top + Rect.Bottom) / 2;
  const double A = Degrees * DegToRad;
  const double DY = (Rect.Bottom - Rect.Top) * 0.5 * std::sin(A);
  TPointFloat P{float(CX + (Rect.Right - Rect.Left) * 0.5 * std::cos(A)), float(ClockWise ? CY + DY : CY - DY)};
  if (ZPos != 0) Calculate3DPosition(P, float(ZPos));
  return P;
}

TPoint TCanvas3D::PointFromSpiral(const TRect& Rect, double Degrees, double Twist) {
  const Integer CX = (Rect.Left + Rect.Right) / 2, CY = (Rect.Top + Rect.Bottom) / 2;
  const double A = Degrees * DegToRad;
  const double R = std::min((Rect.Right - Rect.Left) / 2.0, (Rect.Bottom - Rect.Top) / 2.0) * std::exp(A * Twist);
  return {CX + rounded(R * std::cos(A)), CY + rounded(R * std::sin(A))};
}

void TCanvas3D::TrianglePointsTo2D(const TTrianglePoints3D& P, TTrianglePoints& Result) {
  for (int I = 0; I < 3; ++I) Result[I] = Calculate3DPosition(P[I]);
}

// ---------------------------------------------------------------------------
// shapes built on the virtual operations

void TCanvas3D::Arc(Integer Left, Integer Top, Integer Right, Integer Bottom, Integer StartX, Integer StartY,
                    Integer EndX, Integer EndY, Integer Z) {
  const TRect R = CalcRect3D({Left, Top, Right, Bottom}, Z);
  const TPoint S = Calculate3DPosition(StartX, StartY, Z), E = Calculate3DPosition(EndX, EndY, Z);
  Arc(R.Left, R.Top, R.Right, R.Bottom, S.X, S.Y, E.X, E.Y);
}

TPointArray TCanvas3D::GetArrowPoints(float ArrowPercent, TPoint FromPoint, TPoint ToPoint, Integer ArrowWidth,
                                      Integer ArrowHeight, Integer Z) {
  TPointArray P = TTeeCanvas::GetArrowPoints(ArrowPercent, FromPoint, ToPoint, ArrowWidth, ArrowHeight);
  for (TPoint& Pt : P) Pt = Calculate3DPosition(Pt.X, Pt.Y, Z);
  return P;
}

void TCanvas3D::AssignFont3D(TTeeFont* AFont) {
  const bool Zoomed = !GetSupports3DText() && F3DOptions && F3DOptions->ZoomText() != ztNo &&
                      F3DOptions->ZoomFloat() != 100;
  if (Zoomed)
    AssignFontSize(AFont, float(AFont->SizeFloat() * 0.01 * F3DOptions->ZoomFloat()));
  else
    AssignFont(AFont);
}

void TCanvas3D::ellipsePoints(TCirclePoints& P, double X1, double Y1, double X2, double Y2, double Step,
                              double Angle) {
  const double CX = (X1 + X2) * 0.5, CY = (Y1 + Y2) * 0.5, RX = (X2 - X1) * 0.5, RY = (Y2 - Y1) * 0.5;
  const double SA = std::sin(Angle * DegToRad), CA = std::cos(Angle * DegToRad);
  for (Integer I = 0; I < TeeCirclePointCount; ++I) {
    const double U = RX * std::sin(I * Step), V = RY * std::cos(I * Step);
    P[I] = {float(CX + U * CA + V * SA), float(CY - U * SA + V * CA)};
  }
}

void TCanvas3D::drawEllipsePoints(const TCirclePoints& P, Integer Z) {
  if (FBrush->Style() != bsClear)
    PolygonFloatWithZ(P, Z);
  else if (FPen->Style() != psClear)
    PolylineWithZ(P, Z);
}

void TCanvas3D::RotatedEllipse(Integer Left, Integer Top, Integer Right, Integer Bottom, Integer Z, double Angle) {
  TCirclePoints P;
  // the last of the points repeats the first, closing the outline
  ellipsePoints(P, Left, Top, Right, Bottom, 2 * std::numbers::pi / (TeeCirclePointCount - 1), Angle);
  drawEllipsePoints(P, Z);
}

void TCanvas3D::PolygonFloatWithZ(std::span<const TPointFloat> Points, Integer Z) {
  PolygonFloat(Calc3DFloatPoints(Points, Z));
}

void TCanvas3D::PolylineWithZ(std::span<const TPointFloat> Points, Integer Z) {
  PolylineFloat(Calc3DFloatPoints(Points, Z));
}
