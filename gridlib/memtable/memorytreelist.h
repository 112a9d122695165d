// The records of a records view arranged as a tree by key and parent key.
//
// A record's parent is the record whose key (the view's TreeViewKeyFields)
// equals the record's parent reference (its TreeViewRefParentFields), by
// VariantsEqualEh; a record that refers to its own key or to no record's key
// is a top-level node.  Every node is a TMemRecViewEh carrying one record.
//
// Three flat lists are read from the tree, rebuilt lazily on the first read
// after any change (VisibleItemsObsolete):
//   rows          visible nodes whose ancestors are all visible and expanded
//   accountable   visible nodes whose ancestors are all visible (aggregates)
//   flat list     every node, depth-first; InSortedListIndex numbers it
//
// The inserted-node stack is the path of the nodes added last: records that
// arrive parent first, depth-first, find their parent on it without a search.
//
// Ownership: the tree owns its nodes, its order-by list and its lists (which
// own nothing).  The view owns the tree.  Flat-mode view items are the same
// class but belong to the view, outside any tree.
#pragma once

#include "gridlib/base/orderbylist.h"
#include "gridlib/memtable/memoryrecord.h"
#include "gridlib/memtable/treelist.h"

class TMemoryTreeListEh;
class TRecordsViewEh;

// One row of a records view: a record, its place in the view's sorted list
// and its lookup values; in tree mode also a node of the view's tree.
class TMemRecViewEh : public TBaseTreeNodeEh {
  RTL_CLASS(TMemRecViewEh, TBaseTreeNodeEh)
public:
  TMemRecViewEh() = default;
  // Marks the tree's lists obsolete and leaves the inserted-node stack.
  ~TMemRecViewEh() override;

  TMemoryRecordEh* Rec() const { return static_cast<TMemoryRecordEh*>(FData); }
  TRecordsViewEh* RecordsView() const { return FRecordsView; }
  TRecDataValues& LookupBuffer() { return FLookupBuffer; }
  void SetLookupBufferLength(Integer NewLength) { FLookupBuffer.resize(size_t(NewLength)); }
  // Renumbers the view's sorted list first when its positions are obsolete.
  Integer InSortedListIndex();

  // node access under the names the memory table uses
  bool NodeExpanded() const { return FExpanded; }
  // Sets Expanded without the expanded-changed notification.
  void SetNodeExpanded(bool Value);
  bool NodeHasChildren() const { return FHasChildren; }
  void SetNodeHasChildren(bool Value) { FHasChildren = Value; }
  bool NodeHasVisibleChildren() { return GetHasVisibleChildren(); }
  void SetNodeHasVisibleChildren(bool Value) { FHasVisibleChildren = Value; }
  Integer NodeIndex() const { return FIndex; }
  Integer NodeLevel() const { return FLevel; }
  TMemoryTreeListEh* NodeOwner() const;
  TMemRecViewEh* NodeParent() const { return static_cast<TMemRecViewEh*>(FParent); }
  void SetNodeParent(TMemRecViewEh* Value) { FParent = Value; }
  Integer NodesCount() const { return Count(); }
  bool NodeVisible() const { return FVisible; }
  Integer VisibleNodeIndex() const { return FVisibleIndex; }
  Integer VisibleNodesCount() { return GetVisibleCount(); }
  TMemRecViewEh* NodeItems(Integer Index) const { return static_cast<TMemRecViewEh*>(GetItem(Index)); }
  TMemRecViewEh* VisibleNodeItems(Integer Index) { return static_cast<TMemRecViewEh*>(GetVisibleItem(Index)); }

  // Sorts the children (not deeper) by the view's OnCompareTreeNode with the
  // sort parameter OnParseOrderByStr makes of SortByStr; nothing without it.
  void SortByFields(const String& SortByStr);

  // reimplemented
  void ExpandedChanged() override;

private:
  friend class TMemoryTreeListEh;
  friend class TRecordsViewEh;

  Integer FInSortedListIndex = -1;
  TRecDataValues FLookupBuffer;
  TRecordsViewEh* FRecordsView = nullptr;
  bool FLockUpdate = false;
};

// The sort text of the tree's branches, resolved through the structure of
// the view's container (the index goes to MTFieldIndex).
class TMemoryTreeListOrderByList : public TOrderByList {
  RTL_CLASS(TMemoryTreeListOrderByList, TOrderByList)
public:
  explicit TMemoryTreeListOrderByList(TMemoryTreeListEh* ATreeList = nullptr) : FTreeList(ATreeList) {}

  // reimplemented
  void SetItemFieldIndex(TOrderByItemEh* Item, Integer FieldIndex) override { Item->MTFieldIndex = FieldIndex; }
  Integer FieldIndexOfName(const String& Name) override;

private:
  TMemoryTreeListEh* FTreeList;
};

class TMemoryTreeListEh : public TTreeListEh {
  RTL_CLASS(TMemoryTreeListEh, TTreeListEh)
public:
  // ARecordsView owns the tree.
  explicit TMemoryTreeListEh(TRecordsViewEh* ARecordsView = nullptr);
  ~TMemoryTreeListEh() override;

  // building
  TMemRecViewEh* AddChildAtKey(const String& Name, const String& KeyFieldNames, const String& ParentFieldNames,
                               TMemoryRecordEh* MemRecord);
  // Parent nullptr is the root.
  TMemRecViewEh* AddChild(const String& Name, TMemRecViewEh* Parent, TMemoryRecordEh* MemRecord);
  // The record's parent node after the move.
  TMemRecViewEh* UpdateParent(TMemRecViewEh* Node, const String& KeyFieldNames, const String& ParentFieldNames,
                              TMemoryRecordEh* MemRecord, bool ReIndex);
  // Position for Rec's node among ParentNode's children; -1: after the last.
  Integer GetIndexForNode(TMemoryRecordEh* Rec, TMemRecViewEh* ParentNode);

  // lookups (depth-first, a child before its subtree; StartNode nullptr is
  // the root)
  TMemRecViewEh* GetNode(TMemRecViewEh* StartNode, TMemoryRecordEh* MemRecord);
  TMemRecViewEh* GetNodeAtValue(TMemRecViewEh* StartNode, const String& FieldNames, const Variant& Value);
  TMemRecViewEh* GetParentNodeAtKey(TMemRecViewEh* StartNode, const String& KeyFieldNames,
                                    const String& ParentFieldNames, TMemoryRecordEh* MemRecord);
  TMemRecViewEh* GetParentNodeAtKeyValue(TMemRecViewEh* StartNode, const String& KeyFieldNames,
                                         const String& ParentFieldNames, const Variant& RefKeyValue);
  TMemRecViewEh* GetParentNodeForRefValue(const Variant& RefValue);
  TMemRecViewEh* GetParentNodeForRec(TMemoryRecordEh* MemRecord);
  void GetChildNodesForKey(TMemRecViewEh* StartNode, const String& KeyFieldNames, const String& ParentFieldNames,
                           TMemoryRecordEh* MemRecord, TObjectListEh& ChildList);
  // Whether MemRecord with the parent reference NewRefValue (Unassigned: its
  // own) would be its own ancestor.
  bool CheckReferenceLoop(TMemoryRecordEh* MemRecord, const Variant& NewRefValue);

  // node state
  void UpdateNodeState(TMemRecViewEh* Node, bool IsUpdateParent);
  // Children are decided before their parents.
  void UpdateNodesState(TMemRecViewEh* Parent);
  void SetNodesVisible(TMemRecViewEh* Node, bool Visible, bool Recurse);
  void VisibleItemsBecomeObsolete() { FVisibleItemsObsolete = true; }
  void BuildVisibleItems();
  // The records of Node's children, each followed by its subtree's when
  // ARecurse; Node's own record is not included.
  void GetRecordsList(std::vector<TMemoryRecordEh*>& List, TMemRecViewEh* Node, bool ARecurse);
  void UpdateSortedListIndexes() {}

  // the three lists (an index outside gives nullptr)
  Integer AccountableCount();
  TMemRecViewEh* AccountableItem(Integer Index);
  const TObjectListEh& AccountableItems();
  Integer VisibleExpandedCount();
  TMemRecViewEh* VisibleExpandedItem(Integer Index) { return GetVisibleExpandedItem(Index); }
  const TObjectListEh& VisibleExpandedItems();
  Integer FlatListCount();
  TMemRecViewEh* FlatListItem(Integer Index);
  const TObjectListEh& FlatListItems();

  // properties
  bool DefaultNodeExpanded() const { return FDefaultNodeExpanded; }
  void SetDefaultNodeExpanded(bool Value) { FDefaultNodeExpanded = Value; }
  bool DefaultNodeHasChildren() const { return FDefaultNodeHasChildren; }
  void SetDefaultNodeHasChildren(bool Value) { FDefaultNodeHasChildren = Value; }
  TMemRecViewEh* DefaultParentNode() const { return FDefaultParentNode; }
  void SetDefaultParentNode(TMemRecViewEh* Value) { FDefaultParentNode = Value; }
  bool FullBuildCheck() const { return FFullBuildCheck; }
  void SetFullBuildCheck(bool Value) { FFullBuildCheck = Value; }
  bool FilterNodeIfParentVisible() const { return FFilterNodeIfParentVisible; }
  void SetFilterNodeIfParentVisible(bool Value) { FFilterNodeIfParentVisible = Value; }
  bool VisibleItemsObsolete() const { return FVisibleItemsObsolete; }
  String KeyFieldNames() const;
  String ParentFieldNames() const;
  const String& SortOrder() const { return FSortOrder; }
  // Parses Value (an unknown field raises and keeps the order), then Resort.
  void SetSortOrder(const String& Value);
  TMemRecViewEh* Root() const { return static_cast<TMemRecViewEh*>(FRoot); }
  TRecordsViewEh* RecordsView() const { return FRecordsViewEh; }
  TMemoryTreeListOrderByList* OrderByList() { return &FOrderByList; }

  // reimplemented
  Integer CompareTreeNodes(TBaseTreeNodeEh* Node1, TBaseTreeNodeEh* Node2, TObject* ParamSort) override;
  void MoveTo(TBaseTreeNodeEh* Node, TBaseTreeNodeEh* Destination, TNodeAttachModeEh Mode, bool ReIndex) override;
  void SortData(const TCompareNodesEh& Compare, TObject* ParamSort, bool ARecurse) override;

  // introduced virtuals
  virtual TMemRecViewEh* GetVisibleExpandedItem(Integer Index);
  virtual void ShowChildrenOfMatchedNodes(TMemRecViewEh* Node);
  virtual void Resort();

private:
  friend class TMemRecViewEh;

  Variant keyOf(TMemoryRecordEh* Rec) const;
  Variant parentRefOf(TMemoryRecordEh* Rec) const;
  bool refersTo(TMemoryRecordEh* Child, TMemoryRecordEh* Parent) const;
  // The node of the record the key index finds for Key; Found tells whether
  // an active index on KeyFieldNames was there to ask.
  TMemRecViewEh* nodeByKeyIndex(const String& KeyFieldNames, const Variant& Key, bool& Found);
  class TMTIndexEh* activeIndex(const String& FieldNames) const;
  TMemRecViewEh* parentFromStack(TMemoryRecordEh* MemRecord, bool& Push);
  void adoptChildren(TMemRecViewEh* NewNode, const String& KeyFieldNames, const String& ParentFieldNames,
                     TMemoryRecordEh* MemRecord);
  // Where among ParentNode's first Count children Rec goes by the view's order.
  Integer sortedPosition(TMemRecViewEh* ParentNode, Integer Count, TMemoryRecordEh* Rec);
  void nodeDestroyed(TMemRecViewEh* Node);
  void buildIfObsolete() {
    if (FVisibleItemsObsolete) BuildVisibleItems();
  }

  bool FDefaultNodeExpanded = false;
  bool FDefaultNodeHasChildren = false;
  TMemRecViewEh* FDefaultParentNode = nullptr;
  bool FFilterNodeIfParentVisible = true;
  TObjectListEh FFlatListItems;
  bool FFullBuildCheck = false;
  TObjectListEh FInsertedNodeStack;
  TMemoryTreeListOrderByList FOrderByList;
  String FSortOrder;
  TObjectListEh FVisibleExpandedItems;
  TObjectListEh FVisibleItems;
  bool FVisibleItemsObsolete = false;
  TRecordsViewEh* FRecordsViewEh;
};
