#include "gridlib/editors/dropdowncall.h"

#include "gridlib/editors/editbuttoncontrol.h"
#include "gridlib/editors/editbuttons.h"
#include "platform/db/datasource.h"
#include "platform/db/fields.h"
#include "platform/db/testing/rowlistdataset.h"
#include "platform/ui/windowing/msgqueue.h"
#include "tests/gridlib/editors/dropdownfixture.h"

#include <QStringList>

using namespace gdi;

namespace {

// Two rows (ID, Name); an edit control and a parameters object whose call
// fields point at it, the Name field and a data link on the rows.
class DropDownCallTest : public DropDownFixture {
protected:
  void SetUp() override {
    DropDownFixture::SetUp();
    OpenTwoNamesEh(DataSet, Source);
    Link.SetDataSource(&Source);
    EditControl = make<TEdit>(Bounds(10, 10, 150, 21));
    Form->Show();
    EditControl->SetFocus();
    Params.FEditControl = EditControl;
    Params.FDataLink = &Link;
    Params.FField = DataSet.FieldByName("Name");
    Params.FOnSetVarValueProc = [this](const Variant& V) { SetValues.append(V.AsString()); };
  }
  void TearDown() override {
    Link.SetDataSource(nullptr);
    DropDownFixture::TearDown();
  }

  // Shows the form through the parameters; True when handled.
  bool show() {
    bool Handled = false;
    Params.CheckShowDropDownForm(Handled);
    return Handled;
  }
  // The open drop-down form (the call shows at most one).
  TTestDropDownFormEh* shown() {
    for (Integer I = 0; I < Screen->FormCount(); ++I)
      if (auto* F = dynamic_cast<TTestDropDownFormEh*>(Screen->Forms(I)); F && F->Visible()) return F;
    return nullptr;
  }
  Integer editComponents() { return EditControl->ComponentCount(); }

  TRowListDataSet DataSet{nullptr};
  TDataSource Source{nullptr};
  TDataLink Link;
  TEdit* EditControl = nullptr;
  TDropDownFormCallParamsEh Params;
  QStringList SetValues;
};

TEST_F(DropDownCallTest, AFieldValueIsNullFromAGetterThatSetsNothingUnassignedWithoutOne) {
  TDynVarsEh Bag(nullptr);
  Params.FillPassParams(&Bag);
  ASSERT_EQ(Bag.Count(), 1);
  EXPECT_EQ(Bag.Items(0)->Name(), "Name");
  EXPECT_TRUE(VarIsEmpty(Bag.Items(0)->Value()));
  Bag.Clear();
  Params.FOnGetVarValueProc = [](Variant&) {};
  Params.FillPassParams(&Bag);
  EXPECT_TRUE(VarIsNull(Bag.Items(0)->Value()));
}

TEST_F(DropDownCallTest, WhatIsPassedAndWrittenBackFollowsPassParams) {
  auto* DD = CreateForm<TTestDropDownFormEh>(Form);
  Params.SetDropDownForm(DD);
  struct Case {
    const char* Name;
    TDropDownPassParamsEh Pass;
    QStringList Passed;
    QStringList Written;
  } Cases[] = {
      {"custom values", pspCustomValuesEh, {}, {}},
      {"record values: the first variable only", pspRecordValuesEh, {"ID", "Name"}, {"1"}},
      {"by field names", pspByFieldNamesEh, {"Name"}, {}},
  };
  Params.SetPassFieldNames("Name");
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    SetValues.clear();
    Params.SetPassParams(C.Pass);
    QStringList Passed;
    DD->OnInitForm = [&](TCustomDropDownFormEh*, TDynVarsEh* Bag) {
      for (Integer I = 0; I < Bag->Count(); ++I) Passed.append(Bag->Items(I)->Name());
    };
    ASSERT_TRUE(show());
    DD->Accept();
    EXPECT_EQ(Passed, C.Passed);
    EXPECT_EQ(SetValues, C.Written);
    EXPECT_EQ(DataSet.State(), dsBrowse);
  }
}

TEST_F(DropDownCallTest, WritingBackEditsAndPostsABrowsingDatasetOnly) {
  auto* DD = CreateForm<TTestDropDownFormEh>(Form);
  Params.SetDropDownForm(DD);
  Params.SetAssignBackFieldNames("Name");
  Params.FOnGetVarValueProc = [this](Variant& V) { V = DataSet.FieldByName("Name")->Value(); };
  ASSERT_TRUE(show());
  EXPECT_EQ(DD->Editor->Text(), "Smith");
  DD->Editor->SetText("Brown");
  DD->Accept();
  EXPECT_EQ(DataSet.State(), dsBrowse) << "posted";
  EXPECT_EQ(DataSet.FieldByName("Name")->AsString(), "Brown");

  DataSet.Edit();
  ASSERT_TRUE(show());
  DD->Editor->SetText("Green");
  DD->Accept();
  EXPECT_EQ(DataSet.State(), dsEdit) << "left for the user to post";
  EXPECT_EQ(DataSet.FieldByName("Name")->AsString(), "Green");
  DataSet.Cancel();
}

TEST_F(DropDownCallTest, ASharedInstanceIsReusedAClassWithoutOneGetsAFormPerCallFreedOnClose) {
  Params.SetDropDownFormClassName("TSharedTestDropDownFormEh");
  ASSERT_TRUE(show());
  TTestDropDownFormEh* First = shown();
  EXPECT_EQ(First, TSharedTestDropDownFormEh::Instance);
  First->Close();
  ASSERT_TRUE(show());
  EXPECT_EQ(shown(), First);
  First->Close();
  ProcessMessages();
  EXPECT_EQ(TTestDropDownFormEh::Freed, 0);

  Params.SetDropDownFormClassName("TTestDropDownFormEh");
  const int Made = TTestDropDownFormEh::Made;
  ASSERT_TRUE(show());
  TTestDropDownFormEh* PerCall = shown();
  ASSERT_NE(PerCall, nullptr);
  EXPECT_EQ(PerCall->Owner(), EditControl);
  PerCall->Close();
  ProcessMessages();
  EXPECT_EQ(TTestDropDownFormEh::Freed, 1);
  ASSERT_TRUE(show());
  EXPECT_EQ(TTestDropDownFormEh::Made, Made + 2);
  shown()->Close();
  ProcessMessages();
  EXPECT_EQ(TTestDropDownFormEh::Freed, 2);
}

TEST_F(DropDownCallTest, TheUsersSizeIsRememberedForTheNextCallOnly) {
  auto* DD = CreateForm<TTestDropDownFormEh>(Form);
  Params.SetDropDownForm(DD);
  ASSERT_TRUE(show());
  EXPECT_EQ(DD->Width(), 200);
  DD->SetWidth(260);
  DD->Close();
  EXPECT_EQ(Params.FormWidth(), 260);
  EXPECT_EQ(DD->Width(), 200) << "its own width between calls";
  ASSERT_TRUE(show());
  EXPECT_EQ(DD->Width(), 260);
  DD->Close();
}

TEST_F(DropDownCallTest, AnUnregisteredClassRaisesAndShowsNothing) {
  Params.SetDropDownFormClassName("TNoSuchFormEh");
  const Integer Forms = Screen->FormCount();
  try {
    show();
    FAIL() << "no exception";
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message, "Class 'TNoSuchFormEh' is not registered");
  }
  EXPECT_EQ(Screen->FormCount(), Forms);
}

// The form made from the class name for this call used to stay behind as a
// hidden component of the edit control, one more per press.
TEST_F(DropDownCallTest, AFormThatCannotDropDownIsNotShownAndAFormMadeForTheCallGoesAtOnce) {
  const Integer Components = editComponents();
  Params.SetDropDownFormClassName("TPlainTestFormEh");
  EXPECT_FALSE(show());
  EXPECT_EQ(editComponents(), Components);

  auto* Replacement = CreateForm<TTestDropDownFormEh>(Form);
  Params.SetDropDownFormClassName("TTestDropDownFormEh");
  Params.FOnOpenDropDownFormProc = [&](TControl*, TEditButtonEh*, TCustomForm*& F, TDynVarsEh*) { F = Replacement; };
  EXPECT_TRUE(show());
  EXPECT_EQ(shown(), Replacement);
  EXPECT_EQ(TTestDropDownFormEh::Freed, 1);
  EXPECT_EQ(editComponents(), Components);
  Replacement->Close();
  ProcessMessages();
  EXPECT_EQ(TTestDropDownFormEh::Freed, 1) << "the replacement is not the call's to free";
}

TEST_F(DropDownCallTest, TheCloseHearsTheButtonAndFormAndPostsWmUser) {
  auto* DD = CreateForm<TTestDropDownFormEh>(Form);
  TEditButtonEh Button(EditControl);
  TEditButtonControlEh ButtonControl(nullptr);
  Params.SetDropDownFormClassName("");
  Params.SetDropDownForm(DD);
  Params.FEditButton = &Button;
  Params.FEditButtonControl = &ButtonControl;
  TEditButtonEh* HeardButton = nullptr;
  TCustomForm* HeardForm = nullptr;
  Params.FOnCloseDropDownFormProc = [&](TControl*, TEditButtonEh* B, bool, TCustomForm* F, TDynVarsEh*) {
    HeardButton = B;
    HeardForm = F;
  };
  ASSERT_TRUE(show());
  EXPECT_TRUE(ButtonControl.AlwaysDown());
  DD->Close();
  EXPECT_EQ(HeardButton, &Button);
  EXPECT_EQ(HeardForm, DD);
  MSG Msg;
  ASSERT_TRUE(PeekMessage(Msg, EditControl->Handle(), WM_USER, WM_USER, PM_REMOVE));
  EXPECT_EQ(Msg.wParam, WPARAM(EditControl->Handle()));
  EXPECT_EQ(Msg.lParam, LPARAM(&Button));

  Params.FEditButton = nullptr;
  ASSERT_TRUE(show());
  DD->Close();
  ASSERT_TRUE(PeekMessage(Msg, EditControl->Handle(), WM_USER, WM_USER, PM_REMOVE));
  EXPECT_EQ(Msg.lParam, LPARAM(EditControl));
}

TEST_F(DropDownCallTest, AWriteBackErrorIsReportedWithTheFormKeptVisible) {
  auto* DD = CreateForm<TTestDropDownFormEh>(Form);
  Params.SetDropDownForm(DD);
  Params.FOnSetVarValueProc = [](const Variant&) { throw EConvertError(QStringLiteral("bad value")); };
  TObject* Sender = nullptr;
  bool KeptVisible = false;
  String Reported;
  Application->OnException = [&](TObject* S, Exception* E) {
    Sender = S;
    KeptVisible = DD->KeepFormVisible() && DD->Visible();
    Reported = E->Message;
  };
  ASSERT_TRUE(show());
  DD->Accept();
  EXPECT_EQ(Sender, EditControl);
  EXPECT_TRUE(KeptVisible);
  EXPECT_EQ(Reported, "bad value");
  EXPECT_FALSE(DD->KeepFormVisible());
}

}  // namespace
