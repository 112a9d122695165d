#include "platform/rtl/scopeexit.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(ScopeExitTest, RunsOnReturnAndOnException) {
  int Runs = 0;
  { const TScopeExit Cleanup([&] { ++Runs; }); }
  EXPECT_EQ(Runs, 1);
  try {
    const TScopeExit Cleanup([&] { ++Runs; });
    throw std::runtime_error("step failed");
  } catch (const std::runtime_error&) {
    EXPECT_EQ(Runs, 2) << "ran before the handler";
  }
}

TEST(ScopeExitTest, ReleasedCleanupDoesNotRun) {
  int Runs = 0;
  {
    TScopeExit Cleanup([&] { ++Runs; });
    Cleanup.Release();
  }
  EXPECT_EQ(Runs, 0);
}

TEST(ScopeExitTest, CleanupExceptionReachesTheCaller) {
  EXPECT_THROW({ const TScopeExit Cleanup([] { throw std::runtime_error("in cleanup"); }); }, std::runtime_error);
}

}  // namespace
