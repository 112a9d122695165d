#include "platform/ui/controls/edits.h"

#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"
#include "platform/ui/controls/buttons.h"
#include "platform/ui/controls/combobox.h"
#include "platform/ui/controls/extctrls.h"
#include "platform/ui/controls/listbox.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/textengine.h"
#include "platform/ui/windowing/beep.h"
#include "platform/ui/windowing/caret.h"
#include "platform/ui/windowing/focus.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/scrollinfo.h"
#include "platform/ui/windowing/window.h"
#include "tests/platform/ui/formfixture.h"
#include "tests/platform/ui/pixelhelpers.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>

using namespace gdi;

namespace {

// With the fixed-metrics text engine and a 10-pixel font every character is
// 5 pixels wide and 12 high; text starts one pixel inside the client area.
constexpr int CharWidth = 5;
constexpr int LineHeight = 12;
constexpr int TextLeft = 1;
constexpr int TextTop = 1;

// The client point on the boundary before character Column of line Line.
TPoint at(int Column, int Line = 0) { return {TextLeft + Column * CharWidth, TextTop + Line * LineHeight + 4}; }

// An edit whose own WM_PASTE puts the clipboard's text in with its line
// breaks as blanks, replacing everything.
class TPastingEdit : public TEdit {
  RTL_CLASS(TPastingEdit, TEdit)
  UI_MESSAGE_MAP
public:
  explicit TPastingEdit(TComponent* AOwner) : TEdit(AOwner) {}
  int Pastes = 0;
  void WMPaste(TMessage&) {
    ++Pastes;
    SetText(Clipboard()->AsText().replace(QStringLiteral("\r\n"), QStringLiteral(" ")));
  }
};

const TMessageMap& TPastingEdit::MessageMap() {
  static const TMessageMap Map(TEdit::MessageMap(), {{WM_PASTE, &TPastingEdit::WMPaste}});
  return Map;
}

// An edit that counts the questions EditCanModify gets and answers Allow.
class TGuardedEdit : public TEdit {
  RTL_CLASS(TGuardedEdit, TEdit)
public:
  explicit TGuardedEdit(TComponent* AOwner) : TEdit(AOwner) {}
  bool Allow = true;
  int Asked = 0;

protected:
  bool EditCanModify() override {
    ++Asked;
    return Allow;
  }
};

// A single-line edit class asking for a multi-line window, as a grid's
// cell editor does.
class TMultiLineEdit : public TCustomEdit {
  RTL_CLASS(TMultiLineEdit, TCustomEdit)
public:
  explicit TMultiLineEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

protected:
  void CreateParams(TCreateParams& Params) override {
    TCustomEdit::CreateParams(Params);
    Params.Style |= ES_MULTILINE;
  }
};

// A panel that records the WM_COMMAND notices its children send, with the
// number of Change calls made before each, then hands them on (Forward) or
// swallows them.
class TCommandPanel : public TPanel {
  RTL_CLASS(TCommandPanel, TPanel)
  UI_MESSAGE_MAP
public:
  explicit TCommandPanel(TComponent* AOwner) : TPanel(AOwner) {}
  struct TNotice {
    Word Id, Code;
    HWND From;
    int ChangesBefore;
  };
  std::vector<TNotice> Notices;
  const int* Changes = nullptr;
  bool Forward = true;
  void WMCommand(TWMCommand& Message) {
    Notices.push_back({Message.ItemID, Message.NotifyCode, Message.Ctl, *Changes});
    if (Forward) DispatchAs<TPanel>(Message);
  }
};

const TMessageMap& TCommandPanel::MessageMap() {
  static const TMessageMap Map(TPanel::MessageMap(), {{WM_COMMAND, &TCommandPanel::WMCommand}});
  return Map;
}

// A memo with its own Clear, which its Lines' Clear reaches.
class TClearingMemo : public TMemo {
  RTL_CLASS(TClearingMemo, TMemo)
public:
  explicit TClearingMemo(TComponent* AOwner) : TMemo(AOwner) {}
  int Clears = 0;
  void Clear() override {
    ++Clears;
    TMemo::Clear();
  }
};

class EditsTest : public FormFixture {
protected:
  EditsTest() : FormFixture(MemoryClipboard) {}
  void SetUp() override {
    SetTextEngine(TTextEngine::FixedMetrics);
    FormFixture::SetUp();
    Form->Font()->SetHeight(-10);
    Edit = make<TEdit>(Rect(10, 10, 110, 30));
    Memo = make<TMemo>(Rect(10, 50, 110, 110));
    Edit->OnChange = TNotifyEvent([this](TObject*) { ++Changes; });
    Memo->OnChange = TNotifyEvent([this](TObject*) { ++Changes; });
  }
  void TearDown() override {
    SetMenuResponder({});
    SetTextEngine(TTextEngine::Qt);
    FormFixture::TearDown();
  }

  // C focused on the shown form, with Text and Anchor .. Caret selected.
  void focus(TCustomEdit* C, const String& Text = String(), int Anchor = 0, int Caret = 0) {
    if (!Form->Visible()) Form->Show();
    C->SetFocus();
    C->SetText(Text);
    C->Perform(EM_SETSEL, WPARAM(Anchor), LPARAM(Caret));
    Changes = 0;
  }
  static int firstVisibleLine(TCustomEdit* C) { return int(C->Perform(EM_GETFIRSTVISIBLELINE, 0, 0)); }

  TEdit* Edit = nullptr;
  TMemo* Memo = nullptr;
  int Changes = 0;
};

TEST_F(EditsTest, ClassesPublishTheirDefaults) {
  struct Case {
    TObject* Object;
    const char* Name;
    String Value;
  } Cases[] = {
      {Edit, "AutoSelect", "True"},      {Edit, "AutoSize", "True"},        {Edit, "BorderStyle", "bsSingle"},
      {Edit, "CharCase", "ecNormal"},    {Edit, "HideSelection", "True"},   {Edit, "ReadOnly", "False"},
      {Edit, "TabStop", "True"},         {Edit, "ParentColor", "False"},    {Memo, "ScrollBars", "ssNone"},
      {Memo, "WordWrap", "True"},        {Memo, "WantReturns", "True"},     {Memo, "WantTabs", "False"},
      {Memo, "Alignment", "taLeftJustify"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(GetEnumProp(C.Object, C.Name), C.Value);
  }
  EXPECT_EQ(GetOrdProp(Edit, "MaxLength"), 0);
  EXPECT_EQ(GetOrdProp(Edit, "PasswordChar"), 0);
  EXPECT_EQ(GetObjectProp(Memo, "Lines"), Memo->Lines());
  EXPECT_EQ(Edit->Color(), clWindow);
  EXPECT_TRUE(IsPublishedProp(Edit, "OnChange"));
  EXPECT_TRUE(Memo->InheritsFrom(TCustomEdit::StaticClass()));
  // Any MaxLength up to 0 means no limit but reads back as set.
  Edit->SetMaxLength(-1);
  EXPECT_EQ(Edit->MaxLength(), -1);
}

TEST_F(EditsTest, TextSetterFiresChangeOnlyForANewTextAndIgnoresMaxLength) {
  focus(Edit);
  Edit->SetMaxLength(4);
  Edit->SetText("123456");
  EXPECT_EQ(Edit->Text(), "123456");
  EXPECT_EQ(Changes, 1);
  EXPECT_FALSE(Edit->Modified());
  Edit->SetText("123456");
  EXPECT_EQ(Changes, 1) << "the same text fires nothing";
  Edit->SetSelStart(99999);
  EXPECT_EQ(Edit->SelStart(), 6);
  EXPECT_EQ(Edit->SelLength(), 0);

  // Typing and pasting respect MaxLength: nothing fits (a beep), then one
  // character.
  test::TBeepRecorder Beeps;
  test::Type("7");
  EXPECT_EQ(Edit->Text(), "123456");
  EXPECT_EQ(Beeps.Count(), 1);
  Edit->SetSel(0, 3);
  test::Type("78");
  EXPECT_EQ(Edit->Text(), "7456");
  EXPECT_EQ(Changes, 1 + 1);
  EXPECT_TRUE(Edit->Modified());
  Clipboard()->SetAsText("xyz");
  Edit->SelectAll();
  Edit->PasteFromClipboard();
  EXPECT_EQ(Edit->Text(), "xyz");
  Edit->SetSelStart(99);
  Edit->PasteFromClipboard();
  EXPECT_EQ(Edit->Text(), "xyzx");
  Edit->SetText("reset");
  EXPECT_FALSE(Edit->Modified()) << "a new text is unmodified";

  // SelText replaces the selection as the program asks, past MaxLength too.
  Changes = 0;
  Edit->SetSel(1, 3);
  Edit->SetSelText("EPLACE");
  EXPECT_EQ(Edit->Text(), "rEPLACEt");
  EXPECT_EQ(Changes, 1);
  Edit->SetSelText("");
  EXPECT_EQ(Changes, 1) << "an empty selection replaced by nothing is no change";
}

TEST_F(EditsTest, CharCaseConvertsInputAndTheSetter) {
  focus(Edit);
  Edit->SetCharCase(ecUpperCase);
  Edit->SetText("abc");
  EXPECT_EQ(Edit->Text(), "ABC");
  Edit->SetSelStart(3);
  test::Type("d");
  Clipboard()->SetAsText("xy");
  test::Key('V', {ssCtrl});
  EXPECT_EQ(Edit->Text(), "ABCDXY");
  Changes = 0;
  Edit->SetCharCase(ecLowerCase);
  EXPECT_EQ(Edit->Text(), "abcdxy");
  EXPECT_EQ(Changes, 1);
  Edit->SetCharCase(ecNormal);
  EXPECT_EQ(Edit->Text(), "abcdxy");
  EXPECT_EQ(Changes, 1);
}

TEST_F(EditsTest, KeysEditAndMoveTheCaret) {
  using TKeys = std::vector<std::pair<Word, TShiftState>>;
  struct Case {
    const char* Name;
    bool InMemo;
    String Text;
    int Anchor, Caret;
    TKeys Keys;
    String Typed;
    String Expected;
    int SelStart, SelLength;
  } Cases[] = {
      {"Backspace deletes before the caret", false, "abc", 3, 3, {{VK_BACK, {}}}, "", "ab", 2, 0},
      {"Delete deletes after the caret", false, "abc", 0, 0, {{VK_DELETE, {}}}, "", "bc", 0, 0},
      {"Backspace takes the selection", false, "abcd", 1, 3, {{VK_BACK, {}}}, "", "ad", 1, 0},
      {"typing replaces the selection", false, "abcd", 1, 3, {}, "x", "axd", 2, 0},
      {"Shift+Left extends", false, "abcd", 2, 2, {{VK_LEFT, {ssShift}}, {VK_LEFT, {ssShift}}}, "", "abcd", 0, 2},
      {"Left collapses a selection to its start", false, "abcd", 1, 3, {{VK_LEFT, {}}}, "", "abcd", 1, 0},
      {"Right collapses a selection to its end", false, "abcd", 3, 1, {{VK_RIGHT, {}}}, "", "abcd", 3, 0},
      {"Shift+End selects to the end", false, "abcd", 1, 1, {{VK_END, {ssShift}}}, "", "abcd", 1, 3},
      {"Home", false, "abcd", 3, 3, {{VK_HOME, {}}}, "", "abcd", 0, 0},
      {"Ctrl+Right moves by words", false, "one two", 0, 0, {{VK_RIGHT, {ssCtrl}}}, "", "one two", 4, 0},
      {"Ctrl+Shift+Left selects a word", false, "one two", 7, 7, {{VK_LEFT, {ssCtrl, ssShift}}}, "", "one two", 4, 3},
      {"Ctrl+Delete deletes to the next word", false, "one two", 0, 0, {{VK_DELETE, {ssCtrl}}}, "", "two", 0, 0},
      {"Up and Down stay in a single line", false, "abc", 1, 1, {{VK_UP, {}}, {VK_DOWN, {}}}, "", "abc", 1, 0},
      {"Enter types nothing in a single line", false, "ab", 1, 1, {{VK_RETURN, {}}}, "", "ab", 1, 0},
      {"Enter types a line break in a memo", true, "ab", 1, 1, {{VK_RETURN, {}}}, "", "a\r\nb", 3, 0},
      {"Backspace joins memo lines", true, "a\r\nb", 3, 3, {{VK_BACK, {}}}, "", "ab", 1, 0},
      {"Delete removes the whole break", true, "a\r\nb", 1, 1, {{VK_DELETE, {}}}, "", "ab", 1, 0},
      {"Right steps over a break", true, "a\r\nb", 1, 1, {{VK_RIGHT, {}}}, "", "a\r\nb", 3, 0},
      {"Down keeps the column", true, "abc\r\nde\r\nfgh", 2, 2, {{VK_DOWN, {}}, {VK_DOWN, {}}}, "", "abc\r\nde\r\nfgh",
       11, 0},
      {"Ctrl+Down is Down", true, "abc\r\nde", 1, 1, {{VK_DOWN, {ssCtrl}}}, "", "abc\r\nde", 6, 0},
      {"Up on the first line keeps the column", true, "abc\r\nde", 1, 1, {{VK_UP, {}}}, "", "abc\r\nde", 1, 0},
      {"End stops at the line's end", true, "ab\r\ncd", 0, 0, {{VK_END, {}}}, "", "ab\r\ncd", 2, 0},
      {"Ctrl+End goes to the text's end", true, "ab\r\ncd", 0, 0, {{VK_END, {ssCtrl}}}, "", "ab\r\ncd", 6, 0},
      {"Shift+Home selects back to the line's start", true, "ab\r\ncd", 6, 6, {{VK_HOME, {ssShift}}}, "", "ab\r\ncd",
       4, 2},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TCustomEdit* Target = C.InMemo ? static_cast<TCustomEdit*>(Memo) : Edit;
    focus(Target, C.Text, C.Anchor, C.Caret);
    for (const auto& [Key, Shift] : C.Keys) test::Key(Key, Shift);
    test::Type(C.Typed);
    EXPECT_EQ(Target->Text(), C.Expected);
    EXPECT_EQ(Target->SelStart(), C.SelStart);
    EXPECT_EQ(Target->SelLength(), C.SelLength);
    EXPECT_EQ(Changes, C.Expected == C.Text ? 0 : 1);
  }
}

TEST_F(EditsTest, ClipboardKeysMenuAndMethodsAllArriveAsMessages) {
  auto* E = make<TPastingEdit>(Rect(10, 150, 110, 170));
  focus(E);
  Clipboard()->SetAsText("line1\r\nline2");
  test::Key('V', {ssCtrl});
  test::Key(VK_INSERT, {ssShift});
  E->PasteFromClipboard();
  SetMenuResponder([](const TMenuRequest& R) { return R.Menu->Items()->Find("Paste"); });
  test::Click(E, {5, 5}, mbRight);
  EXPECT_EQ(E->Pastes, 4);
  EXPECT_EQ(E->Text(), "line1 line2");

  // The plain edit's own handling of the other keys.
  focus(Edit, "hello", 1, 3);
  test::Key('C', {ssCtrl});
  EXPECT_EQ(Clipboard()->AsText(), "el");
  test::Key('X', {ssCtrl});
  EXPECT_EQ(Edit->Text(), "hlo");
  test::Key('Z', {ssCtrl});
  EXPECT_EQ(Edit->Text(), "hello") << "Ctrl+Z undoes";
  EXPECT_EQ(Edit->SelText(), "el");
  EXPECT_TRUE(Edit->CanUndo()) << "and can redo";
  Edit->SetSel(0, 1);
  test::Key(VK_INSERT, {ssCtrl});
  EXPECT_EQ(Clipboard()->AsText(), "h");
  test::Key(VK_DELETE, {ssShift});
  EXPECT_EQ(Edit->Text(), "ello");
  Edit->SetSel(0, 2);
  Edit->ClearSelection();
  EXPECT_EQ(Edit->Text(), "lo");
  Edit->Undo();
  EXPECT_EQ(Edit->Text(), "ello");
  Edit->ClearUndo();
  EXPECT_FALSE(Edit->CanUndo());
  // A single line pastes the clipboard's first line only.
  Clipboard()->SetAsText("one\r\ntwo");
  Edit->SelectAll();
  Edit->PasteFromClipboard();
  EXPECT_EQ(Edit->Text(), "one");
  Memo->SetText("");
  Memo->PasteFromClipboard();
  EXPECT_EQ(Memo->Text(), "one\r\ntwo");
  // A clipboard without text pastes nothing: the selection stays.
  Clipboard()->Clear();
  for (TCustomEdit* C : {static_cast<TCustomEdit*>(Edit), static_cast<TCustomEdit*>(Memo)}) {
    C->SelectAll();
    Changes = 0;
    C->PasteFromClipboard();
    test::Key('V', {ssCtrl});
    EXPECT_EQ(C->SelLength(), C->Buffer().Length());
    EXPECT_FALSE(C->Buffer().Text().isEmpty());
    EXPECT_EQ(Changes, 0);
  }
}

TEST_F(EditsTest, ContextMenuItemsFollowTheStateAndSendTheMessages) {
  QStringList Enabled;
  TMenuItem* Pick = nullptr;
  String PickCaption;
  SetMenuResponder([&](const TMenuRequest& R) {
    Enabled.clear();
    for (Integer I = 0; I < R.Menu->Items()->Count(); ++I) {
      TMenuItem* Item = R.Menu->Items()->Items(I);
      if (!Item->IsLine() && Item->Enabled()) Enabled.append(Item->Caption());
    }
    Pick = PickCaption.isEmpty() ? nullptr : R.Menu->Items()->Find(PickCaption);
    return Pick;
  });
  focus(Edit, "hello", 0, 0);
  Clipboard()->Clear();
  test::Click(Edit, at(5), mbRight);
  EXPECT_EQ(Enabled, QStringList({"Select &All"})) << "nothing selected, nothing to paste or undo";

  Edit->SetSel(1, 2);
  Clipboard()->SetAsText("x");
  PickCaption = "Cut";
  test::Click(Edit, at(5), mbRight);
  EXPECT_EQ(Enabled, QStringList({"Cu&t", "&Copy", "&Paste", "&Delete", "Select &All"}));
  EXPECT_EQ(Edit->Text(), "hlo");
  EXPECT_EQ(Clipboard()->AsText(), "el");
  PickCaption = "Undo";
  test::Click(Edit, at(5), mbRight);
  EXPECT_TRUE(Enabled.contains("&Undo"));
  EXPECT_EQ(Edit->Text(), "hello");
  PickCaption = "Select All";
  test::Click(Edit, at(5), mbRight);
  EXPECT_EQ(Edit->SelLength(), 5);

  // Read-only: only copying and selecting; a password: no copying.
  Edit->SetReadOnly(true);
  PickCaption.clear();
  test::Click(Edit, at(5), mbRight);
  EXPECT_EQ(Enabled, QStringList({"&Copy"}));
  Edit->SetReadOnly(false);
  Edit->SetPasswordChar(u'*');
  test::Click(Edit, at(5), mbRight);
  EXPECT_FALSE(Enabled.contains("&Copy"));
  EXPECT_FALSE(Enabled.contains("Cu&t"));

  // A PopupMenu of the control's own replaces ours.
  auto* Own = new TPopupMenu(Form);
  auto* Item = new TMenuItem(Own);
  Item->SetCaption("Mine");
  Own->Items()->Add(Item);
  Edit->SetPopupMenu(Own);
  test::Click(Edit, at(5), mbRight);
  EXPECT_EQ(Enabled, QStringList({"Mine"}));
}

TEST_F(EditsTest, KeyEventsComeFirstAndCanSwallowOrReplace) {
  focus(Memo, "a\r\nb", 0, 0);
  Memo->OnKeyDown = TKeyEvent([](TObject*, Word& Key, TShiftState) {
    if (Key == VK_DOWN) Key = 0;
  });
  test::Key(VK_DOWN);
  EXPECT_EQ(Memo->SelStart(), 0) << "a swallowed Down moves nothing";
  test::Key(VK_RIGHT);
  EXPECT_EQ(Memo->SelStart(), 1);

  focus(Edit, "", 0, 0);
  Edit->OnKeyPress = TKeyPressEvent([](TObject*, Char& Key) {
    if (Key == u'a') Key = u'B';
    if (Key == u'x') Key = Char(0);
  });
  test::Type("axc");
  EXPECT_EQ(Edit->Text(), "Bc");
  // Input-method text arrives as characters through the same path.
  test::Type(QStringLiteral("ж!a"));
  EXPECT_EQ(Edit->Text(), QStringLiteral("Bcж!B"));
  RouteCommit(Edit->Handle(), QString::fromUcs4(U"\U0001F600"));
  ProcessMessages();
  EXPECT_EQ(Edit->Text(), QStringLiteral("Bcж!B") + QString::fromUcs4(U"\U0001F600"));
  EXPECT_EQ(Edit->SelStart(), Edit->Text().size());
}

TEST_F(EditsTest, EditCanModifyAndReadOnlyDropEveryModification) {
  auto* E = make<TGuardedEdit>(Rect(10, 150, 110, 170));
  focus(E, "hello", 5, 5);
  test::Type("x");  // an undo step to refuse later
  E->Allow = false;
  Clipboard()->SetAsText("zz");
  const std::pair<const char*, std::function<void()>> Actions[] = {
      {"typing", [] { test::Type("q"); }},
      {"Backspace", [] { test::Key(VK_BACK); }},
      {"Delete", [] { test::Key(VK_DELETE); }},
      {"Ctrl+V", [] { test::Key('V', {ssCtrl}); }},
      {"Ctrl+X", [] { test::Key('X', {ssCtrl}); }},
      {"Ctrl+Z", [] { test::Key('Z', {ssCtrl}); }},
      {"WM_CLEAR", [E] { E->ClearSelection(); }},
      {"Shift+Del", [] { test::Key(VK_DELETE, {ssShift}); }},
  };
  for (const auto& [Name, Act] : Actions) {
    SCOPED_TRACE(Name);
    E->SetSel(1, 2);
    E->Asked = 0;
    Act();
    EXPECT_EQ(E->Text(), "hellox");
    EXPECT_EQ(E->Asked, 1) << "asked once per modification";
  }
  // Selection and copying stay.
  test::Key('C', {ssCtrl});
  EXPECT_EQ(Clipboard()->AsText(), "el");
  test::Key(VK_RIGHT, {ssShift});
  EXPECT_EQ(E->SelLength(), 3);

  // ReadOnly refuses before asking, and leaves the program's changes alone.
  E->Allow = true;
  E->SetReadOnly(true);
  E->Asked = 0;
  for (const auto& [Name, Act] : Actions) {
    SCOPED_TRACE(Name);
    E->SetSel(1, 2);
    Act();
    EXPECT_EQ(E->Text(), "hellox");
  }
  EXPECT_EQ(E->Asked, 0);
  test::Key(VK_INSERT, {ssCtrl});
  EXPECT_EQ(Clipboard()->AsText(), "el");
  E->SetSelText("EL");
  EXPECT_EQ(E->Text(), "hELlox");
}

TEST_F(EditsTest, PasswordCharRefusesCopyAndCut) {
  focus(Edit, "secret", 0, 6);
  Edit->SetPasswordChar(u'*');
  Clipboard()->SetAsText("before");
  Edit->CopyToClipboard();
  Edit->CutToClipboard();
  EXPECT_EQ(Clipboard()->AsText(), "before");
  EXPECT_EQ(Edit->Text(), "secret");
  EXPECT_EQ(Edit->SelText(), "secret") << "the text itself stays readable to the program";
}

TEST_F(EditsTest, MemoTextKeepsCrLfAndPositionsCountItTwice) {
  struct Case {
    String Set, Read;
  } Cases[] = {{"a\nb", "a\r\nb"}, {"a\rb", "a\r\nb"}, {"a\r\nb", "a\r\nb"}, {"a\n\nb\r", "a\r\n\r\nb\r\n"}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Set.toStdString());
    Memo->SetText(C.Set);
    EXPECT_EQ(Memo->Text(), C.Read);
  }
  Memo->SetText("a\r\nbc");
  Memo->SetSelStart(0);
  Memo->SetSelLength(4);
  EXPECT_EQ(Memo->SelStart(), 0);
  EXPECT_EQ(Memo->SelLength(), 4);
  EXPECT_EQ(Memo->SelText(), "a\r\nb");
  EXPECT_EQ(Copy(Memo->Text(), 1, 4), Memo->SelText());
  Memo->SetSelStart(2);
  EXPECT_EQ(Memo->SelStart(), 1) << "never between CR and LF";
  Memo->SetCaretPos({1, 1});
  EXPECT_EQ(Memo->SelStart(), 4);
  EXPECT_EQ(Memo->CaretPos(), (TPoint{1, 1}));
  Memo->SetCaretPos({9, 9});
  EXPECT_EQ(Memo->CaretPos(), (TPoint{2, 1}));
  // A single-line edit keeps what it is given.
  Edit->SetText("a\nb");
  EXPECT_EQ(Edit->Text(), "a\nb");
}

TEST_F(EditsTest, MemoLinesAreTheHardLines) {
  struct CountCase {
    String Text;
    int Count;
  } Counts[] = {{"", 0}, {"a", 1}, {"a\r\n", 1}, {"a\r\nb\r\n", 2}, {"\r\n", 1}, {"a\r\n\r\n", 2}, {"a\r\nb", 2}};
  TStrings* Lines = Memo->Lines();
  for (const CountCase& C : Counts) {
    SCOPED_TRACE(C.Text.toStdString());
    Memo->SetText(C.Text);
    EXPECT_EQ(Lines->Count(), C.Count);
  }

  struct Step {
    const char* Name;
    std::function<void()> Run;
    String Text;
  } Steps[] = {
      {"clear", [&] { Lines->Clear(); }, ""},
      {"add to an empty memo", [&] { Lines->Add("one"); }, "one\r\n"},
      {"add after a final break", [&] { Lines->Add("two"); }, "one\r\ntwo\r\n"},
      {"insert at the top", [&] { Lines->Insert(0, "zero"); }, "zero\r\none\r\ntwo\r\n"},
      {"delete a line with its break", [&] { Lines->Delete(1); }, "zero\r\ntwo\r\n"},
      {"replace a line", [&] { Lines->SetStrings(1, "TWO"); }, "zero\r\nTWO\r\n"},
      {"set the text", [&] { Lines->SetText("a\nb"); }, "a\r\nb"},
      {"add after a last line without a break", [&] { Lines->Add("c"); }, "a\r\nb\r\nc"},
      {"delete the last line", [&] { Lines->Delete(2); }, "a\r\nb\r\n"},
  };
  for (const Step& S : Steps) {
    SCOPED_TRACE(S.Name);
    Changes = 0;
    S.Run();
    EXPECT_EQ(Memo->Text(), S.Text);
    EXPECT_EQ(Lines->Text(), S.Text);
    EXPECT_EQ(Changes, 1);
  }
  EXPECT_EQ(Lines->Strings(1), "b");
  EXPECT_TRUE(Memo->Modified());
  EXPECT_RAISES(Lines->Strings(2), EStringListError, "List index out of bounds (2)");
  EXPECT_RAISES(Lines->Delete(-1), EStringListError, "List index out of bounds (-1)");
  EXPECT_RAISES(Lines->Insert(3, "x"), EStringListError, "List index out of bounds (3)");

  Changes = 0;
  Lines->BeginUpdate();
  for (const char* S : {"x", "y", "z"}) Lines->Add(S);
  Lines->EndUpdate();
  EXPECT_EQ(Memo->Text(), "a\r\nb\r\nx\r\ny\r\nz\r\n");
  EXPECT_EQ(Changes, 3);
  // The view follows the caret once the update ends: the last lines show.
  const LRESULT Top = Memo->Perform(EM_GETFIRSTVISIBLELINE, 0, 0);
  Lines->BeginUpdate();
  for (int I = 0; I < 40; ++I) Lines->Add(QStringLiteral("line %1").arg(I));
  EXPECT_EQ(Memo->Perform(EM_GETFIRSTVISIBLELINE, 0, 0), Top);
  Lines->EndUpdate();
  EXPECT_GT(Memo->Perform(EM_GETFIRSTVISIBLELINE, 0, 0), 30);

  // A memo without parent or window keeps its lines all the same.
  auto* Loose = new TMemo(Form);
  Loose->Lines()->Add("x");
  Loose->Lines()->Add("y");
  EXPECT_EQ(Loose->Text(), "x\r\ny\r\n");
  EXPECT_FALSE(Loose->HandleAllocated());
}

TEST_F(EditsTest, DialogCodesLetTheFormHaveEnterTabAndEsc) {
  struct Case {
    const char* Name;
    TCustomEdit* Control;
    bool WantReturns, WantTabs;
    LRESULT Code;
  } Cases[] = {
      {"edit", Edit, true, false, DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS},
      {"memo", Memo, true, false, DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | DLGC_WANTALLKEYS},
      {"memo with tabs", Memo, true, true,
       DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | DLGC_WANTALLKEYS | DLGC_WANTTAB},
      {"memo without returns", Memo, false, false, DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Memo->SetWantReturns(C.WantReturns);
    Memo->SetWantTabs(C.WantTabs);
    EXPECT_EQ(C.Control->Perform(WM_GETDLGCODE, 0, 0), C.Code);
  }

  auto* Ok = make<TButton>(Rect(200, 10, 275, 35));
  Ok->SetDefault(true);
  int Clicks = 0;
  Ok->OnClick = TNotifyEvent([&](TObject*) { ++Clicks; });
  focus(Edit, "ab", 1, 1);
  test::Key(VK_RETURN);
  EXPECT_EQ(Clicks, 1) << "Enter in an edit clicks the Default button";
  EXPECT_EQ(Edit->Text(), "ab");

  Memo->SetWantReturns(true);
  Memo->SetWantTabs(false);
  focus(Memo);
  test::Key(VK_RETURN);
  EXPECT_EQ(Clicks, 1);
  EXPECT_EQ(Memo->Text(), "\r\n");
  Memo->SetWantReturns(false);
  test::Key(VK_RETURN);
  EXPECT_EQ(Clicks, 2);
  EXPECT_EQ(Memo->Text(), "\r\n");
  test::Key(VK_TAB);
  EXPECT_NE(FocusedControl(), Memo) << "Tab moves on";
  EXPECT_EQ(Memo->Text(), "\r\n");
  Memo->SetWantTabs(true);
  focus(Memo, "ab", 1, 1);
  test::Key(VK_TAB);
  EXPECT_EQ(FocusedControl(), Memo);
  EXPECT_EQ(Memo->Text(), "a\tb");
}

// Entering may change the text (a number shown formatted, edited plain): a
// press places the caret on the text the edit has once it is focused.
TEST_F(EditsTest, APressPlacesTheCaretOnTheTextEnteringShows) {
  Edit->SetAlignment(taRightJustify);
  Edit->SetText("1,234.00");
  Edit->OnEnter = TNotifyEvent([this](TObject*) { Edit->SetText("1234"); });
  Form->Show();
  auto* Other = make<TEdit>(Rect(10, 150, 110, 170));
  Other->SetFocus();
  const int PlainStart = Edit->ClientWidth() - 2 - 4 * CharWidth;
  test::Click(Edit, {PlainStart + 1, at(0).Y});
  ASSERT_EQ(Edit->Text(), "1234");
  EXPECT_EQ(Edit->SelStart(), 0) << "before the first digit";
}

TEST_F(EditsTest, MousePlacesSelectsAndAutoSelectIsForTheKeyboard) {
  Edit->SetText("hello world");
  Form->Show();
  auto* Other = make<TEdit>(Rect(10, 150, 110, 170));
  Other->SetFocus();
  test::Click(Edit, at(2));
  EXPECT_EQ(FocusedControl(), Edit);
  EXPECT_EQ(Edit->SelStart(), 2);
  EXPECT_EQ(Edit->SelLength(), 0) << "a click does not select all";

  // Away from the last press, so that it is no double click.
  test::MouseDown(Edit, at(6));
  test::MouseMove(Edit, at(1));
  test::MouseUp(Edit, at(1));
  EXPECT_EQ(Edit->SelText(), "ello ");
  EXPECT_EQ(Edit->Buffer().Caret(), 1) << "a drag backwards";
  test::MouseMove(Edit, at(3));
  EXPECT_EQ(Edit->SelLength(), 5) << "no selecting after the release";
  test::Click(Edit, at(9), mbLeft, {ssShift});
  EXPECT_EQ(Edit->SelText(), "wor") << "Shift+click extends from the anchor";
  test::Click(Edit, {TextLeft + CharWidth / 2, 5});
  EXPECT_EQ(Edit->SelStart(), 0) << "nearest boundary";

  test::DblClick(Edit, at(8));
  EXPECT_EQ(Edit->SelText(), "world");
  // OnDblClick runs after the edit's own word selection.
  Edit->OnDblClick = TNotifyEvent([this](TObject*) { Edit->SelectAll(); });
  test::DblClick(Edit, at(8));
  EXPECT_EQ(Edit->SelText(), "hello world");

  Edit->SetSelStart(0);
  Other->SetFocus();
  test::Key(VK_TAB);
  EXPECT_EQ(FocusedControl(), Edit);
  EXPECT_EQ(Edit->SelLength(), 11) << "focus by keyboard selects all";
  Edit->SetAutoSelect(false);
  Edit->SetSelStart(0);
  Other->SetFocus();
  test::Key(VK_TAB);
  EXPECT_EQ(Edit->SelLength(), 0);
  // Memos never select all on entry.
  Memo->SetText(String(16, u'a') + " bbbb");
  Memo->SetFocus();
  EXPECT_EQ(Memo->SelLength(), 0);
  // Past the end of a wrapped row the caret stays on that row, before its
  // last blank (the row's end is where the next row starts).
  test::Click(Memo, {90, at(0, 0).Y});
  EXPECT_EQ(Memo->SelStart(), 16);
  test::Click(Memo, {90, at(0, 1).Y});
  EXPECT_EQ(Memo->SelStart(), 21) << "the last row ends at the text's end";
}

TEST_F(EditsTest, PaintsBorderTextSelectionAndCaret) {
  Edit->SetText("abcd");
  Form->Show();
  Memo->SetFocus();
  Edit->SetSel(1, 2);
  // Window pixels: the client area starts 2 pixels in; character i's box is
  // CharWidth - 1 wide, from the text's top.
  const int X0 = 2 + TextLeft, Y0 = 2 + TextTop;
  auto box = [&](int I) { return Bounds(X0 + I * CharWidth, Y0, CharWidth - 1, 10); };
  auto shot = [&] { return test::Snapshot(Edit); };

  auto Unfocused = shot();
  const TColor Ink = ColorToRGB(clWindowText);
  EXPECT_EQ(PixelAt(Unfocused.get(), 0, 0), ColorToRGB(clBtnShadow)) << "sunken client edge";
  EXPECT_EQ(PixelAt(Unfocused.get(), 1, 1), ColorToRGB(cl3DDkShadow));
  EXPECT_EQ(PixelAt(Unfocused.get(), 50, 10), ColorToRGB(clWindow));
  for (int I = 0; I < 4; ++I) EXPECT_EQ(CountPixels(Unfocused.get(), box(I), Ink), 40) << I;
  EXPECT_EQ(CountPixels(Unfocused.get(), Rect(0, 0, 100, 20), ColorToRGB(clHighlight)), 0)
      << "the selection hides without the focus";

  Edit->SetHideSelection(false);
  auto Shown = shot();
  EXPECT_EQ(PixelAt(Shown.get(), box(1).Left, box(1).Top), ColorToRGB(clHighlightText));
  EXPECT_EQ(PixelAt(Shown.get(), box(1).Right, box(1).Top), ColorToRGB(clHighlight)) << "gap between glyphs";
  EXPECT_EQ(PixelAt(Shown.get(), box(3).Right, box(3).Top), ColorToRGB(clWindow));

  Edit->SetHideSelection(true);
  Edit->SetFocus();
  Edit->SetSelStart(4);
  auto Focused = shot();
  const int CaretX = X0 + 4 * CharWidth;
  EXPECT_EQ(CountPixels(Focused.get(), Rect(CaretX, Y0, CaretX + 1, Y0 + LineHeight), Ink), LineHeight)
      << "a steady caret line";

  Edit->SetPasswordChar(u'*');
  auto Password = shot();
  EXPECT_TRUE(ImagesEqual(Focused.get(), Password.get(), 0)) << "one box per character either way";

  Edit->SetEnabled(false);
  auto Disabled = shot();
  EXPECT_EQ(CountPixels(Disabled.get(), box(0), ColorToRGB(clGrayText)), 40);

  // Alignment places a short line in the 94-pixel rectangle, the caret's
  // column kept free at the right.
  Edit->SetPasswordChar(Char(0));
  Edit->SetEnabled(true);
  Memo->SetFocus();
  struct Case {
    TAlignment Alignment;
    int FirstBox;  // window x of the first character
  } Cases[] = {{taLeftJustify, X0}, {taRightJustify, X0 + 93 - 4 * CharWidth}, {taCenter, X0 + (93 - 4 * CharWidth) / 2}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(int(C.Alignment));
    Edit->SetAlignment(C.Alignment);
    auto Aligned = shot();
    EXPECT_EQ(CountPixels(Aligned.get(), Bounds(C.FirstBox, Y0, CharWidth - 1, 10), Ink), 40);
    EXPECT_EQ(CountPixels(Aligned.get(), Rect(0, 0, 100, 20), Ink), 4 * 40);
  }
  Edit->SetAlignment(taLeftJustify);

  Edit->SetBorderStyle(bsNone);
  auto Flat = shot();
  EXPECT_EQ(PixelAt(Flat.get(), 0, 0), ColorToRGB(clWindow));
  EXPECT_EQ(CountPixels(Flat.get(), Bounds(TextLeft, TextTop, CharWidth - 1, 10), Ink), 40);
}

TEST_F(EditsTest, MemoPaintsItsLinesFromTheFirstVisibleOne) {
  Memo->SetText("a\r\nbb\r\nccc\r\ndddd\r\neeeee\r\nffffff");
  Form->Show();
  Edit->SetFocus();
  const TColor Ink = ColorToRGB(clWindowText);
  // The characters of the memo's row Row (window pixels; 40 per character).
  auto rowInk = [&](TBitmap* Shot, int Row) {
    const int Y = 2 + TextTop + Row * LineHeight;
    return CountPixels(Shot, Rect(0, Y, Memo->Width(), Y + 10), Ink) / 40;
  };
  auto Top = test::Snapshot(Memo);
  EXPECT_EQ((std::vector<int>{rowInk(Top.get(), 0), rowInk(Top.get(), 1), rowInk(Top.get(), 2), rowInk(Top.get(), 3)}),
            (std::vector<int>{1, 2, 3, 4}));
  Memo->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
  Memo->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
  auto Scrolled = test::Snapshot(Memo);
  EXPECT_EQ((std::vector<int>{rowInk(Scrolled.get(), 0), rowInk(Scrolled.get(), 1), rowInk(Scrolled.get(), 2),
                              rowInk(Scrolled.get(), 3)}),
            (std::vector<int>{3, 4, 5, 6}));
  // 94 pixels wrap after 18 characters.
  Memo->SetText(String(30, u'x'));
  auto Wrapped = test::Snapshot(Memo);
  EXPECT_EQ(rowInk(Wrapped.get(), 0), 18);
  EXPECT_EQ(rowInk(Wrapped.get(), 1), 12);
}

TEST_F(EditsTest, ScrollsSidewaysToKeepTheCaretVisible) {
  // The client area is 96 pixels: 19 characters fit.
  focus(Edit, String(30, u'x') + "END", 0, 0);
  auto Start = test::Snapshot(Edit);
  EXPECT_EQ(CountPixels(Start.get(), Bounds(3, 3, CharWidth - 1, 10), clBlack), 40);
  test::Key(VK_END);
  auto End = test::Snapshot(Edit);
  // Scrolled just so far that the caret after the last character is the
  // formatting rectangle's last column (94 pixels wide).
  const int Scroll = 33 * CharWidth + 1 - 94;
  const int CaretX = 2 + TextLeft + 33 * CharWidth - Scroll;
  EXPECT_EQ(CaretX, 2 + 94);
  EXPECT_EQ(CountPixels(End.get(), Rect(CaretX, 3, CaretX + 1, 3 + LineHeight), clBlack), LineHeight) << "caret";
  EXPECT_EQ(CountPixels(End.get(), Bounds(CaretX - CharWidth, 3, CharWidth - 1, 10), clBlack), 40);
  test::Key(VK_HOME);
  EXPECT_EQ(CountPixels(test::Snapshot(Edit).get(), Bounds(3, 3, CharWidth - 1, 10), clBlack), 40);
}

// The system caret is where the drawn one is, in client coordinates, for as
// long as the control has the focus.
TEST_F(EditsTest, SystemCaretFollowsTheDrawnCaret) {
  const auto caretPos = [] {
    POINT P{-1, -1};
    EXPECT_TRUE(GetCaretPos(&P));
    return P;
  };
  focus(Edit);
  EXPECT_TRUE(test::IsCaretVisible());
  EXPECT_EQ(caretPos(), (POINT{TextLeft, TextTop}));
  test::Type("abc");
  EXPECT_EQ(caretPos(), (POINT{TextLeft + 3 * CharWidth, TextTop}));
  test::Key(VK_LEFT);
  EXPECT_EQ(caretPos(), (POINT{TextLeft + 2 * CharWidth, TextTop}));
  test::Click(Edit, at(1));
  EXPECT_EQ(caretPos(), (POINT{TextLeft + CharWidth, TextTop}));
  // Scrolled sideways: the last of 33 characters ends at the last column.
  Edit->SetText(String(33, u'x'));
  test::Key(VK_END);
  EXPECT_EQ(caretPos(), (POINT{94, TextTop}));

  focus(Memo, "ab\r\ncd", 0, 0);
  EXPECT_EQ(caretPos(), (POINT{TextLeft, TextTop})) << "the memo took the caret";
  test::Key(VK_END, {ssCtrl});
  EXPECT_EQ(caretPos(), (POINT{TextLeft + 2 * CharWidth, TextTop + LineHeight}));

  auto* Button = make<TButton>(Rect(10, 120, 80, 140));
  Button->SetFocus();
  POINT P;
  EXPECT_FALSE(GetCaretPos(&P)) << "leaving the memo destroys the caret";
  Memo->SetFocus();
  EXPECT_TRUE(GetCaretPos(&P));
  Memo->Free();
  Memo = nullptr;
  EXPECT_FALSE(GetCaretPos(&P)) << "it dies with its window";
}

TEST_F(EditsTest, MemoWrapsAndScrollsByKeysWheelMessagesAndBars) {
  // 96 x 56 client pixels: 18 characters a line, 4 lines shown; each group
  // of 17 characters is one wrapped line.
  String Text;
  for (int I = 0; I < 20; ++I) Text += String("line") + QChar(u'a' + I) + " " + String(10, u'w') + " ";
  focus(Memo, Text, 0, 0);
  EXPECT_EQ(firstVisibleLine(Memo), 0);
  test::Key(VK_END, {ssCtrl});
  EXPECT_EQ(firstVisibleLine(Memo), 20 - 4) << "twenty wrapped lines, the last one shown";
  test::Key(VK_HOME, {ssCtrl});
  EXPECT_EQ(firstVisibleLine(Memo), 0);
  test::Key(VK_NEXT);
  EXPECT_EQ(firstVisibleLine(Memo), 4);
  EXPECT_EQ(Memo->SelStart(), 4 * 17) << "the caret a page down, same column";

  Memo->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(firstVisibleLine(Memo), 5);
  Memo->Perform(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 12), 0);
  EXPECT_EQ(firstVisibleLine(Memo), 12);
  Memo->Perform(WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(firstVisibleLine(Memo), 16);
  test::Wheel(Memo, {10, 10}, 120);
  EXPECT_EQ(firstVisibleLine(Memo), 13) << "three lines a notch";

  // Real bars: the window's client area shrinks, presses on the bar scroll.
  Memo->SetScrollBars(ssVertical);
  EXPECT_EQ(Memo->ClientWidth(), 96 - GetSystemMetrics(SM_CXVSCROLL));
  Memo->Perform(WM_VSCROLL, SB_TOP, 0);
  const int BarX = Memo->ClientWidth() + 2;
  test::Click(Memo, {BarX, Memo->ClientHeight() - 2});
  EXPECT_EQ(firstVisibleLine(Memo), 1) << "the down arrow";
  test::Click(Memo, {BarX, 1});
  EXPECT_EQ(firstVisibleLine(Memo), 0) << "the up arrow";
  test::Click(Memo, {BarX, Memo->ClientHeight() - 20});
  EXPECT_GT(firstVisibleLine(Memo), 1) << "the trough below the thumb pages down";
  EXPECT_EQ(Memo->Text(), Text) << "and Text kept across the recreation";
  {
    // A snapshot shows the bar as the window does: arrows, thumb and all.
    const int Bar = GetSystemMetrics(SM_CXVSCROLL);
    const TRect BarArea = Bounds(Memo->Width() - 2 - Bar, 2, Bar, Memo->Height() - 4);
    const auto Shown = GrabWindow(Memo);
    const auto Shot = test::Snapshot(Memo);
    const int Arrows = CountPixels(Shown.get(), BarArea, clBlack);
    EXPECT_GT(Arrows, 0);
    EXPECT_EQ(CountPixels(Shot.get(), BarArea, clBlack), Arrows);
    EXPECT_EQ(CountPixels(Shot.get(), BarArea, clBtnFace), CountPixels(Shown.get(), BarArea, clBtnFace));
  }

  // Dragging the thumb: track codes on the way, the position and the end
  // scroll at the release; it stops at the last page (40 lines, 4 shown).
  Memo->Perform(WM_VSCROLL, SB_TOP, 0);
  const int Arrow = std::min(GetSystemMetrics(SM_CXVSCROLL), Memo->ClientHeight() / 2);
  TMessageSpy Spy(*Memo);
  test::MouseDown(Memo, {BarX, Arrow + 3});
  test::MouseMove(Memo, {BarX, Arrow + 8});
  const int Tracked = firstVisibleLine(Memo);
  EXPECT_GT(Tracked, 0);
  EXPECT_LT(Tracked, 36);
  test::MouseMove(Memo, {BarX, Memo->ClientHeight() + 50});
  EXPECT_EQ(firstVisibleLine(Memo), 36);
  test::MouseUp(Memo, {BarX, Memo->ClientHeight() + 50});
  std::vector<int> Codes;
  for (const TSpiedMessage& M : Spy.Messages())
    if (M.Msg == WM_VSCROLL) Codes.push_back(LOWORD(M.WParam));
  EXPECT_EQ(Codes, (std::vector<int>{SB_THUMBTRACK, SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL}));
  EXPECT_EQ(firstVisibleLine(Memo), 36);

  // Without wrapping every hard line is one line, scrolled sideways.
  Memo->SetScrollBars(ssNone);
  Memo->SetWordWrap(false);
  Memo->SetFocus();
  Memo->SetSelStart(0);
  test::Key(VK_END);
  EXPECT_EQ(firstVisibleLine(Memo), 0);
  EXPECT_EQ(Memo->SelStart(), Text.size());
}

// A thumb dragged over more lines than a message's 16-bit position holds.
TEST_F(EditsTest, MemoThumbDragReachesTheLastPageOfAVeryLongText) {
  constexpr int Count = 40000;
  String Text;
  for (int I = 0; I < Count; ++I) Text += "x\r\n";
  Memo->SetScrollBars(ssVertical);
  focus(Memo, Text, 0, 0);
  Memo->Perform(WM_VSCROLL, SB_BOTTOM, 0);
  const int LastPage = firstVisibleLine(Memo);
  ASSERT_GT(LastPage, Count - 10);
  Memo->Perform(WM_VSCROLL, SB_TOP, 0);
  const int BarX = Memo->ClientWidth() + 2;
  const int Arrow = std::min(GetSystemMetrics(SM_CXVSCROLL), Memo->ClientHeight() / 2);
  test::MouseDown(Memo, {BarX, Arrow + 3});
  test::MouseMove(Memo, {BarX, Memo->ClientHeight() + 50});
  EXPECT_EQ(firstVisibleLine(Memo), LastPage) << "while tracking";
  test::MouseUp(Memo, {BarX, Memo->ClientHeight() + 50});
  EXPECT_EQ(firstVisibleLine(Memo), LastPage) << "at the release";
}

// The memo's bars are its window's: numbers from the view, disabled while
// there is nothing to scroll.
TEST_F(EditsTest, MemoBarsFollowTheViewAndStayDisabledWithNothingToScroll) {
  Memo->SetScrollBars(ssBoth);
  Memo->SetWordWrap(false);
  focus(Memo, "short", 0, 0);
  const HWND H = Memo->Handle();
  SCROLLINFO Info;
  Info.fMask = SIF_ALL;
  GetScrollInfo(H, SB_VERT, &Info);
  EXPECT_EQ((std::vector<int>{Info.nMin, Info.nMax, int(Info.nPage), Info.nPos}), (std::vector<int>{0, 0, 1, 0}));
  EXPECT_TRUE(GetWindowLong(H, GWL_STYLE) & WS_VSCROLL) << "the bar stays";
  TMessageSpy Spy(*Memo);
  test::Click(Memo, {Memo->ClientWidth() + 8, Memo->ClientHeight() - 3});
  EXPECT_TRUE(Spy.Ids(WM_VSCROLL, WM_VSCROLL).empty()) << "a disabled bar takes no press";

  String Text;
  for (int I = 0; I < 40; ++I) Text += "line " + String::number(I) + " with a tail past the right edge\r\n";
  Memo->SetText(Text);
  Memo->Perform(WM_VSCROLL, SB_BOTTOM, 0);
  Info.fMask = SIF_ALL;
  GetScrollInfo(H, SB_VERT, &Info);
  const int Shown = int(Info.nPage);  // the lines the memo shows
  EXPECT_GT(Shown, 1);
  EXPECT_EQ((std::vector<int>{Info.nMax, Info.nPos}), (std::vector<int>{40, 41 - Shown})) << "41 lines, the last empty";
  test::Click(Memo, {Memo->ClientWidth() + 8, 3});
  EXPECT_EQ(firstVisibleLine(Memo), 40 - Shown) << "the enabled bar's up arrow";
  Info.fMask = SIF_ALL;
  GetScrollInfo(H, SB_HORZ, &Info);
  EXPECT_GT(Info.nMax + 1, int(Info.nPage)) << "the long lines scroll sideways";
  test::Click(Memo, {Memo->ClientWidth() - 3, Memo->ClientHeight() + 8});
  EXPECT_EQ(GetScrollPos(H, SB_HORZ), Info.nPos + CharWidth) << "a character's width a click";
}

TEST_F(EditsTest, RecreatingTheWindowKeepsTextSelectionModifiedAndUndo) {
  focus(Edit, "hello", 0, 0);
  test::Type("x");
  Edit->SetSel(1, 3);
  Edit->SetAlignment(taRightJustify);
  Edit->SetBorderStyle(bsNone);
  EXPECT_EQ(Edit->Text(), "xhello");
  EXPECT_EQ(Edit->SelStart(), 1);
  EXPECT_EQ(Edit->SelLength(), 3);
  EXPECT_TRUE(Edit->Modified());
  EXPECT_TRUE(Edit->CanUndo());

  // ES_MULTILINE from a descendant's CreateParams makes a multi-line edit.
  auto* Cell = make<TMultiLineEdit>(Rect(200, 10, 300, 60));
  Cell->HandleNeeded();
  Cell->SetText("a\nb");
  EXPECT_EQ(Cell->Text(), "a\r\nb");
  EXPECT_EQ(Cell->Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS, DLGC_WANTALLKEYS);
}

// The client edge, the thin frame, the reading order and the alignment are
// window styles: changing Ctl3D or BiDiMode makes a new window that has
// them, and the text, the selection and the focus live on.
TEST_F(EditsTest, Ctl3DAndBiDiModeChangesRecreateTheWindowWithTheirStyles) {
  const TSysLocale Saved = SysLocale;
  const TScopeExit Restore([Saved] { SysLocale = Saved; });
  SysLocale.MiddleEast = true;
  focus(Edit, "hello", 1, 4);
  auto style = [this] { return DWORD(GetWindowLong(Edit->Handle(), GWL_STYLE)); };
  auto exStyle = [this] { return DWORD(GetWindowLong(Edit->Handle(), GWL_EXSTYLE)); };
  constexpr DWORD Mirrored = WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR | WS_EX_RIGHT;
  struct Case {
    const char* Name;
    std::function<void()> Change;
    DWORD ExOn, ExOff, StyleOn, StyleOff;
    int Height;  // fixed metrics: the 10-pixel font is 12 high
  } Cases[] = {
      {"without Ctl3D a thin frame", [&] { Edit->SetCtl3D(false); }, 0, WS_EX_CLIENTEDGE, WS_BORDER, 0, 12 + 6},
      {"with Ctl3D the client edge", [&] { Edit->SetCtl3D(true); }, WS_EX_CLIENTEDGE, 0, 0, WS_BORDER, 12 + 8},
      {"right to left reads, scrolls and aligns from the right", [&] { Edit->SetBiDiMode(bdRightToLeft); },
       Mirrored, 0, ES_RIGHT, 0, 12 + 8},
      {"reading only keeps the alignment", [&] { Edit->SetBiDiMode(bdRightToLeftReadingOnly); },
       WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR, WS_EX_RIGHT, 0, ES_RIGHT, 12 + 8},
      {"back to left to right", [&] { Edit->SetBiDiMode(bdLeftToRight); }, 0, Mirrored, 0, ES_RIGHT, 12 + 8},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const HWND Old = Edit->Handle();
    C.Change();
    EXPECT_NE(Edit->Handle(), Old) << "a new window";
    EXPECT_EQ(exStyle() & C.ExOn, C.ExOn);
    EXPECT_EQ(exStyle() & C.ExOff, 0u);
    EXPECT_EQ(style() & C.StyleOn, C.StyleOn);
    EXPECT_EQ(style() & C.StyleOff, 0u);
    EXPECT_EQ(Edit->Height(), C.Height);
    EXPECT_EQ(Edit->Text(), "hello");
    EXPECT_EQ(Edit->SelStart(), 1);
    EXPECT_EQ(Edit->SelLength(), 3);
    EXPECT_TRUE(Edit->Focused());
  }

  // A right-justified edit mirrored is left-aligned; a left-justified one
  // paints its text against the right edge.
  Edit->SetAlignment(taRightJustify);
  Edit->SetBiDiMode(bdRightToLeft);
  EXPECT_EQ(style() & ES_RIGHT, 0u);
  Edit->SetAlignment(taLeftJustify);
  Memo->SetFocus();
  auto Shot = test::Snapshot(Edit);
  const TColor Ink = ColorToRGB(clWindowText);
  EXPECT_EQ(CountPixels(Shot.get(), Rect(0, 0, 50, 20), Ink), 0);
  EXPECT_EQ(CountPixels(Shot.get(), Rect(50, 0, 100, 20), Ink), 5 * 40);
}

// A single border's frame follows Ctl3D in every control that draws one:
// after the change the client area and the pixels, frame included, are a
// new control's with that setting.
TEST_F(EditsTest, Ctl3DChangeGivesTheFrameOfANewControl) {
  struct Case {
    const char* Name;
    std::function<TWinControl*()> Make;
  } Cases[] = {
      {"edit", [&] { return new TEdit(Form); }},
      {"list box", [&] { return new TListBox(Form); }},
      {"combo box", [&] { return new TComboBox(Form); }},
      {"panel with a single border",
       [&] {
         auto* Panel = new TPanel(Form);
         Panel->SetBorderStyle(bsSingle);
         return Panel;
       }},
  };
  Form->Show();
  auto place = [&](const Case& C, bool Ctl3D, TRect Bounds) {
    TWinControl* Control = C.Make();
    Control->SetBoundsRect(Bounds);
    Control->SetCtl3D(Ctl3D);
    Control->SetParent(Form);
    Control->HandleNeeded();
    return Control;
  };
  for (const Case& C : Cases)
    for (bool Ctl3D : {false, true}) {
      SCOPED_TRACE(std::string(C.Name) + (Ctl3D ? " to Ctl3D" : " to flat"));
      TWinControl* Changed = place(C, !Ctl3D, Bounds(150, 10, 100, 60));
      const TRect Before = Changed->ClientRect();
      Changed->SetCtl3D(Ctl3D);
      TWinControl* Fresh = place(C, Ctl3D, Bounds(260, 10, 100, 60));
      EXPECT_NE(Changed->ClientRect(), Before);
      EXPECT_EQ(Changed->ClientRect(), Fresh->ClientRect());
      EXPECT_EQ(Changed->Height(), Fresh->Height());
      auto ChangedImage = ShownImage(Changed);
      auto FreshImage = ShownImage(Fresh);
      EXPECT_TRUE(ImagesEqual(ChangedImage.get(), FreshImage.get(), 0));
      Changed->Free();
      Fresh->Free();
    }
}

TEST_F(EditsTest, EditMessagesAnswerFromTheText) {
  Edit->SetText("abcdef");
  DWORD Start = 0, End = 0;
  Edit->Perform(EM_SETSEL, 2, LPARAM(-1));
  EXPECT_EQ(Edit->Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End)),
            LRESULT(MAKELONG(2, 6)));
  EXPECT_EQ(Start, 2u);
  EXPECT_EQ(End, 6u);
  Edit->Perform(EM_SETSEL, WPARAM(-1), 0);
  EXPECT_EQ(Edit->SelLength(), 0) << "-1 deselects";
  Edit->SetSelStart(3);
  Edit->SetSelLength(INT_MAX);
  EXPECT_EQ(Edit->SelLength(), 3) << "the largest length selects to the end";
  EXPECT_EQ(Edit->Perform(WM_GETTEXTLENGTH, 0, 0), 6);

  // The formatting rectangle: the client area inside the margins, or the one set.
  Edit->SetText("abcdefghijkl");
  EXPECT_EQ(Edit->Perform(EM_GETMARGINS, 0, 0), LRESULT(MAKELONG(1, 1)));
  TRect R;
  Edit->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&R));
  EXPECT_EQ(R, Rect(1, 1, Edit->ClientWidth() - 1, Edit->ClientHeight()));
  Edit->Perform(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(4, 6));
  Edit->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&R));
  EXPECT_EQ(R, Rect(4, 1, Edit->ClientWidth() - 6, Edit->ClientHeight()));
  const TRect Inset = Rect(20, 2, 60, 14);
  Edit->Perform(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&Inset));
  Edit->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&R));
  EXPECT_EQ(R, Inset);
  Form->Show();
  auto Shot = test::Snapshot(Edit);
  EXPECT_EQ(CountPixels(Shot.get(), Bounds(2 + 20, 2 + 2, CharWidth - 1, 10), clBlack), 40)
      << "text starts at the rectangle";
  EXPECT_EQ(CountPixels(Shot.get(), Rect(2 + 60, 2, 2 + 96, 18), clBlack), 0) << "and is clipped to it";
  Edit->Perform(EM_SETRECTNP, 0, 0);
  Edit->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&R));
  EXPECT_EQ(R.Left, 4) << "null restores the margins' rectangle";

  EXPECT_EQ(Edit->Perform(EM_CANUNDO, 0, 0), 0);
  EXPECT_EQ(Edit->Perform(EM_GETMODIFY, 0, 0), 0);
  Edit->Perform(EM_SETSEL, 0, 1);
  Edit->Perform(EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(u"XY"));
  EXPECT_EQ(Edit->Text(), "XYbcdefghijkl");
  EXPECT_EQ(Edit->Perform(EM_CANUNDO, 0, 0), 1) << "WParam 1 records for undo";
  EXPECT_EQ(Edit->Perform(EM_GETMODIFY, 0, 0), 1);
  Edit->Perform(EM_SETMODIFY, 0, 0);
  EXPECT_FALSE(Edit->Modified());
  Edit->Perform(EM_EMPTYUNDOBUFFER, 0, 0);
  EXPECT_FALSE(Edit->CanUndo());
}

// The line messages of a wrapped memo and of a single-line edit.  The memo
// holds 18 characters a line: "alpha beta gamma " | "delta" CR LF | "" CR LF
// | "xy" (28 positions, the wrap point at 17); 3 .. 20 is selected with the
// caret at 20.
TEST_F(EditsTest, LineMessagesCountWrappedLinesAndCrLfAsTwo) {
  focus(Memo, "alpha beta gamma delta\r\n\r\nxy", 3, 20);
  focus(Edit, "hello world", 2, 4);
  auto xy = [](int X, int Y) { return LRESULT(MAKELONG(WORD(X), WORD(Y))); };
  // The top left of column C of line L, and a point inside that character.
  auto pos = [&](int C, int L) { return xy(TextLeft + C * CharWidth, TextTop + L * LineHeight); };
  auto point = [](int X, int Y) { return MAKELPARAM(WORD(X), WORD(Y)); };
  const WPARAM Caret = WPARAM(-1);
  struct Case {
    const char* What;
    TCustomEdit* C;
    UINT Msg;
    WPARAM W;
    LPARAM L;
    LRESULT Result;
  } Cases[] = {
      {"memo: lines", Memo, EM_GETLINECOUNT, 0, 0, 4},
      {"memo: a wrapped line starts at the wrap point", Memo, EM_LINEINDEX, 1, 0, 17},
      {"memo: after CR LF", Memo, EM_LINEINDEX, 3, 0, 26},
      {"memo: the caret's line", Memo, EM_LINEINDEX, Caret, 0, 17},
      {"memo: no such line", Memo, EM_LINEINDEX, 4, 0, -1},
      {"memo: before the wrap point", Memo, EM_LINEFROMCHAR, 16, 0, 0},
      {"memo: the wrap point", Memo, EM_LINEFROMCHAR, 17, 0, 1},
      {"memo: a CR", Memo, EM_LINEFROMCHAR, 22, 0, 1},
      {"memo: an LF", Memo, EM_LINEFROMCHAR, 23, 0, 1},
      {"memo: an empty line", Memo, EM_LINEFROMCHAR, 24, 0, 2},
      {"memo: past the end", Memo, EM_LINEFROMCHAR, 500, 0, 3},
      {"memo: the selection's start", Memo, EM_LINEFROMCHAR, Caret, 0, 0},
      {"memo: a wrapped line keeps its blank", Memo, EM_LINELENGTH, 0, 0, 17},
      {"memo: the line at the wrap point", Memo, EM_LINELENGTH, 17, 0, 5},
      {"memo: without its break", Memo, EM_LINELENGTH, 23, 0, 5},
      {"memo: an empty line's length", Memo, EM_LINELENGTH, 24, 0, 0},
      {"memo: the end", Memo, EM_LINELENGTH, 28, 0, 2},
      {"memo: past the end's length", Memo, EM_LINELENGTH, 29, 0, 0},
      {"memo: unselected on the selection's lines", Memo, EM_LINELENGTH, Caret, 0, 3 + 2},
      {"memo: the first character", Memo, EM_POSFROMCHAR, 0, 0, pos(0, 0)},
      {"memo: the wrap point's", Memo, EM_POSFROMCHAR, 17, 0, pos(0, 1)},
      {"memo: a CR's, past the line", Memo, EM_POSFROMCHAR, 22, 0, pos(5, 1)},
      {"memo: an LF's, past the line", Memo, EM_POSFROMCHAR, 23, 0, pos(5, 1)},
      {"memo: the end of the text", Memo, EM_POSFROMCHAR, 28, 0, pos(2, 3)},
      {"memo: past the end's point", Memo, EM_POSFROMCHAR, 29, 0, -1},
      {"memo: a character", Memo, EM_CHARFROMPOS, 0, point(at(2, 1).X + 1, at(2, 1).Y), xy(19, 1)},
      {"memo: right of a wrapped line", Memo, EM_CHARFROMPOS, 0, point(90, at(0, 0).Y), xy(16, 0)},
      {"memo: right of a hard line", Memo, EM_CHARFROMPOS, 0, point(90, at(0, 1).Y), xy(22, 1)},
      {"memo: below the text", Memo, EM_CHARFROMPOS, 0, point(1, 200), xy(26, 3)},
      {"memo: above and left", Memo, EM_CHARFROMPOS, 0, point(-5, -5), xy(0, 0)},
      {"edit: lines", Edit, EM_GETLINECOUNT, 0, 0, 1},
      {"edit: the line", Edit, EM_LINEINDEX, 0, 0, 0},
      {"edit: the caret's line", Edit, EM_LINEINDEX, Caret, 0, 0},
      {"edit: no such line", Edit, EM_LINEINDEX, 1, 0, -1},
      {"edit: one line", Edit, EM_LINEFROMCHAR, 99, 0, 0},
      {"edit: the text's length", Edit, EM_LINELENGTH, 3, 0, 11},
      {"edit: the length whatever the index", Edit, EM_LINELENGTH, Caret, 0, 11},
      {"edit: the last character", Edit, EM_POSFROMCHAR, 10, 0, pos(10, 0)},
      {"edit: the end is past the last character", Edit, EM_POSFROMCHAR, 11, 0, -1},
      {"edit: a negative index", Edit, EM_POSFROMCHAR, Caret, 0, -1},
      {"edit: a character's line is 0", Edit, EM_CHARFROMPOS, 0, point(at(5).X + 1, 50), xy(5, 0)},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.What);
    EXPECT_EQ(C.C->Perform(C.Msg, C.W, C.L), C.Result);
  }
  EXPECT_EQ(Memo->SelStart(), 3);
  EXPECT_EQ(Memo->SelLength(), 17) << "asking moves nothing";

  // EM_GETLINE: the first word holds the room; no terminating null.
  struct LineCase {
    const char* What;
    TCustomEdit* C;
    WPARAM Line;
    WORD Room;
    String Copied;
  } Lines[] = {
      {"a wrapped line", Memo, 0, 40, "alpha beta gamma "},
      {"cut to the room", Memo, 1, 3, "del"},
      {"an empty line", Memo, 2, 40, ""},
      {"no such line", Memo, 4, 40, ""},
      {"no room", Memo, 3, 0, ""},
      {"a single-line edit ignores the line", Edit, 7, 40, "hello world"},
  };
  for (const LineCase& C : Lines) {
    SCOPED_TRACE(C.What);
    Char Buffer[48];
    std::fill(std::begin(Buffer), std::end(Buffer), Char(u'#'));
    std::memcpy(Buffer, &C.Room, sizeof C.Room);
    const LRESULT Count = C.C->Perform(EM_GETLINE, C.Line, reinterpret_cast<LPARAM>(Buffer));
    EXPECT_EQ(Count, C.Copied.size());
    EXPECT_EQ(String(Buffer, Count), C.Copied);
    EXPECT_EQ(Buffer[std::max<LRESULT>(Count, 1)], Char(u'#')) << "nothing written after the line";
  }
}

TEST_F(EditsTest, LimitReadOnlyAndPasswordMessagesSetTheProperties) {
  focus(Edit, "abc", 3, 3);
  Edit->Perform(EM_LIMITTEXT, 4, 0);
  EXPECT_EQ(Edit->MaxLength(), 4);
  test::Type("xyz");
  EXPECT_EQ(Edit->Text(), "abcx");
  Edit->Perform(EM_LIMITTEXT, 0, 0);
  EXPECT_EQ(Edit->MaxLength(), 0) << "0: no limit";
  test::Type("yz");
  EXPECT_EQ(Edit->Text(), "abcxyz");

  auto style = [this] { return DWORD(GetWindowLong(Edit->Handle(), GWL_STYLE)); };
  EXPECT_EQ(Edit->Perform(EM_SETREADONLY, 1, 0), 1);
  EXPECT_TRUE(Edit->ReadOnly());
  EXPECT_TRUE(style() & ES_READONLY);
  test::Type("q");
  EXPECT_EQ(Edit->Text(), "abcxyz");
  Edit->SetReadOnly(false);
  EXPECT_FALSE(style() & ES_READONLY) << "the property sends the message";

  Edit->Perform(EM_SETPASSWORDCHAR, u'*', 0);
  EXPECT_EQ(Edit->PasswordChar(), Char(u'*'));
  EXPECT_TRUE(style() & ES_PASSWORD);
  Edit->SetSel(0, 3);
  Clipboard()->SetAsText("before");
  Edit->CopyToClipboard();
  EXPECT_EQ(Clipboard()->AsText(), "before");
  Edit->RecreateWnd();
  EXPECT_TRUE(style() & ES_PASSWORD) << "kept by a new window";
  Edit->SetPasswordChar(Char(0));
  EXPECT_FALSE(style() & ES_PASSWORD);
  Edit->CopyToClipboard();
  EXPECT_EQ(Clipboard()->AsText(), "abc");
}

// EM_SCROLL and EM_LINESCROLL on ten hard lines, four shown.
TEST_F(EditsTest, ScrollMessagesMoveTheViewWithinTheText) {
  String Text;
  for (int I = 0; I < 10; ++I) Text += QStringLiteral("line %1\r\n").arg(I);
  Text.chop(2);
  focus(Memo, Text, 0, 0);
  auto scrolled = [](int Lines) { return LRESULT(MAKELONG(WORD(Lines), 1)); };
  struct Step {
    const char* What;
    UINT Msg;
    WPARAM W;
    LPARAM L;
    LRESULT Result;
    int Top;
  } Steps[] = {
      {"a line down", EM_SCROLL, SB_LINEDOWN, 0, scrolled(1), 1},
      {"a page down", EM_SCROLL, SB_PAGEDOWN, 0, scrolled(4), 5},
      {"a page down stops at the last page", EM_SCROLL, SB_PAGEDOWN, 0, scrolled(1), 6},
      {"a line up", EM_SCROLL, SB_LINEUP, 0, scrolled(-1), 5},
      {"a page up", EM_SCROLL, SB_PAGEUP, 0, scrolled(-4), 1},
      {"other codes are refused", EM_SCROLL, SB_TOP, 0, 0, 1},
      {"lines down", EM_LINESCROLL, 0, 3, 1, 4},
      {"far up", EM_LINESCROLL, 0, -100, 1, 0},
      {"far down", EM_LINESCROLL, 0, INT_MAX, 1, 6},
  };
  for (const Step& S : Steps) {
    SCOPED_TRACE(S.What);
    EXPECT_EQ(Memo->Perform(S.Msg, S.W, S.L), S.Result);
    EXPECT_EQ(firstVisibleLine(Memo), S.Top);
  }
  EXPECT_EQ(Memo->SelStart(), 0) << "the caret stays";

  // Sideways by average characters: ignored while wrapping, else allowed past
  // the longest line.
  auto left = [this] { return short(LOWORD(Memo->Perform(EM_POSFROMCHAR, 0, 0))) - TextLeft; };
  Memo->Perform(EM_LINESCROLL, 2, 0);
  EXPECT_EQ(left(), 0);
  Memo->SetWordWrap(false);
  Memo->Perform(EM_LINESCROLL, 2, 0);
  EXPECT_EQ(left(), -2 * CharWidth);
  Memo->Perform(EM_LINESCROLL, 40, 0);
  EXPECT_EQ(left(), -42 * CharWidth);
  Memo->Perform(EM_LINESCROLL, -100, 0);
  EXPECT_EQ(left(), 0);

  focus(Edit, "abc");
  EXPECT_EQ(Edit->Perform(EM_SCROLL, SB_LINEDOWN, 0), 0) << "a single-line edit does not scroll";
  EXPECT_EQ(Edit->Perform(EM_LINESCROLL, 1, 1), 0);
}

// Every change of the text reaches the parent as WM_COMMAND with EN_CHANGE;
// the parent's default hands it back and Change runs there.
TEST_F(EditsTest, TextChangesNotifyTheParentWhoseDefaultRunsChange) {
  auto* Panel = make<TCommandPanel>(Rect(0, 150, 300, 250));
  Panel->Changes = &Changes;
  auto* Inner = make<TEdit>(Rect(5, 5, 105, 25), Panel);
  auto* Lines = make<TClearingMemo>(Rect(120, 5, 220, 65), Panel);
  Inner->OnChange = TNotifyEvent([this](TObject*) { ++Changes; });
  Lines->OnChange = TNotifyEvent([this](TObject*) { ++Changes; });
  focus(Inner);
  Clipboard()->SetAsText("pasted");
  struct Step {
    const char* What;
    TCustomEdit* C;
    std::function<void()> Run;
    int Notices;
  } Steps[] = {
      {"typing", Inner, [] { test::Type("ab"); }, 2},
      {"the Text setter", Inner, [&] { Inner->SetText("new"); }, 1},
      {"the same text", Inner, [&] { Inner->SetText("new"); }, 0},
      {"pasting", Inner, [&] { Inner->PasteFromClipboard(); }, 1},
      {"undo", Inner, [&] { Inner->Undo(); }, 1},
      {"EM_REPLACESEL", Inner, [&] { Inner->Perform(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(u"x")); }, 1},
      {"Clear", Inner, [&] { Inner->Clear(); }, 1},
      {"adding a memo line", Lines, [&] { Lines->Lines()->Add("one"); }, 1},
      {"clearing the memo's lines", Lines, [&] { Lines->Lines()->Clear(); }, 1},
  };
  for (const Step& S : Steps) {
    SCOPED_TRACE(S.What);
    Panel->Notices.clear();
    Changes = 0;
    S.Run();
    ASSERT_EQ(int(Panel->Notices.size()), S.Notices);
    EXPECT_EQ(Changes, S.Notices) << "one Change a notice";
    for (int I = 0; I < S.Notices; ++I) {
      const TCommandPanel::TNotice& N = Panel->Notices[size_t(I)];
      EXPECT_EQ(N.Id, WORD(GetWindowLong(S.C->Handle(), GWL_ID)));
      EXPECT_EQ(N.Code, EN_CHANGE);
      EXPECT_EQ(N.From, S.C->Handle());
      EXPECT_EQ(N.ChangesBefore, I) << "Change runs inside the parent's handling";
    }
  }
  EXPECT_EQ(Lines->Clears, 1) << "Lines.Clear goes through the memo's Clear";

  // A parent that keeps the notice to itself: no Change.
  Panel->Forward = false;
  Panel->Notices.clear();
  Changes = 0;
  Inner->SetText("kept");
  EXPECT_EQ(Panel->Notices.size(), 1u);
  EXPECT_EQ(Changes, 0);
  // Without a parent window the edit runs Change itself.
  auto* Loose = new TEdit(Form);
  Loose->OnChange = TNotifyEvent([this](TObject*) { ++Changes; });
  Loose->SetText("alone");
  EXPECT_EQ(Changes, 1);
}

TEST_F(EditsTest, AutoSizeFollowsTheFontWithASingleBorder) {
  // Fixed metrics: a 10-pixel font is 12 high.
  EXPECT_EQ(Edit->Height(), 12 + 8);
  Edit->Font()->SetHeight(-20);
  EXPECT_EQ(Edit->Height(), 25 + 8);
  Edit->SetHeight(40);
  EXPECT_EQ(Edit->Height(), 40) << "a set height stays until the font changes";
  Edit->SetAutoSize(false);
  Edit->Font()->SetHeight(-10);
  EXPECT_EQ(Edit->Height(), 40);
  Edit->SetAutoSize(true);
  EXPECT_EQ(Edit->Height(), 12 + 8);
  EXPECT_EQ(Memo->Height(), 60) << "memos keep their height";
}

}  // namespace
