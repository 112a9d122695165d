// Internals of the flat drawing API, shared by its source files (gdi.cpp:
// objects, DCs, state, coordinates, clip; regions.cpp; primitives.cpp;
// blits.cpp; raster.cpp: spans and pixels).  Not for other code.
//
// Handle table
//   Every object gets a number (0x10000, 0x10010, ...) that is its handle;
//   numbers are never reused, so a stale handle is recognised as such.  Small
//   values stay free for the "system colour index + 1" brushes of FillRect.
//
// Holds
//   A DC state slot (the current state or a SaveDC level) that selects an
//   object holds it.  DeleteObject of a held object only marks it; the last
//   release frees it.
#pragma once

#include "platform/ui/graphics/gdi.h"
#include "platform/ui/graphics/surface.h"

#include <QImage>
#include <QPainterPath>
#include <QRect>
#include <QSize>
#include <QRegion>
#include <QTransform>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace gdi::detail {

enum class TObjectKind { Pen, Brush, Font, Bitmap, Region, DC };

struct TObjectBase {
  explicit TObjectBase(TObjectKind K) : Kind(K) {}
  virtual ~TObjectBase() = default;

  const TObjectKind Kind;
  std::uintptr_t Id = 0;
  bool Stock = false;
  int Holds = 0;
  bool DeletePending = false;
};

struct TPenObject : TObjectBase {
  TPenObject() : TObjectBase(TObjectKind::Pen) {}
  UINT Style = PS_SOLID;  // PS_STYLE_MASK bits
  int Width = 1;
  COLORREF Color = 0;
  bool IsDCPen = false;  // the stock DC_PEN: colour from the DC
  // pens of ExtCreatePen
  bool Extended = false;
  DWORD ExtStyle = 0;           // the whole style: type, cap, join, style
  std::vector<DWORD> UserStyle; // PS_USERSTYLE entries

  bool Geometric() const { return (ExtStyle & PS_TYPE_MASK) == PS_GEOMETRIC; }
  UINT EndCap() const { return Extended ? ExtStyle & PS_ENDCAP_MASK : PS_ENDCAP_ROUND; }
  UINT Join() const { return Extended ? ExtStyle & PS_JOIN_MASK : PS_JOIN_ROUND; }
};

struct TBrushObject : TObjectBase {
  TBrushObject() : TObjectBase(TObjectKind::Brush) {}
  UINT Style = BS_SOLID;
  COLORREF Color = 0;
  int Hatch = 0;
  bool IsDCBrush = false;  // the stock DC_BRUSH: colour from the DC
  QImage Pattern;          // BS_PATTERN: the bitmap's pixels, copied
  std::uintptr_t PatternBitmap = 0;  // the handle it was made from (LOGBRUSH.lbHatch)
};

struct TFontObject : TObjectBase {
  TFontObject() : TObjectBase(TObjectKind::Font) {}
  LOGFONTW LogFont;
};

class TDC;

struct TBitmapObject : TObjectBase {
  TBitmapObject() : TObjectBase(TObjectKind::Bitmap) {}
  std::shared_ptr<TSurface> Surface;
  TDC* SelectedInto = nullptr;  // the memory DC holding it (stock bitmaps: none)
};

struct TRegionObject : TObjectBase {
  TRegionObject() : TObjectBase(TObjectKind::Region) {}
  QRegion Region;
};

// The part of a DC that SaveDC keeps.
struct TDCState {
  COLORREF BkColor = 0xFFFFFF;
  int BkMode = OPAQUE;
  COLORREF TextColor = 0;
  UINT TextAlign = TA_LEFT | TA_TOP;
  int CharExtra = 0;
  int Rop2 = R2_COPYPEN;
  int PolyFillMode = ALTERNATE;
  int ArcDirection = AD_COUNTERCLOCKWISE;
  int StretchMode = BLACKONWHITE;
  TPoint BrushOrg;
  TPoint CurrentPos;
  COLORREF DCBrushColor = 0xFFFFFF;
  COLORREF DCPenColor = 0;

  TPenObject* Pen = nullptr;
  TBrushObject* Brush = nullptr;
  TFontObject* Font = nullptr;
  TBitmapObject* Bitmap = nullptr;  // memory DCs only

  std::optional<QRegion> Clip;  // device coordinates

  // the path bracket (paths.h): figures in surface pixel positions
  enum class TPathState { None, Open, Ended } PathState = TPathState::None;
  QPainterPath Path;

  int GraphicsMode = GM_COMPATIBLE;
  QTransform World;
  int MapMode = MM_TEXT;
  TPoint WindowOrg;
  TPoint ViewportOrg;
  TSize WindowExt{1, 1};
  TSize ViewportExt{1, 1};
  DWORD Layout = 0;
};

// The DC's clip in surface pixels: its clip (mirrored by the layout), the
// visible region and the DC's bounds, cut to the surface.
struct TSurfaceClip {
  QRegion Region;
  std::vector<QRect> Rects;  // Region's rectangles, y-x banded
  QRect Bounds;
  bool IsRect = false;       // one rectangle: Rects[0] == Bounds
};

class TDC : public TObjectBase {
public:
  enum class TDCKind { Memory, Window, Screen, Surface };

  TDC(TDCKind DCKind, std::shared_ptr<TSurface> Surface, const TSurfaceDCOptions& Options);
  ~TDC() override;

  TDCKind DCKind;
  gdi::HWND Window = nullptr;
  TDCState State;
  std::vector<TDCState> Saved;

  // The surface drawn on: a memory DC's selected bitmap's, else fixed.
  TSurface* Surface() const;
  std::shared_ptr<TSurface> SurfacePtr() const;
  // Device extent (the layout mirror's width) and bounds in surface pixels.
  int DeviceWidth() const;
  int DeviceHeight() const;

  // Call after changing anything that moves pixels: mapping, world
  // transform, layout, clip, the selected bitmap.
  void GeometryChanged();
  // Changes whenever the clip or transform may have (the surface's size too).
  Cardinal Version() {
    refresh();
    return FVersion;
  }

  // logical -> device (world, mapping), device -> surface (layout, origin)
  const QTransform& ToDevice();
  QTransform DeviceToSurface() const;
  const QTransform& ToSurface();
  // Round the mapped point: halves up.
  TPoint LogicalToSurface(int X, int Y);
  TPoint LogicalToDevice(int X, int Y);
  // m12 and m21 are 0: rectangles stay rectangles.
  bool AxisAligned();
  // A logical rectangle as a normalised surface rectangle (corners mapped);
  // for axis-aligned transforms.
  QRect SurfaceRect(int Left, int Top, int Right, int Bottom);
  // A device-coordinate region in surface pixels (layout mirror, origin).
  QRegion DeviceRegionToSurface(const QRegion& Region) const;
  const TSurfaceClip& SurfaceClip();
  // The whole device as a device-coordinate rectangle.
  QRect DeviceBounds() const;

  // Hold/release every object a state selects.
  static void HoldState(TDCState& S);
  static void ReleaseState(TDCState& S);

private:
  void refresh();

  std::shared_ptr<TSurface> FSurface;  // fixed surface (non-memory DCs)
  TPoint FOrigin;
  int FWidth = -1;
  int FHeight = -1;
  std::optional<QRegion> FVisible;

  Cardinal FVersion = 1;
  Cardinal FComputedVersion = 0;
  QSize FComputedSize;
  QTransform FToDevice;
  QTransform FToSurface;
  TSurfaceClip FClip;
};

// handle table
void* AddObject(std::unique_ptr<TObjectBase> Object);
// The live object behind Handle, or nullptr (counting a stale handle as an error).
TObjectBase* FindObject(const void* Handle);
template <class T>
T* Find(const void* Handle, TObjectKind Kind) {
  TObjectBase* O = FindObject(Handle);
  return O && O->Kind == Kind ? static_cast<T*>(O) : nullptr;
}
inline TDC* FindDC(HDC DC) { return Find<TDC>(DC, TObjectKind::DC); }
inline TRegionObject* FindRegion(HRGN R) { return Find<TRegionObject>(R, TObjectKind::Region); }
inline void* HandleOf(const TObjectBase* O) { return reinterpret_cast<void*>(O->Id); }
void Hold(TObjectBase* O);
void Release(TObjectBase* O);

// stock objects
TPenObject* StockPen(int Index);
TBrushObject* StockBrush(int Index);
TFontObject* StockFont();
TBitmapObject* StockBitmap();

// recording (the line format is in gdi.h)
enum TRecordUse : unsigned { ruPen = 1, ruBrush = 2, ruText = 4, ruRop = 8 };
inline bool IsRecording(const TDC& D) {
  const TSurface* S = D.Surface();
  return S && S->Recording;
}
// Logs Name(Args) when D records.  The first Points pairs of Args are logical
// points, shown again in device coordinates; Uses says which state follows;
// Brush is the brush of calls that take one (else the selected one).
void Record(TDC& D, const char* Name, std::initializer_list<int> Args, int Points, unsigned Uses,
            const TBrushObject* Brush = nullptr);
// The same for a list of points.
void RecordPoints(TDC& D, const char* Name, const POINT* Points, int Count, unsigned Uses);

// The region type of a QRegion.
int RegionType(const QRegion& R);

}  // namespace gdi::detail
