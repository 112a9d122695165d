// The client-side view: IndexFieldNames, master-detail ranges and their
// cascade, Filter, Locate, RecNo and bookmarks.
#include "platform/fd/fdquery.h"

#include "platform/db/datasource.h"
#include "platform/db/testing/recorders.h"
#include "platform/fd/fdconsts.h"
#include "tests/platform/fd/fdfixture.h"

using namespace fdtest;

namespace {

// Four groups (titles sort Alpha, Beta, Delta, Gamma; Delta has no
// subgroups), their subgroups and the subgroups' children.
const char* const Levels = R"(
INSERT INTO gr_name VALUES (1, 'Alpha'), (2, 'Beta'), (3, 'Gamma'), (4, 'Delta');
INSERT INTO sbgr1_nm VALUES (11, 1, 'a1'), (12, 1, 'a2'), (21, 2, 'b1'), (22, 2, 'b2'), (23, 2, 'b3'), (31, 3, 'c1');
INSERT INTO sbgr2_nm VALUES (111, 11, 'x'), (112, 11, 'y'), (121, 12, 'z'), (211, 21, 'p'), (221, 22, 'q'),
  (222, 22, 'r'), (311, 31, 'v'), (312, 31, 'w');
INSERT INTO society VALUES ('JAMA', 'Journal', 'jama.org', 'j'), ('ESC', 'Society', 'esc.org', 's'),
  ('BMJ', 'Journal', 'bmj.com', 'j'), ('PubMed', 'Search', 'pubmed.gov', 'f');
)";

// One level of the chain: its query, data source, a recording link and a
// scroll counter.
struct TLevel {
  TFDQuery* Query = nullptr;
  TDataSource Source{nullptr};
  TRecordingDataLink Link;
  int Scrolls = 0;

  void Attach(TFDQuery* AQuery) {
    Query = AQuery;
    Source.SetDataSet(Query);
    Link.SetDataSource(&Source);
    Query->AfterScroll = TDataSetNotifyEvent([this](TDataSet*) { ++Scrolls; });
  }
  ~TLevel() { Link.SetDataSource(nullptr); }
  void Reset() {
    Scrolls = 0;
    Link.Clear();
  }
  String Value(const char* Field) { return Query->FieldByName(QLatin1String(Field))->AsString(); }
  std::vector<String> Shown(const char* Field) {
    std::vector<String> Values;
    const TBookmark Here = Query->Bookmark();
    Query->DisableControls();
    for (Query->First(); !Query->Eof(); Query->Next()) Values.push_back(Value(Field));
    if (!Here.isEmpty()) Query->SetBookmark(Here);
    Query->EnableControls();
    return Values;
  }
};

std::vector<String> Lines(std::initializer_list<const char*> Items) {
  std::vector<String> Result;
  for (const char* Item : Items) Result.push_back(String::fromUtf8(Item));
  return Result;
}

// The data module's first three levels.
struct TChainTest : ::testing::Test {
  TCatalogFixture Catalog{Levels};
  TLevel Part1, Part2, Disease;

  void SetUp() override {
    Part1.Attach(Catalog.Query("SELECT * FROM gr_name ORDER BY gr_title DESC", false));
    Part1.Query->SetIndexFieldNames(QStringLiteral("GR_TITLE;GR_NUMBER"));
    Part2.Attach(Catalog.Query("select * from sbgr1_nm order by sbgr1_name desc", false));
    Part2.Query->SetMasterSource(&Part1.Source);
    Part2.Query->SetMasterFields(QStringLiteral("GR_NUMBER"));
    Part2.Query->SetIndexFieldNames(QStringLiteral("GR_NUMBER;sbgr1_name"));
    Disease.Attach(Catalog.Query("select * from sbgr2_nm order by sbgr2_name desc", false));
    Disease.Query->SetMasterSource(&Part2.Source);
    Disease.Query->SetMasterFields(QStringLiteral("SBGR1_NMB"));
    Disease.Query->SetIndexFieldNames(QStringLiteral("SBGR1_NMB;sbgr2_name"));
    for (TLevel* Level : {&Part1, &Part2, &Disease}) {
      Level->Query->SetCachedUpdates(true);
      Level->Query->Open();
      Level->Reset();
    }
  }
  void TearDown() override {
    for (TLevel* Level : {&Part1, &Part2, &Disease}) EXPECT_TRUE(Level->Query->CheckConsistency());
  }
};

}  // namespace

// ---------------------------------------------------------------------------
// master-detail

TEST_F(TChainTest, AMasterScrollReRangesEveryLevelBelowAtOnce) {
  EXPECT_EQ(Part1.Shown("gr_title"), Lines({"Alpha", "Beta", "Delta", "Gamma"}));
  EXPECT_EQ(Part2.Shown("sbgr1_name"), Lines({"a1", "a2"}));
  EXPECT_EQ(Disease.Shown("sbgr2_name"), Lines({"x", "y"}));
  Part1.Reset();
  Part2.Reset();
  Disease.Reset();

  Part1.Query->Next();
  EXPECT_EQ(Part1.Scrolls, 1);
  EXPECT_EQ(Part2.Scrolls, 1);
  EXPECT_EQ(Disease.Scrolls, 1);
  EXPECT_EQ(Part2.Value("sbgr1_name"), QStringLiteral("b1"));
  EXPECT_EQ(Disease.Value("sbgr2_name"), QStringLiteral("p"));
  EXPECT_EQ(Disease.Query->RecordCount(), 1);
  EXPECT_EQ(Part2.Shown("sbgr1_name"), Lines({"b1", "b2", "b3"}));

  Part1.Query->Next();  // Delta: no subgroups
  EXPECT_TRUE(Part2.Query->IsEmpty());
  EXPECT_EQ(Part2.Query->RecordCount(), 0);
  EXPECT_TRUE(Disease.Query->IsEmpty());
  EXPECT_EQ(Disease.Query->RecNo(), 0);
}

TEST_F(TChainTest, RenamesAndMovesThatKeepTheLinkLeaveLowerLevelsAlone) {
  Part2.Query->Next();  // a2
  Part2.Query->Prior();  // a1
  Disease.Query->Next();  // y
  Disease.Reset();

  Part2.Query->Edit();
  Part2.Query->FieldByName(QStringLiteral("sbgr1_name"))->SetAsString(QStringLiteral("zz"));
  Part2.Query->Post();
  EXPECT_EQ(Part2.Shown("sbgr1_name"), Lines({"a2", "zz"}));
  EXPECT_EQ(Part2.Value("sbgr1_name"), QStringLiteral("zz")) << "the renamed row moved and stays current";
  EXPECT_EQ(Disease.Value("sbgr2_name"), QStringLiteral("y"));
  EXPECT_EQ(Disease.Scrolls, 0);

  // Down at the last group: nothing moves, so nothing re-ranges.
  Part1.Query->Last();
  Disease.Query->Last();
  Disease.Reset();
  Part1.Query->DisableControls();
  Part1.Query->Next();
  Part1.Query->EnableControls();
  EXPECT_TRUE(Part1.Query->Eof());
  EXPECT_EQ(Disease.Value("sbgr2_name"), QStringLiteral("w"));
  EXPECT_EQ(Disease.Scrolls, 0);
}

TEST_F(TChainTest, DetailsWaitWhileTheMastersControlsAreDisabled) {
  Part1.Query->DisableControls();
  Part1.Query->Next();
  Part1.Query->Next();
  EXPECT_EQ(Part2.Shown("sbgr1_name"), Lines({"a1", "a2"})) << "paused";
  Part1.Query->EnableControls();
  EXPECT_TRUE(Part2.Query->IsEmpty()) << "caught up with Delta";
}

TEST_F(TChainTest, AppendingInADetailStoresTheRowFromItsNewRecordHandler) {
  Part1.Query->Next();  // Beta
  Part2.Query->OnNewRecord = TDataSetNotifyEvent([](TDataSet* DataSet) {
    auto* Query = static_cast<TFDQuery*>(DataSet);
    Query->FieldByName(QStringLiteral("sbgr1_name"))->SetAsString(QStringLiteral(".."));
    Query->ApplyUpdates();
    Query->CommitUpdates();
  });
  Part2.Reset();
  Part2.Query->Append();

  EXPECT_EQ(Part2.Query->State(), dsBrowse);
  EXPECT_EQ(Part2.Value("sbgr1_name"), QStringLiteral(".."));
  EXPECT_EQ(Part2.Value("gr_number"), QStringLiteral("2")) << "the link came from the master";
  EXPECT_EQ(Part2.Value("sbgr1_nmb"), QStringLiteral("32")) << "the key the database gave";
  EXPECT_EQ(Part2.Query->RecordCount(), 4);
  EXPECT_FALSE(Part2.Query->UpdatesPending());
  EXPECT_TRUE(Disease.Query->IsEmpty()) << "the new subgroup has no children";
  TRawConnection Raw(Catalog.File.Path);
  EXPECT_EQ(Raw.Rows("SELECT * FROM sbgr1_nm WHERE sbgr1_nmb = 32"), Lines({"32|2|.."}));

  // A handler that moves to the last row after storing, as the reference
  // list's does.
  Part2.Query->OnNewRecord = TDataSetNotifyEvent([](TDataSet* DataSet) {
    auto* Query = static_cast<TFDQuery*>(DataSet);
    Query->FieldByName(QStringLiteral("sbgr1_name"))->SetAsString(QStringLiteral("zz"));
    Query->ApplyUpdates();
    Query->CommitUpdates();
    Query->Last();
  });
  Part2.Query->Append();
  EXPECT_EQ(Part2.Query->State(), dsBrowse);
  EXPECT_EQ(Part2.Value("sbgr1_name"), QStringLiteral("zz"));
  EXPECT_EQ(Part2.Query->RecNo(), Part2.Query->RecordCount());
}

TEST_F(TChainTest, APostedMoveLeavesTheRangeUntilCancelled) {
  Part1.Query->Next();  // Beta: b1, b2, b3
  ASSERT_TRUE(Part2.Query->Locate(QStringLiteral("sbgr1_name"), QStringLiteral("b3"), {}));
  Part2.Query->Delete();
  Part2.Query->ApplyUpdates();  // an applied delete

  Part2.Query->First();
  Part2.Query->Edit();
  Part2.Query->FieldByName(QStringLiteral("gr_number"))->SetAsInteger(1);
  Part2.Query->Post();  // a pending move to Alpha
  EXPECT_EQ(Part2.Shown("sbgr1_name"), Lines({"b2"}));
  EXPECT_EQ(Part2.Query->RecordCount(), 1);
  EXPECT_EQ(Part2.Value("sbgr1_name"), QStringLiteral("b2")) << "the next record took its place";
  Part2.Query->Append();
  Part2.Query->FieldByName(QStringLiteral("sbgr1_name"))->SetAsString(QStringLiteral("b9"));
  Part2.Query->Post();  // a pending insert
  EXPECT_EQ(Part2.Shown("sbgr1_name"), Lines({"b2", "b9"}));

  Part2.Query->SetMasterFields(String());
  EXPECT_EQ(Part2.Query->RecordCount(), 6) << "no link: the whole result";
  Part2.Query->SetMasterFields(QStringLiteral("GR_NUMBER"));
  EXPECT_EQ(Part2.Shown("sbgr1_name"), Lines({"b2", "b9"}));

  Part2.Query->CancelUpdates();
  EXPECT_EQ(Part2.Shown("sbgr1_name"), Lines({"b1", "b2"})) << "moved back, the delete stays, the insert is gone";
  EXPECT_TRUE(Part2.Query->UpdatesPending()) << "the applied delete until CommitUpdates";
  Part2.Query->CommitUpdates();
  EXPECT_FALSE(Part2.Query->UpdatesPending());
  TRawConnection Raw(Catalog.File.Path);
  EXPECT_EQ(Raw.Rows("SELECT sbgr1_name FROM sbgr1_nm WHERE gr_number = 2 ORDER BY 1"), Lines({"b1", "b2"}));
}

TEST_F(TChainTest, AClosedMasterEmptiesItsDetailsUntilItOpens) {
  Part1.Query->Close();
  EXPECT_TRUE(Part2.Query->Active());
  EXPECT_TRUE(Part2.Query->IsEmpty());
  EXPECT_TRUE(Disease.Query->IsEmpty());
  Part1.Query->Open();
  EXPECT_EQ(Part2.Shown("sbgr1_name"), Lines({"a1", "a2"}));
  EXPECT_EQ(Disease.Shown("sbgr2_name"), Lines({"x", "y"}));
}

TEST_F(TChainTest, ARangeWithoutAMatchingIndexIsAFilterPass) {
  // The detail fields follow the index unless named.
  Part2.Query->SetDetailFields(QStringLiteral("gr_number"));
  Part2.Query->SetIndexFieldNames(QStringLiteral("sbgr1_name:D"));
  Part1.Query->Next();
  EXPECT_EQ(Part2.Shown("sbgr1_name"), Lines({"b3", "b2", "b1"}));
  Part1.Query->Prior();
  EXPECT_EQ(Part2.Shown("sbgr1_name"), Lines({"a2", "a1"}));
}

TEST_F(TChainTest, LocateOnADetailMovesOnceOrNotAtAll) {
  Part2.Query->Last();
  Part2.Reset();
  Disease.Reset();
  EXPECT_FALSE(Part2.Query->Locate(QStringLiteral("sbgr1_name"), QStringLiteral("b1"), {}));
  EXPECT_EQ(Part2.Value("sbgr1_name"), QStringLiteral("a2"));
  EXPECT_EQ(Part2.Scrolls, 0);
  for (const String& Call : Part2.Link.CallNames()) EXPECT_EQ(Call, QStringLiteral("CheckBrowseMode"));
  EXPECT_EQ(Disease.Scrolls, 0);

  EXPECT_TRUE(Part2.Query->Locate(QStringLiteral("SBGR1_NAME"), QStringLiteral("A1"), {loCaseInsensitive}));
  EXPECT_EQ(Part2.Scrolls, 1);
  EXPECT_EQ(Disease.Scrolls, 1);
  EXPECT_EQ(Disease.Value("sbgr2_name"), QStringLiteral("x"));
  EXPECT_TRUE(VarIsNull(Part2.Query->Lookup(QStringLiteral("sbgr1_name"), QStringLiteral("b1"),
                                            QStringLiteral("sbgr1_nmb"))));
  EXPECT_EQ(Part2.Query->Lookup(QStringLiteral("sbgr1_name"), QStringLiteral("a2"), QStringLiteral("sbgr1_nmb"))
                .AsInteger(),
            12);
  EXPECT_EQ(Part2.Scrolls, 1);
}

// ---------------------------------------------------------------------------
// IndexFieldNames

namespace {

struct TIndexTest : ::testing::Test {
  TCatalogFixture Catalog{R"(
CREATE TABLE t (k INTEGER, a, b INTEGER, name TEXT);
INSERT INTO t VALUES (1, 1, 1, 'b'), (2, 1, 2, 'B'), (3, 2, 1, 'a'), (4, NULL, 5, 'A'), (5, 'x', 0, NULL),
  (6, 1.5, 9, 'Б'), (7, 1, 2, 'а');
INSERT INTO refuse VALUES ('c', 'x', 2), ('a', 'y', 2), ('c', 'z', 1), ('b', 'w', 1);
)"};
  TFDQuery* Query = nullptr;

  void SetUp() override { Query = Catalog.Query("select * from t order by k desc"); }
  std::vector<String> Keys(TFDDataSet* DataSet = nullptr, const char* Field = "k") {
    TFDDataSet* D = DataSet ? DataSet : Query;
    std::vector<String> Values;
    for (D->First(); !D->Eof(); D->Next()) Values.push_back(D->FieldByName(QLatin1String(Field))->AsString());
    return Values;
  }
};

}  // namespace

TEST_F(TIndexTest, IndexFieldNamesOrderTheRows) {
  struct Case {
    const char* Index;
    const char* Order;
  } Cases[] = {
      {"", "7 6 5 4 3 2 1"},
      {"a", "4 7 2 1 6 3 5"},        // Null, numbers by value, text; ties in SQL order
      {"A:D", "5 3 6 7 2 1 4"},      // Null last descending
      {"a;b:D", "4 7 2 1 6 3 5"},
      {" b ; a ", "5 1 3 7 2 4 6"},
      {"name", "5 4 2 3 1 6 7"},     // code points: 'A' < 'B' < 'a' < 'b' < Cyrillic
      {"name:N", "5 4 3 2 1 7 6"},   // folded; ties keep SQL order
      {"NAME:DN", "6 7 2 1 4 3 5"},
      {"name:AN", "5 4 3 2 1 7 6"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Index);
    Query->SetIndexFieldNames(QLatin1String(C.Index));
    const QStringList Expected = String::fromUtf8(C.Order).split(u' ');
    EXPECT_EQ(Keys(), std::vector<String>(Expected.begin(), Expected.end()));
    EXPECT_TRUE(Query->CheckConsistency());
  }
}

TEST_F(TIndexTest, TheLevelListsShowNamesAscendingWhateverTheSQLSays) {
  TFDQuery* Refuse = Catalog.Query("select * from refuse order by refuse desc", false);
  Refuse->SetIndexFieldNames(QStringLiteral("refuse; type"));
  Refuse->Open();
  EXPECT_EQ(Keys(Refuse, "replace"), Lines({"y", "w", "z", "x"}));
  Refuse->SetIndexFieldNames(QStringLiteral("REFUSE;TYPE:D"));
  EXPECT_EQ(Keys(Refuse, "replace"), Lines({"y", "w", "x", "z"}));
}

TEST_F(TIndexTest, AnUnknownFieldOrOptionKeepsThePreviousIndex) {
  Query->SetIndexFieldNames(QStringLiteral("a"));
  Query->SetName(QStringLiteral("fdqT"));
  EXPECT_RAISES(Query->SetIndexFieldNames(QStringLiteral("Bogus")), EDatabaseError, "fdqT: Field 'Bogus' not found");
  EXPECT_RAISES(Query->SetIndexFieldNames(QStringLiteral("a:X")), EDatabaseError,
                "fdqT: Invalid index field option 'X'");
  EXPECT_EQ(Query->IndexFieldNames(), QStringLiteral("a"));
  EXPECT_EQ(Keys(), Lines({"4", "7", "2", "1", "6", "3", "5"}));
}

TEST_F(TIndexTest, AnIndexSetWhileClosedAppliesAtOpenAndSurvivesReopening) {
  Query->Close();
  Query->SetIndexFieldNames(QStringLiteral("k"));
  EXPECT_EQ(Query->IndexFieldNames(), QStringLiteral("k"));
  Query->SetIndexesActive(false);
  Query->Open();
  EXPECT_EQ(Keys(), Lines({"1", "2", "3", "4", "5", "6", "7"})) << "IndexesActive does not switch it off";
}

TEST_F(TIndexTest, AChangedRowMovesToItsPlaceAndStaysCurrent) {
  Query->SetCachedUpdates(true);
  Query->SetIndexFieldNames(QStringLiteral("k"));
  ASSERT_TRUE(Query->Locate(QStringLiteral("k"), 6, {}));
  const TBookmark Six = Query->Bookmark();
  ASSERT_TRUE(Query->Locate(QStringLiteral("k"), 2, {}));
  Query->Edit();
  Query->FieldByName(QStringLiteral("k"))->SetAsInteger(9);
  Query->Post();
  EXPECT_EQ(Query->FieldByName(QStringLiteral("k"))->AsInteger(), 9);
  EXPECT_EQ(Query->RecNo(), 7);
  EXPECT_TRUE(Query->BookmarkValid(Six));
  Query->SetBookmark(Six);
  EXPECT_EQ(Query->RecNo(), 5);
  EXPECT_EQ(Keys(), Lines({"1", "3", "4", "5", "6", "7", "9"}));

  // Without an index Insert goes before the current record, Append last.
  Query->SetIndexFieldNames(String());
  ASSERT_TRUE(Query->Locate(QStringLiteral("k"), 4, {}));
  Query->Insert();
  Query->FieldByName(QStringLiteral("k"))->SetAsInteger(40);
  Query->Post();
  Query->Append();
  Query->FieldByName(QStringLiteral("k"))->SetAsInteger(99);
  Query->Post();
  EXPECT_EQ(Keys(), Lines({"7", "6", "5", "40", "4", "3", "9", "1", "99"}));
  EXPECT_TRUE(Query->CheckConsistency());
}

TEST_F(TIndexTest, RecNoBookmarksAndTheirOrder) {
  Query->SetIndexFieldNames(QStringLiteral("k"));
  Query->SetRecNo(3);
  EXPECT_EQ(Query->FieldByName(QStringLiteral("k"))->AsInteger(), 3);
  const TBookmark Three = Query->Bookmark();
  Query->SetRecNo(0);
  Query->SetRecNo(8);
  EXPECT_EQ(Query->RecNo(), 3) << "out of range: nothing";
  Query->Last();
  const TBookmark Seven = Query->Bookmark();
  EXPECT_EQ(Query->CompareBookmarks(Three, Seven), -1);
  Query->SetIndexFieldNames(QStringLiteral("k:D"));
  EXPECT_EQ(Query->CompareBookmarks(Three, Seven), 1);
  Query->SetFilter(QStringLiteral("k > 3"));
  Query->SetFiltered(true);
  EXPECT_FALSE(Query->BookmarkValid(Three)) << "outside the view";
  EXPECT_EQ(Query->CompareBookmarks(Three, Seven), 1) << "outside sorts after inside";
  Query->SetFiltered(false);
  EXPECT_TRUE(Query->BookmarkValid(Three));
  Query->SetBookmark(Three);
  EXPECT_EQ(Query->RecNo(), 5);
}

// ---------------------------------------------------------------------------
// filters

TEST_F(TChainTest, FiltersNarrowTheRangeAndReadEveryChange) {
  TFDQuery* Society = Catalog.Query("select * from society", false);
  Society->SetCachedUpdates(true);
  Society->SetFilter(QStringLiteral("[Type_Inf]='j'"));
  Society->SetFiltered(true);
  Society->Open();
  TLevel View;
  View.Attach(Society);
  EXPECT_EQ(View.Shown("short_name"), Lines({"JAMA", "BMJ"}));
  Society->SetFiltered(false);
  EXPECT_EQ(Society->RecordCount(), 4);
  Society->SetFiltered(true);
  EXPECT_EQ(Society->RecordCount(), 2);

  // A posted value the filter refuses leaves the view.
  Society->First();
  Society->Edit();
  Society->FieldByName(QStringLiteral("type_inf"))->SetAsString(QStringLiteral("w"));
  Society->Post();
  EXPECT_EQ(View.Shown("short_name"), Lines({"BMJ"}));

  // A text that does not parse raises and keeps the filter in force.
  EXPECT_THROW(Society->SetFilter(QStringLiteral("[Type_Inf] = = 'j'")), EDatabaseError);
  EXPECT_EQ(Society->Filter(), QStringLiteral("[Type_Inf]='j'"));
  EXPECT_EQ(View.Shown("short_name"), Lines({"BMJ"}));

  Society->SetFilterOptions({foCaseInsensitive});
  Society->SetFilter(QStringLiteral("[short_name] like 'p%' or [ADRESS] = 'ESC.ORG'"));
  EXPECT_EQ(View.Shown("short_name"), Lines({"ESC", "PubMed"}));

  // Filter and range together.
  Part2.Query->SetFilter(QStringLiteral("[sbgr1_name] <> 'b2'"));
  Part2.Query->SetFiltered(true);
  Part1.Query->Next();
  EXPECT_EQ(Part2.Shown("sbgr1_name"), Lines({"b1", "b3"}));
  Part2.Query->SetOnFilterRecord(
      TFilterRecordEvent([](TDataSet* DataSet, bool& Accept) {
        Accept = Accept && DataSet->FieldByName(QStringLiteral("sbgr1_nmb"))->AsInteger() != 23;
      }));
  EXPECT_EQ(Part2.Shown("sbgr1_name"), Lines({"b1"}));
  View.Link.SetDataSource(nullptr);
}

TEST_F(TIndexTest, LocateTakesPartialKeysForTextOnly) {
  Catalog.Connection->ExecSQL(QStringLiteral("CREATE TABLE keys (k INTEGER, s TEXT)"));
  Catalog.Connection->ExecSQL(QStringLiteral("INSERT INTO keys VALUES (108, 'abc'), (10, 'ab'), (1, 'a')"));
  TFDQuery* Table = Catalog.Query("select * from keys");
  ASSERT_TRUE(Table->Locate(QStringLiteral("k"), 1, {loPartialKey}));
  EXPECT_EQ(Table->FieldByName(QStringLiteral("s"))->AsString(), QStringLiteral("a"));
  ASSERT_TRUE(Table->Locate(QStringLiteral("s"), QStringLiteral("AB"), {loPartialKey, loCaseInsensitive}));
  EXPECT_EQ(Table->FieldByName(QStringLiteral("k"))->AsInteger(), 108);
  ASSERT_TRUE(Table->Locate(QStringLiteral("k"), QStringLiteral("10"), {}));
  EXPECT_EQ(Table->FieldByName(QStringLiteral("s"))->AsString(), QStringLiteral("ab"));
}
