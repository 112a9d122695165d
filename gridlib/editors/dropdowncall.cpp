// The call a TDropDownFormCallParamsEh runs: finding the form, filling the
// bag, showing the form and, on its close, writing back.  The stored part of
// the class lives in editbuttons.cpp.
#include "gridlib/editors/dropdowncall.h"

#include "gridlib/base/dynvars.h"
#include "gridlib/base/winroutines.h"
#include "gridlib/editors/dropdownforms.h"
#include "gridlib/editors/editbuttoncontrol.h"
#include "gridlib/editors/editbuttons.h"
#include "platform/db/datasource.h"
#include "platform/db/dataset.h"
#include "platform/db/fields.h"
#include "platform/ui/windowing/application.h"
#include "platform/ui/windowing/forms.h"
#include "platform/ui/windowing/msgqueue.h"

#include <memory>

using namespace gdi;

// ---------------------------------------------------------------------------
// routines the edit's own drop-down call shares

TCustomForm* CreateDropDownFormByClassNameEh(const String& ClassName, TComponent* Owner, bool& FreeFormOnClose) {
  TClass FormClass = GetClass(ClassName);
  if (!FormClass) throw Exception(QStringLiteral("Class '%1' is not registered").arg(ClassName));
  if (TCustomForm* Shared = DropDownFormGlobalRefEh(FormClass)) return Shared;
  // A registered class that is no form cannot drop down.
  if (!FormClass->InheritsFrom(TCustomForm::StaticClass())) return nullptr;
  auto* Form = static_cast<TCustomForm*>(FormClass->Create(Owner));
  Form->AfterConstruction();
  // A class may make its shared instance in its constructor.
  if (!DropDownFormGlobalRefEh(FormClass)) FreeFormOnClose = true;
  return Form;
}

void AssignBackDropDownParamsEh(TDataSet* DataSet, const String& AssignBackFieldNames, TDynVarsEh* DynParams,
                                const TSetVarValueProcEh& SetValue) {
  const bool PutInEdit = DataSet && DataSet->State() != dsEdit && DataSet->State() != dsInsert;
  if (PutInEdit) DataSet->Edit();
  if (!AssignBackFieldNames.isEmpty()) {
    std::vector<TField*> Fields;
    if (DataSet) DataSet->GetFieldList(Fields, AssignBackFieldNames);
    for (TField* F : Fields) F->SetValue(DynParams->GetDynVar(F->FieldName())->Value());
  } else if (SetValue) {
    SetValue(DynParams->Items(0)->Value());
  }
  if (PutInEdit) DataSet->Post();
}

void PostDropDownFormClosedEh(TWinControl* EditControl, TObject* Button) {
  if (!EditControl || !EditControl->HandleAllocated()) return;
  const HWND Window = EditControl->Handle();
  PostMessage(Window, WM_USER, WPARAM(Window), LPARAM(Button ? Button : EditControl));
}

bool DropDownFormClosedMessageQueuedEh(TWinControl* EditControl, TObject* Button) {
  if (!EditControl || !EditControl->HandleAllocated()) return false;
  const HWND Window = EditControl->Handle();
  MSG Msg;
  return PeekMessage(Msg, Window, WM_USER, WM_USER, PM_NOREMOVE) && Msg.wParam == WPARAM(Window) &&
         Msg.lParam == LPARAM(Button ? Button : EditControl);
}

void ReportDropDownCloseErrorEh(TCustomForm* Form, TObject* Sender) {
  auto* DropDown = dynamic_cast<TCustomDropDownFormEh*>(Form);
  if (DropDown) DropDown->SetKeepFormVisible(true);
  Application->HandleException(Sender);
  if (DropDown) DropDown->SetKeepFormVisible(false);
}

// ---------------------------------------------------------------------------
// the call's answers

TCustomForm* TDropDownFormCallParamsEh::GetDropDownForm(bool& FreeFormOnClose) {
  if (FOnGetActualDropDownFormProc) {
    TCustomForm* Form = nullptr;
    FOnGetActualDropDownFormProc(Form, FreeFormOnClose);
    return Form;
  }
  FreeFormOnClose = false;
  if (FDropDownForm) return FDropDownForm;
  if (FDropDownFormClassName.isEmpty()) return nullptr;
  return CreateDropDownFormByClassNameEh(FDropDownFormClassName, GetEditControl(), FreeFormOnClose);
}

Variant TDropDownFormCallParamsEh::GetVarValue() {
  const TGetVarValueProcEh GetValue = GetOnGetVarValueProc();
  if (!GetValue) return Variant();
  Variant Value = Null();
  GetValue(Value);
  return Value;
}

void TDropDownFormCallParamsEh::CallSetVarValueProc(const Variant& VarValue) {
  if (const TSetVarValueProcEh SetValue = GetOnSetVarValueProc()) SetValue(VarValue);
}

bool TDropDownFormCallParamsEh::CheckDataIsReadOnly() {
  TField* F = GetField();
  bool ReadOnly = F && F->ReadOnly();
  if (OnCheckDataIsReadOnly) OnCheckDataIsReadOnly(ReadOnly);
  return ReadOnly;
}

TRect TDropDownFormCallParamsEh::GetEditControlBounds() {
  TWinControl* Control = GetEditControl();
  return Control ? GetControlScreenRectEh(Control) : FEditControlScreenRect;
}

TDropDownFormSysParams* TDropDownFormCallParamsEh::CreateSysParams() { return new TEditControlDropDownFormSysParams; }

void TDropDownFormCallParamsEh::FillSysParams(TDropDownFormSysParams* SysParams) {
  auto* EditParams = dynamic_cast<TEditControlDropDownFormSysParams*>(SysParams);
  if (!EditParams) return;
  EditParams->FEditControl = GetEditControl();
  EditParams->FEditButton = GetEditButton();
}

void TDropDownFormCallParamsEh::CallOpenDropDownFormProc(TCustomForm*& DropDownForm, TDynVarsEh* DynParams,
                                                         TDropDownFormSysParams*) {
  if (const TEditControlShowDropDownFormEventEh Open = GetOnOpenDropDownFormProc())
    Open(GetEditControl(), GetEditButton(), DropDownForm, DynParams);
}

void TDropDownFormCallParamsEh::PressEditButtonOnOpen(TCustomForm* DropDownForm, TDynVarsEh*,
                                                      TDropDownFormSysParams*) {
  if (TEditButtonControlEh* Control = GetEditButtonControl()) Control->SetAlwaysDown(true);
  if (auto* Intf = dynamic_cast<IDropDownFormEh*>(DropDownForm)) Intf->SetReadOnly(CheckDataIsReadOnly());
}

// ---------------------------------------------------------------------------
// the bag

void TDropDownFormCallParamsEh::FillPassParams(TDynVarsEh* DynParams) {
  TDataLink* Link = GetDataLink();
  TDataSet* DataSet = Link ? Link->DataSet() : nullptr;
  switch (FPassParams) {
    case pspByFieldNamesEh: {
      if (FPassFieldNames.isEmpty() || !DataSet) return;
      std::vector<TField*> Fields;
      DataSet->GetFieldList(Fields, FPassFieldNames);
      for (TField* F : Fields) DynParams->CreateDynVar(F->FieldName(), F->Value());
      return;
    }
    case pspFieldValueEh: {
      TField* F = GetField();
      DynParams->CreateDynVar(F ? F->FieldName() : String(), GetVarValue());
      return;
    }
    case pspRecordValuesEh:
      if (!DataSet) return;
      for (Integer I = 0; I < DataSet->Fields()->Count(); ++I) {
        TField* F = DataSet->Fields()->Fields(I);
        DynParams->CreateDynVar(F->FieldName(), F->Value());
      }
      return;
    case pspCustomValuesEh: return;
  }
}

void TDropDownFormCallParamsEh::AssignBackParams(TDynVarsEh* DynParams) {
  if (FPassParams != pspFieldValueEh && FPassParams != pspRecordValuesEh && FAssignBackFieldNames.isEmpty()) return;
  TDataLink* Link = GetDataLink();
  AssignBackDropDownParamsEh(Link ? Link->DataSet() : nullptr, FAssignBackFieldNames, DynParams,
                             TSetVarValueProcEh(this, &TDropDownFormCallParamsEh::CallSetVarValueProc));
}

// ---------------------------------------------------------------------------
// form size

void TDropDownFormCallParamsEh::ApplyFormSizeOnOpen(TCustomForm* Form) {
  if (!FSaveFormSize) return;
  FOldFormWidth = Form->Width();
  if (FFormWidth > 0) Form->SetWidth(FFormWidth);
  FOldFormHeight = Form->Height();
  if (FFormHeight > 0) Form->SetHeight(FFormHeight);
}

void TDropDownFormCallParamsEh::RememberFormSizeOnClose(TCustomForm* Form) {
  if (!FSaveFormSize) return;
  FFormWidth = Form->Width();
  if (FOldFormWidth > 0) Form->SetWidth(FOldFormWidth);
  FFormHeight = Form->Height();
  if (FOldFormHeight > 0) Form->SetHeight(FOldFormHeight);
}

// ---------------------------------------------------------------------------
// showing and closing

void TDropDownFormCallParamsEh::CheckShowDropDownForm(bool& Handled) {
  bool FreeFormOnClose = false;
  TCustomForm* Form = GetDropDownForm(FreeFormOnClose);
  TCustomForm* MadeForCall = FreeFormOnClose ? Form : nullptr;
  auto DynParams = std::make_unique<TDynVarsEh>(GetEditControl());
  std::unique_ptr<TDropDownFormSysParams> SysParams(CreateSysParams());
  SysParams->FFreeFormOnClose = FreeFormOnClose;
  FillSysParams(SysParams.get());
  FillPassParams(DynParams.get());
  CallOpenDropDownFormProc(Form, DynParams.get(), SysParams.get());
  auto* Intf = dynamic_cast<IDropDownFormEh*>(Form);
  // A form made for this call that will not show would stay behind as a
  // hidden component of the edit control, one more per press.
  if (MadeForCall && (Form != MadeForCall || !Intf)) {
    MadeForCall->Free();
    SysParams->FFreeFormOnClose = false;
  }
  if (!Intf) return;
  ApplyFormSizeOnOpen(Form);
  PressEditButtonOnOpen(Form, DynParams.get(), SysParams.get());
  const TRect Bounds = GetEditControlBounds();
  // From here the bag and the system parameters belong to the call, which
  // frees them in DropDownFormCallbackProc.
  Intf->ExecuteNomodal(Bounds, nullptr, FAlign, DynParams.release(), SysParams.release(),
                       TDropDownFormCallbackProcEh(this, &TDropDownFormCallParamsEh::DropDownFormCallbackProc));
  Handled = true;
}

void TDropDownFormCallParamsEh::DropDownFormCallbackProc(TCustomForm* DropDownForm, bool Accept,
                                                         TDynVarsEh* DynParams, TDropDownFormSysParams* SysParams) {
  const std::unique_ptr<TDynVarsEh> OwnedDynParams(DynParams);
  const std::unique_ptr<TDropDownFormSysParams> OwnedSysParams(SysParams);
  TWinControl* EditControl = GetEditControl();
  try {
    if (Accept) AssignBackParams(DynParams);
    DropDownForm->Hide();
    RememberFormSizeOnClose(DropDownForm);
    auto* EditParams = dynamic_cast<TEditControlDropDownFormSysParams*>(SysParams);
    TEditButtonEh* Button = EditParams ? EditParams->FEditButton : GetEditButton();
    // The close procedure hears the actual button and form, whichever way
    // the form was found.
    if (const TEditControlCloseDropDownFormEventEh Close = GetOnCloseDropDownFormProc())
      Close(EditControl, Button, Accept, DropDownForm, DynParams);
    ReleaseEditButtonsOnClose(Accept, DropDownForm, DynParams, SysParams);
    PostDropDownFormClosedEh(EditControl, EditParams ? EditParams->FEditButton : nullptr);
  } catch (const Exception&) {
    ReportDropDownCloseErrorEh(DropDownForm, EditControl);
  }
}
