#include "platform/os/sysinfo.h"

#include "tests/support/testing.h"

namespace {

TEST(SysInfoTest, StandInIsWindowsTen) {
  EXPECT_EQ(Win32Platform(), VER_PLATFORM_WIN32_NT);
  EXPECT_EQ(Win32MajorVersion(), 10);
  EXPECT_EQ(Win32MinorVersion(), 0);
  EXPECT_EQ(Win32BuildNumber(), 19045);
  EXPECT_EQ(Win32CSDVersion(), String());
}

TEST(SysInfoTest, CheckWin32VersionAroundTheInstalledVersion) {
  const TWin32VersionScope Vista({VER_PLATFORM_WIN32_NT, 6, 1, 7601, QStringLiteral("Service Pack 1")});
  struct Case {
    Integer Major;
    Integer Minor;
    bool Expected;
  } Cases[] = {
      {5, 1, true}, {6, 0, true}, {6, 1, true}, {6, 2, false}, {6, 3, false}, {7, 0, false}, {10, 0, false},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.Major << "." << C.Minor);
    EXPECT_EQ(CheckWin32Version(C.Major, C.Minor), C.Expected);
  }
  EXPECT_TRUE(CheckWin32Version(6));
  EXPECT_EQ(Win32CSDVersion(), QStringLiteral("Service Pack 1"));
}

TEST(SysInfoTest, ScopesNestAndRestore) {
  {
    const TWin32VersionScope Nine({VER_PLATFORM_WIN32_WINDOWS, 4, 10, 2222, QStringLiteral("A")});
    {
      const TWin32VersionScope Eight({VER_PLATFORM_WIN32_NT, 6, 2, 9200, String()});
      EXPECT_EQ(Win32MinorVersion(), 2);
    }
    EXPECT_EQ(Win32Platform(), VER_PLATFORM_WIN32_WINDOWS);
    EXPECT_EQ(Win32MinorVersion(), 10);
    EXPECT_FALSE(CheckWin32Version(5));
  }
  EXPECT_EQ(Win32MajorVersion(), 10);
  EXPECT_TRUE(CheckWin32Version(6, 3));
}

}  // namespace
