#include "platform/os/process.h"

#include "platform/os/osunit.h"
#include "platform/os/program.h"
#include "tests/support/testing.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

namespace {

const String Helper = QStringLiteral(OS_TEST_HELPER);

String quoted(const String& S) { return u'"' + S + u'"'; }

// The NUL-terminated texts a helper wrote with "argv".
std::vector<QByteArray> readArgs(const String& FileName) {
  QFile F(FileName);
  if (!F.open(QIODevice::ReadOnly)) return {};
  QByteArray Data = F.readAll();
  if (Data.endsWith('\0')) Data.chop(1);
  std::vector<QByteArray> Args;
  for (const QByteArray& A : Data.split('\0')) Args.push_back(A);
  return Args;
}

class ProcessTest : public ::testing::Test {
protected:
  void SetUp() override {
    InitializeUnits({OsUnit});
    ASSERT_TRUE(Dir.isValid());
  }
  String path(const String& Name) const { return Dir.filePath(Name); }

  QTemporaryDir Dir;
};

TEST(SplitCommandLineTest, FollowsTheOriginalRules) {
  struct Case {
    const char* Name;
    String Line;
    TArgv Expected;
  } Cases[] = {
      {"blanks separate", QStringLiteral("p a b"), {"p", "a", "b"}},
      {"quotes group", QStringLiteral("p \"a b\" c"), {"p", "a b", "c"}},
      {"odd backslashes before a quote", QStringLiteral(R"(p a\\\"b)"), {"p", R"(a\"b)"}},
      {"even backslashes before a quote", QStringLiteral(R"(p a\\\\"b c")"), {"p", R"(a\\b c)"}},
      {"doubled quote inside quotes", QStringLiteral(R"(p "x""y")"), {"p", "x\"y"}},
      {"other backslashes are literal", QStringLiteral(R"(p a\b\c)"), {"p", R"(a\b\c)"}},
      {"tab separates", QStringLiteral("p\ta\t b"), {"p", "a", "b"}},
      {"quoted program token keeps backslashes",
       QStringLiteral(R"("C:\Program Files\x.exe" -y)"),
       {R"(C:\Program Files\x.exe)", "-y"}},
      {"program token ends at a blank, not at quotes", QStringLiteral(R"(a\"b c)"), {R"(a\"b)", "c"}},
      {"empty quoted argument", QStringLiteral("p \"\" x"), {"p", "", "x"}},
      {"unclosed quote runs to the end", QStringLiteral("p \"a b"), {"p", "a b"}},
      {"unclosed program quote", QStringLiteral("\"C:\\a b"), {"C:\\a b"}},
      {"leading and trailing blanks", QStringLiteral("  p  a  "), {"p", "a"}},
      {"blanks only", QStringLiteral(" \t "), {}},
      {"empty", String(), {}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(SplitCommandLine(C.Line), C.Expected);
  }
}

TEST_F(ProcessTest, RunAndWaitAnswersTheExitStatus) {
  struct Case {
    const char* Name;
    String CommandLine;
    Integer Expected;
  } Cases[] = {
      {"exit code", quoted(Helper) + QStringLiteral(" exit 3"), 3},
      {"highest exit code", quoted(Helper) + QStringLiteral(" exit 255"), 255},
      {"program from PATH", QStringLiteral("true"), 0},
      {"shell exit code", QStringLiteral("sh -c \"exit 7\""), 7},
      {"killed by SIGTERM", quoted(Helper) + QStringLiteral(" signal 15"), 128 + 15},
      {"killed by SIGKILL", quoted(Helper) + QStringLiteral(" signal 9"), 128 + 9},
      {"stdin is /dev/null", quoted(Helper) + QStringLiteral(" stdin"), 0},
      {"missing program", QStringLiteral("no-such-program-of-the-suite -x"), -1},
      {"empty line", QStringLiteral("  "), -1},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(RunAndWait(C.CommandLine, SW_HIDE), C.Expected);
  }
}

TEST_F(ProcessTest, ArgumentsReachTheChildAsSplit) {
  const String Out = path(QStringLiteral("args"));
  const String Line = quoted(Helper) + QStringLiteral(" argv ") + quoted(Out) +
                      QStringLiteral(R"( "a b" c\"d 'e' $(f) ; Статья "x""y")");
  ASSERT_EQ(RunAndWait(Line, SW_SHOWNORMAL), 0);
  const std::vector<QByteArray> Expected = {"a b", "c\"d", "'e'", "$(f)", ";", "Статья", "x\"y"};
  EXPECT_EQ(readArgs(Out), Expected);
}

TEST_F(ProcessTest, ChildInheritsNoDescriptorAboveStderr) {
  // A descriptor left inheritable on purpose: only the spawner's close-all
  // keeps it from the child.
  const int Leaky = ::open("/dev/null", O_RDONLY);
  ASSERT_GE(Leaky, 3);
  const String Out = path(QStringLiteral("fds"));
  EXPECT_EQ(RunAndWait(quoted(Helper) + QStringLiteral(" fds ") + quoted(Out), SW_HIDE), 0);
  ::close(Leaky);
  QFile F(Out);
  ASSERT_TRUE(F.open(QIODevice::ReadOnly));
  EXPECT_EQ(F.readAll(), QByteArray("0\n1\n2\n"));
}

TEST_F(ProcessTest, FindProgramSearchesPathThenTheProgramFolder) {
  const String Tool = path(QStringLiteral("suite-tool"));
  ASSERT_TRUE(QFile::copy(Helper, Tool));
  const String Plain = path(QStringLiteral("plain-file"));
  QFile(Plain).open(QIODevice::WriteOnly);
  const TProgramPathScope Program(path(QStringLiteral("bibliona")));

  const String Sh = FindProgram(QStringLiteral("sh"));
  EXPECT_TRUE(Sh.startsWith(u'/') && Sh.endsWith(QStringLiteral("/sh"))) << Sh.toStdString();
  EXPECT_EQ(FindProgram(QStringLiteral("sh.EXE")), Sh);
  EXPECT_EQ(FindProgram(QStringLiteral("suite-tool")), Tool);
  EXPECT_EQ(FindProgram(QStringLiteral("suite-tool.exe")), Tool);
  EXPECT_EQ(FindProgram(Tool), Tool);
  EXPECT_EQ(FindProgram(QStringLiteral("plain-file")), String()) << "not executable";
  EXPECT_EQ(FindProgram(Dir.path()), String()) << "a folder";
  EXPECT_EQ(FindProgram(QStringLiteral("no-such-program-of-the-suite.exe")), String());
  EXPECT_EQ(FindProgram(String()), String());
}

TEST_F(ProcessTest, DetachedChildIsReapedByItsWaiter) {
  const String True = FindProgram(QStringLiteral("true"));
  const pid_t Pid = SpawnProcess({True}, {.Hidden = true, .Detached = true});
  ASSERT_GT(Pid, 0);
  // The waiter thread owns the child: it is ours to neither wait for nor see
  // as a zombie once it has been reaped.
  for (int Tries = 0; Tries < 30000 && ::kill(Pid, 0) == 0; ++Tries) ::usleep(1000);
  EXPECT_EQ(errno, ESRCH);
}

TEST_F(ProcessTest, SpawnFailureAnswersMinusOne) {
  EXPECT_EQ(SpawnProcess({path(QStringLiteral("missing"))}, {}), -1);
  const pid_t Pid = SpawnProcess({Helper, QStringLiteral("exit"), QStringLiteral("4")}, {.Hidden = true});
  ASSERT_GT(Pid, 0);
  EXPECT_EQ(WaitForProcess(Pid), 4);
  EXPECT_EQ(WaitForProcess(Pid), -1) << "already reaped";
}

class TRecordingLauncher : public IProcessLauncher {
public:
  String FindProgram(const String& Program) override { return Program; }
  pid_t SpawnProcess(const TArgv&, const TSpawnOptions&) override { return -1; }
  Integer RunAndWait(const TArgv& Argv, Integer ShowMode) override {
    Calls.push_back({Argv, ShowMode});
    return 9;
  }
  std::vector<std::pair<TArgv, Integer>> Calls;
};

TEST_F(ProcessTest, LauncherScopeRecordsAndRestores) {
  TRecordingLauncher Recorder;
  {
    const TProcessLauncherScope Scope(Recorder);
    EXPECT_EQ(RunAndWait(QStringLiteral(R"("C:\Tools\7z.exe" a "D:\b c.zip")"), SW_HIDE), 9);
    EXPECT_EQ(RunAndWait(QStringLiteral(""), SW_HIDE), -1) << "an empty line never reaches the launcher";
  }
  ASSERT_EQ(Recorder.Calls.size(), 1u);
  EXPECT_EQ(Recorder.Calls[0].first, (TArgv{R"(C:\Tools\7z.exe)", "a", R"(D:\b c.zip)"}));
  EXPECT_EQ(Recorder.Calls[0].second, SW_HIDE);
  EXPECT_EQ(RunAndWait(QStringLiteral("true"), SW_HIDE), 0) << "the real launcher is back";
}

}  // namespace
