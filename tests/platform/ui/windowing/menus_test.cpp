#include "platform/ui/windowing/menus.h"

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/imagelist.h"
#include "platform/ui/windowing/actions.h"
#include "platform/ui/windowing/controls.h"
#include "tests/platform/ui/formfixture.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

#include <functional>

namespace {

using namespace gdi;

// ---------------------------------------------------------------------------
// shortcut texts

TEST(ShortCutText, NamesKeysAndModifiers) {
  struct Case {
    const char* Text;
    TShortCut ShortCut;
  } Cases[] = {
      {"F2", VK_F2},
      {"Ctrl+A", 16449},
      {"Alt+BkSp", 32776},
      {"Ins", VK_INSERT},
      {"Alt+X", scAlt | 'X'},
      {"Alt+Down", 32808},
      {"Shift+Ctrl+Del", scShift | scCtrl | VK_DELETE},
      {"Shift+Ctrl+Alt+F12", scShift | scCtrl | scAlt | VK_F12},
      {"F24", VK_F24},
      {"0", '0'},
      {"Num 5", VK_NUMPAD5},
      {"Num +", VK_ADD},
      {"Enter", VK_RETURN},
      {"Esc", VK_ESCAPE},
      {"PgDn", VK_NEXT},
      {"Space", VK_SPACE},
      {"Ctrl+=", scCtrl | VK_OEM_PLUS},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Text);
    EXPECT_EQ(ShortCutToText(C.ShortCut), QString::fromLatin1(C.Text));
    EXPECT_EQ(TextToShortCut(QString::fromLatin1(C.Text)), C.ShortCut);
  }
  EXPECT_EQ(ShortCut(VK_DOWN, {ssAlt}), 32808);
}

TEST(ShortCutText, ParsingIgnoresCaseAndRejectsUnknownNames) {
  EXPECT_EQ(TextToShortCut("ctrl+a"), 16449);
  EXPECT_EQ(TextToShortCut("ALT+bksp"), 32776);
  EXPECT_EQ(TextToShortCut("Alt+Ctrl+A"), scAlt | scCtrl | 'A');
  EXPECT_EQ(TextToShortCut("Ctrl+"), 0);
  EXPECT_EQ(TextToShortCut(""), 0);
  EXPECT_EQ(TextToShortCut("Ctrl+Foo"), 0);
  EXPECT_EQ(TextToShortCut("F25"), 0);
  // A key without a name has no text, whatever the modifiers.
  EXPECT_EQ(ShortCutToText(scCtrl | 0x07), "");
  EXPECT_EQ(ShortCutToText(0), "");
}

// ---------------------------------------------------------------------------
// the item tree

class MenuTree : public ::testing::Test {
protected:
  void TearDown() override { Owner->Free(); }

  TMenuItem* NewItem(const String& Caption, TComponent* ItemOwner = nullptr) {
    auto* Item = new TMenuItem(ItemOwner ? ItemOwner : Owner);
    Item->SetCaption(Caption);
    return Item;
  }

  // A popup menu of MenuOwner's, counting its changes in Changes, with a
  // submenu of one item, all owned by MenuOwner.
  TPopupMenu* NewCountedMenu(TComponent* MenuOwner) {
    auto* Menu = new TPopupMenu(MenuOwner);
    Menu->OnChange = [this](TObject*) { ++Changes; };
    TMenuItem* Sub = NewItem("sub", MenuOwner);
    Menu->Items()->Add(Sub);
    Sub->Add(NewItem("leaf", MenuOwner));
    return Menu;
  }

  QStringList Captions(TMenuItem* Parent) {
    QStringList L;
    for (Integer I = 0; I < Parent->Count(); ++I) L.append(Parent->Items(I)->Caption());
    return L;
  }

  TComponent* Owner = new TComponent(nullptr);
  // Outlives the owner's free in TearDown, which may still reach handlers.
  int Changes = 0;
};

TEST_F(MenuTree, AddInsertMoveAndDetach) {
  TMenuItem* Root = NewItem("root");
  TMenuItem* A = NewItem("&Open");
  TMenuItem* B = NewItem("-");
  TMenuItem* C = NewItem("E&xit");
  Root->Add({A, C});
  Root->Insert(1, B);
  EXPECT_EQ(Captions(Root), QStringList({"&Open", "-", "E&xit"}));
  EXPECT_EQ(B->Parent(), Root);
  EXPECT_EQ(C->MenuIndex(), 2);
  EXPECT_TRUE(B->IsLine());

  C->SetMenuIndex(-5);  // clamped
  EXPECT_EQ(Captions(Root), QStringList({"E&xit", "&Open", "-"}));
  C->SetMenuIndex(99);
  EXPECT_EQ(Captions(Root), QStringList({"&Open", "-", "E&xit"}));

  EXPECT_EQ(Root->Find("exit"), C);
  EXPECT_EQ(Root->Find("E&xit"), C);
  EXPECT_EQ(Root->Find("Close"), nullptr);

  // Delete and Remove detach without freeing.
  Root->Delete(1);
  Root->Remove(A);
  EXPECT_EQ(Captions(Root), QStringList({"E&xit"}));
  EXPECT_EQ(A->Parent(), nullptr);
  EXPECT_EQ(A->MenuIndex(), -1);
  EXPECT_EQ(Owner->ComponentCount(), 4);
}

TEST_F(MenuTree, BadIndexesAndReinsertRaise) {
  TMenuItem* Root = NewItem("root");
  TMenuItem* A = NewItem("a");
  Root->Add(A);
  EXPECT_RAISES(Root->Add(A), EMenuError, "Menu inserted twice");
  TMenuItem* B = NewItem("b");
  EXPECT_RAISES(Root->Insert(2, B), EMenuError, "Menu index out of range");
  EXPECT_RAISES(Root->Insert(-1, NewItem("c")), EMenuError, "Menu index out of range");
  EXPECT_RAISES(Root->Items(1), EMenuError, "Menu index out of range");
  EXPECT_RAISES(Root->Delete(1), EMenuError, "Menu index out of range");
  EXPECT_RAISES(Root->Remove(NewItem("d")), EMenuError, "Sub-menu is not in menu");
  EXPECT_EQ(Root->Count(), 1);
}

TEST_F(MenuTree, FreeingAnItemFreesItsChildrenAndLeavesItsParent) {
  TMenuItem* Root = NewItem("root");
  TMenuItem* Sub = NewItem("sub");
  Root->Add(Sub);
  Sub->Add({NewItem("a"), NewItem("b")});
  Sub->Items(0)->Add(NewItem("deep"));
  EXPECT_EQ(Owner->ComponentCount(), 5);
  Sub->Free();
  EXPECT_EQ(Root->Count(), 0);
  EXPECT_EQ(Owner->ComponentCount(), 1);

  Root->Add({NewItem("x"), NewItem("y")});
  Root->Clear();
  EXPECT_EQ(Root->Count(), 0);
  EXPECT_EQ(Owner->ComponentCount(), 1);
}

TEST_F(MenuTree, ChangesReachTheMenu) {
  auto* Menu = new TPopupMenu(Owner);
  Menu->OnChange = [this](TObject*) { ++Changes; };
  TMenuItem* Sub = NewItem("sub");
  Menu->Items()->Add(Sub);
  TMenuItem* Leaf = NewItem("leaf");
  Sub->Add(Leaf);
  EXPECT_EQ(Leaf->GetParentMenu(), Menu);
  EXPECT_EQ(Changes, 2);
  Leaf->SetEnabled(false);
  Leaf->SetEnabled(false);  // unchanged: no notice
  Leaf->SetCaption("Leaf");
  EXPECT_EQ(Changes, 4);
  Sub->Remove(Leaf);
  EXPECT_EQ(Leaf->GetParentMenu(), nullptr);
  EXPECT_EQ(Changes, 5);
}

// Handlers see a menu only while it is whole: one being read from a stream
// or freed, with its owner or alone, reports no change.
TEST_F(MenuTree, AMenuBeingReadOrFreedReportsNoChange) {
  struct Case {
    const char* Name;
    std::function<void(TComponent* MenuOwner)> Run;  // frees MenuOwner
    int Changes;
  } Cases[] = {
      {"read from a stream, then changed once",
       [this](TComponent* O) {
         BeginLoading(O);
         TPopupMenu* Menu = NewCountedMenu(O);
         Menu->Items()->Items(0)->SetCaption("Sub");
         EndLoading(O);
         Menu->Items()->Items(0)->SetCaption("Sub menu");
         O->Free();
       },
       1},
      {"freed with its owner",
       [this](TComponent* O) {
         NewCountedMenu(O);
         Changes = 0;
         O->Free();
       },
       0},
      {"freed alone",
       [this](TComponent* O) {
         TPopupMenu* Menu = NewCountedMenu(O);
         Changes = 0;
         Menu->Free();
         O->Free();
       },
       0},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Changes = 0;
    C.Run(new TComponent(nullptr));
    EXPECT_EQ(Changes, C.Changes);
  }
}

// ---------------------------------------------------------------------------
// Click

struct TClickLog : TObject {
  QStringList Log;
  void Click(TObject* Sender) { Log.append("click " + static_cast<TMenuItem*>(Sender)->Caption()); }
  void Execute(TObject* Sender) {
    auto* A = static_cast<TBasicAction*>(Sender);
    Log.append("execute " + (A->ActionComponent() ? A->ActionComponent()->Name() : String("-")));
  }
};

TEST_F(MenuTree, AutoCheckRadioItemsKeepOneCheckedPerGroup) {
  TMenuItem* Root = NewItem("root");
  std::vector<TMenuItem*> Items;
  for (int I = 0; I < 4; ++I) {
    TMenuItem* Item = NewItem(QString::number(I));
    Item->SetAutoCheck(true);
    Item->SetRadioItem(true);
    Item->SetGroupIndex(I < 3 ? 1 : 2);
    Root->Add(Item);
    Items.push_back(Item);
  }
  Items[3]->Click();
  Items[0]->Click();
  Items[2]->Click();
  auto checked = [&] {
    QString S;
    for (TMenuItem* I : Items) S += I->Checked() ? u'x' : u'.';
    return S;
  };
  EXPECT_EQ(checked(), "..xx");
  // A plain AutoCheck item toggles back and forth; a disabled one does nothing.
  TMenuItem* Plain = NewItem("plain");
  Plain->SetAutoCheck(true);
  Plain->Click();
  EXPECT_TRUE(Plain->Checked());
  Plain->Click();
  EXPECT_FALSE(Plain->Checked());
  Plain->SetEnabled(false);
  Plain->Click();
  EXPECT_FALSE(Plain->Checked());
}

TEST_F(MenuTree, OnClickOrTheActionRuns) {
  TClickLog L;
  auto* Act = new TAction(Owner);
  Act->SetOnExecute(TNotifyEvent(&L, &TClickLog::Execute));

  // OnClick alone.
  TMenuItem* Plain = NewItem("plain");
  Plain->OnClick = TNotifyEvent(&L, &TClickLog::Click);
  Plain->Click();
  // The action alone: linking copies OnExecute, so the action runs, with the
  // item as its ActionComponent while it runs.
  TMenuItem* Linked = NewItem("linked");
  Linked->SetName("mnLinked");
  Linked->SetAction(Act);
  Linked->Click();
  EXPECT_EQ(Act->ActionComponent(), nullptr);
  // An OnClick of its own wins over the action.
  TMenuItem* Own = NewItem("own");
  Own->SetAction(Act);
  Own->SetCaption("own");  // linking copied the action's empty caption
  Own->OnClick = TNotifyEvent(&L, &TClickLog::Click);
  Own->Click();
  // A disabled item runs nothing.
  Plain->SetEnabled(false);
  Plain->Click();
  EXPECT_EQ(L.Log, QStringList({"click plain", "execute mnLinked", "click own"}));
}

// ---------------------------------------------------------------------------
// popup menus

class PopupTest : public ::testing::Test {
protected:
  void SetUp() override {
    Menu = new TPopupMenu(Owner);
    for (const char* C : {"&Copy", "-", "&Sort"}) {
      auto* Item = new TMenuItem(Owner);
      Item->SetCaption(C);
      Menu->Items()->Add(Item);
    }
    Sort = Menu->Items()->Items(2);
    for (const char* C : {"By &title", "By &year"}) {
      auto* Item = new TMenuItem(Owner);
      Item->SetCaption(C);
      Item->SetAutoCheck(true);
      Item->SetRadioItem(true);
      Sort->Add(Item);
    }
  }
  void TearDown() override {
    SetMenuResponder({});
    Owner->Free();
  }

  TComponent* Owner = new TComponent(nullptr);
  TPopupMenu* Menu;
  TMenuItem* Sort;
};

TEST_F(PopupTest, OnPopupShapesTheBuiltMenuAndTheChosenClickRunsBeforeReturn) {
  TMenuItem* Copy = Menu->Items()->Items(0);
  Copy->SetShortCut(TextToShortCut("Ctrl+C"));
  Menu->OnPopup = [&](TObject*) { Copy->SetEnabled(false); };
  bool Clicked = false;
  Sort->Items(1)->OnClick = [&](TObject*) { Clicked = true; };
  QStringList Shown;
  SetMenuResponder([&](const TMenuRequest& R) {
    EXPECT_EQ(R.Menu, Menu);
    EXPECT_EQ(R.Point, (TPoint{40, 50}));
    for (QAction* A : R.QtMenu->actions())
      Shown.append(A->isSeparator() ? "-" : A->text() + (A->isEnabled() ? "" : " (off)"));
    QMenu* Sub = R.QtMenu->actions()[2]->menu();
    EXPECT_TRUE(Sub && Sub->actions()[1]->isCheckable());
    return Sort->Items(1);
  });
  Menu->Popup(40, 50);
  EXPECT_TRUE(Clicked);
  EXPECT_EQ(Shown, QStringList({"&Copy\tCtrl+C (off)", "-", "&Sort"}));
  EXPECT_TRUE(Sort->Items(1)->Checked());

  // The next popup is built again from the tree as it is then.
  SetMenuResponder([&](const TMenuRequest& R) {
    EXPECT_EQ(R.QtMenu->actions()[2]->menu()->actions()[1]->isChecked(), true);
    return Sort->Items(0);
  });
  Menu->Popup(0, 0);
  EXPECT_TRUE(Sort->Items(0)->Checked());
  EXPECT_FALSE(Sort->Items(1)->Checked());
}

TEST_F(PopupTest, LinesAtTheEndsOrDoubledAreDroppedUnlessManual) {
  auto* Line = new TMenuItem(Owner);
  Line->SetCaption("-");
  Menu->Items()->Add(Line);  // trailing
  auto* Line2 = new TMenuItem(Owner);
  Line2->SetCaption("-");
  Menu->Items()->Insert(1, Line2);  // doubled
  QStringList Shown;
  SetMenuResponder([&](const TMenuRequest& R) {
    QString S;
    for (QAction* A : R.QtMenu->actions()) S += A->isSeparator() ? u'-' : u'x';
    Shown.append(S);
    return nullptr;
  });
  Menu->Popup(0, 0);
  Menu->Items()->Items(0)->SetVisible(false);  // now the lines lead
  Menu->Popup(0, 0);
  Menu->SetAutoLineReduction(maManual);
  Menu->Popup(0, 0);
  // An item's own flag wins over the menu's.
  Menu->SetAutoLineReduction(maAutomatic);
  Menu->Items()->Items(1)->SetAutoLineReduction(maManual);  // a line's flag is about its children
  Menu->Popup(0, 0);
  EXPECT_EQ(Shown, QStringList({"x-x", "x", "--x-", "x"}));
}

TEST_F(PopupTest, IconsComeFromTheNearestImageList) {
  auto list = [&](QColor Colour) {
    auto* L = new TCustomImageList(Owner);
    QImage Img(16, 16, QImage::Format_RGB32);
    Img.fill(Colour);
    TBitmap B;
    B.SetImage(Img);
    L->Add(&B, nullptr);
    return L;
  };
  Menu->SetImages(list(Qt::red));
  Sort->SetSubMenuImages(list(Qt::blue));
  Menu->Items()->Items(0)->SetImageIndex(0);
  Sort->Items(0)->SetImageIndex(0);
  Sort->Items(1)->SetImageIndex(1);  // no such image
  auto centre = [](QAction* A) { return A->icon().pixmap(16, 16).toImage().pixelColor(8, 8); };
  SetMenuResponder([&](const TMenuRequest& R) {
    EXPECT_EQ(centre(R.QtMenu->actions()[0]), QColor(Qt::red));
    EXPECT_TRUE(R.QtMenu->actions()[2]->icon().isNull());
    QMenu* Sub = R.QtMenu->actions()[2]->menu();
    EXPECT_EQ(centre(Sub->actions()[0]), QColor(Qt::blue));
    EXPECT_TRUE(Sub->actions()[1]->icon().isNull());
    return nullptr;
  });
  Menu->Popup(0, 0);
}

TEST_F(PopupTest, CancelClicksNothingAndHiddenItemsAreLeftOut) {
  Menu->Items()->Items(1)->SetVisible(false);
  int Actions = 0;
  SetMenuResponder([&](const TMenuRequest& R) {
    Actions = int(R.QtMenu->actions().size());
    return nullptr;
  });
  Menu->Popup(0, 0);
  EXPECT_EQ(Actions, 2);
  EXPECT_FALSE(Sort->Items(0)->Checked());
  EXPECT_FALSE(Sort->Items(1)->Checked());
}

TEST_F(PopupTest, WithoutResponderOffscreenRaisesInsteadOfWaiting) {
  Menu->SetName("pmGrid");
  EXPECT_RAISES(Menu->Popup(0, 0), EUnansweredModal, "Popup menu pmGrid opened without a menu responder");
}

TEST_F(PopupTest, RightClickOverTheControlPopsItsMenu) {
  auto* Form = new TForm(Owner);
  Form->SetBounds(100, 100, 200, 150);
  auto* Panel = new TCustomControl(Form);
  Panel->SetParent(Form);
  Panel->SetBounds(10, 10, 80, 60);
  Panel->SetPopupMenu(Menu);
  Form->Show();
  std::vector<TMenuRequest> Requests;
  SetMenuResponder([&](const TMenuRequest& R) {
    Requests.push_back(R);
    return nullptr;
  });
  test::Click(Panel, {5, 6}, mbRight);
  ASSERT_EQ(Requests.size(), 1u);
  EXPECT_EQ(Requests[0].Point, Panel->ClientToScreen({5, 6}));
  EXPECT_EQ(Menu->PopupComponent(), Panel);
  // From the keyboard: no point, the menu comes at the client origin.
  EXPECT_EQ(Panel->Perform(WM_CONTEXTMENU, 0, PointToLParam(TPoint{-1, -1})), 1);
  ASSERT_EQ(Requests.size(), 2u);
  EXPECT_EQ(Requests[1].Point, Panel->ClientToScreen({0, 0}));

  // AutoPopup off: the message goes on and nothing pops up.
  Menu->SetAutoPopup(false);
  test::Click(Panel, {5, 6}, mbRight);
  EXPECT_EQ(Requests.size(), 2u);

  // A freed menu is forgotten by the control.
  Menu->Free();
  EXPECT_EQ(Panel->PopupMenu(), nullptr);
  Form->Free();
  test::ResetUi();
}

// ---------------------------------------------------------------------------
// shortcut dispatch through the key routing

// A windowed control that logs the keys it sees.
class TEditLike : public TCustomControl {
  RTL_CLASS(TEditLike, TCustomControl)
public:
  using TCustomControl::TCustomControl;
  QStringList Keys;

protected:
  void KeyDown(Word& Key, TShiftState Shift) override { Keys.append(ShortCutToText(ShortCut(Key, Shift))); }
};

class ShortCutDispatch : public FormFixture {
protected:
  ShortCutDispatch() : FormFixture(NoClipboard, Bounds(0, 0, 300, 200)) {}
  void SetUp() override {
    FormFixture::SetUp();
    Bar = new TMainMenu(Form);
    Edit = make<TEditLike>(Bounds(10, 10, 100, 40));
    Form->SetMenu(Bar);
    File = Item(Bar->Items(), "&File");
    SelectAll = Item(File, "Co&morbidity", TextToShortCut("Ctrl+A"));
    Form->Show();
    Edit->SetFocus();
  }
  void TearDown() override {
    SetMenuResponder({});
    FormFixture::TearDown();
  }

  TMenuItem* Item(TMenuItem* Parent, const String& Caption, TShortCut Key = 0) {
    return AddLoggingItem(Form, Parent, Caption, Key, Ran);
  }

public:
  // The recent-files pattern: a bar item's OnClick builds the menu anew.
  void rebuildMenu(TObject*) {
    Ran.append("rebuild");
    Bar->Items()->Clear();
    File = Item(Bar->Items(), "&File");
    File->OnClick = TNotifyEvent(this, &ShortCutDispatch::rebuildMenu);
    Item(File, "recent.txt");
  }
  void freeMenu(TObject*) { Bar->Free(); }

protected:

  TMainMenu* Bar;
  TEditLike* Edit;
  TMenuItem* File;
  TMenuItem* SelectAll;
  QStringList Ran;
};

TEST_F(ShortCutDispatch, TheMainMenuTakesTheKeyBeforeTheFocusedControl) {
  test::Key('A', {ssCtrl});
  EXPECT_EQ(Ran, QStringList({"Co&morbidity"}));
  EXPECT_TRUE(Edit->Keys.filter("A").isEmpty());
  // Alt keys arrive as system keys.
  Item(File, "E&xit", TextToShortCut("Alt+X"));
  Item(File, "Back", TextToShortCut("Alt+BkSp"));
  test::Key('X', {ssAlt});
  test::Key(VK_BACK, {ssAlt});
  EXPECT_EQ(Ran, QStringList({"Co&morbidity", "E&xit", "Back"}));
  // Other keys reach the control.
  test::Key('B', {ssCtrl});
  EXPECT_EQ(Edit->Keys.filter("B"), QStringList({"Ctrl+B"}));
}

TEST_F(ShortCutDispatch, ADisabledMatchConsumesTheKeyUnlessAnEnabledOneRuns) {
  File->SetEnabled(false);  // the parent disables its item
  test::Key('A', {ssCtrl});
  EXPECT_TRUE(Ran.isEmpty());
  EXPECT_TRUE(Edit->Keys.filter("A").isEmpty());
  TMenuItem* Other = Item(Bar->Items(), "Other", TextToShortCut("Ctrl+A"));
  test::Key('A', {ssCtrl});
  EXPECT_EQ(Ran, QStringList({"Other"}));
  // Hidden matches do not consume: the control gets the key.
  Other->SetVisible(false);
  SelectAll->SetVisible(false);
  test::Key('A', {ssCtrl});
  EXPECT_EQ(Ran, QStringList({"Other"}));
  EXPECT_EQ(Edit->Keys.filter("A"), QStringList({"Ctrl+A"}));
}

TEST_F(ShortCutDispatch, ThePopupChainComesFirst) {
  auto* Popup = new TPopupMenu(Form);
  Form->SetPopupMenu(Popup);  // a parent's popup menu takes part too
  Item(Popup->Items(), "popup", TextToShortCut("Ctrl+A"));
  Item(Popup->Items(), "F6", VK_F6);
  test::Key('A', {ssCtrl});
  test::Key(VK_F6);
  EXPECT_EQ(Ran, QStringList({"popup", "F6"}));
}

TEST_F(ShortCutDispatch, OnlyTheActiveFormsMenusTakePart) {
  Item(File, "Refresh", VK_F6);
  auto* Other = new TForm(Application);
  Other->SetBounds(50, 50, 200, 100);
  Other->Show();
  test::Key(VK_F6);
  EXPECT_TRUE(Ran.isEmpty());
  Other->Free();
  Form->Activate();
  test::Key(VK_F6);
  EXPECT_EQ(Ran, QStringList({"Refresh"}));

  // A modal window up: the main window's shortcuts are dead.
  auto* Dialog = new TForm(Application);
  {
    test::ModalScript Script;
    Script.Then([&](TModalRequest& R) {
      test::Key(VK_F6);
      R.Form->SetModalResult(mrOk);
    });
    EXPECT_EQ(Dialog->ShowModal(), mrOk);
  }
  EXPECT_EQ(Ran, QStringList({"Refresh"}));
}

TEST_F(ShortCutDispatch, OpeningABarItemClicksItThenRunsItsSubmenu) {
  auto* Save = new TAction(Form);
  Save->SetCaption("&Save");
  Save->OnUpdate = [&](TObject*) { Save->SetEnabled(false); };
  auto* SaveItem = new TMenuItem(Form);
  SaveItem->SetAction(Save);
  File->Add(SaveItem);
  std::vector<TMenuRequest> Requests;
  QStringList Shown;
  SetMenuResponder([&](const TMenuRequest& R) {
    Requests.push_back(R);
    for (QAction* A : R.QtMenu->actions()) Shown.append(A->text() + (A->isEnabled() ? "" : " (off)"));
    return SelectAll;
  });
  Bar->OpenItem(File, 10, 20);
  ASSERT_EQ(Requests.size(), 1u);
  EXPECT_EQ(Requests[0].Menu, Bar);
  EXPECT_EQ(Requests[0].Item, File);
  EXPECT_EQ(Requests[0].Point, (TPoint{10, 20}));
  // The actions of the items updated before the menu was built.
  EXPECT_EQ(Shown, QStringList({"Co&morbidity\tCtrl+A", "&Save (off)"}));
  EXPECT_EQ(Ran, QStringList({"&File", "Co&morbidity"}));

  // An item without children only clicks; a disabled one does nothing.
  TMenuItem* Help = Item(Bar->Items(), "&Help");
  Bar->OpenItem(Help, 0, 0);
  File->SetEnabled(false);
  Bar->OpenItem(File, 0, 0);
  EXPECT_EQ(Requests.size(), 1u);
  EXPECT_EQ(Ran, QStringList({"&File", "Co&morbidity", "&Help"}));

  // No one to answer under the offscreen platform: an error, not a wait.
  SetMenuResponder({});
  File->SetEnabled(true);
  Bar->SetName("mmMain");
  EXPECT_RAISES(Bar->OpenItem(File, 0, 0), EUnansweredModal, "Main menu mmMain opened without a menu responder");
}

TEST_F(ShortCutDispatch, TheMenuBarFollowsTheTree) {
  QMenuBar QtBar;
  Bar->AttachMenuBar(&QtBar);
  ASSERT_EQ(QtBar.actions().size(), 1);
  QMenu* FileMenu = QtBar.actions()[0]->menu();
  ASSERT_TRUE(FileMenu);
  EXPECT_EQ(QtBar.actions()[0]->text(), "&File");
  EXPECT_EQ(FileMenu->actions()[0]->text(), "Co&morbidity\tCtrl+A");

  SelectAll->SetEnabled(false);
  EXPECT_FALSE(QtBar.actions()[0]->menu()->actions()[0]->isEnabled());
  TMenuItem* Help = Item(Bar->Items(), "&Help");
  ASSERT_EQ(QtBar.actions().size(), 2);
  QtBar.actions()[1]->trigger();
  EXPECT_EQ(Ran, QStringList({"&Help"}));
  Help->Free();
  EXPECT_EQ(QtBar.actions().size(), 1);
  Bar->AttachMenuBar(nullptr);
  EXPECT_TRUE(QtBar.actions().isEmpty());
}

TEST_F(ShortCutDispatch, ABarItemThatRebuildsTheMenuOpensNothingFreed) {
  std::vector<TMenuRequest> Requests;
  SetMenuResponder([&](const TMenuRequest& R) {
    Requests.push_back(R);
    return nullptr;
  });
  File->OnClick = TNotifyEvent(this, &ShortCutDispatch::rebuildMenu);
  Bar->OpenItem(File, 10, 20);
  EXPECT_EQ(Ran, QStringList({"rebuild"}));
  EXPECT_TRUE(Requests.empty()) << "the item clicked is gone";
  // The menu freed from its own bar item.
  File->OnClick = TNotifyEvent(this, &ShortCutDispatch::freeMenu);
  Bar->OpenItem(File, 10, 20);
  EXPECT_EQ(Form->Menu(), nullptr);
  EXPECT_TRUE(Requests.empty());
}

}  // namespace

// An item that keeps its menu open.
class TKeepOpenItem : public TMenuItem {
public:
  using TMenuItem::TMenuItem;
  bool CloseMenuOnClick() const override { return false; }
};

TEST_F(PopupTest, AKeepOpenItemIsClickedAndTheMenuStaysOpen) {
  auto* Keep = new TKeepOpenItem(Owner);
  Keep->SetCaption("Keep");
  Keep->SetAutoCheck(true);
  Sort->Add(Keep);
  QList<bool> ShownChecks;
  int Asked = 0;
  SetMenuResponder([&](const TMenuRequest& R) {
    ShownChecks << R.QtMenu->actions()[2]->menu()->actions()[2]->isChecked();
    // Twice the item that stays open, then an ordinary one.
    return ++Asked <= 2 ? static_cast<TMenuItem*>(Keep) : Sort->Items(0);
  });
  Menu->Popup(0, 0);
  EXPECT_EQ(Asked, 3) << "the menu stayed open for the next choice";
  EXPECT_EQ(ShownChecks, QList<bool>({false, true, false})) << "the shown check follows each click";
  EXPECT_FALSE(Keep->Checked());
  EXPECT_TRUE(Sort->Items(0)->Checked());
}

TEST_F(PopupTest, EnterOrAPressOnAKeepOpenItemIsTakenByTheMenu) {
  auto* Keep = new TKeepOpenItem(Owner);
  Keep->SetCaption("Keep");
  Keep->SetAutoCheck(true);
  Menu->Items()->Add(Keep);
  SetMenuResponder([&](const TMenuRequest& R) {
    QMenu* M = R.QtMenu;
    QAction* A = M->actions().last();
    M->setActiveAction(A);
    QKeyEvent Enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(M, &Enter);
    EXPECT_TRUE(Enter.isAccepted());
    EXPECT_TRUE(Keep->Checked());
    EXPECT_TRUE(A->isChecked()) << "repainted with the new check";
    return static_cast<TMenuItem*>(nullptr);
  });
  Menu->Popup(0, 0);
  EXPECT_TRUE(Keep->Checked());
}
