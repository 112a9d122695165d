#include "platform/db/fieldclasses.h"

#include "platform/db/dbconsts.h"
#include "platform/rtl/formatsettings.h"

#include "tests/support/testing.h"

#include <QStringList>
#include <memory>

namespace {

struct TFreeObject {
  void operator()(TObject* Obj) const { Obj->Free(); }
};
using TFieldPtr = std::unique_ptr<TField, TFreeObject>;

TFieldPtr makeField(TFieldType Type) {
  const TFieldClass Class = DefaultFieldClass(Type);
  if (!Class) return nullptr;
  return TFieldPtr(dynamic_cast<TField*>(Class->Create(static_cast<TComponent*>(nullptr))));
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
};

TEST(FieldClassesTest, ClassTablePicksOneClassPerType) {
  for (const ClassCase& C : ClassCases) {
    SCOPED_TRACE(FieldTypeName(C.Type).toStdString());
    TFieldPtr Field = makeField(C.Type);
    ASSERT_NE(Field, nullptr);
    EXPECT_EQ(Field->ClassName(), String(C.ClassName));
    EXPECT_EQ(Field->DisplayWidth(), C.DisplayWidth);
    EXPECT_EQ(Field->IsBlob(), Is<TBlobField>(Field.get()));
  }
  for (TFieldType Type : {ftUnknown, ftCursor, ftADT, ftArray, ftReference, ftDataSet, ftInterface, ftIDispatch,
                          ftTimeStamp, ftFMTBcd, ftOraTimeStamp, ftConnection, ftParams, ftStream,
                          ftTimeStampOffset, ftObject}) {
    SCOPED_TRACE(FieldTypeName(Type).toStdString());
    EXPECT_EQ(DefaultFieldClass(Type), nullptr);
  }
}

TEST(FieldClassesTest, ClassFamiliesShareTheirBases) {
  TFieldPtr Smallint = makeField(ftSmallint), Largeint = makeField(ftLargeint), Currency = makeField(ftCurrency),
            Date = makeField(ftDate), Guid = makeField(ftGuid), Memo = makeField(ftMemo),
            Bytes = makeField(ftBytes), Bcd = makeField(ftBCD);
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
    TFieldPtr Field = makeField(C.Type);
    QStringList Mismatches;
    for (const TPropInfo* P : GetPropList(Field.get())) {
      if (!P->HasDefault) continue;
      const Int64 Value = GetOrdProp(Field.get(), P);
      if (Value != P->Default) Mismatches << QStringLiteral("%1=%2 (default %3)").arg(P->Name).arg(Value).arg(P->Default);
    }
    EXPECT_EQ(Mismatches, QStringList());
  }
}

TEST(FieldClassesTest, DisplayWidthFollowsSizeAndTextsUntilSet) {
  TFieldPtr Name = makeField(ftString);
  Name->SetSize(42);
  EXPECT_EQ(Name->DisplayWidth(), 42);
  Name->SetDisplayWidth(7);
  EXPECT_EQ(Name->DisplayWidth(), 7);

  TFieldPtr Flag = makeField(ftBoolean);
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
    TFieldPtr Field = makeField(C.Type);
    for (QChar Ch : QString::fromUtf8(C.Accepted)) EXPECT_TRUE(Field->IsValidChar(Ch)) << int(Ch.unicode());
    for (QChar Ch : QString::fromUtf8(C.Refused)) EXPECT_FALSE(Field->IsValidChar(Ch)) << int(Ch.unicode());
  }
  EXPECT_TRUE(makeField(ftWideString)->IsValidChar(QChar(0x0416)));
}

TEST(FieldClassesTest, FieldsWithoutDatasetRefuseValues) {
  TFieldPtr Field = makeField(ftInteger);
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
  TFieldPtr Field = makeField(ftString);
  Field->SetFieldName("Title");
  EXPECT_EQ(Field->DisplayLabel(), String("Title"));
  Field->SetDisplayLabel("Book title");
  EXPECT_EQ(Field->DisplayName(), String("Book title"));
  EXPECT_TRUE(IsStoredProp(Field.get(), "DisplayLabel"));
  Field->SetDisplayLabel("Title");
  EXPECT_FALSE(IsStoredProp(Field.get(), "DisplayLabel"));
}

}  // namespace
