#include "gridlib/grid/gridaxis.h"

#include "gridlib/base/valuetext.h"
#include "gridlib/grid/grids.h"
#include "platform/rtl/exceptions.h"

#include <algorithm>
#include <cassert>

// ---------------------------------------------------------------------------
// cell coordinates

Int64 MakeGridCoordEh(Integer Col, Integer Row) {
  return Int64(std::uint64_t(std::uint32_t(Row)) << 32 | std::uint32_t(Col));
}

TGridCoord GridCoordFromInt64Eh(Int64 Value) {
  return {Integer(std::uint32_t(std::uint64_t(Value))), Integer(std::uint32_t(std::uint64_t(Value) >> 32))};
}

TGridRect GridRectFromCoordsEh(TGridCoord Coord1, TGridCoord Coord2) {
  return {std::min(Coord1.X, Coord2.X), std::min(Coord1.Y, Coord2.Y), std::max(Coord1.X, Coord2.X),
          std::max(Coord1.Y, Coord2.Y)};
}

bool PointInGridRectEh(Integer Col, Integer Row, const TGridRect& Rect) {
  return Col >= Rect.Left && Col <= Rect.Right && Row >= Rect.Top && Row <= Rect.Bottom;
}

// ---------------------------------------------------------------------------
// cell length arrays

void ArrayFillRange(TGridCelLensEh& Extents, Integer StartIndex, Integer Amount, Integer Value) {
  std::fill_n(Extents.begin() + StartIndex, Amount, Value);
}

void ArrayMoveElement(TGridCelLensEh& Extents, Integer FromIndex, Integer ToIndex) {
  if (Extents.empty()) return;
  const auto From = Extents.begin() + FromIndex;
  const auto To = Extents.begin() + ToIndex;
  if (FromIndex < ToIndex)
    std::rotate(From, From + 1, To + 1);
  else if (FromIndex > ToIndex)
    std::rotate(To, From, From + 1);
}

void FindCelAtPos(std::span<const Int64> Positions, Int64 Pos, Integer& Index, Int64& Offset) {
  assert(!Positions.empty() && "FindCelAtPos needs at least one position");
  const Integer N = Integer(Positions.size());
  if (Positions.front() >= Pos) {
    Index = 0;
    Offset = Pos - Positions.front();
    return;
  }
  if (Positions.back() <= Pos) {
    Index = N - 1;
    Offset = Pos - Positions.back();
    return;
  }
  // Here Positions[lo] < Pos < Positions[hi]; the search ends when the middle
  // stops moving, i.e. hi = lo + 1.
  Integer Lo = 0, Hi = N - 1;
  Integer Mid = (Hi - Lo) / 2, Prev = Mid;
  for (;;) {
    const Int64 V = Positions[std::size_t(Mid)];
    if (V == Pos) {
      Index = Mid;
      Offset = 0;
      return;
    }
    if (V > Pos)
      Hi = Mid;
    else
      Lo = Mid;
    Mid = (Hi + Lo) / 2;
    if (Mid == Prev) {
      Index = Mid;
      Offset = Pos - Positions[std::size_t(Mid)];
      return;
    }
    Prev = Mid;
  }
}

// ---------------------------------------------------------------------------
// TGridAxisDataEh: counts

TGridAxisDataEh::TGridAxisDataEh(TCustomGridEh* AGrid) : FGrid(AGrid) {}

void TGridAxisDataEh::notifyCountChanged(bool LayoutToo) {
  if (!FGrid) return;
  FGrid->GridSizeChanged();
  if (LayoutToo) FGrid->UpdateGridLayout();
}

void TGridAxisDataEh::setAreaCount(TGridCelLensEh& Lens, Integer& Count, Integer Value) {
  if (Value == Count) return;
  const std::size_t Old = Lens.size();
  Lens.resize(std::size_t(Value));
  if (Lens.size() > Old) std::fill(Lens.begin() + std::ptrdiff_t(Old), Lens.end(), FDefaultCelLen);
  Count = Value;
  notifyCountChanged(/*LayoutToo=*/true);
}

void TGridAxisDataEh::SetFixedCelCount(Integer Value) {
  if (Value < 0) throw Exception(QStringLiteral("FixedCelCount can't be less then 0"));
  setAreaCount(FFixedCelLens, FFixedCelCount, Value);
}

void TGridAxisDataEh::SetContraCelCount(Integer Value) {
  if (Value < 0) throw Exception(QStringLiteral("ContraCelCount can't be less then 0"));
  setAreaCount(FContraCelLens, FContraCelCount, Value);
}

void TGridAxisDataEh::SetFrozenCelCount(Integer Value) {
  if (Value == FFrozenCelCount) return;
  FFrozenCelCount = Value;
  if (FGrid) FGrid->UpdateGridLayout();
}

void TGridAxisDataEh::SetRolCelCount(Integer Value) {
  if (Value <= 0) throw Exception(QStringLiteral("RolCelCount can't be less then 1"));
  if (Value > FRolCelCount)
    InsertRolCels(FRolCelCount, Value - FRolCelCount);
  else if (Value < FRolCelCount)
    DeleteRolCels(Value, FRolCelCount - Value);
}

void TGridAxisDataEh::InsertRolCels(Integer Start, Integer Amount) {
  ArrayInsertRange(FRolCelLens, Start, Amount);
  ArrayFillRange(FRolCelLens, Start, Amount, FDefaultCelLen);
  FRolLocCelPosArr.resize(FRolCelLens.size());
  FRolCelCount = Integer(FRolCelLens.size());
  FRolLocCelPosArrObsolete = true;
  notifyCountChanged(/*LayoutToo=*/false);
}

void TGridAxisDataEh::DeleteRolCels(Integer Start, Integer Amount) {
  ArrayDeleteRange(FRolCelLens, Start, Amount);
  FRolLocCelPosArr.resize(FRolCelLens.size());
  FRolCelCount = Integer(FRolCelLens.size());
  FRolLocCelPosArrObsolete = true;
  notifyCountChanged(/*LayoutToo=*/false);
}

// ---------------------------------------------------------------------------
// lengths

Integer TGridAxisDataEh::GetCelLens(Integer Index) const {
  if (Index < FFixedCelCount) return GetFixedCelLens(Index);
  if (Index < CelCount()) return GetRolCelLens(Index - FFixedCelCount);
  return GetContraCelLens(Index - CelCount());
}

void TGridAxisDataEh::SetCelLens(Integer Index, Integer Value) {
  if (Index < FFixedCelCount)
    SetFixedCelLens(Index, Value);
  else if (Index < CelCount())
    SetRolCelLens(Index - FFixedCelCount, Value);
  else
    SetContraCelLens(Index - CelCount(), Value);
}

void TGridAxisDataEh::SetFixedCelLens(Integer Index, Integer Value) {
  Integer& Len = FFixedCelLens[std::size_t(Index)];
  if (Len == Value) return;
  const Integer Old = Len;
  Len = Value;
  if (FGrid) FGrid->CelLenChanged(this, Index, Old);
}

void TGridAxisDataEh::SetRolCelLens(Integer Index, Integer Value) {
  Integer& Len = FRolCelLens[std::size_t(Index)];
  if (Len == Value) return;
  const Integer Old = Len;
  Len = Value;
  FRolLocCelPosArrObsolete = true;
  if (!FGrid) return;
  FGrid->CelLenChanged(this, Index + FFixedCelCount, Old);
  FGrid->GridSizeChanged();
}

void TGridAxisDataEh::SetContraCelLens(Integer Index, Integer Value) {
  Integer& Len = FContraCelLens[std::size_t(Index)];
  if (Len == Value) return;
  const Integer Old = Len;
  Len = Value;
  if (FGrid) FGrid->CelLenChanged(this, Index + CelCount(), Old);
}

Integer TGridAxisDataEh::GetFixedCelPos(Integer Index) const {
  Integer Pos = 0;
  for (Integer I = 0; I < Index; ++I) Pos += FFixedCelLens[std::size_t(I)];
  return Pos;
}

// ---------------------------------------------------------------------------
// positions

Int64 TGridAxisDataEh::GetRolLocCelPosArr(Integer Index) {
  CheckUpdateRolCelPosArr();
  return FRolLocCelPosArr[std::size_t(Index)];
}

void TGridAxisDataEh::CheckUpdateRolCelPosArr() {
  if (!FRolLocCelPosArrObsolete) return;
  RebuildRolLocCelPosArr();
  if (FGrid) FGrid->AxisPositionsChanged();
}

void TGridAxisDataEh::CheckUpdateAxises() {
  if (FGrid)
    FGrid->UpdateAxesPositions();
  else
    CheckUpdateRolCelPosArr();
}

void TGridAxisDataEh::RebuildRolLocCelPosArr() {
  FRolLocCelPosArr.resize(FRolCelLens.size());
  Int64 Pos = 0;
  for (std::size_t I = 0; I < FRolCelLens.size(); ++I) {
    FRolLocCelPosArr[I] = Pos;
    Pos += FRolCelLens[I];
  }
  UpdateVisCells();
  FRolLocCelPosArrObsolete = false;
}

void TGridAxisDataEh::RolCellAtPos(Int64 Pos, Integer& Cel, Int64& CelOffset) const {
  FindCelAtPos(FRolLocCelPosArr, Pos, Cel, CelOffset);
}

void TGridAxisDataEh::UpdateVisCells() {
  if (FRolLocCelPosArr.empty()) {
    FRolStartVisCel = 0;
    FRolStartVisCelOfst = 0;
  } else {
    Int64 Offset = 0;
    RolCellAtPos(FRolStartVisPos, FRolStartVisCel, Offset);
    FRolStartVisCelOfst = Integer(Offset);
  }
  CalcLastVisCels();
}

void TGridAxisDataEh::CalcLastVisCels() {
  FRolLastVisCel = -1;
  FRolLastFullVisCel = -1;
  if (FFixedBoundary >= FContraStart) {
    FRolLastVisCel = FRolLastFullVisCel = FRolStartVisCel;
    return;
  }
  if (FRolLocCelPosArr.empty()) return;
  const Int64 LastPixel = FRolStartVisPos + RolClientLen() - 1;
  Integer LastVis = 0;
  Int64 Offset = 0;
  RolCellAtPos(LastPixel, LastVis, Offset);
  // Zero-length cells that start at the last pixel or before are visible too.
  while (LastVis + 1 <= FRolCelCount - 1 && FRolLocCelPosArr[std::size_t(LastVis + 1)] <= LastPixel) ++LastVis;
  FRolLastVisCel = LastVis;
  const bool Cut = Offset < GetRolCelLens(LastVis) - 1;
  FRolLastFullVisCel = Cut && LastVis > FRolStartVisCel ? LastVis - 1 : LastVis;
}

Integer TGridAxisDataEh::RolLastVisCel() {
  CheckUpdateRolCelPosArr();
  return FRolLastVisCel;
}

Integer TGridAxisDataEh::RolLastFullVisCel() {
  CheckUpdateRolCelPosArr();
  return FRolLastFullVisCel;
}

// ---------------------------------------------------------------------------
// client geometry

Integer TGridAxisDataEh::GridClientStart() {
  CheckUpdateAxises();
  return FGridClientStart;
}

Integer TGridAxisDataEh::GridClientStop() {
  CheckUpdateAxises();
  return FGridClientStop;
}

Integer TGridAxisDataEh::RolClientLen() const { return std::max(FContraStart - FFixedBoundary, 0); }

void TGridAxisDataEh::SetLayout(Integer WinSta, Integer WinSto, Integer GridStart, Integer GridStop,
                                Integer FixedBoundary, Integer ContraLen, Integer FrozenLen) {
  FWinClientBoundSta = WinSta;
  FWinClientBoundSto = WinSto;
  FGridClientStart = GridStart;
  FGridClientStop = GridStop;
  FFixedBoundary = FixedBoundary;
  FContraLen = ContraLen;
  FContraStart = GridStop - ContraLen;
  FFrozenLen = FrozenLen;
}

void TGridAxisDataEh::ReduceClientStop(Integer Size) {
  FGridClientStop -= Size;
  FContraStart -= Size;
}

// ---------------------------------------------------------------------------
// scrolling

Int64 TGridAxisDataEh::RolLen() {
  CheckUpdateRolCelPosArr();
  if (FRolCelCount == 0) return 0;
  return FRolLocCelPosArr.back() + FRolCelLens.back();
}

Int64 TGridAxisDataEh::RolInClientBoundary() {
  return std::min<Int64>(FContraStart, FFixedBoundary - FRolStartVisPos + RolLen());
}

bool TGridAxisDataEh::InEndOfRol() { return FFixedBoundary - FRolStartVisPos + RolLen() <= FContraStart; }

void TGridAxisDataEh::SetRolStartVisPos(Int64 Value) {
  if (Value == FRolStartVisPos) return;
  if (Value > RolLen()) throw Exception(QStringLiteral("RolStartVisPos can't be > RolLen"));
  const Int64 OldPos = FRolStartVisPos;
  FRolStartVisPos = Value;
  CheckUpdateRolCelPosArr();
  UpdateVisCells();
  if (FGrid) FGrid->AxisRolStartVisPosChanged(this, OldPos);
}

Int64 TGridAxisDataEh::CheckRolStartVisPos(Int64 Pos) {
  const Int64 Max = RolLen() - RolClientLen();
  if (Pos > Max) Pos = Max;
  if (Pos < 0) Pos = 0;
  return Pos;
}

Int64 TGridAxisDataEh::SafeSetRolStartVisCel(Integer NewStartCell, TScrollStepTypeEh ScrollStepType) {
  NewStartCell = std::max(NewStartCell, 0);
  Int64 P = GetRolLocCelPosArr(std::min(NewStartCell, FRolCelCount - 1));
  const Int64 LastPage = RolLen() - RolClientLen();
  if (P > LastPage) {
    if (ScrollStepType == sstByCellEh) {
      // The last page starts on a cell boundary; its end may fall short of
      // the window's end.
      SetRolStartVisPos(GetRolLocCelPosArr(CalcMaxStartCellFor(FRolCelCount - 1)));
      return P;
    }
    P = LastPage;
  }
  SetRolStartVisPos(CheckRolStartVisPos(P));
  return P;
}

Integer TGridAxisDataEh::CalcMaxStartCellFor(Integer Index) {
  const Integer Window = RolClientLen();
  Int64 Len = GetRolCelLens(Index);
  if (Len > Window) return Index;
  Integer Start = Index;
  while (Start > 0 && Len + GetRolCelLens(Start - 1) <= Window) Len += GetRolCelLens(--Start);
  return Start;
}

Integer TGridAxisDataEh::GetScrollStep() const {
  const Integer Step = (FContraStart - FFixedBoundary) / 20;
  return Step == 0 ? 1 : Step;
}

// ---------------------------------------------------------------------------
// moving and mirroring

void TGridAxisDataEh::MoveCel(Integer FromIndex, Integer ToIndex) {
  const auto InArea = [](Integer Index, Integer First, Integer Stop) { return Index >= First && Index < Stop; };
  if (InArea(FromIndex, 0, FFixedCelCount) && InArea(ToIndex, 0, FFixedCelCount)) {
    ArrayMoveElement(FFixedCelLens, FromIndex, ToIndex);
  } else if (InArea(FromIndex, FFixedCelCount, CelCount()) && InArea(ToIndex, FFixedCelCount, CelCount())) {
    ArrayMoveElement(FRolCelLens, FromIndex - FFixedCelCount, ToIndex - FFixedCelCount);
    FRolLocCelPosArrObsolete = true;
  } else if (InArea(FromIndex, CelCount(), FullCelCount()) && InArea(ToIndex, CelCount(), FullCelCount())) {
    ArrayMoveElement(FContraCelLens, FromIndex - CelCount(), ToIndex - CelCount());
  } else {
    throw Exception(QStringLiteral("MoveCel in different areas[FromIndex:%1, ToIndex:%2]").arg(FromIndex).arg(ToIndex));
  }
  if (FGrid) FGrid->CelMoved(this, FromIndex, ToIndex);
}

void TGridAxisDataEh::SwapRightToLeftPoses(Integer& Pos1, Integer& Pos2) const {
  const Integer D = FWinClientBoundSto - FWinClientBoundSta;
  const Integer Old1 = Pos1;
  Pos1 = D - Pos2;
  Pos2 = D - Old1;
}

bool SameAxisCelLens(TGridAxisDataEh* Axis1, TGridAxisDataEh* Axis2) {
  if (Axis1->FullCelCount() != Axis2->FullCelCount()) return false;
  for (Integer I = 0; I < Axis1->FullCelCount(); ++I)
    if (Axis1->GetCelLens(I) != Axis2->GetCelLens(I)) return false;
  return true;
}
