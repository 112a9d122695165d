#include "platform/rtl/component.h"

#include "platform/rtl/filer.h"
#include "platform/rtl/format.h"
#include "platform/rtl/strutils.h"

#include <algorithm>
#include <cassert>

// ---------------------------------------------------------------------------
// TPersistent

void TPersistent::Assign(TPersistent* Source) {
  if (!Source) AssignError(nullptr);
  Source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* Dest) { Dest->AssignError(this); }

void TPersistent::AssignError(TPersistent* Source) {
  const String SourceName = Source ? Source->ClassName() : QStringLiteral("nil");
  throw EConvertError(QStringLiteral("Cannot assign a %s to a %s"), {SourceName, ClassName()});
}

void TPersistent::DefineProperties(TFiler*) {}

TPersistent* TPersistent::GetOwner() { return nullptr; }

String TPersistent::GetNamePath() {
  String Result = ClassName();
  if (TPersistent* Owner = GetOwner()) {
    const String OwnerPath = Owner->GetNamePath();
    if (!OwnerPath.isEmpty()) Result = OwnerPath + u'.' + Result;
  }
  return Result;
}

// ---------------------------------------------------------------------------
// TComponent

namespace {

bool isIdentStart(Char C) { return (C >= u'A' && C <= u'Z') || (C >= u'a' && C <= u'z') || C == u'_'; }

bool isValidIdent(const String& S) {
  if (S.isEmpty() || !isIdentStart(S[0])) return false;
  return std::all_of(S.begin() + 1, S.end(), [](Char C) { return isIdentStart(C) || (C >= u'0' && C <= u'9'); });
}

void eraseOne(std::vector<TComponent*>& List, TComponent* C) {
  auto It = std::find(List.begin(), List.end(), C);
  if (It != List.end()) List.erase(It);
}

}  // namespace

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() { runDestructionProtocol(); }

void TComponent::BeforeDestruction() {
  TPersistent::BeforeDestruction();
  runDestructionProtocol();
}

// Every step is a no-op once done, so the destructor can repeat the protocol
// for a component that was deleted without Free().
void TComponent::runDestructionProtocol() {
  Destroying();
  removeFreeNotifications();
  DestroyComponents();
  if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Name", &TComponent::Name, &TComponent::SetName).Stored(false);
  Props.Add("Tag", &TComponent::Tag, &TComponent::SetTag).Default(0);
}

TComponent* TComponent::Components(int Index) const {
  assert(Index >= 0 && Index < ComponentCount() && "component index out of range");
  return FComponents[Index];
}

int TComponent::ComponentIndex() const {
  if (!FOwner) return -1;
  const auto& Siblings = FOwner->FComponents;
  return int(std::find(Siblings.begin(), Siblings.end(), this) - Siblings.begin());
}

void TComponent::SetComponentIndex(int Value) {
  const int Current = ComponentIndex();
  if (Current < 0) return;
  auto& Siblings = FOwner->FComponents;
  Value = std::clamp(Value, 0, int(Siblings.size()) - 1);
  if (Value == Current) return;
  Siblings.erase(Siblings.begin() + Current);
  Siblings.insert(Siblings.begin() + Value, this);
}

TComponent* TComponent::FindComponent(const String& AName) const {
  if (AName.isEmpty()) return nullptr;
  for (TComponent* C : FComponents)
    if (SameText(C->FName, AName)) return C;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
  assert(AComponent && !AComponent->FOwner && "a component has one owner; remove it from the old one first");
  ValidateRename(AComponent, String(), AComponent->FName);
  FComponents.push_back(AComponent);
  AComponent->FOwner = this;
  if (FLoadingRoot) AComponent->FComponentState.Include(csLoading);
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  assert(AComponent && AComponent->FOwner == this && "removing a component this one does not own");
  Notification(AComponent, opRemove);
  remove(AComponent);
}

void TComponent::remove(TComponent* AComponent) {
  eraseOne(FComponents, AComponent);
  AComponent->FOwner = nullptr;
}

// An owned component is dropped silently unless it asked for free
// notifications (or is a designed inline frame): then its siblings hear of it.
void TComponent::DestroyComponents() {
  const TComponentState DesignedInline{csDesigning, csInline};
  while (!FComponents.empty()) {
    TComponent* Instance = FComponents.back();
    if (Instance->FFreeNotification || (FComponentState * DesignedInline) == DesignedInline)
      RemoveComponent(Instance);
    else
      remove(Instance);
    Instance->Free();
  }
}

void TComponent::Destroying() {
  if (FComponentState.Contains(csDestroying)) return;
  FComponentState.Include(csDestroying);
  for (TComponent* C : FComponents) C->Destroying();
}

void TComponent::SetName(const String& NewName) {
  if (FName == NewName) return;
  if (!NewName.isEmpty() && !isValidIdent(NewName))
    throw EComponentError(QStringLiteral("'%s' is not a valid component name"), {NewName});
  if (FOwner)
    FOwner->ValidateRename(this, FName, NewName);
  else
    ValidateRename(nullptr, FName, NewName);
  FName = NewName;
}

void TComponent::ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName) {
  if (!AComponent || SameText(CurName, NewName)) return;
  const TComponent* Existing = FindComponent(NewName);
  if (Existing && Existing != AComponent)
    throw EComponentError(QStringLiteral("A component named %s already exists"), {NewName});
}

void TComponent::SetSubComponent(bool IsSubComponent) {
  if (IsSubComponent)
    FComponentStyle.Include(csSubComponent);
  else
    FComponentStyle.Exclude(csSubComponent);
}

String TComponent::GetNamePath() { return FName; }

TPersistent* TComponent::GetOwner() { return FOwner; }

TComponent* TComponent::GetParentComponent() const { return nullptr; }

bool TComponent::HasParent() const { return false; }

void TComponent::SetParentComponent(TComponent*) {}

void TComponent::GetChildren(TGetChildProc, TComponent*) {}

void TComponent::ReadState(TReader* Reader) { Reader->ReadData(this); }

void TComponent::WriteState(TWriter* Writer) { Writer->WriteData(this); }

TComponent* TComponent::GetChildOwner() { return nullptr; }

TComponent* TComponent::GetChildParent() { return this; }

void TComponent::SetChildOrder(TComponent*, int) {}

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

// Components of one owner are linked through the owner already, so only
// strangers keep each other in their lists.
void TComponent::FreeNotification(TComponent* AComponent) {
  assert(AComponent && "free notification for nil");
  if (!FOwner || AComponent->FOwner != FOwner) {
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
      FFreeNotifies.push_back(AComponent);
      AComponent->FreeNotification(this);
    }
  }
  FFreeNotification = true;
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  removeNotification(AComponent);
  AComponent->removeNotification(this);
}

void TComponent::removeNotification(TComponent* AComponent) { eraseOne(FFreeNotifies, AComponent); }

// The link is cut before the partner hears, so a partner whose Notification
// does not reach the base still drops out of the list.
void TComponent::removeFreeNotifications() {
  while (!FFreeNotifies.empty()) {
    TComponent* Partner = FFreeNotifies.back();
    RemoveFreeNotification(Partner);
    Partner->Notification(this, opRemove);
  }
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent) RemoveFreeNotification(AComponent);
  // A receiver may free components of this owner; walk from the end and
  // re-clamp the index to the shrunken list.
  for (int I = ComponentCount() - 1; I >= 0; --I) {
    FComponents[I]->Notification(AComponent, Operation);
    I = std::min(I, ComponentCount());
  }
}

void BeginLoading(TComponent* Root) {
  Root->FLoadingRoot = true;
  Root->FComponentState.Include(csLoading);
  for (TComponent* C : Root->FComponents) C->FComponentState.Include(csLoading);
}

// Loaded may free or create components; the list is taken first and each
// entry checked against the owner's list again before its turn.
void EndLoading(TComponent* Root) {
  Root->FLoadingRoot = false;
  std::vector<TComponent*> Loading;
  for (TComponent* C : Root->FComponents)
    if (C->FComponentState.Contains(csLoading)) Loading.push_back(C);
  if (Root->FComponentState.Contains(csLoading)) Root->Loaded();
  for (TComponent* C : Loading) {
    const auto& Owned = Root->FComponents;
    if (std::find(Owned.begin(), Owned.end(), C) != Owned.end()) C->Loaded();
  }
}
