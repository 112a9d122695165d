// The two private fonts that may ship inside the program as RCDATA
// resources, "DEVAVARIDI" (family "Elektra", an LCD-style face) and
// "TEELEDFONT" ("DS-Digital", a LED-style face), registered with the font
// system while the canvas unit lives.  Both are optional: without the
// resources, or without AddFontMemResourceEx, the program runs without them
// and offers no private names.
#pragma once

#include "platform/rtl/system.h"

class TStrings;

// The two font resources, in registration order.
inline constexpr const char* TeePrivateFontResources[2] = {"DEVAVARIDI", "TEELEDFONT"};

// Run by the canvas unit's start-up and shutdown.
void TeeLoadPrivateFonts();
void TeeRemovePrivateFonts();
// Adds "Elektra" and then "DS-Digital" to Items.
void TeeAddPrivateFontNames(TStrings* Items);

// TeeAddPrivateFontNames once at least one private font was registered, else
// nullptr: lets a font list offer the private families.
using TAddPrivateFontsProc = void (*)(TStrings* Items);
TAddPrivateFontsProc TeeAddPrivateFontsProc();
