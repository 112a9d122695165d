#include "gridlib/base/bookmarklist.h"

#include "tests/gridlib/base/dbtestsupport.h"

#include <gtest/gtest.h>

using namespace basetest;

namespace {

// The list as a descendant sees it: a dataset, and counts of the change
// notifications.
class TProbeList : public TBMListEh {
public:
  explicit TProbeList(TDataSet* DataSet) : FDataSet(DataSet) {}
  TDataSet* GetDataSet() override { return FDataSet; }
  void Changed() override {
    ++ChangedCount;
    TBMListEh::Changed();
  }
  void Invalidate() override { ++InvalidateCount; }
  void UpdateState() override { ++UpdateStateCount; }
  int ChangedCount = 0, InvalidateCount = 0, UpdateStateCount = 0;
  void ResetCounts() { ChangedCount = InvalidateCount = UpdateStateCount = 0; }

private:
  TDataSet* FDataSet;
};

struct BookmarkListTest : ::testing::Test {
  TCountingDataSet DataSet;
  TProbeList* List = nullptr;
  void SetUp() override {
    FillDataSet(DataSet, 10);
    List = new TProbeList(&DataSet);
    List->SetLinkActive(true);
  }
  void TearDown() override { List->Free(); }
  void Select(std::initializer_list<int> Ids) {
    for (int Id : Ids) List->AppendBookmark(BookmarkOf(DataSet, Id));
  }
};

TEST_F(BookmarkListTest, FindCases) {
  const TBookmark B1 = BookmarkOf(DataSet, 1), B5 = BookmarkOf(DataSet, 5), B10 = BookmarkOf(DataSet, 10);
  Integer Index = -7;
  EXPECT_FALSE(List->Find(B5, Index));
  EXPECT_EQ(Index, 0);
  // the cache holds that answer: no comparison beyond the cache test
  DataSet.Comparisons = 0;
  EXPECT_FALSE(List->Find(B5, Index));
  EXPECT_EQ(DataSet.Comparisons, 1);

  Select({3, 5, 7});
  struct Case {
    const char* Name;
    TBookmark Item;
    bool Found;
    Integer Index;
  } Cases[] = {
      {"before the first", B1, false, 0},
      {"after the last", B10, false, 3},
      {"present", B5, true, 1},
      {"missing in the middle", BookmarkOf(DataSet, 6), false, 2},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(List->Find(C.Item, Index), C.Found);
    EXPECT_EQ(Index, C.Index);
  }
  EXPECT_EQ(List->IndexOf(B1), -1);
  EXPECT_EQ(List->IndexOf(BookmarkOf(DataSet, 7)), 2);
}

TEST_F(BookmarkListTest, RepeatedFindSearchesOnceUntilChanged) {
  Select({2, 4, 6, 8});
  const TBookmark B6 = BookmarkOf(DataSet, 6);
  Integer Index;
  List->Find(B6, Index);
  DataSet.Comparisons = 0;
  EXPECT_TRUE(List->Find(B6, Index));
  EXPECT_EQ(Index, 2);
  EXPECT_EQ(DataSet.Comparisons, 1);
  List->Changed();
  DataSet.Comparisons = 0;
  EXPECT_TRUE(List->Find(B6, Index));
  EXPECT_GT(DataSet.Comparisons, 1);
}

TEST_F(BookmarkListTest, PositionalOperationsCheckTheirIndex) {
  const TBookmark B = BookmarkOf(DataSet, 4);
  List->InsertItem(0, B);
  List->InsertItem(List->Count(), BookmarkOf(DataSet, 2));  // appends, order not kept
  EXPECT_EQ(List->GetItem(1), BookmarkOf(DataSet, 2));
  for (Integer Bad : {List->Count() + 1, -1}) {
    SCOPED_TRACE(Bad);
    try {
      List->InsertItem(Bad, B);
      FAIL();
    } catch (const EListError& E) {
      EXPECT_EQ(E.Message, QString("List index out of bounds (%1)").arg(Bad));
    }
  }
  EXPECT_THROW(List->DeleteItem(List->Count()), EListError);
  // reading or writing outside the list never touches memory beyond it
  EXPECT_THROW(List->GetItem(2), EListError);
  EXPECT_THROW(List->GetItem(-1), EListError);
  EXPECT_THROW(List->SetItem(2, B), EListError);
  List->Resort();
  EXPECT_EQ(List->GetItem(0), BookmarkOf(DataSet, 2));
}

TEST_F(BookmarkListTest, ClearOfAnEmptyListNotifiesNothing) {
  List->ResetCounts();
  List->Clear();
  EXPECT_EQ(List->ChangedCount, 0);
  EXPECT_EQ(List->InvalidateCount, 0);
  Select({1, 2, 3});
  List->ResetCounts();
  List->Clear();
  EXPECT_EQ(List->Count(), 0);
  EXPECT_EQ(List->ChangedCount, 2);  // the bracket's close and one more
  EXPECT_EQ(List->InvalidateCount, 1);
}

TEST_F(BookmarkListTest, CurrentRowSelection) {
  BookmarkOf(DataSet, 3);
  EXPECT_FALSE(List->CurrentRowSelected());
  List->SetCurrentRowSelected(true);
  List->SetCurrentRowSelected(true);
  EXPECT_EQ(List->Count(), 1);
  EXPECT_TRUE(List->CurrentRowSelected());
  BookmarkOf(DataSet, 4);
  List->SetCurrentRowSelected(false);
  EXPECT_EQ(List->Count(), 1);
}

TEST_F(BookmarkListTest, InactiveLinkRefusesTheCurrentBookmark) {
  List->SetLinkActive(false);
  EXPECT_FALSE(List->CurrentRowSelected());  // an empty list does not ask
  try {
    List->GetCurrentBookmark();
    FAIL();
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message, "Cannot perform this operation on a closed dataset");
  }
  EXPECT_THROW(List->SetCurrentRowSelected(true), Exception);
  List->SelectAll();
  EXPECT_EQ(List->Count(), 0);
}

TEST_F(BookmarkListTest, SetLinkActiveEmptiesEvenForTheSameValue) {
  Select({1, 2});
  List->SetLinkActive(true);
  EXPECT_EQ(List->Count(), 0);
}

TEST_F(BookmarkListTest, SelectAllKeepsThePositionAndNotifiesOnce) {
  BookmarkOf(DataSet, 6);
  List->ResetCounts();
  DataSet.ClearLog();
  List->SelectAll();
  EXPECT_EQ(List->Count(), 10);
  EXPECT_EQ(CurrentId(DataSet), 6);
  EXPECT_EQ(List->ChangedCount, 1);
  EXPECT_FALSE(DataSet.ControlsDisabled());
  for (Integer I = 1; I < List->Count(); ++I)
    EXPECT_LT(DataSet.CompareBookmarks(List->GetItem(I - 1), List->GetItem(I)), 0);
}

TEST_F(BookmarkListTest, DeleteRemovesTheListedRecords) {
  Select({2, 5, 9});
  List->Delete();
  EXPECT_EQ(List->Count(), 0);
  EXPECT_EQ(DataSet.RecordCount(), 7);
  for (int Gone : {2, 5, 9}) EXPECT_FALSE(DataSet.Locate("ID", Gone, {}));
}

TEST_F(BookmarkListTest, RefreshWithoutDeletingResortsSilently) {
  Select({2, 5, 9});
  // the positional operations break the order; Refresh puts it back
  const TBookmark First = List->GetItem(0);
  List->SetItem(0, List->GetItem(2));
  List->SetItem(2, First);
  List->ResetCounts();
  EXPECT_FALSE(List->Refresh(false));
  EXPECT_EQ(List->ChangedCount, 0);
  EXPECT_EQ(List->InvalidateCount, 0);
  EXPECT_EQ(List->UpdateStateCount, 1);
  ASSERT_EQ(List->Count(), 3);
  for (Integer I = 1; I < List->Count(); ++I)
    EXPECT_LT(DataSet.CompareBookmarks(List->GetItem(I - 1), List->GetItem(I)), 0);
}

TEST_F(BookmarkListTest, RefreshDropsBookmarksOfDeletedRecords) {
  Select({2, 5, 9});
  const TBookmark B5 = BookmarkOf(DataSet, 5);
  DataSet.Delete();  // record 5, behind the list's back
  BookmarkOf(DataSet, 9);
  DataSet.Delete();
  List->ResetCounts();
  EXPECT_TRUE(List->Refresh(true));
  EXPECT_EQ(List->Count(), 1);
  EXPECT_EQ(List->GetItem(0), BookmarkOf(DataSet, 2));
  EXPECT_GE(List->ChangedCount, 1);
  EXPECT_EQ(List->InvalidateCount, 1);
  EXPECT_EQ(List->IndexOf(B5), -1);
}

}  // namespace
