#include "gridlib/base/popupmenus.h"

#include "platform/ui/windowing/actions.h"

TMenuItemEh::TMenuItemEh(TComponent* AOwner, TMenuItem* AActualMenuItem)
    : TMenuItem(AOwner), FActualMenuItem(AActualMenuItem) {}

void TMenuItemEh::Click() {
  const TNotifyEvent SavedOnClick = OnClick;
  TBasicAction* SavedAction = Action();
  OnClick = {};
  SetAction(nullptr);
  TMenuItem::Click();
  if (FActualMenuItem) FActualMenuItem->SetChecked(Checked());
  SetAction(SavedAction);
  OnClick = SavedOnClick;

  TBasicAction* A = Action();
  if (OnClick && A && !(OnClick == A->OnExecute()))
    OnClick(this);
  else if (!ComponentState().Contains(csDesigning) && ActionLink())
    ActionLink()->Execute(this);
  else if (OnClick)
    OnClick(this);
}
