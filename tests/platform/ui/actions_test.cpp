#include "platform/ui/actions.h"

#include "platform/ui/buttons.h"
#include "platform/ui/comctrls.h"
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

// ---------------------------------------------------------------------------
// controls

class ControlActionsTest : public FormFixture {
protected:
  ControlActionsTest() : FormFixture(NoClipboard, Bounds(100, 100, 300, 200)) {}
  void SetUp() override {
    FormFixture::SetUp();
    Act = new TAction(Form);
    Act->SetCaption("&Find");
    Act->SetHint("Find|Find a reference");
    Act->SetImageIndex(4);
    Act->SetOnExecute([this](TObject* Sender) {
      EXPECT_EQ(Sender, Act);
      Log.append("execute by " + (Act->ActionComponent() ? Act->ActionComponent()->ClassName() : "none"));
    });
  }

  template <class T>
  T* linked(TRect Bounds) {
    auto* C = make<T>(Bounds);
    C->SetAction(Act);
    return C;
  }

  TAction* Act = nullptr;
  QStringList Log;
};

TEST_F(ControlActionsTest, LinkingCopiesAndChangesFlowToEveryKindOfButton) {
  auto* Button = linked<TButton>(Rect(10, 10, 85, 35));
  auto* Speed = linked<TSpeedButton>(Rect(100, 10, 123, 32));
  auto* Bar = new TToolBar(Form);
  Bar->SetParent(Form);
  auto* Tool = new TToolButton(Form);
  Tool->SetParent(Bar);
  Tool->SetAction(Act);
  for (TControl* C : std::initializer_list<TControl*>{Button, Speed, Tool}) {
    SCOPED_TRACE(C->ClassName().toStdString());
    EXPECT_EQ(C->Action(), Act);
    EXPECT_EQ(C->Caption(), "&Find");
    EXPECT_EQ(C->Hint(), "Find|Find a reference");
    EXPECT_TRUE(C->OnClick == Act->OnExecute());
  }
  EXPECT_EQ(Tool->ImageIndex(), 4);

  Act->SetEnabled(false);
  Act->SetCaption("Find &again");
  Act->SetImageIndex(5);
  Act->SetVisible(false);
  EXPECT_FALSE(Button->Enabled());
  EXPECT_FALSE(Speed->Enabled());
  EXPECT_FALSE(Tool->Enabled());
  EXPECT_EQ(Speed->Caption(), "Find &again");
  EXPECT_EQ(Tool->ImageIndex(), 5);
  EXPECT_FALSE(Tool->Visible());
  Act->SetEnabled(true);
  Act->SetVisible(true);
  EXPECT_TRUE(Button->Enabled());
  EXPECT_TRUE(Tool->Visible());

  // A client that set its own value keeps it.
  Button->SetCaption("Mine");
  Tool->SetImageIndex(0);
  Act->SetCaption("Find");
  Act->SetImageIndex(6);
  EXPECT_EQ(Button->Caption(), "Mine");
  EXPECT_EQ(Speed->Caption(), "Find");
  EXPECT_EQ(Tool->ImageIndex(), 0);
}

TEST_F(ControlActionsTest, ClickExecutesTheActionUnlessOnClickIsTheControlsOwn) {
  auto* Button = linked<TButton>(Rect(10, 10, 85, 35));
  auto* Speed = linked<TSpeedButton>(Rect(100, 10, 123, 32));
  Form->Show();
  test::Click(Button, {5, 5});
  test::Click(Speed, {5, 5});
  EXPECT_EQ(Log, QStringList({"execute by TButton", "execute by TSpeedButton"}));
  EXPECT_EQ(Act->ActionComponent(), nullptr) << "only while it runs";

  // Without OnClick the action still runs; an OnClick of its own wins.
  Log.clear();
  Speed->OnClick = {};
  test::Click(Speed, {5, 5});
  Button->OnClick = [this](TObject*) { Log.append("own"); };
  test::Click(Button, {5, 5});
  EXPECT_EQ(Log, QStringList({"execute by TSpeedButton", "own"}));

  // A disabled action disables its clients: no input reaches them.
  Log.clear();
  Act->SetEnabled(false);
  test::Click(Speed, {5, 5});
  EXPECT_TRUE(Log.isEmpty());
  // An update that disables the action stops the execution.
  Act->SetEnabled(true);
  Act->OnUpdate = [this](TObject*) { Act->SetEnabled(false); };
  test::Click(Speed, {5, 5});
  EXPECT_TRUE(Log.isEmpty());
  EXPECT_FALSE(Speed->Enabled());
}

TEST_F(ControlActionsTest, FreeingEitherSideUnlinks) {
  auto* Button = linked<TButton>(Rect(10, 10, 85, 35));
  auto* Other = linked<TButton>(Rect(100, 10, 175, 35));
  Other->Free();
  Act->SetCaption("still here");
  EXPECT_EQ(Button->Caption(), "still here");

  Button->OnClick = [this](TObject*) { Log.append("own"); };
  Act->Free();
  EXPECT_EQ(Button->Action(), nullptr);
  Button->Click();
  EXPECT_EQ(Log, QStringList({"own"}));
  // Unlinking by hand leaves the copied values.
  auto* Again = new TAction(Form);
  Again->SetCaption("Again");
  Button->SetAction(Again);
  Button->SetAction(nullptr);
  Again->SetCaption("Changed");
  EXPECT_EQ(Button->Caption(), "Again");
}

// The action's handler may unlink the client that ran it.
TEST_F(ControlActionsTest, AHandlerMayUnlinkTheClientThatRanIt) {
  auto* Button = linked<TButton>(Rect(10, 10, 85, 35));
  Act->SetOnExecute([&](TObject*) {
    Log.append("execute");
    Button->SetAction(nullptr);
  });
  Form->Show();
  test::Click(Button, {5, 5});
  EXPECT_EQ(Log, QStringList({"execute"}));
  EXPECT_EQ(Button->Action(), nullptr);
  test::Click(Button, {5, 5});
  EXPECT_EQ(Log, QStringList({"execute", "execute"})) << "OnClick stays the handler";
}

}  // namespace
