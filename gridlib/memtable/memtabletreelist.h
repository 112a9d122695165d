// TMemTableTreeListEh: the memory table's published TreeList property.  It
// keeps no settings of its own: each one lives in the table's records view or
// in the view's memory tree list, so the table and its grids see one state.
// Active read from a form stream waits in FLoadingActive until the table's
// Loaded, when the fields the tree needs exist.
#pragma once

#include "platform/db/dbtypes.h"
#include "platform/rtl/component.h"

class TCustomMemTableEh;
class TMemoryTreeListEh;

class TMemTableTreeListEh : public TPersistent {
  RTL_CLASS(TMemTableTreeListEh, TPersistent)
public:
  // AMemTable owns the facade.
  explicit TMemTableTreeListEh(TCustomMemTableEh* AMemTable);
  static void DescribeProperties(TPropertyTable& Props);
  // Every setting of another facade.
  void Assign(TPersistent* Source) override;

  // introduced virtuals, in slot order
  // Searches every node, collapsed branches included; a match has its
  // ancestors expanded and becomes the current record.  One key field with
  // options compares texts (loPartialKey: the record's text cut to the key's
  // length); otherwise values compare by VariantsEqualEh.
  virtual bool Locate(const String& KeyFields, const Variant& KeyValues, TLocateOptions Options);
  // Collapse (expand) every node, with the table's controls disabled.
  virtual void FullCollapse();
  virtual void FullExpand();

  // properties
  bool Active() const;
  void SetActive(bool Value);
  String KeyFieldName() const;
  void SetKeyFieldName(const String& Value);
  String RefParentFieldName() const;
  void SetRefParentFieldName(const String& Value);
  bool DefaultNodeExpanded() const;
  void SetDefaultNodeExpanded(bool Value);
  bool DefaultNodeHasChildren() const;
  void SetDefaultNodeHasChildren(bool Value);
  bool FullBuildCheck() const;
  void SetFullBuildCheck(bool Value);
  bool FilterNodeIfParentVisible() const;
  void SetFilterNodeIfParentVisible(bool Value);
  // Active as read from a stream while the table was loading.
  bool LoadingActive() const { return FLoadingActive; }

private:
  TMemoryTreeListEh* tree() const;
  // Expands every node (Expanded) or collapses it, then rebuilds the rows.
  void setAllExpanded(bool Expanded);

  TCustomMemTableEh* FMemTable;
  bool FLoadingActive = false;
};
