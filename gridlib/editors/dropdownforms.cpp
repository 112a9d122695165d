#include "gridlib/editors/dropdownforms.h"

#include "gridlib/base/dynvars.h"
#include "gridlib/base/sizegrip.h"
#include "gridlib/base/winroutines.h"
#include "gridlib/editors/speedbutton.h"
#include "platform/os/sysinfo.h"
#include "platform/rtl/format.h"
#include "platform/rtl/scopeexit.h"
#include "platform/ui/graphics/edges.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/graphics/styles.h"
#include "platform/ui/windowing/application.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/window.h"

using namespace gdi;

namespace {

// The close button under a style: 17 x 16.
constexpr Integer ThemedCloseButtonWidth = 17, ThemedCloseButtonHeight = 16;
// Room the close button leaves for a grip beside it, and its margins.
constexpr Integer CloseButtonGripRoom = 18, CloseButtonRightMargin = 3, CloseButtonLeftMargin = 2;
// The close button's classic frame-control flags.
constexpr UINT CloseFlat = 0x4000, ClosePressed = 0x0400, CloseHot = 0x1000;
// The band of the sizing bar that resizes, at most.
constexpr Integer SizingBandHeight = 10;
// The sizing bar is a scroll-bar arrow plus this much high.
constexpr Integer SizingBarExtraHeight = 3;

Integer borderWidthForVersion() {
  if (CheckWin32Version(10)) return 1;
  if (CheckWin32Version(6)) return 3;
  return 2;
}

bool styleServicesOn() { return StyleServices()->Enabled(); }
bool customStyleOn() { return styleServicesOn() && !StyleServices()->IsSystemStyle(); }

}  // namespace

TCustomDropDownFormEh* DropDownFormGlobalRefEh(TClass FormClass) {
  for (TClass C = FormClass; C; C = C->ClassParent())
    if (auto* Meta = dynamic_cast<const TDropDownFormMetaEh*>(C)) return Meta->GetGlobalRef();
  return nullptr;
}

// ---------------------------------------------------------------------------
// TDDFCloseButtonEh

TDDFCloseButtonEh::TDDFCloseButtonEh(TComponent* AOwner) : TWinControl(AOwner), FButton(new TSpeedButtonEh(this)) {
  if (styleServicesOn())
    SetBounds(0, 0, ThemedCloseButtonWidth, ThemedCloseButtonHeight);
  else
    SetBounds(0, 0, GetSystemMetrics(SM_CYSMSIZE), GetSystemMetrics(SM_CYSMSIZE));
  FButton->SetParent(this);
  FButton->SetAlign(alClient);
  FButton->SetFlat(true);
  FButton->OnPaint = TNotifyEvent(this, &TDDFCloseButtonEh::buttonPaint);
  FButton->OnClick = TNotifyEvent(this, &TDDFCloseButtonEh::buttonClick);
}

void TDDFCloseButtonEh::buttonClick(TObject*) {
  if (TCustomForm* Form = GetParentForm(this, /*TopForm=*/false)) {
    if (auto* DropDown = dynamic_cast<TCustomDropDownFormEh*>(Form))
      DropDown->Close();
    else
      Form->Close();
  }
}

void TDDFCloseButtonEh::buttonPaint(TObject*) {
  TCanvas* Canvas = FButton->Canvas();
  TRect R = FButton->ClientRect();
  const bool Pressed = FButton->State() == bsPressedEh;
  const bool Hot = FButton->MouseInControl();
  if (customStyleOn()) {
    const TThemedWindow Part = Pressed ? twSmallCloseButtonPushed : Hot ? twSmallCloseButtonHot
                                                                        : twSmallCloseButtonNormal;
    StyleServices()->DrawElement(Canvas->Handle(), StyleServices()->GetElementDetails(Part), R);
  } else if (styleServicesOn()) {
    const TThemedToolTip Part = Pressed ? tttClosePressed : Hot ? tttCloseHot : tttCloseNormal;
    StyleServices()->DrawElement(Canvas->Handle(), StyleServices()->GetElementDetails(Part), R);
  } else {
    const Integer W = GetSystemMetrics(SM_CXSMSIZE), H = GetSystemMetrics(SM_CYSMSIZE);
    TRect Box = Bounds(R.Left + (R.Width() - W) / 2, R.Top + (R.Height() - H) / 2, W, H);
    const UINT State = CloseFlat | (Pressed ? ClosePressed : Hot ? CloseHot : 0);
    DrawFrameControl(Canvas->Handle(), &Box, DFC_CAPTION, DFCS_CAPTIONCLOSE | State);
  }
}

// ---------------------------------------------------------------------------
// TDDFSizingBarEh

TDDFSizingBarEh::TDDFSizingBarEh(TComponent* AOwner) : TCustomPanel(AOwner) {
  SetBevelOuter(bvNone);
  SetBevelEdges(TBevelEdges{beTop});
  SetBevelKind(bkTile);
  FControlStyle.Include(csCaptureMouse);
}

void TDDFSizingBarEh::Resize() {
  TCustomPanel::Resize();
  FSizingArea = Height() >= SizingBandHeight ? SizingBandHeight : Height() / 2;
}

bool TDDFSizingBarEh::inSizingArea(int Y) {
  if (Align() == alTop) return Y < FSizingArea;
  return Y >= ClientHeight() - FSizingArea;
}

void TDDFSizingBarEh::setCursorFor(int Y) { SetCursor(inSizingArea(Y) ? crSizeNS : crDefault); }

void TDDFSizingBarEh::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomPanel::MouseDown(Button, Shift, X, Y);
  FMouseDownPos = Button == mbLeft && inSizingArea(Y) ? TPoint{X, Y} : TPoint{-1, -1};
}

void TDDFSizingBarEh::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomPanel::MouseMove(Shift, X, Y);
  const bool Dragging = Shift.Contains(ssLeft) && MouseCapture() && FMouseDownPos.Y >= 0;
  if (!Dragging || !FHostControl) {
    setCursorFor(Y);
    return;
  }
  const Integer Travel = Y - FMouseDownPos.Y;
  if (Align() == alTop) {
    const Integer Bottom = FHostControl->Top() + FHostControl->Height();
    const Integer NewTop = FHostControl->Top() + Travel;
    FHostControl->SetBounds(FHostControl->Left(), NewTop, FHostControl->Width(), Bottom - NewTop);
  } else {
    FHostControl->SetHeight(Y + FHostControl->Height() - FMouseDownPos.Y);
  }
}

void TDDFSizingBarEh::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomPanel::MouseUp(Button, Shift, X, Y);
  FMouseDownPos = TPoint{-1, -1};
}

// ---------------------------------------------------------------------------
// TCustomDropDownFormEh: construction

const TMessageMap& TCustomDropDownFormEh::MessageMap() {
  static const TMessageMap Map(TForm::MessageMap(), {
      {WM_ACTIVATE, &TCustomDropDownFormEh::WMActivate},
      {WM_WINDOWPOSCHANGED, &TCustomDropDownFormEh::WMWindowPosChanged},
      {WM_PAINT, &TCustomDropDownFormEh::WMPaint},
  });
  return Map;
}

TCustomDropDownFormEh::TCustomDropDownFormEh(TComponent* AOwner) : TForm(AOwner), FCanvas(new TControlCanvas) {
  FCanvas->SetControl(this);
  initializeNewForm();
}

TCustomDropDownFormEh::~TCustomDropDownFormEh() {
  // A form freed while a non-modal call is open (at shutdown, say) still
  // owns that call's bags.  Its callback is not run: the caller that would
  // hear it may be gone already.
  if (FCallbackProc) {
    delete FDynParams;
    delete FSysParams;
  }
  FCanvas->Free();
}

void TCustomDropDownFormEh::DescribeProperties(TPropertyTable& Props) {
  using F = TCustomDropDownFormEh;
  Props.Add("FormElements", &F::FormElements, &F::SetFormElements).Default(AllDropDownFormElementsEh);
  Props.Add("DropDownMode", &F::DropDownMode, &F::SetDropDownMode).Default(true);
  Props.Add("OnInitForm", &F::OnInitForm, &F::OnInitForm);
  Props.Add("OnReturnParams", &F::OnReturnParams, &F::OnReturnParams);
}

void TCustomDropDownFormEh::initializeNewForm() {
  FCloseButton = new TDDFCloseButtonEh(this);
  FCloseButton->SetVisible(false);
  FCloseButton->SetParent(this);
  FCloseButton->SetAnchors(TAnchors{akTop, akRight});
  FSizingBar = new TDDFSizingBarEh(this);
  FSizingBar->SetVisible(false);
  FSizingBar->SetParent(this);
  FSizingBar->SetHostControl(this);
  FSizeGrip = new TSizeGripEh(this);
  FSizeGrip2 = new TSizeGripEh(this);
  for (TSizeGripEh* Grip : {FSizeGrip, FSizeGrip2}) {
    Grip->SetVisible(false);
    Grip->SetParent(this);
    Grip->SetHostControl(this);
    Grip->SetTriangleWindow(true);
  }
  FSizeGrip2->SetPosition(sgpBottomLeft);
  FFormElements = AllDropDownFormElementsEh;
  SetBorderIcons(TBorderIcons{});
  SetBorderStyle(bsNone);
  FDropDownMode = true;
  FBorderWidth = borderWidthForVersion();
  Constraints()->SetMinWidth(GetSystemMetrics(SM_CXVSCROLL) * 2);
  Constraints()->SetMinHeight(GetSystemMetrics(SM_CYVSCROLL) * 2);
  SetPosition(poDesigned);
  SetFormStyle(fsStayOnTop);
}

void TCustomDropDownFormEh::CreateParams(TCreateParams& Params) {
  TForm::CreateParams(Params);
  if (FDropDownMode) SetDropShadowClassStyleEh(this, Params, /*DropShadow=*/true);
}

void TCustomDropDownFormEh::CreateWnd() {
  TForm::CreateWnd();
  if (!ComponentState().Contains(csDesigning)) updateGripWindows();
}

void TCustomDropDownFormEh::Loaded() {
  TForm::Loaded();
  if (!ComponentState().Contains(csDesigning)) updateGripWindows();
}

void TCustomDropDownFormEh::updateGripWindows() {
  const std::pair<TSizeGripEh*, TDropDownFormElementEh> Grips[] = {{FSizeGrip, ddfeRightGripEh},
                                                                    {FSizeGrip2, ddfeLeftGripEh}};
  for (const auto& [Grip, Element] : Grips) {
    Grip->HandleNeeded();
    Grip->UpdatePosition();
    Grip->SetVisible(FFormElements.Contains(Element));
    Grip->BringToFront();
  }
}

void TCustomDropDownFormEh::Notification(TComponent* AComponent, TOperation Operation) {
  TForm::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FMasterFocusControl) FMasterFocusControl = nullptr;
  if (AComponent == FMasterForm) FMasterForm = nullptr;
}

void TCustomDropDownFormEh::SetDropDownMode(bool Value) {
  if (FDropDownMode == Value) return;
  FDropDownMode = Value;
  if (HandleAllocated()) RecreateWnd();
}

// ---------------------------------------------------------------------------
// geometry and painting

TRect TCustomDropDownFormEh::ControlClientRect() {
  TRect R = ClientRect();
  AdjustClientRect(R);
  return R;
}

void TCustomDropDownFormEh::AdjustClientRect(TRect& Rect) {
  TForm::AdjustClientRect(Rect);
  InflateRect(Rect, -FBorderWidth, -FBorderWidth);
  Rect.Top += FBorderWidth;
}

TCanvas* TCustomDropDownFormEh::Canvas() const { return FCanvas; }

void TCustomDropDownFormEh::PaintWindow(HDC DC) {
  PaintOnCanvas(FCanvas, DC, [this] {
    Paint();
    PaintFormBorder();
  });
}

void TCustomDropDownFormEh::WMPaint(TWMPaint& Message) { CustomPaint(Message); }

void TCustomDropDownFormEh::PaintFormBorder() {
  const TRect Client = ClientRect();
  TRect Inner = Client;
  InflateRect(Inner, -FBorderWidth, -FBorderWidth);
  const HDC DC = FCanvas->Handle();
  const int Saved = SaveDC(DC);
  const TScopeExit Restore([&] { RestoreDC(DC, Saved); });
  ExcludeClipRect(DC, Inner.Left, Inner.Top, Inner.Right, Inner.Bottom);
  if (!styleServicesOn() || customStyleOn()) {
    TRect R = Client;
    FCanvas->Brush()->SetColor(StyleServices()->GetSystemColor(cl3DDkShadow));
    FCanvas->FrameRect(R);
    FCanvas->Brush()->SetColor(StyleServices()->GetSystemColor(cl3DLight));
    for (int Ring = 0; Ring < 2; ++Ring) {
      InflateRect(R, -1, -1);
      FCanvas->FrameRect(R);
    }
    return;
  }
  const TRect Caption{Client.Left, Client.Top, Client.Right, Client.Top + FBorderWidth};
  const TRect Frame{Client.Left, Caption.Bottom, Client.Right, Client.Bottom};
  StyleServices()->DrawElement(DC, StyleServices()->GetElementDetails(twSmallCaptionActive), Caption);
  StyleServices()->DrawElement(DC, StyleServices()->GetElementDetails(twSmallFrameBottomActive), Frame);
}

void TCustomDropDownFormEh::WMWindowPosChanged(TMessage& Message) {
  DispatchAs<TForm>(Message);
  if (ComponentState().Contains(csDestroying)) return;
  for (TSizeGripEh* Grip : {FSizeGrip, FSizeGrip2}) {
    if (!Grip->Visible()) continue;
    Grip->UpdatePosition();
    Grip->BringToFront();
  }
  if (FDropDownMode) Invalidate();
}

// ---------------------------------------------------------------------------
// placement and elements

TDropLayoutEh TCustomDropDownFormEh::PlaceForm(const TRect& R, TDropDownAlign Align) {
  const TRect W = Screen->MonitorFromRect(R)->WorkareaRect();
  Integer L = R.Left, T = R.Bottom + 1, FormWidth = Width(), FormHeight = Height();
  TDropLayoutEh Layout = dlUnderControlEh;
  if (Align == daRight) L -= FormWidth - R.Width();
  if (Align == daCenter) L -= (FormWidth - R.Width()) / 2;  // truncating toward zero
  if (FormWidth > W.Width()) FormWidth = W.Width();
  if (L + FormWidth > W.Right) L = W.Right - FormWidth;
  if (L < W.Left) L = W.Left;
  if (T + FormHeight > W.Bottom && R.Top - W.Top > W.Bottom - R.Bottom) {
    T = R.Top - FormHeight;
    Layout = dlAboveControlEh;
  }
  if (T < W.Top) {
    FormHeight -= W.Top - T;
    T = W.Top;
  }
  if (T + FormHeight > W.Bottom) FormHeight = W.Bottom - T;
  SetBounds(L, T, FormWidth, FormHeight);
  return Layout;
}

void TCustomDropDownFormEh::placeGrips(bool AtBottom) {
  FSizeGrip->SetPosition(AtBottom ? sgpBottomRight : sgpTopRight);
  FSizeGrip2->SetPosition(AtBottom ? sgpBottomLeft : sgpTopLeft);
  FSizeGrip->UpdatePosition();
  FSizeGrip2->UpdatePosition();
}

void TCustomDropDownFormEh::InitElements() {
  const bool Above = FDropLayout == dlAboveControlEh;
  const bool HasBar = FFormElements.Contains(ddfeSizingBarEh);
  if (HasBar) {
    FSizingBar->SetVisible(false);
    FSizingBar->BringToFront();
    if (Above) {
      FSizingBar->SetTop(-1);
      FSizingBar->SetAlign(alTop);
      FSizingBar->SetBevelEdges(TBevelEdges{beBottom});
    } else {
      FSizingBar->SetTop(Height() + 1);
      FSizingBar->SetAlign(alBottom);
      FSizingBar->SetBevelEdges(TBevelEdges{beTop});
    }
    FSizingBar->SetHeight(GetSystemMetrics(SM_CYVSCROLL) + SizingBarExtraHeight);
    FSizingBar->SetVisible(true);
  } else {
    FSizingBar->SetVisible(false);
  }
  if (FFormElements.Contains(ddfeCloseButtonEh)) {
    FCloseButton->BringToFront();
    FCloseButton->SetTop(FBorderWidth);
    FCloseButton->SetLeft(ClientWidth() - FCloseButton->Width() - CloseButtonRightMargin);
    FCloseButton->SetAnchors(TAnchors{akTop, akRight});
    if (Above) {
      FCloseButton->SetLeft(ClientWidth() - FCloseButton->Width() - CloseButtonGripRoom);
    } else if (HasBar) {
      FCloseButton->SetLeft(FFormElements.Contains(ddfeLeftGripEh) ? CloseButtonGripRoom : CloseButtonLeftMargin);
      FCloseButton->SetTop(ClientHeight() - FCloseButton->Height() - FBorderWidth);
      FCloseButton->SetAnchors(TAnchors{akLeft, akBottom});
    }
    FCloseButton->SetVisible(true);
  } else {
    FCloseButton->SetVisible(false);
  }
  FSizeGrip->SetVisible(FFormElements.Contains(ddfeRightGripEh));
  FSizeGrip2->SetVisible(FFormElements.Contains(ddfeLeftGripEh));
}

void TCustomDropDownFormEh::InitForm(TDynVarsEh* DynParams) {
  if (OnInitForm) OnInitForm(this, DynParams);
}

void TCustomDropDownFormEh::ReturnParams(TDynVarsEh* DynParams) {
  if (OnReturnParams) OnReturnParams(this, DynParams);
}

// ---------------------------------------------------------------------------
// runs

void TCustomDropDownFormEh::endPendingCall() {
  if (!FCallbackProc) return;
  const TDropDownFormCallbackProcEh Callback = std::exchange(FCallbackProc, TDropDownFormCallbackProcEh());
  TDynVarsEh* DynParams = std::exchange(FDynParams, nullptr);
  TDropDownFormSysParams* SysParams = std::exchange(FSysParams, nullptr);
  Callback(this, /*Accept=*/false, DynParams, SysParams);
}

void TCustomDropDownFormEh::ExecuteNomodal(const TRect& RelativePosRect, TControl*, TDropDownAlign Align,
                                           TDynVarsEh* DynParams, TDropDownFormSysParams* SysParams,
                                           const TDropDownFormCallbackProcEh& CallbackProc) {
  // The callback runs exactly once per call: a call still open here would
  // otherwise lose it, its button staying down and its bags never freed.
  endPendingCall();
  SetBorderStyle(bsNone);
  SetDropDownMode(true);
  FModalMode = false;
  FDynParams = DynParams;
  FSysParams = SysParams;
  FMasterForm = Screen->ActiveForm();
  FMasterFocusControl = Screen->ActiveControl();
  if (FMasterForm) FMasterForm->FreeNotification(this);
  if (FMasterFocusControl) FMasterFocusControl->FreeNotification(this);
  if (Visible()) Hide();
  UpdateSize();
  FDropLayout = PlaceForm(RelativePosRect, Align);
  placeGrips(/*AtBottom=*/FDropLayout == dlUnderControlEh);
  InitElements();
  InitForm(DynParams);
  SetModalResult(mrNone);
  {
    FActivateShowing = true;
    const TScopeExit Shown([this] { FActivateShowing = false; });
    TForm::Show();
  }
  FCallbackProc = CallbackProc;
}

bool TCustomDropDownFormEh::Execute(TControl* RelativePosControl, TControl*, TDropDownAlign Align,
                                    TDynVarsEh* DynParams) {
  FModalMode = true;
  const TScopeExit Done([this] { FModalMode = false; });
  FDynParams = DynParams;
  if (Visible()) Hide();
  const TRect R = GetControlScreenRectEh(RelativePosControl);
  FDropLayout = PlaceForm(R, Align);
  placeGrips(/*AtBottom=*/ClientOrigin().Y >= RelativePosControl->ClientOrigin().Y);
  InitForm(DynParams);
  SetModalResult(mrNone);
  TForm::Show();
  if (ModalResponderInstalled()) {
    TModalRequest Request;
    Request.Kind = QStringLiteral("dropdown");
    Request.Form = this;
    Request.ClassName = ClassName();
    Request.Caption = Caption();
    ExecuteModal(Request);
    ::ProcessMessages();
    if (ModalResult() == mrNone) {
      Hide();
      throw EUnansweredModal(QStringLiteral("Drop-down form %s ('%s') was left without a result"),
                             {ClassName(), Caption()});
    }
  } else {
    RunMessageLoop([this] { return !Active() || ModalResult() != mrNone; });
  }
  Hide();
  if (ModalResult() != mrOk) return false;
  ReturnParams(DynParams);
  return true;
}

void TCustomDropDownFormEh::Show() {
  SetDropDownMode(false);
  TForm::Show();
}

TModalResult TCustomDropDownFormEh::ShowModal() {
  SetDropDownMode(false);
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetBorderIcons(TBorderIcons{biSystemMenu, biMinimize, biMaximize});
  InitForm(FDynParams);
  const TModalResult Result = TForm::ShowModal();
  if (Result == mrOk) ReturnParams(FDynParams);
  return Result;
}

// ---------------------------------------------------------------------------
// closing

void TCustomDropDownFormEh::restoreMasterFocus() {
  if (FActivateClosing || !FMasterFocusControl) return;
  if (FMasterFocusControl->CanFocus()) FMasterFocusControl->SetFocus();
}

void TCustomDropDownFormEh::Close() {
  if (FClosing) return;
  FClosing = true;
  const TScopeExit Done([this] {
    restoreMasterFocus();
    FClosing = false;
  });
  TForm::Close();
}

void TCustomDropDownFormEh::DoClose(TCloseAction& Action) {
  if (!ComponentState().Contains(csDesigning)) {
    if (FSysParams && FSysParams->FFreeFormOnClose) Action = caFree;
    if (!FModalMode && FCallbackProc) {
      const bool Accept = ModalResult() == mrOk;
      if (Accept) ReturnParams(FDynParams);
      const TDropDownFormCallbackProcEh Callback = std::exchange(FCallbackProc, TDropDownFormCallbackProcEh());
      Callback(this, Accept, FDynParams, FSysParams);
      FSysParams = nullptr;
      FDynParams = nullptr;
    }
  }
  TForm::DoClose(Action);
}

void TCustomDropDownFormEh::WMActivate(TWMActivate& Message) {
  DispatchAs<TForm>(reinterpret_cast<TMessage&>(Message));
  if (!FDropDownMode || ComponentState().Contains(csDesigning) || FModalMode) return;
  if (Message.Active != WA_INACTIVE || FKeepFormVisible || FActivateClosing || FActivateShowing) return;
  FActivateClosing = true;
  const TScopeExit Done([this] { FActivateClosing = false; });
  Close();
}
