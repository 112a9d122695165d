// The OS services' unit: start-up and shutdown of the library's
// process-wide objects, after the runtime's unit.
#pragma once

#include "platform/rtl/units.h"

// Starts libcurl's global state and makes the registry store, which is read
// on first use.
void InitializeOs();
// Releases the single-instance lock if still held, forgets the drive map,
// frees the registry store and ends libcurl's global state.
void FinalizeOs();
inline constexpr TUnit OsUnit{"os", &InitializeOs, &FinalizeOs};
