#include "platform/ui/windowing/mouse.h"

#include "platform/ui/windowing/controls.h"
#include "platform/ui/windowing/focus.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/uitest.h"
#include "platform/ui/windowing/window.h"
#include "tests/support/testing.h"

#include <QCursor>

#include <functional>

using namespace gdi;

namespace {

using TLog = std::vector<String>;

// Writes its mouse events, and the enter and leave notices of its children,
// to a log.
class TBox : public TCustomControl {
  RTL_CLASS(TBox, TCustomControl)
public:
  TBox(TComponent* AOwner, const String& AName, TLog* ALog) : TCustomControl(AOwner), Log(ALog) {
    SetName(AName);
    FControlStyle.Include(csAcceptsControls);
  }
  TLog* Log;

  void WndProc(TMessage& Message) override {
    if ((Message.Msg == CM_MOUSEENTER || Message.Msg == CM_MOUSELEAVE) && Message.LParam)
      Log->push_back(Name() + (Message.Msg == CM_MOUSEENTER ? " hears enter of " : " hears leave of ") +
                     reinterpret_cast<TControl*>(Message.LParam)->Name());
    TCustomControl::WndProc(Message);
  }
};

class TSpot : public TGraphicControl {
  RTL_CLASS(TSpot, TGraphicControl)
public:
  TSpot(TComponent* AOwner, const String& AName) : TGraphicControl(AOwner) { SetName(AName); }
};

void logEvents(TControl* C, TLog* Log) {
  const String N = C->Name();
  C->OnMouseEnter = [Log, N](TObject*) { Log->push_back(N + " enter"); };
  C->OnMouseLeave = [Log, N](TObject*) { Log->push_back(N + " leave"); };
  C->OnMouseDown = [Log, N](TObject*, TMouseButton, TShiftState, int X, int Y) {
    Log->push_back(QStringLiteral("%1 down %2,%3").arg(N).arg(X).arg(Y));
  };
  C->OnMouseMove = [Log, N](TObject*, TShiftState, int X, int Y) {
    Log->push_back(QStringLiteral("%1 move %2,%3").arg(N).arg(X).arg(Y));
  };
  C->OnMouseUp = [Log, N](TObject*, TMouseButton, TShiftState, int X, int Y) {
    Log->push_back(QStringLiteral("%1 up %2,%3").arg(N).arg(X).arg(Y));
  };
  C->OnClick = [Log, N](TObject*) { Log->push_back(N + " click"); };
}

// The root R at (100, 100) 200 x 200 on the desktop, the windowed W at
// (20, 20) 60 x 60 and the graphic G at (100, 20) 40 x 40 inside it.
class MouseTest : public ::testing::Test {
protected:
  void SetUp() override {
    test::ResetUi();
    R = new TBox(nullptr, "R", &Log);
    R->SetBounds(100, 100, 200, 200);
    R->SetParentWindow(GetDesktopWindow());
    W = new TBox(R, "W", &Log);
    W->SetBounds(20, 20, 60, 60);
    W->SetParent(R);
    G = new TSpot(R, "G");
    G->SetBounds(100, 20, 40, 40);
    G->SetParent(R);
    for (TControl* C : {static_cast<TControl*>(R), static_cast<TControl*>(W), static_cast<TControl*>(G)})
      logEvents(C, &Log);
    test::Activate(R);
  }
  void TearDown() override {
    R->Free();
    test::ResetUi();
  }

  // Log lines with any of Words in them, in log order.
  TLog only(std::initializer_list<const char*> Words) const {
    TLog L;
    for (const String& S : Log)
      if (std::any_of(Words.begin(), Words.end(), [&S](const char* W) { return S.contains(QLatin1String(W)); }))
        L.push_back(S);
    return L;
  }

  TLog Log;
  TBox* R = nullptr;
  TBox* W = nullptr;
  TSpot* G = nullptr;
};

TEST_F(MouseTest, CaptureBringsEveryMouseMessageAndClicksOnlyInside) {
  test::MouseDown(W, {10, 10});
  EXPECT_EQ(GetCaptureControl(), W);
  test::MouseMove(W, {300, -50});  // outside the root window too
  test::MouseUp(W, {300, -50});
  EXPECT_EQ(GetCaptureControl(), nullptr);
  EXPECT_EQ(only({" down", " move", " up", "click"}),
            (TLog{"W down 10,10", "W move 300,-50", "W up 300,-50"}));

  Log.clear();
  test::Click(W, {5, 6});
  EXPECT_EQ(only({"W "}), (TLog{"W enter", "W down 5,6", "W click", "W up 5,6"})) << "W was left at the release";

  // A graphic control's capture is held by its parent's window.
  test::MouseDown(G, {1, 1});
  EXPECT_EQ(GetCaptureControl(), G);
  EXPECT_EQ(GetCapture(), R->Handle());
  test::MouseUp(G, {1, 1});
  EXPECT_EQ(GetCaptureControl(), nullptr);
}

TEST_F(MouseTest, EnterAndLeaveFollowTheControlUnderTheCursor) {
  struct Step {
    const char* Name;
    TControl* Over;
    TPoint Point;
    TLog Expected;
  };
  const std::vector<Step> Steps = {
      {"into W", W, {5, 5}, {"W enter", "R hears enter of W"}},
      {"within W", W, {6, 6}, {}},
      {"W to G", G, {5, 5}, {"W leave", "R hears leave of W", "G enter", "R hears enter of G"}},
      {"G to R itself", R, {190, 190}, {"G leave", "R hears leave of G", "R enter"}},
      {"out of everything", R, {400, 400}, {"R leave"}},
  };
  for (const Step& S : Steps) {
    SCOPED_TRACE(S.Name);
    Log.clear();
    test::MouseMove(S.Over, S.Point);
    EXPECT_EQ(only({"enter", "leave"}), S.Expected);
  }
  EXPECT_EQ(MouseControl(), nullptr);

  // With the capture only the capturing control counts.
  test::MouseMove(W, {5, 5});
  test::MouseDown(W, {5, 5});
  Log.clear();
  test::MouseMove(G, {5, 5});
  test::MouseMove(W, {7, 7});
  EXPECT_EQ(only({"leave", "enter"}), (TLog{"W leave", "R hears leave of W", "W enter", "R hears enter of W"}));
  test::MouseUp(W, {7, 7});

  // A freed mouse control is forgotten.
  G->SetBounds(150, 150, 30, 30);
  test::MouseMove(R, {160, 160});
  EXPECT_EQ(MouseControl(), G);
  G->Free();
  G = nullptr;
  EXPECT_EQ(MouseControl(), nullptr);
}

TEST_F(MouseTest, CursorComesFromTheScreenThenTheControlUnderThePoint) {
  R->SetCursor(crHandPoint);
  G->SetCursor(crCross);
  struct Step {
    const char* Name;
    TControl* Over;
    TCursor ScreenCursor;
    TCursor Expected;
  };
  const Step Steps[] = {
      {"root's own", R, crDefault, crHandPoint},
      {"graphic child's", G, crDefault, crCross},
      {"windowed child without one: arrow", W, crDefault, crArrow},
      {"Screen.Cursor wins", G, crHourGlass, crHourGlass},
  };
  for (const Step& S : Steps) {
    SCOPED_TRACE(S.Name);
    SetScreenCursor(S.ScreenCursor);
    test::MouseMove(S.Over, S.Over == R ? TPoint{190, 190} : TPoint{5, 5});
    EXPECT_EQ(GetCursor(), GetCursorHandle(S.Expected));
  }
  // Screen.Cursor applies at once and gives the choice back at once.
  SetScreenCursor(crSQLWait);
  EXPECT_EQ(GetCursor(), GetCursorHandle(crSQLWait));
  SetScreenCursor(crDefault);
  EXPECT_EQ(GetCursor(), GetCursorHandle(crCross));
}

TEST_F(MouseTest, ANewCursorShowsAtOnceUnderTheMouseOnly) {
  test::MouseMove(G, {5, 5});
  G->SetCursor(crHandPoint);
  EXPECT_EQ(GetCursor(), GetCursorHandle(crHandPoint));
  W->SetCursor(crIBeam);
  EXPECT_EQ(GetCursor(), GetCursorHandle(crHandPoint)) << "W is not under the mouse";
  G->SetCursor(crDefault);
  R->SetCursor(crCross);
  EXPECT_EQ(GetCursor(), GetCursorHandle(crCross)) << "G shows its parent's cursor";
  test::MouseMove(W, {5, 5});
  W->SetCursor(crSizeNS);
  EXPECT_EQ(GetCursor(), GetCursorHandle(crSizeNS));
}

TEST_F(MouseTest, DisablingOrHidingTheCapturerCancelsTheMouseAction) {
  struct Case {
    const char* Name;
    std::function<void()> Stop, Restore;
  };
  const Case Cases[] = {
      {"W disabled", [this] { W->SetEnabled(false); }, [this] { W->SetEnabled(true); }},
      {"W hidden", [this] { W->SetVisible(false); }, [this] { W->SetVisible(true); }},
      {"its parent disabled", [this] { R->SetEnabled(false); }, [this] { R->SetEnabled(true); }},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    int Cancels = 0;
    W->WindowProc = [this, &Cancels](TMessage& M) {
      if (M.Msg == WM_CANCELMODE) ++Cancels;
      W->WndProc(M);
    };
    test::MouseDown(W, {5, 5});
    ASSERT_EQ(GetCapture(), W->Handle());
    C.Stop();
    EXPECT_EQ(Cancels, 1);
    EXPECT_EQ(GetCapture(), nullptr);
    W->WindowProc = [this](TMessage& M) { W->WndProc(M); };
    C.Restore();
    test::MouseUp(W, {5, 5});
  }
}

TEST_F(MouseTest, CursorTableRegistersFromOneAndAnswersTheDefaultForUnknownIndexes) {
  auto registerCursor = [] {
    TCursor I = 1;
    while (GetCursorHandle(I) != GetCursorHandle(crDefault)) ++I;
    SetCursorHandle(I, CreateCursorFromImage(QCursor(Qt::OpenHandCursor)));
    return I;
  };
  EXPECT_EQ(GetCursorHandle(42), GetCursorHandle(crDefault));
  EXPECT_NE(GetCursorHandle(crHandPoint), GetCursorHandle(crDefault));
  EXPECT_EQ(registerCursor(), 1);
  EXPECT_EQ(registerCursor(), 2);
  EXPECT_NE(GetCursorHandle(1), GetCursorHandle(2));
  test::ResetMouse();
  EXPECT_EQ(registerCursor(), 1);
}

}  // namespace
