#include "platform/rtl/formatsettings.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/numconv.h"
#include "platform/rtl/strutils.h"
#include "tests/support/testing.h"

namespace {

TEST(FormatSettingsTest, RussianLocale) {
  const TFormatSettings S = TFormatSettings::Create("ru-RU");
  EXPECT_EQ(S.DecimalSeparator, u',');
  EXPECT_EQ(S.ThousandSeparator, u'\u00A0');
  EXPECT_EQ(S.ListSeparator, u';');
  EXPECT_EQ(S.DateSeparator, u'.');
  EXPECT_EQ(S.TimeSeparator, u':');
  EXPECT_EQ(S.ShortDateFormat, "dd.mm.yyyy");
  EXPECT_EQ(S.LongDateFormat, "dddd, d mmmm yyyy \"г\".");
  EXPECT_EQ(S.ShortTimeFormat, "hh:nn");
  EXPECT_EQ(S.LongTimeFormat, "hh:nn:ss");
  EXPECT_EQ(S.LongMonthNames[1], "январь");
  EXPECT_EQ(S.LongMonthNames[12], "декабрь");
  EXPECT_EQ(S.LongDayNames[1], "воскресенье");
  EXPECT_EQ(S.LongDayNames[2], "понедельник");
  EXPECT_EQ(S.CurrencyString, "₽");
  EXPECT_EQ(S.CurrencyDecimals, 2);
  EXPECT_EQ(FloatToStrF(-1234.5, ffCurrency, 15, 2, S), "-1\u00A0234,50 ₽");
  EXPECT_EQ(S.FirstDayOfWeek, 0);
  EXPECT_TRUE(S.Is24Hour);
  EXPECT_EQ(FloatToStr(2.5, S), "2,5");
}

TEST(FormatSettingsTest, TwelveHourLocalesAndTheirMarkers) {
  const TFormatSettings Us = TFormatSettings::Create("en_US");
  EXPECT_EQ(Us.ShortDateFormat, "m/d/yy");
  EXPECT_EQ(Us.ShortTimeFormat, "h:nn AMPM");
  EXPECT_EQ(Us.LongTimeFormat, "h:nn:ss AMPM");
  EXPECT_FALSE(Us.Is24Hour);
  EXPECT_FALSE(Us.AmPmPrefix);
  EXPECT_EQ(Us.FirstDayOfWeek, 6);
  EXPECT_EQ(Us.TimeAMString, "AM");
  EXPECT_EQ(FloatToStrF(-5, ffCurrency, 15, 2, Us), "($5.00)");
  EXPECT_EQ(FloatToStrF(5, ffCurrency, 15, 2, Us), "$5.00");

  const TFormatSettings Korean = TFormatSettings::Create("ko_KR");
  EXPECT_TRUE(Korean.AmPmPrefix);
  EXPECT_EQ(Korean.ShortTimeFormat, "AMPM h:nn");

  // A leading time zone goes with its blank.
  EXPECT_EQ(TFormatSettings::Create("zh_CN").LongTimeFormat, "hh:nn:ss");
}

TEST(FormatSettingsTest, EmptyNameMeansTheUserLocale) {
  const String Saved = UserLocale();
  SetUserLocale("ru_RU");
  const TFormatSettings S = TFormatSettings::Create();
  SetUserLocale(Saved);
  EXPECT_EQ(S.DecimalSeparator, u',');
  EXPECT_EQ(S.LongMonthNames[5], "май");
}

TEST(FormatSettingsTest, Invariant) {
  const TFormatSettings S = TFormatSettings::Invariant();
  EXPECT_EQ(S.DecimalSeparator, u'.');
  EXPECT_EQ(S.ThousandSeparator, u',');
  EXPECT_EQ(S.DateSeparator, u'/');
  EXPECT_EQ(S.TimeSeparator, u':');
  EXPECT_EQ(S.ShortDateFormat, "MM/dd/yyyy");
  EXPECT_EQ(S.ShortTimeFormat, "hh:nn");
  EXPECT_EQ(S.LongTimeFormat, "hh:nn:ss");
  EXPECT_EQ(S.CurrencyDecimals, 2);
  EXPECT_EQ(S.ShortMonthNames[1], "Jan");
  EXPECT_EQ(S.LongMonthNames[12], "December");
  EXPECT_EQ(S.ShortDayNames[1], "Sun");
  EXPECT_EQ(S.LongDayNames[7], "Saturday");
  EXPECT_EQ(S.TwoDigitYearCenturyWindow, 50);
}

TEST(FormatSettingsTest, ScopeRestoresTheGlobalWhenAnExceptionPasses) {
  const Char Before = FormatSettings().DecimalSeparator;
  try {
    TFormatSettingsScope Scope;
    FormatSettings() = TFormatSettings::Create("ru-RU");
    EXPECT_EQ(FloatToStr(0.5), "0,5");
    throw EConvertError("boom");
  } catch (const EConvertError&) {
  }
  EXPECT_EQ(FormatSettings().DecimalSeparator, Before);
  EXPECT_EQ(FloatToStr(0.5), "0.5");
  EXPECT_EQ(FormatSettings().LongMonthNames[1], "January");
}

}  // namespace
