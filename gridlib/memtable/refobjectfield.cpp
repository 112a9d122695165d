#include "gridlib/memtable/refobjectfield.h"

#include "gridlib/base/basecontrols.h"
#include "gridlib/memtable/memtable.h"
#include "platform/db/dbconsts.h"

namespace {

TCustomMemTableEh* memTableOf(TField* Field) {
  if (!Field->DataSet()) DatabaseErrorFmt(DBConsts::SDataSetMissing, {Field->DisplayName()});
  return As<TCustomMemTableEh>(Field->DataSet());
}

}  // namespace

TRefObjectField::TRefObjectField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftUnknown); }

TObject* TRefObjectField::Value() {
  TObject* Result = nullptr;
  memTableOf(this)->GetFieldDataAsObject(this, Result);
  return Result;
}

void TRefObjectField::SetValue(TObject* AValue) { memTableOf(this)->SetFieldDataAsObject(this, AValue); }

Variant TRefObjectField::GetAsVariant() { return RefObjectToVarEh(Value()); }

void TRefObjectField::SetVarValue(const Variant& AValue) { SetValue(VarToRefObjectEh(AValue)); }
