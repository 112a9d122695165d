// The process-wide format settings and locale-derived settings objects.
//
// FormatSettings() is the mutable global that conversion routines read when no
// settings are passed; every routine also has an overload taking explicit
// settings, which code with a fixed format uses instead of swapping the global.
#pragma once

#include "platform/rtl/system.h"

// Names indexed 1..N as the original arrays were (months 1..12, days 1..7 with
// 1 = Sunday).
template <int N>
struct TOneBasedNames {
  String Items[N];
  String& operator[](int I) { return Items[I - 1]; }
  const String& operator[](int I) const { return Items[I - 1]; }
  static constexpr int Count = N;
};

struct TFormatSettings {
  Char DecimalSeparator = u'.';
  Char ThousandSeparator = u',';
  Char DateSeparator = u'/';
  Char TimeSeparator = u':';
  Char ListSeparator = u',';
  String ShortDateFormat = QStringLiteral("MM/dd/yyyy");
  String LongDateFormat = QStringLiteral("dddd, MMMM d, yyyy");
  String ShortTimeFormat = QStringLiteral("hh:nn");
  String LongTimeFormat = QStringLiteral("hh:nn:ss");
  String TimeAMString = QStringLiteral("AM");
  String TimePMString = QStringLiteral("PM");
  String CurrencyString = QStringLiteral("\u00A4");
  Byte CurrencyFormat = 0;   // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
  Byte NegCurrFormat = 0;    // 0 "($1)" .. 15, the original table
  Byte CurrencyDecimals = 2;
  TOneBasedNames<12> ShortMonthNames;
  TOneBasedNames<12> LongMonthNames;
  TOneBasedNames<7> ShortDayNames;
  TOneBasedNames<7> LongDayNames;
  Word TwoDigitYearCenturyWindow = 50;

  // Locale extras.
  int FirstDayOfWeek = 6;    // 0 = Monday .. 6 = Sunday
  bool Is24Hour = true;
  bool AmPmPrefix = false;   // the AM/PM designator comes before the time

  // Settings of a locale ("ru-RU", "en_US"); an empty name means the user
  // locale (SetUserLocale).
  static TFormatSettings Create(const String& LocaleName = String());
  // The fixed settings: '.', ',', '/', "MM/dd/yyyy", ':', "hh:nn", "hh:nn:ss",
  // English names, two currency decimals.
  static TFormatSettings Invariant();
};

// The process-wide settings; created from the user locale at start-up.
TFormatSettings& FormatSettings();

// Saves the global settings and restores them when the scope ends, also when
// an exception passes.  For ported code that changes the global for a while.
class TFormatSettingsScope {
public:
  TFormatSettingsScope();
  ~TFormatSettingsScope();
  TFormatSettingsScope(const TFormatSettingsScope&) = delete;
  TFormatSettingsScope& operator=(const TFormatSettingsScope&) = delete;

private:
  TFormatSettings FSaved;
};

void InitializeFormatSettings();
void FinalizeFormatSettings();
