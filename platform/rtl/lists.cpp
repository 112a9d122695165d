#include "platform/rtl/lists.h"

#include "platform/rtl/exceptions.h"

#include <algorithm>
#include <utility>

namespace {

[[noreturn]] void raiseListError(const char* Text, Integer Value) {
  throw EListError(QString::fromLatin1(Text).arg(Value));
}

}  // namespace

// ---------------------------------------------------------------------------
// TList

// Only TList's own Notify is reachable here; Free and derived destructors
// have already emptied a list whose Notify matters.
TList::~TList() { Clear(); }

Integer TList::Add(Pointer Item) {
  const Integer Result = Count();
  Insert(Result, Item);
  return Result;
}

void TList::Insert(Integer Index, Pointer Item) {
  if (Index < 0 || Index > Count()) raiseListError("List index out of bounds (%1)", Index);
  FList.insert(FList.begin() + Index, Item);
  if (Item) Notify(Item, lnAdded);
}

void TList::Delete(Integer Index) {
  checkIndex(Index);
  const Pointer Item = FList[Index];
  FList.erase(FList.begin() + Index);
  if (Item) Notify(Item, lnDeleted);
}

Integer TList::Remove(Pointer Item) {
  const Integer Result = IndexOf(Item);
  if (Result >= 0) Delete(Result);
  return Result;
}

Pointer TList::Extract(Pointer Item) {
  const Integer I = IndexOf(Item);
  if (I < 0) return nullptr;
  FList.erase(FList.begin() + I);
  if (Item) Notify(Item, lnExtracted);
  return Item;
}

void TList::Exchange(Integer Index1, Integer Index2) {
  checkIndex(Index1);
  checkIndex(Index2);
  std::swap(FList[Index1], FList[Index2]);
}

void TList::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex == NewIndex) return;
  checkIndex(NewIndex);
  checkIndex(CurIndex);
  const auto Cur = FList.begin() + CurIndex, New = FList.begin() + NewIndex;
  if (CurIndex < NewIndex)
    std::rotate(Cur, Cur + 1, New + 1);
  else
    std::rotate(New, Cur, Cur + 1);
}

void TList::Pack() { std::erase(FList, nullptr); }

void TList::Sort(const TListSortCompare& Compare) {
  std::stable_sort(FList.begin(), FList.end(),
                   [&](Pointer A, Pointer B) { return Compare(A, B) < 0; });
}

void TList::Clear() {
  SetCount(0);
  SetCapacity(0);
}

Integer TList::IndexOf(Pointer Item) const {
  const auto It = std::find(FList.begin(), FList.end(), Item);
  return It == FList.end() ? -1 : Integer(It - FList.begin());
}

Pointer TList::Items(Integer Index) const {
  checkIndex(Index);
  return FList[Index];
}

void TList::SetItems(Integer Index, Pointer Item) {
  checkIndex(Index);
  const Pointer Old = FList[Index];
  if (Old == Item) return;
  FList[Index] = Item;
  if (Old) Notify(Old, lnDeleted);
  if (Item) Notify(Item, lnAdded);
}

void TList::SetCount(Integer NewCount) {
  if (NewCount < 0 || NewCount > MaxListSize)
    raiseListError("List count out of bounds (%1)", NewCount);
  if (NewCount >= Count()) {
    FList.resize(NewCount, nullptr);
    return;
  }
  // Last first, so each Notify sees the items before it still listed.
  for (Integer I = Count() - 1; I >= NewCount; --I) Delete(I);
}

void TList::SetCapacity(Integer NewCapacity) {
  if (NewCapacity < Count() || NewCapacity > MaxListSize)
    raiseListError("List capacity out of bounds (%1)", NewCapacity);
  if (NewCapacity >= Capacity()) {
    FList.reserve(NewCapacity);
    return;
  }
  std::vector<Pointer> Smaller;
  Smaller.reserve(NewCapacity);
  Smaller.assign(FList.begin(), FList.end());
  FList.swap(Smaller);
}

void TList::BeforeDestruction() { Clear(); }

void TList::Notify(Pointer, TListNotification) {}

void TList::checkIndex(Integer Index) const {
  if (Index < 0 || Index >= Count()) raiseListError("List index out of bounds (%1)", Index);
}

// ---------------------------------------------------------------------------
// TObjectList

TObjectList::~TObjectList() { Clear(); }

void TObjectList::Notify(Pointer Ptr, TListNotification Action) {
  if (FOwnsObjects && Action == lnDeleted) static_cast<TObject*>(Ptr)->Free();
  TList::Notify(Ptr, Action);
}
