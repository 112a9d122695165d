// Bookmarks, Locate and Lookup over the generic engine.
#include "tests/platform/db/datasetfixture.h"

namespace {

using dbtest::Events;
using dbtest::Seq;
using dbtest::TDataSetFixture;

struct TOpenFixture : TDataSetFixture {
  TOpenFixture() { DataSet.Open(); }
};

TEST(BookmarkTest, Bookmarks) {
  TOpenFixture F;
  F.DataSet.MoveBy(3);
  const TBookmark Taylor = F.DataSet.Bookmark();
  EXPECT_EQ(Taylor.size(), 8);
  F.DataSet.First();

  // An empty bookmark goes nowhere and says nothing.
  F.Reset();
  F.DataSet.GotoBookmark(TBookmark());
  EXPECT_TRUE(F.DataSet.Log().empty());

  F.DataSet.SetBookmark(Taylor);
  EXPECT_EQ(F.CurrentId(), 4);
  EXPECT_EQ(Events(F.DataSet.Log()), Seq("link:CheckBrowseMode|BeforeScroll|link:DataSetChanged|AfterScroll"));
  // Centred in the window.
  EXPECT_EQ(F.Link.ActiveRecord(), 1);

  // Bookmarks follow their rows when the rows are reordered.
  F.DataSet.First();
  F.DataSet.SortRows(/*Column=*/1);
  EXPECT_EQ(F.CurrentId(), 1);
  F.DataSet.GotoBookmark(Taylor);
  EXPECT_EQ(F.CurrentId(), 4);
  EXPECT_EQ(F.DataSet.RecNo(), 5);

  // A deleted row's bookmark is no longer valid.
  EXPECT_TRUE(F.DataSet.BookmarkValid(Taylor));
  F.DataSet.Delete();
  EXPECT_FALSE(F.DataSet.BookmarkValid(Taylor));
  EXPECT_RAISES(F.DataSet.GotoBookmark(Taylor), EDatabaseError, "Record not found");
}

TEST(BookmarkTest, NoCurrentRecordNoBookmark) {
  TDataSetFixture Empty(/*RowCount=*/0);
  EXPECT_TRUE(Empty.DataSet.Bookmark().isEmpty());
  Empty.DataSet.Open();
  EXPECT_TRUE(Empty.DataSet.Bookmark().isEmpty());
  TOpenFixture F;
  F.DataSet.Insert();
  EXPECT_TRUE(F.DataSet.Bookmark().isEmpty());
  F.DataSet.Cancel();
  EXPECT_FALSE(F.DataSet.Bookmark().isEmpty());
}

TEST(BookmarkTest, CompareBookmarks) {
  TOpenFixture F;
  const TBookmark First = F.DataSet.Bookmark();
  F.DataSet.Last();
  const TBookmark Last = F.DataSet.Bookmark();
  struct Case {
    const char* Name;
    TBookmark A, B;
    int Expected;
  };
  const Case Cases[] = {
      {"both empty", TBookmark(), TBookmark(), 0},   {"only the first empty", TBookmark(), First, 1},
      {"only the second empty", First, TBookmark(), -1}, {"in order", First, Last, -1},
      {"reversed", Last, First, 1},                   {"same", Last, Last, 0},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(F.DataSet.CompareBookmarks(C.A, C.B), C.Expected);
  }
  // Order is the rows' current order: Evans (6) sorts before Smith (1).
  F.DataSet.SortRows(/*Column=*/1);
  EXPECT_EQ(F.DataSet.CompareBookmarks(First, Last), 1);
}

TEST(LocateTest, Locate) {
  struct Case {
    const char* Name;
    const char* Fields;
    Variant Keys;
    TLocateOptions Options;
    int Found;  // the ID moved to; 0 when not found
  };
  const Case Cases[] = {
      {"partial key", "Name", "Smi", {loPartialKey}, 1},
      {"partial key ignoring case", "Name", "smi", {loPartialKey, loCaseInsensitive}, 1},
      {"partial key keeps case", "Name", "smi", {loPartialKey}, 0},
      {"whole key ignoring case", "Name", "WILSON", {loCaseInsensitive}, 5},
      {"whole key keeps case", "Name", "WILSON", {}, 0},
      {"a prefix is not a whole key", "Name", "Tay", {}, 0},
      {"an integer key", "ID", 5, {}, 5},
      {"a text key converts to the field's type", "ID", "5", {}, 5},
      {"a float key", "Amount", 4.5, {}, 3},
      {"two keys", "Name;ID", VarArrayOf({"Jones", 2}), {}, 2},
      {"two keys, second differs", "Name;ID", VarArrayOf({"Jones", 3}), {}, 0},
      {"a one-element array for one field", "ID", VarArrayOf({6}), {}, 6},
      {"Null finds only Null", "Name", Null(), {}, 0},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TOpenFixture F;
    F.DataSet.MoveBy(3);
    F.Reset();
    EXPECT_EQ(F.DataSet.Locate(C.Fields, C.Keys, C.Options), C.Found != 0);
    if (C.Found == 0) {
      // The visible cursor and the window stay as they were.
      EXPECT_EQ(F.CurrentId(), 4);
      EXPECT_EQ(F.Link.ActiveRecord(), 2);
      EXPECT_EQ(Events(F.DataSet.Log()), Seq("link:CheckBrowseMode"));
      F.DataSet.Next();
      EXPECT_EQ(F.CurrentId(), 5);
    } else {
      EXPECT_EQ(F.CurrentId(), C.Found);
      EXPECT_EQ(Events(F.DataSet.Log()), Seq("link:CheckBrowseMode|BeforeScroll|link:DataSetChanged|AfterScroll"));
    }
  }
}

TEST(LocateTest, PartialKeyAppliesToTextOnly) {
  TRowListDataSet DataSet(nullptr);
  DataSet.FieldDefs()->Add("ID", ftInteger);
  DataSet.FieldDefs()->Add("Code", ftString, 10);
  for (int Id : {12, 3, 1}) DataSet.AppendRow({Id, String::number(Id)});
  DataSet.AppendRow({Null(), Null()});
  DataSet.Open();
  EXPECT_TRUE(DataSet.Locate("ID", 1, {loPartialKey}));
  EXPECT_EQ(DataSet.RecNo(), 3);
  EXPECT_TRUE(DataSet.Locate("Code", "1", {loPartialKey}));
  EXPECT_EQ(DataSet.RecNo(), 1);
  EXPECT_TRUE(DataSet.Locate("ID", Null(), {}));
  EXPECT_EQ(DataSet.RecNo(), 4);
}

// Rows of one integer field may hold values of several widths: a key beyond
// one row's kind is simply not that row.
TEST(LocateTest, KeysOfAnyIntegerWidthMeetValuesOfAnother) {
  TRowListDataSet DataSet(nullptr);
  DataSet.FieldDefs()->Add("ID", ftInteger);
  DataSet.AppendRow({7});
  DataSet.AppendRow({Int64(5000000000LL)});
  DataSet.Open();
  EXPECT_TRUE(DataSet.Locate("ID", Int64(5000000000LL), {}));
  EXPECT_EQ(DataSet.RecNo(), 2);
  EXPECT_TRUE(DataSet.Locate("ID", Int64(7), {}));
  EXPECT_EQ(DataSet.RecNo(), 1);
  EXPECT_FALSE(DataSet.Locate("ID", Int64(1) << 62, {}));
  EXPECT_EQ(DataSet.Lookup("ID", Int64(5000000000LL), "ID").AsInt64(), 5000000000LL);
}

TEST(LocateTest, BadKeys) {
  TOpenFixture F;
  F.DataSet.SetName("ds1");
  EXPECT_RAISES(F.DataSet.Locate("Name;ID", "Smith", {}), EDatabaseError,
                "ds1: Invalid key value count for fields 'Name;ID'");
  EXPECT_RAISES(F.DataSet.Locate("ID", VarArrayOf({1, 2}), {}), EDatabaseError,
                "ds1: Invalid key value count for fields 'ID'");
  EXPECT_RAISES(F.DataSet.Locate("Nope", 1, {}), EDatabaseError, "ds1: Field 'Nope' not found");
  EXPECT_RAISES(F.DataSet.Lookup("ID", 1, "Nope"), EDatabaseError, "ds1: Field 'Nope' not found");
  // The state is back to browsing after a failed scan.
  EXPECT_EQ(F.DataSet.State(), dsBrowse);
  EXPECT_FALSE(F.DataSet.ControlsDisabled());
}

TEST(LocateTest, Lookup) {
  TOpenFixture F;
  F.DataSet.MoveBy(3);
  F.Reset();
  const Variant Hit = F.DataSet.Lookup("Name", "Jones", "ID;Amount");
  ASSERT_TRUE(VarIsArray(Hit));
  EXPECT_EQ(VarArrayHighBound(Hit, 1), 1);
  EXPECT_EQ(Hit[0].AsInteger(), 2);
  EXPECT_EQ(Hit[1].AsDouble(), 3.0);
  EXPECT_EQ(F.DataSet.Lookup("ID", 6, "Name").AsString(), String("Evans"));
  const Variant Miss = F.DataSet.Lookup("Name", "Nobody", "ID");
  EXPECT_TRUE(VarIsNull(Miss));
  // The cursor never moved and nothing scrolled.
  EXPECT_EQ(F.CurrentId(), 4);
  EXPECT_EQ(Events(F.DataSet.Log()), Seq("link:CheckBrowseMode|link:CheckBrowseMode|link:CheckBrowseMode"));
  F.DataSet.Prior();
  EXPECT_EQ(F.CurrentId(), 3);

  TDataSetFixture Empty(/*RowCount=*/0);
  Empty.DataSet.Open();
  EXPECT_TRUE(VarIsNull(Empty.DataSet.Lookup("ID", 1, "Name")));
}

}  // namespace
