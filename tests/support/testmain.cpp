// Test main for every suite: starts the runtime's unit and pins the format
// settings to the invariant ones, so no result depends on the host's locale.
// Graphics and window suites are built with BIBLIONA_TEST_GUI and also get a
// QApplication (offscreen), which fonts, images and widgets need.
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/units.h"

#include <gtest/gtest.h>

#ifdef BIBLIONA_TEST_GUI
#include <QApplication>
#endif

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
#ifdef BIBLIONA_TEST_GUI
  QApplication App(argc, argv);
#endif
  InitializeUnits({RtlUnit});
  FormatSettings() = TFormatSettings::Invariant();
  const int Result = RUN_ALL_TESTS();
  FinalizeUnits();
  return Result;
}
