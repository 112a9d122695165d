#include "platform/ui/graphics/bmpcodec.h"

#include "platform/rtl/resources.h"
#include "platform/rtl/streams.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "tests/platform/ui/pixelhelpers.h"
#include "tests/support/testing.h"

#include <QtEndian>
#include <cstring>

namespace {

const char* const InvalidBitmap = "Bitmap image is not valid";
const char* const TooLarge = "Image is larger than 32768 pixels per side or 256 MB";

void putU16(QByteArray& B, int Value) {
  char Bytes[2];
  qToLittleEndian<quint16>(quint16(Value), Bytes);
  B.append(Bytes, 2);
}

void putU32(QByteArray& B, Cardinal Value) {
  char Bytes[4];
  qToLittleEndian<quint32>(Value, Bytes);
  B.append(Bytes, 4);
}

// A BMP file made field by field, so tests can lie in any of them.
struct TBmpSpec {
  Cardinal InfoSize = 40;
  Integer Width = 2;
  Integer Height = 2;  // negative: rows top-down
  int Planes = 1;
  int BitCount = 24;
  Cardinal Compression = 0;
  Cardinal ColorsUsed = 0;
  Integer XPelsPerMeter = 0;
  std::vector<Cardinal> Masks = {};  // after a 40-byte header, inside larger ones
  std::vector<QRgb> Palette = {};
  std::vector<QByteArray> Rows = {};  // in file order, unpadded
  Int64 PixelOffset = -1;        // -1: right after the palette
};

QByteArray bmpBytes(const TBmpSpec& S) {
  QByteArray Info;
  putU32(Info, S.InfoSize);
  if (S.InfoSize == 12) {
    putU16(Info, S.Width);
    putU16(Info, S.Height);
    putU16(Info, S.Planes);
    putU16(Info, S.BitCount);
  } else {
    putU32(Info, Cardinal(S.Width));
    putU32(Info, Cardinal(S.Height));
    putU16(Info, S.Planes);
    putU16(Info, S.BitCount);
    putU32(Info, S.Compression);
    putU32(Info, 0);
    putU32(Info, Cardinal(S.XPelsPerMeter));
    putU32(Info, Cardinal(S.XPelsPerMeter));
    putU32(Info, S.ColorsUsed);
    putU32(Info, 0);
    if (S.InfoSize > 40) {
      for (size_t I = 0; I < 4; ++I) putU32(Info, I < S.Masks.size() ? S.Masks[I] : 0);
      Info.append(QByteArray(int(S.InfoSize) - Info.size(), '\0'));
    } else {
      for (Cardinal M : S.Masks) putU32(Info, M);
    }
  }
  for (QRgb C : S.Palette) {
    Info.append(char(qBlue(C))).append(char(qGreen(C))).append(char(qRed(C)));
    if (S.InfoSize != 12) Info.append('\0');
  }
  QByteArray Pixels;
  const int Stride = (std::abs(S.Width) * S.BitCount + 31) / 32 * 4;
  for (const QByteArray& Row : S.Rows) Pixels.append(Row).append(QByteArray(Stride - Row.size(), '\0'));
  const Int64 Offset = S.PixelOffset >= 0 ? S.PixelOffset : 14 + Info.size();
  QByteArray File("BM");
  putU32(File, Cardinal(Offset + Pixels.size()));
  putU32(File, 0);
  putU32(File, Cardinal(Offset));
  File.append(Info);
  if (Offset > File.size()) File.append(QByteArray(int(Offset - File.size()), '\0'));
  return File + Pixels;
}

QByteArray bytes(std::initializer_list<int> Values) {
  QByteArray B;
  for (int V : Values) B.append(char(V));
  return B;
}

void loadBytes(TBitmap& Bitmap, const QByteArray& Bytes) {
  TBytesStream Stream(TBytes(Bytes.begin(), Bytes.end()));
  Bitmap.LoadFromStream(&Stream);
}

QByteArray savedBytes(TBitmap& Bitmap) {
  TMemoryStream Stream;
  Bitmap.SaveToStream(&Stream);
  return QByteArray(static_cast<const char*>(Stream.Memory()), qsizetype(Stream.Size()));
}

// A 3 x 2 bitmap of distinct colours.
void paintSample(TBitmap& B, TPixelFormat Format) {
  B.SetPixelFormat(Format);
  B.SetSize(3, 2);
  const TColor Colors[] = {clRed, clLime, clBlue, clWhite, clBlack, TColor(0x123456)};
  for (int I = 0; I < 6; ++I) B.Canvas()->SetPixels(I % 3, I / 3, Colors[I]);
}

TEST(BmpCodecTest, TwentyFourAndThirtyTwoBitsRoundTrip) {
  for (auto [Format, Bits] : {std::pair{pf24bit, 24}, std::pair{pf32bit, 32}, std::pair{pfDevice, 32}}) {
    SCOPED_TRACE(Bits);
    TBitmap B;
    paintSample(B, Format);
    const QByteArray File = savedBytes(B);
    const int Stride = (3 * Bits + 31) / 32 * 4;
    ASSERT_EQ(File.size(), 54 + 2 * Stride);
    EXPECT_EQ(qFromLittleEndian<quint16>(File.constData() + 28), Bits);
    EXPECT_EQ(qFromLittleEndian<quint32>(File.constData() + 10), 54u);
    EXPECT_EQ(File.mid(54, 3), bytes({0xFF, 0xFF, 0xFF})) << "bottom row first";

    TBitmap Read;
    loadBytes(Read, File);
    EXPECT_EQ(Read.PixelFormat(), Bits == 24 ? pf24bit : pf32bit);
    EXPECT_TRUE(ImagesEqual(&B, &Read, 0));
  }
}

TEST(BmpCodecTest, PixelsPerMetreAreWrittenAndKept) {
  TBitmap B;
  paintSample(B, pf24bit);
  EXPECT_EQ(qFromLittleEndian<qint32>(savedBytes(B).constData() + 38), 0) << "new bitmaps say nothing";
  B.SetXPelsPerMeter(3780);  // 96 dpi
  B.SetYPelsPerMeter(3780);
  const QByteArray File = savedBytes(B);
  EXPECT_EQ(qFromLittleEndian<qint32>(File.constData() + 38), 3780);
  EXPECT_EQ(qFromLittleEndian<qint32>(File.constData() + 42), 3780);
  TBitmap Read;
  loadBytes(Read, File);
  EXPECT_EQ(Read.XPelsPerMeter(), 3780);
  EXPECT_EQ(Read.YPelsPerMeter(), 3780);
}

TEST(BmpCodecTest, EmptyBitmapsWriteNothingAndEmptyStreamsReadEmpty) {
  TBitmap B;
  EXPECT_TRUE(savedBytes(B).isEmpty());
  paintSample(B, pf24bit);
  loadBytes(B, QByteArray());
  EXPECT_TRUE(B.Empty());
}

TEST(BmpCodecTest, ReadsEveryStoredLayout) {
  const QRgb Red = qRgb(255, 0, 0), Blue = qRgb(0, 0, 255);
  struct Case {
    const char* Name;
    TBmpSpec Spec;
    TPixelFormat Format;
    TColor First, Second, NextRowFirst;  // of the file's first row, and the next row's first pixel
  } Cases[] = {
      {"1 bit", {.BitCount = 1, .Palette = {Red, Blue}, .Rows = {bytes({0x40}), bytes({0x80})}}, pf1bit, clRed, clBlue,
       clBlue},
      {"4 bit, 3 colours",
       {.BitCount = 4, .ColorsUsed = 3, .Palette = {Red, Blue, qRgb(0, 255, 0)}, .Rows = {bytes({0x01}), bytes({0x20})}},
       pf4bit, clRed, clBlue, clLime},
      {"8 bit", {.BitCount = 8, .ColorsUsed = 2, .Palette = {Red, Blue}, .Rows = {bytes({0, 1}), bytes({1, 0})}},
       pf8bit, clRed, clBlue, clBlue},
      {"8 bit, index past the table", {.BitCount = 8, .ColorsUsed = 1, .Palette = {Red}, .Rows = {bytes({200, 0}), bytes({0, 0})}},
       pf8bit, clBlack, clRed, clRed},
      {"16 bit 5-5-5", {.BitCount = 16, .Rows = {bytes({0, 0x7C, 0x1F, 0}), bytes({0x1F, 0, 0, 0x7C})}}, pf15bit,
       clRed, clBlue, clBlue},
      {"16 bit 5-6-5",
       {.BitCount = 16, .Compression = 3, .Masks = {0xF800, 0x07E0, 0x001F}, .Rows = {bytes({0, 0xF8, 0x1F, 0}), bytes({0x1F, 0, 0, 0xF8})}},
       pf16bit, clRed, clBlue, clBlue},
      {"16 bit 4-4-4",
       {.BitCount = 16, .Compression = 3, .Masks = {0x0F00, 0x00F0, 0x000F}, .Rows = {bytes({0, 0x0F, 0x0F, 0}), bytes({0x0F, 0, 0, 0x0F})}},
       pf24bit, clRed, clBlue, clBlue},
      {"24 bit core header",
       {.InfoSize = 12, .Rows = {bytes({0, 0, 255, 255, 0, 0}), bytes({255, 0, 0, 0, 0, 255})}}, pf24bit, clRed, clBlue,
       clBlue},
      {"24 bit v5 header, top-down",
       {.InfoSize = 124, .Height = -2, .Rows = {bytes({255, 0, 0, 0, 0, 255}), bytes({0, 0, 255, 255, 0, 0})}}, pf24bit,
       clBlue, clRed, clRed},
      {"32 bit", {.BitCount = 32, .Rows = {bytes({0, 0, 255, 0, 255, 0, 0, 0}), bytes({255, 0, 0, 0, 0, 0, 255, 0})}},
       pf32bit, clRed, clBlue, clBlue},
      {"32 bit v4 with alpha",
       {.InfoSize = 108, .BitCount = 32, .Compression = 3, .Masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000},
        .Rows = {bytes({0, 0, 255, 255, 255, 0, 0, 255}), bytes({255, 0, 0, 255, 0, 0, 255, 255})}},
       pf32bit, clRed, clBlue, clBlue},
      {"32 bit shifted masks",
       {.BitCount = 32, .Compression = 3, .Masks = {0xFF000000, 0x00FF0000, 0x0000FF00},
        .Rows = {bytes({0, 0, 0, 255, 0, 255, 0, 0}), bytes({0, 255, 0, 0, 0, 0, 0, 255})}},
       pf32bit, clRed, clBlue, clBlue},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TBitmap B;
    loadBytes(B, bmpBytes(C.Spec));
    ASSERT_EQ(B.Width(), 2);
    ASSERT_EQ(B.Height(), 2);
    EXPECT_EQ(B.PixelFormat(), C.Format);
    const int FirstRow = C.Spec.Height < 0 ? 0 : 1;  // bottom-up unless the height is negative
    EXPECT_EQ(PixelAt(&B, 0, FirstRow), C.First);
    EXPECT_EQ(PixelAt(&B, 1, FirstRow), C.Second);
    EXPECT_EQ(PixelAt(&B, 0, 1 - FirstRow), C.NextRowFirst);
  }
}

TEST(BmpCodecTest, AlphaMaskGivesDefinedAlpha) {
  TBitmap B;
  loadBytes(B, bmpBytes({.InfoSize = 108, .Width = 1, .Height = 1, .BitCount = 32, .Compression = 3,
                         .Masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}, .Rows = {bytes({1, 2, 3, 4})}}));
  EXPECT_EQ(B.AlphaFormat(), afDefined);
  EXPECT_EQ(static_cast<uchar*>(B.ScanLine(0))[3], 4);
}

TEST(BmpCodecTest, ReadingStopsAfterThePixelRows) {
  const QByteArray File = bmpBytes({.Rows = {bytes({1, 2, 3, 4, 5, 6}), bytes({7, 8, 9, 10, 11, 12})}});
  const QByteArray Stored = File + "tail";
  TBytesStream Stream(TBytes(Stored.begin(), Stored.end()));
  TBitmap B;
  B.LoadFromStream(&Stream);
  EXPECT_EQ(Stream.Position(), File.size());
}

TEST(BmpCodecTest, EveryTruncationIsRefused) {
  TBitmap Sample;
  paintSample(Sample, pf24bit);
  const QByteArray Files[] = {
      savedBytes(Sample),
      bmpBytes({.BitCount = 8, .ColorsUsed = 2, .Palette = {qRgb(1, 2, 3), qRgb(4, 5, 6)}, .Rows = {bytes({1, 0}), bytes({0, 1})}}),
      bmpBytes({.BitCount = 16, .Compression = 3, .Masks = {0xF800, 0x07E0, 0x001F}, .Rows = {bytes({1, 2, 3, 4}), bytes({5, 6, 7, 8})}}),
  };
  for (const QByteArray& File : Files)
    for (qsizetype Length = 1; Length < File.size(); ++Length) {
      SCOPED_TRACE(testing::Message() << File.size() << "-byte file cut to " << Length);
      TBitmap B;
      EXPECT_RAISES(loadBytes(B, File.left(Length)), EInvalidGraphic, InvalidBitmap);
    }
}

TEST(BmpCodecTest, LyingHeadersAreRefused) {
  const std::vector<QByteArray> Rows{bytes({1, 2, 3, 4, 5, 6}), bytes({7, 8, 9, 10, 11, 12})};
  struct Case {
    const char* Name;
    TBmpSpec Spec;
    const char* Message;
  } Cases[] = {
      {"width 100000", {.Width = 100000, .Rows = Rows}, TooLarge},
      {"width 32769", {.Width = MaxGraphicSide + 1, .Height = 1, .BitCount = 1}, TooLarge},
      {"height 2^31 - 1", {.Height = 0x7FFFFFFF, .Rows = Rows}, TooLarge},
      {"top-down height -2^31", {.Height = Integer(0x80000000u), .Rows = Rows}, TooLarge},
      {"over 256 MB", {.Width = 10000, .Height = 10000, .Rows = Rows}, TooLarge},
      {"within the limits, pixels missing", {.Width = 8000, .Height = 8000, .Rows = Rows}, InvalidBitmap},
      {"width 0", {.Width = 0, .Rows = Rows}, InvalidBitmap},
      {"negative width", {.Width = -2, .Rows = Rows}, InvalidBitmap},
      {"height 0", {.Height = 0, .Rows = Rows}, InvalidBitmap},
      {"negative palette size", {.BitCount = 8, .ColorsUsed = 0xFFFFFFFF, .Rows = Rows}, InvalidBitmap},
      {"palette larger than the bit count allows", {.BitCount = 4, .ColorsUsed = 17, .Rows = Rows}, InvalidBitmap},
      {"palette past the end", {.BitCount = 8, .ColorsUsed = 256, .Palette = {qRgb(0, 0, 0)}, .PixelOffset = 58}, InvalidBitmap},
      {"pixels inside the header", {.Rows = Rows, .PixelOffset = 20}, InvalidBitmap},
      {"two planes", {.Planes = 2, .Rows = Rows}, InvalidBitmap},
      {"bit count 7", {.BitCount = 7, .Rows = Rows}, InvalidBitmap},
      {"run-length compression", {.BitCount = 8, .Compression = 1, .Rows = Rows}, InvalidBitmap},
      {"bit fields on 24 bits", {.Compression = 3, .Masks = {0xFF0000, 0xFF00, 0xFF}, .Rows = Rows}, InvalidBitmap},
      {"broken mask", {.BitCount = 32, .Compression = 3, .Masks = {0x00FF00FF, 0xFF00, 0xFF}, .Rows = Rows}, InvalidBitmap},
      {"16-bit mask over 16 bits", {.BitCount = 16, .Compression = 3, .Masks = {0x1F0000, 0x7E0, 0x1F}, .Rows = Rows}, InvalidBitmap},
      {"info header of 50 bytes", {.InfoSize = 50, .Rows = Rows}, InvalidBitmap},
      {"32 bits in a core header", {.InfoSize = 12, .BitCount = 32, .Rows = Rows}, InvalidBitmap},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TBitmap B;
    EXPECT_RAISES(loadBytes(B, bmpBytes(C.Spec)), EInvalidGraphic, C.Message);
  }
  const QByteArray Valid = bmpBytes({.Rows = Rows});
  QByteArray NotBmp = Valid;
  NotBmp[1] = 'X';
  QByteArray PixelsPastTheEnd = Valid;
  qToLittleEndian<quint32>(quint32(Valid.size() + 1), PixelsPastTheEnd.data() + 10);
  for (const QByteArray& File : {NotBmp, PixelsPastTheEnd}) {
    TBitmap B;
    EXPECT_RAISES(loadBytes(B, File), EInvalidGraphic, InvalidBitmap);
  }
}

}  // namespace

namespace {

// Bitmap resources keep the file without its 14-byte header; putting the
// header back must point at the rows again, whatever comes between.
TEST(BmpCodecTest, PackedBitmapsGetTheirFileHeaderBack) {
  const QByteArray Row8 = bytes({0, 1}), Row24 = bytes({1, 2, 3, 4, 5, 6});
  const struct {
    const char* Name;
    TBmpSpec Spec;
  } Cases[] = {
      {"24 bits", {.Rows = {Row24, Row24}}},
      {"8 bits, full table", {.BitCount = 8, .Palette = std::vector<QRgb>(256, qRgb(1, 2, 3)), .Rows = {Row8, Row8}}},
      {"8 bits, two colours used",
       {.BitCount = 8, .ColorsUsed = 2, .Palette = {qRgb(255, 0, 0), qRgb(0, 0, 255)}, .Rows = {Row8, Row8}}},
      {"core header, 1 bit",
       {.InfoSize = 12, .BitCount = 1, .Palette = {qRgb(0, 0, 0), qRgb(255, 255, 255)}, .Rows = {bytes({0x80}), bytes({0x40})}}},
      {"16-bit masks", {.BitCount = 16, .Compression = 3, .Masks = {0xF800, 0x07E0, 0x001F}, .Rows = {bytes({0, 0xF8, 0x1F, 0}), bytes({0, 0, 0, 0})}}},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    const QByteArray File = bmpBytes(C.Spec);
    EXPECT_EQ(BmpFileFromDib(File.mid(14)), File);
  }
  EXPECT_RAISES(BmpFileFromDib(bytes({40, 0})), EInvalidGraphic, InvalidBitmap);
  EXPECT_RAISES(BmpFileFromDib(bmpBytes({}).mid(14, 30)), EInvalidGraphic, InvalidBitmap);
}

TEST(BmpCodecTest, BitmapsLoadFromResources) {
  const QByteArray File = bmpBytes({.Width = 1, .Height = 1, .Rows = {bytes({0x30, 0x20, 0x10})}});
  const TResourceScope Resource(QStringLiteral("ProbeGlyph"), RT_BITMAP, File.mid(14));
  TBitmap Bitmap;
  Bitmap.LoadFromResourceName(HInstance(), QStringLiteral("PROBEGLYPH"));
  ASSERT_EQ(Bitmap.Width(), 1);
  EXPECT_EQ(PixelAt(&Bitmap, 0, 0), TColor(0x302010));
  EXPECT_RAISES(Bitmap.LoadFromResourceName(HInstance(), QStringLiteral("NoSuchGlyph")), EResNotFound,
                "Resource NoSuchGlyph not found");
}

}  // namespace
