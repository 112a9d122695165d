// The common ground of the grid suites: a form holding a grid without
// border (client coordinates are window coordinates), the grid unit
// started, and the grid's own window image read back as pixels.
#pragma once

#include "gridlib/base/baseunit.h"
#include "gridlib/grid/grids.h"
#include "gridlib/grid/gridstyle.h"
#include "platform/rtl/units.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/windowing/uitest.h"
#include "tests/platform/ui/formfixture.h"
#include "tests/platform/ui/pixelhelpers.h"

#include <QImage>

template <class TGrid = TCustomGridEh>
class GridFixtureOf : public FormFixture {
protected:
  GridFixtureOf() : FormFixture(NoClipboard, Bounds(100, 100, 500, 400)) {}

  void SetUp() override {
    // Once per program; the test main's shutdown finalizes them.
    InitializeUnits({GridLibBaseUnitEh, GridsUnitEh});
    FormFixture::SetUp();
    Grid = CreateGridEh<TGrid>(Form);
    Grid->SetBorderStyle(bsNone);
    Grid->SetParent(Form);
  }

  // The grid at (0, 0) of Width x Height, shown and painted.
  void showGrid(Integer Width, Integer Height) {
    Grid->SetBounds(0, 0, Width, Height);
    Form->Show();
    Grid->Repaint();
  }
  // The grid's window image as it stands now.
  TBitmap* image() {
    Image.SetImage(test::WindowImage(Grid));
    return &Image;
  }
  TColor pixel(int X, int Y) { return PixelAt(image(), X, Y); }
  void saveForReview(const QString& Name) { SaveForReview(test::WindowImage(Grid), Name); }

  TGrid* Grid = nullptr;
  TBitmap Image;
};

using GridFixture = GridFixtureOf<>;
