// The record store of a memory-table container and its notification channel.
//
// The list holds the records in order (FRecList; each record's Index equals
// its position after every public operation), the cached-updates delta list
// (each changed record once, in order of first change; merged or cancelled
// entries become nil until the list is packed or cleared) and the deleted
// list (records merged out of the list, alive until FreeDeletedRecords).
//
// Every change is announced before it is made and reported after, on one
// path: the indexes first, then the container, which recomputes calculated
// fields and passes it on to each registered notificator (the views).  A
// listener vetoes an announced change by raising.  Inside BeginUpdate/
// EndUpdate nothing is sent; the outermost EndUpdate sends rlnListChangedEh.
//
// Ownership: the list frees its records (on delete, on Clear, and on
// destruction); records on the deleted list until FreeDeletedRecords.
#pragma once

#include "gridlib/base/basecontrols.h"
#include "gridlib/memtable/memoryrecord.h"
#include "platform/rtl/component.h"
#include "platform/rtl/methodptr.h"

#include <vector>

class TMemTableDataEh;
class TMTIndexesEh;

RTL_ENUM(TRecordsListNotification, rlnRecAddingEh, rlnRecAddedEh, rlnRecChangingEh, rlnRecChangedEh,
         rlnRecDeletingEh, rlnRecDeletedEh, rlnListChangingEh, rlnListChangedEh, rlnRecMarkingForDelEh,
         rlnRecMarkedForDelEh)

// First and last position, inclusive.
struct TRecordsRangeEh {
  Integer FromRec;
  Integer ToRec;
};
using TRecordsRangesEh = std::vector<TRecordsRangeEh>;

using TCompareRecords = TMethodPtr<Integer(TMemoryRecordEh* Rec1, TMemoryRecordEh* Rec2, TObject* ParamSort)>;
using TRecordsListNotificatorDataEventEh =
    TMethodPtr<void(TMemoryRecordEh* MemRec, Integer Index, TRecordsListNotification Action)>;
using TRecordsListApplyUpdatesEventEh = TMethodPtr<void(TMemTableDataEh* AMemTableData)>;
using TRecordsListFetchRecordsEventEh = TMethodPtr<Integer(Integer Count)>;
using TRecordsListRecordMovedEventEh = TMethodPtr<void(TMemoryRecordEh* Item, Integer OldIndex, Integer NewIndex)>;

// The process-wide switch of CheckRecordDeletable; off by default.
bool RecordsDiagnosticEh();
void SetRecordsDiagnosticEh(bool Value);

class TRecordsListEh : public TComponent {
  RTL_CLASS(TRecordsListEh, TComponent)
public:
  // AOwner is the container or nullptr; any other object raises with its
  // class name.  The list itself has no owner component.
  explicit TRecordsListEh(TComponent* AOwner);
  void BeforeDestruction() override;
  ~TRecordsListEh() override;

  // records
  // A new unattached record with the next identity and Null values.  The
  // caller owns it until it is posted or attached.
  TMemoryRecordEh* NewRecord();
  Integer AddRecord(TMemoryRecordEh* Rec);
  void InsertRecord(Integer Index, TMemoryRecordEh* Rec);
  // Attaches Rec unmodified whatever the cached-updates mode.
  Integer FetchRecord(TMemoryRecordEh* Rec);
  // Takes Source's records over, in order, and fetches them: no value is
  // copied.  Source must have the same structure and no changes logged; it
  // is left empty.
  void FetchRecordsFrom(TRecordsListEh* Source);
  void DeleteRecord(Integer Index);
  // Outside cached updates only.
  void DeleteRecords(const TRecordsRangesEh& RecordsRanges);
  void PersistDeleteRecord(Integer Index);
  void PersistDeleteRecords(const TRecordsRangesEh& RecordsRanges);
  // Takes the record out to the deleted list, unfreed.
  void PersistRemoveRecord(Integer Index);
  TMemoryRecordEh* GetRec(Integer Index) const;
  TMemoryRecordEh* Rec(Integer Index) const { return GetRec(Index); }
  void SetRec(Integer Index, TMemoryRecordEh* Value);
  Integer IndexOf(TMemoryRecordEh* Item) const { return FRecList.IndexOf(Item); }
  Integer Count() const { return FRecList.Count(); }
  Variant GetValue(Integer RecNo, Integer ValNo) const;
  // Stores Value unconverted, announced and reported.
  void SetValue(Integer Index, Integer ValNo, const Variant& Value);
  void Move(Integer CurIndex, Integer NewIndex);
  // Not stable: records that compare equal may change order.
  void SortData(const TCompareRecords& Compare, TObject* ParamSort);
  void RevertRecord(Integer Index);
  void RefreshRecord(Integer Index, TMemoryRecordEh* FromRec);
  void Clear();
  void ReIndexRecords(Integer FromIndex = -1, Integer ToIndex = -1);
  void CheckRecordDeletable(TMemoryRecordEh* Item);
  void SetAutoIncValue(TMemoryRecordEh* Rec);

  // cached updates
  bool HasCachedChanges() const { return FDeltaList.Count() > 0; }
  void CancelUpdates();
  void MergeChangeLog();
  void CleanupChangedRecs();
  void FreeDeletedRecords();

  // properties
  Integer RecValCount() const;
  TMTDataStructEh* DataStruct() const;
  bool CachedUpdates() const { return FCachedUpdates; }
  void SetCachedUpdates(bool Value) { FCachedUpdates = Value; }
  const TObjectListEh& DeltaList() const { return FDeltaList; }
  TMTIndexesEh* Indexes() const { return FIndexes; }
  TMemTableDataEh* MemTableData() const { return FMemTableData; }
  bool Updating() const { return FUpdateCount > 0; }

  // introduced virtuals
  virtual void Notify(TMemoryRecordEh* Rec, Integer Index, TRecordsListNotification Action);
  virtual void RecordMoved(TMemoryRecordEh* Item, Integer OldIndex, Integer NewIndex);
  virtual void BeginUpdate();
  virtual void EndUpdate();
  virtual void QuickSort(Integer L, Integer R, const TCompareRecords& Compare, TObject* ParamSort);

protected:
  // reimplemented
  void DefineProperties(TFiler* Filer) override;

private:
  enum class TApplyKind { Modify, Insert, Delete };

  void attachRecord(Integer Index, TMemoryRecordEh* Rec, bool Append, bool Fetching);
  // Applies one change at once through a shadow container (no cached
  // updates); Modify and Insert take back the values the handlers left.
  void applyOneRecord(TMemoryRecordEh* Rec, TApplyKind Kind);
  bool applyHandlersAssigned() const;
  void clearDeltaSlot(TMemoryRecordEh* Rec);
  void appendToDelta(TMemoryRecordEh* Rec);
  void removeAt(Integer Index);
  // The merge step of MergeChangeLog: a deleted record's slot becomes nil.
  void mergeRecordClearingSlot(TMemoryRecordEh* Rec);
  void readData(TReader* Reader);
  void writeData(TWriter* Writer);
  bool hasData(TFiler* Filer);

  bool FCachedUpdates = false;
  TObjectListEh FDeletedList;
  TObjectListEh FDeltaList;
  TMTIndexesEh* FIndexes = nullptr;
  TMemTableDataEh* FMemTableData = nullptr;
  Integer FNewHashCode = 1;
  TObjectListEh FRecList;
  Integer FUpdateCount = 0;

  friend class TMemoryRecordEh;
};

// The receiving end of a container's or a records view's notifications.
class TRecordsListNotificatorEh : public TComponent {
  RTL_CLASS(TRecordsListNotificatorEh, TComponent)
public:
  explicit TRecordsListNotificatorEh(TComponent* AOwner);
  void BeforeDestruction() override;

  // The container or records view listened to; an object of another class
  // is stored without attaching.  Sends itself rlnListChangingEh before and
  // rlnListChangedEh after the change.
  TComponent* DataObject() const { return FDataObject; }
  void SetDataObject(TComponent* Value);
  void ApplyUpdates(TMemTableDataEh* AMemTableData);
  bool HasApplyUpdatesHandler() const { return OnApplyUpdates.Assigned(); }

  // events
  TRecordsListNotificatorDataEventEh OnAfterDataEvent;
  TRecordsListApplyUpdatesEventEh OnApplyUpdates;
  TRecordsListNotificatorDataEventEh OnDataEvent;
  TRecordsListFetchRecordsEventEh OnFetchRecords;
  TRecordsListRecordMovedEventEh OnRecordMoved;
  TRecordsListApplyUpdatesEventEh OnStructChanged;

  // introduced virtuals
  virtual Integer FetchRecords(Integer Count);
  virtual void AfterDataEvent(TMemoryRecordEh* MemRec, Integer Index, TRecordsListNotification Action);
  virtual void DataEvent(TMemoryRecordEh* MemRec, Integer Index, TRecordsListNotification Action);
  virtual void RecordAdded(TMemoryRecordEh* MemRec, Integer Index);
  virtual void RecordChanged(TMemoryRecordEh* MemRec, Integer Index);
  virtual void RecordDeleted(TMemoryRecordEh* MemRec, Integer Index);
  virtual void ListChanged();
  virtual void RecordMoved(TMemoryRecordEh* Item, Integer OldIndex, Integer NewIndex);
  virtual void StructChanged(TMemTableDataEh* AMemTableData);

protected:
  // reimplemented
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TComponent* FDataObject = nullptr;
};
