#include "platform/ui/controls/mask.h"

#include "platform/ui/windowing/beep.h"
#include "platform/ui/windowing/clipbrd.h"
#include "platform/ui/windowing/dialogs.h"

#include <QScopeGuard>

using namespace gdi;

namespace {

constexpr ushort CtrlBackspace = 127;

}  // namespace

// ---------------------------------------------------------------------------
// TCustomMaskEdit

const TMessageMap& TCustomMaskEdit::MessageMap() {
  static const TMessageMap Map(TCustomEdit::MessageMap(), {
      {WM_SETTEXT, &TCustomMaskEdit::WMSetText},
      {WM_CUT, &TCustomMaskEdit::WMCut},
      {WM_PASTE, &TCustomMaskEdit::WMPaste},
      {WM_CLEAR, &TCustomMaskEdit::WMClear},
      {CM_ENTER, &TCustomMaskEdit::CMEnter},
      {CM_EXIT, &TCustomMaskEdit::CMExit},
      {CM_WANTSPECIALKEY, &TCustomMaskEdit::CMWantSpecialKey},
  });
  return Map;
}

TCustomMaskEdit::TCustomMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

// properties

void TCustomMaskEdit::SetEditMask(const String& Value) {
  if (FEditMask == Value) return;
  const String OldText = Text();
  FEditMask = Value;
  FMask = TMaskEngine(Value);
  SetEditText(IsMasked() ? FMask.EditTextFromText(OldText) : OldText);
}

String TCustomMaskEdit::EditText() { return Buffer().Text(); }

void TCustomMaskEdit::SetEditText(const String& Value) {
  const String Formatted = IsMasked() ? FMask.FormatEditText(Value) : Value;
  if (Formatted == EditText()) return;
  // Not through TControl::SetText: it compares with the masked Text.
  FSettingEditText = true;
  const auto Restore = qScopeGuard([this] { FSettingEditText = false; });
  Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Formatted.utf16()));
  Perform(CM_TEXTCHANGED, 0, 0);
}

String TCustomMaskEdit::GetText() {
  return IsMasked() ? FMask.TextFromEditText(EditText()) : TCustomEdit::GetText();
}

// methods

void TCustomMaskEdit::ValidateEdit() {
  if (!IsMasked()) return;
  const int Pos = FMask.Validate(EditText());
  if (Pos < 0) return;
  // Leaving the control is what usually validates: the focus comes back.
  if (CanFocus() && !Focused()) SetFocus();
  SetSel(Pos, 0);
  MessageBeep(MB_OK);
  throw EDBEditError(SMaskEditErr);
}

void TCustomMaskEdit::Reset() {
  if (!Modified()) return;
  SetEditText(FOldValue);
  SetModified(false);
}

// editing

// WM_SETTEXT clears Modified before the change is announced, so the text of
// every programmatic set is an unmodified state; user edits are not.
void TCustomMaskEdit::Change() {
  if (!Modified()) FOldValue = EditText();
  TCustomEdit::Change();
}

bool TCustomMaskEdit::canModify() { return !ReadOnly() && EditCanModify(); }

// Only the units that differ are replaced: one undo step, one Change.
void TCustomMaskEdit::applyEdit(const String& NewEditText, Integer Caret) {
  const String Old = EditText();
  qsizetype Start = 0;
  while (Start < Old.size() && Start < NewEditText.size() && Old[Start] == NewEditText[Start]) ++Start;
  qsizetype OldEnd = Old.size();
  qsizetype NewEnd = NewEditText.size();
  while (OldEnd > Start && NewEnd > Start && Old[OldEnd - 1] == NewEditText[NewEnd - 1]) {
    --OldEnd;
    --NewEnd;
  }
  if (OldEnd > Start || NewEnd > Start) {
    SetSel(Integer(Start), Integer(OldEnd - Start));
    if (!ReplaceSelection(NewEditText.mid(Start, NewEnd - Start))) return;
  }
  SetSel(Caret, 0);
}

// The text is laid out anew first: the edit's CharCase may have bent a
// literal of the mask.
void TCustomMaskEdit::typeChar(Char Key) {
  if (!canModify()) return;
  String Edited = FMask.FormatEditText(EditText());
  Integer Caret = SelStart();
  if (FMask.InputText(Edited, Caret, SelLength(), String(Key)) == 0) {
    MessageBeep(MB_OK);
    return;
  }
  applyEdit(Edited, Caret);
}

void TCustomMaskEdit::deleteKey(bool Backward) {
  if (canModify()) blank(Backward);
}

void TCustomMaskEdit::blank(bool Backward) {
  String Edited = FMask.FormatEditText(EditText());
  Integer Caret = SelStart();
  FMask.DeleteText(Edited, Caret, SelLength(), Backward);
  applyEdit(Edited, Caret);
}

void TCustomMaskEdit::KeyDown(Word& Key, TShiftState Shift) {
  TCustomEdit::KeyDown(Key, Shift);
  if (!IsMasked() || Key == 0 || Shift.Contains(ssAlt)) return;
  switch (Key) {
    case VK_ESCAPE:
      if (!Modified()) return;
      Reset();
      break;
    case VK_DELETE:
      if (Shift.Contains(ssShift) && !Shift.Contains(ssCtrl)) return;  // the edit's cut
      deleteKey(/*Backward=*/false);
      break;
    case VK_BACK:
      deleteKey(/*Backward=*/true);
      break;
    default:
      return;
  }
  Key = 0;
}

// Backspace and Esc were keys; the clipboard's control characters and the
// others go on to the edit.
void TCustomMaskEdit::KeyPress(Char& Key) {
  TCustomEdit::KeyPress(Key);
  if (!IsMasked() || Key.isNull()) return;
  const ushort Code = Key.unicode();
  if (Code == VK_BACK || Code == VK_ESCAPE || Code == CtrlBackspace) {
    Key = Char();
    return;
  }
  if (Code < u' ') return;
  typeChar(Key);
  Key = Char();
}

// message handlers

void TCustomMaskEdit::WMSetText(TMessage& Message) {
  if (!IsMasked() || FSettingEditText) {
    DispatchAs<TCustomEdit>(Message);
    return;
  }
  const LPARAM Given = Message.LParam;
  const auto* Raw = reinterpret_cast<const Char*>(Given);
  const String Formatted = FMask.EditTextFromText(Raw ? String(Raw) : String());
  Message.LParam = reinterpret_cast<LPARAM>(Formatted.utf16());
  DispatchAs<TCustomEdit>(Message);
  Message.LParam = Given;
}

void TCustomMaskEdit::WMCut(TMessage& Message) {
  if (!IsMasked()) {
    DispatchAs<TCustomEdit>(Message);
    return;
  }
  if (PasswordChar().unicode() != 0 || SelLength() == 0 || !canModify()) return;
  Perform(WM_COPY, 0, 0);
  blank(/*Backward=*/false);
}

void TCustomMaskEdit::WMClear(TMessage& Message) {
  if (!IsMasked()) {
    DispatchAs<TCustomEdit>(Message);
    return;
  }
  if (SelLength() > 0) deleteKey(/*Backward=*/false);
}

// A paste cut short by a refused character (or by the end of the mask)
// beeps, as typing it would.
void TCustomMaskEdit::WMPaste(TMessage& Message) {
  if (!IsMasked()) {
    DispatchAs<TCustomEdit>(Message);
    return;
  }
  if (!canModify()) return;
  const String Chars = Clipboard()->AsText();
  String Edited = FMask.FormatEditText(EditText());
  Integer Caret = SelStart();
  const int Taken = FMask.InputText(Edited, Caret, SelLength(), Chars);
  if (Taken < Chars.size()) MessageBeep(MB_OK);
  if (Taken > 0) applyEdit(Edited, Caret);
}

void TCustomMaskEdit::CMEnter(TCMEnter& Message) {
  if (!Modified()) FOldValue = EditText();
  DispatchAs<TCustomEdit>(Message);
}

void TCustomMaskEdit::CMExit(TCMExit& Message) {
  if (IsMasked() && Modified()) ValidateEdit();
  DispatchAs<TCustomEdit>(Message);
}

void TCustomMaskEdit::CMWantSpecialKey(TCMWantSpecialKey& Message) {
  DispatchAs<TCustomEdit>(Message);
  if (Message.CharCode == VK_ESCAPE && IsMasked() && Modified()) Message.Result = 1;
}

// ---------------------------------------------------------------------------
// TMaskEdit

void TMaskEdit::DescribeProperties(TPropertyTable& Props) {
  TEdit::DescribeProperties(Props);
  Props.Add("EditMask", &TMaskEdit::EditMask, &TMaskEdit::SetEditMask);
}
