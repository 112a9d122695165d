#include "platform/rtl/currency.h"

#include "platform/rtl/exceptions.h"

#include <charconv>
#include <cmath>

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
  if (!std::isfinite(Value)) raiseFloatOverflow();
  // The shortest decimal that reads back as Value is the amount its writer
  // meant; rounding that (not the binary fraction) keeps 0.00005 a half.
  char Buf[40];
  char* End = std::to_chars(Buf, Buf + sizeof Buf, Value, std::chars_format::scientific).ptr;
  char Digits[24];
  std::size_t Count = 0;
  const char* P = Buf;
  for (; *P != 'e'; ++P)
    if (*P >= '0' && *P <= '9') Digits[Count++] = *P;
  int Exponent = 0;
  std::from_chars(P + 1 + (P[1] == '+'), End, Exponent);
  if (!TryFromDecimal(Value < 0, std::string_view(Digits, Count), Exponent - int(Count) + 1, *this))
    raiseFloatOverflow();
}

bool Currency::TryFromDecimal(bool Negative, std::string_view Digits, int Exponent, Currency& Result) {
  const std::size_t First = Digits.find_first_not_of('0');
  if (First == std::string_view::npos) {
    Result = Currency();
    return true;
  }
  Digits.remove_prefix(First);
  const Int64 Size = Int64(Digits.size());
  // The first IntCount digits (zeros appended past the end) form the raw
  // amount; the rest is the fraction rounded away.
  const Int64 IntCount = Size + Exponent + 4;
  if (IntCount > 19) return false;
  Int128 Raw = 0;
  for (Int64 I = 0; I < IntCount; ++I) Raw = Raw * 10 + (I < Size ? Digits[I] - '0' : 0);
  if (IntCount >= 0 && IntCount < Size) {
    const char Next = Digits[IntCount];
    const bool Beyond = Digits.find_first_not_of('0', IntCount + 1) != std::string_view::npos;
    if (Next > '5' || (Next == '5' && (Beyond || Raw % 2 != 0))) ++Raw;
  }
  if (Negative) Raw = -Raw;
  if (Raw < INT64_MIN || Raw > INT64_MAX) return false;
  Result = FromRaw(static_cast<Int64>(Raw));
  return true;
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
