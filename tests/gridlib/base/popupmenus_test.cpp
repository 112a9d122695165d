#include "gridlib/base/popupmenus.h"

#include "platform/ui/windowing/actions.h"
#include "tests/platform/ui/formfixture.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

namespace {

class PopupMenuEhTest : public FormFixture {
protected:
  void SetUp() override {
    FormFixture::SetUp();
    Menu = new TPopupMenuEh(Form);
    Stay = addItem("Stay", /*Closes=*/false);
    Plain = addItem("Plain", /*Closes=*/true);
  }
  void TearDown() override {
    SetMenuResponder({});
    FormFixture::TearDown();
  }
  TMenuItemEh* addItem(const char* Caption, bool Closes) {
    auto* Item = new TMenuItemEh(Form);
    Item->SetCaption(Caption);
    Item->SetAutoCheck(true);
    Item->SetCloseMenuOnClick(Closes);
    Menu->Items()->Add(Item);
    return Item;
  }

  TPopupMenuEh* Menu = nullptr;
  TMenuItemEh* Stay = nullptr;
  TMenuItemEh* Plain = nullptr;
};

TEST_F(PopupMenuEhTest, EnterOnAnItemThatStaysToggledItAndKeepsTheMenu) {
  int Asked = 0;
  SetMenuResponder([&](const TMenuRequest& R) -> TMenuItem* {
    ++Asked;
    QMenu* M = R.QtMenu;
    if (Asked == 1) {
      M->setActiveAction(M->actions()[0]);
      QKeyEvent Enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
      QCoreApplication::sendEvent(M, &Enter);
      EXPECT_TRUE(Stay->Checked());
      EXPECT_TRUE(M->actions()[0]->isChecked()) << "repainted";
      return Stay;  // chosen again through the responder: unchecked, still open
    }
    EXPECT_FALSE(Stay->Checked());
    return Plain;
  });
  Menu->Popup(0, 0);
  EXPECT_EQ(Asked, 2);
  EXPECT_TRUE(Plain->Checked()) << "the ordinary item closed the menu after its click";
}

TEST_F(PopupMenuEhTest, APressOnAnItemThatStaysTogglesIt) {
  SetMenuResponder([&](const TMenuRequest& R) -> TMenuItem* {
    QMenu* M = R.QtMenu;
    M->adjustSize();
    const QPointF At = M->actionGeometry(M->actions()[0]).center();
    QMouseEvent Press(QEvent::MouseButtonPress, At, M->mapToGlobal(At), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(M, &Press);
    EXPECT_TRUE(Stay->Checked());
    QMouseEvent Release(QEvent::MouseButtonRelease, At, M->mapToGlobal(At), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(M, &Release);
    EXPECT_TRUE(Stay->Checked()) << "the release does not click again";
    return nullptr;
  });
  Menu->Popup(0, 0);
  EXPECT_TRUE(Stay->Checked());
}

TEST_F(PopupMenuEhTest, TheActualItemFollowsTheCheck) {
  auto* Actual = new TMenuItem(Form);
  auto* Item = new TMenuItemEh(Form, Actual);
  Item->SetAutoCheck(true);
  Item->Click();
  EXPECT_TRUE(Item->Checked());
  EXPECT_TRUE(Actual->Checked());
  Item->Click();
  EXPECT_FALSE(Actual->Checked());
}

TEST_F(PopupMenuEhTest, OnClickRunsEvenForADisabledItem) {
  int Clicks = 0;
  Plain->OnClick = TNotifyEvent([&Clicks](TObject*) { ++Clicks; });
  Plain->SetEnabled(false);
  Plain->Click();
  EXPECT_EQ(Clicks, 1);
  EXPECT_FALSE(Plain->Checked()) << "a disabled item does not toggle";
}

TEST_F(PopupMenuEhTest, TheLinkedActionRunsAndKeepsTheItemsHandlerAway) {
  auto* Action = new TAction(Form);
  int Executed = 0;
  Action->SetOnExecute(TNotifyEvent([&Executed](TObject*) { ++Executed; }));
  Plain->SetAction(Action);
  Plain->Click();
  EXPECT_EQ(Executed, 1);
  EXPECT_EQ(Plain->Action(), Action) << "the action is put back";
}

}  // namespace
