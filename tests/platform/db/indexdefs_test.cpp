#include "platform/db/indexdefs.h"

#include "platform/db/dbconsts.h"

#include "tests/support/testing.h"

TEST(IndexDefsTest, AddFindAndIndexOfIgnoreCase) {
  TOwned<TIndexDefs> Defs(new TIndexDefs(nullptr));
  Defs->Add("ByNumber", "number", {ixUnique});
  Defs->Add("ByAuthor", "author;year", {ixCaseInsensitive});
  ASSERT_EQ(Defs->Count(), 2);
  EXPECT_EQ(Defs->IndexOf("BYAUTHOR"), 1);
  EXPECT_EQ(Defs->IndexOf("Missing"), -1);
  EXPECT_EQ(Defs->Find("bynumber"), Defs->Items(0));
  EXPECT_EQ(Defs->Items(1)->Fields(), "author;year");
  EXPECT_TRUE(Defs->Items(0)->Options().Contains(ixUnique));
  EXPECT_EQ(Defs->Items(1)->DisplayName(), String("ByAuthor"));
  EXPECT_EQ(Defs->FindIndexForFields("AUTHOR;YEAR"), Defs->Items(1));
  EXPECT_EQ(Defs->FindIndexForFields("year"), nullptr);
  EXPECT_RAISES(Defs->Find("Missing"), EDatabaseError, "Index 'Missing' not found");
}

TEST(IndexDefsTest, AChangeClearsUpdated) {
  TOwned<TIndexDefs> Defs(new TIndexDefs(nullptr));
  Defs->Add("ByNumber", "number", {});
  Defs->SetUpdated(true);
  Defs->Items(0)->SetFields("number;title");
  EXPECT_FALSE(Defs->Updated());
}

TEST(IndexDefsTest, AssignCopiesEveryEntry) {
  TOwned<TIndexDefs> Source(new TIndexDefs(nullptr));
  Source->Add("ByNumber", "number", {ixPrimary, ixUnique});
  Source->Add("ByTitle", "title", {ixDescending});
  TOwned<TIndexDefs> Copy(new TIndexDefs(nullptr));
  Copy->Add("Old", "x", {});
  Copy->Assign(Source.get());
  ASSERT_EQ(Copy->Count(), 2);
  EXPECT_EQ(Copy->Items(0)->Name(), "ByNumber");
  EXPECT_EQ(Copy->Items(0)->Options(), (TIndexOptions{ixPrimary, ixUnique}));
  EXPECT_EQ(Copy->Items(1)->Fields(), "title");
  EXPECT_EQ(Copy->Items(1)->Options(), TIndexOptions{ixDescending});
}
