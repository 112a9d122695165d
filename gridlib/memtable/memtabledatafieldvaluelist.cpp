#include "gridlib/memtable/memtabledatafieldvaluelist.h"

#include "gridlib/base/valuetext.h"
#include "gridlib/memtable/datasetexprparser.h"
#include "gridlib/memtable/memoryrecord.h"
#include "gridlib/memtable/memtabledata.h"
#include "gridlib/memtable/mtindexes.h"
#include "gridlib/memtable/recordsview.h"
#include "platform/db/dataset.h"
#include "platform/rtl/stringlist.h"

#include <QStringList>

#include <algorithm>
#include <memory>

namespace {

// Types whose values make no list: blobs, objects and containers.
bool isListableType(TFieldType Type) {
  switch (Type) {
    case ftBlob:
    case ftGraphic:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
    case ftCursor:
    case ftArray:
    case ftReference:
    case ftDataSet:
    case ftOraBlob:
    case ftVariant:
    case ftConnection:
    case ftParams:
    case ftStream:
    case ftObject:
      return false;
    default:
      return true;
  }
}

String valueText(const Variant& V) { return VarIsNull(V) || VarIsEmpty(V) ? String() : VarToStr(V); }

}  // namespace

TMemTableDataFieldValueListEh::TMemTableDataFieldValueListEh(TDataSet* ADataSet)
    : FDataSet(ADataSet),
      FFilterExpr(new TDataSetExprParserEh(ADataSet, dsptFilterEh)),
      FNotificator(new TRecordsListNotificatorEh(nullptr)),
      FValues(new TStringList) {
  FNotificator->OnDataEvent =
      TRecordsListNotificatorDataEventEh(this, &TMemTableDataFieldValueListEh::NotificatorDataEvent);
}

TMemTableDataFieldValueListEh::~TMemTableDataFieldValueListEh() {
  FNotificator->Free();
  delete FValues;
  delete FFilterExpr;
}

TStrings* TMemTableDataFieldValueListEh::GetValues() {
  if (FDataObsoleted) rebuild();
  return FValues;
}

void TMemTableDataFieldValueListEh::SetFilter(const String& Filter) {
  if (Filter == FFilter) return;
  FFilterExpr->ParseExpression(Filter);
  FDataObsoleted = true;
  FFilter = Filter;
}

void TMemTableDataFieldValueListEh::SetFieldName(const String& Value) {
  if (Value == FFieldName) return;
  FDataObsoleted = true;
  FFieldName = Value;
  rebuild();
}

TComponent* TMemTableDataFieldValueListEh::DataObject() const { return FNotificator->DataObject(); }

void TMemTableDataFieldValueListEh::SetDataObject(TComponent* Value) { FNotificator->SetDataObject(Value); }

void TMemTableDataFieldValueListEh::NotificatorDataEvent(TMemoryRecordEh*, Integer, TRecordsListNotification) {
  FDataObsoleted = true;
}

bool TMemTableDataFieldValueListEh::passesFilter(TMemoryRecordEh* Rec) {
  return !FFilterExpr->HasData() || FFilterExpr->IsCurRecordInFilter(Rec);
}

void TMemTableDataFieldValueListEh::rebuild() {
  FValues->Clear();
  if (auto* Data = dynamic_cast<TMemTableDataEh*>(DataObject()))
    fromContainer(Data);
  else if (auto* View = dynamic_cast<TRecordsViewEh*>(DataObject()))
    fromView(View);
}

void TMemTableDataFieldValueListEh::fromContainer(TMemTableDataEh* Data) {
  TMTDataFieldEh* Field = Data->DataStruct()->FindField(FFieldName);
  if (!Field || !isListableType(Field->DataType())) return;
  const Integer FieldIndex = Field->Index();
  TRecordsListEh* List = Data->RecordsList();
  const TFieldType Type = Field->DataType();
  FValues->SetSorted(false);
  if (Type == ftString || Type == ftWideString) {
    FValues->SetCaseSensitive(!(FDataSet && FDataSet->FilterOptions().Contains(foCaseInsensitive)));
    FValues->SetDuplicates(dupIgnore);
    FValues->SetSorted(true);
    for (Integer I = 0; I < List->Count(); ++I)
      if (TMemoryRecordEh* Rec = List->Rec(I); passesFilter(Rec))
        FValues->Add(valueText(Rec->GetDataValue(FieldIndex, dvvValueEh)));
  } else {
    // Key order through a temporary index puts numbers and dates in value
    // order, not text order.
    std::unique_ptr<TMTIndexEh, void (*)(TMTIndexEh*)> Index(TMTIndexEh::CreateApart(List),
                                                             [](TMTIndexEh* I) { I->Free(); });
    Index->SetFields(FFieldName);
    Index->SetActive(true);
    bool AddedAny = false;
    String Last;
    for (Integer I = 0; I < Index->Count(); ++I) {
      const TIndexItemEh& Item = Index->Item(I);
      if (!passesFilter(List->Rec(Item.RecIndex))) continue;
      const String Text = VarToDisplayStrEh(Item.Value);
      if (AddedAny && Text == Last) continue;
      FValues->Add(Text);
      Last = Text;
      AddedAny = true;
    }
  }
  FDataObsoleted = false;
}

void TMemTableDataFieldValueListEh::fromView(TRecordsViewEh* View) {
  const Integer FieldIndex = View->MemTableData() ? View->MemTableData()->DataStruct()->FieldIndex(FFieldName) : -1;
  if (FieldIndex >= 0) {
    QStringList Texts;
    for (Integer I = 0; I < View->ViewItemsCount(); ++I)
      Texts.append(valueText(View->ViewRecord(I)->GetDataValue(FieldIndex, dvvValueEh)));
    std::sort(Texts.begin(), Texts.end());
    String Last;
    for (const String& Text : Texts)
      if (Text != Last) {
        FValues->Add(Text);
        Last = Text;
      }
  }
  FDataObsoleted = false;
}
