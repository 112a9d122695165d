#include "tests/gridlib/grid/gridfixture.h"

#include "gridlib/grid/gridparts.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"
#include "platform/ui/graphics/picture.h"

namespace {

using GridStyleTest = GridFixture;

TEST_F(GridStyleTest, BrightLinesAvoidTheGridColour) {
  TGridLineColorsEh* Colors = Grid->GridLineColors();
  EXPECT_EQ(ColorToRGB(Colors->GetBrightColor()), ColorToRGB(clSilver));
  Grid->SetColor(clSilver);
  EXPECT_EQ(ColorToRGB(Colors->GetBrightColor()), ColorToRGB(clGray));
}

TEST_F(GridStyleTest, BrightColourReachesOnlyBrightDefaults) {
  TGridLineColorsEh* Colors = Grid->GridLineColors();
  Colors->SetBrightColor(clRed);
  for (TColor C : {Colors->GetDataHorzColor(), Colors->GetDataVertColor(), Colors->GetVertAreaContraVertColor(),
                   Colors->GetHorzAreaContraHorzColor(), Colors->GetHorzAreaFrozenHorzColor(),
                   Colors->GetVertAreaFrozenVertColor()})
    EXPECT_EQ(C, clRed);
  for (TColor C : {Colors->GetFixedVertColor(), Colors->GetFixedHorzColor(), Colors->GetVertAreaContraBorderColor(),
                   Colors->GetHorzAreaContraBorderColor(), Colors->GetVertAreaFrozenBorderColor()})
    EXPECT_EQ(ColorToRGB(C), ColorToRGB(clGray));
}

TEST_F(GridStyleTest, SelectionStylesFallBackWithoutThemes) {
  TGridSelectionDrawParamsEh* Params = Grid->SelectionDrawParams();
  Params->SetSelectionStyle(gsdsListViewThemedEh);
  EXPECT_EQ(Params->GetActualSelectionStyle(), gsdsClassicEh);
  Params->SetDrawFocusFrame(false);
  EXPECT_FALSE(Params->DrawFocusFrame());
  Params->SetDrawFocusFrameStored(false);
  EXPECT_EQ(Params->DrawFocusFrame(), Params->DefaultDrawFocusFrame());
}

TEST_F(GridStyleTest, PolylineLeavesTheCallersPoints) {
  SysLocale.MiddleEast = true;
  const TScopeExit Restore([] { SysLocale.MiddleEast = false; });
  Grid->SetBiDiMode(bdRightToLeft);
  TBitmap Bitmap;
  Bitmap.SetSize(10, 10);
  const TPoint Points[2] = {{2, 1}, {2, 5}};
  GridPolylineEh(Grid, Bitmap.Canvas(), Points, 1);
  EXPECT_EQ(Points[0].X, 2);
  EXPECT_EQ(PixelAt(&Bitmap, 3, 2), TColor(0));  // drawn one pixel to the right
}

// ---------------------------------------------------------------------------
// strips and background picture

TEST_F(GridStyleTest, StripsAndCornerPriorities) {
  showGrid(300, 200);
  TGridOutBoundaryDataEh* Strips = Grid->OutBoundaryData();
  Strips->SetTopIndent(20);
  Strips->SetLeftIndent(30);
  Strips->SetLeftTopDrawPriority(crpVerticalDataPriorityEh);
  TRect Top, Left;
  ASSERT_TRUE(Strips->GetOutBoundaryRect(Top, cbtTopEh));
  ASSERT_TRUE(Strips->GetOutBoundaryRect(Left, cbtLeftEh));
  EXPECT_EQ(Top.Left, 30);
  EXPECT_EQ(Left.Top, 0);
  Strips->SetLeftTopDrawPriority(crpHorizontalDataPriorityEh);
  Strips->GetOutBoundaryRect(Top, cbtTopEh);
  Strips->GetOutBoundaryRect(Left, cbtLeftEh);
  EXPECT_EQ(Top.Left, 0);
  EXPECT_EQ(Left.Top, 20);
  Strips->SetTopIndent(-4);
  EXPECT_FALSE(Strips->GetOutBoundaryRect(Top, cbtTopEh));
}

TEST_F(GridStyleTest, PicturePlacements) {
  Grid->HorzScrollBar()->SetVisibleMode(sbNeverShowEh);
  Grid->VertScrollBar()->SetVisibleMode(sbNeverShowEh);
  showGrid(300, 300);
  TGridBackgroundDataEh* Background = Grid->BackgroundData();
  Background->Picture()->Bitmap()->SetSize(200, 100);
  struct Case {
    const char* Name;
    TImagePlacementEh Placement;
    Integer HorzMargin;
    TRect Expected;
  } Cases[] = {
      {"fit", ipFitEh, 0, {0, 75, 300, 225}},
      {"fill", ipFillEh, 0, {-150, 0, 450, 300}},
      {"stretch with a margin", ipStretchEh, 10, {10, 0, 310, 300}},
      {"centre", ipCenterCenterEh, 0, {50, 100, 250, 200}},
      {"bottom right", ipBottomRightEh, 0, {100, 200, 300, 300}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Background->SetPlacement(C.Placement);
    Background->SetHorzMargin(C.HorzMargin);
    EXPECT_EQ(Background->PictureRect(), C.Expected);
  }
}

// Leaves the empty area to the picture, as descendants that show one do.
class TPictureGrid : public TCustomGridEh {
public:
  using TCustomGridEh::TCustomGridEh;
  void PaintEmptyArea(Integer ACol, Integer ARow, const TRect& ARect) override {
    if (!BackgroundDrawn()) TCustomGridEh::PaintEmptyArea(ACol, ARow, ARect);
  }
};

using GridBackgroundTest = GridFixtureOf<TPictureGrid>;

TEST_F(GridBackgroundTest, BackgroundPictureIsPainted) {
  Grid->HorzScrollBar()->SetVisibleMode(sbNeverShowEh);
  Grid->VertScrollBar()->SetVisibleMode(sbNeverShowEh);
  Grid->SetRowCount(3);
  showGrid(300, 300);
  TBitmap* Picture = Grid->BackgroundData()->Picture()->Bitmap();
  Picture->SetSize(20, 20);
  Picture->Canvas()->Brush()->SetColor(clRed);
  Picture->Canvas()->FillRect(TRect(0, 0, 20, 20));
  Grid->BackgroundData()->SetPlacement(ipTileEh);
  Grid->BackgroundData()->SetVisible(true);
  Grid->Repaint();
  saveForReview(QStringLiteral("grid-background.png"));
  EXPECT_EQ(pixel(150, 250), ColorToRGB(clRed));  // below the cells, tiled
}

}  // namespace
