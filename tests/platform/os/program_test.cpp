#include "platform/os/program.h"

#include "platform/os/osunit.h"
#include "tests/support/testing.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

class ProgramTest : public ::testing::Test {
protected:
  void SetUp() override { InitializeUnits({OsUnit}); }
};

TEST_F(ProgramTest, RealExecutableAndFolder) {
  const String Path = ExecutablePath();
  EXPECT_EQ(QFileInfo(Path).fileName(), QStringLiteral("platform_os_program_test"));
  EXPECT_TRUE(Path.startsWith(u'/'));
  EXPECT_EQ(ProgramFolder(), QFileInfo(Path).path() + u'/');
  EXPECT_EQ(ExecutableTitle(), QStringLiteral("platform_os_program_test"));
}

TEST_F(ProgramTest, ExecutableTitleTable) {
  struct Case {
    const char* Path;
    const char* Expected;
  } Cases[] = {
      {"/opt/x/Lexoria.exe", "Lexoria"}, {"/opt/x/LEXORIA.EXE", "Lexoria"}, {"/usr/bin/bibliona", "bibliona"},
      {"/a.b.c", "a"},                   {"/opt/x/ÄBC.exe", "Äbc"},          {"/opt/x/.hidden", ""},
      {"/opt/x/", ""},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Path);
    const TProgramPathScope Scope(QString::fromUtf8(C.Path));
    EXPECT_EQ(ExecutableTitle(), QString::fromUtf8(C.Expected));
  }
}

TEST_F(ProgramTest, OverrideMovesTheFolderAndRestores) {
  const String Real = ExecutablePath();
  {
    const TProgramPathScope Outer(QStringLiteral("/tmp/run/bibliona"));
    EXPECT_EQ(ProgramFolder(), QStringLiteral("/tmp/run/"));
    {
      const TProgramPathScope Inner(QStringLiteral("/x/y/z"));
      EXPECT_EQ(ProgramFolder(), QStringLiteral("/x/y/"));
    }
    EXPECT_EQ(ExecutablePath(), QStringLiteral("/tmp/run/bibliona"));
  }
  EXPECT_EQ(ExecutablePath(), Real);
}

// The four numbers the suite expects from the project version.
void projectVersion(Cardinal& MS, Cardinal& LS) {
  QStringList Parts = QStringLiteral(OS_TEST_PROJECT_VERSION).split(u'.');
  while (Parts.size() < 4) Parts.push_back(QStringLiteral("0"));
  MS = Parts[0].toUInt() << 16 | Parts[1].toUInt();
  LS = Parts[2].toUInt() << 16 | Parts[3].toUInt();
}

TEST_F(ProgramTest, FileVersionOnlyForTheProgramItself) {
  Cardinal ExpectedMS = 0;
  Cardinal ExpectedLS = 0;
  projectVersion(ExpectedMS, ExpectedLS);
  Cardinal MS = 7;
  Cardinal LS = 7;
  ASSERT_TRUE(GetFileVersion(ExecutablePath(), MS, LS));
  EXPECT_EQ(MS, ExpectedMS);
  EXPECT_EQ(LS, ExpectedLS);

  QTemporaryDir Dir;
  ASSERT_TRUE(Dir.isValid());
  const String Copy = Dir.filePath(QStringLiteral("bibliona"));
  ASSERT_TRUE(QFile::copy(ExecutablePath(), Copy));
  MS = LS = 7;
  EXPECT_FALSE(GetFileVersion(Copy, MS, LS)) << "an equal copy is another file";
  EXPECT_FALSE(GetFileVersion(Dir.filePath(QStringLiteral("missing")), MS, LS));
  EXPECT_EQ(MS, 7u);

  const String Link = Dir.filePath(QStringLiteral("link"));
  if (::link(QFile::encodeName(ExecutablePath()).constData(), QFile::encodeName(Link).constData()) == 0) {
    EXPECT_TRUE(GetFileVersion(Link, MS, LS)) << "a hard link is the same file";
  }

  const TProgramPathScope Program(Copy);
  EXPECT_TRUE(GetFileVersion(Copy, MS, LS)) << "the program is now the copy";
  EXPECT_EQ(MS, ExpectedMS);
}

}  // namespace
