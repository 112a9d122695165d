#include "gridlib/memtable/sqldatadriver.h"

#include "gridlib/base/dynvars.h"
#include "gridlib/memtable/datastruct.h"
#include "gridlib/memtable/memtable.h"
#include "gridlib/memtable/memtabledata.h"
#include "gridlib/memtable/recordslist.h"
#include "gridlib/memtable/serverspecoperations.h"
#include "platform/db/datasource.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fields.h"
#include "platform/db/params.h"
#include "platform/fd/fdconsts.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/typinfo.h"
#include "platform/rtl/units.h"
#include "tests/gridlib/memtable/sqldrivertesting.h"
#include "tests/platform/fd/fdfixture.h"

namespace {

using namespace sqldrivertest;
using Strings = std::vector<String>;

const char* const Schema = R"(
CREATE TABLE T (ID INTEGER PRIMARY KEY, NAME VARCHAR(40), PRICE REAL);
INSERT INTO T VALUES (1, 'one', 1.5);
INSERT INTO T VALUES (2, 'two', 2.5);
INSERT INTO T VALUES (3, 'three', 3.5);
)";

// A table T on a SQLite file, a driver whose connection provider runs on
// it, a container the driver fills, and a second raw connection.
class SQLDataDriver : public ::testing::Test {
protected:
  SQLDataDriver()
      : Connection(new TFDConnection(nullptr)),
        Provider(Connection),
        Driver(new TTestSQLDataDriver(nullptr)),
        Data(new TMemTableDataEh(nullptr)),
        Raw(File.Path) {
    InitializeUnits({GridLibSQLDataDriverUnitEh});
    fdtest::SetParams(*Connection, File.Path);
    Connection->ExecSQLScript(QString::fromLatin1(Schema));
    Driver->Provider = &Provider;
    SetSQL(Driver->SelectCommand(), QStringLiteral("select ID, NAME, PRICE from T order by ID"));
    Driver->DynaSQLParams()->SetUpdateTable(QStringLiteral("T"));
    Driver->DynaSQLParams()->SetKeyFields(QStringLiteral("ID"));
    Driver->DynaSQLParams()->SetUpdateFields(QStringLiteral("ID,NAME,PRICE"));
    Driver->DynaSQLParams()->SetOptions(
        {dsoDynamicSQLInsertEh, dsoDynamicSQLUpdateEh, dsoDynamicSQLDeleteEh});
  }
  ~SQLDataDriver() override {
    Data->Free();
    Driver->Free();
    Connection->Free();
  }

  TRecordsListEh* List() { return Data->RecordsList(); }
  // Builds the structure and reads every record, then logs changes.
  void load() {
    Driver->BuildDataStruct(Data->DataStruct());
    ASSERT_NE(Driver->GetDataReader(), nullptr);
    Driver->ReadData(Data, 100);
    List()->SetCachedUpdates(true);
    Provider.Ran.clear();
  }
  Integer field(const char* Name) { return Data->DataStruct()->FieldByName(QString::fromLatin1(Name))->Index(); }
  void edit(Integer RecNo, const char* Field, const Variant& Value) {
    TMemoryRecordEh* Rec = List()->GetRec(RecNo);
    Rec->Edit();
    Rec->SetDataValue(field(Field), dvvValueEh, Value);
    Rec->Post();
  }
  // ID, an auto-increment field, is numbered by the container (-1, -2, ...)
  // unless Id is given.
  TMemoryRecordEh* insert(const Variant& Id, const Variant& Name, const Variant& Price) {
    TMemoryRecordEh* Rec = List()->NewRecord();
    Rec->SetDataValue(field("NAME"), dvvValueEh, Name);
    Rec->SetDataValue(field("PRICE"), dvvValueEh, Price);
    List()->AddRecord(Rec);
    if (!VarIsNull(Id)) {
      Rec->Edit();
      Rec->SetDataValue(field("ID"), dvvValueEh, Id);
      Rec->Post();
    }
    return Rec;
  }
  Strings rows() { return Raw.Rows("SELECT ID, NAME, PRICE FROM T ORDER BY ID"); }

  fdtest::TTempDatabase File;
  TFDConnection* Connection;
  TSQLiteConnectionProvider Provider;
  TTestSQLDataDriver* Driver;
  TMemTableDataEh* Data;
  fdtest::TRawConnection Raw;
};

TEST(SQLDataDriverDefaults, NewDriverResolvesThroughCommands) {
  InitializeUnits({GridLibSQLDataDriverUnitEh});
  auto* Driver = new TCustomSQLDataDriverEh(nullptr);
  EXPECT_FALSE(Driver->ResolveToDataSet());
  EXPECT_EQ(Driver->SelectCommand()->CommandType(), cthSelectQuery);
  EXPECT_EQ(Driver->GetrecCommand()->CommandType(), cthSelectQuery);
  EXPECT_EQ(Driver->InsertCommand()->CommandType(), cthUpdateQuery);
  EXPECT_EQ(Driver->UpdateCommand()->CommandType(), cthUpdateQuery);
  EXPECT_EQ(Driver->DeleteCommand()->CommandType(), cthUpdateQuery);
  EXPECT_EQ(Driver->MacroVars()->SpecMacrosUsages(),
            (TSpecMacrosUsagesEh{smuFilterAsWhereClauseEh, smuSortOrderAsOrderByClauseEh}));
  EXPECT_EQ(Driver->MacroVars()->SpecMacros()->FilterMacroName(), QStringLiteral("%Filter%"));
  EXPECT_EQ(Driver->MacroVars()->SpecMacros()->SortOrderMacroName(), QStringLiteral("%SortOrder%"));
  EXPECT_EQ(Driver->GetConnectionProvider(), nullptr);
  Driver->Free();
}

TEST(SQLDataDriverMacros, ApplyFilterAndOrderByTextFollowTheUsages) {
  InitializeUnits({GridLibSQLDataDriverUnitEh});
  auto* Driver = new TCustomSQLDataDriverEh(nullptr);
  TMacroVarsEh* Vars = Driver->MacroVars();
  TSpecMacrosEh* Spec = Vars->SpecMacros();
  struct Case {
    const char* Name;
    TSpecMacrosUsagesEh Usages;
    const char* Filter;
    const char* OrderBy;
  } Cases[] = {
      {"default usages", TMacroVarsEh::DefaultSpecMacrosUsages, "WHERE A = 1", "ORDER BY A"},
      {"AND and comma", {smuFilterWithANDPrecedingEh, smuSortOrderWithCommaPrecedingEh}, "AND (A = 1)", ", A"},
      {"neither keeps the old value", {}, "old filter", "old order"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Vars->SetSpecMacrosUsages(C.Usages);
    Spec->SetFilterMacroValue(QStringLiteral("old filter"));
    Spec->SetSortOrderMacroValue(QStringLiteral("old order"));
    Driver->ApplyFilterText(QStringLiteral("A = 1"));
    Driver->ApplyOrderByText(QStringLiteral("A"));
    EXPECT_EQ(Spec->FilterMacroValue(), QString::fromLatin1(C.Filter));
    EXPECT_EQ(Spec->SortOrderMacroValue(), QString::fromLatin1(C.OrderBy));
    Driver->ApplyFilterText(String());
    Driver->ApplyOrderByText(String());
    EXPECT_EQ(Spec->FilterMacroValue(), String());
    EXPECT_EQ(Spec->SortOrderMacroValue(), String());
  }
  Driver->Free();
}

TEST(SQLDataDriverMacros, FinalTextReplacesMacrosAndFollowsTheirChanges) {
  InitializeUnits({GridLibSQLDataDriverUnitEh});
  auto* Driver = new TCustomSQLDataDriverEh(nullptr);
  SetSQL(Driver->SelectCommand(), QStringLiteral("select * from %Tab%\n%Filter%"));
  Driver->MacroVars()->Macros()->CreateDynVar(QStringLiteral("%Tab%"), QStringLiteral("T"));
  Driver->ApplyFilterText(QStringLiteral("A = 1"));
  // Without smuUseFilterMacroEh the filter macro stays.
  EXPECT_EQ(Lines(Driver->FinalSelectSQL()), (Strings{"select * from T", "%Filter%"}));

  Driver->MacroVars()->SetSpecMacrosUsages(TMacroVarsEh::DefaultSpecMacrosUsages + TSpecMacrosUsagesEh{smuUseFilterMacroEh});
  Driver->ApplyFilterText(QStringLiteral("A = 1"));
  EXPECT_EQ(Lines(Driver->FinalSelectSQL()), (Strings{"select * from T", "WHERE A = 1"}));

  Driver->MacroVars()->Macros()->SetVarValue(QStringLiteral("%Tab%"), QStringLiteral("U %Tab%"));
  EXPECT_EQ(Lines(Driver->FinalSelectSQL()), (Strings{"select * from U %Tab%", "WHERE A = 1"}))
      << "a value holding the macro's name is inserted once";
  SetSQL(Driver->SelectCommand(), QStringLiteral("select 1"));
  EXPECT_EQ(Lines(Driver->FinalSelectSQL()), (Strings{"select 1"}));
  Driver->Free();
}

TEST(SQLDataDriverMacros, SubstituteMacroReplacesEveryOccurrence) {
  struct Case {
    const char* Text;
    const char* Name;
    const char* Value;
    const char* Expected;
  } Cases[] = {
      {"%F%a%", "%F%", "V", "Va%"},  // two characters after the name, the last a "%"
      {"x %F% y %F%", "%F%", "V", "x V y V"},
      {"%F%", "%F%", "%F%%F%", "%F%%F%"},
      {"%f%", "%F%", "V", "%f%"},
      {"abc", "", "V", "abc"},
      {"", "%F%", "V", ""},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Text);
    EXPECT_EQ(TMacroVarsEh::SubstituteMacro(QString::fromLatin1(C.Text), QString::fromLatin1(C.Name),
                                            QString::fromLatin1(C.Value)),
              QString::fromLatin1(C.Expected));
  }
}

TEST_F(SQLDataDriver, SelectsWithMacrosAndParameters) {
  SetSQL(Driver->SelectCommand(), QStringLiteral("select ID, NAME, PRICE from %Tab% %Filter% %SortOrder%"));
  Driver->MacroVars()->Macros()->CreateDynVar(QStringLiteral("%Tab%"), QStringLiteral("T"));
  Driver->MacroVars()->SetSpecMacrosUsages(TMacroVarsEh::DefaultSpecMacrosUsages +
                                           TSpecMacrosUsagesEh{smuUseFilterMacroEh, smuUseSortOrderMacroEh});
  Driver->ApplyFilterText(QStringLiteral("PRICE > :MINPRICE"));
  Driver->ApplyOrderByText(QStringLiteral("NAME DESC"));
  Driver->SelectCommand()->RebuildParams();
  Driver->SelectCommand()->GetParams()->ParamByName(QStringLiteral("MINPRICE"))->SetValue(2.0);
  load();
  ASSERT_EQ(List()->Count(), 2);
  EXPECT_EQ(List()->GetRec(0)->GetDataValue(field("NAME"), dvvValueEh).AsString(), QStringLiteral("two"));
  EXPECT_EQ(List()->GetRec(1)->GetDataValue(field("NAME"), dvvValueEh).AsString(), QStringLiteral("three"));
  EXPECT_TRUE(Driver->ProviderEOF());
  EXPECT_EQ(Lines(Driver->FinalSelectSQL()),
            (Strings{"select ID, NAME, PRICE from T WHERE PRICE > :MINPRICE ORDER BY NAME DESC"}));
}

TEST_F(SQLDataDriver, AppliesDynamicStatementsWithTheValuesBound) {
  load();
  const String Hostile = QStringLiteral("x'); DROP TABLE T; --");
  edit(0, "NAME", Hostile);
  List()->DeleteRecord(1);
  insert(10, QStringLiteral("ten"), 10.5);
  EXPECT_EQ(Driver->ApplyUpdates(Data), 3);

  EXPECT_EQ(rows(), (Strings{"1|x'); DROP TABLE T; --|1.5", "3|three|3.5", "10|ten|10.5"}));
  EXPECT_FALSE(List()->HasCachedChanges());
  ASSERT_EQ(Provider.Ran.size(), 3u);
  EXPECT_EQ(Provider.Ran[0].Text, QStringLiteral("update T\nset\n ID = :ID,\n NAME = :NAME,\n PRICE = :PRICE\nwhere\n"
                                                 " ID = :OLD_ID"));
  EXPECT_EQ(Provider.Ran[0].Values.at(QStringLiteral("NAME")).AsString(), Hostile);
  EXPECT_EQ(Provider.Ran[0].Values.at(QStringLiteral("OLD_ID")).AsInteger(), 1);
  EXPECT_EQ(Provider.Ran[1].Text, QStringLiteral("delete from T\nwhere\n ID = :OLD_ID"));
}

TEST_F(SQLDataDriver, AChangedKeyIsFoundByItsOldValue) {
  load();
  edit(1, "ID", 20);
  EXPECT_EQ(Driver->ApplyUpdates(Data), 1);
  EXPECT_EQ(rows(), (Strings{"1|one|1.5", "3|three|3.5", "20|two|2.5"}));
}

TEST_F(SQLDataDriver, StaticCommandsRunWhenNoDynamicOptionIsSet) {
  Driver->DynaSQLParams()->SetOptions({});
  SetSQL(Driver->UpdateCommand(), QStringLiteral("update T set NAME = :NAME where ID = :OLD_ID"));
  SetSQL(Driver->InsertCommand(), QStringLiteral("insert into T (ID, NAME) values (:ID, :NAME)"));
  SetSQL(Driver->DeleteCommand(), QStringLiteral("delete from T where ID = :OLD_ID"));
  load();
  edit(2, "NAME", QStringLiteral("drei"));
  List()->DeleteRecord(0);
  insert(4, QStringLiteral("four"), Null());
  EXPECT_EQ(Driver->ApplyUpdates(Data), 3);
  EXPECT_EQ(rows(), (Strings{"2|two|2.5", "3|drei|3.5", "4|four|NULL"}));
}

TEST_F(SQLDataDriver, KeysGeneratedOnInsertComeBackIntoTheRecord) {
  // SQLite's last insert rowid stands in for the identity statement.
  Provider.CannedAnswers[QStringLiteral("SELECT @@IDENTITY")] = QStringLiteral("select last_insert_rowid()");
  TMSSQLSpecOperationsEh Identity;
  Driver->SetServerSpecOperations(&Identity);
  Driver->SpecParams()->SetText(QStringLiteral("AUTO_INCREMENT_FIELD=ID"));
  load();
  EXPECT_TRUE(Data->DataStruct()->FieldByName(QStringLiteral("ID"))->AutoIncrement());
  TMemoryRecordEh* Rec = insert(Null(), QStringLiteral("new"), 7.0);
  EXPECT_EQ(Rec->GetDataValue(field("ID"), dvvValueEh).AsInteger(), -1);
  edit(0, "NAME", QStringLiteral("uno"));  // a modified record fetches nothing

  EXPECT_EQ(Driver->ApplyUpdates(Data), 2);
  EXPECT_EQ(Rec->GetDataValue(field("ID"), dvvValueEh).AsInteger(), 4);
  EXPECT_EQ(rows(), (Strings{"1|uno|1.5", "2|two|2.5", "3|three|3.5", "4|new|7.0"}));
  EXPECT_EQ(Provider.Texts(), (Strings{"insert into T\n  (NAME, PRICE)\nvalues\n  (:NAME, :PRICE)", "SELECT @@IDENTITY",
                                       "update T\nset\n ID = :ID,\n NAME = :NAME,\n PRICE = :PRICE\nwhere\n"
                                       " ID = :OLD_ID"}));
  EXPECT_EQ(Provider.Ran[0].Values.size(), 2u);
  EXPECT_TRUE(Provider.Ran[1].Values.empty()) << "the key statement carries none of the insert's parameters";
}

TEST_F(SQLDataDriver, GeneratorValueIsTakenBeforeTheInsertAndReadBackAfter) {
  Provider.CannedAnswers[QStringLiteral("SELECT GEN_ID(G, 1) FROM RDB$DATABASE")] = QStringLiteral("select 42");
  Provider.CannedAnswers[QStringLiteral("SELECT GEN_ID(G, 0) FROM RDB$DATABASE")] = QStringLiteral("select 42");
  TInterbaseSpecOperationsEh Generator;
  Driver->SetServerSpecOperations(&Generator);
  Driver->SpecParams()->SetText(QStringLiteral("GENERATOR=G\nGENERATOR_FIELD=ID"));
  load();
  TMemoryRecordEh* Rec = insert(Null(), QStringLiteral("gen"), 1.0);
  EXPECT_EQ(Driver->ApplyUpdates(Data), 1);
  EXPECT_EQ(Rec->GetDataValue(field("ID"), dvvValueEh).AsInteger(), 42);
  EXPECT_EQ(rows().back(), QStringLiteral("42|gen|1.0"));
  ASSERT_EQ(Provider.Ran.size(), 3u);
  EXPECT_EQ(Provider.Ran[0].Text, QStringLiteral("SELECT GEN_ID(G, 1) FROM RDB$DATABASE"));
  EXPECT_EQ(Provider.Ran[1].Values.at(QStringLiteral("ID")).AsInteger(), 42);
  EXPECT_EQ(Provider.Ran[2].Text, QStringLiteral("SELECT GEN_ID(G, 0) FROM RDB$DATABASE"));
  EXPECT_TRUE(Provider.Ran[2].Values.empty()) << "the key statement carries none of the insert's parameters";
}

TEST_F(SQLDataDriver, KeyStatementsOfTheOtherServers) {
  struct Case {
    const char* Name;
    TServerSpecOperationsEh* Operations;
    const char* SpecParams;
    const char* Statement;
  };
  TOracleSpecOperationsEh Oracle;
  TInformixSpecOperationsEh Informix;
  TMSAccessSpecOperationsEh Access;
  const Case Cases[] = {
      {"Oracle, before", &Oracle, "SEQUENCE=S\nSEQUENCE_FIELD=ID", "SELECT S.curval FROM dual"},
      {"Informix, after", &Informix, "AUTO_INCREMENT_FIELD=ID",
       "select DBINFO(\"sqlca.sqlerrd1\") from systables where tabid=1"},
      {"MSAccess, after", &Access, "AUTO_INCREMENT_FIELD=ID", "SELECT @@IDENTITY"},
  };
  load();
  Integer Id = 50;
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Provider.CannedAnswers[QString::fromLatin1(C.Statement)] = QStringLiteral("select %1").arg(++Id);
    Driver->SetServerSpecOperations(C.Operations);
    Driver->SpecParams()->SetText(QString::fromLatin1(C.SpecParams));
    Provider.Ran.clear();
    TMemoryRecordEh* Rec = insert(Id, QStringLiteral("n"), 1.0);
    EXPECT_EQ(Driver->ApplyUpdates(Data), 1);
    EXPECT_EQ(Rec->GetDataValue(field("ID"), dvvValueEh).AsInteger(), Id);
    const Strings Texts = Provider.Texts();
    EXPECT_NE(std::find(Texts.begin(), Texts.end(), QString::fromLatin1(C.Statement)), Texts.end());
  }
}

TEST_F(SQLDataDriver, ServerErrorsReachTheCallerOrTheUpdateErrorHandler) {
  load();
  insert(2, QStringLiteral("duplicate"), 0.0);
  edit(0, "NAME", QStringLiteral("uno"));
  EXPECT_THROW(Driver->ApplyUpdates(Data), EFDDBEngineException);
  EXPECT_TRUE(List()->HasCachedChanges());

  std::vector<String> Errors;
  Driver->OnUpdateError = TDataDriverUpdateErrorEhEvent(
      [&](TDataDriverEh*, TMemTableDataEh*, TMemoryRecordEh* Rec, TUpdateErrorActionEh& Action) {
        Errors.push_back(Rec->GetDataValue(field("NAME"), dvvValueEh).AsString());
        Action = ueaCountinueSkip;
      });
  EXPECT_EQ(Driver->ApplyUpdates(Data), 1);
  EXPECT_EQ(Errors, Strings{"duplicate"});
  EXPECT_EQ(rows(), (Strings{"1|uno|1.5", "2|two|2.5", "3|three|3.5"}));
  ASSERT_EQ(List()->DeltaList().Count(), 1);
  auto* Failed = static_cast<TMemoryRecordEh*>(List()->DeltaList().Items(0));
  ASSERT_NE(Failed->UpdateError(), nullptr);
  EXPECT_TRUE(Failed->UpdateError()->GetException()->Message.contains(u"UNIQUE"));
}

TEST_F(SQLDataDriver, ACommandNobodyExecutesIsAnErrorNotAnAppliedChange) {
  load();
  Driver->Provider = nullptr;
  edit(0, "NAME", QStringLiteral("lost?"));
  EXPECT_RAISES(Driver->ApplyUpdates(Data), EDatabaseError,
                "No connection provider or resolver executed the SQL command; the change was not applied");
  EXPECT_TRUE(List()->HasCachedChanges());
  EXPECT_EQ(rows().front(), QStringLiteral("1|one|1.5"));

  // An update with nothing to set executes nothing, and is no error.
  Driver->DynaSQLParams()->SetSkipUnchangedFields(true);
  edit(0, "NAME", QStringLiteral("one"));
  EXPECT_EQ(Driver->ApplyUpdates(Data), 1);
  EXPECT_FALSE(List()->HasCachedChanges());
}

TEST_F(SQLDataDriver, TheResolverRunsCommandsForADriverWithoutProvider) {
  load();
  Driver->Provider = nullptr;
  TSQLDataDriverResolver* Resolver = SQLDataDriverResolver();
  std::vector<String> Seen;
  Resolver->OnExecuteCommand = TResolverExecuteCommandEhEvent(
      [&](TCustomSQLDataDriverEh* D, TCustomSQLCommandEh* Command, TDataSet*& Cursor, bool& FreeOnEof,
          bool& Processed) -> Integer {
        Seen.push_back(Command->FinalCommandText()->Text().replace(QStringLiteral("\r\n"), QStringLiteral("\n")).trimmed());
        return Provider.ExecuteCommand(D, Command, Cursor, FreeOnEof, Processed);
      });
  const TScopeExit Unhook([Resolver] { Resolver->OnExecuteCommand = nullptr; });
  List()->DeleteRecord(2);
  EXPECT_EQ(Driver->ApplyUpdates(Data), 1);
  EXPECT_EQ(Seen, Strings{"delete from T\nwhere\n ID = :OLD_ID"});
  EXPECT_EQ(rows().size(), 2u);

  auto* Replacement = new TSQLDataDriverResolver;
  TSQLDataDriverResolver* Previous = SetSQLDataDriverResolver(Replacement);
  EXPECT_EQ(Previous, Resolver);
  EXPECT_EQ(SQLDataDriverResolver(), Replacement);
  EXPECT_EQ(SetSQLDataDriverResolver(Previous), Replacement);
  delete Replacement;
}

TEST_F(SQLDataDriver, ResolverHandlersAndOperationsComeBeforeTheDriversOwn) {
  load();
  TSQLDataDriverResolver* Resolver = SQLDataDriverResolver();
  // Operations of the resolver write the dynamic statements.
  struct TUpperCaseDelete : TServerSpecOperationsEh {
    void GenerateDynaSQLCommand(TMemoryRecordEh* MemRec, TCustomSQLCommandEh* Command) override {
      TServerSpecOperationsEh::GenerateDynaSQLCommand(MemRec, Command);
      Command->CommandText()->SetStrings(0, QStringLiteral("DELETE FROM T"));
    }
  } Operations;
  Resolver->SetServerSpecOperations(&Operations);
  std::vector<TUpdateStatus> Handled;
  Resolver->OnUpdateRecord = TResolverUpdateRecordEhEvent(
      [&](TCustomSQLDataDriverEh*, TMemTableDataEh*, TMemoryRecordEh* Rec, bool& Processed) {
        Handled.push_back(Rec->UpdateStatus());
        Processed = Rec->UpdateStatus() == usModified;
      });
  const TScopeExit Unhook([Resolver] {
    Resolver->OnUpdateRecord = nullptr;
    Resolver->SetServerSpecOperations(nullptr);
  });
  edit(0, "NAME", QStringLiteral("handled elsewhere"));
  List()->DeleteRecord(1);
  EXPECT_EQ(Driver->ApplyUpdates(Data), 2);
  EXPECT_EQ(Handled, (std::vector<TUpdateStatus>{usModified, usDeleted}));
  EXPECT_EQ(Provider.Texts(), Strings{"DELETE FROM T\nwhere\n ID = :OLD_ID"});
  EXPECT_EQ(rows(), (Strings{"1|one|1.5", "3|three|3.5"}));
}

TEST_F(SQLDataDriver, WithResolveToDataSetTheProviderDataSetReadsAndTakesTheChanges) {
  auto* Query = new TFDQuery(nullptr);
  const TScopeExit FreeQuery([Query] { Query->Free(); });
  Query->SetConnection(Connection);
  Query->SQL()->SetText(QStringLiteral("select ID, NAME, PRICE from T order by ID"));
  Driver->SetProviderDataSet(Query);
  Driver->SetKeyFields(QStringLiteral("ID"));
  Driver->SetResolveToDataSet(true);
  load();
  ASSERT_EQ(List()->Count(), 3);
  edit(0, "NAME", QStringLiteral("through the query"));
  List()->DeleteRecord(2);
  EXPECT_EQ(Driver->ApplyUpdates(Data), 2);
  EXPECT_EQ(rows(), (Strings{"1|through the query|1.5", "2|two|2.5"}));
  EXPECT_TRUE(Provider.Ran.empty()) << "no command runs";

  Raw.Exec("UPDATE T SET NAME = 'fresh' WHERE ID = 2");
  Query->Close();
  Query->Open();
  Driver->RefreshRecord(List()->GetRec(1));
  EXPECT_EQ(List()->GetRec(1)->GetDataValue(field("NAME"), dvvValueEh).AsString(), QStringLiteral("fresh"));
  EXPECT_TRUE(Provider.Ran.empty());
}

TEST_F(SQLDataDriver, RefreshesOneRecordFromTheGetRecordCommand) {
  load();
  // The columns in another order than the select's.
  SetSQL(Driver->GetrecCommand(), QStringLiteral("select PRICE, NAME, ID from T where ID = :OLD_ID"));
  Raw.Exec("UPDATE T SET NAME = 'fresh', PRICE = 9.5 WHERE ID = 2");
  TMemoryRecordEh* Rec = List()->GetRec(1);
  Driver->RefreshRecord(Rec);
  EXPECT_EQ(Rec->GetDataValue(field("NAME"), dvvValueEh).AsString(), QStringLiteral("fresh"));
  EXPECT_EQ(Rec->GetDataValue(field("PRICE"), dvvValueEh).AsDouble(), 9.5);
  EXPECT_EQ(Rec->GetDataValue(field("ID"), dvvValueEh).AsInteger(), 2);
  EXPECT_EQ(Provider.Ran.back().Values.at(QStringLiteral("OLD_ID")).AsInteger(), 2);

  Raw.Exec("DELETE FROM T WHERE ID = 3");
  EXPECT_RAISES(Driver->RefreshRecord(List()->GetRec(2)), Exception, "There are no fresh record on server");
  EXPECT_EQ(List()->GetRec(2)->EditState(), resBrowseEh);
}

TEST_F(SQLDataDriver, AMemoryTableReadsAndWritesThroughTheDriver) {
  Provider.CannedAnswers[QStringLiteral("SELECT @@IDENTITY")] = QStringLiteral("select last_insert_rowid()");
  TMSSQLSpecOperationsEh Identity;
  Driver->SetServerSpecOperations(&Identity);
  Driver->SpecParams()->SetText(QStringLiteral("AUTO_INCREMENT_FIELD=ID"));
  SetSQL(Driver->GetrecCommand(), QStringLiteral("select ID, NAME, PRICE from T where ID = :OLD_ID"));
  auto* Table = new TMemTableEh(nullptr);
  const TScopeExit FreeTable([Table] { Table->Free(); });
  Table->SetDataDriver(Driver);
  Table->SetCachedUpdates(true);
  Table->Open();
  Table->Last();
  EXPECT_EQ(Table->RecordCount(), 3);

  Table->First();
  Table->Edit();
  Table->FieldByName(QStringLiteral("NAME"))->SetValue(QStringLiteral("uno"));
  Table->Post();
  Table->Next();
  Table->Delete();
  Table->Append();
  Table->FieldByName(QStringLiteral("NAME"))->SetValue(QStringLiteral("\u0447\u0435\u0442\u044B\u0440\u0435"));
  Table->FieldByName(QStringLiteral("PRICE"))->SetValue(4.5);
  Table->Post();
  EXPECT_EQ(Table->FieldByName(QStringLiteral("ID"))->Value().AsInteger(), -1);

  EXPECT_EQ(Table->ApplyUpdates(-1), 3);
  EXPECT_EQ(rows(), (Strings{"1|uno|1.5", "3|three|3.5", "4|\u0447\u0435\u0442\u044B\u0440\u0435|4.5"}));
  Table->Last();
  EXPECT_EQ(Table->FieldByName(QStringLiteral("ID"))->Value().AsInteger(), 4);

  // A change on the server comes back through the get-record command.
  Raw.Exec("UPDATE T SET PRICE = 40 WHERE ID = 4");
  Table->RefreshRecord();
  EXPECT_EQ(Table->FieldByName(QStringLiteral("PRICE"))->Value().AsDouble(), 40.0);
}

TEST_F(SQLDataDriver, ADetailSelectTakesItsParameterFromTheMasterCursor) {
  Connection->ExecSQLScript(QStringLiteral(
      "CREATE TABLE S (sbgr4_nmb INTEGER, TITLE TEXT);"
      "INSERT INTO S VALUES (1, 'first'), (1, 'first again'), (2, 'second'), (3, 'empty');"
      "CREATE TABLE B (ID INTEGER PRIMARY KEY, sbgr4_nmb INTEGER, NAME TEXT);"
      "INSERT INTO B VALUES (1, 1, 'a'), (2, 2, 'b'), (3, 1, 'c');"));
  const String DetailSelect = QStringLiteral("select ID, NAME from B where sbgr4_nmb = :sbgr4_nmb order by ID");
  SetSQL(Driver->SelectCommand(), DetailSelect);
  Driver->SelectCommand()->RebuildParams();
  TParam* Param = Driver->SelectCommand()->GetParams()->ParamByName(QStringLiteral("sbgr4_nmb"));
  Param->SetValue(99);  // a bound value follows the master as well

  auto* Master = new TFDQuery(nullptr);
  auto* MasterSource = new TDataSource(nullptr);
  auto* Detail = new TMemTableEh(nullptr);
  const TScopeExit FreeAll([&] {
    Detail->Free();
    MasterSource->Free();
    Master->Free();
  });
  Master->SetConnection(Connection);
  Master->SQL()->SetText(QStringLiteral("select sbgr4_nmb, TITLE from S order by rowid"));
  Master->Open();
  MasterSource->SetDataSet(Master);
  Detail->SetFetchAllOnOpen(true);
  Detail->SetDataDriver(Driver);
  Detail->SetMasterDetailSide(mdsOnProviderEh);
  Detail->SetMasterSource(MasterSource);
  Detail->SetMasterFields(QStringLiteral("sbgr4_nmb"));
  Detail->Open();

  auto names = [Detail] {
    Strings Result;
    for (Detail->First(); !Detail->Eof(); Detail->Next())
      Result.push_back(Detail->FieldByName(QStringLiteral("NAME"))->AsString());
    return Result;
  };
  auto selects = [&] {
    const Strings Texts = Provider.Texts();
    return std::count(Texts.begin(), Texts.end(), DetailSelect);
  };
  EXPECT_EQ(names(), (Strings{"a", "c"}));
  EXPECT_EQ(Param->Value().AsInteger(), 1);
  EXPECT_FALSE(Param->Bound()) << "left unbound for the next master move";
  EXPECT_EQ(Provider.Ran.back().Values.at(QStringLiteral("SBGR4_NMB")).AsInteger(), 1);

  struct Step {
    int MasterRecNo;
    Strings Names;
    long NewSelects;
  } Steps[] = {
      {2, {"a", "c"}, 0},  // the same value: nothing is read again
      {3, {"b"}, 1},
      {4, {}, 1},
      {1, {"a", "c"}, 1},
  };
  for (const Step& S : Steps) {
    SCOPED_TRACE(S.MasterRecNo);
    const long Before = selects();
    Master->SetRecNo(S.MasterRecNo);
    EXPECT_EQ(names(), S.Names);
    EXPECT_EQ(selects() - Before, S.NewSelects);
  }

  // A parameter the master has no field for: the platform's field error.
  SetSQL(Driver->SelectCommand(), QStringLiteral("select ID, NAME from B where sbgr4_nmb = :nope"));
  Driver->SelectCommand()->RebuildParams();
  EXPECT_THROW(Driver->SetReaderParamsFromCursor(Master), EDatabaseError);
}

TEST(SQLDataDriverStreaming, CommandParametersTravelWithTheCommands) {
  InitializeUnits({GridLibSQLDataDriverUnitEh});
  auto* Driver = new TTestSQLDataDriver(nullptr);
  auto* Copy = new TTestSQLDataDriver(nullptr);
  const TScopeExit FreeBoth([&] {
    Copy->Free();
    Driver->Free();
  });
  SetSQL(Driver->SelectCommand(), QStringLiteral("select * from B where sbgr4_nmb = :sbgr4_nmb and NAME > :FROM_NAME"));
  Driver->SelectCommand()->RebuildParams();
  TParam* Group = Driver->SelectCommand()->GetParams()->ParamByName(QStringLiteral("sbgr4_nmb"));
  Group->SetDataType(ftInteger);
  Group->SetParamType(ptInput);
  SetSQL(Driver->GetrecCommand(), QStringLiteral("select * from B where ID = :OLD_ID"));
  Driver->GetrecCommand()->RebuildParams();
  TMemoryStream Stream;
  Stream.WriteComponent(Driver);

  Stream.SetPosition(0);
  Stream.ReadComponent(Copy);
  EXPECT_EQ(Lines(Copy->SelectSQL()), Lines(Driver->SelectSQL()));
  TParams* Select = Copy->SelectCommand()->GetParams();
  ASSERT_EQ(Select->Count(), 2);
  EXPECT_EQ(Select->Items(0)->Name(), QStringLiteral("sbgr4_nmb"));
  EXPECT_EQ(Select->Items(0)->DataType(), ftInteger);
  EXPECT_EQ(Select->Items(0)->ParamType(), ptInput);
  EXPECT_EQ(Select->Items(1)->Name(), QStringLiteral("FROM_NAME"));
  EXPECT_EQ(Select->Items(1)->DataType(), ftUnknown);
  ASSERT_EQ(Copy->GetrecCommand()->GetParams()->Count(), 1);
  EXPECT_EQ(Copy->GetrecCommand()->GetParams()->Items(0)->Name(), QStringLiteral("OLD_ID"));
  EXPECT_EQ(Copy->UpdateCommand()->GetParams()->Count(), 0);
}

TEST_F(SQLDataDriver, BuildingTheStructureNeedsASelectCursor) {
  Driver->Provider = nullptr;
  EXPECT_RAISES(Driver->BuildDataStruct(Data->DataStruct()), Exception, "SelectCommand.Execute does not get DataSet");
  Driver->Provider = &Provider;
  Driver->SpecParams()->SetText(QStringLiteral("AUTO_INCREMENT_FIELD=NAME"));
  Driver->BuildDataStruct(Data->DataStruct());
  EXPECT_EQ(Data->DataStruct()->Count(), 3);
  EXPECT_FALSE(Data->DataStruct()->FieldByName(QStringLiteral("NAME"))->AutoIncrement()) << "not numeric";
}

TEST_F(SQLDataDriver, UpdateFieldsFromTheDatabaseSchemaLeaveTheKeysOut) {
  load();
  Driver->DynaSQLParams()->SetUpdateFieldListSource(tflsDataBaseSchemaEh);
  TStringList Fields;
  Driver->DynaSQLParams()->GetUpdateFields(&Fields, List()->GetRec(0));
  EXPECT_EQ(Fields.CommaText(), QStringLiteral("NAME,PRICE"));
}

TEST(SQLDataDriverCopies, ADesignCopyCarriesCommandsParamsAndMacros) {
  InitializeUnits({GridLibSQLDataDriverUnitEh});
  auto* Driver = new TCustomSQLDataDriverEh(nullptr);
  SetSQL(Driver->SelectCommand(), QStringLiteral("select * from T %Filter%"));
  SetSQL(Driver->UpdateCommand(), QStringLiteral("update T set A = :A"));
  Driver->UpdateCommand()->SetCommandType(cthStoredProc);
  Driver->SpecParams()->SetText(QStringLiteral("AUTO_INCREMENT_FIELD=ID"));
  Driver->DynaSQLParams()->SetUpdateTable(QStringLiteral("T"));
  Driver->DynaSQLParams()->SetOptions({dsoDynamicSQLDeleteEh});
  Driver->MacroVars()->Macros()->CreateDynVar(QStringLiteral("%M%"), QStringLiteral("m"));
  Driver->MacroVars()->SpecMacros()->SetFilterMacroName(QStringLiteral("%F%"));
  Driver->MacroVars()->SetSpecMacrosUsages({smuUseFilterMacroEh});

  TCustomSQLDataDriverEh* Copy = Driver->CreateDesignCopy();
  EXPECT_EQ(Copy->Owner(), nullptr);
  EXPECT_EQ(Lines(Copy->SelectSQL()), Lines(Driver->SelectSQL()));
  EXPECT_EQ(Lines(Copy->UpdateSQL()), (Strings{"update T set A = :A"}));
  EXPECT_EQ(Copy->UpdateCommand()->CommandType(), cthStoredProc);
  EXPECT_EQ(Copy->SpecParams()->Text(), Driver->SpecParams()->Text());
  EXPECT_EQ(Copy->DynaSQLParams()->UpdateTable(), QStringLiteral("T"));
  EXPECT_EQ(Copy->DynaSQLParams()->Options(), TDynaSQLOptionsEh{dsoDynamicSQLDeleteEh});
  EXPECT_EQ(Copy->MacroVars()->Macros()->GetVarValue(QStringLiteral("%M%")), QStringLiteral("m"));
  EXPECT_EQ(Copy->MacroVars()->SpecMacros()->FilterMacroName(), QStringLiteral("%F%"));
  EXPECT_EQ(Copy->MacroVars()->SpecMacrosUsages(), TSpecMacrosUsagesEh{smuUseFilterMacroEh});

  // The published properties, with the stream's stored rules.
  EXPECT_EQ(GetStrProp(Copy->DynaSQLParams(), QStringLiteral("UpdateTable")), QStringLiteral("T"));
  EXPECT_TRUE(IsStoredProp(Copy->UpdateCommand(), QStringLiteral("CommandType")));
  EXPECT_FALSE(IsStoredProp(Copy->SelectCommand(), QStringLiteral("CommandType")));
  EXPECT_TRUE(IsStoredProp(Copy->MacroVars()->SpecMacros(), QStringLiteral("FilterMacroName")));
  EXPECT_FALSE(IsStoredProp(Copy->MacroVars()->SpecMacros(), QStringLiteral("SortOrderMacroName")));
  EXPECT_EQ(Copy->UpdateCommand()->GetNamePath(), QStringLiteral("SQLCommand"));
  Copy->Free();
  Driver->Free();
}

struct TDesignProcs {
  static inline std::vector<const char*> Called;
  static inline TComponent* DataBase = nullptr;
  static void Far(TCustomSQLDataDriverEh*) { Called.push_back("far"); }
  static void Near(TCustomSQLDataDriverEh* Driver) {
    Called.push_back("near");
    Driver->SetDesignDataBase(DataBase);
  }
};

TEST(SQLDataDriverDesignDataBase, TheNearestRegisteredProcedureIsCalled) {
  InitializeUnits({GridLibSQLDataDriverUnitEh});
  auto* Driver = new TCustomSQLDataDriverEh(nullptr);
  TDesignProcs::DataBase = new TComponent(nullptr);
  EXPECT_EQ(Driver->ForceGetNewDesignDataBase(), nullptr);
  RegisterDesignDataBaseProcEh(TComponent::StaticClass(), &TDesignProcs::Far);
  RegisterDesignDataBaseProcEh(TCustomSQLDataDriverEh::StaticClass(), &TDesignProcs::Near);
  EXPECT_EQ(Driver->ForceGetNewDesignDataBase(), TDesignProcs::DataBase);
  EXPECT_EQ(TDesignProcs::Called, (std::vector<const char*>{"near"}));
  UnregisterDesignDataBaseProcEh(TComponent::StaticClass());
  UnregisterDesignDataBaseProcEh(TCustomSQLDataDriverEh::StaticClass());
  // Freeing the database clears the driver's reference.
  TDesignProcs::DataBase->Free();
  EXPECT_EQ(Driver->DesignDataBase(), nullptr);
  Driver->Free();
}

}  // namespace
