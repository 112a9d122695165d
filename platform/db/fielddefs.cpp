#include "platform/db/fielddefs.h"

#include "platform/db/dataset.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fieldclasses.h"
#include "platform/rtl/scopeexit.h"

#include <cassert>

// ---------------------------------------------------------------------------
// TFieldDef

TFieldDef::TFieldDef(TCollection* Collection) : TCollectionItem(Collection) {}

TFieldDef::~TFieldDef() { FreeAndNil(FChildDefs); }

void TFieldDef::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Name", &TFieldDef::Name, &TFieldDef::SetName);
  Props.Add("Attributes", &TFieldDef::Attributes, &TFieldDef::SetAttributes).Default(TFieldAttributes{});
  Props.Add("DataType", &TFieldDef::DataType, &TFieldDef::SetDataType).Default(ftUnknown);
  Props.Add("Precision", &TFieldDef::Precision, &TFieldDef::SetPrecision).Default(0);
  Props.Add("Size", &TFieldDef::Size, &TFieldDef::SetSize).Default(0);
}

void TFieldDef::Assign(TPersistent* Source) {
  auto* Def = dynamic_cast<TFieldDef*>(Source);
  if (!Def) {
    TCollectionItem::Assign(Source);
    return;
  }
  // The dataset hears of the copied attributes once.
  TCollection* const Defs = Collection();
  if (Defs) Defs->BeginUpdate();
  const TScopeExit EndUpdateOnExit([Defs] {
    if (Defs) Defs->EndUpdate();
  });
  SetName(Def->FName);
  SetDataType(Def->FDataType);
  SetSize(Def->FSize);
  SetPrecision(Def->FPrecision);
  SetAttributes(Def->FAttributes);
  SetInternalCalcField(Def->FInternalCalcField);
}

TFieldDefs* TFieldDef::FieldDefs() const { return static_cast<TFieldDefs*>(Collection()); }

TClass TFieldDef::FieldClass() const {
  TDataSet* DataSet = FieldDefs() ? FieldDefs()->DataSet() : nullptr;
  return DataSet ? DataSet->GetFieldClass(FDataType) : DefaultFieldClass(FDataType);
}

TField* TFieldDef::CreateField(TComponent* Owner) {
  const TClass FieldClass = this->FieldClass();
  if (!FieldClass) DatabaseErrorFmt(DBConsts::SUnknownFieldType, {FName});
  auto* Field = dynamic_cast<TField*>(FieldClass->Create(Owner));
  assert(Field && "a field class makes fields");
  try {
    Field->SetSize(FSize);
    Field->SetFieldName(FName);
    Field->SetRequired(Required());
    Field->SetReadOnly(FAttributes.Contains(faReadonly));
    Field->SetFieldType(FDataType);
    if (auto* BCDField = dynamic_cast<TBCDField*>(Field)) BCDField->SetPrecision(FPrecision);
    if (auto* FMTBCDField = dynamic_cast<TFMTBCDField*>(Field)) FMTBCDField->SetPrecision(FPrecision);
    if (auto* StringField = dynamic_cast<TStringField*>(Field))
      if (FAttributes.Contains(faFixed) || FDataType == ftFixedChar || FDataType == ftFixedWideChar)
        StringField->SetFixedChar(true);
    if (FInternalCalcField) Field->SetFieldKind(fkInternalCalc);
    Field->SetFieldNo(FieldNo());
    if (FieldDefs()) Field->SetDataSet(FieldDefs()->DataSet());
  } catch (...) {
    Field->Free();
    throw;
  }
  return Field;
}

void TFieldDef::SetName(const String& Value) {
  FName = Value;
  Changed(/*AllItems=*/false);
}

void TFieldDef::SetDataType(TFieldType Value) {
  FDataType = Value;
  Changed(/*AllItems=*/false);
}

void TFieldDef::SetSize(Integer Value) {
  FSize = Value;
  Changed(/*AllItems=*/false);
}

void TFieldDef::SetPrecision(Integer Value) {
  FPrecision = Value;
  Changed(/*AllItems=*/false);
}

void TFieldDef::SetAttributes(TFieldAttributes Value) {
  FAttributes = Value;
  Changed(/*AllItems=*/false);
}

void TFieldDef::SetRequired(bool Value) {
  TFieldAttributes Attributes = FAttributes;
  if (Value)
    Attributes.Include(faRequired);
  else
    Attributes.Exclude(faRequired);
  SetAttributes(Attributes);
}

void TFieldDef::SetInternalCalcField(bool Value) {
  FInternalCalcField = Value;
  Changed(/*AllItems=*/false);
}

Integer TFieldDef::FieldNo() const { return FFieldNo > 0 ? FFieldNo : Index() + 1; }

TFieldDefs* TFieldDef::ChildDefs() {
  if (!FChildDefs) FChildDefs = new TFieldDefs(this);
  return FChildDefs;
}

bool TFieldDef::HasChildDefs() const { return FChildDefs && FChildDefs->Count() > 0; }

String TFieldDef::GetDisplayName() { return FName; }

// ---------------------------------------------------------------------------
// TFieldDefs

TFieldDefs::TFieldDefs(TPersistent* AOwner) : TOwnedCollection(AOwner, TFieldDef::StaticClass()) {
  FParentDef = dynamic_cast<TFieldDef*>(AOwner);
  if (FParentDef)
    FDataSet = FParentDef->FieldDefs() ? FParentDef->FieldDefs()->DataSet() : nullptr;
  else
    FDataSet = dynamic_cast<TDataSet*>(AOwner);
}

TFieldDef* TFieldDefs::Items(Integer Index) const { return static_cast<TFieldDef*>(TCollection::Items(Index)); }

TFieldDef* TFieldDefs::AddFieldDef() { return static_cast<TFieldDef*>(TCollection::Add()); }

void TFieldDefs::Add(const String& Name, TFieldType DataType, Integer Size, bool Required) {
  if (Name.isEmpty()) DatabaseError(DBConsts::SFieldNameMissing, FDataSet);
  BeginUpdate();
  const TScopeExit EndUpdateOnExit([this] { EndUpdate(); });
  TFieldDef* Def = AddFieldDef();
  Def->SetName(Name);
  Def->SetDataType(DataType);
  Def->SetSize(Size);
  Def->SetRequired(Required);
}

Integer TFieldDefs::IndexOf(const String& Name) const {
  for (Integer I = 0; I < Count(); ++I)
    if (Items(I)->Name().compare(Name, Qt::CaseInsensitive) == 0) return I;
  return -1;
}

TFieldDef* TFieldDefs::Find(const String& Name) const {
  const Integer I = IndexOf(Name);
  if (I < 0) DatabaseErrorFmt(DBConsts::SFieldNotFound, {Name}, FDataSet);
  return Items(I);
}

void TFieldDefs::Update() {
  if (!FDataSet || FInternalUpdateCount > 0) return;
  ++FInternalUpdateCount;
  const TScopeExit Internal([this] { --FInternalUpdateCount; });
  {
    BeginUpdate();
    const TScopeExit EndUpdateOnExit([this] { EndUpdate(); });
    FDataSet->InitFieldDefs();
  }
  FUpdated = true;
}

void TFieldDefs::Update(TCollectionItem*) {
  if (FDataSet) FDataSet->DefChanged(this);
}
