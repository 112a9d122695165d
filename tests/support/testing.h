// Helpers shared by the test suites.
#pragma once

#include "platform/rtl/system.h"

#include <QByteArray>

#include <gtest/gtest.h>
#include <memory>
#include <ostream>

// The absolute path of Relative, a file of the repository.
inline String SourcePath(const String& Relative) {
  return QStringLiteral(BIBLIONA_SOURCE_DIR "/") + Relative;
}

// Releases a component-model object with Free(), not delete, so its
// destruction protocol (free notifications, owned components) runs.
struct TFreeObject {
  template <class T>
  void operator()(T* Object) const {
    Object->Free();
  }
};
// An object a test owns for its scope.
template <class T>
using TOwned = std::unique_ptr<T, TFreeObject>;

// The whole file at Path; empty when there is none or it cannot be read
// (a folder, say), which the tests of untouched files rely on.
QByteArray FileBytes(const String& Path);
// Bytes as the whole file at Path; a test failure when it cannot be written.
void WriteFileBytes(const String& Path, const QByteArray& Bytes);

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
