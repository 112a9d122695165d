// The database backup on a real catalog file: the copy, the zip archive read
// back, a real external archiver, and the settings file it records into.
#include "app/savedb.h"

#include "app/settings.h"
#include "platform/os/drivemap.h"
#include "platform/os/process.h"
#include "platform/os/program.h"
#include "platform/os/zipfile.h"
#include "platform/rtl/streams.h"
#include "tests/app/datamodulefixture.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

using namespace dmtest;

namespace {

const char* const Reference12Subgroup = "SELECT sbgr4_nmb FROM bibliona WHERE number = 12";

void moveReference(TdmCatalog* Dm, Integer Number, Integer Subgroup) {
  ASSERT_TRUE(Dm->fdqCatalog->Locate(QStringLiteral("number"), Number, {}));
  Dm->fdqCatalog->Edit();
  Dm->fdqCatalog->FieldByName(QStringLiteral("sbgr4_nmb"))->SetAsInteger(Subgroup);
  Dm->fdqCatalog->Post();
}

void rename(TFDQuery* Level, const char* Field, const char* Name) {
  Level->Edit();
  Level->FieldByName(QString::fromUtf8(Field))->SetAsString(QString::fromUtf8(Name));
  Level->Post();
}

QStringList filesIn(const String& Folder) { return QDir(Folder).entryList(QDir::Files | QDir::Hidden); }

TEST(SaveDBTextsTest, CommandLinesProgramsAndTheDueTest) {
  EXPECT_EQ(Flarcdate(EncodeDate(2024, 5, 19)), "qv2024-05-19");
  const String Arc = BuildArc(QStringLiteral("c:\\arc\\"), QStringLiteral(" qv2024-05-19 "));
  EXPECT_EQ(BuildFullArc(QStringLiteral("c:\\tools\\arc\\arc.exe a -ep"), Arc),
            "c:\\tools\\arc\\arc.exe a -ep \"c:\\arc\\qv2024-05-19\" \"c:\\arc\\bibliona.sqlite\"");

  const char* Programs[][2] = {
      {"c:\\tools\\arc\\arc.exe a -ep", "c:\\tools\\arc\\arc.exe"},
      {"zip -j -q", "zip"},
      {"\"/opt/my tools/7z\" a -tzip", "/opt/my tools/7z"},
      {"  ", ""},
  };
  for (const auto& P : Programs) {
    SCOPED_TRACE(P[0]);
    EXPECT_EQ(ArchiverProgram(QString::fromUtf8(P[0])), QString::fromUtf8(P[1]));
  }

  struct Due {
    int SaveDay;
    Integer Interval;
    bool Expected;
  } Dues[] = {{5, 14, true}, {6, 14, false}, {19, 0, true}, {19, 1, false}, {18, 1, true}};
  for (const Due& D : Dues) {
    SCOPED_TRACE(testing::Message() << "05-" << D.SaveDay << ", interval " << D.Interval);
    EXPECT_EQ(BackupDue(EncodeDate(2024, 5, 19), EncodeDate(2024, 5, D.SaveDay), D.Interval), D.Expected);
  }
}

// The module on the fixture's catalog, which lies in the program folder; the
// archive folder is "arc" beside it; today is 2024-05-19.
class SaveDBTest : public DataModuleTest {
protected:
  void SetUp() override {
    DataModuleTest::SetUp();
    Today.SetNow(EncodeDate(2024, 5, 19));
    ASSERT_TRUE(Open());
    Dm->StartProgramTransaction();
    Dm->PositionLevels({1, 101, 1011, 10111, 627});
  }

  TBackupOrder order(TArchiveKind Kind) const { return {Kind, Arc, String(), String(), /*Interval=*/7}; }
  TBackupOrder external(const String& Archiver, const String& FullArc) const {
    TBackupOrder Order = order(akExternal);
    Order.Archiver = Archiver;
    Order.FullArc = FullArc;
    return Order;
  }

  String settingsText() const { return QString::fromUtf8(FileBytes(Dir.filePath(QStringLiteral("bibliona.ini")))); }
  bool recorded() const {
    return settingsText().contains(QLatin1String("LastSaveDate=2024-05-19")) &&
           settingsText().contains(QLatin1String("Interval=7")) && Settings.SaveDateStr == "2024-05-19" &&
           Settings.SaveInterval == 7 && Settings.SaveDate == EncodeDate(2024, 5, 19);
  }

  // Rows of Sql in the archive's "bibliona.sqlite", read back through a file.
  std::vector<String> archivedRows(const String& Archive, const char* Sql) {
    TZipFile Zip;
    Zip.Open(Archive, zmRead);
    EXPECT_EQ(Zip.FileCount(), 1);
    TStream* Entry = nullptr;
    TZipHeader Header;
    Zip.Read(BackupCopyName, Entry, Header);
    const std::unique_ptr<TStream> Owned(Entry);
    const String Extracted = Dir.filePath(QStringLiteral("extracted.sqlite"));
    static_cast<TMemoryStream*>(Entry)->SaveToFile(Extracted);
    const std::vector<String> Rows = TRawConnection(Extracted).Rows(Sql);
    QFile::remove(Extracted);
    return Rows;
  }

  TProgramPathScope Program{Dir.filePath(QStringLiteral("bibliona"))};
  String Arc = Dir.filePath(QStringLiteral("arc")) + u'/';
  String Archive = Arc + QStringLiteral("qv2024-05-19.zip");
  TSettings Settings;
};

TEST_F(SaveDBTest, TheInternalZipHoldsTheStoredWorkAndReplacesTheDaysArchive) {
  moveReference(Dm, 12, 628);  // posted, not stored yet
  std::vector<std::tuple<TBackupStage, Int64, Int64>> Steps;
  EXPECT_TRUE(SaveDB1(Dm, Settings, order(akInternal), [&Steps](TBackupStage Stage, Int64 Done, Int64 Total) {
    Steps.emplace_back(Stage, Done, Total);
  }));

  EXPECT_EQ(filesIn(Arc), QStringList{"qv2024-05-19.zip"}) << "no copy is left";
  EXPECT_EQ(archivedRows(Archive, Reference12Subgroup), Lines({"628"}));
  EXPECT_EQ(archivedRows(Archive, "PRAGMA quick_check"), Lines({"ok"}));
  if (!QStandardPaths::findExecutable(QStringLiteral("unzip")).isEmpty()) {
    EXPECT_EQ(QProcess::execute(QStringLiteral("unzip"), {QStringLiteral("-tqq"), Archive}), 0);
  }
  EXPECT_TRUE(recorded()) << settingsText().toStdString();
  EXPECT_EQ(Durable(Reference12Subgroup), Lines({"628"})) << "stored and made durable first";
  EXPECT_EQ(Dm->myFDConnection1->TransactionLevel(), 1);

  // copy, pack and check in that order, each to its end
  std::vector<TBackupStage> Stages;
  for (const auto& [Stage, Done, Total] : Steps) {
    if (Stages.empty() || Stages.back() != Stage) Stages.push_back(Stage);
    EXPECT_LE(Done, Total);
  }
  EXPECT_EQ(Stages, (std::vector<TBackupStage>{TBackupStage::Copy, TBackupStage::Pack, TBackupStage::Check}));
  EXPECT_EQ(std::get<1>(Steps.back()), std::get<2>(Steps.back()));

  // the second backup of the day replaces the archive
  moveReference(Dm, 11, 628);
  EXPECT_TRUE(SaveDB1(Dm, Settings, order(akInternal)));
  EXPECT_EQ(filesIn(Arc), QStringList{"qv2024-05-19.zip"});
  EXPECT_EQ(archivedRows(Archive, "SELECT number FROM bibliona WHERE sbgr4_nmb = 628 ORDER BY number"),
            Lines({"11", "12", "21"}));
}

TEST_F(SaveDBTest, WithoutArchivingTheCheckedCopyIsTheBackup) {
  EXPECT_TRUE(SaveDB1(Dm, Settings, order(akNone)));
  EXPECT_EQ(filesIn(Arc), QStringList{"bibliona.sqlite"});
  TRawConnection Copy(Arc + BackupCopyName);
  EXPECT_EQ(Copy.Rows("PRAGMA quick_check"), Lines({"ok"}));
  EXPECT_EQ(Copy.Count("bibliona"), 6);
  EXPECT_TRUE(recorded());
}

TEST_F(SaveDBTest, AnExternalArchiverIsRecordedOnlyWhenItRanAndEndedWell) {
  const TDriveMapScope Drives{{u'c', Dir.filePath(QStringLiteral("c"))}};
  struct Case {
    const char* Name;
    TBackupOrder Order;
    const char* Message;  // "" for none
    TMessageKind Kind;
    QStringList Files;
  } Cases[] = {
      {"archiver missing",
       external(QStringLiteral("c:\\tools\\arc\\arc.exe a -ep"), QStringLiteral("c:\\tools\\arc\\arc.exe a -ep x")),
       "The archiver c:\\tools\\arc\\arc.exe was not found. Specify the settings.", TMessageKind::Confirmation,
       {"bibliona.sqlite"}},
      {"exit code 3", external(QStringLiteral("sh"), QStringLiteral("sh -c \"exit 3\"")),
       "The archiver ended with exit code 3.", TMessageKind::Error, {"bibliona.sqlite"}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Shown.clear();
    ShownKinds.clear();
    EXPECT_FALSE(SaveDB1(Dm, Settings, C.Order));
    EXPECT_EQ(Shown, Lines({C.Message}));
    EXPECT_EQ(ShownKinds, std::vector<TMessageKind>{C.Kind});
    EXPECT_EQ(filesIn(Arc), C.Files) << "the copy stays";
    EXPECT_TRUE(settingsText().isEmpty()) << "nothing recorded";
    EXPECT_EQ(Settings.SaveDateStr, "2024-01-01");
  }

  if (FindProgram(QStringLiteral("zip")).isEmpty()) GTEST_SKIP() << "zip is not installed";
  const String Zip = QStringLiteral("zip -j -q");
  Shown.clear();
  EXPECT_TRUE(SaveDB1(Dm, Settings, external(Zip, BuildFullArc(Zip, BuildArc(Arc, Flarcdate(Date()))))));
  EXPECT_TRUE(Shown.empty());
  EXPECT_EQ(filesIn(Arc), QStringList{"qv2024-05-19.zip"}) << "the copy is deleted";
  EXPECT_EQ(archivedRows(Archive, "SELECT count(*) FROM bibliona"), Lines({"6"}));
  EXPECT_TRUE(recorded());
}

// The catalog in use is the connection's file, whatever its name, and the
// copy holds its committed state: not the work of a window still open.
TEST_F(SaveDBTest, TheCopyIsTheConnectionsFileWithoutUncommittedWork) {
  const String Other = Dir.filePath(QStringLiteral("other.sqlite"));
  execOnFile(Other, "BEGIN;" + FileBytes(schemaPath()) + CatalogRows + "INSERT INTO gr_name VALUES (99, 'OTHER');COMMIT;");
  ASSERT_TRUE(Dm->OpenCatalog(Other));
  Dm->StartProgramTransaction();
  Dm->myFDConnection1->StartTransaction();  // a window's level, still open
  Dm->myFDConnection1->ExecSQL(QStringLiteral("UPDATE gr_name SET gr_title = 'OPEN WORK' WHERE gr_number = 1"));

  EXPECT_TRUE(SaveDB1(Dm, Settings, order(akNone)));
  TRawConnection Copy(Arc + BackupCopyName);
  EXPECT_EQ(Copy.Rows("SELECT gr_title FROM gr_name WHERE gr_number IN (1, 99) ORDER BY gr_number"),
            Lines({"CARDIOLOGY", "OTHER"}));
  EXPECT_EQ(Dm->myFDConnection1->TransactionLevel(), 2) << "the window's level stays open";
  Dm->myFDConnection1->Commit();
  Dm->CommitProgramTransaction();
  EXPECT_EQ(TRawConnection(Other).Rows("SELECT gr_title FROM gr_name WHERE gr_number = 1"), Lines({"OPEN WORK"}));
}

TEST_F(SaveDBTest, ALockedCatalogRaisesAndKeepsTheDaysArchive) {
  ASSERT_TRUE(SaveDB1(Dm, Settings, order(akInternal)));
  const QByteArray Before = FileBytes(Archive);
  const String SettingsBefore = settingsText();

  Today.SetNow(EncodeDate(2024, 5, 20));
  TRawConnection Locker(Path);
  ASSERT_EQ(Locker.Exec("BEGIN EXCLUSIVE"), SQLITE_OK);
  for (const TArchiveKind Kind : {akInternal, akNone}) {
    SCOPED_TRACE(Kind);
    EXPECT_RAISES(SaveDB1(Dm, Settings, order(Kind)), EFDDBEngineException, "database is locked");
    EXPECT_EQ(filesIn(Arc), QStringList{"qv2024-05-19.zip"});
    EXPECT_EQ(FileBytes(Archive), Before);
    EXPECT_EQ(settingsText(), SettingsBefore);
    EXPECT_EQ(Settings.SaveDateStr, "2024-05-19");
  }
}

TEST_F(SaveDBTest, AFailingApplyStopsTheBackupAndRollsNothingBack) {
  Dm->myFDConnection1->ExecSQL(QStringLiteral(
      "CREATE TRIGGER no_level4_changes BEFORE UPDATE ON sbgr3_nm BEGIN SELECT RAISE(ABORT, 'injected failure'); END"));
  moveReference(Dm, 12, 628);
  rename(Dm->fdqSubPropety, "sbgr4_name", "Trials, all");
  rename(Dm->fdqDisPropety, "sbgr3_name", "ACE inhibitors");

  EXPECT_RAISES(SaveDB1(Dm, Settings, order(akInternal)), EFDDBEngineException, "injected failure");
  EXPECT_FALSE(Dm->fdqCatalog->UpdatesPending());
  EXPECT_FALSE(Dm->fdqSubPropety->UpdatesPending());
  EXPECT_TRUE(Dm->fdqDisPropety->UpdatesPending()) << "the failing query keeps its cache";
  EXPECT_EQ(Dm->myFDConnection1->TransactionLevel(), 1);
  Dm->FDQuery1->SQL()->SetText(QString::fromUtf8(Reference12Subgroup));
  Dm->FDQuery1->Open();
  EXPECT_EQ(Dm->FDQuery1->Fields()->Fields(0)->AsInteger(), 628) << "applied inside the transaction";
  EXPECT_FALSE(QFileInfo::exists(Arc)) << "nothing copied";
  EXPECT_TRUE(settingsText().isEmpty());
}

TEST_F(SaveDBTest, ACopyOntoTheCatalogIsRefused) {
  const String ProgramFolder = Dir.path() + u'/';
  for (const TArchiveKind Kind : {akNone, akExternal}) {
    SCOPED_TRACE(Kind);
    TBackupOrder Order = order(Kind);
    Order.ArcCatalog = ProgramFolder;
    try {
      SaveDB1(Dm, Settings, Order);
      ADD_FAILURE() << "no error";
    } catch (const Exception& E) {
      EXPECT_TRUE(E.Message.contains(QLatin1String("holds the catalog"))) << E.Message.toStdString();
    }
    EXPECT_EQ(Durable("SELECT count(*) FROM bibliona"), Lines({"6"}));
    EXPECT_TRUE(settingsText().isEmpty());
  }
  // a zip archive beside the catalog harms nothing
  TBackupOrder Order = order(akInternal);
  Order.ArcCatalog = ProgramFolder;
  EXPECT_TRUE(SaveDB1(Dm, Settings, Order));
  EXPECT_TRUE(QFileInfo::exists(ProgramFolder + QStringLiteral("qv2024-05-19.zip")));
  EXPECT_EQ(Durable("SELECT count(*) FROM bibliona"), Lines({"6"}));
}

}  // namespace
