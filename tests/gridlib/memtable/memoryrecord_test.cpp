#include "gridlib/memtable/memoryrecord.h"

#include "platform/db/dbconsts.h"
#include "tests/gridlib/memtable/memtabletesting.h"

namespace {

class MemoryRecord : public ::testing::Test, public TMemTableFixture {
protected:
  MemoryRecord() {
    AddString(QStringLiteral("a"));
    AddString(QStringLiteral("b"));
    AddField(QStringLiteral("n"), ftInteger);
  }
  String text(TMemoryRecordEh* Rec, TDataValueVersionEh Version) { return Rec->GetDataValue(0, Version).AsString(); }
};

TEST_F(MemoryRecord, VersionsThroughEditAndCancel) {
  TMemoryRecordEh* Rec = Append({QStringLiteral("A")});
  Rec->Edit();
  Rec->SetDataValue(0, dvvValueEh, QStringLiteral("B"));
  EXPECT_EQ(text(Rec, dvvCurValueEh), QStringLiteral("A"));
  EXPECT_EQ(text(Rec, dvvEditValueEh), QStringLiteral("B"));
  EXPECT_EQ(text(Rec, dvvValueEh), QStringLiteral("B"));
  EXPECT_EQ(text(Rec, dvvOldestValue), QStringLiteral("A"));
  TMemoryRecordEh::Cancel(Rec);
  ASSERT_NE(Rec, nullptr);
  for (TDataValueVersionEh V : {dvvCurValueEh, dvvValueEh, dvvRefreshValue}) EXPECT_EQ(text(Rec, V), QStringLiteral("A"));
  EXPECT_RAISES(Rec->GetDataValue(0, dvvEditValueEh), Exception,
                "TMemoryRecordEh.GetDataValues: Edit values is not accessible.");
  EXPECT_RAISES(TMemoryRecordEh::Cancel(Rec), EDatabaseError, "Dataset not in edit or insert mode");
}

TEST_F(MemoryRecord, OldValuesOnlyInCachedMode) {
  TMemoryRecordEh* Rec = Append({QStringLiteral("A")});
  EXPECT_RAISES(Rec->GetDataValues(QStringLiteral("a"), dvvOldValueEh), Exception,
                "TMemoryRecordEh.GetDataValues: Old values is not accessible.");
  List()->SetCachedUpdates(true);
  for (const char* Next : {"B", "C"}) {
    Rec->Edit();
    Rec->SetDataValue(0, dvvValueEh, QString::fromLatin1(Next));
    Rec->Post();
  }
  EXPECT_EQ(text(Rec, dvvOldValueEh), QStringLiteral("A"));
  EXPECT_EQ(text(Rec, dvvValueEh), QStringLiteral("C"));
  EXPECT_EQ(Rec->UpdateStatus(), usModified);
  EXPECT_EQ(Rec->UpdateIndex(), 0);
}

TEST_F(MemoryRecord, WritesConvertToTheFieldType) {
  TMemoryRecordEh* Rec = Append({QStringLiteral("x"), QStringLiteral("y"), 5});
  Rec->SetDataValue(2, dvvValueEh, QStringLiteral("12"));
  EXPECT_EQ(VarType(Rec->GetDataValue(2, dvvValueEh)), varInteger);
  EXPECT_EQ(Rec->GetDataValue(2, dvvValueEh).AsInteger(), 12);
  EXPECT_THROW(Rec->SetDataValue(2, dvvValueEh, QStringLiteral("twelve")), EVariantError);
  EXPECT_EQ(Rec->GetDataValue(2, dvvValueEh).AsInteger(), 12);
  EXPECT_RAISES(Rec->GetDataValue(3, dvvValueEh), EListError, "List index out of bounds (3)");
  Rec->SetDataValue(0, dvvValueEh, QStringLiteral("Ἀσκληπιός"));
  EXPECT_EQ(text(Rec, dvvValueEh), QStringLiteral("Ἀσκληπιός"));
}

TEST_F(MemoryRecord, ValuesByNames) {
  TMemoryRecordEh* Rec = Append({QStringLiteral("x"), QStringLiteral("y")});
  const Variant Pair = Rec->GetDataValues(QStringLiteral("a;b"), dvvValueEh);
  ASSERT_TRUE(VarIsArray(Pair));
  EXPECT_EQ(VarArrayHighBound(Pair, 1), 1);
  EXPECT_EQ(Pair[1].AsString(), QStringLiteral("y"));
  Rec->SetDataValues(QStringLiteral("b;a"), dvvValueEh, VarArrayOf({QStringLiteral("1"), QStringLiteral("2")}));
  EXPECT_EQ(text(Rec, dvvValueEh), QStringLiteral("2"));
  EXPECT_EQ(Rec->GetDataValue(1, dvvValueEh).AsString(), QStringLiteral("1"));
  EXPECT_RAISES(Rec->GetDataValues(QStringLiteral("zz"), dvvValueEh), EDatabaseError,
                "DataStruct: Field 'zz' not found");
}

TEST_F(MemoryRecord, EditForRefreshPostsWithoutStatusOrChanging) {
  TRecordingNotificatorEh* Listener = new TRecordingNotificatorEh;
  Listener->SetDataObject(Data);
  List()->SetCachedUpdates(true);
  TMemoryRecordEh* Rec = Append({QStringLiteral("A")}, /*Fetch=*/true);
  Listener->Events.clear();
  Rec->EditForRefresh();
  Rec->SetDataValue(0, dvvValueEh, QStringLiteral("R"));
  Rec->Post();
  EXPECT_EQ(Rec->UpdateStatus(), usUnmodified);
  EXPECT_EQ(Listener->Actions(), (std::vector<TRecordsListNotification>{rlnRecChangedEh}));
  EXPECT_EQ(text(Rec, dvvValueEh), QStringLiteral("R"));
  Listener->Free();
}

// A refresh edit takes no copy of the values; cancelling it must keep them
// rather than take back a copy that was never made.
TEST_F(MemoryRecord, CancelOfARefreshEditKeepsTheValues) {
  TMemoryRecordEh* Rec = Append({QStringLiteral("A"), QStringLiteral("B"), 1});
  Rec->EditForRefresh();
  Rec->SetDataValue(0, dvvValueEh, QStringLiteral("R"));
  TMemoryRecordEh::Cancel(Rec);
  EXPECT_EQ(text(Rec, dvvValueEh), QStringLiteral("R"));
  EXPECT_EQ(Rec->GetDataValue(2, dvvValueEh).AsInteger(), 1);
  EXPECT_EQ(Rec->EditState(), resBrowseEh);
}

TEST_F(MemoryRecord, CancelOfANeverPostedRecordFreesItAndClearsThePointer) {
  TMemoryRecordEh* Rec = List()->NewRecord();
  EXPECT_EQ(Rec->EditState(), resInsertEh);
  TMemoryRecordEh::Cancel(Rec);
  EXPECT_EQ(Rec, nullptr);
  EXPECT_EQ(List()->Count(), 0);
}

TEST_F(MemoryRecord, RevertAndMergeOfACachedChange) {
  List()->SetCachedUpdates(true);
  TMemoryRecordEh* Rec = Append({QStringLiteral("A")}, /*Fetch=*/true);
  Rec->Edit();
  Rec->SetDataValue(0, dvvValueEh, QStringLiteral("B"));
  Rec->Post();
  Rec->RevertRecord();
  EXPECT_EQ(text(Rec, dvvValueEh), QStringLiteral("A"));
  EXPECT_EQ(Rec->UpdateStatus(), usUnmodified);
  Rec->Edit();
  Rec->SetDataValue(0, dvvValueEh, QStringLiteral("C"));
  Rec->Post();
  Rec->MergeChanges();
  EXPECT_EQ(Rec->UpdateStatus(), usUnmodified);
  EXPECT_EQ(Rec->UpdateIndex(), -1);
  EXPECT_TRUE(Rec->OldData().empty());
  EXPECT_EQ(text(Rec, dvvValueEh), QStringLiteral("C"));
}

}  // namespace
