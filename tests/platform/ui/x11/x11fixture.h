// What the tests on the real X11 platform share: a fixture that checks the
// platform and starts the forms, bounded waits that pump Qt and our queue,
// and reading back what the X server shows.
//
// Every wait is bounded in seconds of real time and fails the test when it
// runs out; nothing asserts on how long anything took.
#pragma once

#include "platform/ui/graphics/graphics.h"
#include "platform/ui/windowing/application.h"
#include "platform/ui/windowing/forms.h"
#include "platform/ui/windowing/hwnd.h"
#include "platform/ui/windowing/modaltest.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/uitest.h"
#include "platform/ui/windowing/window.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <QWidget>
#include <functional>

namespace x11test {

constexpr int WaitSeconds = 10;

// Pumps Qt and our queue until Pred holds or Seconds have passed.
inline bool waitUntil(const std::function<bool()>& Pred, int Seconds = WaitSeconds) {
  QDeadlineTimer Deadline(Seconds * 1000);
  while (!Pred()) {
    if (Deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ProcessMessages();
    QThread::msleep(5);
  }
  return true;
}

inline QWidget* widgetOf(TWinControl* Control) {
  IWindow* Window = FindWindowObject(Control->Handle());
  return Window ? Window->Widget() : nullptr;
}

// The top-level window as the X server shows it.
inline QImage serverShot(QWidget* TopLevel) {
  return TopLevel->screen()->grabWindow(TopLevel->winId()).toImage();
}

inline QColor qtColor(TColor Color) {
  const TColor RGB = ColorToRGB(Color);
  return QColor(gdi::GetRValue(RGB), gdi::GetGValue(RGB), gdi::GetBValue(RGB));
}

class X11Fixture : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    InitializeForms();
    test::SetFailureReporter([](const String& Message) { ADD_FAILURE() << Message.toStdString(); });
  }
  void TearDown() override {
    test::SetFailureReporter({});
    FinalizeForms();
    test::ResetUi();
  }
};

}  // namespace x11test
