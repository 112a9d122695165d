#include "platform/fd/fdstore.h"

#include <QString>

#include <algorithm>
#include <cassert>
#include <cstring>
#include <numeric>

namespace {

QByteArray foldedText(const TFDValueRef& Value) {
  return QString::fromUtf8(Value.Data, qsizetype(Value.Size)).toCaseFolded().toUtf8();
}

}  // namespace

// ---------------------------------------------------------------------------
// TFDRowOrder

int TFDRowOrder::CompareValues(const TFDValueRef& A, const TFDValueRef& B, const TFDOrderColumn& Column) {
  int Result;
  if (Column.CaseInsensitive && A.Kind == TFDValueKind::Text && B.Kind == TFDValueKind::Text) {
    const QByteArray FoldedA = foldedText(A);
    const QByteArray FoldedB = foldedText(B);
    Result = FDCompareValues(TFDValueRef::Text(FoldedA.constData(), std::size_t(FoldedA.size())),
                             TFDValueRef::Text(FoldedB.constData(), std::size_t(FoldedB.size())));
  } else {
    Result = FDCompareValues(A, B);
  }
  return Column.Descending ? -Result : Result;
}

int TFDRowOrder::Compare(const TFDRow& A, const TFDRow& B) const {
  for (const TFDOrderColumn& Column : FColumns)
    if (const int Result = CompareValues(A.Value(Column.Column), B.Value(Column.Column), Column)) return Result;
  return 0;
}

int TFDRowOrder::CompareKeys(const TFDRow& Row, std::span<const TFDValueRef> Keys) const {
  assert(Keys.size() <= FColumns.size() && "more keys than key columns");
  for (std::size_t I = 0; I < Keys.size(); ++I)
    if (const int Result = CompareValues(Row.Value(FColumns[I].Column), Keys[I], FColumns[I])) return Result;
  return 0;
}

// ---------------------------------------------------------------------------
// TFDRecordStore: records

void TFDRecordStore::Clear() {
  FRows.clear();
  FHidden.clear();
  FRank.clear();
  FNatural.clear();
  FSorted.clear();
  FSortedStale = false;
}

TFDRecordId TFDRecordStore::AddUnplaced(TFDRow Row) {
  FRows.push_back(std::move(Row));
  FHidden.push_back(false);
  FRank.push_back(0);
  return TFDRecordId(FRows.size());
}

TFDRecordId TFDRecordStore::Append(TFDRow Row) {
  const TFDRecordId Id = AddUnplaced(std::move(Row));
  FRank[Id - 1] = std::uint32_t(FNatural.size());
  FNatural.push_back(Id);
  // Without key columns sorted is the natural order; with them a bulk load
  // sorts once, later than each append could.
  if (FOrder.Empty() && !FSortedStale)
    FSorted.push_back(Id);
  else
    FSortedStale = true;
  return Id;
}

TFDRecordId TFDRecordStore::Insert(TFDRecordId Before, TFDRow Row, bool FirstPlace) {
  if (!FirstPlace && !Exists(Before)) return Append(std::move(Row));
  const TFDRecordId Id = AddUnplaced(std::move(Row));
  const std::size_t At = FirstPlace ? 0 : FRank[Before - 1];
  FNatural.insert(FNatural.begin() + std::ptrdiff_t(At), Id);
  rank(At);
  place(Id);
  return Id;
}

void TFDRecordStore::SetRow(TFDRecordId Id, TFDRow Row) {
  assert(Exists(Id) && "a row for a removed record");
  const bool Placed = !FHidden[Id - 1];
  if (Placed) unplace(Id);
  FRows[Id - 1] = std::move(Row);
  if (Placed) place(Id);
}

void TFDRecordStore::ReplaceRow(TFDRecordId Id, TFDRow Row) {
  FRows[Id - 1] = std::move(Row);
  FSortedStale = true;
}

void TFDRecordStore::Hide(TFDRecordId Id) {
  if (FHidden[Id - 1]) return;
  unplace(Id);
  FHidden[Id - 1] = true;
}

void TFDRecordStore::Show(TFDRecordId Id) {
  if (!FHidden[Id - 1]) return;
  FHidden[Id - 1] = false;
  place(Id);
}

void TFDRecordStore::Remove(TFDRecordId Id) {
  if (!Exists(Id)) return;
  Hide(Id);
  const std::size_t At = FRank[Id - 1];
  assert(FNatural[At] == Id && "rank out of step with the natural order");
  FNatural.erase(FNatural.begin() + std::ptrdiff_t(At));
  rank(At);
  FRows[Id - 1] = TFDRow();
}

void TFDRecordStore::Rebuild(std::vector<TFDRecordId> Natural) {
  std::vector<bool> Kept(FRows.size(), false);
  for (TFDRecordId Id : Natural) Kept[Id - 1] = true;
  for (std::size_t I = 0; I < FRows.size(); ++I)
    if (!Kept[I]) FRows[I] = TFDRow();
  FNatural = std::move(Natural);
  rank(0);
  FSorted.clear();
  FSortedStale = true;
}

void TFDRecordStore::rank(std::size_t From) {
  for (std::size_t I = From; I < FNatural.size(); ++I) FRank[FNatural[I] - 1] = std::uint32_t(I);
}

// ---------------------------------------------------------------------------
// TFDRecordStore: the sorted sequence

void TFDRecordStore::SetOrder(TFDRowOrder Order) {
  FOrder = std::move(Order);
  FSortedStale = true;
}

const std::vector<TFDRecordId>& TFDRecordStore::Sorted() {
  if (FSortedStale) sortAll();
  return FSorted;
}

int TFDRecordStore::Compare(TFDRecordId A, TFDRecordId B) const {
  if (A == B) return 0;
  if (const int Result = FOrder.Compare(FRows[A - 1], FRows[B - 1])) return Result;
  return FRank[A - 1] < FRank[B - 1] ? -1 : 1;
}

int TFDRecordStore::LowerBound(TFDRecordId Id) {
  const std::vector<TFDRecordId>& Ids = Sorted();
  const auto At =
      std::lower_bound(Ids.begin(), Ids.end(), Id, [this](TFDRecordId A, TFDRecordId B) { return Compare(A, B) < 0; });
  return int(At - Ids.begin());
}

std::pair<int, int> TFDRecordStore::EqualRange(std::span<const TFDValueRef> Keys) {
  const std::vector<TFDRecordId>& Ids = Sorted();
  const auto Lo = std::partition_point(Ids.begin(), Ids.end(), [&](TFDRecordId Id) {
    return FOrder.CompareKeys(FRows[Id - 1], Keys) < 0;
  });
  const auto Hi = std::partition_point(Lo, Ids.end(), [&](TFDRecordId Id) {
    return FOrder.CompareKeys(FRows[Id - 1], Keys) <= 0;
  });
  return {int(Lo - Ids.begin()), int(Hi - Ids.begin())};
}

void TFDRecordStore::place(TFDRecordId Id) {
  if (FSortedStale) return;
  FSorted.insert(FSorted.begin() + LowerBound(Id), Id);
}

void TFDRecordStore::unplace(TFDRecordId Id) {
  if (FSortedStale) return;
  const int At = LowerBound(Id);
  assert(At < int(FSorted.size()) && FSorted[At] == Id && "a record was changed outside SetRow");
  FSorted.erase(FSorted.begin() + At);
}

void TFDRecordStore::sortAll() {
  FSortedStale = false;
  FSorted.clear();
  FSorted.reserve(FNatural.size());
  for (TFDRecordId Id : FNatural)
    if (!FHidden[Id - 1]) FSorted.push_back(Id);
  if (FOrder.Empty()) return;

  // The key values of every record, read once; case-insensitive text is
  // folded once here too, so the sort itself only compares references.
  const std::vector<TFDOrderColumn>& Columns = FOrder.Columns();
  const std::size_t KeyCount = Columns.size();
  const std::size_t Count = FSorted.size();
  std::vector<TFDValueRef> Keys(Count * KeyCount);
  std::vector<QByteArray> Folded;
  for (std::size_t I = 0; I < Count; ++I) {
    const TFDRow& Row = FRows[FSorted[I] - 1];
    for (std::size_t K = 0; K < KeyCount; ++K) {
      TFDValueRef Value = Row.Value(Columns[K].Column);
      if (Columns[K].CaseInsensitive && Value.Kind == TFDValueKind::Text) {
        Folded.push_back(foldedText(Value));
        Value = TFDValueRef::Text(Folded.back().constData(), std::size_t(Folded.back().size()));
      }
      Keys[I * KeyCount + K] = Value;
    }
  }
  std::vector<std::uint32_t> Order(Count);
  std::iota(Order.begin(), Order.end(), 0);
  // Stable over the natural order: ties keep their rank order.
  std::stable_sort(Order.begin(), Order.end(), [&](std::uint32_t A, std::uint32_t B) {
    for (std::size_t K = 0; K < KeyCount; ++K) {
      int Result = FDCompareValues(Keys[A * KeyCount + K], Keys[B * KeyCount + K]);
      if (Columns[K].Descending) Result = -Result;
      if (Result != 0) return Result < 0;
    }
    return false;
  });
  std::vector<TFDRecordId> Sorted(Count);
  for (std::size_t I = 0; I < Count; ++I) Sorted[I] = FSorted[Order[I]];
  FSorted = std::move(Sorted);
}

bool TFDRecordStore::CheckConsistency() {
  for (std::size_t I = 0; I < FNatural.size(); ++I)
    if (!Exists(FNatural[I]) || FRank[FNatural[I] - 1] != I) return false;
  const std::vector<TFDRecordId>& Ids = Sorted();
  std::size_t Shown = 0;
  for (TFDRecordId Id : FNatural) Shown += FHidden[Id - 1] ? 0 : 1;
  if (Ids.size() != Shown) return false;
  for (std::size_t I = 0; I < Ids.size(); ++I) {
    if (!Exists(Ids[I]) || FHidden[Ids[I] - 1]) return false;
    if (I > 0 && Compare(Ids[I - 1], Ids[I]) >= 0) return false;
  }
  return true;
}

// ---------------------------------------------------------------------------
// TFDView

void TFDView::Clear() {
  FSorted = nullptr;
  FLo = FHi = 0;
  FList.clear();
}

void TFDView::SetSlice(const std::vector<TFDRecordId>* Sorted, int Lo, int Hi) {
  FList.clear();
  FSorted = Sorted;
  FLo = Lo;
  FHi = Hi;
}

void TFDView::SetList(std::vector<TFDRecordId> Ids) {
  FSorted = nullptr;
  FLo = FHi = 0;
  FList = std::move(Ids);
}

int TFDView::Find(const TFDRecordStore& Store, TFDRecordId Id, int* InsertAt) const {
  int Lo = 0;
  int Hi = Size();
  while (Lo < Hi) {
    const int Mid = Lo + (Hi - Lo) / 2;
    if (Store.Compare(At(Mid), Id) < 0)
      Lo = Mid + 1;
    else
      Hi = Mid;
  }
  if (InsertAt) *InsertAt = Lo;
  return Lo < Size() && At(Lo) == Id ? Lo : -1;
}
