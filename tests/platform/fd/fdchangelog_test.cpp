#include "platform/fd/fdchangelog.h"

#include "tests/support/testing.h"

namespace {

TFDRow row(Int64 Value) {
  TFDRowBuilder Builder;
  Builder.Add(TFDValueRef::Integer(Value));
  return Builder.Finish();
}

std::vector<TFDChangeKind> kinds(const TFDChangeLog& Log) {
  std::vector<TFDChangeKind> Result;
  for (const TFDChange* Change : Log.PendingChanges()) Result.push_back(Change->Kind);
  return Result;
}

}  // namespace

TEST(FDChangeLog, PostsMergeIntoOnePendingEntryPerRecord) {
  TFDChangeLog Log;
  Log.RecordInsert(1);
  Log.RecordModify(1, row(10));
  Log.RecordModify(2, row(20));
  Log.RecordModify(2, row(21));
  Log.RecordModify(3, row(30));
  EXPECT_FALSE(Log.RecordDelete(3, row(31)));
  EXPECT_TRUE(Log.RecordDelete(1, row(11))) << "a pending insert just disappears";
  EXPECT_EQ(kinds(Log), (std::vector{TFDChangeKind::Modify, TFDChangeKind::Delete}));
  EXPECT_EQ(Log.Pending(2)->Old.Value(0).Int, 20) << "the first old values stay";
  EXPECT_EQ(Log.Pending(3)->Old.Value(0).Int, 30);
  EXPECT_EQ(Log.StatusOf(1), usUnmodified);
  EXPECT_EQ(Log.StatusOf(3), usDeleted);
  EXPECT_TRUE(Log.CheckConsistency());
}

TEST(FDChangeLog, AppliedEntriesAreRememberedUntilTheirLevelEnds) {
  TFDChangeLog Log;
  Log.RecordModify(1, row(10));
  Log.MarkApplied(Log.PendingChanges(), /*Level=*/2);
  EXPECT_EQ(Log.StatusOf(1), usModified) << "applied entries stay in the log";
  Log.CommitUpdates();
  EXPECT_TRUE(Log.Empty());
  EXPECT_TRUE(Log.Refers(1));
  Log.LevelCommitted(2);
  EXPECT_TRUE(Log.Refers(1)) << "handed to level 1";
  Log.LevelCommitted(1);
  EXPECT_FALSE(Log.Refers(1)) << "durable";
  EXPECT_TRUE(Log.CheckConsistency());

  Log.RecordModify(2, row(20));
  Log.MarkApplied(Log.PendingChanges(), /*Level=*/0);
  Log.CommitUpdates();
  EXPECT_FALSE(Log.Refers(2)) << "applied in autocommit";
}

TEST(FDChangeLog, RollbackRestoresPendingEntriesMergedWithLaterOnes) {
  struct Case {
    const char* Name;
    TFDChangeKind Applied;
    int Later;  // 0 none, 1 modify, 2 delete
    bool Survives;
    TFDChangeKind Result;
  } Cases[] = {
      {"modify alone", TFDChangeKind::Modify, 0, true, TFDChangeKind::Modify},
      {"insert alone", TFDChangeKind::Insert, 0, true, TFDChangeKind::Insert},
      {"delete alone", TFDChangeKind::Delete, 0, true, TFDChangeKind::Delete},
      {"insert then modify", TFDChangeKind::Insert, 1, true, TFDChangeKind::Insert},
      {"insert then delete", TFDChangeKind::Insert, 2, false, TFDChangeKind::Insert},
      {"modify then modify", TFDChangeKind::Modify, 1, true, TFDChangeKind::Modify},
      {"modify then delete", TFDChangeKind::Modify, 2, true, TFDChangeKind::Delete},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TFDChangeLog Log;
    Log.RecordModify(9, row(90));  // an unrelated pending entry made first
    switch (C.Applied) {
      case TFDChangeKind::Insert: Log.RecordInsert(1); break;
      case TFDChangeKind::Modify: Log.RecordModify(1, row(10)); break;
      case TFDChangeKind::Delete: Log.RecordDelete(1, row(10)); break;
    }
    Log.MarkApplied({Log.Pending(1)}, /*Level=*/1);
    Log.CommitUpdates();
    if (C.Later == 1) Log.RecordModify(1, row(11));
    if (C.Later == 2) Log.RecordDelete(1, row(11));
    const std::vector<TFDRecordId> Removed = Log.LevelRolledBack(1);
    EXPECT_EQ(Removed.empty(), C.Survives);
    ASSERT_EQ(Log.Pending(1) != nullptr, C.Survives);
    if (C.Survives) {
      EXPECT_EQ(Log.Pending(1)->Kind, C.Result);
      if (C.Result != TFDChangeKind::Insert) {
        EXPECT_EQ(Log.Pending(1)->Old.Value(0).Int, 10);
      }
      EXPECT_EQ(Log.PendingChanges().back()->Record, 1u) << "the first change keeps its place";
    }
    EXPECT_FALSE(Log.Refers(1) && !C.Survives);
    EXPECT_TRUE(Log.CheckConsistency());
  }
}

TEST(FDChangeLog, TakingPendingEntriesLeavesAppliedOnes) {
  TFDChangeLog Log;
  Log.RecordModify(1, row(10));
  Log.MarkApplied(Log.PendingChanges(), 1);
  Log.RecordInsert(2);
  Log.RecordDelete(3, row(30));
  const auto Taken = Log.TakePending();
  ASSERT_EQ(Taken.size(), 2u);
  EXPECT_EQ(Taken.front()->Record, 3u) << "latest first";
  EXPECT_EQ(Log.Count(), 1);
  EXPECT_TRUE(Log.CheckConsistency());
}
