#include "platform/fd/fdconnection.h"

#include "platform/fd/fdconsts.h"
#include "platform/fd/fdguix.h"
#include "platform/rtl/strutils.h"

#include <sqlite3.h>

#include <algorithm>

namespace {

const char* const lockingModes[][2] = {{"Normal", "NORMAL"}, {"Exclusive", "EXCLUSIVE"}};

int busyTimeoutOf(const TFDConnectionDefParams& Params) {
  const String Text = Params.Values(QStringLiteral("BusyTimeout"));
  if (Text.isEmpty()) return 0;
  bool Ok = false;
  const int Value = Text.toInt(&Ok);
  if (!Ok || Value < 0) FDExceptionFmt(FDConsts::SInvalidParamValue, {Text, QStringLiteral("BusyTimeout")});
  return Value;
}

// The pragma value for the LockingMode parameter; "" when it is not set.
String lockingModeOf(const TFDConnectionDefParams& Params) {
  const String Text = Params.Values(QStringLiteral("LockingMode"));
  if (Text.isEmpty()) return String();
  for (const auto& [Name, Pragma] : lockingModes)
    if (SameText(Text, QLatin1String(Name))) return QLatin1String(Pragma);
  FDExceptionFmt(FDConsts::SInvalidParamValue, {Text, QStringLiteral("LockingMode")});
}

}  // namespace

String FDRDBMSKindName(TFDRDBMSKind Kind) {
  switch (Kind) {
    case mkOracle: return QStringLiteral("Oracle");
    case mkMSSQL: return QStringLiteral("MSSQL");
    case mkMSAccess: return QStringLiteral("MSAccess");
    case mkMySQL: return QStringLiteral("MySQL");
    case mkDB2: return QStringLiteral("DB2");
    case mkSybase: return QStringLiteral("Sybase");
    case mkInformix: return QStringLiteral("Informix");
    case mkInterbase: return QStringLiteral("Intrbase");
    case mkSQLite: return QStringLiteral("SQLite");
    default: return QStringLiteral("Unknown");
  }
}

const TFDTableInfo::TColumn* TFDTableInfo::Find(const String& Name) const {
  for (const TColumn& Column : Columns)
    if (SameText(Column.Name, Name)) return &Column;
  return nullptr;
}

// ---------------------------------------------------------------------------
// construction

TFDCustomConnection::TFDCustomConnection(TComponent* AOwner)
    : TComponent(AOwner),
      FParams(std::make_unique<TFDConnectionDefParams>()),
      FTxOptions(std::make_unique<TFDTxOptions>()),
      FUpdateOptions(std::make_unique<TFDUpdateOptions>()) {
  FParams->OnChanging = TNotifyEvent(this, &TFDCustomConnection::paramsChanging);
}

TFDCustomConnection::~TFDCustomConnection() {
  Destroying();
  closeQuietly();
}

void TFDCustomConnection::BeforeDestruction() {
  Destroying();
  closeQuietly();
  TComponent::BeforeDestruction();
}

void TFDCustomConnection::closeQuietly() {
  try {
    Close();
  } catch (...) {
    HandleException(std::current_exception());
    // The engine rolls back what could not be ended.
    FLevels.clear();
    DoDisconnect();
  }
}

void TFDCustomConnection::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Connected", &TFDCustomConnection::Connected, &TFDCustomConnection::SetConnected).Default(false);
  Props.Add("LoginPrompt", &TFDCustomConnection::LoginPrompt, &TFDCustomConnection::SetLoginPrompt).Default(true);
  Props.Add<TFDCustomConnection>(
      "Params", [](TFDCustomConnection* C) -> TStrings* { return C->Params(); }, &TFDCustomConnection::SetParams);
  Props.Add("TxOptions", &TFDCustomConnection::TxOptions, &TFDCustomConnection::SetTxOptions);
  Props.Add("UpdateOptions", &TFDCustomConnection::UpdateOptions, &TFDCustomConnection::SetUpdateOptions);
}

void TFDCustomConnection::SetParams(TStrings* Value) { FParams->Assign(Value); }

void TFDCustomConnection::paramsChanging(TObject*) {
  if (Connected()) FDException(FDConsts::SActiveConnectionParams);
}

TFDRDBMSKind TFDCustomConnection::RDBMSKind() { return mkSQLite; }

// ---------------------------------------------------------------------------
// connecting

void TFDCustomConnection::SetConnected(bool Value) {
  if (Value == Connected()) return;
  if (Value) {
    TFDWaitScope Wait;
    DoConnect();
    return;
  }
  endLevels();
  // By index from the end: closing may make a dataset leave the list.
  for (std::size_t I = FClients.size(); I-- > 0;)
    if (I < FClients.size()) FClients[I].Client->ConnectionClosing();
  DoDisconnect();
}

void TFDCustomConnection::CheckConnected() {
  if (!Connected()) Open();
}

void TFDCustomConnection::DoConnect() {
  const String Driver = FParams->DriverID();
  if (!SameText(Driver, QStringLiteral("SQLite"))) FDExceptionFmt(FDConsts::SDriverNotSupported, {Driver});
  const int BusyTimeout = busyTimeoutOf(*FParams);
  const String LockingMode = lockingModeOf(*FParams);

  // Without SQLITE_OPEN_CREATE: a wrong path must fail, not give an empty
  // database.
  sqlite3* Db = nullptr;
  const int Result = sqlite3_open_v2(FParams->Database().toUtf8().constData(), &Db, SQLITE_OPEN_READWRITE, nullptr);
  if (Result != SQLITE_OK) {
    const String Message = String::fromUtf8(Db ? sqlite3_errmsg(Db) : sqlite3_errstr(Result));
    const int Code = Db ? sqlite3_extended_errcode(Db) : Result;
    sqlite3_close_v2(Db);
    throw EFDDBEngineException(Message, Code);
  }
  sqlite3_extended_result_codes(Db, 1);
  // User SQL may write "..." strings; on whatever the engine's build says.
  sqlite3_db_config(Db, SQLITE_DBCONFIG_DQS_DML, 1, nullptr);
  sqlite3_db_config(Db, SQLITE_DBCONFIG_DQS_DDL, 1, nullptr);
  sqlite3_busy_timeout(Db, BusyTimeout);
  FHandle = Db;
  try {
    if (!LockingMode.isEmpty()) runControl(QStringLiteral("PRAGMA locking_mode=") + LockingMode);
    // Opening is lazy: reading the schema makes a file that is not a
    // database fail here rather than at the first query.
    runControl(QStringLiteral("PRAGMA schema_version"));
  } catch (...) {
    DoDisconnect();
    throw;
  }
}

void TFDCustomConnection::DoDisconnect() {
  FTableInfo.clear();
  if (!FHandle) return;
  sqlite3_close_v2(FHandle);
  FHandle = nullptr;
}

void TFDCustomConnection::endLevels() {
  switch (FTxOptions->DisconnectAction()) {
    case xdCommit:
      while (!FLevels.empty()) Commit();
      break;
    case xdRollback:
      while (!FLevels.empty()) Rollback();
      break;
    case xdNone:
      // Closing the database rolls back; the datasets close next.
      FLevels.clear();
      break;
  }
}

// ---------------------------------------------------------------------------
// transactions

String TFDCustomConnection::nextSavepointName(const char* Prefix) {
  return QLatin1String(Prefix) + QString::number(++FSavepointCounter);
}

int TFDCustomConnection::TransactionLevel() const {
  return engineEndedLevels() ? 0 : int(FLevels.size());
}

bool TFDCustomConnection::engineEndedLevels() const {
  return !FLevels.empty() && FHandle && sqlite3_get_autocommit(FHandle);
}

bool TFDCustomConnection::dropEndedLevels() {
  if (!engineEndedLevels()) return false;
  for (int Level = int(FLevels.size()); Level > 0; --Level) {
    FLevels.pop_back();
    notifyRolledBack(Level);
  }
  return true;
}

void TFDCustomConnection::checkLevels(const EFDDBEngineException* Error) {
  if (!dropEndedLevels()) return;
  const String Message = QLatin1String(FDConsts::STransactionRolledBack);
  if (!Error) throw EFDDBEngineException(Message, SQLITE_ABORT_ROLLBACK);
  throw EFDDBEngineException(Error->Message + u'\n' + Message, Error->ErrorCode);
}

void TFDCustomConnection::StatementEnded(const EFDDBEngineException* Error) { checkLevels(Error); }

void TFDCustomConnection::notifyRolledBack(int Level) {
  for (std::size_t I = 0; I < FClients.size(); ++I) FClients[I].Client->TxRolledBack(Level);
}

void TFDCustomConnection::StartTransaction() {
  CheckConnected();
  checkLevels();
  if (FLevels.empty()) {
    runControl(QStringLiteral("BEGIN"));
    FLevels.push_back(String());
    return;
  }
  const String Name = nextSavepointName("fd_level_");
  runControl(QStringLiteral("SAVEPOINT ") + Name);
  FLevels.push_back(Name);
}

void TFDCustomConnection::Commit() {
  if (FLevels.empty() || !FHandle) return;
  checkLevels();
  TFDWaitScope Wait;
  const int Level = TransactionLevel();
  // A failed commit (a busy database) keeps the level for a retry.
  if (Level == 1)
    runControl(QStringLiteral("COMMIT"));
  else
    runControl(QStringLiteral("RELEASE SAVEPOINT ") + FLevels.back());
  FLevels.pop_back();
  for (std::size_t I = 0; I < FClients.size(); ++I) FClients[I].Client->TxCommitted(Level);
}

void TFDCustomConnection::Rollback() {
  if (FLevels.empty() || !FHandle) return;
  // What the engine ended itself is rolled back already, every level of it.
  if (dropEndedLevels()) return;
  const int Level = TransactionLevel();
  if (Level == 1) {
    runControl(QStringLiteral("ROLLBACK"));
  } else {
    // ROLLBACK TO leaves the savepoint open: release it too.
    runControl(QStringLiteral("ROLLBACK TO SAVEPOINT ") + FLevels.back());
    runControl(QStringLiteral("RELEASE SAVEPOINT ") + FLevels.back());
  }
  FLevels.pop_back();
  notifyRolledBack(Level);
}

String TFDCustomConnection::BeginApplySavepoint() {
  CheckConnected();
  checkLevels();
  const String Name = nextSavepointName("fd_apply_");
  runControl(QStringLiteral("SAVEPOINT ") + Name);
  return Name;
}

void TFDCustomConnection::EndApplySavepoint(const String& Name, bool Success) {
  // An engine error that ended the transaction took the savepoint with it.
  if (!Success && sqlite3_get_autocommit(FHandle)) {
    dropEndedLevels();
    return;
  }
  if (!Success) runControl(QStringLiteral("ROLLBACK TO SAVEPOINT ") + Name);
  runControl(QStringLiteral("RELEASE SAVEPOINT ") + Name);
}

// ---------------------------------------------------------------------------
// statements

void TFDCustomConnection::Trace(const String& SQL, const std::vector<Variant>& Binds) {
  if (OnTrace) OnTrace(SQL, Binds);
}

TFDStatement TFDCustomConnection::Prepare(const String& SQL) {
  if (FDIsTransactionStatement(SQL)) FDException(FDConsts::STransactionStatement);
  CheckConnected();
  checkLevels();
  return TFDStatement::PrepareOne(FHandle, SQL, this);
}

int TFDCustomConnection::Execute(const String& SQL, const std::vector<Variant>& Binds) {
  TFDStatement Statement = Prepare(SQL);
  for (std::size_t I = 0; I < Binds.size() && int(I) < Statement.ParamCount(); ++I)
    Statement.Bind(int(I) + 1, Binds[I]);
  Trace(SQL, Binds);
  return Statement.Run();
}

void TFDCustomConnection::runControl(const String& SQL) {
  // Ending a level is expected of these statements: only a failure can tell
  // that the engine ended more than was asked.
  try {
    TFDStatement Statement = TFDStatement::PrepareOne(FHandle, SQL);
    Trace(SQL, {});
    Statement.Run();
  } catch (const EFDDBEngineException& Error) {
    checkLevels(&Error);
    throw;
  }
}

int TFDCustomConnection::ExecSQL(const String& SQL, const std::vector<Variant>& Params) {
  TFDWaitScope Wait;
  SchemaChanged();
  return Execute(SQL, Params);
}

void TFDCustomConnection::ExecSQLScript(const String& Script) {
  CheckConnected();
  checkLevels();
  TFDWaitScope Wait;
  SchemaChanged();
  const QByteArray Text = Script.toUtf8();
  const char* Next = Text.constData();
  const char* const End = Next + Text.size();
  while (Next < End) {
    sqlite3_stmt* Stmt = nullptr;
    if (sqlite3_prepare_v2(FHandle, Next, int(End - Next), &Stmt, &Next) != SQLITE_OK)
      FDRaiseSQLiteError(FHandle, this);
    if (!Stmt) continue;  // blanks or comments
    TFDStatement Statement(FHandle, Stmt, this);
    const String SQL = String::fromUtf8(sqlite3_sql(Stmt));
    if (FDIsTransactionStatement(SQL)) FDException(FDConsts::STransactionStatement);
    Trace(SQL, {});
    Statement.Run();
  }
}

const TFDTableInfo& TFDCustomConnection::TableInfo(const String& Schema, const String& Table) {
  const String Key = UpperCase(Schema + u'.' + Table);
  if (const auto Found = FTableInfo.find(Key); Found != FTableInfo.end()) return Found->second;
  const String SQL =
      QStringLiteral("PRAGMA %1.table_info(%2)").arg(FDQuoteName(Schema), FDQuoteName(Table));
  TFDStatement Statement = TFDStatement::PrepareOne(FHandle, SQL, this);
  Trace(SQL, {});
  TFDTableInfo Info;
  // Columns of the pragma: cid, name, type, notnull, dflt_value, pk.
  while (Statement.Step()) {
    TFDTableInfo::TColumn Column;
    Column.Name = FDValueToVariant(Statement.Column(1)).AsString();
    Column.DeclaredType = FDValueToVariant(Statement.Column(2)).AsString();
    Column.NotNull = Statement.Column(3).Int != 0;
    Column.HasDefault = !Statement.Column(4).IsNull();
    Column.KeyPosition = int(Statement.Column(5).Int);
    if (Column.KeyPosition > 0) ++Info.KeyColumnCount;
    Info.Columns.push_back(Column);
  }
  if (Info.KeyColumnCount == 1)
    for (const TFDTableInfo::TColumn& Column : Info.Columns)
      if (Column.KeyPosition == 1 && Column.DeclaredType.compare(u"INTEGER", Qt::CaseInsensitive) == 0)
        Info.RowIdAlias = Column.Name;
  return FTableInfo.emplace(Key, std::move(Info)).first->second;
}

// ---------------------------------------------------------------------------
// datasets

void TFDCustomConnection::AttachClient(TComponent* Component, IFDConnectionClient* Client) {
  DetachClient(Component);
  FClients.push_back(TClient{Component, Client});
  Component->FreeNotification(this);
}

void TFDCustomConnection::DetachClient(TComponent* Component) {
  const auto Found = std::find_if(FClients.begin(), FClients.end(),
                                  [Component](const TClient& C) { return C.Component == Component; });
  if (Found == FClients.end()) return;
  FClients.erase(Found);
  Component->RemoveFreeNotification(this);
}

void TFDCustomConnection::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  const auto Found = std::find_if(FClients.begin(), FClients.end(),
                                  [AComponent](const TClient& C) { return C.Component == AComponent; });
  if (Found != FClients.end()) FClients.erase(Found);
}
