// The lookup definition and lookup state of one grid bar: which fields of the
// grid's dataset hold the key, which dataset supplies the list, which of its
// fields match the key and which one is shown.  Two data links follow the
// grid's data source and the lookup dataset; a sorted cache of every key and
// display pair answers display values by binary search.
//
// When the bar's field is a lookup field of the dataset, the definition comes
// from that field instead of the properties.
#pragma once

#include "gridlib/base/basecontrols.h"
#include "gridlib/base/memtableintf.h"
#include "platform/db/datasource.h"
#include "platform/rtl/variant.h"

#include <vector>

class TDBLookupDataEh;

// What the lookup data needs of the bar that owns it (a bar of the data-aware
// axis grid implements it).
class ILookupDataBarEh {
public:
  virtual ~ILookupDataBarEh() = default;
  // The owning grid's data source; nullptr while the bar has no grid or the
  // grid has none.
  virtual TDataSource* GetGridDataSource() = 0;
  // The grid as a component, told when the lookup dataset is freed; nullptr
  // while the bar has no grid.
  virtual TComponent* GetGridComponent() = 0;
  // The field the bar is bound to now (FField); nullptr when unbound.
  virtual TField* BoundField() = 0;
  // The bound field, binding it by the bar's field name first when needed.
  virtual TField* GetField() = 0;
  // The grid lays itself out again and repaints; nothing without a grid.
  virtual void NotifyGridBarChanged() = 0;
};

// Follows the grid's data source.
class TDataSourceLinkEh : public TDataLink {
  RTL_CLASS(TDataSourceLinkEh, TDataLink)
public:
  explicit TDataSourceLinkEh(TDBLookupDataEh* LookupData) : FLookupData(LookupData) {}

protected:
  // reimplemented
  void ActiveChanged() override;
  void LayoutChanged() override;
  void RecordChanged(TField* Field) override;

private:
  TDBLookupDataEh* FLookupData;
};

// Follows the lookup dataset; a visual link, so the cache walk (with the
// lookup dataset's controls disabled) does not reach it.
class TListSourceLinkEh : public TDataLink {
  RTL_CLASS(TListSourceLinkEh, TDataLink)
public:
  explicit TListSourceLinkEh(TDBLookupDataEh* LookupData);

protected:
  // reimplemented
  void ActiveChanged() override;
  void DataSetChanged() override;
  void LayoutChanged() override;

private:
  TDBLookupDataEh* FLookupData;
};

class TLookupPairEh : public TObject {
  RTL_CLASS(TLookupPairEh, TObject)
public:
  TLookupPairEh(const Variant& AKeyValue, const Variant& ADisplayValue)
      : KeyValue(AKeyValue), DisplayValue(ADisplayValue) {}
  Variant KeyValue;      // a variant array for several key fields
  Variant DisplayValue;
};

// The sorted cache of key and display pairs; it frees its pairs.
class TLookupListEh : public TObject {
  RTL_CLASS(TLookupListEh, TObject)
public:
  TLookupListEh() = default;
  ~TLookupListEh() override;

  void Add(const Variant& KeyValue, const Variant& DisplayValue);
  void Clear();
  Integer Count() const { return Integer(FList.size()); }
  // By key, Null first, arrays element by element.
  void SortData();
  // The display value of the pair with that key, Unassigned when none.  A key
  // that cannot be compared with the cached ones raises Exception.
  Variant ValueOfKey(const Variant& KeyValue) const;

private:
  std::vector<TLookupPairEh*> FList;
};

class TDBLookupDataEh : public TPersistent, public IMTEventReceiverEh {
  RTL_CLASS(TDBLookupDataEh, TPersistent)
public:
  // AColumn is the owning bar; it outlives the lookup data.
  explicit TDBLookupDataEh(ILookupDataBarEh* AColumn);
  // Lets go of the lookup dataset while the descendant is whole.
  void BeforeDestruction() override;
  ~TDBLookupDataEh() override;

  // published properties
  String KeyFieldNames();
  void SetKeyFieldNames(const String& Value);
  bool LookupCache() const { return FLookupCache; }
  void SetLookupCache(bool Value);
  TDataSet* LookupDataSet() { return GetLookupDataSet(); }
  void SetLookupDataSet(TDataSet* Value);
  String LookupDisplayFieldName();
  void SetLookupDisplayFieldName(const String& Value);
  String LookupKeyFieldNames();
  void SetLookupKeyFieldNames(const String& Value);
  // The four definition properties are stored only while the bar's field does
  // not define them.
  bool LookupDataIsStored() const { return !FLookupInDataField; }

  // public, read-only
  ILookupDataBarEh* AxisBar() const { return FAxisBar; }
  TDataSource* DataSource() const { return FDataLink->DataSource(); }
  const TFieldsArrEh& KeyFields() const { return FKeyFields; }
  bool LookupActive() const { return FLookupActive; }
  TField* LookupDisplayField() const { return FLookupDisplayField; }
  // True from the start of the destructor: the links, which the destructor
  // detaches one by one, then forward nothing to the half-freed object.
  bool Destroying() const { return FDestroying; }
  bool LookupInDataField() const { return FLookupInDataField; }
  bool LookupIsSetUp() const { return FLookupIsSetUp; }
  const TFieldsArrEh& LookupKeyFields() const { return FLookupKeyFields; }
  // True when the lookup is active and every key field of the current record
  // is Null.
  bool KeyFieldsIsNull();

  void UpdateLookupState() { UpdateDataFields(); }
  // The display value of the current record: Null while inactive; through the
  // cache Unassigned for a missing key, else the dataset's Lookup (Null).
  Variant GetLookupValue();
  // The key of the current record (one value or an array).
  Variant GetKeyValue();
  TDataSet* GetLookupDataSet();

  // reimplemented
  void Assign(TPersistent* Source) override;

  // introduced virtuals, in slot order
  // 0 when the object implements the interface, else E_NOINTERFACE.
  virtual Integer QueryInterface(const TGUID& IID, void*& Obj);
  virtual Variant GetLookupValueOfRow(Integer Row);
  virtual void DataFieldsChanged() { UpdateDataFields(); }
  virtual void UpdateIntMemTable();
  virtual void ReservedNotify() {}
  virtual void LookupDataSetChanged() {}
  virtual void ReceiveMTEvent(Integer RowNum, TMTViewEventTypeEh Event, Integer OldRowNum);
  virtual void UpdateDataFields();
  virtual void UpdateLookupFields();
  virtual void UpdateInternalLookupSource();
  virtual void RefreshLookupListCache();

  // the memory table's event receiver
  void MTViewDataEvent(Integer RowNum, TMTViewEventTypeEh Event, Integer OldRowNum) override {
    ReceiveMTEvent(RowNum, Event, OldRowNum);
  }

protected:
  void CheckNotInDataField();
  void CheckCircularDataLink();
  void SetLookupInDataField(bool Value);
  void UpdateLookupIsSetUp();
  void UpdateLookupActive();

private:
  bool computeActive() const;
  // The bar's field when it is a lookup field that is not being destroyed.
  TField* lookupBarField() const;

  ILookupDataBarEh* FAxisBar;
  TDataSourceLinkEh* FDataLink;
  TDataSource* FInternalLookupSource;
  String FKeyFieldNames;
  TFieldsArrEh FKeyFields;
  bool FLookupActive = false;
  bool FLookupCache = true;
  TDataSet* FLookupDataSet = nullptr;
  TField* FLookupDisplayField = nullptr;
  String FLookupDisplayFieldName;
  bool FLookupInDataField = false;
  bool FLookupIsSetUp = false;
  String FLookupKeyFieldNames;
  TFieldsArrEh FLookupKeyFields;
  TListSourceLinkEh* FLookupLink;
  bool FLookupListActive = false;
  TLookupListEh* FLookupListCache;
  bool FDataFieldsUpdating = false;
  IMemTableEh* FIntMemTable = nullptr;
  bool FDestroying = false;
};
