// The backing image of one window and its invalid region.
//
// Every window draws into its own 32-bit image the size of the whole window
// (non-client frame included); the Qt widget only shows it.  Coordinates:
//
//   window coordinates   (0, 0) is the window's top-left corner; the image
//                        is (0, 0, Width, Height) in them
//   client coordinates   (0, 0) is the client area's top-left corner, which
//                        sits at ClientRect().TopLeft() in window coordinates
//
// Invariants: the update region lies inside the client rectangle (client
// coordinates); the erase flag is only set while the update region is not
// empty; the image always has the window's size.  The frame's invalid state
// is a flag of its own: the non-client area is repainted whole.
//
// DCs made here draw on the image and keep it alive; a DC made before a
// resize follows the new image (the drawing core reads the surface anew).
// Used by the window model only; other code goes through HDCs and the flat
// window calls.
#pragma once

#include "platform/ui/graphics/gdi.h"
#include "platform/ui/graphics/surface.h"

#include <QRegion>
#include <memory>
#include <optional>

class TBackingStore {
public:
  TBackingStore();
  TBackingStore(const TBackingStore&) = delete;
  TBackingStore& operator=(const TBackingStore&) = delete;

  const std::shared_ptr<TSurface>& Surface() const { return FSurface; }
  // The pixels, painter ended (for the screen copy and for tests).
  const QImage& Image() const { return FSurface->Image(); }

  // geometry
  TSize WindowSize() const { return FWindowSize; }
  // Window coordinates.
  TRect ClientRect() const { return FClientRect; }
  // Resizes the image, keeping the pixels that stay inside it, and invalidates
  // what the client area newly shows (everything when RedrawAll or when the
  // client area moved inside the window).  Frame invalid whenever anything
  // changed.  Answers whether anything changed.
  bool SetGeometry(TSize WindowSize, const TRect& ClientRect, bool RedrawAll);
  // The window's shape (window coordinates); no value: the whole rectangle.
  // Drawing never leaves it.
  const std::optional<QRegion>& Shape() const { return FShape; }
  void SetShape(std::optional<QRegion> Shape);

  // invalid region (client coordinates)
  // Joins Region (clipped to the client area); Erase asks for WM_ERASEBKGND.
  void Invalidate(const QRegion& Region, bool Erase);
  void InvalidateClient(bool Erase);
  void Validate(const QRegion& Region);
  void ValidateClient();
  const QRegion& UpdateRegion() const { return FUpdateRegion; }
  bool ErasePending() const { return FErase; }
  // The background was erased outside a paint cycle (GetUpdateRect).
  void ClearErase() { FErase = false; }
  // Hands the update region over to a paint cycle: it becomes valid, the
  // erase flag is returned and cleared.
  QRegion TakeUpdateRegion(bool& Erase);
  bool FrameInvalid() const { return FFrameInvalid; }
  void SetFrameInvalid(bool Value) { FFrameInvalid = Value; }

  // DCs (freed by DeleteDC/ReleaseDC)
  // Client coordinates; Visible (client coordinates) further limits drawing.
  gdi::HDC CreateClientDC(gdi::HWND Window, const std::optional<QRegion>& Visible = std::nullopt);
  // Window coordinates, frame included.
  gdi::HDC CreateWindowDC(gdi::HWND Window);

  // Moves the client pixels of Scroll (whole client area when null) by
  // (DX, DY); only pixels landing inside Clip (whole client area when null)
  // change.  The update region inside Scroll moves along.  Answers the band
  // the move uncovered (client coordinates), which the caller may invalidate.
  QRegion Scroll(int DX, int DY, const TRect* Scroll, const TRect* Clip);

private:
  QRect clientBox() const;

  std::shared_ptr<TSurface> FSurface;
  TSize FWindowSize;
  TRect FClientRect;
  std::optional<QRegion> FShape;
  QRegion FUpdateRegion;
  bool FErase = false;
  bool FFrameInvalid = false;
};

// Qt rectangles and our rectangles (right and bottom exclusive).
QRect ToQRect(const TRect& R);
TRect FromQRect(const QRect& R);
