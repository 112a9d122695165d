#include "platform/ui/graphics/metrics.h"

#include "platform/rtl/rtlmath.h"
#include "platform/ui/graphics/graphicsstate_p.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace {

constexpr double MillimetresPerInch = 25.4;

struct TMetricEntry {
  Integer Index;
  Integer Value;  // at 96 PPI
};

constexpr TMetricEntry MetricTable[] = {
    {SM_CXVSCROLL, 17}, {SM_CYVSCROLL, 17}, {SM_CXHSCROLL, 17},  {SM_CYHSCROLL, 17},
    {SM_CXBORDER, 1},   {SM_CYBORDER, 1},   {SM_CXEDGE, 2},      {SM_CYEDGE, 2},
    {SM_CXDOUBLECLK, 4}, {SM_CYDOUBLECLK, 4}, {SM_CYMENU, 20},   {SM_CYSIZE, 22},
    {SM_CYVTHUMB, 17},  {SM_CXHTHUMB, 17},  {SM_CXSMSIZE, 22},   {SM_CYSMSIZE, 22},
};

// Offscreen and minimal platforms report a made-up screen; tests want the
// fixed headless size instead.
bool hasRealScreen() {
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return false;
  const String Platform = QGuiApplication::platformName();
  return Platform != QLatin1String("offscreen") && Platform != QLatin1String("minimal") &&
         QGuiApplication::primaryScreen() != nullptr;
}

TScreenMetrics detectedScreen() {
  TScreenMetrics Metrics;
  if (hasRealScreen()) {
    const QSize Size = QGuiApplication::primaryScreen()->size();
    Metrics.Width = Size.width();
    Metrics.Height = Size.height();
  }
  return Metrics;
}

}  // namespace

struct graphics_detail::TScreenState {
  TScreenMetrics Metrics = detectedScreen();
  TMonitorPpiProvider PpiProvider;
};

namespace {

TMonitorPpiProvider& monitorPpiProvider() { return GraphicsState().Screen.Get().PpiProvider; }

Integer tableValue(Integer Index) {
  for (const TMetricEntry& E : MetricTable)
    if (E.Index == Index) return E.Value;
  return 0;
}

}  // namespace

TScreenMetrics& ScreenMetrics() { return GraphicsState().Screen.Get().Metrics; }

void ResetScreenMetrics() { ScreenMetrics() = detectedScreen(); }

void DisableQtHighDpiScaling() { qputenv("QT_ENABLE_HIGHDPI_SCALING", "0"); }

void SetMonitorPpiProvider(TMonitorPpiProvider Provider) { monitorPpiProvider() = std::move(Provider); }

Integer GetMonitorPixelsPerInch(gdi::HWND Window) {
  const TMonitorPpiProvider& Provider = monitorPpiProvider();
  return Window && Provider ? Provider(Window) : ScreenMetrics().PixelsPerInch;
}

Integer GetSystemMetrics(Integer Index) { return GetSystemMetricsForDpi(Index, DefaultPixelsPerInch); }

Integer GetSystemMetricsForDpi(Integer Index, Cardinal Dpi) {
  if (Index == SM_CXSCREEN) return ScreenMetrics().Width;
  if (Index == SM_CYSCREEN) return ScreenMetrics().Height;
  return MulDiv(tableValue(Index), static_cast<Integer>(Dpi), DefaultPixelsPerInch);
}

namespace gdi {

int GetDeviceCaps(HDC DC, int Index) {
  TDCDeviceInfo Info;
  if (!GetDCDeviceInfo(DC, Info)) return 0;
  const TScreenMetrics& Screen = ScreenMetrics();
  const bool ScreenSized = Info.IsScreen || Info.IsMemory;
  const int Width = ScreenSized ? Screen.Width : Info.Width;
  const int Height = ScreenSized ? Screen.Height : Info.Height;
  const int DpiX = Info.DpiX > 0 ? Info.DpiX : Screen.PixelsPerInch;
  const int DpiY = Info.DpiY > 0 ? Info.DpiY : Screen.PixelsPerInch;
  // Callers divide by the sizes, so they never answer 0.
  auto millimetres = [](int Pixels, int Dpi) {
    return std::max<int>(1, static_cast<int>(Round(Pixels * MillimetresPerInch / Dpi)));
  };
  switch (Index) {
    case LOGPIXELSX: return DpiX;
    case LOGPIXELSY: return DpiY;
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    case HORZRES: return Width;
    case VERTRES: return Height;
    case HORZSIZE: return millimetres(Width, DpiX);
    case VERTSIZE: return millimetres(Height, DpiY);
    default: return 0;
  }
}

}  // namespace gdi
