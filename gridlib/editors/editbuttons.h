// Edit buttons: the persistent definition of one small button at the right
// edge of an edit control or a grid cell editor (TEditButtonEh), the
// collection of further buttons (TEditButtonsEh), the two main-button
// flavours, the button's state images and its action link, and the stored
// part of the drop-down form parameters every button owns.
//
// A definition never paints: its owner shows it as a TEditButtonControlEh.
// Changes reach the owner as notices: EditButtonChanged goes to OnChanged
// when the owning control set it, else through the collection
// (TEditButtonsEh::Update, then its OnChanged(item)); a changed image list
// goes to OnRefComponentChanged.
//
// The button owns its glyph, its images, its drop-down parameters and its
// action link, and frees them in the order action link, glyph, images,
// drop-down parameters.  The action, the popup menu and the image lists are
// references.
#pragma once

#include "gridlib/editors/dropdowncall.h"
#include "gridlib/editors/editbuttontypes.h"
#include "gridlib/editors/speedbutton.h"
#include "platform/rtl/collection.h"
#include "platform/rtl/interfaces.h"
#include "platform/ui/windowing/actions.h"

class TBitmap;
class TCustomForm;
class TDataLink;
class TEditButtonControlEh;
class TEditButtonEh;
class TField;
class TPopupMenu;
class TWinControl;

// Alt+Down, the shortcut of a main button.
inline constexpr TShortCut AltDownShortCutEh = 32808;

// ---------------------------------------------------------------------------
// the owner's default draw-back time

// What the owner of a TEditButtonsEh may implement: the draw-back time of
// its buttons that set none of their own.
class IEditButtonsOwnerEh : public IInterface {
public:
  static constexpr TGUID IID = TGUID::Literal("{752673AE-5902-47A7-9BA0-0157FFFB85C6}");
  virtual TEditButtonDrawBackTimeEh DefaultDrawBackTime() = 0;
};

// ---------------------------------------------------------------------------
// drop-down form parameters and the call they run (dropdowncall.h)

class TDropDownFormCallParamsEh : public TPersistent {
  RTL_CLASS(TDropDownFormCallParamsEh, TPersistent)
public:
  // daCenter, pspFieldValueEh, form size -1 x -1, SaveFormSize.
  TDropDownFormCallParamsEh() = default;
  static void DescribeProperties(TPropertyTable& Props);

  // The nine published properties from another parameters object.
  void Assign(TPersistent* Source) override;

  // properties
  TDropDownAlign Align() const { return FAlign; }
  void SetAlign(TDropDownAlign Value) { FAlign = Value; }
  const String& AssignBackFieldNames() const { return FAssignBackFieldNames; }
  void SetAssignBackFieldNames(const String& Value) { FAssignBackFieldNames = Value; }
  // Not owned.  A different value: Changed.
  TCustomForm* DropDownForm() const { return FDropDownForm; }
  void SetDropDownForm(TCustomForm* Value);
  const String& DropDownFormClassName() const { return FDropDownFormClassName; }
  void SetDropDownFormClassName(const String& Value);
  Integer FormHeight() const { return FFormHeight; }
  void SetFormHeight(Integer Value) { FFormHeight = Value; }
  Integer FormWidth() const { return FFormWidth; }
  void SetFormWidth(Integer Value) { FFormWidth = Value; }
  const String& PassFieldNames() const { return FPassFieldNames; }
  void SetPassFieldNames(const String& Value) { FPassFieldNames = Value; }
  TDropDownPassParamsEh PassParams() const { return FPassParams; }
  void SetPassParams(TDropDownPassParamsEh Value) { FPassParams = Value; }
  bool SaveFormSize() const { return FSaveFormSize; }
  void SetSaveFormSize(bool Value) { FSaveFormSize = Value; }

  TNotifyEvent OnChanged;
  TCheckDataIsReadOnlyEventEh OnCheckDataIsReadOnly;

  // With SaveFormSize: the form's own size kept, FormWidth / FormHeight
  // applied when positive; on close the user's size remembered and the
  // form's own size given back.
  void ApplyFormSizeOnOpen(TCustomForm* Form);
  void RememberFormSizeOnClose(TCustomForm* Form);

  // the call fields: the caller fills them before each call; they keep
  // their last values (none owned)
  TDataLink* FDataLink = nullptr;
  TEditButtonEh* FEditButton = nullptr;
  TEditButtonControlEh* FEditButtonControl = nullptr;
  TWinControl* FEditControl = nullptr;
  TRect FEditControlScreenRect;  // where to drop down without an edit control
  TField* FField = nullptr;
  TEditControlCloseDropDownFormEventEh FOnCloseDropDownFormProc;
  TGetDropDownFormEventEh FOnGetActualDropDownFormProc;
  TGetVarValueProcEh FOnGetVarValueProc;
  TEditControlShowDropDownFormEventEh FOnOpenDropDownFormProc;
  TSetVarValueProcEh FOnSetVarValueProc;

  // introduced virtuals, in their table's order; the getters answer the
  // call fields
  virtual TWinControl* GetEditControl() { return FEditControl; }
  virtual TEditButtonEh* GetEditButton() { return FEditButton; }
  virtual TEditButtonControlEh* GetEditButtonControl() { return FEditButtonControl; }
  // The actual-form procedure alone when set; else DropDownForm; else the
  // registered class's shared instance, or a new one owned by the edit
  // control and freed on close.  An unknown class name raises "Class 'X'
  // is not registered".
  virtual TCustomForm* GetDropDownForm(bool& FreeFormOnClose);
  virtual TEditControlShowDropDownFormEventEh GetOnOpenDropDownFormProc() { return FOnOpenDropDownFormProc; }
  virtual TEditControlCloseDropDownFormEventEh GetOnCloseDropDownFormProc() { return FOnCloseDropDownFormProc; }
  virtual TSetVarValueProcEh GetOnSetVarValueProc() { return FOnSetVarValueProc; }
  virtual TGetVarValueProcEh GetOnGetVarValueProc() { return FOnGetVarValueProc; }
  virtual TDataLink* GetDataLink() { return FDataLink; }
  virtual TField* GetField() { return FField; }
  // Null filled by the get-value procedure; Unassigned without one.
  virtual Variant GetVarValue();
  // The field's ReadOnly, as OnCheckDataIsReadOnly leaves it.
  virtual bool CheckDataIsReadOnly();
  // The edit control on the screen, else FEditControlScreenRect.
  virtual TRect GetEditControlBounds();
  // A new TEditControlDropDownFormSysParams (the caller owns it).
  virtual TDropDownFormSysParams* CreateSysParams();
  virtual void ReleaseEditButtonsOnClose(bool Accept, TCustomForm* DropDownForm, TDynVarsEh* DynParams,
                                         TDropDownFormSysParams* SysParams) {}
  // Holds the button control down; the form's ReadOnly from the data.
  virtual void PressEditButtonOnOpen(TCustomForm* DropDownForm, TDynVarsEh* DynParams,
                                     TDropDownFormSysParams* SysParams);
  // OnChanged(this) when set.
  virtual void Changed();
  // The form closed: write back when accepted, hide, remember the user's
  // size, the close procedure, WM_USER to the edit control, free the bag
  // and the system parameters.  Errors go to the application's handler
  // while the form stays visible.
  virtual void DropDownFormCallbackProc(TCustomForm* DropDownForm, bool Accept, TDynVarsEh* DynParams,
                                        TDropDownFormSysParams* SysParams);
  virtual void FillPassParams(TDynVarsEh* DynParams);
  virtual void AssignBackParams(TDynVarsEh* DynParams);
  virtual void CallOpenDropDownFormProc(TCustomForm*& DropDownForm, TDynVarsEh* DynParams,
                                        TDropDownFormSysParams* SysParams);
  virtual void FillSysParams(TDropDownFormSysParams* SysParams);
  virtual void CallSetVarValueProc(const Variant& VarValue);
  // Finds, fills and shows the form without blocking; Handled := True once
  // it shows.  A form that cannot take part (none, or no IDropDownFormEh)
  // leaves Handled as it was.
  virtual void CheckShowDropDownForm(bool& Handled);

private:
  TDropDownAlign FAlign = daCenter;
  String FAssignBackFieldNames;
  TCustomForm* FDropDownForm = nullptr;
  String FDropDownFormClassName;
  Integer FFormHeight = -1;
  Integer FFormWidth = -1;
  Integer FOldFormHeight = 0;
  Integer FOldFormWidth = 0;
  String FPassFieldNames;
  TDropDownPassParamsEh FPassParams = pspFieldValueEh;
  bool FSaveFormSize = true;
};

// ---------------------------------------------------------------------------
// images and action link

// The state images of a button; their changes reach the owning button.
class TEditButtonImagesEh : public TButtonImagesEh {
  RTL_CLASS(TEditButtonImagesEh, TButtonImagesEh)
public:
  explicit TEditButtonImagesEh(TEditButtonEh* Owner) : FOwner(Owner) {}

protected:
  void Changed() override;
  void RefComponentChanged(TComponent* RefComponent) override;

private:
  TEditButtonEh* FOwner;
};

// Links a button to a TCustomAction: Enabled, Hint, ShortCut and Visible
// follow the action while the button still shows the action's values.
class TEditButtonActionLinkEh : public TActionLink {
  RTL_CLASS(TEditButtonActionLinkEh, TActionLink)
public:
  explicit TEditButtonActionLinkEh(TObject* AClient);

  // The linked tests (public: the button's stored tests ask them).
  bool IsEnabledLinked() override;
  bool IsHintLinked() override;
  bool IsShortCutLinked() override;
  bool IsVisibleLinked() override;

protected:
  void AssignClient(TObject* AClient) override;
  void SetEnabled(bool Value) override;
  void SetHint(const String& Value) override;
  void SetShortCut(TShortCut Value) override;
  void SetVisible(bool Value) override;

  TEditButtonEh* FClient = nullptr;
};

// ---------------------------------------------------------------------------
// TEditButtonEh

class TEditButtonEh : public TCollectionItem {
  RTL_CLASS(TEditButtonEh, TCollectionItem)
public:
  // A button owned by an edit control, outside any collection.
  explicit TEditButtonEh(TWinControl* EditControl);
  // An item of Collection (built inside its BeginUpdate / EndUpdate).
  explicit TEditButtonEh(TCollection* Collection);
  ~TEditButtonEh() override;
  static void DescribeProperties(TPropertyTable& Props);

  // The thirteen values of another button, in order: Action, DropdownMenu,
  // Enabled, Glyph, Hint, NumGlyphs, ShortCut, Style, Visible, Width,
  // OnClick, OnDown, Images.  DefaultAction, DrawBackTime and the drop-down
  // parameters stay.
  void Assign(TPersistent* Source) override;

  // properties
  TBasicAction* Action() const;
  void SetAction(TBasicAction* Value);
  // The explicit value, else the one the owner grants.
  bool DefaultAction() const { return FDefaultActionStored ? FDefaultAction : FParentDefinedDefaultAction; }
  void SetDefaultAction(bool Value);
  bool DefaultActionStored() const { return FDefaultActionStored; }
  void SetParentDefinedDefaultAction(bool Value) { FParentDefinedDefaultAction = Value; }
  TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
  void SetDropdownMenu(TPopupMenu* Value);
  TDropDownFormCallParamsEh* DropDownFormParams() const { return FDropDownFormParams; }
  void SetDropDownFormParams(TDropDownFormCallParamsEh* Value) { FDropDownFormParams->Assign(Value); }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  TBitmap* Glyph() const { return FGlyph; }
  // Copies the bitmap; always signals.
  void SetGlyph(TBitmap* Value);
  const String& Hint() const { return FHint; }
  void SetHint(const String& Value);
  TEditButtonImagesEh* Images() const { return FImages; }
  void SetImages(TEditButtonImagesEh* Value) { FImages->Assign(Value); }
  // 1 to 4: 0 or less reads 1, above 4 reads 4.
  Integer NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(Integer Value);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  TEditButtonStyleEh Style() const { return FStyle; }
  void SetStyle(TEditButtonStyleEh Value);
  bool Visible() const { return GetVisible(); }
  // 0: the owner's default width.
  Integer Width() const { return FWidth; }
  void SetWidth(Integer Value);
  TEditButtonDrawBackTimeEh DrawBackTime();
  void SetDrawBackTime(TEditButtonDrawBackTimeEh Value);
  bool DrawBackTimeStored() { return IsDrawBackTimeStored(); }
  void SetDrawBackTimeStored(bool Value);
  TWinControl* EditControl() const { return FEditControl; }

  // events
  const TButtonClickEventEh& OnClick() const { return FOnButtonClick; }
  void SetOnClick(const TButtonClickEventEh& Value);
  const TEditButtonDownEventEh& OnDown() const { return FOnButtonDown; }
  void SetOnDown(const TEditButtonDownEventEh& Value);
  // Set by the owning control to hear of changes.
  TNotifyEvent OnChanged;
  TRefComponentNotifyEventEh OnRefComponentChanged;

  // notices to the owner
  void EditButtonChanged();
  void RefComponentChanged(TComponent* RefComponent);

  // introduced virtuals
  virtual TDropDownFormCallParamsEh* CreateDropDownFormParams();
  // A control owned by and parented to the edit control: replicatable,
  // 10 x 17, visible, opaque.
  virtual TEditButtonControlEh* CreateEditButtonControl();
  virtual TEditButtonDrawBackTimeEh DefaultDrawBackTime();
  virtual bool GetVisible() const { return FVisible; }
  virtual bool IsDrawBackTimeStored() { return FDrawBackTimeStored; }
  virtual void SetVisible(bool Value);
  // The link SetAction makes on first use (the caller owns it).
  virtual TEditButtonActionLinkEh* CreateActionLink();
  // OnClick alone when set (Handled as it leaves it); else the action with
  // the edit control, the collection's owning component or nothing as its
  // target, and Handled becomes True.
  virtual void Click(TObject* Sender, bool& Handled);
  // The action link asks its action to update.
  virtual void InitiateAction();

  // stored tests
  bool IsEnabledStored();
  bool IsHintStored();
  bool IsShortCutStored();
  bool IsVisibleStored();

protected:
  friend class TEditButtonActionLinkEh;
  // Copies the action's values (onto defaults only with CheckDefaults).
  void ActionChange(TObject* Sender, bool CheckDefaults);
  TEditButtonActionLinkEh* ActionLink() const { return FActionLink; }

  TShortCut FShortCut = 0;

private:
  void init();
  void doActionChange(TObject* Sender);

  TEditButtonActionLinkEh* FActionLink = nullptr;
  bool FDefaultAction = false;
  bool FDefaultActionStored = false;
  TEditButtonDrawBackTimeEh FDrawBackTime = edbtAlwaysEh;
  bool FDrawBackTimeStored = false;
  TDropDownFormCallParamsEh* FDropDownFormParams = nullptr;
  TPopupMenu* FDropdownMenu = nullptr;
  TWinControl* FEditControl = nullptr;
  bool FEnabled = true;
  TBitmap* FGlyph = nullptr;
  String FHint;
  TEditButtonImagesEh* FImages = nullptr;
  Integer FNumGlyphs = 1;
  TButtonClickEventEh FOnButtonClick;
  TEditButtonDownEventEh FOnButtonDown;
  TEditButtonStyleEh FStyle = ebsDropDownEh;
  bool FVisible = false;
  Integer FWidth = 0;
  bool FParentDefinedDefaultAction = false;
};

// The main button of a combo-like edit: ShortCut Alt+Down by default.
class TDropDownEditButtonEh : public TEditButtonEh {
  RTL_CLASS(TDropDownEditButtonEh, TEditButtonEh)
public:
  explicit TDropDownEditButtonEh(TWinControl* EditControl);
  explicit TDropDownEditButtonEh(TCollection* Collection);
  static void DescribeProperties(TPropertyTable& Props);
};

// The main button shown by default: Visible and ShortCut Alt+Down.
class TVisibleEditButtonEh : public TEditButtonEh {
  RTL_CLASS(TVisibleEditButtonEh, TEditButtonEh)
public:
  explicit TVisibleEditButtonEh(TWinControl* EditControl);
  explicit TVisibleEditButtonEh(TCollection* Collection);
  static void DescribeProperties(TPropertyTable& Props);
};

// ---------------------------------------------------------------------------
// TEditButtonsEh

class TEditButtonsEh : public TCollection {
  RTL_CLASS(TEditButtonsEh, TCollection)
public:
  // Owner: the control or column the collection belongs to (not owned).
  TEditButtonsEh(TPersistent* Owner, TCollectionItemClass EditButtonClass);

  TEditButtonEh* Add() { return static_cast<TEditButtonEh*>(TCollection::Add()); }
  TEditButtonEh* EditButton(Integer Index) const { return static_cast<TEditButtonEh*>(Items(Index)); }
  // Assigns Value into the item at Index.
  void SetEditButton(Integer Index, TEditButtonEh* Value) { Items(Index)->Assign(Value); }

  // The owner's answer through IEditButtonsOwnerEh, else edbtAlwaysEh.
  virtual TEditButtonDrawBackTimeEh DefaultDrawBackTime();

  TNotifyEvent OnChanged;
  TRefComponentNotifyEventEh OnRefComponentChanged;

protected:
  TPersistent* GetOwner() override { return FOwner; }
  // The inherited update, then OnChanged(Item) (nullptr: the whole list).
  void Update(TCollectionItem* Item) override;

private:
  TPersistent* FOwner;
};
