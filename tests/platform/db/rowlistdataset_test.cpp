// The test library itself: the row-list dataset's own members and the
// recorders.
#include "tests/platform/db/datasetfixture.h"

namespace {

using dbtest::Seq;
using dbtest::TDataSetFixture;

TEST(RowListDataSetTest, SortingKeepsTheCurrentRecord) {
  TDataSetFixture F;
  F.DataSet.AppendRow({7, Variant(), 0.0});
  EXPECT_TRUE(VarIsNull(F.DataSet.Row(6)[1]));
  F.DataSet.Open();
  F.DataSet.MoveBy(2);  // Brown
  F.Reset();
  F.DataSet.SortRows(/*Column=*/1);
  // Null first, then by name; the window is read again around Brown.
  std::vector<int> Ids;
  for (int I = 0; I < F.DataSet.RowCount(); ++I) Ids.push_back(F.DataSet.Row(I)[0].AsInteger());
  EXPECT_EQ(Ids, (std::vector<int>{7, 3, 6, 2, 1, 4, 5}));
  EXPECT_EQ(F.CurrentId(), 3);
  EXPECT_EQ(F.Link.ActiveRecord(), 1);
  EXPECT_EQ(F.Link.CallNames(), Seq("CheckBrowseMode|DataSetChanged"));
  F.DataSet.Prior();
  EXPECT_EQ(F.CurrentId(), 7);
}

TEST(RowListDataSetTest, RecordNumbersCountWhatTheFilterShows) {
  TDataSetFixture F;
  F.DataSet.SetFilter("[ID] <> 2");
  F.DataSet.SetFiltered(true);
  F.DataSet.Open();
  EXPECT_EQ(F.DataSet.RecordCount(), 5);
  F.DataSet.Next();
  EXPECT_EQ(F.CurrentId(), 3);
  EXPECT_EQ(F.DataSet.RecNo(), 2);
  F.DataSet.SetRecNo(4);
  EXPECT_EQ(F.CurrentId(), 5);
  F.DataSet.SetRecNo(9);  // beyond the end: stays
  EXPECT_EQ(F.CurrentId(), 5);
}

TEST(RowListDataSetTest, Instrumentation) {
  TDataSetFixture F;
  F.DataSet.SetLogging(false);
  F.DataSet.Open();
  F.DataSet.Next();
  // Only the link's journal lines.
  EXPECT_EQ(F.DataSet.Log(), Seq("link:ActiveChanged|link:CheckBrowseMode|link:DataSetScrolled(0)"));
  F.DataSet.SetLogging(true);

  // Faults count down; a silent one raises EAbort.
  F.DataSet.FailNext(fpInternalDelete, 2, /*Silent=*/true);
  EXPECT_RAISES(F.DataSet.Delete(), EAbort, "Operation aborted");
  EXPECT_RAISES(F.DataSet.Delete(), EAbort, "Operation aborted");
  F.DataSet.Delete();
  EXPECT_EQ(F.DataSet.RowCount(), 5);
  const TBookmark Current = F.DataSet.Bookmark();
  EXPECT_TRUE(F.DataSet.BookmarkValid(Current));
  EXPECT_FALSE(F.DataSet.BookmarkValid(TBookmark()));
  F.DataSet.Close();
  EXPECT_FALSE(F.DataSet.BookmarkValid(Current));
}

TEST(RowListDataSetTest, Recorders) {
  TDataSetFixture F;
  TDataSourceRecorder Events(&F.Source);
  std::vector<String> Journal;
  Events.SetJournal(&Journal);
  F.Link.SetJournal(&Journal, "grid:");
  F.DataSet.Open();
  F.DataSet.Edit();
  F.DataSet.FieldByName("Name")->SetAsString("x");
  EXPECT_EQ(Journal, Seq("grid:ActiveChanged|source:StateChange(dsBrowse)|source:DataChange|grid:CheckBrowseMode|"
                         "grid:EditingChanged|source:StateChange(dsEdit)|grid:RecordChanged|source:DataChange|"
                         "grid:RecordChanged(Name)|source:DataChange(Name)"));
  // Each call keeps the link as it stood.
  const TLinkCall& Editing = F.Link.Calls[2];
  EXPECT_EQ(Editing.Call, String("EditingChanged"));
  EXPECT_TRUE(Editing.Editing);
  EXPECT_TRUE(Editing.Active);
  EXPECT_EQ(Editing.RecordCount, 3);
  EXPECT_EQ(Editing.ActiveRecord, 0);
  EXPECT_EQ(F.Link.Calls.back().FieldName, String("Name"));
}

}  // namespace
