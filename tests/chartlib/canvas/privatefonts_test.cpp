#include "chartlib/canvas/privatefonts.h"

#include "chartlib/canvas/teemodules.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/stringlist.h"

#include "tests/chartlib/canvas/canvasfixture.h"
#include "tests/support/testing.h"

#include <memory>

namespace {

class PrivateFontsTest : public CanvasTest {
protected:
  void TearDown() override {
    TeeRemovePrivateFonts();
    TeeLoadPrivateFonts();  // as start-up left it: no resources ship
  }
};

QByteArray fontFile() { return FileBytes(QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf")); }

TEST_F(PrivateFontsTest, WithoutResourcesNoPrivateNamesAreOffered) {
  std::unique_ptr<TStream> Missing(TeeFindResourceStream("DEVAVARIDI"));
  EXPECT_EQ(Missing, nullptr);
  // no font was registered, so no family may be offered
  EXPECT_EQ(TeeAddPrivateFontsProc(), nullptr);
}

TEST_F(PrivateFontsTest, ResourceFontsAreRegisteredAndNamed) {
  const QByteArray Font = fontFile();
  ASSERT_FALSE(Font.isEmpty());
  TResourceScope Led("TEELEDFONT", RT_RCDATA, Font);
  TeeRemovePrivateFonts();
  TeeLoadPrivateFonts();
  ASSERT_NE(TeeAddPrivateFontsProc(), nullptr);
  TStringList Names;
  TeeAddPrivateFontsProc()(&Names);
  EXPECT_EQ(Names.CommaText(), "Elektra,DS-Digital");
}

TEST_F(PrivateFontsTest, WithoutTheFontMemoryLookupNothingIsOffered) {
  TResourceScope Led("TEELEDFONT", RT_RCDATA, fontFile());
  TModuleExportScope Hide("gdi32.dll", "AddFontMemResourceEx");
  TeeRemovePrivateFonts();
  TeeLoadPrivateFonts();
  EXPECT_EQ(TeeAddPrivateFontsProc(), nullptr);
}

}  // namespace
