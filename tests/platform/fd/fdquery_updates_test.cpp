// Cached updates: the change log, ApplyUpdates, CommitUpdates,
// CancelUpdates, generated statements, the undo of rolled-back levels and
// Refresh over pending changes.
#include "platform/fd/fdquery.h"

#include "platform/fd/fdconsts.h"
#include "tests/platform/fd/fdfixture.h"

using namespace fdtest;

namespace {

const char* const Rows = R"(
INSERT INTO bibliona (number, sbgr4_nmb, source, author, data_make)
  VALUES (1, 10, 'One', 'Ames', 2001), (2, 10, 'Two', 'Baker', 2002), (3, 10, 'Three', 'Cole', 2003),
         (4, 10, 'Four', 'Dean', 2004);
INSERT INTO cat_arc (number, source) VALUES (1, 'same'), (1, 'same'), (2, 'other');
CREATE TRIGGER refuse_fail BEFORE UPDATE ON bibliona WHEN NEW.source = 'fail'
  BEGIN SELECT RAISE(ABORT, 'boom'); END;
)";

struct TUpdatesTest : ::testing::Test {
  TCatalogFixture Catalog{Rows};
  TFDQuery* Query = nullptr;

  void SetUp() override {
    Query = Catalog.Query("select * from bibliona order by number");
    Query->SetCachedUpdates(true);
    Catalog.Trace.Clear();
  }

  std::vector<String> Stored(const char* Sql = "SELECT number, source FROM bibliona ORDER BY number") {
    TRawConnection Raw(Catalog.File.Path);
    return Raw.Rows(Sql);
  }
  void Edit(int Number, const char* Source) {
    ASSERT_TRUE(Query->Locate(QStringLiteral("number"), Number, {}));
    Query->Edit();
    Query->FieldByName(QStringLiteral("source"))->SetAsString(String::fromUtf8(Source));
    Query->Post();
  }
  String Current() { return Query->FieldByName(QStringLiteral("source"))->AsString(); }
  std::vector<String> Shown(TFDDataSet* DataSet = nullptr, const char* Field = "source") {
    TFDDataSet* D = DataSet ? DataSet : Query;
    std::vector<String> Values;
    for (D->First(); !D->Eof(); D->Next()) Values.push_back(D->FieldByName(QLatin1String(Field))->AsString());
    return Values;
  }
};

std::vector<String> Lines(std::initializer_list<const char*> Items) {
  std::vector<String> Result;
  for (const char* Item : Items) Result.push_back(String::fromUtf8(Item));
  return Result;
}

}  // namespace

// ---------------------------------------------------------------------------
// the log and applying

TEST_F(TUpdatesTest, NothingReachesTheDatabaseBeforeApplyUpdates) {
  Edit(1, "One*");
  Edit(3, "Three*");
  Query->Append();
  Query->FieldByName(QStringLiteral("source"))->SetAsString(QStringLiteral("Five"));
  Query->Post();
  ASSERT_TRUE(Query->Locate(QStringLiteral("number"), 2, {}));
  Query->Delete();
  EXPECT_TRUE(Catalog.Trace.Statements.empty());
  EXPECT_EQ(Stored(), Lines({"1|One", "2|Two", "3|Three", "4|Four"}));
  EXPECT_TRUE(Query->UpdatesPending());
  EXPECT_EQ(Query->ChangeCount(), 4);

  EXPECT_EQ(Query->ApplyUpdates(), 0);
  EXPECT_EQ(Stored(), Lines({"1|One*", "3|Three*", "4|Four", "5|Five"}));
  EXPECT_TRUE(Query->UpdatesPending()) << "applied entries stay until CommitUpdates";
  Query->CommitUpdates();
  EXPECT_FALSE(Query->UpdatesPending());
  EXPECT_TRUE(Query->CheckConsistency());

  const std::vector<String> Statements = Catalog.Trace.Statements;
  ASSERT_EQ(Statements.size(), 7u);
  EXPECT_TRUE(Statements.front().startsWith(u"SAVEPOINT fd_apply_"));
  EXPECT_EQ(Statements[1], QStringLiteral("UPDATE \"bibliona\" SET \"source\" = ? WHERE \"number\" IS ?"));
  EXPECT_EQ(Statements[2], QStringLiteral("UPDATE \"bibliona\" SET \"source\" = ? WHERE \"number\" IS ?"));
  EXPECT_EQ(Statements[3], QStringLiteral("INSERT INTO \"bibliona\" (\"source\") VALUES (?)"));
  EXPECT_TRUE(Statements[4].startsWith(u"SELECT \"number\", \"sbgr4_nmb\", \"source\""));
  EXPECT_EQ(Statements[5], QStringLiteral("DELETE FROM \"bibliona\" WHERE \"number\" IS ?"));
  EXPECT_EQ(Statements[6], QStringLiteral("RELEASE ") + Statements.front());
}

TEST_F(TUpdatesTest, AnAppliedEntryIsNeverRunAgain) {
  ASSERT_TRUE(Query->Locate(QStringLiteral("number"), 2, {}));
  Query->Delete();
  Query->ApplyUpdates();
  EXPECT_EQ(Query->ApplyUpdates(), 0);
  Query->CommitUpdates();
  EXPECT_EQ(Query->ApplyUpdates(), 0);
  EXPECT_EQ(Catalog.Trace.Only(QStringLiteral("DELETE")).size(), 1u);
  // Nothing pending: no statement and no savepoint at all.
  EXPECT_EQ(Catalog.Trace.Only(QStringLiteral("SAVEPOINT")).size(), 1u);
}

TEST_F(TUpdatesTest, AFailingEntryLeavesEverythingPendingAndUnwritten) {
  Edit(1, "One*");
  Edit(2, "Two*");
  Edit(3, "fail");
  EXPECT_RAISES(Query->ApplyUpdates(), EFDDBEngineException, "boom");
  EXPECT_EQ(Stored(), Lines({"1|One", "2|Two", "3|Three", "4|Four"}));
  EXPECT_EQ(Query->ChangeCount(), 3);
  for (const int Number : {1, 2, 3}) {
    ASSERT_TRUE(Query->Locate(QStringLiteral("number"), Number, {}));
    EXPECT_EQ(Query->UpdateStatus(), usModified);
  }
  EXPECT_EQ(Current(), QStringLiteral("fail")) << "the cached value stays on screen";
  EXPECT_FALSE(Catalog.Connection->InTransaction());

  Edit(3, "Three*");
  Query->ApplyUpdates();
  Query->CommitUpdates();
  EXPECT_EQ(Stored(), Lines({"1|One*", "2|Two*", "3|Three*", "4|Four"}));
  EXPECT_EQ(Catalog.Trace.Only(QStringLiteral("UPDATE")).size(), 6u);
}

TEST_F(TUpdatesTest, MergedChangesWriteOnce) {
  // insert + edits = one insert of the final values
  Query->Append();
  Query->FieldByName(QStringLiteral("source"))->SetAsString(QStringLiteral("draft"));
  Query->Post();
  Query->Edit();
  Query->FieldByName(QStringLiteral("source"))->SetAsString(QStringLiteral("final"));
  Query->Post();
  EXPECT_EQ(Query->UpdateStatus(), usInserted);
  // edits + edits = one update from the first old values
  Edit(1, "first");
  Edit(1, "second");
  // modify + delete = delete with the original values
  Edit(2, "doomed");
  Query->Delete();
  // insert + delete = nothing
  Query->Append();
  Query->FieldByName(QStringLiteral("source"))->SetAsString(QStringLiteral("never"));
  Query->Post();
  Query->Delete();
  EXPECT_EQ(Query->ChangeCount(), 3);
  Query->ApplyUpdates();
  EXPECT_EQ(Catalog.Trace.Only(QStringLiteral("INSERT UPDATE DELETE")).size(), 3u);
  EXPECT_EQ(Stored(), Lines({"1|second", "3|Three", "4|Four", "5|final"}));
}

TEST_F(TUpdatesTest, AnEditWithoutChangesWritesNothing) {
  Edit(1, "One");
  EXPECT_FALSE(Query->UpdatesPending());
  Query->ApplyUpdates();
  EXPECT_TRUE(Catalog.Trace.Statements.empty());
}

TEST_F(TUpdatesTest, InsertReadsBackTheKeyAndTheDefaults) {
  Query->Append();
  Query->FieldByName(QStringLiteral("source"))->SetAsString(QStringLiteral("New"));
  Query->Post();
  EXPECT_TRUE(Query->FieldByName(QStringLiteral("number"))->IsNull());
  Query->ApplyUpdates();
  EXPECT_EQ(Query->FieldByName(QStringLiteral("number"))->AsInteger(), 5);
  EXPECT_EQ(Query->FieldByName(QStringLiteral("file_type"))->AsString(), QStringLiteral("sum"));
  EXPECT_EQ(Current(), QStringLiteral("New")) << "the new row stays current";
  EXPECT_TRUE(Query->CheckConsistency());
}

TEST_F(TUpdatesTest, TheKeyCannotBeEditedByCallers) {
  Query->Edit();
  EXPECT_RAISES(Query->FieldByName(QStringLiteral("number"))->SetAsInteger(99), EDatabaseError,
                "Field 'number' cannot be modified");
}

TEST_F(TUpdatesTest, TheWhereClauseFollowsTheUpdateMode) {
  struct Case {
    const char* Name;
    TFDUpdateMode Mode;
    const char* KeyFields;
    const char* Expected;
  } Cases[] = {
      {"key only", upWhereKeyOnly, "", "UPDATE \"bibliona\" SET \"source\" = ? WHERE \"number\" IS ?"},
      {"changed", upWhereChanged, "", "UPDATE \"bibliona\" SET \"source\" = ? WHERE \"number\" IS ? AND \"source\" IS ?"},
      {"key fields", upWhereKeyOnly, "author;data_make",
       "UPDATE \"bibliona\" SET \"source\" = ? WHERE \"author\" IS ? AND \"data_make\" IS ?"},
  };
  int Round = 0;
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Query->Close();
    Query->UpdateOptions()->SetUpdateMode(C.Mode);
    Query->UpdateOptions()->SetKeyFields(QLatin1String(C.KeyFields));
    Query->Open();
    Catalog.Trace.Clear();
    Edit(1, QStringLiteral("round %1").arg(++Round).toUtf8().constData());
    Query->ApplyUpdates();
    ASSERT_EQ(Catalog.Trace.Only(QStringLiteral("UPDATE")).size(), 1u);
    EXPECT_EQ(Catalog.Trace.Only(QStringLiteral("UPDATE")).front(), QLatin1String(C.Expected));
  }
  Query->Close();
  Query->UpdateOptions()->SetUpdateMode(upWhereAll);
  Query->UpdateOptions()->SetKeyFields(String());
  Query->Open();
  Catalog.Trace.Clear();
  Edit(2, "all");
  Query->ApplyUpdates();
  EXPECT_EQ(Catalog.Trace.Binds[1].size(), 1u + 12u) << "every column of the table in the WHERE";
  EXPECT_EQ(Stored().at(1), QStringLiteral("2|all"));
}

TEST_F(TUpdatesTest, TheConnectionsUpdateOptionsAreTheDefaults) {
  Catalog.Connection->UpdateOptions()->SetUpdateMode(upWhereChanged);
  Catalog.Connection->UpdateOptions()->SetAutoCommitUpdates(true);
  Edit(1, "inherited");
  Query->ApplyUpdates();
  EXPECT_FALSE(Query->UpdatesPending()) << "AutoCommitUpdates";
  EXPECT_TRUE(Catalog.Trace.Only(QStringLiteral("UPDATE")).front().endsWith(u"AND \"source\" IS ?"));
  Query->UpdateOptions()->SetUpdateMode(upWhereKeyOnly);
  EXPECT_EQ(Catalog.Connection->UpdateOptions()->UpdateMode(), upWhereChanged);
}

TEST_F(TUpdatesTest, AnUpdateMustChangeExactlyOneRow) {
  Edit(4, "gone meanwhile");
  {
    TRawConnection Other(Catalog.File.Path);
    Other.Exec("DELETE FROM bibliona WHERE number = 4");
  }
  EXPECT_RAISES(Query->ApplyUpdates(), EFDDBEngineException, "Update of table \"bibliona\" affected 0 rows instead of 1");
  EXPECT_EQ(Query->ChangeCount(), 1);
}

TEST_F(TUpdatesTest, RowsWithoutAKeyChangeOneAtATime) {
  TFDQuery* Archive = Catalog.Query("select * from cat_arc");
  Archive->SetCachedUpdates(true);
  ASSERT_TRUE(Archive->Locate(QStringLiteral("source"), QStringLiteral("same"), {}));
  Archive->Edit();
  Archive->FieldByName(QStringLiteral("source"))->SetAsString(QStringLiteral("changed"));
  Archive->Post();
  Archive->ApplyUpdates();
  EXPECT_EQ(Stored("SELECT source FROM cat_arc ORDER BY rowid"), Lines({"changed", "same", "other"}));
  EXPECT_TRUE(Catalog.Trace.Only(QStringLiteral("UPDATE")).front().contains(
      u"WHERE rowid = (SELECT rowid FROM \"cat_arc\" WHERE \"number\" IS ? AND"));

  ASSERT_TRUE(Archive->Locate(QStringLiteral("source"), QStringLiteral("same"), {}));
  Archive->Delete();
  Archive->ApplyUpdates();
  EXPECT_EQ(Stored("SELECT source FROM cat_arc ORDER BY rowid"), Lines({"changed", "other"}));
}

TEST_F(TUpdatesTest, ADatasetWithoutAnUpdateTableIsReadOnly) {
  TFDQuery* Counts = Catalog.Query("select count(*) as n from bibliona");
  EXPECT_FALSE(Counts->CanModify());
  EXPECT_RAISES(Counts->Edit(), EDatabaseError, "Cannot modify a read-only dataset");
  Query->UpdateOptions()->SetReadOnly(true);
  EXPECT_FALSE(Query->CanModify());
}

TEST_F(TUpdatesTest, TheUpdateTableCanBeNamed) {
  TFDQuery* Joined = Catalog.Query(
      "select s.sbgr4_nmb, s.sbgr4_name, b.number, b.source from sbgr4_nm s join bibliona b using (sbgr4_nmb)", false);
  Catalog.Connection->ExecSQL(QStringLiteral("INSERT INTO sbgr4_nm VALUES (10, 1, 'Ten')"));
  Joined->UpdateOptions()->SetUpdateTableName(QStringLiteral("bibliona"));
  Joined->SetCachedUpdates(true);
  Joined->Open();
  EXPECT_TRUE(Joined->FieldByName(QStringLiteral("sbgr4_name"))->ReadOnly());
  Joined->Edit();
  Joined->FieldByName(QStringLiteral("source"))->SetAsString(QStringLiteral("via join"));
  Joined->Post();
  Joined->ApplyUpdates();
  EXPECT_EQ(Stored().front(), QStringLiteral("1|via join"));
}

TEST_F(TUpdatesTest, WithoutCachedUpdatesEveryPostIsAppliedAtOnce) {
  Query->SetCachedUpdates(false);
  Edit(1, "direct");
  EXPECT_EQ(Stored().front(), QStringLiteral("1|direct"));
  EXPECT_FALSE(Query->UpdatesPending());
  // A failing post stays in edit mode with nothing stored.
  ASSERT_TRUE(Query->Locate(QStringLiteral("number"), 2, {}));
  Query->Edit();
  Query->FieldByName(QStringLiteral("source"))->SetAsString(QStringLiteral("fail"));
  EXPECT_RAISES(Query->Post(), EFDDBEngineException, "boom");
  EXPECT_EQ(Query->State(), dsEdit);
  Query->Cancel();
  EXPECT_EQ(Current(), QStringLiteral("Two"));
  Query->Delete();
  Query->Append();
  Query->FieldByName(QStringLiteral("source"))->SetAsString(QStringLiteral("added"));
  Query->Post();
  EXPECT_EQ(Query->FieldByName(QStringLiteral("number"))->AsInteger(), 5);
  EXPECT_EQ(Stored(), Lines({"1|direct", "3|Three", "4|Four", "5|added"}));
  EXPECT_TRUE(Query->CheckConsistency());
}

TEST_F(TUpdatesTest, ALockedDatabaseLosesNothing) {
  Edit(1, "One*");
  Query->Append();
  Query->FieldByName(QStringLiteral("source"))->SetAsString(QStringLiteral("Five"));
  Query->Post();
  {
    TRawConnection Writer(Catalog.File.Path);
    ASSERT_EQ(Writer.Exec("BEGIN IMMEDIATE"), SQLITE_OK);
    try {
      Query->ApplyUpdates();
      ADD_FAILURE() << "applied past another writer's lock";
    } catch (const EFDDBEngineException& E) {
      EXPECT_EQ(E.Message, QStringLiteral("database is locked"));
      EXPECT_EQ(E.ErrorCode & 0xFF, SQLITE_BUSY);
    }
    EXPECT_EQ(Query->ChangeCount(), 2);
    EXPECT_TRUE(Query->FieldByName(QStringLiteral("number"))->IsNull()) << "no key read back";
    Writer.Exec("ROLLBACK");
  }
  Query->ApplyUpdates();
  Query->CommitUpdates();
  EXPECT_EQ(Stored(), Lines({"1|One*", "2|Two", "3|Three", "4|Four", "5|Five"}));
}

// ---------------------------------------------------------------------------
// cancelling

TEST_F(TUpdatesTest, CancelUpdatesRevertsOnlyWhatWasNotApplied) {
  ASSERT_TRUE(Query->Locate(QStringLiteral("number"), 4, {}));
  Query->Delete();
  Query->ApplyUpdates();  // the delete is in the database now
  Edit(1, "One*");
  Query->Append();
  Query->FieldByName(QStringLiteral("source"))->SetAsString(QStringLiteral("Five"));
  Query->Post();
  ASSERT_TRUE(Query->Locate(QStringLiteral("number"), 2, {}));
  Query->Delete();
  Edit(3, "Three*");
  Query->Edit();
  Query->FieldByName(QStringLiteral("source"))->SetAsString(QStringLiteral("unposted"));

  Query->CancelUpdates();
  EXPECT_EQ(Query->State(), dsBrowse);
  EXPECT_EQ(Shown(), Lines({"One", "Two", "Three"}));
  EXPECT_TRUE(Query->UpdatesPending()) << "the applied delete waits for CommitUpdates";
  Query->CommitUpdates();
  EXPECT_FALSE(Query->UpdatesPending());
  EXPECT_TRUE(Query->CheckConsistency());
}

// ---------------------------------------------------------------------------
// the undo of rolled-back levels

TEST_F(TUpdatesTest, ARolledBackLevelMakesItsAppliedChangesPendingAgain) {
  Catalog.Connection->StartTransaction();
  Catalog.Connection->StartTransaction();
  Edit(1, "renamed");
  Query->ApplyUpdates();
  Query->CommitUpdates();
  EXPECT_FALSE(Query->UpdatesPending());
  Catalog.Connection->Rollback();

  EXPECT_TRUE(Query->UpdatesPending());
  ASSERT_TRUE(Query->Locate(QStringLiteral("number"), 1, {}));
  EXPECT_EQ(Current(), QStringLiteral("renamed")) << "the value stays on screen";
  EXPECT_EQ(Query->UpdateStatus(), usModified);
  Query->ApplyUpdates();
  Query->CommitUpdates();
  Catalog.Connection->Commit();
  EXPECT_EQ(Stored().front(), QStringLiteral("1|renamed"));
  EXPECT_TRUE(Query->CheckConsistency());
}

TEST_F(TUpdatesTest, UndoneChangesMergeWithLaterOnes) {
  Catalog.Connection->StartTransaction();
  Query->Append();
  Query->FieldByName(QStringLiteral("source"))->SetAsString(QStringLiteral("Five"));
  Query->Post();
  Query->ApplyUpdates();  // applied at level 1, kept in the log
  Edit(1, "One*");
  Query->ApplyUpdates();
  Query->CommitUpdates();  // committed away, still remembered
  Edit(1, "One**");        // pending on top of the applied edit
  ASSERT_TRUE(Query->Locate(QStringLiteral("number"), 5, {}));
  Query->Delete();         // pending delete of the applied insert
  Catalog.Connection->Rollback();

  // insert + delete cancel out; the two edits are one modify.
  EXPECT_EQ(Query->ChangeCount(), 1);
  EXPECT_EQ(Shown(), Lines({"One**", "Two", "Three", "Four"}));
  Catalog.Trace.Clear();
  Query->ApplyUpdates();
  EXPECT_EQ(Catalog.Trace.Only(QStringLiteral("INSERT UPDATE DELETE")).size(), 1u);
  EXPECT_EQ(Stored(), Lines({"1|One**", "2|Two", "3|Three", "4|Four"}));
  EXPECT_TRUE(Query->CheckConsistency());
}

TEST_F(TUpdatesTest, CommittedLevelsHandTheirChangesToTheParent) {
  Catalog.Connection->StartTransaction();
  Catalog.Connection->StartTransaction();
  Catalog.Connection->StartTransaction();
  Edit(2, "deep");
  Query->ApplyUpdates();
  Query->CommitUpdates();
  Catalog.Connection->Commit();  // 3 -> 2
  Catalog.Connection->Commit();  // 2 -> 1
  EXPECT_FALSE(Query->UpdatesPending());
  Catalog.Connection->Rollback();  // level 1 undoes it
  EXPECT_EQ(Query->ChangeCount(), 1);
  Query->ApplyUpdates();
  Query->CommitUpdates();
  EXPECT_EQ(Stored().at(1), QStringLiteral("2|deep"));

  // After the outermost commit nothing is remembered.
  Catalog.Connection->StartTransaction();
  Edit(3, "durable");
  Query->ApplyUpdates();
  Query->CommitUpdates();
  Catalog.Connection->Commit();
  Catalog.Connection->StartTransaction();
  Catalog.Connection->Rollback();
  EXPECT_FALSE(Query->UpdatesPending());
  EXPECT_EQ(Stored().at(2), QStringLiteral("3|durable"));
}

TEST_F(TUpdatesTest, ClosingForgetsRememberedChanges) {
  Catalog.Connection->StartTransaction();
  Edit(1, "forgotten");
  Query->ApplyUpdates();
  Query->CommitUpdates();
  Query->Close();
  Catalog.Connection->Rollback();
  Query->Open();
  EXPECT_FALSE(Query->UpdatesPending());
  EXPECT_EQ(Current(), QStringLiteral("One"));
}

// ---------------------------------------------------------------------------
// refresh

TEST_F(TUpdatesTest, RefreshKeepsPendingChangesRecordsAndBookmarks) {
  Edit(2, "Two*");
  Query->Append();
  Query->FieldByName(QStringLiteral("source"))->SetAsString(QStringLiteral("Five"));
  Query->Post();
  ASSERT_TRUE(Query->Locate(QStringLiteral("number"), 1, {}));
  const TBookmark First = Query->Bookmark();
  ASSERT_TRUE(Query->Locate(QStringLiteral("number"), 3, {}));
  const TBookmark Middle = Query->Bookmark();
  {
    TRawConnection Other(Catalog.File.Path);
    Other.Exec("UPDATE bibliona SET source = 'One (elsewhere)' WHERE number = 1;"
               "INSERT INTO bibliona (number, source) VALUES (7, 'Seven')");
  }
  Query->Refresh();
  EXPECT_EQ(Current(), QStringLiteral("Three")) << "the current record stays current";
  EXPECT_EQ(Shown(), Lines({"One (elsewhere)", "Two*", "Three", "Four", "Seven", "Five"}));
  EXPECT_TRUE(Query->BookmarkValid(First));
  Query->SetBookmark(Middle);
  EXPECT_EQ(Current(), QStringLiteral("Three"));
  EXPECT_EQ(Query->ChangeCount(), 2);
  Query->ApplyUpdates();
  EXPECT_EQ(Stored(), Lines({"1|One (elsewhere)", "2|Two*", "3|Three", "4|Four", "7|Seven", "8|Five"}));
  EXPECT_TRUE(Query->CheckConsistency());

  Query->Close();
  Query->Open();
  EXPECT_FALSE(Query->BookmarkValid(Middle));
  EXPECT_RAISES(Query->SetBookmark(Middle), EDatabaseError, "Record not found");
}

TEST_F(TUpdatesTest, RefreshGoesToTheFirstRecordWhenTheCurrentOneIsGone) {
  ASSERT_TRUE(Query->Locate(QStringLiteral("number"), 3, {}));
  {
    TRawConnection Other(Catalog.File.Path);
    Other.Exec("DELETE FROM bibliona WHERE number = 3");
  }
  Query->Refresh();
  EXPECT_EQ(Current(), QStringLiteral("One"));
  EXPECT_EQ(Query->RecordCount(), 3);
}
