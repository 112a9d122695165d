// The ordered, filtered window through which a memory table reads the
// records of its container.  A records-list notificator: every change of the
// container's records reaches it, and it keeps its lists of rows in step
// without copying record data.
//
//   sorted list   one view item per record of the records list, filtered or
//                 not (the view frees them); InSortedListIndex numbers them,
//                 renumbered lazily after an insertion or deletion inside
//   row list      flat mode: the items whose records pass the filter, in the
//                 view's order (records-list order without a sort order)
//   tree          tree mode: the records by key and parent key; the rows are
//                 its visible nodes on expanded branches (memorytreelist.h)
//
// Invariants (flat mode, outside a notification): the sorted list holds each
// record once; the row list holds each passing record's item once, ordered
// by the comparison.  A change the view makes visible is reported to its own
// listeners (OnViewDataEvent, then attached notificators) after the lists
// are in step, with row numbers, never records-list positions; a moved row
// is reported (RecordMoved) before the change itself.
//
// Ownership: the view owns its aggregates, tree, order-by list, lists and
// sorted-list items; it does not own its dataset or its container.
#pragma once

#include "gridlib/memtable/datastruct.h"
#include "gridlib/memtable/recordslist.h"
#include "gridlib/memtable/treelist.h"

class TDataSet;
class TMemRecViewEh;
class TMemoryTreeListEh;
class TMTAggregatesEh;

using TRecordsViewFilterEventEh = TMethodPtr<bool(TMemoryRecordEh* Rec, TMemRecViewEh* Node)>;
// The candidate items of a filter pass, or nullptr for the sorted list.
using TGetPrefilteredListEventEh = TMethodPtr<TObjectListEh*()>;
// A sort parameter made of an order text; the caller frees it.
using TParseOrderByStrEventEh = TMethodPtr<TObject*(const String& OrderByStr)>;
using TRecordsListCalcLookupBufferEventEh = TMethodPtr<void(TMemoryRecordEh* Item, TMemRecViewEh* RecView)>;

class TRecordsViewEh : public TRecordsListNotificatorEh {
  RTL_CLASS(TRecordsViewEh, TRecordsListNotificatorEh)
public:
  // ADataSet (the memory table, or nullptr) is not owned.
  explicit TRecordsViewEh(TDataSet* ADataSet);
  void BeforeDestruction() override;
  ~TRecordsViewEh() override;

  // rows
  Integer Count();
  Integer ViewItemsCount() { return Count(); }
  Integer AccountableItemsCount();
  TMemoryRecordEh* Rec(Integer Index) { return GetRec(Index); }
  TMemoryRecordEh* GetRec(Integer Index);
  TMemoryRecordEh* ViewRecord(Integer Index);
  TMemRecViewEh* RecordView(Integer Index);
  TMemoryRecordEh* AccountableRecord(Integer Index);
  TMemRecViewEh* SortedListItem(Integer Index);
  Integer SortedListItemCount();
  void UpdateSortedListIndexes();
  // The row showing Rec, -1 when none; Hint (a row, or -1), then the last
  // row are tried first.
  Integer IndexOfRec(TMemoryRecordEh* Rec, Integer Hint = -1);
  Integer IndexOfSortedListRec(TMemoryRecordEh* Rec);
  // As IndexOfSortedListRec; position Hint (or -1), then a search in the
  // view's order are tried before the scan.
  Integer FindSortedListRec(TMemoryRecordEh* Rec, Integer Hint = -1);
  // Appends to Items the sorted-list item of each record of Recs, found as
  // FindSortedListRec does with the hint of the same position in Hints.
  void FindSortedListRecs(const std::vector<TMemoryRecordEh*>& Recs, const std::vector<Integer>& Hints,
                          TObjectListEh& Items);
  // Flat mode: the sorted list holds each record of the records list once,
  // in the view's order, with its InSortedListIndex unless marked obsolete;
  // the rows are distinct items of it in the same order.  For asserts and
  // tests.
  bool CheckConsistency();

  // editing by row, passed to the container's records list
  TMemoryRecordEh* NewRecord();
  Integer AddRecord(TMemoryRecordEh* Rec);
  // The new record goes before the record shown at row Index.
  void InsertRecord(Integer Index, TMemoryRecordEh* Rec);
  void DeleteRecord(Integer Index);
  void SetRec(Integer Index, TMemoryRecordEh* Value);
  Variant GetValue(Integer RecNo, Integer ValNo);
  void SetValue(Integer RecNo, Integer ValNo, const Variant& Value);
  const TRecDataValues& OldRecVals(Integer Index);
  void RevertRecord(Integer Index);
  void RefreshRecord(Integer Index, TMemoryRecordEh* Rec);
  void MergeChangeLog();
  void CancelUpdates();
  // While locked the records list works without cached updates; the
  // outermost unlock restores the view's CachedUpdates.
  void LockCachedUpdates();
  void UnlockCachedUpdates();

  // filtering, sorting, tree mode
  // Rebuilds the sorted list and filters it; when OnGetPrefilteredList
  // gives candidates, filters and sorts only them over the sorted list as
  // the notifications keep it.
  void RefreshFilteredRecsList(bool NotifyListChanged);
  void RefreshFilteredRecsTreeList();
  void InstantDisableFilter() { FDisableFilterCount++; }
  void InstantEnableFilter() { FDisableFilterCount--; }
  void RebuildMemoryTreeList();
  void QuickSort(TObjectListEh& ViewList, Integer L, Integer R, const TCompareRecords& Compare, TObject* ParamSort);
  void SortData(const TCompareRecords& Compare, TObject* ParamSort);
  void UpdateAllLookupBuffer();
  // SUM, COUNT, MIN, MAX or AVG of FieldName over the rows; "*" with COUNT
  // is the row count.  AVG over no rows is Null.
  Variant CalcAggrFieldFunc(const String& FieldName, const String& AggrFuncName);
  // Records order of the view: OnCompareRecords with the order-by list when
  // a sort order is set, else records-list order.
  Integer CompareRecords(TMemoryRecordEh* Rec1, TMemoryRecordEh* Rec2);
  // Where Rec goes among the first Count items of Items by CompareRecords;
  // Hint (a row, or -1) is tried before the binary search.
  Integer FindInsertPosition(const TObjectListEh& Items, Integer Count, TMemoryRecordEh* Rec, Integer Hint);

  // properties
  TMemTableDataEh* MemTableData() const;
  // Attaches the view to Value through the notificator protocol.
  void SetMemTableData(TMemTableDataEh* Value);
  TDataSet* DataSet() const { return FDataSet; }
  TMTAggregatesEh* Aggregates() const { return FAggregates; }
  bool CachedUpdates() const { return FCachedUpdates; }
  void SetCachedUpdates(bool Value) { FCachedUpdates = Value; }
  bool CatchChanged() const { return FCatchChanged; }
  void SetCatchChanged(bool Value) { FCatchChanged = Value; }
  bool FilterAborted() const { return FFilterAborted; }
  void SetFilterAborted(bool Value) { FFilterAborted = Value; }
  TMemoryTreeListEh* MemoryTreeList() const { return FMemoryTreeList; }
  const TObjectListEh& MemoryViewList() const { return FMemoryViewList; }
  bool SortedListIndexesObsolete() const { return FSortedListIndexesObsolete; }
  void SetSortedListIndexesObsolete(bool Value) { FSortedListIndexesObsolete = Value; }
  const String& SortOrder() const { return FSortOrder; }
  void SetSortOrder(const String& Value);
  bool SortOrderCaseInsensitive() const { return FSortOrderCaseInsensitive; }
  void SetSortOrderCaseInsensitive(bool Value);
  TUpdateStatusSet StatusFilter() const { return FStatusFilter; }
  void SetStatusFilter(TUpdateStatusSet Value);
  const String& TreeViewKeyFieldName() const { return FTreeViewKeyFieldName; }
  void SetTreeViewKeyFieldName(const String& Value);
  const String& TreeViewRefParentFieldName() const { return FTreeViewRefParentFieldName; }
  void SetTreeViewRefParentFieldName(const String& Value);
  const TIntArrayEh& TreeViewKeyFields() const { return FTreeViewKeyFields; }
  const TIntArrayEh& TreeViewRefParentFields() const { return FTreeViewRefParentFields; }
  bool ViewAsTreeList() const { return FViewAsTreeList; }
  void SetViewAsTreeList(bool Value);
  TRecordsViewOrderByList* OrderByList() { return &FOrderByList; }

  // events
  TRecordsListCalcLookupBufferEventEh OnCalcLookupBuffer;
  TCompareRecords OnCompareRecords;
  TCompareNodesEh OnCompareTreeNode;
  TRecordsViewFilterEventEh OnFilterRecord;
  TGetPrefilteredListEventEh OnGetPrefilteredList;
  TParseOrderByStrEventEh OnParseOrderByStr;
  TRecordsListNotificatorDataEventEh OnViewDataEvent;
  TRecordsListRecordMovedEventEh OnViewRecordMovedEvent;

  // reimplemented
  void DataEvent(TMemoryRecordEh* MemRec, Integer Index, TRecordsListNotification Action) override;
  void RecordMoved(TMemoryRecordEh* Item, Integer OldIndex, Integer NewIndex) override;
  void StructChanged(TMemTableDataEh* AMemTableData) override;

  // introduced virtuals
  virtual bool IsRecordInFilter(TMemoryRecordEh* Rec, Integer Index, TMemRecViewEh* Node);
  virtual void AddNotificator(TRecordsListNotificatorEh* Notificator);
  virtual void ViewDataEvent(TMemoryRecordEh* MemRec, Integer Index, TRecordsListNotification Action);
  virtual void ViewRecordMoved(TMemoryRecordEh* Item, Integer OldIndex, Integer NewIndex);
  virtual void Resort();
  virtual void ResortViewList();
  virtual void ResortTreeList();
  virtual void UpdateFields();

  void RemoveNotificator(TRecordsListNotificatorEh* Notificator) { FNotificators.Remove(Notificator); }

private:
  struct PendingNotification;

  TMemRecViewEh* rowItem(Integer Index) const;
  TMemRecViewEh* sortedItem(Integer Index) const;
  TRecordsListEh* recordsList() const;
  TMemRecViewEh* makeSortedItem(TMemoryRecordEh* Rec, Integer Position);
  void rebuildSortedList();
  // Rebuilt and sorted when notifications were ignored (filter disabled).
  void bringSortedListInStep();
  void freeSortedItems();
  void insertRow(Integer Position, TMemRecViewEh* Item);
  // The flat row showing Rec, -1 when none; row Hint is tried first.
  Integer rowOfRecord(TMemoryRecordEh* Rec, Integer Hint) const;
  Integer sortedPositionOf(TMemoryRecordEh* Rec, Integer Hint) const;
  // Puts List's item at At where the view's order places its record among
  // the others, which are in order; answers the new position.
  Integer reposition(TObjectListEh& List, Integer At);
  // Keeps Rec's sorted-list item in the view's order after the record
  // changed or moved; Hint is where the item is looked for first.
  void resortSortedItem(TMemoryRecordEh* Rec, Integer Hint);
  void flatStage(TMemoryRecordEh* MemRec, Integer Index, TRecordsListNotification Action,
                 PendingNotification& Pending);
  // False when the notification's handling ends at once.
  bool treeStage(TMemoryRecordEh* MemRec, TRecordsListNotification Action);
  void recalcAggregates();
  void checkReferenceLoop(TMemoryRecordEh* MemRec);
  void moveFlatRow(TMemoryRecordEh* Item);
  void moveTreeNode(TMemoryRecordEh* Item);
  TRecordsListNotificatorEh* notificator(Integer Index) const {
    return static_cast<TRecordsListNotificatorEh*>(FNotificators.Items(Index));
  }

  TMTAggregatesEh* FAggregates = nullptr;
  bool FCachedUpdates = true;
  Integer FCachedUpdatesLockCount = 0;
  bool FCatchChanged = false;
  bool FFilterAborted = false;
  TMemoryTreeListEh* FMemoryTreeList = nullptr;
  TObjectListEh FMemoryViewList;
  TObjectListEh FNotificators;
  TRecordsViewOrderByList FOrderByList;
  TObjectListEh FSorderViewList;
  bool FSortedListIndexesObsolete = false;
  bool FSortedListOutOfStep = false;
  String FSortOrder;
  bool FSortOrderCaseInsensitive = false;
  TUpdateStatusSet FStatusFilter{usUnmodified, usModified, usInserted};
  String FTreeViewKeyFieldName;
  TIntArrayEh FTreeViewKeyFields;
  String FTreeViewRefParentFieldName;
  TIntArrayEh FTreeViewRefParentFields;
  bool FViewAsTreeList = false;
  TDataSet* FDataSet;
  Integer FDisableFilterCount = 0;
};
