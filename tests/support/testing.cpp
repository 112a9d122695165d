#include "tests/support/testing.h"

#include <QFile>

QByteArray FileBytes(const String& Path) {
  QFile File(Path);
  return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
}

void WriteFileBytes(const String& Path, const QByteArray& Bytes) {
  QFile File(Path);
  if (!File.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    ADD_FAILURE() << "cannot write " << Path.toStdString() << ": " << File.errorString().toStdString();
    return;
  }
  EXPECT_EQ(File.write(Bytes), Bytes.size()) << "writing " << Path.toStdString();
}
