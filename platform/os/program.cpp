#include "platform/os/program.h"

#include "platform/os/drivemap.h"
#include "platform/rtl/strutils.h"

#include <QFile>

#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constinit const String* PathOverride = nullptr;

// The kernel's link to the running image; it stays valid even when the file
// has been replaced or deleted since the start.
constexpr char SelfExe[] = "/proc/self/exe";

bool statPath(const QByteArray& Path, struct stat& Info) { return ::stat(Path.constData(), &Info) == 0; }

}  // namespace

String ExecutablePath() {
  if (PathOverride) return *PathOverride;
  QByteArray Buffer(PATH_MAX, Qt::Uninitialized);
  const ssize_t Length = ::readlink(SelfExe, Buffer.data(), Buffer.size());
  if (Length <= 0) return String();
  Buffer.truncate(Length);
  return QFile::decodeName(Buffer);
}

String ProgramFolder() { return ExtractFilePath(ExecutablePath()); }

String ExecutableTitle() {
  String Name = ExtractFileName(ExecutablePath());
  const qsizetype Dot = Name.indexOf(u'.');
  if (Dot >= 0) Name.truncate(Dot);
  if (Name.isEmpty()) return Name;
  return Name.left(1) + AnsiLowerCase(Name.mid(1));
}

bool GetFileVersion(const String& FileName, Cardinal& MS, Cardinal& LS) {
  struct stat File;
  struct stat Self;
  const QByteArray SelfPath = PathOverride ? QFile::encodeName(*PathOverride) : QByteArray(SelfExe);
  if (!statPath(QFile::encodeName(NativePath(FileName)), File) || !statPath(SelfPath, Self)) return false;
  if (File.st_dev != Self.st_dev || File.st_ino != Self.st_ino) return false;
  MS = Cardinal(BIBLIONA_VERSION_MAJOR) << 16 | Cardinal(BIBLIONA_VERSION_MINOR);
  LS = Cardinal(BIBLIONA_VERSION_RELEASE) << 16 | Cardinal(BIBLIONA_VERSION_BUILD);
  return true;
}

TProgramPathScope::TProgramPathScope(const String& Path) : FPath(Path), FPrevious(PathOverride) {
  PathOverride = &FPath;
}

TProgramPathScope::~TProgramPathScope() { PathOverride = FPrevious; }
