#include "platform/ui/controls/mask.h"

#include "platform/ui/controls/buttons.h"
#include "platform/ui/windowing/beep.h"
#include "tests/platform/ui/formfixture.h"

using namespace gdi;

namespace {

// A mask edit whose owner decides whether it may be modified, as a
// data-aware edit asks its data link.
class TGuardedMaskEdit : public TMaskEdit {
  RTL_CLASS(TGuardedMaskEdit, TMaskEdit)
public:
  using TMaskEdit::TMaskEdit;
  bool AllowModify = true;
  int Asked = 0;

protected:
  bool EditCanModify() override {
    ++Asked;
    return AllowModify && TMaskEdit::EditCanModify();
  }
};

class MaskEditTest : public FormFixture {
protected:
  MaskEditTest() : FormFixture(MemoryClipboard) {}
  void SetUp() override {
    FormFixture::SetUp();
    Edit = make<TGuardedMaskEdit>(Bounds(10, 10, 150, 21));
    Other = make<TEdit>(Bounds(10, 50, 150, 21));
    Edit->OnChange = TNotifyEvent([this](TObject*) { ++Changes; });
  }

  // The edit focused on a shown form, with Mask and nothing entered.
  void focusWithMask(const String& Mask) {
    Edit->SetEditMask(Mask);
    Form->Show();
    Edit->SetFocus();
    Changes = 0;
  }

  TGuardedMaskEdit* Edit = nullptr;
  TEdit* Other = nullptr;
  int Changes = 0;
};

// Text set through the control, read back as EditText and Text.
TEST_F(MaskEditTest, TextAndEditTextFollowTheMask) {
  struct Case {
    const char* Name;
    const char* EditMask;
    const char* Text;
    const char* EditText;
    const char* TextBack;
    Char DateSeparator = u'/';
  };
  const Case Cases[] = {
      {"empty date", "!9999-99-99;1;_", "", "____-__-__", "    -  -  "},
      {"locale date separator", "!99/99/9999;1; ", "", "  -  -    ", "  -  -    ", u'-'},
      {"right-aligned without literals", "!999;0;_", "12", "_12", "12"},
      {"left-aligned without literals", "999;0;_", "12", "12_", "12"},
      {"literals dropped from Text", "000-000;0;_", "123456", "123-456", "123456"},
      {"no mask: the text as it is", "", "a-b", "a-b", "a-b"},
      {"directives only: no mask", "!>", "a-b", "a-b", "a-b"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TFormatSettingsScope Saved;
    FormatSettings().DateSeparator = C.DateSeparator;
    Edit->SetEditMask(String());
    Edit->SetText(String());
    Edit->SetEditMask(C.EditMask);
    Edit->SetText(C.Text);
    EXPECT_EQ(Edit->EditText(), QString::fromUtf8(C.EditText));
    EXPECT_EQ(Edit->Text(), QString::fromUtf8(C.TextBack));
    EXPECT_EQ(WindowText(Edit), QString::fromUtf8(C.EditText)) << "the window text is the edit text";
    EXPECT_FALSE(Edit->Modified());
    EXPECT_NO_THROW(Edit->ValidateEdit()) << "optional positions may stay blank";
  }
}

TEST_F(MaskEditTest, SettersFireOnChangeOnlyForANewEditText) {
  Edit->SetEditMask("!9999-99-99;1;_");
  Changes = 0;
  Edit->SetText("2024-05-19");
  EXPECT_EQ(Changes, 1);
  Edit->SetText("20240519");  // the same edit text
  Edit->SetEditText("2024-05-19");
  EXPECT_EQ(Changes, 1);
  Edit->SetEditText("2024-0x-19");  // a refused character stays blank
  EXPECT_EQ(Edit->EditText(), String("2024-0_-19"));
  EXPECT_EQ(Changes, 2);
  // A new mask keeps Text.
  Edit->SetEditMask("000-000;0;_");
  Edit->SetText("123456");
  Edit->SetEditMask("000.000;0;*");
  EXPECT_EQ(Edit->EditText(), String("123.456"));
  Edit->SetEditMask(String());
  EXPECT_EQ(Edit->EditText(), String("123456"));
}

TEST_F(MaskEditTest, TypingFillsEditPositionsAndRefusalsBeep) {
  focusWithMask("!9999-99-99;1;_");
  test::TBeepRecorder Beeps;
  test::Type("2024");
  EXPECT_EQ(Edit->EditText(), String("2024-__-__"));
  EXPECT_EQ(Edit->SelStart(), 5) << "the caret skips the literal";
  test::Type("x");
  EXPECT_EQ(Edit->EditText(), String("2024-__-__"));
  EXPECT_EQ(Beeps.Count(), 1);
  EXPECT_EQ(Changes, 4);
  test::Type("0519");
  EXPECT_EQ(Edit->EditText(), String("2024-05-19"));
  EXPECT_EQ(Edit->Text(), String("2024-05-19"));
  EXPECT_TRUE(Edit->Modified());
  test::Type("7");
  EXPECT_EQ(Edit->EditText(), String("2024-05-19")) << "no position left";
  EXPECT_EQ(Beeps.Count(), 2);

  Edit->SetEditMask(">LL;1;_");
  Edit->SetSel(0, 0);
  test::Type("ab");
  EXPECT_EQ(Edit->EditText(), String("AB"));
  EXPECT_EQ(Edit->Text(), String("AB"));
}

TEST_F(MaskEditTest, DeletingKeysAndSelectionsBlankPositions) {
  focusWithMask("!9999-99-99;1;_");
  test::Type("20240");
  test::Key(VK_BACK);
  EXPECT_EQ(Edit->EditText(), String("2024-__-__"));
  EXPECT_EQ(Edit->SelStart(), 5);
  test::Key(VK_BACK);
  EXPECT_EQ(Edit->EditText(), String("202_-__-__")) << "Backspace reaches back over the literal";
  EXPECT_EQ(Edit->SelStart(), 3);

  Edit->SetText("2024-05-19");
  Edit->SetSel(4, 0);
  test::Key(VK_DELETE);
  EXPECT_EQ(Edit->EditText(), String("2024-_5-19"));
  EXPECT_EQ(Edit->SelStart(), 4);

  Edit->SetText("2024-05-19");
  Edit->SetSel(2, 5);
  Changes = 0;
  test::Type("7");
  EXPECT_EQ(Edit->EditText(), String("207_-__-19"));
  EXPECT_EQ(Edit->SelStart(), 3);
  EXPECT_EQ(Changes, 1) << "one change per key";
  test::Key('Z', {ssCtrl});
  EXPECT_EQ(Edit->EditText(), String("2024-05-19")) << "undo takes the key back";

  Edit->SetSel(0, 10);
  test::Key(VK_DELETE);
  EXPECT_EQ(Edit->EditText(), String("____-__-__"));

  // Only Shift+Del is the cut: with Ctrl too it blanks as Delete does.
  Edit->SetText("2024-05-19");
  Edit->SetSel(0, 0);
  test::Key(VK_DELETE, {ssShift, ssCtrl});
  EXPECT_EQ(Edit->EditText(), String("_024-05-19"));
}

TEST_F(MaskEditTest, ClipboardTypesUntilARefusal) {
  focusWithMask("!9999-99-99;1;_");
  test::TBeepRecorder Beeps;
  Clipboard()->SetAsText("1999x05");
  test::Key('V', {ssCtrl});
  EXPECT_EQ(Edit->EditText(), String("1999-__-__"));
  EXPECT_EQ(Edit->SelStart(), 5);
  EXPECT_EQ(Beeps.Count(), 1);

  Clipboard()->SetAsText("0519");
  Edit->PasteFromClipboard();
  EXPECT_EQ(Edit->EditText(), String("1999-05-19"));
  EXPECT_EQ(Beeps.Count(), 1);

  Edit->SetSel(0, 4);
  test::Key('X', {ssCtrl});
  EXPECT_EQ(Clipboard()->AsText(), String("1999"));
  EXPECT_EQ(Edit->EditText(), String("____-05-19"));
  Edit->SetSel(5, 2);
  Edit->ClearSelection();
  EXPECT_EQ(Edit->EditText(), String("____-__-19"));

  Clipboard()->SetAsText("ab");
  Edit->SetSel(8, 2);
  Edit->PasteFromClipboard();
  EXPECT_EQ(Edit->EditText(), String("____-__-19")) << "nothing taken: the selection stays";
  EXPECT_EQ(Beeps.Count(), 2);
}

// One unit per position: what cannot stand in one position of a single line
// is refused, so later keys still find every position where it was.
TEST_F(MaskEditTest, LineBreaksAndPairsStayOutOfAnyCharacterPositions) {
  focusWithMask("CCCC;1;_");
  test::TBeepRecorder Beeps;
  Clipboard()->SetAsText("a\r\nb");
  Edit->PasteFromClipboard();
  EXPECT_EQ(Edit->EditText(), String("a___"));
  EXPECT_EQ(Beeps.Count(), 1);
  Edit->SetSel(4, 0);
  test::Key(VK_BACK);
  test::Key(VK_BACK);
  EXPECT_EQ(Edit->EditText(), String("a___"));
  EXPECT_EQ(Edit->SelStart(), 2);

  Edit->SetEditMask("C-C;1;_");
  Edit->SetText(String());
  Edit->SetSel(0, 0);
  Beeps.Clear();
  test::Type(QString::fromUtf8("\xF0\x9F\x98\x80"));
  EXPECT_EQ(Edit->EditText(), String("_-_"));
  EXPECT_EQ(Beeps.Count(), 2) << "each half refused";
}

// A password edit keeps its text off the clipboard, and a refused cut leaves
// the text as it was.
TEST_F(MaskEditTest, PasswordCharRefusesCut) {
  focusWithMask("!9999-99-99;1;_");
  Edit->SetText("2024-05-19");
  Edit->SetPasswordChar(u'*');
  Clipboard()->SetAsText("before");
  Edit->SetSel(0, 4);
  Changes = 0;
  test::Key('X', {ssCtrl});
  Edit->CutToClipboard();
  EXPECT_EQ(Clipboard()->AsText(), String("before"));
  EXPECT_EQ(Edit->EditText(), String("2024-05-19"));
  EXPECT_EQ(Changes, 0);
}

// Every modifying path asks EditCanModify first; a refusal drops it silently.
TEST_F(MaskEditTest, EveryModificationAsksEditCanModify) {
  focusWithMask("!9999-99-99;1;_");
  Edit->SetText("2024-05-19");
  Changes = 0;
  Edit->AllowModify = false;
  test::TBeepRecorder Beeps;
  Clipboard()->SetAsText("1111");
  Edit->SetSel(2, 3);
  const std::function<void()> Paths[] = {
      [] { test::Type("1"); },
      [] { test::Key(VK_BACK); },
      [] { test::Key(VK_DELETE); },
      [] { test::Key('V', {ssCtrl}); },
      [] { test::Key('X', {ssCtrl}); },
      [this] { Edit->ClearSelection(); },
      [this] { Edit->PasteFromClipboard(); },
  };
  for (const auto& Path : Paths) {
    const int Asked = Edit->Asked;
    Path();
    EXPECT_GT(Edit->Asked, Asked);
  }
  EXPECT_EQ(Edit->EditText(), String("2024-05-19"));
  EXPECT_EQ(Changes, 0);
  EXPECT_EQ(Beeps.Count(), 0);
  EXPECT_EQ(Clipboard()->AsText(), String("1111")) << "a refused cut copies nothing";

  Edit->AllowModify = true;
  Edit->SetReadOnly(true);
  test::Type("1");
  test::Key(VK_DELETE);
  EXPECT_EQ(Edit->EditText(), String("2024-05-19"));
}

// The user's key handlers run first and may swallow or replace a key.
TEST_F(MaskEditTest, KeyHandlersRunBeforeTheMask) {
  focusWithMask("!9999-99-99;1;_");
  Edit->SetText("2024-05-19");
  Edit->SetSel(0, 0);
  Edit->OnKeyDown = TKeyEvent([](TObject*, Word& Key, TShiftState) {
    if (Key == VK_DELETE) Key = 0;
  });
  Edit->OnKeyPress = TKeyPressEvent([](TObject*, Char& Key) {
    if (Key == u'a') Key = u'7';
  });
  test::Key(VK_DELETE);
  EXPECT_EQ(Edit->EditText(), String("2024-05-19"));
  test::Type("a");
  EXPECT_EQ(Edit->EditText(), String("7024-05-19"));
}

TEST_F(MaskEditTest, LeavingValidatesRequiredPositions) {
  focusWithMask("00;1;_");
  test::TBeepRecorder Beeps;
  test::Type("1");
  EXPECT_RAISES(Other->SetFocus(), EDBEditError, "Invalid input value. Use escape key to abandon changes");
  EXPECT_TRUE(Edit->Focused()) << "the focus comes back";
  EXPECT_EQ(Edit->SelStart(), 1) << "the caret on the first blank required position";
  EXPECT_EQ(Beeps.Count(), 1);
  test::Type("2");
  Other->SetFocus();
  EXPECT_TRUE(Other->Focused());
  EXPECT_EQ(Edit->Text(), String("12"));

  // Optional positions only: leaving passes, also blank.
  Edit->SetEditMask("!9999-99-99;1;_");
  Edit->SetFocus();
  test::Type("2");
  test::Key(VK_BACK);
  Other->SetFocus();
  EXPECT_TRUE(Other->Focused());

  // An unmodified edit is not checked on leaving; ValidateEdit checks always.
  Edit->SetEditMask("L0;1;_");
  Edit->SetText("a");
  Edit->SetFocus();
  Other->SetFocus();
  EXPECT_TRUE(Other->Focused());
  EXPECT_RAISES(Edit->ValidateEdit(), EDBEditError, SMaskEditErr);
  EXPECT_EQ(Edit->SelStart(), 1);
}

TEST_F(MaskEditTest, EscResetsAModifiedEditBeforeTheCancelButton) {
  auto* Cancel = make<TButton>(Bounds(200, 10, 75, 25));
  Cancel->SetCancel(true);
  int Cancelled = 0;
  Cancel->OnClick = TNotifyEvent([&Cancelled](TObject*) { ++Cancelled; });
  focusWithMask("!9999-99-99;1;_");
  Edit->SetText("2024-05-19");
  Edit->SetSel(0, 0);
  Changes = 0;
  test::Type("19");
  ASSERT_EQ(Edit->EditText(), String("1924-05-19"));
  test::Key(VK_ESCAPE);
  EXPECT_EQ(Edit->EditText(), String("2024-05-19"));
  EXPECT_FALSE(Edit->Modified());
  EXPECT_EQ(Changes, 3);
  EXPECT_EQ(Cancelled, 0);
  test::Key(VK_ESCAPE);
  EXPECT_EQ(Cancelled, 1) << "unmodified, Esc is the form's";

  // Reset comes back to the last programmatic text, not an older one.
  test::Type("3");
  Edit->SetText("1999-01-02");
  test::Type("7");
  Edit->Reset();
  EXPECT_EQ(Edit->EditText(), String("1999-01-02"));
  Edit->Reset();
  EXPECT_EQ(Edit->EditText(), String("1999-01-02"));
}

TEST_F(MaskEditTest, UnmaskedIsAPlainEdit) {
  Form->Show();
  Edit->SetFocus();
  test::TBeepRecorder Beeps;
  test::Type("a-1");
  test::Key(VK_BACK);
  EXPECT_EQ(Edit->Text(), String("a-"));
  Edit->SetModified(true);
  EXPECT_NO_THROW(Edit->ValidateEdit());
  EXPECT_EQ(Beeps.Count(), 0);
}

TEST_F(MaskEditTest, MaskEditPublishesItsMask) {
  SetStrProp(Edit, "EditMask", "!999;0;_");
  SetStrProp(Edit, "Text", "12");
  EXPECT_EQ(Edit->EditText(), String("_12"));
  EXPECT_EQ(GetStrProp(Edit, "Text"), String("12"));
  // A stream may bring Text before EditMask: the mask formats it.
  SetStrProp(Edit, "EditMask", String());
  SetStrProp(Edit, "Text", "123456");
  SetStrProp(Edit, "EditMask", "000-000;0;_");
  EXPECT_EQ(Edit->EditText(), String("123-456"));
}

}  // namespace
