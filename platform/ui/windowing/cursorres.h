// Cursor resources of the program's own module.
//
// The program has no resource section: it registers its cursors by name at
// start-up (an image and its hot spot), and LoadCursor finds them as the
// original found cursor resources in the module.  A handle is made once per
// registration and lives for the run, as loaded cursors do.
#pragma once

#include "platform/rtl/system.h"
#include "platform/ui/graphics/edges.h"
#include "platform/ui/windowing/mouse.h"

class QImage;

namespace gdi {

// The program's own module; 0 names the system's resources, which hold no
// named cursors here.
HINSTANCE MainInstance();

// The cursor registered under Name (any case) for MainInstance(); 0 for
// another instance, a numeric name or a name never registered.
HCURSOR LoadCursorW(HINSTANCE Instance, const WCHAR* Name);
inline HCURSOR LoadCursor(HINSTANCE Instance, const WCHAR* Name) { return LoadCursorW(Instance, Name); }

}  // namespace gdi

// Makes Image, with its hot spot at HotSpot, the cursor resource Name of the
// program's module; registering a name again replaces its cursor.
void RegisterCursorResource(const String& Name, const QImage& Image, TPoint HotSpot);
