#include "platform/ui/graphics/fontmap.h"

#include "tests/support/testing.h"

#include <QFile>
#include <QFont>
#include <QFontInfo>

namespace {

class FontMapTest : public ::testing::Test {
 protected:
  void TearDown() override { ResetFontAliases(); }
};

TEST_F(FontMapTest, NamesMapToInstalledFamilies) {
  struct Case {
    const char* Name;
    const char* Family;
  } Cases[] = {
      {"Arial", "Liberation Sans"},
      {"arial", "Liberation Sans"},
      {"MS Sans Serif", "Liberation Sans"},
      {"Times New Roman", "Liberation Serif"},
      {"Courier New", "Liberation Mono"},
      {"Tahoma", "DejaVu Sans"},
      {"Verdana", "DejaVu Sans"},
      {"Segoe UI", "DejaVu Sans"},
      {"  TAHOMA ", "DejaVu Sans"},
      {"DejaVu Serif", "DejaVu Serif"},
      {"dejavu sans mono", "DejaVu Sans Mono"},
      {"Liberation Mono", "Liberation Mono"},
      {"No Such Font", "DejaVu Sans"},
      {"", "DejaVu Sans"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(MapFontFamily(C.Name), String(C.Family));
  }
}

TEST_F(FontMapTest, AliasesCanBeAddedAndReset) {
  const Integer Generation = FontMapGeneration();
  AddFontAlias("Corporate Sans", "DejaVu Serif");
  EXPECT_NE(FontMapGeneration(), Generation);
  EXPECT_EQ(MapFontFamily("corporate sans"), String("DejaVu Serif"));
  AddFontAlias("Tahoma", "Liberation Serif");
  EXPECT_EQ(MapFontFamily("Tahoma"), String("Liberation Serif"));
  AddFontAlias("Ghost", "Family That Is Not Installed");
  EXPECT_EQ(MapFontFamily("Ghost"), String("DejaVu Sans"));
  ResetFontAliases();
  EXPECT_EQ(MapFontFamily("Corporate Sans"), String("DejaVu Sans"));
  EXPECT_EQ(MapFontFamily("Tahoma"), String("DejaVu Sans"));
}

TEST_F(FontMapTest, QtFontUsesTheMappedFamilyAndKeepsAdvancesWhole) {
  TFontFace Face;
  Face.Name = "Tahoma";
  Face.PixelSize = 13;
  Face.Weight = 700;
  Face.Italic = true;
  Face.Underline = true;
  Face.Antialiased = false;
  const QFont Font = MakeQtFont(Face);
  EXPECT_EQ(Font.family(), String("DejaVu Sans"));
  EXPECT_EQ(QFontInfo(Font).family(), String("DejaVu Sans"));
  EXPECT_EQ(Font.pixelSize(), 13);
  EXPECT_EQ(Font.weight(), QFont::Bold);
  EXPECT_TRUE(Font.italic());
  EXPECT_TRUE(Font.underline());
  EXPECT_FALSE(Font.strikeOut());
  EXPECT_FALSE(Font.kerning());
  EXPECT_EQ(Font.hintingPreference(), QFont::PreferFullHinting);
  EXPECT_TRUE(Font.styleStrategy() & QFont::PreferNoShaping);
  EXPECT_TRUE(Font.styleStrategy() & QFont::NoAntialias);

  Face.Weight = 0;
  Face.Antialiased = true;
  const QFont Normal = MakeQtFont(Face);
  EXPECT_EQ(Normal.weight(), QFont::Normal);
  EXPECT_FALSE(Normal.styleStrategy() & QFont::NoAntialias);
}

TEST_F(FontMapTest, ScreenFontsListFamiliesAndAliasesSortedOnce) {
  AddFontAlias("Zz Corporate", "DejaVu Sans");
  const QStringList Fonts = ScreenFontNames();
  for (const char* Name : {"Arial", "Tahoma", "Segoe UI", "DejaVu Sans", "Liberation Serif", "Zz Corporate"})
    EXPECT_EQ(Fonts.count(Name), 1) << Name;
  for (qsizetype I = 1; I < Fonts.size(); ++I)
    EXPECT_LT(Fonts[I - 1].compare(Fonts[I], Qt::CaseInsensitive), 0) << Fonts[I - 1].toStdString();
}

TEST_F(FontMapTest, MemoryFontsFromBytes) {
  using namespace gdi;
  DWORD Count = 99;
  EXPECT_EQ(AddFontMemResourceEx(nullptr, 0, nullptr, &Count), nullptr);
  EXPECT_EQ(Count, 0u);
  const QByteArray Junk(64, 'x');
  EXPECT_EQ(AddFontMemResourceEx(Junk.constData(), Junk.size(), nullptr, &Count), nullptr);
  EXPECT_FALSE(RemoveFontMemResourceEx(nullptr));

  QFile File("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf");
  if (!File.open(QIODevice::ReadOnly)) GTEST_SKIP() << "DejaVu fonts are not installed";
  const QByteArray Bytes = File.readAll();
  const Integer Generation = FontMapGeneration();
  void* const Handle = AddFontMemResourceEx(Bytes.constData(), Bytes.size(), nullptr, &Count);
  ASSERT_NE(Handle, nullptr);
  EXPECT_GE(Count, 1u);
  EXPECT_NE(FontMapGeneration(), Generation);
  EXPECT_TRUE(RemoveFontMemResourceEx(Handle));
  EXPECT_FALSE(RemoveFontMemResourceEx(Handle));
}

}  // namespace
