#include "gridlib/memtable/memtabletreelist.h"

#include "gridlib/base/valuetext.h"
#include "gridlib/memtable/memorytreelist.h"
#include "gridlib/memtable/memtable.h"
#include "gridlib/memtable/recordsview.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"

TMemTableTreeListEh::TMemTableTreeListEh(TCustomMemTableEh* AMemTable) : FMemTable(AMemTable) {
  SetFullBuildCheck(true);
}

void TMemTableTreeListEh::DescribeProperties(TPropertyTable& Props) {
  using T = TMemTableTreeListEh;
  Props.Add("Active", &T::Active, &T::SetActive).Default(false);
  Props.Add("KeyFieldName", &T::KeyFieldName, &T::SetKeyFieldName);
  Props.Add("RefParentFieldName", &T::RefParentFieldName, &T::SetRefParentFieldName);
  Props.Add("DefaultNodeExpanded", &T::DefaultNodeExpanded, &T::SetDefaultNodeExpanded).Default(false);
  Props.Add("DefaultNodeHasChildren", &T::DefaultNodeHasChildren, &T::SetDefaultNodeHasChildren).Default(false);
  Props.Add("FullBuildCheck", &T::FullBuildCheck, &T::SetFullBuildCheck).Default(true);
  Props.Add("FilterNodeIfParentVisible", &T::FilterNodeIfParentVisible, &T::SetFilterNodeIfParentVisible)
      .Default(true);
}

void TMemTableTreeListEh::Assign(TPersistent* Source) {
  auto* Src = dynamic_cast<TMemTableTreeListEh*>(Source);
  if (!Src) {
    TPersistent::Assign(Source);
    return;
  }
  SetKeyFieldName(Src->KeyFieldName());
  SetRefParentFieldName(Src->RefParentFieldName());
  SetDefaultNodeExpanded(Src->DefaultNodeExpanded());
  SetDefaultNodeHasChildren(Src->DefaultNodeHasChildren());
  SetFullBuildCheck(Src->FullBuildCheck());
  SetFilterNodeIfParentVisible(Src->FilterNodeIfParentVisible());
  SetActive(Src->Active());
}

TMemoryTreeListEh* TMemTableTreeListEh::tree() const { return FMemTable->RecordsView()->MemoryTreeList(); }

// ---------------------------------------------------------------------------
// properties

bool TMemTableTreeListEh::Active() const { return FMemTable->RecordsView()->ViewAsTreeList(); }

void TMemTableTreeListEh::SetActive(bool Value) {
  if (FMemTable->ComponentState().Contains(csLoading)) {
    FLoadingActive = Value;
    return;
  }
  FMemTable->RecordsView()->SetViewAsTreeList(Value);
}

String TMemTableTreeListEh::KeyFieldName() const { return FMemTable->RecordsView()->TreeViewKeyFieldName(); }

void TMemTableTreeListEh::SetKeyFieldName(const String& Value) {
  FMemTable->RecordsView()->SetTreeViewKeyFieldName(Value);
}

String TMemTableTreeListEh::RefParentFieldName() const {
  return FMemTable->RecordsView()->TreeViewRefParentFieldName();
}

void TMemTableTreeListEh::SetRefParentFieldName(const String& Value) {
  FMemTable->RecordsView()->SetTreeViewRefParentFieldName(Value);
}

bool TMemTableTreeListEh::DefaultNodeExpanded() const { return tree()->DefaultNodeExpanded(); }
void TMemTableTreeListEh::SetDefaultNodeExpanded(bool Value) { tree()->SetDefaultNodeExpanded(Value); }
bool TMemTableTreeListEh::DefaultNodeHasChildren() const { return tree()->DefaultNodeHasChildren(); }
void TMemTableTreeListEh::SetDefaultNodeHasChildren(bool Value) { tree()->SetDefaultNodeHasChildren(Value); }
bool TMemTableTreeListEh::FullBuildCheck() const { return tree()->FullBuildCheck(); }
void TMemTableTreeListEh::SetFullBuildCheck(bool Value) { tree()->SetFullBuildCheck(Value); }
bool TMemTableTreeListEh::FilterNodeIfParentVisible() const { return tree()->FilterNodeIfParentVisible(); }
void TMemTableTreeListEh::SetFilterNodeIfParentVisible(bool Value) { tree()->SetFilterNodeIfParentVisible(Value); }

// ---------------------------------------------------------------------------
// tree-wide operations

namespace {

bool nodeMatches(TMemoryRecordEh* Rec, const String& KeyFields, const Variant& KeyValues, TLocateOptions Options) {
  const Variant Value = Rec->GetDataValues(KeyFields, dvvValueEh);
  if (Options.Empty() || KeyFields.contains(u';')) return VariantsEqualEh(Value, KeyValues);
  const String Key = VarToStr(KeyValues);
  String Text = VarToStr(Value);
  if (Options.Contains(loPartialKey)) Text = Text.left(Key.length());
  return Options.Contains(loCaseInsensitive) ? AnsiCompareText(Text, Key) == 0 : Text == Key;
}

}  // namespace

bool TMemTableTreeListEh::Locate(const String& KeyFields, const Variant& KeyValues, TLocateOptions Options) {
  FMemTable->CheckBrowseMode();
  if (FMemTable->Bof() && FMemTable->Eof()) return false;
  TMemoryTreeListEh* Tree = tree();
  for (Integer I = 0; I < Tree->AccountableCount(); ++I) {
    TMemRecViewEh* Node = Tree->AccountableItem(I);
    if (!Node->Rec() || !nodeMatches(Node->Rec(), KeyFields, KeyValues, Options)) continue;
    for (TMemRecViewEh* Parent = Node->NodeParent(); Parent; Parent = Parent->NodeParent())
      if (Parent->Rec()) Parent->SetExpanded(true);
    FMemTable->GotoRec(Node->Rec());
    return true;
  }
  return false;
}

void TMemTableTreeListEh::FullCollapse() {
  setAllExpanded(/*Expanded=*/false);
  // The cursor may have moved up to an ancestor of its record.
  if (FMemTable->Active()) FMemTable->DoAfterScroll();
}

void TMemTableTreeListEh::FullExpand() { setAllExpanded(/*Expanded=*/true); }

void TMemTableTreeListEh::setAllExpanded(bool Expanded) {
  TMemoryTreeListEh* Tree = tree();
  FMemTable->DisableControls();
  const TScopeExit Close([this, Tree] {
    Tree->BuildVisibleItems();
    if (FMemTable->Active()) FMemTable->Resync({});
    FMemTable->EnableControls();
  });
  TMemRecViewEh* Root = Tree->Root();
  for (Integer I = 0; I < Root->NodesCount(); ++I) {
    if (Expanded)
      Tree->Expand(Root->NodeItems(I), /*Recurse=*/true);
    else
      Tree->Collapse(Root->NodeItems(I), /*Recurse=*/true);
  }
}
