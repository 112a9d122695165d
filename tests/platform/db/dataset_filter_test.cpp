// Filters on the generic engine: the Filter text through the expression
// engine, OnFilterRecord, the property setters and failures inside filters.
#include "tests/platform/db/datasetfixture.h"

#include <functional>

namespace {

using dbtest::Events;
using dbtest::Seq;
using dbtest::TDataSetFixture;

std::vector<int> visibleIds(TDataSetFixture& F) {
  std::vector<int> Ids;
  for (F.DataSet.First(); !F.DataSet.Eof(); F.DataSet.Next()) Ids.push_back(F.CurrentId());
  return Ids;
}

// Collects what the application handler is given while it lives.
struct TReportedErrors {
  std::vector<String> Messages;
  TExceptionHandler Saved;
  TReportedErrors() {
    Saved = SetExceptionHandler([this](std::exception_ptr E) { Messages.push_back(ExceptionMessage(E)); });
  }
  ~TReportedErrors() { SetExceptionHandler(Saved); }
};

TEST(DataSetFilterTest, FilterTexts) {
  struct Case {
    const char* Filter;
    TFilterOptions Options;
    std::vector<int> Ids;
  };
  const Case Cases[] = {
      {"[Amount] > 3 AND [Name] <> 'Wilson'", {}, {3, 4, 6}},
      {"ID >= 5 OR Name = 'Smith'", {}, {1, 5, 6}},
      {"[Name] = 'S*'", {}, {1}},
      {"[Name] = 's*'", {foCaseInsensitive}, {1}},
      {"[Name] = 'S*'", {foNoPartialCompare}, {}},
      {"[Name] LIKE '%o%'", {}, {2, 3, 4, 5}},
      {"[Name] LIKE '*o*'", {}, {2, 3, 4, 5}},
      {"[ID] IN (2, 4)", {}, {2, 4}},
      {"[ID] = '5'", {}, {5}},
      {"[Name] IS NULL", {}, {}},
      {"   ", {}, {1, 2, 3, 4, 5, 6}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Filter);
    TDataSetFixture F;
    F.DataSet.SetFilter(C.Filter);
    F.DataSet.SetFilterOptions(C.Options);
    F.DataSet.SetFiltered(true);
    F.DataSet.Open();
    EXPECT_EQ(visibleIds(F), C.Ids);
    EXPECT_EQ(F.DataSet.RecordCount(), int(C.Ids.size()));
  }
}

TEST(DataSetFilterTest, SettersOnAnOpenDataSet) {
  TDataSetFixture F;
  F.DataSet.SetFilter("[ID] > 1");
  F.DataSet.SetFiltered(true);
  F.DataSet.Open();
  F.DataSet.MoveBy(2);
  ASSERT_EQ(F.CurrentId(), 4);

  struct Step {
    const char* Name;
    std::function<void(TDataSet&)> Action;
    std::vector<String> Events;
    int Id;
  };
  const auto Refiltered = Seq("link:CheckBrowseMode|link:CheckBrowseMode|BeforeScroll|link:DataSetChanged|AfterScroll");
  const Step Steps[] = {
      {"the same text again does not move", [](TDataSet& D) { D.SetFilter("[ID] > 1"); },
       Seq("link:CheckBrowseMode"), 4},
      {"a new text refilters from the first record", [](TDataSet& D) { D.SetFilter("[ID] > 2"); }, Refiltered, 3},
      {"a text that does not parse raises and keeps the old one",
       [](TDataSet& D) {
         EXPECT_RAISES(D.SetFilter("[ID] = = 1"), EDatabaseError,
                       "Syntax error in filter expression at position 8: =");
         EXPECT_EQ(D.Filter(), String("[ID] > 2"));
         D.Next();
       },
       Seq("link:CheckBrowseMode|link:CheckBrowseMode|BeforeScroll|link:DataSetScrolled(0)|AfterScroll"), 4},
      {"Filtered off shows every record", [](TDataSet& D) { D.SetFiltered(false); }, Refiltered, 1},
      {"Filtered off again does nothing", [](TDataSet& D) { D.SetFiltered(false); }, Seq("link:CheckBrowseMode"), 1},
      {"Filtered on filters again", [](TDataSet& D) { D.SetFiltered(true); }, Refiltered, 3},
      {"new options refilter", [](TDataSet& D) { D.SetFilterOptions({foCaseInsensitive}); }, Refiltered, 3},
      {"a handler refilters", [](TDataSet& D) {
         D.SetOnFilterRecord([](TDataSet* DS, bool& Accept) { Accept = Accept && DS->FieldByName("ID")->AsInteger() != 3; });
       },
       Refiltered, 4},
  };
  for (const Step& S : Steps) {
    SCOPED_TRACE(S.Name);
    F.Reset();
    S.Action(F.DataSet);
    EXPECT_EQ(Events(F.DataSet.Log()), S.Events);
    EXPECT_EQ(F.CurrentId(), S.Id);
  }
}

TEST(DataSetFilterTest, OnFilterRecord) {
  TDataSetFixture F;
  std::vector<TDataSetState> States;
  F.DataSet.SetOnFilterRecord([&](TDataSet* D, bool& Accept) {
    States.push_back(D->State());
    Accept = Accept && D->FieldByName("ID")->AsInteger() % 2 == 0;
  });
  // Without Filtered the handler is not asked.
  F.DataSet.Open();
  EXPECT_TRUE(States.empty());
  F.DataSet.SetFiltered(true);
  EXPECT_EQ(visibleIds(F), (std::vector<int>{2, 4, 6}));
  EXPECT_EQ(States.front(), dsFilter);
  EXPECT_EQ(F.DataSet.State(), dsBrowse);
  // Searches see only what the filter shows.
  EXPECT_FALSE(F.DataSet.Locate("ID", 3, {}));
  EXPECT_TRUE(VarIsNull(F.DataSet.Lookup("ID", 3, "Name")));
  EXPECT_EQ(F.DataSet.Lookup("ID", 4, "Name").AsString(), String("Taylor"));
  // Text and handler both decide.
  F.DataSet.SetFilter("[ID] > 2");
  EXPECT_EQ(visibleIds(F), (std::vector<int>{4, 6}));
}

TEST(DataSetFilterTest, FailuresInsideFilters) {
  {
    SCOPED_TRACE("EAbort stops the read");
    TDataSetFixture F;
    F.DataSet.Open();
    F.DataSet.SetOnFilterRecord([](TDataSet* D, bool&) {
      if (D->FieldByName("ID")->AsInteger() == 2) Abort();
    });
    EXPECT_RAISES(F.DataSet.SetFiltered(true), EAbort, "Operation aborted");
    EXPECT_EQ(F.DataSet.State(), dsBrowse);
    EXPECT_FALSE(F.DataSet.ControlsDisabled());
  }
  {
    SCOPED_TRACE("other errors are reported once per record read and keep the record");
    TReportedErrors Reported;
    TDataSetFixture F;
    F.DataSet.SetOnFilterRecord([](TDataSet* D, bool& Accept) {
      Accept = false;
      if (D->FieldByName("ID")->AsInteger() <= 2) throw EDatabaseError("bad filter");
    });
    F.DataSet.SetFiltered(true);
    F.DataSet.Open();
    EXPECT_EQ(Reported.Messages, (std::vector<String>{"bad filter", "bad filter"}));
    EXPECT_EQ(F.CurrentId(), 1);
    EXPECT_EQ(F.Link.RecordCount(), 2);
  }
  {
    SCOPED_TRACE("an expression that fails is reported too");
    TReportedErrors Reported;
    TDataSetFixture F;
    F.DataSet.SetFilter("Name * 2 = 4");
    F.DataSet.SetFiltered(true);
    F.DataSet.Open();
    EXPECT_EQ(Reported.Messages.size(), 3u);
    EXPECT_EQ(F.Link.RecordCount(), 3);
  }
}

TEST(DataSetFilterTest, FilterParsedAtOpen) {
  TDataSetFixture F;
  F.DataSet.SetFilter("[Nope] = 1");
  EXPECT_EQ(F.DataSet.Filter(), String("[Nope] = 1"));
  EXPECT_RAISES(F.DataSet.Open(), EDatabaseError, "Field 'Nope' not found");
  F.DataSet.SetFilter("[ID] = 6");
  F.DataSet.Open();
  // The text is ready even while Filtered is off.
  EXPECT_EQ(F.DataSet.RecordCount(), 6);
  F.DataSet.SetFiltered(true);
  EXPECT_EQ(visibleIds(F), (std::vector<int>{6}));
}

}  // namespace

namespace {

// A dataset class that filters in its own view: it keeps the properties with
// the store routines and counts the engine's resynchronisations.
class TOwnViewDataSet : public TRowListDataSet {
public:
  explicit TOwnViewDataSet(TComponent* AOwner) : TRowListDataSet(AOwner) {}
  void SetFilterText(const String& Value) override { StoreFilterText(Value); }
  void SetFiltered(bool Value) override { StoreFiltered(Value); }
  void SetOnFilterRecord(const TFilterRecordEvent& Value) override { StoreOnFilterRecord(Value); }
  void Resync(TResyncModes Mode) override {
    ++Resyncs;
    TRowListDataSet::Resync(Mode);
  }
  int Resyncs = 0;
};

}  // namespace

TEST(DataSetFilterTest, AClassFilteringInItsOwnViewStoresThePropertiesUntouched) {
  TOwnViewDataSet DataSet(nullptr);
  DataSet.FieldDefs()->Add("ID", ftInteger);
  for (int I = 1; I <= 3; ++I) DataSet.AppendRow({I});
  DataSet.Open();
  DataSet.Next();
  int Scrolls = 0;
  DataSet.AfterScroll = TDataSetNotifyEvent([&](TDataSet*) { ++Scrolls; });
  // Not even parsed: the class compiles it in its own language.
  DataSet.SetFilter("[ID] >>> 1");
  DataSet.SetFiltered(true);
  const TFilterRecordEvent Handler([](TDataSet*, bool& Accept) { Accept = false; });
  DataSet.SetOnFilterRecord(Handler);
  EXPECT_EQ(DataSet.Filter(), "[ID] >>> 1");
  EXPECT_TRUE(DataSet.Filtered());
  EXPECT_TRUE(DataSet.OnFilterRecord() == Handler);
  EXPECT_EQ(Scrolls, 0);
  EXPECT_EQ(DataSet.FieldByName("ID")->AsInteger(), 2);
}

TEST(DataSetFilterTest, PostCancelAndDeleteResyncThroughTheVirtual) {
  TOwnViewDataSet DataSet(nullptr);
  DataSet.FieldDefs()->Add("ID", ftInteger);
  for (int I = 1; I <= 3; ++I) DataSet.AppendRow({I});
  DataSet.Open();
  DataSet.Resyncs = 0;
  DataSet.Edit();
  DataSet.FieldByName("ID")->SetAsInteger(7);
  DataSet.Post();
  EXPECT_EQ(DataSet.Resyncs, 1);
  DataSet.Edit();
  DataSet.Cancel();
  EXPECT_EQ(DataSet.Resyncs, 2);
  DataSet.Delete();
  EXPECT_EQ(DataSet.Resyncs, 3);
}
