#include "platform/rtl/bcd.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/formatsettings.h"
#include "tests/support/testing.h"

#include <cmath>
#include <limits>

namespace {

TBcd bcd(const char* S) { return StrToBcd(QString::fromLatin1(S)); }
String str(const TBcd& B) { return BcdToStr(B); }

const String Nines38 = QStringLiteral("99999999999999999999999999999999999999");

TEST(BcdTest, TextRoundTripsAndPrecisionScale) {
  struct Case {
    const char* Input;
    const char* Text;
    int Precision, Scale;
  } Cases[] = {
      {"0", "0", 1, 0},
      {"-0", "0", 1, 0},
      {"-0.00", "0", 2, 2},
      {"1.50", "1.5", 3, 2},
      {"  -12.345\t", "-12.345", 5, 3},
      {"0.05", "0.05", 2, 2},
      {".5", "0.5", 1, 1},
      {"5.", "5", 1, 0},
      {"+100", "100", 3, 0},
      {"1E3", "1000", 4, 0},
      {"1.5e-5", "0.000015", 6, 6},
      {"99999999999999999999999999999999999999", "99999999999999999999999999999999999999", 38, 0},
      {"-0.00000000000000000000000000000000000001", "-0.00000000000000000000000000000000000001", 38,
       38},
      // past 38 decimals or digits the value is rounded half away from zero
      {"0.000000000000000000000000000000000000004", "0", 38, 38},
      {"0.000000000000000000000000000000000000005", "0.00000000000000000000000000000000000001", 38,
       38},
      {"12345678901234567890.1234567890123456789", "12345678901234567890.123456789012345679", 38,
       18},
      {"9999999999999999999999999999999999999.95", "10000000000000000000000000000000000000", 38, 0},
      {"00000000000000000000000000000000000000000001.5", "1.5", 2, 1},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Input);
    const TBcd B = bcd(C.Input);
    EXPECT_EQ(str(B), QString::fromLatin1(C.Text));
    EXPECT_EQ(BcdPrecision(B), C.Precision);
    EXPECT_EQ(BcdScale(B), C.Scale);
    EXPECT_EQ(str(StrToBcd(str(B))), str(B));
  }
}

TEST(BcdTest, BadTextAndTooManyDigits) {
  for (const char* Bad : {"", "  ", "1.2.3", "1,5", "abc", "1e", "--1", "1 2", "-", ".", "1e+"}) {
    SCOPED_TRACE(Bad);
    TBcd B = bcd("7");
    EXPECT_FALSE(TryStrToBcd(QString::fromLatin1(Bad), B));
    EXPECT_EQ(str(B), QStringLiteral("7"));
  }
  EXPECT_RAISES(bcd("1,5"), EBcdException, "'1,5' is not a valid BCD value");
  EXPECT_RAISES(StrToBcd(Nines38 + u'9'), EBcdOverflowException, "BCD overflow");
  EXPECT_RAISES(bcd("99999999999999999999999999999999999999.5"), EBcdOverflowException,
                "BCD overflow");
  EXPECT_RAISES(bcd("1E38"), EBcdOverflowException, "BCD overflow");
  EXPECT_RAISES(bcd("1E999999999999"), EBcdOverflowException, "BCD overflow");
  EXPECT_EQ(str(bcd("1E-999999999999")), QStringLiteral("0"));

  TFormatSettings Comma = TFormatSettings::Invariant();
  Comma.DecimalSeparator = u',';
  EXPECT_EQ(str(StrToBcd(QStringLiteral("2,5"), Comma)), QStringLiteral("2.5"));
  TBcd B;
  EXPECT_FALSE(TryStrToBcd(QStringLiteral("2.5"), B, Comma));
}

TEST(BcdTest, Arithmetic) {
  struct Case {
    const char *A, *Op, *B, *Expected;
  } Cases[] = {
      {"0.1", "+", "0.2", "0.3"},
      {"-5", "+", "3.25", "-1.75"},
      {"1", "-", "1.000", "0"},
      {"-1", "-", "-1", "0"},
      {"2", "-", "5.5", "-3.5"},
      {"1E37", "+", "1E-37", "10000000000000000000000000000000000000"},
      {"0.5", "*", "0.5", "0.25"},
      {"-1.5", "*", "2", "-3"},
      {"-1.5", "*", "-0.2", "0.3"},
      {"1E-20", "*", "1E-20", "0"},
      {"1E-20", "*", "5E-19", "0.00000000000000000000000000000000000001"},
      {"1", "/", "3", "0.33333333333333333333"},
      {"2", "/", "3", "0.66666666666666666667"},
      {"1", "/", "7", "0.14285714285714285714"},
      {"1", "/", "4", "0.25"},
      {"-1", "/", "8", "-0.125"},
      {"10", "/", "0.1", "100"},
      {"0", "/", "-3", "0"},
      {"-1", "/", "2E20", "-0.00000000000000000001"},
      {"1", "/", "3E20", "0"},
      {"1E-30", "/", "1", "0.000000000000000000000000000001"},
      {"99999999999999999999999999999.999999999", "/", "0.3",
       "333333333333333333333333333333.33333333"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(std::string(C.A) + " " + C.Op + " " + C.B);
    const TBcd A = bcd(C.A), B = bcd(C.B);
    const char Op = C.Op[0];
    const TBcd R = Op == '+' ? A + B : Op == '-' ? A - B : Op == '*' ? A * B : A / B;
    EXPECT_EQ(str(R), QString::fromLatin1(C.Expected));
  }
  EXPECT_EQ(BcdScale(bcd("1.50") + bcd("2.5")), 2);
  EXPECT_EQ(BcdScale(bcd("1.50") * bcd("2.5")), 3);
  EXPECT_EQ(str(-bcd("2.5")), QStringLiteral("-2.5"));
}

TEST(BcdTest, OverflowAndDivisionByZero) {
  const TBcd Max = StrToBcd(Nines38);
  EXPECT_RAISES(Max + bcd("1"), EBcdOverflowException, "BCD overflow");
  EXPECT_RAISES(-Max - bcd("0.5"), EBcdOverflowException, "BCD overflow");
  EXPECT_RAISES(bcd("99999999999999999999") * bcd("99999999999999999999"), EBcdOverflowException,
                "BCD overflow");
  EXPECT_RAISES(bcd("1E37") / bcd("0.1"), EBcdOverflowException, "BCD overflow");
  EXPECT_RAISES(Max / bcd("0.00000000000000000000000000000000000001"), EBcdOverflowException,
                "BCD overflow");
  EXPECT_RAISES(bcd("1") / bcd("0.000"), EZeroDivide, "Floating point division by zero");
  EXPECT_EQ(str(Max + bcd("0.4")), Nines38);  // the fraction rounds away, the integer stays
}

TEST(BcdTest, CompareByValue) {
  struct Case {
    const char *A, *B;
    int Expected;
  } Cases[] = {
      {"1.5", "1.50", 0},
      {"-0", "0.000", 0},
      {"-1", "0", -1},
      {"0.1", "0.09", 1},
      {"-2", "-10", 1},
      {"0.00000000000000000000000000000000000001", "0", 1},
      {"99999999999999999999999999999999999999", "9999999999999999999999999999999999999.9", 1},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(std::string(C.A) + " vs " + C.B);
    EXPECT_EQ(BcdCompare(bcd(C.A), bcd(C.B)), C.Expected);
    EXPECT_EQ(BcdCompare(bcd(C.B), bcd(C.A)), -C.Expected);
  }
  EXPECT_TRUE(bcd("1.5") == bcd("1.50"));
  EXPECT_TRUE(bcd("-3") < bcd("2"));
  EXPECT_TRUE(bcd("2.01") >= bcd("2"));
}

TEST(BcdTest, IntegersAndDoubles) {
  EXPECT_EQ(str(IntegerToBcd(std::numeric_limits<Integer>::min())), QStringLiteral("-2147483648"));
  EXPECT_EQ(str(Int64ToBcd(std::numeric_limits<Int64>::min())),
            QStringLiteral("-9223372036854775808"));

  struct ToInt {
    const char* Input;
    bool Truncate;
    Int64 Expected;
  } Ints[] = {
      {"2.5", false, 3},
      {"-2.5", false, -3},
      {"2.5", true, 2},
      {"-2.9", true, -2},
      {"0.49", false, 0},
      {"2147483647.4", false, 2147483647},
      {"-2147483648.4", false, std::numeric_limits<Integer>::min()},
  };
  for (const ToInt& C : Ints) {
    SCOPED_TRACE(C.Input);
    EXPECT_EQ(BcdToInteger(bcd(C.Input), C.Truncate), C.Expected);
  }
  EXPECT_RAISES(BcdToInteger(bcd("2147483647.5")), EBcdOverflowException, "BCD overflow");
  EXPECT_EQ(BcdToInt64(bcd("-9223372036854775808")), std::numeric_limits<Int64>::min());
  EXPECT_RAISES(BcdToInt64(bcd("9223372036854775808")), EBcdOverflowException, "BCD overflow");

  struct FromDouble {
    double Input;
    const char* Text;
  } Doubles[] = {
      {0.1, "0.1"},
      {0.1 + 0.2, "0.3"},
      {1.0 / 3, "0.333333333333333"},
      {1e20, "100000000000000000000"},
      {-2.5e-5, "-0.000025"},
      {-0.0, "0"},
  };
  for (const FromDouble& C : Doubles) {
    SCOPED_TRACE(C.Text);
    EXPECT_EQ(str(DoubleToBcd(C.Input)), QString::fromLatin1(C.Text));
  }
  EXPECT_RAISES(DoubleToBcd(std::nan("")), EBcdOverflowException, "BCD overflow");
  EXPECT_RAISES(DoubleToBcd(1e38), EBcdOverflowException, "BCD overflow");
  // the same value, scale and precision as reading FloatToStr's text
  for (double V : {0.0, 1.0, 1.5, -7.25, 123456.789, 1e-20, 9.99999999999999e37, 1234567890123456789.0,
                   0.1 + 0.7, 3.0e15, 2.0 / 3}) {
    SCOPED_TRACE(V);
    const TBcd Fast = DoubleToBcd(V), Text = StrToBcd(FloatToStr(V));
    EXPECT_EQ(BcdCompare(Fast, Text), 0);
    EXPECT_EQ(Fast.Scale, Text.Scale);
    EXPECT_EQ(Fast.Precision, Text.Precision);
  }

  EXPECT_EQ(BcdToDouble(bcd("0.1")), 0.1);
  EXPECT_EQ(BcdToDouble(bcd("-12345678901234567890.123456789012345678")),
            -12345678901234567890.123456789012345678);
  EXPECT_EQ(BcdToDouble(bcd("0")), 0.0);
}

TEST(BcdTest, CurrencyInAndOutOfRange) {
  const TBcd FromCurr = CurrencyToBcd(Currency::FromRaw(-12345));
  EXPECT_EQ(str(FromCurr), QStringLiteral("-1.2345"));
  EXPECT_EQ(BcdScale(FromCurr), 4);

  struct Case {
    const char* Input;
    bool InRange;
    Int64 Raw;
  } Cases[] = {
      {"922337203685477.5807", true, std::numeric_limits<Int64>::max()},
      {"-922337203685477.5808", true, std::numeric_limits<Int64>::min()},
      {"922337203685477.5808", false, 0},
      {"1E20", false, 0},
      {"0.00005", true, 0},  // Currency rounds half to even
      {"0.00015", true, 2},
      {"-1.23456", true, -12346},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Input);
    Currency Curr = Currency::FromRaw(99);
    EXPECT_EQ(BcdToCurr(bcd(C.Input), Curr), C.InRange);
    EXPECT_EQ(Curr.Raw(), C.InRange ? C.Raw : 99);
  }
}

TEST(BcdTest, FormattedText) {
  struct Case {
    const char* Input;
    TFloatFormat Format;
    int Precision, Digits;
    const char* Expected;
  } Cases[] = {
      {"1234.5", ffFixed, 15, 2, "1234.50"},
      {"1234.5", ffNumber, 15, 2, "1,234.50"},
      {"1234.5", ffGeneral, 15, 0, "1234.5"},
      {"1.005", ffFixed, 15, 2, "1.01"},
      {"-0.001", ffFixed, 15, 2, "0.00"},
      // more digits than a double's 15: rounded from the exact value
      {"5.274078790973714999999999", ffGeneral, 15, 0, "5.27407879097371"},
      {"12345678901234567890", ffGeneral, 15, 0, "1.23456789012346E19"},
      {"0.123456789012345678", ffGeneral, 38, 0, "0.123456789012346"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Input);
    EXPECT_EQ(BcdToStrF(bcd(C.Input), C.Format, C.Precision, C.Digits),
              QString::fromLatin1(C.Expected));
  }
  EXPECT_EQ(FormatBcd(QStringLiteral("#,##0.00"), bcd("1234567.891")),
            QStringLiteral("1,234,567.89"));
  EXPECT_EQ(FormatBcd(QStringLiteral("0;(0);zero"), bcd("-5")), QStringLiteral("(5)"));

  TFormatSettings Ru = TFormatSettings::Invariant();
  Ru.DecimalSeparator = u',';
  Ru.ThousandSeparator = u' ';
  EXPECT_EQ(FormatBcd(QStringLiteral("#,##0.00"), bcd("1234.5"), Ru), QStringLiteral("1 234,50"));
  EXPECT_EQ(BcdToStrF(bcd("2.5"), ffGeneral, 15, 0, Ru), QStringLiteral("2,5"));
  EXPECT_EQ(BcdToStr(bcd("2.5")), QStringLiteral("2.5"));  // always '.'
}

}  // namespace
