#include "platform/ui/windowing/mouse.h"

#include "platform/rtl/component.h"
#include "platform/ui/graphics/geometry.h"
#include "platform/ui/windowing/controls.h"
#include "platform/ui/windowing/hwnd.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/windowingstate_p.h"

#include <QCursor>
#include <QWidget>

#include <map>
#include <memory>
#include <vector>

using namespace gdi;

namespace {

// Forgets the mouse control when it is freed.
class TMouseWatch : public TComponent {
public:
  TMouseWatch() : TComponent(nullptr) {}
  TControl* Control = nullptr;
  void Watch(TControl* AControl) {
    if (Control) Control->RemoveFreeNotification(this);
    Control = AControl;
    if (Control) Control->FreeNotification(this);
  }

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == Control) Control = nullptr;
  }
};

}  // namespace

struct windowing_detail::TMouseState {
  // Between tests: the cursors given out stay, the rest goes.
  void Reset() {
    if (Watch) Watch->Watch(nullptr);
    Registered.clear();
    Screen = crDefault;
    Shown = nullptr;
    LastWindow = nullptr;
    Installed = false;
  }

  std::vector<QCursor> Cursors;         // handle n is Cursors[n - 1]
  std::map<int, HCURSOR> Shapes;        // Qt shape -> its handle
  std::map<TCursor, HCURSOR> Registered;  // positive indexes
  HCURSOR Shown = nullptr;
  TCursor Screen = crDefault;
  HWND LastWindow = nullptr;  // the window the last mouse event went to
  std::unique_ptr<TMouseWatch> Watch;
  bool Installed = false;
};

namespace {

using windowing_detail::TMouseState;

TMouseState& state() { return WindowingState().Mouse.Get(); }

HCURSOR handleOf(std::size_t Index) { return reinterpret_cast<HCURSOR>(Index + 1); }

const QCursor* cursorOf(HCURSOR Cursor) {
  const std::size_t N = reinterpret_cast<std::size_t>(Cursor);
  const auto& Cursors = state().Cursors;
  return N >= 1 && N <= Cursors.size() ? &Cursors[N - 1] : nullptr;
}

HCURSOR addCursor(const QCursor& Cursor) {
  auto& Cursors = state().Cursors;
  Cursors.push_back(Cursor);
  return handleOf(Cursors.size() - 1);
}

Qt::CursorShape shapeOf(TCursor Index) {
  switch (Index) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass:
    case crSQLWait: return Qt::WaitCursor;
    case crDrag:
    case crMultiDrag: return Qt::DragCopyCursor;
    case crNoDrop:
    case crNo: return Qt::ForbiddenCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crVSplit: return Qt::SplitVCursor;
    case crAppStart: return Qt::BusyCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
  }
}

HCURSOR shapeHandle(Qt::CursorShape Shape) {
  TMouseState& S = state();
  const auto It = S.Shapes.find(int(Shape));
  if (It != S.Shapes.end()) return It->second;
  return S.Shapes[int(Shape)] = addCursor(QCursor(Shape));
}

// The cursor a window shows for a non-client hit code.
TCursor hitCursor(int Hit) {
  switch (Hit) {
    case HTLEFT:
    case HTRIGHT: return crSizeWE;
    case HTTOP:
    case HTBOTTOM: return crSizeNS;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: return crSizeNWSE;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: return crSizeNESW;
    default: return crArrow;
  }
}

void ensureInstalled() {
  if (!state().Installed) InstallMouseHooks();
}

TPoint cursorPos() {
  POINT P;
  GetCursorPos(P);
  return {P.X, P.Y};
}

// Asks W, the window under the mouse, again which cursor it shows.
void askCursorAgain(HWND W) {
  if (!W || !IsWindow(W)) return;
  const LRESULT Hit = SendMessage(W, WM_NCHITTEST, 0, PointToLParam(cursorPos()));
  SendMessage(W, WM_SETCURSOR, HandleToWParam(W), MAKELPARAM(WORD(Hit), WORD(WM_MOUSEMOVE)));
}

}  // namespace

// ---------------------------------------------------------------------------
// cursors

namespace gdi {

HCURSOR SetCursor(HCURSOR Cursor) {
  TMouseState& S = state();
  const HCURSOR Old = S.Shown;
  S.Shown = Cursor;
  IWindow* Object = FindWindowObject(S.LastWindow);
  if (QWidget* Widget = Object ? Object->Widget() : nullptr) {
    if (const QCursor* C = cursorOf(Cursor))
      Widget->setCursor(*C);
    else
      Widget->setCursor(Qt::BlankCursor);
  }
  return Old;
}

HCURSOR GetCursor() { return state().Shown; }

HCURSOR CreateCursorFromImage(const QCursor& Cursor) { return addCursor(Cursor); }

}  // namespace gdi

HCURSOR GetCursorHandle(TCursor Index) {
  TMouseState& S = state();
  if (Index > 0) {
    const auto It = S.Registered.find(Index);
    return It != S.Registered.end() ? It->second : shapeHandle(Qt::ArrowCursor);
  }
  return shapeHandle(shapeOf(Index));
}

void SetCursorHandle(TCursor Index, HCURSOR Cursor) {
  TMouseState& S = state();
  if (Index <= 0) return;  // the built-ins stay
  if (Cursor)
    S.Registered[Index] = Cursor;
  else
    S.Registered.erase(Index);
}

TCursor ScreenCursor() { return state().Screen; }

void SetScreenCursor(TCursor Value) {
  ensureInstalled();
  TMouseState& S = state();
  if (S.Screen == Value) return;
  S.Screen = Value;
  if (Value != crDefault)
    SetCursor(GetCursorHandle(Value));
  else
    askCursorAgain(S.LastWindow);
}

void TWinControl::WMSetCursor(TWMSetCursor& Message) {
  if (HandleAllocated() && Message.CursorWnd == Handle() && Message.HitTest == HTCLIENT) {
    TCursor Shape = ScreenCursor();
    if (Shape == crDefault) {
      if (TControl* Child = ControlAtPos(ScreenToClient(cursorPos()), false)) Shape = Child->Cursor();
      if (Shape == crDefault) Shape = Cursor();
    }
    if (Shape != crDefault) {
      gdi::SetCursor(GetCursorHandle(Shape));
      Message.Result = 1;
      return;
    }
  }
  DispatchAs<TControl>(Message);
  if (Message.Result != 0) return;
  // The window's default: the parent may choose, else the hit code does.
  if (Parent() && Parent()->HandleAllocated()) {
    Message.Result = Parent()->Perform(WM_SETCURSOR, AsMessage(Message).WParam, AsMessage(Message).LParam);
    if (Message.Result != 0) return;
  }
  if (Message.CursorWnd == (HandleAllocated() ? Handle() : nullptr)) {
    gdi::SetCursor(GetCursorHandle(hitCursor(Message.HitTest)));
    Message.Result = 1;
  }
}

void TControl::CMCursorChanged(TMessage&) {
  // Only a control under the mouse, or a graphic child there that shows its
  // parent's cursor, changes what shows.
  TControl* Under = GetCaptureControl() ? nullptr : FindDragTarget(cursorPos(), false);
  if (!Under) return;
  auto* Windowed = dynamic_cast<TWinControl*>(Under);
  if (Under == this || (!Windowed && Under->Parent() == this))
    askCursorAgain(Windowed ? Windowed->Handle() : Under->Parent()->Handle());
}

// ---------------------------------------------------------------------------
// enter and leave

TControl* MouseControl() {
  const TMouseState& S = state();
  return S.Watch ? S.Watch->Control : nullptr;
}

void CheckMouseControl() {
  ensureInstalled();
  TMouseState& S = state();
  const TPoint P = cursorPos();
  TControl* Target = nullptr;
  if (TControl* Capture = GetCaptureControl()) {
    if (PtInRect(Capture->ClientRect(), Capture->ScreenToClient(P))) Target = Capture;
  } else {
    Target = FindDragTarget(P, false);
  }
  TControl* Old = MouseControl();
  if (Target == Old) return;
  S.Watch->Watch(Target);
  if (Old) Old->Perform(CM_MOUSELEAVE, 0, 0);
  if (Target && MouseControl() == Target) Target->Perform(CM_MOUSEENTER, 0, 0);
}

void InstallMouseHooks() {
  TMouseState& S = state();
  if (S.Installed) return;
  S.Installed = true;
  if (!S.Watch) S.Watch = std::make_unique<TMouseWatch>();
  TInputHooks Hooks = SetInputHooks({});
  Hooks.MouseMoved = [Previous = std::move(Hooks.MouseMoved)](HWND Window, TPoint ScreenPoint) {
    if (Previous) Previous(Window, ScreenPoint);
    state().LastWindow = Window;
    CheckMouseControl();
  };
  SetInputHooks(std::move(Hooks));
}

namespace test {

void ResetMouse() { state().Reset(); }

}  // namespace test
