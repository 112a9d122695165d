// The memory table as the detail of a master dataset, and its data driver's
// part in opening, refreshing and reloading.
//
// Three ways of showing a master record's details, by MasterDetailSide:
//   mdsOnSelfEh               the table filters its own records by the
//                             master's values of MasterFields;
//   mdsOnProviderEh           the driver reads the records again for each
//                             master record, the master's values as reader
//                             parameters;
//   mdsOnSelfAfterProviderEh  the driver reads each master value's records
//                             once, and the table keeps and filters them all.
#include "gridlib/memtable/memtable.h"

#include "gridlib/memtable/datadriver.h"
#include "gridlib/memtable/masterdatalink.h"
#include "gridlib/memtable/memoryrecord.h"
#include "gridlib/memtable/memorytreelist.h"
#include "gridlib/memtable/mtindexes.h"
#include "gridlib/memtable/recordslist.h"
#include "gridlib/memtable/recordsview.h"
#include "gridlib/memtable/sortedvarlist.h"
#include "platform/db/datasource.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fields.h"
#include "platform/rtl/scopeexit.h"

#include <algorithm>
#include <vector>

namespace {

bool holdsNull(const Variant& Values) {
  if (!VarIsArray(Values)) return VarIsNull(Values) || VarIsEmpty(Values);
  for (Integer I = VarArrayLowBound(Values, 1); I <= VarArrayHighBound(Values, 1); ++I)
    if (holdsNull(VarArrayGet(Values, I))) return true;
  return false;
}

// List holds view items in records-list order.
bool holdsRecord(const TObjectListEh& List, TMemoryRecordEh* Rec) {
  const auto recAt = [&List](Integer I) { return static_cast<TMemRecViewEh*>(List.Items(I))->Rec(); };
  Integer Lo = 0, Hi = List.Count() - 1;
  while (Lo <= Hi) {
    const Integer Mid = (Lo + Hi) / 2;
    const Integer Diff = recAt(Mid)->Index() - Rec->Index();
    if (Diff == 0) return recAt(Mid) == Rec;
    if (Diff < 0)
      Lo = Mid + 1;
    else
      Hi = Mid - 1;
  }
  return false;
}

}  // namespace

// ---------------------------------------------------------------------------
// properties

TDataSource* TCustomMemTableEh::MasterSource() const { return FMasterDataLink->DataSource(); }

void TCustomMemTableEh::SetMasterSource(TDataSource* Value) {
  if (Value && IsLinkedTo(Value)) DatabaseError(QString::fromLatin1(DBConsts::SCircularDataLink), this);
  FMasterDataLink->SetDataSource(Value);
  UpdateDetailMode(/*Refresh=*/true);
}

String TCustomMemTableEh::MasterFields() const { return FMasterDataLink->FieldNames(); }

void TCustomMemTableEh::SetMasterFields(const String& Value) {
  FMasterDataLink->SetFieldNames(Value);
  UpdateDetailMode(/*Refresh=*/true);
}

void TCustomMemTableEh::SetDetailFields(const String& Value) {
  FDetailFields = Value;
  UpdateDetailMode(/*Refresh=*/true);
}

void TCustomMemTableEh::SetMasterDetailSide(TMasterDetailSideEh Value) {
  if (Value == FMasterDetailSide) return;
  FMasterDetailSide = Value;
  UpdateDetailMode(/*Refresh=*/false);
  if (!FDetailMode || !Active()) return;
  if (Value == mdsOnProviderEh) {
    Close();
    Open();
  } else {
    RefreshFilteredView();
  }
}

// ---------------------------------------------------------------------------
// detail mode

bool TCustomMemTableEh::providerSide() const {
  return FMasterDetailSide == mdsOnProviderEh || FMasterDetailSide == mdsOnSelfAfterProviderEh;
}

TDataSet* TCustomMemTableEh::activeMaster() const {
  return FMasterDataLink->Active() ? FMasterDataLink->DataSet() : nullptr;
}

// A single value for one master field, an array for several; Unassigned
// while the link is inactive.
Variant TCustomMemTableEh::masterValues() const {
  TDataSet* Master = activeMaster();
  if (!Master || FMasterDataLink->Fields().Count() == 0) return Unassigned();
  return Master->GetFieldValue(MasterFields());
}

void TCustomMemTableEh::UpdateDetailMode(bool Refresh) {
  bool Mode = false;
  FDetailFieldList->Clear();
  if (Fields()->Count() > 0) {
    std::vector<TField*> Found;
    GetFieldList(Found, FDetailFields);
    for (TField* Field : Found) FDetailFieldList->Add(Field);
    if (FMasterDetailSide == mdsOnProviderEh)
      Mode = FMasterDataLink->Active();
    else
      Mode = FDetailFieldList->Count() > 0 && FMasterDataLink->Active() && FMasterDataLink->Fields().Count() > 0;
  }
  if (Mode == FDetailMode) return;
  FDetailMode = Mode;
  if (!Mode)
    FMasterValues = Unassigned();
  else if (FMasterDetailSide != mdsOnProviderEh)
    FMasterValues = masterValues();
  if (!Refresh || !Active()) return;
  if (providerSide())
    ReloadDetail();
  else
    RefreshFilteredView();
}

void TCustomMemTableEh::MasterChanged(TObject*) {
  const bool OldMode = FDetailMode;
  UpdateDetailMode(/*Refresh=*/false);
  if (FMasterDetailSide == mdsOnProviderEh) {
    ReloadDetail();
    return;
  }
  const Variant Current = masterValues();
  // Another master record with the same key keeps the view as it is.
  if (OldMode == FDetailMode && !(FDetailMode && !VarEqualEh(FMasterValues, Current))) return;
  FMasterValues = Current;
  if (FMasterDetailSide == mdsOnSelfAfterProviderEh) {
    ReloadDetail();
    return;
  }
  RefreshFilteredView();
  Resync({});
}

// A master without a record, or whose key holds Null, has no details: Null
// equals nothing, as in the platform's own master-detail queries.
bool TCustomMemTableEh::detailRecordMatches(TMemoryRecordEh* Rec) {
  if (holdsNull(FMasterValues)) return false;
  // The index's matches, once handed to the view, decide by membership.
  if (FDetailRecListActive && FDetailRecList.Count() > 0) return holdsRecord(FDetailRecList, Rec);
  return VarEqualEh(Rec->GetDataValues(FDetailFields, dvvValueEh), FMasterValues);
}

// Marks the index-assisted rebuild: the view then scans only the records
// an index on DetailFields matches (RecordsViewGetPrefilteredList).
void TCustomMemTableEh::fillDetailRecList() {
  FDetailRecList.Clear();
  FDetailRecListActive = false;
  if (!FDetailMode || FMasterDetailSide == mdsOnProviderEh) return;
  TRecordsListEh* List = FRecordsView->MemTableData()->RecordsList();
  // Inside the records list's update bracket the index is not kept in step;
  // records marked for deletion have no item, so a view that shows them
  // scans.
  if (List->Updating() || FRecordsView->StatusFilter().Contains(usDeleted)) return;
  TMTIndexEh* Index = List->Indexes()->GetIndexForFields(FDetailFields);
  FDetailRecListActive = Index && Index->Active();
}

TObjectListEh* TCustomMemTableEh::RecordsViewGetPrefilteredList() {
  if (!FDetailRecListActive) return nullptr;
  TRecordsListEh* List = FRecordsView->MemTableData()->RecordsList();
  std::vector<const TIndexItemEh*> Matched;
  if (!holdsNull(FMasterValues))
    List->Indexes()->GetIndexForFields(FDetailFields)->FillMatchedKeyList(FMasterValues, Matched);
  // Records-list order: without a sort order the rows are in candidate
  // order, which must be that of a full scan; with one the view sorts the
  // rows.  An item's RecIndex is its record's position, and without a sort
  // order its sorted-list position too: read without touching the record.
  std::vector<Integer> Positions(Matched.size());
  for (size_t I = 0; I < Matched.size(); I++) Positions[I] = Matched[I]->RecIndex;
  std::sort(Positions.begin(), Positions.end());
  std::vector<TMemoryRecordEh*> Recs(Positions.size());
  for (size_t I = 0; I < Positions.size(); I++) Recs[I] = List->GetRec(Positions[I]);
  FDetailRecList.Clear();
  FRecordsView->FindSortedListRecs(Recs, Positions, FDetailRecList);
  return &FDetailRecList;
}

void TCustomMemTableEh::assignDetailFieldsFromMaster() {
  if (!FDetailMode) return;
  const TFieldListEh& MasterFieldList = FMasterDataLink->Fields();
  const Integer Count = std::min(FDetailFieldList->Count(), MasterFieldList.Count());
  for (Integer I = 0; I < Count; ++I) FDetailFieldList->Fields(I)->SetValue(MasterFieldList.Fields(I)->Value());
}

// ---------------------------------------------------------------------------
// provider side

void TCustomMemTableEh::takeDriverReader() {
  FDataSetReader = FDataDriver->GetDataReader();
  if (FDataSetReader) FDataSetReader->FreeNotification(this);
}

void TCustomMemTableEh::SetDriverParamsFromMaster() {
  TDataSet* Master = MasterSource() ? MasterSource()->DataSet() : nullptr;
  if (!Master || !Master->Active() || Master->State() == dsSetKey || !FDataDriver) return;
  FDataDriver->SetReaderParamsFromCursor(Master);
  if (FMasterDetailSide == mdsOnSelfAfterProviderEh) FMasterValList->Add(new TSortedVarItemEh(masterValues()));
}

void TCustomMemTableEh::ReloadDetail() {
  TDataSet* Master = MasterSource() ? MasterSource()->DataSet() : nullptr;
  if (!Master || !Master->Active() || Master->State() == dsSetKey || !FDataDriver || !Active()) return;
  DisableControls();
  const TScopeExit Enable([this] { EnableControls(); });
  if (FMasterDetailSide == mdsOnProviderEh) {
    if (FDataDriver->RefreshReaderParamsFromCursor(Master)) {
      Close();
      Open();
    }
    return;
  }
  if (FMasterDetailSide != mdsOnSelfAfterProviderEh) return;
  // Each master value's records are read once; the table keeps them all.
  if (!FMasterValList->FindKeyValue(masterValues())) {
    FetchDriverRecords(-1);
    FDataDriver->ConsumerClosed(this);
    SetDriverParamsFromMaster();
    takeDriverReader();
  }
  RefreshFilteredView();
}

// ---------------------------------------------------------------------------
// refreshing one record

void TCustomMemTableEh::RefreshRecord() {
  CheckActive();
  UpdateCursorPos();
  if (!FDataDriver || FRecordsView->ViewItemsCount() == 0 || FRecordPos < 0) return;
  TMemoryRecordEh* Rec = FRecordsView->ViewRecord(FRecordPos);
  FDataDriver->RefreshRecord(Rec);
  Rec->UpdateCalculatedFields();
  RecBuf(ActiveBuffer())->NeedUpdateCalcFields = true;
  GetCalcFields(ActiveBuffer());
  RefreshInternalCalcFields(ActiveBuffer());
  Resync({});
}
