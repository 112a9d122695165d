// The edit and memo controls: our own text editing, drawn by us.
//
// TCustomEdit keeps its text in a TEditBuffer (editbuffer.h) and answers the
// edit messages from it: WM_GETTEXT / WM_SETTEXT, the clipboard messages, the
// EM_* selection, rectangle and undo messages.  Line breaks are CR LF and
// positions count them as two.
//
// Single or multi-line
//   The ES_* bits CreateParams leaves at window creation decide: ES_MULTILINE
//   makes a multi-line edit (line breaks kept as CR LF, Enter and Tab by
//   WM_GETDLGCODE), wrapped at the formatting rectangle unless ES_AUTOHSCROLL
//   or WS_HSCROLL is set; ES_LEFT / ES_RIGHT / ES_CENTER align the lines.
//   Until the first window a TCustomEdit is single-line and a TCustomMemo
//   multi-line.  RecreateWnd keeps text, selection, Modified and undo.
//
// Modification
//   Every change from the user or from a message (typing, Backspace, Delete,
//   cut, paste, clear, undo) first asks ReadOnly, then the virtual
//   EditCanModify; a refusal drops it.  Typing and pasting convert by CharCase
//   and stop at MaxLength; a single-line paste takes the clipboard text up to
//   its first line break; a clipboard without text pastes nothing.  Programmatic changes (Text, SelText, Lines) skip
//   those rules.  Every change of the text sends EN_CHANGE once: to the
//   parent window as WM_COMMAND (the control id in the low word, EN_CHANGE in
//   the high one, the edit's window in LParam), whose default hands it back as
//   CN_COMMAND, where the edit runs Change (OnChange).  An edit without a
//   parent window performs that CN_COMMAND itself.
//
// Lines
//   EM_GETLINECOUNT, EM_LINEINDEX, EM_LINEFROMCHAR, EM_LINELENGTH, EM_GETLINE,
//   EM_POSFROMCHAR and EM_CHARFROMPOS count the lines as shown: a wrapped
//   line is a line of its own; a single-line edit has one.
//
// Keys
//   WM_KEYDOWN and WM_CHAR run KeyDown / KeyPress (the form's KeyPreview,
//   OnKeyDown / OnKeyPress) first; the edit's own handling follows only when
//   they left the key (Key != 0 / #0), with the character KeyPress left.  A
//   descendant that handles a key itself sets it to 0 in its KeyDown or
//   KeyPress override.  Keys: arrows, Home/End (Ctrl: the text's ends),
//   Ctrl+Left/Right by words, Shift extends, Page Up/Down (multi-line), Delete
//   and Backspace; Ctrl+X/C/V/Z, Shift+Del, Shift+Ins and Ctrl+Ins send
//   WM_CUT / WM_COPY / WM_PASTE / WM_UNDO.
//
// Mouse
//   A press places the caret (Shift: extends), a drag selects under capture, a
//   double click selects the word.  AutoSelect selects everything when the
//   focus comes by keyboard, not by a click.  Without PopupMenu the right
//   button shows our own menu (Undo, Cut, Copy, Paste, Delete, Select All),
//   sending the messages.
//
// Painting
//   BorderStyle bsSingle is the sunken client edge; the background is Color,
//   the text Font (clGrayText when disabled), PasswordChar once per unit; the
//   selection in clHighlight / clHighlightText while focused, or always when
//   HideSelection is False; a steady caret line while focused.  The view
//   scrolls to keep the caret inside the formatting rectangle.
#pragma once

#include "platform/rtl/alignment.h"
#include "platform/rtl/stringlist.h"
#include "platform/ui/controls/editbuffer.h"
#include "platform/ui/controls/extctrls.h"
#include "platform/ui/windowing/controls.h"

#include <memory>
#include <vector>

RTL_ENUM(TScrollStyle, ssNone, ssHorizontal, ssVertical, ssBoth)

// ---------------------------------------------------------------------------
// TCustomEdit

class TCustomEdit : public TWinControl {
  RTL_CLASS(TCustomEdit, TWinControl)
  UI_MESSAGE_MAP
public:
  explicit TCustomEdit(TComponent* AOwner);
  ~TCustomEdit() override;

  // properties
  // <= 0: no limit; the stored value reads back as given.  Limits typing
  // and pasting only.
  Integer MaxLength() const { return FMaxLength; }
  void SetMaxLength(Integer Value) { FMaxLength = Value; }
  // Blocks modification by the user and by the clipboard and undo messages;
  // selection and copying stay.
  // The setter sends EM_SETREADONLY.
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  // Converts typed and pasted text and the Text setter; setting it converts
  // the current text (Change when that differs).
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value);
  // Not #0: painted once per unit instead of the text; refuses copy and cut.
  // The setter sends EM_SETPASSWORDCHAR.
  Char PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(Char Value);
  // Select everything when the focus comes by keyboard.
  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool Value) { FAutoSelect = Value; }
  // bsSingle with AutoSize: the height follows the font (text height + 8,
  // + 6 without Ctl3D), at once and after every font change.
  void SetAutoSize(bool Value) override;
  // bsSingle: the sunken client edge (WS_EX_CLIENTEDGE; WS_BORDER without
  // Ctl3D); recreates the window, as a change of Ctl3D on a bsSingle edit
  // does (its AutoSize height follows).
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  // ES_LEFT / ES_RIGHT / ES_CENTER, left and right swapped under
  // right-to-left alignment; recreates the window.
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  // True: the selection shows only while focused.
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  // Set by every change of the text except through WM_SETTEXT, which clears it.
  bool Modified() const { return FModified; }
  void SetModified(bool Value) { FModified = Value; }
  // The selection as positions of Text (CR LF counts two); the setters clamp
  // (SelStart 99999 puts the caret at the end).  SetSelStart collapses the
  // selection there; SetSelLength keeps SelStart.
  Integer SelStart();
  void SetSelStart(Integer Value);
  Integer SelLength();
  void SetSelLength(Integer Value);
  // Copy(Text, SelStart + 1, SelLength).  The setter replaces the selection
  // (EM_REPLACESEL: no ReadOnly, MaxLength or undo) and fires Change once
  // when the text changed.
  String SelText();
  void SetSelText(const String& Value);
  bool CanUndo();

  // methods
  void SelectAll();
  // Selects Length units from Start (EM_SETSEL; negative values count as 0).
  void SetSel(Integer Start, Integer Length);
  virtual void Clear();  // Text := ""
  // These only Perform their message.
  void ClearSelection();      // WM_CLEAR
  void CutToClipboard();      // WM_CUT
  void CopyToClipboard();     // WM_COPY
  void PasteFromClipboard();  // WM_PASTE
  void Undo();                // WM_UNDO
  void ClearUndo();           // EM_EMPTYUNDOBUFFER

  // The text model (tests, descendants' painting).
  const TEditBuffer& Buffer() const { return FBuffer; }

  // events
  TNotifyEvent OnChange;

protected:
  // introduced virtuals
  // OnChange; runs once per change of the text.
  virtual void Change();
  // Asked before every modification by the user or a message; False drops
  // it.  Base: True.
  virtual bool EditCanModify();
  // Replaces the selection with Value as a user edit: refused (False) when
  // ReadOnly or EditCanModify says no; recorded for Undo; Modified and
  // Change when the text changed; the caret after Value.  No CharCase or
  // MaxLength here (typing and pasting apply them first).
  bool ReplaceSelection(const String& Value);
  // The formatting rectangle the text is laid out and clipped in (client
  // coordinates): EM_SETRECT's, else the client area inside the margins.
  TRect FormatRect();

  // reimplemented
  // As asked: AutoSize is the edit's height rule, and must not shrink the
  // edit around child controls (spin and edit buttons) as a windowed
  // parent's AutoSize would.
  bool CanAutoSize(int& NewWidth, int& NewHeight) override { return true; }
  void CreateParams(TCreateParams& Params) override;
  void CreateWindowHandle(const TCreateParams& Params) override;
  void PaintWindow(gdi::HDC DC) override;
  void DoEnter() override;
  // The edit's own mouse handling, before MouseDown / OnDblClick as the
  // window's default processing runs: a press focuses and places the caret
  // (Shift: extends), a move with the button down selects, a double press
  // selects the word.  Our context menu for WM_CONTEXTMENU about this window
  // that nobody took, and the wheel of a multi-line edit (three lines a
  // notch).
  void DefaultHandler(TMessage& Message) override;

  // message handlers (a descendant's own map entry overrides one; the
  // inherited handling is DispatchAs<TCustomEdit>(Message))
  // Our own painting (PaintWindow) with csCustomPaint set around it.
  void WMPaint(TWMPaint& Message);
  void WMGetText(TMessage& Message);
  void WMGetTextLength(TMessage& Message);
  void WMSetText(TMessage& Message);
  void WMCut(TMessage& Message);
  void WMCopy(TMessage& Message);
  void WMPaste(TMessage& Message);
  void WMClear(TMessage& Message);
  void WMUndo(TMessage& Message);
  // KeyDown / KeyPress first; the edit's own handling of what they left.
  void WMKeyDown(TWMKey& Message);
  void WMChar(TWMKey& Message);
  // DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS; multi-line adds
  // DLGC_WANTALLKEYS.
  void WMGetDlgCode(TWMGetDlgCode& Message);
  void WMSetFocus(TWMSetFocus& Message);
  void WMKillFocus(TWMSetFocus& Message);
  void WMSetRedraw(TMessage& Message);
  void WMSize(TWMSize& Message);
  // Ends a drag of the selection.
  void WMCancelMode(TMessage& Message);
  // WParam = start, LParam = end (-1: the end of the text; start -1: none);
  // EM_GETSEL: Result = MAKELONG(start, end), and into the DWORDs WParam and
  // LParam point to when not null.
  void EMGetSel(TMessage& Message);
  void EMSetSel(TMessage& Message);
  // LParam: the new text (zero-terminated UTF-16), WParam non-zero: undoable.
  // No ReadOnly, EditCanModify or MaxLength; Modified and Change as any edit.
  void EMReplaceSel(TMessage& Message);
  // LParam: a RECT* in client coordinates; null restores the default.
  void EMGetRect(TMessage& Message);
  void EMSetRect(TMessage& Message);    // and repaints
  void EMSetRectNP(TMessage& Message);  // without repainting
  // EC_LEFTMARGIN / EC_RIGHTMARGIN with LParam = MAKELONG(left, right);
  // EM_GETMARGINS answers MAKELONG(left, right).
  void EMSetMargins(TMessage& Message);
  void EMGetMargins(TMessage& Message);
  void EMScrollCaret(TMessage& Message);
  // The first line shown (0 for a single-line edit).
  void EMGetFirstVisibleLine(TMessage& Message);
  void EMCanUndo(TMessage& Message);
  void EMEmptyUndoBuffer(TMessage& Message);
  void EMGetModify(TMessage& Message);
  void EMSetModify(TMessage& Message);
  // The line messages.  A character index or line of -1 names the caret's
  // (EM_LINEFROMCHAR: the selection's start).
  // Result: the number of lines (at least 1).
  void EMGetLineCount(TMessage& Message);
  // WParam: a line; Result: the index of its first character, -1 for a line
  // past the last.
  void EMLineIndex(TMessage& Message);
  // WParam: a character index; Result: its line (the last one past the end).
  void EMLineFromChar(TMessage& Message);
  // WParam: a character index; Result: the length of its line without the
  // line break, 0 past the end.  -1: the unselected characters on the lines
  // the selection touches.  A single-line edit answers its text's length.
  void EMLineLength(TMessage& Message);
  // WParam: a line (ignored by a single-line edit); LParam: a buffer whose
  // first WORD holds its size in characters.  The line is copied without a
  // terminating null; Result: the characters copied (0 for no such line).
  void EMGetLine(TMessage& Message);
  // WParam: a character index; Result: MAKELONG(x, y) of its top left in
  // client coordinates (a line break's: just past its line's last
  // character).  -1 past the last character; a multi-line edit answers the
  // end of the text too.
  void EMPosFromChar(TMessage& Message);
  // LParam: a client point (signed 16-bit x and y); Result: MAKELONG(the
  // nearest character index, its line), each cut to 16 bits.
  void EMCharFromPos(TMessage& Message);
  // WParam: MaxLength (0: no limit).
  void EMLimitText(TMessage& Message);
  // WParam: ReadOnly; ES_READONLY follows.  Result: 1.
  void EMSetReadOnly(TMessage& Message);
  // WParam: PasswordChar (0: none); ES_PASSWORD follows.
  void EMSetPasswordChar(TMessage& Message);
  // A multi-line edit scrolls vertically as WM_VSCROLL's SB_LINEUP,
  // SB_LINEDOWN, SB_PAGEUP or SB_PAGEDOWN would; Result: MAKELONG(the lines
  // scrolled, 1), or 0 for another code or a single-line edit.
  void EMScroll(TMessage& Message);
  // WParam: average characters to scroll sideways (ignored while wrapping;
  // past the longest line allowed), LParam: lines down (stopping at the last
  // page).  Result: 1, or 0 for a single-line edit.
  void EMLineScroll(TMessage& Message);
  // EN_CHANGE runs Change.
  void CNCommand(TWMCommand& Message);
  void CMFontChanged(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);
  void CMColorChanged(TMessage& Message);
  void CMCtl3DChanged(TMessage& Message);

  // The ES_* bits in effect: CreateParams's at window creation, the
  // control's own (ownEditStyle) before.
  gdi::DWORD EditStyle() const;
  bool IsMultiLine() const { return (EditStyle() & gdi::ES_MULTILINE) != 0; }

private:
  friend class TMemoStrings;
  friend class TCustomMemo;
  struct TView;

  // The ES_* bits the properties ask for.
  virtual gdi::DWORD ownEditStyle() const;
  bool canModify();
  void applyEdit(const String& Value, TEditBuffer::TRecord Record);
  void changed();
  // EN_CHANGE (see the top of this file).
  void notifyChange();
  // Sets or clears an ES_* bit of the window's style.
  void setStyleBit(gdi::DWORD Bit, bool On);
  void insertInput(const String& Value);
  void deleteKey(bool Back, bool Word);
  bool editKey(Word Key, TShiftState Shift);
  void mouseMessage(const TWMMouse& Message);
  void moveKey(Word Key, TShiftState Shift);
  void adjustHeight();
  void showContextMenu(TPoint Screen);
  void paint();
  void drawRun(QStringView Line, const std::vector<Integer>& Offsets, Integer From, Integer To, Integer X, Integer Y);
  // layout and view
  const std::vector<TEditLine>& lines();
  const std::vector<TEditLine>& hardLines();
  String displayText() const;
  Integer lineHeight();
  Integer charWidth();
  Integer visibleLineCount();
  Integer lineLeft(Integer LineWidth);
  // Where each unit of Line starts in the shown text, in pixels from the
  // line's start, and last where the line ends.
  std::vector<Integer> lineOffsets(TEditLine Line);
  Integer lineWidth(Integer Line);
  Integer maxLineWidth();
  TPoint caretPoint(Integer Pos);
  Integer positionAt(TPoint Point);
  Integer verticalMove(Integer Pos, Integer Lines);
  bool wraps();
  void layoutChanged();
  void scrollToCaret();
  void setTopLine(Integer Line);
  void setScrollX(Integer X);
  void updateView();
  void updateScrollBars();

  TEditBuffer FBuffer;
  gdi::DWORD FEditStyle = 0;  // valid while the window exists
  Integer FMaxLength = 0;
  bool FReadOnly = false;
  TEditCharCase FCharCase = ecNormal;
  Char FPasswordChar = Char(0);
  bool FAutoSelect = true;
  TBorderStyle FBorderStyle = bsSingle;
  TAlignment FAlignment = taLeftJustify;
  bool FHideSelection = true;
  bool FModified = false;
  std::unique_ptr<TView> FView;
  bool FRedraw = true;              // WM_SETREDRAW
  bool FSelecting = false;          // a left-button drag is selecting
  Char FHighSurrogate = Char(0);    // a typed pair's first half, waiting for the second
  TControlCanvas* FCanvas;          // owned; attached to the paint DC while painting
  TPopupMenu* FContextMenu = nullptr;  // owned (component of this control); made on first use
};

// ---------------------------------------------------------------------------
// TEdit

class TEdit : public TCustomEdit {
  RTL_CLASS(TEdit, TCustomEdit)
public:
  explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
  static void DescribeProperties(TPropertyTable& Props);
};

// ---------------------------------------------------------------------------
// TCustomMemo / TMemo

class TCustomMemo : public TCustomEdit {
  RTL_CLASS(TCustomMemo, TCustomEdit)
  UI_MESSAGE_MAP
public:
  explicit TCustomMemo(TComponent* AOwner);
  ~TCustomMemo() override;

  // properties
  // The hard lines of Text (owned by the memo; see TMemoStrings).
  TStrings* Lines() const;
  void SetLines(TStrings* Value);
  // WS_HSCROLL / WS_VSCROLL; recreates the window.
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  // Wraps at the formatting rectangle's width (no horizontal bar); recreates.
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  // Enter types a line break (else it goes to the form: Default button).
  bool WantReturns() const { return FWantReturns; }
  void SetWantReturns(bool Value) { FWantReturns = Value; }
  // Tab types a tab (else it moves the focus).
  bool WantTabs() const { return FWantTabs; }
  void SetWantTabs(bool Value) { FWantTabs = Value; }
  // The caret as (column, hard line), both from 0; the setter clamps.
  TPoint CaretPos();
  void SetCaretPos(TPoint Value);

protected:
  // reimplemented
  void CreateParams(TCreateParams& Params) override;
  // Enter types nothing without WantReturns.
  void KeyPress(Char& Key) override;

  // message handlers
  // The edit's answer without DLGC_WANTTAB unless WantTabs, without
  // DLGC_WANTALLKEYS unless WantReturns.
  void WMGetDlgCode(TWMGetDlgCode& Message);
  // The window's bars (scrollinfo.h) scroll the view (lines, or pixels
  // sideways); the caret stays.
  void WMVScroll(TWMScroll& Message);
  void WMHScroll(TWMScroll& Message);

private:
  friend class TCustomEdit;
  gdi::DWORD ownEditStyle() const override;

  TStrings* FLines;
  TScrollStyle FScrollBars = ssNone;
  bool FWordWrap = true;
  bool FWantReturns = true;
  bool FWantTabs = false;
};

class TMemo : public TCustomMemo {
  RTL_CLASS(TMemo, TCustomMemo)
public:
  explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
  static void DescribeProperties(TPropertyTable& Props);
};

// ---------------------------------------------------------------------------
// TMemoStrings: a memo's Lines.  Line i is the i-th hard line of the memo's
// Text; a final line break adds no line ("a\r\nb\r\n" has 2).  Insert puts
// S + CR LF at the start of line Index; at Count after a last line without
// a break, CR LF + S.  Delete removes the line with its break.  Text reads
// and sets the memo's Text.  Each change fires the memo's Change once;
// BeginUpdate / EndUpdate hold its painting (WM_SETREDRAW).

class TMemoStrings : public TStrings {
  RTL_CLASS(TMemoStrings, TStrings)
public:
  explicit TMemoStrings(TCustomMemo* Memo) : FMemo(Memo) {}

  void Insert(Integer Index, const String& S) override;
  void Delete(Integer Index) override;
  void Clear() override;

protected:
  String Get(Integer Index) const override;
  Integer GetCount() const override;
  void Put(Integer Index, const String& S) override;
  void SetUpdateState(bool Updating) override;
  String GetTextStr() const override;
  void SetTextStr(const String& Value) override;

private:
  // Replaces Length units from Start with S as a programmatic change.
  void replace(Integer Start, Integer Length, const String& S);
  void checkIndex(Integer Index, Integer Limit) const;

  TCustomMemo* FMemo;  // not owned: the memo owns this list
};
