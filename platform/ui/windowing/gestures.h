// Touch gestures as controls receive them.  Nothing here turns touch input
// into gestures yet: a WM_GESTURE message whose LParam points to a
// TGestureEventInfo (not owned, valid during the call) reaches the control,
// which handles it in its DoGesture and sets Result to 1 when it did.
#pragma once

#include "platform/rtl/typinfo.h"
#include "platform/ui/graphics/geometry.h"

// Identifiers of the interactive gestures (the original numbering).
inline constexpr Integer igiZoom = 259, igiPan = 260, igiRotate = 261, igiTwoFingerTap = 262,
                         igiPressAndTap = 263;

enum TInteractiveGestureFlag { gfBegin, gfInertia, gfEnd };
using TInteractiveGestureFlags = TSet<TInteractiveGestureFlag>;

enum TInteractiveGesture { igZoom, igPan, igRotate, igTwoFingerTap, igPressAndTap };
using TInteractiveGestures = TSet<TInteractiveGesture>;

enum TInteractiveGestureOption { igoPanSingleFingerHorizontal, igoPanSingleFingerVertical, igoPanInertia,
                                 igoPanGutter, igoParentPassthrough };
using TInteractiveGestureOptions = TSet<TInteractiveGestureOption>;

struct TGestureEventInfo {
  Integer GestureID = 0;
  TPoint Location;  // client coordinates of the control
  TInteractiveGestureFlags Flags;
  Integer Distance = 0;
};
