// The edit's buttons: presses, clicks and shortcuts of its button controls,
// the drop-down forms and menus they open, the default actions, and the
// dropped-down state descendants use for their own drop-downs.
//
// A press goes, until one handles it: the user's OnButtonDown, the
// button's drop-down form, its drop-down menu, the default action.  A
// click: the button's Click, the edit's OnButtonClick (main button), the
// default action, then the dropped-down button closes its drop-down.
#include "gridlib/editors/dbedit.h"

#include "gridlib/base/dynvars.h"
#include "gridlib/base/mrulist.h"
#include "gridlib/base/winroutines.h"
#include "gridlib/editors/buttonsbox.h"
#include "gridlib/editors/dropdownforms.h"
#include "gridlib/editors/editbuttoncontrol.h"
#include "gridlib/editors/fielddatalink.h"
#include "platform/db/dataset.h"
#include "platform/db/fields.h"
#include "platform/rtl/scopeexit.h"
#include "platform/ui/windowing/forms.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/menus.h"
#include "platform/ui/windowing/window.h"

#include <memory>

using namespace gdi;

namespace {

struct TEditButtonsState {
  TDefaultEditButtonActionProcEh DefaultActionProc = nullptr;
  TClass DefaultMemoFormClass = nullptr;
};

TEditButtonsState State;

// The box entry of a main button.
constexpr Integer MainButtonEntry = 0;

bool isDropDownStyle(TEditButtonStyleEh Style) { return Style == ebsDropDownEh || Style == ebsAltDropDownEh; }
bool isEllipsisStyle(TEditButtonStyleEh Style) { return Style == ebsEllipsisEh || Style == ebsGlyphEh; }

// PassFieldNames first, else what PassParams asks; Value stands for the
// field's value.
void fillEditPassParams(TDropDownFormCallParamsEh* Params, TDataSet* DataSet, TField* Field, const Variant& Value,
                        TDynVarsEh* DynParams) {
  std::vector<TField*> Fields;
  if (!Params->PassFieldNames().isEmpty()) {
    if (DataSet) DataSet->GetFieldList(Fields, Params->PassFieldNames());
  } else if (Params->PassParams() == pspFieldValueEh) {
    DynParams->CreateDynVar(Field ? Field->FieldName() : String(), Value);
    return;
  } else if (Params->PassParams() == pspRecordValuesEh && DataSet) {
    for (Integer I = 0; I < DataSet->Fields()->Count(); ++I) Fields.push_back(DataSet->Fields()->Fields(I));
  }
  for (TField* F : Fields) DynParams->CreateDynVar(F->FieldName(), F->Value());
}

}  // namespace

TDefaultEditButtonActionProcEh DefaultEditButtonActionProc() { return State.DefaultActionProc; }
void SetDefaultEditButtonActionProc(TDefaultEditButtonActionProcEh Proc) { State.DefaultActionProc = Proc; }
TClass DefaultDropDownMemoFormClass() { return State.DefaultMemoFormClass; }
void SetDefaultDropDownMemoFormClass(TClass FormClass) { State.DefaultMemoFormClass = FormClass; }

// ---------------------------------------------------------------------------
// opening and closing a button's drop-down form

void OpenEditButtonDropDownForm(TWinControl* EditControl, TDataLink* DataLink, TField* Field, const Variant& Value,
                                TEditButtonEh* Button, TEditButtonControlEh* ButtonControl,
                                const TEditControlShowDropDownFormEventEh& OnOpenEvent,
                                const TDropDownFormCallbackProcEh& CloseCallback, bool& Handled) {
  if (ButtonControl && ButtonControl->AlwaysDown()) return;
  if (DropDownFormClosedMessageQueuedEh(EditControl, Button)) {
    Handled = true;
    return;
  }
  TDropDownFormCallParamsEh* Params = Button->DropDownFormParams();
  bool FreeFormOnClose = false;
  TCustomForm* Form = Params->DropDownForm();
  if (!Form && !Params->DropDownFormClassName().isEmpty())
    Form = CreateDropDownFormByClassNameEh(Params->DropDownFormClassName(), EditControl, FreeFormOnClose);
  TCustomForm* MadeForCall = FreeFormOnClose ? Form : nullptr;
  auto DynParams = std::make_unique<TDynVarsEh>(EditControl);
  auto SysParams = std::make_unique<TEditControlDropDownFormSysParams>();
  SysParams->FFreeFormOnClose = FreeFormOnClose;
  SysParams->FEditControl = EditControl;
  SysParams->FEditButton = Button;
  fillEditPassParams(Params, DataLink ? DataLink->DataSet() : nullptr, Field, Value, DynParams.get());
  if (auto* Intf = dynamic_cast<IDropDownFormEh*>(Form)) Intf->SetReadOnly(Field && Field->ReadOnly());
  if (OnOpenEvent) OnOpenEvent(EditControl, Button, Form, DynParams.get());
  auto* Intf = dynamic_cast<IDropDownFormEh*>(Form);
  // A form made for this press that will not show would stay behind as a
  // hidden component of the edit, one more per press.
  if (MadeForCall && (Form != MadeForCall || !Intf)) {
    MadeForCall->Free();
    SysParams->FFreeFormOnClose = false;
  }
  if (!Intf) return;
  Params->ApplyFormSizeOnOpen(Form);
  if (ButtonControl) ButtonControl->SetAlwaysDown(true);
  // The bag and the system parameters go to the call; the close frees them.
  Intf->ExecuteNomodal(GetControlScreenRectEh(EditControl), nullptr, Params->Align(), DynParams.release(),
                       SysParams.release(), CloseCallback);
  Handled = true;
}

void CloseEditButtonDropDownForm(TWinControl* EditControl, TDataLink* DataLink, TCustomForm* Form, bool Accept,
                                 TDynVarsEh* DynParams, TDropDownFormSysParams* SysParams,
                                 const TSetVarValueProcEh& SetValueProc,
                                 const TEditControlCloseDropDownFormEventEh& OnCloseEvent) {
  const std::unique_ptr<TDynVarsEh> OwnedDynParams(DynParams);
  const std::unique_ptr<TDropDownFormSysParams> OwnedSysParams(SysParams);
  try {
    auto* EditParams = dynamic_cast<TEditControlDropDownFormSysParams*>(SysParams);
    TEditButtonEh* Button = EditParams ? EditParams->FEditButton : nullptr;
    TDropDownFormCallParamsEh* Params = Button ? Button->DropDownFormParams() : nullptr;
    const bool WritesBack = Params && (Params->PassParams() == pspFieldValueEh ||
                                       Params->PassParams() == pspRecordValuesEh ||
                                       !Params->AssignBackFieldNames().isEmpty());
    if (Accept && WritesBack)
      AssignBackDropDownParamsEh(DataLink ? DataLink->DataSet() : nullptr, Params->AssignBackFieldNames(), DynParams,
                                 SetValueProc);
    Form->Hide();
    if (Params) Params->RememberFormSizeOnClose(Form);
    // The event hears the actual button and form, whichever way the form
    // was found.
    if (OnCloseEvent) OnCloseEvent(EditControl, Button, Accept, Form, DynParams);
    PostDropDownFormClosedEh(EditControl, Button);
  } catch (const Exception&) {
    ReportDropDownCloseErrorEh(Form, EditControl);
  }
}

// ---------------------------------------------------------------------------
// default actions

void DefaultEditButtonAction(TCustomDBEditEh* EditControl, TEditButtonEh* Button,
                             TEditButtonControlEh* ButtonControl, bool IsMouseDown, bool& Handled) {
  if (IsMouseDown && isDropDownStyle(Button->Style())) {
    TDropDownFormCallParamsEh* Params = Button->DropDownFormParams();
    Params->FEditButton = Button;
    Params->FEditButtonControl = ButtonControl;
    Params->FEditControl = EditControl;
    Params->FOnOpenDropDownFormProc =
        TEditControlShowDropDownFormEventEh(EditControl, &TCustomDBEditEh::DoOpenDropDownForm);
    Params->FOnCloseDropDownFormProc =
        TEditControlCloseDropDownFormEventEh(EditControl, &TCustomDBEditEh::defaultDropDownFormClosed);
    Params->FDataLink = EditControl->DataLink();
    Params->FField = EditControl->Field();
    Params->FOnSetVarValueProc = TSetVarValueProcEh(EditControl, &TCustomDBEditEh::SetValueFromDropDown);
    Params->FOnGetVarValueProc = TGetVarValueProcEh(EditControl, &TCustomDBEditEh::GetValueForDropDown);
    Params->FOnGetActualDropDownFormProc =
        TGetDropDownFormEventEh(EditControl, &TCustomDBEditEh::GetDefaultDropDownForm);
    Params->CheckShowDropDownForm(Handled);
    return;
  }
  if (IsMouseDown || !isEllipsisStyle(Button->Style())) return;
  TCustomDropDownFormEh* Editor = DropDownFormGlobalRefEh(DefaultDropDownMemoFormClass());
  auto* Intf = dynamic_cast<IDynParamsInteractableEh*>(Editor);
  if (!Intf) return;
  TDynVarsEh DynParams(EditControl);
  DynParams.CreateDynVar(String(), Variant(EditControl->Text()));
  Intf->SetDynParams(&DynParams);
  // The shared editor must not keep the bag once it is gone.
  const TScopeExit Forget([Intf] { Intf->SetDynParams(nullptr); });
  if (Editor->ShowModal() == mrOk) EditControl->SetText(Intf->GetDynParams()->Items(0)->AsString());
  Handled = true;
}

void TCustomDBEditEh::EditButtonDefaultAction(TEditButtonEh* Button, TEditButtonControlEh* ButtonControl, bool,
                                              bool&, bool& Handled) {
  if (TDefaultEditButtonActionProcEh Proc = DefaultEditButtonActionProc())
    Proc(this, Button, ButtonControl, /*IsMouseDown=*/true, Handled);
}

void TCustomDBEditEh::EditButtonClickDefaultAction(TEditButtonEh* Button, TEditButtonControlEh* ButtonControl,
                                                   bool& Handled) {
  if (TDefaultEditButtonActionProcEh Proc = DefaultEditButtonActionProc())
    Proc(this, Button, ButtonControl, /*IsMouseDown=*/false, Handled);
}

bool TCustomDBEditEh::IsParentDefinedDefaultAction(TEditButtonEh* Button) {
  if (Button == FEditButton) return Button->Visible();
  if (Button->OnClick() || Button->OnDown()) return false;
  const TDropDownFormCallParamsEh* Params = Button->DropDownFormParams();
  return !Params->DropDownForm() && Params->DropDownFormClassName().isEmpty() && !Button->DropdownMenu();
}

void TCustomDBEditEh::GetDefaultDropDownForm(TCustomForm*& DropDownForm, bool& FreeFormOnClose) {
  DropDownForm = DropDownFormGlobalRefEh(DefaultDropDownMemoFormClass());
  if (DropDownForm) FreeFormOnClose = false;
}

void TCustomDBEditEh::DoOpenDropDownForm(TControl* EditControl, TEditButtonEh* Button, TCustomForm*& DropDownForm,
                                         TDynVarsEh* DynParams) {
  if (auto* Form = dynamic_cast<TCustomDropDownFormEh*>(DropDownForm))
    Form->SetReadOnly(ReadOnly() || !FDataLink->CanModify());
  if (OnOpenDropDownForm) OnOpenDropDownForm(EditControl, Button, DropDownForm, DynParams);
}

// ---------------------------------------------------------------------------
// presses

void TCustomDBEditEh::EditButtonDown(TObject* Sender, bool TopButton, bool& AutoRepeat, bool& Handled) {
  Handled = false;
  auto* Control = dynamic_cast<TEditButtonControlEh*>(Sender);
  if (!Control) return;
  if (CanFocus()) SetFocus();
  TCustomForm* Form = GetParentForm(this);
  if (Form && Form->Active() && Form->ActiveControl() == this && HandleAllocated() && GetFocus() != Handle())
    gdi::SetFocus(Handle());
  if (!Focused()) return;
  const Integer Entry = Integer(Control->Tag());
  if (Entry == MainButtonEntry) {
    if (!Enabled()) return;
    if (OnButtonDown) OnButtonDown(Control, TopButton, AutoRepeat, Handled);
    if (!Handled) buttonDown(FEditButton, Control, TopButton, AutoRepeat, Handled, /*ActionTest=*/true);
    return;
  }
  if (Entry < 0 || Entry >= FButtonsBox->ButtonsCount()) return;
  TEditButtonEh* Button = FButtonsBox->Entry(Entry).EditButton;
  if (!Button) return;
  if (Button->OnDown()) Button->OnDown()(Control, TopButton, AutoRepeat, Handled);
  if (!Handled) buttonDown(Button, Control, TopButton, AutoRepeat, Handled, /*ActionTest=*/false);
}

// The form, the menu, the default action; only the main button's action
// keeps it from its default action.
void TCustomDBEditEh::buttonDown(TEditButtonEh* Button, TEditButtonControlEh* ButtonControl, bool TopButton,
                                 bool& AutoRepeat, bool& Handled, bool ActionTest) {
  OpenEditButtonDropDownForm(this, FDataLink, Field(), Variant(Text()), Button, ButtonControl, OnOpenDropDownForm,
                             TDropDownFormCallbackProcEh(this, &TCustomDBEditEh::dropDownFormClosed), Handled);
  if (!Handled && Button->DropdownMenu()) popupDropdownMenu(Button, ButtonControl, Handled);
  if (Handled || !Button->DefaultAction()) return;
  if (ActionTest && Button->Action()) return;
  EditButtonDefaultAction(Button, ButtonControl, TopButton, AutoRepeat, Handled);
}

void TCustomDBEditEh::popupDropdownMenu(TEditButtonEh* Button, TEditButtonControlEh* ButtonControl,
                                        bool& Handled) {
  TPopupMenu* Menu = Button->DropdownMenu();
  const TPoint Corner = Menu->Alignment() == paRight ? TPoint{ButtonControl->Width(), ButtonControl->Height()}
                                                     : TPoint{0, ButtonControl->Height()};
  const TPoint P = ButtonControl->ClientToScreen(Corner);
  Menu->Popup(P.X, P.Y);
  // The click that closed the menu over the button must not press it again.
  RemovePendingClickEh(ButtonControl);
  ButtonControl->Perform(WM_LBUTTONUP, 0, 0);
  Handled = true;
}

void TCustomDBEditEh::EditButtonDropDown(TEditButtonEh*, TEditButtonControlEh*, bool&) {
  if (FMRUList->DroppedDown) FMRUList->CloseUp(/*Accept=*/false);
}

void TCustomDBEditEh::EditButtonMouseUp(TObject* Sender, TMouseButton, TShiftState, int X, int Y) {
  auto* Control = dynamic_cast<TControl*>(Sender);
  if (Control && !PtInRect(Control->ClientRect(), TPoint{X, Y})) FNoClickCloseUp = false;
}

// ---------------------------------------------------------------------------
// clicks

void TCustomDBEditEh::EditButtonClick(TObject* Sender) {
  bool Handled = false;
  auto* Control = dynamic_cast<TEditButtonControlEh*>(Sender);
  if (!Control) return;
  const Integer Entry = Integer(Control->Tag());
  TEditButtonEh* Button = nullptr;
  if (Entry == MainButtonEntry) {
    Button = FEditButton;
    Button->Click(Control, Handled);
    if (!Handled && OnButtonClick) OnButtonClick(Control, Handled);
  } else if (Entry > 0 && Entry < FButtonsBox->ButtonsCount()) {
    Button = FButtonsBox->Entry(Entry).EditButton;
    if (Button) Button->Click(Control, Handled);
  }
  if (Button && !Handled && Button->DefaultAction() && DefaultEditButtonActionProc())
    EditButtonClickDefaultAction(Button, Control, Handled);
  if (!Handled && FDroppedDown && !FNoClickCloseUp && Control == FDroppedDownButtonControl) CloseUp(false);
  FNoClickCloseUp = false;
}

// ---------------------------------------------------------------------------
// shortcuts

bool TCustomDBEditEh::pressButtonByShortCut(Word Key, TShiftState Shift) {
  if (Key == 0) return false;
  TEditButtonEh* Button = GetEditButtonByShortCut(::ShortCut(Key, Shift));
  if (!Button || !Button->Enabled()) return false;
  if (TEditButtonControlEh* Control = GetEditButtonControlByEditButton(Button)) {
    // Through the control, so the press reaches the edit as a real one does
    // (never as an up-down button's upper half).
    bool AutoRepeat = false;
    Control->EditButtonDown(ButtonPressedLowerEh, AutoRepeat);
    Control->PerformClick();
  }
  return true;
}

TEditButtonEh* TCustomDBEditEh::GetEditButtonByShortCut(TShortCut ShortCut) {
  if (FEditButton->ShortCut() == ShortCut) return FEditButton;
  for (Integer I = 0; I < FEditButtons->Count(); ++I)
    if (FEditButtons->EditButton(I)->ShortCut() == ShortCut) return FEditButtons->EditButton(I);
  return nullptr;
}

TEditButtonEh* TCustomDBEditEh::GetFirstDefaultActionEditButton() {
  if (FEditButton->DefaultAction() && FEditButton->Visible()) return FEditButton;
  for (Integer I = 0; I < FEditButtons->Count(); ++I) {
    TEditButtonEh* B = FEditButtons->EditButton(I);
    if (B->DefaultAction() && B->Visible()) return B;
  }
  return nullptr;
}

TEditButtonControlEh* TCustomDBEditEh::GetEditButtonControlByEditButton(TEditButtonEh* Button) {
  for (Integer I = 0; I < FButtonsBox->ButtonsCount(); ++I)
    if (FButtonsBox->Entry(I).EditButton == Button) return FButtonsBox->Entry(I).EditButtonControl;
  return nullptr;
}

// ---------------------------------------------------------------------------
// the dropped-down state and the close of a form

void TCustomDBEditEh::SetDroppedDownState(TEditButtonEh* Button, TEditButtonControlEh* ButtonControl) {
  FDroppedDown = true;
  FDroppedDownButton = Button;
  FDroppedDownButtonControl = ButtonControl;
  if (ButtonControl) ButtonControl->SetAlwaysDown(true);
}

void TCustomDBEditEh::ClearDroppedDownState() {
  if (FDroppedDownButtonControl) FDroppedDownButtonControl->SetAlwaysDown(false);
  FDroppedDown = false;
  FDroppedDownButton = nullptr;
  FDroppedDownButtonControl = nullptr;
}

void TCustomDBEditEh::releaseButtonControls() {
  for (Integer I = 0; I < FButtonsBox->ButtonsCount(); ++I)
    if (TEditButtonControlEh* Control = FButtonsBox->Entry(I).EditButtonControl) Control->SetAlwaysDown(false);
}

void TCustomDBEditEh::dropDownFormClosed(TCustomForm* DropDownForm, bool Accept, TDynVarsEh* DynParams,
                                         TDropDownFormSysParams* SysParams) {
  releaseButtonControls();
  CloseEditButtonDropDownForm(this, FDataLink, DropDownForm, Accept, DynParams, SysParams,
                              TSetVarValueProcEh(this, &TCustomDBEditEh::ChangeValue), OnCloseDropDownForm);
}

void TCustomDBEditEh::defaultDropDownFormClosed(TControl* EditControl, TEditButtonEh* Button, bool Accept,
                                                TCustomForm* DropDownForm, TDynVarsEh* DynParams) {
  releaseButtonControls();
  if (OnCloseDropDownForm) OnCloseDropDownForm(EditControl, Button, Accept, DropDownForm, DynParams);
}
