// The catalog program.  It starts the units it is built from and reports what
// it can do so far; the catalog's windows join as their libraries land.
#include "platform/rtl/units.h"

#include <cstdio>

int main() {
  InitializeUnits({RtlUnit});
  std::printf("bibliona %s\n", BIBLIONA_VERSION);
  std::printf("runtime library started; the catalog window is not built yet\n");
  FinalizeUnits();
  return 0;
}
