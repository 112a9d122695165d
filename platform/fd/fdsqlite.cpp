#include "platform/fd/fdsqlite.h"

#include "platform/fd/fdconsts.h"
#include "platform/rtl/strutils.h"

#include <sqlite3.h>

#include <utility>

namespace {

// Walks a statement text, telling code apart from string literals ('...'),
// quoted names ("...", [...], `...`) and comments (-- to the line end,
// /* ... */).  Char positions are 0-based.
class sqlScanner {
public:
  explicit sqlScanner(const String& Text) : FText(Text) {}

  bool AtEnd() const { return FPos >= FText.size(); }
  qsizetype Pos() const { return FPos; }
  Char Current() const { return FText[FPos]; }
  Char Peek(qsizetype Ahead = 1) const {
    return FPos + Ahead < FText.size() ? FText[FPos + Ahead] : Char(0);
  }

  // Skips blanks and comments; answers whether anything was skipped.
  bool SkipBlanksAndComments() {
    const qsizetype Start = FPos;
    while (!AtEnd()) {
      if (Current().isSpace()) {
        ++FPos;
      } else if (Current() == u'-' && Peek() == u'-') {
        while (!AtEnd() && Current() != u'\n') ++FPos;
      } else if (Current() == u'/' && Peek() == u'*') {
        const qsizetype End = FText.indexOf(QStringLiteral("*/"), FPos + 2);
        FPos = End < 0 ? FText.size() : End + 2;
      } else {
        break;
      }
    }
    return FPos != Start;
  }

  // Skips a literal or quoted name starting here; answers whether there was one.
  bool SkipQuoted() {
    Char Close;
    switch (Current().unicode()) {
      case u'\'': Close = u'\''; break;
      case u'"': Close = u'"'; break;
      case u'`': Close = u'`'; break;
      case u'[': Close = u']'; break;
      default: return false;
    }
    ++FPos;
    while (!AtEnd()) {
      if (Current() != Close) {
        ++FPos;
        continue;
      }
      ++FPos;
      // A doubled closing quote stands for itself (not inside [...]).
      if (Close == u']' || AtEnd() || Current() != Close) return true;
      ++FPos;
    }
    return true;
  }

  static bool IsNameChar(Char C) { return C.isLetterOrNumber() || C == u'_' || C == u'$'; }

  String ReadName() {
    const qsizetype Start = FPos;
    while (!AtEnd() && IsNameChar(Current())) ++FPos;
    return FText.mid(Start, FPos - Start);
  }

  void Advance() { ++FPos; }

private:
  const String FText;  // a copy: callers pass temporaries
  qsizetype FPos = 0;
};

bool isBlankTail(const char* Tail) {
  sqlScanner Scanner(String::fromUtf8(Tail));
  for (;;) {
    Scanner.SkipBlanksAndComments();
    if (Scanner.AtEnd()) return true;
    if (Scanner.Current() != u';') return false;
    Scanner.Advance();
  }
}

EFDDBEngineException lastError(sqlite3* Db) {
  return EFDDBEngineException(String::fromUtf8(sqlite3_errmsg(Db)), sqlite3_extended_errcode(Db));
}

}  // namespace

void FDRaiseSQLiteError(sqlite3* Db, IFDStatementOwner* Owner) {
  const EFDDBEngineException Error = lastError(Db);
  if (Owner) Owner->StatementEnded(&Error);
  throw Error;
}

// ---------------------------------------------------------------------------
// TFDStatement

TFDStatement::~TFDStatement() { finalize(); }

TFDStatement::TFDStatement(TFDStatement&& Other) noexcept
    : FDb(std::exchange(Other.FDb, nullptr)),
      FStmt(std::exchange(Other.FStmt, nullptr)),
      FOwner(std::exchange(Other.FOwner, nullptr)) {}

TFDStatement& TFDStatement::operator=(TFDStatement&& Other) noexcept {
  if (this != &Other) {
    finalize();
    FDb = std::exchange(Other.FDb, nullptr);
    FStmt = std::exchange(Other.FStmt, nullptr);
    FOwner = std::exchange(Other.FOwner, nullptr);
  }
  return *this;
}

void TFDStatement::finalize() {
  if (FStmt) sqlite3_finalize(FStmt);
  FStmt = nullptr;
}

TFDStatement TFDStatement::PrepareOne(sqlite3* Db, const String& Sql, IFDStatementOwner* Owner) {
  const QByteArray Text = Sql.toUtf8();
  sqlite3_stmt* Stmt = nullptr;
  const char* Tail = nullptr;
  if (sqlite3_prepare_v2(Db, Text.constData(), int(Text.size()), &Stmt, &Tail) != SQLITE_OK)
    FDRaiseSQLiteError(Db, Owner);
  TFDStatement Result(Db, Stmt, Owner);
  if (!Stmt) FDException(FDConsts::SEmptyCommand);
  if (!isBlankTail(Tail)) FDException(FDConsts::SOneStatement);
  return Result;
}

int TFDStatement::ParamCount() const { return sqlite3_bind_parameter_count(FStmt); }

String TFDStatement::ParamName(int Index) const {
  return String::fromUtf8(sqlite3_bind_parameter_name(FStmt, Index));
}

void TFDStatement::Bind(int Index, const TFDValueRef& Value) {
  int Result = SQLITE_OK;
  switch (Value.Kind) {
    case TFDValueKind::Null: Result = sqlite3_bind_null(FStmt, Index); break;
    case TFDValueKind::Integer: Result = sqlite3_bind_int64(FStmt, Index, Value.Int); break;
    case TFDValueKind::Real: Result = sqlite3_bind_double(FStmt, Index, Value.Real); break;
    case TFDValueKind::Text:
      Result = sqlite3_bind_text64(FStmt, Index, Value.Data, Value.Size, SQLITE_TRANSIENT, SQLITE_UTF8);
      break;
    case TFDValueKind::Blob:
      // A zero-length blob needs a non-null pointer to stay a blob.
      Result = sqlite3_bind_blob64(FStmt, Index, Value.Data ? Value.Data : "", Value.Size, SQLITE_TRANSIENT);
      break;
  }
  if (Result != SQLITE_OK) FDRaiseSQLiteError(FDb);
}

void TFDStatement::Bind(int Index, const Variant& Value) {
  QByteArray Scratch;
  Bind(Index, FDVariantToValue(Value, Scratch));
}

bool TFDStatement::Step() {
  switch (sqlite3_step(FStmt)) {
    case SQLITE_ROW: return true;
    case SQLITE_DONE:
      if (FOwner) FOwner->StatementEnded(nullptr);
      return false;
    default: {
      // The statement ends here: reset it so it holds no lock, keeping the
      // error for the report.
      const EFDDBEngineException Error = lastError(FDb);
      sqlite3_reset(FStmt);
      if (FOwner) FOwner->StatementEnded(&Error);
      throw Error;
    }
  }
}

int TFDStatement::Run() {
  // sqlite3_changes keeps the count of the last data change, so a
  // statement that changed nothing is told apart by the running total.
  const sqlite3_int64 Before = sqlite3_total_changes64(FDb);
  while (Step()) {
  }
  return sqlite3_total_changes64(FDb) == Before ? 0 : sqlite3_changes(FDb);
}

int TFDStatement::ColumnCount() const { return sqlite3_column_count(FStmt); }

TFDValueRef TFDStatement::Column(int Index) const {
  switch (sqlite3_column_type(FStmt, Index)) {
    case SQLITE_INTEGER: return TFDValueRef::Integer(sqlite3_column_int64(FStmt, Index));
    case SQLITE_FLOAT: return TFDValueRef::Float(sqlite3_column_double(FStmt, Index));
    case SQLITE_TEXT: {
      const auto* Text = reinterpret_cast<const char*>(sqlite3_column_text(FStmt, Index));
      return TFDValueRef::Text(Text, std::size_t(sqlite3_column_bytes(FStmt, Index)));
    }
    case SQLITE_BLOB: {
      const auto* Bytes = static_cast<const char*>(sqlite3_column_blob(FStmt, Index));
      return TFDValueRef::Blob(Bytes, std::size_t(sqlite3_column_bytes(FStmt, Index)));
    }
    default: return TFDValueRef();
  }
}

// ---------------------------------------------------------------------------
// statement texts

String FDFirstKeyword(const String& Sql) {
  sqlScanner Scanner(Sql);
  Scanner.SkipBlanksAndComments();
  return UpperCase(Scanner.ReadName());
}

bool FDIsTransactionStatement(const String& Sql) {
  static const char* const Keywords[] = {"BEGIN", "END", "COMMIT", "ROLLBACK", "SAVEPOINT", "RELEASE"};
  const String First = FDFirstKeyword(Sql);
  for (const char* Keyword : Keywords)
    if (First == QLatin1String(Keyword)) return true;
  return false;
}

std::vector<String> FDParamNames(const String& Sql) {
  std::vector<String> Names;
  sqlScanner Scanner(Sql);
  while (!Scanner.AtEnd()) {
    if (Scanner.SkipBlanksAndComments() || Scanner.SkipQuoted()) continue;
    const bool Marker = Scanner.Current() == u':' && sqlScanner::IsNameChar(Scanner.Peek()) &&
                        !Scanner.Peek().isDigit();
    Scanner.Advance();
    if (!Marker) continue;
    const String Name = Scanner.ReadName();
    bool Known = false;
    for (const String& Seen : Names) Known = Known || SameText(Seen, Name);
    if (!Known) Names.push_back(Name);
  }
  return Names;
}

String FDQuoteName(const String& Name) {
  String Quoted = Name;
  Quoted.replace(u'"', QStringLiteral("\"\""));
  return u'"' + Quoted + u'"';
}
