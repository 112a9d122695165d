#include "gridlib/editors/editorsunit.h"

#include "gridlib/base/painters.h"
#include "gridlib/editors/dbedit.h"
#include "gridlib/editors/dropdownforms.h"
#include "gridlib/editors/editbuttoncontrol.h"
#include "gridlib/editors/editbuttons.h"
#include "gridlib/editors/speedbutton.h"

#include <vector>

namespace {

std::vector<TClass> streamableClasses() {
  return {TSpeedButtonEh::StaticClass(), TEditButtonControlEh::StaticClass(), TDBEditEh::StaticClass(),
          TCustomDropDownFormEh::StaticClass()};
}

}  // namespace

void InitializeGridLibEditorsEh() {
  // A cache left by an earlier start-up stays; the slot owns whatever it holds.
  if (!GetButtonsBitmapCacheEh()) SetButtonsBitmapCacheEh(new TButtonsBitmapCache);
  for (TClass C : streamableClasses()) RegisterClass(C);
  SetDefaultEditButtonActionProc(&DefaultEditButtonAction);
}

void FinalizeGridLibEditorsEh() {
  for (TClass C : streamableClasses()) UnRegisterClass(C);
  SetDefaultEditButtonActionProc(nullptr);
}
