#include "gridlib/memtable/serverspecoperations.h"

#include "gridlib/base/valuetext.h"
#include "gridlib/memtable/memoryrecord.h"
#include "gridlib/memtable/sqldatadriver.h"
#include "platform/db/dataset.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fields.h"
#include "platform/db/params.h"
#include "platform/rtl/format.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"

#include <QStringList>

#include <cassert>
#include <memory>

namespace {

// A column list line is emitted once it grows past this many characters.
constexpr qsizetype MaxColumnListLineLength = 70;

struct TServerSpecOperationsUnitState {
  std::vector<TServerSpecOperationsClassEh> Classes;
  std::unique_ptr<TServerSpecOperationsEh> DefaultOperations;
};

TServerSpecOperationsUnitState* GUnitState = nullptr;

bool isPlainIdentifier(const String& Name) {
  if (Name.isEmpty() || !(Name[0].isLetter() || Name[0] == u'_')) return false;
  for (Char C : Name)
    if (!(C.isLetterOrNumber() || C == u'_')) return false;
  return true;
}

// A table, column, sequence or generator name as the statement spells it:
// plain identifiers (dotted ones too, "schema.table") as they are, anything
// else double-quoted with inner quotes doubled.
String sqlName(const String& Name) {
  bool Plain = true;
  for (const String& Part : Name.split(u'.')) Plain = Plain && isPlainIdentifier(Part);
  if (Plain) return Name;
  return u'"' + String(Name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

// The parameter marker for field Name; a name the marker syntax cannot
// carry is refused rather than written into the statement.
String paramName(const String& Name) {
  if (!isPlainIdentifier(Name))
    DatabaseError(Format(QStringLiteral("Field name \"%s\" cannot be a parameter of a generated SQL statement"),
                         {Name}));
  return Name;
}

class TColumnListWriter {
public:
  TColumnListWriter(TStrings* SQL, TCustomSQLDataDriverEh* Driver, TUpdateStatus Status, bool AsParams)
      : FSQL(SQL), FDriver(Driver), FStatus(Status), FAsParams(AsParams) {}

  // Adds the names of Names, skipping those in Skip (when given) and those
  // the driver leaves out of its dynamic SQL.
  void AddNames(const TStrings& Names, const TStrings* Skip) {
    for (Integer I = 0; I < Names.Count(); ++I) {
      const String Name = Names.Strings(I);
      if (Skip && Skip->IndexOf(Name) >= 0) continue;
      if (!FDriver->IsDynaSQLField(FStatus, Name)) continue;
      FLine += FSeparator + (FAsParams ? u':' + paramName(Name) : sqlName(Name));
      FSeparator = QStringLiteral(", ");
      if (FLine.length() > MaxColumnListLineLength && I != Names.Count() - 1) {
        FSQL->Add(FLine);
        FLine = QStringLiteral("   ");
      }
    }
  }
  void Finish() { FSQL->Add(FLine + u')'); }

private:
  TStrings* FSQL;
  TCustomSQLDataDriverEh* FDriver;
  TUpdateStatus FStatus;
  bool FAsParams;
  String FLine = QStringLiteral("  (");
  String FSeparator;
};

void addColumnList(TStrings* SQL, TCustomSQLDataDriverEh* Driver, TUpdateStatus Status, const TStrings& Keys,
                   const TStrings& UpdateFields, bool AsParams) {
  TColumnListWriter Writer(SQL, Driver, Status, AsParams);
  Writer.AddNames(Keys, &UpdateFields);
  Writer.AddNames(UpdateFields, nullptr);
  Writer.Finish();
}

bool isInserted(TMemoryRecordEh* MemRec) { return MemRec->UpdateStatus() == usInserted; }

}  // namespace

// ---------------------------------------------------------------------------
// TServerSpecOperationsEh

void TServerSpecOperationsEh::GenerateWhereClause(const String& KeyFields, TStrings* SQL) {
  TStringList Keys;
  Keys.SetCommaText(KeyFields);
  if (Keys.Count() == 0) return;
  SQL->Add(QStringLiteral("where"));
  for (Integer I = 0; I < Keys.Count(); ++I) {
    String Line = Format(QStringLiteral(" %s = :OLD_%s"), {sqlName(Keys.Strings(I)), paramName(Keys.Strings(I))});
    if (I < Keys.Count() - 1) Line += QStringLiteral(" and");
    SQL->Add(Line);
  }
}

void TServerSpecOperationsEh::GetChangedFields(TMemoryRecordEh* MemRec, TStrings* Fields, TStrings* ChangedFields) {
  ChangedFields->Clear();
  TMTDataStructEh* Struct = MemRec->DataStruct();
  for (Integer I = 0; I < Fields->Count(); ++I) {
    const String Name = Fields->Strings(I);
    TMTDataFieldEh* Field = Struct->FindField(Name);
    if (!Field)
      throw Exception(Format(QStringLiteral("Invalid field name \"%s\" in field list \"%s\""),
                             {Name, Fields->CommaText()}));
    const Integer Index = Field->Index();
    if (!VariantsEqualEh(MemRec->GetDataValue(Index, dvvOldValueEh), MemRec->GetDataValue(Index, dvvValueEh)))
      ChangedFields->Add(Name);
  }
}

Integer TServerSpecOperationsEh::UpdateRecord(TCustomSQLDataDriverEh* SQLDataDriver, TMemTableDataEh* MemTableData,
                                              TMemoryRecordEh* MemRec) {
  return SQLDataDriver->DoUpdateRecord(MemTableData, MemRec);
}

void TServerSpecOperationsEh::GetBackUpdatedValues(TMemoryRecordEh*, TCustomSQLCommandEh*, TDataSet*) {}

void TServerSpecOperationsEh::GenerateDynaSQLCommand(TMemoryRecordEh* MemRec, TCustomSQLCommandEh* Command) {
  TCustomSQLDataDriverEh* Driver = Command->DataDriver();
  assert(Driver && "dynamic SQL needs a command of a driver");
  TDynaSQLParamsEh* Params = Driver->DynaSQLParams();
  Command->SetCommandType(cthUpdateQuery);
  Command->CommandText()->Clear();

  const TUpdateStatus Status = MemRec->UpdateStatus();
  TStringList UpdateFields;
  Params->GetUpdateFields(&UpdateFields, MemRec);
  if (Params->SkipUnchangedFields() && Status == usModified) {
    TStringList Changed;
    GetChangedFields(MemRec, &UpdateFields, &Changed);
    UpdateFields.Assign(&Changed);
  }
  TStringList Keys;
  Keys.SetCommaText(Params->KeyFields());
  const String Table = sqlName(Params->UpdateTable());

  TStringList SQL;
  switch (Status) {
    case usInserted:
      SQL.Add(Format(QStringLiteral("insert into %s"), {Table}));
      addColumnList(&SQL, Driver, Status, Keys, UpdateFields, /*AsParams=*/false);
      SQL.Add(QStringLiteral("values"));
      addColumnList(&SQL, Driver, Status, Keys, UpdateFields, /*AsParams=*/true);
      break;
    case usModified:
      if (UpdateFields.Count() == 0) return;
      SQL.Add(Format(QStringLiteral("update %s"), {Table}));
      SQL.Add(QStringLiteral("set"));
      for (Integer I = 0; I < UpdateFields.Count(); ++I) {
        const String Separator = I < UpdateFields.Count() - 1 ? QStringLiteral(",") : String();
        SQL.Add(Format(QStringLiteral(" %s = :%s%s"),
                       {sqlName(UpdateFields.Strings(I)), paramName(UpdateFields.Strings(I)), Separator}));
      }
      GenerateWhereClause(Params->KeyFields(), &SQL);
      break;
    case usDeleted:
      SQL.Add(Format(QStringLiteral("delete from %s"), {Table}));
      GenerateWhereClause(Params->KeyFields(), &SQL);
      break;
    default: return;
  }
  Command->SetCommandText(&SQL);
}

Variant TServerSpecOperationsEh::FetchServerValue(TCustomSQLDataDriverEh* SQLDataDriver, const String& SQL) {
  TCustomSQLCommandEh* Command = SQLDataDriver->ServiceCommand();
  Command->CommandText()->SetText(SQL);
  Command->SetCommandType(cthSelectQuery);
  // The key statements take no parameters; the command must not carry over
  // those of the record statement it ran before.  The base command has none.
  if (TParams* Params = Command->GetParams()) {
    Params->Clear();
    Command->SetParams(Params);
  }
  TDataSet* Cursor = nullptr;
  bool FreeOnEof = false;
  Command->Execute(Cursor, FreeOnEof);
  const TScopeExit FreeIt([&] {
    if (Cursor && FreeOnEof) Cursor->Free();
  });
  if (!Cursor) DatabaseError(Format(QStringLiteral("No data set returned by \"%s\""), {SQL}), SQLDataDriver);
  if (!Cursor->Active()) Cursor->Open();
  if (Cursor->Fields()->Count() == 0)
    DatabaseError(Format(QStringLiteral("No field returned by \"%s\""), {SQL}), SQLDataDriver);
  return Cursor->Fields()->Fields(0)->Value();
}

String TServerSpecOperationsEh::SpecParam(TCustomSQLDataDriverEh* SQLDataDriver, const char* Name) {
  return SQLDataDriver->SpecParams()->Values(QLatin1String(Name));
}

void TServerSpecOperationsEh::FetchIntoField(TCustomSQLDataDriverEh* SQLDataDriver, TMemoryRecordEh* MemRec,
                                             const String& FieldName, const String& SQL) {
  if (FieldName.isEmpty() || !MemRec->DataStruct()->FindField(FieldName)) return;
  MemRec->SetDataValues(FieldName, dvvValueEh, FetchServerValue(SQLDataDriver, SQL));
}

// ---------------------------------------------------------------------------
// descendants

Integer TOracleSpecOperationsEh::UpdateRecord(TCustomSQLDataDriverEh* SQLDataDriver, TMemTableDataEh* MemTableData,
                                              TMemoryRecordEh* MemRec) {
  const String Sequence = SpecParam(SQLDataDriver, SpecParamSequenceEh);
  if (isInserted(MemRec) && !Sequence.isEmpty()) {
    const Variant Value =
        FetchServerValue(SQLDataDriver, Format(QStringLiteral("SELECT %s.curval FROM dual"), {sqlName(Sequence)}));
    const String Field = SpecParam(SQLDataDriver, SpecParamSequenceFieldEh);
    if (!Field.isEmpty() && MemRec->DataStruct()->FindField(Field)) MemRec->SetDataValues(Field, dvvValueEh, Value);
  }
  return TServerSpecOperationsEh::UpdateRecord(SQLDataDriver, MemTableData, MemRec);
}

void TMSSQLSpecOperationsEh::GetBackUpdatedValues(TMemoryRecordEh* MemRec, TCustomSQLCommandEh* Command,
                                                  TDataSet*) {
  if (!isInserted(MemRec)) return;
  TCustomSQLDataDriverEh* Driver = Command->DataDriver();
  FetchIntoField(Driver, MemRec, SpecParam(Driver, SpecParamAutoIncrementFieldEh), QStringLiteral("SELECT @@IDENTITY"));
}

String TInterbaseSpecOperationsEh::generatorStatement(const String& Generator, Integer Increment) {
  return Format(QStringLiteral("SELECT GEN_ID(%s, %d) FROM RDB$DATABASE"), {sqlName(Generator), Increment});
}

Integer TInterbaseSpecOperationsEh::UpdateRecord(TCustomSQLDataDriverEh* SQLDataDriver,
                                                 TMemTableDataEh* MemTableData, TMemoryRecordEh* MemRec) {
  const String Generator = SpecParam(SQLDataDriver, SpecParamGeneratorEh);
  if (isInserted(MemRec) && !Generator.isEmpty()) {
    const Variant Value = FetchServerValue(SQLDataDriver, generatorStatement(Generator, 1));
    const String Field = SpecParam(SQLDataDriver, SpecParamGeneratorFieldEh);
    if (!Field.isEmpty() && MemRec->DataStruct()->FindField(Field)) MemRec->SetDataValues(Field, dvvValueEh, Value);
  }
  return TServerSpecOperationsEh::UpdateRecord(SQLDataDriver, MemTableData, MemRec);
}

void TInterbaseSpecOperationsEh::GetBackUpdatedValues(TMemoryRecordEh* MemRec, TCustomSQLCommandEh* Command,
                                                      TDataSet*) {
  if (!isInserted(MemRec)) return;
  TCustomSQLDataDriverEh* Driver = Command->DataDriver();
  const String Generator = SpecParam(Driver, SpecParamGeneratorEh);
  if (Generator.isEmpty()) return;
  FetchIntoField(Driver, MemRec, SpecParam(Driver, SpecParamGeneratorFieldEh), generatorStatement(Generator, 0));
}

void TMSAccessSpecOperationsEh::GetBackUpdatedValues(TMemoryRecordEh* MemRec, TCustomSQLCommandEh* Command,
                                                     TDataSet*) {
  if (!isInserted(MemRec)) return;
  TCustomSQLDataDriverEh* Driver = Command->DataDriver();
  FetchIntoField(Driver, MemRec, SpecParam(Driver, SpecParamAutoIncrementFieldEh), QStringLiteral("SELECT @@IDENTITY"));
}

void TInformixSpecOperationsEh::GetBackUpdatedValues(TMemoryRecordEh* MemRec, TCustomSQLCommandEh* Command,
                                                     TDataSet*) {
  if (!isInserted(MemRec)) return;
  TCustomSQLDataDriverEh* Driver = Command->DataDriver();
  FetchIntoField(Driver, MemRec, SpecParam(Driver, SpecParamAutoIncrementFieldEh),
                 QStringLiteral("select DBINFO(\"sqlca.sqlerrd1\") from systables where tabid=1"));
}

// ---------------------------------------------------------------------------
// registry

void RegisterServerSpecOperationsEh(TServerSpecOperationsClassEh OperationsClass) {
  assert(GUnitState && "the server operations registry is not started");
  const String Name = OperationsClass->GetServerTypeName();
  for (TServerSpecOperationsClassEh Registered : GUnitState->Classes)
    if (SameText(Registered->GetServerTypeName(), Name))
      throw Exception(Format(QStringLiteral("Server type w ith name: \"%s\" is already registered"), {Name}));
  GUnitState->Classes.push_back(OperationsClass);
}

const std::vector<TServerSpecOperationsClassEh>& ServerSpecOperationsClassesEh() {
  assert(GUnitState && "the server operations registry is not started");
  return GUnitState->Classes;
}

TServerSpecOperationsEh* DefaultServerSpecOperationsEh() {
  return GUnitState ? GUnitState->DefaultOperations.get() : nullptr;
}

namespace {

template <class T>
TServerSpecOperationsClassEh operationsClass() {
  return static_cast<TServerSpecOperationsClassEh>(T::StaticClass());
}

}  // namespace

void InitializeServerSpecOperationsEh() {
  assert(!GUnitState && "the server operations registry is started twice");
  GUnitState = new TServerSpecOperationsUnitState;
  for (TServerSpecOperationsClassEh C :
       {operationsClass<TServerSpecOperationsEh>(), operationsClass<TOracleSpecOperationsEh>(),
        operationsClass<TMSSQLSpecOperationsEh>(), operationsClass<TInterbaseSpecOperationsEh>(),
        operationsClass<TInformixSpecOperationsEh>(), operationsClass<TDB2SpecOperationsEh>(),
        operationsClass<TSybaseSpecOperationsEh>(), operationsClass<TMSAccessSpecOperationsEh>()})
    RegisterServerSpecOperationsEh(C);
  GUnitState->DefaultOperations = std::make_unique<TServerSpecOperationsEh>();
}

void FinalizeServerSpecOperationsEh() {
  delete GUnitState;
  GUnitState = nullptr;
}
