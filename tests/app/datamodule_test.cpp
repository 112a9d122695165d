// The data module on a real catalog file: its components, browsing the
// classification chain, new rows, deletions and the wastebasket button.
// Storing, transactions and bad files: datamodule_storing_test.cpp.
#include "app/datamodule.h"

#include "platform/ui/controls/commdlg.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/imagelist.h"
#include "platform/ui/windowing/dialogs.h"
#include <QStringList>
#include "platform/ui/windowing/modaltest.h"  // after <QStringList>, which it uses unincluded
#include "tests/app/datamodulefixture.h"

using namespace dmtest;

namespace {

// ---------------------------------------------------------------------------
// components

TEST_F(DataModuleTest, CreationNamesTheFileWithoutAFolderAndConnectsNothing) {
  TFDConnectionDefParams* Params = Dm->myFDConnection1->Params();
  EXPECT_EQ(Params->Database(), QStringLiteral("bibliona.sqlite"));
  EXPECT_EQ(Params->DriverID(), QStringLiteral("SQLite"));
  EXPECT_EQ(Params->Values(QStringLiteral("LockingMode")), QStringLiteral("Normal"));
  EXPECT_EQ(Params->Values(QStringLiteral("BusyTimeout")), QStringLiteral("1000"));
  EXPECT_FALSE(Dm->myFDConnection1->LoginPrompt());
  EXPECT_FALSE(Dm->myFDConnection1->Connected());
  EXPECT_FALSE(Dm->fdqPart1->Active());

  // Other windows find the components by these names.
  const char* Pairs[][2] = {{"dsPart1", "fdqPart1"},         {"dsPart2", "fdqPart2"},
                            {"dsDisease", "fdqDisease"},     {"dsDisPropety", "fdqDisPropety"},
                            {"dsSubPropety", "fdqSubPropety"}, {"dsCatalog", "fdqCatalog"},
                            {"dsSelected", "fdqSelected"},   {"dsSociety", "fdqSociety"},
                            {"dsJournal", "fdqJournal"},     {"dsRefuse", "fdqRefuse"},
                            {"dsReference", "fdqReference"}, {"dsSeekAll", "fdqSeek"}};
  for (const auto& Pair : Pairs) {
    SCOPED_TRACE(Pair[0]);
    auto* Source = dynamic_cast<TDataSource*>(Dm->FindComponent(QString::fromUtf8(Pair[0])));
    ASSERT_NE(Source, nullptr);
    EXPECT_EQ(Source->DataSet(), Dm->FindComponent(QString::fromUtf8(Pair[1])));
  }
  EXPECT_NE(Dm->FindComponent(QStringLiteral("FDQuery1")), nullptr);
  EXPECT_EQ(Dm->FDQuery1->UpdateOptions()->UpdateMode(), upWhereChanged);
  EXPECT_EQ(Dm->fdqCatalog->UpdateOptions()->UpdateMode(), upWhereKeyOnly);
}

TEST_F(DataModuleTest, TheSharedFileDialogsBelongToTheModule) {
  auto* Open = dynamic_cast<TOpenDialog*>(Dm->FindComponent(QStringLiteral("FileOpenDialog")));
  ASSERT_NE(Open, nullptr);
  EXPECT_EQ(Open, Dm->FileOpenDialog);
  EXPECT_EQ(Open->Title, QStringLiteral("Выбор документа"));
  const std::vector<TFilterEntry> Entries = ParseFilter(Open->Filter);
  ASSERT_EQ(Entries.size(), 7u);
  EXPECT_EQ(Entries[0].Description, QStringLiteral("документы"));
  EXPECT_EQ(Entries[0].Patterns, QStringList({"*.chm", "*.doc", "*.docx", "*.pdf", "*.txt"}));
  EXPECT_EQ(Entries[3].Patterns, QStringList({"*.DOC", "*.DOCX"}));
  EXPECT_EQ(Entries[6].Description, QStringLiteral("все файлы"));
  EXPECT_EQ(Open->FilterIndex, 1);
  EXPECT_FALSE(Open->Options.Contains(ofFileMustExist));

  auto* Save = dynamic_cast<TSaveDialog*>(Dm->FindComponent(QStringLiteral("SaveDialog1")));
  ASSERT_NE(Save, nullptr);
  EXPECT_EQ(Save, Dm->SaveDialog1);
  EXPECT_FALSE(Save->Options.Contains(ofOverwritePrompt));
}

TEST_F(DataModuleTest, TheToolBarImagesHoldBothWastebasketStates) {
  auto* Images = dynamic_cast<TImageList*>(Dm->FindComponent(QStringLiteral("ImageList2")));
  ASSERT_NE(Images, nullptr);
  EXPECT_EQ(Images, Dm->ImageList2);
  EXPECT_EQ(Images->Width(), 16);
  EXPECT_EQ(Images->Height(), 16);
  ASSERT_EQ(Images->Count(), WastebasketFullImage + 1);
  // Paper shows above the rim of the full basket only.
  TBitmap Empty, Full;
  ASSERT_TRUE(Images->GetBitmap(WastebasketEmptyImage, &Empty));
  ASSERT_TRUE(Images->GetBitmap(WastebasketFullImage, &Full));
  EXPECT_EQ(Full.Canvas()->Pixels(6, 3), clWhite);
  EXPECT_NE(Empty.Canvas()->Pixels(6, 3), clWhite);
  EXPECT_EQ(Empty.Canvas()->Pixels(7, 10), Full.Canvas()->Pixels(7, 10));
}

TEST_F(DataModuleTest, OpeningOpensTheMainWindowsQueriesAndNoOthers) {
  ASSERT_TRUE(Open());
  EXPECT_TRUE(Dm->myFDConnection1->Connected());
  EXPECT_EQ(Dm->myFDConnection1->Params()->Database(), Path);
  for (TFDQuery* Query : {Dm->fdqPart1, Dm->fdqPart2, Dm->fdqDisease, Dm->fdqDisPropety, Dm->fdqSubPropety,
                          Dm->fdqCatalog, Dm->fdqSelected, Dm->fdqReference})
    EXPECT_TRUE(Query->Active()) << Query->Name().toStdString();
  for (TFDQuery* Query : {Dm->fdqSociety, Dm->fdqJournal, Dm->fdqRefuse, Dm->FDQuery1, Dm->fdqSeek})
    EXPECT_FALSE(Query->Active()) << Query->Name().toStdString();
  EXPECT_TRUE(Asked.empty());
  EXPECT_TRUE(Shown.empty());
}

// ---------------------------------------------------------------------------
// browsing

TEST_F(DataModuleTest, LevelListsComeByNameWhateverTheSqlOrders) {
  ASSERT_TRUE(Open());
  EXPECT_EQ(Column(Dm->fdqPart1, "gr_title"), Lines({"ANATOMY", "CARDIOLOGY", "WASTEBASKET"}));
  ASSERT_TRUE(Dm->fdqPart1->Locate(QStringLiteral("gr_number"), 1, {}));
  EXPECT_EQ(Column(Dm->fdqPart2, "sbgr1_name"), Lines({"Arrhythmias", "Hypertension"}));
  ASSERT_TRUE(Dm->fdqPart2->Locate(QStringLiteral("sbgr1_nmb"), 101, {}));
  EXPECT_EQ(Column(Dm->fdqDisease, "sbgr2_name"), Lines({"Diet", "Drugs"}));
  ASSERT_TRUE(Dm->fdqDisease->Locate(QStringLiteral("sbgr2_nmb"), 1011, {}));
  EXPECT_EQ(Column(Dm->fdqDisPropety, "sbgr3_name"), Lines({"ACE", "Beta"}));
  EXPECT_EQ(Column(Dm->fdqSubPropety, "sbgr4_name"), Lines({"Reviews", "Trials"}));
}

TEST_F(DataModuleTest, ReferencesKeepTheOrderOfTheirSql) {
  ASSERT_TRUE(Open());
  ASSERT_EQ(Dm->PositionLevels({1, 101, 1011, 10111, 627}), (std::array<bool, 5>{true, true, true, true, true}));
  EXPECT_EQ(Column(Dm->fdqCatalog, "number"), Lines({"12", "11", "14", "13"}));

  // The sort commands reopen the list with another ORDER BY; the link stays.
  Dm->fdqCatalog->SQL()->SetText(QStringLiteral("select * from bibliona order by author asc, DATA_INPUT desc"));
  Dm->fdqCatalog->Open();
  EXPECT_EQ(Column(Dm->fdqCatalog, "author"), Lines({"Brown A.", "Lee S.", "Smith J.", "Иванов И."}));
}

TEST_F(DataModuleTest, MovingAMasterReFiltersEveryLevelBelowAtOnce) {
  ASSERT_TRUE(Open());
  Dm->PositionLevels({1, 101, 1011, 10111, 627});
  struct Case {
    const char* Name;
    TFDQuery* TdmCatalog::*Moved;
    Integer Target;
    const char* Key;
    // the current key of levels 2 to 5 after the move ("" for an empty
    // level) and the references shown
    const char* Below[4];
    int References;
  } Cases[] = {
      {"level 5 to its next subgroup", &TdmCatalog::fdqSubPropety, 628, "sbgr4_nmb", {"101", "1011", "10111", "628"}, 1},
      {"level 4 to a subgroup without children", &TdmCatalog::fdqDisPropety, 10112, "sbgr3_nmb",
       {"101", "1011", "10112", ""}, 0},
      {"level 3 to a subgroup without children", &TdmCatalog::fdqDisease, 1012, "sbgr2_nmb", {"101", "1012", "", ""}, 0},
      {"level 3 back: lower levels start at their first rows", &TdmCatalog::fdqDisease, 1011, "sbgr2_nmb",
       {"101", "1011", "10111", "628"}, 1},
      {"level 2 to another branch", &TdmCatalog::fdqPart2, 102, "sbgr1_nmb", {"102", "1021", "10211", "700"}, 0},
      {"the group to the wastebasket", &TdmCatalog::fdqPart1, 35, "gr_number", {"350", "3500", "35000", "874"}, 1},
      {"the group back to the first subgroups", &TdmCatalog::fdqPart1, 1, "gr_number", {"102", "1021", "10211", "700"},
       0},
  };
  const char* KeyFields[] = {"sbgr1_nmb", "sbgr2_nmb", "sbgr3_nmb", "sbgr4_nmb"};
  TFDQuery* const Levels[] = {Dm->fdqPart2, Dm->fdqDisease, Dm->fdqDisPropety, Dm->fdqSubPropety};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    ASSERT_TRUE((Dm->*C.Moved)->Locate(QString::fromUtf8(C.Key), C.Target, {}));
    for (int Level = 0; Level < 4; ++Level)
      EXPECT_EQ(Levels[Level]->IsEmpty() ? String() : Value(Levels[Level], KeyFields[Level]),
                QString::fromUtf8(C.Below[Level]))
          << "level " << Level + 2;
    EXPECT_EQ(Dm->fdqCatalog->RecordCount(), C.References);
  }
}

TEST_F(DataModuleTest, PositioningLeavesALevelWhoseKeyIsMissingWhereTheCascadePutIt) {
  ASSERT_TRUE(Open());
  // Level 2 misses, so the cascade puts its first row, Arrhythmias, there,
  // and the keys below, which lie under Hypertension, miss in turn.
  EXPECT_EQ(Dm->PositionLevels({1, 999, 1011, 10111, 627}),
            (std::array<bool, 5>{true, false, false, false, false}));
  EXPECT_EQ(Value(Dm->fdqPart2, "sbgr1_nmb"), QStringLiteral("102"));
  EXPECT_EQ(Value(Dm->fdqSubPropety, "sbgr4_nmb"), QStringLiteral("700"));

  EXPECT_EQ(Dm->PositionLevels({35, 350, 3500, 35000, 874}), (std::array<bool, 5>{true, true, true, true, true}));
  EXPECT_EQ(Value(Dm->fdqCatalog, "number"), QStringLiteral("31"));
}

// ---------------------------------------------------------------------------
// new rows

TEST_F(DataModuleTest, NewLevelRowsAreNamedTwoDotsAndStoredAtOnce) {
  ASSERT_TRUE(Open());
  Dm->PositionLevels({2, 201, 2011, 20111, 701});
  struct Case {
    const char* Name;
    TFDQuery* TdmCatalog::*Query;
    const char* Table;
    const char* NameField;
    const char* ParentField;  // "" for the groups
    const char* Parent;
  } Cases[] = {
      {"group", &TdmCatalog::fdqPart1, "gr_name", "gr_title", "", ""},
      {"level 2", &TdmCatalog::fdqPart2, "sbgr1_nm", "sbgr1_name", "gr_number", "2"},
      {"level 3", &TdmCatalog::fdqDisease, "sbgr2_nm", "sbgr2_name", "sbgr1_nmb", "201"},
      {"level 4", &TdmCatalog::fdqDisPropety, "sbgr3_nm", "sbgr3_name", "sbgr2_nmb", "2011"},
      {"level 5", &TdmCatalog::fdqSubPropety, "sbgr4_nm", "sbgr4_name", "sbgr3_nmb", "20111"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    // Each row goes under the parent the earlier cases left current, so
    // walk back to the fixed chain first.
    Dm->PositionLevels({2, 201, 2011, 20111, 701});
    TFDQuery* Query = Dm->*C.Query;
    const int Before = Query->RecordCount();
    Query->Append();
    EXPECT_EQ(Query->State(), dsBrowse);
    EXPECT_EQ(Value(Query, C.NameField), QStringLiteral(".."));
    EXPECT_FALSE(Query->UpdatesPending()) << "applied and cleared";
    EXPECT_EQ(Query->RecordCount(), Before + 1);
    if (*C.ParentField) {
      EXPECT_EQ(Value(Query, C.ParentField), QString::fromUtf8(C.Parent));
    }
    const String Where = QStringLiteral("SELECT %1 FROM %2 WHERE %3 = '..'")
                             .arg(QString::fromUtf8(*C.ParentField ? C.ParentField : C.NameField),
                                  QString::fromUtf8(C.Table), QString::fromUtf8(C.NameField));
    EXPECT_EQ(Durable(Where.toUtf8().constData()), Lines({*C.ParentField ? C.Parent : ".."}));
  }
  EXPECT_EQ(PositionMarks, 1) << "only a new level-5 subgroup marks the position";
}

TEST_F(DataModuleTest, ANewReferenceGetsItsSubgroupSumAndTodayAndIsStoredAtOnce) {
  ASSERT_TRUE(Open());
  Dm->PositionLevels({1, 101, 1011, 10111, 627});
  Dm->fdqCatalog->Append();
  EXPECT_EQ(Dm->fdqCatalog->State(), dsBrowse);
  EXPECT_EQ(Value(Dm->fdqCatalog, "sbgr4_nmb"), QStringLiteral("627"));
  EXPECT_EQ(Value(Dm->fdqCatalog, "file_type"), QStringLiteral("sum"));
  EXPECT_EQ(Value(Dm->fdqCatalog, "data_input"), QStringLiteral("2024-05-17"));
  EXPECT_EQ(Dm->fdqCatalog->RecNo(), Dm->fdqCatalog->RecordCount()) << "the new row is the last and current";
  EXPECT_EQ(Dm->fdqCatalog->RecordCount(), 5);
  EXPECT_FALSE(Dm->fdqCatalog->UpdatesPending());
  const String Number = Value(Dm->fdqCatalog, "number");
  EXPECT_EQ(Durable(QStringLiteral("SELECT sbgr4_nmb, file_type, data_input FROM bibliona WHERE number = %1")
                        .arg(Number)
                        .toUtf8()
                        .constData()),
            Lines({"627|sum|2024-05-17"}));
  EXPECT_EQ(WastebasketChanges, 0) << "not in the wastebasket";

  // The caller fills the stored row by editing it again.
  Dm->fdqCatalog->Edit();
  Dm->fdqCatalog->FieldByName(QStringLiteral("source"))->SetAsString(QStringLiteral("A new trial"));
  Dm->fdqCatalog->Post();
  TdmCatalog::ApplyAndClear(Dm->fdqCatalog);
  EXPECT_EQ(Durable(QStringLiteral("SELECT source FROM bibliona WHERE number = %1").arg(Number).toUtf8().constData()),
            Lines({"A new trial"}));
}

TEST_F(DataModuleTest, ABufferRowGetsTodayAndACleaningPairTitlesOnly) {
  ASSERT_TRUE(Open());
  Dm->fdqSelected->Append();
  EXPECT_EQ(Value(Dm->fdqSelected, "data_input"), QStringLiteral("2024-05-17"));
  EXPECT_FALSE(Dm->fdqSelected->UpdatesPending());
  EXPECT_EQ(Durable("SELECT count(*) FROM cat_arc WHERE data_input = '2024-05-17'"), Lines({"1"}));

  Dm->fdqRefuse->Open();  // its window opens it
  Dm->fdqRefuse->Append();
  EXPECT_EQ(Value(Dm->fdqRefuse, "type"), QStringLiteral("1"));
  EXPECT_EQ(Dm->fdqRefuse->RecNo(), Dm->fdqRefuse->RecordCount());
  EXPECT_EQ(Durable("SELECT count(*) FROM refuse WHERE type = 1"), Lines({"2"}));
}

TEST_F(DataModuleTest, ARowWithoutAParentIsRefusedAndNothingIsStored) {
  ASSERT_TRUE(Open());
  struct Case {
    const char* Name;
    TLevelKeys Keys;  // a chain whose level above the query is empty
    TFDQuery* TdmCatalog::*Query;
    const char* Table;
  } Cases[] = {
      {"reference under a level 4 without subgroups", {1, 101, 1011, 10112, 0}, &TdmCatalog::fdqCatalog, "bibliona"},
      {"level 5 under a level 3 without children", {1, 101, 1012, 0, 0}, &TdmCatalog::fdqSubPropety, "sbgr4_nm"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Dm->PositionLevels(C.Keys);
    TFDQuery* Query = Dm->*C.Query;
    const String Count = QStringLiteral("SELECT count(*) FROM %1").arg(QString::fromUtf8(C.Table));
    const std::vector<String> Before = Durable(Count.toUtf8().constData());
    EXPECT_RAISES(Query->Append(), EDatabaseError,
                  "The level above shows no row, so a new row here would belong to none");
    EXPECT_EQ(Query->State(), dsBrowse);
    EXPECT_TRUE(Query->IsEmpty());
    EXPECT_FALSE(Query->UpdatesPending());
    EXPECT_EQ(Durable(Count.toUtf8().constData()), Before);
  }
  EXPECT_EQ(PositionMarks, 0);
}

// ---------------------------------------------------------------------------
// deleting

TEST_F(DataModuleTest, EveryConfirmingQueryAsksAndADeclineLeavesTheRowSilently) {
  ASSERT_TRUE(Open());
  Dm->fdqSociety->Open();
  Dm->fdqJournal->Open();
  Dm->fdqRefuse->Open();
  Dm->PositionLevels({35, 350, 3500, 35000, 874});
  struct Case {
    TFDQuery* TdmCatalog::*Query;
    const char* Table;
  } Cases[] = {
      {&TdmCatalog::fdqCatalog, "bibliona"},   {&TdmCatalog::fdqSubPropety, "sbgr4_nm"},
      {&TdmCatalog::fdqDisPropety, "sbgr3_nm"}, {&TdmCatalog::fdqDisease, "sbgr2_nm"},
      {&TdmCatalog::fdqPart2, "sbgr1_nm"},     {&TdmCatalog::fdqPart1, "gr_name"},
      {&TdmCatalog::fdqSociety, "society"},    {&TdmCatalog::fdqJournal, "journal"},
      {&TdmCatalog::fdqRefuse, "refuse"},      {&TdmCatalog::fdqReference, "reference"},
  };
  // Declined: each asks once and aborts silently.
  Answer = TMessageAnswer::No;
  for (const Case& C : Cases) {
    TFDQuery* Query = Dm->*C.Query;
    SCOPED_TRACE(Query->Name().toStdString());
    Asked.clear();
    const int Before = Query->RecordCount();
    EXPECT_THROW(Query->Delete(), EAbort);
    ASSERT_EQ(Asked.size(), 1u);
    EXPECT_EQ(Asked[0].Kind, TMessageKind::Warning);
    EXPECT_EQ(Asked[0].Text, QStringLiteral("Are you sure you want to delete?"));
    EXPECT_EQ(Asked[0].Buttons, TMessageButtons::YesNo);
    EXPECT_EQ(Query->RecordCount(), Before);
    EXPECT_FALSE(Query->UpdatesPending());
  }
  EXPECT_TRUE(Shown.empty());
  EXPECT_EQ(WastebasketChanges, 0);

  // Confirmed, from the references up: each deletion is applied at once,
  // and the change log keeps it until cleared.
  Answer = TMessageAnswer::Yes;
  for (const Case& C : Cases) {
    TFDQuery* Query = Dm->*C.Query;
    SCOPED_TRACE(Query->Name().toStdString());
    const String Count = QStringLiteral("SELECT count(*) FROM %1").arg(QString::fromUtf8(C.Table));
    const int Stored = Durable(Count.toUtf8().constData()).front().toInt();
    Query->Delete();
    EXPECT_TRUE(Query->UpdatesPending());
    EXPECT_EQ(Durable(Count.toUtf8().constData()).front().toInt(), Stored - 1);
  }
  EXPECT_TRUE(Shown.empty());
}

TEST_F(DataModuleTest, DeletingABufferRowNeverAsks) {
  ASSERT_TRUE(Open());
  Answer = TMessageAnswer::No;
  Dm->fdqSelected->Delete();
  EXPECT_TRUE(Asked.empty());
  EXPECT_TRUE(Dm->fdqSelected->IsEmpty());
  EXPECT_EQ(Durable("SELECT count(*) FROM cat_arc"), Lines({"0"}));
}

TEST_F(DataModuleTest, TheDeleteQuestionRunsThroughThePlatformBoxAndNoKeepsTheRow) {
  ASSERT_TRUE(Open());
  const TQuestionHandler Fixture = SetQuestionHandler({});
  Dm->PositionLevels({1, 101, 1011, 10111, 627});
  const int Before = Dm->fdqCatalog->RecordCount();
  const String Reference = Value(Dm->fdqCatalog, "number");
  TModalRequest Box;
  {
    test::ModalScript Script;
    Script.Then([&](TModalRequest& Request) {
      Box = Request;
      Request.Result = mrNo;
    });
    EXPECT_THROW(Dm->fdqCatalog->Delete(), EAbort);
  }
  SetQuestionHandler(Fixture);
  EXPECT_EQ(Box.Kind, QStringLiteral("dialog"));
  EXPECT_EQ(Box.Caption, QStringLiteral("Warning"));
  EXPECT_EQ(Box.Text, QStringLiteral("Are you sure you want to delete?"));
  EXPECT_EQ(Box.Buttons, Integer(TMsgDlgButtons({mbYes, mbNo}).Bits()));
  EXPECT_EQ(Box.Default, mrNo);
  EXPECT_EQ(Dm->fdqCatalog->RecordCount(), Before);
  EXPECT_EQ(Value(Dm->fdqCatalog, "number"), Reference);
  EXPECT_FALSE(Dm->fdqCatalog->UpdatesPending());
}

// ---------------------------------------------------------------------------
// the wastebasket button

TEST_F(DataModuleTest, TheWastebasketButtonFollowsSubgroup874) {
  ASSERT_TRUE(Open());
  EXPECT_EQ(Dm->WastebasketImage(), WastebasketEmptyImage) << "before the first refresh";
  Dm->RefreshWastebasket();
  EXPECT_EQ(Dm->WastebasketImage(), WastebasketFullImage);
  EXPECT_EQ(WastebasketChanges, 1);
  EXPECT_FALSE(Dm->FDQuery1->Active()) << "counted and closed";

  // Deleting elsewhere leaves the button alone.
  Dm->PositionLevels({1, 101, 1011, 10111, 627});
  Dm->fdqCatalog->Delete();
  EXPECT_EQ(WastebasketChanges, 1);

  // Deleting the last reference of the wastebasket empties it.
  Dm->PositionLevels({35, 350, 3500, 35000, 874});
  Dm->fdqCatalog->Delete();
  EXPECT_EQ(WastebasketChanges, 2);
  EXPECT_EQ(Dm->WastebasketImage(), WastebasketEmptyImage);

  // A reference added there fills it again.
  Dm->fdqCatalog->Append();
  EXPECT_EQ(Value(Dm->fdqCatalog, "sbgr4_nmb"), QStringLiteral("874"));
  EXPECT_EQ(Value(Dm->fdqCatalog, "file_type"), QStringLiteral("sum"));
  EXPECT_EQ(WastebasketChanges, 3);
  EXPECT_EQ(Dm->WastebasketImage(), WastebasketFullImage);
}

TEST_F(DataModuleTest, SendingToTheWastebasketKeepsEveryOtherColumn) {
  ASSERT_TRUE(Open());
  Dm->PositionLevels({1, 101, 1011, 10111, 628});
  const std::vector<String> Before = Durable("SELECT source, author, data_make, journal, file_type FROM bibliona "
                                             "WHERE number = 21");
  Dm->fdqCatalog->Edit();
  Dm->fdqCatalog->FieldByName(QStringLiteral("sbgr4_nmb"))->SetAsInteger(WastebasketSubgroup);
  Dm->fdqCatalog->Post();
  TdmCatalog::ApplyAndClear(Dm->fdqCatalog);
  EXPECT_TRUE(Dm->fdqCatalog->IsEmpty()) << "it left the list at once";
  EXPECT_EQ(Durable("SELECT sbgr4_nmb FROM bibliona WHERE number = 21"), Lines({"874"}));
  EXPECT_EQ(Durable("SELECT source, author, data_make, journal, file_type FROM bibliona WHERE number = 21"), Before);
}

}  // namespace
