#include "platform/os/osunit.h"

#include "platform/os/drivemap.h"
#include "platform/os/http.h"
#include "platform/os/instanceguard.h"
#include "platform/os/registry.h"

void InitializeOs() {
  InitializeHttp();
  InitializeRegistry();
}

void FinalizeOs() {
  ReleaseSingleInstance();
  FinalizeDriveMap();
  FinalizeRegistry();
  FinalizeHttp();
}
