// TCustomGridEh layout: the one update that turns the axes into screen
// geometry and decides which scroll bars show, the placement of the
// scroll-bar panels and size grips, the scroll-bar parameters, the blit that
// follows a scroll position change, and the setters that end in them.
#include "gridlib/base/winroutines.h"
#include "gridlib/grid/gridparts.h"
#include "gridlib/grid/grids.h"
#include "gridlib/grid/gridstyle.h"
#include "platform/rtl/scopeexit.h"
#include "platform/ui/graphics/styles.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/window.h"

using namespace gdi;

// ---------------------------------------------------------------------------
// the layout update

void TCustomGridEh::UpdateGridLayout() {
  if (BoundariesUpdating() || ComponentState().Contains(csLoading)) return;
  {
    BeginBoundariesUpdate();
    const TScopeExit End([this] { EndBoundariesUpdate(); });
    layoutAxes();
    reserveScrollBarSpace();
    Int64 Unused1 = 0, Unused2 = 0;
    ClampScrollPositions(Unused1, Unused2, !IsSmoothHorzScroll(), !IsSmoothVertScroll());
    FHorzAxis->CalcLastVisCels();
    FVertAxis->CalcLastVisCels();
    UpdateHorzScrollBarParams();
    if (FInplaceEdit) UpdateEditor();
  }
  Invalidate();
}

void TCustomGridEh::layoutAxes() {
  FWinClientBoundary = HandleAllocated() ? TRect(0, 0, ClientWidth(), ClientHeight()) : TRect(0, 0, Width(), Height());
  const auto Layout = [this](TGridAxisDataEh* Axis, Integer WinSta, Integer WinSto, Integer IndentSta,
                             Integer IndentSto, TGridOptionEh BoundaryLine) {
    Integer ContraLen = 0;
    for (Integer I = 0; I < Axis->ContraCelCount(); ++I) ContraLen += Axis->GetContraCelLens(I);
    if (Axis->ContraCelCount() > 0 && FOptions.Contains(BoundaryLine)) ContraLen += FGridLineWidth;
    const Integer GridStart = WinSta + IndentSta;
    Integer FrozenLen = 0;
    for (Integer I = Axis->FixedCelCount() - Axis->FrozenCelCount(); I < Axis->FixedCelCount(); ++I)
      if (I >= 0) FrozenLen += Axis->GetFixedCelLens(I);
    Axis->SetLayout(WinSta, WinSto, GridStart, WinSto - IndentSto,
                    GridStart + Axis->GetFixedCelPos(Axis->FixedCelCount()), ContraLen, FrozenLen);
  };
  Layout(FHorzAxis, FWinClientBoundary.Left, FWinClientBoundary.Right, FOutBoundaryData->LeftIndent(),
         FOutBoundaryData->RightIndent(), goContraVertBoundaryLineEh);
  Layout(FVertAxis, FWinClientBoundary.Top, FWinClientBoundary.Bottom, FOutBoundaryData->TopIndent(),
         FOutBoundaryData->BottomIndent(), goContraHorzBoundaryLineEh);
}

// Showing one bar shortens the other axis, which may call for the other bar:
// the second question is asked after the first reduction.
void TCustomGridEh::reserveScrollBarSpace() {
  if (FHorzScrollBar->IsScrollBarShowing()) {
    FVertAxis->ReduceClientStop(FHorzScrollBar->ActualSize());
    if (FVertScrollBar->IsScrollBarShowing()) FHorzAxis->ReduceClientStop(FVertScrollBar->ActualSize());
  } else if (FVertScrollBar->IsScrollBarShowing()) {
    FHorzAxis->ReduceClientStop(FVertScrollBar->ActualSize());
    if (FHorzScrollBar->IsScrollBarShowing()) FVertAxis->ReduceClientStop(FHorzScrollBar->ActualSize());
  }
}

void TCustomGridEh::CreateWnd() {
  TCustomControlEh::CreateWnd();
  UpdateGridLayout();
}

void TCustomGridEh::Loaded() {
  TCustomControlEh::Loaded();
  UpdateGridLayout();
}

void TCustomGridEh::OutBoundaryDataChanged() { UpdateGridLayout(); }
void TCustomGridEh::AxisPositionsChanged() { UpdateGridLayout(); }
void TCustomGridEh::ScrollBarSizeChanged() { UpdateGridLayout(); }

void TCustomGridEh::CelLenChanged(TGridAxisDataEh* Axis, Integer Index, Integer) {
  if (Index < Axis->FixedCelCount() || Index >= Axis->CelCount()) UpdateGridLayout();
  if (Axis == FHorzAxis)
    ColWidthsChanged();
  else
    RowHeightsChanged();
}

void TCustomGridEh::ColWidthsChanged() {
  if (AxesPositionsActual()) UpdateEditor();
}

void TCustomGridEh::RowHeightsChanged() {
  if (AxesPositionsActual()) UpdateEditor();
}

bool TCustomGridEh::AxesPositionsActual() const {
  return !FHorzAxis->RolLocCelPosArrObsolete() && !FVertAxis->RolLocCelPosArrObsolete();
}

void TCustomGridEh::UpdateAxesPositions() { CheckAxesPositions(); }

void TCustomGridEh::CheckAxesPositions() {
  FHorzAxis->CheckUpdateRolCelPosArr();
  FVertAxis->CheckUpdateRolCelPosArr();
}

void TCustomGridEh::GridSizeChanged() {
  Invalidate();
  FCurCell.X = std::max(std::min(FCurCell.X, ColCount() - 1), FixedColCount() - FrozenColCount());
  FCurCell.Y = std::max(std::min(FCurCell.Y, RowCount() - 1), FixedRowCount() - FrozenRowCount());
  FAnchorCell = FCurCell;
}

// ---------------------------------------------------------------------------
// scroll-bar parameters and panels

void TCustomGridEh::CalcHorzScrollBarParams(Integer& Position, Integer& Min, Integer& Max, Integer& PageSize) {
  const Int64 Len = FHorzAxis->RolLen();
  Position = Integer(FHorzAxis->RolStartVisPos());
  Min = 0;
  Max = Len <= 0 ? 0 : Integer(Len - 1);
  PageSize = FHorzAxis->RolClientLen();
  if (UseRightToLeftAlignment()) Position += PageSize;
}

void TCustomGridEh::CalcVertScrollBarParams(Integer& Position, Integer& Min, Integer& Max, Integer& PageSize) {
  Position = Integer(FVertAxis->RolStartVisPos());
  Min = 0;
  Max = Integer(FVertAxis->RolLen() - 1);
  PageSize = FVertAxis->RolClientLen();
}

void TCustomGridEh::UpdateHorzScrollBarParams() {
  Integer Position = 0, Min = 0, Max = 0, PageSize = 0;
  FHorzScrollBar->GetScrollBarParams(Position, Min, Max, PageSize);
  CalcHorzScrollBarParams(Position, Min, Max, PageSize);
  FHorzScrollBar->SetScrollBarParams(Position, Min, Max, PageSize);
  FVertScrollBar->GetScrollBarParams(Position, Min, Max, PageSize);
  CalcVertScrollBarParams(Position, Min, Max, PageSize);
  FVertScrollBar->SetScrollBarParams(Position, Min, Max, PageSize);
  UpdateScrollBars();
}

Integer TCustomGridEh::ScrollBarBoxSize(TScrollBarKind Kind) {
  return (Kind == sbHorizontal ? FHorzScrollBar : FVertScrollBar)->ActualScrollBarBoxSize();
}

void TCustomGridEh::placeSizeGrips(Integer b, Integer c, Integer& w, Integer& h, Integer& t, Integer& l) {
  const bool RightToLeft = UseRightToLeftAlignment();
  const auto Mirrored = [RightToLeft](TSizeGripPosition P) { return RightToLeft ? MirrorSizeGripPositionEh(P) : P; };
  if (FSizeGripPostion == sgpBottomRight) {
    FExtraSizeGripControl->SetVisible(false);
    FCornerScrollBarPanelControl->SetGripActiveStatus(FSizeGripAlwaysShow ? gasAlwaysEh : gasAutoEh);
    if ((c > 0 && b > 0) || FSizeGripAlwaysShow) {
      w = FVertScrollBar->ActualSize();
      h = FHorzScrollBar->ActualScrollBarBoxSize();
    }
    FCornerScrollBarPanelControl->SetPosition(Mirrored(sgpBottomRight));
    return;
  }
  FCornerScrollBarPanelControl->SetGripActiveStatus(gasNeverEh);
  const Integer BoxW = FHorzScrollBar->ActualSize(), BoxH = FVertScrollBar->ActualSize();
  TSizeGripPanelEh* Grip = FExtraSizeGripControl;
  switch (FSizeGripPostion) {
    case sgpTopLeft:
      Grip->SetBounds(0, 0, BoxW, BoxH);
      Grip->SetTriangleWindow(true);
      break;
    case sgpTopRight:
      t = FVertScrollBar->ActualSize();
      Grip->SetBounds(ClientWidth() - BoxW, 0, BoxW, BoxH);
      Grip->SetTriangleWindow(b == 0);
      break;
    case sgpBottomLeft:
      l = FVertScrollBar->ActualSize();
      Grip->SetBounds(0, ClientHeight() - BoxH, BoxW, BoxH);
      Grip->SetTriangleWindow(c == 0);
      if (RightToLeft && ((c > 0 && b > 0) || FSizeGripAlwaysShow)) {
        w = FVertScrollBar->ActualSize();
        h = FHorzScrollBar->ActualScrollBarBoxSize();
        Grip->SetTriangleWindow(b == 0);
      }
      break;
    case sgpBottomRight: break;
  }
  Grip->SetGripActiveStatus(gasAlwaysEh);
  Grip->SetPosition(Mirrored(FSizeGripPostion));
  Grip->SetVisible(true);
}

void TCustomGridEh::UpdateScrollBars() {
  if (!HandleAllocated()) return;
  const Integer b = FVertScrollBar->IsScrollBarShowing() ? FVertScrollBar->ActualSize() : 0;
  const Integer c = FHorzScrollBar->IsScrollBarShowing() ? FHorzScrollBar->ActualSize() : 0;
  Integer w = 0, h = 0, t = 0, l = 0;
  placeSizeGrips(b, c, w, h, t, l);
  const Integer CW = ClientWidth(), CH = ClientHeight();
  if (UseRightToLeftAlignment()) {
    FVertScrollBarPanelControl->SetBounds(0, 0, b, CH - h - t);
    FHorzScrollBarPanelControl->SetBounds(b, CH - c, CW - b, c);
    FCornerScrollBarPanelControl->SetBounds(0, CH - h, w, h);
  } else {
    FVertScrollBarPanelControl->SetBounds(CW - b, t, b, CH - h - t);
    FHorzScrollBarPanelControl->SetBounds(l, CH - c, CW - w - t, c);
    FCornerScrollBarPanelControl->SetBounds(CW - w, CH - h, w, h);
  }
  FVertScrollBarPanelControl->SetVisible(true);
  FVertScrollBarPanelControl->SetKeepMaxSizeInDefault(FVertScrollBar->IsKeepMaxSizeInDefault());
  FHorzScrollBarPanelControl->SetVisible(true);
  FHorzScrollBarPanelControl->SetKeepMaxSizeInDefault(FHorzScrollBar->IsKeepMaxSizeInDefault());
  FCornerScrollBarPanelControl->SetVisible(true);
  FCornerScrollBarPanelControl->SetTriangleWindow(c == 0 && b == 0 && FSizeGripAlwaysShow);

  const bool VertShowing = FVertScrollBar->IsScrollBarShowing();
  const bool HorzShowing = FHorzScrollBar->IsScrollBarShowing();
  if (VertShowing == FVertScrollBarIsShowing && HorzShowing == FHorzScrollBarIsShowing) return;
  FVertScrollBarIsShowing = VertShowing;
  FHorzScrollBarIsShowing = HorzShowing;
  ScrollBarsUpdated();
}

// ---------------------------------------------------------------------------
// the reaction to a scroll

void TCustomGridEh::AxisRolStartVisPosChanged(TGridAxisDataEh* Axis, Int64 OldPos) {
  if (Axis == FHorzAxis)
    GridLayoutChanged(OldPos, FVertAxis->RolStartVisPos());
  else
    GridLayoutChanged(FHorzAxis->RolStartVisPos(), OldPos);
}

void TCustomGridEh::GridLayoutChanged(Int64 OldLeftPos, Int64 OldTopPos) {
  UpdateHorzScrollBarParams();
  if (!HandleAllocated()) return;
  if (FEditorMode && FInplaceEdit && CanEditShow()) UpdateEditor();
  if (!PaintLocked() && !BoundariesUpdating() && !GetCapture())
    UpdateHotTrackAtPos(ScreenToClient(GetCursorPosSafeEh()));
  if (BackgroundShowing()) {
    Invalidate();
  } else {
    blitRollingArea(OldLeftPos, OldTopPos);
  }
  AfterGridLayoutChanged();
}

// Fixed and contra cells never move with the blit: the rectangles stop at
// the fixed boundary and the contra start.
void TCustomGridEh::blitRollingArea(Int64 OldLeftPos, Int64 OldTopPos) {
  TGridAxisDataEh* H = FHorzAxis;
  TGridAxisDataEh* V = FVertAxis;
  const Int64 Dx = OldLeftPos - H->RolStartVisPos();
  const Int64 Dy = OldTopPos - V->RolStartVisPos();
  if (Dy == 0) {
    RECT R = TRect(H->FixedBoundary(), V->GridClientStart(), Integer(H->RolInClientBoundary()), V->GridClientStop());
    Integer Distance = Integer(Dx);
    if (UseRightToLeftAlignment()) {
      R = TRect(ClientWidth() - H->GridClientStop(), V->GridClientStart(), ClientWidth() - H->FixedBoundary(),
                V->GridClientStop());
      Distance = -Distance;
    }
    ScrollWindowEx(Handle(), Distance, 0, &R, &R, nullptr, nullptr, SW_INVALIDATE);
  } else if (Dx != 0) {
    Invalidate();
  } else {
    TRect Area(H->GridClientStart(), V->FixedBoundary(), H->GridClientStop(), V->ContraStart());
    if (UseRightToLeftAlignment()) {
      const Integer Left = H->RightToLeftReflect(Area.Right), Right = H->RightToLeftReflect(Area.Left);
      Area.Left = Left;
      Area.Right = Right;
    }
    const RECT R = Area;
    ScrollWindowEx(Handle(), 0, Integer(Dy), &R, &R, nullptr, nullptr, SW_INVALIDATE);
  }
}

// ---------------------------------------------------------------------------
// layout setters

void TCustomGridEh::UnlockPaint() {
  if (FLockPaint > 0) --FLockPaint;
}

void TCustomGridEh::SetFlat(bool Value) {
  if (Value == FFlat) return;
  FFlat = Value;
  UpdateFixedLineColor();
  FlatChanged();
  Invalidate();
}

void TCustomGridEh::FlatChanged() {}

void TCustomGridEh::UpdateFixedLineColor() {
  FFixedLineColor = StyleServices()->GetSystemColor(FFlat ? clGray : clBlack);
}

void TCustomGridEh::SetFixedColor(TColor Value) {
  if (Value == FFixedColor) return;
  FFixedColor = Value;
  Invalidate();
}

void TCustomGridEh::SetGridLineWidth(Integer Value) {
  if (Value == FGridLineWidth) return;
  FGridLineWidth = Value;
  UpdateGridLayout();
}

void TCustomGridEh::SetBorderStyle(TBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomGridEh::DeleteColumn(Integer ACol) {
  FHorzAxis->MoveCel(ACol, FullColCount() - 1);
  SetColCount(ColCount() - 1);
}

void TCustomGridEh::DeleteRow(Integer ARow) {
  LockPaint();
  const TScopeExit Unlock([this] { UnlockPaint(); });
  FVertAxis->DeleteRolCels(ARow - FixedRowCount(), 1);
}

void TCustomGridEh::SetOptions(TGridOptionsEh Value) {
  if (Value == FOptions) return;
  if (Value.Contains(goRowSelectEh)) Value.Exclude(goAlwaysShowEditorEh);
  FOptions = Value;
  if (!FEditorMode) {
    if (FOptions.Contains(goAlwaysShowEditorEh))
      ShowEditor();
    else
      HideEditor();
  }
  if (FOptions.Contains(goRowSelectEh)) MoveCurrentCell(Col(), Row(), /*ShowHorz=*/true, /*ShowVert=*/false);
  if (HandleAllocated()) UpdateGridLayout();
  Invalidate();
}
