// Horizontal alignment of text in its cell or control, shared by fields,
// controls and grids.
#pragma once

#include "platform/rtl/typinfo.h"

RTL_ENUM(TAlignment, taLeftJustify, taRightJustify, taCenter)
