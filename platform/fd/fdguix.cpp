#include "platform/fd/fdguix.h"

namespace {

struct waitState {
  IFDGUIxWaitCursorHook* Hook = nullptr;
  int CursorComponents = 0;  // live TFDGUIxWaitCursor components
  int Depth = 0;             // open TFDWaitScope objects
  // The hook the outermost scope started, so its StopWait reaches the same
  // one even if the hook or the components change meanwhile.
  IFDGUIxWaitCursorHook* Started = nullptr;
};

waitState& state() {
  static waitState State;
  return State;
}

}  // namespace

IFDGUIxWaitCursorHook* FDGUIxSetWaitCursorHook(IFDGUIxWaitCursorHook* Hook) {
  IFDGUIxWaitCursorHook* Previous = state().Hook;
  state().Hook = Hook;
  return Previous;
}

TFDWaitScope::TFDWaitScope() {
  waitState& S = state();
  // Counted only once StartWait succeeded: a failing constructor has no
  // destructor to balance it.
  if (S.Depth == 0 && S.Hook && S.CursorComponents > 0) {
    S.Hook->StartWait();
    S.Started = S.Hook;
  }
  ++S.Depth;
}

TFDWaitScope::~TFDWaitScope() {
  waitState& S = state();
  if (--S.Depth != 0 || !S.Started) return;
  IFDGUIxWaitCursorHook* Hook = S.Started;
  S.Started = nullptr;
  try {
    Hook->StopWait();
  } catch (...) {
    // A destructor may be running because of another exception.
    HandleException(std::current_exception());
  }
}

TFDGUIxWaitCursor::TFDGUIxWaitCursor(TComponent* AOwner) : TComponent(AOwner) { ++state().CursorComponents; }

TFDGUIxWaitCursor::~TFDGUIxWaitCursor() { --state().CursorComponents; }

void TFDGUIxWaitCursor::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Provider", &TFDGUIxWaitCursor::Provider, &TFDGUIxWaitCursor::SetProvider);
}
