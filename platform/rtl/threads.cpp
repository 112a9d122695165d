#include "platform/rtl/threads.h"

#include "platform/rtl/exceptions.h"

#include <QStringLiteral>
#include <algorithm>
#include <cassert>
#include <chrono>
#include <deque>

TThreadID MainThreadID;

namespace {

// A Synchronize call waiting for the main thread; lives on the worker's stack.
struct TSyncRequest {
  bool Done = false;  // guarded by the queue's lock
  std::exception_ptr Error;
};

struct TSyncEntry {
  TThread* Thread;          // the owner, whose destruction drops the entry; may be nil
  TThreadMethod Method;
  TSyncRequest* Request;    // nil for Queue: nobody waits
};

// The main thread waits on Queued for new entries and for workers ending;
// workers wait on Done for their requests.
struct TSyncQueue {
  std::mutex Lock;
  std::condition_variable Queued;
  std::condition_variable Done;
  std::deque<TSyncEntry> Entries;
  TWakeMainThread Wake;
};

TSyncQueue* SyncQueue = nullptr;

TSyncQueue& syncQueue() {
  assert(SyncQueue && "threads used before the runtime unit was initialized");
  return *SyncQueue;
}

// Appends an entry for the main thread and wakes it.
void post(TThread* Thread, TThreadMethod Method, TSyncRequest* Request) {
  TSyncQueue& Q = syncQueue();
  TWakeMainThread Wake;
  {
    std::lock_guard<std::mutex> Guard(Q.Lock);
    Q.Entries.push_back({Thread, std::move(Method), Request});
    Wake = Q.Wake;
  }
  Q.Queued.notify_all();
  if (Wake) Wake();
}

// Drops the entries of Thread; only those calling Method when it is given.
void removeEntriesOf(TThread* Thread, const TThreadMethod* Method = nullptr) {
  TSyncQueue& Q = syncQueue();
  std::lock_guard<std::mutex> Guard(Q.Lock);
  std::erase_if(Q.Entries, [Thread, Method](const TSyncEntry& E) {
    return E.Thread == Thread && (!Method || E.Method == *Method);
  });
}

void runEntry(TSyncEntry& Entry) {
  if (!Entry.Request) {
    Entry.Method();
    return;
  }
  std::exception_ptr Error;
  try {
    Entry.Method();
  } catch (...) {
    Error = std::current_exception();
  }
  TSyncQueue& Q = syncQueue();
  {
    std::lock_guard<std::mutex> Guard(Q.Lock);
    Entry.Request->Error = Error;
    Entry.Request->Done = true;
  }
  Q.Done.notify_all();
}

}  // namespace

bool IsMainThread() { return std::this_thread::get_id() == MainThreadID; }

void Sleep(Cardinal Milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(Milliseconds));
}

bool CheckSynchronize(Cardinal TimeoutMs) {
  assert(IsMainThread() && "CheckSynchronize called off the main thread");
  TSyncQueue& Q = syncQueue();
  std::size_t Count;
  {
    std::unique_lock<std::mutex> Guard(Q.Lock);
    if (Q.Entries.empty() && TimeoutMs > 0)
      Q.Queued.wait_for(Guard, std::chrono::milliseconds(TimeoutMs),
                        [&Q] { return !Q.Entries.empty(); });
    Count = Q.Entries.size();
  }
  // Entries are taken one at a time, so a method that destroys a thread also
  // drops that thread's later entries; the count bounds the work to what was
  // queued on entry, so a busy worker cannot keep the main thread here.
  bool Ran = false;
  for (std::size_t I = 0; I < Count; ++I) {
    TSyncEntry Entry;
    {
      std::lock_guard<std::mutex> Guard(Q.Lock);
      if (Q.Entries.empty()) break;
      Entry = std::move(Q.Entries.front());
      Q.Entries.pop_front();
    }
    Ran = true;
    runEntry(Entry);
  }
  return Ran;
}

TWakeMainThread SetWakeMainThread(TWakeMainThread Hook) {
  TSyncQueue& Q = syncQueue();
  std::lock_guard<std::mutex> Guard(Q.Lock);
  std::swap(Q.Wake, Hook);
  return Hook;
}

// --- TThread ---------------------------------------------------------------

TThread::TThread(bool CreateSuspended) {
  if (CreateSuspended) return;
  assert(IsMainThread() && "a thread made off the main thread must be created suspended");
  FStartPending = true;
  post(this, TThreadMethod(this, &TThread::startPending), /*Request=*/nullptr);
}

TThread::~TThread() {
  stop();
  removeEntriesOf(this);
}

void TThread::BeforeDestruction() { stop(); }

void TThread::Start() {
  if (FHandle.joinable() || FFinished)
    throw EThread(QStringLiteral("Cannot call Start on a running or suspended thread"));
  if (FStartPending) {
    FStartPending = false;
    const TThreadMethod Queued(this, &TThread::startPending);
    removeEntriesOf(this, &Queued);
  }
  FHandle = std::thread(&TThread::run, this);
  FThreadID = FHandle.get_id();
}

void TThread::startPending() {
  if (FStartPending) Start();
}

void TThread::Terminate() { FTerminated = true; }

Integer TThread::WaitFor() {
  assert(!FFreeOnTerminate && "a FreeOnTerminate thread frees itself; do not wait for it");
  if (FStartPending) {
    assert(IsMainThread() && "only the main thread runs a queued start");
    startPending();
  }
  waitForWorker();
  return FReturnValue;
}

void TThread::waitForWorker() {
  std::lock_guard<std::mutex> JoinGuard(FJoinLock);
  if (!FHandle.joinable()) return;
  assert(FHandle.get_id() != std::this_thread::get_id() && "a thread cannot wait for itself");
  TSyncQueue& Q = syncQueue();
  if (IsMainThread()) {
    for (;;) {
      {
        std::unique_lock<std::mutex> Guard(Q.Lock);
        Q.Queued.wait(Guard, [this, &Q] { return FWorkerDone || !Q.Entries.empty(); });
        if (FWorkerDone) break;
      }
      // The waiter is not the right receiver of another method's failure.
      try {
        CheckSynchronize();
      } catch (...) {
        HandleException(std::current_exception());
      }
    }
  } else {
    std::unique_lock<std::mutex> Guard(Q.Lock);
    Q.Queued.wait(Guard, [this] { return FWorkerDone; });
  }
  FHandle.join();
}

void TThread::stop() {
  if (!FHandle.joinable()) return;
  Terminate();
  waitForWorker();
}

void TThread::run() {
  try {
    if (!FTerminated) Execute();
  } catch (...) {
    FFatalException = std::current_exception();
  }
  FFinished = true;
  if (OnTerminate) {
    try {
      Synchronize(TThreadMethod(this, &TThread::callOnTerminate));
    } catch (...) {
      if (!FFatalException) FFatalException = std::current_exception();
    }
  }
  TSyncQueue& Q = syncQueue();
  {
    std::lock_guard<std::mutex> Guard(Q.Lock);
    FWorkerDone = true;
  }
  Q.Queued.notify_all();
  // The last touch of the object by the worker: once posted, the main thread
  // may free it at any moment.
  if (FFreeOnTerminate) post(this, TThreadMethod(this, &TThread::freeSelf), /*Request=*/nullptr);
}

void TThread::callOnTerminate() { OnTerminate(this); }

void TThread::freeSelf() { Free(); }

void TThread::Synchronize(TThread* Thread, TThreadMethod Method) {
  if (IsMainThread()) {
    Method();
    return;
  }
  TSyncRequest Request;
  post(Thread, std::move(Method), &Request);
  TSyncQueue& Q = syncQueue();
  {
    std::unique_lock<std::mutex> Guard(Q.Lock);
    Q.Done.wait(Guard, [&Request] { return Request.Done; });
  }
  if (Request.Error) std::rethrow_exception(Request.Error);
}

void TThread::Queue(TThread* Thread, TThreadMethod Method) {
  if (IsMainThread()) {
    Method();
    return;
  }
  post(Thread, std::move(Method), /*Request=*/nullptr);
}

int TThread::ProcessorCount() {
  return std::max(1u, std::thread::hardware_concurrency());
}

// --- TEvent ----------------------------------------------------------------

TEvent::TEvent(bool ManualReset, bool InitialState)
    : FManualReset(ManualReset), FSignaled(InitialState) {}

void TEvent::SetEvent() {
  {
    std::lock_guard<std::mutex> Guard(FLock);
    FSignaled = true;
  }
  if (FManualReset)
    FChanged.notify_all();
  else
    FChanged.notify_one();
}

void TEvent::ResetEvent() {
  std::lock_guard<std::mutex> Guard(FLock);
  FSignaled = false;
}

TWaitResult TEvent::WaitFor(Cardinal TimeoutMs) {
  std::unique_lock<std::mutex> Guard(FLock);
  const auto Signaled = [this] { return FSignaled; };
  if (TimeoutMs == INFINITE)
    FChanged.wait(Guard, Signaled);
  else if (!FChanged.wait_for(Guard, std::chrono::milliseconds(TimeoutMs), Signaled))
    return wrTimeout;
  if (!FManualReset) FSignaled = false;
  return wrSignaled;
}

// --- atomics ---------------------------------------------------------------

Integer AtomicIncrement(Integer& Target, Integer Increment) {
  return std::atomic_ref<Integer>(Target).fetch_add(Increment) + Increment;
}

Integer AtomicDecrement(Integer& Target, Integer Decrement) {
  return std::atomic_ref<Integer>(Target).fetch_sub(Decrement) - Decrement;
}

Int64 AtomicIncrement(Int64& Target, Int64 Increment) {
  return std::atomic_ref<Int64>(Target).fetch_add(Increment) + Increment;
}

Int64 AtomicDecrement(Int64& Target, Int64 Decrement) {
  return std::atomic_ref<Int64>(Target).fetch_sub(Decrement) - Decrement;
}

// --- unit ------------------------------------------------------------------

void InitializeThreads() {
  MainThreadID = std::this_thread::get_id();
  if (!SyncQueue) SyncQueue = new TSyncQueue;
}

// Entries still queued are dropped, as a program ending drops its unread
// messages.
void FinalizeThreads() {
  delete SyncQueue;
  SyncQueue = nullptr;
}
