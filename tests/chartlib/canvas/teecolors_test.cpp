#include "chartlib/canvas/teecolors.h"

#include "platform/rtl/streams.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"

#include "tests/support/testing.h"

#include <QtEndian>
#include <memory>

namespace {

TEST(TeeColorsTest, ColourRoutines) {
  EXPECT_EQ(TeeDarkenColor(0x00204080, 0x40), 0x00000040);
  EXPECT_EQ(TeeBrightenColor(0x00F0F0F0, 0x20), 0x00FFFFFF);
  EXPECT_EQ(TeeDarkenColor(TColor(0x7F204080), 0), 0x00204080);  // the top byte is dropped
  const TRGB C = TeeColorToRGB(0x00112233);
  EXPECT_EQ(C.Blue, 0x11);
  EXPECT_EQ(C.Green, 0x22);
  EXPECT_EQ(C.Red, 0x33);
  EXPECT_EQ(ColorAlpha(TColor(0x80123456)), 0x80);
  EXPECT_EQ(ColorFrom(TColor(0x7F123456), 0x40), TColor(0x40123456));
}

TEST(TeeColorsTest, SystemColorResolvesOnlySystemColours) {
  EXPECT_EQ(SystemColor(clDefault), clDefault);
  EXPECT_EQ(SystemColor(clNone), clBlack);
  EXPECT_EQ(SystemColor(clBtnFace), ColorToRGB(clBtnFace));
  EXPECT_EQ(SystemColor(0x00123456), 0x00123456);
}

TEST(TeeColorsTest, ScanLinesSwitchTheFormatAndAddressEveryRow) {
  TBitmap B;
  B.SetSize(3, 4);
  TRGBArray Rows = TeeCalcScanLines(&B);
  EXPECT_EQ(B.PixelFormat(), pf24bit);
  ASSERT_EQ(Rows.size(), 4u);
  Rows[3][2] = {0x30, 0x20, 0x10};  // blue, green, red
  EXPECT_EQ(B.Canvas()->Pixels(2, 3), TColor(0x302010));

  TRGBAArray Rgba = TeeCalcScanLinesRGBA(&B);
  EXPECT_EQ(B.PixelFormat(), pf32bit);
  // over 32-bit rows the Red field holds the blue byte
  EXPECT_EQ(Rgba[3][2].Red, 0x30);
  EXPECT_EQ(Rgba[3][2].Blue, 0x10);

  B.SetSize(3, 1);
  EXPECT_EQ(TeeCalcScanLines(&B).size(), 1u);
  B.SetSize(3, 0);
  EXPECT_TRUE(TeeCalcScanLines(&B).empty());
}

TEST(TeeColorsTest, SetBitmapSizeKeepsPixelsOfAnUnchangedSize) {
  TBitmap B;
  B.SetSize(4, 4);
  B.Canvas()->SetPixels(1, 1, clRed);
  TeeSetBitmapSize(&B, 4, 4);
  EXPECT_EQ(B.Canvas()->Pixels(1, 1), clRed);
  TeeSetBitmapSize(&B, 5, 4);
  EXPECT_EQ(B.Width(), 5);
}

// The two pixels-per-metre fields of a saved bitmap's header.
std::pair<qint32, qint32> savedResolution(TBitmap& B) {
  TMemoryStream S;
  B.SaveToStream(&S);
  const auto* Bytes = static_cast<const uchar*>(S.Memory());
  return {qFromLittleEndian<qint32>(Bytes + 38), qFromLittleEndian<qint32>(Bytes + 42)};
}

TEST(TeeColorsTest, BitmapDpiIsSavedAsPixelsPerMetre) {
  TBitmap B;
  B.SetSize(2, 2);
  TeeSetBitmapDPI(&B, 96);
  EXPECT_EQ(savedResolution(B), std::make_pair(3780, 3780));
  // beyond 16 bits: the whole value is kept
  TeeSetBitmapDPI(&B, 2000);
  EXPECT_EQ(savedResolution(B), std::make_pair(78740, 78740));
}

}  // namespace
