#include "platform/ui/windowing/application.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/scopeexit.h"
#include "platform/ui/graphics/fontmap.h"
#include "platform/ui/windowing/dialogs.h"
#include "platform/ui/windowing/focus.h"
#include "platform/ui/windowing/hwnd.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/mouse.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/window.h"
#include "platform/ui/windowing/windowingstate_p.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cstdio>
#include <limits>

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

struct windowing_detail::TInstalled {
  TPumpHooks PreviousPump;
  // The router and pump chain the hint hooks of each InitializeForms; only
  // the latest acts (the chains outlive FinalizeForms: hooks installed on
  // top of ours must stay).
  int Generation = 0;
  TExceptionHandler PreviousHandler;
  std::vector<TMonitorInfo> InjectedMonitors;
};

namespace {

using windowing_detail::TInstalled;

TInstalled& installed() { return WindowingState().Installed.Get(); }

TRect toRect(const QRect& R) { return TRect(R.left(), R.top(), R.left() + R.width(), R.top() + R.height()); }

std::vector<TMonitorInfo> systemMonitors() {
  std::vector<TMonitorInfo> Result;
  if (qGuiApp && QGuiApplication::platformName() != QStringLiteral("offscreen")) {
    const QScreen* Primary = QGuiApplication::primaryScreen();
    for (const QScreen* S : QGuiApplication::screens()) {
      TMonitorInfo M;
      M.Bounds = toRect(S->geometry());
      M.WorkArea = toRect(S->availableGeometry());
      M.PixelsPerInch = ScreenMetrics().PixelsPerInch;
      M.WidthMM = int(S->physicalSize().width());
      M.HeightMM = int(S->physicalSize().height());
      M.Primary = S == Primary;
      Result.push_back(M);
    }
  }
  if (Result.empty()) {
    TMonitorInfo M;
    M.Bounds = TRect(0, 0, ScreenMetrics().Width, ScreenMetrics().Height);
    M.WorkArea = M.Bounds;
    M.PixelsPerInch = ScreenMetrics().PixelsPerInch;
    M.Primary = true;
    Result.push_back(M);
  }
  return Result;
}

// Squared distance from P to R (0 inside).
long long distanceTo(const TRect& R, TPoint P) {
  const long long DX = P.X < R.Left ? R.Left - P.X : P.X >= R.Right ? P.X - R.Right + 1 : 0;
  const long long DY = P.Y < R.Top ? R.Top - P.Y : P.Y >= R.Bottom ? P.Y - R.Bottom + 1 : 0;
  return DX * DX + DY * DY;
}

long long overlap(const TRect& A, const TRect& B) {
  const long long W = std::min(A.Right, B.Right) - std::max(A.Left, B.Left);
  const long long H = std::min(A.Bottom, B.Bottom) - std::max(A.Top, B.Top);
  return W > 0 && H > 0 ? W * H : 0;
}

}  // namespace

// ---------------------------------------------------------------------------
// TApplication

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner), FHintManager(new THintManager(this)) {}

TApplication::~TApplication() = default;

void TApplication::formCreated(TCustomForm* Form) {
  if (!FMainForm) FMainForm = Form;
}

void TApplication::FormDestroyed(TCustomForm* Form) {
  if (FMainForm == Form) FMainForm = nullptr;
}

void TApplication::Run() {
  if (FMainForm) FMainForm->Show();
  RunMessageLoop([this] { return FTerminated; });
}

void TApplication::Terminate() { gdi::PostQuitMessage(0); }

void TApplication::ProcessMessages() { ::ProcessMessages(); }

void TApplication::HandleMessage() { ::HandleMessage(); }

bool TApplication::idle() {
  // A control that appeared under a resting mouse is entered now.
  CheckMouseControl();
  bool Done = true;
  try {
    if (OnIdle) OnIdle(this, Done);
  } catch (...) {
    HandleException(std::current_exception());
  }
  if (const auto& Previous = installed().PreviousPump.Idle) Done = Previous() && Done;
  return Done;
}

void TApplication::HandleException(TObject* Sender) { handleException(std::current_exception(), Sender); }

void TApplication::HandleException(std::exception_ptr E) { handleException(E, this); }

void TApplication::handleException(std::exception_ptr E, TObject* Sender) {
  if (!E) return;
  // A report that fails itself goes to stderr rather than round again.
  if (FHandlingException) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(ExceptionClassName(E)), qPrintable(ExceptionMessage(E)));
    return;
  }
  FHandlingException = true;
  const TScopeExit Reset([&Flag = FHandlingException] { Flag = false; });
  try {
    std::rethrow_exception(E);
  } catch (EAbort&) {
  } catch (Exception& Ex) {
    try {
      if (OnException) OnException(Sender, &Ex);
      else ShowException(&Ex);
    } catch (...) {
      std::fprintf(stderr, "%s\n", qPrintable(ExceptionMessage(std::current_exception())));
    }
  } catch (...) {
    Exception Ex(ExceptionMessage(E));
    try {
      if (OnException) OnException(Sender, &Ex);
      else ShowException(&Ex);
    } catch (...) {
      std::fprintf(stderr, "%s\n", qPrintable(ExceptionMessage(std::current_exception())));
    }
  }
}

void TApplication::ShowException(Exception* E) {
  String Text = E->Message;
  if (!Text.isEmpty() && Text.back() > QChar(u'.')) Text += u'.';
  TModalRequest Request;
  Request.Kind = QStringLiteral("error");
  Request.ClassName = E->ClassName();
  Request.Caption = FTitle;
  Request.Text = Text;
    Request.Default = mrOk;
  ExecuteModal(Request);
}

gdi::HWND TApplication::Handle() const { return ApplicationHandle(); }

void TApplication::SetActive(bool Value) {
  if (FActive == Value) return;
  FActive = Value;
  if (Value && OnActivate) OnActivate(this);
  if (!Value && OnDeactivate) OnDeactivate(this);
}

// ---------------------------------------------------------------------------
// TScreen

TScreen::TScreen(TComponent* AOwner)
    : TComponent(AOwner), FHintFont(new TFont), FMenuFont(new TFont), FIconFont(new TFont), FFonts(new TStringList) {
  FHintFont->SetColor(clInfoText);
  UpdateMonitors();
}

TScreen::~TScreen() {
  for (TMonitor* M : FMonitors) delete M;
  delete FHintFont;
  delete FMenuFont;
  delete FIconFont;
  FFonts->Free();
}

gdi::HCURSOR TScreen::Cursors(TCursor Index) const { return GetCursorHandle(Index); }

void TScreen::SetCursors(TCursor Index, gdi::HCURSOR Cursor) { SetCursorHandle(Index, Cursor); }

TStrings* TScreen::Fonts() {
  if (FFontsGeneration != FontMapGeneration()) {
    FFontsGeneration = FontMapGeneration();
    FFonts->BeginUpdate();
    FFonts->Clear();
    for (const String& Name : ScreenFontNames()) FFonts->Add(Name);
    FFonts->EndUpdate();
  }
  return FFonts;
}

TCustomForm* TScreen::Forms(Integer Index) const {
  if (Index < 0 || Index >= FormCount()) throw EListError(QStringLiteral("List index out of bounds (%d)"), {Index});
  return FForms[size_t(Index)];
}

void TScreen::AddForm(TCustomForm* Form) {
  if (std::find(FForms.begin(), FForms.end(), Form) == FForms.end()) FForms.push_back(Form);
}

void TScreen::RemoveForm(TCustomForm* Form) {
  FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
  if (FActiveForm == Form) SetActiveForm(nullptr);
}

void TScreen::SetActiveForm(TCustomForm* Form) {
  if (FActiveForm == Form) return;
  FActiveForm = Form;
  if (OnActiveFormChange) OnActiveFormChange(this);
}

TWinControl* TScreen::ActiveControl() const {
  if (TWinControl* Focused = FocusedControl()) return Focused;
  return FActiveForm ? FActiveForm->ActiveControl() : nullptr;
}

TCustomForm* TScreen::FocusedForm() const {
  if (TWinControl* Focused = FocusedControl()) return GetParentForm(Focused);
  return FActiveForm;
}

TCursor TScreen::Cursor() const { return ScreenCursor(); }

void TScreen::SetCursor(TCursor Value) { SetScreenCursor(Value); }

Integer TScreen::Width() const { return ScreenMetrics().Width; }

Integer TScreen::Height() const { return ScreenMetrics().Height; }

Integer TScreen::PixelsPerInch() const { return ScreenMetrics().PixelsPerInch; }

TRect TScreen::DesktopRect() const {
  TRect R = FMonitors.front()->BoundsRect();
  for (const TMonitor* M : FMonitors) {
    const TRect B = M->BoundsRect();
    R = TRect(std::min(R.Left, B.Left), std::min(R.Top, B.Top), std::max(R.Right, B.Right),
              std::max(R.Bottom, B.Bottom));
  }
  return R;
}

TRect TScreen::WorkAreaRect() const { return PrimaryMonitor()->WorkareaRect(); }

Integer TScreen::MonitorCount() const { return Integer(FMonitors.size()); }

TMonitor* TScreen::Monitors(Integer Index) const {
  if (Index < 0 || Index >= MonitorCount()) throw EListError(QStringLiteral("List index out of bounds (%d)"), {Index});
  return FMonitors[size_t(Index)];
}

TMonitor* TScreen::PrimaryMonitor() const {
  for (TMonitor* M : FMonitors)
    if (M->Primary()) return M;
  return FMonitors.front();
}

TMonitor* TScreen::MonitorFromPoint(TPoint Point, TMonitorDefaultTo Default) const {
  for (TMonitor* M : FMonitors)
    if (M->BoundsRect().Contains(Point)) return M;
  if (Default == mdNull) return nullptr;
  if (Default == mdPrimary) return PrimaryMonitor();
  TMonitor* Best = nullptr;
  long long BestDistance = std::numeric_limits<long long>::max();
  for (TMonitor* M : FMonitors) {
    const long long D = distanceTo(M->BoundsRect(), Point);
    if (D < BestDistance) {
      BestDistance = D;
      Best = M;
    }
  }
  return Best;
}

TMonitor* TScreen::MonitorFromRect(const TRect& Rect, TMonitorDefaultTo Default) const {
  TMonitor* Best = nullptr;
  long long BestArea = 0;
  for (TMonitor* M : FMonitors) {
    const long long A = overlap(M->BoundsRect(), Rect);
    if (A > BestArea) {
      BestArea = A;
      Best = M;
    }
  }
  if (Best) return Best;
  return MonitorFromPoint({Rect.Left + Rect.Width() / 2, Rect.Top + Rect.Height() / 2}, Default);
}

TMonitor* TScreen::MonitorFromWindow(gdi::HWND Window, TMonitorDefaultTo Default) const {
  gdi::RECT R;
  if (!gdi::GetWindowRect(Window, &R)) return Default == mdNull ? nullptr : PrimaryMonitor();
  return MonitorFromRect(TRect(R.Left, R.Top, R.Right, R.Bottom), Default);
}

void TScreen::UpdateMonitors() {
  for (TMonitor* M : FMonitors) delete M;
  FMonitors.clear();
  const std::vector<TMonitorInfo>& Injected = installed().InjectedMonitors;
  const std::vector<TMonitorInfo> Infos = Injected.empty() ? systemMonitors() : Injected;
  for (const TMonitorInfo& Info : Infos) FMonitors.push_back(new TMonitor(Integer(FMonitors.size()), Info));
}

// ---------------------------------------------------------------------------
// the unit

void InitializeForms() {
  if (Application) return;
  Application = new TApplication(nullptr);
  Screen = new TScreen(nullptr);
  TInstalled& State = installed();
  TPumpHooks Hooks = SetPumpHooks({});
  State.PreviousPump = Hooks;
  Hooks.Idle = [] { return Application->idle(); };
  Hooks.Quit = [](int ExitCode) {
    Application->FTerminated = true;
    if (const auto& Previous = installed().PreviousPump.Quit) Previous(ExitCode);
  };
  const int Generation = ++State.Generation;
  auto current = [Generation] { return Application && installed().Generation == Generation; };
  Hooks.Filter = [current, Previous = std::move(Hooks.Filter)](gdi::MSG& Msg) {
    if (current()) Application->FHintManager->MessageTaken(Msg);
    return Previous && Previous(Msg);
  };
  SetPumpHooks(Hooks);
  TInputHooks Input = SetInputHooks({});
  Input.MouseMoved = [current, Previous = std::move(Input.MouseMoved)](gdi::HWND Window, TPoint ScreenPoint) {
    if (Previous) Previous(Window, ScreenPoint);
    if (current()) Application->FHintManager->MouseMoved(Window, ScreenPoint);
  };
  SetInputHooks(std::move(Input));
  State.PreviousHandler = SetExceptionHandler([](std::exception_ptr E) { Application->HandleException(E); });
}

void FinalizeForms() {
  if (!Application) return;
  TInstalled& State = installed();
  SetExceptionHandler(State.PreviousHandler);
  TPumpHooks Hooks = SetPumpHooks({});
  Hooks.Idle = State.PreviousPump.Idle;
  Hooks.Quit = State.PreviousPump.Quit;
  SetPumpHooks(Hooks);
  State.PreviousPump = {};
  // Forms outlive neither: the ones Application owns go with it, the rest
  // are the program's.
  TApplication* App = std::exchange(Application, nullptr);
  App->Free();
  TScreen* S = std::exchange(Screen, nullptr);
  S->Free();
}

namespace test {

void SetMonitors(const std::vector<TMonitorInfo>& Monitors) {
  installed().InjectedMonitors = Monitors;
  if (Screen) Screen->UpdateMonitors();
}

}  // namespace test

Integer TApplication::MessageBox(const String& Text, const String& Caption, Integer Flags) {
  return ::MessageBox(Text, Caption, Flags);
}
