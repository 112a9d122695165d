// The memory table's core: opening, buffers, editing, the update bracket,
// structure and streaming.
#include "gridlib/memtable/memtable.h"

#include "gridlib/memtable/memoryrecord.h"
#include "gridlib/memtable/memtabledata.h"
#include "gridlib/memtable/recordsview.h"
#include "tests/gridlib/memtable/memtablefixture.h"

using namespace memtabletest;

TEST(MemTableCore, AppendedRowsReadBackInOrder) {
  TMemTableTestFixture F({{"Id", ftInteger}, {"Name", ftString, 10}});
  F.Table->CreateDataSet();
  F.AppendRow({1, "one"});
  F.AppendRow({2, "two"});
  F.AppendRow({3, "three"});
  EXPECT_EQ(F.Table->RecordCount(), 3);
  EXPECT_EQ(F.Column("Id"), (std::vector<Variant>{1, 2, 3}));
  EXPECT_EQ(F.Column("Name"), (std::vector<Variant>{"one", "two", "three"}));
}
