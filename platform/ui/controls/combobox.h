// Combo boxes: a text field with a button that drops down a list of items.
//
// The face is ours: the sunken edge, clWindow, the drop-down button as the
// classic combo arrow at the right.  csDropDownList shows the chosen item's
// text (in clHighlight while focused); csDropDown edits its text in an inner
// TCustomEdit child, which gives typing, selection, undo and the clipboard
// messages of every edit, and sends its keys to the combo box first.
//
// The drop-down list is a list box of our own in a non-activating popup
// window, below the control (above it when the screen ends), DropDownCount
// rows high at most and DroppedWidth wide, in the control's Color.  It holds
// the items, and its selection is the combo box's ItemIndex.  While it is
// open the list holds the mouse capture: a click on an item chooses it and
// closes the list, a press anywhere else only closes it; the focus stays on
// the combo box, whose keys move the list's selection (Enter chooses, Esc
// closes without choosing).  Losing the focus, WM_CANCELMODE (the
// application deactivates) and losing the capture close it without choosing.
//
// csDropDownList answers a typed character as a list box does: the next
// item starting with it is chosen while the list is closed, selected in the
// list while it is open.
//
// Events.  The user's choice (a click in the list, Enter in it, Up/Down or a
// typed character while it is closed) fires OnClick, OnSelect and OnChange,
// in that order, when it changes the item or the text; typing fires
// OnChange.  ItemIndex, Text and the items set by code fire nothing.
// OnDropDown runs before the list opens (it may fill the items), OnCloseUp
// after it closed.
#pragma once

#include "platform/ui/controls/editbuffer.h"
#include "platform/ui/controls/listbox.h"

class TComboEdit;
class TComboListBox;

// csSimple edits as csDropDown; the owner-draw styles show as csDropDownList.
RTL_ENUM(TComboBoxStyle, csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable)

// ---------------------------------------------------------------------------
// TCustomComboBox

class TCustomComboBox : public TCustomControl {
  RTL_CLASS(TCustomComboBox, TCustomControl)
  UI_MESSAGE_MAP
public:
  explicit TCustomComboBox(TComponent* AOwner);
  ~TCustomComboBox() override;

  // items
  // The drop-down list's lines and objects; adding or deleting leaves Text
  // alone, and ItemIndex stays on its item.
  TStrings* Items() const;
  void SetItems(TStrings* Value);
  void Clear();

  // properties
  // Switching between editable and list styles keeps Items and ItemIndex.
  TComboBoxStyle Style() const { return FStyle; }
  void SetStyle(TComboBoxStyle Value);
  // −1: none.  The setter shows the item's text (−1: an empty text).  While
  // loading it waits for Loaded: stored forms give it before the items.
  Integer ItemIndex() const;
  void SetItemIndex(Integer Value);
  // Text (Caption) reads the shown text; setting it selects the item equal
  // to it ignoring case, else none; only csDropDown shows a text that is no
  // item.  Typing does the same matching.
  bool Sorted() const;
  void SetSorted(bool Value);
  // Rows the open list shows at most (at least 1; default 8).
  Integer DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(Integer Value) { FDropDownCount = std::max(Integer(1), Value); }
  bool DroppedDown() const { return FDroppedDown; }
  // Opens (OnDropDown first) or closes the list without choosing.
  void SetDroppedDown(bool Value);
  // The open list's width: the control's width or more.
  Integer DroppedWidth() const { return std::max(FDroppedWidth, Width()); }
  void SetDroppedWidth(Integer Value) { FDroppedWidth = Value; }
  // The list's rows (the font's height unless set); the control is its own
  // height + 8.
  Integer ItemHeight() const;
  void SetItemHeight(Integer Value);
  // The editable text's case conversion and length limit (typing only).
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value);
  Integer MaxLength() const { return FMaxLength; }
  void SetMaxLength(Integer Value);
  // The edit's selection; csDropDownList has none (0, 0, "").
  Integer SelStart();
  void SetSelStart(Integer Value);
  Integer SelLength();
  void SetSelLength(Integer Value);
  String SelText();
  void SetSelText(const String& Value);
  void SelectAll();
  // With an edit the edit is the tab stop, so that Tab and Shift+Tab go
  // into it and out of it in one step; the combo box itself is one only
  // without (this hides TWinControl's pair, which gives the effective flag).
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool Value);

  // The open list (tests; painting).
  TCustomListBox* DropDownList() const;

  // reimplemented
  // The inner edit's focus counts as the combo box's.
  bool Focused() override;
  // The height is fixed by ItemHeight.
  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;
  // The loaded ItemIndex, else the item matching the loaded Text.
  void Loaded() override;

  // events
  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;

protected:
  // introduced virtuals
  virtual void Change();    // OnChange
  virtual void Select();    // OnSelect
  virtual void DropDown();  // OnDropDown
  virtual void CloseUp();   // OnCloseUp

  // reimplemented
  // A single border (AddSingleBorderStyle).
  void CreateParams(TCreateParams& Params) override;
  // The edit fits the client area the frame leaves.
  void CreateWnd() override;
  void Paint() override;
  void Resize() override;
  // OnKeyDown first; then Alt+Down/Alt+Up/F4 open or close the list; while
  // it is open the navigation keys move in it, Enter chooses, Esc closes;
  // while it is closed Up/Down choose the previous/next item.
  void KeyDown(Word& Key, TShiftState Shift) override;
  // OnKeyPress first; then, without an edit, a character it left moves to
  // the next item starting with it (chosen while the list is closed).
  void KeyPress(Char& Key) override;
  // A left press focuses the control and opens or closes the list.
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  // message handlers
  void WMGetText(TMessage& Message);
  void WMSetText(TMessage& Message);
  void WMGetDlgCode(TMessage& Message);
  // The focus goes on to the inner edit.
  void WMSetFocus(TWMSetFocus& Message);
  void WMCancelMode(TMessage& Message);
  // Enter and Esc belong to the open list.
  void CMWantSpecialKey(TCMWantSpecialKey& Message);
  // The wheel scrolls the open list.
  void WMMouseWheel(TMessage& Message);
  void CMExit(TMessage& Message);
  void CMEnter(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  // The list and the edit show the colour, the edit clBtnFace and grey
  // text while disabled.
  void CMColorChanged(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);
  void CMVisibleChanged(TMessage& Message);

private:
  friend class TComboEdit;
  friend class TComboListBox;
  bool editable() const { return FStyle == csDropDown || FStyle == csSimple; }
  void updateEdit();
  void placeEdit();
  void updateEditLook();
  void setEditText(const String& Value);
  String itemText() const;   // the chosen item's text; "" for none
  String shownText() const;  // the edit's text, else itemText
  TRect buttonRect();
  void dropDown();
  void closeUp(bool Choose);
  // The list's selection to Target (−1: nothing happens); a change is the
  // user's choice while the list is closed.
  void moveTo(Integer Target);
  void userChose(Integer Index);
  void editChanged();

  TComboListBox* FList;      // owned, freed last: a popup without parent or owner
  TComboEdit* FEdit = nullptr;  // child in the editable styles
  TComboBoxStyle FStyle = csDropDown;
  Integer FDropDownCount = 8;
  bool FDroppedDown = false;
  Integer FDropIndex = -1;   // ItemIndex when the list opened: Esc goes back to it
  Integer FLoadedItemIndex = -1;  // ItemIndex read while loading
  Integer FDroppedWidth = 0;
  TEditCharCase FCharCase = ecNormal;
  Integer FMaxLength = 0;
  bool FSettingText = false;  // the edit's text is being set by code: no OnChange
  bool FTabStop = true;
};

// ---------------------------------------------------------------------------
// TComboBox

class TComboBox : public TCustomComboBox {
  RTL_CLASS(TComboBox, TCustomComboBox)
public:
  explicit TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}
  static void DescribeProperties(TPropertyTable& Props);
};
