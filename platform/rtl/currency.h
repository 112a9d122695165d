// Currency: a fixed-point amount, a 64-bit integer scaled by 10^4.
//
// Amounts keep exactly four decimals, so sums of money never drift.  Every
// result that needs more decimals (products, quotients, doubles) is rounded
// half to even at the fourth.  Overflow raises: + and - (and unary -) raise
// EIntOverflow "Integer overflow"; conversions, * and / raise EOverflow
// "Floating point overflow"; division by zero raises EZeroDivide.
#pragma once

#include "platform/rtl/system.h"

#include <compare>
#include <concepts>
#include <string_view>

class Currency {
public:
  static constexpr Int64 Scale = 10000;

  constexpr Currency() = default;
  // Whole units, exact; out of range raises EOverflow.
  template <std::integral T>
    requires(!std::same_as<T, bool>)
  Currency(T Units) : FRaw(fromUnits(Units)) {}
  // Rounds the value's shortest decimal form half to even at four decimals,
  // so 0.00005 gives 0 and 0.00015 gives 0.0002; NaN, infinities and
  // out-of-range values raise EOverflow.
  explicit Currency(double Value);

  // The scaled integer: FromRaw(12345) is 1.2345.
  static constexpr Currency FromRaw(Int64 Raw) {
    Currency C;
    C.FRaw = Raw;
    return C;
  }
  constexpr Int64 Raw() const { return FRaw; }
  double ToDouble() const;
  // The decimal Digits (ASCII '0'..'9', any count) times 10^Exponent, rounded
  // half to even at four decimals; false when out of range.  Exact for any
  // length of text, unlike a detour through double.
  static bool TryFromDecimal(bool Negative, std::string_view Digits, int Exponent, Currency& Result);

  // Limits: -922337203685477.5808 .. 922337203685477.5807.
  static constexpr Currency MinValue() { return FromRaw(INT64_MIN); }
  static constexpr Currency MaxValue() { return FromRaw(INT64_MAX); }

  // arithmetic
  friend Currency operator+(Currency A, Currency B);
  friend Currency operator-(Currency A, Currency B);
  friend Currency operator*(Currency A, Currency B);
  friend Currency operator/(Currency A, Currency B);
  Currency operator-() const;
  Currency operator+() const { return *this; }
  Currency& operator+=(Currency B) { return *this = *this + B; }
  Currency& operator-=(Currency B) { return *this = *this - B; }
  Currency& operator*=(Currency B) { return *this = *this * B; }
  Currency& operator/=(Currency B) { return *this = *this / B; }

  // comparison
  friend constexpr bool operator==(Currency A, Currency B) = default;
  friend constexpr std::strong_ordering operator<=>(Currency A, Currency B) = default;

private:
  static Int64 fromUnits(Int64 Units);
  static Int64 fromUnits(UInt64 Units);
  template <std::integral T>
  static Int64 fromUnits(T Units) {
    if constexpr (std::is_signed_v<T>)
      return fromUnits(static_cast<Int64>(Units));
    else
      return fromUnits(static_cast<UInt64>(Units));
  }

  Int64 FRaw = 0;
};
