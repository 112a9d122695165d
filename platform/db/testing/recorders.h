// Recorders for the notifications a dataset sends: a data link that logs
// every virtual call it receives, and a sink for a data source's events.
// Both can also append one line per call to a shared journal (typically the
// TRowListDataSet's Log), so a test sees the dataset's own steps and the
// notifications interleaved in their real order.
#pragma once

#include "platform/db/datasource.h"

#include <functional>
#include <vector>

// One call a TRecordingDataLink received.
struct TLinkCall {
  String Call;          // "ActiveChanged", "DataSetScrolled", "RecordChanged" ...
  String FieldName;     // RecordChanged and FocusControl; "" for none
  int Distance = 0;     // DataSetScrolled; the Info of DisabledStateChange
  // the link as it stood during the call
  int ActiveRecord = 0;
  int RecordCount = 0;
  bool Editing = false;
  bool Active = false;
};

class TRecordingDataLink : public TDataLink {
  RTL_CLASS(TRecordingDataLink, TDataLink)
public:
  TRecordingDataLink() = default;

  std::vector<TLinkCall> Calls;
  // Calls as "Call" or "Call(detail)" text: "DataSetScrolled(1)",
  // "RecordChanged(Name)", "DisabledStateChange(0)".
  std::vector<String> CallNames() const;
  void Clear() { Calls.clear(); }

  // Appends "<Prefix>Call(detail)" lines to Journal (not owned; nullptr: none).
  void SetJournal(std::vector<String>* Journal, const String& Prefix = QStringLiteral("link:"));
  // FocusControl takes the focus (clears the field) when asked for this one.
  TField* FocusField = nullptr;
  // Runs inside UpdateData, as a control writing its value would.
  std::function<void()> OnUpdateData;

protected:
  // reimplemented: each records the call and does nothing else, so one
  // notification is one entry (DataSetScrolled does not chain to
  // DataSetChanged)
  void ActiveChanged() override;
  void CheckBrowseMode() override;
  // Records deDisabledStateChange, which the other virtuals never see.
  void DataEvent(TDataEvent Event, std::intptr_t Info) override;
  void DataSetChanged() override;
  void DataSetScrolled(int Distance) override;
  void EditingChanged() override;
  void FocusControl(TField*& Field) override;
  void LayoutChanged() override;
  void RecordChanged(TField* Field) override;
  void UpdateData() override;

private:
  void record(const char* Call, const String& FieldName = String(), int Distance = 0);

  std::vector<String>* FJournal = nullptr;
  String FPrefix;
};

// Hooks OnDataChange, OnStateChange and OnUpdateData of a data source and
// records them as "DataChange", "DataChange(Name)", "StateChange(dsEdit)",
// "UpdateData".  The recorder must be destroyed before its source.
class TDataSourceRecorder {
public:
  explicit TDataSourceRecorder(TDataSource* Source);
  ~TDataSourceRecorder();
  TDataSourceRecorder(const TDataSourceRecorder&) = delete;
  TDataSourceRecorder& operator=(const TDataSourceRecorder&) = delete;

  std::vector<String> Events;
  void Clear() { Events.clear(); }
  // Also appends "<Prefix>event" lines to Journal (not owned; nullptr: none).
  void SetJournal(std::vector<String>* Journal, const String& Prefix = QStringLiteral("source:"));

private:
  void dataChange(TObject* Sender, TField* Field);
  void stateChange(TObject* Sender);
  void updateData(TObject* Sender);
  void record(const String& Event);

  TDataSource* FSource;
  std::vector<String>* FJournal = nullptr;
  String FPrefix;
};
