#include "platform/ui/windowing/controls.h"

#include "platform/rtl/format.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/regions.h"
#include "platform/ui/graphics/textengine.h"
#include "platform/ui/windowing/actions.h"
#include "platform/ui/windowing/focus.h"
#include "platform/ui/windowing/hwnd.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/menus.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/uitest.h"
#include "platform/ui/windowing/window.h"
#include "tests/platform/ui/formfixture.h"
#include "tests/platform/ui/pixelhelpers.h"

#include <QDir>
#include <QImage>

using namespace gdi;

namespace {

// A windowed control that fills itself with Fill and counts its window's
// creation and destruction.
class TPanel : public TCustomControl {
  RTL_CLASS(TPanel, TCustomControl)
public:
  explicit TPanel(TComponent* AOwner) : TCustomControl(AOwner) { FControlStyle.Include(csAcceptsControls); }

  TColor Fill = clWhite;
  DWORD ExtraExStyle = 0;
  int Creates = 0;
  int Destroys = 0;
  int Resizes = 0;

  using TWinControl::AlignControl;

protected:
  void CreateParams(TCreateParams& Params) override {
    TCustomControl::CreateParams(Params);
    Params.ExStyle |= ExtraExStyle;
  }
  void CreateWnd() override {
    ++Creates;
    TCustomControl::CreateWnd();
  }
  void DestroyWnd() override {
    ++Destroys;
    TCustomControl::DestroyWnd();
  }
  void Resize() override {
    ++Resizes;
    TCustomControl::Resize();
  }
  void Paint() override {
    Canvas()->Brush()->SetColor(Fill);
    Canvas()->FillRect(ClientRect());
  }
};

// A graphic control that fills itself and keeps its mouse and wheel events.
class TShape : public TGraphicControl {
  RTL_CLASS(TShape, TGraphicControl)
public:
  explicit TShape(TComponent* AOwner, TColor Color = clRed) : TGraphicControl(AOwner), Fill(Color) {}

  TColor Fill;
  int Paints = 0;
  std::vector<String> Events;

  void SetStyle(TControlStyleItem Item) { FControlStyle.Include(Item); }
  void DropStyle(TControlStyleItem Item) { FControlStyle.Exclude(Item); }

protected:
  void Paint() override {
    ++Paints;
    Canvas()->Brush()->SetColor(Fill);
    Canvas()->FillRect(ClientRect());
  }
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    Events.push_back(Format(QStringLiteral("down %d %d,%d%s"),
                            {int(Button), X, Y, String(Shift.Contains(ssDouble) ? " double" : "")}));
  }
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    Events.push_back(Format(QStringLiteral("up %d %d,%d"), {int(Button), X, Y}));
    TGraphicControl::MouseUp(Button, Shift, X, Y);
  }
  void Click() override { Events.push_back(QStringLiteral("click")); }
  void DblClick() override { Events.push_back(QStringLiteral("dblclick")); }
  bool DoMouseWheelDown(TShiftState, TPoint) override {
    Events.push_back(QStringLiteral("wheel down"));
    return false;
  }
};

// The spied messages among Wanted, in order.
std::vector<TSpiedMessage> only(const TMessageSpy& Spy, std::initializer_list<UINT> Wanted) {
  std::vector<TSpiedMessage> Result;
  for (const TSpiedMessage& M : Spy.Messages())
    if (std::find(Wanted.begin(), Wanted.end(), M.Msg) != Wanted.end()) Result.push_back(M);
  return Result;
}

std::vector<UINT> ids(const std::vector<TSpiedMessage>& Messages) {
  std::vector<UINT> Result;
  for (const TSpiedMessage& M : Messages) Result.push_back(M.Msg);
  return Result;
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

COLORREF bitmapPixel(TBitmap& B, int X, int Y) {
  const QRgb P = B.Image().pixel(X, Y);
  return RGB(BYTE(qRed(P)), BYTE(qGreen(P)), BYTE(qBlue(P)));
}

QRegion updateRegion(HWND Window) {
  const HRGN R = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(Window, R, 0);
  const QRegion Result = RegionOf(R);
  DeleteObject(R);
  return Result;
}

// A 200 x 200 panel shown on the desktop at (100, 100).
class ControlsTest : public ::testing::Test {
protected:
  void SetUp() override {
    test::ResetQueue();
    test::ResetInput();
    Root = new TPanel(nullptr);
    Root->SetBounds(100, 100, 200, 200);
    Root->SetParentWindow(GetDesktopWindow());
  }
  void TearDown() override {
    if (Root) Root->Free();
    test::ResetQueue();
    test::ResetInput();
  }

  template <class T>
  T* add(T* Control, TRect Bounds, TWinControl* Parent = nullptr) {
    Control->SetBoundsRect(Bounds);
    Control->SetParent(Parent ? Parent : Root);
    return Control;
  }

  TPanel* Root = nullptr;
};

// ---------------------------------------------------------------------------
// alignment and anchors

TEST_F(ControlsTest, AlignedChildrenShareTheClientAreaAndFollowItsSize) {
  auto* Top1 = add(new TShape(Root), Bounds(0, 0, 10, 20));
  auto* Top2 = add(new TShape(Root), Bounds(0, 50, 10, 10));
  auto* Bottom = add(new TShape(Root), Bounds(0, 0, 10, 30));
  auto* Left = add(new TShape(Root), Bounds(0, 0, 40, 10));
  auto* Right = add(new TShape(Root), Bounds(0, 0, 50, 10));
  auto* Client = add(new TPanel(Root), Bounds(0, 0, 10, 10));
  auto* Anchored = add(new TShape(Root), Bounds(150, 150, 30, 30));
  Top1->SetAlign(alTop);
  Top2->SetAlign(alTop);
  Bottom->SetAlign(alBottom);
  Left->SetAlign(alLeft);
  Right->SetAlign(alRight);
  Client->SetAlign(alClient);
  Anchored->SetAnchors({akRight, akBottom});
  // Inside the client-aligned panel: kept 10 pixels from its right and bottom.
  auto* Inner = add(new TShape(Root), Rect(10, 10, 100, 130), Client);
  Inner->SetAnchors({akRight, akBottom});

  struct Case {
    const char* Name;
    TControl* Control;
    TRect At200;
    TRect At300;
  } Cases[] = {
      {"top 1", Top1, {0, 0, 200, 20}, {0, 0, 300, 20}},
      {"top 2", Top2, {0, 20, 200, 30}, {0, 20, 300, 30}},
      {"bottom", Bottom, {0, 170, 200, 200}, {0, 270, 300, 300}},
      {"left", Left, {0, 30, 40, 170}, {0, 30, 40, 270}},
      {"right", Right, {150, 30, 200, 170}, {250, 30, 300, 270}},
      {"client", Client, {40, 30, 150, 170}, {40, 30, 250, 270}},
      {"anchored", Anchored, {150, 150, 180, 180}, {250, 250, 280, 280}},
      {"anchored in client", Inner, {10, 10, 100, 130}, {110, 110, 200, 230}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(C.Control->BoundsRect(), C.At200);
  }
  Root->SetBounds(100, 100, 300, 300);
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(C.Control->BoundsRect(), C.At300);
  }
}

TEST_F(ControlsTest, AlignOrderFollowsPositionAndTheAskingControlFirst) {
  auto* A = add(new TShape(Root), Bounds(0, 50, 10, 10));
  auto* B = add(new TShape(Root), Bounds(0, 10, 10, 20));
  auto* C = add(new TShape(Root), Bounds(0, 30, 10, 30));
  Root->DisableAlign();
  for (TControl* X : {static_cast<TControl*>(A), static_cast<TControl*>(B), static_cast<TControl*>(C)}) X->SetAlign(alTop);
  Root->EnableAlign();
  EXPECT_EQ(B->Top(), 0);
  EXPECT_EQ(C->Top(), 20);
  EXPECT_EQ(A->Top(), 50);
  // A control moved to the top of a tie goes first.
  A->SetTop(0);
  EXPECT_EQ(A->Top(), 0);
  EXPECT_EQ(B->Top(), 10);
  EXPECT_EQ(C->Top(), 30);
  // Hidden children take no room; BorderWidth shrinks the area.
  B->SetVisible(false);
  Root->SetBorderWidth(5);
  EXPECT_EQ(A->BoundsRect(), Rect(5, 5, 195, 15));
  EXPECT_EQ(C->BoundsRect(), Rect(5, 15, 195, 45));
}

TEST_F(ControlsTest, AnchorsKeepTheirDistances) {
  Root->SetBounds(100, 100, 200, 100);
  struct Case {
    const char* Name;
    TAnchors Anchors;
    TRect Start;
    TRect After;  // parent 300 x 160
  } Cases[] = {
      {"left top", {akLeft, akTop}, {10, 10, 60, 30}, {10, 10, 60, 30}},
      {"left right", {akLeft, akTop, akRight}, {10, 10, 60, 30}, {10, 10, 160, 30}},
      {"right", {akRight, akTop}, {140, 10, 190, 30}, {240, 10, 290, 30}},
      {"top bottom", {akLeft, akTop, akBottom}, {10, 10, 60, 70}, {10, 10, 60, 130}},
      {"all", {akLeft, akTop, akRight, akBottom}, {10, 10, 190, 90}, {10, 10, 290, 150}},
      {"none: centred in proportion", {}, {75, 40, 125, 60}, {125, 70, 175, 90}},
  };
  std::vector<TShape*> Shapes;
  for (const Case& C : Cases) {
    Shapes.push_back(add(new TShape(Root), C.Start));
    Shapes.back()->SetAnchors(C.Anchors);
  }
  Root->SetBounds(100, 100, 300, 160);
  for (size_t I = 0; I < std::size(Cases); ++I) {
    SCOPED_TRACE(Cases[I].Name);
    EXPECT_EQ(Shapes[I]->BoundsRect(), Cases[I].After);
  }
  // Moving a child records its distances anew.
  Shapes[2]->SetLeft(200);
  Root->SetBounds(100, 100, 200, 160);
  EXPECT_EQ(Shapes[2]->Left(), 100);
}

// ---------------------------------------------------------------------------
// bounds

TEST_F(ControlsTest, ConstraintsAndResizeEventsShapeNewBounds) {
  auto* S = add(new TShape(Root), Bounds(0, 0, 60, 40));
  S->Constraints()->SetMinWidth(50);
  S->Constraints()->SetMinHeight(30);
  S->Constraints()->SetMaxWidth(100);
  S->Constraints()->SetMaxHeight(80);
  struct Case {
    const char* Name;
    int W, H;
    TSize Expected;
  } Cases[] = {
      {"below minimum", 10, 10, {50, 30}}, {"minimum", 50, 30, {50, 30}}, {"between", 70, 60, {70, 60}},
      {"maximum", 100, 80, {100, 80}},     {"above", 101, 200, {100, 80}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    S->SetBounds(0, 0, C.W, C.H);
    EXPECT_EQ((TSize{S->Width(), S->Height()}), C.Expected);
  }
  // A maximum below the minimum lowers the minimum.
  S->Constraints()->SetMaxWidth(40);
  EXPECT_EQ(S->Constraints()->MinWidth(), 40);
  EXPECT_EQ(S->Width(), 40) << "new constraints apply at once";

  bool Allow = false;
  S->OnCanResize = [&](TObject*, int&, int&, bool& Resize) { Resize = Allow; };
  S->SetBounds(5, 5, 30, 30);
  EXPECT_EQ(S->BoundsRect(), Bounds(0, 0, 40, 80)) << "a refused resize moves nothing";
  Allow = true;
  S->OnConstrainedResize = [](TObject*, int& MinW, int&, int&, int&) { MinW = 35; };
  S->SetBounds(5, 5, 30, 30);
  EXPECT_EQ(S->BoundsRect(), Bounds(5, 5, 35, 30));
}

TEST_F(ControlsTest, AutoSizeFitsTheChildrenAndTheBorder) {
  auto* P = add(new TPanel(Root), Bounds(0, 0, 150, 150));
  add(new TShape(Root), Bounds(10, 10, 50, 20), P);
  auto* Far = add(new TShape(Root), Bounds(30, 40, 40, 40), P);
  P->SetAutoSize(true);
  EXPECT_EQ((TSize{P->Width(), P->Height()}), (TSize{70, 80}));
  Far->SetLeft(60);
  EXPECT_EQ(P->Width(), 100) << "a child's move resizes the parent";
  P->SetBorderWidth(5);
  EXPECT_EQ((TSize{P->Width(), P->Height()}), (TSize{105, 85}));
  P->SetWidth(300);
  EXPECT_EQ(P->Width(), 105) << "the content decides";
}

TEST_F(ControlsTest, BoundsChangesSendPositionAndSizeMessages) {
  struct Case {
    const char* Name;
    bool Windowed;
  } Cases[] = {{"graphic", false}, {"windowed", true}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TControl* X = C.Windowed ? static_cast<TControl*>(new TPanel(Root)) : new TShape(Root);
    add(X, Bounds(10, 10, 30, 30));
    int Resizes = 0;
    X->OnResize = [&](TObject*) { ++Resizes; };
    TMessageSpy Spy(*X);
    X->SetBounds(20, 10, 30, 30);
    X->SetBounds(20, 10, 30, 30);
    const auto Moved = only(Spy, {WM_WINDOWPOSCHANGED, WM_SIZE});
    ASSERT_EQ(ids(Moved), (std::vector<UINT>{WM_WINDOWPOSCHANGED})) << "a move";
    EXPECT_EQ(Moved[0].LParam != 0, C.Windowed) << "a WINDOWPOS only with a window";
    EXPECT_EQ(Resizes, 0);
    Spy.Clear();
    X->SetBounds(20, 10, 40, 50);
    const auto Sized = only(Spy, {WM_WINDOWPOSCHANGED, WM_SIZE});
    ASSERT_EQ(ids(Sized), (std::vector<UINT>{WM_WINDOWPOSCHANGED, WM_SIZE}));
    EXPECT_EQ(Sized[1].LParam, MAKELPARAM(40, 50));
    EXPECT_EQ(Resizes, 1);
    // Loading: bounds change, OnResize waits.
    BeginLoading(X);
    X->SetBounds(20, 10, 45, 50);
    EXPECT_EQ(Resizes, 1);
    EndLoading(X);
  }
}

TEST_F(ControlsTest, WindowMovedFromOutsideBringsTheControlAlong) {
  auto* P = add(new TPanel(Root), Bounds(10, 10, 50, 50));
  auto* Aligned = add(new TShape(Root), Bounds(0, 0, 10, 10), P);
  Aligned->SetAlign(alClient);
  SetWindowPos(P->Handle(), nullptr, 20, 30, 80, 60, SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(P->BoundsRect(), Bounds(20, 30, 80, 60));
  EXPECT_EQ(P->Resizes, 2) << "one for the first size, one for this";
  EXPECT_EQ(Aligned->BoundsRect(), Bounds(0, 0, 80, 60));
}

// ---------------------------------------------------------------------------
// parent and owner

TEST_F(ControlsTest, ParentsHostAndFreeTheirChildren) {
  auto* Holder = new TComponent(nullptr);
  auto* P = add(new TPanel(Root), Bounds(0, 0, 100, 100));
  auto* W = add(new TPanel(Holder), Bounds(0, 0, 10, 10), P);
  auto* G1 = add(new TShape(Holder), Bounds(0, 0, 10, 10), P);
  auto* G2 = add(new TShape(Holder), Bounds(0, 0, 10, 10), P);
  ASSERT_EQ(P->ControlCount(), 3);
  EXPECT_EQ(P->Controls(0), G1) << "graphic children come first";
  EXPECT_EQ(P->Controls(1), G2);
  EXPECT_EQ(P->Controls(2), W);
  G1->BringToFront();
  EXPECT_EQ(P->Controls(1), G1);
  G1->SendToBack();
  EXPECT_EQ(P->Controls(0), G1);
  EXPECT_RAISES(P->Controls(3), EListError, "List index out of bounds (3)");

  G2->Free();
  EXPECT_EQ(P->ControlCount(), 2);
  EXPECT_EQ(Holder->ComponentCount(), 2);
  // The parent frees what it still hosts, though another component owns it.
  P->Free();
  EXPECT_EQ(Holder->ComponentCount(), 0);
  EXPECT_EQ(Root->ControlCount(), 0);
  Holder->Free();
  (void)W;
}

TEST_F(ControlsTest, ParentRulesAndWindowsFollowTheParent) {
  auto* P = add(new TPanel(Root), Bounds(0, 0, 100, 100));
  auto* Q = add(new TPanel(Root), Bounds(100, 0, 100, 100));
  auto* W = add(new TPanel(Root), Bounds(5, 5, 10, 10), P);
  EXPECT_RAISES(W->SetParent(W), EInvalidOperation, "A control cannot have itself as its parent");
  const HWND Old = W->Handle();
  EXPECT_EQ(GetParent(Old), P->Handle());
  W->SetParent(Q);
  EXPECT_FALSE(IsWindow(Old));
  EXPECT_EQ(GetParent(W->Handle()), Q->Handle());
  EXPECT_EQ(P->ControlCount(), 0);
  EXPECT_EQ(Q->Controls(0), W);

  // A control without parent hosted by a foreign window is its child window.
  auto* Hosted = new TPanel(Root);
  Hosted->SetBounds(7, 8, 20, 20);
  Hosted->SetParentWindow(Q->Handle());
  EXPECT_TRUE(Hosted->Showing());
  EXPECT_EQ(GetParent(Hosted->Handle()), Q->Handle());
  RECT R;
  GetWindowRect(Hosted->Handle(), &R);
  EXPECT_EQ(R, Bounds(100 + 100 + 7, 100 + 8, 20, 20));
  Hosted->SetParentWindow(nullptr);
  EXPECT_FALSE(Hosted->HandleAllocated());

  auto* Orphan = new TPanel(Root);
  Orphan->SetName(QStringLiteral("Orphan"));
  EXPECT_RAISES(Orphan->HandleNeeded(), EInvalidOperation, "Control 'Orphan' has no parent window");
  EXPECT_FALSE(Orphan->HandleAllocated());
}

// ---------------------------------------------------------------------------
// properties and notices

TEST_F(ControlsTest, ParentPropertiesReachChildrenThatFollowThem) {
  auto* P = add(new TPanel(Root), Bounds(0, 0, 100, 100));
  auto* Follows = add(new TShape(Root), Bounds(0, 0, 10, 10), P);
  auto* Own = add(new TShape(Root), Bounds(0, 0, 10, 10), P);
  Own->SetColor(clYellow);
  EXPECT_FALSE(Own->ParentColor());
  P->SetColor(clNavy);
  EXPECT_EQ(Follows->Color(), clNavy);
  EXPECT_TRUE(Follows->ParentColor());
  EXPECT_EQ(Own->Color(), clYellow);
  Own->SetParentColor(true);
  EXPECT_EQ(Own->Color(), clNavy);

  TFont F;
  F.SetName(QStringLiteral("Courier New"));
  F.SetHeight(-20);
  P->SetFont(&F);
  EXPECT_EQ(Follows->Font()->Name(), "Courier New");
  EXPECT_EQ(Follows->Font()->Height(), -20);
  Follows->Font()->SetHeight(-10);
  EXPECT_FALSE(Follows->ParentFont());

  P->SetShowHint(true);
  EXPECT_TRUE(Follows->ShowHint());
  P->SetBiDiMode(bdRightToLeft);
  EXPECT_EQ(Follows->BiDiMode(), bdRightToLeft);
  EXPECT_FALSE(Follows->UseRightToLeftAlignment()) << "only with a middle-east locale";
  EXPECT_EQ(Follows->DrawTextBiDiModeFlagsReadingOnly(), 0u);
  SysLocale.MiddleEast = true;
  EXPECT_TRUE(Follows->UseRightToLeftAlignment());
  EXPECT_EQ(Follows->DrawTextBiDiModeFlagsReadingOnly(), gdi::DT_RTLREADING);
  SysLocale.MiddleEast = false;
}

TEST_F(ControlsTest, TextGoesThroughTheTextMessages) {
  auto* S = add(new TShape(Root), Bounds(0, 0, 10, 10));
  TMessageSpy Spy(*S);
  S->SetCaption(QStringLiteral("Привет"));
  S->SetText(QStringLiteral("Привет"));
  EXPECT_EQ(S->Text(), "Привет");
  EXPECT_EQ(only(Spy, {CM_TEXTCHANGED}).size(), 1u) << "an equal text changes nothing";
  Char Buffer[4];
  EXPECT_EQ(S->Perform(WM_GETTEXT, 4, reinterpret_cast<LPARAM>(Buffer)), 3);
  EXPECT_EQ(String(Buffer), "При");
  // csSetCaption: a caption equal to the name follows it.
  S->SetText(String());
  S->SetName(QStringLiteral("Shape1"));
  EXPECT_EQ(S->Caption(), "Shape1");
  S->SetName(QStringLiteral("Shape2"));
  EXPECT_EQ(S->Caption(), "Shape2");
  S->SetText(QStringLiteral("other"));
  S->SetName(QStringLiteral("Shape3"));
  EXPECT_EQ(S->Caption(), "other");
}

TEST_F(ControlsTest, VisibleShowingAndEnabledDriveTheWindow) {
  auto* P = add(new TPanel(Root), Bounds(0, 0, 100, 100));
  auto* W = add(new TPanel(Root), Bounds(5, 5, 10, 10), P);
  EXPECT_TRUE(W->Showing());
  const HWND H = W->Handle();
  TMessageSpy Spy(*W);
  W->SetVisible(false);
  EXPECT_FALSE(W->Showing());
  EXPECT_FALSE(IsWindowVisible(H));
  EXPECT_EQ(ids(only(Spy, {CM_VISIBLECHANGED, CM_SHOWINGCHANGED})),
            (std::vector<UINT>{CM_VISIBLECHANGED, CM_SHOWINGCHANGED}));
  W->Show();
  EXPECT_TRUE(IsWindowVisible(H));
  P->Hide();
  EXPECT_FALSE(W->Showing()) << "a parent's hiding hides the child";
  EXPECT_TRUE(W->Visible());
  P->Show();
  EXPECT_TRUE(W->Showing());

  W->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(H));
  EXPECT_TRUE(GetWindowLong(H, GWL_STYLE) & LONG(WS_DISABLED));
  W->SetEnabled(true);
  EXPECT_TRUE(IsWindowEnabled(H));

  // A hidden control gets no window until one is asked for.
  auto* Hidden = new TPanel(Root);
  Hidden->SetVisible(false);
  add(Hidden, Bounds(0, 0, 10, 10), P);
  EXPECT_FALSE(Hidden->HandleAllocated());
}

// ---------------------------------------------------------------------------
// recreation

TEST_F(ControlsTest, RecreateWndMakesNewWindowsAndKeepsTheirState) {
  auto* P = add(new TPanel(Root), Bounds(10, 20, 100, 80));
  auto* Child = add(new TPanel(Root), Bounds(5, 5, 30, 30), P);
  auto* Graphic = add(new TShape(Root), Bounds(40, 5, 30, 30), P);
  P->SetText(QStringLiteral("kept"));
  SetWindowRgn(P->Handle(), CreateRectRgn(0, 0, 50, 40), 0);
  const HWND OldP = P->Handle();
  const HWND OldChild = Child->Handle();
  P->Creates = P->Destroys = Child->Creates = Child->Destroys = 0;

  P->RecreateWnd();
  EXPECT_EQ(P->Creates, 1);
  EXPECT_EQ(P->Destroys, 1);
  EXPECT_EQ(Child->Creates, 1);
  EXPECT_EQ(Child->Destroys, 1);
  EXPECT_NE(P->Handle(), OldP);
  EXPECT_NE(Child->Handle(), OldChild);
  EXPECT_FALSE(IsWindow(OldP));
  EXPECT_FALSE(IsWindow(OldChild));
  EXPECT_EQ(GetParent(Child->Handle()), P->Handle());
  EXPECT_EQ(P->BoundsRect(), Bounds(10, 20, 100, 80));
  EXPECT_TRUE(P->Showing());
  EXPECT_TRUE(IsWindowVisible(Child->Handle()));
  EXPECT_EQ(P->Text(), "kept");
  EXPECT_EQ(Graphic->Parent(), P);
  const HRGN Shape = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(P->Handle(), Shape), SIMPLEREGION);
  RECT Box;
  GetRgnBox(Shape, &Box);
  DeleteObject(Shape);
  EXPECT_EQ(Box, Rect(0, 0, 50, 40));
  EXPECT_FALSE(P->ControlState().Contains(csRecreating));

  // A posted request recreates when the pump delivers it.
  PostMessage(P->Handle(), CM_RECREATEWND, 0, 0);
  ProcessMessages();
  EXPECT_EQ(P->Creates, 2);
}

// Reading order, scroll-bar side and alignment are window styles: under a
// middle-east locale a new BiDiMode makes new windows, for the children that
// follow it too.
TEST_F(ControlsTest, BiDiModeRecreatesTheWindowWithItsStylesInAMiddleEastLocale) {
  const TSysLocale Saved = SysLocale;
  const TScopeExit Restore([Saved] { SysLocale = Saved; });
  auto* P = add(new TPanel(Root), Bounds(10, 20, 100, 80));
  auto* Child = add(new TPanel(Root), Bounds(5, 5, 30, 30), P);
  auto exStyle = [](TWinControl* C) { return DWORD(GetWindowLong(C->Handle(), GWL_EXSTYLE)); };
  constexpr DWORD Mirrored = WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR | WS_EX_RIGHT;

  P->Creates = Child->Creates = 0;
  P->SetBiDiMode(bdRightToLeft);
  EXPECT_EQ(P->Creates, 0) << "no style depends on it outside a middle-east locale";
  EXPECT_EQ(exStyle(P) & Mirrored, 0u);

  SysLocale.MiddleEast = true;
  P->SetBiDiMode(bdLeftToRight);
  SetFocus(Child->Handle());
  struct Case {
    TBiDiMode Mode;
    DWORD ExStyle;  // of the Mirrored bits
  } Cases[] = {
      {bdRightToLeft, Mirrored},
      {bdRightToLeftReadingOnly, WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR},
      {bdRightToLeftNoAlign, WS_EX_RTLREADING},
      {bdLeftToRight, 0},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(int(C.Mode));
    const HWND Old = P->Handle();
    P->SetBiDiMode(C.Mode);
    EXPECT_NE(P->Handle(), Old);
    EXPECT_FALSE(IsWindow(Old));
    EXPECT_EQ(exStyle(P) & Mirrored, C.ExStyle);
    EXPECT_EQ(exStyle(Child) & Mirrored, C.ExStyle) << "the child follows its parent";
    EXPECT_TRUE(IsWindowVisible(Child->Handle()));
    EXPECT_EQ(GetFocus(), Child->Handle()) << "the new window takes the focus back";
  }
}

// ---------------------------------------------------------------------------
// painting

TEST_F(ControlsTest, GraphicChildrenPaintInTheirParentsWindow) {
  Root->Fill = clWhite;
  auto* Opaque = add(new TShape(Root, clRed), Bounds(10, 10, 20, 20));
  Opaque->SetStyle(csOpaque);
  auto* Plain = add(new TShape(Root, clBlue), Bounds(50, 10, 20, 20));
  Root->Repaint();
  const HWND H = Root->Handle();
  EXPECT_EQ(pixelAt(H, 15, 15), COLORREF(clRed));
  EXPECT_EQ(pixelAt(H, 69, 29), COLORREF(clBlue));
  EXPECT_EQ(pixelAt(H, 70, 29), COLORREF(clWhite));

  // A graphic child's invalidation is its bounds in the parent's window.
  Plain->Invalidate();
  EXPECT_EQ(updateRegion(H), QRegion(50, 10, 20, 20));
  Plain->Paints = 0;
  Opaque->Paints = 0;
  Plain->Update();
  EXPECT_EQ(Plain->Paints, 1);
  EXPECT_EQ(Opaque->Paints, 0) << "only what meets the update region paints";

  Plain->SetVisible(false);
  Root->Update();
  EXPECT_EQ(pixelAt(H, 55, 15), COLORREF(clWhite)) << "hiding uncovers the parent";
  Plain->SetVisible(true);
  Plain->SetLeft(100);
  Root->Update();
  EXPECT_EQ(pixelAt(H, 55, 15), COLORREF(clWhite)) << "the old place is repainted";
  EXPECT_EQ(pixelAt(H, 105, 15), COLORREF(clBlue));

  // Drawing on the canvas outside painting lands at the control's place.
  Opaque->Canvas()->Brush()->SetColor(clLime);
  Opaque->Canvas()->FillRect(Rect(0, 0, 5, 5));
  EXPECT_EQ(pixelAt(H, 12, 12), COLORREF(clLime));
  EXPECT_EQ(pixelAt(H, 8, 8), COLORREF(clWhite)) << "clipped to the control";
  FreeDeviceContexts();
}

TEST_F(ControlsTest, APlainWindowedControlErasesAndPaintsItsGraphicChildren) {
  auto* Plain = add(new TWinControl(Root), Bounds(10, 10, 60, 60));
  Plain->SetColor(clAqua);
  add(new TShape(Root, clRed), Bounds(10, 10, 20, 20), Plain);
  Plain->Update();
  EXPECT_EQ(pixelAt(Plain->Handle(), 15, 15), COLORREF(clRed));
  EXPECT_EQ(pixelAt(Plain->Handle(), 40, 40), COLORREF(clAqua));
  // The control under a screen point: the window there, or its graphic child.
  EXPECT_EQ(FindDragTarget({100 + 10 + 15, 100 + 10 + 15}, false), Plain->Controls(0));
  EXPECT_EQ(FindDragTarget({100 + 10 + 45, 100 + 10 + 45}, false), Plain);
  EXPECT_EQ(FindDragTarget({100 + 150, 100 + 150}, false), Root);
  EXPECT_EQ(FindDragTarget({5, 5}, false), nullptr);
}

TEST_F(ControlsTest, PaintToDrawsAHiddenControlWithItsReplicatableChildren) {
  auto* P = new TPanel(Root);
  P->Fill = clSilver;
  P->ExtraExStyle = WS_EX_CLIENTEDGE;
  P->SetVisible(false);
  add(P, Bounds(0, 0, 80, 60));
  auto* Copied = add(new TShape(Root, clGreen), Bounds(5, 5, 20, 20), P);
  Copied->SetStyle(csReplicatable);
  add(new TShape(Root, clBlue), Bounds(30, 5, 20, 20), P);
  auto* Inner = add(new TPanel(Root), Bounds(5, 30, 30, 20), P);
  Inner->Fill = clYellow;

  const auto Image = test::Snapshot(P);
  ASSERT_EQ(Image->Width(), 80);
  struct Probe {
    const char* Name;
    TPoint P;
    COLORREF Expected;
  } Probes[] = {
      {"edge", {0, 0}, GetSysColor(COLOR_BTNSHADOW)},
      {"client", {60, 40}, clSilver},
      {"replicatable child", {2 + 5 + 10, 2 + 5 + 10}, clGreen},
      {"plain child left out", {2 + 30 + 10, 2 + 5 + 10}, clSilver},
      {"windowed child", {2 + 5 + 10, 2 + 30 + 10}, clYellow},
  };
  for (const Probe& Pr : Probes) {
    SCOPED_TRACE(Pr.Name);
    EXPECT_EQ(bitmapPixel(*Image, Pr.P.X, Pr.P.Y), Pr.Expected);
  }
  EXPECT_FALSE(P->ControlState().Contains(csPaintCopy));
  SaveForReview(Image->Image(), QStringLiteral("controls_paintto.png"));
}

TEST_F(ControlsTest, ATreeShowsOnTheScreenAsPainted) {
  Root->Fill = clWhite;
  auto* Side = add(new TPanel(Root), Bounds(0, 0, 50, 10));
  Side->Fill = clNavy;
  Side->SetAlign(alLeft);
  auto* Mark = add(new TShape(Root, clRed), Bounds(100, 100, 10, 10));
  Root->Update();
  Side->Update();
  const auto Screen = GrabWindow(Root);
  EXPECT_EQ(bitmapPixel(*Screen, 10, 100), COLORREF(clNavy));
  EXPECT_EQ(bitmapPixel(*Screen, 105, 105), COLORREF(clRed));
  EXPECT_EQ(bitmapPixel(*Screen, 150, 150), COLORREF(clWhite));
  SaveForReview(Screen->Image(), QStringLiteral("controls_tree.png"));
  (void)Mark;
}

TEST_F(ControlsTest, BevelsTakeTheirRingsFromTheClientArea) {
  struct Case {
    const char* Name;
    TBevelKind Kind;
    TBevelCut Inner, Outer;
    int Width;
    TBevelEdges Edges;
    TRect Client;             // window coordinates
    COLORREF Corner, Inside;  // window pixels (0, 0) and (1, 1)
  } Cases[] = {
      {"none", bkNone, bvRaised, bvLowered, 1, {beLeft, beTop, beRight, beBottom}, {0, 0, 60, 40}, clWhite, clWhite},
      {"lowered pair", bkTile, bvRaised, bvLowered, 1, {beLeft, beTop, beRight, beBottom}, {2, 2, 58, 38},
       GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT)},
      {"wide single ring", bkTile, bvNone, bvLowered, 2, {beLeft, beTop, beRight, beBottom}, {2, 2, 58, 38},
       GetSysColor(COLOR_BTNSHADOW), clAqua},
      {"flat", bkFlat, bvRaised, bvLowered, 1, {beLeft, beTop, beRight, beBottom}, {2, 2, 58, 38},
       GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNFACE)},
      {"top only", bkTile, bvNone, bvRaised, 1, {beTop}, {0, 1, 60, 40}, GetSysColor(COLOR_3DLIGHT), clWhite},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    auto* P = add(new TPanel(Root), Bounds(10, 10, 60, 40));
    P->SetColor(clAqua);
    P->SetBevelKind(C.Kind);
    P->SetBevelInner(C.Inner);
    P->SetBevelOuter(C.Outer);
    P->SetBevelWidth(C.Width);
    P->SetBevelEdges(C.Edges);
    const HWND H = P->Handle();
    POINT Origin{0, 0};
    ClientToScreen(H, &Origin);
    RECT Window;
    GetWindowRect(H, &Window);
    EXPECT_EQ(Origin, Point(Window.Left + C.Client.Left, Window.Top + C.Client.Top));
    EXPECT_EQ(P->ClientRect(), Rect(0, 0, C.Client.Width(), C.Client.Height()));
    P->Update();
    EXPECT_EQ(windowPixelAt(H, 0, 0), C.Corner);
    EXPECT_EQ(windowPixelAt(H, 1, 1), C.Inside);
    P->Free();
  }
}

// ---------------------------------------------------------------------------
// mouse

TEST_F(ControlsTest, MouseMessagesReachTheGraphicChildUnderThePoint) {
  auto* S = add(new TShape(Root), Bounds(20, 30, 40, 40));
  const HWND H = Root->Handle();
  SendMessage(H, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(25, 35));
  EXPECT_EQ(GetCaptureControl(), S) << "csCaptureMouse: the parent window holds it for the child";
  SendMessage(H, WM_LBUTTONUP, 0, MAKELPARAM(30, 40));
  EXPECT_EQ(GetCaptureControl(), nullptr);
  EXPECT_EQ(S->Events, (std::vector<String>{"down 0 5,5", "click", "up 0 10,10"}));

  // Released outside: the capture still brings the up, but no click.
  S->Events.clear();
  SendMessage(H, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(25, 35));
  SendMessage(H, WM_LBUTTONUP, 0, MAKELPARAM(150, 150));
  EXPECT_EQ(S->Events, (std::vector<String>{"down 0 5,5", "up 0 130,120"}));

  // Without csDoubleClicks a double click arrives as a press.
  S->Events.clear();
  S->DropStyle(csDoubleClicks);
  SendMessage(H, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(25, 35));
  SendMessage(H, WM_LBUTTONUP, 0, MAKELPARAM(25, 35));
  S->SetStyle(csDoubleClicks);
  SendMessage(H, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(25, 35));
  SendMessage(H, WM_LBUTTONUP, 0, MAKELPARAM(25, 35));
  EXPECT_EQ(S->Events, (std::vector<String>{"down 0 5,5", "click", "up 0 5,5", "dblclick", "down 0 5,5 double",
                                            "up 0 5,5"}));

  // Disabled graphic children get nothing; the parent does.
  S->Events.clear();
  S->SetEnabled(false);
  int ParentDowns = 0;
  Root->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++ParentDowns; };
  SendMessage(H, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(25, 35));
  SendMessage(H, WM_LBUTTONUP, 0, MAKELPARAM(25, 35));
  EXPECT_TRUE(S->Events.empty());
  EXPECT_EQ(ParentDowns, 1);
}

TEST_F(ControlsTest, ContextMenuComesBeforeTheReleaseAndFallsToTheParent) {
  auto* S = add(new TShape(Root), Bounds(20, 30, 40, 40));
  std::vector<String> Log;
  TPoint Seen;
  S->OnContextPopup = [&](TObject*, TPoint P, bool&) {
    Log.push_back(QStringLiteral("child popup"));
    Seen = P;
  };
  Root->OnContextPopup = [&](TObject*, TPoint, bool& Handled) {
    Log.push_back(QStringLiteral("parent popup"));
    Handled = true;
  };
  S->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { Log.push_back(QStringLiteral("up")); };
  SendMessage(Root->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(25, 35));
  EXPECT_EQ(Log, (std::vector<String>{"child popup", "parent popup", "up"}));
  EXPECT_EQ(Seen, Point(5, 5));
}

TEST_F(ControlsTest, TheContextMenuKeysAskForTheMenuFromTheKeyboard) {
  auto* Field = add(new TPanel(Root), Bounds(20, 30, 60, 40));
  auto* Menu = new TPopupMenu(Root);
  Field->SetPopupMenu(Menu);
  std::vector<TPoint> Points;
  SetMenuResponder([&](const TMenuRequest& R) {
    Points.push_back(R.Point);
    return nullptr;
  });
  Field->SetFocus();
  struct Case {
    const char* Name;
    Word Key;
    TShiftState Shift;
    bool Pops;
  } Cases[] = {
      {"context-menu key", VK_APPS, {}, true},
      {"Shift+F10", VK_F10, {ssShift}, true},
      {"F10 alone", VK_F10, {}, false},
      {"Ctrl+F10", VK_F10, {ssCtrl}, false},
      {"Shift+F9", VK_F9, {ssShift}, false},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Points.clear();
    Menu->SetPopupComponent(nullptr);
    test::KeyDown(C.Key, C.Shift);
    test::KeyUp(C.Key, C.Shift);
    ASSERT_EQ(Points.size(), C.Pops ? 1u : 0u);
    if (!C.Pops) continue;
    // No mouse point: the menu comes at the control's client origin.
    EXPECT_EQ(Points[0], Field->ClientToScreen({0, 0}));
    EXPECT_EQ(Menu->PopupComponent(), Field);
  }

  // A key handler that takes the key keeps the menu away.
  Points.clear();
  Field->OnKeyDown = [](TObject*, Word& Key, TShiftState) {
    if (Key == VK_APPS) Key = 0;
  };
  test::KeyDown(VK_APPS);
  EXPECT_TRUE(Points.empty());

  // Without a menu of its own the control passes the request to its parent.
  Field->OnKeyDown = {};
  Field->SetPopupMenu(nullptr);
  Root->SetPopupMenu(Menu);
  test::KeyDown(VK_APPS);
  ASSERT_EQ(Points.size(), 1u);
  EXPECT_EQ(Points[0], Root->ClientToScreen({0, 0}));
  EXPECT_EQ(Menu->PopupComponent(), Root);
  SetMenuResponder({});
}

TEST_F(ControlsTest, WheelBubblesUntilHandledAndCountsWholeNotches) {
  auto* P = add(new TPanel(Root), Bounds(0, 0, 100, 100));
  auto* S = add(new TShape(Root), Bounds(0, 0, 10, 10), P);
  TMessageSpy ParentSpy(*P);
  const WPARAM W = MAKEWPARAM(0, WORD(-240));
  EXPECT_EQ(S->Perform(CM_MOUSEWHEEL, W, PointToLParam({5, 5})), 0);
  EXPECT_EQ(S->Events, (std::vector<String>{"wheel down", "wheel down"}));
  EXPECT_EQ(only(ParentSpy, {CM_MOUSEWHEEL}).size(), 1u);
  // Half notches gather.
  S->Events.clear();
  S->Perform(CM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-60)), 0);
  EXPECT_TRUE(S->Events.empty());
  S->Perform(CM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-60)), 0);
  EXPECT_EQ(S->Events.size(), 1u);
  // A handler stops the bubbling.
  int Handled = 0;
  P->OnMouseWheel = [&](TObject*, TShiftState Shift, int Delta, TPoint, bool& H) {
    ++Handled;
    EXPECT_EQ(Delta, 120);
    EXPECT_TRUE(Shift.Contains(ssCtrl));
    H = true;
  };
  TMessageSpy RootSpy(*Root);
  EXPECT_EQ(SendMessage(P->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, 120), PointToLParam({150, 150})), 1);
  EXPECT_EQ(Handled, 1);
  EXPECT_TRUE(only(RootSpy, {CM_MOUSEWHEEL}).empty());
}

TEST_F(ControlsTest, MouseEnterFiresForItselfAndTellsTheParentsWhoItCameFrom) {
  auto* S = add(new TShape(Root), Bounds(0, 0, 10, 10));
  int Enters = 0;
  int RootEnters = 0;
  S->OnMouseEnter = [&](TObject*) { ++Enters; };
  Root->OnMouseEnter = [&](TObject*) { ++RootEnters; };
  TMessageSpy Spy(*Root);
  S->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(Enters, 1);
  EXPECT_EQ(RootEnters, 0);
  ASSERT_EQ(Spy.Messages().size(), 1u);
  EXPECT_EQ(Spy.Messages()[0].LParam, reinterpret_cast<LPARAM>(static_cast<TControl*>(S)));
}

// ---------------------------------------------------------------------------
// lookups, tab order, scaling

TEST_F(ControlsTest, ControlAtPosHonoursItsFlags) {
  auto* P = add(new TPanel(Root), Bounds(100, 100, 50, 50));
  auto* Inner = add(new TShape(Root), Bounds(10, 10, 10, 10), P);
  auto* Disabled = add(new TShape(Root), Bounds(0, 0, 20, 20));
  Disabled->SetEnabled(false);
  auto* Hidden = add(new TShape(Root), Bounds(30, 0, 20, 20));
  Hidden->SetVisible(false);
  struct Case {
    const char* Name;
    TPoint Pos;
    bool AllowDisabled, AllowWin, AllLevels;
    TControl* Expected;
  } Cases[] = {
      {"disabled", {5, 5}, false, false, false, nullptr},
      {"disabled allowed", {5, 5}, true, false, false, Disabled},
      {"hidden", {35, 5}, true, true, false, nullptr},
      {"windowed not allowed", {105, 105}, false, false, false, nullptr},
      {"windowed", {105, 105}, false, true, false, P},
      {"all levels", {115, 115}, false, true, true, Inner},
      {"edge is outside", {150, 150}, false, true, false, nullptr},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(Root->ControlAtPos(C.Pos, C.AllowDisabled, C.AllowWin, C.AllLevels), C.Expected);
  }
  EXPECT_EQ(Root->FindChildControl(QStringLiteral("")), nullptr);
  Inner->SetName(QStringLiteral("Inner"));
  EXPECT_EQ(P->FindChildControl(QStringLiteral("INNER")), Inner);
  EXPECT_TRUE(Root->ContainsControl(Inner));
  EXPECT_FALSE(P->ContainsControl(Disabled));
}

TEST_F(ControlsTest, TabOrderIsItsOwnListAmongWindowedSiblings) {
  auto* A = add(new TPanel(Root), Bounds(0, 0, 10, 10));
  auto* B = add(new TPanel(Root), Bounds(0, 0, 10, 10));
  auto* C = add(new TPanel(Root), Bounds(0, 0, 10, 10));
  auto* CA = add(new TPanel(Root), Bounds(0, 0, 5, 5), C);
  EXPECT_EQ(B->TabOrder(), 1);
  C->SetTabOrder(0);
  A->SetTabOrder(-1);
  EXPECT_EQ(C->TabOrder(), 0);
  EXPECT_EQ(B->TabOrder(), 1);
  EXPECT_EQ(A->TabOrder(), 2);
  TList List;
  Root->GetTabOrderList(&List);
  ASSERT_EQ(List.Count(), 4);
  EXPECT_EQ(List.Items(0), C);
  EXPECT_EQ(List.Items(1), CA);
  EXPECT_EQ(List.Items(2), B);
  EXPECT_EQ(List.Items(3), A);
  EXPECT_EQ(Root->Controls(Root->ControlCount() - 1), C) << "tab order is not Z order";
}

TEST_F(ControlsTest, ChangeScaleScalesEdgesFontsAndConstraints) {
  auto* P = add(new TPanel(Root), Bounds(10, 10, 100, 50));
  auto* A = add(new TShape(Root), Bounds(3, 3, 11, 11), P);
  auto* B = add(new TShape(Root), Bounds(14, 3, 11, 11), P);
  B->Font()->SetHeight(-12);
  B->Constraints()->SetMinWidth(10);
  P->ScaleBy(3, 2);
  EXPECT_EQ(P->BoundsRect(), Rect(15, 15, 165, 90));
  EXPECT_EQ(A->BoundsRect(), Rect(5, 5, 21, 21));
  EXPECT_EQ(B->Left(), A->Left() + A->Width()) << "neighbours stay adjacent";
  EXPECT_EQ(B->Font()->Height(), -18);
  EXPECT_EQ(B->Constraints()->MinWidth(), 15);
  EXPECT_DOUBLE_EQ(B->ScaleFactor(), 1.5);
  EXPECT_TRUE(A->ParentFont());
}

}  // namespace

// ---------------------------------------------------------------------------
// backgrounds and actions aimed at a control

TEST_F(ControlsTest, EraseBackgroundPaintsTheParentUnderAnOpaqueChild) {
  auto* Plain = add(new TWinControl(Root), Bounds(10, 10, 60, 60));
  Plain->SetColor(clAqua);
  auto* Shape = add(new TShape(Root, clRed), Bounds(10, 10, 20, 20), Plain);
  Shape->SetStyle(csOpaque);
  Plain->Update();
  ASSERT_EQ(pixelAt(Plain->Handle(), 15, 15), COLORREF(clRed));

  PerformEraseBackground(Shape, Shape->Canvas()->Handle());
  EXPECT_EQ(pixelAt(Plain->Handle(), 10, 10), COLORREF(clAqua));
  EXPECT_EQ(pixelAt(Plain->Handle(), 29, 29), COLORREF(clAqua));
  EXPECT_TRUE(Shape->ControlStyle().Contains(csOpaque)) << "the style comes back";

  auto* Orphan = new TShape(nullptr, clRed);
  PerformEraseBackground(Orphan, Shape->Canvas()->Handle());  // no parent: nothing
  Orphan->Free();
  FreeDeviceContexts();
}

namespace {

// An action that handles only Handled and logs what it did.
class TTargetAction : public TBasicAction {
public:
  explicit TTargetAction(TObject* Handled) : TBasicAction(nullptr), FHandled(Handled) {}
  bool HandlesTarget(TObject* Target) override { return Target == FHandled; }
  void ExecuteTarget(TObject* Target) override { Log.push_back(QStringLiteral("execute")); }
  void UpdateTarget(TObject* Target) override { Log.push_back(QStringLiteral("update")); }
  std::vector<String> Log;

private:
  TObject* FHandled;
};

}  // namespace

TEST_F(ControlsTest, ActionsAimedAtAControlRunOnItWhenTheyHandleIt) {
  auto* Shape = add(new TShape(Root), Bounds(0, 0, 5, 5));
  TTargetAction Handles(Shape);
  EXPECT_TRUE(Shape->ExecuteAction(&Handles));
  EXPECT_TRUE(Shape->UpdateAction(&Handles));
  EXPECT_EQ(Handles.Log, (std::vector<String>{"execute", "update"}));

  TTargetAction Other(Root);
  EXPECT_FALSE(Shape->ExecuteAction(&Other));
  EXPECT_FALSE(Shape->UpdateAction(&Other));
  EXPECT_TRUE(Other.Log.empty());
}
