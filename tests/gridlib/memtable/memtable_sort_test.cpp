#include "gridlib/base/bookmarklist.h"
#include "platform/db/fieldclasses.h"
#include "platform/db/testing/rowlistdataset.h"
#include "gridlib/memtable/memorytreelist.h"
#include "gridlib/memtable/recordsview.h"
#include "platform/rtl/strutils.h"
#include "tests/gridlib/memtable/memtableviewtesting.h"

#include <QStringList>
#include <algorithm>
#include <random>

namespace {

// ---------------------------------------------------------------------------
// sort texts

class MTOrderByList : public ::testing::Test {
protected:
  MTOrderByList() : DataSet(new TRowListDataSet(nullptr)), List(DataSet) {
    DataSet->FieldDefs()->Add(QStringLiteral("Name"), ftString, 20);
    DataSet->FieldDefs()->Add(QStringLiteral("Id"), ftInteger, 0);
    DataSet->Open();
  }
  ~MTOrderByList() override { DataSet->Free(); }

  // "Name-" for a descending key, "Id" for an ascending one.
  String keys() const {
    QStringList Result;
    for (Integer I = 0; I < List.Count(); I++) {
      TOrderByItemEh* Item = List.Items(I);
      Result << DataSet->Fields()->Fields(Item->FieldIndex)->FieldName() + (Item->Desc ? "-" : "");
    }
    return Result.join(u' ');
  }

  TRowListDataSet* DataSet;
  TMTOrderByList List;
};

TEST_F(MTOrderByList, SortTexts) {
  struct Case {
    const char* Text;
    const char* Keys;   // the parsed keys, when the text parses
    const char* Error;  // the message, when it does not
  } Cases[] = {
      {"Name DESC; Id", "Name- Id", nullptr},
      {"Name DESC ASC", "Name-", nullptr},
      {"", "", nullptr},
      {"Name;", "Name", nullptr},
      {"[Id] desc, name", "Id- Name", nullptr},
      {"Name;;Id", nullptr, " Field - \";\" not found."},
      {"Name XYZ", nullptr, " Invalid token - \"XYZ\""},
      {"Title", nullptr, " Field - \"Title\" not found."},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Text);
    List.ParseOrderByStr(QStringLiteral("Id"));
    if (C.Error) {
      EXPECT_RAISES(List.ParseOrderByStr(QString::fromLatin1(C.Text)), Exception, QString::fromLatin1(C.Error));
      EXPECT_EQ(keys(), QStringLiteral("Id"));  // a failing text keeps the keys
    } else {
      List.ParseOrderByStr(QString::fromLatin1(C.Text));
      EXPECT_EQ(keys(), QString::fromLatin1(C.Keys));
    }
  }
}

TEST_F(MTOrderByList, ItemsTakeTypeAndCaseFromTheDataSet) {
  DataSet->SetFilterOptions(TFilterOptions{foCaseInsensitive});
  List.ParseOrderByStr(QStringLiteral("Id;Name"));
  ASSERT_EQ(List.Count(), 2);
  EXPECT_EQ(List.Items(0)->DataType, ftInteger);
  EXPECT_EQ(List.Items(1)->DataType, ftString);
  EXPECT_TRUE(List.Items(1)->CaseIns);
  EXPECT_EQ(List.Items(1)->MTFieldIndex, -1);

  DataSet->SetFilterOptions(TFilterOptions());
  List.ParseOrderByStr(QStringLiteral("Name"));
  EXPECT_FALSE(List.Items(0)->CaseIns);
}

// ---------------------------------------------------------------------------
// sorting

class MemTableSort : public ::testing::Test, public TMemTableViewFixture {
protected:
  MemTableSort() : TMemTableViewFixture({{"Name", ftString, 10}, {"Id", ftInteger}}) {}

  // "b1 a2 ..." in view order; "-" for a Null name.
  String rows() {
    QStringList Result;
    for (Table->First(); !Table->Eof(); Table->Next()) {
      const Variant Name = Table->Fields()->Fields(0)->Value();
      Result << (VarIsNull(Name) ? QStringLiteral("-") : Name.AsString()) + Table->Fields()->Fields(1)->AsString();
    }
    return Result.join(u' ');
  }
};

TEST_F(MemTableSort, SortTexts) {
  struct Case {
    const char* Text;
    const char* Rows;   // after the sort
    const char* Error;  // or the message
  } Cases[] = {
      {"Name DESC; Id", "b1 b2 a1 a2", nullptr},
      {"Name DESC ASC", "b2 b1 a1 a2", nullptr},
      {"", "b2 a1 b1 a2", nullptr},
      {"Name;", "a1 a2 b2 b1", nullptr},
      {"Name;;Id", "b2 a1 b1 a2", " Field - \";\" not found."},
      {"Name XYZ", "b2 a1 b1 a2", " Invalid token - \"XYZ\""},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Text);
    Table->EmptyTable();
    for (auto [Name, Id] : {std::pair{"b", 2}, {"a", 1}, {"b", 1}, {"a", 2}}) AppendRow({Name, Id});
    if (C.Error)
      EXPECT_RAISES(Table->SortByFields(QString::fromLatin1(C.Text)), Exception, QString::fromLatin1(C.Error));
    else
      Table->SortByFields(QString::fromLatin1(C.Text));
    EXPECT_EQ(rows(), QString::fromLatin1(C.Rows));
  }
}

TEST_F(MemTableSort, EqualKeysKeepTheirOrderAndNullsComeFirstAscending) {
  for (auto [Name, Id] : {std::pair{Variant("b"), 1}, {Null(), 2}, {Variant("a"), 3}, {Variant("b"), 4},
                          {Null(), 5}, {Variant("a"), 6}})
    AppendRow({Name, Id});
  Table->SortByFields(QStringLiteral("Name"));
  EXPECT_EQ(rows(), QStringLiteral("-2 -5 a3 a6 b1 b4"));
  Table->SortByFields(QStringLiteral("Name DESC"));
  EXPECT_EQ(rows(), QStringLiteral("b1 b4 a3 a6 -2 -5"));
}

TEST_F(MemTableSort, ABookmarkGoesToItsRecordAfterASort) {
  for (auto [Name, Id] : {std::pair{"c", 1}, {"a", 2}, {"b", 3}}) AppendRow({Name, Id});
  Table->First();
  const TBookmark First = Table->Bookmark();  // c1
  Table->Last();
  const TBookmark Last = Table->Bookmark();  // b3
  Table->SortByFields(QStringLiteral("Name"));
  Table->SetBookmark(First);
  EXPECT_EQ(Table->FieldByName(QStringLiteral("Id"))->AsInteger(), 1);
  EXPECT_EQ(Table->CompareBookmarks(First, Last), 1);  // c now sorts after b
}

TEST(MemTableSortCase, CaseFoldsTextKeysOnlyForTheNarrowTextTypes) {
  for (TFieldType Type : {ftString, ftWideMemo}) {
    SCOPED_TRACE(FieldTypeName(Type).toStdString());
    std::vector<std::vector<Variant>> Orders;
    for (const char* FirstText : {"abc", "ABC"}) {
      TMemTableViewFixture T({{"Text", Type, 10}, {"Id", ftInteger}});
      T.Table->SetFilterOptions(TFilterOptions{foCaseInsensitive});
      const String First = QString::fromLatin1(FirstText);
      T.AppendRow({First, 1});
      T.AppendRow({First == "abc" ? QStringLiteral("ABC") : QStringLiteral("abc"), 2});
      T.Table->SortByFields(QStringLiteral("Text"));
      Orders.push_back(T.Column("Text"));
    }
    if (Type == ftString)  // equal keys: each keeps the order it was added in
      EXPECT_NE(Orders[0], Orders[1]);
    else  // compared with case: one order whatever was added first
      EXPECT_EQ(Orders[0], Orders[1]);
  }
}

// Numbers, texts and Nulls in one variant field: texts and numbers cannot be
// ordered against each other, so the comparison is no strict weak order.
TEST(MemTableSortVariant, MixedVariantKeysSortRepeatablyAndKeepEveryRecord) {
  std::vector<Variant> Values;
  std::mt19937 Random(7);
  for (int I = 0; I < 300; ++I) {
    switch (Random() % 3) {
      case 0: Values.push_back(Variant(Integer(Random() % 50))); break;
      case 1: Values.push_back(Variant(QStringLiteral("t%1").arg(Random() % 50))); break;
      default: Values.push_back(Null()); break;
    }
  }
  std::vector<std::vector<int>> Results;
  for (int Run = 0; Run < 2; ++Run) {
    TMemTableViewFixture T({{"Id", ftInteger}, {"Value", ftVariant}});
    for (int I = 0; I < int(Values.size()); ++I) T.AppendRow({I, Values[size_t(I)]});
    T.Table->SortByFields(QStringLiteral("Value"));
    T.Table->SortByFields(QStringLiteral("Value DESC"));
    Results.push_back(T.Ids());
  }
  EXPECT_EQ(Results[0], Results[1]);
  std::vector<int> Sorted = Results[0];
  std::sort(Sorted.begin(), Sorted.end());
  for (int I = 0; I < int(Sorted.size()); ++I) ASSERT_EQ(Sorted[size_t(I)], I);
}

// Random rows against a plain reference ordering: a stable sort of the rows
// as they stood, comparing the values read back one pair at a time.
class MemTableSortCrossCheck : public ::testing::Test {
protected:
  struct TKey {
    int Column;  // into Row::Values: 0 Text (narrow), 1 Wide (wide memo), 2 Num, 3 Real
    bool Desc;
  };
  struct TRow {
    int Id;
    std::vector<Variant> Values;
  };

  static void fill(TMemTableViewFixture& T, unsigned Seed) {
    const char* Texts[] = {"abc", "ABC", "Abd", "ёж", "Ёж", "еж", "Жук", "жук", "apple", "Яблоко", "zebra", "Ярь"};
    std::mt19937 Random(Seed);
    const auto maybeNull = [&Random](Variant V) { return Random() % 6 == 0 ? Null() : V; };
    for (int Id = 0; Id < 400; ++Id) {
      const String Text = QString::fromUtf8(Texts[Random() % std::size(Texts)]);
      const String Wide = QString::fromUtf8(Texts[Random() % std::size(Texts)]);
      T.AppendRow({Id, maybeNull(Text), maybeNull(Wide), maybeNull(Integer(Random() % 7) - 3),
                   maybeNull(double(Random() % 5) / 4)});
    }
  }

  static std::vector<TRow> rows(TMemTableViewFixture& T) {
    std::vector<TRow> Result;
    for (T.Table->First(); !T.Table->Eof(); T.Table->Next())
      Result.push_back({T.Field("Id")->AsInteger(),
                        {T.Field("Text")->Value(), T.Field("Wide")->Value(), T.Field("Num")->Value(),
                         T.Field("Real")->Value()}});
    return Result;
  }

  // No value first; the narrow text without case when CaseIns, the wide memo
  // always with it; numbers by value.
  static int compareValues(const Variant& V1, const Variant& V2, int Column, bool CaseIns) {
    if (VarIsNull(V1) || VarIsNull(V2)) return int(!VarIsNull(V1)) - int(!VarIsNull(V2));
    if (Column == 0 && CaseIns) return AnsiCompareText(V1.AsString(), V2.AsString());
    if (Column <= 1) return AnsiCompareStr(V1.AsString(), V2.AsString());
    return V1.AsDouble() < V2.AsDouble() ? -1 : (V2.AsDouble() < V1.AsDouble() ? 1 : 0);
  }

  static std::vector<int> expected(std::vector<TRow> Rows, const std::vector<TKey>& Keys, bool CaseIns) {
    std::stable_sort(Rows.begin(), Rows.end(), [&](const TRow& A, const TRow& B) {
      for (const TKey& K : Keys) {
        const int C = compareValues(A.Values[size_t(K.Column)], B.Values[size_t(K.Column)], K.Column, CaseIns);
        if (C != 0) return K.Desc ? C > 0 : C < 0;
      }
      return false;
    });
    std::vector<int> Ids;
    for (const TRow& R : Rows) Ids.push_back(R.Id);
    return Ids;
  }
};

TEST_F(MemTableSortCrossCheck, SortsAgreeWithTheReferenceOrdering) {
  struct Case {
    const char* Text;
    std::vector<TKey> Keys;
  } Cases[] = {
      {"Text", {{0, false}}},
      {"Text DESC, Num", {{0, true}, {2, false}}},
      {"Wide, Real DESC", {{1, false}, {3, true}}},
      {"Num DESC, Text, Real", {{2, true}, {0, false}, {3, false}}},
      {"Real, Wide DESC, Text DESC", {{3, false}, {1, true}, {0, true}}},
  };
  enum TWay { ByFields, BySortOrder, CaseTurnedOnAfterSortOrder };
  for (const Case& C : Cases) {
    for (bool CaseIns : {false, true}) {
      for (TWay Way : {ByFields, BySortOrder, CaseTurnedOnAfterSortOrder}) {
        if (Way == CaseTurnedOnAfterSortOrder && !CaseIns) continue;
        SCOPED_TRACE(testing::Message() << C.Text << (CaseIns ? ", case-insensitive" : "") << ", way " << Way);
        TMemTableViewFixture T({{"Id", ftInteger}, {"Text", ftString, 10}, {"Wide", ftWideMemo},
                                {"Num", ftInteger}, {"Real", ftFloat}});
        fill(T, unsigned(Way) * 10 + unsigned(CaseIns));
        if (CaseIns) T.Table->SetFilterOptions(TFilterOptions{foCaseInsensitive});
        const std::vector<int> Expected = expected(rows(T), C.Keys, CaseIns);
        const String Text = QString::fromLatin1(C.Text);
        switch (Way) {
          case ByFields: T.Table->SortByFields(Text); break;
          case BySortOrder:
            T.Table->RecordsView()->SetSortOrderCaseInsensitive(CaseIns);
            T.Table->SetSortOrder(Text);
            break;
          case CaseTurnedOnAfterSortOrder:
            T.Table->SetSortOrder(Text);
            T.Table->RecordsView()->SetSortOrderCaseInsensitive(true);
            break;
        }
        EXPECT_EQ(T.Ids(), Expected);
      }
    }
  }
}

TEST_F(MemTableSort, SortOrderOrdersTheViewAndLeavesTheStoredOrder) {
  for (auto [Name, Id] : {std::pair{"b", 1}, {"a", 2}, {"c", 3}}) AppendRow({Name, Id});
  Table->SetSortOrder(QStringLiteral("Name DESC"));
  EXPECT_EQ(rows(), QStringLiteral("c3 b1 a2"));
  Table->SetSortOrder(QString());
  EXPECT_EQ(rows(), QStringLiteral("b1 a2 c3"));
}

TEST_F(MemTableSort, CalculatedKeysSortThroughTheFields) {
  // A calculated key: minus the Id, so the order is the Ids reversed.
  Table->Close();
  Table->Fields()->Clear();
  for (Integer I = 0; I < Table->FieldDefs()->Count(); ++I) Table->FieldDefs()->Items(I)->CreateField(Table);
  auto* Calc = new TIntegerField(Table);
  Calc->SetFieldName(QStringLiteral("Minus"));
  Calc->SetFieldKind(fkCalculated);
  Calc->SetDataSet(Table);
  Table->OnCalcFields = TDataSetNotifyEvent([](TDataSet* DataSet) {
    DataSet->FieldByName(QStringLiteral("Minus"))->SetAsInteger(-DataSet->FieldByName(QStringLiteral("Id"))->AsInteger());
  });
  Table->Open();
  for (auto [Name, Id] : {std::pair{"b", 1}, {"a", 3}, {"c", 2}}) AppendRow({Name, Id});
  Table->SortByFields(QStringLiteral("Minus"));
  EXPECT_EQ(rows(), QStringLiteral("a3 c2 b1"));
}

TEST_F(MemTableSort, ExternalKeysAreComputedOncePerRecord) {
  for (auto [Name, Id] : {std::pair{"b", 1}, {"a", 3}, {"c", 2}}) AppendRow({Name, Id});
  int Calls = 0;
  Table->SortWithExternalProc(TGetOrderVarValueProcEh([this, &Calls](Variant& Value, Integer) {
                                ++Calls;
                                Value = Table->FieldByName(QStringLiteral("Id"))->AsInteger() % 3;
                              }),
                              {{/*Desc=*/true, ftInteger}});
  EXPECT_EQ(Calls, 3);
  EXPECT_EQ(rows(), QStringLiteral("c2 b1 a3"));
}

// ---------------------------------------------------------------------------
// instant read

TEST_F(MemTableSort, InstantReadNestsAndRefusesASort) {
  for (auto [Name, Id] : {std::pair{"b", 1}, {"a", 2}}) AppendRow({Name, Id});
  EXPECT_RAISES(Table->InstantReadLeave(), Exception, "TCustomMemTableEh not in instant read mode.");
  Table->InstantReadEnter(1);
  Table->InstantReadEnter(0);
  EXPECT_EQ(Table->FieldByName(QStringLiteral("Id"))->AsInteger(), 1);
  EXPECT_RAISES(Table->SortByFields(QStringLiteral("Name")), Exception,
                "Sort data in InstantReadMode is not allowed.");
  Table->InstantReadLeave();
  EXPECT_EQ(Table->FieldByName(QStringLiteral("Id"))->AsInteger(), 2);
  Table->InstantReadLeave();
  EXPECT_FALSE(Table->InstantReadMode());
  EXPECT_RAISES(Table->InstantReadLeave(), Exception, "TCustomMemTableEh not in instant read mode.");
  Table->SortByFields(QStringLiteral("Name"));
  EXPECT_EQ(rows(), QStringLiteral("a2 b1"));
}

TEST_F(MemTableSort, InstantReadWhileInsertingCountsTheNewRow) {
  for (int Id = 0; Id < 6; ++Id) AppendRow({QStringLiteral("n%1").arg(Id), Id});
  Table->SetRecNo(4);  // view row 3
  Table->Insert();
  Table->FieldByName(QStringLiteral("Id"))->SetAsInteger(99);
  EXPECT_EQ(Table->InstantReadRowCount(), 7);
  Table->InstantReadEnter(3);
  EXPECT_EQ(Table->FieldByName(QStringLiteral("Id"))->AsInteger(), 99);
  EXPECT_EQ(Table->InstantReadViewRow(), 3);
  Table->InstantReadLeave();
  Table->InstantReadEnter(4);
  EXPECT_EQ(Table->FieldByName(QStringLiteral("Id"))->AsInteger(), 3);
  EXPECT_EQ(Table->InstantReadViewRow(), 4);
  Table->InstantReadLeave();
  Table->Cancel();
  EXPECT_EQ(Table->InstantReadRowCount(), 6);
}

TEST_F(MemTableSort, AnEnterThatFailsLeavesNoInstantRead) {
  AppendRow({"a", 1});
  Table->Close();
  Table->Fields()->Clear();
  for (Integer I = 0; I < Table->FieldDefs()->Count(); ++I) Table->FieldDefs()->Items(I)->CreateField(Table);
  auto* Calc = new TIntegerField(Table);
  Calc->SetFieldName(QStringLiteral("Calc"));
  Calc->SetFieldKind(fkCalculated);
  Calc->SetDataSet(Table);
  bool Fail = false;
  Table->OnCalcFields = TDataSetNotifyEvent([&Fail](TDataSet*) {
    if (Fail) throw Exception(QStringLiteral("calc failed"));
  });
  Table->Open();
  // A record read without its view node computes its calculated fields.
  Fail = true;
  EXPECT_RAISES(Table->InstantReadEnter(Table->RecordsView()->ViewRecord(0), -1), Exception, "calc failed");
  EXPECT_FALSE(Table->InstantReadMode());
  Fail = false;
  Table->InstantReadEnter(Table->RecordsView()->ViewRecord(0), -1);
  EXPECT_TRUE(Table->InstantReadMode());
  Table->InstantReadLeave();
}

// ---------------------------------------------------------------------------
// cached updates

TEST_F(MemTableSort, CachedChangesMergeOrCancel) {
  AppendRow({"a", 1});
  Table->SetCachedUpdates(true);
  Table->Edit();
  Table->FieldByName(QStringLiteral("Name"))->SetAsString(QStringLiteral("z"));
  Table->Post();
  AppendRow({"b", 2});
  EXPECT_TRUE(Table->HasCachedChanges());
  Table->CancelUpdates();
  EXPECT_FALSE(Table->HasCachedChanges());
  EXPECT_EQ(rows(), QStringLiteral("a1"));

  AppendRow({"b", 2});
  EXPECT_EQ(Table->ApplyUpdates(-1), 0);  // no driver: merged
  EXPECT_FALSE(Table->HasCachedChanges());
  Table->CancelUpdates();
  EXPECT_EQ(rows(), QStringLiteral("a1 b2"));
}

// ---------------------------------------------------------------------------
// totals of a range

TEST(MemTableAggregates, RangesAndFunctions) {
  TMemTableViewFixture T({{"Id", ftInteger}, {"Amount", ftInteger}, {"Day", ftDate}});
  const TDateTime Day1 = 45000, Day2 = 45010;
  T.AppendRow({1, 1, Day2});
  T.AppendRow({2, 2, Day1});
  T.AppendRow({3, Null(), Null()});
  T.Table->SetRecNo(2);
  const TBookmark Second = T.Table->Bookmark();
  const TBookmark None;
  struct Case {
    const char* Name;
    TBookmark From, To;
    const char* Field;
    TAggrFunctionsEh Funcs;
    TAggrResultArr Expected;
  } Cases[] = {
      {"row count", None, None, "", {agfCountEh}, {Null(), 3, Null(), Null(), Null()}},
      {"row count from a bookmark", Second, None, "", {agfCountEh}, {Null(), 2, Null(), Null(), Null()}},
      {"average skips Nulls", None, None, "Amount", {agfAvg}, {3, 2, 1.5, 1, 2}},
      {"sum, count and extremes", None, Second, "Amount", {agfSumEh, agfCountEh}, {3, 2, Null(), 1, 2}},
      {"dates have extremes, no sum", None, None, "Day", {agfSumEh, agfMin, agfMax},
       {Null(), 0, Null(), VarFromDateTime(Day1), VarFromDateTime(Day2)}},
      {"an unknown field leaves the reset values", None, None, "Nope", {agfSumEh}, {Null(), 0, Null(), Null(), Null()}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TAggrResultArr Result;
    T.Table->GetAggregatedValuesForRange(C.From, C.To, QString::fromLatin1(C.Field), Result, C.Funcs);
    for (size_t I = 0; I < Result.size(); ++I) {
      SCOPED_TRACE(I);
      EXPECT_EQ(VarIsNull(Result[I]), VarIsNull(C.Expected[I]));
      if (!VarIsNull(C.Expected[I])) EXPECT_EQ(VarCompareValue(Result[I], C.Expected[I]), vrEqual);
    }
  }
}

// A valid bookmark of a record the filter hides answers row 0; the range must
// not start before the first row.
TEST(MemTableAggregates, ABookmarkOfAHiddenRecordStartsAtTheFirstRow) {
  TMemTableViewFixture T({{"Id", ftInteger}});
  for (int Id = 1; Id <= 3; ++Id) T.AppendRow({Id});
  T.Table->First();
  const TBookmark Hidden = T.Table->Bookmark();
  T.Table->SetFilter(QStringLiteral("Id > 1"));
  T.Table->SetFiltered(true);
  TAggrResultArr Result;
  T.Table->GetAggregatedValuesForRange(Hidden, TBookmark(), QStringLiteral("Id"), Result, {agfSumEh});
  EXPECT_EQ(Result[agfSumEh].AsInteger(), 5);
}

// ---------------------------------------------------------------------------
// moving records

class MemTableMove : public ::testing::Test, public TMemTableViewFixture {
protected:
  MemTableMove() : TMemTableViewFixture({{"Id", ftInteger}, {"ParentId", ftInteger}}) {}
  void fill(int Count) {
    for (int Id = 1; Id <= Count; ++Id) AppendRow({Id, Null()});
  }
  TBookmark bookmarkOfRow(int RecNo) {
    Table->SetRecNo(RecNo);
    return Table->Bookmark();
  }
};

TEST_F(MemTableMove, MovingRowsOfAFlatView) {
  fill(10);
  EXPECT_TRUE(Table->MoveRecord(0, 10, 0, false));  // ToIndex at the row count
  EXPECT_EQ(Ids(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));

  struct Case {
    int ToRecNo;
    std::vector<int> Ids;
  } Cases[] = {
      {8, {1, 3, 5, 6, 7, 8, 2, 4, 9, 10}},  // from above: they end at row 8
      {1, {2, 4, 1, 3, 5, 6, 7, 8, 9, 10}},  // from below: they start at row 1
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.ToRecNo);
    Table->EmptyTable();
    fill(10);
    TBMListEh List;
    List.AppendItem(bookmarkOfRow(2));
    List.AppendItem(bookmarkOfRow(4));
    EXPECT_TRUE(Table->MoveRecords(&List, 8, 0, /*CheckOnly=*/true));
    EXPECT_EQ(Ids(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_TRUE(Table->MoveRecords(&List, C.ToRecNo, 0, /*CheckOnly=*/false));
    EXPECT_EQ(Ids(), C.Ids);
    ASSERT_EQ(List.Count(), 2);
    EXPECT_EQ(Table->BookmarkToRecNo(List.GetItem(0)), C.ToRecNo == 8 ? 7 : 1);
  }
}

// Bookmark order is the view's order after every path that reorders rows.
class MemTableRowOrder : public MemTableMove {};

TEST_F(MemTableRowOrder, BookmarksFollowMovedRows) {
  fill(6);
  const TBookmark Second = bookmarkOfRow(2);
  const TBookmark Fifth = bookmarkOfRow(5);
  ASSERT_TRUE(Table->MoveRecord(1, 4, 0, false));  // Id 2 goes below Id 5
  EXPECT_EQ(Ids(), (std::vector<int>{1, 3, 4, 5, 2, 6}));
  EXPECT_EQ(Table->CompareBookmarks(Second, Fifth), 1);
  EXPECT_TRUE(BookmarksFollowRows(Table));

  ASSERT_TRUE(Table->MoveRecord(5, 0, 0, false));  // and Id 6 to the top
  EXPECT_EQ(Ids(), (std::vector<int>{6, 1, 3, 4, 5, 2}));
  EXPECT_TRUE(BookmarksFollowRows(Table));

  TBMListEh List;
  List.AppendItem(bookmarkOfRow(1));
  List.AppendItem(bookmarkOfRow(3));
  ASSERT_TRUE(Table->MoveRecords(&List, 6, 0, false));
  EXPECT_EQ(Ids(), (std::vector<int>{1, 4, 5, 2, 6, 3}));
  EXPECT_TRUE(BookmarksFollowRows(Table));
}

TEST_F(MemTableRowOrder, BookmarksFollowRowsUnderASortOrder) {
  for (int Id : {5, 3, 1}) AppendRow({Id, 0});
  Table->SetSortOrder(QStringLiteral("Id"));
  AppendRow({2, 0});  // inserted between 1 and 3
  EXPECT_EQ(Ids(), (std::vector<int>{1, 2, 3, 5}));
  EXPECT_TRUE(BookmarksFollowRows(Table));

  Table->First();  // Id 1 edited to sort last
  Table->Edit();
  Field("Id")->SetValue(9);
  Table->Post();
  EXPECT_EQ(Ids(), (std::vector<int>{2, 3, 5, 9}));
  EXPECT_TRUE(BookmarksFollowRows(Table));

  // Equal keys keep records-list order, so a move reorders them.
  Table->SetSortOrder(QStringLiteral("ParentId"));
  EXPECT_EQ(Ids(), (std::vector<int>{5, 3, 9, 2}));
  ASSERT_TRUE(Table->MoveRecord(0, 2, 0, false));
  EXPECT_EQ(Ids(), (std::vector<int>{3, 9, 5, 2}));
  EXPECT_TRUE(BookmarksFollowRows(Table));
}

// A tree by Id and ParentId, every branch expanded.
class MemTableMoveTree : public MemTableMove {
protected:
  void makeTree(std::initializer_list<std::pair<int, Variant>> Nodes) {
    for (const auto& [Id, Parent] : Nodes) AppendRow({Id, Parent});
    TRecordsViewEh* View = Table->RecordsView();
    View->SetTreeViewKeyFieldName(QStringLiteral("Id"));
    View->SetTreeViewRefParentFieldName(QStringLiteral("ParentId"));
    View->MemoryTreeList()->SetDefaultNodeExpanded(true);
    View->SetViewAsTreeList(true);
    Table->Resync({});
  }
  Variant parentOf(int Id) {
    Table->Locate(QStringLiteral("Id"), Id, {});
    return Table->FieldByName(QStringLiteral("ParentId"))->Value();
  }
};

//   rows: 1          level 1
//         └ 2        level 2
//           └ 3      level 3
//         4          level 1
//         └ 5        level 2
TEST_F(MemTableMoveTree, UnderItsOwnDescendantANodeCannotGo) {
  makeTree({{1, Null()}, {2, 1}, {3, 2}, {4, Null()}, {5, 4}});
  ASSERT_EQ(Ids(), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_FALSE(Table->MoveRecord(0, 2, 4, /*CheckOnly=*/true));  // node 1 as a child of node 3
  EXPECT_TRUE(Table->MoveRecord(4, 3, 3, /*CheckOnly=*/true));   // node 5 after node 3
  EXPECT_EQ(Ids(), (std::vector<int>{1, 2, 3, 4, 5}));

  // Node 5 up to row 2 at level 2: after node 2, so under node 1.
  EXPECT_TRUE(Table->MoveRecord(4, 2, 2, /*CheckOnly=*/false));
  EXPECT_EQ(parentOf(5).AsInteger(), 1);
}

//   rows: 1          level 1
//         2          level 1
//         └ 3        level 2
//         4          level 1
// Moving node 1 down to row 2 (node 3) at level 1: the last row is no
// neighbour below there, so node 1 goes after node 3's level-1 ancestor,
// node 2 (appointed index 1), not before node 4 (it would be 2).
TEST_F(MemTableMoveTree, DownwardsTheLastRowIsNoNeighbourBelow) {
  makeTree({{1, Null()}, {2, Null()}, {3, 2}, {4, Null()}});
  ASSERT_EQ(Ids(), (std::vector<int>{1, 2, 3, 4}));
  std::vector<Integer> Appointed;
  Table->OnRecordsViewCheckMoveNode = TRecordsViewCheckMoveNodeEventEh(
      [&Appointed](TObject*, TMemRecViewEh*, TMemRecViewEh*, Integer AppointedIndex) {
        Appointed.push_back(AppointedIndex);
        return false;
      });
  EXPECT_FALSE(Table->MoveRecord(0, 2, 1, /*CheckOnly=*/true));
  EXPECT_EQ(Appointed, (std::vector<Integer>{1}));
}

}  // namespace
