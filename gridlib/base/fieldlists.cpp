#include "gridlib/base/fieldlists.h"

#include "gridlib/base/valuetext.h"
#include "platform/db/dataset.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fields.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"

void GetFieldListByNamesEh(TList* List, TDataSet* DataSet, TComponent* Component, const String& FieldNames) {
  int Pos = 1;
  while (Pos <= FieldNames.length()) {
    const String Name = ExtractFieldName(FieldNames, Pos);
    TField* Field = DataSet->FindField(Name);
    if (!Field) DatabaseErrorFmt(QString::fromLatin1(DBConsts::SFieldNotFound), {Name}, Component);
    if (List) List->Add(Field);
  }
}

TFieldsArrEh GetFieldsArrayByNamesEh(TDataSet* DataSet, TComponent* Component, const String& FieldNames) {
  TObjectListEh List;
  GetFieldListByNamesEh(&List, DataSet, Component, FieldNames);
  TFieldsArrEh Result;
  Result.reserve(size_t(List.Count()));
  for (Integer I = 0; I < List.Count(); ++I) Result.push_back(static_cast<TField*>(List.Items(I)));
  return Result;
}

Variant GetFieldValuesEh(const TFieldsArrEh& Fields) {
  assert(!Fields.empty() && "GetFieldValuesEh: no fields");
  if (Fields.size() == 1) return Fields.front()->AsVariant();
  Variant Result = VarArrayCreate({0, Integer(Fields.size()) - 1}, varVariant);
  for (size_t I = 0; I < Fields.size(); ++I) VarArrayPut(Result, Fields[I]->AsVariant(), Integer(I));
  return Result;
}

void SetFieldValuesEh(TDataSet* DataSet, const String& FieldNames, const Variant& Value) {
  if (VariantsEqualEh(Value, Null())) {
    std::vector<TField*> Fields;
    DataSet->GetFieldList(Fields, FieldNames);
    for (TField* Field : Fields) Field->Clear();
  } else {
    DataSet->SetFieldValues(FieldNames, Value);
  }
}

// ---------------------------------------------------------------------------

void TDataLinkEh::DataEvent(TDataEvent Event, std::intptr_t Info) {
  TDataLink::DataEvent(Event, Info);
  if (OnDataEvent.Assigned()) OnDataEvent(Event, Info);
}

// ---------------------------------------------------------------------------

TDatasetFieldValueListEh::TDatasetFieldValueListEh()
    : FDataLink(new TDataLinkEh), FDataSource(new TDataSource(nullptr)), FValues(new TStringList) {
  FValues->SetSorted(true);
  FValues->SetDuplicates(dupIgnore);
  FDataLink->OnDataEvent = TDataEventEh(this, &TDatasetFieldValueListEh::DataEvent);
}

TDatasetFieldValueListEh::~TDatasetFieldValueListEh() {
  FValues->Free();
  FDataLink->SetDataSource(nullptr);
  FDataSource->SetDataSet(nullptr);
  FDataSource->Free();
  FDataLink->Free();
}

TStrings* TDatasetFieldValueListEh::GetValues() {
  if (FDataObsoleted) RefreshValues();
  return FValues;
}

void TDatasetFieldValueListEh::SetFilter(const String&) {}

void TDatasetFieldValueListEh::SetFieldName(const String& Value) {
  if (Value == FFieldName) return;
  FDataObsoleted = true;
  FFieldName = Value;
}

void TDatasetFieldValueListEh::SetDataSource(TDataSource* Value) {
  if (Value == FDataLink->DataSource()) return;
  FDataObsoleted = true;
  FDataLink->SetDataSource(Value);
}

TDataSet* TDatasetFieldValueListEh::DataSet() const { return FDataSource->DataSet(); }

void TDatasetFieldValueListEh::SetDataSet(TDataSet* Value) {
  SetDataSource(nullptr);
  FDataLink->SetDataSource(FDataSource);
  if (Value == FDataLink->DataSet()) return;
  FDataObsoleted = true;
  FDataSource->SetDataSet(Value);
}

bool TDatasetFieldValueListEh::CaseSensitive() const { return FValues->CaseSensitive(); }

void TDatasetFieldValueListEh::SetCaseSensitive(bool Value) { FValues->SetCaseSensitive(Value); }

void TDatasetFieldValueListEh::DataEvent(TDataEvent Event, std::intptr_t) {
  // scrolling never makes the values stale
  if (Event == deDataSetChange || Event == dePropertyChange || Event == deFieldListChange)
    FDataObsoleted = true;
}

void TDatasetFieldValueListEh::RefreshValues() {
  FValues->Clear();
  if (!FDataLink->Active()) return;
  TDataSet* Data = FDataLink->DataSet();
  TField* Field = Data->FindField(FFieldName);
  if (!Field) return;
  {
    Data->DisableControls();
    const TBookmark Saved = Data->Bookmark();
    const TScopeExit Restore([Data, &Saved] {
      Data->GotoBookmark(Saved);
      Data->EnableControls();
    });
    FValues->BeginUpdate();
    const TScopeExit EndValues([this] { FValues->EndUpdate(); });
    Data->First();
    while (!Data->Eof()) {
      FValues->Add(Field->AsString());
      Data->Next();
    }
  }
  // after enabling the controls, whose change event would mark them stale
  FDataObsoleted = false;
}
