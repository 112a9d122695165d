#include "gridlib/memtable/memtabledata.h"

#include "gridlib/base/valuetext.h"
#include "platform/rtl/bcd.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/filer.h"
#include "platform/rtl/streams.h"
#include "tests/gridlib/memtable/memtabletesting.h"

namespace {

QByteArray save(TMemTableDataEh* Data, bool WithStruct = true) {
  Data->SetStoreStructInStream(WithStruct);
  Data->SetStoreRecordsInStream(true);
  TMemoryStream Stream;
  {
    TWriter Writer(&Stream);
    Writer.WriteRootComponent(Data);
  }
  return QByteArray(static_cast<const char*>(Stream.Memory()), int(Stream.Size()));
}

void load(TMemTableDataEh* Data, const QByteArray& Bytes) {
  TMemoryStream Stream;
  Stream.Write(Bytes.constData(), Bytes.size());
  Stream.SetPosition(0);
  Data->DestroyTable();
  TReader Reader(&Stream);
  Reader.ReadRootComponent(Data);
}

class MemTableData : public ::testing::Test, public TMemTableFixture {};


TEST_F(MemTableData, GoldenStream) {
  AddString(QStringLiteral("Title"), 10);
  AddField(QStringLiteral("ID"), ftAutoInc);
  Append({QStringLiteral("ab")});
  const QByteArray Bytes = save(Data);
  const QByteArray Expected = QByteArray::fromHex(
      "54 50 46 30 0f 54 4d 65 6d 54 61 62 6c 65 44 61 74 61 45 68 00 0f 41 75 74 6f 49 6e 63 43 75 72 56 61"
      "6c 75 65 02 fe 00 0f 54 4d 54 44 61 74 61 53 74 72 75 63 74 45 68 0a 44 61 74 61 53 74 72 75 63 74 00"
      "14 54 4d 54 53 74 72 69 6e 67 44 61 74 61 46 69 65 6c 64 45 68 05 54 69 74 6c 65 09 46 69 65 6c 64 4e"
      "61 6d 65 06 05 54 69 74 6c 65 0e 53 74 72 69 6e 67 44 61 74 61 54 79 70 65 07 0b 66 64 74 53 74 72 69"
      "6e 67 45 68 04 53 69 7a 65 02 0a 00 00 15 54 4d 54 4e 75 6d 65 72 69 63 44 61 74 61 46 69 65 6c 64 45"
      "68 02 49 44 09 46 69 65 6c 64 4e 61 6d 65 06 02 49 44 0f 4e 75 6d 65 72 69 63 44 61 74 61 54 79 70 65"
      "07 0c 66 64 74 41 75 74 6f 49 6e 63 45 68 0d 41 75 74 6f 49 6e 63 72 65 6d 65 6e 74 08 08 63 75 72 72"
      "65 6e 63 79 08 09 50 72 65 63 69 73 69 6f 6e 02 0f 00 00 00 0e 54 52 65 63 6f 72 64 73 4c 69 73 74 45"
      "68 0b 52 65 63 6f 72 64 73 4c 69 73 74 04 44 61 74 61 01 01 06 02 61 62 02 ff 00 00 00 00 00");
  EXPECT_EQ(Bytes.toHex(' '), Expected.toHex(' '));

  TMemTableFixture Copy;
  load(Copy.Data, Bytes);
  ASSERT_EQ(Copy.Struct()->Count(), 2);
  EXPECT_EQ(Copy.Struct()->GetDataField(0)->Size(), 10u);
  EXPECT_EQ(Copy.Struct()->GetDataField(1)->DataType(), ftAutoInc);
  ASSERT_EQ(Copy.List()->Count(), 1);
  EXPECT_EQ(Copy.Value(0, 0), Variant(QStringLiteral("ab")));
  EXPECT_EQ(Copy.Value(0, 1), Variant(-1));
  EXPECT_EQ(Copy.List()->GetRec(0)->UpdateStatus(), usUnmodified);
  EXPECT_EQ(Copy.Data->AutoIncrement()->CurValue(), -2);
}

TEST_F(MemTableData, FieldsWithoutRecordsWriteNoData) {
  AddString(QStringLiteral("Title"));
  const QByteArray Bytes = save(Data);
  EXPECT_TRUE(Bytes.contains("RecordsList"));
  EXPECT_FALSE(Bytes.contains("Data\x01"));
  EXPECT_FALSE(Bytes.contains("AutoIncCurValue"));
}

TEST_F(MemTableData, AutoIncrementRunsDownFromMinusOne) {
  AddField(QStringLiteral("ID"), ftAutoInc);
  for (int I = 0; I < 3; I++) Append({});
  EXPECT_EQ(Value(0, 0), Variant(-1));
  EXPECT_EQ(Value(2, 0), Variant(-3));
  Append({5}, /*Fetch=*/true);
  EXPECT_EQ(Value(3, 0), Variant(5));  // fetched records keep their values
  EXPECT_EQ(Data->AutoIncrement()->CurValue(), -4);
}

TEST_F(MemTableData, RoundTripOfEveryStreamableKind) {
  TBcd Amount;
  ASSERT_TRUE(TryStrToBcd(QStringLiteral("12345.678"), Amount));
  struct Case {
    TFieldType Type;
    Variant Value;
  } Cases[] = {
      {ftString, QStringLiteral("Ἀσκληπιός and Müller")},
      {ftWideString, QStringLiteral("plain")},
      {ftSmallint, Variant(SmallInt(-300))},
      {ftInteger, 70000},
      {ftLargeint, Variant(Int64(1) << 40)},
      {ftFloat, 2.5},
      {ftCurrency, Variant(Currency(12.34))},
      {ftFMTBcd, Variant(Amount)},
      {ftBoolean, true},
      {ftDateTime, VarFromDateTime(45000.25)},
      {ftBlob, VarArrayFromBytes(TBytes{1, 2, 0, 255})},
      {ftVarBytes, VarArrayFromBytes(TBytes{9})},
      {ftVariant, QStringLiteral("any")},
      {ftMemo, Null()},
  };
  for (const Case& C : Cases) AddField(FieldTypeName(C.Type), C.Type);
  TMemoryRecordEh* Rec = List()->NewRecord();
  for (Integer I = 0; I < Integer(std::size(Cases)); I++) Rec->SetDataValue(I, dvvValueEh, Cases[I].Value);
  Rec->Post();
  TMemTableFixture Copy;
  load(Copy.Data, save(Data));
  for (Integer I = 0; I < Integer(std::size(Cases)); I++) {
    SCOPED_TRACE(FieldTypeName(Cases[I].Type).toStdString());
    const Variant Read = Copy.Value(0, I);
    EXPECT_EQ(VarType(Read), VarType(Value(0, I)));
    if (VarIsArray(Read))
      EXPECT_EQ(VarArrayToBytes(Read), VarArrayToBytes(Value(0, I)));
    else
      EXPECT_TRUE(VariantsEqualEh(Read, Value(0, I))) << VarToStr(Read).toStdString();
  }
}

TEST_F(MemTableData, NullValues) {
  AddField(QStringLiteral("Blob"), ftBlob);
  AddString(QStringLiteral("Text"));
  Append({});
  const QByteArray Bytes = save(Data);
  // the record: vaList, vaBinary with count 0, vaNil, vaNull
  EXPECT_TRUE(Bytes.contains(QByteArray::fromHex("01 0a 00 00 00 00 0d 00")));
  TMemTableFixture Copy;
  load(Copy.Data, Bytes);
  EXPECT_TRUE(VarIsArray(Copy.Value(0, 0)));  // a Null blob comes back empty, not Null
  EXPECT_TRUE(VarArrayToBytes(Copy.Value(0, 0)).empty());
  EXPECT_TRUE(VarIsNull(Copy.Value(0, 1)));
}

TEST_F(MemTableData, UnassignedValueCannotBeWritten) {
  AddString(QStringLiteral("Text"));
  Append({});
  List()->SetValue(0, 0, Variant());
  EXPECT_RAISES(save(Data), Exception, "\"TMemoryRecordEh.WriteData\" - Invalid variant type - varEmpty");
}

TEST_F(MemTableData, ValueCountMustMatchTheStructure) {
  AddString(QStringLiteral("A"));
  AddString(QStringLiteral("B"));
  Append({QStringLiteral("a"), QStringLiteral("b")});
  const QByteArray Bytes = save(Data, /*WithStruct=*/false);
  TMemTableFixture Copy;
  Copy.AddString(QStringLiteral("A"));
  TMemoryStream Stream;
  Stream.Write(Bytes.constData(), Bytes.size());
  Stream.SetPosition(0);
  TReader Reader(&Stream);
  try {
    Reader.ReadRootComponent(Copy.Data);
    FAIL() << "no exception";
  } catch (const EReadError& E) {
    EXPECT_TRUE(E.Message.contains(QStringLiteral("Invalid property value"))) << E.Message.toStdString();
  }
}

// Every count and length is untrusted: a stream cut at any byte fails with
// a read error and leaves nothing half-allocated.
TEST_F(MemTableData, TruncatedStreamsFailCleanly) {
  AddString(QStringLiteral("Title"));
  AddField(QStringLiteral("Blob"), ftBlob);
  AddField(QStringLiteral("N"), ftInteger);
  Append({QStringLiteral("Ωmega"), VarArrayFromBytes(TBytes{1, 2, 3}), 7});
  Append({QStringLiteral("x"), Null(), Null()});
  const QByteArray Bytes = save(Data);
  for (int Length = 0; Length < Bytes.size(); Length++) {
    SCOPED_TRACE(Length);
    TMemTableFixture Copy;
    EXPECT_THROW(load(Copy.Data, Bytes.left(Length)), Exception);
  }
}

TEST_F(MemTableData, RestructMode) {
  AddString(QStringLiteral("A"));
  TMTDataStructEh* Copy = Data->BeginRestruct();
  EXPECT_EQ(Copy->Count(), 1);
  EXPECT_RAISES(Data->BeginRestruct(), Exception, "MemTableData already in RestructMode.");
  Data->CancelRestruct();
  EXPECT_FALSE(Data->RestructMode());
}

TEST_F(MemTableData, FieldCalculationRecomputesEveryRecord) {
  AddField(QStringLiteral("N"), ftInteger);
  TMTDataFieldEh* Twice = AddField(QStringLiteral("Twice"), ftInteger);
  Twice->SetCalculated(true);
  Append({1, 99});
  Append({2, 99});
  Data->SetOnFieldCalculation([](TMemoryRecordEh* Rec, TVariantArrayEh& Values) {
    const Integer N = Rec->GetDataValue(0, dvvValueEh).AsInteger();
    if (N != 2) Values[1] = 2 * N;
    Values[0] = 1000;  // not a calculated field: ignored
  });
  EXPECT_EQ(Value(0, 1), Variant(2));
  EXPECT_TRUE(VarIsNull(Value(1, 1)));
  EXPECT_EQ(Value(0, 0), Variant(1));
}

}  // namespace

namespace {

TSQLTimeStampOffset stamp(Word Fractions, SmallInt ZoneHour = 0, SmallInt ZoneMinute = 0) {
  TSQLTimeStampOffset T;
  T.Year = 2021, T.Month = 3, T.Day = 4, T.Hour = 10, T.Minute = 20, T.Second = 30;
  T.Fractions = Fractions;
  T.TimeZoneHour = ZoneHour, T.TimeZoneMinute = ZoneMinute;
  return T;
}

TEST_F(MemTableData, TimeStampsAreWrittenAsTextAndReadBack) {
  struct Case {
    const char* Name;
    TFieldType Type;
    Variant Value;
    const char* Text;
  } Cases[] = {
      {"plain", ftTimeStamp, Variant(static_cast<const TSQLTimeStamp&>(stamp(0))), "2021-03-04T10:20:30"},
      {"fraction", ftTimeStamp, Variant(static_cast<const TSQLTimeStamp&>(stamp(5))), "2021-03-04T10:20:30.005"},
      {"offset", ftTimeStampOffset, Variant(stamp(5, -5, -30)), "2021-03-04T10:20:30.005-05:30"},
      {"zero offset", ftTimeStampOffset, Variant(stamp(0)), "2021-03-04T10:20:30"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TMemTableFixture Source;
    Source.AddField(QStringLiteral("At"), C.Type);
    Source.Append({C.Value});
    const QByteArray Bytes = save(Source.Data);
    EXPECT_TRUE(Bytes.contains(QByteArray(C.Text) + '\0') || Bytes.contains(QByteArray(C.Text) + '\1'))
        << Bytes.toHex().toStdString();
    TMemTableFixture Copy;
    load(Copy.Data, Bytes);
    const Variant Read = Copy.Value(0, 0);
    EXPECT_EQ(VarType(Read), VarType(C.Value));
    EXPECT_EQ(VarToSQLTimeStampOffset(Read), VarToSQLTimeStampOffset(C.Value));
  }
}

TEST_F(MemTableData, TimeStampFieldsTakeDatesAndRefuseBadText) {
  AddField(QStringLiteral("At"), ftTimeStamp);
  Append({VarFromDateTime(EncodeDateTime(2021, 3, 4, 10, 20, 30, 5))});
  EXPECT_EQ(VarToSQLTimeStamp(Value(0, 0)), static_cast<const TSQLTimeStamp&>(stamp(5)));
  List()->SetValue(0, 0, QStringLiteral("2021-13-04T10:20:30"));  // stored unconverted
  const QByteArray Bytes = save(Data);
  TMemTableFixture Copy;
  EXPECT_RAISES(load(Copy.Data, Bytes), EReadError,
                "Error reading RecordsList.Data: Invalid time stamp text \"2021-13-04T10:20:30\"");
}

}  // namespace
