// Graphics: creation, modes, transforms, clipping and the shape calls.
// DrawString and MeasureString live in gdiplus_text.cpp, DrawImage in
// gdiplus_image.cpp.
#include "platform/ui/graphics/gdiplus.h"

#include "platform/ui/graphics/gdiplus_p.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/graphics/surface.h"

#include <QPaintDevice>
#include <cmath>
#include <numbers>
#include <utility>

namespace gdiplus {

// ---------------------------------------------------------------------------
// the painter of one call

namespace {

bool antialiased(SmoothingMode Mode) {
  return Mode == SmoothingModeHighQuality || Mode == SmoothingModeAntiAlias || Mode == SmoothingModeAntiAlias8x8;
}

bool centredPixels(PixelOffsetMode Mode) { return Mode != PixelOffsetModeHalf && Mode != PixelOffsetModeHighQuality; }

// Qt samples pixel centres at +0.5 and leaves a centre lying exactly on a
// left or top edge outside; the aliased rules keep it inside.  Qt's
// rasteriser works in 1/64 pixel, so one step less than the half pixel turns
// those ties the other way and changes nothing else.
constexpr qreal CentreShift = 0.5;
constexpr qreal AliasedCentreShift = 0.5 - 1.0 / 64;

}  // namespace

TGraphicsPaint::TGraphicsPaint(const Graphics& G, TKind Kind) {
  if (!G.FValid) return;
  QPainter* P = gdi::DCPainter(G.FDC);
  if (!P) return;
  FPainter = P;
  P->save();
  if (G.FClip) {
    // Clips are pixel sets, whatever the smoothing.
    P->setRenderHint(QPainter::Antialiasing, false);
    P->setClipPath(*G.FClip, P->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
  }
  QTransform T = QtTransform(G.FWorld) * QtTransform(G.FBase);
  switch (Kind) {
  case TKind::Shape: {
    const bool Smooth = antialiased(G.FSmoothing);
    P->setRenderHint(QPainter::Antialiasing, Smooth);
    if (centredPixels(G.FPixelOffset)) {
      const qreal Shift = Smooth ? CentreShift : AliasedCentreShift;
      T *= QTransform::fromTranslate(Shift, Shift);
    }
    break;
  }
  case TKind::Text:
    P->setRenderHint(QPainter::TextAntialiasing, G.FTextHint != TextRenderingHintSingleBitPerPixel &&
                                                     G.FTextHint != TextRenderingHintSingleBitPerPixelGridFit);
    break;
  case TKind::Image:
    P->setRenderHint(QPainter::SmoothPixmapTransform, G.FInterpolation != InterpolationModeNearestNeighbor);
    break;
  }
  P->setTransform(T);
}

TGraphicsPaint::~TGraphicsPaint() {
  if (FPainter) FPainter->restore();
}

// ---------------------------------------------------------------------------
// creation, modes

Graphics::Graphics(HDC hdc) : FDC(hdc) {
  gdi::TDCDeviceInfo Info;
  FValid = gdi::GetDCDeviceInfo(hdc, Info);
  if (!FValid) {
    FLastStatus = InvalidParameter;
    return;
  }
  const QTransform Base = gdi::DCSurfaceTransform(hdc);
  FBase = TMatrixAccess::FromQt(Base);
  // World units per inch: the mapping's scale turns logical units into device pixels.
  const double ScaleX = std::hypot(Base.m11(), Base.m12());
  const double ScaleY = std::hypot(Base.m21(), Base.m22());
  const double DeviceDpiX = gdi::GetDeviceCaps(hdc, gdi::LOGPIXELSX);
  const double DeviceDpiY = gdi::GetDeviceCaps(hdc, gdi::LOGPIXELSY);
  FDpiX = REAL(ScaleX > 0 ? DeviceDpiX / ScaleX : DeviceDpiX);
  FDpiY = REAL(ScaleY > 0 ? DeviceDpiY / ScaleY : DeviceDpiY);
}

Graphics::~Graphics() = default;

Status Graphics::GetLastStatus() const { return std::exchange(FLastStatus, Ok); }

Status Graphics::setStatus(Status S) const {
  if (S != Ok) FLastStatus = S;
  return S;
}

Status Graphics::SetSmoothingMode(SmoothingMode smoothingMode) {
  if (smoothingMode < SmoothingModeDefault || smoothingMode > SmoothingModeAntiAlias8x8)
    return setStatus(InvalidParameter);
  FSmoothing = smoothingMode;
  return Ok;
}

Status Graphics::SetPixelOffsetMode(PixelOffsetMode pixelOffsetMode) {
  if (pixelOffsetMode < PixelOffsetModeDefault || pixelOffsetMode > PixelOffsetModeHalf)
    return setStatus(InvalidParameter);
  FPixelOffset = pixelOffsetMode;
  return Ok;
}

Status Graphics::SetTextRenderingHint(TextRenderingHint newMode) {
  if (newMode < TextRenderingHintSystemDefault || newMode > TextRenderingHintClearTypeGridFit)
    return setStatus(InvalidParameter);
  FTextHint = newMode;
  return Ok;
}

Status Graphics::SetInterpolationMode(InterpolationMode interpolationMode) {
  if (interpolationMode < InterpolationModeDefault || interpolationMode > InterpolationModeHighQualityBicubic)
    return setStatus(InvalidParameter);
  FInterpolation = interpolationMode;
  return Ok;
}

Status Graphics::SetPageUnit(Unit unit) { return unit == UnitPixel ? Ok : setStatus(NotImplemented); }

REAL Graphics::GetDpiX() const { return FDpiX; }
REAL Graphics::GetDpiY() const { return FDpiY; }

// ---------------------------------------------------------------------------
// world transform

Status Graphics::SetTransform(const Matrix* matrix) {
  if (!matrix) return setStatus(InvalidParameter);
  FWorld = *matrix;
  return Ok;
}

Status Graphics::GetTransform(Matrix* matrix) const {
  if (!matrix) return setStatus(InvalidParameter);
  *matrix = FWorld;
  return Ok;
}

Status Graphics::ResetTransform() { return FWorld.Reset(); }

Status Graphics::MultiplyTransform(const Matrix* matrix, MatrixOrder order) {
  return setStatus(FWorld.Multiply(matrix, order));
}

Status Graphics::TranslateTransform(REAL dx, REAL dy, MatrixOrder order) {
  return setStatus(FWorld.Translate(dx, dy, order));
}

Status Graphics::ScaleTransform(REAL sx, REAL sy, MatrixOrder order) {
  return setStatus(FWorld.Scale(sx, sy, order));
}

Status Graphics::RotateTransform(REAL angle, MatrixOrder order) { return setStatus(FWorld.Rotate(angle, order)); }

// ---------------------------------------------------------------------------
// clip

namespace {

QPainterPath rectPath(const QRectF& R) {
  QPainterPath P;
  P.addRect(R);
  return P;
}

}  // namespace

Status Graphics::combineClip(const QPainterPath& Area, bool Infinite, CombineMode Mode) {
  if (!FValid) return setStatus(InvalidParameter);
  if (Mode < CombineModeReplace || Mode > CombineModeComplement) return setStatus(InvalidParameter);
  const QPainterPath New =
      Infinite ? rectPath(InfiniteRect) : (QtTransform(FWorld) * QtTransform(FBase)).map(Area);
  if (Mode == CombineModeReplace) {
    FClip = Infinite ? nullptr : std::make_unique<QPainterPath>(New);
    return Ok;
  }
  const QPainterPath Current = FClip ? *FClip : rectPath(InfiniteRect);
  QPainterPath Result;
  switch (Mode) {
  case CombineModeIntersect:
    Result = Current.intersected(New);
    break;
  case CombineModeUnion:
    Result = Current.united(New);
    break;
  case CombineModeXor:
    Result = Current.subtracted(New).united(New.subtracted(Current));
    break;
  case CombineModeExclude:
    Result = Current.subtracted(New);
    break;
  default:  // CombineModeComplement
    Result = New.subtracted(Current);
    break;
  }
  FClip = std::make_unique<QPainterPath>(Result);
  return Ok;
}

Status Graphics::SetClip(const RectF& rect, CombineMode combineMode) {
  return combineClip(rectPath(QtRect(rect)), false, combineMode);
}

Status Graphics::SetClip(const Rect& rect, CombineMode combineMode) { return SetClip(RectF(rect), combineMode); }

Status Graphics::SetClip(const GraphicsPath* path, CombineMode combineMode) {
  if (!path) return setStatus(InvalidParameter);
  return combineClip(path->QtPath(), false, combineMode);
}

Status Graphics::SetClip(const Region* region, CombineMode combineMode) {
  if (!region) return setStatus(InvalidParameter);
  const QPainterPath* Area = region->QtPath();
  return combineClip(Area ? *Area : QPainterPath(), !Area, combineMode);
}

Status Graphics::ResetClip() {
  FClip.reset();
  return Ok;
}

Status Graphics::GetVisibleClipBounds(RectF* rect) const {
  if (!rect) return setStatus(InvalidParameter);
  gdi::RECT Box;
  if (!FValid || gdi::GetClipBox(FDC, &Box) == 0) return setStatus(InvalidParameter);
  // The DC's clip box is logical in the DC's current mapping.
  QRectF Visible = gdi::DCSurfaceTransform(FDC).mapRect(QRectF(Box.Left, Box.Top, Box.Width(), Box.Height()));
  if (FClip) Visible &= FClip->boundingRect();
  bool Invertible = false;
  const QTransform ToWorld = (QtTransform(FWorld) * QtTransform(FBase)).inverted(&Invertible);
  *rect = Invertible && !Visible.isEmpty() ? FromQt(ToWorld.mapRect(Visible)) : RectF();
  return Ok;
}

Status Graphics::GetVisibleClipBounds(Rect* rect) const {
  if (!rect) return setStatus(InvalidParameter);
  RectF R;
  const Status S = GetVisibleClipBounds(&R);
  if (S == Ok) *rect = EnclosingRect(R);
  return S;
}

// ---------------------------------------------------------------------------
// recording

bool Graphics::recording() const { return FValid && gdi::IsRecordingDC(FDC); }

void Graphics::record(const String& Line) const { DCSurface(FDC)->RecordedCalls << Line; }

namespace {

String callText(const char* Name, std::initializer_list<double> Args, const GraphicsPath& Path) {
  String Text = QLatin1String(Name) + QLatin1Char('(');
  if (Args.size() > 0) {
    Text += RecordArgs(Args);
  } else {
    QStringList Points;
    for (const PointF& P : Path.Points()) Points << RecordNumber(P.X) << RecordNumber(P.Y);
    Text += Points.join(QLatin1Char(','));
  }
  return Text + QLatin1Char(')');
}

}  // namespace

// ---------------------------------------------------------------------------
// painting

namespace {

PointF unitVector(const PointF& From, const PointF& To) {
  const double DX = To.X - From.X, DY = To.Y - From.Y;
  const double Length = std::hypot(DX, DY);
  return PointF(REAL(DX / Length), REAL(DY / Length));
}

// The shape of Cap at End for a stroke of half-width Half leaving in
// direction Out (a unit vector pointing away from the line).
void addCap(QPainterPath& Caps, LineCap Cap, const PointF& End, const PointF& Out, double Half) {
  const QPointF E = QtPoint(End);
  const QPointF U(Out.X * Half, Out.Y * Half);
  const QPointF N(Out.Y * Half, -Out.X * Half);  // turning N clockwise by 90 degrees gives U
  switch (Cap) {
  case LineCapSquare:
    Caps.addPolygon(QPolygonF({E + N, E + N + U, E - N + U, E - N}));
    Caps.closeSubpath();
    break;
  case LineCapTriangle:
    Caps.addPolygon(QPolygonF({E + N, E + U, E - N}));
    Caps.closeSubpath();
    break;
  case LineCapRound: {
    const double From = std::atan2(N.y(), N.x()) * 180 / std::numbers::pi;
    const std::vector<PointF> Arc =
        ArcBeziers(RectF(REAL(E.x() - Half), REAL(E.y() - Half), REAL(2 * Half), REAL(2 * Half)), REAL(From), 180);
    Caps.moveTo(QtPoint(Arc[0]));
    for (size_t I = 1; I + 2 < Arc.size(); I += 3) Caps.cubicTo(QtPoint(Arc[I]), QtPoint(Arc[I + 1]), QtPoint(Arc[I + 2]));
    Caps.closeSubpath();
    break;
  }
  default:
    break;
  }
}

// The start and end caps of every open figure of Path, for pens whose caps
// Qt cannot draw itself.  Figures of one distinct point get none.
QPainterPath capShapes(const Pen& P, const GraphicsPath& Path) {
  QPainterPath Caps;
  Caps.setFillRule(Qt::WindingFill);
  const std::vector<PointF>& Points = Path.Points();
  const std::vector<BYTE>& Types = Path.Types();
  const double Half = P.GetWidth() / 2.0;
  size_t Begin = 0;
  while (Begin < Points.size()) {
    size_t End = Begin + 1;
    while (End < Points.size() && (Types[End] & PathPointTypePathTypeMask) != PathPointTypeStart) ++End;
    const bool Closed = Types[End - 1] & PathPointTypeCloseSubpath;
    size_t Next = Begin + 1;
    while (Next < End && Points[Next] == Points[Begin]) ++Next;
    if (!Closed && Next < End) {
      size_t Previous = End - 2;
      while (Points[Previous] == Points[End - 1]) --Previous;
      addCap(Caps, P.GetStartCap(), Points[Begin], unitVector(Points[Next], Points[Begin]), Half);
      addCap(Caps, P.GetEndCap(), Points[End - 1], unitVector(Points[Previous], Points[End - 1]), Half);
    }
    Begin = End;
  }
  return Caps;
}

}  // namespace

Status Graphics::strokePath(const Pen* pen, const GraphicsPath& Path, const char* Name,
                            std::initializer_list<double> Args) {
  if (!FValid || !pen) return setStatus(InvalidParameter);
  if (Name && recording()) record(callText(Name, Args, Path) + QStringLiteral(" pen=") + pen->RecordText());
  TGraphicsPaint Paint(*this, TGraphicsPaint::TKind::Shape);
  if (!Paint) return Ok;
  const QPen QtPen = pen->QtPen();
  Paint->setPen(QtPen);
  Paint->setBrush(Qt::NoBrush);
  Paint->drawPath(Path.QtPath());
  if (pen->NeedsCapShapes()) Paint->fillPath(capShapes(*pen, Path), QtPen.brush());
  return Ok;
}

Status Graphics::fillPath(const Brush* brush, const GraphicsPath& Path, const char* Name,
                          std::initializer_list<double> Args) {
  if (!FValid || !brush) return setStatus(InvalidParameter);
  if (Name && recording()) record(callText(Name, Args, Path) + QStringLiteral(" brush=") + brush->RecordText());
  TGraphicsPaint Paint(*this, TGraphicsPaint::TKind::Shape);
  if (!Paint) return Ok;
  QBrush QtBrush = brush->QtBrush();
  if (brush->DeviceAligned()) QtBrush.setTransform(Paint->transform().inverted());
  const QPainterPath* Limit = brush->PaintedArea();
  Paint->fillPath(Limit ? Path.QtPath().intersected(*Limit) : Path.QtPath(), QtBrush);
  return Ok;
}

Status Graphics::Clear(const Color& color) {
  if (!FValid) return setStatus(InvalidParameter);
  if (recording()) record(QStringLiteral("Clear(%1)").arg(RecordColor(color)));
  TGraphicsPaint Paint(*this, TGraphicsPaint::TKind::Shape);
  if (!Paint) return Ok;
  Paint->setTransform(QTransform());
  Paint->setCompositionMode(QPainter::CompositionMode_Source);
  const QPaintDevice* Device = Paint->device();
  Paint->fillRect(QRect(0, 0, Device->width(), Device->height()), QtColor(color));
  return Ok;
}

void Graphics::Flush(FlushIntention /*intention*/) {}

// ---------------------------------------------------------------------------
// lines and outlines

Status Graphics::DrawLine(const Pen* pen, REAL x1, REAL y1, REAL x2, REAL y2) {
  GraphicsPath Path;
  Path.AddLine(x1, y1, x2, y2);
  return strokePath(pen, Path, "DrawLine", {x1, y1, x2, y2});
}

Status Graphics::DrawLine(const Pen* pen, INT x1, INT y1, INT x2, INT y2) {
  return DrawLine(pen, REAL(x1), REAL(y1), REAL(x2), REAL(y2));
}
Status Graphics::DrawLine(const Pen* pen, const PointF& pt1, const PointF& pt2) {
  return DrawLine(pen, pt1.X, pt1.Y, pt2.X, pt2.Y);
}
Status Graphics::DrawLine(const Pen* pen, const Point& pt1, const Point& pt2) {
  return DrawLine(pen, pt1.X, pt1.Y, pt2.X, pt2.Y);
}

Status Graphics::DrawLines(const Pen* pen, const PointF* points, INT count) {
  if (!points || count < 2) return setStatus(InvalidParameter);
  GraphicsPath Path;
  Path.AddLines(points, count);
  return strokePath(pen, Path, "DrawLines", {});
}

Status Graphics::DrawLines(const Pen* pen, const Point* points, INT count) {
  if (!points || count < 2) return setStatus(InvalidParameter);
  GraphicsPath Path;
  Path.AddLines(points, count);
  return strokePath(pen, Path, "DrawLines", {});
}

Status Graphics::DrawRectangle(const Pen* pen, REAL x, REAL y, REAL width, REAL height) {
  GraphicsPath Path;
  Path.AddRectangle(RectF(x, y, width, height));
  return strokePath(pen, Path, "DrawRectangle", {x, y, width, height});
}

Status Graphics::DrawRectangle(const Pen* pen, INT x, INT y, INT width, INT height) {
  return DrawRectangle(pen, REAL(x), REAL(y), REAL(width), REAL(height));
}
Status Graphics::DrawRectangle(const Pen* pen, const RectF& rect) {
  return DrawRectangle(pen, rect.X, rect.Y, rect.Width, rect.Height);
}
Status Graphics::DrawRectangle(const Pen* pen, const Rect& rect) {
  return DrawRectangle(pen, rect.X, rect.Y, rect.Width, rect.Height);
}

Status Graphics::DrawEllipse(const Pen* pen, REAL x, REAL y, REAL width, REAL height) {
  GraphicsPath Path;
  Path.AddEllipse(x, y, width, height);
  return strokePath(pen, Path, "DrawEllipse", {x, y, width, height});
}

Status Graphics::DrawEllipse(const Pen* pen, INT x, INT y, INT width, INT height) {
  return DrawEllipse(pen, REAL(x), REAL(y), REAL(width), REAL(height));
}
Status Graphics::DrawEllipse(const Pen* pen, const RectF& rect) {
  return DrawEllipse(pen, rect.X, rect.Y, rect.Width, rect.Height);
}
Status Graphics::DrawEllipse(const Pen* pen, const Rect& rect) {
  return DrawEllipse(pen, rect.X, rect.Y, rect.Width, rect.Height);
}

Status Graphics::DrawArc(const Pen* pen, REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle) {
  GraphicsPath Path;
  Path.AddArc(x, y, width, height, startAngle, sweepAngle);
  return strokePath(pen, Path, "DrawArc", {x, y, width, height, startAngle, sweepAngle});
}

Status Graphics::DrawArc(const Pen* pen, INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle) {
  return DrawArc(pen, REAL(x), REAL(y), REAL(width), REAL(height), startAngle, sweepAngle);
}
Status Graphics::DrawArc(const Pen* pen, const RectF& rect, REAL startAngle, REAL sweepAngle) {
  return DrawArc(pen, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}
Status Graphics::DrawArc(const Pen* pen, const Rect& rect, REAL startAngle, REAL sweepAngle) {
  return DrawArc(pen, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

Status Graphics::DrawPie(const Pen* pen, REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle) {
  GraphicsPath Path;
  Path.AddPie(x, y, width, height, startAngle, sweepAngle);
  return strokePath(pen, Path, "DrawPie", {x, y, width, height, startAngle, sweepAngle});
}

Status Graphics::DrawPie(const Pen* pen, INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle) {
  return DrawPie(pen, REAL(x), REAL(y), REAL(width), REAL(height), startAngle, sweepAngle);
}
Status Graphics::DrawPie(const Pen* pen, const RectF& rect, REAL startAngle, REAL sweepAngle) {
  return DrawPie(pen, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}
Status Graphics::DrawPie(const Pen* pen, const Rect& rect, REAL startAngle, REAL sweepAngle) {
  return DrawPie(pen, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

Status Graphics::DrawPolygon(const Pen* pen, const PointF* points, INT count) {
  GraphicsPath Path;
  if (Path.AddPolygon(points, count) != Ok) return setStatus(InvalidParameter);
  return strokePath(pen, Path, "DrawPolygon", {});
}

Status Graphics::DrawPolygon(const Pen* pen, const Point* points, INT count) {
  GraphicsPath Path;
  if (Path.AddPolygon(points, count) != Ok) return setStatus(InvalidParameter);
  return strokePath(pen, Path, "DrawPolygon", {});
}

Status Graphics::DrawPath(const Pen* pen, const GraphicsPath* path) {
  if (!path) return setStatus(InvalidParameter);
  return strokePath(pen, *path, "DrawPath", {});
}

// ---------------------------------------------------------------------------
// fills

Status Graphics::FillRectangle(const Brush* brush, REAL x, REAL y, REAL width, REAL height) {
  GraphicsPath Path;
  Path.AddRectangle(RectF(x, y, width, height));
  return fillPath(brush, Path, "FillRectangle", {x, y, width, height});
}

Status Graphics::FillRectangle(const Brush* brush, INT x, INT y, INT width, INT height) {
  return FillRectangle(brush, REAL(x), REAL(y), REAL(width), REAL(height));
}
Status Graphics::FillRectangle(const Brush* brush, const RectF& rect) {
  return FillRectangle(brush, rect.X, rect.Y, rect.Width, rect.Height);
}
Status Graphics::FillRectangle(const Brush* brush, const Rect& rect) {
  return FillRectangle(brush, rect.X, rect.Y, rect.Width, rect.Height);
}

Status Graphics::FillEllipse(const Brush* brush, REAL x, REAL y, REAL width, REAL height) {
  GraphicsPath Path;
  Path.AddEllipse(x, y, width, height);
  return fillPath(brush, Path, "FillEllipse", {x, y, width, height});
}

Status Graphics::FillEllipse(const Brush* brush, INT x, INT y, INT width, INT height) {
  return FillEllipse(brush, REAL(x), REAL(y), REAL(width), REAL(height));
}
Status Graphics::FillEllipse(const Brush* brush, const RectF& rect) {
  return FillEllipse(brush, rect.X, rect.Y, rect.Width, rect.Height);
}
Status Graphics::FillEllipse(const Brush* brush, const Rect& rect) {
  return FillEllipse(brush, rect.X, rect.Y, rect.Width, rect.Height);
}

Status Graphics::FillPie(const Brush* brush, REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                         REAL sweepAngle) {
  GraphicsPath Path;
  Path.AddPie(x, y, width, height, startAngle, sweepAngle);
  return fillPath(brush, Path, "FillPie", {x, y, width, height, startAngle, sweepAngle});
}

Status Graphics::FillPie(const Brush* brush, INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle) {
  return FillPie(brush, REAL(x), REAL(y), REAL(width), REAL(height), startAngle, sweepAngle);
}
Status Graphics::FillPie(const Brush* brush, const RectF& rect, REAL startAngle, REAL sweepAngle) {
  return FillPie(brush, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}
Status Graphics::FillPie(const Brush* brush, const Rect& rect, REAL startAngle, REAL sweepAngle) {
  return FillPie(brush, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

Status Graphics::FillPolygon(const Brush* brush, const PointF* points, INT count, FillMode fillMode) {
  GraphicsPath Path(fillMode);
  if (Path.AddPolygon(points, count) != Ok) return setStatus(InvalidParameter);
  return fillPath(brush, Path, "FillPolygon", {});
}

Status Graphics::FillPolygon(const Brush* brush, const Point* points, INT count, FillMode fillMode) {
  GraphicsPath Path(fillMode);
  if (Path.AddPolygon(points, count) != Ok) return setStatus(InvalidParameter);
  return fillPath(brush, Path, "FillPolygon", {});
}

Status Graphics::FillPath(const Brush* brush, const GraphicsPath* path) {
  if (!path) return setStatus(InvalidParameter);
  return fillPath(brush, *path, "FillPath", {});
}

}  // namespace gdiplus
