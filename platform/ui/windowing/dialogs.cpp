#include "platform/ui/windowing/dialogs.h"

#include "platform/rtl/scopeexit.h"
#include "platform/ui/windowing/application.h"
#include "platform/ui/windowing/windowingstate_p.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>

#include <cassert>
#include <utility>
#include <vector>

namespace {

constexpr TMsgDlgBtn FirstButton = mbYes;
constexpr TMsgDlgBtn LastButton = mbClose;

// What a request does not carry: the icon (mtCustom: none) and the place of
// the box.  The box being asked keeps it while ExecuteModal runs, so the
// real box can tell its own requests from the other kinds that reach it.
struct TBoxLook {
  const TModalRequest* Request = nullptr;
  TMsgDlgType Icon = mtCustom;
  Integer X = -1;
  Integer Y = -1;
};

}  // namespace

struct windowing_detail::TDialogState {
  const TBoxLook* Look = nullptr;
};

namespace {

const TBoxLook*& currentLook() { return WindowingState().Dialogs.Get().Look; }

TMsgDlgButtons buttonsOf(const TModalRequest& Request) {
  const TMsgDlgButtons Buttons = TMsgDlgButtons::FromBits(UInt64(Request.Buttons));
  return Buttons.Empty() ? TMsgDlgButtons{mbOK} : Buttons;
}

// The buttons in the order the box shows them.
std::vector<TMsgDlgBtn> buttonList(TMsgDlgButtons Buttons) {
  std::vector<TMsgDlgBtn> Result;
  for (int B = FirstButton; B <= LastButton; ++B)
    if (Buttons.Contains(TMsgDlgBtn(B))) Result.push_back(TMsgDlgBtn(B));
  return Result;
}

TModalResult defaultResult(TMsgDlgButtons Buttons, const TMsgDlgBtn* Asked) {
  if (Asked && Buttons.Contains(*Asked)) return MsgDlgButtonResult(*Asked);
  const std::vector<TMsgDlgBtn> List = buttonList(Buttons);
  return List.empty() ? mrNone : MsgDlgButtonResult(List.front());
}

// Asks through the modal seam with Look describing the box.
TModalResult ask(const String& Caption, const String& Text, TMsgDlgButtons Buttons, TModalResult Default,
                 TBoxLook Look) {
  TModalRequest Request;
  Request.Kind = QStringLiteral("dialog");
  Request.ClassName = QStringLiteral("TMessageForm");
  Request.Caption = Caption;
  Request.Text = Text;
  Request.Buttons = Integer(Buttons.Bits());
  Request.Default = Default;
  Look.Request = &Request;
  const TBoxLook* Outer = std::exchange(currentLook(), &Look);
  const TScopeExit Restore([Outer] { currentLook() = Outer; });
  return ExecuteModal(Request);
}

TModalResult messageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer X, Integer Y,
                        const TMsgDlgBtn* DefaultButton) {
  return ask(MsgDlgCaption(DlgType), Msg, Buttons, defaultResult(Buttons, DefaultButton),
             TBoxLook{nullptr, DlgType, X, Y});
}

// The buttons of a MessageBox flag set, in the order MB_DEFBUTTONn counts.
std::vector<TMsgDlgBtn> messageBoxButtons(Integer Flags) {
  switch (Flags & MB_TYPEMASK) {
    case MB_OKCANCEL: return {mbOK, mbCancel};
    case MB_ABORTRETRYIGNORE: return {mbAbort, mbRetry, mbIgnore};
    case MB_YESNOCANCEL: return {mbYes, mbNo, mbCancel};
    case MB_YESNO: return {mbYes, mbNo};
    case MB_RETRYCANCEL: return {mbRetry, mbCancel};
    default: return {mbOK};
  }
}

QMessageBox::Icon qtIcon(const TBoxLook* Look, const TModalRequest& Request) {
  if (!Look) return Request.Kind == QStringLiteral("error") ? QMessageBox::Critical : QMessageBox::NoIcon;
  switch (Look->Icon) {
    case mtWarning: return QMessageBox::Warning;
    case mtError: return QMessageBox::Critical;
    case mtInformation: return QMessageBox::Information;
    case mtConfirmation: return QMessageBox::Question;
    case mtCustom: break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::ButtonRole qtRole(TMsgDlgBtn Button) {
  switch (Button) {
    case mbYes:
    case mbYesToAll:
    case mbAll: return QMessageBox::YesRole;
    case mbNo:
    case mbNoToAll: return QMessageBox::NoRole;
    case mbOK: return QMessageBox::AcceptRole;
    case mbCancel:
    case mbClose: return QMessageBox::RejectRole;
    case mbHelp: return QMessageBox::HelpRole;
    case mbAbort:
    case mbRetry:
    case mbIgnore: break;
  }
  return QMessageBox::ActionRole;
}

}  // namespace

// ---------------------------------------------------------------------------
// message boxes

TModalResult MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer) {
  return messageDlg(Msg, DlgType, Buttons, -1, -1, nullptr);
}

TModalResult MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer,
                        TMsgDlgBtn DefaultButton) {
  return messageDlg(Msg, DlgType, Buttons, -1, -1, &DefaultButton);
}

TModalResult MessageDlgPos(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer, Integer X,
                           Integer Y) {
  return messageDlg(Msg, DlgType, Buttons, X, Y, nullptr);
}

TModalResult MessageDlgPos(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer, Integer X,
                           Integer Y, TMsgDlgBtn DefaultButton) {
  return messageDlg(Msg, DlgType, Buttons, X, Y, &DefaultButton);
}

void ShowMessage(const String& Msg) { ShowMessagePos(Msg, -1, -1); }

void ShowMessagePos(const String& Msg, Integer X, Integer Y) {
  messageDlg(Msg, mtCustom, TMsgDlgButtons{mbOK}, X, Y, nullptr);
}

Integer MessageBox(const String& Text, const String& Caption, Integer Flags) {
  const std::vector<TMsgDlgBtn> List = messageBoxButtons(Flags);
  TMsgDlgButtons Buttons;
  for (TMsgDlgBtn B : List) Buttons.Include(B);
  const size_t DefaultIndex = size_t((Flags & MB_DEFMASK) / MB_DEFBUTTON2);
  const TMsgDlgBtn Default = DefaultIndex < List.size() ? List[DefaultIndex] : List.front();
  TBoxLook Look;
  switch (Flags & MB_ICONMASK) {
    case MB_ICONERROR: Look.Icon = mtError; break;
    case MB_ICONQUESTION: Look.Icon = mtConfirmation; break;
    case MB_ICONWARNING: Look.Icon = mtWarning; break;
    case MB_ICONINFORMATION: Look.Icon = mtInformation; break;
    default: break;
  }
  return ask(Caption, Text, Buttons, MsgDlgButtonResult(Default), Look);
}

// ---------------------------------------------------------------------------
// the rules

String MsgDlgCaption(TMsgDlgType DlgType) {
  switch (DlgType) {
    case mtWarning: return QStringLiteral("Warning");
    case mtError: return QStringLiteral("Error");
    case mtInformation: return QStringLiteral("Information");
    case mtConfirmation: return QStringLiteral("Confirmation");
    case mtCustom: break;
  }
  return Application ? Application->Title() : String();
}

String MsgDlgButtonCaption(TMsgDlgBtn Button) {
  switch (Button) {
    case mbYes: return QStringLiteral("&Yes");
    case mbNo: return QStringLiteral("&No");
    case mbOK: return QStringLiteral("OK");
    case mbCancel: return QStringLiteral("Cancel");
    case mbAbort: return QStringLiteral("&Abort");
    case mbRetry: return QStringLiteral("&Retry");
    case mbIgnore: return QStringLiteral("&Ignore");
    case mbAll: return QStringLiteral("&All");
    case mbNoToAll: return QStringLiteral("N&o to All");
    case mbYesToAll: return QStringLiteral("Yes to &All");
    case mbHelp: return QStringLiteral("&Help");
    case mbClose: return QStringLiteral("&Close");
  }
  assert(false && "unknown message box button");
  return String();
}

TModalResult MsgDlgButtonResult(TMsgDlgBtn Button) {
  switch (Button) {
    case mbYes: return mrYes;
    case mbNo: return mrNo;
    case mbOK: return mrOk;
    case mbCancel: return mrCancel;
    case mbAbort: return mrAbort;
    case mbRetry: return mrRetry;
    case mbIgnore: return mrIgnore;
    case mbAll: return mrAll;
    case mbNoToAll: return mrNoToAll;
    case mbYesToAll: return mrYesToAll;
    case mbHelp: return mrHelp;
    case mbClose: return mrClose;
  }
  assert(false && "unknown message box button");
  return mrNone;
}

TModalResult MsgDlgEscapeResult(TMsgDlgButtons Buttons) {
  if (Buttons.Contains(mbCancel)) return mrCancel;
  if (Buttons.Contains(mbNo)) return mrNo;
  if (Buttons.Contains(mbOK)) return mrOk;
  return mrCancel;
}

// ---------------------------------------------------------------------------
// the real box

TModalResult RunMessageBox(const TModalRequest& Request) {
  const TBoxLook* Look = currentLook() && currentLook()->Request == &Request ? currentLook() : nullptr;
  const TMsgDlgButtons Buttons = buttonsOf(Request);
  QMessageBox Box(qtIcon(Look, Request), Request.Caption, Request.Text);
  std::vector<std::pair<QAbstractButton*, TModalResult>> Results;
  QPushButton* Escape = nullptr;
  const TModalResult EscapeResult = MsgDlgEscapeResult(Buttons);
  for (TMsgDlgBtn B : buttonList(Buttons)) {
    QPushButton* Button = Box.addButton(MsgDlgButtonCaption(B), qtRole(B));
    const TModalResult Result = MsgDlgButtonResult(B);
    Results.emplace_back(Button, Result);
    if (Result == Request.Default) {
      Box.setDefaultButton(Button);
      Button->setFocus();
    }
    if (Result == EscapeResult) Escape = Button;
  }
  if (Escape) Box.setEscapeButton(Escape);
  if (Look && Look->X >= 0 && Look->Y >= 0) Box.move(Look->X, Look->Y);
  Box.exec();
  for (const auto& [Button, Result] : Results)
    if (Button == Box.clickedButton()) return Result;
  return EscapeResult;
}

void InstallMessageBox() {
  SetDialogBox([](const TModalRequest& Request) {
    return PersonCanAnswer() ? RunMessageBox(Request) : AnswerUnattended(Request);
  });
}
