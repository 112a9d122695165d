#include "tests/gridlib/grid/gridfixture.h"

#include "gridlib/grid/inplaceedit.h"
#include "platform/rtl/exceptions.h"
#include "platform/ui/controls/stdctrls.h"
#include "platform/ui/windowing/timers.h"
#include "platform/ui/windowing/window.h"

using namespace gdi;

namespace {

// Records the mouse-downs and cell clicks; double clicks and the timer can
// be refused or made to raise; the editor text is written to Written.
class TMessageGrid : public TCustomGridEh {
public:
  using TCustomGridEh::TCustomGridEh;
  bool WantDoubleClicksAt(TGridCoord, TMouseButton, TShiftState, TPoint, TPoint) override { return WantDouble; }
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    Downs.push_back(Shift);
    TCustomGridEh::MouseDown(Button, Shift, X, Y);
  }
  void CellMouseClick(TGridCoord Cell, TMouseButton Button, TShiftState Shift, const TRect& R, TPoint G,
                      TPoint C) override {
    CellClicks.push_back({Cell, Shift});
    TCustomGridEh::CellMouseClick(Cell, Button, Shift, R, G, C);
  }
  void SetGridTimer(bool Enabled, Cardinal Interval) override {
    if (!Enabled && TimerRaises) throw Exception(QStringLiteral("timer"));
    TCustomGridEh::SetGridTimer(Enabled, Interval);
  }
  void GridTimerTick(TObject* Sender) override {
    ++Ticks;
    TCustomGridEh::GridTimerTick(Sender);
  }
  String GetEditText(Integer ACol, Integer ARow) override { return QStringLiteral("c%1").arg(ACol); }
  void SetEditText(Integer ACol, Integer, const String& Value) override {
    Written.push_back(QStringLiteral("%1=%2").arg(ACol).arg(Value));
    if (WriteRaises) throw Exception(QStringLiteral("write"));
  }
  struct TClick {
    TGridCoord Cell;
    TShiftState Shift;
  };
  bool WantDouble = true;
  bool TimerRaises = false;
  bool WriteRaises = false;
  Integer Ticks = 0;
  std::vector<TShiftState> Downs;
  std::vector<TClick> CellClicks;
  QStringList Written;
};

class GridMessagesTest : public GridFixtureOf<TMessageGrid> {
protected:
  void SetUp() override {
    GridFixtureOf<TMessageGrid>::SetUp();
    Grid->HorzScrollBar()->SetVisibleMode(sbNeverShowEh);
    Grid->VertScrollBar()->SetVisibleMode(sbNeverShowEh);
  }
  void show(Integer Width = 300, Integer Height = 120) {
    showGrid(Width, Height);
    test::Activate(Form);
    Grid->SetFocus();
  }
  void options(TGridOptionsEh Add) { Grid->SetOptions(Grid->Options() + Add); }

  test::TStepClock Clock{1000};
  TClockScope ClockScope{Clock};
};

TEST_F(GridMessagesTest, RefusedDoubleClickArrivesAsASecondButtonDown) {
  show();
  test::DblClick(Grid, {75, 30});
  ASSERT_EQ(Grid->Downs.size(), 2u);
  EXPECT_TRUE(Grid->Downs[1].Contains(ssDouble));

  Grid->Downs.clear();
  Grid->CellClicks.clear();
  Grid->WantDouble = false;
  test::AdvanceTime(1000);
  test::DblClick(Grid, {75, 30});
  ASSERT_EQ(Grid->Downs.size(), 2u);
  EXPECT_FALSE(Grid->Downs[1].Contains(ssDouble));
  for (const auto& C : Grid->CellClicks) EXPECT_FALSE(C.Shift.Contains(ssDouble));
  EXPECT_EQ(Grid->CellClicks.size(), 2u);
}

TEST_F(GridMessagesTest, ACellClickNeedsDownAndUpOnTheSameCell) {
  show();
  test::Click(Grid, {75, 30});
  ASSERT_EQ(Grid->CellClicks.size(), 1u);
  EXPECT_EQ(Grid->CellClicks[0].Cell, (TGridCoord{1, 1}));
  test::MouseDown(Grid, {75, 30}, mbRight);
  test::MouseUp(Grid, {125, 30}, mbRight);
  EXPECT_EQ(Grid->CellClicks.size(), 1u);
}

TEST_F(GridMessagesTest, DialogCodes) {
  show();
  struct Case {
    const char* Name;
    TGridOptionsEh Options;
    LRESULT Expected;
  } Cases[] = {
      {"plain", {}, DLGC_WANTARROWS},
      {"tabs and editing", {goTabsEh, goEditingEh}, DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS},
      {"row select wins", {goTabsEh, goEditingEh, goRowSelectEh}, DLGC_WANTARROWS},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Grid->SetOptions(C.Options);
    EXPECT_EQ(Grid->Perform(WM_GETDLGCODE, 0, 0), C.Expected);
  }
}

TEST_F(GridMessagesTest, TypingStartsEditingButTabDoesNot) {
  options({goEditingEh});
  show();
  Grid->Perform(WM_CHAR, 9, 0);
  EXPECT_FALSE(Grid->EditorMode());
  test::Key(VK_BACK);
  EXPECT_TRUE(Grid->EditorMode());
  Grid->HideEditor();
  test::Type("x");
  EXPECT_TRUE(Grid->EditorMode());
  EXPECT_EQ(Grid->InplaceEditor()->Text(), "x") << "the typed character replaces the selected cell text";
}

TEST_F(GridMessagesTest, AnAnchorOutOfRangeRaisesAndChangesNothing) {
  show();
  EXPECT_THROW(
      {
        try {
          Grid->SetAnchorCell(-1, 0);
        } catch (const EInvalidGridOperationEh& E) {
          EXPECT_EQ(E.Message, "TCustomGridEh.SetAnchorCell: Grid index out of range");
          throw;
        }
      },
      EInvalidGridOperationEh);
  EXPECT_EQ(Grid->AnchorCell(), (TGridCoord{1, 1}));
}

TEST_F(GridMessagesTest, TheTimerInterval) {
  Grid->SetGridTimer(true, 0);
  EXPECT_EQ(Grid->GridTimerInterval(), 1u);
  EXPECT_TRUE(Grid->GridTimerEnabled());
  Grid->SetGridTimer(false, 500);
  EXPECT_EQ(Grid->GridTimerInterval(), 1u);
  EXPECT_FALSE(Grid->GridTimerEnabled());
}

// The fixed column is 250 wide, so the fixed boundary lies more than 200
// pixels right of the screen's edge and the distance counts in full.
TEST_F(GridMessagesTest, MovingAColumnLeftOfTheBoundaryShortensTheInterval) {
  options({goColMovingEh});
  Grid->SetColWidths(0, 250);
  show(500, 120);
  test::MouseDown(Grid, {260, 10});
  ASSERT_EQ(Grid->GridState(), gsColMovingEh);
  EXPECT_EQ(Grid->GridTimerInterval(), 60u);
  struct Case {
    Integer X;
    Cardinal Interval;
  } Cases[] = {{245, 360}, {100, 62}, {-20, 61}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.X);
    test::MouseMove(Grid, {C.X, 10}, {ssLeft});
    test::AdvanceTime(Grid->GridTimerInterval());
    EXPECT_EQ(Grid->GridTimerInterval(), C.Interval);
  }
  test::MouseUp(Grid, {260, 10});
  EXPECT_FALSE(Grid->GridTimerEnabled());
}

TEST_F(GridMessagesTest, DraggingASelectionBelowTheRowsStopsBeforeTheContraRows) {
  Grid->SetOptions(Grid->Options() + TGridOptionsEh{goRangeSelectEh} - TGridOptionsEh{goEditingEh});
  Grid->SetRowCount(10);
  Grid->SetContraRowCount(2);
  show(300, 120);
  test::MouseDown(Grid, {75, 30});
  test::MouseMove(Grid, {75, 119}, {ssLeft});
  const Integer Before = Grid->Ticks;
  test::AdvanceTime(60 * 20);
  EXPECT_GT(Grid->Ticks, Before);
  EXPECT_EQ(Grid->AnchorCell().Y, Grid->RowCount() - 1);
  test::MouseUp(Grid, {75, 119});
}

TEST_F(GridMessagesTest, CancelModeResetsTheStateEvenWhenStoppingTheTimerRaises) {
  Grid->SetOptions(Grid->Options() + TGridOptionsEh{goRangeSelectEh} - TGridOptionsEh{goEditingEh});
  show();
  test::MouseDown(Grid, {75, 30});
  ASSERT_EQ(Grid->GridState(), gsSelectingEh);
  Grid->TimerRaises = true;
  EXPECT_THROW(Grid->CancelMode(), Exception);
  EXPECT_EQ(Grid->GridState(), gsNormalEh);
  Grid->TimerRaises = false;
}

TEST_F(GridMessagesTest, FocusMovesBetweenGridAndEditorAndAway) {
  options({goEditingEh});
  auto* Other = make<TEdit>(Bounds(0, 200, 100, 20));
  show();
  Grid->ShowEditor();
  TInplaceEdit* Editor = Grid->InplaceEditor();
  ASSERT_TRUE(Editor->Visible());
  EXPECT_TRUE(Editor->Focused());
  EXPECT_EQ(Form->ActiveControl(), Grid);
  Editor->SetText("typed");
  Other->SetFocus();
  EXPECT_FALSE(Editor->Visible());
  EXPECT_EQ(Grid->Written.back(), "1=typed");
}

TEST_F(GridMessagesTest, TheWheelScrollsTheViewOnly) {
  Grid->SetRowCount(40);
  show();
  test::Wheel(Grid, {75, 30}, -120);
  EXPECT_EQ(Grid->TopRow(), 2);
  EXPECT_EQ(Grid->Row(), 1);
  test::Wheel(Grid, {75, 30}, 120);
  EXPECT_EQ(Grid->TopRow(), 1);
}

TEST_F(GridMessagesTest, SizingCursorOverALine) {
  options({goColSizingEh});
  show();
  EXPECT_EQ(Grid->SizingCursorAt({101, 10}), crHSplit);
  EXPECT_EQ(Grid->SizingCursorAt({75, 10}), crDefault);
}

TEST_F(GridMessagesTest, BufferedPaintingPaintsTheSameCells) {
  show();
  Grid->Repaint();
  const QImage Plain = test::WindowImage(Grid).copy();
  Grid->SetDoubleBuffered(true);
  Grid->Repaint();
  const QImage Buffered = test::WindowImage(Grid).copy();
  int Diffs = 0;
  for (int Y = 0; Y < Plain.height(); ++Y)
    for (int X = 0; X < Plain.width(); ++X)
      if (Plain.pixel(X, Y) != Buffered.pixel(X, Y) && Diffs++ < 5)
        ADD_FAILURE() << X << "," << Y << " " << std::hex << Plain.pixel(X, Y) << " " << Buffered.pixel(X, Y);
  EXPECT_EQ(Diffs, 0) << Plain.width() << "x" << Plain.height() << " " << Buffered.width() << "x" << Buffered.height();
}

}  // namespace
