#include "platform/fd/fdbackup.h"

#include "platform/fd/fdconsts.h"
#include "tests/platform/fd/fdfixture.h"
#include "tests/support/testing.h"

#include <QDir>

namespace {

using fdtest::TRawConnection;


// A source of several chunks: 6,000 rows of 1,000 bytes are about 1,500 pages.
class FDBackupTest : public ::testing::Test {
protected:
  void SetUp() override {
    WriteFileBytes(Source, QByteArray());  // an empty file is an empty database
    TRawConnection Raw(Source);
    ASSERT_EQ(Raw.Exec("CREATE TABLE t (id INTEGER PRIMARY KEY, body BLOB);"
                       "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 6000) "
                       "INSERT INTO t SELECT i, randomblob(1000) FROM n"),
              SQLITE_OK);
  }
  // The files of the folder but the source and its journal.
  QStringList others() const {
    QStringList Files = QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden);
    Files.removeIf([](const QString& Name) { return Name.startsWith(QLatin1String("source.sqlite")); });
    return Files;
  }

  QTemporaryDir Dir;
  String Source = Dir.filePath(QStringLiteral("source.sqlite"));
  String Dest = Dir.filePath(QStringLiteral("copy.sqlite"));
};

TEST_F(FDBackupTest, CopiesTheCommittedStateOverTheDestination) {
  WriteFileBytes(Dest, "an older copy");
  TRawConnection Writer(Source);
  ASSERT_EQ(Writer.Exec("BEGIN; INSERT INTO t VALUES (6001, x'00'); SAVEPOINT s; DELETE FROM t WHERE id <= 10"),
            SQLITE_OK);

  std::vector<std::pair<int, int>> Steps;
  FDSQLiteBackup(Source, Dest, [&Steps](int Done, int Total) { Steps.emplace_back(Done, Total); });

  ASSERT_GE(Steps.size(), 2u) << "copied in chunks";
  for (std::size_t I = 1; I < Steps.size(); ++I) {
    EXPECT_GT(Steps[I].first, Steps[I - 1].first);
    EXPECT_EQ(Steps[I].second, Steps.front().second);
  }
  EXPECT_EQ(Steps.back().first, Steps.back().second);

  TRawConnection Copy(Dest);
  EXPECT_EQ(Copy.Rows("PRAGMA quick_check"), std::vector<String>{"ok"});
  EXPECT_EQ(Copy.Rows("SELECT count(*), min(id), max(id) FROM t"), std::vector<String>{"6000|1|6000"});
  EXPECT_EQ(Copy.Rows("SELECT count(*) FROM t WHERE body = (SELECT body FROM t WHERE id = 77)"),
            std::vector<String>{"1"});
  EXPECT_EQ(others(), QStringList{"copy.sqlite"}) << "no part file is left";
  EXPECT_EQ(Writer.Exec("ROLLBACK"), SQLITE_OK) << "the writer's transaction was left alone";
}

TEST_F(FDBackupTest, ALockedSourceRaisesAfterTheBusyTimeOutAndKeepsTheDestination) {
  WriteFileBytes(Dest, "yesterday's copy");
  TRawConnection Locker(Source);
  ASSERT_EQ(Locker.Exec("BEGIN EXCLUSIVE"), SQLITE_OK);
  try {
    FDSQLiteBackup(Source, Dest, {}, /*BusyTimeout=*/100);
    ADD_FAILURE() << "no error for a locked source";
  } catch (const EFDDBEngineException& E) {
    EXPECT_EQ(E.Message, "database is locked");
    EXPECT_EQ(E.ErrorCode & 0xFF, SQLITE_BUSY);
  }
  EXPECT_EQ(FileBytes(Dest), "yesterday's copy");
  EXPECT_EQ(others(), QStringList{"copy.sqlite"});
  // once the lock is gone the copy succeeds
  ASSERT_EQ(Locker.Exec("COMMIT"), SQLITE_OK);
  FDSQLiteBackup(Source, Dest);
  EXPECT_EQ(TRawConnection(Dest).Count("t"), 6000);
}

TEST_F(FDBackupTest, EngineFailuresRaiseAndLeaveNothingBehind) {
  const String Text = Dir.filePath(QStringLiteral("notes.txt"));
  WriteFileBytes(Text, QByteArray(4096, 'x'));
  struct Case {
    const char* Name;
    String From;
    String To;
    const char* Message;  // a part of it
  } Cases[] = {
      {"missing source", Dir.filePath(QStringLiteral("gone.sqlite")), Dest, "unable to open database file"},
      {"not a database", Text, Dest, "file is not a database"},
      {"missing folder", Source, Dir.filePath(QStringLiteral("no/such/copy.sqlite")), "unable to open database file"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    // A failed open still allocates a connection: it must be closed too.
    const sqlite3_int64 EngineMemory = sqlite3_memory_used();
    try {
      FDSQLiteBackup(C.From, C.To);
      ADD_FAILURE() << "no error";
    } catch (const EFDDBEngineException& E) {
      EXPECT_TRUE(E.Message.contains(QLatin1String(C.Message))) << E.Message.toStdString();
    }
    EXPECT_EQ(sqlite3_memory_used(), EngineMemory) << "the engine's memory is all given back";
    EXPECT_EQ(others(), QStringList{"notes.txt"});
  }
}

TEST_F(FDBackupTest, ACopyOntoTheSourceIsRefused) {
  const QByteArray Before = FileBytes(Source);
  EXPECT_THROW(FDSQLiteBackup(Source, Dir.path() + QStringLiteral("/./source.sqlite")), EFDException);
  EXPECT_EQ(FileBytes(Source), Before);
  EXPECT_TRUE(others().isEmpty());
}

}  // namespace
