#include "platform/os/instanceguard.h"

#include "platform/os/osunit.h"
#include "platform/os/program.h"
#include "tests/support/testing.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// The helper program started with pipes on its stdin and stdout.
class THelperProcess {
public:
  explicit THelperProcess(const std::vector<std::string>& Args) {
    int In[2];
    int Out[2];
    if (::pipe2(In, O_CLOEXEC) != 0 || ::pipe2(Out, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t Actions;
    posix_spawn_file_actions_init(&Actions);
    posix_spawn_file_actions_adddup2(&Actions, In[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&Actions, Out[1], STDOUT_FILENO);
    std::vector<std::string> All = {OS_TEST_HELPER};
    All.insert(All.end(), Args.begin(), Args.end());
    std::vector<char*> Argv;
    for (std::string& A : All) Argv.push_back(A.data());
    Argv.push_back(nullptr);
    if (posix_spawn(&FPid, OS_TEST_HELPER, &Actions, nullptr, Argv.data(), environ) != 0) FPid = -1;
    posix_spawn_file_actions_destroy(&Actions);
    ::close(In[0]);
    ::close(Out[1]);
    FIn = In[1];
    FOut = Out[0];
  }
  ~THelperProcess() {
    CloseInput();
    if (FPid > 0) {
      ::kill(FPid, SIGKILL);
      Wait();
    }
    if (FOut >= 0) ::close(FOut);
  }
  THelperProcess(const THelperProcess&) = delete;
  THelperProcess& operator=(const THelperProcess&) = delete;

  bool Started() const { return FPid > 0; }
  std::string ReadLine() {
    std::string Line;
    char C;
    while (::read(FOut, &C, 1) == 1 && C != '\n') Line += C;
    return Line;
  }
  void CloseInput() {
    if (FIn >= 0) ::close(FIn);
    FIn = -1;
  }
  void Kill() { ::kill(FPid, SIGKILL); }
  // The raw wait status.
  int Wait() {
    int Status = -1;
    if (FPid > 0)
      while (::waitpid(FPid, &Status, 0) < 0 && errno == EINTR) {
      }
    FPid = -1;
    return Status;
  }

private:
  pid_t FPid = -1;
  int FIn = -1;
  int FOut = -1;
};

class InstanceGuardTest : public ::testing::Test {
protected:
  void SetUp() override {
    InitializeUnits({OsUnit});
    ASSERT_TRUE(Dir.isValid());
    Folder = Dir.path();
  }

  // Whether a fresh guard of this process gets Title now.
  bool checkHere(const String& Title) {
    TInstanceGuard Guard(Folder);
    return Guard.Check(Title);
  }

  QTemporaryDir Dir;
  String Folder;
};

TEST_F(InstanceGuardTest, HeldByAnotherProcessUntilItEnds) {
  THelperProcess Holder({"guard", Folder.toStdString(), "T"});
  ASSERT_TRUE(Holder.Started());
  ASSERT_EQ(Holder.ReadLine(), "1");
  EXPECT_FALSE(checkHere(QStringLiteral("T")));
  EXPECT_TRUE(checkHere(QStringLiteral("U"))) << "other titles do not see each other";
  EXPECT_TRUE(checkHere(QStringLiteral("t"))) << "names are case-sensitive";
  Holder.CloseInput();
  EXPECT_EQ(Holder.Wait(), 0);
  EXPECT_TRUE(checkHere(QStringLiteral("T")));
}

TEST_F(InstanceGuardTest, KilledHolderReleases) {
  THelperProcess Holder({"guard", Folder.toStdString(), "T"});
  ASSERT_EQ(Holder.ReadLine(), "1");
  EXPECT_FALSE(checkHere(QStringLiteral("T")));
  Holder.Kill();
  const int Status = Holder.Wait();
  EXPECT_TRUE(WIFSIGNALED(Status));
  EXPECT_TRUE(checkHere(QStringLiteral("T")));
}

TEST_F(InstanceGuardTest, RacingStartsLetExactlyOneIn) {
  std::vector<std::unique_ptr<THelperProcess>> Starts;
  for (int I = 0; I < 6; ++I)
    Starts.push_back(std::make_unique<THelperProcess>(std::vector<std::string>{"guard", Folder.toStdString(), "R"}));
  int Winners = 0;
  for (auto& Start : Starts) {
    const std::string Answer = Start->ReadLine();
    ASSERT_TRUE(Answer == "0" || Answer == "1") << Answer;
    Winners += Answer == "1";
  }
  EXPECT_EQ(Winners, 1);
}

TEST_F(InstanceGuardTest, ChildOfTheHolderDoesNotKeepTheLock) {
  THelperProcess Holder({"guard-spawn", Folder.toStdString(), "T", "sleep", "30"});
  const std::string Line = Holder.ReadLine();
  ASSERT_EQ(Line.substr(0, 2), "1 ") << Line;
  const pid_t Sleeper = std::atoi(Line.c_str() + 2);
  ASSERT_GT(Sleeper, 0);
  EXPECT_EQ(Holder.Wait(), 0);
  EXPECT_EQ(::kill(Sleeper, 0), 0) << "the child outlives the holder";
  EXPECT_TRUE(checkHere(QStringLiteral("T")));
  ::kill(Sleeper, SIGKILL);
}

TEST_F(InstanceGuardTest, SecondCheckInOneProcessFails) {
  TInstanceGuard First(Folder);
  ASSERT_TRUE(First.Check(QStringLiteral("T")));
  EXPECT_TRUE(First.Holding());
  EXPECT_FALSE(checkHere(QStringLiteral("T")));
  EXPECT_FALSE(First.Check(QStringLiteral("T"))) << "a second check of the holder itself";
  EXPECT_TRUE(First.Holding());
  First.Release();
  EXPECT_FALSE(First.Holding());
  EXPECT_TRUE(checkHere(QStringLiteral("T")));
}

TEST_F(InstanceGuardTest, LockFilesAreNamedPrivateAndKept) {
  {
    TInstanceGuard Guard(Folder);
    ASSERT_TRUE(Guard.Check(QStringLiteral("a/b")));
  }
  const QStringList Files = QDir(Folder).entryList(QDir::Files, QDir::Name);
  EXPECT_EQ(Files, QStringList({QStringLiteral("a_b.OneInstance32.CriticalSection.lock"),
                                QStringLiteral("a_bOneInstance32.Default.lock")}));
  for (const String& Name : Files) {
    struct stat Info;
    ASSERT_EQ(::stat(QFile::encodeName(Dir.filePath(Name)).constData(), &Info), 0);
    EXPECT_EQ(Info.st_mode & 0777, 0600u) << Name.toStdString();
  }
}

TEST_F(InstanceGuardTest, UnusableFolderFailsOpen) {
  TInstanceGuard Missing(Dir.filePath(QStringLiteral("missing")));
  EXPECT_TRUE(Missing.Check(QStringLiteral("T")));
  TInstanceGuard NoFolder((String()));
  EXPECT_TRUE(NoFolder.Check(QStringLiteral("T")));
  EXPECT_TRUE(NoFolder.Check(QStringLiteral("T")));
}

// Sets an environment variable for one test and puts the old value back.
class TEnvScope {
public:
  TEnvScope(const char* Name, const QByteArray& Value) : FName(Name), FHad(qEnvironmentVariableIsSet(Name)) {
    FOld = qgetenv(Name);
    qputenv(Name, Value);
  }
  ~TEnvScope() {
    if (FHad)
      qputenv(FName, FOld);
    else
      qunsetenv(FName);
  }

private:
  const char* FName;
  bool FHad;
  QByteArray FOld;
};

TEST_F(InstanceGuardTest, DefaultFolderIsTheRuntimeFolderWhenUsable) {
  {
    const TEnvScope Runtime("XDG_RUNTIME_DIR", QFile::encodeName(Folder));
    EXPECT_EQ(DefaultLockFolder(), Folder);
  }
  const String Fallback = QStringLiteral("/tmp/.named-locks-%1").arg(::getuid());
  for (const QByteArray& Unusable : {QByteArray("relative"), QByteArray(), QFile::encodeName(Folder + "/missing")}) {
    SCOPED_TRACE(Unusable.toStdString());
    const TEnvScope Runtime("XDG_RUNTIME_DIR", Unusable);
    EXPECT_EQ(DefaultLockFolder(), Fallback);
  }
  struct stat Info;
  ASSERT_EQ(::stat(QFile::encodeName(Fallback).constData(), &Info), 0);
  EXPECT_EQ(Info.st_mode & 0777, 0700u);
}

TEST_F(InstanceGuardTest, ProgramGuardUsesTheExecutableTitle) {
  const TEnvScope Runtime("XDG_RUNTIME_DIR", QFile::encodeName(Folder));
  const TProgramPathScope Program(QStringLiteral("/opt/x/LEXORIA.EXE"));
  ASSERT_TRUE(CheckSingleInstance());
  EXPECT_FALSE(checkHere(QStringLiteral("Lexoria")));
  ReleaseSingleInstance();
  EXPECT_TRUE(checkHere(QStringLiteral("Lexoria")));
  ReleaseSingleInstance();  // nothing held: no effect
}

}  // namespace
