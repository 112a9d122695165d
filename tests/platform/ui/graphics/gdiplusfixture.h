// A white 32-bit surface for GDI+-style drawing tests, with pixel readers.
#pragma once

#include "platform/ui/graphics/gdiplus.h"
#include "platform/ui/graphics/surface.h"
#include "tests/platform/ui/pixelhelpers.h"
#include "tests/support/testing.h"

#include <QImage>
#include <memory>
#include <string>
#include <vector>

namespace gdiplus {

constexpr ARGB Black = 0xFF000000;
constexpr ARGB White = 0xFFFFFFFF;
constexpr ARGB Red = 0xFFFF0000;
constexpr ARGB Blue = 0xFF0000FF;

// A white 32-bit surface and a DC on it; TearDown checks that the test gave
// back every GDI object it made.
class GdiplusDrawTest : public ::testing::Test {
protected:
  void SetUp() override { Baseline = gdi::GdiObjectCount(); }
  void TearDown() override {
    for (HDC D : DCs) gdi::DeleteDC(D);
    EXPECT_EQ(gdi::GdiObjectCount(), Baseline) << "GDI objects leaked";
  }

  HDC makeSurface(int Width, int Height) {
    QImage Image(Width, Height, QImage::Format_RGB32);
    Image.fill(Qt::white);
    Surface = std::make_shared<TSurface>(Image);
    DCs.push_back(CreateSurfaceDC(Surface));
    return DCs.back();
  }

  ARGB pixel(int X, int Y) { return Surface->Image().pixel(X, Y); }
  int red(int X, int Y) { return qRed(pixel(X, Y)); }
  int count(ARGB Color) {
    int N = 0;
    for (int Y = 0; Y < Surface->Height(); ++Y)
      for (int X = 0; X < Surface->Width(); ++X) N += pixel(X, Y) == Color;
    return N;
  }
  // The bounding box of the pixels that are not white.
  QRect ink() {
    QRect Box;
    for (int Y = 0; Y < Surface->Height(); ++Y)
      for (int X = 0; X < Surface->Width(); ++X)
        if (pixel(X, Y) != White) Box |= QRect(X, Y, 1, 1);
    return Box;
  }
  // The surface as text for failure messages: '.' white, '#' black, '+' anything else.
  std::string art() {
    std::string S;
    for (int Y = 0; Y < Surface->Height(); ++Y) {
      for (int X = 0; X < Surface->Width(); ++X) S += pixel(X, Y) == White ? '.' : pixel(X, Y) == Black ? '#' : '+';
      S += '\n';
    }
    return S;
  }
  // The on/off runs of row Y, as "9on 3off ...".
  std::string runs(int Y) {
    std::string S;
    for (int X = 0; X < Surface->Width();) {
      const bool On = pixel(X, Y) != White;
      int N = 0;
      for (; X < Surface->Width() && (pixel(X, Y) != White) == On; ++X) ++N;
      S += (S.empty() ? "" : " ") + std::to_string(N) + (On ? "on" : "off");
    }
    return S;
  }
  // A reference drawing for a person to look at, in the test's working folder.
  void save(const char* Name) { SaveForReview(Surface->Image(), QString::fromLatin1(Name)); }

  int Baseline = 0;
  std::shared_ptr<TSurface> Surface;
  std::vector<HDC> DCs;
};

}  // namespace gdiplus
