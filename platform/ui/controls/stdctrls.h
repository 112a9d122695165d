// Standard controls painted by us: labels and group boxes.
//
// TCustomLabel is a graphic control that draws its caption with DrawText on
// its parent's window; with AutoSize it takes the size DrawText measures
// (DT_CALCRECT), keeping its left edge, or its right edge when right
// justified.  TCustomGroupBox is a windowed control whose children align
// inside a frame below its caption's line.
#pragma once

#include "platform/rtl/alignment.h"
#include "platform/ui/windowing/controls.h"

// Publishes what every control of these units shows besides its own
// members: Align, Anchors, Enabled, Font, ShowHint, ParentShowHint and the
// click and mouse events.
void DescribeControlProperties(TPropertyTable& Props);

// ---------------------------------------------------------------------------
// TCustomLabel

class TCustomLabel : public TGraphicControl {
  RTL_CLASS(TCustomLabel, TGraphicControl)
  UI_MESSAGE_MAP
public:
  explicit TCustomLabel(TComponent* AOwner);

  // properties
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  // False draws '&' as it is (DT_NOPREFIX).
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool Value);
  // Alt + the caption's accelerator focuses it (CM_DIALOGCHAR); not owned,
  // cleared when it is freed.
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* Value);
  // False fills the bounds with Color first (csOpaque).
  bool Transparent() const { return !FControlStyle.Contains(csOpaque); }
  void SetTransparent(bool Value);

  // reimplemented
  void SetAutoSize(bool Value) override;

protected:
  // introduced virtuals
  // The text drawn: the caption here.
  virtual String GetLabelText();
  // Draws (or with DT_CALCRECT measures into Rect) the label text on Canvas
  // with Flags; disabled text is embossed in clBtnHighlight and clBtnShadow.
  virtual void DoDrawText(TRect& Rect, gdi::UINT Flags);
  // With AutoSize, the bounds DoDrawText measures; right-justified labels
  // keep their right edge.
  virtual void AdjustBounds();

  // reimplemented
  void Paint() override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // message handlers
  void CMTextChanged(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMDialogChar(TCMDialogChar& Message);

private:
  TAlignment FAlignment = taLeftJustify;
  TTextLayout FLayout = tlTop;
  bool FWordWrap = false;
  bool FShowAccelChar = true;
  TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
  RTL_CLASS(TLabel, TCustomLabel)
public:
  explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
  static void DescribeProperties(TPropertyTable& Props);
};

// ---------------------------------------------------------------------------
// TCustomGroupBox: a frame (etched with Ctl3D, else clWindowFrame) whose top
// runs through the middle of the caption's line; the caption sits 8 pixels
// from the left on the control's colour.  Alt + the caption's accelerator
// focuses its first child in tab order (with TabStop if any has one).

class TCustomGroupBox : public TCustomControl {
  RTL_CLASS(TCustomGroupBox, TCustomControl)
  UI_MESSAGE_MAP
public:
  explicit TCustomGroupBox(TComponent* AOwner);

  // reimplemented
  // Below the caption's line, one pixel inside the frame (two with Ctl3D).
  void AdjustClientRect(TRect& Rect) override;

protected:
  // reimplemented
  void Paint() override;

  // message handlers
  void CMTextChanged(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMDialogChar(TCMDialogChar& Message);
};

class TGroupBox : public TCustomGroupBox {
  RTL_CLASS(TGroupBox, TCustomGroupBox)
public:
  explicit TGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {}
  static void DescribeProperties(TPropertyTable& Props);
};
