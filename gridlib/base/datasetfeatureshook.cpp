#include "gridlib/base/datasetfeatureshook.h"

namespace {
// The one process-wide finder: a plain pointer set by the services' start-up
// and reset by their shutdown, with no constructor to order.
TFindDatasetFeaturesHookEh FindHook = nullptr;
}  // namespace

TFindDatasetFeaturesHookEh SetFindDatasetFeaturesHookEh(TFindDatasetFeaturesHookEh Hook) {
  TFindDatasetFeaturesHookEh Previous = FindHook;
  FindHook = Hook;
  return Previous;
}

IDatasetFeaturesEh* FindDatasetFeaturesForDataSet(TDataSet* DataSet) {
  return FindHook ? FindHook(DataSet) : nullptr;
}
