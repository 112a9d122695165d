#include "platform/rtl/resources.h"

#include "tests/support/testing.h"

namespace {

TEST(ResourcesTest, AddedResourceIsFoundByNameInAnyCaseAndStreamed) {
  TResourceScope Scope("MyFont", RT_RCDATA, QByteArray("abc"));
  HRSRC R = FindResource(HInstance(), "MYFONT", RT_RCDATA);
  ASSERT_NE(R, nullptr);
  EXPECT_EQ(FindResource(HInstance(), "myfont", RT_RCDATA), R);
  EXPECT_EQ(LoadResourceBytes(R), QByteArray("abc"));

  TResourceStream S(HInstance(), "MyFont", RT_RCDATA);
  EXPECT_EQ(S.Size(), 3);
  char Buffer[3];
  S.ReadBuffer(Buffer, 3);
  EXPECT_EQ(QByteArray(Buffer, 3), QByteArray("abc"));
  EXPECT_RAISES(S.Write("x", 1), EStreamError, "Can't write to a read-only resource stream");
}

TEST(ResourcesTest, MissingResourceGivesNoHandleAndTheStreamRaises) {
  {
    TResourceScope Scope("GONE", RT_RCDATA, QByteArray("x"));
    EXPECT_EQ(FindResource(HInstance(), "GONE", 11), nullptr);  // another type
    EXPECT_EQ(FindResource(nullptr, "GONE", RT_RCDATA), nullptr);  // another module
  }
  EXPECT_EQ(FindResource(HInstance(), "GONE", RT_RCDATA), nullptr);
  EXPECT_RAISES(TResourceStream(HInstance(), "GONE", RT_RCDATA), EResNotFound, "Resource GONE not found");
}

}  // namespace
