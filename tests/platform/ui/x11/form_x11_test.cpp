// A form on the real X11 platform (run under a virtual display with the xcb
// plugin): shown, mapped and painted by the X server, driven by input that
// goes through Qt's window-system event delivery to our input router, closed;
// then a modal run closed by its own timer while the first form is blocked.
//
// Every wait is bounded in seconds of real time and fails the test when it
// runs out; nothing asserts on how long anything took.
#include "platform/ui/windowing/forms.h"

#include "platform/ui/controls/extctrls.h"
#include "platform/ui/controls/stdctrls.h"
#include "platform/ui/windowing/application.h"
#include "platform/ui/windowing/hwnd.h"
#include "platform/ui/windowing/modaltest.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/timers.h"
#include "platform/ui/windowing/uitest.h"
#include "platform/ui/windowing/window.h"
#include "tests/platform/ui/pixelhelpers.h"
#include "tests/platform/ui/x11/x11fixture.h"
#include "tests/support/testing.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <functional>

namespace {

using namespace gdi;
using namespace x11test;

// The point of Control's widget at Local, in its top-level window.
QPoint inTopLevel(TWinControl* Control, QPoint Local) {
  QWidget* Widget = widgetOf(Control);
  return Widget->mapTo(Widget->window(), Local);
}

// The colour the X server shows at Point of the top-level window.
QColor shownAt(QWidget* TopLevel, QPoint Point) {
  const QImage Shot = serverShot(TopLevel);
  if (Shot.isNull() || !Shot.rect().contains(Point)) return {};
  return Shot.pixelColor(Point);
}

// A form with a panel (a red shape on it), a label and a group box.
struct TSample {
  TForm* Form;
  TPanel* Panel;
  TShape* Shape;
  TLabel* Label;
  TGroupBox* Group;

  TSample(const String& Caption, int Left, int Top) {
    Form = CreateForm<TForm>(Application);
    Form->SetCaption(Caption);
    Form->SetBounds(Left, Top, 400, 300);
    Panel = new TPanel(Form);
    Panel->SetParent(Form);
    Panel->SetBounds(10, 10, 200, 120);
    Panel->SetBevelOuter(bvNone);
    Panel->SetParentBackground(false);
    Panel->SetColor(clLime);
    Shape = new TShape(Form);
    Shape->SetParent(Panel);
    Shape->SetBounds(20, 20, 40, 40);
    Shape->Brush()->SetColor(clRed);
    Label = new TLabel(Form);
    Label->SetParent(Form);
    Label->SetBounds(10, 140, 100, 16);
    Label->SetCaption(QStringLiteral("Title"));
    Group = new TGroupBox(Form);
    Group->SetParent(Form);
    Group->SetBounds(220, 10, 150, 120);
    Group->SetCaption(QStringLiteral("Options"));
  }

  QWidget* TopLevel() const { return widgetOf(Form); }
  QWindow* Window() const { return TopLevel()->windowHandle(); }
  QPoint PanelCentre() const { return inTopLevel(Panel, {100, 60}); }
  QPoint ShapeCentre() const { return inTopLevel(Panel, {40, 40}); }

  // Mapped, exposed and showing the panel and the shape on the X server.
  bool Shown() const {
    QWidget* W = TopLevel();
    if (!W || !W->windowHandle() || !W->windowHandle()->isExposed()) return false;
    return shownAt(W, PanelCentre()) == qtColor(clLime) && shownAt(W, ShapeCentre()) == qtColor(clRed);
  }
};

using FormX11Test = X11Fixture;

TEST_F(FormX11Test, ShownFormIsPaintedTakesInputAndCloses) {
  ASSERT_FALSE(ModalResponderInstalled());
  TSample S(QStringLiteral("Sample"), 100, 100);
  QStringList Log;
  S.Panel->OnClick = [&](TObject*) { Log.append("panel click"); };
  S.Shape->OnMouseDown = [&](TObject*, TMouseButton Button, TShiftState, int X, int Y) {
    Log.append(QStringLiteral("shape down %1 %2,%3").arg(Button == mbLeft ? "left" : "other").arg(X).arg(Y));
  };
  S.Form->SetKeyPreview(true);
  // The form previews the keys of its focused panel and keeps Esc.
  S.Form->OnKeyDown = [&](TObject*, Word& Key, TShiftState) {
    Log.append(QStringLiteral("form key %1").arg(Key));
    if (Key != VK_ESCAPE) return;
    Key = 0;
    S.Form->Close();
  };
  S.Panel->OnKeyDown = [&](TObject*, Word& Key, TShiftState) { Log.append(QStringLiteral("panel key %1").arg(Key)); };
  S.Form->OnClose = [&](TObject*, TCloseAction& Action) {
    Log.append("close");
    Action = caHide;
  };

  S.Form->Show();
  ASSERT_TRUE(waitUntil([&] { return S.Shown(); })) << "the form was not mapped and painted on the X server";
  EXPECT_TRUE(IsWindowVisible(S.Form->Handle()));
  EXPECT_TRUE(S.TopLevel()->isVisible());
  // Our image of the window agrees with what the server shows.
  const auto Image = GrabWindow(S.Panel);
  EXPECT_EQ(PixelAt(Image.get(), 100, 60), clLime);
  EXPECT_EQ(PixelAt(Image.get(), 40, 40), clRed);

  QTest::mouseClick(S.Window(), Qt::LeftButton, {}, S.PanelCentre());
  ASSERT_TRUE(waitUntil([&] { return Log.contains("panel click"); })) << Log.join(", ").toStdString();
  QTest::mouseClick(S.Window(), Qt::LeftButton, {}, S.ShapeCentre());
  ASSERT_TRUE(waitUntil([&] { return Log.size() >= 2; })) << Log.join(", ").toStdString();
  EXPECT_EQ(Log, QStringList({"panel click", "shape down left 20,20"}));

  Log.clear();
  S.Panel->SetFocus();
  ASSERT_TRUE(S.Panel->Focused());
  QTest::keyClick(S.Window(), Qt::Key_A);
  QTest::keyClick(S.Window(), Qt::Key_Escape);
  ASSERT_TRUE(waitUntil([&] { return Log.contains("close"); })) << Log.join(", ").toStdString();
  EXPECT_EQ(Log, QStringList({"form key 65", "panel key 65", "form key 27", "close"}));
  EXPECT_FALSE(S.Form->Visible());
  EXPECT_TRUE(waitUntil([&] { return !S.TopLevel()->isVisible() && !S.Window()->isExposed(); }))
      << "the closed form is still mapped";
}

TEST_F(FormX11Test, ModalFormBlocksTheOtherAndEndsFromItsTimer) {
  ASSERT_FALSE(ModalResponderInstalled());
  TSample Main(QStringLiteral("Main"), 60, 60);
  QStringList MainLog;
  Main.Panel->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { MainLog.append("main down"); };
  Main.Form->Show();
  ASSERT_TRUE(waitUntil([&] { return Main.Shown(); })) << "the main form was not mapped and painted";
  EXPECT_TRUE(IsWindowEnabled(Main.Form->Handle()));

  TSample Dialog(QStringLiteral("Dialog"), 520, 200);
  Dialog.Form->SetBorderStyle(bsDialog);
  QStringList Log;
  Dialog.Panel->OnClick = [&](TObject*) {
    Log.append("dialog click");
    Dialog.Form->SetModalResult(mrOk);
  };

  // The timer waits for the dialog to be on the screen, then checks the
  // blocking and answers with real clicks: one on the blocked main form,
  // one on the dialog's panel that ends the run.
  bool MainEnabledInside = true;
  auto* Timer = new TTimer(Dialog.Form);
  Timer->SetInterval(50);
  Timer->SetOnTimer([&](TObject*) {
    if (!Dialog.Form->Visible() || !Dialog.Shown()) return;
    Timer->SetEnabled(false);
    Log.append("timer");
    MainEnabledInside = IsWindowEnabled(Main.Form->Handle());
    QTest::mouseClick(Main.Window(), Qt::LeftButton, {}, Main.PanelCentre());
    QTest::mouseClick(Dialog.Window(), Qt::LeftButton, {}, Dialog.PanelCentre());
  });
  // A run that nobody ends fails the test instead of hanging it.
  bool GaveUp = false;
  QTimer Guard;
  Guard.setSingleShot(true);
  QObject::connect(&Guard, &QTimer::timeout, [&] {
    GaveUp = true;
    Dialog.Form->SetModalResult(mrAbort);
  });
  Guard.start(60 * 1000);

  EXPECT_EQ(Dialog.Form->ShowModal(), mrOk);
  EXPECT_FALSE(GaveUp) << "the modal run never ended by itself";
  EXPECT_EQ(Log, QStringList({"timer", "dialog click"}));
  EXPECT_FALSE(MainEnabledInside);
  EXPECT_TRUE(MainLog.isEmpty()) << "a click reached the blocked form";
  EXPECT_EQ(Dialog.Form->ModalResult(), mrOk);
  EXPECT_FALSE(Dialog.Form->Visible());
  EXPECT_TRUE(IsWindowEnabled(Main.Form->Handle()));
  EXPECT_TRUE(waitUntil([&] { return !Dialog.TopLevel()->isVisible(); })) << "the dialog is still mapped";

  // The main form takes input again.
  QTest::mouseClick(Main.Window(), Qt::LeftButton, {}, Main.PanelCentre());
  EXPECT_TRUE(waitUntil([&] { return MainLog.contains("main down"); })) << "the main form stayed blocked";
}

}  // namespace
