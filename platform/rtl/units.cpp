#include "platform/rtl/units.h"

#include "platform/rtl/formatsettings.h"
#include "platform/rtl/interfaces.h"
#include "platform/rtl/object.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/threads.h"

#include <cstring>
#include <vector>

namespace {

std::vector<TUnit>& initialized() {
  static std::vector<TUnit> Units;
  return Units;
}

}  // namespace

bool IsUnitInitialized(const char* Name) {
  for (const TUnit& U : initialized())
    if (std::strcmp(U.Name, Name) == 0) return true;
  return false;
}

void InitializeUnits(std::initializer_list<TUnit> Units) {
  for (const TUnit& U : Units) {
    if (IsUnitInitialized(U.Name)) continue;
    U.Initialize();
    initialized().push_back(U);
  }
}

void FinalizeUnits() {
  auto& Units = initialized();
  while (!Units.empty()) {
    TUnit U = Units.back();
    Units.pop_back();
    U.Finalize();
  }
}

// Each module's start-up, in dependency order; shutdown runs the reverse.
void InitializeRtl() {
  InitializeStrUtils();  // the user locale, which the format settings start from
  InitializeFormatSettings();
  InitializeClassRegistry();
  InitializeInterfaces();
  InitializeThreads();
}

void FinalizeRtl() {
  FinalizeThreads();
  FinalizeInterfaces();
  FinalizeClassRegistry();
  FinalizeFormatSettings();
  FinalizeStrUtils();
}
