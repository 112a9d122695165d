#include "platform/ui/graphics/gdi.h"

#include "platform/ui/graphics/gdi_p.h"
#include "platform/ui/graphics/graphicsstate_p.h"
#include "platform/ui/graphics/paths_p.h"
#include "platform/ui/graphics/metrics.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <mutex>
#include <unordered_map>

// ---------------------------------------------------------------------------
// handle table

namespace {

// First handle number and the step between numbers; see gdi_p.h.
constexpr std::uintptr_t FirstHandle = 0x10000;
constexpr std::uintptr_t HandleStep = 0x10;

}  // namespace

namespace graphics_detail {

using gdi::detail::TBitmapObject;
using gdi::detail::TBrushObject;
using gdi::detail::TFontObject;
using gdi::detail::TObjectBase;
using gdi::detail::TPenObject;

struct TGdiHandles {
  std::recursive_mutex Lock;
  std::unordered_map<std::uintptr_t, std::unique_ptr<TObjectBase>> Objects;
  std::uintptr_t NextId = FirstHandle;
  int StockCount = 0;
  int Errors = 0;
  // the stock objects, made at first use
  std::array<TPenObject*, 3> Pens{};  // WHITE_PEN, BLACK_PEN, NULL_PEN
  TPenObject* DCPen = nullptr;
  std::array<TBrushObject*, gdi::NULL_BRUSH + 1> Brushes{};
  TBrushObject* DCBrush = nullptr;
  TFontObject* Font = nullptr;
  TBitmapObject* Bitmap = nullptr;
  std::array<TBrushObject*, gdi::MaxSysColorIndex + 1> SysColorBrushes{};  // one per index, following the table

  // The objects leave the table before they are freed: a DC releases the
  // objects selected into it, which then find nothing left to erase.
  ~TGdiHandles() {
    auto Doomed = std::move(Objects);
    Objects.clear();
    Doomed.clear();
  }
};

}  // namespace graphics_detail

namespace gdi {

using namespace detail;
using graphics_detail::TGdiHandles;

namespace {

TGdiHandles& table() { return GraphicsState().GdiHandles.Get(); }

void eraseObject(TObjectBase* O) {
  TGdiHandles& T = table();
  std::lock_guard Guard(T.Lock);
  auto It = T.Objects.find(O->Id);
  if (It == T.Objects.end()) return;
  std::unique_ptr<TObjectBase> Doomed = std::move(It->second);
  T.Objects.erase(It);
  Doomed.reset();  // a DC releases its objects here, which may erase more
}

template <class T>
T* addStock(std::unique_ptr<T> Object) {
  T* Raw = Object.get();
  Raw->Stock = true;
  AddObject(std::move(Object));
  ++table().StockCount;
  return Raw;
}

}  // namespace

namespace detail {

void* AddObject(std::unique_ptr<TObjectBase> Object) {
  TGdiHandles& T = table();
  std::lock_guard Guard(T.Lock);
  Object->Id = T.NextId;
  T.NextId += HandleStep;
  void* Handle = reinterpret_cast<void*>(Object->Id);
  T.Objects.emplace(Object->Id, std::move(Object));
  return Handle;
}

TObjectBase* FindObject(const void* Handle) {
  if (!Handle) return nullptr;
  TGdiHandles& T = table();
  std::lock_guard Guard(T.Lock);
  auto It = T.Objects.find(reinterpret_cast<std::uintptr_t>(Handle));
  if (It == T.Objects.end() || It->second->DeletePending) {
    const auto Id = reinterpret_cast<std::uintptr_t>(Handle);
    if (Id >= FirstHandle && Id < T.NextId) ++T.Errors;
    return nullptr;
  }
  return It->second.get();
}

void Hold(TObjectBase* O) {
  if (O) ++O->Holds;
}

void Release(TObjectBase* O) {
  if (!O) return;
  --O->Holds;
  assert(O->Holds >= 0 && "GDI object released more often than held");
  if (O->Holds > 0) return;
  if (O->Kind == TObjectKind::Bitmap) static_cast<TBitmapObject*>(O)->SelectedInto = nullptr;
  if (O->DeletePending) eraseObject(O);
}

TPenObject* StockPen(int Index) {
  TGdiHandles& T = table();
  auto& Pens = T.Pens;
  TPenObject*& DCPen = T.DCPen;
  std::lock_guard Guard(T.Lock);
  if (Index == DC_PEN) {
    if (!DCPen) {
      auto P = std::make_unique<TPenObject>();
      P->IsDCPen = true;
      DCPen = addStock(std::move(P));
    }
    return DCPen;
  }
  if (Index < WHITE_PEN || Index > NULL_PEN) return nullptr;
  TPenObject*& Slot = Pens[Index - WHITE_PEN];
  if (!Slot) {
    auto P = std::make_unique<TPenObject>();
    P->Style = Index == NULL_PEN ? PS_NULL : PS_SOLID;
    P->Color = Index == WHITE_PEN ? 0xFFFFFF : 0;
    Slot = addStock(std::move(P));
  }
  return Slot;
}

TBrushObject* StockBrush(int Index) {
  static constexpr COLORREF Colors[] = {0xFFFFFF, 0xC0C0C0, 0x808080, 0x404040, 0x000000, 0};
  TGdiHandles& T = table();
  auto& Brushes = T.Brushes;
  TBrushObject*& DCBrush = T.DCBrush;
  std::lock_guard Guard(T.Lock);
  if (Index == DC_BRUSH) {
    if (!DCBrush) {
      auto B = std::make_unique<TBrushObject>();
      B->IsDCBrush = true;
      DCBrush = addStock(std::move(B));
    }
    return DCBrush;
  }
  if (Index < WHITE_BRUSH || Index > NULL_BRUSH) return nullptr;
  TBrushObject*& Slot = Brushes[Index];
  if (!Slot) {
    auto B = std::make_unique<TBrushObject>();
    B->Style = Index == NULL_BRUSH ? BS_NULL : BS_SOLID;
    B->Color = Colors[Index];
    Slot = addStock(std::move(B));
  }
  return Slot;
}

TFontObject* StockFont() {
  TFontObject*& Font = table().Font;
  std::lock_guard Guard(table().Lock);
  if (!Font) {
    auto F = std::make_unique<TFontObject>();
    F->LogFont.lfHeight = -11;  // 8 points at 96 pixels per inch
    F->LogFont.lfWeight = FW_NORMAL;
    F->LogFont.lfCharSet = DEFAULT_CHARSET;
    SetLogFontFaceName(F->LogFont, QStringLiteral("MS Shell Dlg"));
    Font = addStock(std::move(F));
  }
  return Font;
}

TBitmapObject* StockBitmap() {
  TBitmapObject*& Bitmap = table().Bitmap;
  std::lock_guard Guard(table().Lock);
  if (!Bitmap) {
    auto B = std::make_unique<TBitmapObject>();
    QImage Mono(1, 1, QImage::Format_Mono);
    Mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    Mono.fill(1);
    B->Surface = std::make_shared<TSurface>(std::move(Mono));
    Bitmap = addStock(std::move(B));
  }
  return Bitmap;
}

int RegionType(const QRegion& R) {
  if (R.isEmpty()) return NULLREGION;
  return R.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace detail

int GdiObjectCount() {
  TGdiHandles& T = table();
  std::lock_guard Guard(T.Lock);
  return int(T.Objects.size()) - T.StockCount;
}

int GdiHandleErrors() {
  std::lock_guard Guard(table().Lock);
  return table().Errors;
}

// ---------------------------------------------------------------------------
// system colours

namespace {

// The classic desktop colours, as RGB(r, g, b).
constexpr std::array<COLORREF, MaxSysColorIndex + 1> DefaultSysColors = {
    RGB(200, 200, 200),  // COLOR_SCROLLBAR
    RGB(0, 0, 0),        // COLOR_BACKGROUND
    RGB(153, 180, 209),  // COLOR_ACTIVECAPTION
    RGB(191, 205, 219),  // COLOR_INACTIVECAPTION
    RGB(240, 240, 240),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(100, 100, 100),  // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(0, 0, 0),        // COLOR_CAPTIONTEXT
    RGB(180, 180, 180),  // COLOR_ACTIVEBORDER
    RGB(244, 247, 252),  // COLOR_INACTIVEBORDER
    RGB(171, 171, 171),  // COLOR_APPWORKSPACE
    RGB(0, 120, 215),    // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(240, 240, 240),  // COLOR_BTNFACE
    RGB(160, 160, 160),  // COLOR_BTNSHADOW
    RGB(109, 109, 109),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(0, 0, 0),        // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(105, 105, 105),  // COLOR_3DDKSHADOW
    RGB(227, 227, 227),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
    RGB(0, 0, 0),        // 25: unused
    RGB(0, 102, 204),    // COLOR_HOTLIGHT
    RGB(185, 209, 234),  // COLOR_GRADIENTACTIVECAPTION
    RGB(215, 228, 242),  // COLOR_GRADIENTINACTIVECAPTION
    RGB(51, 153, 255),   // COLOR_MENUHILIGHT
    RGB(240, 240, 240),  // COLOR_MENUBAR
};

}  // namespace

}  // namespace gdi

namespace graphics_detail {

struct TSysColors {
  std::array<gdi::COLORREF, gdi::MaxSysColorIndex + 1> Colors = gdi::DefaultSysColors;
};

}  // namespace graphics_detail

namespace gdi {

namespace {

std::array<COLORREF, MaxSysColorIndex + 1>& sysColors() { return GraphicsState().SysColors.Get().Colors; }

std::array<TBrushObject*, MaxSysColorIndex + 1>& sysColorBrushes() { return table().SysColorBrushes; }

}  // namespace

DWORD GetSysColor(int Index) {
  if (Index < 0 || Index > MaxSysColorIndex) return 0;
  return sysColors()[Index];
}

HBRUSH GetSysColorBrush(int Index) {
  if (Index < 0 || Index > MaxSysColorIndex) return nullptr;
  std::lock_guard Guard(table().Lock);
  TBrushObject*& Slot = sysColorBrushes()[Index];
  if (!Slot) Slot = addStock(std::make_unique<TBrushObject>());
  Slot->Color = sysColors()[Index];
  return static_cast<HBRUSH>(HandleOf(Slot));
}

BOOL SetSysColors(int Count, const int* Indexes, const COLORREF* Values) {
  for (int I = 0; I < Count; ++I)
    if (Indexes[I] >= 0 && Indexes[I] <= MaxSysColorIndex) sysColors()[Indexes[I]] = Values[I] & 0xFFFFFF;
  return 1;
}

void ResetSysColors() { sysColors() = DefaultSysColors; }

COLORREF GetNearestColor(HDC DC, COLORREF Color) {
  TDC* D = FindDC(DC);
  if (!D) return CLR_INVALID;
  const COLORREF C = Color & 0xFFFFFF;
  TSurface* S = D->Surface();
  return S && S->NearestColor ? S->NearestColor(C) & 0xFFFFFF : C;
}

// ---------------------------------------------------------------------------
// objects

String LogFontFaceName(const LOGFONTW& LogFont) {
  int N = 0;
  while (N < LF_FACESIZE && LogFont.lfFaceName[N]) ++N;
  return String::fromUtf16(LogFont.lfFaceName, N);
}

void SetLogFontFaceName(LOGFONTW& LogFont, const String& Name) {
  std::fill(std::begin(LogFont.lfFaceName), std::end(LogFont.lfFaceName), WCHAR(0));
  const int N = std::min<int>(Name.size(), LF_FACESIZE - 1);
  for (int I = 0; I < N; ++I) LogFont.lfFaceName[I] = Name[I].unicode();
}

HGDIOBJ GetStockObject(int Index) {
  switch (Index) {
    case WHITE_BRUSH:
    case LTGRAY_BRUSH:
    case GRAY_BRUSH:
    case DKGRAY_BRUSH:
    case BLACK_BRUSH:
    case NULL_BRUSH:
    case DC_BRUSH:
      return HandleOf(StockBrush(Index));
    case WHITE_PEN:
    case BLACK_PEN:
    case NULL_PEN:
    case DC_PEN:
      return HandleOf(StockPen(Index));
    case DEFAULT_GUI_FONT:
      return HandleOf(StockFont());
    default:
      return nullptr;
  }
}

BOOL DeleteObject(HGDIOBJ Object) {
  TObjectBase* O = FindObject(Object);
  if (!O || O->Kind == TObjectKind::DC) return 0;
  if (O->Stock) return 1;
  if (O->Holds > 0) {
    O->DeletePending = true;
    return 1;
  }
  eraseObject(O);
  return 1;
}

DWORD GetObjectType(HGDIOBJ Object) {
  TObjectBase* O = FindObject(Object);
  if (!O) return 0;
  switch (O->Kind) {
    case TObjectKind::Pen: return OBJ_PEN;
    case TObjectKind::Brush: return OBJ_BRUSH;
    case TObjectKind::Font: return OBJ_FONT;
    case TObjectKind::Bitmap: return OBJ_BITMAP;
    case TObjectKind::Region: return OBJ_REGION;
    case TObjectKind::DC: return static_cast<TDC*>(O)->DCKind == TDC::TDCKind::Memory ? OBJ_MEMDC : OBJ_DC;
  }
  return 0;
}

namespace {

template <class T>
int copyOut(const T& Value, int Size, void* Buffer) {
  if (!Buffer) return int(sizeof(T));
  const int N = std::min<int>(Size, int(sizeof(T)));
  if (N <= 0) return 0;
  std::memcpy(Buffer, &Value, N);
  return N;
}

// An EXTLOGPEN with its style entries in place of elpStyleEntry.
int extLogPen(const TPenObject& P, int Size, void* Buffer) {
  const std::size_t Entries = P.UserStyle.size();
  const int Needed = int(offsetof(EXTLOGPEN, elpStyleEntry) + std::max<std::size_t>(Entries, 1) * sizeof(DWORD));
  if (!Buffer) return Needed;
  std::vector<unsigned char> Bytes(Needed);
  EXTLOGPEN Head;
  Head.elpPenStyle = P.ExtStyle;
  Head.elpWidth = DWORD(P.Width);
  Head.elpBrushStyle = BS_SOLID;
  Head.elpColor = P.Color;
  Head.elpNumEntries = DWORD(Entries);
  std::memcpy(Bytes.data(), &Head, offsetof(EXTLOGPEN, elpStyleEntry));
  if (Entries) std::memcpy(Bytes.data() + offsetof(EXTLOGPEN, elpStyleEntry), P.UserStyle.data(), Entries * sizeof(DWORD));
  const int N = std::min(Size, Needed);
  if (N <= 0) return 0;
  std::memcpy(Buffer, Bytes.data(), N);
  return N;
}

BITMAP bitmapInfo(const TBitmapObject& B) {
  BITMAP Info;
  const QImage Empty;
  const QImage& Img = B.Surface->HasPixels() ? *B.Surface->DrawingPixels() : Empty;
  Info.bmWidth = Img.width();
  Info.bmHeight = Img.height();
  Info.bmBitsPixel = WORD(Img.depth());
  Info.bmWidthBytes = LONG(Img.isNull() ? 0 : Img.bytesPerLine());
  return Info;
}

}  // namespace

int GetObjectW(HGDIOBJ Object, int Size, void* Buffer) {
  TObjectBase* O = FindObject(Object);
  if (!O) return 0;
  switch (O->Kind) {
    case TObjectKind::Font:
      return copyOut(static_cast<TFontObject*>(O)->LogFont, Size, Buffer);
    case TObjectKind::Bitmap:
      return copyOut(bitmapInfo(*static_cast<TBitmapObject*>(O)), Size, Buffer);
    case TObjectKind::Pen: {
      auto* P = static_cast<TPenObject*>(O);
      if (P->Extended) return extLogPen(*P, Size, Buffer);
      return copyOut(LOGPEN{P->Style, TPoint{P->Width, 0}, P->Color}, Size, Buffer);
    }
    case TObjectKind::Brush: {
      auto* B = static_cast<TBrushObject*>(O);
      const std::uintptr_t Hatch = B->Style == BS_PATTERN ? B->PatternBitmap : std::uintptr_t(B->Hatch);
      return copyOut(LOGBRUSH{B->Style, B->Style == BS_PATTERN ? 0 : B->Color, Hatch}, Size, Buffer);
    }
    default:
      return 0;
  }
}

HPEN CreatePen(int Style, int Width, COLORREF Color) {
  if (Style < int(PS_SOLID) || Style > int(PS_INSIDEFRAME)) return nullptr;
  auto P = std::make_unique<TPenObject>();
  P->Style = UINT(Style);
  P->Width = std::max(Width, 0);
  P->Color = Color;
  return static_cast<HPEN>(AddObject(std::move(P)));
}

HPEN ExtCreatePen(DWORD PenStyle, DWORD Width, const LOGBRUSH* Brush, DWORD StyleCount, const DWORD* Style) {
  constexpr DWORD MaxStyleEntries = 16;
  const UINT Kind = PenStyle & PS_STYLE_MASK;
  const bool Geometric = (PenStyle & PS_TYPE_MASK) == PS_GEOMETRIC;
  if (!Brush || Brush->lbStyle != BS_SOLID || Kind > PS_ALTERNATE) return nullptr;
  if ((PenStyle & PS_TYPE_MASK) > PS_GEOMETRIC || (PenStyle & PS_ENDCAP_MASK) > PS_ENDCAP_FLAT ||
      (PenStyle & PS_JOIN_MASK) > PS_JOIN_MITER)
    return nullptr;
  // cosmetic pens are one pixel wide and know no caps or joins; PS_ALTERNATE is cosmetic only
  if (!Geometric && (Width != 1 || (PenStyle & (PS_ENDCAP_MASK | PS_JOIN_MASK)))) return nullptr;
  if (Geometric && Kind == PS_ALTERNATE) return nullptr;
  if (Kind == PS_USERSTYLE ? StyleCount == 0 || StyleCount > MaxStyleEntries || !Style : StyleCount != 0)
    return nullptr;
  auto P = std::make_unique<TPenObject>();
  P->Extended = true;
  P->ExtStyle = PenStyle;
  P->Style = Kind;
  P->Width = int(Width);
  P->Color = Brush->lbColor;
  if (Kind == PS_USERSTYLE) P->UserStyle.assign(Style, Style + StyleCount);
  return static_cast<HPEN>(AddObject(std::move(P)));
}

HBRUSH CreatePatternBrush(HBITMAP Bitmap) {
  auto* BitmapObject = Find<TBitmapObject>(Bitmap, TObjectKind::Bitmap);
  if (!BitmapObject || !BitmapObject->Surface->HasPixels()) return nullptr;
  auto B = std::make_unique<TBrushObject>();
  B->Style = BS_PATTERN;
  B->Pattern = BitmapObject->Surface->Image().copy();
  B->PatternBitmap = reinterpret_cast<std::uintptr_t>(Bitmap);
  if (B->Pattern.isNull()) return nullptr;
  return static_cast<HBRUSH>(AddObject(std::move(B)));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH& LogBrush) {
  if (LogBrush.lbStyle != BS_SOLID && LogBrush.lbStyle != BS_NULL && LogBrush.lbStyle != BS_HATCHED) return nullptr;
  if (LogBrush.lbStyle == BS_HATCHED && LogBrush.lbHatch > std::uintptr_t(HS_DIAGCROSS)) return nullptr;
  auto B = std::make_unique<TBrushObject>();
  B->Style = LogBrush.lbStyle;
  B->Color = LogBrush.lbColor;
  B->Hatch = int(LogBrush.lbHatch);
  return static_cast<HBRUSH>(AddObject(std::move(B)));
}

HBRUSH CreateSolidBrush(COLORREF Color) { return CreateBrushIndirect(LOGBRUSH{BS_SOLID, Color, 0}); }

HBRUSH CreateHatchBrush(int Hatch, COLORREF Color) {
  if (Hatch < HS_HORIZONTAL || Hatch > HS_DIAGCROSS) return nullptr;
  return CreateBrushIndirect(LOGBRUSH{BS_HATCHED, Color, std::uintptr_t(Hatch)});
}

HFONT CreateFontIndirectW(const LOGFONTW& LogFont) {
  auto F = std::make_unique<TFontObject>();
  F->LogFont = LogFont;
  F->LogFont.lfFaceName[LF_FACESIZE - 1] = 0;
  return static_cast<HFONT>(AddObject(std::move(F)));
}

HBITMAP CreateCompatibleBitmap(HDC DC, int Width, int Height) {
  if (Width < 0 || Height < 0) return nullptr;
  QImage Img(Width, Height, QImage::Format_RGB32);
  Img.fill(0xFF000000u);
  return CreateSurfaceBitmap(std::make_shared<TSurface>(std::move(Img)));
}

HBITMAP CreateBitmap(int Width, int Height, UINT Planes, UINT BitsPerPixel, const void* Bits) {
  if (Width < 0 || Height < 0 || Planes != 1) return nullptr;
  QImage Img;
  switch (BitsPerPixel) {
    case 1:
      Img = QImage(Width, Height, QImage::Format_Mono);
      Img.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
      break;
    case 24: Img = QImage(Width, Height, QImage::Format_BGR888); break;
    case 32: Img = QImage(Width, Height, QImage::Format_RGB32); break;
    default: return nullptr;
  }
  Img.fill(BitsPerPixel == 32 ? 0xFF000000u : 0u);
  if (Bits) {
    // source rows are 16-bit aligned
    const int SourceStride = ((Width * int(BitsPerPixel) + 15) / 16) * 2;
    const int RowBytes = (Width * int(BitsPerPixel) + 7) / 8;
    for (int Y = 0; Y < Height; ++Y)
      std::memcpy(Img.scanLine(Y), static_cast<const uchar*>(Bits) + Y * SourceStride, RowBytes);
    if (BitsPerPixel == 32)
      for (int Y = 0; Y < Height; ++Y) {
        auto* Row = reinterpret_cast<QRgb*>(Img.scanLine(Y));
        for (int X = 0; X < Width; ++X) Row[X] |= 0xFF000000u;
      }
  }
  return CreateSurfaceBitmap(std::make_shared<TSurface>(std::move(Img)));
}

// ---------------------------------------------------------------------------
// device contexts

namespace detail {

TDC::TDC(TDCKind Kind, std::shared_ptr<TSurface> Surface, const TSurfaceDCOptions& Options)
    : TObjectBase(TObjectKind::DC),
      DCKind(Kind),
      Window(Options.Window),
      FSurface(std::move(Surface)),
      FOrigin(Options.Origin),
      FWidth(Options.Width),
      FHeight(Options.Height),
      FVisible(Options.VisibleRegion) {
  State.Pen = StockPen(BLACK_PEN);
  State.Brush = StockBrush(WHITE_BRUSH);
  State.Font = StockFont();
  if (Kind == TDCKind::Memory) State.Bitmap = StockBitmap();
  HoldState(State);
}

TDC::~TDC() {
  for (TDCState& S : Saved) ReleaseState(S);
  ReleaseState(State);
}

TSurface* TDC::Surface() const {
  if (DCKind == TDCKind::Memory) return State.Bitmap ? State.Bitmap->Surface.get() : nullptr;
  return FSurface.get();
}

std::shared_ptr<TSurface> TDC::SurfacePtr() const {
  if (DCKind == TDCKind::Memory) return State.Bitmap ? State.Bitmap->Surface : nullptr;
  return FSurface;
}

int TDC::DeviceWidth() const {
  if (FWidth >= 0) return FWidth;
  TSurface* S = Surface();
  return S ? S->Width() : 0;
}

int TDC::DeviceHeight() const {
  if (FHeight >= 0) return FHeight;
  TSurface* S = Surface();
  return S ? S->Height() : 0;
}

QRect TDC::DeviceBounds() const { return QRect(0, 0, DeviceWidth(), DeviceHeight()); }

void TDC::GeometryChanged() { ++FVersion; }

void TDC::refresh() {
  // A resized surface moves the clip's bounds as any state change does.
  const TSurface* S = Surface();
  const QSize Size = S ? QSize(S->Width(), S->Height()) : QSize();
  if (Size != FComputedSize) ++FVersion;
  if (FComputedVersion == FVersion) return;
  FComputedVersion = FVersion;
  FComputedSize = Size;

  QTransform Mapping;
  if (State.MapMode == MM_ANISOTROPIC) {
    const double SX = double(State.ViewportExt.cx) / State.WindowExt.cx;
    const double SY = double(State.ViewportExt.cy) / State.WindowExt.cy;
    Mapping = QTransform(SX, 0, 0, SY, State.ViewportOrg.X - State.WindowOrg.X * SX,
                         State.ViewportOrg.Y - State.WindowOrg.Y * SY);
  } else {
    Mapping = QTransform::fromTranslate(State.ViewportOrg.X - State.WindowOrg.X,
                                        State.ViewportOrg.Y - State.WindowOrg.Y);
  }
  FToDevice = State.GraphicsMode == GM_ADVANCED ? State.World * Mapping : Mapping;
  if (State.Layout & LAYOUT_RTL) FToDevice *= QTransform(-1, 0, 0, 1, DeviceWidth(), 0);
  FToSurface = FToDevice * DeviceToSurface();

  QRegion Device(DeviceBounds());
  if (State.Clip) Device &= *State.Clip;
  if (FVisible) Device &= *FVisible;
  const QRegion InSurface = DeviceRegionToSurface(Device) & QRect(QPoint(0, 0), Size);
  FClip.Region = InSurface;
  FClip.Rects.assign(InSurface.begin(), InSurface.end());
  FClip.Bounds = InSurface.boundingRect();
  FClip.IsRect = FClip.Rects.size() == 1;
}

const QTransform& TDC::ToDevice() {
  refresh();
  return FToDevice;
}

QTransform TDC::DeviceToSurface() const { return QTransform::fromTranslate(FOrigin.X, FOrigin.Y); }

const QTransform& TDC::ToSurface() {
  refresh();
  return FToSurface;
}

namespace {
int roundCoord(double V) { return int(std::floor(V + 0.5)); }
}  // namespace

TPoint TDC::LogicalToSurface(int X, int Y) {
  const QPointF P = ToSurface().map(QPointF(X, Y));
  return {roundCoord(P.x()), roundCoord(P.y())};
}

TPoint TDC::LogicalToDevice(int X, int Y) {
  const QPointF P = ToDevice().map(QPointF(X, Y));
  return {roundCoord(P.x()), roundCoord(P.y())};
}

bool TDC::AxisAligned() {
  const QTransform& T = ToSurface();
  return T.m12() == 0 && T.m21() == 0;
}

QRect TDC::SurfaceRect(int Left, int Top, int Right, int Bottom) {
  const TPoint A = LogicalToSurface(Left, Top);
  const TPoint B = LogicalToSurface(Right, Bottom);
  return QRect(QPoint(std::min(A.X, B.X), std::min(A.Y, B.Y)), QPoint(std::max(A.X, B.X) - 1, std::max(A.Y, B.Y) - 1));
}

QRegion TDC::DeviceRegionToSurface(const QRegion& Region) const {
  return Region.translated(FOrigin.X, FOrigin.Y);
}

const TSurfaceClip& TDC::SurfaceClip() {
  refresh();
  return FClip;
}

void TDC::HoldState(TDCState& S) {
  Hold(S.Pen);
  Hold(S.Brush);
  Hold(S.Font);
  Hold(S.Bitmap);
}

void TDC::ReleaseState(TDCState& S) {
  Release(S.Pen);
  Release(S.Brush);
  Release(S.Font);
  Release(S.Bitmap);
  S.Pen = nullptr;
  S.Brush = nullptr;
  S.Font = nullptr;
  S.Bitmap = nullptr;
}

}  // namespace detail

}  // namespace gdi

namespace graphics_detail {

struct TWindowDCHook {
  TWindowDCProvider Provider;
};

}  // namespace graphics_detail

namespace gdi {

namespace {

TWindowDCProvider& windowDCProvider() { return GraphicsState().WindowDCHook.Get().Provider; }

HDC addDC(std::unique_ptr<TDC> DC) { return static_cast<HDC>(AddObject(std::move(DC))); }

}  // namespace

HDC CreateCompatibleDC(HDC) { return addDC(std::make_unique<TDC>(TDC::TDCKind::Memory, nullptr, TSurfaceDCOptions())); }

BOOL DeleteDC(HDC DC) {
  TDC* D = FindDC(DC);
  if (!D) return 0;
  eraseObject(D);
  return 1;
}

HDC GetDC(HWND Window) {
  if (!Window) return addDC(std::make_unique<TDC>(TDC::TDCKind::Screen, TSurface::MakeScreen(), TSurfaceDCOptions()));
  const TWindowDCProvider& Provider = windowDCProvider();
  return Provider ? Provider(Window) : nullptr;
}

int ReleaseDC(HWND, HDC DC) { return DeleteDC(DC); }

HWND WindowFromDC(HDC DC) {
  TDC* D = FindDC(DC);
  return D ? D->Window : nullptr;
}

int SelectClipRgn(HDC DC, HRGN Region);

HGDIOBJ SelectObject(HDC DC, HGDIOBJ Object) {
  TDC* D = FindDC(DC);
  TObjectBase* O = FindObject(Object);
  if (!D || !O) return nullptr;
  auto swap = [&](auto*& Slot, auto* New) -> HGDIOBJ {
    auto* Old = Slot;
    Hold(New);
    Slot = New;
    void* OldHandle = Old ? HandleOf(Old) : nullptr;
    Release(Old);
    return OldHandle;
  };
  switch (O->Kind) {
    case TObjectKind::Pen: return swap(D->State.Pen, static_cast<TPenObject*>(O));
    case TObjectKind::Brush: return swap(D->State.Brush, static_cast<TBrushObject*>(O));
    case TObjectKind::Font: return swap(D->State.Font, static_cast<TFontObject*>(O));
    case TObjectKind::Bitmap: {
      auto* B = static_cast<TBitmapObject*>(O);
      if (D->DCKind != TDC::TDCKind::Memory) return nullptr;
      if (!B->Stock && B->SelectedInto && B->SelectedInto != D) return nullptr;
      HGDIOBJ Old = swap(D->State.Bitmap, B);
      if (!B->Stock) B->SelectedInto = D;
      D->GeometryChanged();
      return Old;
    }
    case TObjectKind::Region:
      return reinterpret_cast<HGDIOBJ>(std::intptr_t(SelectClipRgn(DC, static_cast<HRGN>(Object))));
    case TObjectKind::DC:
      return nullptr;
  }
  return nullptr;
}

HGDIOBJ GetCurrentObject(HDC DC, UINT ObjectType) {
  TDC* D = FindDC(DC);
  if (!D) return nullptr;
  switch (ObjectType) {
    case OBJ_PEN: return D->State.Pen ? HandleOf(D->State.Pen) : nullptr;
    case OBJ_BRUSH: return D->State.Brush ? HandleOf(D->State.Brush) : nullptr;
    case OBJ_FONT: return D->State.Font ? HandleOf(D->State.Font) : nullptr;
    case OBJ_BITMAP: return D->State.Bitmap ? HandleOf(D->State.Bitmap) : nullptr;
    default: return nullptr;
  }
}

// ---------------------------------------------------------------------------
// DC state

namespace {

// Sets a state field and answers its previous value, or Failed for a bad DC.
template <class V, class F>
V exchange(HDC DC, F Field, V Value, V Failed) {
  TDC* D = FindDC(DC);
  if (!D) return Failed;
  V& Slot = D->State.*Field;
  V Old = Slot;
  Slot = Value;
  return Old;
}

template <class V, class F>
V read(HDC DC, F Field, V Failed) {
  TDC* D = FindDC(DC);
  return D ? D->State.*Field : Failed;
}

BOOL exchangePoint(HDC DC, TPoint TDCState::*Field, TPoint Value, POINT* Previous) {
  TDC* D = FindDC(DC);
  if (!D) return 0;
  if (Previous) *Previous = D->State.*Field;
  D->State.*Field = Value;
  return 1;
}

BOOL readPoint(HDC DC, TPoint TDCState::*Field, POINT* Out) {
  TDC* D = FindDC(DC);
  if (!D || !Out) return 0;
  *Out = D->State.*Field;
  return 1;
}

}  // namespace

COLORREF SetBkColor(HDC DC, COLORREF Color) { return exchange(DC, &TDCState::BkColor, Color, CLR_INVALID); }
COLORREF GetBkColor(HDC DC) { return read(DC, &TDCState::BkColor, CLR_INVALID); }

int SetBkMode(HDC DC, int Mode) {
  if (Mode != TRANSPARENT && Mode != OPAQUE) return 0;
  return exchange(DC, &TDCState::BkMode, Mode, 0);
}
int GetBkMode(HDC DC) { return read(DC, &TDCState::BkMode, 0); }

COLORREF SetTextColor(HDC DC, COLORREF Color) { return exchange(DC, &TDCState::TextColor, Color, CLR_INVALID); }
COLORREF GetTextColor(HDC DC) { return read(DC, &TDCState::TextColor, CLR_INVALID); }

UINT SetTextAlign(HDC DC, UINT Align) { return exchange(DC, &TDCState::TextAlign, Align, UINT(GDI_ERROR)); }
UINT GetTextAlign(HDC DC) { return read(DC, &TDCState::TextAlign, UINT(GDI_ERROR)); }

int SetTextCharacterExtra(HDC DC, int Extra) { return exchange(DC, &TDCState::CharExtra, Extra, int(0x80000000)); }
int GetTextCharacterExtra(HDC DC) { return read(DC, &TDCState::CharExtra, int(0x80000000)); }

int SetROP2(HDC DC, int Rop2) {
  if (Rop2 < R2_BLACK || Rop2 > R2_WHITE) return 0;
  return exchange(DC, &TDCState::Rop2, Rop2, 0);
}
int GetROP2(HDC DC) { return read(DC, &TDCState::Rop2, 0); }

int SetPolyFillMode(HDC DC, int Mode) {
  if (Mode != ALTERNATE && Mode != WINDING) return 0;
  return exchange(DC, &TDCState::PolyFillMode, Mode, 0);
}
int GetPolyFillMode(HDC DC) { return read(DC, &TDCState::PolyFillMode, 0); }

int SetArcDirection(HDC DC, int Direction) {
  if (Direction != AD_COUNTERCLOCKWISE && Direction != AD_CLOCKWISE) return 0;
  return exchange(DC, &TDCState::ArcDirection, Direction, 0);
}
int GetArcDirection(HDC DC) { return read(DC, &TDCState::ArcDirection, 0); }

int SetStretchBltMode(HDC DC, int Mode) {
  if (Mode < BLACKONWHITE || Mode > HALFTONE) return 0;
  return exchange(DC, &TDCState::StretchMode, Mode, 0);
}
int GetStretchBltMode(HDC DC) { return read(DC, &TDCState::StretchMode, 0); }

BOOL SetBrushOrgEx(HDC DC, int X, int Y, POINT* Previous) {
  return exchangePoint(DC, &TDCState::BrushOrg, {X, Y}, Previous);
}
BOOL GetBrushOrgEx(HDC DC, POINT* Origin) { return readPoint(DC, &TDCState::BrushOrg, Origin); }

BOOL MoveToEx(HDC DC, int X, int Y, POINT* Previous) {
  if (TDC* D = FindDC(DC); D && D->State.PathState == TDCState::TPathState::Open) PathMoveTo(*D, {X, Y});
  return exchangePoint(DC, &TDCState::CurrentPos, {X, Y}, Previous);
}
BOOL GetCurrentPositionEx(HDC DC, POINT* Position) { return readPoint(DC, &TDCState::CurrentPos, Position); }

COLORREF SetDCBrushColor(HDC DC, COLORREF Color) { return exchange(DC, &TDCState::DCBrushColor, Color, CLR_INVALID); }
COLORREF GetDCBrushColor(HDC DC) { return read(DC, &TDCState::DCBrushColor, CLR_INVALID); }
COLORREF SetDCPenColor(HDC DC, COLORREF Color) { return exchange(DC, &TDCState::DCPenColor, Color, CLR_INVALID); }
COLORREF GetDCPenColor(HDC DC) { return read(DC, &TDCState::DCPenColor, CLR_INVALID); }

int SaveDC(HDC DC) {
  TDC* D = FindDC(DC);
  if (!D) return 0;
  D->Saved.push_back(D->State);
  TDC::HoldState(D->Saved.back());
  return int(D->Saved.size());
}

BOOL RestoreDC(HDC DC, int SavedDC) {
  TDC* D = FindDC(DC);
  if (!D) return 0;
  const int Count = int(D->Saved.size());
  const int Level = SavedDC < 0 ? Count + 1 + SavedDC : SavedDC;
  if (Level < 1 || Level > Count) return 0;
  // The restored level's holds pass to the current state.
  TDCState Restored = std::move(D->Saved[Level - 1]);
  for (int I = Level; I < Count; ++I) TDC::ReleaseState(D->Saved[I]);
  D->Saved.resize(Level - 1);
  TDC::ReleaseState(D->State);
  D->State = std::move(Restored);
  if (D->State.Bitmap && !D->State.Bitmap->Stock) D->State.Bitmap->SelectedInto = D;
  D->GeometryChanged();
  return 1;
}

// ---------------------------------------------------------------------------
// coordinate spaces

namespace {

// Applies Change to the state of DC and marks the geometry as changed.
template <class F>
BOOL changeGeometry(HDC DC, F Change) {
  TDC* D = FindDC(DC);
  if (!D) return 0;
  const BOOL Result = Change(*D);
  D->GeometryChanged();
  return Result;
}

BOOL mapPoints(HDC DC, POINT* Points, int Count, bool Inverse) {
  TDC* D = FindDC(DC);
  if (!D || (Count > 0 && !Points)) return 0;
  bool Invertible = true;
  const QTransform T = Inverse ? D->ToDevice().inverted(&Invertible) : D->ToDevice();
  if (!Invertible) return 0;
  for (int I = 0; I < Count; ++I) {
    const QPointF P = T.map(QPointF(Points[I].X, Points[I].Y));
    Points[I] = {int(std::floor(P.x() + 0.5)), int(std::floor(P.y() + 0.5))};
  }
  return 1;
}

QTransform fromXform(const XFORM& X) { return QTransform(X.eM11, X.eM12, X.eM21, X.eM22, X.eDx, X.eDy); }

XFORM toXform(const QTransform& T) {
  return XFORM{float(T.m11()), float(T.m12()), float(T.m21()), float(T.m22()), float(T.dx()), float(T.dy())};
}

}  // namespace

int SetMapMode(HDC DC, int Mode) {
  if (Mode != MM_TEXT && Mode != MM_ANISOTROPIC) return 0;
  int Old = 0;
  changeGeometry(DC, [&](TDC& D) {
    Old = D.State.MapMode;
    D.State.MapMode = Mode;
    if (Mode == MM_TEXT) D.State.WindowExt = D.State.ViewportExt = {1, 1};
    return 1;
  });
  return Old;
}
int GetMapMode(HDC DC) { return read(DC, &TDCState::MapMode, 0); }

BOOL SetWindowOrgEx(HDC DC, int X, int Y, POINT* Previous) {
  return changeGeometry(DC, [&](TDC& D) { return exchangePoint(DC, &TDCState::WindowOrg, {X, Y}, Previous); });
}
BOOL GetWindowOrgEx(HDC DC, POINT* Origin) { return readPoint(DC, &TDCState::WindowOrg, Origin); }

BOOL SetViewportOrgEx(HDC DC, int X, int Y, POINT* Previous) {
  return changeGeometry(DC, [&](TDC& D) { return exchangePoint(DC, &TDCState::ViewportOrg, {X, Y}, Previous); });
}
BOOL GetViewportOrgEx(HDC DC, POINT* Origin) { return readPoint(DC, &TDCState::ViewportOrg, Origin); }

namespace {

BOOL setExtent(HDC DC, TSize TDCState::*Field, int X, int Y, SIZE* Previous) {
  return changeGeometry(DC, [&](TDC& D) -> BOOL {
    if (Previous) *Previous = D.State.*Field;
    if (D.State.MapMode == MM_TEXT) return 1;
    if (X == 0 || Y == 0) return 0;
    D.State.*Field = {X, Y};
    return 1;
  });
}

BOOL getExtent(HDC DC, TSize TDCState::*Field, SIZE* Extent) {
  TDC* D = FindDC(DC);
  if (!D || !Extent) return 0;
  *Extent = D->State.*Field;
  return 1;
}

}  // namespace

BOOL SetWindowExtEx(HDC DC, int X, int Y, SIZE* Previous) { return setExtent(DC, &TDCState::WindowExt, X, Y, Previous); }
BOOL GetWindowExtEx(HDC DC, SIZE* Extent) { return getExtent(DC, &TDCState::WindowExt, Extent); }
BOOL SetViewportExtEx(HDC DC, int X, int Y, SIZE* Previous) {
  return setExtent(DC, &TDCState::ViewportExt, X, Y, Previous);
}
BOOL GetViewportExtEx(HDC DC, SIZE* Extent) { return getExtent(DC, &TDCState::ViewportExt, Extent); }

BOOL LPtoDP(HDC DC, POINT* Points, int Count) { return mapPoints(DC, Points, Count, false); }
BOOL DPtoLP(HDC DC, POINT* Points, int Count) { return mapPoints(DC, Points, Count, true); }

DWORD SetLayout(HDC DC, DWORD Layout) {
  DWORD Old = GDI_ERROR;
  changeGeometry(DC, [&](TDC& D) {
    Old = D.State.Layout;
    D.State.Layout = Layout;
    return 1;
  });
  return Old;
}
DWORD GetLayout(HDC DC) { return read(DC, &TDCState::Layout, GDI_ERROR); }

int SetGraphicsMode(HDC DC, int Mode) {
  TDC* D = FindDC(DC);
  if (!D || (Mode != GM_COMPATIBLE && Mode != GM_ADVANCED)) return 0;
  if (Mode == GM_COMPATIBLE && !D->State.World.isIdentity()) return 0;
  const int Old = D->State.GraphicsMode;
  D->State.GraphicsMode = Mode;
  D->GeometryChanged();
  return Old;
}
int GetGraphicsMode(HDC DC) { return read(DC, &TDCState::GraphicsMode, 0); }

BOOL SetWorldTransform(HDC DC, const XFORM* Xform) {
  TDC* D = FindDC(DC);
  if (!D || !Xform || D->State.GraphicsMode != GM_ADVANCED) return 0;
  D->State.World = fromXform(*Xform);
  D->GeometryChanged();
  return 1;
}

BOOL ModifyWorldTransform(HDC DC, const XFORM* Xform, DWORD Mode) {
  TDC* D = FindDC(DC);
  if (!D || D->State.GraphicsMode != GM_ADVANCED) return 0;
  switch (Mode) {
    case MWT_IDENTITY: D->State.World.reset(); break;
    case MWT_LEFTMULTIPLY:
      if (!Xform) return 0;
      D->State.World = fromXform(*Xform) * D->State.World;
      break;
    case MWT_RIGHTMULTIPLY:
      if (!Xform) return 0;
      D->State.World = D->State.World * fromXform(*Xform);
      break;
    default: return 0;
  }
  D->GeometryChanged();
  return 1;
}

BOOL GetWorldTransform(HDC DC, XFORM* Xform) {
  TDC* D = FindDC(DC);
  if (!D || !Xform) return 0;
  *Xform = toXform(D->State.World);
  return 1;
}

// ---------------------------------------------------------------------------
// clipping

namespace {

// The clip as a region to combine with: the current clip, or the whole device.
QRegion currentClipOrDevice(TDC& D) { return D.State.Clip ? *D.State.Clip : QRegion(D.DeviceBounds()); }

int setClip(TDC& D, std::optional<QRegion> Clip) {
  D.State.Clip = std::move(Clip);
  D.GeometryChanged();
  return D.State.Clip ? RegionType(*D.State.Clip) : SIMPLEREGION;
}

// A logical rectangle in device coordinates: corners mapped, normalised.
QRect deviceRect(TDC& D, int Left, int Top, int Right, int Bottom) {
  const TPoint A = D.LogicalToDevice(Left, Top);
  const TPoint B = D.LogicalToDevice(Right, Bottom);
  const int L = std::min(A.X, B.X), R = std::max(A.X, B.X), T = std::min(A.Y, B.Y), Bm = std::max(A.Y, B.Y);
  return QRect(L, T, R - L, Bm - T);
}

QRegion combine(const QRegion& A, const QRegion& B, int Mode) {
  switch (Mode) {
    case RGN_AND: return A & B;
    case RGN_OR: return A | B;
    case RGN_XOR: return A ^ B;
    case RGN_DIFF: return A - B;
    default: return B;
  }
}

}  // namespace

int GetClipRgn(HDC DC, HRGN Region) {
  TDC* D = FindDC(DC);
  TRegionObject* R = FindRegion(Region);
  if (!D || !R) return -1;
  if (!D->State.Clip) return 0;
  R->Region = *D->State.Clip;
  return 1;
}

int SelectClipRgn(HDC DC, HRGN Region) { return ExtSelectClipRgn(DC, Region, RGN_COPY); }

int ExtSelectClipRgn(HDC DC, HRGN Region, int Mode) {
  TDC* D = FindDC(DC);
  if (!D || Mode < RGN_AND || Mode > RGN_COPY) return ERROR;
  if (!Region) return Mode == RGN_COPY ? setClip(*D, std::nullopt) : ERROR;
  TRegionObject* R = FindRegion(Region);
  if (!R) return ERROR;
  return setClip(*D, combine(currentClipOrDevice(*D), R->Region, Mode));
}

int IntersectClipRect(HDC DC, int Left, int Top, int Right, int Bottom) {
  TDC* D = FindDC(DC);
  if (!D) return ERROR;
  const QRegion Rect(deviceRect(*D, Left, Top, Right, Bottom));
  return setClip(*D, D->State.Clip ? *D->State.Clip & Rect : Rect);
}

int ExcludeClipRect(HDC DC, int Left, int Top, int Right, int Bottom) {
  TDC* D = FindDC(DC);
  if (!D) return ERROR;
  return setClip(*D, currentClipOrDevice(*D) - QRegion(deviceRect(*D, Left, Top, Right, Bottom)));
}

int OffsetClipRgn(HDC DC, int DX, int DY) {
  TDC* D = FindDC(DC);
  if (!D) return ERROR;
  if (!D->State.Clip) return SIMPLEREGION;
  const TPoint O = D->LogicalToDevice(0, 0);
  const TPoint P = D->LogicalToDevice(DX, DY);
  return setClip(*D, D->State.Clip->translated(P.X - O.X, P.Y - O.Y));
}

int GetClipBox(HDC DC, RECT* Rect) {
  TDC* D = FindDC(DC);
  if (!D || !Rect) return ERROR;
  QRegion Visible(D->DeviceBounds());
  if (D->State.Clip) Visible &= *D->State.Clip;
  const QRect Box = Visible.boundingRect();
  POINT Corners[2] = {{Box.left(), Box.top()}, {Box.left() + Box.width(), Box.top() + Box.height()}};
  if (Box.isEmpty()) Corners[0] = Corners[1] = {0, 0};
  DPtoLP(DC, Corners, 2);
  *Rect = NormalizedRect({Corners[0].X, Corners[0].Y, Corners[1].X, Corners[1].Y});
  return RegionType(Visible);
}

BOOL PtVisible(HDC DC, int X, int Y) {
  TDC* D = FindDC(DC);
  if (!D) return 0;
  const TPoint P = D->LogicalToSurface(X, Y);
  for (const QRect& R : D->SurfaceClip().Rects)
    if (R.contains(P.X, P.Y)) return 1;
  return 0;
}

BOOL RectVisible(HDC DC, const RECT* Rect) {
  TDC* D = FindDC(DC);
  if (!D || !Rect) return 0;
  const QRect R = D->SurfaceRect(Rect->Left, Rect->Top, Rect->Right, Rect->Bottom);
  for (const QRect& C : D->SurfaceClip().Rects)
    if (C.intersects(R)) return 1;
  return 0;
}

// ---------------------------------------------------------------------------
// recording

namespace {

String hexColor(COLORREF C) { return QStringLiteral("$%1").arg(C, 8, 16, QLatin1Char('0')).toUpper(); }

String penText(const TDC& D) {
  const TPenObject* P = D.State.Pen;
  if (!P || P->Style == PS_NULL) return QStringLiteral("pen=none");
  static const char* const Styles[] = {"", "dash", "dot", "dashdot", "dashdotdot", "", "insideframe"};
  String T = QStringLiteral("pen=") + hexColor(P->IsDCPen ? D.State.DCPenColor : P->Color);
  if (P->Width > 1) T += QStringLiteral("/w%1").arg(P->Width);
  if (P->Style != PS_SOLID && P->Style < std::size(Styles)) T += QStringLiteral("/") + QLatin1String(Styles[P->Style]);
  return T;
}

String brushText(const TDC& D, const TBrushObject* B) {
  if (!B || B->Style == BS_NULL) return QStringLiteral("brush=none");
  static const char* const Hatches[] = {"horizontal", "vertical", "fdiagonal", "bdiagonal", "cross", "diagcross"};
  String T = QStringLiteral("brush=") + hexColor(B->IsDCBrush ? D.State.DCBrushColor : B->Color);
  if (B->Style == BS_HATCHED && B->Hatch >= 0 && B->Hatch <= HS_DIAGCROSS)
    T += QStringLiteral("/") + QLatin1String(Hatches[B->Hatch]);
  if (B->Style == BS_PATTERN) T += QStringLiteral("/pattern");
  return T;
}

String textText(const TDC& D) {
  const TFontObject* F = D.State.Font;
  String T = QStringLiteral("font=%1/%2/%3")
                 .arg(F ? LogFontFaceName(F->LogFont) : String())
                 .arg(F ? F->LogFont.lfHeight : 0)
                 .arg(hexColor(D.State.TextColor));
  T += D.State.BkMode == TRANSPARENT ? QStringLiteral(" bk=transparent") : QStringLiteral(" bk=") + hexColor(D.State.BkColor);
  if (F && F->LogFont.lfEscapement != 0) T += QStringLiteral(" esc=%1").arg(F->LogFont.lfEscapement);
  return T;
}

// " clip=(l,t,r,b)" when a clip is set.
String clipText(const TDC& D) {
  if (!D.State.Clip) return String();
  const QRect B = D.State.Clip->boundingRect();
  return QStringLiteral(" clip=(%1,%2,%3,%4)").arg(B.left()).arg(B.top()).arg(B.left() + B.width()).arg(B.top() + B.height());
}

String argList(const std::vector<int>& Args) {
  QStringList Parts;
  for (int A : Args) Parts << QString::number(A);
  return Parts.join(QLatin1Char(','));
}

void recordLine(TDC& D, const char* Name, const std::vector<int>& Logical, const std::vector<int>& Device,
                unsigned Uses, const TBrushObject* Brush) {
  String Line = QLatin1String(Name) + QLatin1Char('(') + argList(Logical) + QLatin1Char(')');
  if (Device != Logical) Line += QStringLiteral(" dev(") + argList(Device) + QLatin1Char(')');
  if (Uses & ruPen) Line += QLatin1Char(' ') + penText(D);
  if (Uses & ruBrush) Line += QLatin1Char(' ') + brushText(D, Brush ? Brush : D.State.Brush);
  if (Uses & ruText) Line += QLatin1Char(' ') + textText(D);
  if ((Uses & ruRop) && D.State.Rop2 != R2_COPYPEN) Line += QStringLiteral(" rop=%1").arg(D.State.Rop2);
  D.Surface()->RecordedCalls << Line + clipText(D);
}

}  // namespace

namespace detail {

void Record(TDC& D, const char* Name, std::initializer_list<int> Args, int Points, unsigned Uses,
            const TBrushObject* Brush) {
  if (!IsRecording(D)) return;
  std::vector<int> Logical(Args), Device(Args);
  for (int I = 0; I < Points && 2 * I + 1 < int(Device.size()); ++I) {
    const TPoint P = D.LogicalToDevice(Logical[2 * I], Logical[2 * I + 1]);
    Device[2 * I] = P.X;
    Device[2 * I + 1] = P.Y;
  }
  recordLine(D, Name, Logical, Device, Uses, Brush);
}

void RecordPoints(TDC& D, const char* Name, const POINT* Points, int Count, unsigned Uses) {
  if (!IsRecording(D)) return;
  std::vector<int> Logical, Device;
  for (int I = 0; I < Count; ++I) {
    const TPoint P = D.LogicalToDevice(Points[I].X, Points[I].Y);
    Logical.insert(Logical.end(), {Points[I].X, Points[I].Y});
    Device.insert(Device.end(), {P.X, P.Y});
  }
  recordLine(D, Name, Logical, Device, Uses, nullptr);
}

}  // namespace detail

bool IsRecordingDC(HDC DC) {
  TDC* D = FindDC(DC);
  return D && IsRecording(*D);
}

void RecordTextCall(HDC DC, const String& Call) {
  TDC* D = FindDC(DC);
  if (!D || !IsRecording(*D)) return;
  D->Surface()->RecordedCalls << Call + QLatin1Char(' ') + textText(*D) + clipText(*D);
}

// ---------------------------------------------------------------------------
// the text engine's access

QTransform DCSurfaceTransform(HDC DC) {
  TDC* D = FindDC(DC);
  return D ? D->ToSurface() : QTransform();
}

bool GetDCTextState(HDC DC, TDCTextState& State, QTransform& ToSurface) {
  TDC* D = FindDC(DC);
  if (!D || !D->State.Font) return false;
  const TDCState& S = D->State;
  State.LogFont = S.Font->LogFont;
  State.TextColor = S.TextColor;
  State.BkColor = S.BkColor;
  State.BkMode = S.BkMode;
  State.TextAlign = S.TextAlign;
  State.CharExtra = S.CharExtra;
  State.GraphicsMode = S.GraphicsMode;
  State.CurrentPos = S.CurrentPos;
  ToSurface = D->ToSurface();
  return true;
}

QPainter* DCPainter(HDC DC, QImage** Pixels) {
  if (Pixels) *Pixels = nullptr;
  TDC* D = FindDC(DC);
  if (!D) return nullptr;
  TSurface* S = D->Surface();
  QPainter* P = S ? S->Painter() : nullptr;
  if (!P) return nullptr;
  if (Pixels) *Pixels = S->DrawingPixels();
  const void* Owner = HandleOf(D);
  if (S->PainterStateOwner == Owner && S->PainterStateVersion == D->Version()) return P;
  P->resetTransform();
  P->setRenderHint(QPainter::Antialiasing, false);
  P->setCompositionMode(QPainter::CompositionMode_SourceOver);
  P->setOpacity(1);
  const TSurfaceClip& Clip = D->SurfaceClip();
  if (Clip.IsRect && Clip.Bounds == QRect(0, 0, S->Width(), S->Height())) {
    P->setClipping(false);
  } else {
    P->setClipRegion(Clip.Region);
  }
  S->PainterStateOwner = Owner;
  S->PainterStateVersion = D->Version();
  return P;
}

bool GetDCDeviceInfo(HDC DC, TDCDeviceInfo& Info) {
  TDC* D = FindDC(DC);
  if (!D) return false;
  TSurface* S = D->Surface();
  Info = TDCDeviceInfo();
  Info.Width = D->DeviceWidth();
  Info.Height = D->DeviceHeight();
  Info.DpiX = S ? S->DpiX() : 0;
  Info.DpiY = S ? S->DpiY() : 0;
  Info.IsScreen = D->DCKind == TDC::TDCKind::Screen;
  Info.IsMemory = D->DCKind == TDC::TDCKind::Memory;
  Info.IsPrinter = S && S->Kind() == TSurface::TKind::Printer;
  Info.IsMetafile = S && S->Kind() == TSurface::TKind::Metafile;
  return true;
}

}  // namespace gdi

// ---------------------------------------------------------------------------
// surfaces and their DCs

using namespace gdi;
using namespace gdi::detail;

HDC CreateSurfaceDC(std::shared_ptr<TSurface> Surface, const TSurfaceDCOptions& Options) {
  if (!Surface) return nullptr;
  const auto Kind = Options.Window ? TDC::TDCKind::Window : TDC::TDCKind::Surface;
  return static_cast<HDC>(AddObject(std::make_unique<TDC>(Kind, std::move(Surface), Options)));
}

std::shared_ptr<TSurface> DCSurface(HDC DC) {
  TDC* D = FindDC(DC);
  return D ? D->SurfacePtr() : nullptr;
}

HBITMAP CreateSurfaceBitmap(std::shared_ptr<TSurface> Surface) {
  if (!Surface) return nullptr;
  auto B = std::make_unique<TBitmapObject>();
  B->Surface = std::move(Surface);
  return static_cast<HBITMAP>(AddObject(std::move(B)));
}

std::shared_ptr<TSurface> BitmapSurface(HBITMAP Bitmap) {
  auto* B = Find<TBitmapObject>(Bitmap, TObjectKind::Bitmap);
  return B ? B->Surface : nullptr;
}

void SetWindowDCProvider(TWindowDCProvider Provider) { windowDCProvider() = std::move(Provider); }
