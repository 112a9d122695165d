#include "platform/fd/fddataset.h"

#include "platform/db/datasource.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fielddefs.h"
#include "platform/fd/fdconsts.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"

#include <QHash>

#include <algorithm>
#include <cassert>
#include <cstring>
#include <unordered_map>

namespace {

constexpr int bookmarkBytes = 2 * sizeof(std::uint32_t);

struct byteArrayHash {
  std::size_t operator()(const QByteArray& Bytes) const { return qHash(Bytes); }
};

std::vector<String> splitNames(const String& Names) {
  std::vector<String> Result;
  int Pos = 1;
  while (Pos <= Length(Names))
    if (String Name = ExtractFieldName(Names, Pos); !Name.isEmpty()) Result.push_back(Name);
  return Result;
}

bool sameValues(const std::vector<Variant>& A, const std::vector<Variant>& B) {
  if (A.size() != B.size()) return false;
  for (std::size_t I = 0; I < A.size(); ++I)
    if (VarCompareValue(A[I], B[I]) != vrEqual) return false;
  return true;
}

}  // namespace

// What a TRecordBuffer handle points to.
struct TFDDataSet::TFDBuffer {
  TFDRecordId Id = NoRecordId;  // the record; an insert buffer: the record it goes before
  TBookmarkFlag Flag = bfCurrent;
  bool Editing = false;             // Values hold the record being edited or inserted
  std::vector<Variant> Values;      // one per column while Editing
  std::vector<Variant> CalcValues;  // one per calculated or lookup field
};

void TFDStringField::SetAsString(const String& AValue) { SetData(Variant(AValue)); }

// ---------------------------------------------------------------------------
// construction

TFDDataSet::TFDDataSet(TComponent* AOwner)
    : TDataSet(AOwner),
      FMasterLink(std::make_unique<TMasterDataLink>(this)),
      FUpdateOptions(std::make_unique<TFDUpdateOptions>()),
      FFetchOptions(std::make_unique<TFDFetchOptions>()) {
  FMasterLink->OnMasterChange = TNotifyEvent(this, &TFDDataSet::masterChanged);
  FMasterLink->OnMasterDisable = TNotifyEvent(this, &TFDDataSet::masterChanged);
  // Silenced like a control while the master's controls are disabled: the
  // detail follows once they are enabled again.
  FMasterLink->SetVisualControl(true);
}

TFDDataSet::~TFDDataSet() {
  Destroying();
  Close();
}

void TFDDataSet::DescribeProperties(TPropertyTable& Props) {
  Props.Add("CachedUpdates", &TFDDataSet::CachedUpdates, &TFDDataSet::SetCachedUpdates).Default(false);
  Props.Add("DetailFields", &TFDDataSet::DetailFields, &TFDDataSet::SetDetailFields);
  Props.Add("FetchOptions", &TFDDataSet::FetchOptions, &TFDDataSet::SetFetchOptions);
  Props.Add("IndexFieldNames", &TFDDataSet::IndexFieldNames, &TFDDataSet::SetIndexFieldNames);
  Props.Add("IndexesActive", &TFDDataSet::IndexesActive, &TFDDataSet::SetIndexesActive).Default(true);
  Props.Add("MasterFields", &TFDDataSet::MasterFields, &TFDDataSet::SetMasterFields);
  Props.Add("MasterSource", &TFDDataSet::MasterSource, &TFDDataSet::SetMasterSource);
  Props.Add("UpdateOptions", &TFDDataSet::UpdateOptions, &TFDDataSet::SetUpdateOptions);
}

// ---------------------------------------------------------------------------
// field values

int TFDDataSet::ColumnOf(TField* Field) { return Field->FieldKind() == fkData ? Field->FieldNo() - 1 : -1; }

TFDDataSet::TFDBuffer* TFDDataSet::stateBuffer() {
  switch (State()) {
    case dsBrowse:
      return IsEmpty() ? nullptr : buffer(ActiveBuffer());
    case dsEdit:
    case dsInsert:
      return buffer(ActiveBuffer());
    case dsCalcFields:
    case dsInternalCalc:
      return buffer(CalcBuffer());
    case dsFilter:
      return FFilterBuffer ? FFilterBuffer : buffer(TempBuffer());
    default:
      return nullptr;
  }
}

Variant* TFDDataSet::calcSlot(TFDBuffer* Buffer, TField* Field) {
  const auto Found = std::find(FCalcFields.begin(), FCalcFields.end(), Field);
  return Found == FCalcFields.end() ? nullptr : &Buffer->CalcValues[Found - FCalcFields.begin()];
}

bool TFDDataSet::GetFieldData(TField* Field, Variant& Value) {
  Value = Null();
  TFDBuffer* Buffer = stateBuffer();
  if (!Buffer) return false;
  const int Column = ColumnOf(Field);
  if (Column < 0) {
    if (const Variant* Slot = calcSlot(Buffer, Field)) Value = *Slot;
  } else if (Column < FColumnCount) {
    if (Buffer->Editing)
      Value = Buffer->Values[Column];
    else if (FStore.Exists(Buffer->Id))
      Value = FDValueToVariant(FStore.Row(Buffer->Id).Value(Column));
  }
  if (VarIsEmpty(Value)) Value = Null();
  return !VarIsNull(Value);
}

void TFDDataSet::SetFieldData(TField* Field, const Variant& Value) {
  CheckFieldWrite(Field);
  TFDBuffer* Buffer = stateBuffer();
  const int Column = ColumnOf(Field);
  Variant* Slot = nullptr;
  if (Buffer && Column < 0)
    Slot = calcSlot(Buffer, Field);
  else if (Buffer && Buffer->Editing && Column < FColumnCount)
    Slot = &Buffer->Values[Column];
  if (!Slot) DatabaseError(DBConsts::SNotEditing, this);
  Field->Validate(Value);
  *Slot = VarIsEmpty(Value) ? Null() : Value;
  NotifyFieldChanged(Field);
}

TClass TFDDataSet::GetFieldClass(TFieldType FieldType) {
  if (FieldType == ftString) return TFDStringField::StaticClass();
  if (FieldType == ftInteger) return TFDIntegerField::StaticClass();
  return TDataSet::GetFieldClass(FieldType);
}

TFDRow TFDDataSet::packValues(const std::vector<Variant>& Values) const {
  TFDRowBuilder Builder;
  QByteArray Scratch;
  for (const Variant& Value : Values) Builder.Add(FDVariantToValue(Value, Scratch));
  return Builder.Finish();
}

std::vector<Variant> TFDDataSet::unpackRow(const TFDRow& Row) const {
  std::vector<Variant> Values;
  Values.reserve(FColumnCount);
  for (int Column = 0; Column < FColumnCount; ++Column) Values.push_back(FDValueToVariant(Row.Value(Column)));
  return Values;
}

// ---------------------------------------------------------------------------
// buffers

TRecordBuffer TFDDataSet::AllocRecordBuffer() {
  auto* Buffer = new TFDBuffer;
  Buffer->CalcValues.resize(FCalcFields.size());
  return handle(Buffer);
}

void TFDDataSet::FreeRecordBuffer(TRecordBuffer& Buffer) {
  delete buffer(Buffer);
  Buffer = NoRecordBuffer;
}

void TFDDataSet::InternalInitRecord(TRecordBuffer Handle) {
  TFDBuffer* Buffer = buffer(Handle);
  Buffer->Id = NoRecordId;
  Buffer->Editing = true;
  Buffer->Values.assign(FColumnCount, Null());
  std::fill(Buffer->CalcValues.begin(), Buffer->CalcValues.end(), Null());
}

TGetResult TFDDataSet::GetRecord(TRecordBuffer Handle, TGetMode GetMode, bool) {
  ensureView();
  const int Size = FView.Size();
  switch (GetMode) {
    case gmNext:
      setCursor(std::min(FCursor + 1, Size));
      if (FCursor == Size) return grEOF;
      break;
    case gmPrior:
      setCursor(std::max(FCursor - 1, -1));
      if (FCursor < 0) return grBOF;
      break;
    case gmCurrent:
      if (FCursor < 0 || FCursor >= Size) return grError;
      break;
  }
  TFDBuffer* Buffer = buffer(Handle);
  Buffer->Id = FView.At(FCursor);
  Buffer->Flag = bfCurrent;
  Buffer->Editing = false;
  GetCalcFields(Handle);
  return grOK;
}

void TFDDataSet::GetBookmarkData(TRecordBuffer Handle, TBookmark& Data) {
  Data = bookmarkOf(FGeneration, buffer(Handle)->Id);
}

void TFDDataSet::SetBookmarkData(TRecordBuffer Handle, const TBookmark& Data) { buffer(Handle)->Id = idOf(Data); }

TBookmarkFlag TFDDataSet::GetBookmarkFlag(TRecordBuffer Handle) { return buffer(Handle)->Flag; }

void TFDDataSet::SetBookmarkFlag(TRecordBuffer Handle, TBookmarkFlag Value) { buffer(Handle)->Flag = Value; }

TBookmark TFDDataSet::bookmarkOf(std::uint32_t Generation, TFDRecordId Id) {
  const std::uint32_t Parts[] = {Generation, Id};
  return TBookmark(reinterpret_cast<const char*>(Parts), bookmarkBytes);
}

TFDRecordId TFDDataSet::idOf(const TBookmark& Bookmark) const {
  if (Bookmark.size() != bookmarkBytes) return NoRecordId;
  std::uint32_t Parts[2];
  std::memcpy(Parts, Bookmark.constData(), bookmarkBytes);
  return Parts[0] == FGeneration ? Parts[1] : NoRecordId;
}

// ---------------------------------------------------------------------------
// opening and closing

void TFDDataSet::LoadRows(std::vector<TFDRow> Rows) {
  FStore.Clear();
  for (TFDRow& Row : Rows) FStore.Append(std::move(Row));
}

void TFDDataSet::InternalInitFieldDefs() {}

void TFDDataSet::InternalOpen() {
  FColumnCount = FieldDefs()->Count();
  if (DefaultFields()) CreateFields();
  BindFields(/*Binding=*/true);
  FCalcFields.clear();
  for (int I = 0; I < Fields()->Count(); ++I)
    if (TField* Field = Fields()->Fields(I); Field->FieldKind() != fkData) FCalcFields.push_back(Field);
  FScratch = std::make_unique<TFDBuffer>();
  FScratch->CalcValues.resize(FCalcFields.size());
  SetBookmarkSize(bookmarkBytes);
  ++FGeneration;
  FStore.SetOrder(parseIndex(FIndexFieldNames));
  resolveDetailColumns();
  readMasterRange();
  FViewDirty = true;
  FCursor = -1;
  FCursorId = NoRecordId;
  FCursorOpen = true;
}

void TFDDataSet::InternalClose() {
  FCursorOpen = false;
  FStore.Clear();
  FChangeLog.Clear();
  FView.Clear();
  FViewDirty = true;
  FCursor = -1;
  FCursorId = NoRecordId;
  FCalcFields.clear();
  FScratch.reset();
  FDetailFieldList.clear();
  FRangeKind = TRangeKind::None;
  FRangeValues.clear();
}

// ---------------------------------------------------------------------------
// the view and the cursor

bool TFDDataSet::filtering() {
  return Filtered() && (!Trim(Filter()).isEmpty() || OnFilterRecord());
}

bool TFDDataSet::accepts(TFDRecordId Id) {
  FScratch->Id = Id;
  FScratch->Flag = bfCurrent;
  FScratch->Editing = false;
  TFDBuffer* const Saved = FFilterBuffer;
  FFilterBuffer = FScratch.get();
  const TScopeExit Restore([&Target = FFilterBuffer, Value = Saved] { Target = Value; });
  GetCalcFields(handle(FScratch.get()));
  return FilterAccepts(handle(FScratch.get()));
}

bool TFDDataSet::inRange(const TFDRow& Row, const std::vector<TFDValueRef>& Keys) const {
  for (std::size_t I = 0; I < Keys.size(); ++I)
    if (FDCompareValues(Row.Value(ColumnOf(FDetailFieldList[I])), Keys[I]) != 0) return false;
  return true;
}

void TFDDataSet::rebuildView() {
  const std::vector<TFDRecordId>& Sorted = FStore.Sorted();
  if (FRangeKind == TRangeKind::Empty) {
    FView.SetList({});
    return;
  }
  int Lo = 0;
  int Hi = int(Sorted.size());
  std::vector<TFDValueRef> Keys;
  std::vector<QByteArray> KeyBytes(FRangeValues.size());
  if (FRangeKind == TRangeKind::Keys) {
    for (std::size_t I = 0; I < FRangeValues.size(); ++I) Keys.push_back(FDVariantToValue(FRangeValues[I], KeyBytes[I]));
    if (FRangeBinary) {
      std::tie(Lo, Hi) = FStore.EqualRange(Keys);
      Keys.clear();  // the slice is the range
    }
  }
  const bool Filtering = filtering();
  if (Keys.empty() && !Filtering) {
    FView.SetSlice(&Sorted, Lo, Hi);
    return;
  }
  std::vector<TFDRecordId> Ids;
  for (int I = Lo; I < Hi; ++I) {
    const TFDRecordId Id = Sorted[I];
    if (!Keys.empty() && !inRange(FStore.Row(Id), Keys)) continue;
    if (Filtering && !accepts(Id)) continue;
    Ids.push_back(Id);
  }
  FView.SetList(std::move(Ids));
}

void TFDDataSet::ensureView() {
  if (!FViewDirty) return;
  FViewDirty = false;
  const int OldSize = FView.Size();
  rebuildView();
  const int Size = FView.Size();
  if (FCursorId != NoRecordId && FStore.Exists(FCursorId)) {
    int At = 0;
    const int Pos = FView.Find(FStore, FCursorId, &At);
    setCursor(Pos >= 0 ? Pos : At);
  } else if (FCursorId != NoRecordId) {
    // The record is gone: the one that took its place is next.
    setCursor(std::clamp(FCursor, -1, Size));
  } else {
    setCursor(FCursor < 0 ? -1 : FCursor >= OldSize ? Size : std::min(FCursor, Size));
  }
}

void TFDDataSet::setCursor(int Pos) {
  FCursor = Pos;
  FCursorId = Pos >= 0 && Pos < FView.Size() ? FView.At(Pos) : NoRecordId;
}

int TFDDataSet::positionOf(TFDRecordId Id) {
  ensureView();
  if (!FStore.Exists(Id)) return -1;
  int At = 0;
  const int Pos = FView.Find(FStore, Id, &At);
  return Pos >= 0 ? Pos : At;
}

TFDRecordId TFDDataSet::currentId() {
  if (IsEmpty()) return NoRecordId;
  const TFDBuffer* Buffer = buffer(ActiveBuffer());
  return Buffer->Flag == bfCurrent ? Buffer->Id : NoRecordId;
}

void TFDDataSet::resyncOn(TFDRecordId Id) {
  FViewDirty = true;
  FCursorId = Id;
  ensureView();
  CursorPosChanged();
  Resync({});
}

void TFDDataSet::InternalFirst() {
  ensureView();
  setCursor(-1);
}

void TFDDataSet::InternalLast() {
  ensureView();
  setCursor(FView.Size());
}

void TFDDataSet::InternalSetToRecord(TRecordBuffer Handle) {
  const int Pos = positionOf(buffer(Handle)->Id);
  if (Pos >= 0) setCursor(Pos);
}

void TFDDataSet::InternalGotoBookmark(const TBookmark& Bookmark) {
  const TFDRecordId Id = idOf(Bookmark);
  ensureView();
  const int Pos = FStore.Exists(Id) ? FView.Find(FStore, Id) : -1;
  if (Pos < 0) DatabaseError(DBConsts::SRecordNotFound, this);
  setCursor(Pos);
}

bool TFDDataSet::BookmarkValid(const TBookmark& Value) {
  if (!Active()) return false;
  const TFDRecordId Id = idOf(Value);
  ensureView();
  return FStore.Exists(Id) && FView.Find(FStore, Id) >= 0;
}

int TFDDataSet::CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) {
  if (Bookmark1.isEmpty() || Bookmark2.isEmpty()) return TDataSet::CompareBookmarks(Bookmark1, Bookmark2);
  const TFDRecordId Id1 = idOf(Bookmark1);
  const TFDRecordId Id2 = idOf(Bookmark2);
  ensureView();
  const int Pos1 = FStore.Exists(Id1) ? FView.Find(FStore, Id1) : -1;
  const int Pos2 = FStore.Exists(Id2) ? FView.Find(FStore, Id2) : -1;
  if (Pos1 >= 0 && Pos2 >= 0) return Pos1 < Pos2 ? -1 : Pos1 > Pos2 ? 1 : 0;
  if (Pos1 >= 0) return -1;
  if (Pos2 >= 0) return 1;
  return Id1 < Id2 ? -1 : Id1 > Id2 ? 1 : 0;
}

int TFDDataSet::GetRecordCount() {
  CheckActive();
  ensureView();
  return FView.Size();
}

int TFDDataSet::GetRecNo() {
  const TFDBuffer* Buffer = stateBuffer();
  if (!Buffer) return 0;
  if (Buffer->Flag != bfCurrent || !FStore.Exists(Buffer->Id)) return -1;
  ensureView();
  const int Pos = FView.Find(FStore, Buffer->Id);
  return Pos < 0 ? -1 : Pos + 1;
}

void TFDDataSet::SetRecNo(int Value) {
  CheckBrowseMode();
  ensureView();
  if (Value < 1 || Value > FView.Size() || Value == RecNo()) return;
  DoBeforeScroll();
  setCursor(Value - 1);
  CursorPosChanged();
  Resync({rmCenter});
  DoAfterScroll();
}

// ---------------------------------------------------------------------------
// filters: the view is rebuilt when the engine re-reads it

void TFDDataSet::SetFilterText(const String& Value) {
  FViewDirty = true;
  TDataSet::SetFilterText(Value);
}

void TFDDataSet::SetFiltered(bool Value) {
  FViewDirty = true;
  TDataSet::SetFiltered(Value);
}

void TFDDataSet::SetFilterOptions(TFilterOptions Value) {
  FViewDirty = true;
  TDataSet::SetFilterOptions(Value);
}

void TFDDataSet::SetOnFilterRecord(const TFilterRecordEvent& Value) {
  FViewDirty = true;
  TDataSet::SetOnFilterRecord(Value);
}

// ---------------------------------------------------------------------------
// the client-side index

TFDRowOrder TFDDataSet::parseIndex(const String& Names) {
  std::vector<TFDOrderColumn> Columns;
  for (const String& Item : splitNames(Names)) {
    const qsizetype Colon = Item.indexOf(u':');
    const String Name = Colon < 0 ? Item : Trim(Item.left(Colon));
    const String Options = Colon < 0 ? String() : Trim(Item.mid(Colon + 1));
    TFDOrderColumn Column;
    for (const Char Option : Options) {
      switch (Option.toUpper().unicode()) {
        case u'A': break;
        case u'D': Column.Descending = true; break;
        case u'N': Column.CaseInsensitive = true; break;
        default: DatabaseErrorFmt(FDConsts::SInvalidIndexOption, {Options}, this);
      }
    }
    TField* Field = FieldByName(Name);
    Column.Column = ColumnOf(Field);
    // Only stored values can be ordered.
    if (Column.Column < 0) DatabaseErrorFmt(DBConsts::SFieldNotFound, {Name}, this);
    Columns.push_back(Column);
  }
  return TFDRowOrder(std::move(Columns));
}

void TFDDataSet::SetIndexFieldNames(const String& Value) {
  if (!Active()) {
    FIndexFieldNames = Value;
    return;
  }
  CheckBrowseMode();
  TFDRowOrder Order = parseIndex(Value);
  UpdateCursorPos();
  const TFDRecordId Current = currentId();
  FIndexFieldNames = Value;
  FStore.SetOrder(std::move(Order));
  resolveDetailColumns();
  resyncOn(Current);
}

// ---------------------------------------------------------------------------
// master-detail

TDataSource* TFDDataSet::MasterSource() const { return FMasterLink->DataSource(); }

void TFDDataSet::SetMasterSource(TDataSource* Value) {
  if (Value && IsLinkedTo(Value)) DatabaseError(DBConsts::SCircularDataLink, this);
  FMasterLink->SetDataSource(Value);
}

const String& TFDDataSet::MasterFields() const { return FMasterLink->FieldNames(); }

void TFDDataSet::SetMasterFields(const String& Value) { FMasterLink->SetFieldNames(Value); }

void TFDDataSet::SetDetailFields(const String& Value) {
  FDetailFields = Value;
  if (!Active()) return;
  resolveDetailColumns();
  resyncOn(currentId());
}

void TFDDataSet::resolveDetailColumns() {
  FDetailFieldList.clear();
  FRangeBinary = false;
  const std::size_t Count = splitNames(MasterFields()).size();
  if (Count == 0) return;
  const std::vector<TFDOrderColumn>& Order = FStore.Order().Columns();
  if (!FDetailFields.isEmpty()) {
    for (const String& Name : splitNames(FDetailFields)) FDetailFieldList.push_back(FieldByName(Name));
  } else if (Order.size() >= Count) {
    for (std::size_t I = 0; I < Count; ++I) FDetailFieldList.push_back(FieldByNumber(Order[I].Column + 1));
  } else {
    for (const String& Name : splitNames(MasterFields())) FDetailFieldList.push_back(FieldByName(Name));
  }
  FDetailFieldList.resize(std::min(FDetailFieldList.size(), Count));
  // Ranges compare stored values.
  for (TField* Field : FDetailFieldList)
    if (ColumnOf(Field) < 0) DatabaseErrorFmt(DBConsts::SFieldNotFound, {Field->FieldName()}, this);
  FRangeBinary = FDetailFieldList.size() == Count && Order.size() >= Count;
  for (std::size_t I = 0; FRangeBinary && I < Count; ++I)
    FRangeBinary = Order[I].Column == ColumnOf(FDetailFieldList[I]) && !Order[I].CaseInsensitive;
}

void TFDDataSet::readMasterRange() {
  FRangeValues.clear();
  if (MasterFields().isEmpty() || !MasterSource()) {
    FRangeKind = TRangeKind::None;
    return;
  }
  FRangeKind = TRangeKind::Empty;
  if (!FMasterLink->Active() || FMasterLink->Fields().empty() || FDetailFieldList.empty()) return;
  bool HasNull = false;
  for (TField* Field : FMasterLink->Fields()) {
    FRangeValues.push_back(Field->Value());
    HasNull = HasNull || VarIsNull(FRangeValues.back());
  }
  FRangeValues.resize(std::min(FRangeValues.size(), FDetailFieldList.size()));
  if (!HasNull) FRangeKind = TRangeKind::Keys;
}

void TFDDataSet::masterChanged(TObject*) {
  if (!Active()) return;
  const TRangeKind OldKind = FRangeKind;
  const std::vector<Variant> OldValues = FRangeValues;
  resolveDetailColumns();
  readMasterRange();
  // Unchanged link values keep the detail where it is: a master rename or
  // a move that did not happen must not reset the levels below.
  if (FRangeKind == OldKind && sameValues(FRangeValues, OldValues)) return;
  FViewDirty = true;
  First();
}

void TFDDataSet::DoOnNewRecord() {
  if (FRangeKind == TRangeKind::Keys) {
    TFDBuffer* Buffer = buffer(ActiveBuffer());
    for (std::size_t I = 0; I < FDetailFieldList.size(); ++I) {
      TField* Field = FDetailFieldList[I];
      Buffer->Values[ColumnOf(Field)] = FRangeValues[I];
      NotifyFieldChanged(Field);
    }
  }
  TDataSet::DoOnNewRecord();
}

// ---------------------------------------------------------------------------
// editing

bool TFDDataSet::GetCanModify() { return !FUpdateOptions->ReadOnly(); }

TUpdateStatus TFDDataSet::UpdateStatus() {
  const TFDBuffer* Buffer = stateBuffer();
  if (!Buffer || Buffer->Id == NoRecordId) return usUnmodified;
  if (State() == dsInsert && Buffer->Editing) return usInserted;
  return FChangeLog.StatusOf(Buffer->Id);
}

void TFDDataSet::InternalEdit() {
  TFDBuffer* Buffer = buffer(ActiveBuffer());
  Buffer->Values = unpackRow(FStore.Row(Buffer->Id));
  Buffer->Editing = true;
}

void TFDDataSet::InternalCancel() { buffer(ActiveBuffer())->Editing = false; }

void TFDDataSet::applyOne(TFDApplyItem& Item) { ApplyItems(std::span<TFDApplyItem>(&Item, 1)); }

void TFDDataSet::InternalPost() {
  TDataSet::InternalPost();
  TFDBuffer* Buffer = buffer(ActiveBuffer());
  TFDRow Row = packValues(Buffer->Values);
  TFDRecordId Id;
  if (State() == dsEdit) {
    Id = Buffer->Id;
    const TFDRow& Current = FStore.Row(Id);
    if (Row.SameValues(Current)) {
      FCursorId = Id;
      FViewDirty = true;
      return;
    }
    if (!FCachedUpdates) {
      const TFDChange* Pending = FChangeLog.Pending(Id);
      TFDApplyItem Item{TFDChangeKind::Modify, Pending ? &Pending->Old : &Current, &Row, {}};
      applyOne(Item);
    }
    FChangeLog.RecordModify(Id, Current);
    FStore.SetRow(Id, std::move(Row));
  } else {
    if (!FCachedUpdates) {
      TFDApplyItem Item{TFDChangeKind::Insert, nullptr, &Row, {}};
      applyOne(Item);
      if (!Item.ReadBack.IsEmpty()) Row = std::move(Item.ReadBack);
    }
    // With an index a new record follows the records with equal keys;
    // without one it goes where it was inserted.
    if (!FStore.Order().Empty() || Buffer->Flag == bfEOF)
      Id = FStore.Append(std::move(Row));
    else
      Id = FStore.Insert(Buffer->Id, std::move(Row), /*FirstPlace=*/Buffer->Flag == bfBOF);
    FChangeLog.RecordInsert(Id);
  }
  if (!FCachedUpdates) {
    FChangeLog.MarkApplied({FChangeLog.Pending(Id)}, ApplyLevel());
    FChangeLog.CommitUpdates();
  }
  FViewDirty = true;
  FCursorId = Id;
}

void TFDDataSet::InternalDelete() {
  const TFDRecordId Id = buffer(ActiveBuffer())->Id;
  const TFDChange* Pending = FChangeLog.Pending(Id);
  const bool NeverStored = Pending && Pending->Kind == TFDChangeKind::Insert;
  if (!FCachedUpdates && !NeverStored) {
    TFDApplyItem Item{TFDChangeKind::Delete, Pending ? &Pending->Old : &FStore.Row(Id), nullptr, {}};
    applyOne(Item);
  }
  if (FChangeLog.RecordDelete(Id, FStore.Row(Id))) {
    FStore.Remove(Id);
  } else {
    FStore.Hide(Id);
    if (!FCachedUpdates) {
      FChangeLog.MarkApplied({FChangeLog.Pending(Id)}, ApplyLevel());
      FChangeLog.CommitUpdates();
    }
  }
  FViewDirty = true;
  FCursorId = Id;
}

// ---------------------------------------------------------------------------
// cached updates

void TFDDataSet::ApplyItems(std::span<TFDApplyItem>) {}
int TFDDataSet::ApplyLevel() { return 0; }
bool TFDDataSet::FetchRows(std::vector<TFDRow>&) { return false; }
std::vector<int> TFDDataSet::KeyColumns() { return {}; }

int TFDDataSet::ApplyUpdates(int) {
  CheckBrowseMode();
  const std::vector<TFDChange*> Pending = FChangeLog.PendingChanges();
  if (Pending.empty()) return 0;
  std::vector<TFDApplyItem> Items(Pending.size());
  for (std::size_t I = 0; I < Pending.size(); ++I) {
    const TFDChange& Change = *Pending[I];
    Items[I].Kind = Change.Kind;
    if (Change.Kind != TFDChangeKind::Insert) Items[I].Old = &Change.Old;
    if (Change.Kind != TFDChangeKind::Delete) Items[I].New = &FStore.Row(Change.Record);
  }
  ApplyItems(Items);
  FChangeLog.MarkApplied(Pending, ApplyLevel());
  // Keys and defaults the database gave new rows show at once.
  bool ReadBack = false;
  for (std::size_t I = 0; I < Pending.size(); ++I) {
    TFDRow& Row = Items[I].ReadBack;
    const TFDRecordId Id = Pending[I]->Record;
    if (Row.IsEmpty() || Row.SameValues(FStore.Row(Id))) continue;
    FStore.SetRow(Id, std::move(Row));
    ReadBack = true;
  }
  if (ReadBack) resyncOn(currentId());
  if (FUpdateOptions->AutoCommitUpdates()) CommitUpdates();
  return 0;
}

void TFDDataSet::CommitUpdates() { FChangeLog.CommitUpdates(); }

void TFDDataSet::revert(TFDChange& Change) {
  const TFDRecordId Id = Change.Record;
  switch (Change.Kind) {
    case TFDChangeKind::Insert:
      FStore.Remove(Id);
      break;
    case TFDChangeKind::Modify:
      FStore.SetRow(Id, std::move(Change.Old));
      break;
    case TFDChangeKind::Delete:
      FStore.SetRow(Id, std::move(Change.Old));
      FStore.Show(Id);
      break;
  }
}

void TFDDataSet::CancelUpdates() {
  if (!Active()) return;
  if (State() == dsEdit || State() == dsInsert) Cancel();
  UpdateCursorPos();
  const TFDRecordId Current = currentId();
  std::vector<std::unique_ptr<TFDChange>> Taken = FChangeLog.TakePending();
  if (Taken.empty()) return;
  for (const auto& Change : Taken) revert(*Change);
  resyncOn(Current);
}

void TFDDataSet::LevelCommitted(int Level) { FChangeLog.LevelCommitted(Level); }

void TFDDataSet::LevelRolledBack(int Level) {
  for (const TFDRecordId Id : FChangeLog.LevelRolledBack(Level)) {
    FStore.Remove(Id);
    FViewDirty = true;
  }
}

// ---------------------------------------------------------------------------
// refresh

void TFDDataSet::InternalRefresh() {
  std::vector<TFDRow> Rows;
  if (!FetchRows(Rows)) return;
  const TFDRecordId Current = FCursorId;
  overlayRows(std::move(Rows));
  FViewDirty = true;
  FCursorId = NoRecordId;
  ensureView();
  const int Pos = FStore.Exists(Current) ? FView.Find(FStore, Current) : -1;
  setCursor(Pos >= 0 ? Pos : FView.Size() > 0 ? 0 : -1);
}

void TFDDataSet::overlayRows(std::vector<TFDRow> Rows) {
  const std::vector<int> Key = KeyColumns();
  TFDRowBuilder Builder;
  auto keyOf = [&](const TFDRow& Row) {
    if (Key.empty()) return Row.Bytes();
    for (const int Column : Key) Builder.Add(Row.Value(Column));
    return Builder.Finish().Bytes();
  };
  // Each stored record under the values the database held for it; equal
  // keys (rows without a key) are matched in order.
  struct TBucket {
    std::vector<TFDRecordId> Ids;
    std::size_t Next = 0;
  };
  std::unordered_map<QByteArray, TBucket, byteArrayHash> Known;
  const std::vector<TFDRecordId> OldNatural = FStore.Natural();
  for (const TFDRecordId Id : OldNatural) {
    const TFDChange* Pending = FChangeLog.Pending(Id);
    if (Pending && Pending->Kind == TFDChangeKind::Insert) continue;
    Known[keyOf(Pending ? Pending->Old : FStore.Row(Id))].Ids.push_back(Id);
  }
  std::vector<TFDRecordId> Natural;
  Natural.reserve(Rows.size());
  std::vector<bool> Matched(OldNatural.empty() ? 0 : *std::max_element(OldNatural.begin(), OldNatural.end()) + 1);
  for (TFDRow& Row : Rows) {
    const auto Found = Known.find(keyOf(Row));
    if (Found == Known.end() || Found->second.Next == Found->second.Ids.size()) {
      Natural.push_back(FStore.AddUnplaced(std::move(Row)));
      continue;
    }
    const TFDRecordId Id = Found->second.Ids[Found->second.Next++];
    // A pending change keeps the record's cached values; the database's
    // new values become what it is applied against.
    if (TFDChange* Pending = FChangeLog.Pending(Id))
      Pending->Old = std::move(Row);
    else
      FStore.ReplaceRow(Id, std::move(Row));
    Matched[Id] = true;
    Natural.push_back(Id);
  }
  // Records the database no longer returns stay while a change refers to
  // them (pending inserts, unapplied edits, remembered applied changes).
  for (const TFDRecordId Id : OldNatural)
    if (!Matched[Id] && FChangeLog.Refers(Id)) Natural.push_back(Id);
  FStore.Rebuild(std::move(Natural));
}

// ---------------------------------------------------------------------------
// self-check

bool TFDDataSet::CheckConsistency() {
  if (!FStore.CheckConsistency() || !FChangeLog.CheckConsistency()) return false;
  if (!Active()) return true;
  ensureView();
  for (int I = 0; I < FView.Size(); ++I) {
    const TFDRecordId Id = FView.At(I);
    if (!FStore.Exists(Id) || FStore.IsHidden(Id)) return false;
    if (I > 0 && FStore.Compare(FView.At(I - 1), Id) >= 0) return false;
  }
  for (const TFDChange* Change : FChangeLog.PendingChanges())
    if (!FStore.Exists(Change->Record)) return false;
  return FCursor >= -1 && FCursor <= FView.Size();
}
