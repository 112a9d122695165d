#include "platform/ui/windowing/windowingunit.h"

#include "platform/rtl/object.h"
#include "platform/ui/windowing/actions.h"
#include "platform/ui/windowing/application.h"
#include "platform/ui/windowing/clipbrd.h"
#include "platform/ui/windowing/dialogs.h"
#include "platform/ui/windowing/forms.h"
#include "platform/ui/windowing/menus.h"
#include "platform/ui/windowing/timers.h"

#include <vector>

namespace {

const std::vector<TClass>& componentClasses() {
  static const std::vector<TClass> Classes = {
      TForm::StaticClass(),     TTimer::StaticClass(),    TMainMenu::StaticClass(),
      TPopupMenu::StaticClass(), TMenuItem::StaticClass(), TAction::StaticClass()};
  return Classes;
}

}  // namespace

void InitializeWindowing() {
  InitializeForms();
  InstallMessageBox();
  InitializeClipboard();
  for (TClass C : componentClasses()) RegisterClass(C);
}

void FinalizeWindowing() {
  for (TClass C : componentClasses()) UnRegisterClass(C);
  FinalizeClipboard();
  FinalizeForms();
}
