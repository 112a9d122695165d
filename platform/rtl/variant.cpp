#include "platform/rtl/variant.h"

#include "platform/rtl/ansistring.h"
#include "platform/rtl/bcd.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/numconv.h"
#include "platform/rtl/rtlmath.h"

#include <QByteArray>
#include <atomic>
#include <cassert>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <iterator>
#include <vector>

// Integer results are computed in 128 bits, so every sum, product and
// quotient of two 64-bit kinds (signed or not) is exact before it is fitted
// into a kind.
using Int128 = __int128;

// ---------------------------------------------------------------------------
// Storage
// ---------------------------------------------------------------------------

namespace variant_detail {

// A shared payload.  Text, BCD and interface cells never change once made;
// an array cell is changed in place only by a variant that holds it alone
// (writers detach first), and a locked array cell is never shared.
struct VarCell {
  VarCell() = default;
  VarCell(const VarCell&) = delete;
  VarCell& operator=(const VarCell&) = delete;
  virtual ~VarCell() = default;

  std::atomic<int> RefCount{1};
};

struct StringCell final : VarCell {
  explicit StringCell(const String& S) : Value(S) {}
  const String Value;
};

struct AnsiCell final : VarCell {
  explicit AnsiCell(const AnsiString& S) : Value(S) {}
  const AnsiString Value;
};

struct BcdCell final : VarCell {
  explicit BcdCell(const TBcd& Bcd) : Value(Bcd) {}
  const TBcd Value;
};

struct TimeStampCell final : VarCell {
  explicit TimeStampCell(const TSQLTimeStampOffset& Stamp) : Value(Stamp) {}
  const TSQLTimeStampOffset Value;  // offset 0 for varSQLTimeStamp
};

struct UnknownCell final : VarCell {
  explicit UnknownCell(const IPtr<IInterface>& Intf) : Value(Intf) {}
  const IPtr<IInterface> Value;
};

// One dimension from Low.  A byte array keeps its elements in Bytes (callers
// lock them as one block); every other array keeps Variants of its element
// type in Items.
struct ArrayCell final : VarCell {
  ArrayCell(TVarType Element, Integer LowBound) : ElementType(Element), Low(LowBound) {}
  // A copy is unlocked and owns its own elements.
  ArrayCell(const ArrayCell& Other)
      : VarCell(), ElementType(Other.ElementType), Low(Other.Low), Items(Other.Items), Bytes(Other.Bytes) {}

  bool isBytes() const { return ElementType == varByte; }
  Int64 count() const { return isBytes() ? Int64(Bytes.size()) : Int64(Items.size()); }
  Int64 high() const { return Low + count() - 1; }

  const TVarType ElementType;
  const Integer Low;
  std::vector<Variant> Items;
  TBytes Bytes;
  int LockCount = 0;
};

// The .cpp's window on Variant's private storage.
struct Access {
  static TVarType type(const Variant& V) { return V.FVType; }
  static bool boolean(const Variant& V) { return V.FBoolean; }
  static float single(const Variant& V) { return V.FSingle; }
  static double real(const Variant& V) { return V.FDouble; }  // varDouble, varDate
  static Currency currency(const Variant& V) { return Currency::FromRaw(V.FInt64); }
  static Integer errorCode(const Variant& V) { return V.FInteger; }

  // The value of an integer kind, or -1/0 for a Boolean.
  static Int128 integer(const Variant& V) {
    switch (V.FVType) {
      case varShortInt: return V.FShortInt;
      case varByte: return V.FByte;
      case varSmallint: return V.FSmallInt;
      case varWord: return V.FWord;
      case varInteger: return V.FInteger;
      case varLongWord: return V.FLongWord;
      case varInt64: return V.FInt64;
      case varUInt64: return V.FUInt64;
      case varBoolean: return V.FBoolean ? -1 : 0;
      default: assert(false && "not an integer kind"); return 0;
    }
  }

  template <class Cell>
  static const Cell& cell(const Variant& V) {
    return static_cast<const Cell&>(*V.FCell);
  }

  static Variant withCell(TVarType Type, VarCell* Cell) {
    Variant V;
    V.FVType = Type;
    V.FCell = Cell;
    return V;
  }

  // V with another code of the same storage (varDouble as varDate, varUString
  // as varOleStr).
  static Variant retyped(Variant V, TVarType Type) {
    V.FVType = Type;
    return V;
  }

  static Variant error(Integer Code) {
    Variant V;
    V.FVType = varError;
    V.FInteger = Code;
    return V;
  }

  // The array cell of A, made A's own first.
  static ArrayCell& mutableArray(Variant& A) {
    auto* Cell = static_cast<ArrayCell*>(A.FCell);
    if (Cell->RefCount.load(std::memory_order_acquire) > 1) {
      auto* Copy = new ArrayCell(*Cell);
      A.release();
      A.FCell = Copy;
      return *Copy;
    }
    return *Cell;
  }
};

}  // namespace variant_detail

using variant_detail::Access;
using variant_detail::AnsiCell;
using variant_detail::ArrayCell;
using variant_detail::BcdCell;
using variant_detail::TimeStampCell;
using variant_detail::StringCell;
using variant_detail::UnknownCell;

Variant::Variant(const String& Value) : FVType(varUString), FCell(new StringCell(Value)) {}
Variant::Variant(const char* Utf8) : Variant(String::fromUtf8(Utf8)) {}
Variant::Variant(const AnsiString& Value) : FVType(varString), FCell(new AnsiCell(Value)) {}
Variant::Variant(const TBcd& Value) : FVType(varFMTBcd), FCell(new BcdCell(Value)) {}
Variant::Variant(const TSQLTimeStamp& Value)
    : FVType(varSQLTimeStamp), FCell(new TimeStampCell(TSQLTimeStampOffset{Value})) {}
Variant::Variant(const TSQLTimeStampOffset& Value)
    : FVType(varSQLTimeStampOffset), FCell(new TimeStampCell(Value)) {}
Variant::Variant(const IPtr<IInterface>& Value) : FVType(varUnknown), FCell(new UnknownCell(Value)) {}

static_assert(sizeof(Int64) == sizeof(variant_detail::VarCell*), "the payload is one 8-byte word");

Variant::Variant(const Variant& Other) : FVType(Other.FVType) {
  std::memcpy(&FInt64, &Other.FInt64, sizeof(FInt64));
  if (!hasCell()) return;
  if ((FVType & varArray) && static_cast<const ArrayCell*>(FCell)->LockCount > 0)
    FCell = new ArrayCell(*static_cast<const ArrayCell*>(FCell));  // the locked bytes stay the original's
  else
    FCell->RefCount.fetch_add(1, std::memory_order_relaxed);
}

Variant::Variant(Variant&& Other) noexcept : FVType(Other.FVType) {
  std::memcpy(&FInt64, &Other.FInt64, sizeof(FInt64));
  Other.FVType = varEmpty;
}

Variant& Variant::operator=(const Variant& Other) {
  if (this != &Other) *this = Variant(Other);
  return *this;
}

Variant& Variant::operator=(Variant&& Other) noexcept {
  if (this == &Other) return *this;
  release();
  FVType = Other.FVType;
  std::memcpy(&FInt64, &Other.FInt64, sizeof(FInt64));
  Other.FVType = varEmpty;
  return *this;
}

Variant::~Variant() { release(); }

bool Variant::hasCell() const noexcept {
  switch (FVType) {
    case varOleStr:
    case varUString:
    case varString:
    case varFMTBcd:
    case varSQLTimeStamp:
    case varSQLTimeStampOffset:
    case varUnknown: return true;
    default: return (FVType & varArray) != 0;
  }
}

void Variant::release() noexcept {
  if (hasCell() && FCell->RefCount.fetch_sub(1, std::memory_order_acq_rel) == 1) delete FCell;
}

// ---------------------------------------------------------------------------
// Kinds, names and errors
// ---------------------------------------------------------------------------

namespace {

bool isIntegerKind(TVarType T) {
  switch (T) {
    case varShortInt:
    case varByte:
    case varSmallint:
    case varWord:
    case varInteger:
    case varLongWord:
    case varInt64:
    case varUInt64: return true;
    default: return false;
  }
}

// Integer kinds and Boolean: the kinds Access::integer reads.
bool isOrdinalKind(TVarType T) { return isIntegerKind(T) || T == varBoolean; }
bool isFloatKind(TVarType T) { return T == varSingle || T == varDouble || T == varDate; }
bool isStringKind(TVarType T) { return T == varOleStr || T == varUString || T == varString; }
bool isNumberKind(TVarType T) {
  return isOrdinalKind(T) || isFloatKind(T) || T == varCurrency || T == varFMTBcd;
}

struct IntRange {
  Int128 Min;
  Int128 Max;
};

IntRange rangeOf(TVarType IntegerKind) {
  switch (IntegerKind) {
    case varShortInt: return {INT8_MIN, INT8_MAX};
    case varByte: return {0, UINT8_MAX};
    case varSmallint: return {INT16_MIN, INT16_MAX};
    case varWord: return {0, UINT16_MAX};
    case varInteger: return {INT32_MIN, INT32_MAX};
    case varLongWord: return {0, UINT32_MAX};
    case varInt64: return {INT64_MIN, INT64_MAX};
    case varUInt64: return {0, UINT64_MAX};
    default: assert(false && "not an integer kind"); return {0, 0};
  }
}

bool fits(Int128 Value, TVarType IntegerKind) {
  const IntRange R = rangeOf(IntegerKind);
  return Value >= R.Min && Value <= R.Max;
}

Variant makeInteger(Int128 Value, TVarType IntegerKind) {
  assert(fits(Value, IntegerKind) && "value outside its kind");
  switch (IntegerKind) {
    case varShortInt: return Variant(ShortInt(Value));
    case varByte: return Variant(Byte(Value));
    case varSmallint: return Variant(SmallInt(Value));
    case varWord: return Variant(Word(Value));
    case varInteger: return Variant(Integer(Value));
    case varLongWord: return Variant(LongWord(Value));
    case varInt64: return Variant(Int64(Value));
    default: return Variant(UInt64(Value));
  }
}

[[noreturn]] void raiseCast(TVarType From, TVarType To) {
  throw EVariantTypeCastError(QStringLiteral("Could not convert variant of type (%1) into type (%2)")
                                  .arg(VarTypeAsText(From), VarTypeAsText(To)));
}

[[noreturn]] void raiseOverflow(TVarType From, TVarType To) {
  throw EVariantOverflowError(QStringLiteral("Overflow while converting variant of type (%1) into type (%2)")
                                  .arg(VarTypeAsText(From), VarTypeAsText(To)));
}

[[noreturn]] void raiseInvalidOp() { throw EVariantInvalidOpError(QStringLiteral("Invalid variant operation")); }

[[noreturn]] void raiseBadIndex() {
  throw EVariantBadIndexError(QStringLiteral("Variant or safe array index out of bounds"));
}

[[noreturn]] void raiseInvalidArg() { throw EVariantInvalidArgError(QStringLiteral("Invalid argument")); }

}  // namespace

String VarTypeAsText(TVarType Type) {
  if (Type & varArray) return QStringLiteral("Array ") + VarTypeAsText(Type & varTypeMask);
  static const char* const Names[] = {
      "Empty",  "Null",     "Smallint", "Integer", "Single",  "Double",  "Currency", "Date",
      "OleStr", "Dispatch", "Error",    "Boolean", "Variant", "Unknown", "Decimal",  nullptr,
      "ShortInt", "Byte",   "Word",     "LongWord", "Int64",  "UInt64"};
  if (Type < std::size(Names) && Names[Type]) return QString::fromLatin1(Names[Type]);
  switch (Type) {
    case varString: return QStringLiteral("String");
    case varUString: return QStringLiteral("UnicodeString");
    case varFMTBcd: return QStringLiteral("FMTBcd");
    case varSQLTimeStamp: return QStringLiteral("SQLTimeStamp");
    case varSQLTimeStampOffset: return QStringLiteral("SQLTimeStampOffset");
    default: return QLatin1Char('$') + IntToHex(Type, 4);
  }
}

// ---------------------------------------------------------------------------
// Special values and queries
// ---------------------------------------------------------------------------

Variant Null() { return Access::retyped(Variant(), varNull); }
Variant Unassigned() { return Variant(); }
Variant VarFromDateTime(TDateTime Value) { return Access::retyped(Variant(Value), varDate); }
Variant VarAsError(Integer ErrorCode) { return Access::error(ErrorCode); }
Variant VarFMTBcdCreate(const TBcd& Value) { return Variant(Value); }
Variant VarSQLTimeStampCreate(const TSQLTimeStamp& Value) { return Variant(Value); }
Variant VarSQLTimeStampOffsetCreate(const TSQLTimeStampOffset& Value) { return Variant(Value); }

TVarType VarType(const Variant& V) { return Access::type(V); }
bool VarIsType(const Variant& V, TVarType Type) { return Access::type(V) == Type; }
bool VarIsEmpty(const Variant& V) { return Access::type(V) == varEmpty; }
bool VarIsNull(const Variant& V) { return Access::type(V) == varNull; }
bool VarIsArray(const Variant& V) { return (Access::type(V) & varArray) != 0; }
bool VarIsStr(const Variant& V) { return isStringKind(Access::type(V)); }
bool VarIsNumeric(const Variant& V) {
  const TVarType T = Access::type(V);
  return isNumberKind(T) && T != varDate;
}
bool VarIsFMTBcd(const Variant& V) { return Access::type(V) == varFMTBcd; }
bool VarIsSQLTimeStamp(const Variant& V) { return Access::type(V) == varSQLTimeStamp; }
bool VarIsSQLTimeStampOffset(const Variant& V) { return Access::type(V) == varSQLTimeStampOffset; }

bool VarIsClear(const Variant& V) {
  switch (Access::type(V)) {
    case varEmpty: return true;
    case varUnknown: return !Access::cell<UnknownCell>(V).Value;
    default: return false;
  }
}

bool VarIsError(const Variant& V, Integer* ErrorCode) {
  if (Access::type(V) != varError) return false;
  if (ErrorCode) *ErrorCode = Access::errorCode(V);
  return true;
}

// ---------------------------------------------------------------------------
// Casts
// ---------------------------------------------------------------------------

namespace {

const String& textOf(const Variant& V) { return Access::cell<StringCell>(V).Value; }
const TBcd& bcdOf(const Variant& V) { return Access::cell<BcdCell>(V).Value; }

bool isTimeStampKind(TVarType T) { return T == varSQLTimeStamp || T == varSQLTimeStampOffset; }
const TSQLTimeStampOffset& timeStampOf(const Variant& V) { return Access::cell<TimeStampCell>(V).Value; }
// A time stamp as the varDate it reads; any other value as it is.
Variant dateOfTimeStamp(const Variant& V) {
  return isTimeStampKind(Access::type(V)) ? VarFromDateTime(SQLTimeStampToDateTime(timeStampOf(V))) : V;
}

// The text of any string kind.
String stringOf(const Variant& V) {
  return Access::type(V) == varString ? Access::cell<AnsiCell>(V).Value.ToString() : textOf(V);
}

// Rounds half to even into an integer kind.
Int128 roundToInteger(double X, TVarType From, TVarType To) {
  constexpr double TwoTo63 = 9223372036854775808.0;
  constexpr double TwoTo64 = 18446744073709551616.0;
  if (std::isnan(X) || X < -TwoTo63 || X >= TwoTo64) raiseOverflow(From, To);
  if (X >= TwoTo63) return Int128(UInt64(X));  // doubles this large have no fraction
  return Round(X);
}

// Currency to a whole number, half to even, without a detour through double.
Int128 roundCurrency(Currency C) {
  const Int64 Raw = C.Raw();
  Int64 Whole = Raw / Currency::Scale;
  const Int64 Rest = Raw % Currency::Scale;  // same sign as Raw
  const Int64 Twice = 2 * (Rest < 0 ? -Rest : Rest);
  if (Twice > Currency::Scale || (Twice == Currency::Scale && Whole % 2 != 0)) Whole += Raw < 0 ? -1 : 1;
  return Whole;
}

// A BCD to a whole number, half to even like the other kinds; beyond Int64
// raises the overflow.
Int128 roundBcd(const TBcd& Bcd, TVarType To) {
  try {
    const Int64 Whole = BcdToInt64(Bcd, /*Truncate=*/true);
    const TBcd Fraction = Bcd - Int64ToBcd(Whole);
    const int Sign = BcdCompare(Fraction, TBcd());
    const TBcd Twice = (Sign < 0 ? -Fraction : Fraction) * IntegerToBcd(2);
    const int Half = BcdCompare(Twice, IntegerToBcd(1));
    if (Half > 0 || (Half == 0 && Whole % 2 != 0)) return Int128(Whole) + Sign;
    return Whole;
  } catch (const EBcdOverflowException&) {
    raiseOverflow(varFMTBcd, To);
  }
}

Int128 castToInteger(const Variant& V, TVarType To) {
  const TVarType From = Access::type(V);
  Int128 Value = 0;
  if (isOrdinalKind(From)) {
    Value = Access::integer(V);
  } else {
    switch (From) {
      case varEmpty: break;
      case varSingle: Value = roundToInteger(Access::single(V), From, To); break;
      case varDouble:
      case varDate: Value = roundToInteger(Access::real(V), From, To); break;
      case varCurrency: Value = roundCurrency(Access::currency(V)); break;
      case varFMTBcd: Value = roundBcd(bcdOf(V), To); break;
      case varOleStr:
      case varUString:
      case varString: {
        const String S = stringOf(V);
        Int64 Whole = 0;
        double Real = 0;
        if (TryStrToInt64(S, Whole))
          Value = Whole;
        else if (TryStrToFloat(S, Real))
          Value = roundToInteger(Real, From, To);
        else
          raiseCast(From, To);
        break;
      }
      default: raiseCast(From, To);
    }
  }
  if (!fits(Value, To)) raiseOverflow(From, To);
  return Value;
}

// To is varSingle, varDouble or varDate: text becomes a date through
// StrToDateTime and a number through StrToFloat.
double castToDouble(const Variant& V, TVarType To) {
  const TVarType From = Access::type(V);
  double Value = 0;
  if (isOrdinalKind(From)) {
    Value = double(Access::integer(V));
  } else {
    switch (From) {
      case varEmpty: break;
      case varSingle: Value = Access::single(V); break;
      case varDouble:
      case varDate: Value = Access::real(V); break;
      case varCurrency: Value = Access::currency(V).ToDouble(); break;
      case varFMTBcd: Value = BcdToDouble(bcdOf(V)); break;
      case varSQLTimeStamp:
      case varSQLTimeStampOffset: Value = SQLTimeStampToDateTime(timeStampOf(V)); break;
      case varOleStr:
      case varUString:
      case varString: {
        const bool Parsed =
            To == varDate ? TryStrToDateTime(stringOf(V), Value) : TryStrToFloat(stringOf(V), Value);
        if (!Parsed) raiseCast(From, To);
        break;
      }
      default: raiseCast(From, To);
    }
  }
  if (To == varSingle && std::isfinite(Value) && std::fabs(Value) > FLT_MAX) raiseOverflow(From, To);
  return Value;
}

Currency castToCurrency(const Variant& V) {
  const TVarType From = Access::type(V);
  try {
    if (isOrdinalKind(From)) {
      const Int128 Value = Access::integer(V);
      return Value < 0 ? Currency(Int64(Value)) : Currency(UInt64(Value));
    }
    switch (From) {
      case varEmpty: return Currency();
      case varSingle:
      case varDouble:
      case varDate: return Currency(castToDouble(V, varDouble));
      case varCurrency: return Access::currency(V);
      case varFMTBcd: {
        Currency Value;
        if (!BcdToCurr(bcdOf(V), Value)) raiseOverflow(From, varCurrency);
        return Value;
      }
      case varOleStr:
      case varUString:
      case varString: {
        Currency Value;
        if (!TryStrToCurr(stringOf(V), Value)) raiseCast(From, varCurrency);
        return Value;
      }
      default: raiseCast(From, varCurrency);
    }
  } catch (const EOverflow&) {
    raiseOverflow(From, varCurrency);
  }
}

bool castToBoolean(const Variant& V) {
  const TVarType From = Access::type(V);
  if (isOrdinalKind(From)) return Access::integer(V) != 0;
  switch (From) {
    case varEmpty: return false;
    case varSingle: return Access::single(V) != 0;
    case varDouble:
    case varDate: return Access::real(V) != 0;
    case varCurrency: return Access::currency(V) != Currency();
    case varFMTBcd: return BcdCompare(bcdOf(V), TBcd()) != 0;
    case varOleStr:
    case varUString:
    case varString: {
      bool Value = false;
      if (!TryStrToBool(stringOf(V), Value)) raiseCast(From, varBoolean);
      return Value;
    }
    default: raiseCast(From, varBoolean);
  }
}

String castToString(const Variant& V, TVarType To) {
  const TVarType From = Access::type(V);
  switch (From) {
    case varEmpty: return String();
    case varBoolean: return BoolToStr(Access::boolean(V), /*UseBoolStrs=*/true);
    case varUInt64: return UIntToStr(UInt64(Access::integer(V)));
    case varSingle: return FloatToStr(Access::single(V));
    case varDouble: return FloatToStr(Access::real(V));
    case varDate: return DateTimeToStr(Access::real(V));
    case varCurrency: return CurrToStr(Access::currency(V));
    case varFMTBcd: return BcdToStr(bcdOf(V));
    case varSQLTimeStamp:
    case varSQLTimeStampOffset: return DateTimeToStr(SQLTimeStampToDateTime(timeStampOf(V)));
    case varOleStr:
    case varUString:
    case varString: return stringOf(V);
    default:
      if (isIntegerKind(From)) return IntToStr(Int64(Access::integer(V)));
      raiseCast(From, To);
  }
}

AnsiString castToAnsiString(const Variant& V) {
  if (Access::type(V) == varString) return Access::cell<AnsiCell>(V).Value;
  return AnsiString(castToString(V, varString));
}

TBcd castToBcd(const Variant& V) {
  const TVarType From = Access::type(V);
  try {
    if (isOrdinalKind(From)) {
      const Int128 Value = Access::integer(V);
      return fits(Value, varInt64) ? Int64ToBcd(Int64(Value)) : StrToBcd(UIntToStr(UInt64(Value)));
    }
    switch (From) {
      case varEmpty: return TBcd();
      case varSingle:
      case varDouble:
      case varDate: return DoubleToBcd(castToDouble(V, varDouble));
      case varCurrency: return CurrencyToBcd(Access::currency(V));
      case varFMTBcd: return bcdOf(V);
      case varOleStr:
      case varUString:
      case varString: {
        TBcd Value;
        if (!TryStrToBcd(stringOf(V), Value)) raiseCast(From, varFMTBcd);
        return Value;
      }
      default: raiseCast(From, varFMTBcd);
    }
  } catch (const EBcdOverflowException&) {
    raiseOverflow(From, varFMTBcd);
  }
}

IPtr<IInterface> castToInterface(const Variant& V) {
  switch (Access::type(V)) {
    case varEmpty: return nullptr;
    case varUnknown: return Access::cell<UnknownCell>(V).Value;
    default: raiseCast(Access::type(V), varUnknown);
  }
}

}  // namespace

Variant VarAsType(const Variant& V, TVarType Type) {
  const TVarType From = Access::type(V);
  if (From == Type) return V;
  if (Type == varEmpty) return Unassigned();
  if (Type == varNull) return Null();
  if ((From & varArray) || (Type & varArray)) raiseCast(From, Type);
  if (isIntegerKind(Type)) return makeInteger(castToInteger(V, Type), Type);
  switch (Type) {
    case varSingle: return Variant(float(castToDouble(V, varSingle)));
    case varDouble: return Variant(castToDouble(V, varDouble));
    case varDate: return VarFromDateTime(castToDouble(V, varDate));
    case varCurrency: return Variant(castToCurrency(V));
    case varBoolean: return Variant(castToBoolean(V));
    case varOleStr: return Access::retyped(Variant(castToString(V, varOleStr)), varOleStr);
    case varUString: return Variant(castToString(V, varUString));
    case varString: return Variant(castToAnsiString(V));
    case varFMTBcd: return Variant(castToBcd(V));
    case varSQLTimeStamp: return Variant(VarToSQLTimeStamp(V));
    case varSQLTimeStampOffset: return Variant(VarToSQLTimeStampOffset(V));
    case varUnknown: return Variant(castToInterface(V));
    default: raiseCast(From, Type);
  }
}

Integer Variant::AsInteger() const { return Integer(castToInteger(*this, varInteger)); }
Int64 Variant::AsInt64() const { return Int64(castToInteger(*this, varInt64)); }
double Variant::AsDouble() const { return castToDouble(*this, varDouble); }
bool Variant::AsBoolean() const { return castToBoolean(*this); }
String Variant::AsString() const { return castToString(*this, varUString); }
TDateTime Variant::AsDateTime() const { return castToDouble(*this, varDate); }
Currency Variant::AsCurrency() const { return castToCurrency(*this); }
IPtr<IInterface> Variant::AsInterface() const { return castToInterface(*this); }

String VarToStr(const Variant& V) {
  const TVarType T = Access::type(V);
  if (T == varNull || T == varEmpty) return String();
  return castToString(V, varUString);
}

String VarToStrDef(const Variant& V, const String& Default) {
  return VarIsNull(V) ? Default : VarToStr(V);
}

TBcd VarToBcd(const Variant& V) { return castToBcd(V); }

TSQLTimeStampOffset VarToSQLTimeStampOffset(const Variant& V) {
  if (isTimeStampKind(Access::type(V))) return timeStampOf(V);
  if (Access::type(V) == varNull || (Access::type(V) & varArray)) raiseCast(Access::type(V), varSQLTimeStampOffset);
  return TSQLTimeStampOffset{DateTimeToSQLTimeStamp(castToDouble(V, varDate))};
}

TSQLTimeStamp VarToSQLTimeStamp(const Variant& V) {
  if (Access::type(V) == varNull) raiseCast(varNull, varSQLTimeStamp);
  return VarToSQLTimeStampOffset(V);
}

AnsiString VarToAnsiStr(const Variant& V) {
  if (Access::type(V) == varString) return Access::cell<AnsiCell>(V).Value;
  return AnsiString(VarToStr(V));
}

// ---------------------------------------------------------------------------
// Comparison
// ---------------------------------------------------------------------------

namespace {

enum class Order { Less, Equal, Greater, Unordered };

// Why two values had no order: a conversion that failed (From into To), or an
// operation no kind allows.  None means "unordered, but not an error", as for
// NaN or two different interfaces.
struct OrderFailure {
  enum { None, Cast, InvalidOp } Reason = None;
  TVarType From = varEmpty;
  TVarType To = varEmpty;

  bool isError() const { return Reason != None; }
  void setCast(TVarType CastFrom, TVarType CastTo) {
    Reason = Cast;
    From = CastFrom;
    To = CastTo;
  }
  [[noreturn]] void raise() const {
    if (Reason == InvalidOp) raiseInvalidOp();
    raiseCast(From, To);
  }
};

template <class T>
Order orderOf(const T& A, const T& B) {
  if (A < B) return Order::Less;
  if (B < A) return Order::Greater;
  return Order::Equal;
}

Order orderOfDoubles(double A, double B) {
  if (std::isnan(A) || std::isnan(B)) return Order::Unordered;
  return orderOf(A, B);
}

// Currency against a whole number: the number scaled to currency in 128 bits.
Int128 scaledToCurrency(const Variant& V) {
  return Access::type(V) == varCurrency ? Int128(Access::currency(V).Raw())
                                        : Access::integer(V) * Currency::Scale;
}

// Both operands are numbers.  A float on either side compares as doubles,
// FMT-BCD exactly with integers and currency.
Order compareNumbers(const Variant& A, const Variant& B) {
  const TVarType TA = Access::type(A);
  const TVarType TB = Access::type(B);
  if (TA == varBoolean && TB == varBoolean)  // False < True, as ordinals
    return orderOf(int(Access::boolean(A)), int(Access::boolean(B)));
  if (isFloatKind(TA) || isFloatKind(TB))
    return orderOfDoubles(castToDouble(A, varDouble), castToDouble(B, varDouble));
  if (TA == varFMTBcd || TB == varFMTBcd) return orderOf(BcdCompare(castToBcd(A), castToBcd(B)), 0);
  if (TA == varCurrency || TB == varCurrency) return orderOf(scaledToCurrency(A), scaledToCurrency(B));
  return orderOf(Access::integer(A), Access::integer(B));
}

// The value text S stands for when compared with Other's kind, or Empty (with
// Failure set) when it does not convert.
Variant textAsKindOf(const Variant& S, const Variant& Other, OrderFailure& Failure) {
  const String Text = stringOf(S);
  switch (Access::type(Other)) {
    case varBoolean: {
      bool Value = false;
      if (TryStrToBool(Text, Value)) return Variant(Value);
      Failure.setCast(Access::type(S), varBoolean);
      return Variant();
    }
    case varDate: {
      TDateTime Value = 0;
      if (TryStrToDateTime(Text, Value)) return VarFromDateTime(Value);
      Failure.setCast(Access::type(S), varDate);
      return Variant();
    }
    default: {
      double Value = 0;
      if (TryStrToFloat(Text, Value)) return Variant(Value);
      Failure.setCast(Access::type(S), varDouble);
      return Variant();
    }
  }
}

// Orders two values that are neither Null nor Empty; never raises.
Order compareValues(const Variant& A, const Variant& B, OrderFailure& Failure) {
  if (isTimeStampKind(Access::type(A)) || isTimeStampKind(Access::type(B)))
    return compareValues(dateOfTimeStamp(A), dateOfTimeStamp(B), Failure);
  const TVarType TA = Access::type(A);
  const TVarType TB = Access::type(B);
  const bool ValueA = isNumberKind(TA) || isStringKind(TA);
  const bool ValueB = isNumberKind(TB) || isStringKind(TB);
  if (!ValueA || !ValueB) {
    if (TA == varUnknown && TB == varUnknown)
      return Access::cell<UnknownCell>(A).Value == Access::cell<UnknownCell>(B).Value ? Order::Equal
                                                                                        : Order::Unordered;
    if (TA == varError && TB == varError)
      return Access::errorCode(A) == Access::errorCode(B) ? Order::Equal : Order::Unordered;
    Failure.Reason = OrderFailure::InvalidOp;
    return Order::Unordered;
  }
  if (isStringKind(TA) && isStringKind(TB)) return orderOf(stringOf(A).compare(stringOf(B)), 0);
  if (isStringKind(TA)) {
    const Variant Converted = textAsKindOf(A, B, Failure);
    return Failure.isError() ? Order::Unordered : compareNumbers(Converted, B);
  }
  if (isStringKind(TB)) {
    const Variant Converted = textAsKindOf(B, A, Failure);
    return Failure.isError() ? Order::Unordered : compareNumbers(A, Converted);
  }
  return compareNumbers(A, B);
}

// What Empty counts as beside Other in an ordering: "", False or 0.
Variant emptyLike(const Variant& Other) {
  const TVarType T = Access::type(Other);
  if (isStringKind(T)) return Variant(String());
  if (T == varBoolean) return Variant(false);
  return Variant(Integer(0));
}

// The order the ordering operators use; raises when there is none.
Order orderForOperators(const Variant& A, const Variant& B) {
  const TVarType TA = Access::type(A);
  const TVarType TB = Access::type(B);
  if (TA == varNull || TB == varNull) return orderOf(TA != varNull, TB != varNull);
  if (TA == varEmpty && TB == varEmpty) return Order::Equal;
  OrderFailure Failure;
  const Order Result = TA == varEmpty   ? compareValues(emptyLike(B), B, Failure)
                       : TB == varEmpty ? compareValues(A, emptyLike(A), Failure)
                                        : compareValues(A, B, Failure);
  if (Failure.isError()) Failure.raise();
  return Result;
}

}  // namespace

bool operator==(const Variant& A, const Variant& B) {
  const TVarType TA = Access::type(A);
  const TVarType TB = Access::type(B);
  if (TA == varNull || TB == varNull) return TA == TB;
  if (TA == varEmpty || TB == varEmpty) return TA == TB;
  OrderFailure Failure;
  const Order Result = compareValues(A, B, Failure);
  if (Failure.isError()) Failure.raise();
  return Result == Order::Equal;
}

bool operator<(const Variant& A, const Variant& B) { return orderForOperators(A, B) == Order::Less; }
bool operator>(const Variant& A, const Variant& B) { return orderForOperators(A, B) == Order::Greater; }
bool operator<=(const Variant& A, const Variant& B) {
  const Order O = orderForOperators(A, B);
  return O == Order::Less || O == Order::Equal;
}
bool operator>=(const Variant& A, const Variant& B) {
  const Order O = orderForOperators(A, B);
  return O == Order::Greater || O == Order::Equal;
}

bool VarSameValue(const Variant& A, const Variant& B) { return A == B; }

TVariantRelationship VarCompareValue(const Variant& A, const Variant& B) {
  const TVarType TA = Access::type(A);
  const TVarType TB = Access::type(B);
  if (TA == varEmpty || TB == varEmpty) return TA == TB ? vrEqual : vrNotEqual;
  if (TA == varNull || TB == varNull) {
    if (TA == TB) return vrEqual;
    return TA == varNull ? vrLessThan : vrGreaterThan;
  }
  OrderFailure Failure;
  switch (compareValues(A, B, Failure)) {
    case Order::Less: return vrLessThan;
    case Order::Equal: return vrEqual;
    case Order::Greater: return vrGreaterThan;
    case Order::Unordered: return vrNotEqual;
  }
  return vrNotEqual;
}

// ---------------------------------------------------------------------------
// Arithmetic
//
// Operands, in this order:
//   1. arrays, interfaces and errors raise EVariantInvalidOpError;
//   2. a Null operand gives Null (and/or: three-valued, see logic());
//   3. Empty counts as "" beside text in "+", as False beside a Boolean or
//      text in and/or/xor, and as Integer 0 everywhere else;
//   4. text + text concatenates; other text is converted by StrToFloat (by
//      StrToBool in and/or/xor/not);
//   5. Booleans count as Smallint -1 and 0.
// The result kind, first match:
//   - FMT-BCD when either operand is;
//   - Date + number, Date - number and Date + Date are a Date, Date - Date a
//     Double;
//   - a Single, Double or Date operand gives a Double (two Singles a Single);
//   - Currency with an integer or Currency stays Currency;
//   - "/" of integers gives a Double; otherwise integers give the wider kind,
//     or Int64 (then UInt64) when the value does not fit it.
// ---------------------------------------------------------------------------

namespace {

enum class ArithOp { Add, Subtract, Multiply, Divide };
enum class LogicOp { And, Or, Xor };

bool isOperandKind(TVarType T) {
  return T == varEmpty || T == varNull || isNumberKind(T) || isStringKind(T);
}

void checkOperand(const Variant& V) {
  if (!isOperandKind(Access::type(V))) raiseInvalidOp();
}

bool isNull(const Variant& V) { return Access::type(V) == varNull; }
bool isEmpty(const Variant& V) { return Access::type(V) == varEmpty; }

// Ranks for "the wider kind"; a Boolean ranks as a Smallint.
int integerRank(TVarType T) {
  switch (T) {
    case varShortInt: return 1;
    case varByte: return 2;
    case varSmallint:
    case varBoolean: return 3;
    case varWord: return 4;
    case varInteger: return 5;
    case varLongWord: return 6;
    case varInt64: return 7;
    default: return 8;  // varUInt64
  }
}

TVarType widerIntegerKind(TVarType A, TVarType B) {
  const TVarType Wider = integerRank(A) >= integerRank(B) ? A : B;
  return Wider == varBoolean ? varSmallint : Wider;
}

// Value in Preferred when it fits, else widened to Int64 or UInt64.
Variant fitInteger(Int128 Value, TVarType Preferred) {
  for (TVarType Kind : {Preferred, varInt64, varUInt64})
    if (fits(Value, Kind)) return makeInteger(Value, Kind);
  throw EIntOverflow(QStringLiteral("Integer overflow"));
}

// An operand of div, mod and the bitwise operators: an integer kind as it is,
// a Boolean as Smallint -1/0, anything else rounded half to even into an
// Integer (an Int64 when it does not fit).
struct IntOperand {
  Int128 Value;
  TVarType Kind;
};

IntOperand intOperand(const Variant& V) {
  const TVarType T = Access::type(V);
  if (isOrdinalKind(T)) return {Access::integer(V), T == varBoolean ? varSmallint : T};
  const Int128 Value = castToInteger(V, varInt64);
  return {Value, fits(Value, varInteger) ? varInteger : varInt64};
}

double divideReals(double A, double B) {
  if (B == 0) {
    if (A == 0 || std::isnan(A)) throw EInvalidOp(QStringLiteral("Invalid floating point operation"));
    throw EZeroDivide(QStringLiteral("Floating point division by zero"));
  }
  return A / B;
}

double applyReal(ArithOp Op, double A, double B) {
  switch (Op) {
    case ArithOp::Add: return A + B;
    case ArithOp::Subtract: return A - B;
    case ArithOp::Multiply: return A * B;
    case ArithOp::Divide: return divideReals(A, B);
  }
  return 0;
}

Currency applyCurrency(ArithOp Op, Currency A, Currency B) {
  switch (Op) {
    case ArithOp::Add: return A + B;
    case ArithOp::Subtract: return A - B;
    case ArithOp::Multiply: return A * B;
    case ArithOp::Divide: return A / B;
  }
  return Currency();
}

TBcd applyBcd(ArithOp Op, const TBcd& A, const TBcd& B) {
  switch (Op) {
    case ArithOp::Add: return A + B;
    case ArithOp::Subtract: return A - B;
    case ArithOp::Multiply: return A * B;
    case ArithOp::Divide: return A / B;
  }
  return TBcd();
}

// Add, Subtract or Multiply of two integers of at most 64 bits.
Int128 applyInteger(ArithOp Op, Int128 A, Int128 B) {
  Int128 Result = 0;
  switch (Op) {
    case ArithOp::Add: return A + B;
    case ArithOp::Subtract: return A - B;
    case ArithOp::Multiply:
      if (__builtin_mul_overflow(A, B, &Result)) throw EIntOverflow(QStringLiteral("Integer overflow"));
      return Result;
    case ArithOp::Divide: break;
  }
  assert(false && "integer division goes through doubles");
  return Result;
}

// Both operands are numbers.
Variant numericArithmetic(ArithOp Op, const Variant& A, const Variant& B) {
  const TVarType TA = Access::type(A);
  const TVarType TB = Access::type(B);
  if (TA == varFMTBcd || TB == varFMTBcd) return Variant(applyBcd(Op, castToBcd(A), castToBcd(B)));
  const bool Additive = Op == ArithOp::Add || Op == ArithOp::Subtract;
  if ((TA == varDate || TB == varDate) && Additive) {
    const double Result = applyReal(Op, castToDouble(A, varDouble), castToDouble(B, varDouble));
    const bool Difference = TA == varDate && TB == varDate && Op == ArithOp::Subtract;
    return Difference ? Variant(Result) : VarFromDateTime(Result);
  }
  if (isFloatKind(TA) || isFloatKind(TB)) {
    const double Result = applyReal(Op, castToDouble(A, varDouble), castToDouble(B, varDouble));
    // A float result rounded from the exact double one is the float operation's.
    return TA == varSingle && TB == varSingle ? Variant(float(Result)) : Variant(Result);
  }
  if (TA == varCurrency || TB == varCurrency)
    return Variant(applyCurrency(Op, castToCurrency(A), castToCurrency(B)));
  if (Op == ArithOp::Divide)
    return Variant(divideReals(double(Access::integer(A)), double(Access::integer(B))));
  return fitInteger(applyInteger(Op, Access::integer(A), Access::integer(B)), widerIntegerKind(TA, TB));
}

Variant concatenate(const Variant& A, const Variant& B) {
  const TVarType TA = Access::type(A);
  const String Text = stringOf(A) + stringOf(B);
  if (TA != Access::type(B)) return Variant(Text);
  if (TA == varString) return Variant(AnsiString(Text));
  return Access::retyped(Variant(Text), TA);
}

Variant arithmetic(ArithOp Op, const Variant& A0, const Variant& B0) {
  if (isTimeStampKind(Access::type(A0)) || isTimeStampKind(Access::type(B0)))
    return arithmetic(Op, dateOfTimeStamp(A0), dateOfTimeStamp(B0));
  checkOperand(A0);
  checkOperand(B0);
  if (isNull(A0) || isNull(B0)) return Null();
  auto EmptyOperand = [Op](const Variant& Other) {
    return Op == ArithOp::Add && isStringKind(Access::type(Other)) ? Variant(String()) : Variant(Integer(0));
  };
  Variant A = isEmpty(A0) ? EmptyOperand(B0) : A0;
  Variant B = isEmpty(B0) ? EmptyOperand(A0) : B0;
  const bool TextA = isStringKind(Access::type(A));
  const bool TextB = isStringKind(Access::type(B));
  if (TextA && TextB && Op == ArithOp::Add) return concatenate(A, B);
  if (TextA) A = Variant(castToDouble(A, varDouble));
  if (TextB) B = Variant(castToDouble(B, varDouble));
  return numericArithmetic(Op, A, B);
}

// Empty is False beside a Boolean or text and 0 otherwise; text is a Boolean.
Variant logicOperand(const Variant& V, const Variant& Other) {
  const TVarType T = Access::type(V);
  if (T == varEmpty) {
    const TVarType O = Access::type(Other);
    return O == varBoolean || isStringKind(O) ? Variant(false) : Variant(Integer(0));
  }
  if (isStringKind(T)) return Variant(castToBoolean(V));
  return V;
}

Variant logic(LogicOp Op, const Variant& A0, const Variant& B0) {
  checkOperand(A0);
  checkOperand(B0);
  if (isNull(A0) || isNull(B0)) {
    // Unknown and False is False, unknown or True is True; the rest is unknown.
    const Variant& Other = isNull(A0) ? B0 : A0;
    if (Access::type(Other) == varBoolean) {
      if (Op == LogicOp::And && !Access::boolean(Other)) return Variant(false);
      if (Op == LogicOp::Or && Access::boolean(Other)) return Variant(true);
    }
    return Null();
  }
  const Variant A = logicOperand(A0, B0);
  const Variant B = logicOperand(B0, A0);
  if (Access::type(A) == varBoolean && Access::type(B) == varBoolean) {
    const bool X = Access::boolean(A);
    const bool Y = Access::boolean(B);
    switch (Op) {
      case LogicOp::And: return Variant(X && Y);
      case LogicOp::Or: return Variant(X || Y);
      case LogicOp::Xor: return Variant(X != Y);
    }
  }
  const IntOperand X = intOperand(A);
  const IntOperand Y = intOperand(B);
  const Int128 Bits = Op == LogicOp::And ? (X.Value & Y.Value)
                      : Op == LogicOp::Or ? (X.Value | Y.Value)
                                          : (X.Value ^ Y.Value);
  return fitInteger(Bits, widerIntegerKind(X.Kind, Y.Kind));
}

Variant integerDivision(bool Modulus, const Variant& A0, const Variant& B0) {
  checkOperand(A0);
  checkOperand(B0);
  if (isNull(A0) || isNull(B0)) return Null();
  const IntOperand A = isEmpty(A0) ? IntOperand{0, varInteger} : intOperand(A0);
  const IntOperand B = isEmpty(B0) ? IntOperand{0, varInteger} : intOperand(B0);
  if (B.Value == 0) throw EDivByZero(QStringLiteral("Division by zero"));
  // Truncating division; the remainder takes the dividend's sign.
  return fitInteger(Modulus ? A.Value % B.Value : A.Value / B.Value, widerIntegerKind(A.Kind, B.Kind));
}

}  // namespace

Variant operator+(const Variant& A, const Variant& B) { return arithmetic(ArithOp::Add, A, B); }
Variant operator-(const Variant& A, const Variant& B) { return arithmetic(ArithOp::Subtract, A, B); }
Variant operator*(const Variant& A, const Variant& B) { return arithmetic(ArithOp::Multiply, A, B); }
Variant operator/(const Variant& A, const Variant& B) { return arithmetic(ArithOp::Divide, A, B); }
Variant operator%(const Variant& A, const Variant& B) { return integerDivision(/*Modulus=*/true, A, B); }
Variant VarDiv(const Variant& A, const Variant& B) { return integerDivision(/*Modulus=*/false, A, B); }
Variant operator&(const Variant& A, const Variant& B) { return logic(LogicOp::And, A, B); }
Variant operator|(const Variant& A, const Variant& B) { return logic(LogicOp::Or, A, B); }
Variant operator^(const Variant& A, const Variant& B) { return logic(LogicOp::Xor, A, B); }

Variant operator-(const Variant& A) {
  checkOperand(A);
  const TVarType T = Access::type(A);
  if (isOrdinalKind(T)) return fitInteger(-Access::integer(A), T == varBoolean ? varSmallint : T);
  switch (T) {
    case varNull: return Null();
    case varEmpty: return Variant(Integer(0));
    case varSingle: return Variant(-Access::single(A));
    case varDouble: return Variant(-Access::real(A));
    case varDate: return VarFromDateTime(-Access::real(A));
    case varCurrency: return Variant(-Access::currency(A));
    case varFMTBcd: return Variant(-bcdOf(A));
    default: return Variant(-castToDouble(A, varDouble));  // text
  }
}

Variant operator!(const Variant& A) {
  checkOperand(A);
  const TVarType T = Access::type(A);
  if (isIntegerKind(T)) {
    const Int128 Bits = ~Access::integer(A);
    const IntRange R = rangeOf(T);
    return makeInteger(R.Min == 0 ? (Bits & R.Max) : Bits, T);  // unsigned kinds keep their width
  }
  switch (T) {
    case varNull: return Null();
    case varEmpty: return Variant(Integer(-1));
    case varBoolean: return Variant(!Access::boolean(A));
    case varOleStr:
    case varUString:
    case varString: return Variant(!castToBoolean(A));
    default: {
      const IntOperand Operand = intOperand(A);
      return fitInteger(~Operand.Value, Operand.Kind);
    }
  }
}

// ---------------------------------------------------------------------------
// Arrays
// ---------------------------------------------------------------------------

namespace {

[[maybe_unused]] bool isElementType(TVarType T) {
  return isOrdinalKind(T) || isFloatKind(T) || isStringKind(T) || T == varCurrency || T == varVariant;
}

const ArrayCell& arrayOf(const Variant& A) {
  if (!VarIsArray(A)) throw EVariantInvalidArgError(QStringLiteral("Variant is not an array"));
  return Access::cell<ArrayCell>(A);
}

// The 0-based position of Index, checked.
std::size_t slotOf(const ArrayCell& Array, Integer Index) {
  if (Index < Array.Low || Index > Array.high()) raiseBadIndex();
  return std::size_t(Int64(Index) - Array.Low);
}

void checkDimension(Integer Dim) {
  if (Dim != 1) raiseBadIndex();
}

// A new element of ElementType: Empty in a Variant array, else the type's zero.
Variant zeroOf(TVarType ElementType) {
  return ElementType == varVariant ? Variant() : VarAsType(Variant(), ElementType);
}

// Sets the element count of a fresh or detached cell.
void resize(ArrayCell& Array, Int64 Count) {
  if (Array.isBytes())
    Array.Bytes.resize(std::size_t(Count), 0);
  else
    Array.Items.resize(std::size_t(Count), zeroOf(Array.ElementType));
}

// The bytes of a blob value; nullptr for Empty.
const TBytes* blobBytes(const Variant& V) {
  const TVarType T = Access::type(V);
  if (T == varEmpty) return nullptr;
  if (T != (varArray | varByte)) raiseCast(T, varArray | varByte);
  return &Access::cell<ArrayCell>(V).Bytes;
}

Variant byteArray(TBytes Bytes) {
  auto* Cell = new ArrayCell(varByte, 0);
  Cell->Bytes = std::move(Bytes);
  return Access::withCell(varArray | varByte, Cell);
}

}  // namespace

Variant VarArrayCreate(std::initializer_list<Integer> Bounds, TVarType ElementType) {
  assert(Bounds.size() == 2 && "arrays have one dimension: {Low, High}");
  assert(isElementType(ElementType) && "no arrays of this element type");
  const Integer Low = Bounds.begin()[0];
  const Int64 Count = Int64(Bounds.begin()[1]) - Low + 1;
  if (Count < 0) raiseInvalidArg();
  auto* Cell = new ArrayCell(ElementType, Low);
  Variant Result = Access::withCell(varArray | ElementType, Cell);
  resize(*Cell, Count);
  return Result;
}

Variant VarArrayOf(std::initializer_list<Variant> Values) {
  auto* Cell = new ArrayCell(varVariant, 0);
  Variant Result = Access::withCell(varArray | varVariant, Cell);
  Cell->Items.assign(Values.begin(), Values.end());
  return Result;
}

Integer VarArrayDimCount(const Variant& A) { return VarIsArray(A) ? 1 : 0; }

Integer VarArrayLowBound(const Variant& A, Integer Dim) {
  const ArrayCell& Array = arrayOf(A);
  checkDimension(Dim);
  return Array.Low;
}

Integer VarArrayHighBound(const Variant& A, Integer Dim) {
  const ArrayCell& Array = arrayOf(A);
  checkDimension(Dim);
  return Integer(Array.high());
}

Variant VarArrayGet(const Variant& A, Integer Index) {
  const ArrayCell& Array = arrayOf(A);
  const std::size_t Slot = slotOf(Array, Index);
  return Array.isBytes() ? Variant(Array.Bytes[Slot]) : Array.Items[Slot];
}

Variant Variant::operator[](Integer Index) const { return VarArrayGet(*this, Index); }

void VarArrayPut(Variant& A, const Variant& Value, Integer Index) {
  const ArrayCell& Array = arrayOf(A);
  const std::size_t Slot = slotOf(Array, Index);
  const TVarType ElementType = Array.ElementType;
  if (ElementType == varByte) {
    const Byte Element = Byte(castToInteger(Value, varByte));
    Access::mutableArray(A).Bytes[Slot] = Element;
    return;
  }
  Variant Element = ElementType == varVariant ? Value : VarAsType(Value, ElementType);
  Access::mutableArray(A).Items[Slot] = std::move(Element);
}

void VarArrayRedim(Variant& A, Integer HighBound) {
  const ArrayCell& Array = arrayOf(A);
  assert(Array.LockCount == 0 && "redim of a locked array");
  const Int64 Count = Int64(HighBound) - Array.Low + 1;
  if (Count < 0) raiseInvalidArg();
  resize(Access::mutableArray(A), Count);
}

Pointer VarArrayLock(Variant& A) {
  if (!arrayOf(A).isBytes()) raiseInvalidArg();
  ArrayCell& Array = Access::mutableArray(A);
  ++Array.LockCount;
  return Array.Bytes.data();
}

void VarArrayUnlock(Variant& A) {
  arrayOf(A);
  ArrayCell& Array = Access::mutableArray(A);  // a locked cell is never shared: no copy
  assert(Array.LockCount > 0 && "unlock of an array that is not locked");
  --Array.LockCount;
}

Variant VarArrayFromBytes(const TBytes& Bytes) { return byteArray(Bytes); }

Variant VarArrayFromBytes(const QByteArray& Bytes) { return byteArray(TBytes(Bytes.begin(), Bytes.end())); }

TBytes VarArrayToBytes(const Variant& V) {
  const TBytes* Bytes = blobBytes(V);
  return Bytes ? *Bytes : TBytes();
}

QByteArray VarArrayToByteArray(const Variant& V) {
  const TBytes* Bytes = blobBytes(V);
  if (!Bytes) return QByteArray();
  return QByteArray(reinterpret_cast<const char*>(Bytes->data()), qsizetype(Bytes->size()));
}
