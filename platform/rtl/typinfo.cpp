#include "platform/rtl/typinfo.h"

#include "platform/rtl/format.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/variant.h"

#include <QStringList>

TTypeInfo TTypeInfo::Enumeration(const char* Name, const char* Enumerators) {
  TTypeInfo Info;
  Info.Kind = tkEnumeration;
  Info.Name = String::fromLatin1(Name);
  const QStringList Names = String::fromLatin1(Enumerators).split(u',');
  for (const String& N : Names) {
    assert(!N.contains(u'=') && "published enumerations take no explicit values");
    Info.EnumNames.push_back(N.trimmed());
  }
  return Info;
}

namespace {

TTypeInfo simpleType(TTypeKind Kind, const char* Name, TFloatType FloatType = TFloatType::ftDouble) {
  TTypeInfo Info;
  Info.Kind = Kind;
  Info.Name = String::fromLatin1(Name);
  Info.FloatType = FloatType;
  return Info;
}

}  // namespace

namespace rtl_detail {

const TTypeInfo* builtinTypeInfo(TBuiltinType Type) {
  static const TTypeInfo Infos[] = {
      TTypeInfo::Enumeration("Boolean", "False, True"),
      simpleType(tkInteger, "Integer"),
      simpleType(tkInt64, "Int64"),
      simpleType(tkChar, "Char"),
      simpleType(tkFloat, "Single", TFloatType::ftSingle),
      simpleType(tkFloat, "Double", TFloatType::ftDouble),
      simpleType(tkFloat, "Currency", TFloatType::ftCurr),
      simpleType(tkFloat, "TDateTime", TFloatType::ftDateTime),
      simpleType(tkString, "String"),
      simpleType(tkString, "AnsiString"),
      simpleType(tkMethod, "TMethod"),
      simpleType(tkVariant, "Variant"),
  };
  static_assert(std::size(Infos) == std::size_t(TBuiltinType::Variant) + 1);
  return &Infos[int(Type)];
}

TTypeInfo setTypeInfo(const TTypeInfo* CompType) {
  TTypeInfo Info;
  Info.Kind = tkSet;
  Info.Name = QStringLiteral("set of ") + CompType->Name;
  Info.CompType = CompType;
  return Info;
}

TTypeInfo classTypeInfo(TClass C) {
  TTypeInfo Info;
  Info.Kind = tkClass;
  Info.Name = C->ClassName();
  Info.ClassType = C;
  return Info;
}

}  // namespace rtl_detail

bool IdentToInt(const String& Ident, Integer& Int, TIdentMap Map) {
  for (const TIdentMapEntry& E : Map)
    if (SameText(String::fromLatin1(E.Name), Ident)) {
      Int = E.Value;
      return true;
    }
  return false;
}

bool IntToIdent(Integer Int, String& Ident, TIdentMap Map) {
  for (const TIdentMapEntry& E : Map)
    if (E.Value == Int) {
      Ident = String::fromLatin1(E.Name);
      return true;
    }
  return false;
}

bool TPropInfo::IsWritable() const {
  return SetOrd || SetFloat || SetStr || SetObject || SetMethod || SetVariant;
}

TPropBuilder& TPropBuilder::NoDefault() {
  FInfo.HasDefault = false;
  FInfo.Default = 0;
  return *this;
}

TPropBuilder& TPropBuilder::Stored(bool Value) {
  FInfo.StoredConst = Value;
  FInfo.StoredProc = nullptr;
  return *this;
}

TPropBuilder& TPropBuilder::Idents(TIdentMap Map) {
  assert(FInfo.Kind() == tkInteger && "value names belong to integer properties");
  FInfo.IdentMap = Map;
  return *this;
}

TPropBuilder& TPropBuilder::AsDateTime() {
  assert(FInfo.PropType == rtl_detail::builtinTypeInfo(rtl_detail::TBuiltinType::Double) &&
         "a date-time property holds a double");
  FInfo.PropType = rtl_detail::builtinTypeInfo(rtl_detail::TBuiltinType::DateTime);
  return *this;
}

const TPropInfo* TPropertyTable::Find(const String& Name) const {
  for (const auto& P : FProps)
    if (SameText(P->Name, Name)) return P.get();
  return nullptr;
}

TPropBuilder TPropertyTable::append(std::shared_ptr<TPropInfo> Info) {
  assert(!Find(Info->Name) && "property published twice; use Override to refine an inherited one");
  FProps.push_back(std::move(Info));
  return TPropBuilder(*FProps.back());
}

TPropBuilder TPropertyTable::replace(std::shared_ptr<TPropInfo> Info) {
  for (auto& P : FProps)
    if (SameText(P->Name, Info->Name)) {
      P = std::move(Info);
      return TPropBuilder(*P);
    }
  assert(false && "Redeclare names no inherited property");
  std::abort();
}

TPropBuilder TPropertyTable::Override(const char* Name) {
  for (auto& P : FProps)
    if (SameText(P->Name, String::fromLatin1(Name))) {
      P = std::make_shared<TPropInfo>(*P);
      return TPropBuilder(*P);
    }
  assert(false && "Override names no inherited property");
  std::abort();
}

// A class without a DescribeProperties of its own shares its parent's
// entries; one with its own adds to a copy of the parent's list.  Building is
// free of side effects, so two threads racing here build equal tables and the
// loser's copy is dropped.
const TPropertyTable& TMetaClass::Properties() const {
  if (const TPropertyTable* Built = FProperties.load(std::memory_order_acquire)) return *Built;
  auto Table = std::make_unique<TPropertyTable>();
  if (FParent) *Table = FParent->Properties();
  const TDescribeProperties Own = PropertyDescriber();
  if (!FParent || Own != FParent->PropertyDescriber()) Own(*Table);
  TPropertyTable* Expected = nullptr;
  if (FProperties.compare_exchange_strong(Expected, Table.get(), std::memory_order_acq_rel))
    return *Table.release();
  return *Expected;
}

// ---------------------------------------------------------------------------
// Access by name

namespace {

bool isOrdinalKind(TTypeKind Kind) {
  return Kind == tkInteger || Kind == tkChar || Kind == tkEnumeration || Kind == tkSet || Kind == tkInt64;
}

const TPropInfo* requireProp(const TObject* Instance, const String& PropName) {
  if (const TPropInfo* P = GetPropInfo(Instance, PropName)) return P;
  throw EPropertyError(QStringLiteral("Property %s does not exist"), {PropName});
}

[[noreturn]] void invalidType(const TPropInfo* P) {
  throw EPropertyError(QStringLiteral("Invalid property type: %s"), {P->PropType->Name});
}

void requireKind(const TPropInfo* P, bool Accepted) {
  if (!Accepted) invalidType(P);
}

template <class Setter>
const Setter& requireSetter(const TPropInfo* P, const Setter& S) {
  if (!S) throw EPropertyError(QStringLiteral("Property %s is read-only"), {P->Name});
  return S;
}

[[noreturn]] void invalidElement(const String& Element) {
  throw EPropertyConvertError(QStringLiteral("Invalid property element: %s"), {Element});
}

}  // namespace

const TPropInfo* GetPropInfo(TClass C, const String& PropName) { return C->Properties().Find(PropName); }

const TPropInfo* GetPropInfo(const TObject* Instance, const String& PropName) {
  return GetPropInfo(Instance->ClassType(), PropName);
}

std::vector<const TPropInfo*> GetPropList(TClass C) {
  const TPropertyTable& Table = C->Properties();
  std::vector<const TPropInfo*> List;
  List.reserve(Table.Count());
  for (int I = 0; I < Table.Count(); ++I) List.push_back(Table.Items(I));
  return List;
}

std::vector<const TPropInfo*> GetPropList(const TObject* Instance) { return GetPropList(Instance->ClassType()); }

bool IsPublishedProp(TClass C, const String& PropName) { return GetPropInfo(C, PropName) != nullptr; }

bool IsPublishedProp(const TObject* Instance, const String& PropName) {
  return GetPropInfo(Instance, PropName) != nullptr;
}

Int64 GetOrdProp(TObject* Instance, const TPropInfo* PropInfo) {
  requireKind(PropInfo, isOrdinalKind(PropInfo->Kind()));
  return PropInfo->GetOrd(Instance);
}

void SetOrdProp(TObject* Instance, const TPropInfo* PropInfo, Int64 Value) {
  requireKind(PropInfo, isOrdinalKind(PropInfo->Kind()));
  requireSetter(PropInfo, PropInfo->SetOrd)(Instance, Value);
}

Int64 GetInt64Prop(TObject* Instance, const TPropInfo* PropInfo) {
  requireKind(PropInfo, PropInfo->Kind() == tkInt64 || PropInfo->Kind() == tkInteger);
  return PropInfo->GetOrd(Instance);
}

void SetInt64Prop(TObject* Instance, const TPropInfo* PropInfo, Int64 Value) {
  requireKind(PropInfo, PropInfo->Kind() == tkInt64 || PropInfo->Kind() == tkInteger);
  requireSetter(PropInfo, PropInfo->SetOrd)(Instance, Value);
}

double GetFloatProp(TObject* Instance, const TPropInfo* PropInfo) {
  requireKind(PropInfo, PropInfo->Kind() == tkFloat);
  return PropInfo->GetFloat(Instance);
}

void SetFloatProp(TObject* Instance, const TPropInfo* PropInfo, double Value) {
  requireKind(PropInfo, PropInfo->Kind() == tkFloat);
  requireSetter(PropInfo, PropInfo->SetFloat)(Instance, Value);
}

String GetStrProp(TObject* Instance, const TPropInfo* PropInfo) {
  requireKind(PropInfo, PropInfo->Kind() == tkString);
  return PropInfo->GetStr(Instance);
}

void SetStrProp(TObject* Instance, const TPropInfo* PropInfo, const String& Value) {
  requireKind(PropInfo, PropInfo->Kind() == tkString);
  requireSetter(PropInfo, PropInfo->SetStr)(Instance, Value);
}

String GetEnumProp(TObject* Instance, const TPropInfo* PropInfo) {
  requireKind(PropInfo, PropInfo->Kind() == tkEnumeration);
  return GetEnumName(PropInfo->PropType, Integer(PropInfo->GetOrd(Instance)));
}

void SetEnumProp(TObject* Instance, const TPropInfo* PropInfo, const String& Value) {
  requireKind(PropInfo, PropInfo->Kind() == tkEnumeration);
  const Integer Ord = GetEnumValue(PropInfo->PropType, Value);
  if (Ord < 0) invalidElement(Value);
  requireSetter(PropInfo, PropInfo->SetOrd)(Instance, Ord);
}

String GetSetProp(TObject* Instance, const TPropInfo* PropInfo, bool Brackets) {
  requireKind(PropInfo, PropInfo->Kind() == tkSet);
  const UInt64 Bits = UInt64(PropInfo->GetOrd(Instance));
  const TTypeInfo* Comp = PropInfo->PropType->CompType;
  QStringList Names;
  for (Integer I = Comp->MinValue(); I <= Comp->MaxValue(); ++I)
    if (Bits & (UInt64(1) << I)) Names << GetEnumName(Comp, I);
  const String List = Names.join(u',');
  return Brackets ? u'[' + List + u']' : List;
}

void SetSetProp(TObject* Instance, const TPropInfo* PropInfo, const String& Value) {
  requireKind(PropInfo, PropInfo->Kind() == tkSet);
  String List = Trim(Value);
  if (List.startsWith(u'[') && List.endsWith(u']')) List = List.mid(1, List.size() - 2);
  UInt64 Bits = 0;
  for (const String& Item : List.split(u',')) {
    const String Name = Trim(Item);
    if (Name.isEmpty()) continue;
    const Integer Ord = GetEnumValue(PropInfo->PropType->CompType, Name);
    if (Ord < 0) invalidElement(Name);
    Bits |= UInt64(1) << Ord;
  }
  requireSetter(PropInfo, PropInfo->SetOrd)(Instance, Int64(Bits));
}

TObject* GetObjectProp(TObject* Instance, const TPropInfo* PropInfo) {
  requireKind(PropInfo, PropInfo->Kind() == tkClass);
  return PropInfo->GetObject(Instance);
}

void SetObjectProp(TObject* Instance, const TPropInfo* PropInfo, TObject* Value) {
  requireKind(PropInfo, PropInfo->Kind() == tkClass);
  const auto& Setter = requireSetter(PropInfo, PropInfo->SetObject);
  if (Value && !Value->InheritsFrom(PropInfo->PropType->ClassType))
    throw EInvalidCast(QStringLiteral("Invalid class typecast"));
  Setter(Instance, Value);
}

TMethod GetMethodProp(TObject* Instance, const TPropInfo* PropInfo) {
  requireKind(PropInfo, PropInfo->Kind() == tkMethod);
  return PropInfo->GetMethod(Instance);
}

void SetMethodProp(TObject* Instance, const TPropInfo* PropInfo, const TMethod& Value) {
  requireKind(PropInfo, PropInfo->Kind() == tkMethod);
  requireSetter(PropInfo, PropInfo->SetMethod)(Instance, Value);
}

Int64 GetOrdProp(TObject* Instance, const String& PropName) {
  return GetOrdProp(Instance, requireProp(Instance, PropName));
}
void SetOrdProp(TObject* Instance, const String& PropName, Int64 Value) {
  SetOrdProp(Instance, requireProp(Instance, PropName), Value);
}
Int64 GetInt64Prop(TObject* Instance, const String& PropName) {
  return GetInt64Prop(Instance, requireProp(Instance, PropName));
}
void SetInt64Prop(TObject* Instance, const String& PropName, Int64 Value) {
  SetInt64Prop(Instance, requireProp(Instance, PropName), Value);
}
double GetFloatProp(TObject* Instance, const String& PropName) {
  return GetFloatProp(Instance, requireProp(Instance, PropName));
}
void SetFloatProp(TObject* Instance, const String& PropName, double Value) {
  SetFloatProp(Instance, requireProp(Instance, PropName), Value);
}
String GetStrProp(TObject* Instance, const String& PropName) {
  return GetStrProp(Instance, requireProp(Instance, PropName));
}
void SetStrProp(TObject* Instance, const String& PropName, const String& Value) {
  SetStrProp(Instance, requireProp(Instance, PropName), Value);
}
String GetEnumProp(TObject* Instance, const String& PropName) {
  return GetEnumProp(Instance, requireProp(Instance, PropName));
}
void SetEnumProp(TObject* Instance, const String& PropName, const String& Value) {
  SetEnumProp(Instance, requireProp(Instance, PropName), Value);
}
String GetSetProp(TObject* Instance, const String& PropName, bool Brackets) {
  return GetSetProp(Instance, requireProp(Instance, PropName), Brackets);
}
void SetSetProp(TObject* Instance, const String& PropName, const String& Value) {
  SetSetProp(Instance, requireProp(Instance, PropName), Value);
}
TObject* GetObjectProp(TObject* Instance, const String& PropName) {
  return GetObjectProp(Instance, requireProp(Instance, PropName));
}
void SetObjectProp(TObject* Instance, const String& PropName, TObject* Value) {
  SetObjectProp(Instance, requireProp(Instance, PropName), Value);
}
TMethod GetMethodProp(TObject* Instance, const String& PropName) {
  return GetMethodProp(Instance, requireProp(Instance, PropName));
}
void SetMethodProp(TObject* Instance, const String& PropName, const TMethod& Value) {
  SetMethodProp(Instance, requireProp(Instance, PropName), Value);
}

Variant GetPropValue(TObject* Instance, const TPropInfo* PropInfo, bool PreferStrings) {
  switch (PropInfo->Kind()) {
    case tkInteger:
    case tkChar:
      return Variant(Integer(PropInfo->GetOrd(Instance)));
    case tkInt64:
      return Variant(PropInfo->GetOrd(Instance));
    case tkEnumeration:
      if (PropInfo->PropType == TypeInfo<bool>()) return Variant(PropInfo->GetOrd(Instance) != 0);
      if (PreferStrings) return Variant(GetEnumProp(Instance, PropInfo));
      return Variant(Integer(PropInfo->GetOrd(Instance)));
    case tkSet:
      if (PreferStrings) return Variant(GetSetProp(Instance, PropInfo));
      return Variant(PropInfo->GetOrd(Instance));
    case tkFloat:
      switch (PropInfo->PropType->FloatType) {
        case TFloatType::ftCurr:
          return Variant(Currency(PropInfo->GetFloat(Instance)));
        case TFloatType::ftDateTime:
          return VarFromDateTime(PropInfo->GetFloat(Instance));
        case TFloatType::ftSingle:
        case TFloatType::ftDouble:
          return Variant(PropInfo->GetFloat(Instance));
      }
      break;
    case tkString:
      return Variant(PropInfo->GetStr(Instance));
    case tkVariant: {
      Variant Result;
      PropInfo->GetVariant(Instance, Result);
      return Result;
    }
    case tkClass:
    case tkMethod:
    case tkUnknown:
      break;
  }
  invalidType(PropInfo);
}

Variant GetPropValue(TObject* Instance, const String& PropName, bool PreferStrings) {
  return GetPropValue(Instance, requireProp(Instance, PropName), PreferStrings);
}

void SetPropValue(TObject* Instance, const TPropInfo* PropInfo, const Variant& Value) {
  switch (PropInfo->Kind()) {
    case tkInteger: {
      Integer Int = 0;
      if (VarIsStr(Value) && IdentToInt(VarToStr(Value), Int, PropInfo->IdentMap))
        SetOrdProp(Instance, PropInfo, Int);
      else
        SetOrdProp(Instance, PropInfo, Value.AsInteger());
      return;
    }
    case tkChar:
      if (VarIsStr(Value) && VarToStr(Value).size() == 1)
        SetOrdProp(Instance, PropInfo, VarToStr(Value).at(0).unicode());
      else
        SetOrdProp(Instance, PropInfo, Value.AsInteger());
      return;
    case tkInt64:
      SetOrdProp(Instance, PropInfo, Value.AsInt64());
      return;
    case tkEnumeration:
      if (VarIsStr(Value))
        SetEnumProp(Instance, PropInfo, VarToStr(Value));
      else if (PropInfo->PropType == TypeInfo<bool>())
        SetOrdProp(Instance, PropInfo, Value.AsBoolean() ? 1 : 0);
      else
        SetOrdProp(Instance, PropInfo, Value.AsInteger());
      return;
    case tkSet:
      if (VarIsStr(Value))
        SetSetProp(Instance, PropInfo, VarToStr(Value));
      else
        SetOrdProp(Instance, PropInfo, Value.AsInt64());
      return;
    case tkFloat:
      switch (PropInfo->PropType->FloatType) {
        case TFloatType::ftCurr:
          SetFloatProp(Instance, PropInfo, Value.AsCurrency().ToDouble());
          return;
        case TFloatType::ftDateTime:
          SetFloatProp(Instance, PropInfo, Value.AsDateTime());
          return;
        case TFloatType::ftSingle:
        case TFloatType::ftDouble:
          SetFloatProp(Instance, PropInfo, Value.AsDouble());
          return;
      }
      break;
    case tkString:
      SetStrProp(Instance, PropInfo, VarToStr(Value));
      return;
    case tkVariant:
      requireSetter(PropInfo, PropInfo->SetVariant)(Instance, Value);
      return;
    case tkClass:
    case tkMethod:
    case tkUnknown:
      break;
  }
  invalidType(PropInfo);
}

void SetPropValue(TObject* Instance, const String& PropName, const Variant& Value) {
  SetPropValue(Instance, requireProp(Instance, PropName), Value);
}

bool IsStoredProp(TObject* Instance, const TPropInfo* PropInfo) {
  return PropInfo->StoredProc ? PropInfo->StoredProc(Instance) : PropInfo->StoredConst;
}

bool IsStoredProp(TObject* Instance, const String& PropName) {
  return IsStoredProp(Instance, requireProp(Instance, PropName));
}

bool IsDefaultPropertyValue(TObject* Instance, const TPropInfo* PropInfo) {
  switch (PropInfo->Kind()) {
    case tkInteger:
    case tkChar:
    case tkEnumeration:
    case tkSet:
    case tkInt64:
      return PropInfo->HasDefault && PropInfo->GetOrd(Instance) == PropInfo->Default;
    case tkFloat:
      return PropInfo->GetFloat(Instance) == 0;
    case tkString:
      return PropInfo->GetStr(Instance).isEmpty();
    case tkClass:
      return PropInfo->GetObject(Instance) == nullptr;
    case tkMethod:
      return PropInfo->GetMethod(Instance).Code.IsEmpty();
    case tkVariant:
      return VarIsEmpty(GetPropValue(Instance, PropInfo));
    case tkUnknown:
      break;
  }
  invalidType(PropInfo);
}

String GetEnumName(const TTypeInfo* TypeInfo, Integer Value) {
  if (Value < TypeInfo->MinValue() || Value > TypeInfo->MaxValue()) return String();
  return TypeInfo->EnumNames[Value];
}

Integer GetEnumValue(const TTypeInfo* TypeInfo, const String& Name) {
  for (Integer I = TypeInfo->MinValue(); I <= TypeInfo->MaxValue(); ++I)
    if (SameText(TypeInfo->EnumNames[I], Name)) return I;
  return -1;
}
