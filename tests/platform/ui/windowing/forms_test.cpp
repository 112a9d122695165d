#include "platform/ui/windowing/forms.h"

#include "platform/ui/graphics/fontmap.h"
#include "platform/ui/graphics/imagelist.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/windowing/focus.h"
#include "platform/ui/windowing/hwnd.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/timers.h"
#include "platform/ui/windowing/window.h"
#include "tests/platform/ui/formfixture.h"
#include "tests/platform/ui/pixelhelpers.h"

#include <QAction>
#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QMenu>
#include <QRegularExpression>
#include <QWidget>

namespace {

using namespace gdi;

class FormsTest : public ::testing::Test {
protected:
  void SetUp() override {
    InitializeForms();
    test::SetFailureReporter([](const String& Message) { ADD_FAILURE() << Message.toStdString(); });
    // Error boxes are modal runs: keep them as lines of text.
    SetDialogBox([this](const TModalRequest& R) {
      Boxes.append(R.Caption + u'|' + R.Text);
      return mrOk;
    });
  }
  void TearDown() override {
    SetDialogBox({});
    test::SetFailureReporter({});
    FinalizeForms();
    test::ResetQueue();
    test::ResetInput();
    test::ResetFocus();
  }

  TForm* NewForm(const String& Caption) {
    auto* F = new TForm(Application);
    F->SetCaption(Caption);
    return F;
  }

  QStringList Boxes;
};

// Records the events of a form.
struct TRecorder : TObject {
  QStringList Log;
  TCloseAction Action = caHide;
  bool CanClose = true;
  bool ThrowOnClose = false;
  void Close(TObject*, TCloseAction& A) {
    Log.append("close");
    if (ThrowOnClose) throw Exception(QStringLiteral("Store failed"));
    A = Action;
  }
  void CloseQuery(TObject*, bool& C) {
    Log.append("query");
    C = CanClose;
  }
  void Activate(TObject*) { Log.append("activate"); }
  void Deactivate(TObject*) { Log.append("deactivate"); }
  void MouseDown(TObject*, TMouseButton, TShiftState, int, int) { Log.append("down"); }
};

// A windowed control that logs the cancel notices, its own mouse enter and
// its presses.
class TSpy : public TCustomControl {
  RTL_CLASS(TSpy, TCustomControl)
public:
  TSpy(TWinControl* AParent, const String& AName, TRect Bounds, QStringList* ALog)
      : TCustomControl(AParent), Log(ALog) {
    SetName(AName);
    SetBoundsRect(Bounds);
    SetParent(AParent);
    OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { Log->append(Name() + " down"); };
  }
  QStringList* Log;

  void WndProc(TMessage& M) override {
    if (M.Msg == WM_CANCELMODE) Log->append(Name() + " WM_CANCELMODE");
    if (M.Msg == CM_CANCELMODE)
      Log->append(Name() + " CM_CANCELMODE from " + reinterpret_cast<TControl*>(M.LParam)->Name());
    if (M.Msg == CM_MOUSEENTER && M.LParam == 0) Log->append(Name() + " enter");
    TCustomControl::WndProc(M);
  }
};

void clickClient(TWinControl* C, TPoint P = {5, 5}) {
  const TPoint S = C->ClientToScreen(P);
  RouteMouse(C->Handle(), TMouseAction::Down, S, mbLeft, {});
  RouteMouse(C->Handle(), TMouseAction::Up, S, mbLeft, {});
  ProcessMessages();
}

TEST_F(FormsTest, FrameTableGivesTheClientArea) {
  struct Case {
    TFormBorderStyle Style;
    int ClientWidth, ClientHeight;
  } Cases[] = {{bsNone, 320, 240}, {bsSizeable, 312, 209}, {bsDialog, 314, 211}, {bsToolWindow, 314, 217}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(int(C.Style));
    TForm* F = NewForm("frame");
    F->SetBorderStyle(C.Style);
    F->Show();
    EXPECT_EQ(F->Width(), 320);
    EXPECT_EQ(F->ClientWidth(), C.ClientWidth);
    EXPECT_EQ(F->ClientHeight(), C.ClientHeight);
    F->Free();
  }
}

TEST_F(FormsTest, ScreenListsFormsAndFirstCreatedIsMainForm) {
  TForm* A = nullptr;
  TForm* B = nullptr;
  Application->CreateForm(A);
  Application->CreateForm(B);
  EXPECT_EQ(Application->MainForm(), A);
  ASSERT_EQ(Screen->FormCount(), 2);
  EXPECT_EQ(Screen->Forms(0), A);
  EXPECT_EQ(Screen->Forms(1), B);
  B->Free();
  EXPECT_EQ(Screen->FormCount(), 1);
}

TEST_F(FormsTest, OnCreateRunsOnceAfterTheMostDerivedConstructor) {
  struct TLogged : TForm {
    QStringList* Log;
    TLogged(TComponent* AOwner, QStringList* ALog) : TForm(AOwner), Log(ALog) { Log->append("constructor"); }
    void DoCreate() override { Log->append("create"); }
    void DoShow() override { Log->append("show"); }
  };
  QStringList Log;
  TLogged* Made = CreateForm<TLogged>(Application, &Log);
  EXPECT_EQ(Log, QStringList({"constructor", "create"}));
  Made->Show();
  Made->Hide();
  Made->Show();
  EXPECT_EQ(Log, QStringList({"constructor", "create", "show", "show"}));

  // Plain new: the first show runs it, before OnShow.
  Log.clear();
  auto* Plain = new TLogged(Application, &Log);
  EXPECT_EQ(Log, QStringList({"constructor"}));
  Plain->Show();
  Plain->Hide();
  Plain->Show();
  EXPECT_EQ(Log, QStringList({"constructor", "create", "show", "show"}));

  // A failing OnCreate is reported and the form still shows.
  TForm* Failing = NewForm("failing");
  Failing->OnCreate = [](TObject*) { throw Exception(QStringLiteral("Bad start.")); };
  Failing->Show();
  EXPECT_TRUE(Failing->Visible());
  EXPECT_EQ(Boxes, QStringList({"|Bad start."}));
}

TEST_F(FormsTest, ShowActivatesAndHideHandsActivationBack) {
  TRecorder R;
  TForm* A = NewForm("A");
  TForm* B = NewForm("B");
  A->OnActivate = {&R, &TRecorder::Activate};
  A->OnDeactivate = {&R, &TRecorder::Deactivate};
  A->Show();
  EXPECT_TRUE(A->Active());
  EXPECT_EQ(Screen->ActiveForm(), A);
  B->Show();
  EXPECT_EQ(Screen->ActiveForm(), B);
  EXPECT_FALSE(A->Active());
  B->Hide();
  EXPECT_EQ(Screen->ActiveForm(), A);
  EXPECT_EQ(R.Log, QStringList({"activate", "deactivate", "activate"}));
}

TEST_F(FormsTest, NonActivatingPopupLeavesTheActiveForm) {
  struct TPopup : TForm {
    using TForm::TForm;
    void CreateParams(TCreateParams& P) override {
      TForm::CreateParams(P);
      P.ExStyle |= WS_EX_NOACTIVATE | WS_EX_TOPMOST;
    }
  };
  TForm* Main = NewForm("main");
  Main->Show();
  auto* Popup = new TPopup(Application);
  Popup->SetBorderStyle(bsNone);
  Popup->Show();
  EXPECT_TRUE(IsWindowVisible(Popup->Handle()));
  EXPECT_EQ(Screen->ActiveForm(), Main);
  TRecorder R;
  Popup->OnMouseDown = {&R, &TRecorder::MouseDown};
  EXPECT_EQ(SendMessage(Popup->Handle(), WM_MOUSEACTIVATE, HandleToWParam(Popup->Handle()), 0), MA_NOACTIVATE);
  clickClient(Popup);
  EXPECT_EQ(R.Log, QStringList({"down"}));
  EXPECT_EQ(Screen->ActiveForm(), Main);
  EXPECT_FALSE(Popup->Active());

  // A window system that activates it anyway is not followed.
  ActivateWindow(nullptr);
  QEvent Activation(QEvent::WindowActivate);
  QCoreApplication::sendEvent(FindWindowObject(Popup->Handle())->Widget(), &Activation);
  EXPECT_EQ(Screen->ActiveForm(), nullptr);
  QCoreApplication::sendEvent(FindWindowObject(Main->Handle())->Widget(), &Activation);
  EXPECT_EQ(Screen->ActiveForm(), Main);
}

TEST_F(FormsTest, AClickElsewhereCancelsTheActiveControlsModeBeforeThePress) {
  QStringList Log;
  TForm* Main = NewForm("main");
  auto* Edit = new TSpy(Main, "Edit", Rect(10, 10, 110, 30), &Log);
  auto* Grid = new TSpy(Main, "Grid", Rect(10, 50, 110, 150), &Log);
  Main->Show();
  Edit->SetFocus();
  clickClient(Grid);
  EXPECT_EQ(Log, QStringList({"Edit CM_CANCELMODE from Grid", "Grid down"}));
}

// A focusable control that logs its CM_ENTER and CM_EXIT.
class TFocusLog : public TCustomControl {
  RTL_CLASS(TFocusLog, TCustomControl)
public:
  TFocusLog(TWinControl* AParent, const String& AName, QStringList* ALog) : TCustomControl(AParent), Log(ALog) {
    SetName(AName);
    SetBounds(10, 10, 60, 20);
    SetTabStop(true);
    SetParent(AParent);
  }
  QStringList* Log;

  void WndProc(TMessage& M) override {
    if (M.Msg == CM_ENTER) Log->append(Name() + " enter");
    if (M.Msg == CM_EXIT) Log->append(Name() + " exit");
    TCustomControl::WndProc(M);
  }
};

TEST_F(FormsTest, ControlsFreedWithTheFocusLeaveTheFormFocusedAndForgotten) {
  // The focused control itself, and a panel around the focused control.
  for (bool FreeParent : {false, true}) {
    SCOPED_TRACE(FreeParent ? "parent freed" : "control freed");
    QStringList Log;
    TForm* Main = NewForm("main");
    auto* Box = new TFocusLog(Main, "Box", &Log);
    Box->SetBounds(0, 0, 200, 100);
    auto* Edit = new TFocusLog(Box, "Edit", &Log);
    auto* Other = new TFocusLog(Main, "Other", &Log);
    Other->SetTop(120);
    Main->Show();
    Edit->SetFocus();
    ASSERT_EQ(Main->ActiveControl(), Edit);
    Log.clear();

    (FreeParent ? static_cast<TControl*>(Box) : Edit)->Free();
    EXPECT_EQ(Main->ActiveControl(), nullptr);
    EXPECT_EQ(GetFocus(), Main->Handle()) << "the form keeps the keyboard";
    Other->SetFocus();
    EXPECT_EQ(Main->ActiveControl(), Other);
    // Nothing reaches the freed controls; a surviving Box is only left.
    EXPECT_EQ(Log, FreeParent ? QStringList({"Other enter"}) : QStringList({"Box exit", "Other enter"}));
    Main->Free();
  }
}

TEST_F(FormsTest, ShowModalCancelsTheMouseCapture) {
  QStringList Log;
  TForm* Main = NewForm("main");
  auto* Grid = new TSpy(Main, "Grid", Rect(10, 50, 110, 150), &Log);
  Main->Show();
  RouteMouse(Grid->Handle(), TMouseAction::Down, Grid->ClientToScreen({5, 5}), mbLeft, {});
  ProcessMessages();
  ASSERT_EQ(GetCapture(), Grid->Handle());
  Log.clear();
  TForm* Dialog = NewForm("Dialog");
  test::ModalScript Script;
  Script.Then([&](TModalRequest& R) {
    EXPECT_EQ(GetCapture(), nullptr);
    R.Form->SetModalResult(mrOk);
  });
  EXPECT_EQ(Dialog->ShowModal(), mrOk);
  EXPECT_EQ(Log, QStringList({"Grid WM_CANCELMODE"}));
}

TEST_F(FormsTest, IdleEntersAControlThatAppearsUnderTheRestingMouse) {
  QStringList Log;
  TForm* Main = NewForm("main");
  Main->Show();
  RouteMouse(Main->Handle(), TMouseAction::Move, Main->ClientToScreen({50, 50}), mbLeft, {});
  ProcessMessages();
  new TSpy(Main, "Panel", Rect(40, 40, 80, 80), &Log);
  EXPECT_TRUE(Log.isEmpty());
  test::PumpUntil([&Log] { return !Log.isEmpty(); });
  EXPECT_EQ(Log, QStringList({"Panel enter"}));
}

TEST_F(FormsTest, ApplicationHintsFollowTheMouseAndEndOnAKey) {
  test::TStepClock Clock{1000};
  TClockScope ClockScope{Clock};
  QStringList Log;
  TForm* Main = NewForm("main");
  auto* Panel = new TSpy(Main, "Panel", Rect(10, 10, 110, 110), &Log);
  Panel->SetShowHint(true);
  Panel->SetHint("Open|Opens a reference");
  Main->Show();
  RouteMouse(Panel->Handle(), TMouseAction::Move, Panel->ClientToScreen({5, 5}), mbLeft, {});
  ProcessMessages();
  THintManager* Hints = Application->HintManager();
  EXPECT_EQ(Hints->HintControl(), Panel);
  EXPECT_EQ(Hints->Hint(), "Opens a reference");
  test::AdvanceTime(Application->HintPause());
  ASSERT_TRUE(Hints->HintShowing());
  EXPECT_EQ(Hints->HintWindow()->Caption(), "Open");
  RouteKey(Panel->Handle(), true, 'A', {});
  ProcessMessages();
  EXPECT_FALSE(Hints->HintShowing());
}

TEST_F(FormsTest, CloseQueryRefusalKeepsTheFormOpen) {
  TRecorder R;
  TForm* F = NewForm("F");
  F->OnCloseQuery = {&R, &TRecorder::CloseQuery};
  F->OnClose = {&R, &TRecorder::Close};
  F->Show();
  R.CanClose = false;
  F->Close();
  EXPECT_TRUE(F->Visible());
  R.CanClose = true;
  F->Close();
  EXPECT_FALSE(F->Visible());
  EXPECT_EQ(R.Log, QStringList({"query", "query", "close"}));
}

TEST_F(FormsTest, CloseWithCaFreeReleasesAfterThePump) {
  TRecorder R;
  R.Action = caFree;
  TForm* Main = NewForm("main");
  Application->CreateForm(Main);  // another form is the main one
  TForm* F = NewForm("F");
  F->OnClose = {&R, &TRecorder::Close};
  F->Show();
  F->Close();
  const int Before = Screen->FormCount();
  ProcessMessages();
  EXPECT_EQ(Screen->FormCount(), Before - 1);
}

TEST_F(FormsTest, MainFormOnCloseThrowingShowsOneErrorAndKeepsRunning) {
  TRecorder R;
  R.ThrowOnClose = true;
  TForm* Main = nullptr;
  Application->CreateForm(Main);
  Application->SetTitle("Catalog");
  Main->OnClose = {&R, &TRecorder::Close};
  Main->Show();
  PostMessage(Main->Handle(), WM_CLOSE, 0, 0);
  ProcessMessages();
  EXPECT_EQ(Boxes, QStringList({"Catalog|Store failed."}));
  EXPECT_FALSE(Application->Terminated());
  EXPECT_TRUE(Main->Visible());
  R.ThrowOnClose = false;
  PostMessage(Main->Handle(), WM_CLOSE, 0, 0);
  Application->Run();  // the close terminates
  EXPECT_TRUE(Application->Terminated());
}

TEST_F(FormsTest, ExceptionBoundary) {
  struct TThrower : TObject {
    bool Abort = false;
    void Proc(TMessage& M) {
      if (M.Msg != WM_USER) return;
      if (Abort) ::Abort();
      throw EConvertError(QStringLiteral("Bad value"));
    }
  } T;
  HWND W = AllocateHWnd({&T, &TThrower::Proc});
  PostMessage(W, WM_USER, 0, 0);
  ProcessMessages();
  T.Abort = true;
  PostMessage(W, WM_USER, 0, 0);
  ProcessMessages();
  EXPECT_EQ(Boxes, QStringList({"|Bad value."}));
  struct TCatcher : TObject {
    QStringList Seen;
    void OnException(TObject*, Exception* E) { Seen.append(E->ClassName()); }
  } C;
  Application->OnException = {&C, &TCatcher::OnException};
  T.Abort = false;
  PostMessage(W, WM_USER, 0, 0);
  ProcessMessages();
  EXPECT_EQ(C.Seen, QStringList({"EConvertError"}));
  EXPECT_EQ(Boxes.size(), 1);
  DeallocateHWnd(W);
}

TEST_F(FormsTest, HandleExceptionHandsItsSenderToOnException) {
  TObject* Heard = nullptr;
  Application->OnException = [&](TObject* Sender, Exception*) { Heard = Sender; };
  TForm* Reporter = NewForm("reporter");
  try {
    throw EConvertError(QStringLiteral("Bad value"));
  } catch (const Exception&) {
    Application->HandleException(Reporter);
  }
  EXPECT_EQ(Heard, Reporter);
  // Errors the message loop catches have no sender of their own.
  Application->HandleException(std::make_exception_ptr(EConvertError(QStringLiteral("Bad value"))));
  EXPECT_EQ(Heard, Application);
}

TEST_F(FormsTest, IdleAndTerminate) {
  struct TIdler : TObject {
    int Calls = 0;
    void Idle(TObject*, bool& Done) {
      if (++Calls == 3) Application->Terminate();
      Done = true;
    }
  } I;
  Application->OnIdle = {&I, &TIdler::Idle};
  EXPECT_TRUE(test::PumpUntil([] { return Application->Terminated(); }));
  EXPECT_GE(I.Calls, 3);
  EXPECT_EQ(Application->Handle(), ApplicationHandle());
}

TEST_F(FormsTest, ShowModalAnsweredByScript) {
  TForm* Main = NewForm("main");
  Main->Show();
  TForm* Dialog = NewForm("Dialog");
  TForm* Inner = NewForm("Inner");
  TModalResult InnerResult = mrNone;
  QStringList Order;
  test::ModalScript Script;
  Script
      .Then([&](TModalRequest& R) {
        EXPECT_EQ(R.Form, Dialog);
        EXPECT_TRUE(Dialog->Active());
        EXPECT_FALSE(IsWindowEnabled(Main->Handle()));
        InnerResult = Inner->ShowModal();
        Order.append("inner returned");
        EXPECT_TRUE(Dialog->Active());
        R.Form->SetModalResult(mrOk);
      })
      .Answer(mrYes);
  EXPECT_EQ(Dialog->ShowModal(), mrOk);
  EXPECT_EQ(InnerResult, mrYes);
  EXPECT_EQ(Order, QStringList({"inner returned"}));
  EXPECT_FALSE(Dialog->Visible());
  EXPECT_TRUE(IsWindowEnabled(Main->Handle()));
  EXPECT_EQ(Screen->ActiveForm(), Main);
  EXPECT_EQ(Script.Log(), QStringList({"form TForm 'Dialog'", "form TForm 'Inner'"}));
}

TEST_F(FormsTest, ShowModalErrors) {
  TForm* Dialog = NewForm("Lonely");
  {
    test::ModalScript Script;
    EXPECT_RAISES(Dialog->ShowModal(), EUnansweredModal, "No answer scripted for form TForm 'Lonely'");
    EXPECT_FALSE(Dialog->Visible());
    // A step that leaves no result fails as well.
    Script.Then([](TModalRequest&) {});
    EXPECT_RAISES(Dialog->ShowModal(), EUnansweredModal, "Modal form TForm ('Lonely') was left without a result");
  }
  Dialog->Show();
  EXPECT_RAISES(Dialog->ShowModal(), EInvalidOperation, "Cannot make a visible window modal");
}

TEST_F(FormsTest, ModalCloseQueryAndCloseAction) {
  TRecorder R;
  TForm* Dialog = NewForm("D");
  Dialog->OnCloseQuery = {&R, &TRecorder::CloseQuery};
  R.CanClose = false;
  test::ModalScript Script;
  // The refused result goes back to 0 and the next answer is asked for.
  Script.Answer(mrOk).Then([&](TModalRequest& Q) {
    R.CanClose = true;
    Q.Form->Close();  // a modal Close is mrCancel
  });
  EXPECT_EQ(Dialog->ShowModal(), mrCancel);
  EXPECT_EQ(R.Log, QStringList({"query", "query"}));
}

TEST_F(FormsTest, ModalBlocksOnlyWindowsVisibleAtItsStart) {
  TRecorder Before, After;
  TForm* Main = NewForm("main");
  Main->OnMouseDown = {&Before, &TRecorder::MouseDown};
  Main->Show();
  TForm* Dialog = NewForm("D");
  TForm* Popup = NewForm("popup");
  Popup->SetBorderStyle(bsNone);
  Popup->OnMouseDown = {&After, &TRecorder::MouseDown};
  test::ModalScript Script;
  Script.Then([&](TModalRequest& R) {
    clickClient(Main);
    Popup->Show();
    clickClient(Popup);
    R.Form->SetModalResult(mrOk);
  });
  Dialog->ShowModal();
  EXPECT_TRUE(Before.Log.isEmpty());
  EXPECT_EQ(After.Log, QStringList({"down"}));
}

TEST_F(FormsTest, DialogRequestsGoThroughTheResponder) {
  TModalRequest Request;
  Request.Kind = "dialog";
  Request.Text = "Delete the record?";
  Request.Default = mrNo;
  EXPECT_EQ(ExecuteModal(Request), mrOk);  // the dialog box of the fixture
  test::ModalScript Script;
  Script.Answer(mrYes);
  EXPECT_EQ(ExecuteModal(Request), mrYes);
  EXPECT_RAISES(ExecuteModal(Request), EUnansweredModal, "No answer scripted for dialog 'Delete the record?'");
}

TEST_F(FormsTest, UnusedAnswersAreReported) {
  QStringList Failures;
  test::SetFailureReporter([&](const String& M) { Failures.append(M); });
  { test::ModalScript Script; Script.Answer(mrOk); }
  EXPECT_EQ(Failures, QStringList({"ModalScript: 1 answer(s) left unused"}));
}

TEST_F(FormsTest, TranslucentAndStayOnTopStyles) {
  TForm* F = NewForm("F");
  F->SetFormStyle(fsStayOnTop);
  F->SetAlphaBlend(true);
  F->SetAlphaBlendValue(200);
  F->Show();
  EXPECT_TRUE(GetWindowLong(F->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  BYTE Alpha = 0;
  DWORD Flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(F->Handle(), nullptr, &Alpha, &Flags));
  EXPECT_EQ(Alpha, 200);
  EXPECT_EQ(Flags, DWORD(LWA_ALPHA));
  EXPECT_TRUE(GetWindowLong(F->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST_F(FormsTest, ScreenMonitors) {
  TMonitorInfo Left{TRect(0, 0, 1920, 1080), TRect(0, 0, 1920, 1040), 96, 0, 0, true};
  TMonitorInfo Right{TRect(1920, 0, 3200, 1024), TRect(1920, 0, 3200, 1024), 144, 340, 270, false};
  test::SetMonitors({Left, Right});
  EXPECT_EQ(Screen->MonitorCount(), 2);
  EXPECT_EQ(Screen->WorkAreaRect(), TRect(0, 0, 1920, 1040));
  EXPECT_EQ(Screen->DesktopRect(), TRect(0, 0, 3200, 1080));
  EXPECT_EQ(Screen->MonitorFromPoint({2000, 10})->PixelsPerInch(), 144);
  EXPECT_EQ(Screen->MonitorFromPoint({5000, 10})->MonitorNum(), 1);
  EXPECT_EQ(Screen->MonitorFromPoint({5000, 10}, mdNull), nullptr);
  EXPECT_EQ(Screen->MonitorFromPoint({5000, 10}, mdPrimary)->MonitorNum(), 0);
  EXPECT_EQ(Screen->MonitorFromRect(TRect(1800, 0, 2200, 100))->MonitorNum(), 1);
  EXPECT_EQ(Screen->PixelsPerInch(), 96);
  TForm* F = NewForm("F");
  F->SetPosition(poScreenCenter);
  F->SetDefaultMonitor(dmPrimary);
  F->Show();
  EXPECT_EQ(F->BoundsRect(), Bounds(800, 400, 320, 240));
  test::SetMonitors({});
}

TEST_F(FormsTest, SizeableFramesAnswerEdgesAndCorners) {
  struct Case {
    TFormBorderStyle Style;
    TPoint Window;  // window coordinates of a 320 x 240 form
    LRESULT Hit;
  } Cases[] = {
      {bsSizeable, {1, 1}, HTTOPLEFT},        {bsSizeable, {160, 1}, HTTOP},
      {bsSizeable, {318, 3}, HTTOPRIGHT},     {bsSizeable, {1, 26}, HTTOPLEFT},
      {bsSizeable, {1, 27}, HTLEFT},          {bsSizeable, {319, 120}, HTRIGHT},
      {bsSizeable, {3, 239}, HTBOTTOMLEFT},   {bsSizeable, {160, 236}, HTBOTTOM},
      {bsSizeable, {292, 239}, HTBOTTOM},     {bsSizeable, {293, 239}, HTBOTTOMRIGHT},
      {bsSizeable, {160, 4}, HTCAPTION},      {bsSizeable, {160, 26}, HTCAPTION},
      {bsSizeable, {160, 27}, HTCLIENT},      {bsSizeable, {4, 120}, HTCLIENT},
      {bsSizeable, {320, 120}, HTNOWHERE},    {bsSizeToolWin, {319, 239}, HTBOTTOMRIGHT},
      {bsSizeToolWin, {160, 10}, HTCAPTION},  {bsSingle, {0, 120}, HTBORDER},
      {bsDialog, {319, 239}, HTBORDER},       {bsToolWindow, {160, 1}, HTBORDER},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(QString("%1 at %2,%3").arg(int(C.Style)).arg(C.Window.X).arg(C.Window.Y).toStdString());
    TForm* F = NewForm("hit");
    F->SetBorderStyle(C.Style);
    F->SetBounds(100, 100, 320, 240);
    F->Show();
    EXPECT_EQ(SendMessage(F->Handle(), WM_NCHITTEST, 0, PointToLParam({100 + C.Window.X, 100 + C.Window.Y})), C.Hit);
    F->Free();
  }
}

TEST_F(FormsTest, AMaximizedFormHasNoSizingBorder) {
  TForm* F = NewForm("max");
  F->Show();
  F->SetWindowState(wsMaximized);
  const TRect B = F->BoundsRect();
  EXPECT_EQ(SendMessage(F->Handle(), WM_NCHITTEST, 0, PointToLParam({B.Right - 1, B.Bottom - 1})), HTBORDER);
}

// The form's own drag (the offscreen platform has no system move or resize):
// points are given on the screen, whatever the form's position by then.
class FrameDragTest : public FormsTest {
protected:
  void SetUp() override {
    FormsTest::SetUp();
    F = NewForm("drag");
    F->SetBounds(100, 100, 320, 240);
    F->OnMouseDown = {&R, &TRecorder::MouseDown};
    F->Show();
  }
  void Down(TPoint Screen) { test::MouseDown(F, F->ScreenToClient(Screen)); }
  void Move(TPoint Screen) { test::MouseMove(F, F->ScreenToClient(Screen)); }
  void Up(TPoint Screen) { test::MouseUp(F, F->ScreenToClient(Screen)); }

  TForm* F = nullptr;
  TRecorder R;
};

TEST_F(FrameDragTest, CaptionMovesTheForm) {
  Down({250, 110});
  EXPECT_EQ(GetCapture(), F->Handle());
  Move({260, 115});
  EXPECT_EQ(F->BoundsRect(), Bounds(110, 105, 320, 240));
  Move({280, 130});
  Up({280, 130});
  EXPECT_EQ(F->BoundsRect(), Bounds(130, 120, 320, 240));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_TRUE(R.Log.isEmpty()) << R.Log.join(',').toStdString();
  // Over, the moves reach the form again without moving it.
  Move({300, 200});
  EXPECT_EQ(F->BoundsRect(), Bounds(130, 120, 320, 240));
}

TEST_F(FrameDragTest, EdgesResizeWithinConstraints) {
  // Presses in a row lie apart: two on one spot would make a double click.
  struct Case {
    const char* Name;
    TPoint Press, Release;
    TRect Expected;
  } Cases[] = {
      {"right", {419, 200}, {469, 180}, Bounds(100, 100, 370, 240)},
      {"bottom", {250, 339}, {250, 300}, Bounds(100, 100, 320, 201)},
      {"bottom-right past the maximum", {419, 339}, {619, 439}, Bounds(100, 100, 400, 280)},
      {"left keeps the right edge", {100, 200}, {50, 200}, Bounds(50, 100, 370, 240)},
      {"bottom-right under the minimum", {419, 339}, {300, 200}, Bounds(100, 100, 250, 200)},
      {"top-left under the minimum", {101, 101}, {300, 250}, Bounds(170, 140, 250, 200)},
      {"top past the maximum", {250, 100}, {250, 0}, Bounds(100, 60, 320, 280)},
  };
  F->Constraints()->SetMinWidth(250);
  F->Constraints()->SetMinHeight(200);
  F->Constraints()->SetMaxWidth(400);
  F->Constraints()->SetMaxHeight(280);
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    F->SetBounds(100, 100, 320, 240);
    Down(C.Press);
    Move(C.Release);
    Up(C.Release);
    EXPECT_EQ(F->BoundsRect(), C.Expected);
    EXPECT_EQ(GetCapture(), nullptr);
  }
}

TEST_F(FrameDragTest, AMaximizedFormStaysPut) {
  test::SetMonitors({{TRect(0, 0, 1920, 1080), TRect(0, 0, 1920, 1040), 96, 0, 0, true}});
  F->SetWindowState(wsMaximized);
  Down({500, 10});
  EXPECT_EQ(GetCapture(), nullptr);
  Move({600, 100});
  Up({600, 100});
  EXPECT_EQ(F->BoundsRect(), TRect(0, 0, 1920, 1040));
  test::SetMonitors({});
}

TEST_F(FrameDragTest, CancelModePutsTheFormBack) {
  Down({419, 339});
  Move({450, 400});
  EXPECT_EQ(F->BoundsRect(), Bounds(100, 100, 351, 301));
  SendMessage(F->Handle(), WM_CANCELMODE, 0, 0);
  EXPECT_EQ(F->BoundsRect(), Bounds(100, 100, 320, 240));
  EXPECT_EQ(GetCapture(), nullptr);
  Move({500, 450});
  EXPECT_EQ(F->BoundsRect(), Bounds(100, 100, 320, 240));
}

TEST_F(FormsTest, ScreenFontsFollowTheFontMap) {
  TStrings* Fonts = Screen->Fonts();
  EXPECT_EQ(Fonts->Count(), ScreenFontNames().size());
  EXPECT_EQ(Fonts->IndexOf("Corporate Sans"), -1);
  AddFontAlias("Corporate Sans", "DejaVu Serif");
  EXPECT_EQ(Screen->Fonts(), Fonts);
  const Integer I = Fonts->IndexOf("Corporate Sans");
  ASSERT_GE(I, 0);
  EXPECT_LT(Fonts->Strings(I - 1).compare(Fonts->Strings(I), Qt::CaseInsensitive), 0);
  EXPECT_GT(Fonts->Strings(I + 1).compare(Fonts->Strings(I), Qt::CaseInsensitive), 0);
  ResetFontAliases();
  EXPECT_EQ(Screen->Fonts()->IndexOf("Corporate Sans"), -1);
}

TEST_F(FormsTest, ScreenCursorsAreTheCursorTable) {
  const HCURSOR Own = CreateCursorFromImage(QCursor(Qt::OpenHandCursor));
  EXPECT_EQ(Screen->Cursors(crHandPoint), GetCursorHandle(crHandPoint));
  EXPECT_EQ(Screen->Cursors(40), Screen->Cursors(crDefault));
  Screen->SetCursors(40, Own);
  EXPECT_EQ(Screen->Cursors(40), Own);
  EXPECT_EQ(GetCursorHandle(40), Own);
  Screen->SetCursors(40, nullptr);
  EXPECT_EQ(Screen->Cursors(40), Screen->Cursors(crDefault));
}

TEST_F(FormsTest, WindowStateKeepsTheNormalBounds) {
  test::SetMonitors({{TRect(0, 0, 1920, 1080), TRect(0, 0, 1920, 1040), 96, 0, 0, true}});
  TForm* F = NewForm("state");
  F->SetBounds(100, 100, 320, 240);
  F->Show();
  WINDOWPLACEMENT P;
  F->SetWindowState(wsMaximized);
  EXPECT_EQ(F->BoundsRect(), TRect(0, 0, 1920, 1040));
  ASSERT_TRUE(GetWindowPlacement(F->Handle(), &P));
  EXPECT_EQ(P.showCmd, UINT(SW_SHOWMAXIMIZED));
  EXPECT_EQ(P.rcNormalPosition, Bounds(100, 100, 320, 240));
  F->SetWindowState(wsMinimized);
  EXPECT_FALSE(IsWindowVisible(F->Handle()));
  ASSERT_TRUE(GetWindowPlacement(F->Handle(), &P));
  EXPECT_EQ(P.showCmd, UINT(SW_SHOWMINIMIZED));
  EXPECT_EQ(P.rcNormalPosition, Bounds(100, 100, 320, 240));
  // Maximized, then minimized, then restored: back to the normal bounds.
  F->SetWindowState(wsNormal);
  EXPECT_TRUE(IsWindowVisible(F->Handle()));
  EXPECT_EQ(F->BoundsRect(), Bounds(100, 100, 320, 240));
  ASSERT_TRUE(GetWindowPlacement(F->Handle(), &P));
  EXPECT_EQ(P.showCmd, UINT(SW_SHOWNORMAL));
  test::SetMonitors({});
}

TEST_F(FormsTest, SetWindowPlacementRestoresAStoredPlacement) {
  test::SetMonitors({{TRect(0, 0, 1920, 1080), TRect(0, 0, 1920, 1040), 96, 0, 0, true}});
  struct Case {
    const char* Name;
    UINT ShowCmd;
    TWindowState State;
    TRect Bounds;
    bool Shown;
  } Cases[] = {
      {"normal", SW_SHOWNORMAL, wsNormal, Bounds(10, 20, 300, 200), true},
      {"maximized", SW_SHOWMAXIMIZED, wsMaximized, TRect(0, 0, 1920, 1040), true},
      {"minimized", SW_SHOWMINIMIZED, wsMinimized, Bounds(10, 20, 300, 200), false},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TForm* F = NewForm("placed");
    WINDOWPLACEMENT P;
    P.showCmd = C.ShowCmd;
    P.rcNormalPosition = Bounds(10, 20, 300, 200);
    ASSERT_TRUE(SetWindowPlacement(F->Handle(), &P));
    EXPECT_TRUE(F->Visible());
    EXPECT_EQ(F->WindowState(), C.State);
    EXPECT_EQ(F->BoundsRect(), C.Bounds);
    EXPECT_EQ(F->NormalBounds(), Bounds(10, 20, 300, 200));
    EXPECT_EQ(bool(IsWindowVisible(F->Handle())), C.Shown);
    F->SetWindowState(wsNormal);
    EXPECT_EQ(F->BoundsRect(), Bounds(10, 20, 300, 200));
    F->Free();
  }
  WINDOWPLACEMENT P;
  EXPECT_FALSE(GetWindowPlacement(nullptr, &P));
  EXPECT_FALSE(SetWindowPlacement(nullptr, &P));
  test::SetMonitors({});
}

// ---------------------------------------------------------------------------
// the main menu

// A focusable control that logs the keys reaching its KeyDown.
class TKeyLog : public TCustomControl {
  RTL_CLASS(TKeyLog, TCustomControl)
public:
  explicit TKeyLog(TWinControl* AParent) : TCustomControl(AParent) {
    SetParent(AParent);
    SetBounds(10, 10, 100, 30);
    SetTabStop(true);
  }
  QStringList Keys;

protected:
  // Modifier keys have no text and are left out.
  void KeyDown(Word& Key, TShiftState Shift) override {
    if (const String Text = ShortCutToText(ShortCut(Key, Shift)); !Text.isEmpty()) Keys.append(Text);
  }
};

// A control that answers its caption's accelerator as a button does.
class TAccelControl : public TCustomControl {
  RTL_CLASS(TAccelControl, TCustomControl)
public:
  using TCustomControl::TCustomControl;

protected:
  void WndProc(TMessage& Message) override {
    auto& Key = reinterpret_cast<TCMDialogChar&>(Message);
    if (Message.Msg == CM_DIALOGCHAR && IsAccel(Key.CharCode, Caption())) {
      Click();
      Message.Result = 1;
      return;
    }
    TCustomControl::WndProc(Message);
  }
};

class MenuBarTest : public FormsTest {
protected:
  void SetUp() override {
    FormsTest::SetUp();
    Form = NewForm("Catalog");
    Form->SetBounds(100, 100, 320, 240);
    Menu = new TMainMenu(Form);
    Menu->SetName("mmMain");
  }
  void TearDown() override {
    SetMenuResponder({});
    FormsTest::TearDown();
  }

  TMenuItem* item(TMenuItem* Parent, const String& Caption, TShortCut Key = 0) {
    return AddLoggingItem(Form, Parent, Caption, Key, Ran);
  }

  TForm* Form = nullptr;
  TMainMenu* Menu = nullptr;
  QStringList Ran;
  const int Row = GetSystemMetrics(SM_CYMENU);
};

TEST_F(MenuBarTest, TheBarTakesItsHeightFromTheWindow) {
  auto* Panel = new TCustomControl(Form);
  Panel->SetParent(Form);
  Panel->SetAlign(alClient);
  Form->Show();
  const TPoint Origin = Form->ClientOrigin();
  Form->SetMenu(Menu);
  EXPECT_EQ(Form->ClientHeight(), 209);  // nothing to show yet
  TMenuItem* File = item(Menu->Items(), "&File");
  EXPECT_EQ(Form->Height(), 240);
  EXPECT_EQ(Form->ClientHeight(), 209 - Row);
  EXPECT_EQ(Form->ClientWidth(), 312);
  EXPECT_EQ(Form->ClientOrigin(), (TPoint{Origin.X, Origin.Y + Row}));
  // Client coordinates start below the bar; aligned children follow it.
  EXPECT_EQ(Panel->BoundsRect(), Rect(0, 0, 312, 209 - Row));

  // Too narrow for two items side by side: a row each.
  item(Menu->Items(), "&Edit");
  item(Menu->Items(), "&View");
  Form->SetWidth(40);
  EXPECT_EQ(Form->ClientHeight(), 209 - 3 * Row);
  Form->SetWidth(320);
  EXPECT_EQ(Form->ClientHeight(), 209 - Row);

  // Hidden items and lines take no room; the bar goes with the last one.
  for (Integer I = 1; I < 3; ++I) Menu->Items()->Items(I)->SetVisible(false);
  item(Menu->Items(), "-");
  File->SetVisible(false);
  EXPECT_EQ(Form->ClientHeight(), 209);
  File->SetVisible(true);
  EXPECT_EQ(Panel->Height(), 209 - Row);

  Form->SetMenu(nullptr);
  EXPECT_EQ(Form->ClientHeight(), 209);
  EXPECT_EQ(Menu->WindowHandle(), nullptr);
  Form->SetMenu(Menu);
  EXPECT_EQ(Menu->WindowHandle(), Form->Handle());
  Menu->Free();
  EXPECT_EQ(Form->Menu(), nullptr);
  EXPECT_EQ(Form->ClientHeight(), 209);
  EXPECT_EQ(Panel->Height(), 209);
}

TEST_F(MenuBarTest, APressOnTheBarOpensTheItemsSubmenu) {
  TMenuItem* File = item(Menu->Items(), "&File");
  TMenuItem* Open = item(File, "&Open", TextToShortCut("Ctrl+O"));
  TMenuItem* Exit = item(File, "E&xit");
  Exit->SetEnabled(false);
  Form->SetMenu(Menu);
  Form->Show();

  const TPoint Bar{100 + 4, 100 + 27};  // the bar's top-left on the screen
  struct Case {
    const char* Name;
    TPoint At;
    LRESULT Hit;
  } Cases[] = {
      {"caption", {Bar.X + 8, Bar.Y - 1}, HTCAPTION},
      {"first item", {Bar.X + 8, Bar.Y}, HTMENU},
      {"bar right of the items", {Bar.X + 300, Bar.Y + Row - 1}, HTMENU},
      {"client", {Bar.X + 8, Bar.Y + Row}, HTCLIENT},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(SendMessage(Form->Handle(), WM_NCHITTEST, 0, PointToLParam(C.At)), C.Hit);
  }

  std::vector<TMenuRequest> Requests;
  QStringList Shown;
  SetMenuResponder([&](const TMenuRequest& R) {
    Requests.push_back(R);
    for (QAction* A : R.QtMenu->actions()) Shown.append(A->text() + (A->isEnabled() ? "" : " (off)"));
    return Open;
  });
  test::Click(Form, {8, -Row / 2});
  ASSERT_EQ(Requests.size(), 1u);
  EXPECT_EQ(Requests[0].Menu, Menu);
  EXPECT_EQ(Requests[0].Item, File);
  EXPECT_EQ(Requests[0].Point, (TPoint{Bar.X, Bar.Y + Row}));
  EXPECT_EQ(Shown, QStringList({"&Open\tCtrl+O", "E&xit (off)"}));
  // The bar item's own click comes first (it may prepare its items).
  EXPECT_EQ(Ran, QStringList({"&File", "&Open"}));

  // Built again at every opening: changes show at once.
  Exit->SetEnabled(true);
  Shown.clear();
  test::Click(Form, {8, -Row / 2});
  EXPECT_EQ(Shown, QStringList({"&Open\tCtrl+O", "E&xit"}));

  // A press beside the items opens nothing.
  test::Click(Form, {290, -Row / 2});
  EXPECT_EQ(Requests.size(), 2u);
}

TEST_F(MenuBarTest, AltAndAnAcceleratorOpenTheBarItemAfterTheControlsAccelerators) {
  TMenuItem* File = item(Menu->Items(), "&File");
  TMenuItem* Open = item(File, "&Open");
  TMenuItem* Help = item(Menu->Items(), "&Help");
  item(Help, "&About");
  Form->SetMenu(Menu);
  auto* Focus = new TKeyLog(Form);
  auto* Button = new TAccelControl(Form);
  Button->SetParent(Form);
  Button->SetBounds(10, 50, 80, 25);
  Button->SetCaption("&Help me");
  QStringList Clicks;
  Button->OnClick = [&](TObject*) { Clicks.append("button"); };
  Form->Show();
  Focus->SetFocus();

  std::vector<TMenuRequest> Requests;
  SetMenuResponder([&](const TMenuRequest& R) {
    Requests.push_back(R);
    return R.Item == File ? Open : nullptr;
  });
  test::Key('F', {ssAlt});
  ASSERT_EQ(Requests.size(), 1u);
  EXPECT_EQ(Requests[0].Item, File);
  EXPECT_EQ(Requests[0].Point, (TPoint{100 + 4, 100 + 27 + Row}));
  EXPECT_EQ(Ran, QStringList({"&File", "&Open"}));

  // The button's accelerator comes first; a letter nothing owns opens nothing.
  test::Key('H', {ssAlt});
  test::Key('Q', {ssAlt});
  EXPECT_EQ(Clicks, QStringList({"button"}));
  EXPECT_EQ(Requests.size(), 1u);
  // Without Alt a letter is the focused control's.
  Focus->SetFocus();
  test::Key('F');
  EXPECT_EQ(Requests.size(), 1u);
  EXPECT_EQ(Focus->Keys.last(), "F");
}

TEST_F(MenuBarTest, BarChangesShowAtOnce) {
  TMenuItem* File = item(Menu->Items(), "&File");
  Form->SetMenu(Menu);
  Form->Show();
  const TRect Bar = Rect(4, 27, 316, 27 + Row);  // window coordinates
  auto textPixels = [&](TColor Colour) { return CountPixels(GrabWindow(Form).get(), Bar, ColorToRGB(Colour)); };
  const int Enabled = textPixels(clMenuText);
  EXPECT_GT(Enabled, 10);
  EXPECT_EQ(textPixels(clGrayText), 0);
  File->SetEnabled(false);
  EXPECT_EQ(textPixels(clMenuText), 0);
  EXPECT_GT(textPixels(clGrayText), 10);
  File->SetEnabled(true);
  File->SetCaption("&File and folders");
  EXPECT_GT(textPixels(clMenuText), Enabled);

  // An image from the menu's list shows left of the caption.
  auto* Images = new TCustomImageList(Form);
  QImage Red(16, 16, QImage::Format_RGB32);
  Red.fill(Qt::red);
  TBitmap Glyph;
  Glyph.SetImage(Red);
  Images->Add(&Glyph, nullptr);
  Menu->SetImages(Images);
  EXPECT_EQ(textPixels(clRed), 0);
  File->SetImageIndex(0);
  EXPECT_EQ(textPixels(clRed), 16 * 16);
}

TEST_F(MenuBarTest, ShortCutsGoToOnShortCutThenThePopupChainThenTheMenu) {
  auto* Field = new TKeyLog(Form);
  auto* Popup = new TPopupMenu(Form);
  Field->SetPopupMenu(Popup);
  TMenuItem* Select = item(Menu->Items(), "Select all", TextToShortCut("Ctrl+A"));
  item(Menu->Items(), "Bold", TextToShortCut("Ctrl+B"));
  item(Popup->Items(), "Bold here", TextToShortCut("Ctrl+B"));
  Form->SetMenu(Menu);
  Form->Show();
  Field->SetFocus();

  test::Key('A', {ssCtrl});
  test::Key('B', {ssCtrl});
  EXPECT_EQ(Ran, QStringList({"Select all", "Bold here"}));
  EXPECT_TRUE(Field->Keys.filter(QRegularExpression("[AB]$")).isEmpty());

  // A disabled item still takes its key.
  Select->SetEnabled(false);
  test::Key('A', {ssCtrl});
  EXPECT_EQ(Ran.size(), 2);
  EXPECT_TRUE(Field->Keys.filter("A").isEmpty());

  // OnShortCut is asked first.
  Select->SetEnabled(true);
  Form->OnShortCut = [](TWMKey& Message, bool& Handled) { Handled = Message.CharCode == 'A'; };
  test::Key('A', {ssCtrl});
  EXPECT_EQ(Ran.size(), 2);
  test::Key('D', {ssCtrl});
  EXPECT_EQ(Field->Keys, QStringList({"Ctrl+D"}));
}

}  // namespace
