// A consistent copy of a SQLite database file taken while other connections
// use it: the engine's online backup, a chunk of pages at a time, read through
// a read-only connection of its own.
//
// The copy holds the file's committed state only: a transaction that another
// connection has open (and its savepoints) is not in it.  Between two chunks
// the source is unlocked; when another connection commits meanwhile the
// engine starts the copy again, so what arrives is always one committed
// state, never a mix.
//
// DestPath is replaced only by a complete copy: the pages go into a
// temporary file beside DestPath, which is renamed over DestPath at the end.
// A failure leaves DestPath as it was and removes the temporary file.
#pragma once

#include "platform/rtl/system.h"

#include <functional>

// Hears the copy's progress after every chunk: Done of Total pages.
using TFDBackupProgress = std::function<void(int Done, int Total)>;

// The data module's busy time-out, milliseconds.
inline constexpr int FDBackupBusyTimeout = 1000;

// Copies the database file SourcePath into DestPath (both paths as the OS
// names them).  A source that stays locked longer than BusyTimeout
// milliseconds, and every other engine failure (no such file, not a
// database, a folder that cannot be written), raise EFDDBEngineException
// with the engine's text.  DestPath naming SourcePath itself raises
// EFDException before anything is opened.
void FDSQLiteBackup(const String& SourcePath, const String& DestPath, const TFDBackupProgress& Progress = {},
                    int BusyTimeout = FDBackupBusyTimeout);
