// The seam through which the library's lower layers reach the dataset
// features that the grid services register per dataset class.  The services
// stand above the grid and the memory table, so they install the finder at
// start-up; until then every lookup answers "none" and callers fall back to
// their own default.
#pragma once

#include "platform/rtl/typinfo.h"

class TCustomMemTableEh;
class TDataSet;
class TField;
class TMTDataFieldEh;
class TMTDataStructEh;
class TStrings;

// How a memory table takes a dataset's data: replace its structure and copy
// the records, add the records to the structure it has (fields matched by
// name), or replace the structure only.
RTL_ENUM(TLoadMode, lmCopy, lmAppend, lmCopyStructureOnly)

// What the lower layers ask of one dataset class's features.  The services'
// TDatasetFeaturesEh implements it; the registry keeps the objects.
class IDatasetFeaturesEh {
public:
  virtual ~IDatasetFeaturesEh() = default;
  // Fills Values with the distinct values of Field in its dataset.
  virtual void FillFieldUniqueValues(TField* Field, TStrings* Values) = 0;
  // Creates in DataStruct the field definition for AField, with its name and
  // display properties copied; answers it (DataStruct owns it).
  virtual TMTDataFieldEh* CreateAndAsignMTDateField(TMTDataStructEh* DataStruct, TField* AField) = 0;
  // Loads DataSet into MemTable in the way of DataSet's class; answers the
  // number of records loaded.  The memory table's DefaultLoadFromDataSet is
  // the default way.
  virtual Integer WriteDataSetToMemTable(TDataSet* DataSet, TCustomMemTableEh* MemTable, Integer RecordCount,
                                         TLoadMode Mode, bool UseCachedUpdates) = 0;
};

// The registered features whose dataset class is the nearest ancestor of
// DataSet's class; nullptr when none.  Not owned by the caller.
using TFindDatasetFeaturesHookEh = IDatasetFeaturesEh* (*)(TDataSet* DataSet);

// Installs the finder (nullptr uninstalls it); answers the one it replaces,
// so a test can put it back.
TFindDatasetFeaturesHookEh SetFindDatasetFeaturesHookEh(TFindDatasetFeaturesHookEh Hook);
// The installed finder's answer, or nullptr when none is installed.
IDatasetFeaturesEh* FindDatasetFeaturesForDataSet(TDataSet* DataSet);
