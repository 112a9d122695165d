#include "tests/gridlib/grid/gridfixture.h"

#include "gridlib/base/dragwindows.h"
#include "gridlib/grid/inplaceedit.h"
#include "platform/ui/windowing/timers.h"

using namespace gdi;

namespace {

// Counts the cells drawn and the states they were drawn with; hot tracking
// and the sizable fixed columns are switches.
class TMouseGrid : public TCustomGridEh {
public:
  using TCustomGridEh::TCustomGridEh;
  void DrawCell(Integer ACol, Integer ARow, const TRect& ARect, TGridDrawState AState) override {
    ++Drawn;
    if (AState.Contains(gdHotTrack)) HotDrawn.push_back({ACol, ARow});
    TCustomGridEh::DrawCell(ACol, ARow, ARect, AState);
  }
  bool CanHotTrackCell(Integer X, Integer Y) override { return HotTrack && X >= 0 && Y >= 0; }
  bool FixedColsSizable() override { return FixedSizable; }
  void Click() override {
    ++Clicks;
    TCustomGridEh::Click();
  }
  Integer Drawn = 0;
  std::vector<TGridCoord> HotDrawn;
  bool HotTrack = false;
  bool FixedSizable = false;
  Integer Clicks = 0;
};

void PrintTo(const TGridCoord& C, std::ostream* Os) { *Os << "(" << C.X << "," << C.Y << ")"; }

// The default grid: one fixed column and row, cells 50 x 20, so column 1
// ends at x 100 and row 1 at y 40.
class GridMouseTest : public GridFixtureOf<TMouseGrid> {
protected:
  void SetUp() override {
    GridFixtureOf<TMouseGrid>::SetUp();
    Grid->HorzScrollBar()->SetVisibleMode(sbNeverShowEh);
    Grid->VertScrollBar()->SetVisibleMode(sbNeverShowEh);
    Grid->SetOptions(Grid->Options() + TGridOptionsEh{goRowSizingEh, goColSizingEh});
  }
  void show(Integer Width = 300, Integer Height = 120) {
    showGrid(Width, Height);
    test::Activate(Form);
    Grid->SetFocus();
  }
  // Past the double-click time, so the next press is a single one.
  void later() { test::AdvanceTime(1000); }
  TGridStateEh sizingAt(Integer X, Integer Y, Integer* Index = nullptr) {
    TGridStateEh State = gsNormalEh;
    Integer I = 0, Pos = 0, Ofs = 0;
    Grid->CalcSizingState(X, Y, State, I, Pos, Ofs);
    if (Index) *Index = I;
    return State;
  }
  void drag(TPoint From, TPoint To) {
    test::MouseDown(Grid, From);
    test::MouseMove(Grid, To, {ssLeft});
    test::MouseUp(Grid, To);
  }
};

TEST_F(GridMouseTest, SizingBands) {
  show();
  struct Case {
    const char* Name;
    Integer X, Y;
    TGridStateEh Expected;
    Integer Index;
  } Cases[] = {
      {"column line - 3", 97, 10, gsColSizingEh, 1},
      {"column line + 4", 104, 10, gsColSizingEh, 1},
      {"column line - 4", 96, 10, gsNormalEh, -1},
      {"column line + 5", 105, 10, gsNormalEh, -1},
      {"column line below the titles", 100, 30, gsNormalEh, -1},
      {"row line - 2", 10, 38, gsRowSizingEh, 1},
      {"row line + 3", 10, 43, gsRowSizingEh, 1},
      {"row line - 3", 10, 37, gsNormalEh, -1},
      {"row line + 4", 10, 44, gsNormalEh, -1},
      {"row line over a data cell", 75, 40, gsNormalEh, -1},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Integer Index = 0;
    EXPECT_EQ(sizingAt(C.X, C.Y, &Index), C.Expected);
    EXPECT_EQ(Index, C.Index);
  }
}

TEST_F(GridMouseTest, FixedColumnBordersAreSizableOnlyWhenAllowed) {
  Grid->SetFixedColCount(2);
  Grid->SetFrozenColCount(1);
  show();
  Integer Index = 0;
  EXPECT_EQ(sizingAt(100, 10, &Index), gsColSizingEh) << "the last frozen column's right border";
  EXPECT_EQ(Index, 1);
  EXPECT_EQ(sizingAt(50, 10), gsNormalEh) << "a non-frozen fixed column";
  Grid->FixedSizable = true;
  EXPECT_EQ(sizingAt(50, 10, &Index), gsColSizingEh);
  EXPECT_EQ(Index, 0);
}

TEST_F(GridMouseTest, DraggingALineSizesTheColumnAndRow) {
  show();
  test::TStepClock Clock{1000};
  TClockScope ClockScope{Clock};
  drag({101, 10}, {131, 10});
  EXPECT_EQ(Grid->ColWidths(1), 80);
  later();
  EXPECT_EQ(Grid->GridState(), gsNormalEh);
  drag({10, 41}, {10, 31});
  EXPECT_EQ(Grid->RowHeights(1), 10);
}

TEST_F(GridMouseTest, ASizingResultOfOnePixelIsNotApplied) {
  test::TStepClock Clock{1000};
  TClockScope ClockScope{Clock};
  show();
  drag({100, 10}, {51, 10});
  EXPECT_EQ(Grid->ColWidths(1), 50);
  later();
  drag({100, 10}, {52, 10});
  EXPECT_EQ(Grid->ColWidths(1), 2);
}

TEST_F(GridMouseTest, TheSizingLineIsDrawnWhileDragging) {
  show();
  test::MouseDown(Grid, {101, 10});
  test::MouseMove(Grid, {141, 10}, {ssLeft});
  Grid->Repaint();
  EXPECT_EQ(pixel(139, 60), ColorToRGB(cl3DDkShadow)) << "the line one pixel before the new edge";
  test::MouseUp(Grid, {141, 10});
}

TEST_F(GridMouseTest, ShiftClickWithRangeSelectMovesOnlyTheAnchor) {
  Grid->SetOptions(Grid->Options() + TGridOptionsEh{goRangeSelectEh} - TGridOptionsEh{goEditingEh});
  show();
  test::Click(Grid, {75, 30});
  test::Click(Grid, {175, 70}, mbLeft, {ssShift});
  EXPECT_EQ(Grid->CurCell(), (TGridCoord{1, 1}));
  EXPECT_EQ(Grid->AnchorCell(), (TGridCoord{3, 3}));
}

TEST_F(GridMouseTest, DraggingASelectionMovesTheAnchor) {
  Grid->SetOptions(Grid->Options() + TGridOptionsEh{goRangeSelectEh} - TGridOptionsEh{goEditingEh});
  show();
  test::MouseDown(Grid, {75, 30});
  EXPECT_EQ(Grid->GridState(), gsSelectingEh);
  test::MouseMove(Grid, {125, 50}, {ssLeft});
  test::MouseUp(Grid, {175, 50});
  EXPECT_EQ(Grid->CurCell(), (TGridCoord{1, 1}));
  EXPECT_EQ(Grid->AnchorCell(), (TGridCoord{3, 2}));
  EXPECT_EQ(Grid->GridState(), gsNormalEh);
  EXPECT_FALSE(Grid->GridTimerEnabled());
}

TEST_F(GridMouseTest, ClickingTheCurrentCellWithEditingShowsTheEditor) {
  test::TStepClock Clock{1000};
  TClockScope ClockScope{Clock};
  Grid->SetOptions(Grid->Options() + TGridOptionsEh{goEditingEh});
  show();
  test::Click(Grid, {125, 30});
  EXPECT_EQ(Grid->Clicks, 1);
  EXPECT_FALSE(Grid->EditorMode());
  later();
  test::Click(Grid, {125, 30});
  EXPECT_EQ(Grid->Clicks, 2);
  EXPECT_TRUE(Grid->EditorMode());
  ASSERT_NE(Grid->InplaceEditor(), nullptr);
  EXPECT_TRUE(Grid->InplaceEditor()->Visible());
  later();
  test::Click(Grid, {175, 50});
  EXPECT_EQ(Grid->CurCell(), (TGridCoord{3, 2}));
  EXPECT_EQ(Grid->Clicks, 3);
}

TEST_F(GridMouseTest, MovingAColumnRightDropsBeforeTheHalfItIsOver) {
  test::TStepClock Clock{1000};
  TClockScope ClockScope{Clock};
  Grid->SetOptions(Grid->Options() + TGridOptionsEh{goColMovingEh});
  Grid->SetColWidths(1, 60);  // columns: 0 [0,50) 1 [50,110) 2 [110,160) 3 [160,210) 4 [210,260)
  show();
  test::MouseDown(Grid, {70, 10});
  EXPECT_EQ(Grid->GridState(), gsColMovingEh);
  EXPECT_TRUE(GetGridMoveLineEh()->Visible());
  test::MouseMove(Grid, {200, 10}, {ssLeft});
  test::AdvanceTime(Grid->GridTimerInterval());
  EXPECT_EQ(Grid->MoveToIndex(), 4) << "over column 3's right half";
  test::MouseUp(Grid, {200, 10});
  EXPECT_EQ(Grid->ColWidths(3), 60) << "CanEndColMoving takes one off";
  EXPECT_FALSE(GetGridMoveLineEh()->Visible());
  EXPECT_EQ(Grid->GridState(), gsNormalEh);
}

TEST_F(GridMouseTest, MovingARowByItsFixedCell) {
  Grid->SetOptions(Grid->Options() + TGridOptionsEh{goRowMovingEh});
  Grid->SetRowHeights(1, 30);
  show(300, 200);
  test::MouseDown(Grid, {25, 30});
  EXPECT_EQ(Grid->GridState(), gsRowMovingEh);
  const TRect Line = GetGridMoveLineEh()->BoundsRect();
  EXPECT_EQ(Line.Height(), 7);
  EXPECT_EQ(Line.Width(), Grid->HorzAxis()->GridClientLen() + 8);
  test::MouseUp(Grid, {25, 30});
  EXPECT_EQ(Grid->GridState(), gsNormalEh);
}

TEST_F(GridMouseTest, WithoutHotTrackingTheMouseInvalidatesNothing) {
  show();
  Grid->Update();
  Grid->Drawn = 0;
  for (TPoint P : {TPoint{75, 30}, TPoint{125, 50}, TPoint{10, 10}}) test::MouseMove(Grid, P);
  Grid->Update();
  EXPECT_EQ(Grid->Drawn, 0);
  EXPECT_EQ(Grid->HotTrackCell(), (TGridCoord{-1, -1}));
}

TEST_F(GridMouseTest, HotTrackingMarksTheCellUnderTheMouse) {
  Grid->HotTrack = true;
  Grid->SetRowCount(40);
  show();
  test::MouseMove(Grid, {125, 50});
  Grid->HotDrawn.clear();
  Grid->Update();
  EXPECT_EQ(Grid->HotTrackCell(), (TGridCoord{2, 2}));
  EXPECT_EQ(Grid->HotTrackSpot()->InCellX, 25);
  EXPECT_EQ(Grid->HotTrackSpot()->InCellY, 10);
  // A scroll moves another row under the still mouse.
  test::Wheel(Grid, {125, 50}, -120);
  EXPECT_EQ(Grid->TopRow(), 2);
  EXPECT_EQ(Grid->HotTrackCell(), (TGridCoord{2, 3}));
}

}  // namespace
