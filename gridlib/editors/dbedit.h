// The data-aware single-field edit of the library (TCustomDBEditEh,
// published as TDBEditEh) and the interfaces it shares with grids, labels
// and drop-downs.
//
// Field and control, the cycle:
//   a record change, Reset, binding  -> DataChange: the field's display text
//                                       unfocused, its edit text focused
//   the first modifying key          -> the link starts editing (the window
//                                       is read-only until then)
//   typing                           -> the link is modified; nothing written
//   leaving, Post, UpdateRecord      -> UpdateData writes Text once, unless
//                                       OnUpdateData handles it
//   Esc                              -> the field's value again, all selected
// A text the field rejects on leaving keeps the focus and the text, the
// error going on; OnExit does not fire.  Without data source and field the
// link holds the value: the same control is an unbound editor.
//
// In place (SetInplaceEditHolder), a grid sees every message and key of the
// editor first through IInplaceEditHolderEh.
//
// Layout (client coordinates, W x H; B the buttons box's width, I the
// edit image's):
//   +-------+------------------------------+---------+
//   | image |  text (CalcEditRect)         | buttons |   left-to-right
//   | 0..I  |  I .. W-B                    | W-B..W  |
//   +-------+------------------------------+---------+
// mirrored for right-to-left.  The inner edit is multi-line only so that it
// takes the text rectangle; dialog codes and DefaultHandler keep it
// single-line for the user.  While unfocused, right and centre alignment,
// the required underline and the placeholder are painted by the control.
#pragma once

#include "gridlib/editors/editbuttons.h"
#include "platform/rtl/interfaces.h"
#include "platform/rtl/variant.h"
#include "platform/ui/controls/mask.h"

class TControlCanvas;
class TControlEmptyDataInfoEh;
class TCustomImageList;
class TControlLabelEh;
class TControlLabelLocationEh;
class TCustomForm;
class TDataLink;
class TDataSource;
class TDynVarsEh;
class TEditButtonControlEh;
class TEditButtonsBoxEh;
class TEditImageEh;
class TField;
class TFieldDataLinkEh;
class TMRUListEh;
class TStrings;
class TWriter;
class TReader;

// ---------------------------------------------------------------------------
// interfaces

// What a grid hosting an edit as its cell editor provides.
class IInplaceEditHolderEh : public IInterface {
public:
  static constexpr TGUID IID = TGUID::Literal("{4BE708F1-4EA2-4AC7-BA64-89D7D2B83E09}");
  virtual bool InplaceEditCanModify(TControl* Editor) = 0;
  // The screen position and message time of the mouse-down that started
  // the editor.
  virtual void GetMouseDownInfo(TPoint& Pos, Cardinal& Time) = 0;
  // A non-zero Result marks Message handled.
  virtual void InplaceEditWndProc(TControl* Editor, TMessage& Message) = 0;
  virtual void InplaceEditKeyDown(TControl* Editor, Word& Key, TShiftState Shift) = 0;
  virtual void InplaceEditKeyPress(TControl* Editor, Char& Key) = 0;
  virtual void InplaceEditKeyUp(TControl* Editor, Word& Key, TShiftState Shift) = 0;
};

// What an edit offers a grid that hosts it.
class IInplaceEditEh : public IInterface {
public:
  static constexpr TGUID IID = TGUID::Literal("{81F0C558-B001-4477-BAA6-2DC373FCDF88}");
  virtual TFont* GetFont() = 0;
  virtual void SetInplaceEditHolder(TWinControl* Holder) = 0;
  virtual void SetBorderStyle(TBorderStyle Value) = 0;
  virtual void SetFont(TFont* Value) = 0;
  virtual void SetColor(TColor Value) = 0;
  virtual void SetOnKeyPress(const TKeyPressEvent& Value) = 0;
  virtual void SetOnExit(const TNotifyEvent& Value) = 0;
};

// Closing a control's drop-down.
class IComboEditEh : public IInterface {
public:
  static constexpr TGUID IID = TGUID::Literal("{B64255B5-386A-4524-8BC7-7F49DDB410F4}");
  virtual void CloseUp(bool Accept) = 0;
};

// A control that owns a caption label: what the label and its placement
// ask of it.
class IControlLabelOwnerEh : public IInterface {
public:
  static constexpr TGUID IID = TGUID::Literal("{5EE8C2C7-BD36-4131-9617-FF023104A331}");
  virtual String GetControlLabelCaption() = 0;
  // The bottom of the control's text line, from the control's top.
  virtual Integer GetControlTextBaseline() = 0;
  virtual void UpdateControlLabelPosition() = 0;
  virtual void ControlLabelLocationChanged() = 0;
};

// ---------------------------------------------------------------------------
// TCustomDBEditEh

RTL_ENUM(TDBEditEhValue, evAlignmentEh, evEditMaskEh)
using TDBEditEhValues = TSet<TDBEditEhValue>;
using TGetFieldDataEventEh = TMethodPtr<void(TObject* Sender, Variant& Value, bool& Handled)>;
using TUpdateDataEventEh = TMethodPtr<void(TObject* Sender, bool& Handled)>;
using TOnCheckDrawRequiredStateEventEh = TMethodPtr<void(TObject* Sender, bool& DrawState)>;
using TGetImageIndexEventEh = TMethodPtr<void(TObject* Sender, Integer& ImageIndex)>;

inline constexpr const char* SInplaceEditHolderNotSupported =
    "InplaceEditHolder have to support IInplaceEditHolderEh interface";

class TCustomDBEditEh : public TCustomMaskEdit,
                        public IControlLabelOwnerEh,
                        public IComboEditEh,
                        public IInplaceEditEh {
  RTL_CLASS(TCustomDBEditEh, TCustomMaskEdit)
  UI_MESSAGE_MAP
public:
  explicit TCustomDBEditEh(TComponent* AOwner);
  ~TCustomDBEditEh() override;
  // Detaches the data source while the control is whole.
  void BeforeDestruction() override;

  // properties
  String Text() { return TCustomMaskEdit::GetText(); }
  // Not data-independent: the dataset goes into dsEdit first (skipped
  // without a dataset); written at once unless OnUpdateData runs; a failed
  // write shows the field again and raises.
  void SetText(const String& Value);
  Variant Value() { return GetVariantValue(); }
  void SetValue(const Variant& Value) { ChangeValue(Value); }
  TField* Field() const;
  TDataSource* DataSource() const { return GetDataSource(); }
  String DataField() const { return GetDataField(); }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  const String& EditMask() const { return TCustomMaskEdit::EditMask(); }
  void SetEditMask(const String& Value);
  TAlignment Alignment() const;
  void SetAlignment(TAlignment Value);
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  bool WantReturns() const { return FWantReturns; }
  void SetWantReturns(bool Value) { FWantReturns = Value; }
  bool WantTabs() const { return FWantTabs; }
  void SetWantTabs(bool Value) { FWantTabs = Value; }
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  bool AlwaysShowBorder() const { return FAlwaysShowBorder; }
  void SetAlwaysShowBorder(bool Value);
  bool HighlightRequired() const { return FHighlightRequired; }
  void SetHighlightRequired(bool Value) { FHighlightRequired = Value; }
  bool Tooltips() const { return FTooltips; }
  void SetTooltips(bool Value);
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  TEditButtonEh* EditButton() const { return FEditButton; }
  void SetEditButton(TEditButtonEh* Value) { FEditButton->Assign(Value); }
  TEditButtonsEh* EditButtons() const { return FEditButtons; }
  void SetEditButtons(TEditButtonsEh* Value) { FEditButtons->Assign(Value); }
  TDynVarsEh* DynProps() const { return FDynProps; }
  void SetDynProps(TDynVarsEh* Value);
  TMRUListEh* MRUList() const { return FMRUList; }
  void SetMRUList(TMRUListEh* Value);
  TFieldDataLinkEh* DataLink() const { return FDataLink; }
  TEditButtonsBoxEh* ButtonsBox() const { return FButtonsBox; }
  bool InplaceMode() const { return FInplaceMode; }
  bool Visible();
  void SetVisible(bool Value);
  // Recreates the window: the inner edit is multi-line only without one.
  void SetPasswordChar(Char Value);
  TEditImageEh* EditImage() const { return FEditImage; }
  // The width reserved for the image, taken at window creation.
  Integer ImageWidth() const { return FImageWidth; }
  TCustomImageList* Images() const;
  // Also makes the edit image visible.
  void SetImages(TCustomImageList* Value);
  TControlEmptyDataInfoEh* EmptyDataInfo() const { return FEmptyDataInfo; }
  void SetEmptyDataInfo(TControlEmptyDataInfoEh* Value);
  TControlLabelEh* ControlLabel() const { return FControlLabel; }
  TControlLabelLocationEh* ControlLabelLocation() const { return FControlLabelLocation; }
  void SetControlLabelLocation(TControlLabelLocationEh* Value);
  // The recent entries' pop-up, made on first use.
  TWinControl* GetMRUListControl();
  TControlCanvas* GetCanvas();

  // stored tests
  bool IsTextStored();
  bool IsAlignmentStored() const { return FAssignedValues.Contains(evAlignmentEh); }
  bool IsValueStored();

  // operations
  void Clear() override;
  void Undo();
  void Reset() override;
  String GetCompleteKeyPress() const { return FCompleteKeyPress; }
  void Deselect();
  // In place: placed with redraw (Move) or without (UpdateLoc); an empty
  // rectangle hides.  Otherwise the bounds.
  void Move(const TRect& Loc);
  void UpdateLoc(const TRect& Loc);
  void Hide();
  void SetFocus() override;

  // the edit's buttons
  // The box entry's control that shows Button, or nullptr.
  TEditButtonControlEh* GetEditButtonControlByEditButton(TEditButtonEh* Button);
  // The visible main button with DefaultAction, else the first such further
  // button, else nullptr.
  TEditButtonEh* GetFirstDefaultActionEditButton();
  // The main button with that ShortCut, else the first further one.
  TEditButtonEh* GetEditButtonByShortCut(TShortCut ShortCut);
  bool DroppedDown() const { return FDroppedDown; }

  // IInplaceEditEh
  TFont* GetFont() override { return Font(); }
  // Raises SInplaceEditHolderNotSupported for a holder without the
  // interface, keeping the old holder.
  void SetInplaceEditHolder(TWinControl* Holder) override;
  void SetBorderStyle(TBorderStyle Value) override { TCustomEdit::SetBorderStyle(Value); }
  void SetFont(TFont* Value) override { TControl::SetFont(Value); }
  void SetColor(TColor Value) override { TControl::SetColor(Value); }
  void SetOnKeyPress(const TKeyPressEvent& Value) override { OnKeyPress = Value; }
  void SetOnExit(const TNotifyEvent& Value) override { OnExit = Value; }

  // events
  TGetFieldDataEventEh OnGetFieldData;
  TUpdateDataEventEh OnUpdateData;
  TButtonClickEventEh OnButtonClick;
  TEditButtonDownEventEh OnButtonDown;
  TOnCheckDrawRequiredStateEventEh OnCheckDrawRequiredState;
  TEditControlCloseDropDownFormEventEh OnCloseDropDownForm;
  TEditControlShowDropDownFormEventEh OnOpenDropDownForm;
  const TGetImageIndexEventEh& OnGetImageIndex() const { return FOnGetImageIndex; }
  void SetOnGetImageIndex(const TGetImageIndexEventEh& Value);

  // actions fall back to the data link's source
  bool ExecuteAction(TBasicAction* Action) override;
  bool UpdateAction(TBasicAction* Action) override;
  bool UseRightToLeftAlignment() override;

  // introduced virtuals, in their table's order; the edit buttons' actions
  // do nothing or give the neutral answer here
  virtual bool CanModifyData();
  virtual bool IsDataActive();
  virtual TFieldDataLinkEh* CreateDataLink();
  virtual TEditButtonEh* CreateEditButton();
  virtual TEditButtonsEh* CreateEditButtons();
  virtual TEditImageEh* CreateEditImage();
  virtual TWinControl* CreateMRUListbox();
  virtual bool IsDataIndepended();
  virtual TAlignment DefaultAlignment();
  virtual String DefaultEditMask();
  virtual Integer DefaultImageIndex() { return -1; }
  // The main button: its Visible; a further one: no OnClick or OnDown, no
  // form named and no drop-down menu.
  virtual bool IsParentDefinedDefaultAction(TEditButtonEh* Button);
  virtual String FilterPastedText(const String& Text);
  // The field's display name, else the control's Name.
  String GetControlLabelCaption() override;
  Integer GetControlTextBaseline() override;
  virtual String GetDataField() const;
  virtual String ValueToText(const Variant& Value);
  virtual TDataSource* GetDataSource() const;
  virtual String GetPaintCopyText();
  virtual TColor GetBackColor();
  virtual TColor GetFontColor();
  virtual Variant GetVariantValue();
  virtual bool IsValidChar(Char Key);
  virtual void DataLinkActiveChanged(TObject* Sender);
  virtual void AdjustHeight();
  void UpdateControlLabelPosition() override;
  // A drop-down form's ReadOnly from the edit's; then OnOpenDropDownForm.
  virtual void DoOpenDropDownForm(TControl* EditControl, TEditButtonEh* Button, TCustomForm*& DropDownForm,
                                  TDynVarsEh* DynParams);
  virtual void CalcEditRect(TRect& Rect);
  virtual void CloseUp(bool Accept) override {}
  virtual void CreateEditButtonControl(TEditButtonControlEh*& Control);
  virtual void DataChanged();
  // Closes the recent-entries list when it is open.
  virtual void EditButtonDropDown(TEditButtonEh* Button, TEditButtonControlEh* ButtonControl, bool& Handled);
  // The button's Click, the edit's OnButtonClick (main button), the default
  // action; then CloseUp(False) for the dropped-down button's control
  // unless FNoClickCloseUp.
  virtual void EditButtonClick(TObject* Sender);
  virtual void EditButtonClickDefaultAction(TEditButtonEh* Button, TEditButtonControlEh* ButtonControl,
                                            bool& Handled);
  // Focuses the edit; then, while focused, OnButtonDown, the drop-down
  // form, the drop-down menu and the default action, until one handles it.
  virtual void EditButtonDown(TObject* Sender, bool TopButton, bool& AutoRepeat, bool& Handled);
  virtual void EditButtonDefaultAction(TEditButtonEh* Button, TEditButtonControlEh* ButtonControl, bool TopButton,
                                       bool& AutoRepeat, bool& Handled);
  virtual void EditButtonMouseMove(TObject* Sender, TShiftState Shift, int X, int Y) {}
  virtual void EditButtonMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void EditingChanged(TObject* Sender);
  virtual void FilterMRUItem(const String& Item, bool& Accept);
  // The shared instance of DefaultDropDownMemoFormClass, never freed.
  virtual void GetDefaultDropDownForm(TCustomForm*& DropDownForm, bool& FreeFormOnClose);
  virtual void GetValueForDropDown(Variant& Value) { Value = this->Value(); }
  virtual void InternalSetText(const String& AText);
  virtual void InternalSetValue(const Variant& AValue);
  virtual void WriteTextToDataLink();
  void ControlLabelLocationChanged() override;
  virtual void FillMRUAutogenItems(TObject* Sender, TStrings* AutogenItems);
  virtual void DrawHighlightRequired(TCanvas* Canvas);
  virtual void ResetMaxLength();
  virtual void SetDataField(const String& Value);
  virtual void SetDataSource(TDataSource* Value);
  virtual void ClearDroppedDownState();
  // Dropped down through Button: its control kept drawn pressed.
  virtual void SetDroppedDownState(TEditButtonEh* Button, TEditButtonControlEh* ButtonControl);
  virtual void SetFocused(bool Value);
  virtual void ChangeValue(const Variant& Value);
  virtual void SetValueFromDropDown(const Variant& Value) { ChangeValue(Value); }
  virtual void UpdateEditReadOnly();
  virtual void UpdateHeightStyle();
  virtual void UpdateShowHint();
  virtual void UpdateImageIndex();
  virtual void UserTextChanged();
  // With a mask: the edit text equals the mask over an empty text.
  virtual bool IsEmpty();
  virtual void UpdateData();

  // layout and the lit border
  void UpdateEditRect();
  void UpdateButtonsBox();
  void UpdateButtonsState();
  void UpdateBorderActive();
  TRect GetButtonsRect();
  TRect GetImageRect();
  TRect GetPaintTextRect();
  // The text's left and top margins for painting.
  TPoint GetTextMargins();
  void PaintFlatBorder(gdi::HDC DC, bool Active);

  // reimplemented
  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;
  void SetParent(TWinControl* AParent) override;
  void SetName(const String& NewName) override;
  void SetAutoSize(bool Value) override;
  void ChangeScale(Integer M, Integer D, bool IsDpiChange) override;

protected:
  // reimplemented
  void DefineProperties(TFiler* Filer) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void WndProc(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;
  void CreateWnd() override;
  bool EditCanModify() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void Change() override;
  void CreateParams(TCreateParams& Params) override;
  void PaintWindow(gdi::HDC DC) override;

  // message handlers
  void WMSize(TWMSize& Message);
  void WMGetDlgCode(TMessage& Message);
  void WMChar(TWMKey& Message);
  void WMLButtonDown(TWMMouse& Message);
  void WMSetFocus(TWMSetFocus& Message);
  void WMKillFocus(TWMSetFocus& Message);
  void WMCut(TMessage& Message);
  void WMPaste(TMessage& Message);
  void WMClear(TMessage& Message);
  void WMUndo(TMessage& Message);
  void CMEnter(TCMEnter& Message);
  void CMExit(TCMExit& Message);
  void CMWantSpecialKey(TCMWantSpecialKey& Message);
  void CMGetDataLink(TMessage& Message);
  void CMShowingChanged(TMessage& Message);
  void WMSetCursor(TWMSetCursor& Message);
  void WMNCPaint(TWMNCPaint& Message);
  void CMMouseEnter(TCMMouseEnter& Message);
  void CMMouseLeave(TCMMouseLeave& Message);
  void CMRecreateWnd(TMessage& Message);
  void CMColorChanged(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMSysColorChange(TMessage& Message);
  void CMParentShowHintChanged(TMessage& Message);
  void CMVisibleChanged(TMessage& Message);
  void CMBiDiModeChanged(TMessage& Message);
  void CMHintShow(TCMHintShow& Message);
  void CMCancelMode(TCMCancelMode& Message);
  void CMMouseWheel(TCMMouseWheel& Message);
  void CMEditImageChanged(TMessage& Message);

  bool FFocused = false;

private:
  void DataChange(TObject* Sender);
  void DataLinkUpdateData(TObject* Sender);
  // the edit's buttons (dbedit_buttons.cpp)
  friend void DefaultEditButtonAction(TCustomDBEditEh* EditControl, TEditButtonEh* Button,
                                      TEditButtonControlEh* ButtonControl, bool IsMouseDown, bool& Handled);
  bool pressButtonByShortCut(Word Key, TShiftState Shift);
  void popupDropdownMenu(TEditButtonEh* Button, TEditButtonControlEh* ButtonControl, bool& Handled);
  void buttonDown(TEditButtonEh* Button, TEditButtonControlEh* ButtonControl, bool TopButton, bool& AutoRepeat,
                  bool& Handled, bool ActionTest);
  void releaseButtonControls();
  void dropDownFormClosed(TCustomForm* DropDownForm, bool Accept, TDynVarsEh* DynParams,
                          TDropDownFormSysParams* SysParams);
  void defaultDropDownFormClosed(TControl* EditControl, TEditButtonEh* Button, bool Accept,
                                 TCustomForm* DropDownForm, TDynVarsEh* DynParams);
  void EditButtonsChanged(TObject* Sender);
  void watchImageList(TObject* Sender, TComponent* RefComponent);
  void AdjustMaskCaret();
  void pasteFiltered(const String& Pasted);
  void placeInplace(const TRect& Loc, bool Redraw);
  bool writeOrReset(const std::function<void()>& SetInternal);
  bool isMaskedControl() { return IsMasked(); }
  bool isDroppedChar(Char C) const;
  void readEditMask(TReader* Reader);
  void writeEditMask(TWriter* Writer);
  // painting
  // The font's text height (tmHeight), window or not.
  Integer fontTextHeight();
  bool useFlatFrame();
  bool hasThinFrame();
  // The buttons box's width; 0 once the box is gone (destruction).
  Integer buttonsWidth() const;
  void paintCustomText();
  void paintEmptyDataInfo();
  void syncMiddleEastExStyle(TAlignment Align);
  // recent entries
  void mruListDropDown(TObject* Sender);
  void mruListCloseUp(TObject* Sender, bool Accept);
  void mruListMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  bool mruListOpen() const;
  bool routeKeyToMRUList(TMessage& Message);
  void placeMRUList();

  // fields, in the design's order
  bool FAlwaysShowBorder = false;
  TDBEditEhValues FAssignedValues;
  TControlCanvas* FCanvas = nullptr;
  String FCompleteKeyPress;
  TControlLabelEh* FControlLabel = nullptr;
  TControlLabelLocationEh* FControlLabelLocation = nullptr;
  TDynVarsEh* FDynProps = nullptr;
  TEditButtonEh* FEditButton = nullptr;
  TEditButtonsEh* FEditButtons = nullptr;
  TEditImageEh* FEditImage = nullptr;
  TControlEmptyDataInfoEh* FEmptyDataInfo = nullptr;
  bool FFlat = false;
  bool FHighlightRequired = false;
  TMRUListEh* FMRUList = nullptr;
  TWinControl* FMRUListControl = nullptr;
  bool FReadOnly = false;
  bool FShowHint = false;
  bool FTooltips = false;
  bool FWantReturns = false;
  bool FWantTabs = false;
  bool FWordWrap = false;
  TGetImageIndexEventEh FOnGetImageIndex;
  TAlignment FAlignment = taLeftJustify;
  bool FBorderActive = false;
  Integer FButtonHeight = 0;
  TEditButtonsBoxEh* FButtonsBox = nullptr;
  TFieldDataLinkEh* FDataLink = nullptr;
  bool FDataPosting = false;
  Integer FDownButton = 0;
  bool FDroppedDown = false;
  TEditButtonEh* FDroppedDownButton = nullptr;
  TEditButtonControlEh* FDroppedDownButtonControl = nullptr;
  Integer FImageWidth = 0;
  TWinControl* FInplaceEditHolder = nullptr;
  bool FInplaceMode = false;
  TDataSource* FInternalDataSourceRef = nullptr;
  bool FInternalTextSetting = false;
  IInplaceEditHolderEh* FIntfInplaceEditHolder = nullptr;
  bool FMouseAboveControl = false;
  bool FNoClickCloseUp = false;
  bool FPressed = false;
  TRect FPressedRect;
  bool FUserTextChanged = false;
  bool FKeepMRUList = false;
  Integer FFieldMaxLength = 0;  // the MaxLength the bound field gave, cleared with it
};

// The published edit.
class TDBEditEh : public TCustomDBEditEh {
  RTL_CLASS(TDBEditEh, TCustomDBEditEh)
public:
  explicit TDBEditEh(TComponent* AOwner) : TCustomDBEditEh(AOwner) {}
  static void DescribeProperties(TPropertyTable& Props);
};

// ---------------------------------------------------------------------------
// the edit's buttons: the procedures grids and other edits share

// A button's default action: a press of a drop-down style opens the default
// memo form through the button's drop-down parameters; a click of an
// ellipsis or glyph style edits Text in that form as a modal dialog.
using TDefaultEditButtonActionProcEh = void (*)(TCustomDBEditEh* EditControl, TEditButtonEh* Button,
                                                TEditButtonControlEh* ButtonControl, bool IsMouseDown,
                                                bool& Handled);
void DefaultEditButtonAction(TCustomDBEditEh* EditControl, TEditButtonEh* Button,
                             TEditButtonControlEh* ButtonControl, bool IsMouseDown, bool& Handled);

// Set by the editors' start-up; nullptr before and after.
TDefaultEditButtonActionProcEh DefaultEditButtonActionProc();
void SetDefaultEditButtonActionProc(TDefaultEditButtonActionProcEh Proc);
// The form class whose shared instance is the default drop-down form and
// text editor; nullptr until a memo window class is installed.
TClass DefaultDropDownMemoFormClass();
void SetDefaultDropDownMemoFormClass(TClass FormClass);

// Opens Button's drop-down form for EditControl: not while its control is
// held down, nor when the WM_USER of the close that this press belongs to
// still waits.  The form is the parameters' form or one of the registered
// class (made for the call when the class has no shared instance).  The
// bag gets the PassFieldNames fields, else what PassParams says (Value for
// the field's value); OnOpenEvent may replace the form.  Shown without
// blocking: Handled := True, the control held down, CloseCallback on close.
void OpenEditButtonDropDownForm(TWinControl* EditControl, TDataLink* DataLink, TField* Field, const Variant& Value,
                                TEditButtonEh* Button, TEditButtonControlEh* ButtonControl,
                                const TEditControlShowDropDownFormEventEh& OnOpenEvent,
                                const TDropDownFormCallbackProcEh& CloseCallback, bool& Handled);
// The close of such a form: accepted values written back (SetValueProc for
// the first variable), the form hidden, the user's size remembered,
// OnCloseEvent with the actual button and form, WM_USER posted; the bag and
// system parameters freed in every case.  Errors go to the application's
// handler with the form kept visible.
void CloseEditButtonDropDownForm(TWinControl* EditControl, TDataLink* DataLink, TCustomForm* Form, bool Accept,
                                 TDynVarsEh* DynParams, TDropDownFormSysParams* SysParams,
                                 const TSetVarValueProcEh& SetValueProc,
                                 const TEditControlCloseDropDownFormEventEh& OnCloseEvent);
