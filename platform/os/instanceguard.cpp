#include "platform/os/instanceguard.h"

#include "platform/os/program.h"
#include "platform/rtl/strutils.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Readable and writable by the user only, like a private mutex.
constexpr mode_t LockFileMode = 0600;
constexpr mode_t LockFolderMode = 0700;

constinit TInstanceGuard* ProgramGuard = nullptr;

String criticalSectionName(const String& Title) { return Title + QStringLiteral(".OneInstance32.CriticalSection"); }
String instanceName(const String& Title) { return Title + QStringLiteral("OneInstance32.Default"); }

int openLockFile(const String& Folder, const String& Name) {
  String FileName = Name;
  FileName.replace(u'/', u'_');
  const QByteArray Path = QFile::encodeName(IncludeTrailingPathDelimiter(Folder) + FileName + QStringLiteral(".lock"));
  return ::open(Path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, LockFileMode);
}

int lockFile(int Handle, int Operation) {
  int Result;
  do {
    Result = ::flock(Handle, Operation);
  } while (Result != 0 && errno == EINTR);
  return Result;
}

bool ownedFolder(const QByteArray& Path, bool Private) {
  struct stat Info;
  return ::lstat(Path.constData(), &Info) == 0 && S_ISDIR(Info.st_mode) && Info.st_uid == ::getuid() &&
         (!Private || (Info.st_mode & 077) == 0) && ::access(Path.constData(), W_OK | X_OK) == 0;
}

}  // namespace

String DefaultLockFolder() {
  const QByteArray Runtime = qgetenv("XDG_RUNTIME_DIR");
  if (Runtime.startsWith('/') && ownedFolder(Runtime, /*Private=*/false)) return QFile::decodeName(Runtime);
  const QByteArray Fallback = "/tmp/.named-locks-" + QByteArray::number(::getuid());
  ::mkdir(Fallback.constData(), LockFolderMode);
  return ownedFolder(Fallback, /*Private=*/true) ? QFile::decodeName(Fallback) : String();
}

TInstanceGuard::TInstanceGuard(const String& LockFolder) : FFolder(LockFolder) {}

TInstanceGuard::~TInstanceGuard() { Release(); }

bool TInstanceGuard::Check(const String& Title) {
  if (FFolder.isEmpty()) return true;
  const int Critical = openLockFile(FFolder, criticalSectionName(Title));
  if (Critical < 0) return true;
  bool Result = true;
  if (lockFile(Critical, LOCK_EX) == 0) {
    const int Instance = openLockFile(FFolder, instanceName(Title));
    if (Instance >= 0 && lockFile(Instance, LOCK_EX | LOCK_NB) == 0) {
      Release();
      FHandle = Instance;
    } else if (Instance >= 0) {
      Result = errno != EWOULDBLOCK;
      ::close(Instance);
    }
  }
  ::close(Critical);  // also drops its lock
  return Result;
}

void TInstanceGuard::Release() {
  if (FHandle < 0) return;
  ::close(FHandle);
  FHandle = -1;
}

bool CheckSingleInstance() {
  if (!ProgramGuard) ProgramGuard = new TInstanceGuard(DefaultLockFolder());
  return ProgramGuard->Check(ExecutableTitle());
}

void ReleaseSingleInstance() {
  delete ProgramGuard;
  ProgramGuard = nullptr;
}
