#include "platform/db/testing/recorders.h"

#include "platform/db/dataset.h"
#include "platform/db/fields.h"

namespace {

String fieldNameOf(const TField* Field) { return Field ? Field->FieldName() : String(); }

String callName(const TLinkCall& Call) {
  if (Call.Call == u"DataSetScrolled" || Call.Call == u"DisabledStateChange")
    return QStringLiteral("%1(%2)").arg(Call.Call).arg(Call.Distance);
  if (!Call.FieldName.isEmpty()) return QStringLiteral("%1(%2)").arg(Call.Call, Call.FieldName);
  return Call.Call;
}

}  // namespace

// ---------------------------------------------------------------------------
// TRecordingDataLink

std::vector<String> TRecordingDataLink::CallNames() const {
  std::vector<String> Result;
  for (const TLinkCall& Call : Calls) Result.push_back(callName(Call));
  return Result;
}

void TRecordingDataLink::SetJournal(std::vector<String>* Journal, const String& Prefix) {
  FJournal = Journal;
  FPrefix = Prefix;
}

void TRecordingDataLink::record(const char* Call, const String& FieldName, int Distance) {
  Calls.push_back(TLinkCall{String::fromLatin1(Call), FieldName, Distance, ActiveRecord(), RecordCount(),
                            Editing(), Active()});
  if (FJournal) FJournal->push_back(FPrefix + callName(Calls.back()));
}

void TRecordingDataLink::ActiveChanged() { record("ActiveChanged"); }
void TRecordingDataLink::CheckBrowseMode() { record("CheckBrowseMode"); }

void TRecordingDataLink::DataEvent(TDataEvent Event, std::intptr_t Info) {
  if (Event == deDisabledStateChange) record("DisabledStateChange", String(), int(Info));
  TDataLink::DataEvent(Event, Info);
}

void TRecordingDataLink::DataSetChanged() { record("DataSetChanged"); }
void TRecordingDataLink::DataSetScrolled(int Distance) { record("DataSetScrolled", String(), Distance); }
void TRecordingDataLink::EditingChanged() { record("EditingChanged"); }

void TRecordingDataLink::FocusControl(TField*& Field) {
  record("FocusControl", fieldNameOf(Field));
  if (Field && Field == FocusField) Field = nullptr;
}

void TRecordingDataLink::LayoutChanged() { record("LayoutChanged"); }
void TRecordingDataLink::RecordChanged(TField* Field) { record("RecordChanged", fieldNameOf(Field)); }

void TRecordingDataLink::UpdateData() {
  record("UpdateData");
  if (OnUpdateData) OnUpdateData();
}

// ---------------------------------------------------------------------------
// TDataSourceRecorder

TDataSourceRecorder::TDataSourceRecorder(TDataSource* Source) : FSource(Source) {
  Source->OnDataChange = TDataChangeEvent(this, &TDataSourceRecorder::dataChange);
  Source->OnStateChange = TNotifyEvent(this, &TDataSourceRecorder::stateChange);
  Source->OnUpdateData = TNotifyEvent(this, &TDataSourceRecorder::updateData);
}

TDataSourceRecorder::~TDataSourceRecorder() {
  FSource->OnDataChange.Clear();
  FSource->OnStateChange.Clear();
  FSource->OnUpdateData.Clear();
}

void TDataSourceRecorder::SetJournal(std::vector<String>* Journal, const String& Prefix) {
  FJournal = Journal;
  FPrefix = Prefix;
}

void TDataSourceRecorder::record(const String& Event) {
  Events.push_back(Event);
  if (FJournal) FJournal->push_back(FPrefix + Event);
}

void TDataSourceRecorder::dataChange(TObject*, TField* Field) {
  record(Field ? QStringLiteral("DataChange(%1)").arg(Field->FieldName()) : QStringLiteral("DataChange"));
}

void TDataSourceRecorder::stateChange(TObject*) {
  record(QStringLiteral("StateChange(%1)").arg(GetEnumName(EnumTypeInfo(FSource->State()), FSource->State())));
}

void TDataSourceRecorder::updateData(TObject*) { record(QStringLiteral("UpdateData")); }
