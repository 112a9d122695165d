// The GUI thread's message queue and its pump.
//
// Retrieval order (PeekMessage, GetMessage; the first entry matching the
// window and range filters wins):
//
//   1 posted messages, oldest first (PostMessage from any thread;
//     TranslateMessage posts the characters of a key)
//   2 input messages, oldest first (the input router queues them, stamped
//     with the clock on arrival)
//   3 WM_TIMER for a due timer: earliest due first, each timer at most once
//     per pump round however late; the next due time is the delivery time
//     plus the interval
//   4 WM_QUIT, when PostQuitMessage set the quit flag and nothing else
//     matched, whatever the filter; taking it clears the flag
//
// WM_PAINT is never queued: painting runs from Qt's paint requests and
// Update.  Peeks never pump Qt, so a handler that peeks sees the queue as it
// was when it started (keys typed during a long loop arrive after it).  Only
// the waits (GetMessage, WaitMessage, the pump rounds) let Qt deliver events,
// and Qt input that arrives while no pump waits (events sent straight to a
// widget) is dispatched at once, behind whatever was queued before it.
//
// Timers run on the installed clock (clock.h): a waiting pump arms a Qt
// timer for the next due time measured on it, so under a manual clock a wait
// ends only by events or posts, and tests pump with ProcessMessages or
// test::PumpUntil, which never wait.
//
// Qt's own loops (a popup menu, a message box, a common dialog opened by a
// handler) keep the queue alive: whenever Qt is about to sleep outside our
// waits, posted, input and timer messages are delivered from inside its loop
// in the same order, except those whose handler is still running further up
// the stack (the timer whose OnTimer opened the box waits until it returns).
//
// Threads: the runtime's WakeMainThread hook is installed when the queue is
// first used; it posts one WM_NULL to the hidden application window while
// any is pending (which also wakes a waiting pump), and the window answers it
// with CheckSynchronize.  The pump's idle step runs CheckSynchronize as well.
#pragma once

#include "platform/rtl/system.h"
#include "platform/ui/windowing/messages.h"

#include <functional>
#include <memory>
#include <vector>

namespace gdi {

// Queues a message for Window (0: a thread message with no window); any
// thread.  False for a dead handle.  Wakes a waiting pump.
BOOL PostMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
// Delivers a message to Window now and answers its Result (the window's
// Perform); 0 for 0 and dead handles.  GUI thread only; exceptions from the
// handlers reach the caller.
LRESULT SendMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
// The first message in retrieval order for Window (0: any window or none)
// within [Min, Max] (both 0: all); PM_REMOVE takes it out.  False when none.
BOOL PeekMessage(MSG& Msg, HWND Window, UINT Min, UINT Max, UINT RemoveFlags);
// As PeekMessage with PM_REMOVE, waiting for a message (and letting Qt run
// meanwhile).  False when the message is WM_QUIT.
BOOL GetMessage(MSG& Msg, HWND Window, UINT Min, UINT Max);
// Lets Qt run until a message is queued (returns at once when one is).
BOOL WaitMessage();
// For WM_KEYDOWN / WM_SYSKEYDOWN: posts the WM_CHAR / WM_SYSCHAR messages of
// the key, one per UTF-16 unit.  True when it posted any.
BOOL TranslateMessage(const MSG& Msg);
// Delivers a retrieved message to its window (as SendMessage); thread
// messages go nowhere.  Answers the Result.
LRESULT DispatchMessage(const MSG& Msg);
// Sets the quit flag: WM_QUIT (WParam = ExitCode) once the queue is empty.
void PostQuitMessage(int ExitCode);
// The time stamp (GetTickCount) and screen position of the last message
// taken out of the queue.
LONG GetMessageTime();
DWORD GetMessagePos();

// Starts (or restarts) a timer: WM_TIMER with WParam = Id every Elapse ms
// (at least 1) to Window.  Window 0 gets a fresh id for a thread timer.
// Answers the id, 0 for a dead window.
UINT_PTR SetTimer(HWND Window, UINT_PTR Id, UINT Elapse);
// Stops it and drops its WM_TIMER; False when there is no such timer.
BOOL KillTimer(HWND Window, UINT_PTR Id);

}  // namespace gdi

// ---------------------------------------------------------------------------
// the pump

// What the application layer adds to the pump.
struct TPumpHooks {
  // Sees every message taken out by the pump before it is translated and
  // dispatched (shortcuts, hints, Application.OnMessage); True consumes it.
  std::function<bool(gdi::MSG& Msg)> Filter;
  // Idle work when the queue is empty (mouse enter/leave, hint timing, action
  // updates, OnIdle).  Answers Done: True lets the pump wait for events.
  std::function<bool()> Idle;
  // The pump took WM_QUIT (Application: Terminated).
  std::function<void(int ExitCode)> Quit;
};
// Installs the hooks and returns the previous ones.
TPumpHooks SetPumpHooks(TPumpHooks Hooks);

// Takes one message (posted, input or a due timer; WM_QUIT too) and, unless
// it is WM_QUIT or the filter consumes it, translates and dispatches it
// behind the exception boundary: an exception from its handlers goes to
// HandleException.  False when nothing was waiting.
bool ProcessMessage(gdi::MSG& Msg);
// Lets Qt deliver what it has (without waiting), then processes every waiting
// message; each due timer fires once.
void ProcessMessages();
// One pump round: one message if any; else the synchronize queue, then the
// idle hook, then a wait for Qt events or a wake-up.
void HandleMessage();
// Pump rounds until Done() answers True (checked before each round): True.
// A WM_QUIT taken meanwhile is posted again, so every enclosing loop ends as
// well, and the loop answers False.
bool RunMessageLoop(const std::function<bool()>& Done);

// While one exists, Qt input that arrives is queued but not dispatched (a
// window-system flush while the program shows a window before long work).
class TDispatchSuspension {
public:
  TDispatchSuspension();
  ~TDispatchSuspension();
  TDispatchSuspension(const TDispatchSuspension&) = delete;
  TDispatchSuspension& operator=(const TDispatchSuspension&) = delete;
};

// ---------------------------------------------------------------------------
// the input side, for the input router

namespace ui_detail {

// An input message and what travels with it: the text a key down produces
// (TranslateMessage), an opaque record of the Qt event it came from (the
// native-widget bridge reads it back while the message is dispatched), and a
// step to run when the message is taken out (activation by a click); a step
// answering False drops the message.
struct TInputMessage {
  gdi::MSG Msg;
  String Text;
  std::shared_ptr<void> Source;
  std::function<bool()> OnRemove;
};

// Queues an input message (stamped with the clock now, cursor position from
// Msg.pt).
void QueueInput(TInputMessage Input);
// Dispatches the waiting messages now unless a pump is about to take them
// (it is inside its wait) or dispatch is suspended.
void DrainInput();
// The Source of the queued message being dispatched to Window right now with
// message number Msg (innermost); nullptr when none.
std::shared_ptr<void> DispatchedSource(gdi::HWND Window, gdi::UINT Msg);
// Drops the queued messages and the timers of a window whose handle is
// being released.
void ForgetWindowMessages(gdi::HWND Window);

}  // namespace ui_detail

// ---------------------------------------------------------------------------
// test seams

namespace test {

// The queued posted and input messages in retrieval order (timers and the
// quit flag left out).
std::vector<gdi::MSG> Pending();
// Queues Msg as an input message, as the router would (no draining).
void PostInput(const gdi::MSG& Msg);
// Pump rounds that never wait: Qt events, every waiting message, the
// synchronize queue, the idle hook; until Pred() answers True (True) or
// MaxRounds rounds have run (False).
bool PumpUntil(const std::function<bool()>& Pred, int MaxRounds = 100);
// Empties the queue, clears the quit flag and stops every timer (between tests).
void ResetQueue();

}  // namespace test
