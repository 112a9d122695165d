// Window handles: the handle table, utility windows and the hidden
// application window.
//
// An HWND is an opaque non-zero number issued by one process-wide table that
// maps it to the window object behind it: a control's container window (the
// windowing layer implements IWindow for it) or a utility window made by
// AllocateHWnd.  Numbers are never reused in a run, so a handle kept in a
// WParam after its window died is recognised as dead (IsWindow false), and a
// recreated window gets a new one.  The table does not own the objects; each
// releases its handle before it dies.  Lookups are safe from any thread
// (PostMessage asks whether a handle lives); everything else is GUI-thread
// only.
#pragma once

#include "platform/ui/windowing/dispatch.h"
#include "platform/ui/windowing/messages.h"

#include <functional>

class QWidget;
class TWinControl;

// The window behind a handle.  The windowing layer derives its container
// window from it; the defaults suit a window without geometry or widget.
class IWindow {
public:
  virtual ~IWindow() = default;

  // Delivers a message sent or dispatched to the handle (a control's
  // Perform); the answer is left in Message.Result.
  virtual void WindowMessage(TMessage& Message) = 0;
  // The window's default processing (DefWindowProc for this window).  Here:
  // WM_CLOSE, WM_QUERYENDSESSION and the rest answer as an empty window does.
  virtual void DefaultWindowMessage(TMessage& Message);
  // The control the window belongs to; nullptr for utility windows.
  virtual TWinControl* Control() const { return nullptr; }
  // The parent window; 0 for top levels and utility windows.
  virtual gdi::HWND ParentWindow() const { return nullptr; }
  // The window class's CS_* style: CS_DBLCLKS makes the input router turn a
  // second click into a double click.
  virtual gdi::UINT ClassStyle() const { return 0; }
  // Whether the window takes mouse and key input now (visible and enabled,
  // its parents too).
  virtual bool AcceptsInput() const { return true; }
  // Coordinates: client <-> screen, and the window's widget's own pixel
  // coordinates -> screen (the widget may cover the whole window or only its
  // client area).
  virtual TPoint ClientToScreen(TPoint ClientPoint) const { return ClientPoint; }
  virtual TPoint ScreenToClient(TPoint ScreenPoint) const { return ScreenPoint; }
  virtual TPoint WidgetToScreen(TPoint WidgetPoint) const { return ClientToScreen(WidgetPoint); }
  // The Qt widget showing the window (mouse grabs); nullptr for none.
  virtual QWidget* Widget() const { return nullptr; }
};

// The control a handle belongs to; nullptr for 0, dead and utility handles.
TWinControl* FindControl(gdi::HWND Window);
// The window object behind a live handle; nullptr otherwise.
IWindow* FindWindowObject(gdi::HWND Window);

// Issues a new handle for Window (creation and recreation of a window).
gdi::HWND AllocateWindowHandle(IWindow* Window);
// Retires a handle: its queued messages, timers and mouse capture go with it;
// messages sent to it later answer 0 and posts fail.  Unknown handles are
// ignored.
void ReleaseWindowHandle(gdi::HWND Window);
// Every live handle in creation order (a snapshot: windows made or released
// by Proc do not disturb the walk).
void ForEachWindowHandle(const std::function<void(gdi::HWND Window)>& Proc);
// The top-level ancestor of a window (itself for top levels and utility windows).
gdi::HWND TopLevelWindow(gdi::HWND Window);

// The hidden application window (Application.Handle), made on first use.  It
// answers WM_NULL by running the threads' synchronize queue (the wake hook of
// threads.h posts one WM_NULL while any is pending), WM_THEMECHANGED by
// sending WM_THEMECHANGED to every other window, and hands everything else
// to the installed hook, if any, then to DefWindowProc.
gdi::HWND ApplicationHandle();
// Installs the application's window procedure for the hidden window (empty =
// none); the hook calls DefWindowProc for what it does not handle.  Returns
// the previous one.
TWndMethod SetApplicationWindowHook(TWndMethod Hook);

// A utility window that hands every message to Method (which calls
// DefWindowProc for those it does not handle).
gdi::HWND AllocateHWnd(TWndMethod Method);
// Destroys a utility window made by AllocateHWnd; 0 is ignored.
void DeallocateHWnd(gdi::HWND Window);

namespace gdi {

// The window's default processing; 0 for dead handles.
LRESULT DefWindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
// True for a live handle.
BOOL IsWindow(HWND Window);

}  // namespace gdi
