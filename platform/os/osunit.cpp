#include "platform/os/osunit.h"

#include "platform/os/drivemap.h"
#include "platform/os/instanceguard.h"
#include "platform/os/registry.h"

void InitializeOs() { InitializeRegistry(); }

void FinalizeOs() {
  ReleaseSingleInstance();
  FinalizeDriveMap();
  FinalizeRegistry();
}
