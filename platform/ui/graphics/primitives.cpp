// The drawing primitives of gdi.h: rectangles, ellipses, arcs, lines,
// polygons and pixels, rasterised by the rules at the top of gdi.h.
//
// Geometry is built in surface pixels when the DC's transform keeps
// rectangles upright (the usual case: origins, extents, mirrors), so the
// bounding-box rules hold exactly; under rotation or shear it is built in
// logical coordinates and mapped.  Paths use "pixel positions": point (X, Y)
// is the pixel (X, Y), so an interior fill path from L to R-1 covers the
// pixels L .. R-2 (centre sampling) and a one-pixel pen walks through L and R-1.
#include "platform/ui/graphics/gdi.h"

#include "platform/ui/graphics/paths_p.h"
#include "platform/ui/graphics/raster_p.h"

#include <QPainterPathStroker>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace gdi {

using namespace detail;

namespace {

// ---------------------------------------------------------------------------
// pens and brushes as inks

struct TPenInk {
  bool Null = true;
  bool Wide = false;   // wider than one device pixel: stroked as an area
  int Width = 1;       // device pixels
  UINT Style = PS_SOLID;
  COLORREF Color = 0;
  // wide pens: ends and corners (extended pens choose them; others are round)
  Qt::PenCapStyle Cap = Qt::RoundCap;
  Qt::PenJoinStyle Join = Qt::RoundJoin;
  // dash patterns of extended pens: on, off, ... in pixels for one-pixel
  // pens, in widths for wide geometric ones; empty for the style's own
  std::vector<int> Dashes;
  QList<qreal> WideDashes;
};

Qt::PenCapStyle capOf(UINT Cap) {
  switch (Cap) {
    case PS_ENDCAP_SQUARE: return Qt::SquareCap;
    case PS_ENDCAP_FLAT: return Qt::FlatCap;
    default: return Qt::RoundCap;
  }
}

Qt::PenJoinStyle joinOf(UINT Join) {
  switch (Join) {
    case PS_JOIN_BEVEL: return Qt::BevelJoin;
    case PS_JOIN_MITER: return Qt::MiterJoin;
    default: return Qt::RoundJoin;
  }
}

// The patterns of an extended pen.  A one-pixel geometric pen's ends reach
// half a pixel beyond each dash (unless flat), which makes every dash one
// pixel longer and every gap one shorter: a dash of length 0 is one dot.
void extendedDashes(const TPenObject& P, TPenInk& Pen) {
  Pen.Cap = capOf(P.EndCap());
  Pen.Join = joinOf(P.Join());
  const bool Capped = P.EndCap() != PS_ENDCAP_FLAT && P.Geometric();
  if (P.Style == PS_USERSTYLE) {
    for (size_t I = 0; I < P.UserStyle.size(); ++I) {
      const int Length = int(P.UserStyle[I]);
      if (Pen.Wide)
        Pen.WideDashes << qreal(Length) / P.Width;
      else
        Pen.Dashes.push_back(!Capped ? Length : I % 2 == 0 ? Length + 1 : std::max(Length - 1, 0));
    }
  } else if (Pen.Wide && P.Geometric() && P.Style >= PS_DASH && P.Style <= PS_DASHDOTDOT) {
    static const QList<qreal> Patterns[] = {{3, 1}, {1, 1}, {3, 1, 1, 1}, {3, 1, 1, 1, 1, 1}};
    Pen.WideDashes = Patterns[P.Style - PS_DASH];
  }
}

TPenInk penOf(TDC& D) {
  TPenInk Pen;
  const TPenObject* P = D.State.Pen;
  if (!P || P->Style == PS_NULL) return Pen;
  Pen.Null = false;
  Pen.Style = P->Style;
  Pen.Color = P->IsDCPen ? D.State.DCPenColor : P->Color;
  if (P->Width > 1) {
    const double Scale = std::sqrt(std::abs(D.ToSurface().determinant()));
    Pen.Width = std::max(1, int(std::lround(P->Width * Scale)));
    Pen.Wide = Pen.Width > 1;
  }
  if (P->Extended) extendedDashes(*P, Pen);
  if (Pen.Wide && Pen.Style != PS_INSIDEFRAME) Pen.Style = PS_SOLID;  // other dashed wide pens draw solid
  return Pen;
}

TInk inkOf(const TPenInk& Pen, int Rop2) {
  TInk Ink;
  Ink.Color = Pen.Color;
  Ink.Rop2 = Rop2;
  return Ink;
}

// False for the null brush.
bool brushInk(TDC& D, const TBrushObject* B, int Rop2, TInk& Ink) {
  if (!B || B->Style == BS_NULL) return false;
  Ink = TInk();
  Ink.Color = B->IsDCBrush ? D.State.DCBrushColor : B->Color;
  Ink.Rop2 = Rop2;
  const QPointF O = D.DeviceToSurface().map(QPointF(D.State.BrushOrg.X, D.State.BrushOrg.Y));
  if (B->Style == BS_HATCHED) {
    Ink.Hatch = B->Hatch;
    Ink.Back = D.State.BkColor;
    Ink.OpaqueBack = D.State.BkMode == OPAQUE;
    Ink.Origin = {int(O.x()), int(O.y())};
  } else if (B->Style == BS_PATTERN) {
    // a monochrome pattern takes its two colours from the DC
    Ink.Pattern = &B->Pattern;
    Ink.Color = D.State.TextColor;
    Ink.Back = D.State.BkColor;
    Ink.Origin = {int(O.x()), int(O.y())};
  }
  return true;
}

// A brush handle, or a system colour index + 1.
const TBrushObject* findBrush(HBRUSH Brush) {
  const auto Value = reinterpret_cast<std::uintptr_t>(Brush);
  if (Value >= 1 && Value <= std::uintptr_t(MaxSysColorIndex) + 1)
    return Find<TBrushObject>(GetSysColorBrush(int(Value) - 1), TObjectKind::Brush);
  return Find<TBrushObject>(Brush, TObjectKind::Brush);
}

// ---------------------------------------------------------------------------
// one-pixel pens: the pixels along a path, split by the dash pattern

struct TDash {
  const int* Lengths = nullptr;  // on, off, on, off ...
  int Count = 0;
};

TDash dashOf(UINT Style) {
  static constexpr int Dash[] = {18, 6};
  static constexpr int Dot[] = {3, 3};
  static constexpr int DashDot[] = {9, 6, 3, 6};
  static constexpr int DashDotDot[] = {9, 3, 3, 3, 3, 3};
  static constexpr int Alternate[] = {1, 1};
  switch (Style) {
    case PS_DASH: return {Dash, 2};
    case PS_DOT: return {Dot, 2};
    case PS_DASHDOT: return {DashDot, 4};
    case PS_DASHDOTDOT: return {DashDotDot, 6};
    case PS_ALTERNATE: return {Alternate, 2};
    default: return {};
  }
}

// The pen's own pattern, else its style's.
TDash dashOf(const TPenInk& Pen) {
  if (!Pen.Dashes.empty()) return {Pen.Dashes.data(), int(Pen.Dashes.size())};
  return dashOf(Pen.Style);
}

// Walks segments; each pixel lands in On or, in a dash gap, in Gap.  The dash
// phase runs on from segment to segment.
class TThinStroke {
public:
  explicit TThinStroke(UINT Style) : FDash(dashOf(Style)) {}
  explicit TThinStroke(const TPenInk& Pen) : FDash(dashOf(Pen)) {}

  void Segment(TPoint A, TPoint B) {
    FPixels.clear();
    AppendLinePixels(FPixels, A, B);
    for (const TPoint& P : FPixels) (isOn() ? On : Gap).push_back(P);
  }
  // A polyline of pixel positions; Closed adds the segment back to the start.
  void Polyline(const std::vector<TPoint>& Points, bool Closed) {
    for (size_t I = 1; I < Points.size(); ++I) Segment(Points[I - 1], Points[I]);
    if (Closed && Points.size() > 1) Segment(Points.back(), Points.front());
  }
  bool Styled() const { return FDash.Count > 0; }

  std::vector<TPoint> On;
  std::vector<TPoint> Gap;

private:
  bool isOn() {
    if (!FDash.Count) return true;
    // entries of length 0 take no pixel; a pattern of nothing but them is solid
    for (int Skipped = 0; FDash.Lengths[FIndex] <= 0; FIndex = (FIndex + 1) % FDash.Count)
      if (++Skipped > FDash.Count) return true;
    const bool Result = FIndex % 2 == 0;
    if (++FRun >= FDash.Lengths[FIndex]) {
      FRun = 0;
      FIndex = (FIndex + 1) % FDash.Count;
    }
    return Result;
  }

  TDash FDash;
  int FIndex = 0;
  int FRun = 0;
  std::vector<TPoint> FPixels;
};

TPoint rounded(const QPointF& P) { return {int(std::floor(P.x() + 0.5)), int(std::floor(P.y() + 0.5))}; }

// The subpaths of Path as polylines of pixel positions.
std::vector<std::vector<TPoint>> flatten(const QPainterPath& Path) {
  std::vector<std::vector<TPoint>> Result;
  for (const QPolygonF& Polygon : Path.toSubpathPolygons()) {
    std::vector<TPoint> Line;
    for (const QPointF& P : Polygon) {
      const TPoint R = rounded(P);
      if (Line.empty() || !(Line.back() == R)) Line.push_back(R);
    }
    if (!Line.empty()) Result.push_back(std::move(Line));
  }
  return Result;
}

// The area a wide pen covers along Path (pixel positions: the stroke is
// centred on the pixel centres).
QPainterPath wideStroke(const QPainterPath& Path, const TPenInk& Pen) {
  constexpr qreal MiterLimit = 10;  // the device context's default
  QPainterPathStroker Stroker;
  Stroker.setWidth(Pen.Width);
  Stroker.setCapStyle(Pen.Cap);
  Stroker.setJoinStyle(Pen.Join);
  Stroker.setMiterLimit(MiterLimit);
  if (!Pen.WideDashes.isEmpty()) Stroker.setDashPattern(Pen.WideDashes);
  // Edges through pixel centres (flat ends, even widths) belong to the pixel
  // on their left or top, as the fill rule of the device has it.
  constexpr qreal TopLeftRule = 1.0 / 32;  // the rasteriser works on a 1/64 grid
  return Stroker.createStroke(Path.translated(0.5 - TopLeftRule, 0.5 - TopLeftRule));
}

QRect boundsOf(const QPainterPath& Path, int Margin) {
  return Path.boundingRect().toAlignedRect().adjusted(-Margin, -Margin, Margin + 1, Margin + 1);
}

// ---------------------------------------------------------------------------
// lines

void paintThin(TDC& D, const TThinStroke& Stroke, const TPenInk& Pen) {
  const int Rop2 = D.State.Rop2;
  if (Stroke.Styled() && D.State.BkMode == OPAQUE) {
    TSpans Gaps;
    AppendPixels(Gaps, Stroke.Gap);
    TInk Back;
    Back.Color = D.State.BkColor;
    Back.Rop2 = Rop2;
    PaintSpans(D, Gaps, Back);
  }
  TSpans On;
  AppendPixels(On, Stroke.On);
  PaintSpans(D, On, inkOf(Pen, Rop2));
}

// An open polyline of surface points with the DC's pen; its last point is
// left out (one-pixel pens).
void strokeOpen(TDC& D, const std::vector<TPoint>& Points) {
  const TPenInk Pen = penOf(D);
  if (Pen.Null || Points.size() < 2) return;
  if (!Pen.Wide) {
    TThinStroke Stroke(Pen);
    Stroke.Polyline(Points, /*Closed=*/false);
    paintThin(D, Stroke, Pen);
    return;
  }
  QPainterPath Path(QPointF(Points[0].X, Points[0].Y));
  for (size_t I = 1; I < Points.size(); ++I) Path.lineTo(Points[I].X, Points[I].Y);
  const QPainterPath Area = wideStroke(Path, Pen);
  TSpans Spans;
  AppendPathSpans(Spans, Area, Qt::WindingFill, boundsOf(Area, 1) & D.SurfaceClip().Bounds);
  PaintSpans(D, Spans, inkOf(Pen, D.State.Rop2));
}

// ---------------------------------------------------------------------------
// shapes

struct TShape {
  QPainterPath Fill;     // the interior; empty for arcs
  QPainterPath Outline;  // pixel positions
  bool Closed = true;
  bool ClosedByFigure = false;  // paths: each figure that ends at its start is closed
  Qt::FillRule Rule = Qt::WindingFill;
  bool UsePen = true;
  bool UseBrush = true;
};

// Interior first (without the pen's pixels), then the pen; both with ROP2.
void drawShape(TDC& D, const TShape& Shape) {
  const TPenInk Pen = Shape.UsePen ? penOf(D) : TPenInk();
  TInk Brush;
  const bool HasBrush =
      Shape.UseBrush && !Shape.Fill.isEmpty() && brushInk(D, D.State.Brush, D.State.Rop2, Brush);
  if (Pen.Null && !HasBrush) return;

  QPainterPath PenArea;
  QRect Bounds = boundsOf(Shape.Outline, Pen.Width + 1);
  if (!Pen.Null && Pen.Wide) {
    PenArea = wideStroke(Shape.Outline, Pen);
    Bounds |= boundsOf(PenArea, 1);
  }
  if (HasBrush) Bounds |= boundsOf(Shape.Fill, 1);
  Bounds &= D.SurfaceClip().Bounds;
  if (Bounds.isEmpty()) return;

  // the pen's pixels, then its dash gaps that the pen does not cover, then
  // the interior without both: each pixel painted once
  TThinStroke Stroke(Pen);
  TSpans Interior, On, Gap;
  if (HasBrush) AppendPathSpans(Interior, Shape.Fill, Shape.Rule, Bounds);
  if (!Pen.Null) {
    if (Pen.Wide) {
      AppendPathSpans(On, PenArea, Qt::WindingFill, Bounds);
    } else {
      for (const std::vector<TPoint>& Line : flatten(Shape.Outline)) {
        std::vector<TPoint> Points = Line;
        const bool EndsAtStart = Points.size() > 1 && Points.front() == Points.back();
        const bool Closed = Shape.Closed || (Shape.ClosedByFigure && EndsAtStart);
        if (Closed && EndsAtStart) Points.pop_back();
        Stroke.Polyline(Points, Closed);
      }
      On = PixelSpans(Stroke.On, Bounds);
      if (Stroke.Styled()) Gap = SubtractSpans(PixelSpans(Stroke.Gap, Bounds), On);
    }
    Interior = SubtractSpans(SubtractSpans(Interior, On), Gap);
  }

  if (HasBrush) PaintSpans(D, Interior, Brush);
  if (Pen.Null) return;
  if (Stroke.Styled() && D.State.BkMode == OPAQUE) {
    TInk Back;
    Back.Color = D.State.BkColor;
    Back.Rop2 = D.State.Rop2;
    PaintSpans(D, Gap, Back);
  }
  PaintSpans(D, On, inkOf(Pen, D.State.Rop2));
}

// The box of a bounding-rectangle shape in the space its path is built in:
// surface pixel positions L .. R-1 when the transform keeps rectangles
// upright, else logical l .. r-1 (then ToSurface maps the path).  A wide
// inside-frame pen shrinks the box so that the pen stays inside.
struct TBox {
  QRectF Box;
  bool Logical = false;
};

TBox boxOf(TDC& D, int Left, int Top, int Right, int Bottom) {
  TBox Result;
  if (D.AxisAligned()) {
    const QRect R = D.SurfaceRect(Left, Top, Right, Bottom);
    Result.Box = QRectF(R.left(), R.top(), R.width() - 1, R.height() - 1);
  } else {
    const TRect R = NormalizedRect({Left, Top, Right, Bottom});
    Result.Box = QRectF(R.Left, R.Top, R.Width() - 1, R.Height() - 1);
    Result.Logical = true;
  }
  const TPenInk Pen = penOf(D);
  if (!Pen.Null && Pen.Wide && Pen.Style == PS_INSIDEFRAME) {
    const double Inset = (Pen.Width - 1) / 2.0;
    Result.Box.adjust(Inset, Inset, -Inset, -Inset);
  }
  return Result;
}

// Maps a shape built in logical coordinates to the surface.
void finish(TDC& D, const TBox& Box, TShape& Shape) {
  if (!Box.Logical) return;
  Shape.Fill = D.ToSurface().map(Shape.Fill);
  Shape.Outline = D.ToSurface().map(Shape.Outline);
}

bool boxTooSmall(const TBox& B) { return B.Box.width() < 0 || B.Box.height() < 0; }

// Start angle and sweep (degrees, counter-clockwise positive, parametric as
// QPainterPath::arcTo takes them) from the two radial points.
struct TArc {
  double Start = 0;
  double Sweep = 360;
};

TArc arcOf(TDC& D, const TBox& Box, int X3, int Y3, int X4, int Y4) {
  auto place = [&](int X, int Y) {
    return Box.Logical ? QPointF(X, Y) : D.ToSurface().map(QPointF(X, Y));
  };
  const QPointF C = Box.Box.center();
  const double RX = std::max(Box.Box.width() / 2, 0.5), RY = std::max(Box.Box.height() / 2, 0.5);
  auto angle = [&](QPointF P) { return std::atan2(-(P.y() - C.y()) / RY, (P.x() - C.x()) / RX) * 180 / std::numbers::pi; };
  const double A3 = angle(place(X3, Y3)), A4 = angle(place(X4, Y4));
  bool CounterClockwise = D.State.ArcDirection == AD_COUNTERCLOCKWISE;
  // The direction is a logical one: a mirroring transform turns it over.
  if (!Box.Logical && D.ToSurface().determinant() < 0) CounterClockwise = !CounterClockwise;
  double Sweep = std::fmod(A4 - A3, 360.0);
  if (CounterClockwise) {
    if (Sweep <= 0) Sweep += 360;
  } else if (Sweep >= 0) {
    Sweep -= 360;
  }
  return {A3, Sweep};
}

// Inside a path bracket a shape becomes figures of the path and draws nothing.
bool capturedInPath(TDC& D, const QPainterPath& Outline) {
  if (!PathOpen(D)) return false;
  PathAddFigure(D, Outline);
  return true;
}

enum class TArcKind { Arc, Pie, Chord };

TShape arcShape(const TBox& Box, const TArc& A, TArcKind Kind) {
  TShape Shape;
  QPainterPath Path;
  if (Kind == TArcKind::Pie) {
    Path.moveTo(Box.Box.center());
    Path.arcTo(Box.Box, A.Start, A.Sweep);
    Path.closeSubpath();
  } else {
    Path.arcMoveTo(Box.Box, A.Start);
    Path.arcTo(Box.Box, A.Start, A.Sweep);
    if (Kind == TArcKind::Chord) Path.closeSubpath();
  }
  Shape.Outline = Path;
  Shape.Closed = Kind != TArcKind::Arc;
  if (Shape.Closed) Shape.Fill = Path;
  return Shape;
}

bool drawArcKind(HDC DC, int Left, int Top, int Right, int Bottom, int X3, int Y3, int X4, int Y4, TArcKind Kind) {
  TDC* D = FindDC(DC);
  if (!D) return false;
  static const char* const Names[] = {"Arc", "Pie", "Chord"};
  Record(*D, Names[int(Kind)], {Left, Top, Right, Bottom, X3, Y3, X4, Y4}, 4,
         Kind == TArcKind::Arc ? ruPen | ruRop : ruPen | ruBrush | ruRop);
  const TBox Box = boxOf(*D, Left, Top, Right, Bottom);
  if (boxTooSmall(Box)) return true;
  TShape Shape = arcShape(Box, arcOf(*D, Box, X3, Y3, X4, Y4), Kind);
  finish(*D, Box, Shape);
  if (capturedInPath(*D, Shape.Outline)) return true;
  drawShape(*D, Shape);
  return true;
}

// The frame of an upright rectangle of surface pixels: each pixel once.
void appendFrame(TSpans& Out, const QRect& R) {
  if (R.isEmpty()) return;
  Out.push_back({R.top(), R.left(), R.right() + 1});
  if (R.height() > 1) Out.push_back({R.bottom(), R.left(), R.right() + 1});
  for (int Y = R.top() + 1; Y < R.bottom(); ++Y) {
    Out.push_back({Y, R.left(), R.left() + 1});
    if (R.width() > 1) Out.push_back({Y, R.right(), R.right() + 1});
  }
}

QPolygonF logicalRectPolygon(int Left, int Top, int Right, int Bottom) {
  return QPolygonF({QPointF(Left, Top), QPointF(Right, Top), QPointF(Right, Bottom), QPointF(Left, Bottom)});
}

std::vector<TPoint> toSurface(TDC& D, const POINT* Points, int Count) {
  std::vector<TPoint> Result;
  Result.reserve(Count);
  for (int I = 0; I < Count; ++I) Result.push_back(D.LogicalToSurface(Points[I].X, Points[I].Y));
  return Result;
}

}  // namespace

// ---------------------------------------------------------------------------
// rectangles with a brush only (PATCOPY: the DC's ROP2 does not apply)

int FillRect(HDC DC, const RECT& Rect, HBRUSH Brush) {
  TDC* D = FindDC(DC);
  const TBrushObject* B = findBrush(Brush);
  if (!D || !B) return 0;
  Record(*D, "FillRect", {Rect.Left, Rect.Top, Rect.Right, Rect.Bottom}, 2, ruBrush, B);
  TInk Ink;
  if (!brushInk(*D, B, R2_COPYPEN, Ink)) return 1;
  if (D->AxisAligned()) {
    PaintRect(*D, D->SurfaceRect(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom), Ink);
    return 1;
  }
  QPainterPath Path;
  Path.addPolygon(D->ToSurface().map(logicalRectPolygon(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom)));
  Path.closeSubpath();
  TSpans Spans;
  AppendPathSpans(Spans, Path, Qt::WindingFill, boundsOf(Path, 1) & D->SurfaceClip().Bounds);
  PaintSpans(*D, Spans, Ink);
  return 1;
}

int FrameRect(HDC DC, const RECT& Rect, HBRUSH Brush) {
  TDC* D = FindDC(DC);
  const TBrushObject* B = findBrush(Brush);
  if (!D || !B) return 0;
  Record(*D, "FrameRect", {Rect.Left, Rect.Top, Rect.Right, Rect.Bottom}, 2, ruBrush, B);
  TInk Ink;
  if (!brushInk(*D, B, R2_COPYPEN, Ink)) return 1;
  TSpans Spans;
  if (D->AxisAligned()) {
    appendFrame(Spans, D->SurfaceRect(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom));
  } else {
    TThinStroke Stroke(PS_SOLID);
    std::vector<TPoint> Corners;
    for (const QPointF& P : D->ToSurface().map(logicalRectPolygon(Rect.Left, Rect.Top, Rect.Right - 1, Rect.Bottom - 1)))
      Corners.push_back(rounded(P));
    Stroke.Polyline(Corners, /*Closed=*/true);
    AppendPixels(Spans, Stroke.On);
  }
  PaintSpans(*D, Spans, Ink);
  return 1;
}

// ---------------------------------------------------------------------------
// shapes

BOOL Rectangle(HDC DC, int Left, int Top, int Right, int Bottom) {
  TDC* D = FindDC(DC);
  if (!D) return 0;
  Record(*D, "Rectangle", {Left, Top, Right, Bottom}, 2, ruPen | ruBrush | ruRop);
  const TBox Box = boxOf(*D, Left, Top, Right, Bottom);
  if (boxTooSmall(Box)) return 1;
  if (PathOpen(*D)) {
    TShape Shape;
    Shape.Outline.addRect(Box.Box);
    finish(*D, Box, Shape);
    capturedInPath(*D, Shape.Outline);
    return 1;
  }
  const TPenInk Pen = penOf(*D);
  const bool PlainPen = Pen.Null || (!Pen.Wide && (Pen.Style == PS_SOLID || Pen.Style == PS_INSIDEFRAME));
  if (!Box.Logical && PlainPen) {
    // the everyday case without scan conversion: the interior, the outline
    const QRect Outer(int(Box.Box.left()), int(Box.Box.top()), int(Box.Box.width()) + 1, int(Box.Box.height()) + 1);
    TInk Brush;
    if (brushInk(*D, D->State.Brush, D->State.Rop2, Brush))
      PaintRect(*D, Pen.Null ? Outer.adjusted(0, 0, -1, -1) : Outer.adjusted(1, 1, -1, -1), Brush);
    if (!Pen.Null) {
      TSpans Frame;
      appendFrame(Frame, Outer);
      PaintSpans(*D, Frame, inkOf(Pen, D->State.Rop2));
    }
    return 1;
  }
  TShape Shape;
  Shape.Outline.addRect(Box.Box);
  Shape.Fill = Shape.Outline;
  finish(*D, Box, Shape);
  drawShape(*D, Shape);
  return 1;
}

BOOL Ellipse(HDC DC, int Left, int Top, int Right, int Bottom) {
  TDC* D = FindDC(DC);
  if (!D) return 0;
  Record(*D, "Ellipse", {Left, Top, Right, Bottom}, 2, ruPen | ruBrush | ruRop);
  const TBox Box = boxOf(*D, Left, Top, Right, Bottom);
  if (boxTooSmall(Box)) return 1;
  TShape Shape;
  Shape.Outline.addEllipse(Box.Box);
  Shape.Fill = Shape.Outline;
  finish(*D, Box, Shape);
  if (capturedInPath(*D, Shape.Outline)) return 1;
  drawShape(*D, Shape);
  return 1;
}

BOOL RoundRect(HDC DC, int Left, int Top, int Right, int Bottom, int Width, int Height) {
  TDC* D = FindDC(DC);
  if (!D) return 0;
  Record(*D, "RoundRect", {Left, Top, Right, Bottom, Width, Height}, 2, ruPen | ruBrush | ruRop);
  const TBox Box = boxOf(*D, Left, Top, Right, Bottom);
  if (boxTooSmall(Box)) return 1;
  QSizeF Corner(std::abs(Width), std::abs(Height));
  if (!Box.Logical) {
    const QTransform& T = D->ToSurface();
    Corner = QSizeF(std::abs(Width * T.m11()), std::abs(Height * T.m22()));
  }
  TShape Shape;
  Shape.Outline.addRoundedRect(Box.Box, std::min(Corner.width(), Box.Box.width()) / 2,
                               std::min(Corner.height(), Box.Box.height()) / 2);
  Shape.Fill = Shape.Outline;
  finish(*D, Box, Shape);
  if (capturedInPath(*D, Shape.Outline)) return 1;
  drawShape(*D, Shape);
  return 1;
}

BOOL Arc(HDC DC, int Left, int Top, int Right, int Bottom, int X3, int Y3, int X4, int Y4) {
  return drawArcKind(DC, Left, Top, Right, Bottom, X3, Y3, X4, Y4, TArcKind::Arc);
}

BOOL Pie(HDC DC, int Left, int Top, int Right, int Bottom, int X3, int Y3, int X4, int Y4) {
  return drawArcKind(DC, Left, Top, Right, Bottom, X3, Y3, X4, Y4, TArcKind::Pie);
}

BOOL Chord(HDC DC, int Left, int Top, int Right, int Bottom, int X3, int Y3, int X4, int Y4) {
  return drawArcKind(DC, Left, Top, Right, Bottom, X3, Y3, X4, Y4, TArcKind::Chord);
}

BOOL ArcTo(HDC DC, int Left, int Top, int Right, int Bottom, int X3, int Y3, int X4, int Y4) {
  TDC* D = FindDC(DC);
  if (!D) return 0;
  Record(*D, "ArcTo", {Left, Top, Right, Bottom, X3, Y3, X4, Y4}, 4, ruPen | ruRop);
  const TBox Box = boxOf(*D, Left, Top, Right, Bottom);
  if (boxTooSmall(Box)) return 1;
  const TArc A = arcOf(*D, Box, X3, Y3, X4, Y4);
  TShape Shape = arcShape(Box, A, TArcKind::Arc);
  finish(*D, Box, Shape);
  // the line from the current position joins the arc's start
  const TPoint From = D->LogicalToSurface(D->State.CurrentPos.X, D->State.CurrentPos.Y);
  QPainterPath Joined(QPointF(From.X, From.Y));
  const QPainterPath::Element Start = Shape.Outline.elementAt(0);
  Joined.lineTo(Start.x, Start.y);
  Joined.connectPath(Shape.Outline);
  Shape.Outline = Joined;
  if (PathOpen(*D)) {
    QPainterPath& Path = D->State.Path;
    if (PathEndsAt(*D, From))
      Path.connectPath(Joined);
    else
      Path.addPath(Joined);
  } else {
    drawShape(*D, Shape);
  }
  bool Invertible = true;
  const QPointF End = D->ToSurface().inverted(&Invertible).map(Shape.Outline.currentPosition());
  if (Invertible) D->State.CurrentPos = rounded(End);
  return 1;
}

BOOL Polygon(HDC DC, const POINT* Points, int Count) {
  TDC* D = FindDC(DC);
  if (!D || Count < 2 || !Points) return 0;
  RecordPoints(*D, "Polygon", Points, Count, ruPen | ruBrush | ruRop);
  QPolygonF Polygon;
  for (const TPoint& P : toSurface(*D, Points, Count)) Polygon << QPointF(P.X, P.Y);
  TShape Shape;
  Shape.Outline.addPolygon(Polygon);
  Shape.Outline.closeSubpath();
  if (capturedInPath(*D, Shape.Outline)) return 1;
  Shape.Fill = Shape.Outline;
  Shape.Rule = D->State.PolyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill;
  drawShape(*D, Shape);
  return 1;
}

// ---------------------------------------------------------------------------
// lines

namespace {

// Surface points stroked with the pen, or added to the open path (as a new
// figure, or on from the current position).
void addOrStroke(TDC& D, const std::vector<TPoint>& Points, bool NewFigure) {
  if (!PathOpen(D)) {
    strokeOpen(D, Points);
    return;
  }
  if (NewFigure) D.State.Path.moveTo(Points[0].X, Points[0].Y);
  for (size_t I = 1; I < Points.size(); ++I) PathLineTo(D, Points[I - 1], Points[I]);
}

}  // namespace

BOOL LineTo(HDC DC, int X, int Y) {
  TDC* D = FindDC(DC);
  if (!D) return 0;
  Record(*D, "LineTo", {D->State.CurrentPos.X, D->State.CurrentPos.Y, X, Y}, 2, ruPen | ruRop);
  const TPoint From = D->LogicalToSurface(D->State.CurrentPos.X, D->State.CurrentPos.Y), To = D->LogicalToSurface(X, Y);
  if (PathOpen(*D))
    PathLineTo(*D, From, To);
  else
    strokeOpen(*D, {From, To});
  D->State.CurrentPos = {X, Y};
  return 1;
}

BOOL Polyline(HDC DC, const POINT* Points, int Count) {
  TDC* D = FindDC(DC);
  if (!D || Count < 2 || !Points) return 0;
  RecordPoints(*D, "Polyline", Points, Count, ruPen | ruRop);
  addOrStroke(*D, toSurface(*D, Points, Count), /*NewFigure=*/true);
  return 1;
}

BOOL PolylineTo(HDC DC, const POINT* Points, int Count) {
  TDC* D = FindDC(DC);
  if (!D || Count < 1 || !Points) return 0;
  RecordPoints(*D, "PolylineTo", Points, Count, ruPen | ruRop);
  std::vector<TPoint> Line{D->LogicalToSurface(D->State.CurrentPos.X, D->State.CurrentPos.Y)};
  for (const TPoint& P : toSurface(*D, Points, Count)) Line.push_back(P);
  addOrStroke(*D, Line, /*NewFigure=*/false);
  D->State.CurrentPos = Points[Count - 1];
  return 1;
}

BOOL PolyPolyline(HDC DC, const POINT* Points, const DWORD* Counts, DWORD Polylines) {
  TDC* D = FindDC(DC);
  if (!D || !Points || !Counts) return 0;
  for (DWORD I = 0; I < Polylines; ++I)
    if (Counts[I] < 2) return 0;
  for (DWORD I = 0; I < Polylines; ++I) {
    RecordPoints(*D, "PolyPolyline", Points, int(Counts[I]), ruPen | ruRop);
    addOrStroke(*D, toSurface(*D, Points, int(Counts[I])), /*NewFigure=*/true);
    Points += Counts[I];
  }
  return 1;
}

// ---------------------------------------------------------------------------
// pixels

namespace {

// The surface pixel of a logical point when it lies inside the DC's clip.
bool visiblePixel(TDC& D, int X, int Y, TPoint& P) {
  P = D.LogicalToSurface(X, Y);
  for (const QRect& R : D.SurfaceClip().Rects)
    if (R.contains(P.X, P.Y)) return true;
  return false;
}

}  // namespace

COLORREF SetPixel(HDC DC, int X, int Y, COLORREF Color) {
  TDC* D = FindDC(DC);
  TPoint P;
  if (!D) return CLR_INVALID;
  Record(*D, "SetPixel", {X, Y, int(Color)}, 1, 0);
  if (!visiblePixel(*D, X, Y, P)) return CLR_INVALID;
  TInk Ink;
  Ink.Color = Color;
  PaintSpans(*D, {{P.Y, P.X, P.X + 1}}, Ink);
  TSurface* S = D->Surface();
  return S && S->NearestColor ? S->NearestColor(Color & 0xFFFFFF) & 0xFFFFFF : Color & 0xFFFFFF;
}

BOOL SetPixelV(HDC DC, int X, int Y, COLORREF Color) { return SetPixel(DC, X, Y, Color) != CLR_INVALID; }

COLORREF GetPixel(HDC DC, int X, int Y) {
  TDC* D = FindDC(DC);
  TPoint P;
  if (!D || !visiblePixel(*D, X, Y, P)) return CLR_INVALID;
  const QImage* Image = D->Surface()->DrawingPixels();
  if (!Image || Image->isNull()) return CLR_INVALID;
  return ReadPixel(*Image, P.X, P.Y);
}

BOOL DrawFocusRect(HDC DC, const RECT& Rect) {
  TDC* D = FindDC(DC);
  if (!D) return 0;
  Record(*D, "DrawFocusRect", {Rect.Left, Rect.Top, Rect.Right, Rect.Bottom}, 2, 0);
  TSpans Frame;
  appendFrame(Frame, D->SurfaceRect(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom));
  // every other pixel, in a checkerboard fixed to the surface
  TSpans Dots;
  for (const TSpan& S : Frame)
    for (int X = S.X0; X < S.X1; ++X)
      if (((X + S.Y) & 1) == 0) Dots.push_back({S.Y, X, X + 1});
  TInk Ink;
  Ink.Rop2 = R2_NOT;
  PaintSpans(*D, Dots, Ink);
  return 1;
}

// ---------------------------------------------------------------------------
// paths (paths.cpp draws through these)

namespace detail {

void DrawPath(TDC& D, const QPainterPath& Path, bool Stroke, bool Fill) {
  TShape Shape;
  Shape.Outline = Path;
  Shape.Fill = Path;
  Shape.Closed = false;
  Shape.ClosedByFigure = true;
  Shape.Rule = D.State.PolyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill;
  Shape.UsePen = Stroke;
  Shape.UseBrush = Fill;
  drawShape(D, Shape);
}

QPainterPath WidenedPath(TDC& D, const QPainterPath& Path) {
  const TPenInk Pen = penOf(D);
  if (Pen.Null) return {};
  // simplified: the stroker's overlapping pieces would leave holes under the alternate fill rule
  if (Pen.Wide) return wideStroke(Path, Pen).simplified();
  // a one-pixel pen: its pixels as squares
  QPainterPath Area;
  for (const std::vector<TPoint>& Line : flatten(Path)) {
    TThinStroke Stroke(Pen);
    const bool Closed = Line.size() > 1 && Line.front() == Line.back();
    std::vector<TPoint> Points = Line;
    if (Closed) Points.pop_back();
    Stroke.Polyline(Points, Closed);
    for (const TPoint& P : Stroke.On) Area.addRect(P.X, P.Y, 1, 1);
  }
  return Area.simplified();
}

QRegion PathInterior(TDC& D, const QPainterPath& Path) {
  TSpans Spans;
  AppendPathSpans(Spans, Path, D.State.PolyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill, boundsOf(Path, 1));
  QRegion Result;
  for (const TSpan& S : Spans) Result += QRect(S.X0, S.Y, S.X1 - S.X0, 1);
  return Result;
}

}  // namespace detail

}  // namespace gdi
