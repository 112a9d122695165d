// The memory table's loading and saving: copying another dataset's
// structure, filling the table from a dataset or another memory table,
// writing its records into a dataset, and its container to and from streams
// and files in the binary and the text form of component streams.
#include "gridlib/memtable/memtable.h"

#include "gridlib/memtable/memoryrecord.h"
#include "gridlib/memtable/memorytreelist.h"
#include "gridlib/memtable/recordsview.h"
#include "platform/db/fieldclasses.h"
#include "platform/db/fielddefs.h"
#include "platform/db/fields.h"
#include "platform/rtl/objtext.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/streams.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

inline constexpr const char* SInvalidStreamFormat = "Invalid stream format.";

bool isAutoIncField(TField* Field) {
  return Field->AutoGenerateValue() == arAutoInc || dynamic_cast<TAutoIncField*>(Field) != nullptr;
}

void removeUnacceptedDefs(TFieldDefs* Defs) {
  for (Integer I = Defs->Count() - 1; I >= 0; --I) {
    TFieldDef* Def = Defs->Items(I);
    if (!IsMemTableFieldTypeEh(Def->DataType()))
      Defs->Delete(I);
    else if (Def->HasChildDefs())
      removeUnacceptedDefs(Def->ChildDefs());
  }
}

// Disables a dataset's controls for a scope.
class TControlsDisabled {
public:
  explicit TControlsDisabled(TDataSet* ADataSet) : FDataSet(ADataSet) { FDataSet->DisableControls(); }
  ~TControlsDisabled() { FDataSet->EnableControls(); }
  TControlsDisabled(const TControlsDisabled&) = delete;
  TControlsDisabled& operator=(const TControlsDisabled&) = delete;

private:
  TDataSet* FDataSet;
};

}  // namespace

// ---------------------------------------------------------------------------
// structure

void TCustomMemTableEh::CopyStructure(TDataSet* Source) {
  CheckInactive();
  DestroyFields();
  if (!Source) return;
  Source->FieldDefs()->Update();
  FieldDefs()->Assign(Source->FieldDefs());
  removeUnacceptedDefs(FieldDefs());
}

// ---------------------------------------------------------------------------
// loading from datasets

Integer TCustomMemTableEh::LoadFromDataSet(TDataSet* Source, Integer RecordCount, TLoadMode Mode,
                                           bool UseCachedUpdates) {
  if (IDatasetFeaturesEh* Features = FindDatasetFeaturesForDataSet(Source))
    return Features->WriteDataSetToMemTable(Source, this, RecordCount, Mode, UseCachedUpdates);
  return DefaultLoadFromDataSet(Source, RecordCount, Mode, UseCachedUpdates);
}

Integer TCustomMemTableEh::DefaultLoadFromDataSet(TDataSet* Source, Integer RecordCount, TLoadMode Mode,
                                                  bool UseCachedUpdates) {
  if (Source == this) return 0;
  const bool SourceWasActive = Source->Active();
  const TControlsDisabled SourceDisabled(Source);
  const TControlsDisabled SelfDisabled(this);
  const TScopeExit CloseSource([Source, SourceWasActive] {
    if (!SourceWasActive) Source->Close();
  });
  Source->Open();
  Source->CheckBrowseMode();
  Source->UpdateCursorPos();
  if (Mode == lmCopy || Mode == lmCopyStructureOnly) {
    Close();
    FRecordsView->MemTableData()->DestroyTable();
    FRecordsView->MemTableData()->DataStruct()->BuildStructFromFields(Source->Fields());
    FieldDefs()->SetUpdated(false);
    FieldDefs()->Update();
  }
  if (Mode == lmCopyStructureOnly) return 0;

  if (!Active()) Open();
  CheckBrowseMode();
  const TScopeExit GoFirst([this] {
    if (!Active()) return;
    // A record whose Post failed is dropped: moving would post it again and
    // raise while the first error is passing.
    if (editing()) Cancel();
    First();
  });
  if (RecordCount <= 0) Source->First();
  if (Source->IsEmpty() || Source->Eof()) return 0;

  std::vector<TField*> SourceFields(size_t(Fields()->Count()), nullptr);
  for (Integer I = 0; I < Fields()->Count(); ++I)
    SourceFields[size_t(I)] = Source->FindField(Fields()->Fields(I)->FieldName());

  const bool ThroughEditing = UseCachedUpdates && CachedUpdates();
  Integer Taken = 0;
  while (!Source->Eof() && (RecordCount <= 0 || Taken < RecordCount)) {
    if (ThroughEditing)
      appendEditedRecord(SourceFields, Mode);
    else
      fetchLoadedRecord(SourceFields, Mode);
    ++Taken;
    Source->Next();
  }
  return Taken;
}

void TCustomMemTableEh::appendEditedRecord(const std::vector<TField*>& SourceFields, TLoadMode Mode) {
  Append();
  for (Integer I = 0; I < Fields()->Count(); ++I) {
    TField* Field = Fields()->Fields(I);
    TField* SourceField = SourceFields[size_t(I)];
    if (Field->FieldKind() != fkData || !SourceField) continue;
    if (Mode == lmAppend && isAutoIncField(Field)) continue;
    Field->SetAsVariant(SourceField->AsVariant());
  }
  Post();
}

void TCustomMemTableEh::fetchLoadedRecord(const std::vector<TField*>& SourceFields, TLoadMode Mode) {
  TMemTableDataEh* Data = FRecordsView->MemTableData();
  std::unique_ptr<TMemoryRecordEh, void (*)(TMemoryRecordEh*)> Rec(FRecordsView->NewRecord(),
                                                                     [](TMemoryRecordEh* R) { R->Free(); });
  for (Integer I = 0; I < Fields()->Count(); ++I) {
    TField* Field = Fields()->Fields(I);
    if (Field->FieldKind() != fkData || Field->FieldNo() <= 0) continue;
    const Integer DataIndex = Field->FieldNo() - 1;
    if (Mode == lmAppend && isAutoIncField(Field))
      Rec->SetDataValue(DataIndex, dvvValueEh, Variant(Integer(Data->AutoIncrement()->Promote())));
    else if (TField* SourceField = SourceFields[size_t(I)])
      Rec->SetDataValue(DataIndex, dvvValueEh, SourceField->AsVariant());
  }
  Data->RecordsList()->FetchRecord(Rec.get());
  Rec.release();
}

// ---------------------------------------------------------------------------
// loading from another memory table

Integer TCustomMemTableEh::LoadFromMemTableEh(TCustomMemTableEh* Source, Integer RecordCount, TLoadMode Mode,
                                              TMemTableLoadOptionsEh LoadOptions) {
  // A source sharing this table's container would be destroyed before it is
  // read.
  if (Source == this || Source->RecordsView()->MemTableData() == FRecordsView->MemTableData()) return 0;
  const TControlsDisabled SelfDisabled(this);
  const bool WasActive = Active();
  TMemTableDataEh* Data = FRecordsView->MemTableData();
  if (Mode == lmCopy || Mode == lmCopyStructureOnly) {
    Close();
    Data->DestroyTable();
    Data->DataStruct()->Assign(Source->RecordsView()->MemTableData()->DataStruct());
    for (Integer I = 0; I < Source->Fields()->Count(); ++I) {
      TField* SourceField = Source->Fields()->Fields(I);
      TMTDataFieldEh* DataField = Data->DataStruct()->FindField(SourceField->FieldName());
      if (!DataField) continue;
      DataField->SetDisplayLabel(SourceField->DisplayLabel());
      DataField->SetAlignment(SourceField->Alignment());
      DataField->SetVisible(SourceField->Visible());
    }
  }

  const std::vector<TMemoryRecordEh*> SourceRecords =
      Mode == lmCopyStructureOnly ? std::vector<TMemoryRecordEh*>() : Source->loadRange(RecordCount, LoadOptions);
  TRecordsListEh* Records = Data->RecordsList();
  Records->BeginUpdate();
  {
    const TScopeExit EndUpdate([Records] { Records->EndUpdate(); });
    for (TMemoryRecordEh* SourceRec : SourceRecords) copyLoadedRecord(SourceRec, Mode, LoadOptions);
  }

  if (LoadOptions.Contains(tloOpenOnLoad) || WasActive) Open();
  // Placed in the source's order, each field moves in front of the ones not
  // placed yet, so the order follows the source.
  if (Active())
    for (Integer I = 0; I < Source->Fields()->Count(); ++I) {
      TField* SourceField = Source->Fields()->Fields(I);
      if (TField* Field = FindField(SourceField->FieldName())) Field->SetIndex(SourceField->Index());
    }
  return Integer(SourceRecords.size());
}

std::vector<TMemoryRecordEh*> TCustomMemTableEh::loadRange(Integer RecordCount, TMemTableLoadOptionsEh LoadOptions) {
  std::vector<TMemoryRecordEh*> All;
  TMemoryRecordEh* Current = Active() ? Rec() : nullptr;
  if (LoadOptions.Contains(tloDisregardFilterEh)) {
    TRecordsListEh* Records = FRecordsView->MemTableData()->RecordsList();
    for (Integer I = 0; I < Records->Count(); ++I) All.push_back(Records->Rec(I));
  } else if (FRecordsView->ViewAsTreeList()) {
    for (Integer I = 0; I < FRecordsView->AccountableItemsCount(); ++I)
      All.push_back(FRecordsView->AccountableRecord(I));
  } else {
    for (Integer I = 0; I < FRecordsView->ViewItemsCount(); ++I) All.push_back(FRecordsView->ViewRecord(I));
  }
  if (RecordCount <= 0) return All;
  const auto From = std::find(All.begin(), All.end(), Current);
  if (From == All.end()) return {};
  const auto To = All.end() - From > RecordCount ? From + RecordCount : All.end();
  return std::vector<TMemoryRecordEh*>(From, To);
}

void TCustomMemTableEh::copyLoadedRecord(TMemoryRecordEh* SourceRec, TLoadMode Mode,
                                         TMemTableLoadOptionsEh LoadOptions) {
  TMemTableDataEh* Data = FRecordsView->MemTableData();
  TMTDataStructEh* Struct = Data->DataStruct();
  TMTDataStructEh* SourceStruct = SourceRec->DataStruct();
  std::unique_ptr<TMemoryRecordEh, void (*)(TMemoryRecordEh*)> NewRec(Data->RecordsList()->NewRecord(),
                                                                        [](TMemoryRecordEh* R) { R->Free(); });
  if (Mode == lmAppend) {
    for (Integer I = 0; I < SourceStruct->Count(); ++I) {
      const String Name = SourceStruct->GetDataField(I)->FieldName();
      const Integer Index = Struct->FieldIndex(Name);
      if (Index >= 0) NewRec->SetDataValue(Index, dvvValueEh, SourceRec->GetDataValue(I, dvvValueEh));
    }
  } else {
    const Integer Count = std::min(Struct->Count(), SourceStruct->Count());
    for (Integer I = 0; I < Count; ++I) NewRec->SetDataValue(I, dvvValueEh, SourceRec->GetDataValue(I, dvvValueEh));
  }
  if (LoadOptions.Contains(tloUseCachedUpdatesEh))
    FRecordsView->AddRecord(NewRec.get());
  else
    Data->RecordsList()->FetchRecord(NewRec.get());
  NewRec.release();
}

// ---------------------------------------------------------------------------
// saving into a dataset

Integer TCustomMemTableEh::SaveToDataSet(TDataSet* Dest, Integer RecordCount) {
  if (Dest == this) return 0;
  CheckBrowseMode();
  UpdateCursorPos();
  const TControlsDisabled SelfDisabled(this);
  const TControlsDisabled DestDisabled(Dest);
  if (Dest->Active())
    Dest->CheckBrowseMode();
  else
    Dest->Open();
  const TScopeExit DestFirst([Dest] {
    if (!Dest->Active()) return;
    if (Dest->State() == dsInsert || Dest->State() == dsEdit) Dest->Cancel();
    Dest->First();
  });
  if (RecordCount <= 0) First();
  Integer Saved = 0;
  while (!Eof() && (RecordCount <= 0 || Saved < RecordCount)) {
    Dest->Append();
    for (Integer I = 0; I < Dest->Fields()->Count(); ++I) {
      TField* DestField = Dest->Fields()->Fields(I);
      // A read-only destination field (a key the database numbers) keeps its
      // own value rather than refusing the whole record.
      if (DestField->FieldKind() != fkData || DestField->ReadOnly()) continue;
      if (TField* Field = FindField(DestField->FieldName())) DestField->SetAsVariant(Field->AsVariant());
    }
    Dest->Post();
    ++Saved;
    Next();
  }
  return Saved;
}

// ---------------------------------------------------------------------------
// streams and files

void TCustomMemTableEh::SaveToStream(TStream* Stream, TDfmStreamFormatEh Format) {
  TMemTableDataEh* Data = FRecordsView->MemTableData();
  Data->SetStoreStructInStream(true);
  Data->SetStoreRecordsInStream(true);
  if (Format == dfmBinaryEh) {
    Stream->WriteComponent(Data);
    return;
  }
  TMemoryStream Binary;
  Binary.WriteComponent(Data);
  Binary.SetPosition(0);
  ObjectBinaryToText(&Binary, Stream);
}

void TCustomMemTableEh::LoadFromStream(TStream* Stream) {
  const bool WasActive = Active();
  const TStreamOriginalFormat Format = TestStreamFormat(Stream);
  if (Format == sofUnknown) throw Exception(QString::fromLatin1(SInvalidStreamFormat));
  TMemoryStream Binary;
  TStream* Input = Stream;
  if (Format == sofText || Format == sofUTF8Text) {
    ObjectTextToBinary(Stream, &Binary);
    Binary.SetPosition(0);
    Input = &Binary;
  }
  // The stream is untrusted: it is read into a container of its own, and the
  // table gives up its data only once the whole stream has been read.
  std::unique_ptr<TMemTableDataEh, void (*)(TMemTableDataEh*)> Incoming(new TMemTableDataEh(nullptr),
                                                                          [](TMemTableDataEh* D) { D->Free(); });
  Input->ReadComponent(Incoming.get());
  DestroyTable();
  adoptLoadedData(Incoming.get());
  if (WasActive) Open();
}

void TCustomMemTableEh::adoptLoadedData(TMemTableDataEh* Incoming) {
  TMemTableDataEh* Data = FInternMemTableData;
  Data->DataStruct()->Assign(Incoming->DataStruct());
  Data->AutoIncrement()->Assign(Incoming->AutoIncrement());
  Data->AutoIncrement()->SetCurValue(Incoming->AutoIncrement()->CurValue());
  TRecordsListEh* To = Data->RecordsList();
  To->BeginUpdate();
  const TScopeExit EndUpdate([To] { To->EndUpdate(); });
  To->FetchRecordsFrom(Incoming->RecordsList());
}

void TCustomMemTableEh::SaveToFile(const String& FileName, TDfmStreamFormatEh Format) {
  TFileStream Stream(FileName, fmCreate);
  SaveToStream(&Stream, Format);
}

void TCustomMemTableEh::LoadFromFile(const String& FileName) {
  TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&Stream);
}
