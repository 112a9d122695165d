// TCustomGridEh scrolling and the current cell: scroll commands by pixels
// or by cells, bringing a cell into view, clamping positions, moving the
// current cell, mapping points to cells, invalidating cells and the pan
// gesture.
#include "gridlib/grid/grids.h"
#include "gridlib/grid/gridstyle.h"
#include "platform/ui/windowing/gestures.h"
#include "platform/ui/windowing/window.h"

#include <cstdlib>

using namespace gdi;

namespace {
// The scroll codes of the platform's scroll-bar messages.
enum : Integer {
  ScrollLineUp = 0, ScrollLineDown = 1, ScrollPageUp = 2, ScrollPageDown = 3, ScrollThumbPosition = 4,
  ScrollThumbTrack = 5, ScrollTop = 6, ScrollBottom = 7
};

Integer mirroredCode(Integer Code) {
  switch (Code) {
    case ScrollLineUp: return ScrollLineDown;
    case ScrollLineDown: return ScrollLineUp;
    case ScrollPageUp: return ScrollPageDown;
    case ScrollPageDown: return ScrollPageUp;
    case ScrollTop: return ScrollBottom;
    case ScrollBottom: return ScrollTop;
    default: return Code;
  }
}
}  // namespace

// ---------------------------------------------------------------------------
// scroll commands

void TCustomGridEh::ScrollBarCommand(TScrollBarKind Kind, Integer Code, Integer Pos, bool AllowRightToLeftSwap) {
  if (Kind == sbVertical) {
    VertScrollCommand(Code, Pos);
    return;
  }
  if (UseRightToLeftAlignment() && AllowRightToLeftSwap) {
    Code = mirroredCode(Code);
    if (Code == ScrollThumbPosition || Code == ScrollThumbTrack) {
      Integer Position = 0, Min = 0, Max = 0, Page = 0;
      CalcHorzScrollBarParams(Position, Min, Max, Page);
      Pos = Max - Pos - Page + 1;
    }
  }
  HorzScrollCommand(Code, Pos);
}

void TCustomGridEh::HorzScrollCommand(Integer Code, Integer Pos) {
  if (IsSmoothHorzScroll())
    ScrollAxisByPixels(Code, Pos, FHorzAxis, FHorzScrollBar);
  else
    ScrollAxisByCells(Code, Pos, FHorzAxis, FHorzScrollBar);
}

void TCustomGridEh::VertScrollCommand(Integer Code, Integer Pos) {
  if (IsSmoothVertScroll())
    ScrollAxisByPixels(Code, Pos, FVertAxis, FVertScrollBar);
  else
    ScrollAxisByCells(Code, Pos, FVertAxis, FVertScrollBar);
}

void TCustomGridEh::ScrollAxisByPixels(Integer Code, Integer Pos, TGridAxisDataEh* Axis,
                                       TGridScrollBarEh* ScrollBar) {
  const Int64 P = Axis->RolStartVisPos();
  Int64 Delta = 0;
  switch (Code) {
    case ScrollLineUp: Delta = -Axis->GetScrollStep(); break;
    case ScrollLineDown: Delta = Axis->GetScrollStep(); break;
    case ScrollPageUp: Delta = -Axis->RolClientLen(); break;
    case ScrollPageDown: Delta = Axis->RolClientLen(); break;
    case ScrollThumbPosition: Delta = Pos - P; break;
    case ScrollThumbTrack: Delta = ScrollBar->Tracking() ? Pos - P : 0; break;
    case ScrollTop: Delta = -P; break;
    case ScrollBottom: Delta = Axis->RolStopVisPos() - P; break;
    default: break;
  }
  Axis->SetRolStartVisPos(Axis->CheckRolStartVisPos(P + Delta));
}

void TCustomGridEh::ScrollAxisByCells(Integer Code, Integer Pos, TGridAxisDataEh* Axis,
                                      TGridScrollBarEh* ScrollBar) {
  Integer Target = -1;
  Integer Cel = 0;
  Int64 Offset = 0;
  switch (Code) {
    case ScrollLineUp:
      // A partly scrolled first cell is first shown whole.
      Target = Axis->RolStartVisCelOfst() <= 0 ? Axis->RolStartVisCel() - 1 : Axis->RolStartVisCel();
      break;
    case ScrollLineDown: Target = Axis->RolStartVisCel() + 1; break;
    case ScrollPageUp:
      Axis->CheckUpdateRolCelPosArr();
      Axis->RolCellAtPos(Int64(Pos) - Axis->RolClientLen(), Cel, Offset);
      Target = Offset > 0 ? Cel + 1 : Cel;
      break;
    case ScrollPageDown:
      // A cut last cell becomes the first.
      Target = Axis->RolLastFullVisCel() == Axis->RolLastVisCel() ? Axis->RolLastVisCel() + 1 : Axis->RolLastVisCel();
      break;
    case ScrollThumbTrack:
      if (!ScrollBar->Tracking()) break;
      [[fallthrough]];
    case ScrollThumbPosition:
      if (Pos == Axis->RolLen() - Axis->RolClientLen()) {
        Target = Axis->RolCelCount() - 1;
      } else {
        Axis->RolCellAtPos(Pos, Cel, Offset);
        Target = Offset > Axis->GetRolCelLens(Cel) / 2 ? Cel + 1 : Cel;
      }
      break;
    case ScrollTop: Target = 0; break;
    case ScrollBottom: Target = Axis->RolCelCount(); break;
    default: break;
  }
  if (Target != -1) Axis->SafeSetRolStartVisCel(Target, sstByPixelEh);
}

// ---------------------------------------------------------------------------
// positions

void TCustomGridEh::ScrollCellIntoView(TGridCoord Cell, bool Horz, bool Vert) {
  if (!HandleAllocated()) return;
  const auto NewStart = [](TGridAxisDataEh* Axis, Integer Index) {
    Int64 Start = Axis->RolStartVisPos();
    if (Index < Axis->FixedCelCount() || Index >= Axis->CelCount()) return Start;
    const Integer Local = Index - Axis->FixedCelCount();
    const Int64 Pos = Axis->GetRolLocCelPosArr(Local);
    const Int64 Len = Axis->GetRolCelLens(Local);
    const Int64 Window = Axis->ContraStart() - Axis->FixedBoundary();
    if (Pos < Start) return Pos;
    if (Pos + Len > Start + Window) {
      Start = Pos + Len - Window;
      if (Start > Pos) Start = Pos;  // wider than the window: show its start
    }
    return Start;
  };
  Integer Cel = 0;
  Int64 Offset = 0;
  if (Horz) {
    const Int64 NewLeft = NewStart(FHorzAxis, Cell.X);
    if (IsSmoothHorzScroll()) {
      FHorzAxis->SetRolStartVisPos(NewLeft);
    } else {
      FHorzAxis->RolCellAtPos(NewLeft, Cel, Offset);
      FHorzAxis->SetRolStartVisPos(FHorzAxis->GetRolLocCelPosArr(Cel));
    }
  }
  if (Vert) {
    const Int64 NewTop = NewStart(FVertAxis, Cell.Y);
    if (IsSmoothVertScroll()) {
      FVertAxis->SetRolStartVisPos(NewTop);
    } else {
      FVertAxis->RolCellAtPos(NewTop, Cel, Offset);
      const bool Inside = Offset > 0 && Cel + 1 < FVertAxis->RolCelCount();
      FVertAxis->SetRolStartVisPos(Inside ? FVertAxis->GetRolLocCelPosArr(Cel + 1) : NewTop);
    }
  }
}

void TCustomGridEh::CalcMaxScrollPositions(Int64& MaxLeft, Int64& MaxTop, bool SnapHorz, bool SnapVert) {
  const auto Max = [](TGridAxisDataEh* Axis, Int64 RolLen, bool Snap) {
    Int64 Result = std::max<Int64>(RolLen - Axis->RolClientLen(), 0);
    if (!Snap || Axis->RolCelCount() == 0) return Result;
    Integer Cel = 0;
    Int64 Offset = 0;
    Axis->RolCellAtPos(Result, Cel, Offset);
    if (Offset > 0 && Cel < Axis->RolCelCount() - 1) Result = Axis->GetRolLocCelPosArr(Cel + 1);
    return Result;
  };
  MaxLeft = Max(FHorzAxis, MaxLeft, SnapHorz);
  MaxTop = Max(FVertAxis, MaxTop, SnapVert);
}

void TCustomGridEh::ClampScrollPositions(Int64&, Int64&, bool SnapHorz, bool SnapVert) {
  Int64 MaxLeft = FHorzAxis->RolLen(), MaxTop = FVertAxis->RolLen();
  CalcMaxScrollPositions(MaxLeft, MaxTop, SnapHorz, SnapVert);
  if (LeftPos() > MaxLeft) FHorzAxis->SetRolStartVisPos(MaxLeft);
  if (TopPos() > MaxTop) FVertAxis->SetRolStartVisPos(MaxTop);
}

// ---------------------------------------------------------------------------
// the current cell

void TCustomGridEh::MoveCurrentCell(Integer ACol, Integer ARow, bool ShowHorz, bool ShowVert) {
  if (ACol < 0 || ACol >= ColCount() || ARow < 0 || ARow >= RowCount())
    throw EInvalidGridOperationEh(QStringLiteral("Grid index out of range"));
  if (!SelectCell(ACol, ARow)) return;
  const TGridRect OldSelection = Selection();
  const TGridCoord OldCur = FCurCell;
  const bool HadRange = HasSelectionRange();
  if (!FOptions.Contains(goAlwaysShowEditorEh)) HideEditor();
  FCurCell = {ACol, ARow};
  FAnchorCell = FCurCell;
  if (ShowHorz || ShowVert) ScrollCellIntoView(FCurCell, ShowHorz, ShowVert);
  if (HasSelectionRange() != HadRange) {
    InvalidateGrid();
  } else {
    InvalidateCell(OldCur.X, OldCur.Y);
    InvalidateCell(ACol, ARow);
  }
  InvalidateSelectionArea(OldSelection);
  CurCellMoved(OldCur);
}

TGridCoord TCustomGridEh::FindSelectableCell(Integer FromCol, Integer FromRow, Integer ToCol, Integer ToRow) {
  TGridCoord Result{ToCol, ToRow};
  if (ToCol > FromCol) {
    for (Integer C = ToCol; C <= ColCount() - 1; ++C)
      if (SelectCell(C, ToRow)) { Result.X = C; break; }
  } else if (ToCol < FromCol) {
    for (Integer C = ToCol; C >= 0; --C)
      if (SelectCell(C, ToRow)) { Result.X = C; break; }
  }
  if (ToRow > FromRow) {
    for (Integer R = ToRow; R <= RowCount() - 1; ++R)
      if (SelectCell(ToCol, R)) { Result.Y = R; break; }
  } else if (ToRow < FromRow) {
    for (Integer R = ToRow; R >= 0; --R)
      if (SelectCell(ToCol, R)) { Result.Y = R; break; }
  }
  return Result;
}

void TCustomGridEh::ClampCellCoord(Integer& ACol, Integer& ARow) {
  ACol = std::clamp(ACol, 0, std::max(FullColCount() - 1, 0));
  ARow = std::clamp(ARow, 0, std::max(FullRowCount() - 1, 0));
}

void TCustomGridEh::ResetCellCoordIfOutside(TGridCoord& Coord) {
  if (Coord.X < 0 || Coord.X >= FullColCount() || Coord.Y < 0 || Coord.Y >= FullRowCount()) Coord = {-1, -1};
}

// ---------------------------------------------------------------------------
// points to cells

namespace {
// The cell of Axis under client pixel P; ContraAtStart: P equal to the
// contra start already counts as contra (rows).
Integer cellAtPoint(TGridAxisDataEh* Axis, Integer P, bool ContraAtStart) {
  const Integer Start = Axis->GridClientStart();
  if (P < Start) return -1;
  if (P < Axis->FixedBoundary()) {
    Integer Edge = Start;
    for (Integer I = 0; I < Axis->FixedCelCount(); ++I) {
      Edge += Axis->GetFixedCelLens(I);
      if (Edge > P) return I;
    }
    return -1;
  }
  const bool InContra = ContraAtStart ? P >= Axis->ContraStart() : P > Axis->ContraStart();
  if (InContra) {
    if (P >= Axis->GridClientStop()) return Axis->FullCelCount();
    Integer Edge = Axis->ContraStart();
    for (Integer I = 0; I < Axis->ContraCelCount(); ++I) {
      Edge += Axis->GetContraCelLens(I);
      if (Edge > P) return Axis->CelCount() + I;
    }
    return -1;
  }
  Int64 Edge = Axis->FixedBoundary() - Axis->RolStartVisCelOfst();
  for (Integer I = Axis->RolStartVisCel(); I < Axis->RolCelCount(); ++I) {
    Edge += Axis->GetRolCelLens(I);
    if (Edge > P) return Axis->FixedCelCount() + I;
  }
  return Axis->FullCelCount();
}
}  // namespace

TGridCoord TCustomGridEh::CalcCoordFromPoint(Integer X, Integer Y) {
  if (UseRightToLeftAlignment()) X = FHorzAxis->RightToLeftReflect(X);
  return {cellAtPoint(FHorzAxis, X, /*ContraAtStart=*/false), cellAtPoint(FVertAxis, Y, /*ContraAtStart=*/true)};
}

TGridCoord TCustomGridEh::MouseCoord(Integer X, Integer Y) {
  TGridCoord Result = CalcCoordFromPoint(X, Y);
  if (Result.X < 0 || Result.X >= FullColCount()) Result.X = -1;
  if (Result.Y < 0 || Result.Y >= FullRowCount()) Result.Y = -1;
  return Result;
}

// ---------------------------------------------------------------------------
// invalidation

void TCustomGridEh::InvalidateRect(const TGridRect& ARect) {
  if (!HandleAllocated()) return;
  TRect R;
  GridRectToClientRect(ARect, R, /*ClipToView=*/true, /*ForRightToLeft=*/true);
  if (R.Width() <= 0 || R.Height() <= 0) return;
  const RECT Rect = R;
  gdi::InvalidateRect(Handle(), &Rect, /*Erase=*/0);
}

void TCustomGridEh::InvalidateCell(Integer ACol, Integer ARow) { InvalidateRect({ACol, ARow, ACol, ARow}); }

void TCustomGridEh::InvalidateCol(Integer ACol) {
  InvalidateRect({ACol, 0, ACol, FixedRowCount() + FVertAxis->RolLastVisCel()});
  if (ContraRowCount() > 0) InvalidateRect({ACol, RowCount(), ACol, FullRowCount() - 1});
}

void TCustomGridEh::InvalidateRow(Integer ARow) {
  InvalidateRect({0, ARow, std::min(FixedColCount() + FHorzAxis->RolLastVisCel(), FullColCount() - 1), ARow});
  if (ContraColCount() > 0) InvalidateRect({ColCount(), ARow, FullColCount() - 1, ARow});
}

// ---------------------------------------------------------------------------
// the pan gesture

void TCustomGridEh::WMGesture(TMessage& Message) {
  const auto* Info = reinterpret_cast<const TGestureEventInfo*>(Message.LParam);
  if (!Info) return;
  bool Handled = false;
  DoGesture(*Info, Handled);
  Message.Result = Handled ? 1 : 0;
}

void TCustomGridEh::DoGesture(const TGestureEventInfo& EventInfo, bool& Handled) {
  if (EventInfo.GestureID != igiPan) return;
  Handled = true;
  if (EventInfo.Flags.Contains(gfBegin)) {
    FPanPoint = EventInfo.Location;
    return;
  }
  if (EventInfo.Flags.Contains(gfEnd)) return;
  // A pan scrolls by whole cells of the length under it; a zero-length cell
  // cannot be divided by, so it scrolls nothing.
  const auto Pan = [this, &EventInfo](Integer Delta, Integer CellLen, TScrollBarKind Kind) {
    if (CellLen <= 0) return;
    const Integer Count = std::abs(Delta) / CellLen;
    if (std::abs(Delta) % CellLen != 0 && Count <= 0) return;
    for (Integer I = 0; I < Count; ++I) ScrollBarCommand(Kind, Delta > 0 ? 0 : 1, 0, true);
    FPanPoint = EventInfo.Location;
    (Kind == sbVertical ? FPanPoint.Y : FPanPoint.X) += Delta % CellLen;
  };
  const Integer Dy = EventInfo.Location.Y - FPanPoint.Y;
  if (std::abs(Dy) > 1) {
    Pan(Dy, RowHeights(TopRow()), sbVertical);
    return;
  }
  const Integer Dx = EventInfo.Location.X - FPanPoint.X;
  if (std::abs(Dx) > 1) Pan(Dx, ColWidths(LeftCol()), sbHorizontal);
}
