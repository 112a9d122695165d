// The memory table's sorting, instant read, cached updates, totals of a range
// and moving records.
#include "gridlib/memtable/memtable.h"

#include "gridlib/memtable/memoryrecord.h"
#include "gridlib/memtable/memorytreelist.h"
#include "gridlib/memtable/recordsview.h"
#include "platform/rtl/scopeexit.h"

namespace {
inline constexpr const char* SNotInInstantReadMode = "TCustomMemTableEh not in instant read mode.";
}  // namespace

// ---------------------------------------------------------------------------
// sorting

void TCustomMemTableEh::SetSortOrder(const String& Value) {
  if (Value == FSortOrder) return;
  FSortOrder = Value;
  ApplySortOrder();
}

void TCustomMemTableEh::ApplySortOrder() { FRecordsView->SetSortOrder(Active() ? FSortOrder : String()); }

void TCustomMemTableEh::SortByFields(const String& SortByStr) { InternalSortByFields(SortByStr); }

void TCustomMemTableEh::InternalSortByFields(const String&) {}

TMTOrderByList* TCustomMemTableEh::ParseSortByFields(const String&) { return nullptr; }

void TCustomMemTableEh::SortByOrderList(TMTOrderByList*) {}

void TCustomMemTableEh::SortWithExternalProc(const TGetOrderVarValueProcEh&, const TExternalSortDataArrEh&) {}

Integer TCustomMemTableEh::CompareRecords(TMemoryRecordEh* Rec1, TMemoryRecordEh* Rec2, TObject*) {
  return Rec1->Index() - Rec2->Index();
}

Integer TCustomMemTableEh::CompareTreeNodes(TBaseTreeNodeEh* Node1, TBaseTreeNodeEh* Node2, TObject* ParamSort) {
  return CompareRecords(static_cast<TMemRecViewEh*>(Node1)->Rec(), static_cast<TMemRecViewEh*>(Node2)->Rec(),
                        ParamSort);
}

// ---------------------------------------------------------------------------
// instant read

namespace {

// Loads a pushed buffer with a record and its calculated fields.
void loadInstantBuffer(TMTRecBuf* Buf, TMemoryRecordEh* Rec, TMemRecViewEh* Node, Integer RowNum) {
  Buf->RecordNumber = RowNum;
  Buf->BookmarkFlag = bfCurrent;
  Buf->MemRec = Rec;
  Buf->RecView = Node;
  Buf->BookmarkData.RecSerial = Rec ? Rec->Serial() : 0;
  Buf->BookmarkData.RecViewIndex = RowNum;
  Buf->BookmarkData.InSortedListIndex = Node ? Node->InSortedListIndex() : -1;
  Buf->UseMemRec = true;
}

}  // namespace

void TCustomMemTableEh::InstantReadEnter(TMemRecViewEh* RecView, Integer RowNum) {
  const TRecordBuffer Buffer = AllocRecordBuffer();
  FInstantBuffers.push_back(Buffer);
  FInstantReadMode = true;
  try {
    loadInstantBuffer(RecBuf(Buffer), RecView->Rec(), RecView, RowNum);
    GetCalcFields(Buffer);
  } catch (...) {
    InstantReadLeave();
    throw;
  }
}

void TCustomMemTableEh::InstantReadEnter(TMemoryRecordEh* MemRec, Integer RowNum) {
  const TRecordBuffer Buffer = AllocRecordBuffer();
  FInstantBuffers.push_back(Buffer);
  FInstantReadMode = true;
  try {
    loadInstantBuffer(RecBuf(Buffer), MemRec, nullptr, RowNum);
    GetCalcFields(Buffer);
  } catch (...) {
    InstantReadLeave();
    throw;
  }
}

void TCustomMemTableEh::InstantReadEnter(Integer RowNum) {
  const TRecordBuffer Buffer = AllocRecordBuffer();
  FInstantBuffers.push_back(Buffer);
  FInstantReadMode = true;
  try {
    TMTRecBuf* Buf = RecBuf(Buffer);
    const bool Editing = State() == dsEdit || State() == dsInsert;
    if (Editing && RowNum == FInstantReadCurRowNum) {
      CopyRecBuf(RecBuf(ActiveBuffer()), Buf);
      if (State() == dsInsert) {
        Buf->RecordNumber = -1;
        Buf->RecView = nullptr;
        Buf->MemRec = nullptr;
        Buf->BookmarkData = TBookmarkDataEh();
      }
      return;
    }
    if (State() == dsInsert && RowNum > FInstantReadCurRowNum) --RowNum;
    if (RowNum >= 0 && RowNum < FRecordsView->ViewItemsCount()) {
      TMemRecViewEh* Node = FRecordsView->RecordView(RowNum);
      loadInstantBuffer(Buf, Node->Rec(), Node, RowNum);
      GetCalcFields(Buffer);
    } else {
      InternalInitRecord(Buffer);
    }
  } catch (...) {
    InstantReadLeave();
    throw;
  }
}

void TCustomMemTableEh::InstantReadLeave() {
  if (FInstantBuffers.empty()) throw Exception(QString::fromLatin1(SNotInInstantReadMode));
  TRecordBuffer Buffer = FInstantBuffers.back();
  FInstantBuffers.pop_back();
  FInstantReadMode = !FInstantBuffers.empty();
  FreeRecordBuffer(Buffer);
}

Integer TCustomMemTableEh::InstantReadViewRow() {
  if (FInstantBuffers.empty()) return InstantReadCurRow();
  const Integer Row = RecBuf(FInstantBuffers.back())->RecordNumber;
  if (State() != dsInsert) return Row;
  if (Row == -1) return FInstantReadCurRowNum;
  return Row >= FInstantReadCurRowNum ? Row + 1 : Row;
}

Integer TCustomMemTableEh::InstantReadRowCount() {
  if (FRecordsViewUpdating == 0) UpdateCursorPos();
  return RecordCount() + (State() == dsInsert ? 1 : 0);
}

Integer TCustomMemTableEh::InstantReadCurRow() {
  UpdateCursorPos();
  return FInstantReadCurRowNum;
}

void TCustomMemTableEh::InternalInsert() {
  if (BufferedRecordCount() > 0 && GetBookmarkFlag(ActiveBuffer()) == bfEOF)
    FInstantReadCurRowNum = FRecordsView->ViewItemsCount();
}

// ---------------------------------------------------------------------------
// cached updates

bool TCustomMemTableEh::CachedUpdates() { return FRecordsView->MemTableData()->RecordsList()->CachedUpdates(); }

void TCustomMemTableEh::SetCachedUpdates(bool Value) {
  FRecordsView->SetCachedUpdates(Value);
  FRecordsView->MemTableData()->RecordsList()->SetCachedUpdates(Value);
}

bool TCustomMemTableEh::HasCachedChanges() {
  return FRecordsView->MemTableData()->RecordsList()->HasCachedChanges();
}

void TCustomMemTableEh::MergeChangeLog() { FRecordsView->MergeChangeLog(); }

Integer TCustomMemTableEh::InternalApplyUpdates(TMemTableDataEh*, Integer) {
  FRecordsView->MergeChangeLog();
  return 0;
}

Integer TCustomMemTableEh::ApplyUpdates(Integer MaxErrors) {
  CheckActive();
  const Integer Result = InternalApplyUpdates(FRecordsView->MemTableData(), MaxErrors);
  UpdateCursorPos();
  Resync({});
  return Result;
}

// ---------------------------------------------------------------------------
// totals and moves

void TCustomMemTableEh::GetAggregatedValuesForRange(const TBookmark&, const TBookmark&, const String&,
                                                    TAggrResultArr& ResultArr, TAggrFunctionsEh) {
  ResultArr = {Null(), Variant(0), Null(), Null(), Null()};
}

bool TCustomMemTableEh::MoveRecord(Integer, Integer, Integer, bool) { return true; }

bool TCustomMemTableEh::MoveRecords(TBMListEh*, Integer, Integer, bool) { return true; }
