#include "platform/ui/windowing/hwnd.h"

#include "platform/rtl/scopeexit.h"
#include "platform/rtl/threads.h"
#include "platform/ui/windowing/caret.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/windowingstate_p.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>

using namespace gdi;

namespace {

// Handles start above the small numbers that SetWindowPos and PostMessage
// give a meaning of their own (HWND_BOTTOM 1, HWND_BROADCAST $FFFF).
constexpr std::uintptr_t FirstHandle = 0x10000;

// A window the table makes and frees itself (utility and application
// windows).  One released while it handles a message (a timer freeing itself
// from its own tick) lives until that message returns.
class TOwnedWindow : public IWindow {
public:
  void WindowMessage(TMessage& Message) final {
    ++FBusy;
    const TScopeExit Leave([this] {
      if (--FBusy == 0 && FReleased) delete this;
    });
    Handle(Message);
  }
  // Frees the window now, or when its last message returns.
  void Release() {
    if (FBusy > 0)
      FReleased = true;
    else
      delete this;
  }

protected:
  virtual void Handle(TMessage& Message) = 0;

private:
  int FBusy = 0;
  bool FReleased = false;
};

struct TOwnedDeleter {
  void operator()(TOwnedWindow* Window) const { Window->Release(); }
};

struct TWindowEntry {
  IWindow* Window = nullptr;
  std::unique_ptr<TOwnedWindow, TOwnedDeleter> Owned;
};

}  // namespace

struct windowing_detail::THandleTable {
  std::mutex Lock;
  std::uintptr_t Next = FirstHandle;
  std::map<std::uintptr_t, TWindowEntry> Entries;  // ordered by handle = creation order
  TWndMethod ApplicationHook;
  // Set while a WM_NULL for the synchronize queue waits in the message queue,
  // so a worker making thousands of Synchronize calls posts one at a time.
  std::atomic<bool> SyncWakePending{false};

  // The windows leave the table before the owned ones are freed.
  ~THandleTable() {
    auto Doomed = std::move(Entries);
    Entries.clear();
  }
};

namespace {

using windowing_detail::THandleTable;

THandleTable& table() { return WindowingState().Handles.Get(); }

std::uintptr_t key(HWND Window) { return reinterpret_cast<std::uintptr_t>(Window); }

HWND addEntry(TWindowEntry Entry) {
  THandleTable& T = table();
  std::lock_guard<std::mutex> Guard(T.Lock);
  const std::uintptr_t Id = T.Next++;
  T.Entries.emplace(Id, std::move(Entry));
  return reinterpret_cast<HWND>(Id);
}

// A window made by AllocateHWnd: its method takes every message.
class TUtilityWindow : public TOwnedWindow {
public:
  explicit TUtilityWindow(TWndMethod Method) : FMethod(std::move(Method)) {}

protected:
  void Handle(TMessage& Message) override {
    if (FMethod)
      FMethod(Message);
    else
      DefaultWindowMessage(Message);
  }

private:
  TWndMethod FMethod;
};

std::atomic<bool>& syncWakePending() { return table().SyncWakePending; }

TWndMethod& applicationHook() { return table().ApplicationHook; }

class TApplicationWindow : public TOwnedWindow {
protected:
  void Handle(TMessage& Message) override {
    switch (Message.Msg) {
      case WM_NULL:
        syncWakePending().store(false);
        CheckSynchronize();
        return;
      case WM_THEMECHANGED:
        broadcastThemeChange(Message);
        return;
      default:
        if (applicationHook())
          applicationHook()(Message);
        else
          DefaultWindowMessage(Message);
    }
  }

private:
  static void broadcastThemeChange(const TMessage& Message) {
    const HWND Self = ApplicationHandle();
    ForEachWindowHandle([&](HWND Window) {
      if (Window != Self) SendMessage(Window, WM_THEMECHANGED, Message.WParam, Message.LParam);
    });
  }
};

}  // namespace

void IWindow::DefaultWindowMessage(TMessage& Message) {
  // An empty window agrees to end the session and to be restored; the rest
  // answers 0.
  Message.Result = Message.Msg == WM_QUERYENDSESSION || Message.Msg == WM_QUERYOPEN ? 1 : 0;
}

TWinControl* FindControl(HWND Window) {
  IWindow* Object = FindWindowObject(Window);
  return Object ? Object->Control() : nullptr;
}

IWindow* FindWindowObject(HWND Window) {
  if (!Window) return nullptr;
  THandleTable& T = table();
  std::lock_guard<std::mutex> Guard(T.Lock);
  auto It = T.Entries.find(key(Window));
  return It == T.Entries.end() ? nullptr : It->second.Window;
}

HWND AllocateWindowHandle(IWindow* Window) {
  assert(Window && "a window handle needs a window");
  return addEntry({Window, nullptr});
}

void ReleaseWindowHandle(HWND Window) {
  std::unique_ptr<TOwnedWindow, TOwnedDeleter> Owned;
  {
    THandleTable& T = table();
    std::lock_guard<std::mutex> Guard(T.Lock);
    auto It = T.Entries.find(key(Window));
    if (It == T.Entries.end()) return;
    Owned = std::move(It->second.Owned);
    T.Entries.erase(It);
  }
  ui_detail::ForgetWindowMessages(Window);
  ui_detail::ForgetWindowInput(Window);
  ui_detail::ForgetWindowCaret(Window);
}

void ForEachWindowHandle(const std::function<void(HWND Window)>& Proc) {
  std::vector<std::uintptr_t> Snapshot;
  {
    THandleTable& T = table();
    std::lock_guard<std::mutex> Guard(T.Lock);
    Snapshot.reserve(T.Entries.size());
    for (const auto& Entry : T.Entries) Snapshot.push_back(Entry.first);
  }
  for (std::uintptr_t Id : Snapshot) {
    const HWND Window = reinterpret_cast<HWND>(Id);
    if (IsWindow(Window)) Proc(Window);
  }
}

HWND TopLevelWindow(HWND Window) {
  IWindow* Object = FindWindowObject(Window);
  while (Object) {
    const HWND Parent = Object->ParentWindow();
    IWindow* ParentObject = FindWindowObject(Parent);
    if (!ParentObject) break;
    Window = Parent;
    Object = ParentObject;
  }
  return Object ? Window : nullptr;
}

HWND ApplicationHandle() {
  static const HWND Handle = [] {
    auto* Window = new TApplicationWindow;
    const HWND Result = addEntry({Window, std::unique_ptr<TOwnedWindow, TOwnedDeleter>(Window)});
    SetWakeMainThread([Result] {
      if (!syncWakePending().exchange(true)) PostMessage(Result, WM_NULL, 0, 0);
    });
    return Result;
  }();
  return Handle;
}

TWndMethod SetApplicationWindowHook(TWndMethod Hook) {
  std::swap(applicationHook(), Hook);
  return Hook;
}

HWND AllocateHWnd(TWndMethod Method) {
  auto* Window = new TUtilityWindow(std::move(Method));
  return addEntry({Window, std::unique_ptr<TOwnedWindow, TOwnedDeleter>(Window)});
}

void DeallocateHWnd(HWND Window) {
  if (Window) ReleaseWindowHandle(Window);
}

namespace gdi {

LRESULT DefWindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
  IWindow* Object = FindWindowObject(Window);
  if (!Object) return 0;
  TMessage Message{Msg, WParam, LParam, 0};
  Object->DefaultWindowMessage(Message);
  return Message.Result;
}

BOOL IsWindow(HWND Window) { return FindWindowObject(Window) != nullptr; }

}  // namespace gdi
