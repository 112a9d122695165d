#include "platform/db/fielddefs.h"

#include "platform/db/dbconsts.h"
#include "platform/db/fieldclasses.h"

#include "tests/support/testing.h"

namespace {

TEST(FieldDefsTest, AddFindAndIndexOfIgnoreCase) {
  TOwned<TFieldDefs> Defs(new TFieldDefs(nullptr));
  Defs->Add("Id", ftInteger, 0, /*Required=*/true);
  Defs->Add("Title", ftWideString, 120);
  Defs->AddFieldDef()->SetName("Notes");

  ASSERT_EQ(Defs->Count(), 3);
  EXPECT_EQ(Defs->IndexOf("TITLE"), 1);
  EXPECT_EQ(Defs->IndexOf("Missing"), -1);
  EXPECT_EQ(Defs->Find("title"), Defs->Items(1));
  EXPECT_EQ(Defs->Items(1)->Size(), 120);
  EXPECT_EQ(Defs->Items(1)->DataType(), ftWideString);
  EXPECT_TRUE(Defs->Items(0)->Required());
  EXPECT_TRUE(Defs->Items(0)->Attributes().Contains(faRequired));
  EXPECT_FALSE(Defs->Items(1)->Required());
  EXPECT_EQ(Defs->Items(2)->DisplayName(), String("Notes"));

  EXPECT_RAISES(Defs->Find("Missing"), EDatabaseError, "Field 'Missing' not found");
  EXPECT_RAISES(Defs->Add("", ftString), EDatabaseError, "Field name missing");
  EXPECT_EQ(Defs->Count(), 3);
}

TEST(FieldDefsTest, FieldNoIsThePlaceUnlessSet) {
  TOwned<TFieldDefs> Defs(new TFieldDefs(nullptr));
  Defs->Add("A", ftInteger);
  Defs->Add("B", ftInteger);
  EXPECT_EQ(Defs->Items(0)->FieldNo(), 1);
  EXPECT_EQ(Defs->Items(1)->FieldNo(), 2);
  Defs->Items(1)->SetFieldNo(7);
  EXPECT_EQ(Defs->Items(1)->FieldNo(), 7);
  Defs->Items(0)->SetIndex(1);
  EXPECT_EQ(Defs->Items(1)->FieldNo(), 2);  // "A", now second

  Defs->Items(0)->SetRequired(true);
  Defs->Items(0)->SetRequired(false);
  EXPECT_TRUE(Defs->Items(0)->Attributes().Empty());
  EXPECT_FALSE(Defs->Items(0)->HasChildDefs());
  EXPECT_EQ(Defs->Items(0)->ChildDefs()->Count(), 0);
  EXPECT_EQ(Defs->Items(0)->ChildDefs()->ParentDef(), Defs->Items(0));
}

TEST(FieldDefsTest, AssignCopiesEveryDef) {
  TOwned<TFieldDefs> Source(new TFieldDefs(nullptr));
  Source->Add("Price", ftBCD, 2, /*Required=*/true);
  Source->Items(0)->SetPrecision(12);
  Source->Items(0)->SetInternalCalcField(true);
  Source->Add("Code", ftFixedChar, 3);

  TOwned<TFieldDefs> Copy(new TFieldDefs(nullptr));
  Copy->Add("Old", ftString);
  Copy->Assign(Source.get());
  ASSERT_EQ(Copy->Count(), 2);
  const TFieldDef* Price = Copy->Items(0);
  EXPECT_EQ(Price->Name(), String("Price"));
  EXPECT_EQ(Price->DataType(), ftBCD);
  EXPECT_EQ(Price->Size(), 2);
  EXPECT_EQ(Price->Precision(), 12);
  EXPECT_TRUE(Price->Required());
  EXPECT_TRUE(Price->InternalCalcField());
  EXPECT_EQ(Copy->Items(1)->DataType(), ftFixedChar);
}

// Fields made from defs without a dataset: the class table picks the class.
TEST(FieldDefsTest, CreateFieldTakesNameTypeSizeAndFlags) {
  TOwned<TFieldDefs> Defs(new TFieldDefs(nullptr));
  Defs->Add("Code", ftFixedChar, 3, /*Required=*/true);
  Defs->Add("Amount", ftBCD, 2);
  Defs->Items(1)->SetPrecision(10);
  Defs->Items(1)->SetAttributes({faReadonly});
  Defs->Add("Memo", ftFmtMemo);
  Defs->Add("Id", ftGuid, 38);

  TOwned<TComponent> Owner(new TComponent(nullptr));
  auto* Code = dynamic_cast<TStringField*>(Defs->Items(0)->CreateField(Owner.get()));
  ASSERT_NE(Code, nullptr);
  EXPECT_EQ(Code->Owner(), Owner.get());
  EXPECT_EQ(Code->FieldName(), String("Code"));
  EXPECT_EQ(Code->DataType(), ftFixedChar);
  EXPECT_EQ(Code->Size(), 3);
  EXPECT_TRUE(Code->FixedChar());
  EXPECT_TRUE(Code->Required());
  EXPECT_EQ(Code->FieldNo(), 1);

  auto* Amount = dynamic_cast<TBCDField*>(Defs->Items(1)->CreateField(Owner.get()));
  ASSERT_NE(Amount, nullptr);
  EXPECT_EQ(Amount->Size(), 2);
  EXPECT_EQ(Amount->Precision(), 10);
  EXPECT_TRUE(Amount->ReadOnly());

  TField* Memo = Defs->Items(2)->CreateField(Owner.get());
  EXPECT_EQ(Memo->ClassName(), String("TMemoField"));
  EXPECT_EQ(Memo->DataType(), ftFmtMemo);
  EXPECT_EQ(Defs->Items(3)->CreateField(Owner.get())->ClassName(), String("TGuidField"));
}

TEST(FieldDefsTest, CreateFieldRefusesUnknownTypesAndBadSizes) {
  TOwned<TFieldDefs> Defs(new TFieldDefs(nullptr));
  Defs->Add("Cursor", ftCursor);
  Defs->Add("Count", ftInteger, 4);
  Defs->Add("Name", ftString, -1);
  Defs->Add("Id", ftGuid, 16);
  Defs->Add("Scale", ftBCD, 33);

  TOwned<TComponent> Owner(new TComponent(nullptr));
  EXPECT_RAISES(Defs->Items(0)->CreateField(Owner.get()), EDatabaseError, "Field 'Cursor' is of an unknown type");
  for (int I = 1; I < Defs->Count(); ++I) {
    SCOPED_TRACE(Defs->Items(I)->Name().toStdString());
    EXPECT_RAISES(Defs->Items(I)->CreateField(Owner.get()), EDatabaseError, "Invalid field size");
  }
  // A field that failed is freed again.
  EXPECT_EQ(Owner->ComponentCount(), 0);
}

}  // namespace
