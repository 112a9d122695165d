#include "gridlib/base/sumlist.h"

#include "gridlib/base/basecontrols.h"
#include "gridlib/base/memtableintf.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/fields.h"
#include "platform/rtl/bcd.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/typinfo.h"

namespace {

// The record-buffer window of a dataset belongs to the dataset class; the
// aggregates only read where the current record sits in it, so that a grid
// showing the dataset keeps its rows in place after the walk.
struct TDataSetWindowAccess : TDataSet {
  static int activeRecord(TDataSet* D) { return (D->*&TDataSetWindowAccess::ActiveRecord)(); }
  static int bufferCount(TDataSet* D) { return (D->*&TDataSetWindowAccess::BufferCount)(); }
};

// The memory table's function for each group operation.
TAggrFunctionEh aggrFunctionOf(TGroupOperation Operation) {
  switch (Operation) {
    case goSum: return agfSumEh;
    case goAvg: return agfAvg;
    case goCount: return agfCountEh;
    case goMin: return agfMin;
    case goMax: return agfMax;
  }
  return agfSumEh;
}

bool isDestroying(TComponent* Component) {
  return Component && Component->ComponentState().Contains(csDestroying);
}

}  // namespace

// ---------------------------------------------------------------------------
// TDBSum

TDBSum::TDBSum(TCollection* Collection) : TCollectionItem(Collection) {}

void TDBSum::DescribeProperties(TPropertyTable& Props) {
  Props.Add("FieldName", &TDBSum::FieldName, &TDBSum::SetFieldName);
  Props.Add("GroupOperation", &TDBSum::GroupOperation, &TDBSum::SetGroupOperation).Default(goSum);
}

void TDBSum::SetFieldName(const String& Value) {
  if (Value == FFieldName) return;
  FFieldName = Value;
  Changed(false);
}

void TDBSum::SetGroupOperation(TGroupOperation Value) {
  if (Value == FGroupOperation) return;
  FGroupOperation = Value;
  Changed(false);
}

void TDBSum::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TDBSum*>(Source);
  if (!Other) return TCollectionItem::Assign(Source);
  SetGroupOperation(Other->GroupOperation());
  SetFieldName(Other->FieldName());
  Value = Other->Value;
  SumValue = Other->SumValue;
}

// ---------------------------------------------------------------------------
// TDBSumCollection

TDBSumCollection::TDBSumCollection(TDBSumListProducer* Owner)
    : TCollection(TDBSum::StaticClass()), FOwner(Owner) {}

TDBSum* TDBSumCollection::GetSumByOpAndFName(TGroupOperation AGroupOperation, const String& AFieldName) {
  for (Integer I = 0; I < Count(); ++I) {
    TDBSum* Sum = GetItem(I);
    if (Sum->GroupOperation() == AGroupOperation && AnsiCompareText(Sum->FieldName(), AFieldName) == 0)
      return Sum;
  }
  return nullptr;
}

TPersistent* TDBSumCollection::GetOwner() { return FOwner; }

void TDBSumCollection::Update(TCollectionItem*) { FOwner->SumCollectionChanged(); }

// ---------------------------------------------------------------------------

TDataSet* TSLBookmarkListEh::GetDataSet() { return FSumListProducer->DataSet(); }

// ---------------------------------------------------------------------------
// TDBSumListProducer

TDBSumListProducer::TDBSumListProducer(TComponent* AOwner)
    : FInternalDataSource(new TDataSource(nullptr)),
      FOwner(AOwner),
      FSumCollection(new TDBSumCollection(this)),
      FVirtualRecList(new TSLBookmarkListEh(this)) {
  FInternalDataSource->OnDataChange = TDataChangeEvent(this, &TDBSumListProducer::DataSourceDataChange);
}

void TDBSumListProducer::BeforeDestruction() {
  Deactivate(false);
  TPersistent::BeforeDestruction();
}

TDBSumListProducer::~TDBSumListProducer() {
  FVirtualRecList->Free();
  FSumCollection->Free();
  FInternalDataSource->Free();
}

TPersistent* TDBSumListProducer::GetOwner() { return FOwner; }

bool TDBSumListProducer::Working() const {
  if (!FOwner) return true;
  const TComponentState State = FOwner->ComponentState();
  return !State.Contains(csLoading) && (FDesignTimeWork || !State.Contains(csDesigning));
}

void TDBSumListProducer::Activate(bool ARecalcAll) {
  FActive = true;
  if (!Working()) return;
  SetDataSetEvents();
  if (ARecalcAll) RecalcAll();
}

void TDBSumListProducer::Deactivate(bool AClearSumValues) {
  FActive = false;
  if (!Working()) return;
  ResetDataSetEvents();
  if (AClearSumValues && !FDataSetChanging) ClearSumValues();
}

void TDBSumListProducer::SetActive(bool Value) {
  if (Value == FActive) return;
  if (Value)
    Activate(true);
  else
    Deactivate(true);
}

void TDBSumListProducer::ReactivateIfActive() {
  if (FDataSet && FActive) Activate(true);
}

void TDBSumListProducer::SetDataSet(TDataSet* Value) {
  if (Value == FDataSet && isDestroying(FDataSet)) {
    ResetDataSetEvents();
    FDataSet = nullptr;
    return;
  }
  if (Value == FDataSet) return;
  if (!Working()) {
    FDataSet = Value;
    return;
  }
  const bool WasActive = FActive;
  {
    FDataSetChanging = true;
    const TScopeExit Done([this] { FDataSetChanging = false; });
    Deactivate(true);
    FDataSet = Value;
  }
  if (WasActive)
    Activate(true);
  else
    ClearSumValues();
}

void TDBSumListProducer::SetExternalRecalc(bool Value) {
  if (Value == FExternalRecalc) return;
  FExternalRecalc = Value;
  RecalcAll();
}

void TDBSumListProducer::SetSumCollection(TDBSumCollection* Value) { FSumCollection->Assign(Value); }

void TDBSumListProducer::SetVirtualRecords(bool Value) {
  if (Value == FVirtualRecords) return;
  FVirtualRecords = Value;
  if (Value) RecalcAll();
}

void TDBSumListProducer::RecalcAllSilently() {
  FRecalcAllSilently = true;
  const TScopeExit Loud([this] { FRecalcAllSilently = false; });
  RecalcAll();
}

void TDBSumListProducer::fireSumListChanged() {
  if (!FRecalcAllSilently && SumListChanged.Assigned()) SumListChanged(this);
}

void TDBSumListProducer::takeFilterState() {
  Filtered = FDataSet->Filtered();
  Filter = FDataSet->Filter();
}

void TDBSumListProducer::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TDBSumListProducer*>(Source);
  if (!Other) return TPersistent::Assign(Source);
  SetActive(Other->Active());
  SetDataSet(Other->DataSet());
  SetExternalRecalc(Other->ExternalRecalc());
  FSumCollection->Assign(Other->SumCollection());
  SumListChanged = Other->SumListChanged;
  SetVirtualRecords(Other->VirtualRecords());
  OnAfterRecalcAll = Other->OnAfterRecalcAll;
  OnRecalcAll = Other->OnRecalcAll;
}

void TDBSumListProducer::SumCollectionChanged() {
  if (FOwner && (FOwner->ComponentState().Contains(csLoading) || isDestroying(FOwner))) return;
  RecalcAll();
}

// ---------------------------------------------------------------------------
// hooking

void TDBSumListProducer::SetDataSetEvents() {
  if (!FDataSet || FEventsOverloaded) return;
  FInternalDataSource->SetDataSet(FDataSet);
  FMasterPropInfo = GetPropInfo(FDataSet, QStringLiteral("MasterSource"));
  FMasterDataset = DataSetOfDataSourcePropEh(FDataSet, FMasterPropInfo);
  OldAfterOpen = FDataSet->AfterOpen;
  OldAfterPost = FDataSet->AfterPost;
  OldAfterScroll = FDataSet->AfterScroll;
  OldAfterDelete = FDataSet->AfterDelete;
  OldAfterClose = FDataSet->AfterClose;
  if (FMasterDataset) OldMasterAfterScroll = FMasterDataset->AfterScroll;
  // the virtuals themselves, so a descendant's overrides are what runs
  FDataSet->AfterOpen = TDataSetNotifyEvent(this, &TDBSumListProducer::DataSetAfterOpen);
  FDataSet->AfterPost = TDataSetNotifyEvent(this, &TDBSumListProducer::DataSetAfterPost);
  FDataSet->AfterScroll = TDataSetNotifyEvent(this, &TDBSumListProducer::DataSetAfterScroll);
  FDataSet->AfterDelete = TDataSetNotifyEvent(this, &TDBSumListProducer::DataSetAfterDelete);
  FDataSet->AfterClose = TDataSetNotifyEvent(this, &TDBSumListProducer::DataSetAfterClose);
  if (FMasterDataset)
    FMasterDataset->AfterScroll = TDataSetNotifyEvent(this, &TDBSumListProducer::MasterDataSetAfterScroll);
  FEventsOverloaded = true;
}

void TDBSumListProducer::ResetDataSetEvents() {
  if (!FDataSet || !FEventsOverloaded) return;
  FInternalDataSource->SetDataSet(nullptr);
  FDataSetControlsWasDisabled = false;
  // a dying dataset is never written to
  if (!isDestroying(FDataSet)) {
    FDataSet->AfterOpen = OldAfterOpen;
    FDataSet->AfterPost = OldAfterPost;
    FDataSet->AfterScroll = OldAfterScroll;
    FDataSet->AfterDelete = OldAfterDelete;
    FDataSet->AfterClose = OldAfterClose;
  }
  if (FMasterDataset && !isDestroying(FMasterDataset)) FMasterDataset->AfterScroll = OldMasterAfterScroll;
  OldAfterOpen = OldAfterPost = OldAfterScroll = OldAfterDelete = OldAfterClose = OldMasterAfterScroll =
      TDataSetNotifyEvent();
  FMasterDataset = nullptr;
  FMasterPropInfo = nullptr;
  FEventsOverloaded = false;
  FVirtualRecList->Clear();
}

void TDBSumListProducer::DataSetAfterOpen(TDataSet* DataSet) {
  if (FActive) RecalcAll();
  if (OldAfterOpen.Assigned()) OldAfterOpen(DataSet);
}

void TDBSumListProducer::DataSetAfterPost(TDataSet* DataSet) {
  if (OldAfterPost.Assigned()) OldAfterPost(DataSet);
  if (FActive) RecalcAll();
}

void TDBSumListProducer::DataSetAfterScroll(TDataSet* DataSet) {
  if (OldAfterScroll.Assigned()) OldAfterScroll(DataSet);
  if (!FActive || Changing) return;
  const bool FilterChanged =
      FDataSet->Filtered() != Filtered || (FDataSet->Filtered() && FDataSet->Filter() != Filter);
  if (FilterChanged) RecalcAll();
}

void TDBSumListProducer::DataSetAfterDelete(TDataSet* DataSet) {
  if (OldAfterDelete.Assigned()) OldAfterDelete(DataSet);
  RecalcAll();
}

void TDBSumListProducer::DataSetAfterClose(TDataSet* DataSet) {
  if (FActive) {
    ClearSumValues();
    fireSumListChanged();
    Changing = false;
  }
  FVirtualRecList->Clear();
  if (OldAfterClose.Assigned()) OldAfterClose(DataSet);
}

void TDBSumListProducer::MasterDataSetAfterScroll(TDataSet* DataSet) {
  if (OldMasterAfterScroll.Assigned()) OldMasterAfterScroll(DataSet);
  if (FActive && !Changing) RecalcAll();
}

void TDBSumListProducer::DataSourceDataChange(TObject*, TField*) {
  if (FDataSetControlsWasDisabled && !FDataSet->ControlsDisabled()) {
    FDataSetControlsWasDisabled = false;
    RecalcAll();
  }
}

// ---------------------------------------------------------------------------
// recalculation

void TDBSumListProducer::ClearSumValues() {
  for (Integer I = 0; I < FSumCollection->Count(); ++I) {
    TDBSum* Sum = FSumCollection->GetItem(I);
    Sum->SumValue = Sum->GroupOperation() == goCount ? Variant(0) : Null();
    Sum->Value = Null();
    Sum->FSumValueAsSum = Null();
    Sum->VarValue = Null();
    Sum->FNotNullRecordCount = 0;
  }
  fireSumListChanged();
}

bool TDBSumListProducer::canUseMemTable() {
  if (FOwner && FOwner->ComponentState().Contains(csLoading)) return false;
  if (!FActive || !FDataSet || !FDataSet->Active() || FVirtualRecords) return false;
  for (Integer I = 0; I < FSumCollection->Count(); ++I) {
    TField* Field = FDataSet->FindField(FSumCollection->GetItem(I)->FieldName());
    if (Field && Field->Calculated()) return false;
  }
  return Supports<IMemTableEh>(FDataSet);
}

void TDBSumListProducer::RecalcAll() {
  if (FDataSet && FDataSet->ControlsDisabled()) {
    // the internal data source's change event catches up later
    FDataSetControlsWasDisabled = true;
    return;
  }
  if (canUseMemTable()) {
    RecalcAllForIntMemTable();
    takeFilterState();
    return;
  }
  if (Working() && FActive && FDataSet && FDataSet->Active() && FEventsOverloaded) recalcGeneral();
}

void TDBSumListProducer::recalcGeneral() {
  ClearSumValues();
  FOldRecNo = -1;
  if (OnRecalcAll.Assigned()) OnRecalcAll(this);
  if (FExternalRecalc) {
    takeFilterState();
    Changing = false;
    fireSumListChanged();
    return;
  }
  // also when the walk raises: the error leaves after these
  const TScopeExit Finish([this] {
    takeFilterState();
    Changing = false;
    fireSumListChanged();
  });
  if (FSumCollection->Count() > 0) {
    std::vector<TField*> Fields(size_t(FSumCollection->Count()), nullptr);
    for (Integer I = 0; I < FSumCollection->Count(); ++I) {
      const String& Name = FSumCollection->GetItem(I)->FieldName();
      if (!Name.isEmpty()) Fields[size_t(I)] = FDataSet->FieldByName(Name);
    }
    walkRecords(Fields);
  }
  if (OnAfterRecalcAll.Assigned()) OnAfterRecalcAll(this);
}

void TDBSumListProducer::walkRecords(const std::vector<TField*>& Fields) {
  TDataSet* Data = FDataSet;
  TBookmark Saved;
  const bool IsMemTable = Supports<IMemTableEh>(Data);
  if (!IsMemTable || !Data->IsEmpty()) Saved = Data->Bookmark();
  const int SavedActive = TDataSetWindowAccess::activeRecord(Data);
  Data->DisableControls();
  const TScopeExit Restore([Data, SavedActive] {
    Data->EnableControls();
    // bring the current record back to the same row of the buffer window
    const int Current = TDataSetWindowAccess::activeRecord(Data);
    int Distance = 0;
    if (Current > SavedActive)
      Distance = TDataSetWindowAccess::bufferCount(Data) - SavedActive - 1;
    else if (Current < SavedActive)
      Distance = -SavedActive;
    if (Distance != 0) {
      Data->MoveBy(Distance);
      Data->MoveBy(-Distance);
    }
  });
  FVirtualRecList->Clear();
  Changing = true;
  Data->First();
  // the running values stay BCD numbers outside variants until the end: one
  // variant per value would cost more than the walk itself
  struct TRunning {
    bool Has = false;
    TBcd Value;
    Integer Count = 0;
  };
  const Integer SumCount = FSumCollection->Count();
  std::vector<TRunning> Running(static_cast<size_t>(SumCount));
  while (!Data->Eof()) {
    for (Integer I = 0; I < SumCount; ++I) {
      const TGroupOperation Operation = FSumCollection->GetItem(I)->GroupOperation();
      TField* Field = Fields[size_t(I)];
      TRunning& R = Running[size_t(I)];
      if (!Field) {
        if (Operation == goCount) ++R.Count;
        continue;
      }
      const Variant V = Field->AsVariant();
      if (VarIsNull(V)) continue;
      if (Operation == goCount) {
        ++R.Count;
        continue;
      }
      const TBcd B = VarToBcd(V);
      const bool First = !R.Has;
      R.Has = true;
      ++R.Count;
      if (Operation == goSum || Operation == goAvg)
        R.Value = First ? B : R.Value + B;
      else if (First || (Operation == goMin ? B < R.Value : B > R.Value))
        R.Value = B;
    }
    if (FVirtualRecords) FVirtualRecList->AppendItem(Data->Bookmark());
    Data->Next();
  }
  if (!Saved.isEmpty() && BookmarkInVisibleView(Saved))
    Data->GotoBookmark(Saved);
  else
    Data->First();
  for (Integer I = 0; I < SumCount; ++I) {
    TDBSum* Sum = FSumCollection->GetItem(I);
    const TRunning& R = Running[size_t(I)];
    switch (Sum->GroupOperation()) {
      case goSum:
        if (R.Has) Sum->SumValue = Variant(R.Value);
        break;
      case goAvg:
        Sum->FNotNullRecordCount = R.Count;
        if (R.Has) Sum->FSumValueAsSum = Variant(R.Value);
        Sum->SumValue = R.Count == 0 ? Variant(0) : Sum->FSumValueAsSum / Variant(R.Count);
        break;
      case goCount:
        Sum->SumValue = Variant(R.Count);
        break;
      case goMin:
      case goMax:
        if (R.Has) Sum->SumValue = Sum->VarValue = Variant(R.Value);
        break;
    }
  }
}

void TDBSumListProducer::RecalcAllForIntMemTable() {
  if (FOwner && FOwner->ComponentState().Contains(csLoading)) return;
  IMemTableEh* MemTable = nullptr;
  if (!FActive || !FDataSet || !FDataSet->Active() || !Supports(FDataSet, MemTable)) return;
  TAggrResultArr Results;
  Results.fill(Null());
  MemTable->FetchRecords(-1);
  if (OnRecalcAll.Assigned()) OnRecalcAll(this);
  for (Integer I = 0; I < FSumCollection->Count(); ++I) {
    TDBSum* Sum = FSumCollection->GetItem(I);
    if (Sum->GroupOperation() != goCount && Sum->FieldName().isEmpty()) continue;
    const TAggrFunctionEh Function = aggrFunctionOf(Sum->GroupOperation());
    MemTable->GetAggregatedValuesForRange(TBookmark(), TBookmark(), Sum->FieldName(), Results, {Function});
    const Variant& Result = Results[size_t(Function)];
    Sum->SumValue = VarIsNull(Result) ? Variant(0) : VarAsType(Result, varFMTBcd);
  }
  if (OnAfterRecalcAll.Assigned()) OnAfterRecalcAll(this);
  fireSumListChanged();
}

// ---------------------------------------------------------------------------
// virtual records

bool TDBSumListProducer::BookmarkInVisibleView(const TBookmark& Bookmark) {
  IMemTableEh* MemTable = nullptr;
  if (Supports(FDataSet, MemTable)) return MemTable->BookmarkInVisibleView(Bookmark);
  return BookmarkValidEh(FDataSet, Bookmark);
}

Integer TDBSumListProducer::RecordCount() {
  if (!FDataSet) return 0;
  if (FVirtualRecords && FActive) return FVirtualRecList->Count();
  return FDataSet->RecordCount();
}

Integer TDBSumListProducer::GetRecNo() {
  if (!FDataSet) return 0;
  if (FVirtualRecords && FActive) return FindVirtualRecord(FDataSet->Bookmark()) + 1;
  return FDataSet->RecNo();
}

void TDBSumListProducer::SetRecNo(Integer Value) {
  if (!FDataSet) return;
  if (FVirtualRecords && FActive)
    FDataSet->GotoBookmark(FVirtualRecList->GetItem(Value - 1));
  else
    FDataSet->SetRecNo(Value);
}

bool TDBSumListProducer::IsSequenced() {
  if (!FDataSet) return false;
  if (FDataSet->IsSequenced()) return true;
  if (!FVirtualRecords || !FActive) return false;
  return FVirtualRecList->Count() > 0 || (FDataSet->Bof() && FDataSet->Eof());
}

Integer TDBSumListProducer::FindVirtualRecord(const TBookmark& Bookmark) {
  // a walk from the last position: the grid asks for neighbouring records
  const Integer Count = FVirtualRecList->Count();
  if (FOldRecNo < 0) FOldRecNo = 0;
  if (Count == 0) return -1;
  if (FOldRecNo >= Count) FOldRecNo = 0;
  const auto Compare = [&](Integer Index) {
    return CompareBookmarksEh(FDataSet, FVirtualRecList->GetItem(Index), Bookmark);
  };
  const Integer C = Compare(FOldRecNo);
  if (C == 0) return FOldRecNo;
  const Integer Step = C > 0 ? -1 : 1;
  for (;;) {
    FOldRecNo += Step;
    if (FOldRecNo < 0 || FOldRecNo >= Count) return -1;
    if (Compare(FOldRecNo) == 0) return FOldRecNo;
  }
}
