#include "platform/os/filesys.h"

#include "platform/os/drivemap.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strutils.h"

#include <QFile>

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray osPath(const String& Path) { return QFile::encodeName(NativePath(Path)); }

bool statIs(const String& Path, mode_t Type) {
  struct stat Info;
  return ::stat(osPath(Path).constData(), &Info) == 0 && (Info.st_mode & S_IFMT) == Type;
}

// New folders: everything the umask allows, as mkdir -p makes them.
constexpr mode_t NewFolderMode = 0777;
// Large enough that a database copy costs few system calls.
constexpr size_t CopyChunk = 1 << 20;

bool writeAll(int Handle, const char* Data, ssize_t Count) {
  while (Count > 0) {
    const ssize_t Done = ::write(Handle, Data, size_t(Count));
    if (Done < 0 && errno == EINTR) continue;
    if (Done <= 0) {
      if (Done == 0) errno = ENOSPC;
      return false;
    }
    Data += Done;
    Count -= Done;
  }
  return true;
}

bool copyBytes(int From, int To) {
  QByteArray Buffer(CopyChunk, Qt::Uninitialized);
  for (;;) {
    const ssize_t Got = ::read(From, Buffer.data(), CopyChunk);
    if (Got < 0 && errno == EINTR) continue;
    if (Got < 0) return false;
    if (Got == 0) return true;
    if (!writeAll(To, Buffer.constData(), Got)) return false;
  }
}

// Fills the open temporary file To from From and gives it From's mode and
// times.
bool fillCopy(int From, const struct stat& Info, int To) {
  const struct timespec Times[2] = {Info.st_atim, Info.st_mtim};
  return copyBytes(From, To) && ::fchmod(To, Info.st_mode & 07777) == 0 && ::futimens(To, Times) == 0 &&
         ::fsync(To) == 0;
}

}  // namespace

bool FileExists(const String& FileName) { return statIs(FileName, S_IFREG); }

bool DirectoryExists(const String& Directory) { return statIs(Directory, S_IFDIR); }

bool ForceDirectories(const String& Dir) {
  const QByteArray Path = osPath(ExcludeTrailingPathDelimiter(Dir));
  if (Path.isEmpty()) return false;
  if (DirectoryExists(Dir)) return true;
  const qsizetype Slash = Path.lastIndexOf('/');
  if (Slash > 0 && !ForceDirectories(QFile::decodeName(Path.left(Slash)))) return false;
  if (::mkdir(Path.constData(), NewFolderMode) == 0) return true;
  // Another process may have made it meanwhile.
  return errno == EEXIST && DirectoryExists(Dir);
}

bool CopyFile(const String& Source, const String& Dest, bool FailIfExists) {
  const QByteArray DestPath = osPath(Dest);
  if (FailIfExists && ::access(DestPath.constData(), F_OK) == 0) {
    errno = EEXIST;
    return false;
  }
  const int From = ::open(osPath(Source).constData(), O_RDONLY | O_CLOEXEC);
  if (From < 0) return false;
  struct stat Info;
  QByteArray TempPath = DestPath + ".XXXXXX";
  int To = -1;
  int Code = 0;
  if (::fstat(From, &Info) != 0 || (To = ::mkostemp(TempPath.data(), O_CLOEXEC)) < 0 || !fillCopy(From, Info, To))
    Code = errno;
  if (To >= 0 && ::close(To) != 0 && Code == 0) Code = errno;
  ::close(From);
  if (Code == 0 && ::rename(TempPath.constData(), DestPath.constData()) != 0) Code = errno;
  if (Code == 0) return true;
  if (To >= 0) ::unlink(TempPath.constData());
  errno = Code;
  return false;
}

bool DeleteFile(const String& FileName) { return ::unlink(osPath(FileName).constData()) == 0; }

Int64 FileSize(const String& FileName) {
  const int Handle = ::open(osPath(FileName).constData(), O_RDONLY | O_CLOEXEC);
  struct stat Info;
  if (Handle >= 0 && ::fstat(Handle, &Info) == 0) {
    ::close(Handle);
    return Info.st_size;
  }
  const int Code = errno;
  if (Handle >= 0) ::close(Handle);
  throw EInOutError(QStringLiteral("Cannot open file \"%1\". %2").arg(FileName, SysErrorMessage(Code)), Code);
}

String GetCurrentDir() {
  char* Path = ::getcwd(nullptr, 0);
  if (!Path) return String();
  const String Result = QFile::decodeName(Path);
  std::free(Path);
  return Result;
}

bool MatchesFileMask(const String& Name, const String& Mask) {
  const String N = Name.toCaseFolded();
  const String M = Mask.toCaseFolded();
  // Greedy matching with one backtrack point: the last '*' seen and the
  // name position it was tried at; linear enough for file masks.
  qsizetype I = 0, J = 0, Star = -1, Resume = 0;
  while (I < N.size()) {
    if (J < M.size() && (M[J] == u'?' || M[J] == N[I])) {
      ++I;
      ++J;
    } else if (J < M.size() && M[J] == u'*') {
      Star = J++;
      Resume = I;
    } else if (Star >= 0) {
      J = Star + 1;
      I = ++Resume;
    } else {
      return false;
    }
  }
  while (J < M.size() && M[J] == u'*') ++J;
  return J == M.size();
}

std::vector<String> FindFiles(const String& Folder, const String& Mask) {
  std::vector<String> Names;
  const QByteArray Path = osPath(Folder);
  DIR* Dir = ::opendir(Path.constData());
  if (!Dir) return Names;
  while (const dirent* Entry = ::readdir(Dir)) {
    const String Name = QFile::decodeName(Entry->d_name);
    if (MatchesFileMask(Name, Mask) && statIs(IncludeTrailingPathDelimiter(Folder) + Name, S_IFREG))
      Names.push_back(Name);
  }
  ::closedir(Dir);
  std::sort(Names.begin(), Names.end());
  return Names;
}

void RaiseLastOSError(const String& Op, const String& Path, int Code) {
  throw EOSError(QStringLiteral("%1 '%2': %3").arg(Op, Path, SysErrorMessage(Code)), Code);
}
