#include "platform/ui/graphics/metrics.h"

#include "platform/ui/graphics/surface.h"
#include "tests/support/testing.h"

#include <QImage>

using namespace gdi;

namespace {

class MetricsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    ResetScreenMetrics();
    SetMonitorPpiProvider(nullptr);
  }
};

TEST_F(MetricsTest, HeadlessScreenIsFullHdAt96) {
  EXPECT_EQ(ScreenMetrics().Width, 1920);
  EXPECT_EQ(ScreenMetrics().Height, 1080);
  EXPECT_EQ(ScreenMetrics().PixelsPerInch, 96);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1080);
}

TEST_F(MetricsTest, ScreenCanBeInjectedAndReset) {
  ScreenMetrics().Width = 1024;
  ScreenMetrics().Height = 768;
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  EXPECT_EQ(GetSystemMetricsForDpi(SM_CYSCREEN, 192), 768);
  ResetScreenMetrics();
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
}

TEST_F(MetricsTest, MonitorPixelsPerInchComesFromTheProvider) {
  const HWND Window = reinterpret_cast<HWND>(0x42);
  EXPECT_EQ(GetMonitorPixelsPerInch(Window), 96);
  SetMonitorPpiProvider([](HWND W) { return W == reinterpret_cast<HWND>(0x42) ? 144 : 120; });
  EXPECT_EQ(GetMonitorPixelsPerInch(Window), 144);
  EXPECT_EQ(GetMonitorPixelsPerInch(reinterpret_cast<HWND>(0x43)), 120);
  // Window 0 is the screen itself.
  EXPECT_EQ(GetMonitorPixelsPerInch(nullptr), 96);
}

TEST_F(MetricsTest, SystemMetricsTable) {
  struct Case {
    Integer Index;
    Integer At96, At144;
  } Cases[] = {
      {SM_CXVSCROLL, 17, 26}, {SM_CYVSCROLL, 17, 26}, {SM_CXHSCROLL, 17, 26}, {SM_CYHSCROLL, 17, 26},
      {SM_CXBORDER, 1, 2},    {SM_CYBORDER, 1, 2},    {SM_CXEDGE, 2, 3},      {SM_CYEDGE, 2, 3},
      {SM_CXDOUBLECLK, 4, 6}, {SM_CYDOUBLECLK, 4, 6}, {SM_CYMENU, 20, 30},    {SM_CYSIZE, 22, 33},
      {SM_CXSMSIZE, 22, 33},  {SM_CYSMSIZE, 22, 33},
      {9999, 0, 0},           {-1, 0, 0},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Index);
    EXPECT_EQ(GetSystemMetrics(C.Index), C.At96);
    EXPECT_EQ(GetSystemMetricsForDpi(C.Index, 96), C.At96);
    EXPECT_EQ(GetSystemMetricsForDpi(C.Index, 144), C.At144);
  }
}

TEST_F(MetricsTest, DeviceCapsOfScreenAndMemoryDCs) {
  const HDC Screen = GetDC(nullptr);
  const HDC Memory = CreateCompatibleDC(nullptr);
  struct Case {
    int Index;
    int Expected;
  } Cases[] = {
      {LOGPIXELSX, 96}, {LOGPIXELSY, 96}, {BITSPIXEL, 32},  {PLANES, 1},     {NUMCOLORS, -1},
      {HORZRES, 1920},  {VERTRES, 1080},  {HORZSIZE, 508},  {VERTSIZE, 286}, {9999, 0},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Index);
    EXPECT_EQ(GetDeviceCaps(Screen, C.Index), C.Expected);
    EXPECT_EQ(GetDeviceCaps(Memory, C.Index), C.Expected);
  }
  ScreenMetrics().PixelsPerInch = 120;
  EXPECT_EQ(GetDeviceCaps(Screen, LOGPIXELSY), 120);
  EXPECT_EQ(GetDeviceCaps(Screen, HORZSIZE), 406);
  ReleaseDC(nullptr, Screen);
  DeleteDC(Memory);
  EXPECT_EQ(GetDeviceCaps(Memory, LOGPIXELSX), 0);
}

TEST_F(MetricsTest, DeviceCapsOfSurfaces) {
  struct Case {
    const char* Name;
    int Width, Height, Dpi;
    int HorzSize, VertSize;
  } Cases[] = {
      {"bitmap at the screen's PPI", 100, 50, 0, 26, 13},
      {"a single pixel is still a millimetre", 1, 1, 0, 1, 1},
      {"A4 page at 600 dpi", 4961, 7016, 600, 210, 297},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    QImage Device(1, 1, QImage::Format_RGB32);
    auto Surface = C.Dpi ? std::make_shared<TSurface>(TSurface::TKind::Printer, &Device, C.Width, C.Height,
                                                      C.Dpi, C.Dpi)
                         : std::make_shared<TSurface>(QImage(C.Width, C.Height, QImage::Format_RGB32));
    const HDC DC = CreateSurfaceDC(Surface);
    EXPECT_EQ(GetDeviceCaps(DC, HORZRES), C.Width);
    EXPECT_EQ(GetDeviceCaps(DC, VERTRES), C.Height);
    EXPECT_EQ(GetDeviceCaps(DC, LOGPIXELSX), C.Dpi ? C.Dpi : 96);
    EXPECT_EQ(GetDeviceCaps(DC, HORZSIZE), C.HorzSize);
    EXPECT_EQ(GetDeviceCaps(DC, VERTSIZE), C.VertSize);
    DeleteDC(DC);
  }
}

}  // namespace
