#include "chartlib/canvas/teemodules.h"

#include "platform/os/sysinfo.h"
#include "platform/rtl/resources.h"

TStream* TeeFindResourceStream(const String& Name) {
  // the program is a single module: the main module and this code's are one
  if (!FindResource(HInstance(), Name, RT_RCDATA)) return nullptr;
  return new TResourceStream(HInstance(), Name, RT_RCDATA);
}

HMODULE TeeLoadLibrary(const String& FileName) { return SafeLoadLibrary(FileName, SEM_NOOPENFILEERRORBOX); }

void TeeFreeLibrary(HMODULE Module) {
  if (Win32Platform() == VER_PLATFORM_WIN32_WINDOWS && Win32MinorVersion() == 0) return;
  FreeLibrary(Module);
}
