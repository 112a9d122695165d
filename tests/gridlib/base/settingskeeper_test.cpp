#include "gridlib/base/settingskeeper.h"

#include "tests/support/testing.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Counts its own destructions.
class TCountedKeeper : public TSettingsKeeperEh {
public:
  explicit TCountedKeeper(int& Freed) : FFreed(Freed) {}
  ~TCountedKeeper() override { ++FFreed; }

private:
  int& FFreed;
};

TEST(SettingsKeeper, TypedReaders) {
  TSettingsKeeperEh Keeper;
  Keeper.Add("Str12", String("12"));
  Keeper.Add("Str12a", String("12a"));
  Keeper.Add("Int", 7);
  Keeper.Add("Sub", new TSettingsKeeperEh);
  struct Case {
    const char* Key;
    bool IntOk;
    Integer IntValue;  // when IntOk
    bool StrOk;
    const char* StrValue;
  } Cases[] = {
      {"Str12", true, 12, true, "12"},
      {"Str12a", false, 0, true, "12a"},
      {"Int", true, 7, false, ""},
      {"Sub", false, 0, false, ""},
      {"Missing", false, 0, false, ""},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Key);
    Integer I = -1;
    EXPECT_EQ(Keeper.TryGetIntegerValue(C.Key, I), C.IntOk);
    if (C.IntOk) EXPECT_EQ(I, C.IntValue);
    String S = "stale";
    EXPECT_EQ(Keeper.TryGetStringValue(C.Key, S), C.StrOk);
    EXPECT_EQ(S, C.StrValue);
  }
  Integer Untouched = 5;
  Keeper.TryGetIntegerValue("Sub", Untouched);
  EXPECT_EQ(Untouched, 5);
  TSettingsKeeperEh* Sub = nullptr;
  EXPECT_FALSE(Keeper.TryGetSubsettingsValue("Str12", Sub));
  EXPECT_TRUE(Keeper.TryGetSubsettingsValue("Sub", Sub));
}

TEST(SettingsKeeper, KeysAreExactAndUnique) {
  TSettingsKeeperEh Keeper;
  Keeper.Add("Visible", String("True"));
  Keeper.Add("visible", String("False"));
  EXPECT_EQ(Keeper.ToArray().size(), 2u);
  EXPECT_THROW(Keeper.Add("Visible", 1), EListError);
  String S;
  EXPECT_TRUE(Keeper.TryGetStringValue("Visible", S));
  EXPECT_EQ(S, "True");
}

TEST(SettingsKeeper, RootFreesTheWholeTree) {
  int Freed = 0;
  auto* Root = new TSettingsKeeperEh;
  auto* Columns = new TCountedKeeper(Freed);
  Columns->Add("Name", new TCountedKeeper(Freed));
  Root->Add("Columns", Columns);
  Root->Free();
  EXPECT_EQ(Freed, 2);
}

TEST(SettingsKeeper, ColumnsSortByColIndex) {
  TSettingsKeeperEh Columns;
  auto* Two = new TSettingsKeeperEh;
  Two->Add("ColIndex", 2);
  auto* Zero = new TSettingsKeeperEh;
  Zero->Add("ColIndex", String("0"));
  Columns.Add("B", Two);
  Columns.Add("A", Zero);
  Columns.Add("C", new TSettingsKeeperEh);  // no index: counts as 0
  std::vector<TSettingsPairEh> Pairs = Columns.ToArray();
  auto* Comparer = TSettingsKeeperEhCollectionByIndexComparer::Ordinal();
  std::sort(Pairs.begin(), Pairs.end(),
            [Comparer](const TSettingsPairEh& L, const TSettingsPairEh& R) { return Comparer->Compare(L, R) < 0; });
  EXPECT_EQ(Pairs.back().Key, "B");
  EXPECT_TRUE(Comparer->Equals(Pairs[0], Pairs[1]));
  TStringObject NotAKeeper("x");
  EXPECT_THROW(Comparer->Compare({"x", &NotAKeeper}, Pairs[0]), EInvalidCast);
  FinalizeSettingsKeeperEh();
}

}  // namespace
