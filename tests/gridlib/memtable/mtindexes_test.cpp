#include "gridlib/memtable/mtindexes.h"

#include "tests/gridlib/memtable/memtabletesting.h"

#include <algorithm>
#include <random>

namespace {

class Indexes : public ::testing::Test, public TMemTableFixture {
protected:
  Indexes() {
    AddField(QStringLiteral("ID"), ftInteger);
    AddField(QStringLiteral("A"), ftInteger);
    AddString(QStringLiteral("B"));
  }
  TMTIndexEh* addIndex(const String& Fields, bool Unique) {
    TMTIndexEh* Index = List()->Indexes()->Add();
    Index->SetFields(Fields);
    Index->SetUnique(Unique);
    Index->SetActive(true);
    return Index;
  }
};

TEST_F(Indexes, UniqueKeyViolations) {
  TMTIndexEh* Unique = addIndex(QStringLiteral("ID"), /*Unique=*/true);
  Append({1, 10, QStringLiteral("x")});
  Append({2, 20, QStringLiteral("y")});
  EXPECT_RAISES(Append({1}), EUniqueKeyViolationEh,
                QStringLiteral("Unique key violation \r\n FieldNames: ID\r\n Value: \"1\""));
  EXPECT_EQ(List()->Count(), 2);
  TMemoryRecordEh* Rec = List()->GetRec(1);
  Rec->Edit();
  Rec->SetDataValue(0, dvvValueEh, 2);
  Rec->Post();
  Rec->Edit();
  Rec->SetDataValue(0, dvvValueEh, 1);
  EXPECT_THROW(Rec->Post(), EUniqueKeyViolationEh);
  EXPECT_EQ(Rec->EditState(), resEditEh);
  TMemoryRecordEh::Cancel(Rec);
  EXPECT_TRUE(Unique->CheckConsistency());
  EXPECT_EQ(List()->Indexes()->GetIndexForFields(QStringLiteral("id")), Unique);
}

TEST_F(Indexes, NullKeysPassARebuildButNotAnAdd) {
  Append({Null()});
  Append({Null()});
  TMTIndexEh* Unique = addIndex(QStringLiteral("ID"), /*Unique=*/true);
  EXPECT_EQ(Unique->Count(), 2);
  EXPECT_THROW(Append({Null()}), EUniqueKeyViolationEh);
}

TEST_F(Indexes, TwoFieldKeys) {
  TMTIndexEh* Index = addIndex(QStringLiteral("A;B"), /*Unique=*/false);
  Append({1, 5, QStringLiteral("b")});
  Append({2, 5, QStringLiteral("a")});
  Integer RecIndex = -1;
  EXPECT_TRUE(Index->FindRecordIndexByKey(VarArrayOf({5, QStringLiteral("a")}), RecIndex));
  EXPECT_EQ(RecIndex, 1);
  EXPECT_RAISES(Index->FindRecordIndexByKey(5, RecIndex), Exception,
                "TMTIndexEh.FindKeyValueIndex: values is not comparable.");
}

TEST_F(Indexes, InsertAndDeleteShiftPositions) {
  TMTIndexEh* Index = addIndex(QStringLiteral("ID"), /*Unique=*/true);
  for (int Id : {1, 2, 3}) Append({Id});
  TMemoryRecordEh* Rec = List()->NewRecord();
  Rec->SetDataValue(0, dvvValueEh, 0);
  List()->InsertRecord(0, Rec);
  for (Integer I = 0; I < Index->Count(); I++) EXPECT_EQ(Index->Item(I).RecIndex, I);
  List()->DeleteRecord(0);
  for (Integer I = 0; I < Index->Count(); I++) EXPECT_EQ(Index->Item(I).RecIndex, I);
  EXPECT_TRUE(Index->CheckConsistency());
}

// Records marked for deletion have no items, so an insert at a position at
// or past the item count can still precede items that must shift.
TEST_F(Indexes, InsertBehindMarkedRecordsShiftsLaterItems) {
  TMTIndexEh* Index = addIndex(QStringLiteral("ID"), /*Unique=*/true);
  for (int Id : {0, 1, 2, 3, 4}) Append({Id}, /*Fetch=*/true);
  List()->SetCachedUpdates(true);
  List()->DeleteRecord(0);
  List()->DeleteRecord(1);
  ASSERT_EQ(Index->Count(), 3);
  TMemoryRecordEh* Rec = List()->NewRecord();
  Rec->SetDataValue(0, dvvValueEh, 9);
  List()->InsertRecord(3, Rec);
  EXPECT_TRUE(Index->CheckConsistency());
  Integer RecIndex = -1;
  EXPECT_TRUE(Index->FindRecordIndexByKey(4, RecIndex));
  EXPECT_EQ(RecIndex, 5);
}

TEST_F(Indexes, MatchedRecords) {
  TMTIndexEh* Index = addIndex(QStringLiteral("A"), /*Unique=*/false);
  for (int Id : {1, 2, 3, 4, 5}) Append({Id, Id % 2 ? 7 : 8});
  std::vector<TMemoryRecordEh*> Found;
  Index->FillMatchedRecsList(7, Found);
  EXPECT_EQ(Found.size(), 3u);
  Found.clear();
  Index->FillMatchedRecsList(9, Found);
  EXPECT_TRUE(Found.empty());
}

// With many equal keys the maintenance must take the record's own item; the
// one the binary search lands on may belong to another record.
TEST_F(Indexes, EqualKeysKeepTheirOwnItems) {
  TMTIndexEh* Index = addIndex(QStringLiteral("A"), /*Unique=*/false);
  for (int Id = 0; Id < 40; Id++) Append({Id, 1});
  for (int Id = 0; Id < 40; Id += 3) {
    TMemoryRecordEh* Rec = List()->GetRec(Id);
    Rec->Edit();
    Rec->SetDataValue(1, dvvValueEh, 2);
    Rec->Post();
    ASSERT_TRUE(Index->CheckConsistency()) << Id;
  }
  List()->DeleteRecord(5);
  List()->DeleteRecord(20);
  EXPECT_TRUE(Index->CheckConsistency());
}

// Random inserts, appended runs, changes, deletes, marks, merges and cancels;
// after every step both indexes hold each live record once, in key order, at
// its place.  A run appends enough records out of key order for the shared
// index to merge them in one pass, numbered downwards so that the unique
// index must search its own appended items and merge them too.
TEST_F(Indexes, StayConsistentUnderRandomChanges) {
  TMTIndexEh* Unique = addIndex(QStringLiteral("ID"), /*Unique=*/true);
  TMTIndexEh* Shared = addIndex(QStringLiteral("A"), /*Unique=*/false);
  std::mt19937 Random(20240519);
  int NextId = 0;
  for (int Step = 0; Step < 1500; Step++) {
    const int Op = int(Random() % 9);
    const Integer Count = List()->Count();
    SCOPED_TRACE(testing::Message() << "step " << Step << " op " << Op);
    auto liveAt = [&](Integer I) { return List()->GetRec(I)->UpdateStatus() != usDeleted; };
    if (Op <= 2 || Count == 0) {
      TMemoryRecordEh* Rec = List()->NewRecord();
      Rec->SetDataValue(0, dvvValueEh, NextId++);
      Rec->SetDataValue(1, dvvValueEh, int(Random() % 5));
      if (Op == 0 || Count == 0)
        Rec->Post();
      else
        List()->InsertRecord(Integer(Random() % Count), Rec);
    } else if (Op == 3) {
      const Integer I = Integer(Random() % Count);
      if (!liveAt(I)) continue;
      TMemoryRecordEh* Rec = List()->GetRec(I);
      Rec->Edit();
      Rec->SetDataValue(1, dvvValueEh, int(Random() % 5));
      if (Random() % 2) Rec->SetDataValue(0, dvvValueEh, NextId++);
      Rec->Post();
    } else if (Op == 4) {
      const Integer I = Integer(Random() % Count);
      if (liveAt(I)) List()->DeleteRecord(I);
    } else if (Op == 5) {
      List()->SetCachedUpdates(!List()->CachedUpdates());
    } else if (Op == 6) {
      List()->MergeChangeLog();
    } else if (Op == 7) {
      List()->CancelUpdates();
    } else if (Op == 8) {
      // numbered downwards, so the unique index gets them out of order too
      const int Run = int(Random() % 100) + 1;
      for (int Id = NextId + Run - 1; Id >= NextId; Id--) {
        TMemoryRecordEh* Rec = List()->NewRecord();
        Rec->SetDataValue(0, dvvValueEh, Id);
        Rec->SetDataValue(1, dvvValueEh, int(Random() % 5));
        Rec->Post();
      }
      EXPECT_THROW(Append({NextId + int(Random() % Run)}), EUniqueKeyViolationEh);
      NextId += Run;
    }
    ASSERT_TRUE(Unique->CheckConsistency());
    ASSERT_TRUE(Shared->CheckConsistency());
  }
}

}  // namespace
