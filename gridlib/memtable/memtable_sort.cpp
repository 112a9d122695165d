// The memory table's sorting, instant read, cached updates, totals of a range
// and moving records.
#include "gridlib/memtable/memtable.h"

#include "gridlib/base/bookmarklist.h"
#include "gridlib/memtable/datadriver.h"
#include "gridlib/memtable/memoryrecord.h"
#include "gridlib/memtable/memorytreelist.h"
#include "gridlib/memtable/memtable_storedvalues.h"
#include "gridlib/memtable/recordsview.h"
#include "platform/db/fields.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numeric>

namespace {

inline constexpr const char* SNotInInstantReadMode = "TCustomMemTableEh not in instant read mode.";
inline constexpr const char* SSortInInstantReadMode = "Sort data in InstantReadMode is not allowed.";
inline constexpr const char* SAppendBeforeAllRead =
    "Attempt to append a record before all records have been read from DataDriver.";

// The field types whose keys compare case-insensitively under CaseIns; the
// wide memo and the fixed wide text are not among them.
bool isCaseFoldedTextType(TFieldType Type) {
  switch (Type) {
    case ftString:
    case ftMemo:
    case ftFmtMemo:
    case ftFixedChar:
    case ftWideString:
    case ftOraClob:
      return true;
    default:
      return false;
  }
}

bool isFloatingVarType(TVarType Type) { return Type == varSingle || Type == varDouble || Type == varDate; }

bool isStringVarType(TVarType Type) { return Type == varString || Type == varUString || Type == varOleStr; }

Integer sign(int Value) { return Value < 0 ? -1 : (Value > 0 ? 1 : 0); }

template <class T>
Integer orderOf(const T& A, const T& B) {
  return A < B ? -1 : (B < A ? 1 : 0);
}

// How one sort item compares: under CaseIns the texts of the case-folded
// types compare without case.
struct TSortRuleEh {
  bool Desc = false;
  bool FoldCase = false;
};

TSortRuleEh sortRule(const TOrderByItemEh& Item, TFieldType DataType) {
  return {Item.Desc, Item.CaseIns && isCaseFoldedTextType(DataType)};
}

// One value under one sort item, taken apart once so that comparisons copy
// no variants and convert nothing.
struct TSortKeyEh {
  // Placed: a text replaced by its place among the texts of its column.
  enum TKind : Byte { NoValue, Integral, Floating, Text, Placed, Other };
  TKind Kind = NoValue;
  TVarType Type = varEmpty;
  Int64 Int = 0;
  double Float = 0;
  String Str;
  const Variant* Value = nullptr;  // not owned; for the general comparison
};

// V must outlive the key.
TSortKeyEh sortKey(const Variant& V, const TSortRuleEh& Rule) {
  TSortKeyEh Key;
  if (VarIsNull(V) || VarIsEmpty(V)) return Key;
  Key.Type = VarType(V);
  Key.Value = &V;
  if (Rule.FoldCase || isStringVarType(Key.Type)) {
    Key.Kind = TSortKeyEh::Text;
    Key.Str = VarToStr(V);
  } else if (isInt64VarType(Key.Type)) {
    Key.Kind = TSortKeyEh::Integral;
    Key.Int = V.AsInt64();
  } else if (isFloatingVarType(Key.Type)) {
    Key.Kind = TSortKeyEh::Floating;
    Key.Float = V.AsDouble();
  } else {
    Key.Kind = TSortKeyEh::Other;
  }
  return Key;
}

// One key pair under one sort item: no value first; texts by the locale;
// the rest as the variant comparison orders them, where values that cannot
// be ordered (a NaN among them) count as equal.  That last rule makes the
// order no strict weak order over mixed variants, which the records list's
// sort and the ranking's stable sort both tolerate.
Integer compareSortKeys(const TSortKeyEh& K1, const TSortKeyEh& K2, const TSortRuleEh& Rule) {
  Integer Result = 0;
  if (K1.Kind == TSortKeyEh::NoValue || K2.Kind == TSortKeyEh::NoValue) {
    Result = orderOf(K1.Kind != TSortKeyEh::NoValue, K2.Kind != TSortKeyEh::NoValue);
  } else if (K1.Kind == TSortKeyEh::Placed) {
    Result = orderOf(K1.Int, K2.Int);
  } else if (Rule.FoldCase) {
    Result = sign(AnsiCompareText(K1.Str, K2.Str));
  } else if (K1.Kind == TSortKeyEh::Text && K1.Type == K2.Type) {
    Result = sign(AnsiCompareStr(K1.Str, K2.Str));
  } else if (K1.Kind == TSortKeyEh::Integral && K2.Kind == TSortKeyEh::Integral) {
    Result = orderOf(K1.Int, K2.Int);
  } else if (K1.Kind == TSortKeyEh::Floating && K2.Kind == TSortKeyEh::Floating) {
    Result = std::isnan(K1.Float) || std::isnan(K2.Float) ? 0 : orderOf(K1.Float, K2.Float);
  } else {
    switch (VarCompareValue(*K1.Value, *K2.Value)) {
      case vrLessThan: Result = -1; break;
      case vrGreaterThan: Result = 1; break;
      default: Result = 0; break;
    }
  }
  return Rule.Desc ? -Result : Result;
}

Integer compareKeyValues(const Variant& V1, const Variant& V2, const TSortRuleEh& Rule) {
  return compareSortKeys(sortKey(V1, Rule), sortKey(V2, Rule), Rule);
}

// The column of keys at Column of each Width-key row, when its values are
// all texts the locale compares (or none), becomes their places among its
// distinct texts: the locale's comparison then runs some m log2 m times for
// m distinct texts, not for every pair of rows the sort compares.  Texts
// the locale holds equal share a place.
void placeTexts(std::vector<TSortKeyEh>& Keys, size_t Column, size_t Width, const TSortRuleEh& Rule) {
  std::vector<TSortKeyEh*> Texts;
  QHash<String, Int64> Places;
  for (size_t At = Column; At < Keys.size(); At += Width) {
    TSortKeyEh& Key = Keys[At];
    if (Key.Kind == TSortKeyEh::NoValue) continue;
    // Another kind, or texts of two kinds, compare otherwise.
    if (Key.Kind != TSortKeyEh::Text || (!Rule.FoldCase && !Texts.empty() && Texts.front()->Type != Key.Type)) return;
    Texts.push_back(&Key);
    Places.insert(Key.Str, 0);
  }
  const auto compare = [&Rule](const String& S1, const String& S2) {
    return Rule.FoldCase ? AnsiCompareText(S1, S2) : AnsiCompareStr(S1, S2);
  };
  std::vector<String> Distinct;
  Distinct.reserve(size_t(Places.size()));
  for (auto It = Places.keyBegin(); It != Places.keyEnd(); ++It) Distinct.push_back(*It);
  std::stable_sort(Distinct.begin(), Distinct.end(),
                   [&compare](const String& S1, const String& S2) { return compare(S1, S2) < 0; });
  Int64 Place = 0;
  for (size_t I = 0; I < Distinct.size(); ++I) {
    if (I > 0 && compare(Distinct[I - 1], Distinct[I]) != 0) ++Place;
    Places[Distinct[I]] = Place;
  }
  for (TSortKeyEh* Key : Texts) {
    Key->Int = Places.value(Key->Str);
    Key->Kind = TSortKeyEh::Placed;
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// TMTOrderByList

void TMTOrderByList::SetItemFieldIndex(TOrderByItemEh* Item, Integer FieldIndex) {
  Item->FieldIndex = FieldIndex;
  Item->DataType = FDataSet->Fields()->Fields(FieldIndex)->DataType();
  Item->CaseIns = FDataSet->FilterOptions().Contains(foCaseInsensitive);
}

Integer TMTOrderByList::FieldIndexOfName(const String& Name) {
  TField* Field = FDataSet->FindField(Name);
  return Field ? Field->Index() : -1;
}

// ---------------------------------------------------------------------------
// sorting

void TCustomMemTableEh::SetSortOrder(const String& Value) {
  if (Value == FSortOrder) return;
  FSortOrder = Value;
  ApplySortOrder();
}

void TCustomMemTableEh::ApplySortOrder() {
  beginRankedSort();
  const TScopeExit End([this] { endRankedSort(); });
  FRecordsView->SetSortOrder(Active() ? FSortOrder : String());
}

void TCustomMemTableEh::SortByFields(const String& SortByStr) { InternalSortByFields(SortByStr); }

void TCustomMemTableEh::InternalSortByFields(const String& SortByStr) {
  if (SortByStr.isEmpty()) return;
  std::unique_ptr<TMTOrderByList> OrderByList(ParseSortByFields(SortByStr));
  SortByOrderList(OrderByList.get());
}

TMTOrderByList* TCustomMemTableEh::ParseSortByFields(const String& SortByStr) {
  auto OrderByList = std::make_unique<TMTOrderByList>(this);
  OrderByList->ParseOrderByStr(SortByStr);
  return OrderByList.release();
}

void TCustomMemTableEh::SortByOrderList(TMTOrderByList* OrderByList) {
  if (!Active() || !FRecordsView || FRecordsView->ViewItemsCount() == 0) return;
  CheckBrowseMode();
  if (FInstantReadMode) throw Exception(QString::fromLatin1(SSortInInstantReadMode));
  beginRankedSort();
  const TScopeExit End([this] { endRankedSort(); });
  if (FRecordsView->ViewAsTreeList())
    FRecordsView->MemoryTreeList()->SortData(TCompareNodesEh(this, &TCustomMemTableEh::CompareTreeNodes),
                                             OrderByList, /*ARecurse=*/true);
  else
    FRecordsView->MemTableData()->RecordsList()->SortData(TCompareRecords(this, &TCustomMemTableEh::CompareRecords),
                                                          OrderByList);
  ClearBuffers();
  Resync({});
}

void TCustomMemTableEh::SortWithExternalProc(const TGetOrderVarValueProcEh& OrderValueProc,
                                             const TExternalSortDataArrEh& DescDirections) {
  TMTOrderByList OrderByList(this);
  const bool CaseIns = FilterOptions().Contains(foCaseInsensitive);
  for (size_t I = 0; I < DescDirections.size(); ++I) {
    auto* Item = new TOrderByItemEh;
    Item->FieldIndex = -1;
    Item->Desc = DescDirections[I].Desc;
    Item->DataType = DescDirections[I].DataType;
    Item->CaseIns = CaseIns;
    Item->ExtObjIndex = Integer(I);
    OrderByList.Add(Item);
  }
  computeExternalSortKeys(OrderValueProc, Integer(DescDirections.size()));
  FGetOrderVarValueProc = OrderValueProc;
  const TScopeExit Clear([this] { FGetOrderVarValueProc.Clear(); });
  SortByOrderList(&OrderByList);
}

// One key per record, in records-list order, each computed while the fields
// show that record.
void TCustomMemTableEh::computeExternalSortKeys(const TGetOrderVarValueProcEh& OrderValueProc, Integer KeyCount) {
  TRecordsListEh* List = FRecordsView->MemTableData()->RecordsList();
  FSortingValues.assign(size_t(List->Count()), Null());
  for (Integer I = 0; I < List->Count(); ++I) {
    InstantReadEnter(List->Rec(I), -1);
    const TScopeExit Leave([this] { InstantReadLeave(); });
    Variant VarValue = Null();
    if (KeyCount < 2) {
      OrderValueProc(VarValue, 0);
    } else {
      Variant Keys = VarArrayCreate({0, KeyCount - 1}, varVariant);
      for (Integer J = 0; J < KeyCount; ++J) {
        VarValue = Null();
        OrderValueProc(VarValue, J);
        VarArrayPut(Keys, VarValue, J);
      }
      VarValue = Keys;
    }
    FSortingValues[size_t(I)] = VarValue;
  }
}

Integer TCustomMemTableEh::CompareRecords(TMemoryRecordEh* Rec1, TMemoryRecordEh* Rec2, TObject* ParamSort) {
  if (FSortRanks.Depth > 0) {
    if (ParamSort != FSortRanks.For) rankRecords(ParamSort);
    const std::vector<Integer>& Rank = FSortRanks.Rank;
    const Integer At1 = Rec1->Index();
    const Integer At2 = Rec2->Index();
    if (At1 >= 0 && At2 >= 0 && size_t(At1) < Rank.size() && size_t(At2) < Rank.size())
      return Rank[size_t(At1)] - Rank[size_t(At2)];
  }
  auto* OrderByList = dynamic_cast<TOrderByList*>(ParamSort);
  if (!OrderByList || OrderByList->Count() == 0 || Fields()->Count() == 0) return Rec1->Index() - Rec2->Index();
  const Integer Result =
      sortsByKeys(OrderByList) ? compareByKeys(Rec1, Rec2, OrderByList) : compareByDataFields(Rec1, Rec2, OrderByList);
  // Equal keys keep the records' previous order.
  return Result != 0 ? Result : Rec1->Index() - Rec2->Index();
}

Integer TCustomMemTableEh::CompareTreeNodes(TBaseTreeNodeEh* Node1, TBaseTreeNodeEh* Node2, TObject* ParamSort) {
  return CompareRecords(static_cast<TMemRecViewEh*>(Node1)->Rec(), static_cast<TMemRecViewEh*>(Node2)->Rec(),
                        ParamSort);
}

// Calculated and lookup keys live only in the fields, external keys only in
// FSortingValues: those sorts compare whole keys, not stored values.
bool TCustomMemTableEh::sortsByKeys(TOrderByList* OrderByList) {
  if (FGetOrderVarValueProc.Assigned()) return true;
  if (!dynamic_cast<TMTOrderByList*>(OrderByList)) return false;
  for (Integer I = 0; I < OrderByList->Count(); ++I) {
    const Integer FieldIndex = OrderByList->Items(I)->FieldIndex;
    if (FieldIndex >= 0 && Fields()->Fields(FieldIndex)->FieldNo() <= 0) return true;
  }
  return false;
}

Variant TCustomMemTableEh::sortKeyOf(TMemoryRecordEh* Rec, TOrderByList* OrderByList, Integer ViewRow) {
  if (FGetOrderVarValueProc.Assigned()) return FSortingValues[size_t(Rec->Index())];
  if (ViewRow >= 0)
    InstantReadEnter(FRecordsView->RecordView(ViewRow), -1);
  else
    InstantReadEnter(Rec, -1);
  const TScopeExit Leave([this] { InstantReadLeave(); });
  const auto fieldValue = [&](Integer I) { return Fields()->Fields(OrderByList->Items(I)->FieldIndex)->AsVariant(); };
  if (OrderByList->Count() == 1) return fieldValue(0);
  Variant Keys = VarArrayCreate({0, OrderByList->Count() - 1}, varVariant);
  for (Integer I = 0; I < OrderByList->Count(); ++I) VarArrayPut(Keys, fieldValue(I), I);
  return Keys;
}

Integer TCustomMemTableEh::compareByKeys(TMemoryRecordEh* Rec1, TMemoryRecordEh* Rec2, TOrderByList* OrderByList) {
  const Variant Key1 = sortKeyOf(Rec1, OrderByList, FRecordsView->IndexOfRec(Rec1));
  const Variant Key2 = sortKeyOf(Rec2, OrderByList, FRecordsView->IndexOfRec(Rec2));
  if (OrderByList->Count() == 1) {
    const TOrderByItemEh& Item = *OrderByList->Items(0);
    return compareKeyValues(Key1, Key2, sortRule(Item, Item.DataType));
  }
  for (Integer I = 0; I < OrderByList->Count(); ++I) {
    const TOrderByItemEh& Item = *OrderByList->Items(I);
    if (const Integer Result = compareKeyValues(VarArrayGet(Key1, I), VarArrayGet(Key2, I), sortRule(Item, Item.DataType)))
      return Result;
  }
  return 0;
}

namespace {

// A sort item over a stored value: where the records hold it and how it
// compares.
struct TStoredSortItemEh {
  Integer DataIndex = -1;
  TSortRuleEh Rule;
};

// False for an item naming no stored value, which the sort passes over.
bool storedSortItem(TDataSet* Table, TMTDataStructEh* Struct, const TOrderByItemEh& Item, TStoredSortItemEh& Result) {
  if (Item.FieldIndex < 0 || !Table->Active()) {
    if (Item.MTFieldIndex < 0) return false;
    Result = {Item.MTFieldIndex, sortRule(Item, Struct->GetDataField(Item.MTFieldIndex)->DataType())};
    return true;
  }
  TField* Field = Table->Fields()->Fields(Item.FieldIndex);
  Result = {Field->FieldNo() - 1, sortRule(Item, Field->DataType())};
  return true;
}

}  // namespace

Integer TCustomMemTableEh::compareByDataFields(TMemoryRecordEh* Rec1, TMemoryRecordEh* Rec2,
                                               TOrderByList* OrderByList) {
  for (Integer I = 0; I < OrderByList->Count(); ++I) {
    TStoredSortItemEh Item;
    if (!storedSortItem(this, Rec1->DataStruct(), *OrderByList->Items(I), Item)) continue;
    const Integer Result =
        compareKeyValues(storedValue(Rec1, Item.DataIndex), storedValue(Rec2, Item.DataIndex), Item.Rule);
    if (Result != 0) return Result;
  }
  return 0;
}

void TCustomMemTableEh::endRankedSort() {
  if (--FSortRanks.Depth > 0) return;
  FSortRanks.For = nullptr;
  FSortRanks.Rank = std::vector<Integer>();
}

// Every record's keys are taken once, a stable sort of the records' indexes
// orders them, and a comparison then only looks up two places: a sort that
// compared values per pair read each record's fields some 2 log2 N times.
// Ranks answer what CompareRecords answers, equal keys in the records'
// previous order included.  A record outside the records list leaves the
// list unranked, compared field by field.
void TCustomMemTableEh::rankRecords(TObject* ParamSort) {
  FSortRanks.For = ParamSort;
  FSortRanks.Rank.clear();
  auto* OrderByList = dynamic_cast<TOrderByList*>(ParamSort);
  if (!OrderByList || OrderByList->Count() == 0 || Fields()->Count() == 0) return;
  TRecordsListEh* List = FRecordsView->MemTableData()->RecordsList();
  const bool ByKeys = sortsByKeys(OrderByList);
  std::vector<TSortRuleEh> Rules;
  std::vector<Integer> DataIndexes;
  for (Integer I = 0; I < OrderByList->Count(); ++I) {
    const TOrderByItemEh& Item = *OrderByList->Items(I);
    TStoredSortItemEh Stored;
    if (ByKeys) {
      Rules.push_back(sortRule(Item, Item.DataType));
    } else if (storedSortItem(this, FRecordsView->MemTableData()->DataStruct(), Item, Stored)) {
      Rules.push_back(Stored.Rule);
      DataIndexes.push_back(Stored.DataIndex);
    }
  }
  const size_t Count = size_t(List->Count());
  const size_t Width = Rules.size();
  // Rows of the view, so a computed key finds its row without a search.
  std::vector<Integer> ViewRows(ByKeys ? Count : 0, -1);
  for (Integer Row = 0; ByKeys && Row < FRecordsView->ViewItemsCount(); ++Row)
    if (const Integer At = FRecordsView->ViewRecord(Row)->Index(); At >= 0 && size_t(At) < Count)
      ViewRows[size_t(At)] = Row;
  std::vector<TSortKeyEh> Keys(Count * Width);
  std::vector<Variant> Computed;  // the keys point into it: no reallocation
  if (ByKeys) Computed.reserve(Count * Width);
  for (size_t I = 0; I < Count; ++I) {
    TMemoryRecordEh* Rec = List->Rec(Integer(I));
    const Integer At = Rec->Index();
    if (At < 0 || size_t(At) >= Count) return;
    TSortKeyEh* RecKeys = &Keys[size_t(At) * Width];
    if (!ByKeys) {
      for (size_t K = 0; K < Width; ++K) RecKeys[K] = sortKey(storedValue(Rec, DataIndexes[K]), Rules[K]);
      continue;
    }
    const Variant Key = sortKeyOf(Rec, OrderByList, ViewRows[size_t(At)]);
    for (size_t K = 0; K < Width; ++K) {
      Computed.push_back(Width == 1 ? Key : VarArrayGet(Key, Integer(K)));
      RecKeys[K] = sortKey(Computed.back(), Rules[K]);
    }
  }
  for (size_t K = 0; K < Width; ++K) placeTexts(Keys, K, Width, Rules[K]);
  const auto precedes = [&](Integer A, Integer B) {
    for (size_t K = 0; K < Width; ++K)
      if (const Integer Result = compareSortKeys(Keys[size_t(A) * Width + K], Keys[size_t(B) * Width + K], Rules[K]))
        return Result < 0;
    return false;
  };
  std::vector<Integer> Order(Count);
  std::iota(Order.begin(), Order.end(), 0);
  std::stable_sort(Order.begin(), Order.end(), precedes);
  FSortRanks.Rank.resize(Count);
  for (size_t P = 0; P < Count; ++P) FSortRanks.Rank[size_t(Order[P])] = Integer(P);
}

// ---------------------------------------------------------------------------
// instant read

TRecordBuffer TCustomMemTableEh::pushInstantBuffer() {
  const TRecordBuffer Buffer = AllocRecordBuffer();
  FInstantBuffers.push_back(Buffer);
  FInstantReadMode = true;
  return Buffer;
}

// Each enter pops its buffer again when loading fails, so an exception never
// leaves the table in instant-read mode.
void TCustomMemTableEh::InstantReadEnter(TMemRecViewEh* RecView, Integer RowNum) {
  const TRecordBuffer Buffer = pushInstantBuffer();
  TScopeExit Pop([this] { InstantReadLeave(); });
  RecToRecBuf(RecView->Rec(), RecBuf(Buffer), RowNum);
  RecBuf(Buffer)->RecView = RecView;
  Pop.Release();
}

void TCustomMemTableEh::InstantReadEnter(TMemoryRecordEh* MemRec, Integer RowNum) {
  const TRecordBuffer Buffer = pushInstantBuffer();
  TScopeExit Pop([this] { InstantReadLeave(); });
  // No node holds this record's calculated values: compute them.
  RecBuf(Buffer)->NeedUpdateCalcFields = true;
  RecToRecBuf(MemRec, RecBuf(Buffer), RowNum);
  Pop.Release();
}

void TCustomMemTableEh::InstantReadEnter(Integer RowNum) {
  const TRecordBuffer Buffer = pushInstantBuffer();
  TScopeExit Pop([this] { InstantReadLeave(); });
  TMTRecBuf* Buf = RecBuf(Buffer);
  const bool Editing = State() == dsEdit || State() == dsInsert;
  if (Editing && RowNum == FInstantReadCurRowNum) {
    CopyRecBuf(RecBuf(ActiveBuffer()), Buf);
    if (State() == dsInsert) {
      // The record being inserted is not stored yet.
      Buf->RecordNumber = -1;
      Buf->RecView = nullptr;
      Buf->MemRec = nullptr;
      Buf->BookmarkData = TBookmarkDataEh();
    }
  } else {
    if (State() == dsInsert && RowNum > FInstantReadCurRowNum) --RowNum;
    if (RowNum >= 0 && RowNum < FRecordsView->ViewItemsCount()) {
      prefetchRowsAhead(RowNum, /*DataIndex=*/-1);
      TMemRecViewEh* Node = FRecordsView->RecordView(RowNum);
      RecToRecBuf(Node->Rec(), Buf, RowNum);
      Buf->RecView = Node;
    } else {
      InternalInitRecord(Buffer);
    }
  }
  Pop.Release();
}

void TCustomMemTableEh::InstantReadLeave() {
  if (FInstantBuffers.empty()) throw Exception(QString::fromLatin1(SNotInInstantReadMode));
  TRecordBuffer Buffer = FInstantBuffers.back();
  FInstantBuffers.pop_back();
  FInstantReadMode = !FInstantBuffers.empty();
  FreeRecordBuffer(Buffer);
}

Integer TCustomMemTableEh::InstantReadViewRow() {
  if (FInstantBuffers.empty()) return InstantReadCurRow();
  const Integer Row = RecBuf(FInstantBuffers.back())->RecordNumber;
  if (State() != dsInsert) return Row;
  if (Row == -1) return FInstantReadCurRowNum;
  return Row >= FInstantReadCurRowNum ? Row + 1 : Row;
}

Integer TCustomMemTableEh::InstantReadRowCount() {
  if (FRecordsViewUpdating == 0) UpdateCursorPos();
  return RecordCount() + (State() == dsInsert ? 1 : 0);
}

Integer TCustomMemTableEh::InstantReadCurRow() {
  UpdateCursorPos();
  return FInstantReadCurRowNum;
}

void TCustomMemTableEh::InternalInsert() {
  if (BufferedRecordCount() == 0) return;
  TMTRecBuf* Buf = RecBuf(ActiveBuffer());
  if (Buf->BookmarkFlag == bfEOF) {
    if (FDataDriver && !FDataDriver->ProviderEOF()) {
      Resync({});
      throw Exception(QString::fromLatin1(SAppendBeforeAllRead));
    }
    FInstantReadCurRowNum = FRecordsView->ViewItemsCount();
    return;
  }
  // The new row takes the place of the record that was current; the window's
  // last read may have left the row number elsewhere.
  Integer Row = -1;
  recordOfSerial(Buf->BookmarkData, Row);
  if (Row >= 0) FInstantReadCurRowNum = Row;
}

// ---------------------------------------------------------------------------
// cached updates

bool TCustomMemTableEh::CachedUpdates() { return FRecordsView->MemTableData()->RecordsList()->CachedUpdates(); }

void TCustomMemTableEh::SetCachedUpdates(bool Value) {
  FRecordsView->SetCachedUpdates(Value);
  FRecordsView->MemTableData()->RecordsList()->SetCachedUpdates(Value);
}

bool TCustomMemTableEh::HasCachedChanges() {
  return FRecordsView->MemTableData()->RecordsList()->HasCachedChanges();
}

void TCustomMemTableEh::MergeChangeLog() { FRecordsView->MergeChangeLog(); }

// MaxErrors is not consulted: the driver's error action decides.
Integer TCustomMemTableEh::InternalApplyUpdates(TMemTableDataEh* AMemTableData, Integer) {
  if (FDataDriver) return FDataDriver->ApplyUpdates(AMemTableData);
  FRecordsView->MergeChangeLog();
  return 0;
}

Integer TCustomMemTableEh::ApplyUpdates(Integer MaxErrors) {
  CheckActive();
  const Integer Result = InternalApplyUpdates(FRecordsView->MemTableData(), MaxErrors);
  UpdateCursorPos();
  Resync({});
  return Result;
}

// ---------------------------------------------------------------------------
// totals of a range

namespace {

bool isAggregatableVarType(TVarType Type) {
  switch (Type) {
    case varSmallint:
    case varInteger:
    case varSingle:
    case varDouble:
    case varCurrency:
    case varDate:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
    case varFMTBcd:
      return true;
    default:
      return false;
  }
}

}  // namespace

void TCustomMemTableEh::GetAggregatedValuesForRange(const TBookmark& FromBM, const TBookmark& ToBM,
                                                    const String& FieldName, TAggrResultArr& ResultArr,
                                                    TAggrFunctionsEh AggrFuncs) {
  ResultArr = {Null(), Variant(0), Null(), Null(), Null()};
  if (!Active()) return;
  if ((!FromBM.isEmpty() && !UniBookmarkValid(FromBM)) || (!ToBM.isEmpty() && !UniBookmarkValid(ToBM))) return;
  // A valid bookmark of a hidden record answers row 0: the range then starts
  // at the first row instead of before it.
  const Integer FromRow = std::max(FromBM.isEmpty() ? 1 : UniBookmarkToRecNo(FromBM), 1);
  const Integer ToRow = ToBM.isEmpty() ? RecordCount() : UniBookmarkToRecNo(ToBM);
  if (FieldName.isEmpty() && AggrFuncs == TAggrFunctionsEh{agfCountEh}) {
    ResultArr[agfCountEh] = std::max(ToRow - FromRow + 1, 0);
    return;
  }
  TMTDataStructEh* Struct = FRecordsView->MemTableData()->DataStruct();
  const Integer FieldIndex = Struct->FieldIndex(FieldName);
  if (FieldIndex < 0) return;
  const TVarType FieldVarType = Struct->GetDataField(FieldIndex)->VarDataType();
  const bool Numeric = isAggregatableVarType(FieldVarType);
  const bool Summed = Numeric && FieldVarType != varDate && (AggrFuncs.Contains(agfSumEh) || AggrFuncs.Contains(agfAvg));
  const bool Counted = AggrFuncs.Contains(agfCountEh) || AggrFuncs.Contains(agfAvg);
  Integer Count = 0;
  for (Integer Row = FromRow; Row <= ToRow; ++Row) {
    const Variant Value = FRecordsView->ViewRecord(Row - 1)->GetDataValue(FieldIndex, dvvValueEh);
    if (VarIsNull(Value)) continue;
    if (Counted) ++Count;
    if (!Numeric) continue;
    Variant& Sum = ResultArr[agfSumEh];
    if (Summed) Sum = VarIsNull(Sum) ? Value : Sum + Value;
    Variant& Min = ResultArr[agfMin];
    if (VarIsNull(Min) || VarCompareValue(Value, Min) == vrLessThan) Min = Value;
    Variant& Max = ResultArr[agfMax];
    if (VarIsNull(Max) || VarCompareValue(Value, Max) == vrGreaterThan) Max = Value;
  }
  ResultArr[agfCountEh] = Count;
  if (AggrFuncs.Contains(agfAvg) && !VarIsNull(ResultArr[agfSumEh]))
    ResultArr[agfAvg] = VarAsType(ResultArr[agfSumEh], varDouble).AsDouble() / Count;
}

// ---------------------------------------------------------------------------
// moving records

bool TCustomMemTableEh::MoveRecord(Integer FromIndex, Integer ToIndex, Integer TreeLevel, bool CheckOnly) {
  if (!Active()) return true;
  const Integer Rows = FRecordsView->ViewItemsCount();
  if (FromIndex < 0 || ToIndex < 0 || FromIndex >= Rows || ToIndex >= Rows) return true;
  if (FRecordsView->ViewAsTreeList()) return moveTreeRecord(FromIndex, ToIndex, TreeLevel, CheckOnly);
  if (CheckOnly) return true;
  TMemoryRecordEh* Current = cursorRecord();
  TRecordsListEh* List = FRecordsView->MemTableData()->RecordsList();
  List->Move(FRecordsView->ViewRecord(FromIndex)->Index(), FRecordsView->ViewRecord(ToIndex)->Index());
  restoreCursorRecord(Current);
  Resync({});
  return true;
}

TMemoryRecordEh* TCustomMemTableEh::cursorRecord() {
  TMTRecBuf* Buf = nullptr;
  return GetActiveRecBuf(Buf, /*IgnoreInstantRead=*/true) ? Buf->MemRec : nullptr;
}

void TCustomMemTableEh::restoreCursorRecord(TMemoryRecordEh* Rec) {
  if (!Rec) return;
  if (const Integer Row = FRecordsView->IndexOfRec(Rec); Row >= 0) FRecordPos = Row;
}

namespace {

// Where S's record goes among the tree's rows: its new parent-key value, the
// parent and position the move appoints, and its new records-list index.
struct TTreeMoveEh {
  Variant ParentKey;
  TMemRecViewEh* AppointedParent = nullptr;
  Integer AppointedIndex = 0;
  Integer ListIndex = -1;  // -1: the record keeps its records-list place
};

TTreeMoveEh moveAfter(TMemRecViewEh* S, TMemRecViewEh* P, const String& ParentField) {
  const Integer PIndex = P->Rec()->Index();
  const Integer Target = S->Rec()->Index() < PIndex ? PIndex : PIndex + 1;
  return {P->Rec()->GetDataValues(ParentField, dvvValueEh), P->NodeParent(), Target, Target};
}

TTreeMoveEh moveBefore(TMemRecViewEh* S, TMemRecViewEh* N, const String& ParentField) {
  const Integer NIndex = N->Rec()->Index();
  const Integer Target = S->Rec()->Index() < NIndex ? NIndex - 1 : NIndex;
  return {N->Rec()->GetDataValues(ParentField, dvvValueEh), N->NodeParent(), Target, Target};
}

}  // namespace

bool TCustomMemTableEh::moveTreeRecord(Integer FromIndex, Integer ToIndex, Integer TreeLevel, bool CheckOnly) {
  if (!CheckOnly) BeginRecordsViewUpdate();
  const TScopeExit End([this] { EndRecordsViewUpdate(/*ForceResync=*/true); });
  TMemoryRecordEh* Current = CheckOnly ? nullptr : cursorRecord();
  TMemoryTreeListEh* Tree = FRecordsView->MemoryTreeList();
  const Integer Rows = FRecordsView->ViewItemsCount();
  TMemRecViewEh* S = Tree->GetVisibleExpandedItem(FromIndex);
  TMemRecViewEh* P = nullptr;
  TMemRecViewEh* N = nullptr;
  if (FromIndex < ToIndex) {
    P = Tree->GetVisibleExpandedItem(ToIndex);
    // Kept as designed: the last row is never a "before" neighbour here.
    if (ToIndex + 1 < Rows - 1) N = Tree->GetVisibleExpandedItem(ToIndex + 1);
  } else {
    if (ToIndex > 0) P = Tree->GetVisibleExpandedItem(ToIndex - 1);
    N = Tree->GetVisibleExpandedItem(ToIndex);
  }
  const String& KeyField = FRecordsView->TreeViewKeyFieldName();
  const String& ParentField = FRecordsView->TreeViewRefParentFieldName();
  TTreeMoveEh Move;
  if (P && P->NodeLevel() == TreeLevel) {
    Move = moveAfter(S, P, ParentField);
  } else if (N && N->NodeLevel() == TreeLevel) {
    Move = moveBefore(S, N, ParentField);
  } else if (P && P->NodeLevel() < TreeLevel) {
    Move = {P->Rec()->GetDataValues(KeyField, dvvValueEh), P, 0, -1};
  } else if (P && P->NodeLevel() > TreeLevel) {
    while (P->NodeLevel() > TreeLevel) {
      if (P->NodeParent() == Tree->Root()) return true;
      P = P->NodeParent();
    }
    Move = moveAfter(S, P, ParentField);
  } else {
    return true;
  }
  if (OnRecordsViewCheckMoveNode.Assigned() &&
      !OnRecordsViewCheckMoveNode(this, S, Move.AppointedParent, Move.AppointedIndex))
    return false;
  if (CheckOnly) return !Tree->CheckReferenceLoop(S->Rec(), Move.ParentKey);
  TMemoryRecordEh* Rec = S->Rec();
  Rec->Edit();
  Rec->SetDataValues(ParentField, dvvValueEh, Move.ParentKey);
  Rec->Post();
  if (Move.ListIndex >= 0) FRecordsView->MemTableData()->RecordsList()->Move(Rec->Index(), Move.ListIndex);
  restoreCursorRecord(Current);
  return true;
}

bool TCustomMemTableEh::MoveRecords(TBMListEh* BookmarkList, Integer ToRecNo, Integer TreeLevel, bool CheckOnly) {
  std::vector<TMemoryRecordEh*> Records;
  for (Integer I = 0; I < BookmarkList->Count(); ++I)
    if (TMemoryRecordEh* Rec = BookmarkToRec(BookmarkList->GetItem(I))) Records.push_back(Rec);
  if (!CheckOnly) BeginRecordsViewUpdate();
  const TScopeExit End([this] { EndRecordsViewUpdate(/*ForceResync=*/true); });
  bool Result = true;
  Integer Target = ToRecNo - 1;
  for (auto It = Records.rbegin(); It != Records.rend() && Result; ++It) {
    const Integer From = FRecordsView->IndexOfRec(*It);
    if (It != Records.rbegin() && From < Target) --Target;
    Result = MoveRecord(From, Target, TreeLevel, CheckOnly);
  }
  if (CheckOnly) return Result;
  for (Integer I = 0; I < BookmarkList->Count(); ++I)
    if (TMemoryRecordEh* Rec = BookmarkToRec(BookmarkList->GetItem(I))) BookmarkList->SetItem(I, RecToBookmark(Rec));
  BookmarkList->CustomSort(static_cast<TDataSet*>(this), &CompareBookmarkListItemsEh);
  return Result;
}
