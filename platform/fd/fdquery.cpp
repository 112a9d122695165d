#include "platform/fd/fdquery.h"

#include "platform/db/dbconsts.h"
#include "platform/db/fielddefs.h"
#include "platform/db/fields.h"
#include "platform/fd/fdconsts.h"
#include "platform/fd/fdguix.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"

#include <QStringList>
#include <sqlite3.h>

#include <algorithm>

namespace {

// The field type for a declared column type, in the order SQLite decides a
// column's affinity (INT before CHAR before BLOB before REAL).  ftUnknown:
// no rule applies (expressions, unusual types); the values decide.
TFieldType typeOfDeclared(const String& Declared, int& Size) {
  const String Type = UpperCase(Declared);
  Size = 0;
  if (Type.isEmpty()) return ftUnknown;
  if (Type.contains(u"INT")) return Type.contains(u"BIGINT") || Type.contains(u"INT8") ? ftLargeint : ftInteger;
  if (Type.contains(u"CHAR")) {
    const qsizetype Open = Type.indexOf(u'(');
    const qsizetype Close = Type.indexOf(u')', Open + 1);
    bool Ok = false;
    if (Open >= 0 && Close > Open) Size = Type.mid(Open + 1, Close - Open - 1).trimmed().toInt(&Ok);
    if (Ok && Size > 0) return ftString;
    Size = 0;
    return ftMemo;
  }
  if (Type.contains(u"CLOB") || Type.contains(u"TEXT")) return ftMemo;
  if (Type.contains(u"BLOB")) return ftBlob;
  for (const char16_t* Real : {u"REAL", u"FLOA", u"DOUB", u"NUMERIC", u"DECIMAL"})
    if (Type.contains(Real)) return ftFloat;
  return ftUnknown;
}

TFieldType typeOfValue(TFDValueKind Kind) {
  switch (Kind) {
    case TFDValueKind::Integer: return ftLargeint;
    case TFDValueKind::Real: return ftFloat;
    case TFDValueKind::Blob: return ftBlob;
    default: return ftMemo;
  }
}

String utf8(const char* Text) { return Text ? String::fromUtf8(Text) : String(); }

// Name, or Name_1, Name_2 ... when a column before it has the name (fields
// are found ignoring case).
String uniqueName(const String& Name, const std::vector<String>& Taken) {
  auto isTaken = [&Taken](const String& Candidate) {
    return std::any_of(Taken.begin(), Taken.end(), [&](const String& T) { return SameText(T, Candidate); });
  };
  if (!isTaken(Name)) return Name;
  for (int Suffix = 1;; ++Suffix)
    if (const String Candidate = Name + u'_' + QString::number(Suffix); !isTaken(Candidate)) return Candidate;
}

}  // namespace

// ---------------------------------------------------------------------------
// TFDAdaptedDataSet

TFDAdaptedDataSet::TFDAdaptedDataSet(TComponent* AOwner)
    : TFDDataSet(AOwner),
      FParams(std::make_unique<TFDParams>()),
      FResourceOptions(std::make_unique<TFDResourceOptions>()) {}

void TFDAdaptedDataSet::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Connection", &TFDAdaptedDataSet::Connection, &TFDAdaptedDataSet::SetConnection);
  Props.Add("ResourceOptions", &TFDAdaptedDataSet::ResourceOptions, &TFDAdaptedDataSet::SetResourceOptions);
}

void TFDAdaptedDataSet::SetConnection(TFDCustomConnection* Value) {
  if (Value == FConnection) return;
  if (FConnection) {
    FConnection->DetachClient(this);
    FConnection->RemoveFreeNotification(this);
  }
  FConnection = Value;
  UpdateOptions()->SetParent(Value ? Value->UpdateOptions() : nullptr);
  if (Value) {
    Value->AttachClient(this, this);
    Value->FreeNotification(this);
  }
}

void TFDAdaptedDataSet::Notification(TComponent* AComponent, TOperation Operation) {
  TFDDataSet::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FConnection) {
    FConnection = nullptr;
    UpdateOptions()->SetParent(nullptr);
  }
}

void TFDAdaptedDataSet::SetResourceOptions(TFDResourceOptions* Value) {
  FResourceOptions->Assign(Value);
  CommandChanged();
}

String TFDAdaptedDataSet::CommandText() { return String(); }

void TFDAdaptedDataSet::CommandChanged() {
  if (Active()) Close();
  if (FResourceOptions->ParamCreate())
    FParams->Update(FDParamNames(CommandText()));
  else
    FParams->Clear();
}

TFDCustomConnection* TFDAdaptedDataSet::checkConnection() {
  if (!FConnection) FDExceptionFmt(FDConsts::SConnectionMissing, {Name()});
  return FConnection;
}

TFDStatement TFDAdaptedDataSet::prepareCommand(std::vector<Variant>& Binds) {
  TFDStatement Statement = checkConnection()->Prepare(CommandText());
  for (int I = 1; I <= Statement.ParamCount(); ++I) {
    // Markers keep their prefix character (":name").
    const String Name = Statement.ParamName(I).mid(1);
    const TFDParam* Param = Name.isEmpty() ? nullptr : FParams->FindParam(Name);
    if (!Param) {
      // Not made into a parameter (ParamCreate off): the engine binds NULL.
      Binds.push_back(Null());
      continue;
    }
    if (!Param->Assigned()) FDExceptionFmt(FDConsts::SParamNoValue, {Param->Name()});
    Statement.Bind(I, Param->Value());
    Binds.push_back(Param->Value());
  }
  return Statement;
}

void TFDAdaptedDataSet::runQuery(std::vector<TFDRow>& Rows, bool Describe) {
  TFDWaitScope Wait;
  std::vector<Variant> Binds;
  TFDStatement Statement = prepareCommand(Binds);
  const int Count = Statement.ColumnCount();
  // Checked before any step: a statement without result columns (an UPDATE
  // left in the text) must never run through Open.
  if (Count == 0) FDException(FDConsts::SNoResultSet);
  FConnection->Trace(CommandText(), Binds);
  std::vector<TFDValueKind> FirstKinds(Count, TFDValueKind::Null);
  TFDRowBuilder Builder;
  while (Statement.Step()) {
    for (int I = 0; I < Count; ++I) {
      const TFDValueRef Value = Statement.Column(I);
      if (FirstKinds[I] == TFDValueKind::Null) FirstKinds[I] = Value.Kind;
      Builder.Add(Value);
    }
    Rows.push_back(Builder.Finish());
  }
  if (Describe) describeColumns(Statement, FirstKinds);
}

void TFDAdaptedDataSet::describeColumns(const TFDStatement& Statement, const std::vector<TFDValueKind>& FirstKinds) {
  sqlite3_stmt* Stmt = Statement.Handle();
  FColumns.clear();
  FieldDefs()->Clear();
  std::vector<String> Names;
  for (int I = 0; I < Statement.ColumnCount(); ++I) {
    TColumnInfo Info;
    Info.Schema = utf8(sqlite3_column_database_name(Stmt, I));
    Info.Table = utf8(sqlite3_column_table_name(Stmt, I));
    Info.Origin = utf8(sqlite3_column_origin_name(Stmt, I));
    if (!Info.Table.isEmpty()) {
      const TFDTableInfo& Table = FConnection->TableInfo(Info.Schema, Info.Table);
      if (const TFDTableInfo::TColumn* Column = Table.Find(Info.Origin)) {
        Info.RowId = SameText(Table.RowIdAlias, Column->Name);
        Info.InKey = Column->KeyPosition > 0;
        Info.Required = Column->NotNull && !Column->HasDefault && !Info.RowId;
      }
    }
    int Size = 0;
    TFieldType Type = Info.RowId ? ftAutoInc : typeOfDeclared(utf8(sqlite3_column_decltype(Stmt, I)), Size);
    if (Type == ftUnknown) Type = typeOfValue(FirstKinds[I]);
    Names.push_back(uniqueName(utf8(sqlite3_column_name(Stmt, I)), Names));
    FieldDefs()->Add(Names.back(), Type, Size, Info.Required);
    FColumns.push_back(Info);
  }

  // The update table, and which columns belong to it.
  FUpdateTable = UpdateOptions()->UpdateTableName();
  FUpdateSchema = QStringLiteral("main");
  if (FUpdateTable.isEmpty()) {
    for (const TColumnInfo& Info : FColumns) {
      if (Info.Table.isEmpty()) continue;
      FUpdateTable = Info.Table;
      FUpdateSchema = Info.Schema;
      break;
    }
  }
  for (TColumnInfo& Info : FColumns)
    Info.Updatable = !FUpdateTable.isEmpty() && SameText(Info.Table, FUpdateTable) && SameText(Info.Schema, FUpdateSchema);
  for (int I = 0; I < FieldDefs()->Count(); ++I) {
    const TColumnInfo& Info = FColumns[I];
    if (!Info.Updatable || Info.RowId) FieldDefs()->Items(I)->SetAttributes(FieldDefs()->Items(I)->Attributes() + TFieldAttributes{faReadonly});
  }
}

void TFDAdaptedDataSet::applyColumnInfo() {
  for (int I = 0; I < Fields()->Count(); ++I) {
    TField* Field = Fields()->Fields(I);
    const int Column = ColumnOf(Field);
    if (Column < 0 || Column >= int(FColumns.size())) continue;
    const TColumnInfo& Info = FColumns[Column];
    Field->SetOrigin(Info.Origin);
    if (Info.InKey && Info.Updatable) Field->SetProviderFlags(Field->ProviderFlags() + TProviderFlags{pfInKey});
    if (Info.RowId) {
      // Keys never change identity by user edits; the database assigns them.
      Field->SetReadOnly(true);
      Field->SetAutoGenerateValue(arAutoInc);
    }
    if (!Info.Updatable) Field->SetReadOnly(true);
  }
  // The key: UpdateOptions.KeyFields, else the fields flagged pfInKey.
  FKeyColumns.clear();
  if (FUpdateTable.isEmpty()) return;
  std::vector<TField*> KeyFields;
  if (const String Names = UpdateOptions()->KeyFields(); !Names.isEmpty()) {
    GetFieldList(KeyFields, Names);
  } else {
    for (int I = 0; I < Fields()->Count(); ++I)
      if (TField* Field = Fields()->Fields(I); Field->ProviderFlags().Contains(pfInKey)) KeyFields.push_back(Field);
  }
  for (TField* Field : KeyFields) {
    const int Column = ColumnOf(Field);
    if (Column >= 0 && Column < int(FColumns.size()) && FColumns[Column].Updatable) FKeyColumns.push_back(Column);
  }
}

void TFDAdaptedDataSet::InternalOpen() {
  std::vector<TFDRow> Rows;
  runQuery(Rows, /*Describe=*/true);
  LoadRows(std::move(Rows));
  TFDDataSet::InternalOpen();
  applyColumnInfo();
}

void TFDAdaptedDataSet::InternalInitFieldDefs() {
  std::vector<TFDRow> Rows;
  runQuery(Rows, /*Describe=*/true);
}

bool TFDAdaptedDataSet::FetchRows(std::vector<TFDRow>& Rows) {
  runQuery(Rows, /*Describe=*/false);
  return true;
}

std::vector<int> TFDAdaptedDataSet::KeyColumns() { return FKeyColumns; }

bool TFDAdaptedDataSet::GetCanModify() { return TFDDataSet::GetCanModify() && !FUpdateTable.isEmpty(); }

int TFDAdaptedDataSet::ApplyLevel() { return FConnection ? FConnection->TransactionLevel() : 0; }

void TFDAdaptedDataSet::ExecSQL() {
  if (Active()) Close();
  TFDWaitScope Wait;
  std::vector<Variant> Binds;
  TFDStatement Statement = prepareCommand(Binds);
  FConnection->Trace(CommandText(), Binds);
  FRowsAffected = Statement.Run();
  FConnection->SchemaChanged();
}

// ---------------------------------------------------------------------------
// writing changes

String TFDAdaptedDataSet::updateTableSQL() const {
  const String Table = FDQuoteName(FUpdateTable);
  return SameText(FUpdateSchema, QStringLiteral("main")) ? Table : FDQuoteName(FUpdateSchema) + u'.' + Table;
}

std::vector<int> TFDAdaptedDataSet::updateColumns() const {
  std::vector<int> Columns;
  for (int I = 0; I < int(FColumns.size()); ++I)
    if (FColumns[I].Updatable) Columns.push_back(I);
  return Columns;
}

void TFDAdaptedDataSet::ApplyItems(std::span<TFDApplyItem> Items) {
  if (FUpdateTable.isEmpty()) DatabaseError(DBConsts::SDataSetReadOnly, this);
  TFDCustomConnection* Connection = checkConnection();
  TFDWaitScope Wait;
  const String Savepoint = Connection->BeginApplySavepoint();
  try {
    for (TFDApplyItem& Item : Items) applyItem(Item);
    Connection->EndApplySavepoint(Savepoint, /*Success=*/true);
  } catch (...) {
    for (TFDApplyItem& Item : Items) Item.ReadBack = TFDRow();
    try {
      Connection->EndApplySavepoint(Savepoint, /*Success=*/false);
    } catch (const EDatabaseError&) {
      // The apply's own error is the one to report; the engine ends the
      // savepoint with the transaction at the latest.
      HandleException(std::current_exception());
    }
    throw;
  }
}

String TFDAdaptedDataSet::whereClause(const TFDRow& Old, const std::vector<int>& Changed,
                                      std::vector<Variant>& Binds) const {
  std::vector<int> Columns = FKeyColumns;
  bool ByRowId = Columns.empty();
  switch (UpdateOptions()->UpdateMode()) {
    case upWhereKeyOnly:
      break;
    case upWhereChanged:
      for (const int Column : Changed)
        if (std::find(Columns.begin(), Columns.end(), Column) == Columns.end()) Columns.push_back(Column);
      break;
    case upWhereAll:
      Columns = updateColumns();
      break;
  }
  if (ByRowId) Columns = updateColumns();
  QStringList Terms;
  for (const int Column : Columns) {
    Terms.push_back(FDQuoteName(FColumns[Column].Origin) + QStringLiteral(" IS ?"));
    Binds.push_back(FDValueToVariant(Old.Value(Column)));
  }
  const String Condition = Terms.join(QStringLiteral(" AND "));
  if (!ByRowId) return QStringLiteral(" WHERE ") + Condition;
  // No key: one row with these values, whichever of equal rows comes first.
  return QStringLiteral(" WHERE rowid = (SELECT rowid FROM %1 WHERE %2 LIMIT 1)").arg(updateTableSQL(), Condition);
}

void TFDAdaptedDataSet::checkOneRow(int Changed) const {
  if (Changed != 1)
    throw EFDDBEngineException(Format(FDConsts::SUpdateRowCount, {FUpdateTable, Changed}), 0);
}

void TFDAdaptedDataSet::applyItem(TFDApplyItem& Item) {
  std::vector<Variant> Binds;
  switch (Item.Kind) {
    case TFDChangeKind::Insert: {
      QStringList Names;
      QStringList Markers;
      for (const int Column : updateColumns()) {
        const TFDValueRef Value = Item.New->Value(Column);
        // Null columns are left to the table's defaults and the rowid.
        if (Value.IsNull()) continue;
        Names.push_back(FDQuoteName(FColumns[Column].Origin));
        Markers.push_back(QStringLiteral("?"));
        Binds.push_back(FDValueToVariant(Value));
      }
      const String SQL = Names.isEmpty()
                             ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(updateTableSQL())
                             : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                   .arg(updateTableSQL(), Names.join(QStringLiteral(", ")),
                                        Markers.join(QStringLiteral(", ")));
      FConnection->Execute(SQL, Binds);
      readBack(Item);
      break;
    }
    case TFDChangeKind::Modify: {
      std::vector<int> Changed;
      for (const int Column : updateColumns())
        if (!FDIdenticalValues(Item.Old->Value(Column), Item.New->Value(Column))) Changed.push_back(Column);
      if (Changed.empty()) return;
      QStringList Sets;
      for (const int Column : Changed) {
        Sets.push_back(FDQuoteName(FColumns[Column].Origin) + QStringLiteral(" = ?"));
        Binds.push_back(FDValueToVariant(Item.New->Value(Column)));
      }
      const String SQL = QStringLiteral("UPDATE %1 SET %2").arg(updateTableSQL(), Sets.join(QStringLiteral(", "))) +
                         whereClause(*Item.Old, Changed, Binds);
      checkOneRow(FConnection->Execute(SQL, Binds));
      break;
    }
    case TFDChangeKind::Delete: {
      const String SQL = QStringLiteral("DELETE FROM %1").arg(updateTableSQL()) + whereClause(*Item.Old, {}, Binds);
      checkOneRow(FConnection->Execute(SQL, Binds));
      break;
    }
  }
}

void TFDAdaptedDataSet::readBack(TFDApplyItem& Item) {
  const std::vector<int> Columns = updateColumns();
  QStringList Names;
  for (const int Column : Columns) Names.push_back(FDQuoteName(FColumns[Column].Origin));
  const String SQL =
      QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(Names.join(QStringLiteral(", ")), updateTableSQL());
  const std::vector<Variant> Binds{Variant(Int64(sqlite3_last_insert_rowid(FConnection->SQLiteHandle())))};
  TFDStatement Statement = TFDStatement::PrepareOne(FConnection->SQLiteHandle(), SQL);
  Statement.Bind(1, Binds.front());
  FConnection->Trace(SQL, Binds);
  if (!Statement.Step()) return;
  // The stored values of the table's columns; the other columns as posted.
  TFDRowBuilder Builder;
  std::size_t Next = 0;
  for (int Column = 0; Column < int(FColumns.size()); ++Column) {
    if (Next < Columns.size() && Columns[Next] == Column)
      Builder.Add(Statement.Column(int(Next++)));
    else
      Builder.Add(Item.New->Value(Column));
  }
  Item.ReadBack = Builder.Finish();
}

// ---------------------------------------------------------------------------
// TFDQuery

TFDQuery::TFDQuery(TComponent* AOwner) : TFDAdaptedDataSet(AOwner), FSQL(std::make_unique<TStringList>()) {
  FSQL->OnChange = TNotifyEvent(this, &TFDQuery::sqlChanged);
}

void TFDQuery::DescribeProperties(TPropertyTable& Props) {
  Props.Add("SQL", &TFDQuery::SQL, &TFDQuery::SetSQL);
}

TStrings* TFDQuery::SQL() const { return FSQL.get(); }

void TFDQuery::SetSQL(TStrings* Value) { FSQL->Assign(Value); }

String TFDQuery::CommandText() { return FSQL->Text(); }

void TFDQuery::sqlChanged(TObject*) { CommandChanged(); }

// ---------------------------------------------------------------------------
// TFDTable, TFDStoredProc, TFDMemTable

void TFDTable::DescribeProperties(TPropertyTable& Props) {
  Props.Add("TableName", &TFDTable::TableName, &TFDTable::SetTableName);
}

void TFDTable::SetTableName(const String& Value) {
  if (Value == FTableName) return;
  FTableName = Value;
  CommandChanged();
}

String TFDTable::CommandText() {
  return FTableName.isEmpty() ? String() : QStringLiteral("SELECT * FROM ") + FDQuoteName(FTableName);
}

void TFDStoredProc::DescribeProperties(TPropertyTable& Props) {
  Props.Add("StoredProcName", &TFDStoredProc::StoredProcName, &TFDStoredProc::SetStoredProcName);
}

void TFDStoredProc::ExecProc() { FDException(FDConsts::SStoredProcNotSupported); }

void TFDStoredProc::InternalOpen() { FDException(FDConsts::SStoredProcNotSupported); }

void TFDMemTable::InternalOpen() {
  LoadRows({});
  TFDDataSet::InternalOpen();
}

void TFDMemTable::InternalInitFieldDefs() { TFDDataSet::InternalInitFieldDefs(); }
bool TFDMemTable::GetCanModify() { return TFDDataSet::GetCanModify(); }
void TFDMemTable::ApplyItems(std::span<TFDApplyItem> Items) { TFDDataSet::ApplyItems(Items); }
int TFDMemTable::ApplyLevel() { return TFDDataSet::ApplyLevel(); }
bool TFDMemTable::FetchRows(std::vector<TFDRow>& Rows) { return TFDDataSet::FetchRows(Rows); }
