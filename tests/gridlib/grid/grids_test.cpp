#include "gridlib/grid/grids.h"

#include "tests/gridlib/grid/gridfixture.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/filer.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/streams.h"

namespace {

// A grid whose streaming a test can reach.
class TExtentsGrid : public TCustomGridEh {
  RTL_CLASS(TExtentsGrid, TCustomGridEh)
public:
  using TCustomGridEh::TCustomGridEh;
  using TCustomGridEh::DefineProperties;
};

using GridTest = GridFixtureOf<TExtentsGrid>;

TEST_F(GridTest, ANewGridHasSixBySixCells) {
  EXPECT_EQ(Grid->Width(), 300);
  EXPECT_EQ(Grid->Height(), 120);
  EXPECT_EQ(Grid->ColCount(), 6);
  EXPECT_EQ(Grid->RowCount(), 6);
  EXPECT_EQ(Grid->FixedColCount(), 1);
  EXPECT_EQ(Grid->FixedRowCount(), 1);
  for (Integer I = 0; I < 6; ++I) {
    EXPECT_EQ(Grid->ColWidths(I), 50);
    EXPECT_EQ(Grid->RowHeights(I), 20);
  }
  EXPECT_EQ(Grid->Options().Bits(), UInt64(99327));
  EXPECT_EQ(Grid->DesignOptionsBoost().Bits(), UInt64(352));
  EXPECT_EQ(Grid->CurCell(), (TGridCoord{1, 1}));
  EXPECT_EQ(Grid->AnchorCell(), (TGridCoord{1, 1}));
  EXPECT_EQ(Grid->GridState(), gsNormalEh);
  EXPECT_EQ(Grid->HorzScrollBarPanelControl()->Name(), "HorzScrollBarPanelControl");
  EXPECT_EQ(Grid->VertScrollBarPanelControl()->Name(), "VertScrollBarPanelControl");
  EXPECT_EQ(Grid->CornerScrollBarPanelControl()->Name(), "CornerScrollBarPanelControl");
  EXPECT_EQ(Grid->ExtraSizeGripControl()->GripActiveStatus(), gasNeverEh);
  EXPECT_EQ(Grid->DrawStyle(), GetGridDrawStyleEh());
  EXPECT_TRUE(GetGridDrawStyleEh()->GridInChangeNotification(Grid));
}

TEST_F(GridTest, CountsGoThroughTheAxes) {
  Grid->SetColCount(3);
  EXPECT_EQ(Grid->HorzAxis()->RolCelCount(), 2);
  EXPECT_RAISES(Grid->SetColCount(1), Exception, "RolCelCount can't be less then 1");
  EXPECT_EQ(Grid->ColCount(), 3);
  Grid->SetContraColCount(2);
  EXPECT_EQ(Grid->FullColCount(), 5);
  EXPECT_EQ(Grid->ColCount(), 3);
}

TEST_F(GridTest, CountChangesKeepTheCurrentCellInside) {
  Grid->SetCol(5);
  Grid->SetRow(4);
  Grid->SetColCount(3);
  EXPECT_EQ(Grid->CurCell(), (TGridCoord{2, 4}));
  EXPECT_EQ(Grid->AnchorCell(), Grid->CurCell());
  Grid->SetFixedColCount(3 - 1);  // one rolling column left: the current cell moves onto it
  EXPECT_EQ(Grid->Col(), 2);
}

TEST_F(GridTest, ColumnMovesCarryTheCurrentColumn) {
  struct Case {
    const char* Name;
    Integer Current, From, To;
    bool RowSelect;
    Integer Expected;
  } Cases[] = {
      {"after the moved column", 4, 2, 5, false, 3},
      {"the moved column itself", 2, 2, 5, false, 5},
      {"before the drop", 3, 5, 2, false, 4},
      {"with row select it stays", 4, 2, 5, true, 4},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TGridOptionsEh Options = Grid->Options();
    if (C.RowSelect) Options.Include(goRowSelectEh); else Options.Exclude(goRowSelectEh);
    Grid->SetOptions(Options);
    Grid->SetCol(C.Current);
    Grid->MoveColumn(C.From, C.To);
    EXPECT_EQ(Grid->Col(), C.Expected);
    EXPECT_EQ(Grid->AnchorCell(), Grid->CurCell());
  }
}

TEST_F(GridTest, AlwaysShowEditorShowsItWithoutFocus) {
  Grid->SetOptions(Grid->Options() + TGridOptionsEh{goAlwaysShowEditorEh});
  showGrid(300, 120);
  Grid->SetEditorMode(true);
  EXPECT_TRUE(Grid->CanEditShow());
  Grid->SetEditorMode(false);
  EXPECT_FALSE(Grid->CanEditShow());
}

TEST_F(GridTest, RowSelectDropsAlwaysShowEditor) {
  Grid->SetOptions(Grid->Options() + TGridOptionsEh{goRowSelectEh, goAlwaysShowEditorEh});
  EXPECT_TRUE(Grid->Options().Contains(goRowSelectEh));
  EXPECT_FALSE(Grid->Options().Contains(goAlwaysShowEditorEh));
}

TEST_F(GridTest, PaintLockAndExtents) {
  Grid->UnlockPaint();
  EXPECT_EQ(Grid->LockPaintCount(), 0);
  Grid->LockPaint();
  EXPECT_TRUE(Grid->PaintLocked());
  Grid->UnlockPaint();
  EXPECT_FALSE(Grid->PaintLocked());

  Grid->SetFixedColCount(2);
  Grid->SetColWidths(0, 30);
  Grid->SetColWidths(1, 40);
  EXPECT_EQ(Grid->GetColsExtent(0, 2), 70);
  EXPECT_EQ(Grid->GetColsExtent(0, 0), 0);
  EXPECT_EQ(Grid->GetRowsExtent(0, 0), 0);
}

TEST_F(GridTest, DeleteColumnAndRow) {
  Grid->SetColWidths(2, 77);
  Grid->DeleteColumn(2);
  EXPECT_EQ(Grid->ColCount(), 5);
  for (Integer I = 0; I < 5; ++I) EXPECT_EQ(Grid->ColWidths(I), 50);
  Grid->SetRowHeights(3, 33);
  Grid->DeleteRow(3);
  EXPECT_EQ(Grid->RowCount(), 5);
  EXPECT_EQ(Grid->RowHeights(3), 20);
  EXPECT_EQ(Grid->LockPaintCount(), 0);

  Grid->SetContraColCount(1);  // a rolling column cannot travel into the contra area
  EXPECT_RAISES(Grid->DeleteColumn(2), Exception, "MoveCel in different areas[FromIndex:2, ToIndex:5]");
  EXPECT_EQ(Grid->ColCount(), 5);
}

// The names DefineProperties offers a writer, and which of them have data.
class TRecordingFiler : public TFiler {
public:
  TRecordingFiler() : TFiler(&Stream, 16) {}
  void DefineProperty(const String& Name, TReaderProc, TWriterProc, bool HasData) override {
    if (HasData) Written << Name;
  }
  void DefineBinaryProperty(const String&, TStreamProc, TStreamProc, bool) override {}
  void FlushBuffer() override {}
  TMemoryStream Stream;
  QStringList Written;
};

TEST_F(GridTest, CellExtentsAreStreamedOnlyWhenAsked) {
  auto* Extents = CreateGridEh<TExtentsGrid>(Form);
  TRecordingFiler Filer;
  Extents->DefineProperties(&Filer);
  EXPECT_TRUE(Filer.Written.isEmpty());
  Extents->SetSaveCellExtents(true);
  Extents->DefineProperties(&Filer);
  EXPECT_EQ(Filer.Written, (QStringList{"ColWidths", "RowHeights"}));
}

TEST_F(GridTest, CellExtentsRoundTripThroughAStream) {
  RegisterClass(TExtentsGrid::StaticClass());
  auto* Source = CreateGridEh<TExtentsGrid>(Form);
  Source->SetName(QStringLiteral("Source"));
  Source->SetSaveCellExtents(true);
  Source->SetColWidths(2, 71);
  Source->SetRowHeights(4, 33);
  TMemoryStream Stream;
  Stream.WriteComponent(Source);

  auto* Target = CreateGridEh<TExtentsGrid>(nullptr);  // it takes the name "Source"
  const TScopeExit FreeTarget([Target] { Target->Free(); });
  Target->SetSaveCellExtents(true);
  Stream.SetPosition(0);
  Stream.ReadComponent(Target);
  EXPECT_EQ(Target->ColWidths(2), 71);
  EXPECT_EQ(Target->RowHeights(4), 33);
  EXPECT_EQ(Target->ColWidths(1), 50);
}

TEST_F(GridTest, SelectionDrawParamsCanBeSet) {
  TGridSelectionDrawParamsEh Params(nullptr);
  Params.SetSelectionStyle(gsdsClassicEh);
  Params.SetDrawFocusFrame(false);
  Grid->SetSelectionDrawParams(&Params);
  EXPECT_EQ(Grid->SelectionDrawParams()->SelectionStyle(), gsdsClassicEh);
  EXPECT_TRUE(Grid->SelectionDrawParams()->DrawFocusFrameStored());
  EXPECT_FALSE(Grid->SelectionDrawParams()->DrawFocusFrame());
}

TEST_F(GridTest, FreeingTheDrawStyleDetachesItsGrids) {
  auto* Own = new TGridDrawStyleEh(nullptr);
  Grid->SetDrawStyle(Own);
  EXPECT_FALSE(GetGridDrawStyleEh()->GridInChangeNotification(Grid));
  Own->Free();
  EXPECT_EQ(Grid->DrawStyle(), GetGridDrawStyleEh());  // back with the global one
  EXPECT_TRUE(GetGridDrawStyleEh()->GridInChangeNotification(Grid));
}

}  // namespace
