#include "app/savedb.h"

#include "app/datamodule.h"
#include "app/fcommon.h"
#include "app/settings.h"
#include "platform/db/dataset.h"
#include "platform/fd/fdbackup.h"
#include "platform/fd/fdconnection.h"
#include "platform/fd/fdquery.h"
#include "platform/os/drivemap.h"
#include "platform/os/filesys.h"
#include "platform/os/process.h"
#include "platform/os/program.h"
#include "platform/os/zipfile.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/format.h"
#include "platform/rtl/strutils.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <sqlite3.h>

namespace {

constexpr const char* DateFormat = "yyyy-mm-dd";
constexpr const char* ArchivePrefix = "qv";
constexpr const char* ArchiveExtension = ".zip";
constexpr const char* ProgramMark = "exe";

// A name of its own in Folder for a file in the making; the file is removed
// unless Keep renamed it into place.
class TTemporaryName {
public:
  TTemporaryName(const String& Folder, const String& Stem) {
    QTemporaryFile File(Folder + Stem + QStringLiteral(".XXXXXX.tmp"));
    File.setAutoRemove(false);
    if (!File.open()) RaiseLastOSError(QStringLiteral("Create file"), File.fileTemplate());
    FPath = File.fileName();
  }
  ~TTemporaryName() {
    if (!FPath.isEmpty()) QFile::remove(FPath);
  }
  TTemporaryName(const TTemporaryName&) = delete;
  TTemporaryName& operator=(const TTemporaryName&) = delete;

  const String& Path() const { return FPath; }
  // Renames the finished file over Dest in one step.
  void Keep(const String& Dest) {
    if (std::rename(QFile::encodeName(FPath).constData(), QFile::encodeName(Dest).constData()) != 0)
      RaiseLastOSError(QStringLiteral("Rename file"), Dest);
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

// Steps 1 and 2: the browsing queries' open edits posted, their caches stored
// in this order, then made durable so the copy holds them.
void storeBrowsingQueries(TdmCatalog* Dm) {
  TFDQuery* const Queries[] = {Dm->fdqCatalog, Dm->fdqSubPropety, Dm->fdqDisPropety,
                               Dm->fdqDisease, Dm->fdqPart2,      Dm->fdqPart1};
  for (TFDQuery* Query : Queries)
    if ((Query->State() == dsEdit || Query->State() == dsInsert) && Query->Modified()) Query->Post();
  for (TFDQuery* Query : Queries)
    if (Query->Active()) TdmCatalog::ApplyAndClear(Query);
  Dm->MakeStoredDurable();
}

// A copy onto a catalog file would destroy it: the one in use, or the one
// the program needs beside itself.
void refuseCatalog(const String& Copy, const String& Catalog) {
  for (const String& File : {Catalog, ProgramFolder() + BackupCopyName})
    if (sameFile(Copy, File))
      throw Exception(QStringLiteral("The archive folder %1 holds the catalog %2: a backup copy there would replace "
                                     "it. Choose another archive folder.")
                          .arg(ExtractFilePath(Copy), File));
}

void copyCatalog(const String& Catalog, const String& Copy, const TBackupProgress& Progress) {
  FDSQLiteBackup(Catalog, Copy, [&Progress](int Done, int Total) {
    if (Progress) Progress(TBackupStage::Copy, Done, Total);
  });
}

// Kind 0: the copy packed as "bibliona.sqlite" into a temporary archive,
// which replaces Archive once its entry checks.
void packAndCheck(const String& Copy, const String& Folder, const String& Archive, const TBackupProgress& Progress) {
  const Int64 Total = FileSize(Copy);
  const auto report = [&Progress, Total](TBackupStage Stage) {
    return TZipProgressEvent([&Progress, Stage, Total](TObject*, const String&, const TZipHeader&, Int64 Done) {
      if (Progress) Progress(Stage, Done, Total);
    });
  };
  TTemporaryName Packed(Folder, ExtractFileName(Archive));
  {
    TZipFile Zip;
    Zip.OnProgress = report(TBackupStage::Pack);
    Zip.Open(Packed.Path(), zmWrite);
    Zip.Add(Copy, BackupCopyName);
    Zip.Close();
  }
  {
    TZipFile Zip;
    Zip.OnProgress = report(TBackupStage::Check);
    Zip.Open(Packed.Path(), zmRead);
    Zip.CheckEntry(BackupCopyName);
    Zip.Close();
  }
  Packed.Keep(Archive);
}

// Kind 1: answers whether the archiver ran and ended with exit code 0; a
// missing program or another exit code is reported.
bool runArchiver(const TBackupOrder& Order) {
  const String Program = ArchiverProgram(Order.Archiver);
  if (FindProgram(Program).isEmpty()) {
    ShowMessageBox(TMessageKind::Confirmation, Format(ArchiverMissingText, {Program}));
    return false;
  }
  if (Trim(Order.FullArc).isEmpty()) return false;
  const Integer ExitCode = RunAndWait(Order.FullArc, SW_HIDE);
  if (ExitCode == 0) return true;
  ShowMessageBox(TMessageKind::Error, Format(ArchiverFailedText, {ExitCode}));
  return false;
}

// Kind 2: the copy is the backup, so it must be a sound database.
void checkCopy(const String& Copy) {
  sqlite3* Db = nullptr;
  String Answer;
  if (sqlite3_open_v2(QFile::encodeName(Copy).constData(), &Db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* Check = nullptr;
    if (sqlite3_prepare_v2(Db, "PRAGMA quick_check", -1, &Check, nullptr) == SQLITE_OK &&
        sqlite3_step(Check) == SQLITE_ROW)
      Answer = String::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(Check, 0)));
    else
      Answer = String::fromUtf8(sqlite3_errmsg(Db));
    sqlite3_finalize(Check);
  } else {
    Answer = String::fromUtf8(sqlite3_errmsg(Db));
  }
  sqlite3_close(Db);
  if (Answer != QLatin1String("ok"))
    throw Exception(QStringLiteral("The backup copy %1 fails its check: %2").arg(Copy, Answer));
}

void recordBackup(TSettings& Settings, Integer Interval) {
  const TDateTime Today = Date();
  Settings.SaveDateStr = FormatDateTime(QString::fromLatin1(DateFormat), Today);
  Settings.SaveInterval = Interval;
  WriteLastSave(SettingsFile(ProgramFolder()), Settings.SaveDateStr, Settings.SaveInterval);
  Settings.SaveDate = Today;
}

}  // namespace

String Flarcdate(TDateTime Today) {
  return QLatin1String(ArchivePrefix) + FormatDateTime(QString::fromLatin1(DateFormat), Today);
}

String BuildArc(const String& ArcCatalog, const String& FlName) {
  return u'"' + ArcCatalog + Trim(FlName) + QStringLiteral("\" \"") + ArcCatalog + BackupCopyName + u'"';
}

String BuildFullArc(const String& Archiver, const String& Arc) { return Archiver + u' ' + Arc; }

String ArchiverProgram(const String& Archiver) {
  const String Mark = QLatin1String(ProgramMark);
  if (Pos(Mark, Archiver) > 0) return TextBefore(Archiver, Mark) + Mark;
  const TArgv Tokens = SplitCommandLine(Archiver);
  return Tokens.empty() ? String() : Tokens.front();
}

bool BackupDue(TDateTime CurrDate, TDateTime SaveDate, Integer SaveInterval) {
  return DaysBetween(CurrDate, SaveDate) >= SaveInterval;
}

bool SaveDB1(TdmCatalog* Dm, TSettings& Settings, const TBackupOrder& Order, const TBackupProgress& Progress) {
  storeBrowsingQueries(Dm);
  const String Folder = IncludeTrailingPathDelimiter(NativePath(Order.ArcCatalog));
  if (!ForceDirectories(Folder)) RaiseLastOSError(QStringLiteral("Create folder"), Folder);
  const String Catalog = Dm->myFDConnection1->Params()->Database();

  if (Order.Kind == akInternal) {
    TTemporaryName Copy(Folder, BackupCopyName);
    copyCatalog(Catalog, Copy.Path(), Progress);
    packAndCheck(Copy.Path(), Folder, Folder + Flarcdate(Date()) + QLatin1String(ArchiveExtension), Progress);
    recordBackup(Settings, Order.Interval);
    return true;
  }

  const String Copy = Folder + BackupCopyName;
  refuseCatalog(Copy, Catalog);
  copyCatalog(Catalog, Copy, Progress);
  if (Order.Kind == akExternal) {
    if (!runArchiver(Order)) return false;
    recordBackup(Settings, Order.Interval);
    if (FileExists(Copy)) DeleteFile(Copy);
    return true;
  }
  checkCopy(Copy);
  recordBackup(Settings, Order.Interval);
  return true;
}
