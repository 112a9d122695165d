// Push buttons, check boxes, radio buttons and radio groups.
//
// A button control owns a Qt button (Fusion style) that is never shown on
// its own: the control paints it into its window's image, so snapshots and
// the screen show the same pixels.  Input stays ours: a press and a release
// inside, Space released after being pressed, or Alt + the caption's
// accelerator make the user's click, which each class turns into its own
// action (a push button clicks, a check box toggles, a radio button checks).
//
// Enter and Esc reach push buttons through CM_DIALOGKEY, which the form
// broadcasts when the focused control does not want the key: Enter clicks
// the focused button, or the Default one when no button has the focus; Esc
// clicks the Cancel button.
#pragma once

#include "platform/rtl/alignment.h"
#include "platform/ui/stdctrls.h"

#include <memory>
#include <vector>

class QAbstractButton;
class TStrings;
class TStringList;

RTL_ENUM(TCheckBoxState, cbUnchecked, cbChecked, cbGrayed)

// ---------------------------------------------------------------------------
// TButtonControl: the Qt button and the user's click.

class TButtonControl : public TCustomControl {
  RTL_CLASS(TButtonControl, TCustomControl)
  UI_MESSAGE_MAP
public:
  explicit TButtonControl(TComponent* AOwner);
  ~TButtonControl() override;

  // The Qt button mirroring the control (caption, state, font, enabled).
  QAbstractButton* Button() const { return FButton.get(); }

protected:
  // Takes ownership of the class's Qt button.
  void SetButton(std::unique_ptr<QAbstractButton> Value);
  // What a click by the user does.
  virtual void UserClick() = 0;
  // The Qt button shows the control's state again and is repainted.
  virtual void UpdateButton();

  // reimplemented
  void Paint() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  // message handlers
  void CMTextChanged(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);
  void CMDialogChar(TCMDialogChar& Message);
  void CMColorChanged(TMessage& Message);
  void CMEnter(TMessage& Message);
  void CMExit(TMessage& Message);

private:
  void setPressed(bool Value);

  std::unique_ptr<QAbstractButton> FButton;
  bool FPressed = false;  // mouse or Space down on the control
};

// ---------------------------------------------------------------------------
// TButton

class TButton : public TButtonControl {
  RTL_CLASS(TButton, TButtonControl)
  UI_MESSAGE_MAP
public:
  explicit TButton(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);

  // properties
  // Enter clicks it when no other button has the focus.
  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  // Esc clicks it.
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  // Not mrNone: a click sets the parent form's ModalResult first.
  Integer ModalResult() const { return FModalResult; }
  void SetModalResult(Integer Value) { FModalResult = Value; }

  // reimplemented
  void Click() override;

protected:
  // reimplemented
  void UserClick() override { Click(); }
  void UpdateButton() override;

  // message handlers
  void CMDialogKey(TCMDialogKey& Message);
  void CMFocusChanged(TCMFocusChanged& Message);

private:
  bool FDefault = false;
  bool FCancel = false;
  bool FActive = false;  // Enter clicks it: focused, or Default with no button focused
  Integer FModalResult = 0;
};

// ---------------------------------------------------------------------------
// TCustomCheckBox / TCheckBox

class TCustomCheckBox : public TButtonControl {
  RTL_CLASS(TCustomCheckBox, TButtonControl)
public:
  explicit TCustomCheckBox(TComponent* AOwner);

  // properties
  // taRightJustify puts the caption right of the box.
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  // Toggle passes through cbGrayed.
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
  // Setting a different state fires Click.
  TCheckBoxState State() const { return FState; }
  void SetState(TCheckBoxState Value);
  bool Checked() const { return FState == cbChecked; }
  void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }

  // The next state: unchecked, (grayed,) checked, unchecked ...
  virtual void Toggle();

protected:
  // reimplemented
  void UserClick() override { Toggle(); }
  void UpdateButton() override;

private:
  TAlignment FAlignment = taRightJustify;
  bool FAllowGrayed = false;
  TCheckBoxState FState = cbUnchecked;
};

class TCheckBox : public TCustomCheckBox {
  RTL_CLASS(TCheckBox, TCustomCheckBox)
public:
  explicit TCheckBox(TComponent* AOwner) : TCustomCheckBox(AOwner) {}
  static void DescribeProperties(TPropertyTable& Props);
};

// ---------------------------------------------------------------------------
// TRadioButton

class TRadioButton : public TButtonControl {
  RTL_CLASS(TRadioButton, TButtonControl)
public:
  explicit TRadioButton(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);

  // properties
  // Checking unchecks the radio buttons of the same parent and fires Click;
  // unchecking fires nothing.
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);

protected:
  // reimplemented
  void UserClick() override { SetChecked(true); }
  void UpdateButton() override;

private:
  bool FChecked = false;
};

// ---------------------------------------------------------------------------
// TCustomRadioGroup / TRadioGroup: one radio button per item, filling the
// columns top to bottom, ceil(Count / Columns) to a column, inside the frame.

class TCustomRadioGroup : public TCustomGroupBox {
  RTL_CLASS(TCustomRadioGroup, TCustomGroupBox)
  UI_MESSAGE_MAP
public:
  explicit TCustomRadioGroup(TComponent* AOwner);
  ~TCustomRadioGroup() override;

  // properties
  TStrings* Items() const;
  void SetItems(TStrings* Value);
  // −1: none.  Setting a different index (clamped to −1 .. Count − 1) checks
  // its button and fires Click, as the user's choice does.
  Integer ItemIndex() const { return FItemIndex; }
  void SetItemIndex(Integer Value);
  // 1 .. 16.
  Integer Columns() const { return FColumns; }
  void SetColumns(Integer Value);

  // The radio button of item Index (for tests and painting).
  TRadioButton* Buttons(Integer Index) const { return FButtons[size_t(Index)]; }

protected:
  // reimplemented
  // Places the buttons inside Rect less the frame (AdjustClientRect).
  void AlignControls(TControl* AControl, TRect& Rect) override;

  // message handlers
  // The buttons follow the group's Enabled.
  void CMEnabledChanged(TMessage& Message);

private:
  friend class TGroupButton;
  void itemsChanged(TObject* Sender);

  std::unique_ptr<TStringList> FItems;
  std::vector<TRadioButton*> FButtons;  // children, freed with the group
  Integer FItemIndex = -1;
  Integer FColumns = 1;
};

class TRadioGroup : public TCustomRadioGroup {
  RTL_CLASS(TRadioGroup, TCustomRadioGroup)
public:
  explicit TRadioGroup(TComponent* AOwner) : TCustomRadioGroup(AOwner) {}
  static void DescribeProperties(TPropertyTable& Props);
};
