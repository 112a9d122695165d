// Start-up and shutdown of the memory-table library, after the base's:
// start-up registers the classes a form stream names (the memory table and
// its object-reference field, the data driver); shutdown unregisters them.
#pragma once

#include "platform/rtl/units.h"

void InitializeGridLibMemTableEh();
void FinalizeGridLibMemTableEh();
inline constexpr TUnit GridLibMemTableUnitEh{"gridlib/memtable", &InitializeGridLibMemTableEh,
                                             &FinalizeGridLibMemTableEh};
