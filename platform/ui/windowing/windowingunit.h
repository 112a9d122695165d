// The windowing library's unit: Application and Screen, the message box
// behind the modal seam, the clipboard format registry and the clipboard,
// then the component classes of this layer registered by name.  Listed after
// GraphicsUnit.
#pragma once

#include "platform/rtl/units.h"

void InitializeWindowing();
void FinalizeWindowing();
inline constexpr TUnit WindowingUnit{"ui/windowing", &InitializeWindowing, &FinalizeWindowing};
