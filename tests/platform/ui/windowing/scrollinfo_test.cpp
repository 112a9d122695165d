#include "platform/ui/windowing/scrollinfo.h"

#include "platform/ui/graphics/scrollpaint.h"
#include "platform/ui/graphics/surface.h"
#include "platform/ui/windowing/controls.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/timers.h"
#include "platform/ui/windowing/uitest.h"
#include "platform/ui/windowing/window.h"
#include "tests/support/testing.h"

#include <QImage>
#include <climits>
#include <vector>

using namespace gdi;

namespace {

// What a WM_HSCROLL / WM_VSCROLL brought: the message, its code, its 16-bit
// position and the whole one SIF_TRACKPOS gave meanwhile.
struct TCode {
  UINT Msg;
  int Code;
  int Pos;
  int TrackPos;
  bool operator==(const TCode&) const = default;
};

std::ostream& operator<<(std::ostream& Os, const TCode& C) {
  return Os << (C.Msg == WM_VSCROLL ? "V" : "H") << C.Code << "@" << C.Pos << "/" << C.TrackPos;
}

std::vector<int> codesOf(const std::vector<TCode>& Log) {
  std::vector<int> Codes;
  for (const TCode& C : Log) Codes.push_back(C.Code);
  return Codes;
}

// A window with both bars that scrolls as a program does: lines and pages
// from its position, the thumb's whole position at SB_THUMBPOSITION (not
// while it is dragged, so a test sees that the bar waits for the window).
class TScrolledWindow : public TCustomControl {
  RTL_CLASS(TScrolledWindow, TCustomControl)
  UI_MESSAGE_MAP
public:
  using TCustomControl::TCustomControl;

  DWORD Bars = WS_HSCROLL | WS_VSCROLL;
  Integer Page = 10;
  std::vector<TCode> Log;
  std::vector<TSize> Sizes;  // WM_SIZE's client sizes

protected:
  void CreateParams(TCreateParams& Params) override {
    TCustomControl::CreateParams(Params);
    Params.Style |= Bars;
  }
  void Paint() override {
    Canvas()->Brush()->SetColor(clWindow);
    Canvas()->FillRect(ClientRect());
  }
  void WMScroll(TWMScroll& Message) {
    const int Bar = AsMessage(Message).Msg == WM_VSCROLL ? SB_VERT : SB_HORZ;
    SCROLLINFO Info;
    Info.fMask = SIF_TRACKPOS;
    GetScrollInfo(Handle(), Bar, &Info);
    Log.push_back({AsMessage(Message).Msg, Message.ScrollCode, Message.Pos, Info.nTrackPos});
    if (Message.ScrollCode == SB_THUMBTRACK) return;
    const Integer Thumb = ScrollThumbPosition(Handle(), Bar, Message.Pos);
    const auto To = ScrollCodeTarget(Message.ScrollCode, GetScrollPos(Handle(), Bar), Thumb, 1, Page,
                                     [] { return INT_MAX; });
    if (To) SetScrollPos(Handle(), Bar, *To, true);
  }
  void WMSize(TWMSize& Message) {
    Sizes.push_back({Message.Width, Message.Height});
    DispatchAs<TCustomControl>(Message);
  }
};

const TMessageMap& TScrolledWindow::MessageMap() {
  static const TMessageMap Map(TCustomControl::MessageMap(), {
      {WM_HSCROLL, &TScrolledWindow::WMScroll},
      {WM_VSCROLL, &TScrolledWindow::WMScroll},
      {WM_SIZE, &TScrolledWindow::WMSize},
  });
  return Map;
}

SCROLLINFO info(UINT Mask, int Min, int Max, UINT Page, int Pos) {
  SCROLLINFO I;
  I.fMask = Mask;
  I.nMin = Min;
  I.nMax = Max;
  I.nPage = Page;
  I.nPos = Pos;
  return I;
}

// A 200 x 120 top level with both bars: client 183 x 103; the vertical bar
// at x 183 .. 200 with its arrows at y 0 .. 17 and 86 .. 103, the track
// between them.
class ScrollInfoTest : public ::testing::Test {
protected:
  void SetUp() override { test::ResetUi(); }
  void TearDown() override {
    if (Window) Window->Free();
    test::ResetUi();
  }

  void makeWindow(DWORD Bars = WS_HSCROLL | WS_VSCROLL) {
    Window = new TScrolledWindow(nullptr);
    Window->Bars = Bars;
    Window->SetBounds(300, 200, 200, 120);
    Window->SetParentWindow(GetDesktopWindow());
    H = Window->Handle();
    Window->Update();
  }
  void setVertical(UINT Mask, int Min, int Max, UINT Page, int Pos) {
    const SCROLLINFO I = info(Mask, Min, Max, Page, Pos);
    SetScrollInfo(H, SB_VERT, &I, true);
  }
  // A point of the vertical bar in the control's client coordinates.
  static TPoint bar(int Y) { return {191, Y}; }
  const std::vector<TCode>& log() const { return Window->Log; }

  TScrolledWindow* Window = nullptr;
  HWND H = nullptr;
};

}  // namespace

TEST_F(ScrollInfoTest, SetScrollInfoClampsShowsHidesAndDisables) {
  makeWindow(WS_VSCROLL);
  SCROLLINFO Got;
  Got.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(H, SB_VERT, &Got));
  EXPECT_EQ((std::vector<int>{Got.nMin, Got.nMax, int(Got.nPage), Got.nPos}), (std::vector<int>{0, 100, 0, 0}))
      << "a window's own bar starts at 0 .. 100";
  ASSERT_TRUE(GetScrollInfo(H, SB_CTL, &Got));
  EXPECT_EQ(Got.nMax, 0) << "a control's bar at 0 .. 0";

  struct Case {
    const char* Name;
    SCROLLINFO Set;
    int Min, Max, Page, Pos;  // what GetScrollInfo answers after
    bool Shown;               // WS_VSCROLL
    bool Disabled;            // both arrows
  };
  const Case Cases[] = {
      {"inside", info(SIF_ALL, 0, 100, 10, 50), 0, 100, 10, 50, true, false},
      {"position clamped to max - page + 1", info(SIF_ALL, 0, 100, 10, 95), 0, 100, 10, 91, true, false},
      {"position below the range", info(SIF_POS, 0, 0, 0, -5), 0, 100, 0, 0, true, false},
      {"position alone keeps the range", info(SIF_POS, 7, 9, 3, 60), 0, 100, 0, 60, true, false},
      {"page one short of the range still scrolls", info(SIF_ALL, 0, 9, 9, 5), 0, 9, 9, 1, true, false},
      {"page larger than the range: hidden", info(SIF_ALL, 0, 9, 20, 5), 0, 9, 10, 0, false, false},
      {"page larger with SIF_DISABLENOSCROLL: shown, disabled", info(SIF_ALL | SIF_DISABLENOSCROLL, 0, 9, 20, 5),
       0, 9, 10, 0, true, true},
      {"max below min is raised: hidden", info(SIF_RANGE, 10, 5, 0, 0), 10, 10, 0, 10, false, false},
      {"a wrong cbSize changes nothing", [] { auto I = info(SIF_ALL, 0, 5, 1, 3); I.cbSize = 4; return I; }(), 0,
       100, 0, 0, true, false},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    // From the start state: 0 .. 100, shown, enabled.
    setVertical(SIF_ALL, 0, 100, 0, 0);
    EnableScrollBar(H, SB_VERT, ESB_ENABLE_BOTH);
    SetScrollInfo(H, SB_VERT, &C.Set, true);
    Got.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(H, SB_VERT, &Got));
    EXPECT_EQ((std::vector<int>{Got.nMin, Got.nMax, int(Got.nPage), Got.nPos}),
              (std::vector<int>{C.Min, C.Max, C.Page, C.Pos}));
    EXPECT_EQ(GetScrollPos(H, SB_VERT), C.Pos);
    EXPECT_EQ((GetWindowLong(H, GWL_STYLE) & WS_VSCROLL) != 0, C.Shown);
    EXPECT_EQ(EnableScrollBar(H, SB_VERT, ESB_DISABLE_BOTH) == 0, C.Disabled) << "already disabled";
  }

  // A scrollable range again shows and enables the bar.
  setVertical(SIF_ALL | SIF_DISABLENOSCROLL, 0, 9, 20, 0);
  setVertical(SIF_ALL | SIF_DISABLENOSCROLL, 0, 99, 20, 0);
  EXPECT_TRUE(EnableScrollBar(H, SB_VERT, ESB_DISABLE_BOTH)) << "it was enabled";
  setVertical(SIF_ALL, 0, 9, 20, 0);
  setVertical(SIF_RANGE, 0, 99, 0, 0);
  EXPECT_TRUE(GetWindowLong(H, GWL_STYLE) & WS_VSCROLL);

  // The older calls on the same numbers.
  EXPECT_EQ(SetScrollPos(H, SB_VERT, 70, true), 0);
  EXPECT_EQ(SetScrollPos(H, SB_VERT, 500, true), 70);
  EXPECT_EQ(GetScrollPos(H, SB_VERT), 90) << "the page kept its clamped 10";
  EXPECT_TRUE(SetScrollRange(H, SB_VERT, -5, 5, true));
  int Min = 0, Max = 0;
  EXPECT_TRUE(GetScrollRange(H, SB_VERT, &Min, &Max));
  EXPECT_EQ(std::pair(Min, Max), std::pair(-5, 5));
  EXPECT_EQ(GetScrollPos(H, SB_VERT), -4) << "the position follows the new range, less the page";
  EXPECT_EQ(SetScrollInfo(H, SB_BOTH, &Got, true), 0);
  EXPECT_EQ(SetScrollInfo(nullptr, SB_VERT, &Got, true), 0);
}

TEST_F(ScrollInfoTest, ShowingAndHidingABarSizesTheClientArea) {
  makeWindow();
  RECT Client;
  GetClientRect(H, &Client);
  EXPECT_EQ(Client, Rect(0, 0, 183, 103));
  Window->Sizes.clear();
  EXPECT_TRUE(ShowScrollBar(H, SB_VERT, false));
  GetClientRect(H, &Client);
  EXPECT_EQ(Client, Rect(0, 0, 200, 103));
  EXPECT_EQ(Window->Sizes, (std::vector<TSize>{{200, 103}}));
  EXPECT_EQ(SendMessage(H, WM_NCHITTEST, 0, PointToLParam({300 + 190, 200 + 50})), HTCLIENT);
  EXPECT_TRUE(ShowScrollBar(H, SB_BOTH, false));
  GetClientRect(H, &Client);
  EXPECT_EQ(Client, Rect(0, 0, 200, 120));
  Window->Sizes.clear();
  ShowScrollBar(H, SB_BOTH, false);
  EXPECT_TRUE(Window->Sizes.empty()) << "nothing changed, no WM_SIZE";
}

TEST_F(ScrollInfoTest, WindowBarsShowTheClassicPainterAtOnce) {
  makeWindow();
  setVertical(SIF_ALL, 0, 99, 10, 45);
  EnableScrollBar(H, SB_HORZ, ESB_DISABLE_BOTH);
  // Drawn into the window when set, not at the next paint.
  const QImage& Shown = test::WindowImage(Window);
  auto expectBar = [&](const TRect& Bar, const TScrollBarLook& Look) {
    QImage Reference(Bar.Width(), Bar.Height(), QImage::Format_RGB32);
    auto Surface = std::make_shared<TSurface>(Reference);
    const HDC DC = CreateSurfaceDC(Surface);
    // The checkerboard lies as it does on the window.
    SetBrushOrgEx(DC, -Bar.Left, -Bar.Top, nullptr);
    PaintScrollBar(DC, Rect(0, 0, Bar.Width(), Bar.Height()), Look);
    DeleteDC(DC);
    EXPECT_EQ(Shown.copy(Bar.Left, Bar.Top, Bar.Width(), Bar.Height()).convertToFormat(QImage::Format_RGB32),
              Surface->Image().convertToFormat(QImage::Format_RGB32));
  };
  TScrollBarLook Vertical;
  Vertical.Range = TScrollRange::Clamped(0, 99, 10);
  Vertical.Position = 45;
  Vertical.Vertical = true;
  expectBar(Rect(183, 0, 200, 103), Vertical);
  TScrollBarLook Horizontal;
  Horizontal.DisabledArrows = ESB_DISABLE_BOTH;
  expectBar(Rect(0, 103, 183, 120), Horizontal);
  EXPECT_EQ(Shown.pixel(190, 110), QColor(GetRValue(GetSysColor(COLOR_BTNFACE)), GetGValue(GetSysColor(COLOR_BTNFACE)),
                                          GetBValue(GetSysColor(COLOR_BTNFACE)))
                                       .rgb())
      << "the corner";
  // A disabled window's bars show disabled.
  EnableWindow(H, false);
  UpdateWindow(H);
  Vertical.DisabledArrows = ESB_DISABLE_BOTH;
  expectBar(Rect(183, 0, 200, 103), Vertical);
}

TEST_F(ScrollInfoTest, ArrowPressRepeatsWhileHeldOnTheArrow) {
  test::TStepClock Clock{1000};
  TClockScope ClockScope{Clock};
  makeWindow();
  setVertical(SIF_ALL, 0, 99, 10, 0);
  test::MouseDown(Window, bar(95));
  EXPECT_EQ(codesOf(log()), (std::vector<int>{SB_LINEDOWN})) << "at once";
  EXPECT_EQ(GetCapture(), H);
  test::AdvanceTime(ScrollRepeatDelay - 1);
  EXPECT_EQ(log().size(), 1u);
  test::AdvanceTime(1);
  EXPECT_EQ(log().size(), 2u);
  test::AdvanceTime(ScrollRepeatInterval);
  EXPECT_EQ(log().size(), 3u);
  // Off the arrow the repeat pauses, and the arrow no longer shows pressed;
  // back on it, it goes on.
  const QImage Pressed = test::WindowImage(Window).copy(183, 86, 17, 17);
  test::MouseMove(Window, bar(50));
  test::AdvanceTime(5 * ScrollRepeatInterval);
  EXPECT_EQ(log().size(), 3u);
  EXPECT_NE(test::WindowImage(Window).copy(183, 86, 17, 17), Pressed);
  test::MouseMove(Window, bar(95));
  EXPECT_EQ(test::WindowImage(Window).copy(183, 86, 17, 17), Pressed);
  test::AdvanceTime(ScrollRepeatInterval);
  EXPECT_EQ(log().size(), 4u);
  test::MouseUp(Window, bar(95));
  EXPECT_EQ(codesOf(log()), (std::vector<int>{SB_LINEDOWN, SB_LINEDOWN, SB_LINEDOWN, SB_LINEDOWN, SB_ENDSCROLL}));
  EXPECT_EQ(GetScrollPos(H, SB_VERT), 4);
  EXPECT_EQ(GetCapture(), nullptr);
  test::AdvanceTime(5 * ScrollRepeatInterval);
  EXPECT_EQ(log().size(), 5u) << "the timer went with the press";

  // The up arrow and the horizontal bar's right arrow.
  Window->Log.clear();
  test::Click(Window, bar(5));
  test::Click(Window, {178, 111});
  EXPECT_EQ(log(), (std::vector<TCode>{{WM_VSCROLL, SB_LINEUP, 0, 4}, {WM_VSCROLL, SB_ENDSCROLL, 0, 3},
                                       {WM_HSCROLL, SB_LINERIGHT, 0, 0}, {WM_HSCROLL, SB_ENDSCROLL, 0, 1}}));
}

TEST_F(ScrollInfoTest, PageRepeatStopsWhenTheThumbReachesTheCursor) {
  test::TStepClock Clock{1000};
  TClockScope ClockScope{Clock};
  makeWindow();
  setVertical(SIF_ALL, 0, 99, 10, 0);
  // The thumb is 7 long at the top of the 69-pixel track; y 60 is below it
  // until the position passes about 60.
  test::MouseDown(Window, bar(60));
  test::AdvanceTime(ScrollRepeatDelay + 20 * ScrollRepeatInterval);
  test::MouseUp(Window, bar(60));
  const std::vector<int> Codes = codesOf(log());
  ASSERT_GE(Codes.size(), 3u);
  EXPECT_EQ(Codes.back(), SB_ENDSCROLL);
  for (size_t I = 0; I + 1 < Codes.size(); ++I) EXPECT_EQ(Codes[I], SB_PAGEDOWN) << I;
  const Integer Pos = GetScrollPos(H, SB_VERT);
  EXPECT_EQ(Pos, 10 * Integer(Codes.size() - 1));
  EXPECT_GT(Pos, 50);
  EXPECT_LT(Pos, 80) << "it stopped at the cursor, not at the end";
}

TEST_F(ScrollInfoTest, ThumbDragTracksTheWholePositionBeyondSixteenBits) {
  makeWindow();
  setVertical(SIF_ALL, 0, 199999, 1000, 0);  // highest 199000
  test::MouseDown(Window, bar(20));
  EXPECT_TRUE(log().empty()) << "a press on the thumb sends nothing yet";
  test::MouseMove(Window, bar(45));
  test::MouseMove(Window, bar(45));  // no new position, no message
  test::MouseMove(Window, bar(300));
  SCROLLINFO Track;
  Track.fMask = SIF_TRACKPOS | SIF_POS;
  GetScrollInfo(H, SB_VERT, &Track);
  EXPECT_EQ(Track.nTrackPos, 199000);
  EXPECT_EQ(Track.nPos, 0) << "the bar waits for the window to set it";
  test::MouseUp(Window, bar(300));
  ASSERT_EQ(codesOf(log()), (std::vector<int>{SB_THUMBTRACK, SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL}));
  const int Middle = log()[0].TrackPos;
  EXPECT_GT(Middle, 65535);
  EXPECT_LT(Middle, 199000);
  EXPECT_EQ(log()[0].Pos, SmallInt(Middle)) << "the message has the low 16 bits";
  EXPECT_EQ(log()[1].TrackPos, 199000);
  EXPECT_EQ(log()[2], (TCode{WM_VSCROLL, SB_THUMBPOSITION, SmallInt(199000), 199000}));
  EXPECT_EQ(GetScrollPos(H, SB_VERT), 199000) << "set by the window from the whole position";
  Track.fMask = SIF_TRACKPOS;
  GetScrollInfo(H, SB_VERT, &Track);
  EXPECT_EQ(Track.nTrackPos, 199000) << "no drag: the position";
  EXPECT_EQ(ScrollThumbPosition(H, SB_VERT, 12), 12) << "a message sent by code";
}

TEST_F(ScrollInfoTest, CancelModeEndsAPressWithEndScrollAlone) {
  makeWindow();
  setVertical(SIF_ALL, 0, 99, 10, 0);
  test::MouseDown(Window, bar(20));
  test::MouseMove(Window, bar(50));
  Window->Perform(WM_CANCELMODE, 0, 0);
  EXPECT_EQ(codesOf(log()), (std::vector<int>{SB_THUMBTRACK, SB_ENDSCROLL}));
  EXPECT_EQ(GetCapture(), nullptr);
  test::MouseUp(Window, bar(50));
  EXPECT_EQ(log().size(), 2u);
}

TEST_F(ScrollInfoTest, DisabledBarsAndArrowsTakeNoPress) {
  makeWindow();
  setVertical(SIF_ALL, 0, 99, 10, 50);
  EXPECT_TRUE(EnableScrollBar(H, SB_VERT, ESB_DISABLE_UP));
  EXPECT_FALSE(EnableScrollBar(H, SB_VERT, ESB_DISABLE_UP)) << "already so";
  test::Click(Window, bar(5));
  test::Click(Window, bar(95));
  EXPECT_EQ(codesOf(log()), (std::vector<int>{SB_LINEDOWN, SB_ENDSCROLL}));
  EnableScrollBar(H, SB_BOTH, ESB_DISABLE_BOTH);
  test::Click(Window, bar(95));
  test::Click(Window, bar(60));
  test::Click(Window, {178, 111});
  EXPECT_EQ(log().size(), 2u);
  EXPECT_EQ(GetCapture(), nullptr);
}
