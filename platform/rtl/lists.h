// TList, a list of untyped pointers, and TObjectList, which may own the
// objects it lists.
//
// Indexes are 0-based; a bad index raises EListError "List index out of
// bounds (%d)".  Every pointer that joins or leaves the list passes through
// the virtual Notify (nil entries excepted), which is how TObjectList frees
// what it owns.
#pragma once

#include "platform/rtl/object.h"
#include "platform/rtl/system.h"

#include <concepts>
#include <functional>
#include <vector>

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

// Orders two items: <0, 0 or >0.
using TListSortCompare = std::function<Integer(Pointer Item1, Pointer Item2)>;

// The largest Count or Capacity a list accepts.
inline constexpr Integer MaxListSize = 0x7FFFFFFF / 16;

class TList : public TObject {
  RTL_CLASS(TList, TObject)
public:
  TList() = default;
  ~TList() override;

  // editing
  Integer Add(Pointer Item);
  // Index may be Count (appends).
  void Insert(Integer Index, Pointer Item);
  // Notifies lnDeleted.
  void Delete(Integer Index);
  // Deletes the first Item and answers its index, or -1.
  Integer Remove(Pointer Item);
  // Takes the first Item out with lnExtracted instead of lnDeleted; answers
  // Item, or nullptr when it is not listed.
  Pointer Extract(Pointer Item);
  void Exchange(Integer Index1, Integer Index2);
  // Moves the item at CurIndex to NewIndex without notifications.
  void Move(Integer CurIndex, Integer NewIndex);
  // Removes the nil entries.
  void Pack();
  // Stable: equal items keep their order.
  void Sort(const TListSortCompare& Compare);
  // Deletes every item, last first, and releases the storage.
  virtual void Clear();

  // access
  Integer IndexOf(Pointer Item) const;
  Pointer First() const { return Items(0); }
  Pointer Last() const { return Items(Count() - 1); }
  Pointer Items(Integer Index) const;
  // Replacing an item notifies lnDeleted for the old and lnAdded for the new.
  void SetItems(Integer Index, Pointer Item);

  // properties
  Integer Count() const { return Integer(FList.size()); }
  // Growing appends nils; shrinking deletes from the end.  Out of
  // 0..MaxListSize raises EListError "List count out of bounds (%d)".
  void SetCount(Integer NewCount);
  Integer Capacity() const { return Integer(FList.capacity()); }
  // Below Count or above MaxListSize raises EListError "List capacity out of
  // bounds (%d)".
  void SetCapacity(Integer NewCapacity);

  // reimplemented: Free empties the list while derived Notify overrides
  // still run (the destructor cannot reach them).
  void BeforeDestruction() override;

protected:
  // introduced virtuals
  virtual void Notify(Pointer Ptr, TListNotification Action);

private:
  void checkIndex(Integer Index) const;

  std::vector<Pointer> FList;
};

// A list of objects that by default owns them: an owned object is freed when
// it is deleted, removed, cleared, replaced through SetItems, and when the
// list is destroyed; Extract hands it back unfreed.
class TObjectList : public TList {
  RTL_CLASS(TObjectList, TList)
public:
  TObjectList() = default;
  // Exactly bool: a pointer must not convert to this (the metaclass probes
  // for an owner or collection constructor).
  template <std::same_as<bool> B>
  explicit TObjectList(B AOwnsObjects) : FOwnsObjects(AOwnsObjects) {}
  ~TObjectList() override;

  // typed editing and access
  Integer Add(TObject* AObject) { return TList::Add(AObject); }
  void Insert(Integer Index, TObject* AObject) { TList::Insert(Index, AObject); }
  Integer Remove(TObject* AObject) { return TList::Remove(AObject); }
  TObject* Extract(TObject* Item) { return static_cast<TObject*>(TList::Extract(Item)); }
  Integer IndexOf(TObject* AObject) const { return TList::IndexOf(AObject); }
  TObject* First() const { return static_cast<TObject*>(TList::First()); }
  TObject* Last() const { return static_cast<TObject*>(TList::Last()); }
  TObject* Items(Integer Index) const { return static_cast<TObject*>(TList::Items(Index)); }
  void SetItems(Integer Index, TObject* AObject) { TList::SetItems(Index, AObject); }

  // properties
  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

protected:
  // reimplemented
  void Notify(Pointer Ptr, TListNotification Action) override;

private:
  bool FOwnsObjects = true;
};

// TObjectList whose items are T: the typed access a caller would otherwise
// cast for.  Items must have been added as T.
template <class T>
class TObjectListOf : public TObjectList {
public:
  using TObjectList::TObjectList;
  T* First() const { return static_cast<T*>(TObjectList::First()); }
  T* Last() const { return static_cast<T*>(TObjectList::Last()); }
  T* Items(Integer Index) const { return static_cast<T*>(TObjectList::Items(Index)); }
  T* Extract(T* Item) { return static_cast<T*>(TObjectList::Extract(Item)); }
};
