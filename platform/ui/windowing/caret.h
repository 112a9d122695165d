// The system caret: one per GUI thread, owned by the window that created it.
//
// The platform keeps the caret's owner, place, size and hide count; the owner
// draws it (our edit and memo paint a steady caret line of their own), so
// nothing here paints.  Code asks where the caret is through GetCaretPos, in
// client coordinates of the owning window.  A window that dies takes its
// caret with it.
#pragma once

#include "platform/ui/graphics/gdi.h"

namespace gdi {

// Makes Window the caret's owner with a Width x Height shape (0 takes the
// border metric), hidden, at (0, 0); the caret any window held before is
// destroyed first.  Bitmap shapes are not drawn, so Bitmap is only accepted.
// Fails (0) for a window that does not exist.
BOOL CreateCaret(HWND Window, HBITMAP Bitmap, int Width, int Height);
// Fails when there is no caret.
BOOL DestroyCaret();
// Moves the caret, shown or hidden; fails when there is no caret.
BOOL SetCaretPos(int X, int Y);
// The caret's place in its window's client coordinates; fails, leaving Point
// as it was, when there is no caret.
BOOL GetCaretPos(POINT* Point);
// Hiding is cumulative: the caret shows once ShowCaret has been called as
// often as HideCaret (and once more after CreateCaret).  Window must be the
// owner, or nullptr for the owner; both fail when there is no caret.
BOOL ShowCaret(HWND Window);
BOOL HideCaret(HWND Window);

}  // namespace gdi

namespace ui_detail {

// Destroys the caret when Window, whose handle is being released, owns it.
void ForgetWindowCaret(gdi::HWND Window);

}  // namespace ui_detail

namespace test {

// Whether a caret exists and is shown (no drawing shows it).
bool IsCaretVisible();

}  // namespace test
