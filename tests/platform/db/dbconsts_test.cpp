#include "platform/db/dbconsts.h"
#include "platform/db/dbtypes.h"
#include "platform/rtl/component.h"

#include "tests/support/testing.h"

namespace {

TEST(DbConstsTest, DatabaseErrorNamesTheComponent) {
  TComponent Named(nullptr), Unnamed(nullptr);
  Named.SetName("ds1");
  EXPECT_RAISES(DatabaseError("Record not found", &Named), EDatabaseError, "ds1: Record not found");
  EXPECT_RAISES(DatabaseError("Record not found", &Unnamed), EDatabaseError, "Record not found");
  EXPECT_RAISES(DatabaseErrorFmt(DBConsts::SFieldNotFound, {"x"}, &Named), EDatabaseError,
                "ds1: Field 'x' not found");
}

TEST(DbConstsTest, FieldTypeNamesKeepTheirOrdinals) {
  EXPECT_EQ(Integer(ftWideString), 24);
  EXPECT_EQ(Integer(ftSingle), 51);
  EXPECT_EQ(FieldTypeName(ftWideString), String("WideString"));
  EXPECT_EQ(FieldTypeName(ftUnknown), String("Unknown"));
  EXPECT_EQ(Integer(dsOpening), 12);
  EXPECT_EQ(Integer(deDisabledStateChange), 14);
}

}  // namespace
