// Numeric routines with the original platform's results: rounding, scaling,
// comparison with tolerance and the small deterministic random generator.
//
// The names are capitalised, so they never collide with <cmath>'s.
#pragma once

#include "platform/rtl/system.h"

#include <type_traits>

// rounding and parts; a NaN, an infinity or a result outside the result type
// raises EInvalidOp "Invalid floating point operation"
Int64 Round(double X);   // halves to even: Round(2.5) = 2, Round(-2.5) = -2
Int64 Trunc(double X);   // toward zero
Integer Ceil(double X);  // toward +infinity
Integer Floor(double X); // toward -infinity
double Int(double X);    // the integer part, toward zero, as a double
double Frac(double X);   // X - Int(X), with the sign of X

// -1, 0 or 1
Integer Sign(Integer X);
Integer Sign(Int64 X);
Integer Sign(double X);

// |X| <= Epsilon; Epsilon 0 means 1e-12.
bool IsZero(double X, double Epsilon = 0);
bool IsNan(double X);
bool IsInfinite(double X);
// |A - B| <= Epsilon; Epsilon 0 means max(min(|A|, |B|) * 1e-12, 1e-12).
bool SameValue(double A, double B, double Epsilon = 0);

// Min and Max: same-type overloads, and mixed arguments compare in the wider
// of the two (double over Int64 over Integer), as the original's overload
// resolution did.
inline constexpr Integer Min(Integer A, Integer B) { return A < B ? A : B; }
inline constexpr Int64 Min(Int64 A, Int64 B) { return A < B ? A : B; }
inline constexpr double Min(double A, double B) { return A < B ? A : B; }
inline constexpr Integer Max(Integer A, Integer B) { return A > B ? A : B; }
inline constexpr Int64 Max(Int64 A, Int64 B) { return A > B ? A : B; }
inline constexpr double Max(double A, double B) { return A > B ? A : B; }

namespace rtlmath_detail {
template <class T>
constexpr bool IsOverloaded =
    std::is_same_v<T, Integer> || std::is_same_v<T, Int64> || std::is_same_v<T, double>;

// Cardinal joins Int64 so that large unsigned values keep their sign.
template <class A, class B>
using Wider = std::conditional_t<
    std::is_floating_point_v<A> || std::is_floating_point_v<B>, double,
    std::conditional_t<(sizeof(A) > sizeof(Integer) || sizeof(B) > sizeof(Integer) ||
                        (std::is_unsigned_v<A> && sizeof(A) == sizeof(Integer)) ||
                        (std::is_unsigned_v<B> && sizeof(B) == sizeof(Integer))),
                       Int64, Integer>>;

template <class A, class B>
concept Mixed = std::is_arithmetic_v<A> && std::is_arithmetic_v<B> &&
                !(std::is_same_v<A, B> && IsOverloaded<A>);
}  // namespace rtlmath_detail

template <class A, class B>
  requires rtlmath_detail::Mixed<A, B>
constexpr auto Min(A X, B Y) {
  using W = rtlmath_detail::Wider<A, B>;
  return Min(static_cast<W>(X), static_cast<W>(Y));
}
template <class A, class B>
  requires rtlmath_detail::Mixed<A, B>
constexpr auto Max(A X, B Y) {
  using W = rtlmath_detail::Wider<A, B>;
  return Max(static_cast<W>(X), static_cast<W>(Y));
}

// functions
double ArcTan2(double Y, double X);
double Power(double Base, double Exponent);  // Power(0, 0) = 1
double IntPower(double Base, Integer Exponent);
double Log10(double X);

// A * B / C with a 64-bit intermediate, halves rounded away from zero.
// A zero C or a result outside Integer gives -1, which callers pass on as is.
Integer MulDiv(Integer A, Integer B, Integer C);

// The generator state: a plain global that tests and start-up code set.
// Each draw steps it as RandSeed = RandSeed * 0x08088405 + 1 (mod 2^32).
extern Integer RandSeed;
// 0 .. N-1 from the upper bits of the product of the stepped seed and N;
// N must not be negative, Random(0) is 0.
Integer Random(Integer N);
// A double in [0, 1).
double Random();
// Seeds the generator from the system clock.
void Randomize();
