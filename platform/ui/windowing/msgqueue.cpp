#include "platform/ui/windowing/msgqueue.h"

#include "platform/rtl/clock.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/threads.h"
#include "platform/ui/windowing/hwnd.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/windowingstate_p.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <deque>
#include <limits>
#include <mutex>

using namespace gdi;
using ui_detail::TInputMessage;

namespace {

struct TTimer {
  HWND Window = nullptr;
  UINT_PTR Id = 0;
  UINT Elapse = 0;
  UInt64 Due = 0;
  UInt64 DeliveredRound = 0;  // the pump round that last took it (0: none)
};

// What the last message taken out carried, for TranslateMessage and the
// native-widget bridge, which are handed only the MSG.
struct TTaken {
  MSG Msg;
  String Text;
  std::shared_ptr<void> Source;
};

// A message being dispatched (innermost last).
struct TDispatchFrame {
  HWND Window;
  UINT Msg;
  WPARAM WParam;
  std::shared_ptr<void> Source;
};

void armForeignPump();
void drainForeign();

}  // namespace

struct windowing_detail::TQueue {
  TQueue();
  ~TQueue() {
    delete ForeignPump;
    delete WakeTimer;
  }
  // Between tests: what was queued goes; the pump's timers and hooks stay.
  void Reset();

  std::mutex PostLock;
  std::deque<TInputMessage> Posted;  // guarded by PostLock; the rest is GUI-thread only
  std::deque<TInputMessage> Input;
  std::vector<TTimer> Timers;
  UINT_PTR NextThreadTimer = 1;
  bool Quit = false;
  int QuitCode = 0;
  UInt64 QuitsTaken = 0;
  TTaken Last;
  UInt64 Round = 1;
  int QtDepth = 0;       // inside our own processEvents: that pump takes the input
  int Suspended = 0;     // TDispatchSuspension
  bool Draining = false;
  std::vector<TDispatchFrame> Dispatching;
  TPumpHooks Hooks;
  QTimer* WakeTimer = nullptr;  // wakes a waiting pump when the next timer is due
  QTimer* ForeignPump = nullptr;  // drains the queue from inside a Qt loop that is not ours
  bool HoldRunning = false;       // takes skip messages whose handler is still running
};

windowing_detail::TQueue::TQueue() {
  ApplicationHandle();  // installs the wake hook for the synchronize queue
  if (QCoreApplication* App = QCoreApplication::instance()) {
    ForeignPump = new QTimer(App);
    ForeignPump->setSingleShot(true);
    if (QAbstractEventDispatcher* Dispatcher = QAbstractEventDispatcher::instance(App->thread()))
      QObject::connect(Dispatcher, &QAbstractEventDispatcher::aboutToBlock, ForeignPump, &armForeignPump);
    QObject::connect(ForeignPump, &QTimer::timeout, &drainForeign);
  }
}

namespace {

using windowing_detail::TQueue;

TQueue& queue() { return WindowingState().Queue.Get(); }

bool sameMessage(const MSG& A, const MSG& B) {
  return A.hwnd == B.hwnd && A.message == B.message && A.wParam == B.wParam && A.lParam == B.lParam &&
         A.time == B.time;
}

// Whether a handler of this window, message and (for WM_TIMER) timer is
// still running further up the stack.
bool running(HWND Window, UINT Msg, WPARAM WParam) {
  const TQueue& Q = queue();
  return std::any_of(Q.Dispatching.begin(), Q.Dispatching.end(), [&](const TDispatchFrame& F) {
    return F.Window == Window && F.Msg == Msg && (Msg != WM_TIMER || F.WParam == WParam);
  });
}

bool matches(const MSG& M, HWND Window, UINT Min, UINT Max) {
  if (Window && M.hwnd != Window) return false;
  if (queue().HoldRunning && M.hwnd && running(M.hwnd, M.message, M.wParam)) return false;
  return (Min == 0 && Max == 0) || (M.message >= Min && M.message <= Max);
}

MSG stamped(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
  MSG M{Window, Msg, WParam, LParam, GetTickCount(), {}};
  GetCursorPos(M.pt);
  return M;
}

void wakeGuiThread() {
  QCoreApplication* App = QCoreApplication::instance();
  if (!App) return;
  if (QAbstractEventDispatcher* Dispatcher = QAbstractEventDispatcher::instance(App->thread())) Dispatcher->wakeUp();
}

void post(TInputMessage Entry) {
  TQueue& Q = queue();
  {
    std::lock_guard<std::mutex> Guard(Q.PostLock);
    Q.Posted.push_back(std::move(Entry));
  }
  wakeGuiThread();
}

enum TKinds : unsigned { kPosted = 1, kInput = 2, kTimers = 4, kQuit = 8, kAll = 15 };

void remember(const TInputMessage& Entry) {
  TQueue& Q = queue();
  Q.Last = {Entry.Msg, Entry.Text, Entry.Source};
}

bool takePosted(MSG& Out, HWND Window, UINT Min, UINT Max, bool Remove) {
  TQueue& Q = queue();
  std::lock_guard<std::mutex> Guard(Q.PostLock);
  auto It = std::find_if(Q.Posted.begin(), Q.Posted.end(),
                         [&](const TInputMessage& E) { return matches(E.Msg, Window, Min, Max); });
  if (It == Q.Posted.end()) return false;
  Out = It->Msg;
  if (Remove) {
    remember(*It);
    Q.Posted.erase(It);
  }
  return true;
}

// Input: a message whose removal step answers False is dropped and the
// search starts again (the step may have posted something).
enum class TInputResult { None, Found, Dropped };

TInputResult takeInput(MSG& Out, HWND Window, UINT Min, UINT Max, bool Remove) {
  TQueue& Q = queue();
  auto It = std::find_if(Q.Input.begin(), Q.Input.end(),
                         [&](const TInputMessage& E) { return matches(E.Msg, Window, Min, Max); });
  if (It == Q.Input.end()) return TInputResult::None;
  Out = It->Msg;
  if (!Remove) return TInputResult::Found;
  TInputMessage Entry = std::move(*It);
  Q.Input.erase(It);
  // The step runs with the message already out, as it does while the message
  // is being retrieved: what it posts waits behind this message.
  if (Entry.OnRemove && !Entry.OnRemove()) return TInputResult::Dropped;
  remember(Entry);
  return TInputResult::Found;
}

bool takeTimer(MSG& Out, HWND Window, UINT Min, UINT Max, bool Remove) {
  TQueue& Q = queue();
  if (!(Min == 0 && Max == 0) && (WM_TIMER < Min || WM_TIMER > Max)) return false;
  const UInt64 Now = GetTickCount64();
  TTimer* Best = nullptr;
  for (TTimer& T : Q.Timers) {
    if ((Window && T.Window != Window) || T.Due > Now || T.DeliveredRound == Q.Round) continue;
    if (Q.HoldRunning && T.Window && running(T.Window, WM_TIMER, T.Id)) continue;
    if (!Best || T.Due < Best->Due) Best = &T;
  }
  if (!Best) return false;
  Out = stamped(Best->Window, WM_TIMER, Best->Id, 0);
  if (Remove) {
    Best->DeliveredRound = Q.Round;
    Best->Due = Now + Best->Elapse;
    Q.Last = {Out, String(), nullptr};
  }
  return true;
}

bool takeQuit(MSG& Out, bool Remove) {
  TQueue& Q = queue();
  if (!Q.Quit) return false;
  Out = stamped(nullptr, WM_QUIT, WPARAM(Q.QuitCode), 0);
  if (Remove) {
    Q.Quit = false;
    ++Q.QuitsTaken;
    Q.Last = {Out, String(), nullptr};
  }
  return true;
}

bool take(MSG& Out, HWND Window, UINT Min, UINT Max, bool Remove, unsigned Kinds) {
  for (;;) {
    if ((Kinds & kPosted) && takePosted(Out, Window, Min, Max, Remove)) return true;
    if (Kinds & kInput) {
      const TInputResult R = takeInput(Out, Window, Min, Max, Remove);
      if (R == TInputResult::Found) return true;
      if (R == TInputResult::Dropped) continue;
    }
    if ((Kinds & kTimers) && takeTimer(Out, Window, Min, Max, Remove)) return true;
    return (Kinds & kQuit) && takeQuit(Out, Remove);
  }
}

// The next due time of a timer the filter lets through; max when none.
UInt64 nextTimerDue(HWND Window, UINT Min, UINT Max) {
  TQueue& Q = queue();
  UInt64 Due = std::numeric_limits<UInt64>::max();
  if (!(Min == 0 && Max == 0) && (WM_TIMER < Min || WM_TIMER > Max)) return Due;
  for (const TTimer& T : Q.Timers)
    if (!Window || T.Window == Window) Due = std::min(Due, T.Due);
  return Due;
}

// Lets Qt deliver its events; queued input is left for the caller.
void runQt(QEventLoop::ProcessEventsFlags Flags) {
  if (!QCoreApplication::instance()) return;
  TQueue& Q = queue();
  ++Q.QtDepth;
  const TScopeExit Leave([&Q] { --Q.QtDepth; });
  QCoreApplication::processEvents(Flags);
}

// Waits in Qt until something may match the filter: a message, a due timer
// (a Qt timer wakes the wait then) or a wake-up from another thread.
void waitForMessage(HWND Window, UINT Min, UINT Max) {
  MSG Probe;
  if (take(Probe, Window, Min, Max, /*Remove=*/false, kAll)) return;
  if (!QCoreApplication::instance()) return;
  TQueue& Q = queue();
  const UInt64 Due = nextTimerDue(Window, Min, Max);
  if (Due != std::numeric_limits<UInt64>::max()) {
    if (!Q.WakeTimer) {
      Q.WakeTimer = new QTimer;
      Q.WakeTimer->setSingleShot(true);
    }
    const UInt64 Now = GetTickCount64();
    const UInt64 Wait = Due > Now ? std::min<UInt64>(Due - Now, std::numeric_limits<int>::max()) : 0;
    Q.WakeTimer->start(int(Wait));
  }
  runQt(QEventLoop::WaitForMoreEvents);
  if (Q.WakeTimer) Q.WakeTimer->stop();
}

void dispatchGuarded(MSG& Msg) {
  TQueue& Q = queue();
  try {
    if (Q.Hooks.Filter && Q.Hooks.Filter(Msg)) return;
    TranslateMessage(Msg);
    DispatchMessage(Msg);
  } catch (...) {
    HandleException(std::current_exception());
  }
}

// Runs the synchronize queue behind the exception boundary; True when
// something ran.
bool synchronizeGuarded() {
  try {
    return CheckSynchronize();
  } catch (...) {
    HandleException(std::current_exception());
    return true;
  }
}

// Runs the idle hook behind the exception boundary; answers Done.
bool idleGuarded() {
  TQueue& Q = queue();
  if (!Q.Hooks.Idle) return true;
  try {
    return Q.Hooks.Idle();
  } catch (...) {
    HandleException(std::current_exception());
    return true;
  }
}

// --- Qt loops that are not ours -------------------------------------------------
//
// A popup menu, a message box or a common dialog runs Qt's own loop, which
// knows nothing of our queue.  Whenever Qt's dispatcher is about to sleep
// outside our own waits, the foreign pump is armed for what is deliverable
// now or for the next due timer, and drains the queue from inside that loop
// in our order (posted, input, timer).  A message whose handler is still
// running further up the stack (the timer whose OnTimer opened the box) is
// held back until that handler returns, so no handler is entered twice.

// Takes the next message the foreign pump may deliver.
bool takeDeliverable(MSG& Out, bool Remove) {
  TQueue& Q = queue();
  Q.HoldRunning = true;
  const bool Found = take(Out, nullptr, 0, 0, Remove, kPosted | kInput | kTimers);
  Q.HoldRunning = false;
  return Found;
}

bool inForeignLoop() {
  const TQueue& Q = queue();
  return Q.ForeignPump && Q.QtDepth == 0 && Q.Suspended == 0;
}

void armForeignPump() {
  if (!inForeignLoop()) return;
  TQueue& Q = queue();
  MSG Probe;
  if (takeDeliverable(Probe, /*Remove=*/false)) {
    Q.ForeignPump->start(0);
    return;
  }
  UInt64 Due = std::numeric_limits<UInt64>::max();
  for (const TTimer& T : Q.Timers)
    if (!T.Window || !running(T.Window, WM_TIMER, T.Id)) Due = std::min(Due, T.Due);
  if (Due == std::numeric_limits<UInt64>::max()) return;
  const UInt64 Now = GetTickCount64();
  Q.ForeignPump->start(int(Due > Now ? std::min<UInt64>(Due - Now, std::numeric_limits<int>::max()) : 0));
}

void drainForeign() {
  if (!inForeignLoop()) return;
  ++queue().Round;  // each due timer once
  MSG Msg;
  while (takeDeliverable(Msg, /*Remove=*/true)) dispatchGuarded(Msg);
}

}  // namespace

namespace gdi {

BOOL PostMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Window && !IsWindow(Window)) return false;
  post({stamped(Window, Msg, WParam, LParam), String(), nullptr, nullptr});
  return true;
}

LRESULT SendMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
  assert(IsMainThread() && "SendMessage off the GUI thread");
  IWindow* Object = FindWindowObject(Window);
  if (!Object) return 0;
  TMessage Message{Msg, WParam, LParam, 0};
  Object->WindowMessage(Message);
  return Message.Result;
}

BOOL PeekMessage(MSG& Msg, HWND Window, UINT Min, UINT Max, UINT RemoveFlags) {
  return take(Msg, Window, Min, Max, (RemoveFlags & PM_REMOVE) != 0, kAll);
}

BOOL GetMessage(MSG& Msg, HWND Window, UINT Min, UINT Max) {
  ++queue().Round;  // a loop of GetMessage calls is a pump: one message per round
  while (!take(Msg, Window, Min, Max, /*Remove=*/true, kAll)) waitForMessage(Window, Min, Max);
  return Msg.message != WM_QUIT;
}

BOOL WaitMessage() {
  waitForMessage(nullptr, 0, 0);
  return true;
}

BOOL TranslateMessage(const MSG& Msg) {
  if (Msg.message != WM_KEYDOWN && Msg.message != WM_SYSKEYDOWN) return false;
  TQueue& Q = queue();
  const bool Known = sameMessage(Msg, Q.Last.Msg);
  const String Chars =
      Known ? Q.Last.Text : KeyCharacters(WORD(Msg.wParam), KeyDataToShiftState(Integer(Msg.lParam)), String());
  const UINT CharMsg = Msg.message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
  for (QChar C : Chars)
    post({stamped(Msg.hwnd, CharMsg, C.unicode(), Msg.lParam), String(), Known ? Q.Last.Source : nullptr, nullptr});
  return !Chars.isEmpty();
}

LRESULT DispatchMessage(const MSG& Msg) {
  if (!Msg.hwnd) return 0;
  TQueue& Q = queue();
  Q.Dispatching.push_back(
      {Msg.hwnd, Msg.message, Msg.wParam, sameMessage(Msg, Q.Last.Msg) ? Q.Last.Source : nullptr});
  const TScopeExit Pop([&Q] { Q.Dispatching.pop_back(); });
  return SendMessage(Msg.hwnd, Msg.message, Msg.wParam, Msg.lParam);
}

void PostQuitMessage(int ExitCode) {
  TQueue& Q = queue();
  Q.Quit = true;
  Q.QuitCode = ExitCode;
  wakeGuiThread();
}

LONG GetMessageTime() { return LONG(queue().Last.Msg.time); }

DWORD GetMessagePos() {
  const POINT P = queue().Last.Msg.pt;
  return MAKELONG(WORD(P.X), WORD(P.Y));
}

UINT_PTR SetTimer(HWND Window, UINT_PTR Id, UINT Elapse) {
  if (Window && !IsWindow(Window)) return 0;
  TQueue& Q = queue();
  if (!Window) Id = Q.NextThreadTimer++;
  Elapse = std::max<UINT>(Elapse, 1);
  const UInt64 Due = GetTickCount64() + Elapse;
  auto It = std::find_if(Q.Timers.begin(), Q.Timers.end(),
                         [&](const TTimer& T) { return T.Window == Window && T.Id == Id; });
  if (It != Q.Timers.end()) {
    It->Elapse = Elapse;
    It->Due = Due;
  } else {
    Q.Timers.push_back({Window, Id, Elapse, Due, 0});
  }
  return Id ? Id : 1;
}

BOOL KillTimer(HWND Window, UINT_PTR Id) {
  TQueue& Q = queue();
  auto It = std::find_if(Q.Timers.begin(), Q.Timers.end(),
                         [&](const TTimer& T) { return T.Window == Window && T.Id == Id; });
  if (It == Q.Timers.end()) return false;
  Q.Timers.erase(It);
  return true;
}

}  // namespace gdi

// --- the pump ------------------------------------------------------------------

TPumpHooks SetPumpHooks(TPumpHooks Hooks) {
  std::swap(queue().Hooks, Hooks);
  return Hooks;
}

bool ProcessMessage(MSG& Msg) {
  if (!take(Msg, nullptr, 0, 0, /*Remove=*/true, kAll)) return false;
  if (Msg.message == WM_QUIT) {
    if (queue().Hooks.Quit) queue().Hooks.Quit(int(Msg.wParam));
    return true;
  }
  dispatchGuarded(Msg);
  return true;
}

void ProcessMessages() {
  ++queue().Round;
  runQt(QEventLoop::AllEvents);
  MSG Msg;
  while (ProcessMessage(Msg)) {
  }
}

void HandleMessage() {
  ++queue().Round;
  MSG Msg;
  if (ProcessMessage(Msg)) return;
  if (synchronizeGuarded()) return;
  if (idleGuarded()) waitForMessage(nullptr, 0, 0);
}

bool RunMessageLoop(const std::function<bool()>& Done) {
  TQueue& Q = queue();
  while (!Done()) {
    const UInt64 Quits = Q.QuitsTaken;
    HandleMessage();
    if (Q.QuitsTaken != Quits) {
      PostQuitMessage(Q.QuitCode);  // the code of the WM_QUIT just taken
      return false;
    }
  }
  return true;
}

TDispatchSuspension::TDispatchSuspension() { ++queue().Suspended; }

TDispatchSuspension::~TDispatchSuspension() { --queue().Suspended; }

// --- the input side ------------------------------------------------------------

namespace ui_detail {

void QueueInput(TInputMessage Input) {
  Input.Msg.time = GetTickCount();
  queue().Input.push_back(std::move(Input));
}

void DrainInput() {
  TQueue& Q = queue();
  if (Q.QtDepth > 0 || Q.Suspended > 0 || Q.Draining) return;
  Q.Draining = true;
  const TScopeExit Leave([&Q] { Q.Draining = false; });
  MSG Msg;
  while (take(Msg, nullptr, 0, 0, /*Remove=*/true, kPosted | kInput)) dispatchGuarded(Msg);
}

std::shared_ptr<void> DispatchedSource(HWND Window, UINT Msg) {
  const TQueue& Q = queue();
  for (auto It = Q.Dispatching.rbegin(); It != Q.Dispatching.rend(); ++It)
    if (It->Window == Window && It->Msg == Msg) return It->Source;
  return nullptr;
}

void ForgetWindowMessages(HWND Window) {
  TQueue& Q = queue();
  auto OfWindow = [Window](const TInputMessage& E) { return E.Msg.hwnd == Window; };
  {
    std::lock_guard<std::mutex> Guard(Q.PostLock);
    std::erase_if(Q.Posted, OfWindow);
  }
  std::erase_if(Q.Input, OfWindow);
  std::erase_if(Q.Timers, [Window](const TTimer& T) { return T.Window == Window; });
}

}  // namespace ui_detail

// --- test seams ----------------------------------------------------------------

namespace test {

std::vector<MSG> Pending() {
  TQueue& Q = queue();
  std::vector<MSG> Result;
  {
    std::lock_guard<std::mutex> Guard(Q.PostLock);
    for (const TInputMessage& E : Q.Posted) Result.push_back(E.Msg);
  }
  for (const TInputMessage& E : Q.Input) Result.push_back(E.Msg);
  return Result;
}

void PostInput(const MSG& Msg) { ui_detail::QueueInput({Msg, String(), nullptr, nullptr}); }

bool PumpUntil(const std::function<bool()>& Pred, int MaxRounds) {
  for (int Round = 0; Round < MaxRounds; ++Round) {
    if (Pred()) return true;
    ProcessMessages();
    synchronizeGuarded();
    idleGuarded();
  }
  return Pred();
}

void ResetQueue() { queue().Reset(); }

}  // namespace test

void windowing_detail::TQueue::Reset() {
  {
    // The synchronize queue's wake-up stays: its sender posts no other while it waits.
    const HWND App = ApplicationHandle();
    std::lock_guard<std::mutex> Guard(PostLock);
    std::erase_if(Posted, [App](const TInputMessage& E) { return E.Msg.hwnd != App || E.Msg.message != WM_NULL; });
  }
  Input.clear();
  Timers.clear();
  Quit = false;
  QuitCode = 0;
  Last = {};
}
