#include "gridlib/base/scrollbarpanels.h"

#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/windowing/window.h"
#include "tests/platform/ui/formfixture.h"

namespace {

// The grid side of a panel: records the commands.
class TOwnerControl : public TCustomControl, public TGridScrollBarOwnerEh {
public:
  using TCustomControl::TCustomControl;
  void ScrollBarCommand(TScrollBarKind Kind, Integer Code, Integer Pos, bool AllowRightToLeftSwap) override {
    Commands.push_back({Kind == sbVertical, Code, Pos, AllowRightToLeftSwap});
  }
  bool FocusGridOnMouseDown() override {
    ++Presses;
    return AllowPress;
  }
  Integer ScrollBarBoxSize(TScrollBarKind) override { return 17; }
  struct TCommand {
    bool Vertical;
    Integer Code, Pos;
    bool FromBar;
  };
  std::vector<TCommand> Commands;
  int Presses = 0;
  bool AllowPress = true;
};

class ScrollBarPanelTest : public FormFixture {
protected:
  void SetUp() override {
    FormFixture::SetUp();
    Owner = make<TOwnerControl>(Bounds(0, 0, 300, 200));
    Panel = new TGridScrollBarPanelControlEh(Owner, sbHorizontal);
    Panel->SetParent(Owner);
    Panel->SetBounds(0, 183, 300, 17);
  }
  TOwnerControl* Owner = nullptr;
  TGridScrollBarPanelControlEh* Panel = nullptr;
};

TEST_F(ScrollBarPanelTest, SetParamsDisablesDegenerateRanges) {
  struct Case {
    const char* Name;
    Integer Position, Min, Max, Page;
    Integer ExpectedMax;
    bool Enabled;
  } Cases[] = {
      {"inverted range", 5, 0, -3, 10, 0, false},
      {"page equals the range", 0, 0, 100, 100, 100, true},
      {"page above the range", 0, 0, 99, 100, 99, false},
      {"range shrunk below the page", 0, 0, 20, 10, 20, true},
  };
  Panel->SetParams(0, 0, 1000, 500);
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Panel->SetParams(C.Position, C.Min, C.Max, C.Page);
    EXPECT_EQ(Panel->ScrollBar()->Max(), C.ExpectedMax);
    EXPECT_EQ(Panel->ScrollBar()->Enabled(), C.Enabled);
  }
}

TEST_F(ScrollBarPanelTest, CancelModeIsHeldBackWhileDisabling) {
  Panel->SetParams(0, 0, 200, 50);
  Form->Show();
  TScrollBar* Bar = Panel->ScrollBar();
  // A cancel-mode that arrives while the panel disables the bar, as one
  // from the window system would.
  const TWndMethod Original = Bar->WindowProc;
  Bar->WindowProc = [&](TMessage& Message) {
    if (Message.Msg == CM_ENABLEDCHANGED && !Bar->Enabled()) Bar->Perform(gdi::WM_CANCELMODE, 0, 0);
    Original(Message);
  };
  test::MouseDown(Bar, {Bar->Width() - 3, Bar->Height() / 2});  // a press on the arrow
  Owner->Commands.clear();
  Panel->SetParams(0, 0, 10, 50);
  EXPECT_FALSE(Bar->Enabled());
  EXPECT_TRUE(Owner->Commands.empty());  // the press was not ended
  EXPECT_FALSE(Panel->IgnoreCancelMode());
  Bar->WindowProc = Original;
  test::MouseUp(Bar, {Bar->Width() - 3, Bar->Height() / 2});
}

TEST_F(ScrollBarPanelTest, ArrowClickReachesTheOwnerAsOneCommand) {
  Panel->SetParams(0, 0, 200, 50);
  Form->Show();
  TScrollBar* Bar = Panel->ScrollBar();
  test::Click(Bar, {Bar->Width() - 3, Bar->Height() / 2});  // the right arrow
  ASSERT_FALSE(Owner->Commands.empty());
  EXPECT_FALSE(Owner->Commands.front().Vertical);
  EXPECT_EQ(Owner->Commands.front().Code, 1);  // line right
  EXPECT_TRUE(Owner->Commands.front().FromBar);
  EXPECT_EQ(Owner->Presses, 1);

  Owner->Commands.clear();
  Owner->AllowPress = false;  // the owner refuses: the bar never sees the press
  test::Click(Bar, {Bar->Width() - 3, Bar->Height() / 2});
  EXPECT_TRUE(Owner->Commands.empty());
}

TEST_F(ScrollBarPanelTest, RightToLeftThumbPositionIsMirrored) {
  SysLocale.MiddleEast = true;
  const TScopeExit Restore([] { SysLocale.MiddleEast = false; });
  Owner->SetBiDiMode(bdRightToLeft);
  Panel->SetParams(50, 0, 200, 10);
  int Pos = 50;
  Panel->ScrollBar()->OnScroll(Panel->ScrollBar(), scPosition, Pos);
  ASSERT_EQ(Owner->Commands.size(), 1U);
  EXPECT_EQ(Owner->Commands[0].Pos, 150);
}

TEST_F(ScrollBarPanelTest, NegativeSizesBecomeZero) {
  Panel->SetBounds(0, 0, -5, 10);
  EXPECT_EQ(Panel->Width(), 0);
  auto* Grip = new TSizeGripPanelEh(Owner);
  Grip->SetBounds(0, 0, 10, -1);
  EXPECT_EQ(Grip->Height(), 0);
}

// ---------------------------------------------------------------------------
// the size grip

class SizeGripTest : public FormFixture {
protected:
  SizeGripTest() : FormFixture(NoClipboard, Bounds(100, 100, 400, 300)) {}
  void SetUp() override {
    FormFixture::SetUp();
    Grip = make<TSizeGripPanelEh>(TRect());
    Form->Show();
  }
  // The grip's bottom-right corner Gap pixels from the form's client corner.
  void placeGrip(Integer Gap) {
    Grip->SetBounds(Form->ClientWidth() - 17 - Gap, Form->ClientHeight() - 17, 17, 17);
  }
  TSizeGripPanelEh* Grip = nullptr;
};

TEST_F(SizeGripTest, AutoGripIsActiveOnlyInTheCorner) {
  Grip->SetGripActiveStatus(gasAutoEh);
  placeGrip(3);
  EXPECT_TRUE(Grip->IsGripActive());
  placeGrip(4);
  EXPECT_FALSE(Grip->IsGripActive());
  placeGrip(0);
  Form->SetWindowState(wsMaximized);
  EXPECT_FALSE(Grip->IsGripActive());
  Grip->SetGripActiveStatus(gasNeverEh);
  EXPECT_FALSE(Grip->IsGripActive());
}

TEST_F(SizeGripTest, DragResizesTheFormFromItsCorner) {
  struct Case {
    TSizeGripPosition Position;
    TRect Expected;  // from the form's bounds (100, 100, 500, 400) after a drag of (+10, +20)
  } Cases[] = {
      {sgpBottomRight, {100, 100, 510, 420}},
      {sgpBottomLeft, {110, 100, 500, 420}},
      {sgpTopRight, {100, 120, 510, 400}},
      {sgpTopLeft, {110, 120, 500, 400}},
  };
  Grip->SetGripActiveStatus(gasAlwaysEh);
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Position);
    Form->SetBoundsRect(Bounds(100, 100, 400, 300));
    placeGrip(0);
    Grip->SetPosition(C.Position);
    test::MouseDown(Grip, {5, 5});
    test::MouseMove(Grip, {15, 25}, {ssLeft});
    test::MouseUp(Grip, {15, 25});
    EXPECT_EQ(Form->BoundsRect(), C.Expected);
  }
}

TEST_F(SizeGripTest, ADragBegunInactiveResizesNothing) {
  Grip->SetGripActiveStatus(gasNeverEh);
  placeGrip(0);
  test::MouseDown(Grip, {5, 5});
  Grip->SetGripActiveStatus(gasAlwaysEh);
  test::MouseMove(Grip, {15, 25}, {ssLeft});
  test::MouseUp(Grip, {15, 25});
  EXPECT_EQ(Form->BoundsRect(), Bounds(100, 100, 400, 300));
}

}  // namespace
