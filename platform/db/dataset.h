// TDataSet: the dataset protocol every dataset class derives from.
//
// A dataset class supplies storage and a cursor through the virtual protocol
// (AllocRecordBuffer, GetRecord, InternalFirst, InternalPost, bookmarks ...);
// the engine here owns the states, the Before/After events, the record-buffer
// window that data links read, the data events, bookmarks, Locate/Lookup,
// calculated fields and the filter properties.
//
// The record-buffer window ("ring"), BufferCount + 1 handles made by
// AllocRecordBuffer:
//
//   index:   0    1    2    3    4   ...  BufferCount
//           [r7] [r8] [r9] [r10][  ] ...  [  ]
//           |<- BufferedRecordCount ->|^ TempBuffer: where the next read lands
//                 ^ ActiveRecord (r8 is the current record)
//
//   Invariants:
//     0 <= BufferedRecordCount <= BufferCount; BufferCount = max of the
//       attached links' BufferCount, at least 1, while open; 0 when closed
//     ActiveRecord < BufferedRecordCount unless the window is empty (then 0)
//     TempBuffer() = Buffers(BufferedRecordCount): every GetRecord of the
//       engine reads into it, and a successful read joins the window by moving
//       handles, never by copying records
//     CurrentRecord = the window index the descendant's cursor sits on, -1
//       when unknown; SetCurrentRecord repositions by the buffer's flag
//   Shifting the window rotates handles; nothing is allocated per step.
//
// Field values cross the boundary as Variants (GetFieldData/SetFieldData):
// descendants keep values in their buffers and answer for the buffer the
// state implies (browse/edit/insert: ActiveBuffer; dsCalcFields: CalcBuffer;
// dsFilter: TempBuffer).
//
// Destruction: Free() closes the dataset while the dataset class is whole.  A
// dataset class destroyed by a plain delete must Close in its own destructor.
#pragma once

#include "platform/db/dbtypes.h"
#include "platform/rtl/component.h"
#include "platform/rtl/variant.h"

#include <memory>
#include <vector>

class TDataLink;
class TDataSource;
class TField;
class TFieldDefs;
class TFields;
class TIndexDefs;
class TParams;
class TStream;
class TStrings;

class TDataSet : public TComponent {
  RTL_CLASS(TDataSet, TComponent)
public:
  explicit TDataSet(TComponent* AOwner);
  ~TDataSet() override;
  // Closes (without events) and detaches every data source while the
  // dataset class is still whole.
  void BeforeDestruction() override;
  // Active, AutoCalcFields, Filter, Filtered, FilterOptions and the events.
  static void DescribeProperties(TPropertyTable& Props);

  // opening and closing
  // Active is false in dsInactive and dsOpening.  Setting it while loading
  // waits for Loaded.
  bool Active() const { return FState != dsInactive && FState != dsOpening; }
  virtual void SetActive(bool Value);
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }
  // "Cannot perform this operation on a closed/an open dataset".
  void CheckActive();
  void CheckInactive();

  // state
  TDataSetState State() const { return FState; }
  bool Modified() const { return FModified; }
  bool Bof() const { return FBOF; }
  bool Eof() const { return FEOF; }
  // No current record: the active row lies past the buffered records.
  bool IsEmpty() const { return FActiveRecord >= FRecordCount; }
  bool CanModify() { return GetCanModify(); }
  bool AutoCalcFields() const { return FAutoCalcFields; }
  void SetAutoCalcFields(bool Value) { FAutoCalcFields = Value; }
  bool ControlsDisabled() const { return FDisableCount != 0; }
  // The fields were made from FieldDefs at open (no persistent fields).
  bool DefaultFields() const { return FDefaultFields; }
  // -1 when the dataset class cannot tell.
  int RecordCount() { return GetRecordCount(); }
  // 1-based position of the current record, -1 when unknown.
  int RecNo() { return GetRecNo(); }
  virtual void SetRecNo(int Value);
  virtual bool IsSequenced();
  // The data source this dataset follows (master), nullptr by default.
  virtual TDataSource* GetDataSource();
  virtual TUpdateStatus UpdateStatus();
  // Whether DataSource, through datasets and their own sources, reaches this
  // dataset.
  bool IsLinkedTo(TDataSource* DataSource);

  // fields
  TFields* Fields() const { return FFields; }
  TFields* AggFields() const { return FAggFields; }
  int FieldCount() const;
  TFieldDefs* FieldDefs() const { return FFieldDefs; }
  // Every def, nested ones included: the defs here are flat, so FieldDefs.
  TFieldDefs* FieldDefList() const { return FFieldDefs; }
  // Case-insensitive; nullptr when absent.
  TField* FindField(const String& FieldName);
  // FindField, or "Field '%s' not found" for this dataset.
  TField* FieldByName(const String& FieldName);
  // The field with FieldNo (1-based), nullptr when none.
  TField* FieldByNumber(int FieldNo);
  // Replaces List's lines with the field names in field order.
  void GetFieldNames(TStrings* List);
  // Appends the fields named in the ";"-list FieldNames (FieldByName each).
  void GetFieldList(std::vector<TField*>& List, const String& FieldNames);
  // One name: that field's Value; several: a variant array in name order.
  virtual Variant GetFieldValue(const String& FieldNames);
  // One name: Value; several: Value must be an array of exactly as many
  // elements (EVariantError otherwise), element i going to field i.
  virtual void SetFieldValue(const String& FieldNames, const Variant& Value);
  Variant FieldValues(const String& FieldNames) { return GetFieldValue(FieldNames); }
  void SetFieldValues(const String& FieldNames, const Variant& Value) { SetFieldValue(FieldNames, Value); }

  // field value transport; descendants serve the buffer the state implies
  // False when the value is Null (Value is then Null too).
  virtual bool GetFieldData(TField* Field, Variant& Value) = 0;
  // Descendants: CheckFieldWrite, Field->Validate, store, NotifyFieldChanged.
  virtual void SetFieldData(TField* Field, const Variant& Value) = 0;
  // A memory stream over the field's value (the caller frees it).
  virtual TStream* CreateBlobStream(TField* Field, TBlobStreamMode Mode);
  // The field class for a data type (the class table of the field classes).
  virtual TClass GetFieldClass(TFieldType FieldType);

  // navigation
  void First();
  void Last();
  void Next() { MoveBy(1); }
  void Prior() { MoveBy(-1); }
  // Answers the distance moved (negative backwards).
  int MoveBy(int Distance);

  // editing
  // An empty dataset inserts instead.
  void Edit();
  void Insert();
  void Append();
  void Post();
  void Cancel();
  void Delete();
  void Refresh();
  // Posts or cancels a pending edit (by Modified) so the dataset browses.
  void CheckBrowseMode();
  // Links write their pending values (deUpdateRecord).
  void UpdateRecord();

  // bookmarks (empty = none)
  TBookmark Bookmark() { return GetBookmark(); }
  void SetBookmark(const TBookmark& Value) { GotoBookmark(Value); }
  // The active record's bookmark when a current record exists.
  virtual TBookmark GetBookmark();
  // Empty: nothing; else moves there (the dataset class raises "Record not
  // found" for an unknown one).
  void GotoBookmark(const TBookmark& Value);
  // Kept for callers; bookmarks free themselves.
  void FreeBookmark(TBookmark&) {}
  virtual bool BookmarkValid(const TBookmark& Value);
  // -1/0/1; empties: both 0, only the first 1, only the second -1.
  virtual int CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2);

  // searching
  // Scans from the first record without moving the visible cursor; moves to
  // the match (scroll events) and answers true, else changes nothing.
  virtual bool Locate(const String& KeyFields, const Variant& KeyValues, TLocateOptions Options);
  // The result fields of the first exact match (one value or an array), Null
  // when none; the cursor never moves.
  virtual Variant Lookup(const String& KeyFields, const Variant& KeyValues, const String& ResultFields);
  virtual bool FindRecord(bool Restart, bool GoForward);
  virtual bool GetCurrentRecord(TRecordBuffer Buffer);

  // the window as controls see it
  // Re-reads the window around the descendant's current record and sends
  // deDataSetChange.  rmExact: that record must exist ("Record not found");
  // rmCenter: it is centred; none: it keeps its row where possible.  A
  // dataset class may hold it back during its own bulk work.
  virtual void Resync(TResyncModes Mode);
  // The descendant's cursor no longer matches any buffer.
  void CursorPosChanged() { FCurrentRecord = -1; }
  // Puts the descendant's cursor on the active record.
  void UpdateCursorPos();

  // controls: nested; see DataEvent for what links hear meanwhile
  void DisableControls();
  void EnableControls();

  // filters: on an open dataset a change re-filters from the first record
  const String& Filter() const { return FFilterText; }
  void SetFilter(const String& Value) { SetFilterText(Value); }
  bool Filtered() const { return FFiltered; }
  virtual void SetFiltered(bool Value);
  TFilterOptions FilterOptions() const { return FFilterOptions; }
  virtual void SetFilterOptions(TFilterOptions Value);
  const TFilterRecordEvent& OnFilterRecord() const { return FOnFilterRecord; }
  virtual void SetOnFilterRecord(const TFilterRecordEvent& Value);

  // provider support (stubs)
  virtual String PSGetKeyFields();
  virtual TIndexDefs* PSGetIndexDefs(TIndexOptions IndexTypes);
  virtual TParams* PSGetParams();

  // events
  TDataSetNotifyEvent BeforeOpen;
  TDataSetNotifyEvent AfterOpen;
  TDataSetNotifyEvent BeforeClose;
  TDataSetNotifyEvent AfterClose;
  TDataSetNotifyEvent BeforeInsert;
  TDataSetNotifyEvent AfterInsert;
  TDataSetNotifyEvent BeforeEdit;
  TDataSetNotifyEvent AfterEdit;
  TDataSetNotifyEvent BeforePost;
  TDataSetNotifyEvent AfterPost;
  TDataSetNotifyEvent BeforeCancel;
  TDataSetNotifyEvent AfterCancel;
  TDataSetNotifyEvent BeforeDelete;
  TDataSetNotifyEvent AfterDelete;
  TDataSetNotifyEvent BeforeScroll;
  TDataSetNotifyEvent AfterScroll;
  TDataSetNotifyEvent BeforeRefresh;
  TDataSetNotifyEvent AfterRefresh;
  TDataSetNotifyEvent OnCalcFields;
  TDataSetNotifyEvent OnNewRecord;
  TDataSetErrorEvent OnEditError;
  TDataSetErrorEvent OnPostError;
  TDataSetErrorEvent OnDeleteError;

protected:
  // record buffers (pure: the dataset class owns the storage)
  virtual TRecordBuffer AllocRecordBuffer() = 0;
  // Releases Buffer and sets it to NoRecordBuffer.
  virtual void FreeRecordBuffer(TRecordBuffer& Buffer) = 0;
  virtual int GetRecordSize();
  // Fills Buffer with the record at the cursor (gmCurrent) or the next/prior
  // one, its bookmark and flag bfCurrent; calls GetCalcFields(Buffer) and
  // skips records FilterAccepts refuses.
  virtual TGetResult GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) = 0;
  virtual void InternalInitRecord(TRecordBuffer Buffer) = 0;
  // InternalInitRecord, ClearCalcFields, flag bfInserted.
  virtual void InitRecord(TRecordBuffer Buffer);

  // cursor
  // Opens the cursor before the first record and makes and binds the fields
  // (CreateFields when DefaultFields, BindFields(true)).
  virtual void InternalOpen() = 0;
  virtual void InternalClose() = 0;
  virtual bool IsCursorOpen() = 0;
  virtual void InternalInitFieldDefs() = 0;
  // InfoQuery: InternalInitFieldDefs only; else InternalOpen, then the
  // record-buffer window is made.
  virtual void OpenCursor(bool InfoQuery);
  // Frees the window, InternalClose, unbinds and frees default fields.
  virtual void CloseCursor();
  // Fills FieldDefs, opening the cursor for information when closed.
  virtual void InitFieldDefs();
  virtual void InternalFirst() = 0;
  virtual void InternalLast() = 0;
  virtual void InternalGotoBookmark(const TBookmark& Bookmark) = 0;
  virtual void InternalSetToRecord(TRecordBuffer Buffer) = 0;

  // bookmarks of buffers
  // Data arrives sized BookmarkSize.
  virtual void GetBookmarkData(TRecordBuffer Buffer, TBookmark& Data) = 0;
  virtual void SetBookmarkData(TRecordBuffer Buffer, const TBookmark& Data) = 0;
  virtual TBookmarkFlag GetBookmarkFlag(TRecordBuffer Buffer) = 0;
  virtual void SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) = 0;

  // editing steps; the base ones do nothing unless said
  virtual void InternalEdit();
  virtual void InternalInsert();
  virtual void InternalCancel();
  virtual void InternalRefresh();
  // Checks required fields: the first Required, writable data field that is
  // Null gets the focus, then "Field '%s' must have a value".  Dataset
  // classes call it before storing.
  virtual void InternalPost();
  virtual void InternalDelete() = 0;
  // Base: "Operation not supported".
  virtual void InternalAddRecord(TRecordBuffer Buffer, bool Append);
  // Hands the exception being handled to the application handler.  Call it
  // inside a catch block only.
  virtual void InternalHandleException();

  // properties of the dataset class
  virtual bool GetCanModify();
  virtual int GetRecordCount();
  virtual int GetRecNo();

  // fields
  // One field per FieldDef that is not hidden (unless FieldDefs.HiddenFields).
  virtual void CreateFields();
  // Binding: data fields get their FieldNo from the def of their name (type
  // checked); lookup fields check their information.  Unbinding resets them.
  virtual void BindFields(bool Binding);
  // Frees the fields made from FieldDefs.
  void DestroyFields();
  virtual void DefChanged(TObject* Sender);
  virtual void UpdateIndexDefs();

  // calculated fields
  // Sets CalcBuffer, clears and computes the lookup values (unless
  // dsInternalCalc), then OnCalcFields.
  virtual void CalculateFields(TRecordBuffer Buffer);
  // Sets the calculated and lookup fields of Buffer to Null.
  virtual void ClearCalcFields(TRecordBuffer Buffer);
  virtual void RefreshInternalCalcFields(TRecordBuffer Buffer);
  virtual Variant GetAggregateValue(TField* Field);
  virtual void ResetAggField(TField* Field);

  // events: each Do* fires its handler when assigned
  virtual void DoBeforeOpen();
  virtual void DoAfterOpen();
  virtual void DoBeforeClose();
  virtual void DoAfterClose();
  virtual void DoBeforeInsert();
  virtual void DoAfterInsert();
  virtual void DoBeforeEdit();
  virtual void DoAfterEdit();
  virtual void DoBeforePost();
  virtual void DoAfterPost();
  virtual void DoBeforeCancel();
  virtual void DoAfterCancel();
  virtual void DoBeforeDelete();
  virtual void DoAfterDelete();
  virtual void DoBeforeScroll();
  virtual void DoAfterScroll();
  virtual void DoBeforeRefresh();
  virtual void DoAfterRefresh();
  virtual void DoOnCalcFields();
  virtual void DoOnNewRecord();

  // Notifies the engine and every attached data source.  deFieldChange
  // (Info: the field) sets Modified for data fields and recalculates in
  // dsEdit/dsInsert with AutoCalcFields; deFocusControl carries a TField**.
  // While controls are disabled only links that are not VisualControl hear
  // events, data sources fire none of their own, and deUpdateState reaches
  // every link as deDisabledStateChange (Info 1 when active, else 0).
  virtual void DataEvent(TDataEvent Event, std::intptr_t Info);

  // filters
  // Parses first (a parse error keeps the old text), then re-filters.
  virtual void SetFilterText(const String& Value);
  // Store a filter property without parsing or re-filtering, for a dataset
  // class that filters in its own view: the setters above would compile the
  // text a second time and go First, doubling the re-read and its events.
  void StoreFilterText(const String& Value) { FFilterText = Value; }
  void StoreFiltered(bool Value) { FFiltered = Value; }
  void StoreOnFilterRecord(const TFilterRecordEvent& Value) { FOnFilterRecord = Value; }
  void StoreFilterOptions(TFilterOptions Value) { FFilterOptions = Value; }
  // Whether the record in Buffer (TempBuffer) passes Filter and
  // OnFilterRecord; true when not Filtered.  EAbort propagates, other
  // exceptions are reported and leave the verdict reached so far.
  bool FilterAccepts(TRecordBuffer Buffer);

  // reimplemented
  void Loaded() override;
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;

  // engine services for dataset classes
  int ActiveRecord() const { return FActiveRecord; }
  // Moves the active row inside the window without events.
  void SetActiveRecord(int Value);
  int BufferCount() const { return FBufferCount; }
  int BufferedRecordCount() const { return FRecordCount; }
  TRecordBuffer Buffers(int Index) const { return FBuffers[Index]; }
  // NoRecordBuffer while closed.
  TRecordBuffer ActiveBuffer() const;
  TRecordBuffer TempBuffer() const;
  TRecordBuffer CalcBuffer() const { return FCalcBuffer; }
  // Empties the window (Bof and Eof true, cursor unknown).
  void ClearBuffers();
  // The record just read into the spare becomes the only, active record.
  void ActivateBuffers();
  // Read one record after the last (before the first) buffered one into the
  // window; false at the end.
  bool GetNextRecord();
  int GetNextRecords();
  bool GetPriorRecord();
  int GetPriorRecords();
  int CurrentRecord() const { return FCurrentRecord; }
  void SetCurrentRecord(int Index);
  // A state without events for reading other buffers; nests; answers the
  // state to give RestoreState.
  TDataSetState SetTempState(TDataSetState Value);
  void RestoreState(TDataSetState Value);
  // Changes the state (clearing Modified) and sends deUpdateState.
  void SetState(TDataSetState Value);
  int BookmarkSize() const { return FBookmarkSize; }
  void SetBookmarkSize(int Value) { FBookmarkSize = Value; }
  // Computes the calculated and lookup fields of Buffer in dsCalcFields when
  // the dataset has any.
  void GetCalcFields(TRecordBuffer Buffer);
  void SetModified(bool Value) { FModified = Value; }
  // The write guard of SetFieldData: "Dataset not in edit or insert mode"
  // outside the write states for data fields; "Field '%s' cannot be
  // modified" for read-only data fields outside dsSetKey/dsFilter.
  void CheckFieldWrite(TField* Field);
  // After a stored value: deFieldChange unless the state is a calculation or
  // filter state.
  void NotifyFieldChanged(TField* Field);

private:
  friend class TAggregateField;  // reads GetAggregateValue
  friend class TDataLink;
  friend class TDataSource;
  friend class TField;
  friend class TFields;
  friend class TFieldDef;
  friend class TFieldDefs;

  struct TFilterState;

  // window
  void setBufferCount(int Value);
  void setBufListSize(int Value);
  void moveBuffer(int CurIndex, int NewIndex);
  void adjustFirstRecord(int Delta);
  void updateBufferCount();
  // data sources
  void addDataSource(TDataSource* DataSource);
  void removeDataSource(TDataSource* DataSource);
  // sequences
  void openDataSet();
  void closeDataSet();
  void beginInsertAppend();
  void endInsertAppend();
  void checkCanModify();
  template <class Operation>
  void checkOperation(Operation Op, const TDataSetErrorEvent& ErrorEvent);
  void refilter();
  // The compiled Text, nullptr for a blank one (nothing to test).
  std::unique_ptr<TFilterState> parseFilter(const String& Text, TFilterOptions Options);
  // Scans from the first record for the first one matching; on success it
  // stays in TempBuffer.  The descendant's cursor is left unknown.
  bool locateRecord(const String& KeyFields, const Variant& KeyValues, TLocateOptions Options);
  bool hasCalcFields() const { return FCalcFieldCount > 0; }

  // state
  TDataSetState FState = dsInactive;
  bool FModified = false;
  bool FBOF = true;
  bool FEOF = true;
  bool FAutoCalcFields = true;
  bool FDefaultFields = false;
  bool FStreamedActive = false;
  int FDisableCount = 0;
  TDataSetState FDisableState = dsInactive;
  TDataEvent FEnableEvent = deDataSetChange;

  // window
  std::vector<TRecordBuffer> FBuffers;  // BufferCount + 1 while open
  int FBufferCount = 0;
  int FRecordCount = 0;
  int FActiveRecord = 0;
  int FCurrentRecord = -1;
  TRecordBuffer FCalcBuffer = NoRecordBuffer;
  int FBookmarkSize = 0;

  // fields
  TFields* FFields = nullptr;       // owned
  TFields* FAggFields = nullptr;    // owned
  TFieldDefs* FFieldDefs = nullptr; // owned
  int FCalcFieldCount = 0;          // calculated and lookup fields bound

  // links
  std::vector<TDataSource*> FDataSources;  // attach order; not owned

  // filter
  String FFilterText;
  bool FFiltered = false;
  TFilterOptions FFilterOptions;
  TFilterRecordEvent FOnFilterRecord;
  std::unique_ptr<TFilterState> FFilter;  // the parsed text
};
