// TRowListDataSet: a complete dataset class over rows held in memory, for
// the tests of every library that needs a dataset without a database.
//
// Rows are vectors of Variants, one value per FieldDef in def order; define
// the FieldDefs first, then add rows, then open.  Each row has a stable id,
// which is its 8-byte bookmark: a bookmark survives SortRows and dies with
// its row.  The class follows the whole buffer protocol (window, bookmarks,
// filters through FilterAccepts, calculated and lookup fields through the
// engine), and adds instrumentation:
//   - Log(): the protocol calls the engine made ("GetRecord(gmNext)",
//     "InternalPost" ...) and the dataset events ("BeforePost", "AfterScroll",
//     "OnNewRecord" ...) in order; links and sources may write into it too;
//   - FailNext(): makes InternalEdit, InternalPost or InternalDelete raise
//     EDatabaseError (or EAbort) the next N times;
//   - switches for read-only and for sequenced (RecNo/RecordCount) support.
#pragma once

#include "platform/db/dataset.h"

#include <unordered_map>
#include <vector>

RTL_ENUM(TFaultPoint, fpInternalEdit, fpInternalPost, fpInternalDelete)

class TRowListDataSet : public TDataSet {
  RTL_CLASS(TRowListDataSet, TDataSet)
public:
  using TRow = std::vector<Variant>;

  explicit TRowListDataSet(TComponent* AOwner);
  // A dataset destroyed by delete closes itself here.
  ~TRowListDataSet() override;

  // rows
  // Row holds one value per FieldDef.  An open dataset shows it after a
  // Refresh.
  void AppendRow(TRow Row);
  int RowCount() const { return int(FRows.size()); }
  const TRow& Row(int Index) const { return FRows[Index].Values; }
  // Reorders the rows by the values of column Column, ascending and stable;
  // an open dataset re-reads its window around the current record.
  void SortRows(int Column);

  // switches
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  // Off: RecNo and RecordCount answer -1 and IsSequenced false.
  void SetSequenced(bool Value) { FSequenced = Value; }

  // instrumentation
  std::vector<String>& Log() { return FLog; }
  void ClearLog() { FLog.clear(); }
  // Off: nothing is logged (benchmarks).
  void SetLogging(bool Value) { FLogging = Value; }
  // Point raises EDatabaseError(FaultMessage) the next Times calls, or EAbort
  // with Silent.
  void FailNext(TFaultPoint Point, int Times, bool Silent = false);
  static String FaultMessage() { return QStringLiteral("Injected failure"); }

  // reimplemented
  bool GetFieldData(TField* Field, Variant& Value) override;
  void SetFieldData(TField* Field, const Variant& Value) override;
  void SetRecNo(int Value) override;
  bool IsSequenced() override { return FSequenced; }
  bool BookmarkValid(const TBookmark& Value) override;
  // Empties as the base; others by the rows' current order.
  int CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) override;

protected:
  // reimplemented: the buffer protocol
  TRecordBuffer AllocRecordBuffer() override;
  void FreeRecordBuffer(TRecordBuffer& Buffer) override;
  TGetResult GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) override;
  void InternalInitRecord(TRecordBuffer Buffer) override;
  void InternalOpen() override;
  void InternalClose() override;
  bool IsCursorOpen() override { return FCursorOpen; }
  // The defs are the definition: nothing to read.
  void InternalInitFieldDefs() override;
  void InternalFirst() override;
  void InternalLast() override;
  void InternalGotoBookmark(const TBookmark& Bookmark) override;
  void InternalSetToRecord(TRecordBuffer Buffer) override;
  void GetBookmarkData(TRecordBuffer Buffer, TBookmark& Data) override;
  void SetBookmarkData(TRecordBuffer Buffer, const TBookmark& Data) override;
  TBookmarkFlag GetBookmarkFlag(TRecordBuffer Buffer) override;
  void SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) override;
  void InternalEdit() override;
  void InternalInsert() override;
  void InternalCancel() override;
  void InternalRefresh() override;
  // Required fields first; an insert goes before the row of the buffer's
  // bookmark (bfInserted), first (bfBOF) or last (bfEOF).
  void InternalPost() override;
  void InternalDelete() override;
  bool GetCanModify() override { return !FReadOnly; }
  int GetRecordCount() override;
  int GetRecNo() override;

  // reimplemented: events, logged before they fire
  void DoBeforeOpen() override;
  void DoAfterOpen() override;
  void DoBeforeClose() override;
  void DoAfterClose() override;
  void DoBeforeInsert() override;
  void DoAfterInsert() override;
  void DoBeforeEdit() override;
  void DoAfterEdit() override;
  void DoBeforePost() override;
  void DoAfterPost() override;
  void DoBeforeCancel() override;
  void DoAfterCancel() override;
  void DoBeforeDelete() override;
  void DoAfterDelete() override;
  void DoBeforeScroll() override;
  void DoAfterScroll() override;
  void DoBeforeRefresh() override;
  void DoAfterRefresh() override;
  void DoOnCalcFields() override;
  void DoOnNewRecord() override;

private:
  struct TStoredRow {
    Int64 Id;
    TRow Values;
  };
  // What a TRecordBuffer handle points to.
  struct TRowBuffer {
    Int64 RowId = 0;  // 0: none
    TBookmarkFlag Flag = bfCurrent;
    std::vector<Variant> Values;      // one per FieldDef
    std::vector<Variant> CalcValues;  // one per calculated or lookup field
  };
  struct TFault {
    int Remaining = 0;
    bool Silent = false;
  };

  void log(const String& Entry) {
    if (FLogging) FLog.push_back(Entry);
  }
  void failIfAsked(TFaultPoint Point);
  static TRowBuffer* rowBuffer(TRecordBuffer Buffer) { return reinterpret_cast<TRowBuffer*>(Buffer); }
  // The buffer field values come from in the current state; nullptr: none.
  TRowBuffer* stateBuffer();
  // Where Field's value lives in Buffer; nullptr when the field has no slot.
  Variant* slotOf(TRowBuffer* Buffer, TField* Field);
  // Loads row Index into Buffer, calculates it and answers the filter's
  // verdict.
  bool loadRow(int Index, TRowBuffer* Buffer);
  // The row's place, -1 when no row has the id.
  int indexOfId(Int64 Id);
  static Int64 idOf(const TBookmark& Bookmark);
  // A buffer outside the window, for counting.
  TRowBuffer scratchBuffer() const;
  // Rows the filter shows among the first Count rows.
  int visibleRows(int Count);

  std::vector<TStoredRow> FRows;
  Int64 FNextId = 1;
  std::unordered_map<Int64, int> FIndexOfId;  // rebuilt when stale
  bool FIndexStale = true;
  int FCursor = -1;  // -1: before the first row; RowCount: after the last
  bool FCursorOpen = false;
  std::vector<TField*> FCalcFields;  // calculated and lookup fields, slot order
  TRowBuffer* FFilterBuffer = nullptr;  // the record a filter or count is testing
  bool FReadOnly = false;
  bool FSequenced = true;
  bool FLogging = true;
  std::vector<String> FLog;
  TFault FFaults[3];
};
