// For the suites of sorting, filters and view events: the memory-table
// fixture opened by CreateDataSet, and a receiver that writes down every view
// event it hears.
#pragma once

#include "tests/gridlib/memtable/memtablefixture.h"

#include <functional>

// Hears a table's view events as "inserted 3", "moved 4<-1", "changed view".
class TRecordingReceiver : public TObject, public IMTEventReceiverEh {
public:
  void MTViewDataEvent(Integer RowNum, TMTViewEventTypeEh Event, Integer OldRowNum) override {
    switch (Event) {
      case mtRowInsertedEh: Events.push_back(QStringLiteral("inserted %1").arg(RowNum)); break;
      case mtRowChangedEh: Events.push_back(QStringLiteral("changed %1").arg(RowNum)); break;
      case mtRowDeletedEh: Events.push_back(QStringLiteral("deleted %1").arg(RowNum)); break;
      case mtRowMovedEh: Events.push_back(QStringLiteral("moved %1<-%2").arg(RowNum).arg(OldRowNum)); break;
      case mtViewDataChangedEh: Events.push_back(QStringLiteral("changed view")); break;
    }
    if (OnEvent) OnEvent();
  }
  std::vector<String> Events;
  std::function<void()> OnEvent;
};

// Each row's bookmark compares below the next row's: bookmark order is the
// view's order.
inline testing::AssertionResult BookmarksFollowRows(TMemTableEh* Table) {
  std::vector<TBookmark> Marks;
  for (Table->First(); !Table->Eof(); Table->Next()) Marks.push_back(Table->Bookmark());
  for (size_t I = 0; I + 1 < Marks.size(); ++I)
    if (Table->CompareBookmarks(Marks[I], Marks[I + 1]) != -1)
      return testing::AssertionFailure() << "rows " << I + 1 << " and " << I + 2 << " compare out of order";
  return testing::AssertionSuccess();
}

class TMemTableViewFixture : public memtabletest::TMemTableTestFixture {
public:
  explicit TMemTableViewFixture(std::initializer_list<memtabletest::TFieldSpec> Specs)
      : TMemTableTestFixture(Specs) {
    Table->CreateDataSet();
  }
  // The integer field Name over the rows in view order; -1 for Null.
  std::vector<int> Ids(const char* Name = "Id") {
    std::vector<int> Result;
    for (const Variant& V : Column(Name)) Result.push_back(VarIsNull(V) ? -1 : V.AsInteger());
    return Result;
  }
};
