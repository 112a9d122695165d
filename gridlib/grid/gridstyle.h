// How a grid looks and scrolls: its line colours (each set, or derived from
// a bright and a dark base colour that follow the visual style), one
// scroll-bar settings object per axis, the selection draw parameters, and
// the one library-wide draw style every grid follows.  Also the line
// routines that land one-pixel lines right on a mirrored canvas.
//
// Colour fields start as clDefault (unset); a getter answers the set value or
// its default.
#pragma once

#include "gridlib/grid/grids.h"
#include "platform/rtl/units.h"

// ---------------------------------------------------------------------------
// TGridLineColorsEh

class TGridLineColorsEh : public TPersistent {
  RTL_CLASS(TGridLineColorsEh, TPersistent)
public:
  explicit TGridLineColorsEh(TCustomGridEh* AGrid);
  void Assign(TPersistent* Source) override;

  TCustomGridEh* Grid() const { return FGrid; }
  void SetBrightColor(TColor Value);
  void SetDarkColor(TColor Value);
  void SetDataHorzColor(TColor Value);
  void SetDataVertColor(TColor Value);

  // introduced virtuals, in slot order
  virtual TColor GetCellLineColor(Integer ACol, Integer ARow);
  virtual TColor GetDataHorzColor();
  virtual TColor GetDataVertColor();
  virtual TColor GetFixedHorzLineColor(Integer ACol, Integer ARow);
  virtual TColor GetHorzAreaFrozenBorderColor();
  virtual TColor GetHorzAreaFrozenHorzColor();
  virtual TColor GetHorzAreaFrozenVertColor();
  virtual TColor GetVertLineColor(Integer ACol, Integer ARow);
  virtual TColor GetFixedVertLineColor(Integer ACol, Integer ARow);
  virtual TColor GetHorzLineColor(Integer ACol, Integer ARow);
  virtual TColor GetVertAreaFrozenBorderColor();
  virtual TColor GetVertAreaFrozenHorzColor();
  virtual TColor GetVertAreaFrozenVertColor();
  // Unset: the style's fixed-cell border under a custom style, else grey.
  virtual TColor GetDarkColor();
  // Unset: as dark under a custom style, else silver, or grey on a grid
  // whose colour is silver.
  virtual TColor GetBrightColor();
  virtual TColor GetFixedVertColor();
  virtual TColor GetFixedHorzColor();
  virtual TColor GetVertAreaContraVertColor();
  virtual TColor GetVertAreaContraHorzColor();
  virtual TColor GetHorzAreaContraVertColor();
  virtual TColor GetHorzAreaContraHorzColor();
  virtual TColor GetVertAreaContraBorderColor();
  virtual TColor GetHorzAreaContraBorderColor();

private:
  TColor orBright(TColor Value) { return Value == clDefault ? GetBrightColor() : Value; }
  TColor orDark(TColor Value) { return Value == clDefault ? GetDarkColor() : Value; }
  TColor styleBorderColor();
  void setColor(TColor& Field, TColor Value);

  TColor FBrightColor = clDefault;
  TColor FDarkColor = clDefault;
  TColor FDataHorzColor = clDefault;
  TColor FDataVertColor = clDefault;
  TColor FFixedHorzColor = clDefault;
  TColor FFixedVertColor = clDefault;
  TCustomGridEh* FGrid;
  TColor FHorzAreaContraBorderColor = clDefault;
  TColor FHorzAreaContraHorzColor = clDefault;
  TColor FHorzAreaContraVertColor = clDefault;
  TColor FHorzAreaFrozenBorderColor = clDefault;
  TColor FHorzAreaFrozenHorzColor = clDefault;
  TColor FHorzAreaFrozenVertColor = clDefault;
  TColor FVertAreaContraBorderColor = clDefault;
  TColor FVertAreaContraHorzColor = clDefault;
  TColor FVertAreaContraVertColor = clDefault;
  TColor FVertAreaFrozenBorderColor = clDefault;
  TColor FVertAreaFrozenHorzColor = clDefault;
  TColor FVertAreaFrozenVertColor = clDefault;
};

// ---------------------------------------------------------------------------
// TGridScrollBarEh

RTL_ENUM(TScrollBarVisibleModeEh, sbAlwaysShowEh, sbNeverShowEh, sbAutoShowEh)

class TGridScrollBarEh : public TPersistent {
  RTL_CLASS(TGridScrollBarEh, TPersistent)
public:
  TGridScrollBarEh(TCustomGridEh* AGrid, TScrollBarKind AKind);
  // From another TGridScrollBarEh only Tracking travels.
  void Assign(TPersistent* Source) override;

  TCustomGridEh* Grid() const { return FGrid; }
  TScrollBarKind Kind() const { return FKind; }
  // 0: the grid's default size.
  Integer Size() const { return FSize; }
  void SetSize(Integer Value);
  // Scroll by pixels instead of by cells.
  bool SmoothStep() const { return FSmoothStep; }
  void SetSmoothStep(bool Value);
  bool Tracking() const { return FTracking; }
  void SetTracking(bool Value) { FTracking = Value; }
  TScrollBarVisibleModeEh VisibleMode() const { return FVisibleMode; }
  void SetVisibleMode(TScrollBarVisibleModeEh Value);
  bool Visible() const { return FVisibleMode != sbNeverShowEh; }
  // True: sbAutoShowEh; False: sbNeverShowEh.
  void SetVisible(bool Value) { SetVisibleMode(Value ? sbAutoShowEh : sbNeverShowEh); }
  bool CheckHideScrollBar() { return !IsScrollBarShowing(); }
  // The platform bar's current values inside the grid's panel of this kind.
  void GetScrollBarParams(Integer& APosition, Integer& AMin, Integer& AMax, Integer& APageSize);
  void SetScrollBarParams(Integer APosition, Integer AMin, Integer AMax, Integer APageSize);

  // introduced virtuals, in slot order
  virtual bool ScrollBarRequired();
  virtual void ScrollBarParamsChanged();
  virtual void SmoothStepChanged() {}
  // Capped at the standard bar height when keeping the default maximum.
  virtual Integer ActualScrollBarBoxSize();
  // The strip a shown bar takes: Size scaled, or the grid's default.
  virtual Integer ActualSize();
  virtual bool IsKeepMaxSizeInDefault() { return false; }
  virtual bool IsScrollBarShowing() { return ScrollBarRequired(); }
  virtual bool ScrollBarPanel() { return true; }

private:
  TGridScrollBarPanelControlEh* panel() const;

  TCustomGridEh* FGrid;
  TScrollBarKind FKind;
  Integer FSize = 0;
  bool FSmoothStep = false;
  bool FTracking = true;
  TScrollBarVisibleModeEh FVisibleMode = sbAutoShowEh;
};

// ---------------------------------------------------------------------------
// selection draw parameters and the draw style

enum TGridSelectionDrawStyleEh : int { gsdsDefaultEh, gsdsClassicEh, gsdsGridThemedEh, gsdsListViewThemedEh };

class TGridSelectionDrawParamsEh : public TPersistent {
  RTL_CLASS(TGridSelectionDrawParamsEh, TPersistent)
public:
  explicit TGridSelectionDrawParamsEh(TCustomGridEh* AGrid);
  // Copies SelectionStyle, DrawFocusFrame and DrawFocusFrameStored.
  void Assign(TPersistent* Source) override;

  TGridSelectionDrawStyleEh SelectionStyle() const { return FSelectionStyle; }
  void SetSelectionStyle(TGridSelectionDrawStyleEh Value);
  bool DrawFocusFrame();
  void SetDrawFocusFrame(bool Value);
  bool DrawFocusFrameStored() const { return FDrawFocusFrameStored; }
  void SetDrawFocusFrameStored(bool Value);
  TGridSelectionDrawStyleEh GetActualSelectionStyle();

  // introduced virtuals
  virtual bool DefaultDrawFocusFrame();

private:
  void invalidateGrid();

  bool FDrawFocusFrame = false;
  bool FDrawFocusFrameStored = false;
  TCustomGridEh* FGrid;
  TGridSelectionDrawStyleEh FSelectionStyle = gsdsDefaultEh;
};

// The selection style and focus-frame default all grids follow; a change
// repaints every registered grid (not owned).
class TGridDrawStyleEh : public TComponent {
  RTL_CLASS(TGridDrawStyleEh, TComponent)
public:
  explicit TGridDrawStyleEh(TComponent* AOwner);
  void BeforeDestruction() override;

  void AddChangeNotification(TCustomGridEh* Grid);
  void RemoveChangeNotification(TCustomGridEh* Grid);
  bool GridInChangeNotification(TCustomGridEh* Grid) const;
  // DrawStyleChanged of every registered grid, in list order.
  void Changed();

  TGridSelectionDrawStyleEh SelectionStyle() const { return FSelectionStyle; }
  void SetSelectionStyle(TGridSelectionDrawStyleEh Value);
  TGridSelectionDrawStyleEh GetActualSelectionStyle();
  bool DrawFocusFrame();
  void SetDrawFocusFrame(bool Value);
  bool DrawFocusFrameStored() const { return FDrawFocusFrameStored; }
  void SetDrawFocusFrameStored(bool Value);
  bool IsCustomStyleActive();

  // introduced virtuals, in slot order
  virtual bool DefaultDrawFocusFrame();
  virtual TGridSelectionDrawStyleEh GetDefaultActualSelectionStyle();

private:
  bool FDrawFocusFrame = false;
  bool FDrawFocusFrameStored = false;
  std::vector<TCustomGridEh*> FGrids;
  TGridSelectionDrawStyleEh FSelectionStyle = gsdsDefaultEh;
};

// The global draw style (nullptr outside the unit's start-up and shutdown).
TGridDrawStyleEh* GetGridDrawStyleEh();
// Installs Value and answers the previous one (the caller owns it).
TGridDrawStyleEh* SetGridDrawStyleEh(TGridDrawStyleEh* Value);

// ---------------------------------------------------------------------------
// line routines for mirrored canvases

// The vertical gradient; a one-pixel wide Rect moves one pixel right under
// right-to-left.
void GridFillGradientEh(TCustomGridEh* Grid, TCanvas* Canvas, const TRect& ARect, TColor TopColor,
                        TColor BottomColor);
// Points[0 .. LastIndex], every X one pixel further right under
// right-to-left; the caller's points are not changed.
void GridPolylineEh(TCustomGridEh* Grid, TCanvas* Canvas, std::span<const TPoint> Points, Integer LastIndex);

// ---------------------------------------------------------------------------
// the unit: the global draw style

void InitializeGridsEh();
void FinalizeGridsEh();
inline constexpr TUnit GridsUnitEh{"gridlib/grid/grids", &InitializeGridsEh, &FinalizeGridsEh};
