// Fields named by a ";"-list, their values as one variant, a data link that
// reports every data event to its owner, and the sorted distinct texts of
// one dataset field, read again only when the dataset reports a relevant
// change.
#pragma once

#include "gridlib/base/basecontrols.h"
#include "gridlib/base/memtableintf.h"
#include "platform/db/datasource.h"

class TList;
class TStringList;

// Adds each field named in FieldNames to List (when given).  The first name
// DataSet lacks raises EDatabaseError "Field '%s' not found" for Component;
// the fields found before it stay in List.
void GetFieldListByNamesEh(TList* List, TDataSet* DataSet, TComponent* Component, const String& FieldNames);
// The same walk, as an array in the order named.
TFieldsArrEh GetFieldsArrayByNamesEh(TDataSet* DataSet, TComponent* Component, const String& FieldNames);
// One field: its value; several: a variant array 0..Count-1 of their values.
// Fields must not be empty.
Variant GetFieldValuesEh(const TFieldsArrEh& Fields);
// Null clears every named field; any other value goes to FieldValues.
void SetFieldValuesEh(TDataSet* DataSet, const String& FieldNames, const Variant& Value);

using TDataEventEh = TMethodPtr<void(TDataEvent Event, std::intptr_t Info)>;

class TDataLinkEh : public TDataLink {
  RTL_CLASS(TDataLinkEh, TDataLink)
public:
  TDataLinkEh() = default;
  TDataEventEh OnDataEvent;

protected:
  // reimplemented
  void DataEvent(TDataEvent Event, std::intptr_t Info) override;
};

// Reference counted: the last IPtr frees it (or Free when none ever held it).
class TDatasetFieldValueListEh : public TInterfacedObject, public IMemTableDataFieldValueListEh {
  RTL_CLASS(TDatasetFieldValueListEh, TInterfacedObject)
public:
  TDatasetFieldValueListEh();
  ~TDatasetFieldValueListEh() override;

  // Read again first when obsolete.
  TStrings* GetValues() override;
  TStrings* Values() { return GetValues(); }
  // Accepted and ignored.
  void SetFilter(const String& Filter) override;

  const String& FieldName() const { return FFieldName; }
  void SetFieldName(const String& Value);
  TDataSource* DataSource() const { return FDataLink->DataSource(); }
  void SetDataSource(TDataSource* Value);
  TDataSet* DataSet() const;
  void SetDataSet(TDataSet* Value);
  bool CaseSensitive() const;
  void SetCaseSensitive(bool Value);

  // introduced virtual
  virtual void DataEvent(TDataEvent Event, std::intptr_t Info);

protected:
  void RefreshValues();

private:
  TDataLinkEh* FDataLink;
  bool FDataObsoleted = false;
  TDataSource* FDataSource;  // used when a dataset rather than a source is given
  String FFieldName;
  TStringList* FValues;
};
