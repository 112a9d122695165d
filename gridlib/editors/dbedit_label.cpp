// TCustomDBEditEh: its caption label follows it (IControlLabelOwnerEh).
#include "gridlib/editors/dbedit.h"

#include "gridlib/editors/controllabel.h"
#include "gridlib/editors/fielddatalink.h"
#include "platform/ui/graphics/metrics.h"

Integer TCustomDBEditEh::GetControlTextBaseline() {
  const Integer TextHeight = fontTextHeight();
  const Integer Border = GetSystemMetrics(SM_CYBORDER);
  return TextHeight + 2 * Border + (Ctl3D() && !FFlat ? 1 : 0);
}

void TCustomDBEditEh::UpdateControlLabelPosition() {
  if (!FControlLabel || !FControlLabelLocation) return;
  TPoint P;
  FControlLabelLocation->CalcLabelPosForControl(FControlLabel->Width(), FControlLabel->Height(), P);
  FControlLabel->SetBounds(P.X, P.Y, FControlLabel->Width(), FControlLabel->Height());
}

void TCustomDBEditEh::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  TCustomMaskEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
  UpdateControlLabelPosition();
}

// An unbound edit's label is captioned with its name.
void TCustomDBEditEh::SetName(const String& NewName) {
  TCustomMaskEdit::SetName(NewName);
  if (FControlLabel) FControlLabel->UpdateCaption();
  UpdateControlLabelPosition();
}

void TCustomDBEditEh::SetParent(TWinControl* AParent) {
  TCustomMaskEdit::SetParent(AParent);
  if (!FControlLabel) return;
  FControlLabel->UpdateParent();
  FControlLabel->UpdateVisibility();
  FControlLabel->UpdateCaption();
}

void TCustomDBEditEh::CMVisibleChanged(TMessage& Message) {
  DispatchAs<TCustomMaskEdit>(Message);
  if (FControlLabel) FControlLabel->UpdateVisibility();
}

void TCustomDBEditEh::CMBiDiModeChanged(TMessage& Message) {
  DispatchAs<TCustomMaskEdit>(Message);
  if (FControlLabel) FControlLabel->SetBiDiMode(BiDiMode());
}
