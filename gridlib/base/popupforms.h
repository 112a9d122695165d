// The popup form that never takes the focus: the base of the drop-down list
// forms, the grid's drop-down boxes, the data hint and the drag-feedback
// windows.  It shows without activating (WS_EX_NOACTIVATE, and clicks answer
// WM_MOUSEACTIVATE with MA_NOACTIVATE), so the control that opened it keeps
// the focus; key presses that reach the popup are first sent on to
// MasterActionsControl, so that control keeps its keys too.
#pragma once

#include "platform/ui/windowing/forms.h"

class TControlCanvas;

class TPopupInactiveFormEh : public TForm {
  RTL_CLASS(TPopupInactiveFormEh, TForm)
  UI_MESSAGE_MAP
public:
  // Borderless, poDesigned, stay on top, with a drop shadow; its bidi mode
  // follows its parent's.
  explicit TPopupInactiveFormEh(TComponent* AOwner);
  ~TPopupInactiveFormEh() override;

  // Shows the form where it stands without activating it.
  void Show();
  // True shows (Show), False hides; the current value changes nothing.
  void SetVisible(bool Value);
  bool CanFocus() override { return false; }
  // The client area less BorderWidth on every side.
  void AdjustClientRect(TRect& Rect) override;

  // properties
  // 2 with a border style other than none, else 0; the border's raised
  // edges take that much off every side of the client area.
  TBorderWidth GetBorderWidth() const;
  TBorderWidth BorderWidth() const { return GetBorderWidth(); }
  bool DropShadow() const { return FDropShadow; }
  void SetDropShadow(bool Value) { FDropShadow = Value; }
  // The control the popup belongs to (not owned).
  TWinControl* MasterFocusControl() const { return FMasterFocusControl; }
  void SetMasterFocusControl(TWinControl* Value);
  // Receives the key presses that reach the popup first (not owned).
  TWinControl* MasterActionsControl() const { return FMasterActionsControl; }
  void SetMasterActionsControl(TWinControl* Value);

  TCanvas* Canvas() const;

protected:
  // introduced virtuals
  // The raised outer and inner edges round the client area while
  // BorderWidth is not 0.
  virtual void Paint();

  // reimplemented
  void WndProc(TMessage& Message) override;
  // CS_HREDRAW | CS_VREDRAW, CS_DROPSHADOW with DropShadow; WS_EX_NOACTIVATE.
  void CreateParams(TCreateParams& Params) override;
  void PaintWindow(gdi::HDC DC) override;
  // Forgets a freed master control.
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // message handlers
  // Set-focus, key-down and activation keep the handling of a plain
  // windowed control and of a form: the popup has no focus handling of
  // its own.
  void WMMouseActivate(TMessage& Message);
  void WMPaint(TWMPaint& Message);

private:
  void setMaster(TWinControl*& Field, TWinControl* Value);

  bool FDropShadow = true;
  TWinControl* FMasterActionsControl = nullptr;
  TWinControl* FMasterFocusControl = nullptr;
  TControlCanvas* FCanvas;
};
