// Explicit unit start-up and shutdown.
//
// Library singletons (format settings, class registry, style objects, chart
// registries) are made by ordered calls, never by static constructors: the
// start-up and shutdown orders are fixed, and static initialisation order is
// not.  The program and every test main list the units they use, lowest layer
// first; FinalizeUnits undoes them in exactly the reverse order.
#pragma once

#include <initializer_list>

struct TUnit {
  const char* Name;
  void (*Initialize)();
  void (*Finalize)();
};

// Initializes each unit not yet initialized, in the given order.  A unit
// listed again (here or in a later call) is skipped.
void InitializeUnits(std::initializer_list<TUnit> Units);
// Finalizes every initialized unit, last initialized first.
void FinalizeUnits();
bool IsUnitInitialized(const char* Name);

// The runtime's own unit: format settings, class registry, code pages and the
// thread synchronisation queue.
void InitializeRtl();
void FinalizeRtl();
inline constexpr TUnit RtlUnit{"rtl", &InitializeRtl, &FinalizeRtl};
