// The geometry of one grid axis (columns or rows) and the small cell types
// the whole grid stack shares.
//
// An axis holds three areas, always in this order along it:
//
//   client: WinClientBoundSta                                  WinClientBoundSto
//           |<-indent->|<- fixed ->|<---- rolling window ---->|<- contra ->|<-bar->|
//                      ^GridClientStart                                     ^GridClientStop
//                                  ^FixedBoundary             ^ContraStart
//
//   fixed cells    0 .. FixedCelCount-1          never scroll; the last
//                                                FrozenCelCount are frozen data
//   rolling cells  FixedCelCount .. CelCount-1   scrolled by RolStartVisPos pixels
//   contra cells   CelCount .. FullCelCount-1    pinned to the far end
//
// Each area keeps its lengths in an array of its own, indexed locally from 0.
// The rolling area also keeps the start of every cell in rolling coordinates
// (FRolLocCelPosArr, 64-bit: element i = sum of the lengths before cell i).
// Writers of rolling lengths only mark that array obsolete; the first reader
// rebuilds it, so a burst of changes costs one rebuild.  A rolling cell's
// screen start is FixedBoundary + its position - RolStartVisPos, and
// RolStartVisPos never exceeds RolLen.
//
// Reads of positions may rebuild the array and notify the grid: the object is
// for the GUI thread only.
#pragma once

#include "platform/rtl/component.h"

#include <cstdint>
#include <span>
#include <vector>

class TCustomGridEh;

// ---------------------------------------------------------------------------
// cell coordinates

// A cell: column X, row Y; (-1, -1) is no cell.
struct TGridCoord {
  Integer X = 0;
  Integer Y = 0;
  friend constexpr bool operator==(const TGridCoord&, const TGridCoord&) = default;
};

// A block of cells, bounds inclusive.
struct TGridRect {
  Integer Left = 0;
  Integer Top = 0;
  Integer Right = 0;
  Integer Bottom = 0;
  constexpr TGridCoord TopLeft() const { return {Left, Top}; }
  constexpr TGridCoord BottomRight() const { return {Right, Bottom}; }
  friend constexpr bool operator==(const TGridRect&, const TGridRect&) = default;
};

// The coordinate packed as one 64-bit value: column in the low 32 bits, row
// in the high.
Int64 MakeGridCoordEh(Integer Col, Integer Row);
// Unpacks a MakeGridCoordEh value.
TGridCoord GridCoordFromInt64Eh(Int64 Value);
// The rectangle both coordinates span, normalised.
TGridRect GridRectFromCoordsEh(TGridCoord Coord1, TGridCoord Coord2);
bool PointInGridRectEh(Integer Col, Integer Row, const TGridRect& Rect);

// ---------------------------------------------------------------------------
// cell length arrays

using TGridCelLensEh = std::vector<Integer>;
using TGridCelPositionsEh = std::vector<Int64>;

// Writes Value into Amount elements from StartIndex.
void ArrayFillRange(TGridCelLensEh& Extents, Integer StartIndex, Integer Amount, Integer Value);
// Takes the element at FromIndex out and puts it at ToIndex, the elements
// between shifting one place towards FromIndex; nothing for an empty array.
void ArrayMoveElement(TGridCelLensEh& Extents, Integer FromIndex, Integer ToIndex);
// The cell whose start is the last one not above Pos in the ascending
// Positions (at least one), and Pos's offset from that start.  Before the
// first start: cell 0 and a negative offset; past the last: the last cell.
// In a run of equal starts (zero-length cells) any cell of the run may answer
// a Pos that hits the run exactly.
void FindCelAtPos(std::span<const Int64> Positions, Int64 Pos, Integer& Index, Int64& Offset);

// ---------------------------------------------------------------------------
// TGridAxisDataEh

enum TScrollStepTypeEh { sstByPixelEh, sstByCellEh };

class TGridAxisDataEh : public TPersistent {
  RTL_CLASS(TGridAxisDataEh, TPersistent)
public:
  // AGrid (not owned) receives the notifications; nullptr sends none.
  explicit TGridAxisDataEh(TCustomGridEh* AGrid);

  TCustomGridEh* Grid() const { return FGrid; }

  // counts; a setter of an unchanged value notifies nothing
  Integer FixedCelCount() const { return FFixedCelCount; }
  // A negative count raises "FixedCelCount can't be less then 0".
  void SetFixedCelCount(Integer Value);
  Integer FrozenCelCount() const { return FFrozenCelCount; }
  void SetFrozenCelCount(Integer Value);
  Integer RolCelCount() const { return FRolCelCount; }
  // 0 or less raises "RolCelCount can't be less then 1".
  void SetRolCelCount(Integer Value);
  Integer ContraCelCount() const { return FContraCelCount; }
  // A negative count raises "ContraCelCount can't be less then 0".
  void SetContraCelCount(Integer Value);
  // The length of cells made from now on; existing cells keep theirs.
  Integer DefaultCelLen() const { return FDefaultCelLen; }
  void SetDefaultCelLen(Integer Value) { FDefaultCelLen = Value; }
  Integer CelCount() const { return FFixedCelCount + FRolCelCount; }
  Integer FullCelCount() const { return CelCount() + FContraCelCount; }

  // lengths: absolute indexes route to the area; local ones index an area.
  // Indexes are the caller's duty.
  Integer GetCelLens(Integer Index) const;
  void SetCelLens(Integer Index, Integer Value);
  Integer GetFixedCelLens(Integer Index) const { return FFixedCelLens[std::size_t(Index)]; }
  void SetFixedCelLens(Integer Index, Integer Value);
  Integer GetRolCelLens(Integer Index) const { return FRolCelLens[std::size_t(Index)]; }
  void SetRolCelLens(Integer Index, Integer Value);
  Integer GetContraCelLens(Integer Index) const { return FContraCelLens[std::size_t(Index)]; }
  void SetContraCelLens(Integer Index, Integer Value);
  // Sum of the fixed lengths before Index.
  Integer GetFixedCelPos(Integer Index) const;

  // the rolling positions
  Int64 GetRolLocCelPosArr(Integer Index);
  void SetRolLocCelPosArr(Integer Index, Int64 Value) { FRolLocCelPosArr[std::size_t(Index)] = Value; }
  bool RolLocCelPosArrObsolete() const { return FRolLocCelPosArrObsolete; }
  // Rebuilds an obsolete array, then tells the grid (AxisPositionsChanged).
  void CheckUpdateRolCelPosArr();
  // Asks the grid to bring both its axes up to date.
  void CheckUpdateAxises();
  void RebuildRolLocCelPosArr();
  // The start cell from the scroll position, then the last visible cells.
  void UpdateVisCells();
  void CalcLastVisCels();
  // FindCelAtPos on the positions as they stand (no rebuild).
  void RolCellAtPos(Int64 Pos, Integer& Cel, Int64& CelOffset) const;

  // client geometry (written by the grid's layout update)
  Integer WinClientBoundSta() const { return FWinClientBoundSta; }
  Integer WinClientBoundSto() const { return FWinClientBoundSto; }
  Integer GridClientStart();
  Integer GridClientStop();
  Integer GridClientLen() { return GridClientStop() - GridClientStart(); }
  Integer FixedBoundary() const { return FFixedBoundary; }
  Integer ContraStart() const { return FContraStart; }
  Integer ContraLen() const { return FContraLen; }
  Integer FrozenLen() const { return FFrozenLen; }
  // The rolling window's length, never negative.
  Integer RolClientLen() const;

  // scrolling
  Int64 RolStartVisPos() const { return FRolStartVisPos; }
  // Above RolLen raises "RolStartVisPos can't be > RolLen"; not clamped to
  // the last page (pass the value through CheckRolStartVisPos).
  void SetRolStartVisPos(Int64 Value);
  Int64 RolStopVisPos() { return FRolStartVisPos + RolLen(); }
  Int64 RolLen();
  // Client pixel where the rolling cells end on screen, at most ContraStart.
  Int64 RolInClientBoundary();
  // The end of the last rolling cell is in view.
  bool InEndOfRol();
  Integer RolStartVisCel() const { return FRolStartVisCel; }
  Integer RolStartVisCelOfst() const { return FRolStartVisCelOfst; }
  Integer RolLastVisCel();
  Integer RolLastFullVisCel();
  Integer StartVisCel() const { return FRolStartVisCel + FFixedCelCount; }
  // Pos clamped to 0 .. RolLen - RolClientLen (0 wins).
  Int64 CheckRolStartVisPos(Int64 Pos);
  // Scrolls so that rolling cell NewStartCell (local) starts the window;
  // answers the position before the final clamp.
  Int64 SafeSetRolStartVisCel(Integer NewStartCell, TScrollStepTypeEh ScrollStepType);
  // The first local rolling cell from which cells up to Index fit in the
  // window; Index when that cell alone does not.
  Integer CalcMaxStartCellFor(Integer Index);
  // The line step of pixel scrolling: a 20th of the window, at least 1
  // (negative for an inverted window).
  Integer GetScrollStep() const;

  // Moves a cell's length inside its area (absolute indexes); across areas
  // raises "MoveCel in different areas[FromIndex:%d, ToIndex:%d]".
  void MoveCel(Integer FromIndex, Integer ToIndex);
  // Opens Amount rolling cells of DefaultCelLen at local index Start.
  void InsertRolCels(Integer Start, Integer Amount);
  // Removes Amount rolling cells from local index Start.
  void DeleteRolCels(Integer Start, Integer Amount);

  // right-to-left mirroring inside the window's client bounds
  void SwapRightToLeftPoses(Integer& Pos1, Integer& Pos2) const;
  Integer RightToLeftReflect(Integer APos) const { return FWinClientBoundSto - FWinClientBoundSta - APos; }

  // Writes the layout update's results (the grid's layout update only).
  void SetLayout(Integer WinSta, Integer WinSto, Integer GridStart, Integer GridStop, Integer FixedBoundary,
                 Integer ContraLen, Integer FrozenLen);
  // Shortens the far end by a scroll bar's size.
  void ReduceClientStop(Integer Size);

private:
  void setAreaCount(TGridCelLensEh& Lens, Integer& Count, Integer Value);
  void notifyCountChanged(bool LayoutToo);

  Integer FContraCelCount = 0;
  TGridCelLensEh FContraCelLens;
  Integer FContraLen = 0;
  Integer FContraStart = 0;
  Integer FDefaultCelLen = 0;
  Integer FFixedBoundary = 0;
  Integer FFixedCelCount = 0;
  TGridCelLensEh FFixedCelLens;
  Integer FFrozenCelCount = 0;
  Integer FFrozenLen = 0;
  TCustomGridEh* FGrid;
  Integer FGridClientStart = 0;
  Integer FGridClientStop = 0;
  Integer FRolCelCount = 0;
  TGridCelLensEh FRolCelLens;
  Integer FRolLastFullVisCel = -1;
  Integer FRolLastVisCel = -1;
  TGridCelPositionsEh FRolLocCelPosArr;
  bool FRolLocCelPosArrObsolete = false;
  Integer FRolStartVisCel = 0;
  Integer FRolStartVisCelOfst = 0;
  Int64 FRolStartVisPos = 0;
  Integer FWinClientBoundSta = 0;
  Integer FWinClientBoundSto = 0;
};

// Equal full counts and equal lengths at every absolute index.
bool SameAxisCelLens(TGridAxisDataEh* Axis1, TGridAxisDataEh* Axis2);
