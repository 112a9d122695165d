#include "platform/ui/controls/scrollbar.h"

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/windowing/scrollinfo.h"
#include "platform/ui/windowing/timers.h"
#include "platform/ui/windowing/uitest.h"
#include "platform/ui/windowing/window.h"
#include "tests/platform/ui/formfixture.h"
#include "tests/platform/ui/hostfixture.h"

#include <QImage>
#include <vector>

using namespace gdi;

namespace {

struct TScrollRecord {
  TScrollCode Code;
  int Pos;
};

class ScrollBarTest : public HostFixture {
protected:
  ScrollBarTest() : HostFixture(clWindow) {}
  void SetUp() override {
    HostFixture::SetUp();
    Bar = new TScrollBar(Root);
    Bar->SetBounds(10, 10, 200, 17);
    Bar->SetParent(Root);
    Bar->OnScroll = [this](TObject*, TScrollCode Code, int& Pos) {
      Log.push_back({Code, Pos});
      if (Forced >= 0) Pos = Forced;
    };
  }
  std::vector<TScrollCode> codes() const {
    std::vector<TScrollCode> Codes;
    for (const TScrollRecord& R : Log) Codes.push_back(R.Code);
    return Codes;
  }

  TScrollBar* Bar = nullptr;
  std::vector<TScrollRecord> Log;
  int Forced = -1;
};

}  // namespace

TEST_F(ScrollBarTest, DefaultsAndClampingSetters) {
  EXPECT_EQ(Bar->Kind(), sbHorizontal);
  EXPECT_EQ(Bar->Min(), 0);
  EXPECT_EQ(Bar->Max(), 100);
  EXPECT_EQ(Bar->Position(), 0);
  EXPECT_EQ(Bar->PageSize(), 0);
  EXPECT_EQ(Bar->SmallChange(), 1);
  EXPECT_EQ(Bar->LargeChange(), 1);
  EXPECT_TRUE(Bar->TabStop());
  auto* Fresh = new TScrollBar(Root);
  EXPECT_EQ(Fresh->Height(), 17);
  ExpectPublishedOnceAtDefaults(Fresh, {"Kind", "Min", "Max", "Position", "PageSize", "SmallChange", "LargeChange",
                                  "TabStop", "Ctl3D", "DoubleBuffered", "Enabled", "Visible", "OnScroll", "OnChange"});

  int Changes = 0;
  Bar->OnChange = [&](TObject*) { ++Changes; };
  struct Case {
    const char* Name;
    Integer Position, Min, Max;
    Integer WantPosition, WantMin, WantMax;
  };
  const Case Cases[] = {
      {"inside", 40, 0, 100, 40, 0, 100},
      {"above max", 500, 0, 100, 100, 0, 100},
      {"below min", -3, 0, 100, 0, 0, 100},
      {"max below min", 5, 20, 10, 20, 20, 20},
      {"negative range", -7, -10, -5, -7, -10, -5},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Bar->SetParams(C.Position, C.Min, C.Max);
    EXPECT_EQ(Bar->Position(), C.WantPosition);
    EXPECT_EQ(Bar->Min(), C.WantMin);
    EXPECT_EQ(Bar->Max(), C.WantMax);
  }
  EXPECT_EQ(Changes, 5);

  // The page lowers the highest position and pulls the position back.
  Bar->SetParams(100, 0, 100);
  Changes = 0;
  Bar->SetPageSize(10);
  EXPECT_EQ(Bar->Position(), 91);
  EXPECT_EQ(Changes, 1);
  Bar->SetPosition(1000);
  EXPECT_EQ(Bar->Position(), 91);
  Bar->SetPageSize(1000);
  EXPECT_EQ(Bar->PageSize(), 101);
  EXPECT_EQ(Bar->Position(), 0);
  Bar->SetPageSize(-1);
  EXPECT_EQ(Bar->PageSize(), 0);
  Changes = 0;
  Bar->SetParams(0, 0, 100);
  EXPECT_EQ(Changes, 0);
}

TEST_F(ScrollBarTest, TheThumbShowsThePosition) {
  Bar->SetPageSize(20);
  auto Start = test::Snapshot(Bar);
  Bar->SetPosition(Bar->Max());
  auto End = test::Snapshot(Bar);
  EXPECT_EQ(Bar->Position(), 81);
  EXPECT_NE(Start->Image(), End->Image());
  // Both ends of the bar keep their arrows.
  EXPECT_EQ(Start->Image().copy(0, 0, 12, 17), End->Image().copy(0, 0, 12, 17));
}

TEST_F(ScrollBarTest, KindSwapsTheSides) {
  Bar->SetKind(sbVertical);
  EXPECT_EQ(Bar->Width(), 17);
  EXPECT_EQ(Bar->Height(), 200);
}

TEST_F(ScrollBarTest, LineAndPageClicksEndWithEndScroll) {
  Bar->SetPageSize(50);
  Bar->SetLargeChange(20);
  Bar->SetSmallChange(3);

  test::Click(Bar, {196, 8});  // the right arrow
  EXPECT_EQ(codes(), (std::vector<TScrollCode>{scLineDown, scEndScroll}));
  EXPECT_EQ(Log[0].Pos, 3);
  EXPECT_EQ(Bar->Position(), 3);

  Log.clear();
  test::Click(Bar, {170, 8});  // the trough after the half-length thumb
  EXPECT_EQ(codes(), (std::vector<TScrollCode>{scPageDown, scEndScroll}));
  EXPECT_EQ(Bar->Position(), 23);

  Log.clear();
  test::Click(Bar, {3, 8});  // the left arrow
  EXPECT_EQ(codes(), (std::vector<TScrollCode>{scLineUp, scEndScroll}));
  EXPECT_EQ(Bar->Position(), 20);
}

TEST_F(ScrollBarTest, ThumbDragTracksThenSetsThePosition) {
  Bar->SetPageSize(50);  // highest position 51; the thumb spans half the trough
  test::MouseDown(Bar, {40, 8});
  EXPECT_TRUE(Log.empty());
  test::MouseMove(Bar, {70, 8});
  test::MouseMove(Bar, {400, 8});
  test::MouseUp(Bar, {400, 8});
  ASSERT_EQ(codes(), (std::vector<TScrollCode>{scTrack, scTrack, scPosition, scEndScroll}));
  EXPECT_GT(Log[0].Pos, 0);
  EXPECT_LT(Log[0].Pos, 51);
  EXPECT_EQ(Log[1].Pos, 51);
  EXPECT_EQ(Log[2].Pos, 51);
  EXPECT_EQ(Bar->Position(), 51);
}

TEST_F(ScrollBarTest, HandlerScrollPosBecomesThePosition) {
  Forced = 7;
  test::Click(Bar, {196, 8});
  EXPECT_EQ(Bar->Position(), 7);
  Forced = 1000;  // clamped, not refused
  test::Click(Bar, {196, 8});
  EXPECT_EQ(Bar->Position(), 100);
}

TEST_F(ScrollBarTest, KeysScrollToTheEnds) {
  Bar->SetPageSize(10);
  Bar->SetFocus();
  test::Key(VK_END);
  EXPECT_EQ(codes(), (std::vector<TScrollCode>{scBottom, scEndScroll}));
  EXPECT_EQ(Bar->Position(), 91);
  Log.clear();
  test::Key(VK_HOME);
  EXPECT_EQ(codes(), (std::vector<TScrollCode>{scTop, scEndScroll}));
  EXPECT_EQ(Bar->Position(), 0);
}

namespace {

// Records the overridable handlers a descendant sees.
class TProbeBar : public TScrollBar {
  RTL_CLASS(TProbeBar, TScrollBar)
public:
  using TScrollBar::TScrollBar;
  std::vector<String> Seen;

protected:
  void WMLButtonDown(TWMMouse& Message) override {
    Seen.push_back("down");
    TScrollBar::WMLButtonDown(Message);
  }
  void WMCancelMode(TWMCancelMode& Message) override {
    Seen.push_back("cancel");
    TScrollBar::WMCancelMode(Message);
  }
};

}  // namespace

TEST_F(ScrollBarTest, MouseDownAndCancelModeReachTheOverrides) {
  auto* Probe = new TProbeBar(Root);
  Probe->SetBounds(10, 40, 200, 17);
  Probe->SetParent(Root);
  std::vector<TScrollCode> Codes;
  Probe->OnScroll = [&](TObject*, TScrollCode Code, int&) { Codes.push_back(Code); };
  test::MouseDown(Probe, {196, 8});
  Probe->Perform(WM_CANCELMODE, 0, 0);
  EXPECT_EQ(Probe->Seen, (std::vector<String>{"down", "cancel"}));
  EXPECT_EQ(Codes, (std::vector<TScrollCode>{scLineDown, scEndScroll}));
  test::MouseUp(Probe, {196, 8});
  EXPECT_EQ(Codes.size(), 2u);
}

TEST_F(ScrollBarTest, CodesGoThroughTheParentWithTheBarsHandle) {
  TMessageSpy Spy(*Root);
  test::Click(Bar, {196, 8});
  std::vector<int> Codes;
  for (const TSpiedMessage& M : Spy.Messages()) {
    if (M.Msg != WM_HSCROLL) continue;
    EXPECT_EQ(M.LParam, HandleToLParam(Bar->Handle()));
    Codes.push_back(LOWORD(M.WParam));
  }
  EXPECT_EQ(Codes, (std::vector<int>{SB_LINEDOWN, SB_ENDSCROLL}));
  EXPECT_EQ(codes(), (std::vector<TScrollCode>{scLineDown, scEndScroll}));
  EXPECT_EQ(GetScrollPos(Bar->Handle(), SB_CTL), 1) << "the window's bar follows Position";
}

TEST_F(ScrollBarTest, ArrowRepeatsWhileHeld) {
  test::TStepClock Clock{1000};
  TClockScope ClockScope{Clock};
  test::MouseDown(Bar, {3, 8});
  Bar->SetPosition(50);
  Log.clear();
  test::AdvanceTime(ScrollRepeatDelay + 2 * ScrollRepeatInterval);
  test::MouseUp(Bar, {3, 8});
  EXPECT_EQ(codes(), (std::vector<TScrollCode>{scLineUp, scLineUp, scLineUp, scEndScroll}));
  EXPECT_EQ(Bar->Position(), 47);
}

TEST_F(ScrollBarTest, ThumbDragBeyondSixteenBitsSetsTheWholePosition) {
  Bar->SetParams(0, 0, 200000);
  Bar->SetPageSize(1000);  // highest 199001; the thumb is the smallest, at x 17 .. 25
  test::MouseDown(Bar, {20, 8});
  test::MouseMove(Bar, {100, 8});
  ASSERT_EQ(codes(), (std::vector<TScrollCode>{scTrack}));
  EXPECT_GT(Log[0].Pos, 65535);
  EXPECT_EQ(Bar->Position(), Log[0].Pos);
  test::MouseMove(Bar, {400, 8});
  test::MouseUp(Bar, {400, 8});
  EXPECT_EQ(codes(), (std::vector<TScrollCode>{scTrack, scTrack, scPosition, scEndScroll}));
  EXPECT_EQ(Log[2].Pos, 199001);
  EXPECT_EQ(Bar->Position(), 199001);
}

TEST_F(ScrollBarTest, PaintsTheClassicBarInEveryState) {
  Bar->SetPageSize(20);
  Bar->SetPosition(40);
  auto expectLook = [this](TScrollBarLook Look) {
    Look.Range = TScrollRange::Clamped(Bar->Min(), Bar->Max(), Bar->PageSize());
    Look.Position = Bar->Position();
    TBitmap Reference;
    Reference.SetSize(Bar->Width(), Bar->Height());
    PaintScrollBar(Reference.Canvas()->Handle(), Rect(0, 0, Bar->Width(), Bar->Height()), Look);
    EXPECT_EQ(test::Snapshot(Bar)->Image().convertToFormat(QImage::Format_RGB32),
              Reference.Image().convertToFormat(QImage::Format_RGB32));
  };
  expectLook({});
  // Pressed while the mouse holds the right arrow.
  test::MouseDown(Bar, {196, 8});
  TScrollBarLook Pressed;
  Pressed.Pressed = TScrollBarPart::LineDown;
  expectLook(Pressed);
  test::MouseUp(Bar, {196, 8});
  // Disabled: grey arrows, no thumb, no press.
  Bar->SetEnabled(false);
  TScrollBarLook Disabled;
  Disabled.DisabledArrows = ESB_DISABLE_BOTH;
  expectLook(Disabled);
  Log.clear();
  test::Click(Bar, {196, 8});
  EXPECT_TRUE(Log.empty());
  Bar->SetEnabled(true);
  // Vertical.
  Bar->SetKind(sbVertical);
  TScrollBarLook Vertical;
  Vertical.Vertical = true;
  expectLook(Vertical);
}
