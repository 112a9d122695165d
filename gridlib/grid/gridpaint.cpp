// TCustomGridEh painting: the areas in their fixed order, the cell loop and
// its states, cell borders, the placeholder cell, the strips around the
// cells and the mirroring of the canvas for right-to-left layouts.
#include "gridlib/base/colors.h"
#include "gridlib/base/painters.h"
#include "gridlib/grid/gridparts.h"
#include "gridlib/grid/grids.h"
#include "gridlib/grid/gridstyle.h"
#include "platform/ui/graphics/gdi.h"
#include "platform/ui/graphics/styles.h"

#include <algorithm>

using namespace gdi;

// One area of cells: columns C0 .. CEnd - 1 from X0 while x < XStop, rows
// likewise, each cell's state starting from Base.
struct TCustomGridEh::TCellArea {
  Integer C0, R0, CEnd, REnd;
  Integer X0, Y0, XStop, YStop;
  TGridDrawState Base;
};

namespace {
// The placeholder fill of non-frozen fixed cells.
constexpr TColor PlaceholderFixedColor = TColor(0xC0DCC0);
}  // namespace

// ---------------------------------------------------------------------------
// Paint

void TCustomGridEh::Paint() {
  if (FLockPaint > 0) return;
  const bool RightToLeft = UseRightToLeftAlignment();
  if (RightToLeft) ChangeCanvasOrientation(Canvas(), true);
  CheckAxesPositions();
  PrepareInternalColors();
  if (FBackgroundData->Showing()) FBackgroundData->PaintBackgroundData();
  PaintOutBoundary();

  TGridAxisDataEh* H = FHorzAxis;
  TGridAxisDataEh* V = FVertAxis;
  const Integer HFix = H->FixedBoundary(), VFix = V->FixedBoundary();
  const Integer HContra = H->ContraStart(), VContra = V->ContraStart();
  const Integer FirstCol = FixedColCount() + H->RolStartVisCel(), FirstRow = FixedRowCount() + V->RolStartVisCel();
  const Integer RolX = HFix - H->RolStartVisCelOfst(), RolY = VFix - V->RolStartVisCelOfst();
  const TGridDrawState Fixed{gdFixed};

  paintCells({0, 0, ColCount(), RowCount(), H->GridClientStart(), V->GridClientStart(), HFix, VFix, Fixed});
  withClip({HFix, 0, HContra, VContra}, [&] {
    paintCells({FirstCol, 0, ColCount(), RowCount(), RolX, V->GridClientStart(), HContra, VFix, Fixed});
  });
  withClip({0, VFix, HContra, VContra}, [&] {
    paintCells({0, FirstRow, ColCount(), RowCount(), H->GridClientStart(), RolY, HFix, VContra, Fixed});
  });
  withClip({HFix, VFix, HContra, VContra},
           [&] { paintCells({FirstCol, FirstRow, ColCount(), RowCount(), RolX, RolY, HContra, VContra, {}}); });
  paintContraColumns();
  paintContraRows();
  if (ContraColCount() > 0 && ContraRowCount() > 0)
    paintContraCorner(HContra + (FOptions.Contains(goContraVertBoundaryLineEh) ? 1 : 0),
                      VContra + (FOptions.Contains(goContraHorzBoundaryLineEh) ? 1 : 0));
  paintEmptyRight();
  paintEmptyBottom();

  if (RightToLeft) ChangeCanvasOrientation(Canvas(), false);
  if (FGridState == gsRowSizingEh || FGridState == gsColSizingEh) DrawSizingLine();
}

void TCustomGridEh::withClip(const TRect& Clip, const std::function<void()>& Paint) {
  const HDC DC = Canvas()->Handle();
  const int Saved = SaveDC(DC);
  IntersectClipRect(DC, Clip.Left, Clip.Top, Clip.Right, Clip.Bottom);
  Paint();
  RestoreDC(DC, Saved);
  Canvas()->Refresh();  // the DC's objects went back with the restore
}

void TCustomGridEh::paintCells(const TCellArea& A) {
  const HDC DC = Canvas()->Handle();
  const TGridRect Sel = Selection();
  const bool IsFocused = Focused();
  const bool RowSelect = FOptions.Contains(goRowSelectEh);
  Integer Y = A.Y0;
  for (Integer R = A.R0; R < A.REnd && Y < A.YStop; ++R) {
    const Integer RowH = RowHeights(R);
    Integer X = A.X0;
    for (Integer C = A.C0; C < A.CEnd && X < A.XStop; ++C) {
      const Integer ColW = ColWidths(C);
      const RECT CellRect = TRect(X, Y, X + ColW, Y + RowH);
      if (ColW > 0 && RectVisible(DC, &CellRect)) {
        TGridDrawState State = A.Base;
        if (FCurCell == TGridCoord{C, R}) State += {gdSelected, gdCurrent};
        if (FHotTrackCell == TGridCoord{C, R}) State.Include(gdHotTrack);
        if (IsFocused && State.Contains(gdCurrent)) State.Include(gdFocused);
        if (RowSelect && R == FCurCell.Y) State.Include(gdRowSelected);
        if (PointInGridRectEh(C, R, Sel)) State.Include(gdSelected);
        DrawCellFrame(C, R, TRect(X, Y, X + ColW, Y + RowH), State);
      }
      X += ColW;
    }
    Y += RowH;
  }
}

// ---------------------------------------------------------------------------
// contra areas and their boundary lines

void TCustomGridEh::drawBoundarySegment(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer BorderCol,
                                        Integer BorderRow, TGridCellBorderTypeEh Border) {
  bool IsDraw = false, IsExtent = false;
  TColor Color = clNone;
  GetCellBorderDrawParams(BorderCol, BorderRow, Border, IsDraw, Color, IsExtent);
  if (!IsDraw) return;
  Canvas()->Pen()->SetColor(GetStyledSystemColorEh(Color));
  const TPoint Points[2] = {{X1, Y1}, {X2, Y2}};
  GridPolylineEh(this, Canvas(), Points, 1);
}

void TCustomGridEh::drawVertBoundaryLine(Integer X, Integer FirstRow, Integer EndRow, Integer Y, Integer StopY) {
  for (Integer R = FirstRow; R < EndRow && Y < StopY; ++R) {
    const Integer RowH = RowHeights(R);
    drawBoundarySegment(X, Y, X, Y + RowH, ColCount(), R, cbtLeftEh);
    Y += RowH;
  }
}

void TCustomGridEh::drawHorzBoundaryLine(Integer Y, Integer FirstCol, Integer EndCol, Integer X, Integer StopX) {
  for (Integer C = FirstCol; C < EndCol && X < StopX; ++C) {
    const Integer ColW = ColWidths(C);
    drawBoundarySegment(X, Y, X + ColW, Y, C, RowCount(), cbtTopEh);
    X += ColW;
  }
}

void TCustomGridEh::paintContraColumns() {
  if (ContraColCount() <= 0) return;
  TGridAxisDataEh* H = FHorzAxis;
  TGridAxisDataEh* V = FVertAxis;
  const bool Line = FOptions.Contains(goContraVertBoundaryLineEh);
  const Integer X = H->ContraStart() + (Line ? 1 : 0);
  if (Line) drawVertBoundaryLine(H->ContraStart(), 0, FixedRowCount(), V->GridClientStart(), V->FixedBoundary());
  paintCells({ColCount(), 0, FullColCount(), RowCount(), X, V->GridClientStart(), H->GridClientStop(),
              V->FixedBoundary(), {gdFixed}});
  withClip({H->ContraStart(), V->FixedBoundary(), H->GridClientStop(), V->ContraStart()}, [&] {
    const Integer FirstRow = FixedRowCount() + V->RolStartVisCel();
    const Integer RolY = V->FixedBoundary() - V->RolStartVisCelOfst();
    if (Line) drawVertBoundaryLine(H->ContraStart(), FirstRow, RowCount(), RolY, V->ContraStart());
    paintCells({ColCount(), FirstRow, FullColCount(), RowCount(), X, RolY, H->GridClientStop(), V->ContraStart(),
                {gdFixed}});
  });
}

void TCustomGridEh::paintContraRows() {
  if (ContraRowCount() <= 0) return;
  TGridAxisDataEh* H = FHorzAxis;
  TGridAxisDataEh* V = FVertAxis;
  const bool Line = FOptions.Contains(goContraHorzBoundaryLineEh);
  const Integer Y = V->ContraStart() + (Line ? 1 : 0);
  if (Line) drawHorzBoundaryLine(V->ContraStart(), 0, FixedColCount(), H->GridClientStart(), H->FixedBoundary());
  paintCells({0, RowCount(), ColCount(), FullRowCount(), H->GridClientStart(), Y, H->FixedBoundary(),
              V->GridClientStop(), {gdFixed}});
  withClip({H->FixedBoundary(), V->ContraStart(), H->ContraStart(), V->GridClientStop()}, [&] {
    const Integer FirstCol = FixedColCount() + H->RolStartVisCel();
    const Integer RolX = H->FixedBoundary() - H->RolStartVisCelOfst();
    if (Line) drawHorzBoundaryLine(V->ContraStart(), FirstCol, ColCount(), RolX, H->ContraStart());
    paintCells({FirstCol, RowCount(), ColCount(), FullRowCount(), RolX, Y, H->ContraStart(), V->GridClientStop(),
                {gdFixed}});
  });
}

void TCustomGridEh::paintContraCorner(Integer X, Integer Y) {
  TGridAxisDataEh* H = FHorzAxis;
  TGridAxisDataEh* V = FVertAxis;
  const bool VertLine = FOptions.Contains(goContraVertBoundaryLineEh);
  const bool HorzLine = FOptions.Contains(goContraHorzBoundaryLineEh);
  if (VertLine) drawVertBoundaryLine(H->ContraStart(), RowCount(), FullRowCount(), Y, V->GridClientStop());
  if (HorzLine) drawHorzBoundaryLine(V->ContraStart(), ColCount(), FullColCount(), X, H->GridClientStop());
  if (VertLine && HorzLine) {
    bool IsDraw = false, IsExtent = false;
    TColor Color = clNone;
    GetCellBorderDrawParams(ColCount(), RowCount(), cbtTopEh, IsDraw, Color, IsExtent);
    if (IsDraw) {
      const TPoint Points[2] = {{H->ContraStart(), V->ContraStart()}, {H->ContraStart() + 1, V->ContraStart()}};
      Canvas()->Pen()->SetColor(GetStyledSystemColorEh(Color));
      GridPolylineEh(this, Canvas(), Points, 1);
    }
  }
  paintCells({ColCount(), RowCount(), FullColCount(), FullRowCount(), X, Y, H->GridClientStop(),
              V->GridClientStop(), {gdFixed}});
}

// ---------------------------------------------------------------------------
// empty areas beyond the last rolling column and row

void TCustomGridEh::paintEmptyRight() {
  TGridAxisDataEh* H = FHorzAxis;
  TGridAxisDataEh* V = FVertAxis;
  const Integer Left = Integer(H->RolInClientBoundary()), Right = H->ContraStart();
  if (Left >= Right) return;
  Integer Y = V->GridClientStart();
  for (Integer R = 0; R < FixedRowCount(); ++R) {
    PaintEmptyArea(-1, R, TRect(Left, Y, Right, Y + RowHeights(R)));
    Y += RowHeights(R);
  }
  Y = V->FixedBoundary() - V->RolStartVisCelOfst();
  for (Integer R = FixedRowCount() + V->RolStartVisCel(); R < RowCount() && Y < V->ContraStart(); ++R) {
    PaintEmptyArea(-1, R, TRect(Left, Y, Right, Y + RowHeights(R)));
    Y += RowHeights(R);
  }
  PaintEmptyArea(-1, -1, TRect(Left, Integer(V->RolInClientBoundary()), Right, V->ContraStart()));
  Y = V->ContraStart();
  for (Integer R = RowCount(); R < FullRowCount(); ++R) {
    const Integer Extra = R == RowCount() && FOptions.Contains(goContraHorzBoundaryLineEh) ? 1 : 0;
    PaintEmptyArea(-1, R, TRect(Left, Y, Right, Y + RowHeights(R) + Extra));
    Y += RowHeights(R) + Extra;
  }
}

void TCustomGridEh::paintEmptyBottom() {
  TGridAxisDataEh* H = FHorzAxis;
  TGridAxisDataEh* V = FVertAxis;
  const Integer Top = Integer(V->RolInClientBoundary()), Bottom = V->ContraStart();
  if (Top >= Bottom) return;
  Integer X = H->GridClientStart();
  for (Integer C = 0; C < FixedColCount(); ++C) {
    PaintEmptyArea(C, -1, TRect(X, Top, X + ColWidths(C), Bottom));
    X += ColWidths(C);
  }
  withClip({H->FixedBoundary(), V->GridClientStart(), H->ContraStart(), V->GridClientStop()}, [&] {
    Integer RolX = H->FixedBoundary() - H->RolStartVisCelOfst();
    for (Integer C = H->StartVisCel(); C < ColCount() && RolX < H->ContraStart(); ++C) {
      PaintEmptyArea(C, -1, TRect(RolX, Top, RolX + ColWidths(C), Bottom));
      RolX += ColWidths(C);
    }
  });
  X = H->ContraStart();
  for (Integer C = ColCount(); C < FullColCount(); ++C) {
    const Integer Extra = C == ColCount() && FOptions.Contains(goContraVertBoundaryLineEh) ? 1 : 0;
    PaintEmptyArea(C, -1, TRect(X, Top, X + ColWidths(C) + Extra, Bottom));
    X += ColWidths(C) + Extra;
  }
}

void TCustomGridEh::PaintEmptyArea(Integer, Integer, const TRect& ARect) {
  Canvas()->Brush()->SetColor(FInternalColor);
  Canvas()->FillRect(ARect);
}

// ---------------------------------------------------------------------------
// cells and their borders

void TCustomGridEh::DrawCellFrame(Integer ACol, Integer ARow, const TRect& ARect, TGridDrawState AState) {
  TRect R = ARect;
  DrawCellLines(ACol, ARow, R, AState, {cbtBottomEh, cbtRightEh});
  DrawCell(ACol, ARow, R, AState);
}

void TCustomGridEh::DrawCellLines(Integer ACol, Integer ARow, TRect& ARect, TGridDrawState,
                                  TGridCellBorderTypesEh Borders) {
  bool DrawR = false, ExtR = false, DrawB = false, ExtB = false;
  TColor ColorR = clNone, ColorB = clNone;
  if (Borders.Contains(cbtRightEh)) GetCellBorderDrawParams(ACol, ARow, cbtRightEh, DrawR, ColorR, ExtR);
  if (Borders.Contains(cbtBottomEh)) GetCellBorderDrawParams(ACol, ARow, cbtBottomEh, DrawB, ColorB, ExtB);
  // The lighter of two lines gives the shared corner pixel to the darker.
  if (DrawR && DrawB && ExtR && ExtB && ColorR != ColorB) {
    if (ColorLuminanceEh(ColorB) < ColorLuminanceEh(ColorR))
      ExtR = false;
    else
      ExtB = false;
  }
  if (DrawR) {
    Canvas()->Pen()->SetColor(GetStyledSystemColorEh(ColorR));
    const TPoint Points[2] = {{ARect.Right - 1, ARect.Top}, {ARect.Right - 1, ARect.Bottom - 1 + (ExtR ? 1 : 0)}};
    GridPolylineEh(this, Canvas(), Points, 1);
  }
  if (DrawB) {
    Canvas()->Pen()->SetColor(GetStyledSystemColorEh(ColorB));
    const TPoint Points[2] = {{ARect.Left, ARect.Bottom - 1}, {ARect.Right - 1 + (ExtB ? 1 : 0), ARect.Bottom - 1}};
    GridPolylineEh(this, Canvas(), Points, 1);
  }
  if (DrawR) --ARect.Right;
  if (DrawB) --ARect.Bottom;
}

void TCustomGridEh::DrawCell(Integer ACol, Integer ARow, const TRect& ARect, TGridDrawState AState) {
  const bool Data = ACol >= FixedColCount() - FrozenColCount() && ARow >= FixedRowCount() - FrozenRowCount();
  TColor Font = clWindowText, Brush = Data ? clWindow : PlaceholderFixedColor;
  if (AState.Contains(gdSelected)) {
    Font = clHighlightText;
    Brush = IsActiveControl() ? clHighlight : clBtnShadow;
  }
  Canvas()->Font()->SetColor(GetStyledSystemColorEh(Font));
  Canvas()->Brush()->SetColor(GetStyledSystemColorEh(Brush));
  Canvas()->FillRect(ARect);
  Canvas()->TextRect(ARect, ARect.Left + 2, ARect.Top + 2, QStringLiteral("%1:%2").arg(ACol).arg(ARow));
}

void TCustomGridEh::GetCellBorderDrawParams(Integer ACol, Integer ARow, TGridCellBorderTypeEh BorderType,
                                            bool& IsDraw, TColor& Color, bool& IsExtent) {
  const bool FixedCell = ACol < FixedColCount() || ARow < FixedRowCount();
  const bool Vertical = BorderType == cbtLeftEh || BorderType == cbtRightEh;
  if (Vertical)
    IsDraw = FOptions.Contains(FixedCell ? goFixedVertLineEh : goVertLineEh);
  else
    IsDraw = FOptions.Contains(FixedCell ? goFixedHorzLineEh : goHorzLineEh);
  IsExtent = true;
  const bool LeadingBorder = BorderType == cbtTopEh || BorderType == cbtLeftEh;
  if (LeadingBorder && (ACol == ColCount() || ARow == RowCount())) {
    Color = FGridLineColors->GetDarkColor();
  } else if (ACol >= FixedColCount() - FrozenColCount() && ARow >= FixedRowCount() - FrozenRowCount()) {
    const bool FixedEdge = (BorderType == cbtRightEh && ACol == FixedColCount() - 1) ||
                           (BorderType == cbtBottomEh && ARow == FixedRowCount() - 1);
    Color = FixedEdge ? FGridLineColors->GetDarkColor() : FGridLineColors->GetBrightColor();
  } else {
    Color = FGridLineColors->GetDarkColor();
  }
}

bool TCustomGridEh::IsCellBorderDrawn(Integer ACol, Integer ARow, TGridCellBorderTypeEh BorderType) {
  bool IsDraw = false, IsExtent = false;
  TColor Color = clNone;
  GetCellBorderDrawParams(ACol, ARow, BorderType, IsDraw, Color, IsExtent);
  return IsDraw;
}

void TCustomGridEh::DrawCellBackground(Integer ACol, Integer ARow, const TRect& ARect, TGridDrawState AState) {
  TCustomStyleServices* Style = StyleServices();
  bool Draw = false;
  TThemedElementDetails Details;
  const bool Marked = AState.Contains(gdSelected) || AState.Contains(gdFocused);
  switch (FSelectionDrawParams->GetActualSelectionStyle()) {
    case gsdsListViewThemedEh:
      if (Marked && Focused()) {
        Details = Style->GetElementDetails(tlGroupHeaderCloseSelected);
        Draw = true;
      } else if (AState.Contains(gdSelected) || AState.Contains(gdCurrent)) {
        // The style engine has no not-focused group header: the list item's
        // not-focused selection stands in.
        Details = Style->GetElementDetails(tlListItemSelectedNotFocus);
        Draw = true;
      }
      break;
    case gsdsGridThemedEh:
      if (Marked && Focused()) {
        Details = Style->GetElementDetails(tgCellSelected);
        Draw = true;
      }
      break;
    default: break;
  }
  if (!Draw) return;
  const HDC DC = Canvas()->Handle();
  if (!FOptions.Contains(goRowSelectEh)) {
    Style->DrawElement(DC, Details, ARect);
    return;
  }
  // One band across the row: the element reaches past the cell's sides and
  // is clipped to the cell (and over its right border line).
  TRect Band = ARect, Clip = ARect;
  if (ACol > FixedColCount()) Band.Left -= 10;
  if (ACol < ColCount() - 1) {
    Band.Right += 10;
    if (IsCellBorderDrawn(ACol, ARow, cbtRightEh)) ++Clip.Right;
  }
  Style->DrawElement(DC, Details, Band, &Clip);
}

bool TCustomGridEh::IsCellSelectionHighlighted(Integer, Integer, TGridDrawState AState) {
  if (!IsStyleServicesEnabledEh()) return false;
  const TGridSelectionDrawStyleEh Style = FSelectionDrawParams->GetActualSelectionStyle();
  const bool Themed = Style == gsdsGridThemedEh || Style == gsdsListViewThemedEh;
  if (Style == gsdsGridThemedEh && AState.Contains(gdFocused)) return true;
  if (Style == gsdsListViewThemedEh && (AState.Contains(gdFocused) || AState.Contains(gdCurrent))) return true;
  return Themed && FOptions.Contains(goRowSelectEh) &&
         (AState.Contains(gdSelected) || AState.Contains(gdRowSelected));
}

// ---------------------------------------------------------------------------
// cell rectangles

namespace {
Integer clampToInt(Int64 Value) {
  return Integer(std::clamp<Int64>(Value, std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max()));
}

// The leading edge of cell Index on Axis, scrolled by the axis's position.
Integer cellStart(TGridAxisDataEh* Axis, Integer Index, bool ClipToView) {
  if (Index < Axis->FixedCelCount()) return Axis->GridClientStart() + Axis->GetFixedCelPos(Index);
  if (Index < Axis->CelCount()) {
    const Integer Local = Index - Axis->FixedCelCount();
    const Integer Start =
        clampToInt(Axis->FixedBoundary() + Axis->GetRolLocCelPosArr(Local) - Axis->RolStartVisPos());
    return ClipToView ? std::max(Start, Axis->FixedBoundary()) : Start;
  }
  Integer Start = Axis->ContraStart();
  for (Integer I = 0; I < Index - Axis->CelCount(); ++I) Start += Axis->GetContraCelLens(I);
  return Start;
}

// The trailing edge (exclusive) of cell Index.
Integer cellStop(TGridAxisDataEh* Axis, Integer Index, bool ClipToView) {
  if (Index < Axis->FixedCelCount())
    return std::min(Axis->GridClientStart() + Axis->GetFixedCelPos(Index + 1), Axis->ContraStart());
  if (Index < Axis->CelCount()) {
    const Integer Local = Index - Axis->FixedCelCount();
    const Integer Stop = clampToInt(Axis->FixedBoundary() + Axis->GetRolLocCelPosArr(Local) +
                                    Axis->GetRolCelLens(Local) - Axis->RolStartVisPos());
    if (!ClipToView) return Stop;
    if (Stop < Axis->FixedBoundary()) return Axis->FixedBoundary() - 1;
    return std::min(Stop, Axis->ContraStart());
  }
  Integer Stop = Axis->ContraStart();
  for (Integer I = 0; I <= Index - Axis->CelCount(); ++I) Stop += Axis->GetContraCelLens(I);
  return Stop;
}
}  // namespace

void TCustomGridEh::GridRectToClientRect(const TGridRect& GridRect, TRect& Rect, bool ClipToView,
                                         bool ForRightToLeft) {
  Rect = {};
  if (GridRect.Right < GridRect.Left || GridRect.Bottom < GridRect.Top) return;
  TRect R{cellStart(FHorzAxis, GridRect.Left, ClipToView), cellStart(FVertAxis, GridRect.Top, ClipToView),
          cellStop(FHorzAxis, GridRect.Right, ClipToView), cellStop(FVertAxis, GridRect.Bottom, ClipToView)};
  if (R.Right < R.Left || R.Bottom < R.Top) return;
  if (ForRightToLeft && UseRightToLeftAlignment() && !FCanvasRightToLeftReflected)
    FHorzAxis->SwapRightToLeftPoses(R.Left, R.Right);
  Rect = R;
}

TRect TCustomGridEh::CalcCellRangeRect(Integer Left, Integer Top, Integer Right, Integer Bottom, bool,
                                       bool ForRightToLeft) {
  TRect R;
  GridRectToClientRect({Left, Top, Right, Bottom}, R, /*ClipToView=*/true, ForRightToLeft);
  return R;
}

TRect TCustomGridEh::CalcCellRect(Integer ACol, Integer ARow, bool Unused, bool ForRightToLeft) {
  return CalcCellRangeRect(ACol, ARow, ACol, ARow, Unused, ForRightToLeft);
}

TRect TCustomGridEh::CalcCellRangeRectFull(Integer Left, Integer Top, Integer Right, Integer Bottom, bool, bool) {
  TRect R;
  GridRectToClientRect({Left, Top, Right, Bottom}, R, /*ClipToView=*/false, /*ForRightToLeft=*/true);
  return R;
}

TRect TCustomGridEh::CalcCellRectFull(Integer ACol, Integer ARow, bool Unused, bool ForRightToLeft) {
  return CalcCellRangeRectFull(ACol, ARow, ACol, ARow, Unused, ForRightToLeft);
}

TRect TCustomGridEh::CellEditRect(Integer ACol, Integer ARow) {
  TRect R = CalcCellRect(ACol, ARow, false, true);
  const TRect Full = CalcCellRectFull(ACol, ARow);
  if (IsCellBorderDrawn(ACol, ARow, cbtRightEh) && R.Width() == Full.Width()) {
    if (UseRightToLeftAlignment())
      R.Left += FGridLineWidth;
    else
      R.Right -= FGridLineWidth;
  }
  if (IsCellBorderDrawn(ACol, ARow, cbtBottomEh)) R.Bottom -= FGridLineWidth;
  return R;
}

// ---------------------------------------------------------------------------
// strips and colours

void TCustomGridEh::PaintOutBoundary() {
  TRect R;
  if (FOutBoundaryData->GetOutBoundaryRect(R, cbtTopEh)) PaintTopOutBoundary(R);
  if (FOutBoundaryData->GetOutBoundaryRect(R, cbtLeftEh)) PaintLeftOutBoundary(R);
  if (FOutBoundaryData->GetOutBoundaryRect(R, cbtBottomEh)) PaintBottomOutBoundary(R);
  if (FOutBoundaryData->GetOutBoundaryRect(R, cbtRightEh)) PaintRightOutBoundary(R);
}

namespace {
void fillStrip(TCanvas* Canvas, TColor Color, const TRect& R) {
  Canvas->Brush()->SetColor(Color);
  Canvas->FillRect(R);
}
}  // namespace

void TCustomGridEh::PaintTopOutBoundary(const TRect& ARect) { fillStrip(Canvas(), FFixedColor, ARect); }
void TCustomGridEh::PaintLeftOutBoundary(const TRect& ARect) { fillStrip(Canvas(), FFixedColor, ARect); }
void TCustomGridEh::PaintBottomOutBoundary(const TRect& ARect) { fillStrip(Canvas(), FFixedColor, ARect); }
void TCustomGridEh::PaintRightOutBoundary(const TRect& ARect) { fillStrip(Canvas(), FFixedColor, ARect); }

void TCustomGridEh::PrepareInternalColors() {
  FInternalColor = GetStyledSystemColorEh(Color());
  FInternalFontColor = GetStyledSystemColorEh(Font()->Color());
  FInternalFixedColor = GetStyledSystemColorEh(FFixedColor);
  FInternalFixedFontColor = GetStyledSystemColorEh(Font()->Color());
  if (!IsCustomStyleActiveEh()) return;
  TCustomStyleServices* Style = StyleServices();
  const auto Take = [Style](TThemedGrid Element, TElementColor Which, TColor& Target) {
    TColor Value = clNone;
    if (Style->GetElementColor(Style->GetElementDetails(Element), Which, Value) && Value != clNone) Target = Value;
  };
  Take(tgCellNormal, ecFillColor, FInternalColor);
  Take(tgCellNormal, ecTextColor, FInternalFontColor);
  Take(tgClassicFixedCellNormal, ecFillColor, FInternalFixedColor);
  Take(tgClassicFixedCellNormal, ecTextColor, FInternalFixedFontColor);
}

// ---------------------------------------------------------------------------
// right-to-left

void TCustomGridEh::ChangeCanvasOrientation(TCanvas* ACanvas, bool RightToLeft) {
  const HDC DC = ACanvas->Handle();
  const Integer X = ClientWidth(), Y = ClientHeight();
  SetMapMode(DC, MM_ANISOTROPIC);
  SetWindowOrgEx(DC, RightToLeft ? X : 0, 0, nullptr);
  SetViewportExtEx(DC, X, Y, nullptr);
  SetWindowExtEx(DC, RightToLeft ? -X : X, Y, nullptr);
  FCanvasRightToLeftReflected = RightToLeft;
}

bool TCustomGridEh::UnreflectCanvasForRect(TRect& ARect) {
  if (!FCanvasRightToLeftReflected) return false;
  const Integer OldRight = ARect.Right;
  ARect.Right = ClientWidth() - ARect.Left;
  ARect.Left = ClientWidth() - OldRight;
  ChangeCanvasOrientation(Canvas(), false);
  return true;
}

void TCustomGridEh::DrawLineByFillRect(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer LineWidth) {
  Canvas()->Brush()->SetColor(Canvas()->Pen()->Color());
  if (X1 == X2) {
    if (Y1 == Y2) return;
    Canvas()->FillRect(TRect(X1, Y1, X1 + LineWidth, Y2));
  } else {
    Canvas()->FillRect(TRect(X1, Y1, X2, Y1 + LineWidth));
  }
}
