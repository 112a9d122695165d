// Variant: one value of any of the original platform's kinds, with the
// original conversion rules, comparison and Null-propagating arithmetic.
//
// A Variant is a small value type (16 bytes).  Numbers, booleans, dates and
// currency live inline; text, FMT-BCD, interfaces and arrays live in a shared
// heap cell that is copied on write, so copies are cheap and independent.
//
// The rules every routine below keeps:
//   - Null is "no value": equal only to Null, lower than every other value,
//     it propagates through arithmetic and raises on casts.
//   - Empty is "never assigned": equal only to Empty, but 0, "" or False when
//     converted or used in arithmetic.
//   - Text compares ordinally by UTF-16 unit; text meeting a number is
//     converted with the global format settings.
//   - Booleans count as -1 (True) and 0 (False) among numbers.
//   - Casts that cannot convert raise EVariantTypeCastError "Could not convert
//     variant of type (%s) into type (%s)"; values outside the target raise
//     EVariantOverflowError "Overflow while converting variant of type (%s)
//     into type (%s)"; operations on arrays, interfaces and errors raise
//     EVariantInvalidOpError "Invalid variant operation".
#pragma once

#include "platform/rtl/currency.h"
#include "platform/rtl/interfaces.h"
#include "platform/rtl/system.h"

#include <concepts>
#include <cstddef>
#include <initializer_list>

class AnsiString;
class QByteArray;
struct TBcd;
struct TSQLTimeStamp;
struct TSQLTimeStampOffset;

// Kind codes, as stored by the original platform.
using TVarType = Word;
inline constexpr TVarType varEmpty = 0x0000;
inline constexpr TVarType varNull = 0x0001;
inline constexpr TVarType varSmallint = 0x0002;
inline constexpr TVarType varInteger = 0x0003;
inline constexpr TVarType varSingle = 0x0004;
inline constexpr TVarType varDouble = 0x0005;
inline constexpr TVarType varCurrency = 0x0006;
inline constexpr TVarType varDate = 0x0007;
inline constexpr TVarType varOleStr = 0x0008;  // text kept apart from varUString
inline constexpr TVarType varDispatch = 0x0009;  // never held; named in messages
inline constexpr TVarType varError = 0x000A;     // an error code (VarAsError)
inline constexpr TVarType varBoolean = 0x000B;
inline constexpr TVarType varVariant = 0x000C;   // array element type only
inline constexpr TVarType varUnknown = 0x000D;   // an IPtr<IInterface>
inline constexpr TVarType varShortInt = 0x0010;
inline constexpr TVarType varByte = 0x0011;
inline constexpr TVarType varWord = 0x0012;
inline constexpr TVarType varLongWord = 0x0013;
inline constexpr TVarType varInt64 = 0x0014;
inline constexpr TVarType varUInt64 = 0x0015;
inline constexpr TVarType varFMTBcd = 0x010F;    // custom kind: a TBcd
inline constexpr TVarType varSQLTimeStamp = 0x0110;        // custom kind: a TSQLTimeStamp
inline constexpr TVarType varSQLTimeStampOffset = 0x0111;  // custom kind: a TSQLTimeStampOffset
inline constexpr TVarType varString = 0x0100;    // an AnsiString
inline constexpr TVarType varUString = 0x0102;   // a String
inline constexpr TVarType varTypeMask = 0x0FFF;
inline constexpr TVarType varArray = 0x2000;     // flag: one-dimensional array of the masked kind

// The answer of VarCompareValue.
enum TVariantRelationship { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };

namespace variant_detail {
struct VarCell;
struct Access;
}  // namespace variant_detail

class Variant {
public:
  // construction: each C++ type maps to its own kind
  Variant() noexcept : FVType(varEmpty), FInt64(0) {}
  Variant(bool Value) noexcept : FVType(varBoolean), FInt64(0) { FBoolean = Value; }
  // int8 varShortInt, uint8 varByte, int16 varSmallint, uint16 varWord,
  // int32 varInteger, uint32 varLongWord, int64 varInt64, uint64 varUInt64
  template <std::integral T>
    requires(!std::same_as<T, bool> && !std::same_as<T, char> && !std::same_as<T, wchar_t> &&
             !std::same_as<T, char8_t> && !std::same_as<T, char16_t> && !std::same_as<T, char32_t>)
  Variant(T Value) noexcept : FVType(integerKind<T>()), FInt64(0) {
    store(Value);
  }
  Variant(float Value) noexcept : FVType(varSingle), FInt64(0) { FSingle = Value; }
  Variant(double Value) noexcept : FVType(varDouble), FDouble(Value) {}
  Variant(Currency Value) noexcept : FVType(varCurrency), FInt64(Value.Raw()) {}
  Variant(const String& Value);        // varUString
  Variant(const char* Utf8);           // varUString
  Variant(const AnsiString& Value);    // varString
  Variant(const TBcd& Value);          // varFMTBcd
  Variant(const TSQLTimeStamp& Value);         // varSQLTimeStamp
  Variant(const TSQLTimeStampOffset& Value);   // varSQLTimeStampOffset
  Variant(const IPtr<IInterface>& Value);  // varUnknown, also for a nil reference
  // Pointers would silently become Booleans.
  Variant(const void*) = delete;
  Variant(std::nullptr_t) = delete;

  Variant(const Variant& Other);
  Variant(Variant&& Other) noexcept;
  Variant& operator=(const Variant& Other);
  Variant& operator=(Variant&& Other) noexcept;
  ~Variant();

  // typed getters: the value converted as VarAsType converts it (Empty gives
  // 0, "", False; Null and arrays raise; doubles round half to even)
  Integer AsInteger() const;
  Int64 AsInt64() const;
  double AsDouble() const;
  bool AsBoolean() const;
  String AsString() const;
  TDateTime AsDateTime() const;
  Currency AsCurrency() const;
  // The interface of a varUnknown; Empty gives a nil reference.
  IPtr<IInterface> AsInterface() const;

  // The element at Index of an array (VarArrayGet).
  Variant operator[](Integer Index) const;

  // equality: Null = Null, Empty = Empty, neither equals anything else;
  // numbers across kinds; text ordinally; text meeting a number is converted
  // (EVariantTypeCastError when it is not a number); arrays raise
  friend bool operator==(const Variant& A, const Variant& B);
  // ordering: Null is lowest; Empty counts as 0, "" or False; the other rules
  // as for equality, so incomparable values raise
  friend bool operator<(const Variant& A, const Variant& B);
  friend bool operator<=(const Variant& A, const Variant& B);
  friend bool operator>(const Variant& A, const Variant& B);
  friend bool operator>=(const Variant& A, const Variant& B);

  // arithmetic: a Null operand gives Null; arrays, interfaces and errors
  // raise; text + text concatenates, other text converts through StrToFloat;
  // integers widen to Int64 (then UInt64) instead of overflowing; Currency
  // with an integer or Currency stays Currency, with a float it becomes a
  // Double; Date +/- number is a Date, Date - Date a Double; FMT-BCD with any
  // number is FMT-BCD
  friend Variant operator+(const Variant& A, const Variant& B);
  friend Variant operator-(const Variant& A, const Variant& B);
  friend Variant operator*(const Variant& A, const Variant& B);
  friend Variant operator/(const Variant& A, const Variant& B);  // real division
  friend Variant operator%(const Variant& A, const Variant& B);  // mod
  friend Variant operator-(const Variant& A);
  // and, or, xor, not: three-valued logic on Booleans, bitwise on integers
  friend Variant operator&(const Variant& A, const Variant& B);
  friend Variant operator|(const Variant& A, const Variant& B);
  friend Variant operator^(const Variant& A, const Variant& B);
  friend Variant operator!(const Variant& A);

private:
  friend struct variant_detail::Access;

  template <class T>
  static constexpr TVarType integerKind() {
    constexpr bool Signed = std::is_signed_v<T>;
    if constexpr (sizeof(T) == 1) return Signed ? varShortInt : varByte;
    else if constexpr (sizeof(T) == 2) return Signed ? varSmallint : varWord;
    else if constexpr (sizeof(T) == 4) return Signed ? varInteger : varLongWord;
    else {
      static_assert(sizeof(T) == 8, "no Variant kind for this integer width");
      return Signed ? varInt64 : varUInt64;
    }
  }
  template <class T>
  void store(T Value) noexcept {
    constexpr bool Signed = std::is_signed_v<T>;
    if constexpr (sizeof(T) == 1) Signed ? void(FShortInt = ShortInt(Value)) : void(FByte = Byte(Value));
    else if constexpr (sizeof(T) == 2) Signed ? void(FSmallInt = SmallInt(Value)) : void(FWord = Word(Value));
    else if constexpr (sizeof(T) == 4) Signed ? void(FInteger = Integer(Value)) : void(FLongWord = LongWord(Value));
    else Signed ? void(FInt64 = Int64(Value)) : void(FUInt64 = UInt64(Value));
  }
  bool hasCell() const noexcept;
  void release() noexcept;

  TVarType FVType;
  union {
    bool FBoolean;
    ShortInt FShortInt;
    Byte FByte;
    SmallInt FSmallInt;
    Word FWord;
    Integer FInteger;   // also varError's code
    LongWord FLongWord;
    Int64 FInt64;       // also varCurrency's scaled value
    UInt64 FUInt64;
    float FSingle;
    double FDouble;     // also varDate
    variant_detail::VarCell* FCell;  // text, FMT-BCD, interface, array
  };
};

// special values
Variant Null();
Variant Unassigned();
// A varDate (a plain double stays a varDouble).
Variant VarFromDateTime(TDateTime Value);
// A varError holding an error code.
Variant VarAsError(Integer ErrorCode);
// A varFMTBcd.
Variant VarFMTBcdCreate(const TBcd& Value);
// Time stamps compare, convert and calculate as the date-time they read (an
// offset is not applied); their text is DateTimeToStr of it.
Variant VarSQLTimeStampCreate(const TSQLTimeStamp& Value);
Variant VarSQLTimeStampOffsetCreate(const TSQLTimeStampOffset& Value);

// queries
TVarType VarType(const Variant& V);
bool VarIsType(const Variant& V, TVarType Type);  // the exact code, array flag included
bool VarIsEmpty(const Variant& V);
bool VarIsNull(const Variant& V);
// Empty, or a varUnknown holding nil.
bool VarIsClear(const Variant& V);
// Integer kinds, Boolean, Single, Double, Currency and FMT-BCD (not Date).
bool VarIsNumeric(const Variant& V);
bool VarIsStr(const Variant& V);  // varOleStr, varString, varUString
bool VarIsArray(const Variant& V);
bool VarIsFMTBcd(const Variant& V);
bool VarIsSQLTimeStamp(const Variant& V);
bool VarIsSQLTimeStampOffset(const Variant& V);
// A varError; its code goes to ErrorCode when given.
bool VarIsError(const Variant& V, Integer* ErrorCode = nullptr);
// "Integer", "UnicodeString", "Array Variant" ...: the names in cast messages.
String VarTypeAsText(TVarType Type);

// casts
// V converted to kind Type (varEmpty and varNull give Unassigned and Null).
// Double to an integer kind rounds half to even; Boolean to a number gives
// True = -1, to text "True"/"False"; a number to Boolean is <> 0; text to a
// number goes through StrToFloat, to a date through StrToDateTime (global
// settings).
Variant VarAsType(const Variant& V, TVarType Type);
// The text of V; Null and Empty give "".  Doubles use FloatToStr, dates
// DateTimeToStr, currency CurrToStr, all with the global settings.
String VarToStr(const Variant& V);
// As VarToStr, but Default when V is Null (Empty still gives "").
String VarToStrDef(const Variant& V, const String& Default);
// The 8-bit text of V: a varString's own bytes, else VarToStr in the system
// code page.
AnsiString VarToAnsiStr(const Variant& V);
TBcd VarToBcd(const Variant& V);
// A time stamp from a time stamp (offset dropped or 0), a date-time or a date
// text; others raise the cast error.
TSQLTimeStamp VarToSQLTimeStamp(const Variant& V);
TSQLTimeStampOffset VarToSQLTimeStampOffset(const Variant& V);

// comparison
// As operator== (so incomparable values raise).
bool VarSameValue(const Variant& A, const Variant& B);
// Never raises: Null = Null and Null is less than every other value except
// Empty; Empty is vrEqual to Empty and vrNotEqual to everything else; values
// that cannot be compared (text that is not a number against a number,
// arrays, interfaces) are vrNotEqual.
TVariantRelationship VarCompareValue(const Variant& A, const Variant& B);

// arithmetic without a C++ operator
Variant VarDiv(const Variant& A, const Variant& B);  // integer division (div)

// Arrays: one dimension with any bounds.  Elements of a typed array are
// converted to its element type when stored; a byte array keeps its bytes
// contiguous.  Routines given a non-array raise EVariantInvalidArgError
// "Variant is not an array"; an index outside the bounds, or a dimension other
// than 1, raises EVariantBadIndexError "Variant or safe array index out of
// bounds".
// Bounds is {Low, High} (High = Low - 1 makes an empty array); the elements
// start as the element type's zero (Empty for varVariant).
Variant VarArrayCreate(std::initializer_list<Integer> Bounds, TVarType ElementType);
// A varArray|varVariant from 0 holding Values.
Variant VarArrayOf(std::initializer_list<Variant> Values);
Integer VarArrayDimCount(const Variant& A);  // 1 for an array, else 0
Integer VarArrayLowBound(const Variant& A, Integer Dim);
Integer VarArrayHighBound(const Variant& A, Integer Dim);
Variant VarArrayGet(const Variant& A, Integer Index);
void VarArrayPut(Variant& A, const Variant& Value, Integer Index);
// Moves the high bound, keeping the elements; new ones are the element type's
// zero (Empty, or 0 in a byte array).  Not while locked.
void VarArrayRedim(Variant& A, Integer HighBound);
// The bytes of a varArray|varByte array, valid until the matching unlock;
// copies of a locked array are independent of it.  Other arrays raise
// EVariantInvalidArgError "Invalid argument".
Pointer VarArrayLock(Variant& A);
void VarArrayUnlock(Variant& A);
// Blob values: a varArray|varByte from 0 holding the bytes, and back.  Empty
// gives no bytes; Null and other kinds raise EVariantTypeCastError.
Variant VarArrayFromBytes(const TBytes& Bytes);
Variant VarArrayFromBytes(const QByteArray& Bytes);
TBytes VarArrayToBytes(const Variant& V);
QByteArray VarArrayToByteArray(const Variant& V);

// Carries an object inside a varUnknown: Variant(IPtr<IInterface>(new
// TInterfacedObjectWrapper(Obj))).  The wrapper never owns Obj: whoever made
// Obj frees it, after the last variant that reaches it is gone.  The wrapper
// itself dies with its last reference.
class TInterfacedObjectWrapper : public TInterfacedObject {
  RTL_CLASS(TInterfacedObjectWrapper, TInterfacedObject)
public:
  explicit TInterfacedObjectWrapper(TObject* Obj) : FObject(Obj) {}
  TObject* Object() const { return FObject; }

private:
  TObject* FObject;
};
