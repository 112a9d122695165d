// The extra filters of a memory table (its ExtraFilters): each item holds a
// filter text, a record-filter handler and an active flag; a record belongs
// to the table only when every filtering item accepts it.  Grids add and
// remove items at run time to narrow what the table shows without touching
// the user's own Filter.
//
// An item filters (Filtered) when it is Active and has a text or a handler.
// The collection keeps the filtering items of its last rebuild; a change of
// that set or of a filtering item rebuilds it, re-parses every item's text
// (a bad text raises from the change that caused it) and makes an open table
// re-filter.  An inactive item's changes re-filter nothing.
//
// Ownership: the table owns the collection; the collection owns its items;
// each item owns its expression object.
#pragma once

#include "gridlib/base/basecontrols.h"
#include "platform/db/dbtypes.h"
#include "platform/rtl/collection.h"

#include <memory>

class TCustomMemTableEh;
class TDataSetExprParserEh;
class TMemoryRecordEh;
class TMemTableFiltersEh;

class TMemTableFilterItemEh : public TCollectionItem {
  RTL_CLASS(TMemTableFilterItemEh, TCollectionItem)
public:
  // A new item is inactive with an empty text; its expression object reads
  // the fields of the collection's table.
  explicit TMemTableFilterItemEh(TCollection* Collection);
  ~TMemTableFilterItemEh() override;

  // Copies the text, the handler and the active flag of another item.
  void Assign(TPersistent* Source) override;

  TMemTableFiltersEh* MemTableFilters() const;
  bool Filtered() const { return FActive && (!FFilter.isEmpty() || FOnFilterRecord.Assigned()); }
  // The expression's verdict (true without one), then the handler's when the
  // item is active: the handler sees that verdict and may overturn it.
  bool IsCurRecordInFilter(TMemoryRecordEh* Rec);
  // Parses Filter when the item is active, has a text and the table is open;
  // otherwise leaves no expression.
  void RecreateFilterExpr();
  // For a handler whose behaviour changed while the method pointer stayed
  // the same: an active item makes the table re-filter.
  void FilterProcChanged();

  // properties
  bool Active() const { return FActive; }
  void SetActive(bool Value);
  const String& Filter() const { return FFilter; }
  void SetFilter(const String& Value);
  const TFilterRecordEvent& OnFilterRecord() const { return FOnFilterRecord; }
  void SetOnFilterRecord(const TFilterRecordEvent& Value);

private:
  std::unique_ptr<TDataSetExprParserEh> FFilterExpr;
  bool FActive = false;
  String FFilter;
  TFilterRecordEvent FOnFilterRecord;
};

class TMemTableFiltersEh : public TCollection {
  RTL_CLASS(TMemTableFiltersEh, TCollection)
public:
  // AMemTable (not owned) owns the collection; FilterItemClass is
  // TMemTableFilterItemEh or a descendant.
  TMemTableFiltersEh(TCustomMemTableEh* AMemTable, TCollectionItemClass FilterItemClass);

  TMemTableFilterItemEh* Add() { return static_cast<TMemTableFilterItemEh*>(TCollection::Add()); }
  TMemTableFilterItemEh* GetFilterItem(Integer Index) const {
    return static_cast<TMemTableFilterItemEh*>(Items(Index));
  }
  void SetFilterItem(Integer Index, TMemTableFilterItemEh* Value) { SetItem(Index, Value); }
  // Entry Index of the filtering items of the last rebuild.
  TMemTableFilterItemEh* GetActiveFilterItem(Integer Index) const {
    return static_cast<TMemTableFilterItemEh*>(FActiveFilterItems.Items(Index));
  }
  Integer ActiveFilterCount() const { return FActiveFilterItems.Count(); }
  // -1 for an item of another collection.
  Integer IndexOfFilter(TMemTableFilterItemEh* FilterItem) const;
  bool HasTextActiveFilter() const;
  bool HasEventActiveFilter() const;
  // Every filtering item in collection order must accept Rec; the first
  // refusal ends the test.
  bool IsCurRecordInFilter(TMemoryRecordEh* Rec);
  void RecreateFilterExpr();
  TCustomMemTableEh* MemTable() const { return FMemTable; }

protected:
  // reimplemented
  void Update(TCollectionItem* Item) override;
  TPersistent* GetOwner() override;

private:
  bool anyItemFiltering() const;
  void rebuildActiveFilterItems();

  TObjectListEh FActiveFilterItems;
  TCustomMemTableEh* FMemTable;
};
