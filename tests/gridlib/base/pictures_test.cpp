#include "gridlib/base/pictures.h"

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "tests/platform/ui/pixelhelpers.h"
#include "tests/support/testing.h"

// Global, beside TRect, so that the test framework finds it.
inline void PrintTo(const TRect& R, std::ostream* Os) {
  *Os << "(" << R.Left << "," << R.Top << "," << R.Right << "," << R.Bottom << ")";
}

namespace {

// A picture of a solid W x H bitmap.
void setPicture(TPictureEh& Picture, Integer W, Integer H, TColor Color) {
  TBitmap Bitmap;
  Bitmap.SetSize(W, H);
  Bitmap.Canvas()->Brush()->SetColor(Color);
  Bitmap.Canvas()->FillRect(Rect(0, 0, W, H));
  Picture.SetBitmap(&Bitmap);
}

TEST(PictureEh, GetDestRectPlacesByEveryPlacement) {
  TPictureEh Picture;
  setPicture(Picture, 100, 50, clRed);
  const TRect R = Bounds(10, 20, 200, 200);  // X = 50, Y = 75 for the picture's size
  const struct {
    TImagePlacementEh Placement;
    TRect Src;
    TRect Expected;
  } Cases[] = {
      {ipTopLeftEh, R, Bounds(10, 20, 100, 50)},
      {ipTopCenterEh, R, Bounds(60, 20, 100, 50)},
      {ipTopRightEh, R, Bounds(110, 20, 100, 50)},
      {ipCenterLeftEh, R, Bounds(10, 95, 100, 50)},
      {ipCenterCenterEh, R, Bounds(60, 95, 100, 50)},
      {ipCenterRightEh, R, Bounds(110, 95, 100, 50)},
      {ipBottomLeftEh, R, Bounds(10, 170, 100, 50)},
      {ipBottomCenterEh, R, Bounds(60, 170, 100, 50)},
      {ipBottomRightEh, R, Bounds(110, 170, 100, 50)},
      {ipStretchEh, R, R},
      {ipTileEh, R, Bounds(10, 20, 100, 50)},
      // fill covers the square at full height and centres the overflow
      {ipFillEh, R, Bounds(-90, 20, 400, 200)},
      // fit keeps the whole width and centres vertically
      {ipFitEh, R, Bounds(10, 70, 200, 100)},
      {ipFitEh, Bounds(0, 0, 300, 50), Bounds(100, 0, 100, 50)},
      {ipFillEh, Bounds(0, 0, 300, 50), Bounds(0, -50, 300, 150)},
      // reduce-fit: fits when too large, else centred at its own size
      {ipReduceFitEh, Bounds(0, 0, 50, 50), Bounds(0, 12, 50, 25)},
      {ipReduceFitEh, Bounds(0, 0, 200, 200), Bounds(50, 75, 100, 50)},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(testing::Message() << "placement " << int(C.Placement));
    EXPECT_EQ(Picture.GetDestRect(C.Src, C.Placement), C.Expected);
  }
}

TEST(PictureEh, EmptyPictureFillsAndFitsTheWholeRect) {
  TPictureEh Picture;
  const TRect R = Bounds(5, 5, 40, 30);
  EXPECT_EQ(Picture.GetDestRect(R, ipFillEh), R);
  EXPECT_EQ(Picture.GetDestRect(R, ipFitEh), R);
  EXPECT_EQ(Picture.GetDestRect(R, ipCenterCenterEh), Bounds(25, 20, 0, 0));
}

TEST(PictureEh, PaintToStretchesIntoThePlacedRect) {
  TPictureEh Picture;
  setPicture(Picture, 100, 50, clRed);
  TBitmap Target;
  Target.SetSize(60, 60);
  Target.Canvas()->Brush()->SetColor(clWhite);
  Target.Canvas()->FillRect(Rect(0, 0, 60, 60));
  Picture.PaintTo(Target.Canvas(), Rect(0, 0, 50, 50), ipReduceFitEh, TPoint(), TRect());
  EXPECT_EQ(CountPixels(&Target, Rect(0, 0, 60, 60), clRed), 50 * 25);
  EXPECT_EQ(CountPixels(&Target, Rect(0, 12, 50, 37), clRed), 50 * 25);
}

// Every tile is drawn at the picture's size; one corner pixel per tile is
// marked, so the marks count the tiles.
TEST(PictureEh, TileDrawsWholeTilesPastTheEdges) {
  TPictureEh Picture;
  setPicture(Picture, 30, 30, clWhite);
  Picture.Bitmap()->Canvas()->SetPixels(0, 0, clRed);
  TBitmap Target;
  Target.SetSize(150, 100);
  Target.Canvas()->Brush()->SetColor(clBlack);
  Target.Canvas()->FillRect(Rect(0, 0, 150, 100));
  Picture.PaintTo(Target.Canvas(), Rect(0, 0, 100, 50), ipTileEh, TPoint(), TRect());
  EXPECT_EQ(CountPixels(&Target, Rect(0, 0, 150, 100), clRed), 4 * 2);
  EXPECT_EQ(PixelAt(&Target, 90, 30), clRed);
  EXPECT_EQ(PixelAt(&Target, 119, 59), clWhite) << "the last tile runs past the rect";
  EXPECT_EQ(PixelAt(&Target, 120, 0), clBlack);
}

}  // namespace
