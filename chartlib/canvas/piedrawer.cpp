// The GDI canvas's 3D pie slice and the private drawer it uses.
//
// A slice lies flat in the chart: its top ellipse is the box around the
// centre, its bottom ellipse the same box Z1 - Z0 pixels lower, and every
// point is projected at that depth.  Angles are whole degrees counter-
// clockwise from three o'clock.  The pieces:
//   bottom face   only under transparency, first;
//   inner side    the hole's wall (donut);
//   start, end    the radial walls from the centre (or hole) to the rim;
//   outer side    the curved wall between the top and bottom ellipses, only
//                 the part below the centre unless the slice is transparent;
//   bevel         a band between the top face and the outer side;
//   top face      last.
// Which wall hides which depends on where the ends lie against the centre,
// so DrawSides chooses one of seven orders.
#include "chartlib/canvas/teecanvas3d.h"

#include "platform/rtl/rtlmath.h"
#include "platform/rtl/scopeexit.h"
#include "platform/ui/graphics/paths.h"

#include <algorithm>

namespace {

constexpr double RadToDeg = 57.29577951308232;
constexpr Byte DarkSideShade = 32;
constexpr Integer FullTurn = 360;
constexpr Integer HalfTurn = 180;

TRect movedDown(const TRect& R, Integer DY) { return {R.Left, R.Top + DY, R.Right, R.Bottom + DY}; }

TPoint rounded(TPointFloat P) { return {Integer(Round(P.x)), Integer(Round(P.y))}; }

// The geometry of one slice, and its pieces.  Lives for one Pie3D call.
class TPieDrawer {
public:
  TPieDrawer(TTeeCanvas3D* Canvas, bool UsingArcs, Integer BevelBright, bool BevelBorder, bool HideSides)
      : ICanvas(Canvas),
        Pie3DUsingArcs(UsingArcs),
        BevelBright(BevelBright),
        BevelBorder(BevelBorder),
        HideSides(HideSides) {}

  void SetDonut(const TRect& Box) {
    z0DonutRect = Box;
    z1DonutRect = movedDown(Box, zPos);
    startD0 = pointAt(z0DonutRect, iStartAngle);
    endD0 = pointAt(z0DonutRect, iEndAngle);
    startD1 = pointAt(z1DonutRect, iStartAngle);
    endD1 = pointAt(z1DonutRect, iEndAngle);
    isDonut = true;
  }

  void SetBevel(const TRect& Box, Integer Height) {
    z0BevelRect = Box;
    z1BevelRect = movedDown(z0Rect, Height);
    startB0 = pointAt(z0BevelRect, iStartAngle);
    endB0 = pointAt(z0BevelRect, iEndAngle);
    startB1 = pointAt(z1BevelRect, iStartAngle);
    endB1 = pointAt(z1BevelRect, iEndAngle);
    hasBevel = true;
  }

  void CalcPoints(Integer XCenter, Integer YCenter) {
    middle0 = ICanvas->Calculate3DPosition(XCenter, YCenter, zPos);
    middle1 = ICanvas->Calculate3DPosition(XCenter, YCenter + zPos, zPos);
    start0 = pointAt(z0Rect, iStartAngle);
    end0 = pointAt(z0Rect, iEndAngle);
    start1 = pointAt(z1Rect, iStartAngle);
    end1 = pointAt(z1Rect, iEndAngle);
    sweepAngle = iEndAngle - iStartAngle;
  }

  // A closed band: RectA's ellipse from A to B, then RectB's back to A.
  void DrawBand(Integer A, Integer B, const TRect& RectA, const TRect& RectB) {
    list.clear();
    addArc(RectA, A, B);
    addArc(RectB, B, A);
    ICanvas->PolygonFloat(list);
  }

  void DrawFace(Integer A, Integer B, bool UseBevel, TPoint Middle, const TRect& Rect, const TRect& DonutRect) {
    const TPointFloat Centre{float(Middle.X), float(Middle.Y)};
    const bool ThroughCentre = !isDonut && !Full360;
    list.clear();
    if (ThroughCentre) list.push_back(Centre);
    addArc(UseBevel ? z0BevelRect : Rect, A, B);
    if (isDonut) addArc(DonutRect, B, A);
    if (ThroughCentre) list.push_back(Centre);
    ICanvas->PolygonFloat(list);
  }

  void DrawTop() {
    if (Pie3DUsingArcs && drawTopPath()) return;
    DrawFace(iStartAngle, iEndAngle, hasBevel, middle0, z0Rect, z0DonutRect);
  }

  void DrawBottom() {
    if (drawEntirePie) DrawFace(iStartAngle, iEndAngle, /*UseBevel=*/false, middle1, z1Rect, z1DonutRect);
  }

  void DrawSides(Integer A, Integer B) {
    if (A == B) return;
    const Integer MX = middle0.X, SX = start0.X, EX = end0.X;
    const bool Wide = B - A > HalfTurn;
    auto I = [&] { DrawInnerSide(A, B); };
    auto S = [&] { DrawStartSide(); };
    auto E = [&] { DrawEndSide(); };
    auto O = [&] { DrawOuterSide(A, B); };
    if (EX > MX) {
      if (SX < MX) {
        I(), S(), E();
        if (Wide)
          DrawOuterSide(std::max(A, HalfTurn), std::min(B, FullTurn));
        else
          O();
      } else if (Wide) {
        I(), S(), E(), O();
      } else {
        E(), I(), O(), S();
      }
    } else if (SX < MX) {
      if (Wide)
        I(), E(), S(), O();
      else
        S(), I(), O(), E();
    } else if (Wide) {
      I(), E(), O(), S();
    } else {
      I(), O(), S(), E();
    }
  }

  void DrawOuterSide(Integer A, Integer B);

  void DrawInnerSide(Integer A, Integer B) {
    if (!isDonut || HideSides) return;
    if (drawEntirePie || start0.Y < middle0.Y || end0.Y < middle0.Y || sweepAngle >= HalfTurn)
      DrawBand(A, B, z0DonutRect, z1DonutRect);
  }

  void DrawStartSide() { drawRadialSide(start0, start1, startD0, startD1, startB0, startB1); }
  void DrawEndSide() { drawRadialSide(end0, end1, endD0, endD1, endB0, endB1); }

  void DrawBevel(Integer A, Integer B) {
    if (!hasBevel) return;
    TTeeBrush* Brush = ICanvas->Brush();
    if (BevelBright > 0)
      Brush->SetColor(TeeBrightenColor(Brush->Color(), shade(BevelBright)));
    else if (BevelBright < 0)
      Brush->SetColor(TeeDarkenColor(Brush->Color(), shade(-BevelBright)));
    if (!BevelBorder) ICanvas->Pen()->SetStyle(psClear);
    DrawBand(A, B < A ? B + FullTurn : B, z0BevelRect, z1BevelRect);
  }

  void DrawEdge(TEdgeStyle EdgeStyle) {
    const TRect& Top = hasBevel ? z0BevelRect : z0Rect;
    const TRect& Bottom = hasBevel ? z1BevelRect : z1Rect;
    ICanvas->ShapeGradientFill(EdgeStyle, zPos, Top, Bottom, z0DonutRect, iStartAngle, iEndAngle, middle0, isDonut);
  }

  TRect z0Rect, z1Rect;
  TRect z0DonutRect, z1DonutRect;
  TRect z0BevelRect, z1BevelRect;
  Integer zPos = 0;
  TPointFloatArray list;
  TPoint middle0, middle1;
  TPoint start0, end0, start1, end1;
  TPoint startD0, endD0, startD1, endD1;
  TPoint startB0, endB0, startB1, endB1;
  Integer sweepAngle = 0;
  bool isDonut = false;
  bool hasBevel = false;
  bool drawEntirePie = false;
  bool iDrawSides = false;
  TColor OldColor = clNone;
  Integer iStartAngle = 0;
  Integer iEndAngle = 0;
  TTeeCanvas3D* ICanvas;
  bool Pie3DUsingArcs;
  Integer BevelBright;
  bool BevelBorder;
  bool HideSides;
  bool Full360 = false;

private:
  static Byte shade(Integer Amount) { return Byte(std::min(Amount, 255)); }

  TPointFloat floatAt(const TRect& R, Integer Degrees) { return ICanvas->PointFromCircle(R, Degrees, zPos); }
  TPoint pointAt(const TRect& R, Integer Degrees) { return rounded(floatAt(R, Degrees)); }

  // R's ellipse at every whole degree from A to B, both included.
  void addArc(const TRect& R, Integer A, Integer B) {
    const Integer Step = B < A ? -1 : 1;
    for (Integer D = A;; D += Step) {
      list.push_back(floatAt(R, D));
      if (D == B) break;
    }
  }

  void drawRadialSide(TPoint P0, TPoint P1, TPoint D0, TPoint D1, TPoint B0, TPoint B1) {
    if (sweepAngle >= FullTurn || !(drawEntirePie || iDrawSides)) return;
    const TPoint Inner0 = isDonut ? D0 : middle0, Inner1 = isDonut ? D1 : middle1;
    if (hasBevel) {
      const TPoint P[] = {Inner0, B0, B1, P1, Inner1};
      ICanvas->Polygon(P);
      return;
    }
    ICanvas->IPoints = {Inner0, P0, P1, Inner1};
    ICanvas->PolygonFour();
  }

  // An arc along R (projected at the slice's depth) from From to To on the
  // open path; skipped when the two points meet.
  void arcTo(const TRect& R, TPoint From, TPoint To, bool ClockWise) {
    if (From == To) return;
    const TRect P = ICanvas->CalcRect3D(R, zPos);
    ICanvas->ArcTo(P.Left, P.Top, P.Right, P.Bottom, From.X, From.Y, To.X, To.Y, ClockWise);
  }

  // The top face as a path with arcs; false when no path could be begun.
  bool drawTopPath() {
    const gdi::HDC DC = ICanvas->Handle();
    if (!beginPath(DC)) return false;
    const TPoint Begin = isDonut ? startD0 : middle0;
    gdi::MoveToEx(DC, Begin.X, Begin.Y, nullptr);
    gdi::LineTo(DC, start0.X, start0.Y);
    if (hasBevel)
      arcTo(z0BevelRect, startB0, endB0, /*ClockWise=*/false);
    else
      arcTo(z0Rect, start0, end0, /*ClockWise=*/false);
    if (isDonut) {
      gdi::LineTo(DC, endD0.X, endD0.Y);
      arcTo(z0DonutRect, endD0, startD0, /*ClockWise=*/true);
    } else {
      gdi::LineTo(DC, middle0.X, middle0.Y);
    }
    endPath(DC);
    return true;
  }

  // Paths are stroked and filled on the DC itself: the reference canvas's
  // pen and brush are selected first.
  bool beginPath(gdi::HDC DC) {
    TCanvas* Reference = ICanvas->ReferenceCanvas();
    gdi::SelectObject(DC, Reference->Pen()->Handle());
    gdi::SelectObject(DC, Reference->Brush()->Handle());
    return gdi::BeginPath(DC);
  }

  static void endPath(gdi::HDC DC) {
    gdi::EndPath(DC);
    gdi::StrokeAndFillPath(DC);
  }
};

void TPieDrawer::DrawOuterSide(Integer A, Integer B) {
  Integer E = Integer(TeeNormalizeAngle(B));
  const Integer S = Integer(TeeNormalizeAngle(A));
  const TRect& Top = hasBevel ? z1BevelRect : z0Rect;
  const TRect& Bottom = z1Rect;
  const Integer MY = middle0.Y, SY = start0.Y, EY = end0.Y;
  if (Full360) {
    DrawBand(0, HalfTurn, Top, Bottom);
    DrawBand(HalfTurn, FullTurn, Top, Bottom);
    if (!drawEntirePie) DrawBevel(0, FullTurn);
    return;
  }
  if (SY <= MY && EY <= MY) {  // both ends in the upper half
    if (sweepAngle < HalfTurn) {
      if (drawEntirePie)
        DrawBand(A, B, Top, Bottom);
      else
        DrawBevel(A, B);
      return;
    }
    DrawBand(A, B, Top, Bottom);
    if (!drawEntirePie) DrawBevel(iStartAngle, iEndAngle);
    return;
  }
  if (SY > MY && EY < MY) {
    if (drawEntirePie) DrawBand(0, E, Top, Bottom);
    if (S > 0) DrawBand(FullTurn, S, Bottom, Top);
  } else if (SY < MY && EY > MY) {
    if (drawEntirePie) DrawBand(HalfTurn, S, Top, Bottom);
    DrawBand(HalfTurn, Integer(TeeNormalizeAngle(iEndAngle)), Bottom, Top);
  } else if (SY >= MY && EY > MY && sweepAngle > HalfTurn) {
    DrawBand(HalfTurn, 0, Top, Bottom);
    DrawBand(E, HalfTurn, Bottom, Top);
    if (S > 0) DrawBand(FullTurn, S, Bottom, Top);
  } else if (SY >= MY && EY >= MY) {  // both ends in the lower half
    if (E < S) E += FullTurn;
    const gdi::HDC DC = ICanvas->Handle();
    if (Pie3DUsingArcs && beginPath(DC)) {
      const TPoint TopStart = hasBevel ? startB1 : start0, TopEnd = hasBevel ? endB1 : end0;
      gdi::MoveToEx(DC, TopStart.X, TopStart.Y, nullptr);
      gdi::LineTo(DC, start1.X, start1.Y);
      arcTo(Bottom, start1, end1, /*ClockWise=*/false);
      gdi::LineTo(DC, TopEnd.X, TopEnd.Y);
      arcTo(Top, TopEnd, TopStart, /*ClockWise=*/true);
      endPath(DC);
    } else {
      DrawBand(S, E, Top, Bottom);
    }
  }
  DrawBevel(iStartAngle, iEndAngle);
}

}  // namespace

void TTeeCanvas3D::Pie3D(Integer XCenter, Integer YCenter, Integer XRadius, Integer YRadius, Integer Z0, Integer Z1,
                         double StartAngle, double EndAngle, bool DarkSides, bool DrawSides, Integer DonutPercent,
                         TCustomTeeGradient* Gradient, Integer BevelPercent, TEdgeStyle EdgeStyle,
                         TTeeTransparency Transparency, Integer BevelBright, bool BevelBorder, bool HideSides) {
  TPieDrawer D(this, Pie3DUsingArcs, BevelBright, BevelBorder, HideSides);
  D.zPos = Z1 - Z0;
  D.z0Rect = {XCenter - XRadius, YCenter - YRadius, XCenter + XRadius, YCenter + YRadius};
  D.z1Rect = movedDown(D.z0Rect, D.zPos);
  D.iDrawSides = DrawSides;
  D.Full360 = StartAngle == EndAngle;
  D.iStartAngle = Integer(Round(StartAngle * RadToDeg));
  D.iEndAngle = Integer(Round(EndAngle * RadToDeg));
  if (!D.Full360) D.Full360 = D.iEndAngle - D.iStartAngle == FullTurn;
  if (D.iEndAngle < D.iStartAngle) D.iEndAngle += FullTurn;
  D.OldColor = faceColor();
  D.drawEntirePie = Transparency > 0 && !HideSides;
  if (DonutPercent > 0) {
    const Integer HX = Integer(Round(DonutPercent * XRadius * 0.01)),
                  HY = Integer(Round(DonutPercent * YRadius * 0.01));
    D.SetDonut({XCenter - HX, YCenter - HY, XCenter + HX, YCenter + HY});
  }
  if (BevelPercent > 0) {
    const float B = float(BevelPercent * D.zPos * 0.01);
    const Integer BX = Integer(Round(XRadius - B)), BY = Integer(Round(YRadius - B));
    D.SetBevel({XCenter - BX, YCenter - BY, XCenter + BX, YCenter + BY}, Integer(Round(B)));
  }
  D.CalcPoints(XCenter, YCenter);

  TTeeBlend* Blend = nullptr;
  if (Transparency > 0) {
    const Integer W = FPen->Width() / 2;
    const TRect R = SupportsAlpha() ? TRect{}
                                    : TRect{D.z0Rect.Left - W, D.z0Rect.Top - W, D.z0Rect.Right + W + 1,
                                            D.z1Rect.Bottom + W};
    Blend = BeginBlending(R, Transparency);
  }
  const TScopeExit EndBlend([&] {
    if (Transparency > 0) EndBlending(Blend);
  });
  D.DrawBottom();

  // dark sides: the brush (a hatch's lines included) and a pen of the face's
  // colour are darkened for the walls only, then put back for the top
  const TColor BrushColor = FBrush->Color();
  const bool DarkBrush = DarkSides && FBrush->Style() != bsClear;
  const bool DarkPen = DarkSides && FPen->Color() == D.OldColor;
  if (DarkBrush) FBrush->SetColor(TeeDarkenColor(BrushColor, DarkSideShade));
  if (DarkPen) FPen->SetColor(TeeDarkenColor(FPen->Color(), DarkSideShade));
  D.DrawSides(D.iStartAngle, D.iEndAngle);
  if (DarkBrush) FBrush->SetColor(BrushColor);
  if (DarkPen) FPen->SetColor(D.OldColor);

  D.DrawTop();
  if ((Gradient && Gradient->Visible()) || EdgeStyle != edNone) D.DrawEdge(EdgeStyle);
}
