// The memory table's core: construction, opening and closing, the record
// buffers, editing, the records-view update bracket and streaming.
#include "gridlib/memtable/memtable.h"

#include "gridlib/memtable/datadriver.h"
#include "gridlib/memtable/datasetexprparser.h"
#include "gridlib/memtable/masterdatalink.h"
#include "gridlib/memtable/memoryrecord.h"
#include "gridlib/memtable/memorytreelist.h"
#include "gridlib/memtable/memtabletreelist.h"
#include "gridlib/memtable/mtaggregates.h"
#include "gridlib/memtable/mtindexes.h"
#include "gridlib/memtable/recordsview.h"
#include "gridlib/memtable/sortedvarlist.h"
#include "gridlib/memtable/refobjectfield.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fieldclasses.h"
#include "platform/db/fielddefs.h"
#include "platform/db/fields.h"
#include "platform/db/indexdefs.h"
#include "platform/db/params.h"
#include "platform/rtl/filer.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"

#include <QStringList>

#include <cassert>
#include <cstring>

namespace {

inline constexpr int MemTableBookmarkSize = sizeof(TBookmarkDataEh);
inline constexpr const char* SNoData = "MemTable doesn't have data.";
inline constexpr const char* SNoFieldsDefined = "No fields defined. Cannot create dataset.";
inline constexpr const char* SNoDataFound = "No data found";
inline constexpr const char* SNoRecords = "There are no records.";

bool isCalcOrLookup(TField* Field) {
  return Field->FieldKind() == fkCalculated || Field->FieldKind() == fkLookup;
}

}  // namespace

bool IsMemTableFieldTypeEh(TFieldType Type) {
  switch (Type) {
    case ftCursor:
    case ftArray:
    case ftReference:
    case ftDataSet:
    case ftConnection:
    case ftParams:
    case ftStream:
    case ftObject:
      return false;
    default:
      return true;
  }
}

// ---------------------------------------------------------------------------
// TMTRecBuf

Variant TMTRecBuf::GetValue(TField* Field) {
  if (UseMemRec && MemRec && Field->FieldNo() > 0) return MemRec->GetDataValue(Field->FieldNo() - 1, dvvValueEh);
  const auto Index = size_t(Field->Index());
  if (UseMemRec && RecView && isCalcOrLookup(Field) && Index < RecView->LookupBuffer().size())
    return RecView->LookupBuffer()[Index];
  return Index < Values.size() ? Values[Index] : Null();
}

Variant TMTRecBuf::GetOldValue(TField* Field) {
  if (UseMemRec && MemRec && Field->FieldNo() > 0)
    return MemRec->OldData().empty() ? GetValue(Field) : MemRec->GetDataValue(Field->FieldNo() - 1, dvvOldValueEh);
  const auto Index = size_t(Field->Index());
  return Index < Values.size() ? Values[Index] : Null();
}

void TMTRecBuf::SetValue(TField* Field, const Variant& Value) {
  const auto Index = size_t(Field->Index());
  if (Index >= Values.size()) Values.resize(Index + 1, Null());
  if (UseMemRec && isCalcOrLookup(Field)) {
    if (RecView) {
      if (Index >= RecView->LookupBuffer().size()) RecView->SetLookupBufferLength(Integer(Index) + 1);
      RecView->LookupBuffer()[Index] = Value;
    }
    Values[Index] = Value;
    return;
  }
  if (UseMemRec) {
    // The first write detaches the row: from now on it shows its own values
    // until it is posted or cancelled.
    if (MemRec && DataSet) {
      TFields* Fields = DataSet->Fields();
      for (Integer I = 0; I < Fields->Count(); ++I) {
        TField* F = Fields->Fields(I);
        if (F->FieldNo() <= 0) continue;
        const auto FI = size_t(F->Index());
        if (FI >= Values.size()) Values.resize(FI + 1, Null());
        Values[FI] = MemRec->GetDataValue(F->FieldNo() - 1, dvvValueEh);
      }
    }
    UseMemRec = false;
  }
  Values[Index] = Value;
}

void TMTRecBuf::SetLength(Integer Len) {
  if (ValueCount() != Len) Values.resize(size_t(Len));
  Clear();
}

void TMTRecBuf::Clear() {
  // Every instant read clears its buffer, whose values are mostly Null still.
  for (Variant& V : Values)
    if (!VarIsNull(V)) V = Null();
}

// ---------------------------------------------------------------------------
// construction and destruction

TCustomMemTableEh::TCustomMemTableEh(TComponent* AOwner) : TDataSet(AOwner) {
  FInternMemTableData = CreateMemTableData();
  FInternMemTableData->SetName(QStringLiteral("MemTableData"));
  FRecordsView = new TRecordsViewEh(this);
  FRecordsView->OnFilterRecord = TRecordsViewFilterEventEh(this, &TCustomMemTableEh::RecordsViewFilterRecord);
  FRecordsView->OnParseOrderByStr = TParseOrderByStrEventEh(
      [this](const String& OrderByStr) -> TObject* { return ParseSortByFields(OrderByStr); });
  FRecordsView->OnCompareRecords = TCompareRecords(this, &TCustomMemTableEh::CompareRecords);
  FRecordsView->OnCompareTreeNode = TCompareNodesEh(this, &TCustomMemTableEh::CompareTreeNodes);
  FRecordsView->OnGetPrefilteredList =
      TGetPrefilteredListEventEh(this, &TCustomMemTableEh::RecordsViewGetPrefilteredList);
  FRecordsView->OnViewDataEvent =
      TRecordsListNotificatorDataEventEh(this, &TCustomMemTableEh::RecordsViewDataEvent);
  FRecordsView->OnViewRecordMovedEvent =
      TRecordsListRecordMovedEventEh(this, &TCustomMemTableEh::RecordsViewRecordMoved);
  FRecordsView->SetMemTableData(FInternMemTableData);
  FRecordsView->OnFetchRecords = TRecordsListFetchRecordsEventEh(this, &TCustomMemTableEh::FetchDriverRecords);
  FRecordsView->MemoryTreeList()->OnExpandedChanging =
      TTreeNodeNotifyResultEvent(this, &TCustomMemTableEh::TreeListExpandedChanging);
  FRecordsView->MemoryTreeList()->OnExpandedChanged =
      TTreeNodeNotifyEvent(this, &TCustomMemTableEh::TreeListExpandedChanged);
  FRecordsView->OnStructChanged =
      TRecordsListApplyUpdatesEventEh(this, &TCustomMemTableEh::RecordsViewStructChanged);
  FRecordsView->OnCalcLookupBuffer =
      TRecordsListCalcLookupBufferEventEh(this, &TCustomMemTableEh::RecordsViewCalcLookupBuffer);
  FMasterDataLink = new TMasterDataLinkEh(this);
  FMasterDataLink->OnMasterChange = TNotifyEvent(this, &TCustomMemTableEh::MasterChanged);
  FMasterValList = new TSortedVarlistEh;
  FDetailFieldList = new TFieldListEh;
  FParams = new TParams(this);
  FFilterExpr = new TDataSetExprParserEh(this, dsptFilterEh);
  FTreeList = new TMemTableTreeListEh(this);
  createViewParts();
}

void TCustomMemTableEh::BeforeDestruction() {
  Destroying();
  Close();
  SetDataDriver(nullptr);
  FreeAndNil(FFilterExpr);
  FreeAndNil(FParams);
  FreeAndNil(FDetailFieldList);
  if (!FExternalMemData) ClearRecords();
  destroyViewParts();
  // The view and the container outlive the engine's own teardown (fields,
  // links, owned components), whose events may still reach the table.
  RemoveComponent(FInternMemTableData);
  TDataSet::BeforeDestruction();
  FreeAndNil(FRecordsView);
  FreeAndNil(FMasterDataLink);
  FreeAndNil(FMasterValList);
  FreeAndNil(FTreeList);
  FreeAndNil(FInternMemTableData);
  FreeAndNil(FIndexDefs);
  FRecordCache.Clear();
  FEventReceivers.Clear();
}

TCustomMemTableEh::~TCustomMemTableEh() = default;

TMemTableDataEh* TCustomMemTableEh::CreateMemTableData() { return new TMemTableDataEh(this); }

// ---------------------------------------------------------------------------
// component

void TCustomMemTableEh::Loaded() {
  FInLoaded = true;
  {
    const TScopeExit Leave([this] { FInLoaded = false; });
    TDataSet::Loaded();
  }
  // The tree needs the fields the streamed key names refer to.
  if (FTreeList->LoadingActive()) FTreeList->SetActive(true);
}

void TCustomMemTableEh::Notification(TComponent* AComponent, TOperation Operation) {
  TDataSet::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FExternalMemData) SetExternalMemData(nullptr);
  if (AComponent == FDataSetReader) FDataSetReader = nullptr;
  if (AComponent == FDataDriver) SetDataDriver(nullptr);
  FEventReceivers.Remove(AComponent);
}

void TCustomMemTableEh::ReadState(TReader* Reader) {
  const TCreateComponentEvent OldCreate = Reader->OnCreateComponent;
  const TAncestorNotFoundEvent OldAncestorNotFound = Reader->OnAncestorNotFound;
  const TScopeExit Restore([&] {
    Reader->OnCreateComponent = OldCreate;
    Reader->OnAncestorNotFound = OldAncestorNotFound;
  });
  Reader->OnCreateComponent = TCreateComponentEvent(this, &TCustomMemTableEh::readMemTableDataComponent);
  Reader->OnAncestorNotFound = TAncestorNotFoundEvent(this, &TCustomMemTableEh::findMemTableDataAncestor);
  TDataSet::ReadState(Reader);
}

void TCustomMemTableEh::readMemTableDataComponent(TReader*, TClass ComponentClass, TComponent*& Component) {
  if (ComponentClass->InheritsFrom(TMemTableDataEh::StaticClass())) Component = FInternMemTableData;
}

void TCustomMemTableEh::findMemTableDataAncestor(TReader*, const String& ComponentName, TClass,
                                                 TComponent*& Component) {
  if (ComponentName == QStringLiteral("MemTableData")) Component = FInternMemTableData;
}

void TCustomMemTableEh::GetChildren(TGetChildProc Proc, TComponent* Root) {
  TDataSet::GetChildren(Proc, Root);
  if (!FDataDriver && !FExternalMemData && FInternMemTableData->DataStruct()->Count() > 0) {
    FInternMemTableData->SetStoreStructInStream(true);
    FInternMemTableData->SetStoreRecordsInStream(true);
    Proc(FInternMemTableData);
  } else if (FDataDriver && !FExternalMemData && FOptions.Contains(mtoPersistentStructEh)) {
    FInternMemTableData->SetStoreStructInStream(true);
    FInternMemTableData->SetStoreRecordsInStream(false);
    Proc(FInternMemTableData);
  } else {
    FInternMemTableData->SetStoreStructInStream(true);
    FInternMemTableData->SetStoreRecordsInStream(true);
  }
}

// ---------------------------------------------------------------------------
// provider support

String TCustomMemTableEh::PSGetKeyFields() { return TDataSet::PSGetKeyFields(); }

TIndexDefs* TCustomMemTableEh::PSGetIndexDefs(TIndexOptions IndexTypes) {
  auto* Result = new TIndexDefs(nullptr);
  TIndexDefs* Defs = IndexDefs();
  for (Integer I = 0; I < Defs->Count(); ++I) {
    TIndexDef* Def = Defs->Items(I);
    if (IndexTypes.Empty() || !(Def->Options() * IndexTypes).Empty())
      Result->AddIndexDef()->Assign(Def);
  }
  return Result;
}

// ---------------------------------------------------------------------------
// fields

void TCustomMemTableEh::BindFields(bool Binding) { TDataSet::BindFields(Binding); }

void TCustomMemTableEh::CreateFields() {
  TFieldDefs* Defs = FieldDefs();
  for (Integer I = 0; I < Defs->Count(); ++I) {
    TFieldDef* Def = Defs->Items(I);
    switch (Def->DataType()) {
      case ftADT:
      case ftArray:
      case ftReference:
      case ftDataSet:
        continue;
      default:
        break;
    }
    if (Def->Attributes().Contains(faHiddenCol) && !Defs->HiddenFields()) continue;
    TField* Field = Def->CreateField(this);
    if (TMTDataFieldEh* DataField = FRecordsView->MemTableData()->DataStruct()->FindField(Field->FieldName()))
      DataField->AssignPropsTo(Field);
  }
  const QStringList KeyFields = PSGetKeyFields().split(QLatin1Char(';'), Qt::SkipEmptyParts);
  for (const String& Name : KeyFields)
    for (Integer I = 0; I < Fields()->Count(); ++I) {
      TField* Field = Fields()->Fields(I);
      if (Field->FieldName().compare(Name.trimmed(), Qt::CaseInsensitive) != 0) continue;
      TProviderFlags Flags = Field->ProviderFlags();
      Flags.Include(pfInKey);
      Field->SetProviderFlags(Flags);
    }
}

void TCustomMemTableEh::DefChanged(TObject* Sender) {
  TDataSet::DefChanged(Sender);
  FStoreDefs = true;
}

void TCustomMemTableEh::InitFieldDefs() { TDataSet::InitFieldDefs(); }

void TCustomMemTableEh::InternalInitFieldDefs() {
  FRecordsView->MemTableData()->DataStruct()->BuildFieldDefsFromStruct(FieldDefs());
}

void TCustomMemTableEh::InitFieldDefsFromFields() {
  if (FieldDefs()->Count() != 0) return;
  FAutoIncrementFieldName.clear();
  for (Integer I = 0; I < Fields()->Count(); ++I) {
    TField* Field = Fields()->Fields(I);
    if (Field->FieldKind() != fkData && Field->FieldKind() != fkInternalCalc) continue;
    if (!IsMemTableFieldTypeEh(Field->DataType()))
      DatabaseErrorFmt(DBConsts::SUnknownFieldType, {Field->DisplayName()}, this);
    if (Field->AutoGenerateValue() == arAutoInc) FAutoIncrementFieldName = Field->FieldName();
  }
  if (FieldDefs()->Count() != 0) return;
  for (Integer I = 0; I < Fields()->Count(); ++I) {
    TField* Field = Fields()->Fields(I);
    if (Field->FieldKind() != fkData && Field->FieldKind() != fkInternalCalc) continue;
    TFieldDef* Def = FieldDefs()->AddFieldDef();
    Def->SetName(Field->FieldName());
    Def->SetDataType(Field->DataType());
    Def->SetSize(Field->Size());
    Def->SetInternalCalcField(Field->FieldKind() == fkInternalCalc);
    TFieldAttributes Attributes;
    if (Field->Required()) Attributes.Include(faRequired);
    if (Field->ReadOnly()) Attributes.Include(faReadonly);
    Def->SetAttributes(Attributes);
    if (auto* BCDField = dynamic_cast<TBCDField*>(Field)) Def->SetPrecision(BCDField->Precision());
    if (auto* FMTField = dynamic_cast<TFMTBCDField*>(Field)) Def->SetPrecision(FMTField->Precision());
  }
}

// ---------------------------------------------------------------------------
// opening and closing

void TCustomMemTableEh::SetActive(bool Value) {
  if (Value == Active()) return;
  TDataSet::SetActive(Value);
}

void TCustomMemTableEh::OpenCursor(bool InfoQuery) {
  if (!InfoQuery) {
    TMemTableDataEh* Data = FRecordsView->MemTableData();
    if (FDataDriver) {
      if (MasterSource() && providerSide()) SetDriverParamsFromMaster();
      takeDriverReader();
      if (FOptions.Contains(mtoPersistentStructEh))
        Data->ResetRecords();
      else if (Fields()->Count() > 0)
        Data->DataStruct()->BuildStructFromFields(Fields());
      else
        FDataDriver->BuildDataStruct(Data->DataStruct());
    } else if (Data->DataStruct()->Count() == 0) {
      DatabaseError(SNoData, this);
    }
    CreateIndexesFromDefs();
    FActive = true;
  }
  try {
    TDataSet::OpenCursor(InfoQuery);
  } catch (...) {
    if (!InfoQuery) FActive = false;
    throw;
  }
  if (InfoQuery) return;
  RefreshFilteredView();
  Resync({});
}

void TCustomMemTableEh::InternalOpen() {
  SetBookmarkSize(MemTableBookmarkSize);
  FieldDefs()->SetUpdated(false);
  FieldDefs()->Update();
  if (DefaultFields()) CreateFields();
  BindFields(/*Binding=*/true);
  if (Fields()->Count() == 0) DatabaseError(SNoFieldsDefined, this);
  FRecBufSize = -1;
  InternalFirst();
  UpdateDetailMode(/*Refresh=*/false);
  ParseFilterExpr();
  FRecordsView->UpdateFields();
  FRecordsView->Aggregates()->Reset();
  FRecordsView->SetSortOrder(FSortOrder);
  bool HasInternalCalc = false;
  for (Integer I = 0; I < Fields()->Count(); ++I)
    if (Fields()->Fields(I)->FieldKind() == fkInternalCalc) HasInternalCalc = true;
  TMemTableDataEh* Data = FRecordsView->MemTableData();
  if (FExternalMemData || !HasInternalCalc) {
    Data->SetOnFieldCalculation(TMemoryRecordEventEh());
  } else {
    Data->SetOnFieldCalculation(TMemoryRecordEventEh(this, &TCustomMemTableEh::MemTableDataFieldCalculation));
    Data->RecordsList()->Indexes()->UpdateIndexes();
  }
}

void TCustomMemTableEh::InternalClose() {
  FMasterValList->Clear();
  FActive = false;
  ClearFilterExpr();
  FAutoInc = 1;
  FRecordsView->Aggregates()->Reset();
  if (FRecordsView->MemTableData()) FRecordsView->MemTableData()->SetOnFieldCalculation(TMemoryRecordEventEh());
  FDataSetReader = nullptr;
  if (FDataDriver) FDataDriver->ConsumerClosed(this);
}

void TCustomMemTableEh::UpdateIndexDefs() {
  if (IndexDefs()->Count() > 0 && ComponentState().Contains(csDesigning)) return;
  if (!Active() || FIndexDefs->Updated()) return;
  FieldDefs()->Update();
  FIndexDefs->Clear();
  FIndexDefs->SetUpdated(true);
}

void TCustomMemTableEh::CreateIndexesFromDefs() {
  if (!FIndexDefs || FIndexDefs->Count() == 0) return;
  TMTIndexesEh* Indexes = FRecordsView->MemTableData()->RecordsList()->Indexes();
  for (Integer I = 0; I < FIndexDefs->Count(); ++I) {
    TIndexDef* Def = FIndexDefs->Items(I);
    // Opening again must not stack a second index on the same fields.
    if (TMTIndexEh* Existing = Indexes->GetIndexForFields(Def->Fields());
        Existing && Existing->Unique() == Def->Options().Contains(ixUnique))
      continue;
    TMTIndexEh* Index = Indexes->Add();
    Index->SetFields(Def->Fields());
    Index->SetUnique(Def->Options().Contains(ixUnique));
    Index->SetPrimary(Def->Options().Contains(ixPrimary));
  }
  for (Integer I = 0; I < Indexes->Count(); ++I) Indexes->GetItem(I)->SetActive(true);
}

// ---------------------------------------------------------------------------
// record buffers

TMTRecBuf* TCustomMemTableEh::RecBuf(TRecordBuffer Buffer) const {
  assert(Buffer > 0 && Buffer <= FRecordCache.Count() && "a handle of this table's record cache");
  return static_cast<TMTRecBuf*>(FRecordCache.Items(Integer(Buffer) - 1));
}

TRecordBuffer TCustomMemTableEh::AllocRecordBuffer() {
  // From the end: an instant read frees and takes its buffer there once a
  // row, behind the window's buffers.
  Integer Index = -1;
  for (Integer I = FRecordCache.Count() - 1; I >= 0; --I)
    if (!static_cast<TMTRecBuf*>(FRecordCache.Items(I))->InUse) {
      Index = I;
      break;
    }
  if (Index < 0) {
    auto* Buf = new TMTRecBuf;
    Buf->DataSet = this;
    Index = FRecordCache.Add(Buf);
  }
  TMTRecBuf* Buf = static_cast<TMTRecBuf*>(FRecordCache.Items(Index));
  Buf->InUse = true;
  Buf->RecordNumber = -2;
  Buf->SetLength(Fields()->Count());
  return Index + 1;
}

void TCustomMemTableEh::FreeRecordBuffer(TRecordBuffer& Buffer) {
  if (Buffer == NoRecordBuffer) return;
  const Integer Index = Integer(Buffer) - 1;
  if (Index == FRecordCache.Count() - 1 && BufferCount() < FRecordCache.Count() - 2) {
    FRecordCache.Delete(Index);
  } else {
    TMTRecBuf* Buf = RecBuf(Buffer);
    Buf->InUse = false;
    Buf->RecordNumber = -1;
    Buf->Clear();
    Buf->RecView = nullptr;
    Buf->MemRec = nullptr;
    Buf->UseMemRec = false;
  }
  Buffer = NoRecordBuffer;
}

int TCustomMemTableEh::GetRecordSize() { return FRecBufSize; }

void TCustomMemTableEh::InternalInitRecord(TRecordBuffer Buffer) {
  TMTRecBuf* Buf = RecBuf(Buffer);
  Buf->SetLength(Fields()->Count());
  Buf->RecView = nullptr;
  Buf->MemRec = nullptr;
  Buf->UseMemRec = false;
}

void TCustomMemTableEh::InitRecord(TRecordBuffer Buffer) {
  TDataSet::InitRecord(Buffer);
  TMTRecBuf* Buf = RecBuf(Buffer);
  Buf->BookmarkData = TBookmarkDataEh();
  Buf->BookmarkFlag = bfInserted;
  Buf->RecordNumber = -1;
}

bool TCustomMemTableEh::GetCurrentRecord(TRecordBuffer) { return false; }

void TCustomMemTableEh::RecToRecBuf(TMemoryRecordEh* Rec, TMTRecBuf* Buffer, Integer RowIndex) {
  Buffer->RecordNumber = RowIndex;
  Buffer->BookmarkFlag = bfCurrent;
  Buffer->MemRec = Rec;
  Buffer->RecView = nullptr;
  Buffer->BookmarkData.RecSerial = Rec ? Rec->Serial() : 0;
  Buffer->BookmarkData.RecViewIndex = RowIndex;
  Buffer->BookmarkData.InSortedListIndex =
      RowIndex < 0 ? -1 : FRecordsView->RecordView(RowIndex)->InSortedListIndex();
  Buffer->UseMemRec = true;
  GetCalcFields(Integer(FRecordCache.IndexOf(Buffer)) + 1);
}

void TCustomMemTableEh::CopyRecBuf(TMTRecBuf* FromBuffer, TMTRecBuf* ToBuffer) {
  ToBuffer->BookmarkData = FromBuffer->BookmarkData;
  ToBuffer->BookmarkFlag = FromBuffer->BookmarkFlag;
  ToBuffer->RecordStatus = FromBuffer->RecordStatus;
  ToBuffer->RecordNumber = FromBuffer->RecordNumber;
  ToBuffer->NewTreeNodeExpanded = FromBuffer->NewTreeNodeExpanded;
  ToBuffer->NewTreeNodeHasChildren = FromBuffer->NewTreeNodeHasChildren;
  ToBuffer->RecView = FromBuffer->RecView;
  ToBuffer->MemRec = FromBuffer->MemRec;
  ToBuffer->Values = FromBuffer->Values;
  ToBuffer->UseMemRec = FromBuffer->UseMemRec;
}

void TCustomMemTableEh::RecBufToRec(TMTRecBuf* Buffer, TMemoryRecordEh* Rec) {
  if (State() == dsFilter) DatabaseError(DBConsts::SNotEditing, this);
  for (Integer I = 0; I < Fields()->Count(); ++I) {
    TField* Field = Fields()->Fields(I);
    if (Field->FieldNo() > 0) Rec->SetDataValue(Field->FieldNo() - 1, dvvValueEh, Buffer->GetValue(Field));
  }
}

TGetResult TCustomMemTableEh::GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) {
  TGetResult Result = grOK;
  switch (GetMode) {
    case gmCurrent:
      if (FRecordPos < 0 || FRecordPos >= FRecordsView->ViewItemsCount()) Result = grError;
      break;
    case gmNext:
      if (FRecordPos >= FRecordsView->ViewItemsCount() - 1) {
        BeginRecordsViewUpdate();
        const TScopeExit End([this] { EndRecordsViewUpdate(/*ForceResync=*/false); });
        FetchDriverRecords(FFetchAllOnOpen ? -1 : 1);
      }
      if (FRecordPos < FRecordsView->ViewItemsCount() - 1) {
        ++FRecordPos;
      } else {
        FRecordPos = FRecordsView->ViewItemsCount();
        Result = grEOF;
      }
      break;
    case gmPrior:
      if (FRecordPos > 0) {
        FRecordPos = std::min(FRecordPos, FRecordsView->ViewItemsCount()) - 1;
      } else {
        Result = grBOF;
        FRecordPos = -1;
        FInstantReadCurRowNum = 0;
      }
      break;
  }
  if (FRecordPos >= 0) FInstantReadCurRowNum = FRecordPos;
  if (Result == grOK) {
    if (GetMode == gmNext) prefetchRowsAhead(FRecordPos, /*DataIndex=*/-1);
    TMTRecBuf* Buf = RecBuf(Buffer);
    RecToRecBuf(FRecordsView->ViewRecord(FRecordPos), Buf, FRecordPos);
    Buf->RecView = FRecordsView->RecordView(FRecordPos);
  } else if (Result == grError && DoCheck) {
    DatabaseError(SNoDataFound, this);
  }
  return Result;
}

Integer TCustomMemTableEh::instantReadTopBuffer() const {
  return FInstantBuffers.empty() ? Integer(NoRecordBuffer) : Integer(FInstantBuffers.back());
}

bool TCustomMemTableEh::GetActiveRecBuf(TMTRecBuf*& RecBuf, bool IgnoreInstantRead) {
  TRecordBuffer Buffer = NoRecordBuffer;
  if (FInstantReadMode && !IgnoreInstantRead) {
    Buffer = instantReadTopBuffer();
  } else {
    switch (State()) {
      case dsBrowse:
      case dsBlockRead:
        if (ActiveRecord() < BufferedRecordCount()) Buffer = ActiveBuffer();
        break;
      case dsEdit:
      case dsInsert:
      case dsNewValue:
        Buffer = ActiveBuffer();
        break;
      case dsCalcFields:
        Buffer = CalcBuffer();
        break;
      case dsFilter:
        Buffer = TempBuffer();
        break;
      case dsOldValue:
      case dsCurValue: {
        UpdateCursorPos();
        if (BufferedRecordCount() == 0) break;
        const TBookmarkFlag Flag = GetBookmarkFlag(ActiveBuffer());
        if (Flag == bfBOF || Flag == bfEOF || Flag == bfInserted) break;
        if (FRecordPos < 0 || FRecordPos >= FRecordsView->ViewItemsCount()) break;
        Buffer = TempBuffer();
        RecToRecBuf(FRecordsView->ViewRecord(FRecordPos), this->RecBuf(Buffer), FRecordPos);
        break;
      }
      case dsInternalCalc:
        Buffer = instantReadTopBuffer();
        break;
      default:
        break;
    }
  }
  RecBuf = Buffer == NoRecordBuffer ? nullptr : this->RecBuf(Buffer);
  return RecBuf != nullptr;
}

// ---------------------------------------------------------------------------
// the records-view update bracket

void TCustomMemTableEh::BeginRecordsViewUpdate() { ++FRecordsViewUpdating; }

void TCustomMemTableEh::EndRecordsViewUpdate(bool ForceResync) {
  if (FRecordsViewUpdating > 0) --FRecordsViewUpdating;
  if (!ForceResync || FRecordsViewUpdating != 0 || !FRecordsViewUpdated) return;
  FRecordsViewUpdated = false;
  if (State() != dsEdit && State() != dsInsert) Resync({});
}

void TCustomMemTableEh::Resync(TResyncModes Mode) {
  // While opening the engine has not made the window yet; it fills it itself.
  if (BufferCount() == 0) return;
  if (FRecordsViewUpdating > 0) {
    FRecordsViewUpdated = true;
    return;
  }
  TDataSet::Resync(Mode);
}

// ---------------------------------------------------------------------------
// editing

void TCustomMemTableEh::InternalEdit() {
  RecBuf(ActiveBuffer())->NeedUpdateCalcFields = true;
  TDataSet::InternalEdit();
}

void TCustomMemTableEh::DoOnNewRecord() {
  for (Integer I = 0; I < Fields()->Count(); ++I) {
    TField* Field = Fields()->Fields(I);
    if (!Field->DefaultExpression().isEmpty() && Field->CanModify()) Field->SetText(Field->DefaultExpression());
  }
  assignDetailFieldsFromMaster();
  TDataSet::DoOnNewRecord();
}

void TCustomMemTableEh::InternalPost() {
  TDataSet::InternalPost();
  BeginRecordsViewUpdate();
  const TScopeExit End([this] { EndRecordsViewUpdate(/*ForceResync=*/false); });
  UpdateCursorPos();
  TMTRecBuf* Buf = RecBuf(ActiveBuffer());
  if (State() == dsEdit) {
    TMemoryRecordEh* Rec = FRecordsView->ViewRecord(FRecordPos);
    Rec->Edit();
    RecBufToRec(Buf, Rec);
    Rec->Post();
    if (!CachedUpdates()) InternalApplyUpdates(FRecordsView->MemTableData(), -1);
    FRecordPos = FRecordsView->IndexOfRec(Rec, FRecordPos);
  } else if (State() == dsInsert) {
    // The buffer's flag, not the engine's EOF: after Last, an Insert still
    // goes before the current row.
    InternalAddRecord(ActiveBuffer(), Buf->BookmarkFlag == bfEOF);
  }
}

void TCustomMemTableEh::InternalAddRecord(TRecordBuffer Buffer, bool Append) {
  TMTRecBuf* Buf = RecBuf(Buffer);
  TMemoryRecordEh* Rec = FRecordsView->NewRecord();
  try {
    RecBufToRec(Buf, Rec);
    if (Append)
      FRecordsView->AddRecord(Rec);
    else
      FRecordsView->InsertRecord(std::max(FRecordPos, 0), Rec);
  } catch (...) {
    if (!Rec->Attached()) Rec->Free();
    throw;
  }
  if (!CachedUpdates()) {
    try {
      InternalApplyUpdates(FRecordsView->MemTableData(), -1);
    } catch (...) {
      FRecordsView->CancelUpdates();
      throw;
    }
  }
  FRecordPos = FRecordsView->IndexOfRec(Rec);
}

void TCustomMemTableEh::InternalCancel() {
  {
    BeginRecordsViewUpdate();
    const TScopeExit End([this] { EndRecordsViewUpdate(/*ForceResync=*/false); });
    if (State() == dsEdit && FRecordPos >= 0 && FRecordPos < FRecordsView->ViewItemsCount()) {
      TMemoryRecordEh* Rec = FRecordsView->ViewRecord(FRecordPos);
      if (Rec->EditState() == resEditEh) TMemoryRecordEh::Cancel(Rec);
    }
    if (!CachedUpdates() && HasCachedChanges()) FRecordsView->MemTableData()->RecordsList()->CancelUpdates();
  }
  if (State() == dsEdit) RecBuf(ActiveBuffer())->UseMemRec = true;
}

void TCustomMemTableEh::InternalDelete() {
  BeginRecordsViewUpdate();
  const TScopeExit End([this] { EndRecordsViewUpdate(/*ForceResync=*/false); });
  FRecordsView->DeleteRecord(FRecordPos);
  if (!CachedUpdates()) {
    try {
      InternalApplyUpdates(FRecordsView->MemTableData(), -1);
    } catch (...) {
      FRecordsView->CancelUpdates();
      throw;
    }
  }
  if (FRecordPos >= FRecordsView->ViewItemsCount()) --FRecordPos;
}

void TCustomMemTableEh::InternalRefresh() {
  DisableControls();
  const TScopeExit Enable([this] { EnableControls(); });
  if (FDataDriver) {
    FDataDriver->RefreshReader();
    if (MasterSource() && providerSide()) SetDriverParamsFromMaster();
    takeDriverReader();
    BeginRecordsViewUpdate();
    const TScopeExit End([this] { EndRecordsViewUpdate(/*ForceResync=*/false); });
    ClearRecords();
    FetchDriverRecords(FFetchAllOnOpen ? -1 : 1);
  }
  RefreshFilteredView();
}

void TCustomMemTableEh::InternalHandleException() { TDataSet::InternalHandleException(); }

void TCustomMemTableEh::CancelUpdates() {
  FRecordsView->CancelUpdates();
  Resync({});
}

void TCustomMemTableEh::RevertRecord() {
  Cancel();
  CheckBrowseMode();
  UpdateCursorPos();
  if (BufferedRecordCount() == 0) throw Exception(QString::fromLatin1(SNoRecords));
  if (!FRecordsView->ViewAsTreeList()) FRecordsView->RevertRecord(RecNo() - 1);
  Resync({});
}

void TCustomMemTableEh::ClearRecords() {
  TMemTableDataEh* Data = FRecordsView ? FRecordsView->MemTableData() : FInternMemTableData;
  if (Data) {
    Data->RecordsList()->Clear();
    Data->AutoIncrement()->Reset();
  }
  FRecordPos = -1;
  FInstantReadCurRowNum = -1;
}

TUpdateStatus TCustomMemTableEh::UpdateStatus() {
  const Integer Row = RecNo();
  if (Row <= 0) return usUnmodified;
  return FRecordsView->ViewRecord(Row - 1)->UpdateStatus();
}

TUpdateErrorEh* TCustomMemTableEh::UpdateError() {
  CheckActive();
  TMTRecBuf* Buf = nullptr;
  if (!GetActiveRecBuf(Buf) || Buf->RecordNumber < 0 || Buf->RecordNumber >= FRecordsView->ViewItemsCount())
    return nullptr;
  return FRecordsView->ViewRecord(Buf->RecordNumber)->UpdateError();
}

// ---------------------------------------------------------------------------
// structure (creating, emptying, destroying)

void TCustomMemTableEh::CreateDataSet() {
  CheckInactive();
  if (Fields()->Count() > 0) FieldDefs()->Clear();
  InitFieldDefsFromFields();
  TMTDataStructEh* Struct = FRecordsView->MemTableData()->DataStruct();
  FRecordsView->MemTableData()->DestroyTable();
  Struct->BuildStructFromFieldDefs(FieldDefs());
  if (!FAutoIncrementFieldName.isEmpty())
    if (TMTDataFieldEh* Field = Struct->FindField(FAutoIncrementFieldName)) Field->SetAutoIncrement(true);
  CreateIndexesFromDefs();
  Open();
}

void TCustomMemTableEh::EmptyTable() {
  if (!Active()) return;
  BeginRecordsViewUpdate();
  const TScopeExit End([this] { EndRecordsViewUpdate(/*ForceResync=*/true); });
  CheckBrowseMode();
  ClearBuffers();
  ClearRecords();
  // The view changed whether or not it reported it: the forced end resyncs.
  FRecordsViewUpdated = true;
}

void TCustomMemTableEh::DestroyTable() {
  Close();
  FRecordsView->MemTableData()->DestroyTable();
}

// ---------------------------------------------------------------------------
// properties

void TCustomMemTableEh::SetReadOnly(bool Value) {
  if (FReadOnly == Value) return;
  FReadOnly = Value;
  DataEvent(deDataSetChange, 0);
}

TAutoIncrementEh* TCustomMemTableEh::AutoIncrement() { return FRecordsView->MemTableData()->AutoIncrement(); }

void TCustomMemTableEh::SetAutoIncrement(TAutoIncrementEh* Value) { AutoIncrement()->Assign(Value); }

TIndexDefs* TCustomMemTableEh::IndexDefs() {
  if (!FIndexDefs) FIndexDefs = new TIndexDefs(this);
  return FIndexDefs;
}

void TCustomMemTableEh::SetIndexDefs(TIndexDefs* Value) { IndexDefs()->Assign(Value); }

void TCustomMemTableEh::SetFieldDefs(TFieldDefs* Value) { FieldDefs()->Assign(Value); }

void TCustomMemTableEh::SetParams(TParams* Value) { FParams->Assign(Value); }

TDataSource* TCustomMemTableEh::GetDataSource() { return MasterSource(); }
void TCustomMemTableEh::SetTreeList(TMemTableTreeListEh* Value) { FTreeList->Assign(Value); }

// The driver stays out of the reopening: the table shows the structure it
// was given, not one the driver would build.
void TCustomMemTableEh::RecordsViewStructChanged(TMemTableDataEh*) {
  if (!Active()) return;
  TDataDriverEh* Driver = FDataDriver;
  FDataDriver = nullptr;
  const TScopeExit Reattach([this, Driver] { FDataDriver = Driver; });
  Close();
  if (FRecordsView->MemTableData()->DataStruct()->Count() > 0) Open();
}

// ---------------------------------------------------------------------------
// TMemTableEh

void TMemTableEh::DescribeProperties(TPropertyTable& Props) {
  using T = TCustomMemTableEh;
  Props.Add("AggregatesActive", &T::AggregatesActive, &T::SetAggregatesActive).Default(false);
  Props.Add("AutoIncrement", &T::AutoIncrement, &T::SetAutoIncrement);
  Props.Add("CachedUpdates", &T::CachedUpdates, &T::SetCachedUpdates).Default(false);
  Props.Add("DetailFields", &T::DetailFields, &T::SetDetailFields);
  Props.Add("ExternalMemData", &T::ExternalMemData, &T::SetExternalMemData);
  Props.Add("FetchAllOnOpen", &T::FetchAllOnOpen, &T::SetFetchAllOnOpen).Default(false);
  Props.Add<T>("FieldDefs", &T::FieldDefs, &T::SetFieldDefs).Stored(&T::StoreDefs);
  Props.Add("IndexDefs", &T::IndexDefs, &T::SetIndexDefs).Stored(&T::StoreDefs);
  Props.Add("MasterDetailSide", &T::MasterDetailSide, &T::SetMasterDetailSide).Default(mdsOnSelfEh);
  Props.Add("MasterFields", &T::MasterFields, &T::SetMasterFields);
  Props.Add("MasterSource", &T::MasterSource, &T::SetMasterSource);
  Props.Add("DataDriver", &T::DataDriver, &T::SetDataDriver);
  Props.Add("Params", &T::Params, &T::SetParams);
  Props.Add("Options", &T::Options, &T::SetOptions).Default(TMemTableOptionsEh{});
  Props.Add("ReadOnly", &T::ReadOnly, &T::SetReadOnly).Default(false);
  Props.Add("SortOrder", &T::SortOrder, &T::SetSortOrder);
  Props.Add("StoreDefs", &T::StoreDefs, &T::SetStoreDefs).Default(false);
  Props.Add("TreeList", &T::TreeList, &T::SetTreeList);
  Props.Add("OnGetFieldValue", &T::OnGetFieldValue, &T::SetOnGetFieldValue);
  Props.Add("OnSetFieldValue", &T::OnSetFieldValue, &T::SetOnSetFieldValue);
  Props.Add("OnRecordsViewTreeNodeExpanding", &T::OnRecordsViewTreeNodeExpanding, &T::OnRecordsViewTreeNodeExpanding);
  Props.Add("OnRecordsViewTreeNodeExpanded", &T::OnRecordsViewTreeNodeExpanded, &T::OnRecordsViewTreeNodeExpanded);
  Props.Add("OnRecordsViewTreeNodeCollapsed", &T::OnRecordsViewTreeNodeCollapsed,
            &T::OnRecordsViewTreeNodeCollapsed);
}
