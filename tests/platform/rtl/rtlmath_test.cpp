#include "platform/rtl/rtlmath.h"

#include "platform/rtl/exceptions.h"
#include "tests/support/testing.h"

#include <cmath>
#include <limits>

namespace {

constexpr Integer IntMax = std::numeric_limits<Integer>::max();
constexpr Integer IntMin = std::numeric_limits<Integer>::min();

TEST(RoundTest, HalvesGoToEven) {
  struct Case {
    double Input;
    Int64 Expected;
  } Cases[] = {
      {0.5, 0},   {1.5, 2},   {2.5, 2},   {-2.5, -2}, {22.5, 22}, {-0.5, 0},
      {3.5, 4},   {-1.5, -2}, {2.4, 2},   {2.6, 3},   {-2.6, -3}, {0.49999999999999994, 0},
      {4503599627370497.0, 4503599627370497},  // 2^52 + 1: no fraction bits left
      {-9223372036854775808.0, std::numeric_limits<Int64>::min()},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Input);
    EXPECT_EQ(Round(C.Input), C.Expected);
  }
}

TEST(RoundTest, ValuesOutsideInt64Raise) {
  EXPECT_RAISES(Round(9223372036854775808.0), EInvalidOp, "Invalid floating point operation");
  EXPECT_RAISES(Round(std::nan("")), EInvalidOp, "Invalid floating point operation");
  EXPECT_RAISES(Trunc(-INFINITY), EInvalidOp, "Invalid floating point operation");
  EXPECT_RAISES(Ceil(2147483647.5), EInvalidOp, "Invalid floating point operation");
  EXPECT_RAISES(Floor(-2147483648.5), EInvalidOp, "Invalid floating point operation");
  EXPECT_EQ(Ceil(2147483646.5), IntMax);
  EXPECT_EQ(Floor(-2147483647.5), IntMin);
}

TEST(RoundTest, TruncIntFracCeilFloor) {
  EXPECT_EQ(Trunc(-2.7), -2);
  EXPECT_EQ(Trunc(2.7), 2);
  EXPECT_EQ(Int(-2.7), -2.0);
  EXPECT_DOUBLE_EQ(Frac(-1.25), -0.25);
  EXPECT_DOUBLE_EQ(Frac(1.25), 0.25);
  EXPECT_EQ(Ceil(-1.5), -1);
  EXPECT_EQ(Ceil(1.0), 1);
  EXPECT_EQ(Ceil(1.000001), 2);
  EXPECT_EQ(Floor(-1.5), -2);
  EXPECT_EQ(Floor(1.999999), 1);
}

TEST(MulDivTest, RoundsHalvesAwayFromZeroAndAnswersMinusOne) {
  struct Case {
    const char* Name;
    Integer A, B, C, Expected;
  } Cases[] = {
      {"96 to 144 dpi", 11, 144, 96, 17},
      {"negative numerator", -11, 144, 96, -17},
      {"negative divisor", 11, 144, -96, -17},
      {"both negative", -11, 144, -96, 17},
      {"half up", 1, 1, 2, 1},
      {"half down", -1, 1, 2, -1},
      {"below half", 1, 1, 3, 0},
      {"zero divisor", 5, 1, 0, -1},
      {"overflow", IntMax, 2, 1, -1},
      {"largest", IntMax, 1, 1, IntMax},
      {"smallest", IntMin, 1, 1, IntMin},
      {"just past the smallest", IntMin, -1, 1, -1},
      {"64-bit intermediate", IntMax, IntMax, IntMax, IntMax},
      {"64-bit intermediate, negative", IntMin, IntMin, IntMin, IntMin},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(MulDiv(C.A, C.B, C.C), C.Expected);
  }
}

TEST(MulDivTest, ScalingColumnEdgesKeepsTheTotal) {
  const Integer Widths[] = {11, 11, 11};
  Integer Edge = 0, Scaled = 0, Total = 0;
  std::vector<Integer> Result;
  for (Integer W : Widths) {
    Edge += W;
    const Integer Next = MulDiv(Edge, 144, 96);
    Result.push_back(Next - Scaled);
    Scaled = Next;
    Total += Result.back();
  }
  EXPECT_EQ(Result, (std::vector<Integer>{17, 16, 17}));
  EXPECT_EQ(Total, 50);
}

TEST(SameValueTest, DefaultToleranceIsRelativeWithAFloor) {
  struct Case {
    const char* Name;
    double A, B, Epsilon;
    bool Expected;
  } Cases[] = {
      {"equal", 1.5, 1.5, 0, true},
      {"inside relative", 1, 1 + 1e-13, 0, true},
      {"outside relative", 1, 1 + 1e-11, 0, false},
      {"floor at zero", 0, 1e-12, 0, true},
      {"past the floor", 0, 2e-12, 0, false},
      {"large inside", 1e6, 1e6 + 1e-7, 0, true},
      {"large outside", 1e6, 1e6 + 1e-5, 0, false},
      {"smaller value sets the scale", 1e-3, 1e6, 0, false},
      {"explicit inside", 1, 1.1, 0.2, true},
      {"explicit outside", 1, 1.3, 0.2, false},
      {"order does not matter", 1.3, 1, 0.2, false},
      {"NaN", std::nan(""), std::nan(""), 0, false},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(SameValue(C.A, C.B, C.Epsilon), C.Expected);
  }
  EXPECT_TRUE(IsZero(1e-12));
  EXPECT_FALSE(IsZero(2e-12));
  EXPECT_TRUE(IsZero(-0.05, 0.1));
}

TEST(MathTest, SignsPredicatesAndMixedMinMax) {
  EXPECT_EQ(Sign(-5), -1);
  EXPECT_EQ(Sign(Int64(0)), 0);
  EXPECT_EQ(Sign(0.1), 1);
  EXPECT_EQ(Sign(-0.0), 0);
  EXPECT_TRUE(IsNan(std::nan("")));
  EXPECT_TRUE(IsInfinite(-INFINITY));
  EXPECT_FALSE(IsInfinite(1e308));

  static_assert(std::is_same_v<decltype(Max(Round(2.5), 5)), Int64>);
  static_assert(std::is_same_v<decltype(Min(1, 2.5)), double>);
  static_assert(std::is_same_v<decltype(Min(Cardinal(1), -1)), Int64>);
  EXPECT_EQ(Max(Round(2.5), 5), 5);
  EXPECT_EQ(Min(Cardinal(4000000000u), -1), -1);
  EXPECT_EQ(Min(3, 2.5), 2.5);
  EXPECT_EQ(Max(-3, -7), -3);

  EXPECT_EQ(Power(0, 0), 1.0);
  EXPECT_EQ(Power(2, 0.5), std::sqrt(2.0));
  EXPECT_EQ(IntPower(-2, 3), -8.0);
  EXPECT_EQ(IntPower(2, -2), 0.25);
  EXPECT_EQ(Log10(1000), 3.0);
  EXPECT_DOUBLE_EQ(ArcTan2(1, -1), 3 * std::atan(1.0));
}

TEST(RandomTest, FixedSeedGivesTheSameSequence) {
  RandSeed = 42;
  const Integer Ranges[] = {100, 100, 100, 7774444, 1, 2};
  std::vector<Integer> Drawn;
  for (Integer N : Ranges) Drawn.push_back(Random(N));
  EXPECT_EQ(Drawn, (std::vector<Integer>{31, 87, 20, 1219605, 0, 1}));
  EXPECT_EQ(RandSeed, -656261444);  // the state wraps into the sign bit

  RandSeed = -1;
  EXPECT_DOUBLE_EQ(Random(), 4160191484.0 / 4294967296.0);
}

TEST(RandomTest, StaysInRange) {
  RandSeed = 7;
  for (int I = 0; I < 10000; ++I) {
    const Integer R = Random(10);
    ASSERT_GE(R, 0);
    ASSERT_LT(R, 10);
    const double D = Random();
    ASSERT_GE(D, 0.0);
    ASSERT_LT(D, 1.0);
  }
  EXPECT_EQ(Random(0), 0);
  RandSeed = 0x7FFFFFFF;
  EXPECT_LT(Random(IntMax), IntMax);
}

}  // namespace
