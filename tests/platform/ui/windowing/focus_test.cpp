#include "platform/ui/windowing/focus.h"

#include "platform/rtl/format.h"
#include "platform/ui/windowing/controls.h"
#include "platform/ui/windowing/hwnd.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/uitest.h"
#include "platform/ui/windowing/window.h"
#include "tests/support/testing.h"

using namespace gdi;

namespace {

using TLog = std::vector<String>;

String hexOf(std::uintptr_t V) { return QString::number(qulonglong(V), 16); }

// A focusable box that writes the focus and key traffic it sees to a log.
class TBox : public TCustomControl {
  RTL_CLASS(TBox, TCustomControl)
public:
  TBox(TComponent* AOwner, const String& AName, TLog* ALog) : TCustomControl(AOwner), Log(ALog) {
    SetName(AName);
    SetTabStop(true);
    FControlStyle.Include(csAcceptsControls);
  }

  TLog* Log;
  LRESULT DlgCode = 0;
  bool WantSpecial = false;
  bool EatChildKey = false;  // CM_CHILDKEY answered 1
  bool Default = false;      // takes Enter as a dialog key (a default button)
  int Clicks = 0;
  Word ZeroKey = 0;          // KeyDown zeroes this key

  void WndProc(TMessage& Message) override {
    const String N = Name();
    switch (Message.Msg) {
      case WM_SETFOCUS: Log->push_back(N + " setfocus " + nameOf(HWND(Message.WParam))); break;
      case WM_KILLFOCUS: Log->push_back(N + " killfocus " + nameOf(HWND(Message.WParam))); break;
      case CM_ENTER: Log->push_back(N + " enter"); break;
      case CM_EXIT: Log->push_back(N + " exit"); break;
      case CM_CHILDKEY:
        Log->push_back(N + " childkey");
        if (EatChildKey) {
          Message.Result = 1;
          return;
        }
        break;
      case CM_WANTSPECIALKEY:
        Log->push_back(N + " wantspecial");
        Message.Result = WantSpecial ? 1 : 0;
        return;
      case WM_GETDLGCODE:
        Log->push_back(N + " dlgcode");
        Message.Result = DlgCode;
        return;
      case CM_DIALOGKEY:
        Log->push_back(N + " dialogkey");
        if (Default && Message.WParam == VK_RETURN) {
          ++Clicks;
          Message.Result = 1;
          return;
        }
        break;
      case CM_DIALOGCHAR: Log->push_back(N + " dialogchar"); break;
      case WM_CHAR: Log->push_back(N + " char " + hexOf(Message.WParam)); break;
      case WM_SYSCHAR: Log->push_back(N + " syschar " + hexOf(Message.WParam)); break;
      case WM_SYSKEYDOWN: Log->push_back(N + " syskeydown " + hexOf(Message.WParam)); break;
      default: break;
    }
    TCustomControl::WndProc(Message);
  }

  static String nameOf(HWND Window) {
    TWinControl* C = FindControl(Window);
    return C ? C->Name() : String("0");
  }

protected:
  void KeyDown(Word& Key, TShiftState Shift) override {
    Log->push_back(Name() + " keydown " + hexOf(Key));
    if (Key == ZeroKey) Key = 0;
    TCustomControl::KeyDown(Key, Shift);
  }
  void KeyPress(Char& Key) override {
    Log->push_back(Name() + " keypress " + hexOf(Key.unicode()));
    TCustomControl::KeyPress(Key);
  }
};

// A top-level box acting as a form: it records its active control, may
// refuse the focus, answers shortcuts and previews keys.
class THostBox : public TBox, public IFocusHost {
  RTL_CLASS(THostBox, TBox)
public:
  using TBox::TBox;
  bool Refuse = false;
  bool Preview = false;
  Word ShortCutKey = 0;
  TWinControl* Active = nullptr;

  bool SetFocusedControl(TWinControl* Control) override {
    if (Refuse) return false;
    ChangeFocusedControl(this, Active, Control);
    Active = Control;
    return true;
  }
  void FocusControl(TWinControl* Control) override {
    if (GetActiveWindow() == Handle())
      gdi::SetFocus(Control->Handle());
    else
      Active = Control;
  }
  bool IsShortCut(TWMKey& Message) override {
    Log->push_back("host shortcut");
    return Message.CharCode == ShortCutKey;
  }
  bool KeyPreview() override { return Preview; }
};

class FocusTest : public ::testing::Test {
protected:
  void SetUp() override { test::ResetUi(); }
  void TearDown() override {
    for (TWinControl* R : Roots) R->Free();
    test::ResetUi();
  }

  template <class T = TBox>
  T* root(const String& Name, TRect Bounds = {100, 100, 400, 300}) {
    T* R = new T(nullptr, Name, &Log);
    R->SetBoundsRect(Bounds);
    R->SetParentWindow(GetDesktopWindow());
    Roots.push_back(R);
    return R;
  }
  TBox* box(TWinControl* Parent, const String& Name, TRect Bounds) {
    auto* B = new TBox(Parent, Name, &Log);
    B->SetBoundsRect(Bounds);
    B->SetParent(Parent);
    return B;
  }

  TLog Log;
  std::vector<TWinControl*> Roots;
};

// ---------------------------------------------------------------------------
// focus and activation

TEST_F(FocusTest, FocusMovesWithKillSetThenExitUpAndEnterDown) {
  TBox* R = root("R");
  TBox* P1 = box(R, "P1", Bounds(0, 0, 100, 100));
  TBox* A = box(P1, "A", Bounds(0, 0, 50, 20));
  TBox* P2 = box(R, "P2", Bounds(100, 0, 100, 100));
  TBox* Q2 = box(P2, "Q2", Bounds(0, 0, 100, 100));
  TBox* B = box(Q2, "B", Bounds(0, 0, 50, 20));
  A->SetFocus();
  EXPECT_TRUE(A->Focused());
  EXPECT_EQ(GetActiveWindow(), R->Handle()) << "focusing activates the top level";
  Log.clear();

  B->SetFocus();
  EXPECT_EQ(Log, (TLog{"A killfocus B", "B setfocus A", "A exit", "P1 exit", "P2 enter", "Q2 enter", "B enter"}));
  EXPECT_EQ(FocusedControl(), B);
  EXPECT_FALSE(A->Focused());

  // Within one parent only the two controls change.
  TBox* C = box(Q2, "C", Bounds(0, 30, 50, 20));
  Log.clear();
  C->SetFocus();
  EXPECT_EQ(Log, (TLog{"B killfocus C", "C setfocus B", "B exit", "C enter"}));
}

TEST_F(FocusTest, AHostMayRefuseTheFocusAndOnlyRecordsItWhileInactive) {
  auto* R = root<THostBox>("R");
  TBox* A = box(R, "A", Bounds(0, 0, 50, 20));
  TBox* B = box(R, "B", Bounds(0, 30, 50, 20));
  test::Activate(R);
  A->SetFocus();
  EXPECT_EQ(R->Active, A);
  Log.clear();

  R->Refuse = true;
  B->SetFocus();
  EXPECT_EQ(Log, (TLog{"A killfocus B", "B setfocus A"})) << "no exit or enter";
  EXPECT_EQ(R->Active, A);

  // Inactive: the host only records the control.
  R->Refuse = false;
  auto* Other = root("O", {500, 100, 600, 200});
  test::Activate(Other);
  Log.clear();
  B->SetFocus();
  EXPECT_EQ(R->Active, B);
  EXPECT_EQ(GetActiveWindow(), Other->Handle());
}

TEST_F(FocusTest, SetFocusRefusesHiddenAndDisabledControls) {
  TBox* R = root("R");
  TBox* P = box(R, "P", Bounds(0, 0, 100, 100));
  TBox* A = box(P, "A", Bounds(0, 0, 50, 20));
  P->SetEnabled(false);
  EXPECT_FALSE(A->CanFocus());
  EXPECT_RAISES(A->SetFocus(), EInvalidOperation, "Cannot focus a disabled or invisible window");
  P->SetEnabled(true);
  A->SetVisible(false);
  EXPECT_RAISES(A->SetFocus(), EInvalidOperation, "Cannot focus a disabled or invisible window");
  A->SetVisible(true);
  EXPECT_TRUE(A->CanFocus());
}

TEST_F(FocusTest, ActivationSendsActivateMessagesAndBringsTheFocusBack) {
  TBox* R1 = root("R1");
  TBox* A = box(R1, "A", Bounds(0, 0, 50, 20));
  TBox* R2 = root("R2", {500, 100, 700, 300});
  TBox* B = box(R2, "B", Bounds(0, 0, 50, 20));
  A->SetFocus();
  std::vector<std::pair<String, WPARAM>> Activations;
  auto spy = [&](TBox* Box) {
    Box->WindowProc = [&, Box](TMessage& M) {
      if (M.Msg == WM_ACTIVATE) Activations.push_back({Box->Name() + " from " + TBox::nameOf(HWND(M.LParam)), M.WParam});
      Box->WndProc(M);
    };
  };
  spy(R1);
  spy(R2);

  test::Activate(R2);
  EXPECT_EQ(Activations, (std::vector<std::pair<String, WPARAM>>{{"R1 from R2", WA_INACTIVE}, {"R2 from R1", WA_ACTIVE}}));
  EXPECT_EQ(GetFocus(), R2->Handle()) << "nothing was focused in R2 yet";
  test::Activate(R1);
  EXPECT_EQ(GetFocus(), A->Handle()) << "the window focused there last";

  // A click activates before the press is dispatched.
  Activations.clear();
  std::vector<String> Order;
  B->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { Order.push_back("down"); };
  R2->WindowProc = [&](TMessage& M) {
    if (M.Msg == WM_ACTIVATE) Order.push_back("activate " + QString::number(M.WParam));
    R2->WndProc(M);
  };
  test::Click(B, {5, 5});
  EXPECT_EQ(Order, (std::vector<String>{"activate 2", "down"}));

  // The application deactivating: cancel mode to the focused window, no focus.
  B->SetFocus();
  Log.clear();
  int Cancels = 0;
  B->WindowProc = [&](TMessage& M) {
    if (M.Msg == WM_CANCELMODE) ++Cancels;
    B->WndProc(M);
  };
  ActivateWindow(nullptr);
  EXPECT_EQ(Cancels, 1);
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(Log, (TLog{"B killfocus 0"}));
  for (TBox* Box : {R1, R2, B}) Box->WindowProc = [Box](TMessage& M) { Box->WndProc(M); };  // the spies' logs die here
}

// ---------------------------------------------------------------------------
// key routing

TEST_F(FocusTest, KeysPassTheRoutingStepsInOrder) {
  auto* R = root<THostBox>("R");
  TBox* P = box(R, "P", Bounds(0, 0, 200, 100));
  TBox* C = box(P, "C", Bounds(0, 0, 50, 20));
  R->Preview = true;
  test::Activate(R);
  C->SetFocus();
  ASSERT_TRUE(C->Focused());

  struct Case {
    const char* Name;
    Word Key;
    std::function<void()> Arrange;
    TLog Expected;
  };
  const std::vector<Case> Cases = {
      {"Enter unclaimed", VK_RETURN, [] {},
       {"host shortcut", "C childkey", "P childkey", "R childkey", "C wantspecial", "C dlgcode", "R dialogkey",
        "P dialogkey", "C dialogkey", "R keydown d", "C keydown d", "C dlgcode", "R dialogchar", "P dialogchar",
        "C dialogchar", "C char d", "R keypress d", "C keypress d"}},
      {"letter, control wants characters", 'A', [C] { C->DlgCode = DLGC_WANTCHARS; },
       {"host shortcut", "C childkey", "P childkey", "R childkey", "R keydown 41", "C keydown 41", "C dlgcode",
        "C char 61", "R keypress 61", "C keypress 61"}},
      {"shortcut takes it, no characters", 'A', [R] { R->ShortCutKey = 'A'; }, {"host shortcut"}},
      {"parent eats the child key", 'A', [P] { P->EatChildKey = true; },
       {"host shortcut", "C childkey", "P childkey"}},
      {"special key claimed", VK_RETURN, [C] { C->WantSpecial = true; },
       {"host shortcut", "C childkey", "P childkey", "R childkey", "C wantspecial", "R keydown d", "C keydown d",
        "C dlgcode", "R dialogchar", "P dialogchar", "C dialogchar", "C char d", "R keypress d", "C keypress d"}},
      {"DLGC answer claims it", VK_RETURN, [C] { C->DlgCode = DLGC_WANTALLKEYS | DLGC_WANTCHARS; },
       {"host shortcut", "C childkey", "P childkey", "R childkey", "C wantspecial", "C dlgcode", "R keydown d",
        "C keydown d", "C dlgcode", "C char d", "R keypress d", "C keypress d"}},
      {"preview zeroes the key", 'A', [R, C] { R->ZeroKey = 'A'; C->DlgCode = DLGC_WANTCHARS; },
       {"host shortcut", "C childkey", "P childkey", "R childkey", "R keydown 41", "C dlgcode", "C char 61",
        "R keypress 61", "C keypress 61"}},
  };
  for (const Case& K : Cases) {
    SCOPED_TRACE(K.Name);
    R->ShortCutKey = 0;
    R->ZeroKey = 0;
    P->EatChildKey = false;
    C->WantSpecial = false;
    C->DlgCode = 0;
    K.Arrange();
    Log.clear();
    test::Key(K.Key);
    EXPECT_EQ(Log, K.Expected);
  }
}

TEST_F(FocusTest, EnterClicksTheDefaultButtonUnlessTheControlClaimsIt) {
  TBox* R = root("R");
  TBox* E = box(R, "E", Bounds(0, 0, 50, 20));
  TBox* Ok = box(R, "Ok", Bounds(0, 30, 50, 20));
  Ok->Default = true;
  E->SetFocus();
  test::Key(VK_RETURN);
  EXPECT_EQ(Ok->Clicks, 1);
  E->WantSpecial = true;
  test::Key(VK_RETURN);
  EXPECT_EQ(Ok->Clicks, 1);
}

TEST_F(FocusTest, TabSkipsWhatCannotTakeTheFocusAndWraps) {
  TBox* R = root("R");
  TBox* A = box(R, "A", Bounds(0, 0, 50, 20));
  TBox* B = box(R, "B", Bounds(0, 30, 50, 20));
  TBox* C = box(R, "C", Bounds(0, 60, 50, 20));
  TBox* D = box(R, "D", Bounds(0, 90, 50, 20));
  TBox* P = box(R, "P", Bounds(100, 0, 100, 100));
  TBox* E = box(P, "E", Bounds(0, 0, 50, 20));
  B->SetEnabled(false);
  C->SetVisible(false);
  D->SetTabStop(false);
  P->SetTabStop(false);  // a container without a stop of its own

  struct Case {
    const char* Name;
    TShiftState Shift;
    TWinControl* Expected;
  };
  A->SetFocus();
  const Case Cases[] = {
      {"forward over B, C, D and P into P", {}, E},
      {"wraps to the start", {}, A},
      {"back wraps to the end", {ssShift}, E},
      {"back again", {ssShift}, A},
  };
  for (const Case& K : Cases) {
    SCOPED_TRACE(K.Name);
    test::Key(VK_TAB, K.Shift);
    EXPECT_EQ(FocusedControl(), K.Expected);
  }
  // The tab order decides, not the creation order.
  E->SetParent(R);
  E->SetTabOrder(0);
  A->SetFocus();
  test::Key(VK_TAB);
  EXPECT_EQ(FocusedControl(), E);
  EXPECT_EQ(R->FindNextControl(E, true, true, false), A);
  EXPECT_EQ(R->FindNextControl(E, false, true, false), A);
}

TEST_F(FocusTest, ArrowsMoveAmongSiblingsWithoutTabStops) {
  TBox* R = root("R");
  TBox* A = box(R, "A", Bounds(0, 0, 50, 20));
  TBox* B = box(R, "B", Bounds(0, 30, 50, 20));
  B->SetTabStop(false);
  A->SetFocus();
  test::Key(VK_DOWN);
  EXPECT_EQ(FocusedControl(), B);
  test::Key(VK_LEFT);
  EXPECT_EQ(FocusedControl(), A);
  A->DlgCode = DLGC_WANTARROWS;
  test::Key(VK_DOWN);
  EXPECT_EQ(FocusedControl(), A);
}

TEST_F(FocusTest, CharactersFollowTheControlCharacterRules) {
  TBox* R = root("R");
  TBox* E = box(R, "E", Bounds(0, 0, 50, 20));
  E->DlgCode = DLGC_WANTCHARS;
  E->SetFocus();
  struct Case {
    const char* Name;
    std::function<void()> Act;
    TLog Expected;
  };
  const std::vector<Case> Cases = {
      {"Ctrl+V", [] { test::Key('V', {ssCtrl}); }, {"E char 16"}},
      {"Ctrl+X", [] { test::Key('X', {ssCtrl}); }, {"E char 18"}},
      {"Backspace", [] { test::Key(VK_BACK); }, {"E char 8"}},
      {"Alt+X", [] { test::Key('X', {ssAlt}); }, {"E syskeydown 58", "R dialogchar", "E dialogchar", "E syschar 78"}},
      {"Cyrillic commit", [] { test::Type(QString(QChar(0x436))); }, {"E char 436"}},
      {"astral commit", [] { test::Type(QString::fromUcs4(U"\U0001F600")); }, {"E char d83d", "E char de00"}},
  };
  for (const Case& K : Cases) {
    SCOPED_TRACE(K.Name);
    Log.clear();
    K.Act();
    TLog Chars;
    for (const String& L : Log)
      if (L.contains("char") || L.contains("syskeydown")) Chars.push_back(L);
    EXPECT_EQ(Chars, K.Expected);
  }
}

}  // namespace
