// One record of a memory table: a row of variant values, one per field of the
// structure, and what the edit cycle and cached updates need.
//
//   row              holds                                     exists
//   FData            the posted values, or the edit buffer     always
//   FTmpOldRecValue  the values as the edit started            Edit .. Post/Cancel
//   FOldData         the values before the first posted change first cached Post .. merge/revert/cancel
//
// Every access names a value version that picks the row:
//
//   dvvOldValueEh    FOldData (raises when absent)
//   dvvCurValueEh    FTmpOldRecValue while editing, else FData
//   dvvEditValueEh   FData (raises unless editing)
//   dvvValueEh       FData
//   dvvOldestValue   FOldData, else FTmpOldRecValue, else FData
//   dvvRefreshValue  FOldData, else FData
//
// Ownership: the records list that made a record frees it.  A record never
// attached (made by NewRecord, not yet posted) belongs to its maker until it
// is posted; Cancel on it frees it, so Cancel takes the caller's pointer and
// clears it.
#pragma once

#include "platform/db/dbtypes.h"
#include "platform/rtl/component.h"
#include "platform/rtl/variant.h"

#include "gridlib/memtable/datastruct.h"

#include <memory>
#include <vector>

class TRecordsListEh;

RTL_ENUM(TRecordEditStateEh, resBrowseEh, resEditEh, resInsertEh, resEditForRefresh)
RTL_ENUM(TDataValueVersionEh, dvvOldValueEh, dvvCurValueEh, dvvEditValueEh, dvvValueEh, dvvOldestValue,
         dvvRefreshValue)

using TRecDataValues = std::vector<Variant>;

// The error of a failed apply of one record; owns the exception.
class TUpdateErrorEh : public TPersistent {
  RTL_CLASS(TUpdateErrorEh, TPersistent)
public:
  // Takes ownership of AException.
  explicit TUpdateErrorEh(std::unique_ptr<Exception> AException) : FException(std::move(AException)) {}
  Exception* GetException() const { return FException.get(); }

private:
  std::unique_ptr<Exception> FException;
};

class TMemoryRecordEh : public TPersistent {
  RTL_CLASS(TMemoryRecordEh, TPersistent)
public:
  TMemoryRecordEh();
  // An attached record passes the list's diagnostic check first.
  void BeforeDestruction() override;
  ~TMemoryRecordEh() override;

  // values
  // "List index out of bounds (%d)" outside the structure's fields; a write
  // converts to the field's value type (errors leave the value unchanged).
  Variant GetDataValue(Integer FieldIndex, TDataValueVersionEh Version);
  void SetDataValue(Integer FieldIndex, TDataValueVersionEh Version, const Variant& Value);
  void SetDataValue(Integer FieldIndex, TDataValueVersionEh Version, Variant&& Value);
  // A ';'-list gives a variant array in the order named; one name its value.
  Variant GetDataValues(const String& FieldNames, TDataValueVersionEh Version);
  void SetDataValues(const String& FieldNames, TDataValueVersionEh Version, const Variant& VarValue);
  Variant GetDataIndexValues(const TIntArrayEh& FieldIndexes, TDataValueVersionEh Version);
  void SetDataIndexValues(const TIntArrayEh& FieldIndexes, TDataValueVersionEh Version, const Variant& VarValue);
  // The whole row a version picks (read only).
  const TRecDataValues& Row(TDataValueVersionEh Version);

  // the edit cycle
  void Edit();
  void EditForRefresh();
  void Post();
  // Takes the record back to its posted values.  A record never posted is
  // freed: Rec is the caller's pointer, cleared when that happens.
  static void Cancel(TMemoryRecordEh*& Rec);
  void MergeChanges();
  void RevertRecord();
  void RefreshRecord(TMemoryRecordEh* Rec);
  void UpdateCalculatedFields();

  // properties
  Integer Index() const { return FIndex; }
  bool Attached() const { return FIndex != -1; }
  TMTDataStructEh* DataStruct() const { return FDataStruct; }
  Cardinal HashCode() const { return FHashCode; }
  // The record's identity for the process's lifetime: no other record, alive
  // or made later, has the same serial, so bookmarks can name a record that
  // may be freed.
  UInt64 Serial() const { return FSerial; }
  const TRecDataValues& OldData() const { return FOldData; }
  TRecordsListEh* RecordsList() const { return FRecordsList; }
  TUpdateErrorEh* UpdateError() const { return FUpdateError; }
  // Takes ownership of Value; frees the one held before.
  void SetUpdateError(TUpdateErrorEh* Value);
  Integer UpdateIndex() const { return FUpdateIndex; }
  TUpdateStatus UpdateStatus() const { return FUpdateStatus; }
  void SetUpdateStatus(TUpdateStatus Value) { FUpdateStatus = Value; }
  TRecordEditStateEh EditState() const { return FEditState; }
  bool EditChanged() const { return FEditChanged; }

private:
  TRecDataValues& rowFor(TDataValueVersionEh Version);
  void checkFieldIndex(Integer FieldIndex) const;
  void cancelEdit();
  // Drops the old values and leaves the delta list.
  void forgetChanges();
  void freeUpdateError();

  TRecDataValues FData;
  TMTDataStructEh* FDataStruct = nullptr;
  bool FEditChanged = false;
  TRecordEditStateEh FEditState = resInsertEh;
  Cardinal FHashCode = 0;
  UInt64 FSerial;
  Integer FIndex = -1;
  TRecDataValues FOldData;
  TRecordsListEh* FRecordsList = nullptr;
  TRecDataValues FTmpOldRecValue;
  TUpdateErrorEh* FUpdateError = nullptr;
  Integer FUpdateIndex = -1;
  TUpdateStatus FUpdateStatus = usUnmodified;
  // The records list keeps the position fields and makes records.
  friend class TRecordsListEh;
  friend class TMTDataStructEh;
};
