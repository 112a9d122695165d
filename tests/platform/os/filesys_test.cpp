#include "platform/os/filesys.h"

#include "platform/os/drivemap.h"
#include "platform/os/osunit.h"
#include "platform/rtl/exceptions.h"
#include "tests/support/testing.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class FileSysTest : public ::testing::Test {
protected:
  void SetUp() override {
    InitializeUnits({OsUnit});
    ASSERT_TRUE(Dir.isValid());
  }
  String path(const String& Name) const { return Dir.filePath(Name); }
  void write(const String& Name, const QByteArray& Data) {
    QFile F(path(Name));
    ASSERT_TRUE(F.open(QIODevice::WriteOnly));
    F.write(Data);
  }
  QByteArray read(const String& Name) {
    QFile F(path(Name));
    return F.open(QIODevice::ReadOnly) ? F.readAll() : QByteArray("<missing>");
  }
  static struct stat info(const String& Path) {
    struct stat Info {};
    ::stat(QFile::encodeName(Path).constData(), &Info);
    return Info;
  }

  QTemporaryDir Dir;
};

TEST_F(FileSysTest, ExistenceTests) {
  write(QStringLiteral("file"), "x");
  ASSERT_TRUE(QDir(Dir.path()).mkdir(QStringLiteral("folder")));
  ASSERT_TRUE(QFile::link(path(QStringLiteral("file")), path(QStringLiteral("link"))));
  ASSERT_TRUE(QFile::link(path(QStringLiteral("gone")), path(QStringLiteral("dangling"))));
  struct Case {
    const char* Name;
    bool File;
    bool Folder;
  } Cases[] = {
      {"file", true, false},  {"folder", false, true}, {"link", true, false},
      {"dangling", false, false}, {"gone", false, false},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(FileExists(path(C.Name)), C.File);
    EXPECT_EQ(DirectoryExists(path(C.Name)), C.Folder);
  }
  const TDriveMapScope Drives({{u'D', Dir.path()}});
  EXPECT_TRUE(FileExists(QStringLiteral("D:\\file")));
  EXPECT_TRUE(DirectoryExists(QStringLiteral("d:\\folder\\")));
}

TEST_F(FileSysTest, CopyFileReplacesTheWholeFile) {
  write(QStringLiteral("src"), QByteArray(3 << 20, 'n') + "end");  // more than one copy chunk
  write(QStringLiteral("dst"), "old content that is longer than nothing");
  ASSERT_EQ(::chmod(QFile::encodeName(path(QStringLiteral("src"))).constData(), 0640), 0);
  const struct timespec Times[2] = {{1000000000, 0}, {1234567890, 500}};
  ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path(QStringLiteral("src"))).constData(), Times, 0), 0);

  ASSERT_TRUE(CopyFile(path(QStringLiteral("src")), path(QStringLiteral("dst"))));
  EXPECT_EQ(read(QStringLiteral("dst")), read(QStringLiteral("src")));
  const struct stat Copy = info(path(QStringLiteral("dst")));
  EXPECT_EQ(Copy.st_mtim.tv_sec, 1234567890);
  EXPECT_EQ(Copy.st_mode & 0777, 0640u);
  EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files), QStringList({"dst", "src"})) << "no temporary file left";
}

TEST_F(FileSysTest, CopyFileFailures) {
  write(QStringLiteral("src"), "new");
  write(QStringLiteral("dst"), "old");
  errno = 0;
  EXPECT_FALSE(CopyFile(path(QStringLiteral("src")), path(QStringLiteral("dst")), /*FailIfExists=*/true));
  EXPECT_EQ(errno, EEXIST);
  EXPECT_EQ(read(QStringLiteral("dst")), QByteArray("old"));

  EXPECT_FALSE(CopyFile(path(QStringLiteral("missing")), path(QStringLiteral("dst"))));
  EXPECT_EQ(errno, ENOENT);
  EXPECT_EQ(read(QStringLiteral("dst")), QByteArray("old"));

  EXPECT_FALSE(CopyFile(path(QStringLiteral("src")), path(QStringLiteral("no/such/folder/dst"))));
  EXPECT_EQ(errno, ENOENT);

  ASSERT_TRUE(QDir(Dir.path()).mkdir(QStringLiteral("folder")));
  EXPECT_FALSE(CopyFile(path(QStringLiteral("src")), path(QStringLiteral("folder"))));
  EXPECT_TRUE(DirectoryExists(path(QStringLiteral("folder"))));
  EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files), QStringList({"dst", "src"})) << "no temporary file left";
}

TEST_F(FileSysTest, ForceDirectories) {
  EXPECT_TRUE(ForceDirectories(path(QStringLiteral("a/b/c"))));
  EXPECT_TRUE(DirectoryExists(path(QStringLiteral("a/b/c"))));
  EXPECT_TRUE(ForceDirectories(path(QStringLiteral("a/b/c/"))) ) << "exists already";
  EXPECT_TRUE(ForceDirectories(path(QStringLiteral("a\\x\\y")))) << "backslashes separate";
  EXPECT_TRUE(DirectoryExists(path(QStringLiteral("a/x/y"))));

  write(QStringLiteral("file"), "x");
  EXPECT_FALSE(ForceDirectories(path(QStringLiteral("file/sub"))));
  EXPECT_FALSE(ForceDirectories(path(QStringLiteral("file"))));
  EXPECT_FALSE(ForceDirectories(String()));

  const String Saved = GetCurrentDir();
  ASSERT_EQ(::chdir(QFile::encodeName(Dir.path()).constData()), 0);
  EXPECT_EQ(GetCurrentDir(), QDir(Dir.path()).canonicalPath());
  EXPECT_TRUE(ForceDirectories(QStringLiteral("report")));
  EXPECT_TRUE(DirectoryExists(path(QStringLiteral("report"))));
  ASSERT_EQ(::chdir(QFile::encodeName(Saved).constData()), 0);
}

TEST_F(FileSysTest, DeleteFile) {
  write(QStringLiteral("file"), "x");
  EXPECT_TRUE(DeleteFile(path(QStringLiteral("file"))));
  EXPECT_FALSE(FileExists(path(QStringLiteral("file"))));
  EXPECT_FALSE(DeleteFile(path(QStringLiteral("file"))));
  EXPECT_EQ(errno, ENOENT);
  ASSERT_TRUE(QDir(Dir.path()).mkdir(QStringLiteral("folder")));
  EXPECT_FALSE(DeleteFile(path(QStringLiteral("folder"))));
  EXPECT_TRUE(DirectoryExists(path(QStringLiteral("folder"))));
}

TEST_F(FileSysTest, MaskMatching) {
  struct Case {
    const char* Name;
    const char* Mask;
    bool Matches;
  } Cases[] = {
      {"Langs.RUS.dfm", "langs.???.DFM", true},
      {"Langs.RU.dfm", "Langs.???.dfm", false},    // "?" is exactly one char
      {"Langs.RUSS.dfm", "Langs.???.dfm", false},
      {"Langs.RUS.dfm", "*.???.dfm", true},
      {".RUS.dfm", "*.???.dfm", true},             // "*" may be empty
      {"a.b.c.ENU.dfm", "*.???.dfm", true},        // backtracks past earlier dots
      {"Langs.RUS.dfm.bak", "*.???.dfm", false},
      {"Файл.РУС.dfm", "файл.???.dfm", true},      // case folding beyond ASCII
      {"", "*", true},
      {"", "?", false},
      {"abc", "a*c*", true},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(MatchesFileMask(QString::fromUtf8(C.Name), QString::fromUtf8(C.Mask)), C.Matches);
  }
}

TEST_F(FileSysTest, FindFilesListsMatchingFilesOnly) {
  for (const char* Name : {"Base.ENU.dfm", "base.rus.DFM", "Base.DEU.dfm.old", "Base.dfm", "Other.ENU.dfm"})
    write(QString::fromUtf8(Name), "x");
  ASSERT_TRUE(QDir(Dir.path()).mkdir(QStringLiteral("Base.FRA.dfm")));
  EXPECT_EQ(FindFiles(Dir.path(), QStringLiteral("Base.???.dfm")),
            (std::vector<String>{QStringLiteral("Base.ENU.dfm"), QStringLiteral("base.rus.DFM")}));
  EXPECT_TRUE(FindFiles(path(QStringLiteral("missing")), QStringLiteral("*")).empty());
}

TEST_F(FileSysTest, FileSizeIsSixtyFourBit) {
  write(QStringLiteral("empty"), QByteArray());
  write(QStringLiteral("three"), "abc");
  EXPECT_EQ(FileSize(path(QStringLiteral("empty"))), 0);
  EXPECT_EQ(FileSize(path(QStringLiteral("three"))), 3);

  const Int64 Big = (Int64(1) << 32) + 5;  // sparse: takes no disk space
  QFile F(path(QStringLiteral("big")));
  ASSERT_TRUE(F.open(QIODevice::WriteOnly));
  if (!F.resize(Big)) GTEST_SKIP() << "the temporary folder cannot hold a file past 4 GiB";
  F.close();
  EXPECT_EQ(FileSize(path(QStringLiteral("big"))), Big);
}

TEST_F(FileSysTest, FileSizeOfAMissingFileRaises) {
  const String Missing = path(QStringLiteral("missing"));
  try {
    FileSize(Missing);
    ADD_FAILURE() << "no exception";
  } catch (const EInOutError& E) {
    EXPECT_EQ(E.ErrorCode, ENOENT);
    EXPECT_EQ(E.Message, QStringLiteral("Cannot open file \"%1\". No such file or directory").arg(Missing));
  }
}

TEST_F(FileSysTest, RaiseLastOSErrorNamesTheOperation) {
  errno = EACCES;
  EXPECT_RAISES(RaiseLastOSError(QStringLiteral("Copy"), QStringLiteral("D:\\a.zip")), EOSError,
                "Copy 'D:\\a.zip': Permission denied");
  EXPECT_RAISES(RaiseLastOSError(QStringLiteral("Delete"), QStringLiteral("x"), ENOENT), EOSError,
                "Delete 'x': No such file or directory");
  try {
    RaiseLastOSError(QStringLiteral("Delete"), QStringLiteral("x"), ENOENT);
  } catch (const EOSError& E) {
    EXPECT_EQ(E.ErrorCode, ENOENT);
  }
}

}  // namespace
