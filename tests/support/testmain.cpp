// Test main of the suites that need no GUI.
#include "tests/support/testrunner.h"

int main(int argc, char** argv) { return RunAllTests(argc, argv); }
