// Spin edits: an integer edit with a pair of spin buttons at its right edge.
//
// TSpinButton is a windowed control of two halves painted as scroll arrows
// (the up arrow on the top half).  A left press on a half gives the focus to
// FocusControl and steps once at once; while the button stays down over that
// half it steps again InitRepeatPause ms later, then every RepeatPause ms
// (WM_TIMER, on the message queue's clock).
//
// TSpinEdit is our edit holding a number as text.  Value reads the text as
// an integer, MinValue when it is none, and is not clamped while the user
// types; the Value setter, the Up and Down keys, the spin buttons and
// leaving the control (CM_EXIT) clamp into MinValue..MaxValue, which limit
// nothing when they are equal.  The user types digits and '-' only.
#pragma once

#include "platform/ui/controls/edits.h"

// ---------------------------------------------------------------------------
// TSpinButton

class TSpinButton : public TCustomControl {
  RTL_CLASS(TSpinButton, TCustomControl)
  UI_MESSAGE_MAP
public:
  // ms from a press to the first repeated step, and between the next ones
  static constexpr gdi::UINT InitRepeatPause = 400;
  static constexpr gdi::UINT RepeatPause = 100;

  explicit TSpinButton(TComponent* AOwner);

  // properties
  // Takes the focus on a press; not owned, forgotten when freed.
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* Value);

  // events
  TNotifyEvent OnUpClick;
  TNotifyEvent OnDownClick;

protected:
  // reimplemented
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // message handlers
  void WMTimer(TWMTimer& Message);
  void WMCancelMode(TWMCancelMode& Message);
  void CMEnabledChanged(TMessage& Message);

private:
  enum class THalf { None, Up, Down };
  THalf halfAt(TPoint Point);
  TRect halfRect(THalf Half);
  void step(THalf Half);
  void release();
  void setShownDown(bool Value);

  TWinControl* FFocusControl = nullptr;
  THalf FPressed = THalf::None;  // the half the left button went down on
  bool FShownDown = false;       // the pressed half is under the mouse
};

// ---------------------------------------------------------------------------
// TSpinEdit

class TSpinEdit : public TCustomEdit {
  RTL_CLASS(TSpinEdit, TCustomEdit)
  UI_MESSAGE_MAP
public:
  // The spin button's width in pixels.
  static constexpr Integer ButtonWidth = 15;

  explicit TSpinEdit(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);

  // properties
  // False refuses every change by the user's typing, deleting and the
  // clipboard; the buttons and keys still step.
  bool EditorEnabled() const { return FEditorEnabled; }
  void SetEditorEnabled(bool Value) { FEditorEnabled = Value; }
  Integer Increment() const { return FIncrement; }
  void SetIncrement(Integer Value) { FIncrement = Value; }
  // Setting a limit does not clamp the text.
  Integer MinValue() const { return FMinValue; }
  void SetMinValue(Integer Value) { FMinValue = Value; }
  Integer MaxValue() const { return FMaxValue; }
  void SetMaxValue(Integer Value) { FMaxValue = Value; }
  // StrToInt(Text), MinValue when the text is no integer.
  Integer Value();
  // The text of the clamped NewValue (OnChange once when it differs).
  void SetValue(Integer NewValue);
  // Owned; nullptr once something freed it.
  TSpinButton* Button() const { return FButton; }

protected:
  // introduced virtuals
  // Value + Increment (Up) or - Increment (Down), clamped; a beep when
  // ReadOnly.
  virtual void UpClick(TObject* Sender);
  virtual void DownClick(TObject* Sender);
  // Value clamped into the limits when they differ.
  Integer CheckValue(Integer NewValue) const;

  // reimplemented
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  bool EditCanModify() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Up and Down left by OnKeyDown step instead of moving the caret.
  void KeyDown(Word& Key, TShiftState Shift) override;
  // Printable characters other than digits and '-' (any, without
  // EditorEnabled) are dropped with a beep.
  void KeyPress(Char& Key) override;

  // message handlers
  void WMSize(TWMSize& Message);
  void CMExit(TCMExit& Message);
  // The spin button follows Enabled.
  void CMEnabledChanged(TMessage& Message);

private:
  void placeButton();
  // Value + Delta, clamped; a beep when ReadOnly.
  void step(Int64 Delta);

  TSpinButton* FButton;  // owned, a child window; nullptr once freed
  Integer FIncrement = 1;
  Integer FMinValue = 0;
  Integer FMaxValue = 0;
  bool FEditorEnabled = true;
};
