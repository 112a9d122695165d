// The memory table's bookmarks, cursor moves and searches (FindRec, Locate,
// Lookup, LookupAll).
#include "gridlib/memtable/memtable.h"

#include "gridlib/memtable/datadriver.h"

#include "gridlib/memtable/memoryrecord.h"
#include "gridlib/memtable/memorytreelist.h"
#include "gridlib/memtable/memtable_storedvalues.h"
#include "gridlib/memtable/mtindexes.h"
#include "gridlib/memtable/recordsview.h"
#include "gridlib/memtable/refobjectfield.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fields.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"

#include <algorithm>
#include <cstring>

namespace {

inline constexpr const char* SFindRecordNotSupported = "FindRecord is not supported";

// A bookmark of another size (foreign or damaged bytes) names no record.
TBookmarkDataEh bookmarkData(const TBookmark& Bookmark) {
  TBookmarkDataEh Data;
  if (Bookmark.size() == qsizetype(sizeof(Data))) std::memcpy(&Data, Bookmark.constData(), sizeof(Data));
  return Data;
}

TBookmark bookmarkBytes(const TBookmarkDataEh& Data) {
  return TBookmark(reinterpret_cast<const char*>(&Data), qsizetype(sizeof(Data)));
}

bool isLocateTextType(TFieldType Type) {
  switch (Type) {
    case ftString:
    case ftMemo:
    case ftFmtMemo:
    case ftWideString:
    case ftWideMemo:
      return true;
    default:
      return false;
  }
}

bool platformEqual(const Variant& V1, const Variant& V2) {
  try {
    return V1 == V2;
  } catch (...) {
    return false;
  }
}

}  // namespace

bool VarEqualEh(const Variant& V1, const Variant& V2) {
  if (VarType(V1) == varInteger && VarType(V2) == varInteger) return V1.AsInteger() == V2.AsInteger();
  const bool Array1 = VarIsArray(V1);
  const bool Array2 = VarIsArray(V2);
  if (Array1 != Array2) return false;
  if (!Array1) return platformEqual(V1, V2);
  if (VarArrayDimCount(V1) != VarArrayDimCount(V2) || VarArrayLowBound(V1, 1) != VarArrayLowBound(V2, 1) ||
      VarArrayHighBound(V1, 1) != VarArrayHighBound(V2, 1))
    return false;
  for (Integer I = VarArrayLowBound(V1, 1); I <= VarArrayHighBound(V1, 1); ++I)
    if (!platformEqual(VarArrayGet(V1, I), VarArrayGet(V2, I))) return false;
  return true;
}

// ---------------------------------------------------------------------------
// bookmarks

TMemoryRecordEh* TCustomMemTableEh::recordOfSerial(const TBookmarkDataEh& Data, Integer& ViewIndex) {
  ViewIndex = -1;
  if (Data.RecSerial == 0) return nullptr;
  if (Data.RecViewIndex >= 0 && Data.RecViewIndex < FRecordsView->ViewItemsCount()) {
    TMemoryRecordEh* Rec = FRecordsView->ViewRecord(Data.RecViewIndex);
    if (Rec->Serial() == Data.RecSerial) {
      ViewIndex = Data.RecViewIndex;
      return Rec;
    }
  }
  // The serial is looked up among the table's records, never taken as an
  // address: a freed record's bookmark must not reach its successor.
  const Integer Count = FRecordsView->SortedListItemCount();
  for (Integer I = 0; I < Count; ++I) {
    TMemoryRecordEh* Rec = FRecordsView->SortedListItem(I)->Rec();
    if (Rec->Serial() != Data.RecSerial) continue;
    ViewIndex = FRecordsView->IndexOfRec(Rec);
    return Rec;
  }
  return nullptr;
}

void TCustomMemTableEh::UpdateBookmarkIndexes(TBookmarkDataEh& Bookmark) {
  Integer ViewIndex = -1;
  TMemoryRecordEh* Rec = recordOfSerial(Bookmark, ViewIndex);
  Bookmark.RecViewIndex = ViewIndex;
  if (!Rec)
    Bookmark.InSortedListIndex = -1;
  else if (ViewIndex >= 0)
    Bookmark.InSortedListIndex = FRecordsView->RecordView(ViewIndex)->InSortedListIndex();
  else
    Bookmark.InSortedListIndex = FRecordsView->IndexOfSortedListRec(Rec);
}

TBookmark TCustomMemTableEh::RecToBookmark(TMemoryRecordEh* Rec) {
  TBookmarkDataEh Data;
  Data.RecSerial = Rec ? Rec->Serial() : 0;
  return bookmarkBytes(Data);
}

TMemoryRecordEh* TCustomMemTableEh::BookmarkToRec(const TBookmark& Bookmark) {
  Integer ViewIndex = -1;
  return recordOfSerial(bookmarkData(Bookmark), ViewIndex);
}

bool TCustomMemTableEh::BookmarkValid(const TBookmark& Value) {
  if (Value.isEmpty()) return false;
  TBookmarkDataEh Data = bookmarkData(Value);
  UpdateBookmarkIndexes(Data);
  return Data.InSortedListIndex >= 0;
}

bool TCustomMemTableEh::BookmarkInVisibleView(const TBookmark& Bookmark) {
  if (Bookmark.isEmpty()) return false;
  TBookmarkDataEh Data = bookmarkData(Bookmark);
  UpdateBookmarkIndexes(Data);
  return Data.InSortedListIndex >= 0 && Data.RecViewIndex >= 0;
}

int TCustomMemTableEh::CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) {
  if (Bookmark1.isEmpty() && Bookmark2.isEmpty()) return 0;
  if (Bookmark2.isEmpty()) return 1;
  if (Bookmark1.isEmpty()) return -1;
  TBookmarkDataEh Data1 = bookmarkData(Bookmark1);
  TBookmarkDataEh Data2 = bookmarkData(Bookmark2);
  UpdateBookmarkIndexes(Data1);
  UpdateBookmarkIndexes(Data2);
  if (Data1.InSortedListIndex > Data2.InSortedListIndex) return 1;
  if (Data1.InSortedListIndex < Data2.InSortedListIndex) return -1;
  return 0;
}

Integer TCustomMemTableEh::BookmarkToRecNo(const TBookmark& Bookmark) {
  Integer ViewIndex = -1;
  recordOfSerial(bookmarkData(Bookmark), ViewIndex);
  return ViewIndex + 1;
}

Integer TCustomMemTableEh::InstantReadIndexOfBookmark(const TBookmark& Bookmark) {
  if (Bookmark.isEmpty()) return -1;
  return BookmarkToRecNo(Bookmark) - 1;
}

TBookmark TCustomMemTableEh::GetBookmark() {
  if (FInstantReadMode) return bookmarkBytes(RecBuf(FInstantBuffers.back())->BookmarkData);
  return TDataSet::GetBookmark();
}

String TCustomMemTableEh::GetBookmarkStr() { return QString::fromLatin1(GetBookmark()); }

void TCustomMemTableEh::GetBookmarkData(TRecordBuffer Buffer, TBookmark& Data) {
  Data = bookmarkBytes(RecBuf(Buffer)->BookmarkData);
}

void TCustomMemTableEh::SetBookmarkData(TRecordBuffer Buffer, const TBookmark& Data) {
  RecBuf(Buffer)->BookmarkData = bookmarkData(Data);
}

TBookmarkFlag TCustomMemTableEh::GetBookmarkFlag(TRecordBuffer Buffer) { return RecBuf(Buffer)->BookmarkFlag; }

void TCustomMemTableEh::SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) {
  RecBuf(Buffer)->BookmarkFlag = Value;
}

// ---------------------------------------------------------------------------
// moving the cursor

void TCustomMemTableEh::GotoMemRec(TMemoryRecordEh* Rec) {
  const Integer Pos = Rec ? FRecordsView->IndexOfRec(Rec) : -1;
  if (Pos < 0 || Pos >= FRecordsView->ViewItemsCount()) DatabaseError(DBConsts::SRecordNotFound, this);
  FRecordPos = Pos;
  FInstantReadCurRowNum = Pos;
}

void TCustomMemTableEh::InternalGotoBookmark(const TBookmark& Bookmark) { GotoMemRec(BookmarkToRec(Bookmark)); }

void TCustomMemTableEh::InternalSetToRecord(TRecordBuffer Buffer) {
  Integer ViewIndex = -1;
  TMemoryRecordEh* Rec = recordOfSerial(RecBuf(Buffer)->BookmarkData, ViewIndex);
  if (!Rec || ViewIndex < 0) return GotoMemRec(Rec);
  // The row is known already: searching the rows again would scan them.
  FRecordPos = ViewIndex;
  FInstantReadCurRowNum = ViewIndex;
}

void TCustomMemTableEh::InternalFirst() {
  FRecordPos = -1;
  FInstantReadCurRowNum = 0;
}

void TCustomMemTableEh::InternalLast() {
  {
    BeginRecordsViewUpdate();
    const TScopeExit End([this] { EndRecordsViewUpdate(/*ForceResync=*/false); });
    if (FDataDriver) FetchDriverRecords(-1);
  }
  const Integer Count = FRecordsView->ViewItemsCount();
  FRecordPos = Count;
  const bool Editing = State() == dsEdit || State() == dsInsert || State() == dsSetKey;
  FInstantReadCurRowNum = Editing ? Count : Count - 1;
}

int TCustomMemTableEh::GetRecordCount() {
  CheckActive();
  return FRecordsView->ViewItemsCount();
}

int TCustomMemTableEh::GetRecNo() {
  CheckActive();
  TMTRecBuf* Buf = nullptr;
  return GetActiveRecBuf(Buf) ? Buf->RecordNumber + 1 : -1;
}

void TCustomMemTableEh::SetRecNo(int Value) {
  if (Value < 1 || Value > FRecordsView->ViewItemsCount()) return;
  DoBeforeScroll();
  FRecordPos = Value - 1;
  Resync({});
  DoAfterScroll();
}

bool TCustomMemTableEh::FindRecord(bool, bool) { DatabaseError(SFindRecordNotSupported); }

// ---------------------------------------------------------------------------
// searching

bool TCustomMemTableEh::fieldMatches(TField* Field, const Variant& KeyValue, TLocateOptions Options) {
  if (!Options.Contains(loPartialKey) && !isLocateTextType(Field->DataType()))
    return VarEqualEh(Field->AsVariant(), KeyValue);
  String FieldText = Field->AsString();
  const String KeyText = VarIsNull(KeyValue) || VarIsEmpty(KeyValue) ? String() : VarToStr(KeyValue);
  if (Options.Contains(loPartialKey)) FieldText = FieldText.left(KeyText.size());
  return Options.Contains(loCaseInsensitive) ? AnsiCompareText(FieldText, KeyText) == 0
                                             : AnsiCompareStr(FieldText, KeyText) == 0;
}

bool TCustomMemTableEh::rowMatches(const std::vector<TField*>& Fields, const Variant& KeyValues,
                                   TLocateOptions Options) {
  if (Fields.size() == 1) return fieldMatches(Fields[0], KeyValues, Options);
  if (!VarIsArray(KeyValues)) return false;
  const Integer Low = VarArrayLowBound(KeyValues, 1);
  for (size_t I = 0; I < Fields.size(); ++I) {
    if (Low + Integer(I) > VarArrayHighBound(KeyValues, 1)) return false;
    if (!fieldMatches(Fields[I], VarArrayGet(KeyValues, Low + Integer(I)), Options)) return false;
  }
  return true;
}

namespace {

// One key field of a search over stored values, its key value taken apart
// once: each row then compares its stored value without a copy, and an
// integer or a text of the same kind without the variant comparison.
struct TStoredKeyEh {
  Integer DataIndex = -1;
  Variant Key;
  bool RefObject = false;  // compared by the object the value wraps
  bool Integral = false;
  Int64 Int = 0;
  bool Text = false;
  String Str;
};

// The keys of the fields, or none at all when the key values cannot match
// (several fields and no array, or too short a one).
std::vector<TStoredKeyEh> storedKeys(const std::vector<TField*>& Fields, const Variant& KeyValues, bool& CanMatch) {
  std::vector<TStoredKeyEh> Keys;
  CanMatch = Fields.size() == 1 || VarIsArray(KeyValues);
  if (!CanMatch) return Keys;
  const Integer Low = Fields.size() == 1 ? 0 : VarArrayLowBound(KeyValues, 1);
  for (size_t I = 0; I < Fields.size(); ++I) {
    TStoredKeyEh Key;
    Key.DataIndex = Fields[I]->FieldNo() - 1;
    if (Fields.size() == 1) {
      Key.Key = KeyValues;
      Key.RefObject = Is<TRefObjectField>(Fields[I]);
    } else {
      if (Low + Integer(I) > VarArrayHighBound(KeyValues, 1)) {
        CanMatch = false;
        return {};
      }
      Key.Key = VarArrayGet(KeyValues, Low + Integer(I));
    }
    const TVarType Type = VarType(Key.Key);
    Key.Integral = isInt64VarType(Type);
    if (Key.Integral) Key.Int = Key.Key.AsInt64();
    Key.Text = Type == varUString;
    if (Key.Text) Key.Str = Key.Key.AsString();
    Keys.push_back(std::move(Key));
  }
  return Keys;
}

// Answers what VarEqualEh answers for the stored value and the key.
bool storedValueMatches(const Variant& Stored, const TStoredKeyEh& Key) {
  if (Key.RefObject) return VarToRefObjectEh(Stored) == VarToRefObjectEh(Key.Key);
  const TVarType Type = VarType(Stored);
  if (Key.Integral && isInt64VarType(Type)) return Stored.AsInt64() == Key.Int;
  if (Key.Text && Type == varUString) return Stored.AsString() == Key.Str;
  return VarEqualEh(Stored, Key.Key);
}

bool storedRowMatches(TMemoryRecordEh* Rec, const std::vector<TStoredKeyEh>& Keys) {
  for (const TStoredKeyEh& Key : Keys)
    if (!storedValueMatches(storedValue(Rec, Key.DataIndex), Key)) return false;
  return true;
}

}  // namespace

// Reading rows one after another is bound by memory, not by work: each row
// is a chain of three separate allocations (its view item, its record, the
// record's values).  Asking for the links of rows further on while this row
// is read lets those loads overlap; each stage reads only what an earlier
// stage asked for.
void TCustomMemTableEh::prefetchRowsAhead(Integer Row, Integer DataIndex) {
  constexpr Integer Ahead = 16;  // rows between stages, found by measuring the search
  constexpr Integer RowBytes = 192;  // the values of a dozen fields
  const Integer Count = FRecordsView->ViewItemsCount();
  if (Row < 0) return;
  if (Row + 3 * Ahead < Count) __builtin_prefetch(FRecordsView->RecordView(Row + 3 * Ahead));
  if (Row + 2 * Ahead < Count) __builtin_prefetch(FRecordsView->ViewRecord(Row + 2 * Ahead));
  if (Row + Ahead >= Count) return;
  const TRecDataValues& Values = FRecordsView->ViewRecord(Row + Ahead)->Row(dvvValueEh);
  if (Values.empty()) return;
  if (DataIndex >= 0) {
    if (size_t(DataIndex) < Values.size()) __builtin_prefetch(&Values[size_t(DataIndex)]);
    return;
  }
  const char* First = reinterpret_cast<const char*>(Values.data());
  const size_t Bytes = std::min(Values.size() * sizeof(Variant), size_t(RowBytes));
  for (size_t Offset = 0; Offset < Bytes; Offset += 64) __builtin_prefetch(First + Offset);
}

Integer TCustomMemTableEh::FindRec(const String& KeyFields, const Variant& KeyValues, TLocateOptions Options,
                                   Integer StartRecIndex, bool TryUseIndex) {
  std::vector<TField*> KeyFieldList;
  GetFieldList(KeyFieldList, KeyFields);
  bool Slow = !Options.Empty();
  for (TField* Field : KeyFieldList) Slow = Slow || Field->FieldNo() < 1;
  const Integer Start = std::max(StartRecIndex, 0);
  if (!Slow) {
    TRecordsListEh* List = FRecordsView->MemTableData()->RecordsList();
    if (TMTIndexEh* Index = TryUseIndex ? List->Indexes()->GetIndexForFields(KeyFields) : nullptr;
        Index && Index->Active()) {
      Integer RecIndex = -1;
      if (!Index->FindRecordIndexByKey(KeyValues, RecIndex)) return fetchUntilMatch(KeyFieldList, KeyValues, Options);
      return FRecordsView->IndexOfRec(List->Rec(RecIndex));
    }
    bool CanMatch = false;
    const std::vector<TStoredKeyEh> Keys = storedKeys(KeyFieldList, KeyValues, CanMatch);
    const Integer Count = CanMatch ? FRecordsView->ViewItemsCount() : 0;
    for (Integer Row = Start; Row < Count; ++Row) {
      prefetchRowsAhead(Row, Keys.empty() ? -1 : Keys.front().DataIndex);
      if (storedRowMatches(FRecordsView->ViewRecord(Row), Keys)) return Row;
    }
    return fetchUntilMatch(KeyFieldList, KeyValues, Options);
  }
  // The fields read each row through instant read, so calculated and lookup
  // keys and the locale text test see what the row shows.
  for (Integer Row = Start; Row < FRecordsView->ViewItemsCount(); ++Row) {
    InstantReadEnter(FRecordsView->RecordView(Row), Row);
    const TScopeExit Leave([this] { InstantReadLeave(); });
    if (rowMatches(KeyFieldList, KeyValues, Options)) return Row;
  }
  return fetchUntilMatch(KeyFieldList, KeyValues, Options);
}

Integer TCustomMemTableEh::fetchUntilMatch(const std::vector<TField*>& KeyFieldList, const Variant& KeyValues,
                                           TLocateOptions Options) {
  if (!FDataDriver) return -1;
  BeginRecordsViewUpdate();
  const TScopeExit End([this] { EndRecordsViewUpdate(/*ForceResync=*/false); });
  while (!FDataDriver->ProviderEOF()) {
    if (FetchDriverRecords(1) == 0) continue;
    const Integer Row = FRecordsView->ViewItemsCount() - 1;
    if (Row < 0) continue;
    InstantReadEnter(FRecordsView->RecordView(Row), Row);
    const TScopeExit Leave([this] { InstantReadLeave(); });
    if (rowMatches(KeyFieldList, KeyValues, Options)) return Row;
  }
  return -1;
}

bool TCustomMemTableEh::Locate(const String& KeyFields, const Variant& KeyValues, TLocateOptions Options) {
  CheckBrowseMode();
  if (Bof() && Eof()) return false;
  const Integer Row = FindRec(KeyFields, KeyValues, Options, 0, /*TryUseIndex=*/true);
  if (Row < 0) return false;
  BeginRecordsViewUpdate();
  try {
    DoBeforeScroll();
    FRecordPos = Row;
    Resync({});
  } catch (...) {
    EndRecordsViewUpdate(/*ForceResync=*/false);
    throw;
  }
  EndRecordsViewUpdate(/*ForceResync=*/true);
  DoAfterScroll();
  return true;
}

Variant TCustomMemTableEh::Lookup(const String& KeyFields, const Variant& KeyValues, const String& ResultFields) {
  Variant Result = Unassigned();
  FRecordsView->SetCatchChanged(false);
  const Integer Row = FindRec(KeyFields, KeyValues, {}, 0, /*TryUseIndex=*/true);
  if (Row >= 0) {
    InstantReadEnter(FRecordsView->RecordView(Row), Row);
    const TScopeExit Leave([this] { InstantReadLeave(); });
    Result = TDataSet::GetFieldValue(ResultFields);
  }
  if (FRecordsView->CatchChanged()) Resync({});
  return Result;
}

Variant TCustomMemTableEh::LookupAll(const String& KeyFields, const Variant& KeyValues, const String& FieldName) {
  Variant Result = Unassigned();
  FRecordsView->SetCatchChanged(false);
  TField* Field = FieldByName(FieldName);
  Integer Found = 0;
  for (Integer Row = FindRec(KeyFields, KeyValues, {}, 0, false); Row >= 0;
       Row = FindRec(KeyFields, KeyValues, {}, Row + 1, false)) {
    Variant Value;
    {
      InstantReadEnter(FRecordsView->RecordView(Row), Row);
      const TScopeExit Leave([this] { InstantReadLeave(); });
      Value = Field->AsVariant();
    }
    if (Found == 0) {
      Result = Value;
    } else if (Found == 1) {
      const Variant First = Result;
      Result = VarArrayCreate({0, 1}, varVariant);
      VarArrayPut(Result, First, 0);
      VarArrayPut(Result, Value, 1);
    } else {
      VarArrayRedim(Result, Found);
      VarArrayPut(Result, Value, Found);
    }
    ++Found;
  }
  if (FRecordsView->CatchChanged()) Resync({});
  return Result;
}
