#include "platform/ui/graphics/jpeg.h"

#include "platform/rtl/streams.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "tests/platform/ui/pixelhelpers.h"
#include "tests/support/testing.h"

#include <QImage>
#include <cstdio>  // jpeglib.h needs FILE
#include <cstdlib>

#include <jpeglib.h>

namespace {

// A smooth 64 x 64 gradient: red across, green down, blue constant.
void paintGradient(TBitmap& B, int Size = 64) {
  B.SetPixelFormat(pf24bit);
  B.SetSize(Size, Size);
  for (int Y = 0; Y < Size; ++Y) {
    auto* Row = static_cast<uchar*>(B.ScanLine(Y));
    for (int X = 0; X < Size; ++X) {
      Row[3 * X] = 128;
      Row[3 * X + 1] = uchar(Y * 255 / (Size - 1));
      Row[3 * X + 2] = uchar(X * 255 / (Size - 1));
    }
  }
}

QByteArray saved(TGraphic& G) {
  TMemoryStream Stream;
  G.SaveToStream(&Stream);
  return QByteArray(static_cast<const char*>(Stream.Memory()), qsizetype(Stream.Size()));
}

void load(TGraphic& G, const QByteArray& Bytes) {
  TBytesStream Stream(TBytes(Bytes.begin(), Bytes.end()));
  G.LoadFromStream(&Stream);
}

// The decoded pixels of a JPEG file.
void decode(const QByteArray& File, TBitmap& Out) {
  TJPEGImage J;
  load(J, File);
  Out.Assign(&J);
}

double meanAbsError(TBitmap& A, TBitmap& B) {
  long Sum = 0;
  for (int Y = 0; Y < A.Height(); ++Y)
    for (int X = 0; X < A.Width(); ++X)
      for (int Shift = 0; Shift < 24; Shift += 8)
        Sum += std::abs(((PixelAt(&A, X, Y) >> Shift) & 0xFF) - ((PixelAt(&B, X, Y) >> Shift) & 0xFF));
  return double(Sum) / (A.Width() * A.Height() * 3);
}

// A file made from a gradient with default settings.
QByteArray gradientFile(int Size = 64) {
  TBitmap Source;
  paintGradient(Source, Size);
  TJPEGImage J;
  J.Assign(&Source);
  return saved(J);
}

// Raises EInvalidGraphic "JPEG error #n" for some n.
void expectJpegError(const std::function<void()>& Fn) {
  try {
    Fn();
    ADD_FAILURE() << "expected EInvalidGraphic";
  } catch (const EInvalidGraphic& E) {
    EXPECT_TRUE(E.Message.startsWith(QStringLiteral("JPEG error #"))) << E.Message.toStdString();
  }
}

TEST(JpegTest, EncodesAndDecodesAGradientClosely) {
  TBitmap Source;
  paintGradient(Source);
  TJPEGImage J;
  J.Assign(&Source);
  EXPECT_EQ(J.CompressionQuality(), 90);
  EXPECT_EQ(J.Width(), 64);
  const QByteArray File = saved(J);
  ASSERT_GT(File.size(), 4);
  EXPECT_EQ(File.left(2), QByteArray("\xFF\xD8"));
  EXPECT_EQ(File.right(2), QByteArray("\xFF\xD9"));
  EXPECT_TRUE(File.contains(QByteArray("\xFF\xC0", 2))) << "baseline frame";

  TBitmap Decoded;
  decode(File, Decoded);
  EXPECT_EQ(Decoded.PixelFormat(), pf24bit);
  ASSERT_EQ(Decoded.Width(), 64);
  EXPECT_LT(meanAbsError(Source, Decoded), 4.0);
  SaveForReview(Decoded.Image(), QStringLiteral("jpeg_gradient.png"));
}

TEST(JpegTest, GrayscaleProgressiveAndQualitySettings) {
  TBitmap Source;
  paintGradient(Source);
  TJPEGImage J;
  J.Assign(&Source);
  const qsizetype Default = saved(J).size();

  J.SetCompressionQuality(10);
  EXPECT_LT(saved(J).size(), Default) << "a new setting compresses again";
  J.SetCompressionQuality(0);
  EXPECT_EQ(J.CompressionQuality(), 1);
  J.SetCompressionQuality(101);
  EXPECT_EQ(J.CompressionQuality(), 100);

  J.SetProgressiveEncoding(true);
  EXPECT_TRUE(saved(J).contains(QByteArray("\xFF\xC2", 2))) << "progressive frame";

  J.SetProgressiveEncoding(false);
  J.SetGrayscale(true);
  TBitmap Grey;
  decode(saved(J), Grey);
  const TColor P = PixelAt(&Grey, 40, 20);
  EXPECT_EQ(P & 0xFF, (P >> 8) & 0xFF);
  EXPECT_EQ(P & 0xFF, (P >> 16) & 0xFF);
}

TEST(JpegTest, LoadedDataIsSavedUnchangedAndDrawsOnce) {
  const QByteArray File = gradientFile();
  TJPEGImage J;
  load(J, File);
  EXPECT_EQ(J.Width(), 64);
  EXPECT_EQ(J.Height(), 64);
  EXPECT_EQ(saved(J), File);

  TBitmap Canvas;
  Canvas.SetSize(64, 64);
  Canvas.Canvas()->Draw(0, 0, &J);
  TBitmap Source;
  paintGradient(Source);
  EXPECT_LT(meanAbsError(Source, Canvas), 4.0);
  EXPECT_EQ(saved(J), File) << "decoding changes no data";

  TJPEGImage Copy;
  Copy.Assign(&J);
  EXPECT_EQ(saved(Copy), File);
  EXPECT_TRUE(Copy.Equals(&J));
}

TEST(JpegTest, SizeCannotChange) {
  TJPEGImage J;
  EXPECT_TRUE(J.Empty());
  EXPECT_RAISES(J.SetWidth(5), EInvalidGraphicOperation, "Cannot change the size of a JPEG image");
  EXPECT_RAISES(J.SetSize(5, 5), EInvalidGraphicOperation, "Cannot change the size of a JPEG image");
}

TEST(JpegTest, EveryTruncationIsRefused) {
  const QByteArray File = gradientFile(16);
  for (qsizetype Length = 1; Length < File.size(); ++Length) {
    SCOPED_TRACE(testing::Message() << File.size() << "-byte file cut to " << Length);
    expectJpegError([&] {
      TJPEGImage J;
      load(J, File.left(Length));
      J.DIBNeeded();
    });
  }
}

TEST(JpegTest, GarbageIsRefused) {
  const QByteArray File = gradientFile(16);
  QByteArray Garbage("\xFF\xD8\xFF\xE0");
  for (int I = 0; I < 200; ++I) Garbage.append(char((I * 37 + 11) & 0xFF));
  QByteArray CorruptScan = File;
  for (qsizetype I = CorruptScan.size() / 2; I < CorruptScan.size() - 2; ++I) CorruptScan[I] = char(0xFF);
  for (const QByteArray& Bytes : {Garbage, CorruptScan}) {
    expectJpegError([&] {
      TJPEGImage J;
      load(J, Bytes);
      J.DIBNeeded();
    });
  }
}

TEST(JpegTest, LyingFrameSizesAreRefused) {
  const QByteArray File = gradientFile(16);
  const qsizetype Frame = File.indexOf(QByteArray("\xFF\xC0", 2));
  ASSERT_GT(Frame, 0);
  // the frame header: marker, length (2), precision (1), height (2), width (2), big-endian
  auto withSize = [&](int Width, int Height) {
    QByteArray Lying = File;
    Lying[Frame + 5] = char(Height >> 8);
    Lying[Frame + 6] = char(Height);
    Lying[Frame + 7] = char(Width >> 8);
    Lying[Frame + 8] = char(Width);
    return Lying;
  };
  TJPEGImage J;
  EXPECT_RAISES(load(J, withSize(60000, 60000)), EInvalidGraphic,
                "Image is larger than 32768 pixels per side or 256 MB");
  EXPECT_RAISES(load(J, withSize(MaxGraphicSide + 1, 16)), EInvalidGraphic,
                "Image is larger than 32768 pixels per side or 256 MB");
  EXPECT_TRUE(J.Empty()) << "a refused file changes nothing";
  expectJpegError([&] { load(J, withSize(0, 16)); });
  // within the limits, but the data holds far fewer blocks
  load(J, withSize(4000, 4000));
  EXPECT_EQ(J.Width(), 4000);
  expectJpegError([&] { J.DIBNeeded(); });
}

// A valid progressive file of about 2,100 scans: every coefficient of every
// component sent bit by bit.
QByteArray floodOfScans() {
  std::vector<jpeg_scan_info> Scans;
  constexpr int MaxAl = 10;  // the deepest successive approximation libjpeg allows for 8-bit samples
  Scans.push_back({3, {0, 1, 2, 0}, 0, 0, 0, MaxAl});
  for (int Al = MaxAl - 1; Al >= 0; --Al) Scans.push_back({3, {0, 1, 2, 0}, 0, 0, Al + 1, Al});
  for (int C = 0; C < 3; ++C)
    for (int K = 1; K < DCTSIZE2; ++K) {
      Scans.push_back({1, {C, 0, 0, 0}, K, K, 0, MaxAl});
      for (int Al = MaxAl - 1; Al >= 0; --Al) Scans.push_back({1, {C, 0, 0, 0}, K, K, Al + 1, Al});
    }
  jpeg_compress_struct Info;
  jpeg_error_mgr Errors;
  Info.err = jpeg_std_error(&Errors);
  jpeg_create_compress(&Info);
  unsigned char* Buffer = nullptr;
  unsigned long Size = 0;
  jpeg_mem_dest(&Info, &Buffer, &Size);
  Info.image_width = Info.image_height = 8;
  Info.input_components = 3;
  Info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&Info);
  Info.scan_info = Scans.data();
  Info.num_scans = int(Scans.size());
  jpeg_start_compress(&Info, TRUE);
  std::vector<JSAMPLE> Row(8 * 3, 100);
  while (Info.next_scanline < Info.image_height) {
    JSAMPROW R = Row.data();
    jpeg_write_scanlines(&Info, &R, 1);
  }
  jpeg_finish_compress(&Info);
  jpeg_destroy_compress(&Info);
  QByteArray File(reinterpret_cast<const char*>(Buffer), qsizetype(Size));
  std::free(Buffer);
  return File;
}

TEST(JpegTest, AFloodOfScansIsRefused) {
  TJPEGImage J;
  load(J, floodOfScans());
  EXPECT_EQ(J.Width(), 8);
  EXPECT_RAISES(J.DIBNeeded(), EInvalidGraphic, "JPEG image has too many scans");
}

}  // namespace
