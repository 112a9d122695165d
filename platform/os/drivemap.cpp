#include "platform/os/drivemap.h"

#include "platform/os/registry.h"
#include "platform/rtl/exceptions.h"

#include <cassert>
#include <mutex>

constexpr int DriveCount = 26;

struct TDriveMapScope::TMap {
  String Folders[DriveCount];  // "" = the default folder
  bool Loaded = false;         // the process map has read the registry
};

namespace {

std::mutex MapLock;
constinit TDriveMapScope::TMap ProcessMap;
constinit TDriveMapScope::TMap* ScopeMap = nullptr;

int driveIndex(Char Drive) {
  const char16_t C = Drive.toUpper().unicode();
  return C >= u'A' && C <= u'Z' ? C - u'A' : -1;
}

Char driveLetter(int Index) { return Char(char16_t(u'A' + Index)); }

String defaultFolder(int Index) { return QStringLiteral("/mnt/") + driveLetter(Index).toLower(); }

// A value that cannot be read as a string leaves the default in place.
void loadFromRegistry(TDriveMapScope::TMap& Map) {
  TRegistry Reg;
  if (!Reg.OpenKeyReadOnly(String::fromUtf16(DriveMapKey))) return;
  for (int I = 0; I < DriveCount; ++I) {
    try {
      Map.Folders[I] = Reg.ReadString(String(driveLetter(I)));
    } catch (const ERegistryException&) {
      Map.Folders[I].clear();
    }
  }
}

String folderOf(int Index) {
  std::lock_guard Guard(MapLock);
  TDriveMapScope::TMap& Map = ScopeMap ? *ScopeMap : ProcessMap;
  if (!ScopeMap && !Map.Loaded) {
    loadFromRegistry(Map);
    Map.Loaded = true;
  }
  return Map.Folders[Index].isEmpty() ? defaultFolder(Index) : Map.Folders[Index];
}

bool isDelimiter(Char C) { return C == u'\\' || C == u'/'; }

}  // namespace

String NativePath(const String& Path) {
  String Result = Path;
  if (Path.size() >= 2 && Path[1] == u':' && driveIndex(Path[0]) >= 0 && (Path.size() == 2 || isDelimiter(Path[2])))
    Result = folderOf(driveIndex(Path[0])) + Path.mid(2);
  Result.replace(u'\\', u'/');
  return Result;
}

String DriveFolder(Char Drive) {
  const int Index = driveIndex(Drive);
  return Index >= 0 ? folderOf(Index) : String();
}

TDriveMapScope::TDriveMapScope(std::initializer_list<std::pair<Char, String>> Folders) : FMap(new TMap) {
  for (const auto& [Drive, Folder] : Folders) {
    const int Index = driveIndex(Drive);
    assert(Index >= 0 && "a drive map entry needs a letter");
    FMap->Folders[Index] = Folder;
  }
  std::lock_guard Guard(MapLock);
  FPrevious = ScopeMap;
  ScopeMap = FMap;
}

TDriveMapScope::~TDriveMapScope() {
  {
    std::lock_guard Guard(MapLock);
    ScopeMap = FPrevious;
  }
  delete FMap;
}

void FinalizeDriveMap() {
  std::lock_guard Guard(MapLock);
  ProcessMap = TDriveMapScope::TMap();
}
