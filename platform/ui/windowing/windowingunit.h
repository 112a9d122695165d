// The windowing library's unit: the layer's state object (windowingstate_p.h), Application and Screen, the message box
// behind the modal seam, the clipboard format registry and the clipboard,
// then the component classes of this layer registered by name.  Listed after
// GraphicsUnit.
#pragma once

#include "platform/rtl/units.h"

void InitializeWindowing();
void FinalizeWindowing();
inline constexpr TUnit WindowingUnit{"ui/windowing", &InitializeWindowing, &FinalizeWindowing};

// For the tests' reset (test::ResetUi): puts back the queue, the input router,
// focus, mouse, capture, the frame drag and the scroll bar being pressed; the
// windows alive, their order, the cursors given out, the modal and test seams
// (put back by the scopes that set them) and the hooks Application chained
// stay.
void ResetWindowingState();