// Cardinal splines: GraphicsPath::AddCurve and AddClosedCurve and the curve
// calls of Graphics.
#include "platform/ui/graphics/gdiplus.h"

#include "platform/ui/graphics/gdiplus_p.h"

namespace gdiplus {

namespace {

constexpr INT MinOpenPoints = 2;
constexpr INT MinClosedPoints = 3;

std::vector<PointF> toPointF(const Point* Points, INT Count) {
  std::vector<PointF> R;
  R.reserve(Count);
  for (INT I = 0; I < Count; ++I) R.emplace_back(REAL(Points[I].X), REAL(Points[I].Y));
  return R;
}

// P(i) + Factor * (P(i + 1) - P(i - 1)) / 3 with the neighbours given.
PointF control(const PointF& P, const PointF& Before, const PointF& After, double Factor) {
  return PointF(REAL(P.X + Factor * (After.X - Before.X) / 3), REAL(P.Y + Factor * (After.Y - Before.Y) / 3));
}

// The start point, then three points per segment.  Closed: one more segment
// back to the start, neighbours wrapping round; open: an end point is its
// own missing neighbour.
std::vector<PointF> splineBeziers(const PointF* P, INT Count, double Tension, bool Closed) {
  auto at = [&](INT I) -> const PointF& {
    if (Closed) return P[((I % Count) + Count) % Count];
    return P[std::clamp(I, 0, Count - 1)];
  };
  const INT Segments = Closed ? Count : Count - 1;
  std::vector<PointF> R{P[0]};
  R.reserve(1 + 3 * Segments);
  for (INT I = 0; I < Segments; ++I) {
    R.push_back(control(at(I), at(I - 1), at(I + 1), Tension));
    R.push_back(control(at(I + 1), at(I + 2), at(I), Tension));
    R.push_back(at(I + 1));
  }
  return R;
}

}  // namespace

Status GraphicsPath::AddCurve(const PointF* points, INT count, REAL tension) {
  if (!points || count < MinOpenPoints) return setStatus(InvalidParameter);
  const std::vector<PointF> Curve = splineBeziers(points, count, tension, false);
  continueFigure(Curve.data(), INT(Curve.size()), PathPointTypeBezier);
  return Ok;
}

Status GraphicsPath::AddCurve(const Point* points, INT count, REAL tension) {
  if (!points || count < MinOpenPoints) return setStatus(InvalidParameter);
  return AddCurve(toPointF(points, count).data(), count, tension);
}

Status GraphicsPath::AddClosedCurve(const PointF* points, INT count, REAL tension) {
  if (!points || count < MinClosedPoints) return setStatus(InvalidParameter);
  addClosedFigure(splineBeziers(points, count, tension, true), PathPointTypeBezier);
  return Ok;
}

Status GraphicsPath::AddClosedCurve(const Point* points, INT count, REAL tension) {
  if (!points || count < MinClosedPoints) return setStatus(InvalidParameter);
  return AddClosedCurve(toPointF(points, count).data(), count, tension);
}

namespace {

String curveArgs(const PointF* Points, INT Count, REAL Tension) {
  QStringList Parts;
  for (INT I = 0; I < Count; ++I) Parts << RecordNumber(Points[I].X) << RecordNumber(Points[I].Y);
  return Parts.join(QLatin1Char(',')) + QStringLiteral(";t=") + RecordNumber(Tension);
}

}  // namespace

Status Graphics::DrawCurve(const Pen* pen, const PointF* points, INT count, REAL tension) {
  GraphicsPath Path;
  if (Path.AddCurve(points, count, tension) != Ok) return setStatus(InvalidParameter);
  if (recording()) record(QStringLiteral("DrawCurve(%1) pen=%2").arg(curveArgs(points, count, tension), pen ? pen->RecordText() : String()));
  return strokePath(pen, Path, nullptr, {});
}

Status Graphics::DrawCurve(const Pen* pen, const Point* points, INT count, REAL tension) {
  if (!points) return setStatus(InvalidParameter);
  return DrawCurve(pen, toPointF(points, count).data(), count, tension);
}

Status Graphics::DrawClosedCurve(const Pen* pen, const PointF* points, INT count, REAL tension) {
  GraphicsPath Path;
  if (Path.AddClosedCurve(points, count, tension) != Ok) return setStatus(InvalidParameter);
  if (recording())
    record(QStringLiteral("DrawClosedCurve(%1) pen=%2").arg(curveArgs(points, count, tension), pen ? pen->RecordText() : String()));
  return strokePath(pen, Path, nullptr, {});
}

Status Graphics::DrawClosedCurve(const Pen* pen, const Point* points, INT count, REAL tension) {
  if (!points) return setStatus(InvalidParameter);
  return DrawClosedCurve(pen, toPointF(points, count).data(), count, tension);
}

Status Graphics::FillClosedCurve(const Brush* brush, const PointF* points, INT count, FillMode fillMode,
                                 REAL tension) {
  GraphicsPath Path(fillMode);
  if (Path.AddClosedCurve(points, count, tension) != Ok) return setStatus(InvalidParameter);
  if (recording())
    record(QStringLiteral("FillClosedCurve(%1) brush=%2").arg(curveArgs(points, count, tension), brush ? brush->RecordText() : String()));
  return fillPath(brush, Path, nullptr, {});
}

Status Graphics::FillClosedCurve(const Brush* brush, const Point* points, INT count, FillMode fillMode,
                                 REAL tension) {
  if (!points) return setStatus(InvalidParameter);
  return FillClosedCurve(brush, toPointF(points, count).data(), count, fillMode, tension);
}

}  // namespace gdiplus
