// Two small persistent objects that edits, grid columns and lookup lists
// publish as sub-properties: the most-recently-used entries of an edit
// (TMRUListEh), filtered while the user types, and the special row of a
// lookup list (TSpecRowEh), an extra first row standing for one value.
#pragma once

#include "platform/rtl/component.h"
#include "platform/rtl/variant.h"
#include "platform/ui/graphics/graphics.h"
#include "platform/ui/windowing/inputrouter.h"

class TStrings;
class TStringList;

RTL_ENUM(TMRUListSourceKindEh, lskMRUListItemsEh, lskDataSetFieldValuesEh)

using TFillAutogenItemsEventEh = TMethodPtr<void(TObject* Sender, TStrings* Items)>;
using TFilterMRUItemEventEh = TMethodPtr<void(TObject* Sender, bool& Accept)>;
using TMRUListCloseUpEventEh = TMethodPtr<void(TObject* Sender, bool Accept)>;

class TMRUListEh : public TPersistent {
  RTL_CLASS(TMRUListEh, TPersistent)
public:
  explicit TMRUListEh(TPersistent* AOwner);
  ~TMRUListEh() override;
  static void DescribeProperties(TPropertyTable& Props);

  // properties
  bool Active() const { return FActive; }
  void SetActive(bool Value);
  bool AutoAdd() const { return FAutoAdd; }
  void SetAutoAdd(bool Value) { FAutoAdd = Value; }
  bool CancelIfKeyInQueue() const { return FCancelIfKeyInQueue; }
  void SetCancelIfKeyInQueue(bool Value) { FCancelIfKeyInQueue = Value; }
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool Value) { FCaseSensitive = Value; }
  // Oldest first, most recent last.
  TStrings* Items() const;
  // Assigns the strings; the limit is not applied.
  void SetItems(TStrings* Value);
  Integer Limit() const { return FLimit; }
  void SetLimit(Integer Value);
  TMRUListSourceKindEh ListSourceKind() const { return FListSourceKind; }
  void SetListSourceKind(TMRUListSourceKindEh Value) { FListSourceKind = Value; }
  Integer Rows() const { return FRows; }
  void SetRows(Integer Value) { FRows = Value; }
  Integer Width() const { return FWidth; }
  void SetWidth(Integer Value) { FWidth = Value; }
  // The owner-filled list for lskDataSetFieldValuesEh, else Items.
  TStrings* ActiveItems() const { return GetActiveItems(); }
  bool DroppedDown = false;  // kept by the owner while the list shows

  // events (Sender is the list)
  TNotifyEvent OnActiveChanged;
  TFillAutogenItemsEventEh OnFillAutogenItems;
  TFilterMRUItemEventEh OnFilterItem;
  TMRUListCloseUpEventEh OnSetCloseUpEvent;
  TNotifyEvent OnSetDropDown;

  // Blank text does nothing; a present entry moves to the end keeping its
  // stored text; a new one is appended and the oldest beyond Limit dropped.
  void Add(const String& S);
  // False when a pending key press stopped the filtering (checked after every
  // hundredth entry); FilteredItems then holds what was accepted so far.
  bool FilterItemsTo(TStrings* FilteredItems, const String& MaskText);

  // reimplemented
  void Assign(TPersistent* Source) override;

  // introduced virtuals, in slot order
  virtual void CloseUp(bool Accept);
  virtual void DropDown();
  virtual void PrepareActiveItems();

protected:
  TStrings* GetActiveItems() const;
  TPersistent* GetOwner() override { return FOwner; }

private:
  void trim();
  bool accepts(const String& Entry, const String& MaskText) const;

  bool FActive = false;
  bool FAutoAdd = true;
  TStringList* FAutogenItems;
  bool FCancelIfKeyInQueue = true;
  bool FCaseSensitive = false;
  TStringList* FItems;
  Integer FLimit = 100;
  TMRUListSourceKindEh FListSourceKind = lskMRUListItemsEh;
  TPersistent* FOwner;
  Integer FRows = 7;
  Integer FWidth = 0;
};

class TSpecRowEh : public TPersistent {
  RTL_CLASS(TSpecRowEh, TPersistent)
public:
  explicit TSpecRowEh(TPersistent* Owner);
  ~TSpecRowEh() override;
  static void DescribeProperties(TPropertyTable& Props);

  // properties
  const String& CellsText() const { return FCellsText; }
  void SetCellsText(const String& Value);
  // The assigned colour, else DefaultColor.
  TColor Color();
  void SetColor(TColor Value);
  // The assigned font, else a silent copy of DefaultFont.
  TFont* Font();
  void SetFont(TFont* Value);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value) { FShortCut = Value; }
  bool ShowIfNotInKeyList() const { return FShowIfNotInKeyList; }
  void SetShowIfNotInKeyList(bool Value);
  const Variant& Value() const { return FValue; }
  void SetValue(const Variant& Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool ColorAssigned() const { return FColorAssigned; }
  bool FontAssigned() const { return FFontAssigned; }
  bool IsValueStored() const;
  bool Selected = false;  // set and read by the lookup list showing the row

  TNotifyEvent OnChanged;

  // "" outside the cells.
  String GetCellText(Integer Index) const;
  // Visible and Value equals KeyValue.
  bool LocateKey(const Variant& KeyValue) const;
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();

  // reimplemented
  void Assign(TPersistent* Source) override;

  // introduced virtuals, in slot order
  virtual TColor DefaultColor();
  virtual TFont* DefaultFont();

protected:
  void Changed();
  TPersistent* GetOwner() override { return FOwner; }

private:
  void fontChanged(TObject* Sender);
  void splitCells();

  TStringList* FCellsStrings;
  String FCellsText;
  TColor FColor = clWindow;
  TFont* FFont;
  TPersistent* FOwner;
  TShortCut FShortCut;
  bool FShowIfNotInKeyList = true;
  Integer FUpdateCount = 0;
  Variant FValue;
  bool FVisible = false;
  bool FColorAssigned = false;
  bool FFontAssigned = false;
};
