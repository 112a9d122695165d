#include "platform/ui/windowing/actions.h"

#include "platform/ui/controls/buttons.h"
#include "platform/ui/controls/comctrls.h"
#include "tests/platform/ui/formfixture.h"

namespace {

using namespace gdi;

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
