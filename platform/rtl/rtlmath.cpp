#include "platform/rtl/rtlmath.h"

#include "platform/rtl/exceptions.h"

#include <algorithm>
#include <cassert>
#include <chrono>
#include <cmath>
#include <limits>

Integer RandSeed = 0;

namespace {

// Below this tolerance two doubles count as equal (about 1000 times the
// precision of a double's 15 significant digits).
constexpr double DefaultResolution = 1e-12;

[[noreturn]] void raiseInvalidOp() {
  throw EInvalidOp(QStringLiteral("Invalid floating point operation"));
}

// An integral double to T, raising when it does not fit.  The bounds are the
// powers of two at the ends of T's range, exact in a double.
template <class T>
T checkedIntegral(double X) {
  constexpr double Low = static_cast<double>(std::numeric_limits<T>::min());
  constexpr double High = -Low;
  if (!(X >= Low && X < High)) raiseInvalidOp();
  return static_cast<T>(X);
}

Cardinal nextSeed() {
  const Cardinal Seed = static_cast<Cardinal>(RandSeed) * 0x08088405u + 1u;
  RandSeed = static_cast<Integer>(Seed);
  return Seed;
}

}  // namespace

Int64 Round(double X) {
  double R = std::floor(X);
  const double Diff = X - R;  // exact: both lie within one unit of each other
  if (Diff > 0.5 || (Diff == 0.5 && std::fmod(R, 2.0) != 0.0)) R += 1.0;
  return checkedIntegral<Int64>(R);
}

Int64 Trunc(double X) { return checkedIntegral<Int64>(std::trunc(X)); }
Integer Ceil(double X) { return checkedIntegral<Integer>(std::ceil(X)); }
Integer Floor(double X) { return checkedIntegral<Integer>(std::floor(X)); }
double Int(double X) { return std::trunc(X); }
double Frac(double X) { return X - std::trunc(X); }

Integer Sign(Integer X) { return (X > 0) - (X < 0); }
Integer Sign(Int64 X) { return (X > 0) - (X < 0); }
Integer Sign(double X) { return (X > 0) - (X < 0); }

bool IsZero(double X, double Epsilon) {
  if (Epsilon == 0) Epsilon = DefaultResolution;
  return std::fabs(X) <= Epsilon;
}

bool IsNan(double X) { return std::isnan(X); }
bool IsInfinite(double X) { return std::isinf(X); }

bool SameValue(double A, double B, double Epsilon) {
  if (Epsilon == 0)
    Epsilon = std::max(std::min(std::fabs(A), std::fabs(B)) * DefaultResolution,
                       DefaultResolution);
  return A > B ? A - B <= Epsilon : B - A <= Epsilon;
}

double ArcTan2(double Y, double X) { return std::atan2(Y, X); }
double Power(double Base, double Exponent) { return std::pow(Base, Exponent); }
double IntPower(double Base, Integer Exponent) { return std::pow(Base, Exponent); }
double Log10(double X) { return std::log10(X); }

Integer MulDiv(Integer A, Integer B, Integer C) {
  if (C == 0) return -1;
  const Int64 Product = static_cast<Int64>(A) * B;  // at most 2^62 in magnitude
  Int64 Quotient = Product / C;
  const Int64 Remainder = Product % C;  // carries the sign of Product
  if (2 * (Remainder < 0 ? -Remainder : Remainder) >= (C < 0 ? -static_cast<Int64>(C) : C))
    Quotient += ((Product < 0) != (C < 0)) ? -1 : 1;
  if (Quotient < std::numeric_limits<Integer>::min() ||
      Quotient > std::numeric_limits<Integer>::max())
    return -1;
  return static_cast<Integer>(Quotient);
}

Integer Random(Integer N) {
  assert(N >= 0 && "Random range must not be negative");
  return static_cast<Integer>((static_cast<UInt64>(nextSeed()) * static_cast<UInt64>(N)) >> 32);
}

double Random() {
  constexpr double TwoToMinus32 = 1.0 / 4294967296.0;
  return nextSeed() * TwoToMinus32;
}

void Randomize() {
  const auto Ticks = std::chrono::system_clock::now().time_since_epoch().count();
  RandSeed = static_cast<Integer>(static_cast<UInt64>(Ticks) ^ (static_cast<UInt64>(Ticks) >> 32));
}
