#include "platform/ui/windowing/forms.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/gdi.h"
#include "platform/ui/graphics/imagelist.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/graphics/textengine.h"
#include "platform/ui/windowing/application.h"
#include "platform/ui/windowing/hwnd.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/menus.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/window.h"
#include "platform/ui/windowing/windowingstate_p.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>
#include <cstdio>

using namespace gdi;

namespace {

}  // namespace

struct windowing_detail::TModalSeam {
  TModalResponder Responder;
  TDialogBox Box;
};

namespace {

windowing_detail::TModalSeam& modalSeam() { return WindowingState().ModalSeam.Get(); }

// Msg to every control of Parent, depth first.
void notifyAll(TWinControl* Parent, UINT Msg) {
  for (Integer I = 0; I < Parent->ControlCount(); ++I) {
    TControl* C = Parent->Controls(I);
    C->Perform(Msg, 0, 0);
    if (auto* W = dynamic_cast<TWinControl*>(C)) notifyAll(W, Msg);
  }
}

// The top-level windows of controls that take input now (a modal run
// disables them).
std::vector<HWND> enabledTopLevels(HWND Except) {
  std::vector<HWND> Result;
  ForEachWindowHandle([&](HWND Window) {
    if (Window == Except || TopLevelWindow(Window) != Window || !FindControl(Window)) return;
    if (IsWindowVisible(Window) && IsWindowEnabled(Window)) Result.push_back(Window);
  });
  return Result;
}

// The sizing code of P, a point on the border of a window of Size (window
// coordinates): a corner within border plus caption of it along either edge.
LRESULT sizingHit(TPoint P, TSize Size, const TFormFrame& F) {
  const Integer Corner = F.Border + F.Caption;
  const bool Left = P.X < Corner, Right = !Left && P.X >= Size.cx - Corner;
  const bool Top = P.Y < Corner, Bottom = !Top && P.Y >= Size.cy - Corner;
  if (Top && Left) return HTTOPLEFT;
  if (Top && Right) return HTTOPRIGHT;
  if (Bottom && Left) return HTBOTTOMLEFT;
  if (Bottom && Right) return HTBOTTOMRIGHT;
  if (P.X < F.Border) return HTLEFT;
  if (P.X >= Size.cx - F.Border) return HTRIGHT;
  return P.Y < F.Border ? HTTOP : HTBOTTOM;
}

TPoint centreIn(const TRect& Area, Integer Width, Integer Height) {
  return {Area.Left + (Area.Width() - Width) / 2, Area.Top + (Area.Height() - Height) / 2};
}

// ---------------------------------------------------------------------------
// the menu bar

constexpr Integer MenuBarItemIndent = 6;  // caption (or image) to an item's sides
constexpr Integer MenuBarImageGap = 2;    // image to caption
constexpr UINT MenuBarTextFormat = DT_SINGLELINE | DT_CENTER | DT_VCENTER;

struct TBarItem {
  TMenuItem* Item;
  TRect Rect;  // window coordinates
};

// The screen's menu font; Fallback (a default font) without a screen.
TFont* menuFont(TFont& Fallback) { return Screen ? Screen->MenuFont() : &Fallback; }

Integer captionWidth(TFont* Font, const String& Caption) {
  TCanvas Canvas;
  TRect R;
  MeasureOnScreen(&Canvas, [&] {
    Canvas.SetFont(Font);
    DrawTextW(Canvas.Handle(), Caption.constData(), int(Caption.size()), &R, MenuBarTextFormat | DT_CALCRECT);
  });
  return R.Width();
}

// The image list showing Item's image; nullptr when it has none.
TCustomImageList* barImages(TMenuItem* Item) {
  TCustomImageList* Images = Item->GetImageList();
  return Images && Item->ImageIndex() >= 0 && Item->ImageIndex() < Images->Count() ? Images : nullptr;
}

// The bar items of Form's menu for a window WindowWidth wide: the visible
// items that are not lines, in rows of SM_CYMENU under the caption, a new
// row where an item would pass the right border; empty when the form shows
// no bar (a child form, no menu, nothing visible).
std::vector<TBarItem> barLayout(TCustomForm* Form, Integer WindowWidth) {
  std::vector<TBarItem> Items;
  TMainMenu* Menu = Form->Menu();
  if (!Menu || Form->Parent()) return Items;
  TFont Fallback;
  TFont* Font = menuFont(Fallback);
  const TFormFrame F = FormFrame(Form->BorderStyle());
  const Integer Left = F.Border, Right = WindowWidth - F.Border, RowHeight = GetSystemMetrics(SM_CYMENU);
  Integer X = Left, Y = F.Border + F.Caption;
  for (Integer I = 0; I < Menu->Items()->Count(); ++I) {
    TMenuItem* Item = Menu->Items()->Items(I);
    if (!Item->Visible() || Item->IsLine()) continue;
    Integer W = captionWidth(Font, Item->Caption()) + 2 * MenuBarItemIndent;
    if (TCustomImageList* Images = barImages(Item)) W += Images->Width() + MenuBarImageGap;
    if (X > Left && X + W > Right) {
      X = Left;
      Y += RowHeight;
    }
    Items.push_back({Item, Rect(X, Y, X + W, Y + RowHeight)});
    X += W;
  }
  return Items;
}

// The bar's rows across the window (window coordinates); empty without bar.
TRect menuBarRect(TCustomForm* Form, Integer WindowWidth) {
  const std::vector<TBarItem> Items = barLayout(Form, WindowWidth);
  if (Items.empty()) return {};
  const TFormFrame F = FormFrame(Form->BorderStyle());
  return Rect(F.Border, Items.front().Rect.Top, WindowWidth - F.Border, Items.back().Rect.Bottom);
}

// Classic flat bar: clMenu, captions in clMenuText, disabled ones in
// clGrayText, an item's image left of its caption.
void paintMenuBar(TCustomForm* Form, TCanvas* Canvas) {
  const TRect Bar = menuBarRect(Form, Form->Width());
  if (IsRectEmpty(Bar)) return;
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(clMenu);
  Canvas->FillRect(Bar);
  TFont Fallback;
  for (const TBarItem& B : barLayout(Form, Form->Width())) {
    TRect R = B.Rect;
    R.Left += MenuBarItemIndent;
    R.Right -= MenuBarItemIndent;
    if (TCustomImageList* Images = barImages(B.Item)) {
      Images->Draw(Canvas, R.Left, R.Top + (R.Height() - Images->Height()) / 2, B.Item->ImageIndex(),
                   B.Item->Enabled());
      R.Left += Images->Width() + MenuBarImageGap;
    }
    Canvas->SetFont(menuFont(Fallback));
    Canvas->Font()->SetColor(B.Item->Enabled() ? clMenuText : clGrayText);
    Canvas->Brush()->SetStyle(bsClear);
    const String Text = B.Item->Caption();
    DrawTextW(Canvas->Handle(), Text.constData(), int(Text.size()), &R, MenuBarTextFormat);
  }
}

}  // namespace

TFormFrame FormFrame(TFormBorderStyle Style) {
  switch (Style) {
    case bsNone: return {0, 0};
    case bsSingle:
    case bsDialog: return {3, 23};
    case bsSizeable: return {4, 23};
    case bsToolWindow: return {3, 17};
    case bsSizeToolWin: return {4, 17};
  }
  return {};
}

// ---------------------------------------------------------------------------
// TCustomForm

const TMessageMap& TCustomForm::MessageMap() {
  static const TMessageMap Map(TWinControl::MessageMap(), {
      {WM_NCCALCSIZE, &TCustomForm::WMNCCalcSize},
      {WM_NCPAINT, &TCustomForm::WMNCPaint},
      {WM_NCHITTEST, &TCustomForm::WMNCHitTest},
      {WM_NCLBUTTONDOWN, &TCustomForm::WMNCLButtonDown},
      // A quick second press on the bar opens the item again.
      {WM_NCLBUTTONDBLCLK, &TCustomForm::WMNCLButtonDown},
      {CM_DIALOGCHAR, &TCustomForm::CMDialogChar},
      {WM_ACTIVATE, &TCustomForm::WMActivate},
      {WM_CLOSE, &TCustomForm::WMClose},
      {WM_SYSCOLORCHANGE, &TCustomForm::WMSysColorChange},
      {WM_SETTINGCHANGE, &TCustomForm::WMSettingChange},
      {CM_SHOWINGCHANGED, &TCustomForm::CMShowingChanged},
      {CM_RELEASE, &TCustomForm::CMRelease},
      {CM_TEXTCHANGED, &TCustomForm::CMTextChanged},
      {CM_MENUCHANGED, &TCustomForm::CMMenuChanged},
  });
  return Map;
}

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  FVisible = false;
  SetColor(clBtnFace);
  SetBounds(0, 0, 320, 240);
  if (Screen) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  if (Screen) Screen->RemoveForm(this);
  if (Application) Application->FormDestroyed(this);
}

void TCustomForm::AfterConstruction() {
  if (FCreated) return;
  FCreated = true;
  try {
    DoCreate();
  } catch (...) {
    HandleException(std::current_exception());
  }
}

void TCustomForm::BeforeDestruction() {
  try {
    DoDestroy();
  } catch (...) {
    HandleException(std::current_exception());
  }
  if (Screen) Screen->RemoveForm(this);
  if (Application) Application->FormDestroyed(this);
  TWinControl::BeforeDestruction();
}

void TCustomForm::DoCreate() {
  if (OnCreate) OnCreate(this);
}

void TCustomForm::DoDestroy() {
  if (OnDestroy) OnDestroy(this);
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& Action) {
  if (OnClose) OnClose(this, Action);
}

void TCustomForm::Activated() {
  if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivated() {
  if (OnDeactivate) OnDeactivate(this);
}

// showing and closing

void TCustomForm::Show() {
  SetVisible(true);
  BringToFront();
  Activate();
}

void TCustomForm::Hide() { SetVisible(false); }

void TCustomForm::Activate() {
  if (!FVisible) return;
  if (GetWindowLong(Handle(), GWL_EXSTYLE) & WS_EX_NOACTIVATE) return;
  ActivateWindow(Handle());
}

void TCustomForm::Close() {
  if (FModal) {
    FModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction Action = caHide;
  DoClose(Action);
  if (Action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  switch (Action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
  }
}

bool TCustomForm::CloseQuery() {
  bool CanClose = true;
  if (OnCloseQuery) OnCloseQuery(this, CanClose);
  return CanClose;
}

TModalResult TCustomForm::ShowModal() {
  if (FVisible || !Enabled() || FModal)
    throw EInvalidOperation(QStringLiteral("Cannot make a visible window modal"));
  if (const HWND Capture = GetCapture()) SendMessage(Capture, WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  const TCursor SavedCursor = Screen ? Screen->Cursor() : crDefault;
  if (Screen) Screen->SetCursor(crDefault);
  const HWND PreviousActive = GetActiveWindow();
  const std::vector<HWND> Disabled = enabledTopLevels(Handle());
  for (HWND Window : Disabled) EnableWindow(Window, 0);
  FModal = true;
  FModalResult = mrNone;
  TCloseAction Action = caHide;
  auto closeAsked = [&] {
    if (Application && Application->Terminated()) FModalResult = mrCancel;
    if (FModalResult == mrNone) return false;
    Action = caHide;
    if (CloseQuery()) DoClose(Action);
    else Action = caNone;
    if (Action == caNone) FModalResult = mrNone;
    return FModalResult != mrNone;
  };
  auto restore = [&] {
    FModal = false;
    Hide();
    for (HWND Window : Disabled)
      if (IsWindow(Window)) EnableWindow(Window, 1);
    if (Screen) Screen->SetCursor(SavedCursor);
    if (IsWindow(PreviousActive) && IsWindowVisible(PreviousActive)) ActivateWindow(PreviousActive);
  };
  try {
    Show();
    FModalResult = mrNone;
    if (TModalResponder Responder = modalSeam().Responder) {
      do {
        TModalRequest Request;
        Request.Kind = QStringLiteral("form");
        Request.Form = this;
        Request.ClassName = ClassName();
        Request.Caption = Caption();
        Responder(Request);
        ::ProcessMessages();
        if (FModalResult == mrNone && !(Application && Application->Terminated()))
          throw EUnansweredModal(QStringLiteral("Modal form %s ('%s') was left without a result"),
                                 {ClassName(), Caption()});
      } while (!closeAsked());
    } else {
      if (!RunMessageLoop(closeAsked)) FModalResult = mrCancel;
    }
  } catch (...) {
    restore();
    throw;
  }
  restore();
  if (Action == caFree) Release();
  return FModalResult;
}

void TCustomForm::Release() {
  if (FReleasing) return;
  FReleasing = true;
  PostMessage(Handle(), CM_RELEASE, 0, 0);
}

// focus

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
  if (ComponentState().Contains(csDestroying)) return false;
  TWinControl* Old = FFocusedControl;
  FActiveControl = Control == this ? nullptr : Control;
  FFocusedControl = FActiveControl;
  ChangeFocusedControl(this, Old, FActiveControl);
  if (Screen && Screen->ActiveForm() == this && Screen->OnActiveControlChange) Screen->OnActiveControlChange(Screen);
  return true;
}

void TCustomForm::FocusControl(TWinControl* Control) {
  if (FActive && Control->HandleAllocated()) gdi::SetFocus(Control->Handle());
  else FActiveControl = Control;
}

void TCustomForm::DefocusControl(TWinControl* Control) {
  if (Control->ContainsControl(FFocusedControl))
    FFocusedControl = Control->Parent() == this ? nullptr : Control->Parent();
  if (!Control->ContainsControl(FActiveControl)) return;
  FActiveControl = nullptr;
  if (FActive && HandleAllocated() && Control->ContainsControl(FocusedControl())) gdi::SetFocus(Handle());
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
  if (FActiveControl == Control) return;
  if (FActive && Control) {
    Control->SetFocus();
    return;
  }
  FActiveControl = Control;
}

bool TCustomForm::IsShortCut(TWMKey& Message) {
  bool Handled = false;
  if (OnShortCut) OnShortCut(Message, Handled);
  if (Handled) return true;
  return ::IsShortCut(Message, FActiveControl ? static_cast<TControl*>(FActiveControl) : this, FMenu);
}

// properties

void TCustomForm::SetMenu(TMainMenu* Value) {
  if (FMenu == Value) return;
  if (FMenu) {
    FMenu->RemoveFreeNotification(this);
    FMenu->SetWindowHandle(nullptr);
  }
  FMenu = Value;
  if (Value) {
    Value->FreeNotification(this);
    if (HandleAllocated() && !FParent) Value->SetWindowHandle(Handle());
  }
  frameChanged();
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation != opRemove || AComponent != FMenu) return;
  FMenu = nullptr;
  frameChanged();
}

void TCustomForm::frameChanged() {
  if (!HandleAllocated() || FParent || ComponentState().Contains(csDestroying)) return;
  const TRect Old = ClientRect();
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (ClientRect() != Old) SendSizeMessage();
}

void TCustomForm::CMMenuChanged(TMessage&) { frameChanged(); }

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
  if (FBorderIcons == Value) return;
  FBorderIcons = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
  if (FFormStyle == Value) return;
  FFormStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}

TMonitor* TCustomForm::Monitor() {
  if (!Screen) return nullptr;
  return Screen->MonitorFromRect(BoundsRect(), mdNearest);
}

void TCustomForm::SetWindowState(TWindowState Value) {
  if (FWindowState == Value) return;
  if (FWindowState == wsNormal) FNormalBounds = BoundsRect();
  FWindowState = Value;
  if (Value == wsMaximized) {
    if (TMonitor* M = Monitor()) SetBoundsRect(M->WorkareaRect());
  } else if (Value == wsNormal) {
    SetBoundsRect(FNormalBounds);
  }
  if (HandleAllocated() && FVisible) ShowWindow(Handle(), Value == wsMinimized ? SW_HIDE : SW_SHOW);
}

TRect TCustomForm::NormalBounds() const { return FWindowState == wsNormal ? BoundsRect() : FNormalBounds; }

void TCustomForm::SetNormalBounds(const TRect& Value) {
  if (FWindowState == wsNormal) SetBoundsRect(Value);
  else FNormalBounds = Value;
}

void TCustomForm::SetAlphaBlend(bool Value) {
  FAlphaBlend = Value;
  applyLayering();
}

void TCustomForm::SetAlphaBlendValue(Byte Value) {
  FAlphaBlendValue = Value;
  applyLayering();
}

void TCustomForm::SetTransparentColor(bool Value) {
  FTransparentColor = Value;
  applyLayering();
}

void TCustomForm::SetTransparentColorValue(TColor Value) {
  FTransparentColorValue = Value;
  applyLayering();
}

void TCustomForm::applyLayering() {
  if (!HandleAllocated()) return;
  const HWND H = Handle();
  const bool Layered = FAlphaBlend || FTransparentColor;
  const LONG Ex = GetWindowLong(H, GWL_EXSTYLE);
  SetWindowLong(H, GWL_EXSTYLE, Layered ? Ex | WS_EX_LAYERED : Ex & ~LONG(WS_EX_LAYERED));
  if (!Layered) return;
  DWORD Flags = 0;
  if (FAlphaBlend) Flags |= LWA_ALPHA;
  if (FTransparentColor) Flags |= LWA_COLORKEY;
  SetLayeredWindowAttributes(H, COLORREF(ColorToRGB(FTransparentColorValue)), FAlphaBlend ? FAlphaBlendValue : 255,
                             Flags);
}

// the window

void TCustomForm::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  if (FParent) return;
  Params.Style &= ~DWORD(WS_CHILD);
  Params.Style |= WS_POPUP | WS_CLIPCHILDREN;
  switch (FBorderStyle) {
    case bsNone: break;
    case bsSingle:
    case bsToolWindow: Params.Style |= WS_CAPTION; break;
    case bsSizeable:
    case bsSizeToolWin: Params.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
      Params.Style |= WS_CAPTION;
      Params.ExStyle |= WS_EX_DLGMODALFRAME;
      break;
  }
  if (FBorderStyle != bsNone && FBorderIcons.Contains(biSystemMenu)) {
    Params.Style |= WS_SYSMENU;
    if (FBorderStyle != bsDialog && FBorderStyle != bsToolWindow && FBorderStyle != bsSizeToolWin) {
      if (FBorderIcons.Contains(biMinimize)) Params.Style |= WS_MINIMIZEBOX;
      if (FBorderIcons.Contains(biMaximize)) Params.Style |= WS_MAXIMIZEBOX;
    }
  }
  if (FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin) Params.ExStyle |= WS_EX_TOOLWINDOW;
  if (FFormStyle == fsStayOnTop) Params.ExStyle |= WS_EX_TOPMOST;
  if (FAlphaBlend || FTransparentColor) Params.ExStyle |= WS_EX_LAYERED;
  if (!ParentWindow()) {
    TCustomForm* Main = Application ? Application->MainForm() : nullptr;
    Params.WndParent = Main && Main != this && Main->HandleAllocated() ? Main->Handle() : ApplicationHandle();
  }
}

void TCustomForm::CreateWnd() {
  TWinControl::CreateWnd();
  applyLayering();
  if (FMenu && !FParent) FMenu->SetWindowHandle(Handle());
}

bool TCustomForm::ShowsWithoutParent() const { return true; }

void TCustomForm::SendCancelMode(TControl* Sender) {
  if (FActive && FActiveControl) FActiveControl->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(Sender));
}

void TCustomForm::MouseWheelHandler(TMessage& Message) {
  if (FActiveControl && FActiveControl != this)
    Message.Result = FActiveControl->Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam);
  else
    TWinControl::MouseWheelHandler(Message);
}

// messages

void TCustomForm::WMNCCalcSize(TWMNCCalcSize& Message) {
  if (FParent) {
    DispatchAs<TWinControl>(Message);
    return;
  }
  const TFormFrame F = FormFrame(FBorderStyle);
  RECT& R = Message.CalcSize_Params->rgrc[0];
  const Integer Bar = menuBarRect(this, R.Width()).Height();
  R.Left += F.Border;
  R.Right -= F.Border;
  R.Top += F.Border + F.Caption + Bar;
  R.Bottom -= F.Border;
  if (R.Right < R.Left) R.Right = R.Left;
  if (R.Bottom < R.Top) R.Bottom = R.Top;
}

void TCustomForm::WMNCPaint(TWMNCPaint& Message) {
  const TRect MenuBar = menuBarRect(this, Width());
  if (FParent || (FBorderStyle == bsNone && IsRectEmpty(MenuBar))) {
    DispatchAs<TWinControl>(Message);
    return;
  }
  const HWND H = Handle();
  const HDC DC = GetWindowDC(H);
  if (!DC) return;
  const TFormFrame F = FormFrame(FBorderStyle);
  TCanvas Canvas;
  PaintOnCanvas(&Canvas, DC, [&] {
    Canvas.Brush()->SetColor(clBtnFace);
    const TRect Client = ClientRect();
    const TPoint Origin{F.Border, F.Border + F.Caption + MenuBar.Height()};
    // The frame around the client area.
    Canvas.FillRect(TRect(0, 0, Width(), Origin.Y));
    Canvas.FillRect(TRect(0, Origin.Y, Origin.X, Height()));
    Canvas.FillRect(TRect(Origin.X + Client.Width(), Origin.Y, Width(), Height()));
    Canvas.FillRect(TRect(Origin.X, Origin.Y + Client.Height(), Origin.X + Client.Width(), Height()));
    const TRect Bar(F.Border, F.Border, Width() - F.Border, F.Border + F.Caption);
    Canvas.Brush()->SetColor(FActive ? clActiveCaption : clInactiveCaption);
    Canvas.FillRect(Bar);
    Canvas.Font()->SetColor(FActive ? clCaptionText : clInactiveCaptionText);
    Canvas.Brush()->SetStyle(bsClear);
    Canvas.TextRect(Bar, Bar.Left + 4, Bar.Top + (F.Caption - Canvas.TextHeight(QStringLiteral("Wg"))) / 2, Caption());
    paintMenuBar(this, &Canvas);
  });
  ReleaseDC(H, DC);
}

void TCustomForm::WMNCHitTest(TWMNCHitTest& Message) {
  const TRect MenuBar = menuBarRect(this, Width());
  if (FParent || (FBorderStyle == bsNone && IsRectEmpty(MenuBar))) {
    DispatchAs<TWinControl>(Message);
    return;
  }
  const TFormFrame F = FormFrame(FBorderStyle);
  RECT W;
  GetWindowRect(Handle(), &W);
  const TPoint P{Message.Pos().X - W.Left, Message.Pos().Y - W.Top};
  if (P.X < 0 || P.Y < 0 || P.X >= Width() || P.Y >= Height()) {
    Message.Result = HTNOWHERE;
  } else if (P.X < F.Border || P.Y < F.Border || P.X >= Width() - F.Border || P.Y >= Height() - F.Border) {
    // Only a normal window is sized by its frame.
    const bool Sizeable = (FBorderStyle == bsSizeable || FBorderStyle == bsSizeToolWin) && FWindowState == wsNormal;
    Message.Result = Sizeable ? sizingHit(P, {Width(), Height()}, F) : HTBORDER;
  } else if (P.Y < F.Border + F.Caption) {
    Message.Result = HTCAPTION;
  } else if (MenuBar.Contains(P)) {
    Message.Result = HTMENU;
  } else {
    Message.Result = HTCLIENT;
  }
}

void TCustomForm::openBarItem(TMenuItem* Item, const TRect& ItemRect) {
  RECT W;
  GetWindowRect(Handle(), &W);
  // The submenu drops from the item's bottom-left corner.
  FMenu->OpenItem(Item, W.Left + ItemRect.Left, W.Top + ItemRect.Bottom);
}

void TCustomForm::WMNCLButtonDown(TMessage& Message) {
  if (Message.WParam == WPARAM(HTMENU)) {
    RECT W;
    GetWindowRect(Handle(), &W);
    const TPoint At = LParamToPoint(Message.LParam);
    const TPoint P{At.X - W.Left, At.Y - W.Top};
    for (const TBarItem& B : barLayout(this, Width()))
      if (B.Rect.Contains(P)) {
        openBarItem(B.Item, B.Rect);
        return;
      }
    return;
  }
  if (Message.WParam == WPARAM(HTCAPTION) && FWindowState != wsNormal) return;
  DispatchAs<TWinControl>(Message);
}

void TCustomForm::CMDialogChar(TCMDialogChar& Message) {
  DispatchAs<TWinControl>(Message);
  constexpr Integer AltDown = 1 << 29;
  if (Message.Result || !(Message.KeyData & AltDown)) return;
  for (const TBarItem& B : barLayout(this, Width()))
    if (IsAccel(Message.CharCode, B.Item->Caption())) {
      Message.Result = 1;
      openBarItem(B.Item, B.Rect);
      return;
    }
}

void TCustomForm::WMActivate(TWMActivate& Message) {
  activeChanged(Message.Active != WA_INACTIVE);
}

void TCustomForm::activeChanged(bool Active) {
  if (FActive == Active) return;
  FActive = Active;
  if (Active) {
    if (Screen) Screen->SetActiveForm(this);
    if (Application) Application->SetActive(true);
    Perform(CM_ACTIVATE, 0, 0);
    Activated();
    if (FActiveControl && FActiveControl->CanFocus()) gdi::SetFocus(FActiveControl->Handle());
  } else {
    if (Screen && Screen->ActiveForm() == this) Screen->SetActiveForm(nullptr);
    Perform(CM_DEACTIVATE, 0, 0);
    Deactivated();
  }
  if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TCustomForm::WMClose(TMessage&) { Close(); }

void TCustomForm::WMSysColorChange(TMessage&) { notifyAll(this, CM_SYSCOLORCHANGE); }

void TCustomForm::WMSettingChange(TMessage&) { notifyAll(this, CM_WININICHANGE); }

void TCustomForm::CMShowingChanged(TMessage& Message) {
  if (Showing()) {
    AfterConstruction();
    placeAtFirstShow();
    DoShow();
    DispatchAs<TWinControl>(Message);
    // A minimized form is shown as nothing.
    if (FWindowState == wsMinimized) ShowWindow(Handle(), SW_HIDE);
  } else {
    DoHide();
    DispatchAs<TWinControl>(Message);
    if (FActive) {
      activeChanged(false);
      // The topmost other visible form takes over.
      if (Screen)
        for (Integer I = Screen->FormCount() - 1; I >= 0; --I) {
          TCustomForm* F = Screen->Forms(I);
          if (F != this && F->Visible() && F->HandleAllocated() && IsWindowEnabled(F->Handle())) {
            F->Activate();
            break;
          }
        }
    }
  }
}

void TCustomForm::CMRelease(TMessage&) { Free(); }

void TCustomForm::CMTextChanged(TMessage& Message) {
  DispatchAs<TWinControl>(Message);
  if (!HandleAllocated() || FParent) return;
  if (QWidget* W = FindWindowObject(Handle())->Widget()) W->setWindowTitle(Caption());
  RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TCustomForm::placeAtFirstShow() {
  if (FPlaced || FParent) return;
  FPlaced = true;
  TRect Area;
  switch (FPosition) {
    case poScreenCenter:
    case poDesktopCenter: {
      if (!Screen) return;
      TMonitor* M = FDefaultMonitor == dmPrimary || FPosition == poDesktopCenter ? Screen->PrimaryMonitor()
                    : FDefaultMonitor == dmMainForm && Application && Application->MainForm()
                        ? Application->MainForm()->Monitor()
                    : FDefaultMonitor == dmActiveForm && Screen->ActiveForm() ? Screen->ActiveForm()->Monitor()
                                                                                : Screen->PrimaryMonitor();
      if (!M) return;
      Area = FPosition == poDesktopCenter ? Screen->DesktopRect() : M->WorkareaRect();
      break;
    }
    case poMainFormCenter:
    case poOwnerFormCenter: {
      TCustomForm* Around = FPosition == poOwnerFormCenter ? dynamic_cast<TCustomForm*>(Owner()) : nullptr;
      if (!Around && Application) Around = Application->MainForm();
      if (!Around || Around == this) {
        if (!Screen || !Screen->PrimaryMonitor()) return;
        Area = Screen->PrimaryMonitor()->WorkareaRect();
      } else {
        Area = Around->BoundsRect();
      }
      break;
    }
    default: return;
  }
  // A form shown maximized is centred for when it is restored.
  const TRect Normal = NormalBounds();
  const TPoint P = centreIn(Area, Normal.Width(), Normal.Height());
  SetNormalBounds(Bounds(P.X, P.Y, Normal.Width(), Normal.Height()));
}

// ---------------------------------------------------------------------------

TCustomForm* GetParentForm(TControl* Control, bool TopForm) {
  TCustomForm* Found = nullptr;
  for (TControl* C = Control; C; C = C->Parent()) {
    if (auto* F = dynamic_cast<TCustomForm*>(C)) {
      Found = F;
      if (!TopForm) return F;
    }
  }
  return Found;
}

bool IsAccel(Word Key, const String& Caption) {
  for (int I = 0; I + 1 < Caption.size(); ++I) {
    if (Caption[I] != u'&') continue;
    // "&&" is a literal ampersand: skip both.
    if (Caption[I + 1] == u'&') {
      ++I;
      continue;
    }
    return String(Caption[I + 1]).toUpper() == String(QChar(Key)).toUpper();
  }
  return false;
}

// window placement

namespace gdi {

BOOL GetWindowPlacement(HWND Window, WINDOWPLACEMENT* Placement) {
  if (!IsWindow(Window)) return 0;
  *Placement = WINDOWPLACEMENT();
  if (auto* Form = dynamic_cast<TCustomForm*>(FindControl(Window))) {
    Placement->showCmd = Form->WindowState() == wsMinimized   ? SW_SHOWMINIMIZED
                         : Form->WindowState() == wsMaximized ? SW_SHOWMAXIMIZED
                                                              : SW_SHOWNORMAL;
    Placement->rcNormalPosition = Form->NormalBounds();
  } else {
    GetWindowRect(Window, &Placement->rcNormalPosition);
  }
  return 1;
}

BOOL SetWindowPlacement(HWND Window, const WINDOWPLACEMENT* Placement) {
  if (!IsWindow(Window)) return 0;
  const TRect& R = Placement->rcNormalPosition;
  auto* Form = dynamic_cast<TCustomForm*>(FindControl(Window));
  if (!Form) {
    SetWindowPos(Window, nullptr, R.Left, R.Top, R.Width(), R.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    return 1;
  }
  Form->SetNormalBounds(R);
  switch (Placement->showCmd) {
    case SW_HIDE: Form->Hide(); return 1;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE: Form->SetWindowState(wsMinimized); break;
    case SW_SHOWMAXIMIZED: Form->SetWindowState(wsMaximized); break;
    default: Form->SetWindowState(wsNormal); break;
  }
  Form->SetVisible(true);
  return 1;
}

}  // namespace gdi

// the modal seam

TModalResponder SetModalResponder(TModalResponder Responder) {
  return std::exchange(modalSeam().Responder, std::move(Responder));
}

bool ModalResponderInstalled() { return bool(modalSeam().Responder); }

TDialogBox SetDialogBox(TDialogBox Box) { return std::exchange(modalSeam().Box, std::move(Box)); }

TModalResult ExecuteModal(TModalRequest& Request) {
  if (TModalResponder Responder = modalSeam().Responder) {
    Responder(Request);
    return Request.Result;
  }
  if (TDialogBox Box = modalSeam().Box) return Request.Result = Box(Request);
  return Request.Result = AnswerUnattended(Request);
}

bool PersonCanAnswer() {
  return qobject_cast<QApplication*>(QCoreApplication::instance()) &&
         QGuiApplication::platformName() != QStringLiteral("offscreen");
}

TModalResult AnswerUnattended(const TModalRequest& Request) {
  const String Heading = Request.Caption.isEmpty() ? Request.ClassName : Request.Caption;
  std::fprintf(stderr, "%s: %s\n", Heading.toUtf8().constData(), Request.Text.toUtf8().constData());
  return Request.Default;
}
