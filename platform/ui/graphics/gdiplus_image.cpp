// Image, Bitmap and the image calls of Graphics.
#include "platform/ui/graphics/gdiplus.h"

#include "platform/rtl/streamadapter.h"
#include "platform/rtl/streams.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/gdiplus_p.h"
#include "platform/ui/graphics/picture.h"
#include "platform/ui/graphics/surface.h"

#include <QImage>
#include <algorithm>
#include <utility>

namespace gdiplus {

// ---------------------------------------------------------------------------
// Image

Image::Image() : FImage(std::make_unique<QImage>()) {}

Image::~Image() = default;

Status Image::GetLastStatus() const { return std::exchange(FLastStatus, Ok); }

Status Image::setStatus(Status S) const {
  if (S != Ok) FLastStatus = S;
  return S;
}

UINT Image::GetWidth() const { return UINT(FImage->width()); }
UINT Image::GetHeight() const { return UINT(FImage->height()); }

// ---------------------------------------------------------------------------
// Bitmap

Bitmap::Bitmap(HBITMAP hbm, HPALETTE /*hpal*/) {
  FFormat = PixelFormat32bppRGB;
  const std::shared_ptr<TSurface> Surface = BitmapSurface(hbm);
  if (!Surface || !Surface->HasPixels()) {
    setStatus(InvalidParameter);
    return;
  }
  // A copy of its own: later drawing on the bitmap does not show here.
  const QImage& Source = Surface->Image();
  *FImage = Source.format() == QImage::Format_RGB32 ? Source.copy() : Source.convertToFormat(QImage::Format_RGB32);
}

namespace {

// The bytes from the stream's position to its end.
bool readAll(IStream* Stream, TMemoryStream& Bytes) {
  constexpr Cardinal ChunkSize = 64 * 1024;
  char Chunk[ChunkSize];
  for (;;) {
    Cardinal Count = 0;
    if (Stream->Read(Chunk, ChunkSize, &Count) < 0) return false;
    Bytes.WriteBuffer(Chunk, Count);
    if (Count < ChunkSize) return true;
  }
}

}  // namespace

Bitmap::Bitmap(IStream* stream, BOOL /*useEmbeddedColorManagement*/) {
  if (!stream) {
    setStatus(InvalidParameter);
    return;
  }
  TMemoryStream Bytes;
  if (!readAll(stream, Bytes)) {
    setStatus(Win32Error);
    return;
  }
  Bytes.SetPosition(0);
  TPicture Picture;
  TBitmap Pixels;
  try {
    Picture.LoadFromStream(&Bytes);
    Pixels.Assign(Picture.Graphic());
  } catch (const Exception&) {
    // the registry knows no such format, or the bytes are damaged
    setStatus(UnknownImageFormat);
    return;
  }
  *FImage = Pixels.Image().convertToFormat(QImage::Format_ARGB32);
  if (FImage->isNull()) setStatus(UnknownImageFormat);
}

Bitmap::Bitmap(INT width, INT height, PixelFormat format) {
  if (width <= 0 || height <= 0) {
    setStatus(InvalidParameter);
    return;
  }
  if (format != PixelFormat32bppARGB) {
    setStatus(NotImplemented);
    return;
  }
  *FImage = QImage(width, height, QImage::Format_ARGB32);
  if (FImage->isNull()) {
    setStatus(OutOfMemory);
    return;
  }
  FImage->fill(Qt::transparent);
}

Status Bitmap::GetPixel(INT x, INT y, Color* color) const {
  if (!color || !FImage->valid(x, y)) return setStatus(InvalidParameter);
  *color = Color(FImage->pixel(x, y));
  return Ok;
}

Status Bitmap::SetPixel(INT x, INT y, const Color& color) {
  if (!FImage->valid(x, y)) return setStatus(InvalidParameter);
  FImage->setPixel(x, y, color.GetValue());
  return Ok;
}

// ---------------------------------------------------------------------------
// ImageAttributes

namespace {

constexpr int AlphaRow = 3;

bool identityBut(const ColorMatrix& M, int Row, int Column) {
  for (int I = 0; I < 5; ++I)
    for (int J = 0; J < 5; ++J)
      if ((I != Row || J != Column) && M.m[I][J] != (I == J ? 1 : 0)) return false;
  return true;
}

}  // namespace

Status ImageAttributes::SetColorMatrix(const ColorMatrix* colorMatrix, ColorMatrixFlags mode,
                                       ColorAdjustType /*type*/) {
  if (!colorMatrix) return InvalidParameter;
  if (mode != ColorMatrixFlagsDefault || !identityBut(*colorMatrix, AlphaRow, AlphaRow)) return NotImplemented;
  FAlphaScale = colorMatrix->m[AlphaRow][AlphaRow];
  return Ok;
}

Status ImageAttributes::ClearColorMatrix(ColorAdjustType /*type*/) {
  FAlphaScale = 1;
  return Ok;
}

QImage ImageAttributes::Apply(const QImage& Image) const {
  if (FAlphaScale == 1) return Image;
  QImage Result(Image.size(), QImage::Format_ARGB32_Premultiplied);
  Result.fill(Qt::transparent);
  QPainter Painter(&Result);
  Painter.setOpacity(std::clamp<qreal>(FAlphaScale, 0, 1));
  Painter.drawImage(0, 0, Image);
  return Result;
}

// ---------------------------------------------------------------------------
// DrawImage

Status Graphics::DrawImage(const Image* image, const RectF& destRect, REAL srcx, REAL srcy, REAL srcwidth,
                           REAL srcheight, Unit srcUnit, const ImageAttributes* imageAttributes) {
  if (!FValid || !image) return setStatus(InvalidParameter);
  if (srcUnit != UnitPixel) return setStatus(NotImplemented);
  if (recording()) {
    record(QStringLiteral("DrawImage(%1) src=(%2)")
               .arg(RecordArgs({destRect.X, destRect.Y, destRect.Width, destRect.Height}),
                    RecordArgs({srcx, srcy, srcwidth, srcheight})));
  }
  TGraphicsPaint Paint(*this, TGraphicsPaint::TKind::Image);
  if (!Paint) return Ok;
  if (imageAttributes) Paint->setOpacity(std::clamp<qreal>(imageAttributes->AlphaScale(), 0, 1));
  Paint->drawImage(QtRect(destRect), image->QtImage(), QRectF(srcx, srcy, srcwidth, srcheight));
  return Ok;
}

Status Graphics::DrawImage(const Image* image, const Rect& destRect, INT srcx, INT srcy, INT srcwidth,
                           INT srcheight, Unit srcUnit, const ImageAttributes* imageAttributes) {
  return DrawImage(image, RectF(destRect), REAL(srcx), REAL(srcy), REAL(srcwidth), REAL(srcheight), srcUnit,
                   imageAttributes);
}

Status Graphics::DrawImage(const Image* image, REAL x, REAL y, REAL width, REAL height) {
  if (!image) return setStatus(InvalidParameter);
  return DrawImage(image, RectF(x, y, width, height), 0, 0, REAL(image->GetWidth()), REAL(image->GetHeight()),
                   UnitPixel);
}

Status Graphics::DrawImage(const Image* image, INT x, INT y, INT width, INT height) {
  return DrawImage(image, REAL(x), REAL(y), REAL(width), REAL(height));
}

Status Graphics::DrawImage(const Image* image, const RectF& rect) {
  return DrawImage(image, rect.X, rect.Y, rect.Width, rect.Height);
}

Status Graphics::DrawImage(const Image* image, const Rect& rect) {
  return DrawImage(image, rect.X, rect.Y, rect.Width, rect.Height);
}

Status Graphics::DrawImage(const Image* image, REAL x, REAL y) {
  if (!image) return setStatus(InvalidParameter);
  return DrawImage(image, x, y, REAL(image->GetWidth()), REAL(image->GetHeight()));
}

Status Graphics::DrawImage(const Image* image, INT x, INT y) { return DrawImage(image, REAL(x), REAL(y)); }

}  // namespace gdiplus
