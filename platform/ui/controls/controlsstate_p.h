// The standard controls' process-wide state, private to the layer: one part
// per unit, each defined in its unit's source.  UiUnit's start-up makes the
// object and its shutdown frees it; controls made before the unit started (a
// suite that lists only the runtime) get it at first use.
#pragma once

#include "platform/ui/graphics/statepart.h"

namespace controls_detail {

struct TButtonStyle;  // buttons.cpp: the Qt style every push button is drawn with

}  // namespace controls_detail

struct TControlsState {
  TControlsState() = default;
  ~TControlsState() { Free(); }

  TStatePart<controls_detail::TButtonStyle> ButtonStyle;

  // The tests' reset (test::ResetUi) leaves this state alone: the button
  // style is a cache that no test changes, and buttons alive draw with it.
  void Free() { ButtonStyle.Free(); }
};

TControlsState& ControlsState();
