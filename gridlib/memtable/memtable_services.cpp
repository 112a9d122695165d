// The memory table's smaller services for grids and drivers: fetching,
// the record behind the cursor, shared data, view events to receivers and
// field-value lists.
#include "gridlib/memtable/memtable.h"

#include "gridlib/base/fieldlists.h"
#include "gridlib/memtable/datadriver.h"
#include "gridlib/memtable/memoryrecord.h"
#include "gridlib/memtable/memorytreelist.h"
#include "gridlib/memtable/memtabledatafieldvaluelist.h"
#include "gridlib/memtable/recordsview.h"
#include "gridlib/memtable/refobjectfield.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fields.h"

#include <vector>

namespace {
inline constexpr const char* SExternalMemDataWithDriver =
    "Assigning to ExternalMemData is not allowed if DataDriver is assigned";
}  // namespace

// ---------------------------------------------------------------------------
// fetching

Integer TCustomMemTableEh::FetchRecords(Integer Count) {
  if (!Active()) return 0;
  BeginRecordsViewUpdate();
  Integer Fetched = 0;
  try {
    Fetched = FRecordsView->MemTableData()->FetchRecords(Count);
  } catch (...) {
    EndRecordsViewUpdate(/*ForceResync=*/false);
    throw;
  }
  EndRecordsViewUpdate(/*ForceResync=*/Fetched > 0);
  return Fetched;
}

// A negative Count reads every remaining record.  Records the view filters
// out do not count towards Count: reading goes on until Count more rows show
// or the provider ends.
Integer TCustomMemTableEh::FetchDriverRecords(Integer Count) {
  if (!FDataDriver) return 0;
  TMemTableDataEh* Data = FRecordsView->MemTableData();
  const Integer RowsBefore = FRecordsView->ViewItemsCount();
  Integer Read = FDataDriver->ReadData(Data, Count);
  while (Count > 0 && !FDataDriver->ProviderEOF() && FRecordsView->ViewItemsCount() < RowsBefore + Count)
    Read += FDataDriver->ReadData(Data, 1);
  return Read;
}

// ---------------------------------------------------------------------------
// the record behind the cursor

TMemoryRecordEh* TCustomMemTableEh::Rec() {
  CheckActive();
  TMTRecBuf* Buf = nullptr;
  return GetActiveRecBuf(Buf) ? Buf->MemRec : nullptr;
}

TMemRecViewEh* TCustomMemTableEh::RecView() {
  CheckActive();
  TMTRecBuf* Buf = nullptr;
  return GetActiveRecBuf(Buf) ? Buf->RecView : nullptr;
}

bool TCustomMemTableEh::GotoRec(TMemoryRecordEh* Rec) {
  CheckActive();
  const Integer Row = Rec ? FRecordsView->IndexOfRec(Rec) : -1;
  if (Row < 0) return false;
  SetRecNo(Row + 1);
  return true;
}

// ---------------------------------------------------------------------------
// shared data

void TCustomMemTableEh::SetExternalMemData(TCustomMemTableEh* Value) {
  if (Value == FExternalMemData) return;
  if (Value == this) throw Exception(QString::fromLatin1(DBConsts::SCircularDataLink));
  if (Value && FDataDriver) throw Exception(QString::fromLatin1(SExternalMemDataWithDriver));
  const bool WasActive = Active();
  if (!ComponentState().Contains(csLoading)) Close();
  if (FExternalMemData) FExternalMemData->RemoveFreeNotification(this);
  if (Value) {
    FRecordsView->SetMemTableData(Value->FInternMemTableData);
    Value->FreeNotification(this);
  } else {
    FRecordsView->SetMemTableData(FInternMemTableData);
  }
  FExternalMemData = Value;
  if (WasActive && !ComponentState().Contains(csDestroying)) Open();
}

// ---------------------------------------------------------------------------
// receivers and view events

void TCustomMemTableEh::RegisterEventReceiver(TObject* Receiver) {
  if (!Receiver || FEventReceivers.IndexOf(Receiver) >= 0) return;
  FEventReceivers.Add(Receiver);
  if (auto* Component = dynamic_cast<TComponent*>(Receiver)) Component->FreeNotification(this);
}

void TCustomMemTableEh::UnregisterEventReceiver(TObject* Receiver) { FEventReceivers.Remove(Receiver); }

void TCustomMemTableEh::MTViewDataEvent(Integer RowNum, TMTViewEventTypeEh Event, Integer OldRowNum) {
  if (!Active()) return;
  if (ControlsDisabled()) {
    if (FMTViewDataEventInactiveCount < 2) ++FMTViewDataEventInactiveCount;
    if (FMTViewDataEventInactiveCount == 1) {
      FInactiveEventRowNum = RowNum;
      FInactiveEvent = Event;
      FInactiveEventOldRowNum = OldRowNum;
    } else {
      FInactiveEventRowNum = -1;
      FInactiveEvent = mtViewDataChangedEh;
      FInactiveEventOldRowNum = -1;
    }
    return;
  }
  FMTViewDataEventInactiveCount = 0;
  // A receiver may unregister itself or another while it hears the event:
  // walk a copy and skip whoever left.
  std::vector<TObject*> Receivers;
  for (Integer I = 0; I < FEventReceivers.Count(); ++I) Receivers.push_back(FEventReceivers.Items(I));
  for (TObject* Receiver : Receivers) {
    if (FEventReceivers.IndexOf(Receiver) < 0) continue;
    if (auto* Intf = dynamic_cast<IMTEventReceiverEh*>(Receiver)) Intf->MTViewDataEvent(RowNum, Event, OldRowNum);
  }
  if (FStateInsert && Event == mtRowInsertedEh && FStateInsertRowNum >= RowNum) ++FStateInsertRowNum;
}

// ---------------------------------------------------------------------------
// value lists and answers to the platform

IPtr<IMemTableDataFieldValueListEh> TCustomMemTableEh::GetFieldValueList(const String& FieldName) {
  TField* Field = FindField(FieldName);
  if (!Field) return IPtr<IMemTableDataFieldValueListEh>();
  if (Field->FieldKind() == fkLookup) {
    auto* List = new TDatasetFieldValueListEh;
    IPtr<IMemTableDataFieldValueListEh> Result(List);
    List->SetDataSet(Field->LookupDataSet());
    List->SetFieldName(Field->LookupResultField());
    return Result;
  }
  auto* List = new TMemTableDataFieldValueListEh(this);
  IPtr<IMemTableDataFieldValueListEh> Result(List);
  List->SetDataObject(FRecordsView->MemTableData());
  List->SetFieldName(FieldName);
  return Result;
}

void TCustomMemTableEh::DriverStructChanged() { DataEvent(dePropertyChange, 0); }

TClass TCustomMemTableEh::GetFieldClass(TFieldType FieldType) {
  return FieldType == ftUnknown ? TRefObjectField::StaticClass() : TDataSet::GetFieldClass(FieldType);
}
