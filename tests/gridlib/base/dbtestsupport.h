// A counted dataset for the suites of the library base's data-side objects:
// TRowListDataSet with ID, Name and Amount columns and a count of the
// bookmark comparisons the objects under test make.
#pragma once

#include "platform/db/datasource.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fielddefs.h"
#include "platform/db/fields.h"
#include "platform/db/testing/rowlistdataset.h"

#include "tests/support/testing.h"

namespace basetest {

class TCountingDataSet : public TRowListDataSet {
public:
  explicit TCountingDataSet(TComponent* AOwner = nullptr) : TRowListDataSet(AOwner) {}
  int Comparisons = 0;
  int CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) override {
    ++Comparisons;
    return TRowListDataSet::CompareBookmarks(Bookmark1, Bookmark2);
  }
};

// Rows ID 1..RowCount, Name "N<id>", Amount id * 10; opened.
inline void FillDataSet(TRowListDataSet& DataSet, int RowCount) {
  DataSet.FieldDefs()->Add("ID", ftInteger);
  DataSet.FieldDefs()->Add("Name", ftString, 20);
  DataSet.FieldDefs()->Add("Amount", ftFloat);
  for (int I = 1; I <= RowCount; ++I) DataSet.AppendRow({I, String("N%1").arg(I), I * 10.0});
  DataSet.Open();
}

inline int CurrentId(TDataSet& DataSet) { return DataSet.FieldByName("ID")->AsInteger(); }

// The bookmark of the record with ID Id (the dataset is left there).
inline TBookmark BookmarkOf(TDataSet& DataSet, int Id) {
  DataSet.First();
  while (!DataSet.Eof() && CurrentId(DataSet) != Id) DataSet.Next();
  return DataSet.Bookmark();
}

}  // namespace basetest
