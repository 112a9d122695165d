#include "gridlib/base/sizegrip.h"

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/regions.h"
#include "platform/ui/windowing/window.h"
#include "tests/platform/ui/formfixture.h"
#include "tests/platform/ui/pixelhelpers.h"

namespace {

using namespace gdi;

// A borderless host form with a grip in one of its corners.
class SizeGripTest : public FormFixture {
protected:
  void SetUp() override {
    FormFixture::SetUp();
    Form->SetBorderStyle(bsNone);
  }
  TSizeGripEh* gripAt(TSizeGripPosition Position, TRect HostBounds) {
    Form->SetBoundsRect(HostBounds);
    auto* Grip = new TSizeGripEh(Form);
    Grip->SetPosition(Position);
    Grip->SetParent(Form);
    Form->Show();
    Grip->HandleNeeded();
    return Grip;
  }
  // Drags Grip by (DX, DY) screen pixels from a point inside its triangle.
  void drag(TSizeGripEh* Grip, Integer DX, Integer DY) {
    const TPoint Inside{Grip->Width() / 2, Grip->Height() - 2};
    const TPoint Start = Grip->ClientToScreen(Inside);
    test::MouseDown(Grip, Inside);
    test::MouseMove(Grip, Grip->ScreenToClient(TPoint{Start.X + DX, Start.Y + DY}), {ssLeft});
    test::MouseUp(Grip, Grip->ScreenToClient(TPoint{Start.X + DX, Start.Y + DY}));
  }
  TRect workArea() { return Screen->MonitorFromRect(Form->BoundsRect(), mdNearest)->WorkareaRect(); }
};

TEST_F(SizeGripTest, ABottomRightGripGrowsTheClientArea) {
  TSizeGripEh* Grip = gripAt(sgpBottomRight, Bounds(100, 100, 200, 150));
  Integer Resized = 0;
  Grip->OnParentResized = TNotifyEvent([&Resized](TObject*) { ++Resized; });
  EXPECT_EQ(Grip->BoundsRect().BottomRight(), (TPoint{200, 150})) << "in the host's corner";
  drag(Grip, 30, 20);
  EXPECT_EQ(Form->ClientWidth(), 230);
  EXPECT_EQ(Form->ClientHeight(), 170);
  EXPECT_EQ(Grip->BoundsRect().BottomRight(), (TPoint{230, 170})) << "the grip follows its corner";
  EXPECT_GT(Resized, 0);
}

TEST_F(SizeGripTest, TheHostStaysInsideTheWorkArea) {
  const TRect Area = workArea();
  TSizeGripEh* Grip = gripAt(sgpBottomRight, Bounds(Area.Right - 210, 100, 200, 150));
  drag(Grip, 30, 0);
  EXPECT_EQ(Form->Left() + Form->Width(), Area.Right);
}

TEST_F(SizeGripTest, ABottomLeftGripWidensToTheLeft) {
  TSizeGripEh* Grip = gripAt(sgpBottomLeft, Bounds(300, 100, 200, 150));
  EXPECT_EQ(Grip->Left(), 0);
  drag(Grip, -30, 0);
  EXPECT_EQ(Form->Width(), 230);
  EXPECT_EQ(Form->Left() + Form->Width(), 500) << "the right edge stays";
}

TEST_F(SizeGripTest, TheRegionIsATriangleUnlessSwitchedOff) {
  TSizeGripEh* Grip = gripAt(sgpBottomRight, Bounds(100, 100, 200, 150));
  HRGN Region = CreateRectRgn(0, 0, 0, 0);
  EXPECT_NE(GetWindowRgn(Grip->Handle(), Region), ERROR);
  EXPECT_FALSE(PtInRegion(Region, 1, 1)) << "the corner away from the grip's is cut off";
  EXPECT_TRUE(PtInRegion(Region, Grip->Width() - 2, Grip->Height() - 2));
  Grip->SetTriangleWindow(false);
  EXPECT_EQ(GetWindowRgn(Grip->Handle(), Region), ERROR) << "the whole square";
  DeleteObject(Region);
}

TEST_F(SizeGripTest, ChangedPositions) {
  struct Case {
    TSizeGripPosition From;
    TSizeGripChangePosition Direction;
    TSizeGripPosition Expected;
  } Cases[] = {
      {sgpTopRight, sgcpToLeft, sgpTopLeft},       {sgpBottomRight, sgcpToLeft, sgpBottomLeft},
      {sgpTopLeft, sgcpToLeft, sgpTopLeft},        {sgpTopLeft, sgcpToRight, sgpTopRight},
      {sgpBottomLeft, sgcpToRight, sgpBottomRight}, {sgpBottomRight, sgcpToTop, sgpTopRight},
      {sgpBottomLeft, sgcpToTop, sgpTopLeft},      {sgpTopLeft, sgcpToTop, sgpTopLeft},
      {sgpTopRight, sgcpToBottom, sgpBottomRight}, {sgpTopLeft, sgcpToBottom, sgpBottomLeft},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << int(C.From) << " " << int(C.Direction));
    EXPECT_EQ(ChangedSizeGripPositionEh(C.From, C.Direction), C.Expected);
  }
  EXPECT_EQ(ChangedSizeGripPositionEh(sgpTopLeft, 7), sgpTopLeft);

  TSizeGripEh* Grip = gripAt(sgpBottomRight, Bounds(100, 100, 200, 150));
  Grip->ChangePosition(sgcpToTop);
  EXPECT_EQ(Grip->Position(), sgpTopRight);
  EXPECT_EQ(Grip->Top(), 0);
  EXPECT_EQ(Grip->Cursor(), crSizeNESW);
}

TEST_F(SizeGripTest, HidingBeforeTheWindowExistsSetsVisibleOnly) {
  auto* Grip = new TSizeGripEh(Form);
  Grip->SetVisible(false);
  EXPECT_FALSE(Grip->HandleAllocated());
  EXPECT_FALSE(Grip->TCustomControlEh::Visible());
}

TEST_F(SizeGripTest, ClassicLinesStartWithTheHighlightOnTheLongSide) {
  TSizeGripEh* Grip = gripAt(sgpBottomRight, Bounds(100, 100, 200, 150));
  Grip->Repaint();
  TBitmap Image;
  Image.SetImage(test::WindowImage(Grip));
  const Integer W = Grip->Width(), H = Grip->Height();
  // Line I runs from (I, H) to (W, I).
  const auto onLine = [&](Integer I) { return PixelAt(&Image, I + (W - I) / 2, H - (H - I) / 2); };
  EXPECT_EQ(onLine(0), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(onLine(1), ColorToRGB(clBtnShadow));
  EXPECT_EQ(onLine(3), ColorToRGB(clBtnFace));
  EXPECT_EQ(onLine(4), ColorToRGB(clBtnHighlight));
}

}  // namespace
