#include "gridlib/memtable/recordslist.h"

#include "gridlib/memtable/memtabledata.h"
#include "gridlib/memtable/mtindexes.h"
#include "gridlib/memtable/recordsview.h"
#include "platform/rtl/filer.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/streams.h"

#include <cstring>
#include <vector>

namespace {
// Off by default: the check costs three list scans per freed record.
bool DiagnosticSwitch = false;
}  // namespace

bool RecordsDiagnosticEh() { return DiagnosticSwitch; }
void SetRecordsDiagnosticEh(bool Value) { DiagnosticSwitch = Value; }

// ---------------------------------------------------------------------------
// TRecordsListEh

TRecordsListEh::TRecordsListEh(TComponent* AOwner) : TComponent(nullptr) {
  if (AOwner && !Is<TMemTableDataEh>(AOwner)) throw Exception(AOwner->ClassName());
  FMemTableData = static_cast<TMemTableDataEh*>(AOwner);
  FIndexes = new TMTIndexesEh(this);
}

void TRecordsListEh::BeforeDestruction() {
  for (Integer I = 0; I < FDeltaList.Count(); I++)
    if (auto* Rec = static_cast<TMemoryRecordEh*>(FDeltaList.Items(I))) Rec->FUpdateIndex = -1;
  Clear();
  FreeDeletedRecords();
  TComponent::BeforeDestruction();
}

TRecordsListEh::~TRecordsListEh() { FIndexes->Free(); }

Integer TRecordsListEh::RecValCount() const { return DataStruct() ? DataStruct()->Count() : 0; }

TMTDataStructEh* TRecordsListEh::DataStruct() const { return FMemTableData ? FMemTableData->DataStruct() : nullptr; }

void TRecordsListEh::Notify(TMemoryRecordEh* Rec, Integer Index, TRecordsListNotification Action) {
  if (FUpdateCount > 0) return;
  FIndexes->DataEvent(Rec, Index, Action);
  if (FMemTableData) FMemTableData->RecordsListNotify(Rec, Index, Action);
}

void TRecordsListEh::RecordMoved(TMemoryRecordEh* Item, Integer OldIndex, Integer NewIndex) {
  FIndexes->RecordMoved(Item, OldIndex, NewIndex);
  if (FMemTableData) FMemTableData->RecordMoved(Item, OldIndex, NewIndex);
}

void TRecordsListEh::BeginUpdate() { FUpdateCount++; }

void TRecordsListEh::EndUpdate() {
  if (FUpdateCount <= 0) return;
  if (--FUpdateCount == 0) Notify(nullptr, -1, rlnListChangedEh);
}

TMemoryRecordEh* TRecordsListEh::NewRecord() {
  auto* Rec = new TMemoryRecordEh;
  Rec->FHashCode = Cardinal(FNewHashCode++);
  Rec->FData.assign(std::size_t(RecValCount()), Null());
  Rec->FRecordsList = this;
  Rec->FDataStruct = DataStruct();
  return Rec;
}

void TRecordsListEh::attachRecord(Integer Index, TMemoryRecordEh* Rec, bool Append, bool Fetching) {
  if (Rec->FRecordsList != this) throw Exception(QStringLiteral("Record.RecordsList is not the same."));
  if (Rec->FIndex != -1) throw Exception(QStringLiteral("The record is already attached to RecordsList."));
  Notify(Rec, Append ? Count() : Index, rlnRecAddingEh);
  if (!Fetching) SetAutoIncValue(Rec);
  if (!Fetching && !FCachedUpdates && applyHandlersAssigned()) applyOneRecord(Rec, TApplyKind::Insert);
  if (Append) {
    Rec->FIndex = FRecList.Add(Rec);
  } else {
    FRecList.Insert(Index, Rec);
    ReIndexRecords(Index);
  }
  if (FCachedUpdates) {
    Rec->FUpdateStatus = usInserted;
    if (Rec->FUpdateIndex < 0) appendToDelta(Rec);
  } else {
    Rec->FUpdateStatus = usUnmodified;
  }
  Rec->FEditState = resBrowseEh;
  Notify(Rec, Rec->FIndex, rlnRecAddedEh);
}

Integer TRecordsListEh::AddRecord(TMemoryRecordEh* Rec) {
  attachRecord(-1, Rec, /*Append=*/true, /*Fetching=*/false);
  return Rec->FIndex;
}

void TRecordsListEh::InsertRecord(Integer Index, TMemoryRecordEh* Rec) {
  attachRecord(Index, Rec, /*Append=*/false, /*Fetching=*/false);
}

Integer TRecordsListEh::FetchRecord(TMemoryRecordEh* Rec) {
  const bool Cached = FCachedUpdates;
  FCachedUpdates = false;
  const TScopeExit Restore([this, Cached] { FCachedUpdates = Cached; });
  attachRecord(-1, Rec, /*Append=*/true, /*Fetching=*/true);
  return Rec->FIndex;
}

void TRecordsListEh::FetchRecordsFrom(TRecordsListEh* Source) {
  for (Integer I = 0; I < Source->FIndexes->Count(); I++) Source->FIndexes->GetItem(I)->ClearIndex();
  std::vector<TMemoryRecordEh*> Moving;
  Moving.reserve(std::size_t(Source->Count()));
  for (Integer R = 0; R < Source->Count(); R++) Moving.push_back(Source->GetRec(R));
  Source->FRecList.Clear();
  Source->Notify(nullptr, -1, rlnListChangedEh);
  std::size_t Next = 0;
  // Records not attached here when a notification raises are nobody's.
  const TScopeExit FreeUnattached([&] {
    for (; Next < Moving.size(); ++Next)
      if (Moving[Next]->FIndex == -1) Moving[Next]->Free();
  });
  for (; Next < Moving.size(); ++Next) {
    TMemoryRecordEh* Rec = Moving[Next];
    Rec->FIndex = -1;
    Rec->FRecordsList = this;
    Rec->FDataStruct = DataStruct();
    Rec->FHashCode = Cardinal(FNewHashCode++);
    FetchRecord(Rec);
  }
}

void TRecordsListEh::appendToDelta(TMemoryRecordEh* Rec) { Rec->FUpdateIndex = FDeltaList.Add(Rec); }

void TRecordsListEh::clearDeltaSlot(TMemoryRecordEh* Rec) {
  if (Rec->FUpdateIndex >= 0) FDeltaList.SetItems(Rec->FUpdateIndex, nullptr);
  Rec->FUpdateIndex = -1;
}

void TRecordsListEh::removeAt(Integer Index) {
  GetRec(Index)->FIndex = -1;
  FRecList.Delete(Index);
  ReIndexRecords(Index);
}

void TRecordsListEh::DeleteRecord(Integer Index) {
  TMemoryRecordEh* Rec = GetRec(Index);
  if (FCachedUpdates) {
    if (Rec->FUpdateStatus == usDeleted) throw Exception(QStringLiteral("Can't MarkDel the Deleted record"));
    if (Rec->FUpdateStatus != usInserted) {
      Rec->FOldData.clear();
      Rec->FUpdateStatus = usDeleted;
      if (Rec->FUpdateIndex < 0) appendToDelta(Rec);
      Notify(Rec, Index, rlnRecMarkedForDelEh);
      return;
    }
  }
  PersistDeleteRecord(Index);
}

void TRecordsListEh::PersistDeleteRecord(Integer Index) {
  TMemoryRecordEh* Rec = GetRec(Index);
  Notify(Rec, Index, rlnRecDeletingEh);
  if (!FCachedUpdates && applyHandlersAssigned()) applyOneRecord(Rec, TApplyKind::Delete);
  removeAt(Index);
  Notify(Rec, Index, rlnRecDeletedEh);
  // A record still pending (cached updates since switched off) must not stay
  // on the delta list once freed.
  clearDeltaSlot(Rec);
  Rec->Free();
}

void TRecordsListEh::DeleteRecords(const TRecordsRangesEh& RecordsRanges) {
  if (FCachedUpdates)
    throw Exception(QStringLiteral("Delete a range of record in CachedUpdates mode is not supported"));
  PersistDeleteRecords(RecordsRanges);
}

void TRecordsListEh::PersistDeleteRecords(const TRecordsRangesEh& RecordsRanges) {
  // Every range is checked before the first record goes, so a bad range
  // leaves the list whole.
  for (const TRecordsRangeEh& Range : RecordsRanges)
    if (Range.FromRec < 0 || Range.ToRec >= Count() || Range.FromRec > Range.ToRec)
      throw EListError(QStringLiteral("List index out of bounds (%1)").arg(Range.FromRec < 0 ? Range.FromRec : Range.ToRec));
  for (const TRecordsRangeEh& Range : RecordsRanges)
    for (Integer I = Range.FromRec; I <= Range.ToRec; I++) {
      TMemoryRecordEh* Rec = GetRec(I);
      if (!Rec) continue;  // ranges that overlap
      if (applyHandlersAssigned()) applyOneRecord(Rec, TApplyKind::Delete);
      Rec->FIndex = -1;
      FRecList.SetItems(I, nullptr);
      clearDeltaSlot(Rec);
      Rec->Free();
    }
  FRecList.Pack();
  ReIndexRecords();
  Notify(nullptr, -1, rlnListChangedEh);
}

void TRecordsListEh::PersistRemoveRecord(Integer Index) {
  TMemoryRecordEh* Rec = GetRec(Index);
  Notify(Rec, Index, rlnRecDeletingEh);
  FDeletedList.Add(Rec);
  removeAt(Index);
  Notify(Rec, Index, rlnRecDeletedEh);
}

TMemoryRecordEh* TRecordsListEh::GetRec(Integer Index) const {
  return static_cast<TMemoryRecordEh*>(FRecList.Items(Index));
}

void TRecordsListEh::SetRec(Integer Index, TMemoryRecordEh* Value) { FRecList.SetItems(Index, Value); }

Variant TRecordsListEh::GetValue(Integer RecNo, Integer ValNo) const {
  return GetRec(RecNo)->GetDataValue(ValNo, dvvValueEh);
}

void TRecordsListEh::SetValue(Integer Index, Integer ValNo, const Variant& Value) {
  TMemoryRecordEh* Rec = GetRec(Index);
  Rec->checkFieldIndex(ValNo);
  Notify(Rec, Index, rlnRecChangingEh);
  Rec->FData[ValNo] = Value;
  Notify(Rec, Index, rlnRecChangedEh);
}

void TRecordsListEh::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex == NewIndex) return;
  FRecList.Move(CurIndex, NewIndex);
  ReIndexRecords(std::min(CurIndex, NewIndex));
  RecordMoved(GetRec(NewIndex), CurIndex, NewIndex);
}

void TRecordsListEh::SortData(const TCompareRecords& Compare, TObject* ParamSort) {
  if (Count() == 0) return;
  QuickSort(0, Count() - 1, Compare, ParamSort);
  ReIndexRecords();
  Notify(nullptr, -1, rlnListChangedEh);
}

void TRecordsListEh::QuickSort(Integer L, Integer R, const TCompareRecords& Compare, TObject* ParamSort) {
  Integer I;
  do {
    I = L;
    Integer J = R;
    TMemoryRecordEh* Pivot = GetRec(Integer((Cardinal(L) + Cardinal(R)) >> 1));
    do {
      while (Compare(GetRec(I), Pivot, ParamSort) < 0) I++;
      while (Compare(GetRec(J), Pivot, ParamSort) > 0) J--;
      if (I <= J) {
        if (I != J) FRecList.Exchange(I, J);
        I++;
        J--;
      }
    } while (I <= J);
    if (L < J) QuickSort(L, J, Compare, ParamSort);
    L = I;
  } while (I < R);
}

void TRecordsListEh::RevertRecord(Integer Index) {
  TMemoryRecordEh* Rec = GetRec(Index);
  if (Rec->FUpdateStatus != usInserted) {
    Rec->RevertRecord();
    return;
  }
  PersistDeleteRecord(Index);
}

void TRecordsListEh::RefreshRecord(Integer Index, TMemoryRecordEh* FromRec) { GetRec(Index)->RefreshRecord(FromRec); }

void TRecordsListEh::Clear() {
  FreeDeletedRecords();
  FDeltaList.Clear();
  for (Integer I = 0; I < FIndexes->Count(); I++) FIndexes->GetItem(I)->ClearIndex();
  for (Integer I = 0; I < Count(); I++) {
    TMemoryRecordEh* Rec = GetRec(I);
    Rec->FIndex = -1;
    Rec->FUpdateIndex = -1;
    Rec->Free();
  }
  FRecList.Clear();
  Notify(nullptr, -1, rlnListChangedEh);
}

void TRecordsListEh::ReIndexRecords(Integer FromIndex, Integer ToIndex) {
  if (FromIndex < 0) FromIndex = 0;
  if (ToIndex < 0 || ToIndex >= Count()) ToIndex = Count() - 1;
  for (Integer I = FromIndex; I <= ToIndex; I++) GetRec(I)->FIndex = I;
}

void TRecordsListEh::CheckRecordDeletable(TMemoryRecordEh* Item) {
  if (!RecordsDiagnosticEh()) return;
  if (FDeletedList.IndexOf(Item) >= 0)
    throw Exception(QStringLiteral("Can not delete Record if it present in DeletedList."));
  if (FDeltaList.IndexOf(Item) >= 0)
    throw Exception(QStringLiteral("Can not delete Record if it present in CachedUpdate pending list."));
  if (FRecList.IndexOf(Item) >= 0) throw Exception(QStringLiteral("Can not delete Record if it present in active list."));
}

void TRecordsListEh::SetAutoIncValue(TMemoryRecordEh* Rec) {
  if (FMemTableData) FMemTableData->SetAutoIncValue(Rec);
}

void TRecordsListEh::CancelUpdates() {
  for (Integer I = Count() - 1; I >= 0; I--) {
    TMemoryRecordEh* Rec = GetRec(I);
    switch (Rec->FUpdateStatus) {
      case usModified:
        // A modified record without old values (no Post makes one) counts as
        // unmodified, so the rest of the log is still cancelled.
        if (!Rec->FOldData.empty()) Rec->FData = std::move(Rec->FOldData);
        Rec->FOldData.clear();
        Rec->FUpdateStatus = usUnmodified;
        Rec->FUpdateIndex = -1;
        break;
      case usInserted:
        clearDeltaSlot(Rec);
        removeAt(I);
        Rec->Free();
        break;
      case usDeleted:
        Rec->FUpdateStatus = usUnmodified;
        Rec->FUpdateIndex = -1;
        break;
      case usUnmodified: break;
    }
  }
  FDeltaList.Clear();
  Notify(nullptr, -1, rlnListChangedEh);
}

void TRecordsListEh::mergeRecordClearingSlot(TMemoryRecordEh* Rec) {
  if (Rec->FUpdateStatus == usDeleted) {
    const Integer Index = Rec->FIndex;
    Notify(Rec, Index, rlnRecDeletingEh);
    FRecList.SetItems(Index, nullptr);
    Rec->FIndex = -1;
    FDeletedList.Add(Rec);
    Notify(Rec, Index, rlnRecDeletedEh);
  }
  Rec->forgetChanges();
}

void TRecordsListEh::MergeChangeLog() {
  if (FDeltaList.Count() == 0) return;
  if (FDeltaList.Count() == 1) {
    if (auto* Rec = static_cast<TMemoryRecordEh*>(FDeltaList.Items(0))) Rec->MergeChanges();
    FreeDeletedRecords();
    FDeltaList.Clear();
    return;
  }
  BeginUpdate();
  const TScopeExit End([this] { EndUpdate(); });
  const Integer OldCount = Count();
  for (Integer I = 0; I < FDeltaList.Count(); I++)
    if (auto* Rec = static_cast<TMemoryRecordEh*>(FDeltaList.Items(I))) mergeRecordClearingSlot(Rec);
  FreeDeletedRecords();
  FRecList.Pack();
  if (Count() != OldCount) ReIndexRecords();
  FDeltaList.Clear();
}

void TRecordsListEh::CleanupChangedRecs() {
  FreeDeletedRecords();
  FDeltaList.Pack();
  for (Integer I = 0; I < FDeltaList.Count(); I++) static_cast<TMemoryRecordEh*>(FDeltaList.Items(I))->FUpdateIndex = I;
}

void TRecordsListEh::FreeDeletedRecords() {
  for (Integer I = 0; I < FDeletedList.Count(); I++) FDeletedList.Items(I)->Free();
  FDeletedList.Clear();
}

bool TRecordsListEh::applyHandlersAssigned() const {
  return FMemTableData && FMemTableData->HasApplyUpdatesHandlers();
}

void TRecordsListEh::applyOneRecord(TMemoryRecordEh* Rec, TApplyKind Kind) {
  auto* Shadow = new TMemTableDataShadowEh(FMemTableData);
  const TScopeExit FreeShadow([Shadow] { Shadow->Free(); });
  TRecordsListEh* ShadowList = Shadow->RecordsList();
  ShadowList->SetCachedUpdates(true);
  TMemoryRecordEh* ShadowRec = ShadowList->NewRecord();
  switch (Kind) {
    case TApplyKind::Modify:
      ShadowRec->FData = Rec->Row(dvvOldestValue);
      ShadowList->FetchRecord(ShadowRec);
      ShadowRec->Edit();
      ShadowRec->FData = Rec->FData;
      ShadowRec->Post();
      break;
    case TApplyKind::Insert:
      ShadowRec->FData = Rec->FData;
      ShadowRec->Post();
      break;
    case TApplyKind::Delete:
      ShadowRec->FData = Rec->Row(dvvOldestValue);
      ShadowList->FetchRecord(ShadowRec);
      ShadowList->DeleteRecord(ShadowRec->FIndex);
      break;
  }
  FMemTableData->ApplyUpdates(Shadow);
  if (Kind != TApplyKind::Delete) Rec->FData = ShadowRec->FData;
}

// ---------------------------------------------------------------------------
// the "Data" property

void TRecordsListEh::DefineProperties(TFiler* Filer) {
  Filer->DefineProperty(QStringLiteral("Data"), TReaderProc(this, &TRecordsListEh::readData),
                        TWriterProc(this, &TRecordsListEh::writeData), hasData(Filer));
}

void TRecordsListEh::writeData(TWriter* Writer) {
  TMTDataStructEh* Struct = DataStruct();
  Writer->WriteListBegin();
  for (Integer R = 0; R < Count(); R++) {
    TMemoryRecordEh* Rec = GetRec(R);
    Writer->WriteListBegin();
    for (Integer F = 0; F < Struct->Count(); F++) Struct->GetDataField(F)->WriteDataToWriter(Rec->FData[F], Writer);
    Writer->WriteListEnd();
  }
  Writer->WriteListEnd();
}

void TRecordsListEh::readData(TReader* Reader) {
  TMTDataStructEh* Struct = DataStruct();
  Clear();
  Reader->ReadListBegin();
  while (!Reader->EndOfList()) {
    std::unique_ptr<TMemoryRecordEh, void (*)(TMemoryRecordEh*)> Rec(NewRecord(),
                                                                     [](TMemoryRecordEh* R) { R->Free(); });
    Reader->ReadListBegin();
    for (Integer F = 0; F < Struct->Count(); F++) Rec->FData[F] = Struct->GetDataField(F)->ReadDataFromReader(Reader);
    Reader->ReadListEnd();
    FetchRecord(Rec.release());
  }
  Reader->ReadListEnd();
}

bool TRecordsListEh::hasData(TFiler* Filer) {
  auto* Ancestor = dynamic_cast<TRecordsListEh*>(Filer->Ancestor());
  if (!Ancestor) return Count() > 0;
  auto bytesOf = [](TRecordsListEh* List) {
    TMemoryStream Stream;
    {
      TWriter Writer(&Stream);
      List->writeData(&Writer);
    }
    return QByteArray(static_cast<const char*>(Stream.Memory()), int(Stream.Size()));
  };
  return bytesOf(this) != bytesOf(Ancestor);
}

// ---------------------------------------------------------------------------
// TRecordsListNotificatorEh

TRecordsListNotificatorEh::TRecordsListNotificatorEh(TComponent* AOwner) : TComponent(AOwner) {}

void TRecordsListNotificatorEh::BeforeDestruction() {
  SetDataObject(nullptr);
  TComponent::BeforeDestruction();
}

void TRecordsListNotificatorEh::SetDataObject(TComponent* Value) {
  if (Value == FDataObject) return;
  DataEvent(nullptr, -1, rlnListChangingEh);
  if (FDataObject) {
    if (auto* Old = dynamic_cast<TMemTableDataEh*>(FDataObject)) Old->RemoveNotificator(this);
    if (auto* OldView = dynamic_cast<TRecordsViewEh*>(FDataObject)) OldView->RemoveNotificator(this);
    FDataObject->RemoveFreeNotification(this);
  }
  FDataObject = Value;
  if (Value) {
    if (auto* New = dynamic_cast<TMemTableDataEh*>(Value)) New->AddNotificator(this);
    if (auto* NewView = dynamic_cast<TRecordsViewEh*>(Value)) NewView->AddNotificator(this);
    Value->FreeNotification(this);
  }
  DataEvent(nullptr, -1, rlnListChangedEh);
}

void TRecordsListNotificatorEh::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDataObject) SetDataObject(nullptr);
}

void TRecordsListNotificatorEh::ApplyUpdates(TMemTableDataEh* AMemTableData) {
  if (OnApplyUpdates) OnApplyUpdates(AMemTableData);
}

Integer TRecordsListNotificatorEh::FetchRecords(Integer Count) { return OnFetchRecords ? OnFetchRecords(Count) : 0; }

void TRecordsListNotificatorEh::AfterDataEvent(TMemoryRecordEh* MemRec, Integer Index,
                                               TRecordsListNotification Action) {
  if (OnAfterDataEvent) OnAfterDataEvent(MemRec, Index, Action);
}

void TRecordsListNotificatorEh::DataEvent(TMemoryRecordEh* MemRec, Integer Index, TRecordsListNotification Action) {
  if (OnDataEvent) OnDataEvent(MemRec, Index, Action);
  switch (Action) {
    case rlnRecAddedEh: RecordAdded(MemRec, Index); break;
    case rlnRecChangedEh: RecordChanged(MemRec, Index); break;
    case rlnRecDeletedEh: RecordDeleted(MemRec, Index); break;
    case rlnListChangedEh: ListChanged(); break;
    default: break;
  }
}

void TRecordsListNotificatorEh::RecordAdded(TMemoryRecordEh*, Integer) {}
void TRecordsListNotificatorEh::RecordChanged(TMemoryRecordEh*, Integer) {}
void TRecordsListNotificatorEh::RecordDeleted(TMemoryRecordEh*, Integer) {}
void TRecordsListNotificatorEh::ListChanged() {}

void TRecordsListNotificatorEh::RecordMoved(TMemoryRecordEh* Item, Integer OldIndex, Integer NewIndex) {
  if (OnRecordMoved) OnRecordMoved(Item, OldIndex, NewIndex);
}

void TRecordsListNotificatorEh::StructChanged(TMemTableDataEh* AMemTableData) {
  if (OnStructChanged) OnStructChanged(AMemTableData);
}
