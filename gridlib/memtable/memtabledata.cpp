#include "gridlib/memtable/memtabledata.h"

#include "gridlib/memtable/memoryrecord.h"
#include "gridlib/memtable/mtindexes.h"
#include "platform/rtl/filer.h"
#include "platform/rtl/scopeexit.h"

// ---------------------------------------------------------------------------
// TAutoIncrementEh

TAutoIncrementEh::TAutoIncrementEh() { Reset(); }

void TAutoIncrementEh::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Step", &TAutoIncrementEh::Step, &TAutoIncrementEh::SetStep).Default(-1);
  Props.Add("InitValue", &TAutoIncrementEh::InitValue, &TAutoIncrementEh::SetInitValue).Default(-1);
}

void TAutoIncrementEh::Assign(TPersistent* Source) {
  auto* Src = dynamic_cast<TAutoIncrementEh*>(Source);
  if (!Src) {
    TPersistent::Assign(Source);
    return;
  }
  SetStep(Src->Step());
  SetInitValue(Src->InitValue());
}

Integer TAutoIncrementEh::Promote() {
  const Integer Result = FCurValue;
  FCurValue += FStep;
  return Result;
}

void TAutoIncrementEh::SetInitValue(Integer Value) {
  if (FCurValue == FInitValue) FCurValue = Value;
  FInitValue = Value;
}

// ---------------------------------------------------------------------------
// TMemTableDataEh

TMemTableDataEh::TMemTableDataEh(TComponent* AOwner)
    : TComponent(AOwner),
      FAutoIncrement(new TAutoIncrementEh),
      FDataStruct(new TMTDataStructEh(this)),
      FNewDataStruct(new TMTDataStructEh(nullptr)) {
  FDataStruct->SetName(QStringLiteral("DataStruct"));
}

void TMemTableDataEh::AfterConstruction() {
  TComponent::AfterConstruction();
  GetRecordsList();
}

void TMemTableDataEh::BeforeDestruction() {
  while (FNotificators.Count() > 0) notificator(0)->SetDataObject(nullptr);
  FreeAndNil(FRecordsList);
  TComponent::BeforeDestruction();
  FreeAndNil(FNewDataStruct);
  delete FAutoIncrement;
  FAutoIncrement = nullptr;
}

TRecordsListNotificatorEh* TMemTableDataEh::notificator(Integer Index) const {
  return static_cast<TRecordsListNotificatorEh*>(FNotificators.Items(Index));
}

TRecordsListEh* TMemTableDataEh::CreateRecordsList() { return new TRecordsListEh(this); }

TAutoIncrementEh* TMemTableDataEh::GetAutoIncrement() { return FAutoIncrement; }

TMTDataStructEh* TMemTableDataEh::GetDataStruct() { return FDataStruct; }

TRecordsListEh* TMemTableDataEh::GetRecordsList() {
  // Made on first use rather than in the constructor, where a descendant's
  // CreateRecordsList could not be reached.
  if (!FRecordsList) {
    FRecordsList = CreateRecordsList();
    FRecordsList->SetName(QStringLiteral("RecordsList"));
  }
  return FRecordsList;
}

void TMemTableDataEh::AddNotificator(TRecordsListNotificatorEh* Item) { FNotificators.Add(Item); }

void TMemTableDataEh::RemoveNotificator(TRecordsListNotificatorEh* Item) { FNotificators.Remove(Item); }

bool TMemTableDataEh::HasApplyUpdatesHandlers() const {
  for (Integer I = 0; I < FNotificators.Count(); I++)
    if (notificator(I)->HasApplyUpdatesHandler()) return true;
  return false;
}

void TMemTableDataEh::ApplyUpdates(TMemTableDataEh* AMemTableData) {
  for (Integer I = 0; I < FNotificators.Count(); I++) notificator(I)->ApplyUpdates(AMemTableData);
}

void TMemTableDataEh::DataStructChanging() {}

void TMemTableDataEh::RecordsListNotify(TMemoryRecordEh* Rec, Integer Index, TRecordsListNotification Action) {
  if (Action == rlnRecAddedEh || Action == rlnRecChangedEh) CalculateRecordFields(Rec);
  for (Integer I = 0; I < FNotificators.Count(); I++) notificator(I)->DataEvent(Rec, Index, Action);
}

void TMemTableDataEh::RecordMoved(TMemoryRecordEh* Item, Integer OldIndex, Integer NewIndex) {
  for (Integer I = 0; I < FNotificators.Count(); I++) notificator(I)->RecordMoved(Item, OldIndex, NewIndex);
}

void TMemTableDataEh::SetAutoIncrement(TAutoIncrementEh* Value) { FAutoIncrement->Assign(Value); }

void TMemTableDataEh::SetAutoIncValue(TMemoryRecordEh* Rec) {
  TMTDataStructEh* Struct = DataStruct();
  bool Promoted = false;
  Integer Value = 0;
  for (Integer I = 0; I < Struct->Count(); I++) {
    TMTDataFieldEh* Field = Struct->GetDataField(I);
    if (Field->DataType() != ftAutoInc && !Field->AutoIncrement()) continue;
    if (!Promoted) {
      Value = AutoIncrement()->Promote();
      Promoted = true;
    }
    Rec->SetDataValue(I, dvvValueEh, Variant(Value));
  }
}

void TMemTableDataEh::DataStructChanged() {
  FIncFieldIndexes.clear();
  TMTDataStructEh* Struct = DataStruct();
  for (Integer I = 0; I < Struct->Count(); I++)
    if (Struct->GetDataField(I)->DataType() == ftAutoInc) FIncFieldIndexes.push_back(I);
  for (Integer I = 0; I < FNotificators.Count(); I++) notificator(I)->StructChanged(this);
}

TMTDataStructEh* TMemTableDataEh::BeginRestruct() {
  if (FRestructMode) throw Exception(QStringLiteral("MemTableData already in RestructMode."));
  FreeAndNil(FNewDataStruct);
  FNewDataStruct = DataStruct()->GetCopy();
  FRestructMode = true;
  return FNewDataStruct;
}

Integer TMemTableDataEh::FetchRecords(Integer Count) {
  Integer Result = 0;
  for (Integer I = 0; I < FNotificators.Count(); I++) Result += notificator(I)->FetchRecords(Count);
  return Result;
}

void TMemTableDataEh::CancelRestruct() {
  FRestructMode = false;
  FNewDataStruct->Clear();
}

void TMemTableDataEh::CommitRestruct() { FRestructMode = false; }

void TMemTableDataEh::DestroyTable() {
  ResetRecords();
  DataStruct()->Clear();
}

void TMemTableDataEh::ResetRecords() {
  RecordsList()->Indexes()->Clear();
  RecordsList()->Clear();
  AutoIncrement()->Reset();
}

void TMemTableDataEh::SetOnFieldCalculation(const TMemoryRecordEventEh& Value) {
  if (Value == FOnFieldCalculation) return;
  FOnFieldCalculation = Value;
  TRecordsListEh* Records = RecordsList();
  for (Integer I = 0; I < Records->Count(); I++) CalculateRecordFields(Records->GetRec(I));
}

void TMemTableDataEh::CalculateRecordFields(TMemoryRecordEh* Rec) {
  if (!FOnFieldCalculation) return;
  TMTDataStructEh* Struct = DataStruct();
  TVariantArrayEh Values(std::size_t(Struct->Count()));
  FOnFieldCalculation(Rec, Values);
  for (Integer I = 0; I < Struct->Count() && I < Integer(Values.size()); I++)
    if (Struct->GetDataField(I)->Calculated())
      Rec->SetDataValue(I, dvvValueEh, VarIsEmpty(Values[I]) ? Null() : Values[I]);
}

// ---------------------------------------------------------------------------
// streaming

void TMemTableDataEh::ReadState(TReader* Reader) {
  const TFindComponentClassEvent OldFind = Reader->OnFindComponentClass;
  const TCreateComponentEvent OldCreate = Reader->OnCreateComponent;
  const TAncestorNotFoundEvent OldAncestorNotFound = Reader->OnAncestorNotFound;
  const TScopeExit Restore([&] {
    Reader->OnFindComponentClass = OldFind;
    Reader->OnCreateComponent = OldCreate;
    Reader->OnAncestorNotFound = OldAncestorNotFound;
  });
  Reader->OnFindComponentClass = TFindComponentClassEvent(this, &TMemTableDataEh::findComponentClassForReader);
  Reader->OnCreateComponent = TCreateComponentEvent(this, &TMemTableDataEh::createComponentForReader);
  Reader->OnAncestorNotFound = TAncestorNotFoundEvent(this, &TMemTableDataEh::ancestorNotFoundForReader);
  TComponent::ReadState(Reader);
}

void TMemTableDataEh::findComponentClassForReader(TReader*, const String& ClassName, TClass& ComponentClass) {
  // The stream's own classes are known here, so reading needs no
  // registration in the process-wide class registry.
  static const TClass StreamClasses[] = {
      TMTDataStructEh::StaticClass(),           TRecordsListEh::StaticClass(),
      TMTStringDataFieldEh::StaticClass(),      TMTNumericDataFieldEh::StaticClass(),
      TMTDateTimeDataFieldEh::StaticClass(),    TMTBlobDataFieldEh::StaticClass(),
      TMTBooleanDataFieldEh::StaticClass(),     TMTInterfaceDataFieldEh::StaticClass(),
      TMTVariantDataFieldEh::StaticClass(),     TMTRefObjectFieldEh::StaticClass(),
      TMTSQLTimeStampDataFieldEh::StaticClass()};
  for (TClass C : StreamClasses)
    if (C->ClassNameIs(ClassName)) ComponentClass = C;
}

void TMemTableDataEh::createComponentForReader(TReader*, TClass ComponentClass, TComponent*& Component) {
  if (ComponentClass->InheritsFrom(TMTDataStructEh::StaticClass()))
    Component = DataStruct();
  else if (ComponentClass->InheritsFrom(TRecordsListEh::StaticClass()))
    Component = RecordsList();
}

void TMemTableDataEh::ancestorNotFoundForReader(TReader*, const String& ComponentName, TClass,
                                                TComponent*& Component) {
  if (ComponentName == QStringLiteral("DataStruct"))
    Component = DataStruct();
  else if (ComponentName == QStringLiteral("RecordsList"))
    Component = RecordsList();
}

void TMemTableDataEh::GetChildren(TGetChildProc Proc, TComponent*) {
  if (FStoreStructInStream) Proc(DataStruct());
  if (FStoreRecordsInStream) Proc(RecordsList());
}

void TMemTableDataEh::DefineProperties(TFiler* Filer) {
  TComponent::DefineProperties(Filer);
  Filer->DefineProperty(QStringLiteral("AutoIncCurValue"), TReaderProc(this, &TMemTableDataEh::readAutoIncCurValue),
                        TWriterProc(this, &TMemTableDataEh::writeAutoIncCurValue),
                        AutoIncrement()->CurValue() != AutoIncrement()->InitValue());
}

void TMemTableDataEh::readAutoIncCurValue(TReader* Reader) { AutoIncrement()->SetCurValue(Reader->ReadInteger()); }

void TMemTableDataEh::writeAutoIncCurValue(TWriter* Writer) { Writer->WriteInteger(AutoIncrement()->CurValue()); }

// ---------------------------------------------------------------------------
// TMemTableDataShadowEh

TMemTableDataShadowEh::TMemTableDataShadowEh(TMemTableDataEh* AMasterTable)
    : TMemTableDataEh(AMasterTable), FMasterTable(AMasterTable) {}

TMTDataStructEh* TMemTableDataShadowEh::GetDataStruct() { return FMasterTable->DataStruct(); }
