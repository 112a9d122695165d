#include "platform/rtl/modules.h"

#include "platform/rtl/strutils.h"

#include <atomic>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

struct HMODULE__ {
  String FileName;
  std::vector<TModuleExport> Exports;
  int References = 0;
};

namespace {

// The registered modules by upper-case file name, and the hidden exports.
struct TModuleTable {
  std::mutex Lock;
  std::map<String, std::unique_ptr<HMODULE__>> Modules;
  std::set<std::pair<String, std::string>> Hidden;
};

TModuleTable& table() {
  static TModuleTable Table;
  return Table;
}

String keyOf(const String& FileName) { return UpperCase(FileName); }

thread_local Cardinal LastError = ERROR_SUCCESS;
std::atomic<Cardinal> ErrorMode{0};

}  // namespace

Cardinal GetLastError() { return LastError; }
void SetLastError(Cardinal Code) { LastError = Code; }

Cardinal SetErrorMode(Cardinal Mode) { return ErrorMode.exchange(Mode); }

HMODULE LoadLibrary(const String& FileName) {
  TModuleTable& T = table();
  std::lock_guard Guard(T.Lock);
  auto It = T.Modules.find(keyOf(FileName));
  if (It == T.Modules.end()) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  ++It->second->References;
  return It->second.get();
}

HMODULE SafeLoadLibrary(const String& FileName, Cardinal Mode) {
  const Cardinal Previous = SetErrorMode(Mode);
  HMODULE Result = LoadLibrary(FileName);
  SetErrorMode(Previous);
  return Result;
}

bool FreeLibrary(HMODULE Module) {
  TModuleTable& T = table();
  std::lock_guard Guard(T.Lock);
  for (auto& [Key, M] : T.Modules)
    if (M.get() == Module && M->References > 0) {
      --M->References;
      return true;
    }
  SetLastError(ERROR_INVALID_HANDLE);
  return false;
}

void* GetProcAddress(HMODULE Module, const char* Name) {
  TModuleTable& T = table();
  std::lock_guard Guard(T.Lock);
  for (auto& [Key, M] : T.Modules) {
    if (M.get() != Module || M->References == 0) continue;
    if (T.Hidden.count({Key, std::string(Name)})) break;
    for (const TModuleExport& E : M->Exports)
      if (std::strcmp(E.Name, Name) == 0) return E.Proc;
    break;
  }
  SetLastError(ERROR_PROC_NOT_FOUND);
  return nullptr;
}

void RegisterBuiltinModule(const String& FileName, std::initializer_list<TModuleExport> Exports) {
  TModuleTable& T = table();
  std::lock_guard Guard(T.Lock);
  // a module stays at its address while registered: handles held by callers stay valid
  auto& M = T.Modules[keyOf(FileName)];
  if (!M) M = std::make_unique<HMODULE__>();
  M->FileName = FileName;
  M->Exports.assign(Exports.begin(), Exports.end());
}

void UnregisterBuiltinModule(const String& FileName) {
  TModuleTable& T = table();
  std::lock_guard Guard(T.Lock);
  T.Modules.erase(keyOf(FileName));
}

TModuleExportScope::TModuleExportScope(const String& FileName, const char* Name) : FFileName(FileName), FName(Name) {
  TModuleTable& T = table();
  std::lock_guard Guard(T.Lock);
  T.Hidden.insert({keyOf(FFileName), std::string(FName)});
}

TModuleExportScope::~TModuleExportScope() {
  TModuleTable& T = table();
  std::lock_guard Guard(T.Lock);
  T.Hidden.erase({keyOf(FFileName), std::string(FName)});
}
