#include "platform/ui/windowing/window.h"

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/regions.h"
#include "platform/ui/windowing/controls.h"
#include "platform/ui/windowing/hwnd.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/msgqueue.h"
#include "tests/platform/ui/pixelhelpers.h"
#include "tests/support/testing.h"

#include <QCoreApplication>
#include <QDir>
#include <QWidget>
#include <QImage>

using namespace gdi;

namespace {

constexpr COLORREF White = 0xFFFFFF;

// A windowed control whose extra styles, NC handling and painting the tests
// choose, and which keeps what its WM_PAINT saw.
class TProbe : public TCustomControl {
  RTL_CLASS(TProbe, TCustomControl)
  UI_MESSAGE_MAP
public:
  using TCustomControl::TCustomControl;

  DWORD ExtraStyle = 0;
  DWORD ExtraExStyle = 0;
  int RaiseBottom = 0;            // WM_NCCALCSIZE takes this much more at the bottom
  bool ThrowInPaint = false;
  TColor Fill = clWhite;
  std::function<void(TCanvas*)> Painter;  // drawn after the fill
  int Paints = 0;
  bool Visible10x10 = false;      // RectVisible of the paint DC at (10, 10) and (40, 40)
  bool Visible40x40 = false;

  using TCustomControl::Paint;

protected:
  void CreateParams(TCreateParams& Params) override {
    TCustomControl::CreateParams(Params);
    Params.Style |= ExtraStyle;
    Params.ExStyle |= ExtraExStyle;
  }
  void Paint() override {
    ++Paints;
    if (ThrowInPaint) throw EInvalidOperation(QStringLiteral("paint failed"));
    const RECT A = Rect(10, 10, 11, 11);
    const RECT B = Rect(40, 40, 41, 41);
    Visible10x10 = RectVisible(Canvas()->Handle(), &A);
    Visible40x40 = RectVisible(Canvas()->Handle(), &B);
    Canvas()->Brush()->SetColor(Fill);
    Canvas()->FillRect(ClientRect());
    if (Painter) Painter(Canvas());
  }
  void WMNCCalcSize(TWMNCCalcSize& Message) {
    DispatchAs<TCustomControl>(Message);
    Message.CalcSize_Params->rgrc[0].Bottom -= RaiseBottom;
  }
};

const TMessageMap& TProbe::MessageMap() {
  static const TMessageMap Map(TCustomControl::MessageMap(), {{WM_NCCALCSIZE, &TProbe::WMNCCalcSize}});
  return Map;
}

COLORREF pixelAt(HWND Window, int X, int Y) {
  const HDC DC = GetDC(Window);
  const COLORREF C = GetPixel(DC, X, Y);
  ReleaseDC(Window, DC);
  return C;
}

COLORREF windowPixelAt(HWND Window, int X, int Y) {
  const HDC DC = GetWindowDC(Window);
  const COLORREF C = GetPixel(DC, X, Y);
  ReleaseDC(Window, DC);
  return C;
}

QRegion updateRegion(HWND Window) {
  const HRGN R = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(Window, R, 0);
  const QRegion Result = RegionOf(R);
  DeleteObject(R);
  return Result;
}

// A top-level probe on the desktop, shown and painted once.
class WindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    test::ResetQueue();
    test::ResetInput();
  }
  void TearDown() override {
    if (Root) Root->Free();
    test::ResetQueue();
    test::ResetInput();
  }

  TProbe* makeRoot(int Width, int Height, DWORD Style = 0, DWORD ExStyle = 0) {
    Root = new TProbe(nullptr);
    Root->ExtraStyle = Style;
    Root->ExtraExStyle = ExStyle;
    Root->SetBounds(300, 200, Width, Height);
    Root->SetParentWindow(GetDesktopWindow());
    Root->Update();
    Root->Paints = 0;
    return Root;
  }

  TProbe* Root = nullptr;
};

// ---------------------------------------------------------------------------
// the non-client area

TEST_F(WindowTest, StylesTakeTheirFrameFromTheClientArea) {
  struct Case {
    const char* Name;
    DWORD Style;
    DWORD ExStyle;
    TRect Client;  // window coordinates
  } Cases[] = {
      {"none", 0, 0, {0, 0, 100, 50}},
      {"border", WS_BORDER, 0, {1, 1, 99, 49}},
      {"client edge", 0, WS_EX_CLIENTEDGE, {2, 2, 98, 48}},
      {"both", WS_BORDER, WS_EX_CLIENTEDGE, {3, 3, 97, 47}},
      {"vertical bar", WS_VSCROLL, 0, {0, 0, 83, 50}},
      {"both bars in an edge", WS_VSCROLL | WS_HSCROLL, WS_EX_CLIENTEDGE, {2, 2, 81, 31}},
      {"bar on the left", WS_VSCROLL, WS_EX_LEFTSCROLLBAR, {17, 0, 100, 50}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    makeRoot(100, 50, C.Style, C.ExStyle);
    const HWND H = Root->Handle();
    RECT Client;
    GetClientRect(H, &Client);
    EXPECT_EQ(Client, Rect(0, 0, C.Client.Width(), C.Client.Height()));
    POINT Origin{0, 0};
    ClientToScreen(H, &Origin);
    EXPECT_EQ(Origin, Point(300 + C.Client.Left, 200 + C.Client.Top));
    EXPECT_EQ(Root->ClientRect(), Client);
    Root->Free();
    Root = nullptr;
  }
}

TEST_F(WindowTest, HitTestsAnswerForFrameBarsAndOutside) {
  makeRoot(100, 50, WS_VSCROLL | WS_HSCROLL, WS_EX_CLIENTEDGE);
  const HWND H = Root->Handle();
  struct Case {
    const char* Name;
    TPoint Window;  // window coordinates
    LRESULT Hit;
  } Cases[] = {
      {"edge", {0, 0}, HTBORDER},          {"inside the edge", {2, 2}, HTCLIENT},
      {"client corner", {80, 30}, HTCLIENT}, {"vertical bar", {81, 10}, HTVSCROLL},
      {"horizontal bar", {10, 31}, HTHSCROLL}, {"bars' corner", {90, 40}, HTBORDER},
      {"last pixel", {99, 49}, HTBORDER},  {"outside", {100, 10}, HTNOWHERE},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const TPoint Screen{300 + C.Window.X, 200 + C.Window.Y};
    EXPECT_EQ(SendMessage(H, WM_NCHITTEST, 0, PointToLParam(Screen)), C.Hit);
  }
}

TEST_F(WindowTest, ClientEdgeBoxAndARaisedBottomBar) {
  // A 100 x 50 window with a client edge whose control keeps an 8-pixel
  // sizing bar under its client area.
  Root = new TProbe(nullptr);
  Root->ExtraExStyle = WS_EX_CLIENTEDGE;
  Root->RaiseBottom = 8;
  Root->SetBounds(300, 200, 100, 50);
  Root->SetParentWindow(GetDesktopWindow());
  const HWND H = Root->Handle();
  RECT Client;
  GetClientRect(H, &Client);
  EXPECT_EQ(Client, Rect(0, 0, 96, 38));

  // A press in the bar is a non-client press with the screen point.
  TMessageSpy Spy(*Root);
  const TPoint Press{300 + 50, 200 + 44};
  RouteMouse(H, TMouseAction::Down, Press, mbLeft, {});
  RouteMouse(H, TMouseAction::Up, Press, mbLeft, {});
  bool Found = false;
  for (const TSpiedMessage& M : Spy.Messages()) {
    if (M.Msg == WM_NCHITTEST) EXPECT_EQ(M.Result, HTBORDER);
    if (M.Msg != WM_NCLBUTTONDOWN) continue;
    Found = true;
    EXPECT_EQ(M.WParam, WPARAM(HTBORDER));
    EXPECT_EQ(LParamToPoint(M.LParam), Press);
  }
  EXPECT_TRUE(Found);
  EXPECT_TRUE(Spy.Ids(WM_LBUTTONDOWN, WM_LBUTTONDOWN).empty());
}

TEST_F(WindowTest, FrameChangeRecalculatesAndPaintsTheFrameFirst) {
  makeRoot(100, 50);
  const HWND H = Root->Handle();
  TMessageSpy Spy(*Root);
  SetWindowLong(H, GWL_EXSTYLE, GetWindowLong(H, GWL_EXSTYLE) | LONG(WS_EX_CLIENTEDGE));
  RECT Client;
  GetClientRect(H, &Client);
  EXPECT_EQ(Client, Rect(0, 0, 100, 50)) << "the frame waits for SWP_FRAMECHANGED";
  SetWindowPos(H, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  GetClientRect(H, &Client);
  EXPECT_EQ(Client, Rect(0, 0, 96, 46));
  UpdateWindow(H);
  const auto Ids = Spy.Ids(WM_NCCALCSIZE, WM_NCPAINT);
  const auto Paint = Spy.Ids(WM_PAINT, WM_PAINT);
  ASSERT_FALSE(Paint.empty());
  std::vector<UINT> Order;
  for (const TSpiedMessage& M : Spy.Messages())
    if (M.Msg == WM_NCCALCSIZE || M.Msg == WM_NCPAINT || M.Msg == WM_PAINT) Order.push_back(M.Msg);
  EXPECT_EQ(Order, (std::vector<UINT>{WM_NCCALCSIZE, WM_NCPAINT, WM_PAINT}));
  // The sunken edge: shadow outside, dark shadow inside, top left.
  EXPECT_EQ(windowPixelAt(H, 0, 0), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(windowPixelAt(H, 1, 1), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(windowPixelAt(H, 99, 49), GetSysColor(COLOR_BTNHIGHLIGHT));
}

// ---------------------------------------------------------------------------
// invalidation and painting

TEST_F(WindowTest, WMPaintGetsExactlyTheInvalidRegion) {
  makeRoot(100, 80);
  const HWND H = Root->Handle();
  const RECT A = Rect(10, 10, 30, 20);
  const RECT B = Rect(50, 40, 60, 70);
  InvalidateRect(H, &A, 0);
  InvalidateRect(H, &B, 1);
  EXPECT_EQ(updateRegion(H), QRegion(10, 10, 20, 10) + QRegion(50, 40, 10, 30));
  Root->Fill = clRed;
  Root->Update();
  ASSERT_EQ(Root->Paints, 1);
  EXPECT_TRUE(Root->Visible10x10) << "the paint DC sees the invalid rectangles";
  EXPECT_FALSE(Root->Visible40x40) << "and nothing else";
  // The paint filled the whole client area; only the invalid pixels took it.
  struct Probe {
    TPoint P;
    COLORREF Expected;
  } Probes[] = {{{10, 10}, clRed}, {{29, 19}, clRed}, {{30, 10}, White}, {{9, 10}, White},
                {{50, 69}, clRed}, {{59, 40}, clRed}, {{40, 40}, White}, {{55, 70}, White}};
  for (const Probe& Pr : Probes) EXPECT_EQ(pixelAt(H, Pr.P.X, Pr.P.Y), Pr.Expected) << Pr.P.X << "," << Pr.P.Y;
  EXPECT_TRUE(updateRegion(H).isEmpty());
  Root->Update();
  EXPECT_EQ(Root->Paints, 1) << "nothing left to paint";
}

TEST_F(WindowTest, ThePumpPaintsWhatIsInvalid) {
  makeRoot(100, 80);
  const RECT A = Rect(10, 10, 30, 20);
  InvalidateRect(Root->Handle(), &A, 1);
  EXPECT_TRUE(test::PumpUntil([&] { return Root->Paints > 0; }));
  EXPECT_EQ(Root->Paints, 1);
  EXPECT_TRUE(updateRegion(Root->Handle()).isEmpty());
  // Hidden windows wait until they show.
  ShowWindow(Root->Handle(), SW_HIDE);
  Root->Invalidate();
  ProcessMessages();
  Root->Update();
  EXPECT_EQ(Root->Paints, 1);
  ShowWindow(Root->Handle(), SW_SHOWNA);
  Root->Update();
  EXPECT_EQ(Root->Paints, 2);
}

TEST_F(WindowTest, ValidatedAndEmptyRegionsBringNoPaint) {
  makeRoot(100, 80);
  const HWND H = Root->Handle();
  Root->Invalidate();
  ValidateRect(H, nullptr);
  Root->Update();
  EXPECT_EQ(Root->Paints, 0);

  const RECT Part = Rect(0, 0, 50, 80);
  Root->Invalidate();
  ValidateRect(H, &Part);
  EXPECT_EQ(updateRegion(H), QRegion(50, 0, 50, 80));
  RECT Box;
  EXPECT_TRUE(GetUpdateRect(H, &Box, 0));
  EXPECT_EQ(Box, Rect(50, 0, 100, 80));
  Root->Update();
  EXPECT_EQ(Root->Paints, 1);
}

TEST_F(WindowTest, APaintThatRaisesIsReportedOnceAndNotRepeated) {
  makeRoot(100, 80);
  int Reports = 0;
  String Message;
  const TExceptionHandler Previous = SetExceptionHandler([&](std::exception_ptr E) {
    ++Reports;
    Message = ExceptionMessage(E);
  });
  Root->ThrowInPaint = true;
  Root->Invalidate();
  Root->Update();
  Root->Update();
  RedrawWindow(Root->Handle(), nullptr, nullptr, RDW_UPDATENOW);
  SetExceptionHandler(Previous);
  EXPECT_EQ(Root->Paints, 1);
  EXPECT_EQ(Reports, 1);
  EXPECT_EQ(Message, "paint failed");
  EXPECT_TRUE(updateRegion(Root->Handle()).isEmpty());
}

TEST_F(WindowTest, AHandlerThatNeverCallsBeginPaintStillValidates) {
  makeRoot(100, 80);
  Root->WindowProc = [&](TMessage& M) {
    if (M.Msg == WM_PAINT) return;  // swallowed
    Root->WndProc(M);
  };
  Root->Invalidate();
  Root->Update();
  EXPECT_TRUE(updateRegion(Root->Handle()).isEmpty());
  Root->WindowProc = TWndMethod(Root, &TProbe::WndProc);
}

TEST_F(WindowTest, EraseAnsweredByTheHandlerLeavesTheBackground) {
  makeRoot(60, 40);
  const HWND H = Root->Handle();
  Root->Painter = nullptr;
  Root->Fill = clRed;
  Root->Invalidate();
  Root->Update();
  ASSERT_EQ(pixelAt(H, 5, 5), COLORREF(clRed));

  // WM_ERASEBKGND answering 1 without painting: the old pixels stay and
  // BeginPaint reports no erase needed.
  int Erases = 0;
  BOOL FErase = -1;
  Root->WindowProc = [&](TMessage& M) {
    if (M.Msg == WM_ERASEBKGND) {
      ++Erases;
      M.Result = 1;
      return;
    }
    if (M.Msg == WM_PAINT) {
      PAINTSTRUCT PS;
      BeginPaint(H, &PS);
      FErase = PS.fErase;
      EndPaint(H, &PS);
      return;
    }
    Root->WndProc(M);
  };
  InvalidateRect(H, nullptr, 1);
  UpdateWindow(H);
  Root->WindowProc = TWndMethod(Root, &TProbe::WndProc);
  EXPECT_EQ(Erases, 1);
  EXPECT_EQ(FErase, 0);
  EXPECT_EQ(pixelAt(H, 5, 5), COLORREF(clRed));
}

TEST_F(WindowTest, DrawingOutsidePaintGoesToTheBackingImage) {
  makeRoot(60, 40);
  const HWND H = Root->Handle();
  // XOR feedback, as a sizing line draws it: twice restores.
  const HDC DC = GetDC(H);
  SetROP2(DC, R2_XORPEN);
  SelectObject(DC, GetStockObject(WHITE_PEN));
  MoveToEx(DC, 10, 0, nullptr);
  LineTo(DC, 10, 40);
  EXPECT_EQ(GetPixel(DC, 10, 5), COLORREF(0x000000));
  MoveToEx(DC, 10, 0, nullptr);
  LineTo(DC, 10, 40);
  EXPECT_EQ(GetPixel(DC, 10, 5), White);
  ReleaseDC(H, DC);
  EXPECT_EQ(Root->Paints, 0) << "drawing outside painting sends no WM_PAINT";
}

// ---------------------------------------------------------------------------
// scrolling

TEST_F(WindowTest, ScrollMovesPixelsInvalidatesTheBandAndLeavesChildren) {
  makeRoot(100, 100);
  const HWND H = Root->Handle();
  // Horizontal stripes 10 pixels high, red, blue and yellow in turn.
  Root->Painter = [](TCanvas* C) {
    const TColor Colors[] = {clRed, clBlue, clYellow};
    for (int Y = 0; Y < 100; Y += 10) {
      C->Brush()->SetColor(Colors[Y / 10 % 3]);
      C->FillRect(Rect(0, Y, 100, Y + 10));
    }
  };
  auto* Child = new TProbe(Root);
  Child->Fill = clLime;
  Child->SetBounds(60, 60, 20, 20);
  Child->SetParent(Root);
  Root->Invalidate();
  Root->Update();
  Child->Update();
  const HWND ChildHandle = Child->Handle();
  ASSERT_EQ(pixelAt(H, 5, 25), COLORREF(clYellow));

  RECT Band;
  const HRGN Update = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(ScrollWindowEx(H, 0, -20, nullptr, nullptr, Update, &Band, SW_INVALIDATE), SIMPLEREGION);
  EXPECT_EQ(RegionOf(Update), QRegion(0, 80, 100, 20));
  DeleteObject(Update);
  EXPECT_EQ(Band, Rect(0, 80, 100, 100));
  EXPECT_EQ(updateRegion(H), QRegion(0, 80, 100, 20)) << "only the uncovered band is invalid";
  // Each row holds what the row 20 below it held.
  EXPECT_EQ(pixelAt(H, 5, 5), COLORREF(clYellow));
  EXPECT_EQ(pixelAt(H, 5, 25), COLORREF(clBlue));
  EXPECT_EQ(pixelAt(H, 5, 79), COLORREF(clRed));
  // The child window neither moved nor changed.
  EXPECT_EQ(Child->BoundsRect(), Rect(60, 60, 80, 80));
  EXPECT_EQ(Child->Handle(), ChildHandle);
  EXPECT_EQ(pixelAt(ChildHandle, 5, 5), COLORREF(clLime));

  // The reference image: the scrolled parent with the child on top.
  const auto Grab = GrabWindow(Root);
  EXPECT_EQ(QColor(Grab->Image().pixel(65, 65)), QColor(Qt::green));
  SaveForReview(Grab->Image(), QStringLiteral("window_scrolled.png"));
}

TEST_F(WindowTest, ScrollCarriesTheInvalidRegionAndKeepsToTheClip) {
  makeRoot(100, 100);
  const HWND H = Root->Handle();
  const RECT Dirty = Rect(0, 50, 10, 60);
  InvalidateRect(H, &Dirty, 0);
  const RECT Clip = Rect(0, 0, 100, 90);
  ScrollWindowEx(H, 0, -20, nullptr, &Clip, nullptr, nullptr, 0);
  EXPECT_EQ(updateRegion(H), QRegion(0, 30, 10, 10)) << "invalid content moves along; nothing added without SW_INVALIDATE";
  ScrollWindowEx(H, 30, 0, nullptr, &Clip, nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
  EXPECT_EQ(updateRegion(H), QRegion(30, 30, 10, 10) + QRegion(0, 0, 30, 90));
  EXPECT_EQ(ScrollWindowEx(nullptr, 0, 1, nullptr, nullptr, nullptr, nullptr, 0), ERROR);
}

// ---------------------------------------------------------------------------
// visibility, shape, layering

TEST_F(WindowTest, WindowVisibilityIsSeparateFromVisible) {
  makeRoot(60, 40);
  auto* Child = new TProbe(Root);
  Child->SetBounds(5, 5, 20, 20);
  Child->SetParent(Root);
  const HWND H = Child->Handle();
  ASSERT_TRUE(IsWindowVisible(H));
  EXPECT_TRUE(ShowWindow(H, SW_HIDE));
  EXPECT_FALSE(GetWindowLong(H, GWL_STYLE) & LONG(WS_VISIBLE));
  EXPECT_TRUE(Child->Visible());
  SetWindowPos(H, HWND_TOP, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_TRUE(IsWindowVisible(H));
  ShowWindow(Root->Handle(), SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(H)) << "a hidden parent hides its children";
  EXPECT_TRUE(GetWindowLong(H, GWL_STYLE) & LONG(WS_VISIBLE));
  EXPECT_FALSE(ShowWindow(Root->Handle(), SW_SHOWNOACTIVATE));
}

TEST_F(WindowTest, AShapeLimitsHitsAndPainting) {
  makeRoot(100, 100);
  const HWND H = Root->Handle();
  EXPECT_EQ(GetWindowRgn(H, CreateRectRgn(0, 0, 0, 0)), ERROR);
  SetWindowRgn(H, CreateEllipticRgn(0, 0, 100, 100), 1);
  EXPECT_EQ(SendMessage(H, WM_NCHITTEST, 0, PointToLParam({300 + 50, 200 + 50})), HTCLIENT);
  EXPECT_EQ(SendMessage(H, WM_NCHITTEST, 0, PointToLParam({300 + 2, 200 + 2})), HTNOWHERE);
  EXPECT_EQ(WindowFromPoint({300 + 2, 200 + 2}), nullptr);
  EXPECT_EQ(WindowFromPoint({300 + 50, 200 + 50}), H);
  const HDC DC = GetDC(H);
  const HBRUSH Blue = CreateSolidBrush(0xFF0000);
  FillRect(DC, Rect(0, 0, 100, 100), Blue);
  DeleteObject(Blue);
  EXPECT_EQ(GetPixel(DC, 50, 50), COLORREF(0xFF0000));
  EXPECT_EQ(GetPixel(DC, 1, 1), CLR_INVALID) << "outside the shape nothing is drawn";
  ReleaseDC(H, DC);
}

TEST_F(WindowTest, LayeredAttributesNeedTheLayeredStyle) {
  makeRoot(40, 40);
  const HWND H = Root->Handle();
  EXPECT_FALSE(SetLayeredWindowAttributes(H, 0xFFFFFF, 200, LWA_ALPHA));
  SetWindowLong(H, GWL_EXSTYLE, GetWindowLong(H, GWL_EXSTYLE) | LONG(WS_EX_LAYERED));
  EXPECT_TRUE(SetLayeredWindowAttributes(H, 0xFFFFFF, 200, LWA_ALPHA | LWA_COLORKEY));
  COLORREF Key = 0;
  BYTE Alpha = 0;
  DWORD Flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(H, &Key, &Alpha, &Flags));
  EXPECT_EQ(Key, White);
  EXPECT_EQ(Alpha, 200);
  EXPECT_EQ(Flags, LWA_ALPHA | LWA_COLORKEY);
  // The white keyed-out pixels let the mouse through.
  EXPECT_EQ(SendMessage(H, WM_NCHITTEST, 0, PointToLParam({310, 210})), HTNOWHERE);
}

TEST_F(WindowTest, MapWindowPointsAndWindowFromPointFollowTheTree) {
  makeRoot(200, 150, WS_BORDER);
  auto* Child = new TProbe(Root);
  Child->SetBounds(20, 30, 50, 40);
  Child->SetParent(Root);
  const HWND C = Child->Handle();
  const HWND P = Root->Handle();
  POINT Pt{1, 2};
  MapWindowPoints(C, P, &Pt, 1);
  EXPECT_EQ(Pt, Point(21, 32));
  RECT R;
  GetWindowRect(C, &R);
  EXPECT_EQ(R, Rect(321, 231, 371, 271));
  EXPECT_EQ(WindowFromPoint({330, 240}), C);
  EXPECT_EQ(WindowFromPoint({310, 240}), P);
  EXPECT_EQ(GetParent(C), P);
  EXPECT_TRUE(IsChild(P, C));
  EXPECT_FALSE(IsChild(C, P));
  Child->SetEnabled(false);
  EXPECT_EQ(WindowFromPoint({330, 240}), P) << "disabled windows are passed over";
}

TEST_F(WindowTest, ThemeChangeInvalidatesTheWholeWindowOnce) {
  makeRoot(60, 40, WS_BORDER);
  TMessageSpy Spy(*Root);
  SendMessage(Root->Handle(), WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(updateRegion(Root->Handle()), QRegion(0, 0, 58, 38));
  Root->Update();
  EXPECT_EQ(Root->Paints, 1);
  int NCPaints = 0;
  for (const TSpiedMessage& M : Spy.Messages()) NCPaints += M.Msg == WM_NCPAINT;
  EXPECT_EQ(NCPaints, 1);
}

TEST_F(WindowTest, TheWindowSystemMovingATopLevelMovesTheControl) {
  makeRoot(60, 40);
  QWidget* Widget = FindWindowObject(Root->Handle())->Widget();
  ASSERT_NE(Widget, nullptr);
  int Sizes = 0;
  Root->OnResize = [&](TObject*) { ++Sizes; };
  Widget->setGeometry(QRect(50, 60, 80, 40));
  QCoreApplication::processEvents();
  EXPECT_EQ(Root->BoundsRect(), Bounds(50, 60, 80, 40));
  EXPECT_EQ(Sizes, 1);
  RECT R;
  GetClientRect(Root->Handle(), &R);
  EXPECT_EQ(R, Rect(0, 0, 80, 40));
}

}  // namespace
