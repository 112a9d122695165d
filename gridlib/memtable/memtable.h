// TCustomMemTableEh: a dataset whose records live in memory, in a data
// container (TMemTableDataEh) it owns or shares, shown through its records
// view (TRecordsViewEh), which filters, orders and arranges them as a tree.
//
// Record buffers.  The engine sees a buffer as an opaque handle; here it is
// the 1-based position of a TMTRecBuf in FRecordCache (0: none).  A buffer
// keeps no copy of its row: it names the memory record and reads it on
// demand until the first field write detaches it (TMTRecBuf::SetValue), so a
// browsed row costs one small object however many fields it has.
//
//   handle:     1       2       3      ...   FRecordCache.Count()
//             [buf]   [buf]   [free]   ...   [buf]
//   InUse       y       y       n              y
//
//   A released entry stays in the cache for reuse; only the last one is freed
//   at once, and only when the engine holds fewer buffers than the cache
//   count minus 2, so that the window's growing and shrinking does not churn.
//
// Bookmarks (TBookmarkDataEh, 16 bytes) name a record by its serial, an
// identity no other record ever takes, so a bookmark of a freed record stays
// invalid instead of naming whatever is allocated at the same address; the
// two positions in it are caches, refreshed before every use.
//
// Instant read.  Grids read any row without moving the cursor: a buffer
// pushed on FInstantBuffers becomes the one every field reads, until it is
// popped.  Each enter is matched by one leave.
//
// The records-view update bracket (BeginRecordsViewUpdate /
// EndRecordsViewUpdate) holds Resync back during bulk work: a Resync asked
// for inside only sets FRecordsViewUpdated, and the outermost forced end runs
// one, unless the table is editing or inserting.
//
// The class is split over several sources by subject: memtable.cpp (core,
// buffers, editing, streaming), memtable_fielddata.cpp (field values and
// calculated fields), memtable_navigation.cpp (bookmarks, moving, searching),
// memtable_services.cpp (fetching, receivers, shared data, value lists),
// memtable_view.cpp (filtering, view events, tree nodes, the grid interface),
// memtable_sort.cpp (sorting, instant read, cached updates, moving records),
// memtable_loadsave.cpp (loading and saving) and memtable_master.cpp (the
// table as a detail, and its data driver's part in opening and reloading).
#pragma once

#include "gridlib/base/basecontrols.h"
#include "gridlib/base/datasetfeatureshook.h"
#include "gridlib/base/memtableintf.h"
#include "gridlib/base/orderbylist.h"
#include "gridlib/memtable/memtabledata.h"
#include "platform/db/dataset.h"
#include "platform/rtl/interfaces.h"

#include <vector>

class TBaseTreeNodeEh;
class TBMListEh;
class TCustomMemTableEh;
class TDataDriverEh;
class TDataSetExprParserEh;
class TDataSource;
class TFieldListEh;
class TMasterDataLinkEh;
class TMemoryRecordEh;
class TMemoryTreeListEh;
class TMemRecViewEh;
class TMemTableFilterItemEh;
class TMemTableFiltersEh;
class TMemTableTreeListEh;
class TRecordsViewEh;
class TReader;
class TSortedVarlistEh;
class TStream;

RTL_ENUM(TMemTableOptionEh, mtoPersistentStructEh, mtoTextFieldsCaseInsensitive)
using TMemTableOptionsEh = TSet<TMemTableOptionEh>;
RTL_ENUM(TMemTableLoadOptionEh, tloUseCachedUpdatesEh, tloDisregardFilterEh, tloOpenOnLoad)
using TMemTableLoadOptionsEh = TSet<TMemTableLoadOptionEh>;
RTL_ENUM(TDfmStreamFormatEh, dfmBinaryEh, dfmTextEh)
RTL_ENUM(TMasterDetailSideEh, mdsOnSelfEh, mdsOnProviderEh, mdsOnSelfAfterProviderEh)

// events
using TMemTableChangeFieldValueEventEh =
    TMethodPtr<void(TCustomMemTableEh* MemTable, TField* Field, Variant& Value)>;
using TMTTreeNodeExpandingEventEh = TMethodPtr<void(TObject* Sender, Integer RecNo, bool& AllowExpansion)>;
using TRecordsViewTreeNodeExpandingEventEh =
    TMethodPtr<void(TObject* Sender, TMemRecViewEh* Node, bool& AllowExpansion)>;
using TRecordsViewTreeNodeExpandedEventEh = TMethodPtr<void(TObject* Sender, TMemRecViewEh* Node)>;
using TRecordsViewCheckMoveNodeEventEh = TMethodPtr<bool(TObject* Sender, TMemRecViewEh* SourceNode,
                                                         TMemRecViewEh* AppointedParent, Integer AppointedIndex)>;
using TGetOrderVarValueProcEh = TMethodPtr<void(Variant& VarValue, Integer Index)>;

// The variant equality of the table's searches: 32-bit integers by value;
// arrays of one shape element by element; an array never equals a
// non-array; otherwise the platform's equality, where a comparison that
// raises means "differ".
bool VarEqualEh(const Variant& V1, const Variant& V2);

// False for the field types a memory table cannot hold (cursors, arrays,
// references, nested data sets, connections, parameters, streams, objects).
bool IsMemTableFieldTypeEh(TFieldType Type);

// One key of an external sort.
struct TExternalSortDataItemEh {
  bool Desc = false;
  TFieldType DataType = ftUnknown;
};
using TExternalSortDataArrEh = std::vector<TExternalSortDataItemEh>;

// The sort keys of a physical sort (SortByFields, SortWithExternalProc) and
// of the sort orders of tree branches: FieldIndex values index the table's
// Fields.  Each parsed item keeps its field's data type and compares texts
// case-insensitively exactly when the table's FilterOptions hold
// foCaseInsensitive at parse time.  A name the table has no field for raises
// " Field - "<name>" not found."; another word where a direction or a
// separator belongs, " Invalid token - "<word>"".
class TMTOrderByList : public TOrderByList {
  RTL_CLASS(TMTOrderByList, TOrderByList)
public:
  // ADataSet (not owned) names the fields.
  explicit TMTOrderByList(TDataSet* ADataSet) : FDataSet(ADataSet) {}

  // reimplemented
  void SetItemFieldIndex(TOrderByItemEh* Item, Integer FieldIndex) override;
  Integer FieldIndexOfName(const String& Name) override;

private:
  TDataSet* FDataSet;
};

// The 16 bytes of a memory-table bookmark.
//
//   offset size field              meaning
//   0      8    RecSerial          TMemoryRecordEh::Serial: the identity (0: none)
//   8      4    RecViewIndex       row of the record when last resolved, -1 unknown
//   12     4    InSortedListIndex  position in the view's sorted list, -1 when
//                                  the record is not in the table
struct TBookmarkDataEh {
  UInt64 RecSerial = 0;
  qint32 RecViewIndex = -1;
  qint32 InSortedListIndex = -1;
};
static_assert(sizeof(TBookmarkDataEh) == 16, "a memory-table bookmark is 16 bytes");

// A record buffer: one row as the dataset engine holds it.
class TMTRecBuf : public TObject {
  RTL_CLASS(TMTRecBuf, TObject)
public:
  TMTRecBuf() = default;

  // The row's value of Field: the memory record's, or the node's lookup
  // buffer for a calculated or lookup field, while reading from the record;
  // else the buffer's own.
  Variant GetValue(TField* Field);
  // The record's old value of a data field when it has old data.
  Variant GetOldValue(TField* Field);
  // The first write of a data field copies every data value of the record
  // into Values and detaches the buffer from the record.
  void SetValue(TField* Field, const Variant& Value);
  // Resizes and clears Values when Len differs; else clears.
  void SetLength(Integer Len);
  void Clear();
  Integer ValueCount() const { return Integer(Values.size()); }

  bool InUse = false;
  TBookmarkDataEh BookmarkData;
  TBookmarkFlag BookmarkFlag = bfCurrent;
  Integer RecordStatus = -2;
  Integer RecordNumber = -2;
  bool NewTreeNodeExpanded = false;
  bool NewTreeNodeHasChildren = false;
  TMemRecViewEh* RecView = nullptr;
  TMemoryRecordEh* MemRec = nullptr;
  std::vector<Variant> Values;  // by the field's Index
  bool UseMemRec = false;
  bool NeedUpdateCalcFields = false;
  TDataSet* DataSet = nullptr;  // the table, for the data fields of a detach
};

class TCustomMemTableEh : public TDataSet, public IMemTableEh {
  RTL_CLASS(TCustomMemTableEh, TDataSet)
public:
  explicit TCustomMemTableEh(TComponent* AOwner);
  void BeforeDestruction() override;
  ~TCustomMemTableEh() override;

  // ---------------------------------------------------------------------
  // reimplemented: component and dataset, in slot order
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void ReadState(TReader* Reader) override;
  String PSGetKeyFields() override;
  TIndexDefs* PSGetIndexDefs(TIndexOptions IndexTypes) override;
  void ResetAggField(TField* Field) override;
  void BindFields(bool Binding) override;
  void CalculateFields(TRecordBuffer Buffer) override;
  void ClearCalcFields(TRecordBuffer Buffer) override;
  // Nothing to release: blob values live in the records.
  void CloseBlob(TField* Field);
  void CreateFields() override;
  void DataEvent(TDataEvent Event, std::intptr_t Info) override;
  void DefChanged(TObject* Sender) override;
  void DoOnNewRecord() override;
  // "FindRecord is not supported".
  bool FindRecord(bool Restart, bool GoForward) override;
  Variant GetAggregateValue(TField* Field) override;
  // The current bookmark as a 16-character string.
  String GetBookmarkStr();
  bool GetCanModify() override;
  TDataSource* GetDataSource() override;
  TClass GetFieldClass(TFieldType FieldType) override;
  int GetRecordCount() override;
  int GetRecNo() override;
  void InitFieldDefs() override;
  void InitRecord(TRecordBuffer Buffer) override;
  void InternalCancel() override;
  void InternalEdit() override;
  void InternalInsert() override;
  void InternalRefresh() override;
  void OpenCursor(bool InfoQuery) override;
  void RefreshInternalCalcFields(TRecordBuffer Buffer) override;
  void SetActive(bool Value) override;
  void SetFiltered(bool Value) override;
  void SetFilterText(const String& Value) override;
  void SetOnFilterRecord(const TFilterRecordEvent& Value) override;
  // Re-filters an open table: texts may compare without case now.
  void SetFilterOptions(TFilterOptions Value) override;
  void SetRecNo(int Value) override;
  void UpdateIndexDefs() override;
  TRecordBuffer AllocRecordBuffer() override;
  void FreeRecordBuffer(TRecordBuffer& Buffer) override;
  int GetRecordSize() override;
  void GetBookmarkData(TRecordBuffer Buffer, TBookmark& Data) override;
  TBookmarkFlag GetBookmarkFlag(TRecordBuffer Buffer) override;
  void InternalAddRecord(TRecordBuffer Buffer, bool Append) override;
  void InternalDelete() override;
  void InternalFirst() override;
  void InternalGotoBookmark(const TBookmark& Bookmark) override;
  void InternalInitRecord(TRecordBuffer Buffer) override;
  void InternalLast() override;
  void InternalPost() override;
  void InternalSetToRecord(TRecordBuffer Buffer) override;
  void SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) override;
  void SetBookmarkData(TRecordBuffer Buffer, const TBookmark& Data) override;
  void SetFieldData(TField* Field, const Variant& Value) override;
  TGetResult GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) override;
  void InternalClose() override;
  void InternalHandleException() override;
  void InternalInitFieldDefs() override;
  void InternalOpen() override;
  bool IsCursorOpen() override { return FActive; }
  bool BookmarkValid(const TBookmark& Value) override;
  int CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) override;
  // A TMemBlobStreamEh over the field; the caller owns it.
  TStream* CreateBlobStream(TField* Field, TBlobStreamMode Mode) override;
  TBookmark GetBookmark() override;
  bool GetCurrentRecord(TRecordBuffer Buffer) override;
  bool GetFieldData(TField* Field, Variant& Value) override;
  bool IsSequenced() override { return true; }
  bool Locate(const String& KeyFields, const Variant& KeyValues, TLocateOptions Options) override;
  Variant Lookup(const String& KeyFields, const Variant& KeyValues, const String& ResultFields) override;
  void Resync(TResyncModes Mode) override;
  TUpdateStatus UpdateStatus() override;
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;

  // ---------------------------------------------------------------------
  // introduced virtuals, in slot order
  // The buffer field access works on for the state (instant read first
  // unless IgnoreInstantRead); false when there is none.
  virtual bool GetActiveRecBuf(TMTRecBuf*& RecBuf, bool IgnoreInstantRead = false);
  virtual Integer CompareRecords(TMemoryRecordEh* Rec1, TMemoryRecordEh* Rec2, TObject* ParamSort);
  virtual Integer CompareTreeNodes(TBaseTreeNodeEh* Node1, TBaseTreeNodeEh* Node2, TObject* ParamSort);
  virtual Integer InternalApplyUpdates(TMemTableDataEh* AMemTableData, Integer MaxErrors);
  // A new container owned by this table.
  virtual TMemTableDataEh* CreateMemTableData();
  virtual void CreateIndexesFromDefs();
  // "Dataset not in edit or insert mode" in dsFilter.
  virtual void RecBufToRec(TMTRecBuf* Buffer, TMemoryRecordEh* Rec);
  virtual void InternalSortByFields(const String& SortByStr);
  virtual void RefreshFilteredView();
  virtual void MTViewDataEvent(Integer RowNum, TMTViewEventTypeEh Event, Integer OldRowNum);
  virtual void ApplySortOrder();
  virtual Integer ApplyUpdates(Integer MaxErrors);
  virtual bool GetFieldDataAsObject(TField* Field, TObject*& Value);
  virtual bool GetFieldValue(TField* Field, Variant& Value);
  virtual String GetFieldDisplayText(TField* Field);
  virtual void SetFieldDataAsObject(TField* Field, TObject* Value);
  using TDataSet::GetFieldValue;

  // ---------------------------------------------------------------------
  // structure and data (loading and saving are elsewhere)
  // Builds the structure from FieldDefs (or the persistent fields) and opens.
  void CreateDataSet();
  // Removes every record of an open table; a closed one is left alone.
  void EmptyTable();
  // Closes and destroys the container's structure and records.
  void DestroyTable();

  // loading and saving (memtable_loadsave.cpp); each answers the number of
  // records moved, and a RecordCount of 0 or less means every record.
  // "Cannot perform this operation on an open dataset" when open; drops the
  // definitions of types a memory table cannot hold; does not open.
  void CopyStructure(TDataSet* Source);
  // Through the dataset features registered for Source's class, else
  // DefaultLoadFromDataSet.
  Integer LoadFromDataSet(TDataSet* Source, Integer RecordCount, TLoadMode Mode, bool UseCachedUpdates);
  // A positive RecordCount starts at Source's current record.  Source is
  // closed again when it was closed; this table ends at its first record.
  Integer DefaultLoadFromDataSet(TDataSet* Source, Integer RecordCount, TLoadMode Mode, bool UseCachedUpdates);
  // A source sharing this table's container (itself included) loads nothing.
  Integer LoadFromMemTableEh(TCustomMemTableEh* Source, Integer RecordCount, TLoadMode Mode,
                             TMemTableLoadOptionsEh LoadOptions);
  // Appends the records to Dest, matching fields by name; Dest ends at its
  // first record, also after an error.
  Integer SaveToDataSet(TDataSet* Dest, Integer RecordCount);
  void SaveToStream(TStream* Stream, TDfmStreamFormatEh Format);
  // "Invalid stream format." for a stream of neither form; a stream that
  // fails to read raises the reader's error and leaves the table as it was.
  void LoadFromStream(TStream* Stream);
  void SaveToFile(const String& FileName, TDfmStreamFormatEh Format);
  void LoadFromFile(const String& FileName);
  void CancelUpdates();
  // "There are no records." without a current record.
  void RevertRecord();
  void RefreshRecord();
  void FetchParams() {}
  void ClearRecords();
  void InitFieldDefsFromFields();

  // ---------------------------------------------------------------------
  // record buffers for the other units
  void RecToRecBuf(TMemoryRecordEh* Rec, TMTRecBuf* Buffer, Integer RowIndex);
  void CopyRecBuf(TMTRecBuf* FromBuffer, TMTRecBuf* ToBuffer);
  TMTRecBuf* RecBuf(TRecordBuffer Buffer) const;

  // ---------------------------------------------------------------------
  // field data
  // Value as the buffer of Field's type holds it: text cut to the field's
  // size, numbers in the field's kind.  UnsupportedFieldTypeEh for a type
  // without a rule.
  Variant VarValueToValueBuffer(TField* Field, const Variant& Value);
  // The BCD and FMT-BCD limits of Field; raises "BCD overflow".
  void CheckFieldDataVarValue(TField* Field, Variant& VarValue);
  Variant CalcLookupValue(TField* Field);
  void RecordsViewCalcLookupBuffer(TMemoryRecordEh* Rec, TMemRecViewEh* Node);
  void MemTableDataFieldCalculation(TMemoryRecordEh* MemRec, TVariantArrayEh& Values);

  // ---------------------------------------------------------------------
  // bookmarks, moving, searching
  TBookmark RecToBookmark(TMemoryRecordEh* Rec);
  // nullptr for an empty bookmark or a record no longer in the table.
  TMemoryRecordEh* BookmarkToRec(const TBookmark& Bookmark);
  bool BookmarkInVisibleView(const TBookmark& Bookmark) override;
  Integer BookmarkToRecNo(const TBookmark& Bookmark);
  bool UniBookmarkValid(const TBookmark& Bookmark) { return BookmarkValid(Bookmark); }
  bool BookmarkStrValid(const TBookmark& Bookmark) { return BookmarkValid(Bookmark); }
  Integer UniBookmarkToRecNo(const TBookmark& Bookmark) { return BookmarkToRecNo(Bookmark); }
  Integer BookmarkStrToRecNo(const TBookmark& Bookmark) { return BookmarkToRecNo(Bookmark); }
  Integer InstantReadIndexOfBookmark(const TBookmark& Bookmark);
  void UpdateBookmarkIndexes(TBookmarkDataEh& Bookmark);
  void GotoMemRec(TMemoryRecordEh* Rec);
  // The 0-based row of the first match at or after StartRecIndex, -1.
  Integer FindRec(const String& KeyFields, const Variant& KeyValues, TLocateOptions Options,
                  Integer StartRecIndex, bool TryUseIndex);
  Variant LookupAll(const String& KeyFields, const Variant& KeyValues, const String& FieldName);

  // ---------------------------------------------------------------------
  // sorting, instant read, cached updates, moving records
  const String& SortOrder() const { return FSortOrder; }
  void SetSortOrder(const String& Value);
  void SortByFields(const String& SortByStr);
  void SortWithExternalProc(const TGetOrderVarValueProcEh& OrderValueProc,
                            const TExternalSortDataArrEh& DescDirections);
  // The caller frees the list.
  TMTOrderByList* ParseSortByFields(const String& SortByStr);
  void SortByOrderList(TMTOrderByList* OrderByList);
  void InstantReadEnter(Integer RowNum) override;
  void InstantReadEnter(TMemRecViewEh* RecView, Integer RowNum);
  void InstantReadEnter(TMemoryRecordEh* MemRec, Integer RowNum);
  void InstantReadLeave() override;
  Integer InstantReadViewRow();
  Integer InstantReadRowCount();
  Integer InstantReadCurRow();
  Integer GetInstantReadCurRow() { return InstantReadCurRow(); }
  bool InstantReadMode() const { return FInstantReadMode; }
  bool CachedUpdates();
  void SetCachedUpdates(bool Value);
  bool HasCachedChanges();
  void MergeChangeLog();
  void GetAggregatedValuesForRange(const TBookmark& FromBM, const TBookmark& ToBM, const String& FieldName,
                                   TAggrResultArr& ResultArr, TAggrFunctionsEh AggrFuncs) override;
  bool MoveRecord(Integer FromIndex, Integer ToIndex, Integer TreeLevel, bool CheckOnly);
  bool MoveRecords(TBMListEh* BookmarkList, Integer ToRecNo, Integer TreeLevel, bool CheckOnly);

  // ---------------------------------------------------------------------
  // filtering, view events, tree nodes, the grid interface
  void ParseFilterExpr();
  void ClearFilterExpr();
  bool RecordsViewFilterRecord(TMemoryRecordEh* Rec, TMemRecViewEh* Node);
  TObjectListEh* RecordsViewGetPrefilteredList();
  void RecordsViewDataEvent(TMemoryRecordEh* MemRec, Integer Index, TRecordsListNotification Action);
  void RecordsViewRecordMoved(TMemoryRecordEh* Item, Integer OldIndex, Integer NewIndex);
  TMemTableFilterItemEh* AddExtraFilter(const String& FilterText, const TFilterRecordEvent& FilterProc);
  bool UpdateExtraFilter(TMemTableFilterItemEh* Item, const String& FilterText,
                         const TFilterRecordEvent& FilterProc);
  bool RemoveExtraFilter(TMemTableFilterItemEh* Item);
  bool TreeListExpandedChanging(TBaseTreeNodeEh* Node);
  void TreeListExpandedChanged(TBaseTreeNodeEh* Node);
  void MTDisableControls();
  void MTEnableControls(bool ForceUpdateState);
  Integer SetRowTreeNodeExpanded(Integer RowNum, bool Expanded);
  bool HasNextVisibleSibling(Integer Level);
  bool HasPriorVisibleSibling(Integer Level);
  Integer PrevRowTreeNodeLevel();
  Integer NextRowTreeNodeLevel();
  bool IsTreeView();
  // Interface operations 3 and 13: constants callers rely on for nothing.
  Integer MemTableUnnamedInteger() { return 0; }
  bool MemTableUnnamedBoolean() { return true; }
  // Interface operation 20: the visible row of Rec becomes current.
  bool MemTableGotoRec(TMemoryRecordEh* Rec);
  String GetLikeWildcardForOneCharacter() { return QStringLiteral("_"); }
  String GetLikeWildcardForSeveralCharacters() { return QStringLiteral("%"); }
  // Interface operation 34: stops a running view rebuild.
  void StopFilter();

  // ---------------------------------------------------------------------
  // services for grids and drivers
  Integer FetchRecords(Integer Count) override;
  Integer FetchDriverRecords(Integer Count);
  void BeginRecordsViewUpdate();
  void EndRecordsViewUpdate(bool ForceResync);
  bool GotoRec(TMemoryRecordEh* Rec);
  void RegisterEventReceiver(TObject* Receiver) override;
  void UnregisterEventReceiver(TObject* Receiver) override;
  // nullptr for a field name the table does not have; the reference owns
  // the list.
  IPtr<IMemTableDataFieldValueListEh> GetFieldValueList(const String& FieldName);
  void DriverStructChanged();

  // ---------------------------------------------------------------------
  // master-detail (memtable_master.cpp)
  // Re-evaluates whether the table acts as a detail; with Refresh a change
  // re-reads or re-filters.
  void UpdateDetailMode(bool Refresh);
  // The driver's reader parameters from the master's current record.
  void SetDriverParamsFromMaster();
  void ReloadDetail();
  bool DetailMode() const { return FDetailMode; }

  // ---------------------------------------------------------------------
  // properties
  TMemoryRecordEh* Rec();
  TMemRecViewEh* RecView();
  TRecordsViewEh* RecordsView() const { return FRecordsView; }
  TMemTableDataEh* MemTableData() const { return FInternMemTableData; }
  TCustomMemTableEh* ExternalMemData() const { return FExternalMemData; }
  void SetExternalMemData(TCustomMemTableEh* Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  TMemTableOptionsEh Options() const { return FOptions; }
  void SetOptions(TMemTableOptionsEh Value);
  TUpdateStatusSet StatusFilter();
  void SetStatusFilter(TUpdateStatusSet Value);
  TAutoIncrementEh* AutoIncrement();
  void SetAutoIncrement(TAutoIncrementEh* Value);
  TIndexDefs* IndexDefs();
  void SetIndexDefs(TIndexDefs* Value);
  void SetFieldDefs(TFieldDefs* Value);
  bool StoreDefs() const { return FStoreDefs; }
  void SetStoreDefs(bool Value) { FStoreDefs = Value; }
  TParams* Params() const { return FParams; }
  void SetParams(TParams* Value);
  TMemTableFiltersEh* ExtraFilters() const { return FExtraFilters; }
  void SetExtraFilters(TMemTableFiltersEh* Value);
  bool AggregatesActive();
  void SetAggregatesActive(bool Value);
  TDataDriverEh* DataDriver() const { return FDataDriver; }
  void SetDataDriver(TDataDriverEh* Value);
  TUpdateErrorEh* UpdateError();
  bool FetchAllOnOpen() const { return FFetchAllOnOpen; }
  void SetFetchAllOnOpen(bool Value) { FFetchAllOnOpen = Value; }
  TMasterDetailSideEh MasterDetailSide() const { return FMasterDetailSide; }
  void SetMasterDetailSide(TMasterDetailSideEh Value);
  TDataSource* MasterSource() const;
  void SetMasterSource(TDataSource* Value);
  String MasterFields() const;
  void SetMasterFields(const String& Value);
  const String& DetailFields() const { return FDetailFields; }
  void SetDetailFields(const String& Value);
  TMemTableTreeListEh* TreeList() const { return FTreeList; }
  void SetTreeList(TMemTableTreeListEh* Value);
  TMemRecViewEh* TreeNode();
  Integer TreeNodeLevel();
  bool TreeNodeExpanded();
  void SetTreeNodeExpanded(bool Value);
  bool TreeNodeHasChildren();
  bool TreeNodeHasVisibleChildren();
  void SetTreeNodeHasVisibleChildren(bool Value);
  Integer TreeNodeChildCount();
  bool InLoaded() const { return FInLoaded; }

  // events
  const TMemTableChangeFieldValueEventEh& OnGetFieldValue() const { return FOnGetFieldValue; }
  void SetOnGetFieldValue(const TMemTableChangeFieldValueEventEh& Value) { FOnGetFieldValue = Value; }
  const TMemTableChangeFieldValueEventEh& OnSetFieldValue() const { return FOnSetFieldValue; }
  void SetOnSetFieldValue(const TMemTableChangeFieldValueEventEh& Value) { FOnSetFieldValue = Value; }
  TMTTreeNodeExpandingEventEh OnTreeNodeExpanding;
  TRecordsViewTreeNodeExpandingEventEh OnRecordsViewTreeNodeExpanding;
  TRecordsViewTreeNodeExpandedEventEh OnRecordsViewTreeNodeExpanded;
  TRecordsViewTreeNodeExpandedEventEh OnRecordsViewTreeNodeCollapsed;
  TRecordsViewCheckMoveNodeEventEh OnRecordsViewCheckMoveNode;

protected:
  // The facade's tree-wide operations fire the table's scroll event.
  friend class TMemTableTreeListEh;

  // The records view reads a structure change: reopen over it.
  void RecordsViewStructChanged(TMemTableDataEh* AMemTableData);
  void MasterChanged(TObject* Sender);
  // The engine's Resync, past the bracket.
  void ResyncNow(TResyncModes Mode) { TDataSet::Resync(Mode); }

  // fields, in declaration order
  bool FStateInsert = false;
  Integer FStateInsertRowNum = -1;
  TObjectListEh FEventReceivers;             // not owned
  TObjectListEh FRecordCache{true};          // owned TMTRecBuf entries
  bool FActive = false;
  Integer FAutoInc = 1;
  std::vector<Integer> FCalcFieldIndexes;
  TDataDriverEh* FDataDriver = nullptr;
  TDataSet* FDataSetReader = nullptr;
  TFieldListEh* FDetailFieldList = nullptr;  // owned
  String FDetailFields;
  bool FDetailMode = false;
  bool FFetchAllOnOpen = false;
  TDataSetExprParserEh* FFilterExpr = nullptr;  // owned
  std::vector<TRecordBuffer> FInstantBuffers;
  Integer FInstantReadCurRowNum = -1;
  TMasterDetailSideEh FMasterDetailSide = mdsOnSelfEh;
  Variant FMasterValues;
  TMTTreeNodeExpandingEventEh FOnTreeNodeExpanding;
  TParams* FParams = nullptr;
  bool FReadOnly = false;
  Integer FRecBufSize = -1;
  Integer FRecordPos = -1;
  TRecordsViewEh* FRecordsView = nullptr;    // owned
  TMemTableTreeListEh* FTreeList = nullptr;  // owned
  TIndexDefs* FIndexDefs = nullptr;          // owned, made on first use
  bool FStoreDefs = false;
  TObjectListEh FDetailRecList;
  bool FDetailRecListActive = false;
  TMemTableDataEh* FInternMemTableData = nullptr;  // owned, "MemTableData"
  TCustomMemTableEh* FExternalMemData = nullptr;
  Integer FRecordsViewUpdating = 0;
  bool FRecordsViewUpdated = false;
  TSortedVarlistEh* FMasterValList = nullptr;  // owned
  String FSortOrder;
  TMemTableChangeFieldValueEventEh FOnGetFieldValue;
  TMemTableChangeFieldValueEventEh FOnSetFieldValue;
  Integer FMTViewDataEventInactiveCount = 0;
  Integer FInactiveEventRowNum = -1;
  TMTViewEventTypeEh FInactiveEvent = mtViewDataChangedEh;
  Integer FInactiveEventOldRowNum = -1;
  bool FOldControlsDisabled = false;
  bool FOldActive = false;
  TMemTableOptionsEh FOptions;
  TMemTableFiltersEh* FExtraFilters = nullptr;  // owned
  TRecordBuffer FCalcBuffer = NoRecordBuffer;
  bool FInstantReadMode = false;
  TMasterDataLinkEh* FMasterDataLink = nullptr;  // owned
  String FAutoIncrementFieldName;
  bool FInLoaded = false;
  TGetOrderVarValueProcEh FGetOrderVarValueProc;
  TVariantArrayEh FSortingValues;
  // While a sort runs, every record's place under its order-by list, indexed
  // by the record's records-list index; made on the first comparison.
  struct TSortRanksEh {
    Integer Depth = 0;          // nested sorts open
    TObject* For = nullptr;     // the order-by list ranked, nullptr for none
    std::vector<Integer> Rank;  // empty: that list is compared field by field
  };
  TSortRanksEh FSortRanks;

private:
  // The parts of construction and destruction of the view unit's objects.
  void createViewParts();
  void destroyViewParts();
  // The row the bookmark data names, resolved; nullptr when gone.
  TMemoryRecordEh* recordOfSerial(const TBookmarkDataEh& Data, Integer& ViewIndex);
  // Starts loading the rows some way after Row for a reader going forward:
  // the stored value at DataIndex, or with -1 the first values of each.
  void prefetchRowsAhead(Integer Row, Integer DataIndex);
  bool fieldMatches(TField* Field, const Variant& KeyValue, TLocateOptions Options);
  bool rowMatches(const std::vector<TField*>& Fields, const Variant& KeyValues, TLocateOptions Options);
  // Reads driver records one at a time until the last row matches or the
  // provider ends; the matching row or -1.
  Integer fetchUntilMatch(const std::vector<TField*>& KeyFieldList, const Variant& KeyValues,
                          TLocateOptions Options);
  void checkWritable(TField* Field);
  void readMemTableDataComponent(TReader* Reader, TClass ComponentClass, TComponent*& Component);
  void findMemTableDataAncestor(TReader* Reader, const String& ComponentName, TClass ComponentClass,
                                TComponent*& Component);
  Integer instantReadTopBuffer() const;

  // loading and saving (memtable_loadsave.cpp)
  void appendEditedRecord(const std::vector<TField*>& SourceFields, TLoadMode Mode);
  void fetchLoadedRecord(const std::vector<TField*>& SourceFields, TLoadMode Mode);
  // The records LoadFromMemTableEh takes from this table as its source.
  std::vector<TMemoryRecordEh*> loadRange(Integer RecordCount, TMemTableLoadOptionsEh LoadOptions);
  void copyLoadedRecord(TMemoryRecordEh* SourceRec, TLoadMode Mode, TMemTableLoadOptionsEh LoadOptions);
  // Takes the structure, counter and records read into Incoming.
  void adoptLoadedData(TMemTableDataEh* Incoming);

  // sorting, instant read and moving records (memtable_sort.cpp)
  void computeExternalSortKeys(const TGetOrderVarValueProcEh& OrderValueProc, Integer KeyCount);
  bool sortsByKeys(TOrderByList* OrderByList);
  // ViewRow is Rec's row, or -1 when the view does not show it.
  Variant sortKeyOf(TMemoryRecordEh* Rec, TOrderByList* OrderByList, Integer ViewRow);
  Integer compareByKeys(TMemoryRecordEh* Rec1, TMemoryRecordEh* Rec2, TOrderByList* OrderByList);
  Integer compareByDataFields(TMemoryRecordEh* Rec1, TMemoryRecordEh* Rec2, TOrderByList* OrderByList);
  // A ranked sort is open between these; the ranks go when the last closes.
  void beginRankedSort() { ++FSortRanks.Depth; }
  void endRankedSort();
  void rankRecords(TObject* ParamSort);
  // Pushes a fresh instant-read buffer and answers its handle.
  TRecordBuffer pushInstantBuffer();
  // The record of the cursor's buffer (instant read aside), nullptr for none.
  TMemoryRecordEh* cursorRecord();
  // Rec's row becomes the cursor's position when the view still shows it.
  void restoreCursorRecord(TMemoryRecordEh* Rec);
  bool moveTreeRecord(Integer FromIndex, Integer ToIndex, Integer TreeLevel, bool CheckOnly);

  // data driver and master-detail (memtable_master.cpp)
  // The driver's reader becomes FDataSetReader, watched.
  void takeDriverReader();
  bool providerSide() const;
  // The master dataset while the link is active, nullptr otherwise.
  TDataSet* activeMaster() const;
  Variant masterValues() const;
  bool detailRecordMatches(TMemoryRecordEh* Rec);
  void fillDetailRecList();
  void assignDetailFieldsFromMaster();

  // filtering, view events and tree nodes (memtable_view.cpp)
  bool ownFilterActive();
  void applyFilterChange();
  void loadFilterBuffer(TMemoryRecordEh* Rec, TMemRecViewEh* Node);
  void unloadFilterBuffer();
  Integer viewPositionToRow(Integer Index) const;
  bool editing() const;
  void resyncUnlessEditing();
  void updateInsertRowState();
  void rebuildCalcFieldIndexes();
  TMemRecViewEh* currentNodeAtLevel(Integer Level);
  Integer neighbourRowLevel(Integer Offset);
};

// The memory table with its properties published for form streaming.
class TMemTableEh : public TCustomMemTableEh {
  RTL_CLASS(TMemTableEh, TCustomMemTableEh)
public:
  explicit TMemTableEh(TComponent* AOwner) : TCustomMemTableEh(AOwner) {}
  static void DescribeProperties(TPropertyTable& Props);
};
