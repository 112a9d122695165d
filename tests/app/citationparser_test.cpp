#include "app/citationparser.h"

#include "platform/rtl/clock.h"
#include "platform/rtl/datetime.h"
#include "tests/app/editortables.h"

#include <optional>

namespace {

const String Resolver = QStringLiteral("https://doi.org/");
constexpr Integer ThisYear = 2024;

const char* const LancetCitation =
    "Smith J, Jones K. Title. Lancet. 2020 Jan;395(10220):123-9. doi: 10.1016/S0140-6736(20)30001-1.";

std::vector<String> strings(std::initializer_list<const char*> Texts) {
  std::vector<String> Result;
  for (const char* Text : Texts) Result.push_back(String::fromUtf8(Text));
  return Result;
}

TEST(FindNumbersTest, GivesEveryRunOfDigitsInOrder) {
  struct Case {
    const char* Name;
    const char* Text;
    std::vector<String> Expected;
  } Cases[] = {
      {"empty text", "", {}},
      {"no digits", "Editorial comment", {}},
      {"citation details", "Lancet 2020;395(10220):123-9", strings({"2020", "395", "10220", "123", "9"})},
      {"a run beyond 32 bits stays one run", "id 123456789012345.", strings({"123456789012345"})},
      {"only the digits 0 to 9", "\xd9\xa2\xd9\xa0 7", strings({"7"})},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(FindNumbers(String::fromUtf8(C.Text)), C.Expected);
  }
}

TEST(ParseCitationTextTest, TakesTheCitationApart) {
  struct Case {
    const char* Name;
    const char* Text;
    const char* Doi;  // nullptr: no DOI found
    const char* Source;
    const char* Author;
    Integer Year;
  } Cases[] = {
      {"labelled DOI and month token", LancetCitation, "10.1016/S0140-6736(20)30001-1",
       "Smith J, Jones K. Title. Lancet. 2020;395(10220):123-9.", "Smith", 2020},
      {"label opening the text leaves it whole", "DOI: 10.1/x Smith J. Title. 2019;1:2", "10.1/x",
       "DOI: 10.1/x Smith J. Title. 2019;1:2", "DOI:", 2019},
      {"resolver address keeps its final period", "Smith J. Title. Lancet. 2020;1:2. https://doi.org/10.1/x.",
       "10.1/x.", "Smith J. Title. Lancet. 2020;1:2.", "Smith", 2020},
      {"address before the label wins", "Smith J. https://doi.org/10.2/b Title. doi: 10.1/a", "10.2/b", "Smith J.",
       "Smith", ThisYear},
      {"label without a DOI", "Smith J. Title. 2019;1:2. doi:", nullptr, "Smith J. Title. 2019;1:2. doi:", "Smith",
       2019},
      {"a lone period after the label is an empty DOI", "Smith J. Title. 2019;1. doi: .", "", "Smith J. Title. 2019;1.",
       "Smith", 2019},
      {"particle joins the next word", "van Gogh V, Smith J. Letters. 2019;1:2.", nullptr,
       "van Gogh V, Smith J. Letters. 2019;1:2.", "van Gogh", 2019},
      {"particle in upper case", "VON Trapp M. Sound. 2019;1:2.", nullptr, "VON Trapp M. Sound. 2019;1:2.",
       "VON Trapp", 2019},
      {"particle and one more word", "van Gogh", nullptr, "van Gogh", "van", ThisYear},
      {"apostrophe removed", "O'Brien J, Lee K. Title. 2019;1.", nullptr, "O'Brien J, Lee K. Title. 2019;1.",
       "OBrien", 2019},
      {"possessive cut", "Alzheimer's disease. 2019;1.", nullptr, "Alzheimer's disease. 2019;1.", "Alzheimer",
       2019},
      {"right quotation mark as apostrophe", "D\xe2\x80\x99" "Angelo M. Title. 2019;1.", nullptr,
       "D\xe2\x80\x99" "Angelo M. Title. 2019;1.", "DAngelo", 2019},
      {"left quotation mark as apostrophe", "O\xe2\x80\x98Neil M. Title. 2019;1.", nullptr,
       "O\xe2\x80\x98Neil M. Title. 2019;1.", "ONeil", 2019},
      {"periods removed", "St. John A, Title. 2019;1.", nullptr, "St. John A, Title. 2019;1.", "St", 2019},
      {"no blank, no author", "Editorial", nullptr, "Editorial", "", ThisYear},
      {"first plausible number", "Report 12 of 2001 and 2021", nullptr, "Report 12 of 2001 and 2021", "Report", 2001},
      {"no plausible number", "Report 12 and 1900", nullptr, "Report 12 and 1900", "Report", ThisYear},
      {"old year by position, numbers not tried", "Old. Lancet 1970;5:1-2. Also 2001.", nullptr,
       "Old. Lancet 1970;5:1-2. Also 2001.", "Old", ThisYear},
      {"future year by position", "Smith J. Future. 2030;1.", nullptr, "Smith J. Future. 2030;1.", "Smith", 2030},
      {"fewer than four characters before ';'", "12;2001", nullptr, "12;2001", "", ThisYear},
      {"only the first month token in list order", "Smith J. A. 2019 Dec;1. B. 2020 Jan;2.", nullptr,
       "Smith J. A. 2019 Dec;1. B. 2020;2.", "Smith", 2019},
      // Runs too long for 32 bits are skipped, not an error halfway through.
      {"digit runs beyond 32 bits skipped", "Smith J. Trial 123456789012345 and 99999999999 in 2019", nullptr,
       "Smith J. Trial 123456789012345 and 99999999999 in 2019", "Smith", 2019},
      {"surrounding blanks trimmed", "  Smith J. Title. 2019;1.  ", nullptr, "Smith J. Title. 2019;1.", "Smith",
       2019},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const TParsedCitation P = ParseCitationText(String::fromUtf8(C.Text), Resolver, ThisYear);
    EXPECT_EQ(P.Doi, C.Doi ? std::optional<String>(String::fromUtf8(C.Doi)) : std::nullopt);
    EXPECT_EQ(P.Source, String::fromUtf8(C.Source));
    EXPECT_EQ(P.Author, String::fromUtf8(C.Author));
    EXPECT_EQ(P.Year, C.Year);
  }
}

TEST(ParseCitationTextTest, TypeFollowsTheFirstMatchingKeywordRule) {
  struct Case {
    const char* Name;
    const char* Text;
    const char* Type;
  } Cases[] = {
      {"randomised trial", "Randomized trial of X", "rci"},
      {"mendelian randomisation is no trial", "Mendelian randomization study", "sum"},
      {"mendelian randomisation in a registry", "Mendelian randomization in a registry", "reg"},
      {"guideline before random", "ESC guidelines on randomized trials", "rec"},
      {"position paper", "Position Paper of the society", "rec"},
      {"online first", "Published online 2024", "onln"},
      {"volume 0", "Lancet. 2024;0:1-9", "onln"},
      {"n/a in any case", "Pages N/A", "onln"},
      {"meta-analysis before random", "A meta-analysis of random trials", "met"},
      {"cochrane", "Cochrane Database Syst Rev", "met"},
      {"register", "Swedish Register study", "reg"},
      {"nothing", "Heart failure", "sum"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(ParseCitationText(String::fromUtf8(C.Text), Resolver, ThisYear).FileType, String(C.Type));
    EXPECT_EQ(CitationType(String::fromUtf8(C.Text)), String(C.Type));
  }
}

TEST(StudyTypeTest, AbstractWordsGiveMetaAnalysisTrialOrRegister) {
  struct Case {
    const char* Name;
    const char* Abstract;
    const char* Type;
  } Cases[] = {
      {"mendelian makes no difference here", "We used Mendelian randomisation.", "rci"},
      {"cochrane", "A Cochrane review.", "met"},
      {"meta-analysis before random", "Meta-analysis of randomised trials.", "met"},
      {"registry", "Data from the registry.", "reg"},
      {"none", "Heart failure is common.", ""},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(StudyType(String::fromUtf8(C.Abstract)), String(C.Type));
  }
}

class ParseCitationTest : public ::testing::Test {
protected:
  ParseCitationTest() : Clock(EncodeDate(2024, 3, 5)), Scope(Clock) {
    Tables.AddJournal("Circ", "Circulation");
    Tables.AddJournal("X", "");
    Tables.AddJournal("Lancet", "Lancet");
    Tables.AddJournal("Lanc", "Lancet");
    Tables.Edit();
  }

  TManualClock Clock;
  TClockScope Scope;
  apptest::TEditorTables Tables;
};

TEST_F(ParseCitationTest, WritesEveryColumnOfTheRow) {
  ParseCitation(&Tables.Catalog, &Tables.Journal, String::fromUtf8(LancetCitation), Resolver);
  EXPECT_EQ(Tables.Text("doi"), "10.1016/S0140-6736(20)30001-1");
  EXPECT_EQ(Tables.Text("source"), "Smith J, Jones K. Title. Lancet. 2020;395(10220):123-9.");
  EXPECT_EQ(Tables.Text("author"), "Smith");
  EXPECT_EQ(Tables.Number("data_make"), 2020);
  // the first row in the query's order whose full name occurs; an empty full
  // name never matches
  EXPECT_EQ(Tables.Text("journal"), "Lancet");
  EXPECT_EQ(Tables.Text("data_input"), "2024-03-05");
  EXPECT_EQ(Tables.Text("file_type"), "sum");
  EXPECT_FALSE(Tables.Journal.Active());
  EXPECT_EQ(Tables.Catalog.State(), dsEdit);
}

TEST_F(ParseCitationTest, ReplacesHandChosenJournalAndTypeAndKeepsDoiWithoutOne) {
  ParseCitation(&Tables.Catalog, &Tables.Journal, "Lee K. Randomized trial. N Engl J Med 2021;1:2.", Resolver);
  EXPECT_EQ(Tables.Text("journal"), "");
  EXPECT_EQ(Tables.Text("file_type"), "rci");
  EXPECT_EQ(Tables.Text("doi"), "10.0/old");
  EXPECT_EQ(Tables.Number("data_make"), 2021);
}

TEST_F(ParseCitationTest, BlankTitleChangesNothing) {
  const std::vector<String> Before = Tables.Row();
  Tables.Journal.ClearLog();
  ParseCitation(&Tables.Catalog, &Tables.Journal, " \r\n\t ", Resolver);
  EXPECT_EQ(Tables.Row(), Before);
  EXPECT_TRUE(Tables.Journal.Log().empty());
}

TEST_F(ParseCitationTest, StudyTypeSetsTheTypeOnlyWhenTheWordsAreThere) {
  SetStudyType(&Tables.Catalog, "   ");
  EXPECT_EQ(Tables.Text("file_type"), "atl");
  SetStudyType(&Tables.Catalog, "Heart failure.");
  EXPECT_EQ(Tables.Text("file_type"), "atl");
  SetStudyType(&Tables.Catalog, "A Mendelian randomisation.");
  EXPECT_EQ(Tables.Text("file_type"), "rci");
}

}  // namespace
