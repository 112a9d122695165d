// A white 32-bit surface with a DC on it, pixel readers, and a check that the
// test gives back every GDI object it makes.
#pragma once

#include "platform/ui/graphics/gdi.h"
#include "platform/ui/graphics/surface.h"

#include "tests/support/testing.h"

#include <QImage>
#include <memory>
#include <vector>

class SurfaceTest : public ::testing::Test {
 protected:
  static constexpr gdi::COLORREF White = 0xFFFFFF;

  void SetUp() override { Baseline = gdi::GdiObjectCount(); }
  void TearDown() override {
    for (gdi::HDC D : DCs) gdi::DeleteDC(D);
    for (gdi::HGDIOBJ O : Owned) gdi::DeleteObject(O);
    EXPECT_EQ(gdi::GdiObjectCount(), Baseline) << "GDI objects leaked";
  }

  gdi::HDC makeSurface(int Width, int Height) {
    QImage Image(Width, Height, QImage::Format_RGB32);
    Image.fill(Qt::white);
    Surface = std::make_shared<TSurface>(Image);
    DCs.push_back(CreateSurfaceDC(Surface));
    return DCs.back();
  }
  // Selects Object into DC and keeps it to delete at the end.
  template <class H>
  H use(gdi::HDC DC, H Object) {
    Owned.push_back(Object);
    gdi::SelectObject(DC, Object);
    return Object;
  }

  gdi::COLORREF pixel(int X, int Y) {
    const QRgb P = Surface->Image().pixel(X, Y);
    return gdi::RGB(gdi::BYTE(qRed(P)), gdi::BYTE(qGreen(P)), gdi::BYTE(qBlue(P)));
  }
  bool inked(int X, int Y) { return pixel(X, Y) != White; }
  // The pixels that are not white.
  QRegion ink() {
    QRegion R;
    for (int Y = 0; Y < Surface->Height(); ++Y)
      for (int X = 0; X < Surface->Width(); ++X)
        if (inked(X, Y)) R += QRect(X, Y, 1, 1);
    return R;
  }

  std::shared_ptr<TSurface> Surface;
  std::vector<gdi::HDC> DCs;
  std::vector<gdi::HGDIOBJ> Owned;
  int Baseline = 0;
};
