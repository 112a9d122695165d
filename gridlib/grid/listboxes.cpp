#include "gridlib/grid/listboxes.h"

#include "gridlib/base/basecontrols.h"
#include "gridlib/base/painters.h"
#include "gridlib/base/textdraw.h"
#include "gridlib/base/textsearch.h"
#include "gridlib/base/winroutines.h"
#include "gridlib/grid/gridstyle.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"
#include "platform/ui/graphics/imagelist.h"

#include <cstdint>

using namespace gdi;

namespace {
// The box an image takes is its width plus this.
constexpr Integer ImageBoxPadding = 4;
constexpr Integer ItemTextMargin = 2;
// Behind the filter's matches in the item texts.
constexpr TColor FilterMatchColor = clYellow;

TObject* indexAsObject(Integer Index) { return reinterpret_cast<TObject*>(std::intptr_t(Index)); }
Integer objectAsIndex(TObject* Object) { return Integer(reinterpret_cast<std::intptr_t>(Object)); }
}  // namespace

// ---------------------------------------------------------------------------
// TCustomListboxItemEh

String TCustomListboxItemEh::GetDisplayText(TCustomListboxEh* Listbox, Integer DataIndex) {
  return Listbox->GetItemText(DataIndex);
}

void TCustomListboxItemEh::DrawItem(TCustomListboxEh* Listbox, Integer VisibleIndex, const TRect& ARect,
                                    TGridDrawState State) {
  Listbox->DefaultDrawItem(VisibleIndex, ARect, State);
}

// ---------------------------------------------------------------------------
// construction

TCustomListboxEh::TCustomListboxEh(TComponent* AOwner)
    : TCustomGridEh(AOwner), FItems(new TStringList), FVisibleIterms(new TStringList) {
  FItems->OnChange = TNotifyEvent(this, &TCustomListboxEh::ItemsChange);
}

TCustomListboxEh::~TCustomListboxEh() {
  delete FItems;
  delete FVisibleIterms;
}

void TCustomListboxEh::AfterConstruction() {
  TCustomGridEh::AfterConstruction();
  SetOptions(TGridOptionsEh{goDrawFocusSelectedEh});
  SetFixedColCount(0);
  SetColCount(1);
  SetFixedRowCount(0);
  SetRowCount(1);
  HorzScrollBar()->SetVisible(false);
  SetSizeGripAlwaysShow(true);
}

// ---------------------------------------------------------------------------
// items and counts

TStrings* TCustomListboxEh::GetItems() { return FItems; }

TStrings* TCustomListboxEh::VisibleItems() const { return FVisibleIterms; }

void TCustomListboxEh::SetItems(TStrings* Value) { FItems->Assign(Value); }

String TCustomListboxEh::GetItemText(Integer DataIndex) { return GetItems()->Strings(DataIndex); }

Integer TCustomListboxEh::Count() { return FVirtualItems ? FVirtualRowCount : GetItems()->Count(); }

void TCustomListboxEh::SetCount(Integer Value) {
  if (!FVirtualItems) throw Exception(QStringLiteral("Can't assign Count when list is not virtual"));
  FVirtualRowCount = Value;
  UpdateRowCount();
}

void TCustomListboxEh::SetVirtualItems(bool Value) {
  if (Value == FVirtualItems) return;
  FVirtualItems = Value;
  UpdateRowCount();
}

void TCustomListboxEh::SetItemHeight(Integer Value) {
  if (Value == FItemHeight) return;
  FItemHeight = Value;
  SetDefaultRowHeight(Value);
  UpdateRowCount();
}

Integer TCustomListboxEh::GetTextHeight() {
  TCanvas* C = GetScreenCanvasEh();
  C->Font()->Assign(Font());
  TEXTMETRICW Metrics;
  GetFontTextMetricsEh(C, Metrics);
  return Metrics.tmHeight + Metrics.tmExternalLeading + Metrics.tmInternalLeading;
}

void TCustomListboxEh::UpdateRowCount() {
  SetRowCount(std::max(FVisibleIterms->Count(), 1));
  for (Integer R = 0; R < RowCount(); ++R) SetRowHeights(R, DefaultRowHeight());
}

void TCustomListboxEh::ItemsChange(TObject*) {
  ResetVisibleIterms();
  if (FVirtualItems) return;
  UpdateRowCount();
  Invalidate();
}

// ---------------------------------------------------------------------------
// selection and index mapping

Integer TCustomListboxEh::ItemIndex() {
  const Integer V = ItemVisibleIndex();
  return V < 0 ? -1 : VisibleIndexToDataIndex(V);
}

void TCustomListboxEh::SetItemIndex(Integer DataIndex) {
  SetItemVisibleIndex(FFilterStr.isEmpty() ? DataIndex : DataIndexToVisibleIndex(DataIndex));
}

Integer TCustomListboxEh::ItemVisibleIndex() { return FRowSeleced ? Row() : -1; }

void TCustomListboxEh::SetItemVisibleIndex(Integer V) {
  if (V >= 0 && !(V == Row() && FRowSeleced)) {
    SetRow(V);
    FRowSeleced = true;
    InvalidateIndex(V);
  } else if (V == -1 && FRowSeleced) {
    SetRow(0);
    FRowSeleced = false;
  }
}

Integer TCustomListboxEh::VisibleIndexToDataIndex(Integer VisibleIndex) {
  if (VisibleIndex < 0 || VisibleIndex >= FVisibleIterms->Count()) return -1;
  return objectAsIndex(FVisibleIterms->Objects(VisibleIndex));
}

Integer TCustomListboxEh::DataIndexToVisibleIndex(Integer DataIndex) {
  if (DataIndex == -1) return -1;
  for (Integer I = 0; I < FVisibleIterms->Count(); ++I)
    if (objectAsIndex(FVisibleIterms->Objects(I)) == DataIndex) return I;
  return -1;
}

void TCustomListboxEh::InvalidateIndex(Integer VisibleIndex) {
  if (VisibleIndex < 0) return;
  InvalidateCell(0, VisibleIndex);
}

Integer TCustomListboxEh::VisibleItemAtPos(TPoint Pos) {
  const Integer R = MouseCoord(Pos.X, Pos.Y).Y;
  return R >= 0 && R < FVisibleIterms->Count() ? R : -1;
}

Integer TCustomListboxEh::ItemAtPos(TPoint Pos, bool) { return VisibleIndexToDataIndex(VisibleItemAtPos(Pos)); }

Integer TCustomListboxEh::StrictIndexToClient(Integer X, Integer Y) {
  if (X < 0 || X > ClientWidth() - 1) X = 0;
  if (Y < 0) return GetTopIndex();
  if (Y >= ClientHeight()) return ItemAtPos(TPoint{X, ClientHeight() - 1});
  return ItemAtPos(TPoint{X, Y});
}

Integer TCustomListboxEh::StrictVisibleIndexToClient(Integer X, Integer Y) {
  if (X < 0 || X > ClientWidth() - 1) X = 0;
  if (Y < 0) return GetTopVisibleIndex();
  if (Y >= ClientHeight()) return VisibleItemAtPos(TPoint{X, ClientHeight() - 1});
  return VisibleItemAtPos(TPoint{X, Y});
}

TCustomListboxItemEh* TCustomListboxEh::ItemObject(Integer DataIndex) {
  if (!FUseItemObjects || DataIndex < 0 || DataIndex >= GetItems()->Count()) return nullptr;
  return dynamic_cast<TCustomListboxItemEh*>(GetItems()->Objects(DataIndex));
}

// ---------------------------------------------------------------------------
// filtering

bool TCustomListboxEh::ValueIsHitFilter(const String& Value) {
  if (FFilterStr.isEmpty()) return true;
  const Integer P = FFilterCaseInsensitive ? Pos(UpperCaseTextEh(FFilterStr), UpperCaseTextEh(Value))
                                           : Pos(FFilterStr, Value);
  return FFilterType == lsftBeginsWithEh ? P == 1 : P >= 1;
}

void TCustomListboxEh::ResetVisibleIterms() {
  FVisibleIterms->BeginUpdate();
  const TScopeExit Resume([this] { FVisibleIterms->EndUpdate(); });
  FVisibleIterms->Clear();
  TStrings* Source = GetItems();
  for (Integer I = 0; I < Source->Count(); ++I) {
    const String S = Source->Strings(I);
    if (ValueIsHitFilter(S)) FVisibleIterms->AddObject(S, indexAsObject(I));
  }
}

void TCustomListboxEh::ApplyFilter(const String& AFilterStr, TLSAutoFilterTypeEh AFilterType, bool ACaseInsensitive) {
  const Integer Remembered = ItemIndex();
  FFilterStr = AFilterStr;
  FFilterType = AFilterType;
  FFilterCaseInsensitive = ACaseInsensitive;
  ResetVisibleIterms();
  UpdateRowCount();
  Int64 MaxLeft = 0, MaxTop = 0;
  ClampScrollPositions(MaxLeft, MaxTop, !IsSmoothHorzScroll(), !IsSmoothVertScroll());
  SetItemIndex(DataIndexToVisibleIndex(Remembered) < 0 ? -1 : Remembered);
  Invalidate();
}

void TCustomListboxEh::ClearFilter() {
  if (FFilterStr.isEmpty()) return;
  const Integer Remembered = ItemIndex();
  FFilterStr.clear();
  FFilterType = lsftBeginsWithEh;
  FFilterCaseInsensitive = false;
  ResetVisibleIterms();
  UpdateRowCount();
  SetItemIndex(Remembered);
  Invalidate();
}

// ---------------------------------------------------------------------------
// drawing

void TCustomListboxEh::DrawCell(Integer, Integer ARow, const TRect& ARect, TGridDrawState AState) {
  if (Count() == 0) {
    Canvas()->FillRect(ARect);
    return;
  }
  if (ItemIndex() == -1) AState = AState - TGridDrawState{gdSelected, gdFocused, gdCurrent};
  DrawItem(ARow, ARect, AState);
}

void TCustomListboxEh::DrawItem(Integer VisibleIndex, const TRect& ARect, TGridDrawState State) {
  if (TCustomListboxItemEh* Item = ItemObject(VisibleIndexToDataIndex(VisibleIndex)))
    Item->DrawItem(this, VisibleIndex, ARect, State);
  else
    DefaultDrawItem(VisibleIndex, ARect, State);
}

void TCustomListboxEh::DefaultDrawItem(Integer VisibleIndex, const TRect& ARect, TGridDrawState State) {
  if (FImageList)
    drawImageItem(VisibleIndex, ARect, State);
  else
    drawPlainItem(VisibleIndex, ARect, State);
}

void TCustomListboxEh::setItemColors(bool Highlighted) {
  TCanvas* C = Canvas();
  C->Font()->Assign(Font());
  if (Highlighted) {
    C->Font()->SetColor(clHighlightText);
    C->Brush()->SetColor(clHighlight);
  } else {
    C->Font()->SetColor(Font()->Color());
    C->Brush()->SetColor(Color());
  }
}

void TCustomListboxEh::drawPlainItem(Integer VisibleIndex, const TRect& ARect, TGridDrawState State) {
  const String Text = FVisibleIterms->Count() > 0 ? GetVisibleItemText(VisibleIndex) : String();
  const bool Classic = SelectionDrawParams()->GetActualSelectionStyle() == gsdsClassicEh;
  setItemColors(Classic && (VisibleIndex == ItemVisibleIndex() || State.Contains(gdSelected)));
  Canvas()->FillRect(ARect);
  if (!Classic) DrawCellBackground(0, VisibleIndex, ARect, State);
  const bool RightToLeft = UseRightToLeftAlignment();
  DrawTextInRectEh(Canvas(), ARect, /*FillRect=*/false, ItemTextMargin, 0, Text, FItemAlignment, tlTop,
                   /*WordWrap=*/false, /*EndEllipsis=*/false, 0, 0, RightToLeft, /*SingleLine=*/true);
  if (FFilterStr.isEmpty()) return;
  Integer Hidden = 0;
  DrawTextHighlightMatchesEh(Canvas(), ARect, ItemTextMargin, 0, Text, FItemAlignment, tlTop, false, false, 0, 0,
                             RightToLeft, FFilterStr, FFilterCaseInsensitive, /*WholeWord=*/false,
                             /*FromBeginning=*/FFilterType == lsftBeginsWithEh, FilterMatchColor, clWindowText,
                             /*SingleLine=*/true, Hidden);
}

void TCustomListboxEh::drawImageItem(Integer VisibleIndex, TRect ARect, TGridDrawState State) {
  const bool Unreflected = UnreflectCanvasForRect(ARect);
  const TScopeExit Restore([this, Unreflected] {
    if (Unreflected) ReflectCanvas();
  });
  const bool RightToLeft = UseRightToLeftAlignment();
  const bool Classic = SelectionDrawParams()->GetActualSelectionStyle() == gsdsClassicEh;
  setItemColors(State.Contains(gdSelected) && Classic);

  const Integer W = FImageList->Width();
  TRect ImageBox = RightToLeft ? TRect(ARect.Right - W - ImageBoxPadding, ARect.Top, ARect.Right, ARect.Bottom)
                               : TRect(0, ARect.Top, W + ImageBoxPadding, ARect.Bottom);
  Integer ImageIndex = VisibleIndexToDataIndex(VisibleIndex);
  if (OnGetImageIndex) OnGetImageIndex(Owner(), VisibleIndexToDataIndex(VisibleIndex), ImageIndex);

  Canvas()->FillRect(ImageBox);
  TRect TextRect = ARect;
  if (RightToLeft)
    TextRect.Right -= W + ImageBoxPadding;
  else
    TextRect.Left += W + ImageBoxPadding;
  Canvas()->FillRect(TextRect);
  FItemAlignment = RightToLeft ? taRightJustify : taLeftJustify;
  if (State.Contains(gdSelected) && !Classic) DrawCellBackground(0, VisibleIndex, TextRect, State);
  DrawImageCenteredEh(Canvas(), ImageBox, FImageList, ImageIndex, State.Contains(gdSelected));
  if (VisibleIndex >= FVisibleIterms->Count()) return;
  DrawTextInRectEh(Canvas(), TextRect, /*FillRect=*/false, ItemTextMargin, 0, GetVisibleItemText(VisibleIndex),
                   FItemAlignment, tlTop, false, false, 0, 0, RightToLeft, /*SingleLine=*/true);
}

String TCustomListboxEh::GetVisibleItemText(Integer VisibleIndex) {
  const Integer D = VisibleIndexToDataIndex(VisibleIndex);
  if (D < 0 || D >= GetItems()->Count()) return {};
  if (TCustomListboxItemEh* Item = ItemObject(D)) return Item->GetDisplayText(this, D);
  return GetItemText(D);
}

// ---------------------------------------------------------------------------
// grid overrides and input

void TCustomListboxEh::FocusCell(Integer ACol, Integer ARow, bool MoveAnchor) {
  TCustomGridEh::FocusCell(ACol, ARow, MoveAnchor);
  FRowSeleced = true;
}

void TCustomListboxEh::Resize() {
  TCustomGridEh::Resize();
  SetColWidths(0, HandleAllocated() ? GridClientWidth() : Width() - 1);
}

void TCustomListboxEh::KeyDown(Word& Key, TShiftState Shift) {
  const bool NoModifiers = !Shift.Contains(ssShift) && !Shift.Contains(ssAlt) && !Shift.Contains(ssCtrl);
  if (Key == VK_DOWN && NoModifiers && ItemIndex() == -1 && FVisibleIterms->Count() > 0) {
    SetItemVisibleIndex(0);
    return;
  }
  TCustomGridEh::KeyDown(Key, Shift);
}

void TCustomListboxEh::KeyPress(Char& Key) {
  if (TCustomListboxItemEh* Item = ItemObject(ItemIndex())) {
    bool Processed = false;
    Item->KeyPress(this, ItemIndex(), Key, GetKeyboardShiftStateEh(), Processed);
  }
  TCustomGridEh::KeyPress(Key);
}

void TCustomListboxEh::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomGridEh::MouseDown(Button, Shift, X, Y);
  // The grid moves its current cell without FocusCell; a click on an item
  // selects it all the same.
  const Integer V = VisibleItemAtPos(TPoint{X, Y});
  if (V >= 0 && V == Row() && !FRowSeleced) {
    FRowSeleced = true;
    InvalidateIndex(V);
  }
  const Integer D = ItemAtPos(TPoint{X, Y});
  if (TCustomListboxItemEh* Item = ItemObject(D)) Item->MouseDown(this, D, TPoint{X, Y}, Button, Shift);
}

void TCustomListboxEh::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomGridEh::MouseMove(Shift, X, Y);
  const Integer D = ItemAtPos(TPoint{X, Y});
  if (TCustomListboxItemEh* Item = ItemObject(D)) Item->MouseMove(this, D, TPoint{X, Y}, Shift);
}

void TCustomListboxEh::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  Integer D = ItemAtPos(TPoint{X, Y});
  if (D == -1) D = StrictIndexToClient(X, Y);
  if (TCustomListboxItemEh* Item = ItemObject(D)) Item->MouseUp(this, D, TPoint{X, Y}, Button, Shift);
  TCustomGridEh::MouseUp(Button, Shift, X, Y);
}
