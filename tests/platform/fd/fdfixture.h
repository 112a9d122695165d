// What the data-access suites share: a database file in a temporary folder,
// a second raw connection that sees only what is committed, a statement
// recorder on the connection's trace, and the catalog's schema.
#pragma once

#include "platform/fd/fdconnection.h"
#include "platform/fd/fdquery.h"

#include "tests/support/testing.h"

#include <QStringList>
#include <QTemporaryDir>
#include <sqlite3.h>

#include <vector>

namespace fdtest {

// The tables of the catalog, with INTEGER PRIMARY KEY keys for the five
// levels and the references; cat_arc and the side tables have no key.
inline const char* const CatalogSchema = R"(
CREATE TABLE gr_name (gr_number INTEGER PRIMARY KEY, gr_title VARCHAR(100));
CREATE TABLE sbgr1_nm (sbgr1_nmb INTEGER PRIMARY KEY, gr_number INTEGER, sbgr1_name VARCHAR(100));
CREATE TABLE sbgr2_nm (sbgr2_nmb INTEGER PRIMARY KEY, sbgr1_nmb INTEGER, sbgr2_name VARCHAR(100));
CREATE TABLE sbgr3_nm (sbgr3_nmb INTEGER PRIMARY KEY, sbgr2_nmb INTEGER, sbgr3_name VARCHAR(100));
CREATE TABLE sbgr4_nm (sbgr4_nmb INTEGER PRIMARY KEY, sbgr3_nmb INTEGER, sbgr4_name VARCHAR(100));
CREATE TABLE bibliona (number INTEGER PRIMARY KEY, sbgr4_nmb INTEGER, source TEXT, summary TEXT,
  author TEXT, data_make INTEGER, journal TEXT, file_doc TEXT, file_doc1 TEXT, data_input TEXT,
  file_type TEXT DEFAULT 'sum', doi TEXT);
CREATE TABLE cat_arc (number INTEGER, sbgr4_nmb INTEGER, source TEXT, summary TEXT, author TEXT,
  journal TEXT, data_make INTEGER, file_doc TEXT, file_type TEXT, data_input TEXT);
CREATE TABLE refuse (refuse TEXT, replace TEXT, type INTEGER);
CREATE TABLE society (SHORT_NAME VARCHAR(20), FULL_NAME_ TEXT, ADRESS TEXT, TYPE_INF CHAR(1));
)";

// An empty database file (the layer never creates one) in its own folder.
class TTempDatabase {
public:
  TTempDatabase() : Path(Dir.filePath(QStringLiteral("test.sqlite"))) {
    sqlite3* Db = nullptr;
    sqlite3_open_v2(Path.toUtf8().constData(), &Db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    sqlite3_exec(Db, "PRAGMA user_version = 1", nullptr, nullptr, nullptr);
    sqlite3_close(Db);
  }

  QTemporaryDir Dir;
  String Path;
};

// A raw connection of its own on a database file.
class TRawConnection {
public:
  explicit TRawConnection(const String& Path) {
    sqlite3_open_v2(Path.toUtf8().constData(), &Handle, SQLITE_OPEN_READWRITE, nullptr);
  }
  ~TRawConnection() { sqlite3_close_v2(Handle); }
  TRawConnection(const TRawConnection&) = delete;
  TRawConnection& operator=(const TRawConnection&) = delete;

  // Runs Sql; answers the engine's result code.
  int Exec(const char* Sql) { return sqlite3_exec(Handle, Sql, nullptr, nullptr, nullptr); }
  // Each row as "a|b|c", NULL as "NULL".
  std::vector<String> Rows(const char* Sql) {
    std::vector<String> Result;
    sqlite3_stmt* Stmt = nullptr;
    if (sqlite3_prepare_v2(Handle, Sql, -1, &Stmt, nullptr) != SQLITE_OK) {
      ADD_FAILURE() << sqlite3_errmsg(Handle);
      return Result;
    }
    while (sqlite3_step(Stmt) == SQLITE_ROW) {
      QStringList Values;
      for (int I = 0; I < sqlite3_column_count(Stmt); ++I)
        Values.push_back(sqlite3_column_type(Stmt, I) == SQLITE_NULL
                             ? QStringLiteral("NULL")
                             : String::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(Stmt, I))));
      Result.push_back(Values.join(u'|'));
    }
    sqlite3_finalize(Stmt);
    return Result;
  }
  Int64 Count(const char* Table) {
    const std::vector<String> R = Rows(QStringLiteral("SELECT count(*) FROM %1").arg(Table).toUtf8().constData());
    return R.empty() ? -1 : R.front().toLongLong();
  }

  sqlite3* Handle = nullptr;
};

// Every statement a connection runs, in order.
struct TTraceRecorder {
  std::vector<String> Statements;
  std::vector<std::vector<Variant>> Binds;

  void Attach(TFDCustomConnection& Connection) {
    Connection.OnTrace = TFDTraceEvent([this](const String& SQL, const std::vector<Variant>& Values) {
      Statements.push_back(SQL);
      Binds.push_back(Values);
    });
  }
  void Clear() {
    Statements.clear();
    Binds.clear();
  }
  // The statements whose first word is one of Words ("INSERT UPDATE").
  std::vector<String> Only(const String& Words) const {
    std::vector<String> Result;
    const QStringList Wanted = Words.split(u' ');
    for (const String& S : Statements)
      if (Wanted.contains(S.section(u' ', 0, 0), Qt::CaseInsensitive)) Result.push_back(S);
    return Result;
  }
};

// The data-module settings: DriverID SQLite, a one-second busy time-out.
inline void SetParams(TFDCustomConnection& Connection, const String& Database, int BusyTimeout = 1000) {
  Connection.Params()->Clear();
  Connection.Params()->Add(QStringLiteral("DriverID=SQLite"));
  Connection.Params()->Add(QStringLiteral("Database=") + Database);
  Connection.Params()->Add(QStringLiteral("LockingMode=Normal"));
  Connection.Params()->Add(QStringLiteral("BusyTimeout=%1").arg(BusyTimeout));
}

// A temporary catalog file, a connection to it and a raw reader.
struct TCatalogFixture {
  TTempDatabase File;
  TFDConnection* Connection = new TFDConnection(nullptr);
  TTraceRecorder Trace;

  explicit TCatalogFixture(const char* Rows = "") {
    SetParams(*Connection, File.Path, /*BusyTimeout=*/200);
    Connection->ExecSQLScript(String::fromUtf8(CatalogSchema));
    Connection->ExecSQLScript(String::fromUtf8(Rows));
    Trace.Attach(*Connection);
  }
  ~TCatalogFixture() {
    if (Connection) Connection->Free();
  }
  TCatalogFixture(const TCatalogFixture&) = delete;
  TCatalogFixture& operator=(const TCatalogFixture&) = delete;

  // A query owned by the test over the connection.
  TFDQuery* Query(const char* Sql, bool Open = true) {
    auto* Q = new TFDQuery(Connection);
    Q->SetConnection(Connection);
    Q->SQL()->SetText(String::fromUtf8(Sql));
    if (Open) Q->Open();
    return Q;
  }
};

}  // namespace fdtest
