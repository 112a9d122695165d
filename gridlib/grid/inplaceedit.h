// The grid's in-place editor: two nested windows.  TInplaceEdit is a
// borderless host the grid places over the current cell; inside it
// TInplaceEditCoreControl, a masked single-line edit, holds the text.
//
// The core edit decides which keys go back to the grid (the grid's
// IsGridKey) and reports every text change to the grid (UpdateEditText,
// then SetEditText), so the grid sees each keystroke.  Clipboard messages,
// key messages and typed character strings pass through virtual hooks of
// the host, which the data-aware grids' cell editors override.
//
// The grid creates the host lazily (CreateEditor), owns it as a child
// window, and shows it with Move and hides it with Hide; the grid stays its
// form's active control while the focus sits in the core edit.
#pragma once

#include "platform/ui/controls/mask.h"
#include "platform/ui/windowing/controls.h"

class TCustomGridEh;
class TInplaceEditCoreControl;

// ---------------------------------------------------------------------------
// TInplaceEdit

class TInplaceEdit : public TCustomControl {
  RTL_CLASS(TInplaceEdit, TCustomControl)
  UI_MESSAGE_MAP
public:
  explicit TInplaceEdit(TComponent* AOwner);
  // Makes the core edit through CreateEditCoreControl.
  void AfterConstruction() override;

  TCustomGridEh* Grid() const { return FGrid; }
  // Set once, by the grid that created the host.
  void SetGrid(TCustomGridEh* Value) { FGrid = Value; }
  TInplaceEditCoreControl* EditCoreControl() const { return FEditCoreControl; }
  // The message time of the grid's last button-down; 0 once the core edit
  // has used it for a double click.
  gdi::LONG ClickTime() const { return FClickTime; }
  void SetClickTime(gdi::LONG Value) { FClickTime = Value; }

  // placing: an empty Loc hides the editor
  void Move(const TRect& Loc);
  void UpdateLoc(const TRect& Loc);
  // The host's window is shown.
  bool Visible();
  // The host or a window inside it has the focus.
  bool Focused() override;
  // When visible, the focus goes to the core edit.
  void SetFocus() override;
  void Invalidate() override;

  // text and selection, all the core edit's
  String Text();
  void SetText(const String& Value);
  String EditText();
  Integer GetTextLen();
  String SelText();
  void SetSelText(const String& Value);
  Integer SelStart();
  void SetSelStart(Integer Value);
  Integer SelLength();
  void SetSelLength(Integer Value);
  // Selects AStartPos .. AStartPos + ALength through EM_SETSEL.
  void SetSel(Integer AStartPos, Integer ALength);
  void SelectAll();
  // The caret's character index in the core edit.
  Integer CaretIndex();
  Integer MaxLength();
  void SetMaxLength(Integer Value);
  bool ReadOnly();
  void SetReadOnly(bool Value);
  String EditMask();
  void SetEditMask(const String& Value);
  bool IsMasked();
  bool Modified();
  void SetModified(bool Value);
  bool AutoSelect();
  void SetAutoSelect(bool Value);
  void Reset();
  // Nothing in the base host.
  virtual void Deselect() {}
  bool InternalTextSetting() const { return FInternalTextSetting; }

  // ---- introduced virtuals, in slot order ----
  virtual bool EditCanModify();
  // The core edit's place inside the host: (2, 2, Width - 2, Height).
  virtual TRect GetCoreControlRect();
  // True when the host handled the clipboard message itself.
  virtual bool DoClipboardCut(TMessage& Message);
  virtual bool DoClipboardPaste(TMessage& Message);
  virtual bool DoClipboardClear(TMessage& Message);
  // Factory of the core edit, owned by the host.
  virtual TInplaceEditCoreControl* CreateEditCoreControl();
  virtual void UpdateCoreControlBounds();
  // After every text change of the core edit.
  virtual void CoreControlChanged() {}
  // May change or empty the characters of one key press.
  virtual void TranslateCharKeyStr(String& S) {}
  // The core edit lost the focus to FocusedWindow.
  virtual void CoreControlKillFocus(gdi::HWND FocusedWindow) {}
  // The host's key dispatch (key preview, its key events) for a key message
  // of the core edit; a non-zero Result stops the core edit's handling.
  virtual void DoKeyMessage(TMessage& Message);
  // The grid's edit mask, text and limit for the current cell.
  virtual void UpdateContents();
  // Hides the window with no area; the focus goes back to the grid.
  virtual void Hide();

protected:
  // reimplemented
  void WndProc(TMessage& Message) override;
  void Paint() override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  void DblClick() override;

  // message handlers
  void WMGetDlgCode(TWMGetDlgCode& Message);
  void CMShowingChanged(TMessage& Message);

private:
  friend class TInplaceEditCoreControl;
  void place(const TRect& Loc, bool Redraw);

  TCustomGridEh* FGrid = nullptr;
  gdi::LONG FClickTime = 0;
  TInplaceEditCoreControl* FEditCoreControl = nullptr;
  bool FInternalTextSetting = false;
};

// ---------------------------------------------------------------------------
// TInplaceEditCoreControl

class TInplaceEditCoreControl : public TCustomMaskEdit {
  RTL_CLASS(TInplaceEditCoreControl, TCustomMaskEdit)
  UI_MESSAGE_MAP
public:
  // AOwner is the host.
  explicit TInplaceEditCoreControl(TComponent* AOwner);

  TInplaceEdit* ParentEdit() const { return FParentEdit; }
  TCustomGridEh* Grid() const;
  // Caret at the start, nothing selected.
  void Deselect();

  // ---- introduced virtuals, in slot order ----
  virtual void UpdateContents();
  virtual void TranslateCharKeyStr(String& S);

  // The grid's answer.
  bool EditCanModify() override;

protected:
  // reimplemented
  void WndProc(TMessage& Message) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void Change() override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  void DblClick() override;

  // message handlers
  void WMGetDlgCode(TWMGetDlgCode& Message);
  void WMKillFocus(TWMKillFocus& Message);
  void WMCut(TMessage& Message);
  void WMPaste(TMessage& Message);
  void WMClear(TMessage& Message);

private:
  void clipboardMessage(TMessage& Message, bool (TInplaceEdit::*Hook)(TMessage&));
  void buildCharKeyStr(Char& Key);

  String FCharKeyStr;
  TInplaceEdit* FParentEdit;
};
