#include "platform/ui/windowing/dialogs.h"

#include "platform/ui/windowing/application.h"
#include "platform/ui/windowing/modaltest.h"
#include "tests/support/testing.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

namespace {

// Application (whose Title custom boxes take) exists.
class TitledTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() { InitializeForms(); }
  void SetUp() override { Application->SetTitle(QStringLiteral("Bibliona")); }
};

class DialogsTest : public TitledTest {
protected:
  // Answers the next box with Answer and keeps its request.
  TModalRequest Asked;
  test::ModalScript Script;
  void AnswerWith(TModalResult Answer) {
    Script.Then([this, Answer](TModalRequest& Request) {
      Asked = Request;
      Request.Result = Answer;
    });
  }
};

Integer bitsOf(TMsgDlgButtons Buttons) { return Integer(Buttons.Bits()); }

// ---------------------------------------------------------------------------
// requests

TEST_F(DialogsTest, EveryKindAsksWithItsCaptionButtonsAndDefault) {
  struct Case {
    const char* Name;
    TMsgDlgType Type;
    TMsgDlgButtons Buttons;
    const char* Caption;
    TModalResult Default;
  } Cases[] = {
      {"warning", mtWarning, {mbYes, mbNo}, "Warning", mrYes},
      {"error", mtError, {mbOK}, "Error", mrOk},
      {"information", mtInformation, {mbOK}, "Information", mrOk},
      {"confirmation", mtConfirmation, mbOKCancel, "Confirmation", mrOk},
      {"custom takes the title", mtCustom, {mbYes, mbNo, mbAll}, "Bibliona", mrYes},
      {"first in button order, not in set order", mtWarning, {mbCancel, mbIgnore, mbRetry}, "Warning", mrCancel},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    AnswerWith(mrNo);
    EXPECT_EQ(MessageDlg(QStringLiteral("Are you sure you want to delete?"), C.Type, C.Buttons, 0), mrNo);
    EXPECT_EQ(Asked.Kind, QStringLiteral("dialog"));
    EXPECT_EQ(Asked.ClassName, QStringLiteral("TMessageForm"));
    EXPECT_EQ(Asked.Form, nullptr);
    EXPECT_EQ(Asked.Caption, QString::fromLatin1(C.Caption));
    EXPECT_EQ(Asked.Text, QStringLiteral("Are you sure you want to delete?"));
    EXPECT_EQ(Asked.Buttons, bitsOf(C.Buttons));
    EXPECT_EQ(Asked.Default, C.Default);
  }
}

TEST_F(DialogsTest, TheGivenDefaultButtonCountsOnlyWhenOffered) {
  AnswerWith(mrCancel);
  EXPECT_EQ(MessageDlg(QStringLiteral("Move all references to wastebasket?"), mtWarning, mbYesNoCancel, 0, mbNo),
            mrCancel);
  EXPECT_EQ(Asked.Default, mrNo);
  EXPECT_EQ(Asked.Buttons, bitsOf({mbYes, mbNo, mbCancel}));

  AnswerWith(mrOk);
  MessageDlg(QStringLiteral("Delete record?"), mtConfirmation, mbOKCancel, 0, mbNo);
  EXPECT_EQ(Asked.Default, mrOk) << "No is not offered: the first button";
}

TEST_F(DialogsTest, PositionedBoxesAskAsTheOthers) {
  AnswerWith(mrYes);
  EXPECT_EQ(MessageDlgPos(QStringLiteral("Limit exceeded"), mtError, {mbYes, mbNo}, 0, -1, -1, mbNo), mrYes);
  EXPECT_EQ(Asked.Caption, QStringLiteral("Error"));
  EXPECT_EQ(Asked.Default, mrNo);

  AnswerWith(mrOk);
  MessageDlgPos(QStringLiteral("Limit exceeded"), mtInformation, {mbOK}, 0, 10, 20);
  EXPECT_EQ(Asked.Caption, QStringLiteral("Information"));
  EXPECT_EQ(Asked.Default, mrOk);
}

TEST_F(DialogsTest, ShowMessageAsksWithTheTitleAndOneOKButton) {
  for (bool Positioned : {false, true}) {
    SCOPED_TRACE(Positioned);
    AnswerWith(mrOk);
    if (Positioned) ShowMessagePos(QStringLiteral("Doi не задан!"), 5, 5);
    else ShowMessage(QStringLiteral("Doi не задан!"));
    EXPECT_EQ(Asked.Kind, QStringLiteral("dialog"));
    EXPECT_EQ(Asked.ClassName, QStringLiteral("TMessageForm"));
    EXPECT_EQ(Asked.Caption, QStringLiteral("Bibliona"));
    EXPECT_EQ(Asked.Text, QStringLiteral("Doi не задан!"));
    EXPECT_EQ(Asked.Buttons, bitsOf({mbOK}));
    EXPECT_EQ(Asked.Default, mrOk);
  }
  EXPECT_EQ(Script.Log(), QStringList({QStringLiteral("dialog 'Doi не задан!'"),
                                       QStringLiteral("dialog 'Doi не задан!'")}));
}

TEST_F(DialogsTest, ApplicationMessageBoxMapsItsFlags) {
  struct Case {
    const char* Name;
    Integer Flags;
    TMsgDlgButtons Buttons;
    TModalResult Default;
  } Cases[] = {
      {"ok", MB_OK, {mbOK}, IDOK},
      {"ok cancel, error icon", MB_OKCANCEL | MB_ICONERROR, mbOKCancel, IDOK},
      {"ok cancel, second default", MB_OKCANCEL | MB_DEFBUTTON2, mbOKCancel, IDCANCEL},
      {"yes no", MB_YESNO | MB_ICONQUESTION, {mbYes, mbNo}, IDYES},
      {"yes no cancel, third default", MB_YESNOCANCEL | MB_DEFBUTTON3, mbYesNoCancel, IDCANCEL},
      {"yes no, third default is not there", MB_YESNO | MB_DEFBUTTON3, {mbYes, mbNo}, IDYES},
      {"abort retry ignore, second default", MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, mbAbortRetryIgnore, IDRETRY},
      {"retry cancel", MB_RETRYCANCEL | MB_ICONWARNING, {mbRetry, mbCancel}, IDRETRY},
      {"unknown button code: ok", 0xE | MB_ICONINFORMATION, {mbOK}, IDOK},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    AnswerWith(IDCANCEL);
    EXPECT_EQ(MessageBox(QStringLiteral("database is locked"), QStringLiteral("Database communication error"), C.Flags),
              IDCANCEL);
    EXPECT_EQ(Asked.Kind, QStringLiteral("dialog"));
    EXPECT_EQ(Asked.ClassName, QStringLiteral("TMessageForm"));
    EXPECT_EQ(Asked.Caption, QStringLiteral("Database communication error"));
    EXPECT_EQ(Asked.Text, QStringLiteral("database is locked"));
    EXPECT_EQ(Asked.Buttons, bitsOf(C.Buttons));
    EXPECT_EQ(Asked.Default, C.Default);
  }
  AnswerWith(IDNO);
  EXPECT_EQ(Application->MessageBox(QStringLiteral("Delete a file?"), QStringLiteral("Bibliona"), MB_YESNO), IDNO);
  EXPECT_EQ(Asked.Caption, QStringLiteral("Bibliona"));
}

// ---------------------------------------------------------------------------
// rules

TEST(DialogRules, EscapeAnswersCancelElseNoElseOK) {
  struct Case {
    const char* Name;
    TMsgDlgButtons Buttons;
    TModalResult Expected;
  } Cases[] = {
      {"yes no", {mbYes, mbNo}, mrNo},
      {"yes no cancel", mbYesNoCancel, mrCancel},
      {"ok", {mbOK}, mrOk},
      {"ok cancel", mbOKCancel, mrCancel},
      {"no ok", {mbNo, mbOK}, mrNo},
      {"yes no all", {mbYes, mbNo, mbAll}, mrNo},
      {"none of them: closing cancels", mbAbortRetryIgnore, mrCancel},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(MsgDlgEscapeResult(C.Buttons), C.Expected);
  }
}

TEST(DialogRules, ButtonsHaveTheirTextsAndResults) {
  struct Case {
    TMsgDlgBtn Button;
    const char* Caption;
    TModalResult Result;
  } Cases[] = {
      {mbYes, "&Yes", mrYes},           {mbNo, "&No", mrNo},
      {mbOK, "OK", mrOk},               {mbCancel, "Cancel", mrCancel},
      {mbAbort, "&Abort", mrAbort},     {mbRetry, "&Retry", mrRetry},
      {mbIgnore, "&Ignore", mrIgnore},  {mbAll, "&All", mrAll},
      {mbNoToAll, "N&o to All", mrNoToAll}, {mbYesToAll, "Yes to &All", mrYesToAll},
      {mbHelp, "&Help", mrHelp},        {mbClose, "&Close", mrClose},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Caption);
    EXPECT_EQ(MsgDlgButtonCaption(C.Button), QString::fromLatin1(C.Caption));
    EXPECT_EQ(MsgDlgButtonResult(C.Button), C.Result);
  }
}

// ---------------------------------------------------------------------------
// the real box

// Runs Ask while the next QMessageBox to open is looked at by Check and then
// gets Key.
TModalResult pressOnBox(int Key, const std::function<void(QMessageBox*)>& Check,
                        const std::function<TModalResult()>& Ask) {
  QTimer Poll;
  QObject::connect(&Poll, &QTimer::timeout, [&] {
    auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!Box || !Box->isVisible()) return;
    Poll.stop();
    Check(Box);
    QWidget* Target = Box->focusWidget() ? Box->focusWidget() : Box;
    QKeyEvent Press(QEvent::KeyPress, Key, Qt::NoModifier);
    QApplication::sendEvent(Target, &Press);
  });
  Poll.start(0);
  return Ask();
}

QStringList buttonTexts(QMessageBox* Box) {
  QStringList Result;
  for (QAbstractButton* B : Box->buttons()) Result.append(B->text());
  Result.sort();
  return Result;
}

String defaultText(QMessageBox* Box) { return Box->defaultButton() ? Box->defaultButton()->text() : String(); }

// The real box behind the seam, with no responder.
class RealMessageBoxTest : public TitledTest {
protected:
  void SetUp() override {
    TitledTest::SetUp();
    FPreviousResponder = SetModalResponder({});
    FPreviousBox = SetDialogBox(RunMessageBox);
  }
  void TearDown() override {
    SetDialogBox(FPreviousBox);
    SetModalResponder(FPreviousResponder);
  }

private:
  TModalResponder FPreviousResponder;
  TDialogBox FPreviousBox;
};

TEST_F(RealMessageBoxTest, YesNoEscapeAnswersNo) {
  const TModalResult Result = pressOnBox(
      Qt::Key_Escape,
      [](QMessageBox* Box) {
        EXPECT_EQ(Box->windowTitle(), QStringLiteral("Warning"));
        EXPECT_EQ(Box->text(), QStringLiteral("Are you sure you want to delete?"));
        EXPECT_EQ(Box->icon(), QMessageBox::Warning);
        EXPECT_EQ(buttonTexts(Box), QStringList({QStringLiteral("&No"), QStringLiteral("&Yes")}));
        EXPECT_EQ(defaultText(Box), QStringLiteral("&Yes"));
      },
      [] { return MessageDlg(QStringLiteral("Are you sure you want to delete?"), mtWarning, {mbYes, mbNo}, 0); });
  EXPECT_EQ(Result, mrNo);
}

TEST_F(RealMessageBoxTest, EnterChoosesTheGivenDefault) {
  const TModalResult Result = pressOnBox(
      Qt::Key_Return,
      [](QMessageBox* Box) {
        EXPECT_EQ(buttonTexts(Box),
                  QStringList({QStringLiteral("&No"), QStringLiteral("&Yes"), QStringLiteral("Cancel")}));
        EXPECT_EQ(defaultText(Box), QStringLiteral("&No"));
      },
      [] {
        return MessageDlg(QStringLiteral("Move all references to wastebasket?"), mtWarning, mbYesNoCancel, 0, mbNo);
      });
  EXPECT_EQ(Result, mrNo);
}

TEST_F(RealMessageBoxTest, OKOnlyEscapeAnswersOKAndShowMessageHasNoIcon) {
  const TModalResult Result = pressOnBox(
      Qt::Key_Escape,
      [](QMessageBox* Box) {
        EXPECT_EQ(Box->windowTitle(), QStringLiteral("Bibliona"));
        EXPECT_EQ(Box->icon(), QMessageBox::NoIcon);
        EXPECT_EQ(buttonTexts(Box), QStringList({QStringLiteral("OK")}));
        EXPECT_EQ(Box->pos(), QPoint(30, 40));
      },
      [] {
        ShowMessagePos(QStringLiteral("Doi не задан!"), 30, 40);
        return mrOk;
      });
  EXPECT_EQ(Result, mrOk);
  EXPECT_EQ(pressOnBox(
                Qt::Key_Escape, [](QMessageBox*) {},
                [] { return MessageDlg(QStringLiteral("Data error"), mtWarning, {mbOK}, 0); }),
            mrOk);
}

TEST_F(RealMessageBoxTest, MessageBoxFlagsPickTheIconAndTheDefault) {
  const Integer Result = pressOnBox(
      Qt::Key_Return,
      [](QMessageBox* Box) {
        EXPECT_EQ(Box->windowTitle(), QStringLiteral("Database communication error"));
        EXPECT_EQ(Box->icon(), QMessageBox::Critical);
        EXPECT_EQ(defaultText(Box), QStringLiteral("Cancel"));
      },
      [] {
        return MessageBox(QStringLiteral("database is locked"), QStringLiteral("Database communication error"),
                          MB_OKCANCEL | MB_ICONERROR | MB_DEFBUTTON2);
      });
  EXPECT_EQ(Result, IDCANCEL);
}

TEST_F(RealMessageBoxTest, OtherRequestsShowWithoutTheLookOfAMessageBox) {
  TModalRequest Request;
  Request.Kind = QStringLiteral("error");
  Request.Caption = QStringLiteral("Bibliona");
  Request.Text = QStringLiteral("Disk full.");
  Request.Default = mrOk;
  const TModalResult Result = pressOnBox(
      Qt::Key_Escape,
      [](QMessageBox* Box) {
        EXPECT_EQ(Box->icon(), QMessageBox::Critical);
        EXPECT_EQ(buttonTexts(Box), QStringList({QStringLiteral("OK")}));
      },
      [&] { return ExecuteModal(Request); });
  EXPECT_EQ(Result, mrOk);
}

TEST(InstalledMessageBox, OffscreenWithoutAResponderAnswersTheDefaultAtOnce) {
  InitializeForms();
  const TModalResponder PreviousResponder = SetModalResponder({});
  const TDialogBox PreviousBox = SetDialogBox({});
  InstallMessageBox();
  EXPECT_EQ(MessageDlg(QStringLiteral("Move all references to wastebasket?"), mtWarning, mbYesNoCancel, 0, mbNo),
            mrNo);
  EXPECT_EQ(MessageBox(QStringLiteral("x"), QStringLiteral("y"), MB_YESNO | MB_DEFBUTTON2), IDNO);
  SetDialogBox(PreviousBox);
  SetModalResponder(PreviousResponder);
}

}  // namespace
