// Right-to-left alignment helpers of the controls.
#pragma once

#include "platform/rtl/alignment.h"

// Mirrors a horizontal alignment for right-to-left: left and right swap,
// centre stays.
void ChangeBiDiModeAlignment(TAlignment& Alignment);
