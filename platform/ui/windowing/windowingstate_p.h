// The windowing layer's process-wide state, private to the layer: one part
// per unit, each defined in its unit's source.  WindowingUnit's start-up
// makes the object and its shutdown frees it; code that makes windows before
// the unit started (a suite that lists only the runtime) gets it at first use.
#pragma once

#include "platform/ui/graphics/statepart.h"

namespace windowing_detail {

struct THandleTable;      // hwnd.cpp: the window handles, the application hook, the synchronize wake-up
struct TQueue;            // msgqueue.cpp: posted, input and timer messages and the pump
struct TRouter;           // inputrouter.cpp: key states, capture, double clicks, cursor, hooks
struct TFocusState;       // focus.cpp: the focused and the active window
struct TMouseState;       // mouse.cpp: cursors and the mouse control
struct TWindowState;      // window.cpp: top-level order, frame drag, Qt paint depth
struct TScrollTrack;      // scrollinfo.cpp: the window scroll bar being pressed
struct TControlState;     // controls.cpp: the capture control and the canvases holding a DC
struct TCursorResources;  // cursorres.cpp: cursors registered by name
struct TDialogState;      // dialogs.cpp: the message box being shown
struct TModalSeam;        // forms.cpp: the modal responder and the message box behind it
struct TMenuSeam;         // menus.cpp: the popup menu responder
struct TInstalled;        // application.cpp: the hooks Application chained
struct TFailureSeam;      // modaltest.cpp: where unanswered modal requests are reported
struct TBeepSeam;         // beep.cpp: the beep recorder
struct TCaretState;       // caret.cpp: the caret and its owner

}  // namespace windowing_detail

struct TWindowingState {
  TWindowingState() = default;
  ~TWindowingState() { Free(); }

  // The handle table comes first: the parts after it hold its handles.
  TStatePart<windowing_detail::THandleTable> Handles;
  TStatePart<windowing_detail::TQueue> Queue;
  TStatePart<windowing_detail::TRouter> Router;
  TStatePart<windowing_detail::TFocusState> Focus;
  TStatePart<windowing_detail::TMouseState> Mouse;
  TStatePart<windowing_detail::TWindowState> Windows;
  TStatePart<windowing_detail::TScrollTrack> ScrollTrack;
  TStatePart<windowing_detail::TControlState> Controls;
  TStatePart<windowing_detail::TCursorResources> CursorResources;
  TStatePart<windowing_detail::TDialogState> Dialogs;
  TStatePart<windowing_detail::TModalSeam> ModalSeam;
  TStatePart<windowing_detail::TMenuSeam> MenuSeam;
  TStatePart<windowing_detail::TInstalled> Installed;
  TStatePart<windowing_detail::TFailureSeam> FailureSeam;
  TStatePart<windowing_detail::TBeepSeam> BeepSeam;
  TStatePart<windowing_detail::TCaretState> Caret;

  // Back to start-up values for the tests' reset (see ResetWindowingState).
  void Reset();
  // Frees the parts, last declared first, while every part can still be
  // reached: what their objects release on the way out finds its part.
  void Free();
};

TWindowingState& WindowingState();
