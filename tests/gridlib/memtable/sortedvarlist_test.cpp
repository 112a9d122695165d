// The sorted variant list: ordered insertion and its binary search.
#include "gridlib/memtable/sortedvarlist.h"

#include "tests/support/testing.h"

#include <vector>

namespace {

std::vector<Variant> values(const TSortedVarlistEh& List) {
  std::vector<Variant> Result;
  for (Integer I = 0; I < List.Count(); ++I) Result.push_back(List.Items(I)->Value);
  return Result;
}

}  // namespace

TEST(SortedVarlist, InsertIgnoresTheIndexAndKeepsTheOrder) {
  TSortedVarlistEh List;
  for (const int V : {5, 1, 3}) List.Add(new TSortedVarItemEh(V));
  List.Insert(0, new TSortedVarItemEh(4));
  List.Insert(4, new TSortedVarItemEh(Null()));
  EXPECT_EQ(values(List), (std::vector<Variant>{Null(), 1, 3, 4, 5}));
}

TEST(SortedVarlist, FindKeyValueIndexAnswersThePlaceOfAMissingValue) {
  TSortedVarlistEh List;
  for (const int V : {10, 20, 30}) List.Add(new TSortedVarItemEh(V));
  const struct {
    const char* Name;
    Variant Value;
    bool Found;
    Integer Index;
  } Cases[] = {{"before all", 5, false, 0}, {"first", 10, true, 0},     {"between", 25, false, 2},
               {"last", 30, true, 2},       {"after all", 35, false, 3}, {"Null", Null(), false, 0}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    Integer Index = -1;
    EXPECT_EQ(List.FindKeyValueIndex(C.Value, Index), C.Found);
    EXPECT_EQ(Index, C.Index);
    EXPECT_EQ(List.FindKeyValue(C.Value), C.Found);
  }
  Integer Index = -1;
  EXPECT_FALSE(TSortedVarlistEh().FindKeyValueIndex(1, Index));
  EXPECT_EQ(Index, 0);
}

TEST(SortedVarlist, ValuesThatCannotBeOrderedRaise) {
  TSortedVarlistEh List;
  List.Add(new TSortedVarItemEh(1));
  // The list owns the item it refuses: nothing leaks here under the sanitizer.
  EXPECT_RAISES(List.Add(new TSortedVarItemEh(VarArrayOf({1, 2}))), Exception,
                "TSortedVarlistEh.FindKeyValueIndex: values is not comparable.");
  EXPECT_EQ(List.Count(), 1);
}
