#include "gridlib/editors/controllabel.h"

#include "gridlib/editors/dbedit.h"

// ---------------------------------------------------------------------------
// TControlLabelEh

TControlLabelEh::TControlLabelEh(TComponent* AOwner) : TCustomLabel(AOwner) {
  SetName("SubLabel");
  SetSubComponent(true);
  AdjustBounds();
  TControl::SetVisible(false);
  UpdateCaption();
}

void TControlLabelEh::DescribeProperties(TPropertyTable& Props) {
  using L = TControlLabelEh;
  // The edit places the label: its position is shown, never stored.
  Props.Redeclare<TControl>("Left", &TControl::Left);
  Props.Redeclare<TControl>("Top", &TControl::Top);
  Props.Override("Width").Stored(&L::IsSizeStored);
  Props.Override("Height").Stored(&L::IsSizeStored);
  Props.Add("Caption", &L::Caption, &L::SetCaption).Stored(&L::IsCaptionStored);
  Props.Add("Visible", &L::Visible, &L::SetVisible).Default(false);
  Props.Add<TCustomLabel>("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout).Default(tlTop);
  Props.Add<TCustomLabel>("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar)
      .Default(true);
  Props.Add<TCustomLabel>("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap).Default(false);
  Props.Add<TCustomLabel>("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent)
      .Default(false);
  Props.Add<TControl>("Color", &TControl::Color, &TControl::SetColor);
  Props.Add<TControl>("Font", &TControl::Font, &TControl::SetFont);
  Props.Add<TControl>("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(true);
  Props.Add<TControl>("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
  Props.Add<TControl>("ShowHint", &TControl::ShowHint, &TControl::SetShowHint).Default(false);
  Props.Add<TControl>("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint).Default(true);
  Props.Add<TControl>("OnClick", &TControl::OnClick, &TControl::OnClick);
  Props.Add<TControl>("OnDblClick", &TControl::OnDblClick, &TControl::OnDblClick);
}

IControlLabelOwnerEh* TControlLabelEh::owner() const { return dynamic_cast<IControlLabelOwnerEh*>(Owner()); }

void TControlLabelEh::SetCaption(const String& Value) {
  if (Value.isEmpty()) {
    FCaptionStored = false;
    UpdateCaption();
    return;
  }
  TControl::SetCaption(Value);
  FCaptionStored = true;
  Invalidate();
}

void TControlLabelEh::UpdateCaption() {
  if (FCaptionStored) return;
  if (IControlLabelOwnerEh* O = owner()) TControl::SetCaption(O->GetControlLabelCaption());
}

void TControlLabelEh::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  UpdateParent();
  UpdateVisibility();
  Invalidate();
}

void TControlLabelEh::UpdateVisibility() {
  if (ComponentState().Contains(csDesigning)) {
    if (FVisible)
      FControlStyle.Exclude(csNoDesignVisible);
    else
      FControlStyle.Include(csNoDesignVisible);
  }
  auto* OwnerControl = dynamic_cast<TControl*>(Owner());
  const bool Show = FVisible && OwnerControl && OwnerControl->Visible();
  if (Show == TControl::Visible())
    Perform(CM_VISIBLECHANGED, gdi::WPARAM(Show), 0);
  else
    TControl::SetVisible(Show);
}

void TControlLabelEh::UpdateParent() {
  if (FVisible && FocusControl() && !ComponentState().Contains(csLoading)) {
    SetParent(FocusControl()->Parent());
    AdjustBounds();
  } else {
    SetParent(nullptr);
  }
}

void TControlLabelEh::Loaded() {
  TCustomLabel::Loaded();
  UpdateParent();
}

void TControlLabelEh::AdjustBounds() {
  TCustomLabel::AdjustBounds();
  if (IControlLabelOwnerEh* O = owner()) O->UpdateControlLabelPosition();
}

// ---------------------------------------------------------------------------
// TControlLabelLocationEh

TControlLabelLocationEh::TControlLabelLocationEh(TControl* EditControl) : FEditControl(EditControl) {}

void TControlLabelLocationEh::DescribeProperties(TPropertyTable& Props) {
  using L = TControlLabelLocationEh;
  Props.Add("LabelSpacingBound", &L::LabelSpacingBound, &L::SetLabelSpacingBound).Default(sbNearBoundEh);
  Props.Add("Spacing", &L::Spacing, &L::SetSpacing).Default(3);
  Props.Add("Offset", &L::Offset, &L::SetOffset).Default(0);
  Props.Add("Position", &L::Position, &L::SetPosition).Default(lpAboveLeftEh);
}

void TControlLabelLocationEh::Assign(TPersistent* Source) {
  auto* From = dynamic_cast<TControlLabelLocationEh*>(Source);
  if (!From) {
    TPersistent::Assign(Source);
    return;
  }
  SetLabelSpacingBound(From->LabelSpacingBound());
  SetSpacing(From->Spacing());
  SetOffset(From->Offset());
  SetPosition(From->Position());
}

void TControlLabelLocationEh::changed() {
  if (auto* Owner = dynamic_cast<IControlLabelOwnerEh*>(FEditControl)) Owner->ControlLabelLocationChanged();
}

void TControlLabelLocationEh::SetLabelSpacingBound(TSpacingBoundEh Value) {
  if (FLabelSpacingBound == Value) return;
  FLabelSpacingBound = Value;
  changed();
}

void TControlLabelLocationEh::SetSpacing(Integer Value) {
  if (FSpacing == Value) return;
  FSpacing = Value;
  changed();
}

void TControlLabelLocationEh::SetOffset(Integer Value) {
  if (FOffset == Value) return;
  FOffset = Value;
  changed();
}

void TControlLabelLocationEh::SetPosition(TLabelPositionEh Value) {
  if (FPosition == Value) return;
  FPosition = Value;
  changed();
}

void TControlLabelLocationEh::CalcLabelPosForControl(Integer LabelWidth, Integer LabelHeight, TPoint& LabelPos) {
  const Integer L = FEditControl->Left(), T = FEditControl->Top();
  const Integer W = FEditControl->Width(), H = FEditControl->Height();
  const Integer S = FSpacing, O = FOffset;
  const bool AboveOrBelow = FPosition <= lpBelowRightEh;
  const Integer A = FLabelSpacingBound == sbNearBoundEh ? 0 : AboveOrBelow ? LabelHeight : LabelWidth;
  auto* Owner = dynamic_cast<IControlLabelOwnerEh*>(FEditControl);
  const Integer Baseline = Owner ? Owner->GetControlTextBaseline() : 0;

  const Integer Above = T - LabelHeight - S + A, Below = T + H + S + A;
  const Integer Left = L - LabelWidth - S + A, Right = L + W + S + A;
  const Integer AlignLeft = L + O, AlignCenter = L + (W - LabelWidth) / 2 + O, AlignRight = L + W - LabelWidth + O;
  const Integer AlignTop = T + O, AlignBaseline = T + Baseline - LabelHeight + O;
  const Integer AlignMiddle = T + (H - LabelHeight) / 2 + O, AlignBottom = T + H - LabelHeight + O;
  switch (FPosition) {
    case lpAboveLeftEh: LabelPos = {AlignLeft, Above}; break;
    case lpAboveCenterEh: LabelPos = {AlignCenter, Above}; break;
    case lpAboveRightEh: LabelPos = {AlignRight, Above}; break;
    case lpBelowLeftEh: LabelPos = {AlignLeft, Below}; break;
    case lpBelowCenterEh: LabelPos = {AlignCenter, Below}; break;
    case lpBelowRightEh: LabelPos = {AlignRight, Below}; break;
    case lpLeftTopEh: LabelPos = {Left, AlignTop}; break;
    case lpLeftTextBaselineEh: LabelPos = {Left, AlignBaseline}; break;
    case lpLeftCenterEh: LabelPos = {Left, AlignMiddle}; break;
    case lpLeftBottomEh: LabelPos = {Left, AlignBottom}; break;
    case lpRightTopEh: LabelPos = {Right, AlignTop}; break;
    case lpRightTextBaselineEh: LabelPos = {Right, AlignBaseline}; break;
    case lpRightCenterEh: LabelPos = {Right, AlignMiddle}; break;
    case lpRightBottomEh: LabelPos = {Right, AlignBottom}; break;
  }
}
