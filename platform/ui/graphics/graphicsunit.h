// The graphics library's unit: the printer, the component classes of this
// layer registered by name, then "gdi32.dll" and "msimg32.dll" as built-in
// modules (modules.h) for code that looks their functions up at run time.
// Listed after the runtime's unit.
#pragma once

#include "platform/rtl/units.h"

void InitializeGraphics();
void FinalizeGraphics();
inline constexpr TUnit GraphicsUnit{"ui/graphics", &InitializeGraphics, &FinalizeGraphics};
