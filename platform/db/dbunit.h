// The dataset layer's unit: start-up registers the classes that forms and
// data modules stream by name (the field classes and TDataSource), shutdown
// unregisters them.  Listed after RtlUnit.
#pragma once

#include "platform/rtl/units.h"

void InitializeDb();
void FinalizeDb();
inline constexpr TUnit DbUnit{"db", &InitializeDb, &FinalizeDb};
