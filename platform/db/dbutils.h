// Free routines of the dataset layer.
//
// ExtractFieldName, which splits ";"-lists of field names, is the runtime's
// (platform/rtl/strutils.h); it is included here for the callers that split
// field lists.
#pragma once

#include "platform/rtl/strutils.h"

class TComponent;
class TDataSet;
class TField;

// The field of DataSet named FieldName; "Field '%s' not found" raised for
// Control (its name prefixes the text).
TField* GetFieldProperty(TDataSet* DataSet, TComponent* Control, const String& FieldName);
