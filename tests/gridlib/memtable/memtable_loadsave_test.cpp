// The memory table's loading and saving: from and to a query over a real
// SQLite file, from another memory table, and its container through streams
// and files in both forms, truncated and corrupt input included.
#include "gridlib/memtable/memtable.h"

#include "gridlib/memtable/datastruct.h"
#include "gridlib/memtable/memoryrecord.h"
#include "gridlib/memtable/recordslist.h"
#include "gridlib/memtable/recordsview.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fieldclasses.h"
#include "platform/db/fielddefs.h"
#include "platform/db/testing/rowlistdataset.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/streams.h"
#include "tests/gridlib/memtable/memtablefixture.h"
#include "tests/platform/fd/fdfixture.h"

#include <QFile>

using namespace memtabletest;
using namespace fdtest;

namespace {

const char* const ItemSchema = R"(
CREATE TABLE item (id INTEGER PRIMARY KEY, code VARCHAR(5), note TEXT, qty INTEGER, big BIGINT,
  price REAL, pic BLOB);
INSERT INTO item VALUES (1, 'abc', 'Привет, мир', 10, 5000000000, 1.5, x'00FF10');
INSERT INTO item VALUES (2, NULL, NULL, NULL, NULL, NULL, NULL);
INSERT INTO item VALUES (3, 'much too long', 'x', -1, 0, 0.25, x'41');
)";

const char* const FieldNames[] = {"id", "code", "note", "qty", "big", "price", "pic"};

// A value as comparable text: the bytes of a binary blob in hex (the table's
// stream has no Null for them: a Null blob reads back empty), else "NULL" or
// the field's text.
String text(TField* Field) {
  if (Field->DataType() == ftBlob) {
    const TBytes Bytes = Field->AsBytes();
    return String::fromLatin1(QByteArray(reinterpret_cast<const char*>(Bytes.data()), qsizetype(Bytes.size())).toHex());
  }
  if (Field->IsNull()) return QStringLiteral("NULL");
  return Field->AsString();
}

// A database file with the item table, a connection and a memory table.
class LoadFromQuery : public ::testing::Test {
protected:
  LoadFromQuery() : Table(new TProbeMemTable(nullptr)) {
    SetParams(*Connection, File.Path);
    Connection->ExecSQLScript(String::fromUtf8(ItemSchema));
  }
  ~LoadFromQuery() override {
    Table->Free();
    Connection->Free();
  }
  TFDQuery* Query(const char* Sql = "select * from item order by id", bool Open = true) {
    auto* Q = new TFDQuery(Connection);
    Q->SetConnection(Connection);
    Q->SQL()->SetText(String::fromUtf8(Sql));
    if (Open) Q->Open();
    return Q;
  }
  // Every value of the dataset, row by row, in FieldNames order.
  static std::vector<std::vector<String>> Rows(TDataSet* DataSet) {
    std::vector<std::vector<String>> Result;
    for (DataSet->First(); !DataSet->Eof(); DataSet->Next()) {
      std::vector<String> Row;
      for (const char* Name : FieldNames) Row.push_back(text(DataSet->FieldByName(QString::fromLatin1(Name))));
      Result.push_back(Row);
    }
    return Result;
  }
  String field(const char* Name) { return Table->FieldByName(QString::fromLatin1(Name))->AsString(); }

  TTempDatabase File;
  TFDConnection* Connection = new TFDConnection(nullptr);
  TProbeMemTable* Table;
};

}  // namespace

TEST_F(LoadFromQuery, CopyTakesTypesAndEveryValue) {
  TFDQuery* Source = Query();
  EXPECT_EQ(Table->DefaultLoadFromDataSet(Source, 0, lmCopy, /*UseCachedUpdates=*/false), 3);
  ASSERT_TRUE(Table->Active());
  const struct {
    const char* Name;
    TFieldType Type;
    Integer Size;
  } Expected[] = {{"id", ftAutoInc, 0}, {"code", ftString, 5}, {"note", ftMemo, 0}, {"qty", ftInteger, 0},
                  {"big", ftLargeint, 0}, {"price", ftFloat, 0}, {"pic", ftBlob, 0}};
  for (const auto& E : Expected) {
    SCOPED_TRACE(E.Name);
    TField* Field = Table->FieldByName(QString::fromLatin1(E.Name));
    EXPECT_EQ(Field->DataType(), E.Type);
    if (E.Size) {
      EXPECT_EQ(Field->Size(), E.Size);
    }
  }
  auto Loaded = Rows(Table);
  auto Read = Rows(Source);
  // SQLite keeps a text longer than its declared size; loading keeps it
  // whole, though the field shows the Size characters it can hold.
  EXPECT_EQ(Loaded[2][1], QStringLiteral("much "));
  EXPECT_EQ(Table->MemTableData()->RecordsList()->Rec(2)->GetDataValue(1, dvvValueEh),
            Variant(QStringLiteral("much too long")));
  Loaded[2][1] = Read[2][1];
  EXPECT_EQ(Loaded, Read);
  Table->First();
  EXPECT_EQ(field("note"), QStringLiteral("Привет, мир"));
  EXPECT_EQ(Table->RecNo(), 1);
}

TEST_F(LoadFromQuery, AClosedSourceIsClosedAgainAndTheTableEndsAtItsFirstRecord) {
  TFDQuery* Source = Query("select * from item order by id", /*Open=*/false);
  EXPECT_EQ(Table->LoadFromDataSet(Source, 0, lmCopy, /*UseCachedUpdates=*/false), 3);
  EXPECT_FALSE(Source->Active());
  EXPECT_EQ(Table->RecNo(), 1);
}

TEST_F(LoadFromQuery, StructureOnlyLeavesTheTableClosedAndEmpty) {
  TFDQuery* Source = Query();
  EXPECT_EQ(Table->DefaultLoadFromDataSet(Source, 0, lmCopyStructureOnly, false), 0);
  EXPECT_FALSE(Table->Active());
  EXPECT_EQ(Table->FieldDefs()->Count(), 7);
  EXPECT_EQ(Table->MemTableData()->RecordsList()->Count(), 0);
  Table->Open();
  EXPECT_EQ(Table->RecordCount(), 0);
}

TEST_F(LoadFromQuery, APositiveCountStartsAtTheSourcesCurrentRecord) {
  TFDQuery* Source = Query();
  Source->First();
  Source->Next();
  EXPECT_EQ(Table->DefaultLoadFromDataSet(Source, 5, lmCopy, false), 2);
  Table->First();
  EXPECT_EQ(field("id"), QStringLiteral("2"));
}

TEST_F(LoadFromQuery, AppendNumbersAutoIncrementFromTheTablesCounterCopyKeepsTheSources) {
  TFDQuery* Source = Query();
  Table->DefaultLoadFromDataSet(Source, 0, lmCopy, false);
  EXPECT_EQ(Table->DefaultLoadFromDataSet(Source, 2, lmAppend, false), 0) << "the source is at its end";
  EXPECT_EQ(Table->DefaultLoadFromDataSet(Source, 0, lmAppend, false), 3);
  std::vector<String> Ids;
  for (Table->First(); !Table->Eof(); Table->Next()) Ids.push_back(field("id"));
  EXPECT_EQ(Ids, (std::vector<String>{"1", "2", "3", "-1", "-2", "-3"}));
}

TEST_F(LoadFromQuery, CachedUpdatesMarkLoadedRecordsInsertedOnlyWhenAsked) {
  for (const bool UseCachedUpdates : {false, true}) {
    SCOPED_TRACE(UseCachedUpdates);
    TFDQuery* Source = Query();
    Table->DefaultLoadFromDataSet(Source, 0, lmCopyStructureOnly, false);
    Table->SetCachedUpdates(true);
    EXPECT_EQ(Table->DefaultLoadFromDataSet(Source, 0, lmAppend, UseCachedUpdates), 3);
    for (Table->First(); !Table->Eof(); Table->Next())
      EXPECT_EQ(Table->UpdateStatus(), UseCachedUpdates ? usInserted : usUnmodified);
    EXPECT_EQ(Table->HasCachedChanges(), UseCachedUpdates);
    Table->Close();
    Table->SetCachedUpdates(false);
    Source->Free();
  }
}

TEST_F(LoadFromQuery, AnErrorWhileLoadingClosesTheSourceAgainAndEnablesControls) {
  TFDQuery* Source = Query("select * from item order by id", /*Open=*/false);
  Table->DefaultLoadFromDataSet(Source, 0, lmCopyStructureOnly, false);
  Table->SetCachedUpdates(true);
  Table->Open();
  Table->FieldByName(QStringLiteral("code"))->SetRequired(true);
  // The second record has no code: its Post fails.
  EXPECT_THROW(Table->DefaultLoadFromDataSet(Source, 0, lmAppend, /*UseCachedUpdates=*/true), EDatabaseError);
  EXPECT_FALSE(Source->Active());
  EXPECT_FALSE(Table->ControlsDisabled());
  EXPECT_FALSE(Source->ControlsDisabled());
  EXPECT_EQ(Table->State(), dsBrowse);
  EXPECT_EQ(Table->RecordCount(), 1);
  EXPECT_EQ(Table->RecNo(), 1);
}

namespace {

// Dataset features that load by their own way and count the calls.
class TLoadingFeatures : public IDatasetFeaturesEh {
public:
  void FillFieldUniqueValues(TField*, TStrings*) override {}
  TMTDataFieldEh* CreateAndAsignMTDateField(TMTDataStructEh* DataStruct, TField* AField) override {
    return DataStruct->BuildAndCopyDataFieldForField(AField);
  }
  Integer WriteDataSetToMemTable(TDataSet* DataSet, TCustomMemTableEh* MemTable, Integer RecordCount,
                                 TLoadMode Mode, bool UseCachedUpdates) override {
    ++Calls;
    return MemTable->DefaultLoadFromDataSet(DataSet, RecordCount, Mode, UseCachedUpdates) * 10;
  }
  int Calls = 0;
};
TLoadingFeatures LoadingFeatures;

}  // namespace

TEST_F(LoadFromQuery, RegisteredFeaturesLoadInsteadOfTheDefault) {
  const auto Previous = SetFindDatasetFeaturesHookEh([](TDataSet*) -> IDatasetFeaturesEh* { return &LoadingFeatures; });
  const Integer Answer = Table->LoadFromDataSet(Query(), 0, lmCopy, false);
  SetFindDatasetFeaturesHookEh(Previous);
  EXPECT_EQ(Answer, 30);
  EXPECT_EQ(LoadingFeatures.Calls, 1);
}

TEST_F(LoadFromQuery, SaveToDataSetWritesEveryRecordThatASecondConnectionReads) {
  Table->DefaultLoadFromDataSet(Query(), 0, lmCopy, false);
  Connection->ExecSQL(QStringLiteral("delete from item"));
  Table->First();
  Table->Next();
  TFDQuery* Dest = Query();
  EXPECT_EQ(Table->SaveToDataSet(Dest, 0), 3);
  EXPECT_EQ(Dest->RecNo(), 1);
  TRawConnection Raw(File.Path);
  // The database numbers the keys (the query's key field is read-only); the
  // long text is written as the table's field shows it.
  EXPECT_EQ(Raw.Rows("select id, code, note, qty, big, price, case when pic is null then 'NULL' else hex(pic) end"
                     " from item order by id"),
            (std::vector<String>{QStringLiteral("1|abc|Привет, мир|10|5000000000|1.5|00FF10"),
                                 "2|NULL|NULL|NULL|NULL|NULL|NULL", "3|much |x|-1|0|0.25|41"}));
}

TEST_F(LoadFromQuery, SaveToDataSetLeavesTheDestinationAtItsFirstRecordAfterAnError) {
  Table->DefaultLoadFromDataSet(Query(), 0, lmCopy, false);
  Connection->ExecSQL(QStringLiteral("create table strict (id INTEGER PRIMARY KEY, code VARCHAR(5) NOT NULL)"));
  TFDQuery* Dest = Query("select * from strict");
  // The second record has no code: its insert fails.
  EXPECT_THROW(Table->SaveToDataSet(Dest, 0), EDatabaseError);
  EXPECT_EQ(Dest->State(), dsBrowse);
  EXPECT_EQ(Dest->RecNo(), 1);
  EXPECT_EQ(TRawConnection(File.Path).Rows("select code from strict"), (std::vector<String>{"abc"}));
  EXPECT_EQ(Table->SaveToDataSet(Table, 0), 0);
}

// ---------------------------------------------------------------------------
// from another memory table

namespace {

class LoadFromMemTable : public ::testing::Test {
protected:
  LoadFromMemTable() : Source({{"Id", ftInteger}, {"Name", ftString, 10}}), Target({}) {
    Source.Table->CreateDataSet();
    for (int I = 1; I <= 5; ++I) Source.AppendRow({I, String("n%1").arg(I)});
  }
  TMemTableTestFixture Source;
  TMemTableTestFixture Target;
};

}  // namespace

TEST_F(LoadFromMemTable, DisregardingTheFilterCopiesHiddenRecordsInListOrder) {
  Source.Table->SetSortOrder(QStringLiteral("Id DESC"));
  Source.Table->SetFilterText(QStringLiteral("Id > 3"));
  Source.Table->SetFiltered(true);
  EXPECT_EQ(Target.Table->LoadFromMemTableEh(Source.Table, 0, lmCopy, {tloOpenOnLoad}), 2);
  EXPECT_EQ(Target.Column("Id"), (std::vector<Variant>{5, 4}));
  EXPECT_EQ(Target.Table->LoadFromMemTableEh(Source.Table, 0, lmCopy, {tloOpenOnLoad, tloDisregardFilterEh}), 5);
  EXPECT_EQ(Target.Column("Id"), (std::vector<Variant>{1, 2, 3, 4, 5}));
}

TEST_F(LoadFromMemTable, APositiveCountStartsAtTheCurrentRecord) {
  Source.Table->First();
  Source.Table->MoveBy(3);
  EXPECT_EQ(Target.Table->LoadFromMemTableEh(Source.Table, 10, lmCopy, {tloOpenOnLoad}), 2);
  EXPECT_EQ(Target.Column("Name"), (std::vector<Variant>{"n4", "n5"}));
}

TEST_F(LoadFromMemTable, AppendMatchesByNameAndFieldOrderFollowsTheSource) {
  TMemTableTestFixture Other({{"Name", ftString, 10}, {"Extra", ftInteger}, {"Id", ftInteger}});
  Other.Table->CreateDataSet();
  Other.AppendRow({"x", 7, 100});
  EXPECT_EQ(Other.Table->LoadFromMemTableEh(Source.Table, 0, lmAppend, {}), 5);
  EXPECT_EQ(Other.Column("Id"), (std::vector<Variant>{100, 1, 2, 3, 4, 5}));
  EXPECT_EQ(Other.Column("Extra"), (std::vector<Variant>{7, Null(), Null(), Null(), Null(), Null()}));
  EXPECT_EQ(Other.Field("Id")->Index(), 0);
  EXPECT_EQ(Other.Field("Name")->Index(), 1);
}

TEST_F(LoadFromMemTable, UseCachedUpdatesLogsTheRecordsAsInserted) {
  Target.Table->LoadFromMemTableEh(Source.Table, 0, lmCopyStructureOnly, {tloOpenOnLoad});
  Target.Table->SetCachedUpdates(true);
  EXPECT_EQ(Target.Table->LoadFromMemTableEh(Source.Table, 0, lmAppend, {tloUseCachedUpdatesEh}), 5);
  EXPECT_TRUE(Target.Table->HasCachedChanges());
  Target.Table->Last();
  EXPECT_EQ(Target.Table->UpdateStatus(), usInserted);
}

// Loading a table from itself, or from one that shares its container, would
// destroy the source before reading it.
TEST_F(LoadFromMemTable, ASourceSharingTheContainerLoadsNothing) {
  EXPECT_EQ(Source.Table->LoadFromMemTableEh(Source.Table, 0, lmCopy, {}), 0);
  Target.Table->SetExternalMemData(Source.Table);
  Target.Table->Open();
  EXPECT_EQ(Target.Table->LoadFromMemTableEh(Source.Table, 0, lmCopy, {}), 0);
  EXPECT_EQ(Source.Table->RecordCount(), 5);
  EXPECT_EQ(Source.Column("Id"), (std::vector<Variant>{1, 2, 3, 4, 5}));
}

// ---------------------------------------------------------------------------
// structure

TEST(MemTableCopyStructure, OpenTableRaisesClosedTableDropsNestedDataSets) {
  TRowListDataSet* Source = new TRowListDataSet(nullptr);
  const TScopeExit FreeSource([Source] { Source->Free(); });
  Source->FieldDefs()->Add(QStringLiteral("Id"), ftInteger);
  Source->FieldDefs()->Add(QStringLiteral("Nested"), ftDataSet);
  Source->FieldDefs()->Add(QStringLiteral("Name"), ftString, 10);
  TMemTableTestFixture Target({{"Old", ftInteger}});
  Target.Table->CreateDataSet();
  EXPECT_RAISES(Target.Table->CopyStructure(Source), EDatabaseError,
                "Cannot perform this operation on an open dataset");
  Target.Table->Close();
  Target.Table->CopyStructure(Source);
  EXPECT_FALSE(Target.Table->Active());
  ASSERT_EQ(Target.Table->FieldDefs()->Count(), 2);
  EXPECT_EQ(Target.Table->FieldDefs()->Items(0)->Name(), QStringLiteral("Id"));
  EXPECT_EQ(Target.Table->FieldDefs()->Items(1)->Size(), 10);
  EXPECT_EQ(Target.Table->Fields()->Count(), 0);
  Target.Table->CreateDataSet();
  EXPECT_EQ(Target.Table->FieldByName(QStringLiteral("Name"))->DataType(), ftString);
}

// ---------------------------------------------------------------------------
// streams and files

namespace {

class MemTableStreams : public ::testing::Test {
protected:
  MemTableStreams()
      : F({{"Id", ftAutoInc},
           {"Name", ftString, 10},
           {"Wide", ftWideString, 10},
           {"Count", ftInteger},
           {"Big", ftLargeint},
           {"Ratio", ftFloat},
           {"Money", ftCurrency},
           {"Flag", ftBoolean},
           {"Day", ftDate},
           {"Stamp", ftDateTime},
           {"Memo", ftMemo},
           {"WideMemo", ftWideMemo},
           {"Data", ftBlob}}) {
    F.Table->CreateDataSet();
    F.AppendRow({Null(), "abc", QStringLiteral("Жук"), 42, Int64(5000000000), 0.125, Currency(12.5), true,
                 TDateTime(45000), TDateTime(45000.25), QStringLiteral("line 1\r\nстрока 2"),
                 QStringLiteral("ünï"), VarArrayFromBytes(QByteArray("\x00\x01\xFF", 3))});
    F.AppendRow({Null(), Null(), Null(), Null(), Null(), Null(), Null(), Null(), Null(), Null(), Null(), Null(),
                 Null()});
    F.AppendRow({Null(), "", "", 0, Int64(-1), -1.5, Currency(0), false, TDateTime(1), TDateTime(0.5), "", "",
                 VarArrayFromBytes(QByteArray())});
  }
  std::vector<std::vector<String>> Rows() {
    std::vector<std::vector<String>> Result;
    for (F.Table->First(); !F.Table->Eof(); F.Table->Next()) {
      std::vector<String> Row;
      for (Integer I = 0; I < F.Table->Fields()->Count(); ++I) Row.push_back(text(F.Table->Fields()->Fields(I)));
      Result.push_back(Row);
    }
    return Result;
  }
  QByteArray saved(TDfmStreamFormatEh Format) {
    TMemoryStream Stream;
    F.Table->SaveToStream(&Stream, Format);
    return QByteArray(static_cast<const char*>(Stream.Memory()), qsizetype(Stream.Size()));
  }
  void load(const QByteArray& Bytes) {
    TMemoryStream Stream;
    Stream.Write(Bytes.constData(), Integer(Bytes.size()));
    Stream.SetPosition(0);
    F.Table->LoadFromStream(&Stream);
  }

  TMemTableTestFixture F;
};

}  // namespace

TEST_F(MemTableStreams, BothFormsRestoreStructureAndRecords) {
  const auto Before = Rows();
  for (const TDfmStreamFormatEh Format : {dfmBinaryEh, dfmTextEh}) {
    SCOPED_TRACE(int(Format));
    const QByteArray Bytes = saved(Format);
    const Integer NextId = F.Table->AutoIncrement()->CurValue();
    EXPECT_EQ(Bytes.startsWith("TPF0"), Format == dfmBinaryEh);
    F.Table->EmptyTable();
    load(Bytes);
    ASSERT_TRUE(F.Table->Active()) << "an open table is open again";
    EXPECT_EQ(F.Table->Fields()->Count(), 13);
    EXPECT_EQ(F.Table->FieldByName(QStringLiteral("Name"))->Size(), 10);
    EXPECT_EQ(Rows(), Before);
    // The counter goes on after the loaded records.
    F.Table->Append();
    F.Table->Post();
    EXPECT_EQ(F.Field("Id")->AsInteger(), NextId);
    F.Table->Delete();
  }
}

TEST_F(MemTableStreams, AClosedTableStaysClosedAndFilesRoundTrip) {
  const auto Before = Rows();
  QTemporaryDir Dir;
  for (const TDfmStreamFormatEh Format : {dfmBinaryEh, dfmTextEh}) {
    SCOPED_TRACE(int(Format));
    const String Path = Dir.filePath(QStringLiteral("table.dat"));
    F.Table->SaveToFile(Path, Format);
    F.Table->DestroyTable();
    F.Table->LoadFromFile(Path);
    EXPECT_FALSE(F.Table->Active());
    F.Table->Open();
    EXPECT_EQ(Rows(), Before);
  }
}

TEST_F(MemTableStreams, TextWithAByteOrderMarkLoads) {
  const auto Before = Rows();
  load(QByteArray("\xEF\xBB\xBF") + saved(dfmTextEh));
  EXPECT_EQ(Rows(), Before);
}

TEST_F(MemTableStreams, AStreamOfNeitherFormRaisesAndTheTableKeepsItsData) {
  const auto Before = Rows();
  for (const char* Bytes : {"", "PK\x03\x04 not a table", "\x01\x02\x03\x04"}) {
    SCOPED_TRACE(Bytes);
    EXPECT_RAISES(load(QByteArray(Bytes)), Exception, "Invalid stream format.");
    EXPECT_TRUE(F.Table->Active());
    EXPECT_EQ(Rows(), Before);
  }
}

// A file cut anywhere, or with a byte changed, raises the reader's error;
// the table keeps its structure, records and open state, and stays usable.
TEST_F(MemTableStreams, TruncatedOrCorruptStreamsRaiseAndLeaveTheTableAsItWas) {
  const auto Before = Rows();
  for (const TDfmStreamFormatEh Format : {dfmBinaryEh, dfmTextEh}) {
    const QByteArray Bytes = saved(Format);
    std::vector<QByteArray> Broken;
    for (qsizetype Cut = 1; Cut < Bytes.size(); Cut += Format == dfmBinaryEh ? 1 : 7) Broken.push_back(Bytes.left(Cut));
    for (qsizetype At = 4; At < Bytes.size(); At += 3) {
      QByteArray Changed = Bytes;
      Changed[At] = char(Changed[At] ^ 0x5A);
      Broken.push_back(Changed);
    }
    for (const QByteArray& Input : Broken) {
      try {
        load(Input);
      } catch (const Exception&) {
        ASSERT_TRUE(F.Table->Active()) << "size " << Input.size();
        ASSERT_EQ(Rows(), Before) << "size " << Input.size();
        continue;
      }
      // A changed byte inside a value may still read as a valid stream: the
      // table then holds what it says, and is put back for the next case.
      ASSERT_TRUE(F.Table->Active());
      load(Bytes);
    }
  }
  F.Table->Append();
  F.Table->Post();
  EXPECT_EQ(F.Table->RecordCount(), 4);
}

// The bytes of a small saved table in both forms, as every earlier version
// wrote them: files saved before must load, and files saved now must load in
// older code.
const char* const SavedBinaryHex =
    "545046300f544d656d5461626c654461746145680c4d656d5461626c65446174610f4175746f496e6343757256616c75"
    "6502fc000f544d544461746153747275637445680a446174615374727563740015544d544e756d657269634461746146"
    "69656c644568024964094669656c644e616d65060249640f4e756d657269634461746154797065070c6664744175746f"
    "496e6345680d4175746f496e6372656d656e74090863757272656e63790809507265636973696f6e020f000014544d54"
    "537472696e67446174614669656c644568044e616d65094669656c644e616d6506044e616d650e537472696e67446174"
    "6154797065070b666474537472696e6745680453697a65020a000014544d54537472696e67446174614669656c644568"
    "0457696465094669656c644e616d650604576964650e537472696e674461746154797065070f66647457696465537472"
    "696e6745680453697a65020a000015544d544e756d65726963446174614669656c64456805436f756e74094669656c64"
    "4e616d650605436f756e740f4e756d657269634461746154797065070c666474496e746567657245680d4175746f496e"
    "6372656d656e74080863757272656e63790809507265636973696f6e020f000015544d544e756d657269634461746146"
    "69656c64456803426967094669656c644e616d6506034269670f4e756d657269634461746154797065070d6664744c61"
    "726765696e7445680d4175746f496e6372656d656e74080863757272656e63790809507265636973696f6e020f000015"
    "544d544e756d65726963446174614669656c64456805526174696f094669656c644e616d650605526174696f0f4e756d"
    "657269634461746154797065070a666474466c6f617445680d4175746f496e6372656d656e74080863757272656e6379"
    "0809507265636973696f6e020f000015544d544e756d65726963446174614669656c644568054d6f6e6579094669656c"
    "644e616d6506054d6f6e65790f4e756d657269634461746154797065070d66647443757272656e637945680d4175746f"
    "496e6372656d656e74080863757272656e63790809507265636973696f6e020f000015544d54426f6f6c65616e446174"
    "614669656c64456804466c6167094669656c644e616d650604466c6167000016544d544461746554696d654461746146"
    "69656c64456803446179094669656c644e616d650603446179104461746554696d654461746154797065070966647444"
    "6174654568000016544d544461746554696d65446174614669656c644568055374616d70094669656c644e616d650605"
    "5374616d70104461746554696d654461746154797065070d6664744461746554696d654568000012544d54426c6f6244"
    "6174614669656c644568044d656d6f094669656c644e616d6506044d656d6f08426c6f6254797065070666744d656d6f"
    "0d5472616e736c6974657261746508000012544d54426c6f62446174614669656c64456808576964654d656d6f094669"
    "656c644e616d650608576964654d656d6f08426c6f6254797065070a6674576964654d656d6f0d5472616e736c697465"
    "7261746508000012544d54426c6f62446174614669656c6445680444617461094669656c644e616d650604446174610d"
    "5472616e736c69746572617465080000000e545265636f7264734c69737445680b5265636f7264734c69737404446174"
    "61010102ff06036162631406000000d096d183d0ba022a1300f2052a0100000015000000000000c03f1048e801000000"
    "000009110000000000f9e540110000000008f9e54014160000006c696e6520310d0ad181d182d180d0bed0bad0b02032"
    "1405000000c3bc6ec3af0a030000000001ff000102fe0d0d0d0d0d0d0d0d0d0d0d0a00000000000102fd060006000200"
    "02ff15000000000000f8bf1000000000000000000811000000000000f03f11000000000000e03f060006000a00000000"
    "0000000000";

const char* const SavedText =
    "object MemTableData: TMemTableDataEh\r\n"
    "  AutoIncCurValue = -4\r\n"
    "  object DataStruct: TMTDataStructEh\r\n"
    "    object Id: TMTNumericDataFieldEh\r\n"
    "      FieldName = 'Id'\r\n"
    "      NumericDataType = fdtAutoIncEh\r\n"
    "      AutoIncrement = True\r\n"
    "      currency = False\r\n"
    "      Precision = 15\r\n"
    "    end\r\n"
    "    object Name: TMTStringDataFieldEh\r\n"
    "      FieldName = 'Name'\r\n"
    "      StringDataType = fdtStringEh\r\n"
    "      Size = 10\r\n"
    "    end\r\n"
    "    object Wide: TMTStringDataFieldEh\r\n"
    "      FieldName = 'Wide'\r\n"
    "      StringDataType = fdtWideStringEh\r\n"
    "      Size = 10\r\n"
    "    end\r\n"
    "    object Count: TMTNumericDataFieldEh\r\n"
    "      FieldName = 'Count'\r\n"
    "      NumericDataType = fdtIntegerEh\r\n"
    "      AutoIncrement = False\r\n"
    "      currency = False\r\n"
    "      Precision = 15\r\n"
    "    end\r\n"
    "    object Big: TMTNumericDataFieldEh\r\n"
    "      FieldName = 'Big'\r\n"
    "      NumericDataType = fdtLargeintEh\r\n"
    "      AutoIncrement = False\r\n"
    "      currency = False\r\n"
    "      Precision = 15\r\n"
    "    end\r\n"
    "    object Ratio: TMTNumericDataFieldEh\r\n"
    "      FieldName = 'Ratio'\r\n"
    "      NumericDataType = fdtFloatEh\r\n"
    "      AutoIncrement = False\r\n"
    "      currency = False\r\n"
    "      Precision = 15\r\n"
    "    end\r\n"
    "    object Money: TMTNumericDataFieldEh\r\n"
    "      FieldName = 'Money'\r\n"
    "      NumericDataType = fdtCurrencyEh\r\n"
    "      AutoIncrement = False\r\n"
    "      currency = False\r\n"
    "      Precision = 15\r\n"
    "    end\r\n"
    "    object Flag: TMTBooleanDataFieldEh\r\n"
    "      FieldName = 'Flag'\r\n"
    "    end\r\n"
    "    object Day: TMTDateTimeDataFieldEh\r\n"
    "      FieldName = 'Day'\r\n"
    "      DateTimeDataType = fdtDateEh\r\n"
    "    end\r\n"
    "    object Stamp: TMTDateTimeDataFieldEh\r\n"
    "      FieldName = 'Stamp'\r\n"
    "      DateTimeDataType = fdtDateTimeEh\r\n"
    "    end\r\n"
    "    object Memo: TMTBlobDataFieldEh\r\n"
    "      FieldName = 'Memo'\r\n"
    "      BlobType = ftMemo\r\n"
    "      Transliterate = False\r\n"
    "    end\r\n"
    "    object WideMemo: TMTBlobDataFieldEh\r\n"
    "      FieldName = 'WideMemo'\r\n"
    "      BlobType = ftWideMemo\r\n"
    "      Transliterate = False\r\n"
    "    end\r\n"
    "    object Data: TMTBlobDataFieldEh\r\n"
    "      FieldName = 'Data'\r\n"
    "      Transliterate = False\r\n"
    "    end\r\n"
    "  end\r\n"
    "  object RecordsList: TRecordsListEh\r\n"
    "    Data = (\r\n"
    "      (\r\n"
    "        -1\r\n"
    "        'abc'\r\n"
    "        #1046#1091#1082\r\n"
    "        42\r\n"
    "        5000000000\r\n"
    "        0.125\r\n"
    "        125000c\r\n"
    "        True\r\n"
    "        45000d\r\n"
    "        45000.25d\r\n"
    "        'line 1'#13#10#1089#1090#1088#1086#1082#1072' 2'\r\n"
    "        #252'n'#239\r\n"
    "        {0001FF})\r\n"
    "      (\r\n"
    "        -2\r\n"
    "        nil\r\n"
    "        nil\r\n"
    "        nil\r\n"
    "        nil\r\n"
    "        nil\r\n"
    "        nil\r\n"
    "        nil\r\n"
    "        nil\r\n"
    "        nil\r\n"
    "        nil\r\n"
    "        nil\r\n"
    "        {})\r\n"
    "      (\r\n"
    "        -3\r\n"
    "        ''\r\n"
    "        ''\r\n"
    "        0\r\n"
    "        -1\r\n"
    "        -1.5\r\n"
    "        0c\r\n"
    "        False\r\n"
    "        1d\r\n"
    "        0.5d\r\n"
    "        ''\r\n"
    "        ''\r\n"
    "        {}))\r\n"
    "  end\r\n"
    "end\r\n";

TEST_F(MemTableStreams, SavedBytesStayTheSameAndLoad) {
  const auto Before = Rows();
  EXPECT_EQ(saved(dfmBinaryEh).toHex(), QByteArray(SavedBinaryHex));
  EXPECT_EQ(saved(dfmTextEh), QByteArray(SavedText));
  for (const QByteArray& Bytes : {QByteArray::fromHex(SavedBinaryHex), QByteArray(SavedText)}) {
    F.Table->EmptyTable();
    load(Bytes);
    EXPECT_EQ(Rows(), Before);
  }
}
