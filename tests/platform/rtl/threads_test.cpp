#include "platform/rtl/threads.h"

#include "platform/rtl/exceptions.h"
#include "tests/support/testing.h"

#include <functional>
#include <vector>

namespace {

// A thread whose Execute is given by the test.
class TTestThread : public TThread {
public:
  TTestThread(bool CreateSuspended, std::function<void(TTestThread&)> Body)
      : TThread(CreateSuspended), FBody(std::move(Body)) {}
  using TThread::SetReturnValue;

protected:
  void Execute() override { FBody(*this); }

private:
  std::function<void(TTestThread&)> FBody;
};

// Records every WakeMainThread call for one test and restores the old hook.
class WakeCounter {
public:
  WakeCounter() : FPrevious(SetWakeMainThread([this] { ++Calls; })) {}
  ~WakeCounter() { SetWakeMainThread(FPrevious); }
  std::atomic<int> Calls{0};

private:
  TWakeMainThread FPrevious;
};

void pumpUntil(const std::function<bool()>& Done) {
  while (!Done()) CheckSynchronize(/*TimeoutMs=*/10);
}

TEST(ThreadTest, WaitForRunsEverySynchronizeAndOnTerminateOnTheMainThread) {
  constexpr int Calls = 1000;
  int Ran = 0, OffMain = 0, TerminateCalls = 0, RanBeforeTerminate = -1;
  TObject* Sender = nullptr;
  TSimpleEvent Started;
  auto* T = new TTestThread(/*CreateSuspended=*/true, [&](TTestThread& Self) {
    Started.SetEvent();
    for (int I = 0; I < Calls; ++I)
      Self.Synchronize([&] {
        ++Ran;
        if (!IsMainThread()) ++OffMain;
      });
  });
  T->OnTerminate = TNotifyEvent([&](TObject* S) {
    ++TerminateCalls;
    RanBeforeTerminate = Ran;
    Sender = S;
    if (!IsMainThread()) ++OffMain;
  });
  T->Start();
  // A thread terminated before it starts never runs Execute, so wait for it.
  ASSERT_EQ(Started.WaitFor(), wrSignaled);
  T->Terminate();  // the body ignores it: WaitFor must still serve every call
  T->WaitFor();
  EXPECT_EQ(Ran, Calls);
  EXPECT_EQ(OffMain, 0);
  EXPECT_EQ(TerminateCalls, 1);
  EXPECT_EQ(RanBeforeTerminate, Calls);
  EXPECT_EQ(Sender, T);
  EXPECT_TRUE(T->Finished());
  EXPECT_FALSE(T->FatalException());
  T->Free();
  EXPECT_EQ(TerminateCalls, 1);
  EXPECT_FALSE(CheckSynchronize());
}

TEST(ThreadTest, ExceptionsReachFatalExceptionAndTheSynchronizingWorker) {
  TTestThread Failing(/*CreateSuspended=*/true,
                      [](TTestThread&) { throw EConvertError(QStringLiteral("bad value")); });
  Failing.Start();
  Failing.WaitFor();
  ASSERT_TRUE(Failing.FatalException());
  EXPECT_EQ(ExceptionClassName(Failing.FatalException()), QStringLiteral("EConvertError"));
  EXPECT_EQ(ExceptionMessage(Failing.FatalException()), QStringLiteral("bad value"));

  String Caught;
  TTestThread Syncing(/*CreateSuspended=*/true, [&](TTestThread& Self) {
    try {
      Self.Synchronize([] { throw EListError(QStringLiteral("raised on the main thread")); });
    } catch (const EListError& E) {
      Caught = E.Message;
    }
    Self.SetReturnValue(7);
  });
  Syncing.Start();
  EXPECT_EQ(Syncing.WaitFor(), 7);
  EXPECT_EQ(Caught, QStringLiteral("raised on the main thread"));
  EXPECT_FALSE(Syncing.FatalException());
}

TEST(ThreadTest, FreeingARunningThreadTerminatesAndJoinsIt) {
  std::atomic<bool> Running{false}, Left{false};
  auto* T = new TTestThread(/*CreateSuspended=*/true, [&](TTestThread& Self) {
    Running = true;
    while (!Self.Terminated()) Sleep(1);
    Left = true;
  });
  T->Start();
  while (!Running) Sleep(1);
  T->Free();
  EXPECT_TRUE(Left);
}

TEST(ThreadTest, FreeServesSynchronizeWhileJoining) {
  int Served = 0;
  std::atomic<bool> Running{false};
  auto* T = new TTestThread(/*CreateSuspended=*/true, [&](TTestThread& Self) {
    Running = true;
    while (!Self.Terminated()) Sleep(1);
    Self.Synchronize([&] { ++Served; });
  });
  T->Start();
  while (!Running) Sleep(1);
  T->Free();
  EXPECT_EQ(Served, 1);
}

TEST(ThreadTest, FreeOnTerminateFreesOnTheMainThreadAfterOnTerminate) {
  class TSelfFreeing : public TTestThread {
  public:
    using TTestThread::TTestThread;
    ~TSelfFreeing() override {
      *Freed = true;
      *FreedOnMain = IsMainThread();
    }
    bool* Freed = nullptr;
    bool* FreedOnMain = nullptr;
  };
  bool Freed = false, FreedOnMain = false, TerminatedFirst = false;
  auto* T = new TSelfFreeing(/*CreateSuspended=*/true, [](TTestThread&) {});
  T->Freed = &Freed;
  T->FreedOnMain = &FreedOnMain;
  T->OnTerminate = TNotifyEvent([&](TObject*) { TerminatedFirst = !Freed; });
  T->SetFreeOnTerminate(true);
  T->Start();
  pumpUntil([&] { return Freed; });
  EXPECT_TRUE(FreedOnMain);
  EXPECT_TRUE(TerminatedFirst);
}

TEST(ThreadTest, CreatedRunningStartsWhenTheMainThreadDrainsTheQueue) {
  WakeCounter Wakes;
  std::atomic<int> Runs{0};
  TTestThread T(/*CreateSuspended=*/false, [&](TTestThread&) { ++Runs; });
  EXPECT_EQ(Wakes.Calls, 1);
  EXPECT_EQ(Runs, 0);
  EXPECT_TRUE(CheckSynchronize());
  T.WaitFor();
  EXPECT_EQ(Runs, 1);
  EXPECT_RAISES(T.Start(), EThread, "Cannot call Start on a running or suspended thread");

  // A queued start of a thread that is destroyed first never runs.
  {
    TTestThread Dropped(/*CreateSuspended=*/false, [&](TTestThread&) { ++Runs; });
  }
  EXPECT_FALSE(CheckSynchronize());
  EXPECT_EQ(Runs, 1);

  // WaitFor runs a start still queued.
  TTestThread Waited(/*CreateSuspended=*/false, [&](TTestThread&) { ++Runs; });
  Waited.WaitFor();
  EXPECT_EQ(Runs, 2);
  EXPECT_FALSE(CheckSynchronize());
}

TEST(ThreadTest, QueueDoesNotWaitAndCheckSynchronizeRunsItLater) {
  WakeCounter Wakes;
  std::vector<int> Order;
  TSimpleEvent Queued;
  TTestThread T(/*CreateSuspended=*/true, [&](TTestThread& Self) {
    Self.Queue([&] { Order.push_back(1); });
    Self.Queue([&] { Order.push_back(2); });
    Queued.SetEvent();
  });
  EXPECT_FALSE(CheckSynchronize());
  T.Start();
  ASSERT_EQ(Queued.WaitFor(), wrSignaled);  // both entries posted, none run yet
  EXPECT_TRUE(Order.empty());
  EXPECT_EQ(Wakes.Calls, 2);
  EXPECT_TRUE(CheckSynchronize());
  EXPECT_EQ(Order, (std::vector<int>{1, 2}));
  T.WaitFor();

  // On the main thread both run at once.
  int Direct = 0;
  TThread::Synchronize(nullptr, [&] { ++Direct; });
  TThread::Queue(nullptr, [&] { ++Direct; });
  EXPECT_EQ(Direct, 2);
  EXPECT_FALSE(CheckSynchronize());
}

TEST(ThreadTest, QueuedEntriesOfADestroyedThreadAreDropped) {
  int Ran = 0;
  auto* Owner = new TTestThread(/*CreateSuspended=*/true, [](TTestThread&) {});
  TSimpleEvent Posted;
  TTestThread Poster(/*CreateSuspended=*/true, [&](TTestThread&) {
    TThread::Queue(Owner, [&] { ++Ran; });
    TThread::Queue(nullptr, [&] { Ran += 10; });
    Posted.SetEvent();
  });
  Poster.Start();
  ASSERT_EQ(Posted.WaitFor(), wrSignaled);  // waits without draining the queue
  Owner->Free();
  EXPECT_TRUE(CheckSynchronize());
  EXPECT_EQ(Ran, 10);
  Poster.WaitFor();
}

TEST(ThreadTest, MainThreadIdentityAndProperties) {
  EXPECT_TRUE(IsMainThread());
  EXPECT_EQ(MainThreadID, std::this_thread::get_id());
  EXPECT_GE(TThread::ProcessorCount(), 1);
  std::atomic<bool> WorkerIsMain{true};
  TThreadID Seen;
  TTestThread T(/*CreateSuspended=*/true, [&](TTestThread&) {
    WorkerIsMain = IsMainThread();
    Seen = std::this_thread::get_id();
  });
  EXPECT_EQ(T.Priority(), tpNormal);
  T.SetPriority(tpHigher);
  EXPECT_EQ(T.Priority(), tpHigher);
  T.Start();
  T.WaitFor();
  EXPECT_FALSE(WorkerIsMain);
  EXPECT_EQ(T.ThreadID(), Seen);
}

TEST(EventTest, ManualAndAutoReset) {
  TEvent Manual(/*ManualReset=*/true, /*InitialState=*/false);
  EXPECT_EQ(Manual.WaitFor(0), wrTimeout);
  EXPECT_EQ(Manual.WaitFor(5), wrTimeout);
  Manual.SetEvent();
  EXPECT_EQ(Manual.WaitFor(0), wrSignaled);
  EXPECT_EQ(Manual.WaitFor(0), wrSignaled);
  Manual.ResetEvent();
  EXPECT_EQ(Manual.WaitFor(1), wrTimeout);

  TEvent Auto(/*ManualReset=*/false, /*InitialState=*/true);
  EXPECT_EQ(Auto.WaitFor(0), wrSignaled);
  EXPECT_EQ(Auto.WaitFor(1), wrTimeout);
  Auto.SetEvent();
  EXPECT_EQ(Auto.WaitFor(INFINITE), wrSignaled);
  EXPECT_EQ(Auto.WaitFor(0), wrTimeout);
}

TEST(EventTest, WorkerWaitsForTheMainThreadsSignal) {
  TSimpleEvent Go, Back;
  TTestThread T(/*CreateSuspended=*/true, [&](TTestThread&) {
    if (Go.WaitFor(INFINITE) == wrSignaled) Back.SetEvent();
  });
  T.Start();
  EXPECT_EQ(Back.WaitFor(1), wrTimeout);
  Go.SetEvent();
  EXPECT_EQ(Back.WaitFor(INFINITE), wrSignaled);
  T.WaitFor();
}

TEST(CriticalSectionTest, RecursiveAndExclusive) {
  TCriticalSection Lock;
  Lock.Enter();
  EXPECT_TRUE(Lock.TryEnter());  // the owner may enter again
  Lock.Leave();

  auto tryFromWorker = [&Lock] {
    bool Entered = false;
    TTestThread T(/*CreateSuspended=*/true, [&](TTestThread&) {
      Entered = Lock.TryEnter();
      if (Entered) Lock.Leave();
    });
    T.Start();
    T.WaitFor();
    return Entered;
  };
  EXPECT_FALSE(tryFromWorker());
  Lock.Release();
  EXPECT_TRUE(tryFromWorker());
}

TEST(AtomicTest, ConcurrentIncrementsAndDecrementsBalance) {
  constexpr int Threads = 4, Steps = 10000;
  Integer Counter = 0;
  Int64 Wide = 0;
  std::vector<TTestThread*> Workers;
  for (int I = 0; I < Threads; ++I) {
    Workers.push_back(new TTestThread(/*CreateSuspended=*/true, [&](TTestThread&) {
      for (int S = 0; S < Steps; ++S) {
        AtomicIncrement(Counter, 3);
        AtomicDecrement(Counter);
        AtomicIncrement(Wide);
      }
    }));
    Workers.back()->Start();
  }
  for (TTestThread* W : Workers) {
    W->WaitFor();
    W->Free();
  }
  EXPECT_EQ(Counter, 2 * Threads * Steps);
  EXPECT_EQ(Wide, Threads * Steps);
  EXPECT_EQ(AtomicIncrement(Counter), 2 * Threads * Steps + 1);
  EXPECT_EQ(AtomicDecrement(Wide, 5), Threads * Steps - 5);
}

}  // namespace
