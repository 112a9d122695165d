// The records a dataset fetched, their orders and the view it shows.
//
// Every record has an id (1-based, never reused while the dataset is open)
// and one packed row.  Three sequences index the records:
//
//   natural order  every record not removed, in fetch order; new records go
//                  where the dataset put them (before the current one, or at
//                  the end); a record's rank is its place here
//   sorted         the records not hidden (deleted), ordered by the key
//                  columns of the order, ties by rank; with no key columns
//                  it is the natural order
//   view (TFDView) the records the dataset shows: a subsequence of sorted
//                  (a range and a filter), so it is ordered the same way
//
// Invariants: ranks are 0..N-1 along the natural order; sorted is strictly
// increasing under Compare (keys, then rank), so any record is found by
// binary search with its current row; a row changes only through SetRow,
// which moves the record to its new place.  Appends while loading make the
// sorted sequence stale; it is sorted once when next read.
#pragma once

#include "platform/fd/fdrow.h"

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

using TFDRecordId = std::uint32_t;
inline constexpr TFDRecordId NoRecordId = 0;

// One key column: ascending unless Descending; text compared by code point,
// after Unicode case folding when CaseInsensitive.
struct TFDOrderColumn {
  int Column = 0;
  bool Descending = false;
  bool CaseInsensitive = false;
};

// Compares rows by key columns; an empty order finds all rows equal.  Nulls
// come first ascending and last descending (they are the lowest values).
class TFDRowOrder {
public:
  TFDRowOrder() = default;
  explicit TFDRowOrder(std::vector<TFDOrderColumn> Columns) : FColumns(std::move(Columns)) {}

  const std::vector<TFDOrderColumn>& Columns() const { return FColumns; }
  bool Empty() const { return FColumns.empty(); }
  int Compare(const TFDRow& A, const TFDRow& B) const;
  // The first Keys.size() key columns of Row against Keys.
  int CompareKeys(const TFDRow& Row, std::span<const TFDValueRef> Keys) const;
  static int CompareValues(const TFDValueRef& A, const TFDValueRef& B, const TFDOrderColumn& Column);

private:
  std::vector<TFDOrderColumn> FColumns;
};

class TFDRecordStore {
public:
  // Forgets every record (ids start again at 1) but keeps the order.
  void Clear();

  // records
  // A new record at the end of the natural order.
  TFDRecordId Append(TFDRow Row);
  // A new record before Before in the natural order (NoRecordId: at the
  // end); FirstPlace puts it first instead.
  TFDRecordId Insert(TFDRecordId Before, TFDRow Row, bool FirstPlace = false);
  // A new record outside every order, until Rebuild places it.
  TFDRecordId AddUnplaced(TFDRow Row);
  bool Exists(TFDRecordId Id) const { return Id != NoRecordId && Id <= FRows.size() && !FRows[Id - 1].IsEmpty(); }
  bool IsHidden(TFDRecordId Id) const { return FHidden[Id - 1]; }
  const TFDRow& Row(TFDRecordId Id) const { return FRows[Id - 1]; }
  // Replaces the row and moves the record to its place in sorted.
  void SetRow(TFDRecordId Id, TFDRow Row);
  // Replaces the row and leaves sorted to be sorted again (for many rows).
  void ReplaceRow(TFDRecordId Id, TFDRow Row);
  // Hidden records (deleted ones) stay in the natural order but leave sorted.
  void Hide(TFDRecordId Id);
  void Show(TFDRecordId Id);
  // The record is gone for good (a cancelled insert).
  void Remove(TFDRecordId Id);
  // Records not removed, hidden ones included.
  int Count() const { return int(FNatural.size()); }
  const std::vector<TFDRecordId>& Natural() const { return FNatural; }
  // Refresh: Natural lists every record to keep, in its new natural order;
  // every other record is removed.
  void Rebuild(std::vector<TFDRecordId> Natural);

  // the sorted sequence
  const TFDRowOrder& Order() const { return FOrder; }
  void SetOrder(TFDRowOrder Order);
  const std::vector<TFDRecordId>& Sorted();
  // <0, 0 (the same record) or >0 in sorted order.
  int Compare(TFDRecordId A, TFDRecordId B) const;
  // Where Id is in sorted, or would be when hidden.
  int LowerBound(TFDRecordId Id);
  // The slice of sorted whose first Keys.size() key columns equal Keys.
  std::pair<int, int> EqualRange(std::span<const TFDValueRef> Keys);

  // For asserts and tests: ranks, natural order and sorted agree.
  bool CheckConsistency();

private:
  void rank(std::size_t From);
  void place(TFDRecordId Id);
  void unplace(TFDRecordId Id);
  void sortAll();

  std::vector<TFDRow> FRows;           // by id - 1; an empty row: removed
  std::vector<bool> FHidden;           // by id - 1
  std::vector<std::uint32_t> FRank;    // by id - 1: place in FNatural
  std::vector<TFDRecordId> FNatural;
  std::vector<TFDRecordId> FSorted;
  bool FSortedStale = false;
  TFDRowOrder FOrder;
};

// The records a dataset shows, in sorted order: either a slice of the
// store's sorted sequence (cheap to make) or a list of its own (filtered).
// A view is valid until the store changes.
class TFDView {
public:
  void Clear();
  void SetSlice(const std::vector<TFDRecordId>* Sorted, int Lo, int Hi);
  void SetList(std::vector<TFDRecordId> Ids);
  int Size() const { return FSorted ? FHi - FLo : int(FList.size()); }
  TFDRecordId At(int Pos) const { return FSorted ? (*FSorted)[FLo + Pos] : FList[Pos]; }
  // The position of Id, -1 when it is not shown; InsertAt gets where it
  // would be.
  int Find(const TFDRecordStore& Store, TFDRecordId Id, int* InsertAt = nullptr) const;

private:
  const std::vector<TFDRecordId>* FSorted = nullptr;  // the slice's sequence; nullptr: the list
  int FLo = 0;
  int FHi = 0;
  std::vector<TFDRecordId> FList;
};
