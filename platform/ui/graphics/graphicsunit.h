// The graphics library's unit: the layer's state object (graphicsstate_p.h), the printer, the component classes of this
// layer registered by name, then "gdi32.dll" and "msimg32.dll" as built-in
// modules (modules.h) for code that looks their functions up at run time.
// Listed after the runtime's unit.
#pragma once

#include "platform/rtl/units.h"

void InitializeGraphics();
void FinalizeGraphics();
inline constexpr TUnit GraphicsUnit{"ui/graphics", &InitializeGraphics, &FinalizeGraphics};

// For the tests' reset (test::ResetUi): puts back every setting, seam and
// cache of the layer (system colours, screen metrics, text engine, style
// services, font caches); the GDI objects alive, the shared handles and the
// registrations of unit start-ups stay.
void ResetGraphicsState();
