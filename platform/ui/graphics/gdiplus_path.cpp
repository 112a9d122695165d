// GraphicsPath, Region and the arc geometry they share with Graphics.
#include "platform/ui/graphics/gdiplus.h"

#include "platform/ui/graphics/gdiplus_p.h"
#include "platform/ui/graphics/regions.h"

#include <QRegion>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace gdiplus {

// ---------------------------------------------------------------------------
// arcs

namespace {

constexpr double DegreesPerRadian = 180 / std::numbers::pi;

bool isQuarter(double Degrees) { return Degrees / 90 == std::floor(Degrees / 90); }

// The parametric angle t (x = a cos t, y = b sin t) of the point that the
// radial at Degrees meets, in the same turn as Degrees.  The two agree at
// multiples of 90 degrees and within every quadrant, so the sweep between
// two radials keeps its length in turns.
double parametricAngle(double Degrees, double A, double B) {
  if (isQuarter(Degrees) || A == 0 || B == 0) return Degrees;
  double S, C;
  SinCosDegrees(Degrees, S, C);
  const double T = std::atan2(A * S, B * C) * DegreesPerRadian;
  return T + 360 * std::round((Degrees - T) / 360);
}

}  // namespace

std::vector<PointF> ArcBeziers(const RectF& Bounds, REAL StartAngle, REAL SweepAngle) {
  const double A = Bounds.Width / 2.0, B = Bounds.Height / 2.0;
  const double CX = Bounds.X + A, CY = Bounds.Y + B;
  const double Sweep = std::clamp(double(SweepAngle), -360.0, 360.0);
  const double T0 = parametricAngle(StartAngle, A, B);
  const double T1 = parametricAngle(double(StartAngle) + Sweep, A, B);
  // A hair below whole quarters, so that exactly 90 degrees is one segment.
  const int Segments = std::max(1, int(std::ceil(std::abs(T1 - T0) / 90 - 1e-9)));
  const double Step = (T1 - T0) / Segments;
  // Control-point distance of a unit circular arc of Step degrees.
  const double K = 4.0 / 3.0 * std::tan(Step / DegreesPerRadian / 4);

  auto at = [&](double T, double& X, double& Y, double& DX, double& DY) {
    double S, C;
    SinCosDegrees(T, S, C);
    X = CX + A * C;
    Y = CY + B * S;
    DX = -A * S;
    DY = B * C;
  };
  std::vector<PointF> Points;
  Points.reserve(1 + 3 * Segments);
  double X, Y, DX, DY;
  at(T0, X, Y, DX, DY);
  Points.emplace_back(REAL(X), REAL(Y));
  for (int I = 1; I <= Segments; ++I) {
    const double PX = X + K * DX, PY = Y + K * DY;
    at(T0 + I * Step, X, Y, DX, DY);
    Points.emplace_back(REAL(PX), REAL(PY));
    Points.emplace_back(REAL(X - K * DX), REAL(Y - K * DY));
    Points.emplace_back(REAL(X), REAL(Y));
  }
  return Points;
}

// ---------------------------------------------------------------------------
// GraphicsPath

namespace {

std::vector<PointF> toPointF(const Point* Points, INT Count) {
  std::vector<PointF> R;
  R.reserve(std::max(Count, 0));
  for (INT I = 0; I < Count; ++I) R.emplace_back(REAL(Points[I].X), REAL(Points[I].Y));
  return R;
}

// Every type is Start, Line or Bezier (flags aside), Béziers come in runs of
// three after a point, and a figure starts with Start (the first point and
// every point after a CloseSubpath).
bool validTypes(const BYTE* Types, INT Count) {
  int Run = 0;
  for (INT I = 0; I < Count; ++I) {
    const BYTE Kind = Types[I] & PathPointTypePathTypeMask;
    const bool FigureStart = I == 0 || (Types[I - 1] & PathPointTypeCloseSubpath);
    if (FigureStart && Kind != PathPointTypeStart) return false;
    if (Kind == PathPointTypeBezier) {
      ++Run;
      continue;
    }
    if (Run % 3 != 0 || (Kind != PathPointTypeStart && Kind != PathPointTypeLine)) return false;
    Run = 0;
  }
  return Run % 3 == 0;
}

RectF rectOf(INT X, INT Y, INT Width, INT Height) { return RectF(REAL(X), REAL(Y), REAL(Width), REAL(Height)); }

}  // namespace

GraphicsPath::GraphicsPath(FillMode fillMode) : FFillMode(fillMode) {}

GraphicsPath::GraphicsPath(const PointF* points, const BYTE* types, INT count, FillMode fillMode)
    : FFillMode(fillMode) {
  if (count < 0 || (count > 0 && (!points || !types)) || !validTypes(types, count)) {
    setStatus(InvalidParameter);
    return;
  }
  FPoints.assign(points, points + count);
  FTypes.assign(types, types + count);
  FNewFigure = count == 0 || (types[count - 1] & PathPointTypeCloseSubpath);
}

GraphicsPath::GraphicsPath(const Point* points, const BYTE* types, INT count, FillMode fillMode)
    : GraphicsPath(points ? toPointF(points, count).data() : nullptr, types, count, fillMode) {}

GraphicsPath::~GraphicsPath() = default;

std::unique_ptr<GraphicsPath> GraphicsPath::Clone() const {
  auto Copy = std::make_unique<GraphicsPath>(FFillMode);
  Copy->FPoints = FPoints;
  Copy->FTypes = FTypes;
  Copy->FNewFigure = FNewFigure;
  return Copy;
}

Status GraphicsPath::GetLastStatus() const { return std::exchange(FLastStatus, Ok); }

Status GraphicsPath::setStatus(Status S) const {
  if (S != Ok) FLastStatus = S;
  return S;
}

Status GraphicsPath::SetFillMode(FillMode fillMode) {
  if (fillMode != FillModeAlternate && fillMode != FillModeWinding) return setStatus(InvalidParameter);
  FFillMode = fillMode;
  return Ok;
}

Status GraphicsPath::Reset() {
  FPoints.clear();
  FTypes.clear();
  FFillMode = FillModeAlternate;
  FNewFigure = true;
  return Ok;
}

Status GraphicsPath::StartFigure() {
  FNewFigure = true;
  return Ok;
}

Status GraphicsPath::CloseFigure() {
  if (!FTypes.empty() && !FNewFigure) FTypes.back() |= PathPointTypeCloseSubpath;
  FNewFigure = true;
  return Ok;
}

void GraphicsPath::continueFigure(const PointF* Points, INT Count, BYTE RestType) {
  if (Count <= 0) return;
  if (FNewFigure || FPoints.empty()) {
    FPoints.push_back(Points[0]);
    FTypes.push_back(PathPointTypeStart);
    FNewFigure = false;
  } else if (!(FPoints.back() == Points[0])) {
    FPoints.push_back(Points[0]);
    FTypes.push_back(PathPointTypeLine);
  }
  FPoints.insert(FPoints.end(), Points + 1, Points + Count);
  FTypes.insert(FTypes.end(), size_t(Count - 1), RestType);
}

void GraphicsPath::addClosedFigure(const std::vector<PointF>& Points, BYTE RestType) {
  FPoints.insert(FPoints.end(), Points.begin(), Points.end());
  FTypes.push_back(PathPointTypeStart);
  FTypes.insert(FTypes.end(), Points.size() - 1, RestType);
  FTypes.back() |= PathPointTypeCloseSubpath;
  FNewFigure = true;
}

void GraphicsPath::addClosedFigures(const QPainterPath& Path) {
  auto closeOpen = [&] {
    if (!FNewFigure && !FTypes.empty()) FTypes.back() |= PathPointTypeCloseSubpath;
    FNewFigure = true;
  };
  auto add = [&](const QPointF& P, BYTE Type) {
    FPoints.emplace_back(REAL(P.x()), REAL(P.y()));
    FTypes.push_back(Type);
  };
  for (int I = 0; I < Path.elementCount(); ++I) {
    const QPainterPath::Element E = Path.elementAt(I);
    if (E.isMoveTo()) {
      closeOpen();
      add(E, PathPointTypeStart);
      FNewFigure = false;
    } else if (E.isLineTo()) {
      add(E, PathPointTypeLine);
    } else {  // a curve: this point and the two data points after it
      for (int K = 0; K < 3; ++K) add(Path.elementAt(I + K), PathPointTypeBezier);
      I += 2;
    }
  }
  closeOpen();
}

Status GraphicsPath::AddLine(REAL x1, REAL y1, REAL x2, REAL y2) {
  const PointF Ends[] = {PointF(x1, y1), PointF(x2, y2)};
  continueFigure(Ends, 2, PathPointTypeLine);
  return Ok;
}

Status GraphicsPath::AddLine(INT x1, INT y1, INT x2, INT y2) { return AddLine(REAL(x1), REAL(y1), REAL(x2), REAL(y2)); }
Status GraphicsPath::AddLine(const PointF& pt1, const PointF& pt2) { return AddLine(pt1.X, pt1.Y, pt2.X, pt2.Y); }
Status GraphicsPath::AddLine(const Point& pt1, const Point& pt2) { return AddLine(pt1.X, pt1.Y, pt2.X, pt2.Y); }

Status GraphicsPath::AddLines(const PointF* points, INT count) {
  if (!points || count < 1) return setStatus(InvalidParameter);
  continueFigure(points, count, PathPointTypeLine);
  return Ok;
}

Status GraphicsPath::AddLines(const Point* points, INT count) {
  if (!points || count < 1) return setStatus(InvalidParameter);
  return AddLines(toPointF(points, count).data(), count);
}

Status GraphicsPath::AddArc(const RectF& rect, REAL startAngle, REAL sweepAngle) {
  const std::vector<PointF> Arc = ArcBeziers(rect, startAngle, sweepAngle);
  continueFigure(Arc.data(), INT(Arc.size()), PathPointTypeBezier);
  return Ok;
}

Status GraphicsPath::AddArc(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle) {
  return AddArc(RectF(x, y, width, height), startAngle, sweepAngle);
}
Status GraphicsPath::AddArc(INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle) {
  return AddArc(rectOf(x, y, width, height), startAngle, sweepAngle);
}
Status GraphicsPath::AddArc(const Rect& rect, REAL startAngle, REAL sweepAngle) {
  return AddArc(RectF(rect), startAngle, sweepAngle);
}

Status GraphicsPath::AddRectangle(const RectF& rect) {
  addClosedFigure({PointF(rect.X, rect.Y), PointF(rect.GetRight(), rect.Y), PointF(rect.GetRight(), rect.GetBottom()),
                   PointF(rect.X, rect.GetBottom())},
                  PathPointTypeLine);
  return Ok;
}

Status GraphicsPath::AddRectangle(const Rect& rect) { return AddRectangle(RectF(rect)); }

Status GraphicsPath::AddEllipse(const RectF& rect) {
  addClosedFigure(ArcBeziers(rect, 0, 360), PathPointTypeBezier);
  return Ok;
}

Status GraphicsPath::AddEllipse(REAL x, REAL y, REAL width, REAL height) { return AddEllipse(RectF(x, y, width, height)); }
Status GraphicsPath::AddEllipse(INT x, INT y, INT width, INT height) { return AddEllipse(rectOf(x, y, width, height)); }
Status GraphicsPath::AddEllipse(const Rect& rect) { return AddEllipse(RectF(rect)); }

Status GraphicsPath::AddPie(const RectF& rect, REAL startAngle, REAL sweepAngle) {
  const std::vector<PointF> Arc = ArcBeziers(rect, startAngle, sweepAngle);
  FPoints.emplace_back(rect.X + rect.Width / 2, rect.Y + rect.Height / 2);
  FTypes.push_back(PathPointTypeStart);
  FPoints.insert(FPoints.end(), Arc.begin(), Arc.end());
  FTypes.push_back(PathPointTypeLine);
  FTypes.insert(FTypes.end(), Arc.size() - 1, PathPointTypeBezier);
  FTypes.back() |= PathPointTypeCloseSubpath;
  FNewFigure = true;
  return Ok;
}

Status GraphicsPath::AddPie(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle) {
  return AddPie(RectF(x, y, width, height), startAngle, sweepAngle);
}
Status GraphicsPath::AddPie(INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle) {
  return AddPie(rectOf(x, y, width, height), startAngle, sweepAngle);
}
Status GraphicsPath::AddPie(const Rect& rect, REAL startAngle, REAL sweepAngle) {
  return AddPie(RectF(rect), startAngle, sweepAngle);
}

Status GraphicsPath::AddPolygon(const PointF* points, INT count) {
  if (!points || count < 2) return setStatus(InvalidParameter);
  addClosedFigure(std::vector<PointF>(points, points + count), PathPointTypeLine);
  return Ok;
}

Status GraphicsPath::AddPolygon(const Point* points, INT count) {
  if (!points || count < 2) return setStatus(InvalidParameter);
  addClosedFigure(toPointF(points, count), PathPointTypeLine);
  return Ok;
}

Status GraphicsPath::GetPathPoints(PointF* points, INT count) const {
  if (!points) return setStatus(InvalidParameter);
  if (count < GetPointCount()) return setStatus(InsufficientBuffer);
  std::copy(FPoints.begin(), FPoints.end(), points);
  return Ok;
}

Status GraphicsPath::GetPathPoints(Point* points, INT count) const {
  if (!points) return setStatus(InvalidParameter);
  if (count < GetPointCount()) return setStatus(InsufficientBuffer);
  for (const PointF& P : FPoints) *points++ = Point(RoundHalfUp(P.X), RoundHalfUp(P.Y));
  return Ok;
}

Status GraphicsPath::GetPathTypes(BYTE* types, INT count) const {
  if (!types) return setStatus(InvalidParameter);
  if (count < GetPointCount()) return setStatus(InsufficientBuffer);
  std::copy(FTypes.begin(), FTypes.end(), types);
  return Ok;
}

Status GraphicsPath::GetBounds(RectF* bounds, const Matrix* matrix, const Pen* pen) const {
  if (!bounds) return setStatus(InvalidParameter);
  if (FPoints.empty()) {
    *bounds = RectF();
    return Ok;
  }
  QPainterPath Path = QtPath();
  if (matrix) Path = QtTransform(*matrix).map(Path);
  QRectF R = Path.boundingRect();
  if (pen) {
    const qreal Half = pen->GetWidth() / 2;
    R.adjust(-Half, -Half, Half, Half);
  }
  *bounds = FromQt(R);
  return Ok;
}

Status GraphicsPath::GetBounds(Rect* bounds, const Matrix* matrix, const Pen* pen) const {
  if (!bounds) return setStatus(InvalidParameter);
  RectF R;
  const Status S = GetBounds(&R, matrix, pen);
  if (S != Ok) return S;
  *bounds = EnclosingRect(R);
  return Ok;
}

QPainterPath GraphicsPath::QtPath() const {
  QPainterPath Path;
  Path.setFillRule(FFillMode == FillModeWinding ? Qt::WindingFill : Qt::OddEvenFill);
  const size_t Count = FPoints.size();
  for (size_t I = 0; I < Count; ++I) {
    switch (FTypes[I] & PathPointTypePathTypeMask) {
    case PathPointTypeStart:
      Path.moveTo(QtPoint(FPoints[I]));
      break;
    case PathPointTypeLine:
      Path.lineTo(QtPoint(FPoints[I]));
      break;
    default:  // a Bézier run, in threes (checked when the path was made)
      Path.cubicTo(QtPoint(FPoints[I]), QtPoint(FPoints[I + 1]), QtPoint(FPoints[I + 2]));
      I += 2;
      break;
    }
    if (FTypes[I] & PathPointTypeCloseSubpath) Path.closeSubpath();
  }
  return Path;
}

// ---------------------------------------------------------------------------
// Region

Region::Region() = default;

Region::Region(const RectF& rect) : FPath(std::make_unique<QPainterPath>()) { FPath->addRect(QtRect(rect)); }

Region::Region(const Rect& rect) : Region(RectF(rect)) {}

Region::Region(const GraphicsPath* path) : FPath(std::make_unique<QPainterPath>()) {
  if (!path) {
    FLastStatus = InvalidParameter;
    return;
  }
  *FPath = path->QtPath();
}

Region::Region(HRGN hRgn) : FPath(std::make_unique<QPainterPath>()) {
  if (gdi::GetObjectType(hRgn) != gdi::OBJ_REGION) {
    FLastStatus = InvalidParameter;
    return;
  }
  FPath->addRegion(gdi::RegionOf(hRgn));
}

Region::~Region() = default;

Status Region::GetLastStatus() const { return std::exchange(FLastStatus, Ok); }

BOOL Region::IsInfinite(const Graphics* /*g*/) const { return !FPath; }

Status Region::GetBounds(RectF* rect, const Graphics* g) const {
  if (!rect || !g) {
    FLastStatus = InvalidParameter;
    return InvalidParameter;
  }
  *rect = FromQt(FPath ? FPath->boundingRect() : InfiniteRect);
  return Ok;
}

}  // namespace gdiplus
