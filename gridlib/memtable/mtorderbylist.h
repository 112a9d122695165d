// The sort keys of a memory table's physical sort (SortByFields) and of the
// sort orders of its tree branches: a field list whose names resolve to the
// table's own fields.  Each item keeps the field's index in Fields, its data
// type, and compares texts case-insensitively exactly when the table's
// FilterOptions hold foCaseInsensitive at parse time.
//
// The text is "Name DESC; Id": names separated by ";" or ",", each followed
// by any number of ASC and DESC words (DESC wins).  A name the table has no
// field for raises " Field - "<name>" not found."; any other word where a
// direction or separator belongs raises " Invalid token - "<word>"".
#pragma once

#include "gridlib/base/orderbylist.h"

class TDataSet;

class TMTOrderByList : public TOrderByList {
  RTL_CLASS(TMTOrderByList, TOrderByList)
public:
  // ADataSet (not owned) names the fields; the list keeps no other state of it.
  explicit TMTOrderByList(TDataSet* ADataSet) : FDataSet(ADataSet) {}

  // reimplemented
  void SetItemFieldIndex(TOrderByItemEh* Item, Integer FieldIndex) override;
  Integer FieldIndexOfName(const String& Name) override;

private:
  TDataSet* FDataSet;
};
