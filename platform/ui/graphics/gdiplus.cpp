#include "platform/ui/graphics/gdiplus.h"

#include "platform/ui/graphics/gdiplus_p.h"
#include "platform/ui/graphics/graphicsstate_p.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace gdiplus {

// ---------------------------------------------------------------------------
// availability

}  // namespace gdiplus

struct graphics_detail::TGdiplusState {
  bool Available = true;
};

namespace gdiplus {

Status GdipCreateSolidFill(ARGB Color, SolidBrush** Result) {
  if (!Result) return InvalidParameter;
  *Result = nullptr;
  if (!GdiplusAvailable()) return GdiplusNotInitialized;
  *Result = new SolidBrush(gdiplus::Color(Color));
  return Ok;
}

Status GdipDeleteBrush(Brush* Object) {
  if (!Object) return InvalidParameter;
  delete Object;
  return Ok;
}

void SetGdiplusAvailable(bool Available) { GraphicsState().Gdiplus.Get().Available = Available; }
bool GdiplusAvailable() { return GraphicsState().Gdiplus.Get().Available; }

// ---------------------------------------------------------------------------
// helpers

void SinCosDegrees(double Degrees, double& Sin, double& Cos) {
  const double Quarters = Degrees / 90;
  if (Quarters == std::floor(Quarters)) {
    static constexpr double QuarterSin[] = {0, 1, 0, -1};
    const int Q = int(std::fmod(std::fmod(Quarters, 4) + 4, 4));
    Sin = QuarterSin[Q];
    Cos = QuarterSin[(Q + 1) % 4];
    return;
  }
  const double Radians = Degrees * std::numbers::pi / 180;
  Sin = std::sin(Radians);
  Cos = std::cos(Radians);
}

String RecordNumber(double V) {
  if (V == std::floor(V) && std::abs(V) < 1e9) return QString::number(qint64(V));
  return QString::number(V, 'g', 6);
}

String RecordArgs(std::initializer_list<double> Args) {
  QStringList Parts;
  for (double A : Args) Parts << RecordNumber(A);
  return Parts.join(QLatin1Char(','));
}

String RecordColor(const Color& C) {
  return QStringLiteral("$%1").arg(C.GetValue(), 8, 16, QLatin1Char('0')).toUpper();
}

// ---------------------------------------------------------------------------
// Matrix

Matrix TMatrixAccess::FromQt(const QTransform& T) {
  Matrix R;
  R.M[0] = T.m11();
  R.M[1] = T.m12();
  R.M[2] = T.m21();
  R.M[3] = T.m22();
  R.M[4] = T.dx();
  R.M[5] = T.dy();
  return R;
}

namespace {

void combine(Matrix& Target, const QTransform& M, MatrixOrder Order) {
  const QTransform T = QtTransform(Target);
  Target = TMatrixAccess::FromQt(Order == MatrixOrderAppend ? T * M : M * T);
}

bool validOrder(MatrixOrder Order) { return Order == MatrixOrderPrepend || Order == MatrixOrderAppend; }

QTransform rotation(double Angle) {
  double S, C;
  SinCosDegrees(Angle, S, C);
  return QTransform(C, S, -S, C, 0, 0);
}

}  // namespace

Matrix::Matrix() : M{1, 0, 0, 1, 0, 0} {}

Matrix::Matrix(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy) : M{m11, m12, m21, m22, dx, dy} {}

Status Matrix::GetElements(REAL* m) const {
  if (!m) return InvalidParameter;
  for (int I = 0; I < 6; ++I) m[I] = REAL(M[I]);
  return Ok;
}

Status Matrix::SetElements(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy) {
  *this = Matrix(m11, m12, m21, m22, dx, dy);
  return Ok;
}

Status Matrix::Reset() {
  *this = Matrix();
  return Ok;
}

BOOL Matrix::IsIdentity() const { return QtTransform(*this).isIdentity(); }

BOOL Matrix::IsInvertible() const { return QtTransform(*this).isInvertible(); }

BOOL Matrix::Equals(const Matrix* Other) const {
  return Other && std::equal(std::begin(M), std::end(M), std::begin(Other->M));
}

Status Matrix::Translate(REAL offsetX, REAL offsetY, MatrixOrder order) {
  if (!validOrder(order)) return InvalidParameter;
  combine(*this, QTransform::fromTranslate(offsetX, offsetY), order);
  return Ok;
}

Status Matrix::Scale(REAL scaleX, REAL scaleY, MatrixOrder order) {
  if (!validOrder(order)) return InvalidParameter;
  combine(*this, QTransform::fromScale(scaleX, scaleY), order);
  return Ok;
}

Status Matrix::Rotate(REAL angle, MatrixOrder order) {
  if (!validOrder(order)) return InvalidParameter;
  combine(*this, rotation(angle), order);
  return Ok;
}

Status Matrix::RotateAt(REAL angle, const PointF& center, MatrixOrder order) {
  if (!validOrder(order)) return InvalidParameter;
  const QTransform About = QTransform::fromTranslate(-center.X, -center.Y) * rotation(angle) *
                           QTransform::fromTranslate(center.X, center.Y);
  combine(*this, About, order);
  return Ok;
}

Status Matrix::Multiply(const Matrix* matrix, MatrixOrder order) {
  if (!matrix || !validOrder(order)) return InvalidParameter;
  combine(*this, QtTransform(*matrix), order);
  return Ok;
}

Status Matrix::Invert() {
  bool Invertible = false;
  const QTransform Inverse = QtTransform(*this).inverted(&Invertible);
  if (!Invertible) return InvalidParameter;
  *this = TMatrixAccess::FromQt(Inverse);
  return Ok;
}

Status Matrix::TransformPoints(PointF* pts, INT count) const {
  if (!pts || count < 0) return InvalidParameter;
  const QTransform T = QtTransform(*this);
  for (INT I = 0; I < count; ++I) {
    const QPointF P = T.map(QtPoint(pts[I]));
    pts[I] = PointF(REAL(P.x()), REAL(P.y()));
  }
  return Ok;
}

Status Matrix::TransformPoints(Point* pts, INT count) const {
  if (!pts || count < 0) return InvalidParameter;
  const QTransform T = QtTransform(*this);
  for (INT I = 0; I < count; ++I) {
    const QPointF P = T.map(QPointF(pts[I].X, pts[I].Y));
    pts[I] = Point(RoundHalfUp(P.x()), RoundHalfUp(P.y()));
  }
  return Ok;
}

}  // namespace gdiplus
