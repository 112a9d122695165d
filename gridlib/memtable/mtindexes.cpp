#include "gridlib/memtable/mtindexes.h"

#include "gridlib/base/valuetext.h"
#include "gridlib/memtable/memoryrecord.h"
#include "platform/rtl/strutils.h"

#include <algorithm>
#include <set>

namespace {
const char* const SNotComparable = "TMTIndexEh.FindKeyValueIndex: values is not comparable.";
}  // namespace

// ---------------------------------------------------------------------------
// TMTIndexEh

TMTIndexEh::TMTIndexEh(TCollection* Collection) : TCollectionItem(Collection) {}

TMTIndexEh* TMTIndexEh::CreateApart(TRecordsListEh* ARecordsList) {
  auto* Index = new TMTIndexEh(nullptr);
  Index->FRecordsList = ARecordsList;
  return Index;
}

TMTIndexEh::~TMTIndexEh() { ClearIndex(); }

TRecordsListEh* TMTIndexEh::RecordsList() const {
  if (FRecordsList) return FRecordsList;
  auto* Indexes = static_cast<TMTIndexesEh*>(Collection());
  return Indexes ? Indexes->RecList() : nullptr;
}

void TMTIndexEh::ClearIndex() {
  FRecList.clear();
  FPending.clear();
}

namespace {
bool keyLess(const TIndexItemEh& A, const TIndexItemEh& B) { return CompareVariantsEh(A.Value, B.Value) == vrLessThan; }

// Binary search of sorted Items: true with the position of an item whose key
// equals Value, else false with the position it would take.
bool searchItems(const std::vector<TIndexItemEh>& Items, const Variant& Value, Integer& Index) {
  Integer Lo = 0, Hi = Integer(Items.size()) - 1;
  bool Found = false;
  while (Hi >= Lo) {
    const Integer Mid = (Lo + Hi) / 2;
    switch (CompareVariantsEh(Items[Mid].Value, Value)) {
      case vrNotEqual: throw Exception(QString::fromLatin1(SNotComparable));
      case vrLessThan: Lo = Mid + 1; break;
      case vrGreaterThan: Hi = Mid - 1; break;
      case vrEqual:
        Found = true;
        Hi = -1;  // ends the search with Lo = Mid
        Lo = Mid;
        break;
    }
  }
  Index = Lo;
  return Found;
}

// Up to this many pending items are inserted one by one; more are sorted and
// merged in one pass.
constexpr std::size_t MergeAtOnce = 8;
}  // namespace

void TMTIndexEh::mergePending() const {
  std::vector<TIndexItemEh> Pending;
  Pending.swap(FPending);
  if (Pending.size() <= MergeAtOnce) {
    auto* Self = const_cast<TMTIndexEh*>(this);
    for (TIndexItemEh& Item : Pending) {
      Integer Pos;
      FindKeyValueIndex(Item.Value, Pos);
      Self->InsertItem(Pos, Item.Value, std::move(Item));
    }
    return;
  }
  if (!checksUnique()) std::sort(Pending.begin(), Pending.end(), keyLess);
  // Merged from the back into the grown array: each pending item finds its
  // place by binary search, the items after it move up as one block, and no
  // buffer is needed.  Keys of several fields compare slowly, so comparing
  // every moved item would cost more than moving it.
  const auto OldSize = std::ptrdiff_t(FRecList.size());
  FRecList.resize(FRecList.size() + Pending.size());
  auto OldEnd = FRecList.begin() + OldSize;
  auto Out = FRecList.end();
  for (auto Item = Pending.rbegin(); Item != Pending.rend(); ++Item) {
    const auto Pos = std::upper_bound(FRecList.begin(), OldEnd, *Item, keyLess);
    Out = std::move_backward(Pos, OldEnd, Out);
    *--Out = std::move(*Item);
    OldEnd = Pos;
  }
}

Variant TMTIndexEh::recordKey(TMemoryRecordEh* Rec, TDataValueVersionEh Version) const {
  if (FFieldIndexes.empty()) {
    TList Fields;
    Rec->DataStruct()->GetFieldList(&Fields, FFields);
    for (Integer I = 0; I < Fields.Count(); I++)
      FFieldIndexes.push_back(static_cast<TMTDataFieldEh*>(Fields.Items(I))->Index());
  }
  return Rec->GetDataIndexValues(FFieldIndexes, Version);
}

void TMTIndexEh::RebuildIndex() {
  ClearIndex();
  if (!maintained()) return;
  TRecordsListEh* Records = RecordsList();
  FFieldIndexes.clear();  // the structure may have changed; resolved again on the first key
  FRecList.reserve(std::size_t(Records->Count()));
  for (Integer I = 0; I < Records->Count(); I++)
    FRecList.push_back(TIndexItemEh{recordKey(Records->GetRec(I), dvvValueEh), I});
  if (!FRecList.empty()) QuickSort(0, Count() - 1);
  if (checksUnique()) CheckUnique();
}

void TMTIndexEh::QuickSort(Integer L, Integer R) {
  items();
  auto less = [](const Variant& A, const Variant& B) { return CompareVariantsEh(A, B) == vrLessThan; };
  auto greater = [](const Variant& A, const Variant& B) { return CompareVariantsEh(A, B) == vrGreaterThan; };
  Integer I;
  do {
    I = L;
    Integer J = R;
    Integer P = (L + R) / 2;
    do {
      while (less(FRecList[I].Value, FRecList[P].Value)) I++;
      while (greater(FRecList[J].Value, FRecList[P].Value)) J--;
      if (I <= J) {
        std::swap(FRecList[I], FRecList[J]);
        if (P == I)
          P = J;
        else if (P == J)
          P = I;
        I++;
        J--;
      }
    } while (I <= J);
    if (L < J) QuickSort(L, J);
    L = I;
  } while (I < R);
}

void TMTIndexEh::CheckUnique() {
  if (items().empty()) return;
  Variant Previous = FRecList[0].Value;
  for (Integer I = 1; I < Count(); I++) {
    const Variant& Key = FRecList[I].Value;
    if (VarIsNull(Previous) || CompareVariantsEh(Previous, Key) != vrEqual)
      Previous = Key;
    else
      raiseViolation(Key);
  }
}

void TMTIndexEh::raiseViolation(const Variant& Key) const {
  const String CRLF = QStringLiteral("\r\n");
  throw EUniqueKeyViolationEh(QStringLiteral("Unique key violation ") + CRLF + QStringLiteral(" FieldNames: ") +
                                  FFields + CRLF + QStringLiteral(" Value: \"") + VarToStrArrayEh(Key) + u'"',
                              FFields, Key);
}

bool TMTIndexEh::FindKeyValueIndex(const Variant& Value, Integer& Index) const {
  return searchItems(items(), Value, Index);
}

void TMTIndexEh::deferAppend(Variant Key, Integer RecIndex) {
  TIndexItemEh Item{std::move(Key), RecIndex};
  if (!checksUnique()) {
    FPending.push_back(std::move(Item));
    return;
  }
  // A unique index searches its pending items on every add, so it keeps them
  // sorted and merges them once they pass about the square root of the
  // index's size: inserts and merges then cost about the same.
  FPending.insert(std::upper_bound(FPending.begin(), FPending.end(), Item, keyLess), std::move(Item));
  if (FPending.size() * FPending.size() > FRecList.size() + 4096) mergePending();
}

bool TMTIndexEh::FindRecordIndexByKey(const Variant& Value, Integer& Index) const {
  const bool Found = FindKeyValueIndex(Value, Index);
  if (Found) Index = FRecList[Index].RecIndex;
  return Found;
}

void TMTIndexEh::FillMatchedKeyList(const Variant& Value, std::vector<const TIndexItemEh*>& List) const {
  Integer Found;
  if (!FindKeyValueIndex(Value, Found)) return;
  auto equalAt = [&](Integer I) { return CompareVariantsEh(FRecList[I].Value, Value) == vrEqual; };
  for (Integer I = Found - 1; I >= 0 && equalAt(I); I--) List.push_back(&FRecList[I]);
  for (Integer I = Found; I < Count() && equalAt(I); I++) List.push_back(&FRecList[I]);
}

void TMTIndexEh::FillMatchedRecsList(const Variant& Value, std::vector<TMemoryRecordEh*>& List) const {
  std::vector<const TIndexItemEh*> Items;
  FillMatchedKeyList(Value, Items);
  for (const TIndexItemEh* Item : Items) List.push_back(RecordsList()->GetRec(Item->RecIndex));
}

Integer TMTIndexEh::ownItemIndex(const Variant& Key, Integer RecIndex) const {
  Integer Found;
  if (!FindKeyValueIndex(Key, Found)) return -1;
  // Equal keys sit together around the found item; the record's own item is
  // among them (a non-unique index may hold many).
  auto equalAt = [&](Integer I) { return CompareVariantsEh(FRecList[I].Value, Key) == vrEqual; };
  for (Integer I = Found; I >= 0 && equalAt(I); I--)
    if (FRecList[I].RecIndex == RecIndex) return I;
  for (Integer I = Found + 1; I < Count() && equalAt(I); I++)
    if (FRecList[I].RecIndex == RecIndex) return I;
  return -1;
}

void TMTIndexEh::shiftRecIndexes(Integer From, Integer Delta) {
  for (auto& Item : FRecList)
    if (Item.RecIndex >= From) Item.RecIndex += Delta;
}

void TMTIndexEh::InsertItem(Integer Index, const Variant&, TIndexItemEh Item) {
  FRecList.insert(FRecList.begin() + Index, std::move(Item));
}

void TMTIndexEh::DataEvent(TMemoryRecordEh* Rec, Integer Index, TRecordsListNotification Action) {
  if (!maintained()) return;
  Integer Pos;
  switch (Action) {
    case rlnRecAddingEh:
      if (checksUnique()) {
        const Variant Key = recordKey(Rec, dvvValueEh);
        if (searchItems(FRecList, Key, Pos) || searchItems(FPending, Key, Pos)) raiseViolation(Key);
      }
      break;
    case rlnRecAddedEh: {
      Variant Key = recordKey(Rec, dvvValueEh);
      if (Index == RecordsList()->Count() - 1) {
        deferAppend(std::move(Key), Index);
        break;
      }
      FindKeyValueIndex(Key, Pos);
      // Records marked for deletion have no item, so an insert before the
      // end of the records list may precede items even when Index >= Count.
      if (Index < RecordsList()->Count() - 1) shiftRecIndexes(Index, +1);
      InsertItem(Pos, Key, TIndexItemEh{Key, Index});
      break;
    }
    case rlnRecChangingEh:
      FOldValue = recordKey(Rec, dvvCurValueEh);
      if (checksUnique()) {
        const Variant Key = recordKey(Rec, dvvValueEh);
        if (CompareVariantsEh(Key, FOldValue) != vrEqual && FindKeyValueIndex(Key, Pos)) raiseViolation(Key);
      }
      break;
    case rlnRecChangedEh: {
      const Integer OldPos = ownItemIndex(FOldValue, Index);
      if (OldPos < 0) break;
      const Variant Key = recordKey(Rec, dvvValueEh);
      FindKeyValueIndex(Key, Pos);
      FRecList[OldPos].Value = Key;
      if (Pos > OldPos) Pos--;
      auto Item = std::move(FRecList[OldPos]);
      FRecList.erase(FRecList.begin() + OldPos);
      FRecList.insert(FRecList.begin() + Pos, std::move(Item));
      break;
    }
    case rlnRecDeletedEh:
      Pos = ownItemIndex(recordKey(Rec, dvvValueEh), Index);
      if (Pos >= 0) FRecList.erase(FRecList.begin() + Pos);
      shiftRecIndexes(Index, -1);
      break;
    case rlnRecMarkedForDelEh:
      Pos = ownItemIndex(recordKey(Rec, dvvValueEh), Index);
      if (Pos >= 0) FRecList.erase(FRecList.begin() + Pos);
      break;
    case rlnListChangedEh: RebuildIndex(); break;
    default: break;
  }
}

void TMTIndexEh::RecordMoved(TMemoryRecordEh*, Integer OldIndex, Integer NewIndex) {
  items();
  for (auto& Item : FRecList) {
    Integer& R = Item.RecIndex;
    if (R == OldIndex)
      R = NewIndex;
    else if (NewIndex < OldIndex && R >= NewIndex && R < OldIndex)
      R++;
    else if (NewIndex > OldIndex && R > OldIndex && R <= NewIndex)
      R--;
  }
}

bool TMTIndexEh::CheckConsistency() const {
  if (!maintained()) return items().empty();
  TRecordsListEh* Records = RecordsList();
  std::set<Integer> Seen;
  for (Integer I = 0; I < Count(); I++) {
    const TIndexItemEh& Item = FRecList[I];
    if (I > 0 && CompareVariantsEh(FRecList[I - 1].Value, Item.Value) == vrGreaterThan) return false;
    if (Item.RecIndex < 0 || Item.RecIndex >= Records->Count() || !Seen.insert(Item.RecIndex).second) return false;
    TMemoryRecordEh* Rec = Records->GetRec(Item.RecIndex);
    if (Rec->UpdateStatus() == usDeleted) return false;
    if (!VariantsEqualEh(recordKey(Rec, dvvValueEh), Item.Value)) return false;
  }
  for (Integer I = 0; I < Records->Count(); I++)
    if (Records->GetRec(I)->UpdateStatus() != usDeleted && !Seen.count(I)) return false;
  return true;
}

void TMTIndexEh::SetActive(bool Value) {
  if (Value == FActive) return;
  FActive = Value;
  if (Value)
    RebuildIndex();
  else
    ClearIndex();
}

void TMTIndexEh::SetFields(const String& Value) {
  if (Value == FFields) return;
  FFields = Value;
  RebuildIndex();
}

void TMTIndexEh::SetPrimary(bool Value) {
  if (Value == FPrimary) return;
  FPrimary = Value;
  RebuildIndex();
}

void TMTIndexEh::SetUnique(bool Value) {
  if (Value == FUnique) return;
  FUnique = Value;
  RebuildIndex();
}

// ---------------------------------------------------------------------------
// TMTIndexesEh

TMTIndexesEh::TMTIndexesEh(TRecordsListEh* ARecList) : TCollection(TMTIndexEh::StaticClass()), FRecList(ARecList) {}

TMTIndexEh* TMTIndexesEh::GetIndexForFields(const String& Fields) const {
  for (Integer I = 0; I < Count(); I++)
    if (AnsiSameText(GetItem(I)->Fields(), Fields)) return GetItem(I);
  return nullptr;
}

void TMTIndexesEh::DataEvent(TMemoryRecordEh* Rec, Integer Index, TRecordsListNotification Action) {
  for (Integer I = 0; I < Count(); I++) GetItem(I)->DataEvent(Rec, Index, Action);
}

void TMTIndexesEh::UpdateIndexes() { DataEvent(nullptr, -1, rlnListChangedEh); }

void TMTIndexesEh::RecordMoved(TMemoryRecordEh* Item, Integer OldIndex, Integer NewIndex) {
  for (Integer I = 0; I < Count(); I++) GetItem(I)->RecordMoved(Item, OldIndex, NewIndex);
}
