#include "gridlib/editors/controllabel.h"

#include "gridlib/editors/dbedit.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/fielddefs.h"
#include "platform/db/fields.h"
#include "platform/db/testing/rowlistdataset.h"
#include "tests/gridlib/editors/editorsfixture.h"

namespace {

class ControlLabelTest : public EditorsFixture {
protected:
  void SetUp() override {
    EditorsFixture::SetUp();
    DataSet.FieldDefs()->Add("Name", ftString, 20);
    DataSet.AppendRow({String("Smith")});
    Source.SetDataSet(&DataSet);
    DataSet.Open();
    DataSet.FieldByName("Name")->SetDisplayLabel("Surname");
  }
  void TearDown() override {
    Form->Free();
    EditorsFixture::TearDown();
  }
  // An edit at (100, 50), 120 wide, auto-sized to 21 (text height 13).
  TDBEditEh* edit() {
    auto* E = make<TDBEditEh>(Bounds(100, 50, 120, 30));
    E->SetName("NameEdit");
    Form->Show();
    return E;
  }

  TRowListDataSet DataSet{nullptr};
  TDataSource Source{nullptr};
};

TEST_F(ControlLabelTest, TheFourteenPositionsAtTheNearAndTheFarBound) {
  TDBEditEh* E = edit();
  ASSERT_EQ(E->Height(), 21);
  ASSERT_EQ(E->GetControlTextBaseline(), 16);
  TControlLabelEh* L = E->ControlLabel();
  L->SetAutoSize(false);
  L->SetVisible(true);
  L->SetBounds(0, 0, 40, 13);
  E->UpdateControlLabelPosition();
  const struct {
    TLabelPositionEh Position;
    TPoint Near, Far;
  } Cases[] = {
      {lpAboveLeftEh, {100, 34}, {100, 47}},      {lpAboveCenterEh, {140, 34}, {140, 47}},
      {lpAboveRightEh, {180, 34}, {180, 47}},     {lpBelowLeftEh, {100, 74}, {100, 87}},
      {lpBelowCenterEh, {140, 74}, {140, 87}},    {lpBelowRightEh, {180, 74}, {180, 87}},
      {lpLeftTopEh, {57, 50}, {97, 50}},          {lpLeftTextBaselineEh, {57, 53}, {97, 53}},
      {lpLeftCenterEh, {57, 54}, {97, 54}},       {lpLeftBottomEh, {57, 58}, {97, 58}},
      {lpRightTopEh, {223, 50}, {263, 50}},       {lpRightTextBaselineEh, {223, 53}, {263, 53}},
      {lpRightCenterEh, {223, 54}, {263, 54}},    {lpRightBottomEh, {223, 58}, {263, 58}},
  };
  TControlLabelLocationEh* Location = E->ControlLabelLocation();
  for (const auto& C : Cases) {
    SCOPED_TRACE(int(C.Position));
    Location->SetLabelSpacingBound(sbNearBoundEh);
    Location->SetPosition(C.Position);
    EXPECT_EQ(L->BoundsRect().TopLeft(), C.Near);
    Location->SetLabelSpacingBound(sbFarBoundEh);
    EXPECT_EQ(L->BoundsRect().TopLeft(), C.Far);
  }
  Location->SetLabelSpacingBound(sbNearBoundEh);
  Location->SetPosition(lpAboveLeftEh);
  E->SetBounds(10, 100, 120, 21);
  EXPECT_EQ(L->BoundsRect().TopLeft(), (TPoint{10, 84})) << "the label follows the edit";
  Location->SetOffset(5);
  Location->SetSpacing(1);
  EXPECT_EQ(L->BoundsRect().TopLeft(), (TPoint{15, 86}));
}

TEST_F(ControlLabelTest, ANewLabelIsHiddenWithoutParentAndShowsWithTheFieldsName) {
  TDBEditEh* E = edit();
  TControlLabelEh* L = E->ControlLabel();
  EXPECT_EQ(L->Name(), "SubLabel");
  EXPECT_FALSE(L->Visible());
  EXPECT_EQ(L->Parent(), nullptr);
  L->SetVisible(true);
  EXPECT_EQ(L->Parent(), Form);
  EXPECT_EQ(L->Caption(), "NameEdit") << "unbound: the edit's name";
  EXPECT_EQ(L->Top(), 50 - L->Height() - 3);
  EXPECT_EQ(L->Left(), 100);
  E->SetDataSource(&Source);
  E->SetDataField("Name");
  EXPECT_EQ(L->Caption(), "Surname");
  L->SetVisible(false);
  EXPECT_EQ(L->Parent(), nullptr);
}

TEST_F(ControlLabelTest, TheLabelHidesAndShowsWithTheEdit) {
  TDBEditEh* E = edit();
  TControlLabelEh* L = E->ControlLabel();
  L->SetVisible(true);
  EXPECT_TRUE(L->TControl::Visible());
  E->SetVisible(false);
  EXPECT_FALSE(L->TControl::Visible());
  EXPECT_TRUE(L->Visible()) << "its own wish stays";
  E->SetVisible(true);
  EXPECT_TRUE(L->TControl::Visible());
}

TEST_F(ControlLabelTest, AUsersCaptionSurvivesFieldChangesAndEmptyRestoresTheDefault) {
  TDBEditEh* E = edit();
  TControlLabelEh* L = E->ControlLabel();
  L->SetCaption("Mine");
  E->SetDataSource(&Source);
  E->SetDataField("Name");
  EXPECT_EQ(L->Caption(), "Mine");
  EXPECT_TRUE(L->IsCaptionStored());
  L->SetCaption("");
  EXPECT_EQ(L->Caption(), "Surname");
  EXPECT_FALSE(L->IsCaptionStored());
}

TEST_F(ControlLabelTest, AnInvisibleLabelsSizeIsNotStored) {
  TDBEditEh* E = edit();
  EXPECT_FALSE(ComponentToTextEh(E).contains("ControlLabel.Width")) << ComponentToTextEh(E).toStdString();
  E->ControlLabel()->SetVisible(true);
  E->ControlLabelLocation()->SetPosition(lpLeftCenterEh);
  const String Text = ComponentToTextEh(E);
  EXPECT_TRUE(Text.contains("ControlLabel.Width")) << Text.toStdString();
  EXPECT_TRUE(Text.contains("ControlLabelLocation.Position = lpLeftCenterEh")) << Text.toStdString();
}

}  // namespace
