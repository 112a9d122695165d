// FMT-BCD: an exact decimal of up to 38 significant digits.
//
// A TBcd is Mantissa / 10^Scale with |Mantissa| < 10^38 and Scale 0..38, so
// sums of many amounts neither drift (as doubles do) nor overflow (as
// Currency's 19 digits can).  Results keep as many decimals as the exact
// value has (a sum the larger scale of its operands, a product the sum of
// both) up to the 38-digit limit; digits past it are rounded half away from
// zero, and an integer part of more than 38 digits raises
// EBcdOverflowException "BCD overflow".  Quotients carry
// BcdDivisionDecimals decimals (or the dividend's scale when that is more),
// rounded half away from zero, with trailing zeros removed.
#pragma once

#include "platform/rtl/currency.h"
#include "platform/rtl/numconv.h"
#include "platform/rtl/system.h"

#include <compare>

struct TFormatSettings;

inline constexpr int MaxBcdDigits = 38;
inline constexpr int BcdDivisionDecimals = 20;

// Made by the routines below, which keep the invariants; zero by default.
struct TBcd {
  __int128 Mantissa = 0;  // the value times 10^Scale; |Mantissa| < 10^38
  Byte Precision = 1;     // max(1, digits of Mantissa, Scale): the digits the value is written with
  Byte Scale = 0;         // digits after the point
};

Word BcdPrecision(const TBcd& Bcd);
Word BcdScale(const TBcd& Bcd);

// to TBcd; out of range raises EBcdOverflowException "BCD overflow"
TBcd IntegerToBcd(Integer Value);
TBcd Int64ToBcd(Int64 Value);
// The double's 15-significant-digit decimal form (FloatToStr's), so 0.1 is
// exactly 0.1; NaN and infinities raise the overflow.
TBcd DoubleToBcd(double Value);
// Exact, with Currency's four decimals.
TBcd CurrencyToBcd(Currency Value);
// Surrounding blanks, a sign, digits with at most one decimal point ('.', or
// the settings' DecimalSeparator) and an optional exponent "E-5".  Other text
// raises EBcdException "'S' is not a valid BCD value".
TBcd StrToBcd(const String& S);
TBcd StrToBcd(const String& S, const TFormatSettings& Settings);
bool TryStrToBcd(const String& S, TBcd& Bcd);
bool TryStrToBcd(const String& S, TBcd& Bcd, const TFormatSettings& Settings);

// from TBcd
// Rounds half away from zero, or drops the fraction when Truncate; a result
// outside the type raises the overflow.
Integer BcdToInteger(const TBcd& Bcd, bool Truncate = false);
Int64 BcdToInt64(const TBcd& Bcd, bool Truncate = false);
// The double nearest to the exact value.
double BcdToDouble(const TBcd& Bcd);
// Rounds half to even at four decimals as Currency does; false (Curr left
// alone) when the value is outside Currency's range.
bool BcdToCurr(const TBcd& Bcd, Currency& Curr);
// The shortest exact text: '.' as the point, no trailing zeros, no "-0".
String BcdToStr(const TBcd& Bcd);
// FloatToStrF's and FormatFloat's layouts.  They show at most 15 significant
// digits: BcdToStrF rounds the exact value half away from zero to Precision
// (at most 15) digits first, so its result is that of the exact decimal;
// FormatBcd rounds a value of more than 15 digits to 15 before the mask's own
// rounding.
String BcdToStrF(const TBcd& Bcd, TFloatFormat Format, int Precision, int Digits);
String BcdToStrF(const TBcd& Bcd, TFloatFormat Format, int Precision, int Digits,
                 const TFormatSettings& Settings);
String FormatBcd(const String& Mask, const TBcd& Bcd);
String FormatBcd(const String& Mask, const TBcd& Bcd, const TFormatSettings& Settings);

// arithmetic; division by zero raises EZeroDivide "Floating point division by zero"
TBcd operator+(const TBcd& A, const TBcd& B);
TBcd operator-(const TBcd& A, const TBcd& B);
TBcd operator*(const TBcd& A, const TBcd& B);
TBcd operator/(const TBcd& A, const TBcd& B);
TBcd operator-(const TBcd& A);

// comparison by value: 1.5 equals 1.50
// -1, 0 or 1
int BcdCompare(const TBcd& A, const TBcd& B);
inline bool operator==(const TBcd& A, const TBcd& B) { return BcdCompare(A, B) == 0; }
inline std::weak_ordering operator<=>(const TBcd& A, const TBcd& B) {
  return BcdCompare(A, B) <=> 0;
}
