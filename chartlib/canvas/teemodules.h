// Module routines of the chart canvas: resources compiled into the program
// and system libraries loaded at run time.
#pragma once

#include "platform/rtl/modules.h"

class TStream;

// A new stream (owned by the caller) on the RCDATA resource Name of the
// program, or nullptr when it has none.
TStream* TeeFindResourceStream(const String& Name);
// Loads a library without error boxes; 0 when it cannot be loaded.
HMODULE TeeLoadLibrary(const String& FileName);
// Frees Module, except on the legacy platform family (identifier 1) with
// minor version 0, where modules stay loaded.
void TeeFreeLibrary(HMODULE Module);
