#include "platform/rtl/stringlist.h"

#include "platform/rtl/ansistring.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strutils.h"

#include <algorithm>
#include <cassert>
#include <numeric>
#include <utility>

namespace {

constexpr QStringView LineBreak = u"\r\n";

[[noreturn]] void raiseIndexError(Integer Index) {
  throw EStringListError(QStringLiteral("List index out of bounds (%1)").arg(Index));
}

// A blank separates unquoted items unless the delimiter is strict.
bool isBlank(Char C) { return C.unicode() <= u' '; }

bool needsQuotes(const String& S, Char Delim, Char Quote, bool Strict) {
  return std::any_of(S.begin(), S.end(), [&](Char C) {
    return C == Delim || C == Quote || (!Strict && isBlank(C));
  });
}

}  // namespace

// ---------------------------------------------------------------------------
// TStrings

TStrings::~TStrings() = default;

void TStrings::Assign(TPersistent* Source) {
  auto* Strings = dynamic_cast<TStrings*>(Source);
  if (!Strings) {
    TPersistent::Assign(Source);
    return;
  }
  BeginUpdate();
  const TScopeExit EndUpdateOnExit([this] { EndUpdate(); });
  Clear();
  FDelimiter = Strings->FDelimiter;
  FQuoteChar = Strings->FQuoteChar;
  FNameValueSeparator = Strings->FNameValueSeparator;
  FStrictDelimiter = Strings->FStrictDelimiter;
  AddStrings(Strings);
}

Integer TStrings::Add(const String& S) {
  const Integer Result = GetCount();
  Insert(Result, S);
  return Result;
}

Integer TStrings::AddObject(const String& S, TObject* AObject) {
  const Integer Result = Add(S);
  PutObject(Result, AObject);
  return Result;
}

void TStrings::Append(const String& S) { Add(S); }

void TStrings::AddStrings(TStrings* Strings) {
  BeginUpdate();
  const TScopeExit EndUpdateOnExit([this] { EndUpdate(); });
  for (Integer I = 0, N = Strings->GetCount(); I < N; ++I)
    AddObject(Strings->Get(I), Strings->GetObject(I));
}

void TStrings::InsertObject(Integer Index, const String& S, TObject* AObject) {
  Insert(Index, S);
  PutObject(Index, AObject);
}

void TStrings::Exchange(Integer Index1, Integer Index2) {
  BeginUpdate();
  const TScopeExit EndUpdateOnExit([this] { EndUpdate(); });
  const String S = Get(Index1);
  TObject* const O = GetObject(Index1);
  Put(Index1, Get(Index2));
  PutObject(Index1, GetObject(Index2));
  Put(Index2, S);
  PutObject(Index2, O);
}

void TStrings::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex == NewIndex) return;
  BeginUpdate();
  const TScopeExit EndUpdateOnExit([this] { EndUpdate(); });
  const String S = Get(CurIndex);
  TObject* const O = GetObject(CurIndex);
  Delete(CurIndex);
  InsertObject(NewIndex, S, O);
}

Integer TStrings::IndexOf(const String& S) const {
  for (Integer I = 0, N = GetCount(); I < N; ++I)
    if (CompareStrings(Get(I), S) == 0) return I;
  return -1;
}

Integer TStrings::IndexOfName(const String& Name) const {
  const String Sep(FNameValueSeparator);
  for (Integer I = 0, N = GetCount(); I < N; ++I) {
    const String S = Get(I);
    const int P = Pos(Sep, S);
    if (P != 0 && CompareStrings(Copy(S, 1, P - 1), Name) == 0) return I;
  }
  return -1;
}

Integer TStrings::IndexOfObject(TObject* AObject) const {
  for (Integer I = 0, N = GetCount(); I < N; ++I)
    if (GetObject(I) == AObject) return I;
  return -1;
}

void TStrings::BeginUpdate() {
  if (FUpdateCount == 0) SetUpdateState(true);
  ++FUpdateCount;
}

void TStrings::EndUpdate() {
  assert(FUpdateCount > 0 && "EndUpdate without BeginUpdate");
  --FUpdateCount;
  if (FUpdateCount == 0) SetUpdateState(false);
}

String TStrings::Names(Integer Index) const {
  const String S = Get(Index);
  const int P = Pos(String(FNameValueSeparator), S);
  return P != 0 ? Copy(S, 1, P - 1) : String();
}

String TStrings::Values(const String& Name) const {
  const Integer I = IndexOfName(Name);
  return I >= 0 ? ValueFromIndex(I) : String();
}

void TStrings::SetValues(const String& Name, const String& Value) {
  const Integer I = IndexOfName(Name);
  if (Value.isEmpty()) {
    if (I >= 0) Delete(I);
    return;
  }
  const String Line = Name + FNameValueSeparator + Value;
  // A new line goes through Add so that a sorted list places it.
  if (I < 0)
    Add(Line);
  else
    Put(I, Line);
}

String TStrings::ValueFromIndex(Integer Index) const {
  // A negative index is "no such name", as IndexOfName answers it.
  if (Index < 0) return String();
  const String S = Get(Index);
  const int P = Pos(String(FNameValueSeparator), S);
  return P != 0 ? Copy(S, P + 1, Length(S)) : String();
}

String TStrings::CommaText() const { return delimitedText(u',', u'"', /*Strict=*/false); }

void TStrings::SetCommaText(const String& Value) {
  setDelimitedText(Value, u',', u'"', /*Strict=*/false);
}

String TStrings::DelimitedText() const {
  return delimitedText(FDelimiter, FQuoteChar, FStrictDelimiter);
}

void TStrings::SetDelimitedText(const String& Value) {
  setDelimitedText(Value, FDelimiter, FQuoteChar, FStrictDelimiter);
}

String TStrings::delimitedText(Char Delim, Char Quote, bool Strict) const {
  const Integer N = GetCount();
  // Written empty, a single empty item could not be told from an empty list.
  if (N == 1 && Get(0).isEmpty()) return String(2, Quote);
  String Result;
  for (Integer I = 0; I < N; ++I) {
    if (I > 0) Result += Delim;
    const String S = Get(I);
    Result += needsQuotes(S, Delim, Quote, Strict) ? AnsiQuotedStr(S, Quote) : S;
  }
  return Result;
}

void TStrings::setDelimitedText(const String& Value, Char Delim, Char Quote, bool Strict) {
  BeginUpdate();
  const TScopeExit EndUpdateOnExit([this] { EndUpdate(); });
  Clear();
  const qsizetype Len = Value.size();
  qsizetype P = 0;
  auto skipBlanks = [&] {
    if (!Strict)
      while (P < Len && isBlank(Value[P])) ++P;
  };
  skipBlanks();
  while (P < Len) {
    if (Value[P] == Quote) {
      // The quoted-string reader consumes from the front of the rest.
      String Rest = Value.mid(P);
      Add(AnsiExtractQuotedStr(Rest, Quote));
      P = Len - Rest.size();
    } else {
      const qsizetype Start = P;
      while (P < Len && Value[P] != Delim && (Strict || !isBlank(Value[P]))) ++P;
      Add(Value.mid(Start, P - Start));
    }
    skipBlanks();
    if (P < Len && Value[P] == Delim) {
      if (P + 1 == Len) Add(String());
      ++P;
      skipBlanks();
    }
  }
}

void TStrings::LoadFromStream(TStream* Stream, TEncoding* Encoding) {
  const TBytes Buffer = Stream->ReadBytes(Stream->Size() - Stream->Position());
  const int PreambleLength = TEncoding::GetBufferEncoding(Buffer, Encoding);
  FEncoding = Encoding;
  SetTextStr(Encoding->GetString(Buffer.data() + PreambleLength, int(Buffer.size()) - PreambleLength));
}

void TStrings::SaveToStream(TStream* Stream, TEncoding* Encoding) {
  if (!Encoding) Encoding = FEncoding ? FEncoding : TEncoding::Default();
  const TBytes Preamble = Encoding->GetPreamble();
  const TBytes Buffer = Encoding->GetBytes(GetTextStr());
  Stream->WriteBuffer(Preamble.data(), Int64(Preamble.size()));
  Stream->WriteBuffer(Buffer.data(), Int64(Buffer.size()));
}

void TStrings::LoadFromFile(const String& FileName, TEncoding* Encoding) {
  TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&Stream, Encoding);
}

void TStrings::SaveToFile(const String& FileName, TEncoding* Encoding) {
  TFileStream Stream(FileName, fmCreate);
  SaveToStream(&Stream, Encoding);
}

TObject* TStrings::GetObject(Integer) const { return nullptr; }

void TStrings::Put(Integer Index, const String& S) {
  BeginUpdate();
  const TScopeExit EndUpdateOnExit([this] { EndUpdate(); });
  TObject* const O = GetObject(Index);
  Delete(Index);
  InsertObject(Index, S, O);
}

void TStrings::PutObject(Integer, TObject*) {}

void TStrings::SetUpdateState(bool) {}

String TStrings::GetTextStr() const {
  String Result;
  for (Integer I = 0, N = GetCount(); I < N; ++I) {
    Result += Get(I);
    Result += LineBreak;
  }
  return Result;
}

void TStrings::SetTextStr(const String& Value) {
  BeginUpdate();
  const TScopeExit EndUpdateOnExit([this] { EndUpdate(); });
  Clear();
  const qsizetype Len = Value.size();
  qsizetype P = 0;
  while (P < Len) {
    const qsizetype Start = P;
    while (P < Len && Value[P] != u'\r' && Value[P] != u'\n') ++P;
    Add(Value.mid(Start, P - Start));
    if (P < Len && Value[P] == u'\r') ++P;
    if (P < Len && Value[P] == u'\n') ++P;
  }
}

Integer TStrings::CompareStrings(const String& S1, const String& S2) const {
  return AnsiCompareText(S1, S2);
}

// ---------------------------------------------------------------------------
// TStringList

namespace {

// The owned objects of Items, freed after the items left the list, so an
// object's destructor never sees a half-cleared list.
template <class Items>
void freeObjects(const Items& Gone) {
  for (const auto& Item : Gone)
    if (Item.FObject) Item.FObject->Free();
}

}  // namespace

TStringList::~TStringList() {
  OnChange.Clear();
  OnChanging.Clear();
  if (FOwnsObjects) freeObjects(std::exchange(FList, {}));
}

Integer TStringList::Add(const String& S) { return AddObject(S, nullptr); }

Integer TStringList::AddObject(const String& S, TObject* AObject) {
  Integer Result = GetCount();
  if (FSorted && Find(S, Result)) {
    if (FDuplicates == dupIgnore) return Result;
    if (FDuplicates == dupError)
      throw EStringListError(QStringLiteral("String list does not allow duplicates"));
  }
  insertItem(Result, S, AObject);
  return Result;
}

void TStringList::Insert(Integer Index, const String& S) { InsertObject(Index, S, nullptr); }

void TStringList::InsertObject(Integer Index, const String& S, TObject* AObject) {
  checkNotSorted();
  if (Index < 0 || Index > GetCount()) raiseIndexError(Index);
  insertItem(Index, S, AObject);
}

void TStringList::Delete(Integer Index) {
  checkIndex(Index);
  Changing();
  TObject* const Obj = FList[Index].FObject;
  FList.erase(FList.begin() + Index);
  if (FOwnsObjects && Obj) Obj->Free();
  Changed();
}

void TStringList::Clear() {
  if (FList.empty()) return;
  Changing();
  const std::vector<TStringItem> Gone = std::exchange(FList, {});
  if (FOwnsObjects) freeObjects(Gone);
  Changed();
}

void TStringList::Exchange(Integer Index1, Integer Index2) {
  checkNotSorted();
  checkIndex(Index1);
  checkIndex(Index2);
  Changing();
  std::swap(FList[Index1], FList[Index2]);
  Changed();
}

void TStringList::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex == NewIndex) return;
  checkNotSorted();
  checkIndex(CurIndex);
  checkIndex(NewIndex);
  Changing();
  const auto Cur = FList.begin() + CurIndex, New = FList.begin() + NewIndex;
  if (CurIndex < NewIndex)
    std::rotate(Cur, Cur + 1, New + 1);
  else
    std::rotate(New, Cur, Cur + 1);
  Changed();
}

Integer TStringList::IndexOf(const String& S) const {
  if (!FSorted) return TStrings::IndexOf(S);
  Integer Index;
  return Find(S, Index) ? Index : -1;
}

bool TStringList::Find(const String& S, Integer& Index) const {
  bool Result = false;
  Integer L = 0, H = GetCount() - 1;
  while (L <= H) {
    const Integer I = L + (H - L) / 2;
    const Integer C = CompareStrings(FList[I].FString, S);
    if (C < 0) {
      L = I + 1;
    } else {
      // Keep narrowing left on a match, so Index is the first of equal keys.
      H = I - 1;
      if (C == 0) Result = true;
    }
  }
  Index = L;
  return Result;
}

void TStringList::Sort() {
  CustomSort([](TStringList* List, Integer Index1, Integer Index2) {
    return List->CompareStrings(List->FList[Index1].FString, List->FList[Index2].FString);
  });
}

void TStringList::CustomSort(const TStringListSortCompare& Compare) {
  if (FSorted || GetCount() <= 1) return;
  sortBy(Compare);
}

void TStringList::SetSorted(bool Value) {
  if (FSorted == Value) return;
  if (Value) Sort();
  FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
  if (FCaseSensitive == Value) return;
  FCaseSensitive = Value;
  if (!FSorted) return;
  FSorted = false;
  SetSorted(true);
}

String TStringList::Get(Integer Index) const {
  checkIndex(Index);
  return FList[Index].FString;
}

Integer TStringList::GetCount() const { return Integer(FList.size()); }

TObject* TStringList::GetObject(Integer Index) const {
  checkIndex(Index);
  return FList[Index].FObject;
}

void TStringList::Put(Integer Index, const String& S) {
  checkNotSorted();
  checkIndex(Index);
  Changing();
  FList[Index].FString = S;
  Changed();
}

void TStringList::PutObject(Integer Index, TObject* AObject) {
  checkIndex(Index);
  Changing();
  FList[Index].FObject = AObject;
  Changed();
}

void TStringList::SetUpdateState(bool Updating) {
  if (Updating)
    Changing();
  else
    Changed();
}

Integer TStringList::CompareStrings(const String& S1, const String& S2) const {
  return FCaseSensitive ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::checkIndex(Integer Index) const {
  if (Index < 0 || Index >= GetCount()) raiseIndexError(Index);
}

void TStringList::checkNotSorted() const {
  if (FSorted) throw EStringListError(QStringLiteral("Operation not allowed on sorted list"));
}

void TStringList::insertItem(Integer Index, const String& S, TObject* AObject) {
  Changing();
  FList.insert(FList.begin() + Index, TStringItem{S, AObject});
  Changed();
}

void TStringList::sortBy(const TStringListSortCompare& Compare) {
  Changing();
  // Compare reads the list by index, so the items stay in place while an
  // order of their indexes is sorted; stable, so equal keys keep their order.
  std::vector<Integer> Order(FList.size());
  std::iota(Order.begin(), Order.end(), 0);
  std::stable_sort(Order.begin(), Order.end(),
                   [&](Integer A, Integer B) { return Compare(this, A, B) < 0; });
  std::vector<TStringItem> SortedItems;
  SortedItems.reserve(FList.size());
  for (Integer I : Order) SortedItems.push_back(std::move(FList[I]));
  FList = std::move(SortedItems);
  Changed();
}
