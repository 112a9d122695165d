// Threads and synchronisation: TThread, the main-thread sync queue,
// critical sections, events and atomic counters.
//
// Workers are std::threads.  Everything a worker hands to the main thread
// (Synchronize, Queue, OnTerminate, the deferred start and the deletion of a
// FreeOnTerminate thread) goes through one queue that only the main thread
// drains: in CheckSynchronize, which the GUI's event loop calls when the
// WakeMainThread hook tells it that something was queued, and in WaitFor,
// which keeps draining while it waits so a worker blocked in Synchronize
// cannot deadlock the main thread.  Tests pump the queue themselves, so every
// hand-over happens at a point the test chooses.
//
// The queue is made by InitializeThreads (the runtime unit's start-up), and
// the main thread is the one that ran it.
#pragma once

#include "platform/rtl/methodptr.h"
#include "platform/rtl/object.h"
#include "platform/rtl/system.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

using TThreadMethod = TMethodPtr<void()>;
using TThreadID = std::thread::id;

// The thread that started the runtime unit.
extern TThreadID MainThreadID;
bool IsMainThread();

// Wait without a time limit.
inline constexpr Cardinal INFINITE = 0xFFFFFFFF;

void Sleep(Cardinal Milliseconds);

// Runs the methods queued for the main thread (all that were queued when it
// started).  With nothing queued it first waits up to TimeoutMs for an entry.
// True when something ran.  Main thread only.  An exception of a Queue'd
// method leaves the rest queued and propagates; one of a Synchronize'd method
// goes back to the waiting worker.
bool CheckSynchronize(Cardinal TimeoutMs = 0);

// Called (from any thread) whenever an entry is queued for the main thread;
// the GUI layer installs one that wakes its event loop.  Installs Hook (empty
// = none) and returns the previous one.
using TWakeMainThread = std::function<void()>;
TWakeMainThread SetWakeMainThread(TWakeMainThread Hook);

// Stored only: Linux threads of one process share one scheduling class.
enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// A worker thread: derive, override Execute and poll Terminated in it.
//
// Start-up: a C++ constructor cannot start a thread that calls the virtual
// Execute of an object still under construction, so CreateSuspended = false
// queues the start for the main thread, which runs it the next time the queue
// is drained (the event loop, CheckSynchronize, WaitFor) or earlier at an
// explicit Start.  Only the main thread may create a thread that way; other
// threads create it suspended and call Start.
//
// Shut-down: Free() terminates a running thread and waits for it while the
// whole object still exists; a plain delete does the same from ~TThread, when
// the derived parts are already gone, so threads whose Execute uses their own
// members are released with Free().  A FreeOnTerminate thread is freed on the
// main thread after OnTerminate; it must not be freed or waited for by others.
class TThread : public TObject {
  RTL_CLASS(TThread, TObject)
public:
  explicit TThread(bool CreateSuspended);
  ~TThread() override;

  // Runs Execute on a new std::thread.  Raises EThread "Cannot call Start on
  // a running or suspended thread" when it has already started.
  void Start();
  // Sets Terminated; Execute is expected to notice and return.
  void Terminate();
  // Waits until the worker has ended (and OnTerminate has run); on the main
  // thread it keeps draining the sync queue meanwhile, and hands exceptions of
  // Queue'd methods run there to HandleException.  Gives ReturnValue.
  // A thread that was never started and has no start queued gives it at once.
  Integer WaitFor();

  // Runs Method on the main thread and blocks until it has run; on the main
  // thread it runs at once.  An exception in Method is raised again in the
  // calling thread.  Thread (may be nil) owns the entry while it waits.
  static void Synchronize(TThread* Thread, TThreadMethod Method);
  void Synchronize(TThreadMethod Method) { Synchronize(this, std::move(Method)); }
  // As Synchronize, without waiting: Method runs on the main thread later
  // (at once when called there).  Entries of a thread being destroyed are
  // dropped.
  static void Queue(TThread* Thread, TThreadMethod Method);
  void Queue(TThreadMethod Method) { Queue(this, std::move(Method)); }

  static int ProcessorCount();

  // properties
  bool Terminated() const { return FTerminated; }
  // Execute has returned (OnTerminate may still be pending).
  bool Finished() const { return FFinished; }
  Integer ReturnValue() const { return FReturnValue; }
  bool FreeOnTerminate() const { return FFreeOnTerminate; }
  void SetFreeOnTerminate(bool Value) { FFreeOnTerminate = Value; }
  TThreadPriority Priority() const { return FPriority; }
  void SetPriority(TThreadPriority Value) { FPriority = Value; }
  // The exception that ended Execute (or one raised by OnTerminate); null
  // when it ended normally.  Read it after WaitFor.
  std::exception_ptr FatalException() const { return FFatalException; }
  TThreadID ThreadID() const { return FThreadID; }

  // events
  // Runs on the main thread once Execute has returned, before WaitFor returns.
  TNotifyEvent OnTerminate;

  // reimplemented
  void BeforeDestruction() override;

protected:
  // introduced virtuals
  virtual void Execute() = 0;

  void SetReturnValue(Integer Value) { FReturnValue = Value; }

private:
  void run();
  void startPending();
  void callOnTerminate();
  void freeSelf();
  void waitForWorker();
  void stop();

  std::thread FHandle;
  TThreadID FThreadID;
  std::mutex FJoinLock;
  bool FStartPending = false;  // main thread only
  bool FWorkerDone = false;    // guarded by the sync queue's lock
  std::atomic<bool> FTerminated{false};
  std::atomic<bool> FFinished{false};
  std::atomic<bool> FFreeOnTerminate{false};
  std::atomic<Integer> FReturnValue{0};
  TThreadPriority FPriority = tpNormal;
  std::exception_ptr FFatalException;
};

// A recursive lock: the thread that holds it may enter again, and must leave
// as often as it entered.
class TCriticalSection : public TObject {
  RTL_CLASS(TCriticalSection, TObject)
public:
  void Enter() { FLock.lock(); }
  void Leave() { FLock.unlock(); }
  bool TryEnter() { return FLock.try_lock(); }
  void Acquire() { Enter(); }
  void Release() { Leave(); }

private:
  std::recursive_mutex FLock;
};

// wrAbandoned and wrError are never produced here; callers still test them.
enum TWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError };

// An event: a manual-reset one stays signaled until ResetEvent; an
// auto-reset one lets one waiter through per SetEvent and resets itself.
class TEvent : public TObject {
  RTL_CLASS(TEvent, TObject)
public:
  // A manual-reset event that starts non-signaled.
  TEvent() : TEvent(/*ManualReset=*/true, /*InitialState=*/false) {}
  TEvent(bool ManualReset, bool InitialState);

  void SetEvent();
  void ResetEvent();
  TWaitResult WaitFor(Cardinal TimeoutMs = INFINITE);

private:
  std::mutex FLock;
  std::condition_variable FChanged;
  const bool FManualReset;
  bool FSignaled;
};

// A manual-reset event that starts non-signaled.
class TSimpleEvent : public TEvent {
  RTL_CLASS(TSimpleEvent, TEvent)
public:
  TSimpleEvent() : TEvent(/*ManualReset=*/true, /*InitialState=*/false) {}
};

// Adds to Target atomically and returns the new value; Target must not be
// accessed non-atomically by another thread meanwhile.
Integer AtomicIncrement(Integer& Target, Integer Increment = 1);
Integer AtomicDecrement(Integer& Target, Integer Decrement = 1);
Int64 AtomicIncrement(Int64& Target, Int64 Increment = 1);
Int64 AtomicDecrement(Int64& Target, Int64 Decrement = 1);

// Unit start-up of the sync queue (called by the runtime's unit).
void InitializeThreads();
void FinalizeThreads();
