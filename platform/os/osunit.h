// The OS services' unit: start-up and shutdown of the library's
// process-wide objects, after the runtime's unit.
#pragma once

#include "platform/rtl/units.h"

// Makes the registry store, which is read on first use.
void InitializeOs();
// Releases the single-instance lock if still held, forgets the drive map and
// frees the registry store.
void FinalizeOs();
inline constexpr TUnit OsUnit{"os", &InitializeOs, &FinalizeOs};
