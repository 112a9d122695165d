#include "chartlib/canvas/view3doptions.h"

#include "tests/chartlib/canvas/streamhost.h"
#include "tests/support/testing.h"

#include <cmath>

namespace {

TEST(View3DOptionsTest, DefaultsAndPerspectiveCap) {
  TView3DOptions V(nullptr);
  EXPECT_EQ(V.Elevation(), 345);
  EXPECT_EQ(V.Rotation(), 345);
  EXPECT_TRUE(V.Orthogonal());
  EXPECT_EQ(V.OrthoAngle(), 45);
  EXPECT_EQ(V.Perspective(), 15);
  EXPECT_EQ(V.ZoomText(), ztAuto);
  EXPECT_TRUE(StreamedProperties(&V).isEmpty());
  V.SetPerspective(250);
  EXPECT_EQ(V.Perspective(), 100);
}

TEST(View3DOptionsTest, ZoomReportsTheNewValueBeforeItChanges) {
  TView3DOptions V(nullptr);
  std::vector<std::pair<Integer, double>> Reports;  // (reported, current at the time)
  V.OnChangedZoom = TTeeView3DChangedZoom([&](Integer NewZoom) { Reports.push_back({NewZoom, V.ZoomFloat()}); });
  int Repaints = 0;
  V.FOnInvalidate = TNotifyEvent([&](TObject*) { ++Repaints; });
  V.SetZoom(150);
  ASSERT_EQ(Reports.size(), 1u);
  EXPECT_EQ(Reports[0], std::make_pair(150, 100.0));
  EXPECT_EQ(V.ZoomFloat(), 150);
  EXPECT_EQ(Repaints, 1);
  V.SetZoom(150);
  EXPECT_EQ(Reports.size(), 1u);
  EXPECT_EQ(Repaints, 1);
}

TEST(View3DOptionsTest, OffsetsReportScrolling) {
  TView3DOptions V(nullptr);
  std::vector<bool> Scrolled;
  V.OnScrolled = TTeeView3DScrolled([&](bool IsHoriz) { Scrolled.push_back(IsHoriz); });
  V.SetHorizOffset(10);
  V.SetVertOffsetFloat(2.5);
  V.SetZOffset(4);
  V.SetZOffset(4);
  EXPECT_EQ(Scrolled, (std::vector<bool>{true, false, false}));
  EXPECT_EQ(V.VertOffset(), 2);  // halves to even
}

TEST(View3DOptionsTest, BackFacedAndOrthoRatio) {
  struct Case {
    bool Orthogonal;
    Integer Rotation;
    bool BackFaced;
  } const Cases[] = {{true, 345, false}, {false, 180, true}, {true, 180, false}, {false, 90, false}, {false, 270, false}};
  for (const Case& C : Cases) {
    TView3DOptions V(nullptr);
    V.SetOrthogonal(C.Orthogonal);
    V.SetRotation(C.Rotation);
    EXPECT_EQ(V.BackFaced(), C.BackFaced) << C.Orthogonal << " " << C.Rotation;
  }
  TView3DOptions V(nullptr);
  EXPECT_NEAR(V.OrthoRatio(), 1, 1e-12);
  V.SetOrthoAngle(135);
  EXPECT_NEAR(V.OrthoRatio(), 1, 1e-12);
  V.SetOrthoAngle(60);
  EXPECT_NEAR(V.OrthoRatio(), std::sqrt(3.0), 1e-12);
  V.SetOrthogonal(false);
  EXPECT_EQ(V.OrthoRatio(), 1);
}

TEST(View3DOptionsTest, AssignCopiesSilentlyAndOnlyFromViewOptions) {
  TView3DOptions Source(nullptr), Target(nullptr);
  int Repaints = 0;
  Target.FOnInvalidate = TNotifyEvent([&](TObject*) { ++Repaints; });
  Source.SetRotationFloat(12.5);
  Source.SetZoomPen(zpNo);
  Source.SetZOffset(9);
  Target.Assign(&Source);
  EXPECT_EQ(Target.RotationFloat(), 12.5);
  EXPECT_EQ(Target.ZoomPen(), zpNo);
  EXPECT_EQ(Target.ZOffset(), 0);
  EXPECT_EQ(Repaints, 0);
  Target.Assign(nullptr);  // ignored
  Target.SetZoomText(TCanvasZoomText(255));
  EXPECT_EQ(Target.ZoomText(), ztAuto);
}

}  // namespace
