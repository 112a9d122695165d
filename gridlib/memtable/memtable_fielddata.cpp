// The memory table's field values: reading and writing through the record
// buffers, the write checks, the value hooks, calculated, lookup,
// internal-calculated and aggregate fields.
#include "gridlib/memtable/memtable.h"

#include "gridlib/base/langconsts.h"
#include "gridlib/memtable/memblobstream.h"
#include "gridlib/memtable/memoryrecord.h"
#include "gridlib/memtable/memorytreelist.h"
#include "gridlib/memtable/mtaggregates.h"
#include "gridlib/memtable/recordsview.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fieldclasses.h"
#include "platform/db/fields.h"
#include "platform/rtl/bcd.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/format.h"
#include "platform/rtl/scopeexit.h"

namespace {

bool isTextFieldType(TFieldType Type) {
  switch (Type) {
    case ftString:
    case ftMemo:
    case ftFmtMemo:
    case ftFixedChar:
    case ftWideString:
    case ftFixedWideChar:
    case ftWideMemo:
      return true;
    default:
      return false;
  }
}

String cutText(const Variant& Value, Integer Size) {
  const String Text = VarIsNull(Value) || VarIsEmpty(Value) ? String() : VarToStr(Value);
  return Size > 0 && Text.size() > Size ? Text.left(Size) : Text;
}

// 10^N as an integer, N in 0..18.
Int64 pow10(Integer N) {
  Int64 Result = 1;
  while (N-- > 0) Result *= 10;
  return Result;
}

// Currency rounded to Decimals (0..3) places, halves to even: stored totals
// depend on it.
Currency roundCurrency(Currency Value, Integer Decimals) {
  const Int64 Factor = pow10(4 - Decimals);
  const Int64 Raw = Value.Raw();
  Int64 Quotient = Raw / Factor;
  const Int64 Remainder = Raw % Factor;
  const Int64 Twice = 2 * (Remainder < 0 ? -Remainder : Remainder);
  if (Twice > Factor || (Twice == Factor && Quotient % 2 != 0)) Quotient += Raw < 0 ? -1 : 1;
  return Currency::FromRaw(Quotient * Factor);
}

// Value with exactly Scale decimals, rounded half away from zero as the
// decimal routines round.  The caller has checked that the digits fit.
TBcd bcdWithScale(const TBcd& Value, Integer Scale) {
  TBcd Result = Value;
  while (Result.Scale < Scale) {
    Result.Mantissa *= 10;
    ++Result.Scale;
  }
  if (Result.Scale > Scale) {
    __int128 Divisor = 1;
    for (Integer I = Scale; I < Result.Scale; ++I) Divisor *= 10;
    const __int128 Magnitude = Result.Mantissa < 0 ? -Result.Mantissa : Result.Mantissa;
    __int128 Rounded = Magnitude / Divisor;
    if (2 * (Magnitude % Divisor) >= Divisor) ++Rounded;
    Result.Mantissa = Result.Mantissa < 0 ? -Rounded : Rounded;
    Result.Scale = Byte(Scale);
  }
  Integer Digits = 1;
  for (__int128 M = Result.Mantissa < 0 ? -Result.Mantissa : Result.Mantissa; M >= 10; M /= 10) ++Digits;
  Result.Precision = Byte(std::max({1, Digits, Scale}));
  return Result;
}

bool isCalculatedKind(TField* Field) {
  return Field->FieldKind() == fkCalculated || Field->FieldKind() == fkLookup;
}

}  // namespace

// ---------------------------------------------------------------------------
// conversions

Variant TCustomMemTableEh::VarValueToValueBuffer(TField* Field, const Variant& Value) {
  switch (Field->DataType()) {
    case ftString:
    case ftFixedChar:
    case ftGuid:
    case ftWideString:
      // A text that fits is shared, not copied into a new variant.
      if (VarType(Value) == varUString && (Field->Size() <= 0 || Value.AsString().size() <= Field->Size()))
        return Value;
      return Variant(cutText(Value, Field->Size()));
    case ftSmallint:
      return Variant(SmallInt(Value.AsInteger()));
    case ftInteger:
    case ftAutoInc:
      return Variant(Value.AsInteger());
    case ftWord:
      return Variant(Word(Value.AsInteger()));
    case ftBoolean:
      return Variant(Value.AsBoolean());
    case ftFloat:
    case ftCurrency:
    case ftExtended:
      return Variant(Value.AsDouble());
    case ftSingle:
      return Variant(float(Value.AsDouble()));
    case ftBCD:
      return Variant(Value.AsCurrency());
    case ftDate:
    case ftTime:
    case ftDateTime:
      return Variant(Value.AsDouble());
    case ftLargeint:
      return Variant(Value.AsInt64());
    case ftLongWord:
      // The low 32 bits of the 64-bit conversion, as the buffer keeps them.
      return Variant(LongWord(UInt64(Value.AsInt64()) & 0xFFFFFFFFu));
    case ftShortint:
      return Variant(ShortInt(Value.AsInteger()));
    case ftByte:
      return Variant(Byte(Value.AsInteger()));
    case ftTimeStamp:
      return VarSQLTimeStampCreate(VarToSQLTimeStamp(Value));
    case ftTimeStampOffset:
      return VarSQLTimeStampOffsetCreate(VarToSQLTimeStampOffset(Value));
    case ftFMTBcd:
      return VarFMTBcdCreate(VarToBcd(Value));
    case ftBytes:
    case ftVarBytes:
    case ftBlob:
    case ftGraphic:
    case ftOraBlob:
    case ftOraClob:
    case ftVariant:
    case ftMemo:
    case ftWideMemo:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
    case ftInterface:
    case ftIDispatch:
    // The table's own object-reference fields keep their wrapped object.
    case ftUnknown:
      return Value;
    default:
      DatabaseError(Format(GetGridLibLanguageConsts()->UnsupportedFieldTypeEh,
                           {FieldTypeName(Field->DataType()), Field->DisplayName()}),
                    this);
  }
}

void TCustomMemTableEh::CheckFieldDataVarValue(TField* Field, Variant& VarValue) {
  if (VarIsNull(VarValue) || VarIsEmpty(VarValue)) return;
  if (Field->DataType() == ftBCD) {
    auto* BCDField = dynamic_cast<TBCDField*>(Field);
    if (!BCDField || BCDField->Precision() <= 0) return;
    const Integer Exponent = BCDField->Precision() - Field->Size();
    const Currency Limit = Exponent > 0 && Exponent <= 14 ? Currency(pow10(Exponent)) : Currency(1);
    const Currency Value = VarValue.AsCurrency();
    // The absolute value: a negative amount overflows the same digits.
    if ((Value.Raw() < 0 ? Currency::FromRaw(-Value.Raw()) : Value) > Limit)
      throw EBcdOverflowException(QStringLiteral("BCD overflow"));
    if (Field->Size() < 4) VarValue = Variant(roundCurrency(Value, std::max(Field->Size(), 0)));
  } else if (auto* FMTField = dynamic_cast<TFMTBCDField*>(Field); FMTField && FMTField->Precision() > 0) {
    const TBcd Value = VarToBcd(VarValue);
    if (Value.Mantissa == 0) return;
    const Integer IntegerDigits = Integer(BcdPrecision(Value)) - Integer(BcdScale(Value));
    if (IntegerDigits > FMTField->Precision() - Field->Size())
      throw EBcdOverflowException(QStringLiteral("BCD overflow"));
    VarValue = VarFMTBcdCreate(bcdWithScale(Value, Field->Size()));
  }
}

// ---------------------------------------------------------------------------
// reading and writing

bool TCustomMemTableEh::GetFieldData(TField* Field, Variant& Value) {
  Value = Null();
  TMTRecBuf* Buf = nullptr;
  if (!GetActiveRecBuf(Buf)) return false;
  Variant V;
  if (Field->FieldKind() == fkAggregate) {
    V = GetAggregateValue(Field);
  } else {
    V = State() == dsOldValue ? Buf->GetOldValue(Field) : Buf->GetValue(Field);
    if (FOnGetFieldValue) FOnGetFieldValue(this, Field, V);
  }
  if (VarIsNull(V) || VarIsEmpty(V)) return false;
  Value = VarValueToValueBuffer(Field, V);
  return true;
}

void TCustomMemTableEh::checkWritable(TField* Field) {
  const TFieldKind Kind = Field->FieldKind();
  if (!isCalculatedKind(Field) && Kind != fkInternalCalc && !dsWriteModes.Contains(State()))
    DatabaseError(DBConsts::SNotEditing, this);
  if ((Kind == fkData || Kind == fkInternalCalc) && Field->ReadOnly() && State() != dsSetKey && State() != dsFilter)
    DatabaseErrorFmt(DBConsts::SFieldReadOnly, {Field->DisplayName()}, this);
}

void TCustomMemTableEh::SetFieldData(TField* Field, const Variant& Value) {
  checkWritable(Field);
  TMTRecBuf* Buf = nullptr;
  if (!GetActiveRecBuf(Buf, /*IgnoreInstantRead=*/true)) return;
  Field->Validate(Value);
  Variant V = VarIsNull(Value) || VarIsEmpty(Value) ? Null() : VarValueToValueBuffer(Field, Value);
  CheckFieldDataVarValue(Field, V);
  if (FOnSetFieldValue) FOnSetFieldValue(this, Field, V);
  Buf->SetValue(Field, V);
  NotifyFieldChanged(Field);
}

bool TCustomMemTableEh::GetFieldValue(TField* Field, Variant& Value) {
  Value = Null();
  TMTRecBuf* Buf = nullptr;
  if (!GetActiveRecBuf(Buf)) return false;
  Variant V = Buf->GetValue(Field);
  if (FOnGetFieldValue) FOnGetFieldValue(this, Field, V);
  if (VarIsNull(V)) return false;
  Value = V;
  return true;
}

String TCustomMemTableEh::GetFieldDisplayText(TField* Field) {
  if (Field->OnGetText() || !isTextFieldType(Field->DataType())) return Field->DisplayText();
  TMTRecBuf* Buf = nullptr;
  const Variant V = GetActiveRecBuf(Buf) ? Buf->GetValue(Field) : Null();
  return VarIsNull(V) || VarIsEmpty(V) ? String() : VarToStr(V);
}

bool TCustomMemTableEh::GetFieldDataAsObject(TField* Field, TObject*& Value) {
  Value = nullptr;
  TMTRecBuf* Buf = nullptr;
  if (!GetActiveRecBuf(Buf)) return false;
  Variant V = Buf->GetValue(Field);
  if (FOnGetFieldValue) FOnGetFieldValue(this, Field, V);
  if (VarIsNull(V)) return false;
  Value = VarToRefObjectEh(V);
  return true;
}

void TCustomMemTableEh::SetFieldDataAsObject(TField* Field, TObject* Value) {
  if (!dsWriteModes.Contains(State())) DatabaseError(DBConsts::SNotEditing, this);
  TMTRecBuf* Buf = nullptr;
  if (!GetActiveRecBuf(Buf, /*IgnoreInstantRead=*/true)) return;
  Variant V = Value ? RefObjectToVarEh(Value) : Null();
  if (FOnSetFieldValue) FOnSetFieldValue(this, Field, V);
  Buf->SetValue(Field, V);
  NotifyFieldChanged(Field);
}

bool TCustomMemTableEh::GetCanModify() { return !FReadOnly; }

void TCustomMemTableEh::CloseBlob(TField*) {}

TStream* TCustomMemTableEh::CreateBlobStream(TField* Field, TBlobStreamMode Mode) {
  return new TMemBlobStreamEh(As<TBlobField>(Field), Mode);
}

// ---------------------------------------------------------------------------
// calculated fields

void TCustomMemTableEh::CalculateFields(TRecordBuffer Buffer) {
  FCalcBuffer = Buffer;
  TMTRecBuf* Buf = RecBuf(Buffer);
  // A browsed row's node already holds its calculated values.
  if (Buf->UseMemRec && !Buf->NeedUpdateCalcFields) return;
  TDataSet::CalculateFields(Buffer);
  Buf->NeedUpdateCalcFields = false;
}

void TCustomMemTableEh::ClearCalcFields(TRecordBuffer Buffer) {
  TMTRecBuf* Buf = RecBuf(Buffer);
  for (Integer I = 0; I < Fields()->Count(); ++I)
    if (TField* Field = Fields()->Fields(I); isCalculatedKind(Field)) Buf->SetValue(Field, Null());
}

void TCustomMemTableEh::RefreshInternalCalcFields(TRecordBuffer Buffer) { CalculateFields(Buffer); }

Variant TCustomMemTableEh::CalcLookupValue(TField* Field) {
  if (Field->LookupCache()) return Field->LookupList()->ValueOfKey(FieldValues(Field->KeyFields()));
  if (Field->LookupDataSet() && Field->LookupDataSet()->Active())
    return Field->LookupDataSet()->Lookup(Field->LookupKeyFields(), FieldValues(Field->KeyFields()),
                                          Field->LookupResultField());
  return Null();
}

void TCustomMemTableEh::RecordsViewCalcLookupBuffer(TMemoryRecordEh* Rec, TMemRecViewEh* Node) {
  if (!IsCursorOpen()) return;
  bool HasCalculated = false;
  for (Integer I = 0; I < Fields()->Count() && !HasCalculated; ++I) HasCalculated = isCalculatedKind(Fields()->Fields(I));
  if (!HasCalculated) return;
  const TDataSetState SaveState = SetTempState(dsFilter);
  // While opening the engine has no spare buffer yet: borrow one.
  TRecordBuffer Borrowed = TempBuffer() == NoRecordBuffer ? AllocRecordBuffer() : NoRecordBuffer;
  const TScopeExit Restore([&] {
    RestoreState(SaveState);
    FreeRecordBuffer(Borrowed);
  });
  Node->SetLookupBufferLength(Fields()->Count());
  const TRecordBuffer Spare = Borrowed != NoRecordBuffer ? Borrowed : TempBuffer();
  TMTRecBuf* Buf = RecBuf(Spare);
  RecToRecBuf(Rec, Buf, -1);
  Buf->RecView = Node;
  Buf->NeedUpdateCalcFields = true;
  Buf->RecordNumber = FRecordsView->IndexOfRec(Rec);
  GetCalcFields(Spare);
}

void TCustomMemTableEh::MemTableDataFieldCalculation(TMemoryRecordEh* MemRec, TVariantArrayEh& Values) {
  const TDataSetState SaveState = SetTempState(dsInternalCalc);
  const TScopeExit Restore([&] { RestoreState(SaveState); });
  InstantReadEnter(MemRec, -1);
  const TScopeExit Leave([this] { InstantReadLeave(); });
  TMTRecBuf* Buf = RecBuf(FInstantBuffers.back());
  Buf->NeedUpdateCalcFields = true;
  CalculateFields(FInstantBuffers.back());
  for (Integer I = 0; I < Fields()->Count(); ++I) {
    TField* Field = Fields()->Fields(I);
    if (Field->FieldKind() != fkInternalCalc || Field->FieldNo() <= 0) continue;
    const auto At = size_t(Field->FieldNo() - 1);
    if (At >= Values.size()) Values.resize(At + 1, Null());
    Values[At] = Field->AsVariant();
  }
}

// ---------------------------------------------------------------------------
// aggregates

Variant TCustomMemTableEh::GetAggregateValue(TField* Field) {
  TMTRecBuf* Buf = nullptr;
  if (!AggregatesActive() || !GetActiveRecBuf(Buf)) return Null();
  auto* AggField = dynamic_cast<TAggregateField*>(Field);
  auto* Aggregate = AggField ? dynamic_cast<TMTAggregateEh*>(AggField->Handle()) : nullptr;
  return Aggregate ? Aggregate->Value() : Null();
}

void TCustomMemTableEh::ResetAggField(TField* Field) {
  auto* AggField = dynamic_cast<TAggregateField*>(Field);
  auto* Aggregate = AggField ? dynamic_cast<TMTAggregateEh*>(AggField->Handle()) : nullptr;
  if (!Aggregate) return;
  {
    TMTAggregatesEh* Aggregates = Aggregate->Aggregates();
    Aggregates->BeginUpdate();
    const TScopeExit End([Aggregates] { Aggregates->EndUpdate(); });
    Aggregate->Assign(AggField);
  }
  Aggregate->Reset();
  Aggregate->Recalc();
  if (Active()) DataEvent(deDataSetChange, 0);
}

bool TCustomMemTableEh::AggregatesActive() { return FRecordsView->Aggregates()->Active(); }

void TCustomMemTableEh::SetAggregatesActive(bool Value) {
  if (AggregatesActive() == Value) return;
  FRecordsView->Aggregates()->SetActive(Value);
  if (Active() && AggFields()->Count() > 0) {
    UpdateCursorPos();
    Resync({});
  }
}
