#include "gridlib/memtable/datastruct.h"

#include "gridlib/base/datasetfeatureshook.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fieldclasses.h"
#include "platform/db/fielddefs.h"
#include "platform/db/testing/rowlistdataset.h"
#include "tests/gridlib/memtable/memtabletesting.h"

namespace {

class DataStruct : public ::testing::Test, public TMemTableFixture {};

TEST_F(DataStruct, RenameByCaseOnlyKeepsItsOwnNameTaken) {
  TMTDataFieldEh* A = AddString(QStringLiteral("a"));
  EXPECT_EQ(A->Name(), QStringLiteral("a"));
  A->SetFieldName(QStringLiteral("A"));
  EXPECT_EQ(A->FieldName(), QStringLiteral("A"));
  EXPECT_EQ(A->Name(), QStringLiteral("A2"));
  AddString(QStringLiteral("b"));
  EXPECT_RAISES(A->SetFieldName(QStringLiteral("B")), EDatabaseError, "Duplicate field name 'B'");
  EXPECT_RAISES(A->SetFieldName(QString()), EDatabaseError, "Field name missing");
  EXPECT_EQ(A->FieldName(), QStringLiteral("A"));
}

TEST_F(DataStruct, ComponentNamesFromFieldNames) {
  struct Case {
    const char* FieldName;
    TFieldType Type;
    const char* ComponentName;
  } Cases[] = {
      {"1st", ftInteger, "MTNumericDataFieldEh1st"},
      {"Année de publication", ftString, "Annedepublication"},
      {"Ω", ftDate, "MTDateTimeDataFieldEh"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.FieldName);
    TMTDataFieldEh* Field = Struct()->CreateField(MTDataFieldClassForType(C.Type));
    Field->SetFieldName(QString::fromUtf8(C.FieldName));
    EXPECT_EQ(Field->Name(), QString::fromLatin1(C.ComponentName));
  }
}

TEST_F(DataStruct, SizesAndWidths) {
  auto* S = static_cast<TMTStringDataFieldEh*>(AddString(QStringLiteral("s")));
  S->SetSize(20);
  EXPECT_EQ(S->Size(), 20u);
  S->SetStringDataType(fdtGuidEh);
  EXPECT_EQ(S->Size(), 38u);
  S->SetSize(250);
  EXPECT_EQ(S->DisplayWidth(), 100);
  TMTDataFieldEh* D = AddField(QStringLiteral("d"), ftDateTime);
  EXPECT_RAISES(D->SetSize(4), EDatabaseError, "Invalid field size");
  auto* N = static_cast<TMTNumericDataFieldEh*>(AddField(QStringLiteral("n"), ftInteger));
  EXPECT_RAISES(N->SetScale(2), EDatabaseError, "Invalid field size");
  N->SetNumericDataType(fdtBCDEh);
  EXPECT_EQ(N->Scale(), 4u);
  EXPECT_EQ(N->DisplayWidth(), 16);
  EXPECT_EQ(N->Alignment(), taRightJustify);
}

TEST_F(DataStruct, FieldsIndex) {
  AddString(QStringLiteral("a"));
  AddString(QStringLiteral("b"));
  EXPECT_EQ(Struct()->FieldsIndex(QStringLiteral("a;b")), (TIntArrayEh{0, 1}));
  EXPECT_EQ(Struct()->FieldsIndex(QStringLiteral("B")), (TIntArrayEh{1}));
  EXPECT_TRUE(Struct()->FieldsIndex(QStringLiteral("missing")).empty());
  EXPECT_RAISES(Struct()->FieldsIndex(QStringLiteral("a;missing")), EDatabaseError,
                "DataStruct: Field 'missing' not found");
}

TEST_F(DataStruct, TypeTablesHoldTextAsUtf16) {
  EXPECT_EQ(MTVarTypeForDataType(ftString), varUString);
  EXPECT_EQ(MTVarTypeForDataType(ftWideMemo), varOleStr);
  EXPECT_EQ(MTVarTypeForDataType(ftBlob), varArray | varByte);
  EXPECT_EQ(MTDataFieldClassForType(ftCursor), nullptr);
  EXPECT_EQ(MTDataFieldClassForType(ftOraClob), TMTBlobDataFieldEh::StaticClass());
  EXPECT_RAISES(AddString(QStringLiteral("s"))->AssignDataType(ftInteger), Exception,
                "Can not assign DataType from Field");
}

TEST_F(DataStruct, RestructureConvertsEveryRecord) {
  AddString(QStringLiteral("Title"), 20);
  AddField(QStringLiteral("Year"), ftInteger);
  Append({QStringLiteral("abcdefgh"), 2001});
  Append({QStringLiteral("Αβγδεζηθ"), 2002});
  TMTDataStructEh* Copy = Struct()->BeginRestructure();
  Copy->GetDataField(0)->SetSize(5);
  Copy->BuildDataFieldForDef(QStringLiteral("Added"), ftString, 10, 0);
  Copy->GetDataField(1)->SetIndex(2);  // Year last
  Struct()->EndRestructure(Copy, /*ApplyNewStructure=*/true);
  ASSERT_EQ(Struct()->Count(), 3);
  EXPECT_EQ(Struct()->GetDataField(2)->FieldName(), QStringLiteral("Year"));
  EXPECT_EQ(Value(0, 0), Variant(QStringLiteral("abcde")));
  EXPECT_EQ(Value(1, 0), Variant(QStringLiteral("Αβγδε")));
  EXPECT_TRUE(VarIsNull(Value(0, 1)));
  EXPECT_TRUE(VarIsNull(Value(1, 1)));
  EXPECT_EQ(Value(1, 2), Variant(2002));
}

// A registered features object that builds every field as a variant field.
class TVariantFeatures : public IDatasetFeaturesEh {
public:
  void FillFieldUniqueValues(TField*, TStrings*) override {}
  TMTDataFieldEh* CreateAndAsignMTDateField(TMTDataStructEh* DataStruct, TField* AField) override {
    TMTDataFieldEh* Field = DataStruct->CreateField(TMTVariantDataFieldEh::StaticClass());
    Field->SetFieldName(AField->FieldName());
    return Field;
  }
  Integer WriteDataSetToMemTable(TDataSet*, TCustomMemTableEh*, Integer, TLoadMode, bool) override { return 0; }
};
TVariantFeatures Features;

class BuildFromFields : public DataStruct {
protected:
  BuildFromFields() : Source(new TRowListDataSet(nullptr)) {
    Source->FieldDefs()->Add(QStringLiteral("ID"), ftInteger);
    Source->FieldDefs()->Add(QStringLiteral("Title"), ftString, 60);
    for (TFieldKind Kind : {fkData, fkCalculated, fkInternalCalc}) {
      TField* Field = new TIntegerField(Source);
      Field->SetFieldName(QStringLiteral("K%1").arg(int(Kind)));
      Field->SetFieldKind(Kind);
      Field->SetDataSet(Source);
    }
    for (const char* Name : {"ID", "Title"}) {
      TField* Field = Source->FieldDefs()->Find(QString::fromLatin1(Name))->CreateField(Source);
      Field->SetDataSet(Source);
    }
  }
  ~BuildFromFields() override { Source->Free(); }
  std::vector<String> names() {
    std::vector<String> Result;
    for (Integer I = 0; I < Struct()->Count(); I++) Result.push_back(Struct()->GetDataField(I)->FieldName());
    return Result;
  }
  TRowListDataSet* Source;
};

TEST_F(BuildFromFields, SkipsCalculatedKeepsInternalCalc) {
  Struct()->BuildStructFromFields(Source->Fields());
  EXPECT_EQ(names(), (std::vector<String>{"K0", "K3", "ID", "Title"}));
  EXPECT_FALSE(Struct()->GetDataField(0)->Calculated());
  EXPECT_TRUE(Struct()->GetDataField(1)->Calculated());
  EXPECT_EQ(Struct()->GetDataField(3)->Size(), 60u);
  EXPECT_TRUE(Is<TMTStringDataFieldEh>(Struct()->GetDataField(3)));
}

TEST_F(BuildFromFields, RegisteredFeaturesBuildTheFields) {
  auto Previous = SetFindDatasetFeaturesHookEh([](TDataSet*) -> IDatasetFeaturesEh* { return &Features; });
  Struct()->BuildStructFromFields(Source->Fields());
  SetFindDatasetFeaturesHookEh(Previous);
  EXPECT_EQ(names(), (std::vector<String>{"K0", "K3", "ID", "Title"}));
  for (Integer I = 0; I < Struct()->Count(); I++) EXPECT_TRUE(Is<TMTVariantDataFieldEh>(Struct()->GetDataField(I)));
}

TEST_F(DataStruct, FieldDefsRoundTrip) {
  TRowListDataSet* Target = new TRowListDataSet(nullptr);
  AddString(QStringLiteral("Title"), 60)->SetRequired(true);
  AddField(QStringLiteral("ID"), ftAutoInc);
  Struct()->BuildFieldDefsFromStruct(Target->FieldDefs());
  ASSERT_EQ(Target->FieldDefs()->Count(), 2);
  EXPECT_TRUE(Target->FieldDefs()->Items(0)->Required());
  EXPECT_EQ(Target->FieldDefs()->Items(0)->Size(), 60);
  Struct()->BuildStructFromFieldDefs(Target->FieldDefs());
  ASSERT_EQ(Struct()->Count(), 2);
  EXPECT_TRUE(Struct()->GetDataField(1)->AutoIncrement());
  EXPECT_EQ(Struct()->GetDataField(1)->DataType(), ftAutoInc);
  Target->Free();
}

TEST_F(DataStruct, ChangeFieldTypeKeepsNameAndIdentity) {
  TMTDataFieldEh* Old = AddField(QStringLiteral("Score"), ftInteger);
  const String Identity = Old->IdentityText();
  TMTDataFieldEh* New = Struct()->ChangeFieldType(QStringLiteral("score"), TMTStringDataFieldEh::StaticClass());
  EXPECT_EQ(Struct()->GetDataField(0), New);
  EXPECT_EQ(New->FieldName(), QStringLiteral("Score"));
  EXPECT_EQ(New->IdentityText(), Identity);
  EXPECT_EQ(New->Alignment(), taLeftJustify);
}

TEST_F(DataStruct, OrderByNamesResolveThroughTheStructure) {
  AddString(QStringLiteral("Title"));
  AddField(QStringLiteral("Year"), ftInteger);
  TRecordsViewOrderByList OrderBy(Struct());
  OrderBy.ParseOrderByStr(QStringLiteral("year DESC, Title"));
  ASSERT_EQ(OrderBy.Count(), 2);
  EXPECT_EQ(OrderBy.Items(0)->MTFieldIndex, 1);
  EXPECT_TRUE(OrderBy.Items(0)->Desc);
  EXPECT_EQ(OrderBy.Items(0)->FieldIndex, -1);
  EXPECT_EQ(OrderBy.Items(1)->MTFieldIndex, 0);
  EXPECT_THROW(OrderBy.ParseOrderByStr(QStringLiteral("Missing")), Exception);
  EXPECT_EQ(OrderBy.Count(), 2);
}

}  // namespace
