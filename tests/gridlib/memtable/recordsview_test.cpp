#include "gridlib/memtable/recordsview.h"

#include "gridlib/memtable/memorytreelist.h"
#include "tests/gridlib/memtable/memtabletesting.h"

#include <algorithm>
#include <random>

namespace {

// What a view tells a notificator attached to it, one line per call.
class ViewLog : public TRecordsListNotificatorEh {
public:
  ViewLog() : TRecordsListNotificatorEh(nullptr) {}
  void DataEvent(TMemoryRecordEh*, Integer Index, TRecordsListNotification Action) override {
    if (Action == rlnListChangingEh || Action == rlnListChangedEh) return;
    Lines.push_back(QStringLiteral("%1 %2").arg(actionName(Action)).arg(Index));
  }
  void RecordMoved(TMemoryRecordEh*, Integer OldIndex, Integer NewIndex) override {
    Lines.push_back(QStringLiteral("moved %1->%2").arg(OldIndex).arg(NewIndex));
  }
  static String actionName(TRecordsListNotification Action) {
    switch (Action) {
      case rlnRecAddedEh: return QStringLiteral("added");
      case rlnRecChangedEh: return QStringLiteral("changed");
      case rlnRecDeletedEh: return QStringLiteral("deleted");
      case rlnRecMarkedForDelEh: return QStringLiteral("marked");
      default: return QStringLiteral("other");
    }
  }
  std::vector<String> Lines;
};

class RecordsView : public ::testing::Test, public TMemTableFixture {
protected:
  RecordsView() : View(new TRecordsViewEh(nullptr)), Log(new ViewLog) {
    AddField(QStringLiteral("ID"), ftInteger);
    AddField(QStringLiteral("Year"), ftInteger);
    View->OnCompareRecords = TCompareRecords(&CompareRecordsByOrderList);
    View->SetMemTableData(Data);
    Log->SetDataObject(View);
  }
  ~RecordsView() override {
    Log->Free();
    View->Free();
  }
  void appendRows(std::initializer_list<std::pair<int, Variant>> Rows) {
    for (const auto& [Id, Year] : Rows) Append({Id, Year});
    Log->Lines.clear();
  }
  std::vector<int> rowIds() {
    std::vector<int> Result;
    for (Integer I = 0; I < View->Count(); I++) Result.push_back(View->GetRec(I)->GetDataValue(0, dvvValueEh).AsInteger());
    return Result;
  }
  void setYear(Integer RecNo, const Variant& Year) {
    TMemoryRecordEh* Rec = List()->Rec(RecNo);
    Rec->Edit();
    Rec->SetDataValue(1, dvvValueEh, Year);
    Rec->Post();
  }
  // The view's invariant: every record once in the sorted list, numbered.
  void expectSortedListConsistent() {
    ASSERT_EQ(View->SortedListItemCount(), List()->Count());
    for (Integer I = 0; I < View->SortedListItemCount(); I++)
      EXPECT_EQ(View->SortedListItem(I)->InSortedListIndex(), I);
  }

  TRecordsViewEh* View;
  ViewLog* Log;
};

TEST_F(RecordsView, RowsFollowRecordsListOrderWithoutSortOrder) {
  appendRows({{1, 2001}, {2, 2002}, {3, 2003}});
  TMemoryRecordEh* Rec = List()->NewRecord();
  Rec->SetDataValue(0, dvvValueEh, 0);
  List()->InsertRecord(0, Rec);
  EXPECT_EQ(rowIds(), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(Log->Lines, (std::vector<String>{QStringLiteral("added 0")}));
  EXPECT_EQ(View->IndexOfRec(Rec), 0);
  expectSortedListConsistent();
}

TEST_F(RecordsView, ResortedChangeReportsTheMoveBeforeTheChange) {
  appendRows({{1, 2001}, {2, 2002}, {3, 2003}});
  View->SetSortOrder(QStringLiteral("Year"));
  Log->Lines.clear();
  setYear(0, 2010);
  EXPECT_EQ(rowIds(), (std::vector<int>{2, 3, 1}));
  EXPECT_EQ(Log->Lines, (std::vector<String>{QStringLiteral("moved 0->2"), QStringLiteral("changed 2")}));
  Log->Lines.clear();
  setYear(0, 2011);  // stays last: no move
  EXPECT_EQ(Log->Lines, (std::vector<String>{QStringLiteral("changed 2")}));
}

TEST_F(RecordsView, SortOrderWithUnknownFieldKeepsTheOrder) {
  appendRows({{1, 2003}, {2, 2001}});
  View->SetSortOrder(QStringLiteral("Year DESC"));
  EXPECT_RAISES(View->SetSortOrder(QStringLiteral("Missing")), Exception, " Field - \"Missing\" not found.");
  EXPECT_EQ(View->SortOrder(), QStringLiteral("Year DESC"));
  EXPECT_EQ(rowIds(), (std::vector<int>{1, 2}));
}

TEST_F(RecordsView, ChangeThatFailsTheFilterDeletesTheRowAndBack) {
  appendRows({{1, 2001}, {2, 1990}, {3, 2003}});
  View->OnFilterRecord = [](TMemoryRecordEh* Rec, TMemRecViewEh*) {
    return Rec->GetDataValue(1, dvvValueEh).AsInteger() >= 2000;
  };
  View->RefreshFilteredRecsList(/*NotifyListChanged=*/true);
  EXPECT_EQ(rowIds(), (std::vector<int>{1, 3}));
  Log->Lines.clear();
  setYear(2, 1995);
  EXPECT_EQ(rowIds(), (std::vector<int>{1}));
  setYear(2, 2005);
  setYear(1, 2000);
  EXPECT_EQ(rowIds(), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(Log->Lines, (std::vector<String>{QStringLiteral("deleted 1"), QStringLiteral("added 1"),
                                             QStringLiteral("added 1")}));
}

TEST_F(RecordsView, StatusFilterDecidesOnMarkedRecords) {
  appendRows({{1, 2001}, {2, 2002}});
  List()->SetCachedUpdates(true);
  List()->DeleteRecord(0);
  EXPECT_EQ(rowIds(), (std::vector<int>{2}));
  EXPECT_EQ(Log->Lines, (std::vector<String>{QStringLiteral("deleted 0")}));

  View->SetStatusFilter({usUnmodified, usModified, usInserted, usDeleted});
  EXPECT_EQ(rowIds(), (std::vector<int>{1, 2}));
  EXPECT_EQ(View->GetRec(0)->UpdateStatus(), usDeleted);

  int FilterCalls = 0;
  View->OnFilterRecord = [&FilterCalls](TMemoryRecordEh*, TMemRecViewEh*) { return ++FilterCalls > 0; };
  View->SetStatusFilter({});
  EXPECT_EQ(View->Count(), 0);
  EXPECT_EQ(FilterCalls, 0);
  expectSortedListConsistent();
}

TEST_F(RecordsView, AbortedFilterLeavesNoRows) {
  appendRows({{1, 2001}, {2, 2002}, {3, 2003}});
  int Calls = 0;
  View->OnFilterRecord = [this, &Calls](TMemoryRecordEh*, TMemRecViewEh*) {
    if (++Calls == 2) View->SetFilterAborted(true);
    return true;
  };
  View->RefreshFilteredRecsList(/*NotifyListChanged=*/true);
  EXPECT_EQ(View->Count(), 0);
  EXPECT_EQ(Calls, 2);
  EXPECT_EQ(View->IndexOfRec(List()->Rec(0)), -1);
}

TEST_F(RecordsView, RecordMovedUpPastHiddenRowsKeepsItsRow) {
  appendRows({{1, 2001}, {2, 1990}, {3, 1990}, {4, 2004}});
  View->OnFilterRecord = [](TMemoryRecordEh* Rec, TMemRecViewEh*) {
    return Rec->GetDataValue(1, dvvValueEh).AsInteger() >= 2000;
  };
  View->RefreshFilteredRecsList(/*NotifyListChanged=*/false);
  List()->Move(3, 1);  // 4 passes the hidden 2 and 3 only
  EXPECT_EQ(rowIds(), (std::vector<int>{1, 4}));
  List()->Move(1, 0);  // now 4 passes 1
  EXPECT_EQ(rowIds(), (std::vector<int>{4, 1}));
  List()->Move(0, 3);
  EXPECT_EQ(rowIds(), (std::vector<int>{1, 4}));
}

TEST_F(RecordsView, CalcAggrFieldFunc) {
  struct Case {
    const char* Name;
    std::vector<Variant> Years;
    const char* Func;
    Variant Expected;
  };
  const Case Cases[] = {
      {"avg counts null rows", {10, Null(), 20}, "AVG", 10.0},
      {"count skips null", {10, Null(), 20}, "COUNT", 2},
      {"min", {10, Null(), 20}, "MIN", 10},
      {"max", {10, Null(), 20}, "MAX", 20},
      {"min after null", {Null(), 5, 3}, "MIN", 3},
      {"sum", {10, Null(), 20}, "SUM", 30},
      {"sum of none", {}, "SUM", 0},
      {"count of none", {}, "COUNT", 0},
      {"min of none", {}, "MIN", Null()},
      {"max of none", {}, "MAX", Null()},
      {"avg of none is null, not 0/0", {}, "AVG", Null()},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    List()->Clear();
    for (const Variant& Y : C.Years) Append({1, Y});
    const Variant R = View->CalcAggrFieldFunc(QStringLiteral("Year"), QString::fromLatin1(C.Func));
    EXPECT_EQ(VarIsNull(R), VarIsNull(C.Expected));
    if (!VarIsNull(C.Expected)) EXPECT_EQ(R, C.Expected);
  }
  EXPECT_EQ(View->CalcAggrFieldFunc(QStringLiteral("*"), QStringLiteral("COUNT")), Variant(0));
  Append({1, 1});
  EXPECT_EQ(View->CalcAggrFieldFunc(QStringLiteral("*"), QStringLiteral("COUNT")), Variant(1));
  EXPECT_RAISES(View->CalcAggrFieldFunc(QStringLiteral("Nope"), QStringLiteral("SUM")), Exception,
                "Invalid field name: Nope");
  EXPECT_RAISES(View->CalcAggrFieldFunc(QStringLiteral("Year"), QStringLiteral("MEDIAN")), Exception,
                "Unsupported aggrigate function: MEDIAN");
}

TEST_F(RecordsView, CachedUpdatesLockNests) {
  List()->SetCachedUpdates(true);
  View->LockCachedUpdates();
  View->LockCachedUpdates();
  EXPECT_FALSE(List()->CachedUpdates());
  View->UnlockCachedUpdates();
  EXPECT_FALSE(List()->CachedUpdates());
  View->UnlockCachedUpdates();
  EXPECT_TRUE(List()->CachedUpdates());
}

TEST_F(RecordsView, InsertThroughTheViewGoesBeforeTheRow) {
  appendRows({{1, 2003}, {2, 2001}, {3, 2002}});
  View->SetSortOrder(QStringLiteral("Year"));
  TMemoryRecordEh* Rec = View->NewRecord();
  Rec->SetDataValue(0, dvvValueEh, 9);
  Rec->SetDataValue(1, dvvValueEh, 2001);
  View->InsertRecord(1, Rec);  // row 1 shows record 3, at list position 2
  EXPECT_EQ(Rec->Index(), 2);
  EXPECT_EQ(rowIds(), (std::vector<int>{2, 9, 3, 1}));
}

// Random changes against a model: the rows must be the records that pass
// the filter, stably sorted by Year DESC then ID, and the notifications must
// let a listener replay them.
TEST_F(RecordsView, RandomChangesKeepRowsEqualToTheModel) {
  View->SetSortOrder(QStringLiteral("Year DESC; ID"));
  View->OnFilterRecord = [](TMemoryRecordEh* Rec, TMemRecViewEh*) {
    return Rec->GetDataValue(1, dvvValueEh).AsInteger() % 3 != 0;
  };
  std::vector<int> Replayed;  // the listener's copy of the rows
  View->OnViewDataEvent = [&](TMemoryRecordEh* Rec, Integer Row, TRecordsListNotification Action) {
    const int Id = Rec ? Rec->GetDataValue(0, dvvValueEh).AsInteger() : -1;
    if (Action == rlnRecAddedEh) Replayed.insert(Replayed.begin() + Row, Id);
    if (Action == rlnRecDeletedEh) Replayed.erase(Replayed.begin() + Row);
    if (Action == rlnRecChangedEh) EXPECT_EQ(Replayed[size_t(Row)], Id);
    if (Action == rlnListChangedEh) Replayed = rowIds();
  };
  View->OnViewRecordMovedEvent = [&](TMemoryRecordEh*, Integer OldRow, Integer NewRow) {
    const int Id = Replayed[size_t(OldRow)];
    Replayed.erase(Replayed.begin() + OldRow);
    Replayed.insert(Replayed.begin() + NewRow, Id);
  };
  std::mt19937 Random(7);
  int NextId = 1;
  for (int Step = 0; Step < 400; Step++) {
    const int Op = int(Random() % 4);
    const Integer N = List()->Count();
    if (Op == 0 || N < 3) {
      TMemoryRecordEh* Rec = List()->NewRecord();
      Rec->SetDataValue(0, dvvValueEh, NextId++);
      Rec->SetDataValue(1, dvvValueEh, int(Random() % 10));
      List()->InsertRecord(Integer(Random() % (N + 1)), Rec);
    } else if (Op == 1) {
      List()->DeleteRecord(Integer(Random() % N));
    } else {
      setYear(Integer(Random() % N), int(Random() % 10));
    }
    std::vector<std::pair<int, int>> Model;  // (year, id)
    for (Integer I = 0; I < List()->Count(); I++) {
      const int Year = Value(I, 1).AsInteger();
      if (Year % 3 != 0) Model.push_back({Year, Value(I, 0).AsInteger()});
    }
    std::stable_sort(Model.begin(), Model.end(), [](const auto& A, const auto& B) {
      return A.first != B.first ? A.first > B.first : A.second < B.second;
    });
    std::vector<int> Expected;
    for (const auto& M : Model) Expected.push_back(M.second);
    ASSERT_EQ(rowIds(), Expected) << "step " << Step;
    ASSERT_EQ(Replayed, Expected) << "step " << Step;
    expectSortedListConsistent();
  }
  View->OnViewDataEvent = nullptr;  // the handlers capture locals of this test
  View->OnViewRecordMovedEvent = nullptr;
}

TEST_F(RecordsView, DetachingAndFreeingTheContainerEmptiesTheView) {
  appendRows({{1, 2001}, {2, 2002}});
  View->SetMemTableData(nullptr);
  EXPECT_EQ(View->Count(), 0);
  EXPECT_EQ(View->SortedListItemCount(), 0);
  View->SetMemTableData(Data);
  EXPECT_EQ(View->Count(), 2);
}

}  // namespace
