#include "platform/ui/windowing/hwnd.h"

#include "platform/ui/windowing/msgqueue.h"
#include "tests/support/testing.h"

#include <algorithm>
#include <set>
#include <vector>

using namespace gdi;

namespace {

// A window with a parent and nothing else.
class TChildWindow : public IWindow {
public:
  explicit TChildWindow(HWND Parent) : FParent(Parent), Handle(AllocateWindowHandle(this)) {}
  ~TChildWindow() override { ReleaseWindowHandle(Handle); }
  void WindowMessage(TMessage& Message) override { Got.push_back(Message.Msg); }
  HWND ParentWindow() const override { return FParent; }

private:
  HWND FParent;

public:
  HWND Handle;
  std::vector<UINT> Got;
};

class HwndTest : public ::testing::Test {
protected:
  void TearDown() override { test::ResetQueue(); }
};

TEST_F(HwndTest, HandlesAreNeverReusedAndDieWithTheirWindow) {
  std::set<HWND> Seen;
  for (int I = 0; I < 50; ++I) {
    const HWND H = AllocateHWnd(nullptr);
    ASSERT_NE(H, nullptr);
    EXPECT_TRUE(Seen.insert(H).second);
    EXPECT_TRUE(IsWindow(H));
    DeallocateHWnd(H);
    EXPECT_FALSE(IsWindow(H));
    EXPECT_EQ(FindWindowObject(H), nullptr);
  }
  EXPECT_FALSE(IsWindow(nullptr));
  EXPECT_FALSE(IsWindow(HWND_BOTTOM)) << "the small numbers with meanings of their own are never handles";
  ReleaseWindowHandle(*Seen.begin());  // a dead handle again: ignored
  DeallocateHWnd(nullptr);
}

TEST_F(HwndTest, UtilityWindowsTakeTheirMessagesAndFallBackToDefWindowProc) {
  std::vector<UINT> Got;
  HWND Window = nullptr;
  Window = AllocateHWnd([&](TMessage& M) {
    Got.push_back(M.Msg);
    if (M.Msg == WM_USER)
      M.Result = 42;
    else
      M.Result = DefWindowProc(Window, M.Msg, M.WParam, M.LParam);
  });
  EXPECT_EQ(SendMessage(Window, WM_USER, 0, 0), 42);
  EXPECT_EQ(SendMessage(Window, WM_QUERYENDSESSION, 0, 0), 1);
  EXPECT_EQ(SendMessage(Window, WM_SIZE, 0, 0), 0);
  EXPECT_EQ(Got, (std::vector<UINT>{WM_USER, WM_QUERYENDSESSION, WM_SIZE}));
  EXPECT_EQ(FindControl(Window), nullptr) << "a utility window belongs to no control";
  DeallocateHWnd(Window);
  EXPECT_EQ(DefWindowProc(Window, WM_QUERYENDSESSION, 0, 0), 0);
}

TEST_F(HwndTest, UtilityWindowMayReleaseItselfWhileHandlingAMessage) {
  std::vector<UINT> Got;
  HWND Window = nullptr;
  Window = AllocateHWnd([&Got, &Window](TMessage& M) {
    DeallocateHWnd(Window);  // a timer freeing itself from its own tick
    Got.push_back(M.Msg);    // the method and its captures are still there
    M.Result = 9;
  });
  const HWND Kept = Window;
  EXPECT_EQ(SendMessage(Kept, WM_TIMER, 1, 0), 9);
  EXPECT_FALSE(IsWindow(Kept));
  EXPECT_EQ(SendMessage(Kept, WM_TIMER, 1, 0), 0);
  EXPECT_EQ(Got, (std::vector<UINT>{WM_TIMER}));
}

TEST_F(HwndTest, WindowsAreWalkedInCreationOrderOverASnapshot) {
  const HWND A = AllocateHWnd(nullptr);
  const HWND B = AllocateHWnd(nullptr);
  const HWND C = AllocateHWnd(nullptr);
  std::vector<HWND> Walked;
  HWND Made = nullptr;
  ForEachWindowHandle([&](HWND W) {
    if (W != A && W != B && W != C) return;
    Walked.push_back(W);
    if (W == A) {
      DeallocateHWnd(B);  // released during the walk: skipped
      Made = AllocateHWnd(nullptr);  // made during the walk: not visited
    }
  });
  EXPECT_EQ(Walked, (std::vector<HWND>{A, C}));
  EXPECT_TRUE(IsWindow(Made));
  for (HWND W : {A, C, Made}) DeallocateHWnd(W);
}

TEST_F(HwndTest, TopLevelWindowFollowsTheParents) {
  TChildWindow Top(nullptr);
  TChildWindow Middle(Top.Handle);
  TChildWindow Leaf(Middle.Handle);
  EXPECT_EQ(TopLevelWindow(Leaf.Handle), Top.Handle);
  EXPECT_EQ(TopLevelWindow(Top.Handle), Top.Handle);
  EXPECT_EQ(TopLevelWindow(nullptr), nullptr);
  EXPECT_EQ(FindWindowObject(Middle.Handle), &Middle);
}

// Posts 794 to the application window only when none waits for it yet (the
// program's "post once" routine).
void postThemeChangeOnce() {
  MSG Waiting;
  if (!PeekMessage(Waiting, ApplicationHandle(), WM_THEMECHANGED, WM_THEMECHANGED, PM_NOREMOVE))
    PostMessage(ApplicationHandle(), WM_THEMECHANGED, 0, 0);
}

TEST_F(HwndTest, ApplicationWindowPassesThemeChangesToEveryOtherWindowOnce) {
  TChildWindow Top(nullptr);
  TChildWindow Child(Top.Handle);
  postThemeChangeOnce();
  postThemeChangeOnce();
  EXPECT_EQ(test::Pending().size(), 1u);
  ProcessMessages();
  EXPECT_EQ(std::count(Top.Got.begin(), Top.Got.end(), WM_THEMECHANGED), 1);
  EXPECT_EQ(std::count(Child.Got.begin(), Child.Got.end(), WM_THEMECHANGED), 1);
}

TEST_F(HwndTest, ApplicationHookTakesTheOtherMessages) {
  std::vector<UINT> Got;
  const TWndMethod Previous = SetApplicationWindowHook([&](TMessage& M) {
    Got.push_back(M.Msg);
    M.Result = 5;
  });
  EXPECT_EQ(SendMessage(ApplicationHandle(), WM_SYSCOLORCHANGE, 0, 0), 5);
  SetApplicationWindowHook(Previous);
  EXPECT_EQ(SendMessage(ApplicationHandle(), WM_SYSCOLORCHANGE, 0, 0), 0);
  EXPECT_EQ(Got, (std::vector<UINT>{WM_SYSCOLORCHANGE}));
  EXPECT_EQ(ApplicationHandle(), ApplicationHandle());
}

}  // namespace
