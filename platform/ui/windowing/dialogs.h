// Dialogs: the message boxes.
//
// Every box is a modal run of the seam in forms.h: a TModalRequest of Kind
// "dialog", ClassName "TMessageForm", the caption, the text, the buttons
// offered (the bits of a TMsgDlgButtons) and the default answer, answered by
// ExecuteModal.  A test's responder (test::ModalScript) answers it there;
// in a running program the box that InstallMessageBox puts behind the seam
// shows it.
//
// Rules of every box
//   The default button is the one asked for when it is offered, else the
//   first offered (in the order of TMsgDlgBtn).  Esc answers Cancel when it
//   is offered, else No, else OK (mrCancel when none of them is).  The box is
//   centred on the screen unless a position is given.
#pragma once

#include "platform/rtl/typinfo.h"
#include "platform/ui/windowing/forms.h"

// ---------------------------------------------------------------------------
// types

RTL_ENUM(TMsgDlgType, mtWarning, mtError, mtInformation, mtConfirmation, mtCustom)
RTL_ENUM(TMsgDlgBtn, mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp,
         mbClose)
using TMsgDlgButtons = TSet<TMsgDlgBtn>;

inline constexpr TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline constexpr TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline constexpr TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};

// Application.MessageBox flags: the buttons (low four bits), the icon and the
// default button.
inline constexpr Integer MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2, MB_YESNOCANCEL = 0x3,
                         MB_YESNO = 0x4, MB_RETRYCANCEL = 0x5, MB_TYPEMASK = 0xF;
inline constexpr Integer MB_ICONHAND = 0x10, MB_ICONERROR = 0x10, MB_ICONSTOP = 0x10, MB_ICONQUESTION = 0x20,
                         MB_ICONEXCLAMATION = 0x30, MB_ICONWARNING = 0x30, MB_ICONASTERISK = 0x40,
                         MB_ICONINFORMATION = 0x40, MB_ICONMASK = 0xF0;
inline constexpr Integer MB_DEFBUTTON1 = 0x0, MB_DEFBUTTON2 = 0x100, MB_DEFBUTTON3 = 0x200, MB_DEFBUTTON4 = 0x300,
                         MB_DEFMASK = 0xF00;
// Its answers: the same numbers as the modal results.
inline constexpr Integer IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7;

// ---------------------------------------------------------------------------
// message boxes

// Msg under the caption of DlgType ("Warning", "Error", "Information",
// "Confirmation"; mtCustom: Application.Title) with its icon and Buttons;
// the answer is the chosen button's modal result.  HelpCtx is not used.
TModalResult MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer HelpCtx);
TModalResult MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer HelpCtx,
                        TMsgDlgBtn DefaultButton);
// As MessageDlg with the box's top left at X, Y (either < 0: centred).
TModalResult MessageDlgPos(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer HelpCtx, Integer X,
                           Integer Y);
TModalResult MessageDlgPos(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer HelpCtx, Integer X,
                           Integer Y, TMsgDlgBtn DefaultButton);
// Msg with an OK button under Application.Title, no icon.
void ShowMessage(const String& Msg);
void ShowMessagePos(const String& Msg, Integer X, Integer Y);
// Application.MessageBox: Text under Caption with the buttons, icon and
// default of Flags; answers IDOK, IDCANCEL, IDYES, IDNO ...
Integer MessageBox(const String& Text, const String& Caption, Integer Flags = MB_OK);

// the rules, for the box and its tests

// "Warning" ... ; mtCustom: Application.Title (empty without Application).
String MsgDlgCaption(TMsgDlgType DlgType);
// "&Yes", "&No", "OK", "Cancel", "&Abort", "&Retry", "&Ignore", "&All",
// "N&o to All", "Yes to &All", "&Help", "&Close".
String MsgDlgButtonCaption(TMsgDlgBtn Button);
TModalResult MsgDlgButtonResult(TMsgDlgBtn Button);
// What Esc answers for Buttons.
TModalResult MsgDlgEscapeResult(TMsgDlgButtons Buttons);

// ---------------------------------------------------------------------------
// the real box

// Shows Request as a QMessageBox (a QApplication must exist) and waits for
// the answer: Request.Buttons are TMsgDlgButtons bits (none: OK), the
// default and Esc follow the rules above, closing the box answers as Esc.
TModalResult RunMessageBox(const TModalRequest& Request);
// Puts RunMessageBox behind the modal seam (SetDialogBox).  Where no person
// can answer (no QApplication, or the offscreen platform) the box answers
// Request.Default instead of waiting, and writes the message to stderr.
void InstallMessageBox();
