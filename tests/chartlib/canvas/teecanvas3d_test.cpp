#include "chartlib/canvas/teecanvas3d.h"

#include "chartlib/canvas/teeshadow.h"
#include "platform/ui/controls/extctrls.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/windowing/controls.h"

#include "tests/chartlib/canvas/canvasfixture.h"

#include <random>

namespace {

// A canvas projecting about the centre (300, 200) of the chart rectangle.
class ProjectionTest : public CanvasTest {
protected:
  void project(bool Is3D, TView3DOptions* V = nullptr) {
    C.InitWindow(nullptr, V, clWhite, Is3D, Rect(0, 0, 600, 400));
    C.Projection(0, Rect(0, 0, 600, 400), Rect(0, 0, 600, 400));
  }
  TTeeCanvas3D C;
  TView3DOptions V{nullptr};
};

TEST_F(ProjectionTest, ProjectsByTheView) {
  struct Case {
    const char* Name;
    bool Is3D;
    bool Orthogonal;
    Integer OrthoAngle, Zoom, Rotation, Elevation;
    TPoint3D Point;
    TPoint Expected;
  } const Cases[] = {
      {"flat, any depth", false, true, 45, 100, 345, 345, {12, 34, 999}, {12, 34}},
      {"orthogonal 45", true, true, 45, 100, 345, 345, {300, 200, 10}, {310, 190}},
      {"orthogonal 135 mirrors the shift", true, true, 135, 100, 345, 345, {300, 200, 10}, {290, 190}},
      {"orthogonal 90 shifts one up per depth", true, true, 90, 100, 345, 345, {300, 200, 10}, {310, 190}},
      {"orthogonal, zoom 50", true, true, 45, 50, 345, 345, {310, 220, 0}, {305, 210}},
      {"rotated by nothing", true, false, 45, 100, 0, 0, {123, 45, 67}, {123, 45}},
      {"rotated 90 about the vertical", true, false, 45, 100, 90, 0, {300, 200, 30}, {270, 200}},
  };
  for (const Case& Cs : Cases) {
    SCOPED_TRACE(Cs.Name);
    V.SetOrthogonal(Cs.Orthogonal);
    V.SetOrthoAngle(Cs.OrthoAngle);
    V.SetZoom(Cs.Zoom);
    V.SetRotation(Cs.Rotation);
    V.SetElevation(Cs.Elevation);
    V.SetPerspective(0);
    project(Cs.Is3D, &V);
    EXPECT_EQ(C.Calculate3DPosition(Cs.Point), Cs.Expected);
  }
}

TEST_F(ProjectionTest, ViewOffsetsMoveRotatedAndFlatFloatPoints) {
  V.SetOrthogonal(false);
  V.SetRotation(0);
  V.SetElevation(0);
  V.SetPerspective(0);
  V.SetHorizOffset(7);
  V.SetVertOffset(-3);
  project(true, &V);
  EXPECT_EQ(C.Calculate3DPosition(10, 20, 30), (TPoint{17, 17}));
  project(false, &V);
  EXPECT_EQ(C.Calculate3DPosition(10, 20, 30), (TPoint{10, 20}));  // the integer flat projection ignores them
  TPointFloat P{10, 20};
  C.Calculate3DPosition(P, 30);
  EXPECT_FLOAT_EQ(P.x, 17);
  EXPECT_FLOAT_EQ(P.y, 17);
}

TEST_F(ProjectionTest, OrthogonalShiftPerDepth) {
  V.SetOrthoAngle(45);
  project(true, &V);
  EXPECT_EQ(C.IOrthoY(), 0.9999999999999999);
  V.SetOrthoAngle(90);
  project(true, &V);
  EXPECT_EQ(C.IOrthoY(), 1.0);
}

TEST_F(ProjectionTest, OrthogonalInverseRoundTrips) {
  std::mt19937 Random(7);
  std::uniform_int_distribution<int> X(0, 600), Y(0, 400), Z(0, 50);
  for (Integer Zoom : {100, 50}) {
    SCOPED_TRACE(Zoom);
    V.SetZoom(Zoom);
    project(true, &V);
    for (int I = 0; I < 200; ++I) {
      const Integer PX = X(Random), PY = Y(Random), PZ = Z(Random);
      TPoint S = C.Calculate3DPosition(PX, PY, PZ);
      C.Calculate2DPosition(S.X, S.Y, PZ);
      const Integer Tolerance = Zoom == 100 ? 0 : 1;
      EXPECT_LE(std::abs(S.X - PX), Tolerance) << PX << "," << PY << "," << PZ;
      EXPECT_LE(std::abs(S.Y - PY), Tolerance) << PX << "," << PY << "," << PZ;
    }
  }
  V.SetZoom(50);
  project(true, &V);
  Integer X2 = 305, Y2 = 210;
  C.Calculate2DPosition(X2, Y2, 0);
  EXPECT_EQ((TPoint{X2, Y2}), (TPoint{310, 220}));
}

TEST_F(ProjectionTest, RotatedInverseIsExactWithoutPerspective) {
  V.SetOrthogonal(false);
  V.SetRotation(20);
  V.SetElevation(340);
  V.SetPerspective(0);
  project(true, &V);
  for (TPoint3D P : {TPoint3D{100, 50, 0}, TPoint3D{400, 300, 0}, TPoint3D{250, 120, 0}}) {
    TPoint S = C.Calculate3DPosition(P);
    C.Calculate2DPosition(S.X, S.Y, P.z);
    EXPECT_LE(std::abs(S.X - P.x), 1);
    EXPECT_LE(std::abs(S.Y - P.y), 1);
  }
}

TEST_F(ProjectionTest, PerspectiveDivisorOfZeroDoesNotRaise) {
  // the divisor zoom × perspective / 120 / width × depth term + 1 reaches 0
  // for a point far behind the centre
  V.SetOrthogonal(false);
  V.SetRotation(0);
  V.SetElevation(0);
  V.SetPerspective(100);
  V.SetZoom(100);
  C.InitWindow(nullptr, &V, clWhite, true, Rect(0, 0, 120, 100));
  C.Projection(0, Rect(0, 0, 120, 100), Rect(0, 0, 120, 100));
  // strength 100 / 120 / 120 = 1 / 144: the divisor dz / 144 + 1 is 0 at dz = -144
  const TPoint P = C.Calculate3DPosition(60, 50, -144);
  EXPECT_EQ(P, (TPoint{60, 50}));  // on the centre line: 0 / divisor stays 0
  EXPECT_NO_THROW(C.Calculate3DPosition(70, 60, -144));
  TPointFloat F{70, 60};
  EXPECT_NO_THROW(C.Calculate3DPosition(F, -144));
}


// --- drawing target ------------------------------------------------------------

class GdiCanvasTest : public CanvasTest {
protected:
  void SetUp() override {
    Window.SetSize(300, 200);
    C.InitWindow(Window.Canvas(), nullptr, clWhite, false, Rect(10, 20, 210, 120));
  }
  TBitmap Window;
  TTeeCanvas3D C;
};

TEST_F(GdiCanvasTest, BufferIsTheChartsSizeAndShowsAtTheUserCorner) {
  ASSERT_NE(C.Bitmap(), nullptr);
  EXPECT_EQ(C.Bitmap()->Width(), 200);
  EXPECT_EQ(C.Bitmap()->Height(), 100);
  EXPECT_EQ(C.ReferenceCanvas(), C.Bitmap()->Canvas());
  EXPECT_EQ(C.BackMode(), cbmOpaque);
  C.Bitmap()->Canvas()->Brush()->SetColor(clRed);
  C.Bitmap()->Canvas()->FillRect(Rect(0, 0, 200, 100));
  EXPECT_FALSE(C.ReDrawBitmap());  // dirty until shown
  C.ShowImage(Window.Canvas(), Window.Canvas(), Rect(10, 20, 210, 120));
  EXPECT_FALSE(C.Dirty());
  EXPECT_EQ(Window.Canvas()->Pixels(10, 20), clRed);
  EXPECT_EQ(Window.Canvas()->Pixels(209, 119), clRed);
  EXPECT_EQ(Window.Canvas()->Pixels(9, 20), clBlack);
  EXPECT_EQ(C.ReferenceCanvas(), Window.Canvas());
  EXPECT_TRUE(C.ReDrawBitmap());
}

TEST_F(GdiCanvasTest, RenderToBitmapOnlyForTheWholeCleanBuffer) {
  TBitmap Out;
  TBitmap* P = &Out;
  C.ShowImage(Window.Canvas(), Window.Canvas(), Rect(10, 20, 210, 120));
  EXPECT_FALSE(C.RenderToBitmap(P, Rect(0, 0, 100, 100)));
  EXPECT_EQ(Out.Width(), 0);
  EXPECT_TRUE(C.RenderToBitmap(P, Rect(0, 0, 200, 100)));
  EXPECT_EQ(Out.Width(), 200);
  C.Invalidate();
  EXPECT_FALSE(C.RenderToBitmap(P, Rect(0, 0, 200, 100)));
}

TEST_F(GdiCanvasTest, SwitchingTheBufferOff) {
  C.IKeepBitmap = true;
  C.SetUseBuffer(false);
  EXPECT_NE(C.Bitmap(), nullptr);
  EXPECT_EQ(C.ReferenceCanvas(), C.Bitmap()->Canvas());
  C.SetUseBuffer(true);
  C.IKeepBitmap = false;
  C.SetUseBuffer(false);
  EXPECT_EQ(C.Bitmap(), nullptr);
  EXPECT_EQ(C.ReferenceCanvas(), nullptr);
  EXPECT_TRUE(C.Dirty());
  EXPECT_EQ(C.InitWindow(Window.Canvas(), nullptr, clWhite, false, Rect(10, 20, 210, 120)), Rect(10, 20, 210, 120));
  EXPECT_EQ(C.ReferenceCanvas(), Window.Canvas());
}

TEST_F(GdiCanvasTest, CopyToTheCanvasOfAControlWithoutParentDoesNothing) {
  TImage Orphan(nullptr);
  TControlCanvas Dest;
  Dest.SetControl(&Orphan);
  C.CopyBufferTo(0, 0, &Dest);  // would need a device context it cannot have
  EXPECT_FALSE(Dest.HandleAllocated());
}

TEST_F(GdiCanvasTest, SmoothShadowsBlurOntoTheBuffer) {
  C.Bitmap()->Canvas()->Brush()->SetColor(clWhite);
  C.Bitmap()->Canvas()->FillRect(Rect(0, 0, 200, 100));
  TTeeShadow S(nullptr);
  S.SetColor(clBlack);
  S.SetSize(5);
  S.SetTransparency(0);
  S.Draw(&C, Rect(20, 20, 80, 60));
  const TColor Inside = C.Bitmap()->Canvas()->Pixels(50, 45);
  EXPECT_LT(Inside & 0xFF, 0x20);
  EXPECT_EQ(C.Bitmap()->Canvas()->Pixels(150, 90), clWhite);
  // a blurred edge, not the plain shadow's hard one
  const Integer Edge = C.Bitmap()->Canvas()->Pixels(84, 45) & 0xFF;
  EXPECT_GT(Edge, 0x10);
  EXPECT_LT(Edge, 0xF0);
}

}  // namespace
