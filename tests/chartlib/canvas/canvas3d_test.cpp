#include "chartlib/canvas/canvas3d.h"

#include "chartlib/canvas/teeblend.h"

#include "tests/chartlib/canvas/canvasfixture.h"
#include "tests/chartlib/canvas/recordingcanvas.h"

namespace {

// A flat recording canvas: chart points are screen points.
class Canvas3DTest : public CanvasTest {
protected:
  void SetUp() override {
    C.InitWindow(C.Bitmap.Canvas(), nullptr, clWhite, /*Is3D=*/false, Rect(0, 0, 100, 100));
    C.Projection(0, Rect(0, 0, 100, 100), Rect(0, 0, 100, 100));
  }
  TRecordingCanvas C{100, 100};
};

TEST_F(Canvas3DTest, DiamondIsAPolygonThroughTheSidesMiddles) {
  C.Diamond(0, 0, 10, 20, 0, 5);
  EXPECT_EQ(C.Calls, QStringList({"Polygon((5,0),(10,10),(5,20),(0,10))"}));
}

TEST_F(Canvas3DTest, AssignFont3DZoomsUnlessTheViewSaysNo) {
  TView3DOptions V(nullptr);
  V.SetZoom(200);
  C.SetView3DOptions(&V);
  TTeeFont F(nullptr);
  F.SetSize(10);
  C.AssignFont3D(&F);
  EXPECT_EQ(C.Font()->Size(), 20);
  V.SetZoomText(ztNo);
  C.AssignFont3D(&F);
  EXPECT_EQ(C.Font()->Size(), 10);
  C.SetView3DOptions(nullptr);
}

TEST_F(Canvas3DTest, TriSurfaceAsksEveryTriangleInOrder) {
  std::vector<Integer> Asked;
  TTeeCachedObject Cached = nullptr;
  auto Points = [&](Integer Index, TTrianglePoints3D& P, TTriangleColors3D& Colors, TTriangleIndexes&) {
    Asked.push_back(Index);
    P = {TPoint3D{Index, 0, 0}, TPoint3D{Index + 10, 0, 0}, TPoint3D{Index, 10, 0}};
    Colors = {clRed, clRed, clRed};
  };
  C.TriSurface(0, false, false, nullptr, 0, TTeeCanvasTriPoints(Points), Cached);
  EXPECT_TRUE(Asked.empty());
  TTeeBlend Blend(&C, Rect(0, 0, 1, 1));
  C.TriSurface(3, false, false, &Blend, 50, TTeeCanvasTriPoints(Points), Cached);
  EXPECT_EQ(Asked, (std::vector<Integer>{1, 2, 3}));
  EXPECT_EQ(C.CallsOf("Triangle3D").size(), 3);
  EXPECT_EQ(Blend.Rect(), Rect(3, 0, 14, 11));  // the last triangle's bounds
}

TEST_F(Canvas3DTest, LinesAndPolygonsWithDepth) {
  const TPoint P[] = {{1, 2}, {3, 4}};
  C.Polyline(P, 7);
  C.HorizLine3D(0, 10, 5, 3);
  C.ZLine3D(4, 4, 0, 9);
  EXPECT_EQ(C.Calls.mid(0, 5),
            QStringList({"Polyline((1,2),(3,4))", "MoveTo(0,5)", "LineTo(10,5)", "MoveTo(4,4)", "LineTo(4,4)"}));
  // the concave polygon is the plain 3D polygon of the rounded points
  C.Calls.clear();
  C.Polygon3DConcave(std::vector<TPoint3DFloat>{{0.4, 0.6, 0}, {2.5, 3.5, 0}}, false);
  EXPECT_EQ(C.Calls, QStringList{"Polygon((0,1),(2,4))"});
}

TEST_F(Canvas3DTest, PlainShadowShapes) {
  TTeeShadow S(nullptr);
  S.SetColor(clGray);
  S.SetSmooth(false);
  C.DrawShadow(&S, Rect(10, 10, 30, 30), true, 0, {}, 0, 0, 360);
  C.DrawShadow(&S, Rect(10, 10, 30, 30), true, 0, {}, 0, 0, 180);
  C.DrawShadow(&S, Rect(10, 10, 30, 30), false, 5, {}, 0, 0, 360);
  C.DrawShadow(&S, Rect(10, 10, 30, 30), false, 0, {}, 0, 0, 360);
  EXPECT_EQ(C.Calls, QStringList({"Ellipse(10,10,30,30)", "PieAngles(10,10,30,30,0,180)",
                                  "RoundRect(10,10,30,30,5,5)", "FillRect(10,10,30,30)"}));
  EXPECT_EQ(C.Brush()->Color(), clGray);
  EXPECT_EQ(C.Pen()->Color(), clGray);
}

TEST_F(Canvas3DTest, SmoothShadowFillsWithARadialGradientAndGivesTheCanvasGradientBack) {
  TTeeShadow S(nullptr);
  S.SetColor(clBlack);
  TColor Start = 0, End = 0;
  TGradientDirection Direction = gdTopBottom;
  bool Visible = false;
  struct TSpy : TRecordingCanvas {
    std::function<void()> OnEllipse;
    using TRecordingCanvas::Ellipse;
    void Ellipse(Integer X1, Integer Y1, Integer X2, Integer Y2) override {
      OnEllipse();
      TRecordingCanvas::Ellipse(X1, Y1, X2, Y2);
    }
  } Spy;
  Spy.OnEllipse = [&] {
    Start = Spy.Gradient()->StartColor();
    End = Spy.Gradient()->EndColor();
    Direction = Spy.Gradient()->Direction();
    Visible = Spy.Gradient()->Visible();
  };
  Spy.DrawShadow(&S, Rect(0, 0, 10, 10), true, 0, {}, 0, 0, 360);
  EXPECT_TRUE(Visible);
  EXPECT_EQ(Direction, gdRadial);
  EXPECT_EQ(Start, clBlack);
  EXPECT_EQ(End, clSilver);  // black fades to silver
  EXPECT_FALSE(Spy.Gradient()->Visible());
  EXPECT_EQ(Spy.Pen()->Style(), psClear);

  S.SetColor(TColor(0x204080));
  Spy.DrawShadow(&S, Rect(0, 0, 10, 10), true, 0, {}, 0, 0, 360);
  EXPECT_EQ(Start, TeeDarkenColor(0x204080, 128));
  EXPECT_EQ(End, TeeBrightenColor(0x204080, 32));
}

TEST_F(Canvas3DTest, StretchDrawOnAPlaneDrawsAQuadrilateralPerPixel) {
  TBitmap Picture;
  Picture.SetSize(2, 1);
  Picture.Canvas()->SetPixels(0, 0, clRed);
  Picture.Canvas()->SetPixels(1, 0, clBlue);
  C.StretchDraw(Rect(10, 10, 30, 20), &Picture, 0, cpZ);
  EXPECT_EQ(C.CallsOf("Polygon"),
            QStringList({"Polygon((10,10),(20,10),(20,20),(10,20))", "Polygon((20,10),(30,10),(30,20),(20,20))"}));
  EXPECT_EQ(C.Pixels(15, 15), clRed);
  EXPECT_EQ(C.Pixels(25, 15), clBlue);
  TBitmap Empty;
  C.Calls.clear();
  C.StretchDraw(Rect(10, 10, 30, 20), &Empty, 0, cpZ);
  EXPECT_TRUE(C.Calls.isEmpty());
}

TEST_F(Canvas3DTest, FrontPlaneBracketsNest) {
  TView3DOptions V(nullptr);
  V.SetOrthogonal(false);
  V.SetPerspective(0);
  V.SetRotation(30);
  C.InitWindow(C.Bitmap.Canvas(), &V, clWhite, true, Rect(0, 0, 100, 100));
  C.Projection(0, Rect(0, 0, 100, 100), Rect(0, 0, 100, 100));
  const TPoint Rotated = C.Calculate3DPosition(10, 10, 0);
  C.FrontPlaneBegin();
  C.FrontPlaneBegin();
  C.FrontPlaneEnd();
  EXPECT_EQ(C.Calculate3DPosition(10, 10, 0), (TPoint{10, 10}));
  C.FrontPlaneEnd();
  EXPECT_EQ(C.Calculate3DPosition(10, 10, 0), Rotated);
}

TEST_F(Canvas3DTest, PointRoutines) {
  EXPECT_EQ(C.RectFromRectZ(Rect(0, 0, 10, 10), 5), Rect(0, 0, 11, 11));
  EXPECT_EQ(C.PointFromSpiral(Rect(0, 0, 20, 20), 0, 0), (TPoint{20, 10}));
  TView3DOptions V(nullptr);
  C.InitWindow(C.Bitmap.Canvas(), &V, clWhite, true, Rect(0, 0, 100, 100));
  C.Projection(20, Rect(0, 0, 100, 100), Rect(0, 0, 100, 100));
  const TPointFloat Flat = C.PointFromCircle(Rect(0, 0, 20, 10), 90, 0);
  EXPECT_FLOAT_EQ(Flat.x, 10);
  EXPECT_FLOAT_EQ(Flat.y, 0);  // z 0: not projected, even in 3D
  const TPointFloat Deep = C.PointFromCircle(Rect(0, 0, 20, 10), 90, 10);
  EXPECT_FLOAT_EQ(Deep.x, 20);  // shifted right and up by the depth
  EXPECT_FLOAT_EQ(Deep.y, -10);
  EXPECT_EQ(C.CubeHull(Rect(10, 10, 20, 20), 0, 10).size(), 6u);
}

// PyramidTrunc and RotatedEllipse on a canvas that notes its faces.
class SolidRoutinesTest : public CanvasTest {
protected:
  // Flat, or the orthogonal view at 45 degrees: (x, y, z) to (x + z, y - z).
  void view(bool Orthogonal) {
    V.SetOrthogonal(true);
    V.SetOrthoAngle(45);
    C.InitWindow(C.Bitmap.Canvas(), &V, clWhite, Orthogonal, Rect(0, 0, 200, 200));
    C.Projection(40, Rect(0, 0, 200, 200), Rect(0, 0, 200, 200));
    C.Calls.clear();
  }
  QString polygon(std::initializer_list<TPoint3D> Points) {
    TPointArray P;
    for (const TPoint3D& Pt : Points) P.push_back(C.Calculate3DPosition(Pt));
    return "Polygon(" + TRecordingCanvas::Points(P) + ")";
  }
  TView3DOptions V{nullptr};
  TFaceLog C{200, 200};
};

TEST_F(SolidRoutinesTest, PyramidTruncDrawsTheCoversAndTheSidesFacingTheViewer) {
  view(/*Orthogonal=*/false);
  C.PyramidTrunc(TRectF{20, 40, 80, 140}, 10, 10, 0, 0, false, false);
  EXPECT_EQ(C.Calls, QStringList{"Polygon((50,40),(50,40),(80,140),(20,140))"});  // one face

  // a frustum from (20..80, 0..40) at the bottom to (40..60, 12..28) at the top
  view(/*Orthogonal=*/true);
  C.PyramidTrunc(TRectF{20, 40, 80, 140}, 0, 40, 10, 8, true, true);
  EXPECT_EQ(C.Calls, QStringList({
                         polygon({{20, 140, 0}, {80, 140, 0}, {80, 140, 40}, {20, 140, 40}}),  // bottom cover
                         polygon({{40, 40, 12}, {60, 40, 12}, {80, 140, 0}, {20, 140, 0}}),    // front
                         polygon({{60, 40, 12}, {60, 40, 28}, {80, 140, 40}, {80, 140, 0}}),   // right
                         polygon({{40, 40, 12}, {60, 40, 12}, {60, 40, 28}, {40, 40, 28}}),    // top cover
                     }));

  // upside down: the narrow cover first, the same two sides, the wide cover
  view(/*Orthogonal=*/true);
  C.PyramidTrunc(TRectF{20, 140, 80, 40}, 0, 40, 10, 8, true, true);
  ASSERT_EQ(C.Calls.size(), 4);
  EXPECT_EQ(C.Calls[0], polygon({{40, 140, 12}, {60, 140, 12}, {60, 140, 28}, {40, 140, 28}}));
  EXPECT_EQ(C.Calls[1], polygon({{40, 140, 12}, {60, 140, 12}, {80, 40, 0}, {20, 40, 0}}));
  EXPECT_EQ(C.Calls[3], polygon({{20, 40, 0}, {80, 40, 0}, {80, 40, 40}, {20, 40, 40}}));
}

TEST_F(SolidRoutinesTest, RotatedEllipseTurnsAboutTheBoxCentre) {
  view(/*Orthogonal=*/false);
  C.Brush()->SetStyle(bsSolid);
  C.RotatedEllipse(60, 90, 140, 110, 0, 90);  // 80 x 20 turned upright
  ASSERT_EQ(C.Faces.size(), 1u);
  const TPointArray& P = C.Faces[0].Points;
  EXPECT_EQ(P.size(), size_t(TeeCirclePointCount));
  EXPECT_EQ(TeePolygonBounds(P), Rect(90, 60, 111, 141));

  C.Brush()->SetStyle(bsClear);
  C.Pen()->SetStyle(psClear);
  C.RotatedEllipse(60, 90, 140, 110, 0, 90);
  EXPECT_EQ(C.Faces.size(), 1u);  // neither filled nor outlined
}

}  // namespace
