#include "gridlib/editors/editbuttons.h"

#include "gridlib/editors/editbuttoncontrol.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/windowing/controls.h"
#include "platform/ui/windowing/forms.h"
#include "platform/ui/windowing/menus.h"

#include <algorithm>

namespace {

constexpr Integer MaxNumGlyphs = 4;
// The size a new button control starts with before its owner lays it out.
constexpr Integer NewControlWidth = 10, NewControlHeight = 17;

TCustomAction* customAction(TObject* Sender) { return dynamic_cast<TCustomAction*>(Sender); }

}  // namespace

// ---------------------------------------------------------------------------
// TDropDownFormCallParamsEh

void TDropDownFormCallParamsEh::DescribeProperties(TPropertyTable& Props) {
  using P = TDropDownFormCallParamsEh;
  Props.Add("Align", &P::Align, &P::SetAlign).Default(daCenter);
  Props.Add("AssignBackFieldNames", &P::AssignBackFieldNames, &P::SetAssignBackFieldNames);
  Props.Add("DropDownForm", &P::DropDownForm, &P::SetDropDownForm);
  Props.Add("DropDownFormClassName", &P::DropDownFormClassName, &P::SetDropDownFormClassName);
  Props.Add("FormHeight", &P::FormHeight, &P::SetFormHeight).Default(-1);
  Props.Add("FormWidth", &P::FormWidth, &P::SetFormWidth).Default(-1);
  Props.Add("PassFieldNames", &P::PassFieldNames, &P::SetPassFieldNames);
  Props.Add("PassParams", &P::PassParams, &P::SetPassParams).Default(pspFieldValueEh);
  Props.Add("SaveFormSize", &P::SaveFormSize, &P::SetSaveFormSize).Default(true);
}

void TDropDownFormCallParamsEh::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TDropDownFormCallParamsEh*>(Source);
  if (!Other) {
    TPersistent::Assign(Source);
    return;
  }
  SetAlign(Other->FAlign);
  SetAssignBackFieldNames(Other->FAssignBackFieldNames);
  SetDropDownForm(Other->FDropDownForm);
  SetDropDownFormClassName(Other->FDropDownFormClassName);
  SetFormHeight(Other->FFormHeight);
  SetFormWidth(Other->FFormWidth);
  SetPassFieldNames(Other->FPassFieldNames);
  SetPassParams(Other->FPassParams);
  SetSaveFormSize(Other->FSaveFormSize);
}

void TDropDownFormCallParamsEh::SetDropDownForm(TCustomForm* Value) {
  if (FDropDownForm == Value) return;
  FDropDownForm = Value;
  Changed();
}

void TDropDownFormCallParamsEh::SetDropDownFormClassName(const String& Value) {
  if (FDropDownFormClassName == Value) return;
  FDropDownFormClassName = Value;
  Changed();
}

void TDropDownFormCallParamsEh::Changed() {
  if (OnChanged) OnChanged(this);
}

// ---------------------------------------------------------------------------
// TEditButtonImagesEh

void TEditButtonImagesEh::Changed() {
  if (FOwner) FOwner->EditButtonChanged();
}

void TEditButtonImagesEh::RefComponentChanged(TComponent* RefComponent) {
  if (FOwner) FOwner->RefComponentChanged(RefComponent);
}

// ---------------------------------------------------------------------------
// TEditButtonActionLinkEh

TEditButtonActionLinkEh::TEditButtonActionLinkEh(TObject* AClient) : TActionLink(AClient) {
  TEditButtonActionLinkEh::AssignClient(AClient);
}

void TEditButtonActionLinkEh::AssignClient(TObject* AClient) { FClient = dynamic_cast<TEditButtonEh*>(AClient); }

bool TEditButtonActionLinkEh::IsEnabledLinked() {
  return TActionLink::IsEnabledLinked() && FClient->Enabled() == customAction(FAction)->Enabled();
}

bool TEditButtonActionLinkEh::IsHintLinked() {
  return TActionLink::IsHintLinked() && FClient->Hint() == customAction(FAction)->Hint();
}

bool TEditButtonActionLinkEh::IsShortCutLinked() {
  return TActionLink::IsShortCutLinked() && FClient->ShortCut() == customAction(FAction)->ShortCut();
}

bool TEditButtonActionLinkEh::IsVisibleLinked() {
  return TActionLink::IsVisibleLinked() && FClient->Visible() == customAction(FAction)->Visible();
}

void TEditButtonActionLinkEh::SetEnabled(bool Value) {
  if (IsEnabledLinked()) FClient->SetEnabled(Value);
}

void TEditButtonActionLinkEh::SetHint(const String& Value) {
  if (IsHintLinked()) FClient->SetHint(Value);
}

void TEditButtonActionLinkEh::SetShortCut(TShortCut Value) {
  if (IsShortCutLinked()) FClient->FShortCut = Value;
}

void TEditButtonActionLinkEh::SetVisible(bool Value) {
  if (IsVisibleLinked()) FClient->SetVisible(Value);
}

// ---------------------------------------------------------------------------
// TEditButtonEh

TEditButtonEh::TEditButtonEh(TWinControl* EditControl) : TCollectionItem(nullptr), FEditControl(EditControl) {
  init();
}

TEditButtonEh::TEditButtonEh(TCollection* Collection) : TCollectionItem(nullptr) {
  if (Collection) Collection->BeginUpdate();
  SetCollection(Collection);
  init();
  if (Collection) Collection->EndUpdate();
}

// Virtual calls here reach this class only, as the original's constructor
// creating its parameters through the same factory would in a base.
void TEditButtonEh::init() {
  FGlyph = new TBitmap;
  FGlyph->SetTransparent(true);
  FImages = new TEditButtonImagesEh(this);
  FDropDownFormParams = CreateDropDownFormParams();
}

TEditButtonEh::~TEditButtonEh() {
  delete FActionLink;
  delete FGlyph;
  delete FImages;
  delete FDropDownFormParams;
}

void TEditButtonEh::DescribeProperties(TPropertyTable& Props) {
  using B = TEditButtonEh;
  Props.Add("Action", &B::Action, &B::SetAction);
  Props.Add("DefaultAction", &B::DefaultAction, &B::SetDefaultAction).NoDefault().Stored(&B::DefaultActionStored);
  Props.Add("DropdownMenu", &B::DropdownMenu, &B::SetDropdownMenu);
  Props.Add("DropDownFormParams", &B::DropDownFormParams, &B::SetDropDownFormParams);
  Props.Add("Enabled", &B::Enabled, &B::SetEnabled).Default(true).Stored(&B::IsEnabledStored);
  Props.Add("Glyph", &B::Glyph, &B::SetGlyph);
  Props.Add("Hint", &B::Hint, &B::SetHint).Stored(&B::IsHintStored);
  Props.Add("Images", &B::Images, &B::SetImages);
  Props.Add("NumGlyphs", &B::NumGlyphs, &B::SetNumGlyphs).NoDefault();
  Props.Add("ShortCut", &B::ShortCut, &B::SetShortCut).Default(TShortCut(0)).Stored(&B::IsShortCutStored);
  Props.Add("Style", &B::Style, &B::SetStyle).NoDefault();
  Props.Add("Visible", &B::Visible, &B::SetVisible).Default(false).Stored(&B::IsVisibleStored);
  Props.Add("Width", &B::Width, &B::SetWidth).NoDefault();
  Props.Add("DrawBackTime", &B::DrawBackTime, &B::SetDrawBackTime).NoDefault().Stored(&B::IsDrawBackTimeStored);
  Props.Add("OnClick", &B::OnClick, &B::SetOnClick);
  Props.Add("OnDown", &B::OnDown, &B::SetOnDown);
}

void TEditButtonEh::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TEditButtonEh*>(Source);
  if (!Other) {
    TCollectionItem::Assign(Source);
    return;
  }
  SetAction(Other->Action());
  SetDropdownMenu(Other->FDropdownMenu);
  SetEnabled(Other->FEnabled);
  SetGlyph(Other->FGlyph);
  SetHint(Other->FHint);
  SetNumGlyphs(Other->FNumGlyphs);
  SetShortCut(Other->FShortCut);
  SetStyle(Other->FStyle);
  SetVisible(Other->Visible());
  SetWidth(Other->FWidth);
  SetOnClick(Other->FOnButtonClick);
  SetOnDown(Other->FOnButtonDown);
  SetImages(Other->FImages);
}

// ---- the action

TBasicAction* TEditButtonEh::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TEditButtonEh::SetAction(TBasicAction* Value) {
  if (!Value) {
    delete FActionLink;
    FActionLink = nullptr;
    return;
  }
  if (!FActionLink) FActionLink = CreateActionLink();
  FActionLink->SetAction(Value);
  FActionLink->OnChange = TNotifyEvent(this, &TEditButtonEh::doActionChange);
  ActionChange(Value, Value->ComponentState().Contains(csLoading));
}

TEditButtonActionLinkEh* TEditButtonEh::CreateActionLink() { return new TEditButtonActionLinkEh(this); }

void TEditButtonEh::doActionChange(TObject* Sender) { ActionChange(Sender, /*CheckDefaults=*/false); }

void TEditButtonEh::ActionChange(TObject* Sender, bool CheckDefaults) {
  TCustomAction* A = customAction(Sender);
  if (!A) return;
  if (!CheckDefaults || FEnabled) SetEnabled(A->Enabled());
  if (!CheckDefaults || FHint.isEmpty()) SetHint(A->Hint());
  if (!CheckDefaults || FShortCut == 0) SetShortCut(A->ShortCut());
  if (!CheckDefaults || Visible()) SetVisible(A->Visible());
}

bool TEditButtonEh::IsEnabledStored() { return !FActionLink || !FActionLink->IsEnabledLinked(); }
bool TEditButtonEh::IsHintStored() { return !FActionLink || !FActionLink->IsHintLinked(); }
bool TEditButtonEh::IsShortCutStored() { return !FActionLink || !FActionLink->IsShortCutLinked(); }
bool TEditButtonEh::IsVisibleStored() { return !FActionLink || !FActionLink->IsVisibleLinked(); }

void TEditButtonEh::InitiateAction() {
  if (FActionLink) FActionLink->Update();
}

void TEditButtonEh::Click(TObject* Sender, bool& Handled) {
  if (FOnButtonClick) {
    FOnButtonClick(Sender, Handled);
    return;
  }
  if (!FActionLink) return;
  TComponent* Target = FEditControl;
  if (!Target && Collection()) Target = dynamic_cast<TComponent*>(Collection()->Owner());
  FActionLink->Execute(Target);
  Handled = true;
}

// ---- setters

void TEditButtonEh::SetDefaultAction(bool Value) {
  FDefaultAction = Value;
  FDefaultActionStored = true;
}

void TEditButtonEh::SetDropdownMenu(TPopupMenu* Value) {
  if (FDropdownMenu == Value) return;
  FDropdownMenu = Value;
  EditButtonChanged();
}

void TEditButtonEh::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  EditButtonChanged();
}

void TEditButtonEh::SetGlyph(TBitmap* Value) {
  FGlyph->Assign(Value);
  EditButtonChanged();
}

void TEditButtonEh::SetHint(const String& Value) {
  if (FHint == Value) return;
  FHint = Value;
  EditButtonChanged();
}

void TEditButtonEh::SetNumGlyphs(Integer Value) {
  Value = std::clamp(Value, 1, MaxNumGlyphs);
  if (FNumGlyphs == Value) return;
  FNumGlyphs = Value;
  EditButtonChanged();
}

void TEditButtonEh::SetShortCut(TShortCut Value) {
  if (FShortCut == Value) return;
  FShortCut = Value;
  EditButtonChanged();
}

void TEditButtonEh::SetStyle(TEditButtonStyleEh Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  EditButtonChanged();
}

void TEditButtonEh::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  EditButtonChanged();
}

void TEditButtonEh::SetWidth(Integer Value) {
  if (FWidth == Value) return;
  FWidth = Value;
  EditButtonChanged();
}

// Handlers compare by identity: the same object and method is no change.
void TEditButtonEh::SetOnClick(const TButtonClickEventEh& Value) {
  if (FOnButtonClick == Value) return;
  FOnButtonClick = Value;
  EditButtonChanged();
}

void TEditButtonEh::SetOnDown(const TEditButtonDownEventEh& Value) {
  if (FOnButtonDown == Value) return;
  FOnButtonDown = Value;
  EditButtonChanged();
}

// ---- draw-back time

TEditButtonDrawBackTimeEh TEditButtonEh::DrawBackTime() {
  return IsDrawBackTimeStored() ? FDrawBackTime : DefaultDrawBackTime();
}

void TEditButtonEh::SetDrawBackTime(TEditButtonDrawBackTimeEh Value) {
  if (FDrawBackTimeStored && FDrawBackTime == Value) return;
  FDrawBackTime = Value;
  FDrawBackTimeStored = true;
  EditButtonChanged();
}

void TEditButtonEh::SetDrawBackTimeStored(bool Value) {
  if (Value && !FDrawBackTimeStored) {
    FDrawBackTime = DefaultDrawBackTime();
    FDrawBackTimeStored = true;
  } else if (!Value && FDrawBackTimeStored) {
    FDrawBackTimeStored = false;
  } else {
    return;
  }
  EditButtonChanged();
}

TEditButtonDrawBackTimeEh TEditButtonEh::DefaultDrawBackTime() {
  if (auto* Buttons = dynamic_cast<TEditButtonsEh*>(Collection())) return Buttons->DefaultDrawBackTime();
  return edbtAlwaysEh;
}

// ---- factories and notices

TDropDownFormCallParamsEh* TEditButtonEh::CreateDropDownFormParams() { return new TDropDownFormCallParamsEh; }

TEditButtonControlEh* TEditButtonEh::CreateEditButtonControl() {
  auto* Control = new TEditButtonControlEh(FEditControl);
  TControlStyle Style = Control->ControlStyle();
  Style.Include(csReplicatable);
  Control->SetControlStyle(Style);
  Control->SetParent(FEditControl);
  Control->SetBounds(Control->Left(), Control->Top(), NewControlWidth, NewControlHeight);
  Control->SetVisible(true);
  Control->SetTransparent(false);
  return Control;
}

void TEditButtonEh::EditButtonChanged() {
  if (OnChanged) {
    OnChanged(this);
    return;
  }
  if (Collection()) Changed(/*AllItems=*/false);
}

void TEditButtonEh::RefComponentChanged(TComponent* RefComponent) {
  if (OnRefComponentChanged) {
    OnRefComponentChanged(this, RefComponent);
    return;
  }
  auto* Buttons = dynamic_cast<TEditButtonsEh*>(Collection());
  if (Buttons && Buttons->OnRefComponentChanged) Buttons->OnRefComponentChanged(this, RefComponent);
}

// ---------------------------------------------------------------------------
// the main-button flavours

TDropDownEditButtonEh::TDropDownEditButtonEh(TWinControl* EditControl) : TEditButtonEh(EditControl) {
  FShortCut = AltDownShortCutEh;
}

TDropDownEditButtonEh::TDropDownEditButtonEh(TCollection* Collection) : TEditButtonEh(Collection) {
  FShortCut = AltDownShortCutEh;
}

void TDropDownEditButtonEh::DescribeProperties(TPropertyTable& Props) {
  Props.Override("ShortCut").Default(AltDownShortCutEh);
}

TVisibleEditButtonEh::TVisibleEditButtonEh(TWinControl* EditControl) : TEditButtonEh(EditControl) {
  FShortCut = AltDownShortCutEh;
  TEditButtonEh::SetVisible(true);
}

TVisibleEditButtonEh::TVisibleEditButtonEh(TCollection* Collection) : TEditButtonEh(Collection) {
  FShortCut = AltDownShortCutEh;
  TEditButtonEh::SetVisible(true);
}

void TVisibleEditButtonEh::DescribeProperties(TPropertyTable& Props) {
  Props.Override("ShortCut").Default(AltDownShortCutEh);
  Props.Override("Visible").Default(true);
}

// ---------------------------------------------------------------------------
// TEditButtonsEh

TEditButtonsEh::TEditButtonsEh(TPersistent* Owner, TCollectionItemClass EditButtonClass)
    : TCollection(EditButtonClass), FOwner(Owner) {}

TEditButtonDrawBackTimeEh TEditButtonsEh::DefaultDrawBackTime() {
  if (auto* Owner = dynamic_cast<IEditButtonsOwnerEh*>(FOwner)) return Owner->DefaultDrawBackTime();
  return edbtAlwaysEh;
}

void TEditButtonsEh::Update(TCollectionItem* Item) {
  TCollection::Update(Item);
  if (OnChanged) OnChanged(Item);
}
