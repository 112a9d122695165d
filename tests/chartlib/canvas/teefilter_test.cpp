#include "chartlib/canvas/teefilter.h"

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"

#include "tests/support/testing.h"

#include <memory>

namespace {

// Paints every pixel of its rectangle black through the row table, and
// remembers the rectangle it got.
class TBlackenFilter : public TTeeFilter {
  RTL_CLASS(TBlackenFilter, TTeeFilter)
public:
  explicit TBlackenFilter(TCollection* Collection) : TTeeFilter(Collection) {}
  using TTeeFilter::Apply;
  void Apply(TBitmap* Bitmap, const TRect& R) override {
    TTeeFilter::Apply(Bitmap, R);
    if (Lines.empty()) return;
    Last = R;
    for (Integer Y = R.Top; Y <= R.Bottom; ++Y)
      for (Integer X = R.Left; X <= R.Right; ++X) Lines[Y][X] = TRGB{};
    ++Applied;
  }
  inline static TRect Last;
  inline static int Applied = 0;
};

std::unique_ptr<TBitmap> whiteBitmap(int W, int H) {
  auto B = std::make_unique<TBitmap>();
  B->SetSize(W, H);
  B->Canvas()->Brush()->SetColor(clWhite);
  B->Canvas()->FillRect(Rect(0, 0, W, H));
  return B;
}

TEST(TeeFilterTest, RegionLimitsTheInclusiveRectangle) {
  struct Case {
    const char* Name;
    TRect Region;  // Left, Top, Width, Height
    bool HasRegion;
    TRect Expected;  // inclusive
    bool Applied;
  } const Cases[] = {
      {"no region", {}, false, Rect(0, 0, 99, 49), true},
      {"open width and height", Rect(10, 10, 0, 0), true, Rect(10, 10, 99, 49), true},
      {"sized", Rect(10, 10, 20, 5), true, Rect(10, 10, 30, 15), true},
      {"left of the bitmap", Rect(-5, 3, 10, 0), true, Rect(0, 3, 5, 49), true},
      {"right of the bitmap", Rect(120, 0, 5, 5), true, {}, false},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    auto B = whiteBitmap(100, 50);
    TBlackenFilter F(nullptr);
    if (C.HasRegion) {
      F.Region()->Left = C.Region.Left;
      F.Region()->Top = C.Region.Top;
      F.Region()->Width = C.Region.Right;
      F.Region()->Height = C.Region.Bottom;
    }
    TBlackenFilter::Applied = 0;
    F.Apply(B.get());
    EXPECT_EQ(TBlackenFilter::Applied, C.Applied ? 1 : 0);
    if (C.Applied) EXPECT_EQ(TBlackenFilter::Last, C.Expected);
  }
}

TEST(TeeFilterTest, CollectionAppliesEnabledFiltersAndApplyToFreesItsInstance) {
  auto B = whiteBitmap(4, 4);
  TFilterItems Items(nullptr);
  int Changes = 0;
  Items.OnChange = TNotifyEvent([&](TObject*) { ++Changes; });
  TTeeFilter* F = Items.Add(TBlackenFilter::StaticClass());
  EXPECT_TRUE(Items.Changed);
  EXPECT_GT(Changes, 0);
  F->SetEnabled(false);
  TBlackenFilter::Applied = 0;
  Items.ApplyTo(B.get());
  EXPECT_EQ(TBlackenFilter::Applied, 0);
  F->SetEnabled(true);
  Items.ApplyTo(B.get());
  EXPECT_EQ(TBlackenFilter::Applied, 1);
  EXPECT_EQ(B->Canvas()->Pixels(3, 3), clBlack);

  auto C = whiteBitmap(3, 3);
  TTeeFilter::ApplyTo(TBlackenFilter::StaticClass(), C.get());
  EXPECT_EQ(C->Canvas()->Pixels(1, 1), clBlack);
}

TEST(TeeFilterTest, AssignedCollectionRebuildsItemsOfTheirClasses) {
  TFilterItems Source(nullptr), Target(nullptr);
  TTeeFilter* F = Source.Add(TBlackenFilter::StaticClass());
  F->SetEnabled(false);
  F->Region()->Left = 7;
  Target.Assign(&Source);
  ASSERT_EQ(Target.Count(), 1);
  EXPECT_EQ(Target.Items(0)->ClassType(), TBlackenFilter::StaticClass());
  EXPECT_FALSE(Target.Items(0)->Enabled());
  EXPECT_EQ(Target.Items(0)->Region()->Left, 7);
  EXPECT_EQ(Target.Items(0)->Description(), "TBlackenFilter");
}

TEST(TeeFilterTest, FilteredPicture) {
  TTeePicture P;
  EXPECT_EQ(P.Filtered(), nullptr);  // no graphic, no filter
  P.Filters()->Add(TBlackenFilter::StaticClass());
  EXPECT_EQ(P.Filtered(), nullptr);  // filters, but still no graphic

  auto Source = whiteBitmap(5, 5);
  P.SetGraphic(Source.get());
  TGraphic* Filtered = P.Filtered();
  ASSERT_NE(Filtered, P.Graphic());  // a copy with the filters applied
  EXPECT_EQ(static_cast<TBitmap*>(Filtered)->Canvas()->Pixels(2, 2), clBlack);
  EXPECT_EQ(static_cast<TBitmap*>(P.Graphic())->Canvas()->Pixels(2, 2), clWhite);

  P.SetFilters(nullptr);
  EXPECT_EQ(P.Filtered(), P.Graphic());
  P.SetAngle(90);  // a copy, but no pixel turns
  Filtered = P.Filtered();
  ASSERT_NE(Filtered, P.Graphic());
  EXPECT_EQ(Filtered->Width(), 5);
  EXPECT_EQ(static_cast<TBitmap*>(Filtered)->Canvas()->Pixels(2, 2), clWhite);
}

TEST(TeeFilterTest, PictureAssignTakesOverTheFilters) {
  TTeePicture Source, Target;
  Source.Filters()->Add(TBlackenFilter::StaticClass());
  Target.Assign(&Source);
  ASSERT_TRUE(Target.HasFilters());
  EXPECT_EQ(Target.Filters()->Count(), 1);
  TTeePicture Plain;
  Target.Assign(&Plain);
  EXPECT_FALSE(Target.HasFilters());
}

}  // namespace
