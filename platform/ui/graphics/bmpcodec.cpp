#include "platform/ui/graphics/bmpcodec.h"

#include "platform/rtl/streams.h"
#include "platform/ui/graphics/picture.h"

#include <QtEndian>
#include <bit>
#include <cassert>
#include <cstring>

namespace {

constexpr int FileHeaderSize = 14;
constexpr Cardinal CoreHeaderSize = 12, InfoHeaderSize = 40, V4HeaderSize = 108, V5HeaderSize = 124;
constexpr Cardinal BI_RGB = 0, BI_BITFIELDS = 3;
constexpr int MaskCount = 4;  // red, green, blue, alpha

[[noreturn]] void invalidBitmap() { throw EInvalidGraphic(QStringLiteral("Bitmap image is not valid")); }

inline Cardinal u16At(const QByteArray& B, int Offset) {
  return qFromLittleEndian<quint16>(B.constData() + Offset);
}
inline Cardinal u32At(const QByteArray& B, int Offset) {
  return qFromLittleEndian<quint32>(B.constData() + Offset);
}
inline Integer i32At(const QByteArray& B, int Offset) { return qFromLittleEndian<qint32>(B.constData() + Offset); }

// Reads from the file's first byte on, every count checked against the bytes
// the stream has left before anything is allocated.
class TBmpReader {
public:
  explicit TBmpReader(TStream* Stream) : FStream(Stream), FStart(Stream->Position()), FEnd(Stream->Size()) {}

  Int64 Offset() { return FStream->Position() - FStart; }
  Int64 Left() { return FEnd - FStream->Position(); }
  QByteArray Read(Int64 Count) {
    if (Count < 0 || Count > Left()) invalidBitmap();
    QByteArray Bytes(qsizetype(Count), Qt::Uninitialized);
    FStream->ReadBuffer(Bytes.data(), Count);
    return Bytes;
  }
  void ReadInto(void* Buffer, Int64 Count) {
    if (Count < 0 || Count > Left()) invalidBitmap();
    FStream->ReadBuffer(Buffer, Count);
  }
  // Forward only: the rows never overlap what was read.
  void SkipTo(Int64 FileOffset) {
    if (FileOffset < Offset() || FStart + FileOffset > FEnd) invalidBitmap();
    FStream->SetPosition(FStart + FileOffset);
  }

private:
  TStream* FStream;
  Int64 FStart;
  Int64 FEnd;
};

struct THeader {
  Int64 Width = 0;
  Int64 Height = 0;  // rows
  bool TopDown = false;
  int BitCount = 0;
  Cardinal Compression = BI_RGB;
  Cardinal Masks[MaskCount] = {};
  Int64 PaletteSize = 0;
  int PaletteEntrySize = 4;
  Integer XPelsPerMeter = 0;
  Integer YPelsPerMeter = 0;
};

THeader readHeader(TBmpReader& Reader, Cardinal& PixelOffset) {
  const QByteArray File = Reader.Read(FileHeaderSize);
  if (File[0] != 'B' || File[1] != 'M') invalidBitmap();
  PixelOffset = u32At(File, 10);
  const Cardinal InfoSize = u32At(Reader.Read(4), 0);
  if (InfoSize != CoreHeaderSize && InfoSize != InfoHeaderSize && InfoSize != V4HeaderSize &&
      InfoSize != V5HeaderSize)
    invalidBitmap();
  const QByteArray Info = Reader.Read(InfoSize - 4);  // from the width on
  THeader H;
  Cardinal Planes, ColorsUsed = 0;
  if (InfoSize == CoreHeaderSize) {
    H.Width = u16At(Info, 0);
    H.Height = u16At(Info, 2);
    Planes = u16At(Info, 4);
    H.BitCount = int(u16At(Info, 6));
    H.PaletteEntrySize = 3;
    if (H.BitCount == 16 || H.BitCount == 32) invalidBitmap();
  } else {
    H.Width = i32At(Info, 0);
    const Int64 Height = i32At(Info, 4);
    H.TopDown = Height < 0;
    H.Height = H.TopDown ? -Height : Height;
    Planes = u16At(Info, 8);
    H.BitCount = int(u16At(Info, 10));
    H.Compression = u32At(Info, 12);
    H.XPelsPerMeter = i32At(Info, 20);
    H.YPelsPerMeter = i32At(Info, 24);
    ColorsUsed = u32At(Info, 28);
    if (H.Compression == BI_BITFIELDS) {
      const QByteArray MaskBytes = InfoSize == InfoHeaderSize ? Reader.Read(3 * 4) : Info.mid(36, MaskCount * 4);
      for (int I = 0; I < MaskBytes.size() / 4; ++I) H.Masks[I] = u32At(MaskBytes, I * 4);
    }
  }
  if (Planes != 1 || H.Width <= 0 || H.Height <= 0) invalidBitmap();
  switch (H.BitCount) {
    case 1:
    case 4:
    case 8:
      H.PaletteSize = ColorsUsed ? Int64(ColorsUsed) : Int64(1) << H.BitCount;
      if (H.PaletteSize > (Int64(1) << H.BitCount)) invalidBitmap();
      [[fallthrough]];
    case 24:
      if (H.Compression != BI_RGB) invalidBitmap();
      break;
    case 16:
    case 32:
      if (H.Compression != BI_RGB && H.Compression != BI_BITFIELDS) invalidBitmap();
      break;
    default:
      invalidBitmap();
  }
  return H;
}

QList<QRgb> readPalette(TBmpReader& Reader, const THeader& H) {
  const QByteArray Bytes = Reader.Read(H.PaletteSize * H.PaletteEntrySize);
  // Every index a row can hold gets a colour, so no pixel reads past the table.
  QList<QRgb> Table(qsizetype(1) << H.BitCount, qRgb(0, 0, 0));
  for (Int64 I = 0; I < H.PaletteSize; ++I) {
    const uchar* E = reinterpret_cast<const uchar*>(Bytes.constData()) + I * H.PaletteEntrySize;
    Table[I] = qRgb(E[2], E[1], E[0]);
  }
  return Table;
}

// One colour channel of a BI_BITFIELDS mask, scaled to 8 bits.
struct TChannel {
  Cardinal Mask = 0;
  int Shift = 0;
  int Bits = 0;

  static TChannel Of(Cardinal Mask) {
    TChannel C;
    if (!Mask) return C;
    C.Mask = Mask;
    C.Shift = std::countr_zero(Mask);
    C.Bits = std::popcount(Mask);
    // the mask must be one run of bits
    if (((Mask >> C.Shift) & ((Mask >> C.Shift) + 1)) != 0) invalidBitmap();
    return C;
  }
  int Value(Cardinal Pixel) const {
    if (!Bits) return 0;
    const Cardinal Raw = (Pixel & Mask) >> Shift;
    return Bits >= 8 ? int(Raw >> (Bits - 8)) : int(Raw * 255 / ((Cardinal(1) << Bits) - 1));
  }
};

enum class TRowKind { Copy, Nibbles, Pixels555, Masked16, Masked32 };

// How the file's pixels become the image's, and the image format.
TRowKind rowKind(const THeader& H, QImage::Format& Format) {
  const Cardinal* M = H.Masks;
  const bool Bitfields = H.Compression == BI_BITFIELDS;
  switch (H.BitCount) {
    case 1: Format = QImage::Format_Mono; return TRowKind::Copy;
    case 4: Format = QImage::Format_Indexed8; return TRowKind::Nibbles;
    case 8: Format = QImage::Format_Indexed8; return TRowKind::Copy;
    case 24: Format = QImage::Format_BGR888; return TRowKind::Copy;
    case 16:
      if (!Bitfields || (M[0] == 0x7C00 && M[1] == 0x03E0 && M[2] == 0x001F)) {
        Format = QImage::Format_RGB555;
        return TRowKind::Pixels555;
      }
      if (M[0] == 0xF800 && M[1] == 0x07E0 && M[2] == 0x001F) {
        Format = QImage::Format_RGB16;
        return TRowKind::Copy;
      }
      if ((M[0] | M[1] | M[2] | M[3]) > 0xFFFF) invalidBitmap();
      Format = QImage::Format_BGR888;
      return TRowKind::Masked16;
    default: {  // 32
      const bool Standard = !Bitfields || (M[0] == 0x00FF0000 && M[1] == 0x0000FF00 && M[2] == 0x000000FF &&
                                           (M[3] == 0 || M[3] == 0xFF000000));
      Format = Bitfields && M[3] ? QImage::Format_ARGB32 : QImage::Format_RGB32;
      return Standard ? TRowKind::Copy : TRowKind::Masked32;
    }
  }
}

int storageBits(QImage::Format Format) {
  switch (Format) {
    case QImage::Format_Mono: return 1;
    case QImage::Format_Indexed8: return 8;
    case QImage::Format_RGB555:
    case QImage::Format_RGB16: return 16;
    case QImage::Format_BGR888: return 24;
    default: return 32;
  }
}

void convertRow(TRowKind Kind, const uchar* Source, uchar* Dest, int Width, int BitCount, const TChannel* Channels) {
  switch (Kind) {
    case TRowKind::Copy:
      std::memcpy(Dest, Source, size_t((Int64(Width) * BitCount + 7) / 8));
      break;
    case TRowKind::Nibbles:
      for (int X = 0; X < Width; ++X) Dest[X] = X & 1 ? Source[X / 2] & 0x0F : Source[X / 2] >> 4;
      break;
    case TRowKind::Pixels555:
      // the top bit is unused in the file and must be clear in the image
      for (int X = 0; X < Width; ++X)
        qToLittleEndian<quint16>(quint16(qFromLittleEndian<quint16>(Source + 2 * X) & 0x7FFF), Dest + 2 * X);
      break;
    case TRowKind::Masked16:
      for (int X = 0; X < Width; ++X) {
        const Cardinal P = qFromLittleEndian<quint16>(Source + 2 * X);
        Dest[3 * X] = uchar(Channels[2].Value(P));
        Dest[3 * X + 1] = uchar(Channels[1].Value(P));
        Dest[3 * X + 2] = uchar(Channels[0].Value(P));
      }
      break;
    case TRowKind::Masked32: {
      auto* Row = reinterpret_cast<QRgb*>(Dest);
      for (int X = 0; X < Width; ++X) {
        const Cardinal P = qFromLittleEndian<quint32>(Source + 4 * X);
        const int Alpha = Channels[3].Bits ? Channels[3].Value(P) : 255;
        Row[X] = qRgba(Channels[0].Value(P), Channels[1].Value(P), Channels[2].Value(P), Alpha);
      }
      break;
    }
  }
}

}  // namespace

TBmpImage ReadBmp(TStream* Stream) {
  TBmpReader Reader(Stream);
  Cardinal PixelOffset = 0;
  const THeader H = readHeader(Reader, PixelOffset);
  QImage::Format Format;
  const TRowKind Kind = rowKind(H, Format);
  CheckGraphicSize(H.Width, H.Height, storageBits(Format));
  const QList<QRgb> Palette = H.PaletteSize ? readPalette(Reader, H) : QList<QRgb>();
  TChannel Channels[MaskCount];
  for (int I = 0; I < MaskCount; ++I) Channels[I] = TChannel::Of(H.Masks[I]);

  Reader.SkipTo(PixelOffset);
  const Int64 Stride = ((H.Width * H.BitCount + 31) / 32) * 4;
  if (Stride * H.Height > Reader.Left()) invalidBitmap();

  TBmpImage Result;
  Result.BitCount = H.BitCount;
  Result.XPelsPerMeter = H.XPelsPerMeter;
  Result.YPelsPerMeter = H.YPelsPerMeter;
  QImage& Image = Result.Image;
  Image = QImage(int(H.Width), int(H.Height), Format);
  if (Image.isNull()) throw EOutOfResources(QStringLiteral("Out of system resources"));
  if (!Palette.isEmpty()) Image.setColorTable(Palette);
  QByteArray Row(qsizetype(Stride), Qt::Uninitialized);
  for (Int64 I = 0; I < H.Height; ++I) {
    Reader.ReadInto(Row.data(), Stride);
    const int Y = int(H.TopDown ? I : H.Height - 1 - I);
    convertRow(Kind, reinterpret_cast<const uchar*>(Row.constData()), Image.scanLine(Y), int(H.Width), H.BitCount,
               Channels);
  }
  return Result;
}

void WriteBmp(TStream* Stream, const QImage& Image, Integer XPelsPerMeter, Integer YPelsPerMeter) {
  assert(!Image.isNull() && "an empty bitmap writes no file");
  const bool Bits32 = Image.depth() == 32;
  const QImage Rows = Bits32 || Image.format() == QImage::Format_BGR888 ? Image
                                                                        : Image.convertToFormat(QImage::Format_BGR888);
  const int BitCount = Bits32 ? 32 : 24;
  const int Width = Rows.width(), Height = Rows.height();
  const int RowBytes = Width * BitCount / 8;
  const int Stride = ((Width * BitCount + 31) / 32) * 4;
  const Cardinal HeadersSize = FileHeaderSize + InfoHeaderSize;
  const Cardinal ImageSize = Cardinal(Stride) * Cardinal(Height);

  QByteArray Headers(int(HeadersSize), '\0');
  char* H = Headers.data();
  H[0] = 'B';
  H[1] = 'M';
  qToLittleEndian<quint32>(HeadersSize + ImageSize, H + 2);
  qToLittleEndian<quint32>(HeadersSize, H + 10);
  qToLittleEndian<quint32>(InfoHeaderSize, H + 14);
  qToLittleEndian<qint32>(Width, H + 18);
  qToLittleEndian<qint32>(Height, H + 22);  // positive: bottom-up
  qToLittleEndian<quint16>(1, H + 26);
  qToLittleEndian<quint16>(quint16(BitCount), H + 28);
  qToLittleEndian<quint32>(BI_RGB, H + 30);
  qToLittleEndian<quint32>(ImageSize, H + 34);
  qToLittleEndian<qint32>(XPelsPerMeter, H + 38);
  qToLittleEndian<qint32>(YPelsPerMeter, H + 42);
  Stream->WriteBuffer(Headers.constData(), Headers.size());

  QByteArray Row(Stride, '\0');  // the padding stays zero
  for (int Y = Height - 1; Y >= 0; --Y) {
    std::memcpy(Row.data(), Rows.constScanLine(Y), size_t(RowBytes));
    Stream->WriteBuffer(Row.constData(), Stride);
  }
}

QByteArray BmpFileFromDib(const QByteArray& Dib) {
  if (Dib.size() < 4) invalidBitmap();
  const Cardinal HeaderSize = u32At(Dib, 0);
  if (HeaderSize != CoreHeaderSize && HeaderSize < InfoHeaderSize) invalidBitmap();
  if (Dib.size() < qsizetype(HeaderSize)) invalidBitmap();
  const bool Core = HeaderSize == CoreHeaderSize;
  // Offsets inside the info header (the file offsets above less 14).
  const Cardinal BitCount = u16At(Dib, Core ? 10 : 14);
  const Cardinal Compression = Core ? BI_RGB : u32At(Dib, 16);
  const Cardinal ColoursUsed = Core ? 0 : u32At(Dib, 32);
  Int64 Extra = 0;
  if (HeaderSize == InfoHeaderSize && Compression == BI_BITFIELDS) Extra += 3 * 4;
  if (BitCount <= 8) Extra += Int64(ColoursUsed ? ColoursUsed : 1u << BitCount) * (Core ? 3 : 4);
  const Int64 PixelOffset = FileHeaderSize + Int64(HeaderSize) + Extra;
  if (PixelOffset > FileHeaderSize + Int64(Dib.size())) invalidBitmap();

  QByteArray File(FileHeaderSize, '\0');
  File[0] = 'B';
  File[1] = 'M';
  qToLittleEndian<quint32>(quint32(FileHeaderSize + Dib.size()), File.data() + 2);
  qToLittleEndian<quint32>(quint32(PixelOffset), File.data() + 10);
  return File + Dib;
}
