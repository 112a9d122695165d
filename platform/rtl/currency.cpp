#include "platform/rtl/currency.h"

#include "platform/rtl/exceptions.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

using Int128 = __int128;

[[noreturn]] void raiseFloatOverflow() { throw EOverflow(QStringLiteral("Floating point overflow")); }

[[noreturn]] void raiseIntOverflow() { throw EIntOverflow(QStringLiteral("Integer overflow")); }

Int64 checkedRaw(Int128 Raw) {
  if (Raw < INT64_MIN || Raw > INT64_MAX) raiseFloatOverflow();
  return static_cast<Int64>(Raw);
}

// N / D rounded half to even; D != 0.
Int128 divideHalfEven(Int128 N, Int128 D) {
  if (D < 0) {
    N = -N;
    D = -D;
  }
  Int128 Q = N / D;
  Int128 R = N % D;  // same sign as N
  Int128 Twice = 2 * (R < 0 ? -R : R);
  if (Twice > D || (Twice == D && Q % 2 != 0)) Q += R < 0 ? -1 : 1;
  return Q;
}

}  // namespace

Int64 Currency::fromUnits(Int64 Units) { return checkedRaw(Int128(Units) * Scale); }

Int64 Currency::fromUnits(UInt64 Units) { return checkedRaw(Int128(Units) * Scale); }

Currency::Currency(double Value) {
  if (!std::isfinite(Value) || std::fabs(Value) >= 1e15) raiseFloatOverflow();
  // The shortest decimal that reads back as Value is the amount its writer
  // meant; rounding that (not the binary fraction) keeps 2.50005 a half.
  char Buf[40];
  auto [End, Ec] = std::to_chars(Buf, Buf + sizeof Buf, Value, std::chars_format::scientific);
  *End = '\0';
  char* Exp = std::strchr(Buf, 'e');
  const int Exponent = std::atoi(Exp + 1);
  bool Negative = false;
  Int128 Digits = 0;
  int Count = 0;
  for (const char* P = Buf; P != Exp; ++P) {
    if (*P == '-') Negative = true;
    if (*P < '0' || *P > '9') continue;
    Digits = Digits * 10 + (*P - '0');
    ++Count;
  }
  // Value = Digits * 10^(Exponent - Count + 1); the raw amount is 10^4 times it.
  int Shift = Exponent - Count + 1 + 4;
  Int128 Raw = Digits;
  if (Shift >= 0) {
    for (; Shift > 0; --Shift) Raw *= 10;
  } else if (Shift >= -20) {
    Int128 Divisor = 1;
    for (; Shift < 0; ++Shift) Divisor *= 10;
    Raw = divideHalfEven(Digits, Divisor);
  } else {
    Raw = 0;  // Digits has at most 17 digits: far below half a unit
  }
  FRaw = checkedRaw(Negative ? -Raw : Raw);
}

double Currency::ToDouble() const { return static_cast<double>(FRaw) / Scale; }

Currency operator+(Currency A, Currency B) {
  Int64 R;
  if (__builtin_add_overflow(A.FRaw, B.FRaw, &R)) raiseIntOverflow();
  return Currency::FromRaw(R);
}

Currency operator-(Currency A, Currency B) {
  Int64 R;
  if (__builtin_sub_overflow(A.FRaw, B.FRaw, &R)) raiseIntOverflow();
  return Currency::FromRaw(R);
}

Currency Currency::operator-() const {
  if (FRaw == INT64_MIN) raiseIntOverflow();
  return FromRaw(-FRaw);
}

Currency operator*(Currency A, Currency B) {
  return Currency::FromRaw(checkedRaw(divideHalfEven(Int128(A.FRaw) * B.FRaw, Currency::Scale)));
}

Currency operator/(Currency A, Currency B) {
  if (B.FRaw == 0) throw EZeroDivide(QStringLiteral("Floating point division by zero"));
  return Currency::FromRaw(checkedRaw(divideHalfEven(Int128(A.FRaw) * Currency::Scale, B.FRaw)));
}
