#include "platform/fd/fdbackup.h"

#include "platform/fd/fdconsts.h"
#include "platform/fd/fdsqlite.h"
#include "platform/rtl/scopeexit.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sqlite3.h>

namespace {

// 1024 pages are 4 MB at the default page size: small enough for a smooth
// progress report and a short lock, large enough that the steps cost nothing.
constexpr int StepPages = 1024;

// One connection of the copy, closed however the copy ends.
class TBackupConnection {
public:
  TBackupConnection(const String& Path, int Flags, int BusyTimeout) {
    const int Result = sqlite3_open_v2(QFile::encodeName(Path).constData(), &FDb, Flags, nullptr);
    if (Result != SQLITE_OK) {
      if (!FDb) throw EFDDBEngineException(String::fromUtf8(sqlite3_errstr(Result)), Result);
      // A failed open still hands back a handle, and no destructor runs for
      // a constructor that raises: close it once its error text is taken.
      const TScopeExit Close([this] { sqlite3_close_v2(FDb); });
      raise();
    }
    sqlite3_busy_timeout(FDb, BusyTimeout);
  }
  ~TBackupConnection() { sqlite3_close_v2(FDb); }
  TBackupConnection(const TBackupConnection&) = delete;
  TBackupConnection& operator=(const TBackupConnection&) = delete;

  sqlite3* Handle() const { return FDb; }
  [[noreturn]] void raise() const { FDRaiseSQLiteError(FDb); }

private:
  sqlite3* FDb = nullptr;
};

// The file the pages go into until the copy is complete: a fresh name beside
// the destination, removed with its journal unless Keep renamed it.
class TPartFile {
public:
  explicit TPartFile(const String& DestPath) {
    QTemporaryFile File(DestPath + QStringLiteral(".XXXXXX.part"));
    File.setAutoRemove(false);
    if (!File.open())
      throw EFDDBEngineException(QStringLiteral("unable to open database file %1: %2")
                                     .arg(File.fileTemplate(), File.errorString()),
                                 SQLITE_CANTOPEN);
    FPath = File.fileName();
  }
  ~TPartFile() {
    if (FPath.isEmpty()) return;
    QFile::remove(FPath);
    QFile::remove(FPath + QStringLiteral("-journal"));
  }
  TPartFile(const TPartFile&) = delete;
  TPartFile& operator=(const TPartFile&) = delete;

  const String& Path() const { return FPath; }

  // Renames the finished copy over DestPath in one step.
  void Keep(const String& DestPath) {
    if (std::rename(QFile::encodeName(FPath).constData(), QFile::encodeName(DestPath).constData()) != 0)
      throw EFDDBEngineException(QStringLiteral("unable to replace %1: %2").arg(DestPath, String::fromLocal8Bit(std::strerror(errno))),
                                 SQLITE_CANTOPEN);
    FPath.clear();
  }

private:
  String FPath;
};

bool sameFile(const String& A, const String& B) {
  const QFileInfo First(A);
  const QFileInfo Second(B);
  return First.exists() && Second.exists() && First.canonicalFilePath() == Second.canonicalFilePath();
}

// Steps the engine's backup from Source into Dest to the end.
void copyPages(TBackupConnection& Source, TBackupConnection& Dest, const TFDBackupProgress& Progress) {
  sqlite3_backup* Backup = sqlite3_backup_init(Dest.Handle(), "main", Source.Handle(), "main");
  if (!Backup) Dest.raise();
  int Result = SQLITE_OK;
  while (Result == SQLITE_OK) {
    Result = sqlite3_backup_step(Backup, StepPages);
    if ((Result == SQLITE_OK || Result == SQLITE_DONE) && Progress) {
      const int Total = sqlite3_backup_pagecount(Backup);
      Progress(Total - sqlite3_backup_remaining(Backup), Total);
    }
  }
  // finish hands the step's error to the destination connection
  if (sqlite3_backup_finish(Backup) != SQLITE_OK) Dest.raise();
}

}  // namespace

void FDSQLiteBackup(const String& SourcePath, const String& DestPath, const TFDBackupProgress& Progress,
                    int BusyTimeout) {
  if (sameFile(SourcePath, DestPath))
    FDException(QStringLiteral("The backup of %1 would replace the database itself").arg(SourcePath));
  TBackupConnection Source(SourcePath, SQLITE_OPEN_READONLY, BusyTimeout);
  TPartFile Part(DestPath);
  {
    TBackupConnection Dest(Part.Path(), SQLITE_OPEN_READWRITE, BusyTimeout);
    copyPages(Source, Dest, Progress);
  }
  Part.Keep(DestPath);
}
