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

class IMemTableEh : public IInterface {
public:
  static constexpr TGUID IID = TGUID::Literal("{A8C3C87A-E556-4BDB-B8A7-5B33497D1624}");

  // Fetches up to Count pending records (-1: all) and answers how many came;
  // a closed table fetches nothing.
  virtual Integer FetchRecords(Integer Count) = 0;
  // Sets ResultArr to (Null, 0, Null, Null, Null), then aggregates FieldName
  // over the records FromBM..ToBM of the current view (an empty bookmark: the
  // view's first or last record) without moving the cursor; only the
  // functions in AggrFuncs are computed.
  virtual void GetAggregatedValuesForRange(const TBookmark& FromBM, const TBookmark& ToBM,
                                           const String& FieldName, TAggrResultArr& ResultArr,
                                           TAggrFunctionsEh AggrFuncs) = 0;
  // Valid for the table and in its current (filtered) view.
  virtual bool BookmarkInVisibleView(const TBookmark& Bookmark) = 0;
  // Between the two the fields read row RowNum of the view; calls nest.
  // Leave without Enter raises "TCustomMemTableEh not in instant read mode.".
  virtual void InstantReadEnter(Integer RowNum) = 0;
  virtual void InstantReadLeave() = 0;
  // Receivers implementing IMTEventReceiverEh hear the view's changes.
  virtual void RegisterEventReceiver(TObject* Receiver) = 0;
  virtual void UnregisterEventReceiver(TObject* Receiver) = 0;
};
