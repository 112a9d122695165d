// TBMListEh: a set of dataset records kept as the dataset's bookmarks,
// sorted in the dataset's own bookmark order and free of duplicates.
//
//   FList:   [b0] [b1] [b2] ... [bN-1]    ascending by CompareBookmarks
//   cache:   (FCache, FCacheIndex, FCacheFind) = the last Find's question
//            and answer; FCacheIndex -1 means empty.  Only Changed forgets it.
//
// The sorted operations (Find, AppendBookmark, DeleteBookmark,
// SetCurrentRowSelected, SelectAll, Refresh) keep the order.  The positional
// ones (AppendItem, InsertItem at a caller's index, SetItem) do not look at
// it: their callers keep the order themselves or Resort afterwards.
//
// The base class knows no dataset; a descendant answers GetDataSet and reacts
// to changes through the virtual operations.
#pragma once

#include "platform/db/dbtypes.h"
#include "platform/rtl/object.h"

#include <vector>

class TDataSet;
class TBMListEh;

// Negative when the item at Index1 goes first.
using TBMListSortCompareEh = Integer (*)(TBMListEh* List, void* Data, Integer Index1, Integer Index2);

class TBMListEh : public TObject {
  RTL_CLASS(TBMListEh, TObject)
public:
  TBMListEh() = default;
  // Clear and UpdateState run here, where a descendant's overrides are whole.
  void BeforeDestruction() override;

  Integer Count() const { return Integer(FList.size()); }
  // Both raise EListError "List index out of bounds (%d)" outside 0..Count-1.
  TBookmark GetItem(Integer Index) const;
  // No order check, no Changed; the cache is left alone.
  void SetItem(Integer Index, const TBookmark& Item);

  // Index receives the bookmark's place, or its insertion point.
  bool Find(const TBookmark& Item, Integer& Index);
  Integer IndexOf(const TBookmark& Item);

  bool CurrentRowSelected() { return GetCurrentRowSelected(); }
  TBookmark GetCurrentBookmark();
  Integer CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2);

  // Drops the bookmarks the dataset rejects (when DeleteInvalid) and
  // re-sorts; answers whether anything was removed.
  bool Refresh(bool DeleteInvalid);
  // Deletes the listed records from the dataset.
  void Delete();

  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  bool Updating() const { return FUpdateCount > 0; }

  // Every change of the link state empties the list, even to the same value.
  void SetLinkActive(bool Value);
  void QuickSort(void* Data, Integer L, Integer R, TBMListSortCompareEh Compare);

  // introduced virtuals, in slot order
  virtual TDataSet* GetDataSet() { return nullptr; }
  virtual bool GetLinkActive() { return FLinkActive; }
  virtual void AppendItem(const TBookmark& Item) { InsertItem(Count(), Item); }
  virtual void CustomSort(void* Data, TBMListSortCompareEh Compare);
  virtual void InsertItem(Integer Index, const TBookmark& Item);
  virtual void Invalidate() {}
  virtual void Changed();
  virtual void RaiseListError(const String& Msg);
  virtual void Resort();
  virtual void SetCurrentRowSelected(bool Value);
  virtual void UpdateState() {}
  virtual bool DeleteBookmark(const TBookmark& Item);
  virtual void AppendBookmark(const TBookmark& Item);
  virtual void Clear();
  virtual void DeleteItem(Integer Index);
  virtual void SelectAll();

protected:
  bool GetCurrentRowSelected();
  bool LinkActive() const { return FLinkActive; }

private:
  [[noreturn]] static void raiseIndexError(Integer Index);

  TBookmark FCache;
  bool FCacheFind = false;
  Integer FCacheIndex = -1;
  bool FLinkActive = false;
  Integer FUpdateCount = 0;
  std::vector<TBookmark> FList;
};

// The list's own order: CompareBookmarksEh on the dataset passed as Data.
Integer CompareBookmarkListItemsEh(TBMListEh* List, void* Data, Integer Index1, Integer Index2);
