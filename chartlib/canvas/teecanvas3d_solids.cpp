// The GDI canvas's 3D primitives and solids: planes, rectangles, polygons,
// triangles and arrows at a depth; cubes, cylinders, cones, pyramids,
// spheres and 3D ellipses.
//
// Every shape is given in chart space and projected point by point; faces
// are drawn with the 2D operations, so a visible brush gradient fills them.
// A solid skips a face whose projected corners turn the wrong way (it faces
// away); under a clear brush a cube's far faces show through, so it draws
// them all.
#include "chartlib/canvas/teecanvas3d.h"

#include "platform/rtl/rtlmath.h"

#include <cmath>
#include <numbers>

namespace {

// How much the sides of a solid are darkened.
constexpr Byte StrongShade = 128;
constexpr Byte LightShade = 64;
constexpr Integer CylinderSides = 32;

// The turn of a, b, c on screen: positive when they run counter-clockwise
// (y grows downwards), as the front of a face seen from the viewer does.
Int64 turn(TPoint A, TPoint B, TPoint C) {
  return Int64(A.X - B.X) * (C.Y - B.Y) - Int64(C.X - B.X) * (A.Y - B.Y);
}

Integer rounded(double V) { return Integer(Round(V)); }

// The angle between two of the points of a 3D ellipse, in single
// precision; the last point repeats the first.
const double EllipseStep = float(2 * std::numbers::pi / (TeeCirclePointCount - 1));

}  // namespace

TColor TTeeCanvas3D::faceColor() { return FBrush->Style() == bsSolid ? FBrush->Color() : BackColor(); }

void TTeeCanvas3D::drawFour(TPoint A, TPoint B, TPoint C, TPoint D) {
  IPoints = {A, B, C, D};
  PolygonFour();
}

// ---------------------------------------------------------------------------
// primitives

void TTeeCanvas3D::PlaneWithZ(TPoint P1, TPoint P2, TPoint P3, TPoint P4, Integer Z) {
  for (TPoint* P : {&P1, &P2, &P3, &P4}) Calc3DPos(P->X, P->Y, Z);
  drawFour(P1, P2, P3, P4);
}

void TTeeCanvas3D::RectangleWithZ(const TRect& Rect, Integer Z) {
  FourPointsFromRect(Rect, Z, IPoints);
  PolygonFour();
}

void TTeeCanvas3D::RectangleY(Integer Left, Integer Top, Integer Right, Integer Z0, Integer Z1) {
  TPoint A, B, C, D;
  Calc3DPoint(Left, Top, Z0, A);
  Calc3DPoint(Right, Top, Z0, B);
  Calc3DPoint(Right, Top, Z1, C);
  Calc3DPoint(Left, Top, Z1, D);
  drawFour(A, B, C, D);
}

void TTeeCanvas3D::RectangleZ(Integer Left, Integer Top, Integer Bottom, Integer Z0, Integer Z1) {
  TPoint A, B, C, D;
  Calc3DPoint(Left, Top, Z0, A);
  Calc3DPoint(Left, Top, Z1, B);
  Calc3DPoint(Left, Bottom, Z1, C);
  Calc3DPoint(Left, Bottom, Z0, D);
  drawFour(A, B, C, D);
}

void TTeeCanvas3D::Plane3D(TPoint A, TPoint B, Integer Z0, Integer Z1) {
  TPoint P0, P1, P2, P3;
  Calc3DPoint(A.X, A.Y, Z0, P0);
  Calc3DPoint(B.X, B.Y, Z0, P1);
  Calc3DPoint(B.X, B.Y, Z1, P2);
  Calc3DPoint(A.X, A.Y, Z1, P3);
  drawFour(P0, P1, P2, P3);
}

void TTeeCanvas3D::PlaneFour3D(TFourPoints& Points, Integer Z0, Integer Z1) {
  TFourPoints P = Points;
  Calc3DPos(P[0].X, P[0].Y, Z0);
  Calc3DPos(P[1].X, P[1].Y, Z0);
  Calc3DPos(P[2].X, P[2].Y, Z1);
  Calc3DPos(P[3].X, P[3].Y, Z1);
  drawFour(P[0], P[1], P[2], P[3]);
}

void TTeeCanvas3D::Polygon3D(std::span<const TPoint3D> Points) {
  TPointArray P;
  P.reserve(Points.size());
  for (const TPoint3D& Pt : Points) P.push_back(Calculate3DPosition(Pt));
  Polygon(P);
}

void TTeeCanvas3D::TriangleWithZ(TPoint P1, TPoint P2, TPoint P3, Integer Z) {
  const TPoint P[] = {Calculate3DPosition(P1, Z), Calculate3DPosition(P2, Z), Calculate3DPosition(P3, Z)};
  Polygon(P);
}

void TTeeCanvas3D::Triangle3D(const TTrianglePoints3D& Points, const TTriangleColors3D& Colors) {
  TTrianglePoints P;
  TrianglePointsTo2D(Points, P);
  if (FBrush->Style() != bsClear) FBrush->SetColor(Colors[0]);
  Polygon(P);
}

void TTeeCanvas3D::Surface3D(TTeeCanvasSurfaceStyle, bool, bool, bool, Integer, Integer, TTeeCanvasCalcPoints,
                             TTeeCachedObject&) {}

void TTeeCanvas3D::Arrow(bool Filled, TPoint FromPoint, TPoint ToPoint, Integer ArrowWidth, Integer ArrowHeight,
                         Integer Z0, Integer Z1, double ArrowPercent) {
  const Integer Z = (Z0 + Z1) / 2;
  const TPointArray P = GetArrowPoints(float(ArrowPercent), FromPoint, ToPoint, ArrowWidth, ArrowHeight, Z);
  if (P.empty()) return;
  if (Filled) {
    Polygon(P);
    return;
  }
  enum { HeadCorner = 3, Tip = 4, OtherHeadCorner = 5 };
  Line(Calculate3DPosition(FromPoint, Z), P[Tip]);
  Line(P[Tip], P[OtherHeadCorner]);
  Line(P[Tip], P[HeadCorner]);
}

// ---------------------------------------------------------------------------
// solids

void TTeeCanvas3D::Cube(Integer Left, Integer Right, Integer Top, Integer Bottom, Integer Z0, Integer Z1,
                        bool DarkSides, Integer) {
  const TColor F = faceColor();
  TPoint LT0, RT0, RB0, LB0, LT1, RT1, RB1, LB1;
  Calc3DPoint(Left, Top, Z0, LT0);
  Calc3DPoint(Right, Top, Z0, RT0);
  Calc3DPoint(Right, Bottom, Z0, RB0);
  Calc3DPoint(Left, Bottom, Z0, LB0);
  Calc3DPoint(Left, Top, Z1, LT1);
  Calc3DPoint(Right, Top, Z1, RT1);
  Calc3DPoint(Right, Bottom, Z1, RB1);
  Calc3DPoint(Left, Bottom, Z1, LB1);
  const bool Clear = FBrush->Style() == bsClear;
  // a side, shaded from the face colour to its darker end with DarkSides
  auto Side = [&](TGradientDirection Direction, Byte Shade, TPoint A, TPoint B, TPoint C, TPoint D) {
    TTeeGradient* G = DarkSides ? Gradient() : nullptr;
    if (G) {
      G->SetDirection(Direction);
      G->SetStartColor(F);
      G->SetEndColor(TeeDarkenColor(F, Shade));
      G->SetVisible(true);
    }
    drawFour(A, B, C, D);
    if (G) G->SetVisible(false);
  };
  if (Clear || turn(LB0, RB0, RT0) > 0)
    drawFour(LT0, RT0, RB0, LB0);
  else
    drawFour(LT1, RT1, RB1, LB1);
  if (Clear || turn(RB0, RB1, RT1) > 0) Side(gdLeftRight, StrongShade, RT0, RT1, RB1, RB0);
  if (Clear || turn(LB0, LT0, LT1) > 0) Side(gdRightLeft, StrongShade, LT0, LT1, LB1, LB0);
  if (Clear || turn(LT0, RT0, RT1) > 0) Side(gdBottomTop, LightShade, LT0, RT0, RT1, LT1);
  if (Clear || turn(RB0, RB1, LB1) < 0) Side(gdTopBottom, LightShade, LB0, LB1, RB1, RB0);
}

void TTeeCanvas3D::Cube(Integer Left, Integer Right, Integer Top, Integer Bottom, Integer Z0, Integer Z1, Integer,
                        bool DarkSides, Integer RoundSize) {
  Cube(Left, Right, Top, Bottom, Z0, Z1, DarkSides, RoundSize);
}

void TTeeCanvas3D::Cylinder(bool Vertical, Integer Left, Integer Top, Integer Right, Integer Bottom, Integer Z0,
                            Integer Z1, bool Dark3D) {
  constexpr Integer WholeCylinder = 100;
  DrawCylinderCone(Vertical, Left, Top, Right, Bottom, Z0, Z1, Dark3D, WholeCylinder);
}

void TTeeCanvas3D::Cone(bool Vertical, Integer Left, Integer Top, Integer Right, Integer Bottom, Integer Z0,
                        Integer Z1, bool Dark3D, Integer ConePercent) {
  DrawCylinderCone(Vertical, Left, Top, Right, Bottom, Z0, Z1, Dark3D, ConePercent);
}

void TTeeCanvas3D::DrawCylinderCone(bool Vertical, Integer Left, Integer Top, Integer Right, Integer Bottom,
                                    Integer Z0, Integer Z1, bool Dark3D, Integer ConePercent) {
  using TRing = std::array<TPointFloat, CylinderSides>;
  Integer RZ = (Z1 - Z0) / 2;
  const Integer ZC = (Z1 + Z0) / 2;
  Integer R = Vertical ? (Right - Left) / 2 : (Bottom - Top) / 2;
  const Integer C = Vertical ? (Right + Left) / 2 : (Bottom + Top) / 2;
  auto Project = [this](Integer X, Integer Y, Integer Z) {
    TPointFloat P{float(X), float(Y)};
    Calculate3DPosition(P, float(Z));
    return P;
  };
  // the ring of the axis position At (y when vertical, x otherwise), projected
  auto Ring = [&](Integer At) {
    TRing P;
    for (Integer I = 0; I < CylinderSides; ++I) {
      const double Theta = I * 2 * std::numbers::pi / CylinderSides;
      const Integer Across = C + rounded(R * std::sin(Theta)), Z = ZC - rounded(RZ * std::cos(Theta));
      P[I] = Vertical ? Project(Across, At, Z) : Project(At, Across, Z);
    }
    return P;
  };
  const TRing Base = Ring(Vertical ? Bottom : Left);
  const bool HasTop = ConePercent != 0;
  TRing Top2 = Base;
  if (HasTop) {
    if (ConePercent != 100) {
      R = rounded(R * ConePercent * 0.01);
      RZ = rounded(RZ * ConePercent * 0.01);
    }
    Top2 = Ring(Vertical ? Top : Right);
  }
  const TRing& A = Top2;
  bool CapLast;
  if (Vertical) {
    CapLast = Bottom < Top;
  } else {
    const TPoint P0 = Calculate3DPosition(0, 0, 0), P1 = Calculate3DPosition(0, 10, 0),
                 P2 = Calculate3DPosition(0, 10, 10);
    CapLast = TeeIsBackFace(P0, P1, P2) != (Right < Left);
  }
  if (HasTop && !CapLast) PolygonFloat(A);

  // the outline: ring A from its leftmost (topmost) point round to its
  // rightmost (bottommost), then back along the base ring or to the apex
  auto Along = [Vertical](TPointFloat P) { return Vertical ? P.x : P.y; };
  Integer Lo = 0, Hi = 0;
  for (Integer I = 1; I < CylinderSides; ++I) {
    if (Along(A[I]) < Along(A[Lo])) Lo = I;
    if (Along(A[I]) > Along(A[Hi])) Hi = I;
  }
  TPointFloatArray Outline;
  for (Integer I = Lo;; I = (I + 1) % CylinderSides) {
    Outline.push_back(A[I]);
    if (I == Hi) break;
  }
  if (HasTop) {
    for (Integer I = Hi;; I = (I + CylinderSides - 1) % CylinderSides) {
      Outline.push_back(Base[I]);
      if (I == Lo) break;
    }
  } else {
    Outline.push_back(Vertical ? Project(C, Top, ZC) : Project(Right, C, ZC));
  }
  const TColor Color = FBrush->Color();
  TTeeGradient* G = Gradient();
  G->SetMidColor(clNone);
  G->SetStartColor(Dark3D ? TeeBrightenColor(Color, LightShade) : Color);
  G->SetEndColor(TeeDarkenColor(Color, Dark3D ? StrongShade : LightShade));
  G->SetDirection(Vertical ? gdLeftRight : gdTopBottom);
  G->SetVisible(true);
  PolygonFloat(Outline);
  if (CapLast) PolygonFloat(A);
}

void TTeeCanvas3D::Pyramid(bool Vertical, Integer Left, Integer Top, Integer Right, Integer Bottom, Integer Z0,
                           Integer Z1, bool DarkSides) {
  const TColor F = faceColor();
  auto Darken = [&](Byte Shade) {
    if (DarkSides) SetDarkBrushColor(F, Shade);
  };
  auto Triangle = [this](TPoint A, TPoint B, TPoint C) {
    const TPoint P[] = {A, B, C};
    Polygon(P);
  };
  auto P = [this](Integer X, Integer Y, Integer Z) { return Calculate3DPosition(X, Y, Z); };
  // a face whose turn is as Facing expects is seen
  auto Seen = [](bool Facing, TPoint A, TPoint B, TPoint C) { return Facing != TeeIsBackFace(A, B, C); };
  if (Vertical) {
    const bool Up = Top < Bottom;
    const TPoint A = P(Left, Bottom, Z0), B = P(Right, Bottom, Z0), C = P(Left, Bottom, Z1);
    if (Top != Bottom) {
      const TPoint T = P((Left + Right) / 2, Top, (Z0 + Z1) / 2), D = P(Right, Bottom, Z1);
      Triangle(A, T, B);
      if (Seen(Up, A, T, C)) Triangle(A, T, C);
      Darken(StrongShade);
      if (Seen(!Up, B, T, D)) Triangle(B, T, D);
      if (Up && TeeIsBackFace(T, C, D)) Triangle(T, C, D);
    }
    if (Seen(!Up, A, B, C)) {
      Darken(LightShade);
      RectangleY(Left, Bottom, Right, Z0, Z1);
    }
    return;
  }
  const bool ToRight = Left < Right;
  const TPoint A = P(Left, Top, Z0), B = P(Left, Bottom, Z0), C = P(Left, Top, Z1);
  if (Left != Right) {
    const TPoint T = P(Right, (Top + Bottom) / 2, (Z0 + Z1) / 2), D = P(Left, Bottom, Z1);
    Triangle(A, T, B);
    if (Seen(ToRight, C, T, D)) Triangle(C, T, D);
    Darken(LightShade);
    if (Seen(ToRight, A, T, C)) Triangle(A, T, C);
    if (Seen(ToRight, D, T, B)) Triangle(D, T, B);
  }
  if (Seen(!ToRight, A, B, C)) {
    Darken(StrongShade);
    RectangleZ(Left, Top, Bottom, Z0, Z1);
  }
}

void TTeeCanvas3D::Sphere(Integer X, Integer Y, Integer Z, double Radius) {
  const Integer R = rounded(Radius);
  EllipseWithZ(X - R, Y - R, X + R, Y + R, Z);
}

void TTeeCanvas3D::EllipseWithZ(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer Z) {
  if (FIsOrthogonal) {
    Ellipse(CalcRect3D({X1, Y1, X2, Y2}, Z));
  } else if (FIs3D) {
    TCirclePoints P;
    ellipsePoints(P, X1, Y1, X2, Y2, EllipseStep);
    drawEllipsePoints(P, Z);
  } else {
    // the flat ellipse covers its box's last row and column too
    Ellipse(X1, Y1, X2 + 1, Y2 + 1);
  }
}

void TTeeCanvas3D::GetCirclePoints(TCirclePoints& P, Integer X1, Integer Y1, Integer X2, Integer Y2, Integer Z) {
  ellipsePoints(P, X1, Y1, X2, Y2, EllipseStep);
  for (TPointFloat& Pt : P) Calculate3DPosition(Pt, float(Z));
}
