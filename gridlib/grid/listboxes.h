// List boxes on the grid: TCustomListboxEh shows one item of a string list
// per row, optionally with an image, optionally drawn and handled by an item
// object (TCustomListboxItemEh) kept in the item's object slot.
//
// Filtering never touches Items.  The visible rows are a list of their own:
//
//   Items         apple  Banana  grape         data indexes 0 1 2
//   filter "an"          Banana                visible index 0 -> data 1
//
// each visible entry holding its data index in its object slot.  Every index
// the class hands out is either a data index (Items) or a visible index (a
// grid row); the names say which.
#pragma once

#include "gridlib/grid/grids.h"
#include "platform/rtl/alignment.h"

class TCustomImageList;
class TCustomListboxEh;
class TStrings;
class TStringList;

// Virtual-mode data events of a list box.
using TLBGetDataEvent = TMethodPtr<void(TWinControl* Control, Integer Index, String& Data)>;
using TLBGetDataObjectEvent = TMethodPtr<void(TWinControl* Control, Integer Index, TObject*& DataObject)>;
using TListGetImageIndexEventEh = TMethodPtr<void(TObject* Sender, Integer ItemIndex, Integer& ImageIndex)>;

RTL_ENUM(TLSAutoFilterTypeEh, lsftBeginsWithEh, lsftContainsEh)

// ---------------------------------------------------------------------------
// TCustomListboxItemEh: an item object that draws and handles its item

class TCustomListboxItemEh : public TObject {
  RTL_CLASS(TCustomListboxItemEh, TObject)
public:
  // ---- introduced virtuals, in slot order ----
  virtual bool ItemQuery() { return true; }
  virtual String GetDisplayText(TCustomListboxEh* Listbox, Integer DataIndex);
  virtual void DrawItem(TCustomListboxEh* Listbox, Integer VisibleIndex, const TRect& ARect, TGridDrawState State);
  virtual void MouseDown(TCustomListboxEh*, Integer, TPoint, TMouseButton, TShiftState) {}
  virtual void MouseMove(TCustomListboxEh*, Integer, TPoint, TShiftState) {}
  virtual void MouseUp(TCustomListboxEh*, Integer, TPoint, TMouseButton, TShiftState) {}
  virtual void KeyPress(TCustomListboxEh*, Integer, Char&, TShiftState, bool&) {}
  // An item that stands for a value rather than a command.
  virtual bool IsDataItem() { return true; }
  virtual void Execute(TCustomListboxEh*, Integer, TPoint, TShiftState) {}
};

// ---------------------------------------------------------------------------
// TCustomListboxEh

class TCustomListboxEh : public TCustomGridEh {
  RTL_CLASS(TCustomListboxEh, TCustomGridEh)
public:
  explicit TCustomListboxEh(TComponent* AOwner);
  ~TCustomListboxEh() override;
  // One column, no fixed cells, no horizontal bar, the grip always shown.
  void AfterConstruction() override;

  // items
  TStrings* Items() { return GetItems(); }
  TStrings* VisibleItems() const;
  // Virtual mode: FVirtualRowCount; else the items' count.
  Integer Count();
  // Only in virtual mode: "Can't assign Count when list is not virtual".
  void SetCount(Integer Value);
  bool VirtualItems() const { return FVirtualItems; }
  void SetVirtualItems(bool Value);
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value) { FSorted = Value; }
  bool UseItemObjects() const { return FUseItemObjects; }
  void SetUseItemObjects(bool Value) { FUseItemObjects = Value; }
  // Not owned.
  TCustomImageList* ImageList() const { return FImageList; }
  void SetImageList(TCustomImageList* Value) { FImageList = Value; }
  TAlignment ItemAlignment() const { return FItemAlignment; }
  void SetItemAlignment(TAlignment Value) { FItemAlignment = Value; }
  // 0: the grid's default row height stays.
  Integer ItemHeight() const { return FItemHeight; }
  void SetItemHeight(Integer Value);

  // selection: ItemIndex in data indexes, ItemVisibleIndex in rows; -1 none
  Integer ItemIndex();
  void SetItemIndex(Integer DataIndex);
  Integer ItemVisibleIndex();
  void SetItemVisibleIndex(Integer VisibleIndex);

  // index mapping (-1 maps to -1; an unknown data index to -1)
  Integer VisibleIndexToDataIndex(Integer VisibleIndex);
  Integer DataIndexToVisibleIndex(Integer DataIndex);
  Integer GetTopIndex() { return VisibleIndexToDataIndex(TopRow()); }
  Integer GetTopVisibleIndex() { return TopRow(); }
  void SetTopVisibleIndex(Integer Value) { SetTopRow(Value); }
  TRect ItemRect(Integer VisibleIndex) { return CalcCellRect(0, VisibleIndex); }
  void InvalidateIndex(Integer VisibleIndex);
  Integer VisibleItemAtPos(TPoint Pos);
  Integer ItemAtPos(TPoint Pos, bool Existing = false);
  // A point above or below the list maps to the first or last item shown.
  Integer StrictIndexToClient(Integer X, Integer Y);
  Integer StrictVisibleIndexToClient(Integer X, Integer Y);

  // filtering
  void ApplyFilter(const String& AFilterStr, TLSAutoFilterTypeEh AFilterType, bool ACaseInsensitive);
  void ClearFilter();
  bool ValueIsHitFilter(const String& Value);
  void ResetVisibleIterms();
  const String& FilterStr() const { return FFilterStr; }
  TLSAutoFilterTypeEh FilterType() const { return FFilterType; }
  bool FilterCaseInsensitive() const { return FFilterCaseInsensitive; }
  void UpdateRowCount();

  // events
  TLBGetDataEvent OnData;
  TLBGetDataObjectEvent OnDataObject;
  TListGetImageIndexEventEh OnGetImageIndex;

  // ---- introduced virtuals, in slot order ----
  virtual TStrings* GetItems();
  virtual String GetVisibleItemText(Integer VisibleIndex);
  virtual void DrawItem(Integer VisibleIndex, const TRect& ARect, TGridDrawState State);
  virtual String GetItemText(Integer DataIndex);
  virtual void SetItems(TStrings* Value);
  virtual void DefaultDrawItem(Integer VisibleIndex, const TRect& ARect, TGridDrawState State);
  virtual Integer GetTextHeight();

  // reimplemented grid virtuals
  void DrawCell(Integer ACol, Integer ARow, const TRect& ARect, TGridDrawState AState) override;
  // Any keyboard or mouse move of the current cell selects.
  void FocusCell(Integer ACol, Integer ARow, bool MoveAnchor = true) override;

protected:
  // reimplemented
  void Resize() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  // The item object at a data index; nullptr when item objects are off or
  // the slot holds none.
  TCustomListboxItemEh* ItemObject(Integer DataIndex);
  void ItemsChange(TObject* Sender);

private:
  void drawPlainItem(Integer VisibleIndex, const TRect& ARect, TGridDrawState State);
  void drawImageItem(Integer VisibleIndex, TRect ARect, TGridDrawState State);
  void setItemColors(bool Highlighted);

  TStringList* FItems;
  TCustomImageList* FImageList = nullptr;
  TAlignment FItemAlignment = taLeftJustify;
  Integer FItemHeight = 0;
  bool FRowSeleced = false;
  bool FSorted = false;
  bool FUseItemObjects = false;
  bool FVirtualItems = false;
  Integer FVirtualRowCount = 0;
  TStringList* FVisibleIterms;
  String FFilterStr;
  TLSAutoFilterTypeEh FFilterType = lsftBeginsWithEh;
  bool FFilterCaseInsensitive = false;
};
