// The clock seam: the current date-time and the millisecond tick count.
//
// Every reader of "now" (Now, Date, Time, GetTickCount, timers, time-outs)
// goes through the installed TClock, so a test can pin the date and step the
// ticks by hand instead of sleeping.  Without an installed clock the system
// clock answers: local wall time and a monotonic count since boot.
#pragma once

#include "platform/rtl/system.h"

#include <atomic>

class TClock {
public:
  virtual ~TClock() = default;
  // The local date and time.
  virtual TDateTime Now() = 0;
  // Milliseconds from an arbitrary start; never goes backwards.
  virtual UInt64 TickCount64() = 0;
  // The low 32 bits of TickCount64: wraps to 0 after 2^32 - 1 ms (49.7 days),
  // so callers measure spans as unsigned differences.
  Cardinal TickCount() { return static_cast<Cardinal>(TickCount64()); }
};

// A clock that moves only when told.  Set and advanced from one thread, read
// from any.
class TManualClock : public TClock {
public:
  explicit TManualClock(TDateTime Now = 0, UInt64 TickCount = 0);

  TDateTime Now() override { return FNow.load(); }
  UInt64 TickCount64() override { return FTickCount.load(); }

  void SetNow(TDateTime Value) { FNow.store(Value); }
  void SetTickCount(UInt64 Value) { FTickCount.store(Value); }
  // Moves both the date-time and the tick count on by Milliseconds.
  void Advance(UInt64 Milliseconds);

private:
  std::atomic<TDateTime> FNow;
  std::atomic<UInt64> FTickCount;
};

// Installs Clock for every reader; nullptr restores the system clock.  The
// caller keeps ownership and keeps Clock alive until it is replaced.
void SetClock(TClock* Clock);
// The installed clock, or the system clock.
TClock& Clock();

// Installs a clock for the lifetime of the scope (one test) and then puts the
// previous one back.  Does not own the clock.
class TClockScope {
public:
  explicit TClockScope(TClock& Clock);
  ~TClockScope();
  TClockScope(const TClockScope&) = delete;
  TClockScope& operator=(const TClockScope&) = delete;

private:
  TClock* FPrevious;
};

// readers of the installed clock
TDateTime Now();
TDateTime Date();  // today at 00:00
TDateTime Time();  // the time of day, no date part
Cardinal GetTickCount();
UInt64 GetTickCount64();
