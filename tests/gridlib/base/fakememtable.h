// A memory table for the suites of the library base: TRowListDataSet with the
// memory-table interface, aggregating straight from its rows (never moving
// the cursor) and telling its event receivers about every post.
#pragma once

#include "gridlib/base/memtableintf.h"
#include "platform/db/fields.h"
#include "platform/db/testing/rowlistdataset.h"

#include <algorithm>
#include <vector>

namespace basetest {

class TFakeMemTable : public TRowListDataSet, public IMemTableEh {
public:
  explicit TFakeMemTable(TComponent* AOwner = nullptr) : TRowListDataSet(AOwner) {}

  std::vector<String> Calls;
  std::vector<TObject*> Receivers;
  int InstantReadDepth = 0;

  Integer FetchRecords(Integer Count) override {
    Calls.push_back(QString("FetchRecords(%1)").arg(Count));
    return 0;
  }
  Integer GetInstantReadCurRow() override { return RecNo() - 1; }
  Integer MemTableUnnamedInteger() override { return 0; }
  // a flat table: no tree nodes
  bool TreeNodeExpanded() override { return false; }
  bool TreeNodeHasVisibleChildren() override { return false; }
  Integer TreeNodeLevel() override { return -1; }
  Integer PrevRowTreeNodeLevel() override { return -1; }
  Integer NextRowTreeNodeLevel() override { return -1; }
  TMemoryRecordEh* Rec() override { return nullptr; }
  Integer InstantReadIndexOfBookmark(const TBookmark&) override { return -1; }
  Integer InstantReadRowCount() override { return RowCount(); }
  Integer InstantReadViewRow() override { return RecNo() - 1; }
  bool MemTableUnnamedBoolean() override { return true; }
  bool IsTreeView() override { return false; }
  TMemTableFilterItemEh* AddExtraFilter(const String&, const TFilterRecordEvent&) override { return nullptr; }
  bool UpdateExtraFilter(TMemTableFilterItemEh*, const String&, const TFilterRecordEvent&) override { return false; }
  bool RemoveExtraFilter(TMemTableFilterItemEh*) override { return false; }
  bool HasNextVisibleSibling(Integer) override { return false; }
  bool HasPriorVisibleSibling(Integer) override { return false; }
  bool MemTableGotoRec(TMemoryRecordEh*) override { return false; }
  Integer SetRowTreeNodeExpanded(Integer, bool) override { return -1; }
  IPtr<IMemTableDataFieldValueListEh> GetFieldValueList(const String&) override { return nullptr; }
  bool MoveRecords(TBMListEh*, Integer, Integer, bool) override { return false; }
  String GetLikeWildcardForOneCharacter() override { return QStringLiteral("_"); }
  String GetLikeWildcardForSeveralCharacters() override { return QStringLiteral("%"); }
  void GetAggregatedValuesForRange(const TBookmark&, const TBookmark&, const String& FieldName,
                                   TAggrResultArr& ResultArr, TAggrFunctionsEh AggrFuncs) override {
    Calls.push_back("GetAggregatedValuesForRange(" + FieldName + ")");
    ResultArr = {Null(), Variant(0), Null(), Null(), Null()};
    const int Column = FieldName.isEmpty() ? -1 : FieldDefs()->IndexOf(FieldName);
    Variant Sum = Null();
    int Count = 0;
    for (int I = 0; I < RowCount(); ++I) {
      if (Column < 0) {
        ++Count;
        continue;
      }
      const Variant& V = Row(I)[size_t(Column)];
      if (VarIsNull(V)) continue;
      ++Count;
      Sum = VarIsNull(Sum) ? V : Sum + V;
      if (VarIsNull(ResultArr[agfMin]) || V < ResultArr[agfMin]) ResultArr[agfMin] = V;
      if (VarIsNull(ResultArr[agfMax]) || V > ResultArr[agfMax]) ResultArr[agfMax] = V;
    }
    if (AggrFuncs.Contains(agfCountEh)) ResultArr[agfCountEh] = Count;
    if (AggrFuncs.Contains(agfSumEh)) ResultArr[agfSumEh] = Sum;
    if (AggrFuncs.Contains(agfAvg) && Count > 0) ResultArr[agfAvg] = Sum / Variant(Count);
    if (!AggrFuncs.Contains(agfMin)) ResultArr[agfMin] = Null();
    if (!AggrFuncs.Contains(agfMax)) ResultArr[agfMax] = Null();
  }
  bool BookmarkInVisibleView(const TBookmark& Bookmark) override { return BookmarkValid(Bookmark); }
  void InstantReadEnter(Integer RowNum) override {
    Calls.push_back(QString("InstantReadEnter(%1)").arg(RowNum));
    ++InstantReadDepth;
  }
  void InstantReadLeave() override {
    Calls.push_back("InstantReadLeave");
    --InstantReadDepth;
  }
  void RegisterEventReceiver(TObject* Receiver) override {
    if (std::find(Receivers.begin(), Receivers.end(), Receiver) == Receivers.end()) Receivers.push_back(Receiver);
  }
  void UnregisterEventReceiver(TObject* Receiver) override { std::erase(Receivers, Receiver); }
  void MTDisableControls() override { DisableControls(); }
  void MTEnableControls(bool) override { EnableControls(); }
  void StopFilter() override {}

protected:
  void DoAfterPost() override {
    TRowListDataSet::DoAfterPost();
    for (TObject* Receiver : std::vector<TObject*>(Receivers))
      if (auto* R = dynamic_cast<IMTEventReceiverEh*>(Receiver)) R->MTViewDataEvent(RecNo(), mtRowInsertedEh, -1);
  }
};

}  // namespace basetest
