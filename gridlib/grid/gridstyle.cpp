#include "gridlib/grid/gridstyle.h"

#include "gridlib/base/colors.h"
#include "gridlib/base/painters.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/rtlmath.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/graphics/styles.h"

#include <algorithm>
#include <cmath>

// ---------------------------------------------------------------------------
// TGridLineColorsEh

TGridLineColorsEh::TGridLineColorsEh(TCustomGridEh* AGrid) : FGrid(AGrid) {}

void TGridLineColorsEh::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TGridLineColorsEh*>(Source);
  if (!Other) {
    TPersistent::Assign(Source);
    return;
  }
  FBrightColor = Other->FBrightColor;
  FDarkColor = Other->FDarkColor;
  FDataHorzColor = Other->FDataHorzColor;
  FDataVertColor = Other->FDataVertColor;
  FFixedHorzColor = Other->FFixedHorzColor;
  FFixedVertColor = Other->FFixedVertColor;
  FHorzAreaContraBorderColor = Other->FHorzAreaContraBorderColor;
  FHorzAreaContraHorzColor = Other->FHorzAreaContraHorzColor;
  FHorzAreaContraVertColor = Other->FHorzAreaContraVertColor;
  FHorzAreaFrozenBorderColor = Other->FHorzAreaFrozenBorderColor;
  FHorzAreaFrozenHorzColor = Other->FHorzAreaFrozenHorzColor;
  FHorzAreaFrozenVertColor = Other->FHorzAreaFrozenVertColor;
  FVertAreaContraBorderColor = Other->FVertAreaContraBorderColor;
  FVertAreaContraHorzColor = Other->FVertAreaContraHorzColor;
  FVertAreaContraVertColor = Other->FVertAreaContraVertColor;
  FVertAreaFrozenBorderColor = Other->FVertAreaFrozenBorderColor;
  FVertAreaFrozenHorzColor = Other->FVertAreaFrozenHorzColor;
  FVertAreaFrozenVertColor = Other->FVertAreaFrozenVertColor;
  if (FGrid) FGrid->Invalidate();
}

void TGridLineColorsEh::setColor(TColor& Field, TColor Value) {
  if (Field == Value) return;
  Field = Value;
  if (FGrid) FGrid->Invalidate();
}

void TGridLineColorsEh::SetBrightColor(TColor Value) { setColor(FBrightColor, Value); }
void TGridLineColorsEh::SetDarkColor(TColor Value) { setColor(FDarkColor, Value); }
void TGridLineColorsEh::SetDataHorzColor(TColor Value) { setColor(FDataHorzColor, Value); }
void TGridLineColorsEh::SetDataVertColor(TColor Value) { setColor(FDataVertColor, Value); }

TColor TGridLineColorsEh::GetCellLineColor(Integer ACol, Integer ARow) {
  if (ACol < FGrid->FixedColCount() - FGrid->FrozenColCount() || ARow < FGrid->FixedRowCount() - FGrid->FrozenRowCount())
    return GetDarkColor();
  const bool ContraCol = ACol >= FGrid->ColCount(), ContraRow = ARow >= FGrid->RowCount();
  if (!ContraCol && !ContraRow) return GetBrightColor();
  if (!ContraCol) return GetVertAreaContraVertColor();
  if (!ContraRow) return GetHorzAreaContraHorzColor();
  return GetVertAreaContraVertColor();
}

TColor TGridLineColorsEh::GetDataHorzColor() { return orBright(FDataHorzColor); }
TColor TGridLineColorsEh::GetDataVertColor() { return orBright(FDataVertColor); }

TColor TGridLineColorsEh::GetFixedHorzLineColor(Integer, Integer ARow) {
  if (FGrid->FrozenRowCount() > 0 && ARow == FGrid->FixedRowCount() - 1) return GetDarkColor();
  return GetBrightColor();
}

TColor TGridLineColorsEh::GetHorzAreaFrozenBorderColor() { return orDark(FHorzAreaFrozenBorderColor); }
TColor TGridLineColorsEh::GetHorzAreaFrozenHorzColor() { return orBright(FHorzAreaFrozenHorzColor); }
TColor TGridLineColorsEh::GetHorzAreaFrozenVertColor() { return orBright(FHorzAreaFrozenVertColor); }

TColor TGridLineColorsEh::GetVertLineColor(Integer ACol, Integer) {
  return ACol == FGrid->ColCount() ? GetVertAreaContraBorderColor() : GetBrightColor();
}

TColor TGridLineColorsEh::GetFixedVertLineColor(Integer ACol, Integer) {
  if (FGrid->FrozenColCount() > 0 && ACol == FGrid->FixedColCount() - 1) return GetVertAreaFrozenBorderColor();
  return GetBrightColor();
}

TColor TGridLineColorsEh::GetHorzLineColor(Integer, Integer ARow) {
  return ARow == FGrid->RowCount() ? GetHorzAreaContraBorderColor() : GetBrightColor();
}

TColor TGridLineColorsEh::GetVertAreaFrozenBorderColor() { return orDark(FVertAreaFrozenBorderColor); }
TColor TGridLineColorsEh::GetVertAreaFrozenHorzColor() { return orBright(FVertAreaFrozenHorzColor); }
TColor TGridLineColorsEh::GetVertAreaFrozenVertColor() { return orBright(FVertAreaFrozenVertColor); }

TColor TGridLineColorsEh::styleBorderColor() {
  const auto Details = StyleServices()->GetElementDetails(FGrid->Flat() ? tgFixedCellNormal : tgGradientFixedCellNormal);
  TColor Color = clNone;
  StyleServices()->GetElementColor(Details, ecBorderColor, Color);
  return Color;
}

TColor TGridLineColorsEh::GetDarkColor() {
  if (FDarkColor != clDefault) return FDarkColor;
  if (IsCustomStyleActiveEh()) return styleBorderColor();
  return StyleServices()->GetSystemColor(clGray);
}

TColor TGridLineColorsEh::GetBrightColor() {
  if (FBrightColor != clDefault) return FBrightColor;
  if (IsCustomStyleActiveEh()) return styleBorderColor();
  // Silver lines on a silver grid would vanish.
  const TColor Silver = StyleServices()->GetSystemColor(clSilver);
  if (ColorToRGB(FGrid->Color()) == ColorToRGB(Silver)) return StyleServices()->GetSystemColor(clGray);
  return Silver;
}

TColor TGridLineColorsEh::GetFixedVertColor() { return orDark(FFixedVertColor); }
TColor TGridLineColorsEh::GetFixedHorzColor() { return orDark(FFixedHorzColor); }
TColor TGridLineColorsEh::GetVertAreaContraVertColor() { return orBright(FVertAreaContraVertColor); }
TColor TGridLineColorsEh::GetVertAreaContraHorzColor() { return orBright(FVertAreaContraHorzColor); }
TColor TGridLineColorsEh::GetHorzAreaContraVertColor() { return orBright(FHorzAreaContraVertColor); }
TColor TGridLineColorsEh::GetHorzAreaContraHorzColor() { return orBright(FHorzAreaContraHorzColor); }
TColor TGridLineColorsEh::GetVertAreaContraBorderColor() { return orDark(FVertAreaContraBorderColor); }
TColor TGridLineColorsEh::GetHorzAreaContraBorderColor() { return orDark(FHorzAreaContraBorderColor); }

// ---------------------------------------------------------------------------
// TGridScrollBarEh

TGridScrollBarEh::TGridScrollBarEh(TCustomGridEh* AGrid, TScrollBarKind AKind) : FGrid(AGrid), FKind(AKind) {}

void TGridScrollBarEh::Assign(TPersistent* Source) {
  if (auto* Other = dynamic_cast<TGridScrollBarEh*>(Source)) {
    FTracking = Other->FTracking;
    return;
  }
  TPersistent::Assign(Source);
}

void TGridScrollBarEh::SetSize(Integer Value) {
  if (Value == FSize) return;
  FSize = Value;
  if (FGrid) FGrid->ScrollBarSizeChanged();
}

void TGridScrollBarEh::SetSmoothStep(bool Value) {
  if (Value == FSmoothStep) return;
  FSmoothStep = Value;
  SmoothStepChanged();
}

void TGridScrollBarEh::SetVisibleMode(TScrollBarVisibleModeEh Value) {
  if (Value == FVisibleMode) return;
  FVisibleMode = Value;
  if (FGrid) FGrid->UpdateGridLayout();
}

TGridScrollBarPanelControlEh* TGridScrollBarEh::panel() const {
  return FKind == sbHorizontal ? FGrid->HorzScrollBarPanelControl() : FGrid->VertScrollBarPanelControl();
}

void TGridScrollBarEh::GetScrollBarParams(Integer& APosition, Integer& AMin, Integer& AMax, Integer& APageSize) {
  TScrollBar* Bar = panel()->ScrollBar();
  APosition = Bar->Position();
  AMin = Bar->Min();
  AMax = Bar->Max();
  APageSize = Bar->PageSize();
}

void TGridScrollBarEh::SetScrollBarParams(Integer APosition, Integer AMin, Integer AMax, Integer APageSize) {
  panel()->SetParams(APosition, AMin, AMax, APageSize);
}

bool TGridScrollBarEh::ScrollBarRequired() {
  switch (FVisibleMode) {
    case sbAlwaysShowEh: return true;
    case sbNeverShowEh: return false;
    case sbAutoShowEh: break;
  }
  Integer Position = 0, Min = 0, Max = 0, PageSize = 0;
  if (FKind == sbVertical)
    FGrid->CalcVertScrollBarParams(Position, Min, Max, PageSize);
  else
    FGrid->CalcHorzScrollBarParams(Position, Min, Max, PageSize);
  if (Min >= Max) return false;
  return Max - Min >= PageSize;
}

void TGridScrollBarEh::ScrollBarParamsChanged() {
  if (FGrid) FGrid->UpdateHorzScrollBarParams();
}

Integer TGridScrollBarEh::ActualSize() {
  if (FSize <= 0) return FGrid->ScrollBarSize();
  const Integer Percent = Integer(std::lround(FGrid->ScaleFactor() * 100));
  return MulDiv(FSize, Percent, 100);
}

Integer TGridScrollBarEh::ActualScrollBarBoxSize() {
  const Integer Size = ActualSize();
  if (!IsKeepMaxSizeInDefault()) return Size;
  return std::min(Size, GetSystemMetrics(SM_CYHSCROLL));
}

// ---------------------------------------------------------------------------
// TGridSelectionDrawParamsEh

TGridSelectionDrawParamsEh::TGridSelectionDrawParamsEh(TCustomGridEh* AGrid) : FGrid(AGrid) {}

void TGridSelectionDrawParamsEh::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TGridSelectionDrawParamsEh*>(Source);
  if (!Other) {
    TPersistent::Assign(Source);
    return;
  }
  FSelectionStyle = Other->FSelectionStyle;
  FDrawFocusFrame = Other->FDrawFocusFrame;
  FDrawFocusFrameStored = Other->FDrawFocusFrameStored;
  invalidateGrid();
}

void TGridSelectionDrawParamsEh::invalidateGrid() {
  if (FGrid) FGrid->Invalidate();
}

void TGridSelectionDrawParamsEh::SetSelectionStyle(TGridSelectionDrawStyleEh Value) {
  if (Value == FSelectionStyle) return;
  FSelectionStyle = Value;
  invalidateGrid();
}

TGridSelectionDrawStyleEh TGridSelectionDrawParamsEh::GetActualSelectionStyle() {
  if (FSelectionStyle == gsdsDefaultEh || (FSelectionStyle == gsdsListViewThemedEh && !IsThemedVistaOrLaterEh()))
    return FGrid->DefaultSelectionStyle();
  return FSelectionStyle;
}

bool TGridSelectionDrawParamsEh::DefaultDrawFocusFrame() {
  if (FSelectionStyle == gsdsDefaultEh) return FGrid->GetDefaultDrawFocusFrame();
  return GetActualSelectionStyle() == gsdsClassicEh;
}

bool TGridSelectionDrawParamsEh::DrawFocusFrame() {
  return FDrawFocusFrameStored ? FDrawFocusFrame : DefaultDrawFocusFrame();
}

void TGridSelectionDrawParamsEh::SetDrawFocusFrame(bool Value) {
  if (FDrawFocusFrameStored && FDrawFocusFrame == Value) return;
  FDrawFocusFrameStored = true;
  FDrawFocusFrame = Value;
  invalidateGrid();
}

void TGridSelectionDrawParamsEh::SetDrawFocusFrameStored(bool Value) {
  if (Value == FDrawFocusFrameStored) return;
  FDrawFocusFrameStored = Value;
  FDrawFocusFrame = DefaultDrawFocusFrame();
  invalidateGrid();
}

// ---------------------------------------------------------------------------
// TGridDrawStyleEh

namespace {
TGridDrawStyleEh* GridDrawStyle = nullptr;
}

TGridDrawStyleEh* GetGridDrawStyleEh() { return GridDrawStyle; }

TGridDrawStyleEh* SetGridDrawStyleEh(TGridDrawStyleEh* Value) {
  TGridDrawStyleEh* Old = GridDrawStyle;
  GridDrawStyle = Value;
  return Old;
}

TGridDrawStyleEh::TGridDrawStyleEh(TComponent* AOwner) : TComponent(AOwner) {}

void TGridDrawStyleEh::BeforeDestruction() {
  if (GridDrawStyle == this) GridDrawStyle = nullptr;
  while (!FGrids.empty()) {
    TCustomGridEh* Grid = FGrids.back();
    Grid->SetDrawStyle(nullptr);
    // A grid that re-attached to us (no global style left) is let go here.
    if (!FGrids.empty() && FGrids.back() == Grid) FGrids.pop_back();
  }
  TComponent::BeforeDestruction();
}

void TGridDrawStyleEh::AddChangeNotification(TCustomGridEh* Grid) {
  if (!GridInChangeNotification(Grid)) FGrids.push_back(Grid);
}

void TGridDrawStyleEh::RemoveChangeNotification(TCustomGridEh* Grid) {
  const auto It = std::find(FGrids.begin(), FGrids.end(), Grid);
  if (It != FGrids.end()) FGrids.erase(It);
}

bool TGridDrawStyleEh::GridInChangeNotification(TCustomGridEh* Grid) const {
  return std::find(FGrids.begin(), FGrids.end(), Grid) != FGrids.end();
}

void TGridDrawStyleEh::Changed() {
  for (TCustomGridEh* Grid : FGrids) Grid->DrawStyleChanged();
}

void TGridDrawStyleEh::SetSelectionStyle(TGridSelectionDrawStyleEh Value) {
  if (Value == FSelectionStyle) return;
  FSelectionStyle = Value;
  Changed();
}

TGridSelectionDrawStyleEh TGridDrawStyleEh::GetDefaultActualSelectionStyle() {
  if (IsStyleServicesEnabledEh() && IsCustomStyleActiveEh()) return gsdsGridThemedEh;
  if (IsStyleServicesEnabledEh() && IsThemedVistaOrLaterEh()) return gsdsListViewThemedEh;
  return gsdsClassicEh;
}

TGridSelectionDrawStyleEh TGridDrawStyleEh::GetActualSelectionStyle() {
  if (FSelectionStyle == gsdsDefaultEh || (FSelectionStyle == gsdsListViewThemedEh && !IsThemedVistaOrLaterEh()))
    return GetDefaultActualSelectionStyle();
  return FSelectionStyle;
}

bool TGridDrawStyleEh::IsCustomStyleActive() { return TStyleManager::IsCustomStyleActive(); }

bool TGridDrawStyleEh::DefaultDrawFocusFrame() {
  return GetActualSelectionStyle() == gsdsClassicEh && !IsCustomStyleActive();
}

bool TGridDrawStyleEh::DrawFocusFrame() { return FDrawFocusFrameStored ? FDrawFocusFrame : DefaultDrawFocusFrame(); }

void TGridDrawStyleEh::SetDrawFocusFrame(bool Value) {
  if (FDrawFocusFrameStored && FDrawFocusFrame == Value) return;
  FDrawFocusFrameStored = true;
  FDrawFocusFrame = Value;
  Changed();
}

void TGridDrawStyleEh::SetDrawFocusFrameStored(bool Value) {
  if (Value == FDrawFocusFrameStored) return;
  FDrawFocusFrameStored = Value;
  FDrawFocusFrame = DefaultDrawFocusFrame();
  Changed();
}

// ---------------------------------------------------------------------------
// line routines

void GridFillGradientEh(TCustomGridEh* Grid, TCanvas* Canvas, const TRect& ARect, TColor TopColor,
                        TColor BottomColor) {
  TRect R = ARect;
  if (Grid->UseRightToLeftAlignment() && R.Width() == 1) {
    ++R.Left;
    ++R.Right;
  }
  FillRectGradientEh(Canvas, R, TopColor, BottomColor);
}

void GridPolylineEh(TCustomGridEh* Grid, TCanvas* Canvas, std::span<const TPoint> Points, Integer LastIndex) {
  const auto Used = Points.first(std::size_t(LastIndex + 1));
  if (!Grid->UseRightToLeftAlignment()) {
    Canvas->Polyline(Used);
    return;
  }
  std::vector<TPoint> Shifted(Used.begin(), Used.end());
  for (TPoint& P : Shifted) ++P.X;
  Canvas->Polyline(Shifted);
}

// ---------------------------------------------------------------------------
// the unit

void InitializeGridsEh() {
  // Custom styles never become active here, so the scrolling style hook a
  // styled grid would need is not registered.
  SetGridDrawStyleEh(new TGridDrawStyleEh(nullptr));
}

void FinalizeGridsEh() {
  if (TGridDrawStyleEh* Style = SetGridDrawStyleEh(nullptr)) Style->Free();
}
