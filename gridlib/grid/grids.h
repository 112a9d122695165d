// TCustomGridEh: the scrolling grid at the bottom of the library's grid
// stack.  It owns a horizontal and a vertical axis (gridaxis.h) holding every
// count, length and scroll position, and paints fixed, rolling and contra
// cells; its own DrawCell only writes "col:row".  List boxes, calendar views
// and the data-aware grids derive from it and override its virtuals, which
// are declared in the class's fixed slot order.
//
// Every change of counts, lengths, indents, options or scroll-bar settings
// ends in the one layout update (UpdateGridLayout); a scroll position change
// ends in GridLayoutChanged, which blits the rolling area instead of
// repainting it.
//
// The implementation is split by concern: grids.cpp (construction, counts,
// options, editing hooks), gridpaint.cpp (painting), gridscroll.cpp
// (scrolling and the current cell), gridlayout.cpp (layout and scroll bars).
#pragma once

#include "gridlib/base/basecontrols.h"
#include "gridlib/base/scrollbarpanels.h"
#include "gridlib/grid/gridaxis.h"

#include <functional>

class TGridBackgroundDataEh;
class TGridDrawStyleEh;
class TGridLineColorsEh;
class TGridOutBoundaryDataEh;
class TGridScrollBarEh;
class TGridSelectionDrawParamsEh;
class TInplaceEdit;
class TTimer;
struct TGestureEventInfo;
struct TWMMouse;
enum TGridSelectionDrawStyleEh : int;

// ---------------------------------------------------------------------------
// types

RTL_ENUM(TGridOptionEh, goFixedVertLineEh, goFixedHorzLineEh, goVertLineEh, goHorzLineEh, goDrawFocusSelectedEh,
         goRowSizingEh, goColSizingEh, goRowMovingEh, goColMovingEh, goEditingEh, goTabsEh, goRowSelectEh,
         goAlwaysShowEditorEh, goThumbTrackingEh, goExtendVertLinesEh, goContraVertBoundaryLineEh,
         goContraHorzBoundaryLineEh, goRangeSelectEh)
using TGridOptionsEh = TSet<TGridOptionEh>;

// All four line options, focus-selected, sizing, moving, editing and both
// contra boundary lines.
inline constexpr Integer DefaultGridOptionsValueEh = 99327;  // $183FF
// Sizing and moving granted while the component is designed.
inline constexpr Integer DesignGridOptionsBoostValueEh = 352;  // $160

RTL_ENUM(TGridStateEh, gsNormalEh, gsSelectingEh, gsRowSizingEh, gsColSizingEh, gsRowMovingEh, gsColMovingEh)

RTL_ENUM(TGridDrawStateItem, gdSelected, gdFocused, gdCurrent, gdFixed, gdRowSelected, gdHotTrack, gdPressed)
using TGridDrawState = TSet<TGridDrawStateItem>;

RTL_ENUM(TGridCellBorderTypeEh, cbtTopEh, cbtLeftEh, cbtBottomEh, cbtRightEh)
using TGridCellBorderTypesEh = TSet<TGridCellBorderTypeEh>;

// Where the mouse hot-tracks: a cell and the point inside it.  The base grid
// compares and invalidates spots by Col and Row only; a descendant's spot
// may carry more.
class TGridHotTrackSpotEh : public TPersistent {
  RTL_CLASS(TGridHotTrackSpotEh, TPersistent)
public:
  void Assign(TPersistent* Source) override;

  Integer Col = -1;
  Integer InCellX = 0;
  Integer InCellY = 0;
  Integer Row = -1;
};

class TCustomGridEh;
using TGridEhCellMouseEvent = TMethodPtr<void(TCustomGridEh* Grid, TGridCoord Cell, TMouseButton Button,
                                              TShiftState Shift, Integer X, Integer Y, bool& Processed)>;

RTL_DECLARE_EXCEPTION(EInvalidGridOperationEh, Exception)

// Makes a grid of class T and runs its AfterConstruction, where the parts
// come from T's own factories.
template <class T, class... Args>
T* CreateGridEh(Args&&... Arguments) {
  T* Grid = new T(std::forward<Args>(Arguments)...);
  Grid->AfterConstruction();
  return Grid;
}

// ---------------------------------------------------------------------------
// TCustomGridEh

class TCustomGridEh : public TCustomControlEh, public TGridScrollBarOwnerEh {
  RTL_CLASS(TCustomGridEh, TCustomControlEh)
  UI_MESSAGE_MAP
public:
  // Six by six cells of 50 x 20 (one fixed column and row), 300 x 120
  // pixels, attached to the global draw style.
  explicit TCustomGridEh(TComponent* AOwner);
  ~TCustomGridEh() override;
  // Makes the parts through the factories, then the cells and the bounds.
  void AfterConstruction() override;
  void BeforeDestruction() override;

  // counts and sizes (all kept by the axes)
  TGridAxisDataEh* HorzAxis() const { return FHorzAxis; }
  TGridAxisDataEh* VertAxis() const { return FVertAxis; }
  Integer ColCount() const { return FHorzAxis->CelCount(); }
  // Value minus FixedColCount rolling columns; "RolCelCount can't be less
  // then 1" when that is not positive.
  void SetColCount(Integer Value) { FHorzAxis->SetRolCelCount(Value - FixedColCount()); }
  Integer RowCount() const { return FVertAxis->CelCount(); }
  void SetRowCount(Integer Value) { FVertAxis->SetRolCelCount(Value - FixedRowCount()); }
  Integer FixedColCount() const { return FHorzAxis->FixedCelCount(); }
  void SetFixedColCount(Integer Value) { FHorzAxis->SetFixedCelCount(Value); }
  Integer FixedRowCount() const { return FVertAxis->FixedCelCount(); }
  void SetFixedRowCount(Integer Value) { FVertAxis->SetFixedCelCount(Value); }
  Integer FrozenColCount() const { return FHorzAxis->FrozenCelCount(); }
  void SetFrozenColCount(Integer Value) { FHorzAxis->SetFrozenCelCount(Value); }
  Integer FrozenRowCount() const { return FVertAxis->FrozenCelCount(); }
  void SetFrozenRowCount(Integer Value) { FVertAxis->SetFrozenCelCount(Value); }
  Integer ContraColCount() const { return FHorzAxis->ContraCelCount(); }
  void SetContraColCount(Integer Value) { FHorzAxis->SetContraCelCount(Value); }
  Integer ContraRowCount() const { return FVertAxis->ContraCelCount(); }
  void SetContraRowCount(Integer Value) { FVertAxis->SetContraCelCount(Value); }
  Integer FullColCount() const { return FHorzAxis->FullCelCount(); }
  Integer FullRowCount() const { return FVertAxis->FullCelCount(); }
  Integer DefaultColWidth() const { return FHorzAxis->DefaultCelLen(); }
  void SetDefaultColWidth(Integer Value) { FHorzAxis->SetDefaultCelLen(Value); }
  Integer DefaultRowHeight() const { return FVertAxis->DefaultCelLen(); }
  void SetDefaultRowHeight(Integer Value) { FVertAxis->SetDefaultCelLen(Value); }
  Integer ColWidths(Integer Index) const { return FHorzAxis->GetCelLens(Index); }
  void SetColWidths(Integer Index, Integer Value) { FHorzAxis->SetCelLens(Index, Value); }
  Integer RowHeights(Integer Index) const { return FVertAxis->GetCelLens(Index); }
  void SetRowHeights(Integer Index, Integer Value) { FVertAxis->SetCelLens(Index, Value); }
  Integer LeftCol() const { return FHorzAxis->StartVisCel(); }
  void SetLeftCol(Integer Value);
  Integer TopRow() const { return FVertAxis->StartVisCel(); }
  void SetTopRow(Integer Value);
  Int64 LeftPos() const { return FHorzAxis->RolStartVisPos(); }
  Int64 TopPos() const { return FVertAxis->RolStartVisPos(); }
  // Clamped through CheckRolStartVisPos.
  void SetLeftPos(Int64 ALeftPos);
  void SetTopPos(Int64 ATopPos);
  // The vertical start cell with the last page kept full.
  void SafeSetTopRow(Integer ARow);
  Integer LastFullVisibleCol() { return FHorzAxis->RolLastFullVisCel() + FixedColCount(); }
  Integer LastFullVisibleRow() { return FVertAxis->RolLastFullVisCel() + FixedRowCount(); }
  Integer VisibleColCount() { return FHorzAxis->RolLastFullVisCel() - FHorzAxis->RolStartVisCel() + 1; }
  Integer VisibleRowCount() { return FVertAxis->RolLastFullVisCel() - FVertAxis->RolStartVisCel() + 1; }
  Integer GridClientWidth() { return FHorzAxis->GridClientLen(); }
  Integer GridClientHeight() { return FVertAxis->GridClientLen(); }
  // Pixel length of Count cells from StartCol (fixed or contra ranges).
  Integer GetColsExtent(Integer StartCol, Integer Count) const;
  Integer GetRowsExtent(Integer StartRow, Integer Count) const;
  void MoveColumn(Integer FromIndex, Integer ToIndex) { FHorzAxis->MoveCel(FromIndex, ToIndex); }
  void MoveRow(Integer FromIndex, Integer ToIndex) { FVertAxis->MoveCel(FromIndex, ToIndex); }

  // the current cell and the selection
  Integer Col() const { return FCurCell.X; }
  void SetCol(Integer Value);
  Integer Row() const { return FCurCell.Y; }
  void SetRow(Integer Value);
  TGridCoord CurCell() const { return FCurCell; }
  TGridCoord AnchorCell() const { return FAnchorCell; }
  TGridRect Selection() const { return GridRectFromCoordsEh(FCurCell, FAnchorCell); }
  TGridStateEh GridState() const { return FGridState; }

  // properties
  TGridOptionsEh Options() const { return FOptions; }
  void SetOptions(TGridOptionsEh Value);
  TGridOptionsEh DesignOptionsBoost() const { return FDesignOptionsBoost; }
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  TColor FixedColor() const { return FFixedColor; }
  void SetFixedColor(TColor Value);
  TColor FixedLineColor() const { return FFixedLineColor; }
  Integer GridLineWidth() const { return FGridLineWidth; }
  void SetGridLineWidth(Integer Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  bool EditorMode() const { return FEditorMode; }
  void SetEditorMode(bool Value);
  TInplaceEdit* InplaceEditor() const { return FInplaceEdit; }
  bool SizeGripAlwaysShow() const { return FSizeGripAlwaysShow; }
  void SetSizeGripAlwaysShow(bool Value);
  TSizeGripPosition SizeGripPostion() const { return FSizeGripPostion; }
  void SetSizeGripPostion(TSizeGripPosition Value);
  TGridLineColorsEh* GridLineColors() const { return FGridLineColors; }
  void SetGridLineColors(TGridLineColorsEh* Value);
  TGridScrollBarEh* HorzScrollBar() const { return FHorzScrollBar; }
  void SetHorzScrollBar(TGridScrollBarEh* Value);
  TGridScrollBarEh* VertScrollBar() const { return FVertScrollBar; }
  void SetVertScrollBar(TGridScrollBarEh* Value);
  TGridSelectionDrawParamsEh* SelectionDrawParams() const { return FSelectionDrawParams; }
  void SetSelectionDrawParams(TGridSelectionDrawParamsEh* Value);
  TGridOutBoundaryDataEh* OutBoundaryData() const { return FOutBoundaryData; }
  TGridBackgroundDataEh* BackgroundData() const { return FBackgroundData; }
  TGridDrawStyleEh* DrawStyle() const { return FDrawStyle; }
  // nullptr attaches to the global draw style.
  void SetDrawStyle(TGridDrawStyleEh* Style);
  void AttachToGlobalDrawStyle();
  TGridScrollBarPanelControlEh* HorzScrollBarPanelControl() const { return FHorzScrollBarPanelControl; }
  TGridScrollBarPanelControlEh* VertScrollBarPanelControl() const { return FVertScrollBarPanelControl; }
  TSizeGripPanelEh* CornerScrollBarPanelControl() const { return FCornerScrollBarPanelControl; }
  TSizeGripPanelEh* ExtraSizeGripControl() const { return FExtraSizeGripControl; }
  bool HorzScrollBarIsShowing() const { return FHorzScrollBarIsShowing; }
  bool VertScrollBarIsShowing() const { return FVertScrollBarIsShowing; }
  Integer ScrollBarSize() const { return FScrollBarSize; }
  // Streams "ColWidths" and "RowHeights" when set (descendants decide).
  bool SaveCellExtents() const { return FSaveCellExtents; }
  void SetSaveCellExtents(bool Value) { FSaveCellExtents = Value; }
  bool CanvasRightToLeftReflected() const { return FCanvasRightToLeftReflected; }

  // painting control
  void LockPaint() { ++FLockPaint; }
  void UnlockPaint();
  bool PaintLocked() const { return FLockPaint > 0; }
  Integer LockPaintCount() const { return FLockPaint; }
  void BeginBoundariesUpdate() { ++FBoundariesUpdateCount; }
  void EndBoundariesUpdate() { --FBoundariesUpdateCount; }
  bool BoundariesUpdating() const { return FBoundariesUpdateCount > 0; }

  // cell geometry
  // The client rectangle of a block of cells; empty (0, 0, 0, 0) when
  // inverted.  ForRightToLeft mirrors it unless the canvas is mirrored.
  void GridRectToClientRect(const TGridRect& GridRect, TRect& Rect, bool ClipToView, bool ForRightToLeft);
  TRect CalcCellRangeRect(Integer Left, Integer Top, Integer Right, Integer Bottom, bool Unused,
                          bool ForRightToLeft);
  TRect CalcCellRect(Integer ACol, Integer ARow, bool Unused = false, bool ForRightToLeft = true);
  TRect CalcCellRangeRectFull(Integer Left, Integer Top, Integer Right, Integer Bottom, bool Unused = false,
                              bool ForRightToLeft = true);
  TRect CalcCellRectFull(Integer ACol, Integer ARow, bool Unused = false, bool ForRightToLeft = true);
  TGridCoord CalcCoordFromPoint(Integer X, Integer Y);
  bool IsCellBorderDrawn(Integer ACol, Integer ARow, TGridCellBorderTypeEh BorderType);

  // invalidation
  void InvalidateCell(Integer ACol, Integer ARow);
  void InvalidateCol(Integer ACol);
  void InvalidateRow(Integer ARow);
  void InvalidateGrid() { Invalidate(); }

  // right-to-left painting
  void ChangeCanvasOrientation(TCanvas* ACanvas, bool RightToLeft);
  // Back to unmirrored coordinates for text; False when not mirrored.
  bool UnreflectCanvasForRect(TRect& ARect);
  void ReflectCanvas() { ChangeCanvasOrientation(Canvas(), true); }
  // A line as a filled rectangle in the pen's colour.
  void DrawLineByFillRect(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer LineWidth);

  // focus
  bool IsActiveControl();
  void SetFocusInternally(TWinControl* Control);
  bool ThemedHighlightEnabled() { return false; }
  void NotifyDesignerModified();
  // After an axis changed its scroll position.
  void AxisRolStartVisPosChanged(TGridAxisDataEh* Axis, Int64 OldPos);
  bool AxesPositionsActual() const;
  void CheckAxesPositions();
  void ShowEditorChar(Char Ch);
  bool EnsureInplaceEdit();
  // Writes the editor's text back, then (also when that raises) forgets the
  // editor's cell and hides it.
  void HideEdit();

  // mouse and keyboard (gridinput.cpp)
  // The length the cell being sized gets on release.
  Integer CalcNewSizingLength(TGridAxisDataEh* Axis);
  // Follows the mouse while a row or column is moved (Index: the cell under
  // it, -1 for none); scrolls one step past the rolling area.
  void UpdateMoveTarget(Integer Pos, Integer Index, TGridAxisDataEh* Axis, bool IsVert, TPoint Point);
  TGridCoord HotTrackCell() const { return FHotTrackCell; }
  TGridHotTrackSpotEh* HotTrackSpot() const { return FOldHotTrackSpot; }
  Integer MoveFromIndex() const { return FMoveFromIndex; }
  Integer MoveToIndex() const { return FMoveToIndex; }
  bool MouseInControl() const { return FMouseInControl; }
  // OnMouseWheelDown / OnMouseWheelUp; answers Handled.
  bool DoMouseWheelDownEvent(TShiftState Shift, TPoint MousePos);
  bool DoMouseWheelUpEvent(TShiftState Shift, TPoint MousePos);
  // The timer's state, for tests and descendants.
  bool GridTimerEnabled() const;
  Cardinal GridTimerInterval() const;
  // The grid's key and mouse handling for callers outside the class (the
  // in-place editor hands navigation keys back).
  void GridKeyDown(Word& Key, TShiftState Shift) { KeyDown(Key, Shift); }
  void GridKeyUp(Word& Key, TShiftState Shift) { KeyUp(Key, Shift); }
  void GridKeyPress(Char& Key) { KeyPress(Key); }
  void GridDblClick() { DblClick(); }
  bool GridMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    return DoMouseWheel(Shift, WheelDelta, MousePos);
  }
  bool InternalFocusResetting() const { return FInternalFocusResetting; }
  void SetInternalFocusResetting(bool Value) { FInternalFocusResetting = Value; }

  // TGridScrollBarOwnerEh
  Integer ScrollBarBoxSize(TScrollBarKind Kind) override;

  // events
  TGridEhCellMouseEvent OnCellMouseClick;
  TGridEhCellMouseEvent OnCellMouseDown;

  // ---- introduced virtuals, in slot order ----
  virtual bool EditorCanAcceptChar(Char Ch);
  virtual bool CanEditModify();
  virtual bool CanEditShow();
  virtual bool CanEditAcceptKey(Char Key);
  virtual bool CanGridAcceptKey(Word Key, TShiftState Shift);
  virtual bool CanHotTrackCell(Integer X, Integer Y);
  virtual TRect CellEditRect(Integer ACol, Integer ARow);
  virtual bool CanBeginColMoving(Integer Origin, Integer Destination, TPoint MousePt);
  virtual bool CanBeginRowMoving(Integer Origin, Integer Destination, TPoint MousePt);
  virtual bool WantDoubleClicksAt(TGridCoord Cell, TMouseButton Button, TShiftState Shift, TPoint Pos,
                                  TPoint InCellPos);
  virtual bool CanCellDblClick(const TWMMouse& Message);
  virtual bool CanMoveColTo(Integer Origin, Integer Destination, TPoint MousePt);
  virtual bool GridLinesDrawn(bool Horizontal);
  virtual bool CanMoveRowTo(Integer Origin, Integer Destination, TPoint MousePt);
  virtual TGridStateEh CalcGridStateAtPos(TPoint Pos);
  bool FocusGridOnMouseDown() override;
  virtual TGridBackgroundDataEh* CreateBackgroundData();
  virtual TInplaceEdit* CreateEditor();
  virtual TGridLineColorsEh* CreateGridLineColors();
  virtual TGridScrollBarPanelControlEh* CreateHorzScrollBarPanel();
  virtual TGridHotTrackSpotEh* CreateHotTrackSpot();
  virtual TGridScrollBarEh* CreateScrollBar(TScrollBarKind Kind);
  virtual TSizeGripPanelEh* CreateSizeGripPanel();
  virtual TGridScrollBarPanelControlEh* CreateVertScrollBarPanel();
  virtual bool GetDefaultDrawFocusFrame();
  virtual bool CanEndColMoving(Integer& Origin, Integer& Destination, TPoint MousePt);
  virtual bool CanEndRowMoving(Integer& Origin, Integer& Destination, TPoint MousePt);
  virtual bool FixedColsSizable();
  virtual bool FixedRowsSizable();
  virtual bool BackgroundShowing();
  virtual TCursor SizingCursorAt(TPoint Pos);
  virtual TGridSelectionDrawStyleEh DefaultSelectionStyle();
  virtual Integer GetEditLimit();
  virtual String GetEditMask(Integer ACol, Integer ARow);
  virtual String GetEditText(Integer ACol, Integer ARow);
  virtual Integer VertScrollStep();
  virtual Integer MouseWheelScrollStep();
  virtual bool IsCellNavigable(Integer ACol);
  virtual bool BackgroundDrawn();
  virtual bool FocusInsideGrid();
  virtual Integer GetHorzLineWidth();
  virtual Integer GetVertLineWidth();
  virtual bool HotTrackSpotsEqual(TGridHotTrackSpotEh* Spot1, TGridHotTrackSpotEh* Spot2);
  virtual bool IsCellSelectionHighlighted(Integer ACol, Integer ARow, TGridDrawState AState);
  virtual bool HasSelectionRange();
  virtual bool IsSmoothHorzScroll();
  virtual bool IsSmoothVertScroll();
  virtual bool NeedBufferedPaint();
  virtual bool SelectCell(Integer ACol, Integer ARow);
  virtual bool IsSizingHitAt(TPoint Pos);
  virtual bool IsGridKey(Word Key, TShiftState Shift);
  virtual bool WantDoubleClicks(const TWMMouse& Message);
  virtual TGridCoord FindSelectableCell(Integer FromCol, Integer FromRow, Integer ToCol, Integer ToRow);
  virtual void ClampScrollPositions(Int64& MaxLeft, Int64& MaxTop, bool SnapHorz, bool SnapVert);
  virtual void CalcMaxScrollPositions(Int64& MaxLeft, Int64& MaxTop, bool SnapHorz, bool SnapVert);
  virtual void CelMoved(TGridAxisDataEh* Axis, Integer FromIndex, Integer ToIndex);
  virtual void CalcSizingState(Integer X, Integer Y, TGridStateEh& State, Integer& Index, Integer& SizingPos,
                               Integer& SizingOfs);
  virtual void CancelMode();
  virtual void GridSizeChanged();
  virtual void CelLenChanged(TGridAxisDataEh* Axis, Integer Index, Integer OldLen);
  virtual void CellMouseClick(TGridCoord Cell, TMouseButton Button, TShiftState Shift, const TRect& ACellRect,
                              TPoint GridMousePos, TPoint CellMousePos);
  virtual void CellMouseDown(TGridCoord Cell, TMouseButton Button, TShiftState Shift, const TRect& ACellRect,
                             TPoint GridMousePos, TPoint CellMousePos);
  virtual void GetCellBorderDrawParams(Integer ACol, Integer ARow, TGridCellBorderTypeEh BorderType,
                                       bool& IsDraw, TColor& Color, bool& IsExtent);
  virtual void UpdateAxesPositions();
  virtual void ScrollCellIntoView(TGridCoord Cell, bool Horz, bool Vert);
  virtual void ColumnMoved(Integer FromIndex, Integer ToIndex);
  virtual void ColWidthsChanged();
  virtual void CurCellMoved(TGridCoord OldCurCell);
  virtual void DeleteColumn(Integer ACol);
  virtual void DeleteRow(Integer ARow);
  virtual void DrawCellLines(Integer ACol, Integer ARow, TRect& ARect, TGridDrawState AState,
                             TGridCellBorderTypesEh Borders);
  virtual void PaintBottomOutBoundary(const TRect& ARect);
  virtual void DrawCell(Integer ACol, Integer ARow, const TRect& ARect, TGridDrawState AState);
  virtual void DrawCellFrame(Integer ACol, Integer ARow, const TRect& ARect, TGridDrawState AState);
  virtual void DrawCellBackground(Integer ACol, Integer ARow, const TRect& ARect, TGridDrawState AState);
  virtual void PaintEmptyArea(Integer ACol, Integer ARow, const TRect& ARect);
  virtual void PaintLeftOutBoundary(const TRect& ARect);
  virtual void DrawMoveLine();
  virtual void PaintOutBoundary();
  virtual void PaintRightOutBoundary(const TRect& ARect);
  virtual void EraseSizingLine();
  virtual void DrawSizingLine();
  virtual void InvalidateSizingLine();
  virtual void TrackSizingLine(Integer X, Integer Y);
  virtual void PaintTopOutBoundary(const TRect& ARect);
  virtual void ClampCellCoord(Integer& ACol, Integer& ARow);
  virtual void FlatChanged();
  virtual void FocusCell(Integer ACol, Integer ARow, bool MoveAnchor = true);
  virtual void CalcHorzScrollBarParams(Integer& Position, Integer& Min, Integer& Max, Integer& PageSize);
  virtual void CalcVertScrollBarParams(Integer& Position, Integer& Min, Integer& Max, Integer& PageSize);
  virtual void CalcSizingLineExtent(Integer& StartPos, Integer& StopPos);
  virtual void HideMoveWindow();
  virtual void HideEditor();
  virtual void HorzScrollCommand(Integer Code, Integer Pos);
  virtual void ChangeColWidth(Integer ACol, Integer AWidth);
  virtual void ChangeRowHeight(Integer ARow, Integer AHeight);
  virtual void InvalidateEditor();
  virtual void InvalidateRect(const TGridRect& ARect);
  virtual void InvalidateHotTrackSpot(TGridHotTrackSpotEh* Spot);
  virtual void SetAnchorCell(Integer ACol, Integer ARow);
  virtual void MoveCurrentCell(Integer ACol, Integer ARow, bool ShowHorz, bool ShowVert);
  virtual void OutBoundaryDataChanged();
  virtual void AxisPositionsChanged();
  virtual void GridLayoutChanged(Int64 OldLeftPos, Int64 OldTopPos);
  virtual void RowHeightsChanged();
  virtual void RowMoved(Integer FromIndex, Integer ToIndex);
  void ScrollBarCommand(TScrollBarKind Kind, Integer Code, Integer Pos, bool AllowRightToLeftSwap) override;
  virtual void ScrollBarsUpdated();
  virtual void ScrollBarSizeChanged();
  virtual void InvalidateSelectionArea(const TGridRect& OldSelection);
  virtual void SetEditText(Integer ACol, Integer ARow, const String& Value);
  virtual void FillHotTrackSpot(TGridHotTrackSpotEh* Spot, Integer X, Integer Y);
  virtual void PrepareInternalColors();
  virtual void ShowEditor();
  virtual void StartColMoving(Integer ACol, Integer X, Integer Y);
  virtual void StartRowMoving(Integer ARow, Integer X, Integer Y);
  virtual void ResetCellCoordIfOutside(TGridCoord& Coord);
  virtual void DrawStyleChanged();
  virtual void AutoScrollSelection(Byte Directions);
  virtual void AfterGridLayoutChanged();
  virtual void UpdateGridLayout();
  virtual void UpdateEditor();
  virtual void UpdateFixedLineColor();
  virtual void UpdateHotTrackAtPos(TPoint Pos);
  virtual void UpdateScrollBars();
  virtual void UpdateHorzScrollBarParams();
  virtual void UpdateEditText(bool Changing);
  virtual void VertScrollCommand(Integer Code, Integer Pos);
  virtual void GridTimerTick(TObject* Sender);
  virtual void SetGridTimer(bool Enabled, Cardinal Interval);
  virtual TGridCoord MouseCoord(Integer X, Integer Y);
  virtual void DefaultCellMouseClick(TGridCoord Cell, TMouseButton Button, TShiftState Shift,
                                     const TRect& ACellRect, TPoint GridMousePos, TPoint CellMousePos);
  virtual void DefaultCellMouseDown(TGridCoord Cell, TMouseButton Button, TShiftState Shift,
                                    const TRect& ACellRect, TPoint GridMousePos, TPoint CellMousePos);

protected:
  // reimplemented
  void DefineProperties(TFiler* Filer) override;
  void Loaded() override;
  void CreateParams(TCreateParams& Params) override;
  // A new window places the scroll-bar panels, which need one.
  void CreateWnd() override;
  void Paint() override;
  void DoExit() override;
  void Resize() override;
  // The pan gesture scrolls by whole cells.
  virtual void DoGesture(const TGestureEventInfo& EventInfo, bool& Handled);
  // keys (gridinput.cpp)
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  // the mouse (gridinput.cpp)
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // the wheel (gridmessages.cpp)
  bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
  // Double clicks a cell does not want arrive as a second button-down.
  void WndProc(TMessage& Message) override;

  // message handlers
  void WMGesture(TMessage& Message);
  // gridmessages.cpp
  void WMPaint(TWMPaint& Message);
  void WMEraseBkgnd(TWMEraseBkgnd& Message);
  void WMSetFocus(TWMSetFocus& Message);
  void WMKillFocus(TWMKillFocus& Message);
  void WMGetDlgCode(TWMGetDlgCode& Message);
  void WMChar(TWMKey& Message);
  void WMNCHitTest(TWMNCHitTest& Message);
  void WMNCMouseMove(TMessage& Message);
  void WMSetCursor(TWMSetCursor& Message);
  void WMCancelMode(TMessage& Message);
  void WMButtonDown(TWMMouse& Message);
  void WMButtonUp(TWMMouse& Message);
  void CMCancelMode(TCMCancelMode& Message);
  void CMCtl3DChanged(TMessage& Message);
  void CMDesignHitTest(TWMMouse& Message);
  void CMFontChanged(TMessage& Message);
  void CMMouseEnter(TCMMouseEnter& Message);
  void CMMouseLeave(TCMMouseLeave& Message);
  void CMWantSpecialKey(TCMWantSpecialKey& Message);
  void CMStyleChanged(TMessage& Message);

  // scrolling helpers
  void ScrollAxisByPixels(Integer Code, Integer Pos, TGridAxisDataEh* Axis, TGridScrollBarEh* ScrollBar);
  void ScrollAxisByCells(Integer Code, Integer Pos, TGridAxisDataEh* Axis, TGridScrollBarEh* ScrollBar);

  TColor FInternalColor = clWindow;
  TColor FInternalFontColor = clWindowText;
  TColor FInternalFixedColor = clBtnFace;
  TColor FInternalFixedFontColor = clWindowText;
  TGridCoord FHotTrackCell{-1, -1};
  TGridStateEh FGridState = gsNormalEh;
  TGridCoord FCurCell{1, 1};
  TGridCoord FAnchorCell{1, 1};
  TPoint FPanPoint{0, 0};

private:
  // painting steps
  struct TCellArea;
  void paintCells(const TCellArea& Area);
  void paintContraColumns();
  void paintContraRows();
  void paintContraCorner(Integer X, Integer Y);
  void paintEmptyRight();
  void paintEmptyBottom();
  void drawBoundarySegment(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer BorderCol, Integer BorderRow,
                           TGridCellBorderTypeEh Border);
  void drawVertBoundaryLine(Integer X, Integer FirstRow, Integer EndRow, Integer Y, Integer StopY);
  void drawHorzBoundaryLine(Integer Y, Integer FirstCol, Integer EndCol, Integer X, Integer StopX);
  void withClip(const TRect& Clip, const std::function<void()>& Paint);
  // input steps
  void calcPageRows(Integer& PageUp, Integer& PageDown);
  void moveAnchorByKey(Word Key);
  void mouseDownOnDataCell(TGridCoord Cell, TShiftState Shift);
  void mouseDownOnFixedCell(TGridCoord Cell, Integer X, Integer Y);
  void dragSelection(TGridCoord Cell);
  bool editorCaretAtEnd();
  bool editorCaretAtStart();
  TGridCoord cellMouseCall(const TWMMouse& Message, TRect& CellRect);
  Cardinal columnMoveInterval(TPoint ClientPos, Int64 OldLeftPos, Integer OldLeftCol);
  TMouseButton buttonOf(gdi::UINT Msg) const;
  // layout steps
  void layoutAxes();
  void reserveScrollBarSpace();
  void placeSizeGrips(Integer b, Integer c, Integer& w, Integer& h, Integer& t, Integer& l);
  void blitRollingArea(Int64 OldLeftPos, Int64 OldTopPos);
  void streamColWidths(TReader* Reader);
  void streamRowHeights(TReader* Reader);
  void writeColWidths(TWriter* Writer);
  void writeRowHeights(TWriter* Writer);
  bool extentsDiffer(TFiler* Filer, bool Horizontal);

  TGridBackgroundDataEh* FBackgroundData = nullptr;
  TBorderStyle FBorderStyle = bsSingle;
  bool FBufferedPaint = false;
  bool FCanEditModify = true;
  bool FCanvasRightToLeftReflected = false;
  TSizeGripPanelEh* FCornerScrollBarPanelControl = nullptr;
  TGridDrawStyleEh* FDrawStyle = nullptr;
  bool FEditorMode = false;
  TSizeGripPanelEh* FExtraSizeGripControl = nullptr;
  TColor FFixedColor = clBtnFace;
  bool FFlat = false;
  TGridLineColorsEh* FGridLineColors = nullptr;
  Integer FGridLineWidth = 1;
  TPoint FHitTest{0, 0};
  TGridAxisDataEh* FHorzAxis = nullptr;
  TGridScrollBarEh* FHorzScrollBar = nullptr;
  bool FHorzScrollBarIsShowing = false;
  TGridScrollBarPanelControlEh* FHorzScrollBarPanelControl = nullptr;
  Integer FInplaceCol = -1;
  Integer FInplaceRow = -1;
  TInplaceEdit* FInplaceEdit = nullptr;
  TGridOptionsEh FOptions;
  Integer FScrollBarSize = 0;
  TGridSelectionDrawParamsEh* FSelectionDrawParams = nullptr;
  bool FSizeGripAlwaysShow = false;
  TSizeGripPosition FSizeGripPostion = sgpBottomRight;
  TGridAxisDataEh* FVertAxis = nullptr;
  TGridScrollBarEh* FVertScrollBar = nullptr;
  bool FVertScrollBarIsShowing = false;
  TGridScrollBarPanelControlEh* FVertScrollBarPanelControl = nullptr;
  TRect FWinClientBoundary;
  TGridOutBoundaryDataEh* FOutBoundaryData = nullptr;
  bool FFocused = false;
  Integer FBoundariesUpdateCount = 0;
  TGridOptionsEh FDesignOptionsBoost;
  TColor FFixedLineColor = 0;
  TTimer* FGridTimer = nullptr;
  Integer FLockPaint = 0;
  TGridCoord FMouseDownCell{-1, -1};
  TGridHotTrackSpotEh* FNewHotTrackSpot = nullptr;
  TGridHotTrackSpotEh* FOldHotTrackSpot = nullptr;
  bool FSaveCellExtents = false;
  bool FInternalFocusResetting = false;
  // sizing: the cell, the line's client coordinate, line minus mouse at the
  // start, the cell's other edge (-1: none) and the line last repainted
  Integer FSizingIndex = -1;
  Integer FSizingPos = 0;
  Integer FSizingOfs = 0;
  Integer FDrawenSizingPos1 = -1;
  Integer FDrawenSizingPos2 = 0;
  // moving a row or column (absolute indexes)
  Integer FMoveFromIndex = -1;
  Integer FMoveToIndex = -1;
  Integer FMoveFromCellOriginDistance = 0;
  bool FMovePosRightSite = false;
  TPoint FMouseMovePos{0, 0};
  TPoint FHotTrackInCellPos{0, 0};
  bool FMouseInControl = false;
};
