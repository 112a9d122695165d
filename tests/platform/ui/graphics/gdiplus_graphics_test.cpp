// Graphics drawing on 32-bit bitmap surfaces: pixel rules, antialiasing,
// gradients, dashes, caps, pies, clipping, transforms (the DC's mapping
// included), text padding, images and recordings.
#include "platform/ui/graphics/gdiplus.h"

#include "platform/ui/graphics/surface.h"
#include "tests/platform/ui/graphics/gdiplusfixture.h"
#include "tests/platform/ui/pixelhelpers.h"
#include "tests/support/testing.h"

#include <QDir>
#include <QImage>
#include <cmath>

namespace gdiplus {
namespace {

// ---------------------------------------------------------------------------
// pixel rules and antialiasing

TEST_F(GdiplusDrawTest, AliasedRectanglesCoverTheirPixelsInEveryOffsetMode) {
  struct Case {
    const char* Name;
    SmoothingMode Smoothing;
    PixelOffsetMode Offset;
  } const Cases[] = {
      {"high speed, none", SmoothingModeHighSpeed, PixelOffsetModeNone},
      {"default, default", SmoothingModeDefault, PixelOffsetModeDefault},
      {"none, half", SmoothingModeNone, PixelOffsetModeHalf},
      {"high speed, high quality", SmoothingModeHighSpeed, PixelOffsetModeHighQuality},
  };
  HDC DC = makeSurface(8, 8);
  SolidBrush Brush{Color(Black)};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Graphics G(DC);
    G.Clear(Color(White));
    G.SetSmoothingMode(C.Smoothing);
    G.SetPixelOffsetMode(C.Offset);
    ASSERT_EQ(G.FillRectangle(&Brush, 1, 1, 3, 3), Ok);
    EXPECT_EQ(count(Black), 9) << art();
    EXPECT_EQ(ink(), QRect(1, 1, 3, 3)) << art();
  }
}

TEST_F(GdiplusDrawTest, AntialiasedEllipseHasFullInteriorAndPartialEdge) {
  HDC DC = makeSurface(24, 24);
  Graphics G(DC);
  G.SetPixelOffsetMode(PixelOffsetModeHalf);
  SolidBrush Brush{Color(Black)};

  G.SetSmoothingMode(SmoothingModeAntiAlias);
  G.FillEllipse(&Brush, 0, 0, 20, 20);
  save("gdiplus_ellipse_aa.png");
  EXPECT_EQ(pixel(10, 10), Black);
  EXPECT_EQ(pixel(2, 10), Black);
  EXPECT_EQ(pixel(19, 19), White);
  // The circle crosses row 15 (y 15.5) at x 18.35: pixel (18, 15) is about a third covered.
  EXPECT_NEAR(red(18, 15), 166, 25);
  const int Partial = 24 * 24 - count(Black) - count(White);
  EXPECT_GT(Partial, 20);

  G.Clear(Color(White));
  G.SetSmoothingMode(SmoothingModeHighSpeed);
  G.FillEllipse(&Brush, 0, 0, 20, 20);
  EXPECT_EQ(count(Black) + count(White), 24 * 24) << art();
  EXPECT_NEAR(count(Black), 314, 12);  // pi * 10^2
  EXPECT_EQ(ink(), QRect(0, 0, 20, 20));
}

TEST_F(GdiplusDrawTest, PixelOffsetNoneBlursAntialiasedEdgesHalfDoesNot) {
  HDC DC = makeSurface(8, 8);
  Graphics G(DC);
  G.SetSmoothingMode(SmoothingModeAntiAlias);
  SolidBrush Brush{Color(Black)};
  G.FillRectangle(&Brush, 2, 2, 3, 3);
  // Centres on integers: pixel 2 spans 1.5 .. 2.5, so the edges at 2 and 5
  // cover pixels 2 and 5 by half.
  EXPECT_NEAR(red(2, 3), 128, 3);
  EXPECT_EQ(pixel(3, 3), Black);
  EXPECT_NEAR(red(5, 3), 128, 3);
  EXPECT_EQ(pixel(1, 3), White);

  G.Clear(Color(White));
  G.SetPixelOffsetMode(PixelOffsetModeHalf);
  G.FillRectangle(&Brush, 2, 2, 3, 3);
  EXPECT_EQ(count(Black), 9);
  EXPECT_EQ(count(White), 64 - 9);
}

TEST_F(GdiplusDrawTest, ClearReplacesPixelsInsideTheClip) {
  HDC DC = makeSurface(10, 10);
  Graphics G(DC);
  G.SetClip(Rect(0, 0, 5, 10));
  G.Clear(Color(Red));
  EXPECT_EQ(count(Red), 50);
  EXPECT_EQ(pixel(5, 0), White);
}

// ---------------------------------------------------------------------------
// gradients

TEST_F(GdiplusDrawTest, LinearGradientModesPutTheColoursOnTheBoundaryLines) {
  // White -> black over (0, 0, 10, 10); with pixel centres on integers pixel
  // (x, y) shows the colour at (x, y).  Expected red = 255 * (1 - t).
  struct Sample {
    int X, Y;
    double T;
  };
  struct Case {
    const char* Name;
    LinearGradientMode Mode;
    Sample Samples[4];
  } const Cases[] = {
      {"horizontal", LinearGradientModeHorizontal, {{0, 3, 0}, {5, 7, 0.5}, {9, 0, 0.9}, {12, 5, 0.2}}},
      {"vertical", LinearGradientModeVertical, {{3, 0, 0}, {7, 5, 0.5}, {0, 9, 0.9}, {5, 12, 0.2}}},
      {"forward diagonal", LinearGradientModeForwardDiagonal, {{0, 0, 0}, {5, 5, 0.5}, {9, 9, 0.9}, {9, 0, 0.45}}},
      {"backward diagonal", LinearGradientModeBackwardDiagonal, {{9, 0, 0.05}, {5, 5, 0.5}, {0, 9, 0.95}, {0, 0, 0.5}}},
  };
  HDC DC = makeSurface(16, 16);
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Graphics G(DC);
    LinearGradientBrush Brush(Rect(0, 0, 10, 10), Color(White), Color(Black), C.Mode);
    G.FillRectangle(&Brush, 0, 0, 16, 16);
    for (const Sample& S : C.Samples) {
      SCOPED_TRACE(testing::Message() << "pixel " << S.X << "," << S.Y);
      EXPECT_NEAR(red(S.X, S.Y), 255 * (1 - S.T), 3);
    }
  }
}

TEST_F(GdiplusDrawTest, GradientAngleNinetyEqualsVertical) {
  HDC DC = makeSurface(12, 12);
  Graphics G(DC);
  LinearGradientBrush ByMode(Rect(1, 1, 10, 10), Color(Red), Color(Blue), LinearGradientModeVertical);
  G.FillRectangle(&ByMode, 0, 0, 12, 12);
  const QImage Vertical = Surface->Image().copy();
  LinearGradientBrush ByAngle(RectF(1, 1, 10, 10), Color(Red), Color(Blue), 90);
  G.FillRectangle(&ByAngle, 0, 0, 12, 12);
  EXPECT_EQ(Surface->Image(), Vertical);

  // The angle is not scaled to the rectangle: at 45 degrees over a wide one
  // the colour is constant along (1, -1) and t = (x + y) / 16 (the corner
  // (12, 4) is 16 / sqrt 2 along the direction).
  LinearGradientBrush Wide(RectF(0, 0, 12, 4), Color(White), Color(Black), 45);
  G.FillRectangle(&Wide, 0, 0, 12, 12);
  for (const QPoint P : {QPoint(6, 0), QPoint(4, 2), QPoint(3, 3)}) EXPECT_NEAR(red(P.x(), P.y()), 159, 3);
  EXPECT_NEAR(red(11, 3), 32, 3);
}

TEST_F(GdiplusDrawTest, InterpolationColoursHitTheMiddleStop) {
  HDC DC = makeSurface(12, 4);
  Graphics G(DC);
  LinearGradientBrush Brush(Rect(0, 0, 10, 4), Color(Black), Color(White), LinearGradientModeHorizontal);
  const Color Stops[] = {Color(Black), Color(Red), Color(White)};
  const REAL Positions[] = {0, 0.5f, 1};
  ASSERT_EQ(Brush.SetInterpolationColors(Stops, Positions, 3), Ok);
  G.FillRectangle(&Brush, 0, 0, 12, 4);
  EXPECT_NEAR(qRed(pixel(5, 1)), 255, 3);
  EXPECT_NEAR(qGreen(pixel(5, 1)), 0, 3);
  EXPECT_NEAR(qRed(pixel(0, 1)), 0, 3);
  EXPECT_NEAR(qGreen(pixel(9, 1)), 204, 3);  // 80 % of the way from red to white
}

TEST_F(GdiplusDrawTest, GradientPenStrokesWithTheBrush) {
  HDC DC = makeSurface(12, 6);
  Graphics G(DC);
  G.SetPixelOffsetMode(PixelOffsetModeHalf);
  LinearGradientBrush Brush(Rect(0, 0, 10, 6), Color(Red), Color(Blue), LinearGradientModeHorizontal);
  Pen P(Color(Black), 2);
  P.SetBrush(&Brush);
  G.DrawLine(&P, 0.0f, 3.0f, 10.0f, 3.0f);
  EXPECT_GT(qRed(pixel(0, 2)), 230);
  EXPECT_GT(qBlue(pixel(9, 3)), 200);
  EXPECT_EQ(pixel(5, 0), White);
}

// ---------------------------------------------------------------------------
// pens

TEST_F(GdiplusDrawTest, DashPatternsAreMultiplesOfThePenWidth) {
  // A width-3 line over x = 0 .. 36 on a 40-pixel row.
  struct Case {
    const char* Name;
    DashStyle Style;
    const char* Runs;
  } const Cases[] = {
      {"solid", DashStyleSolid, "36on 4off"},
      {"dash 3,1", DashStyleDash, "9on 3off 9on 3off 9on 7off"},
      {"dot 1,1", DashStyleDot, "3on 3off 3on 3off 3on 3off 3on 3off 3on 3off 3on 7off"},
      {"dash dot 3,1,1,1", DashStyleDashDot, "9on 3off 3on 3off 9on 3off 3on 7off"},
      {"dash dot dot 3,1,1,1,1,1", DashStyleDashDotDot, "9on 3off 3on 3off 3on 3off 9on 7off"},
  };
  HDC DC = makeSurface(40, 10);
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Graphics G(DC);
    G.Clear(Color(White));
    G.SetPixelOffsetMode(PixelOffsetModeHalf);
    Pen P(Color(Black), 3);
    P.SetDashStyle(C.Style);
    G.DrawLine(&P, 0.0f, 5.5f, 36.0f, 5.5f);
    EXPECT_EQ(runs(5), C.Runs) << art();
    EXPECT_EQ(ink().height(), 3);
  }
}

TEST_F(GdiplusDrawTest, WidthZeroIsOnePixelWhateverTheTransform) {
  HDC DC = makeSurface(30, 30);
  Graphics G(DC);
  G.ScaleTransform(4, 4);
  Pen Thin(Color(Black), 0);
  G.DrawLine(&Thin, 1, 2, 6, 2);
  EXPECT_EQ(ink().height(), 1) << art();
  EXPECT_GE(ink().width(), 20);

  G.Clear(Color(White));
  G.SetPixelOffsetMode(PixelOffsetModeHalf);
  Pen One(Color(Black), 1);
  G.DrawLine(&One, 1.0f, 2.5f, 6.0f, 2.5f);
  EXPECT_EQ(ink(), QRect(4, 8, 20, 4)) << art();
}

TEST_F(GdiplusDrawTest, LineCapsExtendBeyondTheEndsOrNot) {
  // A width-4 line from (8, 10) to (24, 10), pixel corners on integers.
  struct Case {
    const char* Name;
    LineCap Start, End;
    QRect Ink;
  } const Cases[] = {
      {"flat", LineCapFlat, LineCapFlat, QRect(8, 8, 16, 4)},
      {"square", LineCapSquare, LineCapSquare, QRect(6, 8, 20, 4)},
      {"round", LineCapRound, LineCapRound, QRect(6, 8, 20, 4)},
      {"round start, flat end", LineCapRound, LineCapFlat, QRect(6, 8, 18, 4)},
      {"square start, round end", LineCapSquare, LineCapRound, QRect(6, 8, 20, 4)},
  };
  HDC DC = makeSurface(32, 20);
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Graphics G(DC);
    G.Clear(Color(White));
    G.SetPixelOffsetMode(PixelOffsetModeHalf);
    Pen P(Color(Black), 4);
    P.SetStartCap(C.Start);
    P.SetEndCap(C.End);
    G.DrawLine(&P, 8, 10, 24, 10);
    EXPECT_EQ(ink(), C.Ink) << art();
  }

  // A triangle end: its apex lies half the width beyond the end.
  Graphics G(DC);
  G.Clear(Color(White));
  G.SetPixelOffsetMode(PixelOffsetModeHalf);
  Pen P(Color(Black), 4);
  P.SetEndCap(LineCapTriangle);
  G.DrawLine(&P, 8, 10, 24, 10);
  EXPECT_EQ(pixel(24, 9), Black) << art();
  EXPECT_EQ(pixel(25, 8), White);
  EXPECT_EQ(ink().left(), 8);
  EXPECT_LE(ink().right(), 25);
}

// ---------------------------------------------------------------------------
// shapes

TEST_F(GdiplusDrawTest, PieStartsAtItsAngleAndSweepsClockwise) {
  struct Case {
    const char* Name;
    REAL Start, Sweep;
    bool BottomRight, BottomLeft, TopLeft, TopRight;
  } const Cases[] = {
      {"0 + 90", 0, 90, true, false, false, false},
      {"90 + 90", 90, 90, false, true, false, false},
      {"0 - 90", 0, -90, false, false, false, true},
      {"180 + 180", 180, 180, false, false, true, true},
      {"-90 + 270", -90, 270, true, true, false, true},
  };
  HDC DC = makeSurface(40, 40);
  SolidBrush Brush{Color(Black)};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Graphics G(DC);
    G.Clear(Color(White));
    G.SetSmoothingMode(SmoothingModeAntiAlias);
    G.FillPie(&Brush, 0, 0, 40, 40, C.Start, C.Sweep);
    EXPECT_EQ(pixel(28, 28) == Black, C.BottomRight);
    EXPECT_EQ(pixel(12, 28) == Black, C.BottomLeft);
    EXPECT_EQ(pixel(12, 12) == Black, C.TopLeft);
    EXPECT_EQ(pixel(28, 12) == Black, C.TopRight);
  }
}

TEST_F(GdiplusDrawTest, PolygonFillModes) {
  // A five-pointed star: its centre is outside under Alternate, inside under Winding.
  const PointF Star[] = {PointF(20, 2), PointF(31, 36), PointF(2, 14), PointF(38, 14), PointF(9, 36)};
  HDC DC = makeSurface(40, 40);
  Graphics G(DC);
  SolidBrush Brush{Color(Black)};
  G.FillPolygon(&Brush, Star, 5);
  EXPECT_EQ(pixel(20, 20), White);
  EXPECT_EQ(pixel(20, 8), Black);
  G.FillPolygon(&Brush, Star, 5, FillModeWinding);
  EXPECT_EQ(pixel(20, 20), Black);
  EXPECT_EQ(G.FillPolygon(&Brush, Star, 1), InvalidParameter);
  EXPECT_EQ(G.FillPolygon(nullptr, Star, 5), InvalidParameter);
}

TEST_F(GdiplusDrawTest, OutlinesAndPaths) {
  HDC DC = makeSurface(20, 20);
  Graphics G(DC);
  Pen P(Color(Black), 1);
  G.SetPixelOffsetMode(PixelOffsetModeHalf);
  G.DrawRectangle(&P, RectF(2.5f, 2.5f, 10, 10));  // the outline on pixels 2 and 12
  EXPECT_EQ(ink(), QRect(2, 2, 11, 11)) << art();
  EXPECT_EQ(pixel(7, 2), Black);
  EXPECT_EQ(pixel(7, 7), White);

  G.Clear(Color(White));
  GraphicsPath Path;
  Path.AddLine(2, 2, 10, 2);
  Path.AddLine(10, 10, 2, 10);
  Path.CloseFigure();
  SolidBrush Brush{Color(Black)};
  G.FillPath(&Brush, &Path);
  EXPECT_EQ(count(Black), 64);
  EXPECT_EQ(ink(), QRect(2, 2, 8, 8));
}

// ---------------------------------------------------------------------------
// clipping

TEST_F(GdiplusDrawTest, ClipCombineModes) {
  // A = (0, 0, 10, 10) set first, B = (5, 5, 10, 10) combined with it.
  // Probes: A only (2, 2), both (7, 7), B only (12, 12), neither (17, 2).
  struct Case {
    const char* Name;
    CombineMode Mode;
    bool AOnly, Both, BOnly;
  } const Cases[] = {
      {"replace", CombineModeReplace, false, true, true},
      {"intersect", CombineModeIntersect, false, true, false},
      {"union", CombineModeUnion, true, true, true},
      {"xor", CombineModeXor, true, false, true},
      {"exclude", CombineModeExclude, true, false, false},
      {"complement", CombineModeComplement, false, false, true},
  };
  HDC DC = makeSurface(20, 20);
  SolidBrush Brush{Color(Black)};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Graphics G(DC);
    G.Clear(Color(White));
    G.SetClip(Rect(0, 0, 10, 10));
    ASSERT_EQ(G.SetClip(Rect(5, 5, 10, 10), C.Mode), Ok);
    G.FillRectangle(&Brush, 0, 0, 20, 20);
    EXPECT_EQ(pixel(2, 2) == Black, C.AOnly) << art();
    EXPECT_EQ(pixel(7, 7) == Black, C.Both);
    EXPECT_EQ(pixel(12, 12) == Black, C.BOnly);
    EXPECT_EQ(pixel(17, 2), White);
  }
}

TEST_F(GdiplusDrawTest, ClipIsAPixelSetFixedThroughTheTransformOfItsTime) {
  HDC DC = makeSurface(20, 20);
  Graphics G(DC);
  G.TranslateTransform(10, 0);
  G.SetClip(RectF(0, 0, 5, 5));  // device (10, 0, 5, 5)
  G.ResetTransform();
  SolidBrush Brush{Color(Black)};
  G.SetSmoothingMode(SmoothingModeAntiAlias);
  G.FillRectangle(&Brush, -5, -5, 30, 30);
  EXPECT_EQ(count(Black), 25) << art();
  EXPECT_EQ(ink(), QRect(10, 0, 5, 5));
  RectF Visible;
  G.GetVisibleClipBounds(&Visible);
  EXPECT_EQ(Visible, RectF(10, 0, 5, 5));

  G.ResetClip();
  G.GetVisibleClipBounds(&Visible);
  EXPECT_EQ(Visible, RectF(0, 0, 20, 20));

  GraphicsPath Ellipse;
  Ellipse.AddEllipse(0, 0, 10, 10);
  Region Round(&Ellipse);
  G.SetClip(&Round);
  G.Clear(Color(Red));
  EXPECT_EQ(pixel(5, 5), Red);
  EXPECT_NE(pixel(0, 0), Red);
  Region Infinite;
  G.SetClip(&Infinite, CombineModeUnion);
  G.GetVisibleClipBounds(&Visible);
  EXPECT_EQ(Visible, RectF(0, 0, 20, 20));
}

TEST_F(GdiplusDrawTest, DrawingKeepsToTheDCsClip) {
  HDC DC = makeSurface(20, 20);
  gdi::IntersectClipRect(DC, 2, 3, 8, 9);
  Graphics G(DC);
  SolidBrush Brush{Color(Black)};
  G.FillRectangle(&Brush, 0, 0, 20, 20);
  EXPECT_EQ(ink(), QRect(2, 3, 6, 6));
  Rect Visible;
  G.GetVisibleClipBounds(&Visible);
  EXPECT_EQ(Visible, Rect(2, 3, 6, 6));
  G.SetClip(Rect(5, 0, 20, 20), CombineModeIntersect);
  G.GetVisibleClipBounds(&Visible);
  EXPECT_EQ(Visible, Rect(5, 3, 3, 6));
}

// ---------------------------------------------------------------------------
// transforms

TEST_F(GdiplusDrawTest, BaseTransformIsTheDCsMappingAtCreation) {
  HDC DC = makeSurface(100, 100);
  gdi::SetMapMode(DC, gdi::MM_ANISOTROPIC);
  gdi::SetWindowExtEx(DC, 10, 10, nullptr);
  gdi::SetViewportExtEx(DC, 100, 100, nullptr);
  gdi::SetViewportOrgEx(DC, 5, 0, nullptr);
  Graphics G(DC);
  // Later changes to the DC's mapping do not move the Graphics.
  gdi::SetViewportOrgEx(DC, 0, 0, nullptr);
  EXPECT_FLOAT_EQ(G.GetDpiX(), 9.6f);
  EXPECT_FLOAT_EQ(G.GetDpiY(), 9.6f);

  SolidBrush Brush{Color(Black)};
  G.FillRectangle(&Brush, 1, 1, 2, 2);
  EXPECT_EQ(ink(), QRect(15, 10, 20, 20)) << art();
  EXPECT_EQ(count(Black), 400);

  Matrix Identity;
  Matrix World;
  G.GetTransform(&World);
  EXPECT_TRUE(World.Equals(&Identity));
  RectF Visible;
  G.GetVisibleClipBounds(&Visible);
  EXPECT_EQ(Visible, RectF(-0.5f, 0, 10, 10));
}

TEST_F(GdiplusDrawTest, WorldTransformPrependVersusAppend) {
  struct Case {
    const char* Name;
    MatrixOrder Order;
    QRect Ink;  // of the unit square after Scale(2, 2) and Translate(5, 5)
  } const Cases[] = {
      {"prepend: translate first", MatrixOrderPrepend, QRect(10, 10, 2, 2)},
      {"append: scale first", MatrixOrderAppend, QRect(5, 5, 2, 2)},
  };
  HDC DC = makeSurface(20, 20);
  SolidBrush Brush{Color(Black)};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Graphics G(DC);
    G.Clear(Color(White));
    G.ScaleTransform(2, 2);
    G.TranslateTransform(5, 5, C.Order);
    G.FillRectangle(&Brush, 0, 0, 1, 1);
    EXPECT_EQ(ink(), C.Ink) << art();
  }
}

TEST_F(GdiplusDrawTest, RotationTurnsClockwise) {
  HDC DC = makeSurface(20, 20);
  Graphics G(DC);
  G.TranslateTransform(10, 0);
  G.RotateTransform(90);  // prepended: x -> down
  SolidBrush Brush{Color(Black)};
  G.FillRectangle(&Brush, 2, 0, 3, 1);
  EXPECT_EQ(ink(), QRect(9, 2, 1, 3)) << art();
  Matrix M;
  G.GetTransform(&M);
  REAL E[6];
  M.GetElements(E);
  EXPECT_EQ(E[4], 10);
  EXPECT_EQ(E[1], 1);
}

// ---------------------------------------------------------------------------
// text

TEST_F(GdiplusDrawTest, NullFormatPadsByASixthOfTheEm) {
  HDC DC = makeSurface(200, 60);
  Graphics G(DC);
  const String Arial("Arial");
  const String Text("Hello");
  Font F(Arial.constData(), 30, FontStyleRegular, UnitPixel);
  RectF Padded, Tight;
  ASSERT_EQ(G.MeasureString(Text.constData(), -1, &F, PointF(3, 4), nullptr, &Padded), Ok);
  ASSERT_EQ(G.MeasureString(Text.constData(), Text.size(), &F, PointF(3, 4), StringFormat::GenericTypographic(),
                            &Tight),
            Ok);
  EXPECT_EQ(Padded.X, 3);
  EXPECT_EQ(Padded.Y, 4);
  EXPECT_NEAR(Padded.Width - Tight.Width, 10, 1e-3);  // 2 * 30 / 6
  EXPECT_EQ(Padded.Height, Tight.Height);
  EXPECT_GT(Tight.Width, 50);
  EXPECT_GT(Tight.Height, 30);

  SolidBrush Brush{Color(Black)};
  G.SetTextRenderingHint(TextRenderingHintSingleBitPerPixel);
  G.DrawString(Text.constData(), -1, &F, PointF(10, 10), StringFormat::GenericTypographic(), &Brush);
  const QRect TightInk = ink();
  G.Clear(Color(White));
  G.DrawString(Text.constData(), -1, &F, PointF(10, 10), nullptr, &Brush);
  const QRect PaddedInk = ink();
  save("gdiplus_text.png");
  EXPECT_EQ(PaddedInk.left() - TightInk.left(), 5);
  EXPECT_EQ(PaddedInk.top(), TightInk.top());
  EXPECT_EQ(count(Black) + count(White), 200 * 60) << "single-bit text has no grey";
}

TEST_F(GdiplusDrawTest, TextLinesAndAntialiasing) {
  HDC DC = makeSurface(120, 80);
  Graphics G(DC);
  const String Name("Tahoma");
  Font F(Name.constData(), 12, FontStyleRegular, UnitPoint);
  RectF One, Two, Empty;
  const String A("ab"), AB("ab\r\nc"), Nothing;
  G.MeasureString(A.constData(), -1, &F, PointF(), nullptr, &One);
  G.MeasureString(AB.constData(), -1, &F, PointF(), nullptr, &Two);
  G.MeasureString(Nothing.constData(), 0, &F, PointF(1, 2), nullptr, &Empty);
  EXPECT_FLOAT_EQ(Two.Height, 2 * One.Height);
  EXPECT_FLOAT_EQ(Two.Width, One.Width);
  EXPECT_EQ(Empty, RectF(1, 2, 0, 0));

  SolidBrush Brush{Color(Black)};
  G.DrawString(AB.constData(), -1, &F, PointF(0, 0), nullptr, &Brush);
  EXPECT_GT(ink().height(), One.Height);
  EXPECT_GT(120 * 80 - count(Black) - count(White), 0) << "antialiased text has grey";
  EXPECT_EQ(G.DrawString(A.constData(), -1, nullptr, PointF(), nullptr, &Brush), InvalidParameter);
}

// ---------------------------------------------------------------------------
// images

TEST_F(GdiplusDrawTest, BitmapPixelsLandPixelForPixel) {
  HDC DC = makeSurface(20, 20);
  Bitmap B(4, 3);
  ASSERT_EQ(B.GetLastStatus(), Ok);
  EXPECT_EQ(B.GetPixelFormat(), PixelFormat32bppARGB);
  B.SetPixel(0, 0, Color(Red));
  B.SetPixel(3, 2, Color(Blue));
  B.SetPixel(1, 1, Color(Black));
  Color C;
  B.GetPixel(3, 2, &C);
  EXPECT_EQ(C.GetValue(), Blue);
  B.GetPixel(2, 2, &C);
  EXPECT_EQ(C.GetValue(), 0u) << "new bitmaps are transparent";
  EXPECT_EQ(B.SetPixel(4, 0, Color()), InvalidParameter);
  EXPECT_EQ(B.GetPixel(0, -1, &C), InvalidParameter);

  Graphics G(DC);
  G.SetInterpolationMode(InterpolationModeHighQualityBicubic);
  G.SetPixelOffsetMode(PixelOffsetModeNone);
  ASSERT_EQ(G.DrawImage(&B, 5, 6), Ok);
  EXPECT_EQ(pixel(5, 6), Red);
  EXPECT_EQ(pixel(8, 8), Blue);
  EXPECT_EQ(pixel(6, 7), Black);
  EXPECT_EQ(pixel(7, 7), White);  // transparent
  EXPECT_EQ(ink(), QRect(5, 6, 4, 3));

  G.Clear(Color(White));
  G.SetInterpolationMode(InterpolationModeNearestNeighbor);
  G.DrawImage(&B, Rect(0, 0, 8, 6));
  EXPECT_EQ(ink(), QRect(0, 0, 8, 6));
  EXPECT_EQ(pixel(1, 1), Red);
  EXPECT_EQ(pixel(7, 5), Blue);
  EXPECT_EQ(pixel(3, 3), Black);

  G.Clear(Color(White));
  G.DrawImage(&B, Rect(10, 10, 2, 2), 2, 1, 2, 2, UnitPixel);
  EXPECT_EQ(ink(), QRect(11, 11, 1, 1));
  EXPECT_EQ(pixel(11, 11), Blue);
  EXPECT_EQ(G.DrawImage(&B, Rect(0, 0, 2, 2), 0, 0, 2, 2, UnitPoint), NotImplemented);
}

TEST_F(GdiplusDrawTest, BitmapFromAnHBitmapIsAnOpaqueCopy) {
  makeSurface(4, 4);
  HDC Memory = gdi::CreateCompatibleDC(nullptr);
  gdi::HBITMAP Handle = gdi::CreateCompatibleBitmap(Memory, 3, 2);
  gdi::HGDIOBJ Old = gdi::SelectObject(Memory, Handle);
  gdi::SetPixel(Memory, 2, 1, 0x0000FF);
  Bitmap B(Handle, nullptr);
  gdi::SetPixel(Memory, 2, 1, 0xFF0000);
  ASSERT_EQ(B.GetLastStatus(), Ok);
  EXPECT_EQ(B.GetWidth(), 3u);
  EXPECT_EQ(B.GetHeight(), 2u);
  EXPECT_EQ(B.GetPixelFormat(), PixelFormat32bppRGB);
  Color C;
  B.GetPixel(2, 1, &C);
  EXPECT_EQ(C.GetValue(), Red);
  B.GetPixel(0, 0, &C);
  EXPECT_EQ(C.GetValue(), Black);
  gdi::SelectObject(Memory, Old);
  gdi::DeleteObject(Handle);
  gdi::DeleteDC(Memory);

  Bitmap Stale(Handle, nullptr);
  EXPECT_EQ(Stale.GetLastStatus(), InvalidParameter);
  EXPECT_EQ(Stale.GetWidth(), 0u);
  Bitmap Empty(0, 5);
  EXPECT_EQ(Empty.GetLastStatus(), InvalidParameter);
  Bitmap Format(2, 2, PixelFormat32bppRGB);
  EXPECT_EQ(Format.GetLastStatus(), NotImplemented);
}

// ---------------------------------------------------------------------------
// surfaces without pixels, bad handles

TEST_F(GdiplusDrawTest, RecordingSurfacesLogTheCalls) {
  auto Recording = TSurface::MakeRecording(50, 50);
  HDC DC = CreateSurfaceDC(Recording);
  DCs.push_back(DC);
  Graphics G(DC);
  SolidBrush Brush{Color(Red)};
  Pen P(Color(Blue), 2);
  P.SetDashStyle(DashStyleDot);
  LinearGradientBrush Gradient(Rect(0, 0, 10, 10), Color(Black), Color(White), LinearGradientModeVertical);
  const PointF Line[] = {PointF(0, 0), PointF(1.5f, 2)};
  G.FillRectangle(&Brush, 1, 1, 3, 3);
  G.DrawLines(&P, Line, 2);
  G.FillEllipse(&Gradient, 0, 0, 10, 10);
  EXPECT_EQ(Recording->RecordedCalls,
            QStringList({"FillRectangle(1,1,3,3) brush=$FFFF0000", "DrawLines(0,0,1.5,2) pen=$FF0000FF/w2/dot",
                         "FillEllipse(0,0,10,10) brush=linear($FF000000,$FFFFFFFF)"}));
}

TEST_F(GdiplusDrawTest, BadHandleAnswersInvalidParameter) {
  HDC DC = gdi::CreateCompatibleDC(nullptr);
  gdi::DeleteDC(DC);
  Graphics G(DC);
  EXPECT_EQ(G.GetLastStatus(), InvalidParameter);
  SolidBrush Brush{Color(Black)};
  EXPECT_EQ(G.FillRectangle(&Brush, 0, 0, 1, 1), InvalidParameter);
  EXPECT_EQ(G.SetClip(Rect(0, 0, 1, 1)), InvalidParameter);
}

}  // namespace
}  // namespace gdiplus
