#include "tests/gridlib/grid/gridfixture.h"

#include "gridlib/grid/gridparts.h"
#include "platform/ui/graphics/metrics.h"

namespace {

using GridLayoutTest = GridFixture;

TEST_F(GridLayoutTest, TheSecondPassAddsTheOtherBar) {
  const Integer Bar = GetSystemMetrics(SM_CYHSCROLL);
  // Rows fit exactly (120); columns do not (300 in 280).
  Grid->SetBounds(0, 0, 280, 120);
  Form->Show();
  EXPECT_TRUE(Grid->HorzScrollBarIsShowing());
  EXPECT_TRUE(Grid->VertScrollBarIsShowing());  // the horizontal bar took the rows' room
  EXPECT_EQ(Grid->VertAxis()->GridClientStop(), 120 - Bar);
  EXPECT_EQ(Grid->HorzAxis()->GridClientStop(), 280 - Bar);
  EXPECT_EQ(Grid->VertScrollBarPanelControl()->BoundsRect(), TRect(280 - Bar, 0, 280, 120 - Bar));
  EXPECT_EQ(Grid->HorzScrollBarPanelControl()->BoundsRect(), TRect(0, 120 - Bar, 280 - Bar, 120));
  EXPECT_EQ(Grid->CornerScrollBarPanelControl()->BoundsRect(), TRect(280 - Bar, 120 - Bar, 280, 120));

  // Roomy: no bar at all.
  Grid->SetBounds(0, 0, 400, 200);
  EXPECT_FALSE(Grid->HorzScrollBarIsShowing());
  EXPECT_FALSE(Grid->VertScrollBarIsShowing());
  EXPECT_EQ(Grid->CornerScrollBarPanelControl()->Width(), 0);
}

TEST_F(GridLayoutTest, SizeGripPlacement) {
  const Integer Bar = GetSystemMetrics(SM_CYHSCROLL);
  showGrid(400, 200);
  Grid->SetSizeGripAlwaysShow(true);
  EXPECT_EQ(Grid->CornerScrollBarPanelControl()->BoundsRect(), TRect(400 - Bar, 200 - Bar, 400, 200));
  EXPECT_TRUE(Grid->CornerScrollBarPanelControl()->TriangleWindow());
  EXPECT_EQ(Grid->CornerScrollBarPanelControl()->GripActiveStatus(), gasAlwaysEh);

  Grid->SetSizeGripAlwaysShow(false);
  Grid->SetRowCount(30);  // the vertical bar shows
  Grid->SetSizeGripPostion(sgpTopRight);
  EXPECT_EQ(Grid->ExtraSizeGripControl()->BoundsRect(), TRect(400 - Bar, 0, 400, Bar));
  EXPECT_TRUE(Grid->ExtraSizeGripControl()->Visible());
  EXPECT_EQ(Grid->VertScrollBarPanelControl()->BoundsRect(), TRect(400 - Bar, Bar, 400, 200));
  EXPECT_EQ(Grid->CornerScrollBarPanelControl()->GripActiveStatus(), gasNeverEh);
}

TEST_F(GridLayoutTest, RollingLengthsWaitForTheNextRead) {
  showGrid(400, 200);
  const Integer Boundary = Grid->HorzAxis()->FixedBoundary();
  Grid->SetColWidths(0, 80);  // fixed: at once
  EXPECT_EQ(Grid->HorzAxis()->FixedBoundary(), Boundary + 30);
  Grid->SetColWidths(2, 80);  // rolling: only marked
  EXPECT_TRUE(Grid->HorzAxis()->RolLocCelPosArrObsolete());
  EXPECT_EQ(Grid->HorzAxis()->RolLen(), 280);
  EXPECT_FALSE(Grid->HorzAxis()->RolLocCelPosArrObsolete());
}

TEST_F(GridLayoutTest, IndentsShrinkTheCellArea) {
  showGrid(400, 200);
  Grid->OutBoundaryData()->SetTopIndent(20);
  Grid->OutBoundaryData()->SetLeftIndent(30);
  EXPECT_EQ(Grid->HorzAxis()->GridClientStart(), 30);
  EXPECT_EQ(Grid->VertAxis()->GridClientStart(), 20);
  EXPECT_EQ(Grid->HorzAxis()->FixedBoundary(), 80);
  EXPECT_EQ(Grid->MouseCoord(31, 21), (TGridCoord{0, 0}));
}

TEST_F(GridLayoutTest, ScrollBarSettings) {
  TGridScrollBarEh* Bar = Grid->VertScrollBar();
  Bar->SetVisible(false);
  EXPECT_EQ(Bar->VisibleMode(), sbNeverShowEh);
  Bar->SetVisible(true);
  EXPECT_EQ(Bar->VisibleMode(), sbAutoShowEh);

  // The rolling length one pixel more than the window shows the bar.
  Grid->HorzScrollBar()->SetVisibleMode(sbNeverShowEh);
  showGrid(300, 20 + 100);
  Grid->SetRowCount(6);
  Grid->SetRowHeights(5, 21);
  EXPECT_TRUE(Bar->IsScrollBarShowing());
  Grid->SetRowHeights(5, 20);
  EXPECT_FALSE(Bar->IsScrollBarShowing());

  Bar->SetSize(17);
  Grid->DoChangeScale(3, 2, false);  // scale factor 1.5
  EXPECT_EQ(Bar->ActualSize(), 26);  // 25.5 rounds up
  Bar->SetSize(0);
  EXPECT_EQ(Bar->ActualSize(), Grid->ScrollBarSize());
}

}  // namespace
