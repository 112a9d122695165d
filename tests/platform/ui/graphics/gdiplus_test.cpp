// The GDI+-style objects without drawing: the probe, Matrix, GraphicsPath
// tables, Region, brush and pen parameters, fonts and string formats.
// Drawing is tested in gdiplus_graphics_test.cpp.
#include "platform/ui/graphics/gdiplus.h"

#include "platform/ui/graphics/regions.h"
#include "tests/support/testing.h"

#include <QFont>
#include <QFontInfo>
#include <vector>

namespace gdiplus {
namespace {

std::vector<BYTE> typesOf(const GraphicsPath& Path) {
  std::vector<BYTE> Types(size_t(Path.GetPointCount()));
  EXPECT_EQ(Path.GetPathTypes(Types.data(), Path.GetPointCount()), Ok);
  return Types;
}

std::vector<PointF> pointsOf(const GraphicsPath& Path) {
  std::vector<PointF> Points(size_t(Path.GetPointCount()));
  EXPECT_EQ(Path.GetPathPoints(Points.data(), Path.GetPointCount()), Ok);
  return Points;
}

void expectNear(const PointF& Actual, const PointF& Expected, float Tolerance = 1e-4f) {
  EXPECT_NEAR(Actual.X, Expected.X, Tolerance);
  EXPECT_NEAR(Actual.Y, Expected.Y, Tolerance);
}

int figureCount(const std::vector<BYTE>& Types) {
  int N = 0;
  for (BYTE T : Types) N += (T & PathPointTypePathTypeMask) == PathPointTypeStart;
  return N;
}

// The control-point distance of a quarter circle of radius 1.
constexpr float Kappa = 0.5522847f;

// ---------------------------------------------------------------------------
// availability

TEST(GdiplusProbe, CreatesASolidFillUnlessSwitchedOff) {
  SolidBrush* Brush = nullptr;
  ASSERT_EQ(GdipCreateSolidFill(0xFF102030, &Brush), Ok);
  ASSERT_NE(Brush, nullptr);
  Color C;
  EXPECT_EQ(Brush->GetColor(&C), Ok);
  EXPECT_EQ(C.GetValue(), 0xFF102030u);
  EXPECT_EQ(GdipDeleteBrush(Brush), Ok);

  SetGdiplusAvailable(false);
  Brush = reinterpret_cast<SolidBrush*>(1);
  EXPECT_EQ(GdipCreateSolidFill(0xFF000000, &Brush), GdiplusNotInitialized);
  EXPECT_EQ(Brush, nullptr);
  SetGdiplusAvailable(true);
  EXPECT_TRUE(GdiplusAvailable());
  EXPECT_EQ(GdipCreateSolidFill(0, nullptr), InvalidParameter);
}

TEST(GdiplusStatus, KeepsTheOriginalNumbers) {
  EXPECT_EQ(int(Ok), 0);
  EXPECT_EQ(int(InvalidParameter), 2);
  EXPECT_EQ(int(NotImplemented), 6);
  EXPECT_EQ(int(GdiplusNotInitialized), 18);
  EXPECT_EQ(int(PropertyNotSupported), 20);
}

// ---------------------------------------------------------------------------
// Matrix

PointF mapped(const Matrix& M, PointF P) {
  M.TransformPoints(&P);
  return P;
}

TEST(GdiplusMatrix, PrependActsFirstAppendActsLast) {
  Matrix Prepended;
  Prepended.Rotate(90);
  Prepended.Translate(10, 0);  // translate, then rotate
  expectNear(mapped(Prepended, PointF(1, 0)), PointF(0, 11));

  Matrix Appended;
  Appended.Rotate(90);
  Appended.Translate(10, 0, MatrixOrderAppend);  // rotate, then translate
  expectNear(mapped(Appended, PointF(1, 0)), PointF(10, 1));
}

TEST(GdiplusMatrix, RotatesClockwiseExactlyOnQuarters) {
  Matrix M;
  M.Rotate(90);
  REAL E[6];
  M.GetElements(E);
  const REAL Expected[6] = {0, 1, -1, 0, 0, 0};
  for (int I = 0; I < 6; ++I) EXPECT_EQ(E[I], Expected[I]) << I;

  Matrix About;
  About.RotateAt(180, PointF(5, 5));
  expectNear(mapped(About, PointF(6, 5)), PointF(4, 5));
  expectNear(mapped(About, PointF(5, 5)), PointF(5, 5));
}

TEST(GdiplusMatrix, InvertAndMultiply) {
  Matrix M(2, 0, 0, 4, 10, 20);
  Matrix Inverse(2, 0, 0, 4, 10, 20);
  ASSERT_EQ(Inverse.Invert(), Ok);
  M.Multiply(&Inverse, MatrixOrderAppend);
  EXPECT_TRUE(M.IsIdentity());

  Matrix Singular(1, 2, 2, 4, 0, 0);
  EXPECT_FALSE(Singular.IsInvertible());
  EXPECT_EQ(Singular.Invert(), InvalidParameter);
  Matrix Same(1, 2, 2, 4, 0, 0);
  EXPECT_TRUE(Singular.Equals(&Same));
  EXPECT_EQ(Singular.Multiply(nullptr), InvalidParameter);
}

TEST(GdiplusMatrix, IntegerPointsRoundHalvesUp) {
  Matrix M(0.5f, 0, 0, 0.5f, 0, 0);
  Point Points[] = {Point(3, -3), Point(1, 5)};
  ASSERT_EQ(M.TransformPoints(Points, 2), Ok);
  EXPECT_EQ(Points[0], Point(2, -1));  // 1.5 -> 2, -1.5 -> -1
  EXPECT_EQ(Points[1], Point(1, 3));
}

// ---------------------------------------------------------------------------
// GraphicsPath tables

TEST(GdiplusPath, LinesJoinTheOpenFigure) {
  GraphicsPath Path;
  Path.AddLine(0, 0, 10, 0);
  Path.AddLine(20, 20, 30, 20);
  EXPECT_EQ(Path.GetPointCount(), 4);
  EXPECT_EQ(typesOf(Path), (std::vector<BYTE>{0, 1, 1, 1}));
  EXPECT_EQ(figureCount(typesOf(Path)), 1);

  // A part starting where the figure ends does not repeat the point.
  Path.AddLine(30, 20, 40, 20);
  EXPECT_EQ(Path.GetPointCount(), 5);
  Path.StartFigure();
  Path.AddLine(0, 50, 10, 50);
  EXPECT_EQ(typesOf(Path), (std::vector<BYTE>{0, 1, 1, 1, 1, 0, 1}));
}

TEST(GdiplusPath, ClosedShapesAreFiguresOfTheirOwn) {
  GraphicsPath Path;
  Path.AddLine(0, 0, 5, 0);
  Path.AddRectangle(RectF(1, 2, 3, 4));
  Path.AddLine(50, 50, 60, 60);  // after a closed figure: a new one
  EXPECT_EQ(typesOf(Path), (std::vector<BYTE>{0, 1, 0, 1, 1, 0x81, 0, 1}));
  const std::vector<PointF> Points = pointsOf(Path);
  EXPECT_EQ(Points[2], PointF(1, 2));
  EXPECT_EQ(Points[3], PointF(4, 2));
  EXPECT_EQ(Points[4], PointF(4, 6));
  EXPECT_EQ(Points[5], PointF(1, 6));

  const Point Triangle[] = {Point(0, 0), Point(4, 0), Point(0, 4)};
  GraphicsPath Polygon;
  Polygon.AddPolygon(Triangle, 3);
  EXPECT_EQ(typesOf(Polygon), (std::vector<BYTE>{0, 1, 0x81}));
  EXPECT_EQ(Polygon.AddPolygon(Triangle, 1), InvalidParameter);
}

TEST(GdiplusPath, EllipseIsFourQuarterBeziersFromZeroDegrees) {
  GraphicsPath Path;
  Path.AddEllipse(0, 0, 10, 10);
  ASSERT_EQ(Path.GetPointCount(), 13);
  std::vector<BYTE> Expected(13, PathPointTypeBezier);
  Expected[0] = PathPointTypeStart;
  Expected[12] |= PathPointTypeCloseSubpath;
  EXPECT_EQ(typesOf(Path), Expected);
  const std::vector<PointF> P = pointsOf(Path);
  expectNear(P[0], PointF(10, 5));
  expectNear(P[1], PointF(10, 5 + 5 * Kappa));  // clockwise: downwards first
  expectNear(P[2], PointF(5 + 5 * Kappa, 10));
  expectNear(P[3], PointF(5, 10));
  expectNear(P[6], PointF(0, 5));
  expectNear(P[9], PointF(5, 0));
  expectNear(P[12], PointF(10, 5));
}

TEST(GdiplusPath, PieIsCentreLineArcClosed) {
  GraphicsPath Path;
  Path.AddPie(0, 0, 10, 10, 0, 90);
  EXPECT_EQ(typesOf(Path), (std::vector<BYTE>{0, 1, 3, 3, 0x83}));
  const std::vector<PointF> P = pointsOf(Path);
  expectNear(P[0], PointF(5, 5));
  expectNear(P[1], PointF(10, 5));
  expectNear(P[4], PointF(5, 10));
}

TEST(GdiplusPath, ArcAnglesAreRadialAnglesOfTheEllipse) {
  struct Case {
    const char* Name;
    REAL Start, Sweep;
    int Points;
    PointF First, Last;
  } const Cases[] = {
      {"quarter", 0, 90, 4, PointF(20, 5), PointF(10, 10)},
      {"radial 45 on a flat ellipse", 45, 90, 4, PointF(14.472136f, 9.472136f), PointF(5.527864f, 9.472136f)},
      {"counter-clockwise", 0, -90, 4, PointF(20, 5), PointF(10, 0)},
      {"just over a quarter: two segments", 0, 91, 7, PointF(20, 5), PointF(9.912f, 9.999f)},
      {"beyond a turn is cut to one", 30, 720, 13, PointF(16.546537f, 8.779645f), PointF(16.546537f, 8.779645f)},
      {"zero sweep: one flat segment", 0, 0, 4, PointF(20, 5), PointF(20, 5)},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    GraphicsPath Path;
    Path.AddArc(RectF(0, 0, 20, 10), C.Start, C.Sweep);
    ASSERT_EQ(Path.GetPointCount(), C.Points);
    const std::vector<PointF> P = pointsOf(Path);
    expectNear(P.front(), C.First, 2e-3f);
    expectNear(P.back(), C.Last, 2e-3f);
  }
}

TEST(GdiplusPath, RoundedRectangleIsOneFigureOfArcsJoinedByLines) {
  GraphicsPath Path;
  Path.AddArc(0, 0, 10, 10, 180, 90);
  Path.AddArc(30, 0, 10, 10, 270, 90);
  Path.AddArc(30, 20, 10, 10, 0, 90);
  Path.AddArc(0, 20, 10, 10, 90, 90);
  Path.CloseFigure();
  const std::vector<BYTE> Types = typesOf(Path);
  EXPECT_EQ(Types, (std::vector<BYTE>{0, 3, 3, 3, 1, 3, 3, 3, 1, 3, 3, 3, 1, 3, 3, 0x83}));
  const std::vector<PointF> P = pointsOf(Path);
  expectNear(P[0], PointF(0, 5));
  expectNear(P[4], PointF(35, 0));
  expectNear(P[15], PointF(0, 25));
  RectF Bounds;
  Path.GetBounds(&Bounds);
  EXPECT_EQ(Bounds, RectF(0, 0, 40, 30));
}

TEST(GdiplusPath, CloseFigureResetAndFillMode) {
  GraphicsPath Path(FillModeWinding);
  Path.AddLine(0, 0, 10, 0);
  Path.AddLine(10, 0, 10, 10);
  Path.CloseFigure();
  Path.CloseFigure();  // nothing open: no effect
  Path.AddLine(0, 0, 1, 1);
  EXPECT_EQ(typesOf(Path), (std::vector<BYTE>{0, 1, 0x81, 0, 1}));
  EXPECT_EQ(Path.GetFillMode(), FillModeWinding);
  Path.Reset();
  EXPECT_EQ(Path.GetPointCount(), 0);
  EXPECT_EQ(Path.GetFillMode(), FillModeAlternate);
  RectF Bounds(1, 1, 1, 1);
  Path.GetBounds(&Bounds);
  EXPECT_EQ(Bounds, RectF());
}

TEST(GdiplusPath, FromPointsAndTypes) {
  const PointF Points[] = {PointF(0, 0), PointF(10, 0), PointF(10, 10), PointF(20, 10), PointF(20, 0),
                           PointF(5, 5), PointF(6, 6)};
  const BYTE Types[] = {0, 1, 3, 3, 0x83, 0, 1};
  GraphicsPath Path(Points, Types, 7, FillModeWinding);
  EXPECT_EQ(Path.GetLastStatus(), Ok);
  EXPECT_EQ(typesOf(Path), std::vector<BYTE>(Types, Types + 7));
  EXPECT_EQ(pointsOf(Path)[3], PointF(20, 10));
  // The open last figure continues.
  Path.AddLine(6, 6, 7, 7);
  EXPECT_EQ(Path.GetPointCount(), 8);

  struct Case {
    const char* Name;
    std::vector<BYTE> Types;
  } const Bad[] = {
      {"unknown kind", {0, 2, 1}},
      {"two Bézier points", {0, 3, 3}},
      {"figure without a start", {1, 1, 1}},
      {"line after a closed figure", {0, 0x81, 1}},
  };
  for (const Case& C : Bad) {
    SCOPED_TRACE(C.Name);
    GraphicsPath P(Points, C.Types.data(), INT(C.Types.size()));
    EXPECT_EQ(P.GetLastStatus(), InvalidParameter);
    EXPECT_EQ(P.GetPointCount(), 0);
  }
  GraphicsPath Negative(Points, Types, -1);
  EXPECT_EQ(Negative.GetLastStatus(), InvalidParameter);

  const Point IntPoints[] = {Point(1, 2), Point(3, 4)};
  const BYTE LineTypes[] = {0, 1};
  GraphicsPath FromInts(IntPoints, LineTypes, 2);
  EXPECT_EQ(pointsOf(FromInts)[1], PointF(3, 4));
}

TEST(GdiplusPath, PointsTypesAndBoundsOut) {
  GraphicsPath Path;
  Path.AddEllipse(RectF(0.4f, 0, 10, 10));
  PointF Few[3];
  EXPECT_EQ(Path.GetPathPoints(Few, 3), InsufficientBuffer);
  Point Rounded[13];
  ASSERT_EQ(Path.GetPathPoints(Rounded, 13), Ok);
  EXPECT_EQ(Rounded[0], Point(10, 5));  // 10.4 rounds down
  EXPECT_EQ(Rounded[6], Point(0, 5));

  RectF Bounds;
  Matrix Twice(2, 0, 0, 2, 0, 0);
  Path.GetBounds(&Bounds, &Twice);
  EXPECT_NEAR(Bounds.X, 0.8f, 1e-4f);
  EXPECT_NEAR(Bounds.Width, 20, 1e-4f);
  Pen Wide(Color(), 4);
  Rect Whole;
  Path.GetBounds(&Whole, nullptr, &Wide);
  EXPECT_EQ(Whole, Rect(-2, -2, 15, 14));  // (-1.6, -2) .. (12.4, 12)
}

// ---------------------------------------------------------------------------
// Region

TEST(GdiplusRegion, BoundsOfEachKind) {
  HDC Screen = gdi::GetDC(nullptr);
  Graphics G(Screen);
  RectF Bounds;

  Region Infinite;
  EXPECT_TRUE(Infinite.IsInfinite(&G));
  Infinite.GetBounds(&Bounds, &G);
  EXPECT_EQ(Bounds, RectF(-4194304, -4194304, 8388608, 8388608));

  Region FromRect(Rect(1, 2, 3, 4));
  EXPECT_FALSE(FromRect.IsInfinite(&G));
  FromRect.GetBounds(&Bounds, &G);
  EXPECT_EQ(Bounds, RectF(1, 2, 3, 4));

  GraphicsPath Path;
  Path.AddEllipse(10, 10, 20, 10);
  Region FromPath(&Path);
  FromPath.GetBounds(&Bounds, &G);
  EXPECT_EQ(Bounds, RectF(10, 10, 20, 10));

  gdi::HRGN Rgn = gdi::CreateRectRgn(5, 6, 7, 9);
  Region FromHandle(Rgn);
  gdi::DeleteObject(Rgn);
  FromHandle.GetBounds(&Bounds, &G);
  EXPECT_EQ(Bounds, RectF(5, 6, 2, 3));

  Region Stale(Rgn);
  EXPECT_EQ(Stale.GetLastStatus(), InvalidParameter);
  EXPECT_EQ(FromRect.GetBounds(&Bounds, nullptr), InvalidParameter);
  gdi::ReleaseDC(nullptr, Screen);
}

// ---------------------------------------------------------------------------
// brushes and pens

TEST(GdiplusBrush, LinearGradientParameters) {
  LinearGradientBrush Gradient(Rect(0, 0, 10, 20), Color(255, 0, 0), Color(0, 0, 255), LinearGradientModeVertical);
  EXPECT_EQ(Gradient.GetType(), BrushTypeLinearGradient);
  RectF R;
  Gradient.GetRectangle(&R);
  EXPECT_EQ(R, RectF(0, 0, 10, 20));
  Color Colors[2];
  Gradient.GetLinearColors(Colors);
  EXPECT_EQ(Colors[0].GetValue(), 0xFFFF0000u);
  EXPECT_EQ(Colors[1].GetValue(), 0xFF0000FFu);
  EXPECT_EQ(Gradient.GetWrapMode(), WrapModeTile);
  EXPECT_EQ(Gradient.SetWrapMode(WrapModeTile), Ok);
  EXPECT_EQ(Gradient.SetWrapMode(WrapModeClamp), NotImplemented);

  const Color Three[] = {Color(255, 0, 0), Color(0, 255, 0), Color(0, 0, 255)};
  struct Case {
    const char* Name;
    std::vector<REAL> Positions;
    Status Expected;
  } const Cases[] = {
      {"0 .. 1", {0, 0.5f, 1}, Ok},
      {"not starting at 0", {0.1f, 0.5f, 1}, InvalidParameter},
      {"not ending at 1", {0, 0.5f, 0.9f}, InvalidParameter},
      {"falling", {0, 0.7f, 0.6f}, InvalidParameter},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(Gradient.SetInterpolationColors(Three, C.Positions.data(), 3), C.Expected);
  }
  EXPECT_EQ(Gradient.SetInterpolationColors(Three, Cases[0].Positions.data(), 1), InvalidParameter);
  ASSERT_EQ(Gradient.GetInterpolationColorCount(), 3);
  Color Got[3];
  REAL Positions[3];
  Gradient.GetInterpolationColors(Got, Positions, 3);
  EXPECT_EQ(Got[1].GetValue(), 0xFF00FF00u);
  EXPECT_EQ(Positions[1], 0.5f);
  Gradient.SetLinearColors(Color(1, 2, 3), Color(4, 5, 6));
  EXPECT_EQ(Gradient.GetInterpolationColorCount(), 0);

  const std::unique_ptr<Brush> Copy = Gradient.Clone();
  EXPECT_EQ(Copy->GetType(), BrushTypeLinearGradient);
  LinearGradientBrush Empty(RectF(0, 0, 0, 10), Color(), Color(), LinearGradientModeHorizontal);
  EXPECT_EQ(Empty.GetLastStatus(), InvalidParameter);
}

TEST(GdiplusPen, AttributesAndBrushes) {
  Pen P(Color(255, 1, 2, 3), 2.5f);
  EXPECT_EQ(P.GetWidth(), 2.5f);
  EXPECT_EQ(P.GetDashStyle(), DashStyleSolid);
  EXPECT_EQ(P.GetLineJoin(), LineJoinMiter);
  Color C;
  EXPECT_EQ(P.GetColor(&C), Ok);
  EXPECT_EQ(C.GetValue(), 0xFF010203u);

  EXPECT_EQ(P.SetLineCap(LineCapRound, LineCapTriangle, DashCapRound), Ok);
  EXPECT_EQ(P.GetStartCap(), LineCapRound);
  EXPECT_EQ(P.GetEndCap(), LineCapTriangle);
  EXPECT_EQ(P.GetDashCap(), DashCapRound);
  EXPECT_EQ(P.SetDashCap(DashCap(1)), InvalidParameter);
  EXPECT_EQ(P.SetDashStyle(DashStyle(9)), InvalidParameter);
  EXPECT_EQ(P.SetWidth(-1), InvalidParameter);

  LinearGradientBrush Gradient(Rect(0, 0, 10, 10), Color(), Color(255, 255, 255), LinearGradientModeHorizontal);
  EXPECT_EQ(P.SetBrush(&Gradient), Ok);
  EXPECT_EQ(P.GetColor(&C), WrongState);
  EXPECT_EQ(P.SetBrush(nullptr), InvalidParameter);
  P.SetColor(Color(9, 9, 9));
  EXPECT_EQ(P.GetColor(&C), Ok);
  EXPECT_EQ(C.GetValue(), 0xFF090909u);
}

TEST(GdiplusPen, CapsQtCannotDrawAreShapesOfTheirOwn) {
  struct Case {
    const char* Name;
    LineCap Start, End;
    DashStyle Dash;
    REAL Width;
    bool Shapes;
  } const Cases[] = {
      {"equal flat", LineCapFlat, LineCapFlat, DashStyleSolid, 3, false},
      {"equal round", LineCapRound, LineCapRound, DashStyleSolid, 3, false},
      {"different", LineCapRound, LineCapFlat, DashStyleSolid, 3, true},
      {"triangles", LineCapTriangle, LineCapTriangle, DashStyleSolid, 3, true},
      {"dashed with caps", LineCapSquare, LineCapSquare, DashStyleDash, 3, true},
      {"dashed flat", LineCapFlat, LineCapFlat, DashStyleDash, 3, false},
      {"one-pixel pen", LineCapTriangle, LineCapFlat, DashStyleSolid, 0, false},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Pen P(Color(), C.Width);
    P.SetStartCap(C.Start);
    P.SetEndCap(C.End);
    P.SetDashStyle(C.Dash);
    EXPECT_EQ(P.NeedsCapShapes(), C.Shapes);
  }
}

// ---------------------------------------------------------------------------
// fonts and formats

TEST(GdiplusFont, EmSizeByUnitAndNamesThroughTheAliasTable) {
  const String Tahoma("Tahoma");
  Font Points(Tahoma.constData(), 12, FontStyleBold);
  EXPECT_EQ(Points.GetLastStatus(), Ok);
  EXPECT_FLOAT_EQ(Points.EmSize(96), 16);
  EXPECT_FLOAT_EQ(Points.EmSize(144), 24);
  const QFont Q = Points.QtFont(96, true);
  EXPECT_EQ(QFontInfo(Q).family(), String("DejaVu Sans"));
  EXPECT_EQ(Q.pixelSize(), 16);
  EXPECT_EQ(Q.weight(), QFont::Bold);
  FontFamily Family;
  Points.GetFamily(&Family);
  Char Name[gdi::LF_FACESIZE];
  Family.GetFamilyName(Name);
  EXPECT_EQ(String(Name), String("Tahoma"));

  const String Arial("Arial");
  Font Pixels(Arial.constData(), 10.6f, FontStyleItalic | FontStyleUnderline, UnitPixel);
  EXPECT_FLOAT_EQ(Pixels.EmSize(300), 10.6f);
  const QFont P = Pixels.QtFont(96, false);
  EXPECT_EQ(P.pixelSize(), 11);
  EXPECT_TRUE(P.italic());
  EXPECT_TRUE(P.underline());

  FontFamily Courier(String("Courier New").constData());
  Font FromFamily(&Courier, 9, FontStyleRegular, UnitPoint);
  EXPECT_EQ(FromFamily.QtFont(96, true).pixelSize(), 12);

  struct Case {
    const char* Name;
    REAL Size;
    Unit U;
    Status Expected;
  } const Cases[] = {
      {"zero size", 0, UnitPoint, InvalidParameter},
      {"display unit", 10, UnitDisplay, InvalidParameter},
      {"world unit", 10, UnitWorld, Ok},
      {"inches", 1, UnitInch, NotImplemented},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Font F(Arial.constData(), C.Size, FontStyleRegular, C.U);
    EXPECT_EQ(F.GetLastStatus(), C.Expected);
  }
  Font NoFamily(static_cast<const FontFamily*>(nullptr), 10);
  EXPECT_EQ(NoFamily.GetLastStatus(), InvalidParameter);
  EXPECT_FALSE(NoFamily.IsAvailable());
}

TEST(GdiplusStringFormat, OnlyTheTypographicFormatHasNoPadding) {
  EXPECT_TRUE(StringFormat::GenericTypographic()->Typographic());
  EXPECT_FALSE(StringFormat::GenericDefault()->Typographic());
  EXPECT_FALSE(StringFormat().Typographic());
  EXPECT_TRUE(StringFormat(StringFormat::GenericTypographic()).Typographic());
  EXPECT_EQ(StringFormat::GenericTypographic(), StringFormat::GenericTypographic());
}

}  // namespace
}  // namespace gdiplus
