// Event delivery: what visual and non-visual links and the data source hear,
// with controls enabled and disabled; published properties and events.
#include "tests/platform/db/datasetfixture.h"

#include "platform/rtl/typinfo.h"

#include <functional>

namespace {

using dbtest::Seq;
using dbtest::TDataSetFixture;

// A visual link, a non-visual link (the fixture's) and the source's events,
// each in its own list.
struct TDeliveryFixture : TDataSetFixture {
  TRecordingDataLink Visual;
  TDataSourceRecorder SourceEvents{&Source};

  TDeliveryFixture() {
    Link.SetJournal(nullptr);
    Visual.SetVisualControl(true);
    Visual.SetBufferCount(3);
    Visual.SetDataSource(&Source);
    DataSet.Open();
    Clear();
  }
  void Clear() {
    Link.Clear();
    Visual.Clear();
    SourceEvents.Clear();
  }
};

TEST(DataSetEventsTest, DisabledControls) {
  struct Step {
    const char* Name;
    std::function<void(TDeliveryFixture&)> Action;
    std::vector<String> NonVisual, Visual, Source;
  };
  const auto Disable = [](TDeliveryFixture& F) { F.DataSet.DisableControls(); };
  const auto Enable = [](TDeliveryFixture& F) { F.DataSet.EnableControls(); };
  const auto ThreeNext = [](TDeliveryFixture& F) {
    for (int I = 0; I < 3; ++I) F.DataSet.Next();
  };
  struct Scenario {
    const char* Name;
    std::vector<Step> Steps;
  };
  const Scenario Scenarios[] = {
      {"scrolling while disabled twice",
       {{"disable twice",
         [](TDeliveryFixture& F) {
           F.DataSet.DisableControls();
           F.DataSet.DisableControls();
         },
         {}, {}, {}},
        {"three next: only the non-visual link follows", ThreeNext,
         Seq("CheckBrowseMode|DataSetScrolled(0)|CheckBrowseMode|DataSetScrolled(0)|CheckBrowseMode|"
             "DataSetScrolled(1)"),
         {}, {}},
        {"the first enable is silent", Enable, {}, {}, {}},
        {"the second sends a change", Enable, Seq("DataSetChanged"), Seq("DataSetChanged"), Seq("DataChange")},
        {"an extra enable does nothing", Enable, {}, {}, {}}}},
      {"editing while disabled",
       {{"disable", Disable, {}, {}, {}},
        {"edit: the state change is a disabled-state notice", [](TDeliveryFixture& F) { F.DataSet.Edit(); },
         Seq("CheckBrowseMode|DisabledStateChange(1)|RecordChanged"), Seq("DisabledStateChange(1)"), {}},
        {"enable sends the state, then a change", Enable, Seq("EditingChanged|DataSetChanged"),
         Seq("EditingChanged|DataSetChanged"), Seq("StateChange(dsEdit)|DataChange")}}},
      {"closing while disabled",
       {{"disable", Disable, {}, {}, {}},
        {"close: every link hears the dataset went inactive", [](TDeliveryFixture& F) { F.DataSet.Close(); },
         Seq("DisabledStateChange(0)"), Seq("DisabledStateChange(0)"), {}},
        {"enable makes the links inactive; no change follows", Enable, Seq("ActiveChanged"),
         Seq("ActiveChanged"), Seq("StateChange(dsInactive)")}}},
      {"a layout change while disabled is the event sent at enable",
       {{"disable", Disable, {}, {}, {}},
        {"hide a field", [](TDeliveryFixture& F) { F.DataSet.FieldByName("Name")->SetVisible(false); },
         Seq("LayoutChanged"), {}, {}},
        {"enable", Enable, Seq("LayoutChanged"), Seq("LayoutChanged"), Seq("DataChange")}}},
  };
  for (const Scenario& Sc : Scenarios) {
    SCOPED_TRACE(Sc.Name);
    TDeliveryFixture F;
    for (const Step& S : Sc.Steps) {
      SCOPED_TRACE(S.Name);
      F.Clear();
      S.Action(F);
      EXPECT_EQ(F.Link.CallNames(), S.NonVisual);
      EXPECT_EQ(F.Visual.CallNames(), S.Visual);
      EXPECT_EQ(F.SourceEvents.Events, S.Source);
    }
  }
}

TEST(DataSetEventsTest, DeliveryWithControlsEnabled) {
  struct Case {
    const char* Name;
    std::function<void(TDeliveryFixture&)> Action;
    std::vector<String> Visual, Source;
  };
  const Case Cases[] = {
      {"edit", [](TDeliveryFixture& F) { F.DataSet.Edit(); }, Seq("CheckBrowseMode|EditingChanged|RecordChanged"),
       Seq("StateChange(dsEdit)|DataChange")},
      {"field change",
       [](TDeliveryFixture& F) {
         F.DataSet.Edit();
         F.Clear();
         F.DataSet.FieldByName("Name")->SetAsString("x");
       },
       Seq("RecordChanged(Name)"), Seq("DataChange(Name)")},
      {"post asks for the controls' values first",
       [](TDeliveryFixture& F) {
         F.DataSet.Edit();
         F.Clear();
         F.DataSet.Post();
       },
       Seq("UpdateData|CheckBrowseMode|EditingChanged|DataSetChanged"),
       Seq("UpdateData|StateChange(dsBrowse)|DataChange")},
      {"scroll", [](TDeliveryFixture& F) { F.DataSet.Next(); }, Seq("CheckBrowseMode|DataSetScrolled(0)"),
       Seq("DataChange")},
      {"a disabled source makes its links inactive", [](TDeliveryFixture& F) { F.Source.SetEnabled(false); },
       Seq("ActiveChanged"), Seq("StateChange(dsInactive)")},
      {"an enabled source wakes them", [](TDeliveryFixture& F) {
         F.Source.SetEnabled(false);
         F.Clear();
         F.Source.SetEnabled(true);
       },
       Seq("ActiveChanged"), Seq("StateChange(dsBrowse)|DataChange")},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TDeliveryFixture F;
    C.Action(F);
    EXPECT_EQ(F.Visual.CallNames(), C.Visual);
    EXPECT_EQ(F.SourceEvents.Events, C.Source);
  }
}

TEST(DataSetEventsTest, ChangesMadeInUpdateDataDoNotEchoToTheWritingLink) {
  TDeliveryFixture F;
  F.Link.OnUpdateData = [&F] { F.DataSet.FieldByName("Name")->SetAsString("typed"); };
  F.DataSet.Edit();
  F.Clear();
  F.DataSet.Post();
  EXPECT_EQ(F.Link.CallNames(), Seq("UpdateData|CheckBrowseMode|EditingChanged|DataSetChanged"));
  EXPECT_EQ(F.Visual.CallNames(), Seq("RecordChanged(Name)|UpdateData|CheckBrowseMode|EditingChanged|DataSetChanged"));
  EXPECT_EQ(F.DataSet.Row(0)[1].AsString(), String("typed"));
}

TEST(DataSetEventsTest, FocusGoesToTheFirstLinkThatTakesIt) {
  TDeliveryFixture F;
  TField* Name = F.DataSet.FieldByName("Name");
  F.Link.FocusField = Name;
  Name->FocusControl();
  EXPECT_EQ(F.Link.CallNames(), Seq("FocusControl(Name)"));
  EXPECT_TRUE(F.Visual.CallNames().empty());
  F.Clear();
  F.Link.FocusField = nullptr;
  F.Visual.FocusField = Name;
  Name->FocusControl();
  EXPECT_EQ(F.Link.CallNames(), Seq("FocusControl(Name)"));
  EXPECT_EQ(F.Visual.CallNames(), Seq("FocusControl(Name)"));
}

TEST(DataSetEventsTest, ModifiedFollowsDataFieldChanges) {
  TDataSetFixture F;
  F.DataSet.Open();
  F.DataSet.Edit();
  EXPECT_FALSE(F.DataSet.Modified());
  F.DataSet.FieldByName("Amount")->SetAsFloat(2.5);
  EXPECT_TRUE(F.DataSet.Modified());
  F.DataSet.Cancel();
  EXPECT_FALSE(F.DataSet.Modified());
  F.DataSet.Insert();
  EXPECT_FALSE(F.DataSet.Modified());
}

TEST(DataSetEventsTest, ActiveSetWhileLoadingWaitsForLoaded) {
  TDataSetFixture F;
  BeginLoading(&F.DataSet);
  F.DataSet.SetActive(true);
  EXPECT_FALSE(F.DataSet.Active());
  EndLoading(&F.DataSet);
  EXPECT_TRUE(F.DataSet.Active());
}

TEST(DataSetEventsTest, FailedOpenClosesTheCursor) {
  TDataSetFixture F;
  F.DataSet.AfterOpen = [](TDataSet*) { ADD_FAILURE() << "AfterOpen after a failed open"; };
  F.DataSet.SetFilter("[Nope] = 1");
  EXPECT_RAISES(F.DataSet.Open(), EDatabaseError, "Field 'Nope' not found");
  EXPECT_FALSE(F.DataSet.Active());
  EXPECT_EQ(F.DataSet.State(), dsInactive);
  EXPECT_EQ(F.DataSet.Log().back(), String("InternalClose"));
  EXPECT_FALSE(F.Link.Active());
}

TEST(DataSetEventsTest, PublishedProperties) {
  const char* const Names[] = {"Active",       "AutoCalcFields", "Filter",       "Filtered",    "FilterOptions",
                               "BeforeOpen",   "AfterOpen",      "BeforeClose",  "AfterClose",  "BeforeInsert",
                               "AfterInsert",  "BeforeEdit",     "AfterEdit",    "BeforePost",  "AfterPost",
                               "BeforeCancel", "AfterCancel",    "BeforeDelete", "AfterDelete", "BeforeScroll",
                               "AfterScroll",  "BeforeRefresh",  "AfterRefresh", "OnCalcFields", "OnDeleteError",
                               "OnEditError",  "OnFilterRecord", "OnNewRecord",  "OnPostError"};
  for (const char* Name : Names) {
    SCOPED_TRACE(Name);
    EXPECT_TRUE(IsPublishedProp(TRowListDataSet::StaticClass(), Name));
  }
  EXPECT_TRUE(TRowListDataSet::StaticClass()->InheritsFrom(TDataSet::StaticClass()));
  EXPECT_EQ(TRowListDataSet::StaticClass()->ClassParent()->ClassName(), String("TDataSet"));

  TDataSetFixture F;
  SetEnumProp(&F.DataSet, "Active", "True");
  EXPECT_TRUE(F.DataSet.Active());
  EXPECT_EQ(GetEnumProp(&F.DataSet, "AutoCalcFields"), String("True"));
  SetSetProp(&F.DataSet, "FilterOptions", "[foCaseInsensitive]");
  EXPECT_EQ(F.DataSet.FilterOptions(), TFilterOptions{foCaseInsensitive});
  // Events read by name compare equal to the handler set in code.
  const TDataSetNotifyEvent Handler = [](TDataSet*) {};
  F.DataSet.AfterScroll = Handler;
  EXPECT_EQ(TDataSetNotifyEvent::FromMethod(GetMethodProp(&F.DataSet, "AfterScroll")), Handler);
  const TFilterRecordEvent Filter = [](TDataSet*, bool&) {};
  SetMethodProp(&F.DataSet, "OnFilterRecord", Filter.Method());
  EXPECT_EQ(F.DataSet.OnFilterRecord(), Filter);
}

}  // namespace
