// The graphics library's unit: the printer, then the component classes of
// this layer registered by name.  Listed after the runtime's unit.
#pragma once

#include "platform/rtl/units.h"

void InitializeGraphics();
void FinalizeGraphics();
inline constexpr TUnit GraphicsUnit{"ui/graphics", &InitializeGraphics, &FinalizeGraphics};
