// TFDCustomConnection and TFDConnection: one sqlite3 connection with its
// parameters, nested transactions and the datasets that use it.
//
// Transactions nest as levels:
//
//   StartTransaction   level 0 -> 1: BEGIN          n -> n+1: SAVEPOINT <name of n+1>
//   Commit             level 1 -> 0: COMMIT         n -> n-1: RELEASE SAVEPOINT <name of n>
//   Rollback           level 1 -> 0: ROLLBACK       n -> n-1: ROLLBACK TO SAVEPOINT <name>,
//                                                             RELEASE SAVEPOINT <name>
//
// Commit and Rollback without an open level do nothing, so error paths that
// roll back "just in case" never hide the error they handle.  Statements
// outside a level run in the engine's autocommit.  Statement texts that
// control transactions are refused.
//
// The levels follow the engine: some engine errors (an I/O error, a full
// disk) end the whole transaction, and so does a ROLLBACK run on the raw
// handle.  The connection looks before and after every statement; once the
// engine has no transaction, every open level is dropped as rolled back and
// the call raises EFDDBEngineException "The transaction was rolled back by
// the database" (after the failed statement's own text, with its code).
// Rollback alone drops them without raising: it asked for no more.
//
// The datasets of the connection hear every commit and rollback of a level:
// their change logs undo what a rolled-back level applied, so nothing the
// engine rolled back stays marked as applied.
#pragma once

#include "platform/fd/fdoptions.h"
#include "platform/fd/fdsqlite.h"
#include "platform/rtl/stringlist.h"

#include <map>
#include <memory>
#include <vector>

// The database kinds a connection can report; the numbers are the original
// ones (9 is unused).  A SQLite connection answers mkSQLite.
enum TFDRDBMSKind {
  mkUnknown = 0,
  mkOracle = 1,
  mkMSSQL = 2,
  mkMSAccess = 3,
  mkMySQL = 4,
  mkDB2 = 5,
  mkSybase = 6,
  mkInformix = 7,
  mkInterbase = 8,
  mkSQLite = 10,
};

// "Oracle", "MSSQL", "MSAccess", "MySQL", "DB2", "Sybase", "Informix",
// "Intrbase", "SQLite"; "Unknown" for every other value.
String FDRDBMSKindName(TFDRDBMSKind Kind);

// The Name=Value parameters of a connection, with accessors for the keys the
// layer reads: Database, DriverID ("SQLite"), LockingMode ("Normal" or
// "Exclusive"), BusyTimeout (milliseconds).
class TFDConnectionDefParams : public TStringList {
  RTL_CLASS(TFDConnectionDefParams, TStringList)
public:
  TFDConnectionDefParams() = default;

  String Database() const { return Values(QStringLiteral("Database")); }
  void SetDatabase(const String& Value) { SetValues(QStringLiteral("Database"), Value); }
  String DriverID() const { return Values(QStringLiteral("DriverID")); }
  void SetDriverID(const String& Value) { SetValues(QStringLiteral("DriverID"), Value); }
};

// Every statement the connection runs, with the values bound to it.
using TFDTraceEvent = TMethodPtr<void(const String& SQL, const std::vector<Variant>& Binds)>;

// What a connection asks of a dataset that works through it.
class IFDConnectionClient {
public:
  // The connection disconnects: the dataset closes.
  virtual void ConnectionClosing() = 0;
  // The connection's level Level ended by commit or by rollback (its own or
  // the engine's, deepest level first).
  virtual void TxCommitted(int Level) = 0;
  virtual void TxRolledBack(int Level) = 0;

protected:
  ~IFDConnectionClient() = default;
};

// What the layer knows of a table's columns (PRAGMA table_info).
struct TFDTableInfo {
  struct TColumn {
    String Name;
    String DeclaredType;
    bool NotNull = false;
    bool HasDefault = false;
    int KeyPosition = 0;  // 1-based place in the primary key, 0 outside it
  };
  std::vector<TColumn> Columns;
  int KeyColumnCount = 0;
  // The column that is the rowid (a lone INTEGER PRIMARY KEY); "" for none.
  String RowIdAlias;

  // Ignoring case; nullptr when absent.
  const TColumn* Find(const String& Name) const;
};

class TFDCustomConnection : public TComponent, private IFDStatementOwner {
  RTL_CLASS(TFDCustomConnection, TComponent)
public:
  explicit TFDCustomConnection(TComponent* AOwner);
  ~TFDCustomConnection() override;
  // Disconnects (ending open levels by DisconnectAction) while whole.
  void BeforeDestruction() override;
  // Connected, LoginPrompt, Params, TxOptions, UpdateOptions.
  static void DescribeProperties(TPropertyTable& Props);

  // connecting
  // Changing them while connected raises "Cannot change parameters of an
  // active connection".
  TFDConnectionDefParams* Params() const { return FParams.get(); }
  void SetParams(TStrings* Value);
  bool Connected() const { return FHandle != nullptr; }
  void SetConnected(bool Value);
  // Opens Params.Database read-write without creating it; engine failures
  // raise EFDDBEngineException with the engine's text.
  void Open() { SetConnected(true); }
  // Ends the open levels (DisconnectAction), closes every dataset of the
  // connection, then the database.
  void Close() { SetConnected(false); }
  // Stored only.
  bool LoginPrompt() const { return FLoginPrompt; }
  void SetLoginPrompt(bool Value) { FLoginPrompt = Value; }
  // The raw connection; nullptr while disconnected.
  sqlite3* SQLiteHandle() const { return FHandle; }
  virtual TFDRDBMSKind RDBMSKind();

  // transactions
  void StartTransaction();
  void Commit();
  void Rollback();
  // 0 as soon as the engine has no transaction, even before the connection
  // noticed.
  bool InTransaction() const { return TransactionLevel() > 0; }
  int TransactionLevel() const;
  TFDTxOptions* TxOptions() const { return FTxOptions.get(); }
  void SetTxOptions(TFDTxOptions* Value) { FTxOptions->Assign(Value); }
  // The defaults of the datasets' update options.
  TFDUpdateOptions* UpdateOptions() const { return FUpdateOptions.get(); }
  void SetUpdateOptions(TFDUpdateOptions* Value) { FUpdateOptions->Assign(Value); }

  // statements
  // Runs one statement, binding Params to its markers in order; answers
  // the rows it changed.
  int ExecSQL(const String& SQL, const std::vector<Variant>& Params = {});
  // Runs every statement of Script in order.
  void ExecSQLScript(const String& Script);

  // datasets using the connection
  int DataSetCount() const { return int(FClients.size()); }
  // Component (a dataset, not owned) hears Client's notifications until it
  // detaches or is freed.
  void AttachClient(TComponent* Component, IFDConnectionClient* Client);
  void DetachClient(TComponent* Component);

  // events
  TFDTraceEvent OnTrace;

  // services for the layer's datasets
  // Connects when disconnected: one attempt, whose error propagates.
  void CheckConnected();
  // Connects when needed and prepares the one statement of SQL (see
  // TFDStatement::PrepareOne), whose end the connection hears; transaction
  // statements raise "Use the connection's transaction methods" before
  // anything runs.
  TFDStatement Prepare(const String& SQL);
  void Trace(const String& SQL, const std::vector<Variant>& Binds);
  // Prepares as Prepare, binds Binds in order, traces and runs SQL; answers
  // the rows changed.
  int Execute(const String& SQL, const std::vector<Variant>& Binds = {});
  // The columns of a table, read once per connection and schema change.
  const TFDTableInfo& TableInfo(const String& Schema, const String& Table);
  // Forgets the cached table columns (after statements that may change the
  // schema).
  void SchemaChanged() { FTableInfo.clear(); }
  // A savepoint around one apply, outside the level count: a name for
  // Begin, then End with the outcome.
  String BeginApplySavepoint();
  void EndApplySavepoint(const String& Name, bool Success);

protected:
  virtual void DoConnect();
  virtual void DoDisconnect();
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  struct TClient {
    TComponent* Component;
    IFDConnectionClient* Client;
  };

  void paramsChanging(TObject* Sender);
  // Runs a statement of the layer's own (transaction control).
  void runControl(const String& SQL);
  // Whether levels are open that the engine has ended.
  bool engineEndedLevels() const;
  // Drops the levels the engine has ended, telling the datasets; answers
  // whether there were any.
  bool dropEndedLevels();
  // Drops the levels the engine has ended and raises that it did, after
  // Error's text when a statement failed.
  void checkLevels(const EFDDBEngineException* Error = nullptr);
  void StatementEnded(const EFDDBEngineException* Error) override;
  void notifyRolledBack(int Level);
  String nextSavepointName(const char* Prefix);
  void endLevels();
  // Close for destruction: a failure is reported and the database closed
  // anyway.
  void closeQuietly();

  std::unique_ptr<TFDConnectionDefParams> FParams;
  std::unique_ptr<TFDTxOptions> FTxOptions;
  std::unique_ptr<TFDUpdateOptions> FUpdateOptions;
  bool FLoginPrompt = true;
  sqlite3* FHandle = nullptr;
  std::vector<String> FLevels;  // savepoint name of each level; "" for level 1
  int FSavepointCounter = 0;
  std::vector<TClient> FClients;  // attach order; not owned
  std::map<String, TFDTableInfo> FTableInfo;  // "schema.table" upper-cased
};

class TFDConnection : public TFDCustomConnection {
  RTL_CLASS(TFDConnection, TFDCustomConnection)
public:
  explicit TFDConnection(TComponent* AOwner) : TFDCustomConnection(AOwner) {}
};
