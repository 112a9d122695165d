#include "platform/ui/graphics/bitmap.h"

#include "platform/rtl/streams.h"
#include "platform/ui/graphics/canvas.h"
#include "tests/platform/ui/pixelhelpers.h"
#include "tests/support/testing.h"

#include <QImage>
#include <cstring>

using namespace gdi;

namespace {

class BitmapTest : public ::testing::Test {
protected:
  void SetUp() override { Baseline = GdiObjectCount(); }
  void TearDown() override { EXPECT_EQ(GdiObjectCount(), Baseline) << "GDI objects leaked"; }

  // A bitmap of Format filled with Color through its canvas.
  static TBitmap* filled(TPixelFormat Format, int Width, int Height, TColor Color) {
    auto* B = new TBitmap;
    B->SetPixelFormat(Format);
    B->SetSize(Width, Height);
    B->Canvas()->Brush()->SetColor(Color);
    B->Canvas()->FillRect(Rect(0, 0, Width, Height));
    return B;
  }

  static const uchar* row(TBitmap* B, int Y) { return static_cast<const uchar*>(B->ScanLine(Y)); }

  int Baseline = 0;
};

TEST_F(BitmapTest, ScanLinesHoldTheFormatsBytes) {
  struct Case {
    const char* Name;
    TPixelFormat Format;
    std::vector<uchar> Bytes;  // of pixel 0 after filling with red
  } Cases[] = {
      {"device", pfDevice, {0x00, 0x00, 0xFF, 0xFF}},
      {"24 bit", pf24bit, {0x00, 0x00, 0xFF}},
      {"32 bit", pf32bit, {0x00, 0x00, 0xFF, 0xFF}},  // canvas drawing writes alpha 255
      {"16 bit", pf16bit, {0x00, 0xF8}},
      {"15 bit", pf15bit, {0x00, 0x7C}},
      {"8 bit", pf8bit, {5 * 36}},  // the cube's pure red
      {"4 bit", pf4bit, {9}},       // VGA red
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TBitmap* B = filled(C.Format, 3, 2, clRed);
    EXPECT_EQ(std::vector<uchar>(row(B, 1), row(B, 1) + C.Bytes.size()), C.Bytes);
    EXPECT_EQ(PixelAt(B, 2, 1), clRed);
    B->Free();
  }
}

TEST_F(BitmapTest, RowsAreFourByteAlignedForEveryWidth) {
  const std::pair<TPixelFormat, int> Formats[] = {{pf1bit, 1},   {pf4bit, 8},   {pf8bit, 8},
                                                  {pf15bit, 16}, {pf24bit, 24}, {pf32bit, 32}};
  for (auto [Format, Bits] : Formats)
    for (int Width = 1; Width <= 5; ++Width) {
      SCOPED_TRACE(testing::Message() << "format " << int(Format) << " width " << Width);
      TBitmap B;
      B.SetPixelFormat(Format);
      B.SetSize(Width, 2);
      EXPECT_EQ(row(&B, 1) - row(&B, 0), (Width * Bits + 31) / 32 * 4);
    }
}

TEST_F(BitmapTest, ScanLineRowsOutsideTheImageRaise) {
  TBitmap B;
  EXPECT_RAISES(B.ScanLine(0), EInvalidGraphic, "Scan line index out of range");
  B.SetSize(4, 3);
  EXPECT_NE(B.ScanLine(0), nullptr);
  EXPECT_NE(B.ScanLine(2), nullptr);
  EXPECT_RAISES(B.ScanLine(-1), EInvalidGraphic, "Scan line index out of range");
  EXPECT_RAISES(B.ScanLine(3), EInvalidGraphic, "Scan line index out of range");
}

TEST_F(BitmapTest, DrawingAndScanLinesSeeEachOthersPixels) {
  TBitmap* B = filled(pf24bit, 4, 4, clWhite);
  B->Canvas()->Pixels(0, 0);  // the DC and painter are live
  B->Canvas()->Brush()->SetColor(clBlue);
  B->Canvas()->FillRect(Rect(0, 0, 2, 2));
  EXPECT_EQ(row(B, 0)[0], 0xFF);  // B,G,R of blue
  EXPECT_EQ(row(B, 0)[2], 0x00);
  static_cast<uchar*>(B->ScanLine(3))[9] = 0x00;  // pixel (3, 3): blue byte of white cleared
  EXPECT_EQ(B->Canvas()->Pixels(3, 3), TColor(0x00FFFF));
  B->Canvas()->Brush()->SetColor(clLime);
  B->Canvas()->FillRect(Rect(0, 0, 1, 1));
  EXPECT_EQ(row(B, 0)[1], 0xFF);
  EXPECT_EQ(row(B, 0)[0], 0x00);
  B->Free();
}

TEST_F(BitmapTest, SetSizeKeepsTheTopLeftAndZeroesNewPixels) {
  for (TPixelFormat Format : {pf1bit, pf8bit, pf24bit, pf32bit}) {
    SCOPED_TRACE(int(Format));
    TBitmap* B = filled(Format, 3, 2, clWhite);
    B->SetSize(9, 4);
    EXPECT_EQ(CountPixels(B, Rect(0, 0, 3, 2), clWhite), 6);
    const int Stride = int(row(B, 1) - row(B, 0));
    for (int Y = 2; Y < 4; ++Y)
      EXPECT_EQ(std::count(row(B, Y), row(B, Y) + Stride, 0), Stride) << "row " << Y;
    if (Format == pf32bit) {
      EXPECT_EQ(row(B, 0)[4 * 5 + 3], 0) << "new pixels are transparent";
    }
    B->SetSize(2, 1);
    EXPECT_EQ(PixelAt(B, 1, 0), clWhite);
    B->Free();
  }
}

TEST_F(BitmapTest, FormatConversionsKeepColours) {
  const TColor Colors[] = {clRed, clWhite, clBlack, clNavy, TColor(0x336699)};
  TBitmap Source;
  Source.SetSize(5, 1);
  for (int X = 0; X < 5; ++X) Source.Canvas()->SetPixels(X, 0, Colors[X]);

  TBitmap B;
  B.Assign(&Source);
  for (TPixelFormat Format : {pf24bit, pf32bit, pfDevice}) {
    B.SetPixelFormat(Format);
    for (int X = 0; X < 5; ++X) EXPECT_EQ(PixelAt(&B, X, 0), Colors[X]) << "format " << int(Format) << " x " << X;
  }
  B.SetPixelFormat(pf8bit);
  EXPECT_EQ(PixelAt(&B, 3, 0), TColor(0x990000)) << "navy's nearest cube colour";
  EXPECT_EQ(PixelAt(&B, 4, 0), TColor(0x336699)) << "a cube colour";
  B.Assign(&Source);
  B.SetPixelFormat(pf4bit);
  EXPECT_EQ(PixelAt(&B, 3, 0), clNavy);
  EXPECT_EQ(PixelAt(&B, 4, 0), clOlive) << "the nearest of the 16 colours";
  B.SetMonochrome(true);
  EXPECT_EQ(B.PixelFormat(), pf1bit);
  EXPECT_EQ(row(&B, 0)[0], 0x40) << "only white becomes a 1 bit";
}

TEST_F(BitmapTest, AlphaFormatPremultipliesAndKeepsBytes) {
  TBitmap B;
  B.SetPixelFormat(pf32bit);
  B.SetSize(1, 1);
  const uchar Pixel[] = {200, 100, 50, 128};
  std::memcpy(B.ScanLine(0), Pixel, 4);
  B.SetAlphaFormat(afDefined);
  EXPECT_EQ(std::vector<uchar>(row(&B, 0), row(&B, 0) + 4), std::vector<uchar>(Pixel, Pixel + 4));
  B.SetAlphaFormat(afPremultiplied);
  EXPECT_EQ(std::vector<uchar>(row(&B, 0), row(&B, 0) + 4), (std::vector<uchar>{100, 50, 25, 128}));
  B.SetAlphaFormat(afIgnored);
  EXPECT_NEAR(row(&B, 0)[0], 200, 1);
  EXPECT_EQ(row(&B, 0)[3], 128) << "bytes stay";
}

TEST_F(BitmapTest, AssignSharesPixelsUntilEitherSideWrites) {
  TBitmap* A = filled(pf24bit, 4, 4, clWhite);
  A->SetXPelsPerMeter(3780);
  TBitmap B;
  B.Assign(A);
  EXPECT_EQ(B.PixelFormat(), pf24bit);
  EXPECT_EQ(B.XPelsPerMeter(), 3780);
  A->Canvas()->Brush()->SetColor(clRed);
  A->Canvas()->FillRect(Rect(0, 0, 4, 4));
  EXPECT_EQ(PixelAt(&B, 0, 0), clWhite);
  static_cast<uchar*>(B.ScanLine(0))[0] = 0;
  EXPECT_EQ(PixelAt(A, 0, 0), clRed);
  EXPECT_EQ(PixelAt(&B, 0, 0), TColor(0x00FFFF));

  B.Assign(nullptr);
  EXPECT_TRUE(B.Empty());
  A->Free();
}

TEST_F(BitmapTest, HandleSharesThePixelsAndCanBeAdopted) {
  TBitmap B;
  B.SetSize(4, 4);
  HDC DC = CreateCompatibleDC(nullptr);
  HGDIOBJ Old = SelectObject(DC, B.Handle());
  HBRUSH Brush = CreateSolidBrush(0x0000FF);
  FillRect(DC, Rect(0, 0, 2, 2), Brush);
  EXPECT_EQ(PixelAt(&B, 1, 1), clRed);
  BITMAP Info;
  ASSERT_EQ(GetObject(B.Handle(), sizeof Info, &Info), int(sizeof Info));
  EXPECT_EQ(Info.bmWidth, 4);
  SelectObject(DC, Old);

  HBITMAP Released = B.ReleaseHandle();
  EXPECT_FALSE(B.HandleAllocated());
  SelectObject(DC, Released);
  FillRect(DC, Rect(0, 0, 4, 4), Brush);
  EXPECT_EQ(PixelAt(&B, 3, 3), clBlack) << "the bitmap keeps its own copy";
  SelectObject(DC, Old);

  TBitmap Adopter;
  Adopter.SetHandle(Released);
  EXPECT_EQ(Adopter.PixelFormat(), pfDevice);
  EXPECT_EQ(PixelAt(&Adopter, 3, 3), clRed);
  DeleteObject(Brush);
  DeleteDC(DC);
}

TEST_F(BitmapTest, DormantKeepsPixelsAndFreesHandles) {
  TBitmap* B = filled(pfDevice, 2, 2, clYellow);
  EXPECT_TRUE(B->HandleAllocated());
  B->Dormant();
  EXPECT_FALSE(B->HandleAllocated());
  EXPECT_EQ(PixelAt(B, 1, 1), clYellow);
  B->Canvas()->Pixels(0, 0);
  EXPECT_TRUE(B->HandleAllocated());
  B->Free();
}

TEST_F(BitmapTest, TransparentColorFollowsTheMode) {
  TBitmap* B = filled(pf24bit, 3, 3, clWhite);
  B->Canvas()->SetPixels(0, 2, clBlue);
  EXPECT_EQ(B->TransparentMode(), tmAuto);
  EXPECT_EQ(B->TransparentColor(), TColor(0x02FF0000));
  B->SetTransparentColor(clBtnFace);
  EXPECT_EQ(B->TransparentMode(), tmFixed);
  EXPECT_EQ(B->TransparentColor(), TColor(0x02F0F0F0));
  B->SetTransparentMode(tmAuto);
  EXPECT_EQ(B->TransparentColor(), TColor(0x02FF0000));
  B->SetMonochrome(true);
  EXPECT_EQ(B->TransparentColor(), TColor(0x02FFFFFF));
  B->Free();
}

TEST_F(BitmapTest, MaskMakesTheColourWhiteAndTheRestBlack) {
  TBitmap* B = filled(pfDevice, 3, 1, clRed);
  B->Canvas()->SetPixels(1, 0, clLime);
  B->Mask(clLime);
  EXPECT_TRUE(B->Monochrome());
  EXPECT_EQ(PixelAt(B, 0, 0), clBlack);
  EXPECT_EQ(PixelAt(B, 1, 0), clWhite);
  B->Free();
}

TEST_F(BitmapTest, CanvasDrawCopiesSkipsTransparentAndBlendsAlpha) {
  TBitmap* Dest = filled(pfDevice, 12, 4, clWhite);
  TBitmap* Opaque = filled(pf24bit, 2, 2, clRed);
  Dest->Canvas()->Draw(0, 0, Opaque);
  EXPECT_EQ(CountPixels(Dest, Rect(0, 0, 12, 4), clRed), 4);

  TBitmap* Keyed = filled(pf24bit, 2, 2, clBlue);
  Keyed->Canvas()->SetPixels(0, 1, clLime);  // bottom-left: the transparent colour
  Keyed->SetTransparent(true);
  Dest->Canvas()->Draw(3, 0, Keyed);
  EXPECT_EQ(CountPixels(Dest, Rect(3, 0, 5, 2), clBlue), 3);
  EXPECT_EQ(PixelAt(Dest, 3, 1), clWhite);

  TBitmap Alpha;
  Alpha.SetPixelFormat(pf32bit);
  Alpha.SetAlphaFormat(afDefined);
  Alpha.SetSize(2, 1);
  const uchar Pixels[] = {0, 0, 0, 128, 0, 0, 0, 0};  // half black, fully transparent
  std::memcpy(Alpha.ScanLine(0), Pixels, sizeof Pixels);
  Dest->Canvas()->Draw(6, 0, &Alpha);
  EXPECT_EQ(PixelAt(Dest, 6, 0), TColor(0x7F7F7F));
  EXPECT_EQ(PixelAt(Dest, 7, 0), clWhite);

  Dest->Canvas()->StretchDraw(Rect(8, 0, 12, 4), Opaque);
  EXPECT_EQ(CountPixels(Dest, Rect(8, 0, 12, 4), clRed), 16);
  Dest->Canvas()->Draw(0, 0, nullptr);
  SaveForReview(Dest->Image(), QStringLiteral("bitmap_draw.png"));
  Opaque->Free();
  Keyed->Free();
  Dest->Free();
}

TEST_F(BitmapTest, MonochromeBitmapsDrawInFontAndBrushColours) {
  TBitmap* Dest = filled(pfDevice, 2, 1, clWhite);
  TBitmap Mono;
  Mono.SetMonochrome(true);
  Mono.SetSize(2, 1);
  static_cast<uchar*>(Mono.ScanLine(0))[0] = 0x40;  // pixel 1 set
  Dest->Canvas()->Font()->SetColor(clRed);
  Dest->Canvas()->Brush()->SetColor(clLime);
  Dest->Canvas()->Draw(0, 0, &Mono);
  EXPECT_EQ(PixelAt(Dest, 0, 0), clRed);
  EXPECT_EQ(PixelAt(Dest, 1, 0), clLime);
  Dest->Free();
}

TEST_F(BitmapTest, CanvasDrawingFiresChangeEvents) {
  TBitmap B;
  B.SetSize(2, 2);
  int Changing = 0, Changed = 0;
  B.OnChanging = [&](TObject*) { ++Changing; };
  B.OnChange = [&](TObject*) { ++Changed; };
  B.Canvas()->FillRect(Rect(0, 0, 1, 1));
  EXPECT_EQ(Changing, 1);
  EXPECT_EQ(Changed, 1);
  EXPECT_TRUE(B.Modified());
}

TEST_F(BitmapTest, ImagesOverTheLimitsAreRefused) {
  TBitmap B;
  B.SetSize(MaxGraphicSide, 1);
  EXPECT_EQ(B.Width(), MaxGraphicSide);
  EXPECT_RAISES(B.SetSize(MaxGraphicSide + 1, 1), EInvalidGraphic,
                "Image is larger than 32768 pixels per side or 256 MB");
  EXPECT_RAISES(B.SetSize(MaxGraphicSide, 2049), EInvalidGraphic,
                "Image is larger than 32768 pixels per side or 256 MB");
  EXPECT_EQ(B.Width(), MaxGraphicSide) << "a refused size changes nothing";
}

}  // namespace
