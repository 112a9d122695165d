#include "platform/db/datasource.h"

#include "platform/db/dataset.h"
#include "platform/db/dbconsts.h"
#include "platform/rtl/scopeexit.h"

#include <algorithm>
#include <cassert>

// ---------------------------------------------------------------------------
// TDataSource

TDataSource::TDataSource(TComponent* AOwner) : TComponent(AOwner) {}

TDataSource::~TDataSource() { detachAll(); }

void TDataSource::BeforeDestruction() {
  detachAll();
  TComponent::BeforeDestruction();
}

void TDataSource::detachAll() {
  OnStateChange.Clear();
  SetDataSet(nullptr);
  while (!FDataLinks.empty()) removeDataLink(FDataLinks.back());
}

void TDataSource::DescribeProperties(TPropertyTable& Props) {
  Props.Add("AutoEdit", &TDataSource::AutoEdit, &TDataSource::SetAutoEdit).Default(true);
  Props.Add("DataSet", &TDataSource::DataSet, &TDataSource::SetDataSet);
  Props.Add("Enabled", &TDataSource::Enabled, &TDataSource::SetEnabled).Default(true);
  Props.Add("OnDataChange", &TDataSource::OnDataChange, &TDataSource::OnDataChange);
  Props.Add("OnStateChange", &TDataSource::OnStateChange, &TDataSource::OnStateChange);
  Props.Add("OnUpdateData", &TDataSource::OnUpdateData, &TDataSource::OnUpdateData);
}

void TDataSource::SetDataSet(TDataSet* ADataSet) {
  if (ADataSet == FDataSet) return;
  if (IsLinkedTo(ADataSet)) DatabaseError(DBConsts::SCircularDataLink, this);
  if (FDataSet) {
    FDataSet->RemoveFreeNotification(this);
    FDataSet->removeDataSource(this);
  }
  if (ADataSet) {
    ADataSet->FreeNotification(this);
    ADataSet->addDataSource(this);
  }
}

void TDataSource::SetEnabled(bool Value) {
  FEnabled = Value;
  updateState();
}

void TDataSource::Edit() {
  if (FAutoEdit && FState == dsBrowse) FDataSet->Edit();
}

bool TDataSource::IsLinkedTo(TDataSet* ADataSet) {
  for (TDataSet* DataSet = ADataSet; DataSet;) {
    TDataSource* Source = DataSet->GetDataSource();
    if (!Source) return false;
    if (Source == this) return true;
    DataSet = Source->DataSet();
  }
  return false;
}

void TDataSource::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDataSet) SetDataSet(nullptr);
}

void TDataSource::addDataLink(TDataLink* DataLink) {
  FDataLinks.push_back(DataLink);
  DataLink->FDataSource = this;
  if (FDataSet) FDataSet->updateBufferCount();
  DataLink->updateState();
}

void TDataSource::removeDataLink(TDataLink* DataLink) {
  DataLink->FDataSource = nullptr;
  FDataLinks.erase(std::find(FDataLinks.begin(), FDataLinks.end(), DataLink));
  DataLink->updateState();
  if (FDataSet) FDataSet->updateBufferCount();
}

void TDataSource::updateState() { setState(FEnabled && FDataSet ? FDataSet->State() : dsInactive); }

void TDataSource::setState(TDataSetState Value) {
  if (FState == Value) return;
  const TDataSetState Prior = FState;
  FState = Value;
  for (std::size_t I = 0; I < FDataLinks.size(); ++I) FDataLinks[I]->DataEvent(deUpdateState, 0);
  if (ComponentState().Contains(csDestroying)) return;
  if (OnStateChange) OnStateChange(this);
  if (Prior == dsInactive && OnDataChange) OnDataChange(this, nullptr);
}

void TDataSource::DataEvent(TDataEvent Event, std::intptr_t Info) {
  if (Event == deUpdateState) {
    updateState();
    return;
  }
  if (FState == dsInactive) return;
  // While controls are disabled visual links and the source's own events
  // keep quiet; the disabled-state notice reaches everyone.
  const bool Quiet = FDataSet->ControlsDisabled() && Event != deDisabledStateChange;
  for (std::size_t I = 0; I < FDataLinks.size(); ++I) {
    TDataLink* Link = FDataLinks[I];
    if (Quiet && Link->VisualControl()) continue;
    Link->DataEvent(Event, Info);
    if (Event == deFocusControl && !*reinterpret_cast<TField**>(Info)) return;
  }
  if (Quiet) return;
  switch (Event) {
    case deFieldChange:
    case deRecordChange:
      if (OnDataChange) OnDataChange(this, reinterpret_cast<TField*>(Info));
      break;
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
      if (OnDataChange) OnDataChange(this, nullptr);
      break;
    case deUpdateRecord:
      if (OnUpdateData) OnUpdateData(this);
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------------------
// TDataLink

TDataLink::~TDataLink() {
  FActive = false;
  FEditing = false;
  SetDataSource(nullptr);
}

void TDataLink::SetDataSource(TDataSource* ADataSource) {
  if (ADataSource == FDataSource) return;
  if (FDataSource) FDataSource->removeDataLink(this);
  if (ADataSource) ADataSource->addDataLink(this);
}

TDataSet* TDataLink::DataSet() const { return FDataSource ? FDataSource->DataSet() : nullptr; }

void TDataLink::SetReadOnly(bool Value) {
  if (FReadOnly == Value) return;
  FReadOnly = Value;
  updateState();
}

void TDataLink::SetBufferCount(int Value) {
  assert(Value >= 1 && "a link shows at least one row");
  if (FBufferCount == Value) return;
  FBufferCount = Value;
  if (!FActive) return;
  DataSet()->updateBufferCount();
  updateRange();
}

int TDataLink::ActiveRecord() const {
  if (!FActive || FDataSource->State() == dsSetKey) return 0;
  return DataSet()->FActiveRecord - FFirstRecord;
}

void TDataLink::SetActiveRecord(int Value) {
  if (FDataSource->State() != dsSetKey) DataSet()->SetActiveRecord(Value + FFirstRecord);
}

int TDataLink::RecordCount() const {
  if (!FActive) return 0;
  if (FDataSource->State() == dsSetKey) return 1;
  return std::max(0, std::min(FBufferCount, DataSet()->FRecordCount - FFirstRecord));
}

bool TDataLink::Edit() {
  if (!FReadOnly && FDataSource) FDataSource->Edit();
  return FEditing;
}

void TDataLink::UpdateRecord() {
  FUpdating = true;
  const TScopeExit Reset([this] { FUpdating = false; });
  UpdateData();
}

int TDataLink::MoveBy(int Distance) { return DataSet()->MoveBy(Distance); }
bool TDataLink::Eof() const { return FActive && DataSet()->Eof(); }
bool TDataLink::BOF() const { return FActive && DataSet()->Bof(); }

void TDataLink::updateState() {
  setActive(FDataSource && FDataSource->State() != dsInactive);
  setEditing(FDataSource && dsEditModes.Contains(FDataSource->State()) && !FReadOnly);
}

void TDataLink::setActive(bool Value) {
  if (FActive == Value) return;
  FActive = Value;
  if (Value)
    updateRange();
  else
    FFirstRecord = 0;
  ActiveChanged();
}

void TDataLink::setEditing(bool Value) {
  if (FEditing == Value) return;
  FEditing = Value;
  EditingChanged();
}

void TDataLink::updateRange() {
  const TDataSet* Data = DataSet();
  const int Min = std::max(0, Data->FActiveRecord - FBufferCount + 1);
  const int Max = std::min(std::max(0, Data->FBufferCount - FBufferCount), Data->FActiveRecord);
  if (FFirstRecord < Min) FFirstRecord = Min;
  if (FFirstRecord > Max) FFirstRecord = Max;
  // Prefer showing one row more above the active record when rows are free.
  if (FFirstRecord != 0 && Data->FActiveRecord - FFirstRecord < FBufferCount - 1) --FFirstRecord;
}

void TDataLink::DataEvent(TDataEvent Event, std::intptr_t Info) {
  if (Event == deUpdateState) {
    updateState();
    return;
  }
  if (!FActive) return;
  switch (Event) {
    case deFieldChange:
    case deRecordChange:
      if (!FUpdating) RecordChanged(reinterpret_cast<TField*>(Info));
      break;
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange: {
      // Follow the dataset's shift, then move only as far as the active
      // record needs; that move is how far row 0 advanced.
      int Count = 0;
      if (FDataSource->State() != dsSetKey) {
        const int Active = DataSet()->FActiveRecord;
        const int First = FFirstRecord + int(Info);
        const int Last = First + FBufferCount - 1;
        if (Active > Last)
          Count = Active - Last;
        else if (Active < First)
          Count = Active - First;
        FFirstRecord = First + Count;
      }
      if (Event == deDataSetChange)
        DataSetChanged();
      else if (Event == deDataSetScroll)
        DataSetScrolled(Count);
      else
        LayoutChanged();
      break;
    }
    case deUpdateRecord:
      UpdateRecord();
      break;
    case deCheckBrowseMode:
      CheckBrowseMode();
      break;
    case deFocusControl:
      FocusControl(*reinterpret_cast<TField**>(Info));
      break;
    default:
      break;
  }
}

void TDataLink::ActiveChanged() {}
void TDataLink::CheckBrowseMode() {}
void TDataLink::DataSetChanged() { RecordChanged(nullptr); }
void TDataLink::DataSetScrolled(int) { DataSetChanged(); }
void TDataLink::EditingChanged() {}
void TDataLink::FocusControl(TField*&) {}
void TDataLink::LayoutChanged() { DataSetChanged(); }
void TDataLink::RecordChanged(TField*) {}
void TDataLink::UpdateData() {}

// ---------------------------------------------------------------------------
// TDetailDataLink, TMasterDataLink

TDataSet* TDetailDataLink::GetDetailDataSet() { return nullptr; }

TMasterDataLink::TMasterDataLink(TDataSet* ADataSet) : FDataSet(ADataSet) {}

void TMasterDataLink::SetFieldNames(const String& Value) {
  if (FFieldNames == Value) return;
  FFieldNames = Value;
  ActiveChanged();
}

void TMasterDataLink::ActiveChanged() {
  FFields.clear();
  if (Active()) {
    try {
      DataSet()->GetFieldList(FFields, FFieldNames);
    } catch (const EDatabaseError&) {
      FFields.clear();
      throw;
    }
  }
  if (!FDataSet->Active() || FDataSet->ComponentState().Contains(csDestroying)) return;
  if (Active() && !FFields.empty()) {
    if (OnMasterChange) OnMasterChange(this);
  } else if (OnMasterDisable) {
    OnMasterDisable(this);
  }
}

void TMasterDataLink::CheckBrowseMode() {
  if (FDataSet->Active()) FDataSet->CheckBrowseMode();
}

void TMasterDataLink::LayoutChanged() { ActiveChanged(); }

void TMasterDataLink::RecordChanged(TField* Field) {
  if (DataSource()->State() == dsSetKey || !FDataSet->Active() || FFields.empty()) return;
  if (Field && std::find(FFields.begin(), FFields.end(), Field) == FFields.end()) return;
  if (OnMasterChange) OnMasterChange(this);
}
