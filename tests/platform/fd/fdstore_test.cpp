#include "platform/fd/fdstore.h"

#include "tests/support/testing.h"

#include <cstring>

namespace {

TFDRow row(const char* Name, Int64 Group) {
  TFDRowBuilder Builder;
  Builder.Add(Name ? TFDValueRef::Text(Name, std::strlen(Name)) : TFDValueRef());
  Builder.Add(TFDValueRef::Integer(Group));
  return Builder.Finish();
}

std::vector<TFDRecordId> sorted(TFDRecordStore& Store) { return Store.Sorted(); }

}  // namespace

TEST(FDRecordStore, OrdersAreStableAndRecordsMoveWhenTheyChange) {
  TFDRecordStore Store;
  const TFDRecordId B = Store.Append(row("b", 1));
  const TFDRecordId A = Store.Append(row("a", 2));
  const TFDRecordId B2 = Store.Append(row("b", 1));
  const TFDRecordId N = Store.Append(row(nullptr, 3));
  EXPECT_EQ(sorted(Store), (std::vector{B, A, B2, N})) << "no key columns: natural order";

  Store.SetOrder(TFDRowOrder({{0, false, false}}));
  EXPECT_EQ(sorted(Store), (std::vector{N, A, B, B2})) << "Null first, ties in natural order";
  Store.SetOrder(TFDRowOrder({{0, true, false}}));
  EXPECT_EQ(sorted(Store), (std::vector{B, B2, A, N})) << "descending: Null last";

  Store.SetRow(A, row("c", 2));
  EXPECT_EQ(sorted(Store), (std::vector{A, B, B2, N}));
  const TFDRecordId New = Store.Append(row("b", 9));
  EXPECT_EQ(sorted(Store), (std::vector{A, B, B2, New, N})) << "a new record follows equal keys";
  Store.Hide(B);
  EXPECT_EQ(sorted(Store), (std::vector{A, B2, New, N}));
  Store.Show(B);
  Store.Remove(New);
  EXPECT_FALSE(Store.Exists(New));
  EXPECT_EQ(sorted(Store), (std::vector{A, B, B2, N}));
  EXPECT_TRUE(Store.CheckConsistency());
}

TEST(FDRecordStore, InsertsTakeTheirNaturalPlace) {
  TFDRecordStore Store;
  const TFDRecordId One = Store.Append(row("1", 0));
  const TFDRecordId Two = Store.Append(row("2", 0));
  const TFDRecordId Before = Store.Insert(Two, row("1.5", 0));
  const TFDRecordId First = Store.Insert(NoRecordId, row("0", 0), /*FirstPlace=*/true);
  EXPECT_EQ(Store.Natural(), (std::vector{First, One, Before, Two}));
  EXPECT_EQ(sorted(Store), Store.Natural());
  Store.Rebuild({Two, One});
  EXPECT_FALSE(Store.Exists(Before));
  EXPECT_EQ(sorted(Store), (std::vector{Two, One}));
  EXPECT_TRUE(Store.CheckConsistency());
}

TEST(FDRecordStore, CaseInsensitiveOrderFoldsUnicode) {
  TFDRecordStore Store;
  const TFDRecordId Upper = Store.Append(row("\xD0\x91", 0));  // Б
  const TFDRecordId Lower = Store.Append(row("\xD0\xB0", 0));  // а
  const TFDRecordId Latin = Store.Append(row("Z", 0));
  Store.SetOrder(TFDRowOrder({{0, false, false}}));
  EXPECT_EQ(sorted(Store), (std::vector{Latin, Upper, Lower}));
  Store.SetOrder(TFDRowOrder({{0, false, true}}));
  EXPECT_EQ(sorted(Store), (std::vector{Latin, Lower, Upper}));
  EXPECT_TRUE(Store.CheckConsistency());
}

TEST(FDRecordStore, EqualRangeFindsTheSliceOfTheLeadingKeys) {
  TFDRecordStore Store;
  for (const Int64 Group : {3, 1, 2, 1, 3, 3}) Store.Append(row("x", Group));
  for (const bool Descending : {false, true}) {
    SCOPED_TRACE(Descending ? "descending" : "ascending");
    Store.SetOrder(TFDRowOrder({{1, Descending, false}, {0, false, false}}));
    struct Case {
      Int64 Group;
      int Size;
    } Cases[] = {{1, 2}, {2, 1}, {3, 3}, {0, 0}, {4, 0}};
    for (const Case& C : Cases) {
      const TFDValueRef Key[] = {TFDValueRef::Integer(C.Group)};
      const auto [Lo, Hi] = Store.EqualRange(Key);
      EXPECT_EQ(Hi - Lo, C.Size) << C.Group;
      for (int I = Lo; I < Hi; ++I) EXPECT_EQ(Store.Row(Store.Sorted()[I]).Value(1).Int, C.Group);
    }
    // A real key equal to the integers.
    const TFDValueRef Real[] = {TFDValueRef::Float(3.0)};
    const auto [Lo, Hi] = Store.EqualRange(Real);
    EXPECT_EQ(Hi - Lo, 3);
  }
}
