// TMasterDataLinkEh: the link through which a memory table follows its
// master dataset.  The detail hears OnMasterChange when the master moves or
// one of FieldNames changes, OnMasterDisable when the link loses its master.
#pragma once

#include "gridlib/base/basecontrols.h"
#include "platform/db/datasource.h"

class TMasterDataLinkEh : public TDetailDataLink {
  RTL_CLASS(TMasterDataLinkEh, TDetailDataLink)
public:
  // ADataSet is the detail (not owned).
  explicit TMasterDataLinkEh(TDataSet* ADataSet) : FDataSet(ADataSet) {}

  // The ";"-list of master field names.
  const String& FieldNames() const { return FFieldNames; }
  void SetFieldNames(const String& Value);
  // The master's fields of FieldNames, filled while the link is active.
  const TFieldListEh& Fields() const { return FFields; }
  TDataSet* GetDetailDataSet() override { return FDataSet; }

  // events (Sender: the link)
  TNotifyEvent OnMasterChange;
  TNotifyEvent OnMasterDisable;

protected:
  // reimplemented
  // Fills Fields (a name the master lacks raises and leaves them empty),
  // then OnMasterChange or OnMasterDisable for an open detail.
  void ActiveChanged() override;
  // The open detail posts or cancels before the master moves.
  void CheckBrowseMode() override;
  void LayoutChanged() override { ActiveChanged(); }
  // nullptr or a master field: OnMasterChange, unless the master is in
  // dsSetKey or the detail is closed.
  void RecordChanged(TField* Field) override;

private:
  TDataSet* FDataSet;
  String FFieldNames;
  TFieldListEh FFields;
};
