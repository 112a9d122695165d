// The memory table's filtering, view rebuild, view events to receivers,
// tree-node access and the grid interface.
#include "gridlib/memtable/memtable.h"

#include "gridlib/memtable/datadriver.h"
#include "gridlib/memtable/datasetexprparser.h"
#include "gridlib/memtable/memoryrecord.h"
#include "gridlib/memtable/memorytreelist.h"
#include "gridlib/memtable/memtablefilters.h"
#include "gridlib/memtable/mtaggregates.h"
#include "gridlib/memtable/recordsview.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fields.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/scopeexit.h"

namespace {
inline constexpr const char* SDataDriverWithExternalMemData =
    "Assigning to DataDriver is not allowed if ExternalMemData is assigned";
}  // namespace

// ---------------------------------------------------------------------------
// construction parts

void TCustomMemTableEh::createViewParts() {
  FExtraFilters = new TMemTableFiltersEh(this, TMemTableFilterItemEh::StaticClass());
}

void TCustomMemTableEh::destroyViewParts() { FreeAndNil(FExtraFilters); }

// ---------------------------------------------------------------------------
// filter properties

// The text, switch and handler are stored without the engine's own parse:
// this table filters in its records view.
void TCustomMemTableEh::SetFilterText(const String& Value) {
  if (!Active() || !Filtered()) {
    StoreFilterText(Value);
    return;
  }
  if (Value == Filter()) return;
  const String OldText = Filter();
  StoreFilterText(Value);
  try {
    ParseFilterExpr();
  } catch (...) {
    StoreFilterText(OldText);
    throw;
  }
  applyFilterChange();
}

void TCustomMemTableEh::SetFiltered(bool Value) {
  if (!Active()) {
    StoreFiltered(Value);
    return;
  }
  CheckBrowseMode();
  if (Value == Filtered()) return;
  StoreFiltered(Value);
  ParseFilterExpr();
  applyFilterChange();
}

void TCustomMemTableEh::SetOnFilterRecord(const TFilterRecordEvent& Value) {
  if (!Active()) {
    StoreOnFilterRecord(Value);
    return;
  }
  CheckBrowseMode();
  StoreOnFilterRecord(Value);
  if (Filtered()) RefreshFilteredView();
}

void TCustomMemTableEh::SetFilterOptions(TFilterOptions Value) {
  if (!Active()) {
    StoreFilterOptions(Value);
    return;
  }
  CheckBrowseMode();
  if (Value == FilterOptions()) return;
  StoreFilterOptions(Value);
  ParseFilterExpr();
  applyFilterChange();
}

// The view shows other rows now: the window is read again from the first.
void TCustomMemTableEh::applyFilterChange() {
  RefreshFilteredView();
  CursorPosChanged();
  UpdateCursorPos();
  First();
}

void TCustomMemTableEh::SetOptions(TMemTableOptionsEh Value) {
  if (Value == FOptions) return;
  FOptions = Value;
  const bool CaseIns = Value.Contains(mtoTextFieldsCaseInsensitive);
  TFilterOptions NewFilterOptions = FilterOptions();
  if (CaseIns)
    NewFilterOptions.Include(foCaseInsensitive);
  else
    NewFilterOptions.Exclude(foCaseInsensitive);
  SetFilterOptions(NewFilterOptions);
  FRecordsView->SetSortOrderCaseInsensitive(CaseIns);
}

TUpdateStatusSet TCustomMemTableEh::StatusFilter() { return FRecordsView->StatusFilter(); }

void TCustomMemTableEh::SetStatusFilter(TUpdateStatusSet Value) { FRecordsView->SetStatusFilter(Value); }

void TCustomMemTableEh::SetExtraFilters(TMemTableFiltersEh* Value) { FExtraFilters->Assign(Value); }

void TCustomMemTableEh::SetDataDriver(TDataDriverEh* Value) {
  if (Value == FDataDriver) return;
  if (Value && FExternalMemData) throw Exception(QString::fromLatin1(SDataDriverWithExternalMemData));
  if (Value && Value->ProviderDataSet() == this)
    DatabaseError(QString::fromLatin1(SCircularProviderDataSetEh), this);
  if (FDataDriver) {
    FDataDriver->SetDataDriverConsumer(nullptr);
    FDataDriver->RemoveFreeNotification(this);
  }
  FDataDriver = Value;
  if (!Value) {
    FRecordsView->OnApplyUpdates = TRecordsListApplyUpdatesEventEh();
    return;
  }
  // A driver serves one table at a time.
  if (auto* Other = dynamic_cast<TCustomMemTableEh*>(Value->GetDataDriverConsumer()); Other && Other != this)
    Other->SetDataDriver(nullptr);
  Value->SetDataDriverConsumer(this);
  Value->FreeNotification(this);
  DriverStructChanged();
  FRecordsView->OnApplyUpdates = TRecordsListApplyUpdatesEventEh(
      [this](TMemTableDataEh* AMemTableData) { InternalApplyUpdates(AMemTableData, -1); });
}

void TCustomMemTableEh::ParseFilterExpr() {
  FFilterExpr->ParseExpression(Filtered() ? Filter() : String());
  // Items made active while the table was closed parse only now.
  FExtraFilters->RecreateFilterExpr();
}

void TCustomMemTableEh::ClearFilterExpr() { FFilterExpr->ParseExpression(String()); }

// ---------------------------------------------------------------------------
// the record filter

bool TCustomMemTableEh::ownFilterActive() {
  return Filtered() && (OnFilterRecord().Assigned() || !Filter().isEmpty());
}

bool TCustomMemTableEh::RecordsViewFilterRecord(TMemoryRecordEh* Rec, TMemRecViewEh* Node) {
  const bool ExtraActive = FExtraFilters->ActiveFilterCount() > 0;
  if (!FActive || !(ownFilterActive() || FDetailMode || ExtraActive)) return true;
  bool Accept = true;
  const bool ShowsRecord = OnFilterRecord().Assigned() || FExtraFilters->HasEventActiveFilter();
  const TDataSetState SaveState = ShowsRecord ? SetTempState(dsFilter) : State();
  const TScopeExit Restore([&] {
    if (ShowsRecord) RestoreState(SaveState);
  });
  try {
    // Handlers read the candidate through the table's fields.
    if (ShowsRecord) loadFilterBuffer(Rec, Node);
    const TScopeExit Unload([&] {
      if (ShowsRecord) unloadFilterBuffer();
    });
    if (FFilterExpr->HasData()) Accept = FFilterExpr->IsCurRecordInFilter(Rec);
    if (Accept && Filtered() && OnFilterRecord().Assigned()) OnFilterRecord()(this, Accept);
    if (Accept && FDetailMode && FMasterDetailSide != mdsOnProviderEh) Accept = detailRecordMatches(Rec);
    if (Accept && ExtraActive) Accept = FExtraFilters->IsCurRecordInFilter(Rec);
  } catch (const EAbort&) {
    throw;
  } catch (...) {
    // A faulty filter must not stop the rebuild: reported, the verdict stands.
    InternalHandleException();
  }
  return Accept;
}

// The spare buffer of the window shows the candidate; while the window does
// not exist yet (the table is opening) an instant-read buffer stands in.
void TCustomMemTableEh::loadFilterBuffer(TMemoryRecordEh* Rec, TMemRecViewEh* Node) {
  if (TempBuffer() == NoRecordBuffer) {
    if (Node)
      InstantReadEnter(Node, -1);
    else
      InstantReadEnter(Rec, -1);
    return;
  }
  RecToRecBuf(Rec, RecBuf(TempBuffer()), -1);
  RecBuf(TempBuffer())->RecView = Node;
}

void TCustomMemTableEh::unloadFilterBuffer() {
  if (TempBuffer() == NoRecordBuffer) InstantReadLeave();
}

// ---------------------------------------------------------------------------
// view rebuild and view events

void TCustomMemTableEh::RefreshFilteredView() {
  fillDetailRecList();
  {
    const TScopeExit Deactivate([this] {
      FDetailRecListActive = false;
      FDetailRecList.Clear();
    });
    BeginRecordsViewUpdate();
    const TScopeExit End([this] { EndRecordsViewUpdate(/*ForceResync=*/false); });
    FRecordsView->RefreshFilteredRecsList(/*NotifyListChanged=*/true);
    FRecordsView->RefreshFilteredRecsTreeList();
  }
  // While opening there is no window yet; the engine fills it afterwards.
  if (BufferCount() > 0) {
    ClearBuffers();
    InternalFirst();
    GetNextRecord();
    GetNextRecords();
  }
  MTViewDataEvent(-1, mtViewDataChangedEh, -1);
  DataEvent(deDataSetChange, 0);
}

// A view position as a row the grids count: one row lower from the pending
// insert's row on.
Integer TCustomMemTableEh::viewPositionToRow(Integer Index) const {
  return FStateInsert && Index >= FInstantReadCurRowNum ? Index + 1 : Index;
}

void TCustomMemTableEh::RecordsViewDataEvent(TMemoryRecordEh*, Integer Index, TRecordsListNotification Action) {
  if (!Active()) return;
  switch (Action) {
    case rlnRecAddedEh:
      MTViewDataEvent(viewPositionToRow(Index), mtRowInsertedEh, -1);
      break;
    case rlnRecChangedEh:
      MTViewDataEvent(viewPositionToRow(Index), mtRowChangedEh, -1);
      break;
    case rlnRecDeletedEh:
      MTViewDataEvent(viewPositionToRow(Index), mtRowDeletedEh, -1);
      break;
    case rlnListChangedEh:
      if (!editing()) ClearBuffers();
      resyncUnlessEditing();
      MTViewDataEvent(-1, mtViewDataChangedEh, -1);
      break;
    default:
      break;
  }
  resyncUnlessEditing();
}

// A row being edited or inserted lives in its buffer only: re-reading the
// window would drop it.  The update bracket holds its Resync back the same way.
bool TCustomMemTableEh::editing() const { return State() == dsEdit || State() == dsInsert; }

void TCustomMemTableEh::resyncUnlessEditing() {
  if (!editing()) Resync({});
}

void TCustomMemTableEh::RecordsViewRecordMoved(TMemoryRecordEh*, Integer OldIndex, Integer NewIndex) {
  if (!Active() || ControlsDisabled()) return;
  MTViewDataEvent(viewPositionToRow(NewIndex), mtRowMovedEh, viewPositionToRow(OldIndex));
}

void TCustomMemTableEh::DataEvent(TDataEvent Event, std::intptr_t Info) {
  if (Active() && !ControlsDisabled() && FMTViewDataEventInactiveCount > 0) {
    FMTViewDataEventInactiveCount = 0;
    MTViewDataEvent(FInactiveEventRowNum, FInactiveEvent, FInactiveEventOldRowNum);
  }
  switch (Event) {
    case deLayoutChange:
      FRecordsView->UpdateAllLookupBuffer();
      break;
    case deUpdateState:
      updateInsertRowState();
      break;
    case deFieldListChange:
      if (Active() && !ComponentState().Contains(csLoading)) {
        FRecordsView->Aggregates()->Reset();
        Resync({});
      }
      rebuildCalcFieldIndexes();
      break;
    default:
      break;
  }
  TDataSet::DataEvent(Event, Info);
  if (Active() && !FOldActive) MTViewDataEvent(-1, mtViewDataChangedEh, -1);
  FOldControlsDisabled = ControlsDisabled();
  FOldActive = Active();
}

// Grids show a row for a record being inserted: it appears when the insert
// starts and goes when the table browses again (the posted record arrives as
// an insertion of its own).
void TCustomMemTableEh::updateInsertRowState() {
  if (State() == dsInsert && !FStateInsert) {
    FStateInsert = true;
    const Integer Row = FInstantReadCurRowNum;
    MTViewDataEvent(Row, mtRowInsertedEh, -1);
    FStateInsertRowNum = Row;
  } else if (State() == dsBrowse && FStateInsert) {
    FStateInsert = false;
    if (FRecordsView->ViewAsTreeList())
      MTViewDataEvent(-1, mtViewDataChangedEh, -1);
    else
      MTViewDataEvent(FStateInsertRowNum, mtRowDeletedEh, -1);
    FStateInsertRowNum = -1;
  }
}

void TCustomMemTableEh::rebuildCalcFieldIndexes() {
  FCalcFieldIndexes.assign(size_t(Fields()->Count()), -1);
  Integer CalcIndex = 0;
  for (Integer I = 0; I < Fields()->Count(); ++I) {
    const TFieldKind Kind = Fields()->Fields(I)->FieldKind();
    if (Kind == fkCalculated || Kind == fkLookup) FCalcFieldIndexes[size_t(I)] = CalcIndex++;
  }
}

void TCustomMemTableEh::MTDisableControls() { DisableControls(); }

void TCustomMemTableEh::MTEnableControls(bool ForceUpdateState) {
  if (ControlsDisabled()) {
    MTViewDataEvent(-1, mtViewDataChangedEh, -1);
    if (ForceUpdateState) DataEvent(deDisabledStateChange, -1);
  }
  EnableControls();
}

// ---------------------------------------------------------------------------
// extra filters

TMemTableFilterItemEh* TCustomMemTableEh::AddExtraFilter(const String& FilterText,
                                                         const TFilterRecordEvent& FilterProc) {
  TMemTableFilterItemEh* Item = FExtraFilters->Add();
  Item->SetFilter(FilterText);
  Item->SetOnFilterRecord(FilterProc);
  Item->SetActive(true);
  return FExtraFilters->GetFilterItem(FExtraFilters->Count() - 1);
}

bool TCustomMemTableEh::UpdateExtraFilter(TMemTableFilterItemEh* Item, const String& FilterText,
                                          const TFilterRecordEvent& FilterProc) {
  if (FExtraFilters->IndexOfFilter(Item) < 0) return false;
  if (Item->Filter() != FilterText) {
    // One re-filter for the text and the procedure together.
    FExtraFilters->BeginUpdate();
    const TScopeExit End([this] { FExtraFilters->EndUpdate(); });
    Item->SetFilter(FilterText);
    Item->SetOnFilterRecord(FilterProc);
  } else if (Item->OnFilterRecord() == FilterProc) {
    Item->FilterProcChanged();
  } else {
    Item->SetOnFilterRecord(FilterProc);
  }
  return true;
}

bool TCustomMemTableEh::RemoveExtraFilter(TMemTableFilterItemEh* Item) {
  const Integer Index = FExtraFilters->IndexOfFilter(Item);
  if (Index < 0) return false;
  FExtraFilters->Delete(Index);
  return true;
}

// ---------------------------------------------------------------------------
// tree nodes

TMemRecViewEh* TCustomMemTableEh::TreeNode() {
  CheckActive();
  TMTRecBuf* Buf = nullptr;
  return GetActiveRecBuf(Buf) ? Buf->RecView : nullptr;
}

Integer TCustomMemTableEh::TreeNodeLevel() {
  TMemRecViewEh* Node = TreeNode();
  return Node ? Node->NodeLevel() : -1;
}

bool TCustomMemTableEh::TreeNodeExpanded() {
  TMemRecViewEh* Node = TreeNode();
  return Node && Node->NodeExpanded();
}

void TCustomMemTableEh::SetTreeNodeExpanded(bool Value) {
  CheckActive();
  TMTRecBuf* Buf = nullptr;
  if (!GetActiveRecBuf(Buf)) return;
  TMemRecViewEh* Node = Buf->RecView;
  if (!Node) {
    Buf->NewTreeNodeExpanded = Value;
    return;
  }
  bool Allow = true;
  if (Value && !Node->NodeExpanded() && OnTreeNodeExpanding.Assigned())
    OnTreeNodeExpanding(this, Buf->RecordNumber + 1, Allow);
  if (Allow) Node->SetExpanded(Value);
  Resync({});
}

bool TCustomMemTableEh::TreeNodeHasChildren() {
  TMemRecViewEh* Node = TreeNode();
  return Node && Node->NodeHasChildren();
}

bool TCustomMemTableEh::TreeNodeHasVisibleChildren() {
  TMemRecViewEh* Node = TreeNode();
  return Node && Node->NodeHasVisibleChildren();
}

void TCustomMemTableEh::SetTreeNodeHasVisibleChildren(bool Value) {
  CheckActive();
  TMTRecBuf* Buf = nullptr;
  if (!GetActiveRecBuf(Buf)) return;
  if (!Buf->RecView) {
    Buf->NewTreeNodeHasChildren = Value;
    return;
  }
  Buf->RecView->SetNodeHasVisibleChildren(Value);
  Resync({});
}

Integer TCustomMemTableEh::TreeNodeChildCount() {
  TMemRecViewEh* Node = TreeNode();
  return Node ? Node->VisibleNodesCount() : -1;
}

bool TCustomMemTableEh::TreeListExpandedChanging(TBaseTreeNodeEh* Node) {
  auto* RecView = static_cast<TMemRecViewEh*>(Node);
  bool Allow = true;
  if (!RecView->NodeExpanded() && OnRecordsViewTreeNodeExpanding.Assigned())
    OnRecordsViewTreeNodeExpanding(this, RecView, Allow);
  if (!Active() || RecView->NodeExpanded() || !OnTreeNodeExpanding.Assigned()) return Allow;
  TMTRecBuf* Buf = nullptr;
  if (GetActiveRecBuf(Buf, /*IgnoreInstantRead=*/true) && Buf->RecView == RecView) {
    OnTreeNodeExpanding(this, Buf->RecordNumber + 1, Allow);
    return Allow;
  }
  // The handler reads the fields of the row it is asked about.
  const Integer Row = FRecordsView->MemoryTreeList()->VisibleExpandedItems().IndexOf(RecView);
  InstantReadEnter(Row);
  const TScopeExit Leave([this] { InstantReadLeave(); });
  OnTreeNodeExpanding(this, Row + 1, Allow);
  return Allow;
}

void TCustomMemTableEh::TreeListExpandedChanged(TBaseTreeNodeEh* Node) {
  auto* RecView = static_cast<TMemRecViewEh*>(Node);
  if (Active()) {
    TMemoryTreeListEh* Tree = FRecordsView->MemoryTreeList();
    if (ControlsDisabled()) {
      Tree->VisibleItemsBecomeObsolete();
    } else {
      Tree->BuildVisibleItems();
      Resync({});
      DoAfterScroll();
    }
    MTViewDataEvent(-1, mtViewDataChangedEh, -1);
  }
  if (RecView->NodeExpanded()) {
    if (OnRecordsViewTreeNodeExpanded.Assigned()) OnRecordsViewTreeNodeExpanded(this, RecView);
  } else if (OnRecordsViewTreeNodeCollapsed.Assigned()) {
    OnRecordsViewTreeNodeCollapsed(this, RecView);
  }
}

Integer TCustomMemTableEh::SetRowTreeNodeExpanded(Integer RowNum, bool Expanded) {
  CheckActive();
  TMTRecBuf* CurBuf = nullptr;
  TMemRecViewEh* CurNode = GetActiveRecBuf(CurBuf, /*IgnoreInstantRead=*/true) ? CurBuf->RecView : nullptr;
  TMemRecViewEh* Node = nullptr;
  {
    // Left on every path: a table stuck in instant read reads wrong values
    // and refuses to sort.
    InstantReadEnter(RowNum);
    const TScopeExit Leave([this] { InstantReadLeave(); });
    TMTRecBuf* Buf = nullptr;
    if (GetActiveRecBuf(Buf)) Node = Buf->RecView;
  }
  if (!Node) return -1;
  Node->SetExpanded(Expanded);
  TMemoryTreeListEh* Tree = FRecordsView->MemoryTreeList();
  Tree->BuildVisibleItems();
  Integer Result = -1;
  const TObjectListEh& Visible = Tree->VisibleExpandedItems();
  if (CurNode && Visible.IndexOf(CurNode) < 0) {
    // The current record's branch folded: the grid goes to the visible
    // ancestor it folded into.
    TMemRecViewEh* Ancestor = CurNode;
    while (Ancestor->NodeLevel() > 1 && Visible.IndexOf(Ancestor) < 0) Ancestor = Ancestor->NodeParent();
    const Integer Row = Visible.IndexOf(Ancestor);
    Result = Row >= 0 ? Row + 1 : -1;
  }
  Resync({});
  if (Active()) DoAfterScroll();
  return Result;
}

// The node of the row the fields show, its ancestor at Level.
TMemRecViewEh* TCustomMemTableEh::currentNodeAtLevel(Integer Level) {
  if (Level <= 0) return nullptr;
  TMTRecBuf* Buf = nullptr;
  TMemRecViewEh* Node = GetActiveRecBuf(Buf) ? Buf->RecView : nullptr;
  while (Node && Node->NodeLevel() > Level) Node = Node->NodeParent();
  return Node && Node->NodeLevel() == Level ? Node : nullptr;
}

bool TCustomMemTableEh::HasNextVisibleSibling(Integer Level) {
  TMemRecViewEh* Node = currentNodeAtLevel(Level);
  return Node && FRecordsView->MemoryTreeList()->GetNextVisibleSibling(Node);
}

bool TCustomMemTableEh::HasPriorVisibleSibling(Integer Level) {
  TMemRecViewEh* Node = currentNodeAtLevel(Level);
  return Node && FRecordsView->MemoryTreeList()->GetPriorVisibleSibling(Node);
}

// The level of the visible row Offset rows away from the row the fields
// show; -1 outside tree view and past either end.
Integer TCustomMemTableEh::neighbourRowLevel(Integer Offset) {
  if (!FRecordsView->ViewAsTreeList()) return -1;
  TMTRecBuf* Buf = nullptr;
  if (!GetActiveRecBuf(Buf)) return -1;
  TMemRecViewEh* Item = FRecordsView->MemoryTreeList()->GetVisibleExpandedItem(Buf->RecordNumber + Offset);
  return Item ? Item->NodeLevel() : -1;
}

Integer TCustomMemTableEh::PrevRowTreeNodeLevel() { return neighbourRowLevel(-1); }

Integer TCustomMemTableEh::NextRowTreeNodeLevel() { return neighbourRowLevel(1); }

bool TCustomMemTableEh::IsTreeView() { return FRecordsView->ViewAsTreeList(); }

// ---------------------------------------------------------------------------
// the grid interface

bool TCustomMemTableEh::MemTableGotoRec(TMemoryRecordEh* Rec) { return GotoRec(Rec); }

void TCustomMemTableEh::StopFilter() { FRecordsView->SetFilterAborted(true); }
