#include "gridlib/editors/editorsunit.h"

#include "gridlib/base/painters.h"
#include "gridlib/editors/speedbutton.h"

#include <vector>

namespace {

std::vector<TClass> streamableClasses() {
  return {TSpeedButtonEh::StaticClass()};
}

}  // namespace

void InitializeGridLibEditorsEh() {
  for (TClass C : streamableClasses()) RegisterClass(C);
}

void FinalizeGridLibEditorsEh() {
  for (TClass C : streamableClasses()) UnRegisterClass(C);
}
