#include "platform/ui/windowing/cursorres.h"

#include "tests/support/testing.h"

#include <QImage>

using namespace gdi;

namespace {

QImage cursorImage() {
  QImage Image(32, 32, QImage::Format_ARGB32);
  Image.fill(Qt::black);
  return Image;
}

TEST(CursorResources, FoundByNameInTheProgramsModule) {
  RegisterCursorResource(QStringLiteral("DownCur"), cursorImage(), {15, 19});
  const HCURSOR Cursor = LoadCursor(MainInstance(), u"DOWNCUR");
  EXPECT_NE(Cursor, nullptr);
  EXPECT_EQ(LoadCursor(MainInstance(), u"downcur"), Cursor);  // names ignore case
  EXPECT_EQ(LoadCursor(nullptr, u"DOWNCUR"), nullptr);         // not a system resource
  EXPECT_EQ(LoadCursor(MainInstance(), u"MISSING"), nullptr);
  EXPECT_EQ(LoadCursor(MainInstance(), MAKEINTRESOURCE(32512)), nullptr);
}

TEST(CursorResources, RegisteringAgainReplaces) {
  RegisterCursorResource(QStringLiteral("SWAP"), cursorImage(), {0, 0});
  const HCURSOR First = LoadCursor(MainInstance(), u"SWAP");
  RegisterCursorResource(QStringLiteral("SWAP"), cursorImage(), {1, 1});
  EXPECT_NE(LoadCursor(MainInstance(), u"SWAP"), First);
}

}  // namespace
