#include "gridlib/memtable/recordslist.h"

#include "tests/gridlib/memtable/memtabletesting.h"

namespace {

class RecordsList : public ::testing::Test, public TMemTableFixture {
protected:
  RecordsList() : Listener(new TRecordingNotificatorEh) {
    AddField(QStringLiteral("ID"), ftInteger);
    AddString(QStringLiteral("Name"));
    Listener->SetDataObject(Data);
    Listener->Events.clear();
  }
  ~RecordsList() override { Listener->Free(); }
  void appendIds(std::initializer_list<int> Ids, bool Fetch = true) {
    for (int Id : Ids) Append({Id, QStringLiteral("n%1").arg(Id)}, Fetch);
    Listener->Events.clear();
  }
  std::vector<int> ids() {
    std::vector<int> Result;
    for (Integer I = 0; I < List()->Count(); I++) {
      EXPECT_EQ(List()->GetRec(I)->Index(), I);
      Result.push_back(Value(I, 0).AsInteger());
    }
    return Result;
  }
  TRecordingNotificatorEh* Listener;
};

TEST_F(RecordsList, InsertAtZeroRenumbersAndNotifies) {
  appendIds({1, 2, 3});
  TMemoryRecordEh* Rec = List()->NewRecord();
  Rec->SetDataValue(0, dvvValueEh, 0);
  List()->InsertRecord(0, Rec);
  EXPECT_EQ(ids(), (std::vector<int>{0, 1, 2, 3}));
  ASSERT_EQ(Listener->Events.size(), 2u);
  EXPECT_EQ(Listener->Events[0], (TRecordingNotificatorEh::Event{Rec, 0, rlnRecAddingEh}));
  EXPECT_EQ(Listener->Events[1], (TRecordingNotificatorEh::Event{Rec, 0, rlnRecAddedEh}));
  EXPECT_RAISES(List()->AddRecord(Rec), Exception, "The record is already attached to RecordsList.");
}

TEST_F(RecordsList, CachedDeleteMarksModifiedAndFreesInserted) {
  appendIds({1, 2});
  List()->SetCachedUpdates(true);
  TMemoryRecordEh* Modified = List()->GetRec(0);
  Modified->Edit();
  Modified->SetDataValue(1, dvvValueEh, QStringLiteral("changed"));
  Modified->Post();
  List()->DeleteRecord(0);
  EXPECT_EQ(Modified->UpdateStatus(), usDeleted);
  EXPECT_TRUE(Modified->OldData().empty());
  EXPECT_EQ(List()->Count(), 2);
  EXPECT_EQ(Listener->Events.back().Action, rlnRecMarkedForDelEh);
  EXPECT_RAISES(List()->DeleteRecord(0), Exception, "Can't MarkDel the Deleted record");

  TMemoryRecordEh* Inserted = Append({3});
  EXPECT_EQ(Inserted->UpdateStatus(), usInserted);
  const Integer Slot = Inserted->UpdateIndex();
  List()->DeleteRecord(2);
  EXPECT_EQ(List()->Count(), 2);
  EXPECT_EQ(List()->DeltaList().Items(Slot), nullptr);
}

TEST_F(RecordsList, CancelUpdatesUndoesTheWholeLog) {
  appendIds({1, 2, 3});
  List()->SetCachedUpdates(true);
  TMemoryRecordEh* Rec = List()->GetRec(0);
  Rec->Edit();
  Rec->SetDataValue(0, dvvValueEh, 10);
  Rec->Post();
  List()->DeleteRecord(1);
  Append({4});
  List()->CancelUpdates();
  EXPECT_EQ(ids(), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(List()->DeltaList().Count(), 0);
  for (Integer I = 0; I < 3; I++) EXPECT_EQ(List()->GetRec(I)->UpdateStatus(), usUnmodified);
  EXPECT_EQ(Listener->Events.back().Action, rlnListChangedEh);
}

// A modified record without old values (no Post makes one) used to stop the
// cancel half-way, leaving the records below it and the log untouched.
TEST_F(RecordsList, CancelUpdatesGoesOnPastAModifiedRecordWithoutOldValues) {
  appendIds({1, 2, 3});
  List()->SetCachedUpdates(true);
  Append({4});
  List()->GetRec(2)->SetUpdateStatus(usModified);
  List()->CancelUpdates();
  EXPECT_EQ(ids(), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(List()->GetRec(2)->UpdateStatus(), usUnmodified);
  EXPECT_EQ(List()->GetRec(0)->UpdateStatus(), usUnmodified);
  EXPECT_FALSE(List()->HasCachedChanges());
  EXPECT_EQ(Listener->Events.back().Action, rlnListChangedEh);
}

TEST_F(RecordsList, MergeOfSeveralSendsOneListChanged) {
  appendIds({1, 2, 3});
  List()->SetCachedUpdates(true);
  List()->DeleteRecord(0);
  Append({4});
  Listener->Events.clear();
  List()->MergeChangeLog();
  EXPECT_EQ(Listener->Actions(), (std::vector<TRecordsListNotification>{rlnListChangedEh}));
  EXPECT_EQ(ids(), (std::vector<int>{2, 3, 4}));
  EXPECT_FALSE(List()->HasCachedChanges());
  EXPECT_EQ(List()->GetRec(2)->UpdateStatus(), usUnmodified);
}

TEST_F(RecordsList, MergeOfOneDeletedRecordTakesItOut) {
  appendIds({1, 2});
  List()->SetCachedUpdates(true);
  List()->DeleteRecord(0);
  List()->MergeChangeLog();
  EXPECT_EQ(ids(), (std::vector<int>{2}));
  EXPECT_FALSE(List()->HasCachedChanges());
}

TEST_F(RecordsList, UpdateBracketSilencesEverything) {
  TMTIndexEh* Index = List()->Indexes()->Add();
  Index->SetFields(QStringLiteral("ID"));
  Index->SetActive(true);
  List()->BeginUpdate();
  List()->BeginUpdate();
  appendIds({1, 2});
  List()->EndUpdate();
  EXPECT_TRUE(Listener->Events.empty());
  EXPECT_EQ(Index->Count(), 0);
  List()->EndUpdate();
  EXPECT_EQ(Listener->Actions(), (std::vector<TRecordsListNotification>{rlnListChangedEh}));
  EXPECT_EQ(Index->Count(), 2);
  EXPECT_TRUE(Index->CheckConsistency());
}

TEST_F(RecordsList, DeleteRanges) {
  appendIds({0, 1, 2, 3, 4});
  List()->DeleteRecords({{0, 1}, {3, 3}});
  EXPECT_EQ(ids(), (std::vector<int>{2, 4}));
  EXPECT_EQ(Listener->Actions(), (std::vector<TRecordsListNotification>{rlnListChangedEh}));
  EXPECT_THROW(List()->DeleteRecords({{1, 5}}), EListError);
  EXPECT_EQ(ids(), (std::vector<int>{2, 4}));
  List()->SetCachedUpdates(true);
  EXPECT_RAISES(List()->DeleteRecords({{0, 0}}), Exception,
                "Delete a range of record in CachedUpdates mode is not supported");
}

TEST_F(RecordsList, FetchInCachedModeStaysUnmodified) {
  List()->SetCachedUpdates(true);
  TMemoryRecordEh* Rec = Append({1}, /*Fetch=*/true);
  EXPECT_EQ(Rec->UpdateStatus(), usUnmodified);
  EXPECT_EQ(Rec->UpdateIndex(), -1);
  EXPECT_TRUE(List()->CachedUpdates());
}

TEST_F(RecordsList, RevertOfAnInsertedRecordLeavesNoDanglingDeltaEntry) {
  List()->SetCachedUpdates(true);
  Append({1});
  List()->RevertRecord(0);
  EXPECT_EQ(List()->Count(), 0);
  EXPECT_EQ(List()->DeltaList().Items(0), nullptr);
  List()->CleanupChangedRecs();
  EXPECT_FALSE(List()->HasCachedChanges());
}

// Cached updates switched off leave pending entries; deleting such a record
// must take it off the delta list before it is freed.
TEST_F(RecordsList, DeletingAPendingRecordAfterCachedUpdatesEndLeavesNoDanglingEntry) {
  List()->SetCachedUpdates(true);
  Append({1});
  Append({2});
  List()->SetCachedUpdates(false);
  List()->DeleteRecord(0);
  List()->DeleteRecords({{0, 0}});
  EXPECT_EQ(List()->Count(), 0);
  EXPECT_EQ(List()->DeltaList().Items(0), nullptr);
  EXPECT_EQ(List()->DeltaList().Items(1), nullptr);
  List()->MergeChangeLog();
  EXPECT_FALSE(List()->HasCachedChanges());
}

TEST_F(RecordsList, MoveAndSort) {
  appendIds({3, 1, 2});
  List()->Move(0, 2);
  EXPECT_EQ(ids(), (std::vector<int>{1, 2, 3}));
  auto Descending = [](TMemoryRecordEh* A, TMemoryRecordEh* B, TObject*) {
    return B->GetDataValue(0, dvvValueEh).AsInteger() - A->GetDataValue(0, dvvValueEh).AsInteger();
  };
  List()->SortData(TCompareRecords(Descending), nullptr);
  EXPECT_EQ(ids(), (std::vector<int>{3, 2, 1}));
}

// Changes applied at once reach the apply handlers through a shadow
// container, and the record takes back what the handler wrote.
TEST_F(RecordsList, ImmediateApplyGoesThroughTheShadow) {
  std::vector<TUpdateStatus> Seen;
  Listener->OnApplyUpdates = [&Seen](TMemTableDataEh* Shadow) {
    TMemoryRecordEh* Rec = Shadow->RecordsList()->GetRec(0);
    Seen.push_back(Rec->UpdateStatus());
    if (Rec->UpdateStatus() == usInserted) Rec->SetDataValue(0, dvvValueEh, 100);
  };
  TMemoryRecordEh* Rec = Append({1});
  EXPECT_EQ(Rec->GetDataValue(0, dvvValueEh).AsInteger(), 100);
  Rec->Edit();
  Rec->SetDataValue(1, dvvValueEh, QStringLiteral("x"));
  Rec->Post();
  List()->DeleteRecord(0);
  EXPECT_EQ(Seen, (std::vector<TUpdateStatus>{usInserted, usModified, usDeleted}));
  Listener->OnApplyUpdates = nullptr;
}

}  // namespace
