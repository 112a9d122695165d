#include "gridlib/memtable/sqldatadriver.h"

#include "gridlib/base/dynvars.h"
#include "gridlib/base/valuetext.h"
#include "gridlib/memtable/memtable.h"
#include "gridlib/memtable/memtabledata.h"
#include "gridlib/memtable/recordslist.h"
#include "gridlib/memtable/serverspecoperations.h"
#include "platform/db/dataset.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fielddefs.h"
#include "platform/db/fields.h"
#include "platform/db/params.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/stringlist.h"

#include <cassert>
#include <memory>
#include <utility>
#include <vector>

namespace {

// The unit's process-wide state, made at start-up and freed at shutdown.
struct TSQLDataDriverUnitState {
  std::unique_ptr<TSQLDataDriverResolver> Resolver;
  // In registration order: the first registered wins a tie.
  std::vector<std::pair<TClass, TDesignDataBaseProcEh>> DesignDataBaseProcs;
};

TSQLDataDriverUnitState* GUnitState = nullptr;

TSQLDataDriverUnitState& unitState() {
  assert(GUnitState && "the SQL data driver unit is not started (InitializeSQLDataDriverEh)");
  return *GUnitState;
}

// Parent steps from C up to Ancestor; -1 when C does not descend from it.
int inheritanceDistance(TClass C, TClass Ancestor) {
  int Steps = 0;
  for (; C; C = C->ClassParent(), ++Steps)
    if (C == Ancestor) return Steps;
  return -1;
}

void freeCursor(TDataSet*& Cursor, bool FreeOnEof) {
  if (Cursor && FreeOnEof) Cursor->Free();
  Cursor = nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------
// TCustomSQLCommandEh

TCustomSQLCommandEh::TCustomSQLCommandEh(TCustomSQLDataDriverEh* ADataDriver)
    : FCommandText(new TStringList), FDataDriver(ADataDriver), FFinalCommandText(new TStringList) {
  FCommandText->OnChange = TNotifyEvent(this, &TCustomSQLCommandEh::commandTextChangedEvent);
}

TCustomSQLCommandEh::~TCustomSQLCommandEh() {
  FCommandText->Free();
  FFinalCommandText->Free();
}

void TCustomSQLCommandEh::DescribeProperties(TPropertyTable& Props) {
  using T = TCustomSQLCommandEh;
  Props.Add("CommandText", &T::CommandText, &T::SetCommandText);
  Props.Add("CommandType", &T::CommandType, &T::SetCommandType).Stored(&T::IsCommandTypeStored);
}

TStrings* TCustomSQLCommandEh::FinalCommandText() {
  if (FFinalCommandTextObsolete) FormFinalCommandText();
  return FFinalCommandText;
}

void TCustomSQLCommandEh::Assign(TPersistent* Source) {
  auto* Command = dynamic_cast<TCustomSQLCommandEh*>(Source);
  if (!Command) return;
  SetCommandText(Command->CommandText());
  SetCommandType(Command->CommandType());
}

TSQLCommandTypeEh TCustomSQLCommandEh::DefaultCommandType() {
  return FDataDriver ? FDataDriver->DefaultCommandTypeOf(this) : cthSelectQuery;
}

TStrings* TCustomSQLCommandEh::GetCommandText() { return FCommandText; }

TSQLCommandTypeEh TCustomSQLCommandEh::GetCommandType() { return FCommandType; }

void TCustomSQLCommandEh::CommandTextChanged(TObject*) {
  FinalCommandTextObsolete();
  if (FDataDriver) FDataDriver->CommandTextChanged(this);
}

void TCustomSQLCommandEh::SetCommandText(TStrings* Value) { FCommandText->Assign(Value); }

void TCustomSQLCommandEh::SetCommandType(TSQLCommandTypeEh Value) { FCommandType = Value; }

Integer TCustomSQLCommandEh::Execute(TDataSet*& Cursor, bool& FreeOnEof) {
  Cursor = nullptr;
  FExecutedByNobody = false;
  bool Processed = false;
  Integer Result = -1;
  if (IConnectionProviderEh* Provider = FDataDriver ? FDataDriver->GetConnectionProvider() : nullptr) {
    Result = Provider->ExecuteCommand(FDataDriver, this, Cursor, FreeOnEof, Processed);
    if (Processed) return Result;
  }
  if (TSQLDataDriverResolver* Resolver = SQLDataDriverResolver())
    Result = Resolver->ExecuteCommand(FDataDriver, this, Cursor, FreeOnEof, Processed);
  FExecutedByNobody = !Processed;
  return Result;
}

TParams* TCustomSQLCommandEh::GetParams() { return nullptr; }

void TCustomSQLCommandEh::FormFinalCommandText() {
  String Text = FCommandText->Text();
  if (FDataDriver) {
    TMacroVarsEh* MacroVars = FDataDriver->MacroVars();
    TSpecMacrosEh* Spec = MacroVars->SpecMacros();
    if (MacroVars->SpecMacrosUsages().Contains(smuUseFilterMacroEh))
      Text = TMacroVarsEh::SubstituteMacro(Text, Spec->FilterMacroName(), Spec->FilterMacroValue());
    if (MacroVars->SpecMacrosUsages().Contains(smuUseSortOrderMacroEh))
      Text = TMacroVarsEh::SubstituteMacro(Text, Spec->SortOrderMacroName(), Spec->SortOrderMacroValue());
    TStringVarsEh* Macros = MacroVars->Macros();
    for (Integer I = 0; I < Macros->Count(); ++I)
      Text = TMacroVarsEh::SubstituteMacro(Text, Macros->Items(I)->Name(), Macros->Items(I)->Value());
  }
  FFinalCommandText->SetText(Text);
  FFinalCommandTextObsolete = false;
}

void TCustomSQLCommandEh::RebuildParams() {}

void TCustomSQLCommandEh::RefreshParams(TMemoryRecordEh*, TDataValueVersionEh) {}

void TCustomSQLCommandEh::SetParams(TParams*) {}

TPersistent* TCustomSQLCommandEh::GetOwner() { return FDataDriver; }

// ---------------------------------------------------------------------------
// TDynaSQLParamsEh

void TDynaSQLParamsEh::DescribeProperties(TPropertyTable& Props) {
  using T = TDynaSQLParamsEh;
  Props.Add("UpdateTable", &T::UpdateTable, &T::SetUpdateTable);
  Props.Add("UpdateFields", &T::UpdateFields, &T::SetUpdateFields);
  Props.Add("KeyFields", &T::KeyFields, &T::SetKeyFields);
  Props.Add("SkipUnchangedFields", &T::SkipUnchangedFields, &T::SetSkipUnchangedFields).Default(false);
  Props.Add("Options", &T::Options, &T::SetOptions).Default(TDynaSQLOptionsEh{});
}

void TDynaSQLParamsEh::Assign(TPersistent* Source) {
  auto* Params = dynamic_cast<TDynaSQLParamsEh*>(Source);
  if (!Params) {
    TPersistent::Assign(Source);
    return;
  }
  FUpdateTable = Params->FUpdateTable;
  FUpdateFields = Params->FUpdateFields;
  FKeyFields = Params->FKeyFields;
  FSkipUnchangedFields = Params->FSkipUnchangedFields;
  FOptions = Params->FOptions;
  FUpdateFieldListSource = Params->FUpdateFieldListSource;
}

void TDynaSQLParamsEh::GetUpdateFields(TStrings* List, TMemoryRecordEh* MemRec) {
  if (FUpdateFieldListSource == tflsListPropertyEh) {
    List->SetCommaText(FUpdateFields);
    return;
  }
  IConnectionProviderEh* Provider = FDataDriver ? FDataDriver->GetConnectionProvider() : nullptr;
  if (!Provider) return;
  TStringList Columns;
  Provider->GetTableFieldList(FUpdateTable, &Columns);
  TStringList Keys;
  Keys.SetCommaText(FKeyFields);
  for (Integer I = 0; I < Keys.Count(); ++I)
    if (const Integer Index = Columns.IndexOf(Keys.Strings(I)); Index >= 0) Columns.Delete(Index);
  List->Clear();
  TMTDataStructEh* Struct = MemRec->DataStruct();
  for (Integer I = 0; I < Struct->Count(); ++I)
    if (const Integer Index = Columns.IndexOf(Struct->GetDataField(I)->FieldName()); Index >= 0)
      List->Add(Columns.Strings(Index));
}

TPersistent* TDynaSQLParamsEh::GetOwner() { return FDataDriver; }

// ---------------------------------------------------------------------------
// TSpecMacrosEh

void TSpecMacrosEh::DescribeProperties(TPropertyTable& Props) {
  using T = TSpecMacrosEh;
  Props.Add("FilterMacroName", &T::FilterMacroName, &T::SetFilterMacroName).Stored(&T::isFilterMacroNameStored);
  Props.Add("SortOrderMacroName", &T::SortOrderMacroName, &T::SetSortOrderMacroName)
      .Stored(&T::isSortOrderMacroNameStored);
}

void TSpecMacrosEh::Assign(TPersistent* Source) {
  auto* Spec = dynamic_cast<TSpecMacrosEh*>(Source);
  if (!Spec) {
    TPersistent::Assign(Source);
    return;
  }
  FFilterMacroName = Spec->FFilterMacroName;
  FSortOrderMacroName = Spec->FSortOrderMacroName;
}

void TSpecMacrosEh::SetFilterMacroValue(const String& Value) {
  FFilterMacroValue = Value;
  if (FMacroVars) FMacroVars->Changed();
}

void TSpecMacrosEh::SetSortOrderMacroValue(const String& Value) {
  FSortOrderMacroValue = Value;
  if (FMacroVars) FMacroVars->Changed();
}

TPersistent* TSpecMacrosEh::GetOwner() { return FMacroVars; }

// ---------------------------------------------------------------------------
// TMacroVarsEh

TMacroVarsEh::TMacroVarsEh(TCustomSQLDataDriverEh* ADataDriver)
    : FDataDriver(ADataDriver), FMacros(new TStringVarsEh(this)), FSpecMacros(new TSpecMacrosEh(this)) {
  FMacros->OnChange = TNotifyEvent(this, &TMacroVarsEh::macrosChanged);
}

TMacroVarsEh::~TMacroVarsEh() {
  FSpecMacros->Free();
  FMacros->Free();
}

void TMacroVarsEh::DescribeProperties(TPropertyTable& Props) {
  using T = TMacroVarsEh;
  Props.Add("Macros", &T::Macros, &T::SetMacros);
  Props.Add("SpecMacros", &T::SpecMacros, &T::SetSpecMacros);
  Props.Add("SpecMacrosUsages", &T::SpecMacrosUsages, &T::SetSpecMacrosUsages).Default(DefaultSpecMacrosUsages);
}

void TMacroVarsEh::Assign(TPersistent* Source) {
  auto* Vars = dynamic_cast<TMacroVarsEh*>(Source);
  if (!Vars) return;
  FSpecMacros->Assign(Vars->FSpecMacros);
  FSpecMacrosUsages = Vars->FSpecMacrosUsages;
  FMacros->Assign(Vars->FMacros);
}

String TMacroVarsEh::SubstituteMacro(const String& Text, const String& MacroName, const String& MacroValue) {
  // An empty name would match between every two characters.
  if (MacroName.isEmpty()) return Text;
  // QString::replace resumes after each inserted value, so a value holding
  // the name is inserted once and never expanded again.
  return String(Text).replace(MacroName, MacroValue, Qt::CaseSensitive);
}

void TMacroVarsEh::SetMacros(TStringVarsEh* Value) { FMacros->Assign(Value); }

void TMacroVarsEh::SetSpecMacros(TSpecMacrosEh* Value) { FSpecMacros->Assign(Value); }

void TMacroVarsEh::Changed() {
  if (FDataDriver) FDataDriver->CommandsFinalTextObsolete();
}

TPersistent* TMacroVarsEh::GetOwner() { return FDataDriver; }

// ---------------------------------------------------------------------------
// TSQLDataDriverResolver

Integer TSQLDataDriverResolver::ExecuteCommand(TCustomSQLDataDriverEh* SQLDataDriver, TCustomSQLCommandEh* Command,
                                               TDataSet*& Cursor, bool& FreeOnEof, bool& Processed) {
  Processed = false;
  if (!OnExecuteCommand) return -1;
  return OnExecuteCommand(SQLDataDriver, Command, Cursor, FreeOnEof, Processed);
}

TServerSpecOperationsEh* TSQLDataDriverResolver::GetServerSpecOperations(bool& Processed) {
  Processed = false;
  TServerSpecOperationsEh* Operations = nullptr;
  if (OnGetServerSpecOperations) OnGetServerSpecOperations(Processed, Operations);
  if (Processed) return Operations;
  Processed = FServerSpecOperations != nullptr;
  return FServerSpecOperations;
}

void TSQLDataDriverResolver::DefaultGetUpdatedServerValues(TCustomSQLDataDriverEh* SQLDataDriver,
                                                           TMemoryRecordEh* MemRec, TCustomSQLCommandEh* Command,
                                                           TDataSet* ResDataSet) {
  TServerSpecOperationsEh* Operations = FServerSpecOperations;
  if (!Operations) Operations = SQLDataDriver->ServerSpecOperations();
  if (!Operations) Operations = SQLDataDriver->InternalGetServerSpecOperations();
  if (Operations) Operations->GetBackUpdatedValues(MemRec, Command, ResDataSet);
}

Integer TSQLDataDriverResolver::DefaultUpdateRecord(TCustomSQLDataDriverEh* SQLDataDriver,
                                                    TMemTableDataEh* MemTableData, TMemoryRecordEh* MemRec) {
  TServerSpecOperationsEh* Operations = FServerSpecOperations;
  if (!Operations) Operations = SQLDataDriver->InternalGetServerSpecOperations();
  if (Operations) return Operations->UpdateRecord(SQLDataDriver, MemTableData, MemRec);
  return SQLDataDriver->DoUpdateRecord(MemTableData, MemRec);
}

void TSQLDataDriverResolver::GetBackUpdatedValues(TCustomSQLDataDriverEh* SQLDataDriver, TMemoryRecordEh* MemRec,
                                                  TCustomSQLCommandEh* Command, TDataSet* ResDataSet,
                                                  bool& Processed) {
  Processed = false;
  if (OnGetBackUpdatedValues) OnGetBackUpdatedValues(SQLDataDriver, MemRec, Command, ResDataSet, Processed);
  if (Processed) return;
  DefaultGetUpdatedServerValues(SQLDataDriver, MemRec, Command, ResDataSet);
  Processed = true;
}

Integer TSQLDataDriverResolver::UpdateRecord(TCustomSQLDataDriverEh* SQLDataDriver, TMemTableDataEh* MemTableData,
                                             TMemoryRecordEh* MemRec, bool& Processed) {
  Processed = false;
  if (OnUpdateRecord) OnUpdateRecord(SQLDataDriver, MemTableData, MemRec, Processed);
  if (Processed) return 0;
  const Integer Result = DefaultUpdateRecord(SQLDataDriver, MemTableData, MemRec);
  Processed = true;
  return Result;
}

TSQLDataDriverResolver* SQLDataDriverResolver() { return GUnitState ? GUnitState->Resolver.get() : nullptr; }

TSQLDataDriverResolver* SetSQLDataDriverResolver(TSQLDataDriverResolver* Value) {
  TSQLDataDriverResolver* Previous = unitState().Resolver.release();
  unitState().Resolver.reset(Value);
  return Previous;
}

void RegisterDesignDataBaseProcEh(TClass DataDriverClass, TDesignDataBaseProcEh Proc) {
  unitState().DesignDataBaseProcs.emplace_back(DataDriverClass, Proc);
}

void UnregisterDesignDataBaseProcEh(TClass DataDriverClass) {
  std::erase_if(unitState().DesignDataBaseProcs, [DataDriverClass](const auto& Entry) {
    return Entry.first == DataDriverClass;
  });
}

// ---------------------------------------------------------------------------
// TCustomSQLDataDriverEh

TCustomSQLDataDriverEh::TCustomSQLDataDriverEh(TComponent* AOwner)
    : TDataDriverEh(AOwner),
      FDynaSQLParams(new TDynaSQLParamsEh(this)),
      FMacroVars(new TMacroVarsEh(this)),
      FSpecParams(new TStringList) {
  SetResolveToDataSet(false);
}

TCustomSQLDataDriverEh::~TCustomSQLDataDriverEh() {
  for (TCustomSQLCommandEh* Command : madeCommands()) Command->Free();
  if (FServiceCommand) FServiceCommand->Free();
  FDynaSQLParams->Free();
  FMacroVars->Free();
  FSpecParams->Free();
}

TCustomSQLCommandEh* TCustomSQLDataDriverEh::ServiceCommand() {
  if (!FServiceCommand) FServiceCommand = CreateCommand();
  return FServiceCommand;
}

TStrings* TCustomSQLDataDriverEh::SpecParams() const { return FSpecParams; }

void TCustomSQLDataDriverEh::SetSpecParams(TStrings* Value) { FSpecParams->Assign(Value); }

void TCustomSQLDataDriverEh::Notification(TComponent* AComponent, TOperation Operation) {
  TDataDriverEh::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDesignDataBase) FDesignDataBase = nullptr;
}

void TCustomSQLDataDriverEh::AdjustDataStruct(TFields* Fields, TMTDataStructEh* DataStruct) {
  TDataDriverEh::AdjustDataStruct(Fields, DataStruct);
  const String AutoIncField = FSpecParams->Values(QLatin1String(SpecParamAutoIncrementFieldEh));
  if (AutoIncField.isEmpty()) return;
  if (auto* Field = dynamic_cast<TMTNumericDataFieldEh*>(DataStruct->FindField(AutoIncField)))
    Field->SetAutoIncrement(true);
}

bool TCustomSQLDataDriverEh::ConnectionIsPostponed() {
  IConnectionProviderEh* Provider = GetConnectionProvider();
  return Provider && Provider->ConnectionIsPostponed();
}

void TCustomSQLDataDriverEh::AddPostponedActivationDataSet(TDataSet* ADataSet) {
  if (IConnectionProviderEh* Provider = GetConnectionProvider()) Provider->AddPostponedActivationDataSet(ADataSet);
}

Integer TCustomSQLDataDriverEh::DefaultUpdateRecord(TMemTableDataEh* MemTableData, TMemoryRecordEh* MemRec) {
  bool Processed = false;
  Integer Result = 0;
  if (IConnectionProviderEh* Provider = GetConnectionProvider())
    Provider->UpdateRecord(this, MemTableData, MemRec, Processed);
  if (!Processed)
    if (TSQLDataDriverResolver* Resolver = SQLDataDriverResolver())
      Result = Resolver->UpdateRecord(this, MemTableData, MemRec, Processed);
  if (Processed) return Result;
  if (FServerSpecOperations) return FServerSpecOperations->UpdateRecord(this, MemTableData, MemRec);
  return DoUpdateRecord(MemTableData, MemRec);
}

bool TCustomSQLDataDriverEh::RefreshReaderParamsFromCursor(TDataSet* DataSet) {
  if (ProviderDataSet()) return TDataDriverEh::RefreshReaderParamsFromCursor(DataSet);
  TParams* Params = SelectCommand()->GetParams();
  if (!Params) return false;
  for (Integer I = 0; I < Params->Count(); ++I) {
    TField* Field = DataSet->FindField(Params->Items(I)->Name());
    if (Field && !VariantsEqualEh(Params->Items(I)->Value(), Field->Value())) return true;
  }
  return false;
}

void TCustomSQLDataDriverEh::DefaultBuildDataStruct(TMTDataStructEh* DataStruct) {
  if (ReaderDataSet() || ProviderDataSet()) {
    TDataDriverEh::DefaultBuildDataStruct(DataStruct);
    return;
  }
  bool FreeOnEof = false;
  TDataSet* Cursor = selectCursor(FreeOnEof);
  const TScopeExit FreeIt([&] { freeCursor(Cursor, FreeOnEof); });
  Cursor->Open();
  DataStruct->BuildStructFromFields(Cursor->Fields());
  AdjustDataStruct(Cursor->Fields(), DataStruct);
  Cursor->Close();
}

TDataSet* TCustomSQLDataDriverEh::DefaultProduceDataReader(bool& FreeOnEof) {
  if (ProviderDataSet()) return TDataDriverEh::DefaultProduceDataReader(FreeOnEof);
  TDataSet* Reader = nullptr;
  ExecuteCommand(SelectCommand(), Reader, FreeOnEof);
  return Reader;
}

void TCustomSQLDataDriverEh::DefaultRefreshRecord(TMemoryRecordEh* MemRecord) {
  if (ResolveToDataSet()) {
    TDataDriverEh::DefaultRefreshRecord(MemRecord);
    return;
  }
  TCustomSQLCommandEh* Command = GetrecCommand();
  Command->RefreshParams(MemRecord, dvvOldestValue);
  TDataSet* Cursor = nullptr;
  bool FreeOnEof = false;
  ExecuteCommand(Command, Cursor, FreeOnEof);
  const TScopeExit FreeIt([&] { freeCursor(Cursor, FreeOnEof); });
  if (Cursor && !Cursor->Active()) Cursor->Open();
  if (!Cursor || Cursor->IsEmpty()) throw Exception(QStringLiteral("There are no fresh record on server"));

  // The reader's field map matches the select's columns; the get-record
  // cursor may list them in another order, so it is matched by name anew and
  // the map left empty for the reader to rebuild.
  FDataToRecFields.clear();
  MemRecord->EditForRefresh();
  const TScopeExit Finish([&] {
    FDataToRecFields.clear();
    MemRecord->Post();
  });
  TMemTableDataEh* MemTableData = MemRecord->RecordsList() ? MemRecord->RecordsList()->MemTableData() : nullptr;
  for (Integer I = 0; I < MemRecord->DataStruct()->Count(); ++I)
    AssignFieldValue(MemTableData, MemRecord, I, dvvOldestValue, Cursor);
}

// Every parameter of the select command follows the cursor, bound or not,
// and is left unbound so that the next cursor move sets it again.
void TCustomSQLDataDriverEh::SetReaderParamsFromCursor(TDataSet* DataSet) {
  if (ProviderDataSet()) {
    TDataDriverEh::SetReaderParamsFromCursor(DataSet);
    return;
  }
  TCustomSQLCommandEh* Command = SelectCommand();
  TParams* Params = Command->GetParams();
  if (Params) {
    DataSet->FieldDefs()->Update();
    for (Integer I = 0; I < Params->Count(); ++I) {
      TParam* Param = Params->Items(I);
      Param->SetValue(DataSet->FieldByName(Param->Name())->Value());
      Param->SetBound(false);
    }
  }
  Command->SetParams(Params);
}

void TCustomSQLDataDriverEh::CommandsFinalTextObsolete() {
  for (TCustomSQLCommandEh* Command : madeCommands()) Command->FinalCommandTextObsolete();
}

void TCustomSQLDataDriverEh::SetDesignDataBase(TComponent* Value) {
  if (Value == FDesignDataBase) return;
  if (FDesignDataBase) FDesignDataBase->RemoveFreeNotification(this);
  FDesignDataBase = Value;
  if (FDesignDataBase) FDesignDataBase->FreeNotification(this);
}

TCustomSQLDataDriverEh* TCustomSQLDataDriverEh::CreateDesignCopy() {
  auto* Copy = static_cast<TCustomSQLDataDriverEh*>(ClassType()->Create(static_cast<TComponent*>(nullptr)));
  Copy->AssignFromDesignDriver(this);
  return Copy;
}

TComponent* TCustomSQLDataDriverEh::CreateDesignDataBase() { return nullptr; }

TComponent* TCustomSQLDataDriverEh::ForceGetNewDesignDataBase() {
  TDesignDataBaseProcEh Nearest = nullptr;
  int NearestSteps = -1;
  for (const auto& [DriverClass, Proc] : unitState().DesignDataBaseProcs) {
    const int Steps = inheritanceDistance(ClassType(), DriverClass);
    if (Steps >= 0 && (NearestSteps < 0 || Steps < NearestSteps)) {
      Nearest = Proc;
      NearestSteps = Steps;
    }
  }
  if (!Nearest) return nullptr;
  Nearest(this);
  return FDesignDataBase;
}

TComponent* TCustomSQLDataDriverEh::GetDesignDataBase() {
  if (IConnectionProviderEh* Provider = GetConnectionProvider())
    if (TComponent* DataBase = Provider->GetDesignDataBase()) return DataBase;
  return FDesignDataBase;
}

void TCustomSQLDataDriverEh::AssignFromDesignDriver(TCustomSQLDataDriverEh* DesignDataDriver) {
  SetSelectCommand(DesignDataDriver->SelectCommand());
  SetInsertCommand(DesignDataDriver->InsertCommand());
  SetUpdateCommand(DesignDataDriver->UpdateCommand());
  SetDeleteCommand(DesignDataDriver->DeleteCommand());
  SetGetrecCommand(DesignDataDriver->GetrecCommand());
  SetSpecParams(DesignDataDriver->SpecParams());
  SetDynaSQLParams(DesignDataDriver->DynaSQLParams());
  SetMacroVars(DesignDataDriver->MacroVars());
}

bool TCustomSQLDataDriverEh::IsDynaSQLField(TUpdateStatus UpdateStatus, const String& FieldName) {
  return !(UpdateStatus == usInserted &&
           FSpecParams->Values(QLatin1String(SpecParamAutoIncrementFieldEh)) == FieldName);
}

TCustomSQLCommandEh* TCustomSQLDataDriverEh::CreateCommand() { return new TCustomSQLCommandEh(this); }
TCustomSQLCommandEh* TCustomSQLDataDriverEh::CreateDeleteCommand() { return CreateCommand(); }
TCustomSQLCommandEh* TCustomSQLDataDriverEh::CreateGetrecCommand() { return CreateCommand(); }
TCustomSQLCommandEh* TCustomSQLDataDriverEh::CreateInsertCommand() { return CreateCommand(); }
TCustomSQLCommandEh* TCustomSQLDataDriverEh::CreateSelectCommand() { return CreateCommand(); }
TCustomSQLCommandEh* TCustomSQLDataDriverEh::CreateUpdateCommand() { return CreateCommand(); }

TSQLCommandTypeEh TCustomSQLDataDriverEh::DefaultCommandTypeOf(TCustomSQLCommandEh* Command) {
  return Command == FSelectCommand || Command == FGetrecCommand ? cthSelectQuery : cthUpdateQuery;
}

void TCustomSQLDataDriverEh::CommandTextChanged(TCustomSQLCommandEh* Command) {
  if (Command != FSelectCommand) return;
  if (auto* Table = dynamic_cast<TCustomMemTableEh*>(GetDataDriverConsumer())) Table->DriverStructChanged();
}

TServerSpecOperationsEh* TCustomSQLDataDriverEh::InternalGetServerSpecOperations() { return FServerSpecOperations; }

Integer TCustomSQLDataDriverEh::DefaultExecuteCommand(TCustomSQLCommandEh* Command, TDataSet*& Cursor,
                                                      bool& FreeOnEof) {
  Cursor = nullptr;
  if (!HaveDataConnection()) {
    IDesignDataBaseCommandEh* DesignDataBase = nullptr;
    if (ComponentState().Contains(csDesigning) && Supports(ForceGetNewDesignDataBase(), DesignDataBase)) {
      DesignDataBase->ExecuteCommand(Command, Cursor, FreeOnEof);
      return -1;
    }
    if (TSQLDataDriverResolver* Resolver = SQLDataDriverResolver()) {
      bool Processed = false;
      const Integer Result = Resolver->ExecuteCommand(this, Command, Cursor, FreeOnEof, Processed);
      if (Processed) return Result;
    }
  }
  return Command->Execute(Cursor, FreeOnEof);
}

Integer TCustomSQLDataDriverEh::DoUpdateRecord(TMemTableDataEh* MemTableData, TMemoryRecordEh* MemRec) {
  if (ResolveToDataSet()) return TDataDriverEh::DefaultUpdateRecord(MemTableData, MemRec);
  const TUpdateStatus Status = MemRec->UpdateStatus();
  TCustomSQLCommandEh* Command = commandForUpdateStatus(Status);
  if (!Command) return 0;
  if (dynamicSQLFor(Status)) {
    Command = ServiceCommand();
    GenerateDynamicSQLCommand(MemRec, Command);
    // An update with no field to set: nothing to execute.
    if (Command->CommandText()->Count() == 0) return 0;
  }
  Command->RefreshParams(MemRec, dvvValueEh);
  TDataSet* ResDataSet = nullptr;
  bool FreeOnEof = false;
  Command->FExecutedByNobody = false;
  const Integer Result = ExecuteCommand(Command, ResDataSet, FreeOnEof);
  const TScopeExit FreeIt([&] { freeCursor(ResDataSet, FreeOnEof); });
  // Without a party to run it the change never reached the server; merging
  // it as written would lose it silently.
  if (Command->ExecutedByNobody())
    DatabaseError(QStringLiteral("No connection provider or resolver executed the SQL command; "
                                 "the change was not applied"),
                  this);
  GetBackUpdatedValues(MemRec, Command, ResDataSet);
  return Result;
}

Integer TCustomSQLDataDriverEh::ExecuteCommand(TCustomSQLCommandEh* Command, TDataSet*& Cursor, bool& FreeOnEof) {
  if (OnExecuteCommand) return OnExecuteCommand(this, Command, Cursor, FreeOnEof);
  return DefaultExecuteCommand(Command, Cursor, FreeOnEof);
}

bool TCustomSQLDataDriverEh::FilterTextSupported() {
  return FMacroVars->SpecMacrosUsages().Contains(smuUseFilterMacroEh);
}

IConnectionProviderEh* TCustomSQLDataDriverEh::GetConnectionProvider() { return nullptr; }

bool TCustomSQLDataDriverEh::HaveDataConnection() { return GetConnectionProvider() != nullptr; }

bool TCustomSQLDataDriverEh::OrderByTextSupported() {
  return FMacroVars->SpecMacrosUsages().Contains(smuUseSortOrderMacroEh);
}

void TCustomSQLDataDriverEh::ApplyFilterText(const String& FilterText) {
  TSpecMacrosEh* Spec = FMacroVars->SpecMacros();
  const TSpecMacrosUsagesEh Usages = FMacroVars->SpecMacrosUsages();
  if (FilterText.isEmpty())
    Spec->SetFilterMacroValue(String());
  else if (Usages.Contains(smuFilterAsWhereClauseEh))
    Spec->SetFilterMacroValue(QStringLiteral("WHERE ") + FilterText);
  else if (Usages.Contains(smuFilterWithANDPrecedingEh))
    Spec->SetFilterMacroValue(QStringLiteral("AND (") + FilterText + u')');
}

void TCustomSQLDataDriverEh::ApplyOrderByText(const String& OrderByText) {
  TSpecMacrosEh* Spec = FMacroVars->SpecMacros();
  const TSpecMacrosUsagesEh Usages = FMacroVars->SpecMacrosUsages();
  if (OrderByText.isEmpty())
    Spec->SetSortOrderMacroValue(String());
  else if (Usages.Contains(smuSortOrderAsOrderByClauseEh))
    Spec->SetSortOrderMacroValue(QStringLiteral("ORDER BY ") + OrderByText);
  else if (Usages.Contains(smuSortOrderWithCommaPrecedingEh))
    Spec->SetSortOrderMacroValue(QStringLiteral(", ") + OrderByText);
}

void TCustomSQLDataDriverEh::DefaultGetUpdatedServerValues(TMemoryRecordEh* MemRec, TCustomSQLCommandEh* Command,
                                                           TDataSet* ResDataSet) {
  bool Processed = false;
  if (IConnectionProviderEh* Provider = GetConnectionProvider())
    Provider->GetBackUpdatedValues(this, MemRec, Command, ResDataSet, Processed);
  if (!Processed)
    if (TSQLDataDriverResolver* Resolver = SQLDataDriverResolver())
      Resolver->GetBackUpdatedValues(this, MemRec, Command, ResDataSet, Processed);
  if (!Processed && FServerSpecOperations) FServerSpecOperations->GetBackUpdatedValues(MemRec, Command, ResDataSet);
}

void TCustomSQLDataDriverEh::GenerateDynamicSQLCommand(TMemoryRecordEh* MemRecord, TCustomSQLCommandEh* Command) {
  TServerSpecOperationsEh* Operations = FServerSpecOperations;
  if (!Operations)
    if (TSQLDataDriverResolver* Resolver = SQLDataDriverResolver()) {
      bool Processed = false;
      Operations = Resolver->GetServerSpecOperations(Processed);
    }
  if (!Operations) Operations = DefaultServerSpecOperationsEh();
  assert(Operations && "the SQL data driver unit is not started (InitializeSQLDataDriverEh)");
  Operations->GenerateDynaSQLCommand(MemRecord, Command);
}

void TCustomSQLDataDriverEh::GetBackUpdatedValues(TMemoryRecordEh* MemRec, TCustomSQLCommandEh* Command,
                                                  TDataSet* ResDataSet) {
  if (OnGetBackUpdatedValues)
    OnGetBackUpdatedValues(this, MemRec, Command, ResDataSet);
  else
    DefaultGetUpdatedServerValues(MemRec, Command, ResDataSet);
}

TCustomSQLCommandEh* TCustomSQLDataDriverEh::command(TCustomSQLCommandEh*& Slot,
                                                     TCustomSQLCommandEh* (T::*Factory)()) {
  if (!Slot) {
    Slot = (this->*Factory)();
    Slot->SetCommandType(DefaultCommandTypeOf(Slot));
  }
  return Slot;
}

TCustomSQLCommandEh* TCustomSQLDataDriverEh::commandForUpdateStatus(TUpdateStatus Status) {
  switch (Status) {
    case usModified: return UpdateCommand();
    case usInserted: return InsertCommand();
    case usDeleted: return DeleteCommand();
    default: return nullptr;
  }
}

bool TCustomSQLDataDriverEh::dynamicSQLFor(TUpdateStatus Status) const {
  const TDynaSQLOptionsEh Options = FDynaSQLParams->Options();
  return (Status == usModified && Options.Contains(dsoDynamicSQLUpdateEh)) ||
         (Status == usInserted && Options.Contains(dsoDynamicSQLInsertEh)) ||
         (Status == usDeleted && Options.Contains(dsoDynamicSQLDeleteEh));
}

TDataSet* TCustomSQLDataDriverEh::selectCursor(bool& FreeOnEof) {
  TDataSet* Cursor = nullptr;
  ExecuteCommand(SelectCommand(), Cursor, FreeOnEof);
  if (!Cursor) throw Exception(QStringLiteral("SelectCommand.Execute does not get DataSet"));
  return Cursor;
}

std::vector<TCustomSQLCommandEh*> TCustomSQLDataDriverEh::madeCommands() const {
  std::vector<TCustomSQLCommandEh*> Commands;
  for (TCustomSQLCommandEh* Command : {FSelectCommand, FInsertCommand, FUpdateCommand, FDeleteCommand, FGetrecCommand})
    if (Command) Commands.push_back(Command);
  return Commands;
}

// ---------------------------------------------------------------------------
// unit start-up and shutdown

void InitializeSQLDataDriverEh() {
  assert(!GUnitState && "the SQL data driver unit is started twice");
  InitializeServerSpecOperationsEh();
  GUnitState = new TSQLDataDriverUnitState;
  GUnitState->Resolver = std::make_unique<TSQLDataDriverResolver>();
}

void FinalizeSQLDataDriverEh() {
  delete GUnitState;
  GUnitState = nullptr;
  FinalizeServerSpecOperationsEh();
}
