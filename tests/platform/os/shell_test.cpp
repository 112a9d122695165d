#include "platform/os/shell.h"

#include "platform/os/drivemap.h"
#include "platform/os/osunit.h"
#include "platform/os/process.h"
#include "tests/support/testing.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const String Helper = QStringLiteral(OS_TEST_HELPER);

// Records the starts the real shell asks for instead of starting anything.
class TRecordingLauncher : public IProcessLauncher {
public:
  String FindProgram(const String& Program) override {
    return Program == QStringLiteral("no-opener") ? String() : QStringLiteral("/usr/bin/") + Program;
  }
  pid_t SpawnProcess(const TArgv& Argv, const TSpawnOptions& Options) override {
    Spawns.push_back(Argv);
    Detached = Options.Detached;
    return 4242;
  }
  Integer RunAndWait(const TArgv&, Integer) override { return -1; }

  std::vector<TArgv> Spawns;
  bool Detached = false;
};

class TRecordingShell : public IShell {
public:
  Integer Open(const String& Verb, const String& Target, Integer ShowCmd) override {
    Calls.push_back({Verb, Target, ShowCmd});
    return ShellLaunched;
  }
  struct TCall {
    String Verb;
    String Target;
    Integer ShowCmd;
    bool operator==(const TCall&) const = default;
  };
  std::vector<TCall> Calls;
};

class ShellTest : public ::testing::Test {
protected:
  void SetUp() override {
    InitializeUnits({OsUnit});
    ASSERT_TRUE(Dir.isValid());
  }
  String touch(const String& Name) {
    const String Path = Dir.filePath(Name);
    QFile F(Path);
    EXPECT_TRUE(F.open(QIODevice::WriteOnly));
    return Path;
  }

  QTemporaryDir Dir;
};

TEST(IsURLTargetTest, SchemeOfTwoOrMoreCharacters) {
  struct Case {
    const char* Name;
    String Target;
    bool Expected;
  } Cases[] = {
      {"https", QStringLiteral("https://x/y?q=a b"), true},
      {"mailto", QStringLiteral("mailto:a@b.c"), true},
      {"scheme characters", QStringLiteral("svn+ssh.x-1:a"), true},
      {"two characters", QStringLiteral("ab:c"), true},
      {"drive letter", QStringLiteral("D:\\docs\\a.pdf"), false},
      {"drive letter with slash", QStringLiteral("c:/a"), false},
      {"blank in scheme", QStringLiteral("a b:c"), false},
      {"no colon", QStringLiteral("report\\list.txt"), false},
      {"path before colon", QStringLiteral("/tmp/a:b"), false},
      {"empty", String(), false},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(IsURLTarget(C.Target), C.Expected);
  }
}

TEST_F(ShellTest, OpenerGetsTheTargetAsOneArgument) {
  // The opener writes into a FIFO: the read below waits for it without a
  // time limit and ends when the opener closes its end.
  const String Fifo = Dir.filePath(QStringLiteral("opened"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(Fifo).constData(), 0600), 0);
  const TOpenerCommandScope Opener(u'"' + Helper + QStringLiteral("\" argv \"") + Fifo + u'"');
  const String Target = touch(QStringLiteral("a b; $(touch pwned) \"q\" 'x' `y`\nz.pdf"));

  ASSERT_EQ(ShellExecute(0, QStringLiteral("open"), Target, String(), String(), SW_SHOWMAXIMIZED), ShellLaunched);
  const int Reader = ::open(QFile::encodeName(Fifo).constData(), O_RDONLY);
  ASSERT_GE(Reader, 0);
  QByteArray Written;
  char Buffer[256];
  for (ssize_t Got; (Got = ::read(Reader, Buffer, sizeof Buffer)) > 0;) Written.append(Buffer, Got);
  ::close(Reader);
  EXPECT_EQ(Written, QFile::encodeName(Target) + '\0');
  EXPECT_FALSE(QFile::exists(QStringLiteral("pwned")));
}

TEST_F(ShellTest, TargetsAreMappedOrPassedOn) {
  TRecordingLauncher Launcher;
  const TProcessLauncherScope Scope(Launcher);
  const TDriveMapScope Drives({{u'D', Dir.path()}});
  ASSERT_TRUE(QDir(Dir.path()).mkdir(QStringLiteral("docs")));
  touch(QStringLiteral("docs/a b.pdf"));

  EXPECT_EQ(ShellExecute(0, QStringLiteral("OPEN"), QStringLiteral("D:\\docs\\a b.pdf"), String(), String(),
                         SW_SHOWNORMAL),
            ShellLaunched);
  EXPECT_EQ(ShellExecute(0, String(), QStringLiteral("https://x/y?q=a b"), String(), String(), SW_SHOWNORMAL),
            ShellLaunched);
  EXPECT_EQ(ShellExecute(0, String(), QStringLiteral("D:\\docs"), String(), String(), SW_SHOWDEFAULT),
            ShellLaunched)
      << "a folder opens too";
  EXPECT_EQ(ShellExecute(0, String(), QStringLiteral("D:\\docs\\missing.pdf"), String(), String(), SW_SHOWNORMAL),
            SE_ERR_FNF);
  EXPECT_EQ(ShellExecute(0, QStringLiteral("print"), QStringLiteral("https://x"), String(), String(), SW_SHOWNORMAL),
            SE_ERR_NOASSOC);

  const std::vector<TArgv> Expected = {
      {QStringLiteral("/usr/bin/xdg-open"), Dir.path() + QStringLiteral("/docs/a b.pdf")},
      {QStringLiteral("/usr/bin/xdg-open"), QStringLiteral("https://x/y?q=a b")},
      {QStringLiteral("/usr/bin/xdg-open"), Dir.path() + QStringLiteral("/docs")},
  };
  EXPECT_EQ(Launcher.Spawns, Expected) << "no start for a missing file or an unknown verb";
  EXPECT_TRUE(Launcher.Detached);
}

TEST_F(ShellTest, NoOpenerAnswersNoAssociation) {
  TRecordingLauncher Launcher;
  const TProcessLauncherScope Scope(Launcher);
  const TOpenerCommandScope Opener(QStringLiteral("no-opener --x"));
  EXPECT_EQ(ShellExecute(0, String(), QStringLiteral("https://x"), String(), String(), SW_SHOWNORMAL),
            SE_ERR_NOASSOC);
  EXPECT_TRUE(Launcher.Spawns.empty());
}

TEST_F(ShellTest, OpenerCommandLineKeepsItsArguments) {
  TRecordingLauncher Launcher;
  const TProcessLauncherScope Scope(Launcher);
  {
    const TOpenerCommandScope Opener(QStringLiteral("opener --new-window \"a b\""));
    EXPECT_EQ(OpenerCommand(), QStringLiteral("opener --new-window \"a b\""));
    ShellExecute(0, String(), QStringLiteral("https://x"), String(), String(), SW_SHOWNORMAL);
  }
  EXPECT_EQ(OpenerCommand(), QStringLiteral("xdg-open"));
  ASSERT_EQ(Launcher.Spawns.size(), 1u);
  EXPECT_EQ(Launcher.Spawns[0], (TArgv{QStringLiteral("/usr/bin/opener"), QStringLiteral("--new-window"),
                                       QStringLiteral("a b"), QStringLiteral("https://x")}));
}

TEST_F(ShellTest, ShellScopeSeesTheNativeTarget) {
  TRecordingShell Recorder;
  {
    const TShellScope Scope(Recorder);
    const TDriveMapScope Drives({{u'e', QStringLiteral("/data/e")}});
    ShellExecute(0, QStringLiteral("open"), QStringLiteral("e:\\docs\\a.pdf"), String(), String(), SW_SHOWMAXIMIZED);
    ShellExecute(0, String(), QStringLiteral("report\\filelist.txt"), String(), String(), SW_SHOWDEFAULT);
    ShellExecute(0, QStringLiteral("OPEN"), QStringLiteral("http://a\\b"), String(), String(), SW_SHOWNORMAL);
  }
  const std::vector<TRecordingShell::TCall> Expected = {
      {QStringLiteral("open"), QStringLiteral("/data/e/docs/a.pdf"), SW_SHOWMAXIMIZED},
      {String(), QStringLiteral("report/filelist.txt"), SW_SHOWDEFAULT},
      {QStringLiteral("OPEN"), QStringLiteral("http://a\\b"), SW_SHOWNORMAL},
  };
  EXPECT_EQ(Recorder.Calls, Expected);
}

}  // namespace
