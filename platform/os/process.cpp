#include "platform/os/process.h"

#include "platform/os/drivemap.h"
#include "platform/os/program.h"
#include "platform/rtl/strutils.h"

#include <QFile>
#include <QStringList>

#include <cassert>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

constexpr Integer NotStarted = -1;
// The shell convention for a child killed by a signal, which keeps -1 free
// for "not started".
constexpr Integer SignalExitBase = 128;

bool isBlank(Char C) { return C == u' ' || C == u'\t'; }

// One argument by the C runtime's rules, starting at Pos (not a blank);
// leaves Pos after it.
String splitArgument(const String& Line, qsizetype& Pos) {
  String Arg;
  bool Quoted = false;
  while (Pos < Line.size() && (Quoted || !isBlank(Line[Pos]))) {
    const Char C = Line[Pos];
    if (C == u'\\') {
      qsizetype Count = 0;
      while (Pos < Line.size() && Line[Pos] == u'\\') ++Count, ++Pos;
      if (Pos < Line.size() && Line[Pos] == u'"') {
        Arg += String(Count / 2, u'\\');
        if (Count % 2 == 1) {
          Arg += u'"';
          ++Pos;
        }
      } else {
        Arg += String(Count, u'\\');
      }
    } else if (C == u'"') {
      if (Quoted && Pos + 1 < Line.size() && Line[Pos + 1] == u'"') {
        Arg += u'"';
        Pos += 2;
      } else {
        Quoted = !Quoted;
        ++Pos;
      }
    } else {
      Arg += C;
      ++Pos;
    }
  }
  return Arg;
}

bool isExecutableFile(const QByteArray& Path) {
  struct stat Info;
  return ::stat(Path.constData(), &Info) == 0 && S_ISREG(Info.st_mode) && ::access(Path.constData(), X_OK) == 0;
}

String searchProgram(const String& Name) {
  if (Name.isEmpty()) return String();
  if (Name.contains(u'/')) return isExecutableFile(QFile::encodeName(Name)) ? Name : String();
  QStringList Folders = qEnvironmentVariable("PATH").split(u':', Qt::SkipEmptyParts);
  Folders += ProgramFolder();
  for (const String& Folder : Folders) {
    const String Candidate = IncludeTrailingPathDelimiter(Folder) + Name;
    if (isExecutableFile(QFile::encodeName(Candidate))) return Candidate;
  }
  return String();
}

// posix_spawn's argument lists: the encoded texts and the pointer array over
// them, which must outlive the call.
class TCStrings {
public:
  explicit TCStrings(const TArgv& Texts) {
    for (const String& S : Texts) FBytes.push_back(QFile::encodeName(S));
    for (QByteArray& B : FBytes) FPointers.push_back(B.data());
    FPointers.push_back(nullptr);
  }
  char* const* data() { return FPointers.data(); }

private:
  std::vector<QByteArray> FBytes;
  std::vector<char*> FPointers;
};

// The attributes every child gets: its own session (no terminal signals from
// ours), an empty signal mask and default handling of every signal, because
// ignored signals would survive the exec.
class TSpawnSetup {
public:
  explicit TSpawnSetup(const TSpawnOptions& Options) {
    posix_spawnattr_init(&FAttr);
    sigset_t Signals;
    sigemptyset(&Signals);
    posix_spawnattr_setsigmask(&FAttr, &Signals);
    sigfillset(&Signals);
    sigdelset(&Signals, SIGKILL);
    sigdelset(&Signals, SIGSTOP);
    posix_spawnattr_setsigdefault(&FAttr, &Signals);
    posix_spawnattr_setflags(&FAttr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    posix_spawn_file_actions_init(&FActions);
    posix_spawn_file_actions_addopen(&FActions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (Options.Hidden) {
      posix_spawn_file_actions_addopen(&FActions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
      posix_spawn_file_actions_adddup2(&FActions, STDOUT_FILENO, STDERR_FILENO);
    }
    posix_spawn_file_actions_addclosefrom_np(&FActions, STDERR_FILENO + 1);
  }
  ~TSpawnSetup() {
    posix_spawn_file_actions_destroy(&FActions);
    posix_spawnattr_destroy(&FAttr);
  }
  TSpawnSetup(const TSpawnSetup&) = delete;
  TSpawnSetup& operator=(const TSpawnSetup&) = delete;

  const posix_spawnattr_t* attr() const { return &FAttr; }
  const posix_spawn_file_actions_t* actions() const { return &FActions; }

private:
  posix_spawnattr_t FAttr;
  posix_spawn_file_actions_t FActions;
};

class TPosixLauncher : public IProcessLauncher {
public:
  String FindProgram(const String& Program) override {
    const String Name = NativePath(Program);
    const String Found = searchProgram(Name);
    if (!Found.isEmpty() || !Name.endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive)) return Found;
    return searchProgram(Name.chopped(4));
  }

  pid_t SpawnProcess(const TArgv& Argv, const TSpawnOptions& Options) override {
    assert(!Argv.empty() && "a process needs a program");
    TSpawnSetup Setup(Options);
    TCStrings Args(Argv);
    pid_t Pid = -1;
    if (posix_spawn(&Pid, Args.data()[0], Setup.actions(), Setup.attr(), Args.data(), environ) != 0) return -1;
    if (Options.Detached) std::thread([Pid] { WaitForProcess(Pid); }).detach();
    return Pid;
  }

  Integer RunAndWait(const TArgv& Argv, Integer ShowMode) override {
    TArgv Resolved = Argv;
    Resolved[0] = FindProgram(Argv[0]);
    if (Resolved[0].isEmpty()) return NotStarted;
    const pid_t Pid = SpawnProcess(Resolved, {.Hidden = ShowMode == SW_HIDE, .Detached = false});
    return Pid < 0 ? NotStarted : WaitForProcess(Pid);
  }
};

constinit IProcessLauncher* ScopeLauncher = nullptr;

}  // namespace

TArgv SplitCommandLine(const String& CommandLine) {
  TArgv Result;
  qsizetype Pos = 0;
  while (Pos < CommandLine.size() && isBlank(CommandLine[Pos])) ++Pos;
  if (Pos == CommandLine.size()) return Result;
  if (CommandLine[Pos] == u'"') {
    const qsizetype Close = CommandLine.indexOf(u'"', Pos + 1);
    const qsizetype End = Close < 0 ? CommandLine.size() : Close;
    Result.push_back(CommandLine.mid(Pos + 1, End - Pos - 1));
    Pos = Close < 0 ? End : Close + 1;
  } else {
    const qsizetype Start = Pos;
    while (Pos < CommandLine.size() && !isBlank(CommandLine[Pos])) ++Pos;
    Result.push_back(CommandLine.mid(Start, Pos - Start));
  }
  for (;;) {
    while (Pos < CommandLine.size() && isBlank(CommandLine[Pos])) ++Pos;
    if (Pos == CommandLine.size()) return Result;
    Result.push_back(splitArgument(CommandLine, Pos));
  }
}

IProcessLauncher& ProcessLauncher() {
  if (ScopeLauncher) return *ScopeLauncher;
  static TPosixLauncher Posix;  // no state: nothing to start up
  return Posix;
}

TProcessLauncherScope::TProcessLauncherScope(IProcessLauncher& Launcher) : FPrevious(ScopeLauncher) {
  ScopeLauncher = &Launcher;
}

TProcessLauncherScope::~TProcessLauncherScope() { ScopeLauncher = FPrevious; }

Integer RunAndWait(const String& CommandLine, Integer ShowMode) {
  const TArgv Argv = SplitCommandLine(CommandLine);
  return Argv.empty() ? NotStarted : ProcessLauncher().RunAndWait(Argv, ShowMode);
}

String FindProgram(const String& Program) { return ProcessLauncher().FindProgram(Program); }

pid_t SpawnProcess(const TArgv& Argv, const TSpawnOptions& Options) {
  return ProcessLauncher().SpawnProcess(Argv, Options);
}

Integer WaitForProcess(pid_t Pid) {
  int Status = 0;
  pid_t Done;
  do {
    Done = ::waitpid(Pid, &Status, 0);
  } while (Done < 0 && errno == EINTR);
  if (Done < 0) return NotStarted;
  if (WIFSIGNALED(Status)) return SignalExitBase + WTERMSIG(Status);
  return WEXITSTATUS(Status);
}
