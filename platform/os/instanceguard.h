// The single-instance guard: "is this program already running for this user?"
//
// Two named mutexes of the original become two lock files held with flock:
//   <folder>/<Title>.OneInstance32.CriticalSection.lock  serialises racing starts
//   <folder>/<Title>OneInstance32.Default.lock            held while the instance runs
// ("/" in a name becomes "_").  The kernel drops a lock when its holder dies,
// which matches "an abandoned mutex counts as acquired"; files are opened
// with O_CLOEXEC and SpawnProcess closes every other descriptor, so no child
// inherits a lock.  The files are never deleted: deleting a held lock file
// would let the next start lock a new file beside it.  Any error answers
// "only instance", as the original did when its mutex calls failed.
#pragma once

#include "platform/rtl/system.h"

// $XDG_RUNTIME_DIR when it is a folder of ours, else /tmp/.named-locks-<uid>
// (made with mode 0700; it must be a folder of ours that nobody else can
// open).  "" when neither is usable.
String DefaultLockFolder();

// The guard over lock files in one folder.  Releases its lock when destroyed.
class TInstanceGuard {
public:
  explicit TInstanceGuard(const String& LockFolder);
  ~TInstanceGuard();
  TInstanceGuard(const TInstanceGuard&) = delete;
  TInstanceGuard& operator=(const TInstanceGuard&) = delete;

  // Takes the critical-section lock of Title (waiting for a racing start),
  // then tries the instance lock without waiting: true and held when it was
  // free (or on any error), false when another holder has it.
  bool Check(const String& Title);
  // Drops the instance lock when held.
  void Release();
  bool Holding() const { return FHandle >= 0; }

private:
  String FFolder;
  int FHandle = -1;
};

// The program's guard in DefaultLockFolder() under ExecutableTitle(), taken
// before the application title is set.  The lock is kept until
// ReleaseSingleInstance (the app calls it after its message loop) or the end
// of the process.
bool CheckSingleInstance();
void ReleaseSingleInstance();
