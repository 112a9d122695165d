#include "platform/rtl/collection.h"

#include "platform/rtl/format.h"
#include "platform/rtl/scopeexit.h"

#include <algorithm>
#include <cassert>

// ---------------------------------------------------------------------------
// TCollectionItem

TCollectionItem::TCollectionItem(TCollection* Collection) { SetCollection(Collection); }

TCollectionItem::~TCollectionItem() { SetCollection(nullptr); }

void TCollectionItem::BeforeDestruction() {
  TPersistent::BeforeDestruction();
  SetCollection(nullptr);
}

void TCollectionItem::SetCollection(TCollection* Value) {
  if (FCollection == Value) return;
  if (FCollection) FCollection->removeItem(this);
  if (Value) Value->insertItem(this);
}

int TCollectionItem::Index() const {
  if (!FCollection) return -1;
  const auto& Items = FCollection->FItems;
  return int(std::find(Items.begin(), Items.end(), this) - Items.begin());
}

void TCollectionItem::SetIndex(int Value) {
  const int Current = Index();
  if (Current < 0 || Current == Value) return;
  auto& Items = FCollection->FItems;
  assert(Value >= 0 && Value < int(Items.size()) && "collection index out of range");
  Items.erase(Items.begin() + Current);
  Items.insert(Items.begin() + Value, this);
  Changed(true);
}

void TCollectionItem::SetDisplayName(const String&) { Changed(false); }

String TCollectionItem::GetDisplayName() { return ClassName(); }

String TCollectionItem::GetNamePath() {
  if (!FCollection) return ClassName();
  return Format(QStringLiteral("%s[%d]"), {FCollection->GetNamePath(), Index()});
}

void TCollectionItem::Changed(bool AllItems) {
  if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(AllItems ? nullptr : this);
}

TPersistent* TCollectionItem::GetOwner() { return FCollection; }

// ---------------------------------------------------------------------------
// TCollection

TCollection::TCollection(TCollectionItemClass ItemClass) : FItemClass(ItemClass) {
  assert(ItemClass && ItemClass->InheritsFrom(TCollectionItem::StaticClass()) &&
         "a collection holds TCollectionItem descendants");
}

TCollection::~TCollection() {
  FUpdateCount = 1;
  Clear();
}

// The items leave while the collection is whole, so a descendant's Notify
// hears every cnExtracting; the held update count keeps Update quiet.
void TCollection::BeforeDestruction() {
  TPersistent::BeforeDestruction();
  FUpdateCount = 1;
  Clear();
}

// The item joins from its base constructor; the update waits until it is
// whole, so an Update that reads the items as their own class never meets a
// half-built one.
TCollectionItem* TCollection::Add() {
  BeginUpdate();
  const TScopeExit EndUpdateOnExit([this] { EndUpdate(); });
  return FItemClass->Create(this);
}

TCollectionItem* TCollection::Insert(int Index) {
  TCollectionItem* Item = Add();
  Item->SetIndex(Index);
  return Item;
}

void TCollection::Delete(int Index) {
  TCollectionItem* Item = Items(Index);
  Notify(Item, cnDeleting);
  Item->Free();
}

void TCollection::Clear() {
  if (FItems.empty()) return;
  BeginUpdate();
  const TScopeExit EndUpdateOnExit([this] { EndUpdate(); });
  while (!FItems.empty()) FItems.back()->Free();
}

TCollectionItem* TCollection::Items(int Index) const {
  assert(Index >= 0 && Index < Count() && "collection index out of range");
  return FItems[Index];
}

void TCollection::SetItem(int Index, TCollectionItem* Value) { Items(Index)->Assign(Value); }

TCollectionItem* TCollection::FindItemID(int ID) const {
  for (TCollectionItem* Item : FItems)
    if (Item->FID == ID) return Item;
  return nullptr;
}

void TCollection::BeginUpdate() { ++FUpdateCount; }

void TCollection::EndUpdate() {
  --FUpdateCount;
  Changed();
}

void TCollection::Changed() {
  if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}

void TCollection::Assign(TPersistent* Source) {
  auto* SourceCollection = dynamic_cast<TCollection*>(Source);
  if (!SourceCollection) {
    TPersistent::Assign(Source);
    return;
  }
  BeginUpdate();
  const TScopeExit EndUpdateOnExit([this] { EndUpdate(); });
  Clear();
  for (TCollectionItem* Item : SourceCollection->FItems) Add()->Assign(Item);
}

String TCollection::GetNamePath() {
  TPersistent* Owner = GetOwner();
  if (!Owner) return ClassName();
  const String OwnerPath = Owner->GetNamePath();
  if (OwnerPath.isEmpty()) return ClassName();
  for (const TPropInfo* P : GetPropList(Owner))
    if (P->Kind() == tkClass && P->GetObject(Owner) == this) return OwnerPath + u'.' + P->Name;
  return ClassName();
}

void TCollection::insertItem(TCollectionItem* Item) {
  FItems.push_back(Item);
  Item->FCollection = this;
  Item->FID = FNextID++;
  Notify(Item, cnAdded);
  Changed();
}

void TCollection::removeItem(TCollectionItem* Item) {
  Notify(Item, cnExtracting);
  FItems.erase(std::find(FItems.begin(), FItems.end(), Item));
  Item->FCollection = nullptr;
  Changed();
}

// ---------------------------------------------------------------------------
// TOwnedCollection

TOwnedCollection::TOwnedCollection(TPersistent* AOwner, TCollectionItemClass ItemClass)
    : TCollection(ItemClass), FOwner(AOwner) {}

TPersistent* TOwnedCollection::GetOwner() { return FOwner; }
