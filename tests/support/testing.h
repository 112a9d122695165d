// Helpers shared by the test suites.
#pragma once

#include "platform/rtl/system.h"

#include <gtest/gtest.h>
#include <ostream>

// The absolute path of Relative, a file of the repository.
inline String SourcePath(const String& Relative) {
  return QStringLiteral(BIBLIONA_SOURCE_DIR "/") + Relative;
}

// Lets GoogleTest print QString values in failure messages.
inline void PrintTo(const QString& S, std::ostream* Os) { *Os << '"' << S.toStdString() << '"'; }

// Asserts that Statement raises exception class E with exactly Message.
#define EXPECT_RAISES(Statement, E, Msg)                                  \
  do {                                                                        \
    try {                                                                     \
      Statement;                                                              \
      ADD_FAILURE() << "expected " #E " from: " #Statement;                   \
    } catch (const E& X) {                                                    \
      EXPECT_EQ(X.Message, String(Msg)) << "from: " #Statement;           \
    }                                                                         \
  } while (0)
