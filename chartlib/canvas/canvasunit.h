// The canvas unit's start-up and shutdown, and the library-wide values they
// set: the platform flag, the default font, the device-context colour
// routines, the private fonts and the list of canvas classes.
//
// Start-up (after the message table's):
//   1. TeeNTPlatform from the platform identifier (2: NT family);
//   2. the default font from the message table ("Arial", 8), made 9 points
//      and the Japanese proportional gothic face under a Japanese user
//      language;
//   3. the private fonts (privatefonts.h);
//   4. SetDCBrushColor and SetDCPenColor looked up in "gdi32.dll";
//   5. the canvas class list with the GDI canvas.
// Shutdown undoes it: private fonts removed, the list freed, the libraries
// released, the default font name cleared, the colour buttons' saved custom
// colours (teecontrols.h) freed.  Outside the two the values are
// empty, false or null.
#pragma once

#include "platform/rtl/modules.h"
#include "platform/rtl/units.h"
#include "platform/ui/graphics/gdi.h"

#include <vector>

class TCanvas3DMeta;
using TCanvas3DClass = const TCanvas3DMeta*;

bool TeeNTPlatform();
const String& TeeDefaultFontName();
Integer TeeDefaultFontSize();

// SetDCBrushColor / SetDCPenColor of "gdi32.dll", or nullptr when missing.
using TSetDCColorProc = gdi::COLORREF (*)(gdi::HDC DC, gdi::COLORREF Color);
TSetDCColorProc TeeSetDCBrushColorProc();
TSetDCColorProc TeeSetDCPenColorProc();

// The canvas classes present in the program, in registration order; not
// owned, duplicates not checked.  Registering is appending, unregistering
// removes the first occurrence.
std::vector<TCanvas3DClass>& TeeCanvasClassList();

// The panel unit's switch: charts let the platform erase their background
// before painting, and the GDI+ canvas clears its buffer to the back colour
// at the start of every paint.  Off at start-up; reads false outside the
// unit's life.
bool TeeEraseBackground();
void SetTeeEraseBackground(bool Value);

// Called by every chart unit before it registers classes for streaming.  The
// runtime keeps one class registry without groups, so classes registered
// afterwards are found by name whatever group was active: the call has
// nothing left to do.
void TeeActivateClassGroup();

void InitializeCanvas();
void FinalizeCanvas();
inline constexpr TUnit CanvasUnit{"chartlib/canvas", &InitializeCanvas, &FinalizeCanvas};
