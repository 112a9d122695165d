// Test main of the graphics and window suites: a QApplication (offscreen)
// comes first, because fonts, images and widgets need one.
#include "tests/support/testrunner.h"

#include <QApplication>

int main(int argc, char** argv) {
  QApplication App(argc, argv);
  return RunAllTests(argc, argv);
}
