// TMemTableDataFieldValueListEh: the sorted distinct values of one field of a
// memory table's data, as texts, for the filter drop-downs of the data grid.
// It listens to its data object (a data container or a records view) and
// only marks itself obsolete on a change; the next read rebuilds it.
#pragma once

#include "gridlib/base/memtableintf.h"
#include "gridlib/memtable/recordslist.h"
#include "platform/rtl/interfaces.h"

class TDataSet;
class TDataSetExprParserEh;
class TRecordsViewEh;
class TStringList;

class TMemTableDataFieldValueListEh : public TInterfacedObject, public IMemTableDataFieldValueListEh {
  RTL_CLASS(TMemTableDataFieldValueListEh, TInterfacedObject)
public:
  // ADataSet (the memory table, not owned) decides case sensitivity by its
  // FilterOptions and types the filter text.
  explicit TMemTableDataFieldValueListEh(TDataSet* ADataSet);
  ~TMemTableDataFieldValueListEh() override;

  // Rebuilt first when obsolete.
  TStrings* GetValues() override;
  TStrings* Values() { return GetValues(); }
  // Only the records the filter accepts contribute (a data container only).
  void SetFilter(const String& Filter) override;

  const String& FieldName() const { return FFieldName; }
  // A new name rebuilds the list at once.
  void SetFieldName(const String& Value);
  TComponent* DataObject() const;
  void SetDataObject(TComponent* Value);
  bool DataObsoleted() const { return FDataObsoleted; }

  // introduced virtual
  virtual void NotificatorDataEvent(TMemoryRecordEh* MemRec, Integer Index, TRecordsListNotification Action);

private:
  void rebuild();
  void fromContainer(TMemTableDataEh* Data);
  void fromView(TRecordsViewEh* View);
  bool passesFilter(TMemoryRecordEh* Rec);

  bool FDataObsoleted = true;
  TDataSet* FDataSet;
  String FFieldName;
  String FFilter;
  TDataSetExprParserEh* FFilterExpr;     // owned
  TRecordsListNotificatorEh* FNotificator;  // owned
  TStringList* FValues;                  // owned
};
