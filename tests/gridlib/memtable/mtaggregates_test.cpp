#include "gridlib/memtable/mtaggregates.h"

#include "platform/db/fieldclasses.h"
#include "tests/gridlib/memtable/memtabletesting.h"

#include <functional>

namespace {

class MTAggregates : public ::testing::Test, public TDataSetViewFixture {
public:  // the case table sets the fixture up
  MTAggregates() : TDataSetViewFixture({{"Qty", ftInteger}, {"Score", ftFloat}}) {
    DataSet->Close();
    Total = addAggregateField(QStringLiteral("Total"), QStringLiteral("SUM(Qty)"));
    Average = addAggregateField(QStringLiteral("Average"), QStringLiteral("AVG(Score) * 2"));
    DataSet->Open();
    View = new TRecordsViewEh(DataSet);
    View->SetMemTableData(Data);
    for (int Q : {1, 2, 3}) Append({Q, Q * 1.5});
  }
  TAggregateField* addAggregateField(const String& Name, const String& Expression) {
    auto* Field = new TAggregateField(DataSet);
    Field->SetFieldName(Name);
    Field->SetExpression(Expression);
    Field->SetActive(true);
    Field->SetDataSet(DataSet);
    return Field;
  }
  TMTAggregatesEh* Aggregates() { return View->Aggregates(); }

  TAggregateField* Total;
  TAggregateField* Average;
};

TEST_F(MTAggregates, AggregateFieldsLiveApartFromDataFields) {
  EXPECT_EQ(DataSet->AggFields()->Count(), 2);
  EXPECT_EQ(DataSet->FindField(QStringLiteral("Total")), Total);
  EXPECT_EQ(DataSet->Fields()->FindField(QStringLiteral("Total")), nullptr);
  EXPECT_TRUE(VarIsNull(Total->Value()));  // a generic dataset computes no aggregates
}

TEST_F(MTAggregates, ResetMirrorsTheFieldsAndFollowsTheView) {
  Aggregates()->SetActive(true);
  ASSERT_EQ(Aggregates()->Count(), 2);
  EXPECT_EQ(Total->Handle(), Aggregates()->GetItem(0));
  EXPECT_EQ(Total->ResultType(), ftFloat);
  EXPECT_EQ(Aggregates()->GetItem(0)->Value(), Variant(6));
  EXPECT_EQ(Aggregates()->GetItem(1)->Value(), Variant(6.0));  // AVG 3 * 2
  Append({4, 6.0});
  EXPECT_EQ(Aggregates()->GetItem(0)->Value(), Variant(10));
  List()->DeleteRecord(0);
  EXPECT_EQ(Aggregates()->GetItem(0)->Value(), Variant(9));
}

TEST_F(MTAggregates, NullWhenNotInUse) {
  struct Case {
    const char* Name;
    std::function<void(MTAggregates&)> Setup;
  };
  const Case Cases[] = {
      {"collection inactive", [](MTAggregates&) {}},
      {"empty expression",
       [](MTAggregates& T) {
         T.Total->SetExpression(String());
         T.Aggregates()->SetActive(true);
       }},
      {"aggregate inactive",
       [](MTAggregates& T) {
         T.Total->SetActive(false);
         T.Aggregates()->SetActive(true);
       }},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Aggregates()->SetActive(false);
    Total->SetExpression(QStringLiteral("SUM(Qty)"));
    Total->SetActive(true);
    C.Setup(*this);
    Aggregates()->Reset();
    EXPECT_TRUE(VarIsNull(Aggregates()->GetItem(0)->Value()));
  }
}

TEST_F(MTAggregates, ClosedDatasetGivesNull) {
  Aggregates()->SetActive(true);
  DataSet->Close();
  Aggregates()->Recalc();
  EXPECT_TRUE(VarIsNull(Aggregates()->GetItem(0)->Value()));
  EXPECT_TRUE(VarIsNull(Aggregates()->GetItem(1)->Value()));
}

TEST_F(MTAggregates, DestroyingAnAggregateClearsTheFieldsHandle) {
  Aggregates()->SetActive(true);
  Aggregates()->Delete(0);
  EXPECT_EQ(Total->Handle(), nullptr);
  EXPECT_EQ(Average->Handle(), Aggregates()->GetItem(0));
}

TEST_F(MTAggregates, ExpressionAndActivation) {
  Aggregates()->SetActive(true);
  TMTAggregateEh* Aggregate = Aggregates()->GetItem(0);
  Aggregate->SetExpression(QStringLiteral("MAX(Qty)"));
  EXPECT_EQ(Aggregate->Value(), Variant(3));
  EXPECT_EQ(Aggregate->DisplayName(), QStringLiteral("MAX(Qty)"));
  EXPECT_RAISES(Aggregate->SetExpression(QStringLiteral("MAX(Nope)")), EDatabaseError, "Field 'Nope' not found");
  Aggregate->SetActive(false);
  EXPECT_TRUE(VarIsNull(Aggregate->Value()));
}

}  // namespace
