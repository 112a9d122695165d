#include "gridlib/editors/dbedit.h"

#include "gridlib/editors/buttonsbox.h"
#include "gridlib/editors/editbuttoncontrol.h"
#include "gridlib/editors/fielddatalink.h"
#include "platform/db/datasource.h"
#include "platform/db/fields.h"
#include "platform/db/testing/rowlistdataset.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/msgqueue.h"
#include "tests/gridlib/editors/dropdownfixture.h"

#include <QStringList>

using namespace gdi;

namespace {

// A bound edit on Name (two rows) with the shared test form as the default
// memo form, and a second edit to move the focus to.
class DBEditButtonsTest : public DropDownFixture {
protected:
  void SetUp() override {
    DropDownFixture::SetUp();
    OpenTwoNamesEh(DataSet, Source);
    SetDefaultDropDownMemoFormClass(TSharedTestDropDownFormEh::StaticClass());
    E = make<TDBEditEh>(Bounds(10, 10, 200, 21));
    E->SetDataSource(&Source);
    E->SetDataField("Name");
    Other = make<TEdit>(Bounds(10, 60, 100, 21));
    Form->Show();
  }
  void TearDown() override {
    SetDefaultDropDownMemoFormClass(nullptr);
    Form->Free();
    DropDownFixture::TearDown();
  }

  // The buttons as the edit's layout shows them: each button's
  // parent-defined default action, and the box filled (entry 0 the main
  // button) unless the edit's own layout has filled it already.
  void layOut() {
    std::vector<TEditButtonEh*> Buttons{E->EditButton()};
    for (Integer I = 0; I < E->EditButtons()->Count(); ++I) Buttons.push_back(E->EditButtons()->EditButton(I));
    for (TEditButtonEh* B : Buttons) B->SetParentDefinedDefaultAction(E->IsParentDefinedDefaultAction(B));
    TEditButtonsBoxEh* Box = E->ButtonsBox();
    if (Box->ButtonsCount() == Integer(Buttons.size()) && Box->Visible()) return;
    Box->BeginLayout();
    Box->FMaxButtonHeight = E->ClientHeight();
    Box->SetButtonsCount(Integer(Buttons.size()));
    for (size_t I = 0; I < Buttons.size(); ++I) Box->Entry(Integer(I)).EditButton = Buttons[I];
    Box->EndLayout();
    Box->SetBounds(E->ClientWidth() - Box->FButtonsWidth, 0, Box->FButtonsWidth, E->ClientHeight());
    Box->SetVisible(true);
  }
  TEditButtonControlEh* control(Integer Entry) { return E->ButtonsBox()->Entry(Entry).EditButtonControl; }
  void press(Integer Entry) { test::Click(control(Entry), {3, 3}); }
  TTestDropDownFormEh* shown() {
    for (Integer I = 0; I < Screen->FormCount(); ++I)
      if (auto* F = dynamic_cast<TTestDropDownFormEh*>(Screen->Forms(I)); F && F->Visible()) return F;
    return nullptr;
  }
  // A visible main button of Style with no handlers, form or menu.
  void mainButton(TEditButtonStyleEh Style) {
    E->EditButton()->SetVisible(true);
    E->EditButton()->SetStyle(Style);
    layOut();
  }

  TRowListDataSet DataSet{nullptr};
  TDataSource Source{nullptr};
  TDBEditEh* E = nullptr;
  TEdit* Other = nullptr;
};

TEST_F(DBEditButtonsTest, AMainDropDownButtonOpensTheDefaultMemoFormAndWritesItBack) {
  mainButton(ebsDropDownEh);
  ASSERT_TRUE(E->EditButton()->DefaultAction());
  press(0);
  TTestDropDownFormEh* DD = shown();
  ASSERT_NE(DD, nullptr);
  EXPECT_EQ(DD, TSharedTestDropDownFormEh::Instance);
  EXPECT_TRUE(E->Focused() || DD->Active());
  EXPECT_EQ(DD->Editor->Text(), "Smith");
  EXPECT_TRUE(control(0)->AlwaysDown());
  DD->Editor->SetText("Brown");
  DD->Accept();
  EXPECT_FALSE(control(0)->AlwaysDown());
  EXPECT_EQ(DataSet.FieldByName("Name")->AsString(), "Brown");
  EXPECT_EQ(DataSet.State(), dsBrowse);
  EXPECT_EQ(E->Text(), "Brown");
}

TEST_F(DBEditButtonsTest, AnEllipsisButtonEditsTheTextModallyOnClick) {
  mainButton(ebsEllipsisEh);
  test::ModalScript Script;
  Script.Then([](TModalRequest& R) {
    auto* F = static_cast<TTestDropDownFormEh*>(R.Form);
    EXPECT_EQ(F->Editor->Text(), "Smith");
    F->Editor->SetText("Green");
    F->SetModalResult(mrOk);
  });
  press(0);
  EXPECT_EQ(Script.Remaining(), 0);
  EXPECT_EQ(E->Text(), "Green");
  EXPECT_EQ(DataSet.FieldByName("Name")->AsString(), "Green");
}

TEST_F(DBEditButtonsTest, ParentDefinedDefaultActionsAndTheFirstDefaultActionButton) {
  TEditButtonEh* Main = E->EditButton();
  TEditButtonEh* WithClick = E->EditButtons()->Add();
  WithClick->SetOnClick([](TObject*, bool&) {});
  TEditButtonEh* WithForm = E->EditButtons()->Add();
  WithForm->DropDownFormParams()->SetDropDownFormClassName("TTestDropDownFormEh");
  TEditButtonEh* Plain = E->EditButtons()->Add();
  EXPECT_FALSE(E->IsParentDefinedDefaultAction(Main)) << "the main button is invisible";
  EXPECT_FALSE(E->IsParentDefinedDefaultAction(WithClick));
  EXPECT_FALSE(E->IsParentDefinedDefaultAction(WithForm));
  EXPECT_TRUE(E->IsParentDefinedDefaultAction(Plain));
  Main->SetDefaultAction(true);
  layOut();
  EXPECT_EQ(E->GetFirstDefaultActionEditButton(), Plain) << "an invisible main button is skipped";
  Main->SetVisible(true);
  EXPECT_EQ(E->GetFirstDefaultActionEditButton(), Main);
}

TEST_F(DBEditButtonsTest, ClickingTheHeldDownButtonClosesTheFormWithoutReopeningIt) {
  mainButton(ebsDropDownEh);
  press(0);
  TTestDropDownFormEh* DD = shown();
  ASSERT_NE(DD, nullptr);
  const int Made = TTestDropDownFormEh::Made;
  press(0);
  EXPECT_EQ(shown(), nullptr);
  EXPECT_FALSE(control(0)->AlwaysDown());
  EXPECT_EQ(TTestDropDownFormEh::Made, Made);
  press(0);
  EXPECT_EQ(shown(), DD) << "the next press opens it again";
}

TEST_F(DBEditButtonsTest, AClassNameFormWithoutASharedInstanceBelongsToTheEditAndGoesOnClose) {
  TEditButtonEh* B = E->EditButtons()->Add();
  B->DropDownFormParams()->SetDropDownFormClassName("TTestDropDownFormEh");
  layOut();
  const Integer Components = E->ComponentCount();
  press(1);
  TTestDropDownFormEh* DD = shown();
  ASSERT_NE(DD, nullptr);
  EXPECT_EQ(DD->Owner(), E);
  EXPECT_TRUE(control(1)->AlwaysDown());
  DD->Accept();
  ProcessMessages();
  EXPECT_EQ(TTestDropDownFormEh::Freed, 1);
  EXPECT_EQ(E->ComponentCount(), Components);
}

// The event used to hear no button, and as the form the parameters'
// DropDownForm, which is nil for a form made from a class name.
TEST_F(DBEditButtonsTest, OnCloseDropDownFormHearsTheActualButtonAndForm) {
  TEditButtonEh* B = E->EditButtons()->Add();
  B->DropDownFormParams()->SetDropDownFormClassName("TTestDropDownFormEh");
  layOut();
  TEditButtonEh* HeardButton = nullptr;
  TCustomForm* HeardForm = nullptr;
  bool HeardAccept = true;
  E->OnCloseDropDownForm = [&](TControl*, TEditButtonEh* Button, bool Accept, TCustomForm* F, TDynVarsEh*) {
    HeardButton = Button;
    HeardForm = F;
    HeardAccept = Accept;
  };
  press(1);
  TTestDropDownFormEh* DD = shown();
  ASSERT_NE(DD, nullptr);
  test::Click(Other, {3, 3});
  EXPECT_EQ(HeardButton, B);
  EXPECT_EQ(HeardForm, DD);
  EXPECT_FALSE(HeardAccept);
}

TEST_F(DBEditButtonsTest, OpenDropDownFormMayReplaceTheFormAndDoOpenSetsReadOnly) {
  auto* Replacement = CreateForm<TTestDropDownFormEh>(Form);
  TEditButtonEh* B = E->EditButtons()->Add();
  B->DropDownFormParams()->SetDropDownFormClassName("TTestDropDownFormEh");
  layOut();
  E->OnOpenDropDownForm = [&](TControl*, TEditButtonEh*, TCustomForm*& F, TDynVarsEh*) { F = Replacement; };
  press(1);
  EXPECT_EQ(shown(), Replacement);
  EXPECT_EQ(TTestDropDownFormEh::Freed, 1) << "the form made for the press goes at once";
  Replacement->Close();

  E->SetReadOnly(true);
  TCustomForm* Opened = nullptr;
  E->DoOpenDropDownForm(E, B, Opened = Replacement, nullptr);
  EXPECT_TRUE(Replacement->ReadOnly());
  E->SetReadOnly(false);
  E->DoOpenDropDownForm(E, B, Opened, nullptr);
  EXPECT_FALSE(Replacement->ReadOnly());
}

TEST_F(DBEditButtonsTest, ADropDownMenuPopsUpUnderTheButtonAndEndsThePress) {
  auto* Menu = new TPopupMenu(Form);
  E->EditButton()->SetVisible(true);
  E->EditButton()->SetDropdownMenu(Menu);
  layOut();
  std::vector<TPoint> Points;
  const TMenuResponder Previous = SetMenuResponder([&](const TMenuRequest& R) {
    Points.push_back(R.Point);
    return nullptr;
  });
  int Clicks = 0;
  E->OnButtonClick = [&](TObject*, bool& Handled) {
    ++Clicks;
    Handled = true;
  };
  press(0);
  Menu->SetAlignment(paRight);
  press(0);
  SetMenuResponder(Previous);
  TEditButtonControlEh* C = control(0);
  ASSERT_EQ(Points.size(), 2u);
  EXPECT_EQ(Points[0], C->ClientToScreen(TPoint{0, C->Height()}));
  EXPECT_EQ(Points[1], C->ClientToScreen(TPoint{C->Width(), C->Height()}));
  EXPECT_EQ(Clicks, 2) << "the sent button-up ends each press with one click";
}

TEST_F(DBEditButtonsTest, AltDownPressesAndClicksTheMainButtonWhileFocused) {
  mainButton(ebsEllipsisEh);
  E->EditButton()->SetShortCut(AltDownShortCutEh);
  QStringList Log;
  E->OnButtonDown = [&](TObject*, bool, bool&, bool& Handled) {
    Log.append("down");
    Handled = true;
  };
  E->OnButtonClick = [&](TObject*, bool& Handled) {
    Log.append("click");
    Handled = true;
  };
  E->SetFocus();
  Word Key = VK_DOWN;
  E->Perform(WM_KEYDOWN, Key, 0);  // without Alt: no shortcut
  EXPECT_TRUE(Log.isEmpty());
  test::KeyDown(VK_DOWN, {ssAlt});
  EXPECT_EQ(Log, (QStringList{"down", "click"}));

  Log.clear();
  E->SetEnabled(false);
  bool AutoRepeat = false, Handled = false;
  E->EditButtonDown(control(0), false, AutoRepeat, Handled);
  EXPECT_TRUE(Log.isEmpty()) << "a disabled edit's main button does not act";
}

TEST_F(DBEditButtonsTest, ClickOrderEndsWithTheDroppedDownButtonClosingUp) {
  struct TCloseUpEdit : TDBEditEh {
    using TDBEditEh::TDBEditEh;
    void CloseUp(bool Accept) override {
      Log->append(Accept ? "closeup accept" : "closeup");
      ClearDroppedDownState();
    }
    QStringList* Log = nullptr;
  };
  auto* C = make<TCloseUpEdit>(Bounds(10, 100, 200, 21));
  E = C;
  QStringList Log;
  C->Log = &Log;
  E->EditButton()->SetVisible(true);
  E->EditButton()->SetStyle(ebsUpDownEh);
  E->EditButton()->SetOnClick([&](TObject*, bool&) { Log.append("button click"); });
  E->OnButtonClick = [&](TObject*, bool&) { Log.append("edit click"); };
  layOut();
  E->SetFocus();
  E->SetDroppedDownState(E->EditButton(), control(0));
  EXPECT_TRUE(control(0)->AlwaysDown());
  E->EditButtonClick(control(0));
  EXPECT_EQ(Log, (QStringList{"button click", "edit click", "closeup"}));
  EXPECT_FALSE(E->DroppedDown());
  EXPECT_FALSE(control(0)->AlwaysDown());
}

}  // namespace
