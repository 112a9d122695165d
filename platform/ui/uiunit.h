// The ui library's unit: its process-wide objects, made in a fixed order
// after the runtime's unit and freed in the reverse order.
#pragma once

#include "platform/rtl/units.h"

// Application and Screen with the message box and the common dialogs behind
// the modal seam, the clipboard format registry and the clipboard, the
// printer, then the component classes registered by name.
void InitializeUi();
void FinalizeUi();
inline constexpr TUnit UiUnit{"ui", &InitializeUi, &FinalizeUi};
