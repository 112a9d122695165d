// Published-property metadata: type info, property tables and access by name.
//
// Each class lists the properties it publishes in a static function that its
// metaclass calls once (see object.h):
//
//   static void DescribeProperties(TPropertyTable& Props) {
//     Props.Add("Align", &TFoo::GetAlign, &TFoo::SetAlign).Default(alNone);
//     Props.Add("Caption", &TFoo::GetCaption, &TFoo::SetCaption);
//     Props.Add("Tag", &TFoo::FTag, &TFoo::FTag).Default(0);
//     Props.Add("Started", &TFoo::GetStarted, &TFoo::SetStarted).AsDateTime();
//   }
//
// A getter is a member function, a data member or a callable taking the
// object (then the class is named: Props.Add<TFoo>(...)); a setter the same,
// or absent for a read-only property.  The kind and type info follow from the
// value type: bool and RTL_ENUM enumerations are tkEnumeration, TSet<E> is
// tkSet, 32-bit integers tkInteger, 64-bit ones tkInt64, Char tkChar, float,
// double and Currency tkFloat, String and AnsiString tkString, pointers to
// objects tkClass, method pointers tkMethod, Variant tkVariant.  A TDateTime
// is a double, so its property says AsDateTime().
//
// The table keeps the parent's properties first, then the class's own in the
// order they are added; a descendant changes an inherited property's default
// or stored test through Override(Name), which keeps its place.
//
// Defaults: an ordinal property (integer, Int64, Char, enumeration, set) is
// written by the streaming system unless its value equals Default(...).
// Without a Default it is always written ("nodefault"), as NoDefault() makes an
// inherited one.  Strings default to "", floats to 0, objects and events to
// unassigned.
#pragma once

#include "platform/rtl/methodptr.h"
#include "platform/rtl/object.h"

#include <cassert>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <type_traits>
#include <vector>

class AnsiString;
class Currency;
class Variant;

// The kinds of published values (the original's order, kinds no property uses
// left out).
enum TTypeKind { tkUnknown, tkInteger, tkChar, tkEnumeration, tkFloat, tkString, tkSet, tkClass, tkMethod, tkVariant, tkInt64 };

// Scoped: field types of the data layer use the same names.
enum class TFloatType { ftSingle, ftDouble, ftCurr, ftDateTime };

// What a value of one type looks like.  One object per type, never copied.
struct TTypeInfo {
  TTypeKind Kind = tkUnknown;
  String Name;
  TFloatType FloatType = TFloatType::ftDouble;  // tkFloat
  std::vector<String> EnumNames;                // tkEnumeration: the name of each value from 0
  const TTypeInfo* CompType = nullptr;          // tkSet: the element enumeration
  TClass ClassType = nullptr;                   // tkClass: the declared class

  Integer MinValue() const { return 0; }
  Integer MaxValue() const { return Integer(EnumNames.size()) - 1; }

  // Type info of an enumeration Name whose enumerators are the comma-separated
  // Enumerators (valued 0, 1, ...).
  static TTypeInfo Enumeration(const char* Name, const char* Enumerators);
};

// A set of the values of an enumeration with at most 64 values; bit I stands
// for value I, which is also the set's ordinal value in property access.
template <class E>
class TSet {
public:
  using value_type = E;

  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> Items) {
    for (E Item : Items) Include(Item);
  }
  static constexpr TSet FromBits(UInt64 Bits) {
    TSet S;
    S.FBits = Bits;
    return S;
  }
  constexpr UInt64 Bits() const { return FBits; }

  constexpr bool Contains(E Item) const { return (FBits & bit(Item)) != 0; }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr TSet& Include(E Item) {
    FBits |= bit(Item);
    return *this;
  }
  constexpr TSet& Exclude(E Item) {
    FBits &= ~bit(Item);
    return *this;
  }

  friend constexpr TSet operator+(TSet A, TSet B) { return FromBits(A.FBits | B.FBits); }
  friend constexpr TSet operator-(TSet A, TSet B) { return FromBits(A.FBits & ~B.FBits); }
  friend constexpr TSet operator*(TSet A, TSet B) { return FromBits(A.FBits & B.FBits); }
  TSet& operator+=(TSet B) { return *this = *this + B; }
  TSet& operator-=(TSet B) { return *this = *this - B; }
  friend constexpr bool operator==(TSet A, TSet B) = default;
  // Subset.
  friend constexpr bool operator<=(TSet A, TSet B) { return (A.FBits & ~B.FBits) == 0; }

private:
  static constexpr UInt64 bit(E Item) {
    assert(Integer(Item) >= 0 && Integer(Item) < 64 && "set element out of range");
    return UInt64(1) << Integer(Item);
  }

  UInt64 FBits = 0;
};

// Declares the enumeration Name (values 0, 1, ... in the order given, no
// explicit values) together with its type info, whose value names are the
// enumerators as spelled.  At namespace scope.
#define RTL_ENUM(Name, ...)                                                      \
  enum Name { __VA_ARGS__ };                                                     \
  inline const TTypeInfo* EnumTypeInfo(Name) {                                   \
    static const TTypeInfo Info = TTypeInfo::Enumeration(#Name, #__VA_ARGS__);  \
    return &Info;                                                                \
  }

namespace rtl_detail {

template <class T>
struct isSet : std::false_type {};
template <class E>
struct isSet<TSet<E>> : std::true_type {};

template <class T>
struct isMethodPtr : std::false_type {};
template <class Sig>
struct isMethodPtr<TMethodPtr<Sig>> : std::true_type {};

template <class T>
concept DescribedEnum = std::is_enum_v<T> && requires(T V) { EnumTypeInfo(V); };

template <class T>
concept ObjectPointer = std::is_pointer_v<T> && std::is_base_of_v<TObject, std::remove_pointer_t<T>>;

// The kind a value type is published as.
template <class V>
constexpr TTypeKind kindOf() {
  if constexpr (std::is_same_v<V, bool> || DescribedEnum<V>)
    return tkEnumeration;
  else if constexpr (isSet<V>::value)
    return tkSet;
  else if constexpr (std::is_same_v<V, Char>)
    return tkChar;
  else if constexpr ((std::is_integral_v<V> || std::is_enum_v<V>) && sizeof(V) <= sizeof(Integer))
    return tkInteger;
  else if constexpr (std::is_integral_v<V> && sizeof(V) == sizeof(Int64))
    return tkInt64;
  else if constexpr (std::is_floating_point_v<V> || std::is_same_v<V, Currency>)
    return tkFloat;
  else if constexpr (std::is_same_v<V, String> || std::is_same_v<V, AnsiString>)
    return tkString;
  else if constexpr (ObjectPointer<V>)
    return tkClass;
  else if constexpr (isMethodPtr<V>::value)
    return tkMethod;
  else if constexpr (std::is_same_v<V, Variant>)
    return tkVariant;
  else
    return tkUnknown;
}

enum class TBuiltinType { Boolean, Integer, Int64, Char, Single, Double, Currency, DateTime, String, AnsiString, Method, Variant };
const TTypeInfo* builtinTypeInfo(TBuiltinType Type);
TTypeInfo setTypeInfo(const TTypeInfo* CompType);
TTypeInfo classTypeInfo(TClass C);

}  // namespace rtl_detail

// The type info of T, for every type kindOf accepts.
template <class T>
const TTypeInfo* TypeInfo() {
  using rtl_detail::TBuiltinType;
  using rtl_detail::builtinTypeInfo;
  constexpr TTypeKind Kind = rtl_detail::kindOf<T>();
  static_assert(Kind != tkUnknown, "no published kind for this type");
  if constexpr (std::is_same_v<T, bool>) {
    return builtinTypeInfo(TBuiltinType::Boolean);
  } else if constexpr (Kind == tkEnumeration) {
    return EnumTypeInfo(T{});
  } else if constexpr (Kind == tkSet) {
    static const TTypeInfo Info = rtl_detail::setTypeInfo(TypeInfo<typename T::value_type>());
    return &Info;
  } else if constexpr (Kind == tkChar) {
    return builtinTypeInfo(TBuiltinType::Char);
  } else if constexpr (Kind == tkInteger) {
    return builtinTypeInfo(TBuiltinType::Integer);
  } else if constexpr (Kind == tkInt64) {
    return builtinTypeInfo(TBuiltinType::Int64);
  } else if constexpr (std::is_same_v<T, float>) {
    return builtinTypeInfo(TBuiltinType::Single);
  } else if constexpr (std::is_floating_point_v<T>) {
    return builtinTypeInfo(TBuiltinType::Double);
  } else if constexpr (Kind == tkFloat) {
    return builtinTypeInfo(TBuiltinType::Currency);
  } else if constexpr (std::is_same_v<T, String>) {
    return builtinTypeInfo(TBuiltinType::String);
  } else if constexpr (Kind == tkString) {
    return builtinTypeInfo(TBuiltinType::AnsiString);
  } else if constexpr (Kind == tkClass) {
    static const TTypeInfo Info = rtl_detail::classTypeInfo(std::remove_pointer_t<T>::StaticClass());
    return &Info;
  } else if constexpr (Kind == tkMethod) {
    return builtinTypeInfo(TBuiltinType::Method);
  } else {
    return builtinTypeInfo(TBuiltinType::Variant);
  }
}

// Names for integer values (colour and cursor names); a static array the
// property refers to.
struct TIdentMapEntry {
  Integer Value;
  const char* Name;
};
using TIdentMap = std::span<const TIdentMapEntry>;
// Case-insensitive; false when Ident is not in Map.
bool IdentToInt(const String& Ident, Integer& Int, TIdentMap Map);
bool IntToIdent(Integer Int, String& Ident, TIdentMap Map);

// One published property.  The accessor pair of the property's kind is set
// (ordinal kinds share GetOrd/SetOrd); the setter is empty when the property
// is read-only.  Shared by a class and its descendants.
struct TPropInfo {
  String Name;
  const TTypeInfo* PropType = nullptr;
  bool HasDefault = false;  // false: "nodefault", always written
  Int64 Default = 0;        // ordinal kinds only
  bool StoredConst = true;
  std::function<bool(TObject*)> StoredProc;  // when set, decides instead of StoredConst
  TIdentMap IdentMap;                        // integer properties with value names

  std::function<Int64(TObject*)> GetOrd;
  std::function<void(TObject*, Int64)> SetOrd;
  std::function<double(TObject*)> GetFloat;
  std::function<void(TObject*, double)> SetFloat;
  std::function<String(TObject*)> GetStr;
  std::function<void(TObject*, const String&)> SetStr;
  std::function<TObject*(TObject*)> GetObject;
  std::function<void(TObject*, TObject*)> SetObject;  // the value's class is checked before
  std::function<TMethod(TObject*)> GetMethod;
  std::function<void(TObject*, const TMethod&)> SetMethod;
  std::function<void(TObject*, Variant& Result)> GetVariant;
  std::function<void(TObject*, const Variant&)> SetVariant;

  TTypeKind Kind() const { return PropType->Kind; }
  bool IsWritable() const;
};

// Refines the property just added (or overridden).
class TPropBuilder {
public:
  explicit TPropBuilder(TPropInfo& Info) : FInfo(Info) {}

  // An ordinal default: an integer, enumerator, bool, Char or set.
  template <class V>
  TPropBuilder& Default(V Value);
  TPropBuilder& NoDefault();
  TPropBuilder& Stored(bool Value);
  // Stored when Pred answers true.
  template <class T>
  TPropBuilder& Stored(bool (T::*Pred)() const);
  template <class T>
  TPropBuilder& Stored(bool (T::*Pred)());
  TPropBuilder& Idents(TIdentMap Map);
  // A double property that holds a TDateTime.
  TPropBuilder& AsDateTime();

private:
  TPropInfo& FInfo;
};

class TPropertyTable {
public:
  // Adds a property.  T names the class when the getter is not a member pointer.
  template <class T = void, class G, class S = std::nullptr_t>
  TPropBuilder Add(const char* Name, G Getter, S Setter = nullptr);
  // Replaces an inherited property with a copy to refine, in the same place.
  TPropBuilder Override(const char* Name);
  // Publishes an inherited name anew with its own type and accessors, in the
  // inherited place (a descendant's property that hides its parent's).
  template <class T = void, class G, class S = std::nullptr_t>
  TPropBuilder Redeclare(const char* Name, G Getter, S Setter = nullptr);

  int Count() const { return int(FProps.size()); }
  const TPropInfo* Items(int Index) const { return FProps[Index].get(); }
  // Case-insensitive; nullptr when absent.
  const TPropInfo* Find(const String& Name) const;

private:
  template <class T, class G, class S>
  static std::shared_ptr<TPropInfo> makeInfo(const char* Name, G Getter, S Setter);
  TPropBuilder append(std::shared_ptr<TPropInfo> Info);
  TPropBuilder replace(std::shared_ptr<TPropInfo> Info);

  std::vector<std::shared_ptr<TPropInfo>> FProps;
};

// Look-up.  The name is case-insensitive; nullptr when absent.
const TPropInfo* GetPropInfo(TClass C, const String& PropName);
const TPropInfo* GetPropInfo(const TObject* Instance, const String& PropName);
std::vector<const TPropInfo*> GetPropList(TClass C);
std::vector<const TPropInfo*> GetPropList(const TObject* Instance);
bool IsPublishedProp(TClass C, const String& PropName);
bool IsPublishedProp(const TObject* Instance, const String& PropName);

// Access by name or by TPropInfo.  An unknown name raises EPropertyError
// "Property %s does not exist"; a property of another kind raises
// EPropertyError "Invalid property type: %s"; setting a read-only property
// raises EPropertyError "Property %s is read-only".
// Ordinal kinds: tkInteger, tkChar, tkEnumeration, tkSet (the bits) and tkInt64.
Int64 GetOrdProp(TObject* Instance, const TPropInfo* PropInfo);
Int64 GetOrdProp(TObject* Instance, const String& PropName);
void SetOrdProp(TObject* Instance, const TPropInfo* PropInfo, Int64 Value);
void SetOrdProp(TObject* Instance, const String& PropName, Int64 Value);
Int64 GetInt64Prop(TObject* Instance, const TPropInfo* PropInfo);
Int64 GetInt64Prop(TObject* Instance, const String& PropName);
void SetInt64Prop(TObject* Instance, const TPropInfo* PropInfo, Int64 Value);
void SetInt64Prop(TObject* Instance, const String& PropName, Int64 Value);
double GetFloatProp(TObject* Instance, const TPropInfo* PropInfo);
double GetFloatProp(TObject* Instance, const String& PropName);
void SetFloatProp(TObject* Instance, const TPropInfo* PropInfo, double Value);
void SetFloatProp(TObject* Instance, const String& PropName, double Value);
String GetStrProp(TObject* Instance, const TPropInfo* PropInfo);
String GetStrProp(TObject* Instance, const String& PropName);
void SetStrProp(TObject* Instance, const TPropInfo* PropInfo, const String& Value);
void SetStrProp(TObject* Instance, const String& PropName, const String& Value);
// The value's name ("True"/"False" for Booleans).
String GetEnumProp(TObject* Instance, const TPropInfo* PropInfo);
String GetEnumProp(TObject* Instance, const String& PropName);
// Value is a value name (any case); another text raises
// EPropertyConvertError "Invalid property element: %s".
void SetEnumProp(TObject* Instance, const TPropInfo* PropInfo, const String& Value);
void SetEnumProp(TObject* Instance, const String& PropName, const String& Value);
// "a,b" in value order; with Brackets "[a,b]".
String GetSetProp(TObject* Instance, const TPropInfo* PropInfo, bool Brackets = false);
String GetSetProp(TObject* Instance, const String& PropName, bool Brackets = false);
// Value is a list of value names, in brackets or not, blanks allowed; an
// unknown name raises EPropertyConvertError "Invalid property element: %s".
void SetSetProp(TObject* Instance, const TPropInfo* PropInfo, const String& Value);
void SetSetProp(TObject* Instance, const String& PropName, const String& Value);
TObject* GetObjectProp(TObject* Instance, const TPropInfo* PropInfo);
TObject* GetObjectProp(TObject* Instance, const String& PropName);
// Value must be nullptr or of the property's class, else EInvalidCast.
void SetObjectProp(TObject* Instance, const TPropInfo* PropInfo, TObject* Value);
void SetObjectProp(TObject* Instance, const String& PropName, TObject* Value);
TMethod GetMethodProp(TObject* Instance, const TPropInfo* PropInfo);
TMethod GetMethodProp(TObject* Instance, const String& PropName);
void SetMethodProp(TObject* Instance, const TPropInfo* PropInfo, const TMethod& Value);
void SetMethodProp(TObject* Instance, const String& PropName, const TMethod& Value);
// Any kind but tkClass and tkMethod as a Variant: integers and Int64, Booleans
// as Booleans, other enumerations and sets as their names ("a,b") when
// PreferStrings and as numbers otherwise, floats as Double, Currency or Date
// by subtype, strings as String.
Variant GetPropValue(TObject* Instance, const TPropInfo* PropInfo, bool PreferStrings = true);
Variant GetPropValue(TObject* Instance, const String& PropName, bool PreferStrings = true);
// The inverse: enumerations and sets also take their names, an integer
// property with value names takes a name, a Char a one-char text; other values
// are converted as the Variant casts convert them (and raise as they raise).
void SetPropValue(TObject* Instance, const TPropInfo* PropInfo, const Variant& Value);
void SetPropValue(TObject* Instance, const String& PropName, const Variant& Value);

// Whether the streaming system writes the property at all.
bool IsStoredProp(TObject* Instance, const TPropInfo* PropInfo);
bool IsStoredProp(TObject* Instance, const String& PropName);
// Whether the value equals the property's default (see the top of this file).
bool IsDefaultPropertyValue(TObject* Instance, const TPropInfo* PropInfo);

// The name of Value, "" outside the enumeration's range.
String GetEnumName(const TTypeInfo* TypeInfo, Integer Value);
// Case-insensitive; -1 for an unknown name.
Integer GetEnumValue(const TTypeInfo* TypeInfo, const String& Name);

// ---------------------------------------------------------------------------
// Implementation of the templates.

namespace rtl_detail {

template <class T, class G>
struct ownerClassOf {
  using type = T;
};
template <class G>
struct memberClass;
template <class C, class M>
struct memberClass<M C::*> {
  using type = C;
};
template <class G>
struct ownerClassOf<void, G> {
  static_assert(std::is_member_pointer_v<G>, "name the class: Props.Add<TFoo>(...)");
  using type = typename memberClass<G>::type;
};

template <class V>
Int64 toOrd(const V& Value) {
  if constexpr (isSet<V>::value)
    return Int64(Value.Bits());
  else if constexpr (std::is_same_v<V, Char>)
    return Value.unicode();
  else
    return Int64(Value);
}

template <class V>
V fromOrd(Int64 Value) {
  if constexpr (std::is_same_v<V, bool>)
    return Value != 0;
  else if constexpr (isSet<V>::value)
    return V::FromBits(UInt64(Value));
  else if constexpr (std::is_same_v<V, Char>)
    return Char(char16_t(Value));
  else
    return static_cast<V>(Value);
}

// Fills the accessor pair of V's kind.  Read(O) gives the value; Write(O, V)
// stores one (absent for a read-only property).
template <class V, class R, class W>
void bindAccessors(TPropInfo& P, R Read, W Write) {
  constexpr TTypeKind Kind = kindOf<V>();
  constexpr bool Writable = !std::is_null_pointer_v<W>;
  if constexpr (Kind == tkInteger || Kind == tkInt64 || Kind == tkChar || Kind == tkEnumeration ||
                Kind == tkSet) {
    P.GetOrd = [Read](TObject* O) { return toOrd<V>(Read(O)); };
    if constexpr (Writable) P.SetOrd = [Write](TObject* O, Int64 Value) { Write(O, fromOrd<V>(Value)); };
  } else if constexpr (Kind == tkFloat) {
    if constexpr (std::is_floating_point_v<V>) {
      P.GetFloat = [Read](TObject* O) { return double(Read(O)); };
      if constexpr (Writable) P.SetFloat = [Write](TObject* O, double Value) { Write(O, V(Value)); };
    } else {
      P.GetFloat = [Read](TObject* O) { return Read(O).ToDouble(); };
      if constexpr (Writable) P.SetFloat = [Write](TObject* O, double Value) { Write(O, V(Value)); };
    }
  } else if constexpr (Kind == tkString) {
    P.GetStr = [Read](TObject* O) { return String(Read(O)); };
    if constexpr (Writable) P.SetStr = [Write](TObject* O, const String& Value) { Write(O, V(Value)); };
  } else if constexpr (Kind == tkClass) {
    P.GetObject = [Read](TObject* O) -> TObject* { return Read(O); };
    if constexpr (Writable)
      P.SetObject = [Write](TObject* O, TObject* Value) { Write(O, dynamic_cast<V>(Value)); };
  } else if constexpr (Kind == tkMethod) {
    P.GetMethod = [Read](TObject* O) { return Read(O).Method(); };
    if constexpr (Writable)
      P.SetMethod = [Write](TObject* O, const TMethod& Value) { Write(O, V::FromMethod(Value)); };
  } else {
    P.GetVariant = [Read](TObject* O, V& Result) { Result = Read(O); };
    if constexpr (Writable) P.SetVariant = [Write](TObject* O, const V& Value) { Write(O, Value); };
  }
}

}  // namespace rtl_detail

template <class T, class G, class S>
std::shared_ptr<TPropInfo> TPropertyTable::makeInfo(const char* Name, G Getter, S Setter) {
  using C = typename rtl_detail::ownerClassOf<T, G>::type;
  using V = std::remove_cvref_t<std::invoke_result_t<G, C*>>;
  static_assert(std::is_base_of_v<TObject, C>, "properties belong to TObject descendants");
  auto Info = std::make_shared<TPropInfo>();
  Info->Name = String::fromLatin1(Name);
  Info->PropType = TypeInfo<V>();
  auto Read = [Getter](TObject* O) -> V { return std::invoke(Getter, static_cast<C*>(O)); };
  if constexpr (std::is_null_pointer_v<S>) {
    rtl_detail::bindAccessors<V>(*Info, Read, nullptr);
  } else if constexpr (std::is_member_object_pointer_v<S>) {
    rtl_detail::bindAccessors<V>(*Info, Read, [Setter](TObject* O, V Value) {
      std::invoke(Setter, static_cast<C*>(O)) = std::move(Value);
    });
  } else {
    rtl_detail::bindAccessors<V>(*Info, Read, [Setter](TObject* O, V Value) {
      std::invoke(Setter, static_cast<C*>(O), std::move(Value));
    });
  }
  return Info;
}

template <class T, class G, class S>
TPropBuilder TPropertyTable::Add(const char* Name, G Getter, S Setter) {
  return append(makeInfo<T>(Name, Getter, Setter));
}

template <class T, class G, class S>
TPropBuilder TPropertyTable::Redeclare(const char* Name, G Getter, S Setter) {
  return replace(makeInfo<T>(Name, Getter, Setter));
}

template <class V>
TPropBuilder& TPropBuilder::Default(V Value) {
  assert(FInfo.GetOrd && "a default belongs to an ordinal property");
  FInfo.HasDefault = true;
  FInfo.Default = rtl_detail::toOrd<V>(Value);
  return *this;
}

template <class T>
TPropBuilder& TPropBuilder::Stored(bool (T::*Pred)() const) {
  FInfo.StoredProc = [Pred](TObject* O) { return (static_cast<T*>(O)->*Pred)(); };
  return *this;
}

template <class T>
TPropBuilder& TPropBuilder::Stored(bool (T::*Pred)()) {
  FInfo.StoredProc = [Pred](TObject* O) { return (static_cast<T*>(O)->*Pred)(); };
  return *this;
}
