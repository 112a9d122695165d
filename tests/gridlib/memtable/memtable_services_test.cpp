// The memory table's services for grids and drivers: the record behind the
// cursor, shared data, view events to receivers and value lists.
#include "gridlib/memtable/memtable.h"

#include "gridlib/memtable/memoryrecord.h"
#include "gridlib/memtable/memorytreelist.h"
#include "gridlib/memtable/memtabledata.h"
#include "gridlib/memtable/memtabledatafieldvaluelist.h"
#include "gridlib/memtable/recordslist.h"
#include "gridlib/memtable/recordsview.h"
#include "platform/db/dbconsts.h"
#include "platform/rtl/stringlist.h"
#include "tests/gridlib/memtable/memtablefixture.h"

#include <functional>

using namespace memtabletest;

namespace {

class TRecordingReceiver : public TObject, public IMTEventReceiverEh {
public:
  struct Event {
    Integer RowNum;
    TMTViewEventTypeEh Type;
    Integer OldRowNum;
    bool operator==(const Event&) const = default;
  };
  void MTViewDataEvent(Integer RowNum, TMTViewEventTypeEh Type, Integer OldRowNum) override {
    Events.push_back({RowNum, Type, OldRowNum});
    if (OnEvent) OnEvent();
  }
  std::vector<Event> Events;
  std::function<void()> OnEvent;
};

class MemTableServices : public ::testing::Test {
protected:
  MemTableServices() : F({{"Id", ftInteger}, {"Name", ftString, 10}}) {
    F.Table->CreateDataSet();
    const char* Names[] = {"abc", "ABC", "x", "abc", "y"};
    for (int I = 0; I < 5; ++I) F.AppendRow({(I + 1) * 2 % 11, Names[I]});
    F.Table->First();
  }
  TRecordsListEh* list() { return F.Table->MemTableData()->RecordsList(); }

  TMemTableTestFixture F;
};

}  // namespace

TEST_F(MemTableServices, RecAndRecViewAreTheCurrentRowsAndNeedAnOpenTable) {
  F.Table->SetRecNo(3);
  EXPECT_EQ(F.Table->Rec(), list()->Rec(2));
  EXPECT_EQ(F.Table->RecView()->Rec(), list()->Rec(2));
  F.Table->Close();
  EXPECT_RAISES(F.Table->Rec(), EDatabaseError, "Cannot perform this operation on a closed dataset");
  EXPECT_RAISES(F.Table->GotoRec(nullptr), EDatabaseError, "Cannot perform this operation on a closed dataset");
}

TEST_F(MemTableServices, GotoRecReachesVisibleRecordsOnly) {
  TMemoryRecordEh* Fourth = list()->Rec(3);
  EXPECT_TRUE(F.Table->GotoRec(Fourth));
  EXPECT_EQ(F.Table->RecNo(), 4);
  F.Table->SetCachedUpdates(true);
  F.Table->SetRecNo(2);
  F.Table->Edit();
  F.Field("Name")->SetAsString("changed");
  F.Table->Post();
  F.Table->SetStatusFilter({usModified});
  EXPECT_FALSE(F.Table->GotoRec(Fourth));
  EXPECT_EQ(F.Field("Name")->AsString(), "changed");
}

TEST_F(MemTableServices, FetchRecordsOfAClosedTableReadsNothing) {
  F.Table->Close();
  EXPECT_EQ(F.Table->FetchRecords(10), 0);
  F.Table->Open();
  EXPECT_EQ(F.Table->FetchRecords(10), 0);
}

TEST_F(MemTableServices, ATableCannotShowItsOwnData) {
  EXPECT_RAISES(F.Table->SetExternalMemData(F.Table), Exception, "Circular datalinks are not allowed");
  EXPECT_EQ(F.Table->ExternalMemData(), nullptr);
  EXPECT_TRUE(F.Table->Active());
}

TEST_F(MemTableServices, TwoTablesShareOneContainerWithTheirOwnViews) {
  TMemTableTestFixture Other({{"Own", ftInteger}});
  Other.Table->CreateDataSet();
  Other.AppendRow({42});
  Other.Table->SetExternalMemData(F.Table);
  EXPECT_TRUE(Other.Table->Active());
  EXPECT_EQ(Other.Table->RecordCount(), 5);
  EXPECT_EQ(Other.Table->RecordsView()->MemTableData(), F.Table->MemTableData());

  // A change through one table shows in the other.
  Other.Table->Append();
  Other.Field("Id")->SetAsInteger(99);
  Other.Table->Post();
  F.Table->Last();
  EXPECT_EQ(F.Field("Id")->AsInteger(), 99);

  // Each keeps its own view.
  F.Table->SetCachedUpdates(true);
  F.Table->First();
  F.Table->Edit();
  F.Field("Name")->SetAsString("mod");
  F.Table->Post();
  F.Table->SetStatusFilter({usModified});
  EXPECT_EQ(F.Table->RecordCount(), 1);
  EXPECT_EQ(Other.Table->RecordCount(), 6);

  Other.Table->SetExternalMemData(nullptr);
  EXPECT_TRUE(Other.Table->Active());
  EXPECT_EQ(Other.Table->RecordsView()->MemTableData(), Other.Table->MemTableData());
  EXPECT_EQ(Other.Column("Own"), (std::vector<Variant>{42}));
}

TEST_F(MemTableServices, FreeingTheSharedTableDetachesTheOther) {
  auto* Owner = new TMemTableEh(nullptr);
  Owner->FieldDefs()->Add("Id", ftInteger);
  Owner->CreateDataSet();
  F.Table->Close();
  F.Table->FieldDefs()->Clear();
  F.Table->SetExternalMemData(Owner);
  Owner->Free();
  EXPECT_EQ(F.Table->ExternalMemData(), nullptr);
  EXPECT_EQ(F.Table->RecordsView()->MemTableData(), F.Table->MemTableData());
}

TEST_F(MemTableServices, EventsWhileControlsAreDisabledCollapseIntoOne) {
  F.Table->DisableControls();
  F.Table->MTViewDataEvent(2, mtRowChangedEh, -1);
  EXPECT_EQ(F.Table->PendingEventCount(), 1);
  EXPECT_EQ(F.Table->PendingRowNum(), 2);
  EXPECT_EQ(F.Table->PendingEvent(), mtRowChangedEh);
  F.Table->MTViewDataEvent(3, mtRowDeletedEh, -1);
  F.Table->MTViewDataEvent(4, mtRowInsertedEh, -1);
  EXPECT_EQ(F.Table->PendingEventCount(), 2);
  EXPECT_EQ(F.Table->PendingRowNum(), -1);
  EXPECT_EQ(F.Table->PendingEvent(), mtViewDataChangedEh);
  F.Table->EnableControls();
}

TEST_F(MemTableServices, ReceiversHearEventsInRegistrationOrderOnce) {
  TRecordingReceiver First, Second;
  std::vector<TObject*> Order;
  First.OnEvent = [&] { Order.push_back(&First); };
  Second.OnEvent = [&] { Order.push_back(&Second); };
  F.Table->RegisterEventReceiver(&First);
  F.Table->RegisterEventReceiver(&Second);
  F.Table->RegisterEventReceiver(&First);
  F.Table->MTViewDataEvent(1, mtRowChangedEh, -1);
  EXPECT_EQ(Order, (std::vector<TObject*>{&First, &Second}));
  EXPECT_EQ(First.Events, (std::vector<TRecordingReceiver::Event>{{1, mtRowChangedEh, -1}}));
  F.Table->UnregisterEventReceiver(&First);
  F.Table->UnregisterEventReceiver(&Second);
}

TEST_F(MemTableServices, AReceiverLeavingDuringAnEventHearsNothingMore) {
  TRecordingReceiver First, Second, Third;
  F.Table->RegisterEventReceiver(&First);
  F.Table->RegisterEventReceiver(&Second);
  F.Table->RegisterEventReceiver(&Third);
  First.OnEvent = [&] {
    F.Table->UnregisterEventReceiver(&First);
    F.Table->UnregisterEventReceiver(&Second);
  };
  F.Table->MTViewDataEvent(1, mtRowChangedEh, -1);
  F.Table->MTViewDataEvent(2, mtRowChangedEh, -1);
  EXPECT_EQ(First.Events.size(), 1u);
  EXPECT_TRUE(Second.Events.empty());
  EXPECT_EQ(Third.Events.size(), 2u);
  F.Table->UnregisterEventReceiver(&Third);
}

TEST_F(MemTableServices, AClosedTableSendsNoViewEvents) {
  TRecordingReceiver Receiver;
  F.Table->RegisterEventReceiver(&Receiver);
  F.Table->Close();
  F.Table->MTViewDataEvent(1, mtRowChangedEh, -1);
  EXPECT_TRUE(Receiver.Events.empty());
  F.Table->UnregisterEventReceiver(&Receiver);
}

TEST_F(MemTableServices, ValueListsListDistinctValuesInValueOrder) {
  IPtr<IMemTableDataFieldValueListEh> Ids = F.Table->GetFieldValueList("Id");
  ASSERT_TRUE(Ids);
  EXPECT_EQ(Ids->GetValues()->Text(), "2\r\n4\r\n6\r\n8\r\n10\r\n");

  IPtr<IMemTableDataFieldValueListEh> Names = F.Table->GetFieldValueList("Name");
  EXPECT_EQ(Names->GetValues()->Count(), 4);  // abc, ABC, x, y
  F.Table->SetFilterOptions({foCaseInsensitive});
  IPtr<IMemTableDataFieldValueListEh> Folded = F.Table->GetFieldValueList("Name");
  EXPECT_EQ(Folded->GetValues()->Count(), 3);

  EXPECT_FALSE(F.Table->GetFieldValueList("Nope"));
}

TEST_F(MemTableServices, AChangeOnlyMarksAValueListObsolete) {
  auto* List = new TMemTableDataFieldValueListEh(F.Table);
  IPtr<IMemTableDataFieldValueListEh> Ref(List);
  List->SetDataObject(F.Table->MemTableData());
  List->SetFieldName("Id");
  EXPECT_FALSE(List->DataObsoleted());
  F.AppendRow({3, "z"});
  EXPECT_TRUE(List->DataObsoleted());
  EXPECT_EQ(List->Values()->Count(), 6);
  EXPECT_FALSE(List->DataObsoleted());
}

TEST_F(MemTableServices, AValueListCanBeLimitedByAFilter) {
  auto* List = new TMemTableDataFieldValueListEh(F.Table);
  IPtr<IMemTableDataFieldValueListEh> Ref(List);
  List->SetDataObject(F.Table->MemTableData());
  List->SetFieldName("Id");
  List->SetFilter("Id > 5");
  EXPECT_EQ(List->Values()->Text(), "6\r\n8\r\n10\r\n");
}

TEST_F(MemTableServices, AValueListOverARecordsViewSkipsEmptyTexts) {
  auto* List = new TMemTableDataFieldValueListEh(F.Table);
  IPtr<IMemTableDataFieldValueListEh> Ref(List);
  F.AppendRow({12, Null()});
  List->SetDataObject(F.Table->RecordsView());
  List->SetFieldName("Name");
  EXPECT_EQ(List->Values()->Text(), "ABC\r\nabc\r\nx\r\ny\r\n");
}
