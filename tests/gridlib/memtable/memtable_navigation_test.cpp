// The memory table's bookmarks, cursor moves and searches.
#include "gridlib/memtable/memtable.h"

#include "gridlib/memtable/memoryrecord.h"
#include "gridlib/memtable/memtabledata.h"
#include "gridlib/memtable/recordslist.h"
#include "gridlib/memtable/recordsview.h"
#include "platform/db/dbconsts.h"
#include "platform/db/indexdefs.h"
#include "tests/gridlib/memtable/memtablefixture.h"

using namespace memtabletest;

namespace {

class MemTableNavigation : public ::testing::Test {
protected:
  MemTableNavigation() : F({{"Id", ftInteger}, {"Name", ftString, 20}, {"Amount", ftInteger}}) {}

  void fill() {
    F.Table->CreateDataSet();
    const char* Names[] = {"Jones", "Smith", "Brown", "Smithers", "Taylor"};
    const int Amounts[] = {5, 123, 7, 12, 123};
    for (int I = 0; I < 5; ++I) F.AppendRow({I + 1, Names[I], Amounts[I]});
    F.Table->First();
  }
  TRecordsListEh* list() { return F.Table->MemTableData()->RecordsList(); }
  int currentId() { return F.Field("Id")->AsInteger(); }

  TMemTableTestFixture F;
};

}  // namespace

TEST_F(MemTableNavigation, ABookmarkFollowsItsRecordWhenTheOrderChanges) {
  fill();
  F.Table->SetRecNo(2);
  const TBookmark Second = F.Table->Bookmark();
  F.Table->SetRecNo(4);
  const TBookmark Fourth = F.Table->Bookmark();
  EXPECT_EQ(F.Table->CompareBookmarks(Second, Fourth), -1);

  // Sort the records by Id descending: 5 4 3 2 1.
  list()->SortData(TCompareRecords([](TMemoryRecordEh* R1, TMemoryRecordEh* R2, TObject*) {
                     return R2->GetDataValue(0, dvvValueEh).AsInteger() - R1->GetDataValue(0, dvvValueEh).AsInteger();
                   }),
                   nullptr);
  F.Table->First();
  F.Table->GotoBookmark(Second);
  EXPECT_EQ(currentId(), 2);
  EXPECT_EQ(F.Table->RecNo(), 4);
  EXPECT_EQ(F.Table->BookmarkToRecNo(Fourth), 2);
  EXPECT_EQ(F.Table->CompareBookmarks(Second, Fourth), 1);
  EXPECT_EQ(F.Table->CompareBookmarks(Fourth, Fourth), 0);
  EXPECT_EQ(F.Table->CompareBookmarks(TBookmark(), Fourth), -1);
  EXPECT_EQ(F.Table->CompareBookmarks(Fourth, TBookmark()), 1);
}

TEST_F(MemTableNavigation, ABookmarkOfAHiddenRecordIsValidButNotVisible) {
  fill();
  F.Table->SetCachedUpdates(true);
  F.Table->SetRecNo(3);
  F.Table->Edit();
  F.Field("Name")->SetAsString("Changed");
  F.Table->Post();
  F.Table->First();
  const TBookmark Unchanged = F.Table->Bookmark();
  F.Table->SetStatusFilter({usModified});
  ASSERT_EQ(F.Table->RecordCount(), 1);
  EXPECT_TRUE(F.Table->BookmarkValid(Unchanged));
  EXPECT_FALSE(F.Table->BookmarkInVisibleView(Unchanged));
  EXPECT_EQ(F.Table->BookmarkToRecNo(Unchanged), 0);
  EXPECT_EQ(F.Table->InstantReadIndexOfBookmark(Unchanged), -1);
  EXPECT_RAISES(F.Table->GotoBookmark(Unchanged), EDatabaseError, "Record not found");
}

// A bookmark named its record by address: a freed record's bookmark reached
// freed memory, or the record made next at the same address.
TEST_F(MemTableNavigation, ABookmarkOfADeletedRecordNeverNamesAnother) {
  fill();
  F.Table->SetRecNo(3);
  const TBookmark Deleted = F.Table->Bookmark();
  TMemoryRecordEh* Old = F.Table->BookmarkToRec(Deleted);
  ASSERT_NE(Old, nullptr);
  F.Table->Delete();
  for (int I = 0; I < 20; ++I) F.AppendRow({100 + I, "new", 0});
  EXPECT_EQ(F.Table->BookmarkToRec(Deleted), nullptr);
  EXPECT_FALSE(F.Table->BookmarkValid(Deleted));
  EXPECT_FALSE(F.Table->BookmarkInVisibleView(Deleted));
  EXPECT_EQ(F.Table->BookmarkToRecNo(Deleted), 0);
  EXPECT_RAISES(F.Table->GotoBookmark(Deleted), EDatabaseError, "Record not found");
}

TEST_F(MemTableNavigation, ForeignBookmarkBytesNameNoRecord) {
  fill();
  EXPECT_FALSE(F.Table->BookmarkValid(TBookmark("short")));
  EXPECT_EQ(F.Table->BookmarkToRec(TBookmark(16, '\x7f')), nullptr);
}

TEST_F(MemTableNavigation, RecToBookmarkReachesTheRecord) {
  fill();
  TMemoryRecordEh* Fourth = list()->Rec(3);
  const TBookmark B = F.Table->RecToBookmark(Fourth);
  EXPECT_EQ(F.Table->BookmarkToRec(B), Fourth);
  EXPECT_EQ(F.Table->BookmarkToRecNo(B), 4);
  F.Table->GotoBookmark(B);
  EXPECT_EQ(currentId(), 4);
}

TEST_F(MemTableNavigation, LocateMatchesByTheOptions) {
  fill();
  struct Case {
    const char* Name;
    const char* Field;
    Variant Key;
    TLocateOptions Options;
    int FoundId;  // 0: no match
  } Cases[] = {
      {"partial key", "Name", "Smi", {loPartialKey}, 2},
      {"partial key is case sensitive", "Name", "smi", {loPartialKey}, 0},
      {"partial key, any case", "Name", "smi", {loPartialKey, loCaseInsensitive}, 2},
      {"whole text", "Name", "Smithers", {}, 4},
      {"whole text is not a prefix", "Name", "Smi", {}, 0},
      {"a number as text", "Amount", "12", {loPartialKey}, 2},
      {"a number by value", "Amount", 12, {}, 4},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    F.Table->SetRecNo(5);
    const bool Found = F.Table->Locate(C.Field, C.Key, C.Options);
    EXPECT_EQ(Found, C.FoundId != 0);
    EXPECT_EQ(currentId(), C.FoundId != 0 ? C.FoundId : 5);
  }
}

TEST_F(MemTableNavigation, LocateOnSeveralFieldsTakesAnArrayOfKeys) {
  fill();
  EXPECT_TRUE(F.Table->Locate("Name;Amount", VarArrayOf({"Taylor", 123}), {}));
  EXPECT_EQ(currentId(), 5);
  EXPECT_FALSE(F.Table->Locate("Name;Amount", VarArrayOf({"Taylor", 7}), {}));
  EXPECT_RAISES(F.Table->Locate("Nope", 1, {}), EDatabaseError, "Field 'Nope' not found");
}

// Without options the stored values are compared with the keys as
// VarEqualEh compares them, whatever kind the key comes in.
TEST_F(MemTableNavigation, LocateWithoutOptionsComparesStoredValuesAsVarEqualEh) {
  fill();
  F.AppendRow({6, Null(), 99});
  struct Case {
    const char* Name;
    const char* Fields;
    Variant Key;
    int FoundId;  // 0: no match
  } Cases[] = {
      {"a 64-bit key", "Amount", Variant(Int64(12)), 4},
      {"a byte key", "Amount", Variant(Byte(7)), 3},
      {"a key beyond 32 bits", "Amount", Variant(Int64(1) << 40 | 12), 0},
      {"a float key", "Amount", 12.0, 4},
      {"a fraction never equals an integer", "Amount", 12.5, 0},
      {"a text key for a number", "Amount", "12", 4},
      {"text", "Name", "Brown", 3},
      {"text of another case", "Name", "brown", 0},
      {"a one-byte text", "Name", Variant(AnsiString("Brown")), 3},
      {"Null finds Null", "Name", Null(), 6},
      {"keys for two fields", "Name;Amount", VarArrayOf({"Smithers", Int64(12)}), 4},
      {"too few keys", "Name;Amount", VarArrayOf({"Smithers"}), 0},
      {"no array for two fields", "Name;Amount", "Smithers", 0},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    F.Table->SetRecNo(5);
    const bool Found = F.Table->Locate(QString::fromLatin1(C.Fields), C.Key, {});
    EXPECT_EQ(Found, C.FoundId != 0);
    EXPECT_EQ(currentId(), C.FoundId != 0 ? C.FoundId : 5);
  }
}

TEST_F(MemTableNavigation, LocateScrollsOnceOrNotAtAll) {
  fill();
  int Scrolls = 0;
  F.Table->AfterScroll = TDataSetNotifyEvent([&](TDataSet*) { ++Scrolls; });
  EXPECT_TRUE(F.Table->Locate("Id", 4, {}));
  EXPECT_EQ(Scrolls, 1);
  EXPECT_FALSE(F.Table->Locate("Id", 40, {}));
  EXPECT_EQ(Scrolls, 1);
}

TEST_F(MemTableNavigation, LookupAnswersUnassignedWithoutAMatchAndNeverMoves) {
  fill();
  F.Table->SetRecNo(2);
  const Variant Missing = F.Table->Lookup("Id", 40, "Name");
  EXPECT_TRUE(VarIsEmpty(Missing));
  EXPECT_FALSE(VarIsNull(Missing));
  EXPECT_EQ(F.Table->Lookup("Id", 4, "Name"), Variant("Smithers"));
  const Variant Both = F.Table->Lookup("Id", 5, "Name;Amount");
  ASSERT_TRUE(VarIsArray(Both));
  EXPECT_EQ(VarArrayGet(Both, 0), Variant("Taylor"));
  EXPECT_EQ(VarArrayGet(Both, 1), Variant(123));
  EXPECT_EQ(currentId(), 2);
  EXPECT_FALSE(F.Table->InstantReadMode());
}

TEST_F(MemTableNavigation, LookupAllGathersEveryMatchInViewOrder) {
  fill();
  F.AppendRow({6, "Jones", 123});
  EXPECT_TRUE(VarIsEmpty(F.Table->LookupAll("Amount", 999, "Name")));
  EXPECT_EQ(F.Table->LookupAll("Amount", 7, "Name"), Variant("Brown"));
  const Variant All = F.Table->LookupAll("Amount", 123, "Id");
  ASSERT_TRUE(VarIsArray(All));
  ASSERT_EQ(VarArrayHighBound(All, 1), 2);
  EXPECT_EQ(VarArrayGet(All, 0), Variant(2));
  EXPECT_EQ(VarArrayGet(All, 1), Variant(5));
  EXPECT_EQ(VarArrayGet(All, 2), Variant(6));
}

TEST_F(MemTableNavigation, SetRecNoOutsideTheRowsDoesNothing) {
  fill();
  F.Table->SetRecNo(3);
  int Scrolls = 0;
  F.Table->BeforeScroll = TDataSetNotifyEvent([&](TDataSet*) { ++Scrolls; });
  for (int RecNo : {0, -1, 6, 100}) {
    SCOPED_TRACE(RecNo);
    F.Table->SetRecNo(RecNo);
    EXPECT_EQ(currentId(), 3);
  }
  EXPECT_EQ(Scrolls, 0);
  F.Table->SetRecNo(5);
  EXPECT_EQ(currentId(), 5);
  EXPECT_EQ(F.Table->RecNo(), 5);
}

TEST_F(MemTableNavigation, FindRecUsesAnIndexWhateverTheStartRow) {
  F.Table->IndexDefs()->Add("ById", "Id", {ixUnique});
  fill();
  EXPECT_EQ(F.Table->FindRec("Id", 2, {}, 3, /*TryUseIndex=*/true), 1);
  EXPECT_EQ(F.Table->FindRec("Id", 2, {}, 3, /*TryUseIndex=*/false), -1);
  EXPECT_EQ(F.Table->FindRec("Id", 4, {}, 3, /*TryUseIndex=*/false), 3);
  EXPECT_EQ(F.Table->FindRec("Id", 40, {}, 0, /*TryUseIndex=*/true), -1);
  EXPECT_EQ(F.Table->FindRec("Name", "Brown", {}, 3, /*TryUseIndex=*/true), -1);
}

TEST_F(MemTableNavigation, FindRecordIsNotSupported) {
  fill();
  EXPECT_RAISES(F.Table->FindRecord(true, true), EDatabaseError, "FindRecord is not supported");
}

TEST_F(MemTableNavigation, CountAndRecNoNeedAnOpenTable) {
  fill();
  EXPECT_EQ(F.Table->RecordCount(), 5);
  F.Table->Close();
  EXPECT_RAISES(F.Table->RecordCount(), EDatabaseError, "Cannot perform this operation on a closed dataset");
  EXPECT_RAISES(F.Table->RecNo(), EDatabaseError, "Cannot perform this operation on a closed dataset");
}

TEST(MemTableVarEqual, ComparesAsTheSearchesDo) {
  struct Case {
    const char* Name;
    Variant V1, V2;
    bool Equal;
  } Cases[] = {
      {"integers", 3, 3, true},
      {"integers differ", 3, 4, false},
      {"arrays of one shape", VarArrayOf({1, 2}), VarArrayOf({1, 2}), true},
      {"arrays differ", VarArrayOf({1, 2}), VarArrayOf({1, 3}), false},
      {"arrays of other lengths", VarArrayOf({1, 2}), VarArrayOf({1, 2, 3}), false},
      {"an array and a value", VarArrayOf({1, 2}), 1, false},
      {"text and number that cannot compare", "abc", 1, false},
      {"text", "abc", "abc", true},
      {"Null and Null", Null(), Null(), true},
      {"Null and a value", Null(), 1, false},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(VarEqualEh(C.V1, C.V2), C.Equal);
  }
}
