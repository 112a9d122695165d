#include "gridlib/memtable/treelist.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Records every NodeAttached call.
class TRecordingTreeEh : public TTreeListEh {
public:
  TRecordingTreeEh() : TTreeListEh(TBaseTreeNodeEh::StaticClass()) {}
  void NodeAttached(TBaseTreeNodeEh* Node, Integer Operation, Integer OldIndex,
                    TBaseTreeNodeEh* OldParent) override {
    Attached.push_back({Node, Operation, OldIndex, OldParent});
  }
  struct Call {
    TBaseTreeNodeEh* Node;
    Integer Operation, OldIndex;
    TBaseTreeNodeEh* OldParent;
  };
  std::vector<Call> Attached;
};

class TreeList : public ::testing::Test {
protected:
  TreeList() : Tree(new TRecordingTreeEh) {}
  ~TreeList() override { Tree->Free(); }

  // Three children A, B, C under the root.
  void addThree() {
    A = Tree->AddChild(QStringLiteral("A"), nullptr, nullptr);
    B = Tree->AddChild(QStringLiteral("B"), nullptr, nullptr);
    C = Tree->AddChild(QStringLiteral("C"), nullptr, nullptr);
    Tree->Attached.clear();
  }
  std::vector<String> texts(TBaseTreeNodeEh* Parent) {
    std::vector<String> Result;
    for (Integer I = 0; I < Parent->Count(); I++) {
      EXPECT_EQ(Parent->GetItem(I)->Index(), I);
      Result.push_back(Parent->GetItem(I)->Text());
    }
    return Result;
  }
  static Integer byText(TBaseTreeNodeEh* N1, TBaseTreeNodeEh* N2, TObject*) {
    return N1->Text().compare(N2->Text());
  }

  TRecordingTreeEh* Tree;
  TBaseTreeNodeEh *A = nullptr, *B = nullptr, *C = nullptr;
};

TEST_F(TreeList, SiblingModesOnTheRootDoNothing) {
  for (TNodeAttachModeEh Mode : {naAddEh, naAddFirstEh, naInsertEh, naAddAfterEh}) {
    TBaseTreeNodeEh* Node = Tree->NewNode(QStringLiteral("x"), nullptr);
    Tree->AddNode(Node, Tree->Root(), Mode, /*ReIndex=*/true);
    EXPECT_EQ(Node->Parent(), nullptr);
    EXPECT_EQ(Tree->Root()->Count(), 0);
    Node->Free();
  }
  EXPECT_TRUE(Tree->Attached.empty());
}

TEST_F(TreeList, AddAfterAppendsOrInsertsAndRenumbers) {
  addThree();
  TBaseTreeNodeEh* X = Tree->NewNode(QStringLiteral("X"), nullptr);
  Tree->AddNode(X, C, naAddAfterEh, /*ReIndex=*/true);
  EXPECT_EQ(texts(Tree->Root()), (std::vector<String>{"A", "B", "C", "X"}));
  TBaseTreeNodeEh* Y = Tree->NewNode(QStringLiteral("Y"), nullptr);
  Tree->AddNode(Y, A, naAddAfterEh, /*ReIndex=*/true);
  EXPECT_EQ(texts(Tree->Root()), (std::vector<String>{"A", "Y", "B", "C", "X"}));
  EXPECT_EQ(Y->Level(), 1);
  ASSERT_EQ(Tree->Attached.size(), 2u);
  EXPECT_EQ(Tree->Attached[1].Node, Y);
  EXPECT_EQ(Tree->Attached[1].Operation, 0);
  EXPECT_EQ(Tree->Attached[1].OldIndex, -1);
}

TEST_F(TreeList, MaxLevelIsAllowedOneBelowRaises) {
  TBaseTreeNodeEh* Parent = nullptr;
  for (Integer Level = 1; Level <= DefaultTreeMaxLevelEh; Level++)
    Parent = Tree->AddChild(QString(), Parent, nullptr);
  EXPECT_EQ(Parent->Level(), 1000);
  try {
    Tree->AddChild(QString(), Parent, nullptr);
    FAIL() << "no exception";
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message, QStringLiteral("TBaseTreeNodeEh.SetLevel: Max level exceed - 1000"));
  }
}

TEST_F(TreeList, MoveIntoOwnSubtreeRaisesBeforeAnyChange) {
  addThree();
  TBaseTreeNodeEh* Child = Tree->AddChild(QStringLiteral("A1"), A, nullptr);
  for (TBaseTreeNodeEh* Destination : {A, Child}) {
    try {
      Tree->MoveTo(A, Destination, naAddChildEh, /*ReIndex=*/true);
      FAIL() << "no exception";
    } catch (const Exception& E) {
      EXPECT_EQ(E.Message, QStringLiteral("Reference-loop found"));
    }
    EXPECT_EQ(texts(Tree->Root()), (std::vector<String>{"A", "B", "C"}));
    EXPECT_EQ(Child->Parent(), A);
  }
  Tree->MoveTo(A, C, naAddChildEh, /*ReIndex=*/true);
  EXPECT_EQ(texts(Tree->Root()), (std::vector<String>{"B", "C"}));
  EXPECT_EQ(A->Parent(), C);
  EXPECT_EQ(Child->Level(), 3);
}

TEST_F(TreeList, NodeOfAnotherTreeIsRefused) {
  addThree();
  auto* Other = new TTreeListEh(TBaseTreeNodeEh::StaticClass());
  TBaseTreeNodeEh* Foreign = Other->NewNode(QStringLiteral("F"), nullptr);
  try {
    Tree->AddNode(Foreign, A, naAddChildEh, /*ReIndex=*/true);
    FAIL() << "no exception";
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message, QStringLiteral("TBaseTreeNodeEh.Add: Tree nodes can not has different Owners"));
  }
  EXPECT_EQ(A->Count(), 0);
  EXPECT_EQ(Foreign->Parent(), nullptr);
  Foreign->Free();
  Other->Free();
}

TEST_F(TreeList, HiddenChildLeavesTheVisibleList) {
  addThree();
  B->SetVisible(false);
  TBaseTreeNodeEh* Root = Tree->Root();
  EXPECT_EQ(Root->GetVisibleCount(), 2);
  EXPECT_EQ(Root->GetVisibleItem(1), C);
  EXPECT_EQ(Tree->GetNextVisibleSibling(A), C);
  EXPECT_EQ(Tree->GetPriorVisibleSibling(C), A);
  EXPECT_EQ(Tree->GetNextVisible(A, /*ConsiderCollapsed=*/true), C);
  B->SetVisible(true);
  EXPECT_EQ(Root->GetVisibleCount(), 3);
  EXPECT_EQ(Tree->GetNextVisibleSibling(A), B);
}

TEST_F(TreeList, RecursiveSortRenumbersEveryLevel) {
  for (const char* Top : {"c", "a", "b"}) {
    TBaseTreeNodeEh* Node = Tree->AddChild(QString::fromLatin1(Top), nullptr, nullptr);
    for (const char* Sub : {"z", "x", "y", "w"}) Tree->AddChild(QString::fromLatin1(Sub), Node, nullptr);
  }
  Tree->SortData(TCompareNodesEh(&byText), nullptr, /*ARecurse=*/true);
  EXPECT_EQ(texts(Tree->Root()), (std::vector<String>{"a", "b", "c"}));
  for (Integer I = 0; I < 3; I++)
    EXPECT_EQ(texts(Tree->Root()->GetItem(I)), (std::vector<String>{"w", "x", "y", "z"}));
}

TEST_F(TreeList, DepthFirstWalks) {
  addThree();
  TBaseTreeNodeEh* A1 = Tree->AddChild(QStringLiteral("A1"), A, nullptr);
  TBaseTreeNodeEh* A2 = Tree->AddChild(QStringLiteral("A2"), A, nullptr);
  std::vector<TBaseTreeNodeEh*> Forward, Backward;
  for (TBaseTreeNodeEh* N = Tree->GetFirst(); N; N = Tree->GetNext(N)) Forward.push_back(N);
  for (TBaseTreeNodeEh* N = Tree->GetLast(); N; N = Tree->GetPrevious(N)) Backward.push_back(N);
  EXPECT_EQ(Forward, (std::vector<TBaseTreeNodeEh*>{A, A1, A2, B, C}));
  EXPECT_EQ(Backward, (std::vector<TBaseTreeNodeEh*>{C, B, A2, A1, A}));
  EXPECT_EQ(Tree->GetNode(nullptr, nullptr), A);

  // collapsed A hides its children from the visible walk
  std::vector<TBaseTreeNodeEh*> Shown;
  for (TBaseTreeNodeEh* N = Tree->GetFirstVisible(); N; N = Tree->GetNextVisible(N, true)) Shown.push_back(N);
  EXPECT_EQ(Shown, (std::vector<TBaseTreeNodeEh*>{A, B, C}));
  EXPECT_FALSE(Tree->IsBranchVisible(A1, /*ConsiderCollapsed=*/true));
  Tree->Expand(nullptr, /*Recurse=*/true);
  EXPECT_FALSE(Tree->Root()->Expanded());
  EXPECT_TRUE(A->Expanded());
  EXPECT_FALSE(B->Expanded());  // a leaf is not expanded
  EXPECT_TRUE(Tree->IsBranchVisible(A1, /*ConsiderCollapsed=*/true));
}

TEST_F(TreeList, RemoveAndDeleteReportAndRenumber) {
  addThree();
  Tree->RemoveFromParent(A, /*ReIndex=*/true);
  ASSERT_EQ(Tree->Attached.size(), 1u);
  EXPECT_EQ(Tree->Attached[0].Operation, 1);
  EXPECT_EQ(Tree->Attached[0].OldIndex, 0);
  EXPECT_EQ(Tree->Attached[0].OldParent, Tree->Root());
  EXPECT_EQ(texts(Tree->Root()), (std::vector<String>{"B", "C"}));
  A->Free();
  Tree->AddChild(QStringLiteral("C1"), C, nullptr);
  Tree->DeleteNode(C, /*ReIndex=*/true);
  EXPECT_EQ(texts(Tree->Root()), (std::vector<String>{"B"}));
  EXPECT_FALSE(Tree->Root()->Count() == 0);
}

}  // namespace
