// Loadable modules (LoadLibrary, GetProcAddress, FreeLibrary) and the last
// system error code.
//
// No system libraries of the original desktop exist here.  The layers that
// implement a system library's functions register it as a built-in module
// (the graphics layer registers "gdi32.dll" and "msimg32.dll"); loading
// answers a handle for a registered name, compared without case, and looking
// up an export answers the registered function.  Anything else fails as a
// missing library does: 0 and ERROR_MOD_NOT_FOUND.  Tests hide single
// exports with TModuleExportScope to reach the callers' fallbacks.
#pragma once

#include "platform/rtl/system.h"

#include <initializer_list>
#include <utility>

struct HMODULE__;
using HMODULE = HMODULE__*;

// system error codes (GetLastError)
inline constexpr Cardinal ERROR_SUCCESS = 0;
inline constexpr Cardinal ERROR_INVALID_HANDLE = 6;
inline constexpr Cardinal ERROR_MOD_NOT_FOUND = 126;
inline constexpr Cardinal ERROR_PROC_NOT_FOUND = 127;

// The calling thread's last error code, set by failing system calls.
Cardinal GetLastError();
void SetLastError(Cardinal Code);

// error modes (SetErrorMode); kept and answered, no error box is ever shown
inline constexpr Cardinal SEM_FAILCRITICALERRORS = 0x0001;
inline constexpr Cardinal SEM_NOOPENFILEERRORBOX = 0x8000;
// Answers the previous mode.
Cardinal SetErrorMode(Cardinal Mode);

// A handle for a registered module (one per module, reference counted), else
// 0 with ERROR_MOD_NOT_FOUND.
HMODULE LoadLibrary(const String& FileName);
// LoadLibrary under the error mode ErrorMode, restored afterwards.
HMODULE SafeLoadLibrary(const String& FileName, Cardinal ErrorMode = SEM_NOOPENFILEERRORBOX);
// Drops one reference; false for a handle that is not loaded.
bool FreeLibrary(HMODULE Module);
// The export Name of Module, else nullptr with ERROR_PROC_NOT_FOUND.
void* GetProcAddress(HMODULE Module, const char* Name);

// One export of a built-in module.
struct TModuleExport {
  const char* Name;
  void* Proc;
};
// Makes FileName loadable with the given exports; registering a name again
// replaces its exports.  Called by layer start-ups.
void RegisterBuiltinModule(const String& FileName, std::initializer_list<TModuleExport> Exports);
void UnregisterBuiltinModule(const String& FileName);

// Hides the export Name of module FileName from GetProcAddress for the
// lifetime of the scope (tests reach the callers' fallbacks with it).
class TModuleExportScope {
public:
  TModuleExportScope(const String& FileName, const char* Name);
  ~TModuleExportScope();
  TModuleExportScope(const TModuleExportScope&) = delete;
  TModuleExportScope& operator=(const TModuleExportScope&) = delete;

private:
  String FFileName;
  const char* FName;
};
