// Surfaces: what device contexts draw on.
//
// A surface is an image with pixels (a bitmap's QImage, a window's backing
// image), a paint device without readable pixels (a printer page, a QPicture
// recorder), the screen, which only measures, or a recording surface (tests),
// which only logs the calls made on it.  It owns one QPainter, begun at
// the first drawing call that needs it.  The drawing core writes an image
// surface's pixels itself (exact raster operations), and the text engine draws
// glyphs through the painter; both go to the same buffer in call order.
//
// Anyone else who touches the pixels (scan lines, GetPixel of a bitmap,
// copies, saving, resizing) goes through Image() or SetImage(), which end the
// painter first, so nobody ever sees a stale or detached buffer; the next
// drawing call begins it again.
//
// Included by the owners of surfaces (bitmaps, windows, printers, metafiles)
// and by the drawing core; other code uses HDCs.
#pragma once

#include "platform/ui/graphics/gdi.h"

#include <QImage>
#include <QRegion>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QPaintDevice;
class QPainter;

class TSurface {
public:
  enum class TKind { Image, Printer, Metafile, Screen, Recording };

  // An image surface over Image (a 32-bit RGB32/ARGB32 image for DCs of
  // CreateCompatibleBitmap; any QImage format is drawable).
  explicit TSurface(QImage Image);
  // A printer page or metafile recorder.  Device is not owned and must outlive
  // the surface; Width and Height are its size in device pixels.
  TSurface(TKind Kind, QPaintDevice* Device, int Width, int Height, int DpiX, int DpiY);
  // The screen: sized as ScreenMetrics(), no pixels, drawing does nothing.
  static std::shared_ptr<TSurface> MakeScreen();
  // A surface without pixels that records every drawing call (tests).
  static std::shared_ptr<TSurface> MakeRecording(int Width, int Height);
  ~TSurface();
  TSurface(const TSurface&) = delete;
  TSurface& operator=(const TSurface&) = delete;

  TKind Kind() const { return FKind; }
  bool HasPixels() const { return FKind == TKind::Image; }
  int Width() const;
  int Height() const;
  // Resolution; 0 means the screen's PixelsPerInch.
  int DpiX() const { return FDpiX; }
  int DpiY() const { return FDpiY; }

  // The pixels for direct access; ends the painter first.  Asserts HasPixels.
  QImage& Image();
  // Replaces the pixels (resize, format change); ends the painter first.
  void SetImage(QImage Image);
  // Ends the painter; the next drawing call begins it again.
  void EndPainting();

  // Device capability hook: the colour a requested colour is drawn in
  // (GetNearestColor).  Empty: every colour as is.
  std::function<gdi::COLORREF(gdi::COLORREF)> NearestColor;

  // Recording (tests): while on, every drawing call on a DC of the surface
  // appends one line to RecordedCalls (format in gdi.h) and still draws, so
  // an image surface records and paints at once.
  bool Recording = false;
  QStringList RecordedCalls;

  // drawing core
  // The painter, begun on first use; nullptr for the screen and recordings.
  QPainter* Painter();
  // The pixels for the drawing core's own writes, which may run while the
  // painter is active (both write the same buffer); nullptr without pixels.
  QImage* DrawingPixels();
  // Which DC's clip the painter currently holds (see DCPainter in gdi.h).
  const void* PainterStateOwner = nullptr;
  Cardinal PainterStateVersion = 0;

private:
  TKind FKind;
  QImage FImage;
  QPaintDevice* FDevice = nullptr;  // not owned: printer and metafile surfaces
  int FWidth = 0;
  int FHeight = 0;
  int FDpiX = 0;
  int FDpiY = 0;
  std::unique_ptr<QPainter> FPainter;
};

// How a DC sits on its surface: windows give the client area's origin and
// size inside the backing image, and a paint DC the update region.
struct TSurfaceDCOptions {
  gdi::HWND Window = nullptr;           // answered by WindowFromDC
  TPoint Origin;                        // device (0, 0) in surface pixels
  int Width = -1;                       // device extent; -1: the surface's
  int Height = -1;
  std::optional<QRegion> VisibleRegion; // device coordinates; drawing never leaves it
};

// A DC drawing on Surface, which it keeps alive; DeleteDC (or ReleaseDC) frees it.
gdi::HDC CreateSurfaceDC(std::shared_ptr<TSurface> Surface, const TSurfaceDCOptions& Options = {});
// The surface DC draws on (a memory DC's selected bitmap); nullptr for a bad handle.
std::shared_ptr<TSurface> DCSurface(gdi::HDC DC);

// A bitmap object sharing Surface's pixels (TBitmap.Handle); DeleteObject frees it.
gdi::HBITMAP CreateSurfaceBitmap(std::shared_ptr<TSurface> Surface);
std::shared_ptr<TSurface> BitmapSurface(gdi::HBITMAP Bitmap);

// GetDC(window) for windows other than 0: the windowing area installs the
// provider, which makes the DC with CreateSurfaceDC.  Without one, GetDC of a
// window answers 0.
using TWindowDCProvider = std::function<gdi::HDC(gdi::HWND Window)>;
void SetWindowDCProvider(TWindowDCProvider Provider);
