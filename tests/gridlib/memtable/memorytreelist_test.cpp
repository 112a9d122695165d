#include "gridlib/memtable/memorytreelist.h"

#include "gridlib/memtable/recordsview.h"
#include "tests/gridlib/memtable/memtabletesting.h"

#include <QStringList>

namespace {

// A view in tree mode over records (ID, Parent, Name).
class MemoryTreeList : public ::testing::Test, public TMemTableFixture {
protected:
  MemoryTreeList() : View(new TRecordsViewEh(nullptr)) {
    AddField(QStringLiteral("ID"), ftInteger);
    AddField(QStringLiteral("Parent"), ftInteger);
    AddString(QStringLiteral("Name"));
    View->OnCompareRecords = TCompareRecords(&CompareRecordsByOrderList);
    View->SetMemTableData(Data);
    View->SetTreeViewKeyFieldName(QStringLiteral("ID"));
    View->SetTreeViewRefParentFieldName(QStringLiteral("Parent"));
    View->SetViewAsTreeList(true);
    Tree()->SetDefaultNodeExpanded(true);
  }
  ~MemoryTreeList() override { View->Free(); }

  TMemoryTreeListEh* Tree() { return View->MemoryTreeList(); }
  void add(int Id, const Variant& Parent) { Append({Id, Parent, QStringLiteral("n%1").arg(Id)}); }
  TMemoryRecordEh* rec(int Id) {
    for (Integer I = 0; I < List()->Count(); I++)
      if (Value(I, 0).AsInteger() == Id) return List()->Rec(I);
    return nullptr;
  }
  TMemRecViewEh* node(int Id) { return Tree()->GetNode(nullptr, rec(Id)); }
  // The tree as text: "1(2(3) 4) 5" — children in parentheses.
  String shape(TMemRecViewEh* Parent = nullptr) {
    if (!Parent) Parent = Tree()->Root();
    QStringList Parts;
    for (Integer I = 0; I < Parent->NodesCount(); I++) {
      TMemRecViewEh* Child = Parent->NodeItems(I);
      EXPECT_EQ(Child->NodeIndex(), I);
      String Text = Child->Rec()->GetDataValue(0, dvvValueEh).AsString();
      if (Child->NodesCount() > 0) Text += QStringLiteral("(") + shape(Child) + QStringLiteral(")");
      Parts << Text;
    }
    return Parts.join(QLatin1Char(' '));
  }
  std::vector<int> rows() {
    std::vector<int> Result;
    for (Integer I = 0; I < View->Count(); I++) Result.push_back(View->GetRec(I)->GetDataValue(0, dvvValueEh).AsInteger());
    return Result;
  }
  void setParent(int Id, const Variant& Parent) {
    TMemoryRecordEh* Rec = rec(Id);
    Rec->Edit();
    Rec->SetDataValue(1, dvvValueEh, Parent);
    Rec->Post();
  }

  TRecordsViewEh* View;
};

TEST_F(MemoryTreeList, ParentFirstLoadFindsParentsThroughTheStack) {
  add(1, Null());
  add(2, 1);
  add(3, 2);
  add(4, 1);
  add(5, 5);  // refers to itself: top level, no loop
  EXPECT_EQ(shape(), QStringLiteral("1(2(3) 4) 5"));
  EXPECT_EQ(node(3)->NodeLevel(), 3);
  EXPECT_FALSE(Tree()->CheckReferenceLoop(rec(5), Variant()));
  EXPECT_EQ(rows(), (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST_F(MemoryTreeList, SameTreeWithAKeyIndex) {
  TMTIndexEh* Index = List()->Indexes()->Add();
  Index->SetFields(QStringLiteral("ID"));
  Index->SetActive(true);
  add(1, Null());
  add(2, 1);
  add(3, 2);
  add(4, 1);
  add(6, 3);
  EXPECT_EQ(shape(), QStringLiteral("1(2(3(6)) 4)"));
}

TEST_F(MemoryTreeList, ReferenceLoopIsRefusedAndChangesNothing) {
  add(1, Null());
  add(2, 1);
  add(3, 2);
  add(4, Null());
  EXPECT_RAISES(setParent(1, 3), Exception, "Reference-loop found");
  TMemoryRecordEh* One = rec(1);
  TMemoryRecordEh::Cancel(One);
  EXPECT_TRUE(VarIsNull(rec(1)->GetDataValue(1, dvvValueEh)));
  EXPECT_EQ(shape(), QStringLiteral("1(2(3)) 4"));
  setParent(1, 4);
  EXPECT_EQ(shape(), QStringLiteral("4(1(2(3)))"));
}

TEST_F(MemoryTreeList, ChildBeforeParentNeedsFullBuildCheck) {
  for (bool FullBuildCheck : {false, true}) {
    SCOPED_TRACE(FullBuildCheck);
    List()->Clear();
    Tree()->SetFullBuildCheck(FullBuildCheck);
    add(3, 1);
    add(2, 1);
    add(1, Null());
    EXPECT_EQ(shape(), FullBuildCheck ? QStringLiteral("1(3 2)") : QStringLiteral("3 2 1"));
  }
}

TEST_F(MemoryTreeList, FilterVisibilityFollowsFilterNodeIfParentVisible) {
  add(1, Null());
  add(2, 1);
  add(3, 2);
  add(4, 1);
  View->OnFilterRecord = [](TMemoryRecordEh* Rec, TMemRecViewEh*) {
    const int Id = Rec->GetDataValue(0, dvvValueEh).AsInteger();
    return Id == 3 || Id == 4;
  };
  View->RefreshFilteredRecsTreeList();
  // 1 and 2 fail, but keep a visible descendant.
  EXPECT_EQ(rows(), (std::vector<int>{1, 2, 3, 4}));

  View->OnFilterRecord = [](TMemoryRecordEh* Rec, TMemRecViewEh*) {
    return Rec->GetDataValue(0, dvvValueEh).AsInteger() == 2;
  };
  View->RefreshFilteredRecsTreeList();
  EXPECT_EQ(rows(), (std::vector<int>{1, 2}));
  Tree()->SetFilterNodeIfParentVisible(false);
  View->RefreshFilteredRecsTreeList();
  EXPECT_EQ(rows(), (std::vector<int>{1, 2, 3}));
}

TEST_F(MemoryTreeList, CollapsedNodeHidesRowsNotAggregates) {
  add(1, Null());
  add(2, 1);
  add(3, 2);
  add(4, Null());
  Tree()->Collapse(node(1), /*Recurse=*/false);
  // Expansion is the memory table's to report; it marks the lists itself.
  Tree()->VisibleItemsBecomeObsolete();
  EXPECT_EQ(rows(), (std::vector<int>{1, 4}));
  EXPECT_EQ(View->AccountableItemsCount(), 4);
  EXPECT_EQ(View->CalcAggrFieldFunc(QStringLiteral("*"), QStringLiteral("COUNT")), Variant(2));
  EXPECT_EQ(Tree()->FlatListCount(), 4);
  EXPECT_EQ(Tree()->FlatListItem(2)->InSortedListIndex(), 2);
  EXPECT_EQ(Tree()->FlatListItem(4), nullptr);
}

TEST_F(MemoryTreeList, DeletingANodeKeepsItsDescendants) {
  add(1, Null());
  add(2, 1);
  add(3, 2);
  add(4, 2);
  List()->DeleteRecord(1);  // record 2
  EXPECT_EQ(shape(), QStringLiteral("1 3 4"));
  add(2, 1);
  setParent(3, 2);
  EXPECT_EQ(shape(), QStringLiteral("1(2(3)) 4"));
}

TEST_F(MemoryTreeList, BranchesSortByTheViewsOrder) {
  add(1, Null());
  add(3, 1);
  add(2, 1);
  add(5, Null());
  View->SetSortOrder(QStringLiteral("ID DESC"));
  EXPECT_EQ(shape(), QStringLiteral("5 1(3 2)"));
  add(4, 1);
  EXPECT_EQ(shape(), QStringLiteral("5 1(4 3 2)"));
  EXPECT_EQ(rows(), (std::vector<int>{5, 1, 4, 3, 2}));
}

TEST_F(MemoryTreeList, SwitchingTreeModeOffAndOnRebuilds) {
  add(1, Null());
  add(2, 1);
  View->SetViewAsTreeList(false);
  EXPECT_EQ(Tree()->Root()->NodesCount(), 0);
  EXPECT_EQ(rows(), (std::vector<int>{1, 2}));
  View->SetViewAsTreeList(true);
  EXPECT_EQ(shape(), QStringLiteral("1(2)"));
}

}  // namespace
