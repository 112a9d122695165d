// Navigation through the record-buffer window: what links see, which
// protocol calls the engine makes, and where the cursor ends.
#include "tests/platform/db/datasetfixture.h"

#include <functional>

namespace {

using dbtest::Events;
using dbtest::Seq;
using dbtest::TDataSetFixture;

TEST(DataSetNavigationTest, WindowAsALinkOfThreeRowsSeesIt) {
  struct Step {
    const char* Name;
    std::function<int(TDataSet&)> Action;  // answers MoveBy's result where it has one
    std::vector<String> Events;            // dataset events and link calls, in order
    int Id, LinkRow, LinkRecords;
    bool Bof, Eof;
    int Result;
  };
  const auto Next = [](TDataSet& D) { D.Next(); return 0; };
  const Step Steps[] = {
      {"open fills the window from the first record", [](TDataSet& D) { D.Open(); return 0; },
       Seq("BeforeOpen|link:ActiveChanged|AfterOpen"), 1, 0, 3, true, false, 0},
      {"next inside the window", Next,
       Seq("link:CheckBrowseMode|BeforeScroll|link:DataSetScrolled(0)|AfterScroll"), 2, 1, 3, false, false, 0},
      {"next to the last row", Next,
       Seq("link:CheckBrowseMode|BeforeScroll|link:DataSetScrolled(0)|AfterScroll"), 3, 2, 3, false, false, 0},
      {"next past the window shifts it by one", Next,
       Seq("link:CheckBrowseMode|BeforeScroll|link:DataSetScrolled(1)|AfterScroll"), 4, 2, 3, false, false, 0},
      {"last refills backwards", [](TDataSet& D) { D.Last(); return 0; },
       Seq("link:CheckBrowseMode|BeforeScroll|link:DataSetChanged|AfterScroll"), 6, 2, 3, false, true, 0},
      {"next at Eof moves nothing and scrolls nothing", Next, Seq("link:CheckBrowseMode"), 6, 2, 3, false, true,
       0},
      {"six priors reach the first record and set Bof",
       [](TDataSet& D) {
         for (int I = 0; I < 6; ++I) D.Prior();
         return 0;
       },
       Seq("link:CheckBrowseMode|BeforeScroll|link:DataSetScrolled(0)|AfterScroll|"
           "link:CheckBrowseMode|BeforeScroll|link:DataSetScrolled(0)|AfterScroll|"
           "link:CheckBrowseMode|BeforeScroll|link:DataSetScrolled(-1)|AfterScroll|"
           "link:CheckBrowseMode|BeforeScroll|link:DataSetScrolled(-1)|AfterScroll|"
           "link:CheckBrowseMode|BeforeScroll|link:DataSetScrolled(-1)|AfterScroll|"
           "link:CheckBrowseMode|BeforeScroll|link:DataSetScrolled(0)|AfterScroll"),
       1, 0, 3, true, false, 0},
      {"move by ten stops at the end after five", [](TDataSet& D) { return D.MoveBy(10); },
       Seq("link:CheckBrowseMode|BeforeScroll|link:DataSetScrolled(3)|AfterScroll"), 6, 2, 3, false, true, 5},
      {"move by zero does nothing", [](TDataSet& D) { return D.MoveBy(0); }, Seq("link:CheckBrowseMode"), 6, 2,
       3, false, true, 0},
      {"first refills forwards", [](TDataSet& D) { D.First(); return 0; },
       Seq("link:CheckBrowseMode|BeforeScroll|link:DataSetChanged|AfterScroll"), 1, 0, 3, true, false, 0},
      {"move by -1 at Bof does nothing", [](TDataSet& D) { return D.MoveBy(-1); }, Seq("link:CheckBrowseMode"),
       1, 0, 3, true, false, 0},
  };
  TDataSetFixture F;
  for (const Step& S : Steps) {
    SCOPED_TRACE(S.Name);
    F.Reset();
    EXPECT_EQ(S.Action(F.DataSet), S.Result);
    EXPECT_EQ(Events(F.DataSet.Log()), S.Events);
    EXPECT_EQ(F.CurrentId(), S.Id);
    EXPECT_EQ(F.Link.ActiveRecord(), S.LinkRow);
    EXPECT_EQ(F.Link.RecordCount(), S.LinkRecords);
    EXPECT_EQ(F.DataSet.Bof(), S.Bof);
    EXPECT_EQ(F.DataSet.Eof(), S.Eof);
  }
}

// The protocol calls behind navigation, for the dataset classes that
// implement them.
TEST(DataSetNavigationTest, ProtocolCalls) {
  struct Case {
    const char* Name;
    std::function<void(TDataSet&)> Action;
    std::vector<String> Log;
  };
  const Case Cases[] = {
      {"open reads three records forwards and nothing before the first",
       [](TDataSet&) {},  // the fixture's open below
       Seq("BeforeOpen|InternalOpen|GetRecord(gmNext)|GetRecord(gmNext)|GetRecord(gmNext)|"
           "link:ActiveChanged|AfterOpen")},
      {"a shifting next asks for one record after the last buffered one",
       [](TDataSet& D) {
         D.MoveBy(2);
         static_cast<TRowListDataSet&>(D).ClearLog();
         D.Next();
       },
       Seq("link:CheckBrowseMode|BeforeScroll|GetRecord(gmNext)|link:DataSetScrolled(1)|AfterScroll")},
      {"last goes to the end and reads backwards",
       [](TDataSet& D) {
         static_cast<TRowListDataSet&>(D).ClearLog();
         D.Last();
       },
       Seq("link:CheckBrowseMode|BeforeScroll|InternalLast|GetRecord(gmPrior)|GetRecord(gmPrior)|"
           "GetRecord(gmPrior)|link:DataSetChanged|AfterScroll")},
      {"first after last repositions and reads forwards",
       [](TDataSet& D) {
         D.Last();
         static_cast<TRowListDataSet&>(D).ClearLog();
         D.First();
       },
       Seq("link:CheckBrowseMode|BeforeScroll|InternalFirst|GetRecord(gmNext)|GetRecord(gmNext)|"
           "GetRecord(gmNext)|link:DataSetChanged|AfterScroll")},
      {"close frees the window before the cursor",
       [](TDataSet& D) {
         static_cast<TRowListDataSet&>(D).ClearLog();
         D.Close();
       },
       Seq("BeforeClose|link:ActiveChanged|InternalClose|AfterClose")},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TDataSetFixture F;
    F.DataSet.Open();
    C.Action(F.DataSet);
    EXPECT_EQ(F.DataSet.Log(), C.Log);
  }
}

TEST(DataSetNavigationTest, GrowingALinkRefillsAroundTheCurrentRecord) {
  TDataSetFixture F;
  F.DataSet.Open();
  F.DataSet.Last();
  F.Reset();
  F.Link.SetBufferCount(5);
  // Two records join above; no data event: the control repaints itself.
  EXPECT_TRUE(F.Link.CallNames().empty());
  EXPECT_EQ(F.Link.RecordCount(), 5);
  EXPECT_EQ(F.Link.ActiveRecord(), 4);
  EXPECT_EQ(F.CurrentId(), 6);
  F.Link.SetActiveRecord(0);
  EXPECT_EQ(F.CurrentId(), 2);
  F.Link.SetActiveRecord(4);

  // Shrinking keeps the active record inside the window.
  F.Link.SetBufferCount(2);
  EXPECT_EQ(F.Link.RecordCount(), 2);
  EXPECT_EQ(F.Link.ActiveRecord(), 1);
  EXPECT_EQ(F.CurrentId(), 6);
  F.DataSet.Prior();
  EXPECT_EQ(F.CurrentId(), 5);
  EXPECT_EQ(F.Link.ActiveRecord(), 0);
}

TEST(DataSetNavigationTest, TwoLinksShareTheLargerWindow) {
  TDataSetFixture F(/*RowCount=*/10, /*LinkRows=*/2);
  TRecordingDataLink Grid;
  Grid.SetBufferCount(5);
  Grid.SetDataSource(&F.Source);
  F.DataSet.Open();
  EXPECT_EQ(Grid.RecordCount(), 5);
  F.DataSet.MoveBy(3);
  // The small link follows the active record, the grid has it on row 3.
  EXPECT_EQ(F.Link.ActiveRecord(), 1);
  EXPECT_EQ(Grid.ActiveRecord(), 3);
  F.Link.Clear();
  Grid.Clear();
  F.DataSet.MoveBy(3);
  EXPECT_EQ(F.Link.CallNames(), Seq("CheckBrowseMode|DataSetScrolled(3)"));
  EXPECT_EQ(Grid.CallNames(), Seq("CheckBrowseMode|DataSetScrolled(2)"));
  EXPECT_EQ(Grid.ActiveRecord(), 4);
  EXPECT_EQ(F.CurrentId(), 7);
}

TEST(DataSetNavigationTest, WindowLargerThanTheDataSet) {
  TDataSetFixture F(/*RowCount=*/4, /*LinkRows=*/10);
  F.DataSet.Open();
  EXPECT_EQ(F.Link.RecordCount(), 4);
  F.DataSet.Last();
  EXPECT_EQ(F.Link.ActiveRecord(), 3);
  EXPECT_EQ(F.CurrentId(), 4);
  // The new record lands below the four that are read back above it.
  F.DataSet.Append();
  EXPECT_EQ(F.Link.RecordCount(), 5);
  EXPECT_EQ(F.Link.ActiveRecord(), 4);
  F.DataSet.FieldByName("ID")->SetAsInteger(5);
  F.DataSet.Post();
  F.DataSet.First();
  EXPECT_EQ(F.Link.RecordCount(), 5);
  EXPECT_EQ(F.DataSet.MoveBy(10), 4);
  EXPECT_EQ(F.CurrentId(), 5);
}

TEST(DataSetNavigationTest, EmptyDataSet) {
  TDataSetFixture F(/*RowCount=*/0);
  F.DataSet.Open();
  EXPECT_TRUE(F.DataSet.Bof());
  EXPECT_TRUE(F.DataSet.Eof());
  EXPECT_TRUE(F.DataSet.IsEmpty());
  EXPECT_EQ(F.Link.RecordCount(), 0);
  EXPECT_EQ(F.DataSet.MoveBy(1), 0);
  EXPECT_TRUE(F.DataSet.Bookmark().isEmpty());
  EXPECT_TRUE(VarIsNull(F.DataSet.FieldByName("ID")->Value()));
}

TEST(DataSetNavigationTest, RecordNumbers) {
  TDataSetFixture F;
  F.DataSet.Open();
  EXPECT_EQ(F.DataSet.RecordCount(), 6);
  EXPECT_EQ(F.DataSet.RecNo(), 1);
  F.DataSet.SetRecNo(5);
  EXPECT_EQ(F.CurrentId(), 5);
  EXPECT_EQ(F.DataSet.RecNo(), 5);
  F.DataSet.SetSequenced(false);
  EXPECT_FALSE(F.DataSet.IsSequenced());
  EXPECT_EQ(F.DataSet.RecNo(), -1);
  EXPECT_EQ(F.DataSet.RecordCount(), -1);
}

TEST(DataSetNavigationTest, ClosedDataSetRefusesNavigation) {
  TDataSetFixture F;
  F.DataSet.SetName("ds1");
  EXPECT_RAISES(F.DataSet.Next(), EDatabaseError, "ds1: Cannot perform this operation on a closed dataset");
  EXPECT_RAISES(F.DataSet.First(), EDatabaseError, "ds1: Cannot perform this operation on a closed dataset");
  F.DataSet.Open();
  EXPECT_RAISES(F.DataSet.CheckInactive(), EDatabaseError, "ds1: Cannot perform this operation on an open dataset");
}

}  // namespace
