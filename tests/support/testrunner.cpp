#include "tests/support/testrunner.h"

#include "platform/rtl/formatsettings.h"
#include "platform/rtl/units.h"

#include <gtest/gtest.h>

int RunAllTests(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  InitializeUnits({RtlUnit});
  FormatSettings() = TFormatSettings::Invariant();
  const int Result = RUN_ALL_TESTS();
  FinalizeUnits();
  return Result;
}
