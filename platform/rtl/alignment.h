// Horizontal and vertical alignment of text in its cell or control, shared
// by fields, controls and grids.
#pragma once

#include "platform/rtl/typinfo.h"

RTL_ENUM(TAlignment, taLeftJustify, taRightJustify, taCenter)
RTL_ENUM(TTextLayout, tlTop, tlCenter, tlBottom)
// Vertical placement of text in its cell (the order of the original
// platform, which differs from TTextLayout's: bottom comes before centre).
RTL_ENUM(TVerticalAlignment, taAlignTop, taAlignBottom, taVerticalCenter)
