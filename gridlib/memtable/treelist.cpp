#include "gridlib/memtable/treelist.h"

#include "platform/rtl/numconv.h"

#include <cassert>

// ---------------------------------------------------------------------------
// TBaseTreeNodeEh

TBaseTreeNodeEh::TBaseTreeNodeEh() = default;

TBaseTreeNodeEh::~TBaseTreeNodeEh() {
  for (Integer I = 0; I < FItems.Count(); I++) GetItem(I)->Free();
}

TBaseTreeNodeEh* TBaseTreeNodeEh::GetItem(Integer Index) const {
  return static_cast<TBaseTreeNodeEh*>(FItems.Items(Index));
}

void TBaseTreeNodeEh::checkSameOwner(const TBaseTreeNodeEh* Node) const {
  if (Node->FOwner != FOwner)
    throw Exception(QStringLiteral("TBaseTreeNodeEh.Add: Tree nodes can not has different Owners"));
}

Integer TBaseTreeNodeEh::Add(TBaseTreeNodeEh* Node) {
  checkSameOwner(Node);
  const bool FastCase = allChildrenVisible() && Node->FVisible;
  const Integer Result = FItems.Add(Node);
  if (FastCase) {
    FVisibleCount++;
    Node->FVisibleIndex = Result;
  }
  VisibleItemsObsolete();
  return Result;
}

void TBaseTreeNodeEh::Insert(Integer Index, TBaseTreeNodeEh* Node) {
  checkSameOwner(Node);
  const bool FastCase = allChildrenVisible() && Node->FVisible;
  FItems.Insert(Index, Node);
  if (FastCase)
    FVisibleCount++;
  else
    VisibleItemsObsolete();
}

void TBaseTreeNodeEh::Delete(Integer Index) {
  FItems.Delete(Index);
  VisibleItemsObsolete();
}

void TBaseTreeNodeEh::Exchange(Integer Index1, Integer Index2) {
  if (Index1 == Index2) return;
  FItems.Exchange(Index1, Index2);
  GetItem(Index1)->FIndex = Index1;
  GetItem(Index2)->FIndex = Index2;
}

void TBaseTreeNodeEh::SetLevel(Integer ALevel) {
  if (ALevel == FLevel) return;
  if (FOwner && ALevel > FOwner->MaxLevel())
    throw Exception(QStringLiteral("TBaseTreeNodeEh.SetLevel: Max level exceed - ") + IntToStr(FOwner->MaxLevel()));
  FLevel = ALevel;
  for (Integer I = 0; I < Count(); I++) GetItem(I)->SetLevel(ALevel + 1);
}

void TBaseTreeNodeEh::SetExpanded(bool Value) {
  if (Value == FExpanded || !ExpandedChanging()) return;
  FExpanded = Value;
  ExpandedChanged();
}

void TBaseTreeNodeEh::SetVisible(bool Value) {
  if (Value == FVisible || !FParent || !VisibleChanging()) return;
  FVisible = Value;
  VisibleChanged();
}

bool TBaseTreeNodeEh::IsInSubtreeOf(const TBaseTreeNodeEh* Node) const {
  for (const TBaseTreeNodeEh* N = this; N; N = N->FParent)
    if (N == Node) return true;
  return false;
}

void TBaseTreeNodeEh::BuildVisibleItems() {
  FVisibleItems.Clear();
  for (Integer I = 0; I < Count(); I++) {
    TBaseTreeNodeEh* Child = GetItem(I);
    if (Child->FVisible) Child->FVisibleIndex = FVisibleItems.Add(Child);
  }
  FVisibleCount = FVisibleItems.Count();
  FVisibleItemsObsolete = false;
  FHasVisibleChildren = FVisibleCount > 0;
}

Integer TBaseTreeNodeEh::GetVisibleCount() {
  if (FVisibleItemsObsolete) BuildVisibleItems();
  return allChildrenVisible() ? Count() : FVisibleItems.Count();
}

TBaseTreeNodeEh* TBaseTreeNodeEh::GetVisibleItem(Integer Index) {
  return static_cast<TBaseTreeNodeEh*>(GetVisibleItemsList().Items(Index));
}

const TObjectListEh& TBaseTreeNodeEh::GetVisibleItemsList() {
  if (FVisibleItemsObsolete) BuildVisibleItems();
  return allChildrenVisible() ? FItems : FVisibleItems;
}

bool TBaseTreeNodeEh::GetHasVisibleChildren() {
  if (FVisibleItemsObsolete) BuildVisibleItems();
  return FHasVisibleChildren;
}

bool TBaseTreeNodeEh::ExpandedChanging() {
  return FOwner ? FOwner->ExpandedChanging(this) : true;
}

bool TBaseTreeNodeEh::VisibleChanging() { return true; }

void TBaseTreeNodeEh::VisibleItemsObsolete() { FVisibleItemsObsolete = true; }

void TBaseTreeNodeEh::ChildVisibleChanged(TBaseTreeNodeEh*) { VisibleItemsObsolete(); }

void TBaseTreeNodeEh::Clear() {
  FItems.Clear();
  FVisibleItems.Clear();
}

void TBaseTreeNodeEh::ExpandedChanged() {
  if (FOwner) FOwner->ExpandedChanged(this);
}

void TBaseTreeNodeEh::SortData(const TCompareNodesEh& Compare, TObject* ParamSort, bool ARecurse) {
  if (Count() == 0) return;
  quickSort(0, Count() - 1, Compare, ParamSort);
  if (ARecurse)
    for (Integer I = 0; I < Count(); I++) GetItem(I)->SortData(Compare, ParamSort, ARecurse);
  if (!allChildrenVisible()) VisibleItemsObsolete();
}

void TBaseTreeNodeEh::quickSort(Integer L, Integer R, const TCompareNodesEh& Compare, TObject* ParamSort) {
  Integer I;
  do {
    I = L;
    Integer J = R;
    TBaseTreeNodeEh* Pivot = GetItem(Integer((Cardinal(L) + Cardinal(R)) >> 1));
    do {
      while (Compare(GetItem(I), Pivot, ParamSort) < 0) I++;
      while (Compare(GetItem(J), Pivot, ParamSort) > 0) J--;
      if (I <= J) {
        Exchange(I, J);
        I++;
        J--;
      }
    } while (I <= J);
    if (L < J) quickSort(L, J, Compare, ParamSort);
    L = I;
  } while (I < R);
}

void TBaseTreeNodeEh::VisibleChanged() {
  if (FParent) FParent->ChildVisibleChanged(this);
}

// ---------------------------------------------------------------------------
// TTreeListEh

TTreeListEh::TTreeListEh(TClass ItemClass) : TComponent(nullptr), FItemClass(ItemClass) {
  assert(ItemClass && ItemClass->InheritsFrom(TBaseTreeNodeEh::StaticClass()) && "tree node class expected");
  FRoot = createNode();
}

TTreeListEh::~TTreeListEh() { FRoot->Free(); }

TBaseTreeNodeEh* TTreeListEh::createNode() {
  auto* Node = static_cast<TBaseTreeNodeEh*>(FItemClass->Create());
  Node->FOwner = this;
  return Node;
}

TBaseTreeNodeEh* TTreeListEh::NewNode(const String& Text, TObject* Data) {
  TBaseTreeNodeEh* Node = createNode();
  Node->FText = Text;
  Node->FData = Data;
  return Node;
}

TBaseTreeNodeEh* TTreeListEh::AddChild(const String& Text, TBaseTreeNodeEh* Parent, TObject* Data) {
  TBaseTreeNodeEh* Node = NewNode(Text, Data);
  AddNode(Node, Parent ? Parent : FRoot, naAddChildEh, /*ReIndex=*/true);
  return Node;
}

bool TTreeListEh::attachesToRootOnly(TNodeAttachModeEh Mode) {
  return Mode == naAddChildEh || Mode == naAddChildFirstEh;
}

void TTreeListEh::AddNode(TBaseTreeNodeEh* Node, TBaseTreeNodeEh* Destination, TNodeAttachModeEh Mode,
                          bool ReIndex) {
  if (!Node || Node == FRoot) return;
  if (!Destination) Destination = FRoot;
  if (Destination == FRoot && !attachesToRootOnly(Mode)) return;
  switch (Mode) {
    case naAddEh:
      AddNode(Node, Destination->FParent, naAddChildEh, /*ReIndex=*/false);
      return;
    case naAddFirstEh:
      AddNode(Node, Destination->FParent, naAddChildFirstEh, ReIndex);
      return;
    case naAddAfterEh:
      if (TBaseTreeNodeEh* Next = GetNextSibling(Destination))
        AddNode(Node, Next, naInsertEh, ReIndex);
      else
        AddNode(Node, Destination, naAddEh, ReIndex);
      return;
    case naAddChildEh:
      Node->FIndex = Destination->Add(Node);
      Node->FParent = Destination;
      Destination->FHasChildren = true;
      Node->SetLevel(Destination->FLevel + 1);
      break;
    case naAddChildFirstEh:
      Destination->Insert(0, Node);
      Node->FParent = Destination;
      Destination->FHasChildren = true;
      Node->FIndex = 0;
      Node->SetLevel(Destination->FLevel + 1);
      if (ReIndex) ReIndexChildren(Destination, /*Recurse=*/false);
      break;
    case naInsertEh: {
      TBaseTreeNodeEh* Parent = Destination->FParent;
      const Integer At = Destination->FIndex;
      Parent->Insert(At, Node);
      Node->FParent = Parent;
      Parent->FHasChildren = true;
      Node->FIndex = At;
      Node->SetLevel(Parent->FLevel + 1);
      if (ReIndex) ReIndexChildren(Parent, /*Recurse=*/false, At);
      break;
    }
  }
  NodeAttached(Node, 0, -1, nullptr);
}

void TTreeListEh::DeleteChildren(TBaseTreeNodeEh* Node) {
  for (Integer I = 0; I < Node->Count(); I++) Node->GetItem(I)->Free();
  Node->Clear();
}

void TTreeListEh::RemoveFromParent(TBaseTreeNodeEh* Node, bool ReIndex) {
  TBaseTreeNodeEh* Parent = Node->FParent;
  if (!Parent) return;
  const Integer At = positionInParent(Node);
  if (At < 0) return;
  Parent->Delete(At);
  Parent->FHasChildren = Parent->Count() > 0;
  if (ReIndex && At < Parent->Count()) ReIndexChildren(Parent, /*Recurse=*/false);
  NodeAttached(Node, 1, At, Parent);
}

Integer TTreeListEh::positionInParent(TBaseTreeNodeEh* Node) {
  // An index left stale by a bulk insert without renumbering must not take
  // another node out.
  TBaseTreeNodeEh* Parent = Node->FParent;
  const Integer At = Node->FIndex;
  if (At >= 0 && At < Parent->Count() && Parent->GetItem(At) == Node) return At;
  return Parent->FItems.IndexOf(Node);
}

void TTreeListEh::DeleteNode(TBaseTreeNodeEh* Node, bool ReIndex) {
  DeleteChildren(Node);
  RemoveFromParent(Node, ReIndex);
  Node->Free();
}

void TTreeListEh::Clear() { DeleteChildren(FRoot); }

void TTreeListEh::ReIndexChildren(TBaseTreeNodeEh* Node, bool Recurse, Integer FromIndex, Integer ToIndex) {
  if (!Node) Node = FRoot;
  Node->FVisibleItems.Clear();
  if (FromIndex < 0) FromIndex = 0;
  if (ToIndex < 0) ToIndex = Node->Count() - 1;
  for (Integer I = FromIndex; I <= ToIndex; I++) {
    TBaseTreeNodeEh* Child = Node->GetItem(I);
    Child->FIndex = I;
    if (Recurse) ReIndexChildren(Child, /*Recurse=*/true);
  }
  Node->VisibleItemsObsolete();
}

void TTreeListEh::Expand(TBaseTreeNodeEh* Node, bool Recurse) {
  if (!Node) Node = FRoot;
  if (Node->Count() == 0) return;
  if (Node != FRoot) Node->SetExpanded(true);
  if (Recurse)
    for (Integer I = 0; I < Node->Count(); I++) Expand(Node->GetItem(I), /*Recurse=*/true);
}

void TTreeListEh::Collapse(TBaseTreeNodeEh* Node, bool Recurse) {
  if (!Node) Node = FRoot;
  Node->SetExpanded(false);
  if (Recurse)
    for (Integer I = 0; I < Node->Count(); I++) Collapse(Node->GetItem(I), /*Recurse=*/true);
}

TBaseTreeNodeEh* TTreeListEh::GetNode(TBaseTreeNodeEh* StartNode, TObject* Data) {
  if (!StartNode) StartNode = FRoot;
  for (Integer I = 0; I < StartNode->Count(); I++) {
    TBaseTreeNodeEh* Child = StartNode->GetItem(I);
    if (Child->FData == Data) return Child;
    if (TBaseTreeNodeEh* Found = GetNode(Child, Data)) return Found;
  }
  return nullptr;
}

TBaseTreeNodeEh* TTreeListEh::GetFirstChild(TBaseTreeNodeEh* Node) {
  return Node && Node->Count() > 0 ? Node->GetItem(0) : nullptr;
}

TBaseTreeNodeEh* TTreeListEh::GetLastChild(TBaseTreeNodeEh* Node) {
  return Node && Node->Count() > 0 ? Node->GetItem(Node->Count() - 1) : nullptr;
}

TBaseTreeNodeEh* TTreeListEh::GetNextSibling(TBaseTreeNodeEh* Node) {
  if (!Node || !Node->FParent) return nullptr;
  const Integer Next = Node->FIndex + 1;
  return Next < Node->FParent->Count() ? Node->FParent->GetItem(Next) : nullptr;
}

TBaseTreeNodeEh* TTreeListEh::GetPrevSibling(TBaseTreeNodeEh* Node) {
  if (!Node || !Node->FParent || Node->FIndex <= 0) return nullptr;
  return Node->FParent->GetItem(Node->FIndex - 1);
}

bool TTreeListEh::HasChildren(TBaseTreeNodeEh* Node) { return (Node ? Node : FRoot)->Count() > 0; }

TBaseTreeNodeEh* TTreeListEh::GetNextVisibleSibling(TBaseTreeNodeEh* Node) {
  if (!Node || !Node->FParent) return nullptr;
  TBaseTreeNodeEh* Parent = Node->FParent;
  if (Parent->GetVisibleCount() == Parent->Count()) return GetNextSibling(Node);
  const TObjectListEh& List = Parent->GetVisibleItemsList();
  const Integer Next = Node->FVisibleIndex + 1;
  return Next < List.Count() ? static_cast<TBaseTreeNodeEh*>(List.Items(Next)) : nullptr;
}

TBaseTreeNodeEh* TTreeListEh::GetPriorVisibleSibling(TBaseTreeNodeEh* Node) {
  if (!Node || !Node->FParent) return nullptr;
  TBaseTreeNodeEh* Parent = Node->FParent;
  if (Parent->GetVisibleCount() == Parent->Count()) return GetPrevSibling(Node);
  const TObjectListEh& List = Parent->GetVisibleItemsList();
  const Integer Prior = Node->FVisibleIndex - 1;
  return Prior >= 0 && Prior < List.Count() ? static_cast<TBaseTreeNodeEh*>(List.Items(Prior)) : nullptr;
}

TBaseTreeNodeEh* TTreeListEh::GetFirst() { return GetFirstChild(FRoot); }

TBaseTreeNodeEh* TTreeListEh::GetNext(TBaseTreeNodeEh* Node) {
  if (!Node) return nullptr;
  if (Node == FRoot) return FRoot;
  if (Node->Count() > 0) return Node->GetItem(0);
  for (TBaseTreeNodeEh* N = Node; N && N != FRoot; N = N->FParent)
    if (TBaseTreeNodeEh* Sibling = GetNextSibling(N)) return Sibling;
  return nullptr;
}

TBaseTreeNodeEh* TTreeListEh::GetPrevious(TBaseTreeNodeEh* Node) {
  if (!Node) return nullptr;
  if (Node == FRoot) return FRoot;
  if (TBaseTreeNodeEh* Sibling = GetPrevSibling(Node)) {
    TBaseTreeNodeEh* Last = GetLast(Sibling);
    return Last ? Last : Sibling;
  }
  return Node->FParent == FRoot ? nullptr : Node->FParent;
}

TBaseTreeNodeEh* TTreeListEh::GetLast(TBaseTreeNodeEh* Node) {
  if (!Node) Node = FRoot;
  if (Node->Count() == 0) return nullptr;
  while (Node->Count() > 0) Node = Node->GetItem(Node->Count() - 1);
  return Node;
}

TBaseTreeNodeEh* TTreeListEh::GetFirstVisible() {
  for (Integer I = 0; I < FRoot->Count(); I++)
    if (FRoot->GetItem(I)->FVisible) return FRoot->GetItem(I);
  return nullptr;
}

bool TTreeListEh::IsBranchVisible(TBaseTreeNodeEh* Node, bool ConsiderCollapsed) {
  if (!Node || Node == FRoot) return false;
  TBaseTreeNodeEh* Ancestor = Node->FParent;
  while (Ancestor && Ancestor != FRoot) {
    if (!Ancestor->FVisible || (ConsiderCollapsed && !Ancestor->FExpanded)) return false;
    Ancestor = Ancestor->FParent;
  }
  return Ancestor == FRoot;
}

TBaseTreeNodeEh* TTreeListEh::GetNextVisible(TBaseTreeNodeEh* Node, bool ConsiderCollapsed) {
  if (!Node || Node == FRoot) return nullptr;
  TBaseTreeNodeEh* Start = Node;
  if ((Node->FExpanded || !ConsiderCollapsed) && Node->Count() > 0) {
    TBaseTreeNodeEh* First = Node->GetItem(0);
    if (First->FVisible) return First;
    Start = First;
  }
  for (TBaseTreeNodeEh* N = Start; N && N != FRoot; N = N->FParent)
    for (TBaseTreeNodeEh* Sibling = GetNextSibling(N); Sibling; Sibling = GetNextSibling(Sibling))
      if (Sibling->FVisible) return Sibling;
  return nullptr;
}

Integer TTreeListEh::CompareTreeNodes(TBaseTreeNodeEh*, TBaseTreeNodeEh*, TObject*) { return 0; }

bool TTreeListEh::ExpandedChanging(TBaseTreeNodeEh* Node) {
  return OnExpandedChanging ? OnExpandedChanging(Node) : true;
}

void TTreeListEh::ExpandedChanged(TBaseTreeNodeEh* Node) {
  if (OnExpandedChanged) OnExpandedChanged(Node);
}

void TTreeListEh::MoveTo(TBaseTreeNodeEh* Node, TBaseTreeNodeEh* Destination, TNodeAttachModeEh Mode,
                         bool ReIndex) {
  if (!Node || Node == FRoot) return;
  assert(Destination && "MoveTo needs a destination node");
  if (Destination == FRoot && !attachesToRootOnly(Mode)) return;
  if (Destination->IsInSubtreeOf(Node)) throw Exception(QStringLiteral("Reference-loop found"));
  if (TBaseTreeNodeEh* OldParent = Node->FParent) {
    OldParent->Delete(positionInParent(Node));
    OldParent->FHasChildren = OldParent->Count() > 0;
    if (ReIndex) ReIndexChildren(OldParent, /*Recurse=*/false);
  }
  AddNode(Node, Destination, Mode, ReIndex);
}

void TTreeListEh::SortData(const TCompareNodesEh& Compare, TObject* ParamSort, bool ARecurse) {
  FRoot->SortData(Compare, ParamSort, ARecurse);
}

void TTreeListEh::NodeAttached(TBaseTreeNodeEh*, Integer, Integer, TBaseTreeNodeEh*) {}
