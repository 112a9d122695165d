// Starting programs: the original command-line rules on posix_spawn.
//
// No shell ever sees a command line: it is split here by the rules of the
// original OS and the program is started directly.  Every start goes through
// SpawnProcess, the one place that keeps descriptors from leaking into
// children (a child that outlives us must not hold our lock files), and
// through the process-wide launcher, which tests replace with a recorder.
#pragma once

#include "platform/rtl/system.h"

#include <sys/types.h>
#include <vector>

using TArgv = std::vector<String>;

// Window show states as the original passes them; here they only decide
// whether a child's output is shown (inherited) or hidden (/dev/null).
inline constexpr Integer SW_HIDE = 0;
inline constexpr Integer SW_SHOWNORMAL = 1;
inline constexpr Integer SW_NORMAL = 1;
inline constexpr Integer SW_SHOWMAXIMIZED = 3;
inline constexpr Integer SW_MAXIMIZE = 3;
inline constexpr Integer SW_SHOW = 5;
inline constexpr Integer SW_SHOWDEFAULT = 10;

// Splits a command line: the program token runs from a leading '"' to the
// next '"' (no escapes), else to the first blank or tab; the arguments follow
// the C runtime's rules (blanks and tabs separate, "..." groups, 2n
// backslashes and a '"' give n backslashes and toggle quoting, 2n+1 give n
// backslashes and a literal '"', other backslashes are literal, "" inside
// quotes is a literal '"').  A line of blanks gives no tokens.
TArgv SplitCommandLine(const String& CommandLine);

struct TSpawnOptions {
  bool Hidden = false;    // stdout and stderr to /dev/null instead of ours
  bool Detached = false;  // nobody waits: a waiter thread reaps the child
};

// The services behind RunAndWait, FindProgram and SpawnProcess.
class IProcessLauncher {
public:
  virtual ~IProcessLauncher() = default;
  // The path of Program: NativePath first; a name holding "/" is taken as
  // it is, any other is looked up in PATH, then in the program folder; a name
  // ending in ".exe" (any case) that is not found is tried without it.  ""
  // when nothing executable is found.
  virtual String FindProgram(const String& Program) = 0;
  // Starts Argv[0] (a path, as FindProgram answers) with its own session, our
  // environment and folder, stdin from /dev/null and no descriptor above 2.
  // The child's id, or -1 when it could not be started.
  virtual pid_t SpawnProcess(const TArgv& Argv, const TSpawnOptions& Options) = 0;
  // Finds Argv[0], starts it (hidden for SW_HIDE) and waits without a time
  // limit: the exit status 0..255, 128 + the signal that killed it, or -1
  // when it was not found or could not be started.
  virtual Integer RunAndWait(const TArgv& Argv, Integer ShowMode) = 0;
};

// The launcher in use: the innermost TProcessLauncherScope's, else the real one.
IProcessLauncher& ProcessLauncher();

// Installs Launcher for the lifetime of the scope and then puts the previous
// one back; does not own it.  Set while no other thread starts processes.
class TProcessLauncherScope {
public:
  explicit TProcessLauncherScope(IProcessLauncher& Launcher);
  ~TProcessLauncherScope();
  TProcessLauncherScope(const TProcessLauncherScope&) = delete;
  TProcessLauncherScope& operator=(const TProcessLauncherScope&) = delete;

private:
  IProcessLauncher* FPrevious;
};

// Splits CommandLine and runs it through the launcher; -1 for an empty line.
// The calling thread is blocked until the child ends.
Integer RunAndWait(const String& CommandLine, Integer ShowMode);
String FindProgram(const String& Program);
pid_t SpawnProcess(const TArgv& Argv, const TSpawnOptions& Options);
// Waits for a child started without Detached: its exit status, 128 + the
// killing signal, or -1 when Pid is not a child of ours.
Integer WaitForProcess(pid_t Pid);
