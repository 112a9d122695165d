// TCustomGridEh mouse handling: the state machine of selecting, sizing and
// moving, the sizing hit test and line, the move target and line, and hot
// tracking.
//
//   gsNormalEh --left button on a data cell, goRangeSelectEh--> gsSelectingEh
//              --left button on a sizing line--> gsRowSizingEh / gsColSizingEh
//              --left button on a rolling row's fixed cell--> gsRowMovingEh
//              --left button on a column's title (StartColMoving)--> gsColMovingEh
//   every state returns to gsNormalEh on MouseUp or CancelMode, with a full
//   repaint.
#include "gridlib/base/dragwindows.h"
#include "gridlib/grid/grids.h"
#include "gridlib/grid/inplaceedit.h"
#include "platform/rtl/scopeexit.h"
#include "platform/ui/windowing/window.h"

using namespace gdi;

namespace {

// Sizing zones: a column line is hit from 3 pixels before it to 4 after,
// a row line from 2 before to 3 after.
constexpr Integer ColSizingZone = 7;
constexpr Integer RowSizingZone = 5;
// The grid timer's interval while selecting or moving starts.
constexpr Cardinal DragTimerInterval = 60;

// The first hit of a scan of Axis at P; Index and SizingPos are set on a hit.
bool scanSizingLines(TGridAxisDataEh* A, Integer P, Integer Zone, bool FixedSizable, Integer& Index,
                     Integer& SizingPos) {
  const Integer Half = Zone / 2;
  const auto hit = [&](Integer E) { return E - Half <= P && P <= E - Half + Zone; };

  Integer First = FixedSizable ? 0 : A->FixedCelCount() - A->FrozenCelCount();
  Integer E = FixedSizable ? A->GridClientStart() : A->FixedBoundary() - A->FrozenLen();
  for (Integer I = First; I < A->FixedCelCount(); ++I) {
    E += A->GetFixedCelLens(I);
    if (E >= A->GridClientStop()) break;
    if (hit(E)) {
      Index = I;
      SizingPos = E;
      return true;
    }
  }

  E = A->FixedBoundary() - A->RolStartVisCelOfst();
  for (Integer I = A->RolStartVisCel(); I < A->RolCelCount(); ++I) {
    E += A->GetRolCelLens(I);
    if (E >= A->ContraStart()) break;
    if (hit(E)) {
      Index = I + A->FixedCelCount();
      SizingPos = E;
      return true;
    }
  }

  const Integer Boundary = Integer(A->RolInClientBoundary());
  if (A->ContraStart() == Boundary && Boundary - Half <= P && P <= Boundary) {
    SizingPos = Boundary;
    Index = A->RolLastVisCel() + A->FixedCelCount();
    return true;
  }
  if (A->ContraCelCount() > 0 && A->ContraStart() <= P && P <= A->ContraStart() + Half) {
    SizingPos = A->ContraStart();
    Index = A->CelCount();
    return true;
  }
  E = A->ContraStart();
  for (Integer I = 0; I < A->ContraCelCount() - 1; ++I) {
    E += A->GetContraCelLens(I);
    if (E >= A->GridClientStop()) break;
    if (hit(E)) {
      Index = A->CelCount() + I + 1;
      SizingPos = E;
      return true;
    }
  }
  return false;
}

bool isSizingState(TGridStateEh State) { return State == gsRowSizingEh || State == gsColSizingEh; }

}  // namespace

void TGridHotTrackSpotEh::Assign(TPersistent* Source) {
  auto* Spot = dynamic_cast<TGridHotTrackSpotEh*>(Source);
  if (!Spot) {
    TPersistent::Assign(Source);
    return;
  }
  Col = Spot->Col;
  InCellX = Spot->InCellX;
  InCellY = Spot->InCellY;
  Row = Spot->Row;
}

// ---------------------------------------------------------------------------
// the sizing hit test

void TCustomGridEh::CalcSizingState(Integer X, Integer Y, TGridStateEh& State, Integer& Index, Integer& SizingPos,
                                    Integer& SizingOfs) {
  State = gsNormalEh;
  Index = -1;
  TGridOptionsEh Opts = FOptions;
  if (ComponentState().Contains(csDesigning)) Opts = Opts + FDesignOptionsBoost;
  if (!Opts.Contains(goRowSizingEh) && !Opts.Contains(goColSizingEh)) return;
  TGridAxisDataEh* H = FHorzAxis;
  TGridAxisDataEh* V = FVertAxis;
  const bool RightToLeft = UseRightToLeftAlignment();

  const Integer C = FixedColsSizable() ? H->GridClientStart() : H->FixedBoundary() - H->FrozenLen();
  const bool InColZone = RightToLeft ? X < ClientWidth() - C : X > C;
  if (InColZone && Opts.Contains(goColSizingEh)) {
    if (V->GridClientStart() <= Y && Y < V->FixedBoundary() - V->FrozenLen()) {
      const Integer P = RightToLeft ? ClientWidth() - X : X;
      if (scanSizingLines(H, P, ColSizingZone, FixedColsSizable(), Index, SizingPos)) {
        State = gsColSizingEh;
        SizingOfs = SizingPos - P;
      }
    }
    return;
  }
  if (!Opts.Contains(goRowSizingEh) || Y <= V->FixedBoundary() - V->FrozenLen()) return;
  const Integer FixedEdge = H->FixedBoundary() - H->FrozenLen();
  const bool OverFixedCols = RightToLeft ? X > ClientWidth() + H->FrozenLen() - H->FixedBoundary() : X < FixedEdge;
  if (!OverFixedCols) return;
  if (scanSizingLines(V, Y, RowSizingZone, FixedRowsSizable(), Index, SizingPos)) {
    State = gsRowSizingEh;
    SizingOfs = SizingPos - Y;
  }
}

TGridStateEh TCustomGridEh::CalcGridStateAtPos(TPoint Pos) {
  if (FGridState != gsNormalEh) return FGridState;
  TGridStateEh State = gsNormalEh;
  Integer Index = 0, SizingPos = 0, SizingOfs = 0;
  CalcSizingState(Pos.X, Pos.Y, State, Index, SizingPos, SizingOfs);
  return State;
}

// ---------------------------------------------------------------------------
// the sizing line

void TCustomGridEh::CalcSizingLineExtent(Integer& StartPos, Integer& StopPos) {
  if (FGridState == gsRowSizingEh) {
    StartPos = FHorzAxis->GridClientStart();
    StopPos = FHorzAxis->GridClientStop();
    if (UseRightToLeftAlignment()) {
      const Integer Start = StartPos;
      StartPos = ClientWidth() - StopPos;
      StopPos = ClientWidth() - Start;
    }
  } else {
    StartPos = FVertAxis->GridClientStart();
    StopPos = FVertAxis->GridClientStop();
  }
}

void TCustomGridEh::DrawSizingLine() {
  Integer Start = 0, Stop = 0;
  CalcSizingLineExtent(Start, Stop);
  TCanvas* C = Canvas();
  C->Pen()->SetStyle(psSolid);
  C->Pen()->SetWidth(1);
  C->Pen()->SetColor(cl3DDkShadow);
  const auto line = [&](Integer Pos) {
    if (FGridState == gsColSizingEh) {
      C->MoveTo(Pos, Start);
      C->LineTo(Pos, Stop);
    } else {
      C->MoveTo(Start, Pos);
      C->LineTo(Stop, Pos);
    }
  };
  line(FSizingPos - 1);
  if (FDrawenSizingPos1 >= 0) line(FDrawenSizingPos1 - 1);
}

void TCustomGridEh::InvalidateSizingLine() {
  if (!HandleAllocated()) return;
  const auto strip = [this](Integer Pos) {
    const RECT R = FGridState == gsColSizingEh ? TRect(Pos, 0, Pos + 1, ClientHeight())
                                               : TRect(0, Pos, ClientWidth(), Pos + 1);
    gdi::InvalidateRect(Handle(), &R, /*Erase=*/0);
  };
  strip(FDrawenSizingPos2 - 1);
  strip(FSizingPos - 1);
  UpdateWindow(Handle());
  FDrawenSizingPos2 = FSizingPos;
}

void TCustomGridEh::EraseSizingLine() { InvalidateSizingLine(); }

void TCustomGridEh::TrackSizingLine(Integer, Integer) {
  FDrawenSizingPos2 = FSizingPos;
  TGridAxisDataEh* A = FGridState == gsColSizingEh ? FHorzAxis : FVertAxis;
  const Integer I = FSizingIndex;
  if (I < A->FixedCelCount()) {
    FDrawenSizingPos1 = -1;
  } else if (I < A->CelCount()) {
    const Integer Local = I - A->FixedCelCount();
    FDrawenSizingPos1 = Integer(A->FixedBoundary() + A->GetRolLocCelPosArr(Local) - A->RolStartVisPos());
  } else {
    Integer E = A->ContraStart();
    for (Integer C = 0; C <= I - A->CelCount() && C < A->ContraCelCount(); ++C) E += A->GetContraCelLens(C);
    FDrawenSizingPos1 = E;
  }
  if (FDrawenSizingPos1 < A->FixedBoundary()) FDrawenSizingPos1 = -1;
  Invalidate();
}

Integer TCustomGridEh::CalcNewSizingLength(TGridAxisDataEh* A) {
  const Integer I = FSizingIndex;
  if (I < A->FixedCelCount()) return FSizingPos - (A->GridClientStart() + A->GetFixedCelPos(I));
  if (I < A->CelCount()) {
    Int64 Start = A->FixedBoundary() - A->RolStartVisCelOfst();
    for (Integer C = A->RolStartVisCel(); C < I - A->FixedCelCount(); ++C) Start += A->GetRolCelLens(C);
    return Integer(FSizingPos - Start);
  }
  Integer E = A->ContraStart();
  for (Integer C = 0; C <= I - A->CelCount() && C < A->ContraCelCount(); ++C) E += A->GetContraCelLens(C);
  return E - FSizingPos;
}

// ---------------------------------------------------------------------------
// moving rows and columns

void TCustomGridEh::UpdateMoveTarget(Integer Pos, Integer Index, TGridAxisDataEh* A, bool IsVert, TPoint Point) {
  if (!IsVert && UseRightToLeftAlignment()) Pos = ClientWidth() - Pos;

  bool RightSite = FMoveToIndex > FMoveFromIndex;
  if (!IsVert && FMoveFromIndex >= 0 && FMoveFromIndex < A->FullCelCount() && A->GetCelLens(FMoveFromIndex) == 0) {
    Integer Next = FMoveFromIndex + 1;
    while (Next < A->CelCount() && A->GetCelLens(Next) == 0) ++Next;
    if (Next == Index) {
      const TRect R = CalcCellRect(Next, 0, false, false);
      if (Pos < R.Left + R.Width() / 2) RightSite = false;
    }
  }

  const TScrollBarKind Kind = IsVert ? sbVertical : sbHorizontal;
  if (A->RolStartVisCelOfst() == 0 && FMoveToIndex == A->FixedCelCount() && Pos < A->FixedBoundary()) return;
  if (Pos < A->FixedBoundary()) {
    if (FMoveToIndex > A->FixedCelCount() || A->RolStartVisCelOfst() > 0) {
      ScrollBarCommand(Kind, /*SB_LINEUP=*/0, 0, /*AllowRightToLeftSwap=*/false);
      Update();
    }
    Index = A->StartVisCel();
  } else if (Pos >= A->GridClientStop()) {
    if (!A->InEndOfRol()) {
      ScrollBarCommand(Kind, /*SB_LINEDOWN=*/1, 0, /*AllowRightToLeftSwap=*/false);
      Update();
    }
    Index = A->RolLastFullVisCel() + A->FixedCelCount();
  } else if (Index == -1 && Pos >= A->RolInClientBoundary()) {
    Index = A->CelCount() - 1;
  } else if (Index < 0) {
    Index = FMoveToIndex;
  }

  if (FGridState == gsColMovingEh) {
    if (CanMoveColTo(FMoveFromIndex, Index, Point)) {
      const TRect R = CalcCellRect(Index, 0);
      const double Mid = R.Left + (R.Right - R.Left) / 2.0;
      const bool Before = UseRightToLeftAlignment() ? Point.X > Mid : Point.X < Mid;
      FMoveToIndex = Before ? Index : Index + 1;
      FMovePosRightSite = false;
    }
  } else if (FGridState == gsRowMovingEh) {
    if (CanMoveRowTo(FMoveFromIndex, Index, Point)) {
      FMoveToIndex = Index;
      FMovePosRightSite = RightSite;
    }
  }
  DrawMoveLine();
}

void TCustomGridEh::DrawMoveLine() {
  if (FGridState != gsRowMovingEh && FGridState != gsColMovingEh) return;
  TGridMoveLineEh* Line = GetGridMoveLineEh();
  TPoint At;
  bool Vertical = false;
  Integer Length = 0;
  if (FGridState == gsRowMovingEh) {
    const TRect R = CalcCellRect(0, FMoveToIndex);
    At = ClientToScreen(TPoint{FHorzAxis->GridClientStart(), FMoveFromIndex < FMoveToIndex ? R.Bottom : R.Top});
    Length = FHorzAxis->GridClientLen();
  } else {
    const TRect R = CalcCellRect(FMoveToIndex, 0);
    const bool RightToLeft = UseRightToLeftAlignment();
    Integer X;
    if (FMovePosRightSite)
      X = RightToLeft ? R.Left : R.Right;
    else
      X = RightToLeft ? R.Right : R.Left - 1;
    At = ClientToScreen(TPoint{X, FVertAxis->GridClientStart()});
    Vertical = true;
    Length = FOptions.Contains(goExtendVertLinesEh)
                 ? Integer(FVertAxis->RolInClientBoundary()) - FVertAxis->GridClientStart()
                 : FVertAxis->GridClientLen();
  }
  if (Line->Visible())
    Line->MoveToFor(At);
  else
    Line->StartShow(At, Vertical, Length, this);
}

void TCustomGridEh::HideMoveWindow() { GetGridMoveLineEh()->Hide(); }

// ---------------------------------------------------------------------------
// MouseDown, MouseMove, MouseUp

void TCustomGridEh::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  HideEdit();
  if (!ComponentState().Contains(csDesigning) && CanFocus()) {
    SetFocus();
    if (!IsActiveControl()) {
      SetMouseCapture(false);
      return;
    }
  }
  bool RowMoveBegun = false;
  if (Button == mbLeft && Shift.Contains(ssDouble)) {
    DblClick();
  } else if (Button == mbLeft) {
    CalcSizingState(X, Y, FGridState, FSizingIndex, FSizingPos, FSizingOfs);
    if (isSizingState(FGridState)) {
      if (FGridState == gsColSizingEh && UseRightToLeftAlignment()) FSizingPos = ClientWidth() - FSizingPos;
      TrackSizingLine(X, Y);
      EraseSizingLine();
      return;
    }
    const TGridCoord Cell = MouseCoord(X, Y);
    const bool DataCell = Cell.X >= FixedColCount() - FrozenColCount() && Cell.X < ColCount() &&
                          Cell.Y >= FixedRowCount() - FrozenRowCount() && Cell.Y < RowCount();
    if (DataCell) {
      mouseDownOnDataCell(Cell, Shift);
    } else {
      mouseDownOnFixedCell(Cell, X, Y);
      RowMoveBegun = FGridState == gsRowMovingEh;
    }
  }
  try {
    TCustomControlEh::MouseDown(Button, Shift, X, Y);
  } catch (...) {
    if (RowMoveBegun) HideMoveWindow();
    throw;
  }
}

void TCustomGridEh::mouseDownOnDataCell(TGridCoord Cell, TShiftState Shift) {
  const bool RangeSelect = FOptions.Contains(goRangeSelectEh);
  if (FOptions.Contains(goEditingEh)) {
    if (Cell == FCurCell) {
      ShowEditor();
    } else {
      if (RangeSelect) {
        FGridState = gsSelectingEh;
        SetGridTimer(true, DragTimerInterval);
      }
      if (RangeSelect && Shift.Contains(ssShift))
        SetAnchorCell(Cell.X, Cell.Y);
      else
        MoveCurrentCell(Cell.X, Cell.Y, true, true);
      UpdateEditor();
    }
    Click();
    return;
  }
  if (RangeSelect) FGridState = gsSelectingEh;
  SetGridTimer(true, DragTimerInterval);
  if (Shift.Contains(ssShift))
    SetAnchorCell(Cell.X, Cell.Y);
  else
    MoveCurrentCell(Cell.X, Cell.Y, true, true);
}

void TCustomGridEh::mouseDownOnFixedCell(TGridCoord Cell, Integer X, Integer Y) {
  if (FOptions.Contains(goRowMovingEh) && Cell.X >= 0 && Cell.X < FixedColCount() && Cell.Y >= FixedRowCount() &&
      Cell.Y < RowCount()) {
    FMoveFromIndex = FMoveToIndex = Cell.Y;
    FMoveFromCellOriginDistance = X - CalcCellRect(Cell.X, Cell.Y).Left;
    if (CanBeginRowMoving(FMoveFromIndex, FMoveToIndex, TPoint{X, Y})) {
      FGridState = gsRowMovingEh;
      Update();
      DrawMoveLine();
      SetGridTimer(true, DragTimerInterval);
    }
    return;
  }
  if (FOptions.Contains(goColMovingEh) && Cell.Y >= 0 && Cell.Y < FixedRowCount() && Cell.X >= FixedColCount() &&
      Cell.X < ColCount() && CanBeginColMoving(Cell.X, Cell.X, TPoint{X, Y}))
    StartColMoving(Cell.X, X, Y);
}

void TCustomGridEh::MouseMove(TShiftState Shift, int X, int Y) {
  FMouseMovePos = TPoint{X, Y};
  if (isSizingState(FGridState)) {
    EraseSizingLine();
    FSizingPos = (FGridState == gsRowSizingEh ? Y : X) + FSizingOfs;
    EraseSizingLine();
  } else if (FGridState == gsNormalEh) {
    UpdateHotTrackAtPos(TPoint{X, Y});
  } else {
    const TGridCoord Cell = MouseCoord(X, Y);
    const bool Designing = ComponentState().Contains(csDesigning);
    if (FGridState == gsSelectingEh) dragSelection(Cell);
    if (Designing && FGridState == gsRowMovingEh)
      UpdateMoveTarget(Y, Cell.Y, FVertAxis, /*IsVert=*/true, TPoint{X, Y});
    else if (Designing && FGridState == gsColMovingEh)
      UpdateMoveTarget(X, Cell.X, FHorzAxis, /*IsVert=*/false, TPoint{X, Y});
  }
  TCustomControlEh::MouseMove(Shift, X, Y);
}

// The anchor follows the mouse inside the visible data cells; outside on
// one axis it keeps that axis's coordinate, outside on both the timer
// scrolls instead.
void TCustomGridEh::dragSelection(TGridCoord Cell) {
  const Integer MinCol = FixedColCount() - FrozenColCount();
  const Integer MaxCol = std::min(FixedColCount() + FHorzAxis->RolLastFullVisCel(), FHorzAxis->CelCount() - 1);
  const Integer MinRow = FixedRowCount() - FrozenRowCount();
  const Integer MaxRow = std::min(FixedRowCount() + FVertAxis->RolLastFullVisCel(), FVertAxis->CelCount() - 1);
  const bool ColIn = Cell.X >= MinCol && Cell.X <= MaxCol;
  const bool RowIn = Cell.Y >= MinRow && Cell.Y <= MaxRow;
  if (!ColIn && !RowIn) return;
  if (!RowIn) Cell.Y = FAnchorCell.Y;
  if (!ColIn) Cell.X = FAnchorCell.X;
  if (!(Cell == FAnchorCell)) SetAnchorCell(Cell.X, Cell.Y);
}

void TCustomGridEh::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  const TScopeExit Reset([this] {
    if (FGridState == gsNormalEh) return;
    FGridState = gsNormalEh;
    Invalidate();
  });
  switch (FGridState) {
    case gsSelectingEh:
      MouseMove(Shift, X, Y);
      SetGridTimer(false, 0);
      UpdateEditor();
      Click();
      break;
    case gsRowSizingEh:
    case gsColSizingEh: {
      EraseSizingLine();
      if (FGridState == gsColSizingEh && UseRightToLeftAlignment()) FSizingPos = ClientWidth() - FSizingPos;
      const bool Cols = FGridState == gsColSizingEh;
      const Integer L = CalcNewSizingLength(Cols ? FHorzAxis : FVertAxis);
      if (L > 1) {
        if (Cols)
          ChangeColWidth(FSizingIndex, L);
        else
          ChangeRowHeight(FSizingIndex, L);
        if (ComponentState().Contains(csDesigning)) NotifyDesignerModified();
      }
      break;
    }
    case gsRowMovingEh:
    case gsColMovingEh: {
      HideMoveWindow();
      SetGridTimer(false, 0);
      const TPoint P{X, Y};
      const bool Rows = FGridState == gsRowMovingEh;
      const bool Can = Rows ? CanEndRowMoving(FMoveFromIndex, FMoveToIndex, P)
                            : CanEndColMoving(FMoveFromIndex, FMoveToIndex, P);
      if (Can && FMoveFromIndex != FMoveToIndex) {
        if (Rows)
          MoveRow(FMoveFromIndex, FMoveToIndex);
        else
          MoveColumn(FMoveFromIndex, FMoveToIndex);
        if (ComponentState().Contains(csDesigning)) NotifyDesignerModified();
      }
      UpdateEditor();
      break;
    }
    case gsNormalEh: UpdateEditor(); break;
  }
  TCustomControlEh::MouseUp(Button, Shift, X, Y);
}

// ---------------------------------------------------------------------------
// hot tracking

void TCustomGridEh::UpdateHotTrackAtPos(TPoint Pos) {
  if (ComponentState().Contains(csDesigning)) return;
  const TGridCoord Cell = MouseCoord(Pos.X, Pos.Y);
  const auto insideFull = [this](TGridCoord C) {
    return C.X >= 0 && C.Y >= 0 && C.X < FullColCount() && C.Y < FullRowCount();
  };
  if (CanHotTrackCell(Cell.X, Cell.Y)) {
    if (!(Cell == FHotTrackCell)) {
      if (insideFull(FHotTrackCell)) InvalidateCell(FHotTrackCell.X, FHotTrackCell.Y);
      FHotTrackCell = Cell;
      if (Cell.X >= 0 && Cell.Y >= 0) InvalidateCell(Cell.X, Cell.Y);
    }
  } else if (!(FHotTrackCell == TGridCoord{-1, -1})) {
    if (insideFull(FHotTrackCell)) InvalidateCell(FHotTrackCell.X, FHotTrackCell.Y);
    FHotTrackCell = {-1, -1};
  }
  if (!(FHotTrackCell == TGridCoord{-1, -1})) {
    const TRect R = CalcCellRect(FHotTrackCell.X, FHotTrackCell.Y);
    FHotTrackInCellPos = TPoint{Pos.X - R.Left, Pos.Y - R.Top};
  }

  FillHotTrackSpot(FNewHotTrackSpot, Pos.X, Pos.Y);
  if (HotTrackSpotsEqual(FOldHotTrackSpot, FNewHotTrackSpot)) return;
  if (FNewHotTrackSpot->Col >= 0 && FNewHotTrackSpot->Row >= 0) InvalidateHotTrackSpot(FNewHotTrackSpot);
  if (FOldHotTrackSpot->Col >= 0 && FOldHotTrackSpot->Row >= 0) InvalidateHotTrackSpot(FOldHotTrackSpot);
  FOldHotTrackSpot->Assign(FNewHotTrackSpot);
}

void TCustomGridEh::FillHotTrackSpot(TGridHotTrackSpotEh* Spot, Integer X, Integer Y) {
  if (ComponentState().Contains(csDesigning)) return;
  const TGridCoord Cell = MouseCoord(X, Y);
  if (!CanHotTrackCell(Cell.X, Cell.Y)) {
    Spot->Col = -1;
    Spot->Row = -1;
    return;
  }
  Spot->Col = Cell.X;
  Spot->Row = Cell.Y;
  if (Cell.X < 0 || Cell.Y < 0) return;
  const TRect R = CalcCellRect(Cell.X, Cell.Y);
  Spot->InCellX = X - R.Left;
  Spot->InCellY = Y - R.Top;
  // Offsets count from the whole cell, also when its start is scrolled away.
  if (Cell.X == FHorzAxis->StartVisCel()) Spot->InCellX += FHorzAxis->RolStartVisCelOfst();
  if (Cell.Y == FVertAxis->StartVisCel()) Spot->InCellY += FVertAxis->RolStartVisCelOfst();
}

void TCustomGridEh::InvalidateHotTrackSpot(TGridHotTrackSpotEh* Spot) {
  if (Spot->Col < FullColCount() && Spot->Row < FullRowCount()) InvalidateCell(Spot->Col, Spot->Row);
}

// ---------------------------------------------------------------------------
// cell mouse calls

void TCustomGridEh::CellMouseDown(TGridCoord Cell, TMouseButton Button, TShiftState Shift, const TRect& ACellRect,
                                  TPoint GridMousePos, TPoint CellMousePos) {
  bool Processed = false;
  if (OnCellMouseDown) OnCellMouseDown(this, Cell, Button, Shift, CellMousePos.X, CellMousePos.Y, Processed);
  if (!Processed) DefaultCellMouseDown(Cell, Button, Shift, ACellRect, GridMousePos, CellMousePos);
}

void TCustomGridEh::CellMouseClick(TGridCoord Cell, TMouseButton Button, TShiftState Shift, const TRect& ACellRect,
                                   TPoint GridMousePos, TPoint CellMousePos) {
  bool Processed = false;
  if (OnCellMouseClick) OnCellMouseClick(this, Cell, Button, Shift, CellMousePos.X, CellMousePos.Y, Processed);
  if (!Processed) DefaultCellMouseClick(Cell, Button, Shift, ACellRect, GridMousePos, CellMousePos);
}
