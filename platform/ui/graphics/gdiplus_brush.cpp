// Brushes and Pen.
#include "platform/ui/graphics/gdiplus.h"

#include "platform/ui/graphics/gdiplus_p.h"

#include <QBrush>
#include <QImage>
#include <QLinearGradient>
#include <QPen>
#include <QRadialGradient>
#include <algorithm>
#include <utility>

namespace gdiplus {

// ---------------------------------------------------------------------------
// Brush

Brush::~Brush() = default;

Status Brush::GetLastStatus() const { return std::exchange(FLastStatus, Ok); }

Status Brush::setStatus(Status S) const {
  if (S != Ok) FLastStatus = S;
  return S;
}

namespace {

// Interpolation colours of both gradient brushes: at least two, positions
// rising from 0 to 1.
Status assignStops(std::vector<GradientStop>& Stops, const Color* Colors, const REAL* Positions, INT Count) {
  if (!Colors || !Positions || Count < 2 || Positions[0] != 0 || Positions[Count - 1] != 1 ||
      !std::is_sorted(Positions, Positions + Count))
    return InvalidParameter;
  Stops.clear();
  for (INT I = 0; I < Count; ++I) Stops.push_back({Positions[I], Colors[I]});
  return Ok;
}

Status copyStops(const std::vector<GradientStop>& Stops, Color* Colors, REAL* Positions, INT Count) {
  if (!Colors || !Positions || Count < INT(Stops.size())) return InvalidParameter;
  for (const GradientStop& S : Stops) {
    *Colors++ = S.Value;
    *Positions++ = S.Position;
  }
  return Ok;
}

}  // namespace

SolidBrush::SolidBrush(const Color& color) : Brush(BrushTypeSolidColor), FColor(color) {}

Status SolidBrush::GetColor(Color* color) const {
  if (!color) return setStatus(InvalidParameter);
  *color = FColor;
  return Ok;
}

Status SolidBrush::SetColor(const Color& color) {
  FColor = color;
  return Ok;
}

std::unique_ptr<Brush> SolidBrush::Clone() const { return std::make_unique<SolidBrush>(FColor); }

QBrush SolidBrush::QtBrush() const { return QBrush(QtColor(FColor)); }

String SolidBrush::RecordText() const { return RecordColor(FColor); }

// ---------------------------------------------------------------------------
// LinearGradientBrush

namespace {

double modeAngle(LinearGradientMode Mode) {
  switch (Mode) {
  case LinearGradientModeVertical:
    return 90;
  case LinearGradientModeForwardDiagonal:
    return 45;
  case LinearGradientModeBackwardDiagonal:
    return 135;
  default:
    return 0;
  }
}

bool validMode(LinearGradientMode Mode) {
  return Mode >= LinearGradientModeHorizontal && Mode <= LinearGradientModeBackwardDiagonal;
}

// The gradient line along Angle: from the corner of R that comes first in
// that direction to the projection of the corner that comes last.
void gradientLine(const RectF& R, double Angle, PointF& Start, PointF& End) {
  double S, C;
  SinCosDegrees(Angle, S, C);
  const PointF Corners[] = {PointF(R.X, R.Y), PointF(R.GetRight(), R.Y), PointF(R.GetRight(), R.GetBottom()),
                            PointF(R.X, R.GetBottom())};
  auto along = [&](const PointF& P) { return P.X * C + P.Y * S; };
  const auto [First, Last] = std::minmax_element(std::begin(Corners), std::end(Corners),
                                                 [&](const PointF& A, const PointF& B) { return along(A) < along(B); });
  const double Length = along(*Last) - along(*First);
  Start = *First;
  End = PointF(REAL(First->X + Length * C), REAL(First->Y + Length * S));
}

}  // namespace

LinearGradientBrush::LinearGradientBrush(const RectF& rect, const Color& color1, const Color& color2,
                                         LinearGradientMode mode)
    : LinearGradientBrush(rect, color1, color2, REAL(modeAngle(mode))) {
  if (!validMode(mode)) setStatus(InvalidParameter);
}

LinearGradientBrush::LinearGradientBrush(const Rect& rect, const Color& color1, const Color& color2,
                                         LinearGradientMode mode)
    : LinearGradientBrush(RectF(rect), color1, color2, mode) {}

LinearGradientBrush::LinearGradientBrush(const RectF& rect, const Color& color1, const Color& color2, REAL angle,
                                         BOOL /*isAngleScalable*/)
    : Brush(BrushTypeLinearGradient), FRect(rect), FColors{color1, color2} {
  gradientLine(rect, angle, FStart, FEnd);
  if (rect.Width == 0 || rect.Height == 0) setStatus(InvalidParameter);
}

LinearGradientBrush::LinearGradientBrush(const Rect& rect, const Color& color1, const Color& color2, REAL angle,
                                         BOOL isAngleScalable)
    : LinearGradientBrush(RectF(rect), color1, color2, angle, isAngleScalable) {}

LinearGradientBrush::LinearGradientBrush(const LinearGradientBrush& Other)
    : Brush(BrushTypeLinearGradient),
      FRect(Other.FRect),
      FColors{Other.FColors[0], Other.FColors[1]},
      FStart(Other.FStart),
      FEnd(Other.FEnd),
      FPreset(Other.FPreset) {}

Status LinearGradientBrush::SetLinearColors(const Color& color1, const Color& color2) {
  FColors[0] = color1;
  FColors[1] = color2;
  FPreset.clear();
  return Ok;
}

Status LinearGradientBrush::GetLinearColors(Color* colors) const {
  if (!colors) return setStatus(InvalidParameter);
  colors[0] = FColors[0];
  colors[1] = FColors[1];
  return Ok;
}

Status LinearGradientBrush::GetRectangle(RectF* rect) const {
  if (!rect) return setStatus(InvalidParameter);
  *rect = FRect;
  return Ok;
}

Status LinearGradientBrush::SetInterpolationColors(const Color* presetColors, const REAL* blendPositions, INT count) {
  return setStatus(assignStops(FPreset, presetColors, blendPositions, count));
}

INT LinearGradientBrush::GetInterpolationColorCount() const { return INT(FPreset.size()); }

Status LinearGradientBrush::GetInterpolationColors(Color* presetColors, REAL* blendPositions, INT count) const {
  return setStatus(copyStops(FPreset, presetColors, blendPositions, count));
}

Status LinearGradientBrush::SetWrapMode(WrapMode wrapMode) {
  return wrapMode == WrapModeTile ? Ok : setStatus(NotImplemented);
}

std::unique_ptr<Brush> LinearGradientBrush::Clone() const {
  return std::unique_ptr<Brush>(new LinearGradientBrush(*this));
}

QBrush LinearGradientBrush::QtBrush() const {
  QLinearGradient Gradient(QtPoint(FStart), QtPoint(FEnd));
  Gradient.setSpread(QGradient::RepeatSpread);
  if (FPreset.empty()) {
    Gradient.setColorAt(0, QtColor(FColors[0]));
    Gradient.setColorAt(1, QtColor(FColors[1]));
  } else {
    QGradientStops Stops;
    for (const GradientStop& S : FPreset) Stops.append({S.Position, QtColor(S.Value)});
    Gradient.setStops(Stops);
  }
  return QBrush(Gradient);
}

String LinearGradientBrush::RecordText() const {
  return QStringLiteral("linear(%1,%2)").arg(RecordColor(FColors[0]), RecordColor(FColors[1]));
}

// ---------------------------------------------------------------------------
// TextureBrush

TextureBrush::TextureBrush(const QImage& Texture)
    : Brush(BrushTypeTextureFill), FTexture(std::make_unique<QImage>(Texture)) {}

TextureBrush::TextureBrush(const Image* image, WrapMode wrapMode) : TextureBrush(QImage()) {
  if (!image || image->QtImage().isNull()) {
    setStatus(InvalidParameter);
    return;
  }
  *FTexture = image->QtImage();
  if (wrapMode != WrapModeTile) setStatus(NotImplemented);
}

TextureBrush::TextureBrush(const Image* image, const RectF& dstRect, const ImageAttributes* imageAttributes)
    : TextureBrush(QImage()) {
  const QRect Part = QtRect(dstRect).toAlignedRect();
  if (!image || image->QtImage().isNull() || Part.isEmpty() || !image->QtImage().rect().contains(Part)) {
    setStatus(InvalidParameter);
    return;
  }
  const QImage Texture = image->QtImage().copy(Part);
  *FTexture = imageAttributes ? imageAttributes->Apply(Texture) : Texture;
}

TextureBrush::TextureBrush(const Image* image, const Rect& dstRect, const ImageAttributes* imageAttributes)
    : TextureBrush(image, RectF(dstRect), imageAttributes) {}

TextureBrush::~TextureBrush() = default;

std::unique_ptr<Brush> TextureBrush::Clone() const { return std::unique_ptr<Brush>(new TextureBrush(*FTexture)); }

QBrush TextureBrush::QtBrush() const { return FTexture->isNull() ? QBrush() : QBrush(*FTexture); }

String TextureBrush::RecordText() const {
  return QStringLiteral("texture(%1x%2)").arg(FTexture->width()).arg(FTexture->height());
}

// ---------------------------------------------------------------------------
// PathGradientBrush

namespace {

constexpr ARGB DefaultBoundaryColor = 0xFFFFFFFF;
constexpr ARGB DefaultCenterColor = 0xFF000000;

QPainterPath polygonArea(const std::vector<PointF>& Points) {
  QPainterPath Area;
  Area.setFillRule(Qt::OddEvenFill);
  QPolygonF Polygon;
  for (const PointF& P : Points) Polygon << QtPoint(P);
  Area.addPolygon(Polygon);
  Area.closeSubpath();
  return Area;
}

std::vector<PointF> pointsOf(const Point* Points, INT Count) {
  std::vector<PointF> R;
  for (INT I = 0; I < Count; ++I) R.emplace_back(REAL(Points[I].X), REAL(Points[I].Y));
  return R;
}

}  // namespace

PathGradientBrush::PathGradientBrush(const GraphicsPath* path) : Brush(BrushTypePathGradient) {
  if (!path || path->GetPointCount() == 0) {
    setStatus(InvalidParameter);
    init(QPainterPath());
    return;
  }
  init(path->QtPath());
}

PathGradientBrush::PathGradientBrush(const PointF* points, INT count, WrapMode /*wrapMode*/)
    : Brush(BrushTypePathGradient) {
  if (!points || count < 2) {
    setStatus(InvalidParameter);
    init(QPainterPath());
    return;
  }
  init(polygonArea(std::vector<PointF>(points, points + count)));
}

PathGradientBrush::PathGradientBrush(const Point* points, INT count, WrapMode /*wrapMode*/)
    : Brush(BrushTypePathGradient) {
  if (!points || count < 2) {
    setStatus(InvalidParameter);
    init(QPainterPath());
    return;
  }
  init(polygonArea(pointsOf(points, count)));
}

PathGradientBrush::PathGradientBrush(const PathGradientBrush& Other)
    : Brush(BrushTypePathGradient),
      FArea(std::make_unique<QPainterPath>(*Other.FArea)),
      FBounds(Other.FBounds),
      FCenter(Other.FCenter),
      FPreset(Other.FPreset) {}

PathGradientBrush::~PathGradientBrush() = default;

void PathGradientBrush::init(const QPainterPath& Area) {
  FArea = std::make_unique<QPainterPath>(Area);
  FBounds = FromQt(Area.boundingRect());
  FCenter = PointF(FBounds.X + FBounds.Width / 2, FBounds.Y + FBounds.Height / 2);
}

Status PathGradientBrush::GetCenterPoint(PointF* point) const {
  if (!point) return setStatus(InvalidParameter);
  *point = FCenter;
  return Ok;
}

Status PathGradientBrush::SetCenterPoint(const PointF& point) {
  FCenter = point;
  return Ok;
}

Status PathGradientBrush::SetCenterPoint(const Point& point) {
  return SetCenterPoint(PointF(REAL(point.X), REAL(point.Y)));
}

Status PathGradientBrush::GetRectangle(RectF* rect) const {
  if (!rect) return setStatus(InvalidParameter);
  *rect = FBounds;
  return Ok;
}

Status PathGradientBrush::SetInterpolationColors(const Color* presetColors, const REAL* blendPositions, INT count) {
  return setStatus(assignStops(FPreset, presetColors, blendPositions, count));
}

INT PathGradientBrush::GetInterpolationColorCount() const { return INT(FPreset.size()); }

Status PathGradientBrush::GetInterpolationColors(Color* presetColors, REAL* blendPositions, INT count) const {
  return setStatus(copyStops(FPreset, presetColors, blendPositions, count));
}

std::unique_ptr<Brush> PathGradientBrush::Clone() const {
  return std::unique_ptr<Brush>(new PathGradientBrush(*this));
}

// Built in the unit circle, which the brush transform stretches onto the
// bounding ellipse; Qt's radial positions run from the focal point (the
// centre) outwards, the opposite of the interpolation positions.
QBrush PathGradientBrush::QtBrush() const {
  const double RX = FBounds.Width / 2.0, RY = FBounds.Height / 2.0;
  const double CX = FBounds.X + RX, CY = FBounds.Y + RY;
  const Color Boundary = FPreset.empty() ? Color(DefaultBoundaryColor) : FPreset.front().Value;
  if (RX <= 0 || RY <= 0) return QBrush(QtColor(Boundary));
  QRadialGradient Gradient(QPointF(0, 0), 1, QPointF((FCenter.X - CX) / RX, (FCenter.Y - CY) / RY));
  Gradient.setSpread(QGradient::PadSpread);
  if (FPreset.empty()) {
    Gradient.setColorAt(0, QtColor(Color(DefaultCenterColor)));
    Gradient.setColorAt(1, QtColor(Boundary));
  } else {
    QGradientStops Stops;
    for (auto It = FPreset.rbegin(); It != FPreset.rend(); ++It) Stops.append({1 - It->Position, QtColor(It->Value)});
    Gradient.setStops(Stops);
  }
  QBrush Result(Gradient);
  Result.setTransform(QTransform(RX, 0, 0, RY, CX, CY));
  return Result;
}

String PathGradientBrush::RecordText() const {
  return QStringLiteral("path(%1,%2)").arg(RecordNumber(FCenter.X), RecordNumber(FCenter.Y));
}

// ---------------------------------------------------------------------------
// Pen

namespace {

bool validLineCap(LineCap C) { return C >= LineCapFlat && C <= LineCapTriangle; }
bool validDashCap(DashCap C) { return C == DashCapFlat || C == DashCapRound || C == DashCapTriangle; }

// Dash and gap lengths in pen widths.
QList<qreal> dashPattern(DashStyle Style) {
  switch (Style) {
  case DashStyleDash:
    return {3, 1};
  case DashStyleDot:
    return {1, 1};
  case DashStyleDashDot:
    return {3, 1, 1, 1};
  default:
    return {3, 1, 1, 1, 1, 1};
  }
}

Qt::PenCapStyle qtCap(LineCap Cap) {
  switch (Cap) {
  case LineCapSquare:
    return Qt::SquareCap;
  case LineCapRound:
    return Qt::RoundCap;
  default:
    return Qt::FlatCap;
  }
}

Qt::PenJoinStyle qtJoin(LineJoin Join) {
  switch (Join) {
  case LineJoinBevel:
    return Qt::BevelJoin;
  case LineJoinRound:
    return Qt::RoundJoin;
  case LineJoinMiterClipped:
    return Qt::MiterJoin;
  default:
    return Qt::SvgMiterJoin;  // a bevel beyond the limit
  }
}

// The miter limit, in pen widths.
constexpr qreal MiterLimit = 10;

}  // namespace

Pen::Pen(const Color& color, REAL width) : FBrush(std::make_unique<SolidBrush>(color)), FWidth(width) {
  if (width < 0) setStatus(InvalidParameter);
}

Pen::Pen(const Brush* brush, REAL width)
    : FBrush(brush ? brush->Clone() : std::make_unique<SolidBrush>(Color())), FWidth(width) {
  if (!brush || width < 0) setStatus(InvalidParameter);
}

Pen::~Pen() = default;

Status Pen::GetLastStatus() const { return std::exchange(FLastStatus, Ok); }

Status Pen::setStatus(Status S) const {
  if (S != Ok) FLastStatus = S;
  return S;
}

Status Pen::SetColor(const Color& color) {
  FBrush = std::make_unique<SolidBrush>(color);
  return Ok;
}

Status Pen::GetColor(Color* color) const {
  if (!color) return setStatus(InvalidParameter);
  if (FBrush->GetType() != BrushTypeSolidColor) return setStatus(WrongState);
  return static_cast<const SolidBrush&>(*FBrush).GetColor(color);
}

Status Pen::SetBrush(const Brush* brush) {
  if (!brush) return setStatus(InvalidParameter);
  FBrush = brush->Clone();
  return Ok;
}

Status Pen::SetWidth(REAL width) {
  if (width < 0) return setStatus(InvalidParameter);
  FWidth = width;
  return Ok;
}

Status Pen::SetDashStyle(DashStyle dashStyle) {
  if (dashStyle < DashStyleSolid || dashStyle > DashStyleDashDotDot) return setStatus(InvalidParameter);
  FDashStyle = dashStyle;
  return Ok;
}

Status Pen::SetStartCap(LineCap startCap) {
  if (!validLineCap(startCap)) return setStatus(InvalidParameter);
  FStartCap = startCap;
  return Ok;
}

Status Pen::SetEndCap(LineCap endCap) {
  if (!validLineCap(endCap)) return setStatus(InvalidParameter);
  FEndCap = endCap;
  return Ok;
}

Status Pen::SetDashCap(DashCap dashCap) {
  if (!validDashCap(dashCap)) return setStatus(InvalidParameter);
  FDashCap = dashCap;
  return Ok;
}

Status Pen::SetLineCap(LineCap startCap, LineCap endCap, DashCap dashCap) {
  if (!validLineCap(startCap) || !validLineCap(endCap) || !validDashCap(dashCap)) return setStatus(InvalidParameter);
  FStartCap = startCap;
  FEndCap = endCap;
  FDashCap = dashCap;
  return Ok;
}

Status Pen::SetLineJoin(LineJoin lineJoin) {
  if (lineJoin < LineJoinMiter || lineJoin > LineJoinMiterClipped) return setStatus(InvalidParameter);
  FLineJoin = lineJoin;
  return Ok;
}

bool Pen::NeedsCapShapes() const {
  if (FWidth == 0) return false;
  if (FDashStyle != DashStyleSolid) return FStartCap != LineCapFlat || FEndCap != LineCapFlat;
  return FStartCap != FEndCap || FStartCap == LineCapTriangle;
}

QPen Pen::QtPen() const {
  QPen P(FBrush->QtBrush(), FWidth);
  P.setCosmetic(FWidth == 0);
  if (FDashStyle != DashStyleSolid) {
    P.setDashPattern(dashPattern(FDashStyle));
    P.setCapStyle(FDashCap == DashCapRound ? Qt::RoundCap : Qt::FlatCap);
  } else {
    P.setCapStyle(NeedsCapShapes() ? Qt::FlatCap : qtCap(FStartCap));
  }
  P.setJoinStyle(qtJoin(FLineJoin));
  P.setMiterLimit(MiterLimit);
  return P;
}

String Pen::RecordText() const {
  static const char* const DashNames[] = {"", "dash", "dot", "dashdot", "dashdotdot"};
  String T = FBrush->RecordText();
  if (FWidth != 1) T += QStringLiteral("/w") + RecordNumber(FWidth);
  if (FDashStyle != DashStyleSolid) T += QLatin1Char('/') + QLatin1String(DashNames[FDashStyle]);
  return T;
}

}  // namespace gdiplus
