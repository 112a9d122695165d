#include "platform/db/indexdefs.h"

#include "platform/db/dataset.h"
#include "platform/db/dbconsts.h"
#include "platform/rtl/scopeexit.h"

// ---------------------------------------------------------------------------
// TIndexDef

TIndexDef::TIndexDef(TCollection* Collection) : TCollectionItem(Collection) {}

void TIndexDef::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Name", &TIndexDef::Name, &TIndexDef::SetName);
  Props.Add("Fields", &TIndexDef::Fields, &TIndexDef::SetFields);
  Props.Add("Options", &TIndexDef::Options, &TIndexDef::SetOptions).Default(TIndexOptions{});
}

void TIndexDef::Assign(TPersistent* Source) {
  auto* Def = dynamic_cast<TIndexDef*>(Source);
  if (!Def) {
    TCollectionItem::Assign(Source);
    return;
  }
  TCollection* const Defs = Collection();
  if (Defs) Defs->BeginUpdate();
  const TScopeExit EndUpdateOnExit([Defs] {
    if (Defs) Defs->EndUpdate();
  });
  SetName(Def->FName);
  SetFields(Def->FFields);
  SetOptions(Def->FOptions);
}

TIndexDefs* TIndexDef::IndexDefs() const { return static_cast<TIndexDefs*>(Collection()); }

void TIndexDef::SetName(const String& Value) {
  FName = Value;
  Changed(/*AllItems=*/false);
}

void TIndexDef::SetFields(const String& Value) {
  FFields = Value;
  Changed(/*AllItems=*/false);
}

void TIndexDef::SetOptions(TIndexOptions Value) {
  FOptions = Value;
  Changed(/*AllItems=*/false);
}

String TIndexDef::GetDisplayName() { return FName; }

// ---------------------------------------------------------------------------
// TIndexDefs

TIndexDefs::TIndexDefs(TPersistent* AOwner)
    : TOwnedCollection(AOwner, TIndexDef::StaticClass()), FDataSet(dynamic_cast<TDataSet*>(AOwner)) {}

TIndexDef* TIndexDefs::Items(Integer Index) const { return static_cast<TIndexDef*>(TCollection::Items(Index)); }

TIndexDef* TIndexDefs::AddIndexDef() { return static_cast<TIndexDef*>(TCollection::Add()); }

void TIndexDefs::Add(const String& Name, const String& Fields, TIndexOptions Options) {
  BeginUpdate();
  const TScopeExit EndUpdateOnExit([this] { EndUpdate(); });
  TIndexDef* Def = AddIndexDef();
  Def->SetName(Name);
  Def->SetFields(Fields);
  Def->SetOptions(Options);
}

Integer TIndexDefs::IndexOf(const String& Name) const {
  for (Integer I = 0; I < Count(); ++I)
    if (Items(I)->Name().compare(Name, Qt::CaseInsensitive) == 0) return I;
  return -1;
}

TIndexDef* TIndexDefs::Find(const String& Name) const {
  const Integer I = IndexOf(Name);
  if (I < 0) DatabaseErrorFmt(DBConsts::SIndexNotFound, {Name}, FDataSet);
  return Items(I);
}

TIndexDef* TIndexDefs::FindIndexForFields(const String& Fields) const {
  for (Integer I = 0; I < Count(); ++I)
    if (Items(I)->Fields().compare(Fields, Qt::CaseInsensitive) == 0) return Items(I);
  return nullptr;
}

void TIndexDefs::Update(TCollectionItem*) { FUpdated = false; }
