// The library's popup menus: platform popup menus whose TMenuItemEh items
// may leave the menu open when clicked (CloseMenuOnClick False), so a user
// can tick several entries in a row, and may mirror their check onto
// another item (ActualMenuItem).  The platform's menus keep such a menu open
// themselves (TMenuItem::CloseMenuOnClick), so no menu window is watched
// here.
#pragma once

#include "platform/ui/windowing/menus.h"

class TPopupMenuEh : public TPopupMenu {
  RTL_CLASS(TPopupMenuEh, TPopupMenu)
public:
  explicit TPopupMenuEh(TComponent* AOwner) : TPopupMenu(AOwner) {}
};

class TMenuItemEh : public TMenuItem {
  RTL_CLASS(TMenuItemEh, TMenuItem)
public:
  explicit TMenuItemEh(TComponent* AOwner) : TMenuItem(AOwner) {}
  // AActualMenuItem (not owned) follows this item's check.
  TMenuItemEh(TComponent* AOwner, TMenuItem* AActualMenuItem);

  bool CloseMenuOnClick() const override { return FCloseMenuOnClick; }
  void SetCloseMenuOnClick(bool Value) { FCloseMenuOnClick = Value; }
  TMenuItem* ActualMenuItem() const { return FActualMenuItem; }
  void SetActualMenuItem(TMenuItem* Value) { FActualMenuItem = Value; }

  // The check toggles (AutoCheck, enabled items) with OnClick and the action
  // held back, the actual item takes the check, then OnClick or the action
  // runs whether or not the item is enabled.
  void Click() override;

private:
  bool FCloseMenuOnClick = true;
  TMenuItem* FActualMenuItem = nullptr;
};
