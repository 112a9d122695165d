// Test main for every suite: starts the runtime's unit and pins the format
// settings to the invariant ones, so no result depends on the host's locale.
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/units.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  InitializeUnits({RtlUnit});
  FormatSettings() = TFormatSettings::Invariant();
  const int Result = RUN_ALL_TESTS();
  FinalizeUnits();
  return Result;
}
