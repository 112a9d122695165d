// TCollection, TCollectionItem and TOwnedCollection: an ordered list of items
// of one class that the collection owns and streams.
//
// The order of the collection's calls is part of its contract (descendants
// rely on it):
//   an item joins:       Notify(cnAdded), then Changed()
//   Delete(i):           Notify(cnDeleting), then the item is freed, which
//                        removes it: Notify(cnExtracting), then Changed()
//   Clear:               inside BeginUpdate/EndUpdate, items freed last
//                        first, each giving only cnExtracting; one Update(nullptr)
//   Changed():           Update(nullptr) unless UpdateCount > 0
//   EndUpdate to 0:      Update(nullptr)
// Notify is called inside an update as well; only Update waits for EndUpdate.
//
// An item joins its collection in TCollectionItem's constructor, so Notify
// (cnAdded) sees only the TCollectionItem part of a new item.  An item leaves
// in BeforeDestruction when freed with Free(), while it is whole (or from the
// destructor after a plain delete).
#pragma once

#include "platform/rtl/component.h"

#include <vector>

class TCollection;

// A class reference to TCollectionItem or a descendant.
using TCollectionItemClass = TClass;

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
  RTL_CLASS(TCollectionItem, TPersistent)
public:
  // Joins Collection when it is given; an item may also live outside any.
  explicit TCollectionItem(TCollection* Collection);
  ~TCollectionItem() override;
  void BeforeDestruction() override;

  TCollection* Collection() const { return FCollection; }
  // Leaves the current collection (if any) and joins Value (if any).
  void SetCollection(TCollection* Value);
  // The place in the collection, -1 outside one.  Setting it moves the item
  // and calls Changed(true).
  int Index() const;
  virtual void SetIndex(int Value);
  // Unique within the collection for its life; new on joining another one.
  int ID() const { return FID; }
  String DisplayName() { return GetDisplayName(); }
  virtual void SetDisplayName(const String& Value);
  // The collection's path + "[Index]", or the class name outside a collection.
  String GetNamePath() override;

protected:
  // Base: the class name.
  virtual String GetDisplayName();
  // Update(nullptr) when AllItems, else Update(this), unless the collection
  // is updating.
  void Changed(bool AllItems);
  TPersistent* GetOwner() override;

private:
  friend class TCollection;

  TCollection* FCollection = nullptr;
  int FID = 0;
};

class TCollection : public TPersistent {
  RTL_CLASS(TCollection, TPersistent)
public:
  // ItemClass is TCollectionItem or a descendant; Add creates through its
  // Create(TCollection*).
  explicit TCollection(TCollectionItemClass ItemClass);
  ~TCollection() override;
  void BeforeDestruction() override;

  // items
  TCollectionItem* Add();
  // Add, then move the new item to Index.
  TCollectionItem* Insert(int Index);
  void Delete(int Index);
  void Clear();
  int Count() const { return int(FItems.size()); }
  TCollectionItem* Items(int Index) const;
  // Assigns Value to the item at Index.
  void SetItem(int Index, TCollectionItem* Value);
  TCollectionItem* FindItemID(int ID) const;
  TCollectionItemClass ItemClass() const { return FItemClass; }

  // updates
  virtual void BeginUpdate();
  virtual void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  TPersistent* Owner() { return GetOwner(); }
  // BeginUpdate, Clear, Add()->Assign(item) for every item of a collection
  // Source, EndUpdate; other sources go to TPersistent::Assign.
  void Assign(TPersistent* Source) override;
  // The owner's path + "." + the name of the owner's published property that
  // holds this collection; the class name when either is unknown.
  String GetNamePath() override;

protected:
  // Item changed (nullptr: the whole collection); base: nothing.
  virtual void Update(TCollectionItem* Item);
  virtual void Notify(TCollectionItem* Item, TCollectionNotification Action);
  void Changed();

private:
  void insertItem(TCollectionItem* Item);
  void removeItem(TCollectionItem* Item);

  friend class TCollectionItem;

  TCollectionItemClass FItemClass;
  std::vector<TCollectionItem*> FItems;
  int FUpdateCount = 0;
  int FNextID = 0;
};

// A collection with an owner, which GetNamePath and the streaming system use.
class TOwnedCollection : public TCollection {
  RTL_CLASS(TOwnedCollection, TCollection)
public:
  TOwnedCollection(TPersistent* AOwner, TCollectionItemClass ItemClass);

protected:
  TPersistent* GetOwner() override;

private:
  TPersistent* FOwner;
};
