// TSortedVarlistEh: variant values kept in ascending order with binary
// search; the memory table keeps the master values whose detail records it
// has already fetched in one.
#pragma once

#include "gridlib/base/basecontrols.h"
#include "platform/rtl/variant.h"

// One value of a sorted list.
class TSortedVarItemEh : public TObject {
  RTL_CLASS(TSortedVarItemEh, TObject)
public:
  explicit TSortedVarItemEh(const Variant& NewValue) : Value(NewValue) {}
  Variant Value;
};

// Owns its items.  Values are ordered by CompareVariantsEh (Null first).
class TSortedVarlistEh : public TObjectListEh {
  RTL_CLASS(TSortedVarlistEh, TObjectListEh)
public:
  TSortedVarlistEh() : TObjectListEh(/*AOwnsObjects=*/true) {}

  // Binary search: true when an item equals Value (the first one the search
  // meets); Index is that item's position, or where Value keeps the list
  // ascending.  Values that cannot be ordered raise "TSortedVarlistEh.
  // FindKeyValueIndex: values is not comparable.".
  bool FindKeyValueIndex(const Variant& Value, Integer& Index) const;
  bool FindKeyValue(const Variant& Value) const;
  // Takes ownership of AObject and puts it at its sorted place; answers it.
  Integer Add(TSortedVarItemEh* AObject);
  // As Add: Index is ignored, so the list stays sorted.
  void Insert(Integer Index, TSortedVarItemEh* AObject);
  TSortedVarItemEh* Items(Integer Index) const { return static_cast<TSortedVarItemEh*>(TObjectListEh::Items(Index)); }
};
