#include "gridlib/memtable/serverspecoperations.h"

#include "gridlib/memtable/sqldatadriver.h"
#include "platform/db/dbconsts.h"
#include "platform/rtl/units.h"
#include "tests/gridlib/memtable/memtabletesting.h"
#include "tests/gridlib/memtable/sqldrivertesting.h"

namespace {

using namespace sqldrivertest;
using Strings = std::vector<String>;

// Records of a table T (ID, NAME, PRICE) in each update state, and a driver
// whose dynamic SQL writes them.
class DynamicSQL : public ::testing::Test, public TMemTableFixture {
protected:
  DynamicSQL() : Driver(new TTestSQLDataDriver(nullptr)) {
    InitializeUnits({GridLibSQLDataDriverUnitEh});
    AddField(QStringLiteral("ID"), ftInteger);
    AddString(QStringLiteral("NAME"));
    AddField(QStringLiteral("PRICE"), ftFloat);
    Append({1, QStringLiteral("one"), 1.5}, /*Fetch=*/true);
    Append({2, QStringLiteral("two"), 2.5}, /*Fetch=*/true);
    List()->SetCachedUpdates(true);
    Params()->SetUpdateTable(QStringLiteral("T"));
    Params()->SetKeyFields(QStringLiteral("ID"));
    Params()->SetUpdateFields(QStringLiteral("NAME,PRICE"));
  }
  ~DynamicSQL() override { Driver->Free(); }

  TDynaSQLParamsEh* Params() { return Driver->DynaSQLParams(); }
  TMemoryRecordEh* modified(const Variant& Name, const Variant& Price) {
    TMemoryRecordEh* Rec = List()->GetRec(0);
    Rec->Edit();
    Rec->SetDataValue(1, dvvValueEh, Name);
    Rec->SetDataValue(2, dvvValueEh, Price);
    Rec->Post();
    return Rec;
  }
  TMemoryRecordEh* inserted() { return Append({3, QStringLiteral("three"), 3.5}); }
  TMemoryRecordEh* deleted() {
    TMemoryRecordEh* Rec = List()->GetRec(1);
    if (Rec->UpdateStatus() != usDeleted) List()->DeleteRecord(1);
    return Rec;
  }
  Strings generate(TMemoryRecordEh* Rec) {
    TServerSpecOperationsEh Operations;
    Operations.GenerateDynaSQLCommand(Rec, Driver->ServiceCommand());
    EXPECT_EQ(Driver->ServiceCommand()->CommandType(), cthUpdateQuery);
    return Lines(Driver->ServiceCommand()->CommandText());
  }

  TTestSQLDataDriver* Driver;
};

TEST_F(DynamicSQL, TheThreeStatementsLineByLine) {
  EXPECT_EQ(generate(inserted()), (Strings{"insert into T", "  (ID, NAME, PRICE)", "values", "  (:ID, :NAME, :PRICE)"}));
  EXPECT_EQ(generate(modified(QStringLiteral("uno"), 9.0)),
            (Strings{"update T", "set", " NAME = :NAME,", " PRICE = :PRICE", "where", " ID = :OLD_ID"}));
  EXPECT_EQ(generate(deleted()), (Strings{"delete from T", "where", " ID = :OLD_ID"}));
}

TEST_F(DynamicSQL, ColumnListsByKeysUpdateFieldsAndTheAutoIncrementField) {
  struct Case {
    const char* Name;
    const char* UpdateFields;
    const char* AutoIncrementField;
    Strings Insert;
  } Cases[] = {
      {"a key that is an update field is listed once", "ID,NAME", "",
       {"insert into T", "  (ID, NAME)", "values", "  (:ID, :NAME)"}},
      {"the auto-increment field is left out", "ID,NAME,PRICE", "ID",
       {"insert into T", "  (NAME, PRICE)", "values", "  (:NAME, :PRICE)"}},
      {"the auto-increment field is compared with case", "NAME", "id",
       {"insert into T", "  (ID, NAME)", "values", "  (:ID, :NAME)"}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Params()->SetUpdateFields(QString::fromLatin1(C.UpdateFields));
    Driver->SpecParams()->SetText(QStringLiteral("AUTO_INCREMENT_FIELD=") + QString::fromLatin1(C.AutoIncrementField));
    EXPECT_EQ(generate(inserted()), C.Insert);
  }
  // Updates keep the auto-increment field.
  EXPECT_EQ(generate(modified(QStringLiteral("uno"), 1.5)),
            (Strings{"update T", "set", " NAME = :NAME", "where", " ID = :OLD_ID"}));
}

TEST_F(DynamicSQL, LongColumnListsWrapAfterSeventyCharacters) {
  Params()->SetKeyFields(String());
  Params()->SetUpdateFields(QStringLiteral("COLUMN_NUMBER_01 COLUMN_NUMBER_02 COLUMN_NUMBER_03 COLUMN_NUMBER_04 "
                                           "COLUMN_NUMBER_05 COLUMN_NUMBER_06 COLUMN_NUMBER_07 COLUMN_NUMBER_08"));
  // The fourth name takes the line to 73 characters; the eighth to 75, but
  // the last name never starts a new line.
  EXPECT_EQ(generate(inserted()),
            (Strings{"insert into T", "  (COLUMN_NUMBER_01, COLUMN_NUMBER_02, COLUMN_NUMBER_03, COLUMN_NUMBER_04",
                     "   , COLUMN_NUMBER_05, COLUMN_NUMBER_06, COLUMN_NUMBER_07, COLUMN_NUMBER_08)", "values",
                     "  (:COLUMN_NUMBER_01, :COLUMN_NUMBER_02, :COLUMN_NUMBER_03, :COLUMN_NUMBER_04",
                     "   , :COLUMN_NUMBER_05, :COLUMN_NUMBER_06, :COLUMN_NUMBER_07, :COLUMN_NUMBER_08)"}));
}

TEST_F(DynamicSQL, SkipUnchangedFieldsWritesOnlyWhatChanged) {
  Params()->SetSkipUnchangedFields(true);
  EXPECT_EQ(generate(modified(QStringLiteral("one"), 1.5)), Strings{});
  EXPECT_EQ(generate(modified(QStringLiteral("one"), 7.0)),
            (Strings{"update T", "set", " PRICE = :PRICE", "where", " ID = :OLD_ID"}));

  Params()->SetUpdateFields(QStringLiteral("NAME,NOPE"));
  EXPECT_RAISES(generate(List()->GetRec(0)), Exception, "Invalid field name \"NOPE\" in field list \"NAME,NOPE\"");
}

TEST_F(DynamicSQL, KeysSeparatedByABlankGiveTwoConditionLines) {
  Params()->SetKeyFields(QStringLiteral("ID NAME"));
  EXPECT_EQ(generate(deleted()), (Strings{"delete from T", "where", " ID = :OLD_ID and", " NAME = :OLD_NAME"}));
  Params()->SetKeyFields(String());
  EXPECT_EQ(generate(deleted()), (Strings{"delete from T"}));
}

TEST_F(DynamicSQL, NamesThatAreNoPlainIdentifiersAreQuotedOrRefused) {
  Params()->SetUpdateTable(QStringLiteral("T; drop table T"));
  EXPECT_EQ(generate(deleted()).front(), QStringLiteral("delete from \"T; drop table T\""));
  Params()->SetUpdateTable(QStringLiteral("main.T"));
  EXPECT_EQ(generate(deleted()).front(), QStringLiteral("delete from main.T"));
  Params()->SetUpdateTable(QStringLiteral("say \"hi\""));
  EXPECT_EQ(generate(deleted()).front(), QStringLiteral("delete from \"say \"\"hi\"\"\""));

  // A field name cannot become a parameter marker unless it is plain.
  Params()->SetUpdateFields(QStringLiteral("\"NAME = 1; --\""));
  EXPECT_RAISES(generate(inserted()), EDatabaseError,
                "Field name \"NAME = 1; --\" cannot be a parameter of a generated SQL statement");
  Params()->SetUpdateFields(QStringLiteral("NAME"));
  Params()->SetKeyFields(QStringLiteral("\"I D\""));
  EXPECT_RAISES(generate(deleted()), EDatabaseError,
                "Field name \"I D\" cannot be a parameter of a generated SQL statement");
}

TEST(ServerSpecOperationsRegistry, HoldsTheEightServerTypesInStartUpOrder) {
  InitializeUnits({GridLibSQLDataDriverUnitEh});
  Strings Names;
  for (TServerSpecOperationsClassEh C : ServerSpecOperationsClassesEh()) Names.push_back(C->GetServerTypeName());
  EXPECT_EQ(Names, (Strings{"AnsiServer", "Oracle", "MSSQL", "Interbase", "Informix", "DB2", "Sybase", "MSAccess"}));
  ASSERT_NE(DefaultServerSpecOperationsEh(), nullptr);
  EXPECT_EQ(DefaultServerSpecOperationsEh()->ClassType(), TServerSpecOperationsEh::StaticClass());

  EXPECT_RAISES(RegisterServerSpecOperationsEh(
                    static_cast<TServerSpecOperationsClassEh>(TOracleSpecOperationsEh::StaticClass())),
                Exception, "Server type w ith name: \"Oracle\" is already registered");
  EXPECT_EQ(ServerSpecOperationsClassesEh().size(), 8u);
}

}  // namespace
