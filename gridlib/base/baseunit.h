// Start-up and shutdown of the grid library's base: the routines' unit
// (basecontrols.h) and the library-wide objects, in a fixed order.
//
// Start-up, after the base controls' unit:
//   1. the default edit-button width (computed on demand: nothing to keep)
//   2. the shared button-bitmap cache (the edit-button unit fills the slot)
//   3. the check-box glyph size
//   4. the graphic provider registry (bitmaps registered) and, while styles
//      are in use, the explorer tree theme
//   5. one use of the shared text bitmap
//   6. (reserved for the size grip's class registration)
//   7. the library manager, the working-time calendar and the draw style
// Shutdown: the button-bitmap cache, the provider registry and the explorer
// tree theme, the shared text bitmap's use and the shared alpha bitmap, then
// the manager, the calendar and the draw style; the base controls' unit last.
//
// A counter guards both: nested start-ups only count, and the last shutdown
// undoes the first start-up.
#pragma once

#include "platform/rtl/units.h"

void InitializeGridLibBaseEh();
void FinalizeGridLibBaseEh();
inline constexpr TUnit GridLibBaseUnitEh{"gridlib/base", &InitializeGridLibBaseEh, &FinalizeGridLibBaseEh};
