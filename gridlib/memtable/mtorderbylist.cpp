#include "gridlib/memtable/mtorderbylist.h"

#include "platform/db/dataset.h"
#include "platform/db/fields.h"

void TMTOrderByList::SetItemFieldIndex(TOrderByItemEh* Item, Integer FieldIndex) {
  Item->FieldIndex = FieldIndex;
  Item->DataType = FDataSet->Fields()->Fields(FieldIndex)->DataType();
  Item->CaseIns = FDataSet->FilterOptions().Contains(foCaseInsensitive);
}

Integer TMTOrderByList::FieldIndexOfName(const String& Name) {
  TField* Field = FDataSet->FindField(Name);
  return Field ? Field->Index() : -1;
}
