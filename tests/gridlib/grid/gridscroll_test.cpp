#include "tests/gridlib/grid/gridfixture.h"

#include "gridlib/grid/gridparts.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"
#include "platform/ui/windowing/gestures.h"
#include "platform/ui/windowing/window.h"

#include <set>

namespace {

// Records the scroll commands and answers SelectCell from a set.
class TScrollGrid : public TCustomGridEh {
public:
  using TCustomGridEh::TCustomGridEh;
  void ScrollBarCommand(TScrollBarKind Kind, Integer Code, Integer Pos, bool AllowRightToLeftSwap) override {
    Commands.push_back({Kind, Code});
    TCustomGridEh::ScrollBarCommand(Kind, Code, Pos, AllowRightToLeftSwap);
  }
  bool SelectCell(Integer ACol, Integer ARow) override {
    return Selectable.empty() || Selectable.count(MakeGridCoordEh(ACol, ARow)) > 0;
  }
  struct TCommand {
    TScrollBarKind Kind;
    Integer Code;
    friend bool operator==(const TCommand&, const TCommand&) = default;
  };
  std::vector<TCommand> Commands;
  std::set<Int64> Selectable;
};

// A grid of 100 rows of 20 pixels without a horizontal bar.
class GridScrollTest : public GridFixtureOf<TScrollGrid> {
protected:
  void SetUp() override {
    GridFixtureOf<TScrollGrid>::SetUp();
    Grid->HorzScrollBar()->SetVisibleMode(sbNeverShowEh);
    Grid->VertScrollBar()->SetVisibleMode(sbNeverShowEh);
    Grid->SetRowCount(100);
  }
  void showWithWindow(Integer RolWindow) { showGrid(300, 20 + RolWindow); }
  void vert(Integer Code, Integer Pos = 0) { Grid->ScrollBarCommand(sbVertical, Code, Pos, true); }
};

TEST_F(GridScrollTest, LineDownByPixelsIsATwentiethOfTheWindow) {
  Grid->VertScrollBar()->SetSmoothStep(true);
  showWithWindow(400);
  vert(1);
  EXPECT_EQ(Grid->TopPos(), 20);
  showWithWindow(10);
  vert(1);
  EXPECT_EQ(Grid->TopPos(), 21);
}

TEST_F(GridScrollTest, PageDownByCellsStartsWithTheCutRow) {
  showWithWindow(90);  // rows 1..4 whole, row 5 cut
  vert(3);
  EXPECT_EQ(Grid->TopRow(), 5);
  EXPECT_EQ(Grid->TopPos(), 80);
}

TEST_F(GridScrollTest, ThumbTrackingFollowsTracking) {
  showWithWindow(100);
  Grid->VertScrollBar()->SetTracking(false);
  vert(5, 200);
  EXPECT_EQ(Grid->TopPos(), 0);
  vert(4, 200);
  EXPECT_EQ(Grid->TopPos(), 200);
  Grid->VertScrollBar()->SetTracking(true);
  vert(5, 411);  // past half of the row at 400: the next row
  EXPECT_EQ(Grid->TopPos(), 420);
}

TEST_F(GridScrollTest, RightToLeftSwapsHorizontalLineCommands) {
  SysLocale.MiddleEast = true;
  const TScopeExit Restore([] { SysLocale.MiddleEast = false; });
  Grid->SetBiDiMode(bdRightToLeft);
  Grid->SetColCount(20);
  showWithWindow(100);
  Grid->ScrollBarCommand(sbHorizontal, 0, 0, true);  // line left from the bar
  EXPECT_EQ(Grid->LeftCol(), 2);
  Grid->ScrollBarCommand(sbHorizontal, 0, 0, false);  // not from a bar: as given
  EXPECT_EQ(Grid->LeftCol(), 1);
}

TEST_F(GridScrollTest, MoveCurrentCellRefusesContraCells) {
  Grid->SetContraRowCount(1);
  showWithWindow(100);
  EXPECT_RAISES(Grid->MoveCurrentCell(1, 100, true, true), EInvalidGridOperationEh, "Grid index out of range");
  EXPECT_EQ(Grid->CurCell(), (TGridCoord{1, 1}));
  Grid->MoveCurrentCell(3, 50, true, true);
  EXPECT_EQ(Grid->CurCell(), (TGridCoord{3, 50}));
  EXPECT_EQ(Grid->AnchorCell(), Grid->CurCell());
  EXPECT_LE(Grid->TopRow(), 50);
  EXPECT_GE(Grid->LastFullVisibleRow(), 50);
}

TEST_F(GridScrollTest, MouseCoordLeftOfTheCells) {
  Grid->OutBoundaryData()->SetLeftIndent(10);
  showWithWindow(100);
  EXPECT_EQ(Grid->MouseCoord(5, 45), (TGridCoord{-1, 2}));
  EXPECT_EQ(Grid->MouseCoord(15, 45), (TGridCoord{0, 2}));
  EXPECT_EQ(Grid->MouseCoord(65, 5), (TGridCoord{1, 0}));
}

TEST_F(GridScrollTest, FindSelectableCellLooksPastTheTarget) {
  Grid->SetColCount(8);
  Grid->Selectable = {MakeGridCoordEh(6, 5)};
  EXPECT_EQ(Grid->FindSelectableCell(3, 5, 4, 5).X, 6);
  Grid->Selectable = {MakeGridCoordEh(0, 0)};  // nothing to the right
  EXPECT_EQ(Grid->FindSelectableCell(3, 5, 4, 5).X, 4);
}

TEST_F(GridScrollTest, PanScrollsByWholeRows) {
  showWithWindow(100);
  const auto Pan = [this](TPoint Location, TInteractiveGestureFlags Flags) {
    TGestureEventInfo Info;
    Info.GestureID = igiPan;
    Info.Location = Location;
    Info.Flags = Flags;
    return Grid->Perform(gdi::WM_GESTURE, 0, reinterpret_cast<gdi::LPARAM>(&Info));
  };
  EXPECT_EQ(Pan({50, 50}, {gfBegin}), 1);
  Pan({50, 60}, {});
  EXPECT_TRUE(Grid->Commands.empty());
  Pan({50, 95}, {});  // 45 pixels down from the start
  EXPECT_EQ(Grid->Commands, (std::vector<TScrollGrid::TCommand>{{sbVertical, 0}, {sbVertical, 0}}));

  // A zero-length row under the pan cannot be divided by: nothing scrolls.
  Grid->Commands.clear();
  Grid->SetRowHeights(Grid->TopRow(), 0);
  Pan({50, 0}, {gfBegin});
  Pan({50, 45}, {});
  EXPECT_TRUE(Grid->Commands.empty());
}

// A vertical scroll moves the rolling rows' pixels and leaves the fixed and
// contra rows where they are.
TEST_F(GridScrollTest, VerticalScrollBlitsTheDataArea) {
  Grid->SetContraRowCount(1);
  showWithWindow(200);  // rolling window 20 .. 200, contra row 200 .. 220
  const QImage Before = test::WindowImage(Grid).copy();
  Grid->SetTopPos(60);
  const QImage After = test::WindowImage(Grid);
  const Integer FixedBoundary = 20, ContraStart = Grid->VertAxis()->ContraStart();
  EXPECT_EQ(After.copy(0, 0, 300, FixedBoundary), Before.copy(0, 0, 300, FixedBoundary));
  EXPECT_EQ(After.copy(0, ContraStart, 300, 20), Before.copy(0, ContraStart, 300, 20));
  const Integer Moved = ContraStart - FixedBoundary - 60;
  EXPECT_EQ(After.copy(0, FixedBoundary, 300, Moved), Before.copy(0, FixedBoundary + 60, 300, Moved));
}

TEST_F(GridScrollTest, BackgroundPictureRepaintsInsteadOfBlitting) {
  showWithWindow(200);
  Grid->BackgroundData()->SetVisible(true);
  Grid->Repaint();
  Grid->SetTopPos(60);
  gdi::RECT Update{};
  EXPECT_TRUE(gdi::GetUpdateRect(Grid->Handle(), &Update, 0));
  EXPECT_EQ(TRect(Update), TRect(0, 0, 300, 220));
}

}  // namespace
