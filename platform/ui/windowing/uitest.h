// Control-level input for tests: each call injects through the input
// router's entry points (activation, hit test, WM_SETCURSOR, capture, double
// clicks, focus, key routing and the character rules all run as for real
// input) and then pumps until the queue is empty.
//
// Points are in the control's client coordinates; a graphic control's input
// arrives at its parent's window.  Keys go to the focused window (the
// control's top level is activated first when nothing is focused).
#pragma once

#include "platform/ui/windowing/messages.h"

class QImage;
class TControl;
class TWinControl;

namespace test {

// mouse
void MouseDown(TControl* Control, TPoint Point, TMouseButton Button = mbLeft, TShiftState Shift = {});
void MouseUp(TControl* Control, TPoint Point, TMouseButton Button = mbLeft, TShiftState Shift = {});
void MouseMove(TControl* Control, TPoint Point, TShiftState Shift = {});
// Down and up at Point.
void Click(TControl* Control, TPoint Point, TMouseButton Button = mbLeft, TShiftState Shift = {});
// Two clicks at Point (a double click where the window class asks for one).
void DblClick(TControl* Control, TPoint Point, TMouseButton Button = mbLeft, TShiftState Shift = {});
// A wheel turn of Delta over Control at Point.
void Wheel(TControl* Control, TPoint Point, int Delta, TShiftState Shift = {});

// keys, to the focused window
void KeyDown(Word VirtualKey, TShiftState Shift = {});
void KeyUp(Word VirtualKey, TShiftState Shift = {});
// Down and up; letters, digits and the space bring their character.
void Key(Word VirtualKey, TShiftState Shift = {});
// Types Text: letters, digits and spaces as their keys, other characters as
// input-method commits.
void Type(const String& Text);

// Activates Control's top level as the window system would.
void Activate(TWinControl* Control);
// The backing image of Control's window as it stands: nothing is painted
// first, so a test sees whether a change reached the window at once.
const QImage& WindowImage(TWinControl* Control);
// Between tests: the state of the graphics, windowing and controls layers
// back to start-up values (ResetGraphicsState, ResetWindowingState say what
// stays), then the focus and mouse hooks again.
void ResetUi();

}  // namespace test
