#include "app/textcleaning.h"

#include "tests/app/editortables.h"

namespace {

const String Break = QStringLiteral("\r\n\r\n");

String utf8(const char* Text) { return String::fromUtf8(Text); }

TEST(CleaningPairsTest, EachPairWorksOnTheResultOfThePairsBefore) {
  struct Case {
    const char* Name;
    TCleaningPairs Pairs;
    const char* Text;
    const char* Expected;
  } Cases[] = {
      {"second rewrites the first's output", {{"et al", "et al."}, {"al.", "AL"}}, "Smith et al", "Smith et AL"},
      {"every occurrence", {{"  ", " "}}, "a    b  c", "a  b c"},
      {"case-sensitive", {{"Et Al", "x"}}, "Smith et al", "Smith et al"},
      {"empty replacement deletes", {{"[pubmed]", ""}}, "A [pubmed] B", "A  B"},
      {"empty find changes nothing", {{"", "X"}}, "abc", "abc"},
      {"no pairs", {}, "abc", "abc"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(ApplyCleaningPairs(utf8(C.Text), C.Pairs), utf8(C.Expected));
  }
}

TEST(CleaningPairsTest, TitleCleaningJoinsLinesAbstractCleaningKeepsThem) {
  const TCleaningPairs Pairs = {{"x", "y"}};
  EXPECT_EQ(CleanTitle(" A\r\nB\rC\nx ", Pairs), "A  B C y");
  EXPECT_EQ(CleanAbstract(" A\r\nB\rC\nx ", Pairs), "A\r\nB\rC\ny");
}

TEST(JoinLinesTest, CrLfBecomesOneBlank) {
  EXPECT_EQ(JoinLines("  hyphen-\r\nated\rx\ny "), "hyphen- atedx y");
  EXPECT_EQ(JoinLines(" \r\n "), "");
}

TEST(ShortenAuthorListTest, CutsAfterTheThirdAuthor) {
  struct Case {
    const char* Name;
    const char* Title;
    const char* Expected;
  } Cases[] = {
      {"five authors", "A B, C D, E F, G H, I J. Title. Journal.", "A B, C D, E F, et al. Title. Journal."},
      {"fewer than three commas", "A B, C D. Title.", "A B, C D. Title. et al. Title."},
      {"third comma as last character is not looked at", "A, B, C,", "A, B, C, et al. A, B, C,"},
      {"no period keeps the rest whole", "A, B, C, D", "A, B, C, et al. A, B, C, D"},
      {"blank", "  ", ""},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(ShortenAuthorList(utf8(C.Title)), utf8(C.Expected));
  }
}

TEST(StripPunctuationTest, RemovesOneOfEachMark) {
  struct Case {
    const char* Name;
    const char* Text;
    const char* Expected;
  } Cases[] = {
      {"trial acronym", "(DAPA-HF)", "DAPA-HF"},
      {"author with initial", "  Smith, J.;  ", "Smith J"},
      {"square brackets and colon", "[EMPEROR-Reduced]:", "EMPEROR-Reduced"},
      {"only the first of each", "((a))", "(a)"},
      {"blanks freed by a removal are trimmed", ". (A) .", "A ."},
      {"empty", "", ""},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(StripPunctuation(utf8(C.Text)), utf8(C.Expected));
  }
}

TEST(FormatAbstractTest, BreaksBeforeSectionHeadings) {
  struct Case {
    const char* Name;
    const char* Abstract;
    String Expected;
  } Cases[] = {
      {"plain sections", "Aims X. Methods Y. Results Z. Conclusion W.",
       "Aims X. " + Break + "Methods Y. " + Break + "Results Z. " + Break + "Conclusion W."},
      {"lower-case headings never break", "we saw results and methods", "we saw results and methods"},
      {"combined design section", "RESEARCH DESIGN AND METHODS We did. Design A. Methods B. Results C.",
       Break + "RESEARCH DESIGN AND METHODS We did. Design A. Methods B. " + Break + "Results C."},
      {"combined methods section", "Methods and Results: we did. Methods again. Results again. Conclusion fine.",
       Break + "Methods and Results: we did. Methods again. Results again. " + Break + "Conclusion fine."},
      {"combined section found in any case", "methods and results: Methods. Conclusion.",
       "methods and results: Methods. " + Break + "Conclusion."},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(FormatAbstract(utf8(C.Abstract)), C.Expected);
  }
}

TEST(FormatAbstractTest, EveryRunAddsBreaks) {
  EXPECT_EQ(FormatAbstract(FormatAbstract(" A. Results B. ")), "A. " + Break + Break + "Results B.");
}

class EditorCommandsTest : public ::testing::Test {
protected:
  EditorCommandsTest() { Tables.Edit(); }

  apptest::TEditorTables Tables;
};

TEST_F(EditorCommandsTest, PairTypeDecidesWhereAPairApplies) {
  struct Case {
    int Type;
    const char* Title;
    const char* Abstract;
  } Cases[] = {
      {ctTitle, "Smith et al.", "Jones et al"},
      {ctAbstract, "Smith et al", "Jones et al."},
      {ctArchive, "Smith et al", "Jones et al"},
      {ctEverywhere, "Smith et al.", "Jones et al."},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Type);
    apptest::TEditorTables Own;
    Own.AddPair("et al", "et al.", C.Type);
    Own.Edit();
    EXPECT_TRUE(RemoveGarbage(&Own.Catalog, &Own.Refuse, " Smith et al "));
    RemoveAbstractGarbage(&Own.Catalog, &Own.Refuse, "Jones et al");
    EXPECT_EQ(Own.Text("source"), C.Title);
    EXPECT_EQ(Own.Text("summary"), C.Abstract);
    EXPECT_FALSE(Own.Refuse.Active());
  }
}

TEST_F(EditorCommandsTest, PairsApplyInTheQueryOrder) {
  Tables.AddPair("a", "b", ctTitle);
  Tables.AddPair("b", "c", ctEverywhere);
  Tables.AddPair("c", "d", ctAbstract);
  RemoveGarbage(&Tables.Catalog, &Tables.Refuse, "a\r\nb");
  EXPECT_EQ(Tables.Text("source"), "c  c");
  RemoveAbstractGarbage(&Tables.Catalog, &Tables.Refuse, "a\r\nb");
  EXPECT_EQ(Tables.Text("summary"), "a\r\nd");
}

TEST_F(EditorCommandsTest, BlankTextsChangeNothingExceptTheAbstractJoin) {
  Tables.AddPair("x", "y", ctEverywhere);
  const std::vector<String> Before = Tables.Row();
  EXPECT_FALSE(RemoveGarbage(&Tables.Catalog, &Tables.Refuse, " \r\n "));
  RemoveAbstractGarbage(&Tables.Catalog, &Tables.Refuse, "  ");
  JoinTitleLines(&Tables.Catalog, "  ");
  ShortenAuthorList(&Tables.Catalog, "  ");
  EXPECT_EQ(Tables.Row(), Before);
  // the pair table is not even read
  EXPECT_TRUE(Tables.Refuse.Log().empty());

  JoinAbstractLines(&Tables.Catalog, " \r\n ");
  EXPECT_EQ(Tables.Text("summary"), "");
}

TEST_F(EditorCommandsTest, CommandsWriteTheirColumns) {
  JoinTitleLines(&Tables.Catalog, "Title\r\nwrapped");
  EXPECT_EQ(Tables.Text("source"), "Title wrapped");
  JoinAbstractLines(&Tables.Catalog, "Abstract\r\nwrapped");
  EXPECT_EQ(Tables.Text("summary"), "Abstract wrapped");
  ShortenAuthorList(&Tables.Catalog, "A B, C D, E F, G H. Title.");
  EXPECT_EQ(Tables.Text("source"), "A B, C D, E F, et al. Title.");
  CopyToAuthor(&Tables.Catalog, " (DAPA-HF) ");
  EXPECT_EQ(Tables.Text("author"), "DAPA-HF");
  CopyToAuthor(&Tables.Catalog, "");
  EXPECT_EQ(Tables.Text("author"), "");
  FormatAbstract(&Tables.Catalog, "A. Results B.");
  EXPECT_EQ(Tables.Text("summary"), "A. " + Break + "Results B.");
}

}  // namespace
