// TDataSource, which connects a dataset to the controls and detail datasets
// that follow it, and TDataLink, through which each of them hears the
// dataset's data events.
//
// Delivery: TDataSet::DataEvent -> each attached TDataSource in attach order
// -> each of its links in attach order -> TDataLink::DataEvent, which turns
// the event into one of the link's virtuals.  A source never owns its links
// or its dataset; a link never owns its source.  Freeing either side detaches
// it from the other.
//
// A link sees BufferCount rows of the dataset's window, starting at its own
// FirstRecord:
//
//   dataset window:  [0] [1] [2] [3] [4]        ActiveRecord = 3
//   link rows:           [0] [1] [2]            FirstRecord = 1, BufferCount = 3
//
// After every change or scroll the link moves FirstRecord just enough to
// keep the active record among its rows; DataSetScrolled gets how many
// records the record in its row 0 advanced (positive = forward).
#pragma once

#include "platform/db/dbtypes.h"
#include "platform/rtl/component.h"

#include <cstdint>
#include <vector>

class TDataLink;

class TDataSource : public TComponent {
  RTL_CLASS(TDataSource, TComponent)
public:
  explicit TDataSource(TComponent* AOwner);
  ~TDataSource() override;
  // Detaches the dataset and every link while the source is whole.
  void BeforeDestruction() override;
  // AutoEdit, DataSet, Enabled and the events.
  static void DescribeProperties(TPropertyTable& Props);

  // properties
  TDataSet* DataSet() const { return FDataSet; }
  // A dataset that follows this source (directly or through others) raises
  // "Circular datalinks are not allowed".
  void SetDataSet(TDataSet* ADataSet);
  // A disabled source makes its links inactive.
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool AutoEdit() const { return FAutoEdit; }
  void SetAutoEdit(bool Value) { FAutoEdit = Value; }
  // The dataset's state, dsInactive without an enabled dataset.
  TDataSetState State() const { return FState; }

  // Puts a browsing dataset into dsEdit when AutoEdit.
  void Edit();
  // Whether ADataSet, through its master sources, follows this source.
  bool IsLinkedTo(TDataSet* ADataSet);

  // events
  // deFieldChange/deRecordChange with their field; change, scroll and layout
  // events with nullptr; also once when the source becomes active.
  TDataChangeEvent OnDataChange;
  TNotifyEvent OnStateChange;
  // deUpdateRecord: before a post, controls write their values.
  TNotifyEvent OnUpdateData;

protected:
  // Passes Event to the links and fires the source's own events; see
  // TDataSet::DataEvent for what is delivered while controls are disabled.
  virtual void DataEvent(TDataEvent Event, std::intptr_t Info);

  // reimplemented
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  friend class TDataSet;
  friend class TDataLink;

  void addDataLink(TDataLink* DataLink);
  void removeDataLink(TDataLink* DataLink);
  void updateState();
  void setState(TDataSetState Value);
  void detachAll();

  TDataSet* FDataSet = nullptr;          // not owned
  std::vector<TDataLink*> FDataLinks;    // attach order; not owned
  bool FEnabled = true;
  bool FAutoEdit = true;
  TDataSetState FState = dsInactive;
};

class TDataLink : public TPersistent {
  RTL_CLASS(TDataLink, TPersistent)
public:
  TDataLink() = default;
  // Leaves the source without calling the link's virtuals.
  ~TDataLink() override;

  // properties
  TDataSource* DataSource() const { return FDataSource; }
  void SetDataSource(TDataSource* ADataSource);
  // The source's dataset, nullptr without one.
  TDataSet* DataSet() const;
  // The source is enabled and its dataset open.
  bool Active() const { return FActive; }
  // Active, the dataset in an edit state and the link not ReadOnly.
  bool Editing() const { return FEditing; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  // A link showing data to the user: silenced while controls are disabled.
  bool VisualControl() const { return FVisualControl; }
  void SetVisualControl(bool Value) { FVisualControl = Value; }
  // Links here may always change their source.
  bool DataSourceFixed() const { return false; }
  // Rows the link shows, at least 1; the dataset buffers the largest count.
  int BufferCount() const { return FBufferCount; }
  void SetBufferCount(int Value);
  // The link row of the dataset's active record.  Setting it moves the
  // dataset's active record without events (ignored in dsSetKey), so a
  // control can read each of its rows.
  int ActiveRecord() const;
  void SetActiveRecord(int Value);
  // Rows with records: min(BufferCount, buffered records past FirstRecord);
  // 0 when inactive.
  int RecordCount() const;

  // operations
  // Asks the source to edit unless ReadOnly; answers Editing.
  bool Edit();
  // Runs UpdateData; meanwhile this link hears no RecordChanged.
  void UpdateRecord();
  int MoveBy(int Distance);
  bool Eof() const;
  bool BOF() const;

protected:
  // introduced virtuals; the base versions do nothing unless said
  virtual void ActiveChanged();
  virtual void CheckBrowseMode();
  // Turns a data event into the virtuals below.
  virtual void DataEvent(TDataEvent Event, std::intptr_t Info);
  // Base: RecordChanged(nullptr).
  virtual void DataSetChanged();
  // Base: DataSetChanged.
  virtual void DataSetScrolled(int Distance);
  virtual void EditingChanged();
  // Field names the field to focus; a link that focuses it sets it nullptr.
  virtual void FocusControl(TField*& Field);
  // Base: DataSetChanged.
  virtual void LayoutChanged();
  virtual void RecordChanged(TField* Field);
  virtual void UpdateData();

private:
  friend class TDataSource;
  friend class TDataSet;

  void updateState();
  void setActive(bool Value);
  void setEditing(bool Value);
  // Puts FirstRecord where the active record is among the link's rows.
  void updateRange();

  TDataSource* FDataSource = nullptr;  // not owned
  int FFirstRecord = 0;
  int FBufferCount = 1;
  bool FActive = false;
  bool FEditing = false;
  bool FReadOnly = false;
  bool FVisualControl = false;
  bool FUpdating = false;  // inside UpdateRecord
};

// A link through which a detail dataset follows a master.
class TDetailDataLink : public TDataLink {
  RTL_CLASS(TDetailDataLink, TDataLink)
public:
  // The dataset that follows the master; base: nullptr.
  virtual TDataSet* GetDetailDataSet();
};

// Master fields for a detail dataset: the detail hears OnMasterChange when
// the master moves or one of FieldNames changes, OnMasterDisable when the
// master closes or loses its fields.
class TMasterDataLink : public TDetailDataLink {
  RTL_CLASS(TMasterDataLink, TDetailDataLink)
public:
  // ADataSet is the detail (not owned).
  explicit TMasterDataLink(TDataSet* ADataSet);

  // The ";"-list of master field names.
  const String& FieldNames() const { return FFieldNames; }
  void SetFieldNames(const String& Value);
  // The master's fields of FieldNames; resolved while active.
  const std::vector<TField*>& Fields() const { return FFields; }
  TDataSet* GetDetailDataSet() override { return FDataSet; }

  // events (Sender: the link)
  TNotifyEvent OnMasterChange;
  TNotifyEvent OnMasterDisable;

protected:
  // reimplemented
  // Resolves Fields (a missing name raises and leaves them empty), then
  // OnMasterChange or OnMasterDisable for an open detail.
  void ActiveChanged() override;
  // The open detail posts or cancels before the master moves.
  void CheckBrowseMode() override;
  void LayoutChanged() override;
  // nullptr or a master field: OnMasterChange, unless the master is in
  // dsSetKey or the detail is closed.
  void RecordChanged(TField* Field) override;

private:
  TDataSet* FDataSet;  // the detail
  String FFieldNames;
  std::vector<TField*> FFields;
};
