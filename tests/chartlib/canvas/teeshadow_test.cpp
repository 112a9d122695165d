#include "chartlib/canvas/teeshadow.h"

#include "tests/chartlib/canvas/changecounter.h"
#include "tests/chartlib/canvas/streamhost.h"
#include "tests/support/testing.h"

namespace {

TEST(TeeShadowTest, SizeIsTheLargerMagnitudeAndSetsBoth) {
  TChangeCounter Changes;
  TTeeShadow S(Changes.Event());
  S.SetHorizSize(3);
  S.SetVertSize(-2);
  EXPECT_EQ(S.Size(), 3);
  S.SetSize(5);
  EXPECT_EQ(S.HorizSize(), 5);
  EXPECT_EQ(S.VertSize(), 5);
  EXPECT_EQ(Changes.Count, 4);
  S.SetSize(5);
  EXPECT_EQ(Changes.Count, 4);  // no change, no event
  EXPECT_TRUE(S.ShouldDraw());
  S.Hide();
  EXPECT_FALSE(S.ShouldDraw());
}

TEST(TeeShadowTest, ShadowRectMovesByTheDirection) {
  const TRect R = Rect(10, 20, 30, 40);
  struct Case {
    TShadowDirection Direction;
    TRect Expected;
  } const Cases[] = {
      {sdLeftTop, Rect(7, 22, 27, 42)},       {sdLeftBottom, Rect(7, 18, 27, 38)},
      {sdRightTop, Rect(13, 22, 33, 42)},     {sdRightBottom, Rect(13, 18, 33, 38)},
      {sdCenter, Rect(7, 18, 33, 42)},  // inflated by |h| and |v|
  };
  for (const Case& C : Cases) EXPECT_EQ(ShadowRect(R, C.Direction, 3, -2), C.Expected) << C.Direction;
}

TEST(TeeShadowTest, RotateRectTurnsTheCornersAboutTheCentre) {
  const TFourPoints P = RotateRect(Rect(0, 0, 10, 4), 90);
  EXPECT_EQ(P[0], (TPoint{3, 7}));  // (Left, Top) relative (-5, -2)
  EXPECT_EQ(P[2], (TPoint{7, -3}));
  EXPECT_EQ(RotateRect(Rect(0, 0, 10, 4), 0)[1], (TPoint{10, 0}));
}

TEST(TeeShadowTest, OnlyValuesBesideTheirDefaultsAreStreamed) {
  TTeeShadow S(nullptr);
  EXPECT_TRUE(StreamedProperties(&S).isEmpty());
  S.InitDefaults(false, clRed, 4);  // the owner's own defaults
  EXPECT_TRUE(StreamedProperties(&S).isEmpty());
  S.SetColor(clBlue);
  S.SetHorizSize(-3);
  S.SetSmooth(false);
  S.SetTransparency(20);
  EXPECT_EQ(StreamedProperties(&S),
            QStringList({"Color = clBlue", "HorizSize = -3", "Smooth = False", "Transparency = 20"}));

  TTeeShadow Back(nullptr);
  Back.InitDefaults(false, clRed, 4);
  StreamCopy(&S, &Back);
  EXPECT_EQ(Back.Color(), clBlue);
  EXPECT_EQ(Back.HorizSize(), -3);
  EXPECT_EQ(Back.VertSize(), 4);
  EXPECT_FALSE(Back.Smooth());
}

TEST(TeeShadowTest, AssignCopiesSettingsButNotDefaultsOrBlurSize) {
  TChangeCounter Changes;
  TTeeShadow Source(nullptr), Target(Changes.Event());
  Source.SetColor(clRed);
  Source.SetDirection(sdCenter);
  Source.SetVertSize(7);
  Source.BlurSize = 9;
  Target.Assign(&Source);
  EXPECT_EQ(Target.Color(), clRed);
  EXPECT_EQ(Target.Direction(), sdCenter);
  EXPECT_EQ(Target.VertSize(), 7);
  EXPECT_EQ(Target.BlurSize, 4);
  EXPECT_EQ(Changes.Count, 0);
}

TEST(TeeShadowTest, NewEmbossIsHiddenPointsLeftTopAndStreamsNothing) {
  TTeeEmboss E(nullptr);
  EXPECT_FALSE(E.Visible());
  EXPECT_EQ(E.Direction(), sdLeftTop);
  EXPECT_TRUE(StreamedProperties(&E).isEmpty());
  E.SetDirection(sdRightBottom);
  EXPECT_EQ(StreamedProperties(&E), QStringList({"Direction = sdRightBottom"}));
}

}  // namespace
