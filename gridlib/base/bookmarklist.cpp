#include "gridlib/base/bookmarklist.h"

#include "gridlib/base/basecontrols.h"
#include "platform/db/dataset.h"
#include "platform/rtl/format.h"
#include "platform/rtl/scopeexit.h"

namespace {
const char* const SListIndexError = "List index out of bounds (%d)";
const char* const SDataSetClosed = "Cannot perform this operation on a closed dataset";
}  // namespace

void TBMListEh::BeforeDestruction() {
  Clear();
  UpdateState();
  TObject::BeforeDestruction();
}

void TBMListEh::raiseIndexError(Integer Index) {
  throw EListError(QString::fromLatin1(SListIndexError), {Index});
}

TBookmark TBMListEh::GetItem(Integer Index) const {
  if (Index < 0 || Index >= Count()) raiseIndexError(Index);
  return FList[size_t(Index)];
}

void TBMListEh::SetItem(Integer Index, const TBookmark& Item) {
  if (Index < 0 || Index >= Count()) raiseIndexError(Index);
  FList[size_t(Index)] = Item;
}

Integer TBMListEh::CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) {
  return CompareBookmarksEh(GetDataSet(), Bookmark1, Bookmark2);
}

bool TBMListEh::Find(const TBookmark& Item, Integer& Index) {
  // The cached bookmark is compared first, also when the cache is empty.
  if (CompareBookmarks(Item, FCache) == 0 && FCacheIndex >= 0) {
    Index = FCacheIndex;
    return FCacheFind;
  }
  bool Result = false;
  Integer H = Count() - 1;
  if (Count() == 0 || CompareBookmarks(FList.front(), Item) > 0) {
    Index = 0;
  } else if (CompareBookmarks(FList[size_t(H)], Item) < 0) {
    Index = Count();
  } else {
    Integer L = 0;
    while (L <= H) {
      const Integer I = Integer((Cardinal(L) + Cardinal(H)) >> 1);
      const Integer C = CompareBookmarks(FList[size_t(I)], Item);
      if (C < 0) {
        L = I + 1;
      } else {
        H = I - 1;
        if (C == 0) {
          Result = true;
          L = I;
        }
      }
    }
    Index = L;
  }
  FCache = Item;
  FCacheIndex = Index;
  FCacheFind = Result;
  return Result;
}

Integer TBMListEh::IndexOf(const TBookmark& Item) {
  Integer Index;
  return Find(Item, Index) ? Index : -1;
}

bool TBMListEh::GetCurrentRowSelected() {
  if (Count() == 0) return false;
  Integer Index;
  return Find(GetCurrentBookmark(), Index);
}

TBookmark TBMListEh::GetCurrentBookmark() {
  if (!FLinkActive) RaiseListError(QString::fromLatin1(SDataSetClosed));
  return GetDataSet()->Bookmark();
}

void TBMListEh::SetCurrentRowSelected(bool Value) {
  const TBookmark Current = GetCurrentBookmark();
  Integer Index;
  if (Find(Current, Index) == Value) return;
  if (Value)
    InsertItem(Index, Current);
  else
    DeleteItem(Index);
}

void TBMListEh::AppendBookmark(const TBookmark& Item) {
  Integer Index;
  if (!Find(Item, Index)) InsertItem(Index, Item);
}

bool TBMListEh::DeleteBookmark(const TBookmark& Item) {
  Integer Index;
  if (!Find(Item, Index)) return false;
  DeleteItem(Index);
  return true;
}

void TBMListEh::InsertItem(Integer Index, const TBookmark& Item) {
  if (Index < 0 || Index > Count()) raiseIndexError(Index);
  FList.insert(FList.begin() + Index, Item);
  if (!Updating()) Changed();
}

void TBMListEh::DeleteItem(Integer Index) {
  if (Index < 0 || Index >= Count()) raiseIndexError(Index);
  FList.erase(FList.begin() + Index);
  if (!Updating()) Changed();
}

void TBMListEh::Changed() {
  FCache.clear();
  FCacheIndex = -1;
}

void TBMListEh::RaiseListError(const String& Msg) { throw Exception(Msg); }

void TBMListEh::Clear() {
  if (Count() == 0) return;
  {
    BeginUpdate();
    const TScopeExit Close([this] { EndUpdate(); });
    for (Integer I = Count() - 1; I >= 0; --I) DeleteItem(I);
  }
  Changed();
  Invalidate();
}

void TBMListEh::EndUpdate() {
  --FUpdateCount;
  if (FUpdateCount == 0) Changed();
}

void TBMListEh::SelectAll() {
  if (!FLinkActive) return;
  TDataSet* DataSet = GetDataSet();
  DataSet->DisableControls();
  BeginUpdate();
  const TScopeExit Restore([this, DataSet] {
    DataSet->EnableControls();
    EndUpdate();
  });
  const TBookmark Saved = DataSet->Bookmark();
  DataSet->First();
  while (!DataSet->Eof()) {
    SetCurrentRowSelected(true);
    DataSet->Next();
  }
  DataSet->GotoBookmark(Saved);
}

void TBMListEh::Delete() {
  TDataSet* DataSet = GetDataSet();
  {
    DataSet->DisableControls();
    const TScopeExit Enable([DataSet] { DataSet->EnableControls(); });
    for (Integer I = Count() - 1; I >= 0; --I) {
      DataSet->GotoBookmark(FList[size_t(I)]);
      DataSet->Delete();
      DeleteItem(I);
    }
  }
  UpdateState();
}

bool TBMListEh::Refresh(bool DeleteInvalid) {
  TDataSet* DataSet = GetDataSet();
  DataSet->CheckBrowseMode();
  const bool HadItems = Count() > 0;
  bool Removed = false;
  const TScopeExit Finish([&] {
    UpdateState();
    DataSet->UpdateCursorPos();
    if (HadItems && Removed) Changed();
    if (Removed) Invalidate();
  });
  if (DeleteInvalid) {
    for (Integer I = Count() - 1; I >= 0; --I) {
      if (!BookmarkValidEh(DataSet, FList[size_t(I)])) {
        DeleteItem(I);
        Removed = true;
      }
    }
  }
  Resort();
  return Removed;
}

void TBMListEh::SetLinkActive(bool Value) {
  Clear();
  UpdateState();
  FLinkActive = Value;
}

void TBMListEh::Resort() { CustomSort(GetDataSet(), &CompareBookmarkListItemsEh); }

void TBMListEh::CustomSort(void* Data, TBMListSortCompareEh Compare) {
  if (Count() > 1) QuickSort(Data, 0, Count() - 1, Compare);
}

void TBMListEh::QuickSort(void* Data, Integer L, Integer R, TBMListSortCompareEh Compare) {
  Integer I;
  do {
    I = L;
    Integer J = R;
    Integer P = Integer((Cardinal(L) + Cardinal(R)) >> 1);
    do {
      while (Compare(this, Data, I, P) < 0) ++I;
      while (Compare(this, Data, J, P) > 0) --J;
      if (I <= J) {
        if (I != J) std::swap(FList[size_t(I)], FList[size_t(J)]);
        // the pivot is tracked by index, so it follows an exchange
        if (P == I)
          P = J;
        else if (P == J)
          P = I;
        ++I;
        --J;
      }
    } while (I <= J);
    if (L < J) QuickSort(Data, L, J, Compare);
    L = I;
  } while (I < R);
}

Integer CompareBookmarkListItemsEh(TBMListEh* List, void* Data, Integer Index1, Integer Index2) {
  return CompareBookmarksEh(static_cast<TDataSet*>(Data), List->GetItem(Index1), List->GetItem(Index2));
}
