#include "platform/db/dataset.h"

#include "platform/db/blobstream.h"
#include "platform/db/datasource.h"
#include "platform/db/dbconsts.h"
#include "platform/db/exprevaluator.h"
#include "platform/db/exprparser.h"
#include "platform/db/fieldclasses.h"
#include "platform/db/fielddefs.h"
#include "platform/db/fields.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"

#include <algorithm>
#include <cassert>
#include <exception>
#include <optional>
#include <utility>

namespace {

// Types whose values Locate compares as text (with the partial and case
// options); every other type compares by value.
bool isTextType(TFieldType Type) {
  switch (Type) {
    case ftString:
    case ftWideString:
    case ftFixedChar:
    case ftFixedWideChar:
    case ftMemo:
    case ftWideMemo:
    case ftFmtMemo:
    case ftGuid:
      return true;
    default:
      return false;
  }
}

bool isMissing(const Variant& V) { return VarIsNull(V) || VarIsEmpty(V); }

// One key of a Locate or Lookup with its conversion to the kind of the
// values it meets, made once.
struct TLocateKey {
  TLocateKey(TField* AField, const Variant& AKey) : Field(AField), Key(AKey), KeyText(VarToStr(AKey)) {}

  TField* Field;
  Variant Key;
  String KeyText;
  TVarType ConvertedFor = varEmpty;  // the value kind Converted was made for
  Variant Converted;

  bool matches(TLocateOptions Options) {
    const Variant Value = Field->Value();
    if (isMissing(Key)) return VarIsNull(Value);
    if (VarIsNull(Value)) return false;
    if (isTextType(Field->DataType())) return textMatches(VarToStr(Value), Options);
    const TVarType Kind = VarType(Value);
    if (Kind != ConvertedFor) {
      Converted = VarType(Key) == Kind ? Key : convertedKey(Kind);
      ConvertedFor = Kind;
    }
    return VarCompareValue(Value, Converted) == vrEqual;
  }

  // A key beyond the range of the kind (a 64-bit key beside a row's 32-bit
  // value) equals no value of it: Unassigned, which compares unequal.
  Variant convertedKey(TVarType Kind) const {
    try {
      return VarAsType(Key, Kind);
    } catch (const EVariantOverflowError&) {
      return Variant();
    }
  }

  bool textMatches(const String& Text, TLocateOptions Options) const {
    const bool CaseInsensitive = Options.Contains(loCaseInsensitive);
    if (Options.Contains(loPartialKey))
      return CaseInsensitive ? AnsiStartsText(KeyText, Text) : Text.startsWith(KeyText);
    return CaseInsensitive ? AnsiSameText(Text, KeyText) : Text == KeyText;
  }
};

// The key values in field order: a scalar (or a one-element array) for one
// field, an array of exactly as many elements for several.
std::vector<Variant> keyValueList(const Variant& KeyValues, std::size_t FieldCount, const String& KeyFields,
                                  TDataSet* DataSet) {
  std::vector<Variant> Keys;
  if (!VarIsArray(KeyValues)) {
    if (FieldCount != 1) DatabaseErrorFmt(DBConsts::SInvalidKeyValueCount, {KeyFields}, DataSet);
    Keys.push_back(KeyValues);
    return Keys;
  }
  const int Low = VarArrayLowBound(KeyValues, 1);
  const int High = VarArrayHighBound(KeyValues, 1);
  if (std::size_t(High - Low + 1) != FieldCount)
    DatabaseErrorFmt(DBConsts::SInvalidKeyValueCount, {KeyFields}, DataSet);
  for (int I = Low; I <= High; ++I) Keys.push_back(VarArrayGet(KeyValues, I));
  return Keys;
}

// Values of several fields as a variant array from 0.
Variant fieldValueArray(const std::vector<TField*>& Fields) {
  Variant Result = VarArrayCreate({0, int(Fields.size()) - 1}, varVariant);
  for (std::size_t I = 0; I < Fields.size(); ++I) VarArrayPut(Result, Fields[I]->Value(), int(I));
  return Result;
}

}  // namespace

// The compiled Filter text and the context its evaluation reads: field nodes
// carry the 1-based place of their field in Fields.
struct TDataSet::TFilterState : IExprContext {
  std::unique_ptr<TExprNode> Root;
  std::vector<TField*> Fields;
  bool IgnoreCase = false;

  Variant FieldValue(const TExprNode& Field) override { return Fields[Field.FieldNo - 1]->Value(); }
  bool CaseInsensitive() override { return IgnoreCase; }
  // Generic datasets take '*' as well: text filters the program builds use it.
  String MultiWildcards() override { return QStringLiteral("%*"); }
};

// ---------------------------------------------------------------------------
// construction

TDataSet::TDataSet(TComponent* AOwner) : TComponent(AOwner) {
  FFields = new TFields(this);
  FAggFields = new TFields(this);
  FFieldDefs = new TFieldDefs(this);
}

TDataSet::~TDataSet() {
  Destroying();
  while (!FDataSources.empty()) removeDataSource(FDataSources.back());
  DestroyFields();
  FFieldDefs->Free();
  FAggFields->Free();
  FFields->Free();
}

void TDataSet::BeforeDestruction() {
  Destroying();
  Close();
  while (!FDataSources.empty()) removeDataSource(FDataSources.back());
  DestroyFields();
  TComponent::BeforeDestruction();
}

void TDataSet::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Active", &TDataSet::Active, &TDataSet::SetActive).Default(false);
  Props.Add("AutoCalcFields", &TDataSet::AutoCalcFields, &TDataSet::SetAutoCalcFields).Default(true);
  Props.Add("Filter", &TDataSet::Filter, &TDataSet::SetFilter);
  Props.Add("Filtered", &TDataSet::Filtered, &TDataSet::SetFiltered).Default(false);
  Props.Add("FilterOptions", &TDataSet::FilterOptions, &TDataSet::SetFilterOptions).Default(TFilterOptions());
  Props.Add("BeforeOpen", &TDataSet::BeforeOpen, &TDataSet::BeforeOpen);
  Props.Add("AfterOpen", &TDataSet::AfterOpen, &TDataSet::AfterOpen);
  Props.Add("BeforeClose", &TDataSet::BeforeClose, &TDataSet::BeforeClose);
  Props.Add("AfterClose", &TDataSet::AfterClose, &TDataSet::AfterClose);
  Props.Add("BeforeInsert", &TDataSet::BeforeInsert, &TDataSet::BeforeInsert);
  Props.Add("AfterInsert", &TDataSet::AfterInsert, &TDataSet::AfterInsert);
  Props.Add("BeforeEdit", &TDataSet::BeforeEdit, &TDataSet::BeforeEdit);
  Props.Add("AfterEdit", &TDataSet::AfterEdit, &TDataSet::AfterEdit);
  Props.Add("BeforePost", &TDataSet::BeforePost, &TDataSet::BeforePost);
  Props.Add("AfterPost", &TDataSet::AfterPost, &TDataSet::AfterPost);
  Props.Add("BeforeCancel", &TDataSet::BeforeCancel, &TDataSet::BeforeCancel);
  Props.Add("AfterCancel", &TDataSet::AfterCancel, &TDataSet::AfterCancel);
  Props.Add("BeforeDelete", &TDataSet::BeforeDelete, &TDataSet::BeforeDelete);
  Props.Add("AfterDelete", &TDataSet::AfterDelete, &TDataSet::AfterDelete);
  Props.Add("BeforeScroll", &TDataSet::BeforeScroll, &TDataSet::BeforeScroll);
  Props.Add("AfterScroll", &TDataSet::AfterScroll, &TDataSet::AfterScroll);
  Props.Add("BeforeRefresh", &TDataSet::BeforeRefresh, &TDataSet::BeforeRefresh);
  Props.Add("AfterRefresh", &TDataSet::AfterRefresh, &TDataSet::AfterRefresh);
  Props.Add("OnCalcFields", &TDataSet::OnCalcFields, &TDataSet::OnCalcFields);
  Props.Add("OnDeleteError", &TDataSet::OnDeleteError, &TDataSet::OnDeleteError);
  Props.Add("OnEditError", &TDataSet::OnEditError, &TDataSet::OnEditError);
  Props.Add("OnFilterRecord", &TDataSet::OnFilterRecord, &TDataSet::SetOnFilterRecord);
  Props.Add("OnNewRecord", &TDataSet::OnNewRecord, &TDataSet::OnNewRecord);
  Props.Add("OnPostError", &TDataSet::OnPostError, &TDataSet::OnPostError);
}

// ---------------------------------------------------------------------------
// opening and closing

void TDataSet::SetActive(bool Value) {
  if (ComponentState().Contains(csLoading)) {
    FStreamedActive = Value;
    return;
  }
  if (Active() == Value) return;
  if (Value)
    openDataSet();
  else
    closeDataSet();
}

void TDataSet::openDataSet() {
  DoBeforeOpen();
  // Quietly: links wake up once, at dsBrowse, with the window filled.
  FState = dsOpening;
  try {
    OpenCursor(/*InfoQuery=*/false);
  } catch (...) {
    FState = dsInactive;
    CloseCursor();
    throw;
  }
  SetState(dsBrowse);
  DoAfterOpen();
}

void TDataSet::closeDataSet() {
  // Freeing the dataset closes it without events.
  const bool Destroying = ComponentState().Contains(csDestroying);
  if (!Destroying) DoBeforeClose();
  SetState(dsInactive);
  CloseCursor();
  if (!Destroying) DoAfterClose();
}

void TDataSet::CheckActive() {
  if (!Active()) DatabaseError(DBConsts::SDataSetClosed, this);
}

void TDataSet::CheckInactive() {
  if (Active()) DatabaseError(DBConsts::SDataSetOpen, this);
}

void TDataSet::OpenCursor(bool InfoQuery) {
  if (InfoQuery) {
    InternalInitFieldDefs();
    return;
  }
  FDefaultFields = FFields->Count() == 0;
  InternalOpen();
  // The window exists when OpenCursor returns, so a dataset class that reads
  // records in its own OpenCursor (a view rebuilt at open) has its spare; the
  // filter is compiled first, since making the window reads records.
  FFilter = parseFilter(FFilterText, FFilterOptions);
  updateBufferCount();
  FBOF = true;
}

void TDataSet::CloseCursor() {
  ClearBuffers();
  setBufListSize(0);
  FBufferCount = 0;
  FFilter.reset();
  InternalClose();
  BindFields(/*Binding=*/false);
  if (FDefaultFields) DestroyFields();
  FDefaultFields = false;
}

void TDataSet::InitFieldDefs() {
  if (IsCursorOpen()) {
    InternalInitFieldDefs();
    return;
  }
  const TScopeExit CloseAgain([this] { CloseCursor(); });
  OpenCursor(/*InfoQuery=*/true);
}

void TDataSet::Loaded() {
  TComponent::Loaded();
  if (FStreamedActive) SetActive(true);
}

void TDataSet::GetChildren(TGetChildProc Proc, TComponent* Root) {
  for (int I = 0; I < FFields->Count(); ++I)
    if (TField* Field = FFields->Fields(I); Field->Owner() == Root) Proc(Field);
}

// ---------------------------------------------------------------------------
// properties

int TDataSet::FieldCount() const { return FFields->Count(); }

void TDataSet::SetRecNo(int) {}
bool TDataSet::IsSequenced() { return true; }
TDataSource* TDataSet::GetDataSource() { return nullptr; }
TUpdateStatus TDataSet::UpdateStatus() { return usUnmodified; }
bool TDataSet::GetCanModify() { return true; }
int TDataSet::GetRecordCount() { return -1; }
int TDataSet::GetRecNo() { return -1; }
int TDataSet::GetRecordSize() { return 0; }

bool TDataSet::IsLinkedTo(TDataSource* DataSource) {
  for (TDataSource* Source = DataSource; Source;) {
    TDataSet* Master = Source->DataSet();
    if (!Master) return false;
    if (Master == this) return true;
    Source = Master->GetDataSource();
  }
  return false;
}

String TDataSet::PSGetKeyFields() { return String(); }
TIndexDefs* TDataSet::PSGetIndexDefs(TIndexOptions) { return nullptr; }
TParams* TDataSet::PSGetParams() { return nullptr; }

// ---------------------------------------------------------------------------
// fields

TField* TDataSet::FindField(const String& FieldName) {
  if (TField* Field = FFields->FindField(FieldName)) return Field;
  return FAggFields->FindField(FieldName);
}

TField* TDataSet::FieldByName(const String& FieldName) {
  TField* Field = FindField(FieldName);
  if (!Field) DatabaseErrorFmt(DBConsts::SFieldNotFound, {FieldName}, this);
  return Field;
}

TField* TDataSet::FieldByNumber(int FieldNo) { return FFields->FieldByNumber(FieldNo); }

void TDataSet::GetFieldNames(TStrings* List) {
  if (FFields->Count() > 0) {
    FFields->GetFieldNames(List);
    return;
  }
  // A closed dataset without persistent fields names its defs.
  FFieldDefs->Update();
  List->BeginUpdate();
  const TScopeExit EndUpdateOnExit([List] { List->EndUpdate(); });
  List->Clear();
  for (int I = 0; I < FFieldDefs->Count(); ++I) List->Add(FFieldDefs->Items(I)->Name());
}

void TDataSet::GetFieldList(std::vector<TField*>& List, const String& FieldNames) {
  int Pos = 1;
  while (Pos <= Length(FieldNames)) List.push_back(FieldByName(ExtractFieldName(FieldNames, Pos)));
}

Variant TDataSet::GetFieldValue(const String& FieldNames) {
  std::vector<TField*> List;
  GetFieldList(List, FieldNames);
  if (List.size() > 1) return fieldValueArray(List);
  return (List.empty() ? FieldByName(FieldNames) : List.front())->Value();
}

void TDataSet::SetFieldValue(const String& FieldNames, const Variant& Value) {
  std::vector<TField*> List;
  GetFieldList(List, FieldNames);
  if (List.size() <= 1) {
    (List.empty() ? FieldByName(FieldNames) : List.front())->SetValue(Value);
    return;
  }
  const int Low = VarArrayLowBound(Value, 1);
  if (VarArrayHighBound(Value, 1) - Low + 1 != int(List.size()))
    throw EVariantBadIndexError(QStringLiteral("Variant or safe array index out of bounds"));
  for (std::size_t I = 0; I < List.size(); ++I) List[I]->SetValue(VarArrayGet(Value, Low + int(I)));
}

TStream* TDataSet::CreateBlobStream(TField* Field, TBlobStreamMode Mode) {
  return new TBlobStream(As<TBlobField>(Field), Mode);
}

TClass TDataSet::GetFieldClass(TFieldType FieldType) { return DefaultFieldClass(FieldType); }

void TDataSet::CreateFields() {
  for (int I = 0; I < FFieldDefs->Count(); ++I) {
    TFieldDef* Def = FFieldDefs->Items(I);
    if (Def->DataType() == ftUnknown) continue;
    if (Def->Attributes().Contains(faHiddenCol) && !FFieldDefs->HiddenFields()) continue;
    Def->CreateField(this);
  }
}

void TDataSet::BindFields(bool Binding) {
  FCalcFieldCount = 0;
  for (int I = 0; I < FFields->Count(); ++I) {
    TField* Field = FFields->Fields(I);
    const TFieldKind Kind = Field->FieldKind();
    const bool DataField = Kind == fkData || Kind == fkInternalCalc;
    if (!Binding) {
      Field->Bind(false);
      if (DataField) Field->SetFieldNo(0);
      continue;
    }
    if (Kind == fkCalculated || Kind == fkLookup) ++FCalcFieldCount;
    if (DataField) {
      const TFieldDef* Def = FFieldDefs->Find(Field->FieldName());
      if (Field->DataType() != Def->DataType())
        DatabaseErrorFmt(DBConsts::SFieldTypeMismatch,
                         {Field->DisplayName(), FieldTypeName(Field->DataType()), FieldTypeName(Def->DataType())},
                         this);
      Field->SetFieldNo(Def->FieldNo());
    }
    Field->Bind(true);
  }
}

void TDataSet::DestroyFields() { FFields->Clear(); }
void TDataSet::DefChanged(TObject*) {}
void TDataSet::UpdateIndexDefs() {}

void TDataSet::CheckFieldWrite(TField* Field) {
  if (Field->FieldKind() != fkData) return;
  if (!dsWriteModes.Contains(FState)) DatabaseError(DBConsts::SNotEditing, this);
  if (Field->ReadOnly() && FState != dsSetKey && FState != dsFilter)
    DatabaseErrorFmt(DBConsts::SFieldReadOnly, {Field->DisplayName()}, this);
}

void TDataSet::NotifyFieldChanged(TField* Field) {
  switch (FState) {
    case dsCalcFields:
    case dsFilter:
    case dsNewValue:
    case dsInternalCalc:
      return;
    default:
      DataEvent(deFieldChange, reinterpret_cast<std::intptr_t>(Field));
      Field->Change();
  }
}

// ---------------------------------------------------------------------------
// calculated fields

void TDataSet::GetCalcFields(TRecordBuffer Buffer) {
  if (!hasCalcFields()) return;
  // Nested reads (a lookup dataset, a record count) must find the outer
  // calculation's buffer again.
  const TRecordBuffer SaveBuffer = FCalcBuffer;
  const TDataSetState SaveState = SetTempState(dsCalcFields);
  const TScopeExit Restore([&] {
    RestoreState(SaveState);
    FCalcBuffer = SaveBuffer;
  });
  CalculateFields(Buffer);
}

void TDataSet::CalculateFields(TRecordBuffer Buffer) {
  FCalcBuffer = Buffer;
  if (FState != dsInternalCalc) {
    ClearCalcFields(Buffer);
    for (int I = 0; I < FFields->Count(); ++I)
      if (TField* Field = FFields->Fields(I); Field->FieldKind() == fkLookup) Field->CalcLookupValue();
  }
  DoOnCalcFields();
}

void TDataSet::ClearCalcFields(TRecordBuffer Buffer) {
  if (!hasCalcFields()) return;
  const TRecordBuffer SaveBuffer = FCalcBuffer;
  FCalcBuffer = Buffer;
  const TDataSetState SaveState = SetTempState(dsCalcFields);
  const TScopeExit Restore([&] {
    RestoreState(SaveState);
    FCalcBuffer = SaveBuffer;
  });
  for (int I = 0; I < FFields->Count(); ++I) {
    TField* Field = FFields->Fields(I);
    if (Field->FieldKind() == fkCalculated || Field->FieldKind() == fkLookup) SetFieldData(Field, Null());
  }
}

void TDataSet::RefreshInternalCalcFields(TRecordBuffer) {}
Variant TDataSet::GetAggregateValue(TField*) { return Null(); }
void TDataSet::ResetAggField(TField*) {}

void TDataSet::InitRecord(TRecordBuffer Buffer) {
  InternalInitRecord(Buffer);
  ClearCalcFields(Buffer);
  SetBookmarkFlag(Buffer, bfInserted);
}

// ---------------------------------------------------------------------------
// the window

TRecordBuffer TDataSet::ActiveBuffer() const {
  return FBuffers.empty() ? NoRecordBuffer : FBuffers[FActiveRecord];
}

TRecordBuffer TDataSet::TempBuffer() const {
  return FBuffers.empty() ? NoRecordBuffer : FBuffers[FRecordCount];
}

void TDataSet::SetActiveRecord(int Value) {
  assert(Value >= 0 && (Value < FRecordCount || Value == 0) && "active record outside the window");
  FActiveRecord = Value;
}

void TDataSet::ClearBuffers() {
  FRecordCount = 0;
  FActiveRecord = 0;
  FCurrentRecord = -1;
  FBOF = true;
  FEOF = true;
}

void TDataSet::ActivateBuffers() {
  FRecordCount = 1;
  FActiveRecord = 0;
  FBOF = false;
  FEOF = false;
}

void TDataSet::moveBuffer(int CurIndex, int NewIndex) {
  auto At = [this](int Index) { return FBuffers.begin() + Index; };
  if (CurIndex < NewIndex)
    std::rotate(At(CurIndex), At(CurIndex + 1), At(NewIndex + 1));
  else if (CurIndex > NewIndex)
    std::rotate(At(NewIndex), At(CurIndex), At(CurIndex + 1));
}

void TDataSet::setBufListSize(int Value) {
  const int Old = int(FBuffers.size());
  if (Value < Old) {
    for (int I = Value; I < Old; ++I) FreeRecordBuffer(FBuffers[I]);
    FBuffers.resize(Value);
    return;
  }
  FBuffers.reserve(Value);
  while (int(FBuffers.size()) < Value) FBuffers.push_back(AllocRecordBuffer());
}

void TDataSet::adjustFirstRecord(int Delta) {
  if (Delta == 0) return;
  for (TDataSource* Source : FDataSources)
    for (TDataLink* Link : Source->FDataLinks)
      if (Link->Active()) Link->FFirstRecord += Delta;
}

void TDataSet::updateBufferCount() {
  if (!IsCursorOpen()) return;
  int Count = 1;
  for (TDataSource* Source : FDataSources)
    for (TDataLink* Link : Source->FDataLinks) Count = std::max(Count, Link->FBufferCount);
  setBufferCount(Count);
}

void TDataSet::setBufferCount(int Value) {
  if (FBufferCount == Value) return;
  if (Value < FBufferCount && FRecordCount > 0) {
    // Drop rows from the top as far as the links' first rows allow, but
    // never so few that the active record falls out.
    int Delta = FActiveRecord;
    for (TDataSource* Source : FDataSources)
      for (TDataLink* Link : Source->FDataLinks)
        if (Link->Active()) Delta = std::min(Delta, Link->FFirstRecord);
    Delta = std::max({Delta, FActiveRecord - Value + 1, 0});
    std::rotate(FBuffers.begin(), FBuffers.begin() + Delta, FBuffers.end());
    FActiveRecord -= Delta;
    FRecordCount = std::min(FRecordCount - Delta, Value);
    if (FCurrentRecord != -1) FCurrentRecord -= Delta;
    if (FCurrentRecord < 0 || FCurrentRecord >= FRecordCount) CursorPosChanged();
    adjustFirstRecord(-Delta);
  }
  setBufListSize(Value + 1);
  FBufferCount = Value;
  GetNextRecords();
  adjustFirstRecord(GetPriorRecords());
}

bool TDataSet::GetNextRecord() {
  TGetMode Mode = gmNext;
  if (FRecordCount > 0) {
    SetCurrentRecord(FRecordCount - 1);
    if (FState == dsInsert && FCurrentRecord == FActiveRecord && GetBookmarkFlag(ActiveBuffer()) == bfCurrent)
      Mode = gmCurrent;
  }
  if (GetRecord(FBuffers[FRecordCount], Mode, /*DoCheck=*/true) != grOK) {
    CursorPosChanged();
    return false;
  }
  if (FRecordCount == 0)
    ActivateBuffers();
  else if (FRecordCount < FBufferCount)
    ++FRecordCount;
  else
    moveBuffer(0, FRecordCount);
  FCurrentRecord = FRecordCount - 1;
  return true;
}

int TDataSet::GetNextRecords() {
  int Result = 0;
  while (FRecordCount < FBufferCount && GetNextRecord()) ++Result;
  return Result;
}

bool TDataSet::GetPriorRecord() {
  if (FRecordCount > 0) SetCurrentRecord(0);
  if (GetRecord(FBuffers[FRecordCount], gmPrior, /*DoCheck=*/true) != grOK) {
    CursorPosChanged();
    return false;
  }
  if (FRecordCount == 0) {
    ActivateBuffers();
  } else {
    moveBuffer(FRecordCount, 0);
    if (FRecordCount < FBufferCount) {
      ++FRecordCount;
      ++FActiveRecord;
    }
  }
  FCurrentRecord = 0;
  return true;
}

int TDataSet::GetPriorRecords() {
  int Result = 0;
  while (FRecordCount < FBufferCount && GetPriorRecord()) ++Result;
  return Result;
}

void TDataSet::SetCurrentRecord(int Index) {
  if (FCurrentRecord == Index) return;
  const TRecordBuffer Buffer = FBuffers[Index];
  switch (GetBookmarkFlag(Buffer)) {
    case bfCurrent:
    case bfInserted:
      InternalSetToRecord(Buffer);
      break;
    case bfBOF:
      InternalFirst();
      break;
    case bfEOF:
      InternalLast();
      break;
  }
  FCurrentRecord = Index;
}

void TDataSet::UpdateCursorPos() {
  if (FRecordCount > 0) SetCurrentRecord(FActiveRecord);
}

void TDataSet::Resync(TResyncModes Mode) {
  if (Mode.Contains(rmExact)) {
    CursorPosChanged();
    if (GetRecord(TempBuffer(), gmCurrent, /*DoCheck=*/true) != grOK)
      DatabaseError(DBConsts::SRecordNotFound, this);
  } else if (GetRecord(TempBuffer(), gmCurrent, /*DoCheck=*/false) != grOK &&
             GetRecord(TempBuffer(), gmNext, /*DoCheck=*/false) != grOK &&
             GetRecord(TempBuffer(), gmPrior, /*DoCheck=*/false) != grOK) {
    ClearBuffers();
    DataEvent(deDataSetChange, 0);
    return;
  }
  int Count = Mode.Contains(rmCenter) ? (FBufferCount - 1) / 2 : FActiveRecord;
  moveBuffer(FRecordCount, 0);
  ActivateBuffers();
  FCurrentRecord = 0;
  while (Count > 0 && GetPriorRecord()) --Count;
  GetNextRecords();
  GetPriorRecords();
  DataEvent(deDataSetChange, 0);
}

// ---------------------------------------------------------------------------
// states

void TDataSet::SetState(TDataSetState Value) {
  if (FState == Value) return;
  FState = Value;
  FModified = false;
  DataEvent(deUpdateState, 0);
}

TDataSetState TDataSet::SetTempState(TDataSetState Value) {
  const TDataSetState Old = FState;
  FState = Value;
  ++FDisableCount;
  return Old;
}

void TDataSet::RestoreState(TDataSetState Value) {
  FState = Value;
  --FDisableCount;
}

// ---------------------------------------------------------------------------
// navigation

void TDataSet::First() {
  CheckBrowseMode();
  DoBeforeScroll();
  ClearBuffers();
  InternalFirst();
  GetNextRecord();
  GetNextRecords();
  FBOF = true;
  DataEvent(deDataSetChange, 0);
  DoAfterScroll();
}

void TDataSet::Last() {
  CheckBrowseMode();
  DoBeforeScroll();
  ClearBuffers();
  InternalLast();
  GetPriorRecord();
  GetPriorRecords();
  FEOF = true;
  DataEvent(deDataSetChange, 0);
  DoAfterScroll();
}

int TDataSet::MoveBy(int Distance) {
  CheckBrowseMode();
  if ((Distance > 0 && FEOF) || (Distance < 0 && FBOF) || Distance == 0) return 0;
  DoBeforeScroll();
  FBOF = false;
  FEOF = false;
  const int OldRecordCount = FRecordCount;
  // How far the buffered records moved in the window (negative: up).
  int Shift = 0;
  int Result = 0;
  for (; Distance > 0; --Distance, ++Result) {
    if (FActiveRecord < FRecordCount - 1) {
      ++FActiveRecord;
      continue;
    }
    const bool WindowFull = FRecordCount == FBufferCount;
    if (!GetNextRecord()) {
      FEOF = true;
      break;
    }
    if (WindowFull) --Shift;
    FActiveRecord = FRecordCount - 1;
  }
  for (; Distance < 0; ++Distance, --Result) {
    if (FActiveRecord > 0) {
      --FActiveRecord;
      continue;
    }
    const bool WindowFull = FRecordCount == FBufferCount;
    if (!GetPriorRecord()) {
      FBOF = true;
      break;
    }
    if (WindowFull) ++Shift;
    FActiveRecord = 0;
  }
  if (FRecordCount != OldRecordCount)
    DataEvent(deDataSetChange, 0);
  else
    DataEvent(deDataSetScroll, Shift);
  DoAfterScroll();
  return Result;
}

// ---------------------------------------------------------------------------
// editing

void TDataSet::checkCanModify() {
  if (!CanModify()) DatabaseError(DBConsts::SDataSetReadOnly, this);
}

template <class Operation>
void TDataSet::checkOperation(Operation Op, const TDataSetErrorEvent& ErrorEvent) {
  for (;;) {
    try {
      UpdateCursorPos();
      Op();
      return;
    } catch (EDatabaseError& E) {
      TDataAction Action = daFail;
      if (ErrorEvent) ErrorEvent(this, E, Action);
      if (Action == daFail) throw;
      if (Action == daAbort) Abort();
    }
  }
}

void TDataSet::Edit() {
  if (FState == dsEdit || FState == dsInsert) return;
  if (FRecordCount == 0) {
    Insert();
    return;
  }
  CheckBrowseMode();
  checkCanModify();
  DoBeforeEdit();
  checkOperation([this] { InternalEdit(); }, OnEditError);
  GetCalcFields(ActiveBuffer());
  SetState(dsEdit);
  DataEvent(deRecordChange, 0);
  DoAfterEdit();
}

void TDataSet::beginInsertAppend() {
  CheckBrowseMode();
  checkCanModify();
  DoBeforeInsert();
  DoBeforeScroll();
}

void TDataSet::endInsertAppend() {
  SetState(dsInsert);
  try {
    DoOnNewRecord();
  } catch (...) {
    UpdateCursorPos();
    SetState(dsBrowse);
    Resync({});
    throw;
  }
  FModified = false;
  DataEvent(deDataSetChange, 0);
  DoAfterInsert();
  DoAfterScroll();
}

void TDataSet::Insert() {
  beginInsertAppend();
  const TBookmark OldCurrent = GetBookmark();
  moveBuffer(FRecordCount, FActiveRecord);
  // The cursor's buffer moved down with the others (or out of the window).
  if (FCurrentRecord >= FActiveRecord) ++FCurrentRecord;
  const TRecordBuffer Buffer = ActiveBuffer();
  InitRecord(Buffer);
  if (FRecordCount == 0)
    SetBookmarkFlag(Buffer, bfBOF);
  else
    SetBookmarkData(Buffer, OldCurrent);
  if (FRecordCount < FBufferCount) ++FRecordCount;
  if (FCurrentRecord >= FRecordCount) CursorPosChanged();
  InternalInsert();
  endInsertAppend();
}

void TDataSet::Append() {
  beginInsertAppend();
  ClearBuffers();
  const TRecordBuffer Buffer = FBuffers[0];
  InitRecord(Buffer);
  SetBookmarkFlag(Buffer, bfEOF);
  FRecordCount = 1;
  FBOF = false;
  GetPriorRecords();
  InternalInsert();
  endInsertAppend();
}

void TDataSet::Post() {
  if (!dsEditModes.Contains(FState)) return;
  UpdateRecord();
  if (FState != dsEdit && FState != dsInsert) return;
  DataEvent(deCheckBrowseMode, 0);
  DoBeforePost();
  checkOperation([this] { InternalPost(); }, OnPostError);
  SetState(dsBrowse);
  Resync({});
  DoAfterPost();
}

void TDataSet::Cancel() {
  if (FState != dsEdit && FState != dsInsert) return;
  DataEvent(deCheckBrowseMode, 0);
  DoBeforeCancel();
  const bool WasInserting = FState == dsInsert;
  if (WasInserting) DoBeforeScroll();
  UpdateCursorPos();
  InternalCancel();
  SetState(dsBrowse);
  Resync({});
  DoAfterCancel();
  if (WasInserting) DoAfterScroll();
}

void TDataSet::Delete() {
  CheckActive();
  if (FState == dsInsert || FState == dsSetKey) {
    Cancel();
    return;
  }
  if (FRecordCount == 0) DatabaseError(DBConsts::SDataSetEmpty, this);
  DataEvent(deCheckBrowseMode, 0);
  DoBeforeDelete();
  DoBeforeScroll();
  checkOperation([this] { InternalDelete(); }, OnDeleteError);
  SetState(dsBrowse);
  Resync({});
  DoAfterDelete();
  DoAfterScroll();
}

void TDataSet::Refresh() {
  CheckBrowseMode();
  DoBeforeRefresh();
  UpdateCursorPos();
  InternalRefresh();
  Resync({});
  DoAfterRefresh();
}

void TDataSet::CheckBrowseMode() {
  CheckActive();
  DataEvent(deCheckBrowseMode, 0);
  switch (FState) {
    case dsEdit:
    case dsInsert:
      UpdateRecord();
      if (FModified)
        Post();
      else
        Cancel();
      break;
    case dsSetKey:
      Post();
      break;
    default:
      break;
  }
}

void TDataSet::UpdateRecord() {
  if (!dsEditModes.Contains(FState)) DatabaseError(DBConsts::SNotEditing, this);
  DataEvent(deUpdateRecord, 0);
}

void TDataSet::InternalEdit() {}
void TDataSet::InternalInsert() {}
void TDataSet::InternalCancel() {}
void TDataSet::InternalRefresh() {}

void TDataSet::InternalPost() {
  for (int I = 0; I < FFields->Count(); ++I) {
    TField* Field = FFields->Fields(I);
    if (Field->FieldKind() == fkData && Field->Required() && !Field->ReadOnly() && Field->IsNull()) {
      Field->FocusControl();
      DatabaseErrorFmt(DBConsts::SFieldRequired, {Field->DisplayName()});
    }
  }
}

void TDataSet::InternalAddRecord(TRecordBuffer, bool) { DatabaseError(DBConsts::SNotSupported, this); }

void TDataSet::InternalHandleException() { HandleException(std::current_exception()); }

// ---------------------------------------------------------------------------
// bookmarks

TBookmark TDataSet::GetBookmark() {
  const bool Browsing = FState == dsBrowse || FState == dsEdit || FState == dsInsert;
  if (!Browsing || IsEmpty() || GetBookmarkFlag(ActiveBuffer()) != bfCurrent) return TBookmark();
  TBookmark Result(FBookmarkSize, '\0');
  GetBookmarkData(ActiveBuffer(), Result);
  return Result;
}

void TDataSet::GotoBookmark(const TBookmark& Value) {
  if (Value.isEmpty()) return;
  CheckBrowseMode();
  DoBeforeScroll();
  InternalGotoBookmark(Value);
  Resync({rmExact, rmCenter});
  DoAfterScroll();
}

bool TDataSet::BookmarkValid(const TBookmark&) { return false; }

int TDataSet::CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) {
  if (Bookmark1.isEmpty() && !Bookmark2.isEmpty()) return 1;
  if (!Bookmark1.isEmpty() && Bookmark2.isEmpty()) return -1;
  return 0;
}

// ---------------------------------------------------------------------------
// searching

bool TDataSet::locateRecord(const String& KeyFields, const Variant& KeyValues, TLocateOptions Options) {
  CheckBrowseMode();
  if (IsEmpty()) return false;
  std::vector<TField*> Fields;
  GetFieldList(Fields, KeyFields);
  const std::vector<Variant> Values = keyValueList(KeyValues, Fields.size(), KeyFields, this);
  std::vector<TLocateKey> Keys;
  Keys.reserve(Fields.size());
  for (std::size_t I = 0; I < Fields.size(); ++I) Keys.emplace_back(Fields[I], Values[I]);

  CursorPosChanged();
  const TDataSetState SaveState = SetTempState(dsFilter);
  const TScopeExit Restore([&] { RestoreState(SaveState); });
  InternalFirst();
  while (GetRecord(TempBuffer(), gmNext, /*DoCheck=*/true) == grOK)
    if (std::all_of(Keys.begin(), Keys.end(), [Options](TLocateKey& Key) { return Key.matches(Options); }))
      return true;
  return false;
}

bool TDataSet::Locate(const String& KeyFields, const Variant& KeyValues, TLocateOptions Options) {
  if (!locateRecord(KeyFields, KeyValues, Options)) {
    CursorPosChanged();
    return false;
  }
  // Take the bookmark before a BeforeScroll handler can reuse the spare.
  TBookmark Found(FBookmarkSize, '\0');
  GetBookmarkData(TempBuffer(), Found);
  DoBeforeScroll();
  InternalGotoBookmark(Found);
  Resync({rmExact, rmCenter});
  DoAfterScroll();
  return true;
}

Variant TDataSet::Lookup(const String& KeyFields, const Variant& KeyValues, const String& ResultFields) {
  const bool Found = locateRecord(KeyFields, KeyValues, {});
  CursorPosChanged();
  if (!Found) return Null();
  // The match is still in the spare buffer, which dsFilter reads.
  const TDataSetState SaveState = SetTempState(dsFilter);
  const TScopeExit Restore([&] { RestoreState(SaveState); });
  return GetFieldValue(ResultFields);
}

bool TDataSet::FindRecord(bool, bool) { return false; }
bool TDataSet::GetCurrentRecord(TRecordBuffer) { return false; }

// ---------------------------------------------------------------------------
// filters

std::unique_ptr<TDataSet::TFilterState> TDataSet::parseFilter(const String& Text, TFilterOptions Options) {
  if (Trim(Text).isEmpty()) return nullptr;
  auto State = std::make_unique<TFilterState>();
  TFilterState* Target = State.get();
  const TExprParser Parser(
      [this, Target](const String& Name) -> std::optional<TExprFieldInfo> {
        TField* Field = FindField(Name);
        if (!Field) return std::nullopt;
        Target->Fields.push_back(Field);
        return TExprFieldInfo{Field->DataType(), int(Target->Fields.size())};
      },
      {poExtSyntax}, Options);
  State->Root = Parser.Parse(Text);
  State->IgnoreCase = Options.Contains(foCaseInsensitive);
  return State;
}

void TDataSet::refilter() {
  CursorPosChanged();
  First();
}

void TDataSet::SetFilterText(const String& Value) {
  if (!Active()) {
    FFilterText = Value;
    return;
  }
  CheckBrowseMode();
  if (Value == FFilterText) return;
  FFilter = parseFilter(Value, FFilterOptions);
  FFilterText = Value;
  if (FFiltered) refilter();
}

void TDataSet::SetFilterOptions(TFilterOptions Value) {
  if (!Active()) {
    FFilterOptions = Value;
    return;
  }
  CheckBrowseMode();
  if (Value == FFilterOptions) return;
  FFilter = parseFilter(FFilterText, Value);
  FFilterOptions = Value;
  if (FFiltered) refilter();
}

void TDataSet::SetFiltered(bool Value) {
  if (!Active()) {
    FFiltered = Value;
    return;
  }
  CheckBrowseMode();
  if (Value == FFiltered) return;
  FFiltered = Value;
  refilter();
}

void TDataSet::SetOnFilterRecord(const TFilterRecordEvent& Value) {
  if (!Active()) {
    FOnFilterRecord = Value;
    return;
  }
  CheckBrowseMode();
  if (Value == FOnFilterRecord) return;
  FOnFilterRecord = Value;
  if (FFiltered) refilter();
}

bool TDataSet::FilterAccepts(TRecordBuffer) {
  if (!FFiltered || (!FFilter && !FOnFilterRecord)) return true;
  const TDataSetState SaveState = SetTempState(dsFilter);
  const TScopeExit Restore([&] { RestoreState(SaveState); });
  // What the record keeps when a step fails: a faulty filter must not stop
  // navigation, so the failure is reported and the verdict stands.
  bool Verdict = true;
  try {
    if (FFilter) Verdict = TExprEvaluator::Accepts(*FFilter->Root, *FFilter);
    if (FOnFilterRecord) {
      bool Accept = Verdict;
      FOnFilterRecord(this, Accept);
      Verdict = Accept;
    }
  } catch (const EAbort&) {
    throw;
  } catch (...) {
    InternalHandleException();
  }
  return Verdict;
}

// ---------------------------------------------------------------------------
// data events and controls

void TDataSet::DataEvent(TDataEvent Event, std::intptr_t Info) {
  switch (Event) {
    case deFieldChange: {
      const TFieldKind Kind = reinterpret_cast<TField*>(Info)->FieldKind();
      if (Kind == fkData || Kind == fkInternalCalc) {
        FModified = true;
        // No event of its own: a RecordChanged would discard other
        // controls' unposted typing.
        if ((FState == dsEdit || FState == dsInsert) && FAutoCalcFields) GetCalcFields(ActiveBuffer());
      }
      break;
    }
    case dePropertyChange:
      FFieldDefs->SetUpdated(false);
      break;
    case deLayoutChange:
      if (ControlsDisabled()) FEnableEvent = deLayoutChange;
      break;
    case deUpdateState:
      if (ControlsDisabled()) {
        Event = deDisabledStateChange;
        Info = FState != dsInactive ? 1 : 0;
      }
      break;
    default:
      break;
  }
  // By index: a handler may detach sources while the event travels.
  for (std::size_t I = 0; I < FDataSources.size(); ++I) {
    FDataSources[I]->DataEvent(Event, Info);
    if (Event == deFocusControl && !*reinterpret_cast<TField**>(Info)) break;
  }
}

void TDataSet::DisableControls() {
  if (FDisableCount == 0) {
    FDisableState = FState;
    FEnableEvent = deDataSetChange;
  }
  ++FDisableCount;
}

void TDataSet::EnableControls() {
  if (FDisableCount == 0) return;
  if (--FDisableCount != 0) return;
  if (FDisableState != FState) DataEvent(deUpdateState, 0);
  if (FDisableState != dsInactive && FState != dsInactive) DataEvent(FEnableEvent, 0);
}

void TDataSet::addDataSource(TDataSource* DataSource) {
  FDataSources.push_back(DataSource);
  DataSource->FDataSet = this;
  updateBufferCount();
  DataSource->updateState();
}

void TDataSet::removeDataSource(TDataSource* DataSource) {
  DataSource->FDataSet = nullptr;
  FDataSources.erase(std::find(FDataSources.begin(), FDataSources.end(), DataSource));
  DataSource->updateState();
  updateBufferCount();
}

// ---------------------------------------------------------------------------
// events

namespace {

void fire(const TDataSetNotifyEvent& Event, TDataSet* DataSet) {
  if (Event) Event(DataSet);
}

}  // namespace

void TDataSet::DoBeforeOpen() { fire(BeforeOpen, this); }
void TDataSet::DoAfterOpen() { fire(AfterOpen, this); }
void TDataSet::DoBeforeClose() { fire(BeforeClose, this); }
void TDataSet::DoAfterClose() { fire(AfterClose, this); }
void TDataSet::DoBeforeInsert() { fire(BeforeInsert, this); }
void TDataSet::DoAfterInsert() { fire(AfterInsert, this); }
void TDataSet::DoBeforeEdit() { fire(BeforeEdit, this); }
void TDataSet::DoAfterEdit() { fire(AfterEdit, this); }
void TDataSet::DoBeforePost() { fire(BeforePost, this); }
void TDataSet::DoAfterPost() { fire(AfterPost, this); }
void TDataSet::DoBeforeCancel() { fire(BeforeCancel, this); }
void TDataSet::DoAfterCancel() { fire(AfterCancel, this); }
void TDataSet::DoBeforeDelete() { fire(BeforeDelete, this); }
void TDataSet::DoAfterDelete() { fire(AfterDelete, this); }
void TDataSet::DoBeforeScroll() { fire(BeforeScroll, this); }
void TDataSet::DoAfterScroll() { fire(AfterScroll, this); }
void TDataSet::DoBeforeRefresh() { fire(BeforeRefresh, this); }
void TDataSet::DoAfterRefresh() { fire(AfterRefresh, this); }
void TDataSet::DoOnCalcFields() { fire(OnCalcFields, this); }
void TDataSet::DoOnNewRecord() { fire(OnNewRecord, this); }
