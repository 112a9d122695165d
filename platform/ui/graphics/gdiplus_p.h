// Internals of the GDI+-style objects shared by their source files
// (gdiplus.cpp: probe, Matrix; gdiplus_path.cpp; gdiplus_brush.cpp: brushes
// and Pen; gdiplus_text.cpp: fonts and text; gdiplus_image.cpp: bitmaps and
// DrawImage; gdiplus_graphics.cpp).  Not for other code.
#pragma once

#include "platform/ui/graphics/gdiplus.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <cmath>

namespace gdiplus {

struct TMatrixAccess {
  static QTransform ToQt(const Matrix& M) { return QTransform(M.M[0], M.M[1], M.M[2], M.M[3], M.M[4], M.M[5]); }
  static Matrix FromQt(const QTransform& T);
};
inline QTransform QtTransform(const Matrix& M) { return TMatrixAccess::ToQt(M); }

inline QColor QtColor(const Color& C) { return QColor::fromRgba(C.GetValue()); }
inline QPointF QtPoint(const PointF& P) { return QPointF(P.X, P.Y); }
inline QRectF QtRect(const RectF& R) { return QRectF(R.X, R.Y, R.Width, R.Height); }
inline RectF FromQt(const QRectF& R) { return RectF(REAL(R.x()), REAL(R.y()), REAL(R.width()), REAL(R.height())); }
// Integer results of coordinates: halves up, as the device pipeline rounds.
inline INT RoundHalfUp(double V) { return INT(std::floor(V + 0.5)); }
// The smallest integer rectangle holding R.
inline Rect EnclosingRect(const RectF& R) {
  const INT Left = INT(std::floor(R.X)), Top = INT(std::floor(R.Y));
  return Rect(Left, Top, INT(std::ceil(R.GetRight())) - Left, INT(std::ceil(R.GetBottom())) - Top);
}

// The infinite region's area (what it reports as its bounds).
inline constexpr QRectF InfiniteRect(-4194304, -4194304, 8388608, 8388608);

// cos and sin of an angle in degrees, exact at multiples of 90.
void SinCosDegrees(double Degrees, double& Sin, double& Cos);

// The Bézier points of an arc of the ellipse inscribed in Bounds: the
// start point, then three points per segment of at most 90 degrees.  Angles
// are radial angles (degrees, clockwise); sweeps beyond +/-360 are cut.
std::vector<PointF> ArcBeziers(const RectF& Bounds, REAL StartAngle, REAL SweepAngle);

// Number texts for recordings: integers without a fraction, else up to 6 digits.
String RecordNumber(double V);
String RecordArgs(std::initializer_list<double> Args);
// "$AARRGGBB"
String RecordColor(const Color& C);

// The surface's painter made ready for one drawing call of a Graphics, and
// put back into the DC's state afterwards.  Shapes follow the smoothing and
// pixel offset modes, text the text rendering hint, images the
// interpolation mode (and always map pixel corners).  Null when nothing is
// drawn (a surface without pixels, a bad DC).
class TGraphicsPaint {
public:
  enum class TKind { Shape, Text, Image };
  TGraphicsPaint(const Graphics& G, TKind Kind);
  ~TGraphicsPaint();
  TGraphicsPaint(const TGraphicsPaint&) = delete;
  TGraphicsPaint& operator=(const TGraphicsPaint&) = delete;

  explicit operator bool() const { return FPainter != nullptr; }
  QPainter* operator->() const { return FPainter; }
  QPainter* Painter() const { return FPainter; }

private:
  QPainter* FPainter = nullptr;
};

}  // namespace gdiplus
