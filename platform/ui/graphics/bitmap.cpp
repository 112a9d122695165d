#include "platform/ui/graphics/bitmap.h"

#include "platform/rtl/resources.h"
#include "platform/rtl/streams.h"
#include "platform/ui/graphics/bmpcodec.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/surface.h"

#include <QImage>
#include <algorithm>
#include <cassert>
#include <cstring>
#include <limits>
#include <optional>
#include <unordered_map>

using namespace gdi;

// The canvas of a bitmap: a memory DC with the bitmap's handle selected.
class TBitmapCanvas : public TCanvas {
  RTL_CLASS(TBitmapCanvas, TCanvas)
public:
  TBitmapCanvas() = default;
  explicit TBitmapCanvas(TBitmap* Bitmap) : FBitmap(Bitmap) {}
  ~TBitmapCanvas() override { FreeContext(); }

  // Deletes the DC (which lets go of the bitmap's handle).
  void FreeContext() {
    if (!HandleAllocated()) return;
    HDC DC = Handle();
    SetHandle(nullptr);
    DeleteDC(DC);
  }

protected:
  void CreateHandle() override {
    assert(FBitmap && "a bitmap canvas draws on its bitmap");
    HDC DC = CreateCompatibleDC(nullptr);
    SelectObject(DC, FBitmap->Handle());
    SetHandle(DC);
  }

private:
  TBitmap* FBitmap = nullptr;
};

namespace {

constexpr QRgb ColorBits = 0x00FFFFFF;

QImage::Format storageFormat(TPixelFormat Pixel, TAlphaFormat Alpha) {
  switch (Pixel) {
    case pf1bit: return QImage::Format_Mono;
    case pf4bit:
    case pf8bit: return QImage::Format_Indexed8;
    case pf15bit: return QImage::Format_RGB555;
    case pf16bit: return QImage::Format_RGB16;
    case pf24bit: return QImage::Format_BGR888;
    case pf32bit:
      if (Alpha == afDefined) return QImage::Format_ARGB32;
      if (Alpha == afPremultiplied) return QImage::Format_ARGB32_Premultiplied;
      return QImage::Format_RGB32;
    default: return QImage::Format_RGB32;
  }
}

int storageDepth(TPixelFormat Pixel) {
  switch (Pixel) {
    case pf1bit: return 1;
    case pf4bit:
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf24bit: return 24;
    default: return 32;
  }
}

// The 16 VGA colours.
QList<QRgb> vgaPalette() {
  return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
          qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
          qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
          qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

// A 6 x 6 x 6 colour cube (levels 0, 51 ... 255; blue varies fastest), then
// 40 greys evenly between black and white that the cube lacks.
QList<QRgb> cubePalette() {
  constexpr int Levels = 6, Step = 51, Greys = 40;
  QList<QRgb> Table;
  for (int R = 0; R < Levels; ++R)
    for (int G = 0; G < Levels; ++G)
      for (int B = 0; B < Levels; ++B) Table << qRgb(R * Step, G * Step, B * Step);
  for (int I = 1; I <= Greys; ++I) {
    const int V = (I * 255 + (Greys + 1) / 2) / (Greys + 1);
    Table << qRgb(V, V, V);
  }
  return Table;
}

QList<QRgb> monoPalette() { return {qRgb(0, 0, 0), qRgb(255, 255, 255)}; }

QList<QRgb> defaultPalette(TPixelFormat Pixel) {
  switch (Pixel) {
    case pf1bit: return monoPalette();
    case pf4bit: return vgaPalette();
    case pf8bit: return cubePalette();
    default: return {};
  }
}

// Changes between 32-bit formats: the bytes stay, except that becoming or
// leaving premultiplied alpha multiplies or divides the colours.
QImage as32BitFormat(QImage Image, QImage::Format To) {
  const QImage::Format Premultiplied = QImage::Format_ARGB32_Premultiplied;
  if (Image.format() == To) return Image;
  if (Image.format() == Premultiplied) Image = Image.convertToFormat(QImage::Format_ARGB32);
  if (To == Premultiplied) {
    Image.reinterpretAsFormat(QImage::Format_ARGB32);
    return Image.convertToFormat(Premultiplied);
  }
  Image.reinterpretAsFormat(To);
  return Image;
}

// Every pixel as RGB32; 32-bit images keep their stored bytes.
QImage toRgb32(const QImage& Image) {
  if (Image.depth() != 32) return Image.convertToFormat(QImage::Format_RGB32);
  QImage Result = Image;
  Result.reinterpretAsFormat(QImage::Format_RGB32);
  return Result;
}

// Nearest table entries by squared distance, cached per colour: images have
// few distinct colours.
class TNearestEntry {
public:
  explicit TNearestEntry(const QList<QRgb>& Table) : FTable(Table) {}
  uint operator()(QRgb Color) {
    auto [It, Added] = FCache.try_emplace(Color & ColorBits, 0u);
    if (Added) It->second = search(Color);
    return It->second;
  }

private:
  uint search(QRgb Color) const {
    uint Best = 0;
    int BestDistance = std::numeric_limits<int>::max();
    for (qsizetype I = 0; I < FTable.size(); ++I) {
      const int DR = qRed(FTable[I]) - qRed(Color), DG = qGreen(FTable[I]) - qGreen(Color),
                DB = qBlue(FTable[I]) - qBlue(Color);
      const int Distance = DR * DR + DG * DG + DB * DB;
      if (Distance < BestDistance) {
        Best = uint(I);
        BestDistance = Distance;
      }
    }
    return Best;
  }

  const QList<QRgb>& FTable;
  std::unordered_map<QRgb, uint> FCache;
};

// Image in the storage of Pixel/Alpha, colours kept (see SetPixelFormat).
QImage convertImage(const QImage& Image, TPixelFormat Pixel, TAlphaFormat Alpha) {
  const QImage Rgb = toRgb32(Image);
  const QImage::Format Format = storageFormat(Pixel, Alpha);
  switch (Pixel) {
    case pf1bit: {
      QImage Mono(Rgb.size(), QImage::Format_Mono);
      Mono.setColorTable(monoPalette());
      Mono.fill(0);
      for (int Y = 0; Y < Rgb.height(); ++Y) {
        const QRgb* Row = reinterpret_cast<const QRgb*>(Rgb.constScanLine(Y));
        for (int X = 0; X < Rgb.width(); ++X) Mono.setPixel(X, Y, (Row[X] & ColorBits) == ColorBits ? 1 : 0);
      }
      return Mono;
    }
    case pf4bit:
    case pf8bit: {
      const QList<QRgb> Table = defaultPalette(Pixel);
      QImage Indexed(Rgb.size(), Format);
      Indexed.setColorTable(Table);
      TNearestEntry Nearest(Table);
      for (int Y = 0; Y < Rgb.height(); ++Y) {
        const QRgb* Row = reinterpret_cast<const QRgb*>(Rgb.constScanLine(Y));
        uchar* Out = Indexed.scanLine(Y);
        for (int X = 0; X < Rgb.width(); ++X) Out[X] = uchar(Nearest(Row[X]));
      }
      return Indexed;
    }
    case pf15bit:
    case pf16bit:
    case pf24bit: return Rgb.convertToFormat(Format);
    default: return as32BitFormat(Rgb, Format);
  }
}

// The colour of a pixel; 32-bit images by their stored B, G, R bytes.
TColor pixelColor(const QImage& Image, int X, int Y) {
  const QRgb P = Image.depth() == 32 ? reinterpret_cast<const QRgb*>(Image.constScanLine(Y))[X] : Image.pixel(X, Y);
  return TColor(RGB(BYTE(qRed(P)), BYTE(qGreen(P)), BYTE(qBlue(P))));
}

QRgb colorToQRgb(TColor Color) {
  const COLORREF C = COLORREF(ColorToRGB(Color));
  return qRgb(GetRValue(C), GetGValue(C), GetBValue(C)) & ColorBits;
}

// The drawing form of a bitmap with alpha or a transparent colour:
// premultiplied, the transparent colour's pixels fully transparent.
QImage premultipliedForDrawing(const QImage& Image, bool Alpha, std::optional<QRgb> TransparentKey) {
  if (Alpha) return as32BitFormat(Image, QImage::Format_ARGB32_Premultiplied);
  QImage Result = toRgb32(Image).convertToFormat(QImage::Format_ARGB32_Premultiplied);
  for (int Y = 0; Y < Result.height(); ++Y) {
    QRgb* Row = reinterpret_cast<QRgb*>(Result.scanLine(Y));
    for (int X = 0; X < Result.width(); ++X) Row[X] = (Row[X] & ColorBits) == *TransparentKey ? 0 : Row[X] | 0xFF000000u;
  }
  return Result;
}

}  // namespace

TBitmap::TBitmap() : FSurface(std::make_shared<TSurface>(QImage())) {}

TBitmap::~TBitmap() {
  if (FCanvas) FCanvas->Free();
  if (FHandle) DeleteObject(FHandle);
}

bool TBitmap::CanLoadFromStream(TStream* Stream) { return StreamHasSignature(Stream, 0, "BM", 2); }

void TBitmap::Assign(TPersistent* Source) {
  auto* B = dynamic_cast<TBitmap*>(Source);
  if (Source && !B) {
    TGraphic::Assign(Source);
    return;
  }
  if (B == this) return;
  Changing(this);
  if (!B) {
    replaceImage(QImage());
  } else {
    replaceImage(B->Image());
    FPixelFormat = B->FPixelFormat;
    FAlphaFormat = B->FAlphaFormat;
    FTransparentColor = B->FTransparentColor;
    FTransparentMode = B->FTransparentMode;
    FXPelsPerMeter = B->FXPelsPerMeter;
    FYPelsPerMeter = B->FYPelsPerMeter;
    FIgnorePalette = B->FIgnorePalette;
    SetTransparent(B->Transparent());
  }
  Changed(this);
}

// ---------------------------------------------------------------------------
// size

bool TBitmap::Empty() const { return FSurface->Width() == 0 || FSurface->Height() == 0; }

Integer TBitmap::Width() const { return FSurface->Width(); }

void TBitmap::SetWidth(Integer Value) { SetSize(Value, Height()); }

Integer TBitmap::Height() const { return FSurface->Height(); }

void TBitmap::SetHeight(Integer Value) { SetSize(Width(), Value); }

void TBitmap::SetSize(Integer AWidth, Integer AHeight) {
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  if (AWidth == Width() && AHeight == Height()) return;
  CheckGraphicSize(AWidth, AHeight, storageDepth(FPixelFormat));
  Changing(this);
  if (AWidth == 0 || AHeight == 0) {
    replaceImage(QImage());
    Changed(this);
    return;
  }
  const QImage& Old = FSurface->Image();
  QImage New(AWidth, AHeight, storageFormat(FPixelFormat, FAlphaFormat));
  if (New.isNull()) throw EOutOfResources(QStringLiteral("Out of system resources"));
  std::memset(New.bits(), 0, size_t(New.sizeInBytes()));
  if (New.depth() <= 8) New.setColorTable(Old.isNull() ? defaultPalette(FPixelFormat) : Old.colorTable());
  const int Columns = std::min(Old.width(), AWidth), Rows = std::min(Old.height(), AHeight);
  const int WholeBytes = Columns * New.depth() / 8;
  for (int Y = 0; Y < Rows; ++Y) {
    std::memcpy(New.scanLine(Y), Old.constScanLine(Y), size_t(WholeBytes));
    for (int X = WholeBytes * 8 / New.depth(); X < Columns; ++X) New.setPixel(X, Y, uint(Old.pixelIndex(X, Y)));
  }
  replaceImage(std::move(New));
  Changed(this);
}

// ---------------------------------------------------------------------------
// BMP

void TBitmap::LoadFromResourceName(HMODULE Instance, const String& Name) {
  TResourceStream Resource(Instance, Name, RT_BITMAP);
  const QByteArray File =
      BmpFileFromDib(QByteArray(static_cast<const char*>(Resource.Memory()), qsizetype(Resource.Size())));
  TMemoryStream Stream;
  Stream.WriteBuffer(File.constData(), Integer(File.size()));
  Stream.SetPosition(0);
  LoadFromStream(&Stream);
}

void TBitmap::LoadFromStream(TStream* Stream) {
  TBmpImage Bmp;
  if (Stream->Position() < Stream->Size()) Bmp = ReadBmp(Stream);
  Changing(this);
  replaceImage(std::move(Bmp.Image));
  if (!Empty()) formatFromImage();
  if (Bmp.BitCount == 32) FPixelFormat = pf32bit;
  FXPelsPerMeter = Bmp.XPelsPerMeter;
  FYPelsPerMeter = Bmp.YPelsPerMeter;
  Changed(this);
}

void TBitmap::SaveToStream(TStream* Stream) {
  if (Empty()) return;
  WriteBmp(Stream, FSurface->Image(), FXPelsPerMeter, FYPelsPerMeter);
}

// ---------------------------------------------------------------------------
// pixels

void* TBitmap::ScanLine(Integer Row) {
  if (Row < 0 || Row >= Height()) throw EInvalidGraphic(QStringLiteral("Scan line index out of range"));
  return FSurface->Image().scanLine(Row);
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
  assert(Value != pfCustom && "pfCustom is not a format a bitmap can take");
  if (Value == FPixelFormat) return;
  Changing(this);
  if (!Empty()) replaceImage(convertImage(FSurface->Image(), Value, FAlphaFormat));
  FPixelFormat = Value;
  Changed(this);
}

void TBitmap::SetAlphaFormat(TAlphaFormat Value) {
  if (Value == FAlphaFormat) return;
  Changing(this);
  if (FPixelFormat == pf32bit && !Empty())
    replaceImage(as32BitFormat(FSurface->Image(), storageFormat(pf32bit, Value)));
  FAlphaFormat = Value;
  Changed(this);
}

void TBitmap::SetMonochrome(bool Value) {
  if (Value)
    SetPixelFormat(pf1bit);
  else if (Monochrome())
    SetPixelFormat(pfDevice);
}

void TBitmap::Mask(TColor Color) {
  Changing(this);
  if (!Empty()) {
    const QImage Rgb = toRgb32(FSurface->Image());
    const QRgb Key = colorToQRgb(Color);
    QImage Mono(Rgb.size(), QImage::Format_Mono);
    Mono.setColorTable(monoPalette());
    Mono.fill(0);
    for (int Y = 0; Y < Rgb.height(); ++Y) {
      const QRgb* Row = reinterpret_cast<const QRgb*>(Rgb.constScanLine(Y));
      for (int X = 0; X < Rgb.width(); ++X) Mono.setPixel(X, Y, (Row[X] & ColorBits) == Key ? 1 : 0);
    }
    replaceImage(std::move(Mono));
  }
  FPixelFormat = pf1bit;
  Changed(this);
}

const QImage& TBitmap::Image() { return FSurface->Image(); }

void TBitmap::SetImage(const QImage& Value) {
  Changing(this);
  replaceImage(Value);
  if (!Empty()) formatFromImage();
  Changed(this);
}

// ---------------------------------------------------------------------------
// transparency

TColor TBitmap::TransparentColor() {
  constexpr TColor PaletteRelative = 0x02000000;
  TColor Result;
  if (FTransparentColor != clDefault)
    Result = ColorToRGB(FTransparentColor);
  else if (Monochrome())
    Result = clWhite;
  else if (Empty())
    Result = clBlack;
  else
    Result = pixelColor(FSurface->Image(), 0, Height() - 1);
  return Result | PaletteRelative;
}

void TBitmap::SetTransparentColor(TColor Value) {
  if (Value == FTransparentColor) return;
  FTransparentColor = Value;
  FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
  Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
  if (Value == FTransparentMode) return;
  SetTransparentColor(Value == tmAuto ? clDefault : TransparentColor());
}

// ---------------------------------------------------------------------------
// handles

TCanvas* TBitmap::Canvas() {
  if (!FCanvas) {
    FCanvas = new TBitmapCanvas(this);
    FCanvas->OnChanging = TNotifyEvent(this, &TBitmap::Changing);
    FCanvas->OnChange = TNotifyEvent(this, &TBitmap::Changed);
  }
  return FCanvas;
}

HBITMAP TBitmap::Handle() {
  if (!FHandle) FHandle = CreateSurfaceBitmap(FSurface);
  return FHandle;
}

void TBitmap::SetHandle(HBITMAP Value) {
  if (Value == FHandle) return;
  std::shared_ptr<TSurface> Surface = Value ? BitmapSurface(Value) : nullptr;
  Changing(this);
  freeContext();
  if (FHandle) DeleteObject(FHandle);
  FHandle = Surface ? Value : nullptr;
  FSurface = Surface ? Surface : std::make_shared<TSurface>(QImage());
  if (!Empty()) formatFromImage();
  Changed(this);
}

HBITMAP TBitmap::ReleaseHandle() {
  HBITMAP Result = Handle();
  freeContext();
  FHandle = nullptr;
  FSurface = std::make_shared<TSurface>(FSurface->Image());
  return Result;
}

void TBitmap::Dormant() {
  freeContext();
  if (FHandle) DeleteObject(FHandle);
  FHandle = nullptr;
}

void TBitmap::FreeImage() { Dormant(); }

// ---------------------------------------------------------------------------
// drawing

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (Empty()) return;
  HDC Dest = ACanvas->Handle();
  const bool Alpha = FPixelFormat == pf32bit && FAlphaFormat != afIgnored;
  if (!Alpha && !Transparent()) {
    HDC Source = CreateSurfaceDC(FSurface);
    StretchBlt(Dest, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), Source, 0, 0, Width(), Height(),
               DWORD(ACanvas->CopyMode()));
    DeleteDC(Source);
    return;
  }
  // One blend covers both: transparent pixels have alpha 0, the rest 255,
  // so the opaque ones are copied exactly.
  const std::optional<QRgb> Key = Alpha ? std::nullopt : std::optional<QRgb>(colorToQRgb(TransparentColor()));
  auto Premultiplied = std::make_shared<TSurface>(premultipliedForDrawing(FSurface->Image(), Alpha, Key));
  HDC Source = CreateSurfaceDC(Premultiplied);
  AlphaBlend(Dest, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), Source, 0, 0, Width(), Height(),
             BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA});
  DeleteDC(Source);
}

void TBitmap::Changing(TObject*) {
  if (OnChanging) OnChanging(this);
}

// ---------------------------------------------------------------------------
// internals

void TBitmap::freeContext() {
  if (FCanvas) static_cast<TBitmapCanvas*>(FCanvas)->FreeContext();
}

void TBitmap::replaceImage(QImage Value) { FSurface->SetImage(std::move(Value)); }

// The pixel format of the surface's image; formats without one are converted.
void TBitmap::formatFromImage() {
  QImage& Image = FSurface->Image();
  FAlphaFormat = afIgnored;
  switch (Image.format()) {
    case QImage::Format_MonoLSB: Image = Image.convertToFormat(QImage::Format_Mono); [[fallthrough]];
    case QImage::Format_Mono: FPixelFormat = pf1bit; return;
    case QImage::Format_Indexed8: FPixelFormat = Image.colorCount() <= 16 ? pf4bit : pf8bit; return;
    case QImage::Format_RGB555: FPixelFormat = pf15bit; return;
    case QImage::Format_RGB16: FPixelFormat = pf16bit; return;
    case QImage::Format_BGR888: FPixelFormat = pf24bit; return;
    case QImage::Format_RGB32: FPixelFormat = pfDevice; return;
    case QImage::Format_ARGB32:
      FPixelFormat = pf32bit;
      FAlphaFormat = afDefined;
      return;
    case QImage::Format_ARGB32_Premultiplied:
      FPixelFormat = pf32bit;
      FAlphaFormat = afPremultiplied;
      return;
    default:
      if (Image.hasAlphaChannel()) {
        Image = Image.convertToFormat(QImage::Format_ARGB32);
        FPixelFormat = pf32bit;
        FAlphaFormat = afDefined;
      } else {
        Image = Image.convertToFormat(QImage::Format_RGB32);
        FPixelFormat = pfDevice;
      }
  }
}
