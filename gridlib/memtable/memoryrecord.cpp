#include "gridlib/memtable/memoryrecord.h"

#include "gridlib/memtable/memtabledata.h"
#include "gridlib/memtable/recordslist.h"
#include "platform/db/dbconsts.h"
#include "platform/rtl/lists.h"

#include <atomic>
#include <utility>

namespace {
const char* const SOldValuesNotAccessible = "TMemoryRecordEh.GetDataValues: Old values is not accessible.";
const char* const SEditValuesNotAccessible = "TMemoryRecordEh.GetDataValues: Edit values is not accessible.";
const char* const SEditForRefreshInEdit =
    "procedure TMemoryRecordEh.EditForRefresh: The MemoryRecord is in resEditEh state.";

bool inEditCycle(TRecordEditStateEh State) {
  return State == resEditEh || State == resInsertEh || State == resEditForRefresh;
}
}  // namespace

namespace {
// 64 bits never wrap; atomic because tests and loaders may build records on
// worker threads.
std::atomic<UInt64> NextRecordSerial{1};
}  // namespace

TMemoryRecordEh::TMemoryRecordEh() : FSerial(NextRecordSerial++) {}

void TMemoryRecordEh::BeforeDestruction() {
  if (Attached() && FRecordsList) FRecordsList->CheckRecordDeletable(this);
  TPersistent::BeforeDestruction();
}

TMemoryRecordEh::~TMemoryRecordEh() { freeUpdateError(); }

void TMemoryRecordEh::freeUpdateError() { FreeAndNil(FUpdateError); }

void TMemoryRecordEh::SetUpdateError(TUpdateErrorEh* Value) {
  if (Value == FUpdateError) return;
  freeUpdateError();
  FUpdateError = Value;
}

TRecDataValues& TMemoryRecordEh::rowFor(TDataValueVersionEh Version) {
  const bool Editing = FEditState == resEditEh;
  switch (Version) {
    case dvvOldValueEh:
      if (FOldData.empty()) throw Exception(QString::fromLatin1(SOldValuesNotAccessible));
      return FOldData;
    case dvvCurValueEh: return Editing ? FTmpOldRecValue : FData;
    case dvvEditValueEh:
      if (!Editing) throw Exception(QString::fromLatin1(SEditValuesNotAccessible));
      return FData;
    case dvvValueEh: return FData;
    case dvvOldestValue:
      if (!FOldData.empty()) return FOldData;
      return Editing ? FTmpOldRecValue : FData;
    case dvvRefreshValue: return FOldData.empty() ? FData : FOldData;
  }
  return FData;
}

const TRecDataValues& TMemoryRecordEh::Row(TDataValueVersionEh Version) { return rowFor(Version); }

void TMemoryRecordEh::checkFieldIndex(Integer FieldIndex) const {
  if (FieldIndex < 0 || FieldIndex >= Integer(FData.size()))
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(FieldIndex));
}

Variant TMemoryRecordEh::GetDataValue(Integer FieldIndex, TDataValueVersionEh Version) {
  checkFieldIndex(FieldIndex);
  return rowFor(Version)[FieldIndex];
}

void TMemoryRecordEh::SetDataValue(Integer FieldIndex, TDataValueVersionEh Version, const Variant& Value) {
  SetDataValue(FieldIndex, Version, Variant(Value));
}

void TMemoryRecordEh::SetDataValue(Integer FieldIndex, TDataValueVersionEh Version, Variant&& Value) {
  checkFieldIndex(FieldIndex);
  TRecDataValues& Target = rowFor(Version);
  Target[FieldIndex] = MTCastValue(std::move(Value), FDataStruct->GetDataField(FieldIndex)->VarDataType());
}

Variant TMemoryRecordEh::GetDataValues(const String& FieldNames, TDataValueVersionEh Version) {
  if (Version == dvvOldValueEh && FOldData.empty()) throw Exception(QString::fromLatin1(SOldValuesNotAccessible));
  if (!FieldNames.contains(u';')) return GetDataValue(FDataStruct->FieldByName(FieldNames)->Index(), Version);
  TList Fields;
  FDataStruct->GetFieldList(&Fields, FieldNames);
  Variant Result = VarArrayCreate({0, Fields.Count() - 1}, varVariant);
  for (Integer I = 0; I < Fields.Count(); I++)
    VarArrayPut(Result, GetDataValue(static_cast<TMTDataFieldEh*>(Fields.Items(I))->Index(), Version), I);
  return Result;
}

void TMemoryRecordEh::SetDataValues(const String& FieldNames, TDataValueVersionEh Version, const Variant& VarValue) {
  if (!FieldNames.contains(u';')) {
    SetDataValue(FDataStruct->FieldIndex(FieldNames), Version, VarValue);
    return;
  }
  TList Fields;
  FDataStruct->GetFieldList(&Fields, FieldNames);
  const Integer Low = VarArrayLowBound(VarValue, 1);
  for (Integer I = 0; I < Fields.Count(); I++)
    SetDataValue(static_cast<TMTDataFieldEh*>(Fields.Items(I))->Index(), Version, VarArrayGet(VarValue, Low + I));
}

Variant TMemoryRecordEh::GetDataIndexValues(const TIntArrayEh& FieldIndexes, TDataValueVersionEh Version) {
  if (FieldIndexes.empty()) return Variant(String());
  if (FieldIndexes.size() == 1) return GetDataValue(FieldIndexes[0], Version);
  Variant Result = VarArrayCreate({0, Integer(FieldIndexes.size()) - 1}, varVariant);
  for (std::size_t I = 0; I < FieldIndexes.size(); I++)
    VarArrayPut(Result, GetDataValue(FieldIndexes[I], Version), Integer(I));
  return Result;
}

void TMemoryRecordEh::SetDataIndexValues(const TIntArrayEh& FieldIndexes, TDataValueVersionEh Version,
                                         const Variant& VarValue) {
  assert(!FieldIndexes.empty() && "SetDataIndexValues needs a field index");
  if (FieldIndexes.size() < 2) {
    SetDataValue(FieldIndexes[0], Version, VarValue);
    return;
  }
  const Integer Low = VarArrayLowBound(VarValue, 1);
  for (std::size_t I = 0; I < FieldIndexes.size(); I++)
    SetDataValue(FieldIndexes[I], Version, VarArrayGet(VarValue, Low + Integer(I)));
}

void TMemoryRecordEh::Edit() {
  if (FEditState != resBrowseEh) return;
  FEditState = resEditEh;
  FEditChanged = false;
  FTmpOldRecValue = FData;
}

void TMemoryRecordEh::EditForRefresh() {
  if (FEditState == resEditEh || FEditState == resInsertEh) throw Exception(QString::fromLatin1(SEditForRefreshInEdit));
  FEditState = resEditForRefresh;
  FEditChanged = false;
}

void TMemoryRecordEh::Post() {
  if (!inEditCycle(FEditState)) DatabaseError(QString::fromLatin1(DBConsts::SNotEditing));
  if (FEditState == resInsertEh) {
    FRecordsList->AddRecord(this);
    return;
  }
  if (FEditState == resEditForRefresh) {
    FEditState = resBrowseEh;
    FRecordsList->Notify(this, FIndex, rlnRecChangedEh);
    return;
  }
  FRecordsList->Notify(this, FIndex, rlnRecChangingEh);
  if (FRecordsList->CachedUpdates()) {
    if (FUpdateStatus == usUnmodified) FUpdateStatus = usModified;
    if (FUpdateIndex < 0) FRecordsList->appendToDelta(this);
    if (FUpdateStatus == usModified && FOldData.empty()) FOldData = FTmpOldRecValue;
  } else {
    FRecordsList->applyOneRecord(this, TRecordsListEh::TApplyKind::Modify);
  }
  FTmpOldRecValue.clear();
  FEditState = resBrowseEh;
  FRecordsList->Notify(this, FIndex, rlnRecChangedEh);
}

void TMemoryRecordEh::Cancel(TMemoryRecordEh*& Rec) {
  if (!inEditCycle(Rec->FEditState)) DatabaseError(QString::fromLatin1(DBConsts::SNotEditing));
  if (Rec->FEditState == resInsertEh) {
    FreeAndNil(Rec);
    return;
  }
  Rec->cancelEdit();
}

void TMemoryRecordEh::cancelEdit() {
  // A refresh edit took no copy: its values are the record's own.
  if (FEditState == resEditEh) FData = std::move(FTmpOldRecValue);
  FTmpOldRecValue.clear();
  FEditState = resBrowseEh;
}

void TMemoryRecordEh::forgetChanges() {
  FOldData.clear();
  FUpdateStatus = usUnmodified;
  if (FUpdateIndex >= 0) FRecordsList->FDeltaList.SetItems(FUpdateIndex, nullptr);
  FUpdateIndex = -1;
  freeUpdateError();
}

void TMemoryRecordEh::MergeChanges() {
  if (FUpdateStatus == usUnmodified) return;
  if (FUpdateStatus == usDeleted) FRecordsList->PersistRemoveRecord(FIndex);
  forgetChanges();
}

void TMemoryRecordEh::RevertRecord() {
  if (FUpdateStatus == usModified) {
    FRecordsList->Notify(this, FIndex, rlnRecChangingEh);
    FData = std::move(FOldData);
    FOldData.clear();
    FUpdateStatus = usUnmodified;
    FRecordsList->Notify(this, FIndex, rlnRecChangedEh);
  } else if (FUpdateStatus == usDeleted) {
    FRecordsList->Notify(this, FIndex, rlnRecChangingEh);
    FUpdateStatus = usUnmodified;
    FRecordsList->Notify(this, FIndex, rlnRecChangedEh);
  }
  freeUpdateError();
}

void TMemoryRecordEh::RefreshRecord(TMemoryRecordEh* Rec) {
  if (FUpdateStatus == usModified)
    FOldData = Rec->FData;
  else
    FData = Rec->FData;
}

void TMemoryRecordEh::UpdateCalculatedFields() {
  if (FRecordsList && FRecordsList->MemTableData()) FRecordsList->MemTableData()->CalculateRecordFields(this);
}
