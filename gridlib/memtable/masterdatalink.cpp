#include "gridlib/memtable/masterdatalink.h"

#include "platform/db/dataset.h"
#include "platform/db/dbconsts.h"

#include <vector>

void TMasterDataLinkEh::SetFieldNames(const String& Value) {
  if (FFieldNames == Value) return;
  FFieldNames = Value;
  ActiveChanged();
}

void TMasterDataLinkEh::ActiveChanged() {
  FFields.Clear();
  if (Active()) {
    std::vector<TField*> Found;
    DataSet()->GetFieldList(Found, FFieldNames);
    for (TField* Field : Found) FFields.Add(Field);
  }
  if (!FDataSet->Active() || FDataSet->ComponentState().Contains(csDestroying)) return;
  if (Active()) {
    if (OnMasterChange) OnMasterChange(this);
  } else if (OnMasterDisable) {
    OnMasterDisable(this);
  }
}

void TMasterDataLinkEh::CheckBrowseMode() {
  if (FDataSet->Active()) FDataSet->CheckBrowseMode();
}

void TMasterDataLinkEh::RecordChanged(TField* Field) {
  if (DataSource()->State() == dsSetKey || !FDataSet->Active()) return;
  if (Field && FFields.IndexOf(Field) < 0) return;
  if (OnMasterChange) OnMasterChange(this);
}
