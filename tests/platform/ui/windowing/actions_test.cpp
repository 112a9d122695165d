#include "platform/ui/windowing/actions.h"

#include "tests/platform/ui/formfixture.h"

namespace {

using namespace gdi;

class ActionsTest : public ::testing::Test {
protected:
  void TearDown() override { Owner->Free(); }

  TMenuItem* LinkedItem() {
    auto* Item = new TMenuItem(Owner);
    Item->SetAction(Act);
    return Item;
  }

  TComponent* Owner = new TComponent(nullptr);
  TAction* Act = new TAction(Owner);
};

TEST_F(ActionsTest, LinkingCopiesTheActionsProperties) {
  Act->SetCaption("&Find");
  Act->SetShortCut(TextToShortCut("Ctrl+F"));
  Act->SetEnabled(false);
  Act->SetHint("Find|Find a reference");
  Act->SetImageIndex(3);
  Act->SetAutoCheck(true);
  Act->SetGroupIndex(2);
  TMenuItem* Item = LinkedItem();
  EXPECT_EQ(Item->Action(), Act);
  EXPECT_EQ(Item->Caption(), "&Find");
  EXPECT_EQ(Item->ShortCut(), TextToShortCut("Ctrl+F"));
  EXPECT_FALSE(Item->Enabled());
  EXPECT_EQ(Item->Hint(), "Find|Find a reference");
  EXPECT_EQ(Item->ImageIndex(), 3);
  EXPECT_TRUE(Item->AutoCheck());
  EXPECT_EQ(Item->GroupIndex(), 2);
}

TEST_F(ActionsTest, ChangesFlowToClientsThatStillFollow) {
  Act->SetCaption("Old");
  TMenuItem* Follows = LinkedItem();
  TMenuItem* Own = LinkedItem();
  Own->SetCaption("Mine");
  Own->SetEnabled(false);
  Act->SetCaption("New");
  Act->SetEnabled(false);  // Own is already disabled: it still follows from here on
  Act->SetEnabled(true);
  Act->SetChecked(true);
  Act->SetVisible(false);
  EXPECT_EQ(Follows->Caption(), "New");
  EXPECT_EQ(Own->Caption(), "Mine");
  EXPECT_TRUE(Own->Enabled());
  EXPECT_TRUE(Follows->Checked());
  EXPECT_FALSE(Own->Visible());

  // The item's OnClick follows OnExecute while it is the action's.
  int Runs = 0;
  Act->SetOnExecute([&](TObject*) { ++Runs; });
  EXPECT_TRUE(Follows->OnClick == Act->OnExecute());
  Follows->SetVisible(true);
  Follows->Click();
  EXPECT_EQ(Runs, 1);
}

TEST_F(ActionsTest, ExecuteUpdatesFirstAndADisabledActionDoesNothing) {
  QStringList Log;
  Act->OnUpdate = [&](TObject*) { Log.append("update"); };
  Act->SetOnExecute([&](TObject*) { Log.append("execute"); });
  Act->SetAutoCheck(true);
  EXPECT_TRUE(Act->Execute());
  EXPECT_TRUE(Act->Checked());
  Act->SetEnabled(false);
  EXPECT_FALSE(Act->Execute());
  EXPECT_TRUE(Act->Checked());
  EXPECT_EQ(Log, QStringList({"update", "execute", "update"}));

  TBasicAction Bare(nullptr);
  EXPECT_FALSE(Bare.Execute());
  EXPECT_FALSE(Bare.Update());
}

TEST_F(ActionsTest, AnUpdateThatDisablesTheActionConsumesItsShortCut) {
  auto* Menu = new TMainMenu(Owner);
  TMenuItem* Item = LinkedItem();
  Menu->Items()->Add(Item);
  Act->SetShortCut(VK_F3);
  int Runs = 0;
  Act->SetOnExecute([&](TObject*) { ++Runs; });
  Act->OnUpdate = [&](TObject*) { Act->SetEnabled(Runs == 0); };
  TMessage Key{WM_KEYDOWN, VK_F3, 0, 0};
  EXPECT_TRUE(Menu->IsShortCut(Key.As<TWMKey>()));
  EXPECT_TRUE(Menu->IsShortCut(Key.As<TWMKey>()));
  EXPECT_EQ(Runs, 1);
  EXPECT_FALSE(Item->Enabled());
}

TEST_F(ActionsTest, FreeingEitherSideUnlinks) {
  TMenuItem* Item = LinkedItem();
  TMenuItem* Other = LinkedItem();
  Other->Free();
  Act->SetCaption("still here");
  EXPECT_EQ(Item->Caption(), "still here");
  Act->Free();
  EXPECT_EQ(Item->Action(), nullptr);
  Item->Click();  // no action to run

  // The component that executed an action is forgotten when freed.
  auto* A = new TAction(Owner);
  auto* Client = new TComponent(Owner);
  A->SetActionComponent(Client);
  Client->Free();
  EXPECT_EQ(A->ActionComponent(), nullptr);
}

// A recent-files item that removes itself: its action frees it while it runs.
TEST_F(ActionsTest, AnActionMayFreeTheItemThatRanIt) {
  TMenuItem* Item = LinkedItem();
  int Runs = 0;
  Act->SetOnExecute([&](TObject*) {
    ++Runs;
    EXPECT_EQ(Act->ActionComponent(), Item);
    Item->Free();
  });
  Item->Click();
  EXPECT_EQ(Runs, 1);
  EXPECT_EQ(Act->ActionComponent(), nullptr);
  Act->SetCaption("still linked to nothing");
}

}  // namespace
