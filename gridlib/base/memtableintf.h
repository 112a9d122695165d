// The memory table's interfaces as the library base sees them.  The memory
// table (gridlib/memtable) implements them; the footer aggregates, the lookup
// data and the field value lists ask a dataset for them with Supports and
// call only the operations declared here.
#pragma once

#include "platform/db/dbtypes.h"
#include "platform/rtl/interfaces.h"
#include "platform/rtl/typinfo.h"
#include "platform/rtl/variant.h"

#include <array>

class TBMListEh;
class TMemoryRecordEh;
class TMemTableFilterItemEh;
class TStrings;

// Events of the table's current view, in the order the table reports them.
RTL_ENUM(TMTViewEventTypeEh, mtRowInsertedEh, mtRowChangedEh, mtRowDeletedEh, mtRowMovedEh, mtViewDataChangedEh)

// The aggregate functions of the table; a result array holds one value per
// function at that function's position.
RTL_ENUM(TAggrFunctionEh, agfSumEh, agfCountEh, agfAvg, agfMin, agfMax)
using TAggrFunctionsEh = TSet<TAggrFunctionEh>;
using TAggrResultArr = std::array<Variant, 5>;

// A receiver of the table's view events (registered with RegisterEventReceiver).
class IMTEventReceiverEh : public IInterface {
public:
  static constexpr TGUID IID = TGUID::Literal("{60C6C1A2-A817-4043-885A-BDDC750587BD}");
  virtual void MTViewDataEvent(Integer RowNum, TMTViewEventTypeEh Event, Integer OldRowNum) = 0;
};

// The distinct values of one field, for filter drop-downs.
class IMemTableDataFieldValueListEh : public IInterface {
public:
  static constexpr TGUID IID = TGUID::Literal("{28F8194C-5FF3-42C4-87A6-8B3E06210FA6}");
  virtual TStrings* GetValues() = 0;
  virtual void SetFilter(const String& Filter) = 0;
};

// The memory table as grids, lookups and aggregates use it, without going
// through the dataset's buffers.  Rows are 0-based rows of the table's
// current view unless said otherwise.  The operations keep the table's
// interface order.
class IMemTableEh : public IInterface {
public:
  static constexpr TGUID IID = TGUID::Literal("{A8C3C87A-E556-4BDB-B8A7-5B33497D1624}");

  // Fetches up to Count pending records (-1: all) and answers how many came;
  // a closed table fetches nothing.
  virtual Integer FetchRecords(Integer Count) = 0;
  // The row of the current record, or of the record being inserted.
  virtual Integer GetInstantReadCurRow() = 0;
  // Answers 0; callers may rely on nothing more.
  virtual Integer MemTableUnnamedInteger() = 0;

  // the current row as a tree node (false or -1 without a node)
  virtual bool TreeNodeExpanded() = 0;
  virtual bool TreeNodeHasVisibleChildren() = 0;
  virtual Integer TreeNodeLevel() = 0;
  // The node levels of the rows above and below the current one; -1 at the
  // edges (and above, outside tree view).
  virtual Integer PrevRowTreeNodeLevel() = 0;
  virtual Integer NextRowTreeNodeLevel() = 0;
  // The memory record of the current row, nullptr when none.
  virtual TMemoryRecordEh* Rec() = 0;

  // instant read
  // The row of Bookmark's record, -1 for an empty bookmark or a hidden record.
  virtual Integer InstantReadIndexOfBookmark(const TBookmark& Bookmark) = 0;
  // The rows as instant read counts them: one more while inserting.
  virtual Integer InstantReadRowCount() = 0;
  // The row the fields show.
  virtual Integer InstantReadViewRow() = 0;
  // Answers true; callers may rely on nothing more.
  virtual bool MemTableUnnamedBoolean() = 0;
  // The view is arranged as a tree.
  virtual bool IsTreeView() = 0;

  // extra filters, applied after the table's own filter
  // A new active filter item of the table (owned by the table).
  virtual TMemTableFilterItemEh* AddExtraFilter(const String& FilterText, const TFilterRecordEvent& FilterProc) = 0;
  // False for an item the table does not hold.
  virtual bool UpdateExtraFilter(TMemTableFilterItemEh* Item, const String& FilterText,
                                 const TFilterRecordEvent& FilterProc) = 0;
  virtual bool RemoveExtraFilter(TMemTableFilterItemEh* Item) = 0;

  // tree navigation
  // Whether the current node's ancestor at Level (1-based; the node itself at
  // its own level) has a next (prior) visible sibling; false for Level <= 0.
  virtual bool HasNextVisibleSibling(Integer Level) = 0;
  virtual bool HasPriorVisibleSibling(Integer Level) = 0;
  // Makes the row of Rec current; false when the view does not show it.
  virtual bool MemTableGotoRec(TMemoryRecordEh* Rec) = 0;
  // Expands or collapses the node of row RowNum; -1, or the 1-based row of
  // the visible ancestor the current record's row folded into.
  virtual Integer SetRowTreeNodeExpanded(Integer RowNum, bool Expanded) = 0;

  // The distinct values of a field, nullptr for a name the table lacks.
  virtual IPtr<IMemTableDataFieldValueListEh> GetFieldValueList(const String& FieldName) = 0;
  // Moves the records of BookmarkList (in dataset order) to the 1-based row
  // ToRecNo (in a tree, to the node level TreeLevel); CheckOnly only asks.
  virtual bool MoveRecords(TBMListEh* BookmarkList, Integer ToRecNo, Integer TreeLevel, bool CheckOnly) = 0;
  // The wildcards of the table's LIKE patterns.
  virtual String GetLikeWildcardForOneCharacter() = 0;
  virtual String GetLikeWildcardForSeveralCharacters() = 0;

  // Valid for the table and in its current (filtered) view.
  virtual bool BookmarkInVisibleView(const TBookmark& Bookmark) = 0;
  // Sets ResultArr to (Null, 0, Null, Null, Null), then aggregates FieldName
  // over the records FromBM..ToBM of the current view (an empty bookmark: the
  // view's first or last record) without moving the cursor; only the
  // functions in AggrFuncs are computed.
  virtual void GetAggregatedValuesForRange(const TBookmark& FromBM, const TBookmark& ToBM,
                                           const String& FieldName, TAggrResultArr& ResultArr,
                                           TAggrFunctionsEh AggrFuncs) = 0;
  // The dataset's DisableControls and EnableControls; enabling tells the
  // receivers the view changed (ForceUpdateState: the links too).
  virtual void MTDisableControls() = 0;
  virtual void MTEnableControls(bool ForceUpdateState) = 0;
  // Between the two the fields read row RowNum of the view; calls nest.
  // Leave without Enter raises "TCustomMemTableEh not in instant read mode.".
  virtual void InstantReadEnter(Integer RowNum) = 0;
  virtual void InstantReadLeave() = 0;
  // Receivers implementing IMTEventReceiverEh hear the view's changes.
  virtual void RegisterEventReceiver(TObject* Receiver) = 0;
  virtual void UnregisterEventReceiver(TObject* Receiver) = 0;
  // Stops a running filter pass of the view.
  virtual void StopFilter() = 0;
};
