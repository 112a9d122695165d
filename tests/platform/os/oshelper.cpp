// A child process for the OS suites, so they test real processes without
// forking the test process itself.
//
//   guard <folder> <title>              checks the instance guard, prints 1 or 0,
//                                       then holds the lock until stdin closes
//   guard-spawn <folder> <title> <program> [args]
//                                       checks the guard, starts the program
//                                       detached, prints "<1|0> <pid>", exits
//   exit <code>                         exits with code
//   signal <number>                     kills itself with the signal
//   argv <file> [args]                  writes each argument and a NUL to file
//   fds <file>                          writes the numbers of its open
//                                       descriptors, one a line, to file
//   stdin                               exits 0 when stdin is /dev/null, else 1
#include "platform/os/instanceguard.h"
#include "platform/os/osunit.h"
#include "platform/os/process.h"

#include <QByteArray>
#include <QFile>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int UsageError = 100;

int holdGuard(const char* Folder, const char* Title) {
  TInstanceGuard Guard(QFile::decodeName(Folder));
  std::printf("%d\n", Guard.Check(QFile::decodeName(Title)) ? 1 : 0);
  std::fflush(stdout);
  char Buffer[64];
  while (::read(STDIN_FILENO, Buffer, sizeof Buffer) > 0) {
  }
  return 0;
}

int guardAndSpawn(int Argc, char** Argv) {
  TInstanceGuard Guard(QFile::decodeName(Argv[2]));
  const bool Only = Guard.Check(QFile::decodeName(Argv[3]));
  TArgv Child;
  for (int I = 4; I < Argc; ++I) Child.push_back(QFile::decodeName(Argv[I]));
  Child[0] = FindProgram(Child[0]);
  const pid_t Pid = SpawnProcess(Child, {.Hidden = true, .Detached = true});
  std::printf("%d %d\n", Only ? 1 : 0, int(Pid));
  std::fflush(stdout);
  // Exit with the lock held, as a program does that ends without cleaning up.
  std::_Exit(0);
}

int writeArgs(int Argc, char** Argv) {
  FILE* Out = std::fopen(Argv[2], "wb");
  if (!Out) return UsageError;
  for (int I = 3; I < Argc; ++I) std::fwrite(Argv[I], 1, std::strlen(Argv[I]) + 1, Out);
  return std::fclose(Out) == 0 ? 0 : UsageError;
}

int writeDescriptors(const char* FileName) {
  FILE* Out = std::fopen(FileName, "w");
  DIR* Dir = Out ? ::opendir("/proc/self/fd") : nullptr;
  if (!Dir) return UsageError;
  while (const dirent* Entry = ::readdir(Dir)) {
    if (Entry->d_name[0] == '.') continue;
    const int Fd = std::atoi(Entry->d_name);
    if (Fd != ::fileno(Out) && Fd != ::dirfd(Dir)) std::fprintf(Out, "%d\n", Fd);
  }
  ::closedir(Dir);
  return std::fclose(Out) == 0 ? 0 : UsageError;
}

int stdinIsNull() {
  struct stat In;
  struct stat Null;
  if (::fstat(STDIN_FILENO, &In) != 0 || ::stat("/dev/null", &Null) != 0) return 1;
  return S_ISCHR(In.st_mode) && In.st_rdev == Null.st_rdev ? 0 : 1;
}

}  // namespace

int main(int Argc, char** Argv) {
  if (Argc < 2) return UsageError;
  const std::string Command = Argv[1];
  InitializeUnits({RtlUnit, OsUnit});
  int Result = UsageError;
  if (Command == "guard" && Argc == 4) Result = holdGuard(Argv[2], Argv[3]);
  if (Command == "guard-spawn" && Argc >= 5) Result = guardAndSpawn(Argc, Argv);
  if (Command == "exit" && Argc == 3) Result = std::atoi(Argv[2]);
  if (Command == "signal" && Argc == 3) ::raise(std::atoi(Argv[2]));
  if (Command == "argv" && Argc >= 3) Result = writeArgs(Argc, Argv);
  if (Command == "fds" && Argc == 3) Result = writeDescriptors(Argv[2]);
  if (Command == "stdin") Result = stdinIsNull();
  FinalizeUnits();
  return Result;
}
