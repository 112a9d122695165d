// The memory table's field values: conversions, write checks, value hooks,
// calculated, internal-calculated, object and aggregate fields.
#include "gridlib/memtable/memtable.h"

#include "gridlib/memtable/memoryrecord.h"
#include "gridlib/memtable/refobjectfield.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fieldclasses.h"
#include "platform/db/testing/rowlistdataset.h"
#include "platform/rtl/exceptions.h"
#include "tests/gridlib/memtable/memtablefixture.h"

using namespace memtabletest;

namespace {

// A field of a type no value rule covers.
class TCursorField : public TVariantField {
public:
  explicit TCursorField(TComponent* AOwner) : TVariantField(AOwner) { SetDataType(ftCursor); }
};

class MemTableFieldData : public ::testing::Test {
protected:
  MemTableFieldData()
      : F({{"Id", ftInteger},
           {"Name", ftString, 5},
           {"Wide", ftWideString, 5},
           {"Amount", ftBCD, 2},
           {"Note", ftFmtMemo},
           {"Ole", ftParadoxOle},
           {"Typed", ftTypedBinary},
           {"Count", ftLongWord},
           {"Exact", ftFMTBcd, 2}}) {
    F.Table->FieldDefs()->Items(3)->SetPrecision(5);
    F.Table->FieldDefs()->Items(8)->SetPrecision(5);
    F.Table->CreateDataSet();
    F.AppendRow({1, "one"});
    F.AppendRow({2, "two"});
    F.Table->First();
  }

  TMemTableTestFixture F;
};

}  // namespace

TEST_F(MemTableFieldData, TextIsCutToTheFieldSize) {
  F.Table->Edit();
  F.Field("Name")->SetAsString("abcdefgh");
  F.Field("Wide")->SetAsString("abcdefgh");
  F.Table->Post();
  EXPECT_EQ(F.Field("Name")->AsString(), "abcde");
  EXPECT_EQ(F.Field("Wide")->AsString(), "abcde");
}

TEST_F(MemTableFieldData, BcdValuesAreCheckedAgainstThePrecisionBothWays) {
  struct Case {
    const char* Name;
    double Input;
    bool Overflows;
    double Stored;
  } Cases[] = {
      {"the limit itself passes", 1000, false, 1000},
      {"above the limit", 1000.01, true, 0},
      {"rounded half to even", 999.125, false, 999.12},
      {"negative overflow is refused too", -1000.01, true, 0},
      {"the negative limit passes", -1000, false, -1000},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    F.Table->Edit();
    F.Field("Amount")->Clear();
    if (C.Overflows) {
      EXPECT_RAISES(F.Field("Amount")->SetAsFloat(C.Input), EBcdOverflowException, "BCD overflow");
      EXPECT_TRUE(F.Field("Amount")->IsNull());
    } else {
      F.Field("Amount")->SetAsFloat(C.Input);
      EXPECT_DOUBLE_EQ(F.Field("Amount")->AsFloat(), C.Stored);
    }
    F.Table->Cancel();
  }
}

TEST_F(MemTableFieldData, FmtBcdValuesAreCheckedAndNormalised) {
  struct Case {
    const char* Name;
    const char* Input;
    bool Overflows;
    const char* Stored;
  } Cases[] = {
      {"too many integer digits", "1234", true, ""},
      {"zero is not checked", "0", false, "0"},
      {"rounded to the scale", "123.456", false, "123.46"},
      {"negative too", "-999.994", false, "-999.99"},
      {"negative overflow", "-1000", true, ""},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    F.Table->Edit();
    F.Field("Exact")->Clear();
    if (C.Overflows) {
      EXPECT_RAISES(F.Field("Exact")->SetAsString(C.Input), EBcdOverflowException, "BCD overflow");
      EXPECT_TRUE(F.Field("Exact")->IsNull());
    } else {
      F.Field("Exact")->SetAsString(C.Input);
      EXPECT_EQ(F.Field("Exact")->AsString(), String(C.Stored));
    }
    F.Table->Cancel();
  }
}

TEST_F(MemTableFieldData, WritesAreCheckedByStateAndReadOnly) {
  EXPECT_RAISES(F.Field("Id")->SetAsInteger(5), EDatabaseError, "Dataset not in edit or insert mode");
  F.Field("Name")->SetReadOnly(true);
  F.Table->Edit();
  EXPECT_RAISES(F.Field("Name")->SetAsString("x"), EDatabaseError, "Field 'Name' cannot be modified");
  F.Table->Cancel();

  const TDataSetState Saved = F.Table->SetTempState(dsFilter);
  F.Field("Name")->SetAsString("flt");
  EXPECT_EQ(F.Field("Name")->AsString(), "flt");
  F.Table->RestoreState(Saved);
}

TEST_F(MemTableFieldData, AFailingValidationStoresNothing) {
  F.Field("Id")->SetOnValidate(TFieldNotifyEvent([](TField*) { throw Exception("refused"); }));
  F.Table->Edit();
  EXPECT_RAISES(F.Field("Id")->SetAsInteger(9), Exception, "refused");
  EXPECT_EQ(F.Field("Id")->AsInteger(), 1);
}

TEST_F(MemTableFieldData, NullAndEmptyReadAsNoValue) {
  F.Table->Edit();
  F.Field("Id")->SetValue(Null());
  EXPECT_TRUE(F.Field("Id")->IsNull());
  F.Field("Name")->SetValue(Unassigned());
  EXPECT_TRUE(F.Field("Name")->IsNull());
  Variant Value = 5;
  EXPECT_FALSE(F.Table->GetFieldData(F.Field("Id"), Value));
  EXPECT_TRUE(VarIsNull(Value));
}

TEST_F(MemTableFieldData, TheSetHookSeesTheCheckedValueAndMayChangeIt) {
  Variant Seen;
  F.Table->SetOnSetFieldValue(
      TMemTableChangeFieldValueEventEh([&](TCustomMemTableEh*, TField* Field, Variant& Value) {
        if (Field->FieldName() != "Amount") return;
        Seen = Value;
        Value = Variant(Currency(5));
      }));
  F.Table->Edit();
  F.Field("Amount")->SetAsFloat(999.125);
  EXPECT_DOUBLE_EQ(Seen.AsDouble(), 999.12);
  EXPECT_DOUBLE_EQ(F.Field("Amount")->AsFloat(), 5);
}

TEST_F(MemTableFieldData, TheGetHookFiresOnReadsButNotOnTheDisplayTextOfText) {
  int Reads = 0;
  F.Table->SetOnGetFieldValue(TMemTableChangeFieldValueEventEh([&](TCustomMemTableEh*, TField*, Variant& Value) {
    ++Reads;
    if (VarIsStr(Value)) Value = Variant(VarToStr(Value) + "!");
  }));
  EXPECT_EQ(F.Field("Name")->AsString(), "one!");
  Variant V;
  EXPECT_TRUE(F.Table->GetFieldValue(F.Field("Name"), V));
  EXPECT_EQ(Reads, 2);
  EXPECT_EQ(F.Table->GetFieldDisplayText(F.Field("Name")), "one");
  EXPECT_EQ(Reads, 2);
  F.Table->GetFieldDisplayText(F.Field("Id"));
  EXPECT_EQ(Reads, 3);
}

// These types were written but could not be read back.
TEST_F(MemTableFieldData, MemoAndBinaryKindsReadBackWhatWasWritten) {
  F.Table->Edit();
  F.Field("Note")->SetAsString("formatted");
  F.Field("Ole")->SetAsString("ole");
  F.Field("Typed")->SetAsString("typed");
  F.Table->Post();
  EXPECT_EQ(F.Field("Note")->AsString(), "formatted");
  EXPECT_EQ(F.Field("Ole")->AsString(), "ole");
  EXPECT_EQ(F.Field("Typed")->AsString(), "typed");
}

TEST_F(MemTableFieldData, ALongWordKeepsTheLow32Bits) {
  const Variant V = F.Table->VarValueToValueBuffer(F.Field("Count"), Variant(Int64(0x100000005LL)));
  EXPECT_EQ(V.AsInt64(), 5);
}

TEST(MemTableFieldConversions, ATypeWithoutARuleIsRefused) {
  TMemTableTestFixture F({{"Id", ftInteger}});
  F.Table->CreateDataSet();
  TCursorField Field(nullptr);
  Field.SetFieldName("Cursor");
  EXPECT_RAISES(F.Table->VarValueToValueBuffer(&Field, Variant(1)), EDatabaseError,
                "Неподдерживаемый тип (Cursor) для поля Cursor");
}

TEST(MemTableCalcFields, ABrowsedRowShowsItsCachedValueUntilEdited) {
  TMemTableTestFixture F({});
  auto* Id = new TIntegerField(F.Table);
  Id->SetFieldName("Id");
  Id->SetDataSet(F.Table);
  auto* Twice = new TIntegerField(F.Table);
  Twice->SetFieldName("Twice");
  Twice->SetFieldKind(fkCalculated);
  Twice->SetDataSet(F.Table);
  int Calcs = 0;
  F.Table->OnCalcFields = TDataSetNotifyEvent([&](TDataSet*) {
    ++Calcs;
    Twice->SetAsInteger(Id->AsInteger() * 2);
  });
  F.Table->CreateDataSet();
  for (int I = 1; I <= 3; ++I) F.AppendRow({I});
  F.Table->First();
  EXPECT_EQ(Twice->AsInteger(), 2);
  Calcs = 0;
  F.Table->Next();
  F.Table->Prior();
  F.Table->Last();
  EXPECT_EQ(Twice->AsInteger(), 6);
  EXPECT_EQ(Calcs, 0);
  F.Table->Edit();
  Id->SetAsInteger(10);
  EXPECT_GT(Calcs, 0);
  EXPECT_EQ(Twice->AsInteger(), 20);
  F.Table->Post();
  EXPECT_EQ(Twice->AsInteger(), 20);
}

TEST(MemTableCalcFields, AnInternalCalculatedFieldIsComputedWhenTheRecordIsStored) {
  TMemTableTestFixture F({});
  auto* Id = new TIntegerField(F.Table);
  Id->SetFieldName("Id");
  Id->SetDataSet(F.Table);
  auto* Square = new TIntegerField(F.Table);
  Square->SetFieldName("Square");
  Square->SetFieldKind(fkInternalCalc);
  Square->SetDataSet(F.Table);
  std::vector<TDataSetState> States;
  F.Table->OnCalcFields = TDataSetNotifyEvent([&](TDataSet* DataSet) {
    if (DataSet->State() != dsInternalCalc) return;
    States.push_back(DataSet->State());
    Square->SetAsInteger(Id->AsInteger() * Id->AsInteger());
  });
  F.Table->CreateDataSet();
  F.AppendRow({7});
  EXPECT_FALSE(States.empty());
  EXPECT_EQ(F.Table->Rec()->GetDataValue(1, dvvValueEh), Variant(49));
  EXPECT_EQ(Square->AsInteger(), 49);
}

TEST(MemTableObjectFields, AnObjectWrittenIsTheObjectRead) {
  TMemTableTestFixture F({{"Id", ftInteger}, {"Obj", ftUnknown}});
  F.Table->CreateDataSet();
  auto* Field = dynamic_cast<TRefObjectField*>(F.Field("Obj"));
  ASSERT_NE(Field, nullptr);
  TObject Payload;
  F.Table->Append();
  Field->SetValue(&Payload);
  EXPECT_EQ(Field->Value(), &Payload);
  F.Table->Post();
  EXPECT_EQ(Field->Value(), &Payload);
  TObject* Read = nullptr;
  EXPECT_TRUE(F.Table->GetFieldDataAsObject(Field, Read));
  EXPECT_EQ(Read, &Payload);
}

TEST(MemTableObjectFields, AFieldWithoutADatasetRaises) {
  TRefObjectField Field(nullptr);
  Field.SetFieldName("Obj");
  EXPECT_RAISES(Field.Value(), EDatabaseError, "Field 'Obj' has no dataset");
}

TEST(MemTableAggregates, AnAggregateReadsNullUntilAggregatesAreActive) {
  TMemTableTestFixture F({});
  auto* Amount = new TIntegerField(F.Table);
  Amount->SetFieldName("Amount");
  Amount->SetDataSet(F.Table);
  auto* Total = new TAggregateField(F.Table);
  Total->SetFieldName("Total");
  Total->SetExpression("SUM(Amount)");
  Total->SetActive(true);
  Total->SetDataSet(F.Table);
  F.Table->CreateDataSet();
  for (int I = 1; I <= 3; ++I) F.AppendRow({I});
  EXPECT_TRUE(VarIsNull(Total->AsVariant()));
  F.Table->SetAggregatesActive(true);
  EXPECT_EQ(Total->AsVariant().AsInteger(), 6);
}

TEST(MemTableCalcFields, ALookupFieldShowsTheLookedUpValueFromItsNode) {
  TRowListDataSet Authors(nullptr);
  Authors.FieldDefs()->Add("AuthorId", ftInteger);
  Authors.FieldDefs()->Add("AuthorName", ftString, 20);
  Authors.AppendRow({1, "Smith"});
  Authors.AppendRow({2, "Jones"});
  Authors.Open();

  TMemTableTestFixture F({});
  auto* AuthorId = new TIntegerField(F.Table);
  AuthorId->SetFieldName("AuthorId");
  AuthorId->SetDataSet(F.Table);
  auto* Author = new TStringField(F.Table);
  Author->SetFieldName("Author");
  Author->SetFieldKind(fkLookup);
  Author->SetKeyFields("AuthorId");
  Author->SetLookupDataSet(&Authors);
  Author->SetLookupKeyFields("AuthorId");
  Author->SetLookupResultField("AuthorName");
  Author->SetDataSet(F.Table);
  F.Table->CreateDataSet();
  F.AppendRow({2});
  F.AppendRow({1});
  EXPECT_EQ(F.Column("Author"), (std::vector<Variant>{"Jones", "Smith"}));
  F.Table->First();
  F.Table->Edit();
  AuthorId->SetAsInteger(1);
  EXPECT_EQ(Author->AsString(), "Smith");
  F.Table->Post();
  EXPECT_EQ(F.Column("Author"), (std::vector<Variant>{"Smith", "Smith"}));
  F.Table->Close();
}
