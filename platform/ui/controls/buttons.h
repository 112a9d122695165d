// Push buttons, check boxes, radio buttons and radio groups.
//
// Every button is painted by us in the classic look, through the frame
// controls of edges.h (DrawFrameControl), so a button and a grid cell that
// draw the same element match pixel for pixel.  Input is ours: a press and a release
// inside, Space released after being pressed, or Alt + the caption's
// accelerator make the user's click, which each class turns into its own
// action (a push button clicks, a check box toggles, a radio button checks).
//
// Enter and Esc reach push buttons through CM_DIALOGKEY, which the form
// broadcasts when the focused control does not want the key: Enter clicks
// the focused button, or the Default one when no button has the focus; Esc
// clicks the Cancel button.
//
// Bitmap buttons, speed buttons and tool buttons (comctrls.h) show a glyph
// beside their caption, laid out and drawn by DrawButtonContent; speed and
// tool buttons are painted by us entirely (DrawButtonFrame, TButtonMouse).
#pragma once

#include "platform/rtl/alignment.h"
#include "platform/ui/controls/stdctrls.h"

#include <functional>
#include <memory>
#include <vector>

class TBitmap;
class TGlyphHolder;
class TStrings;
class TStringList;

RTL_ENUM(TCheckBoxState, cbUnchecked, cbChecked, cbGrayed)
RTL_ENUM(TButtonLayout, blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom)
// The glyph frames of a bitmap, side by side in this order.
RTL_ENUM(TButtonState, bsUp, bsDisabled, bsDown, bsExclusive)
RTL_ENUM(TBitBtnKind, bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll)
// 1 .. 4 frames in a glyph bitmap.
using TNumGlyphs = Integer;

// ---------------------------------------------------------------------------
// Glyph and caption of the buttons that show both

// Where a button's glyph and caption go inside its client rectangle.
struct TButtonContentLayout {
  TPoint GlyphPos;  // the glyph's top-left corner
  TRect TextBounds;  // the caption's extent (empty without caption)
};

// Layout names the glyph's side; glyph and caption centre across the other
// axis.  Margin is the glyph's distance from its side's edge (-1: glyph,
// spacing and caption centred together); Spacing lies between glyph and
// caption (-1: the room left over split evenly; with Margin -1 too, margin,
// spacing and the far gap are equal).  Spacing counts as 0 when the glyph
// or the caption is missing.  Offset moves everything (a pressed button's
// content shifts by (1, 1)).  The caption is measured in Canvas's font.
TButtonContentLayout CalcButtonLayout(TCanvas* Canvas, const TRect& Client, TPoint Offset, const String& Caption,
                                      TSize GlyphSize, TButtonLayout Layout, Integer Margin, Integer Spacing);
// CalcButtonLayout, then DrawGlyph(GlyphPos) when GlyphSize is not empty and
// the caption in Canvas's font ("&" underlines; disabled: embossed in
// clBtnHighlight and clBtnShadow), over a transparent background.
void DrawButtonContent(TCanvas* Canvas, const TRect& Client, TPoint Offset, const String& Caption, TSize GlyphSize,
                       const std::function<void(TPoint)>& DrawGlyph, TButtonLayout Layout, Integer Margin,
                       Integer Spacing, bool Enabled);
// The frame of a button we paint: a flat one shows a thin raised frame while
// Hot and a sunken one while Pressed, nothing otherwise (the background shows
// through); a standard one is a raised button face, sunken while Pressed.
void DrawButtonFrame(TCanvas* Canvas, const TRect& Rect, bool Flat, bool Hot, bool Pressed);

// The mouse state of a button painted by us: pressed while the left button
// that went down on it is held and the mouse is inside it, hot while the
// mouse is over it.  Each call answers whether the look changed.
class TButtonMouse {
public:
  bool Down(TMouseButton Button);
  bool Move(TControl* Control, int X, int Y);
  bool Up(TMouseButton Button);
  bool Enter();
  bool Leave();
  // Forgets a held button (the control got disabled or hidden).
  bool Reset();
  // Input stopped (WM_CANCELMODE): the held button is let go without a
  // click, which Control would otherwise get on the next release inside.
  bool Cancel(TControl* Control);

  bool Pressed() const { return FDragging && FInside; }
  bool Hot() const { return FMouseIn; }

private:
  bool FDragging = false;  // the left button went down here and is held
  bool FInside = false;    // the mouse is inside while dragging
  bool FMouseIn = false;   // between CM_MOUSEENTER and CM_MOUSELEAVE
};

// ---------------------------------------------------------------------------
// TButtonControl: the pressed state and the user's click.

class TButtonControl : public TCustomControl {
  RTL_CLASS(TButtonControl, TCustomControl)
  UI_MESSAGE_MAP
public:
  explicit TButtonControl(TComponent* AOwner);
  ~TButtonControl() override;

  // The mouse or Space is down on the button: it shows pushed.
  bool Pressed() const { return FPressed; }

protected:
  // What a click by the user does.
  virtual void UserClick() = 0;
  // The caption inside Bounds in the control's font, with Flags of DrawText
  // ("&" underlines); disabled: embossed in clBtnHighlight and clBtnShadow.
  void DrawCaption(const TRect& Bounds, gdi::UINT Flags);
  // A check box or radio button: the client area in Color, the frame
  // control of State (DFC_BUTTON; inactive and pushed are added here) in a
  // MarkSize square centred from top to bottom at the left (MarkRight: the
  // right), the caption beside it and, focused, the focus rectangle around
  // the caption.
  void PaintMark(gdi::UINT State, int MarkSize, bool MarkRight);

  // reimplemented
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
  // Input stops (a dialog, the application deactivating): the press is over
  // without a click.
  void WMCancelMode(TMessage& Message);

private:
  void setPressed(bool Value);
  // UserClick; False when its handlers freed the control (a radio group
  // whose OnClick changes its Items frees its buttons).
  bool userClickSurvived();

  bool FPressed = false;  // mouse or Space down on the control
  bool* FFreed = nullptr;  // set while UserClick runs: the destructor sets it
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
  // The face's content, centred in the client area and moved by (1, 1)
  // while Down: the caption.
  virtual void DrawContent(bool Down);

  // reimplemented
  void UserClick() override { Click(); }
  // The raised face (pushed: a one-pixel shadow frame), inside a black frame
  // while Enter would click it; the focus rectangle 4 pixels in.
  void Paint() override;

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
  // The 13 x 13 box beside the caption on the Alignment side.
  void Paint() override;

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
  // The 12 x 12 circle left of the caption.
  void Paint() override;

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

// ---------------------------------------------------------------------------
// TBitBtn: a push button with a glyph beside its caption.  The glyph's
// bottom-left pixel colour is transparent.  Kind gives a caption and a glyph
// of its own (the Glyph set wins while not empty); it leaves Default and
// ModalResult alone.

class TBitBtn : public TButton {
  RTL_CLASS(TBitBtn, TButton)
public:
  explicit TBitBtn(TComponent* AOwner);
  ~TBitBtn() override;
  static void DescribeProperties(TPropertyTable& Props);

  // properties
  // NumGlyphs frames side by side: up, disabled, down, exclusive; without a
  // disabled frame the up frame shows embossed.
  TBitmap* Glyph() const;
  void SetGlyph(TBitmap* Value);
  TNumGlyphs NumGlyphs() const;
  void SetNumGlyphs(TNumGlyphs Value);
  // Not bkCustom: sets the kind's caption.
  TBitBtnKind Kind() const { return FKind; }
  void SetKind(TBitBtnKind Value);
  TButtonLayout Layout() const;
  void SetLayout(TButtonLayout Value);
  // -1 or more (see CalcButtonLayout); other values are ignored.
  Integer Margin() const;
  void SetMargin(Integer Value);
  Integer Spacing() const;
  void SetSpacing(Integer Value);

protected:
  // reimplemented
  // The glyph and the caption (DrawButtonContent).
  void DrawContent(bool Down) override;

private:
  std::unique_ptr<TGlyphHolder> FGlyph;  // its standard glyph is the kind's drawing
  TBitBtnKind FKind = bkCustom;
};

// ---------------------------------------------------------------------------
// TSpeedButton: a graphic button (never focused) with a glyph and a
// caption; OnClick when the left button is released inside it.

class TSpeedButton : public TGraphicControl {
  RTL_CLASS(TSpeedButton, TGraphicControl)
  UI_MESSAGE_MAP
public:
  explicit TSpeedButton(TComponent* AOwner);
  ~TSpeedButton() override;
  static void DescribeProperties(TPropertyTable& Props);

  // properties
  // As TBitBtn's.
  TBitmap* Glyph() const;
  void SetGlyph(TBitmap* Value);
  TNumGlyphs NumGlyphs() const;
  void SetNumGlyphs(TNumGlyphs Value);
  // No frame until the mouse is over the button.
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  TButtonLayout Layout() const;
  void SetLayout(TButtonLayout Value);
  Integer Margin() const;
  void SetMargin(Integer Value);
  Integer Spacing() const;
  void SetSpacing(Integer Value);

protected:
  // reimplemented
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  // message handlers
  void CMMouseEnter(TCMMouseEnter& Message);
  void CMMouseLeave(TCMMouseLeave& Message);
  void CMEnabledChanged(TMessage& Message);
  void CMTextChanged(TMessage& Message);
  // Input stops: the held button comes up without a click.
  void WMCancelMode(TMessage& Message);

private:
  std::unique_ptr<TGlyphHolder> FGlyph;
  TButtonMouse FMouse;
  bool FFlat = false;
};
