#include "platform/ui/windowing/window.h"

#include "platform/rtl/scopeexit.h"
#include "platform/ui/graphics/regions.h"
#include "platform/ui/graphics/surface.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/window_p.h"
#include "platform/ui/windowing/windowingstate_p.h"

#include <QMoveEvent>
#include <QPaintEvent>
#include <QResizeEvent>
#include <QWindow>
#include <QPainter>
#include <algorithm>
#include <exception>

using namespace gdi;

// ---------------------------------------------------------------------------
// the widget

namespace {

// Moving or sizing a top level by its frame when the window system cannot:
// the window holds the capture and follows the cursor until the button
// comes up.  One at a time, as there is one mouse.
struct TFrameDrag {
  HWND Window = nullptr;
  LRESULT Hit = HTNOWHERE;  // HTCAPTION or an edge / corner code
  TPoint Start;             // the cursor at the press (screen)
  TRect StartBounds;
};

}  // namespace

struct windowing_detail::TWindowState {
  // Qt paint events being handled: a synchronous repaint from inside one
  // would nest painters, so updates are only scheduled then.
  int QtPaintDepth = 0;
  std::vector<HWND> TopLevelOrder;  // bottom to top, for WindowFromPoint
  bool DCProviderInstalled = false;
  TFrameDrag FrameDrag;

  // Between tests: no frame drag; the windows alive keep their order.
  void Reset() { FrameDrag = TFrameDrag(); }
};

namespace {

windowing_detail::TWindowState& windowsPart() { return WindowingState().Windows.Get(); }

std::vector<HWND>& topLevelOrder() { return windowsPart().TopLevelOrder; }

void removeTopLevel(HWND Window) {
  auto& Order = topLevelOrder();
  Order.erase(std::remove(Order.begin(), Order.end(), Window), Order.end());
}

void installDCProvider() {
  bool& Installed = windowsPart().DCProviderInstalled;
  if (Installed) return;
  Installed = true;
  SetWindowDCProvider([](HWND Window) -> HDC {
    TContainerWindow* W = FindContainer(Window);
    if (!W) return nullptr;
    // Drawing outside painting shows at Qt's next paint, by which time the
    // caller has finished drawing.
    W->ScheduleShowAll();
    return W->Store().CreateClientDC(Window);
  });
}

QRegion clientToWindow(const TContainerWindow& W, const QRegion& R) {
  const TRect C = W.ClientRect();
  return R.translated(C.Left, C.Top);
}

TFrameDrag& frameDrag() { return windowsPart().FrameDrag; }

bool dragsLeft(LRESULT Hit) { return Hit == HTLEFT || Hit == HTTOPLEFT || Hit == HTBOTTOMLEFT; }
bool dragsRight(LRESULT Hit) { return Hit == HTRIGHT || Hit == HTTOPRIGHT || Hit == HTBOTTOMRIGHT; }
bool dragsTop(LRESULT Hit) { return Hit == HTTOP || Hit == HTTOPLEFT || Hit == HTTOPRIGHT; }
bool dragsBottom(LRESULT Hit) { return Hit == HTBOTTOM || Hit == HTBOTTOMLEFT || Hit == HTBOTTOMRIGHT; }

Qt::Edges qtEdges(LRESULT Hit) {
  Qt::Edges Edges;
  if (dragsLeft(Hit)) Edges |= Qt::LeftEdge;
  if (dragsRight(Hit)) Edges |= Qt::RightEdge;
  if (dragsTop(Hit)) Edges |= Qt::TopEdge;
  if (dragsBottom(Hit)) Edges |= Qt::BottomEdge;
  return Edges;
}

// Hands the move or resize to the window system; False when it has none.
bool startSystemDrag(const TContainerWindow& Window, LRESULT Hit) {
  QWidget* Widget = Window.Widget();
  QWindow* Native = Widget ? Widget->windowHandle() : nullptr;
  if (!Native) return false;
  return Hit == HTCAPTION ? Native->startSystemMove() : Native->startSystemResize(qtEdges(Hit));
}

void beginFrameDrag(const TContainerWindow& Window, LRESULT Hit, TPoint Screen) {
  if (Hit != HTCAPTION && (Hit < HTSIZEFIRST || Hit > HTSIZELAST)) return;
  if (startSystemDrag(Window, Hit)) return;
  frameDrag() = {Window.Handle(), Hit, Screen, Window.Bounds()};
  SetCapture(Window.Handle());
}

// The rectangle for the cursor at Screen: the dragged edges follow it, the
// others stay; Constraints decide the size.
void trackFrameDrag(TWinControl* Control, TPoint Screen) {
  const TFrameDrag& D = frameDrag();
  const int DX = Screen.X - D.Start.X;
  const int DY = Screen.Y - D.Start.Y;
  TRect R = D.StartBounds;
  if (D.Hit == HTCAPTION) {
    Control->SetBounds(R.Left + DX, R.Top + DY, R.Width(), R.Height());
    return;
  }
  if (dragsLeft(D.Hit)) R.Left = std::min(R.Left + DX, R.Right);
  if (dragsRight(D.Hit)) R.Right = std::max(R.Right + DX, R.Left);
  if (dragsTop(D.Hit)) R.Top = std::min(R.Top + DY, R.Bottom);
  if (dragsBottom(D.Hit)) R.Bottom = std::max(R.Bottom + DY, R.Top);
  const TSize Size = Control->ConstrainedSize(R.Width(), R.Height());
  const int Left = dragsLeft(D.Hit) ? R.Right - Size.cx : R.Left;
  const int Top = dragsTop(D.Hit) ? R.Bottom - Size.cy : R.Top;
  Control->SetBounds(Left, Top, Size.cx, Size.cy);
}

// The drag's share of the window's messages: True when it took Message.
bool frameDragMessage(TWinControl* Control, TMessage& Message) {
  TFrameDrag& D = frameDrag();
  POINT Cursor;
  switch (Message.Msg) {
    case WM_MOUSEMOVE:
      GetCursorPos(Cursor);
      trackFrameDrag(Control, Cursor);
      return true;
    case WM_LBUTTONUP:
      GetCursorPos(Cursor);
      trackFrameDrag(Control, Cursor);
      D = {};
      ReleaseCapture();
      return true;
    case WM_CANCELMODE: {
      // Cancelled: back where it started.
      const TRect Start = D.StartBounds;
      D = {};
      ReleaseCapture();
      Control->SetBounds(Start.Left, Start.Top, Start.Width(), Start.Height());
      return true;
    }
    case WM_CAPTURECHANGED:
      D = {};
      return false;
    default: return false;
  }
}

}  // namespace

// The Qt widget showing a window: it paints the backing image and hands its
// input to the router (AttachInput).
class TWindowWidget : public QWidget {
public:
  TWindowWidget(TContainerWindow* Window, QWidget* Parent, Qt::WindowFlags Flags)
      : QWidget(Parent, Flags), FWindow(Window) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setMouseTracking(true);
    // Our focus tracker decides; Qt never moves the focus on its own.
    setFocusPolicy(Qt::NoFocus);
  }

  // The window went away; the widget is deleted later.
  void Detach() { FWindow = nullptr; }

protected:
  // The window system moved or sized a top level (our own moves come back
  // with the bounds already set and change nothing).
  void moveEvent(QMoveEvent*) override {
    if (FWindow && isWindow()) FWindow->FollowWindowSystem(geometry());
  }
  void resizeEvent(QResizeEvent*) override {
    if (FWindow && isWindow()) FWindow->FollowWindowSystem(geometry());
  }

  void paintEvent(QPaintEvent* Event) override {
    if (!FWindow) return;
    ++windowsPart().QtPaintDepth;
    const TScopeExit Depth([] { --windowsPart().QtPaintDepth; });
    FWindow->PaintNow(&Event->region());
    if (!FWindow) return;
    QPainter P(this);
    P.setCompositionMode(QPainter::CompositionMode_Source);
    const QImage& Image = FWindow->Store().Image();
    if ((FWindow->LayeredFlags() & LWA_COLORKEY) && (FWindow->ExStyle() & WS_EX_LAYERED)) {
      const COLORREF Key = FWindow->LayeredKey();
      const QImage Keyed = keyedOut(Image.copy(Event->rect()), QColor(GetRValue(Key), GetGValue(Key), GetBValue(Key)));
      P.drawImage(Event->rect().topLeft(), Keyed);
      return;
    }
    P.drawImage(Event->rect(), Image, Event->rect());
  }

private:
  // The key colour's pixels become transparent (colour-keyed layered windows).
  static QImage keyedOut(QImage Image, QColor Key) {
    Image = Image.convertToFormat(QImage::Format_ARGB32);
    const QRgb K = Key.rgb() & 0xFFFFFF;
    for (int Y = 0; Y < Image.height(); ++Y) {
      auto* Row = reinterpret_cast<QRgb*>(Image.scanLine(Y));
      for (int X = 0; X < Image.width(); ++X)
        if ((Row[X] & 0xFFFFFF) == K) Row[X] = 0;
    }
    return Image;
  }

  TContainerWindow* FWindow;
};

// ---------------------------------------------------------------------------
// TContainerWindow

TContainerWindow* FindContainer(HWND Window) { return dynamic_cast<TContainerWindow*>(FindWindowObject(Window)); }

TContainerWindow::TContainerWindow(TWinControl* Control, const TCreateParams& Params)
    : FControl(Control),
      FStyle(Params.Style),
      FExStyle(Params.ExStyle),
      FClassStyle(Params.ClassStyle),
      FBounds(::Bounds(Params.X, Params.Y, std::max(Params.Width, 0), std::max(Params.Height, 0))) {
  installDCProvider();
  TContainerWindow* ParentWindow = FindContainer(Params.WndParent);
  FTopLevel = !ParentWindow || !(Params.Style & WS_CHILD);
  if (FTopLevel)
    FOwner = Params.WndParent == GetDesktopWindow() ? nullptr : Params.WndParent;
  else
    FParent = Params.WndParent;
  FHandle = AllocateWindowHandle(this);
  if (FTopLevel) topLevelOrder().push_back(FHandle);
  makeWidget(Params);
}

TContainerWindow::~TContainerWindow() {
  if (frameDrag().Window == FHandle) frameDrag() = {};
  ui_detail::ForgetScrollTrack(FHandle);
  if (FTopLevel) removeTopLevel(FHandle);
  ReleaseWindowHandle(FHandle);
  if (FWidget) {
    DetachInput(FWidget);
    FWidget->Detach();
    FWidget->hide();
    // The widget may be inside its own event handler (a window recreated
    // from a click); Qt deletes it once that returns.
    FWidget->deleteLater();
  }
}

void TContainerWindow::makeWidget(const TCreateParams& Params) {
  if (!FTopLevel) {
    FWidget = new TWindowWidget(this, ParentContainer()->Widget(), Qt::Widget);
  } else {
    // Top levels are frameless: the non-client area is ours.
    Qt::WindowFlags Flags = Qt::Window | Qt::FramelessWindowHint;
    if (Params.ExStyle & WS_EX_TOOLWINDOW) Flags |= Qt::Tool;
    if (Params.ExStyle & WS_EX_TOPMOST) Flags |= Qt::WindowStaysOnTopHint;
    if (Params.ExStyle & WS_EX_NOACTIVATE) Flags |= Qt::WindowDoesNotAcceptFocus;
    FWidget = new TWindowWidget(this, nullptr, Flags);
    // Activation is ours (the activation tracker); showing never activates.
    FWidget->setAttribute(Qt::WA_ShowWithoutActivating);
    if (Params.ExStyle & WS_EX_LAYERED) FWidget->setAttribute(Qt::WA_TranslucentBackground);
  }
  AttachInput(FHandle, FWidget);
}

void TContainerWindow::Realize() {
  ApplyBounds(FBounds, /*Frame=*/true);
  applyVisibility();
}

// IWindow

void TContainerWindow::WindowMessage(TMessage& Message) {
  if (frameDrag().Window == FHandle && frameDragMessage(FControl, Message)) return;
  if (ui_detail::ScrollTrackMessage(*this, Message)) return;
  FControl->Perform(Message);
}

void TContainerWindow::DefaultWindowMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_NCCALCSIZE: ui_detail::DefaultNCCalcSize(*this, Message.As<TWMNCCalcSize>()); return;
    case WM_NCPAINT: ui_detail::DefaultNCPaint(*this); return;
    case WM_NCHITTEST: Message.Result = ui_detail::DefaultNCHitTest(*this, Message.As<TWMNCHitTest>().Pos()); return;
    case WM_PAINT: {
      // A DC in WParam: the sender paints elsewhere; nothing to validate.
      if (Message.WParam) return;
      PAINTSTRUCT PS;
      BeginPaint(FHandle, &PS);
      EndPaint(FHandle, &PS);
      return;
    }
    case WM_ERASEBKGND: Message.Result = 0; return;
    case WM_WINDOWPOSCHANGED: {
      const auto* Pos = Message.As<TWMWindowPosChanged>().WindowPos;
      if (Pos && !((Pos->flags & SWP_NOSIZE) && (Pos->flags & SWP_NOCLIENTSIZE))) {
        const TRect C = ClientRect();
        SendMessage(FHandle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(WORD(C.Width()), WORD(C.Height())));
      }
      return;
    }
    case WM_RBUTTONUP: {
      const TPoint P = ClientToScreen(Message.As<TWMMouse>().Pos());
      SendMessage(FHandle, WM_CONTEXTMENU, HandleToWParam(FHandle), PointToLParam(P));
      return;
    }
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL:
      // Children pass them up.
      if (FParent) Message.Result = SendMessage(FParent, Message.Msg, Message.WParam, Message.LParam);
      return;
    case WM_MOUSEACTIVATE:
      if (FParent) {
        Message.Result = SendMessage(FParent, Message.Msg, Message.WParam, Message.LParam);
        if (Message.Result != 0) return;
      }
      Message.Result = (FExStyle & WS_EX_NOACTIVATE) && FTopLevel ? MA_NOACTIVATE : MA_ACTIVATE;
      return;
    case WM_CANCELMODE:
      if (GetCapture() == FHandle) ReleaseCapture();
      return;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: {
      // A press on a scroll bar tracks it (a quick second press as well); one
      // on a top level's caption or sizing border moves or sizes it.
      const LRESULT Hit = LRESULT(Message.WParam);
      const TPoint Screen = LParamToPoint(Message.LParam);
      if (Hit == HTVSCROLL || Hit == HTHSCROLL)
        ui_detail::BeginScrollTrack(*this, Hit == HTVSCROLL ? SB_VERT : SB_HORZ, Screen);
      else if (FTopLevel && Message.Msg == WM_NCLBUTTONDOWN)
        beginFrameDrag(*this, Hit, Screen);
      return;
    }
    case WM_GETDLGCODE: Message.Result = 0; return;
    case WM_THEMECHANGED: RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME); return;
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case WM_SETTEXT:
      // The control keeps the window's text.
      FControl->TControl::DefaultHandler(Message);
      return;
    default: IWindow::DefaultWindowMessage(Message);
  }
}

HWND TContainerWindow::ParentWindow() const { return FParent; }

TContainerWindow* TContainerWindow::ParentContainer() const { return FindContainer(FParent); }

bool TContainerWindow::AcceptsInput() const { return IsVisible() && IsEnabled(); }

TPoint TContainerWindow::ScreenOrigin() const {
  if (FTopLevel) return FBounds.TopLeft();
  const TContainerWindow* P = ParentContainer();
  if (!P) return FBounds.TopLeft();
  const TPoint O = P->ScreenOrigin();
  const TRect C = P->ClientRect();
  return {O.X + C.Left + FBounds.Left, O.Y + C.Top + FBounds.Top};
}

TPoint TContainerWindow::ClientToScreen(TPoint ClientPoint) const {
  const TPoint O = ScreenOrigin();
  const TRect C = ClientRect();
  return {ClientPoint.X + O.X + C.Left, ClientPoint.Y + O.Y + C.Top};
}

TPoint TContainerWindow::ScreenToClient(TPoint ScreenPoint) const {
  const TPoint O = ScreenOrigin();
  const TRect C = ClientRect();
  return {ScreenPoint.X - O.X - C.Left, ScreenPoint.Y - O.Y - C.Top};
}

TPoint TContainerWindow::WidgetToScreen(TPoint WidgetPoint) const {
  const TPoint O = ScreenOrigin();
  return {WidgetPoint.X + O.X, WidgetPoint.Y + O.Y};
}

QWidget* TContainerWindow::Widget() const { return FWidget; }

// styles

bool TContainerWindow::IsVisible() const {
  if (!OwnVisible()) return false;
  const TContainerWindow* P = ParentContainer();
  return !P || P->IsVisible();
}

bool TContainerWindow::IsEnabled() const {
  if (FStyle & WS_DISABLED) return false;
  const TContainerWindow* P = ParentContainer();
  return !P || P->IsEnabled();
}

void TContainerWindow::SetStyle(DWORD Value) {
  const bool WasVisible = OwnVisible();
  FStyle = Value;
  if (WasVisible != OwnVisible()) applyVisibility();
}

void TContainerWindow::SetExStyle(DWORD Value) {
  const DWORD Changed = FExStyle ^ Value;
  FExStyle = Value;
  if (!FTopLevel || !(Changed & (WS_EX_TOPMOST | WS_EX_LAYERED))) return;
  // Changing window flags hides a Qt window; it is shown again as it was.
  const bool Shown = FWidget->isVisible();
  FWidget->setWindowFlag(Qt::WindowStaysOnTopHint, (Value & WS_EX_TOPMOST) != 0);
  if (Value & WS_EX_LAYERED) FWidget->setAttribute(Qt::WA_TranslucentBackground);
  applyLayering();
  if (Shown) FWidget->show();
}

void TContainerWindow::applyVisibility() {
  const bool Show = OwnVisible();
  if (Show) {
    // A window coming into view is painted whole.
    FStore.InvalidateClient(/*Erase=*/true);
    FStore.SetFrameInvalid(true);
  }
  FWidget->setVisible(Show);
}

// geometry

bool TContainerWindow::ApplyBounds(const TRect& NewBounds, bool Frame) {
  const TSize OldSize{FBounds.Width(), FBounds.Height()};
  FBounds = {NewBounds.Left, NewBounds.Top, NewBounds.Left + std::max(NewBounds.Width(), 0),
             NewBounds.Top + std::max(NewBounds.Height(), 0)};
  const TSize Size{FBounds.Width(), FBounds.Height()};
  const bool Sized = Size != OldSize;
  if (Sized || Frame) {
    NCCALCSIZE_PARAMS Params;
    Params.rgrc[0] = FBounds;
    SendMessage(FHandle, WM_NCCALCSIZE, 1, reinterpret_cast<LPARAM>(&Params));
    const TRect& R = Params.rgrc[0];
    // The client area stays inside the window, whatever a handler answered.
    const int L = std::clamp(R.Left - FBounds.Left, 0, Size.cx);
    const int T = std::clamp(R.Top - FBounds.Top, 0, Size.cy);
    const TRect Client{L, T, std::clamp(R.Right - FBounds.Left, L, Size.cx), std::clamp(R.Bottom - FBounds.Top, T, Size.cy)};
    const bool RedrawAll = (Size.cx != OldSize.cx && (FClassStyle & CS_HREDRAW)) ||
                           (Size.cy != OldSize.cy && (FClassStyle & CS_VREDRAW));
    const TPoint OldOrigin = FStore.ClientRect().TopLeft();
    FStore.SetGeometry(Size, Client, RedrawAll);
    // Child widgets sit at the client origin.
    if (Client.TopLeft() != OldOrigin)
      for (TContainerWindow* Child : Children()) Child->placeWidget();
    if (Frame) {
      FStore.SetFrameInvalid(true);
      ScheduleShowAll();
    }
  }
  placeWidget();
  if (Sized) ScheduleShowAll();
  return Sized;
}

void TContainerWindow::FollowWindowSystem(const QRect& Geometry) {
  if (FromQRect(Geometry) == FBounds) return;
  // Called from Qt's event delivery: nothing may cross it.
  try {
    SetWindowPos(FHandle, nullptr, Geometry.x(), Geometry.y(), Geometry.width(), Geometry.height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  } catch (...) {
    HandleException(std::current_exception());
  }
}

void TContainerWindow::placeWidget() {
  if (FTopLevel) {
    FWidget->setGeometry(ToQRect(FBounds));
    return;
  }
  const TContainerWindow* P = ParentContainer();
  const TRect C = P ? P->ClientRect() : TRect();
  FWidget->setGeometry(ToQRect(FBounds).translated(C.Left, C.Top));
}

void TContainerWindow::Restack(HWND InsertAfter) {
  if (InsertAfter == HWND_TOPMOST || InsertAfter == HWND_NOTOPMOST) {
    if (FTopLevel) SetExStyle(InsertAfter == HWND_TOPMOST ? FExStyle | WS_EX_TOPMOST : FExStyle & ~WS_EX_TOPMOST);
    InsertAfter = HWND_TOP;
  }
  if (InsertAfter == HWND_TOP) {
    FWidget->raise();
  } else if (InsertAfter == HWND_BOTTOM) {
    FWidget->lower();
  } else if (TContainerWindow* Sibling = FindContainer(InsertAfter); Sibling && Sibling->FParent == FParent) {
    FWidget->stackUnder(Sibling->FWidget);
  }
  if (!FTopLevel) return;
  auto& Order = topLevelOrder();
  removeTopLevel(FHandle);
  if (InsertAfter == HWND_BOTTOM) {
    Order.insert(Order.begin(), FHandle);
  } else if (auto It = std::find(Order.begin(), Order.end(), InsertAfter); InsertAfter != HWND_TOP && It != Order.end()) {
    Order.insert(It, FHandle);
  } else {
    Order.push_back(FHandle);
  }
}

std::vector<TContainerWindow*> TContainerWindow::Children() const {
  std::vector<TContainerWindow*> Result;
  for (TWinControl* C : FControl->FWinControls)
    if (C->FWindow && C->FWindow->FParent == FHandle) Result.push_back(C->FWindow.get());
  return Result;
}

// shape and layering

void TContainerWindow::SetShape(std::optional<QRegion> Shape) {
  FStore.SetShape(Shape);
  if (Shape)
    FWidget->setMask(*Shape);
  else
    FWidget->clearMask();
}

bool TContainerWindow::HitsShape(TPoint WindowPoint) const {
  const auto& Shape = FStore.Shape();
  if (Shape && !Shape->contains(QPoint(WindowPoint.X, WindowPoint.Y))) return false;
  if ((FExStyle & WS_EX_LAYERED) && (FLayeredFlags & LWA_COLORKEY)) {
    // Keyed-out pixels let the mouse through, as they let the view through.
    const QImage& Image = const_cast<TBackingStore&>(FStore).Image();
    if (Image.valid(WindowPoint.X, WindowPoint.Y)) {
      const QRgb P = Image.pixel(WindowPoint.X, WindowPoint.Y);
      if (RGB(BYTE(qRed(P)), BYTE(qGreen(P)), BYTE(qBlue(P))) == (FLayeredKey & 0xFFFFFF)) return false;
    }
  }
  return true;
}

void TContainerWindow::SetLayered(COLORREF Key, BYTE Alpha, DWORD Flags) {
  FLayeredKey = Key;
  FLayeredAlpha = Alpha;
  FLayeredFlags = Flags;
  applyLayering();
  ScheduleShowAll();
}

void TContainerWindow::applyLayering() {
  if (!FTopLevel) return;
  const bool Alpha = (FExStyle & WS_EX_LAYERED) && (FLayeredFlags & LWA_ALPHA);
  FWidget->setWindowOpacity(Alpha ? FLayeredAlpha / 255.0 : 1.0);
}

// painting

void TContainerWindow::ScheduleShow(const QRegion& WindowRegion) {
  if (!WindowRegion.isEmpty()) FWidget->update(WindowRegion);
}

void TContainerWindow::ScheduleShowAll() { FWidget->update(); }

void TContainerWindow::PaintNow(const QRegion* Showing) {
  if (FPainting || !IsVisible()) return;
  FPainting = true;
  const TScopeExit Done([&Painting = FPainting] { Painting = false; });
  const HWND Self = FHandle;
  QRegion Painted = runPaintCycle();
  // The handlers may have destroyed the window.
  if (!FindWindowObject(Self)) return;
  if (Showing) Painted -= *Showing;
  if (Painted.isEmpty()) return;
  if (windowsPart().QtPaintDepth == 0 && FWidget->isVisible())
    FWidget->repaint(Painted);
  else
    ScheduleShow(Painted);
}

QRegion TContainerWindow::runPaintCycle() {
  const HWND Self = FHandle;
  QRegion Painted;
  QRegion Handed;  // the update region this cycle's WM_PAINT is for
  BeginPaintSeen = false;
  try {
    if (FStore.FrameInvalid()) {
      FStore.SetFrameInvalid(false);
      Painted += QRect(0, 0, FBounds.Width(), FBounds.Height());
      SendMessage(Self, WM_NCPAINT, 1, 0);
    }
    if (FindWindowObject(Self) && !FStore.UpdateRegion().isEmpty()) {
      Handed = FStore.UpdateRegion();
      Painted += clientToWindow(*this, Handed);
      SendMessage(Self, WM_PAINT, 0, 0);
    }
  } catch (...) {
    HandleException(std::current_exception());
  }
  // A handler that never called BeginPaint (or raised first) must not bring
  // the same WM_PAINT back over and over.
  if (FindWindowObject(Self) && !BeginPaintSeen && !Handed.isEmpty()) FStore.Validate(Handed);
  return Painted;
}

QImage TContainerWindow::Grab(const QRect& WindowRect) {
  PaintNow();
  return FWidget->grab(WindowRect).toImage().convertToFormat(QImage::Format_RGB32);
}

// ---------------------------------------------------------------------------
// flat calls

namespace gdi {

namespace {

TContainerWindow* container(HWND Window) { return FindContainer(Window); }

QRect clientBox(const TContainerWindow& W) {
  const TRect C = W.ClientRect();
  return QRect(0, 0, C.Width(), C.Height());
}

QRegion argRegion(const TContainerWindow& W, const RECT* Rect, HRGN Region) {
  if (Region) return RegionOf(Region);
  if (Rect) return ToQRect(*Rect);
  return clientBox(W);
}

void copyToRegion(HRGN Target, const QRegion& Region) {
  const HRGN Temp = CreateRgnFromRegion(Region);
  CombineRgn(Target, Temp, nullptr, RGN_COPY);
  DeleteObject(Temp);
}

int regionType(const QRegion& R) {
  if (R.isEmpty()) return NULLREGION;
  return R.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

void invalidate(TContainerWindow& W, const QRegion& Region, bool Erase) {
  W.Store().Invalidate(Region, Erase);
  W.ScheduleShow(clientToWindow(W, Region & clientBox(W)));
}

}  // namespace

LONG_PTR GetWindowLongPtr(HWND Window, int Index) {
  TContainerWindow* W = container(Window);
  if (!W) return 0;
  switch (Index) {
    case GWL_STYLE: return LONG_PTR(W->Style());
    case GWL_EXSTYLE: return LONG_PTR(W->ExStyle());
    case GWL_ID: return W->IsTopLevel() ? 0 : reinterpret_cast<LONG_PTR>(Window);
    case GWL_HWNDPARENT: return reinterpret_cast<LONG_PTR>(W->IsTopLevel() ? W->Owner() : W->ParentWindow());
    default: return 0;
  }
}

LONG_PTR SetWindowLongPtr(HWND Window, int Index, LONG_PTR Value) {
  TContainerWindow* W = container(Window);
  if (!W) return 0;
  const LONG_PTR Previous = GetWindowLongPtr(Window, Index);
  if (Index == GWL_STYLE)
    W->SetStyle(DWORD(Value));
  else if (Index == GWL_EXSTYLE)
    W->SetExStyle(DWORD(Value));
  return Previous;
}

BOOL SetWindowPos(HWND Window, HWND InsertAfter, int X, int Y, int CX, int CY, UINT Flags) {
  TContainerWindow* W = container(Window);
  if (!W) return 0;
  const TRect Old = W->Bounds();
  WINDOWPOS Pos{Window, InsertAfter, X, Y, CX, CY, Flags};
  if (Flags & SWP_NOMOVE) {
    Pos.x = Old.Left;
    Pos.y = Old.Top;
  }
  if (Flags & SWP_NOSIZE) {
    Pos.cx = Old.Width();
    Pos.cy = Old.Height();
  }
  if (!(Flags & SWP_NOSENDCHANGING)) {
    SendMessage(Window, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&Pos));
    W = container(Window);
    if (!W) return 0;
  }
  const TRect New = ::Bounds(Pos.x, Pos.y, std::max(Pos.cx, 0), std::max(Pos.cy, 0));
  const bool Moved = New.TopLeft() != Old.TopLeft();
  const bool Sized = New.Width() != Old.Width() || New.Height() != Old.Height();
  const bool Frame = (Pos.flags & SWP_FRAMECHANGED) != 0;
  const TRect OldClient = W->ClientRect();
  if (Moved || Sized || Frame) W->ApplyBounds(New, Frame);
  // A new frame (a scroll bar shown or hidden) may size the client area alone.
  if (W->ClientRect().Width() == OldClient.Width() && W->ClientRect().Height() == OldClient.Height())
    Pos.flags |= SWP_NOCLIENTSIZE;
  if (!(Pos.flags & SWP_NOZORDER)) W->Restack(Pos.hwndInsertAfter);
  if (Pos.flags & SWP_SHOWWINDOW) W->SetStyle(W->Style() | WS_VISIBLE);
  if (Pos.flags & SWP_HIDEWINDOW) W->SetStyle(W->Style() & ~WS_VISIBLE);
  if (!Moved) Pos.flags |= SWP_NOMOVE;
  if (!Sized) Pos.flags |= SWP_NOSIZE;
  SendMessage(Window, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&Pos));
  return 1;
}

BOOL GetWindowRect(HWND Window, RECT* Rect) {
  TContainerWindow* W = container(Window);
  if (!W || !Rect) return 0;
  const TPoint O = W->ScreenOrigin();
  *Rect = ::Bounds(O.X, O.Y, W->Bounds().Width(), W->Bounds().Height());
  return 1;
}

BOOL GetClientRect(HWND Window, RECT* Rect) {
  TContainerWindow* W = container(Window);
  if (!W || !Rect) return 0;
  *Rect = ::Rect(0, 0, W->ClientRect().Width(), W->ClientRect().Height());
  return 1;
}

BOOL ClientToScreen(HWND Window, POINT* Point) {
  TContainerWindow* W = container(Window);
  if (!W || !Point) return 0;
  *Point = W->ClientToScreen(*Point);
  return 1;
}

BOOL ScreenToClient(HWND Window, POINT* Point) {
  TContainerWindow* W = container(Window);
  if (!W || !Point) return 0;
  *Point = W->ScreenToClient(*Point);
  return 1;
}

int MapWindowPoints(HWND From, HWND To, POINT* Points, UINT Count) {
  TPoint A{0, 0};
  TPoint B{0, 0};
  if (From) {
    TContainerWindow* W = container(From);
    if (!W) return 0;
    A = W->ClientToScreen({0, 0});
  }
  if (To) {
    TContainerWindow* W = container(To);
    if (!W) return 0;
    B = W->ClientToScreen({0, 0});
  }
  const int DX = A.X - B.X;
  const int DY = A.Y - B.Y;
  for (UINT I = 0; I < Count; ++I) {
    Points[I].X += DX;
    Points[I].Y += DY;
  }
  return int(MAKELONG(WORD(DX), WORD(DY)));
}

HWND GetParent(HWND Window) {
  TContainerWindow* W = container(Window);
  if (!W) return nullptr;
  return W->IsTopLevel() ? W->Owner() : W->ParentWindow();
}

BOOL IsChild(HWND Parent, HWND Window) {
  for (TContainerWindow* W = container(Window); W && !W->IsTopLevel(); W = W->ParentContainer())
    if (W->ParentWindow() == Parent) return 1;
  return 0;
}

HWND ChildWindowFromPoint(HWND Parent, POINT Point) {
  TContainerWindow* W = container(Parent);
  if (!W || !clientBox(*W).contains(QPoint(Point.X, Point.Y))) return nullptr;
  const auto Children = W->Children();
  for (auto It = Children.rbegin(); It != Children.rend(); ++It) {
    TContainerWindow* C = *It;
    if (!C->OwnVisible() || !C->Bounds().Contains(Point)) continue;
    if (!C->HitsShape({Point.X - C->Bounds().Left, Point.Y - C->Bounds().Top})) continue;
    return C->Handle();
  }
  return Parent;
}

HWND WindowFromPoint(POINT Point) {
  const auto Order = topLevelOrder();
  // Topmost windows first, then the rest, each from the top down.
  for (bool Topmost : {true, false}) {
    for (auto It = Order.rbegin(); It != Order.rend(); ++It) {
      TContainerWindow* W = container(*It);
      if (!W || !W->IsVisible() || ((W->ExStyle() & WS_EX_TOPMOST) != 0) != Topmost) continue;
      const TPoint O = W->ScreenOrigin();
      const TPoint Local{Point.X - O.X, Point.Y - O.Y};
      if (!::Rect(0, 0, W->Bounds().Width(), W->Bounds().Height()).Contains(Local) || !W->HitsShape(Local)) continue;
      HWND Result = W->Handle();
      for (;;) {
        TContainerWindow* R = container(Result);
        POINT P = R->ScreenToClient(Point);
        const HWND Child = ChildWindowFromPoint(Result, P);
        if (!Child || Child == Result || !IsWindowEnabled(Child)) return Result;
        Result = Child;
      }
    }
  }
  return nullptr;
}

HWND GetDesktopWindow() {
  static const HWND Desktop = AllocateHWnd(TWndMethod());
  return Desktop;
}

BOOL ShowWindow(HWND Window, int Command) {
  TContainerWindow* W = container(Window);
  if (!W) return 0;
  const bool Was = W->OwnVisible();
  const bool Show = Command != SW_HIDE;
  if (Show != Was) {
    SendMessage(Window, WM_SHOWWINDOW, Show ? 1 : 0, 0);
    if ((W = container(Window)) == nullptr) return Was ? 1 : 0;
    W->SetStyle(Show ? W->Style() | WS_VISIBLE : W->Style() & ~WS_VISIBLE);
  }
  return Was ? 1 : 0;
}

BOOL IsWindowVisible(HWND Window) {
  TContainerWindow* W = container(Window);
  return W && W->IsVisible() ? 1 : 0;
}

BOOL EnableWindow(HWND Window, BOOL Enable) {
  TContainerWindow* W = container(Window);
  if (!W) return 0;
  const bool WasDisabled = (W->Style() & WS_DISABLED) != 0;
  if (WasDisabled == !Enable) return WasDisabled ? 1 : 0;
  W->SetStyle(Enable ? W->Style() & ~WS_DISABLED : W->Style() | WS_DISABLED);
  // A disabled window's scroll bars show disabled.
  if (W->Style() & (WS_HSCROLL | WS_VSCROLL)) RedrawWindow(Window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
  SendMessage(Window, WM_ENABLE, Enable ? 1 : 0, 0);
  return WasDisabled ? 1 : 0;
}

BOOL IsWindowEnabled(HWND Window) {
  TContainerWindow* W = container(Window);
  return W && !(W->Style() & WS_DISABLED) ? 1 : 0;
}

int SetWindowRgn(HWND Window, HRGN Region, BOOL Redraw) {
  TContainerWindow* W = container(Window);
  if (!W) return 0;
  std::optional<QRegion> Shape;
  if (Region) {
    Shape = RegionOf(Region);
    DeleteObject(Region);
  }
  W->SetShape(std::move(Shape));
  if (Redraw) RedrawWindow(Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  return 1;
}

int GetWindowRgn(HWND Window, HRGN Region) {
  TContainerWindow* W = container(Window);
  if (!W || !W->Shape() || !Region) return ERROR;
  copyToRegion(Region, *W->Shape());
  return regionType(*W->Shape());
}

BOOL SetLayeredWindowAttributes(HWND Window, COLORREF Key, BYTE Alpha, DWORD Flags) {
  TContainerWindow* W = container(Window);
  if (!W || !(W->ExStyle() & WS_EX_LAYERED)) return 0;
  W->SetLayered(Key, Alpha, Flags);
  return 1;
}

BOOL GetLayeredWindowAttributes(HWND Window, COLORREF* Key, BYTE* Alpha, DWORD* Flags) {
  TContainerWindow* W = container(Window);
  if (!W || !(W->ExStyle() & WS_EX_LAYERED)) return 0;
  if (Key) *Key = W->LayeredKey();
  if (Alpha) *Alpha = W->LayeredAlpha();
  if (Flags) *Flags = W->LayeredFlags();
  return 1;
}

BOOL InvalidateRect(HWND Window, const RECT* Rect, BOOL Erase) {
  TContainerWindow* W = container(Window);
  if (!W) return 0;
  invalidate(*W, argRegion(*W, Rect, nullptr), Erase != 0);
  return 1;
}

BOOL InvalidateRgn(HWND Window, HRGN Region, BOOL Erase) {
  TContainerWindow* W = container(Window);
  if (!W) return 0;
  invalidate(*W, argRegion(*W, nullptr, Region), Erase != 0);
  return 1;
}

BOOL ValidateRect(HWND Window, const RECT* Rect) {
  TContainerWindow* W = container(Window);
  if (!W) return 0;
  W->Store().Validate(argRegion(*W, Rect, nullptr));
  return 1;
}

BOOL ValidateRgn(HWND Window, HRGN Region) {
  TContainerWindow* W = container(Window);
  if (!W) return 0;
  W->Store().Validate(argRegion(*W, nullptr, Region));
  return 1;
}

namespace {

void redraw(TContainerWindow& W, const QRegion& Region, UINT Flags) {
  if (Flags & RDW_INVALIDATE) {
    invalidate(W, Region, (Flags & RDW_ERASE) && !(Flags & RDW_NOERASE));
    if (Flags & RDW_FRAME) {
      W.Store().SetFrameInvalid(true);
      W.ScheduleShowAll();
    }
  }
  if (Flags & RDW_VALIDATE) {
    W.Store().Validate(Region);
    if (Flags & RDW_NOFRAME) W.Store().SetFrameInvalid(false);
  }
  if (!(Flags & RDW_ALLCHILDREN) || (Flags & RDW_NOCHILDREN)) return;
  for (TContainerWindow* Child : W.Children()) {
    // Into the child's client coordinates.
    const TRect B = Child->Bounds();
    const TRect C = Child->ClientRect();
    const QRegion Part = (Region & ToQRect(B)).translated(-B.Left - C.Left, -B.Top - C.Top);
    if (!(Region & ToQRect(B)).isEmpty()) redraw(*Child, Part, Flags);
  }
}

void paintTree(TContainerWindow& W, bool Children) {
  const HWND Self = W.Handle();
  W.PaintNow();
  if (!Children || !FindWindowObject(Self)) return;
  for (TContainerWindow* Child : W.Children()) paintTree(*Child, true);
}

}  // namespace

BOOL RedrawWindow(HWND Window, const RECT* Rect, HRGN Region, UINT Flags) {
  TContainerWindow* W = container(Window);
  if (!W) return 0;
  redraw(*W, argRegion(*W, Rect, Region), Flags);
  if (Flags & (RDW_UPDATENOW | RDW_ERASENOW))
    paintTree(*W, (Flags & RDW_ALLCHILDREN) && !(Flags & RDW_NOCHILDREN));
  return 1;
}

BOOL UpdateWindow(HWND Window) {
  TContainerWindow* W = container(Window);
  if (!W) return 0;
  W->PaintNow();
  return 1;
}

BOOL GetUpdateRect(HWND Window, RECT* Rect, BOOL Erase) {
  TContainerWindow* W = container(Window);
  if (!W) return 0;
  const QRegion& R = W->Store().UpdateRegion();
  if (Rect) *Rect = R.isEmpty() ? TRect() : FromQRect(R.boundingRect());
  if (Erase && W->Store().ErasePending()) {
    const HDC DC = W->Store().CreateClientDC(Window, R);
    W->Store().ClearErase();
    SendMessage(Window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
    DeleteDC(DC);
  }
  return R.isEmpty() ? 0 : 1;
}

int GetUpdateRgn(HWND Window, HRGN Region, BOOL Erase) {
  TContainerWindow* W = container(Window);
  if (!W || !Region) return ERROR;
  GetUpdateRect(Window, nullptr, Erase);
  copyToRegion(Region, W->Store().UpdateRegion());
  return regionType(W->Store().UpdateRegion());
}

HDC BeginPaint(HWND Window, PAINTSTRUCT* Paint) {
  TContainerWindow* W = container(Window);
  if (!W || !Paint) return nullptr;
  bool Erase = false;
  const QRegion Region = W->Store().TakeUpdateRegion(Erase);
  W->BeginPaintSeen = true;
  *Paint = PAINTSTRUCT();
  Paint->hdc = W->Store().CreateClientDC(Window, Region);
  Paint->rcPaint = Region.isEmpty() ? TRect() : FromQRect(Region.boundingRect());
  if (!Erase) return Paint->hdc;
  try {
    Paint->fErase = SendMessage(Window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(Paint->hdc), 0) == 0 ? 1 : 0;
  } catch (...) {
    DeleteDC(Paint->hdc);
    Paint->hdc = nullptr;
    throw;
  }
  return Paint->hdc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT* Paint) {
  if (!Paint || !Paint->hdc) return 0;
  DeleteDC(Paint->hdc);
  return 1;
}

HDC GetWindowDC(HWND Window) {
  TContainerWindow* W = container(Window);
  if (!W) return nullptr;
  W->ScheduleShowAll();
  return W->Store().CreateWindowDC(Window);
}

BOOL ScrollWindowEx(HWND Window, int DX, int DY, const RECT* Scroll, const RECT* Clip, HRGN Update,
                    RECT* UpdateRect, UINT Flags) {
  TContainerWindow* W = container(Window);
  if (!W) return ERROR;
  const QRegion Uncovered = W->Store().Scroll(DX, DY, Scroll, Clip);
  W->ScheduleShow(clientToWindow(*W, clientBox(*W)));
  if (Update) copyToRegion(Update, Uncovered);
  if (UpdateRect) *UpdateRect = Uncovered.isEmpty() ? TRect() : FromQRect(Uncovered.boundingRect());
  if (Flags & SW_INVALIDATE) invalidate(*W, Uncovered, (Flags & SW_ERASE) != 0);
  return regionType(Uncovered);
}

}  // namespace gdi
