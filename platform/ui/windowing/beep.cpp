#include "platform/ui/windowing/beep.h"

#include <QApplication>

namespace {

// The innermost live recorder; only the GUI thread beeps.
test::TBeepRecorder*& currentRecorder() {
  static test::TBeepRecorder* Current = nullptr;
  return Current;
}

}  // namespace

namespace gdi {

BOOL MessageBeep(UINT Type) {
  if (test::TBeepRecorder* Recorder = currentRecorder()) {
    Recorder->FTypes.push_back(Type);
    return 1;
  }
  if (qobject_cast<QApplication*>(QCoreApplication::instance())) QApplication::beep();
  return 1;
}

}  // namespace gdi

namespace test {

TBeepRecorder::TBeepRecorder() : FPrevious(currentRecorder()) { currentRecorder() = this; }

TBeepRecorder::~TBeepRecorder() { currentRecorder() = FPrevious; }

}  // namespace test
