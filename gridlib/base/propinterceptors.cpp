#include "gridlib/base/propinterceptors.h"

#include "platform/rtl/rtlmath.h"
#include "platform/rtl/typinfo.h"
#include "platform/ui/windowing/application.h"

#include <utility>
#include <vector>

namespace {
// One pair per registration, in registration order; made on the first
// registration, freed at shutdown.
using TRegistry = std::vector<std::pair<TClass, TClass>>;  // (target class, interceptor class)
TRegistry* Registry = nullptr;
}  // namespace

void UnregisterPropertyInterceptorEh(TClass AClass, TClass AInterceptorClass) {
  if (!Registry) return;
  std::erase(*Registry, std::make_pair(AClass, AInterceptorClass));
}

void RegisterPropertyInterceptorEh(TClass AClass, TClass AInterceptorClass) {
  if (!Registry) Registry = new TRegistry;
  for (const TRegistry::value_type& Pair : TRegistry(*Registry))
    if (Pair.first == AClass) UnregisterPropertyInterceptorEh(Pair.first, Pair.second);
  Registry->emplace_back(AClass, AInterceptorClass);
}

TClass FindPropertyInterceptorClassEh(TClass AClass) {
  if (!Registry) return nullptr;
  for (TClass C = AClass; C; C = C->ClassParent())
    for (const auto& [Target, Interceptor] : *Registry)
      if (Target == C) return Interceptor;
  return nullptr;
}

TRect GetFormNormalPlacementEh(TCustomForm* Form) {
  if (Form->WindowState() != wsNormal && Form->HandleAllocated()) {
    gdi::WINDOWPLACEMENT Placement;
    gdi::GetWindowPlacement(Form->Handle(), &Placement);
    return Placement.rcNormalPosition;
  }
  return TRect(Form->Left(), Form->Top(), Form->Left() + Form->Width(), Form->Top() + Form->Height());
}

// ---------------------------------------------------------------------------

TFormStoragePropertyInterceptor::TFormStoragePropertyInterceptor(TPersistent* ATarget)
    : TStoragePropertyInterceptor(ATarget) {
  TCustomForm* Form = form();
  if (!Form) return;
  const TRect R = GetFormNormalPlacementEh(Form);
  FLeft = R.Left;
  FTop = R.Top;
  FWidth = R.Right - R.Left;
  FHeight = R.Bottom - R.Top;
  FPixelsPerInch = Screen->PixelsPerInch();
  FWindowState = Form->WindowState();
  FActiveControl = Form->ActiveControl();
}

void TFormStoragePropertyInterceptor::DescribeProperties(TPropertyTable& Props) {
  using T = TFormStoragePropertyInterceptor;
  Props.Add("ActiveControl", &T::ActiveControl, &T::SetActiveControl);
  Props.Add("Height", &T::Height, &T::SetHeight);
  Props.Add("Left", &T::Left, &T::SetLeft);
  Props.Add("PixelsPerInch", &T::PixelsPerInch, &T::SetPixelsPerInch);
  Props.Add("Top", &T::Top, &T::SetTop);
  Props.Add("Width", &T::Width, &T::SetWidth);
  Props.Add("WindowState", &T::WindowState, &T::SetWindowState);
}

TRect TFormStoragePropertyInterceptor::placement() const {
  TCustomForm* Form = form();
  return Form ? GetFormNormalPlacementEh(Form) : TRect(0, 0, 0, 0);
}

Integer TFormStoragePropertyInterceptor::Left() const { return placement().Left; }
Integer TFormStoragePropertyInterceptor::Top() const { return placement().Top; }
Integer TFormStoragePropertyInterceptor::Width() const { return placement().Width(); }
Integer TFormStoragePropertyInterceptor::Height() const { return placement().Height(); }

void TFormStoragePropertyInterceptor::SetLeft(Integer Value) {
  FLeft = Value;
  FPosPresent = true;
}

void TFormStoragePropertyInterceptor::SetTop(Integer Value) {
  FTop = Value;
  FPosPresent = true;
}

void TFormStoragePropertyInterceptor::Readed() {
  const Integer ScreenPpi = Screen->PixelsPerInch();
  for (Integer* V : {&FHeight, &FLeft, &FTop, &FWidth}) *V = MulDiv(*V, ScreenPpi, FPixelsPerInch);
  TCustomForm* Form = form();
  if (!Form) return;
  Form->SetWindowState(FWindowState);
  if (FActiveControl && FActiveControl->CanFocus()) Form->SetActiveControl(FActiveControl);
  if (Form->WindowState() != wsNormal) {
    // restoring the window later lands on the stored rectangle
    gdi::WINDOWPLACEMENT Placement;
    gdi::GetWindowPlacement(Form->Handle(), &Placement);
    Placement.rcNormalPosition = TRect(FLeft, FTop, FLeft + FWidth, FTop + FHeight);
    gdi::SetWindowPlacement(Form->Handle(), &Placement);
  } else {
    Form->SetBounds(FLeft, FTop, FWidth, FHeight);
  }
  // a centred form would be centred again over the stored position;
  // switching Position only records the value, so the window stays
  const bool Centered = Form->Position() == poScreenCenter || Form->Position() == poDesktopCenter;
  if (Centered && !Form->ComponentState().Contains(csDesigning) && FPosPresent) Form->SetPosition(poDesigned);
}

void InitializePropInterceptorsEh() {
  RegisterPropertyInterceptorEh(TCustomForm::StaticClass(), TFormStoragePropertyInterceptor::StaticClass());
}

void FinalizePropInterceptorsEh() {
  delete Registry;
  Registry = nullptr;
}
