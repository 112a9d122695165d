#include "platform/db/testing/rowlistdataset.h"

#include "platform/db/dbconsts.h"
#include "platform/db/fielddefs.h"
#include "platform/db/fields.h"
#include "platform/rtl/scopeexit.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <utility>

TRowListDataSet::TRowListDataSet(TComponent* AOwner) : TDataSet(AOwner) {}

TRowListDataSet::~TRowListDataSet() {
  Destroying();
  Close();
}

// ---------------------------------------------------------------------------
// rows

void TRowListDataSet::AppendRow(TRow Row) {
  assert(int(Row.size()) == FieldDefs()->Count() && "one value per FieldDef");
  for (Variant& Value : Row)
    if (VarIsEmpty(Value)) Value = Null();
  FRows.push_back(TStoredRow{FNextId++, std::move(Row)});
  FIndexStale = true;
}

void TRowListDataSet::SortRows(int Column) {
  if (Active()) {
    CheckBrowseMode();
    UpdateCursorPos();
  }
  const Int64 CursorId = FCursor >= 0 && FCursor < RowCount() ? FRows[FCursor].Id : 0;
  std::stable_sort(FRows.begin(), FRows.end(), [Column](const TStoredRow& A, const TStoredRow& B) {
    return VarCompareValue(A.Values[Column], B.Values[Column]) == vrLessThan;
  });
  FIndexStale = true;
  if (CursorId != 0) FCursor = indexOfId(CursorId);
  if (!Active()) return;
  CursorPosChanged();
  Resync({});
}

int TRowListDataSet::indexOfId(Int64 Id) {
  if (FIndexStale) {
    FIndexOfId.clear();
    for (int I = 0; I < RowCount(); ++I) FIndexOfId.emplace(FRows[I].Id, I);
    FIndexStale = false;
  }
  const auto Found = FIndexOfId.find(Id);
  return Found == FIndexOfId.end() ? -1 : Found->second;
}

Int64 TRowListDataSet::idOf(const TBookmark& Bookmark) {
  Int64 Id = 0;
  if (Bookmark.size() == qsizetype(sizeof(Id))) std::memcpy(&Id, Bookmark.constData(), sizeof(Id));
  return Id;
}

// ---------------------------------------------------------------------------
// instrumentation

void TRowListDataSet::FailNext(TFaultPoint Point, int Times, bool Silent) {
  FFaults[Point] = TFault{Times, Silent};
}

void TRowListDataSet::failIfAsked(TFaultPoint Point) {
  TFault& Fault = FFaults[Point];
  if (Fault.Remaining <= 0) return;
  --Fault.Remaining;
  if (Fault.Silent) Abort();
  throw EDatabaseError(FaultMessage());
}

// ---------------------------------------------------------------------------
// field values

TRowListDataSet::TRowBuffer* TRowListDataSet::stateBuffer() {
  switch (State()) {
    case dsBrowse:
      return IsEmpty() ? nullptr : rowBuffer(ActiveBuffer());
    case dsEdit:
    case dsInsert:
      return rowBuffer(ActiveBuffer());
    case dsCalcFields:
    case dsInternalCalc:
      return rowBuffer(CalcBuffer());
    case dsFilter:
      return FFilterBuffer ? FFilterBuffer : rowBuffer(TempBuffer());
    default:
      return nullptr;
  }
}

Variant* TRowListDataSet::slotOf(TRowBuffer* Buffer, TField* Field) {
  if (Field->FieldKind() == fkData || Field->FieldKind() == fkInternalCalc) {
    const int No = Field->FieldNo();
    return No >= 1 && No <= int(Buffer->Values.size()) ? &Buffer->Values[No - 1] : nullptr;
  }
  const auto Found = std::find(FCalcFields.begin(), FCalcFields.end(), Field);
  return Found == FCalcFields.end() ? nullptr : &Buffer->CalcValues[Found - FCalcFields.begin()];
}

bool TRowListDataSet::GetFieldData(TField* Field, Variant& Value) {
  TRowBuffer* Buffer = stateBuffer();
  const Variant* Slot = Buffer ? slotOf(Buffer, Field) : nullptr;
  if (!Slot || VarIsNull(*Slot)) {
    Value = Null();
    return false;
  }
  Value = *Slot;
  return true;
}

void TRowListDataSet::SetFieldData(TField* Field, const Variant& Value) {
  CheckFieldWrite(Field);
  TRowBuffer* Buffer = stateBuffer();
  if (!Buffer) DatabaseError(DBConsts::SNotEditing, this);
  Variant* Slot = slotOf(Buffer, Field);
  assert(Slot && "the field is not bound to this dataset");
  Field->Validate(Value);
  *Slot = VarIsEmpty(Value) ? Null() : Value;
  NotifyFieldChanged(Field);
}

// ---------------------------------------------------------------------------
// buffers and the cursor

TRecordBuffer TRowListDataSet::AllocRecordBuffer() {
  auto* Buffer = new TRowBuffer;
  Buffer->Values.resize(FieldDefs()->Count());
  Buffer->CalcValues.resize(FCalcFields.size());
  return reinterpret_cast<TRecordBuffer>(Buffer);
}

void TRowListDataSet::FreeRecordBuffer(TRecordBuffer& Buffer) {
  delete rowBuffer(Buffer);
  Buffer = NoRecordBuffer;
}

bool TRowListDataSet::loadRow(int Index, TRowBuffer* Buffer) {
  const TStoredRow& Row = FRows[Index];
  Buffer->RowId = Row.Id;
  Buffer->Flag = bfCurrent;
  std::copy(Row.Values.begin(), Row.Values.end(), Buffer->Values.begin());
  const TRecordBuffer Handle = reinterpret_cast<TRecordBuffer>(Buffer);
  GetCalcFields(Handle);
  TRowBuffer* const Saved = std::exchange(FFilterBuffer, Buffer);
  const TScopeExit Restore([&] { FFilterBuffer = Saved; });
  return FilterAccepts(Handle);
}

TGetResult TRowListDataSet::GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool) {
  if (FLogging) log(QStringLiteral("GetRecord(%1)").arg(GetEnumName(EnumTypeInfo(GetMode), GetMode)));
  TRowBuffer* Target = rowBuffer(Buffer);
  for (;;) {
    switch (GetMode) {
      case gmNext:
        FCursor = std::min(FCursor + 1, RowCount());
        if (FCursor == RowCount()) return grEOF;
        break;
      case gmPrior:
        FCursor = std::max(FCursor - 1, -1);
        if (FCursor == -1) return grBOF;
        break;
      case gmCurrent:
        if (FCursor < 0 || FCursor >= RowCount()) return grError;
        break;
    }
    if (loadRow(FCursor, Target)) return grOK;
    if (GetMode == gmCurrent) return grError;
  }
}

void TRowListDataSet::InternalInitRecord(TRecordBuffer Buffer) {
  log(QStringLiteral("InternalInitRecord"));
  TRowBuffer* Target = rowBuffer(Buffer);
  Target->RowId = 0;
  std::fill(Target->Values.begin(), Target->Values.end(), Null());
  std::fill(Target->CalcValues.begin(), Target->CalcValues.end(), Null());
}

void TRowListDataSet::InternalOpen() {
  log(QStringLiteral("InternalOpen"));
  if (DefaultFields()) CreateFields();
  BindFields(/*Binding=*/true);
  FCalcFields.clear();
  for (int I = 0; I < Fields()->Count(); ++I) {
    TField* Field = Fields()->Fields(I);
    if (Field->FieldKind() == fkCalculated || Field->FieldKind() == fkLookup) FCalcFields.push_back(Field);
  }
  SetBookmarkSize(sizeof(Int64));
  FCursor = -1;
  FCursorOpen = true;
}

void TRowListDataSet::InternalClose() {
  log(QStringLiteral("InternalClose"));
  FCursorOpen = false;
  FCalcFields.clear();
}

void TRowListDataSet::InternalInitFieldDefs() { log(QStringLiteral("InternalInitFieldDefs")); }

void TRowListDataSet::InternalFirst() {
  log(QStringLiteral("InternalFirst"));
  FCursor = -1;
}

void TRowListDataSet::InternalLast() {
  log(QStringLiteral("InternalLast"));
  FCursor = RowCount();
}

void TRowListDataSet::InternalGotoBookmark(const TBookmark& Bookmark) {
  log(QStringLiteral("InternalGotoBookmark"));
  const int Index = indexOfId(idOf(Bookmark));
  if (Index < 0) DatabaseError(DBConsts::SRecordNotFound, this);
  FCursor = Index;
}

void TRowListDataSet::InternalSetToRecord(TRecordBuffer Buffer) {
  log(QStringLiteral("InternalSetToRecord"));
  FCursor = indexOfId(rowBuffer(Buffer)->RowId);
}

void TRowListDataSet::GetBookmarkData(TRecordBuffer Buffer, TBookmark& Data) {
  const Int64 Id = rowBuffer(Buffer)->RowId;
  Data = TBookmark(reinterpret_cast<const char*>(&Id), sizeof(Id));
}

void TRowListDataSet::SetBookmarkData(TRecordBuffer Buffer, const TBookmark& Data) {
  rowBuffer(Buffer)->RowId = idOf(Data);
}

TBookmarkFlag TRowListDataSet::GetBookmarkFlag(TRecordBuffer Buffer) { return rowBuffer(Buffer)->Flag; }

void TRowListDataSet::SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) {
  rowBuffer(Buffer)->Flag = Value;
}

bool TRowListDataSet::BookmarkValid(const TBookmark& Value) {
  return Active() && indexOfId(idOf(Value)) >= 0;
}

int TRowListDataSet::CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) {
  if (Bookmark1.isEmpty() || Bookmark2.isEmpty()) return TDataSet::CompareBookmarks(Bookmark1, Bookmark2);
  const int Index1 = indexOfId(idOf(Bookmark1));
  const int Index2 = indexOfId(idOf(Bookmark2));
  return Index1 < Index2 ? -1 : Index1 > Index2 ? 1 : 0;
}

// ---------------------------------------------------------------------------
// editing

void TRowListDataSet::InternalEdit() {
  log(QStringLiteral("InternalEdit"));
  failIfAsked(fpInternalEdit);
}

void TRowListDataSet::InternalInsert() {
  log(QStringLiteral("InternalInsert"));
}

void TRowListDataSet::InternalCancel() { log(QStringLiteral("InternalCancel")); }

void TRowListDataSet::InternalRefresh() { log(QStringLiteral("InternalRefresh")); }

void TRowListDataSet::InternalPost() {
  log(QStringLiteral("InternalPost"));
  failIfAsked(fpInternalPost);
  TDataSet::InternalPost();
  const TRowBuffer* Buffer = rowBuffer(ActiveBuffer());
  if (State() == dsEdit) {
    FCursor = indexOfId(Buffer->RowId);
    assert(FCursor >= 0 && "the edited row is gone");
    FRows[FCursor].Values = Buffer->Values;
    return;
  }
  int At = RowCount();
  if (Buffer->Flag == bfBOF) At = 0;
  if (Buffer->Flag == bfInserted) At = std::max(0, indexOfId(Buffer->RowId));
  FRows.insert(FRows.begin() + At, TStoredRow{FNextId++, Buffer->Values});
  FIndexStale = true;
  FCursor = At;
}

void TRowListDataSet::InternalDelete() {
  log(QStringLiteral("InternalDelete"));
  failIfAsked(fpInternalDelete);
  const int Index = indexOfId(rowBuffer(ActiveBuffer())->RowId);
  assert(Index >= 0 && "the deleted row is gone");
  FRows.erase(FRows.begin() + Index);
  FIndexStale = true;
  FCursor = Index;
}

// ---------------------------------------------------------------------------
// record numbers

TRowListDataSet::TRowBuffer TRowListDataSet::scratchBuffer() const {
  TRowBuffer Buffer;
  Buffer.Values.resize(FieldDefs()->Count());
  Buffer.CalcValues.resize(FCalcFields.size());
  return Buffer;
}

int TRowListDataSet::visibleRows(int Count) {
  if (!Filtered()) return Count;
  TRowBuffer Scratch = scratchBuffer();
  int Result = 0;
  for (int I = 0; I < Count; ++I)
    if (loadRow(I, &Scratch)) ++Result;
  return Result;
}

int TRowListDataSet::GetRecordCount() {
  if (!FSequenced) return -1;
  CheckActive();
  return visibleRows(RowCount());
}

int TRowListDataSet::GetRecNo() {
  if (!FSequenced) return -1;
  const TRowBuffer* Buffer = stateBuffer();
  if (!Buffer || Buffer->Flag != bfCurrent) return -1;
  const int Index = indexOfId(Buffer->RowId);
  return Index < 0 ? -1 : visibleRows(Index) + 1;
}

void TRowListDataSet::SetRecNo(int Value) {
  if (!FSequenced) return;
  CheckBrowseMode();
  if (Value < 1 || Value == RecNo()) return;
  TRowBuffer Scratch = scratchBuffer();
  int Shown = 0;
  for (int I = 0; I < RowCount(); ++I) {
    if (!loadRow(I, &Scratch) || ++Shown != Value) continue;
    DoBeforeScroll();
    FCursor = I;
    CursorPosChanged();
    Resync({rmCenter});
    DoAfterScroll();
    return;
  }
}

// ---------------------------------------------------------------------------
// events

void TRowListDataSet::DoBeforeOpen() {
  log(QStringLiteral("BeforeOpen"));
  TDataSet::DoBeforeOpen();
}
void TRowListDataSet::DoAfterOpen() {
  log(QStringLiteral("AfterOpen"));
  TDataSet::DoAfterOpen();
}
void TRowListDataSet::DoBeforeClose() {
  log(QStringLiteral("BeforeClose"));
  TDataSet::DoBeforeClose();
}
void TRowListDataSet::DoAfterClose() {
  log(QStringLiteral("AfterClose"));
  TDataSet::DoAfterClose();
}
void TRowListDataSet::DoBeforeInsert() {
  log(QStringLiteral("BeforeInsert"));
  TDataSet::DoBeforeInsert();
}
void TRowListDataSet::DoAfterInsert() {
  log(QStringLiteral("AfterInsert"));
  TDataSet::DoAfterInsert();
}
void TRowListDataSet::DoBeforeEdit() {
  log(QStringLiteral("BeforeEdit"));
  TDataSet::DoBeforeEdit();
}
void TRowListDataSet::DoAfterEdit() {
  log(QStringLiteral("AfterEdit"));
  TDataSet::DoAfterEdit();
}
void TRowListDataSet::DoBeforePost() {
  log(QStringLiteral("BeforePost"));
  TDataSet::DoBeforePost();
}
void TRowListDataSet::DoAfterPost() {
  log(QStringLiteral("AfterPost"));
  TDataSet::DoAfterPost();
}
void TRowListDataSet::DoBeforeCancel() {
  log(QStringLiteral("BeforeCancel"));
  TDataSet::DoBeforeCancel();
}
void TRowListDataSet::DoAfterCancel() {
  log(QStringLiteral("AfterCancel"));
  TDataSet::DoAfterCancel();
}
void TRowListDataSet::DoBeforeDelete() {
  log(QStringLiteral("BeforeDelete"));
  TDataSet::DoBeforeDelete();
}
void TRowListDataSet::DoAfterDelete() {
  log(QStringLiteral("AfterDelete"));
  TDataSet::DoAfterDelete();
}
void TRowListDataSet::DoBeforeScroll() {
  log(QStringLiteral("BeforeScroll"));
  TDataSet::DoBeforeScroll();
}
void TRowListDataSet::DoAfterScroll() {
  log(QStringLiteral("AfterScroll"));
  TDataSet::DoAfterScroll();
}
void TRowListDataSet::DoBeforeRefresh() {
  log(QStringLiteral("BeforeRefresh"));
  TDataSet::DoBeforeRefresh();
}
void TRowListDataSet::DoAfterRefresh() {
  log(QStringLiteral("AfterRefresh"));
  TDataSet::DoAfterRefresh();
}
void TRowListDataSet::DoOnCalcFields() {
  log(QStringLiteral("OnCalcFields"));
  TDataSet::DoOnCalcFields();
}
void TRowListDataSet::DoOnNewRecord() {
  log(QStringLiteral("OnNewRecord"));
  TDataSet::DoOnNewRecord();
}
