#include "platform/ui/windowing/timers.h"

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/ui/windowing/msgqueue.h"
#include "tests/support/testing.h"

#include <vector>

namespace {

class TimersTest : public ::testing::Test {
protected:
  void SetUp() override { test::ResetQueue(); }
  void TearDown() override { test::ResetQueue(); }

  test::TStepClock Clock{1000};
  TClockScope ClockScope{Clock};
};

// Records the clock at each tick of one or more timers.
struct TTicks {
  std::vector<std::pair<TObject*, UInt64>> Got;
  test::TStepClock* Clock = nullptr;
  void Tick(TObject* Sender) { Got.push_back({Sender, Clock->Ticks()}); }
};

TEST_F(TimersTest, ALateTimerTicksOnceAndCountsOnFromTheDelivery) {
  TTimer Timer(nullptr);
  TTicks Ticks{{}, &Clock};
  Timer.SetInterval(100);
  Timer.SetOnTimer(TNotifyEvent(&Ticks, &TTicks::Tick));

  Clock.Advance(1000);
  ProcessMessages();
  ASSERT_EQ(Ticks.Got.size(), 1u);
  EXPECT_EQ(Ticks.Got[0].second, 2000u);

  Clock.Advance(99);
  ProcessMessages();
  EXPECT_EQ(Ticks.Got.size(), 1u);
  Clock.Advance(1);
  ProcessMessages();
  EXPECT_EQ(Ticks.Got.size(), 2u);
}

TEST_F(TimersTest, AdvanceTimeFiresEveryDueTickInTimeOrder) {
  TTimer Fast(nullptr), Slow(nullptr);
  TTicks Ticks{{}, &Clock};
  Fast.SetInterval(30);
  Slow.SetInterval(70);
  Fast.SetOnTimer(TNotifyEvent(&Ticks, &TTicks::Tick));
  Slow.SetOnTimer(TNotifyEvent(&Ticks, &TTicks::Tick));

  test::AdvanceTime(150);
  const std::vector<std::pair<TObject*, UInt64>> Expected{
      {&Fast, 1030}, {&Fast, 1060}, {&Slow, 1070}, {&Fast, 1090}, {&Fast, 1120}, {&Slow, 1140}, {&Fast, 1150}};
  EXPECT_EQ(Ticks.Got, Expected);
  EXPECT_EQ(Clock.Ticks(), 1150u);
}

TEST_F(TimersTest, ChangingAPropertyRestartsTheCountdown) {
  struct Case {
    const char* Name;
    void (*Change)(TTimer& Timer, TTicks& Ticks);
  };
  const Case Cases[] = {
      {"Enabled off and on", [](TTimer& T, TTicks&) { T.SetEnabled(false); T.SetEnabled(true); }},
      {"Interval", [](TTimer& T, TTicks&) { T.SetInterval(100); T.SetInterval(101); T.SetInterval(100); }},
      {"OnTimer", [](TTimer& T, TTicks& Ticks) { T.SetOnTimer(TNotifyEvent(&Ticks, &TTicks::Tick)); }},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    test::ResetQueue();
    TTimer Timer(nullptr);
    TTicks Ticks{{}, &Clock};
    Timer.SetInterval(100);
    Timer.SetOnTimer(TNotifyEvent(&Ticks, &TTicks::Tick));
    const UInt64 Start = Clock.Ticks();
    test::AdvanceTime(50);
    C.Change(Timer, Ticks);
    test::AdvanceTime(99);
    EXPECT_TRUE(Ticks.Got.empty());
    test::AdvanceTime(1);
    ASSERT_EQ(Ticks.Got.size(), 1u);
    EXPECT_EQ(Ticks.Got[0].second, Start + 150);
  }
}

TEST_F(TimersTest, NoTicksWithoutIntervalEnabledOrHandler) {
  TTicks Ticks{{}, &Clock};
  TTimer NoInterval(nullptr), Disabled(nullptr), NoHandler(nullptr);
  NoInterval.SetOnTimer(TNotifyEvent(&Ticks, &TTicks::Tick));
  NoInterval.SetInterval(0);
  Disabled.SetOnTimer(TNotifyEvent(&Ticks, &TTicks::Tick));
  Disabled.SetEnabled(false);
  NoHandler.SetInterval(1);
  test::AdvanceTime(3000);
  EXPECT_TRUE(Ticks.Got.empty());
}

TEST_F(TimersTest, OneMillisecondTimerTicksEveryMillisecond) {
  TTimer Timer(nullptr);
  TTicks Ticks{{}, &Clock};
  Timer.SetInterval(1);
  Timer.SetOnTimer(TNotifyEvent(&Ticks, &TTicks::Tick));
  test::AdvanceTime(5);
  EXPECT_EQ(Ticks.Got.size(), 5u);
}

TEST_F(TimersTest, ATimerFreedInsideItsOwnTickStopsCleanly) {
  auto* Timer = new TTimer(nullptr);
  int Count = 0;
  Timer->SetInterval(10);
  Timer->SetOnTimer([&](TObject* Sender) {
    ++Count;
    static_cast<TTimer*>(Sender)->Free();
  });
  test::AdvanceTime(100);
  EXPECT_EQ(Count, 1);
}

TEST_F(TimersTest, AnOwnedTimerGoesWithItsOwner) {
  auto* Owner = new TComponent(nullptr);
  auto* Timer = new TTimer(Owner);
  int Count = 0;
  Timer->SetInterval(10);
  Timer->SetOnTimer([&](TObject*) { ++Count; });
  test::AdvanceTime(10);
  Owner->Free();
  test::AdvanceTime(100);
  EXPECT_EQ(Count, 1);
}

TEST_F(TimersTest, AnExceptionFromATickGoesToTheBoundaryAndTheTimerRunsOn) {
  std::vector<String> Reported;
  auto Previous = SetExceptionHandler([&](std::exception_ptr E) { Reported.push_back(ExceptionMessage(E)); });
  TTimer Timer(nullptr);
  int Count = 0;
  Timer.SetInterval(10);
  Timer.SetOnTimer([&](TObject*) {
    ++Count;
    throw Exception("tick failed");
  });
  test::AdvanceTime(20);
  SetExceptionHandler(Previous);
  EXPECT_EQ(Count, 2);
  EXPECT_EQ(Reported, (std::vector<String>{"tick failed", "tick failed"}));
}

TEST(StepClockTest, EveryReadStepsTheTicksAndTheTime) {
  test::TStepClock Clock(500, 10, EncodeDate(2024, 1, 2));
  EXPECT_EQ(Clock.TickCount64(), 500u);
  EXPECT_EQ(Clock.TickCount64(), 510u);
  EXPECT_EQ(Clock.Ticks(), 520u);
  EXPECT_DOUBLE_EQ(Clock.Now(), EncodeDate(2024, 1, 2) + 20.0 / MSecsPerDay);
  Clock.SetStep(0);
  Clock.Advance(5);
  EXPECT_EQ(Clock.TickCount64(), 535u);
  EXPECT_EQ(Clock.TickCount64(), 535u);

  // A loop waiting on the clock ends.
  TClockScope Scope(Clock);
  Clock.SetStep(1);
  const Cardinal Start = GetTickCount();
  while (GetTickCount() - Start < 50) {
  }
  EXPECT_GE(Clock.Ticks(), 585u);
}

}  // namespace
