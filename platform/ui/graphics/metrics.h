// Screen and system metrics.
//
// Pixels per inch are 96 everywhere unless a test or the program injects
// another value: code scales by PixelsPerInch / 96 itself, so Qt's own
// high-DPI scaling stays off and fonts get pixel sizes we compute.
#pragma once

#include "platform/rtl/system.h"
#include "platform/ui/graphics/gdi.h"

#include <functional>

inline constexpr Integer DefaultPixelsPerInch = 96;

// The screen as GDI code sees it; one process-wide record that tests and the
// windowing area may change.
struct TScreenMetrics {
  Integer Width = 1920;    // headless default; a real display gives its primary screen
  Integer Height = 1080;
  Integer PixelsPerInch = DefaultPixelsPerInch;
};
TScreenMetrics& ScreenMetrics();
// Back to the detected values (primary screen size, or the headless default).
void ResetScreenMetrics();

// Sets the environment so that Qt does no high-DPI scaling of its own; the
// program calls it before it makes the QGuiApplication.
void DisableQtHighDpiScaling();

// Pixels per inch of the monitor showing a window.  The windowing area's
// monitor service (or a test) installs the provider; without one, or for
// window 0, the answer is ScreenMetrics().PixelsPerInch.
using TMonitorPpiProvider = std::function<Integer(gdi::HWND Window)>;
void SetMonitorPpiProvider(TMonitorPpiProvider Provider);
Integer GetMonitorPixelsPerInch(gdi::HWND Window);

// GetSystemMetrics indexes (original values).
inline constexpr Integer SM_CXSCREEN = 0;
inline constexpr Integer SM_CYSCREEN = 1;
inline constexpr Integer SM_CXVSCROLL = 2;
inline constexpr Integer SM_CYHSCROLL = 3;
inline constexpr Integer SM_CXBORDER = 5;
inline constexpr Integer SM_CYBORDER = 6;
inline constexpr Integer SM_CYVTHUMB = 9;
inline constexpr Integer SM_CXHTHUMB = 10;
inline constexpr Integer SM_CYMENU = 15;
inline constexpr Integer SM_CYVSCROLL = 20;
inline constexpr Integer SM_CXHSCROLL = 21;
inline constexpr Integer SM_CYSIZE = 31;
inline constexpr Integer SM_CXDOUBLECLK = 36;
inline constexpr Integer SM_CYDOUBLECLK = 37;
inline constexpr Integer SM_CXEDGE = 45;
inline constexpr Integer SM_CYEDGE = 46;
// The small caption buttons (tool windows' close button).
inline constexpr Integer SM_CXSMSIZE = 52;
inline constexpr Integer SM_CYSMSIZE = 53;

// Metric at 96 PPI; screen sizes from ScreenMetrics(); 0 for an unknown index.
Integer GetSystemMetrics(Integer Index);
// The same metric for another PPI: sizes scale by MulDiv(v, Dpi, 96); the
// screen size does not.
Integer GetSystemMetricsForDpi(Integer Index, Cardinal Dpi);

namespace gdi {

// GetDeviceCaps indexes (original values).
inline constexpr int HORZSIZE = 4, VERTSIZE = 6, HORZRES = 8, VERTRES = 10, BITSPIXEL = 12, PLANES = 14,
                     NUMCOLORS = 24, LOGPIXELSX = 88, LOGPIXELSY = 90;

// LOGPIXELSX/Y: the surface's resolution (printers), else the screen's
// PixelsPerInch; BITSPIXEL 32, PLANES 1, NUMCOLORS -1 (true colour);
// HORZRES/VERTRES: the surface size, the screen size for screen and memory
// DCs; HORZSIZE/VERTSIZE: millimetres, Round(px * 25.4 / dpi) but at least 1.
// 0 for other indexes and bad handles.
int GetDeviceCaps(HDC DC, int Index);

}  // namespace gdi
