// TRefObjectField: a dataset field holding a reference to an object, which
// the memory table keeps wrapped in a variant (RefObjectToVarEh).  The table
// makes it for field definitions of type ftUnknown.
#pragma once

#include "platform/db/fields.h"

class TRefObjectField : public TField {
  RTL_CLASS(TRefObjectField, TField)
public:
  explicit TRefObjectField(TComponent* AOwner);

  // The object the current record holds, nullptr for none.  Both raise
  // "Field '%s' has no dataset" without a dataset; the dataset must be a
  // memory table.
  TObject* Value();
  void SetValue(TObject* AValue);

protected:
  // reimplemented
  void CheckTypeSize(Integer) override {}
  Variant GetAsVariant() override;
  void SetVarValue(const Variant& AValue) override;
};
