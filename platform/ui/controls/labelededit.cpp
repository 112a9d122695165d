#include "platform/ui/controls/labelededit.h"

// ---------------------------------------------------------------------------
// TBoundLabel

TBoundLabel::TBoundLabel(TComponent* AOwner) : TCustomLabel(AOwner) {
  SetName(QStringLiteral("SubLabel"));
  SetSubComponent(true);
}

void TBoundLabel::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Caption", &TBoundLabel::Caption, &TBoundLabel::SetCaption);
  Props.Add("Color", &TBoundLabel::Color, &TBoundLabel::SetColor);
  Props.Add("Font", &TBoundLabel::Font, &TBoundLabel::SetFont);
  Props.Add("ParentColor", &TBoundLabel::ParentColor, &TBoundLabel::SetParentColor).Default(true);
  Props.Add("ParentFont", &TBoundLabel::ParentFont, &TBoundLabel::SetParentFont).Default(true);
  Props.Add("ShowAccelChar", &TBoundLabel::ShowAccelChar, &TBoundLabel::SetShowAccelChar).Default(true);
  Props.Add("Transparent", &TBoundLabel::Transparent, &TBoundLabel::SetTransparent).Default(false);
  Props.Add("Layout", &TBoundLabel::Layout, &TBoundLabel::SetLayout).Default(tlTop);
  Props.Add("WordWrap", &TBoundLabel::WordWrap, &TBoundLabel::SetWordWrap).Default(false);
}

// While the edit is being made it has no label yet: nothing to place.
void TBoundLabel::AdjustBounds() {
  TCustomLabel::AdjustBounds();
  auto* Edit = dynamic_cast<TCustomLabeledEdit*>(Owner());
  if (Edit && Edit->EditLabel() == this) Edit->SetLabelPosition();
}

// ---------------------------------------------------------------------------
// TCustomLabeledEdit

const TMessageMap& TCustomLabeledEdit::MessageMap() {
  static const TMessageMap Map(TCustomEdit::MessageMap(), {
      {CM_VISIBLECHANGED, &TCustomLabeledEdit::CMVisibleChanged},
      {CM_ENABLEDCHANGED, &TCustomLabeledEdit::CMEnabledChanged},
  });
  return Map;
}

// The label is made in the body: its constructor asks EditLabel, which must
// read nullptr by then.
TCustomLabeledEdit::TCustomLabeledEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
  FEditLabel = new TBoundLabel(this);
  FEditLabel->FreeNotification(this);
  FEditLabel->SetFocusControl(this);
  SetLabelPosition();
}

// ---------------------------------------------------------------------------
// TLabeledEdit

void TLabeledEdit::DescribeProperties(TPropertyTable& Props) {
  TEdit::DescribeProperties(Props);
  Props.Add("EditLabel", &TLabeledEdit::EditLabel);
  Props.Add("LabelSpacing", &TLabeledEdit::LabelSpacing, &TLabeledEdit::SetLabelSpacing).Default(3);
}

void TCustomLabeledEdit::SetLabelSpacing(Integer Value) {
  FLabelSpacing = Value;
  SetLabelPosition();
}

void TCustomLabeledEdit::SetLabelPosition() {
  if (!FEditLabel) return;
  FEditLabel->SetBounds(Left(), Top() - FEditLabel->Height() - FLabelSpacing, FEditLabel->Width(),
                        FEditLabel->Height());
}

void TCustomLabeledEdit::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  TCustomEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
  SetLabelPosition();
}

void TCustomLabeledEdit::SetParent(TWinControl* AParent) {
  TCustomEdit::SetParent(AParent);
  if (!FEditLabel) return;
  FEditLabel->SetParent(AParent);
  FEditLabel->SetVisible(Visible());
}

void TCustomLabeledEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomEdit::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FEditLabel) FEditLabel = nullptr;
}

void TCustomLabeledEdit::CMVisibleChanged(TMessage& Message) {
  DispatchAs<TCustomEdit>(Message);
  if (FEditLabel) FEditLabel->SetVisible(Visible());
}

void TCustomLabeledEdit::CMEnabledChanged(TMessage& Message) {
  DispatchAs<TCustomEdit>(Message);
  if (FEditLabel) FEditLabel->SetEnabled(Enabled());
}
