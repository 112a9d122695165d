#include "platform/ui/windowing/windowingunit.h"

#include "platform/rtl/object.h"
#include "platform/ui/windowing/actions.h"
#include "platform/ui/windowing/application.h"
#include "platform/ui/windowing/clipbrd.h"
#include "platform/ui/windowing/dialogs.h"
#include "platform/ui/windowing/forms.h"
#include "platform/ui/windowing/menus.h"
#include "platform/ui/windowing/timers.h"
#include "platform/ui/windowing/windowingstate_p.h"

#include <atomic>
#include <mutex>
#include <vector>

namespace {

std::atomic<TWindowingState*> GState{nullptr};
std::mutex GStateLock;

const std::vector<TClass>& componentClasses() {
  static const std::vector<TClass> Classes = {
      TForm::StaticClass(),     TTimer::StaticClass(),    TMainMenu::StaticClass(),
      TPopupMenu::StaticClass(), TMenuItem::StaticClass(), TAction::StaticClass()};
  return Classes;
}

}  // namespace

void TWindowingState::Free() {
  Caret.Free();
  BeepSeam.Free();
  FailureSeam.Free();
  Installed.Free();
  MenuSeam.Free();
  ModalSeam.Free();
  Dialogs.Free();
  CursorResources.Free();
  Controls.Free();
  ScrollTrack.Free();
  Windows.Free();
  Mouse.Free();
  Focus.Free();
  Router.Free();
  Queue.Free();
  Handles.Free();
}

void TWindowingState::Reset() {
  Queue.Reset();
  Router.Reset();
  Focus.Reset();
  Mouse.Reset();
  Windows.Reset();
  ScrollTrack.Reset();
  Controls.Reset();
  Dialogs.Reset();
  Caret.Reset();
}

TWindowingState& WindowingState() {
  if (TWindowingState* State = GState.load(std::memory_order_acquire)) return *State;
  std::lock_guard Guard(GStateLock);
  if (!GState.load(std::memory_order_relaxed)) GState.store(new TWindowingState, std::memory_order_release);
  return *GState.load(std::memory_order_relaxed);
}

void ResetWindowingState() { WindowingState().Reset(); }

void InitializeWindowing() {
  WindowingState();
  InitializeForms();
  InstallMessageBox();
  InitializeClipboard();
  for (TClass C : componentClasses()) RegisterClass(C);
}

void FinalizeWindowing() {
  for (TClass C : componentClasses()) UnRegisterClass(C);
  FinalizeClipboard();
  FinalizeForms();
  // The parts are freed while the object is still the layer's state, so what
  // their objects release on the way out reaches the dying parts.
  if (TWindowingState* State = GState.load()) {
    State->Free();
    GState.store(nullptr);
    delete State;
  }
}
