#include "chartlib/canvas/teepen.h"

#include "chartlib/canvas/teefilter.h"
#include "chartlib/canvas/teegradient.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"

#include "tests/chartlib/canvas/changecounter.h"
#include "tests/chartlib/canvas/streamhost.h"
#include "tests/support/testing.h"

namespace {

TEST(TeePenTest, HalfWidthOfVisibleWidePensOnly) {
  struct Case {
    bool Visible;
    Integer Width;
    Integer Half;
  } const Cases[] = {{false, 5, 0}, {true, 5, 2}, {true, 1, 0}, {true, 4, 2}};
  for (const Case& C : Cases) {
    TTeePen P(nullptr);
    P.SetVisible(C.Visible);
    P.SetWidth(C.Width);
    EXPECT_EQ(P.HalfWidth(), C.Half) << C.Visible << " " << C.Width;
  }
}

TEST(TeePenTest, ReadingTheFillCreatesItWithoutAVisibleGradient) {
  TChangeCounter Changes;
  TTeePen P(Changes.Event());
  EXPECT_FALSE(P.HasFill());
  P.Fill();
  EXPECT_TRUE(P.HasFill());
  EXPECT_FALSE(P.IsGradientVisible());
  P.Fill()->Gradient()->SetVisible(true);  // the fill shares the pen's event
  EXPECT_TRUE(P.IsGradientVisible());
  EXPECT_EQ(Changes.Count, 1);
  P.SetFill(nullptr);
  EXPECT_FALSE(P.HasFill());
}

TEST(TeePenTest, SettersFireOnlyOnAChange) {
  TChangeCounter Changes;
  TTeePen P(Changes.Event());
  P.SetVisible(true);
  P.SetEndStyle(esRound);
  EXPECT_EQ(Changes.Count, 0);
  P.SetEndStyle(esFlat);
  P.SetJoinStyle(jsBevel);
  P.SetSmallDots(true);
  P.SetSmallSpace(2);
  P.Hide();
  EXPECT_EQ(Changes.Count, 5);
  P.InitEndStyle(esSquare);  // value and default, silently
  EXPECT_EQ(Changes.Count, 5);
}

TEST(TeePenTest, StreamsOnlyWhatDiffersFromItsDefaults) {
  struct Case {
    const char* Name;
    std::function<TTeePen*()> Make;
    QStringList Streamed;
  } const Cases[] = {
      {"default pen", [] { return new TTeePen(nullptr); }, {}},
      {"hidden pen", [] { return new TTeeHiddenPen(nullptr); }, {}},
      {"dark grey pen", [] { return new TDarkGrayPen(nullptr); }, {}},
      {"white pen", [] { return new TWhitePen(nullptr); }, {}},
      {"changed pen",
       [] {
         auto* P = new TTeePen(nullptr);
         P->SetWidth(3);
         P->SetEndStyle(esFlat);
         P->SetColor(clRed);
         P->Hide();
         return P;
       },
       {"Color = clRed", "Width = 3", "EndStyle = esFlat", "Visible = False"}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    std::unique_ptr<TTeePen> P(C.Make());
    EXPECT_EQ(StreamedProperties(P.get()), C.Streamed);
  }
  TTeePen Changed(nullptr), Back(nullptr);
  Changed.SetWidth(4);
  Changed.SetJoinStyle(jsMitter);
  Changed.SetSmallSpace(3);
  StreamCopy(&Changed, &Back);
  EXPECT_EQ(Back.Width(), 4);
  EXPECT_EQ(Back.JoinStyle(), jsMitter);
  EXPECT_EQ(Back.SmallSpace(), 3);
  TDarkGrayPen Gray(nullptr);
  EXPECT_EQ(Gray.Color(), clDkGray);
  TTeeHiddenPen Hidden(nullptr);
  EXPECT_FALSE(Hidden.Visible());
}

TEST(TeePenTest, AssignCopiesChartSettingsAndTheFill) {
  TTeePen Source(nullptr), Target(nullptr);
  Source.SetEndStyle(esSquare);
  Source.SetSmallDots(true);
  Source.SetColor(clBlue);
  Source.Fill()->SetColor(clRed);
  Target.Assign(&Source);
  EXPECT_EQ(Target.EndStyle(), esSquare);
  EXPECT_TRUE(Target.SmallDots());
  EXPECT_EQ(Target.Color(), clBlue);
  ASSERT_TRUE(Target.HasFill());
  EXPECT_EQ(Target.Fill()->Color(), clRed);
  TTeePen Plain(nullptr);
  Target.Assign(&Plain);
  EXPECT_FALSE(Target.HasFill());
}

TEST(TeeBrushTest, NewBrushIsDefaultColouredAndStreamsNothing) {
  TTeeBrush B(nullptr);
  EXPECT_EQ(B.Color(), clDefault);
  EXPECT_EQ(B.BackColor(), clNone);
  EXPECT_TRUE(StreamedProperties(&B).isEmpty());
  // white is the declared default: never written either
  B.SetColor(clWhite);
  EXPECT_TRUE(StreamedProperties(&B).isEmpty());
  B.SetColor(clRed);
  B.SetBackColor(clBlue);
  EXPECT_EQ(StreamedProperties(&B), QStringList({"Color = clRed", "BackColor = clBlue"}));
  B.SetHatchStyle(hsSphere);
  B.Gradient()->SetVisible(true);
  TTeeBrush Back(nullptr);
  StreamCopy(&B, &Back);
  EXPECT_EQ(Back.Color(), clRed);
  EXPECT_EQ(Back.BackColor(), clBlue);
  EXPECT_EQ(Back.HatchStyle(), hsSphere);
  EXPECT_TRUE(Back.IsGradientVisible());
}

TEST(TeeBrushTest, FirstSixHatchesSetThePlatformStyle) {
  TChangeCounter Changes;
  TTeeBrush B(Changes.Event());
  B.SetHatchStyle(hsCross);
  EXPECT_EQ(B.Style(), bsCross);
  B.SetStyle(bsSolid);
  B.SetHatchStyle(hsSphere);  // drawn by the GDI+ canvas only
  EXPECT_EQ(B.Style(), bsSolid);
  EXPECT_EQ(B.HatchStyle(), hsSphere);
  const int Before = Changes.Count;
  B.SetHatchStyle(hsSphere);
  EXPECT_EQ(Changes.Count, Before);
}

TEST(TeeBrushTest, AssignCopiesPictureAndGradientOrFreesThem) {
  TTeeBrush Source(nullptr), Target(nullptr);
  TBitmap Picture;
  Picture.SetSize(2, 2);
  Source.Image()->SetGraphic(&Picture);
  Source.Gradient()->SetVisible(true);
  Source.SetHatchStyle(hsDiagonalCross);
  Target.Assign(&Source);
  EXPECT_TRUE(Target.HasImage());
  EXPECT_TRUE(Target.IsGradientVisible());
  EXPECT_EQ(Target.HatchStyle(), hsDiagonalCross);
  EXPECT_EQ(Target.Style(), bsDiagCross);
  TTeeBrush Plain(nullptr);
  Target.Assign(&Plain);
  EXPECT_FALSE(Target.HasImageObject());
  EXPECT_FALSE(Target.HasGradient());
  Target.InitColor(clGreen);
  EXPECT_EQ(Target.Color(), clGreen);
  EXPECT_TRUE(StreamedProperties(&Target).isEmpty());
  Target.Clear();
  EXPECT_EQ(Target.Style(), bsClear);
}

TEST(TeeCornersTest, CornersStreamAndAssignTheirStyles) {
  TChangeCounter Changes;
  TTeeCorners Corners(Changes.Event());
  Corners.RightTop()->SetStyle(cosBevel);
  EXPECT_EQ(Changes.Count, 1);
  EXPECT_EQ(StreamedProperties(&Corners), QStringList({"RightTop.Style = cosBevel"}));
  TTeeCorners Copy(nullptr);
  Copy.Assign(&Corners);
  EXPECT_EQ(Copy.RightTop()->Style(), cosBevel);
  EXPECT_EQ(Copy.LeftTop()->Style(), cosRound);
}

}  // namespace
