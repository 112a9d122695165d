#include "gridlib/grid/popuplistboxes.h"

#include "gridlib/base/baseunit.h"
#include "gridlib/base/sizegrip.h"
#include "gridlib/grid/gridstyle.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/units.h"
#include "platform/ui/controls/edits.h"
#include "platform/ui/windowing/timers.h"
#include "platform/ui/windowing/window.h"
#include "tests/platform/ui/formfixture.h"

namespace {

using namespace gdi;

// Keeps the list open or closes it, as asked.
class TStayItem : public TPopupListboxItemEh {
public:
  explicit TStayItem(bool ACloses) : Closes(ACloses) {}
  bool CloseOnExecute(TCustomListboxEh*, Integer) override { return Closes; }
  bool Closes;
};

// A focused edit on an active form, and popup lists of items 16 high.
class PopupListboxTest : public FormFixture {
protected:
  void SetUp() override {
    InitializeUnits({GridLibBaseUnitEh, GridsUnitEh});
    FormFixture::SetUp();
    Edit = make<TEdit>(Bounds(10, 10, 200, 24));
    Form->Show();
    test::Activate(Form);
    Edit->SetFocus();
  }
  TPopupListboxEh* popupList(Integer Items = 8) {
    auto* List = CreateGridEh<TPopupListboxEh>(Form);
    List->SetItemHeight(16);
    for (Integer I = 0; I < Items; ++I) List->Items()->Add(QStringLiteral("item %1").arg(I));
    return List;
  }
  TEdit* Edit = nullptr;
  test::TStepClock Clock{1000};
  TClockScope ClockScope{Clock};
};

TEST_F(PopupListboxTest, TheHeightSnapsToWholeItems) {
  TPopupListboxEh* List = popupList();
  EXPECT_EQ(List->GetBorderSize(), 4);
  struct Case {
    Integer Asked, Height, Rows;
  } Cases[] = {{70, 68, 4}, {10, 20, 1}, {68, 68, 4}, {84, 84, 5}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Asked);
    List->SetBounds(300, 300, 120, C.Asked);
    EXPECT_EQ(List->Height(), C.Height);
    EXPECT_EQ(List->RowCountFitting(), C.Rows);
  }
  List->Show();
  EXPECT_EQ(List->Height() - List->ClientHeight(), 4) << "the window's own border";
  EXPECT_NE(GetWindowLong(List->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

TEST_F(PopupListboxTest, OpeningAboveMovesTheGripToTheTop) {
  TPopupListboxEh* List = popupList();
  ASSERT_EQ(List->SizeGripPostion(), sgpBottomRight);
  List->Perform(DropDownSideNoticeEh, sgcpToTop, 0);
  EXPECT_EQ(List->SizeGripPostion(), sgpTopRight);
  List->Perform(DropDownSideNoticeEh, sgcpToTop, 0);
  EXPECT_EQ(List->SizeGripPostion(), sgpTopRight);
  List->Perform(DropDownSideNoticeEh, sgcpToLeft, 0);
  EXPECT_EQ(List->SizeGripPostion(), sgpTopLeft);
}

TEST_F(PopupListboxTest, HoveringSelectsWhileTheEditKeepsTheFocus) {
  TPopupListboxEh* List = popupList(20);
  List->SetBounds(300, 300, 120, 84);
  List->Show();
  test::MouseMove(List, {20, 40});
  EXPECT_EQ(List->ItemIndex(), 2);
  EXPECT_EQ(GetFocus(), Edit->Handle());
  test::MouseDown(List, {20, 40});
  test::MouseMove(List, {20, -10}, {ssLeft});
  EXPECT_EQ(List->ItemIndex(), List->GetTopIndex()) << "above the list: the first item shown";
  test::MouseUp(List, {20, -10});
}

TEST_F(PopupListboxTest, AnItemThatStaysOpenAnswersTheMouseUp) {
  TPopupListboxEh* List = popupList(0);
  TStayItem Stay(false), Close(true);
  List->SetUseItemObjects(true);
  List->Items()->AddObject("stay", &Stay);
  List->Items()->AddObject("close", &Close);
  List->SetBounds(300, 300, 120, 84);
  List->Show();
  Integer Ups = 0;
  List->OnMouseUp = TMouseEvent([&Ups](TObject*, TMouseButton, TShiftState, int, int) { ++Ups; });
  test::Click(List, {20, 5});
  EXPECT_FALSE(List->IsMouseUpCloseListbox());
  EXPECT_EQ(Ups, 1);
  test::AdvanceTime(1000);
  test::Click(List, {30, 21});
  EXPECT_TRUE(List->IsMouseUpCloseListbox());
  EXPECT_EQ(Ups, 2);
}

TEST_F(PopupListboxTest, ResizingByTheGripIsRemembered) {
  auto* Popup = new TMRUListboxEh(Form);
  Popup->AfterConstruction();
  Popup->SetItemHeight(16);
  Popup->HandleNeeded();
  EXPECT_FALSE(Popup->SizeGripResized());
  Popup->SetInternalResizing(true);
  Popup->SetBounds(300, 300, 120, 100);
  EXPECT_FALSE(Popup->SizeGripResized());
  Popup->SetInternalResizing(false);
  Popup->SetBounds(300, 300, 150, 120);
  EXPECT_TRUE(Popup->SizeGripResized());
  EXPECT_EQ(Popup->ResizedWidth(), 150);
}

TEST_F(PopupListboxTest, TheWheelOverTheFormScrollsItsList) {
  auto* Popup = new TPopupListboxFormEh(Form);
  Popup->AfterConstruction();
  Popup->SetItemHeight(16);
  for (Integer I = 0; I < 40; ++I) Popup->Items()->Add(QStringLiteral("item %1").arg(I));
  Popup->SetBounds(300, 300, 120, 100);
  Popup->Show();
  TCMMouseWheel Wheel;
  Wheel.Msg = CM_MOUSEWHEEL;
  Wheel.WheelDelta = -120;
  Wheel.XPos = 320;
  Wheel.YPos = 320;
  Popup->Perform(AsMessage(Wheel));
  EXPECT_NE(AsMessage(Wheel).Result, 0);
  EXPECT_EQ(Popup->ListGrid()->TopRow(), 1);
}

TEST_F(PopupListboxTest, ExternalItemsReplaceTheOwnOnes) {
  auto* Popup = new TPopupListboxFormEh(Form);
  Popup->AfterConstruction();
  TStringList External;
  External.Add("x");
  External.Add("y");
  Popup->SetExtItems(&External);
  EXPECT_TRUE(Popup->ListGrid()->VirtualItems());
  EXPECT_EQ(Popup->ListGrid()->VisibleItems()->Count(), 2);
  EXPECT_EQ(Popup->ListGrid()->GetItemText(1), "y");
  Popup->SetExtItems(nullptr);
}

}  // namespace
