// The memory table's core: opening, record buffers, editing, the update
// bracket, structure and streaming.
#include "gridlib/memtable/memtable.h"

#include "gridlib/memtable/memoryrecord.h"
#include "gridlib/memtable/memtabledata.h"
#include "gridlib/memtable/memtableunit.h"
#include "gridlib/memtable/mtindexes.h"
#include "gridlib/memtable/recordsview.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fieldclasses.h"
#include "platform/db/indexdefs.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/streams.h"
#include "tests/gridlib/memtable/memtablefixture.h"

using namespace memtabletest;

namespace {

// A persistent field of a type the table cannot hold.
class TNestedDataSetField : public TVariantField {
public:
  explicit TNestedDataSetField(TComponent* AOwner) : TVariantField(AOwner) { SetDataType(ftDataSet); }
};

// A root that streams the components it owns, as a form does.
class TStreamRoot : public TComponent {
  RTL_CLASS(TStreamRoot, TComponent)
public:
  explicit TStreamRoot(TComponent* AOwner) : TComponent(AOwner) {}

protected:
  void GetChildren(TGetChildProc Proc, TComponent* Root) override {
    for (Integer I = 0; I < ComponentCount(); ++I)
      if (Components(I)->Owner() == Root) Proc(Components(I));
  }
};

class MemTableCore : public ::testing::Test {
protected:
  MemTableCore() : F({{"Id", ftInteger}, {"Name", ftString, 10}}) {
    F.Table->CreateDataSet();
    for (int I = 1; I <= 5; ++I) F.AppendRow({I, String("n%1").arg(I)});
    F.Table->First();
  }
  std::vector<String> linkCalls() { return F.Link.CallNames(); }

  TMemTableTestFixture F;
};

}  // namespace

TEST_F(MemTableCore, AppendedRowsReadBackInOrder) {
  EXPECT_EQ(F.Table->RecordCount(), 5);
  EXPECT_EQ(F.Column("Id"), (std::vector<Variant>{1, 2, 3, 4, 5}));
  EXPECT_EQ(F.Column("Name"), (std::vector<Variant>{"n1", "n2", "n3", "n4", "n5"}));
}

TEST(MemTableOpen, AStructureWithoutFieldsRaisesAndStaysClosed) {
  TMemTableTestFixture F({});
  EXPECT_RAISES(F.Table->Open(), EDatabaseError, "MemTable doesn't have data.");
  EXPECT_FALSE(F.Table->Active());
}

TEST_F(MemTableCore, CreateDataSetOnAnOpenTableRaises) {
  EXPECT_RAISES(F.Table->CreateDataSet(), EDatabaseError, "Cannot perform this operation on an open dataset");
}

TEST(MemTableCreate, APersistentFieldOfAnUnknownTypeRaises) {
  TMemTableTestFixture F({});
  auto* Field = new TNestedDataSetField(F.Table);
  Field->SetFieldName("Nested");
  Field->SetDataSet(F.Table);
  EXPECT_RAISES(F.Table->CreateDataSet(), EDatabaseError, "Field 'Nested' is of an unknown type");
}

TEST(MemTableCreate, AnAutoIncFieldCountsDownFromMinusOne) {
  TMemTableTestFixture F({});
  auto* Id = new TIntegerField(F.Table);
  Id->SetFieldName("Id");
  Id->SetAutoGenerateValue(arAutoInc);
  Id->SetDataSet(F.Table);
  auto* Name = new TStringField(F.Table);
  Name->SetFieldName("Name");
  Name->SetDataSet(F.Table);
  F.Table->CreateDataSet();
  for (const char* N : {"a", "b", "c"}) {
    F.Table->Append();
    Name->SetAsString(N);
    F.Table->Post();
  }
  EXPECT_EQ(F.Column("Id"), (std::vector<Variant>{-1, -2, -3}));
}

TEST_F(MemTableCore, AnEditedRowShowsTheRecordUntilWrittenAndAgainAfterCancel) {
  F.Table->Next();
  F.Table->Edit();
  F.Field("Name")->SetAsString("changed");
  EXPECT_EQ(F.Field("Id")->AsInteger(), 2);
  EXPECT_EQ(F.Field("Name")->AsString(), "changed");
  F.Table->Cancel();
  EXPECT_EQ(F.Field("Name")->AsString(), "n2");
  EXPECT_EQ(F.Table->Rec()->GetDataValue(1, dvvValueEh), Variant("n2"));
}

TEST_F(MemTableCore, APostedEditReachesTheRecord) {
  F.Table->Next();
  F.Table->Edit();
  F.Field("Name")->SetAsString("changed");
  F.Table->Post();
  EXPECT_EQ(F.Table->Rec()->GetDataValue(1, dvvValueEh), Variant("changed"));
  EXPECT_EQ(F.Column("Name"), (std::vector<Variant>{"n1", "changed", "n3", "n4", "n5"}));
}

// The window's growing and shrinking must not churn the cache: only a last
// entry beyond two spares is freed.
TEST_F(MemTableCore, TheLastCacheEntryIsFreedOnlyBeyondTwoSpares) {
  const Integer Window = F.Table->BufferCount();
  ASSERT_EQ(F.Table->CacheCount(), Window + 1);
  TRecordBuffer Extra1 = F.Table->AllocRecordBuffer();
  TRecordBuffer Extra2 = F.Table->AllocRecordBuffer();
  ASSERT_EQ(F.Table->CacheCount(), Window + 3);
  F.Table->FreeRecordBuffer(Extra2);  // Window < (Window + 3) - 2
  EXPECT_EQ(F.Table->CacheCount(), Window + 2);
  EXPECT_EQ(Extra2, NoRecordBuffer);
  F.Table->FreeRecordBuffer(Extra1);  // Window is not below (Window + 2) - 2
  EXPECT_EQ(F.Table->CacheCount(), Window + 2);
  TRecordBuffer Reused = F.Table->AllocRecordBuffer();
  EXPECT_EQ(Reused, Window + 2);
  F.Table->FreeRecordBuffer(Reused);
}

TEST_F(MemTableCore, AResyncAskedForInABulkOperationRunsOnceAtItsEnd) {
  F.Link.Clear();
  F.Table->BeginRecordsViewUpdate();
  F.Table->BeginRecordsViewUpdate();
  for (int I = 0; I < 3; ++I) F.Table->Resync({});
  F.Table->EndRecordsViewUpdate(/*ForceResync=*/true);
  EXPECT_TRUE(F.Link.CallNames().empty());
  F.Table->EndRecordsViewUpdate(/*ForceResync=*/true);
  EXPECT_EQ(F.Link.CallNames(), (std::vector<String>{"DataSetChanged"}));

  F.Table->Edit();
  F.Link.Clear();
  F.Table->BeginRecordsViewUpdate();
  F.Table->Resync({});
  F.Table->EndRecordsViewUpdate(/*ForceResync=*/true);
  EXPECT_TRUE(F.Link.CallNames().empty());
}

TEST_F(MemTableCore, WithoutCachedUpdatesAppendsAndInsertsAreMerged) {
  ASSERT_FALSE(F.Table->CachedUpdates());
  F.AppendRow({6, "n6"});
  F.Table->First();
  F.Table->Next();
  F.Table->Insert();
  F.Field("Id")->SetAsInteger(10);
  F.Table->Post();
  EXPECT_FALSE(F.Table->HasCachedChanges());
  EXPECT_EQ(F.Column("Id"), (std::vector<Variant>{1, 10, 2, 3, 4, 5, 6}));
}

TEST_F(MemTableCore, AnInsertAfterLastGoesBeforeTheLastRow) {
  F.Table->Last();
  F.Table->Insert();
  F.Field("Id")->SetAsInteger(10);
  F.Table->Post();
  EXPECT_EQ(F.Column("Id"), (std::vector<Variant>{1, 2, 3, 4, 10, 5}));
}

TEST_F(MemTableCore, DeletingTheLastRowMovesToTheNewLastRow) {
  F.Table->Last();
  F.Table->Delete();
  EXPECT_EQ(F.Table->RecordCount(), 4);
  EXPECT_EQ(F.Field("Id")->AsInteger(), 4);
  EXPECT_EQ(F.Table->RecNo(), 4);
}

TEST(MemTableRevert, AnEmptyTableHasNoRecordToRevert) {
  TMemTableTestFixture F({{"Id", ftInteger}});
  F.Table->CreateDataSet();
  EXPECT_RAISES(F.Table->RevertRecord(), Exception, "There are no records.");
}

TEST(MemTableRevert, ACachedEditIsTakenBack) {
  TMemTableTestFixture F({{"Id", ftInteger}});
  F.Table->CreateDataSet();
  F.AppendRow({1});
  F.Table->SetCachedUpdates(true);
  F.Table->Edit();
  F.Field("Id")->SetAsInteger(7);
  F.Table->Post();
  F.Table->RevertRecord();
  EXPECT_EQ(F.Field("Id")->AsInteger(), 1);
}

TEST(MemTableIndexDefs, AUniqueIndexRefusesADuplicateAndKeepsTheInsert) {
  TMemTableTestFixture F({{"number", ftInteger}, {"title", ftString, 20}});
  F.Table->IndexDefs()->Add("ByNumber", "number", {ixUnique});
  F.Table->CreateDataSet();
  F.AppendRow({1, "first"});
  F.Table->Append();
  F.Field("number")->SetAsInteger(1);
  F.Field("title")->SetAsString("second");
  EXPECT_THROW(F.Table->Post(), EUniqueKeyViolationEh);
  EXPECT_EQ(F.Table->State(), dsInsert);
  EXPECT_EQ(F.Field("number")->AsInteger(), 1);
  EXPECT_EQ(F.Field("title")->AsString(), "second");
  F.Table->Cancel();
  EXPECT_EQ(F.Table->RecordCount(), 1);
  EXPECT_EQ(F.Table->MemTableData()->RecordsList()->Count(), 1);
}

TEST(MemTableIndexDefs, ReopeningDoesNotStackIndexes) {
  TMemTableTestFixture F({{"number", ftInteger}});
  F.Table->IndexDefs()->Add("ByNumber", "number", {ixUnique});
  F.Table->CreateDataSet();
  F.Table->Close();
  F.Table->Open();
  EXPECT_EQ(F.Table->MemTableData()->RecordsList()->Indexes()->Count(), 1);
}

TEST_F(MemTableCore, EmptyTableLeavesAnOpenTableWithoutRecords) {
  F.Table->EmptyTable();
  EXPECT_TRUE(F.Table->Active());
  EXPECT_EQ(F.Table->RecordCount(), 0);
  EXPECT_TRUE(F.Table->Eof());
  F.AppendRow({9, "again"});
  EXPECT_EQ(F.Column("Id"), (std::vector<Variant>{9}));
}

TEST_F(MemTableCore, DestroyTableClosesAndDropsTheStructure) {
  F.Table->DestroyTable();
  EXPECT_FALSE(F.Table->Active());
  EXPECT_EQ(F.Table->MemTableData()->DataStruct()->Count(), 0);
}

TEST(MemTableStreaming, ATableStreamedWithItsOwnerKeepsItsRecordsInItsOwnContainer) {
  InitializeGridLibMemTableEh();
  const TScopeExit Finalize([] { FinalizeGridLibMemTableEh(); });
  TStreamRoot Root(nullptr);
  auto* Table = new TMemTableEh(&Root);
  Table->SetName("Catalog");
  Table->FieldDefs()->Add("Id", ftInteger);
  Table->FieldDefs()->Add("Name", ftString, 10);
  Table->CreateDataSet();
  for (int I = 1; I <= 3; ++I) {
    Table->Append();
    Table->FieldByName("Id")->SetAsInteger(I);
    Table->FieldByName("Name")->SetAsString(String("r%1").arg(I));
    Table->Post();
  }
  Table->Close();
  TMemoryStream Stream;
  Stream.WriteComponent(&Root);

  TStreamRoot Copy(nullptr);
  Stream.SetPosition(0);
  Stream.ReadComponent(&Copy);
  auto* Read = dynamic_cast<TMemTableEh*>(Copy.FindComponent("Catalog"));
  ASSERT_NE(Read, nullptr);
  EXPECT_EQ(Read->MemTableData()->Name(), "MemTableData");
  EXPECT_EQ(Read->MemTableData()->RecordsList()->Count(), 3);
  Read->Open();
  EXPECT_EQ(Read->RecordCount(), 3);
  Read->Last();
  EXPECT_EQ(Read->FieldByName("Name")->AsString(), "r3");
}

TEST(MemTableIndexDefs, StoredDefsTravelWithTheTableAndAnswerTheProvider) {
  InitializeGridLibMemTableEh();
  const TScopeExit Finalize([] { FinalizeGridLibMemTableEh(); });
  TStreamRoot Root(nullptr);
  auto* Table = new TMemTableEh(&Root);
  Table->SetName("Catalog");
  Table->FieldDefs()->Add("number", ftInteger);
  Table->IndexDefs()->Add("ByNumber", "number", {ixUnique});
  Table->IndexDefs()->Add("Plain", "number", {});
  Table->SetStoreDefs(true);
  TMemoryStream Stream;
  Stream.WriteComponent(&Root);

  TStreamRoot Copy(nullptr);
  Stream.SetPosition(0);
  Stream.ReadComponent(&Copy);
  auto* Read = dynamic_cast<TMemTableEh*>(Copy.FindComponent("Catalog"));
  ASSERT_NE(Read, nullptr);
  ASSERT_EQ(Read->IndexDefs()->Count(), 2);
  ASSERT_EQ(Read->FieldDefs()->Count(), 1);
  EXPECT_EQ(Read->FieldDefs()->Items(0)->Name(), "number");
  EXPECT_EQ(Read->IndexDefs()->Items(0)->Name(), "ByNumber");
  EXPECT_EQ(Read->IndexDefs()->Items(0)->Options(), TIndexOptions{ixUnique});

  std::unique_ptr<TIndexDefs, void (*)(TIndexDefs*)> Unique(Read->PSGetIndexDefs({ixUnique}),
                                                            [](TIndexDefs* D) { D->Free(); });
  ASSERT_EQ(Unique->Count(), 1);
  EXPECT_EQ(Unique->Items(0)->Name(), "ByNumber");
}

TEST_F(MemTableCore, TheOldValueStateReadsTheRecordsOldData) {
  F.Table->SetCachedUpdates(true);
  F.Table->SetRecNo(2);
  F.Table->Edit();
  F.Field("Name")->SetAsString("changed");
  F.Table->Post();
  EXPECT_EQ(F.Table->UpdateStatus(), usModified);

  TDataSetState Saved = F.Table->SetTempState(dsOldValue);
  EXPECT_EQ(F.Field("Name")->AsString(), "n2");
  F.Table->RestoreState(Saved);
  Saved = F.Table->SetTempState(dsCurValue);
  EXPECT_EQ(F.Field("Name")->AsString(), "changed");
  F.Table->RestoreState(Saved);

  // A row never changed has no old data: its value stands for it.
  F.Table->SetRecNo(3);
  Saved = F.Table->SetTempState(dsOldValue);
  EXPECT_EQ(F.Field("Name")->AsString(), "n3");
  F.Table->RestoreState(Saved);
  EXPECT_EQ(F.Table->UpdateStatus(), usUnmodified);
}

TEST_F(MemTableCore, CancelUpdatesRevertsEveryLoggedChange) {
  F.Table->SetCachedUpdates(true);
  F.Table->Edit();
  F.Field("Name")->SetAsString("changed");
  F.Table->Post();
  F.Table->Last();
  F.Table->Delete();
  ASSERT_TRUE(F.Table->HasCachedChanges());
  F.Table->CancelUpdates();
  EXPECT_FALSE(F.Table->HasCachedChanges());
  EXPECT_EQ(F.Column("Name"), (std::vector<Variant>{"n1", "n2", "n3", "n4", "n5"}));
}

TEST_F(MemTableCore, ReadOnlyRefusesEditing) {
  F.Table->SetReadOnly(true);
  EXPECT_FALSE(F.Table->CanModify());
  EXPECT_THROW(F.Table->Edit(), EDatabaseError);
  F.Table->SetReadOnly(false);
  F.Table->Edit();
  EXPECT_EQ(F.Table->State(), dsEdit);
}

TEST_F(MemTableCore, ANewRecordTakesTheDefaultExpressions) {
  F.Field("Name")->SetDefaultExpression("fresh");
  int NewRecords = 0;
  F.Table->OnNewRecord = TDataSetNotifyEvent([&](TDataSet*) { ++NewRecords; });
  F.Table->Append();
  EXPECT_EQ(F.Field("Name")->AsString(), "fresh");
  EXPECT_EQ(NewRecords, 1);
  F.Table->Cancel();
}

TEST_F(MemTableCore, AStructureChangeReopensOverTheNewStructure) {
  TMTDataStructEh* Struct = F.Table->MemTableData()->DataStruct();
  Struct->BeginUpdate();
  Struct->BuildDataFieldForDef("Extra", ftInteger, 0, 0);
  Struct->EndUpdate(/*AStructChanged=*/true);
  EXPECT_TRUE(F.Table->Active());
  EXPECT_NE(F.Table->FindField("Extra"), nullptr);
  EXPECT_EQ(F.Table->RecordCount(), 5);
}

TEST_F(MemTableCore, RefreshShowsChangesMadeBesideTheTable) {
  F.Table->MemTableData()->RecordsList()->Rec(0)->SetDataValue(1, dvvValueEh, "direct");
  F.Table->Refresh();
  EXPECT_EQ(F.Table->RecordCount(), 5);
  F.Table->First();
  EXPECT_EQ(F.Field("Name")->AsString(), "direct");
}
