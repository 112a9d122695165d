// Numbers to and from text: integers, floats, booleans and currency.
//
// Text that does not parse raises EConvertError with a fixed message;
// the Try forms answer false instead.  Float output is the value's decimal
// form rounded to 15 significant digits (no binary artefacts: 0.1 + 0.2 is
// "0.3"); every further rounding is half away from zero on that form, and a
// result that rounds to zero never shows "-0".  Routines that depend on
// separators or names read FormatSettings() unless settings are passed.
#pragma once

#include "platform/rtl/currency.h"
#include "platform/rtl/system.h"

#include <concepts>
#include <type_traits>

struct TFormatSettings;

// integers to text
String IntToStr(Int64 Value);
String UIntToStr(UInt64 Value);
template <std::integral T>
  requires(!std::same_as<T, bool> && !std::same_as<T, Int64>)
String IntToStr(T Value) {
  if constexpr (std::is_signed_v<T>)
    return IntToStr(static_cast<Int64>(Value));
  else
    return UIntToStr(static_cast<UInt64>(Value));
}
// Upper-case hex, zero-padded to at least Digits; a negative value shows its
// two's complement in the width of its type (IntToHex(-1, 2) is "FFFFFFFF").
String IntToHex(UInt64 Bits, int Digits);
template <std::integral T>
  requires(!std::same_as<T, bool> && !std::same_as<T, UInt64>)
String IntToHex(T Value, int Digits) {
  using Unsigned = std::make_unsigned_t<T>;
  return IntToHex(static_cast<UInt64>(static_cast<Unsigned>(Value)), Digits);
}

// text to integers: leading blanks, a sign, then decimal digits or hex as
// "$1F", "0x1F" or "x1F".  Hex may fill the whole width ("$FFFFFFFF" is -1).
// Anything else raises "'S' is not a valid integer value".
Integer StrToInt(const String& S);
Int64 StrToInt64(const String& S);
bool TryStrToInt(const String& S, Integer& Value);
bool TryStrToInt64(const String& S, Int64& Value);
Integer StrToIntDef(const String& S, Integer Default);
Int64 StrToInt64Def(const String& S, Int64 Default);
// Val: Code is 0 on success, else the 1-based position of the first
// character that could not be used (Length + 1 when the text ended early).
// The float form always reads '.' as the decimal point.
void Val(const String& S, Integer& Value, int& Code);
void Val(const String& S, Int64& Value, int& Code);
void Val(const String& S, double& Value, int& Code);

// floats to text
enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };
// General format, 15 significant digits: plain digits while the decimal
// exponent is in -4..14, else "1E20" / "1.5E-5".  NaN and infinities give
// "NAN", "INF", "-INF".
String FloatToStr(double Value);
String FloatToStr(double Value, const TFormatSettings& Settings);
// Precision is the number of significant digits (1..15).  Digits: the least
// number of exponent digits for ffGeneral and ffExponent (0..4), the number
// of decimals for the others (0..18).  ffFixed, ffNumber and ffCurrency fall
// back to the general format when the integer part has more than Precision
// digits.  ffCurrency lays the number out with CurrencyString, CurrencyFormat
// and NegCurrFormat.
String FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits);
String FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits,
                   const TFormatSettings& Settings);
// Str(X:Width:Decimals): fixed notation with '.', blank-padded on the
// left to Width.
String Str(double X, int Width, int Decimals);
// Display masks "pos;neg;zero" of '0', '#', '.', ',', E+/E-, quoted text.
String FormatFloat(const String& Mask, double Value);
String FormatFloat(const String& Mask, double Value, const TFormatSettings& Settings);

// text to floats: surrounding blanks, a sign, digits with the settings'
// decimal separator and an optional E exponent; no thousand separators.
// Failure: "'S' is not a valid floating point value".
double StrToFloat(const String& S);
double StrToFloat(const String& S, const TFormatSettings& Settings);
bool TryStrToFloat(const String& S, double& Value);
bool TryStrToFloat(const String& S, double& Value, const TFormatSettings& Settings);
double StrToFloatDef(const String& S, double Default);
double StrToFloatDef(const String& S, double Default, const TFormatSettings& Settings);

// booleans: "True"/"False", or "-1"/"0" without UseBoolStrs.  Reading
// accepts "true"/"false" in any case and any number (non-zero is true);
// failure: "'S' is not a valid boolean value".
String BoolToStr(bool B, bool UseBoolStrs = false);
bool StrToBool(const String& S);
bool TryStrToBool(const String& S, bool& Value);

// currency: exact, from the scaled integer (no detour through double)
String CurrToStr(Currency Value);
String CurrToStr(Currency Value, const TFormatSettings& Settings);
String CurrToStrF(Currency Value, TFloatFormat Format, int Digits);
String CurrToStrF(Currency Value, TFloatFormat Format, int Digits, const TFormatSettings& Settings);
// Same syntax as StrToFloat; the amount is rounded half to even at four
// decimals.  Failure: "'S' is not a valid floating point value".
Currency StrToCurr(const String& S);
Currency StrToCurr(const String& S, const TFormatSettings& Settings);
bool TryStrToCurr(const String& S, Currency& Value);
bool TryStrToCurr(const String& S, Currency& Value, const TFormatSettings& Settings);
