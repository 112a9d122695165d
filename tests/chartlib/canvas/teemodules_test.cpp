#include "chartlib/canvas/teemodules.h"

#include "platform/os/sysinfo.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/streams.h"

#include "tests/chartlib/canvas/canvasfixture.h"

#include <memory>

namespace {

using TeeModulesTest = CanvasTest;

TEST_F(TeeModulesTest, ResourceStreamsOfTheProgram) {
  TResourceScope Scope("TEELEDFONT", RT_RCDATA, QByteArray("font"));
  std::unique_ptr<TStream> S(TeeFindResourceStream("TEELEDFONT"));
  ASSERT_NE(S, nullptr);
  EXPECT_EQ(S->Size(), 4);
  EXPECT_EQ(std::unique_ptr<TStream>(TeeFindResourceStream("NOSUCH")), nullptr);
}

TEST_F(TeeModulesTest, LibrariesLoadByNameAndStayOnTheLegacyPlatform) {
  EXPECT_EQ(TeeLoadLibrary("nowhere.dll"), nullptr);
  HMODULE Gdi = TeeLoadLibrary("gdi32.dll");
  ASSERT_NE(Gdi, nullptr);
  TeeFreeLibrary(Gdi);
  {
    TWin32Version Legacy;
    Legacy.Platform = VER_PLATFORM_WIN32_WINDOWS;
    Legacy.MajorVersion = 4;
    Legacy.MinorVersion = 0;
    TWin32VersionScope Scope(Legacy);
    HMODULE Kept = TeeLoadLibrary("msimg32.dll");
    TeeFreeLibrary(Kept);  // stays loaded: one more free succeeds
    EXPECT_TRUE(FreeLibrary(Kept));
  }
}

}  // namespace
