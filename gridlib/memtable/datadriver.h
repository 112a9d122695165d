// TDataDriverEh: what fills a memory table from a source and sends its
// cached changes back.
//
// A driver serves one memory table at a time, its consumer.  It produces a
// reader dataset (its provider dataset by default, or whatever
// OnProduceDataReader hands over), builds the table's data structure from
// the reader's fields, reads records in portions into the table's records
// list, refreshes single records, and resolves each logged change either
// through OnUpdateRecord or, by default, through the provider dataset:
// located by key fields and edited, inserted into or deleted from.
//
// The overridable steps come in threes: a public operation calls its
// handler when one is assigned and a virtual default operation otherwise
// (RefreshRecord calls OnRefreshRecord or DefaultRefreshRecord).
//
// Lifetime.  The provider dataset is not owned (watched by free
// notification).  A reader lives from GetDataReader until ProviderEOF
// becomes true, when a reader the driver owns (FreeOnEof) is freed, or until
// the consumer closes.
#pragma once

#include "gridlib/base/sideownedcomponent.h"
#include "gridlib/memtable/memoryrecord.h"
#include "platform/rtl/component.h"
#include "platform/rtl/methodptr.h"

#include <vector>

class TDataSet;
class TFields;
class TFiler;
class TMemTableDataEh;
class TMemoryRecordEh;
class TMTDataStructEh;
class TReader;
class TWriter;

class TDataDriverEh;

// A memory table may not read from itself through its own driver.
inline constexpr const char* SCircularProviderDataSetEh =
    "Circular of ProviderDataSet and TMemTableEh.DataDriver assigning is not allowed";

// What to do with a change whose resolution raised a database error.
RTL_ENUM(TUpdateErrorActionEh, ueaBreakAbortEh, ueaBreakRaiseEh, ueaCountinueEh, ueaRetryEh, ueaCountinueSkip)

// events
using TDataDriverProduceDataReaderEhEvent =
    TMethodPtr<void(TDataDriverEh* DataDriver, TDataSet*& DataReader, bool& FreeOnEof)>;
using TDataDriverBuildDataStructEhEvent = TMethodPtr<void(TDataDriverEh* DataDriver, TMTDataStructEh* DataStruct)>;
using TDataDriverReadRecordEhEvent = TMethodPtr<void(TDataDriverEh* DataDriver, TMemTableDataEh* MemTableData,
                                                     TMemoryRecordEh* MemRec, bool& ProviderEOF)>;
using TDataDriverAssignFieldValueEhEvent =
    TMethodPtr<void(TDataDriverEh* DataDriver, TMemTableDataEh* MemTableData, TMemoryRecordEh* MemRec,
                    Integer DataFieldIndex, TDataValueVersionEh DataValueVersion, TDataSet* ReaderDataSet)>;
using TDataDriverRecordEhEvent =
    TMethodPtr<void(TDataDriverEh* DataDriver, TMemTableDataEh* MemTableData, TMemoryRecordEh* MemRec)>;
using TDataDriverUpdateErrorEhEvent = TMethodPtr<void(TDataDriverEh* DataDriver, TMemTableDataEh* MemTableData,
                                                      TMemoryRecordEh* MemRec, TUpdateErrorActionEh& Action)>;

// What a driver implements so that a memory table can name itself its
// consumer (the object is not owned).
class IDataDriverConsumerEh : public IInterface {
public:
  static constexpr TGUID IID = TGUID::Literal("{E390BBF2-666F-43D7-8CC8-1FA2BA8263D1}");
  virtual void SetDataDriverConsumer(TObject* DataDriverConsumer) = 0;
  virtual TObject* GetDataDriverConsumer() = 0;
};

class TDataDriverEh : public TComponent, public IDataDriverConsumerEh, public ISideOwnedComponentEh {
  RTL_CLASS(TDataDriverEh, TComponent)
public:
  // ---------------------------------------------------------------------
  // reimplemented, in slot order
  explicit TDataDriverEh(TComponent* AOwner);
  void BeforeDestruction() override;
  ~TDataDriverEh() override;
  void DefineProperties(TFiler* Filer) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // ---------------------------------------------------------------------
  // introduced virtuals, in slot order
  // True when the driver can have a side parent and Component is it.
  bool IsSideParent(TComponent* Component) override;
  // Lets a descendant adjust a structure built by default (nothing here).
  virtual void AdjustDataStruct(TFields* Fields, TMTDataStructEh* DataStruct);
  void SetSideParent(TComponent* Component) override;
  virtual bool ConnectionIsPostponed();
  virtual void AddPostponedActivationDataSet(TDataSet* ADataSet);
  // Resolves the change log of MemTableData; answers the count resolved.
  virtual Integer ApplyUpdates(TMemTableDataEh* MemTableData);
  // Resolves one change to the provider dataset; 1 when it was resolved.
  virtual Integer DefaultUpdateRecord(TMemTableDataEh* MemTableData, TMemoryRecordEh* MemRec);
  // The current reader while not at its end, else a new one (nullptr for
  // none); clears the field map either way.
  virtual TDataSet* GetDataReader();
  // Adds up to Count records read from the reader (every remaining one for
  // a negative Count); answers how many.
  virtual Integer ReadData(TMemTableDataEh* MemTableData, Integer Count);
  // True when a provider parameter has a field of its name in DataSet with
  // another value.
  virtual bool RefreshReaderParamsFromCursor(TDataSet* DataSet);
  virtual void AssignFieldValue(TMemTableDataEh* MemTableData, TMemoryRecordEh* MemRec, Integer DataFieldIndex,
                                TDataValueVersionEh DataValueVersion, TDataSet* ReaderDataSet);
  virtual void BuildDataStruct(TMTDataStructEh* DataStruct);
  // The consumer closed: the provider closes and no more is read.
  virtual void ConsumerClosed(TDataSet* ConsumerDataSet);
  virtual void DefaultAssignFieldValue(TMemTableDataEh* MemTableData, TMemoryRecordEh* MemRec,
                                       Integer DataFieldIndex, TDataValueVersionEh DataValueVersion,
                                       TDataSet* ReaderDataSet);
  virtual void DefaultBuildDataStruct(TMTDataStructEh* DataStruct);
  // The provider dataset, opened at its first record, not owned.
  virtual TDataSet* DefaultProduceDataReader(bool& FreeOnEof);
  virtual void DefaultReadRecord(TMemTableDataEh* MemTableData, TMemoryRecordEh* MemRec, bool& ProviderEOF);
  virtual void DefaultRefreshRecord(TMemoryRecordEh* MemRecord);
  virtual void DefaultUpdateError(TMemTableDataEh* MemTableData, TMemoryRecordEh* MemRec,
                                  TUpdateErrorActionEh& Action);
  virtual void RefreshReader();
  virtual void RefreshRecord(TMemoryRecordEh* MemRecord);
  virtual void SetReaderParamsFromCursor(TDataSet* DataSet);
  virtual void UpdateRecord(TMemTableDataEh* MemTableData, TMemoryRecordEh* MemRec);

  // ---------------------------------------------------------------------
  // IDataDriverConsumerEh
  void SetDataDriverConsumer(TObject* DataDriverConsumer) override;
  TObject* GetDataDriverConsumer() override { return FDataDriverConsumer; }

  // ---------------------------------------------------------------------
  // properties
  bool ProviderEOF() const { return FProviderEOF; }
  void SetProviderEOF(bool Value);
  bool ResolveToDataSet() const { return FResolveToDataSet; }
  void SetResolveToDataSet(bool Value) { FResolveToDataSet = Value; }
  // For descendants to publish.
  const String& KeyFields() const { return FKeyFields; }
  void SetKeyFields(const String& Value) { FKeyFields = Value; }
  TDataSet* ProviderDataSet() const { return FProviderDataSet; }
  void SetProviderDataSet(TDataSet* Value);
  TDataSet* ReaderDataSet() const { return FReaderDataSet; }
  TComponent* SideParent() const { return FSideParent; }

  // events
  TDataDriverAssignFieldValueEhEvent OnAssignFieldValue;
  TDataDriverBuildDataStructEhEvent OnBuildDataStruct;
  TDataDriverProduceDataReaderEhEvent OnProduceDataReader;
  TDataDriverReadRecordEhEvent OnReadRecord;
  TDataDriverRecordEhEvent OnRefreshRecord;
  TDataDriverUpdateErrorEhEvent OnUpdateError;
  TDataDriverRecordEhEvent OnUpdateRecord;

  static void DescribeProperties(TPropertyTable& Props);

protected:
  // fields, in declaration order (the seven events are public above)
  TObject* FDataDriverConsumer = nullptr;  // not owned
  String FKeyFields;
  TDataSet* FProviderDataSet = nullptr;  // not owned
  bool FProviderEOF = false;
  TDataSet* FReaderDataSet = nullptr;  // owned only when FReaderDataSetFreeOnEof
  bool FReaderDataSetFreeOnEof = false;
  bool FResolveToDataSet = true;
  TComponent* FSideParent = nullptr;
  String FSideParentName;  // while loading from a stream
  // Per data-structure field, the index of the reader field of the same
  // name, -1 when none; empty until the first record is read.
  std::vector<Integer> FDataToRecFields;
  // Whether the driver can have a side parent; false in this class.
  bool FSideParentable = false;

private:
  void readSideParentName(TReader* Reader);
  void writeSideParentName(TWriter* Writer);
  void buildFieldMap(TMemoryRecordEh* MemRec, TDataSet* ReaderDataSet);
  // The names resolution locates records by in the provider.
  String resolutionKeyFields();
  void resolveToProvider(TMemoryRecordEh* MemRec, const String& KeyFieldNames);
};
