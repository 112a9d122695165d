#include "platform/db/params.h"

#include "platform/db/dbconsts.h"

#include "tests/support/testing.h"

TEST(ParamsTest, NamesAreFoundIgnoringCase) {
  TOwned<TParams> Params(new TParams(nullptr));
  TParam* Group = Params->CreateParam(ftInteger, "sbgr4_nmb", ptInput);
  Params->CreateParam(ftString, "Author", ptInput);
  EXPECT_EQ(Params->FindParam("SBGR4_NMB"), Group);
  EXPECT_EQ(Params->ParamByName("author"), Params->Items(1));
  EXPECT_EQ(Params->FindParam("missing"), nullptr);
  EXPECT_RAISES(Params->ParamByName("missing"), EDatabaseError, "Parameter 'missing' not found");
  EXPECT_EQ(Group->DataType(), ftInteger);
  EXPECT_EQ(Group->ParamType(), ptInput);
  EXPECT_EQ(Group->DisplayName(), String("sbgr4_nmb"));
}

TEST(ParamsTest, SettingAValueMarksTheParameterBound) {
  TOwned<TParams> Params(new TParams(nullptr));
  TParam* P = Params->CreateParam(ftInteger, "n", ptInput);
  EXPECT_FALSE(P->Bound());
  EXPECT_TRUE(P->IsNull());
  P->SetValue(7);
  EXPECT_TRUE(P->Bound());
  EXPECT_EQ(P->Value().AsInteger(), 7);
  P->Clear();
  EXPECT_TRUE(P->IsNull());
  EXPECT_TRUE(P->Bound());
  P->SetBound(false);
  EXPECT_FALSE(P->Bound());
}

TEST(ParamsTest, AssignCopiesEveryParameter) {
  TOwned<TParams> Source(new TParams(nullptr));
  Source->CreateParam(ftInteger, "a", ptInput)->SetValue(1);
  Source->CreateParam(ftString, "b", ptOutput);
  TOwned<TParams> Copy(new TParams(nullptr));
  Copy->CreateParam(ftFloat, "old", ptInput);
  Copy->Assign(Source.get());
  ASSERT_EQ(Copy->Count(), 2);
  EXPECT_EQ(Copy->Items(0)->Name(), String("a"));
  EXPECT_EQ(Copy->Items(0)->Value().AsInteger(), 1);
  EXPECT_TRUE(Copy->Items(0)->Bound());
  EXPECT_EQ(Copy->Items(1)->ParamType(), ptOutput);
  EXPECT_FALSE(Copy->Items(1)->Bound());
  EXPECT_EQ(Copy->FindParam("old"), nullptr);
}
