// Timers: the TTimer component, and the clock tests drive them with.
//
// A TTimer runs while Enabled, Interval > 0 and OnTimer is set.  Its ticks
// are WM_TIMER messages (SetTimer, msgqueue.h) to a utility window of its
// own, so a tick runs only from a pump round, never inside another handler
// unless that handler runs a loop of its own.  Ticks come due on the
// installed clock (clock.h); a late timer ticks once, and the next tick is
// due Interval ms after that delivery.  Setting Enabled, Interval or OnTimer
// restarts the countdown.  A timer may be freed from its own OnTimer.
#pragma once

#include "platform/rtl/clock.h"
#include "platform/rtl/component.h"
#include "platform/ui/windowing/messages.h"

#include <atomic>

class TTimer : public TComponent {
  RTL_CLASS(TTimer, TComponent)
public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;
  static void DescribeProperties(TPropertyTable& Props);

  // properties
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  Cardinal Interval() const { return FInterval; }
  void SetInterval(Cardinal Value);

  // events
  const TNotifyEvent& OnTimer() const { return FOnTimer; }
  void SetOnTimer(TNotifyEvent Value);

protected:
  // One tick: OnTimer.
  virtual void Timer();

private:
  void updateTimer();
  void wndProc(TMessage& Message);

  gdi::HWND FWindowHandle = nullptr;
  bool FEnabled = true;
  Cardinal FInterval = 1000;
  TNotifyEvent FOnTimer;
};

namespace test {

// A clock for tests that moves when told and, optionally, by Step ms on
// every read of the tick count or the time, so a loop that waits on the
// clock ends.  The date-time follows the ticks from Start.
class TStepClock : public TClock {
public:
  explicit TStepClock(UInt64 TickCount = 1000, UInt64 Step = 0, TDateTime Start = 0);

  TDateTime Now() override;
  UInt64 TickCount64() override;

  // The tick count without stepping.
  UInt64 Ticks() const { return FTicks.load(); }
  UInt64 Step() const { return FStep.load(); }
  void SetStep(UInt64 Value) { FStep.store(Value); }
  void Advance(UInt64 Milliseconds) { FTicks.fetch_add(Milliseconds); }

private:
  std::atomic<UInt64> FTicks;
  std::atomic<UInt64> FStep;
  TDateTime FStart;
  UInt64 FStartTicks;
};

// Moves the installed TStepClock on by Milliseconds one millisecond at a
// time, running a pump round that never waits (test::PumpUntil) after each,
// so due timer ticks and idle work (hint timing) run in time order on the
// calling thread.
void AdvanceTime(UInt64 Milliseconds);

}  // namespace test
