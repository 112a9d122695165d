// Indexes over a records list: each a sorted array of (key, record position)
// items kept in step with every records-list notification.
//
// Invariant of an active index with fields: one item per record of the list
// (a record marked for deletion loses its item), items sorted by key with
// CompareVariantsEh (Null equal to Null and first; arrays element by
// element), each RecIndex equal to its record's position.  Items with equal
// keys keep no order among themselves; maintenance of a changed, deleted or
// marked record takes that record's own item (equal key and RecIndex).  The
// items of records appended since the last read may wait aside; every read
// merges them first, so readers always see the invariant.
//
// Ownership: the records list owns its collection, the collection its
// indexes, an index its items.  An index made apart is its maker's.
#pragma once

#include "gridlib/memtable/recordslist.h"
#include "platform/db/dbconsts.h"
#include "platform/rtl/collection.h"
#include "platform/rtl/variant.h"

#include <memory>
#include <vector>

class TMemoryRecordEh;
class TRecordsListEh;

// A unique or primary index met a key it already holds.
class EUniqueKeyViolationEh : public EDatabaseError {
public:
  EUniqueKeyViolationEh(const String& Msg, const String& AFieldNames, const Variant& AValue)
      : EDatabaseError(Msg), FieldNames(AFieldNames), Value(AValue) {}
  String ClassName() const override { return QStringLiteral("EUniqueKeyViolationEh"); }

  String FieldNames;
  Variant Value;
};

struct TIndexItemEh {
  Variant Value;     // the key: a field value, or an array of them
  Integer RecIndex;  // the record's position in the records list
};

class TMTIndexEh : public TCollectionItem {
  RTL_CLASS(TMTIndexEh, TCollectionItem)
public:
  explicit TMTIndexEh(TCollection* Collection);
  // An index outside any collection over ARecordsList (not owned).
  static TMTIndexEh* CreateApart(TRecordsListEh* ARecordsList);
  ~TMTIndexEh() override;

  void ClearIndex();
  void RebuildIndex();
  // Raises the violation for the first duplicate non-Null key.
  void CheckUnique();
  // Binary search: true with the position of an item whose key equals Value,
  // else false with the position it would take.  "TMTIndexEh.
  // FindKeyValueIndex: values is not comparable." for keys that cannot be
  // ordered against Value.
  bool FindKeyValueIndex(const Variant& Value, Integer& Index) const;
  // As FindKeyValueIndex, answering the found item's record position.
  bool FindRecordIndexByKey(const Variant& Value, Integer& Index) const;
  // Every item (or record) whose key equals Value.
  void FillMatchedKeyList(const Variant& Value, std::vector<const TIndexItemEh*>& List) const;
  void FillMatchedRecsList(const Variant& Value, std::vector<TMemoryRecordEh*>& List) const;
  void QuickSort(Integer L, Integer R);
  void DataEvent(TMemoryRecordEh* Rec, Integer Index, TRecordsListNotification Action);
  // The items are in key order, each record once, at its position.
  bool CheckConsistency() const;

  // properties
  bool Active() const { return FActive; }
  void SetActive(bool Value);
  const String& Fields() const { return FFields; }
  void SetFields(const String& Value);
  bool Primary() const { return FPrimary; }
  void SetPrimary(bool Value);
  bool Unique() const { return FUnique; }
  void SetUnique(bool Value);
  const TIndexItemEh& Item(Integer Index) const { return items()[Index]; }
  Variant KeyValue(Integer Index) const { return items()[Index].Value; }
  Integer Count() const { return Integer(items().size()); }
  TRecordsListEh* RecordsList() const;

  // introduced virtuals
  virtual void RecordMoved(TMemoryRecordEh* Item, Integer OldIndex, Integer NewIndex);
  virtual void InsertItem(Integer Index, const Variant& Key, TIndexItemEh Item);

private:
  bool maintained() const { return FActive && !FFields.isEmpty(); }
  bool checksUnique() const { return FUnique || FPrimary; }
  Variant recordKey(TMemoryRecordEh* Rec, TDataValueVersionEh Version) const;
  [[noreturn]] void raiseViolation(const Variant& Key) const;
  // The position of the item of the record at RecIndex with Key; -1 when
  // the index holds none.
  Integer ownItemIndex(const Variant& Key, Integer RecIndex) const;
  void shiftRecIndexes(Integer From, Integer Delta);
  const std::vector<TIndexItemEh>& items() const {
    if (!FPending.empty()) mergePending();
    return FRecList;
  }
  void mergePending() const;
  void deferAppend(Variant Key, Integer RecIndex);

  bool FActive = false;
  String FFields;
  // FFields resolved on the first key after a rebuild: a key is read by
  // position, since looking names up costs more than the search itself.
  mutable TIntArrayEh FFieldIndexes;
  Variant FOldValue;
  bool FPrimary = false;
  // Items by value: a lookup's binary search then reads one contiguous
  // array instead of chasing a pointer per probe, and an append costs no
  // allocation of its own.
  mutable std::vector<TIndexItemEh> FRecList;
  // Items of records appended to the end of the list, not yet in FRecList:
  // a fetch of many records out of key order would otherwise shift the
  // array once per record.  Merged before the index is next read, so both
  // are mutable.  A unique index keeps them sorted, to search them.
  mutable std::vector<TIndexItemEh> FPending;
  TRecordsListEh* FRecordsList = nullptr;
  bool FUnique = false;
};

class TMTIndexesEh : public TCollection {
  RTL_CLASS(TMTIndexesEh, TCollection)
public:
  explicit TMTIndexesEh(TRecordsListEh* ARecList);

  TMTIndexEh* Add() { return static_cast<TMTIndexEh*>(TCollection::Add()); }
  TMTIndexEh* GetItem(Integer Index) const { return static_cast<TMTIndexEh*>(Items(Index)); }
  // Compared without case; nullptr when none.
  TMTIndexEh* GetIndexForFields(const String& Fields) const;
  void DataEvent(TMemoryRecordEh* Rec, Integer Index, TRecordsListNotification Action);
  // Rebuilds every index.
  void UpdateIndexes();
  TRecordsListEh* RecList() const { return FRecList; }

  // introduced virtuals
  virtual void RecordMoved(TMemoryRecordEh* Item, Integer OldIndex, Integer NewIndex);

private:
  TRecordsListEh* FRecList;
};
