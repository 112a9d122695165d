// The memory table as a detail: filtering its own records by the master's
// key, the master link, new records taking the master's key, and reading
// again through the driver for each master record.
#include "gridlib/memtable/datadriver.h"
#include "gridlib/memtable/memtable.h"
#include "gridlib/memtable/memtabledata.h"
#include "gridlib/memtable/recordslist.h"
#include "gridlib/memtable/recordsview.h"
#include "platform/db/dbconsts.h"
#include "platform/db/indexdefs.h"
#include "platform/rtl/scopeexit.h"
#include "tests/gridlib/memtable/memtableviewtesting.h"
#include "tests/platform/fd/fdfixture.h"

#include <functional>
#include <tuple>

namespace {

// Masters 1..4 (4 has no details, 5 repeats key 1 under another name, 6 has
// a Null key); details of 1, 2 and 3 interleaved, one detail without key.
class MasterDetailTest : public ::testing::Test {
protected:
  MasterDetailTest()
      : Master({{"Id", ftInteger}, {"Name", ftString, 20}}),
        Detail({{"Id", ftInteger}, {"MasterId", ftInteger}, {"Text", ftString, 20}}) {
    const Variant Masters[][2] = {{1, "one"}, {2, "two"}, {3, "three"}, {4, "four"}, {1, "one again"},
                                  {Null(), "none"}};
    for (const auto& M : Masters) Master.AppendRow({M[0], M[1]});
    const Variant Details[][3] = {{10, 1, "a"}, {20, 2, "b"}, {11, 1, "c"}, {30, 3, "d"},
                                  {21, 2, "e"}, {12, 1, "f"}, {99, Null(), "orphan"}};
    for (const auto& D : Details) Detail.AppendRow({D[0], D[1], D[2]});
    Master.Table->First();
  }
  void Link(TMasterDetailSideEh Side = mdsOnSelfEh) {
    Detail.Table->SetMasterDetailSide(Side);
    Detail.Table->SetMasterSource(Master.Source);
    Detail.Table->SetMasterFields(QStringLiteral("Id"));
    Detail.Table->SetDetailFields(QStringLiteral("MasterId"));
  }
  void GoToMaster(int RecNo) { Master.Table->SetRecNo(RecNo); }

  TMemTableViewFixture Master;
  TMemTableViewFixture Detail;
};

TEST_F(MasterDetailTest, ScrollingTheMasterShowsItsDetails) {
  Link();
  EXPECT_TRUE(Detail.Table->DetailMode());
  struct Case {
    int MasterRecNo;
    std::vector<int> Ids;
  } Cases[] = {
      {1, {10, 11, 12}}, {2, {20, 21}}, {3, {30}},
      {4, {}},  // a master without details
      {6, {}},  // a Null key matches nothing, not even a Null detail key
      {1, {10, 11, 12}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.MasterRecNo);
    GoToMaster(C.MasterRecNo);
    EXPECT_EQ(Detail.Ids(), C.Ids);
  }
}

TEST_F(MasterDetailTest, AnIndexOnTheDetailFieldsGivesTheSameRows) {
  Detail.Table->Close();
  TIndexDef* Def = Detail.Table->IndexDefs()->AddIndexDef();
  Def->SetName(QStringLiteral("ByMaster"));
  Def->SetFields(QStringLiteral("MasterId"));
  Detail.Table->Open();
  Link();
  for (int RecNo : {1, 2, 3, 4, 6}) {
    SCOPED_TRACE(RecNo);
    GoToMaster(RecNo);
    std::vector<int> Expected;
    const Variant Key = Master.Field("Id")->AsVariant();
    for (const auto& [Id, MasterId] : std::vector<std::pair<int, Variant>>{
             {10, 1}, {20, 2}, {11, 1}, {30, 3}, {21, 2}, {12, 1}, {99, Null()}})
      if (!VarIsNull(Key) && !VarIsNull(MasterId) && MasterId.AsInteger() == Key.AsInteger()) Expected.push_back(Id);
    EXPECT_EQ(Detail.Ids(), Expected);
  }
}

// Two details over the same records, one with an index on the detail field:
// whatever the filter, sort order or edits, every master record shows the
// same rows in both, and the indexed view stays consistent with bookmarks
// in row order.
class IndexedDetailTest : public ::testing::Test {
protected:
  IndexedDetailTest() : Master({{"Id", ftInteger}, {"Name", ftString, 20}}) {
    for (const Variant& Key : {Variant(1), Variant(2), Variant(3), Variant(4), Variant(5), Variant(2), Null()})
      Master.AppendRow({Key, "m"});
    Indexed.Table->Close();
    Indexed.Table->IndexDefs()->Add(QStringLiteral("ByMaster"), QStringLiteral("MasterId"), {});
    Indexed.Table->Open();
    // Keys 1..4 spread over the records (5 has none), every sixth Null;
    // texts repeat, so a sort by Text meets ties.
    for (int I = 0; I < 24; ++I) {
      const Variant Key = I % 6 == 5 ? Null() : Variant(I * 7 % 4 + 1);
      both([&](TMemTableViewFixture& D) { D.AppendRow({100 + I, Key, QStringLiteral("k%1").arg(I * 5 % 7)}); });
    }
    both([this](TMemTableViewFixture& D) {
      D.Table->SetMasterSource(Master.Source);
      D.Table->SetMasterFields(QStringLiteral("Id"));
      D.Table->SetDetailFields(QStringLiteral("MasterId"));
    });
  }
  void both(const std::function<void(TMemTableViewFixture&)>& Step) {
    Step(Indexed);
    Step(Plain);
  }
  // The same detail record made current in both tables.
  void locate(int Id) {
    both([Id](TMemTableViewFixture& D) { EXPECT_TRUE(D.Table->Locate(QStringLiteral("Id"), Id, {})) << Id; });
  }
  // Walks every master record; answers how many rows the details showed.
  size_t expectSameRowsForEveryMaster() {
    size_t Rows = 0;
    for (int RecNo = 1; RecNo <= Master.Table->RecordCount(); ++RecNo) {
      SCOPED_TRACE(testing::Message() << "master row " << RecNo);
      Master.Table->SetRecNo(RecNo);
      const std::vector<int> Ids = Indexed.Ids();
      EXPECT_EQ(Ids, Plain.Ids());
      EXPECT_TRUE(Indexed.Table->RecordsView()->CheckConsistency());
      EXPECT_TRUE(BookmarksFollowRows(Indexed.Table));
      Rows += Ids.size();
    }
    return Rows;
  }

  TMemTableViewFixture Master;
  TMemTableViewFixture Indexed{{"Id", ftInteger}, {"MasterId", ftInteger}, {"Text", ftString, 20}};
  TMemTableViewFixture Plain{{"Id", ftInteger}, {"MasterId", ftInteger}, {"Text", ftString, 20}};
};

struct TDetailViewCase {
  const char* Name;
  const char* Filter;
  const char* SortOrder;
};

void PrintTo(const TDetailViewCase& C, std::ostream* Out) { *Out << C.Name; }

class IndexedDetailViews : public IndexedDetailTest, public testing::WithParamInterface<TDetailViewCase> {};

TEST_P(IndexedDetailViews, EveryMasterShowsTheRowsOfAFullScan) {
  const TDetailViewCase& C = GetParam();
  both([&C](TMemTableViewFixture& D) {
    D.Table->SetFilter(QString::fromLatin1(C.Filter));
    D.Table->SetFiltered(*C.Filter != 0);
    D.Table->SetSortOrder(QString::fromLatin1(C.SortOrder));
  });
  EXPECT_GT(expectSameRowsForEveryMaster(), 0u);

  // Edits in the detail, each under the master of the record's key: an
  // insert, a key moved to another master, a text moved in the sort order,
  // a delete.  The records chosen pass every case's filter.
  Master.Table->SetRecNo(3);
  both([](TMemTableViewFixture& D) {
    D.Table->Append();
    D.Field("Id")->SetValue(200);
    D.Field("Text")->SetValue(QStringLiteral("k0"));
    D.Table->Post();
  });
  const std::tuple<int, int, const char*, Variant> Edits[] = {
      {4, 113, "MasterId", 5}, {1, 112, "Text", QStringLiteral("a")}, {3, 106, "Text", QStringLiteral("z")}};
  for (const auto& [MasterRecNo, Id, Field, Value] : Edits) {
    Master.Table->SetRecNo(MasterRecNo);
    locate(Id);
    both([&](TMemTableViewFixture& D) {
      D.Table->Edit();
      D.Field(Field)->SetValue(Value);
      D.Table->Post();
    });
  }
  Master.Table->SetRecNo(1);
  locate(108);
  both([](TMemTableViewFixture& D) { D.Table->Delete(); });
  expectSameRowsForEveryMaster();
}

INSTANTIATE_TEST_SUITE_P(Cases, IndexedDetailViews,
                         testing::Values(TDetailViewCase{"RecordsOrder", "", ""},
                                         TDetailViewCase{"Filter", "Text <> 'k3'", ""},
                                         TDetailViewCase{"SortOrder", "", "Text"},
                                         TDetailViewCase{"FilterAndDescendingSort", "Id > 105", "Text DESC"}),
                         [](const testing::TestParamInfo<TDetailViewCase>& Info) { return Info.param.Name; });

TEST_F(IndexedDetailTest, AMasterMoveFiltersOnlyTheIndexedRecordsOfItsKey) {
  int Asked = 0;
  Indexed.Table->SetOnFilterRecord(TFilterRecordEvent([&Asked](TDataSet*, bool&) { ++Asked; }));
  Indexed.Table->SetFiltered(true);
  struct Case {
    int MasterRecNo;
    int Candidates;  // records holding the master's key
  } Cases[] = {{2, 4}, {5, 0}, {1, 6}, {7, 0}};  // 5 has no details, 7 a Null key
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.MasterRecNo);
    Asked = 0;
    Master.Table->SetRecNo(C.MasterRecNo);
    EXPECT_EQ(Asked, C.Candidates);
    EXPECT_EQ(Indexed.Ids(), Plain.Ids());
  }
}

TEST_F(MasterDetailTest, AnotherMasterWithTheSameKeyKeepsTheView) {
  Link();
  TRecordingReceiver Receiver;
  Detail.Table->RegisterEventReceiver(&Receiver);
  GoToMaster(5);  // key 1 again
  EXPECT_TRUE(Receiver.Events.empty());
  GoToMaster(2);
  EXPECT_FALSE(Receiver.Events.empty());
  Detail.Table->UnregisterEventReceiver(&Receiver);
}

TEST_F(MasterDetailTest, AnAppendedDetailGetsTheMastersKey) {
  Link();
  GoToMaster(3);
  Detail.Table->Append();
  EXPECT_EQ(Detail.Field("MasterId")->AsInteger(), 3);
  Detail.Field("Id")->SetValue(31);
  Detail.Table->Post();
  EXPECT_EQ(Detail.Ids(), (std::vector<int>{30, 31}));
  GoToMaster(2);
  EXPECT_EQ(Detail.Ids(), (std::vector<int>{20, 21}));
}

TEST_F(MasterDetailTest, ClearingTheMasterSourceShowsEveryRecord) {
  Link();
  GoToMaster(2);
  Detail.Table->SetMasterSource(nullptr);
  EXPECT_FALSE(Detail.Table->DetailMode());
  EXPECT_EQ(Detail.Ids(), (std::vector<int>{10, 20, 11, 30, 21, 12, 99}));
}

TEST_F(MasterDetailTest, AnEmptyMasterShowsNoDetails) {
  Link();
  Master.Table->EmptyTable();
  EXPECT_EQ(Detail.Ids(), std::vector<int>{});
  Master.AppendRow({2, "two"});
  EXPECT_EQ(Detail.Ids(), (std::vector<int>{20, 21}));
}

TEST_F(MasterDetailTest, AMasterFieldTheMasterLacksRaisesTheFieldError) {
  Detail.Table->SetMasterSource(Master.Source);
  try {
    Detail.Table->SetMasterFields(QStringLiteral("Nope"));
    FAIL() << "no exception";
  } catch (const EDatabaseError& E) {
    EXPECT_TRUE(E.Message.contains(QStringLiteral("Nope"))) << E.Message.toStdString();
  }
  EXPECT_FALSE(Detail.Table->DetailMode());
  Detail.Table->SetDetailFields(QStringLiteral("MasterId"));
  EXPECT_FALSE(Detail.Table->DetailMode());
  EXPECT_EQ(Detail.Ids().size(), 7u);
}

TEST_F(MasterDetailTest, ADetailFieldTheTableLacksRaises) {
  Detail.Table->SetMasterSource(Master.Source);
  Detail.Table->SetMasterFields(QStringLiteral("Id"));
  EXPECT_THROW(Detail.Table->SetDetailFields(QStringLiteral("Nope")), EDatabaseError);
}

// ---------------------------------------------------------------------------
// over a query: the master, and the provider re-read per master record

// The plain driver over a query taking ":sbgr4_nmb"; it counts the readers
// it produces.
class TCountingDriver : public TDataDriverEh {
public:
  explicit TCountingDriver(TFDQuery* Provider) : TDataDriverEh(nullptr) { SetProviderDataSet(Provider); }
  TDataSet* DefaultProduceDataReader(bool& FreeOnEof) override {
    ++Readers;
    return TDataDriverEh::DefaultProduceDataReader(FreeOnEof);
  }
  int Readers = 0;
};

class ProviderDetailTest : public ::testing::Test {
protected:
  ProviderDetailTest()
      : Db("INSERT INTO sbgr4_nm VALUES (1, 0, 'first'), (2, 0, 'second'), (3, 0, 'second again'), "
           "(4, 0, 'empty');\n"
           "INSERT INTO bibliona (number, sbgr4_nmb, author) VALUES (1, 1, 'a'), (2, 2, 'b'), (3, 1, 'c'), "
           "(4, 3, 'd');") {
    MasterQuery = Db.Query("SELECT sbgr4_nmb, sbgr4_name FROM sbgr4_nm ORDER BY sbgr4_nmb");
    MasterSource = new TDataSource(nullptr);
    MasterSource->SetDataSet(MasterQuery);
    Provider = Db.Query(
        "SELECT number, sbgr4_nmb, author FROM bibliona WHERE sbgr4_nmb = :sbgr4_nmb ORDER BY number",
        /*Open=*/false);
    Driver = new TCountingDriver(Provider);
    Detail = new TMemTableEh(nullptr);
    Detail->SetFetchAllOnOpen(true);
    Detail->SetDataDriver(Driver);
  }
  ~ProviderDetailTest() override {
    Detail->Free();
    Driver->Free();
    MasterSource->Free();
  }
  std::vector<String> Authors() {
    std::vector<String> Result;
    for (Detail->First(); !Detail->Eof(); Detail->Next())
      Result.push_back(Detail->FieldByName(QStringLiteral("author"))->AsString());
    return Result;
  }

  fdtest::TCatalogFixture Db;
  TFDQuery* MasterQuery;
  TDataSource* MasterSource;
  TFDQuery* Provider;
  TCountingDriver* Driver;
  TMemTableEh* Detail;
};

TEST_F(ProviderDetailTest, OnProviderReadsAgainOnlyWhenTheParameterChanges) {
  Detail->SetMasterDetailSide(mdsOnProviderEh);
  Detail->SetMasterSource(MasterSource);
  Detail->SetMasterFields(QStringLiteral("sbgr4_nmb"));
  Detail->Open();
  EXPECT_EQ(Authors(), (std::vector<String>{QStringLiteral("a"), QStringLiteral("c")}));
  const int ReadersAtOpen = Driver->Readers;
  MasterQuery->Next();
  EXPECT_EQ(Authors(), std::vector<String>{QStringLiteral("b")});
  EXPECT_EQ(Driver->Readers, ReadersAtOpen + 1);
  // A master move that leaves the value as it is reads nothing.
  MasterQuery->Refresh();
  MasterQuery->SetRecNo(2);
  EXPECT_EQ(Driver->Readers, ReadersAtOpen + 1);
  MasterQuery->Last();
  EXPECT_EQ(Authors(), std::vector<String>{});
}

TEST_F(ProviderDetailTest, OnSelfAfterProviderReadsEachMasterValueOnce) {
  Detail->SetFetchAllOnOpen(false);
  Detail->SetMasterDetailSide(mdsOnSelfAfterProviderEh);
  Detail->SetMasterSource(MasterSource);
  Detail->SetMasterFields(QStringLiteral("sbgr4_nmb"));
  Detail->SetDetailFields(QStringLiteral("sbgr4_nmb"));
  Detail->Open();
  EXPECT_TRUE(Detail->DetailMode());
  EXPECT_EQ(Authors(), (std::vector<String>{QStringLiteral("a"), QStringLiteral("c")}));
  const int ReadersAtOpen = Driver->Readers;
  struct Step {
    int MasterRecNo;
    std::vector<String> Authors;
    int NewReaders;
  } Steps[] = {
      {2, {QStringLiteral("b")}, 1},
      {1, {QStringLiteral("a"), QStringLiteral("c")}, 0},  // visited: nothing is read
      {3, {QStringLiteral("d")}, 1},
      {2, {QStringLiteral("b")}, 0},
      {4, {}, 1},
  };
  int Readers = ReadersAtOpen;
  for (const Step& S : Steps) {
    SCOPED_TRACE(S.MasterRecNo);
    MasterQuery->SetRecNo(S.MasterRecNo);
    EXPECT_EQ(Authors(), S.Authors);
    Readers += S.NewReaders;
    EXPECT_EQ(Driver->Readers, Readers);
  }
  // The table keeps every record it read.
  EXPECT_EQ(Detail->MemTableData()->RecordsList()->Count(), 4);
}

TEST_F(ProviderDetailTest, AQueryMasterFiltersATableOnItsOwnSide) {
  Provider->SQL()->SetText(QStringLiteral("SELECT number, sbgr4_nmb, author FROM bibliona ORDER BY number"));
  Detail->Open();
  Detail->SetMasterSource(MasterSource);
  Detail->SetMasterFields(QStringLiteral("sbgr4_nmb"));
  Detail->SetDetailFields(QStringLiteral("sbgr4_nmb"));
  EXPECT_EQ(Authors(), (std::vector<String>{QStringLiteral("a"), QStringLiteral("c")}));
  MasterQuery->SetRecNo(3);
  EXPECT_EQ(Authors(), std::vector<String>{QStringLiteral("d")});
  Detail->Append();
  EXPECT_EQ(Detail->FieldByName(QStringLiteral("sbgr4_nmb"))->AsInteger(), 3);
  Detail->Cancel();
}

}  // namespace
