// A general ordered tree of nodes under one invisible root: the base of the
// memory tree list, the data grid's group tree and its multi-title tree.
//
//   root (level 0, never shown, never returned by the walkers)
//    ├─ node  Index 0, Level 1
//    │   └─ node  Index 0, Level 2
//    └─ node  Index 1, Level 1
//
// Invariants: an attached node is its parent's child at position Index
// (after any renumbering the caller asked for), its Level is the parent's
// plus one and never above the tree's MaxLevel, and every node of a tree has
// the tree as Owner.  A node owns its children; freeing it frees its subtree,
// children first.  The payload (Data) is never owned.
//
// Visible children: while every child is visible the child list serves as
// the visible list; otherwise FVisibleItems holds them, rebuilt lazily when
// marked obsolete (add, delete, sort, renumbering, a child's visibility).
#pragma once

#include "gridlib/base/basecontrols.h"
#include "platform/rtl/component.h"
#include "platform/rtl/methodptr.h"

class TBaseTreeNodeEh;
class TTreeListEh;

RTL_ENUM(TNodeAttachModeEh, naAddEh, naAddFirstEh, naAddChildEh, naAddChildFirstEh, naInsertEh, naAddAfterEh)

using TCompareNodesEh = TMethodPtr<Integer(TBaseTreeNodeEh* Node1, TBaseTreeNodeEh* Node2, TObject* ParamSort)>;
using TTreeNodeNotifyEvent = TMethodPtr<void(TBaseTreeNodeEh* Sender)>;
using TTreeNodeNotifyResultEvent = TMethodPtr<bool(TBaseTreeNodeEh* Sender)>;

// The deepest level a node may have in a new tree.
inline constexpr Integer DefaultTreeMaxLevelEh = 1000;

class TBaseTreeNodeEh : public TPersistent {
  RTL_CLASS(TBaseTreeNodeEh, TPersistent)
public:
  TBaseTreeNodeEh();
  // Frees the subtree, children first.
  ~TBaseTreeNodeEh() override;

  // children
  // Appends Node (of the same tree) and answers its index; Parent, Index and
  // Level are the tree's AddNode to set.
  Integer Add(TBaseTreeNodeEh* Node);
  void Insert(Integer Index, TBaseTreeNodeEh* Node);
  // Takes the child at Index out of the list without freeing it.
  void Delete(Integer Index);
  // Swaps two children and renumbers both.
  void Exchange(Integer Index1, Integer Index2);
  TBaseTreeNodeEh* GetItem(Integer Index) const;
  const TObjectListEh& Items() const { return FItems; }

  // Sets the level here and Level + 1 below, recursively; above the owner's
  // maximum raises "TBaseTreeNodeEh.SetLevel: Max level exceed - <max>".
  void SetLevel(Integer ALevel);
  void SetExpanded(bool Value);
  // Only a node with a parent may change it (the parent is told).
  void SetVisible(bool Value);
  // This node is Node or lies below it.
  bool IsInSubtreeOf(const TBaseTreeNodeEh* Node) const;

  // the visible-children cache
  void BuildVisibleItems();
  Integer GetVisibleCount();
  TBaseTreeNodeEh* GetVisibleItem(Integer Index);
  const TObjectListEh& GetVisibleItemsList();
  bool GetHasVisibleChildren();

  // properties
  Integer Count() const { return FItems.Count(); }
  Integer Index() const { return FIndex; }
  Integer Level() const { return FLevel; }
  bool Expanded() const { return FExpanded; }
  bool Visible() const { return FVisible; }
  bool HasChildren() const { return FHasChildren; }
  Integer VisibleIndex() const { return FVisibleIndex; }
  const String& Text() const { return FText; }
  TObject* Data() const { return FData; }
  TBaseTreeNodeEh* Parent() const { return FParent; }
  TTreeListEh* Owner() const { return FOwner; }

  // introduced virtuals
  virtual bool ExpandedChanging();
  virtual bool VisibleChanging();
  virtual void VisibleItemsObsolete();
  virtual void ChildVisibleChanged(TBaseTreeNodeEh* Child);
  // Empties both child lists; frees nothing.
  virtual void Clear();
  virtual void ExpandedChanged();
  virtual void SortData(const TCompareNodesEh& Compare, TObject* ParamSort, bool ARecurse);
  virtual void VisibleChanged();

protected:
  TObject* FData = nullptr;
  bool FExpanded = false;
  bool FHasChildren = false;
  bool FHasVisibleChildren = false;
  Integer FIndex = -1;
  TObjectListEh FItems;
  Integer FLevel = 0;
  TTreeListEh* FOwner = nullptr;
  TBaseTreeNodeEh* FParent = nullptr;
  String FText;
  bool FVisible = true;
  Integer FVisibleCount = 0;
  Integer FVisibleIndex = -1;
  TObjectListEh FVisibleItems;
  bool FVisibleItemsObsolete = false;

private:
  void checkSameOwner(const TBaseTreeNodeEh* Node) const;
  void quickSort(Integer L, Integer R, const TCompareNodesEh& Compare, TObject* ParamSort);
  bool allChildrenVisible() const { return FVisibleCount == Count(); }

  friend class TTreeListEh;
};

class TTreeListEh : public TComponent {
  RTL_CLASS(TTreeListEh, TComponent)
public:
  // ItemClass is TBaseTreeNodeEh or a descendant; every node, the root
  // included, is made from it.
  explicit TTreeListEh(TClass ItemClass);
  ~TTreeListEh() override;

  // building
  // A detached node of this tree: no parent, index -1, level 0.
  TBaseTreeNodeEh* NewNode(const String& Text, TObject* Data);
  // A new node appended under Parent (the root when nullptr), renumbered.
  TBaseTreeNodeEh* AddChild(const String& Text, TBaseTreeNodeEh* Parent, TObject* Data);
  void AddNode(TBaseTreeNodeEh* Node, TBaseTreeNodeEh* Destination, TNodeAttachModeEh Mode, bool ReIndex);
  // Frees every child of Node, then empties its lists.
  void DeleteChildren(TBaseTreeNodeEh* Node);
  // Takes Node out of its parent's list; the node keeps Parent and Index.
  void RemoveFromParent(TBaseTreeNodeEh* Node, bool ReIndex);
  void DeleteNode(TBaseTreeNodeEh* Node, bool ReIndex);
  void Clear();
  // Node nullptr is the root; FromIndex/ToIndex -1 mean the first/last child.
  void ReIndexChildren(TBaseTreeNodeEh* Node, bool Recurse, Integer FromIndex = -1, Integer ToIndex = -1);
  void Expand(TBaseTreeNodeEh* Node, bool Recurse);
  void Collapse(TBaseTreeNodeEh* Node, bool Recurse);

  // finding and walking (nullptr-safe)
  TBaseTreeNodeEh* GetNode(TBaseTreeNodeEh* StartNode, TObject* Data);
  TBaseTreeNodeEh* GetFirstChild(TBaseTreeNodeEh* Node);
  TBaseTreeNodeEh* GetLastChild(TBaseTreeNodeEh* Node);
  TBaseTreeNodeEh* GetNextSibling(TBaseTreeNodeEh* Node);
  TBaseTreeNodeEh* GetPrevSibling(TBaseTreeNodeEh* Node);
  bool HasChildren(TBaseTreeNodeEh* Node);
  TBaseTreeNodeEh* GetNextVisibleSibling(TBaseTreeNodeEh* Node);
  TBaseTreeNodeEh* GetPriorVisibleSibling(TBaseTreeNodeEh* Node);
  TBaseTreeNodeEh* GetFirst();
  TBaseTreeNodeEh* GetNext(TBaseTreeNodeEh* Node);
  TBaseTreeNodeEh* GetPrevious(TBaseTreeNodeEh* Node);
  TBaseTreeNodeEh* GetLast(TBaseTreeNodeEh* Node = nullptr);
  TBaseTreeNodeEh* GetFirstVisible();
  TBaseTreeNodeEh* GetNextVisible(TBaseTreeNodeEh* Node, bool ConsiderCollapsed);
  bool IsBranchVisible(TBaseTreeNodeEh* Node, bool ConsiderCollapsed);

  // properties
  TBaseTreeNodeEh* Root() const { return FRoot; }
  Integer MaxLevel() const { return FMaxLevel; }
  TClass ItemClass() const { return FItemClass; }

  // events
  TTreeNodeNotifyEvent OnExpandedChanged;
  TTreeNodeNotifyResultEvent OnExpandedChanging;

  // introduced virtuals
  virtual Integer CompareTreeNodes(TBaseTreeNodeEh* Node1, TBaseTreeNodeEh* Node2, TObject* ParamSort);
  virtual bool ExpandedChanging(TBaseTreeNodeEh* Node);
  virtual void ExpandedChanged(TBaseTreeNodeEh* Node);
  // Detaches Node and attaches it at Destination; "Reference-loop found"
  // when Destination lies in Node's subtree, before anything changes.
  virtual void MoveTo(TBaseTreeNodeEh* Node, TBaseTreeNodeEh* Destination, TNodeAttachModeEh Mode,
                      bool ReIndex);
  virtual void SortData(const TCompareNodesEh& Compare, TObject* ParamSort, bool ARecurse);
  // Operation 0: Node was attached (OldIndex -1, no OldParent); 1: it was
  // taken out of OldParent at OldIndex.
  virtual void NodeAttached(TBaseTreeNodeEh* Node, Integer Operation, Integer OldIndex,
                            TBaseTreeNodeEh* OldParent);

protected:
  TClass FItemClass;
  Integer FMaxLevel = DefaultTreeMaxLevelEh;
  TBaseTreeNodeEh* FRoot = nullptr;

private:
  TBaseTreeNodeEh* createNode();
  static bool attachesToRootOnly(TNodeAttachModeEh Mode);
  // Node's place in its parent's list (-1 when not listed).
  static Integer positionInParent(TBaseTreeNodeEh* Node);
};
