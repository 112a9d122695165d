#include "platform/ui/graphics/pngimage.h"

#include "platform/rtl/streams.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <algorithm>

namespace {

const char PngSignature[] = "\x89PNG\r\n\x1A\n";
const char Gif87Signature[] = "GIF87a";
const char Gif89Signature[] = "GIF89a";
const char IconSignature[] = "\0\0\1\0";

// Every stored pixel needs 32 bits once decoded.
constexpr int DecodedBits = 32;

// Decodes Data with Qt's reader for Format; refuses what the reader cannot
// read and images over the limits, before reading when the reader knows the
// size from the header.  The icon reader does not (its directory sizes are
// single bytes); Qt's own allocation limit, 256 MB unless the program changes
// it, bounds the image inside.
QImage decode(const QByteArray& Data, const char* Format, const char* InvalidMessage) {
  QBuffer Buffer;
  Buffer.setData(Data);
  Buffer.open(QIODevice::ReadOnly);
  QImageReader Reader(&Buffer, Format);
  if (!Reader.canRead()) throw EInvalidGraphic(QString::fromLatin1(InvalidMessage));
  const QSize Size = Reader.size();
  if (Size.isValid()) CheckGraphicSize(Size.width(), Size.height(), DecodedBits);
  QImage Image;
  if (!Reader.read(&Image) || Image.isNull()) throw EInvalidGraphic(QString::fromLatin1(InvalidMessage));
  CheckGraphicSize(Image.width(), Image.height(), DecodedBits);
  return Image.convertToFormat(Image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

}  // namespace

// ---------------------------------------------------------------------------
// TReaderGraphic

TReaderGraphic::~TReaderGraphic() { freeBitmap(); }

void TReaderGraphic::Assign(TPersistent* Source) {
  if (Source && Source->ClassType() != ClassType()) {
    TGraphic::Assign(Source);
    return;
  }
  auto* G = static_cast<TReaderGraphic*>(Source);
  if (G == this) return;
  freeBitmap();
  FData = G ? G->FData : QByteArray();
  if (G && G->FBitmap) {
    FBitmap = new TBitmap;
    FBitmap->Assign(G->FBitmap);
  }
  Changed(this);
}

bool TReaderGraphic::Empty() const { return !FBitmap; }

Integer TReaderGraphic::Width() const { return FBitmap ? FBitmap->Width() : 0; }

void TReaderGraphic::SetWidth(Integer) { throw EInvalidGraphicOperation(QString::fromLatin1(FFormat.ResizeMessage)); }

Integer TReaderGraphic::Height() const { return FBitmap ? FBitmap->Height() : 0; }

void TReaderGraphic::SetHeight(Integer) { throw EInvalidGraphicOperation(QString::fromLatin1(FFormat.ResizeMessage)); }

void TReaderGraphic::LoadFromStream(TStream* Stream) {
  const Int64 Count = std::max<Int64>(Stream->Size() - Stream->Position(), 0);
  QByteArray Data(qsizetype(Count), Qt::Uninitialized);
  Stream->ReadBuffer(Data.data(), Count);
  QImage Image;
  if (!Data.isEmpty()) Image = decode(Data, FFormat.ReaderFormat, FFormat.InvalidMessage);
  freeBitmap();
  FData = Data;
  if (!Image.isNull()) {
    FBitmap = new TBitmap;
    FBitmap->SetImage(Image);
  }
  Changed(this);
}

void TReaderGraphic::SaveToStream(TStream* Stream) { Stream->WriteBuffer(FData.constData(), FData.size()); }

void TReaderGraphic::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (FBitmap) ACanvas->StretchDraw(Rect, FBitmap);
}

void TReaderGraphic::AssignTo(TPersistent* Dest) {
  if (auto* B = dynamic_cast<TBitmap*>(Dest))
    B->Assign(FBitmap);
  else
    TGraphic::AssignTo(Dest);
}

void TReaderGraphic::freeBitmap() {
  if (FBitmap) FBitmap->Free();
  FBitmap = nullptr;
}

// ---------------------------------------------------------------------------
// formats

namespace {

const TReaderGraphic::TFormat PngFormat{"png", "PNG image is not valid", "Cannot change the size of a PNG image"};
const TReaderGraphic::TFormat GifFormat{"gif", "GIF image is not valid", "Cannot change the size of a GIF image"};
const TReaderGraphic::TFormat IconFormat{"ico", "Icon image is not valid", "Cannot change the size of an icon"};

}  // namespace

TPngImage::TPngImage() : TReaderGraphic(PngFormat) {}

bool TPngImage::CanLoadFromStream(TStream* Stream) {
  return StreamHasSignature(Stream, 0, PngSignature, sizeof(PngSignature) - 1);
}

TGIFImage::TGIFImage() : TReaderGraphic(GifFormat) {}

bool TGIFImage::CanLoadFromStream(TStream* Stream) {
  return StreamHasSignature(Stream, 0, Gif87Signature, sizeof(Gif87Signature) - 1) ||
         StreamHasSignature(Stream, 0, Gif89Signature, sizeof(Gif89Signature) - 1);
}

TIcon::TIcon() : TReaderGraphic(IconFormat) {}

bool TIcon::CanLoadFromStream(TStream* Stream) {
  return StreamHasSignature(Stream, 0, IconSignature, sizeof(IconSignature) - 1);
}

void TIcon::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (Pixels()) ACanvas->Draw(Rect.Left, Rect.Top, Pixels());
}
