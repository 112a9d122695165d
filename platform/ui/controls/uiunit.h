// The standard controls' unit: the layer's state object (controlsstate_p.h),
// the common dialogs behind the modal seam, then the control classes
// registered by name.  Listed after GraphicsUnit and WindowingUnit, which
// every control stands on.
#pragma once

#include "platform/rtl/units.h"

void InitializeUi();
void FinalizeUi();
inline constexpr TUnit UiUnit{"ui/controls", &InitializeUi, &FinalizeUi};
