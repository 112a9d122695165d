// TCustomGridEh: construction, counts, options, editing hooks, streaming of
// the cell extents and the base answers of the introduced virtuals.
#include "gridlib/grid/grids.h"

#include "gridlib/grid/gridparts.h"
#include "gridlib/grid/gridstyle.h"
#include "gridlib/grid/inplaceedit.h"
#include "platform/rtl/filer.h"
#include "platform/rtl/scopeexit.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/windowing/focus.h"
#include "platform/ui/windowing/forms.h"
#include "platform/ui/windowing/gestures.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/timers.h"
#include "platform/ui/windowing/window.h"

using namespace gdi;

const TMessageMap& TCustomGridEh::MessageMap() {
  static const TMessageMap Map(TCustomControlEh::MessageMap(), {
      {WM_GESTURE, &TCustomGridEh::WMGesture},
      {WM_PAINT, &TCustomGridEh::WMPaint},
      {WM_ERASEBKGND, &TCustomGridEh::WMEraseBkgnd},
      {WM_SETFOCUS, &TCustomGridEh::WMSetFocus},
      {WM_KILLFOCUS, &TCustomGridEh::WMKillFocus},
      {WM_GETDLGCODE, &TCustomGridEh::WMGetDlgCode},
      {WM_CHAR, &TCustomGridEh::WMChar},
      {WM_NCHITTEST, &TCustomGridEh::WMNCHitTest},
      {WM_NCMOUSEMOVE, &TCustomGridEh::WMNCMouseMove},
      {WM_SETCURSOR, &TCustomGridEh::WMSetCursor},
      {WM_CANCELMODE, &TCustomGridEh::WMCancelMode},
      {WM_LBUTTONDOWN, &TCustomGridEh::WMButtonDown},
      {WM_RBUTTONDOWN, &TCustomGridEh::WMButtonDown},
      {WM_MBUTTONDOWN, &TCustomGridEh::WMButtonDown},
      {WM_LBUTTONUP, &TCustomGridEh::WMButtonUp},
      {WM_RBUTTONUP, &TCustomGridEh::WMButtonUp},
      {WM_MBUTTONUP, &TCustomGridEh::WMButtonUp},
      {WM_LBUTTONDBLCLK, &TCustomGridEh::WMButtonUp},
      {WM_RBUTTONDBLCLK, &TCustomGridEh::WMButtonUp},
      {WM_MBUTTONDBLCLK, &TCustomGridEh::WMButtonUp},
      {CM_CANCELMODE, &TCustomGridEh::CMCancelMode},
      {CM_CTL3DCHANGED, &TCustomGridEh::CMCtl3DChanged},
      {CM_DESIGNHITTEST, &TCustomGridEh::CMDesignHitTest},
      {CM_FONTCHANGED, &TCustomGridEh::CMFontChanged},
      {CM_MOUSEENTER, &TCustomGridEh::CMMouseEnter},
      {CM_MOUSELEAVE, &TCustomGridEh::CMMouseLeave},
      {CM_WANTSPECIALKEY, &TCustomGridEh::CMWantSpecialKey},
      {CM_STYLECHANGED, &TCustomGridEh::CMStyleChanged},
  });
  return Map;
}

// ---------------------------------------------------------------------------
// construction and destruction

TCustomGridEh::TCustomGridEh(TComponent* AOwner) : TCustomControlEh(AOwner) {
  // New-style controls are always on here, so csFramed is never added.
  FControlStyle = TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks, csGestures, csNeedsBorderPaint};
  FOptions = TGridOptionsEh::FromBits(DefaultGridOptionsValueEh);
  FDesignOptionsBoost = TGridOptionsEh::FromBits(DesignGridOptionsBoostValueEh);
}

// The parts come from factories a descendant may override, so they are made
// here, where virtual calls reach the derived class.
void TCustomGridEh::AfterConstruction() {
  TCustomControlEh::AfterConstruction();
  AttachToGlobalDrawStyle();
  FHorzAxis = new TGridAxisDataEh(this);
  FVertAxis = new TGridAxisDataEh(this);
  FHorzScrollBar = CreateScrollBar(sbHorizontal);
  FVertScrollBar = CreateScrollBar(sbVertical);
  FScrollBarSize = GetSystemMetrics(SM_CYHSCROLL);

  SetDefaultColWidth(50);
  SetDefaultRowHeight(20);
  SetColor(clWindow);
  SetParentColor(false);
  SetTabStop(true);

  FGridLineColors = CreateGridLineColors();
  FOutBoundaryData = new TGridOutBoundaryDataEh(this);
  FMouseDownCell = {-1, -1};
  FGridTimer = new TTimer(this);
  FGridTimer->SetEnabled(false);
  FGridTimer->SetOnTimer(TNotifyEvent(this, &TCustomGridEh::GridTimerTick));
  FOldHotTrackSpot = CreateHotTrackSpot();
  FNewHotTrackSpot = CreateHotTrackSpot();
  FBackgroundData = CreateBackgroundData();

  FHorzScrollBarPanelControl = CreateHorzScrollBarPanel();
  FHorzScrollBarPanelControl->SetName(QStringLiteral("HorzScrollBarPanelControl"));
  FVertScrollBarPanelControl = CreateVertScrollBarPanel();
  FVertScrollBarPanelControl->SetName(QStringLiteral("VertScrollBarPanelControl"));
  FCornerScrollBarPanelControl = CreateSizeGripPanel();
  FCornerScrollBarPanelControl->SetName(QStringLiteral("CornerScrollBarPanelControl"));
  FExtraSizeGripControl = new TSizeGripPanelEh(this);
  FExtraSizeGripControl->SetGripActiveStatus(gasNeverEh);
  for (TCustomPanel* Panel : std::initializer_list<TCustomPanel*>{
           FHorzScrollBarPanelControl, FVertScrollBarPanelControl, FCornerScrollBarPanelControl,
           FExtraSizeGripControl}) {
    Panel->SetParent(this);
    Panel->SetVisible(false);
    Panel->SetBounds(0, 0, 0, 0);
    Panel->SetParentBackground(false);
  }

  FHorzAxis->SetRolCelCount(5);
  FVertAxis->SetRolCelCount(5);
  FHorzAxis->SetFixedCelCount(1);
  FVertAxis->SetFixedCelCount(1);
  SetBounds(Left(), Top(), ColCount() * DefaultColWidth(), RowCount() * DefaultRowHeight());
  FSelectionDrawParams = new TGridSelectionDrawParamsEh(this);
}

void TCustomGridEh::BeforeDestruction() {
  if (FDrawStyle) FDrawStyle->RemoveChangeNotification(this);
  FDrawStyle = nullptr;
  FreeAndNil(FGridTimer);
  TCustomControlEh::BeforeDestruction();
}

TCustomGridEh::~TCustomGridEh() {
  // The panels and the editor are components the owner mechanism frees.
  delete std::exchange(FSelectionDrawParams, nullptr);
  delete std::exchange(FHorzAxis, nullptr);
  delete std::exchange(FVertAxis, nullptr);
  delete std::exchange(FOutBoundaryData, nullptr);
  delete std::exchange(FHorzScrollBar, nullptr);
  delete std::exchange(FVertScrollBar, nullptr);
  delete std::exchange(FGridLineColors, nullptr);
  delete std::exchange(FOldHotTrackSpot, nullptr);
  delete std::exchange(FNewHotTrackSpot, nullptr);
  // Last: painting during the inherited destruction may still read it.
  delete std::exchange(FBackgroundData, nullptr);
}

void TCustomGridEh::CreateParams(TCreateParams& Params) {
  TCustomControlEh::CreateParams(Params);
  Params.Style |= WS_TABSTOP;
  Params.ClassStyle = CS_DBLCLKS;
  if (FBorderStyle == bsSingle) {
    if (Ctl3D()) {
      Params.Style &= ~WS_BORDER;
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    } else {
      Params.Style |= WS_BORDER;
    }
  }
  Params.Style |= WS_CLIPCHILDREN;
}

// ---------------------------------------------------------------------------
// counts, sizes and positions

void TCustomGridEh::SetLeftCol(Integer Value) {
  FHorzAxis->SetRolStartVisPos(FHorzAxis->GetRolLocCelPosArr(Value - FixedColCount()));
}

void TCustomGridEh::SetTopRow(Integer Value) {
  FVertAxis->SetRolStartVisPos(FVertAxis->GetRolLocCelPosArr(Value - FixedRowCount()));
}

void TCustomGridEh::SetLeftPos(Int64 ALeftPos) { FHorzAxis->SetRolStartVisPos(FHorzAxis->CheckRolStartVisPos(ALeftPos)); }

void TCustomGridEh::SetTopPos(Int64 ATopPos) { FVertAxis->SetRolStartVisPos(FVertAxis->CheckRolStartVisPos(ATopPos)); }

void TCustomGridEh::SafeSetTopRow(Integer ARow) { FVertAxis->SafeSetRolStartVisCel(ARow - FixedRowCount(), sstByPixelEh); }

Integer TCustomGridEh::GetColsExtent(Integer StartCol, Integer Count) const {
  Integer Extent = 0;
  for (Integer I = StartCol; I < StartCol + Count; ++I) Extent += ColWidths(I);
  return Extent;
}

Integer TCustomGridEh::GetRowsExtent(Integer StartRow, Integer Count) const {
  Integer Extent = 0;
  for (Integer I = StartRow; I < StartRow + Count; ++I) Extent += RowHeights(I);
  return Extent;
}

void TCustomGridEh::SetCol(Integer Value) {
  if (Value != FCurCell.X) FocusCell(Value, FCurCell.Y);
}

void TCustomGridEh::SetRow(Integer Value) {
  if (Value != FCurCell.Y) FocusCell(FCurCell.X, Value);
}

// ---------------------------------------------------------------------------
// properties

void TCustomGridEh::SetSizeGripAlwaysShow(bool Value) {
  if (Value == FSizeGripAlwaysShow) return;
  FSizeGripAlwaysShow = Value;
  UpdateScrollBars();
}

void TCustomGridEh::SetSizeGripPostion(TSizeGripPosition Value) {
  if (Value == FSizeGripPostion) return;
  FSizeGripPostion = Value;
  UpdateScrollBars();
}

void TCustomGridEh::SetHorzScrollBar(TGridScrollBarEh* Value) { FHorzScrollBar->Assign(Value); }

void TCustomGridEh::SetVertScrollBar(TGridScrollBarEh* Value) { FVertScrollBar->Assign(Value); }

void TCustomGridEh::SetSelectionDrawParams(TGridSelectionDrawParamsEh* Value) { FSelectionDrawParams->Assign(Value); }

void TCustomGridEh::SetGridLineColors(TGridLineColorsEh* Value) { FGridLineColors->Assign(Value); }

void TCustomGridEh::SetEditorMode(bool Value) {
  if (Value)
    ShowEditor();
  else
    HideEditor();
}

void TCustomGridEh::SetDrawStyle(TGridDrawStyleEh* Style) {
  if (Style == FDrawStyle) return;
  if (FDrawStyle) FDrawStyle->RemoveChangeNotification(this);
  FDrawStyle = nullptr;
  if (!Style) {
    AttachToGlobalDrawStyle();
    return;
  }
  FDrawStyle = Style;
  FDrawStyle->AddChangeNotification(this);
}

void TCustomGridEh::AttachToGlobalDrawStyle() {
  TGridDrawStyleEh* Global = GetGridDrawStyleEh();
  if (Global && Global == FDrawStyle) return;
  FDrawStyle = Global;
  if (FDrawStyle)
    FDrawStyle->AddChangeNotification(this);
  else
    DrawStyleChanged();
}

// ---------------------------------------------------------------------------
// streaming of the cell extents

bool TCustomGridEh::extentsDiffer(TFiler* Filer, bool Horizontal) {
  TGridAxisDataEh* Axis = Horizontal ? FHorzAxis : FVertAxis;
  if (auto* Ancestor = dynamic_cast<TCustomGridEh*>(Filer->Ancestor()))
    return !SameAxisCelLens(Horizontal ? Ancestor->FHorzAxis : Ancestor->FVertAxis, Axis);
  return Axis->CelCount() > 0;
}

void TCustomGridEh::DefineProperties(TFiler* Filer) {
  TCustomControlEh::DefineProperties(Filer);
  if (!FSaveCellExtents) return;
  Filer->DefineProperty(QStringLiteral("ColWidths"), TReaderProc(this, &TCustomGridEh::streamColWidths),
                        TWriterProc(this, &TCustomGridEh::writeColWidths), extentsDiffer(Filer, true));
  Filer->DefineProperty(QStringLiteral("RowHeights"), TReaderProc(this, &TCustomGridEh::streamRowHeights),
                        TWriterProc(this, &TCustomGridEh::writeRowHeights), extentsDiffer(Filer, false));
}

namespace {
// A stream may hold more or fewer values than there are cells: extra values
// are read and dropped.
void readExtents(TReader* Reader, Integer Count, const std::function<void(Integer, Integer)>& Set) {
  Reader->ReadListBegin();
  for (Integer I = 0; !Reader->EndOfList(); ++I) {
    const Integer Value = Reader->ReadInteger();
    if (I < Count) Set(I, Value);
  }
  Reader->ReadListEnd();
}

void writeExtents(TWriter* Writer, Integer Count, const std::function<Integer(Integer)>& Get) {
  Writer->WriteListBegin();
  for (Integer I = 0; I < Count; ++I) Writer->WriteInteger(Get(I));
  Writer->WriteListEnd();
}
}  // namespace

void TCustomGridEh::streamColWidths(TReader* Reader) {
  readExtents(Reader, ColCount(), [this](Integer I, Integer V) { SetColWidths(I, V); });
}

void TCustomGridEh::streamRowHeights(TReader* Reader) {
  readExtents(Reader, RowCount(), [this](Integer I, Integer V) { SetRowHeights(I, V); });
}

void TCustomGridEh::writeColWidths(TWriter* Writer) {
  writeExtents(Writer, ColCount(), [this](Integer I) { return ColWidths(I); });
}

void TCustomGridEh::writeRowHeights(TWriter* Writer) {
  writeExtents(Writer, RowCount(), [this](Integer I) { return RowHeights(I); });
}

// ---------------------------------------------------------------------------
// editing hooks

bool TCustomGridEh::CanEditShow() {
  if (!FOptions.Contains(goEditingEh) || FOptions.Contains(goRowSelectEh) || !FEditorMode) return false;
  if (ComponentState().Contains(csDesigning) || !HandleAllocated()) return false;
  return FOptions.Contains(goAlwaysShowEditorEh) || IsActiveControl();
}

void TCustomGridEh::ShowEditor() {
  FEditorMode = true;
  UpdateEditor();
}

void TCustomGridEh::HideEditor() {
  if (!FEditorMode) return;
  FEditorMode = false;
  if (FInplaceEdit) FInplaceEdit->Hide();
}

void TCustomGridEh::InvalidateEditor() {
  FInplaceCol = -1;
  FInplaceRow = -1;
  UpdateEditor();
}

void TCustomGridEh::ShowEditorChar(Char Ch) {
  ShowEditor();
  if (FInplaceEdit && FInplaceEdit->Visible())
    PostMessage(FInplaceEdit->Handle(), WM_CHAR, WPARAM(Ch.unicode()), 0);
}

bool TCustomGridEh::EnsureInplaceEdit() {
  if (FInplaceEdit) return false;
  FInplaceEdit = CreateEditor();
  FInplaceEdit->SetGrid(this);
  FInplaceEdit->SetParent(this);
  FInplaceEdit->SetAutoSelect(false);
  return true;
}

void TCustomGridEh::UpdateEditor() {
  if (!CanEditShow()) {
    HideEdit();
    return;
  }
  bool Load = EnsureInplaceEdit();
  if (!Load && (FCurCell.X != FInplaceCol || FCurCell.Y != FInplaceRow)) {
    HideEdit();
    Load = true;
  }
  if (Load) {
    FInplaceCol = FCurCell.X;
    FInplaceRow = FCurCell.Y;
    FInplaceEdit->UpdateContents();
    FCanEditModify = FInplaceEdit->MaxLength() != -1;
    FInplaceEdit->SelectAll();
  }
  if (CanEditShow()) FInplaceEdit->Move(CellEditRect(FCurCell.X, FCurCell.Y));
}

void TCustomGridEh::HideEdit() {
  if (!FInplaceEdit) return;
  const TScopeExit Forget([this] {
    FInplaceCol = -1;
    FInplaceRow = -1;
    FInplaceEdit->Hide();
  });
  UpdateEditText(/*Changing=*/false);
}

void TCustomGridEh::UpdateEditText(bool) {
  if (FInplaceCol != -1 && FInplaceRow != -1) SetEditText(FInplaceCol, FInplaceRow, FInplaceEdit->Text());
}

void TCustomGridEh::DoExit() {
  TCustomControlEh::DoExit();
  if (!FOptions.Contains(goAlwaysShowEditorEh)) HideEditor();
}

void TCustomGridEh::Resize() {
  TCustomControlEh::Resize();
  UpdateGridLayout();
}

// ---------------------------------------------------------------------------
// focus

bool TCustomGridEh::IsActiveControl() {
  if (TCustomForm* Form = GetParentForm(this)) return Form->ActiveControl() == this;
  if (!HandleAllocated()) return false;
  for (HWND Window = GetFocus(); Window; Window = GetParent(Window))
    if (Window == Handle()) return true;
  return false;
}

bool TCustomGridEh::FocusInsideGrid() {
  if (!HandleAllocated()) return false;
  for (HWND Window = GetFocus(); Window; Window = GetParent(Window))
    if (Window == Handle()) return true;
  return false;
}

void TCustomGridEh::SetFocusInternally(TWinControl* Control) {
  FInternalFocusResetting = true;
  const TScopeExit Clear([this] { FInternalFocusResetting = false; });
  gdi::SetFocus(Control->Handle());
}

bool TCustomGridEh::FocusGridOnMouseDown() {
  if (!ComponentState().Contains(csDesigning) && CanFocus()) SetFocus();
  return true;
}

void TCustomGridEh::NotifyDesignerModified() {
  // Designers do not run here: no form ever has one.
}

// ---------------------------------------------------------------------------
// cell moves

void TCustomGridEh::CelMoved(TGridAxisDataEh* Axis, Integer FromIndex, Integer ToIndex) {
  Invalidate();
  if (Axis == FHorzAxis)
    ColumnMoved(FromIndex, ToIndex);
  else
    RowMoved(FromIndex, ToIndex);
}

void TCustomGridEh::ColumnMoved(Integer FromIndex, Integer ToIndex) {
  if (FOptions.Contains(goRowSelectEh)) return;
  const TGridCoord OldCur = FCurCell;
  Integer& C = FCurCell.X;
  if (C == FromIndex)
    C = ToIndex;
  else if (C > FromIndex && C <= ToIndex)
    --C;
  else if (C < FromIndex && C >= ToIndex)
    ++C;
  if (FAnchorCell == OldCur) FAnchorCell = FCurCell;
}

void TCustomGridEh::RowMoved(Integer, Integer) {}

// ---------------------------------------------------------------------------
// base answers of the introduced virtuals

bool TCustomGridEh::EditorCanAcceptChar(Char) { return true; }
bool TCustomGridEh::CanEditModify() { return FCanEditModify; }
bool TCustomGridEh::CanEditAcceptKey(Char Key) { return Key.unicode() >= 32; }
bool TCustomGridEh::CanGridAcceptKey(Word, TShiftState) { return true; }
bool TCustomGridEh::CanHotTrackCell(Integer, Integer) { return false; }
bool TCustomGridEh::CanBeginColMoving(Integer, Integer, TPoint) { return true; }
bool TCustomGridEh::CanBeginRowMoving(Integer, Integer, TPoint) { return true; }
bool TCustomGridEh::WantDoubleClicksAt(TGridCoord, TMouseButton, TShiftState, TPoint, TPoint) { return true; }

bool TCustomGridEh::CanCellDblClick(const TWMMouse& Message) {
  return (FGridState == gsNormalEh || FGridState == gsSelectingEh) && Message.XPos >= 0 && Message.YPos >= 0;
}

bool TCustomGridEh::CanMoveColTo(Integer, Integer, TPoint) { return true; }

bool TCustomGridEh::GridLinesDrawn(bool Horizontal) {
  if (Horizontal) return FOptions.Contains(goFixedHorzLineEh) || FOptions.Contains(goHorzLineEh);
  return FOptions.Contains(goFixedVertLineEh) || FOptions.Contains(goVertLineEh);
}

bool TCustomGridEh::CanMoveRowTo(Integer, Integer, TPoint) { return true; }
TGridBackgroundDataEh* TCustomGridEh::CreateBackgroundData() { return new TGridBackgroundDataEh(this); }
TInplaceEdit* TCustomGridEh::CreateEditor() {
  auto* Editor = new TInplaceEdit(this);
  Editor->AfterConstruction();
  return Editor;
}
TGridLineColorsEh* TCustomGridEh::CreateGridLineColors() { return new TGridLineColorsEh(this); }

TGridScrollBarPanelControlEh* TCustomGridEh::CreateHorzScrollBarPanel() {
  return new TGridScrollBarPanelControlEh(this, sbHorizontal);
}

TGridHotTrackSpotEh* TCustomGridEh::CreateHotTrackSpot() { return new TGridHotTrackSpotEh; }
TGridScrollBarEh* TCustomGridEh::CreateScrollBar(TScrollBarKind Kind) { return new TGridScrollBarEh(this, Kind); }
TSizeGripPanelEh* TCustomGridEh::CreateSizeGripPanel() { return new TSizeGripPanelEh(this); }

TGridScrollBarPanelControlEh* TCustomGridEh::CreateVertScrollBarPanel() {
  return new TGridScrollBarPanelControlEh(this, sbVertical);
}

bool TCustomGridEh::GetDefaultDrawFocusFrame() { return FDrawStyle ? FDrawStyle->DrawFocusFrame() : true; }


bool TCustomGridEh::CanEndRowMoving(Integer&, Integer&, TPoint) { return true; }
bool TCustomGridEh::FixedColsSizable() { return false; }
bool TCustomGridEh::FixedRowsSizable() { return false; }
bool TCustomGridEh::BackgroundShowing() { return FBackgroundData->Showing(); }

TGridSelectionDrawStyleEh TCustomGridEh::DefaultSelectionStyle() {
  return FDrawStyle ? FDrawStyle->GetActualSelectionStyle() : gsdsClassicEh;
}

Integer TCustomGridEh::GetEditLimit() { return 0; }
String TCustomGridEh::GetEditMask(Integer, Integer) { return {}; }
String TCustomGridEh::GetEditText(Integer, Integer) { return {}; }
Integer TCustomGridEh::VertScrollStep() { return FVertAxis->GetScrollStep(); }
Integer TCustomGridEh::MouseWheelScrollStep() { return FVertAxis->GetScrollStep(); }
bool TCustomGridEh::IsCellNavigable(Integer) { return true; }
bool TCustomGridEh::BackgroundDrawn() { return FBackgroundData->Showing(); }

Integer TCustomGridEh::GetHorzLineWidth() {
  return FOptions.Contains(goFixedHorzLineEh) || FOptions.Contains(goHorzLineEh) ? FGridLineWidth : 0;
}

Integer TCustomGridEh::GetVertLineWidth() {
  return FOptions.Contains(goFixedVertLineEh) || FOptions.Contains(goVertLineEh) ? FGridLineWidth : 0;
}

bool TCustomGridEh::HotTrackSpotsEqual(TGridHotTrackSpotEh* Spot1, TGridHotTrackSpotEh* Spot2) {
  return Spot1->Col == Spot2->Col && Spot1->Row == Spot2->Row;
}

bool TCustomGridEh::HasSelectionRange() { return !(FAnchorCell == FCurCell); }
bool TCustomGridEh::IsSmoothHorzScroll() { return FHorzScrollBar->SmoothStep(); }
bool TCustomGridEh::IsSmoothVertScroll() { return FVertScrollBar->SmoothStep(); }
bool TCustomGridEh::SelectCell(Integer, Integer) { return true; }
bool TCustomGridEh::IsSizingHitAt(TPoint Pos) { return CalcGridStateAtPos(Pos) != gsNormalEh; }
void TCustomGridEh::CurCellMoved(TGridCoord) {}
void TCustomGridEh::ChangeColWidth(Integer ACol, Integer AWidth) { SetColWidths(ACol, AWidth); }
void TCustomGridEh::ChangeRowHeight(Integer ARow, Integer AHeight) { SetRowHeights(ARow, AHeight); }

void TCustomGridEh::SetAnchorCell(Integer ACol, Integer ARow) {
  if (FAnchorCell == TGridCoord{ACol, ARow}) return;
  if (ACol < 0 || ARow < 0 || ACol >= FullColCount() || ARow >= FullRowCount())
    throw EInvalidGridOperationEh(QStringLiteral("TCustomGridEh.SetAnchorCell: Grid index out of range"));
  const TGridRect OldSelection = Selection();
  FAnchorCell = {ACol, ARow};
  ScrollCellIntoView(FAnchorCell, true, true);
  InvalidateSelectionArea(OldSelection);
}

void TCustomGridEh::ScrollBarsUpdated() {}

void TCustomGridEh::InvalidateSelectionArea(const TGridRect& OldSelection) {
  InvalidateRect(OldSelection);
  InvalidateRect(Selection());
}

void TCustomGridEh::SetEditText(Integer, Integer, const String&) {}
void TCustomGridEh::DrawStyleChanged() { Invalidate(); }
void TCustomGridEh::AfterGridLayoutChanged() {}
void TCustomGridEh::DefaultCellMouseClick(TGridCoord, TMouseButton, TShiftState, const TRect&, TPoint, TPoint) {}
void TCustomGridEh::DefaultCellMouseDown(TGridCoord, TMouseButton, TShiftState, const TRect&, TPoint, TPoint) {}

void TCustomGridEh::FocusCell(Integer ACol, Integer ARow, bool) {
  MoveCurrentCell(ACol, ARow, true, true);
  UpdateEditor();
}
