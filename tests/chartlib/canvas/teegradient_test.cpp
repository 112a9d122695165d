#include "chartlib/canvas/teegradient.h"

#include "tests/chartlib/canvas/changecounter.h"
#include "tests/chartlib/canvas/streamhost.h"
#include "tests/support/testing.h"

namespace {

std::vector<double> offsets(TTeeGradientColors* C) {
  std::vector<double> Result;
  for (int I = 0; I < C->Count(); ++I) Result.push_back(C->Get(I)->Offset());
  return Result;
}

TEST(TeeGradientTest, NewGradientHasNoListAndStreamsNoColours) {
  TChangeCounter Changes;
  TTeeGradient G(Changes.Event());
  EXPECT_FALSE(G.HasColors());
  EXPECT_EQ(G.StartColor(), clWhite);
  EXPECT_EQ(G.EndColor(), clYellow);
  EXPECT_EQ(G.MidColor(), clNone);
  EXPECT_TRUE(StreamedProperties(&G).isEmpty());
  // reading the list makes the two default stops silently
  TTeeGradientColors* C = G.Colors();
  EXPECT_EQ(offsets(C), (std::vector<double>{0, 1}));
  EXPECT_EQ(C->Get(0)->Color(), clWhite);
  EXPECT_EQ(C->Get(1)->Color(), clYellow);
  EXPECT_EQ(Changes.Count, 0);
  EXPECT_TRUE(StreamedProperties(&G).isEmpty());
}

TEST(TeeGradientTest, MidColorInsertsAndRemovesTheMiddleStop) {
  TChangeCounter Changes;
  TTeeGradient G(Changes.Event());
  G.SetMidColor(clNone);  // two stops: nothing to remove
  EXPECT_EQ(G.Colors()->Count(), 2);
  EXPECT_EQ(Changes.Count, 0);
  G.SetMidColor(clRed);
  EXPECT_EQ(offsets(G.Colors()), (std::vector<double>{0, 0.5, 1}));
  EXPECT_EQ(G.MidColor(), clRed);
  EXPECT_GT(Changes.Count, 0);
  G.SetMidColor(clNone);
  EXPECT_EQ(G.Colors()->Count(), 2);
  EXPECT_EQ(G.MidColor(), clNone);
  G.UseMiddleColor();  // the middle colour set last
  EXPECT_EQ(G.MidColor(), clRed);
}

TEST(TeeGradientTest, AddClampsAndKeepsTheListSortedAfterEqualOffsets) {
  TTeeGradient G(nullptr);
  TTeeGradientColors* C = G.Colors();
  C->Add(1.5, clRed);
  C->Add(0, clBlue);
  C->Add(-2, clLime);
  EXPECT_EQ(offsets(C), (std::vector<double>{0, 0, 0, 1, 1}));
  // equal offsets keep the order of adding
  EXPECT_EQ(C->Get(0)->Color(), clWhite);
  EXPECT_EQ(C->Get(1)->Color(), clBlue);
  EXPECT_EQ(C->Get(2)->Color(), clLime);
  EXPECT_EQ(C->Get(4)->Color(), clRed);
  EXPECT_EQ(G.EndColor(), clRed);
}

TEST(TeeGradientTest, ColourListIsStreamedUnlessPlain) {
  struct Case {
    const char* Name;
    bool WithMiddle;
    Integer Transparency;  // on the middle stop, or the last one
    bool Streamed;
  } const Cases[] = {
      {"two stops", false, 0, false},
      {"three plain stops", true, 0, false},
      {"three stops with a transparency", true, 30, true},
      {"two stops with a transparency", false, 30, true},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TTeeGradient G(nullptr);
    if (C.WithMiddle) G.SetMidColor(clRed);
    G.Colors()->Get(1)->SetTransparency(C.Transparency);
    const QStringList Props = StreamedProperties(&G);
    EXPECT_EQ(Props.contains(QStringLiteral("Colors = <")), C.Streamed) << Props.join(" | ").toStdString();
  }
}

TEST(TeeGradientTest, StreamsChangedSettingsAndReadsThemBack) {
  TTeeGradient G(nullptr);
  G.SetVisible(true);
  G.SetDirection(gdLeftRight);
  G.SetStartColor(clBlue);
  G.SetMidColor(clRed);
  G.SetBalance(30);
  G.SubGradient()->SetTransparency(70);
  TTeeGradient Back(nullptr);
  StreamCopy(&G, &Back);
  EXPECT_TRUE(Back.Visible());
  EXPECT_EQ(Back.Direction(), gdLeftRight);
  EXPECT_EQ(Back.StartColor(), clBlue);
  EXPECT_EQ(Back.MidColor(), clRed);
  EXPECT_EQ(Back.EndColor(), clYellow);
  EXPECT_EQ(Back.Balance(), 30);
  ASSERT_TRUE(Back.HasSubGradient());
  EXPECT_EQ(Back.SubGradient()->Transparency(), 70);
}

TEST(TeeGradientTest, AssignWithoutSubGradientFreesTheDestinations) {
  TChangeCounter Changes;
  TTeeGradient Source(nullptr), Target(Changes.Event());
  Target.SubGradient()->SetVisible(true);
  Source.SetAngle(30);
  Source.SetEndColor(clGreen);
  Target.Assign(&Source);
  EXPECT_FALSE(Target.HasSubGradient());
  EXPECT_EQ(Target.Angle(), 30);
  EXPECT_EQ(Target.EndColor(), clGreen);
  EXPECT_GT(Changes.Count, 0);  // through the colour list's update
  TTeeGradient Plain(nullptr);
  Target.Assign(&Plain);
  EXPECT_FALSE(Target.HasColors());
  EXPECT_RAISES(Target.Assign(static_cast<TPersistent*>(nullptr)), EConvertError,
                "Cannot assign a nil to a TTeeGradient");
}

}  // namespace
