// The dataset's field lists: finding fields by name and number, name lists,
// FieldValues, GetFieldProperty, default fields made and freed with the
// cursor.
#include "tests/platform/db/datasetfixture.h"

#include "platform/db/dbutils.h"
#include "platform/rtl/stringlist.h"

namespace {

using dbtest::TDataSetFixture;

struct TOpenFixture : TDataSetFixture {
  TOpenFixture() {
    DataSet.SetName("ds1");
    DataSet.Open();
  }
};

std::vector<String> namesOf(const std::vector<TField*>& Fields) {
  std::vector<String> Result;
  for (const TField* Field : Fields) Result.push_back(Field->FieldName());
  return Result;
}

TEST(DataSetFieldsTest, FieldLists) {
  struct Case {
    const char* Names;
    std::vector<String> Expected;
    const char* Error;  // "" when the list resolves
  };
  const Case Cases[] = {
      {"ID; Name", {"ID", "Name"}, ""},
      {"ID;", {"ID"}, ""},
      {"", {}, ""},
      {" amount ;id", {"Amount", "ID"}, ""},
      {"ID;;Name", {}, "ds1: Field '' not found"},
      {"ID;Nope", {}, "ds1: Field 'Nope' not found"},
  };
  TOpenFixture F;
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Names);
    std::vector<TField*> List;
    if (*C.Error) {
      EXPECT_RAISES(F.DataSet.GetFieldList(List, C.Names), EDatabaseError, C.Error);
      continue;
    }
    F.DataSet.GetFieldList(List, C.Names);
    EXPECT_EQ(namesOf(List), C.Expected);
  }
}

TEST(DataSetFieldsTest, FindingFields) {
  TOpenFixture F;
  EXPECT_EQ(F.DataSet.FieldCount(), 3);
  EXPECT_EQ(F.DataSet.FindField("NAME"), F.DataSet.Fields()->Fields(1));
  EXPECT_EQ(F.DataSet.FindField("x"), nullptr);
  EXPECT_RAISES(F.DataSet.FieldByName("x"), EDatabaseError, "ds1: Field 'x' not found");
  EXPECT_EQ(F.DataSet.FieldByNumber(3)->FieldName(), String("Amount"));
  EXPECT_EQ(F.DataSet.FieldByNumber(4), nullptr);
  EXPECT_EQ(F.DataSet.FieldDefList(), F.DataSet.FieldDefs());

  TComponent Control(nullptr);
  Control.SetName("Edit1");
  EXPECT_EQ(GetFieldProperty(&F.DataSet, &Control, "id"), F.DataSet.FieldByName("ID"));
  EXPECT_RAISES(GetFieldProperty(&F.DataSet, &Control, "x"), EDatabaseError, "Edit1: Field 'x' not found");
}

TEST(DataSetFieldsTest, FieldNames) {
  TDataSetFixture F;
  TStringList Names;
  // Closed without persistent fields: the defs' names.
  F.DataSet.GetFieldNames(&Names);
  EXPECT_EQ(Names.CommaText(), String("ID,Name,Amount"));
  F.DataSet.Open();
  F.DataSet.FieldByName("Amount")->SetIndex(0);
  F.DataSet.GetFieldNames(&Names);
  EXPECT_EQ(Names.CommaText(), String("Amount,ID,Name"));
}

TEST(DataSetFieldsTest, DefaultFieldsLiveWithTheCursor) {
  TDataSetFixture F;
  EXPECT_EQ(F.DataSet.FieldCount(), 0);
  F.DataSet.Open();
  EXPECT_TRUE(F.DataSet.DefaultFields());
  EXPECT_EQ(F.DataSet.FieldByName("ID")->FieldNo(), 1);
  F.DataSet.Close();
  EXPECT_EQ(F.DataSet.FieldCount(), 0);
  EXPECT_FALSE(F.DataSet.DefaultFields());
}

TEST(DataSetFieldsTest, PersistentFieldsAreBoundByName) {
  TDataSetFixture F;
  TField* Name = F.DataSet.FieldDefs()->Find("Name")->CreateField(&F.DataSet);
  F.DataSet.Open();
  EXPECT_FALSE(F.DataSet.DefaultFields());
  EXPECT_EQ(F.DataSet.FieldCount(), 1);
  EXPECT_EQ(Name->FieldNo(), 2);
  EXPECT_EQ(Name->AsString(), String("Smith"));
  F.DataSet.Close();
  // Persistent fields stay; unbound.
  EXPECT_EQ(F.DataSet.FieldCount(), 1);
  EXPECT_EQ(Name->FieldNo(), 0);

  // A field whose type differs from its def refuses to bind.
  F.DataSet.FieldDefs()->Find("ID")->CreateField(&F.DataSet);
  F.DataSet.FieldDefs()->Find("ID")->SetDataType(ftFloat);
  EXPECT_RAISES(F.DataSet.Open(), EDatabaseError, "Type mismatch for field 'ID', expecting: Integer actual: Float");
  EXPECT_FALSE(F.DataSet.Active());
}

TEST(DataSetFieldsTest, FieldValues) {
  TOpenFixture F;
  EXPECT_EQ(F.DataSet.FieldValues("Name").AsString(), String("Smith"));
  const Variant Pair = F.DataSet.FieldValues("ID;Name");
  ASSERT_TRUE(VarIsArray(Pair));
  EXPECT_EQ(VarArrayLowBound(Pair, 1), 0);
  EXPECT_EQ(Pair[0].AsInteger(), 1);
  EXPECT_EQ(Pair[1].AsString(), String("Smith"));
  EXPECT_EQ(F.DataSet.GetFieldValue("ID;").AsInteger(), 1);

  F.DataSet.Edit();
  F.DataSet.SetFieldValues("ID;Name", VarArrayOf({7, "Seven"}));
  EXPECT_EQ(F.CurrentId(), 7);
  EXPECT_EQ(F.DataSet.FieldByName("Name")->AsString(), String("Seven"));
  F.DataSet.SetFieldValues("Name", Null());
  EXPECT_TRUE(F.DataSet.FieldByName("Name")->IsNull());
  // Element i goes to field i from the array's own low bound.
  Variant FromOne = VarArrayCreate({1, 2}, varVariant);
  VarArrayPut(FromOne, 8, 1);
  VarArrayPut(FromOne, "Eight", 2);
  F.DataSet.SetFieldValues("ID;Name", FromOne);
  EXPECT_EQ(F.CurrentId(), 8);
  EXPECT_EQ(F.DataSet.FieldByName("Name")->AsString(), String("Eight"));

  EXPECT_THROW(F.DataSet.SetFieldValues("ID;Name", VarArrayOf({1, "a", 2})), EVariantError);
  EXPECT_THROW(F.DataSet.SetFieldValues("ID;Name", VarArrayOf({1})), EVariantError);
  EXPECT_THROW(F.DataSet.SetFieldValues("ID;Name", 1), EVariantError);
  EXPECT_EQ(F.CurrentId(), 8);
  EXPECT_RAISES(F.DataSet.FieldValues("x"), EDatabaseError, "ds1: Field 'x' not found");
}

}  // namespace
