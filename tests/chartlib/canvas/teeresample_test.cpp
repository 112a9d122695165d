#include "chartlib/canvas/teeresample.h"

#include "chartlib/canvas/teecolors.h"
#include "platform/ui/graphics/bitmap.h"

#include "tests/support/testing.h"

#include <random>

namespace {

std::vector<std::pair<Integer, Integer>> pairs(const TStretchContributors& L) {
  std::vector<std::pair<Integer, Integer>> Result;
  for (const TStretchContributor& C : L) Result.emplace_back(C.Pixel, C.Weight);
  return Result;
}

void fillRandom(TBitmap& B, Integer W, Integer H, unsigned Seed) {
  B.SetPixelFormat(pf24bit);
  B.SetSize(W, H);
  std::mt19937 Gen(Seed);
  const TRGBArray Rows = TeeCalcScanLines(&B);
  for (Integer Y = 0; Y < H; ++Y)
    for (Integer X = 0; X < W; ++X) Rows[Y][X] = {Byte(Gen()), Byte(Gen()), Byte(Gen())};
}

TEST(TeeResampleTest, LinearShrinkReflectsIndexesAtBothEdges) {
  // 5 -> 2: the window spans 4 source pixels each side; -2 reads 2, count + 1 reads count - 2
  const auto Lists = TeeStretchContributions(5, 2, TeeStretchScale(5, 2), /*Linear=*/true);
  ASSERT_EQ(Lists.size(), 2u);
  using P = std::vector<std::pair<Integer, Integer>>;
  EXPECT_EQ(pairs(Lists[0]), (P{{3, 64}, {2, 128}, {1, 192}, {0, 256}, {1, 192}, {2, 128}, {3, 64}}));
  EXPECT_EQ(pairs(Lists[1]), (P{{1, 64}, {2, 128}, {3, 192}, {4, 256}, {4, 192}, {3, 128}, {2, 64}}));
}

TEST(TeeResampleTest, IndexesStayInsideWhenTheWindowIsWiderThanTheSource) {
  // 3 -> 2 with Lanczos: the window reaches 6 pixels out, twice the source
  for (auto [Count, N] : {std::pair{3, 2}, {2, 2}, {2, 9}, {4, 2}, {100, 10}, {7, 300}}) {
    SCOPED_TRACE(testing::Message() << Count << " -> " << N);
    for (bool Linear : {false, true})
      for (const TStretchContributors& L : TeeStretchContributions(Count, N, TeeStretchScale(Count, N), Linear))
        for (const TStretchContributor& C : L) {
          EXPECT_GE(C.Pixel, 0);
          EXPECT_LT(C.Pixel, Count);
        }
  }
}

TEST(TeeResampleTest, LanczosShrinkByElevenFitsItsListCapacity) {
  const float Scale = TeeStretchScale(100, 10);
  EXPECT_EQ(Scale, 0.090909094f);
  const Integer Capacity = TeeStretchListCapacity(Scale, Scale, /*Linear=*/false);
  EXPECT_EQ(Capacity, 68);
  for (const TStretchContributors& L : TeeStretchContributions(100, 10, Scale, false))
    EXPECT_LE(Integer(L.size()), Capacity);
}

TEST(TeeResampleTest, LinearEnlargeKeepsCornersAndMixesTheTwoNearest) {
  TBitmap Source, Dest;
  fillRandom(Source, 2, 2, 7);
  Dest.SetSize(4, 4);
  TeeSmoothStretch(&Source, &Dest, /*Linear=*/true);
  const TRGBArray S = TeeCalcScanLines(&Source), D = TeeCalcScanLines(&Dest);
  auto Same = [](const TRGB& A, const TRGB& B) { return A.Red == B.Red && A.Green == B.Green && A.Blue == B.Blue; };
  EXPECT_TRUE(Same(D[0][0], S[0][0]));
  EXPECT_TRUE(Same(D[0][3], S[0][1]));
  EXPECT_TRUE(Same(D[3][0], S[1][0]));
  EXPECT_TRUE(Same(D[3][3], S[1][1]));
  for (const TStretchContributors& L : TeeStretchContributions(2, 4, 3.0f, true)) EXPECT_LE(L.size(), 2u);
  // a pixel a third of the way along the top row: 683 / 341 of the two corners
  const Integer Expected = (683 * S[0][0].Red + 341 * S[0][1].Red) >> 10;
  EXPECT_EQ(D[0][1].Red, Expected);
}

TEST(TeeResampleTest, DegenerateSizesLeaveTheDestinationUntouched) {
  struct Case {
    const char* Name;
    Integer SW, SH, DW, DH;
  } const Cases[] = {{"1-pixel-wide source", 1, 10, 5, 5},
                     {"1-pixel-high destination", 10, 10, 5, 1},
                     {"empty source", 0, 0, 5, 5}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TBitmap Source, Dest;
    fillRandom(Source, C.SW, C.SH, 1);
    fillRandom(Dest, C.DW, C.DH, 2);
    const QImage Before = Dest.Image().copy();
    TeeSmoothStretch(&Source, &Dest);
    EXPECT_EQ(Dest.Image(), Before);
  }
  TBitmap B;
  TeeSmoothStretch(nullptr, &B);
  TeeSmoothStretch(&B, nullptr);
}

}  // namespace
