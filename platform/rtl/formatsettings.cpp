#include "platform/rtl/formatsettings.h"

#include "platform/rtl/numconv.h"
#include "platform/rtl/strutils.h"

#include <QLocale>
#include <cassert>

namespace {

TFormatSettings* Global = nullptr;

const char* const EnglishShortMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const EnglishLongMonths[12] = {"January", "February", "March",     "April",
                                           "May",     "June",     "July",      "August",
                                           "September", "October", "November", "December"};
const char* const EnglishShortDays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const EnglishLongDays[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                        "Thursday", "Friday", "Saturday"};

// Qt's date and time pattern in this runtime's letters: Qt 'M' (month) is
// 'm', Qt 'm' (minute) is 'n', 'H' is 'h' (the clock follows the am/pm
// marker), "AP"/"ap" is "AMPM"/"am/pm"; the time zone ('t') is dropped with
// the blanks before it; other ASCII letters and Qt's quoted text become
// double-quoted literals.
String convertPattern(const String& Pattern) {
  String R;
  const qsizetype Len = Pattern.size();
  bool DroppedZone = false;
  for (qsizetype I = 0; I < Len;) {
    const Char C = Pattern[I];
    if (C == u'\'') {
      String Literal;
      for (++I; I < Len; ++I) {
        if (Pattern[I] != u'\'') {
          Literal += Pattern[I];
        } else if (I + 1 < Len && Pattern[I + 1] == u'\'') {
          Literal += Pattern[++I];
        } else {
          ++I;
          break;
        }
      }
      R += u'"' + Literal + u'"';
      continue;
    }
    qsizetype Run = 1;
    while (I + Run < Len && Pattern[I + Run] == C) ++Run;
    const char16_t U = C.unicode();
    if (DroppedZone && C.isSpace()) {
      I += Run;
      continue;
    }
    DroppedZone = false;
    switch (U) {
      case u'd': R += String(std::min<qsizetype>(Run, 4), u'd'); break;
      case u'M': R += String(std::min<qsizetype>(Run, 4), u'm'); break;
      case u'y': R += Run > 2 ? QStringLiteral("yyyy") : QStringLiteral("yy"); break;
      case u'h':
      case u'H': R += String(std::min<qsizetype>(Run, 2), u'h'); break;
      case u'm': R += String(std::min<qsizetype>(Run, 2), u'n'); break;
      case u's': R += String(std::min<qsizetype>(Run, 2), u's'); break;
      case u'z': R += Run > 1 ? QStringLiteral("zzz") : QStringLiteral("z"); break;
      case u'A':
      case u'a':
        R += U == u'A' ? QStringLiteral("AMPM") : QStringLiteral("am/pm");
        if (I + Run < Len && (Pattern[I + Run] == u'P' || Pattern[I + Run] == u'p')) ++Run;
        break;
      case u't':
        while (!R.isEmpty() && R.back().isSpace()) R.chop(1);
        DroppedZone = R.isEmpty();
        break;
      default:
        if (U < 128 && C.isLetter())
          R += u'"' + Pattern.mid(I, Run) + u'"';
        else
          R += Pattern.mid(I, Run);
    }
    I += Run;
  }
  return R;
}

// The first separator between the fields of a pattern: a char that is no
// pattern letter, quote, blank or invisible mark; Default when there is none.
Char patternSeparator(const String& Pattern, Char Default) {
  for (const Char C : Pattern)
    if (!C.isLetter() && !C.isSpace() && C != u'\'' && C != u'"' && C.category() != QChar::Other_Format)
      return C;
  return Default;
}

// Which of the positive (CurrencyFormat) and negative (NegCurrFormat)
// layouts produce the locale's own text of one unit.
void detectCurrencyFormats(const QLocale& Locale, TFormatSettings& S) {
  auto plainBlanks = [](String T) {
    for (Char& C : T)
      if (C.isSpace()) C = u' ';
    return T;
  };
  const String Positive = plainBlanks(Locale.toCurrencyString(1.0, S.CurrencyString));
  const String Negative = plainBlanks(Locale.toCurrencyString(-1.0, S.CurrencyString));
  const qsizetype Point = Positive.indexOf(S.DecimalSeparator);
  qsizetype Decimals = 0;
  if (Point >= 0)
    while (Point + 1 + Decimals < Positive.size() && Positive[Point + 1 + Decimals].isDigit()) ++Decimals;
  S.CurrencyDecimals = Byte(Decimals);
  // The first value of Field (0..Last) that lays Value out as Text.
  auto detect = [&](Byte TFormatSettings::*Field, Byte Last, double Value, const String& Text,
                    Byte Fallback) {
    TFormatSettings Candidate = S;
    for (Byte F = 0; F <= Last; ++F) {
      Candidate.*Field = F;
      if (FloatToStrF(Value, ffCurrency, 15, int(Decimals), Candidate) == Text) return F;
    }
    return Fallback;
  };
  // Locales whose text matches no layout (digits of another script, extra
  // marks) get the minus-first form of their positive layout.
  static const Byte MinusFirst[4] = {1, 5, 9, 8};
  S.CurrencyFormat = detect(&TFormatSettings::CurrencyFormat, 3, 1.0, Positive, 0);
  S.NegCurrFormat = detect(&TFormatSettings::NegCurrFormat, 15, -1.0, Negative, MinusFirst[S.CurrencyFormat]);
}

}  // namespace

TFormatSettings TFormatSettings::Create(const String& LocaleName) {
  const QLocale Locale(LocaleName.isEmpty() ? UserLocale() : LocaleName);
  TFormatSettings S;
  S.DecimalSeparator = Locale.decimalPoint().front();
  S.ThousandSeparator = Locale.groupSeparator().front();
  S.ListSeparator = S.DecimalSeparator == u',' ? u';' : u',';
  const String QtShortDate = Locale.dateFormat(QLocale::ShortFormat);
  const String QtShortTime = Locale.timeFormat(QLocale::ShortFormat);
  S.DateSeparator = patternSeparator(QtShortDate, u'/');
  S.TimeSeparator = patternSeparator(QtShortTime, u':');
  S.ShortDateFormat = convertPattern(QtShortDate);
  S.LongDateFormat = convertPattern(Locale.dateFormat(QLocale::LongFormat));
  S.ShortTimeFormat = convertPattern(QtShortTime);
  S.LongTimeFormat = convertPattern(Locale.timeFormat(QLocale::LongFormat));
  S.TimeAMString = Locale.amText();
  S.TimePMString = Locale.pmText();
  for (int I = 1; I <= 12; ++I) {
    S.ShortMonthNames[I] = Locale.standaloneMonthName(I, QLocale::ShortFormat);
    S.LongMonthNames[I] = Locale.standaloneMonthName(I, QLocale::LongFormat);
  }
  for (int I = 1; I <= 7; ++I) {
    const int QtDay = I == 1 ? 7 : I - 1;  // Qt counts from Monday
    S.ShortDayNames[I] = Locale.dayName(QtDay, QLocale::ShortFormat);
    S.LongDayNames[I] = Locale.dayName(QtDay, QLocale::LongFormat);
  }
  S.CurrencyString = Locale.currencySymbol();
  detectCurrencyFormats(Locale, S);
  S.FirstDayOfWeek = int(Locale.firstDayOfWeek()) - 1;
  const qsizetype Marker = QtShortTime.indexOf(u'A', 0, Qt::CaseInsensitive);
  S.Is24Hour = Marker < 0;
  S.AmPmPrefix = Marker >= 0 && Marker < QtShortTime.indexOf(u'h', 0, Qt::CaseInsensitive);
  return S;
}

TFormatSettings TFormatSettings::Invariant() {
  TFormatSettings S;
  for (int I = 1; I <= 12; ++I) {
    S.ShortMonthNames[I] = String::fromLatin1(EnglishShortMonths[I - 1]);
    S.LongMonthNames[I] = String::fromLatin1(EnglishLongMonths[I - 1]);
  }
  for (int I = 1; I <= 7; ++I) {
    S.ShortDayNames[I] = String::fromLatin1(EnglishShortDays[I - 1]);
    S.LongDayNames[I] = String::fromLatin1(EnglishLongDays[I - 1]);
  }
  return S;
}

TFormatSettings& FormatSettings() {
  assert(Global && "format settings used before the runtime unit was initialized");
  return *Global;
}

TFormatSettingsScope::TFormatSettingsScope() : FSaved(FormatSettings()) {}

TFormatSettingsScope::~TFormatSettingsScope() { FormatSettings() = FSaved; }

void InitializeFormatSettings() {
  if (!Global) Global = new TFormatSettings(TFormatSettings::Create());
}

void FinalizeFormatSettings() {
  delete Global;
  Global = nullptr;
}


