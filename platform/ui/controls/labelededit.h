// The labelled edit: an edit with a label of its own above it.
//
// The label (EditLabel, a TBoundLabel) is a component the edit owns and
// frees, but a sibling on screen: it lives on the edit's parent, LabelSpacing
// pixels above the edit with its left edge on the edit's, and follows the
// edit's bounds, parent, Visible and Enabled.  A label whose size changes
// (its caption, its font) moves back into place.  Alt + the accelerator of
// the label's caption focuses the edit.
#pragma once

#include "platform/ui/controls/edits.h"
#include "platform/ui/controls/stdctrls.h"

class TCustomLabeledEdit;

// ---------------------------------------------------------------------------
// TBoundLabel

class TBoundLabel : public TCustomLabel {
  RTL_CLASS(TBoundLabel, TCustomLabel)
public:
  // Named "SubLabel", a subcomponent of AOwner (the labelled edit).
  explicit TBoundLabel(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);

protected:
  // reimplemented
  // Measures, then asks the owning edit to place the label again.
  void AdjustBounds() override;
};

// ---------------------------------------------------------------------------
// TCustomLabeledEdit

class TCustomLabeledEdit : public TCustomEdit {
  RTL_CLASS(TCustomLabeledEdit, TCustomEdit)
  UI_MESSAGE_MAP
public:
  static constexpr Integer DefaultLabelSpacing = 3;

  explicit TCustomLabeledEdit(TComponent* AOwner);

  // properties
  // Owned; nullptr once something freed it.
  TBoundLabel* EditLabel() const { return FEditLabel; }
  // Pixels between the label's bottom and the edit's top.
  Integer LabelSpacing() const { return FLabelSpacing; }
  void SetLabelSpacing(Integer Value);

  // methods
  // Puts the label LabelSpacing above the edit, left edges aligned.
  void SetLabelPosition();

  // reimplemented
  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;
  void SetParent(TWinControl* AParent) override;

protected:
  // reimplemented
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // message handlers
  void CMVisibleChanged(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);

private:
  TBoundLabel* FEditLabel = nullptr;
  Integer FLabelSpacing = DefaultLabelSpacing;
};

class TLabeledEdit : public TCustomLabeledEdit {
  RTL_CLASS(TLabeledEdit, TCustomLabeledEdit)
public:
  explicit TLabeledEdit(TComponent* AOwner) : TCustomLabeledEdit(AOwner) {}
  static void DescribeProperties(TPropertyTable& Props);
};
