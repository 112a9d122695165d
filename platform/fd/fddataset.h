// TFDDataSet: a dataset that holds all its rows in memory and shows them
// through a client-side view, with cached updates.
//
// The view a dataset shows is   index order ∩ master range ∩ filter:
//   - IndexFieldNames orders the records (stable: ties keep fetch order);
//   - a master-detail link keeps the records whose detail fields equal the
//     master's current values; when the index leads with the detail fields
//     the range is a binary-searched slice, otherwise a pass over the order;
//   - Filter/OnFilterRecord (the engine's evaluator) keep what they accept.
// A detail follows its master at once through a master data link that is
// silenced like a control while the master's controls are disabled (it
// catches up when they are enabled), and it re-ranges only when the
// master's link values change.  Locate and Lookup are the engine's: they
// scan the view and move once, or not at all.
// Posted changes go into the change log (fdchangelog.h) and to the
// database only through ApplyUpdates, or at once when CachedUpdates is off.
//
// Buffer protocol: a record buffer holds a record id (and, while editing,
// the edited values); browse buffers read the store directly, so values are
// decoded only when a field is read.  Bookmarks are (open generation, record
// id): valid while the record exists and is in the view, across index,
// filter and range changes and Refresh, never after Close/Open.
//
// The cursor is a view position.  Changes to the store mark the view stale;
// it is rebuilt on next use and the cursor found again by its record: a
// record that left the view leaves the cursor where it would be, so the next
// record becomes current.
#pragma once

#include "platform/db/dataset.h"
#include "platform/db/fieldclasses.h"
#include "platform/fd/fdchangelog.h"
#include "platform/fd/fdoptions.h"
#include "platform/fd/fdstore.h"

#include <memory>
#include <span>
#include <vector>

class TMasterDataLink;

// Text of a declared length (VARCHAR(n)): the length is informational and a
// value is never cut, because the database does not enforce it.
class TFDStringField : public TStringField {
  RTL_CLASS(TFDStringField, TStringField)
public:
  explicit TFDStringField(TComponent* AOwner) : TStringField(AOwner) {}
  void SetAsString(const String& AValue) override;
};

// An INTEGER column: SQLite's integers are 64-bit, so the field writes and
// keeps every one of them (AsInteger refuses those beyond 32 bits).
class TFDIntegerField : public TIntegerField {
  RTL_CLASS(TFDIntegerField, TIntegerField)
public:
  explicit TFDIntegerField(TComponent* AOwner) : TIntegerField(AOwner) { SetLargeValues(true); }
};

// One change handed to the database by ApplyItems.
struct TFDApplyItem {
  TFDChangeKind Kind = TFDChangeKind::Modify;
  const TFDRow* Old = nullptr;  // Modify, Delete: the values the database holds
  const TFDRow* New = nullptr;  // Insert, Modify: the values to write
  TFDRow ReadBack;              // Insert: the row as stored (keys, defaults); empty: as New
};

class TFDDataSet : public TDataSet {
  RTL_CLASS(TFDDataSet, TDataSet)
public:
  explicit TFDDataSet(TComponent* AOwner);
  // A dataset destroyed by delete closes itself here.
  ~TFDDataSet() override;
  // CachedUpdates, IndexFieldNames, IndexesActive, MasterSource,
  // MasterFields, DetailFields, UpdateOptions, FetchOptions.
  static void DescribeProperties(TPropertyTable& Props);

  // client-side order
  // ";"-list of "name[:options]", options A (ascending, the default), D
  // (descending), N (ignore case), combinable ("name:DN").  On an open
  // dataset an unknown name raises "Field '%s' not found" and keeps the
  // previous order; the current record stays current.  "" = fetch order.
  const String& IndexFieldNames() const { return FIndexFieldNames; }
  void SetIndexFieldNames(const String& Value);
  // Stored only: it governs index definitions, never IndexFieldNames.
  bool IndexesActive() const { return FIndexesActive; }
  void SetIndexesActive(bool Value) { FIndexesActive = Value; }

  // master-detail
  TDataSource* MasterSource() const;
  void SetMasterSource(TDataSource* Value);
  // ";"-list of the master's fields; "" = no link (the whole result).
  const String& MasterFields() const;
  void SetMasterFields(const String& Value);
  // The detail's fields matched to MasterFields; "" = the first index
  // fields, or else the master field names.
  const String& DetailFields() const { return FDetailFields; }
  void SetDetailFields(const String& Value);

  // cached updates
  // Off: every Post and Delete is applied at once.
  bool CachedUpdates() const { return FCachedUpdates; }
  void SetCachedUpdates(bool Value) { FCachedUpdates = Value; }
  // The change log holds entries (pending or applied).
  bool UpdatesPending() const { return !FChangeLog.Empty(); }
  int ChangeCount() const { return FChangeLog.Count(); }
  // Posts a pending edit, then writes every pending entry in one atomic
  // step: on failure nothing is written, every entry stays pending and the
  // database error is raised (EFDDBEngineException).  Applied entries are
  // never written again.  Answers 0 (the error count).
  int ApplyUpdates(int MaxErrors = -1);
  // Applied entries leave the log; pending ones stay.
  void CommitUpdates();
  // Cancels an unposted edit, then reverts every pending entry (applied ones
  // are in the database and stay).
  void CancelUpdates();
  TFDUpdateOptions* UpdateOptions() const { return FUpdateOptions.get(); }
  void SetUpdateOptions(TFDUpdateOptions* Value) { FUpdateOptions->Assign(Value); }
  TFDFetchOptions* FetchOptions() const { return FFetchOptions.get(); }
  void SetFetchOptions(TFDFetchOptions* Value) { FFetchOptions->Assign(Value); }

  // reimplemented
  TUpdateStatus UpdateStatus() override;
  bool GetFieldData(TField* Field, Variant& Value) override;
  void SetFieldData(TField* Field, const Variant& Value) override;
  TClass GetFieldClass(TFieldType FieldType) override;
  bool IsSequenced() override { return true; }
  // Moves to the 1-based view position; outside 1..RecordCount nothing.
  void SetRecNo(int Value) override;
  TDataSource* GetDataSource() override { return MasterSource(); }
  bool BookmarkValid(const TBookmark& Value) override;
  // View positions when both are shown, else record ids; a bookmark outside
  // the view sorts after one inside.
  int CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) override;
  void SetFiltered(bool Value) override;
  void SetFilterOptions(TFilterOptions Value) override;
  void SetOnFilterRecord(const TFilterRecordEvent& Value) override;

  // services of the layer
  // The transaction level Level ended: entries applied in it pass to the
  // parent level (commit) or become pending again (rollback).
  void LevelCommitted(int Level);
  void LevelRolledBack(int Level);
  // For asserts and tests: store, view and change log agree.
  bool CheckConsistency();

protected:
  // reimplemented: the buffer protocol
  TRecordBuffer AllocRecordBuffer() override;
  void FreeRecordBuffer(TRecordBuffer& Buffer) override;
  TGetResult GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) override;
  void InternalInitRecord(TRecordBuffer Buffer) override;
  // Makes and binds the fields over FieldDefs and shows the store's records
  // (dataset classes load the store first).
  void InternalOpen() override;
  void InternalClose() override;
  bool IsCursorOpen() override { return FCursorOpen; }
  void InternalInitFieldDefs() override;
  void InternalFirst() override;
  void InternalLast() override;
  void InternalGotoBookmark(const TBookmark& Bookmark) override;
  void InternalSetToRecord(TRecordBuffer Buffer) override;
  void GetBookmarkData(TRecordBuffer Buffer, TBookmark& Data) override;
  void SetBookmarkData(TRecordBuffer Buffer, const TBookmark& Data) override;
  TBookmarkFlag GetBookmarkFlag(TRecordBuffer Buffer) override;
  void SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) override;
  void InternalEdit() override;
  void InternalCancel() override;
  // Re-runs the rows (FetchRows) and lays the change log over them: a row
  // matched to a record (by KeyColumns, else all values) keeps the record's
  // id and any pending change; pending inserts stay.
  void InternalRefresh() override;
  void InternalPost() override;
  void InternalDelete() override;
  bool GetCanModify() override;
  int GetRecordCount() override;
  int GetRecNo() override;
  // Fills the detail fields from the master before the handler runs.
  void DoOnNewRecord() override;
  void SetFilterText(const String& Value) override;

  // introduced virtuals: what a dataset class adds
  // Writes Items in one atomic step, filling ReadBack of inserts; raises
  // with nothing written.  Base: nothing to write to.
  virtual void ApplyItems(std::span<TFDApplyItem> Items);
  // The transaction level applied changes belong to (0: durable).
  virtual int ApplyLevel();
  // The rows as they are now, for Refresh; false when there is nothing to
  // run again (base).
  virtual bool FetchRows(std::vector<TFDRow>& Rows);
  // Columns that identify a row for Refresh; empty: all of them.
  virtual std::vector<int> KeyColumns();

  // for dataset classes
  // Replaces the records (before InternalOpen or in FetchRows' place).
  void LoadRows(std::vector<TFDRow> Rows);
  // The column of a data field in the rows, -1 for other kinds.
  static int ColumnOf(TField* Field);

private:
  struct TFDBuffer;
  enum class TRangeKind { None, Empty, Keys };

  static TFDBuffer* buffer(TRecordBuffer Handle) { return reinterpret_cast<TFDBuffer*>(Handle); }
  static TRecordBuffer handle(TFDBuffer* Buffer) { return reinterpret_cast<TRecordBuffer>(Buffer); }
  TFDBuffer* stateBuffer();
  Variant* calcSlot(TFDBuffer* Buffer, TField* Field);
  TFDRow packValues(const std::vector<Variant>& Values) const;
  std::vector<Variant> unpackRow(const TFDRow& Row) const;

  // view and cursor
  void ensureView();
  void rebuildView();
  bool accepts(TFDRecordId Id);
  bool filtering();
  bool inRange(const TFDRow& Row, const std::vector<TFDValueRef>& Keys) const;
  void setCursor(int Pos);
  // Where Id is in the view, else where it would be; -1 for ids not stored.
  int positionOf(TFDRecordId Id);
  // Re-reads the window with Id current when it is still shown, else the
  // record that took its place.
  void resyncOn(TFDRecordId Id);
  TFDRecordId currentId();
  static TBookmark bookmarkOf(std::uint32_t Generation, TFDRecordId Id);
  // The id of one of this open's bookmarks; NoRecordId otherwise.
  TFDRecordId idOf(const TBookmark& Bookmark) const;

  // order and range
  TFDRowOrder parseIndex(const String& Names);
  void resolveDetailColumns();
  void readMasterRange();
  void masterChanged(TObject* Sender);
  void masterDisabled(TObject* Sender);

  // changes
  void applyOne(TFDApplyItem& Item);
  void revert(TFDChange& Change);
  void overlayRows(std::vector<TFDRow> Rows);

  // records
  TFDRecordStore FStore;
  TFDChangeLog FChangeLog;
  bool FCursorOpen = false;
  std::uint32_t FGeneration = 0;  // bumped by every open
  int FColumnCount = 0;           // values per row
  std::vector<TField*> FCalcFields;  // calculated and lookup fields, slot order
  std::unique_ptr<TFDBuffer> FScratch;  // the record a filter is testing
  TFDBuffer* FFilterBuffer = nullptr;

  // view and cursor
  TFDView FView;
  bool FViewDirty = true;
  int FCursor = -1;                // -1: before the first; view size: after the last
  TFDRecordId FCursorId = NoRecordId;  // the record at FCursor, kept to find it again

  // order
  String FIndexFieldNames;
  bool FIndexesActive = true;

  // range
  std::unique_ptr<TMasterDataLink> FMasterLink;
  String FDetailFields;
  std::vector<TField*> FDetailFieldList;  // matched to the master fields
  bool FRangeBinary = false;             // the order leads with the detail fields
  TRangeKind FRangeKind = TRangeKind::None;
  std::vector<Variant> FRangeValues;

  // options
  bool FCachedUpdates = false;
  std::unique_ptr<TFDUpdateOptions> FUpdateOptions;
  std::unique_ptr<TFDFetchOptions> FFetchOptions;
};
