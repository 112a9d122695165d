#include "platform/rtl/datetime.h"

#include "platform/rtl/clock.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/formatsettings.h"
#include "tests/support/testing.h"

#include <cmath>
#include <limits>

namespace {

struct TParts {
  Word Year, Month, Day, Hour, Minute, Second, MSec;
  bool operator==(const TParts&) const = default;
};

std::ostream& operator<<(std::ostream& Os, const TParts& P) {
  return Os << P.Year << '-' << P.Month << '-' << P.Day << ' ' << P.Hour << ':' << P.Minute
            << ':' << P.Second << '.' << P.MSec;
}

TParts decoded(TDateTime Value) {
  TParts P;
  DecodeDateTime(Value, P.Year, P.Month, P.Day, P.Hour, P.Minute, P.Second, P.MSec);
  return P;
}

// 2024-05-19 is a Sunday, serial 45431.
const TDateTime May19 = 45431;

// A fixed "today" and the invariant settings for every test.
class DateTimeTest : public ::testing::Test {
protected:
  TManualClock FClock{EncodeDateTime(2024, 5, 19, 10, 0, 0, 0)};
  TClockScope FClockScope{FClock};
  TFormatSettings Invariant = TFormatSettings::Invariant();

  static TFormatSettings russian() {
    TFormatSettings S = TFormatSettings::Invariant();
    S.DateSeparator = u'.';
    S.ShortDateFormat = QStringLiteral("dd.mm.yyyy");
    S.LongTimeFormat = QStringLiteral("h:nn:ss");
    S.DecimalSeparator = u',';
    return S;
  }

  static TFormatSettings isoDates() {
    TFormatSettings S = TFormatSettings::Invariant();
    S.DateSeparator = u'-';
    S.ShortDateFormat = QStringLiteral("yyyy-mm-dd");
    return S;
  }
};

// ---- calendar, encoding, decoding ----

TEST_F(DateTimeTest, EncodeDateGivesTheSerialDay) {
  struct Case {
    const char* Name;
    Word Year, Month, Day;
    TDateTime Expected;
  } Cases[] = {
      {"epoch", 1899, 12, 30, 0},
      {"first of 1900", 1900, 1, 1, 2},
      {"Sunday in May", 2024, 5, 19, 45431},
      {"leap day", 2024, 2, 29, 45351},
      {"400-year leap day", 2000, 2, 29, 36585},
      {"year 1", 1, 1, 1, -693593},
      {"minimum", 100, 1, 1, MinDateTime},
      {"last day", 9999, 12, 31, 2958465},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(EncodeDate(C.Year, C.Month, C.Day), C.Expected);
  }
  EXPECT_EQ(EncodeDateTime(9999, 12, 31, 23, 59, 59, 999), 2958465 + 86399999.0 / MSecsPerDay);
  EXPECT_EQ(decoded(MaxDateTime), (TParts{9999, 12, 31, 23, 59, 59, 999}));
}

TEST_F(DateTimeTest, InvalidPartsRaiseTheEncodeErrors) {
  struct Case {
    const char* Name;
    Word Year, Month, Day;
  } BadDates[] = {
      {"no 29 Feb in 2023", 2023, 2, 29}, {"no 29 Feb in 1900", 1900, 2, 29},
      {"year 0", 0, 1, 1},                {"year 10000", 10000, 1, 1},
      {"month 0", 2024, 0, 1},            {"month 13", 2024, 13, 1},
      {"31 April", 2024, 4, 31},          {"day 0", 2024, 1, 0},
  };
  for (const Case& C : BadDates) {
    SCOPED_TRACE(C.Name);
    TDateTime Unused;
    EXPECT_FALSE(TryEncodeDate(C.Year, C.Month, C.Day, Unused));
    EXPECT_RAISES(EncodeDate(C.Year, C.Month, C.Day), EConvertError,
                  "Invalid argument to date encode");
  }
  struct TimeCase {
    Word Hour, Minute, Second, MSec;
  } BadTimes[] = {{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}};
  for (const TimeCase& C : BadTimes) {
    SCOPED_TRACE(testing::Message() << C.Hour << ':' << C.Minute << ':' << C.Second << '.' << C.MSec);
    TDateTime Unused;
    EXPECT_FALSE(TryEncodeTime(C.Hour, C.Minute, C.Second, C.MSec, Unused));
    EXPECT_RAISES(EncodeTime(C.Hour, C.Minute, C.Second, C.MSec), EConvertError,
                  "Invalid argument to time encode");
  }
  EXPECT_EQ(EncodeTime(23, 59, 59, 999), 86399999.0 / MSecsPerDay);
  EXPECT_RAISES(EncodeDateTime(2023, 2, 29, 0, 0, 0, 0), EConvertError,
                "Invalid argument to date encode");
  EXPECT_RAISES(EncodeDateTime(2023, 2, 28, 24, 0, 0, 0), EConvertError,
                "Invalid argument to time encode");
}

TEST_F(DateTimeTest, DecodeReadsNegativeValuesAsDayAndAbsoluteTime) {
  struct Case {
    const char* Name;
    TDateTime Value;
    TParts Expected;
  } Cases[] = {
      {"-1.25 is 06:00 the day before the epoch", -1.25, {1899, 12, 29, 6, 0, 0, 0}},
      {"-0.5 is noon on the epoch day", -0.5, {1899, 12, 30, 12, 0, 0, 0}},
      {"epoch", 0, {1899, 12, 30, 0, 0, 0, 0}},
      {"Monday 1900-01-01", 2.0, {1900, 1, 1, 0, 0, 0, 0}},
      {"minimum", MinDateTime, {100, 1, 1, 0, 0, 0, 0}},
      {"half a millisecond short of midnight rounds into the next day",
       May19 + 86399999.6 / MSecsPerDay, {2024, 5, 20, 0, 0, 0, 0}},
      {"just under half a millisecond short stays", May19 + 86399999.4 / MSecsPerDay,
       {2024, 5, 19, 23, 59, 59, 999}},
      {"before year 1 decodes as zeros", EncodeDate(1, 1, 1) - 1, {0, 0, 0, 0, 0, 0, 0}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(decoded(C.Value), C.Expected);
  }
  EXPECT_RAISES(decoded(std::numeric_limits<double>::quiet_NaN()), EInvalidOp,
                "Invalid floating point operation");
  EXPECT_RAISES(decoded(1e12), EInvalidOp, "Invalid floating point operation");
}

// Every day of the calendar follows the one before it; catches slips at the
// 4-, 100- and 400-year boundaries.
TEST_F(DateTimeTest, EveryDayFromYear1To9999FollowsThePreviousOne) {
  const Integer First = static_cast<Integer>(EncodeDate(1, 1, 1));
  const Integer Last = static_cast<Integer>(EncodeDate(9999, 12, 31));
  Word Y = 1, M = 1, D = 1;
  for (Integer Serial = First; Serial <= Last; ++Serial) {
    Word DY, DM, DD;
    DecodeDate(Serial, DY, DM, DD);
    if (DY != Y || DM != M || DD != D) {
      FAIL() << "serial " << Serial << " decodes as " << DY << '-' << DM << '-' << DD
             << ", expected " << Y << '-' << M << '-' << D;
    }
    if (++D > DaysInAMonth(Y, M)) {
      D = 1;
      if (++M > 12) M = 1, ++Y;
    }
  }
  EXPECT_EQ(Y, 10000);
}

TEST_F(DateTimeTest, LeapYearsAndMonthLengths) {
  EXPECT_TRUE(IsLeapYear(2024));
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_FALSE(IsLeapYear(2023));
  EXPECT_EQ(DaysInAMonth(2024, 2), 29);
  EXPECT_EQ(DaysInAMonth(1900, 2), 28);
  EXPECT_EQ(DaysInAMonth(2023, 12), 31);
  EXPECT_EQ(DaysInAYear(2024), 366);
  EXPECT_EQ(DaysInAYear(2100), 365);
}

TEST_F(DateTimeTest, RecodeAndReplaceTimeKeepTheDaysSide) {
  const TDateTime Noon = May19 + 0.5;
  EXPECT_EQ(RecodeTime(Noon, 8, RecodeLeaveFieldAsIs, RecodeLeaveFieldAsIs, RecodeLeaveFieldAsIs),
            May19 + EncodeTime(8, 0, 0, 0));
  EXPECT_EQ(RecodeTime(Noon, RecodeLeaveFieldAsIs, 30, 15, 0), May19 + EncodeTime(12, 30, 15, 0));
  EXPECT_EQ(RecodeTime(-1.25, 18, 0, 0, 0), -1.75);
  EXPECT_RAISES(RecodeTime(Noon, 24, 0, 0, 0), EConvertError, "Invalid argument to time encode");

  TDateTime Value = -1.25;
  ReplaceTime(Value, 45000.75);
  EXPECT_EQ(Value, -1.75);
  Value = May19 + 0.1;
  ReplaceTime(Value, -3.25);
  EXPECT_EQ(Value, May19 + 0.25);

  EXPECT_EQ(DateOf(May19 + 0.75), May19);
  EXPECT_EQ(DateOf(-1.25), -1.0);
  EXPECT_EQ(TimeOf(-1.25), 0.25);
}

TEST_F(DateTimeTest, TimeStampsCountFromYear1) {
  const TTimeStamp Epoch = DateTimeToTimeStamp(0);
  EXPECT_EQ(Epoch.Date, DateDelta);
  EXPECT_EQ(Epoch.Time, 0);
  const TTimeStamp BeforeEpoch = DateTimeToTimeStamp(-1.25);
  EXPECT_EQ(BeforeEpoch.Date, DateDelta - 1);
  EXPECT_EQ(BeforeEpoch.Time, 6 * 3600 * 1000);
  EXPECT_EQ(DateTimeToTimeStamp(EncodeDate(1, 1, 1)).Date, 1);

  for (TDateTime V : {-1.25, 0.0, May19 + EncodeTime(14, 5, 9, 250), MinDateTime}) {
    SCOPED_TRACE(V);
    EXPECT_EQ(TimeStampToDateTime(DateTimeToTimeStamp(V)), V);
  }
  EXPECT_RAISES(TimeStampToDateTime(TTimeStamp{5, 0}), EConvertError,
                "'0.5' is not a valid timestamp");
  EXPECT_RAISES(TimeStampToDateTime(TTimeStamp{-1, 10}), EConvertError,
                "'10.-1' is not a valid timestamp");
  EXPECT_RAISES(TimeStampToDateTime(TTimeStamp{MSecsPerDay, 10}), EConvertError,
                "'10.86400000' is not a valid timestamp");
}

// ---- parts and weeks ----

TEST_F(DateTimeTest, PartsOfAValue) {
  const TDateTime V = EncodeDateTime(2024, 5, 19, 14, 5, 9, 250);
  EXPECT_EQ(YearOf(V), 2024);
  EXPECT_EQ(MonthOf(V), 5);
  EXPECT_EQ(DayOf(V), 19);
  EXPECT_EQ(HourOf(V), 14);
  EXPECT_EQ(MinuteOf(V), 5);
  EXPECT_EQ(SecondOf(V), 9);
  EXPECT_EQ(MilliSecondOf(V), 250);
}

TEST_F(DateTimeTest, DaysOfTheWeek) {
  struct Case {
    const char* Name;
    TDateTime Value;
    Word DayOfWeek, DayOfTheWeek;
    TDateTime StartOfTheWeek;
  } Cases[] = {
      {"epoch is a Saturday", 0, 7, 6, -5},
      {"1900-01-01 is a Monday", 2, 2, 1, 2},
      {"Sunday evening", May19 + 0.75, 1, 7, 45425},
      {"Monday", 45425, 2, 1, 45425},
      {"Friday before the epoch", -1.25, 6, 5, -5},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(DayOfWeek(C.Value), C.DayOfWeek);
    EXPECT_EQ(DayOfTheWeek(C.Value), C.DayOfTheWeek);
    EXPECT_EQ(StartOfTheWeek(C.Value), C.StartOfTheWeek);
  }
}

TEST_F(DateTimeTest, IsoWeekOfTheYear) {
  struct Case {
    Word Year, Month, Day, Week;
  } Cases[] = {
      {2021, 1, 3, 53},   // Sunday: the week of Thursday 2020-12-31
      {2021, 1, 4, 1},    // the Monday after
      {2020, 12, 31, 53},
      {2024, 12, 30, 1},  // a Monday in week 1 of 2025
      {2024, 5, 19, 20},
      {2026, 1, 1, 1},    // a Thursday
      {2027, 1, 1, 53},   // a Friday: week 53 of 2026
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.Year << '-' << C.Month << '-' << C.Day);
    EXPECT_EQ(WeekOfTheYear(EncodeDate(C.Year, C.Month, C.Day) + 0.5), C.Week);
  }
}

// ---- arithmetic ----

TEST_F(DateTimeTest, IncMonthClampsTheDayAndKeepsTheTime) {
  struct Case {
    const char* Name;
    TDateTime From;
    Integer Months;
    TDateTime Expected;
  } Cases[] = {
      {"31 March back to 29 February", EncodeDate(2024, 3, 31), -1, EncodeDate(2024, 2, 29)},
      {"31 January on to 29 February", EncodeDate(2024, 1, 31), 1, EncodeDate(2024, 2, 29)},
      {"non-leap February", EncodeDate(2023, 1, 31), 1, EncodeDate(2023, 2, 28)},
      {"back over the year", EncodeDate(2024, 5, 19), -5, EncodeDate(2023, 12, 19)},
      {"on over the year", EncodeDate(2024, 12, 15), 1, EncodeDate(2025, 1, 15)},
      {"whole years back", EncodeDate(2024, 5, 19), -24, EncodeDate(2022, 5, 19)},
      {"time kept", EncodeDateTime(2024, 1, 31, 18, 0, 0, 0), 1,
       EncodeDateTime(2024, 2, 29, 18, 0, 0, 0)},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(IncMonth(C.From, C.Months), C.Expected);
  }
  EXPECT_EQ(IncYear(EncodeDate(2024, 2, 29)), EncodeDate(2025, 2, 28));
  EXPECT_EQ(IncYear(EncodeDate(2024, 2, 29), -4), EncodeDate(2020, 2, 29));
  EXPECT_RAISES(IncMonth(EncodeDate(9999, 12, 1)), EConvertError, "Invalid argument to date encode");
  EXPECT_RAISES(IncYear(EncodeDate(1, 6, 1), -1), EConvertError, "Invalid argument to date encode");
}

TEST_F(DateTimeTest, IncrementsCrossTheEpochOnTheTimeLine) {
  EXPECT_EQ(IncHour(-1.25, 24), 0.25);
  EXPECT_EQ(IncDay(-0.25), 1.25);
  EXPECT_EQ(decoded(IncDay(-1.25)), (TParts{1899, 12, 30, 6, 0, 0, 0}));
  EXPECT_EQ(decoded(IncDay(0.25, -1)), (TParts{1899, 12, 29, 6, 0, 0, 0}));
  EXPECT_EQ(decoded(IncMinute(May19, -1)), (TParts{2024, 5, 18, 23, 59, 0, 0}));
  EXPECT_EQ(decoded(IncSecond(May19, 86400 + 61)), (TParts{2024, 5, 20, 0, 1, 1, 0}));
  EXPECT_EQ(decoded(IncMilliSecond(May19 - 1, -1)), (TParts{2024, 5, 17, 23, 59, 59, 999}));
  EXPECT_EQ(IncDay(May19 + 0.5, 10), May19 + 10.5);
}

TEST_F(DateTimeTest, DaysBetweenCountsWholeDays) {
  EXPECT_EQ(DaysBetween(45431.0, 45430.999), 0);
  EXPECT_EQ(DaysBetween(45430.999, 45431.0), 0);
  EXPECT_EQ(DaysBetween(45431.0, 45430.0), 1);
  EXPECT_EQ(DaysBetween(45430.0, 45431.5), 1);
  EXPECT_EQ(DaysBetween(45430.0, 45432.0 - 1.0 / MSecsPerDay), 1);
  // The same time of day on adjacent days, either side of the sign change.
  EXPECT_EQ(DaysBetween(-1.25, 0.25), 1);
}

// ---- formatting ----

TEST_F(DateTimeTest, FormatDateTimeTokens) {
  const TDateTime At1405 = EncodeDateTime(2024, 5, 19, 14, 5, 9, 0);
  const TDateTime At1437 = EncodeDateTime(2024, 5, 19, 14, 37, 9, 0);
  const TDateTime At1405z = EncodeDateTime(2024, 5, 19, 14, 5, 9, 7);
  const TDateTime At0030 = EncodeDateTime(2024, 5, 19, 0, 30, 0, 0);
  const TDateTime At1300 = EncodeDateTime(2024, 5, 19, 13, 0, 0, 0);
  const TDateTime Noon = EncodeDateTime(2024, 5, 19, 12, 0, 0, 0);
  struct Case {
    const char* Format;
    TDateTime Value;
    const char* Expected;
  } Cases[] = {
      {"yyyy-mm-dd", At1405, "2024-05-19"},
      {"d/m/yy", EncodeDate(2009, 1, 2), "2/1/09"},
      {"y", EncodeDate(2009, 1, 2), "09"},
      {"hh:mm", At1437, "14:37"},
      {"hh mm", At1437, "14 37"},
      {"hh:nn mm", At1437, "14:37 05"},  // the m after n is a month again
      {"mm:hh", At1437, "05:14"},
      {"h AMPM", At1300, "1 PM"},
      {"h ampm", At0030, "12 AM"},
      {"h:nn am/pm", At0030, "12:30 am"},
      {"hh AM/PM", Noon, "12 PM"},
      {"h a/p", EncodeTime(23, 0, 0, 0), "11 p"},
      {"h A/P", EncodeTime(23, 0, 0, 0), "11 P"},
      {"am/pm h", At1300, "pm 1"},
      {"h 'am/pm' hh", At1300, "13 am/pm 13"},
      {"h ax am/pm", At1300, "13 ax pm"},  // the first 'a' ends the look-ahead
      {"hh", At1300, "13"},
      {"ddd dddd mmm mmmm", At1405, "Sun Sunday May May"},
      {"mmm", EncodeDate(2024, 9, 1), "Sep"},
      {"mmmm", EncodeDate(2024, 9, 1), "September"},
      {"s ss z zzz", At1405z, "9 09 7 007"},
      {"h:n:s", EncodeTime(1, 2, 3, 0), "1:2:3"},
      {"c", May19, "05/19/2024"},
      {"c", At1405z, "05/19/2024 14:05:09"},
      {"c", EncodeDateTime(2024, 5, 19, 0, 0, 0, 500), "05/19/2024"},
      {"", At1405, "05/19/2024 14:05:09"},
      {"ddddd", At1405, "05/19/2024"},
      {"dddddd", At1405, "Sunday, May 19, 2024"},
      {"t|tt", At1405, "14:05|14:05:09"},
      {R"(yyyy"-"mm"-"dd"T"hh":"nn":"ss"."zzz)", At1405, "2024-05-19T14:05:09.000"},
      {"'d' \"m\" d", At1405, "d m 19"},
      {"dd 'unclosed", At1405, "19 unclosed"},
      {"yyyy!#", At1405, "2024!#"},
      {"yyyy-mm-dd hh:nn", -1.25, "1899-12-29 06:00"},
      {"yyyy-mm-dd hh:nn:ss.zzz", May19 + 86399999.6 / MSecsPerDay, "2024-05-20 00:00:00.000"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Format);
    EXPECT_EQ(FormatDateTime(QString::fromUtf8(C.Format), C.Value, Invariant),
              QString::fromUtf8(C.Expected));
  }
}

TEST_F(DateTimeTest, FormatDateTimeReadsSeparatorsAndFormatsFromTheSettings) {
  const TDateTime V = EncodeDateTime(2024, 5, 19, 14, 5, 9, 0);
  TFormatSettings S = Invariant;
  S.DateSeparator = u'-';
  S.TimeSeparator = u'.';
  EXPECT_EQ(FormatDateTime(QStringLiteral("dd/mm hh:nn"), V, S), QStringLiteral("19-05 14.05"));

  // A settings format that names a format expands one level deep only.
  S.ShortDateFormat = QStringLiteral("dd ddddd|c");
  EXPECT_EQ(FormatDateTime(QStringLiteral("ddddd"), DateOf(V), S), QStringLiteral("19 |"));
  S.LongTimeFormat = QStringLiteral("hh tt");
  EXPECT_EQ(FormatDateTime(QStringLiteral("tt"), V, S), QStringLiteral("14 "));

  {
    TFormatSettingsScope Scope;
    FormatSettings().DateSeparator = u'.';
    EXPECT_EQ(FormatDateTime(QStringLiteral("dd/mm"), V), QStringLiteral("19.05"));
    String Result;
    DateTimeToString(Result, QStringLiteral("yyyy/mm"), V);
    EXPECT_EQ(Result, QStringLiteral("2024.05"));
  }
}

TEST_F(DateTimeTest, ToStrUsesShortDateAndLongTime) {
  const TFormatSettings Ru = russian();
  const TDateTime V = EncodeDateTime(2024, 5, 9, 7, 5, 3, 0);
  EXPECT_EQ(DateToStr(V, Ru), QStringLiteral("09.05.2024"));
  EXPECT_EQ(TimeToStr(V, Ru), QStringLiteral("7:05:03"));
  EXPECT_EQ(DateTimeToStr(V, Ru), QStringLiteral("09.05.2024 7:05:03"));
  EXPECT_EQ(DateTimeToStr(DateOf(V), Ru), QStringLiteral("09.05.2024"));
  EXPECT_EQ(DateTimeToStr(V), QStringLiteral("05/09/2024 07:05:03"));
  EXPECT_EQ(DateToStr(V), QStringLiteral("05/09/2024"));
  EXPECT_EQ(TimeToStr(V), QStringLiteral("07:05:03"));
}

// ---- parsing ----

TEST_F(DateTimeTest, StrToDateFollowsTheShortDateOrder) {
  struct Case {
    const char* Name;
    TFormatSettings Settings;
    const char* Text;
    TDateTime Expected;  // 0: the text is not a date
  } Cases[] = {
      {"ISO, short parts", isoDates(), "2024-5-9", EncodeDate(2024, 5, 9)},
      {"ISO, blanks around parts", isoDates(), " 2024 - 05 - 19 ", May19},
      {"ISO, trailing separator", isoDates(), "2024-05-19-", May19},
      {"ISO, no year", isoDates(), "05-19", May19},
      {"ISO, wrong separator", isoDates(), "19.05.2024", 0},
      {"ISO, no 30 February", isoDates(), "2024-02-30", 0},
      {"ISO, trailing text", isoDates(), "2024-05-19x", 0},
      {"ISO, five-digit year", isoDates(), "12345-01-01", 0},
      {"ISO, one part", isoDates(), "2024", 0},
      {"ISO, empty", isoDates(), "", 0},
      {"ISO, sign", isoDates(), "-2024-05-19", 0},
      {"Russian", russian(), "19.05.2024", May19},
      {"Russian, two-digit year", russian(), "19.5.24", May19},
      {"Russian, no year", russian(), "19.05", May19},
      {"Russian, month 19", russian(), "05.19.2024", 0},
      {"invariant, month first", TFormatSettings::Invariant(), "05/19/2024", May19},
      {"invariant, day first fails", TFormatSettings::Invariant(), "19/05/2024", 0},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const String Text = QString::fromUtf8(C.Text);
    TDateTime Value = -1;
    EXPECT_EQ(TryStrToDate(Text, Value, C.Settings), C.Expected != 0);
    if (C.Expected != 0) {
      EXPECT_EQ(Value, C.Expected);
      EXPECT_EQ(StrToDate(Text, C.Settings), C.Expected);
    } else {
      EXPECT_RAISES(StrToDate(Text, C.Settings), EConvertError,
                    u'\'' + Text + QStringLiteral("' is not a valid date"));
      EXPECT_EQ(StrToDateDef(Text, 7, C.Settings), 7.0);
    }
  }
}

TEST_F(DateTimeTest, TwoDigitYearsFallInTheCenturyWindow) {
  struct Case {
    const char* Name;
    Word CurrentYear;
    Word Window;
    const char* Text;
    Word Year;
  } Cases[] = {
      {"window start", 2024, 50, "1/1/74", 1974},
      {"just before the window", 2024, 50, "1/1/73", 2073},
      {"00", 2024, 50, "1/1/00", 2000},
      {"99", 2024, 50, "1/1/99", 1999},
      {"current year", 2024, 50, "1/1/24", 2024},
      {"window 0 is the current century", 2024, 0, "1/1/99", 2099},
      {"window 0, low", 2024, 0, "1/1/05", 2005},
      {"late century", 2075, 50, "1/1/24", 2124},
      {"late century, window start", 2075, 50, "1/1/25", 2025},
      {"three digits are taken as written", 2024, 50, "1/1/024", 24},
      {"one digit is windowed", 2024, 50, "1/1/5", 2005},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    FClock.SetNow(EncodeDate(C.CurrentYear, 6, 1));
    TFormatSettings S = Invariant;
    S.TwoDigitYearCenturyWindow = C.Window;
    EXPECT_EQ(YearOf(StrToDate(QString::fromUtf8(C.Text), S)), C.Year);
  }
}

TEST_F(DateTimeTest, StrToTimeReadsHoursMinutesSecondsAndAmPm) {
  struct Case {
    const char* Text;
    Word Hour, Minute, Second, MSec;
    bool Valid;
  } Cases[] = {
      {"14:05", 14, 5, 0, 0, true},
      {"14:05:09.250", 14, 5, 9, 250, true},
      {"14:05:09.5", 14, 5, 9, 5, true},  // the digits are a count of milliseconds
      {"7", 7, 0, 0, 0, true},
      {" 7 : 05 ", 7, 5, 0, 0, true},
      {"2:05 PM", 14, 5, 0, 0, true},
      {"2:05 pm", 14, 5, 0, 0, true},
      {"PM 2:05", 14, 5, 0, 0, true},
      {"12:00 AM", 0, 0, 0, 0, true},
      {"12 PM", 12, 0, 0, 0, true},
      {"11:59:59 PM", 23, 59, 59, 0, true},
      {"13:00 PM", 0, 0, 0, 0, false},
      {"0:30 AM", 0, 0, 0, 0, false},
      {"24:00", 0, 0, 0, 0, false},
      {"14:60", 0, 0, 0, 0, false},
      {"14:", 0, 0, 0, 0, false},
      {"14:05 x", 0, 0, 0, 0, false},
      {"", 0, 0, 0, 0, false},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Text);
    const String Text = QString::fromUtf8(C.Text);
    if (C.Valid) {
      EXPECT_EQ(StrToTime(Text, Invariant), EncodeTime(C.Hour, C.Minute, C.Second, C.MSec));
    } else {
      EXPECT_RAISES(StrToTime(Text, Invariant), EConvertError,
                    u'\'' + Text + QStringLiteral("' is not a valid time"));
      EXPECT_EQ(StrToTimeDef(Text, 0.5, Invariant), 0.5);
    }
  }
  // The millisecond part follows the decimal separator.
  EXPECT_EQ(StrToTime(QStringLiteral("14:05:09,250"), russian()), EncodeTime(14, 5, 9, 250));
}

TEST_F(DateTimeTest, StrToDateTimeTakesADateAnOptionalTimeOrATimeAlone) {
  const TFormatSettings Iso = isoDates();
  EXPECT_EQ(StrToDateTime(QStringLiteral("2024-05-19 14:05:09"), Iso),
            EncodeDateTime(2024, 5, 19, 14, 5, 9, 0));
  EXPECT_EQ(StrToDateTime(QStringLiteral("2024-05-19 2:05 PM"), Iso),
            EncodeDateTime(2024, 5, 19, 14, 5, 0, 0));
  EXPECT_EQ(StrToDateTime(QStringLiteral("2024-05-19"), Iso), May19);
  EXPECT_EQ(StrToDateTime(QStringLiteral("14:05"), Iso), EncodeTime(14, 5, 0, 0));
  EXPECT_EQ(StrToDateTime(QStringLiteral("1899-12-29 06:00"), Iso), -1.25);
  EXPECT_EQ(StrToDateTime(QStringLiteral("19.05.2024 7:05:03"), russian()),
            EncodeDateTime(2024, 5, 19, 7, 5, 3, 0));
  for (const char* Bad : {"2024-05-19 25:00", "2024-05-19 14:05 x", "2024-02-30 10:00", ""}) {
    SCOPED_TRACE(Bad);
    const String Text = QString::fromUtf8(Bad);
    EXPECT_RAISES(StrToDateTime(Text, Iso), EConvertError,
                  u'\'' + Text + QStringLiteral("' is not a valid date and time"));
    EXPECT_EQ(StrToDateTimeDef(Text, 3, Iso), 3.0);
  }
}

TEST_F(DateTimeTest, TextRoundTripsUnderEachSettings) {
  for (const TFormatSettings& S : {Invariant, russian(), isoDates()}) {
    SCOPED_TRACE(S.ShortDateFormat.toStdString());
    for (TDateTime V : {May19, EncodeDateTime(1999, 12, 31, 23, 59, 59, 0),
                        EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), EncodeDate(1, 1, 1)}) {
      EXPECT_EQ(StrToDateTime(DateTimeToStr(V, S), S), V);
    }
  }
}

TEST_F(DateTimeTest, GlobalOverloadsReadTheGlobalSettingsAndTheClock) {
  TFormatSettingsScope Scope;
  FormatSettings() = russian();
  EXPECT_EQ(StrToDate(QStringLiteral("19.05")), May19);
  FClock.SetNow(EncodeDate(2030, 1, 1));
  EXPECT_EQ(StrToDate(QStringLiteral("19.05")), EncodeDate(2030, 5, 19));
  TDateTime Value;
  EXPECT_TRUE(TryStrToDateTime(QStringLiteral("19.05.2024 10:00"), Value));
  EXPECT_EQ(Value, May19 + EncodeTime(10, 0, 0, 0));
  EXPECT_TRUE(TryStrToTime(QStringLiteral("10:00"), Value));
  EXPECT_EQ(StrToTime(QStringLiteral("10:00")), EncodeTime(10, 0, 0, 0));
  EXPECT_EQ(StrToDateDef(QStringLiteral("x"), 1), 1.0);
  EXPECT_EQ(StrToTimeDef(QStringLiteral("x"), 1), 1.0);
  EXPECT_EQ(StrToDateTimeDef(QStringLiteral("x"), 1), 1.0);
  EXPECT_RAISES(StrToDateTime(QStringLiteral("x")), EConvertError,
                "'x' is not a valid date and time");
  EXPECT_EQ(DateToStr(May19), QStringLiteral("19.05.2024"));
}

}  // namespace
