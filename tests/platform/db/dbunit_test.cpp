#include "platform/db/dbunit.h"

#include "platform/db/datasource.h"
#include "platform/db/fieldclasses.h"

#include "tests/support/testing.h"

namespace {

TEST(DbUnitTest, RegistersTheStreamedClasses) {
  InitializeDb();
  EXPECT_EQ(FindClass("TDataSource"), TDataSource::StaticClass());
  EXPECT_EQ(FindClass("TStringField"), TStringField::StaticClass());
  EXPECT_EQ(FindClass("tmemofield"), TMemoField::StaticClass());
  FinalizeDb();
  EXPECT_EQ(GetClass("TDataSource"), nullptr);
  EXPECT_EQ(GetClass("TStringField"), nullptr);
}

}  // namespace
