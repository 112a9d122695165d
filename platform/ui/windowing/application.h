// Application and Screen: the program's message loop and exception boundary,
// and the forms, monitors and cursor of the screen.
//
// Application->Run drives our pump (msgqueue.h), never Qt's event loop:
// posted messages and the WM_NULL that runs Synchronize calls are dispatched
// only there.  Terminate is PostQuitMessage; the pump's Quit hook sets
// Terminated.  The exception boundary is the runtime's HandleException:
// Application installs itself as its handler, so an exception out of a
// dispatched message, a paint or a timer tick reaches OnException or
// ShowException (an error box through the modal seam, caption = Title).
//
// Application and Screen are made by InitializeForms (idempotent) and freed
// by FinalizeForms.
#pragma once

#include "platform/rtl/component.h"
#include "platform/rtl/stringlist.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/windowing/forms.h"
#include "platform/ui/windowing/hints.h"
#include "platform/ui/windowing/mouse.h"

#include <exception>
#include <vector>

class TCustomForm;

using TIdleEvent = TMethodPtr<void(TObject* Sender, bool& Done)>;
using TExceptionEvent = TMethodPtr<void(TObject* Sender, Exception* E)>;

// ---------------------------------------------------------------------------
// TApplication

class TApplication : public TComponent {
  RTL_CLASS(TApplication, TComponent)
public:
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  // running
  // Nothing left to set up here (the pump and window exist on demand).
  void Initialize() {}
  // Makes a form of class T (owned by Application) into Reference; the first
  // one becomes MainForm.
  template <class T>
  void CreateForm(T*& Reference) {
    Reference = ::CreateForm<T>(this);
    formCreated(Reference);
  }
  // Shows MainForm and runs pump rounds until Terminated.
  void Run();
  // PostQuitMessage(0): every loop ends, Run returns.
  void Terminate();
  bool Terminated() const { return FTerminated; }
  // ProcessMessages / HandleMessage of the pump.
  void ProcessMessages();
  void HandleMessage();

  // the exception boundary
  // EAbort: nothing; else OnException(Sender), else ShowException.  The
  // exception_ptr form reports the application as the sender.
  void HandleException(TObject* Sender);
  void HandleException(std::exception_ptr E);
  // An error box: caption Title, text the message (ends with '.' added when
  // missing), through ExecuteModal (Kind "error").
  void ShowException(Exception* E);
  // The message box of dialogs.h under the caption given (MB_* flags; 0 is
  // MB_OK); answers IDOK, IDCANCEL, IDYES, IDNO ...
  Integer MessageBox(const String& Text, const String& Caption, Integer Flags = 0);

  // properties
  gdi::HWND Handle() const;
  const String& Title() const { return FTitle; }
  void SetTitle(const String& Value) { FTitle = Value; }
  TCustomForm* MainForm() const { return FMainForm; }
  // Some form of ours is active.
  bool Active() const { return FActive; }
  TBiDiMode BiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode Value) { FBiDiMode = Value; }

  // hints: the settings of the application's hint manager, which sees every
  // routed mouse move and every message the pump takes
  THintManager* HintManager() const { return FHintManager; }
  bool ShowHint() const { return FHintManager->ShowHint(); }
  void SetShowHint(bool Value) { FHintManager->SetShowHint(Value); }
  TColor HintColor() const { return FHintManager->HintColor(); }
  void SetHintColor(TColor Value) { FHintManager->SetHintColor(Value); }
  Integer HintPause() const { return FHintManager->HintPause(); }
  void SetHintPause(Integer Value) { FHintManager->SetHintPause(Value); }
  Integer HintShortPause() const { return FHintManager->HintShortPause(); }
  void SetHintShortPause(Integer Value) { FHintManager->SetHintShortPause(Value); }
  Integer HintHidePause() const { return FHintManager->HintHidePause(); }
  void SetHintHidePause(Integer Value) { FHintManager->SetHintHidePause(Value); }

  // events
  TIdleEvent OnIdle;
  TExceptionEvent OnException;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;

  // for forms: the application became active or inactive
  void SetActive(bool Value);
  // for forms: MainForm went away
  void FormDestroyed(TCustomForm* Form);

private:
  friend void InitializeForms();
  void formCreated(TCustomForm* Form);
  void handleException(std::exception_ptr E, TObject* Sender);
  bool idle();

  String FTitle;
  TCustomForm* FMainForm = nullptr;
  bool FTerminated = false;
  bool FActive = false;
  bool FHandlingException = false;
  TBiDiMode FBiDiMode = bdLeftToRight;
  THintManager* FHintManager;
};

// ---------------------------------------------------------------------------
// monitors

RTL_ENUM(TMonitorDefaultTo, mdNearest, mdNull, mdPrimary)

// One display.  Rectangles in screen coordinates.
struct TMonitorInfo {
  TRect Bounds;
  TRect WorkArea;
  Integer PixelsPerInch = DefaultPixelsPerInch;
  Integer WidthMM = 0;   // 0: unknown
  Integer HeightMM = 0;
  bool Primary = false;
};

class TMonitor : public TObject {
  RTL_CLASS(TMonitor, TObject)
public:
  TMonitor(Integer Num, const TMonitorInfo& Info) : FNum(Num), FInfo(Info) {}

  Integer MonitorNum() const { return FNum; }
  TRect BoundsRect() const { return FInfo.Bounds; }
  TRect WorkareaRect() const { return FInfo.WorkArea; }
  Integer Left() const { return FInfo.Bounds.Left; }
  Integer Top() const { return FInfo.Bounds.Top; }
  Integer Width() const { return FInfo.Bounds.Width(); }
  Integer Height() const { return FInfo.Bounds.Height(); }
  bool Primary() const { return FInfo.Primary; }
  Integer PixelsPerInch() const { return FInfo.PixelsPerInch; }
  Integer WidthMM() const { return FInfo.WidthMM; }
  Integer HeightMM() const { return FInfo.HeightMM; }

private:
  Integer FNum;
  TMonitorInfo FInfo;
};

// ---------------------------------------------------------------------------
// TScreen

class TScreen : public TComponent {
  RTL_CLASS(TScreen, TComponent)
public:
  explicit TScreen(TComponent* AOwner);
  ~TScreen() override;

  // forms, in creation order
  Integer FormCount() const { return Integer(FForms.size()); }
  TCustomForm* Forms(Integer Index) const;
  // The active form (the activation tracker's); nullptr when none of ours.
  TCustomForm* ActiveForm() const { return FActiveForm; }
  // The focused control (the active form's ActiveControl when the focus is
  // on no control of ours).
  TWinControl* ActiveControl() const;
  // The form holding the focused control.
  TCustomForm* FocusedForm() const;

  // cursor: crDefault lets each control's own cursor show
  // (mouse.h's screen cursor: setting it shows it at once)
  TCursor Cursor() const;
  void SetCursor(TCursor Value);
  // The cursor table (mouse.h): the default cursor for unknown indexes;
  // setting 0 gives an index back to the default.
  gdi::HCURSOR Cursors(TCursor Index) const;
  void SetCursors(TCursor Index, gdi::HCURSOR Cursor);

  // the screen
  Integer Width() const;
  Integer Height() const;
  Integer PixelsPerInch() const;
  TRect DesktopRect() const;
  Integer DesktopLeft() const { return DesktopRect().Left; }
  Integer DesktopTop() const { return DesktopRect().Top; }
  Integer DesktopWidth() const { return DesktopRect().Width(); }
  Integer DesktopHeight() const { return DesktopRect().Height(); }
  // The primary monitor's work area.
  TRect WorkAreaRect() const;
  Integer WorkAreaLeft() const { return WorkAreaRect().Left; }
  Integer WorkAreaTop() const { return WorkAreaRect().Top; }
  Integer WorkAreaWidth() const { return WorkAreaRect().Width(); }
  Integer WorkAreaHeight() const { return WorkAreaRect().Height(); }

  // monitors
  Integer MonitorCount() const;
  TMonitor* Monitors(Integer Index) const;
  TMonitor* PrimaryMonitor() const;
  TMonitor* MonitorFromPoint(TPoint Point, TMonitorDefaultTo Default = mdNearest) const;
  TMonitor* MonitorFromRect(const TRect& Rect, TMonitorDefaultTo Default = mdNearest) const;
  TMonitor* MonitorFromWindow(gdi::HWND Window, TMonitorDefaultTo Default = mdNearest) const;

  // fonts
  // hint windows take HintFont (colour clInfoText) when they are made
  TFont* HintFont() const { return FHintFont; }
  TFont* MenuFont() const { return FMenuFont; }
  TFont* IconFont() const { return FIconFont; }
  String DefaultIme() const { return String(); }
  // The installed families and the alias names, sorted case-insensitively;
  // filled again once the font map has changed.
  TStrings* Fonts();

  // events
  TNotifyEvent OnActiveFormChange;
  TNotifyEvent OnActiveControlChange;

  // for forms
  void AddForm(TCustomForm* Form);
  void RemoveForm(TCustomForm* Form);
  void SetActiveForm(TCustomForm* Form);
  // The monitor list from the system (or the injected one) again.
  void UpdateMonitors();

private:
  std::vector<TCustomForm*> FForms;
  TCustomForm* FActiveForm = nullptr;
  std::vector<TMonitor*> FMonitors;
  TFont* FHintFont;
  TFont* FMenuFont;
  TFont* FIconFont;
  TStringList* FFonts;
  Integer FFontsGeneration = -1;  // the font map's generation FFonts holds
};

// The program's objects (InitializeForms makes them).
extern TApplication* Application;
extern TScreen* Screen;

// Makes Application and Screen and installs the pump, router and exception
// hooks (idle: mouse enter/leave, then OnIdle; mouse moves and taken
// messages: the hint manager); a second call does nothing.
void InitializeForms();
// Frees them (the forms Application owns go with it) and restores the idle,
// quit and exception hooks; the hint links stay in the router and pump
// chains, inert (hooks installed after them stay too).
void FinalizeForms();

namespace test {

// Monitors Screen reports instead of the system's (empty: the system's);
// Screen's list is rebuilt.
void SetMonitors(const std::vector<TMonitorInfo>& Monitors);

}  // namespace test
