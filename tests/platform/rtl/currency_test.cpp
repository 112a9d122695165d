#include "platform/rtl/currency.h"

#include "platform/rtl/exceptions.h"
#include "tests/support/testing.h"

#include <limits>

namespace {

TEST(CurrencyTest, FromDoubleRoundsTheDecimalFormHalfToEven) {
  struct Case {
    double Value;
    Int64 Raw;
  } Cases[] = {
      {1.5, 15000},          {0.00005, 0},         {0.00015, 2},       {0.00025, 2},
      {-0.00015, -2},        {-0.00025, -2},       {1.23456, 12346},   {0.000049999, 0},
      {2.675, 26750},        {1e-300, 0},          {0.1 + 0.2, 3000},  {922337203685477.0, 9223372036854770000},
      {-922337203685477.0, -9223372036854770000},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Value);
    EXPECT_EQ(Currency(C.Value).Raw(), C.Raw);
  }
}

TEST(CurrencyTest, OutOfRangeRaises) {
  EXPECT_RAISES(Currency(922337203685478.0), EOverflow, "Floating point overflow");
  EXPECT_RAISES(Currency(-1e300), EOverflow, "Floating point overflow");
  EXPECT_RAISES(static_cast<void>(Currency(std::numeric_limits<double>::quiet_NaN())), EOverflow, "Floating point overflow");
  EXPECT_RAISES(Currency(Int64(922337203685478)), EOverflow, "Floating point overflow");
  EXPECT_RAISES(Currency(UInt64(-1)), EOverflow, "Floating point overflow");
  EXPECT_EQ(Currency(Int64(-922337203685477)).Raw(), -9223372036854770000);
  EXPECT_RAISES(Currency::MaxValue() + Currency::FromRaw(1), EIntOverflow, "Integer overflow");
  EXPECT_RAISES(Currency::MinValue() - Currency::FromRaw(1), EIntOverflow, "Integer overflow");
  EXPECT_RAISES(-Currency::MinValue(), EIntOverflow, "Integer overflow");
  EXPECT_RAISES(Currency::MaxValue() * 2, EOverflow, "Floating point overflow");
  EXPECT_RAISES(Currency(1) / Currency(), EZeroDivide, "Floating point division by zero");
}

TEST(CurrencyTest, ProductsAndQuotientsKeepFourDecimalsHalfToEven) {
  struct Case {
    Int64 A, B, Product, Quotient;
  } Cases[] = {
      // raw values: 1.0000 is 10000
      {15000, 10000, 15000, 15000},
      {5, 5000, 2, 10},            // 0.0005 * 0.5 = 0.00025 -> 0.0002
      {15, 5000, 8, 30},           // 0.0015 * 0.5 = 0.00075 -> 0.0008
      {-5, 5000, -2, -10},
      {10000, 30000, 30000, 3333},  // 1 / 3 = 0.33333
      {20000, 30000, 60000, 6667},  // 2 / 3 = 0.66667
      {-20000, 30000, -60000, -6667},
      {1, 20000, 2, 0},             // 0.0001 / 2 = 0.00005 -> 0
      {3, 20000, 6, 2},             // 0.0003 / 2 = 0.00015 -> 0.0002
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.A);
    const Currency A = Currency::FromRaw(C.A), B = Currency::FromRaw(C.B);
    EXPECT_EQ((A * B).Raw(), C.Product);
    EXPECT_EQ((A / B).Raw(), C.Quotient);
  }
}

TEST(CurrencyTest, IntegersSumsAndComparisons) {
  Currency C = 7;
  C += Currency(0.25);
  C -= 2;
  EXPECT_EQ(C.Raw(), 52500);
  EXPECT_DOUBLE_EQ(C.ToDouble(), 5.25);
  EXPECT_TRUE(C > 5);
  EXPECT_TRUE(Currency(-1) < Currency());
  EXPECT_EQ(Currency(Byte(200)) * Currency(0.5), 100);
  EXPECT_EQ(Currency::MaxValue().Raw(), INT64_MAX);
}

TEST(CurrencyTest, FromDecimalIsExactForLongTexts) {
  struct Case {
    const char* Digits;
    int Exponent;
    bool Ok;
    Int64 Raw;
  } Cases[] = {
      {"9223372036854775807", -4, true, INT64_MAX},
      {"9223372036854775808", -4, false, 0},
      {"92233720368547758074999", -8, true, INT64_MAX},
      {"00012345", -4, true, 12345},
      {"123455000000000000000000001", -26, true, 12346},
      {"123450000000000000000000000", -26, true, 12345},
      {"1", 14, true, 1000000000000000000},
      {"1", 15, false, 0},
      {"5", -5, true, 0},
      {"6", -5, true, 1},
      {"9", -6, true, 0},
      {"000", 400, true, 0},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Digits);
    Currency R = 99;
    EXPECT_EQ(Currency::TryFromDecimal(false, C.Digits, C.Exponent, R), C.Ok);
    if (C.Ok) {
      EXPECT_EQ(R.Raw(), C.Raw);
    }
  }
  Currency R;
  EXPECT_TRUE(Currency::TryFromDecimal(true, "9223372036854775808", -4, R));
  EXPECT_EQ(R, Currency::MinValue());
}

}  // namespace
