// TDateTime: the calendar, encoding and decoding, arithmetic, and the
// conversions to and from text.
//
// A TDateTime is a double counting days since 1899-12-30 (0 is a Saturday,
// 2.0 the Monday 1900-01-01); the fraction is the time of day.  Before 1899-12-30
// the value is negative and the two parts are read apart: Trunc gives the day
// and |Frac| the time, so -1.25 is 1899-12-29 06:00.  The calendar is the
// proleptic Gregorian one from year 1.
//
// Decoding first rounds the value to the millisecond; a time that rounds up to
// midnight belongs to the next day (23:59:59.9996 decodes as 00:00:00.000 of
// the following date, never as 24:00 or 23:59:59.1000).
//
// Routines that read the format settings use the global FormatSettings(); each
// has an overload that takes the settings explicitly.
#pragma once

#include "platform/rtl/system.h"

struct TFormatSettings;

// units of time
inline constexpr Integer HoursPerDay = 24;
inline constexpr Integer MinsPerHour = 60;
inline constexpr Integer SecsPerMin = 60;
inline constexpr Integer MSecsPerSec = 1000;
inline constexpr Integer MinsPerDay = HoursPerDay * MinsPerHour;
inline constexpr Integer SecsPerDay = MinsPerDay * SecsPerMin;
inline constexpr Integer MSecsPerDay = SecsPerDay * MSecsPerSec;

// Days from 0001-01-01 to 1899-12-31: a time stamp's Date minus this is the
// TDateTime day.
inline constexpr Integer DateDelta = 693594;

// 0100-01-01 00:00 and 9999-12-31 23:59:59.999, the range that data-aware code
// accepts.
inline constexpr TDateTime MinDateTime = -657434.0;
inline constexpr TDateTime MaxDateTime = 2958465.99999999;

// Passed to RecodeTime for a field that keeps its value.
inline constexpr Word RecodeLeaveFieldAsIs = 0xFFFF;

// calendar
bool IsLeapYear(Word Year);
Word DaysInAYear(Word Year);
Word DaysInAMonth(Word Year, Word Month);  // Month 1..12

// encoding: years 1..9999, hours 0..23; invalid parts make Try* answer false
// and the others raise EConvertError "Invalid argument to date encode" or
// "Invalid argument to time encode"
bool TryEncodeDate(Word Year, Word Month, Word Day, TDateTime& Date);
TDateTime EncodeDate(Word Year, Word Month, Word Day);
bool TryEncodeTime(Word Hour, Word Min, Word Sec, Word MSec, TDateTime& Time);
TDateTime EncodeTime(Word Hour, Word Min, Word Sec, Word MSec);
// The time goes on the date's side of zero: a negative date gets date - time.
bool TryEncodeDateTime(Word Year, Word Month, Word Day, Word Hour, Word Minute, Word Second,
                       Word MilliSecond, TDateTime& Value);
TDateTime EncodeDateTime(Word Year, Word Month, Word Day, Word Hour, Word Minute, Word Second,
                         Word MilliSecond);

// decoding: a day before 0001-01-01 decodes as year, month and day 0; a NaN,
// an infinity or a value beyond about ±2e9 days raises EInvalidOp
void DecodeDate(TDateTime Date, Word& Year, Word& Month, Word& Day);
void DecodeTime(TDateTime Time, Word& Hour, Word& Min, Word& Sec, Word& MSec);
void DecodeDateTime(TDateTime Value, Word& Year, Word& Month, Word& Day, Word& Hour,
                    Word& Minute, Word& Second, Word& MilliSecond);

// Value with the given time fields; RecodeLeaveFieldAsIs keeps a field.
// Raises as EncodeDateTime does when a field is out of range.
TDateTime RecodeTime(TDateTime Value, Word Hour, Word Minute, Word Second, Word MilliSecond);
// Keeps DateTime's day and takes NewTime's time of day.
void ReplaceTime(TDateTime& DateTime, TDateTime NewTime);
TDateTime DateOf(TDateTime Value);  // Trunc: the day at 00:00
TDateTime TimeOf(TDateTime Value);  // |Frac|: the time of day without the day

// Time is milliseconds since midnight; Date is days since 0001-01-01 plus one.
struct TTimeStamp {
  Integer Time;
  Integer Date;
};
TTimeStamp DateTimeToTimeStamp(TDateTime DateTime);
// Raises EConvertError "'<Date>.<Time>' is not a valid timestamp" when Date
// is not positive or Time is outside one day.
TDateTime TimeStampToDateTime(const TTimeStamp& TimeStamp);

// A database time stamp by its parts; Fractions are milliseconds (0..999).
// The offset form adds the zone's offset from UTC; both parts carry the sign
// (-05:30 is TimeZoneHour -5, TimeZoneMinute -30).
struct TSQLTimeStamp {
  Word Year = 0;
  Word Month = 0;
  Word Day = 0;
  Word Hour = 0;
  Word Minute = 0;
  Word Second = 0;
  Cardinal Fractions = 0;
  bool operator==(const TSQLTimeStamp&) const = default;
};
struct TSQLTimeStampOffset : TSQLTimeStamp {
  SmallInt TimeZoneHour = 0;
  SmallInt TimeZoneMinute = 0;
  bool operator==(const TSQLTimeStampOffset&) const = default;
};
TSQLTimeStamp DateTimeToSQLTimeStamp(TDateTime DateTime);
// The local date and time the stamp reads (an offset is not applied).
// Raises as EncodeDateTime does for parts out of range.
TDateTime SQLTimeStampToDateTime(const TSQLTimeStamp& TimeStamp);

// parts
Word YearOf(TDateTime Value);
Word MonthOf(TDateTime Value);
Word DayOf(TDateTime Value);
Word HourOf(TDateTime Value);
Word MinuteOf(TDateTime Value);
Word SecondOf(TDateTime Value);
Word MilliSecondOf(TDateTime Value);
Word DayOfWeek(TDateTime Value);     // 1 = Sunday .. 7 = Saturday
Word DayOfTheWeek(TDateTime Value);  // 1 = Monday .. 7 = Sunday
TDateTime StartOfTheWeek(TDateTime Value);  // the Monday at 00:00
// The ISO 8601 week: week 1 holds the year's first Thursday, so early January
// can be week 52 or 53 of the year before.
Word WeekOfTheYear(TDateTime Value);

// arithmetic; Inc* keep the time of day, and a result outside years 1..9999
// raises as EncodeDate does (IncMonth, IncYear)
// The day is clamped to the target month: 31 March - 1 month is 29 February.
TDateTime IncMonth(TDateTime Value, Integer NumberOfMonths = 1);
TDateTime IncYear(TDateTime Value, Integer NumberOfYears = 1);
TDateTime IncDay(TDateTime Value, Integer NumberOfDays = 1);
// These count on the millisecond time line, so they cross 1899-12-30 (where
// the value changes sign) correctly; the result is rounded to the millisecond.
TDateTime IncHour(TDateTime Value, Int64 NumberOfHours = 1);
TDateTime IncMinute(TDateTime Value, Int64 NumberOfMinutes = 1);
TDateTime IncSecond(TDateTime Value, Int64 NumberOfSeconds = 1);
TDateTime IncMilliSecond(TDateTime Value, Int64 NumberOfMilliSeconds = 1);
// Whole days between the two moments, never negative.
Integer DaysBetween(TDateTime Now, TDateTime Then);

// Formatting.  Tokens (letters in any case; a run of one letter is one token):
//   c        ShortDateFormat, then " " and LongTimeFormat unless the time is 00:00:00
//   d dd     day, dd with a leading zero    ddd dddd   short and long day name
//   ddddd    ShortDateFormat                dddddd     LongDateFormat
//   m mm     month (minutes right after an h or hh token)
//   mmm mmmm short and long month name      yy yyyy    two- and four-digit year
//   h hh     hour   n nn  minute   s ss  second   z zzz  millisecond
//   t tt     ShortTimeFormat, LongTimeFormat
//   am/pm a/p  "am"/"pm" or "a"/"p" in the case written; ampm TimeAMString or
//            TimePMString; any of the three makes h and hh use the 12-hour clock
//   /  :     DateSeparator, TimeSeparator
//   '...' "..." literal text; every other character is copied.
// The formats that c, ddddd, dddddd, t and tt bring in are expanded one level
// deep.  An empty Format means "c".
String FormatDateTime(const String& Format, TDateTime DateTime);
String FormatDateTime(const String& Format, TDateTime DateTime, const TFormatSettings& Settings);
void DateTimeToString(String& Result, const String& Format, TDateTime DateTime);
void DateTimeToString(String& Result, const String& Format, TDateTime DateTime,
                      const TFormatSettings& Settings);
String DateToStr(TDateTime Date);  // ShortDateFormat
String DateToStr(TDateTime Date, const TFormatSettings& Settings);
String TimeToStr(TDateTime Time);  // LongTimeFormat
String TimeToStr(TDateTime Time, const TFormatSettings& Settings);
String DateTimeToStr(TDateTime DateTime);  // "c"
String DateTimeToStr(TDateTime DateTime, const TFormatSettings& Settings);

// Parsing.  A date is two or three numbers joined by DateSeparator, in the
// day/month/year order of ShortDateFormat; a missing year is the current one
// (from the clock), and a year of one or two digits falls in the
// TwoDigitYearCenturyWindow years before the current year or the ones after.
// A time is h[:n[:s[<DecimalSeparator>z]]] with TimeAMString/TimePMString (or
// AM/PM) before or after it.  Blanks may stand around each part; nothing else
// may follow.  Failures raise EConvertError "'<S>' is not a valid date"
// ("... time", "... date and time").
TDateTime StrToDate(const String& S);
TDateTime StrToDate(const String& S, const TFormatSettings& Settings);
bool TryStrToDate(const String& S, TDateTime& Value);
bool TryStrToDate(const String& S, TDateTime& Value, const TFormatSettings& Settings);
TDateTime StrToDateDef(const String& S, TDateTime Default);
TDateTime StrToDateDef(const String& S, TDateTime Default, const TFormatSettings& Settings);

TDateTime StrToTime(const String& S);
TDateTime StrToTime(const String& S, const TFormatSettings& Settings);
bool TryStrToTime(const String& S, TDateTime& Value);
bool TryStrToTime(const String& S, TDateTime& Value, const TFormatSettings& Settings);
TDateTime StrToTimeDef(const String& S, TDateTime Default);
TDateTime StrToTimeDef(const String& S, TDateTime Default, const TFormatSettings& Settings);

// A date with an optional time after it, or a time alone.
TDateTime StrToDateTime(const String& S);
TDateTime StrToDateTime(const String& S, const TFormatSettings& Settings);
bool TryStrToDateTime(const String& S, TDateTime& Value);
bool TryStrToDateTime(const String& S, TDateTime& Value, const TFormatSettings& Settings);
TDateTime StrToDateTimeDef(const String& S, TDateTime Default);
TDateTime StrToDateTimeDef(const String& S, TDateTime Default, const TFormatSettings& Settings);
