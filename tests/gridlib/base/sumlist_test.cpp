#include "gridlib/base/sumlist.h"

#include "platform/rtl/typinfo.h"
#include "tests/gridlib/base/dbtestsupport.h"
#include "tests/gridlib/base/fakememtable.h"

#include <gtest/gtest.h>

using namespace basetest;

namespace {

// A dataset class that publishes "MasterSource", as detail datasets do.
class TDetailDataSet : public TRowListDataSet {
  RTL_CLASS(TDetailDataSet, TRowListDataSet)
public:
  explicit TDetailDataSet(TComponent* AOwner) : TRowListDataSet(AOwner) {}
  static void DescribeProperties(TPropertyTable& Props) {
    Props.Add("MasterSource", &TDetailDataSet::MasterSource, &TDetailDataSet::MasterSource);
  }
  TDataSource* MasterSource = nullptr;
};

double AsDouble(const Variant& V) { return V.AsDouble(); }

struct SumListTest : ::testing::Test {
  TDetailDataSet DataSet{nullptr};
  TDBSumListProducer* Producer = new TDBSumListProducer(nullptr);
  std::vector<String> Journal;

  void SetUp() override {
    DataSet.FieldDefs()->Add("ID", ftInteger);
    DataSet.FieldDefs()->Add("Amount", ftFloat);
    Producer->OnRecalcAll = [this](TObject*) { Journal.push_back("recalc"); };
    Producer->SumListChanged = [this](TObject*) { Journal.push_back("changed"); };
  }
  void TearDown() override { Producer->Free(); }

  void Rows(std::initializer_list<Variant> Amounts) {
    int Id = 0;
    for (const Variant& A : Amounts) DataSet.AppendRow({++Id, A});
  }
  TDBSum* Add(TGroupOperation Op, const String& FieldName) {
    auto* Sum = static_cast<TDBSum*>(Producer->SumCollection()->Add());
    Sum->SetGroupOperation(Op);
    Sum->SetFieldName(FieldName);
    return Sum;
  }
  void AddAllFive() {
    for (TGroupOperation Op : {goSum, goAvg, goCount, goMin, goMax}) Add(Op, "Amount");
  }
  Variant Value(TGroupOperation Op, const String& FieldName = "Amount") {
    return Producer->SumCollection()->GetSumByOpAndFName(Op, FieldName)->SumValue;
  }
  int Count(const char* Entry) { return int(std::count(Journal.begin(), Journal.end(), String(Entry))); }
};

TEST_F(SumListTest, AggregatesOverNullsAndEmptyData) {
  struct Case {
    const char* Name;
    std::vector<Variant> Amounts;
    Variant Sum, Avg, Count, Min, Max;
  } Cases[] = {
      {"empty", {}, Null(), 0, 0, Null(), Null()},
      {"all Null", {Null(), Null()}, Null(), 0, 0, Null(), Null()},
      {"one value among Nulls", {Null(), 5.0, Null()}, 5.0, 5.0, 1, 5.0, 5.0},
      {"average of two non-null", {1.0, Null(), 2.0}, 3.0, 1.5, 2, 1.0, 2.0},
  };
  AddAllFive();
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    DataSet.Close();
    while (DataSet.RowCount() > 0) {  // a fresh set of rows
      DataSet.Open();
      DataSet.First();
      DataSet.Delete();
      DataSet.Close();
    }
    int Id = 0;
    for (const Variant& A : C.Amounts) DataSet.AppendRow({++Id, A});
    DataSet.Open();
    Producer->SetDataSet(&DataSet);
    const Variant Expected[] = {C.Sum, C.Avg, C.Count, C.Min, C.Max};
    const TGroupOperation Ops[] = {goSum, goAvg, goCount, goMin, goMax};
    for (int I = 0; I < 5; ++I) {
      SCOPED_TRACE(I);
      const Variant Got = Value(Ops[I]);
      if (VarIsNull(Expected[I]))
        EXPECT_TRUE(VarIsNull(Got));
      else
        EXPECT_DOUBLE_EQ(AsDouble(Got), AsDouble(Expected[I]));
    }
  }
}

TEST_F(SumListTest, CountWithAndWithoutFieldName) {
  Rows({1.0, Null(), 3.0});
  DataSet.Open();
  Add(goCount, "");
  Add(goCount, "Amount");
  Producer->SetDataSet(&DataSet);
  EXPECT_EQ(Value(goCount, "").AsInteger(), 3);
  EXPECT_EQ(Value(goCount, "Amount").AsInteger(), 2);
}

TEST_F(SumListTest, MemoryTableAggregatesWithoutMovingTheCursor) {
  TFakeMemTable Table;
  Table.FieldDefs()->Add("ID", ftInteger);
  Table.FieldDefs()->Add("Amount", ftFloat);
  Table.Open();
  auto* Sum = Add(goSum, "Amount");
  Producer->SetDataSet(&Table);
  EXPECT_EQ(Sum->SumValue, Variant(0));  // empty gives 0 here, not Null
  for (int I = 1; I <= 3; ++I) Table.AppendRow({I, I * 2.0});
  Table.Refresh();
  Table.Next();
  Table.ClearLog();
  Table.Calls.clear();
  Producer->RecalcAll();
  EXPECT_DOUBLE_EQ(Sum->SumValue.AsDouble(), 12.0);
  EXPECT_EQ(Table.Calls, std::vector<String>({"FetchRecords(-1)", "GetAggregatedValuesForRange(Amount)"}));
  EXPECT_EQ(CurrentId(Table), 2);
  EXPECT_TRUE(Table.Log().empty());  // no walk, no scroll
  Producer->SetDataSet(nullptr);
}

TEST_F(SumListTest, ScrollRecalculatesOnlyAfterAFilterChange) {
  Rows({1.0, 2.0, 3.0});
  DataSet.Open();
  Add(goSum, "Amount");
  Producer->SetDataSet(&DataSet);
  Journal.clear();
  DataSet.Next();
  EXPECT_EQ(Count("recalc"), 0);
  DataSet.SetFilter("ID > 1");
  DataSet.SetFiltered(true);
  DataSet.Next();
  EXPECT_GE(Count("recalc"), 1);
  EXPECT_DOUBLE_EQ(Value(goSum).AsDouble(), 5.0);
}

TEST_F(SumListTest, PostRecalculatesAfterTheApplicationsHandler) {
  Rows({1.0, 2.0});
  DataSet.AfterPost = [this](TDataSet*) { Journal.push_back("app AfterPost"); };
  DataSet.Open();
  Add(goSum, "Amount");
  Producer->SetDataSet(&DataSet);
  Journal.clear();
  DataSet.Edit();
  DataSet.FieldByName("Amount")->SetAsVariant(10.0);
  DataSet.Post();
  ASSERT_FALSE(Journal.empty());
  EXPECT_EQ(Journal.front(), "app AfterPost");
  EXPECT_EQ(Count("recalc"), 1);
  EXPECT_DOUBLE_EQ(Value(goSum).AsDouble(), 12.0);
}

TEST_F(SumListTest, CloseClearsTheValues) {
  Rows({1.0, 2.0});
  DataSet.Open();
  Add(goSum, "Amount");
  Add(goCount, "");
  Producer->SetDataSet(&DataSet);
  Journal.clear();
  DataSet.Close();
  EXPECT_TRUE(VarIsNull(Value(goSum)));
  EXPECT_EQ(Value(goCount, ""), Variant(0));
  EXPECT_GE(Count("changed"), 1);
}

TEST_F(SumListTest, SwitchingDataSetRestoresTheHandlersExactly) {
  TRowListDataSet Second(nullptr);
  FillDataSet(Second, 2);
  Rows({1.0});
  DataSet.Open();
  const TDataSetNotifyEvent AppOpen = [](TDataSet*) {}, AppScroll = [](TDataSet*) {};
  DataSet.AfterOpen = AppOpen;
  DataSet.AfterScroll = AppScroll;
  Producer->SetDataSet(&DataSet);
  EXPECT_FALSE(DataSet.AfterOpen == AppOpen);
  Producer->SetDataSet(&Second);
  EXPECT_TRUE(DataSet.AfterOpen == AppOpen);
  EXPECT_TRUE(DataSet.AfterScroll == AppScroll);
  EXPECT_FALSE(DataSet.AfterPost.Assigned());
  EXPECT_TRUE(Second.AfterOpen == TDataSetNotifyEvent(Producer, &TDBSumListProducer::DataSetAfterOpen));
  EXPECT_TRUE(Second.AfterClose == TDataSetNotifyEvent(Producer, &TDBSumListProducer::DataSetAfterClose));
  Producer->SetDataSet(nullptr);
  EXPECT_FALSE(Second.AfterOpen.Assigned());
}

TEST_F(SumListTest, MasterScrollRecalculates) {
  TRowListDataSet Master(nullptr);
  FillDataSet(Master, 3);
  TDataSource MasterSource(nullptr);
  MasterSource.SetDataSet(&Master);
  DataSet.MasterSource = &MasterSource;
  Rows({1.0});
  DataSet.Open();
  Add(goSum, "Amount");
  Producer->SetDataSet(&DataSet);
  Journal.clear();
  Master.Next();
  EXPECT_EQ(Count("recalc"), 1);
  Producer->SetDataSet(nullptr);
  EXPECT_FALSE(Master.AfterScroll.Assigned());
}

TEST_F(SumListTest, ExternalRecalcSkipsTheWalk) {
  Rows({1.0, 2.0});
  DataSet.Open();
  Add(goSum, "Amount");
  Producer->OnAfterRecalcAll = [this](TObject*) { Journal.push_back("after"); };
  Producer->SetDataSet(&DataSet);
  Journal.clear();
  DataSet.ClearLog();
  Producer->SetExternalRecalc(true);
  EXPECT_EQ(Count("recalc"), 1);
  EXPECT_EQ(Count("after"), 0);
  EXPECT_TRUE(VarIsNull(Value(goSum)));
}

TEST_F(SumListTest, VirtualRecordsNumberTheRecords) {
  for (int I = 1; I <= 10; ++I) DataSet.AppendRow({I, double(I)});
  DataSet.SetSequenced(false);
  DataSet.Open();
  Add(goCount, "");  // without aggregates there is no walk
  Producer->SetDataSet(&DataSet);
  EXPECT_FALSE(Producer->IsSequenced());
  Producer->SetVirtualRecords(true);
  EXPECT_EQ(Producer->RecordCount(), 10);
  EXPECT_TRUE(Producer->IsSequenced());
  Producer->SetRecNo(10);
  EXPECT_EQ(CurrentId(DataSet), 10);
  EXPECT_EQ(Producer->RecNo(), 10);
  DataSet.Prior();
  EXPECT_EQ(Producer->RecNo(), 9);
  DataSet.First();
  EXPECT_EQ(Producer->RecNo(), 1);
}

TEST_F(SumListTest, MissingFieldRaisesAfterEverythingIsPutBack) {
  for (int I = 1; I <= 10; ++I) DataSet.AppendRow({I, double(I)});
  DataSet.Open();
  Producer->SetDataSet(&DataSet);
  DataSet.MoveBy(4);
  bool DisabledWhenChanged = true;
  Producer->SumListChanged = [&](TObject*) { DisabledWhenChanged = DataSet.ControlsDisabled(); };
  EXPECT_THROW(Add(goSum, "Missing"), EDatabaseError);
  EXPECT_FALSE(DisabledWhenChanged);
  EXPECT_FALSE(DataSet.ControlsDisabled());
  EXPECT_FALSE(Producer->Changing);
  EXPECT_EQ(CurrentId(DataSet), 5);
}

TEST_F(SumListTest, WalkKeepsTheCurrentRecordAndItsRow) {
  for (int I = 1; I <= 10; ++I) DataSet.AppendRow({I, double(I)});
  TDataSource Source(nullptr);
  Source.SetDataSet(&DataSet);
  TDataLink Link;
  Link.SetBufferCount(4);
  Link.SetDataSource(&Source);
  DataSet.Open();
  DataSet.MoveBy(5);
  const int RowBefore = Link.ActiveRecord();
  Add(goSum, "Amount");
  Producer->SetDataSet(&DataSet);
  EXPECT_DOUBLE_EQ(Value(goSum).AsDouble(), 55.0);
  EXPECT_EQ(CurrentId(DataSet), 6);
  EXPECT_EQ(Link.ActiveRecord(), RowBefore);
  Link.SetDataSource(nullptr);
}

TEST_F(SumListTest, DisabledControlsPostponeTheRecalculation) {
  Rows({1.0, 2.0});
  DataSet.Open();
  Add(goSum, "Amount");
  Producer->SetDataSet(&DataSet);
  DataSet.DisableControls();
  DataSet.Edit();
  DataSet.FieldByName("Amount")->SetAsVariant(10.0);
  DataSet.Post();
  EXPECT_DOUBLE_EQ(Value(goSum).AsDouble(), 3.0);
  DataSet.EnableControls();
  EXPECT_DOUBLE_EQ(Value(goSum).AsDouble(), 12.0);
}

}  // namespace
