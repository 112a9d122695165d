#include "platform/db/dbutils.h"

#include "platform/db/dataset.h"
#include "platform/db/dbconsts.h"

TField* GetFieldProperty(TDataSet* DataSet, TComponent* Control, const String& FieldName) {
  TField* Field = DataSet->FindField(FieldName);
  if (!Field) DatabaseErrorFmt(DBConsts::SFieldNotFound, {FieldName}, Control);
  return Field;
}
