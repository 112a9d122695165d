#include "platform/fd/fdconnection.h"

#include "platform/fd/fdconsts.h"
#include "tests/platform/fd/fdfixture.h"

#include <QFile>

using namespace fdtest;

namespace {

// A connection to a fresh file holding table t(v).
struct TConnectionFixture : ::testing::Test {
  TTempDatabase File;
  TFDConnection* Connection = new TFDConnection(nullptr);
  TTraceRecorder Trace;

  void SetUp() override {
    SetParams(*Connection, File.Path, /*BusyTimeout=*/100);
    Connection->ExecSQL(QStringLiteral("CREATE TABLE t (v TEXT)"));
    Trace.Attach(*Connection);
  }
  void TearDown() override {
    if (Connection) Connection->Free();
  }
  std::vector<String> Committed() {
    TRawConnection Raw(File.Path);
    return Raw.Rows("SELECT v FROM t ORDER BY rowid");
  }
  void Write(const char* Value) { Connection->ExecSQL(QStringLiteral("INSERT INTO t VALUES (?)"), {Value}); }
};

std::vector<String> Lines(std::initializer_list<const char*> Items) {
  std::vector<String> Result;
  for (const char* Item : Items) Result.push_back(String::fromUtf8(Item));
  return Result;
}

}  // namespace

// ---------------------------------------------------------------------------
// parameters and connecting

TEST(FDConnectionConnect, AMissingFileFailsWithTheEnginesTextAndIsNotCreated) {
  QTemporaryDir Dir;
  const String Path = Dir.filePath(QStringLiteral("bibliona.sqlite"));
  TFDConnection Connection(nullptr);
  SetParams(Connection, Path);
  try {
    Connection.Open();
    ADD_FAILURE() << "a missing database opened";
  } catch (const EFDDBEngineException& E) {
    EXPECT_EQ(E.Message, QStringLiteral("unable to open database file"));
    EXPECT_EQ(E.ErrorCode, SQLITE_CANTOPEN);
  }
  EXPECT_FALSE(Connection.Connected());
  EXPECT_FALSE(QFile::exists(Path));
}

TEST(FDConnectionConnect, AFileThatIsNotADatabaseFailsAtConnect) {
  QTemporaryDir Dir;
  const String Path = Dir.filePath(QStringLiteral("notes.sqlite"));
  QFile Text(Path);
  ASSERT_TRUE(Text.open(QIODevice::WriteOnly));
  Text.write(QByteArray(4096, 'x'));
  Text.close();
  TFDConnection Connection(nullptr);
  SetParams(Connection, Path);
  EXPECT_RAISES(Connection.Open(), EFDDBEngineException, "file is not a database");
  EXPECT_FALSE(Connection.Connected());
}

TEST(FDConnectionConnect, BadParametersRaiseBeforeAnythingOpens) {
  struct Case {
    const char* Name;
    const char* Key;
    const char* Value;
    const char* Message;
  } Cases[] = {
      {"other driver", "DriverID", "MySQL", "Driver 'MySQL' is not supported"},
      {"no driver", "DriverID", "", "Driver '' is not supported"},
      {"busy time-out text", "BusyTimeout", "soon", "Invalid value 'soon' of connection parameter 'BusyTimeout'"},
      {"negative time-out", "BusyTimeout", "-1", "Invalid value '-1' of connection parameter 'BusyTimeout'"},
      {"locking mode", "LockingMode", "Shared", "Invalid value 'Shared' of connection parameter 'LockingMode'"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TFDConnection Connection(nullptr);
    SetParams(Connection, QStringLiteral(":memory:"));
    Connection.Params()->SetValues(QLatin1String(C.Key), QLatin1String(C.Value));
    if (*C.Value == 0) Connection.Params()->Add(QStringLiteral("DriverID="));
    EXPECT_RAISES(Connection.Open(), EFDException, C.Message);
    EXPECT_FALSE(Connection.Connected());
  }
}

TEST(FDConnectionConnect, ParametersAreFrozenWhileConnected) {
  TFDConnection Connection(nullptr);
  SetParams(Connection, QStringLiteral(":memory:"));
  Connection.Params()->SetDriverID(QStringLiteral("sqlite"));
  Connection.Open();
  EXPECT_RAISES(Connection.Params()->SetDatabase(QStringLiteral("other.sqlite")), EFDException,
                "Cannot change parameters of an active connection");
  EXPECT_RAISES(Connection.Params()->Clear(), EFDException, "Cannot change parameters of an active connection");
  EXPECT_EQ(Connection.Params()->Database(), QStringLiteral(":memory:"));
  // The start-up sequence: disconnect, set path and driver, reconnect.
  Connection.Close();
  Connection.Params()->SetDatabase(QStringLiteral(":memory:"));
  Connection.SetConnected(true);
  EXPECT_TRUE(Connection.Connected());
  EXPECT_NE(Connection.SQLiteHandle(), nullptr);
}

TEST(FDConnectionConnect, ConnectRunsTheLockingPragmaAndSetsTheBusyTimeout) {
  TTempDatabase File;
  TFDConnection Connection(nullptr);
  SetParams(Connection, File.Path, /*BusyTimeout=*/1000);
  Connection.Params()->SetValues(QStringLiteral("LockingMode"), QStringLiteral("Exclusive"));
  TTraceRecorder Trace;
  Trace.Attach(Connection);
  Connection.Open();
  EXPECT_EQ(Trace.Statements, Lines({"PRAGMA locking_mode=EXCLUSIVE", "PRAGMA schema_version"}));
  // sqlite3_busy_timeout answers through the busy handler only; the pragma
  // reads it back.
  sqlite3_stmt* Stmt = nullptr;
  sqlite3_prepare_v2(Connection.SQLiteHandle(), "PRAGMA busy_timeout", -1, &Stmt, nullptr);
  ASSERT_EQ(sqlite3_step(Stmt), SQLITE_ROW);
  EXPECT_EQ(sqlite3_column_int(Stmt, 0), 1000);
  sqlite3_finalize(Stmt);
}

TEST(FDConnectionConnect, DoubleQuotedStringsAreAccepted) {
  TFDConnection Connection(nullptr);
  SetParams(Connection, QStringLiteral(":memory:"));
  Connection.ExecSQL(QStringLiteral("CREATE TABLE s (v TEXT)"));
  EXPECT_EQ(Connection.ExecSQL(QStringLiteral("INSERT INTO s VALUES (\"typed by a user\")")), 1);
}

TEST(FDConnectionConnect, KindIsSQLiteAndSubclassesCanPretend) {
  struct TFakeServer : TFDConnection {
    using TFDConnection::TFDConnection;
    TFDRDBMSKind RDBMSKind() override { return mkMySQL; }
  };
  TFDConnection Real(nullptr);
  TFakeServer Fake(nullptr);
  EXPECT_EQ(Real.RDBMSKind(), mkSQLite);
  EXPECT_EQ(int(Real.RDBMSKind()), 10);
  EXPECT_EQ(int(static_cast<TFDCustomConnection&>(Fake).RDBMSKind()), 4);

  const std::pair<TFDRDBMSKind, const char*> Names[] = {
      {mkUnknown, "Unknown"}, {mkOracle, "Oracle"},     {mkMSSQL, "MSSQL"},       {mkMSAccess, "MSAccess"},
      {mkMySQL, "MySQL"},     {mkDB2, "DB2"},           {mkSybase, "Sybase"},     {mkInformix, "Informix"},
      {mkInterbase, "Intrbase"}, {TFDRDBMSKind(9), "Unknown"}, {mkSQLite, "SQLite"},
  };
  for (const auto& [Kind, Name] : Names) EXPECT_EQ(FDRDBMSKindName(Kind), QLatin1String(Name)) << int(Kind);
}

TEST(FDConnectionConnect, ClassesAndPublishedProperties) {
  TFDConnection Connection(nullptr);
  EXPECT_EQ(Connection.ClassName(), QStringLiteral("TFDConnection"));
  EXPECT_EQ(Connection.ClassParent()->ClassName(), QStringLiteral("TFDCustomConnection"));
  for (const char* Name : {"Connected", "LoginPrompt", "Params", "TxOptions", "UpdateOptions"})
    EXPECT_TRUE(IsPublishedProp(&Connection, QLatin1String(Name))) << Name;
  EXPECT_FALSE(Connection.TxOptions()->AutoStop());
  EXPECT_EQ(Connection.TxOptions()->DisconnectAction(), xdCommit);
  EXPECT_EQ(Connection.UpdateOptions()->UpdateMode(), upWhereKeyOnly);
  EXPECT_FALSE(Connection.UpdateOptions()->AutoCommitUpdates());
}

// ---------------------------------------------------------------------------
// transactions

TEST_F(TConnectionFixture, NestedLevelsAreSavepointsAndARolledBackLevelIsReleased) {
  Connection->StartTransaction();
  Connection->StartTransaction();
  Write("x");
  Connection->Commit();
  Connection->StartTransaction();
  EXPECT_EQ(Connection->TransactionLevel(), 2);
  Write("y");
  Connection->Rollback();
  EXPECT_TRUE(Committed().empty()) << "nothing is durable before the outer commit";
  Connection->Commit();

  const std::vector<String> Control = Trace.Only(QStringLiteral("BEGIN SAVEPOINT RELEASE ROLLBACK COMMIT"));
  ASSERT_EQ(Control.size(), 7u);
  const String A = Control[1].mid(10);
  const String B = Control[3].mid(10);
  EXPECT_NE(A, B);
  EXPECT_EQ(Control, (std::vector<String>{"BEGIN", "SAVEPOINT " + A, "RELEASE SAVEPOINT " + A, "SAVEPOINT " + B,
                                          "ROLLBACK TO SAVEPOINT " + B, "RELEASE SAVEPOINT " + B, "COMMIT"}));
  EXPECT_EQ(Committed(), Lines({"x"}));
  EXPECT_EQ(Connection->TransactionLevel(), 0);
  EXPECT_FALSE(Connection->InTransaction());
  EXPECT_TRUE(sqlite3_get_autocommit(Connection->SQLiteHandle()));
}

TEST_F(TConnectionFixture, CommitAndRollbackWithoutALevelDoNothing) {
  Connection->Commit();
  Connection->Rollback();
  EXPECT_TRUE(Trace.Statements.empty());
  EXPECT_EQ(Connection->TransactionLevel(), 0);
  Connection->Close();
  Connection->Rollback();
  Connection->Commit();
  EXPECT_TRUE(Trace.Statements.empty());
}

TEST_F(TConnectionFixture, FreeingTheConnectionCommitsEveryOpenLevel) {
  for (const char* Value : {"a", "b", "c"}) {
    Connection->StartTransaction();
    Write(Value);
  }
  Trace.Clear();
  FreeAndNil(Connection);
  EXPECT_EQ(Committed(), Lines({"a", "b", "c"}));
  ASSERT_EQ(Trace.Statements.size(), 3u);
  EXPECT_TRUE(Trace.Statements[0].startsWith(u"RELEASE SAVEPOINT "));
  EXPECT_TRUE(Trace.Statements[1].startsWith(u"RELEASE SAVEPOINT "));
  EXPECT_EQ(Trace.Statements[2], QStringLiteral("COMMIT"));
}

TEST_F(TConnectionFixture, DisconnectActionRollbackUndoesEveryOpenLevel) {
  Connection->TxOptions()->SetDisconnectAction(xdRollback);
  for (const char* Value : {"a", "b", "c"}) {
    Connection->StartTransaction();
    Write(Value);
  }
  Connection->Close();
  EXPECT_EQ(Connection->TransactionLevel(), 0);
  EXPECT_TRUE(Committed().empty());
}

TEST_F(TConnectionFixture, TransactionStatementsAreRefusedBeforeTheyRun) {
  const char* Statements[] = {"BEGIN",      "begin immediate", "  -- note\n COMMIT", "/* x */ SAVEPOINT s",
                              "release s",  "END",             "Rollback"};
  Connection->StartTransaction();
  for (const char* SQL : Statements) {
    SCOPED_TRACE(SQL);
    EXPECT_RAISES(Connection->ExecSQL(String::fromUtf8(SQL)), EFDException, "Use the connection's transaction methods");
    EXPECT_RAISES(Connection->ExecSQLScript(QStringLiteral("INSERT INTO t VALUES ('s');\n") + String::fromUtf8(SQL)),
                  EFDException, "Use the connection's transaction methods");
  }
  EXPECT_EQ(Connection->TransactionLevel(), 1);
  EXPECT_FALSE(sqlite3_get_autocommit(Connection->SQLiteHandle()));
  Connection->Rollback();
  // Names that merely start alike are ordinary statements.
  EXPECT_EQ(Connection->ExecSQL(QStringLiteral("CREATE TABLE beginnings (v)")), 0);
}

TEST_F(TConnectionFixture, StatementsOutsideALevelAreDurableAtOnce) {
  EXPECT_EQ(Connection->ExecSQL(QStringLiteral("INSERT INTO t VALUES (?), (?)"), {"p", "q"}), 2);
  EXPECT_EQ(Committed(), Lines({"p", "q"}));
  EXPECT_EQ(Trace.Binds.back().size(), 2u);
  EXPECT_EQ(Trace.Binds.back()[1].AsString(), QStringLiteral("q"));
}

TEST_F(TConnectionFixture, ScriptsRunEveryStatementAndStopAtTheFirstError) {
  Connection->ExecSQLScript(QStringLiteral("INSERT INTO t VALUES ('1'); -- one\n INSERT INTO t VALUES ('2');\n\n"));
  EXPECT_EQ(Committed(), Lines({"1", "2"}));
  EXPECT_RAISES(Connection->ExecSQLScript(QStringLiteral("INSERT INTO t VALUES ('3'); INSERT INTO nowhere VALUES (1);"
                                                         "INSERT INTO t VALUES ('4')")),
                EFDDBEngineException, "no such table: nowhere");
  EXPECT_EQ(Committed(), Lines({"1", "2", "3"}));
}

TEST_F(TConnectionFixture, ExecSQLTakesOneStatement) {
  EXPECT_RAISES(Connection->ExecSQL(QStringLiteral("INSERT INTO t VALUES ('a'); INSERT INTO t VALUES ('b')")),
                EFDException, "Only one SQL statement can be executed at a time");
  EXPECT_RAISES(Connection->ExecSQL(QStringLiteral("  -- nothing\n")), EFDException, "Command text must not be empty");
  EXPECT_EQ(Connection->ExecSQL(QStringLiteral("INSERT INTO t VALUES ('c'); -- done\n;  ")), 1);
  EXPECT_EQ(Committed(), Lines({"c"}));
}

TEST_F(TConnectionFixture, ADisconnectedConnectionConnectsOnceForWork) {
  Connection->Close();
  Connection->StartTransaction();
  EXPECT_TRUE(Connection->Connected());
  Write("w");
  Connection->Commit();
  Connection->Close();
  EXPECT_EQ(Connection->ExecSQL(QStringLiteral("DELETE FROM t")), 1);

  Connection->Close();
  Connection->Params()->SetDatabase(File.Dir.filePath(QStringLiteral("gone.sqlite")));
  EXPECT_RAISES(Connection->StartTransaction(), EFDDBEngineException, "unable to open database file");
  EXPECT_RAISES(Connection->ExecSQL(QStringLiteral("DELETE FROM t")), EFDDBEngineException,
                "unable to open database file");
  EXPECT_EQ(Connection->TransactionLevel(), 0);
}

TEST_F(TConnectionFixture, ALockedDatabaseFailsClearlyAndKeepsTheLevel) {
  Connection->StartTransaction();
  Write("mine");
  {
    // A reader in the middle of a read transaction keeps the commit from
    // getting its exclusive lock.
    TRawConnection Reader(File.Path);
    ASSERT_EQ(Reader.Exec("BEGIN; SELECT count(*) FROM t;"), SQLITE_OK);
    try {
      Connection->Commit();
      ADD_FAILURE() << "the commit passed a reader's lock";
    } catch (const EFDDBEngineException& E) {
      EXPECT_EQ(E.Message, QStringLiteral("database is locked"));
      EXPECT_EQ(E.ErrorCode & 0xFF, SQLITE_BUSY);
    }
    EXPECT_EQ(Connection->TransactionLevel(), 1);
    Reader.Exec("COMMIT");
  }
  Connection->Commit();
  EXPECT_EQ(Committed(), Lines({"mine"}));

  TRawConnection Writer(File.Path);
  ASSERT_EQ(Writer.Exec("BEGIN IMMEDIATE"), SQLITE_OK);
  EXPECT_RAISES(Write("late"), EFDDBEngineException, "database is locked");
  Writer.Exec("ROLLBACK");
  Write("late");
  EXPECT_EQ(Committed(), Lines({"mine", "late"}));
}
