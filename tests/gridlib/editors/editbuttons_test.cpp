#include "gridlib/editors/editbuttons.h"

#include "platform/rtl/typinfo.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/windowing/menus.h"
#include "tests/gridlib/editors/editorsfixture.h"

#include <memory>

namespace {

// An owner of a button collection that hands its buttons a draw-back time.
class TOwnerWithDrawBack : public TPersistent, public IEditButtonsOwnerEh {
public:
  TEditButtonDrawBackTimeEh DefaultDrawBackTime() override { return edbtWhenHotEh; }
};

class EditButtonsTest : public EditorsFixture {
protected:
  void SetUp() override {
    EditorsFixture::SetUp();
    Edit = make<TWinControl>(Bounds(0, 0, 100, 20));
  }
  // A button owned by Edit that counts its change notices.
  std::unique_ptr<TEditButtonEh> counted() {
    auto B = std::make_unique<TEditButtonEh>(Edit);
    B->OnChanged = [this](TObject*) { ++Changes; };
    return B;
  }
public:
  void onClick(TObject*, bool& Handled) { ++Clicks; }

protected:

  TWinControl* Edit = nullptr;
  int Changes = 0;
  int Clicks = 0;
};

TEST_F(EditButtonsTest, NewButtonsHaveTheirFlavoursDefaults) {
  TEditButtonEh Plain(Edit);
  EXPECT_TRUE(Plain.Enabled());
  EXPECT_FALSE(Plain.Visible());
  EXPECT_EQ(Plain.Style(), ebsDropDownEh);
  EXPECT_EQ(Plain.NumGlyphs(), 1);
  EXPECT_EQ(Plain.Width(), 0);
  EXPECT_EQ(Plain.ShortCut(), 0);
  EXPECT_EQ(Plain.DrawBackTime(), edbtAlwaysEh);
  EXPECT_FALSE(Plain.DrawBackTimeStored());
  EXPECT_TRUE(Plain.Glyph()->Transparent());
  EXPECT_EQ(Plain.DropDownFormParams()->Align(), daCenter);
  EXPECT_EQ(Plain.DropDownFormParams()->PassParams(), pspFieldValueEh);
  EXPECT_EQ(Plain.DropDownFormParams()->FormWidth(), -1);
  EXPECT_TRUE(Plain.DropDownFormParams()->SaveFormSize());

  TVisibleEditButtonEh Shown(Edit);
  EXPECT_TRUE(Shown.Visible());
  EXPECT_EQ(Shown.ShortCut(), 32808);
  TDropDownEditButtonEh DropDown(Edit);
  EXPECT_FALSE(DropDown.Visible());
  EXPECT_EQ(DropDown.ShortCut(), 32808);
  const TPropInfo* ShortCut = GetPropInfo(&Shown, "ShortCut");
  ASSERT_NE(ShortCut, nullptr);
  EXPECT_EQ(ShortCut->Default, 32808);
}

TEST_F(EditButtonsTest, SettersSignalOnlyARealChange) {
  auto B = counted();
  struct Case {
    const char* Name;
    Integer Set, Reads;
  } const Cases[] = {{"zero reads one", 0, 1}, {"seven reads four", 7, 4}, {"three", 3, 3}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    B->SetNumGlyphs(C.Set);
    EXPECT_EQ(B->NumGlyphs(), C.Reads);
  }
  Changes = 0;
  B->SetNumGlyphs(3);
  B->SetHint("a");
  B->SetHint("a");
  EXPECT_EQ(Changes, 1);

  const TButtonClickEventEh Handler(this, &EditButtonsTest::onClick);
  Changes = 0;
  B->SetOnClick(Handler);
  B->SetOnClick(TButtonClickEventEh(this, &EditButtonsTest::onClick));
  EXPECT_EQ(Changes, 1) << "the same object and method is no change";
  B->SetGlyph(B->Glyph());
  EXPECT_EQ(Changes, 2) << "a glyph always signals";
  B->SetDefaultAction(true);
  EXPECT_EQ(Changes, 2) << "DefaultAction signals nothing";
  EXPECT_TRUE(B->DefaultAction());
}

TEST_F(EditButtonsTest, DrawBackTimeComesFromTheCollectionsOwnerUntilSet) {
  TPersistent PlainOwner;
  TEditButtonsEh Plain(&PlainOwner, TVisibleEditButtonEh::StaticClass());
  EXPECT_EQ(Plain.Add()->DrawBackTime(), edbtAlwaysEh);

  TOwnerWithDrawBack Owner;
  TEditButtonsEh Buttons(&Owner, TVisibleEditButtonEh::StaticClass());
  TEditButtonEh* B = Buttons.Add();
  EXPECT_EQ(B->DrawBackTime(), edbtWhenHotEh);
  EXPECT_FALSE(B->DrawBackTimeStored());
  B->SetDrawBackTimeStored(true);
  EXPECT_TRUE(B->DrawBackTimeStored());
  EXPECT_EQ(B->DrawBackTime(), edbtWhenHotEh) << "the default became explicit";
  B->SetDrawBackTime(edbtNeverEh);
  EXPECT_EQ(B->DrawBackTime(), edbtNeverEh);
  B->SetDrawBackTimeStored(false);
  EXPECT_EQ(B->DrawBackTime(), edbtWhenHotEh);
}

TEST_F(EditButtonsTest, AssignCopiesTheThirteenValuesAndLeavesTheRest) {
  TPopupMenu Menu(Form);
  TAction Action(Form);
  TEditButtonEh Source(Edit);
  Source.SetAction(&Action);
  Source.SetDropdownMenu(&Menu);
  Source.SetEnabled(false);
  Source.SetHint("hint");
  Source.SetNumGlyphs(2);
  Source.SetShortCut(45);
  Source.SetStyle(ebsPlusEh);
  Source.SetVisible(true);
  Source.SetWidth(14);
  Source.SetOnClick(TButtonClickEventEh(this, &EditButtonsTest::onClick));
  Source.Images()->SetHotIndex(3);
  Source.SetDrawBackTime(edbtNeverEh);
  Source.SetDefaultAction(true);
  Source.DropDownFormParams()->SetFormWidth(300);

  TEditButtonEh Target(Edit);
  Target.Assign(&Source);
  EXPECT_EQ(Target.Action(), &Action);
  EXPECT_EQ(Target.DropdownMenu(), &Menu);
  EXPECT_FALSE(Target.Enabled());
  EXPECT_EQ(Target.Hint(), "hint");
  EXPECT_EQ(Target.NumGlyphs(), 2);
  EXPECT_EQ(Target.ShortCut(), 45);
  EXPECT_EQ(Target.Style(), ebsPlusEh);
  EXPECT_TRUE(Target.Visible());
  EXPECT_EQ(Target.Width(), 14);
  EXPECT_TRUE(Target.OnClick() == Source.OnClick());
  EXPECT_EQ(Target.Images()->HotIndex(), 3);
  EXPECT_EQ(Target.DrawBackTime(), edbtAlwaysEh);
  EXPECT_FALSE(Target.DrawBackTimeStored());
  EXPECT_FALSE(Target.DefaultActionStored());
  EXPECT_EQ(Target.DropDownFormParams()->FormWidth(), -1);
}

TEST_F(EditButtonsTest, ClickRunsOnClickAloneElseTheActionAtItsTarget) {
  TAction Action(Form);
  int Executed = 0;
  TComponent* Target = nullptr;
  Action.SetOnExecute([&](TObject*) {
    ++Executed;
    Target = Action.ActionComponent();
  });

  TEditButtonEh Both(Edit);
  Both.SetAction(&Action);
  Both.SetOnClick(TButtonClickEventEh(this, &EditButtonsTest::onClick));
  bool Handled = false;
  Both.Click(&Both, Handled);
  EXPECT_EQ(Clicks, 1);
  EXPECT_EQ(Executed, 0);
  EXPECT_FALSE(Handled) << "as the handler left it";

  TEditButtonEh OnlyAction(Edit);
  OnlyAction.SetAction(&Action);
  OnlyAction.Click(&OnlyAction, Handled);
  EXPECT_EQ(Executed, 1);
  EXPECT_TRUE(Handled);
  EXPECT_EQ(Target, Edit) << "the edit control is the target";

  TComponent Owner(nullptr);
  TEditButtonsEh Buttons(&Owner, TEditButtonEh::StaticClass());
  TEditButtonEh* Item = Buttons.Add();
  Item->SetAction(&Action);
  Handled = false;
  Item->Click(Item, Handled);
  EXPECT_EQ(Target, &Owner) << "else the collection's owner";

  TEditButtonEh Neither(static_cast<TWinControl*>(nullptr));
  Handled = false;
  Neither.Click(&Neither, Handled);
  EXPECT_FALSE(Handled);
  Buttons.Clear();
}

TEST_F(EditButtonsTest, PropertiesThatFollowTheActionAreNotStored) {
  TAction Action(Form);
  Action.SetHint("from the action");
  Action.SetShortCut(46);
  TVisibleEditButtonEh B(Edit);
  B.SetAction(&Action);
  EXPECT_EQ(B.Hint(), "from the action");
  for (const char* Name : {"Hint", "Enabled", "ShortCut", "Visible"}) {
    SCOPED_TRACE(Name);
    EXPECT_FALSE(IsStoredProp(&B, Name));
  }
  B.SetHint("own");
  EXPECT_TRUE(IsStoredProp(&B, "Hint"));
  Action.SetEnabled(false);
  EXPECT_FALSE(B.Enabled()) << "a linked property follows the action";
  B.SetAction(nullptr);
  EXPECT_TRUE(IsStoredProp(&B, "Enabled"));
}

TEST_F(EditButtonsTest, ChangesReachOnChangedElseTheCollection) {
  TPersistent Owner;
  TEditButtonsEh Buttons(&Owner, TEditButtonEh::StaticClass());
  std::vector<TObject*> Updates;
  Buttons.OnChanged = [&](TObject* Item) { Updates.push_back(Item); };
  TEditButtonEh* Item = Buttons.Add();
  Updates.clear();
  Item->SetWidth(20);
  EXPECT_EQ(Updates, (std::vector<TObject*>{Item}));

  int Direct = 0;
  Item->OnChanged = [&](TObject*) { ++Direct; };
  Item->SetWidth(21);
  EXPECT_EQ(Direct, 1);
  EXPECT_EQ(Updates.size(), 1u) << "the owner's handler takes it instead";

  TImageList List(Form);
  std::vector<TComponent*> Refs;
  Buttons.OnRefComponentChanged = [&](TObject*, TComponent* Ref) { Refs.push_back(Ref); };
  Item->Images()->SetNormalImages(&List);
  EXPECT_EQ(Refs, (std::vector<TComponent*>{&List}));
  Buttons.Clear();
}

TEST_F(EditButtonsTest, DropDownParametersAssignTheirNinePublishedValues) {
  TEditButtonEh B(Edit);
  TDropDownFormCallParamsEh Source;
  TForm DropDown(Form);
  Source.SetAlign(daRight);
  Source.SetAssignBackFieldNames("A;B");
  Source.SetDropDownForm(&DropDown);
  Source.SetDropDownFormClassName("TSomeForm");
  Source.SetFormHeight(200);
  Source.SetFormWidth(300);
  Source.SetPassFieldNames("C");
  Source.SetPassParams(pspByFieldNamesEh);
  Source.SetSaveFormSize(false);
  int Changed = 0;
  B.DropDownFormParams()->OnChanged = [&](TObject*) { ++Changed; };
  B.SetDropDownFormParams(&Source);  // raised for lack of a copy before
  TDropDownFormCallParamsEh* P = B.DropDownFormParams();
  EXPECT_EQ(P->Align(), daRight);
  EXPECT_EQ(P->AssignBackFieldNames(), "A;B");
  EXPECT_EQ(P->DropDownForm(), &DropDown);
  EXPECT_EQ(P->DropDownFormClassName(), "TSomeForm");
  EXPECT_EQ(P->FormHeight(), 200);
  EXPECT_EQ(P->FormWidth(), 300);
  EXPECT_EQ(P->PassFieldNames(), "C");
  EXPECT_EQ(P->PassParams(), pspByFieldNamesEh);
  EXPECT_FALSE(P->SaveFormSize());
  EXPECT_EQ(Changed, 2) << "the form and the class name changed";
}

}  // namespace
