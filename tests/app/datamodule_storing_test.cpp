// The data module's storing: pending changes, the program-wide and nested
// transactions seen from a second connection, a database another process
// holds, and catalog files that cannot be used.
#include "app/datamodule.h"

#include "tests/app/datamodulefixture.h"

#include <csignal>
#include <functional>

using namespace dmtest;

namespace {

const char* const Reference12Subgroup = "SELECT sbgr4_nmb FROM bibliona WHERE number = 12";

// Moves the current reference to Subgroup and posts, without applying.
void moveCurrentReference(TdmCatalog* Dm, Integer Subgroup) {
  Dm->fdqCatalog->Edit();
  Dm->fdqCatalog->FieldByName(QStringLiteral("sbgr4_nmb"))->SetAsInteger(Subgroup);
  Dm->fdqCatalog->Post();
}

// ---------------------------------------------------------------------------
// pending changes and transactions

TEST_F(DataModuleTest, APostedMoveStaysPendingUntilTheShutdownAndCancelBringsItBack) {
  ASSERT_TRUE(Open());
  Dm->StartProgramTransaction();
  Dm->PositionLevels({1, 101, 1011, 10111, 627});
  ASSERT_EQ(Value(Dm->fdqCatalog, "number"), QStringLiteral("12"));

  moveCurrentReference(Dm, 628);
  EXPECT_EQ(Column(Dm->fdqCatalog, "number"), Lines({"11", "14", "13"})) << "it left the list at once";
  EXPECT_TRUE(Dm->fdqCatalog->UpdatesPending());
  EXPECT_EQ(Durable(Reference12Subgroup), Lines({"627"}));

  Dm->fdqCatalog->CancelUpdates();
  EXPECT_EQ(Column(Dm->fdqCatalog, "number"), Lines({"12", "11", "14", "13"}));
  EXPECT_FALSE(Dm->fdqCatalog->UpdatesPending());

  Dm->fdqCatalog->First();
  moveCurrentReference(Dm, 628);
  // An edit still open at the close is posted and stored with the rest.
  ASSERT_TRUE(Dm->fdqCatalog->Locate(QStringLiteral("number"), 11, {}));
  Dm->fdqCatalog->Edit();
  Dm->fdqCatalog->FieldByName(QStringLiteral("source"))->SetAsString(QStringLiteral("Trial one, revised"));
  EXPECT_EQ(Durable(Reference12Subgroup), Lines({"627"}));
  Dm->CommitProgramTransaction();
  EXPECT_FALSE(Dm->myFDConnection1->InTransaction());
  EXPECT_FALSE(Dm->fdqCatalog->UpdatesPending());
  EXPECT_EQ(Durable(Reference12Subgroup), Lines({"628"}));
  EXPECT_EQ(Durable("SELECT source FROM bibliona WHERE number = 11"), Lines({"Trial one, revised"}));
}

TEST_F(DataModuleTest, ANestedCommitJoinsTheProgramTransactionAndIsMadeDurableAtOnce) {
  ASSERT_TRUE(Open());
  Dm->StartProgramTransaction();
  Dm->PositionLevels({1, 101, 1011, 10111, 627});

  // A modal window's transaction: a savepoint inside the program's.
  Dm->myFDConnection1->StartTransaction();
  EXPECT_EQ(Dm->myFDConnection1->TransactionLevel(), 2);
  moveCurrentReference(Dm, 628);
  TdmCatalog::ApplyAndClear(Dm->fdqCatalog);
  Dm->MakeStoredDurable();
  EXPECT_EQ(Durable(Reference12Subgroup), Lines({"627"})) << "inside a nested level nothing is committed";
  Dm->myFDConnection1->Commit();
  EXPECT_EQ(Durable(Reference12Subgroup), Lines({"627"})) << "a new connection sees only durable data";
  Dm->MakeStoredDurable();
  EXPECT_EQ(Dm->myFDConnection1->TransactionLevel(), 1) << "the program-wide transaction goes on";
  EXPECT_EQ(Durable(Reference12Subgroup), Lines({"628"}));

  // A second window's transaction that rolls back loses only its own work.
  Dm->fdqPart1->Locate(QStringLiteral("gr_number"), 2, {});
  Dm->myFDConnection1->StartTransaction();
  Dm->fdqPart1->Edit();
  Dm->fdqPart1->FieldByName(QStringLiteral("gr_title"))->SetAsString(QStringLiteral("ANATOMY, HUMAN"));
  Dm->fdqPart1->Post();
  Dm->fdqPart1->ApplyUpdates();
  Dm->myFDConnection1->Rollback();
  EXPECT_EQ(Value(Dm->fdqPart1, "gr_title"), QStringLiteral("ANATOMY, HUMAN"))
      << "the rolled-back change is pending again";
  Dm->fdqPart1->CancelUpdates();

  Dm->CommitProgramTransaction();
  EXPECT_EQ(Durable(Reference12Subgroup), Lines({"628"}));
  EXPECT_EQ(Durable("SELECT gr_title FROM gr_name WHERE gr_number = 2"), Lines({"ANATOMY"}));
}

TEST_F(DataModuleTest, RowsTheModuleStoresAreDurableAtOnce) {
  ASSERT_TRUE(Open());
  Dm->StartProgramTransaction();
  Dm->fdqPart1->Append();
  EXPECT_EQ(Durable("SELECT count(*) FROM gr_name WHERE gr_title = '..'"), Lines({"1"}));
  Dm->fdqSelected->Append();
  EXPECT_EQ(Durable("SELECT count(*) FROM cat_arc"), Lines({"2"}));
  Dm->fdqSelected->First();
  Dm->fdqSelected->Delete();
  EXPECT_EQ(Durable("SELECT count(*) FROM cat_arc"), Lines({"1"}));
  EXPECT_EQ(Dm->myFDConnection1->TransactionLevel(), 1);
}

// A window stores an edit through its nested level and the program is then
// killed: the edit is in the file.
TEST_F(DataModuleTest, StoredWorkSurvivesAKill) {
  GTEST_FLAG_SET(death_test_style, "fast");  // the child works on this test's file
  EXPECT_EXIT(
      {
        TdmCatalog* Child = new TdmCatalog(nullptr);
        Child->OpenCatalog(Path);
        Child->StartProgramTransaction();
        Child->PositionLevels({1, 101, 1011, 10111, 627});
        Child->myFDConnection1->StartTransaction();
        moveCurrentReference(Child, 628);
        TdmCatalog::ApplyAndClear(Child->fdqCatalog);
        Child->myFDConnection1->Commit();
        Child->MakeStoredDurable();
        // work of the session after the store point is lost with the kill
        moveCurrentReference(Child, 700);
        TdmCatalog::ApplyAndClear(Child->fdqCatalog);
        std::raise(SIGKILL);
      },
      ::testing::KilledBySignal(SIGKILL), "");
  EXPECT_EQ(Durable(Reference12Subgroup), Lines({"628"}));
  EXPECT_EQ(Durable("SELECT count(*) FROM bibliona WHERE sbgr4_nmb = 700"), Lines({"0"}));
}

TEST_F(DataModuleTest, ABusyFileAtTheCloseKeepsEveryChangeForTheNextTry) {
  ASSERT_TRUE(Open());
  Dm->StartProgramTransaction();
  Dm->PositionLevels({1, 101, 1011, 10111, 627});
  moveCurrentReference(Dm, 628);

  // Another process writes: neither the new row nor the move can be stored.
  TRawConnection Other(Path);
  ASSERT_EQ(Other.Exec("BEGIN IMMEDIATE"), SQLITE_OK);
  EXPECT_RAISES(Dm->fdqPart1->Append(), EFDDBEngineException, "database is locked");
  EXPECT_EQ(Value(Dm->fdqPart1, "gr_title"), QStringLiteral("..")) << "the new group waits in the cache";
  EXPECT_TRUE(Dm->fdqPart1->UpdatesPending());
  EXPECT_RAISES(Dm->CommitProgramTransaction(), EFDDBEngineException, "database is locked");
  EXPECT_TRUE(Dm->myFDConnection1->InTransaction());
  EXPECT_TRUE(Dm->fdqCatalog->UpdatesPending());
  EXPECT_TRUE(Dm->fdqPart1->UpdatesPending());
  EXPECT_EQ(Durable(Reference12Subgroup), Lines({"627"}));

  ASSERT_EQ(Other.Exec("ROLLBACK"), SQLITE_OK);
  Dm->CommitProgramTransaction();
  EXPECT_EQ(Durable(Reference12Subgroup), Lines({"628"}));
  EXPECT_EQ(Durable("SELECT count(*) FROM gr_name WHERE gr_title = '..'"), Lines({"1"}));
}

TEST_F(DataModuleTest, ABusyCommitAtTheCloseKeepsTheWorkStoredDuringTheRun) {
  ASSERT_TRUE(Open());
  Dm->StartProgramTransaction();
  Dm->fdqPart1->Append();  // stored and made durable at once
  Dm->PositionLevels({1, 101, 1011, 10111, 627});
  moveCurrentReference(Dm, 628);

  // Another process reads: the close stores everything but cannot commit.
  TRawConnection Other(Path);
  ASSERT_EQ(Other.Exec("BEGIN"), SQLITE_OK);
  ASSERT_EQ(Other.Rows("SELECT count(*) FROM gr_name"), Lines({"4"}));
  EXPECT_RAISES(Dm->CommitProgramTransaction(), EFDDBEngineException, "database is locked");
  EXPECT_TRUE(Dm->myFDConnection1->InTransaction()) << "not rolled back: the run's work is still in it";
  ASSERT_EQ(Other.Exec("COMMIT"), SQLITE_OK);

  Dm->CommitProgramTransaction();
  EXPECT_FALSE(Dm->myFDConnection1->InTransaction());
  EXPECT_EQ(Durable("SELECT count(*) FROM gr_name WHERE gr_title = '..'"), Lines({"1"}));
  EXPECT_EQ(Durable(Reference12Subgroup), Lines({"628"}));
}

TEST_F(DataModuleTest, AFullDiskAtTheCloseLosesTheTransactionButNoneOfTheWork) {
  ASSERT_TRUE(Open());
  Dm->StartProgramTransaction();
  Dm->fdqPart1->Append();  // stored in the program-wide transaction
  Dm->PositionLevels({1, 101, 1011, 10111, 627});
  Dm->fdqCatalog->Edit();
  Dm->fdqCatalog->FieldByName(QStringLiteral("summary"))->SetAsString(String(20000, u'a'));
  Dm->fdqCatalog->Post();

  // The file may not grow: the long summary cannot be stored, and the engine
  // ends the transaction.
  Dm->myFDConnection1->ExecSQL(QStringLiteral("PRAGMA max_page_count = 1"));
  EXPECT_RAISES(Dm->CommitProgramTransaction(), EFDDBEngineException,
                "database or disk is full\nThe transaction was rolled back by the database");
  EXPECT_FALSE(Dm->myFDConnection1->InTransaction());
  EXPECT_TRUE(Dm->fdqCatalog->UpdatesPending());
  // The new group was made durable when it was stored: the rollback cannot take it.
  EXPECT_FALSE(Dm->fdqPart1->UpdatesPending());
  EXPECT_EQ(Durable("SELECT count(*) FROM gr_name WHERE gr_title = '..'"), Lines({"1"}));

  Dm->myFDConnection1->ExecSQL(QStringLiteral("PRAGMA max_page_count = 1000000"));
  Dm->CommitProgramTransaction();
  EXPECT_EQ(Durable("SELECT length(summary) FROM bibliona WHERE number = 12"), Lines({"20000"}));
  EXPECT_EQ(Durable("SELECT count(*) FROM gr_name WHERE gr_title = '..'"), Lines({"1"}));
}

// ---------------------------------------------------------------------------
// catalog files that cannot be used

TEST_F(DataModuleTest, AFileThatCannotBeOpenedIsADatabaseCommunicationErrorAndStaysUntouched) {
  struct Case {
    const char* Name;
    std::function<String(const QTemporaryDir&)> Make;  // answers the path to open
    const char* Error;
  } Cases[] = {
      {"missing file", [](const QTemporaryDir& D) { return D.filePath(QStringLiteral("absent.sqlite")); },
       "unable to open database file"},
      {"a folder, as an empty DataBase setting names",
       [](const QTemporaryDir& D) { return D.path() + QStringLiteral("/"); }, "unable to open database file"},
      {"not a database",
       [](const QTemporaryDir& D) {
         const String File = D.filePath(QStringLiteral("notes.sqlite"));
         QFile Out(File);
         EXPECT_TRUE(Out.open(QIODevice::WriteOnly));
         Out.write(QByteArray("These are notes, not a catalog.\n").repeated(200));
         return File;
       },
       "file is not a database"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    QTemporaryDir Folder;
    const String File = C.Make(Folder);
    const bool Existed = QFileInfo(File).isFile();
    const QByteArray Before = FileBytes(File);
    Asked.clear();
    EXPECT_FALSE(Dm->OpenCatalog(File));
    ASSERT_EQ(Asked.size(), 1u);
    EXPECT_EQ(Asked[0].Caption, QStringLiteral("Database communication error"));
    EXPECT_EQ(Asked[0].Buttons, TMessageButtons::OKCancel);
    EXPECT_EQ(Asked[0].Text, QString::fromUtf8(C.Error) + QStringLiteral("\nFile: ") + File);
    EXPECT_FALSE(Dm->myFDConnection1->Connected());
    EXPECT_FALSE(Dm->fdqPart1->Active());
    EXPECT_EQ(QFileInfo(File).isFile(), Existed) << "nothing is created";
    EXPECT_EQ(FileBytes(File), Before);
  }
  EXPECT_TRUE(Shown.empty());
}

TEST_F(DataModuleTest, AFileAnotherProcessHoldsIsADatabaseCommunicationErrorAndLosesNothing) {
  TRawConnection Other(Path);
  ASSERT_EQ(Other.Exec("BEGIN EXCLUSIVE"), SQLITE_OK);
  ASSERT_EQ(Other.Exec("INSERT INTO journal VALUES ('BMJ', 'British Medical Journal')"), SQLITE_OK);
  EXPECT_FALSE(Open());
  ASSERT_EQ(Asked.size(), 1u);
  EXPECT_EQ(Asked[0].Caption, QStringLiteral("Database communication error"));
  EXPECT_EQ(Asked[0].Text, QStringLiteral("database is locked\nFile: ") + Path);
  ASSERT_EQ(Other.Exec("COMMIT"), SQLITE_OK);
  EXPECT_EQ(Durable("SELECT short_name FROM journal ORDER BY 1"), Lines({"BMJ", "Lancet"}));

  // Once the other process is done, the catalog opens.
  Asked.clear();
  EXPECT_TRUE(Open());
  EXPECT_TRUE(Asked.empty());
}

TEST_F(DataModuleTest, AFileWithoutTheCatalogsTablesIsReportedOnceNamingFileAndTables) {
  struct Case {
    const char* Name;
    const char* Sql;  // what the file holds
    std::vector<const char*> Problems;
    bool ClassificationOpens;
  } Cases[] = {
      {"an empty database", "PRAGMA user_version = 1",
       {"no such table: gr_name", "no such table: sbgr1_nm", "no such table: sbgr2_nm", "no such table: sbgr3_nm",
        "no such table: sbgr4_nm", "no such table: bibliona", "no such table: cat_arc", "no such table: reference"},
       false},
      {"a catalog without its formatting rules", nullptr, {"no such table: reference"}, true},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    QTemporaryDir Folder;
    const String File = Folder.filePath(QStringLiteral("bibliona.sqlite"));
    if (C.Sql) {
      execOnFile(File, C.Sql);
    } else {
      execOnFile(File, "BEGIN;" + FileBytes(schemaPath()) + CatalogRows + "DROP TABLE reference; COMMIT;");
    }
    const QByteArray Before = FileBytes(File);
    Shown.clear();
    EXPECT_FALSE(Dm->OpenCatalog(File));
    EXPECT_TRUE(Asked.empty()) << "the connection itself worked";
    ASSERT_EQ(Shown.size(), 1u);
    QStringList Problems;
    for (const char* Problem : C.Problems) Problems << QString::fromUtf8(Problem);
    EXPECT_EQ(Shown[0], QStringLiteral("The catalog %1 cannot be read:\n%2").arg(File, Problems.join(u'\n')));
    EXPECT_EQ(Dm->fdqPart1->Active(), C.ClassificationOpens) << "start-up goes on with whatever opened";
    EXPECT_EQ(Dm->fdqCatalog->Active(), C.ClassificationOpens);
    EXPECT_FALSE(Dm->fdqReference->Active());
    EXPECT_EQ(FileBytes(File), Before);
  }
}

}  // namespace
