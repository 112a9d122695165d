#include "platform/rtl/clock.h"

#include "platform/rtl/datetime.h"
#include "tests/support/testing.h"

#include <QDate>

namespace {

// 2024-05-19 14:05:09.250
const TDateTime Sunday1405 = 45431.0 + (14 * 3600 + 5 * 60 + 9.25) / 86400;

TEST(ClockTest, NowDateAndTimeReadTheInstalledClock) {
  TManualClock Manual(Sunday1405);
  TClockScope Scope(Manual);
  EXPECT_EQ(Now(), Sunday1405);
  EXPECT_EQ(Date(), 45431.0);
  EXPECT_DOUBLE_EQ(Time(), Sunday1405 - 45431.0);
  Manual.SetNow(2.5);
  EXPECT_EQ(Date(), 2.0);
}

TEST(ClockTest, AdvanceMovesDateTimeAndTicksTogether) {
  TManualClock Manual(EncodeDateTime(2024, 12, 31, 23, 59, 59, 900), 1000);
  TClockScope Scope(Manual);
  Manual.Advance(200);
  EXPECT_EQ(GetTickCount(), 1200u);
  EXPECT_EQ(FormatDateTime(QStringLiteral("yyyy-mm-dd hh:nn:ss.zzz"), Now()),
            QStringLiteral("2025-01-01 00:00:00.100"));
  Manual.Advance(UInt64(3) * MSecsPerDay);
  EXPECT_EQ(DateOf(Now()), EncodeDate(2025, 1, 4));
}

TEST(ClockTest, TickCountWrapsAt32BitsWhileTheWideCountGoesOn) {
  TManualClock Manual(0, 0xFFFFFFF0u);
  TClockScope Scope(Manual);
  const Cardinal Start = GetTickCount();
  Manual.Advance(0x20);
  EXPECT_EQ(GetTickCount(), 0x10u);
  EXPECT_EQ(Cardinal(GetTickCount() - Start), 0x20u);
  EXPECT_EQ(GetTickCount64(), UInt64(0x100000010));
}

TEST(ClockTest, ScopeRestoresThePreviousClockAndNullMeansSystem) {
  TManualClock Outer(100), Inner(200);
  {
    TClockScope OuterScope(Outer);
    {
      TClockScope InnerScope(Inner);
      EXPECT_EQ(Now(), 200.0);
    }
    EXPECT_EQ(Now(), 100.0);
    SetClock(nullptr);
    EXPECT_GT(Now(), 40000.0);
  }
  EXPECT_GT(Now(), 40000.0);
}

TEST(ClockTest, SystemClockIsLocalWallTimeAndMonotonicTicks) {
  SetClock(nullptr);
  const TDateTime Before = Now();
  // The year alone: the wall clock may cross a second between the two reads.
  EXPECT_EQ(YearOf(Before), QDate::currentDate().year());
  const UInt64 T1 = GetTickCount64();
  EXPECT_GE(GetTickCount64(), T1);
}

}  // namespace
