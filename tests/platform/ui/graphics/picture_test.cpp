#include "platform/ui/graphics/picture.h"

#include "platform/rtl/streams.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/jpeg.h"
#include "platform/ui/graphics/metafile.h"
#include "platform/ui/graphics/pngimage.h"
#include "tests/platform/ui/pixelhelpers.h"
#include "tests/support/testing.h"

#include <QTemporaryDir>

namespace {

QByteArray saved(TGraphic& G) {
  TMemoryStream Stream;
  G.SaveToStream(&Stream);
  return QByteArray(static_cast<const char*>(Stream.Memory()), qsizetype(Stream.Size()));
}

void redSquare(TBitmap& B, int Size = 4) {
  B.SetPixelFormat(pf24bit);
  B.SetSize(Size, Size);
  B.Canvas()->Brush()->SetColor(clRed);
  B.Canvas()->FillRect(Rect(0, 0, Size, Size));
}

// A graphic class of the tests' own, registered for one test.
class TTestGraphic : public TBitmap {
  RTL_CLASS_META(TTestGraphic, TBitmap, TGraphicClassOf<TTestGraphic>)
public:
  static bool CanLoadFromStream(TStream*) { return false; }
};

TEST(PictureTest, SignaturesPickTheClass) {
  struct Case {
    const char* Name;
    QByteArray Bytes;
    TClass Expected;  // nullptr: no class
  } Cases[] = {
      {"BMP", QByteArray("BM\0\0", 4), TBitmap::StaticClass()},
      {"JPEG", QByteArray("\xFF\xD8\xFF\xE0", 4), TJPEGImage::StaticClass()},
      {"PNG", QByteArray("\x89PNG\r\n\x1A\n", 8), TPngImage::StaticClass()},
      {"GIF87a", QByteArray("GIF87a"), TGIFImage::StaticClass()},
      {"GIF89a", QByteArray("GIF89a"), TGIFImage::StaticClass()},
      {"ICO", QByteArray("\0\0\1\0\1\0", 6), TIcon::StaticClass()},
      {"EMF", QByteArray("\1\0\0\0", 4) + QByteArray(36, '\0') + " EMF", TMetafile::StaticClass()},
      {"WMF", QByteArray("\xD7\xCD\xC6\x9A", 4), TMetafile::StaticClass()},
      {"EMF record without signature", QByteArray("\1\0\0\0", 4) + QByteArray(40, '\0'), nullptr},
      {"JPEG cut short", QByteArray("\xFF\xD8", 2), nullptr},
      {"XX", QByteArray("XX"), nullptr},
      {"empty", QByteArray(), nullptr},
  };
  const TClass Classes[] = {TBitmap::StaticClass(),  TJPEGImage::StaticClass(), TPngImage::StaticClass(),
                            TGIFImage::StaticClass(), TIcon::StaticClass(),      TMetafile::StaticClass()};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TBytesStream Stream(TBytes(C.Bytes.begin(), C.Bytes.end()));
    Stream.SetPosition(0);
    TClass Found = nullptr;
    for (TClass Class : Classes)
      if (GraphicMeta(Class)->CanLoadFromStream(&Stream)) Found = Class;
    EXPECT_EQ(Found, C.Expected);
    EXPECT_EQ(Stream.Position(), 0) << "the position is kept";
  }
}

TEST(PictureTest, RegistryListsFormatsInOrder) {
  EXPECT_EQ(GraphicFilter(TGraphic::StaticClass()),
            "All (*.bmp;*.ico;*.emf;*.wmf;*.jpg;*.jpeg;*.png;*.gif)|*.bmp;*.ico;*.emf;*.wmf;*.jpg;*.jpeg;*.png;*.gif|"
            "Bitmaps (*.bmp)|*.bmp|Icons (*.ico)|*.ico|Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf|"
            "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|"
            "Portable Network Graphics (*.png)|*.png|GIF Image (*.gif)|*.gif");
  EXPECT_EQ(GraphicFilter(TMetafile::StaticClass()),
            "All (*.emf;*.wmf)|*.emf;*.wmf|Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf");
  EXPECT_EQ(GraphicFileMask(TJPEGImage::StaticClass()), "*.jpg;*.jpeg");
  EXPECT_EQ(GraphicExtension(TBitmap::StaticClass()), "bmp");
  EXPECT_EQ(GraphicExtension(TMetafile::StaticClass()), "emf");
  EXPECT_EQ(GraphicExtension(TTestGraphic::StaticClass()), "");
  EXPECT_EQ(GraphicFilter(TTestGraphic::StaticClass()), "");

  TPicture::RegisterFileFormat("tst", "Test pictures", TTestGraphic::StaticClass());
  EXPECT_EQ(GraphicExtension(TTestGraphic::StaticClass()), "tst");
  EXPECT_EQ(GraphicFileMask(TBitmap::StaticClass()), "*.bmp;*.tst") << "descendants count";
  TPicture::UnregisterGraphicClass(TTestGraphic::StaticClass());
  EXPECT_EQ(GraphicFileMask(TBitmap::StaticClass()), "*.bmp");
}

TEST(PictureTest, FilesPickTheClassByExtension) {
  QTemporaryDir Dir;
  ASSERT_TRUE(Dir.isValid());
  TBitmap Red;
  redSquare(Red);
  TJPEGImage Jpeg;
  Jpeg.Assign(&Red);
  const String JpegPath = Dir.filePath("x.JPG");
  Jpeg.SaveToFile(JpegPath);

  TPicture P;
  int Changes = 0;
  P.OnChange = [&](TObject*) { ++Changes; };
  P.LoadFromFile(JpegPath);
  ASSERT_TRUE(Is<TJPEGImage>(P.Graphic()));
  EXPECT_EQ(P.Width(), 4);
  EXPECT_EQ(Changes, 1);

  const String BmpPath = Dir.filePath("red.bmp");
  Red.SaveToFile(BmpPath);
  P.LoadFromFile(BmpPath);
  ASSERT_TRUE(Is<TBitmap>(P.Graphic()));
  EXPECT_EQ(PixelAt(P.Bitmap(), 3, 3), clRed);

  EXPECT_RAISES(P.LoadFromFile(Dir.filePath("x.xyz")), EInvalidGraphic, "Unknown picture file extension (.xyz)");
  EXPECT_RAISES(P.LoadFromFile(Dir.filePath("noextension")), EInvalidGraphic, "Unknown picture file extension (.)");
  EXPECT_THROW(P.LoadFromFile(Dir.filePath("missing.bmp")), EFOpenError);
  EXPECT_TRUE(Is<TBitmap>(P.Graphic())) << "a failed load keeps the picture";

  const String Copy = Dir.filePath("copy.bmp");
  P.SaveToFile(Copy);
  TPicture Reloaded;
  Reloaded.LoadFromFile(Copy);
  EXPECT_TRUE(ImagesEqual(Reloaded.Bitmap(), &Red, 0));
}

TEST(PictureTest, StreamsPickTheClassBySignature) {
  TBitmap Red;
  redSquare(Red);
  TMemoryStream Stream;
  Red.SaveToStream(&Stream);
  Stream.SetPosition(0);
  TPicture P;
  P.LoadFromStream(&Stream);
  EXPECT_TRUE(Is<TBitmap>(P.Graphic()));

  TMemoryStream Saved;
  P.SaveToStream(&Saved);
  EXPECT_EQ(Saved.Size(), Stream.Size());

  TBytesStream Unknown(TBytes{'X', 'X', 'X'});
  EXPECT_RAISES(P.LoadFromStream(&Unknown), EInvalidGraphic, "Unsupported picture format");
  TBytesStream BadBitmap(TBytes{'B', 'M', 0, 0});
  EXPECT_RAISES(P.LoadFromStream(&BadBitmap), EInvalidGraphic, "Bitmap image is not valid");
  EXPECT_TRUE(Is<TBitmap>(P.Graphic()));
}

TEST(PictureTest, GraphicAccessorsForceTheirClass) {
  TPicture P;
  EXPECT_EQ(P.Graphic(), nullptr);
  EXPECT_EQ(P.Width(), 0);
  TJPEGImage Jpeg;
  TBitmap Red;
  redSquare(Red);
  Jpeg.Assign(&Red);
  P.SetGraphic(&Jpeg);
  ASSERT_TRUE(Is<TJPEGImage>(P.Graphic()));
  EXPECT_NE(P.Graphic(), &Jpeg) << "the picture keeps a copy";

  TBitmap* B = P.Bitmap();
  EXPECT_TRUE(B->Empty()) << "another class is replaced by an empty bitmap";
  B->Assign(&Red);
  EXPECT_EQ(P.Bitmap(), B);
  EXPECT_EQ(P.Width(), 4);
  EXPECT_TRUE(Is<TIcon>(P.Icon()));
  EXPECT_TRUE(Is<TMetafile>(P.Metafile()));

  TPicture Other;
  Other.Assign(&P);
  EXPECT_TRUE(Is<TMetafile>(Other.Graphic()));
  Other.Assign(&Red);
  EXPECT_TRUE(Is<TBitmap>(Other.Graphic()));
  TBitmap Out;
  Out.Assign(&Other);
  EXPECT_EQ(PixelAt(&Out, 0, 0), clRed);
  Other.Assign(nullptr);
  EXPECT_EQ(Other.Graphic(), nullptr);
}

TEST(PictureTest, ChangesOfTheGraphicReachThePicture) {
  TPicture P;
  int Changes = 0;
  P.OnChange = [&](TObject*) { ++Changes; };
  TBitmap* B = P.Bitmap();
  EXPECT_EQ(Changes, 1);
  B->SetSize(3, 3);
  EXPECT_EQ(Changes, 2);
  B->Canvas()->FillRect(Rect(0, 0, 1, 1));
  EXPECT_EQ(Changes, 3);
}

TEST(PictureTest, GraphicsPersistThroughStreamInterfaces) {
  TBitmap Red;
  redSquare(Red);
  IStreamPersist* Persist = nullptr;
  ASSERT_TRUE(Supports(static_cast<TPersistent*>(&Red), Persist));
  TMemoryStream Stream;
  Persist->SaveToStream(&Stream);
  EXPECT_EQ(saved(Red).size(), Stream.Size());

  TPicture P;
  ASSERT_TRUE(Supports(static_cast<TPersistent*>(&P), Persist));
  Stream.SetPosition(0);
  Persist->LoadFromStream(&Stream);
  EXPECT_TRUE(Is<TBitmap>(P.Graphic()));
}

TEST(PictureTest, OtherGraphicsAssignToBitmapsByDrawing) {
  TMetafile M;
  M.SetWidth(5);
  M.SetHeight(3);
  TBitmap B;
  redSquare(B);
  B.Assign(&M);
  EXPECT_EQ(B.Width(), 5);
  EXPECT_EQ(B.Height(), 3);
  EXPECT_THROW(M.Assign(&B), EConvertError);
}

TEST(PictureTest, EqualsComparesClassAndBytes) {
  TBitmap A, B;
  EXPECT_TRUE(A.Equals(&B)) << "both empty";
  redSquare(A);
  EXPECT_FALSE(A.Equals(&B));
  B.Assign(&A);
  EXPECT_TRUE(A.Equals(&B));
  B.Canvas()->SetPixels(0, 0, clBlue);
  EXPECT_FALSE(A.Equals(&B));
  TJPEGImage J;
  EXPECT_FALSE(J.Equals(&A));
}

TEST(MetafileTest, KeepsSizeAndKindAndRefusesFiles) {
  TMetafile M;
  EXPECT_TRUE(M.Enhanced());
  EXPECT_TRUE(M.Empty());
  M.SetMMWidth(2540);  // an inch
  EXPECT_EQ(M.Width(), 96);
  EXPECT_EQ(M.MMWidth(), 2540);
  M.SetEnhanced(false);
  TMetafile Copy;
  Copy.Assign(&M);
  EXPECT_FALSE(Copy.Enhanced());
  EXPECT_EQ(Copy.Width(), 96);
  EXPECT_TRUE(saved(M).isEmpty());
  TBytesStream Stream(TBytes{0xD7, 0xCD, 0xC6, 0x9A});
  EXPECT_RAISES(M.LoadFromStream(&Stream), EInvalidGraphic, "Metafile is not valid");
}

}  // namespace
