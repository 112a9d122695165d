#include "platform/rtl/numconv.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/formatsettings.h"
#include "tests/support/testing.h"

#include <cmath>
#include <limits>

namespace {

TFormatSettings commaSettings() {
  TFormatSettings S = TFormatSettings::Invariant();
  S.DecimalSeparator = u',';
  S.ThousandSeparator = u' ';
  return S;
}

// ---- integers

TEST(NumConvTest, StrToIntAcceptsBlanksSignsAndHex) {
  struct Case {
    const char* Text;
    Integer Value;
  } Cases[] = {
      {" 12", 12},           {"-12", -12},         {"+7", 7},
      {"$1F", 31},           {"0x1F", 31},         {"x1f", 31},
      {"0X1f", 31},          {"-$10", -16},        {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN}, {"$FFFFFFFF", -1}, {"$7FFFFFFF", INT32_MAX},
      {"00012", 12},         {"0", 0},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Text);
    EXPECT_EQ(StrToInt(C.Text), C.Value);
  }
}

TEST(NumConvTest, StrToIntRejectsEverythingElse) {
  for (const char* Text : {"12 ", "", " ", "2147483648", "-2147483649", "$100000000", "1.5", "0x", "$",
                           "- 1", "--1", "1e3", "12a", "\xd9\xa3"}) {
    SCOPED_TRACE(Text);
    EXPECT_RAISES(StrToInt(Text), EConvertError,
                  QStringLiteral("'%1' is not a valid integer value").arg(QString::fromUtf8(Text)));
    Integer V = 99;
    EXPECT_FALSE(TryStrToInt(Text, V));
    EXPECT_EQ(StrToIntDef(Text, -3), -3);
  }
}

TEST(NumConvTest, Int64Limits) {
  EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(StrToInt64("$FFFFFFFFFFFFFFFF"), -1);
  EXPECT_EQ(StrToInt64("2147483648"), 2147483648);
  EXPECT_RAISES(StrToInt64("9223372036854775808"), EConvertError,
                "'9223372036854775808' is not a valid integer value");
  EXPECT_EQ(StrToInt64Def("$10000000000000000", 5), 5);
  Int64 V = 0;
  EXPECT_TRUE(TryStrToInt64(" -0x10", V));
  EXPECT_EQ(V, -16);
}

TEST(NumConvTest, ValGivesTheErrorPosition) {
  struct Case {
    const char* Text;
    int Code;
  } Cases[] = {
      {"123", 0}, {"12 ", 3}, {"", 1}, {"-", 2}, {"  z", 3}, {"99999999999", 10}, {"$G", 2},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Text);
    Integer V = 5;
    int Code = -1;
    Val(C.Text, V, Code);
    EXPECT_EQ(Code, C.Code);
    EXPECT_EQ(V, C.Code == 0 ? 123 : 0);
  }
  double D = 0;
  int Code = -1;
  Val("2.5E1", D, Code);
  EXPECT_EQ(Code, 0);
  EXPECT_EQ(D, 25);
  Val("2,5", D, Code);
  EXPECT_EQ(Code, 2);
  Val("1E", D, Code);
  EXPECT_EQ(Code, 3);
}

TEST(NumConvTest, IntToStrAndHex) {
  EXPECT_EQ(IntToStr(-2147483647 - 1), "-2147483648");
  EXPECT_EQ(IntToStr(INT64_MIN), "-9223372036854775808");
  EXPECT_EQ(IntToStr(4000000000u), "4000000000");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(0xABCDEF, 2), "ABCDEF");
  EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
  EXPECT_EQ(IntToHex(Int64(-2), 1), "FFFFFFFFFFFFFFFE");
  EXPECT_EQ(IntToHex(Byte(10), 0), "A");
}

// ---- floats

TEST(NumConvTest, FloatToStrIsTheFifteenDigitGeneralForm) {
  struct Case {
    double Value;
    const char* Text;
  } Cases[] = {
      {0.1 + 0.2, "0.3"},
      {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},
      {1e20, "1E20"},
      {1.5e-5, "1.5E-5"},
      {1e-5, "1E-5"},
      {0.0001, "0.0001"},
      {123456789012345.0, "123456789012345"},
      {999999999999999.0, "999999999999999"},
      {1e15, "1E15"},
      {9999999999999999.0, "1E16"},
      {-1.25, "-1.25"},
      {0.0, "0"},
      {-0.0, "0"},
      {1.005, "1.005"},
      {100, "100"},
      {-1.5e-300, "-1.5E-300"},
      {std::numeric_limits<double>::quiet_NaN(), "NAN"},
      {std::numeric_limits<double>::infinity(), "INF"},
      {-std::numeric_limits<double>::infinity(), "-INF"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Text);
    EXPECT_EQ(FloatToStr(C.Value), C.Text);
  }
  EXPECT_EQ(FloatToStr(2.5, commaSettings()), "2,5");
}

TEST(NumConvTest, FloatToStrF) {
  struct Case {
    double Value;
    TFloatFormat Format;
    int Precision, Digits;
    const char* Text;
  } Cases[] = {
      {5, ffFixed, 8, 1, "5.0"},
      {1.0 / 3, ffGeneral, 15, 0, "0.333333333333333"},
      {1e20, ffGeneral, 15, 2, "1E20"},
      {1.5e-5, ffGeneral, 15, 3, "1.5E-005"},
      {2.5, ffFixed, 15, 0, "3"},
      {-2.5, ffFixed, 15, 0, "-3"},
      {1.005, ffFixed, 15, 2, "1.01"},
      {-0.004, ffFixed, 15, 2, "0.00"},
      {1.23456, ffFixed, 3, 4, "1.2300"},
      {123456, ffFixed, 4, 2, "1.235E5"},
      {1234567.891, ffNumber, 15, 2, "1,234,567.89"},
      {-999.999, ffNumber, 15, 2, "-1,000.00"},
      {123, ffNumber, 15, 0, "123"},
      {1234.5, ffExponent, 4, 2, "1.235E+03"},
      {0.00012345, ffExponent, 3, 0, "1.23E-4"},
      {0, ffExponent, 3, 3, "0.00E+000"},
      {-1, ffExponent, 1, 1, "-1E+0"},
      {1234.5, ffCurrency, 15, 2, "\u00A41,234.50"},
      {-1234.5, ffCurrency, 15, 2, "(\u00A41,234.50)"},
      {-0.001, ffCurrency, 15, 2, "\u00A40.00"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Text);
    EXPECT_EQ(FloatToStrF(C.Value, C.Format, C.Precision, C.Digits), QString::fromUtf8(C.Text));
  }
}

TEST(NumConvTest, CurrencyLayoutsFollowTheSettings) {
  TFormatSettings S = commaSettings();
  S.CurrencyString = QStringLiteral("р.");
  struct Case {
    Byte CurrencyFormat, NegCurrFormat;
    double Value;
    const char* Text;
  } Cases[] = {
      {0, 0, 5, "р.5,00"},       {1, 0, 5, "5,00р."},        {2, 0, 5, "р. 5,00"},
      {3, 0, 5, "5,00 р."},      {3, 1, -5, "-р.5,00"},      {3, 5, -5, "-5,00р."},
      {3, 8, -5, "-5,00 р."},    {3, 12, -5, "р. -5,00"},    {3, 15, -5, "(5,00 р.)"},
      {3, 3, -1234, "р.1 234,00-"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Text);
    S.CurrencyFormat = C.CurrencyFormat;
    S.NegCurrFormat = C.NegCurrFormat;
    EXPECT_EQ(FloatToStrF(C.Value, ffCurrency, 15, 2, S), QString::fromUtf8(C.Text));
  }
}

TEST(NumConvTest, StrPadsOnTheLeftAndAlwaysWritesAPoint) {
  TFormatSettingsScope Scope;
  FormatSettings() = commaSettings();
  EXPECT_EQ(Str(12.34, 4, 1), "12.3");
  EXPECT_EQ(Str(2.25, 6, 1), "   2.3");
  EXPECT_EQ(Str(-0.04, 5, 1), "  0.0");
  EXPECT_EQ(Str(1234567.0, 3, 0), "1234567");
  EXPECT_EQ(Str(1e20, 0, 1), "100000000000000000000.0");
}

TEST(NumConvTest, StrToFloat) {
  struct Case {
    const char* Text;
    double Value;
  } Cases[] = {
      {"1.5", 1.5}, {"  -1.5  ", -1.5}, {"+.5", 0.5}, {"5.", 5}, {"1E3", 1000}, {"1.5e-2", 0.015},
      {"1e-400", 0}, {"0.1", 0.1}, {"00", 0}, {"1234567890123456789", 1234567890123456789.0},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Text);
    EXPECT_EQ(StrToFloat(C.Text), C.Value);
  }
  for (const char* Text : {"", ".", "1,5", "1,000.5", "1E", "1e+", "abc", "1.5x", "1E400", "- 1", "NAN"}) {
    SCOPED_TRACE(Text);
    EXPECT_RAISES(StrToFloat(Text), EConvertError,
                  QStringLiteral("'%1' is not a valid floating point value").arg(Text));
    EXPECT_EQ(StrToFloatDef(Text, 7.5), 7.5);
  }
  double V = 0;
  EXPECT_FALSE(TryStrToFloat("1.5", V, commaSettings()));
  EXPECT_TRUE(TryStrToFloat("1,5", V, commaSettings()));
  EXPECT_EQ(V, 1.5);
}

// ---- FormatFloat

TEST(NumConvTest, FormatFloatMasks) {
  struct Case {
    const char* Mask;
    double Value;
    const char* Text;
  } Cases[] = {
      {"00", 5, "05"},
      {"#,##0.00", 1234567.891, "1,234,567.89"},
      {"#,##0.00", 5, "5.00"},
      {"#,##0.00", -1234.5, "-1,234.50"},
      {"0.####", 1.5, "1.5"},
      {"0.####", 2, "2"},
      {"0.00##", 1.5, "1.50"},
      {"0", 2.5, "3"},
      {"0", -2.5, "-3"},
      {"0", -0.4, "0"},
      {"0.00", 1.005, "1.01"},
      {"0.00", -0.001, "0.00"},
      {"0;(0);zero", -5, "(5)"},
      {"0;(0);zero", 0, "zero"},
      {"0;(0);zero", 5, "5"},
      {"0;;zero", -5, "-5"},
      {"0;(0)", 0, "0"},
      {"0.0E+00", 12345, "1.2E+04"},
      {"0.0E+00", 0.00012345, "1.2E-04"},
      {"0.0E-00", 12345, "1.2E04"},
      {"0.0e-0", 0.00012345, "1.2e-4"},
      {"00.0E+0", 12345, "12.3E+3"},
      {"0.00E+00", 0, "0.00E+00"},
      {"#,##0.###", 1234.56789, "1,234.568"},
      {"##0.## %", 12.5, "12.5 %"},
      {"0%", 45.5, "46%"},
      {"'#'0", 7, "#7"},
      {"\"x;y\"0;n", -3, "n"},
      {"#", 0, ""},
      {"#.##", 0.5, ".5"},
      {".00", 12.5, "12.50"},
      {"0,000", 5, "0,005"},
      {"#,#", 1234567, "1,234,567"},
      {"(###) ###-####", 5551234567.0, "(555) 123-4567"},
      {"0", 1e20, "100000000000000000000"},
      {"", 1.5, "1.5"},
      {"0", std::numeric_limits<double>::infinity(), "INF"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Mask);
    EXPECT_EQ(FormatFloat(C.Mask, C.Value), C.Text);
  }
  EXPECT_EQ(FormatFloat("#,##0.00", 1234.5, commaSettings()), "1 234,50");
}

// ---- booleans

TEST(NumConvTest, Booleans) {
  EXPECT_EQ(BoolToStr(true), "-1");
  EXPECT_EQ(BoolToStr(false), "0");
  EXPECT_EQ(BoolToStr(true, true), "True");
  EXPECT_EQ(BoolToStr(false, true), "False");
  struct Case {
    const char* Text;
    bool Value;
  } Cases[] = {{"true", true}, {"FALSE", false}, {"-1", true}, {"0", false}, {"2", true}, {"0.0", false},
               {" 0.5 ", true}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Text);
    EXPECT_EQ(StrToBool(C.Text), C.Value);
  }
  for (const char* Text : {"", "yes", "Truex", "T"}) {
    SCOPED_TRACE(Text);
    EXPECT_RAISES(StrToBool(Text), EConvertError, QStringLiteral("'%1' is not a valid boolean value").arg(Text));
  }
}

// ---- currency

TEST(NumConvTest, CurrencyText) {
  EXPECT_EQ(CurrToStr(Currency(1.5)), "1.5");
  EXPECT_EQ(CurrToStr(Currency::MaxValue()), "922337203685477.5807");
  EXPECT_EQ(CurrToStr(Currency::MinValue()), "-922337203685477.5808");
  EXPECT_EQ(CurrToStr(Currency::FromRaw(1)), "0.0001");
  EXPECT_EQ(CurrToStr(Currency()), "0");
  EXPECT_EQ(CurrToStr(Currency(2.5), commaSettings()), "2,5");
  EXPECT_EQ(CurrToStrF(Currency::FromRaw(1250), ffFixed, 2), "0.13");
  EXPECT_EQ(CurrToStrF(Currency::MaxValue(), ffNumber, 4), "922,337,203,685,477.5807");
  EXPECT_EQ(CurrToStrF(Currency(-3), ffCurrency, 1), "(\u00A43.0)");

  EXPECT_EQ(StrToCurr("922337203685477.5807"), Currency::MaxValue());
  EXPECT_EQ(StrToCurr(" -1.00005 ").Raw(), -10000);
  EXPECT_EQ(StrToCurr("1.00015").Raw(), 10002);
  EXPECT_EQ(StrToCurr("1,5", commaSettings()).Raw(), 15000);
  for (const char* Text : {"922337203685477.5808", "1,5", "", "1e15"}) {
    SCOPED_TRACE(Text);
    EXPECT_RAISES(StrToCurr(Text), EConvertError,
                  QStringLiteral("'%1' is not a valid floating point value").arg(Text));
  }
  Currency C;
  EXPECT_TRUE(TryStrToCurr("1E-5", C));
  EXPECT_EQ(C, Currency());
}

}  // namespace
