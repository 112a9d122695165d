#include "gridlib/grid/popuplistboxes.h"

#include "gridlib/base/painters.h"
#include "gridlib/base/sizegrip.h"
#include "gridlib/base/winroutines.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/stringlist.h"
#include "platform/ui/graphics/edges.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/windowing/window.h"

using namespace gdi;

namespace {

// The raised outer and inner edges of a popup list box take one pixel each.
constexpr Integer PopupBorderWidth = 2;

}  // namespace

// ---------------------------------------------------------------------------
// TPopupListboxItemEh

void TPopupListboxItemEh::QueryCloseOnExecute(TCustomListboxEh* Listbox, Integer DataIndex, TPoint, TMouseButton,
                                              TShiftState, bool& IsCloseListbox) {
  IsCloseListbox = CloseOnExecute(Listbox, DataIndex);
}

// ---------------------------------------------------------------------------
// TPopupListboxGridEh

const TMessageMap& TPopupListboxGridEh::MessageMap() {
  static const TMessageMap Map(TCustomListboxEh::MessageMap(), {
      {WM_SIZE, &TPopupListboxGridEh::WMSize},
      {CM_HINTSHOW, &TPopupListboxGridEh::CMHintShow},
      {CM_MOUSEENTER, &TPopupListboxGridEh::CMMouseEnter},
      {CM_MOUSELEAVE, &TPopupListboxGridEh::CMMouseLeave},
      {CM_CTL3DCHANGED, &TPopupListboxGridEh::CMCtl3DChanged},
      {DropDownSideNoticeEh, &TPopupListboxGridEh::WMSizeGripPosition},
  });
  return Map;
}

TPopupListboxGridEh::TPopupListboxGridEh(TComponent* AOwner) : TCustomListboxEh(AOwner) {
  FControlStyle.Include(csReplicatable);
  OnDataObject = TLBGetDataObjectEvent(this, &TPopupListboxGridEh::GetDataObject);
  SetParentShowHint(false);
  SetShowHint(true);
}

void TPopupListboxGridEh::AfterConstruction() {
  TCustomListboxEh::AfterConstruction();
  SetBorderStyle(bsSingle);
  UpdateBorderWidth();
}

void TPopupListboxGridEh::UpdateBorderWidth() {
  FBorderWidth = FOwnBorder && Ctl3D() && BorderStyle() == bsSingle ? PopupBorderWidth : 0;
}

Integer TPopupListboxGridEh::GetBorderSize() {
  if (HandleAllocated()) return Height() - ClientHeight();
  TCreateParams Params;
  CreateParams(Params);
  const Integer Frame = (Params.Style & WS_BORDER) ? 2 : (Params.ExStyle & WS_EX_CLIENTEDGE) ? 4 : 0;
  return Frame + 2 * FBorderWidth;
}

void TPopupListboxGridEh::SetRowCount(Integer Value) {
  SetHeight(std::max(Value, 1) * ItemHeight() + GetBorderSize());
}

void TPopupListboxGridEh::SetExtItems(TStrings* Value) {
  if (Value == FExtItems) return;
  FExtItems = Value;
  SetVirtualItems(Value != nullptr);
  ResetVisibleIterms();
}

TStrings* TPopupListboxGridEh::GetItems() { return FExtItems ? FExtItems : TCustomListboxEh::GetItems(); }

void TPopupListboxGridEh::SetItems(TStrings* Value) {
  if (FExtItems)
    FExtItems->Assign(Value);
  else
    TCustomListboxEh::SetItems(Value);
}

String TPopupListboxGridEh::GetItemText(Integer DataIndex) {
  return FExtItems ? FExtItems->Strings(DataIndex) : TCustomListboxEh::GetItemText(DataIndex);
}

void TPopupListboxGridEh::GetDataObject(TWinControl*, Integer Index, TObject*& DataObject) {
  if (FExtItems) DataObject = FExtItems->Objects(Index);
}

void TPopupListboxGridEh::CreateParams(TCreateParams& Params) {
  TCustomListboxEh::CreateParams(Params);
  if (IsCustomStyleActiveEh()) Params.Style |= WS_BORDER;
}

void TPopupListboxGridEh::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  FIsMouseUpCloseListbox = true;
  TCustomListboxEh::MouseDown(Button, Shift, X, Y);
}

// Hovering selects; a mouse dragged above or below the list selects the
// first or last item shown, which scrolls through the row change.
void TPopupListboxGridEh::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomListboxEh::MouseMove(Shift, X, Y);
  Integer I = VisibleItemAtPos(TPoint{X, Y});
  if (I == -1) I = StrictVisibleIndexToClient(X, Y);
  if (!(TPoint{X, Y} == FMousePos)) {
    if (I >= 0) SetItemVisibleIndex(I);
    const bool ButtonDown = Shift.Contains(ssLeft) || Shift.Contains(ssRight) || Shift.Contains(ssMiddle);
    if (!ButtonDown && I != FMouseVisibleIndex) {
      if (FMouseVisibleIndex < VisibleItems()->Count()) InvalidateIndex(FMouseVisibleIndex);
      FMouseVisibleIndex = I;
      InvalidateIndex(I);
    }
  }
  FMousePos = TPoint{X, Y};
}

void TPopupListboxGridEh::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  FIsMouseUpCloseListbox = true;
  Integer I = ItemAtPos(TPoint{X, Y});
  if (I == -1) I = StrictIndexToClient(X, Y);
  auto* Item = dynamic_cast<TPopupListboxItemEh*>(ItemObject(I));
  if (!Item) {
    TCustomListboxEh::MouseUp(Button, Shift, X, Y);
    return;
  }
  Item->QueryCloseOnExecute(this, I, TPoint{X, Y}, Button, Shift, FIsMouseUpCloseListbox);
  if (GridState() != gsNormalEh) CancelMode();
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TPopupListboxGridEh::WMSize(TWMSize& Message) {
  DispatchAs<TCustomListboxEh>(Message);
  // Sizes set before there is a window are the program's, never the user's.
  if (FInternalResizing || !HandleAllocated()) return;
  FResizedRowCount = FRowCount;
  FResizedWidth = Width();
  FSizeGripResized = true;
  if (UseRightToLeftAlignment()) Invalidate();
}

// The list's own hint is not shown.
void TPopupListboxGridEh::CMHintShow(TMessage& Message) { Message.Result = 1; }

void TPopupListboxGridEh::CMMouseEnter(TCMMouseEnter& Message) {
  DispatchAs<TCustomListboxEh>(Message);
  if (ItemIndex() >= 0) InvalidateIndex(ItemVisibleIndex());
}

void TPopupListboxGridEh::CMMouseLeave(TCMMouseLeave& Message) {
  DispatchAs<TCustomListboxEh>(Message);
  if (ItemIndex() >= 0) InvalidateIndex(ItemVisibleIndex());
}

void TPopupListboxGridEh::CMCtl3DChanged(TMessage& Message) {
  DispatchAs<TCustomListboxEh>(Message);
  UpdateBorderWidth();
  RecreateWnd();
}

void TPopupListboxGridEh::WMSizeGripPosition(TMessage& Message) {
  SetSizeGripPostion(ChangedSizeGripPositionEh(SizeGripPostion(), Integer(Message.WParam)));
}

// ---------------------------------------------------------------------------
// TPopupListboxEh

const TMessageMap& TPopupListboxEh::MessageMap() {
  static const TMessageMap Map(TPopupListboxGridEh::MessageMap(), {
      {WM_NCCALCSIZE, &TPopupListboxEh::WMNCCalcSize},
      {WM_NCPAINT, &TPopupListboxEh::WMNCPaint},
  });
  return Map;
}

TPopupListboxEh::TPopupListboxEh(TComponent* AOwner) : TPopupListboxGridEh(AOwner) { FOwnBorder = true; }

// The constraints size the control, which needs the grid's axes.
void TPopupListboxEh::AfterConstruction() {
  TPopupListboxGridEh::AfterConstruction();
  Constraints()->SetMinWidth(GetSystemMetrics(SM_CXVSCROLL));
  Constraints()->SetMinHeight(GetSystemMetrics(SM_CYVSCROLL));
  SetParentWindow(GetDesktopWindow());
}

void TPopupListboxEh::CreateParams(TCreateParams& Params) {
  TPopupListboxGridEh::CreateParams(Params);
  // A top-level window of the desktop.
  Params.Style = (Params.Style & ~DWORD(WS_CHILD)) | WS_POPUP | WS_CLIPCHILDREN;
  if (IsCustomStyleActiveEh() || !Ctl3D()) Params.Style |= WS_BORDER;
  Params.ExStyle = (Params.ExStyle & ~DWORD(WS_EX_CLIENTEDGE)) | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  Params.WndParent = GetDesktopWindow();
  Params.ClassStyle |= CS_SAVEBITS | CS_DROPSHADOW;
}

// The list paints as focused without taking the focus (Focused answers
// True), so nothing is sent here.
void TPopupListboxEh::CreateWnd() { TPopupListboxGridEh::CreateWnd(); }

void TPopupListboxEh::Show() {
  SetWindowPos(Handle(), nullptr, Left(), Top(), 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
  SetVisible(true);
}

void TPopupListboxEh::SetExtItems(TStrings* Value) {
  if (Value == FExtItems) return;
  FExtItems = Value;
  SetVirtualItems(Value != nullptr);
}

void TPopupListboxEh::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  const Integer H = ItemHeight() != 0 ? ItemHeight() : GetTextHeight();
  if (H != 0) {
    const Integer Border = GetBorderSize();
    FRowCount = std::max((AHeight - Border) / H, 1);
    AHeight = Border + H * FRowCount;
  }
  TPopupListboxGridEh::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TPopupListboxEh::DrawBorder() {
  if (!Ctl3D() || !HandleAllocated()) return;
  HDC DC = GetWindowDC(Handle());
  const TScopeExit Release([this, DC] { ReleaseDC(Handle(), DC); });
  TRect R(0, 0, Width(), Height());
  DrawEdge(DC, &R, BDR_RAISEDOUTER, BF_RECT);
  InflateRect(R, -1, -1);
  DrawEdge(DC, &R, BDR_RAISEDINNER, BF_RECT);
}

void TPopupListboxEh::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomListboxEh::MouseMove(Shift, X, Y);
  Integer I = ItemAtPos(TPoint{X, Y});
  if (I == -1) I = StrictIndexToClient(X, Y);
  if (!(TPoint{X, Y} == FMousePos)) {
    if (I >= 0) SetItemIndex(I);
    const bool ButtonDown = Shift.Contains(ssLeft) || Shift.Contains(ssRight) || Shift.Contains(ssMiddle);
    if (!ButtonDown && I != FMouseIndex) {
      if (FMouseIndex < Items()->Count()) InvalidateIndex(DataIndexToVisibleIndex(FMouseIndex));
      FMouseIndex = I;
      InvalidateIndex(DataIndexToVisibleIndex(I));
    }
  }
  FMousePos = TPoint{X, Y};
}

void TPopupListboxEh::WMNCCalcSize(TWMNCCalcSize& Message) {
  DispatchAs<TPopupListboxGridEh>(Message);
  if (IsCustomStyleActiveEh() || !Message.CalcSize_Params) return;
  InflateRect(Message.CalcSize_Params->rgrc[0], -FBorderWidth, -FBorderWidth);
}

void TPopupListboxEh::WMNCPaint(TWMNCPaint& Message) {
  DispatchAs<TPopupListboxGridEh>(Message);
  DrawBorder();
}

// ---------------------------------------------------------------------------
// TPopupListboxFormEh

const TMessageMap& TPopupListboxFormEh::MessageMap() {
  static const TMessageMap Map(TPopupInactiveFormEh::MessageMap(), {
      {WM_SIZE, &TPopupListboxFormEh::WMSize},
      {CM_MOUSEWHEEL, &TPopupListboxFormEh::CMMouseWheel},
  });
  return Map;
}

TPopupListboxFormEh::TPopupListboxFormEh(TComponent* AOwner) : TPopupInactiveFormEh(AOwner) {
  FControlStyle.Include(csReplicatable);
  Constraints()->SetMinWidth(GetSystemMetrics(SM_CXVSCROLL));
  Constraints()->SetMinHeight(GetSystemMetrics(SM_CYVSCROLL));
}

// A form runs this again on its first show.
void TPopupListboxFormEh::AfterConstruction() {
  TPopupInactiveFormEh::AfterConstruction();
  if (FListGrid) return;
  FListGrid = CreateGridEh<TPopupListboxGridEh>(this);
  FListGrid->SetParent(this);
  FListGrid->SetAlign(alClient);
  FListGrid->OnMouseUp = TMouseEvent(this, &TPopupListboxFormEh::ListGridMouseUp);
  SetMasterActionsControl(FListGrid);
}

void TPopupListboxFormEh::ListGridMouseUp(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TPopupListboxFormEh::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  if (FListGrid) {
    const Integer B = FListGrid->GetBorderSize();
    const Integer W = BorderWidth();
    const Integer H = ItemHeight() != 0 ? ItemHeight() : FListGrid->GetTextHeight();
    FRowCount = std::max((AHeight - B - 2 * W) / H, 1);
    AHeight = B + H * FRowCount + 2 * W;
  }
  TPopupInactiveFormEh::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TPopupListboxFormEh::SetRowCount(Integer Value) {
  SetHeight(std::max(Value, 1) * ItemHeight() + FListGrid->GetBorderSize());
}

void TPopupListboxFormEh::HandleNeeded() {
  TPopupInactiveFormEh::HandleNeeded();
  FListGrid->HandleNeeded();
}

void TPopupListboxFormEh::WMSize(TWMSize& Message) {
  DispatchAs<TPopupInactiveFormEh>(Message);
  if (FInternalResizing || !FListGrid || !HandleAllocated()) return;
  FResizedRowCount = FRowCount;
  FResizedWidth = Width();
  FListGrid->SetSizeGripResized(true);
}

void TPopupListboxFormEh::CMMouseWheel(TCMMouseWheel& Message) {
  DispatchAs<TPopupInactiveFormEh>(Message);
  if (Message.Result == 0 && FListGrid) Message.Result = FListGrid->Perform(AsMessage(Message).Msg,
                                                                            AsMessage(Message).WParam,
                                                                            AsMessage(Message).LParam);
}

bool TPopupListboxFormEh::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TPopupInactiveFormEh::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  return FListGrid && FListGrid->GridMouseWheel(Shift, WheelDelta, MousePos);
}
