#include "platform/ui/windowing/timers.h"

#include "platform/rtl/datetime.h"
#include "platform/rtl/typinfo.h"
#include "platform/ui/windowing/hwnd.h"
#include "platform/ui/windowing/msgqueue.h"

#include <cassert>

using namespace gdi;

namespace {

// The one timer each TTimer's window runs.
constexpr UINT_PTR TimerId = 1;

}  // namespace

// ---------------------------------------------------------------------------
// TTimer

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
  FWindowHandle = AllocateHWnd(TWndMethod(this, &TTimer::wndProc));
}

TTimer::~TTimer() {
  FEnabled = false;
  updateTimer();
  DeallocateHWnd(FWindowHandle);
}

void TTimer::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Enabled", &TTimer::Enabled, &TTimer::SetEnabled).Default(true);
  Props.Add("Interval", &TTimer::Interval, &TTimer::SetInterval).Default(1000);
}

void TTimer::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  updateTimer();
}

void TTimer::SetInterval(Cardinal Value) {
  if (Value == FInterval) return;
  FInterval = Value;
  updateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent Value) {
  FOnTimer = std::move(Value);
  updateTimer();
}

void TTimer::Timer() {
  if (FOnTimer) FOnTimer(this);
}

void TTimer::updateTimer() {
  KillTimer(FWindowHandle, TimerId);
  if (FEnabled && FInterval > 0 && FOnTimer) SetTimer(FWindowHandle, TimerId, FInterval);
}

void TTimer::wndProc(TMessage& Message) {
  if (Message.Msg != WM_TIMER) {
    Message.Result = DefWindowProc(FWindowHandle, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  // OnTimer may free the timer: nothing of it is touched afterwards.  An
  // exception goes to the pump's boundary, which dispatched the tick.
  Timer();
}

// ---------------------------------------------------------------------------
// the test clock

namespace test {

TStepClock::TStepClock(UInt64 TickCount, UInt64 Step, TDateTime Start)
    : FTicks(TickCount), FStep(Step), FStart(Start), FStartTicks(TickCount) {}

TDateTime TStepClock::Now() {
  const UInt64 Ticks = FTicks.fetch_add(FStep.load());
  return FStart + double(Ticks - FStartTicks) / MSecsPerDay;
}

UInt64 TStepClock::TickCount64() { return FTicks.fetch_add(FStep.load()); }

void AdvanceTime(UInt64 Milliseconds) {
  auto* Clock = dynamic_cast<TStepClock*>(&::Clock());
  assert(Clock && "AdvanceTime needs an installed TStepClock");
  const UInt64 Target = Clock->Ticks() + Milliseconds;
  while (Clock->Ticks() < Target) {
    Clock->Advance(1);
    PumpUntil([] { return false; }, 1);
  }
}

}  // namespace test
