// A memory table for the memory-table dataset suites: made by CreateDataSet
// from field definitions, with a data source and a recording link so the
// engine's buffer window is in play.
#pragma once

#include "gridlib/memtable/memtable.h"
#include "platform/db/datasource.h"
#include "platform/db/fielddefs.h"
#include "platform/db/fields.h"
#include "platform/db/testing/recorders.h"
#include "tests/support/testing.h"

#include <initializer_list>
#include <vector>

namespace memtabletest {

// The table with its protected machinery in reach of the suites.
class TProbeMemTable : public TMemTableEh {
public:
  explicit TProbeMemTable(TComponent* AOwner) : TMemTableEh(AOwner) {}
  using TCustomMemTableEh::AllocRecordBuffer;
  using TCustomMemTableEh::FreeRecordBuffer;
  using TDataSet::BufferCount;
  using TDataSet::RestoreState;
  using TDataSet::SetTempState;
  Integer CacheCount() const { return FRecordCache.Count(); }
  Integer PendingEventCount() const { return FMTViewDataEventInactiveCount; }
  Integer PendingRowNum() const { return FInactiveEventRowNum; }
  TMTViewEventTypeEh PendingEvent() const { return FInactiveEvent; }
};

struct TFieldSpec {
  const char* Name;
  TFieldType Type;
  Integer Size = 0;
};

class TMemTableTestFixture {
public:
  explicit TMemTableTestFixture(std::initializer_list<TFieldSpec> Specs, int LinkRows = 5)
      : Table(new TProbeMemTable(nullptr)), Source(new TDataSource(nullptr)) {
    for (const TFieldSpec& S : Specs) Table->FieldDefs()->Add(QString::fromLatin1(S.Name), S.Type, S.Size);
    Source->SetDataSet(Table);
    Link.SetBufferCount(LinkRows);
    Link.SetDataSource(Source);
  }
  ~TMemTableTestFixture() {
    Link.SetDataSource(nullptr);
    Source->Free();
    Table->Free();
  }
  TMemTableTestFixture(const TMemTableTestFixture&) = delete;
  TMemTableTestFixture& operator=(const TMemTableTestFixture&) = delete;

  // Appends a posted row with Values in field order.
  void AppendRow(std::initializer_list<Variant> Values) {
    Table->Append();
    Integer I = 0;
    for (const Variant& V : Values) Table->Fields()->Fields(I++)->SetValue(V);
    Table->Post();
  }
  // The values of field Name over the rows, in view order.
  std::vector<Variant> Column(const char* Name) {
    std::vector<Variant> Result;
    Table->First();
    while (!Table->Eof()) {
      Result.push_back(Table->FieldByName(QString::fromLatin1(Name))->AsVariant());
      Table->Next();
    }
    return Result;
  }
  TField* Field(const char* Name) { return Table->FieldByName(QString::fromLatin1(Name)); }

  TProbeMemTable* Table;
  TDataSource* Source;
  TRecordingDataLink Link;
};

}  // namespace memtabletest
