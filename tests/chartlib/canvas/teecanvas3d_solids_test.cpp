#include "chartlib/canvas/teecanvas3d.h"

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"

#include "tests/chartlib/canvas/canvasfixture.h"
#include "tests/chartlib/canvas/recordingcanvas.h"

#include <QImage>

namespace {

enum TView { vFlat, vOrthogonal, vRotated };

// A recording canvas of 200 x 200 in one of three views.  The orthogonal
// view at 45 degrees maps (x, y, z) to (x + z, y - z); the rotated one is
// the default chart view (rotation and elevation 345).
class SolidsTest : public CanvasTest {
protected:
  void view(TView V) {
    Options.SetOrthogonal(V == vOrthogonal);
    Options.SetOrthoAngle(45);
    Options.SetRotation(345);
    Options.SetElevation(345);
    Options.SetPerspective(0);
    C.InitWindow(C.Bitmap.Canvas(), &Options, clWhite, /*Is3D=*/V != vFlat, Rect(0, 0, 200, 200));
    C.Projection(100, Rect(0, 0, 200, 200), Rect(0, 0, 200, 200));
    C.Calls.clear();
    C.Faces.clear();
  }
  void solidRed() {
    C.Brush()->SetStyle(bsSolid);
    C.Brush()->SetColor(clRed);
    C.Pen()->SetStyle(psClear);
  }
  QString polygon(std::initializer_list<TPoint3D> Points) {
    TPointArray P;
    for (const TPoint3D& Pt : Points) P.push_back(C.Calculate3DPosition(Pt));
    return "Polygon(" + TRecordingCanvas::Points(P) + ")";
  }

  TView3DOptions Options{nullptr};
  TFaceLog C{200, 200};
};

TEST_F(SolidsTest, PlanesProjectTheirCornersInOrder) {
  view(vOrthogonal);
  TFourPoints Four{{{0, 0}, {10, 0}, {10, 10}, {0, 10}}};
  const TFourPoints Kept = Four;
  struct Case {
    const char* Name;
    std::function<void()> Draw;
    QString Expected;
  } const Cases[] = {
      {"PlaneWithZ", [&] { C.PlaneWithZ({0, 0}, {10, 0}, {10, 10}, {0, 10}, 5); },
       "Polygon((5,-5),(15,-5),(15,5),(5,5))"},
      {"RectangleWithZ", [&] { C.RectangleWithZ(Rect(1, 2, 3, 4), 1); }, "Polygon((2,1),(4,1),(4,3),(2,3))"},
      {"RectangleY: the plane y = Top", [&] { C.RectangleY(0, 10, 100, 0, 50); },
       "Polygon((0,10),(100,10),(150,-40),(50,-40))"},
      {"RectangleZ: the plane x = Left", [&] { C.RectangleZ(5, 10, 20, 0, 9); },
       "Polygon((5,10),(14,1),(14,11),(5,20))"},
      {"Plane3D", [&] { C.Plane3D({0, 0}, {10, 20}, 0, 4); }, "Polygon((0,0),(10,20),(14,16),(4,-4))"},
      {"PlaneFour3D", [&] { C.PlaneFour3D(Four, 1, 3); }, "Polygon((1,-1),(11,-1),(13,7),(3,7))"},
      {"Polygon3D", [&] { C.Polygon3D(std::vector<TPoint3D>{{0, 0, 1}, {10, 0, 2}, {0, 10, 3}}); },
       "Polygon((1,-1),(12,-2),(3,7))"},
      {"TriangleWithZ", [&] { C.TriangleWithZ({0, 0}, {10, 0}, {0, 10}, 2); }, "Polygon((2,-2),(12,-2),(2,8))"},
      {"RoundRectWithZ ignores its corners", [&] { C.RoundRectWithZ(Rect(1, 2, 3, 4), 5, 5, 1); },
       "Polygon((2,1),(4,1),(4,3),(2,3))"},
  };
  for (const Case& Cs : Cases) {
    SCOPED_TRACE(Cs.Name);
    C.Calls.clear();
    Cs.Draw();
    EXPECT_EQ(C.Calls, QStringList{Cs.Expected});
  }
  EXPECT_EQ(Four, Kept);
}

TEST_F(SolidsTest, FlatRectangleYCollapsesToALine) {
  view(vFlat);
  C.RectangleY(0, 10, 100, 0, 50);
  EXPECT_EQ(C.Calls, QStringList{"Polygon((0,10),(100,10),(100,10),(0,10))"});
}

TEST_F(SolidsTest, ArrowsAtTheMiddleDepth) {
  view(vFlat);
  C.Arrow(/*Filled=*/true, {0, 0}, {100, 0}, 10, 20, 0, 0, 50);
  EXPECT_EQ(C.Calls, QStringList{"Polygon((0,2),(0,-2),(80,-2),(80,-5),(100,0),(80,5),(80,2))"});

  view(vOrthogonal);
  C.Arrow(/*Filled=*/false, {0, 0}, {100, 0}, 10, 20, 1, 4, 50);  // at depth 2
  EXPECT_EQ(C.Calls, QStringList({"MoveTo(2,-2)", "LineTo(102,-2)", "MoveTo(102,-2)", "LineTo(82,3)",
                                  "MoveTo(102,-2)", "LineTo(82,-7)"}));

  C.Calls.clear();
  C.Arrow(/*Filled=*/true, {5, 5}, {5, 5}, 10, 20, 0, 0, 50);
  EXPECT_TRUE(C.Calls.isEmpty());
}

TEST_F(SolidsTest, SurfacesDrawNothing) {
  view(vRotated);
  TTeeCachedObject Cached = nullptr;
  C.Surface3D(tcsSolid, false, false, false, 3, 3, TTeeCanvasCalcPoints(), Cached);
  EXPECT_TRUE(C.Calls.isEmpty());
}

TEST_F(SolidsTest, CubeDrawsTheFacesTurnedToTheViewer) {
  enum TFace { Front, Back, Right, Left, Top, Bottom };
  struct Case {
    const char* Name;
    TView View;
    bool Clear;
    TRect Box;  // Left, Top, Right, Bottom
    std::vector<TFace> Faces;
  } const Cases[] = {
      {"flat: the front only", vFlat, false, Rect(20, 30, 60, 90), {Front}},
      {"clear brush: the front and all four sides", vFlat, true, Rect(20, 30, 60, 90),
       {Front, Right, Left, Top, Bottom}},
      {"orthogonal 45", vOrthogonal, false, Rect(20, 30, 60, 90), {Front, Right, Top}},
      {"default rotated view", vRotated, false, Rect(20, 30, 60, 90), {Front, Right, Top}},
      {"mirrored box: the back face instead of the front", vOrthogonal, false, Rect(60, 30, 20, 90),
       {Back, Right, Bottom}},
  };
  for (const Case& Cs : Cases) {
    SCOPED_TRACE(Cs.Name);
    view(Cs.View);
    solidRed();
    if (Cs.Clear) C.Brush()->SetStyle(bsClear);
    const Integer L = Cs.Box.Left, T = Cs.Box.Top, R = Cs.Box.Right, B = Cs.Box.Bottom, Z0 = 0, Z1 = 20;
    const QString Faces[] = {
        polygon({{L, T, Z0}, {R, T, Z0}, {R, B, Z0}, {L, B, Z0}}),  // front
        polygon({{L, T, Z1}, {R, T, Z1}, {R, B, Z1}, {L, B, Z1}}),  // back
        polygon({{R, T, Z0}, {R, T, Z1}, {R, B, Z1}, {R, B, Z0}}),  // right
        polygon({{L, T, Z0}, {L, T, Z1}, {L, B, Z1}, {L, B, Z0}}),  // left
        polygon({{L, T, Z0}, {R, T, Z0}, {R, T, Z1}, {L, T, Z1}}),  // top
        polygon({{L, B, Z0}, {L, B, Z1}, {R, B, Z1}, {R, B, Z0}}),  // bottom
    };
    QStringList Expected;
    for (TFace F : Cs.Faces) Expected << Faces[F];
    C.Cube(Cs.Box, Z0, Z1, /*DarkSides=*/false);
    EXPECT_EQ(C.Calls, Expected);
  }
}

TEST_F(SolidsTest, ConesAndCylinders) {
  view(vOrthogonal);
  solidRed();
  C.Cylinder(/*Vertical=*/true, 20, 30, 60, 90, 0, 20, /*Dark3D=*/false);
  const QStringList Cylinder = C.Calls;
  ASSERT_EQ(Cylinder.size(), 2);  // the top ring first (seen from above), then the outline
  EXPECT_EQ(C.Faces[0].Points.size(), 32u);

  C.Calls.clear();
  C.Cone(/*Vertical=*/true, 20, 30, 60, 90, 0, 20, /*Dark3D=*/false, 100);
  EXPECT_EQ(C.Calls, Cylinder);

  // pointed: no top ring, the outline ends at the apex above the centre
  C.Calls.clear();
  C.Cone(/*Vertical=*/true, 20, 30, 60, 90, 0, 20, /*Dark3D=*/false, 0);
  ASSERT_EQ(C.Calls.size(), 1);
  EXPECT_TRUE(C.Calls[0].endsWith(QStringLiteral("(%1,%2))").arg(40 + 10).arg(30 - 10))) << C.Calls[0].toStdString();

  // horizontal: the apex on the axis at the right edge
  C.Calls.clear();
  C.Cone(/*Vertical=*/false, 20, 30, 60, 90, 0, 20, /*Dark3D=*/false, 0);
  ASSERT_FALSE(C.Calls.isEmpty());
  const TPoint Apex = C.Calculate3DPosition(60, 60, 10);
  EXPECT_TRUE(C.Calls.join(' ').contains(QStringLiteral("(%1,%2)").arg(Apex.X).arg(Apex.Y)));
}

TEST_F(SolidsTest, CylinderShadesItsSide) {
  struct Case {
    bool Dark3D;
    TColor Start, End;
  } const Cases[] = {
      {false, clRed, TeeDarkenColor(clRed, 64)},
      {true, TeeBrightenColor(clRed, 64), TeeDarkenColor(clRed, 128)},
  };
  for (const Case& Cs : Cases) {
    SCOPED_TRACE(Cs.Dark3D);
    view(vOrthogonal);
    solidRed();
    C.Gradient()->SetMidColor(clYellow);
    C.Cylinder(/*Vertical=*/false, 20, 30, 60, 90, 0, 20, Cs.Dark3D);
    TTeeGradient* G = C.Gradient();
    EXPECT_TRUE(G->Visible());  // left set for the caller
    EXPECT_EQ(G->StartColor(), Cs.Start);
    EXPECT_EQ(G->EndColor(), Cs.End);
    EXPECT_EQ(G->MidColor(), clNone);
    EXPECT_EQ(G->Direction(), gdTopBottom);
    G->SetVisible(false);
  }
}

TEST_F(SolidsTest, PyramidDarkensItsSidesAndBase) {
  view(vOrthogonal);
  solidRed();
  C.Pyramid(/*Vertical=*/true, 20, 30, 60, 90, 0, 20, /*DarkSides=*/true);
  // seen from above on the right: the front, then the right side darker;
  // the left and back sides and the base face away
  ASSERT_EQ(C.Faces.size(), 2u);
  EXPECT_EQ(C.Faces[0].Color, clRed);
  EXPECT_EQ(C.Faces[1].Color, TeeDarkenColor(clRed, 128));
  EXPECT_EQ(C.Calls[1], polygon({{60, 90, 0}, {40, 30, 10}, {60, 90, 20}}));
  EXPECT_EQ(C.Brush()->Color(), TeeDarkenColor(clRed, 128));  // left darkened

  // flat top: only the base plane, darkened by the light shade
  view(vOrthogonal);
  solidRed();
  C.Pyramid(/*Vertical=*/true, 20, 90, 60, 90, 0, 20, /*DarkSides=*/true);
  ASSERT_EQ(C.Faces.size(), 1u);
  EXPECT_EQ(C.Faces[0].Color, TeeDarkenColor(clRed, 64));
  EXPECT_EQ(C.Faces[0].Points.size(), 4u);
}

TEST_F(SolidsTest, SpheresAndEllipses) {
  view(vFlat);
  C.Sphere(50, 50, 0, 2.5);  // radius 2: halves to even
  C.EllipseWithZ(0, 0, 10, 10, 0);
  EXPECT_EQ(C.Calls, QStringList({"Ellipse(48,48,53,53)", "Ellipse(0,0,11,11)"}));

  view(vOrthogonal);
  C.EllipseWithZ(0, 0, 10, 10, 5);
  EXPECT_EQ(C.Calls, QStringList{"Ellipse(5,-5,15,5)"});

  view(vRotated);
  C.Brush()->SetStyle(bsSolid);
  C.EllipseWithZ(40, 40, 80, 60, 5);
  C.Brush()->SetStyle(bsClear);
  C.Pen()->SetStyle(psSolid);
  C.EllipseWithZ(40, 40, 80, 60, 5);
  C.Pen()->SetStyle(psClear);
  C.EllipseWithZ(40, 40, 80, 60, 5);
  ASSERT_EQ(C.Calls.size(), 2);
  EXPECT_TRUE(C.Calls[0].startsWith("Polygon("));
  EXPECT_TRUE(C.Calls[1].startsWith("Polyline("));
  EXPECT_EQ(C.Calls[0].count('('), 1 + TeeCirclePointCount);
}

TEST_F(SolidsTest, CirclePointsStartAtTheBottomAndCloseTheRing) {
  view(vFlat);
  TCirclePoints P;
  C.GetCirclePoints(P, 40, 40, 80, 60, 0);
  EXPECT_FLOAT_EQ(P[0].x, 60);
  EXPECT_FLOAT_EQ(P[0].y, 60);
  EXPECT_NEAR(P.back().x, P[0].x, 1e-3);
  EXPECT_NEAR(P.back().y, P[0].y, 1e-3);
  // a quarter of the way round, counter-clockwise on screen: the right edge
  const TPointFloat Q = P[TeeCirclePointCount / 4];
  EXPECT_NEAR(Q.x, 80, 0.1);
}

// ---------------------------------------------------------------------------
// pixels: a GDI canvas drawing into its buffer

class SolidPixelsTest : public CanvasTest {
protected:
  void SetUp() override {
    Options.SetOrthogonal(true);
    Options.SetOrthoAngle(45);
    Window.SetSize(200, 160);
    G.InitWindow(Window.Canvas(), &Options, clWhite, /*Is3D=*/true, Rect(0, 0, 200, 160));
    G.Projection(60, Rect(0, 0, 200, 160), Rect(0, 0, 200, 160));
    G.Bitmap()->Canvas()->Brush()->SetColor(clWhite);
    G.Bitmap()->Canvas()->FillRect(Rect(0, 0, 200, 160));
    G.Brush()->SetStyle(bsSolid);
    G.Brush()->SetColor(clRed);
    G.Pen()->SetStyle(psClear);
  }
  TColor Pixel(Integer X, Integer Y) { return G.Bitmap()->Canvas()->Pixels(X, Y); }

  TView3DOptions Options{nullptr};
  TBitmap Window;
  TTeeCanvas3D G;
};

TEST_F(SolidPixelsTest, DarkSidesShadeTheRightFaceToHalfTheColour) {
  G.Cube(Rect(40, 60, 100, 140), 0, 40, /*DarkSides=*/true);
  EXPECT_EQ(Pixel(70, 100), clRed);  // the front keeps the brush
  // along the right face's middle row: from red to the darkened red
  Byte Darkest = 255, Brightest = 0;
  for (Integer X = 101; X < 140; ++X) {
    const TColor P = Pixel(X, 90);
    if (P == clWhite) continue;
    EXPECT_EQ(P & 0xFFFF00, 0u) << X;
    Darkest = std::min(Darkest, Byte(P & 0xFF));
    Brightest = std::max(Brightest, Byte(P & 0xFF));
  }
  EXPECT_LE(Darkest, 0x7F + 4);
  EXPECT_GE(Brightest, 0xFF - 4);
  EXPECT_EQ(TeeDarkenColor(clRed, 128), TColor(0x00007F));
  EXPECT_FALSE(G.Gradient()->Visible());
}

TEST_F(SolidPixelsTest, Triangle3DTakesTheFirstColourUnlessTheBrushIsClear) {
  const TTrianglePoints3D P{TPoint3D{20, 100, 0}, TPoint3D{80, 100, 0}, TPoint3D{20, 40, 0}};
  G.Triangle3D(P, {clBlue, clLime, clYellow});
  EXPECT_EQ(Pixel(35, 85), clBlue);

  G.Brush()->SetColor(clRed);
  G.Brush()->SetStyle(bsClear);
  G.Pen()->SetStyle(psSolid);
  G.Pen()->SetColor(clBlack);
  const TTrianglePoints3D Q{TPoint3D{100, 100, 0}, TPoint3D{160, 100, 0}, TPoint3D{100, 40, 0}};
  G.Triangle3D(Q, {clBlue, clLime, clYellow});
  EXPECT_EQ(G.Brush()->Color(), clRed);
  EXPECT_EQ(Pixel(115, 85), clWhite);  // inside: not filled
  EXPECT_EQ(Pixel(130, 100), clBlack);  // the outline
}

// A picture of the solids, for a look by eye: set BIBLIONA_SOLIDS_PNG to a
// file name.
TEST_F(SolidPixelsTest, PictureOfTheSolids) {
  const QByteArray File = qgetenv("BIBLIONA_SOLIDS_PNG");
  if (File.isEmpty()) GTEST_SKIP() << "no picture asked for";
  Options.SetOrthogonal(false);
  Options.SetRotation(345);
  Options.SetElevation(345);
  G.InitWindow(Window.Canvas(), &Options, clWhite, /*Is3D=*/true, Rect(0, 0, 200, 160));
  G.Projection(60, Rect(0, 0, 200, 160), Rect(0, 0, 200, 160));
  G.Brush()->SetColor(clWhite);
  G.FillRect(Rect(0, 0, 200, 160));
  G.Brush()->SetColor(clRed);
  G.Pen()->SetStyle(psSolid);
  G.Pen()->SetColor(clBlack);
  G.Cube(Rect(10, 60, 40, 140), 0, 30, /*DarkSides=*/true);
  G.Brush()->SetColor(clLime);
  G.Cylinder(/*Vertical=*/true, 50, 60, 80, 140, 0, 30, /*Dark3D=*/true);
  G.Gradient()->SetVisible(false);
  G.Brush()->SetColor(clBlue);
  G.Cone(/*Vertical=*/true, 90, 60, 120, 140, 0, 30, /*Dark3D=*/false, 0);
  G.Gradient()->SetVisible(false);
  G.Brush()->SetColor(clYellow);
  G.Pyramid(/*Vertical=*/true, 130, 60, 160, 140, 0, 30, /*DarkSides=*/true);
  G.Brush()->SetColor(clFuchsia);
  G.Sphere(180, 100, 15, 15);
  G.Bitmap()->Image().save(QString::fromLocal8Bit(File));
}

}  // namespace
