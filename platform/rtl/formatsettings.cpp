#include "platform/rtl/formatsettings.h"

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

}  // namespace

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

TFormatSettings TFormatSettings::Create(const String&) { return Invariant(); }
