// The mouse at control level: the control under the cursor (CM_MOUSEENTER /
// CM_MOUSELEAVE), cursors and WM_SETCURSOR.
//
// Enter and leave: after each routed mouse event and at idle time
// (CheckMouseControl) the control under the cursor (graphic controls too) is
// compared with the last one; on a change the old one gets CM_MOUSELEAVE and
// the new one CM_MOUSEENTER, both with LParam 0 (each passes the notice to its
// parent with LParam = itself).  While a control holds the capture only it
// counts: it is left when the cursor leaves it and entered again on return.
//
// Cursors: Screen.Cursor (ScreenCursor) wins unless crDefault; else a window
// asked WM_SETCURSOR with HTCLIENT shows the Cursor of the control under the
// point (a graphic child's, else its own), else the arrow.  The cursor table
// (Screen.Cursors[]) maps a TCursor to a cursor handle: the built-in crXXX
// values to Qt's shapes, positive indexes to registered cursors; an unknown
// index gives the default cursor.  The cursor shown follows on the widget of
// the window under the mouse.  A control's new Cursor shows at once when the
// control is under the mouse (CM_CURSORCHANGED).
#pragma once

#include "platform/ui/windowing/messages.h"

class QCursor;
class TControl;

namespace gdi {

// A cursor handle; 0 for none.
struct HCURSOR__;
using HCURSOR = HCURSOR__*;

// Shows Cursor (0: none); answers the cursor shown before.
HCURSOR SetCursor(HCURSOR Cursor);
// The cursor shown.
HCURSOR GetCursor();
// A cursor of our own from an image with its hot spot (the program's
// resources); lives for the run.
HCURSOR CreateCursorFromImage(const QCursor& Cursor);

}  // namespace gdi

// ---------------------------------------------------------------------------
// the cursor table (Screen.Cursors[], Screen.Cursor)

// The handle of Index; the default cursor for unknown indexes.
gdi::HCURSOR GetCursorHandle(TCursor Index);
// Registers Cursor at Index (0: the index goes back to the default cursor).
void SetCursorHandle(TCursor Index, gdi::HCURSOR Cursor);
// Screen.Cursor: crDefault lets windows choose; setting it shows it at once.
TCursor ScreenCursor();
void SetScreenCursor(TCursor Value);

// ---------------------------------------------------------------------------
// enter and leave

// The control the mouse is in (the last CM_MOUSEENTER); nullptr when none.
TControl* MouseControl();
// Looks at the control under the cursor now and sends the enter and leave
// notices (the application's idle step calls this).
void CheckMouseControl();

// Installs the router hook that runs CheckMouseControl after each mouse
// event (after a hook installed before); done on first use of this unit.
void InstallMouseHooks();

namespace test {

// Forgets the mouse control, Screen.Cursor and registered cursors (between
// tests, after test::ResetInput: the hook is installed again on next use).
void ResetMouse();

}  // namespace test
