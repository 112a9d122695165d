#include "gridlib/memtable/datadriver.h"

#include "gridlib/base/valuetext.h"
#include "gridlib/memtable/memtable.h"
#include "gridlib/memtable/memtabledata.h"
#include "gridlib/memtable/recordslist.h"
#include "platform/db/dataset.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fielddefs.h"
#include "platform/db/fields.h"
#include "platform/db/params.h"
#include "platform/rtl/filer.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/typinfo.h"

#include <QStringList>

#include <memory>

namespace {

inline constexpr const char* SKeyFieldsRequired =
    "It is required to set DataDriver.KeyFields to refresh record values";
inline constexpr const char* SKeyNotFound = "Key is not found in ProviderDataSet";

// Types resolution cannot locate a record by: long or structured values.
bool isKeyableType(TFieldType DataType) {
  switch (DataType) {
    case ftBlob:
    case ftMemo:
    case ftGraphic:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
    case ftCursor:
    case ftDataSet:
    case ftOraBlob:
    case ftOraClob:
    case ftConnection:
    case ftParams:
    case ftStream:
    case ftTimeStampOffset:
    case ftObject:
      return false;
    default:
      return true;
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// construction and streaming

TDataDriverEh::TDataDriverEh(TComponent* AOwner) : TComponent(AOwner) {}

void TDataDriverEh::BeforeDestruction() {
  SetProviderEOF(true);
  TComponent::BeforeDestruction();
}

TDataDriverEh::~TDataDriverEh() = default;

void TDataDriverEh::DefineProperties(TFiler* Filer) {
  TComponent::DefineProperties(Filer);
  if (!FSideParentable) return;
  Filer->DefineProperty(QStringLiteral("SideParentName"), TReaderProc(this, &TDataDriverEh::readSideParentName),
                        TWriterProc(this, &TDataDriverEh::writeSideParentName), FSideParent != nullptr);
}

void TDataDriverEh::readSideParentName(TReader* Reader) { FSideParentName = Reader->ReadString(); }

void TDataDriverEh::writeSideParentName(TWriter* Writer) { Writer->WriteString(FSideParent->Name()); }

void TDataDriverEh::Loaded() {
  TComponent::Loaded();
  if (FSideParentName.isEmpty()) return;
  if (Owner()) SetSideParent(Owner()->FindComponent(FSideParentName));
  FSideParentName.clear();
}

void TDataDriverEh::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FProviderDataSet) FProviderDataSet = nullptr;
  if (AComponent == FReaderDataSet) {
    FReaderDataSet = nullptr;
    FReaderDataSetFreeOnEof = false;
  }
  if (AComponent == FSideParent) FSideParent = nullptr;
}

void TDataDriverEh::DescribeProperties(TPropertyTable& Props) {
  using T = TDataDriverEh;
  Props.Add("ResolveToDataSet", &T::ResolveToDataSet, &T::SetResolveToDataSet).Default(true);
}

// ---------------------------------------------------------------------------
// side parent

bool TDataDriverEh::IsSideParent(TComponent* Component) { return FSideParentable && Component == FSideParent; }

void TDataDriverEh::SetSideParent(TComponent* Component) {
  if (FSideParentable) FSideParent = Component;
}

void TDataDriverEh::SetDataDriverConsumer(TObject* DataDriverConsumer) { FDataDriverConsumer = DataDriverConsumer; }

// ---------------------------------------------------------------------------
// provider and reader

bool TDataDriverEh::ConnectionIsPostponed() { return false; }

void TDataDriverEh::AddPostponedActivationDataSet(TDataSet*) {}

void TDataDriverEh::SetProviderEOF(bool Value) {
  if (Value == FProviderEOF) return;
  FProviderEOF = Value;
  if (!Value) return;
  if (FReaderDataSetFreeOnEof && FReaderDataSet) {
    TDataSet* Reader = FReaderDataSet;
    FReaderDataSet = nullptr;
    FReaderDataSetFreeOnEof = false;
    Reader->Free();
    return;
  }
  FReaderDataSet = nullptr;
  FReaderDataSetFreeOnEof = false;
}

void TDataDriverEh::SetProviderDataSet(TDataSet* Value) {
  if (Value == FProviderDataSet) return;
  // A table reading itself through its own driver recurses without end.
  if (auto* Table = dynamic_cast<TCustomMemTableEh*>(Value); Table && Table->DataDriver() == this)
    DatabaseError(QString::fromLatin1(SCircularProviderDataSetEh), this);
  if (FProviderDataSet) FProviderDataSet->RemoveFreeNotification(this);
  FProviderDataSet = Value;
  if (Value) Value->FreeNotification(this);
}

TDataSet* TDataDriverEh::GetDataReader() {
  FDataToRecFields.clear();
  if (FReaderDataSet && !FProviderEOF) return FReaderDataSet;
  FReaderDataSetFreeOnEof = false;
  FProviderEOF = false;
  TDataSet* Reader = nullptr;
  bool FreeOnEof = false;
  if (OnProduceDataReader)
    OnProduceDataReader(this, Reader, FreeOnEof);
  else
    Reader = DefaultProduceDataReader(FreeOnEof);
  FReaderDataSet = Reader;
  FReaderDataSetFreeOnEof = Reader && FreeOnEof;
  return Reader;
}

TDataSet* TDataDriverEh::DefaultProduceDataReader(bool& FreeOnEof) {
  FreeOnEof = false;
  if (!FProviderDataSet) return nullptr;
  FProviderDataSet->Open();
  FProviderDataSet->First();
  return FProviderDataSet;
}

void TDataDriverEh::ConsumerClosed(TDataSet*) {
  if (FProviderDataSet) FProviderDataSet->Close();
  SetProviderEOF(true);
}

void TDataDriverEh::RefreshReader() {
  if (!FProviderDataSet) return;
  FProviderDataSet->Refresh();
  FProviderDataSet->First();
}

bool TDataDriverEh::RefreshReaderParamsFromCursor(TDataSet* DataSet) {
  TParams* Params = FProviderDataSet ? FProviderDataSet->PSGetParams() : nullptr;
  if (!Params) return false;
  for (Integer I = 0; I < Params->Count(); ++I) {
    TField* Field = DataSet->FindField(Params->Items(I)->Name());
    if (Field && !VariantsEqualEh(Params->Items(I)->Value(), Field->Value())) return true;
  }
  return false;
}

// A parameter the application bound keeps its value; the others follow the
// cursor and stay unbound, so the next cursor move sets them again.
void TDataDriverEh::SetReaderParamsFromCursor(TDataSet* DataSet) {
  TParams* Params = FProviderDataSet ? FProviderDataSet->PSGetParams() : nullptr;
  if (!Params) return;
  DataSet->FieldDefs()->Update();
  for (Integer I = 0; I < Params->Count(); ++I) {
    TParam* Param = Params->Items(I);
    if (Param->Bound()) continue;
    TField* Field = DataSet->FieldByName(Param->Name());
    Param->SetDataType(Field->DataType());
    Param->SetValue(Field->Value());
    Param->SetBound(false);
  }
}

// ---------------------------------------------------------------------------
// structure

void TDataDriverEh::BuildDataStruct(TMTDataStructEh* DataStruct) {
  if (OnBuildDataStruct) {
    OnBuildDataStruct(this, DataStruct);
    return;
  }
  if (OnProduceDataReader) {
    if (TDataSet* Reader = GetDataReader()) DataStruct->BuildStructFromFields(Reader->Fields());
    return;
  }
  DefaultBuildDataStruct(DataStruct);
}

void TDataDriverEh::DefaultBuildDataStruct(TMTDataStructEh* DataStruct) {
  TDataSet* Source = FReaderDataSet ? FReaderDataSet : FProviderDataSet;
  if (!Source) return;
  if (Source == FProviderDataSet && !FReaderDataSet && Source->Fields()->Count() == 0) {
    // The provider's fields exist only while it is open.
    Source->Open();
    const TScopeExit CloseAgain([Source] { Source->Close(); });
    DataStruct->BuildStructFromFields(Source->Fields());
    AdjustDataStruct(Source->Fields(), DataStruct);
    return;
  }
  DataStruct->BuildStructFromFields(Source->Fields());
  AdjustDataStruct(Source->Fields(), DataStruct);
}

void TDataDriverEh::AdjustDataStruct(TFields*, TMTDataStructEh*) {}

// ---------------------------------------------------------------------------
// reading

Integer TDataDriverEh::ReadData(TMemTableDataEh* MemTableData, Integer Count) {
  if (FProviderEOF) return 0;
  TRecordsListEh* Records = MemTableData->RecordsList();
  Integer Added = 0;
  for (Integer I = 0; Count < 0 || I < Count; ++I) {
    // The record is ours until the list takes it; a failing read frees it.
    std::unique_ptr<TMemoryRecordEh, void (*)(TMemoryRecordEh*)> Rec(Records->NewRecord(),
                                                                    [](TMemoryRecordEh* R) { R->Free(); });
    bool AtEnd = false;
    if (OnReadRecord)
      OnReadRecord(this, MemTableData, Rec.get(), AtEnd);
    else
      DefaultReadRecord(MemTableData, Rec.get(), AtEnd);
    SetProviderEOF(AtEnd);
    if (AtEnd) break;
    Records->FetchRecord(Rec.release());
    ++Added;
  }
  return Added;
}

void TDataDriverEh::DefaultReadRecord(TMemTableDataEh* MemTableData, TMemoryRecordEh* MemRec, bool& ProviderEOF) {
  TDataSet* Reader = FReaderDataSet;
  ProviderEOF = !Reader || !Reader->Active() || Reader->Eof();
  if (ProviderEOF) return;
  for (Integer I = 0; I < MemRec->DataStruct()->Count(); ++I)
    AssignFieldValue(MemTableData, MemRec, I, dvvValueEh, Reader);
  Reader->Next();
}

void TDataDriverEh::AssignFieldValue(TMemTableDataEh* MemTableData, TMemoryRecordEh* MemRec,
                                     Integer DataFieldIndex, TDataValueVersionEh DataValueVersion,
                                     TDataSet* ReaderDataSet) {
  if (OnAssignFieldValue)
    OnAssignFieldValue(this, MemTableData, MemRec, DataFieldIndex, DataValueVersion, ReaderDataSet);
  else
    DefaultAssignFieldValue(MemTableData, MemRec, DataFieldIndex, DataValueVersion, ReaderDataSet);
}

void TDataDriverEh::buildFieldMap(TMemoryRecordEh* MemRec, TDataSet* ReaderDataSet) {
  TMTDataStructEh* Struct = MemRec->DataStruct();
  TFields* ReaderFields = ReaderDataSet->Fields();
  FDataToRecFields.assign(size_t(Struct->Count()), -1);
  for (Integer I = 0; I < Struct->Count(); ++I) {
    const String Name = Struct->GetDataField(I)->FieldName();
    for (Integer J = 0; J < ReaderFields->Count(); ++J)
      if (AnsiSameText(ReaderFields->Fields(J)->FieldName(), Name)) {
        FDataToRecFields[size_t(I)] = J;
        break;
      }
  }
}

void TDataDriverEh::DefaultAssignFieldValue(TMemTableDataEh*, TMemoryRecordEh* MemRec, Integer DataFieldIndex,
                                            TDataValueVersionEh DataValueVersion, TDataSet* ReaderDataSet) {
  if (FDataToRecFields.empty()) buildFieldMap(MemRec, ReaderDataSet);
  if (DataFieldIndex < 0 || size_t(DataFieldIndex) >= FDataToRecFields.size()) return;
  const Integer ReaderIndex = FDataToRecFields[size_t(DataFieldIndex)];
  if (ReaderIndex < 0 || ReaderIndex >= ReaderDataSet->Fields()->Count()) return;
  MemRec->SetDataValue(DataFieldIndex, DataValueVersion, ReaderDataSet->Fields()->Fields(ReaderIndex)->Value());
}

// ---------------------------------------------------------------------------
// refreshing

void TDataDriverEh::RefreshRecord(TMemoryRecordEh* MemRecord) {
  if (OnRefreshRecord)
    OnRefreshRecord(this, MemRecord->RecordsList() ? MemRecord->RecordsList()->MemTableData() : nullptr, MemRecord);
  else
    DefaultRefreshRecord(MemRecord);
}

void TDataDriverEh::DefaultRefreshRecord(TMemoryRecordEh* MemRecord) {
  if (!FProviderDataSet) return;
  if (FKeyFields.isEmpty()) throw Exception(QString::fromLatin1(SKeyFieldsRequired));
  TDataSet* Provider = FProviderDataSet;
  const TBookmark Saved = Provider->GetBookmark();
  const TScopeExit Restore([Provider, &Saved] {
    if (!Saved.isEmpty() && Provider->BookmarkValid(Saved)) Provider->GotoBookmark(Saved);
  });
  const TDataValueVersionEh KeyVersion =
      MemRecord->UpdateStatus() == usModified ? dvvOldValueEh : dvvValueEh;
  const Variant KeyValues = MemRecord->GetDataValues(FKeyFields, KeyVersion);
  if (!Provider->Locate(FKeyFields, KeyValues, {})) throw Exception(QString::fromLatin1(SKeyNotFound));
  TMemTableDataEh* Data = MemRecord->RecordsList() ? MemRecord->RecordsList()->MemTableData() : nullptr;
  FDataToRecFields.clear();
  for (Integer I = 0; I < MemRecord->DataStruct()->Count(); ++I)
    AssignFieldValue(Data, MemRecord, I, dvvRefreshValue, Provider);
  FDataToRecFields.clear();
}

// ---------------------------------------------------------------------------
// resolving changes

Integer TDataDriverEh::ApplyUpdates(TMemTableDataEh* MemTableData) {
  TRecordsListEh* Records = MemTableData->RecordsList();
  const TObjectListEh& Delta = Records->DeltaList();
  const Integer Count = Delta.Count();
  Integer Resolved = 0;
  for (Integer I = 0; I < Count && I < Delta.Count(); ++I) {
    auto* Rec = static_cast<TMemoryRecordEh*>(Delta.Items(I));
    if (!Rec) continue;
    TUpdateErrorActionEh Action = ueaBreakRaiseEh;
    for (;;) {
      Action = ueaBreakRaiseEh;
      try {
        UpdateRecord(MemTableData, Rec);
        ++Resolved;
        break;
      } catch (EDatabaseError& E) {
        if (OnUpdateError)
          OnUpdateError(this, MemTableData, Rec, Action);
        else
          DefaultUpdateError(MemTableData, Rec, Action);
        if (Action == ueaBreakRaiseEh) throw;
        auto Kept = std::make_unique<EDatabaseError>(E.Message);
        Kept->HelpContext = E.HelpContext;
        Rec->SetUpdateError(new TUpdateErrorEh(std::move(Kept)));
        if (Action != ueaRetryEh) break;
      }
    }
    if (Action == ueaBreakAbortEh) break;
    if (Action != ueaCountinueSkip) Rec->MergeChanges();
  }
  Records->CleanupChangedRecs();
  return Resolved;
}

void TDataDriverEh::UpdateRecord(TMemTableDataEh* MemTableData, TMemoryRecordEh* MemRec) {
  if (OnUpdateRecord)
    OnUpdateRecord(this, MemTableData, MemRec);
  else
    DefaultUpdateRecord(MemTableData, MemRec);
}

void TDataDriverEh::DefaultUpdateError(TMemTableDataEh*, TMemoryRecordEh*, TUpdateErrorActionEh& Action) {
  Action = ueaBreakRaiseEh;
}

String TDataDriverEh::resolutionKeyFields() {
  if (!FKeyFields.isEmpty()) return FKeyFields;
  QStringList Names;
  TFields* Fields = FProviderDataSet->Fields();
  for (Integer I = 0; I < Fields->Count(); ++I)
    if (isKeyableType(Fields->Fields(I)->DataType())) Names << Fields->Fields(I)->FieldName();
  return Names.join(QLatin1Char(';'));
}

Integer TDataDriverEh::DefaultUpdateRecord(TMemTableDataEh*, TMemoryRecordEh* MemRec) {
  if (!FResolveToDataSet || !FProviderDataSet) return 0;
  TDataSet* Provider = FProviderDataSet;
  TBookmark Saved = Provider->GetBookmark();
  const TScopeExit Restore([Provider, &Saved] {
    if (!Saved.isEmpty() && Provider->BookmarkValid(Saved)) Provider->GotoBookmark(Saved);
  });
  const String KeyNames = resolutionKeyFields();
  const TUpdateStatus Status = MemRec->UpdateStatus();
  if (Status == usModified || Status == usDeleted) {
    const bool Found = Provider->Locate(KeyNames, MemRec->GetDataValues(KeyNames, dvvOldestValue), {});
    if (!Found) {
      // A delete whose record is already gone has nothing left to do; a
      // lost modification must reach OnUpdateError instead of vanishing.
      if (Status == usDeleted) return 0;
      DatabaseError(QString::fromLatin1(DBConsts::SRecordNotFound), Provider);
    }
    if (Status == usDeleted && !Saved.isEmpty() && Provider->CompareBookmarks(Provider->GetBookmark(), Saved) == 0)
      Saved = TBookmark();
  }
  resolveToProvider(MemRec, KeyNames);
  return 1;
}

void TDataDriverEh::resolveToProvider(TMemoryRecordEh* MemRec, const String&) {
  TDataSet* Provider = FProviderDataSet;
  const TUpdateStatus Status = MemRec->UpdateStatus();
  if (Status == usDeleted) {
    Provider->Delete();
    return;
  }
  if (Status == usModified)
    Provider->Edit();
  else
    Provider->Insert();
  TMTDataStructEh* Struct = MemRec->DataStruct();
  try {
    // A value the provider already holds is left alone, so that the
    // provider writes only the columns that changed.
    for (Integer I = 0; I < Struct->Count(); ++I) {
      TField* Field = Provider->FindField(Struct->GetDataField(I)->FieldName());
      if (!Field || Field->ReadOnly()) continue;
      const Variant Value = MemRec->GetDataValue(I, dvvValueEh);
      if (!VariantsEqualEh(Field->Value(), Value)) Field->SetValue(Value);
    }
    Provider->Post();
  } catch (...) {
    // A provider left in edit or insert state would fail every later record.
    if (Provider->State() == dsEdit || Provider->State() == dsInsert) Provider->Cancel();
    throw;
  }
  // Values the provider or the server set on posting come back.
  MemRec->Edit();
  for (Integer I = 0; I < Struct->Count(); ++I)
    if (TField* Field = Provider->FindField(Struct->GetDataField(I)->FieldName()))
      MemRec->SetDataValue(I, dvvValueEh, Field->Value());
  MemRec->Post();
}
