#include "gridlib/editors/buttonsbox.h"

#include "gridlib/editors/editbuttoncontrol.h"
#include "gridlib/editors/editbuttons.h"
#include "platform/rtl/strutils.h"
#include "platform/ui/controls/extctrls.h"
#include "tests/gridlib/editors/editorsfixture.h"

#include <memory>
#include <vector>

namespace {

// A box on the form whose controls the form owns, as an edit's would be,
// and the edit buttons it shows.  SM_CXVSCROLL is 17 and styles are off.
class ButtonsBoxTest : public EditorsFixture {
protected:
  void SetUp() override {
    EditorsFixture::SetUp();
    Box = make<TEditButtonsBoxEh>(Bounds(0, 0, 100, 40));
    Box->FOnCreateEditButtonControl = [this](TEditButtonControlEh*& Control) {
      Control = new TEditButtonControlEh(Form);
      Control->SetTransparent(false);
    };
  }
  // Count buttons, each visible and Width wide, laid out.
  void layout(int Count, Integer Width, bool Flat, Integer MaxHeight = 40) {
    Buttons.clear();
    Box->BeginLayout();
    Box->SetButtonsCount(Count);
    Box->FFlat = Flat;
    Box->FMaxButtonHeight = MaxHeight;
    for (int I = 0; I < Count; ++I) {
      Buttons.push_back(std::make_unique<TVisibleEditButtonEh>(static_cast<TWinControl*>(nullptr)));
      Buttons.back()->SetWidth(Width);
      Box->Entry(I).EditButton = Buttons.back().get();
    }
    Box->EndLayout();
  }
  TEditButtonControlEh* control(int I) { return Box->Entry(I).EditButtonControl; }

  TEditButtonsBoxEh* Box = nullptr;
  std::vector<std::unique_ptr<TEditButtonEh>> Buttons;
};

TEST_F(ButtonsBoxTest, WidthsAndHeightsFollowTheButtonsAndTheLook) {
  struct Case {
    const char* Name;
    Integer Width;
    bool Flat;
    Integer MaxHeight;
    Integer ControlWidth, ButtonHeight;
  } const Cases[] = {
      {"width 0, flat: the flat default", 0, true, 17, 12, 17},
      {"width 0, not flat: a scroll bar's width", 0, false, 17, 17, 17},
      {"12 wide, flat, 40 high: four thirds", 12, true, 40, 12, 16},
      {"12 wide, flat, 17 high: the box's height", 12, true, 17, 12, 17},
      {"12 wide, not flat, 40 high: square", 12, false, 40, 12, 12},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    layout(1, C.Width, C.Flat, C.MaxHeight);
    EXPECT_EQ(control(0)->Width(), C.ControlWidth);
    EXPECT_EQ(Box->FButtonHeight, C.ButtonHeight);
    EXPECT_EQ(control(0)->Height(), C.ButtonHeight);
  }
}

TEST_F(ButtonsBoxTest, FlatButtonsAreSeparatedByOnePixelLines) {
  layout(2, 12, /*Flat=*/true);
  EXPECT_EQ(Box->Entry(0).ButtonLine->Width(), 1);
  EXPECT_TRUE(Box->Entry(0).ButtonLine->Visible());
  EXPECT_EQ(control(0)->Left(), 0);
  EXPECT_EQ(Box->Entry(0).ButtonLine->Left(), 12);
  EXPECT_EQ(control(1)->Left(), 13);
  EXPECT_EQ(Box->FButtonsWidth, 25) << "12 + 1 + 12 + 1, the last line under the frame";
  EXPECT_EQ(control(0)->Tag(), 0);
  EXPECT_EQ(control(1)->Tag(), 1);

  layout(2, 12, /*Flat=*/false);
  EXPECT_EQ(Box->Entry(0).ButtonLine->Width(), 0);
  EXPECT_FALSE(Box->Entry(0).ButtonLine->Visible());
  EXPECT_EQ(Box->FButtonsWidth, 24);
}

TEST_F(ButtonsBoxTest, InvisibleButtonsTakeNoRoomAndStayWhereTheyWere) {
  Box->SetButtonsCount(2);
  control(0)->SetLeft(30);
  control(1)->SetLeft(50);
  Buttons.push_back(std::make_unique<TEditButtonEh>(static_cast<TWinControl*>(nullptr)));
  Buttons.push_back(std::make_unique<TEditButtonEh>(static_cast<TWinControl*>(nullptr)));
  Box->Entry(0).EditButton = Buttons[0].get();
  Box->Entry(1).EditButton = Buttons[1].get();
  Box->FFlat = true;
  Box->LayoutChanged();
  EXPECT_EQ(Box->FButtonsWidth, 0) << "no flat reduction below 0";
  EXPECT_EQ(control(0)->Left(), 30);
  EXPECT_EQ(control(1)->Left(), 50);
}

TEST_F(ButtonsBoxTest, LayoutWaitsForTheOutermostEndLayout) {
  Box->BeginLayout();
  layout(1, 12, true);
  EXPECT_EQ(Box->FButtonsWidth, 0);
  Box->EndLayout();
  EXPECT_EQ(Box->FButtonsWidth, 12);
}

TEST_F(ButtonsBoxTest, ShrinkingFreesTheSurplusControlsAndLines) {
  layout(3, 12, true);
  EXPECT_EQ(Box->ControlCount(), 6);
  const int Owned = Form->ComponentCount();
  Box->SetButtonsCount(1);
  EXPECT_EQ(Box->ButtonsCount(), 1);
  EXPECT_EQ(Box->ControlCount(), 2);
  EXPECT_EQ(Form->ComponentCount(), Owned - 2) << "the two surplus controls are freed";
}

TEST_F(ButtonsBoxTest, ADisabledBoxDisablesEveryControlAndTheLitBorderColoursTheLines) {
  layout(2, 12, true);
  Buttons[1]->SetEnabled(false);
  Box->UpdateEditButtonControlsState();
  EXPECT_TRUE(control(0)->Enabled());
  EXPECT_FALSE(control(1)->Enabled());
  Box->SetEnabled(false);
  Box->UpdateEditButtonControlsState();
  EXPECT_FALSE(control(0)->Enabled());
  Box->SetBorderActive(true);
  Box->UpdateEditButtonControlsState();
  EXPECT_TRUE(control(0)->Active());
  EXPECT_EQ(Box->Entry(0).ButtonLine->Pen()->Color(), clBtnFace);
}

TEST_F(ButtonsBoxTest, ARightToLeftBoxStartsAtTheRight) {
  const TSysLocale Saved = SysLocale;
  SysLocale.MiddleEast = true;
  Box->SetBiDiMode(bdRightToLeft);
  layout(2, 12, true);
  EXPECT_EQ(control(0)->Left(), 26 - 12) << "entry 0 ends where the box's contents end";
  EXPECT_GT(control(0)->Left(), control(1)->Left());
  EXPECT_EQ(control(1)->Left(), 1);
  SysLocale = Saved;
}

}  // namespace
