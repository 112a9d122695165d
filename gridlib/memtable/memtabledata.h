// The data container behind one memory table: it owns the field structure,
// the records list and the auto-increment counter, fans records-list
// notifications out to its notificators, computes calculated fields through
// one event and is the unit saved to and loaded from the memory-table stream.
//
// The memory-table stream is a component stream ("TPF0"):
//
//   object TMemTableDataEh ""      root, no name
//     AutoIncCurValue = n            only when the counter left InitValue
//     object TMTDataStructEh "DataStruct"      when StoreStructInStream
//       object TMT<Kind>DataFieldEh "<unique name>"   per field, in order:
//         FieldName, Calculated, then the kind's published properties
//         that differ from their defaults
//     object TRecordsListEh "RecordsList"      when StoreRecordsInStream
//       Data = ( ( value per field ) ... )     only when there are records
//
// "Data" is a list of records, each a list of one value per field of the
// structure, so the structure must be read before the records.  Values:
// binary types as vaBinary (Null: count 0); Null as vaNil; FMT-BCD as its
// invariant text; text with the UTF-8 string tag when not ASCII; anything
// else in the generic value encoding.
#pragma once

#include "gridlib/base/basecontrols.h"
#include "gridlib/memtable/datastruct.h"
#include "gridlib/memtable/recordslist.h"
#include "platform/rtl/component.h"

class TMemoryRecordEh;

using TVariantArrayEh = std::vector<Variant>;
using TMemoryRecordEventEh = TMethodPtr<void(TMemoryRecordEh* MemRec, TVariantArrayEh& FieldValues)>;

// Auto-increment values: CurValue, then CurValue + Step; -1, -2, -3 ... by
// default.
class TAutoIncrementEh : public TPersistent {
  RTL_CLASS(TAutoIncrementEh, TPersistent)
public:
  TAutoIncrementEh();
  static void DescribeProperties(TPropertyTable& Props);
  // From another counter: Step and InitValue.
  void Assign(TPersistent* Source) override;

  // Answers CurValue and then advances it by Step.
  Integer Promote();
  void Reset() { FCurValue = FInitValue; }

  // properties
  Integer Step() const { return FStep; }
  void SetStep(Integer Value) { FStep = Value; }
  Integer InitValue() const { return FInitValue; }
  // Moves CurValue along while it still equals the old InitValue.
  void SetInitValue(Integer Value);
  Integer CurValue() const { return FCurValue; }
  void SetCurValue(Integer Value) { FCurValue = Value; }

private:
  Integer FStep = -1;
  Integer FInitValue = -1;
  Integer FCurValue = -1;
};

class TMemTableDataEh : public TComponent {
  RTL_CLASS(TMemTableDataEh, TComponent)
public:
  explicit TMemTableDataEh(TComponent* AOwner);
  void AfterConstruction() override;
  void BeforeDestruction() override;

  // notificators (not owned)
  void RemoveNotificator(TRecordsListNotificatorEh* Item);
  bool HasApplyUpdatesHandlers() const;
  Integer NotificatorCount() const { return FNotificators.Count(); }

  // Writes the handler's values of calculated fields into Rec (Null where it
  // left an element unassigned); nothing without a handler.
  void CalculateRecordFields(TMemoryRecordEh* Rec);

  // properties
  TAutoIncrementEh* AutoIncrement() { return GetAutoIncrement(); }
  TMTDataStructEh* DataStruct() { return GetDataStruct(); }
  TRecordsListEh* RecordsList() { return GetRecordsList(); }
  bool IsEmpty() { return GetDataStruct()->Count() == 0; }
  bool RestructMode() const { return FRestructMode; }
  bool StoreStructInStream() const { return FStoreStructInStream; }
  void SetStoreStructInStream(bool Value) { FStoreStructInStream = Value; }
  bool StoreRecordsInStream() const { return FStoreRecordsInStream; }
  void SetStoreRecordsInStream(bool Value) { FStoreRecordsInStream = Value; }
  const TIntArrayEh& IncFieldIndexes() const { return FIncFieldIndexes; }
  const TMemoryRecordEventEh& OnFieldCalculation() const { return FOnFieldCalculation; }
  // Recomputes the calculated fields of every record when the handler changes.
  void SetOnFieldCalculation(const TMemoryRecordEventEh& Value);

  // introduced virtuals
  virtual TRecordsListEh* CreateRecordsList();
  virtual TAutoIncrementEh* GetAutoIncrement();
  virtual TMTDataStructEh* GetDataStruct();
  virtual TRecordsListEh* GetRecordsList();
  virtual void AddNotificator(TRecordsListNotificatorEh* Item);
  virtual void ApplyUpdates(TMemTableDataEh* AMemTableData);
  virtual void DataStructChanging();
  virtual void RecordsListNotify(TMemoryRecordEh* Rec, Integer Index, TRecordsListNotification Action);
  virtual void RecordMoved(TMemoryRecordEh* Item, Integer OldIndex, Integer NewIndex);
  virtual void SetAutoIncrement(TAutoIncrementEh* Value);
  virtual void SetAutoIncValue(TMemoryRecordEh* Rec);
  virtual void DataStructChanged();
  // "MemTableData already in RestructMode." when already restructuring;
  // answers the edit copy of the structure.
  virtual TMTDataStructEh* BeginRestruct();
  virtual Integer FetchRecords(Integer Count);
  virtual void CancelRestruct();
  // Leaves restructure mode; the edit copy is not applied.
  virtual void CommitRestruct();
  virtual void DestroyTable();
  virtual void ResetRecords();

protected:
  // reimplemented
  void ReadState(TReader* Reader) override;
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;
  void DefineProperties(TFiler* Filer) override;

  TAutoIncrementEh* FAutoIncrement = nullptr;
  TMTDataStructEh* FDataStruct = nullptr;
  TIntArrayEh FIncFieldIndexes;
  TMTDataStructEh* FNewDataStruct = nullptr;
  TObjectListEh FNotificators;
  TRecordsListEh* FRecordsList = nullptr;
  bool FRestructMode = false;
  bool FStoreStructInStream = false;
  bool FStoreRecordsInStream = false;
  TMemoryRecordEventEh FOnFieldCalculation;

private:
  TRecordsListNotificatorEh* notificator(Integer Index) const;
  void readAutoIncCurValue(TReader* Reader);
  void writeAutoIncCurValue(TWriter* Writer);
  void findComponentClassForReader(TReader* Reader, const String& ClassName, TClass& ComponentClass);
  void createComponentForReader(TReader* Reader, TClass ComponentClass, TComponent*& Component);
  void ancestorNotFoundForReader(TReader* Reader, const String& ComponentName, TClass ComponentClass,
                                 TComponent*& Component);
};

// A throw-away container over another container's structure, for applying
// one change at once; it gives no auto-increment values.
class TMemTableDataShadowEh : public TMemTableDataEh {
  RTL_CLASS(TMemTableDataShadowEh, TMemTableDataEh)
public:
  // Owned by AMasterTable.
  explicit TMemTableDataShadowEh(TMemTableDataEh* AMasterTable);

  TMTDataStructEh* GetDataStruct() override;
  void SetAutoIncValue(TMemoryRecordEh* Rec) override {}

private:
  TMemTableDataEh* FMasterTable;
};
