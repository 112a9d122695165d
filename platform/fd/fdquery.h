// The dataset classes over a connection: TFDAdaptedDataSet runs a statement
// and writes cached changes back; TFDQuery takes its statement from SQL;
// TFDTable, TFDStoredProc and TFDMemTable complete the family.
//
// Opening prepares exactly one statement, binds Params, fetches every row and
// finalizes the statement, so no open cursor ever holds a lock.  Fields come
// from the result columns (types by declared type, Origin, keys and the
// rowid from the table's metadata); INTEGER columns keep the 32-bit integer
// field type with the engine's 64-bit values behind it (TFDIntegerField), so
// every value reads back exactly.  Changes are written to the update table
// (UpdateOptions.UpdateTableName, else the table of the first column that has
// one) with generated statements whose values are always bound:
//
//   INSERT INTO t (columns whose value is not Null) VALUES (...), then the
//          row read back by its rowid (keys and defaults appear at once)
//   UPDATE t SET (changed columns) WHERE <where>
//   DELETE FROM t WHERE <where>
//
//   <where> by UpdateMode: the key columns (UpdateOptions.KeyFields, else
//   the fields flagged pfInKey); upWhereChanged adds the changed columns,
//   upWhereAll takes every column of the table; each compared "IS ?" with
//   the old value.  Without a key: rowid = (SELECT rowid FROM t WHERE <every
//   column IS ?> LIMIT 1), so duplicate rows change one at a time.  An UPDATE
//   or DELETE must change exactly one row.
#pragma once

#include "platform/fd/fdconnection.h"
#include "platform/fd/fddataset.h"
#include "platform/fd/fdparams.h"

#include <memory>
#include <vector>

class TStringList;
class TStrings;

class TFDAdaptedDataSet : public TFDDataSet, private IFDConnectionClient {
  RTL_CLASS(TFDAdaptedDataSet, TFDDataSet)
public:
  explicit TFDAdaptedDataSet(TComponent* AOwner);
  // Connection, ResourceOptions.
  static void DescribeProperties(TPropertyTable& Props);

  // connection
  TFDCustomConnection* Connection() const { return FConnection; }
  // The dataset's update options inherit the connection's.
  void SetConnection(TFDCustomConnection* Value);
  // The connection the dataset works through; nullptr when none.
  TFDCustomConnection* PointedConnection() const { return FConnection; }

  // parameters: one per ":name" marker of the statement
  TFDParams* Params() const { return FParams.get(); }
  TFDParam* FindParam(const String& Name) const { return FParams->FindParam(Name); }
  // "Parameter '%s' not found" when absent.
  TFDParam* ParamByName(const String& Name) const { return FParams->ParamByName(Name); }
  // The query's own parameters.
  TParams* PSGetParams() override { return FParams.get(); }
  TFDResourceOptions* ResourceOptions() const { return FResourceOptions.get(); }
  void SetResourceOptions(TFDResourceOptions* Value);

  // statements
  // Runs the statement (closing the dataset first when open); a SELECT is
  // stepped to its end.
  void ExecSQL();
  // Rows changed by the last ExecSQL.
  int RowsAffected() const { return FRowsAffected; }

protected:
  // The statement the dataset runs; base: none.
  virtual String CommandText();
  // The statement changed: closes the dataset (discarding cached changes)
  // and parses the parameters again.
  void CommandChanged();

  // reimplemented
  void InternalOpen() override;
  void InternalInitFieldDefs() override;
  bool GetCanModify() override;
  void ApplyItems(std::span<TFDApplyItem> Items) override;
  int ApplyLevel() override;
  bool FetchRows(std::vector<TFDRow>& Rows) override;
  std::vector<int> KeyColumns() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  // reimplemented: the connection's notifications
  void ConnectionClosing() override { Close(); }
  void TxCommitted(int Level) override { LevelCommitted(Level); }
  void TxRolledBack(int Level) override { LevelRolledBack(Level); }

  // What the layer knows of one result column.
  struct TColumnInfo {
    String Schema;  // of the origin table
    String Table;   // the origin table; "" for expressions
    String Origin;  // the origin column; "" for expressions
    bool RowId = false;     // the table's rowid (INTEGER PRIMARY KEY)
    bool InKey = false;     // part of the table's primary key
    bool Required = false;  // NOT NULL without a default
    bool Updatable = false; // belongs to the update table
  };

  TFDCustomConnection* checkConnection();
  // Prepares and binds the command; Binds gets the values for the trace.
  TFDStatement prepareCommand(std::vector<Variant>& Binds);
  // Runs the command and fetches its rows; Describe also makes FieldDefs.
  void runQuery(std::vector<TFDRow>& Rows, bool Describe);
  void describeColumns(const TFDStatement& Statement, const std::vector<TFDValueKind>& FirstKinds);
  void applyColumnInfo();
  String updateTableSQL() const;
  // Result columns of the update table; the key ones.
  std::vector<int> updateColumns() const;
  void applyItem(TFDApplyItem& Item);
  // "WHERE ..." for Old, with its values appended to Binds.
  String whereClause(const TFDRow& Old, const std::vector<int>& Changed, std::vector<Variant>& Binds) const;
  void checkOneRow(int Changed) const;
  void readBack(TFDApplyItem& Item);

  TFDCustomConnection* FConnection = nullptr;  // not owned
  std::unique_ptr<TFDParams> FParams;
  std::unique_ptr<TFDResourceOptions> FResourceOptions;
  int FRowsAffected = 0;
  std::vector<TColumnInfo> FColumns;  // of the open result
  String FUpdateSchema;
  String FUpdateTable;  // "" while closed or read-only
  std::vector<int> FKeyColumns;
};

class TFDQuery : public TFDAdaptedDataSet {
  RTL_CLASS(TFDQuery, TFDAdaptedDataSet)
public:
  explicit TFDQuery(TComponent* AOwner);
  // SQL.
  static void DescribeProperties(TPropertyTable& Props);

  // The statement, owned; any change closes the query and parses the
  // parameters again.
  TStrings* SQL() const;
  void SetSQL(TStrings* Value);

protected:
  String CommandText() override;

private:
  void sqlChanged(TObject* Sender);

  std::unique_ptr<TStringList> FSQL;
};

// A whole table: SELECT * FROM TableName.
class TFDTable : public TFDAdaptedDataSet {
  RTL_CLASS(TFDTable, TFDAdaptedDataSet)
public:
  explicit TFDTable(TComponent* AOwner) : TFDAdaptedDataSet(AOwner) {}
  // TableName.
  static void DescribeProperties(TPropertyTable& Props);

  const String& TableName() const { return FTableName; }
  void SetTableName(const String& Value);

protected:
  String CommandText() override;

private:
  String FTableName;
};

// Stored procedures do not exist in SQLite: opening and ExecProc raise
// "Stored procedures are not supported by SQLite".
class TFDStoredProc : public TFDAdaptedDataSet {
  RTL_CLASS(TFDStoredProc, TFDAdaptedDataSet)
public:
  explicit TFDStoredProc(TComponent* AOwner) : TFDAdaptedDataSet(AOwner) {}
  // StoredProcName.
  static void DescribeProperties(TPropertyTable& Props);

  const String& StoredProcName() const { return FStoredProcName; }
  void SetStoredProcName(const String& Value) { FStoredProcName = Value; }
  void ExecProc();

protected:
  void InternalOpen() override;

private:
  String FStoredProcName;
};

// Records kept only in memory, over FieldDefs: CreateDataSet opens it empty.
class TFDMemTable : public TFDAdaptedDataSet {
  RTL_CLASS(TFDMemTable, TFDAdaptedDataSet)
public:
  explicit TFDMemTable(TComponent* AOwner) : TFDAdaptedDataSet(AOwner) {}

  void CreateDataSet() { Open(); }

protected:
  // reimplemented: nothing of a database
  void InternalOpen() override;
  void InternalInitFieldDefs() override;
  bool GetCanModify() override;
  void ApplyItems(std::span<TFDApplyItem> Items) override;
  int ApplyLevel() override;
  bool FetchRows(std::vector<TFDRow>& Rows) override;
};
