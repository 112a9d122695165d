// The types of the drop-down form call: what a form implements to take part
// (IDropDownFormEh), the system parameters that travel beside the parameter
// bag, and the procedures a caller hands the call.
//
// One call, as TDropDownFormCallParamsEh (editbuttons.h) runs it:
//   press  -> form found or made, bag and system parameters made, the bag
//             filled, the open procedure, the form shown by ExecuteNomodal
//   close  -> the form's callback: values written back when accepted, the
//             form hidden, the close procedure, WM_USER posted to the edit
//             control, bag and system parameters freed
// Bag and system parameters live from the press to the end of the close;
// the form never owns them.
#pragma once

#include "platform/rtl/component.h"
#include "platform/rtl/interfaces.h"
#include "platform/rtl/methodptr.h"
#include "platform/rtl/typinfo.h"

class TComponent;
class TControl;
class TCustomForm;
class TDataSet;
class TDropDownFormSysParams;
class TDynVarsEh;
class TEditButtonEh;
class TWinControl;
class Variant;
struct TRect;

RTL_ENUM(TDropDownAlign, daLeft, daRight, daCenter)
RTL_ENUM(TDropDownPassParamsEh, pspByFieldNamesEh, pspFieldValueEh, pspRecordValuesEh, pspCustomValuesEh)

// ---------------------------------------------------------------------------
// procedure types

using TGetDropDownFormEventEh = TMethodPtr<void(TCustomForm*& DropDownForm, bool& FreeFormOnClose)>;
using TEditControlShowDropDownFormEventEh = TMethodPtr<void(TControl* EditControl, TEditButtonEh* Button,
                                                            TCustomForm*& DropDownForm, TDynVarsEh* DynParams)>;
using TEditControlCloseDropDownFormEventEh =
    TMethodPtr<void(TControl* EditControl, TEditButtonEh* Button, bool Accept, TCustomForm* DropDownForm,
                    TDynVarsEh* DynParams)>;
using TGetVarValueProcEh = TMethodPtr<void(Variant& VarValue)>;
using TSetVarValueProcEh = TMethodPtr<void(const Variant& VarValue)>;
using TCheckDataIsReadOnlyEventEh = TMethodPtr<void(bool& ReadOnly)>;
using TDropDownFormCallbackProcEh = TMethodPtr<void(TCustomForm* DropDownForm, bool Accept, TDynVarsEh* DynParams,
                                                    TDropDownFormSysParams* SysParams)>;

// ---------------------------------------------------------------------------
// system parameters

class TDropDownFormSysParams : public TPersistent {
  RTL_CLASS(TDropDownFormSysParams, TPersistent)
public:
  // The form was made for this call and is freed when it closes.
  bool FFreeFormOnClose = false;
};

// Who opened the form: the edit control and its button (none of them owned).
class TEditControlDropDownFormSysParams : public TDropDownFormSysParams {
  RTL_CLASS(TEditControlDropDownFormSysParams, TDropDownFormSysParams)
public:
  TControl* FEditControl = nullptr;
  TEditButtonEh* FEditButton = nullptr;
  TObject* FEditButtonObj = nullptr;
};

// ---------------------------------------------------------------------------
// IDropDownFormEh

// What a drop-down form implements.  Not reference counted: the form is a
// component and its owner frees it.
class IDropDownFormEh : public IInterface {
public:
  static constexpr TGUID IID = TGUID::Literal("{A665F4AE-003C-465E-95E9-B1061E9EAEF4}");
  // Blocks until the form closes; True when it closed with mrOk.
  virtual bool Execute(TControl* RelativePosControl, TControl* DownStateControl, TDropDownAlign Align,
                       TDynVarsEh* DynParams) = 0;
  virtual bool GetReadOnly() = 0;
  // Places and shows the form, then returns at once; CallbackProc runs once
  // when the form closes.
  virtual void ExecuteNomodal(const TRect& RelativePosRect, TControl* DownStateControl, TDropDownAlign Align,
                              TDynVarsEh* DynParams, TDropDownFormSysParams* SysParams,
                              const TDropDownFormCallbackProcEh& CallbackProc) = 0;
  virtual void Close() = 0;
  virtual void SetReadOnly(bool Value) = 0;
};

// ---------------------------------------------------------------------------
// routines every caller of a drop-down form shares

// A form of the registered class ClassName: its shared instance, else a new
// one owned by Owner (FreeFormOnClose := True unless the class then has a
// shared instance).  nullptr for a class that is no form.  An unknown name
// raises "Class 'ClassName' is not registered".
TCustomForm* CreateDropDownFormByClassNameEh(const String& ClassName, TComponent* Owner, bool& FreeFormOnClose);
// Writes the accepted bag back: DataSet (may be null) into dsEdit unless it
// is editing; the fields of AssignBackFieldNames from the variables of their
// names, else the first variable to SetValue; posted when this put it into
// dsEdit.
void AssignBackDropDownParamsEh(TDataSet* DataSet, const String& AssignBackFieldNames, TDynVarsEh* DynParams,
                                const TSetVarValueProcEh& SetValue);
// Posts WM_USER to EditControl's window: WParam the window, LParam Button,
// or EditControl without one.
void PostDropDownFormClosedEh(TWinControl* EditControl, TObject* Button);
// Whether that WM_USER still waits in the queue (looked at, not removed): a
// press that finds it belongs to the click that closed the form.
bool DropDownFormClosedMessageQueuedEh(TWinControl* EditControl, TObject* Button);
// Inside a catch: the application's handler reports the error with Sender,
// the form kept visible (KeepFormVisible) meanwhile.
void ReportDropDownCloseErrorEh(TCustomForm* Form, TObject* Sender);
