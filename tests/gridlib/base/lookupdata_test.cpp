#include "gridlib/base/lookupdata.h"

#include "platform/db/fieldclasses.h"
#include "platform/db/fielddefs.h"
#include "tests/gridlib/base/dbtestsupport.h"
#include "tests/gridlib/base/fakememtable.h"

#include <gtest/gtest.h>

using namespace basetest;

namespace {

// A grid bar as the axis grid will be: a grid with a data source, maybe a
// bound field, and a count of the change notices.
class TFakeBar : public ILookupDataBarEh {
public:
  TDataSource* Source = nullptr;
  TComponent* Grid = nullptr;
  TField* Field = nullptr;
  int Notices = 0;
  TDataSource* GetGridDataSource() override { return Source; }
  TComponent* GetGridComponent() override { return Grid; }
  TField* BoundField() override { return Field; }
  TField* GetField() override { return Field; }
  void NotifyGridBarChanged() override { ++Notices; }
};

// A dataset that is a detail of the dataset behind MasterSource.
class TDetailRows : public TRowListDataSet {
public:
  TDetailRows() : TRowListDataSet(nullptr) {}
  TDataSource* MasterSource = nullptr;
  TDataSource* GetDataSource() override { return MasterSource; }
};

struct LookupDataTest : ::testing::Test {
  TComponent Grid{nullptr};
  TDetailRows Orders;       // ID, CustID, Region
  TFakeMemTable Customers;  // CID, Region, Name
  TDataSource OrdersSource{nullptr};
  TFakeBar Bar;
  TDBLookupDataEh* Lookup = nullptr;

  void SetUp() override {
    Orders.FieldDefs()->Add("ID", ftInteger);
    Orders.FieldDefs()->Add("CustID", ftInteger);
    Orders.FieldDefs()->Add("Region", ftInteger);
    Orders.AppendRow({1, 10, 1});
    Orders.AppendRow({2, 20, 1});
    Orders.AppendRow({3, 99, 1});
    Orders.AppendRow({4, 10, 2});
    Customers.FieldDefs()->Add("CID", ftInteger);
    Customers.FieldDefs()->Add("Region", ftInteger);
    Customers.FieldDefs()->Add("Name", ftString, 20);
    Customers.AppendRow({20, 1, "Scott"});
    Customers.AppendRow({10, 1, "Austen"});
    Customers.AppendRow({10, 3, "Bronte"});
    Orders.Open();
    Customers.Open();
    OrdersSource.SetDataSet(&Orders);
    Bar.Source = &OrdersSource;
    Bar.Grid = &Grid;
    Lookup = new TDBLookupDataEh(&Bar);
  }
  void TearDown() override { Lookup->Free(); }

  void Define(const String& Keys = "CustID", const String& LookupKeys = "CID") {
    Lookup->SetKeyFieldNames(Keys);
    Lookup->SetLookupDataSet(&Customers);
    Lookup->SetLookupKeyFieldNames(LookupKeys);
    Lookup->SetLookupDisplayFieldName("Name");
  }
  Variant ValueAt(int OrderId) {
    BookmarkOf(Orders, OrderId);
    return Lookup->GetLookupValue();
  }
};

TEST_F(LookupDataTest, NoKeyFieldsNoDataSource) {
  Lookup->SetLookupDataSet(&Customers);
  Lookup->SetLookupKeyFieldNames("CID");
  Lookup->SetLookupDisplayFieldName("Name");
  EXPECT_EQ(Lookup->DataSource(), nullptr);
  EXPECT_FALSE(Lookup->LookupActive());
  EXPECT_FALSE(Lookup->LookupIsSetUp());
}

TEST_F(LookupDataTest, DisplayValuesThroughTheCacheAndWithout) {
  Define();
  EXPECT_TRUE(Lookup->LookupActive());
  EXPECT_TRUE(Lookup->LookupIsSetUp());
  EXPECT_EQ(Lookup->DataSource(), &OrdersSource);
  EXPECT_EQ(ValueAt(2), Variant("Scott"));
  EXPECT_TRUE(VarIsEmpty(ValueAt(3)));  // missing key: unassigned with the cache
  Lookup->SetLookupCache(false);
  EXPECT_EQ(ValueAt(2), Variant("Scott"));
  EXPECT_TRUE(VarIsNull(ValueAt(3)));   // and Null from the dataset's Lookup
}

TEST_F(LookupDataTest, TwoKeyFieldsMatchOnlyAsAPair) {
  Define("CustID;Region", "CID;Region");
  EXPECT_EQ(ValueAt(1), Variant("Austen"));   // (10, 1)
  EXPECT_TRUE(VarIsEmpty(ValueAt(4)));        // (10, 2): CID matches, Region not
  const Variant Key = Lookup->GetKeyValue();
  ASSERT_TRUE(VarIsArray(Key));
  EXPECT_EQ(VarArrayGet(Key, 1), Variant(2));
}

TEST_F(LookupDataTest, KeyFieldNamesInTheSameCaseDoNothing) {
  Define();
  Bar.Notices = 0;
  Lookup->SetKeyFieldNames("CustID");
  EXPECT_EQ(Bar.Notices, 0);
  Lookup->SetKeyFieldNames("CUSTID");
  EXPECT_GT(Bar.Notices, 0);
  EXPECT_TRUE(Lookup->LookupActive());
}

TEST_F(LookupDataTest, KeyFieldsIsNullOnlyWhileActive) {
  Orders.Edit();
  Orders.FieldByName("CustID")->Clear();
  EXPECT_FALSE(Lookup->KeyFieldsIsNull());
  Define();
  EXPECT_TRUE(Lookup->KeyFieldsIsNull());
  Orders.Cancel();
  EXPECT_FALSE(Lookup->KeyFieldsIsNull());
}

TEST_F(LookupDataTest, GridDataSetDependingOnTheLookupDataSetIsCircular) {
  TDataSource CustomersSource(nullptr);
  CustomersSource.SetDataSet(&Customers);
  Orders.MasterSource = &CustomersSource;
  Lookup->SetKeyFieldNames("CustID");
  Lookup->SetLookupKeyFieldNames("CID");
  Lookup->SetLookupDisplayFieldName("Name");
  try {
    Lookup->SetLookupDataSet(&Customers);
    FAIL();
  } catch (const EDatabaseError& E) {
    EXPECT_EQ(E.Message, "Circular datalinks are not allowed");
  }
  Orders.MasterSource = nullptr;
}

TEST_F(LookupDataTest, BarLookupFieldDefinesTheLookup) {
  Orders.Close();
  for (int I = 0; I < Orders.FieldDefs()->Count(); ++I) Orders.FieldDefs()->Items(I)->CreateField(&Orders);
  auto* Field = new TStringField(&Orders);
  Field->SetFieldName("Customer");
  Field->SetFieldKind(fkLookup);
  Field->SetKeyFields("CustID");
  Field->SetLookupDataSet(&Customers);
  Field->SetLookupKeyFields("CID");
  Field->SetLookupResultField("Name");
  Field->SetDataSet(&Orders);
  Orders.Open();
  Bar.Field = Field;
  Lookup->UpdateLookupState();
  EXPECT_TRUE(Lookup->LookupInDataField());
  EXPECT_FALSE(Lookup->LookupDataIsStored());
  EXPECT_EQ(Lookup->KeyFieldNames(), "CustID");
  EXPECT_EQ(Lookup->LookupDataSet(), &Customers);
  EXPECT_TRUE(Lookup->LookupActive());
  EXPECT_EQ(ValueAt(2), Variant("Scott"));
  TRowListDataSet Other(nullptr);
  try {
    Lookup->SetLookupDataSet(&Other);
    FAIL();
  } catch (const EDatabaseError& E) {
    EXPECT_EQ(E.Message, "SPropDefByLookup");
  }
  EXPECT_THROW(Lookup->SetKeyFieldNames("ID"), EDatabaseError);
}

TEST_F(LookupDataTest, MemoryTablePostRebuildsTheCache) {
  Define();
  ASSERT_EQ(Customers.Receivers.size(), 1u);
  Customers.Append();
  Customers.FieldByName("CID")->SetAsVariant(99);
  Customers.FieldByName("Name")->SetAsVariant("Eliot");
  Customers.Post();
  EXPECT_EQ(ValueAt(3), Variant("Eliot"));
}

TEST_F(LookupDataTest, FreedLookupLeavesTheMemoryTable) {
  Define();
  ASSERT_EQ(Customers.Receivers.size(), 1u);
  Lookup->Free();
  Lookup = new TDBLookupDataEh(&Bar);
  EXPECT_TRUE(Customers.Receivers.empty());
}

TEST_F(LookupDataTest, RowValueReadsThroughInstantRead) {
  TFakeMemTable Table;
  Table.FieldDefs()->Add("CustID", ftInteger);
  Table.AppendRow({20});
  Table.Open();
  TDataSource Source(nullptr);
  Source.SetDataSet(&Table);
  Bar.Source = &Source;
  Define();
  EXPECT_EQ(Lookup->GetLookupValueOfRow(0), Variant("Scott"));
  EXPECT_EQ(Table.Calls, std::vector<String>({"InstantReadEnter(0)", "InstantReadLeave"}));
  Lookup->SetKeyFieldNames("");
}

TEST(LookupListEh, KeysThatCannotBeComparedRaise) {
  TLookupListEh List;
  List.Add(2, "b");
  List.Add(Null(), "none");
  List.Add(1, "a");
  List.SortData();
  EXPECT_EQ(List.ValueOfKey(Null()), Variant("none"));
  EXPECT_EQ(List.ValueOfKey(1), Variant("a"));
  EXPECT_TRUE(VarIsEmpty(List.ValueOfKey(3)));
  try {
    List.ValueOfKey(VarArrayOf({1, 2}));
    FAIL();
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message, "TMTIndexEh.FindKeyValueIndex: values is not comparable.");
  }
}

}  // namespace
