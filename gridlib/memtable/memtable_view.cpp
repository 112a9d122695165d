// The memory table's filtering, view rebuild, view events to receivers,
// tree-node access and the grid interface.
#include "gridlib/memtable/memtable.h"

#include "gridlib/memtable/datasetexprparser.h"
#include "gridlib/memtable/memoryrecord.h"
#include "gridlib/memtable/memorytreelist.h"
#include "gridlib/memtable/recordsview.h"
#include "platform/rtl/scopeexit.h"

// ---------------------------------------------------------------------------
// construction parts

void TCustomMemTableEh::createViewParts() {}

void TCustomMemTableEh::destroyViewParts() {}

// ---------------------------------------------------------------------------
// filter properties

void TCustomMemTableEh::SetFilterText(const String& Value) { StoreFilterText(Value); }

void TCustomMemTableEh::SetFiltered(bool Value) { StoreFiltered(Value); }

void TCustomMemTableEh::SetOnFilterRecord(const TFilterRecordEvent& Value) { StoreOnFilterRecord(Value); }

void TCustomMemTableEh::SetOptions(TMemTableOptionsEh Value) { FOptions = Value; }

TUpdateStatusSet TCustomMemTableEh::StatusFilter() { return FRecordsView->StatusFilter(); }

void TCustomMemTableEh::SetStatusFilter(TUpdateStatusSet Value) { FRecordsView->SetStatusFilter(Value); }

void TCustomMemTableEh::SetExtraFilters(TMemTableFiltersEh*) {}

// The data driver arrives with the driver's unit.
void TCustomMemTableEh::SetDataDriver(TDataDriverEh*) {}

void TCustomMemTableEh::ParseFilterExpr() {}

void TCustomMemTableEh::ClearFilterExpr() {}

bool TCustomMemTableEh::RecordsViewFilterRecord(TMemoryRecordEh*, TMemRecViewEh*) { return true; }

TObjectListEh* TCustomMemTableEh::RecordsViewGetPrefilteredList() { return nullptr; }

// ---------------------------------------------------------------------------
// view rebuild and view events

void TCustomMemTableEh::RefreshFilteredView() {
  {
    BeginRecordsViewUpdate();
    const TScopeExit End([this] { EndRecordsViewUpdate(/*ForceResync=*/false); });
    FRecordsView->RefreshFilteredRecsList(/*NotifyListChanged=*/true);
    FRecordsView->RefreshFilteredRecsTreeList();
  }
  InternalFirst();
  // While opening the engine has not made the window yet; it fills it itself.
  if (BufferCount() > 0) {
    ClearBuffers();
    GetNextRecord();
    GetNextRecords();
  }
  DataEvent(deDataSetChange, 0);
}

void TCustomMemTableEh::RecordsViewDataEvent(TMemoryRecordEh*, Integer, TRecordsListNotification) {
  if (Active()) Resync({});
}

void TCustomMemTableEh::RecordsViewRecordMoved(TMemoryRecordEh*, Integer, Integer) {}

void TCustomMemTableEh::DataEvent(TDataEvent Event, std::intptr_t Info) { TDataSet::DataEvent(Event, Info); }

// ---------------------------------------------------------------------------
// extra filters

TMemTableFilterItemEh* TCustomMemTableEh::AddExtraFilter(const String&, const TFilterRecordEvent&) {
  return nullptr;
}

bool TCustomMemTableEh::UpdateExtraFilter(TMemTableFilterItemEh*, const String&, const TFilterRecordEvent&) {
  return false;
}

bool TCustomMemTableEh::RemoveExtraFilter(TMemTableFilterItemEh*) { return false; }

// ---------------------------------------------------------------------------
// tree nodes

bool TCustomMemTableEh::TreeListExpandedChanging(TBaseTreeNodeEh*) { return true; }

void TCustomMemTableEh::TreeListExpandedChanged(TBaseTreeNodeEh*) {}

void TCustomMemTableEh::MTDisableControls() { DisableControls(); }

void TCustomMemTableEh::MTEnableControls(bool) { EnableControls(); }

Integer TCustomMemTableEh::SetRowTreeNodeExpanded(Integer, bool) { return -1; }

bool TCustomMemTableEh::HasNextVisibleSibling(Integer) { return false; }

bool TCustomMemTableEh::HasPriorVisibleSibling(Integer) { return false; }

Integer TCustomMemTableEh::PrevRowTreeNodeLevel() { return -1; }

Integer TCustomMemTableEh::NextRowTreeNodeLevel() { return -1; }

bool TCustomMemTableEh::IsTreeView() { return FRecordsView->ViewAsTreeList(); }

TMemRecViewEh* TCustomMemTableEh::TreeNode() { return nullptr; }

Integer TCustomMemTableEh::TreeNodeLevel() { return -1; }

bool TCustomMemTableEh::TreeNodeExpanded() { return false; }

void TCustomMemTableEh::SetTreeNodeExpanded(bool) {}

bool TCustomMemTableEh::TreeNodeHasChildren() { return false; }

bool TCustomMemTableEh::TreeNodeHasVisibleChildren() { return false; }

void TCustomMemTableEh::SetTreeNodeHasVisibleChildren(bool) {}

Integer TCustomMemTableEh::TreeNodeChildCount() { return -1; }

// ---------------------------------------------------------------------------
// the grid interface

bool TCustomMemTableEh::MemTableGotoRec(TMemoryRecordEh* Rec) { return GotoRec(Rec); }

void TCustomMemTableEh::StopFilter() { FRecordsView->SetFilterAborted(true); }
