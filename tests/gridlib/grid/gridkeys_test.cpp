#include "tests/gridlib/grid/gridfixture.h"

#include "gridlib/grid/gridparts.h"
#include "gridlib/grid/inplaceedit.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"

#include <set>

using namespace gdi;

namespace {

// Columns outside Navigable are skipped by Tab; every cell edits "abc".
class TKeyGrid : public TCustomGridEh {
public:
  using TCustomGridEh::TCustomGridEh;
  bool IsCellNavigable(Integer ACol) override { return Navigable.empty() || Navigable.count(ACol) > 0; }
  String GetEditText(Integer, Integer) override { return QStringLiteral("abc"); }
  std::set<Integer> Navigable;
};

// The default 6 x 6 grid (one fixed column and row, cells 50 x 20), shown,
// focused, without scroll bars.
class GridKeysTest : public GridFixtureOf<TKeyGrid> {
protected:
  void SetUp() override {
    GridFixtureOf<TKeyGrid>::SetUp();
    Grid->HorzScrollBar()->SetVisibleMode(sbNeverShowEh);
    Grid->VertScrollBar()->SetVisibleMode(sbNeverShowEh);
  }
  void focus(Integer Width = 300, Integer Height = 120) {
    showGrid(Width, Height);
    test::Activate(Form);
    Grid->SetFocus();
  }
  void at(Integer Col, Integer Row) { Grid->MoveCurrentCell(Col, Row, false, false); }
  TGridCoord cur() { return Grid->CurCell(); }
};

void PrintTo(const TGridCoord& C, std::ostream* Os) { *Os << "(" << C.X << "," << C.Y << ")"; }

TEST_F(GridKeysTest, ShiftRightMovesOnlyTheAnchorWithRangeSelect) {
  Grid->SetColCount(20);
  Grid->SetOptions(Grid->Options() + TGridOptionsEh{goRangeSelectEh});
  focus();
  at(5, 2);
  test::Key(VK_RIGHT, {ssShift});
  EXPECT_EQ(cur(), (TGridCoord{5, 2}));
  EXPECT_EQ(Grid->AnchorCell(), (TGridCoord{6, 2}));
  EXPECT_GT(Grid->LeftCol(), 1) << "the anchor is scrolled into view";

  Grid->SetOptions(Grid->Options() - TGridOptionsEh{goRangeSelectEh});
  test::Key(VK_RIGHT, {ssShift});
  EXPECT_EQ(cur(), (TGridCoord{6, 2}));
}

TEST_F(GridKeysTest, TabWrapsAtTheEnds) {
  Grid->SetOptions(Grid->Options() + TGridOptionsEh{goTabsEh});
  focus();
  at(5, 5);
  test::Key(VK_TAB);
  EXPECT_EQ(cur(), (TGridCoord{1, 1}));
  at(1, 3);
  test::Key(VK_TAB, {ssShift});
  EXPECT_EQ(cur(), (TGridCoord{5, 2}));
}

TEST_F(GridKeysTest, ShiftTabTurnsForwardPastColumnsThatAreNotNavigable) {
  Grid->SetOptions(Grid->Options() + TGridOptionsEh{goTabsEh});
  Grid->Navigable = {1, 2, 3};
  focus();
  at(2, 3);
  test::Key(VK_TAB, {ssShift});
  EXPECT_EQ(cur(), (TGridCoord{1, 3}));
  // Back to column 5 of row 2, not navigable; the search runs forward again
  // and stops at this row's column 1, the current one.
  test::Key(VK_TAB, {ssShift});
  EXPECT_EQ(cur(), (TGridCoord{1, 3}));
}

TEST_F(GridKeysTest, CtrlKeys) {
  focus();
  struct Case {
    const char* Name;
    Word Key;
    TGridCoord Expected;
  } Cases[] = {
      {"Ctrl+Left", VK_LEFT, {3, 3}},
      {"Ctrl+Right", VK_RIGHT, {3, 3}},
      {"Ctrl+PageDown", VK_NEXT, {3, 3}},
      {"Ctrl+PageUp", VK_PRIOR, {3, 1}},
      {"Ctrl+End", VK_END, {5, 5}},
      {"Ctrl+Home", VK_HOME, {1, 1}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    at(3, 3);
    test::Key(C.Key, {ssCtrl});
    EXPECT_EQ(cur(), C.Expected);
  }
}

TEST_F(GridKeysTest, RightToLeftLeftMovesToTheNextColumn) {
  SysLocale.MiddleEast = true;
  const TScopeExit Restore([] { SysLocale.MiddleEast = false; });
  Grid->SetBiDiMode(bdRightToLeft);
  focus();
  at(2, 2);
  test::Key(VK_LEFT);
  EXPECT_EQ(cur(), (TGridCoord{3, 2}));
  test::Key(VK_RIGHT);
  test::Key(VK_RIGHT);
  EXPECT_EQ(cur(), (TGridCoord{1, 2}));
}

TEST_F(GridKeysTest, RowSelectLeftAndRightScrollAndKeepTheCell) {
  Grid->SetColCount(20);
  Grid->SetOptions(Grid->Options() + TGridOptionsEh{goRowSelectEh});
  focus();
  at(3, 2);
  test::Key(VK_RIGHT);
  EXPECT_EQ(Grid->LeftCol(), 2);
  EXPECT_EQ(cur(), (TGridCoord{3, 2}));
  test::Key(VK_LEFT);
  EXPECT_EQ(Grid->LeftCol(), 1);
  EXPECT_EQ(cur(), (TGridCoord{3, 2}));
}

TEST_F(GridKeysTest, KeysNeverReachContraCells) {
  Grid->SetContraRowCount(2);
  Grid->SetContraColCount(1);
  focus(400, 200);
  at(5, 5);
  test::Key(VK_DOWN);
  test::Key(VK_RIGHT);
  test::Key(VK_END, {ssCtrl});
  EXPECT_EQ(cur(), (TGridCoord{5, 5}));
}

// Rolling rows of 20, 20, 60, 20, 20, 20, 80, 20 pixels (starts 0, 20, 40,
// 100, 120, 140, 160, 240) under a 100-pixel window.
TEST_F(GridKeysTest, PageRowsFollowTheWindowOverMixedHeights) {
  Grid->SetRowCount(9);
  const Integer Heights[] = {20, 20, 60, 20, 20, 20, 80, 20};
  for (Integer I = 0; I < 8; ++I) Grid->SetRowHeights(I + 1, Heights[I]);
  Grid->VertScrollBar()->SetSmoothStep(true);
  focus(300, 120);
  struct Case {
    const char* Name;
    Int64 Top;
    Integer Row;
    Word Key;
    Integer Expected;
  } Cases[] = {
      // the rows ending within two windows: up to the one before row 7
      {"down from the top", 0, 1, VK_NEXT, 6},
      {"down on the last page", 160, 5, VK_NEXT, 8},
      {"up: the row one window above", 120, 7, VK_PRIOR, 2},
      {"up: a cut row gives the next one", 130, 7, VK_PRIOR, 3},
      {"up at the top stays", 0, 1, VK_PRIOR, 1},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Grid->SetTopPos(C.Top);
    ASSERT_EQ(Grid->TopPos(), C.Top);
    at(1, C.Row);
    test::Key(C.Key);
    EXPECT_EQ(Grid->Row(), C.Expected);
  }
}

TEST_F(GridKeysTest, EnterTogglesTheEditorUnlessItAlwaysShows) {
  Grid->SetOptions(Grid->Options() + TGridOptionsEh{goEditingEh});
  focus();
  test::Key(VK_RETURN);
  EXPECT_TRUE(Grid->EditorMode());
  ASSERT_NE(Grid->InplaceEditor(), nullptr);
  EXPECT_TRUE(Grid->InplaceEditor()->Visible());
  test::Key(VK_RETURN);
  EXPECT_FALSE(Grid->EditorMode());
  test::Key(VK_F2);
  EXPECT_TRUE(Grid->EditorMode());
}

// One row per line of the key table; the caret rows on an editor of "abc".
TEST_F(GridKeysTest, IsGridKeyTable) {
  Grid->SetOptions(Grid->Options() + TGridOptionsEh{goEditingEh});
  focus();
  Grid->ShowEditor();
  TInplaceEdit* Editor = Grid->InplaceEditor();
  ASSERT_NE(Editor, nullptr);
  struct Case {
    const char* Name;
    Word Key;
    TShiftState Shift;
    bool Always;
    Integer SelStart, SelLength;
    bool Expected;
  } Cases[] = {
      {"Tab", VK_TAB, {}, false, 0, 0, true},
      {"Alt+Tab", VK_TAB, {ssAlt}, false, 0, 0, false},
      {"Esc", VK_ESCAPE, {}, false, 0, 0, true},
      {"PageUp", VK_PRIOR, {}, false, 0, 0, true},
      {"Down", VK_DOWN, {ssShift}, false, 0, 0, true},
      {"Right inside the text, editor not always shown", VK_RIGHT, {}, false, 3, 0, false},
      {"Ctrl+Right, editor not always shown", VK_RIGHT, {ssCtrl}, false, 3, 0, false},
      {"Ctrl+Right", VK_RIGHT, {ssCtrl}, true, 1, 0, true},
      {"Right, caret in the middle", VK_RIGHT, {}, true, 1, 0, false},
      {"Right, caret at the end", VK_RIGHT, {}, true, 3, 0, true},
      {"End, all selected", VK_END, {}, true, 0, 3, true},
      {"End, part selected to the end", VK_END, {}, true, 1, 2, false},
      {"Left, caret at the start", VK_LEFT, {}, true, 0, 0, true},
      {"Home, caret in the middle", VK_HOME, {}, true, 2, 0, false},
      {"Home, all selected", VK_HOME, {}, true, 0, 3, true},
      {"Insert", VK_INSERT, {}, false, 0, 0, true},
      {"Shift+Insert", VK_INSERT, {ssShift}, false, 0, 0, false},
      {"Delete", VK_DELETE, {}, false, 0, 0, false},
      {"Ctrl+Delete", VK_DELETE, {ssCtrl}, false, 0, 0, true},
      {"a letter", Word('A'), {}, true, 0, 0, false},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Grid->SetOptions(C.Always ? Grid->Options() + TGridOptionsEh{goAlwaysShowEditorEh}
                              : Grid->Options() - TGridOptionsEh{goAlwaysShowEditorEh});
    Editor->SetSel(C.SelStart, C.SelLength);
    EXPECT_EQ(Grid->IsGridKey(C.Key, C.Shift), C.Expected);
  }
}

TEST_F(GridKeysTest, RightInTheEditorMovesTheCaretNotTheCell) {
  Grid->SetOptions(Grid->Options() + TGridOptionsEh{goEditingEh});
  focus();
  at(2, 2);
  Grid->ShowEditor();
  Grid->InplaceEditor()->SetSel(0, 0);
  test::Key(VK_RIGHT);
  EXPECT_EQ(cur(), (TGridCoord{2, 2}));
  EXPECT_EQ(Grid->InplaceEditor()->CaretIndex(), 1);
  test::Key(VK_DOWN);
  EXPECT_EQ(cur(), (TGridCoord{2, 3}));
}

}  // namespace
