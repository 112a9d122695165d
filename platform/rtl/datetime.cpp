#include "platform/rtl/datetime.h"

#include "platform/rtl/clock.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/rtlmath.h"
#include "platform/rtl/strutils.h"

#include <QStringView>
#include <cassert>
#include <cstdlib>
#include <limits>

namespace {

// Days in the Gregorian cycles: 1, 4, 100 and 400 years.
constexpr Int64 DaysPer1Year = 365;
constexpr Int64 DaysPer4Years = DaysPer1Year * 4 + 1;
constexpr Int64 DaysPer100Years = DaysPer4Years * 25 - 1;
constexpr Int64 DaysPer400Years = DaysPer100Years * 4 + 1;

constexpr Word MaxYear = 9999;

constexpr Word MonthDays[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                   {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

Int64 floorDiv(Int64 A, Int64 B) { return A / B - ((A % B != 0) && ((A < 0) != (B < 0))); }

Int64 floorMod(Int64 A, Int64 B) { return A - floorDiv(A, B) * B; }

[[noreturn]] void raiseDateEncode() {
  throw EConvertError(QStringLiteral("Invalid argument to date encode"));
}

[[noreturn]] void raiseTimeEncode() {
  throw EConvertError(QStringLiteral("Invalid argument to time encode"));
}

[[noreturn]] void raiseInvalid(const String& S, const char* What) {
  throw EConvertError(u'\'' + S + QStringLiteral("' is not a valid ") + QLatin1String(What));
}

// ---- the calendar on time-stamp days (0001-01-01 is day 1) ----

bool isValidDate(Word Year, Word Month, Word Day) {
  return Year >= 1 && Year <= MaxYear && Month >= 1 && Month <= 12 && Day >= 1 &&
         Day <= DaysInAMonth(Year, Month);
}

// The time-stamp day of a valid date.
Int64 stampDayOf(Word Year, Word Month, Word Day) {
  const Word* Lengths = MonthDays[IsLeapYear(Year)];
  Int64 DayOfYear = Day;
  for (int M = 1; M < Month; ++M) DayOfYear += Lengths[M - 1];
  const Int64 Before = Year - 1;
  return Before * DaysPer1Year + Before / 4 - Before / 100 + Before / 400 + DayOfYear;
}

// The date of a time-stamp day; days before 0001-01-01 give 0, 0, 0.
void dateOfStampDay(Int64 StampDay, Word& Year, Word& Month, Word& Day) {
  if (StampDay <= 0) {
    Year = Month = Day = 0;
    return;
  }
  Int64 Rest = StampDay - 1;
  Int64 Y = 1 + Rest / DaysPer400Years * 400;
  Rest %= DaysPer400Years;
  // The last day of a 400-year (and of a 4-year) cycle is the leap day that
  // makes the quotient 4; it belongs to the cycle's last century (year).
  Int64 Centuries = Rest / DaysPer100Years;
  Rest %= DaysPer100Years;
  if (Centuries == 4) {
    Centuries = 3;
    Rest += DaysPer100Years;
  }
  Y += Centuries * 100 + Rest / DaysPer4Years * 4;
  Rest %= DaysPer4Years;
  Int64 Years = Rest / DaysPer1Year;
  Rest %= DaysPer1Year;
  if (Years == 4) {
    Years = 3;
    Rest += DaysPer1Year;
  }
  Y += Years;
  Year = static_cast<Word>(Y);
  const Word* Lengths = MonthDays[IsLeapYear(Year)];
  Month = 1;
  while (Rest >= Lengths[Month - 1]) Rest -= Lengths[Month++ - 1];
  Day = static_cast<Word>(Rest + 1);
}

// 1 = Monday .. 7 = Sunday; day 1 (0001-01-01) was a Monday.
Word isoDayOfStampDay(Int64 StampDay) { return static_cast<Word>(floorMod(StampDay - 1, 7) + 1); }

// ---- the millisecond time line ----

// A day and a time of day put back together on the day's side of zero.
TDateTime composeDateTime(Int64 Day, double Time) {
  return Day < 0 ? Day - Time : Day + Time;
}

Int64 toMSecs(TDateTime Value) {
  const TTimeStamp Stamp = DateTimeToTimeStamp(Value);
  return Int64(Stamp.Date) * MSecsPerDay + Stamp.Time;
}

TDateTime fromMSecs(Int64 MSecs) {
  const Int64 StampDay = floorDiv(MSecs, MSecsPerDay);
  return composeDateTime(StampDay - DateDelta,
                         double(MSecs - StampDay * MSecsPerDay) / MSecsPerDay);
}

// ---- formatting ----

String zeroPadded(int Number, int Digits) {
  return String::number(Number).rightJustified(Digits, u'0');
}

template <int N>
String nameAt(const TOneBasedNames<N>& Names, int Index) {
  // Only a value before 0001-01-01 decodes to month 0.
  return Index >= 1 && Index <= N ? Names[Index] : String();
}

bool startsWithText(const String& S, int At, QStringView Text) {
  return QStringView(S).sliced(At).startsWith(Text, Qt::CaseInsensitive);
}

class TDateTimeFormatter {
public:
  TDateTimeFormatter(TDateTime Value, const TFormatSettings& Settings)
      : FValue(Value), FSettings(Settings) {
    DecodeDateTime(Value, FYear, FMonth, FDay, FHour, FMinute, FSecond, FMSec);
  }

  // Formats that name other formats (c, ddddd, t ...) expand one level only,
  // so a settings format that names itself cannot recurse.
  void append(const String& Format) {
    if (FDepth >= 2) return;
    ++FDepth;
    appendTokens(Format);
    --FDepth;
  }

  String Result;

private:
  void appendTokens(const String& F) {
    Char LastToken = u' ';
    int I = 0;
    while (I < F.size()) {
      const Char Starter = F[I++];
      Char Token = Starter;
      if (Token >= u'a' && Token <= u'z') Token = Char(Token.unicode() - (u'a' - u'A'));
      if (Token >= u'A' && Token <= u'Z') {
        if (Token == u'M' && LastToken == u'H') Token = u'N';
        LastToken = Token;
      }
      switch (Token.unicode()) {
      case u'Y':
        if (repeatCount(F, I, Starter) <= 2)
          Result += zeroPadded(FYear % 100, 2);
        else
          Result += zeroPadded(FYear, 4);
        break;
      case u'M': appendMonth(repeatCount(F, I, Starter)); break;
      case u'D': appendDay(repeatCount(F, I, Starter)); break;
      case u'H': appendHour(F, I, repeatCount(F, I, Starter)); break;
      case u'N': Result += zeroPadded(FMinute, qMin(repeatCount(F, I, Starter), 2)); break;
      case u'S': Result += zeroPadded(FSecond, qMin(repeatCount(F, I, Starter), 2)); break;
      case u'Z': Result += zeroPadded(FMSec, qMin(repeatCount(F, I, Starter), 3)); break;
      case u'T':
        append(repeatCount(F, I, Starter) == 1 ? FSettings.ShortTimeFormat
                                               : FSettings.LongTimeFormat);
        break;
      case u'A': appendAmPm(F, I, Starter); break;
      case u'C':
        repeatCount(F, I, Starter);
        append(FSettings.ShortDateFormat);
        if (FHour != 0 || FMinute != 0 || FSecond != 0) {
          Result += u' ';
          append(FSettings.LongTimeFormat);
        }
        break;
      case u'/':
        if (!FSettings.DateSeparator.isNull()) Result += FSettings.DateSeparator;
        break;
      case u':':
        if (!FSettings.TimeSeparator.isNull()) Result += FSettings.TimeSeparator;
        break;
      case u'\'':
      case u'"': {
        // An unclosed quote runs to the end of the format.
        const int Close = F.indexOf(Starter, I);
        const int End = Close < 0 ? F.size() : Close;
        Result += QStringView(F).sliced(I, End - I);
        I = Close < 0 ? End : End + 1;
        break;
      }
      default: Result += Starter;
      }
    }
  }

  // The length of the run of Starter that began just before I; moves I past it.
  static int repeatCount(const String& F, int& I, Char Starter) {
    const int Begin = I - 1;
    while (I < F.size() && F[I] == Starter) ++I;
    return I - Begin;
  }

  void appendMonth(int Count) {
    if (Count <= 2)
      Result += zeroPadded(FMonth, Count);
    else if (Count == 3)
      Result += nameAt(FSettings.ShortMonthNames, FMonth);
    else
      Result += nameAt(FSettings.LongMonthNames, FMonth);
  }

  void appendDay(int Count) {
    switch (Count) {
    case 1:
    case 2: Result += zeroPadded(FDay, Count); break;
    case 3: Result += nameAt(FSettings.ShortDayNames, DayOfWeek(FValue)); break;
    case 4: Result += nameAt(FSettings.LongDayNames, DayOfWeek(FValue)); break;
    case 5: append(FSettings.ShortDateFormat); break;
    default: append(FSettings.LongDateFormat);
    }
  }

  // The 12-hour clock is on when an am/pm token follows before the next hour
  // token (or came earlier in this format).  The look-ahead stops at the first
  // unquoted 'a', whatever it starts.
  void appendHour(const String& F, int I, int Count) {
    bool BetweenQuotes = false;
    for (int P = I; P < F.size(); ++P) {
      const Char C = F[P];
      if ((C == u'A' || C == u'a') && !BetweenQuotes) {
        if (startsWithText(F, P, u"am/pm") || startsWithText(F, P, u"a/p") ||
            startsWithText(F, P, u"ampm"))
          FUse12HourClock = true;
        break;
      }
      if (C == u'H' || C == u'h') break;
      if (C == u'\'' || C == u'"') BetweenQuotes = !BetweenQuotes;
    }
    int Hour = FHour;
    if (FUse12HourClock) {
      if (Hour == 0)
        Hour = 12;
      else if (Hour > 12)
        Hour -= 12;
    }
    Result += zeroPadded(Hour, qMin(Count, 2));
  }

  // At is just past the 'a'; "am/pm" and "a/p" print the letters as written.
  void appendAmPm(const String& F, int& At, Char Starter) {
    const int P = At - 1;
    const bool Afternoon = FHour >= 12;
    if (startsWithText(F, P, u"am/pm")) {
      Result += QStringView(F).sliced(P + (Afternoon ? 3 : 0), 2);
      At += 4;
    } else if (startsWithText(F, P, u"a/p")) {
      Result += F[P + (Afternoon ? 2 : 0)];
      At += 2;
    } else if (startsWithText(F, P, u"ampm")) {
      Result += Afternoon ? FSettings.TimePMString : FSettings.TimeAMString;
      At += 3;
    } else {
      Result += Starter;
      return;
    }
    FUse12HourClock = true;
  }

  TDateTime FValue;
  const TFormatSettings& FSettings;
  Word FYear, FMonth, FDay, FHour, FMinute, FSecond, FMSec;
  bool FUse12HourClock = false;
  int FDepth = 0;
};

// ---- parsing ----

enum class TDateOrder { MDY, DMY, YMD };

// The first of d, m or y in the short date format decides.
TDateOrder dateOrderOf(const String& ShortDateFormat) {
  for (const Char C : ShortDateFormat) {
    switch (C.toLatin1() & ~0x20) {
    case 'Y': return TDateOrder::YMD;
    case 'M': return TDateOrder::MDY;
    case 'D': return TDateOrder::DMY;
    }
  }
  return TDateOrder::MDY;
}

// Reads a date and a time from the front of a text.  Every scan skips the
// blanks before what it looks for; Pos is 0-based.
class TDateTimeScanner {
public:
  TDateTimeScanner(const String& S, const TFormatSettings& Settings)
      : FText(S), FSettings(Settings) {}

  bool atEnd() const { return FPos >= FText.size(); }

  bool scanDate(TDateTime& Date) {
    Word N1, N2, N3;
    int L1, L2, L3;
    if (!(scanNumber(N1, L1) && scanChar(FSettings.DateSeparator) && scanNumber(N2, L2)))
      return false;
    const TDateOrder Order = dateOrderOf(FSettings.ShortDateFormat);
    Word Year = 0, Month = 0, Day = 0;
    if (scanChar(FSettings.DateSeparator)) {
      if (!scanNumber(N3, L3)) return false;
      int YearLength = L3;
      switch (Order) {
      case TDateOrder::MDY: Year = N3, Month = N1, Day = N2; break;
      case TDateOrder::DMY: Year = N3, Month = N2, Day = N1; break;
      case TDateOrder::YMD: Year = N1, Month = N2, Day = N3, YearLength = L1; break;
      }
      if (YearLength <= 2) Year = expandTwoDigitYear(Year);
    } else {
      Year = YearOf(Now());
      Month = Order == TDateOrder::DMY ? N2 : N1;
      Day = Order == TDateOrder::DMY ? N1 : N2;
    }
    // A trailing separator is allowed ("19.05.2024.").
    scanChar(FSettings.DateSeparator);
    scanBlanks();
    return TryEncodeDate(Year, Month, Day, Date);
  }

  bool scanTime(TDateTime& Time) {
    int BaseHour = scanAmPm();
    if (BaseHour >= 0) scanBlanks();
    Word Hour, Min = 0, Sec = 0, MSec = 0;
    int Length;
    if (!scanNumber(Hour, Length)) return false;
    if (scanChar(FSettings.TimeSeparator)) {
      if (!scanNumber(Min, Length)) return false;
      if (scanChar(FSettings.TimeSeparator)) {
        if (!scanNumber(Sec, Length)) return false;
        if (scanChar(FSettings.DecimalSeparator) && !scanNumber(MSec, Length)) return false;
      }
    }
    if (BaseHour < 0) BaseHour = scanAmPm();
    if (BaseHour >= 0) {
      if (Hour == 0 || Hour > 12) return false;
      Hour = static_cast<Word>(Hour % 12 + BaseHour);
    }
    scanBlanks();
    return TryEncodeTime(Hour, Min, Sec, MSec, Time);
  }

private:
  void scanBlanks() {
    while (FPos < FText.size() && FText[FPos] == u' ') ++FPos;
  }

  // Up to the first digit that makes the number reach 1000, so a run of more
  // than four significant digits leaves the rest unread and the scan fails.
  bool scanNumber(Word& Number, int& Length) {
    scanBlanks();
    int I = FPos;
    Word N = 0;
    while (I < FText.size() && FText[I] >= u'0' && FText[I] <= u'9' && N < 1000)
      N = static_cast<Word>(N * 10 + (FText[I++].unicode() - u'0'));
    if (I == FPos) return false;
    Length = I - FPos;
    FPos = I;
    Number = N;
    return true;
  }

  bool scanChar(Char C) {
    scanBlanks();
    if (atEnd() || FText[FPos] != C) return false;
    ++FPos;
    return true;
  }

  bool scanString(const String& Symbol) {
    if (Symbol.isEmpty()) return false;
    scanBlanks();
    if (!AnsiSameText(FText.mid(FPos, Symbol.size()), Symbol)) return false;
    FPos += Symbol.size();
    return true;
  }

  // 0 for a morning designator, 12 for an afternoon one, -1 for none.
  int scanAmPm() {
    if (scanString(FSettings.TimeAMString) || scanString(QStringLiteral("AM"))) return 0;
    if (scanString(FSettings.TimePMString) || scanString(QStringLiteral("PM"))) return 12;
    return -1;
  }

  // Two-digit years land in the window that starts TwoDigitYearCenturyWindow
  // years before the current year; a window of 0 means the current century.
  Word expandTwoDigitYear(Word Year) const {
    const int Window = FSettings.TwoDigitYearCenturyWindow;
    const int CenturyBase = YearOf(Now()) - Window;
    int Result = Year + CenturyBase / 100 * 100;
    if (Window > 0 && Result < CenturyBase) Result += 100;
    return static_cast<Word>(Result);
  }

  const String& FText;
  const TFormatSettings& FSettings;
  int FPos = 0;
};

}  // namespace

// ---- calendar ----

bool IsLeapYear(Word Year) { return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0); }

Word DaysInAYear(Word Year) { return IsLeapYear(Year) ? 366 : 365; }

Word DaysInAMonth(Word Year, Word Month) {
  assert(Month >= 1 && Month <= 12 && "DaysInAMonth: month outside 1..12");
  return MonthDays[IsLeapYear(Year)][Month - 1];
}

// ---- encoding and decoding ----

bool TryEncodeDate(Word Year, Word Month, Word Day, TDateTime& Date) {
  if (!isValidDate(Year, Month, Day)) return false;
  Date = static_cast<TDateTime>(stampDayOf(Year, Month, Day) - DateDelta);
  return true;
}

TDateTime EncodeDate(Word Year, Word Month, Word Day) {
  TDateTime Result;
  if (!TryEncodeDate(Year, Month, Day, Result)) raiseDateEncode();
  return Result;
}

bool TryEncodeTime(Word Hour, Word Min, Word Sec, Word MSec, TDateTime& Time) {
  if (Hour >= HoursPerDay || Min >= MinsPerHour || Sec >= SecsPerMin || MSec >= MSecsPerSec)
    return false;
  const Integer MSecs = ((Hour * MinsPerHour + Min) * SecsPerMin + Sec) * MSecsPerSec + MSec;
  Time = double(MSecs) / MSecsPerDay;
  return true;
}

TDateTime EncodeTime(Word Hour, Word Min, Word Sec, Word MSec) {
  TDateTime Result;
  if (!TryEncodeTime(Hour, Min, Sec, MSec, Result)) raiseTimeEncode();
  return Result;
}

bool TryEncodeDateTime(Word Year, Word Month, Word Day, Word Hour, Word Minute, Word Second,
                       Word MilliSecond, TDateTime& Value) {
  TDateTime Date, Time;
  if (!TryEncodeDate(Year, Month, Day, Date) ||
      !TryEncodeTime(Hour, Minute, Second, MilliSecond, Time))
    return false;
  Value = composeDateTime(static_cast<Int64>(Date), Time);
  return true;
}

TDateTime EncodeDateTime(Word Year, Word Month, Word Day, Word Hour, Word Minute, Word Second,
                         Word MilliSecond) {
  return composeDateTime(static_cast<Int64>(EncodeDate(Year, Month, Day)),
                         EncodeTime(Hour, Minute, Second, MilliSecond));
}

void DecodeDate(TDateTime Date, Word& Year, Word& Month, Word& Day) {
  dateOfStampDay(DateTimeToTimeStamp(Date).Date, Year, Month, Day);
}

void DecodeTime(TDateTime Time, Word& Hour, Word& Min, Word& Sec, Word& MSec) {
  const Integer MSecs = DateTimeToTimeStamp(Time).Time;
  Hour = static_cast<Word>(MSecs / (MinsPerHour * SecsPerMin * MSecsPerSec));
  Min = static_cast<Word>(MSecs / (SecsPerMin * MSecsPerSec) % MinsPerHour);
  Sec = static_cast<Word>(MSecs / MSecsPerSec % SecsPerMin);
  MSec = static_cast<Word>(MSecs % MSecsPerSec);
}

void DecodeDateTime(TDateTime Value, Word& Year, Word& Month, Word& Day, Word& Hour,
                    Word& Minute, Word& Second, Word& MilliSecond) {
  DecodeDate(Value, Year, Month, Day);
  DecodeTime(Value, Hour, Minute, Second, MilliSecond);
}

TDateTime RecodeTime(TDateTime Value, Word Hour, Word Minute, Word Second, Word MilliSecond) {
  Word Y, M, D, H, N, S, Z;
  DecodeDateTime(Value, Y, M, D, H, N, S, Z);
  const auto pick = [](Word Given, Word Current) {
    return Given == RecodeLeaveFieldAsIs ? Current : Given;
  };
  return EncodeDateTime(Y, M, D, pick(Hour, H), pick(Minute, N), pick(Second, S),
                        pick(MilliSecond, Z));
}

void ReplaceTime(TDateTime& DateTime, TDateTime NewTime) {
  DateTime = composeDateTime(Trunc(DateTime), std::abs(Frac(NewTime)));
}

TDateTime DateOf(TDateTime Value) { return static_cast<TDateTime>(Trunc(Value)); }

TDateTime TimeOf(TDateTime Value) { return std::abs(Frac(Value)); }

// ---- time stamps ----

TTimeStamp DateTimeToTimeStamp(TDateTime DateTime) {
  const Int64 MSecs = Round(DateTime * MSecsPerDay);
  // Truncation, not floor: the day of -1.25 is -1, and its time is |Frac|.
  const Int64 Day = DateDelta + MSecs / MSecsPerDay;
  if (Day < std::numeric_limits<Integer>::min() || Day > std::numeric_limits<Integer>::max())
    throw EInvalidOp(QStringLiteral("Invalid floating point operation"));
  return TTimeStamp{static_cast<Integer>(std::abs(MSecs) % MSecsPerDay),
                    static_cast<Integer>(Day)};
}

TDateTime TimeStampToDateTime(const TTimeStamp& TimeStamp) {
  if (TimeStamp.Date <= 0 || TimeStamp.Time < 0 || TimeStamp.Time >= MSecsPerDay)
    throw EConvertError(QStringLiteral("'%1.%2' is not a valid timestamp")
                            .arg(TimeStamp.Date)
                            .arg(TimeStamp.Time));
  return composeDateTime(Int64(TimeStamp.Date) - DateDelta, double(TimeStamp.Time) / MSecsPerDay);
}

// ---- parts ----

Word YearOf(TDateTime Value) {
  Word Y, M, D;
  DecodeDate(Value, Y, M, D);
  return Y;
}

Word MonthOf(TDateTime Value) {
  Word Y, M, D;
  DecodeDate(Value, Y, M, D);
  return M;
}

Word DayOf(TDateTime Value) {
  Word Y, M, D;
  DecodeDate(Value, Y, M, D);
  return D;
}

Word HourOf(TDateTime Value) {
  Word H, N, S, Z;
  DecodeTime(Value, H, N, S, Z);
  return H;
}

Word MinuteOf(TDateTime Value) {
  Word H, N, S, Z;
  DecodeTime(Value, H, N, S, Z);
  return N;
}

Word SecondOf(TDateTime Value) {
  Word H, N, S, Z;
  DecodeTime(Value, H, N, S, Z);
  return S;
}

Word MilliSecondOf(TDateTime Value) {
  Word H, N, S, Z;
  DecodeTime(Value, H, N, S, Z);
  return Z;
}

Word DayOfWeek(TDateTime Value) { return isoDayOfStampDay(DateTimeToTimeStamp(Value).Date) % 7 + 1; }

Word DayOfTheWeek(TDateTime Value) { return isoDayOfStampDay(DateTimeToTimeStamp(Value).Date); }

TDateTime StartOfTheWeek(TDateTime Value) {
  const Int64 StampDay = DateTimeToTimeStamp(Value).Date;
  return static_cast<TDateTime>(StampDay - (isoDayOfStampDay(StampDay) - 1) - DateDelta);
}

Word WeekOfTheYear(TDateTime Value) {
  const Int64 StampDay = DateTimeToTimeStamp(Value).Date;
  const Int64 Thursday = StampDay - isoDayOfStampDay(StampDay) + 4;
  Word Year, Month, Day;
  dateOfStampDay(Thursday, Year, Month, Day);
  return static_cast<Word>((Thursday - stampDayOf(Year, 1, 1)) / 7 + 1);
}

// ---- arithmetic ----

TDateTime IncMonth(TDateTime Value, Integer NumberOfMonths) {
  Word Year, Month, Day;
  DecodeDate(Value, Year, Month, Day);
  const Int64 Months = Int64(Year) * 12 + (Month - 1) + NumberOfMonths;
  const Int64 NewYear = floorDiv(Months, 12);
  if (NewYear < 1 || NewYear > MaxYear) raiseDateEncode();
  const Word NewMonth = static_cast<Word>(Months - NewYear * 12 + 1);
  TDateTime Result = EncodeDate(static_cast<Word>(NewYear), NewMonth,
                                qMin(Day, DaysInAMonth(static_cast<Word>(NewYear), NewMonth)));
  ReplaceTime(Result, Value);
  return Result;
}

TDateTime IncYear(TDateTime Value, Integer NumberOfYears) {
  return IncMonth(Value, NumberOfYears * 12);
}

TDateTime IncDay(TDateTime Value, Integer NumberOfDays) {
  return composeDateTime(Trunc(Value) + NumberOfDays, std::abs(Frac(Value)));
}

TDateTime IncHour(TDateTime Value, Int64 NumberOfHours) {
  return IncMilliSecond(Value, NumberOfHours * MinsPerHour * SecsPerMin * MSecsPerSec);
}

TDateTime IncMinute(TDateTime Value, Int64 NumberOfMinutes) {
  return IncMilliSecond(Value, NumberOfMinutes * SecsPerMin * MSecsPerSec);
}

TDateTime IncSecond(TDateTime Value, Int64 NumberOfSeconds) {
  return IncMilliSecond(Value, NumberOfSeconds * MSecsPerSec);
}

TDateTime IncMilliSecond(TDateTime Value, Int64 NumberOfMilliSeconds) {
  return fromMSecs(toMSecs(Value) + NumberOfMilliSeconds);
}

Integer DaysBetween(TDateTime Now, TDateTime Then) {
  return static_cast<Integer>(std::abs(toMSecs(Now) - toMSecs(Then)) / MSecsPerDay);
}

// ---- formatting ----

String FormatDateTime(const String& Format, TDateTime DateTime) {
  return FormatDateTime(Format, DateTime, FormatSettings());
}

String FormatDateTime(const String& Format, TDateTime DateTime, const TFormatSettings& Settings) {
  TDateTimeFormatter Formatter(DateTime, Settings);
  Formatter.append(Format.isEmpty() ? QStringLiteral("c") : Format);
  return Formatter.Result;
}

void DateTimeToString(String& Result, const String& Format, TDateTime DateTime) {
  Result = FormatDateTime(Format, DateTime);
}

void DateTimeToString(String& Result, const String& Format, TDateTime DateTime,
                      const TFormatSettings& Settings) {
  Result = FormatDateTime(Format, DateTime, Settings);
}

String DateToStr(TDateTime Date) { return DateToStr(Date, FormatSettings()); }

String DateToStr(TDateTime Date, const TFormatSettings& Settings) {
  return FormatDateTime(QStringLiteral("ddddd"), Date, Settings);
}

String TimeToStr(TDateTime Time) { return TimeToStr(Time, FormatSettings()); }

String TimeToStr(TDateTime Time, const TFormatSettings& Settings) {
  return FormatDateTime(QStringLiteral("tt"), Time, Settings);
}

String DateTimeToStr(TDateTime DateTime) { return DateTimeToStr(DateTime, FormatSettings()); }

String DateTimeToStr(TDateTime DateTime, const TFormatSettings& Settings) {
  return FormatDateTime(QStringLiteral("c"), DateTime, Settings);
}

// ---- parsing ----

TDateTime StrToDate(const String& S) { return StrToDate(S, FormatSettings()); }

TDateTime StrToDate(const String& S, const TFormatSettings& Settings) {
  TDateTime Result;
  if (!TryStrToDate(S, Result, Settings)) raiseInvalid(S, "date");
  return Result;
}

bool TryStrToDate(const String& S, TDateTime& Value) {
  return TryStrToDate(S, Value, FormatSettings());
}

bool TryStrToDate(const String& S, TDateTime& Value, const TFormatSettings& Settings) {
  TDateTimeScanner Scanner(S, Settings);
  return Scanner.scanDate(Value) && Scanner.atEnd();
}

TDateTime StrToDateDef(const String& S, TDateTime Default) {
  return StrToDateDef(S, Default, FormatSettings());
}

TDateTime StrToDateDef(const String& S, TDateTime Default, const TFormatSettings& Settings) {
  TDateTime Result;
  return TryStrToDate(S, Result, Settings) ? Result : Default;
}

TDateTime StrToTime(const String& S) { return StrToTime(S, FormatSettings()); }

TDateTime StrToTime(const String& S, const TFormatSettings& Settings) {
  TDateTime Result;
  if (!TryStrToTime(S, Result, Settings)) raiseInvalid(S, "time");
  return Result;
}

bool TryStrToTime(const String& S, TDateTime& Value) {
  return TryStrToTime(S, Value, FormatSettings());
}

bool TryStrToTime(const String& S, TDateTime& Value, const TFormatSettings& Settings) {
  TDateTimeScanner Scanner(S, Settings);
  return Scanner.scanTime(Value) && Scanner.atEnd();
}

TDateTime StrToTimeDef(const String& S, TDateTime Default) {
  return StrToTimeDef(S, Default, FormatSettings());
}

TDateTime StrToTimeDef(const String& S, TDateTime Default, const TFormatSettings& Settings) {
  TDateTime Result;
  return TryStrToTime(S, Result, Settings) ? Result : Default;
}

TDateTime StrToDateTime(const String& S) { return StrToDateTime(S, FormatSettings()); }

TDateTime StrToDateTime(const String& S, const TFormatSettings& Settings) {
  TDateTime Result;
  if (!TryStrToDateTime(S, Result, Settings)) raiseInvalid(S, "date and time");
  return Result;
}

bool TryStrToDateTime(const String& S, TDateTime& Value) {
  return TryStrToDateTime(S, Value, FormatSettings());
}

bool TryStrToDateTime(const String& S, TDateTime& Value, const TFormatSettings& Settings) {
  TDateTimeScanner Scanner(S, Settings);
  TDateTime Date, Time = 0;
  if (!Scanner.scanDate(Date)) return TryStrToTime(S, Value, Settings);
  if (!Scanner.atEnd() && !(Scanner.scanTime(Time) && Scanner.atEnd())) return false;
  Value = composeDateTime(static_cast<Int64>(Date), Time);
  return true;
}

TDateTime StrToDateTimeDef(const String& S, TDateTime Default) {
  return StrToDateTimeDef(S, Default, FormatSettings());
}

TDateTime StrToDateTimeDef(const String& S, TDateTime Default, const TFormatSettings& Settings) {
  TDateTime Result;
  return TryStrToDateTime(S, Result, Settings) ? Result : Default;
}

// ---------------------------------------------------------------------------
// SQL time stamps

TSQLTimeStamp DateTimeToSQLTimeStamp(TDateTime DateTime) {
  TSQLTimeStamp Result;
  Word MilliSecond = 0;
  DecodeDateTime(DateTime, Result.Year, Result.Month, Result.Day, Result.Hour, Result.Minute, Result.Second,
                 MilliSecond);
  Result.Fractions = MilliSecond;
  return Result;
}

TDateTime SQLTimeStampToDateTime(const TSQLTimeStamp& TimeStamp) {
  return EncodeDateTime(TimeStamp.Year, TimeStamp.Month, TimeStamp.Day, TimeStamp.Hour, TimeStamp.Minute,
                        TimeStamp.Second, Word(TimeStamp.Fractions));
}
