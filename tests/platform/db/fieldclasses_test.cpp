#include "platform/db/fieldclasses.h"

#include "platform/db/dataset.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fielddefs.h"
#include "platform/db/testing/rowlistdataset.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/numconv.h"

#include "tests/support/testing.h"

#include <QStringList>
#include <functional>
#include <memory>

namespace {

TOwned<TField> makeField(TFieldType Type) {
  const TFieldClass Class = DefaultFieldClass(Type);
  if (!Class) return nullptr;
  return TOwned<TField>(dynamic_cast<TField*>(Class->Create(static_cast<TComponent*>(nullptr))));
}

struct ClassCase {
  TFieldType Type;
  const char* ClassName;
  Integer DisplayWidth;
};

const ClassCase ClassCases[] = {
    {ftString, "TStringField", 20},        {ftFixedChar, "TStringField", 20},
    {ftOraInterval, "TStringField", 20},   {ftWideString, "TWideStringField", 20},
    {ftFixedWideChar, "TWideStringField", 20}, {ftGuid, "TGuidField", 38},
    {ftSmallint, "TSmallintField", 6},     {ftInteger, "TIntegerField", 10},
    {ftWord, "TWordField", 5},             {ftAutoInc, "TAutoIncField", 10},
    {ftShortint, "TShortintField", 4},     {ftByte, "TByteField", 3},
    {ftLongWord, "TLongWordField", 10},    {ftLargeint, "TLargeintField", 15},
    {ftFloat, "TFloatField", 10},          {ftCurrency, "TCurrencyField", 10},
    {ftExtended, "TExtendedField", 10},    {ftSingle, "TSingleField", 10},
    {ftBCD, "TBCDField", 10},              {ftBoolean, "TBooleanField", 5},
    {ftDate, "TDateField", 10},            {ftTime, "TTimeField", 10},
    {ftDateTime, "TDateTimeField", 18},    {ftBytes, "TBytesField", 10},
    {ftVarBytes, "TVarBytesField", 10},    {ftBlob, "TBlobField", 10},
    {ftParadoxOle, "TBlobField", 10},      {ftDBaseOle, "TBlobField", 10},
    {ftTypedBinary, "TBlobField", 10},     {ftOraBlob, "TBlobField", 10},
    {ftMemo, "TMemoField", 10},            {ftFmtMemo, "TMemoField", 10},
    {ftOraClob, "TMemoField", 10},         {ftWideMemo, "TWideMemoField", 10},
    {ftGraphic, "TGraphicField", 10},      {ftVariant, "TVariantField", 10},
    {ftTimeStamp, "TSQLTimeStampField", 24}, {ftOraTimeStamp, "TSQLTimeStampField", 24},
    {ftTimeStampOffset, "TSQLTimeStampOffsetField", 24}, {ftFMTBcd, "TFMTBCDField", 10},
};

TEST(FieldClassesTest, ClassTablePicksOneClassPerType) {
  for (const ClassCase& C : ClassCases) {
    SCOPED_TRACE(FieldTypeName(C.Type).toStdString());
    TOwned<TField> Field = makeField(C.Type);
    ASSERT_NE(Field, nullptr);
    EXPECT_EQ(Field->ClassName(), String(C.ClassName));
    EXPECT_EQ(Field->DisplayWidth(), C.DisplayWidth);
    EXPECT_EQ(Field->IsBlob(), Is<TBlobField>(Field.get()));
  }
  for (TFieldType Type : {ftUnknown, ftCursor, ftADT, ftArray, ftReference, ftDataSet, ftInterface, ftIDispatch,
                          ftConnection, ftParams, ftStream, ftObject}) {
    SCOPED_TRACE(FieldTypeName(Type).toStdString());
    EXPECT_EQ(DefaultFieldClass(Type), nullptr);
  }
}

TEST(FieldClassesTest, ClassFamiliesShareTheirBases) {
  TOwned<TField> Smallint = makeField(ftSmallint), Largeint = makeField(ftLargeint),
                 Currency = makeField(ftCurrency), Date = makeField(ftDate), Guid = makeField(ftGuid),
                 Memo = makeField(ftMemo), Bytes = makeField(ftBytes), Bcd = makeField(ftBCD);
  EXPECT_TRUE(Is<TIntegerField>(Smallint.get()));
  EXPECT_TRUE(Is<TNumericField>(Largeint.get()));
  EXPECT_FALSE(Is<TIntegerField>(Largeint.get()));
  EXPECT_TRUE(Is<TFloatField>(Currency.get()));
  EXPECT_TRUE(dynamic_cast<TFloatField*>(Currency.get())->Currency());
  EXPECT_TRUE(Is<TDateTimeField>(Date.get()));
  EXPECT_TRUE(Is<TStringField>(Guid.get()));
  EXPECT_TRUE(Is<TBlobField>(Memo.get()));
  EXPECT_TRUE(Is<TBinaryField>(Bytes.get()));
  EXPECT_FALSE(Is<TFloatField>(Bcd.get()));
  EXPECT_TRUE(Is<TNumericField>(Bcd.get()));
  EXPECT_EQ(Smallint->Alignment(), taRightJustify);
  EXPECT_EQ(Guid->Alignment(), taLeftJustify);
}

// A fresh field of every class holds the defaults its published properties
// declare (the streaming system leaves those values out).
TEST(FieldClassesTest, FreshFieldsHoldTheirPublishedDefaults) {
  for (const ClassCase& C : ClassCases) {
    SCOPED_TRACE(C.ClassName);
    TOwned<TField> Field = makeField(C.Type);
    QStringList Mismatches;
    for (const TPropInfo* P : GetPropList(Field.get())) {
      if (!P->HasDefault) continue;
      const Int64 Value = GetOrdProp(Field.get(), P);
      if (Value != P->Default) Mismatches << QStringLiteral("%1=%2 (default %3)").arg(P->Name).arg(Value).arg(P->Default);
    }
    EXPECT_EQ(Mismatches, QStringList());
  }
}

// Streams find field classes by name once the unit has registered them.
TEST(FieldClassesTest, RegisteredByName) {
  EXPECT_EQ(GetClass("TMemoField"), nullptr);
  RegisterFieldClasses();
  for (const ClassCase& C : ClassCases) {
    SCOPED_TRACE(C.ClassName);
    EXPECT_EQ(GetClass(C.ClassName), DefaultFieldClass(C.Type));
  }
  EXPECT_EQ(FindClass("tfloatfield"), TFloatField::StaticClass());
  EXPECT_TRUE(FindClass("TDateField")->InheritsFrom(TDateTimeField::StaticClass()));
  UnRegisterFieldClasses();
  EXPECT_EQ(GetClass("TMemoField"), nullptr);
}

TEST(FieldClassesTest, DisplayWidthFollowsSizeAndTextsUntilSet) {
  TOwned<TField> Name = makeField(ftString);
  Name->SetSize(42);
  EXPECT_EQ(Name->DisplayWidth(), 42);
  Name->SetDisplayWidth(7);
  EXPECT_EQ(Name->DisplayWidth(), 7);

  TOwned<TField> Flag = makeField(ftBoolean);
  auto* Boolean = dynamic_cast<TBooleanField*>(Flag.get());
  Boolean->SetDisplayValues("Yes;Nope!");
  EXPECT_EQ(Flag->DisplayWidth(), 5);
  Boolean->SetDisplayValues("Certainly;");
  EXPECT_EQ(Flag->DisplayWidth(), 9);
}

TEST(FieldClassesTest, IsValidCharByFamily) {
  TFormatSettingsScope Saved;
  FormatSettings().DecimalSeparator = u',';
  struct Case {
    TFieldType Type;
    const char* Accepted;
    const char* Refused;
  };
  const Case Cases[] = {
      {ftInteger, "+-0123456789", "Ee,.x $"},
      {ftLargeint, "+-09", "E,"},
      {ftWord, "+-09", "e"},
      {ftFloat, "+-0123456789Ee,", ".x $"},
      {ftCurrency, "+-09Ee,", ".x"},
      {ftBCD, "+-09Ee,", ".x"},
      {ftString, "aZ9 ,.;\t", ""},
      {ftBoolean, "yNx", ""},
      {ftDate, "/.x", ""},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(FieldTypeName(C.Type).toStdString());
    TOwned<TField> Field = makeField(C.Type);
    for (QChar Ch : QString::fromUtf8(C.Accepted)) EXPECT_TRUE(Field->IsValidChar(Ch)) << int(Ch.unicode());
    for (QChar Ch : QString::fromUtf8(C.Refused)) EXPECT_FALSE(Field->IsValidChar(Ch)) << int(Ch.unicode());
  }
  EXPECT_TRUE(makeField(ftWideString)->IsValidChar(QChar(0x0416)));
}

TEST(FieldClassesTest, FieldsWithoutDatasetRefuseValues) {
  TOwned<TField> Field = makeField(ftInteger);
  Field->SetFieldName("Qty");
  EXPECT_RAISES(Field->AsInteger(), EDatabaseError, "Field 'Qty' has no dataset");
  EXPECT_RAISES(Field->SetAsInteger(5), EDatabaseError, "Field 'Qty' has no dataset");
  EXPECT_RAISES(Field->DisplayText(), EDatabaseError, "Field 'Qty' has no dataset");
  Field->SetDisplayLabel("Quantity");
  EXPECT_RAISES(Field->IsNull(), EDatabaseError, "Field 'Quantity' has no dataset");
  // Checks that need no value come first.
  EXPECT_RAISES(Field->SetAsString("12a"), EDatabaseError, "'12a' is not a valid integer value for field 'Quantity'");
  EXPECT_RAISES(Field->SetAsString("3000000000"), EDatabaseError,
                "'3000000000' is not a valid integer value for field 'Quantity'");
  EXPECT_RAISES(makeField(ftBoolean)->AsInteger(), EDatabaseError, "Cannot access field '' as type Integer");
}

TEST(FieldClassesTest, DisplayLabelFallsBackToFieldName) {
  TOwned<TField> Field = makeField(ftString);
  Field->SetFieldName("Title");
  EXPECT_EQ(Field->DisplayLabel(), String("Title"));
  Field->SetDisplayLabel("Book title");
  EXPECT_EQ(Field->DisplayName(), String("Book title"));
  EXPECT_TRUE(IsStoredProp(Field.get(), "DisplayLabel"));
  Field->SetDisplayLabel("Title");
  EXPECT_FALSE(IsStoredProp(Field.get(), "DisplayLabel"));
}

// ---------------------------------------------------------------------------
// values and texts through a dataset

struct DefCase {
  const char* Name;
  TFieldType Type;
  Integer Size;
};

// One column per kind, one row of Nulls, opened and in edit mode.
const DefCase Columns[] = {
    {"I", ftInteger, 0},    {"S", ftSmallint, 0}, {"W", ftWord, 0},       {"Sh", ftShortint, 0},
    {"By", ftByte, 0},      {"L", ftLargeint, 0}, {"LW", ftLongWord, 0},  {"F", ftFloat, 0},
    {"Sg", ftSingle, 0},    {"C", ftCurrency, 0}, {"B", ftBCD, 2},        {"Bo", ftBoolean, 0},
    {"D", ftDate, 0},       {"Tm", ftTime, 0},    {"DT", ftDateTime, 0},  {"Str", ftString, 5},
    {"WStr", ftWideString, 20}, {"G", ftGuid, 38}, {"M", ftMemo, 0},      {"WM", ftWideMemo, 0},
    {"Bl", ftBlob, 0},      {"Gr", ftGraphic, 0}, {"Bt", ftBytes, 4},     {"V", ftVariant, 0},
};

class FieldValuesTest : public ::testing::Test {
protected:
  void SetUp() override {
    FDataSet.reset(new TRowListDataSet(nullptr));
    FDataSet->SetName("T");
    for (const DefCase& C : Columns) FDataSet->FieldDefs()->Add(C.Name, C.Type, C.Size);
    FDataSet->AppendRow(TRowListDataSet::TRow(std::size(Columns), Null()));
    FDataSet->Open();
    FDataSet->Edit();
  }

  TField* Field(const char* Name) { return FDataSet->FieldByName(Name); }

  TOwned<TRowListDataSet> FDataSet;
  TFormatSettingsScope FSettings;
};

// Parsing an edit text: Text := runs the class's rules.
TEST_F(FieldValuesTest, TextsParseByClass) {
  struct Case {
    const char* Field;
    const char* Input;
    const char* Expected;  // the field's AsString afterwards; nullptr: Null
    const char* Error;     // EDatabaseError text, nullptr when none
    std::function<void(TField*)> Setup;
  };
  auto Range = [](Integer Min, Integer Max) {
    return [=](TField* F) {
      dynamic_cast<TIntegerField*>(F)->SetMinValue(Min);
      dynamic_cast<TIntegerField*>(F)->SetMaxValue(Max);
    };
  };
  auto YesNo = [](TField* F) { dynamic_cast<TBooleanField*>(F)->SetDisplayValues("Yes;No"); };
  const Case Cases[] = {
      {"I", "12", "12", nullptr, nullptr},
      {"I", "-5", "-5", nullptr, nullptr},
      {"I", "$1F", "31", nullptr, nullptr},
      {"I", "", nullptr, nullptr, nullptr},
      {"I", "12a", nullptr, "'12a' is not a valid integer value for field 'I'", nullptr},
      {"I", "1.5", nullptr, "'1.5' is not a valid integer value for field 'I'", nullptr},
      {"I", "9", nullptr, "9 is not a valid value for field 'I'. The allowed range is 10 to 20", Range(10, 20)},
      {"I", "10", "10", nullptr, Range(10, 20)},
      {"I", "20", "20", nullptr, Range(10, 20)},
      {"I", "21", nullptr, "21 is not a valid value for field 'I'. The allowed range is 10 to 20", Range(10, 20)},
      {"I", "25", nullptr, "25 is not a valid value for field 'I'. The allowed range is 10 to 20", Range(10, 20)},
      {"S", "32767", "32767", nullptr, nullptr},
      {"S", "-32769", nullptr, "-32769 is not a valid value for field 'S'. The allowed range is -32768 to 32767",
       nullptr},
      {"W", "65535", "65535", nullptr, nullptr},
      {"W", "-1", nullptr, "-1 is not a valid value for field 'W'. The allowed range is 0 to 65535", nullptr},
      {"Sh", "128", nullptr, "128 is not a valid value for field 'Sh'. The allowed range is -128 to 127", nullptr},
      {"By", "256", nullptr, "256 is not a valid value for field 'By'. The allowed range is 0 to 255", nullptr},
      {"L", "9223372036854775807", "9223372036854775807", nullptr, nullptr},
      {"L", "1e3", nullptr, "'1e3' is not a valid integer value for field 'L'", nullptr},
      {"LW", "4294967295", "4294967295", nullptr, nullptr},
      {"LW", "4294967296", nullptr,
       "4294967296 is not a valid value for field 'LW'. The allowed range is 0 to 4294967295", nullptr},
      {"F", "1,5", "1,5", nullptr, nullptr},
      {"F", "1.5", "1,5", nullptr, nullptr},
      {"F", "-2,5E2", "-250", nullptr, nullptr},
      {"F", "", nullptr, nullptr, nullptr},
      {"F", "abc", nullptr, "'abc' is not a valid floating point value for field 'F'", nullptr},
      {"F", "2", nullptr, "2 is not a valid value for field 'F'. The allowed range is 0,5 to 1,5",
       [](TField* F) {
         dynamic_cast<TFloatField*>(F)->SetMinValue(0.5);
         dynamic_cast<TFloatField*>(F)->SetMaxValue(1.5);
       }},
      {"B", "12,3456", "12,3456", nullptr, nullptr},
      {"B", "1.25", "1,25", nullptr, nullptr},
      {"B", "1,2,3", nullptr, "'1,2,3' is not a valid floating point value for field 'B'", nullptr},
      {"Bo", "y", "Yes", nullptr, YesNo},
      {"Bo", "N", "No", nullptr, YesNo},
      {"Bo", "YES", "Yes", nullptr, YesNo},
      {"Bo", "maybe", nullptr, "'maybe' is not a valid boolean value for field 'Bo'", YesNo},
      {"Bo", "Yess", nullptr, "'Yess' is not a valid boolean value for field 'Bo'", YesNo},
      {"Bo", "", nullptr, nullptr, YesNo},
      {"Bo", "", "", nullptr, [](TField* F) { dynamic_cast<TBooleanField*>(F)->SetDisplayValues("Yes;"); }},
      {"Bo", "f", "False", nullptr, nullptr},
      {"Bo", "TRUE", "True", nullptr, nullptr},
      {"D", "", nullptr, nullptr, nullptr},
      {"D", "01/02/2020", "01/02/2020", nullptr, nullptr},
      {"Tm", "13:45", "13:45:00", nullptr, nullptr},
      {"DT", "01/02/2020 13:45:10", "01/02/2020 13:45:10", nullptr, nullptr},
      {"Str", "abcdefgh", "abcde", nullptr, nullptr},
      {"M", "Привет", "Привет", nullptr, nullptr},
  };
  FormatSettings().DecimalSeparator = u',';
  FormatSettings().ThousandSeparator = u'.';
  for (const Case& C : Cases) {
    SCOPED_TRACE(std::string(C.Field) + " <- '" + C.Input + "'");
    SetUp();
    TField* F = Field(C.Field);
    if (C.Setup) C.Setup(F);
    if (C.Error) {
      EXPECT_RAISES(F->SetText(QString::fromUtf8(C.Input)), EDatabaseError, QString::fromUtf8(C.Error));
      EXPECT_TRUE(F->IsNull());
      continue;
    }
    F->SetText(QString::fromUtf8(C.Input));
    EXPECT_EQ(F->IsNull(), C.Expected == nullptr);
    if (C.Expected) {
      EXPECT_EQ(F->AsString(), QString::fromUtf8(C.Expected));
    }
  }
  EXPECT_THROW(Field("D")->SetText("13/45/2020"), EConvertError);
}

// The display and edit texts of each class.
TEST_F(FieldValuesTest, DisplayAndEditTexts) {
  FormatSettings().CurrencyString = QStringLiteral("$");
  struct Case {
    const char* Name;
    const char* Field;
    Variant Value;
    const char* Display;
    const char* Edit;
    std::function<void(TField*)> Setup;
  };
  const TDateTime Day = EncodeDate(2020, 1, 2);
  const TDateTime Time = EncodeTime(13, 45, 10, 0);
  auto Numeric = [](const char* Display, const char* Edit) {
    return [=](TField* F) {
      dynamic_cast<TNumericField*>(F)->SetDisplayFormat(Display);
      dynamic_cast<TNumericField*>(F)->SetEditFormat(Edit);
    };
  };
  const Case Cases[] = {
      {"integer plain", "I", Variant(12345), "12345", "12345", nullptr},
      {"integer display format", "I", Variant(12345), "12,345", "12,345", Numeric("#,##0", "")},
      {"integer edit format", "I", Variant(12345), "12,345", "12345", Numeric("#,##0", "0")},
      {"largeint format", "L", Variant(Int64(-1234567)), "-1,234,567", "-1234567", Numeric("#,##0", "0")},
      {"float general", "F", Variant(1234.5678), "1234.5678", "1234.5678", nullptr},
      {"float precision 5", "F", Variant(1234.5678), "1234.6", "1234.6",
       [](TField* F) { dynamic_cast<TFloatField*>(F)->SetPrecision(5); }},
      {"float currency", "F", Variant(1234.567), "$1,234.57", "1234.57",
       [](TField* F) { dynamic_cast<TFloatField*>(F)->SetCurrency(true); }},
      {"currency field", "C", Variant(-1234.5), "($1,234.50)", "-1234.50", nullptr},
      {"currency display format", "C", Variant(0.5), "0.500", "0.500", Numeric("0.000", "")},
      {"bcd general", "B", Variant(Currency(12.5)), "12.5", "12.5", nullptr},
      {"bcd currency", "B", Variant(Currency(12.5)), "$12.50", "12.50",
       [](TField* F) { dynamic_cast<TBCDField*>(F)->SetCurrency(true); }},
      {"boolean default", "Bo", Variant(true), "True", "True", nullptr},
      {"boolean display values", "Bo", Variant(false), "No", "No",
       [](TField* F) { dynamic_cast<TBooleanField*>(F)->SetDisplayValues("Yes;No"); }},
      {"date", "D", VarFromDateTime(Day), "01/02/2020", "01/02/2020", nullptr},
      {"date display format", "D", VarFromDateTime(Day), "2020-01-02", "01/02/2020",
       [](TField* F) { dynamic_cast<TDateTimeField*>(F)->SetDisplayFormat("yyyy-mm-dd"); }},
      {"time", "Tm", VarFromDateTime(Time), "13:45:10", "13:45:10", nullptr},
      {"date-time at midnight", "DT", VarFromDateTime(Day), "01/02/2020", "01/02/2020", nullptr},
      {"date-time", "DT", VarFromDateTime(Day + Time), "01/02/2020 13:45:10", "01/02/2020 13:45:10", nullptr},
      {"string", "Str", Variant("abc"), "abc", "abc", nullptr},
      {"memo", "M", Variant("text"), "(MEMO)", "(MEMO)", nullptr},
      {"memo null", "M", Null(), "(memo)", "(memo)", nullptr},
      {"wide memo", "WM", Variant("text"), "(WIDEMEMO)", "(WIDEMEMO)", nullptr},
      {"blob", "Bl", VarArrayFromBytes(QByteArray("ab")), "(BLOB)", "(BLOB)", nullptr},
      {"graphic null", "Gr", Null(), "(graphic)", "(graphic)", nullptr},
      {"bytes", "Bt", VarArrayFromBytes(QByteArray("ab")), "(BYTES)", "(BYTES)", nullptr},
      {"integer null", "I", Null(), "", "", nullptr},
      {"float null", "F", Null(), "", "", nullptr},
      {"date null", "D", Null(), "", "", nullptr},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    SetUp();
    FormatSettings().CurrencyString = QStringLiteral("$");
    TField* F = Field(C.Field);
    if (C.Setup) C.Setup(F);
    F->SetValue(C.Value);
    EXPECT_EQ(F->DisplayText(), QString::fromUtf8(C.Display));
    EXPECT_EQ(F->Text(), QString::fromUtf8(C.Edit));
  }
}

// A string field shows its value through EditMask; its edit text stays the value.
TEST_F(FieldValuesTest, StringDisplayTextAppliesEditMask) {
  struct Case {
    const char* EditMask;
    Variant Value;
    const char* Display;
    const char* Edit;
  };
  const Case Cases[] = {
      {"", Variant("12345"), "12345", "12345"},
      {"000-00;0;_", Variant("12345"), "123-45", "12345"},
      {"!999;0;_", Variant("12"), " 12", "12"},
      {"!99-99;1;_", Variant("1-2"), " 1- 2", "1-2"},
      {"!99-99;1;_", Null(), "  -  ", ""},
      {"99/99;0;_", Variant("1234"), "12-34", "1234"},  // the settings' date separator
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.EditMask);
    SetUp();
    FormatSettings().DateSeparator = u'-';
    TField* F = Field("Str");
    F->SetEditMask(C.EditMask);
    F->SetValue(C.Value);
    EXPECT_EQ(F->DisplayText(), QString::fromUtf8(C.Display));
    EXPECT_EQ(F->Text(), QString::fromUtf8(C.Edit));
  }
}

// Values come back in the kind of their class, whatever was written.
TEST_F(FieldValuesTest, ValuesTakeTheKindOfTheirClass) {
  struct Case {
    const char* Field;
    Variant Written;
    TVarType Kind;
  };
  const Case Cases[] = {
      {"I", Variant(Int64(7)), varInteger},   {"S", Variant(7), varSmallint},
      {"W", Variant(7.0), varWord},           {"Sh", Variant("7"), varShortInt},
      {"By", Variant(7), varByte},            {"L", Variant(7), varInt64},
      {"LW", Variant(7), varLongWord},        {"F", Variant(7), varDouble},
      {"Sg", Variant(7.5), varSingle},        {"C", Variant(Currency(7)), varDouble},
      {"B", Variant(7.25), varCurrency},      {"Bo", Variant(1), varBoolean},
      {"D", Variant(43831.75), varDate},      {"DT", Variant(43831.75), varDate},
      {"Str", Variant(12), varUString},       {"G", Variant("{00000000-0000-0000-0000-000000000000}"), varUString},
      {"M", Variant("m"), varUString},        {"WM", Variant("w"), varUString},
      {"Bl", Variant("ab"), varArray | varByte}, {"Bt", Variant("ab"), varArray | varByte},
      {"V", Variant(Int64(7)), varInt64},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Field);
    TField* F = Field(C.Field);
    F->SetValue(C.Written);
    EXPECT_EQ(VarType(F->Value()), C.Kind);
  }
  EXPECT_EQ(Field("D")->AsDateTime(), 43831.0);
  EXPECT_EQ(Field("Tm")->AsDateTime(), 0.0);
  Field("Tm")->SetAsDateTime(43831.75);
  EXPECT_EQ(Field("Tm")->AsDateTime(), 0.75);
  EXPECT_EQ(Field("Sg")->AsFloat(), 7.5);
  EXPECT_EQ(Field("B")->AsCurrency(), Currency(7.25));
  EXPECT_EQ(Field("B")->AsInteger(), 7);
  Field("F")->SetAsFloat(2.5);
  EXPECT_EQ(Field("F")->AsInteger(), 2);  // halves to even
  EXPECT_EQ(Field("F")->AsCurrency(), Currency(2.5));
}

TEST_F(FieldValuesTest, ConversionsBetweenKinds) {
  TField* Str = Field("WStr");
  Str->SetAsInteger(42);
  EXPECT_EQ(Str->AsString(), String("42"));
  EXPECT_EQ(Str->AsInteger(), 42);
  Str->SetAsBoolean(true);
  EXPECT_EQ(Str->AsString(), String("T"));
  EXPECT_TRUE(Str->AsBoolean());
  Str->SetAsString("yes");
  EXPECT_TRUE(Str->AsBoolean());
  Str->SetAsFloat(1.5);
  EXPECT_EQ(Str->AsFloat(), 1.5);
  Str->Clear();
  EXPECT_EQ(Str->AsInteger(), 0);
  EXPECT_EQ(Str->AsDateTime(), 0.0);

  TField* Int = Field("I");
  Int->SetAsFloat(2.5);
  EXPECT_EQ(Int->AsInteger(), 2);
  EXPECT_RAISES(Int->SetAsFloat(1e19), EDatabaseError,
                "1E19 is not a valid value for field 'I'. The allowed range is -2147483648 to 2147483647");
  EXPECT_RAISES(Int->SetAsLargeInt(Int64(1) << 40), EDatabaseError,
                "1099511627776 is not a valid value for field 'I'. The allowed range is -2147483648 to 2147483647");
  Int->SetAsCurrency(Currency(3));
  EXPECT_EQ(Int->AsInteger(), 3);

  TField* Flag = Field("Bo");
  EXPECT_RAISES(Flag->SetAsInteger(1), EDatabaseError, "Cannot access field 'Bo' as type Integer");
  EXPECT_RAISES(Flag->AsFloat(), EDatabaseError, "Cannot access field 'Bo' as type Float");
  EXPECT_RAISES(Field("D")->AsBytes(), EDatabaseError, "Cannot access field 'D' as type Bytes");

  TField* Var = Field("V");
  Var->SetAsString("12");
  EXPECT_EQ(Var->AsInteger(), 12);
  Var->SetAsDateTime(1.5);
  EXPECT_EQ(VarType(Var->Value()), varDate);
  Var->Clear();
  EXPECT_EQ(Var->AsString(), String());
  EXPECT_EQ(Var->AsInteger(), 0);
}

// Bytes map 1:1 to characters; memos keep text; AnsiString is the code page.
TEST_F(FieldValuesTest, BinaryAndAnsiTexts) {
  TField* Bytes = Field("Bt");
  Bytes->SetAsBytes({0x41, 0xE9, 0xFF});
  EXPECT_EQ(Bytes->AsString(), QString::fromUtf8("Aéÿ"));
  Bytes->SetAsString(QString::fromUtf8("ÿA"));
  EXPECT_EQ(Bytes->AsBytes(), (TBytes{0xFF, 0x41}));

  TField* Blob = Field("Bl");
  Blob->SetAsString(QString::fromUtf8("é"));
  EXPECT_EQ(Blob->AsBytes(), TBytes{0xE9});
  EXPECT_EQ(Blob->AsAnsiString().Bytes(), QByteArray("\xE9"));
  Blob->SetAsAnsiString(AnsiString(QByteArray("\x01\x02"), DefaultSystemCodePage()));
  EXPECT_EQ(Blob->AsBytes(), (TBytes{1, 2}));

  TField* Memo = Field("M");
  Memo->SetAsString(QString::fromUtf8("Жук"));
  EXPECT_EQ(Memo->AsAnsiString().Bytes(), QByteArray("\xC6\xF3\xEA"));  // code page 1251
  EXPECT_EQ(Memo->AsBytes(), TBytes({0xD0, 0x96, 0xD1, 0x83, 0xD0, 0xBA}));  // the stream form, UTF-8
  Memo->SetAsAnsiString(AnsiString(QString::fromUtf8("Ёж")));
  EXPECT_EQ(Memo->AsString(), QString::fromUtf8("Ёж"));
  Memo->SetValue(VarArrayFromBytes(QByteArray("\xD0\x96")));
  EXPECT_EQ(Memo->AsString(), QString::fromUtf8("Ж"));
  Field("WM")->SetAsBytes({0x16, 0x04});
  EXPECT_EQ(Field("WM")->AsString(), QString::fromUtf8("Ж"));
}

// A dynamically typed store may hand a field a value of another kind: the
// texts and AsVariant give it as stored, the number getters convert it or
// raise the field's own error.
TEST(FieldClassesTest, ValuesOfAnotherKindReadAsStored) {
  TFormatSettingsScope Settings;
  FormatSettings().DecimalSeparator = u'.';
  struct Case {
    TFieldType Type;
    Variant Stored;
    const char* Text;     // AsString and DisplayText
    TVarType Kind;        // of AsVariant, which equals Stored
    const char* Integer;  // AsInteger, or its error
    const char* Float;    // AsFloat, or its error
  };
  const char* const NoInteger = "'%1' is not a valid integer value for field 'X'";
  const char* const NoFloat = "'%1' is not a valid floating point value for field 'X'";
  const QByteArray Bytes("AB");
  const Case Cases[] = {
      {ftInteger, Variant(Int64(5000000000LL)), "5000000000", varInt64, NoInteger, "5000000000"},
      {ftInteger, Variant(Int64(-7)), "-7", varInteger, "-7", "-7"},
      {ftSmallint, Variant(70000), "70000", varInt64, "70000", "70000"},
      {ftInteger, Variant("12ab"), "12ab", varUString, NoInteger, NoFloat},
      {ftInteger, Variant("42"), "42", varUString, "42", "42"},
      {ftInteger, Variant(1.5), "1.5", varDouble, "2", "1.5"},
      {ftInteger, VarArrayFromBytes(Bytes), "AB", varArray | varByte, NoInteger, NoFloat},
      {ftLargeint, Variant(Int64(-9223372036854775807LL - 1)), "-9223372036854775808", varInt64, NoInteger,
       "-9.22337203685478E18"},
      {ftLargeint, Variant("12ab"), "12ab", varUString, NoInteger, NoFloat},
      {ftLongWord, Variant(Int64(5000000000LL)), "5000000000", varInt64, NoInteger, "5000000000"},
      {ftLongWord, Variant(Int64(4294967295LL)), "4294967295", varLongWord, NoInteger, "4294967295"},
      {ftFloat, Variant(5e9), "5000000000", varDouble, NoInteger, "5000000000"},
      {ftFloat, Variant("n/a"), "n/a", varUString, NoInteger, NoFloat},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(FieldTypeName(C.Type).toStdString() + " " + C.Text);
    TRowListDataSet DataSet(nullptr);
    DataSet.FieldDefs()->Add("X", C.Type);
    DataSet.AppendRow({C.Stored});
    DataSet.Open();
    TField* Field = DataSet.FieldByName("X");
    const String Text = QString::fromUtf8(C.Text);
    EXPECT_EQ(Field->AsString(), Text);
    EXPECT_EQ(Field->DisplayText(), Text);
    EXPECT_EQ(VarType(Field->AsVariant()), C.Kind);
    EXPECT_TRUE(VarIsArray(C.Stored) || VarSameValue(Field->AsVariant(), C.Stored));
    auto attempt = [&](const std::function<String()>& Read) -> String {
      try {
        return Read();
      } catch (const EDatabaseError& E) {
        return E.Message;
      }
    };
    auto expected = [&](const char* Result) { return String(Result).replace(QStringLiteral("%1"), Text); };
    EXPECT_EQ(attempt([&] { return IntToStr(Field->AsInteger()); }), expected(C.Integer));
    EXPECT_EQ(attempt([&] { return FloatToStr(Field->AsFloat()); }), expected(C.Float));
  }
}

// With a format, stored integers beyond 32 bits and reals take it; a text
// shows as it is.
TEST(FieldClassesTest, FormatsApplyToStoredNumbersOnly) {
  TFormatSettingsScope Settings;
  FormatSettings().DecimalSeparator = u'.';
  FormatSettings().ThousandSeparator = u',';
  TRowListDataSet DataSet(nullptr);
  DataSet.FieldDefs()->Add("X", ftInteger);
  DataSet.AppendRow({Variant(Int64(5000000000LL))});
  DataSet.AppendRow({Variant(2.5)});
  DataSet.AppendRow({Variant("12ab")});
  DataSet.Open();
  auto* Field = dynamic_cast<TIntegerField*>(DataSet.FieldByName("X"));
  Field->SetDisplayFormat("#,##0.0");
  std::vector<String> Shown;
  for (DataSet.First(); !DataSet.Eof(); DataSet.Next()) Shown.push_back(Field->DisplayText());
  EXPECT_EQ(Shown, (std::vector<String>{"5,000,000,000.0", "2.5", "12ab"}));
}

// A string field answers text whatever the store holds: stored text as it
// is (past Size too), numbers and bytes as their text, Null as Null.
TEST(FieldClassesTest, StringFieldVariantIsAlwaysText) {
  TFormatSettingsScope Settings;
  FormatSettings().DecimalSeparator = u'.';
  const struct {
    Variant Stored;
    Variant Expected;
  } Cases[] = {
      {Variant("Иванов И. И."), Variant("Иванов И. И.")},
      {Variant("longer than five"), Variant("longer than five")},
      {Variant(Int64(42)), Variant("42")},
      {Variant(1.5), Variant("1.5")},
      {VarArrayFromBytes(QByteArray("AB")), Variant("AB")},
      {Null(), Null()},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(VarToStr(C.Expected).toStdString());
    TRowListDataSet DataSet(nullptr);
    DataSet.FieldDefs()->Add("X", ftString, 5);
    DataSet.AppendRow({C.Stored});
    DataSet.Open();
    const Variant Value = DataSet.FieldByName("X")->AsVariant();
    EXPECT_EQ(VarType(Value), VarType(C.Expected));
    if (!VarIsNull(C.Expected)) EXPECT_EQ(Value.AsString(), C.Expected.AsString());
  }
}

}  // namespace

namespace {

// A dataset that computes its aggregates from the field's handle.
class TAggregatingRows : public TRowListDataSet {
public:
  TAggregatingRows() : TRowListDataSet(nullptr) {}
  Variant GetAggregateValue(TField* Field) override {
    auto* Aggregate = static_cast<TAggregateField*>(Field);
    return Aggregate->Handle() ? Variant(Aggregate->Expression()) : Null();
  }
};

TEST(AggregateField, KeptApartFromDataFieldsAndAskingTheDataset) {
  TOwned<TAggregatingRows> DataSet(new TAggregatingRows);
  DataSet->FieldDefs()->Add(QStringLiteral("ID"), ftInteger);
  auto* Field = new TAggregateField(DataSet.get());
  Field->SetFieldName(QStringLiteral("Total"));
  Field->SetExpression(QStringLiteral("SUM(ID)"));
  Field->SetDataSet(DataSet.get());
  DataSet->Open();
  EXPECT_EQ(Field->FieldKind(), fkAggregate);
  EXPECT_FALSE(Field->Visible());
  EXPECT_EQ(DataSet->Fields()->Count(), 1);
  EXPECT_EQ(DataSet->AggFields()->Count(), 1);
  EXPECT_EQ(DataSet->FindField(QStringLiteral("Total")), Field);
  EXPECT_TRUE(VarIsNull(Field->Value()));
  TObject Handle;
  Field->SetHandle(&Handle);
  EXPECT_EQ(Field->AsString(), QStringLiteral("SUM(ID)"));
  EXPECT_EQ(Field->DisplayText(), QStringLiteral("SUM(ID)"));
  Field->SetHandle(nullptr);
}

}  // namespace

namespace {

TEST(SQLTimeStampField, HoldsTimeStampsAndTakesDateTimes) {
  TOwned<TRowListDataSet> DataSet(new TRowListDataSet(nullptr));
  DataSet->FieldDefs()->Add(QStringLiteral("At"), ftTimeStamp);
  DataSet->FieldDefs()->Add(QStringLiteral("AtZone"), ftTimeStampOffset);
  DataSet->AppendRow({Null(), Null()});
  DataSet->Open();
  TField* At = DataSet->FieldByName(QStringLiteral("At"));
  TField* AtZone = DataSet->FieldByName(QStringLiteral("AtZone"));
  EXPECT_TRUE(Is<TSQLTimeStampField>(At));
  EXPECT_TRUE(Is<TSQLTimeStampOffsetField>(AtZone));
  EXPECT_EQ(At->AsString(), String());

  const TDateTime When = EncodeDateTime(2021, 3, 4, 10, 20, 30, 5);
  DataSet->Edit();
  At->SetAsDateTime(When);
  AtZone->SetValue(VarFromDateTime(When));
  DataSet->Post();
  EXPECT_EQ(VarType(At->Value()), varSQLTimeStamp);
  EXPECT_EQ(VarType(AtZone->Value()), varSQLTimeStampOffset);
  EXPECT_EQ(At->AsDateTime(), When);
  EXPECT_EQ(At->AsString(), DateTimeToStr(When));
  static_cast<TSQLTimeStampField*>(At)->SetDisplayFormat(QStringLiteral("yyyy-mm-dd hh:nn"));
  EXPECT_EQ(At->DisplayText(), QStringLiteral("2021-03-04 10:20"));

  DataSet->Edit();
  At->SetAsString(String());
  EXPECT_TRUE(At->IsNull());
  EXPECT_THROW(At->SetAsString(QStringLiteral("not a date")), EConvertError);
  DataSet->Cancel();
}

TEST(FMTBCDField, KeepsExactDecimalsBeyondCurrency) {
  TOwned<TRowListDataSet> DataSet(new TRowListDataSet(nullptr));
  DataSet->FieldDefs()->Add(QStringLiteral("Amount"), ftFMTBcd, 6);
  DataSet->FieldDefs()->Items(0)->SetPrecision(20);
  DataSet->AppendRow({Null()});
  DataSet->Open();
  auto* Amount = dynamic_cast<TFMTBCDField*>(DataSet->FieldByName(QStringLiteral("Amount")));
  ASSERT_NE(Amount, nullptr);
  EXPECT_EQ(Amount->Precision(), 20);
  EXPECT_EQ(Amount->Size(), 6);
  EXPECT_TRUE(Amount->IsNull());

  DataSet->Edit();
  Amount->SetAsString(QStringLiteral("12345678901234.123456"));
  EXPECT_TRUE(VarIsFMTBcd(Amount->Value()));
  EXPECT_EQ(Amount->AsString(), QStringLiteral("12345678901234.123456"));
  Amount->SetAsInteger(7);
  EXPECT_EQ(Amount->AsInteger(), 7);
  Amount->SetAsFloat(0.1);
  EXPECT_EQ(Amount->AsString(), QStringLiteral("0.1"));
  EXPECT_THROW(Amount->SetAsString(QStringLiteral("abc")), EDatabaseError);
  Amount->SetAsString(String());
  EXPECT_TRUE(Amount->IsNull());
  DataSet->Cancel();
}

}  // namespace
