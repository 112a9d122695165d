// Hints: the hint window and the protocol that shows it.
//
// When the mouse comes to rest on a control whose ShowHint is set (or whose
// nearest parent with ShowHint has it), the hint manager asks the control
// for the pause with CM_HINTSHOWPAUSE (HintPause, or HintShortPause right
// after a hint showed) and starts a timer.  When it fires, the control gets
// CM_HINTSHOW with a prefilled THintInfo it may change; a non-zero Result,
// OnShowHint refusing or an empty text show nothing.  Otherwise a window of
// HintWindowClass measures the text (CalcHintRect), is moved to HintPos and
// shown (ActivateHintData).  The hint goes when the mouse leaves CursorRect
// (a new cycle with the short pause), on a key or button press, on mouse
// capture, or after HideTimeout ms (-1: never); a ReshowTimeout > 0 asks
// the control again after that many ms.  Timing runs on TTimer, so on the
// installed clock.
//
// The application holds one THintManager and forwards its hint properties
// and the router's MouseMoved hook and the pump's message filter to it.
#pragma once

#include "platform/rtl/component.h"
#include "platform/ui/windowing/controls.h"

class TTimer;

using THintWindowClass = TClass;

// What CM_HINTSHOW lets the control see and change.  Positions are screen
// coordinates except CursorRect and CursorPos (the control's client ones).
struct THintInfo {
  TControl* HintControl = nullptr;
  THintWindowClass HintWindowClass = nullptr;
  TPoint HintPos;
  Integer HintMaxWidth = 0;
  TColor HintColor = clInfoBk;
  TRect CursorRect;
  TPoint CursorPos;
  Integer ReshowTimeout = 0;
  Integer HideTimeout = 0;
  String HintStr;
  void* HintData = nullptr;
};

using TShowHintEvent = TMethodPtr<void(String& HintStr, bool& CanShow, THintInfo& HintInfo)>;

// ---------------------------------------------------------------------------
// THintWindow: a borderless-but-framed (WS_BORDER), non-activating,
// stay-on-top tool window without parent that paints its Caption into its
// backing image, word-wrapped, on Color, in Screen.HintFont (taken when it is
// made).

class THintWindow : public TCustomControl {
  RTL_CLASS(THintWindow, TCustomControl)
public:
  explicit THintWindow(TComponent* AOwner);

  // The window rectangle (at 0, 0) that shows AHint wrapped at MaxWidth.
  virtual TRect CalcHintRect(Integer MaxWidth, const String& AHint, void* AData);
  // Shows AHint in Rect (screen; kept on the screen) without activating.
  virtual void ActivateHint(TRect Rect, const String& AHint);
  // ActivateHint; descendants use the data.
  virtual void ActivateHintData(TRect Rect, const String& AHint, void* AData);
  // Whether Msg ends the hint: key and button presses, activation changes.
  virtual bool IsHintMsg(const gdi::MSG& Msg);
  // Hides the window and destroys it.
  void ReleaseHandle();

protected:
  // WS_POPUP | WS_BORDER; WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE; no parent.
  void CreateParams(TCreateParams& Params) override;
  bool ShowsWithoutParent() const override { return true; }
  void Paint() override;
};

// ---------------------------------------------------------------------------
// THintManager: the application's hint settings and the hint cycle.

class THintManager : public TComponent {
  RTL_CLASS(THintManager, TComponent)
public:
  explicit THintManager(TComponent* AOwner);
  ~THintManager() override;

  // settings; turning ShowHint off cancels the hint
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  TColor HintColor() const { return FHintColor; }
  void SetHintColor(TColor Value) { FHintColor = Value; }
  Integer HintPause() const { return FHintPause; }
  void SetHintPause(Integer Value) { FHintPause = Value; }
  Integer HintShortPause() const { return FHintShortPause; }
  void SetHintShortPause(Integer Value) { FHintShortPause = Value; }
  Integer HintHidePause() const { return FHintHidePause; }
  void SetHintHidePause(Integer Value) { FHintHidePause = Value; }
  // A THintWindow class; the next hint makes its window of it.
  THintWindowClass HintWindowClass() const { return FHintWindowClass; }
  void SetHintWindowClass(THintWindowClass Value);
  // The long hint of the control under the mouse; a change fires OnHint.
  const String& Hint() const { return FHint; }
  void SetHint(const String& Value);

  // state
  THintWindow* HintWindow() const { return FHintWindow; }
  // The control the current cycle is about; nullptr when none.
  TControl* HintControl() const { return FHintControl; }
  // A hint shows.
  bool HintShowing() const;

  // entry points
  // The router's MouseMoved hook: the mouse went to ScreenPoint over Window.
  void MouseMoved(gdi::HWND Window, TPoint ScreenPoint);
  // The pump's filter: a message ending the hint cancels it.  Never consumes.
  void MessageTaken(const gdi::MSG& Msg);
  // Ends the cycle: no hint until the mouse moves onto a hint control again.
  void CancelHint();
  // Hides the hint window; the cycle stays (no new hint inside CursorRect).
  void HideHint();
  // Shows the hint for the current control at CursorPos (screen) now.
  void ActivateHint(TPoint CursorPos);

  // events (Sender: the owner, or the manager without one)
  TNotifyEvent OnHint;
  TShowHintEvent OnShowHint;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  enum class TTimerMode { Show, Hide };
  void startTimer(Integer Ms, TTimerMode Mode);
  void timerTick(TObject* Sender);
  void setHintControl(TControl* Control);
  void ensureHintWindow();

  bool FShowHint = true;
  TColor FHintColor = clInfoBk;
  Integer FHintPause = 500;
  Integer FHintShortPause = 50;
  Integer FHintHidePause = 2500;
  THintWindowClass FHintWindowClass;
  String FHint;
  TControl* FHintControl = nullptr;
  TControl* FMouseControl = nullptr;  // for Hint / OnHint
  TRect FHintCursorRect;              // client coordinates of FHintControl
  bool FHintActive = false;           // a hint showed in this cycle (short pause next)
  THintWindow* FHintWindow = nullptr;
  TTimer* FTimer = nullptr;
  TTimerMode FTimerMode = TTimerMode::Show;
};

// The nearest control from Control up whose Hint is not empty; its Hint.
String GetHint(TControl* Control);
