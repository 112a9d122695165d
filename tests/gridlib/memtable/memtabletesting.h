// A container with fields, for the memory-table suites: records are built
// through the records list as the memory table will build them.
#pragma once

#include "gridlib/memtable/datastruct.h"
#include "gridlib/memtable/memoryrecord.h"
#include "gridlib/memtable/memtabledata.h"
#include "gridlib/memtable/mtindexes.h"
#include "gridlib/memtable/recordslist.h"
#include "gridlib/memtable/recordsview.h"
#include "gridlib/base/orderbylist.h"
#include "gridlib/base/valuetext.h"
#include "platform/db/fielddefs.h"
#include "platform/db/testing/rowlistdataset.h"
#include "tests/support/testing.h"

#include <initializer_list>
#include <memory>
#include <vector>

class TMemTableFixture {
public:
  TMemTableFixture() : Data(new TMemTableDataEh(nullptr)) {}
  ~TMemTableFixture() { Data->Free(); }
  TMemTableFixture(const TMemTableFixture&) = delete;
  TMemTableFixture& operator=(const TMemTableFixture&) = delete;

  TMTDataStructEh* Struct() { return Data->DataStruct(); }
  TRecordsListEh* List() { return Data->RecordsList(); }

  TMTDataFieldEh* AddString(const String& Name, Cardinal Size = 20) {
    auto* Field = static_cast<TMTStringDataFieldEh*>(Struct()->CreateField(TMTStringDataFieldEh::StaticClass()));
    Field->SetFieldName(Name);
    Field->SetSize(Size);
    return Field;
  }
  TMTDataFieldEh* AddField(const String& Name, TFieldType Type) {
    return Struct()->BuildDataFieldForDef(Name, Type, 0, 0);
  }
  // A record with Values, appended (posted) or fetched.  A record the list
  // refuses is still the caller's, so it is freed here.
  TMemoryRecordEh* Append(std::initializer_list<Variant> Values, bool Fetch = false) {
    std::unique_ptr<TMemoryRecordEh, void (*)(TMemoryRecordEh*)> Rec(List()->NewRecord(),
                                                                     [](TMemoryRecordEh* R) { R->Free(); });
    Integer I = 0;
    for (const Variant& V : Values) Rec->SetDataValue(I++, dvvValueEh, V);
    if (Fetch)
      List()->FetchRecord(Rec.get());
    else
      Rec->Post();
    return Rec.release();
  }
  Variant Value(Integer RecNo, Integer FieldNo) { return List()->GetValue(RecNo, FieldNo); }

  TMemTableDataEh* Data;
};

// Records every notification a container passes on.
class TRecordingNotificatorEh : public TRecordsListNotificatorEh {
public:
  struct Event {
    TMemoryRecordEh* Rec;
    Integer Index;
    TRecordsListNotification Action;
    bool operator==(const Event&) const = default;
  };
  TRecordingNotificatorEh() : TRecordsListNotificatorEh(nullptr) {}
  void DataEvent(TMemoryRecordEh* MemRec, Integer Index, TRecordsListNotification Action) override {
    Events.push_back({MemRec, Index, Action});
  }
  std::vector<TRecordsListNotification> Actions() const {
    std::vector<TRecordsListNotification> Result;
    for (const Event& E : Events) Result.push_back(E.Action);
    return Result;
  }
  std::vector<Event> Events;
};

// The record comparison a memory table gives its view: the order-by items'
// fields (Null first, DESC reversed), ties broken by records-list order.
inline Integer CompareRecordsByOrderList(TMemoryRecordEh* Rec1, TMemoryRecordEh* Rec2, TObject* ParamSort) {
  auto* Order = static_cast<TOrderByList*>(ParamSort);
  for (Integer I = 0; Order && I < Order->Count(); I++) {
    TOrderByItemEh* Item = Order->Items(I);
    const TVariantRelationship R = CompareVariantsEh(Rec1->GetDataValue(Item->MTFieldIndex, dvvValueEh),
                                                     Rec2->GetDataValue(Item->MTFieldIndex, dvvValueEh));
    if (R == vrEqual) continue;
    const Integer Sign = R == vrLessThan ? -1 : 1;
    return Item->Desc ? -Sign : Sign;
  }
  return Rec1->Index() - Rec2->Index();
}

// A dataset (the view's dataset and the source of the fields), a container
// built from its fields and a records view over both: the memory table's
// parts without the memory table.
class TDataSetViewFixture : public TMemTableFixture {
public:
  struct FieldDef {
    const char* Name;
    TFieldType Type;
    Integer Size = 0;
  };
  explicit TDataSetViewFixture(std::initializer_list<FieldDef> Defs) : DataSet(new TRowListDataSet(nullptr)) {
    for (const FieldDef& D : Defs) DataSet->FieldDefs()->Add(QString::fromLatin1(D.Name), D.Type, D.Size);
    DataSet->Open();
    Struct()->BuildStructFromFields(DataSet->Fields());
  }
  ~TDataSetViewFixture() {
    if (View) View->Free();
    DataSet->Free();
  }
  TDataSetViewFixture(const TDataSetViewFixture&) = delete;
  TDataSetViewFixture& operator=(const TDataSetViewFixture&) = delete;

  TRowListDataSet* DataSet;
  TRecordsViewEh* View = nullptr;
};
