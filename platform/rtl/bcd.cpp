#include "platform/rtl/bcd.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/formatsettings.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

namespace {

using U128 = unsigned __int128;

// FloatToStrF and FormatFloat work on a double's 15 significant digits.
constexpr int DoubleDigits = 15;
constexpr UInt64 TenTo19 = 10000000000000000000ull;

[[noreturn]] void raiseOverflow() { throw EBcdOverflowException(QStringLiteral("BCD overflow")); }

// ---- 256-bit magnitudes ---------------------------------------------------
//
// Exact intermediates: an operand aligned to the other's scale or a product
// has up to 76 digits, and 10^77 still fits below 2^256.

struct TWide {
  std::array<UInt64, 4> W{};  // little-endian 64-bit limbs
};

TWide wideOf(U128 V) { return {{UInt64(V), UInt64(V >> 64), 0, 0}}; }

bool isZero(const TWide& A) { return (A.W[0] | A.W[1] | A.W[2] | A.W[3]) == 0; }

int compare(const TWide& A, const TWide& B) {
  for (int I = 3; I >= 0; --I)
    if (A.W[I] != B.W[I]) return A.W[I] < B.W[I] ? -1 : 1;
  return 0;
}

TWide add(const TWide& A, const TWide& B) {
  TWide R;
  U128 Carry = 0;
  for (int I = 0; I < 4; ++I) {
    const U128 S = U128(A.W[I]) + B.W[I] + Carry;
    R.W[I] = UInt64(S);
    Carry = S >> 64;
  }
  assert(Carry == 0 && "BCD intermediate beyond 256 bits");
  return R;
}

// A - B with A >= B.
TWide sub(const TWide& A, const TWide& B) {
  TWide R;
  UInt64 Borrow = 0;
  for (int I = 0; I < 4; ++I) {
    const UInt64 D = A.W[I] - B.W[I];
    const UInt64 Next = (A.W[I] < B.W[I]) || (D < Borrow);
    R.W[I] = D - Borrow;
    Borrow = Next;
  }
  assert(Borrow == 0 && "BCD subtraction of a larger magnitude");
  return R;
}

void mulSmall(TWide& A, UInt64 M) {
  U128 Carry = 0;
  for (int I = 0; I < 4; ++I) {
    const U128 P = U128(A.W[I]) * M + Carry;
    A.W[I] = UInt64(P);
    Carry = P >> 64;
  }
  assert(Carry == 0 && "BCD intermediate beyond 256 bits");
}

// Divides A by D in place and returns the remainder.
UInt64 divSmall(TWide& A, UInt64 D) {
  U128 Rest = 0;
  for (int I = 3; I >= 0; --I) {
    const U128 Cur = (Rest << 64) | A.W[I];
    A.W[I] = UInt64(Cur / D);
    Rest = Cur % D;
  }
  return UInt64(Rest);
}

TWide mul(U128 A, U128 B) {
  const UInt64 A0 = UInt64(A), A1 = UInt64(A >> 64), B0 = UInt64(B), B1 = UInt64(B >> 64);
  TWide R = wideOf(U128(A0) * B0);
  R = add(R, TWide{{0, UInt64(U128(A0) * B1), UInt64((U128(A0) * B1) >> 64), 0}});
  R = add(R, TWide{{0, UInt64(U128(A1) * B0), UInt64((U128(A1) * B0) >> 64), 0}});
  R = add(R, TWide{{0, 0, UInt64(U128(A1) * B1), UInt64((U128(A1) * B1) >> 64)}});
  return R;
}

// A * 10^Power.
TWide scaleUp(TWide A, int Power) {
  for (; Power >= 19; Power -= 19) mulSmall(A, TenTo19);
  for (; Power > 0; --Power) mulSmall(A, 10);
  return A;
}

// Quotient and remainder by shift and subtract; D is not zero and below
// 2^255, so the running remainder never loses its top bit.
void divMod(const TWide& N, const TWide& D, TWide& Q, TWide& R) {
  Q = TWide();
  R = TWide();
  for (int Bit = 255; Bit >= 0; --Bit) {
    for (int I = 3; I > 0; --I) R.W[I] = (R.W[I] << 1) | (R.W[I - 1] >> 63);
    R.W[0] = (R.W[0] << 1) | ((N.W[Bit / 64] >> (Bit % 64)) & 1);
    if (compare(R, D) >= 0) {
      R = sub(R, D);
      Q.W[Bit / 64] |= UInt64(1) << (Bit % 64);
    }
  }
}

// Decimal digits without leading zeros ("" for zero).
std::string digitsOf(TWide A) {
  std::string S;
  while (!isZero(A)) {
    UInt64 Chunk = divSmall(A, TenTo19);
    for (int I = 0; I < 19 && (Chunk != 0 || !isZero(A)); ++I) {
      S += char('0' + Chunk % 10);
      Chunk /= 10;
    }
  }
  std::reverse(S.begin(), S.end());
  return S;
}

// ---- decimals -------------------------------------------------------------

U128 magnitude(const TBcd& B) { return B.Mantissa < 0 ? -U128(B.Mantissa) : U128(B.Mantissa); }

std::string digitsOf(const TBcd& B) { return digitsOf(wideOf(magnitude(B))); }

// Adds one unit in the last place ("" counts as 0).
void incrementDigits(std::string& D) {
  int I = int(D.size()) - 1;
  for (; I >= 0 && D[I] == '9'; --I) D[I] = '0';
  if (I >= 0)
    ++D[I];
  else
    D.insert(D.begin(), '1');
}

// The one place where values are rounded: Digits x 10^Exponent as a TBcd
// with the value's own number of decimals, but at most MaxScale of them and
// at most 38 digits in all; the first dropped digit rounds half away from
// zero.
TBcd makeBcd(bool Negative, std::string_view Digits, Int64 Exponent, int MaxScale = MaxBcdDigits) {
  const std::size_t First = Digits.find_first_not_of('0');
  Int64 Scale = std::clamp<Int64>(-Exponent, 0, MaxScale);
  if (First == std::string_view::npos) {
    TBcd Zero;
    Zero.Scale = Byte(Scale);
    Zero.Precision = Byte(std::max<Int64>(1, Scale));
    return Zero;
  }
  Digits.remove_prefix(First);
  const Int64 Length = Int64(Digits.size());
  const Int64 IntDigits = Length + Exponent;
  if (IntDigits > MaxBcdDigits) raiseOverflow();
  Scale = std::min<Int64>(Scale, MaxBcdDigits - std::max<Int64>(IntDigits, 0));
  const Int64 Keep = IntDigits + Scale;  // leading digits that stay; may be <= 0

  std::string Kept;
  if (Keep >= Length) {
    Kept.assign(Digits);
    Kept.append(std::size_t(Keep - Length), '0');
  } else {
    if (Keep > 0) Kept.assign(Digits.substr(0, std::size_t(Keep)));
    if (Keep >= 0 && Digits[std::size_t(Keep)] >= '5') incrementDigits(Kept);
    if (Int64(Kept.size()) > MaxBcdDigits) {
      // 99...9 carried into a 39th digit; the last one is an exact zero.
      if (Scale == 0) raiseOverflow();
      Kept.pop_back();
      --Scale;
    }
  }

  U128 Mag = 0;
  for (char C : Kept) Mag = Mag * 10 + U128(C - '0');
  TBcd R;
  R.Mantissa = Negative ? -__int128(Mag) : __int128(Mag);
  R.Scale = Byte(Scale);
  const std::size_t Significant = Kept.find_first_not_of('0');
  const Int64 MantissaDigits =
      Significant == std::string::npos ? 0 : Int64(Kept.size() - Significant);
  R.Precision = Byte(std::max<Int64>({1, MantissaDigits, Scale}));
  return R;
}

TBcd makeBcd(bool Negative, const TWide& Mag, int Scale) {
  return makeBcd(Negative, digitsOf(Mag), -Scale);
}

// The nearest double to Digits x 10^Exponent.
double toDouble(bool Negative, const std::string& Digits, Int64 Exponent) {
  if (Digits.empty()) return 0.0;
  const std::string Text = Digits + 'e' + std::to_string(Exponent);
  double V = 0;
  std::from_chars(Text.data(), Text.data() + Text.size(), V);
  return Negative ? -V : V;
}

// The value rounded half away from zero to Significant digits, as a double.
double significantDouble(const TBcd& B, int Significant) {
  std::string D = digitsOf(B);
  Int64 Exponent = -Int64(B.Scale);
  if (int(D.size()) > Significant) {
    const bool Up = D[std::size_t(Significant)] >= '5';
    Exponent += Int64(D.size()) - Significant;
    D.resize(std::size_t(Significant));
    if (Up) incrementDigits(D);
  }
  return toDouble(B.Mantissa < 0, D, Exponent);
}

// The integer part of |B|, rounded half away from zero unless Truncate.
U128 integerMagnitude(const TBcd& B, bool Truncate) {
  if (Truncate) {
    TWide Mag = wideOf(magnitude(B));
    for (int I = 0; I < B.Scale; ++I) divSmall(Mag, 10);
    return U128(Mag.W[1]) << 64 | Mag.W[0];
  }
  return magnitude(makeBcd(false, digitsOf(B), -Int64(B.Scale), /*MaxScale=*/0));
}

// Both magnitudes at the larger scale.
void align(const TBcd& A, const TBcd& B, TWide& MagA, TWide& MagB, int& Scale) {
  Scale = std::max(A.Scale, B.Scale);
  MagA = scaleUp(wideOf(magnitude(A)), Scale - A.Scale);
  MagB = scaleUp(wideOf(magnitude(B)), Scale - B.Scale);
}

TBcd addSigned(const TBcd& A, const TBcd& B, bool NegateB) {
  TWide MagA, MagB;
  int Scale;
  align(A, B, MagA, MagB, Scale);
  const bool NegA = A.Mantissa < 0;
  const bool NegB = (B.Mantissa < 0) != NegateB && B.Mantissa != 0;
  if (NegA == NegB) return makeBcd(NegA, add(MagA, MagB), Scale);
  if (compare(MagA, MagB) >= 0) return makeBcd(NegA, sub(MagA, MagB), Scale);
  return makeBcd(NegB, sub(MagB, MagA), Scale);
}

// The text form read by StrToBcd: Negative, Digits and Exponent on success.
bool parse(const String& S, Char Separator, bool& Negative, std::string& Digits, Int64& Exponent) {
  // Exponents beyond this only ever overflow or round to zero.
  constexpr Int64 ExponentLimit = 100000;
  const qsizetype N = S.size();
  qsizetype I = 0;
  while (I < N && S[I] <= u' ') ++I;
  Negative = false;
  if (I < N && (S[I] == u'+' || S[I] == u'-')) Negative = S[I++] == u'-';
  Digits.clear();
  Exponent = 0;
  bool SeenPoint = false;
  for (; I < N; ++I) {
    const Char C = S[I];
    if (C >= u'0' && C <= u'9') {
      Digits += char(C.unicode());
      if (SeenPoint) --Exponent;
    } else if (C == Separator && !SeenPoint) {
      SeenPoint = true;
    } else {
      break;
    }
  }
  if (Digits.empty()) return false;
  if (I < N && (S[I] == u'E' || S[I] == u'e')) {
    ++I;
    bool NegExp = false;
    if (I < N && (S[I] == u'+' || S[I] == u'-')) NegExp = S[I++] == u'-';
    const qsizetype Start = I;
    Int64 E = 0;
    for (; I < N && S[I] >= u'0' && S[I] <= u'9'; ++I)
      E = std::min(E * 10 + (S[I].unicode() - u'0'), ExponentLimit);
    if (I == Start) return false;
    Exponent += NegExp ? -E : E;
  }
  while (I < N && S[I] <= u' ') ++I;
  return I == N;
}

[[noreturn]] void raiseInvalid(const String& S) {
  throw EBcdException(QStringLiteral("'%1' is not a valid BCD value").arg(S));
}

}  // namespace

Word BcdPrecision(const TBcd& Bcd) { return Bcd.Precision; }
Word BcdScale(const TBcd& Bcd) { return Bcd.Scale; }

// ---- to TBcd ----------------------------------------------------------------

TBcd IntegerToBcd(Integer Value) { return Int64ToBcd(Value); }

TBcd Int64ToBcd(Int64 Value) {
  const U128 Mag = Value < 0 ? -U128(Value) : U128(Value);
  return makeBcd(Value < 0, wideOf(Mag), 0);
}

TBcd DoubleToBcd(double Value) {
  if (!std::isfinite(Value)) raiseOverflow();
  // The 15 significant digits FloatToStr writes, read without the text round
  // trip: aggregates convert every value of a column this way.
  constexpr int SignificantDigits = 15;
  char Buf[40];
  const char* End =
      std::to_chars(Buf, Buf + sizeof Buf, Value, std::chars_format::scientific, SignificantDigits - 1).ptr;
  std::string Digits;
  const char* P = Buf;
  for (; *P != 'e'; ++P)
    if (*P >= '0' && *P <= '9') Digits += *P;
  int Exponent = 0;
  std::from_chars(P + 1 + (P[1] == '+'), End, Exponent);
  while (Digits.size() > 1 && Digits.back() == '0') Digits.pop_back();
  if (Digits == "0") return makeBcd(false, Digits, 0);
  return makeBcd(std::signbit(Value), Digits, Int64(Exponent) - Int64(Digits.size()) + 1);
}

TBcd CurrencyToBcd(Currency Value) {
  TBcd R;
  R.Mantissa = Value.Raw();
  R.Scale = 4;
  R.Precision = Byte(std::max<std::size_t>(digitsOf(R).size(), R.Scale));
  return R;
}

TBcd StrToBcd(const String& S) {
  TBcd R;
  if (!TryStrToBcd(S, R)) raiseInvalid(S);
  return R;
}

TBcd StrToBcd(const String& S, const TFormatSettings& Settings) {
  TBcd R;
  if (!TryStrToBcd(S, R, Settings)) raiseInvalid(S);
  return R;
}

bool TryStrToBcd(const String& S, TBcd& Bcd) {
  bool Negative;
  std::string Digits;
  Int64 Exponent;
  if (!parse(S, u'.', Negative, Digits, Exponent)) return false;
  Bcd = makeBcd(Negative, Digits, Exponent);
  return true;
}

bool TryStrToBcd(const String& S, TBcd& Bcd, const TFormatSettings& Settings) {
  bool Negative;
  std::string Digits;
  Int64 Exponent;
  if (!parse(S, Settings.DecimalSeparator, Negative, Digits, Exponent)) return false;
  Bcd = makeBcd(Negative, Digits, Exponent);
  return true;
}

// ---- from TBcd --------------------------------------------------------------

Int64 BcdToInt64(const TBcd& Bcd, bool Truncate) {
  const U128 Mag = integerMagnitude(Bcd, Truncate);
  const U128 Limit = U128(std::numeric_limits<Int64>::max()) + (Bcd.Mantissa < 0 ? 1 : 0);
  if (Mag > Limit) raiseOverflow();
  return Bcd.Mantissa < 0 ? Int64(-__int128(Mag)) : Int64(Mag);
}

Integer BcdToInteger(const TBcd& Bcd, bool Truncate) {
  const Int64 V = BcdToInt64(Bcd, Truncate);
  if (V < std::numeric_limits<Integer>::min() || V > std::numeric_limits<Integer>::max())
    raiseOverflow();
  return Integer(V);
}

double BcdToDouble(const TBcd& Bcd) {
  return toDouble(Bcd.Mantissa < 0, digitsOf(Bcd), -Int64(Bcd.Scale));
}

bool BcdToCurr(const TBcd& Bcd, Currency& Curr) {
  return Currency::TryFromDecimal(Bcd.Mantissa < 0, digitsOf(Bcd), -int(Bcd.Scale), Curr);
}

String BcdToStr(const TBcd& Bcd) {
  std::string D = digitsOf(Bcd);
  if (D.empty()) return QStringLiteral("0");
  int Scale = Bcd.Scale;
  while (Scale > 0 && D.back() == '0') {
    D.pop_back();
    --Scale;
  }
  if (int(D.size()) <= Scale) D.insert(0, std::size_t(Scale - int(D.size()) + 1), '0');
  if (Scale > 0) D.insert(D.size() - std::size_t(Scale), 1, '.');
  if (Bcd.Mantissa < 0) D.insert(0, 1, '-');
  return String::fromLatin1(D.data(), qsizetype(D.size()));
}

String BcdToStrF(const TBcd& Bcd, TFloatFormat Format, int Precision, int Digits) {
  return BcdToStrF(Bcd, Format, Precision, Digits, FormatSettings());
}

String BcdToStrF(const TBcd& Bcd, TFloatFormat Format, int Precision, int Digits,
                 const TFormatSettings& Settings) {
  const int Significant = std::clamp(Precision, 1, DoubleDigits);
  return FloatToStrF(significantDouble(Bcd, Significant), Format, Significant, Digits, Settings);
}

String FormatBcd(const String& Mask, const TBcd& Bcd) {
  return FormatBcd(Mask, Bcd, FormatSettings());
}

String FormatBcd(const String& Mask, const TBcd& Bcd, const TFormatSettings& Settings) {
  return FormatFloat(Mask, significantDouble(Bcd, DoubleDigits), Settings);
}

// ---- arithmetic -------------------------------------------------------------

TBcd operator+(const TBcd& A, const TBcd& B) { return addSigned(A, B, /*NegateB=*/false); }
TBcd operator-(const TBcd& A, const TBcd& B) { return addSigned(A, B, /*NegateB=*/true); }

TBcd operator-(const TBcd& A) {
  TBcd R = A;
  R.Mantissa = -A.Mantissa;
  return R;
}

TBcd operator*(const TBcd& A, const TBcd& B) {
  const bool Negative = (A.Mantissa < 0) != (B.Mantissa < 0);
  return makeBcd(Negative, mul(magnitude(A), magnitude(B)), A.Scale + B.Scale);
}

// Long division: the exact integer quotient, then one decimal at a time
// until the target scale plus one rounding digit, or until 39 significant
// digits, which is all makeBcd can use.
TBcd operator/(const TBcd& A, const TBcd& B) {
  if (B.Mantissa == 0) throw EZeroDivide(QStringLiteral("Floating point division by zero"));
  // A / B = (MagA * 10^B.Scale) / (MagB * 10^A.Scale); both sides fit in 256 bits.
  const TWide N = scaleUp(wideOf(magnitude(A)), B.Scale);
  const TWide D = scaleUp(wideOf(magnitude(B)), A.Scale);
  TWide Q, R;
  divMod(N, D, Q, R);
  std::string Digits = digitsOf(Q);
  if (int(Digits.size()) > MaxBcdDigits) raiseOverflow();
  const int TargetScale = std::max<int>(BcdDivisionDecimals, A.Scale);
  int Decimals = 0;
  while (Decimals <= TargetScale && !isZero(R) && int(Digits.size()) <= MaxBcdDigits) {
    mulSmall(R, 10);
    char Digit = '0';
    while (compare(R, D) >= 0) {
      R = sub(R, D);
      ++Digit;
    }
    if (!Digits.empty() || Digit != '0') Digits += Digit;  // leading zeros carry no value
    ++Decimals;
  }
  TBcd Result = makeBcd((A.Mantissa < 0) != (B.Mantissa < 0), Digits, -Decimals, TargetScale);
  while (Result.Scale > 0 && Result.Mantissa % 10 == 0) {
    Result.Mantissa /= 10;
    --Result.Scale;
  }
  Result.Precision = Byte(std::max<std::size_t>({1, digitsOf(Result).size(), Result.Scale}));
  return Result;
}

// ---- comparison -------------------------------------------------------------

int BcdCompare(const TBcd& A, const TBcd& B) {
  const int SignA = (A.Mantissa > 0) - (A.Mantissa < 0);
  const int SignB = (B.Mantissa > 0) - (B.Mantissa < 0);
  if (SignA != SignB) return SignA < SignB ? -1 : 1;
  TWide MagA, MagB;
  int Scale;
  align(A, B, MagA, MagB, Scale);
  return SignA * compare(MagA, MagB);
}
