// Format: printf-like formatting of a list of mixed arguments.
//
// Specifiers are %[index:][-][width][.prec]type with the types d u x s f e g
// n m p (any case) and %%; '*' takes index, width or precision from the next
// argument.  An index resets the argument counter, so "%0:s" repeats the
// first argument and the next plain specifier takes the second.  %s takes
// text, chars, AnsiString and Variant (VarToStr); the integer specifiers take
// a Variant as its integer value, the float ones as its double (or exact
// Currency) value; a Variant that does not convert raises its cast error.
// A missing
// argument raises EConvertError "No argument for format 'Fmt'", an argument
// of the wrong kind "Format 'Fmt' invalid or incompatible with argument".
#pragma once

#include "platform/rtl/currency.h"
#include "platform/rtl/system.h"

#include <concepts>
#include <initializer_list>
#include <type_traits>

class AnsiString;
class Variant;
struct TFormatSettings;

// Kinds of TVarRec.  The numbers are fixed: ported code compares VType
// against them.
enum : Byte {
  vtInteger = 0,
  vtBoolean = 1,
  vtChar = 2,
  vtExtended = 3,
  vtPointer = 5,
  vtWideChar = 9,
  vtAnsiString = 11,
  vtCurrency = 12,
  vtVariant = 13,
  vtInt64 = 16,
  vtUnicodeString = 17,
  vtUInt64 = 18,
};

// One argument of Format.  Converts implicitly from every value a caller
// passes; AnsiString and Variant are held by address, so a TVarRec lives no
// longer than the full expression that made it (an argument list).
struct TVarRec {
  // Integers up to 32 bits (and unsigned up to 16) are vtInteger, wider
  // signed ones vtInt64, unsigned 32-bit vtInt64 (so values above MaxInt
  // stay positive), unsigned 64-bit vtUInt64.  char types are not integers.
  template <std::integral T>
    requires(!std::same_as<T, bool> && !std::same_as<T, char> && !std::same_as<T, char8_t> &&
             !std::same_as<T, char16_t> && !std::same_as<T, char32_t> && !std::same_as<T, wchar_t>)
  TVarRec(T Value) {
    if constexpr (std::is_signed_v<T> ? sizeof(T) <= 4 : sizeof(T) <= 2) {
      VType = vtInteger;
      VInteger = static_cast<Integer>(Value);
    } else if constexpr (std::is_signed_v<T> || sizeof(T) <= 4) {
      VType = vtInt64;
      VInt64 = static_cast<Int64>(Value);
    } else {
      VType = vtUInt64;
      VUInt64 = static_cast<UInt64>(Value);
    }
  }
  template <std::floating_point T>
  TVarRec(T Value) : VType(vtExtended), VExtended(static_cast<double>(Value)) {}
  template <std::same_as<bool> T>
  TVarRec(T Value) : VType(vtBoolean), VBoolean(Value) {}
  // A one-byte char of the process code page.
  TVarRec(char Value) : VType(vtChar), VChar(Value) {}
  TVarRec(Char Value) : VType(vtWideChar), VWideChar(Value.unicode()) {}
  TVarRec(char16_t Value) : VType(vtWideChar), VWideChar(Value) {}
  TVarRec(Currency Value) : VType(vtCurrency), VCurrency(Value) {}
  TVarRec(const String& Value) : VType(vtUnicodeString), VInteger(0), VUnicodeString(Value) {}
  // UTF-8 text.
  TVarRec(const char* Value);
  TVarRec(const void* Value) : VType(vtPointer), VPointer(Value) {}
  TVarRec(std::nullptr_t) : VType(vtPointer), VPointer(nullptr) {}
  TVarRec(const AnsiString& Value) : VType(vtAnsiString), VAnsiString(&Value) {}
  TVarRec(const Variant& Value) : VType(vtVariant), VVariant(&Value) {}

  Byte VType;
  union {
    Integer VInteger;
    bool VBoolean;
    char VChar;
    double VExtended;
    const void* VPointer;
    char16_t VWideChar;
    Currency VCurrency;
    const AnsiString* VAnsiString;
    const Variant* VVariant;
    Int64 VInt64;
    UInt64 VUInt64;
  };
  String VUnicodeString;  // the text of vtUnicodeString
};

String Format(const String& Fmt, std::initializer_list<TVarRec> Args);
String Format(const String& Fmt, std::initializer_list<TVarRec> Args, const TFormatSettings& Settings);
