// Start-up and shutdown of the editors library, after the base's.
//
// Start-up puts the shared button-bitmap cache into the base's slot (the
// slot owns it from then on: the base's shutdown frees it, before the
// editors' shutdown would have a chance to) and registers the streamable
// classes and installs the edit buttons' default action (the default memo
// form class stays unset until a memo window class is installed).  Shutdown
// undoes both.
#pragma once

#include "platform/rtl/units.h"

void InitializeGridLibEditorsEh();
void FinalizeGridLibEditorsEh();
inline constexpr TUnit GridLibEditorsUnitEh{"gridlib/editors", &InitializeGridLibEditorsEh,
                                            &FinalizeGridLibEditorsEh};
