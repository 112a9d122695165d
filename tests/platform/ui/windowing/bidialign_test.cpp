#include "platform/ui/windowing/bidialign.h"

#include <gtest/gtest.h>

TEST(ChangeBiDiModeAlignmentTest, LeftAndRightSwapCentreStays) {
  const struct {
    TAlignment From, To;
  } Cases[] = {{taLeftJustify, taRightJustify}, {taRightJustify, taLeftJustify}, {taCenter, taCenter}};
  for (const auto& C : Cases) {
    TAlignment A = C.From;
    ChangeBiDiModeAlignment(A);
    EXPECT_EQ(A, C.To);
  }
}
