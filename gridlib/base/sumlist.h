// Footer aggregates: a collection of sums, averages, counts, minimums and
// maximums of dataset fields that TDBSumListProducer keeps in step with a
// dataset.
//
// The producer hooks the dataset's AfterOpen, AfterPost, AfterScroll,
// AfterDelete and AfterClose (and the AfterScroll of the master found through
// the dataset's "MasterSource" property), passes each event on to the handler
// that was installed before, and recalculates by walking every record with
// the dataset's controls disabled, or asks a memory table (IMemTableEh) to
// aggregate without moving the cursor.  Letting go writes the saved handlers
// back exactly as they were.
//
// With VirtualRecords the walk also lists every bookmark in traversal order,
// from which the producer answers record numbers and the record count.
#pragma once

#include "gridlib/base/bookmarklist.h"
#include "platform/rtl/collection.h"
#include "platform/rtl/component.h"
#include "platform/rtl/variant.h"

class TDataSet;
class TDataSource;
class TField;
class TDBSumListProducer;
struct TPropInfo;

RTL_ENUM(TGroupOperation, goSum, goAvg, goCount, goMin, goMax)

// One aggregate.  SumValue is what a footer shows.
class TDBSum : public TCollectionItem {
  RTL_CLASS(TDBSum, TCollectionItem)
public:
  explicit TDBSum(TCollection* Collection);
  static void DescribeProperties(TPropertyTable& Props);

  // properties
  const String& FieldName() const { return FFieldName; }
  void SetFieldName(const String& Value);
  TGroupOperation GroupOperation() const { return FGroupOperation; }
  void SetGroupOperation(TGroupOperation Value);

  // reimplemented
  void Assign(TPersistent* Source) override;

  Variant Value;
  Variant VarValue;  // the running minimum or maximum
  Variant SumValue;

private:
  friend class TDBSumListProducer;

  String FFieldName;  // empty: a count of all records
  TGroupOperation FGroupOperation = goSum;
  Integer FNotNullRecordCount = 0;  // of an average
  Variant FSumValueAsSum;           // the running sum of an average
};

class TDBSumCollection : public TCollection {
  RTL_CLASS(TDBSumCollection, TCollection)
public:
  explicit TDBSumCollection(TDBSumListProducer* Owner);

  // The first aggregate of that operation whose field name equals AFieldName
  // without case (locale); "" finds the count of all records.
  TDBSum* GetSumByOpAndFName(TGroupOperation AGroupOperation, const String& AFieldName);
  TDBSum* GetItem(Integer Index) const { return static_cast<TDBSum*>(Items(Index)); }
  void SetItem(Integer Index, TDBSum* Value) { TCollection::SetItem(Index, Value); }

protected:
  // reimplemented
  TPersistent* GetOwner() override;
  // Any change recalculates.
  void Update(TCollectionItem* Item) override;

private:
  TDBSumListProducer* FOwner;
};

// The virtual record list: bookmarks in traversal order.
class TSLBookmarkListEh : public TBMListEh {
  RTL_CLASS(TSLBookmarkListEh, TBMListEh)
public:
  explicit TSLBookmarkListEh(TDBSumListProducer* ASumListProducer) : FSumListProducer(ASumListProducer) {}
  TDataSet* GetDataSet() override;

private:
  TDBSumListProducer* FSumListProducer;
};

class TDBSumListProducer : public TPersistent {
  RTL_CLASS(TDBSumListProducer, TPersistent)
public:
  // AOwner's loading, design and destroying states gate the producer.
  explicit TDBSumListProducer(TComponent* AOwner);
  // Deactivates while the descendant is whole.
  void BeforeDestruction() override;
  ~TDBSumListProducer() override;

  // properties
  bool Active() const { return FActive; }
  void SetActive(bool Value);
  TDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TDataSet* Value);
  Integer RecNo() { return GetRecNo(); }
  bool ExternalRecalc() const { return FExternalRecalc; }
  void SetExternalRecalc(bool Value);
  TDBSumCollection* SumCollection() const { return FSumCollection; }
  void SetSumCollection(TDBSumCollection* Value);
  bool VirtualRecords() const { return FVirtualRecords; }
  void SetVirtualRecords(bool Value);
  bool DesignTimeWork() const { return FDesignTimeWork; }
  void SetDesignTimeWork(bool Value) { FDesignTimeWork = Value; }
  TSLBookmarkListEh* VirtualRecList() const { return FVirtualRecList; }
  bool EventsOverloaded() const { return FEventsOverloaded; }

  // events
  TNotifyEvent OnAfterRecalcAll;
  TNotifyEvent OnRecalcAll;
  TNotifyEvent SumListChanged;

  void Activate(bool ARecalcAll);
  void Deactivate(bool AClearSumValues);
  void ReactivateIfActive();
  // RecalcAll without SumListChanged.
  void RecalcAllSilently();
  bool BookmarkInVisibleView(const TBookmark& Bookmark);

  // reimplemented
  void Assign(TPersistent* Source) override;

  // introduced virtuals, in slot order
  virtual Integer GetRecNo();
  virtual Integer FindVirtualRecord(const TBookmark& Bookmark);
  // Value must be 1..RecordCount.
  virtual void SetRecNo(Integer Value);
  virtual void DataSetAfterClose(TDataSet* DataSet);
  virtual void DataSetAfterOpen(TDataSet* DataSet);
  virtual void DataSetAfterPost(TDataSet* DataSet);
  virtual void DataSetAfterScroll(TDataSet* DataSet);
  virtual void DataSetAfterDelete(TDataSet* DataSet);
  virtual void ResetDataSetEvents();
  virtual bool IsSequenced();
  virtual Integer RecordCount();
  virtual void ClearSumValues();
  virtual void RecalcAll();
  virtual void RecalcAllForIntMemTable();
  virtual void SetDataSetEvents();

  // public state
  bool Changing = false;  // a recalculation is walking the dataset
  String Filter;          // the dataset's filter at the end of the last recalculation
  bool Filtered = false;

protected:
  // reimplemented
  TPersistent* GetOwner() override;

  void MasterDataSetAfterScroll(TDataSet* DataSet);
  void DataSourceDataChange(TObject* Sender, TField* Field);
  void SumCollectionChanged();
  // The owner is not loading, and not designing unless DesignTimeWork.
  bool Working() const;
  TComponent* OwnerComponent() const { return FOwner; }

private:
  friend class TDBSumCollection;

  void fireSumListChanged();
  void takeFilterState();
  void recalcGeneral();
  void walkRecords(const std::vector<TField*>& Fields);
  bool canUseMemTable();

  bool FVirtualRecords = false;
  bool FActive = true;
  TDataSet* FDataSet = nullptr;
  bool FDesignTimeWork = false;
  bool FDataSetControlsWasDisabled = false;
  bool FEventsOverloaded = false;
  bool FExternalRecalc = false;
  TDataSource* FInternalDataSource;
  TDataSet* FMasterDataset = nullptr;
  const TPropInfo* FMasterPropInfo = nullptr;
  Integer FOldRecNo = -1;
  TComponent* FOwner;
  bool FRecalcAllSilently = false;
  TDBSumCollection* FSumCollection;
  TSLBookmarkListEh* FVirtualRecList;
  bool FDataSetChanging = false;
  TDataSetNotifyEvent OldAfterClose, OldAfterOpen, OldAfterPost, OldAfterScroll, OldAfterDelete,
      OldMasterAfterScroll;
};
