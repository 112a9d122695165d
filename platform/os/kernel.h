// Small kernel routines.  The tick count (GetTickCount) and CreateGUID live
// in the runtime; this unit adds the debug-output channel.
#pragma once

#include "platform/rtl/system.h"

#include <functional>

// Hands Text to the installed sink; without one it goes nowhere.  Callable
// from any thread; the sink runs on the caller's thread.
void OutputDebugString(const String& Text);

using TDebugOutputSink = std::function<void(const String& Text)>;
// Installs Sink (empty = none) and answers the previous one.
TDebugOutputSink SetDebugOutputSink(TDebugOutputSink Sink);
