// Forms: TCustomForm and TForm, the top-level windows of the program, and the
// modal seam every modal run goes through.
//
// Frame
//   A form keeps its outer Width/Height; the frame is ours and fixed per
//   BorderStyle (FormFrame), so the client area is the same under every
//   window manager and offscreen.  Qt only shows the whole window.
//
// Menu bar
//   A top-level form with a Menu that has visible items draws the bar in its
//   frame, under the caption: rows of SM_CYMENU pixels, the items from the
//   left in the screen's menu font, wrapping to a new row where the width
//   ends.  The bar takes its height from the window, never from the client
//   area's coordinates; a change of the menu lays the frame out again.  A
//   press on an item opens it (TMainMenu::OpenItem).
//
// Activation
//   The activation tracker (focus.h) sends WM_ACTIVATE; the form answers it:
//   Active, Screen->ActiveForm, CM_ACTIVATE / CM_DEACTIVATE, OnActivate /
//   OnDeactivate and the focus back to ActiveControl.  Show activates unless
//   the window is WS_EX_NOACTIVATE (popups that never take the focus from
//   the control that opened them).
//
// Creation
//   C++ runs no code of a derived form before its constructor ends, so
//   OnCreate (DoCreate) runs from AfterConstruction: make forms through
//   CreateForm<T>(Owner) or Application->CreateForm(Reference), which call it
//   once the most-derived constructor has run.  A form made with plain `new`
//   runs OnCreate when it is first shown, before OnShow; OnCreate runs once.
//
// Modal runs
//   ShowModal disables every visible enabled top level except itself, so
//   windows shown later (drop-downs and popups of the modal form) take input;
//   then it pumps (msgqueue.h) until ModalResult is not 0.  With a modal
//   responder installed (SetModalResponder; test::ModalScript) the responder
//   answers instead of a person and ShowModal never waits: a run the
//   responder leaves without a result raises EUnansweredModal.
#pragma once

#include "platform/ui/windowing/controls.h"
#include "platform/ui/windowing/focus.h"

#include <functional>
#include <utility>

class TMainMenu;
class TMenuItem;
class TMonitor;

// ---------------------------------------------------------------------------
// types

using TModalResult = Integer;
inline constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
                              mrYes = 6, mrNo = 7, mrClose = 8, mrHelp = 9, mrTryAgain = 10, mrContinue = 11,
                              mrAll = 12, mrNoToAll = 13, mrYesToAll = 14;

RTL_ENUM(TFormBorderStyle, bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin)
RTL_ENUM(TBorderIcon, biSystemMenu, biMinimize, biMaximize, biHelp)
using TBorderIcons = TSet<TBorderIcon>;
RTL_ENUM(TFormStyle, fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop)
RTL_ENUM(TPosition, poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
         poMainFormCenter, poOwnerFormCenter)
RTL_ENUM(TWindowState, wsNormal, wsMinimized, wsMaximized)
RTL_ENUM(TCloseAction, caNone, caHide, caFree, caMinimize)
RTL_ENUM(TDefaultMonitor, dmDesktop, dmPrimary, dmMainForm, dmActiveForm)

using TCloseEvent = TMethodPtr<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = TMethodPtr<void(TObject* Sender, bool& CanClose)>;
// A key message before any control sees it (menus and actions plug in).
using TShortCutEvent = TMethodPtr<void(TWMKey& Msg, bool& Handled)>;

// The frame a border style gives a top level: border on each edge and the
// caption height below the top border.
struct TFormFrame {
  Integer Border = 0;
  Integer Caption = 0;
};
TFormFrame FormFrame(TFormBorderStyle Style);

// ---------------------------------------------------------------------------
// TCustomForm

class TCustomForm : public TWinControl, public IFocusHost {
  RTL_CLASS(TCustomForm, TWinControl)
  UI_MESSAGE_MAP
public:
  // Forms are built in code: the constructor is also the bare CreateNew.
  // Hidden, bsSizeable, 320 x 240; joins Screen->Forms.
  explicit TCustomForm(TComponent* AOwner);
  ~TCustomForm() override;
  // OnCreate (exceptions go to HandleException) unless it ran already;
  // CreateForm calls it once the most-derived constructor has run.
  void AfterConstruction() override;
  // OnDestroy (exceptions go to HandleException), then the base's.
  void BeforeDestruction() override;

  // showing and closing
  // Visible, on top, activated (not for WS_EX_NOACTIVATE windows).
  void Show();
  void Hide();
  // Modal: ModalResult := mrCancel.  Else CloseQuery, then OnClose with
  // Action caHide: caHide hides, caFree releases, caMinimize minimizes, the
  // main form terminates the application instead.  Exceptions from the
  // handlers leave Close.
  void Close();
  // OnCloseQuery; True lets the form close.
  virtual bool CloseQuery();
  // EInvalidOperation "Cannot make a visible window modal" when visible or
  // disabled.  Runs the modal loop (see the top) and answers ModalResult.
  virtual TModalResult ShowModal();
  // Frees the form once the messages waiting now have been handled (posted
  // CM_RELEASE).
  void Release();
  // Activates the form (its window) now.
  void Activate();

  // focus (IFocusHost)
  // Records Control as ActiveControl, moving CM_EXIT / CM_ENTER; answers
  // False (refusing the focus) while the form is being destroyed.
  bool SetFocusedControl(TWinControl* Control) override;
  // Active form: focuses Control; else only records it.
  void FocusControl(TWinControl* Control) override;
  void DefocusControl(TWinControl* Control) override;
  // Key routing's step 1: OnShortCut; unless it handled the key, the
  // PopupMenu chain of ActiveControl (the form's own without one), then
  // Menu (menus.h IsShortCut).
  bool IsShortCut(TWMKey& Message) override;
  bool KeyPreview() override { return FKeyPreview; }

  // properties
  TWinControl* ActiveControl() const { return FActiveControl; }
  // The menu bar's menu (nullptr: none); not owned.
  TMainMenu* Menu() const { return FMenu; }
  void SetMenu(TMainMenu* Value);
  // EInvalidOperation "Cannot focus a disabled or invisible window" when the
  // form is active and Control cannot take the focus.
  void SetActiveControl(TWinControl* Control);
  bool Active() const { return FActive; }
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value);
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons Value);
  // A change recreates the window.
  TFormStyle FormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle Value);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition Value) { FPosition = Value; }
  TDefaultMonitor DefaultMonitor() const { return FDefaultMonitor; }
  void SetDefaultMonitor(TDefaultMonitor Value) { FDefaultMonitor = Value; }
  TMonitor* Monitor();
  TWindowState WindowState() const { return FWindowState; }
  void SetWindowState(TWindowState Value);
  // Where the form goes back to from minimized or maximized (screen);
  // setting it in the normal state moves the form there.
  TRect NormalBounds() const;
  void SetNormalBounds(const TRect& Value);
  void SetKeyPreview(bool Value) { FKeyPreview = Value; }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  // The form is inside ShowModal.
  bool Modal() const { return FModal; }
  // Translucency: WS_EX_LAYERED with the alpha and the keyed-out colour.
  bool AlphaBlend() const { return FAlphaBlend; }
  void SetAlphaBlend(bool Value);
  Byte AlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(Byte Value);
  bool TransparentColor() const { return FTransparentColor; }
  void SetTransparentColor(bool Value);
  TColor TransparentColorValue() const { return FTransparentColorValue; }
  void SetTransparentColorValue(TColor Value);
  Integer PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(Integer Value) { FPixelsPerInch = Value; }

  // events
  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TShortCutEvent OnShortCut;

protected:
  // introduced virtuals
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& Action);
  virtual void Activated();
  virtual void Deactivated();

  // reimplemented
  // WS_POPUP with the border style's WS_CAPTION / WS_THICKFRAME / ...,
  // WS_EX_TOPMOST for fsStayOnTop, WS_EX_TOOLWINDOW for the tool styles,
  // WS_EX_LAYERED for AlphaBlend / TransparentColor; the main form's owner
  // is the application window, other forms' the main form.
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  bool ShowsWithoutParent() const override;
  // Forgets a freed Menu.
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void SendCancelMode(TControl* Sender) override;
  void MouseWheelHandler(TMessage& Message) override;

  // message handlers
  void WMNCCalcSize(TWMNCCalcSize& Message);
  void WMNCPaint(TWMNCPaint& Message);
  void WMNCHitTest(TWMNCHitTest& Message);
  // A press on the menu bar opens the item there.  A maximized or minimized
  // form does not move by its caption.
  void WMNCLButtonDown(TMessage& Message);
  // Alt + a bar item's accelerator that no control took opens the item.
  void CMDialogChar(TCMDialogChar& Message);
  void WMActivate(TWMActivate& Message);
  void WMClose(TMessage& Message);
  void WMSysColorChange(TMessage& Message);
  void WMSettingChange(TMessage& Message);
  void CMShowingChanged(TMessage& Message);
  void CMRelease(TMessage& Message);
  void CMTextChanged(TMessage& Message);
  // The menu's tree or a shown property changed.
  void CMMenuChanged(TMessage& Message);

private:
  friend class TScreen;
  void applyLayering();
  void placeAtFirstShow();
  void activeChanged(bool Active);
  // The frame laid out again (the menu bar's height may differ); WM_SIZE
  // when the client area changed.
  void frameChanged();
  // Opens bar item Item, at ItemRect in window coordinates.
  void openBarItem(TMenuItem* Item, const TRect& ItemRect);

  TWinControl* FActiveControl = nullptr;
  // Where CM_ENTER went last: ActiveControl, or what is left of its parent
  // chain after it was taken away (CM_EXIT starts there at the next move).
  TWinControl* FFocusedControl = nullptr;
  TMainMenu* FMenu = nullptr;
  bool FActive = false;
  TFormBorderStyle FBorderStyle = bsSizeable;
  TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
  TFormStyle FFormStyle = fsNormal;
  TPosition FPosition = poDesigned;
  TDefaultMonitor FDefaultMonitor = dmActiveForm;
  TWindowState FWindowState = wsNormal;
  TRect FNormalBounds;
  bool FPlaced = false;  // Position applied (at the first show)
  bool FKeyPreview = false;
  TModalResult FModalResult = mrNone;
  bool FModal = false;
  bool FAlphaBlend = false;
  Byte FAlphaBlendValue = 255;
  bool FTransparentColor = false;
  TColor FTransparentColorValue = clBlack;
  Integer FPixelsPerInch = 96;
  bool FReleasing = false;
  bool FCreated = false;  // OnCreate ran
};

// ---------------------------------------------------------------------------
// TForm

class TForm : public TCustomForm {
  RTL_CLASS(TForm, TCustomForm)
public:
  explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

// ---------------------------------------------------------------------------
// window placement: the state and normal rectangle of a form's window

namespace gdi {

struct WINDOWPLACEMENT {
  UINT length = sizeof(WINDOWPLACEMENT);
  UINT flags = 0;
  UINT showCmd = SW_SHOWNORMAL;  // SW_SHOWNORMAL, SW_SHOWMINIMIZED or SW_SHOWMAXIMIZED
  POINT ptMinPosition{-1, -1};
  POINT ptMaxPosition{-1, -1};
  RECT rcNormalPosition;         // screen coordinates
};

// A form's WindowState and NormalBounds; other windows are normal at their
// window rectangle.  0 for a window that does not exist.
BOOL GetWindowPlacement(HWND Window, WINDOWPLACEMENT* Placement);
// Sets a form's NormalBounds, then the state showCmd names; SW_HIDE hides
// the form, the other commands make it visible without activating it.
// Other windows are only placed.  0 for a window that does not exist.
BOOL SetWindowPlacement(HWND Window, const WINDOWPLACEMENT* Placement);

}  // namespace gdi

// Makes a form of class T, then runs its OnCreate (AfterConstruction).
template <class T, class... Args>
T* CreateForm(Args&&... Arguments) {
  T* Form = new T(std::forward<Args>(Arguments)...);
  Form->AfterConstruction();
  return Form;
}

// The form Control sits on: the top-level one with TopForm, else the
// nearest; nullptr when none.
TCustomForm* GetParentForm(TControl* Control, bool TopForm = true);

// Key is the accelerator of Caption: the character after a single '&'
// ("&&" is a literal '&'), compared without case.
bool IsAccel(Word Key, const String& Caption);

// ---------------------------------------------------------------------------
// the modal seam

// A modal run that asks for an answer.  Forms: Form set, the rest from it;
// dialogs (message boxes, platform dialogs, drop-down Execute, popup-menu
// tracking): Form null, Kind and the texts describe it.
struct TModalRequest {
  String Kind;                  // "form", "dialog", "dropdown", "popupmenu" ...
  TCustomForm* Form = nullptr;  // the modal form, shown, the other windows disabled
  String ClassName;             // the form's class, or what the caller names
  String Caption;
  String Text;                  // dialogs: the message
  Integer Buttons = 0;          // dialogs: the buttons offered (caller's set)
  TModalResult Default = mrNone;
  TModalResult Result = mrNone; // the answer: forms use their ModalResult
  // Common dialogs (commdlg.h): the dialog component asked, whose settings
  // the answer may change, and the text in and out (file name, folder, input).
  TObject* Dialog = nullptr;
  String Value;
};
// Answers a modal request: for a form it acts on the form (fills controls,
// injects input, sets ModalResult); for others it sets Request.Result.
using TModalResponder = std::function<void(TModalRequest& Request)>;
// Installs the responder (empty: none, modal runs wait for a person) and
// returns the previous one.
TModalResponder SetModalResponder(TModalResponder Responder);
bool ModalResponderInstalled();

// The entry for modal runs that are not forms: the responder's answer when
// one is installed; else the installed dialog box (SetDialogBox); else
// Request.Default, reported with AnswerUnattended.
TModalResult ExecuteModal(TModalRequest& Request);
// Whether a person can answer a real dialog: a QApplication runs on a
// platform that shows windows (not the offscreen one of tests).
bool PersonCanAnswer();
// Where no person can answer (no dialog box, or no display to show it on):
// writes the request's caption and text to stderr, so no message is lost,
// and answers Request.Default.
TModalResult AnswerUnattended(const TModalRequest& Request);
// The real message box / dialog for ExecuteModal (the dialogs area installs
// it); returns the previous one.  A box that asks for a text puts it in Value.
using TDialogBox = std::function<TModalResult(TModalRequest& Request)>;
TDialogBox SetDialogBox(TDialogBox Box);

// The responder left a modal run without an answer.
RTL_DECLARE_EXCEPTION(EUnansweredModal, Exception)
