#include "platform/db/params.h"

#include "platform/db/dbconsts.h"

namespace {
inline constexpr const char* SParameterNotFound = "Parameter '%s' not found";
}  // namespace

// ---------------------------------------------------------------------------
// TParam

TParam::TParam(TCollection* Collection) : TCollectionItem(Collection) {}

void TParam::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Name", &TParam::Name, &TParam::SetName);
  Props.Add("DataType", &TParam::DataType, &TParam::SetDataType).Default(ftUnknown);
  Props.Add("ParamType", &TParam::ParamType, &TParam::SetParamType).Default(ptUnknown);
}

void TParam::Assign(TPersistent* Source) {
  auto* Param = dynamic_cast<TParam*>(Source);
  if (!Param) {
    TCollectionItem::Assign(Source);
    return;
  }
  FName = Param->FName;
  FDataType = Param->FDataType;
  FParamType = Param->FParamType;
  FValue = Param->FValue;
  FBound = Param->FBound;
}

void TParam::SetValue(const Variant& AValue) {
  FValue = AValue;
  FBound = true;
}

// ---------------------------------------------------------------------------
// TParams

TParams::TParams(TPersistent* AOwner) : TOwnedCollection(AOwner, TParam::StaticClass()) {}

TParam* TParams::Items(Integer Index) const { return static_cast<TParam*>(TCollection::Items(Index)); }

TParam* TParams::CreateParam(TFieldType FldType, const String& ParamName, TParamType ParamType) {
  TParam* Param = AddParam();
  Param->SetName(ParamName);
  Param->SetDataType(FldType);
  Param->SetParamType(ParamType);
  return Param;
}

TParam* TParams::FindParam(const String& Value) const {
  for (Integer I = 0; I < Count(); ++I)
    if (Items(I)->Name().compare(Value, Qt::CaseInsensitive) == 0) return Items(I);
  return nullptr;
}

TParam* TParams::ParamByName(const String& Value) const {
  TParam* Param = FindParam(Value);
  if (!Param) DatabaseErrorFmt(QString::fromLatin1(SParameterNotFound), {Value});
  return Param;
}
