#include "tests/gridlib/grid/gridfixture.h"

#include "platform/rtl/strutils.h"
#include "platform/rtl/scopeexit.h"

#include <map>

namespace {

constexpr TColor Silver = TColor(0xC0C0C0), Grey = TColor(0x808080), White = TColor(0xFFFFFF);
constexpr TColor FixedPlaceholder = TColor(0xC0DCC0);

// Records the state each cell is drawn with.
class TStateGrid : public TCustomGridEh {
public:
  using TCustomGridEh::TCustomGridEh;
  void DrawCell(Integer ACol, Integer ARow, const TRect& ARect, TGridDrawState AState) override {
    States[MakeGridCoordEh(ACol, ARow)] = AState;
    TCustomGridEh::DrawCell(ACol, ARow, ARect, AState);
  }
  TGridDrawState stateOf(Integer ACol, Integer ARow) { return States[MakeGridCoordEh(ACol, ARow)]; }
  std::map<Int64, TGridDrawState> States;
};

// 400 x 200 fits the six columns and rows with room for a contra column, so
// no scroll bar shows.
class GridPaintTest : public GridFixtureOf<TStateGrid> {
protected:
  void SetUp() override {
    GridFixtureOf<TStateGrid>::SetUp();
    showGrid(400, 200);
  }
};

TEST_F(GridPaintTest, PlaceholderCellsAndTheirLines) {
  saveForReview(QStringLiteral("grid-plain.png"));
  EXPECT_EQ(pixel(140, 15), FixedPlaceholder);  // fixed cell (2, 0)
  EXPECT_EQ(pixel(140, 55), White);             // data cell (2, 2)
  EXPECT_EQ(pixel(149, 50), Silver);            // its right line
  EXPECT_EQ(pixel(120, 59), Silver);            // its bottom line
  EXPECT_EQ(pixel(49, 50), Grey);               // the fixed column's right line
  EXPECT_GT(InkIn(image(), TRect(102, 42, 130, 56)), 5);  // "2:2"
  EXPECT_EQ(pixel(140, 35), White);  // (2, 1): not current
}

TEST_F(GridPaintTest, SelectedCellColourFollowsTheActiveControl) {
  EXPECT_EQ(pixel(95, 35), ColorToRGB(clBtnShadow));  // current cell (1, 1), grid not active
  Grid->SetFocus();
  Grid->Repaint();
  EXPECT_EQ(pixel(95, 35), ColorToRGB(clHighlight));
}

TEST_F(GridPaintTest, ContraBoundaryLine) {
  // Without contra cells no boundary line, whatever the options say.
  for (Integer X = 300; X < 400; ++X) ASSERT_NE(pixel(X, 50), Grey) << X;
  Grid->SetContraColCount(1);
  Grid->Repaint();
  saveForReview(QStringLiteral("grid-contra.png"));
  const Integer ContraStart = Grid->HorzAxis()->ContraStart();
  EXPECT_EQ(ContraStart, 400 - 51);
  EXPECT_EQ(pixel(ContraStart, 50), Grey);  // the line, in the dark colour
  EXPECT_EQ(pixel(ContraStart + 1, 50), White);  // the contra column starts one pixel further
  EXPECT_EQ(pixel(ContraStart + 40, 10), FixedPlaceholder);
}

TEST_F(GridPaintTest, TheDarkerBorderOwnsTheCorner) {
  Grid->SetFrozenRowCount(1);  // row 0 becomes data: silver right lines, a grey bottom line
  Grid->Repaint();
  EXPECT_EQ(pixel(149, 10), Silver);
  EXPECT_EQ(pixel(120, 19), Grey);
  EXPECT_EQ(pixel(149, 19), Grey);
}

TEST_F(GridPaintTest, ZeroWidthColumnIsSkipped) {
  Grid->SetColWidths(2, 0);
  Grid->States.clear();
  Grid->Repaint();
  EXPECT_GT(InkIn(image(), TRect(102, 42, 130, 56)), 5);  // "3:2" where "2:2" was
  EXPECT_EQ(Grid->States.count(MakeGridCoordEh(2, 2)), 0U);
}

TEST_F(GridPaintTest, CellStates) {
  Grid->SetFocus();
  Grid->SetAnchorCell(3, 2);
  Grid->States.clear();
  Grid->Repaint();
  EXPECT_EQ(Grid->stateOf(1, 1), (TGridDrawState{gdSelected, gdCurrent, gdFocused}));
  EXPECT_EQ(Grid->stateOf(3, 2), (TGridDrawState{gdSelected}));
  EXPECT_EQ(Grid->stateOf(4, 2), TGridDrawState{});
  EXPECT_EQ(Grid->stateOf(2, 0), TGridDrawState{gdFixed});

  Grid->SetOptions(Grid->Options() + TGridOptionsEh{goRowSelectEh});
  Grid->States.clear();
  Grid->Repaint();
  EXPECT_TRUE(Grid->stateOf(4, 1).Contains(gdRowSelected));
  EXPECT_FALSE(Grid->stateOf(4, 2).Contains(gdRowSelected));
}

TEST_F(GridPaintTest, RightToLeftMirrorsTheCells) {
  SysLocale.MiddleEast = true;
  const TScopeExit Restore([] { SysLocale.MiddleEast = false; });
  Grid->SetBiDiMode(bdRightToLeft);
  Grid->Repaint();
  saveForReview(QStringLiteral("grid-rtl.png"));
  // The fixed column is now at the right edge; the data cell (2, 2) at
  // 400 - 150 .. 400 - 100.
  EXPECT_EQ(pixel(399 - 10, 55), FixedPlaceholder);
  EXPECT_EQ(pixel(260, 55), White);
  // The right line at x = 149 lands on its mirror pixel 399 - 149 = 250:
  // the mirrored mapping puts x at 400 - x, and lines shift one pixel back.
  EXPECT_EQ(pixel(250, 50), Silver);
  EXPECT_EQ(pixel(251, 50), White);
  EXPECT_GT(InkIn(image(), TRect(250, 42, 300, 56)), 5);
}

}  // namespace
