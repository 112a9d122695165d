// TCustomSQLDataDriverEh: the data driver for SQL servers, and the framework
// a connection layer plugs into.
//
// The driver holds five commands (select, insert, update, delete, get-record)
// and never talks to a server itself.  Every execution is handed on, first
// party to answer wins:
//
//   driver.ExecuteCommand ── OnExecuteCommand, else DefaultExecuteCommand:
//     no connection provider: the default resolver's handler (Processed?)
//     then Command.Execute: the connection provider (Processed?), then the
//                           default resolver's handler
//
// Resolving one change (DefaultUpdateRecord) follows the same chain: the
// connection provider, the default resolver (its handler, else its or the
// driver's server operations, else DoUpdateRecord), the driver's server
// operations, DoUpdateRecord.  DoUpdateRecord runs the update, insert or
// delete command of the record's state, or a statement generated for the
// record (dynamic SQL, serverspecoperations.h); its values always travel as
// parameters named after the fields (":NAME", ":OLD_NAME" for keys).
//
// Macros are named text pieces replaced in a command's text before it runs:
// the filter and sort-order macros (through which a grid pushes its filter
// and sorting to the server) and the driver's own Macros.  The final text is
// built on demand and cached until the text or a macro changes.
//
// Process-wide state lives from the unit's start-up to its shutdown: the
// default resolver, the default server operations with the server-type
// registry, and the design-database procedures per driver class.
#pragma once

#include "gridlib/memtable/datadriver.h"
#include "platform/rtl/units.h"

class TCustomSQLDataDriverEh;
class TMacroVarsEh;
class TParams;
class TServerSpecOperationsEh;
class TStringList;
class TStrings;
class TStringVarsEh;

RTL_ENUM(TSQLCommandTypeEh, cthSelectQuery, cthUpdateQuery, cthTable, cthStoredProc)
RTL_ENUM(TDynaSQLOptionEh, dsoDynamicSQLInsertEh, dsoDynamicSQLUpdateEh, dsoDynamicSQLDeleteEh)
using TDynaSQLOptionsEh = TSet<TDynaSQLOptionEh>;
RTL_ENUM(TTableFieldListSourceEh, tflsListPropertyEh, tflsDataBaseSchemaEh)
RTL_ENUM(TSpecMacrosUsageEh, smuUseFilterMacroEh, smuFilterAsWhereClauseEh, smuFilterWithANDPrecedingEh,
         smuUseSortOrderMacroEh, smuSortOrderAsOrderByClauseEh, smuSortOrderWithCommaPrecedingEh)
using TSpecMacrosUsagesEh = TSet<TSpecMacrosUsageEh>;

// Names of the driver's special parameters (SpecParams, Name=Value lines).
inline const char* const SpecParamAutoIncrementFieldEh = "AUTO_INCREMENT_FIELD";
inline const char* const SpecParamSequenceEh = "SEQUENCE";
inline const char* const SpecParamSequenceFieldEh = "SEQUENCE_FIELD";
inline const char* const SpecParamGeneratorEh = "GENERATOR";
inline const char* const SpecParamGeneratorFieldEh = "GENERATOR_FIELD";

// ---------------------------------------------------------------------------
// commands

// One SQL command of a driver: its text, its type and its text after macro
// substitution.  The base command has no parameters; a connection layer's
// command class holds them and fills them from a record.
class TCustomSQLCommandEh : public TPersistent {
  RTL_CLASS(TCustomSQLCommandEh, TPersistent)
  friend class TCustomSQLDataDriverEh;
public:
  // ADataDriver owns the command (nullptr: a free-standing command).
  explicit TCustomSQLCommandEh(TCustomSQLDataDriverEh* ADataDriver);
  ~TCustomSQLCommandEh() override;
  static void DescribeProperties(TPropertyTable& Props);

  // properties
  TStrings* CommandText() { return GetCommandText(); }
  TSQLCommandTypeEh CommandType() { return GetCommandType(); }
  TCustomSQLDataDriverEh* DataDriver() const { return FDataDriver; }
  // The text with every macro replaced; rebuilt when obsolete.
  TStrings* FinalCommandText();
  void FinalCommandTextObsolete() { FFinalCommandTextObsolete = true; }
  // Set by Execute when neither the connection provider nor the default
  // resolver processed the command; cleared when an execution starts.
  bool ExecutedByNobody() const { return FExecutedByNobody; }

  // reimplemented
  // From another command: its text and type; other sources are ignored.
  void Assign(TPersistent* Source) override;
  String GetNamePath() override { return QStringLiteral("SQLCommand"); }

  // introduced virtuals, in slot order
  // The driver's default type for this command (cthSelectQuery without one).
  virtual TSQLCommandTypeEh DefaultCommandType();
  virtual TStrings* GetCommandText();
  virtual TSQLCommandTypeEh GetCommandType();
  virtual void CommandTextChanged(TObject* Sender);
  virtual void SetCommandText(TStrings* Value);
  virtual void SetCommandType(TSQLCommandTypeEh Value);
  // Hands the command to the connection provider, then to the default
  // resolver; -1 and no cursor when nobody processed it.  A cursor returned
  // is the caller's to free when FreeOnEof is true.
  virtual Integer Execute(TDataSet*& Cursor, bool& FreeOnEof);
  // The parameters: nullptr here, where SetParams, RebuildParams and
  // RefreshParams do nothing.  A connection layer's command owns a TParams,
  // answers it here and takes a copy of AParams in SetParams (its own list
  // handed back stays as it is); RebuildParams makes the list from the text,
  // RefreshParams fills it from MemRecord's values in DataValueVersion.
  virtual TParams* GetParams();
  virtual void FormFinalCommandText();
  virtual void RebuildParams();
  virtual void RefreshParams(TMemoryRecordEh* MemRecord, TDataValueVersionEh DataValueVersion);
  virtual void SetParams(TParams* AParams);

protected:
  // reimplemented
  TPersistent* GetOwner() override;

  bool IsCommandTypeStored() { return CommandType() != DefaultCommandType(); }

  TStringList* FCommandText;  // owned
  TSQLCommandTypeEh FCommandType = cthSelectQuery;
  TCustomSQLDataDriverEh* FDataDriver;
  TStringList* FFinalCommandText;  // owned
  bool FFinalCommandTextObsolete = true;

private:
  void commandTextChangedEvent(TObject* Sender) { CommandTextChanged(Sender); }

  bool FExecutedByNobody = false;
};

// ---------------------------------------------------------------------------
// dynamic SQL settings and macros

class TDynaSQLParamsEh : public TPersistent {
  RTL_CLASS(TDynaSQLParamsEh, TPersistent)
public:
  explicit TDynaSQLParamsEh(TCustomSQLDataDriverEh* ADataDriver) : FDataDriver(ADataDriver) {}
  static void DescribeProperties(TPropertyTable& Props);

  // Copies the six settings from another TDynaSQLParamsEh.
  void Assign(TPersistent* Source) override;
  // The fields an update or insert of MemRec writes: UpdateFields as comma
  // text, or the record's data fields among UpdateTable's columns less the
  // keys (from the connection provider's schema; List is left alone without
  // one).
  void GetUpdateFields(TStrings* List, TMemoryRecordEh* MemRec);

  // properties
  TCustomSQLDataDriverEh* DataDriver() const { return FDataDriver; }
  const String& UpdateTable() const { return FUpdateTable; }
  void SetUpdateTable(const String& Value) { FUpdateTable = Value; }
  // Comma text.
  const String& UpdateFields() const { return FUpdateFields; }
  void SetUpdateFields(const String& Value) { FUpdateFields = Value; }
  // Comma text.
  const String& KeyFields() const { return FKeyFields; }
  void SetKeyFields(const String& Value) { FKeyFields = Value; }
  bool SkipUnchangedFields() const { return FSkipUnchangedFields; }
  void SetSkipUnchangedFields(bool Value) { FSkipUnchangedFields = Value; }
  TDynaSQLOptionsEh Options() const { return FOptions; }
  void SetOptions(TDynaSQLOptionsEh Value) { FOptions = Value; }
  TTableFieldListSourceEh UpdateFieldListSource() const { return FUpdateFieldListSource; }
  void SetUpdateFieldListSource(TTableFieldListSourceEh Value) { FUpdateFieldListSource = Value; }

protected:
  TPersistent* GetOwner() override;

private:
  TCustomSQLDataDriverEh* FDataDriver;
  String FUpdateTable;
  String FUpdateFields;
  String FKeyFields;
  bool FSkipUnchangedFields = false;
  TDynaSQLOptionsEh FOptions;
  TTableFieldListSourceEh FUpdateFieldListSource = tflsListPropertyEh;
};

// The names and current values of the filter and sort-order macros.
class TSpecMacrosEh : public TPersistent {
  RTL_CLASS(TSpecMacrosEh, TPersistent)
public:
  explicit TSpecMacrosEh(TMacroVarsEh* AMacroVars) : FMacroVars(AMacroVars) {}
  static void DescribeProperties(TPropertyTable& Props);

  // Copies the two macro names only.
  void Assign(TPersistent* Source) override;

  // properties
  const String& FilterMacroName() const { return FFilterMacroName; }
  void SetFilterMacroName(const String& Value) { FFilterMacroName = Value; }
  const String& SortOrderMacroName() const { return FSortOrderMacroName; }
  void SetSortOrderMacroName(const String& Value) { FSortOrderMacroName = Value; }
  // Writing a value makes the driver's final texts obsolete.
  const String& FilterMacroValue() const { return FFilterMacroValue; }
  void SetFilterMacroValue(const String& Value);
  const String& SortOrderMacroValue() const { return FSortOrderMacroValue; }
  void SetSortOrderMacroValue(const String& Value);

protected:
  TPersistent* GetOwner() override;

private:
  bool isFilterMacroNameStored() const { return FFilterMacroName != defaultFilterMacroName(); }
  bool isSortOrderMacroNameStored() const { return FSortOrderMacroName != defaultSortOrderMacroName(); }
  static String defaultFilterMacroName() { return QStringLiteral("%Filter%"); }
  static String defaultSortOrderMacroName() { return QStringLiteral("%SortOrder%"); }

  String FFilterMacroName = defaultFilterMacroName();
  String FSortOrderMacroName = defaultSortOrderMacroName();
  String FSortOrderMacroValue;
  String FFilterMacroValue;
  TMacroVarsEh* FMacroVars;
};

class TMacroVarsEh : public TPersistent {
  RTL_CLASS(TMacroVarsEh, TPersistent)
public:
  static constexpr TSpecMacrosUsagesEh DefaultSpecMacrosUsages{smuFilterAsWhereClauseEh,
                                                               smuSortOrderAsOrderByClauseEh};

  explicit TMacroVarsEh(TCustomSQLDataDriverEh* ADataDriver);
  ~TMacroVarsEh() override;
  static void DescribeProperties(TPropertyTable& Props);

  // Copies SpecMacros, SpecMacrosUsages and Macros from another
  // TMacroVarsEh; other sources are ignored.
  void Assign(TPersistent* Source) override;
  // Every occurrence of MacroName (exact, case-sensitive) replaced by
  // MacroValue; inserted values are never searched again.
  static String SubstituteMacro(const String& Text, const String& MacroName, const String& MacroValue);

  // properties
  TCustomSQLDataDriverEh* DataDriver() const { return FDataDriver; }
  TStringVarsEh* Macros() const { return FMacros; }
  void SetMacros(TStringVarsEh* Value);
  TSpecMacrosEh* SpecMacros() const { return FSpecMacros; }
  void SetSpecMacros(TSpecMacrosEh* Value);
  TSpecMacrosUsagesEh SpecMacrosUsages() const { return FSpecMacrosUsages; }
  // Only stores the usages.
  void SetSpecMacrosUsages(TSpecMacrosUsagesEh Value) { FSpecMacrosUsages = Value; }

  // introduced virtuals
  // A macro, a macro value or the macro set changed: the driver's final
  // texts are obsolete.
  virtual void Changed();

protected:
  TPersistent* GetOwner() override;

private:
  void macrosChanged(TObject*) { Changed(); }

  TCustomSQLDataDriverEh* FDataDriver;
  TStringVarsEh* FMacros;  // owned
  TSpecMacrosUsagesEh FSpecMacrosUsages = DefaultSpecMacrosUsages;
  TSpecMacrosEh* FSpecMacros;  // owned
};

// ---------------------------------------------------------------------------
// the connection layer's interface and the process-wide resolver

// What a connection layer implements for a driver (GetConnectionProvider).
// Only the operations the driver calls are declared, in the layer's order.
class IConnectionProviderEh : public IInterface {
public:
  static constexpr TGUID IID = TGUID::Literal("{C5744985-A67B-4786-9165-DB99A7CA4831}");
  // Runs Command; Processed tells whether the layer took it.  A cursor
  // returned is the caller's to free when FreeOnEof is true.
  virtual Integer ExecuteCommand(TCustomSQLDataDriverEh* SQLDataDriver, TCustomSQLCommandEh* Command,
                                 TDataSet*& Cursor, bool& FreeOnEof, bool& Processed) = 0;
  virtual void UpdateRecord(TCustomSQLDataDriverEh* SQLDataDriver, TMemTableDataEh* MemTableData,
                            TMemoryRecordEh* MemRec, bool& Processed) = 0;
  virtual void GetBackUpdatedValues(TCustomSQLDataDriverEh* SQLDataDriver, TMemoryRecordEh* MemRec,
                                    TCustomSQLCommandEh* Command, TDataSet* ResDataSet, bool& Processed) = 0;
  virtual void AddPostponedActivationDataSet(TDataSet* ADataSet) = 0;
  virtual bool ConnectionIsPostponed() = 0;
  virtual TComponent* GetDesignDataBase() = 0;
  // Fills FieldList with the column names of TableName.
  virtual void GetTableFieldList(const String& TableName, TStrings* FieldList) = 0;
};

// What a design database implements to run a driver's commands at design
// time (the driver tries it when it has no connection).
class IDesignDataBaseCommandEh : public IInterface {
public:
  static constexpr TGUID IID = TGUID::Literal("{01F477A4-8417-4DC9-B93A-1F95D2FF2EB8}");
  virtual void ExecuteCommand(TCustomSQLCommandEh* Command, TDataSet*& Cursor, bool& FreeOnEof) = 0;
};

using TResolverExecuteCommandEhEvent =
    TMethodPtr<Integer(TCustomSQLDataDriverEh* SQLDataDriver, TCustomSQLCommandEh* Command, TDataSet*& Cursor,
                       bool& FreeOnEof, bool& Processed)>;
using TResolverGetBackUpdatedValuesEhEvent =
    TMethodPtr<void(TCustomSQLDataDriverEh* SQLDataDriver, TMemoryRecordEh* MemRec, TCustomSQLCommandEh* Command,
                    TDataSet* ResDataSet, bool& Processed)>;
using TResolverGetServerSpecOperationsEh =
    TMethodPtr<void(bool& Processed, TServerSpecOperationsEh*& ServerSpecOperations)>;
using TResolverUpdateRecordEhEvent = TMethodPtr<void(TCustomSQLDataDriverEh* SQLDataDriver,
                                                     TMemTableDataEh* MemTableData, TMemoryRecordEh* MemRec,
                                                     bool& Processed)>;

// The process-wide party a connection layer can hook into instead of (or
// beside) a connection provider.  It owns nothing.
class TSQLDataDriverResolver : public TPersistent {
  RTL_CLASS(TSQLDataDriverResolver, TPersistent)
public:
  TSQLDataDriverResolver() = default;

  // properties
  // Not owned.
  TServerSpecOperationsEh* ServerSpecOperations() const { return FServerSpecOperations; }
  void SetServerSpecOperations(TServerSpecOperationsEh* Value) { FServerSpecOperations = Value; }

  // events
  TResolverExecuteCommandEhEvent OnExecuteCommand;
  TResolverGetBackUpdatedValuesEhEvent OnGetBackUpdatedValues;
  TResolverGetServerSpecOperationsEh OnGetServerSpecOperations;
  TResolverUpdateRecordEhEvent OnUpdateRecord;

  // introduced virtuals, in slot order
  // OnExecuteCommand decides; without it Processed is false and -1 answered.
  virtual Integer ExecuteCommand(TCustomSQLDataDriverEh* SQLDataDriver, TCustomSQLCommandEh* Command,
                                 TDataSet*& Cursor, bool& FreeOnEof, bool& Processed);
  // The operations OnGetServerSpecOperations gives when it processes, else
  // ServerSpecOperations; Processed tells whether there are any.
  virtual TServerSpecOperationsEh* GetServerSpecOperations(bool& Processed);
  virtual void DefaultGetUpdatedServerValues(TCustomSQLDataDriverEh* SQLDataDriver, TMemoryRecordEh* MemRec,
                                             TCustomSQLCommandEh* Command, TDataSet* ResDataSet);
  virtual Integer DefaultUpdateRecord(TCustomSQLDataDriverEh* SQLDataDriver, TMemTableDataEh* MemTableData,
                                      TMemoryRecordEh* MemRec);
  virtual void GetBackUpdatedValues(TCustomSQLDataDriverEh* SQLDataDriver, TMemoryRecordEh* MemRec,
                                    TCustomSQLCommandEh* Command, TDataSet* ResDataSet, bool& Processed);
  virtual Integer UpdateRecord(TCustomSQLDataDriverEh* SQLDataDriver, TMemTableDataEh* MemTableData,
                               TMemoryRecordEh* MemRec, bool& Processed);

private:
  TServerSpecOperationsEh* FServerSpecOperations = nullptr;
};

// The default resolver (nullptr before start-up and after shutdown).
TSQLDataDriverResolver* SQLDataDriverResolver();
// Installs Value as the default resolver and hands back the previous one,
// which the caller then owns; the unit frees the one installed at shutdown.
TSQLDataDriverResolver* SetSQLDataDriverResolver(TSQLDataDriverResolver* Value);

// A routine that finds or makes a design database for a driver and sets its
// DesignDataBase.
using TDesignDataBaseProcEh = void (*)(TCustomSQLDataDriverEh* DataDriver);
// Registers Proc for drivers of DataDriverClass and its descendants.
void RegisterDesignDataBaseProcEh(TClass DataDriverClass, TDesignDataBaseProcEh Proc);
void UnregisterDesignDataBaseProcEh(TClass DataDriverClass);

// ---------------------------------------------------------------------------
// the driver

using TDataDriverExecuteCommandEhEvent = TMethodPtr<Integer(TCustomSQLDataDriverEh* DataDriver,
                                                            TCustomSQLCommandEh* Command, TDataSet*& Cursor,
                                                            bool& FreeOnEof)>;
using TDataDriverGetBackUpdatedValuesEhEvent =
    TMethodPtr<void(TCustomSQLDataDriverEh* DataDriver, TMemoryRecordEh* MemRec, TCustomSQLCommandEh* Command,
                    TDataSet* ResDataSet)>;

class TCustomSQLDataDriverEh : public TDataDriverEh {
  RTL_CLASS(TCustomSQLDataDriverEh, TDataDriverEh)
public:
  explicit TCustomSQLDataDriverEh(TComponent* AOwner);
  ~TCustomSQLDataDriverEh() override;

  // ---------------------------------------------------------------------
  // commands (writing assigns into the owned command).  Each is made on
  // first use by its factory, so that a descendant's factory takes effect.
  TCustomSQLCommandEh* SelectCommand() { return command(FSelectCommand, &T::CreateSelectCommand); }
  void SetSelectCommand(TCustomSQLCommandEh* Value) { SelectCommand()->Assign(Value); }
  TCustomSQLCommandEh* InsertCommand() { return command(FInsertCommand, &T::CreateInsertCommand); }
  void SetInsertCommand(TCustomSQLCommandEh* Value) { InsertCommand()->Assign(Value); }
  TCustomSQLCommandEh* UpdateCommand() { return command(FUpdateCommand, &T::CreateUpdateCommand); }
  void SetUpdateCommand(TCustomSQLCommandEh* Value) { UpdateCommand()->Assign(Value); }
  TCustomSQLCommandEh* DeleteCommand() { return command(FDeleteCommand, &T::CreateDeleteCommand); }
  void SetDeleteCommand(TCustomSQLCommandEh* Value) { DeleteCommand()->Assign(Value); }
  TCustomSQLCommandEh* GetrecCommand() { return command(FGetrecCommand, &T::CreateGetrecCommand); }
  void SetGetrecCommand(TCustomSQLCommandEh* Value) { GetrecCommand()->Assign(Value); }
  // The scratch command generated and server-specific statements run in.
  TCustomSQLCommandEh* ServiceCommand();

  // the commands' texts and final texts
  TStrings* SelectSQL() { return SelectCommand()->CommandText(); }
  void SetSelectSQL(TStrings* Value) { SelectCommand()->SetCommandText(Value); }
  TStrings* InsertSQL() { return InsertCommand()->CommandText(); }
  void SetInsertSQL(TStrings* Value) { InsertCommand()->SetCommandText(Value); }
  TStrings* UpdateSQL() { return UpdateCommand()->CommandText(); }
  void SetUpdateSQL(TStrings* Value) { UpdateCommand()->SetCommandText(Value); }
  TStrings* DeleteSQL() { return DeleteCommand()->CommandText(); }
  void SetDeleteSQL(TStrings* Value) { DeleteCommand()->SetCommandText(Value); }
  TStrings* GetrecSQL() { return GetrecCommand()->CommandText(); }
  void SetGetrecSQL(TStrings* Value) { GetrecCommand()->SetCommandText(Value); }
  TStrings* FinalSelectSQL() { return SelectCommand()->FinalCommandText(); }
  TStrings* FinalInsertSQL() { return InsertCommand()->FinalCommandText(); }
  TStrings* FinalUpdateSQL() { return UpdateCommand()->FinalCommandText(); }
  TStrings* FinalDeleteSQL() { return DeleteCommand()->FinalCommandText(); }
  TStrings* FinalGetrecSQL() { return GetrecCommand()->FinalCommandText(); }

  // other properties (writing assigns)
  // Name=Value lines: AUTO_INCREMENT_FIELD, SEQUENCE, SEQUENCE_FIELD,
  // GENERATOR, GENERATOR_FIELD.
  TStrings* SpecParams() const;
  void SetSpecParams(TStrings* Value);
  TDynaSQLParamsEh* DynaSQLParams() const { return FDynaSQLParams; }
  void SetDynaSQLParams(TDynaSQLParamsEh* Value) { FDynaSQLParams->Assign(Value); }
  TMacroVarsEh* MacroVars() const { return FMacroVars; }
  void SetMacroVars(TMacroVarsEh* Value) { FMacroVars->Assign(Value); }
  // Not owned.
  TServerSpecOperationsEh* ServerSpecOperations() const { return FServerSpecOperations; }
  void SetServerSpecOperations(TServerSpecOperationsEh* Value) { FServerSpecOperations = Value; }
  // Watched by free notification; not owned.
  TComponent* DesignDataBase() const { return FDesignDataBase; }

  // events
  TDataDriverExecuteCommandEhEvent OnExecuteCommand;
  TDataDriverGetBackUpdatedValuesEhEvent OnGetBackUpdatedValues;

  // ---------------------------------------------------------------------
  // reimplemented
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // A numeric field named by AUTO_INCREMENT_FIELD becomes auto-increment.
  void AdjustDataStruct(TFields* Fields, TMTDataStructEh* DataStruct) override;
  bool ConnectionIsPostponed() override;
  void AddPostponedActivationDataSet(TDataSet* ADataSet) override;
  Integer DefaultUpdateRecord(TMemTableDataEh* MemTableData, TMemoryRecordEh* MemRec) override;
  // With a provider dataset the base behaviour; else true when a parameter of
  // the select command has a field of its name in DataSet with another value.
  bool RefreshReaderParamsFromCursor(TDataSet* DataSet) override;
  void DefaultBuildDataStruct(TMTDataStructEh* DataStruct) override;
  TDataSet* DefaultProduceDataReader(bool& FreeOnEof) override;
  void DefaultRefreshRecord(TMemoryRecordEh* MemRecord) override;
  // With a provider dataset the base behaviour; else every parameter of the
  // select command takes the value of DataSet's field of its name (a missing
  // field raises) and is left unbound, and the select command's SetParams
  // receives them.
  void SetReaderParamsFromCursor(TDataSet* DataSet) override;

  // ---------------------------------------------------------------------
  // introduced virtuals, in slot order
  virtual void CommandsFinalTextObsolete();
  virtual void SetDesignDataBase(TComponent* Value);
  // A new driver without owner (the caller's) with the five commands,
  // SpecParams, DynaSQLParams and MacroVars copied.
  virtual TCustomSQLDataDriverEh* CreateDesignCopy();
  virtual TComponent* CreateDesignDataBase();
  // The design database the nearest registered procedure gives; nullptr
  // when none is registered.
  virtual TComponent* ForceGetNewDesignDataBase();
  virtual TComponent* GetDesignDataBase();
  virtual void AssignFromDesignDriver(TCustomSQLDataDriverEh* DesignDataDriver);
  // False only for the AUTO_INCREMENT_FIELD of an inserted record (names
  // compared with case).
  virtual bool IsDynaSQLField(TUpdateStatus UpdateStatus, const String& FieldName);
  virtual TCustomSQLCommandEh* CreateCommand();
  virtual TCustomSQLCommandEh* CreateDeleteCommand();
  virtual TCustomSQLCommandEh* CreateGetrecCommand();
  virtual TCustomSQLCommandEh* CreateInsertCommand();
  virtual TCustomSQLCommandEh* CreateSelectCommand();
  virtual TCustomSQLCommandEh* CreateUpdateCommand();
  // cthSelectQuery for the select and get-record commands, else
  // cthUpdateQuery.
  virtual TSQLCommandTypeEh DefaultCommandTypeOf(TCustomSQLCommandEh* Command);
  virtual void CommandTextChanged(TCustomSQLCommandEh* Command);
  virtual TServerSpecOperationsEh* InternalGetServerSpecOperations();
  virtual Integer DefaultExecuteCommand(TCustomSQLCommandEh* Command, TDataSet*& Cursor, bool& FreeOnEof);
  // Resolves one change with a command of the driver (or to the provider
  // dataset with ResolveToDataSet).
  virtual Integer DoUpdateRecord(TMemTableDataEh* MemTableData, TMemoryRecordEh* MemRec);
  virtual Integer ExecuteCommand(TCustomSQLCommandEh* Command, TDataSet*& Cursor, bool& FreeOnEof);
  virtual bool FilterTextSupported();
  // nullptr here; a connection layer's driver answers its provider.
  virtual IConnectionProviderEh* GetConnectionProvider();
  virtual bool HaveDataConnection();
  virtual bool OrderByTextSupported();
  virtual void ApplyFilterText(const String& FilterText);
  virtual void ApplyOrderByText(const String& OrderByText);
  virtual void DefaultGetUpdatedServerValues(TMemoryRecordEh* MemRec, TCustomSQLCommandEh* Command,
                                             TDataSet* ResDataSet);
  // Writes the statement for MemRecord's change into Command.
  virtual void GenerateDynamicSQLCommand(TMemoryRecordEh* MemRecord, TCustomSQLCommandEh* Command);
  virtual void GetBackUpdatedValues(TMemoryRecordEh* MemRec, TCustomSQLCommandEh* Command, TDataSet* ResDataSet);

private:
  using T = TCustomSQLDataDriverEh;
  // Slot's command, made by Factory (with its default type) when missing.
  TCustomSQLCommandEh* command(TCustomSQLCommandEh*& Slot, TCustomSQLCommandEh* (T::*Factory)());
  TCustomSQLCommandEh* commandForUpdateStatus(TUpdateStatus Status);
  bool dynamicSQLFor(TUpdateStatus Status) const;
  // The select command executed for its cursor; raises when none came.
  TDataSet* selectCursor(bool& FreeOnEof);
  // The five commands made so far.
  std::vector<TCustomSQLCommandEh*> madeCommands() const;

  TCustomSQLCommandEh* FDeleteCommand = nullptr;  // owned, as are the other commands
  TCustomSQLCommandEh* FGetrecCommand = nullptr;
  TCustomSQLCommandEh* FInsertCommand = nullptr;
  TCustomSQLCommandEh* FSelectCommand = nullptr;
  TCustomSQLCommandEh* FUpdateCommand = nullptr;
  TComponent* FDesignDataBase = nullptr;
  TDynaSQLParamsEh* FDynaSQLParams = nullptr;  // owned
  TMacroVarsEh* FMacroVars = nullptr;          // owned
  TServerSpecOperationsEh* FServerSpecOperations = nullptr;
  TCustomSQLCommandEh* FServiceCommand = nullptr;  // owned
  TStringList* FSpecParams = nullptr;              // owned
};

// ---------------------------------------------------------------------------
// unit start-up and shutdown

// Start-up, after the memory-table unit: the server-type registry (the eight
// operations classes in their fixed order), the default server operations
// and the default resolver.  Shutdown frees them in reverse order, with the
// design-database procedures.
void InitializeSQLDataDriverEh();
void FinalizeSQLDataDriverEh();
inline constexpr TUnit GridLibSQLDataDriverUnitEh{"gridlib/memtable/sqldatadriver", &InitializeSQLDataDriverEh,
                                                  &FinalizeSQLDataDriverEh};
