// The masked edit: our edit with an EditMask laid over its text.
//
// While masked, the edit's own text is the EditText of the mask engine
// (maskutils.h): one character per mask position, literals in place, the
// blank char where nothing was entered, so its length never changes.  The
// user's keys work on positions instead of shifting text:
//   a printable character   goes to the first edit position at or after the
//                           caret when it fits (case-converted), the caret
//                           then skipping literals; a refused one beeps;
//   Backspace / Delete      blank the selection, else the edit position
//                           before (Backspace, the caret moving there) or at
//                           or after the caret;
//   a character or a paste  over a selection blanks it first; a paste types
//                           the clipboard text until a character is refused;
//   cut / clear             blank the selection (cut copies it first, and
//                           with a PasswordChar does nothing);
//   Esc                     resets a modified edit (Reset).
// Every modification asks ReadOnly and EditCanModify first; a refusal drops
// it without a beep.  Leaving a modified edit (CM_EXIT) validates it.
// Without a mask (an empty one, or one of directives only) the control is a
// plain edit.
#pragma once

#include "platform/rtl/exceptions.h"
#include "platform/rtl/maskutils.h"
#include "platform/ui/controls/edits.h"

RTL_DECLARE_EXCEPTION(EDBEditError, Exception)

inline constexpr const char* SMaskEditErr = "Invalid input value. Use escape key to abandon changes";

// ---------------------------------------------------------------------------
// TCustomMaskEdit

class TCustomMaskEdit : public TCustomEdit {
  RTL_CLASS(TCustomMaskEdit, TCustomEdit)
  UI_MESSAGE_MAP
public:
  explicit TCustomMaskEdit(TComponent* AOwner);

  // properties
  // mask[;save-literals[;blank]] (maskutils.h), parsed with the global
  // settings' separators.  A new mask keeps Text: it is formatted anew.
  const String& EditMask() const { return FEditMask; }
  void SetEditMask(const String& Value);
  bool IsMasked() const { return FMask.IsMasked(); }
  // The edit's own text: the displayed one, blank chars and literals in
  // place.  The setter lays Value on the mask position by position.
  String EditText();
  void SetEditText(const String& Value);
  // Text (TControl's) is, while masked: with save-literals EditText with
  // blanks as spaces; without, the entered characters only
  // (TMaskEngine::TextFromEditText).  Setting it (and WM_SETTEXT) formats the
  // value into the mask (TMaskEngine::EditTextFromText).  WM_GETTEXT answers
  // EditText.

  // methods
  // A masked edit's first required position still blank: the caret moves
  // there, a beep, and EDBEditError SMaskEditErr.
  virtual void ValidateEdit();
  // A modified edit gets back the text of its last unmodified state and is
  // no longer Modified.
  virtual void Reset();

protected:
  // reimplemented
  // The masked Text.
  String GetText() override;
  // Remembers the text of an unmodified state for Reset.
  void Change() override;
  // Esc in a modified masked edit resets it; Delete and Backspace blank.
  void KeyDown(Word& Key, TShiftState Shift) override;
  // A masked edit types printable characters and Backspace itself.
  void KeyPress(Char& Key) override;

  // message handlers
  // LParam holds a Text, laid on the mask (EditText's setter passes its
  // edit text through unchanged).
  void WMSetText(TMessage& Message);
  void WMCut(TMessage& Message);
  void WMPaste(TMessage& Message);
  void WMClear(TMessage& Message);
  void CMEnter(TCMEnter& Message);
  void CMExit(TCMExit& Message);
  // Esc is the edit's while a masked edit is modified.
  void CMWantSpecialKey(TCMWantSpecialKey& Message);

private:
  bool canModify();
  // Puts a changed EditText in as one user edit and the caret at Caret.
  void applyEdit(const String& NewEditText, Integer Caret);
  void typeChar(Char Key);
  // Backspace (Backward) or Delete: deleteKey asks canModify, blank does not.
  void deleteKey(bool Backward);
  void blank(bool Backward);

  String FEditMask;
  TMaskEngine FMask{String()};
  String FOldValue;  // EditText of the last unmodified state
  bool FSettingEditText = false;  // WM_SETTEXT carries an edit text
};

// ---------------------------------------------------------------------------
// TMaskEdit

class TMaskEdit : public TCustomMaskEdit {
  RTL_CLASS(TMaskEdit, TCustomMaskEdit)
public:
  explicit TMaskEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {}
  static void DescribeProperties(TPropertyTable& Props);
};
