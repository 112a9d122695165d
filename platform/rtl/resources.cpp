#include "platform/rtl/resources.h"

#include "platform/rtl/format.h"
#include "platform/rtl/objtext.h"
#include "platform/rtl/strutils.h"

#include <QDirIterator>
#include <QFile>

#include <algorithm>
#include <list>
#include <mutex>

struct HMODULE__;

struct HRSRC__ {
  String Name;  // upper case
  Integer Type = 0;
  QByteArray Data;
};

namespace {

// Found resources keep their address for the whole run: a handle is never
// invalidated by later look-ups.  Test entries leave with their scope.
struct TResourceTable {
  std::mutex Lock;
  std::list<HRSRC__> Compiled;  // Qt resources found so far
  std::list<HRSRC__> Added;     // entries of TResourceScope, searched first
};

TResourceTable& table() {
  static TResourceTable Table;
  return Table;
}

// Any unique address serves as the program's module handle.
char ProgramModule;

String typeFolder(Integer Type) {
  return Type == RT_RCDATA ? QStringLiteral("RCDATA") : QStringLiteral("#%1").arg(Type);
}

HRSRC__* findIn(std::list<HRSRC__>& List, const String& Name, Integer Type) {
  for (HRSRC__& R : List)
    if (R.Type == Type && R.Name == Name) return &R;
  return nullptr;
}

}  // namespace

HMODULE HInstance() { return reinterpret_cast<HMODULE>(&ProgramModule); }

HRSRC FindResource(HMODULE Module, const String& Name, Integer Type) {
  if (Module != HInstance()) return nullptr;
  const String Key = UpperCase(Name);
  TResourceTable& T = table();
  std::lock_guard Guard(T.Lock);
  if (HRSRC__* R = findIn(T.Added, Key, Type)) return R;
  if (HRSRC__* R = findIn(T.Compiled, Key, Type)) return R;
  QFile File(QStringLiteral(":/%1/%2").arg(typeFolder(Type), Key));
  if (!File.open(QIODevice::ReadOnly)) return nullptr;
  T.Compiled.push_back({Key, Type, File.readAll()});
  return &T.Compiled.back();
}

QByteArray LoadResourceBytes(HRSRC Resource) { return Resource ? Resource->Data : QByteArray(); }

std::vector<String> EnumResourceNames(HMODULE Module, Integer Type) {
  std::vector<String> Names;
  if (Module != HInstance()) return Names;
  auto Add = [&Names](const String& Name) {
    if (std::find(Names.begin(), Names.end(), Name) == Names.end()) Names.push_back(Name);
  };
  {
    TResourceTable& T = table();
    std::lock_guard Guard(T.Lock);
    for (const HRSRC__& R : T.Added)
      if (R.Type == Type) Add(R.Name);
  }
  QDirIterator Compiled(QStringLiteral(":/%1").arg(typeFolder(Type)), QDir::Files);
  while (Compiled.hasNext()) Add(UpperCase(Compiled.nextFileInfo().fileName()));
  return Names;
}

bool InternalReadComponentRes(const String& ResName, HMODULE HInst, TComponent* Instance) {
  if (!FindResource(HInst, ResName, RT_RCDATA)) return false;
  TResourceStream Resource(HInst, ResName, RT_RCDATA);
  if (TestStreamFormat(&Resource) == sofBinary) {
    Resource.ReadComponent(Instance);
    return true;
  }
  TMemoryStream Binary;
  ObjectTextToBinary(&Resource, &Binary);
  Binary.SetPosition(0);
  Binary.ReadComponent(Instance);
  return true;
}

TResourceStream::TResourceStream(HMODULE Instance, const String& ResName, Integer ResType) {
  HRSRC Resource = FindResource(Instance, ResName, ResType);
  if (!Resource) throw EResNotFound(Format(QStringLiteral("Resource %s not found"), {ResName}));
  FData = LoadResourceBytes(Resource);
  SetPointer(FData.data(), FData.size());
}

Integer TResourceStream::Write(const void*, Integer) {
  throw EStreamError(QStringLiteral("Can't write to a read-only resource stream"));
}

TResourceScope::TResourceScope(const String& Name, Integer Type, const QByteArray& Data) {
  TResourceTable& T = table();
  std::lock_guard Guard(T.Lock);
  T.Added.push_front({UpperCase(Name), Type, Data});
  FResource = &T.Added.front();
}

TResourceScope::~TResourceScope() {
  TResourceTable& T = table();
  std::lock_guard Guard(T.Lock);
  T.Added.remove_if([this](const HRSRC__& R) { return &R == FResource; });
}
