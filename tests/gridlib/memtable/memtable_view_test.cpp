#include "gridlib/memtable/memorytreelist.h"
#include "gridlib/memtable/recordsview.h"
#include "tests/gridlib/memtable/memtableviewtesting.h"
#include "tests/platform/fd/fdfixture.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/scopeexit.h"

#include <exception>

namespace {

class MemTableView : public ::testing::Test, public TMemTableViewFixture {
protected:
  MemTableView() : TMemTableViewFixture({{"Id", ftInteger}, {"Name", ftString, 10}, {"ParentId", ftInteger}}) {}
  ~MemTableView() override { Table->UnregisterEventReceiver(&Receiver); }

  void fill(std::initializer_list<const char*> Names) {
    int Id = 0;
    for (const char* Name : Names) AppendRow({++Id, Name, Null()});
  }
  void listen() {
    Table->RegisterEventReceiver(&Receiver);
    Receiver.Events.clear();
  }
  int currentId() { return Table->FieldByName(QStringLiteral("Id"))->AsInteger(); }

  TRecordingReceiver Receiver;
};

// ---------------------------------------------------------------------------
// filtering

TEST_F(MemTableView, TheSameFilterTextKeepsTheCursorAnotherGoesFirst) {
  fill({"a", "b", "c", "d"});
  Table->SetFilter(QStringLiteral("Id > 1"));
  Table->SetFiltered(true);
  EXPECT_EQ(Ids(), (std::vector<int>{2, 3, 4}));
  Table->SetRecNo(3);
  Table->SetFilter(QStringLiteral("Id > 1"));
  EXPECT_EQ(currentId(), 4);
  Table->SetFilter(QStringLiteral("Id > 2"));
  EXPECT_EQ(currentId(), 3);
  EXPECT_EQ(Ids(), (std::vector<int>{3, 4}));
  // A text that does not parse keeps the text that filters.
  EXPECT_THROW(Table->SetFilter(QStringLiteral("Id >")), Exception);
  EXPECT_EQ(Table->Filter(), QStringLiteral("Id > 2"));
  EXPECT_EQ(Ids(), (std::vector<int>{3, 4}));
}

TEST_F(MemTableView, FilteredWithoutTextOrHandlerShowsEveryRecord) {
  fill({"a", "b"});
  Table->SetFiltered(true);
  EXPECT_EQ(Ids(), (std::vector<int>{1, 2}));
  // A handler installed on the filtered table re-filters at once.
  Table->SetOnFilterRecord(TFilterRecordEvent([this](TDataSet*, bool& Accept) { Accept = currentId() == 2; }));
  EXPECT_EQ(Ids(), (std::vector<int>{2}));
}

TEST_F(MemTableView, CaseInsensitiveTextFieldsOptionRefilters) {
  fill({"abc", "ABC", "x"});
  Table->SetFilter(QStringLiteral("Name = 'abc'"));
  Table->SetFiltered(true);
  EXPECT_EQ(Ids(), (std::vector<int>{1}));
  Table->SetOptions(TMemTableOptionsEh{mtoTextFieldsCaseInsensitive});
  EXPECT_TRUE(Table->FilterOptions().Contains(foCaseInsensitive));
  EXPECT_EQ(Ids(), (std::vector<int>{1, 2}));
  Table->SetFilterOptions(TFilterOptions());
  EXPECT_EQ(Ids(), (std::vector<int>{1}));
}

TEST_F(MemTableView, AnAbortEndsTheRebuildOtherErrorsAreReported) {
  fill({"a", "b", "c"});
  std::vector<String> Reported;
  const TExceptionHandler Old = SetExceptionHandler([&Reported](std::exception_ptr E) {
    try {
      std::rethrow_exception(E);
    } catch (const Exception& X) {
      Reported.push_back(X.Message);
    }
  });
  const TScopeExit Restore([&Old] { SetExceptionHandler(Old); });

  Table->SetOnFilterRecord(TFilterRecordEvent([this](TDataSet*, bool& Accept) {
    if (currentId() == 2) throw Exception(QStringLiteral("bad record"));
    Accept = currentId() != 3;
  }));
  Table->SetFiltered(true);
  EXPECT_EQ(Reported, (std::vector<String>{QStringLiteral("bad record")}));
  EXPECT_EQ(Ids(), (std::vector<int>{1, 2}));  // the failing record keeps the verdict it had

  Table->SetFiltered(false);
  Table->SetOnFilterRecord(TFilterRecordEvent([this](TDataSet*, bool&) {
    if (currentId() == 2) Abort();
  }));
  EXPECT_THROW(Table->SetFiltered(true), EAbort);
  EXPECT_FALSE(Table->InstantReadMode());
}

// The memory table and a query over the same rows answer every filter alike.
// A comparison with a Null side is not Null: Null orders below every value,
// so "A <> 2" keeps a record whose A is Null.  Only a verdict that is Null
// itself, or not a Boolean, rejects the record.
TEST(MemTableFilterAgreement, TheTableAndAQueryKeepTheSameRows) {
  fdtest::TTempDatabase File;
  auto* Connection = new TFDConnection(nullptr);
  const TScopeExit FreeConnection([Connection] { Connection->Free(); });
  fdtest::SetParams(*Connection, File.Path);
  Connection->ExecSQLScript(QStringLiteral(
      "CREATE TABLE t (Id INTEGER PRIMARY KEY, A INTEGER, Name VARCHAR(10));"
      "INSERT INTO t VALUES (1, 2, 'x'), (2, NULL, NULL), (3, 5, 'y'), (4, NULL, '');"));
  auto* Query = new TFDQuery(Connection);
  Query->SetConnection(Connection);
  Query->SQL()->SetText(QStringLiteral("select * from t order by Id"));
  Query->Open();

  TMemTableViewFixture Mem({{"Id", ftInteger}, {"A", ftInteger}, {"Name", ftString, 10}});
  for (Query->First(); !Query->Eof(); Query->Next())
    Mem.AppendRow({Query->Fields()->Fields(0)->Value(), Query->Fields()->Fields(1)->Value(),
                   Query->Fields()->Fields(2)->Value()});

  const auto filteredIds = [](TDataSet* DataSet, const String& Filter) {
    DataSet->SetFilter(Filter);
    DataSet->SetFiltered(true);
    std::vector<int> Ids;
    for (DataSet->First(); !DataSet->Eof(); DataSet->Next()) Ids.push_back(DataSet->Fields()->Fields(0)->AsInteger());
    return Ids;
  };
  struct Case {
    const char* Filter;
    std::vector<int> Ids;
  } Cases[] = {
      {"A <> 2", {2, 3, 4}},
      {"NOT (A = 2)", {2, 3, 4}},
      {"A = 2", {1}},
      {"A < 3", {1, 2, 4}},
      {"A > 2", {3}},
      {"A IS NULL", {2, 4}},
      {"Name <> 'x'", {2, 3, 4}},  // a Null text compares as an empty one
      {"(A = 2) OR NULL", {1}},    // false OR Null is Null: rejected
      {"A + 1", {}},               // not a Boolean: rejected
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Filter);
    EXPECT_EQ(filteredIds(Mem.Table, QString::fromLatin1(C.Filter)), C.Ids);
    EXPECT_EQ(filteredIds(Query, QString::fromLatin1(C.Filter)), C.Ids);
  }
}

// ---------------------------------------------------------------------------
// view events

TEST_F(MemTableView, EventsHeldWhileControlsAreDisabled) {
  fill({"a", "b", "c"});
  listen();
  Table->DisableControls();
  Table->First();
  for (int I = 0; I < 3; ++I, Table->Next()) {
    Table->Edit();
    Table->FieldByName(QStringLiteral("Name"))->SetAsString(QStringLiteral("z"));
    Table->Post();
  }
  Table->EnableControls();
  EXPECT_EQ(Receiver.Events, (std::vector<String>{QStringLiteral("changed view")}));

  Receiver.Events.clear();
  Table->DisableControls();
  Table->First();
  Table->Edit();
  Table->FieldByName(QStringLiteral("Name"))->SetAsString(QStringLiteral("y"));
  Table->Post();
  Table->EnableControls();
  EXPECT_EQ(Receiver.Events, (std::vector<String>{QStringLiteral("changed 0")}));
}

TEST_F(MemTableView, AnInsertRowComesAndGoes) {
  fill({"a", "b", "c"});
  Table->SetRecNo(2);
  listen();
  Table->Insert();
  EXPECT_EQ(Receiver.Events, (std::vector<String>{QStringLiteral("inserted 1")}));
  Receiver.Events.clear();
  Table->Cancel();
  EXPECT_EQ(Receiver.Events, (std::vector<String>{QStringLiteral("deleted 1")}));
}

TEST_F(MemTableView, AReceiverMayLeaveWhileItHears) {
  fill({"a"});
  TRecordingReceiver Other;
  listen();
  Table->RegisterEventReceiver(&Other);
  Receiver.OnEvent = [this, &Other] {
    Table->UnregisterEventReceiver(&Receiver);
    Table->UnregisterEventReceiver(&Other);
  };
  Table->Edit();
  Table->FieldByName(QStringLiteral("Name"))->SetAsString(QStringLiteral("z"));
  Table->Post();
  EXPECT_EQ(Receiver.Events.size(), 1u);
  EXPECT_TRUE(Other.Events.empty());
  Table->Edit();
  Table->FieldByName(QStringLiteral("Name"))->SetAsString(QStringLiteral("y"));
  Table->Post();
  EXPECT_EQ(Receiver.Events.size(), 1u);
}

// ---------------------------------------------------------------------------
// tree nodes

//   rows: 1 a        level 1
//         └ 2 b      level 2
//           └ 3 c    level 3
//         4 d        level 1
class MemTableTreeView : public MemTableView {
protected:
  MemTableTreeView() {
    for (auto [Id, Name, Parent] : {std::tuple{1, "a", Null()}, {2, "b", Variant(1)}, {3, "c", Variant(2)},
                                    {4, "d", Null()}})
      AppendRow({Id, Name, Parent});
    TRecordsViewEh* View = Table->RecordsView();
    View->SetTreeViewKeyFieldName(QStringLiteral("Id"));
    View->SetTreeViewRefParentFieldName(QStringLiteral("ParentId"));
    View->MemoryTreeList()->SetDefaultNodeExpanded(true);
    View->SetViewAsTreeList(true);
    Table->Resync({});
  }
};

TEST_F(MemTableTreeView, TreeNodeProperties) {
  ASSERT_EQ(Ids(), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_TRUE(Table->IsTreeView());
  Table->SetRecNo(2);
  EXPECT_EQ(Table->TreeNodeLevel(), 2);
  EXPECT_TRUE(Table->TreeNodeExpanded());
  EXPECT_TRUE(Table->TreeNodeHasChildren());
  EXPECT_EQ(Table->TreeNodeChildCount(), 1);
  EXPECT_EQ(Table->PrevRowTreeNodeLevel(), 1);
  EXPECT_EQ(Table->NextRowTreeNodeLevel(), 3);
  EXPECT_TRUE(Table->HasNextVisibleSibling(1));  // node 1 has node 4 after it
  EXPECT_FALSE(Table->HasPriorVisibleSibling(1));
  EXPECT_FALSE(Table->HasNextVisibleSibling(2));
  EXPECT_FALSE(Table->HasNextVisibleSibling(0));
  Table->SetRecNo(4);
  EXPECT_EQ(Table->NextRowTreeNodeLevel(), -1);
}

TEST_F(MemTableTreeView, ExpandingAnotherRowAsksWithThatRowShown) {
  Table->SetRowTreeNodeExpanded(0, false);
  ASSERT_EQ(Ids(), (std::vector<int>{1, 4}));
  Table->First();
  std::vector<std::pair<Integer, int>> Asked;  // (RecNo, Id the fields showed)
  Table->OnTreeNodeExpanding = TMTTreeNodeExpandingEventEh([&](TObject*, Integer RecNo, bool&) {
    Asked.push_back({RecNo, currentId()});
  });
  Table->SetRowTreeNodeExpanded(0, true);
  EXPECT_EQ(currentId(), 1);
  ASSERT_FALSE(Asked.empty());
  EXPECT_EQ(Asked.back(), (std::pair<Integer, int>{1, 1}));
  Asked.clear();

  Table->SetRowTreeNodeExpanded(1, false);  // node 2, not the current row
  Table->SetRowTreeNodeExpanded(1, true);
  ASSERT_FALSE(Asked.empty());
  EXPECT_EQ(Asked.back(), (std::pair<Integer, int>{2, 2}));
  EXPECT_EQ(currentId(), 1);
  EXPECT_FALSE(Table->InstantReadMode());
}

TEST_F(MemTableTreeView, CollapsingTheCurrentRowsBranchAnswersTheVisibleAncestor) {
  Table->SetRecNo(3);  // node 3
  EXPECT_EQ(Table->SetRowTreeNodeExpanded(0, false), 1);
  EXPECT_FALSE(Table->InstantReadMode());
  // A row with no node answers -1 and leaves instant read all the same.
  EXPECT_EQ(Table->SetRowTreeNodeExpanded(10, true), -1);
  EXPECT_FALSE(Table->InstantReadMode());
  Table->SortByFields(QStringLiteral("Id DESC"));  // a sort is allowed again
}

TEST_F(MemTableTreeView, CancellingAnInsertInATreeChangesTheView) {
  listen();
  Table->Insert();
  Receiver.Events.clear();
  Table->Cancel();
  EXPECT_EQ(Receiver.Events.back(), QStringLiteral("changed view"));
}

}  // namespace
