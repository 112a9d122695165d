// The connection's levels against what the engine really does: faults that
// end the transaction inside the engine (a full disk, a ROLLBACK on the raw
// handle), a busy commit that does not, and transaction statements sent past
// the transaction methods.  Each on a real file, seen from a second
// connection.
#include "platform/fd/fdconnection.h"

#include "platform/fd/fdconsts.h"
#include "tests/platform/fd/fdfixture.h"

#include <functional>
#include <memory>

using namespace fdtest;

namespace {

const char* const RolledBack = "The transaction was rolled back by the database";

// Larger than a page: storing it needs new pages.
String bigValue() { return String(20000, u'x'); }

std::vector<String> Lines(std::initializer_list<const char*> Items) {
  std::vector<String> Result;
  for (const char* Item : Items) Result.push_back(String::fromUtf8(Item));
  return Result;
}

// A file holding t(v) with one committed row, "seed", and a connection to it
// that never waits for a lock.
struct TSession {
  TTempDatabase File;
  std::unique_ptr<TFDConnection> Connection = std::make_unique<TFDConnection>(nullptr);
  std::unique_ptr<TRawConnection> Other;  // a second connection a fault needs

  TSession() {
    SetParams(*Connection, File.Path, /*BusyTimeout=*/0);
    Connection->ExecSQL(QStringLiteral("CREATE TABLE t (v TEXT)"));
    Write("seed");
  }

  void Write(const String& Value) { Connection->ExecSQL(QStringLiteral("INSERT INTO t VALUES (?)"), {Value}); }
  // The file cannot grow past the pages it has now.
  void FillDisk() { Connection->ExecSQL(QStringLiteral("PRAGMA max_page_count = 1")); }
  void FreeDisk() { Connection->ExecSQL(QStringLiteral("PRAGMA max_page_count = 1000000")); }
  void RawRollback() {
    ASSERT_EQ(sqlite3_exec(Connection->SQLiteHandle(), "ROLLBACK", nullptr, nullptr, nullptr), SQLITE_OK);
  }
  // What a second connection reads (Other while it holds a snapshot).
  std::vector<String> Seen() {
    const char* SQL = "SELECT substr(v, 1, 8) FROM t ORDER BY rowid";
    if (Other) return Other->Rows(SQL);
    TRawConnection Reader(File.Path);
    return Reader.Rows(SQL);
  }
};

}  // namespace

TEST(FDTransactionLevels, FollowTheEngineThroughFaults) {
  using TStep = std::function<void(TSession&)>;
  struct Case {
    const char* Name;
    int Levels;         // opened first, each writing "level N"
    TStep Fault;        // ends with the call that meets the fault
    const char* Error;  // what that call raises; nullptr for nothing
    int Code;           // the engine code it carries; 0 for a misuse
    int LevelAfter;
    TStep Release;                     // lifts the fault; nullptr for none
    std::vector<String> DurableAtEnd;  // once one more level is started and everything committed
  } Cases[] = {
      {"a full disk at level 1", 1, [](TSession& S) { S.FillDisk(); S.Write(bigValue()); },
       "database or disk is full\nThe transaction was rolled back by the database", SQLITE_FULL, 0,
       [](TSession& S) { S.FreeDisk(); }, Lines({"seed", "after"})},
      {"a full disk at level 3", 3, [](TSession& S) { S.FillDisk(); S.Write(bigValue()); },
       "database or disk is full\nThe transaction was rolled back by the database", SQLITE_FULL, 0,
       [](TSession& S) { S.FreeDisk(); }, Lines({"seed", "after"})},
      {"a reader's lock makes the commit busy and keeps the transaction", 2,
       [](TSession& S) {
         S.Other = std::make_unique<TRawConnection>(S.File.Path);
         ASSERT_EQ(S.Other->Exec("BEGIN; SELECT count(*) FROM t;"), SQLITE_OK);
         S.Connection->Commit();  // level 2 only hands its work to level 1
         S.Connection->Commit();
       },
       "database is locked", SQLITE_BUSY, 1, [](TSession& S) { S.Other.reset(); },
       Lines({"seed", "level 1", "level 2", "after"})},
      {"ROLLBACK on the raw handle at level 1, then StartTransaction", 1,
       [](TSession& S) {
         S.RawRollback();
         S.Connection->StartTransaction();
       },
       RolledBack, SQLITE_ABORT_ROLLBACK, 0, nullptr, Lines({"seed", "after"})},
      {"ROLLBACK on the raw handle at level 2, then Commit", 2,
       [](TSession& S) {
         S.RawRollback();
         S.Connection->Commit();
       },
       RolledBack, SQLITE_ABORT_ROLLBACK, 0, nullptr, Lines({"seed", "after"})},
      {"ROLLBACK on the raw handle at level 3, then a statement, which does not run", 3,
       [](TSession& S) {
         S.RawRollback();
         S.Write("lost");
       },
       RolledBack, SQLITE_ABORT_ROLLBACK, 0, nullptr, Lines({"seed", "after"})},
      {"ROLLBACK on the raw handle at level 3, then Rollback", 3,
       [](TSession& S) {
         S.RawRollback();
         S.Connection->Rollback();
       },
       nullptr, 0, 0, nullptr, Lines({"seed", "after"})},
      {"COMMIT through Execute is refused", 2,
       [](TSession& S) { S.Connection->Execute(QStringLiteral("COMMIT")); },
       "Use the connection's transaction methods", 0, 2, nullptr,
       Lines({"seed", "level 1", "level 2", "after"})},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TSession S;
    for (int Level = 1; Level <= C.Levels; ++Level) {
      S.Connection->StartTransaction();
      S.Write(QStringLiteral("level %1").arg(Level));
    }
    try {
      C.Fault(S);
      EXPECT_EQ(C.Error, nullptr) << "nothing raised";
    } catch (const EFDException& E) {
      ASSERT_NE(C.Error, nullptr) << E.Message.toStdString();
      EXPECT_EQ(E.Message, QString::fromUtf8(C.Error));
      const auto* Engine = dynamic_cast<const EFDDBEngineException*>(&E);
      EXPECT_EQ(Engine ? Engine->ErrorCode : 0, C.Code);
    }
    EXPECT_EQ(S.Connection->TransactionLevel(), C.LevelAfter);
    EXPECT_EQ(S.Connection->InTransaction(), C.LevelAfter > 0);
    EXPECT_EQ(sqlite3_get_autocommit(S.Connection->SQLiteHandle()) != 0, C.LevelAfter == 0);
    EXPECT_EQ(S.Seen(), Lines({"seed"})) << "nothing of the levels is durable";

    if (C.Release) C.Release(S);
    S.Connection->StartTransaction();
    EXPECT_EQ(S.Connection->TransactionLevel(), C.LevelAfter + 1);
    S.Write("after");
    while (S.Connection->InTransaction()) S.Connection->Commit();
    EXPECT_EQ(S.Seen(), C.DurableAtEnd);
  }
}

TEST(FDTransactionLevels, AnOutsideRollbackShowsInTheLevelAtOnce) {
  TSession S;
  S.Connection->StartTransaction();
  S.Connection->StartTransaction();
  S.RawRollback();
  EXPECT_EQ(S.Connection->TransactionLevel(), 0);
  EXPECT_FALSE(S.Connection->InTransaction());
  // The connection drops its levels at its next call.
  EXPECT_RAISES(S.Connection->StartTransaction(), EFDDBEngineException, RolledBack);
  S.Connection->StartTransaction();
  EXPECT_EQ(S.Connection->TransactionLevel(), 1);
}

TEST(FDTransactionLevels, WhatTheEngineRolledBackIsPendingAgainAndStoredOnce) {
  struct Case {
    const char* Name;
    std::function<void(TSession&)> Fault;  // before the last apply
    const char* Error;
  } Cases[] = {
      {"a full disk", [](TSession& S) { S.FillDisk(); },
       "database or disk is full\nThe transaction was rolled back by the database"},
      {"ROLLBACK on the raw handle", [](TSession& S) { S.RawRollback(); }, RolledBack},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TSession S;
    S.Connection->ExecSQL(QStringLiteral("CREATE TABLE r (id INTEGER PRIMARY KEY, v TEXT)"));
    S.Connection->ExecSQL(QStringLiteral("INSERT INTO r (v) VALUES ('kept')"));
    TFDQuery Query(nullptr);
    Query.SetConnection(S.Connection.get());
    Query.SQL()->SetText(QStringLiteral("select * from r order by id"));
    Query.SetCachedUpdates(true);
    Query.Open();
    auto Append = [&Query](const String& Value) {
      Query.Append();
      Query.FieldByName(QStringLiteral("v"))->SetAsString(Value);
      Query.Post();
    };

    S.Connection->StartTransaction();
    Append(QStringLiteral("one"));
    Query.ApplyUpdates();
    Query.CommitUpdates();
    S.Connection->StartTransaction();
    Query.First();
    Query.Edit();
    Query.FieldByName(QStringLiteral("v"))->SetAsString(QStringLiteral("kept*"));
    Query.Post();
    Query.ApplyUpdates();
    Query.CommitUpdates();
    ASSERT_FALSE(Query.UpdatesPending());

    Append(bigValue());
    C.Fault(S);
    EXPECT_RAISES(Query.ApplyUpdates(), EFDDBEngineException, C.Error);
    EXPECT_EQ(S.Connection->TransactionLevel(), 0);
    EXPECT_EQ(Query.ChangeCount(), 3) << "both applied changes are pending again, beside the failed one";
    EXPECT_TRUE(Query.CheckConsistency());
    TRawConnection Reader(S.File.Path);
    EXPECT_EQ(Reader.Rows("SELECT v FROM r"), Lines({"kept"}));

    S.FreeDisk();
    Query.ApplyUpdates();
    Query.CommitUpdates();
    EXPECT_FALSE(Query.UpdatesPending());
    EXPECT_EQ(Reader.Rows("SELECT substr(v, 1, 4), length(v) FROM r ORDER BY id"),
              Lines({"kept|5", "one|3", "xxxx|20000"}));
  }
}
