#include "platform/os/drivemap.h"

#include "platform/os/osunit.h"
#include "platform/os/registry.h"
#include "tests/support/testing.h"

namespace {

class DriveMapTest : public ::testing::Test {
protected:
  void SetUp() override { InitializeUnits({OsUnit}); }
};

TEST_F(DriveMapTest, NativePathTable) {
  const TDriveMapScope Drives({{u'D', QStringLiteral("/tmp/d")}, {u'e', QStringLiteral("/media/E/")}});
  struct Case {
    const char* Name;
    String Path;
    String Expected;
  } Cases[] = {
      {"mapped drive", QStringLiteral("D:\\docs\\a.pdf"), QStringLiteral("/tmp/d/docs/a.pdf")},
      {"lower-case letter", QStringLiteral("d:\\a"), QStringLiteral("/tmp/d/a")},
      {"forward slash after the colon", QStringLiteral("D:/a"), QStringLiteral("/tmp/d/a")},
      {"drive alone", QStringLiteral("D:"), QStringLiteral("/tmp/d")},
      {"folder with a trailing delimiter", QStringLiteral("E:\\x"), QStringLiteral("/media/E//x")},
      {"unmapped letter takes the default", QStringLiteral("Z:\\a b\\c"), QStringLiteral("/mnt/z/a b/c")},
      {"drive-relative text is no drive path", QStringLiteral("D:a\\b"), QStringLiteral("D:a/b")},
      {"digit is no drive", QStringLiteral("1:\\a"), QStringLiteral("1:/a")},
      {"relative", QStringLiteral("report\\filelist.txt"), QStringLiteral("report/filelist.txt")},
      {"program folder joined with a backslash", QStringLiteral("/opt/b/\\bibliona.sqlite"),
       QStringLiteral("/opt/b//bibliona.sqlite")},
      {"no case folding or dot resolution", QStringLiteral("C:\\A\\..\\B.TXT"), QStringLiteral("/mnt/c/A/../B.TXT")},
      {"native path unchanged", QStringLiteral("/home/u/a.txt"), QStringLiteral("/home/u/a.txt")},
      {"colon later in the text", QStringLiteral("/x/D:\\y"), QStringLiteral("/x/D:/y")},
      {"empty", String(), String()},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(NativePath(C.Path), C.Expected);
  }
}

TEST_F(DriveMapTest, ScopesNestAndRestore) {
  const TDriveMapScope Outer({{u'D', QStringLiteral("/outer")}});
  {
    const TDriveMapScope Inner({{u'E', QStringLiteral("/inner")}});
    EXPECT_EQ(DriveFolder(u'D'), QStringLiteral("/mnt/d")) << "a scope replaces the whole map";
    EXPECT_EQ(DriveFolder(u'e'), QStringLiteral("/inner"));
  }
  EXPECT_EQ(DriveFolder(u'D'), QStringLiteral("/outer"));
  EXPECT_EQ(DriveFolder(u'E'), QStringLiteral("/mnt/e"));
  EXPECT_EQ(DriveFolder(u'1'), String());
}

TEST_F(DriveMapTest, ProcessMapReadsTheRegistryOnFirstUse) {
  const TRegistryStoreScope Store;
  TRegistry Reg;
  ASSERT_TRUE(Reg.OpenKey(String::fromUtf16(DriveMapKey), /*CanCreate=*/true));
  Reg.WriteString(QStringLiteral("d"), QStringLiteral("/media/data"));
  Reg.WriteInteger(QStringLiteral("E"), 5);  // not a folder: the default stays
  FinalizeDriveMap();
  EXPECT_EQ(NativePath(QStringLiteral("D:\\x")), QStringLiteral("/media/data/x"));
  EXPECT_EQ(DriveFolder(u'E'), QStringLiteral("/mnt/e"));

  Reg.WriteString(QStringLiteral("D"), QStringLiteral("/changed"));
  EXPECT_EQ(DriveFolder(u'D'), QStringLiteral("/media/data")) << "read once, at the first translation";
  FinalizeDriveMap();
  EXPECT_EQ(DriveFolder(u'D'), QStringLiteral("/changed"));
  Reg.DeleteKey(QStringLiteral("\\Software"));
  FinalizeDriveMap();
}

}  // namespace
