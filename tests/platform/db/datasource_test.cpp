// TDataSource and TDataLink wiring, detaching on free, and the master link
// a detail dataset follows.
#include "tests/platform/db/datasetfixture.h"

#include "platform/rtl/typinfo.h"

namespace {

using dbtest::Seq;
using dbtest::TDataSetFixture;

// A dataset following a master source, as a detail dataset class does.
class TDetailDataSet : public TRowListDataSet {
public:
  using TRowListDataSet::TRowListDataSet;
  TDataSource* Master = nullptr;
  TDataSource* GetDataSource() override { return Master; }
};

TEST(DataSourceTest, CircularLinksAreRefused) {
  TDataSetFixture F;
  TDetailDataSet Detail(nullptr);
  Detail.Master = &F.Source;
  TDataSource DetailSource(nullptr);
  DetailSource.SetName("DetailSource");
  DetailSource.SetDataSet(&Detail);
  EXPECT_TRUE(Detail.IsLinkedTo(&DetailSource));
  EXPECT_TRUE(F.DataSet.IsLinkedTo(&F.Source));
  EXPECT_TRUE(F.DataSet.IsLinkedTo(&DetailSource));
  EXPECT_FALSE(Detail.IsLinkedTo(&F.Source));
  EXPECT_TRUE(F.Source.IsLinkedTo(&Detail));
  F.Source.SetName("MasterSource");
  EXPECT_RAISES(F.Source.SetDataSet(&Detail), EDatabaseError, "MasterSource: Circular datalinks are not allowed");
  EXPECT_EQ(F.Source.DataSet(), &F.DataSet);
}

TEST(DataSourceTest, FreeingEitherSideDetaches) {
  TDataSource Source(nullptr);
  TRecordingDataLink Link;
  Link.SetDataSource(&Source);
  auto* DataSet = new TRowListDataSet(nullptr);
  DataSet->FieldDefs()->Add("ID", ftInteger);
  DataSet->AppendRow({1});
  Source.SetDataSet(DataSet);
  DataSet->Open();
  EXPECT_TRUE(Link.Active());
  DataSet->Free();
  EXPECT_EQ(Source.DataSet(), nullptr);
  EXPECT_FALSE(Link.Active());
  EXPECT_EQ(Source.State(), dsInactive);

  auto* Other = new TDataSource(nullptr);
  Link.SetDataSource(Other);
  Other->Free();
  EXPECT_EQ(Link.DataSource(), nullptr);
}

TEST(DataSourceTest, LinksLeavingShrinkTheWindow) {
  TDataSetFixture F(/*RowCount=*/10, /*LinkRows=*/2);
  F.DataSet.Open();
  {
    TRecordingDataLink Grid;
    Grid.SetBufferCount(6);
    Grid.SetDataSource(&F.Source);
    EXPECT_EQ(Grid.RecordCount(), 6);
    F.DataSet.MoveBy(5);
  }
  EXPECT_EQ(F.Link.RecordCount(), 2);
  EXPECT_EQ(F.CurrentId(), 6);
  EXPECT_EQ(F.Link.ActiveRecord(), 1);
}

TEST(DataSourceTest, LinkMembers) {
  TDataSetFixture F;
  EXPECT_EQ(F.Link.ActiveRecord(), 0);
  EXPECT_EQ(F.Link.RecordCount(), 0);
  EXPECT_FALSE(F.Link.Eof());
  EXPECT_FALSE(F.Link.DataSourceFixed());
  EXPECT_EQ(F.Link.DataSet(), &F.DataSet);
  F.DataSet.Open();
  EXPECT_TRUE(F.Link.BOF());
  EXPECT_EQ(F.Link.MoveBy(10), 5);
  EXPECT_TRUE(F.Link.Eof());

  // Edit: through the source, unless the link is read-only or AutoEdit off.
  F.Link.SetReadOnly(true);
  EXPECT_FALSE(F.Link.Edit());
  EXPECT_EQ(F.DataSet.State(), dsBrowse);
  F.Link.SetReadOnly(false);
  F.Source.SetAutoEdit(false);
  EXPECT_FALSE(F.Link.Edit());
  F.Source.SetAutoEdit(true);
  EXPECT_TRUE(F.Link.Edit());
  EXPECT_EQ(F.Source.State(), dsEdit);
  // A read-only link does not count as editing.
  F.Link.SetReadOnly(true);
  EXPECT_FALSE(F.Link.Editing());
}

TEST(DataSourceTest, PublishedProperties) {
  TDataSetFixture F;
  EXPECT_EQ(GetObjectProp(&F.Source, "DataSet"), &F.DataSet);
  SetEnumProp(&F.Source, "Enabled", "False");
  EXPECT_FALSE(F.Source.Enabled());
  EXPECT_TRUE(IsPublishedProp(TDataSource::StaticClass(), "AutoEdit"));
  EXPECT_TRUE(IsPublishedProp(TDataSource::StaticClass(), "OnDataChange"));
  EXPECT_TRUE(IsPublishedProp(TDataSource::StaticClass(), "OnStateChange"));
  EXPECT_TRUE(IsPublishedProp(TDataSource::StaticClass(), "OnUpdateData"));
}

struct TMasterDetailFixture : TDataSetFixture {
  TRowListDataSet Detail{nullptr};
  TMasterDataLink MasterLink{&Detail};
  std::vector<String> Calls;

  TMasterDetailFixture() {
    Detail.FieldDefs()->Add("MasterID", ftInteger);
    Detail.AppendRow({1});
    Detail.Open();
    MasterLink.OnMasterChange = [this](TObject*) { Calls.push_back("change"); };
    MasterLink.OnMasterDisable = [this](TObject*) { Calls.push_back("disable"); };
    MasterLink.SetFieldNames("ID");
    MasterLink.SetDataSource(&Source);
    Calls.clear();
  }
};

TEST(DataSourceTest, MasterLink) {
  struct Case {
    const char* Name;
    std::function<void(TMasterDetailFixture&)> Action;
    std::vector<String> Calls;
  };
  const Case Cases[] = {
      {"opening the master resolves the fields", [](TMasterDetailFixture& F) { F.DataSet.Open(); },
       Seq("change")},
      {"a scroll of the master",
       [](TMasterDetailFixture& F) {
         F.DataSet.Open();
         F.Calls.clear();
         F.DataSet.Next();
       },
       Seq("change")},
      {"a change of a master field",
       [](TMasterDetailFixture& F) {
         F.DataSet.Open();
         F.DataSet.Edit();
         F.Calls.clear();
         F.DataSet.FieldByName("ID")->SetAsInteger(9);
       },
       Seq("change")},
      {"a change of another field",
       [](TMasterDetailFixture& F) {
         F.DataSet.Open();
         F.DataSet.Edit();
         F.Calls.clear();
         F.DataSet.FieldByName("Name")->SetAsString("x");
       },
       {}},
      {"closing the master",
       [](TMasterDetailFixture& F) {
         F.DataSet.Open();
         F.Calls.clear();
         F.DataSet.Close();
       },
       Seq("disable")},
      {"a closed detail hears nothing",
       [](TMasterDetailFixture& F) {
         F.Detail.Close();
         F.DataSet.Open();
         F.DataSet.Next();
       },
       {}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TMasterDetailFixture F;
    C.Action(F);
    EXPECT_EQ(F.Calls, C.Calls);
  }
}

TEST(DataSourceTest, MasterLinkFieldsAndDetailPosting) {
  TMasterDetailFixture F;
  F.DataSet.Open();
  ASSERT_EQ(F.MasterLink.Fields().size(), 1u);
  EXPECT_EQ(F.MasterLink.Fields()[0], F.DataSet.FieldByName("ID"));
  EXPECT_EQ(F.MasterLink.GetDetailDataSet(), &F.Detail);
  EXPECT_RAISES(F.MasterLink.SetFieldNames("ID;Nope"), EDatabaseError, "Field 'Nope' not found");
  EXPECT_TRUE(F.MasterLink.Fields().empty());

  // The detail posts before its master moves.
  F.MasterLink.SetFieldNames("ID");
  F.Detail.Edit();
  F.Detail.FieldByName("MasterID")->SetAsInteger(2);
  F.DataSet.Next();
  EXPECT_EQ(F.Detail.State(), dsBrowse);
  EXPECT_EQ(F.Detail.Row(0)[0].AsInteger(), 2);
}

}  // namespace
