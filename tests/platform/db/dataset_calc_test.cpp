// Calculated fields: when the engine computes them, in which state, and what
// links hear about it.
#include "tests/platform/db/datasetfixture.h"

#include "platform/db/fieldclasses.h"

namespace {

using dbtest::Seq;
using dbtest::TDataSetFixture;

// The fixture's rows with persistent fields and a calculated "Upper" (the
// upper-cased Name), counting OnCalcFields by ID.
struct TCalcFixture : TDataSetFixture {
  TField* Upper = nullptr;
  std::vector<int> CalculatedIds;
  std::vector<TDataSetState> States;

  TCalcFixture() {
    for (int I = 0; I < DataSet.FieldDefs()->Count(); ++I) DataSet.FieldDefs()->Items(I)->CreateField(&DataSet);
    Upper = new TStringField(&DataSet);
    Upper->SetFieldName("Upper");
    Upper->SetFieldKind(fkCalculated);
    Upper->SetDataSet(&DataSet);
    DataSet.OnCalcFields = [this](TDataSet* D) {
      States.push_back(D->State());
      CalculatedIds.push_back(D->FieldByName("ID")->AsInteger());
      // Cleared before each calculation.
      EXPECT_TRUE(Upper->IsNull());
      if (!D->FieldByName("Name")->IsNull()) Upper->SetAsString(D->FieldByName("Name")->AsString().toUpper());
    };
  }
};

TEST(DataSetCalcTest, OncePerLoadedRecordInCalcState) {
  TCalcFixture F;
  F.DataSet.Open();
  EXPECT_EQ(F.CalculatedIds, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(F.States, (std::vector<TDataSetState>(3, dsCalcFields)));
  EXPECT_EQ(F.Upper->AsString(), String("SMITH"));
  EXPECT_EQ(F.DataSet.State(), dsBrowse);
  // Rows already in the window are not calculated again.
  F.CalculatedIds.clear();
  F.DataSet.MoveBy(3);
  EXPECT_EQ(F.CalculatedIds, (std::vector<int>{4}));
  EXPECT_EQ(F.Upper->AsString(), String("TAYLOR"));
  // The calculated values travel with their buffers.
  F.Link.SetActiveRecord(0);
  EXPECT_EQ(F.Upper->AsString(), String("JONES"));
}

TEST(DataSetCalcTest, RecalculatedAfterADataFieldChange) {
  TCalcFixture F;
  F.DataSet.Open();
  F.DataSet.Edit();
  F.Reset();
  F.CalculatedIds.clear();
  F.DataSet.FieldByName("Name")->SetAsString("Adams");
  EXPECT_EQ(F.CalculatedIds, (std::vector<int>{1}));
  EXPECT_EQ(F.Upper->AsString(), String("ADAMS"));
  // No event of the recalculation's own: one RecordChanged for the field.
  EXPECT_EQ(F.Link.CallNames(), Seq("RecordChanged(Name)"));

  F.DataSet.SetAutoCalcFields(false);
  F.CalculatedIds.clear();
  F.DataSet.FieldByName("Name")->SetAsString("Baker");
  EXPECT_TRUE(F.CalculatedIds.empty());
  EXPECT_EQ(F.Upper->AsString(), String("ADAMS"));
}

TEST(DataSetCalcTest, NewRecordsStartWithoutCalculatedValues) {
  TCalcFixture F;
  F.DataSet.Open();
  F.DataSet.Append();
  EXPECT_TRUE(F.Upper->IsNull());
  F.DataSet.FieldByName("Name")->SetAsString("Young");
  EXPECT_EQ(F.Upper->AsString(), String("YOUNG"));
  F.DataSet.Post();
  EXPECT_EQ(F.Upper->AsString(), String("YOUNG"));
}

TEST(DataSetCalcTest, CalculatedFieldsTakePartInSearches) {
  TCalcFixture F;
  F.DataSet.Open();
  EXPECT_TRUE(F.DataSet.Locate("Upper", "WILSON", {}));
  EXPECT_EQ(F.CurrentId(), 5);
  EXPECT_EQ(F.DataSet.Lookup("Upper", "JONES", "ID").AsInteger(), 2);
  F.DataSet.SetFilter("[Upper] LIKE '%O%'");
  F.DataSet.SetFiltered(true);
  std::vector<int> Ids;
  for (F.DataSet.First(); !F.DataSet.Eof(); F.DataSet.Next()) Ids.push_back(F.CurrentId());
  EXPECT_EQ(Ids, (std::vector<int>{2, 3, 4, 5}));
}

}  // namespace
