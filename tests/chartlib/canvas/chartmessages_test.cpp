#include "chartlib/canvas/chartmessages.h"

#include "platform/rtl/format.h"

#include "tests/support/testing.h"

namespace {

class ChartMessagesTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() { InitializeUnits({ChartMessagesUnit}); }
};

TEST_F(ChartMessagesTest, EntriesKeepTheirTextsAndPositions) {
  struct Case {
    int Index;
    const char16_t* Text;
  } const Cases[] = {
      {2, u"Test..."},
      {3, u"First Legend Value must be > 0"},
      {20, u"#.0 \"x10\" E+0"},  // the inner quotes belong to the text
      {29, u"Horizontal\rBar"},
      {87, u"8"},
      {103, u"Arial"},
      {143, u"Invalid Chart in *.tee file"},
      {144, u"Wrong *.tee file format"},
      {145, u"Empty *.tee file"},
      {154, u"Custom "},  // the trailing blank stays
      {280, u"Blur"},
      {333, u"\u00B0"},
      {364, u"One of the Series Types you have selected\ris not implemented yet for Javascript."},
      {407, u"Self Stack 100%"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Index);
    EXPECT_EQ(ChartMessage(C.Index), String::fromUtf16(C.Text));
  }
  EXPECT_EQ(ChartMessage(cmDefaultFontName), "Arial");
  EXPECT_EQ(ChartMessage(cmBlur), "Blur");
}

TEST_F(ChartMessagesTest, NoEntryIsEmpty) {
  for (int I = 1; I <= ChartMessageCount; ++I) EXPECT_FALSE(ChartMessage(I).isEmpty()) << I;
}

TEST_F(ChartMessagesTest, OfEntryFormatsOnTwoLines) {
  EXPECT_EQ(Format(ChartMessage(cmOfSeparated), {String("a"), String("b")}), String("a\rof b"));
}

TEST_F(ChartMessagesTest, ShutdownClearsEveryEntry) {
  FinalizeChartMessages();
  bool AllEmpty = ChartLineSeparator().isEmpty() && ChartFileExtension().isEmpty();
  for (int I = 1; I <= ChartMessageCount; ++I) AllEmpty = AllEmpty && ChartMessage(I).isEmpty();
  InitializeChartMessages();
  EXPECT_TRUE(AllEmpty);
  EXPECT_EQ(ChartLineSeparator(), String(QChar(13)));
  EXPECT_EQ(ChartFileExtension(), "tee");
}

}  // namespace
