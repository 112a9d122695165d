#include "platform/ui/controls/combobox.h"

#include "platform/rtl/stringlist.h"
#include "platform/ui/controls/buttons.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/windowing/focus.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/window.h"
#include "tests/platform/ui/formfixture.h"
#include "tests/platform/ui/pixelhelpers.h"

#include <functional>

using namespace gdi;

namespace {

class ComboBoxTest : public FormFixture {
public:
  void SetUp() override {
    FormFixture::SetUp();
    Other = make<TButton>(Bounds(250, 200, 75, 25));
    Other->OnClick = TNotifyEvent([this](TObject*) { Log.append("other button"); });
    Combo = make<TComboBox>(Bounds(10, 10, 150, 0));
    Combo->Items()->SetCommaText("Alpha,Beta,Gamma,Delta");
    Combo->OnClick = TNotifyEvent([this](TObject*) { Log.append("click " + Combo->Text()); });
    Combo->OnSelect = TNotifyEvent([this](TObject*) { Log.append("select " + Combo->Text()); });
    Combo->OnChange = TNotifyEvent([this](TObject*) { Log.append("change " + Combo->Text()); });
    Combo->OnDropDown = TNotifyEvent([this](TObject*) { Log.append("dropdown"); });
    Combo->OnCloseUp = TNotifyEvent([this](TObject*) { Log.append("closeup"); });
  }

  // The log of a user choice of Text: the three events in order.
  static QStringList chosen(const String& Text) { return {"click " + Text, "select " + Text, "change " + Text}; }
  void showFocused() {
    Form->Show();
    Combo->SetFocus();
    Log.clear();
  }
  TPoint buttonPoint() { return {Combo->ClientWidth() - 4, Combo->ClientHeight() / 2}; }
  // A point inside row Row (from the top row shown) of the open list.
  TPoint listRow(Integer Row) {
    TCustomListBox* L = Combo->DropDownList();
    return {10, Row * L->ItemHeight() + L->ItemHeight() / 2};
  }

  TButton* Other = nullptr;
  TComboBox* Combo = nullptr;
  QStringList Log;
};

TEST_F(ComboBoxTest, SettersFireNothingAndUserChoicesFireClickSelectChange) {
  Combo->SetStyle(csDropDownList);
  Combo->SetItemIndex(1);
  EXPECT_EQ(Combo->Text(), "Beta");
  Combo->SetText("gamma");
  EXPECT_EQ(Combo->ItemIndex(), 2) << "matched ignoring case";
  EXPECT_EQ(Combo->Text(), "Gamma");
  Combo->SetText("nothing like it");
  EXPECT_EQ(Combo->ItemIndex(), -1);
  EXPECT_EQ(Combo->Text(), "");
  Combo->SetItemIndex(0);
  EXPECT_TRUE(Log.isEmpty()) << Log.join(", ").toStdString();

  showFocused();
  test::Key(VK_DOWN);
  EXPECT_EQ(Combo->ItemIndex(), 1);
  EXPECT_EQ(Log, chosen("Beta"));
  Log.clear();
  test::Key(VK_UP);
  test::Key(VK_UP);
  EXPECT_EQ(Combo->ItemIndex(), 0);
  EXPECT_EQ(Log, chosen("Alpha")) << "one choice, then the first item stays";
  EXPECT_FALSE(Combo->DroppedDown());
}

TEST_F(ComboBoxTest, TypingMatchesAnItemIgnoringCaseAndAddingItemsLeavesTheText) {
  showFocused();
  test::Type("bet");
  EXPECT_EQ(Combo->Text(), "bet");
  EXPECT_EQ(Combo->ItemIndex(), -1);
  test::Type("a");
  EXPECT_EQ(Combo->Text(), "beta") << "typed text kept as typed";
  EXPECT_EQ(Combo->ItemIndex(), 1);
  test::Type("x");
  EXPECT_EQ(Combo->ItemIndex(), -1);
  EXPECT_EQ(Log, QStringList({"change b", "change be", "change bet", "change beta", "change betax"}));

  Log.clear();
  Combo->Items()->Add("betax");
  Combo->Items()->Insert(0, "Omega");
  EXPECT_EQ(Combo->Text(), "betax");
  EXPECT_EQ(Combo->ItemIndex(), -1) << "adding leaves ItemIndex alone";
  Combo->SetItemIndex(2);
  Combo->Items()->Insert(0, "Zeta");
  EXPECT_EQ(Combo->ItemIndex(), 3) << "the selection stays on its item";
  EXPECT_EQ(Combo->Text(), "Beta");
  Combo->SetItemIndex(-1);
  EXPECT_EQ(Combo->Text(), "") << "no item, no text";
  Combo->SetText("a text of its own");
  EXPECT_EQ(Combo->Text(), "a text of its own");
  EXPECT_EQ(Combo->ItemIndex(), -1);
  EXPECT_TRUE(Log.isEmpty()) << Log.join(", ").toStdString();
}

TEST_F(ComboBoxTest, EditableTextKeepsCaseLimitAndSelection) {
  Combo->SetCharCase(ecUpperCase);
  Combo->SetMaxLength(4);
  showFocused();
  test::Type("gammas");
  EXPECT_EQ(Combo->Text(), "GAMM");
  Combo->SetSelStart(1);
  Combo->SetSelLength(2);
  EXPECT_EQ(Combo->SelText(), "AM");
  Combo->SetSelText("x");
  EXPECT_EQ(Combo->Text(), "GxM");
  // Choosing selects the whole text, ready to be typed over.
  test::Key(VK_DOWN);
  EXPECT_EQ(Combo->Text(), "ALPHA") << "the item as the edit shows it";
  EXPECT_EQ(Combo->SelLength(), 5);
  Combo->SetStyle(csDropDownList);
  EXPECT_EQ(Combo->SelLength(), 0);
  EXPECT_EQ(Combo->ItemIndex(), 0) << "a new style keeps the item";
}

TEST_F(ComboBoxTest, SortedItemsKeepTheirObjects) {
  TObject A, B, C;
  Combo->Items()->Clear();
  Combo->SetSorted(true);
  EXPECT_EQ(Combo->Items()->AddObject("charlie", &C), 0);
  EXPECT_EQ(Combo->Items()->AddObject("Alpha", &A), 0);
  EXPECT_EQ(Combo->Items()->AddObject("bravo", &B), 1);
  EXPECT_EQ(Combo->Items()->Objects(0), &A);
  EXPECT_EQ(Combo->Items()->Objects(1), &B);
  EXPECT_EQ(Combo->Items()->Objects(2), &C);
  EXPECT_EQ(Combo->DropDownList()->Items(), Combo->Items()) << "one list of items";
}

TEST_F(ComboBoxTest, ButtonOpensTheListBelowAndAClickOnAnItemChoosesIt) {
  Combo->SetStyle(csDropDownList);
  Combo->OnDropDown = TNotifyEvent([this](TObject*) {
    Log.append("dropdown");
    Combo->Items()->Add("Epsilon");  // filled as it opens
  });
  Form->Show();
  test::Click(Combo, buttonPoint());
  ASSERT_TRUE(Combo->DroppedDown());
  EXPECT_TRUE(Combo->Focused()) << "the press focuses the combo box";
  TCustomListBox* L = Combo->DropDownList();
  EXPECT_TRUE(L->Visible());
  EXPECT_EQ(L->Count(), 5);
  RECT Face, List;
  GetWindowRect(Combo->Handle(), &Face);
  GetWindowRect(L->Handle(), &List);
  EXPECT_EQ(List.Left, Face.Left);
  EXPECT_EQ(List.Top, Face.Bottom);
  EXPECT_EQ(List.Right - List.Left, Combo->Width());
  EXPECT_EQ(L->ClientHeight(), 5 * L->ItemHeight());
  EXPECT_EQ(GetFocus(), Combo->Handle()) << "the list never takes the focus";

  test::MouseMove(L, listRow(3));
  EXPECT_EQ(L->ItemIndex(), 3) << "the row under the mouse is highlighted";
  EXPECT_EQ(Combo->ItemIndex(), -1) << "but not chosen";
  EXPECT_TRUE(Log == QStringList({"dropdown"}));
  test::Click(L, listRow(4));
  EXPECT_FALSE(Combo->DroppedDown());
  EXPECT_FALSE(L->Visible());
  EXPECT_EQ(Combo->ItemIndex(), 4);
  EXPECT_EQ(Log, QStringList({"dropdown", "closeup"}) + chosen("Epsilon"));

  // The same item again: the list closes, nothing changed.
  Log.clear();
  test::Click(Combo, {5, 5});
  test::Click(L, listRow(4));
  EXPECT_EQ(Log, QStringList({"dropdown", "closeup"}));
}

TEST_F(ComboBoxTest, ListOpensAboveWhenTheScreenEndsBelow) {
  Combo->SetDropDownCount(3);
  Form->SetTop(GetSystemMetrics(SM_CYSCREEN) - 80);
  showFocused();
  Combo->SetDroppedDown(true);
  RECT Face, List;
  GetWindowRect(Combo->Handle(), &Face);
  GetWindowRect(Combo->DropDownList()->Handle(), &List);
  EXPECT_EQ(List.Bottom, Face.Top);
  EXPECT_EQ(List.Bottom - List.Top, 3 * Combo->ItemHeight() + 2) << "three rows in a one-pixel border";
  EXPECT_EQ(List.Right - List.Left, Combo->Width());
  Combo->SetDroppedDown(false);
  Combo->SetDroppedWidth(280);
  Combo->SetDroppedDown(true);
  GetWindowRect(Combo->DropDownList()->Handle(), &List);
  EXPECT_EQ(List.Right - List.Left, 280);
  EXPECT_EQ(List.Left, Face.Left);
}

TEST_F(ComboBoxTest, OpenListTakesTheKeysEnterChoosesEscDoesNot) {
  Combo->SetStyle(csDropDownList);
  auto* Default = make<TButton>(Bounds(250, 240, 75, 25));
  Default->SetDefault(true);
  Default->SetCancel(true);
  Default->OnClick = TNotifyEvent([this](TObject*) { Log.append("default button"); });
  Combo->SetItemIndex(1);
  showFocused();

  test::Key(VK_DOWN, {ssAlt});
  ASSERT_TRUE(Combo->DroppedDown());
  test::Key(VK_DOWN);
  test::Key(VK_DOWN);
  EXPECT_EQ(Combo->DropDownList()->ItemIndex(), 3);
  EXPECT_EQ(Combo->Text(), "Beta") << "moving in the open list chooses nothing yet";
  test::Key(VK_ESCAPE);
  EXPECT_FALSE(Combo->DroppedDown());
  EXPECT_EQ(Combo->ItemIndex(), 1);
  EXPECT_EQ(Combo->DropDownList()->ItemIndex(), 1);
  EXPECT_EQ(Log, QStringList({"dropdown", "closeup"})) << "Esc is the list's, not the Cancel button's";

  Log.clear();
  test::Key(VK_F4);
  ASSERT_TRUE(Combo->DroppedDown());
  test::Key(VK_END);
  test::Key(VK_RETURN);
  EXPECT_FALSE(Combo->DroppedDown());
  EXPECT_EQ(Combo->ItemIndex(), 3);
  EXPECT_EQ(Log, QStringList({"dropdown", "closeup"}) + chosen("Delta"))
      << "Enter is the list's, not the Default button's";
}

TEST_F(ComboBoxTest, ListStyleChoosesTheItemATypedCharacterStartsClosedOrOpen) {
  Combo->Items()->SetCommaText("Alpha,Beta,Gamma,Delta,gate");
  Combo->SetStyle(csDropDownList);
  showFocused();
  test::Type("g");
  EXPECT_EQ(Combo->ItemIndex(), 2);
  test::Type("G");
  EXPECT_EQ(Combo->ItemIndex(), 4);
  test::Type("g");
  EXPECT_EQ(Combo->ItemIndex(), 2) << "wrapped round";
  test::Type("x");
  EXPECT_EQ(Combo->ItemIndex(), 2);
  EXPECT_EQ(Log, chosen("Gamma") + chosen("gate") + chosen("Gamma")) << "no event for no match";

  // Open, the character moves the list's selection as Up/Down do.
  test::Key(VK_F4);
  ASSERT_TRUE(Combo->DroppedDown());
  Log.clear();
  test::Type("a");
  EXPECT_EQ(Combo->DropDownList()->ItemIndex(), 0);
  EXPECT_EQ(Combo->Text(), "Gamma") << "nothing chosen yet";
  EXPECT_TRUE(Log.isEmpty()) << Log.join(", ").toStdString();
  test::Key(VK_RETURN);
  EXPECT_EQ(Combo->ItemIndex(), 0);
  EXPECT_EQ(Log, QStringList({"closeup"}) + chosen("Alpha"));

  // The editable style types into its text.
  Combo->SetStyle(csDropDown);
  Combo->SetText("");
  Log.clear();
  test::Type("d");
  EXPECT_EQ(Combo->Text(), "d");
  EXPECT_EQ(Combo->ItemIndex(), -1);
  EXPECT_EQ(Log, QStringList({"change d"}));
}

TEST_F(ComboBoxTest, OpenListTakesTheControlsColour) {
  Combo->SetStyle(csDropDownList);
  Combo->SetColor(clYellow);
  Form->Show();
  Combo->SetDroppedDown(true);
  TCustomListBox* L = Combo->DropDownList();
  const Integer H = L->ItemHeight();
  const TRect Row0 = Bounds(1, 1, L->ClientWidth(), H);
  auto Image = test::Snapshot(L);
  EXPECT_GT(CountPixels(Image.get(), Row0, ColorToRGB(clYellow)), Row0.Width() * H / 2);
  Combo->SetDroppedDown(false);
  Combo->SetColor(clAqua);
  Combo->SetDroppedDown(true);
  Image = test::Snapshot(L);
  EXPECT_GT(CountPixels(Image.get(), Row0, ColorToRGB(clAqua)), Row0.Width() * H / 2);
}

TEST_F(ComboBoxTest, ClosedEnterGoesToTheFormThenToOnKeyDown) {
  auto* Default = make<TButton>(Bounds(250, 240, 75, 25));
  Default->OnClick = TNotifyEvent([this](TObject*) { Log.append("default button"); });
  Combo->OnKeyDown =
      TKeyEvent([this](TObject*, Word& Key, TShiftState) { Log.append("key " + QString::number(Key)); });
  for (TComboBoxStyle Style : {csDropDown, csDropDownList}) {
    SCOPED_TRACE(Style);
    Combo->SetStyle(Style);
    Default->SetDefault(true);
    showFocused();
    test::Key(VK_RETURN);
    EXPECT_EQ(Log, QStringList({"default button"}));
    Default->SetDefault(false);
    Log.clear();
    test::Key(VK_RETURN);
    EXPECT_EQ(Log, QStringList({"key 13"}));
  }
  // OnKeyDown can take a key from the combo box.
  Combo->OnKeyDown = TKeyEvent([](TObject*, Word& Key, TShiftState) { Key = 0; });
  test::Key(VK_DOWN, {ssAlt});
  test::Key(VK_DOWN);
  EXPECT_FALSE(Combo->DroppedDown());
  EXPECT_EQ(Combo->ItemIndex(), -1);
}

TEST_F(ComboBoxTest, ListClosesWithoutChoosing) {
  struct Case {
    const char* Name;
    std::function<void(ComboBoxTest&)> Close;
  };
  const Case Cases[] = {
      {"Esc", [](ComboBoxTest&) { test::Key(VK_ESCAPE); }},
      {"F4 again", [](ComboBoxTest&) { test::Key(VK_F4); }},
      {"Alt+Up", [](ComboBoxTest&) { test::Key(VK_UP, {ssAlt}); }},
      {"the button again", [](ComboBoxTest& T) { test::Click(T.Combo, T.buttonPoint()); }},
      {"a click elsewhere", [](ComboBoxTest& T) { test::Click(T.Other, {5, 5}); }},
      {"the focus leaves", [](ComboBoxTest& T) { T.Other->SetFocus(); }},
      {"the application deactivates", [](ComboBoxTest&) { ActivateWindow(nullptr); }},
      {"the property", [](ComboBoxTest& T) { T.Combo->SetDroppedDown(false); }},
  };
  Combo->SetItemIndex(0);
  Form->Show();
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Form->Show();
    Combo->SetFocus();
    Log.clear();
    test::Click(Combo, buttonPoint());
    ASSERT_TRUE(Combo->DroppedDown());
    test::Key(VK_DOWN);
    C.Close(*this);
    EXPECT_FALSE(Combo->DroppedDown());
    EXPECT_FALSE(Combo->DropDownList()->Visible());
    EXPECT_EQ(Combo->ItemIndex(), 0);
    EXPECT_EQ(Combo->Text(), "Alpha");
    EXPECT_EQ(Log, QStringList({"dropdown", "closeup"}));
  }
}

TEST_F(ComboBoxTest, LongListScrollsTheChosenItemIntoView) {
  Combo->SetStyle(csDropDownList);
  for (int I = 0; I < 16; ++I) Combo->Items()->Add("more " + QString::number(I));
  Combo->SetDropDownCount(5);
  Combo->SetItemIndex(12);
  showFocused();
  Combo->SetDroppedDown(true);
  TCustomListBox* L = Combo->DropDownList();
  EXPECT_EQ(L->ClientHeight(), 5 * L->ItemHeight());
  EXPECT_EQ(L->TopIndex(), 8) << "item 12 on the last row";
  // The list's scroll bar works while the list holds the capture, and the
  // list stays open.
  ASSERT_TRUE(GetWindowLong(L->Handle(), GWL_STYLE) & WS_VSCROLL);
  test::Click(L, {L->ClientWidth() + 8, 3});
  EXPECT_EQ(L->TopIndex(), 7);
  EXPECT_TRUE(Combo->DroppedDown());
  EXPECT_EQ(GetCapture(), L->Handle()) << "the bar left the capture with the list";
  // The wheel goes to the focused combo box, which hands it to the list.
  test::Wheel(Combo, {5, 5}, -120);
  EXPECT_EQ(L->TopIndex(), 10);
  test::Wheel(Combo, {5, 5}, 120);
  EXPECT_EQ(L->TopIndex(), 7);
  EXPECT_EQ(Combo->ItemIndex(), 12);
  test::Click(L, listRow(0));
  EXPECT_EQ(Combo->ItemIndex(), 7);
  EXPECT_FALSE(Combo->DroppedDown());
}

TEST_F(ComboBoxTest, FacePaintsTheChosenItemHighlightedWhileFocused) {
  Combo->SetStyle(csDropDownList);
  Combo->Items()->Add("");  // chosen, it shows the highlight alone
  Combo->SetItemIndex(4);
  Form->Show();
  auto Image = test::Snapshot(Combo);
  const TRect Text = Rect(4, 4, Combo->Width() - 2 - GetSystemMetrics(SM_CXVSCROLL) - 2, Combo->Height() - 4);
  EXPECT_EQ(CountPixels(Image.get(), Text, ColorToRGB(clWindow)), Text.Width() * Text.Height());
  // The button: a raised face with the arrow in clBtnText.
  const TRect Button = Rect(Combo->Width() - 2 - GetSystemMetrics(SM_CXVSCROLL), 2, Combo->Width() - 2,
                            Combo->Height() - 2);
  EXPECT_GT(CountPixels(Image.get(), Button, ColorToRGB(clBtnFace)), Button.Width() * Button.Height() / 3);
  EXPECT_GT(CountPixels(Image.get(), Button, ColorToRGB(clBtnText)), 5);

  Combo->SetFocus();
  Image = test::Snapshot(Combo);
  EXPECT_EQ(CountPixels(Image.get(), Text, ColorToRGB(clHighlight)), Text.Width() * Text.Height());

  // The open list shows the chosen row in the highlight colours.
  Combo->SetItemIndex(1);
  Combo->SetDroppedDown(true);
  TCustomListBox* L = Combo->DropDownList();
  auto ListImage = test::Snapshot(L);
  const Integer H = L->ItemHeight();
  const TRect Row1 = Bounds(1, 1 + H, L->ClientWidth(), H);
  EXPECT_GT(CountPixels(ListImage.get(), Row1, ColorToRGB(clHighlight)), Row1.Width() * H / 2);
  EXPECT_GT(CountPixels(ListImage.get(), Row1, ColorToRGB(clHighlightText)), 0);
  const TRect Row0 = Bounds(1, 1, L->ClientWidth(), H);
  EXPECT_EQ(CountPixels(ListImage.get(), Row0, ColorToRGB(clHighlight)), 0);
}

TEST_F(ComboBoxTest, TheEditableTextShowsTheColourAndTheDisabledLook) {
  Combo->SetColor(clYellow);
  Form->Show();
  const TRect Text = Rect(4, 4, Combo->Width() - 2 - GetSystemMetrics(SM_CXVSCROLL) - 2, Combo->Height() - 4);
  auto filled = [&](TColor Color) {
    auto Image = test::Snapshot(Combo);
    return CountPixels(Image.get(), Text, ColorToRGB(Color)) == Text.Width() * Text.Height();
  };
  EXPECT_TRUE(filled(clYellow));
  Combo->SetEnabled(false);
  EXPECT_TRUE(filled(clBtnFace)) << "the face's disabled look";
  Combo->SetEnabled(true);
  Combo->SetStyle(csDropDownList);
  Combo->SetStyle(csDropDown);
  EXPECT_TRUE(filled(clYellow)) << "a new edit takes the colour too";
  Combo->SetColor(clAqua);
  EXPECT_TRUE(filled(clAqua));
}

// The client area shrinks inside the frame when the window is made, and
// again with a new frame: the edit follows and never covers the button.
TEST_F(ComboBoxTest, EditEndsWhereTheButtonBeginsWhateverTheFrame) {
  Form->Show();
  auto* Edit = static_cast<TWinControl*>(Combo->Controls(0));
  for (bool Ctl3D : {true, false, true}) {
    SCOPED_TRACE(Ctl3D ? "Ctl3D" : "flat");
    Combo->SetCtl3D(Ctl3D);
    EXPECT_EQ(Edit->BoundsRect().Right, Combo->ClientWidth() - GetSystemMetrics(SM_CXVSCROLL));
  }
}

TEST_F(ComboBoxTest, HeightFollowsTheRowsAndTheFont) {
  const Integer Rows = Combo->ItemHeight();
  EXPECT_EQ(Combo->Height(), Rows + 8);
  Combo->SetHeight(60);
  EXPECT_EQ(Combo->Height(), Rows + 8);
  Combo->Font()->SetHeight(-24);
  EXPECT_GT(Combo->ItemHeight(), Rows);
  EXPECT_EQ(Combo->Height(), Combo->ItemHeight() + 8);
  EXPECT_EQ(Combo->DropDownList()->ItemHeight(), Combo->ItemHeight());
}

TEST_F(ComboBoxTest, EditGetsTheFocusAndTabPassesThroughInOneStep) {
  auto* Before = new TButton(Form);
  Before->SetParent(Form);
  Before->SetTabOrder(0);
  Combo->SetTabOrder(1);
  Other->SetTabOrder(2);
  Combo->OnEnter = TNotifyEvent([this](TObject*) { Log.append("enter"); });
  Combo->OnExit = TNotifyEvent([this](TObject*) { Log.append("exit"); });
  Form->Show();
  Before->SetFocus();
  test::Key(VK_TAB);
  EXPECT_TRUE(Combo->Focused());
  EXPECT_NE(GetFocus(), Combo->Handle()) << "the inner edit holds it";
  test::Key(VK_TAB);
  EXPECT_TRUE(Other->Focused());
  test::Key(VK_TAB, {ssShift});
  EXPECT_TRUE(Combo->Focused());
  test::Key(VK_TAB, {ssShift});
  EXPECT_TRUE(Before->Focused());
  EXPECT_EQ(GetEnumProp(Combo, "TabStop"), "True");
  // Focused by code or by a click, it hands the focus to its edit.
  Combo->SetFocus();
  EXPECT_NE(GetFocus(), Combo->Handle());
  EXPECT_TRUE(Combo->Focused());
  Other->SetFocus();
  test::Click(Combo, buttonPoint());
  EXPECT_TRUE(Combo->Focused());
  EXPECT_EQ(Log, QStringList({"enter", "exit", "enter", "exit", "enter", "exit", "enter", "dropdown"}));
}

TEST_F(ComboBoxTest, ANewStyleKeepsTheFocusInTheComboBox) {
  showFocused();
  Combo->SetStyle(csDropDownList);
  EXPECT_EQ(GetFocus(), Combo->Handle()) << "the edit went, the focus stays";
  EXPECT_EQ(Form->ActiveControl(), Combo);
  Combo->SetStyle(csDropDown);
  test::Type("ab");
  EXPECT_EQ(Combo->Text(), "ab") << "typed into the new edit";
  EXPECT_EQ(Log, QStringList({"change a", "change ab"}));

  // An inactive form remembers the combo box, not the edit that went.
  Other->SetFocus();
  Combo->SetFocus();
  ActivateWindow(nullptr);
  ASSERT_NE(Form->ActiveControl(), Combo);
  Combo->SetStyle(csDropDownList);
  EXPECT_EQ(Form->ActiveControl(), Combo);
  Form->Activate();
  EXPECT_EQ(GetFocus(), Combo->Handle());
}

TEST_F(ComboBoxTest, LoadingAppliesItemIndexAfterTheItems) {
  // A stored form gives ItemIndex and Text before the items.
  auto* Chosen = new TComboBox(Form);
  auto* Typed = new TComboBox(Form);
  BeginLoading(Form);
  Chosen->SetItemIndex(1);
  Chosen->SetStyle(csDropDownList);
  Chosen->Items()->SetCommaText("a,b,c");
  Typed->SetText(QString::fromUtf8("не менять"));
  Typed->Items()->SetCommaText(QString::fromUtf8("добавить,\"Не менять\""));
  EndLoading(Form);
  EXPECT_EQ(Chosen->ItemIndex(), 1);
  EXPECT_EQ(Chosen->Text(), "b");
  EXPECT_EQ(Typed->Text(), QString::fromUtf8("не менять")) << "the stored text stays as it is";
  EXPECT_EQ(Typed->ItemIndex(), 1) << "and names its item";
  EXPECT_TRUE(Log.isEmpty());
}

TEST_F(ComboBoxTest, FreedWhileOpenClosesQuietly) {
  showFocused();
  Combo->SetDroppedDown(true);
  TCustomListBox* L = Combo->DropDownList();
  ASSERT_EQ(GetCapture(), L->Handle());
  Log.clear();
  Combo->Free();
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_TRUE(Log.isEmpty()) << Log.join(", ").toStdString();
}

TEST_F(ComboBoxTest, ItemsChangedWhileOpenMoveTheChosenItemWithThem) {
  Combo->SetStyle(csDropDownList);
  Combo->SetItemIndex(2);
  showFocused();
  Combo->SetDroppedDown(true);
  Combo->Items()->Delete(0);
  EXPECT_EQ(Combo->ItemIndex(), 1) << "Gamma moved up";
  EXPECT_EQ(Combo->Text(), "Gamma");
  test::Key(VK_ESCAPE);
  EXPECT_EQ(Combo->ItemIndex(), 1);
  EXPECT_EQ(Combo->Text(), "Gamma");

  Combo->SetDroppedDown(true);
  Combo->Items()->Clear();
  EXPECT_EQ(Combo->ItemIndex(), -1);
  EXPECT_EQ(Combo->Text(), "");
  test::Key(VK_ESCAPE);
  EXPECT_EQ(Combo->ItemIndex(), -1);
}

TEST_F(ComboBoxTest, OnCloseUpMayChangeTheItemsBeforeTheChoiceApplies) {
  struct Case {
    const char* Name;
    std::function<void(TStrings*)> Change;
    Integer Index;        // afterwards
    const char* Text;     // csDropDownList's
    const char* EditText; // csDropDown's
    QStringList Events;
  };
  // Gamma is chosen with Enter while Alpha was the item.
  const Case Cases[] = {
      {"an item above goes", [](TStrings* S) { S->Delete(0); }, 1, "Gamma", "Gamma", chosen("Gamma")},
      {"an item comes above", [](TStrings* S) { S->Insert(0, "Zeta"); }, 3, "Gamma", "Gamma", chosen("Gamma")},
      {"the chosen item goes", [](TStrings* S) { S->Delete(2); }, 0, "Alpha", "Alpha", {}},
      {"all go", [](TStrings* S) { S->Clear(); }, -1, "", "Alpha", {}},
  };
  for (TComboBoxStyle Style : {csDropDownList, csDropDown})
    for (const Case& C : Cases) {
      SCOPED_TRACE(C.Name);
      SCOPED_TRACE(Style);
      Combo->SetStyle(Style);
      Combo->Items()->SetCommaText("Alpha,Beta,Gamma,Delta");
      Combo->SetItemIndex(0);
      Combo->OnCloseUp = TNotifyEvent([&](TObject*) { C.Change(Combo->Items()); });
      showFocused();
      Combo->SetDroppedDown(true);
      Log.clear();
      test::Key(VK_DOWN);
      test::Key(VK_DOWN);
      test::Key(VK_RETURN);
      EXPECT_EQ(Combo->ItemIndex(), C.Index);
      EXPECT_EQ(Combo->Text(), Style == csDropDown ? C.EditText : C.Text);
      EXPECT_EQ(Log, C.Events);
    }
}

TEST_F(ComboBoxTest, PublishesItsProperties) {
  EXPECT_EQ(GetEnumProp(Combo, "Style"), "csDropDown");
  EXPECT_EQ(GetOrdProp(Combo, "DropDownCount"), 8);
  EXPECT_EQ(GetOrdProp(Combo, "ItemIndex"), -1);
  EXPECT_EQ(GetObjectProp(Combo, "Items"), Combo->Items());
  EXPECT_TRUE(IsPublishedProp(Combo, "OnSelect"));
  EXPECT_TRUE(IsPublishedProp(Combo, "OnCloseUp"));
  EXPECT_EQ(Combo->DroppedWidth(), Combo->Width());
  Combo->SetDroppedWidth(300);
  EXPECT_EQ(Combo->DroppedWidth(), 300);
}

}  // namespace
