#include "platform/ui/windowing/actions.h"

#include "platform/rtl/scopeexit.h"
#include "platform/ui/windowing/controls.h"
#include "platform/ui/windowing/menus.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// TBasicActionLink

TBasicActionLink::TBasicActionLink(TObject* AClient) {}

struct TBasicActionLink::TExecuting {
  bool Freed = false;
  TExecuting* Outer = nullptr;
};

TBasicActionLink::~TBasicActionLink() {
  for (TExecuting* E = FExecuting; E; E = E->Outer) E->Freed = true;
  SetAction(nullptr);
}

void TBasicActionLink::SetAction(TBasicAction* Value) {
  if (FAction == Value) return;
  if (FAction) std::erase(FAction->FClients, this);
  FAction = Value;
  if (Value) Value->FClients.push_back(this);
}

bool TBasicActionLink::Execute(TComponent* AComponent) {
  if (!FAction) return false;
  FAction->SetActionComponent(AComponent);
  TExecuting Running{false, FExecuting};
  FExecuting = &Running;
  // A freed link is not touched again; a freed action has left FAction.
  const TScopeExit Done([Link = this, &Running] {
    if (Running.Freed) return;
    Link->FExecuting = Running.Outer;
    if (Link->FAction) Link->FAction->SetActionComponent(nullptr);
  });
  return FAction->Execute();
}

bool TBasicActionLink::Update() { return FAction && FAction->Update(); }

void TBasicActionLink::Change() {
  if (OnChange) OnChange(FAction);
}

// ---------------------------------------------------------------------------
// TActionLink

namespace {

bool isCustomAction(TBasicAction* A) { return dynamic_cast<TCustomAction*>(A) != nullptr; }

}  // namespace

bool TActionLink::IsCaptionLinked() { return isCustomAction(FAction); }
bool TActionLink::IsCheckedLinked() { return isCustomAction(FAction); }
bool TActionLink::IsEnabledLinked() { return isCustomAction(FAction); }
bool TActionLink::IsGroupIndexLinked() { return isCustomAction(FAction); }
bool TActionLink::IsHintLinked() { return isCustomAction(FAction); }
bool TActionLink::IsImageIndexLinked() { return isCustomAction(FAction); }
bool TActionLink::IsShortCutLinked() { return isCustomAction(FAction); }
bool TActionLink::IsVisibleLinked() { return isCustomAction(FAction); }
bool TActionLink::IsAutoCheckLinked() { return isCustomAction(FAction); }

// ---------------------------------------------------------------------------
// TBasicAction

TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}

TBasicAction::~TBasicAction() { unlinkClients(); }

void TBasicAction::BeforeDestruction() {
  unlinkClients();
  TComponent::BeforeDestruction();
}

// The clients hear of it through their free notification; their links must
// not point here any more by then.
void TBasicAction::unlinkClients() {
  while (!FClients.empty()) FClients.back()->SetAction(nullptr);
}

bool TBasicAction::Execute() {
  if (!FOnExecute) return false;
  FOnExecute(this);
  return true;
}

bool TBasicAction::Update() {
  if (!OnUpdate) return false;
  OnUpdate(this);
  return true;
}

void TBasicAction::SetActionComponent(TComponent* Value) {
  if (FActionComponent == Value) return;
  if (FActionComponent) FActionComponent->RemoveFreeNotification(this);
  FActionComponent = Value;
  if (Value) Value->FreeNotification(this);
}

void TBasicAction::SetOnExecute(const TNotifyEvent& Value) {
  if (FOnExecute == Value) return;
  for (TBasicActionLink* Link : std::vector(FClients))
    if (Link->IsOnExecuteLinked()) Link->SetOnExecute(Value);
  FOnExecute = Value;
  Change();
}

void TBasicAction::Change() {
  for (TBasicActionLink* Link : std::vector(FClients)) Link->Change();
}

void TBasicAction::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FActionComponent) FActionComponent = nullptr;
}

// ---------------------------------------------------------------------------
// TCustomAction

// The links get the new value first: a link compares its client with the old
// value to see whether the client still follows.
template <class V, class S>
void TCustomAction::setLinked(V& Field, const V& Value, S LinkSetter) {
  if (Field == Value) return;
  for (Integer I = ClientCount() - 1; I >= 0; --I)
    if (auto* Link = dynamic_cast<TActionLink*>(Clients(I))) (Link->*LinkSetter)(Value);
  Field = Value;
  Change();
}

bool TCustomAction::Execute() {
  Update();
  if (!FEnabled) return false;
  if (FAutoCheck) SetChecked(!FChecked);
  return TBasicAction::Execute();
}

void TCustomAction::SetCaption(const String& Value) { setLinked(FCaption, Value, &TActionLink::SetCaption); }
void TCustomAction::SetChecked(bool Value) { setLinked(FChecked, Value, &TActionLink::SetChecked); }
void TCustomAction::SetEnabled(bool Value) { setLinked(FEnabled, Value, &TActionLink::SetEnabled); }
void TCustomAction::SetGroupIndex(Integer Value) { setLinked(FGroupIndex, Value, &TActionLink::SetGroupIndex); }
void TCustomAction::SetHint(const String& Value) { setLinked(FHint, Value, &TActionLink::SetHint); }
void TCustomAction::SetImageIndex(Integer Value) { setLinked(FImageIndex, Value, &TActionLink::SetImageIndex); }
void TCustomAction::SetShortCut(TShortCut Value) { setLinked(FShortCut, Value, &TActionLink::SetShortCut); }
void TCustomAction::SetVisible(bool Value) { setLinked(FVisible, Value, &TActionLink::SetVisible); }
void TCustomAction::SetAutoCheck(bool Value) { setLinked(FAutoCheck, Value, &TActionLink::SetAutoCheck); }

// ---------------------------------------------------------------------------
// TMenuActionLink

TMenuActionLink::TMenuActionLink(TObject* AClient) : TActionLink(AClient) { AssignClient(AClient); }

void TMenuActionLink::AssignClient(TObject* AClient) {
  FClient = dynamic_cast<TMenuItem*>(AClient);
  assert(FClient && "a menu action link serves a menu item");
}

namespace {

TCustomAction* customAction(TBasicAction* A) { return dynamic_cast<TCustomAction*>(A); }

}  // namespace

bool TMenuActionLink::IsOnExecuteLinked() { return FAction && FClient->OnClick == FAction->OnExecute(); }
bool TMenuActionLink::IsCaptionLinked() {
  return TActionLink::IsCaptionLinked() && FClient->Caption() == customAction(FAction)->Caption();
}
bool TMenuActionLink::IsCheckedLinked() {
  return TActionLink::IsCheckedLinked() && FClient->Checked() == customAction(FAction)->Checked();
}
bool TMenuActionLink::IsEnabledLinked() {
  return TActionLink::IsEnabledLinked() && FClient->Enabled() == customAction(FAction)->Enabled();
}
bool TMenuActionLink::IsGroupIndexLinked() {
  return TActionLink::IsGroupIndexLinked() && FClient->GroupIndex() == customAction(FAction)->GroupIndex();
}
bool TMenuActionLink::IsHintLinked() {
  return TActionLink::IsHintLinked() && FClient->Hint() == customAction(FAction)->Hint();
}
bool TMenuActionLink::IsImageIndexLinked() {
  return TActionLink::IsImageIndexLinked() && FClient->ImageIndex() == customAction(FAction)->ImageIndex();
}
bool TMenuActionLink::IsShortCutLinked() {
  return TActionLink::IsShortCutLinked() && FClient->ShortCut() == customAction(FAction)->ShortCut();
}
bool TMenuActionLink::IsVisibleLinked() {
  return TActionLink::IsVisibleLinked() && FClient->Visible() == customAction(FAction)->Visible();
}
bool TMenuActionLink::IsAutoCheckLinked() {
  return TActionLink::IsAutoCheckLinked() && FClient->AutoCheck() == customAction(FAction)->AutoCheck();
}

void TMenuActionLink::SetOnExecute(const TNotifyEvent& Value) { FClient->OnClick = Value; }
void TMenuActionLink::SetCaption(const String& Value) {
  if (IsCaptionLinked()) FClient->SetCaption(Value);
}
void TMenuActionLink::SetChecked(bool Value) {
  if (IsCheckedLinked()) FClient->SetChecked(Value);
}
void TMenuActionLink::SetEnabled(bool Value) {
  if (IsEnabledLinked()) FClient->SetEnabled(Value);
}
void TMenuActionLink::SetGroupIndex(Integer Value) {
  if (IsGroupIndexLinked()) FClient->SetGroupIndex(Byte(Value));
}
void TMenuActionLink::SetHint(const String& Value) {
  if (IsHintLinked()) FClient->SetHint(Value);
}
void TMenuActionLink::SetImageIndex(Integer Value) {
  if (IsImageIndexLinked()) FClient->SetImageIndex(Value);
}
void TMenuActionLink::SetShortCut(TShortCut Value) {
  if (IsShortCutLinked()) FClient->SetShortCut(Value);
}
void TMenuActionLink::SetVisible(bool Value) {
  if (IsVisibleLinked()) FClient->SetVisible(Value);
}
void TMenuActionLink::SetAutoCheck(bool Value) {
  if (IsAutoCheckLinked()) FClient->SetAutoCheck(Value);
}

// ---------------------------------------------------------------------------
// TControlActionLink

TControlActionLink::TControlActionLink(TObject* AClient) : TActionLink(AClient) {
  TControlActionLink::AssignClient(AClient);
}

void TControlActionLink::AssignClient(TObject* AClient) {
  FClient = dynamic_cast<TControl*>(AClient);
  assert(FClient && "a control action link serves a control");
}

bool TControlActionLink::IsOnExecuteLinked() { return FAction && FClient->OnClick == FAction->OnExecute(); }
bool TControlActionLink::IsCaptionLinked() {
  return TActionLink::IsCaptionLinked() && FClient->Caption() == customAction(FAction)->Caption();
}
bool TControlActionLink::IsEnabledLinked() {
  return TActionLink::IsEnabledLinked() && FClient->Enabled() == customAction(FAction)->Enabled();
}
bool TControlActionLink::IsHintLinked() {
  return TActionLink::IsHintLinked() && FClient->Hint() == customAction(FAction)->Hint();
}
bool TControlActionLink::IsVisibleLinked() {
  return TActionLink::IsVisibleLinked() && FClient->Visible() == customAction(FAction)->Visible();
}

void TControlActionLink::SetOnExecute(const TNotifyEvent& Value) { FClient->OnClick = Value; }
void TControlActionLink::SetCaption(const String& Value) {
  if (IsCaptionLinked()) FClient->SetCaption(Value);
}
void TControlActionLink::SetEnabled(bool Value) {
  if (IsEnabledLinked()) FClient->SetEnabled(Value);
}
void TControlActionLink::SetHint(const String& Value) {
  if (IsHintLinked()) FClient->SetHint(Value);
}
void TControlActionLink::SetVisible(bool Value) {
  if (IsVisibleLinked()) FClient->SetVisible(Value);
}
