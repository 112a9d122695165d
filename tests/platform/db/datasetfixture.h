// The dataset the engine's suites share: six rows (ID 1..6, Name, Amount)
// over TRowListDataSet, a data source and a recording link.
#pragma once

#include "platform/db/dataset.h"
#include "platform/db/dbconsts.h"
#include "platform/db/datasource.h"
#include "platform/db/fielddefs.h"
#include "platform/db/fields.h"
#include "platform/db/testing/recorders.h"
#include "platform/db/testing/rowlistdataset.h"

#include "tests/support/testing.h"

#include <QStringList>
#include <initializer_list>
#include <vector>

namespace dbtest {

inline const char* const Names[] = {"Smith", "Jones", "Brown", "Taylor", "Wilson", "Evans"};

// Members are destroyed link first, then the source, then the dataset.
struct TDataSetFixture {
  TRowListDataSet DataSet{nullptr};
  TDataSource Source{nullptr};
  TRecordingDataLink Link;

  // Rows ID 1..RowCount; the link shows LinkRows rows and journals into the
  // dataset's log.
  explicit TDataSetFixture(int RowCount = 6, int LinkRows = 3) {
    DataSet.FieldDefs()->Add("ID", ftInteger);
    DataSet.FieldDefs()->Add("Name", ftString, 20);
    DataSet.FieldDefs()->Add("Amount", ftFloat);
    for (int I = 1; I <= RowCount; ++I) DataSet.AppendRow({I, String(Names[(I - 1) % 6]), I * 1.5});
    Source.SetDataSet(&DataSet);
    Link.SetBufferCount(LinkRows);
    Link.SetDataSource(&Source);
    Link.SetJournal(&DataSet.Log());
  }

  int CurrentId() { return DataSet.FieldByName("ID")->AsInteger(); }
  // Forgets everything logged so far.
  void Reset() {
    DataSet.ClearLog();
    Link.Clear();
  }
};

// The log without the protocol calls: dataset events and link lines only.
inline std::vector<String> Events(const std::vector<String>& Log) {
  std::vector<String> Result;
  for (const String& Entry : Log)
    if (!Entry.startsWith(u"Internal") && !Entry.startsWith(u"GetRecord")) Result.push_back(Entry);
  return Result;
}

// A compact expectation: "BeforeScroll|link:CheckBrowseMode|AfterScroll".
inline std::vector<String> Seq(const char* Text) {
  std::vector<String> Result;
  if (*Text == 0) return Result;
  for (const String& Part : String::fromUtf8(Text).split(u'|')) Result.push_back(Part);
  return Result;
}

}  // namespace dbtest
