#include "platform/rtl/clock.h"

#include "platform/rtl/datetime.h"

#include <QDateTime>
#include <chrono>

namespace {

class TSystemClock : public TClock {
public:
  TDateTime Now() override {
    const QDateTime Current = QDateTime::currentDateTime();
    const QDate D = Current.date();
    const QTime T = Current.time();
    return EncodeDate(D.year(), D.month(), D.day()) +
           EncodeTime(T.hour(), T.minute(), T.second(), T.msec());
  }

  // steady_clock is CLOCK_MONOTONIC on Linux: milliseconds since boot, as the
  // original tick count was.
  UInt64 TickCount64() override {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  }
};

TSystemClock& systemClock() {
  static TSystemClock Instance;
  return Instance;
}

// Read from timer and worker threads while a test swaps it.
std::atomic<TClock*> Installed{nullptr};

}  // namespace

TManualClock::TManualClock(TDateTime Now, UInt64 TickCount) : FNow(Now), FTickCount(TickCount) {}

void TManualClock::Advance(UInt64 Milliseconds) {
  FTickCount.fetch_add(Milliseconds);
  FNow.store(IncMilliSecond(FNow.load(), static_cast<Int64>(Milliseconds)));
}

void SetClock(TClock* Clock) { Installed.store(Clock); }

TClock& Clock() {
  TClock* C = Installed.load();
  return C ? *C : systemClock();
}

TClockScope::TClockScope(TClock& Clock) : FPrevious(Installed.exchange(&Clock)) {}

TClockScope::~TClockScope() { Installed.store(FPrevious); }

TDateTime Now() { return Clock().Now(); }

TDateTime Date() { return DateOf(Now()); }

TDateTime Time() { return TimeOf(Now()); }

Cardinal GetTickCount() { return Clock().TickCount(); }

UInt64 GetTickCount64() { return Clock().TickCount64(); }
