#include "gridlib/base/dragwindows.h"

#include "platform/rtl/exceptions.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/windowing/window.h"
#include "tests/platform/ui/formfixture.h"
#include "tests/platform/ui/pixelhelpers.h"

#include <QImage>

namespace {

using namespace gdi;

class DragWindowsTest : public FormFixture {
protected:
  TColor pixelOf(TWinControl* Control, int X, int Y) {
    Image.SetImage(test::WindowImage(Control));
    return PixelAt(&Image, X, Y);
  }
  TBitmap Image;
};

TEST_F(DragWindowsTest, TheSharedMoveLineStartsAndMovesAroundItsLine) {
  TGridMoveLineEh* Line = GetGridMoveLineEh();
  EXPECT_EQ(GetGridMoveLineEh(), Line) << "one line for the program";
  Line->StartShow({100, 50}, /*AIsVert=*/true, 40, nullptr);
  EXPECT_EQ(Line->BoundsRect(), Bounds(97, 46, 7, 48));
  EXPECT_TRUE(IsWindowVisible(Line->Handle()));
  EXPECT_NE(GetWindowLong(Line->Handle(), GWL_EXSTYLE) & WS_EX_NOACTIVATE, 0);
  Line->MoveToFor({120, 50});
  EXPECT_EQ(Line->BoundsRect(), Bounds(117, 46, 7, 48));
}

TEST_F(DragWindowsTest, AHorizontalLineOfSizeZeroIsOnlyItsArrowHeads) {
  TGridMoveLineEh* Line = GetGridMoveLineEh();
  Line->StartShow({100, 50}, /*AIsVert=*/false, 0, nullptr);
  EXPECT_EQ(Line->Width(), 8);
  EXPECT_EQ(Line->Height(), 7);
  Line->Repaint();
  struct Case {
    int X, Y;
    TColor Expected;
  } Cases[] = {
      {0, 0, clRed}, {0, 6, clRed},  {3, 3, clRed},   {4, 3, clRed},     {7, 0, clRed},
      {1, 0, clWhite}, {3, 2, clWhite}, {4, 2, clWhite}, {6, 0, clWhite},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.X << "," << C.Y);
    EXPECT_EQ(pixelOf(Line, C.X, C.Y), C.Expected);
  }
  EXPECT_TRUE(Line->TransparentColor());
  EXPECT_EQ(Line->TransparentColorValue(), clWhite) << "white is keyed out";
}

TEST_F(DragWindowsTest, TheDragBoxIsGreyAndHalfTransparentWithoutColourKey) {
  TGridDragBoxEh* Box = GetGridDragBoxEh();
  EXPECT_EQ(Box->AlphaBlendValue(), 200);
  EXPECT_EQ(Box->TransparentColorValue(), clNone);
  Box->StartShow({10, 20}, 30, 40);
  EXPECT_EQ(Box->BoundsRect(), Bounds(10, 20, 30, 40));
  EXPECT_TRUE(IsWindowVisible(Box->Handle()));
  EXPECT_NE(GetWindowLong(Box->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  COLORREF Key = 0;
  BYTE Alpha = 0;
  DWORD Flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(Box->Handle(), &Key, &Alpha, &Flags));
  EXPECT_EQ(Alpha, 200);
  EXPECT_EQ(Flags, LWA_ALPHA);
  Box->Repaint();
  EXPECT_EQ(pixelOf(Box, 15, 20), clGray);
}

TEST_F(DragWindowsTest, ShowIsRefusedAndTemporaryHideKeepsTheWindow) {
  TGridDragBoxEh* Box = GetGridDragBoxEh();
  EXPECT_THROW(
      {
        try {
          Box->Show();
        } catch (const Exception& E) {
          EXPECT_EQ(E.Message, "Show is not supported. Use StartShow");
          throw;
        }
      },
      Exception);
  Box->StartShow({10, 20}, 30, 40);
  Box->TemporaryHide();
  EXPECT_EQ(Box->BoundsRect(), Bounds(10, 20, 0, 0));
  EXPECT_TRUE(IsWindowVisible(Box->Handle()));
  Box->MoveToFor({15, 25}, 30, 40);
  EXPECT_EQ(Box->BoundsRect(), Bounds(15, 25, 30, 40));
}

TEST_F(DragWindowsTest, AFormsAlphaValueSwitchesBlendingOnOnly) {
  auto* Drag = new TGridDragFormEh(Form);
  Drag->SetAlphaBlendValue(200);
  EXPECT_TRUE(Drag->AlphaBlend());
  Drag->SetAlphaBlendValue(255);
  EXPECT_TRUE(Drag->AlphaBlend());
  EXPECT_EQ(Drag->AlphaBlendValue(), 255);
}

}  // namespace
