#include "gridlib/grid/gridaxis.h"

#include "gridlib/base/valuetext.h"

#include "gridlib/grid/grids.h"
#include "gridlib/grid/gridstyle.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/units.h"
#include "tests/support/testing.h"

#include <QStringList>
#include <random>

namespace {

// An axis without grid: rolling cells of Lens, a rolling window of Window
// pixels from client pixel 0 (no fixed or contra cells).
struct TAxis {
  explicit TAxis(std::vector<Integer> Lens, Integer Window = 100) {
    Axis.SetDefaultCelLen(1);
    Axis.SetRolCelCount(Integer(Lens.size()));
    for (Integer I = 0; I < Integer(Lens.size()); ++I) Axis.SetRolCelLens(I, Lens[std::size_t(I)]);
    setWindow(Window);
  }
  void setWindow(Integer Window) {
    Axis.SetLayout(0, Window, 0, Window, /*FixedBoundary=*/0, /*ContraLen=*/0, /*FrozenLen=*/0);
    Axis.CheckUpdateRolCelPosArr();
    Axis.UpdateVisCells();
  }
  TGridAxisDataEh Axis{nullptr};
};

TEST(GridCoordEh, PackingAndRectangles) {
  EXPECT_EQ(MakeGridCoordEh(3, 7), (Int64(7) << 32) | 3);
  EXPECT_EQ(GridCoordFromInt64Eh(MakeGridCoordEh(-1, -1)), (TGridCoord{-1, -1}));
  EXPECT_EQ(GridRectFromCoordsEh({5, 1}, {2, 4}), (TGridRect{2, 1, 5, 4}));
  const TGridRect R{2, 1, 5, 4};
  EXPECT_TRUE(PointInGridRectEh(2, 4, R));
  EXPECT_TRUE(PointInGridRectEh(5, 1, R));
  EXPECT_FALSE(PointInGridRectEh(6, 1, R));
  EXPECT_FALSE(PointInGridRectEh(3, 0, R));
}

TEST(GridCelLensEh, MoveAndFill) {
  struct Case {
    const char* Name;
    Integer From, To;
    TGridCelLensEh Expected;
  } Cases[] = {
      {"forward", 1, 3, {10, 30, 40, 20, 50}},
      {"backward", 3, 0, {40, 10, 20, 30, 50}},
      {"in place", 2, 2, {10, 20, 30, 40, 50}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TGridCelLensEh A{10, 20, 30, 40, 50};
    ArrayMoveElement(A, C.From, C.To);
    EXPECT_EQ(A, C.Expected);
  }
  TGridCelLensEh Empty;
  ArrayMoveElement(Empty, 0, 0);
  EXPECT_TRUE(Empty.empty());

  TGridCelLensEh A{1, 2, 3, 4};
  ArrayInsertRange(A, 1, 2);
  ArrayFillRange(A, 1, 2, 9);
  EXPECT_EQ(A, (TGridCelLensEh{1, 9, 9, 2, 3, 4}));
  ArrayDeleteRange(A, 0, 3);
  EXPECT_EQ(A, (TGridCelLensEh{2, 3, 4}));
}

TEST(FindCelAtPos, ZeroLengthCellsAndBothEnds) {
  const std::vector<Int64> Positions{0, 10, 10};  // lengths 10, 0, 20
  struct Case {
    Int64 Pos;
    Integer Index;
    Int64 Offset;
  } Cases[] = {{10, 2, 0}, {15, 2, 5}, {5, 0, 5}, {-3, 0, -3}, {1000, 2, 990}, {0, 0, 0}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Pos);
    Integer Index = -1;
    Int64 Offset = -1;
    FindCelAtPos(Positions, C.Pos, Index, Offset);
    EXPECT_EQ(Index, C.Index);
    EXPECT_EQ(Offset, C.Offset);
  }
}

// Random lengths (zeros included), windows and scroll positions against a
// linear walk over the cells.
TEST(GridAxisDataEh, AgreesWithALinearReference) {
  std::mt19937 Random(20261210);
  for (int Round = 0; Round < 200; ++Round) {
    const Integer Count = std::uniform_int_distribution<Integer>(1, 40)(Random);
    std::vector<Integer> Lens(static_cast<std::size_t>(Count));
    for (Integer& L : Lens) L = std::uniform_int_distribution<Integer>(0, 30)(Random);
    TAxis A(Lens, std::uniform_int_distribution<Integer>(1, 200)(Random));
    SCOPED_TRACE(testing::Message() << "round " << Round);

    Int64 Start = 0;
    for (Integer I = 0; I < Count; ++I) {
      ASSERT_EQ(A.Axis.GetRolLocCelPosArr(I), Start);
      Start += Lens[std::size_t(I)];
    }
    ASSERT_EQ(A.Axis.RolLen(), Start);

    const Int64 Pos = A.Axis.CheckRolStartVisPos(std::uniform_int_distribution<Int64>(-10, Start + 10)(Random));
    A.Axis.SetRolStartVisPos(Pos);
    // The start cell: the last whose start is not above Pos (any of a run
    // of zero-length cells starting exactly there).
    const Integer Cel = A.Axis.RolStartVisCel();
    ASSERT_LE(A.Axis.GetRolLocCelPosArr(Cel), Pos);
    ASSERT_EQ(A.Axis.RolStartVisCelOfst(), Pos - A.Axis.GetRolLocCelPosArr(Cel));
    if (Cel + 1 < Count && A.Axis.GetRolLocCelPosArr(Cel) < Pos) ASSERT_GT(A.Axis.GetRolLocCelPosArr(Cel + 1), Pos);

    // Last visible: every later cell starts after the window's last pixel.
    const Int64 LastPixel = Pos + A.Axis.RolClientLen() - 1;
    const Integer Last = A.Axis.RolLastVisCel();
    ASSERT_LE(A.Axis.GetRolLocCelPosArr(Last), std::max<Int64>(LastPixel, A.Axis.GetRolLocCelPosArr(Cel)));
    if (Last + 1 < Count) ASSERT_GT(A.Axis.GetRolLocCelPosArr(Last + 1), LastPixel);
    const Integer Full = A.Axis.RolLastFullVisCel();
    ASSERT_TRUE(Full == Last || Full == Last - 1);
  }
}

TEST(GridAxisDataEh, ScrollPositionLimits) {
  TAxis Short({50, 50}, 150);  // RolLen 100 in a 150-pixel window
  for (Int64 Pos : {Int64(-5), Int64(0), Int64(40), Int64(100), Int64(1000)}) EXPECT_EQ(Short.Axis.CheckRolStartVisPos(Pos), 0);

  TAxis Long({50, 50, 50, 50}, 100);
  EXPECT_EQ(Long.Axis.CheckRolStartVisPos(170), 100);
  EXPECT_EQ(Long.Axis.CheckRolStartVisPos(-1), 0);
  EXPECT_RAISES(Long.Axis.SetRolStartVisPos(201), Exception, "RolStartVisPos can't be > RolLen");
  EXPECT_EQ(Long.Axis.RolStartVisPos(), 0);
  Long.Axis.SetRolStartVisPos(200);  // the total length itself is allowed
  EXPECT_EQ(Long.Axis.RolStartVisCel(), 3);
}

TEST(GridAxisDataEh, SafeSetRolStartVisCelPastTheLastPage) {
  TAxis ByCell({30, 30, 30, 30, 30}, 100);  // last page: cells 2..4 fit in 90 pixels
  EXPECT_EQ(ByCell.Axis.SafeSetRolStartVisCel(4, sstByCellEh), 120);
  EXPECT_EQ(ByCell.Axis.RolStartVisPos(), 60);  // on a cell boundary, 10 pixels short of the end

  TAxis ByPixel({30, 30, 30, 30, 30}, 100);
  EXPECT_EQ(ByPixel.Axis.SafeSetRolStartVisCel(4, sstByPixelEh), 50);
  EXPECT_EQ(ByPixel.Axis.RolStartVisPos(), 50);  // the last cell flush with the window's end
  EXPECT_EQ(ByPixel.Axis.SafeSetRolStartVisCel(-3, sstByPixelEh), 0);
  EXPECT_EQ(ByPixel.Axis.RolStartVisPos(), 0);
}

TEST(GridAxisDataEh, VisibleCells) {
  TAxis A({30, 30, 30, 30}, 70);
  EXPECT_EQ(A.Axis.RolLastVisCel(), 2);  // cut at 70
  EXPECT_EQ(A.Axis.RolLastFullVisCel(), 1);
  A.setWindow(90);
  EXPECT_EQ(A.Axis.RolLastVisCel(), 2);
  EXPECT_EQ(A.Axis.RolLastFullVisCel(), 2);

  TAxis Wide({200, 30}, 70);  // a cut cell that is also the first counts as full
  EXPECT_EQ(Wide.Axis.RolLastVisCel(), 0);
  EXPECT_EQ(Wide.Axis.RolLastFullVisCel(), 0);

  TAxis NoWindow({30, 30}, 0);
  NoWindow.Axis.SetLayout(0, 50, 0, 50, /*FixedBoundary=*/60, 0, 0);  // inverted: no rolling window
  NoWindow.Axis.SetRolStartVisPos(30);
  EXPECT_EQ(NoWindow.Axis.RolClientLen(), 0);
  EXPECT_EQ(NoWindow.Axis.RolLastVisCel(), NoWindow.Axis.RolStartVisCel());
  EXPECT_EQ(NoWindow.Axis.RolLastFullVisCel(), NoWindow.Axis.RolStartVisCel());
  EXPECT_LE(NoWindow.Axis.GetScrollStep(), 1);
}

TEST(GridAxisDataEh, ScrollStepIsATwentiethOfTheWindow) {
  TAxis A({30}, 400);
  EXPECT_EQ(A.Axis.GetScrollStep(), 20);
  A.setWindow(10);
  EXPECT_EQ(A.Axis.GetScrollStep(), 1);
}

TEST(GridAxisDataEh, CountsAndTheirErrors) {
  TGridAxisDataEh Axis(nullptr);
  Axis.SetDefaultCelLen(20);
  Axis.SetRolCelCount(5);
  Axis.SetDefaultCelLen(7);
  Axis.SetRolCelCount(8);
  for (Integer I = 0; I < 5; ++I) EXPECT_EQ(Axis.GetRolCelLens(I), 20);
  for (Integer I = 5; I < 8; ++I) EXPECT_EQ(Axis.GetRolCelLens(I), 7);

  EXPECT_RAISES(Axis.SetRolCelCount(0), Exception, "RolCelCount can't be less then 1");
  EXPECT_EQ(Axis.RolCelCount(), 8);
  EXPECT_RAISES(Axis.SetContraCelCount(-1), Exception, "ContraCelCount can't be less then 0");
  EXPECT_RAISES(Axis.SetFixedCelCount(-1), Exception, "FixedCelCount can't be less then 0");

  Axis.SetFixedCelCount(2);
  Axis.SetContraCelCount(1);
  EXPECT_EQ(Axis.CelCount(), 10);
  EXPECT_EQ(Axis.FullCelCount(), 11);
  Axis.SetCelLens(0, 30);
  Axis.SetCelLens(9, 44);   // the last rolling cell
  Axis.SetCelLens(10, 55);  // the contra cell
  EXPECT_EQ(Axis.GetFixedCelLens(0), 30);
  EXPECT_EQ(Axis.GetRolCelLens(7), 44);
  EXPECT_EQ(Axis.GetContraCelLens(0), 55);
  EXPECT_EQ(Axis.GetFixedCelPos(2), 37);
}

TEST(GridAxisDataEh, MoveCelStaysInsideItsArea) {
  TGridAxisDataEh Axis(nullptr);
  Axis.SetDefaultCelLen(10);
  Axis.SetFixedCelCount(2);
  Axis.SetRolCelCount(3);
  Axis.SetRolCelLens(0, 11);
  Axis.SetRolCelLens(2, 13);
  EXPECT_RAISES(Axis.MoveCel(0, 3), Exception, "MoveCel in different areas[FromIndex:0, ToIndex:3]");
  EXPECT_EQ(Axis.GetCelLens(2), 11);
  EXPECT_EQ(Axis.GetCelLens(4), 13);
  Axis.MoveCel(2, 4);
  EXPECT_EQ(Axis.GetCelLens(2), 10);
  EXPECT_EQ(Axis.GetCelLens(4), 11);
  EXPECT_EQ(Axis.GetRolLocCelPosArr(2), 23);  // moves mark the positions obsolete
}

TEST(GridAxisDataEh, MirroringInsideTheWindow) {
  TGridAxisDataEh Axis(nullptr);
  Axis.SetLayout(0, 300, 0, 300, 0, 0, 0);
  Integer A = 10, B = 60;
  Axis.SwapRightToLeftPoses(A, B);
  EXPECT_EQ(A, 240);
  EXPECT_EQ(B, 290);
  EXPECT_EQ(Axis.RightToLeftReflect(10), 290);
}

// ---------------------------------------------------------------------------
// notifications to the grid

class TRecordingGrid : public TCustomGridEh {
public:
  using TCustomGridEh::TCustomGridEh;
  void GridSizeChanged() override {
    Log << QStringLiteral("GridSizeChanged");
    TCustomGridEh::GridSizeChanged();
  }
  void UpdateGridLayout() override {
    Log << QStringLiteral("UpdateGridLayout");
    TCustomGridEh::UpdateGridLayout();
  }
  void CelLenChanged(TGridAxisDataEh* Axis, Integer Index, Integer OldLen) override {
    Log << QStringLiteral("CelLenChanged(%1,%2)").arg(Index).arg(OldLen);
    TCustomGridEh::CelLenChanged(Axis, Index, OldLen);
  }
  void CelMoved(TGridAxisDataEh* Axis, Integer FromIndex, Integer ToIndex) override {
    Log << QStringLiteral("CelMoved(%1,%2)").arg(FromIndex).arg(ToIndex);
    TCustomGridEh::CelMoved(Axis, FromIndex, ToIndex);
  }
  void AxisPositionsChanged() override {
    Log << QStringLiteral("AxisPositionsChanged");
    TCustomGridEh::AxisPositionsChanged();
  }
  void GridLayoutChanged(Int64 OldLeftPos, Int64 OldTopPos) override {
    Log << QStringLiteral("GridLayoutChanged(%1,%2)").arg(OldLeftPos).arg(OldTopPos);
    TCustomGridEh::GridLayoutChanged(OldLeftPos, OldTopPos);
  }
  QStringList Log;
};

class AxisNotifications : public ::testing::Test {
protected:
  void SetUp() override {
    InitializeUnits({GridsUnitEh});
    Grid = CreateGridEh<TRecordingGrid>(nullptr);
    Grid->SetColCount(30);
    Grid->SetRowCount(30);
    Grid->UpdateAxesPositions();
    Grid->Log.clear();
  }
  void TearDown() override { Grid->Free(); }
  TRecordingGrid* Grid = nullptr;
};

TEST_F(AxisNotifications, EachChangeSendsItsOwnSequence) {
  struct Case {
    const char* Name;
    std::function<void(TGridAxisDataEh*)> Change;
    QStringList Expected;
  } Cases[] = {
      {"same count", [](TGridAxisDataEh* A) { A->SetRolCelCount(A->RolCelCount()); }, {}},
      {"fixed count", [](TGridAxisDataEh* A) { A->SetFixedCelCount(2); }, {"GridSizeChanged", "UpdateGridLayout"}},
      {"contra count", [](TGridAxisDataEh* A) { A->SetContraCelCount(1); }, {"GridSizeChanged", "UpdateGridLayout"}},
      {"rolling count", [](TGridAxisDataEh* A) { A->SetRolCelCount(40); }, {"GridSizeChanged"}},
      {"frozen count", [](TGridAxisDataEh* A) { A->SetFrozenCelCount(1); }, {"UpdateGridLayout"}},
      {"fixed length", [](TGridAxisDataEh* A) { A->SetCelLens(0, 33); }, {"CelLenChanged(0,50)", "UpdateGridLayout"}},
      {"rolling length", [](TGridAxisDataEh* A) { A->SetCelLens(3, 33); }, {"CelLenChanged(3,50)", "GridSizeChanged"}},
      {"same length", [](TGridAxisDataEh* A) { A->SetCelLens(3, A->GetCelLens(3)); }, {}},
      {"move", [](TGridAxisDataEh* A) { A->MoveCel(2, 5); }, {"CelMoved(2,5)"}},
      {"scroll", [](TGridAxisDataEh* A) { A->SetRolStartVisPos(40); }, {"GridLayoutChanged(0,0)"}},
      {"default length", [](TGridAxisDataEh* A) { A->SetDefaultCelLen(9); }, {}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Grid->UpdateAxesPositions();  // no rebuild left over from the case before
    Grid->Log.clear();
    C.Change(Grid->HorzAxis());
    EXPECT_EQ(Grid->Log, C.Expected);
  }
}

TEST_F(AxisNotifications, ABurstOfRollingChangesRebuildsOnce) {
  for (Integer I = 1; I < 20; ++I) Grid->SetRowHeights(I, 20 + I);
  EXPECT_EQ(Grid->Log.count("UpdateGridLayout"), 0);
  EXPECT_EQ(Grid->Log.count("AxisPositionsChanged"), 0);
  EXPECT_TRUE(Grid->VertAxis()->RolLocCelPosArrObsolete());
  Grid->Log.clear();
  EXPECT_EQ(Grid->VertAxis()->RolLen(), 20 * 10 + (21 + 39) * 19 / 2);
  (void)Grid->VertAxis()->RolLen();
  EXPECT_EQ(Grid->Log, (QStringList{"AxisPositionsChanged", "UpdateGridLayout"}));
}

}  // namespace
