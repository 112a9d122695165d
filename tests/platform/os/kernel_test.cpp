#include "platform/os/kernel.h"

#include "tests/support/testing.h"

#include <thread>

namespace {

TEST(KernelTest, DebugOutputGoesToTheInstalledSinkOnly) {
  OutputDebugString(QStringLiteral("nowhere"));  // no sink: dropped
  std::vector<String> Lines;
  const TDebugOutputSink Previous = SetDebugOutputSink([&](const String& Text) { Lines.push_back(Text); });
  EXPECT_FALSE(Previous);
  OutputDebugString(QStringLiteral("one"));
  std::thread([] { OutputDebugString(QStringLiteral("from a worker")); }).join();
  const TDebugOutputSink Mine = SetDebugOutputSink(Previous);
  EXPECT_TRUE(Mine);
  OutputDebugString(QStringLiteral("dropped again"));
  EXPECT_EQ(Lines, (std::vector<String>{"one", "from a worker"}));
}

}  // namespace
