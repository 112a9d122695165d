#include "gridlib/memtable/memorytreelist.h"

#include "gridlib/base/valuetext.h"
#include "gridlib/memtable/memtabledata.h"
#include "gridlib/memtable/mtindexes.h"
#include "gridlib/memtable/recordsview.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// TMemRecViewEh

TMemRecViewEh::~TMemRecViewEh() {
  if (TMemoryTreeListEh* Tree = NodeOwner()) Tree->nodeDestroyed(this);
}

TMemoryTreeListEh* TMemRecViewEh::NodeOwner() const { return dynamic_cast<TMemoryTreeListEh*>(FOwner); }

Integer TMemRecViewEh::InSortedListIndex() {
  if (FRecordsView && FRecordsView->SortedListIndexesObsolete()) FRecordsView->UpdateSortedListIndexes();
  return FInSortedListIndex;
}

void TMemRecViewEh::SetNodeExpanded(bool Value) {
  FLockUpdate = true;
  SetExpanded(Value);
  FLockUpdate = false;
}

void TMemRecViewEh::ExpandedChanged() {
  if (!FLockUpdate) TBaseTreeNodeEh::ExpandedChanged();
}

void TMemRecViewEh::SortByFields(const String& SortByStr) {
  if (!FRecordsView || !FRecordsView->OnParseOrderByStr) return;
  std::unique_ptr<TObject, void (*)(TObject*)> ParamSort(FRecordsView->OnParseOrderByStr(SortByStr),
                                                         [](TObject* O) { FreeAndNil(O); });
  TBaseTreeNodeEh::SortData(FRecordsView->OnCompareTreeNode, ParamSort.get(), /*ARecurse=*/false);
}

// ---------------------------------------------------------------------------
// TMemoryTreeListOrderByList

Integer TMemoryTreeListOrderByList::FieldIndexOfName(const String& Name) {
  TMemTableDataEh* Data = FTreeList && FTreeList->RecordsView() ? FTreeList->RecordsView()->MemTableData() : nullptr;
  return Data ? Data->DataStruct()->FieldIndex(Name) : -1;
}

// ---------------------------------------------------------------------------
// TMemoryTreeListEh

TMemoryTreeListEh::TMemoryTreeListEh(TRecordsViewEh* ARecordsView)
    : TTreeListEh(TMemRecViewEh::StaticClass()), FOrderByList(this), FRecordsViewEh(ARecordsView) {}

TMemoryTreeListEh::~TMemoryTreeListEh() {
  Clear();
  // The base destructor frees the root after this object's members are
  // gone; the root must not report back to a tree that no longer exists.
  static_cast<TMemRecViewEh*>(FRoot)->FOwner = nullptr;
}

void TMemoryTreeListEh::nodeDestroyed(TMemRecViewEh* Node) {
  FVisibleItemsObsolete = true;
  if (FInsertedNodeStack.IndexOf(Node) >= 0) FInsertedNodeStack.Clear();
}

String TMemoryTreeListEh::KeyFieldNames() const {
  return FRecordsViewEh ? FRecordsViewEh->TreeViewKeyFieldName() : String();
}

String TMemoryTreeListEh::ParentFieldNames() const {
  return FRecordsViewEh ? FRecordsViewEh->TreeViewRefParentFieldName() : String();
}

Variant TMemoryTreeListEh::keyOf(TMemoryRecordEh* Rec) const {
  return Rec->GetDataIndexValues(FRecordsViewEh->TreeViewKeyFields(), dvvValueEh);
}

Variant TMemoryTreeListEh::parentRefOf(TMemoryRecordEh* Rec) const {
  return Rec->GetDataIndexValues(FRecordsViewEh->TreeViewRefParentFields(), dvvValueEh);
}

bool TMemoryTreeListEh::refersTo(TMemoryRecordEh* Child, TMemoryRecordEh* Parent) const {
  return VariantsEqualEh(parentRefOf(Child), keyOf(Parent));
}

TMTIndexEh* TMemoryTreeListEh::activeIndex(const String& FieldNames) const {
  TMemTableDataEh* Data = FRecordsViewEh ? FRecordsViewEh->MemTableData() : nullptr;
  if (!Data) return nullptr;
  TMTIndexEh* Index = Data->RecordsList()->Indexes()->GetIndexForFields(FieldNames);
  return Index && Index->Active() && !Index->Fields().isEmpty() ? Index : nullptr;
}

TMemRecViewEh* TMemoryTreeListEh::nodeByKeyIndex(const String& KeyFieldNames, const Variant& Key, bool& Found) {
  TMTIndexEh* Index = activeIndex(KeyFieldNames);
  Found = Index != nullptr;
  if (!Index) return nullptr;
  Integer RecIndex = -1;
  if (!Index->FindRecordIndexByKey(Key, RecIndex)) return nullptr;
  return GetNode(nullptr, Index->RecordsList()->Rec(RecIndex));
}

// ---------------------------------------------------------------------------
// building

TMemRecViewEh* TMemoryTreeListEh::parentFromStack(TMemoryRecordEh* MemRecord, bool& Push) {
  const auto top = [this](Integer FromTop) {
    return static_cast<TMemRecViewEh*>(FInsertedNodeStack.Items(FInsertedNodeStack.Count() - 1 - FromTop));
  };
  Push = true;
  if (FInsertedNodeStack.Count() < 2) return nullptr;
  if (refersTo(MemRecord, top(1)->Rec())) {
    Push = false;
    return top(1);
  }
  if (refersTo(MemRecord, top(0)->Rec())) return top(0);
  FInsertedNodeStack.Delete(FInsertedNodeStack.Count() - 1);
  FInsertedNodeStack.Delete(FInsertedNodeStack.Count() - 1);
  while (FInsertedNodeStack.Count() > 0) {
    if (refersTo(MemRecord, top(0)->Rec())) return top(0);
    FInsertedNodeStack.Delete(FInsertedNodeStack.Count() - 1);
  }
  return nullptr;
}

TMemRecViewEh* TMemoryTreeListEh::AddChildAtKey(const String& Name, const String& KeyFieldNames,
                                                const String& ParentFieldNames, TMemoryRecordEh* MemRecord) {
  bool Push = true;
  TMemRecViewEh* Parent = parentFromStack(MemRecord, Push);
  if (!Parent) {
    bool Indexed = false;
    Parent = nodeByKeyIndex(KeyFieldNames, parentRefOf(MemRecord), Indexed);
    if (!Indexed) Parent = GetParentNodeAtKey(nullptr, KeyFieldNames, ParentFieldNames, MemRecord);
  }
  TMemRecViewEh* Node = AddChild(Name, Parent, MemRecord);
  if (FFullBuildCheck) adoptChildren(Node, KeyFieldNames, ParentFieldNames, MemRecord);
  if (!Push && FInsertedNodeStack.Count() > 0) FInsertedNodeStack.Delete(FInsertedNodeStack.Count() - 1);
  FInsertedNodeStack.Add(Node);
  return Node;
}

void TMemoryTreeListEh::adoptChildren(TMemRecViewEh* NewNode, const String& KeyFieldNames,
                                      const String& ParentFieldNames, TMemoryRecordEh* MemRecord) {
  TObjectListEh Children;
  if (TMTIndexEh* Index = activeIndex(ParentFieldNames)) {
    std::vector<TMemoryRecordEh*> Recs;
    Index->FillMatchedRecsList(keyOf(MemRecord), Recs);
    for (TMemoryRecordEh* Rec : Recs)
      if (Rec != MemRecord)
        if (TMemRecViewEh* Child = GetNode(nullptr, Rec)) Children.Add(Child);
  } else {
    GetChildNodesForKey(nullptr, KeyFieldNames, ParentFieldNames, MemRecord, Children);
  }
  Children.Sort([](Pointer A, Pointer B) {
    return static_cast<TMemRecViewEh*>(A)->Rec()->Index() - static_cast<TMemRecViewEh*>(B)->Rec()->Index();
  });
  for (Integer I = 0; I < Children.Count(); I++)
    MoveTo(static_cast<TMemRecViewEh*>(Children.Items(I)), NewNode, naAddChildEh, /*ReIndex=*/true);
}

Integer TMemoryTreeListEh::sortedPosition(TMemRecViewEh* ParentNode, Integer Count, TMemoryRecordEh* Rec) {
  return FRecordsViewEh->FindInsertPosition(ParentNode->Items(), Count, Rec, /*Hint=*/-1);
}

TMemRecViewEh* TMemoryTreeListEh::AddChild(const String& Name, TMemRecViewEh* Parent, TMemoryRecordEh* MemRecord) {
  if (!Parent) Parent = Root();
  const bool Sorted = !FSortOrder.isEmpty();
  TRecordsListEh* List = MemRecord->RecordsList();
  const bool IsLast = !List || MemRecord->Index() == List->Count() - 1;
  const auto lastChild = [Parent] { return static_cast<TMemRecViewEh*>(Parent->GetItem(Parent->Count() - 1)); };
  const bool Appends = IsLast || Parent->Count() == 0 || lastChild()->Rec()->Index() < MemRecord->Index();

  TMemRecViewEh* After = nullptr;
  if (!Appends && !Sorted)
    for (Integer I = Parent->Count() - 1; I >= 0 && !After; I--) {
      auto* Child = static_cast<TMemRecViewEh*>(Parent->GetItem(I));
      if (Child->Rec()->Index() < MemRecord->Index()) After = Child;
    }
  auto* Node = static_cast<TMemRecViewEh*>(TTreeListEh::AddChild(Name, Parent, MemRecord));
  if (!Appends && !Sorted) {
    TBaseTreeNodeEh* Before = After ? GetNextSibling(After) : Parent->GetItem(0);
    if (Before != Node) MoveTo(Node, Before, naInsertEh, /*ReIndex=*/true);
  }
  if (Sorted && Parent->Count() > 1) {
    const Integer At = sortedPosition(Parent, Parent->Count() - 1, MemRecord);
    if (At < Parent->Count() - 1) MoveTo(Node, Parent->GetItem(At), naInsertEh, /*ReIndex=*/true);
  }
  Node->FRecordsView = FRecordsViewEh;
  Node->SetNodeExpanded(FDefaultNodeExpanded);
  Node->FHasVisibleChildren = FDefaultNodeHasChildren;
  FVisibleItemsObsolete = true;
  return Node;
}

Integer TMemoryTreeListEh::GetIndexForNode(TMemoryRecordEh* Rec, TMemRecViewEh* ParentNode) {
  if (!FSortOrder.isEmpty()) {
    if (!ParentNode || ParentNode->Count() == 0) return -1;
    return sortedPosition(ParentNode, ParentNode->Count(), Rec);
  }
  if (!ParentNode || ParentNode->Count() == 0) return -1;
  if (ParentNode->NodeItems(ParentNode->Count() - 1)->Rec()->Index() < Rec->Index()) return -1;
  for (Integer I = ParentNode->Count() - 1; I >= 0; I--)
    if (ParentNode->NodeItems(I)->Rec()->Index() < Rec->Index()) return I + 1;
  return 0;
}

TMemRecViewEh* TMemoryTreeListEh::UpdateParent(TMemRecViewEh* Node, const String& KeyFieldNames,
                                               const String& ParentFieldNames, TMemoryRecordEh* MemRecord,
                                               bool ReIndex) {
  TMemRecViewEh* NewParent = GetParentNodeAtKey(nullptr, KeyFieldNames, ParentFieldNames, MemRecord);
  if (!NewParent) NewParent = Root();
  if (NewParent == Node->NodeParent()) {
    if (FSortOrder.isEmpty()) return NewParent;
    const Integer OldIndex = Node->NodeIndex();
    RemoveFromParent(Node, ReIndex);
    const Integer At = GetIndexForNode(MemRecord, NewParent);
    if (At < 0 || At >= NewParent->Count())
      AddNode(Node, NewParent, naAddChildEh, ReIndex);
    else
      AddNode(Node, NewParent->GetItem(At), naInsertEh, ReIndex);
    if (At != OldIndex) FVisibleItemsObsolete = true;
    return NewParent;
  }
  const Integer At = GetIndexForNode(MemRecord, NewParent);
  if (At < 0 || At >= NewParent->Count())
    MoveTo(Node, NewParent, naAddChildEh, ReIndex);
  else
    MoveTo(Node, NewParent->GetItem(At), naInsertEh, ReIndex);
  FVisibleItemsObsolete = true;
  return NewParent;
}

// ---------------------------------------------------------------------------
// lookups

namespace {

// The first node below Start (depth-first, a child before its subtree) that
// Match accepts.
template <class Pred>
TMemRecViewEh* findNode(TMemRecViewEh* Start, const Pred& Match) {
  for (Integer I = 0; I < Start->Count(); I++) {
    TMemRecViewEh* Child = Start->NodeItems(I);
    if (Match(Child)) return Child;
    if (TMemRecViewEh* Found = findNode(Child, Match)) return Found;
  }
  return nullptr;
}

}  // namespace

TMemRecViewEh* TMemoryTreeListEh::GetNode(TMemRecViewEh* StartNode, TMemoryRecordEh* MemRecord) {
  return findNode(StartNode ? StartNode : Root(), [MemRecord](TMemRecViewEh* N) { return N->Rec() == MemRecord; });
}

TMemRecViewEh* TMemoryTreeListEh::GetNodeAtValue(TMemRecViewEh* StartNode, const String& FieldNames,
                                                 const Variant& Value) {
  return findNode(StartNode ? StartNode : Root(), [&](TMemRecViewEh* N) {
    return VariantsEqualEh(N->Rec()->GetDataValues(FieldNames, dvvValueEh), Value);
  });
}

TMemRecViewEh* TMemoryTreeListEh::GetParentNodeAtKey(TMemRecViewEh* StartNode, const String& KeyFieldNames,
                                                     const String& ParentFieldNames, TMemoryRecordEh* MemRecord) {
  const Variant Ref = parentRefOf(MemRecord);
  if (VariantsEqualEh(Ref, keyOf(MemRecord))) return Root();
  if (!StartNode || StartNode == Root()) {
    bool Indexed = false;
    TMemRecViewEh* Found = nodeByKeyIndex(KeyFieldNames, Ref, Indexed);
    if (Indexed) return Found;
  }
  TMemRecViewEh* Found = findNode(StartNode ? StartNode : Root(), [&](TMemRecViewEh* N) {
    return N->Rec() != MemRecord && VariantsEqualEh(keyOf(N->Rec()), Ref);
  });
  return Found ? Found : Root();
}

TMemRecViewEh* TMemoryTreeListEh::GetParentNodeAtKeyValue(TMemRecViewEh* StartNode, const String&, const String&,
                                                          const Variant& RefKeyValue) {
  TMemRecViewEh* Found = findNode(StartNode ? StartNode : Root(),
                                  [&](TMemRecViewEh* N) { return VariantsEqualEh(keyOf(N->Rec()), RefKeyValue); });
  return Found ? Found : Root();
}

TMemRecViewEh* TMemoryTreeListEh::GetParentNodeForRefValue(const Variant& RefValue) {
  bool Indexed = false;
  TMemRecViewEh* Found = nodeByKeyIndex(KeyFieldNames(), RefValue, Indexed);
  if (Indexed) return Found;
  return GetParentNodeAtKeyValue(nullptr, KeyFieldNames(), ParentFieldNames(), RefValue);
}

TMemRecViewEh* TMemoryTreeListEh::GetParentNodeForRec(TMemoryRecordEh* MemRecord) {
  if (FInsertedNodeStack.Count() == 0) return nullptr;
  bool Indexed = false;
  TMemRecViewEh* Found = nodeByKeyIndex(KeyFieldNames(), parentRefOf(MemRecord), Indexed);
  if (Indexed) return Found;
  return GetParentNodeAtKey(nullptr, KeyFieldNames(), ParentFieldNames(), MemRecord);
}

void TMemoryTreeListEh::GetChildNodesForKey(TMemRecViewEh* StartNode, const String& KeyFieldNames,
                                            const String& ParentFieldNames, TMemoryRecordEh* MemRecord,
                                            TObjectListEh& ChildList) {
  if (!StartNode) StartNode = Root();
  const Variant Key = keyOf(MemRecord);
  for (Integer I = 0; I < StartNode->Count(); I++) {
    TMemRecViewEh* Child = StartNode->NodeItems(I);
    if (Child->Rec() != MemRecord && VariantsEqualEh(parentRefOf(Child->Rec()), Key))
      ChildList.Add(Child);
    else
      GetChildNodesForKey(Child, KeyFieldNames, ParentFieldNames, MemRecord, ChildList);
  }
}

bool TMemoryTreeListEh::CheckReferenceLoop(TMemoryRecordEh* MemRecord, const Variant& NewRefValue) {
  const Variant Ref = VarIsEmpty(NewRefValue) ? parentRefOf(MemRecord) : NewRefValue;
  if (VarIsNull(Ref) || VariantsEqualEh(Ref, keyOf(MemRecord))) return false;
  for (TMemRecViewEh* N = GetParentNodeForRefValue(Ref); N && N != Root(); N = N->NodeParent())
    if (N->Rec() == MemRecord) return true;
  return false;
}

// ---------------------------------------------------------------------------
// node state

void TMemoryTreeListEh::UpdateNodeState(TMemRecViewEh* Node, bool IsUpdateParent) {
  FVisibleItemsObsolete = true;
  if (!Node || Node == Root()) return;
  const bool Visible =
      Node->GetHasVisibleChildren() || FRecordsViewEh->IsRecordInFilter(Node->Rec(), -1, Node);
  Node->SetVisible(Visible);
  if (FRecordsViewEh->OnCalcLookupBuffer) FRecordsViewEh->OnCalcLookupBuffer(Node->Rec(), Node);
  TMemRecViewEh* Parent = Node->NodeParent();
  if (IsUpdateParent && Parent && Parent != Root() && Parent->NodeVisible() != Node->NodeVisible())
    UpdateNodeState(Parent, /*IsUpdateParent=*/true);
}

void TMemoryTreeListEh::UpdateNodesState(TMemRecViewEh* Parent) {
  if (!Parent) Parent = Root();
  for (Integer I = 0; I < Parent->Count(); I++) {
    TMemRecViewEh* Child = Parent->NodeItems(I);
    UpdateNodesState(Child);
    UpdateNodeState(Child, /*IsUpdateParent=*/false);
  }
}

void TMemoryTreeListEh::SetNodesVisible(TMemRecViewEh* Node, bool Visible, bool Recurse) {
  if (!Node) Node = Root();
  for (Integer I = 0; I < Node->Count(); I++) {
    Node->NodeItems(I)->SetVisible(Visible);
    if (Recurse) SetNodesVisible(Node->NodeItems(I), Visible, /*Recurse=*/true);
  }
  FVisibleItemsObsolete = true;
}

void TMemoryTreeListEh::ShowChildrenOfMatchedNodes(TMemRecViewEh* Node) {
  if (!Node) Node = Root();
  for (Integer I = 0; I < Node->Count(); I++) {
    TMemRecViewEh* Child = Node->NodeItems(I);
    if (!Child->NodeVisible()) continue;
    if (!Child->GetHasVisibleChildren())
      SetNodesVisible(Child, /*Visible=*/true, /*Recurse=*/true);
    else
      ShowChildrenOfMatchedNodes(Child);
  }
}

void TMemoryTreeListEh::BuildVisibleItems() {
  FVisibleExpandedItems.Clear();
  for (TBaseTreeNodeEh* N = GetFirstVisible(); N; N = GetNextVisible(N, /*ConsiderCollapsed=*/true))
    FVisibleExpandedItems.Add(N);
  FVisibleItems.Clear();
  for (TBaseTreeNodeEh* N = GetFirstVisible(); N; N = GetNextVisible(N, /*ConsiderCollapsed=*/false))
    FVisibleItems.Add(N);
  FFlatListItems.Clear();
  for (TBaseTreeNodeEh* N = GetFirst(); N; N = GetNext(N))
    static_cast<TMemRecViewEh*>(N)->FInSortedListIndex = FFlatListItems.Add(N);
  if (FRecordsViewEh) FRecordsViewEh->SetSortedListIndexesObsolete(false);
  FVisibleItemsObsolete = false;
}

void TMemoryTreeListEh::GetRecordsList(std::vector<TMemoryRecordEh*>& List, TMemRecViewEh* Node, bool ARecurse) {
  if (!Node) Node = Root();
  for (Integer I = 0; I < Node->Count(); I++) {
    List.push_back(Node->NodeItems(I)->Rec());
    if (ARecurse) GetRecordsList(List, Node->NodeItems(I), /*ARecurse=*/true);
  }
}

// ---------------------------------------------------------------------------
// the three lists

namespace {

TMemRecViewEh* itemOrNil(const TObjectListEh& List, Integer Index) {
  return Index >= 0 && Index < List.Count() ? static_cast<TMemRecViewEh*>(List.Items(Index)) : nullptr;
}

}  // namespace

Integer TMemoryTreeListEh::AccountableCount() { return AccountableItems().Count(); }

TMemRecViewEh* TMemoryTreeListEh::AccountableItem(Integer Index) { return itemOrNil(AccountableItems(), Index); }

const TObjectListEh& TMemoryTreeListEh::AccountableItems() {
  buildIfObsolete();
  return FVisibleItems;
}

Integer TMemoryTreeListEh::VisibleExpandedCount() { return VisibleExpandedItems().Count(); }

TMemRecViewEh* TMemoryTreeListEh::GetVisibleExpandedItem(Integer Index) {
  return itemOrNil(VisibleExpandedItems(), Index);
}

const TObjectListEh& TMemoryTreeListEh::VisibleExpandedItems() {
  buildIfObsolete();
  return FVisibleExpandedItems;
}

Integer TMemoryTreeListEh::FlatListCount() { return FlatListItems().Count(); }

TMemRecViewEh* TMemoryTreeListEh::FlatListItem(Integer Index) { return itemOrNil(FlatListItems(), Index); }

const TObjectListEh& TMemoryTreeListEh::FlatListItems() {
  buildIfObsolete();
  return FFlatListItems;
}

// ---------------------------------------------------------------------------
// sorting

void TMemoryTreeListEh::SetSortOrder(const String& Value) {
  if (Value == FSortOrder) return;
  FOrderByList.ParseOrderByStr(Value);
  const bool CaseIns = FRecordsViewEh && FRecordsViewEh->SortOrderCaseInsensitive();
  for (Integer I = 0; I < FOrderByList.Count(); I++) FOrderByList.Items(I)->CaseIns = CaseIns;
  FSortOrder = Value;
  Resort();
}

Integer TMemoryTreeListEh::CompareTreeNodes(TBaseTreeNodeEh* Node1, TBaseTreeNodeEh* Node2, TObject* ParamSort) {
  if (!FRecordsViewEh || !FRecordsViewEh->OnCompareRecords) return TTreeListEh::CompareTreeNodes(Node1, Node2, ParamSort);
  return FRecordsViewEh->OnCompareRecords(static_cast<TMemRecViewEh*>(Node1)->Rec(),
                                          static_cast<TMemRecViewEh*>(Node2)->Rec(), ParamSort);
}

void TMemoryTreeListEh::MoveTo(TBaseTreeNodeEh* Node, TBaseTreeNodeEh* Destination, TNodeAttachModeEh Mode,
                               bool ReIndex) {
  TTreeListEh::MoveTo(Node, Destination, Mode, ReIndex);
  FVisibleItemsObsolete = true;
}

void TMemoryTreeListEh::SortData(const TCompareNodesEh& Compare, TObject* ParamSort, bool ARecurse) {
  TTreeListEh::SortData(Compare, ParamSort, ARecurse);
  BuildVisibleItems();
  if (FRecordsViewEh) FRecordsViewEh->ViewDataEvent(nullptr, -1, rlnListChangedEh);
}

void TMemoryTreeListEh::Resort() {
  SortData(TCompareNodesEh(this, &TMemoryTreeListEh::CompareTreeNodes), &FOrderByList, /*ARecurse=*/true);
  BuildVisibleItems();
}
