#include "gridlib/memtable/memtablefilters.h"

#include "gridlib/memtable/datasetexprparser.h"
#include "gridlib/memtable/memtable.h"

// ---------------------------------------------------------------------------
// TMemTableFilterItemEh

namespace {

TDataSet* memTableOf(TCollection* Collection) {
  auto* Filters = dynamic_cast<TMemTableFiltersEh*>(Collection);
  return Filters ? Filters->MemTable() : nullptr;
}

}  // namespace

TMemTableFilterItemEh::TMemTableFilterItemEh(TCollection* Collection)
    : TCollectionItem(Collection),
      FFilterExpr(std::make_unique<TDataSetExprParserEh>(memTableOf(Collection), dsptFilterEh)) {}

TMemTableFilterItemEh::~TMemTableFilterItemEh() = default;

void TMemTableFilterItemEh::Assign(TPersistent* Source) {
  auto* Item = dynamic_cast<TMemTableFilterItemEh*>(Source);
  if (!Item) {
    TCollectionItem::Assign(Source);
    return;
  }
  // Text and handler first, so an active copy re-filters once.
  SetFilter(Item->Filter());
  SetOnFilterRecord(Item->OnFilterRecord());
  SetActive(Item->Active());
}

TMemTableFiltersEh* TMemTableFilterItemEh::MemTableFilters() const {
  return static_cast<TMemTableFiltersEh*>(Collection());
}

bool TMemTableFilterItemEh::IsCurRecordInFilter(TMemoryRecordEh* Rec) {
  bool Accept = FFilterExpr->HasData() ? FFilterExpr->IsCurRecordInFilter(Rec) : true;
  if (FActive && FOnFilterRecord.Assigned()) FOnFilterRecord(FFilterExpr->DataSet(), Accept);
  return Accept;
}

void TMemTableFilterItemEh::RecreateFilterExpr() {
  // The cursor's state, not Active: an opening table parses here before it
  // is active.
  auto* Table = dynamic_cast<TCustomMemTableEh*>(FFilterExpr->DataSet());
  if (FActive && !FFilter.isEmpty() && Table && Table->IsCursorOpen())
    FFilterExpr->ParseExpression(FFilter);
  else
    FFilterExpr->ParseExpression(String());
}

void TMemTableFilterItemEh::FilterProcChanged() {
  if (FActive) Changed(/*AllItems=*/false);
}

void TMemTableFilterItemEh::SetActive(bool Value) {
  if (FActive == Value) return;
  FActive = Value;
  Changed(/*AllItems=*/false);
}

void TMemTableFilterItemEh::SetFilter(const String& Value) {
  if (FFilter == Value) return;
  FFilter = Value;
  if (FActive) Changed(/*AllItems=*/false);
}

void TMemTableFilterItemEh::SetOnFilterRecord(const TFilterRecordEvent& Value) {
  // A handler rebound to another object keeps its code: nothing to re-filter.
  if (FOnFilterRecord.SameCode(Value)) return;
  FOnFilterRecord = Value;
  if (FActive) Changed(/*AllItems=*/false);
}

// ---------------------------------------------------------------------------
// TMemTableFiltersEh

TMemTableFiltersEh::TMemTableFiltersEh(TCustomMemTableEh* AMemTable, TCollectionItemClass FilterItemClass)
    : TCollection(FilterItemClass), FMemTable(AMemTable) {}

Integer TMemTableFiltersEh::IndexOfFilter(TMemTableFilterItemEh* FilterItem) const {
  for (Integer I = 0; I < Count(); I++)
    if (Items(I) == FilterItem) return I;
  return -1;
}

bool TMemTableFiltersEh::HasTextActiveFilter() const {
  for (Integer I = 0; I < Count(); I++)
    if (GetFilterItem(I)->Active() && !GetFilterItem(I)->Filter().isEmpty()) return true;
  return false;
}

bool TMemTableFiltersEh::HasEventActiveFilter() const {
  for (Integer I = 0; I < Count(); I++)
    if (GetFilterItem(I)->Active() && GetFilterItem(I)->OnFilterRecord().Assigned()) return true;
  return false;
}

bool TMemTableFiltersEh::IsCurRecordInFilter(TMemoryRecordEh* Rec) {
  for (Integer I = 0; I < Count(); I++) {
    TMemTableFilterItemEh* Item = GetFilterItem(I);
    if (Item->Filtered() && !Item->IsCurRecordInFilter(Rec)) return false;
  }
  return true;
}

void TMemTableFiltersEh::RecreateFilterExpr() {
  for (Integer I = 0; I < Count(); I++) GetFilterItem(I)->RecreateFilterExpr();
}

bool TMemTableFiltersEh::anyItemFiltering() const {
  for (Integer I = 0; I < Count(); I++)
    if (GetFilterItem(I)->Filtered()) return true;
  return false;
}

void TMemTableFiltersEh::rebuildActiveFilterItems() {
  FActiveFilterItems.Clear();
  RecreateFilterExpr();
  for (Integer I = 0; I < Count(); I++)
    if (GetFilterItem(I)->Filtered()) FActiveFilterItems.Add(GetFilterItem(I));
}

void TMemTableFiltersEh::Update(TCollectionItem* Item) {
  TCollection::Update(Item);
  // A change of the collection as a whole that leaves nothing filtering, as
  // before, changes no row.
  if (!Item && !anyItemFiltering() && FActiveFilterItems.Count() == 0) return;
  rebuildActiveFilterItems();
  if (!FMemTable || !FMemTable->Active() || FMemTable->ComponentState().Contains(csDestroying)) return;
  FMemTable->RefreshFilteredView();
  FMemTable->Resync(TResyncModes());
}

TPersistent* TMemTableFiltersEh::GetOwner() { return FMemTable; }
