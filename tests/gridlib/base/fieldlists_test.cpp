#include "gridlib/base/fieldlists.h"

#include "platform/rtl/stringlist.h"
#include "tests/gridlib/base/dbtestsupport.h"

#include <gtest/gtest.h>

using namespace basetest;

namespace {

struct FieldListsTest : ::testing::Test {
  TRowListDataSet DataSet{nullptr};
  void SetUp() override { FillDataSet(DataSet, 3); }
};

TEST_F(FieldListsTest, NamesResolveInOrder) {
  const TFieldsArrEh Fields = GetFieldsArrayByNamesEh(&DataSet, nullptr, "Amount; ID");
  ASSERT_EQ(Fields.size(), 2u);
  EXPECT_EQ(Fields[0]->FieldName(), "Amount");
  EXPECT_EQ(Fields[1]->FieldName(), "ID");
}

TEST_F(FieldListsTest, EmptyNameBetweenSemicolonsIsNotFound) {
  TList List;
  try {
    GetFieldListByNamesEh(&List, &DataSet, nullptr, "ID;;Name");
    FAIL();
  } catch (const EDatabaseError& E) {
    EXPECT_EQ(E.Message, "Field '' not found");
  }
  EXPECT_EQ(List.Count(), 1);  // the field found before stays
}

TEST_F(FieldListsTest, ValuesOfOneFieldAndOfTwo) {
  BookmarkOf(DataSet, 2);
  EXPECT_EQ(GetFieldValuesEh(GetFieldsArrayByNamesEh(&DataSet, nullptr, "ID")), Variant(2));
  const Variant Pair = GetFieldValuesEh(GetFieldsArrayByNamesEh(&DataSet, nullptr, "ID;Name"));
  ASSERT_TRUE(VarIsArray(Pair));
  EXPECT_EQ(VarArrayHighBound(Pair, 1), 1);
  EXPECT_EQ(VarArrayGet(Pair, 0), Variant(2));
  EXPECT_EQ(VarArrayGet(Pair, 1), Variant("N2"));
}

TEST_F(FieldListsTest, SetNullClearsEveryNamedField) {
  DataSet.Edit();
  SetFieldValuesEh(&DataSet, "Name;Amount", Null());
  EXPECT_TRUE(DataSet.FieldByName("Name")->IsNull());
  EXPECT_TRUE(DataSet.FieldByName("Amount")->IsNull());
  SetFieldValuesEh(&DataSet, "Name;Amount", VarArrayOf({"X", 5.0}));
  EXPECT_EQ(DataSet.FieldByName("Name")->AsString(), "X");
  EXPECT_EQ(DataSet.FieldByName("Amount")->AsFloat(), 5.0);
  DataSet.Cancel();
}

struct ValueListTest : ::testing::Test {
  TRowListDataSet DataSet{nullptr};
  IPtr<IMemTableDataFieldValueListEh> Holder;
  TDatasetFieldValueListEh* List = new TDatasetFieldValueListEh;
  void SetUp() override {
    Holder = IPtr<IMemTableDataFieldValueListEh>(List);
    DataSet.FieldDefs()->Add("V", ftString, 10);
    for (const char* V : {"b", "a", "b", "A"}) DataSet.AppendRow({V});
    DataSet.Open();
    List->SetFieldName("V");
    List->SetDataSet(&DataSet);
  }
  QStringList Texts() {
    QStringList Result;
    TStrings* Values = List->Values();
    for (Integer I = 0; I < Values->Count(); ++I) Result << Values->Strings(I);
    return Result;
  }
};

TEST_F(ValueListTest, DistinctSortedValuesByCase) {
  EXPECT_EQ(Texts(), QStringList({"a", "b"}));
  List->SetCaseSensitive(true);
  List->SetDataSet(nullptr);
  List->SetDataSet(&DataSet);
  // three values in the locale's order, which puts lower case first
  EXPECT_EQ(Texts(), QStringList({"a", "A", "b"}));
}

TEST_F(ValueListTest, OnlyADataSetChangeMakesThemStale) {
  EXPECT_EQ(Texts(), QStringList({"a", "b"}));
  DataSet.AppendRow({"c"});  // not shown until the dataset says so
  DataSet.Next();
  DataSet.Next();
  DataSet.Prior();
  EXPECT_EQ(Texts(), QStringList({"a", "b"}));
  DataSet.Refresh();  // deDataSetChange
  EXPECT_EQ(Texts(), QStringList({"a", "b", "c"}));
}

TEST_F(ValueListTest, ClosedDataSetGivesNothingUntilOpened) {
  DataSet.Close();
  List->SetFieldName("Other");
  List->SetFieldName("V");
  EXPECT_TRUE(Texts().isEmpty());
  EXPECT_TRUE(Texts().isEmpty());
  DataSet.Open();
  EXPECT_EQ(Texts(), QStringList({"a", "b"}));
}

}  // namespace
