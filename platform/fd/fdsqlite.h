// The layer's use of the sqlite3 C API: one prepared statement with error
// reporting, and the scanning of statement texts (keywords, markers, tails)
// that must skip string literals, quoted names and comments.
#pragma once

#include "platform/fd/fdrow.h"
#include "platform/rtl/system.h"

#include <vector>

struct sqlite3;
struct sqlite3_stmt;
class EFDDBEngineException;

// Hears how each statement of its connection ended, so that it can follow
// what the engine did to the transaction meanwhile.
class IFDStatementOwner {
public:
  // The statement ran to its end (Error null) or failed with Error, which is
  // raised after the call unless the call raises first.
  virtual void StatementEnded(const EFDDBEngineException* Error) = 0;

protected:
  ~IFDStatementOwner() = default;
};

// Raises EFDDBEngineException with the connection's last error text and
// extended result code, after telling Owner of the failed statement.
[[noreturn]] void FDRaiseSQLiteError(sqlite3* Db, IFDStatementOwner* Owner = nullptr);

// Owns one prepared statement; finalizes it when destroyed.
class TFDStatement {
public:
  TFDStatement() = default;
  TFDStatement(sqlite3* Db, sqlite3_stmt* Stmt, IFDStatementOwner* Owner = nullptr)
      : FDb(Db), FStmt(Stmt), FOwner(Owner) {}
  ~TFDStatement();
  TFDStatement(TFDStatement&& Other) noexcept;
  TFDStatement& operator=(TFDStatement&& Other) noexcept;

  // Prepares the one statement of Sql.  Only blanks, comments and ";" may
  // follow it ("Only one SQL statement can be executed at a time"); a text
  // with no statement raises "Command text must not be empty"; engine errors
  // (syntax, unknown table) raise the engine's text.  Owner, when given,
  // hears how the statement ends, a failed preparation included.
  static TFDStatement PrepareOne(sqlite3* Db, const String& Sql, IFDStatementOwner* Owner = nullptr);

  sqlite3_stmt* Handle() const { return FStmt; }
  // parameters, 1-based
  int ParamCount() const;
  // The marker as written (":name"); "" for a nameless one.
  String ParamName(int Index) const;
  void Bind(int Index, const TFDValueRef& Value);
  void Bind(int Index, const Variant& Value);
  // Steps once: true when a row is ready, false at the end.
  bool Step();
  // Steps to the end; answers the rows the statement inserted, updated or
  // deleted (0 for every other statement).
  int Run();
  // columns, 0-based; a value stays valid until the next Step or Reset
  int ColumnCount() const;
  TFDValueRef Column(int Index) const;

private:
  void finalize();

  sqlite3* FDb = nullptr;
  sqlite3_stmt* FStmt = nullptr;
  IFDStatementOwner* FOwner = nullptr;
};

// statement texts
// The first word of Sql upper-cased, after blanks and comments; "" for none.
String FDFirstKeyword(const String& Sql);
// Whether Sql starts with BEGIN, END, COMMIT, ROLLBACK, SAVEPOINT or RELEASE.
bool FDIsTransactionStatement(const String& Sql);
// The names of the ":name" markers of Sql in order of first appearance
// (each once, compared ignoring case), outside literals, quoted names and
// comments.
std::vector<String> FDParamNames(const String& Sql);
// Name in double quotes, inner quotes doubled.
String FDQuoteName(const String& Name);
