// Drop-down lists that never take the focus: the edit that opened one keeps
// the keyboard while the list follows the mouse (hovering selects).
//
//   TPopupListboxEh       a top-level popup list box (tool window, topmost,
//                         desktop parent) with its own 3-D border
//   TPopupListboxFormEh   an inactive popup form hosting a TPopupListboxGridEh
//                         and forwarding its properties; TMRUListboxEh, the
//                         list of an edit's recent entries, is that form
//
// Both lists can show an external item list (ExtItems, not owned) instead of
// their own, move their size grip away from the edit when the drop-down
// opens above or beside it (DropDownSideNoticeEh), snap their height to
// whole items, and remember a size the user chose with the grip so the host
// can reopen them in it.  TPopupListboxItemEh is the item object that
// decides whether executing it closes the list.
#pragma once

#include "gridlib/base/popupforms.h"
#include "gridlib/grid/listboxes.h"

// ---------------------------------------------------------------------------
// TPopupListboxItemEh

class TPopupListboxItemEh : public TCustomListboxItemEh {
  RTL_CLASS(TPopupListboxItemEh, TCustomListboxItemEh)
public:
  // ---- introduced virtuals, in slot order ----
  virtual void QueryCloseOnExecute(TCustomListboxEh* Listbox, Integer DataIndex, TPoint Point, TMouseButton Button,
                                   TShiftState Shift, bool& IsCloseListbox);
  virtual bool CloseOnExecute(TCustomListboxEh*, Integer) { return true; }

  void Execute(TCustomListboxEh*, Integer, TPoint, TShiftState) override {}
};

// ---------------------------------------------------------------------------
// TPopupListboxGridEh: the list inside a popup form

class TPopupListboxGridEh : public TCustomListboxEh {
  RTL_CLASS(TPopupListboxGridEh, TCustomListboxEh)
  UI_MESSAGE_MAP
public:
  explicit TPopupListboxGridEh(TComponent* AOwner);
  void AfterConstruction() override;

  // Not owned; assigned, the list is virtual and shows it.
  TStrings* ExtItems() const { return FExtItems; }
  void SetExtItems(TStrings* Value);
  // The height of Value whole items (at least one) and the border.
  void SetRowCount(Integer Value);
  Integer GetBorderSize();
  void UpdateBorderWidth();
  bool SizeGripResized() const { return FSizeGripResized; }
  void SetSizeGripResized(bool Value) { FSizeGripResized = Value; }
  Integer ResizedRowCount() const { return FResizedRowCount; }
  Integer ResizedWidth() const { return FResizedWidth; }
  bool InternalResizing() const { return FInternalResizing; }
  void SetInternalResizing(bool Value) { FInternalResizing = Value; }
  // Whether the mouse-up that just happened should close the list.
  bool IsMouseUpCloseListbox() const { return FIsMouseUpCloseListbox; }

  bool CanFocus() override { return false; }
  bool Focused() override { return true; }

  // ---- introduced virtuals, in slot order ----
  virtual void GetDataObject(TWinControl* Control, Integer Index, TObject*& DataObject);

  // reimplemented
  TStrings* GetItems() override;
  void SetItems(TStrings* Value) override;
  String GetItemText(Integer DataIndex) override;

protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void CreateParams(TCreateParams& Params) override;

  // message handlers
  void WMSize(TWMSize& Message);
  void CMHintShow(TMessage& Message);
  void CMMouseEnter(TCMMouseEnter& Message);
  void CMMouseLeave(TCMMouseLeave& Message);
  void CMCtl3DChanged(TMessage& Message);
  void WMSizeGripPosition(TMessage& Message);

  Integer FBorderWidth = 0;
  TStrings* FExtItems = nullptr;
  Integer FMouseVisibleIndex = -1;
  TPoint FMousePos{-1, -1};
  Integer FRowCount = 0;
  bool FSizeGripResized = false;
  Integer FResizedRowCount = 0;
  Integer FResizedWidth = 0;
  bool FInternalResizing = false;
  bool FIsMouseUpCloseListbox = false;
  // The popup list box draws a 3-D border of its own; the list grid never.
  bool FOwnBorder = false;
};

// ---------------------------------------------------------------------------
// TPopupListboxEh: a top-level popup list box with a border of its own

class TPopupListboxEh : public TPopupListboxGridEh {
  RTL_CLASS(TPopupListboxEh, TPopupListboxGridEh)
  UI_MESSAGE_MAP
public:
  explicit TPopupListboxEh(TComponent* AOwner);
  void AfterConstruction() override;

  // Shown where it stands, without activation or resizing.
  void Show();
  void Hide() { SetVisible(false); }
  void SetExtItems(TStrings* Value);
  // Snaps the height to whole items (FRowCount, at least one).
  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;
  Integer RowCountFitting() const { return FRowCount; }

  // ---- introduced virtuals, in slot order ----
  // The raised outer and inner edges on the window's frame.
  virtual void DrawBorder();

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void MouseMove(TShiftState Shift, int X, int Y) override;

  // message handlers
  void WMNCCalcSize(TWMNCCalcSize& Message);
  void WMNCPaint(TWMNCPaint& Message);

private:
  Integer FMouseIndex = -1;
};

// ---------------------------------------------------------------------------
// TPopupListboxFormEh

class TPopupListboxFormEh : public TPopupInactiveFormEh {
  RTL_CLASS(TPopupListboxFormEh, TPopupInactiveFormEh)
  UI_MESSAGE_MAP
public:
  explicit TPopupListboxFormEh(TComponent* AOwner);
  void AfterConstruction() override;

  TPopupListboxGridEh* ListGrid() const { return FListGrid; }
  // Snaps the height to whole items of the list grid.
  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;
  void SetRowCount(Integer Value);
  Integer RowCountFitting() const { return FRowCount; }
  bool InternalResizing() const { return FInternalResizing; }
  // The list grid follows the form's size, so it is told too.
  void SetInternalResizing(bool Value) {
    FInternalResizing = Value;
    FListGrid->SetInternalResizing(Value);
  }
  Integer ResizedRowCount() const { return FResizedRowCount; }
  Integer ResizedWidth() const { return FResizedWidth; }
  void HandleNeeded();

  // the list grid's properties
  TStrings* Items() { return FListGrid->Items(); }
  void SetItems(TStrings* Value) { FListGrid->SetItems(Value); }
  TStrings* ExtItems() const { return FListGrid->ExtItems(); }
  void SetExtItems(TStrings* Value) { FListGrid->SetExtItems(Value); }
  TGridSelectionDrawParamsEh* SelectionDrawParams() const { return FListGrid->SelectionDrawParams(); }
  void SetSelectionDrawParams(TGridSelectionDrawParamsEh* Value) { FListGrid->SetSelectionDrawParams(Value); }
  bool SizeGripAlwaysShow() const { return FListGrid->SizeGripAlwaysShow(); }
  void SetSizeGripAlwaysShow(bool Value) { FListGrid->SetSizeGripAlwaysShow(Value); }
  bool SizeGripResized() const { return FListGrid->SizeGripResized(); }
  void SetSizeGripResized(bool Value) { FListGrid->SetSizeGripResized(Value); }
  TCustomImageList* ImageList() const { return FListGrid->ImageList(); }
  void SetImageList(TCustomImageList* Value) { FListGrid->SetImageList(Value); }
  Integer ItemIndex() { return FListGrid->ItemIndex(); }
  void SetItemIndex(Integer Value) { FListGrid->SetItemIndex(Value); }
  Integer ItemHeight() const { return FListGrid->ItemHeight(); }
  void SetItemHeight(Integer Value) { FListGrid->SetItemHeight(Value); }
  Integer Count() { return FListGrid->Count(); }
  void SetCount(Integer Value) { FListGrid->SetCount(Value); }
  TListGetImageIndexEventEh OnGetImageIndex() const { return FListGrid->OnGetImageIndex; }
  void SetOnGetImageIndex(TListGetImageIndexEventEh Value) { FListGrid->OnGetImageIndex = Value; }
  bool Sorted() const { return FListGrid->Sorted(); }
  void SetSorted(bool Value) { FListGrid->SetSorted(Value); }
  bool UseItemObjects() const { return FListGrid->UseItemObjects(); }
  void SetUseItemObjects(bool Value) { FListGrid->SetUseItemObjects(Value); }
  bool IsMouseUpCloseListbox() const { return FListGrid->IsMouseUpCloseListbox(); }
  Integer GetBorderSize() { return FListGrid->GetBorderSize(); }
  void ApplyFilter(const String& AFilterStr, TLSAutoFilterTypeEh AFilterType, bool ACaseInsensitive) {
    FListGrid->ApplyFilter(AFilterStr, AFilterType, ACaseInsensitive);
  }
  void ClearFilter() { FListGrid->ClearFilter(); }

  // ---- introduced virtuals, in slot order ----
  // Fires the form's own OnMouseUp with the form as Sender.
  virtual void ListGridMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual Integer GetTextHeight() { return FListGrid->GetTextHeight(); }

protected:
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;

  // message handlers
  void WMSize(TWMSize& Message);
  void CMMouseWheel(TCMMouseWheel& Message);

private:
  bool FInternalResizing = false;
  TPopupListboxGridEh* FListGrid = nullptr;
  Integer FResizedRowCount = 0;
  Integer FResizedWidth = 0;
  Integer FRowCount = 0;
};

// The list of an edit control's recently entered values.
class TMRUListboxEh : public TPopupListboxFormEh {
  RTL_CLASS(TMRUListboxEh, TPopupListboxFormEh)
public:
  explicit TMRUListboxEh(TComponent* AOwner) : TPopupListboxFormEh(AOwner) {}
};
