#include "platform/ui/buttons.h"

#include "platform/rtl/stringlist.h"
#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/focus.h"
#include "platform/ui/forms.h"
#include "platform/ui/inputrouter.h"
#include "platform/ui/modaltest.h"
#include "platform/ui/msgqueue.h"
#include "platform/ui/uitest.h"
#include "tests/platform/ui/pixelhelpers.h"
#include "tests/support/testing.h"

#include <QAbstractButton>

using namespace gdi;

void PrintTo(const TRect& R, std::ostream* Os) { *Os << "(" << R.Left << "," << R.Top << "," << R.Right << "," << R.Bottom << ")"; }

namespace {

// A control that wants every key, as a memo with WantReturns does.
class TWantsKeys : public TCustomControl {
  RTL_CLASS(TWantsKeys, TCustomControl)
  UI_MESSAGE_MAP
public:
  explicit TWantsKeys(TComponent* AOwner) : TCustomControl(AOwner) { SetTabStop(true); }
  void WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTALLKEYS; }
};

const TMessageMap& TWantsKeys::MessageMap() {
  static const TMessageMap Map(TCustomControl::MessageMap(), {{WM_GETDLGCODE, &TWantsKeys::WMGetDlgCode}});
  return Map;
}

class ButtonsTest : public ::testing::Test {
protected:
  void SetUp() override {
    InitializeForms();
    test::SetFailureReporter([](const String& Message) { ADD_FAILURE() << Message.toStdString(); });
    Form = new TForm(Application);
    Form->SetBounds(100, 100, 400, 300);
    Form->SetCaption("Buttons");
  }
  void TearDown() override {
    test::SetFailureReporter({});
    FinalizeForms();
    test::ResetUi();
  }

  template <class T>
  T* make(TRect Bounds, const String& Caption, TWinControl* Parent = nullptr) {
    auto* C = new T(Form);
    C->SetParent(Parent ? Parent : Form);
    C->SetBoundsRect(Bounds);
    C->SetCaption(Caption);
    return C;
  }
  // OnClick of C appends Name to Log.
  void logClicks(TControl* C, const String& Name) {
    C->OnClick = TNotifyEvent([this, Name](TObject*) { Log.append(Name); });
  }

  TForm* Form = nullptr;
  QStringList Log;
};

TEST_F(ButtonsTest, ClassesPublishTheirDefaults) {
  struct Case {
    TObject* Object;
    const char* Name;
    String Value;
  };
  auto* B = new TButton(Form);
  auto* C = new TCheckBox(Form);
  auto* R = new TRadioButton(Form);
  auto* G = new TRadioGroup(Form);
  const Case Cases[] = {
      {B, "Default", "False"},         {B, "Cancel", "False"},      {B, "TabStop", "True"},
      {C, "Alignment", "taRightJustify"}, {C, "State", "cbUnchecked"}, {C, "Checked", "False"},
      {C, "AllowGrayed", "False"},     {R, "Checked", "False"},     {G, "TabStop", "False"},
  };
  for (const Case& X : Cases) {
    SCOPED_TRACE(X.Name);
    EXPECT_EQ(GetEnumProp(X.Object, X.Name), X.Value);
  }
  EXPECT_EQ(GetOrdProp(B, "ModalResult"), 0);
  EXPECT_EQ(GetOrdProp(G, "ItemIndex"), -1);
  EXPECT_EQ(GetOrdProp(G, "Columns"), 1);
  EXPECT_EQ(GetObjectProp(G, "Items"), G->Items());
  EXPECT_TRUE(IsPublishedProp(B, "OnClick"));
  EXPECT_EQ(B->BoundsRect(), Rect(0, 0, 75, 25));
  EXPECT_EQ(C->BoundsRect(), Rect(0, 0, 97, 17));
  EXPECT_EQ(G->ClassName(), "TRadioGroup");
  EXPECT_TRUE(R->InheritsFrom(TButtonControl::StaticClass()));
}

TEST_F(ButtonsTest, MouseAndSpaceClick) {
  auto* Ok = make<TButton>(Rect(10, 10, 85, 35), "&OK");
  logClicks(Ok, "ok");
  Form->Show();
  test::Click(Ok, {5, 5});
  EXPECT_EQ(Log, QStringList({"ok"}));
  EXPECT_TRUE(Ok->Focused()) << "a click focuses the button";
  // Released outside: no click.
  test::MouseDown(Ok, {5, 5});
  test::MouseUp(Ok, {200, 5});
  EXPECT_EQ(Log.size(), 1);
  // Space clicks on its release.
  test::KeyDown(VK_SPACE);
  EXPECT_EQ(Log.size(), 1);
  test::KeyUp(VK_SPACE);
  EXPECT_EQ(Log, QStringList({"ok", "ok"}));
  // Alt + the accelerator.
  test::Key('O', {ssAlt});
  EXPECT_EQ(Log.size(), 3);
  Ok->SetEnabled(false);
  test::Click(Ok, {5, 5});
  EXPECT_EQ(Log.size(), 3) << "a disabled button gets no input";
}

TEST_F(ButtonsTest, EnterClicksTheDefaultAndEscTheCancelButton) {
  auto* Box = make<TCheckBox>(Rect(10, 10, 100, 30), "Box");
  auto* Memo = make<TWantsKeys>(Rect(10, 40, 100, 80), "");
  auto* Ok = make<TButton>(Rect(10, 100, 85, 125), "OK");
  auto* Cancel = make<TButton>(Rect(100, 100, 175, 125), "Cancel");
  Ok->SetDefault(true);
  Cancel->SetCancel(true);
  logClicks(Ok, "ok");
  logClicks(Cancel, "cancel");
  logClicks(Box, "box");
  Form->Show();
  Box->SetFocus();
  test::Key(VK_RETURN);
  test::Key(VK_ESCAPE);
  EXPECT_EQ(Log, QStringList({"ok", "cancel"}));
  Log.clear();
  // A focused button clicks itself on Enter; the default waits.
  Cancel->SetFocus();
  test::Key(VK_RETURN);
  EXPECT_EQ(Log, QStringList({"cancel"}));
  Log.clear();
  // Focus back on a non-button: the default button is Enter's again.
  Box->SetFocus();
  test::Key(VK_RETURN);
  EXPECT_EQ(Log, QStringList({"ok"}));
  Log.clear();
  // A control that wants Enter and Esc keeps them.
  Memo->SetFocus();
  test::Key(VK_RETURN);
  test::Key(VK_ESCAPE);
  EXPECT_TRUE(Log.isEmpty());
}

TEST_F(ButtonsTest, ModalResultEndsShowModal) {
  auto* Ok = make<TButton>(Rect(10, 100, 85, 125), "OK");
  auto* Plain = make<TButton>(Rect(100, 100, 175, 125), "Apply");
  Ok->SetModalResult(mrOk);
  logClicks(Ok, "ok");
  logClicks(Plain, "plain");
  test::ModalScript Script;
  Script
      .Then([&](TModalRequest& R) {
        test::Click(Plain, {5, 5});
        EXPECT_EQ(R.Form->ModalResult(), mrNone);
        test::Click(Ok, {5, 5});
        EXPECT_EQ(R.Form->ModalResult(), mrOk);
      })
      .Then([&](TModalRequest&) {
        // A click that arrives through the queue ends the loop as well.
        const LPARAM At = MAKELPARAM(5, 5);
        PostMessage(Ok->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At);
        PostMessage(Ok->Handle(), WM_LBUTTONUP, 0, At);
      });
  EXPECT_EQ(Form->ShowModal(), mrOk);
  EXPECT_EQ(Log, QStringList({"plain", "ok"}));
  EXPECT_EQ(Form->ShowModal(), mrOk);
  EXPECT_EQ(Log.size(), 3);
}

TEST_F(ButtonsTest, CheckBoxSettersClickOnlyOnChange) {
  auto* Box = make<TCheckBox>(Rect(10, 10, 100, 30), "Box");
  logClicks(Box, "click");
  Box->SetChecked(true);
  EXPECT_EQ(Log.size(), 1);
  Box->SetChecked(true);
  Box->SetState(cbChecked);
  EXPECT_EQ(Log.size(), 1) << "no change, no click";
  Box->SetState(cbGrayed);
  EXPECT_EQ(Log.size(), 2);
  EXPECT_FALSE(Box->Checked());
  // Toggle's cycle, with and without the grayed stop.
  struct Case {
    bool AllowGrayed;
    TCheckBoxState From, To;
  } Cases[] = {
      {false, cbUnchecked, cbChecked}, {false, cbChecked, cbUnchecked}, {false, cbGrayed, cbChecked},
      {true, cbUnchecked, cbGrayed},   {true, cbGrayed, cbChecked},     {true, cbChecked, cbUnchecked},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(int(C.From) * 10 + C.AllowGrayed);
    Box->SetAllowGrayed(C.AllowGrayed);
    Box->SetState(C.From);
    Box->Toggle();
    EXPECT_EQ(Box->State(), C.To);
  }
  // The user's click toggles, once.
  Form->Show();
  Box->SetAllowGrayed(false);
  Box->SetChecked(false);
  Log.clear();
  test::Click(Box, {3, 3});
  EXPECT_TRUE(Box->Checked());
  test::Key(VK_SPACE);
  EXPECT_FALSE(Box->Checked());
  EXPECT_EQ(Log.size(), 2);
}

TEST_F(ButtonsTest, RadioButtonsExcludeTheirSiblings) {
  auto* Other = make<TGroupBox>(Rect(200, 10, 300, 100), "Other");
  auto* A = make<TRadioButton>(Rect(10, 10, 100, 27), "A");
  auto* B = make<TRadioButton>(Rect(10, 30, 100, 47), "B");
  auto* C = make<TRadioButton>(Rect(10, 50, 100, 67), "C");
  auto* Elsewhere = make<TRadioButton>(Rect(5, 20, 90, 37), "Elsewhere", Other);
  logClicks(A, "A");
  logClicks(B, "B");
  Elsewhere->SetChecked(true);
  A->SetChecked(true);
  B->SetChecked(true);
  EXPECT_FALSE(A->Checked());
  EXPECT_TRUE(B->Checked());
  EXPECT_FALSE(C->Checked());
  EXPECT_TRUE(Elsewhere->Checked()) << "another parent's button stays";
  EXPECT_EQ(Log, QStringList({"A", "B"})) << "unchecking fires nothing";
  B->SetChecked(true);
  EXPECT_EQ(Log.size(), 2);
  Form->Show();
  test::Click(A, {3, 3});
  EXPECT_TRUE(A->Checked());
  EXPECT_FALSE(B->Checked());
  test::Click(A, {3, 3});
  EXPECT_TRUE(A->Checked()) << "a checked radio stays checked";
  EXPECT_EQ(Log, QStringList({"A", "B", "A"}));
}

TEST_F(ButtonsTest, RadioGroupFillsColumnsTopToBottom) {
  auto* G = make<TRadioGroup>(Rect(10, 10, 210, 110), "Start");
  G->Font()->SetHeight(-13);
  G->Items()->Add("one");
  G->Items()->Add("two");
  G->Items()->Add("three");
  G->SetColumns(2);
  TRect Client = G->ClientRect();
  G->AdjustClientRect(Client);
  const int Half = Client.Width() / 2;
  const int Row = Client.Height() / 2;
  const int Top = Client.Top + (Client.Height() % 2) / 2;
  struct Case {
    int Index;
    TRect Bounds;
  } Cases[] = {
      {0, Rect(Client.Left + 6, Top, Client.Left + Half, Top + Row)},
      {1, Rect(Client.Left + 6, Top + Row, Client.Left + Half, Top + 2 * Row)},
      {2, Rect(Client.Left + Half + 6, Top, Client.Left + 2 * Half, Top + Row)},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Index);
    EXPECT_EQ(G->Buttons(C.Index)->BoundsRect(), C.Bounds);
    EXPECT_EQ(G->Buttons(C.Index)->Caption(), G->Items()->Strings(C.Index));
  }
  // One column of three: a third of the height each.
  G->SetColumns(1);
  EXPECT_EQ(G->Buttons(2)->Left(), Client.Left + 6);
  EXPECT_EQ(G->Buttons(2)->Top(), Client.Top + (Client.Height() % 3) / 2 + 2 * (Client.Height() / 3));
}

TEST_F(ButtonsTest, RadioGroupItemIndex) {
  auto* G = make<TRadioGroup>(Rect(10, 10, 210, 110), "Start");
  logClicks(G, "group");
  G->Items()->Add("one");
  G->Items()->Add("two");
  G->Items()->Add("three");
  G->SetItemIndex(1);
  EXPECT_EQ(Log.size(), 1);
  EXPECT_TRUE(G->Buttons(1)->Checked());
  G->SetItemIndex(1);
  EXPECT_EQ(Log.size(), 1) << "same index, no click";
  G->SetItemIndex(7);
  EXPECT_EQ(G->ItemIndex(), 2) << "clamped to the last item";
  EXPECT_FALSE(G->Buttons(1)->Checked());
  G->SetItemIndex(-1);
  EXPECT_EQ(G->ItemIndex(), -1);
  EXPECT_FALSE(G->Buttons(2)->Checked());
  EXPECT_EQ(Log.size(), 3);
  // The user's choice.
  Form->Show();
  test::Click(G->Buttons(0), {3, 3});
  EXPECT_EQ(G->ItemIndex(), 0);
  EXPECT_EQ(Log.size(), 4);
  test::Click(G->Buttons(0), {3, 3});
  EXPECT_EQ(Log.size(), 4);
  // Items going away take the choice with them.
  G->SetItemIndex(2);
  G->Items()->Delete(2);
  EXPECT_EQ(G->ItemIndex(), -1);
  G->SetEnabled(false);
  G->Items()->Add("three again");
  EXPECT_FALSE(G->Buttons(0)->Enabled());
  EXPECT_FALSE(G->Buttons(2)->Enabled()) << "a new button follows the group";
  G->Items()->Clear();
  EXPECT_EQ(G->ControlCount(), 0);
}

TEST_F(ButtonsTest, SnapshotShowsTheQtButton) {
  auto* Box = make<TCheckBox>(Rect(10, 10, 110, 30), "Box");
  auto* Push = make<TButton>(Rect(10, 40, 110, 70), "Push");
  Form->Show();
  auto Unchecked = test::Snapshot(Box);
  Box->SetChecked(true);
  auto Checked = test::Snapshot(Box);
  EXPECT_FALSE(ImagesEqual(Unchecked.get(), Checked.get(), 0)) << "the check mark is drawn";
  auto Image = test::Snapshot(Push);
  const TColor Face = PixelAt(Image.get(), 50, 15);
  EXPECT_LT(CountPixels(Image.get(), Rect(0, 0, 100, 30), Face), 100 * 30) << "frame and caption are drawn";
  Push->SetFocus();
  auto Focused = test::Snapshot(Push);
  EXPECT_FALSE(ImagesEqual(Image.get(), Focused.get(), 0)) << "the focus is shown";
  // Colour and font colour reach the Qt palette at once.
  Box->SetColor(clYellow);
  Box->Font()->SetColor(clRed);
  auto Coloured = test::Snapshot(Box);
  EXPECT_EQ(PixelAt(Coloured.get(), 99, 1), clYellow);
  EXPECT_GT(CountPixels(Coloured.get(), Rect(0, 0, 100, 20), clRed), 0) << "red caption";
}

}  // namespace
