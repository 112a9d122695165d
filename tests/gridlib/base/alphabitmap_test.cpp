#include "gridlib/base/alphabitmap.h"

#include "platform/rtl/exceptions.h"
#include "tests/support/testing.h"

#include <QImage>

namespace {

class CacheAlphaBitmapEh : public ::testing::Test {
protected:
  void TearDown() override { FreeCacheAlphaBitmapEh(); }

  // The stored B, G, R, A bytes of a pixel.
  static quint32 bytesAt(TCacheAlphaBitmapEh* Bitmap, int X, int Y) {
    return reinterpret_cast<const quint32*>(Bitmap->ScanLine(Y))[X];
  }
};

TEST_F(CacheAlphaBitmapEh, GrowsEachSideAndNeverShrinks) {
  TCacheAlphaBitmapEh* Bitmap = GetCacheAlphaBitmapEh(30, 10);
  EXPECT_EQ(Bitmap->PixelFormat(), pf32bit);
  EXPECT_EQ(Bitmap->AlphaFormat(), afDefined);
  EXPECT_EQ(GetCacheAlphaBitmapEh(10, 20), Bitmap);
  EXPECT_EQ(Bitmap->Width(), 30);
  EXPECT_EQ(Bitmap->Height(), 20);
  GetCacheAlphaBitmapEh(1, 1);
  EXPECT_EQ(Bitmap->Width(), 30);
  EXPECT_EQ(Bitmap->Height(), 20);
}

TEST_F(CacheAlphaBitmapEh, SecondCaptureRaises) {
  EXPECT_FALSE(IsCacheAlphaBitmapCapturedEh()) << "no bitmap yet";
  TCacheAlphaBitmapEh* Bitmap = GetCacheAlphaBitmapEh(4, 4);
  Bitmap->Capture();
  EXPECT_TRUE(IsCacheAlphaBitmapCapturedEh());
  EXPECT_RAISES(Bitmap->Capture(), Exception, "CacheAlphaBitmap have captured");
  Bitmap->Release();
  EXPECT_FALSE(IsCacheAlphaBitmapCapturedEh());
  Bitmap->Capture();
  Bitmap->Release();
}

TEST_F(CacheAlphaBitmapEh, DrawHorzLineWritesOpaqueRunsClipped) {
  constexpr quint32 None = 0, Red = 0xFFFF0000;  // A, R, G, B of the stored bytes B, G, R, A
  const struct {
    const char* Name;
    TPoint P;
    Integer LineWidth;
    int FirstInk, LastInk;  // -1: none
  } Cases[] = {
      {"inside, both ends included", {2, 1}, 3, 2, 5},
      {"started left of the bitmap", {-3, 1}, 5, 0, 2},
      {"clipped at the last column", {7, 1}, 10, 7, 9},
      {"row above", {2, -1}, 3, -1, -1},
      {"row below", {2, 4}, 3, -1, -1},
      {"past the right edge", {10, 1}, 3, -1, -1},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    FreeCacheAlphaBitmapEh();
    TCacheAlphaBitmapEh* Bitmap = GetCacheAlphaBitmapEh(10, 4);
    Bitmap->DrawHorzLine(C.P, C.LineWidth, clRed);
    for (int Y = 0; Y < 4; ++Y)
      for (int X = 0; X < 10; ++X) {
        const bool Ink = C.FirstInk >= 0 && Y == C.P.Y && X >= C.FirstInk && X <= C.LastInk;
        EXPECT_EQ(bytesAt(Bitmap, X, Y), Ink ? Red : None) << X << ", " << Y;
      }
  }
}

}  // namespace
