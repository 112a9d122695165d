// The base of every drop-down form of the library (TCustomDropDownFormEh),
// its close button (TDDFCloseButtonEh) and sizing bar (TDDFSizingBarEh), and
// the metaclass that gives drop-down form classes their shared instance.
//
// A run, without blocking (ExecuteNomodal):
//   hidden -> placed under (or above) the control inside the work area,
//             elements laid out, InitForm, shown
//          -> closed by ModalResult, the close button or losing activation
//          -> DoClose: ReturnParams when mrOk, then the call's callback, once
//          -> hidden, or freed when the call made the form
// Execute runs the same form in a nested loop; ShowModal shows it as an
// ordinary dialog.  The form never owns the parameter bag or the system
// parameters it is handed.
//
// Geometry: the border of FBorderWidth pixels (1 from Windows 10 on, 3 on
// 6.x, 2 before) is drawn inside the window; the client rectangle children
// align in is the window's less the border on every side and once more at
// the top.
#pragma once

#include "gridlib/base/dynvars.h"
#include "gridlib/editors/dropdowncall.h"
#include "platform/ui/controls/extctrls.h"
#include "platform/ui/windowing/forms.h"

class TControlCanvas;
class TCustomDropDownFormEh;
class TSizeGripEh;
class TSpeedButtonEh;

RTL_ENUM(TDropLayoutEh, dlAboveControlEh, dlUnderControlEh)
RTL_ENUM(TDropDownFormElementEh, ddfeLeftGripEh, ddfeRightGripEh, ddfeCloseButtonEh, ddfeSizingBarEh)
using TDropDownFormElementsEh = TSet<TDropDownFormElementEh>;
using TInitDropDownFormEventEh = TMethodPtr<void(TCustomDropDownFormEh* Sender, TDynVarsEh* DynParams)>;
using TPutBackFormParamsEventEh = TMethodPtr<void(TCustomDropDownFormEh* Sender, TDynVarsEh* DynParams)>;

inline constexpr TDropDownFormElementsEh AllDropDownFormElementsEh{ddfeLeftGripEh, ddfeRightGripEh,
                                                                   ddfeCloseButtonEh, ddfeSizingBarEh};

// ---------------------------------------------------------------------------
// the class-level shared instance

// The metaclass of drop-down form classes: GetGlobalRef is a class-level
// virtual.  A class declares itself with
//   RTL_CLASS_META(TMyFormEh, TCustomDropDownFormEh, TDropDownFormClassOf<TMyFormEh>)
// and a static GetGlobalRef() answering its shared instance (made on first
// use) to keep one.
class TDropDownFormMetaEh : public TMetaClass {
public:
  using TMetaClass::TMetaClass;
  virtual TCustomDropDownFormEh* GetGlobalRef() const = 0;
};

template <class T>
class TDropDownFormClassOf : public TClassOf<T, TDropDownFormMetaEh> {
public:
  using TClassOf<T, TDropDownFormMetaEh>::TClassOf;
  TCustomDropDownFormEh* GetGlobalRef() const override { return T::GetGlobalRef(); }
};

// The shared instance of FormClass, asked of the nearest class up its chain
// that is a drop-down form class; nullptr for any other class.
TCustomDropDownFormEh* DropDownFormGlobalRefEh(TClass FormClass);

// ---------------------------------------------------------------------------
// elements

// The small close button at a corner of the form; a click closes the form.
class TDDFCloseButtonEh : public TWinControl {
  RTL_CLASS(TDDFCloseButtonEh, TWinControl)
public:
  // 17 x 16 with style services, else a square of the small caption-button
  // height.
  explicit TDDFCloseButtonEh(TComponent* AOwner);

  TSpeedButtonEh* Button() const { return FButton; }

private:
  void buttonPaint(TObject* Sender);
  void buttonClick(TObject* Sender);

  TSpeedButtonEh* FButton;  // owned through the component tree
};

// The bar along the bottom (or top) edge whose outer band resizes the host.
class TDDFSizingBarEh : public TCustomPanel {
  RTL_CLASS(TDDFSizingBarEh, TCustomPanel)
public:
  // No outer bevel, a tiled bevel on the top edge, capturing the mouse.
  explicit TDDFSizingBarEh(TComponent* AOwner);

  // The form to resize (not owned).
  TWinControl* HostControl() const { return FHostControl; }
  void SetHostControl(TWinControl* Value) { FHostControl = Value; }
  Integer SizingArea() const { return FSizingArea; }

protected:
  // reimplemented
  void Resize() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  bool inSizingArea(int Y);
  void setCursorFor(int Y);

  TWinControl* FHostControl = nullptr;
  TPoint FMouseDownPos{-1, -1};  // (-1, -1): no drag
  Integer FSizingArea = 0;
};

// ---------------------------------------------------------------------------
// TCustomDropDownFormEh

class TCustomDropDownFormEh : public TForm, public IDropDownFormEh, public IDynParamsInteractableEh {
  RTL_CLASS_META(TCustomDropDownFormEh, TForm, TDropDownFormClassOf<TCustomDropDownFormEh>)
  UI_MESSAGE_MAP
public:
  // Borderless drop-down mode, all four elements, minimum size twice the
  // scroll-bar sizes, poDesigned, stay on top.
  explicit TCustomDropDownFormEh(TComponent* AOwner);
  ~TCustomDropDownFormEh() override;
  static void DescribeProperties(TPropertyTable& Props);

  // The shared instance of this class: none here.
  static TCustomDropDownFormEh* GetGlobalRef() { return nullptr; }

  // IDropDownFormEh
  // Places the form by RelativePosControl, shows it and runs messages while
  // it is active and ModalResult is 0 (with a modal responder installed, a
  // "dropdown" request answers instead).  True, after ReturnParams, for mrOk.
  bool Execute(TControl* RelativePosControl, TControl* DownStateControl, TDropDownAlign Align,
               TDynVarsEh* DynParams) override;
  bool GetReadOnly() override { return FReadOnly; }
  // A call still open on this form ends first, not accepted.
  void ExecuteNomodal(const TRect& RelativePosRect, TControl* DownStateControl, TDropDownAlign Align,
                      TDynVarsEh* DynParams, TDropDownFormSysParams* SysParams,
                      const TDropDownFormCallbackProcEh& CallbackProc) override;
  // Ignored while a close runs; the master control gets the focus back
  // unless the form closes because it lost activation.
  void Close() override;
  void SetReadOnly(bool Value) override { FReadOnly = Value; }

  // IDynParamsInteractableEh
  TDynVarsEh* GetDynParams() override { return FDynParams; }
  void SetDynParams(TDynVarsEh* Value) override { FDynParams = Value; }

  // showing as an ordinary window or dialog
  void Show();
  // Centred with a dialog border; ReturnParams for mrOk.
  TModalResult ShowModal() override;

  // Where the form goes for the screen rectangle R: under R, or above it
  // when it does not fit below and there is more room above; inside the
  // work area of R's monitor, shortened or narrowed to fit.
  TDropLayoutEh PlaceForm(const TRect& R, TDropDownAlign Align);

  // properties
  bool ReadOnly() const { return FReadOnly; }
  bool KeepFormVisible() const { return FKeepFormVisible; }
  void SetKeepFormVisible(bool Value) { FKeepFormVisible = Value; }
  TDynVarsEh* DynParams() const { return FDynParams; }
  TDropDownFormElementsEh FormElements() const { return FFormElements; }
  void SetFormElements(TDropDownFormElementsEh Value) { FFormElements = Value; }
  bool DropDownMode() const { return FDropDownMode; }
  // A change makes the window anew.
  void SetDropDownMode(bool Value);
  TDropLayoutEh DropLayout() const { return FDropLayout; }
  Integer FormBorderWidth() const { return FBorderWidth; }
  TRect ControlClientRect();
  TDDFCloseButtonEh* CloseButton() const { return FCloseButton; }
  TDDFSizingBarEh* SizingBar() const { return FSizingBar; }
  TSizeGripEh* SizeGrip() const { return FSizeGrip; }
  TSizeGripEh* SizeGrip2() const { return FSizeGrip2; }
  TCanvas* Canvas() const;

  // events
  TInitDropDownFormEventEh OnInitForm;
  TPutBackFormParamsEventEh OnReturnParams;

  // introduced virtuals, in their table's order (GetDynParams, SetDynParams
  // and Execute above, GetGlobalRef through the metaclass)
  // The thin border round the client area.
  virtual void PaintFormBorder();
  // The sizing bar, close button and grips for the current layout.
  virtual void InitElements();
  virtual void InitForm(TDynVarsEh* DynParams);
  virtual void ReturnParams(TDynVarsEh* DynParams);
  // Descendants fit their size to their contents before placement.
  virtual void UpdateSize() {}

  // reimplemented
  void AdjustClientRect(TRect& Rect) override;

protected:
  // The form's own face, before the border; nothing here.
  virtual void Paint() {}

  // reimplemented
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Loaded() override;
  void DoClose(TCloseAction& Action) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void PaintWindow(gdi::HDC DC) override;

  // message handlers
  void WMActivate(TWMActivate& Message);
  void WMWindowPosChanged(TMessage& Message);
  void WMPaint(TWMPaint& Message);

private:
  void initializeNewForm();
  void placeGrips(bool AtBottom);
  void updateGripWindows();
  void restoreMasterFocus();
  void endPendingCall();

  Integer FBorderWidth = 1;
  TDropDownFormCallbackProcEh FCallbackProc;
  bool FDropDownMode = true;
  TDropDownFormElementsEh FFormElements = AllDropDownFormElementsEh;
  bool FKeepFormVisible = false;
  bool FReadOnly = false;
  TSizeGripEh* FSizeGrip = nullptr;
  TSizeGripEh* FSizeGrip2 = nullptr;
  bool FActivateClosing = false;
  bool FActivateShowing = false;
  TDDFCloseButtonEh* FCloseButton = nullptr;
  TDropLayoutEh FDropLayout = dlUnderControlEh;
  TDynVarsEh* FDynParams = nullptr;
  TWinControl* FMasterFocusControl = nullptr;
  TCustomForm* FMasterForm = nullptr;
  bool FModalMode = false;
  TDDFSizingBarEh* FSizingBar = nullptr;
  TDropDownFormSysParams* FSysParams = nullptr;
  bool FClosing = false;
  TControlCanvas* FCanvas;
};
