#include "platform/ui/windowing/msgqueue.h"

#include "platform/rtl/clock.h"
#include "platform/rtl/threads.h"
#include "platform/ui/windowing/hwnd.h"
#include "platform/ui/windowing/inputrouter.h"
#include "tests/support/testing.h"

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

using namespace gdi;

namespace {

constexpr UINT SizeGripNotice = WM_USER + 100;  // $464, a private id the program posts

// A utility window that records what it is sent.
struct TRecorder {
  HWND Handle = nullptr;
  std::vector<TMessage> Got;
  std::function<void(TMessage&)> On;

  TRecorder() {
    Handle = AllocateHWnd([this](TMessage& M) {
      Got.push_back(M);
      if (On) On(M);
    });
  }
  ~TRecorder() { DeallocateHWnd(Handle); }
  std::vector<UINT> Ids() const {
    std::vector<UINT> Result;
    for (const TMessage& M : Got) Result.push_back(M.Msg);
    return Result;
  }
};

class MsgQueueTest : public ::testing::Test {
protected:
  void SetUp() override {
    test::ResetQueue();
    test::ResetInput();
  }
  void TearDown() override {
    SetPumpHooks({});
    test::ResetQueue();
  }

  static std::vector<UINT> pendingIds() {
    std::vector<UINT> Result;
    for (const MSG& M : test::Pending()) Result.push_back(M.message);
    return Result;
  }

  TManualClock Clock{0, 1000};
  TClockScope ClockScope{Clock};
};

MSG input(HWND Window, UINT Msg, WPARAM W = 0, LPARAM L = 0) { return {Window, Msg, W, L, 0, {}}; }

TEST_F(MsgQueueTest, RetrievalOrderIsPostedThenInputAndPeekLooksAhead) {
  TRecorder W1, W2;
  PostMessage(W1.Handle, SizeGripNotice, 2, 0);
  test::PostInput(input(W1.Handle, WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam({5, 5})));
  PostMessage(W2.Handle, WM_USER, 0, 0);

  MSG M;
  for (int I = 0; I < 2; ++I) {
    ASSERT_TRUE(PeekMessage(M, W1.Handle, SizeGripNotice, SizeGripNotice, PM_NOREMOVE));
    EXPECT_EQ(M.message, SizeGripNotice);
    EXPECT_EQ(M.wParam, 2u);
  }
  EXPECT_EQ(pendingIds(), (std::vector<UINT>{SizeGripNotice, WM_USER, WM_LBUTTONDOWN}));

  std::vector<UINT> Got;
  for (int I = 0; I < 3; ++I) {
    ASSERT_TRUE(GetMessage(M, nullptr, 0, 0));
    Got.push_back(M.message);
  }
  EXPECT_EQ(Got, (std::vector<UINT>{SizeGripNotice, WM_USER, WM_LBUTTONDOWN}));
  EXPECT_TRUE(test::Pending().empty());
}

TEST_F(MsgQueueTest, FiltersSelectByWindowAndRange) {
  TRecorder W1, W2;
  PostMessage(W1.Handle, WM_USER + 1, 0, 0);
  PostMessage(W2.Handle, WM_USER + 2, 0, 0);
  test::PostInput(input(W2.Handle, WM_KEYDOWN, VK_ESCAPE));
  test::PostInput(input(W1.Handle, WM_LBUTTONUP));
  struct Case {
    const char* Name;
    HWND Window;
    UINT Min, Max;
    bool Found;
    UINT Expected;
  };
  const Case Cases[] = {
      {"everything", nullptr, 0, 0, true, WM_USER + 1},
      {"other window", W2.Handle, 0, 0, true, WM_USER + 2},
      {"range below the posted ones", nullptr, WM_KEYFIRST, WM_KEYLAST, true, WM_KEYDOWN},
      {"single message", nullptr, WM_LBUTTONUP, WM_LBUTTONUP, true, WM_LBUTTONUP},
      {"window and range", W1.Handle, WM_MOUSEFIRST, WM_MOUSELAST, true, WM_LBUTTONUP},
      {"window without that range", W2.Handle, WM_MOUSEFIRST, WM_MOUSELAST, false, 0},
      {"range upper bound inclusive", nullptr, WM_USER + 2, WM_USER + 2, true, WM_USER + 2},
      {"empty range", nullptr, WM_USER + 3, WM_USER + 90, false, 0},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    MSG M;
    ASSERT_EQ(bool(PeekMessage(M, C.Window, C.Min, C.Max, PM_NOREMOVE)), C.Found);
    if (C.Found) {
      EXPECT_EQ(M.message, C.Expected);
    }
  }
  EXPECT_EQ(test::Pending().size(), 4u);

  MSG M;
  ASSERT_TRUE(PeekMessage(M, W1.Handle, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE));
  EXPECT_EQ(pendingIds(), (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_KEYDOWN}));
}

TEST_F(MsgQueueTest, QuitIsHandedOutWhateverTheFilterAndCanBePostedAgain) {
  TRecorder W;
  PostQuitMessage(3);
  MSG M;
  // a removal for another message meets the quit first and keeps it by posting it again
  ASSERT_TRUE(PeekMessage(M, W.Handle, WM_CHAR, WM_CHAR, PM_REMOVE));
  EXPECT_EQ(M.message, WM_QUIT);
  EXPECT_EQ(M.wParam, 3u);
  EXPECT_FALSE(PeekMessage(M, nullptr, 0, 0, PM_NOREMOVE)) << "taking it clears the flag";
  PostQuitMessage(int(M.wParam));

  int Codes = 0;
  SetPumpHooks({nullptr, nullptr, [&](int Code) { Codes = Code; }});
  EXPECT_FALSE(RunMessageLoop([] { return false; }));
  EXPECT_EQ(Codes, 3);
  ASSERT_TRUE(PeekMessage(M, nullptr, 0, 0, PM_NOREMOVE)) << "the loop leaves it for the loops around it";
  EXPECT_EQ(M.message, WM_QUIT);
  EXPECT_EQ(M.wParam, 3u);
}

TEST_F(MsgQueueTest, QuitWaitsForEveryOtherMessage) {
  TRecorder W;
  PostQuitMessage(0);
  SetTimer(W.Handle, 1, 10);
  Clock.Advance(10);
  test::PostInput(input(W.Handle, WM_KEYUP));
  PostMessage(W.Handle, WM_USER, 0, 0);
  std::vector<UINT> Got;
  MSG M;
  while (GetMessage(M, nullptr, 0, 0)) Got.push_back(M.message);
  EXPECT_EQ(Got, (std::vector<UINT>{WM_USER, WM_KEYUP, WM_TIMER}));
  EXPECT_EQ(M.message, WM_QUIT);
}

TEST_F(MsgQueueTest, NestedLoopsAllEndOnQuit) {
  TRecorder W;
  bool InnerEnded = false;
  W.On = [&](TMessage& M) {
    if (M.Msg == WM_USER) {
      PostMessage(W.Handle, WM_USER + 1, 0, 0);
      InnerEnded = !RunMessageLoop([] { return false; });
    } else if (M.Msg == WM_USER + 1) {
      PostQuitMessage(7);
    }
  };
  PostMessage(W.Handle, WM_USER, 0, 0);
  EXPECT_FALSE(RunMessageLoop([] { return false; }));
  EXPECT_TRUE(InnerEnded);
  EXPECT_EQ(W.Ids(), (std::vector<UINT>{WM_USER, WM_USER + 1}));
  MSG M;
  ASSERT_TRUE(PeekMessage(M, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(M.message, WM_QUIT);
  EXPECT_EQ(M.wParam, 7u);
}

TEST_F(MsgQueueTest, SendMessageIsReentrant) {
  TRecorder W1, W2;
  W1.On = [&](TMessage& M) {
    if (M.Msg == WM_USER) M.Result = 1 + SendMessage(W2.Handle, WM_USER, 0, 0) + SendMessage(W1.Handle, WM_USER + 1, 0, 0);
    if (M.Msg == WM_USER + 1) M.Result = 100;
    if (M.Msg == WM_USER + 2) M.Result = 1000;
  };
  W2.On = [&](TMessage& M) { M.Result = 10 + SendMessage(W1.Handle, WM_USER + 2, 0, 0); };
  EXPECT_EQ(SendMessage(W1.Handle, WM_USER, 0, 0), 1111);
  EXPECT_EQ(W1.Ids(), (std::vector<UINT>{WM_USER, WM_USER + 2, WM_USER + 1}));
  EXPECT_TRUE(test::Pending().empty()) << "sent messages never pass through the queue";

  const HWND Dead = W2.Handle;
  DeallocateHWnd(W2.Handle);
  W2.Handle = nullptr;
  EXPECT_EQ(SendMessage(Dead, WM_USER, 0, 0), 0);
  EXPECT_FALSE(PostMessage(Dead, WM_USER, 0, 0));
  EXPECT_EQ(SendMessage(nullptr, WM_USER, 0, 0), 0);
}

TEST_F(MsgQueueTest, MessageTimeIsTheStampOfTheLastMessageTakenOut) {
  TRecorder W;
  PostMessage(W.Handle, WM_USER, 0, 0);
  Clock.Advance(50);
  test::PostInput(input(W.Handle, WM_LBUTTONDOWN));
  Clock.Advance(1000);
  MSG M;
  ASSERT_TRUE(GetMessage(M, nullptr, 0, 0));
  EXPECT_EQ(M.time, 1000u);
  EXPECT_EQ(GetMessageTime(), 1000);
  ASSERT_TRUE(PeekMessage(M, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(M.time, 1050u) << "input is stamped when it arrives";
  EXPECT_EQ(GetMessageTime(), 1000) << "a look-ahead takes nothing out";
  ASSERT_TRUE(GetMessage(M, nullptr, 0, 0));
  EXPECT_EQ(GetMessageTime(), 1050);
  EXPECT_EQ(GetTickCount(), 2050u);
}

TEST_F(MsgQueueTest, TimersComeLastOncePerRoundAndCountFromDelivery) {
  TRecorder W;
  EXPECT_EQ(SetTimer(W.Handle, 5, 100), 5u);
  auto ticks = [&] {
    W.Got.clear();
    ProcessMessages();
    return W.Ids();
  };
  Clock.Advance(99);
  EXPECT_TRUE(ticks().empty());
  Clock.Advance(1);
  EXPECT_EQ(ticks(), (std::vector<UINT>{WM_TIMER}));
  EXPECT_EQ(W.Got[0].WParam, 5u);

  Clock.Advance(1000);  // late: still one tick, and the next is due 100 ms after it
  PostMessage(W.Handle, WM_USER, 0, 0);
  EXPECT_EQ(ticks(), (std::vector<UINT>{WM_USER, WM_TIMER}));
  Clock.Advance(99);
  EXPECT_TRUE(ticks().empty());
  Clock.Advance(1);
  EXPECT_EQ(ticks(), (std::vector<UINT>{WM_TIMER}));

  SetTimer(W.Handle, 5, 100);  // restarting counts from now
  Clock.Advance(99);
  EXPECT_TRUE(ticks().empty());
  EXPECT_TRUE(KillTimer(W.Handle, 5));
  Clock.Advance(500);
  EXPECT_TRUE(ticks().empty());
  EXPECT_FALSE(KillTimer(W.Handle, 5));

  MSG M;
  SetTimer(W.Handle, 6, 1);
  Clock.Advance(1);
  EXPECT_FALSE(PeekMessage(M, W.Handle, WM_USER, WM_USER, PM_NOREMOVE)) << "a range without WM_TIMER";
  EXPECT_TRUE(PeekMessage(M, W.Handle, WM_TIMER, WM_TIMER, PM_NOREMOVE));
  EXPECT_EQ(M.wParam, 6u);
}

TEST_F(MsgQueueTest, TimersOfThreadsAndDeadWindows) {
  TRecorder W;
  const UINT_PTR A = SetTimer(nullptr, 0, 10);
  const UINT_PTR B = SetTimer(nullptr, 0, 10);
  EXPECT_NE(A, 0u);
  EXPECT_NE(A, B);
  const HWND Dead = AllocateHWnd(nullptr);
  DeallocateHWnd(Dead);
  EXPECT_EQ(SetTimer(Dead, 1, 10), 0u);
  EXPECT_TRUE(KillTimer(nullptr, A));
  EXPECT_TRUE(KillTimer(nullptr, B));
}

TEST_F(MsgQueueTest, TranslateMessagePostsTheCharactersOfAKey) {
  TRecorder W;
  const LPARAM AltData = 0x202D0001;  // scan code of X, Alt down
  struct Case {
    const char* Name;
    UINT Msg;
    WPARAM Key;
    LPARAM Data;
    std::vector<UINT> Messages;
    std::vector<WPARAM> Chars;
  };
  const Case Cases[] = {
      {"letter", WM_KEYDOWN, 'A', 0x001E0001, {WM_CHAR}, {'a'}},
      {"Alt+X", WM_SYSKEYDOWN, 'X', AltData, {WM_SYSCHAR}, {'x'}},
      {"Enter", WM_KEYDOWN, VK_RETURN, 0x001C0001, {WM_CHAR}, {13}},
      {"a key going up", WM_KEYUP, 'A', LPARAM(0xC01E0001), {}, {}},
      {"a key without a character", WM_KEYDOWN, VK_F2, 0x003C0001, {}, {}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    test::ResetQueue();
    const MSG M{W.Handle, C.Msg, C.Key, C.Data, 0, {}};
    EXPECT_EQ(bool(TranslateMessage(M)), !C.Messages.empty());
    const std::vector<MSG> Posted = test::Pending();
    ASSERT_EQ(Posted.size(), C.Messages.size());
    for (std::size_t I = 0; I < Posted.size(); ++I) {
      EXPECT_EQ(Posted[I].message, C.Messages[I]);
      EXPECT_EQ(Posted[I].wParam, C.Chars[I]);
      EXPECT_EQ(Posted[I].lParam, C.Data);
    }
  }
}

TEST_F(MsgQueueTest, PumpReportsHandlerExceptionsAndGoesOn) {
  TRecorder W;
  W.On = [](TMessage& M) {
    if (M.Msg == WM_USER) throw EInvalidOperation("handler failed");
  };
  std::vector<String> Reports;
  const TExceptionHandler Previous =
      SetExceptionHandler([&](std::exception_ptr E) { Reports.push_back(ExceptionMessage(E)); });
  PostMessage(W.Handle, WM_USER, 0, 0);
  PostMessage(W.Handle, WM_USER + 1, 0, 0);
  ProcessMessages();
  SetExceptionHandler(Previous);
  EXPECT_EQ(Reports, (std::vector<String>{"handler failed"}));
  EXPECT_EQ(W.Ids(), (std::vector<UINT>{WM_USER, WM_USER + 1}));
}

TEST_F(MsgQueueTest, FilterHookConsumesMessagesBeforeDispatch) {
  TRecorder W;
  std::vector<UINT> Filtered;
  SetPumpHooks({[&](MSG& M) {
                  Filtered.push_back(M.message);
                  return M.message == WM_KEYDOWN;  // a shortcut took it: no characters either
                },
                nullptr, nullptr});
  test::PostInput(input(W.Handle, WM_KEYDOWN, 'V', 0x002F0001));
  test::PostInput(input(W.Handle, WM_KEYUP, 'V', LPARAM(0xC02F0001)));
  ProcessMessages();
  EXPECT_EQ(Filtered, (std::vector<UINT>{WM_KEYDOWN, WM_KEYUP}));
  EXPECT_EQ(W.Ids(), (std::vector<UINT>{WM_KEYUP}));
}

TEST_F(MsgQueueTest, RemovalStepRunsBeforeTheInputIsHandedOut) {
  TRecorder Pressed, DropDown;
  // Taking the press out deactivates a drop-down, which posts its close
  // notice; the press still comes first and its handler finds the notice.
  bool NoticePending = false;
  Pressed.On = [&](TMessage& M) {
    MSG Notice;
    if (M.Msg == WM_LBUTTONDOWN) NoticePending = PeekMessage(Notice, DropDown.Handle, WM_USER, WM_USER, PM_NOREMOVE);
  };
  ui_detail::QueueInput({input(Pressed.Handle, WM_LBUTTONDOWN), String(), nullptr, [&] {
                           PostMessage(DropDown.Handle, WM_USER, 0, 0);
                           return true;
                         }});
  // an eaten press is dropped and the search goes on
  ui_detail::QueueInput({input(Pressed.Handle, WM_RBUTTONDOWN), String(), nullptr, [] { return false; }});
  test::PostInput(input(Pressed.Handle, WM_RBUTTONUP));
  ProcessMessages();
  EXPECT_TRUE(NoticePending);
  EXPECT_EQ(Pressed.Ids(), (std::vector<UINT>{WM_LBUTTONDOWN, WM_RBUTTONUP}));
  EXPECT_EQ(DropDown.Ids(), (std::vector<UINT>{WM_USER}));
}

TEST_F(MsgQueueTest, InputDrainsAtOnceUnlessSuspendedOrAPumpTakesIt) {
  TRecorder W;
  PostMessage(W.Handle, WM_USER, 0, 0);
  {
    TDispatchSuspension Suspended;
    test::PostInput(input(W.Handle, WM_KEYDOWN, VK_F3));
    ui_detail::DrainInput();
    EXPECT_TRUE(W.Got.empty());
  }
  ui_detail::DrainInput();
  EXPECT_EQ(W.Ids(), (std::vector<UINT>{WM_USER, WM_KEYDOWN})) << "in retrieval order";
}

TEST_F(MsgQueueTest, ReleasedWindowTakesItsMessagesAndTimers) {
  TRecorder Keep;
  auto Gone = std::make_unique<TRecorder>();
  PostMessage(Gone->Handle, WM_USER, 0, 0);
  test::PostInput(input(Gone->Handle, WM_MOUSEMOVE));
  SetTimer(Gone->Handle, 1, 1);
  PostMessage(Keep.Handle, WM_USER, 0, 0);
  Gone.reset();
  Clock.Advance(10);
  MSG M;
  ASSERT_TRUE(PeekMessage(M, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(M.hwnd, Keep.Handle);
  EXPECT_FALSE(PeekMessage(M, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MsgQueueTest, PostsFromAnotherThreadWakeAWaitingGetMessage) {
  TRecorder W;
  constexpr int Count = 2000;
  std::thread Worker([&] {
    for (int I = 0; I < Count; ++I) PostMessage(W.Handle, WM_USER, WPARAM(I), 0);
  });
  MSG M;
  int Expected = 0;
  bool InOrder = true;
  while (Expected < Count && GetMessage(M, W.Handle, WM_USER, WM_USER)) InOrder &= M.wParam == WPARAM(Expected++);
  Worker.join();
  EXPECT_TRUE(InOrder);
  EXPECT_EQ(Expected, Count);
}

TEST_F(MsgQueueTest, SynchronizeRunsFromThePumpWhileItWaits) {
  constexpr int Count = 1000;
  int Ran = 0;
  std::atomic<bool> Raised{false};
  std::thread Worker([&] {
    for (int I = 0; I < Count; ++I) TThread::Synchronize(nullptr, TThreadMethod([&] { ++Ran; }));
    try {
      TThread::Synchronize(nullptr, TThreadMethod([] { throw EInvalidOperation("sync failed"); }));
    } catch (const EInvalidOperation&) {
      Raised = true;
    }
    PostMessage(nullptr, WM_USER, 0, 0);  // wakes the loop to see Raised
  });
  EXPECT_TRUE(RunMessageLoop([&] { return Raised.load(); }));
  Worker.join();
  EXPECT_EQ(Ran, Count);
  EXPECT_TRUE(Raised);
}

}  // namespace
