#include "platform/ui/windowing/beep.h"

#include "platform/ui/windowing/windowingstate_p.h"

#include <QApplication>

struct windowing_detail::TBeepSeam {
  test::TBeepRecorder* Current = nullptr;  // the innermost live recorder; only the GUI thread beeps
};

namespace {

test::TBeepRecorder*& currentRecorder() { return WindowingState().BeepSeam.Get().Current; }

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
