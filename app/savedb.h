// The database backup behind the "Save database" window (TfmSaveDB): the
// command-line builders its edits show, the due test of the main window's
// close, and SaveDB1, which stores the pending changes, copies the catalog
// into the archive folder and packs it.
//
// The copy is the engine's online backup of the file the connection uses
// (FDSQLiteBackup), so it holds one committed state; SaveDB1 first stores the
// browsing queries and makes them durable, so that state includes the
// session's work.  A backup is recorded (the settings' last backup date and
// interval) only when one exists:
//
//   kind 0  internal zip  the copy and the archive are made under temporary
//                         names; the archive "qv<date>.zip" replaces the
//                         day's earlier one once its entry inflates to the
//                         right size and CRC-32; no copy stays
//   kind 1  external      the archiver's command line ran and ended with
//                         exit code 0; the copy is deleted then
//   kind 2  none          the copy "bibliona.sqlite" passes quick_check
//
// When an archiver is missing or fails, the copy stays in the archive folder
// and nothing is recorded.  A copy that would replace a catalog is refused.
#pragma once

#include "platform/rtl/system.h"

#include <functional>

class TdmCatalog;
class TSettings;

// The items of the "Compression:" box, in their order.
enum TArchiveKind { akInternal = 0, akExternal = 1, akNone = 2 };

// The name of the copy in the archive folder and of the archive's entry.
inline constexpr QLatin1StringView BackupCopyName{"bibliona.sqlite"};

// the window's texts

// The archive's base name: "qv" + Today as "yyyy-mm-dd".
String Flarcdate(TDateTime Today);
// The archiver's arguments (the field arc): the archive folder and base name,
// then the folder and the copy's name, each in double quotes, one blank
// between.  FlName is trimmed.
String BuildArc(const String& ArcCatalog, const String& FlName);
// The full command line (edFullArc): Archiver, a blank, Arc.
String BuildFullArc(const String& Archiver, const String& Arc);
// The archiver program of the "Archiver:" text: everything up to and with its
// first "exe"; without one (usual here), its first token.
String ArchiverProgram(const String& Archiver);

// The main window's close offers a backup when the whole days between
// CurrDate and SaveDate are at least SaveInterval.
bool BackupDue(TDateTime CurrDate, TDateTime SaveDate, Integer SaveInterval);

// What the window's controls hold when "Further" is pressed.
struct TBackupOrder {
  TArchiveKind Kind = akInternal;
  String ArcCatalog;      // the folder edit, ending in a path delimiter
  String Archiver;        // "Archiver:" (edArc)
  String FullArc;         // "Archiving options:" (edFullArc), run as it is
  Integer Interval = 0;   // the interval edit, days
};

enum class TBackupStage { Copy, Pack, Check };
// Done of Total: pages while copying, bytes while packing and checking.
using TBackupProgress = std::function<void(TBackupStage Stage, Int64 Done, Int64 Total)>;

// "Further": stores the pending changes of fdqCatalog, fdqSubPropety,
// fdqDisPropety, fdqDisease, fdqPart2 and fdqPart1 (posting open edits
// first), makes them durable, creates the archive folder, copies the
// connection's catalog file and packs it by Order.Kind; when a backup
// exists, records today and Order.Interval in the settings file beside the
// program and in Settings.  Answers whether it was recorded; an archiver
// that is missing or fails has been reported (ShowMessageBox).
//
// A failing apply raises its error: the queries applied before it stay
// stored, the failing one keeps its cache, nothing is rolled back, copied or
// recorded.  A locked catalog, a folder that cannot be made, a zip or check
// failure raise too; the archive folder then holds what it held before.
bool SaveDB1(TdmCatalog* Dm, TSettings& Settings, const TBackupOrder& Order, const TBackupProgress& Progress = {});

inline constexpr QLatin1StringView ArchiverMissingText{"The archiver %s was not found. Specify the settings."};
inline constexpr QLatin1StringView ArchiverFailedText{"The archiver ended with exit code %d."};
