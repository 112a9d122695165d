#include "platform/ui/graphics/pngimage.h"

#include "platform/rtl/streams.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "tests/platform/ui/pixelhelpers.h"
#include "tests/support/testing.h"

#include <QBuffer>
#include <QImage>
#include <QtEndian>

namespace {

QByteArray encoded(const QImage& Image, const char* Format) {
  QByteArray Bytes;
  QBuffer Buffer(&Bytes);
  Buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(Image.save(&Buffer, Format));
  return Bytes;
}

void load(TGraphic& G, const QByteArray& Bytes) {
  TBytesStream Stream(TBytes(Bytes.begin(), Bytes.end()));
  G.LoadFromStream(&Stream);
}

QByteArray saved(TGraphic& G) {
  TMemoryStream Stream;
  G.SaveToStream(&Stream);
  return QByteArray(static_cast<const char*>(Stream.Memory()), qsizetype(Stream.Size()));
}

TBitmap* whiteBitmap(int Width, int Height) {
  auto* B = new TBitmap;
  B->SetSize(Width, Height);
  B->Canvas()->Brush()->SetColor(clWhite);
  B->Canvas()->FillRect(Rect(0, 0, Width, Height));
  return B;
}

// 2 x 1: opaque red, then fully transparent.
QImage redAndClear() {
  QImage Image(2, 1, QImage::Format_ARGB32);
  Image.setPixel(0, 0, qRgba(255, 0, 0, 255));
  Image.setPixel(1, 0, qRgba(0, 0, 0, 0));
  return Image;
}

// One red pixel: a 2-colour global table, no transparency.
const QByteArray RedGif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xFF\x00\x00\x00\x00\x00"
                        ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
                        35);

quint32 crc32(const QByteArray& Bytes) {
  quint32 Crc = 0xFFFFFFFF;
  for (char C : Bytes) {
    Crc ^= quint8(C);
    for (int K = 0; K < 8; ++K) Crc = (Crc >> 1) ^ (0xEDB88320u & (0u - (Crc & 1)));
  }
  return ~Crc;
}

TEST(PngImageTest, PngKeepsAlphaAndItsBytes) {
  const QByteArray File = encoded(redAndClear(), "PNG");
  TPngImage Png;
  load(Png, File);
  EXPECT_EQ(Png.Width(), 2);
  EXPECT_EQ(Png.Height(), 1);
  EXPECT_EQ(saved(Png), File);

  TBitmap* Dest = whiteBitmap(2, 1);
  Dest->Canvas()->Draw(0, 0, &Png);
  EXPECT_EQ(PixelAt(Dest, 0, 0), clRed);
  EXPECT_EQ(PixelAt(Dest, 1, 0), clWhite);
  Dest->Free();

  TBitmap Pixels;
  Pixels.Assign(&Png);
  EXPECT_EQ(Pixels.PixelFormat(), pf32bit);
  EXPECT_EQ(Pixels.AlphaFormat(), afDefined);
  EXPECT_EQ(static_cast<uchar*>(Pixels.ScanLine(0))[4 + 3], 0);

  TPngImage Copy;
  Copy.Assign(&Png);
  EXPECT_TRUE(Copy.Equals(&Png));
  EXPECT_RAISES(Copy.SetWidth(3), EInvalidGraphicOperation, "Cannot change the size of a PNG image");
}

TEST(PngImageTest, GifGivesItsFirstFrame) {
  TGIFImage Gif;
  load(Gif, RedGif);
  ASSERT_EQ(Gif.Width(), 1);
  TBitmap* Dest = whiteBitmap(3, 3);
  Dest->Canvas()->StretchDraw(Rect(0, 0, 3, 3), &Gif);
  EXPECT_EQ(CountPixels(Dest, Rect(0, 0, 3, 3), clRed), 9);
  Dest->Free();
  EXPECT_EQ(saved(Gif), RedGif);
  EXPECT_RAISES(Gif.SetHeight(3), EInvalidGraphicOperation, "Cannot change the size of a GIF image");
}

TEST(PngImageTest, IconsDrawAtTheirOwnSize) {
  QImage Blue(16, 16, QImage::Format_ARGB32);
  Blue.fill(qRgb(0, 0, 255));
  TIcon Icon;
  load(Icon, encoded(Blue, "ICO"));
  EXPECT_EQ(Icon.Width(), 16);
  TBitmap* Dest = whiteBitmap(40, 40);
  Dest->Canvas()->StretchDraw(Rect(2, 2, 40, 40), &Icon);
  EXPECT_EQ(CountPixels(Dest, Rect(0, 0, 40, 40), clBlue), 256);
  EXPECT_EQ(PixelAt(Dest, 2, 2), clBlue);
  EXPECT_EQ(PixelAt(Dest, 18, 18), clWhite);
  Dest->Free();
}

TEST(PngImageTest, BadFilesAreRefused) {
  const QByteArray Png = encoded(redAndClear(), "PNG");
  struct Case {
    const char* Name;
    QByteArray Bytes;
    std::function<TGraphic*()> Make;
    const char* Message;
  } Cases[] = {
      {"PNG signature only", Png.left(8), [] { return new TPngImage; }, "PNG image is not valid"},
      {"PNG header cut", Png.left(20), [] { return new TPngImage; }, "PNG image is not valid"},
      {"garbage PNG", QByteArray("\x89PNG\r\n\x1A\nxxxxxxxxxxxxxxxxxxxxxxxx"), [] { return new TPngImage; },
       "PNG image is not valid"},
      {"GIF header cut", RedGif.left(10), [] { return new TGIFImage; }, "GIF image is not valid"},
      {"icon directory only", QByteArray("\0\0\1\0\1\0", 6), [] { return new TIcon; }, "Icon image is not valid"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TGraphic* G = C.Make();
    EXPECT_RAISES(load(*G, C.Bytes), EInvalidGraphic, C.Message);
    EXPECT_TRUE(G->Empty());
    G->Free();
  }
}

TEST(PngImageTest, LyingPngSizesAreRefusedBeforeDecoding) {
  const QByteArray Png = encoded(redAndClear(), "PNG");
  // IHDR: length (4), "IHDR", width (4), height (4), ..., CRC over type and data
  auto withSize = [&](quint32 Width, quint32 Height) {
    QByteArray Lying = Png;
    qToBigEndian(Width, Lying.data() + 16);
    qToBigEndian(Height, Lying.data() + 20);
    qToBigEndian(crc32(Lying.mid(12, 17)), Lying.data() + 29);
    return Lying;
  };
  TPngImage P;
  EXPECT_RAISES(load(P, withSize(100000, 1)), EInvalidGraphic, "Image is larger than 32768 pixels per side or 256 MB");
  EXPECT_RAISES(load(P, withSize(20000, 20000)), EInvalidGraphic,
                "Image is larger than 32768 pixels per side or 256 MB");
  EXPECT_THROW(load(P, withSize(3000, 3000)), EInvalidGraphic) << "within the limits, the data runs out";
}

}  // namespace
