#include "gridlib/editors/dbedit.h"

#include "gridlib/base/dynvars.h"
#include "gridlib/base/mrulist.h"
#include "gridlib/base/winroutines.h"
#include "gridlib/editors/buttonsbox.h"
#include "gridlib/editors/controllabel.h"
#include "gridlib/editors/editbuttoncontrol.h"
#include "gridlib/editors/editimage.h"
#include "gridlib/editors/fielddatalink.h"
#include "gridlib/grid/popuplistboxes.h"
#include "platform/db/dataset.h"
#include "platform/db/fields.h"
#include "platform/rtl/filer.h"
#include "platform/rtl/maskutils.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"
#include "platform/ui/dbctrls/dbctrls.h"
#include "platform/ui/windowing/actions.h"
#include "platform/ui/windowing/beep.h"
#include "platform/ui/windowing/clipbrd.h"
#include "platform/ui/windowing/forms.h"
#include "platform/ui/windowing/menus.h"
#include "platform/ui/windowing/window.h"

#include <algorithm>

using namespace gdi;

namespace {

constexpr Char CtrlA = Char(1);
constexpr Char Backspace = Char(8);
constexpr Char Tab = Char(9);
constexpr Char LineFeed = Char(10);
constexpr Char CarriageReturn = Char(13);
constexpr Char CtrlV = Char(22);
constexpr Char CtrlX = Char(24);
constexpr Char Space = Char(32);

// Fields whose Size counts characters, and so limits what the edit takes.
bool isStringField(const TField* Field) {
  return Field->DataType() == ftString || Field->DataType() == ftWideString;
}

// Keys that start editing when typed.
bool isEditingKey(Char Key) { return Key == Backspace || Key == CtrlV || Key == CtrlX || Key >= Space; }

}  // namespace

// ---------------------------------------------------------------------------
// construction and destruction

const TMessageMap& TCustomDBEditEh::MessageMap() {
  static const TMessageMap Map(TCustomMaskEdit::MessageMap(), {
      {WM_SIZE, &TCustomDBEditEh::WMSize},
      {WM_GETDLGCODE, &TCustomDBEditEh::WMGetDlgCode},
      {WM_CHAR, &TCustomDBEditEh::WMChar},
      {WM_LBUTTONDOWN, &TCustomDBEditEh::WMLButtonDown},
      {WM_SETFOCUS, &TCustomDBEditEh::WMSetFocus},
      {WM_KILLFOCUS, &TCustomDBEditEh::WMKillFocus},
      {WM_CUT, &TCustomDBEditEh::WMCut},
      {WM_PASTE, &TCustomDBEditEh::WMPaste},
      {WM_CLEAR, &TCustomDBEditEh::WMClear},
      {WM_UNDO, &TCustomDBEditEh::WMUndo},
      {CM_ENTER, &TCustomDBEditEh::CMEnter},
      {CM_EXIT, &TCustomDBEditEh::CMExit},
      {CM_WANTSPECIALKEY, &TCustomDBEditEh::CMWantSpecialKey},
      {CM_GETDATALINK, &TCustomDBEditEh::CMGetDataLink},
      {CM_SHOWINGCHANGED, &TCustomDBEditEh::CMShowingChanged},
      {WM_SETCURSOR, &TCustomDBEditEh::WMSetCursor},
      {WM_NCPAINT, &TCustomDBEditEh::WMNCPaint},
      {CM_MOUSEENTER, &TCustomDBEditEh::CMMouseEnter},
      {CM_MOUSELEAVE, &TCustomDBEditEh::CMMouseLeave},
      {CM_RECREATEWND, &TCustomDBEditEh::CMRecreateWnd},
      {CM_COLORCHANGED, &TCustomDBEditEh::CMColorChanged},
      {CM_ENABLEDCHANGED, &TCustomDBEditEh::CMEnabledChanged},
      {CM_FONTCHANGED, &TCustomDBEditEh::CMFontChanged},
      {CM_SYSCOLORCHANGE, &TCustomDBEditEh::CMSysColorChange},
      {CM_PARENTSHOWHINTCHANGED, &TCustomDBEditEh::CMParentShowHintChanged},
      {CM_VISIBLECHANGED, &TCustomDBEditEh::CMVisibleChanged},
      {CM_BIDIMODECHANGED, &TCustomDBEditEh::CMBiDiModeChanged},
      {CM_HINTSHOW, &TCustomDBEditEh::CMHintShow},
      {CM_CANCELMODE, &TCustomDBEditEh::CMCancelMode},
      {CM_MOUSEWHEEL, &TCustomDBEditEh::CMMouseWheel},
      {CM_EDITIMAGECHANGEDEH, &TCustomDBEditEh::CMEditImageChanged},
  });
  return Map;
}

// The factories run here, so the ones of this class are made; a descendant
// that needs its own replaces them after construction.
TCustomDBEditEh::TCustomDBEditEh(TComponent* AOwner) : TCustomMaskEdit(AOwner) {
  FControlStyle.Include(csCaptureMouse);
  FControlStyle.Include(csReplicatable);
  FDataLink = CreateDataLink();
  FDataLink->SetControl(this);
  FDataLink->OnDataChange = TNotifyEvent(this, &TCustomDBEditEh::DataChange);
  FDataLink->OnEditingChange = TNotifyEvent(this, &TCustomDBEditEh::EditingChanged);
  FDataLink->OnUpdateData = TNotifyEvent(this, &TCustomDBEditEh::DataLinkUpdateData);
  FDataLink->OnActiveChange = TNotifyEvent(this, &TCustomDBEditEh::DataLinkActiveChanged);
  FEditButton = CreateEditButton();
  FEditButton->OnChanged = TNotifyEvent(this, &TCustomDBEditEh::EditButtonsChanged);
  FEditButtons = CreateEditButtons();
  FEditButtons->OnChanged = TNotifyEvent(this, &TCustomDBEditEh::EditButtonsChanged);
  const TRefComponentNotifyEventEh Watch(this, &TCustomDBEditEh::watchImageList);
  FEditButton->OnRefComponentChanged = Watch;
  FEditButtons->OnRefComponentChanged = Watch;
  FEditImage = CreateEditImage();
  FMRUList = new TMRUListEh(this);
  FMRUList->OnSetDropDown = TNotifyEvent(this, &TCustomDBEditEh::mruListDropDown);
  FMRUList->OnSetCloseUpEvent = TMRUListCloseUpEventEh(this, &TCustomDBEditEh::mruListCloseUp);
  FMRUList->OnFillAutogenItems = TFillAutogenItemsEventEh(this, &TCustomDBEditEh::FillMRUAutogenItems);
  FDynProps = new TDynVarsEh(this);
  FEmptyDataInfo = new TControlEmptyDataInfoEh(this);
  FEmptyDataInfo->AfterConstruction();
  UpdateEditReadOnly();
  UpdateImageIndex();
  FButtonsBox = new TEditButtonsBoxEh(this);
  FButtonsBox->SetParent(this);
  FButtonsBox->SetBounds(0, 0, 0, 0);
  FButtonsBox->SetVisible(false);
  FButtonsBox->FOnCreateEditButtonControl =
      TCreateEditButtonControlEvent(this, &TCustomDBEditEh::CreateEditButtonControl);
  FButtonsBox->FOnDown = TEditButtonDownEventEh(this, &TCustomDBEditEh::EditButtonDown);
  FButtonsBox->FOnClick = TNotifyEvent(this, &TCustomDBEditEh::EditButtonClick);
  FButtonsBox->FOnMouseMove = TMouseMoveEvent(this, &TCustomDBEditEh::EditButtonMouseMove);
  FButtonsBox->FOnMouseUp = TMouseEvent(this, &TCustomDBEditEh::EditButtonMouseUp);
  FControlLabel = new TControlLabelEh(this);
  FControlLabel->FreeNotification(this);
  FControlLabel->SetFocusControl(this);
  FControlLabelLocation = new TControlLabelLocationEh(this);
}

void TCustomDBEditEh::BeforeDestruction() {
  SetDataSource(nullptr);
  TCustomMaskEdit::BeforeDestruction();
}

// The buttons box, the label and the recent entries' pop-up are components
// of the edit: their owner has freed them by now.
TCustomDBEditEh::~TCustomDBEditEh() {
  delete FEditImage;
  delete FEditButton;
  delete FEditButtons;
  delete FDataLink;
  delete FCanvas;
  delete FMRUList;
  delete FEmptyDataInfo;
  delete FDynProps;
  delete FControlLabelLocation;
}

// ---------------------------------------------------------------------------
// factories and simple answers

TFieldDataLinkEh* TCustomDBEditEh::CreateDataLink() { return new TFieldDataLinkEh; }
TEditButtonEh* TCustomDBEditEh::CreateEditButton() { return new TEditButtonEh(this); }
TEditButtonsEh* TCustomDBEditEh::CreateEditButtons() {
  return new TEditButtonsEh(this, TVisibleEditButtonEh::StaticClass());
}
TEditImageEh* TCustomDBEditEh::CreateEditImage() { return new TEditImageEh(this); }

void TCustomDBEditEh::CreateEditButtonControl(TEditButtonControlEh*& Control) {
  Control = new TEditButtonControlEh(this);
  TControlStyle Style = Control->ControlStyle();
  Style.Include(csReplicatable);
  Control->SetControlStyle(Style);
  Control->SetBounds(0, 0, 10, 17);
  Control->SetVisible(true);
  Control->SetTransparent(false);
}

bool TCustomDBEditEh::CanModifyData() { return !FReadOnly && FDataLink->CanModify(); }
bool TCustomDBEditEh::IsDataActive() { return Enabled() && FDataLink->Active(); }
bool TCustomDBEditEh::IsDataIndepended() { return FDataLink->DataIndepended(); }
TField* TCustomDBEditEh::Field() const { return FDataLink->Field(); }
String TCustomDBEditEh::GetDataField() const { return FDataLink->FieldName(); }
TDataSource* TCustomDBEditEh::GetDataSource() const { return FDataLink->DataSource(); }

TAlignment TCustomDBEditEh::DefaultAlignment() { return Field() ? Field()->Alignment() : taLeftJustify; }
String TCustomDBEditEh::DefaultEditMask() { return Field() ? Field()->EditMask() : String(); }

TAlignment TCustomDBEditEh::Alignment() const {
  if (FAssignedValues.Contains(evAlignmentEh)) return FAlignment;
  return Field() ? Field()->Alignment() : taLeftJustify;
}

bool TCustomDBEditEh::IsValidChar(Char Key) { return !Field() || Field()->IsValidChar(Key); }

// An array, or a value that does not convert, shows as nothing.
String TCustomDBEditEh::ValueToText(const Variant& Value) {
  if (VarIsArray(Value)) return String();
  try {
    return VarIsNull(Value) || VarIsEmpty(Value) ? String() : Value.AsString();
  } catch (const EVariantError&) {
    return String();
  }
}

Variant TCustomDBEditEh::GetVariantValue() { return Variant(Text()); }

String TCustomDBEditEh::GetControlLabelCaption() { return Field() ? Field()->DisplayName() : Name(); }

void TCustomDBEditEh::ControlLabelLocationChanged() {
  if (!ComponentState().Contains(csLoading)) UpdateControlLabelPosition();
}

void TCustomDBEditEh::SetOnGetImageIndex(const TGetImageIndexEventEh& Value) {
  FOnGetImageIndex = Value;
  UpdateImageIndex();
}

bool TCustomDBEditEh::UseRightToLeftAlignment() { return DBUseRightToLeftAlignment(this, Field()); }

// Data-aware actions aimed at the focused edit act on its data source.
bool TCustomDBEditEh::ExecuteAction(TBasicAction* Action) {
  if (TCustomMaskEdit::ExecuteAction(Action)) return true;
  TDataSource* Source = FDataLink->DataSource();
  if (!Source || !Action->HandlesTarget(Source)) return false;
  Action->ExecuteTarget(Source);
  return true;
}

bool TCustomDBEditEh::UpdateAction(TBasicAction* Action) {
  if (TCustomMaskEdit::UpdateAction(Action)) return true;
  TDataSource* Source = FDataLink->DataSource();
  if (!Source || !Action->HandlesTarget(Source)) return false;
  Action->UpdateTarget(Source);
  return true;
}

// ---------------------------------------------------------------------------
// properties

void TCustomDBEditEh::SetDataSource(TDataSource* Value) {
  if (Value == FInternalDataSourceRef && Value == FDataLink->DataSource()) return;
  if (!ComponentState().Contains(csDesigning)) ResetMaxLength();
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
  if (!ComponentState().Contains(csDestroying)) {
    DataChange(nullptr);
    Invalidate();
  }
  FInternalDataSourceRef = Value;
}

void TCustomDBEditEh::SetDataField(const String& Value) {
  if (!ComponentState().Contains(csDesigning)) ResetMaxLength();
  FDataLink->SetFieldName(Value);
  UpdateButtonsState();
  Invalidate();
}

void TCustomDBEditEh::SetReadOnly(bool Value) {
  if (FReadOnly == Value) return;
  FReadOnly = Value;
  EditingChanged(nullptr);
}

void TCustomDBEditEh::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  FAssignedValues.Include(evAlignmentEh);
  TCustomEdit::SetAlignment(Value);
}

void TCustomDBEditEh::SetFlat(bool Value) {
  if (FFlat == Value) return;
  FFlat = Value;
  RecreateWnd();
}

void TCustomDBEditEh::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  RecreateWnd();
}

void TCustomDBEditEh::SetTooltips(bool Value) {
  if (FTooltips == Value) return;
  FTooltips = Value;
  UpdateShowHint();
}

void TCustomDBEditEh::SetShowHint(bool Value) {
  if (FShowHint == Value) return;
  FShowHint = Value;
  UpdateShowHint();
}

void TCustomDBEditEh::UpdateShowHint() { TControl::SetShowHint(FTooltips || FShowHint); }

void TCustomDBEditEh::SetDynProps(TDynVarsEh* Value) { FDynProps->Assign(Value); }
void TCustomDBEditEh::SetMRUList(TMRUListEh* Value) { FMRUList->Assign(Value); }
void TCustomDBEditEh::SetEmptyDataInfo(TControlEmptyDataInfoEh* Value) { FEmptyDataInfo->Assign(Value); }
void TCustomDBEditEh::SetControlLabelLocation(TControlLabelLocationEh* Value) {
  FControlLabelLocation->Assign(Value);
}

TCustomImageList* TCustomDBEditEh::Images() const { return FEditImage->Images(); }

void TCustomDBEditEh::SetImages(TCustomImageList* Value) {
  FEditImage->SetImages(Value);
  FEditImage->SetVisible(true);
}

void TCustomDBEditEh::SetPasswordChar(Char Value) {
  if (PasswordChar() == Value) return;
  TCustomEdit::SetPasswordChar(Value);
  RecreateWnd();
}

void TCustomDBEditEh::SetAlwaysShowBorder(bool Value) {
  if (FAlwaysShowBorder == Value) return;
  FAlwaysShowBorder = Value;
  UpdateBorderActive();
}

void TCustomDBEditEh::SetEditMask(const String& Value) {
  if (FAssignedValues.Contains(evEditMaskEh) && Value == EditMask()) return;
  const bool KeepText = ComponentState().Contains(csLoading) && IsDataIndepended() && !Text().isEmpty();
  const String Kept = Text();
  TCustomMaskEdit::SetEditMask(Value);
  if (KeepText) TCustomMaskEdit::SetText(Kept);
  FAssignedValues.Include(evEditMaskEh);
  if (IsDataIndepended())
    WriteTextToDataLink();
  else
    DataChange(nullptr);
}

// ---------------------------------------------------------------------------
// field to control

void TCustomDBEditEh::DataChange(TObject*) {
  DataChanged();
  UpdateButtonsState();
  if (FControlLabel) FControlLabel->UpdateCaption();
}

void TCustomDBEditEh::DataChanged() {
  if (TField* F = Field()) {
    bool Handled = false;
    Variant V;
    if (OnGetFieldData) OnGetFieldData(this, V, Handled);
    if (!Handled) {
      const bool Edit = FFocused && FDataLink->CanModify();
      V = Variant(F->IsBlob() ? F->AsString() : Edit ? F->Text() : F->DisplayText());
      if (!FAssignedValues.Contains(evAlignmentEh) && FAlignment != F->Alignment()) Invalidate();
      if (!FAssignedValues.Contains(evEditMaskEh)) TCustomMaskEdit::SetEditMask(F->EditMask());
      if (!ComponentState().Contains(csDesigning) && isStringField(F) && MaxLength() == 0) {
        SetMaxLength(F->Size());
        FFieldMaxLength = F->Size();
      }
    }
    const String T = ValueToText(V);
    if (FFocused && FDataLink->CanModify())
      InternalSetText(T);
    else if (IsMasked())
      SetEditText(FormatMaskText(EditMask(), T));
    else if (EditText() != T)
      SetEditText(T);
  } else {
    if (!FAssignedValues.Contains(evEditMaskEh)) TCustomMaskEdit::SetEditMask(String());
    SetEditText(IsDataIndepended() ? ValueToText(FDataLink->DataIndependentValue) : String());
  }
  UpdateEditReadOnly();
  SetModified(false);
}

// The length the bound field gave is remembered and cleared with it: after
// the dataset closes there is no field to compare with, and a kept length
// would cut the next, longer field.  A user's own length stays.
void TCustomDBEditEh::ResetMaxLength() {
  if (FFieldMaxLength > 0 && MaxLength() == FFieldMaxLength) SetMaxLength(0);
  FFieldMaxLength = 0;
}

void TCustomDBEditEh::DataLinkActiveChanged(TObject*) {
  ResetMaxLength();
  UpdateButtonsState();
}

void TCustomDBEditEh::EditingChanged(TObject*) { UpdateEditReadOnly(); }

void TCustomDBEditEh::UpdateEditReadOnly() {
  bool ReadOnlyWindow = FReadOnly;
  if (!FReadOnly) {
    ReadOnlyWindow = !FDataLink->Editing();
    TDataSet* Data = FDataLink->DataSet();
    if (OnUpdateData && Data && Data->State() == dsEdit) ReadOnlyWindow = false;
  }
  if (FInplaceMode && ReadOnlyWindow && FIntfInplaceEditHolder &&
      FIntfInplaceEditHolder->InplaceEditCanModify(this))
    ReadOnlyWindow = false;
  TCustomEdit::SetReadOnly(ReadOnlyWindow);
}

// ---------------------------------------------------------------------------
// control to field

void TCustomDBEditEh::DataLinkUpdateData(TObject*) {
  if (!FDataPosting) UpdateData();
}

void TCustomDBEditEh::UpdateData() {
  if (FFocused && Modified()) ValidateEdit();
  bool Handled = false;
  FDataPosting = true;
  {
    const TScopeExit Done([this] { FDataPosting = false; });
    if (OnUpdateData) OnUpdateData(this, Handled);
  }
  if (!Handled) WriteTextToDataLink();
  SetModified(false);
  if (FMRUList->Active() && FMRUList->AutoAdd() && Showing()) FMRUList->Add(Text());
}

void TCustomDBEditEh::WriteTextToDataLink() {
  if (IsDataIndepended())
    FDataLink->SetText(EditText());
  else
    FDataLink->SetText(Text());
}

void TCustomDBEditEh::InternalSetText(const String& AText) {
  FInternalTextSetting = true;
  const TScopeExit Done([this] { FInternalTextSetting = false; });
  TCustomMaskEdit::SetText(AText);
}

void TCustomDBEditEh::InternalSetValue(const Variant& AValue) { InternalSetText(ValueToText(AValue)); }

// The dataset edits first; without a data source or dataset there is none
// to put into edit state, and the text shows without being written (the
// link has no field to write to).
bool TCustomDBEditEh::writeOrReset(const std::function<void()>& SetInternal) {
  if (!IsDataIndepended()) {
    TDataSet* Data = FDataLink->DataSet();
    if (Data) Data->Edit();
  }
  SetInternal();
  if (FDataPosting) return false;
  try {
    UpdateData();
  } catch (const Exception&) {
    FDataLink->Reset();
    throw;
  }
  return true;
}

void TCustomDBEditEh::SetText(const String& Value) {
  if (ComponentState().Contains(csDesigning) && !IsDataIndepended()) return;
  writeOrReset([&] { InternalSetText(Value); });
}

void TCustomDBEditEh::ChangeValue(const Variant& Value) {
  writeOrReset([&] { InternalSetValue(Value); });
}

void TCustomDBEditEh::Clear() { SetText(String()); }

void TCustomDBEditEh::Undo() {
  if (!IsDataIndepended())
    if (TDataSet* Data = FDataLink->DataSet()) Data->Edit();
  TCustomMaskEdit::Undo();
  if (FDataPosting || FFocused) return;
  try {
    UpdateData();
  } catch (const Exception&) {
    FDataLink->Reset();
    throw;
  }
}

void TCustomDBEditEh::Reset() {
  FDataLink->Reset();
  SelectAll();
}

bool TCustomDBEditEh::IsEmpty() {
  if (IsMasked()) return EditText() == FormatMaskTextEh(EditMask(), String());
  return Text().isEmpty();
}

void TCustomDBEditEh::Deselect() { Perform(EM_SETSEL, WPARAM(0x7FFFFFFF), LPARAM(-1)); }

// ---------------------------------------------------------------------------
// editing

void TCustomDBEditEh::Change() {
  if (ComponentState().Contains(csDestroying)) return;
  FDataLink->Modified();
  SetModified(true);
  // Only the user's changes move the recent-entries list, not the control's
  // own (a taken entry, the field read again).
  if (!FInternalTextSetting) FUserTextChanged = true;
  UpdateImageIndex();
  TCustomMaskEdit::Change();
}

bool TCustomDBEditEh::EditCanModify() { return CanModifyData() && FDataLink->Edit(); }

void TCustomDBEditEh::KeyDown(Word& Key, TShiftState Shift) {
  if (FInplaceMode && FIntfInplaceEditHolder) {
    FIntfInplaceEditHolder->InplaceEditKeyDown(this, Key, Shift);
    if (Key == 0) return;
  }
  TCustomMaskEdit::KeyDown(Key, Shift);
  if (pressButtonByShortCut(Key, Shift)) Key = 0;
  if (Key == 'A' && Shift == TShiftState{ssCtrl}) SelectAll();
  const bool DelOrPaste = Key == VK_DELETE || (Key == VK_INSERT && Shift == TShiftState{ssShift});
  const bool Wanted = (Key == VK_RETURN && FWantReturns) || (Key == VK_TAB && FWantTabs);
  if ((DelOrPaste || Wanted) && !FReadOnly && !FDataLink->Edit() && DelOrPaste) Key = 0;
  if (Key == VK_ESCAPE) {
    FDataLink->Reset();
    SelectAll();
    Key = 0;
  }
}

void TCustomDBEditEh::KeyUp(Word& Key, TShiftState Shift) {
  if (FInplaceMode && FIntfInplaceEditHolder) {
    FIntfInplaceEditHolder->InplaceEditKeyUp(this, Key, Shift);
    if (Key == 0) return;
  }
  TCustomMaskEdit::KeyUp(Key, Shift);
}

void TCustomDBEditEh::KeyPress(Char& Key) {
  if (FInplaceMode && FIntfInplaceEditHolder) FIntfInplaceEditHolder->InplaceEditKeyPress(this, Key);
  if (Key == Char(0)) return;
  if (IsMasked() && Key == CtrlA) return;
  if (Key == Backspace && mruListOpen()) FKeepMRUList = true;
  if (isEditingKey(Key) && !FDataLink->Editing() && CanModifyData()) FDataLink->Edit();
  TCustomMaskEdit::KeyPress(Key);
  if (Key == Char(0)) return;
  if (!IsDataIndepended() && Key >= Space && Field() && !IsValidChar(Key)) {
    MessageBeep(0);
    Key = Char(0);
    return;
  }
  if (isEditingKey(Key) && !FReadOnly && !FDataLink->Edit()) Key = Char(0);
}

void TCustomDBEditEh::WMChar(TWMKey& Message) {
  if (isDroppedChar(Char(Message.CharCode))) return;
  FCompleteKeyPress = String(QChar(Message.CharCode));
  const TScopeExit Done([this] { FCompleteKeyPress.clear(); });
  DispatchAs<TCustomMaskEdit>(reinterpret_cast<TMessage&>(Message));
}

void TCustomDBEditEh::WMGetDlgCode(TMessage& Message) {
  Message.Result = DLGC_WANTARROWS | DLGC_HASSETSEL | DLGC_WANTCHARS;
  if (FWantTabs) Message.Result |= DLGC_WANTTAB;
  if (FWantReturns) Message.Result |= DLGC_WANTALLKEYS;
  if (FInplaceMode && FInplaceEditHolder &&
      (FInplaceEditHolder->Perform(WM_GETDLGCODE, Message.WParam, Message.LParam) & DLGC_WANTTAB))
    Message.Result |= DLGC_WANTTAB;
}

void TCustomDBEditEh::CMWantSpecialKey(TCMWantSpecialKey& Message) {
  const bool ListKey = Message.CharCode == VK_RETURN || Message.CharCode == VK_ESCAPE;
  if (ListKey && mruListOpen() && static_cast<TMRUListboxEh*>(FMRUListControl)->ItemIndex() >= 0) {
    Message.Result = 1;
    return;
  }
  DispatchAs<TCustomMaskEdit>(reinterpret_cast<TMessage&>(Message));
  if (Message.CharCode == VK_ESCAPE && Modified()) Message.Result = 1;
  if (Message.CharCode == VK_RETURN && FInplaceMode) Message.Result = 1;
}

// Enter without WantReturns, Tab without WantTabs and every line feed never
// reach the text: the inner edit is multi-line only to take the text
// rectangle.
bool TCustomDBEditEh::isDroppedChar(Char C) const {
  return (C == CarriageReturn && !FWantReturns) || (C == Tab && !FWantTabs) || C == LineFeed;
}

// Clicks on the buttons or the image never reach the inner edit.
void TCustomDBEditEh::DefaultHandler(TMessage& Message) {
  if (Message.Msg == WM_CHAR && isDroppedChar(Char(ushort(Message.WParam)))) return;
  if (Message.Msg >= WM_LBUTTONDOWN && Message.Msg <= WM_MBUTTONDBLCLK && !MouseCapture()) {
    const TPoint P{SmallInt(LOWORD(DWORD(Message.LParam))), SmallInt(HIWORD(DWORD(Message.LParam)))};
    if (PtInRect(GetButtonsRect(), P) || PtInRect(GetImageRect(), P)) return;
  }
  TCustomMaskEdit::DefaultHandler(Message);
}

// ---------------------------------------------------------------------------
// clipboard

void TCustomDBEditEh::WMCut(TMessage& Message) {
  if (EditCanModify()) DispatchAs<TCustomMaskEdit>(Message);
}

void TCustomDBEditEh::WMClear(TMessage& Message) {
  if (EditCanModify()) DispatchAs<TCustomMaskEdit>(Message);
}

void TCustomDBEditEh::WMUndo(TMessage& Message) {
  if (EditCanModify()) DispatchAs<TCustomMaskEdit>(Message);
}

void TCustomDBEditEh::WMPaste(TMessage& Message) {
  if (!EditCanModify()) return;
  if (IsMasked() || !AutoSize() || !Clipboard()->HasFormat(CF_UNICODETEXT)) {
    DispatchAs<TCustomMaskEdit>(Message);
    return;
  }
  const String Pasted = Clipboard()->AsText();
  const String Filtered = FilterPastedText(Pasted);
  if (Filtered == Pasted) {
    DispatchAs<TCustomMaskEdit>(Message);
    return;
  }
  pasteFiltered(Filtered);
}

String TCustomDBEditEh::FilterPastedText(const String& Text) {
  String S = Text;
  while (!S.isEmpty() && (S.back() == CarriageReturn || S.back() == LineFeed)) S.chop(1);
  S.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
  S.replace(QStringLiteral("\n\r"), QStringLiteral(" "));
  S.replace(QStringLiteral("\n"), QStringLiteral(" "));
  S.replace(QStringLiteral("\r"), QStringLiteral(" "));
  return S;
}

// The cut at MaxLength never splits a surrogate pair.
void TCustomDBEditEh::pasteFiltered(const String& Pasted) {
  const String Current = Text();
  const Integer Start = SelStart();
  const Integer Length = SelLength();
  String Insert = Pasted;
  if (MaxLength() > 0) {
    Integer Room = std::max(0, MaxLength() - (Integer(Current.size()) - Length));
    if (Room < Insert.size()) {
      if (Room > 0 && Insert.at(Room - 1).isHighSurrogate()) --Room;
      Insert.truncate(Room);
    }
  }
  SetText(Current.left(Start) + Insert + Current.mid(Start + Length));
  SetSelStart(Start + Integer(Insert.size()));
}

// ---------------------------------------------------------------------------
// focus

void TCustomDBEditEh::SetFocused(bool Value) {
  if (FFocused == Value) return;
  FFocused = Value;
  if (Alignment() != taLeftJustify && !IsMasked()) Invalidate();
  FDataLink->Reset();
}

void TCustomDBEditEh::CMEnter(TCMEnter& Message) {
  SetFocused(true);
  DispatchAs<TCustomMaskEdit>(reinterpret_cast<TMessage&>(Message));
  if (AutoSelect() && !IsMouseButtonDownEh(mbLeft)) SelectAll();
  if (SysLocale.FarEast && FDataLink->CanModify()) TCustomEdit::SetReadOnly(FReadOnly);
}

void TCustomDBEditEh::AdjustMaskCaret() {
  if (!IsMasked() || SelLength() != 0) return;
  SetSelStart(std::max(0, SelStart() - 2));
}

void TCustomDBEditEh::CMExit(TCMExit&) {
  // The platform's validation ignores Modified: an untouched empty masked
  // edit may be left.
  if (IsMasked() && !ComponentState().Contains(csDesigning) && Modified()) {
    ValidateEdit();
    AdjustMaskCaret();
  }
  try {
    FDataLink->UpdateRecord();
  } catch (const Exception&) {
    SelectAll();
    TWinControl::SetFocus();
    throw;
  }
  SetFocused(false);
  AdjustMaskCaret();
  DoExit();
}

void TCustomDBEditEh::WMSetFocus(TWMSetFocus& Message) {
  DispatchAs<TCustomMaskEdit>(reinterpret_cast<TMessage&>(Message));
  UpdateBorderActive();
  Invalidate();
}

void TCustomDBEditEh::WMKillFocus(TWMSetFocus& Message) {
  DispatchAs<TCustomMaskEdit>(reinterpret_cast<TMessage&>(Message));
  if (ComponentState().Contains(csDestroying)) return;
  if (mruListOpen() && Message.FocusedWnd != FMRUListControl->Handle()) FMRUList->CloseUp(false);
  // A held button of the edit lets go when the focus leaves.
  TControl* Captured = GetCaptureControl();
  if (Captured && Captured != this && Captured->Parent() && (Captured->Parent() == this || Captured->Parent()->Parent() == this))
    Captured->Perform(WM_CANCELMODE, 0, 0);
  UpdateBorderActive();
  Invalidate();
}

void TCustomDBEditEh::WMLButtonDown(TWMMouse& Message) {
  if (FInplaceMode && FIntfInplaceEditHolder) {
    TPoint Pos;
    Cardinal Time = 0;
    FIntfInplaceEditHolder->GetMouseDownInfo(Pos, Time);
    const TPoint Here = ClientToScreen(TPoint{Message.XPos, Message.YPos});
    const Integer Elapsed = Integer(Cardinal(GetMessageTimeEh()) - Time);
    if (Time != 0 && IsDoubleClickDistanceEh(Pos, Here, Elapsed)) Message.Msg = WM_LBUTTONDBLCLK;
  }
  DispatchAs<TCustomMaskEdit>(reinterpret_cast<TMessage&>(Message));
  if (MouseCapture() && !Focused()) SetMouseCapture(false);
}

void TCustomDBEditEh::WMSize(TWMSize& Message) {
  DispatchAs<TCustomMaskEdit>(reinterpret_cast<TMessage&>(Message));
  UpdateButtonsBox();
  UpdateEditRect();
}

void TCustomDBEditEh::CMGetDataLink(TMessage& Message) { Message.Result = LRESULT(FDataLink); }

void TCustomDBEditEh::CMShowingChanged(TMessage& Message) {
  if (!FInplaceMode) DispatchAs<TCustomMaskEdit>(Message);
}

// ---------------------------------------------------------------------------
// window, loading, notifications

void TCustomDBEditEh::CreateWnd() {
  TCustomMaskEdit::CreateWnd();
  UpdateHeightStyle();
  UpdateBorderActive();
  UpdateButtonsBox();
  UpdateButtonsState();
  FImageWidth = FEditImage->DrawWidth();
  UpdateImageIndex();
  UpdateEditRect();
  UpdateEditReadOnly();
}

void TCustomDBEditEh::Loaded() {
  TCustomMaskEdit::Loaded();
  ResetMaxLength();
  if (ComponentState().Contains(csDesigning)) DataChange(this);
  UpdateBorderActive();
}

void TCustomDBEditEh::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomMaskEdit::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (FDataLink && AComponent == FInternalDataSourceRef) SetDataSource(nullptr);
  if (FEditImage && AComponent == FEditImage->Images()) FEditImage->SetImages(nullptr);
  if (AComponent == FControlLabel) FControlLabel = nullptr;
  if (AComponent == FButtonsBox) FButtonsBox = nullptr;
  if (AComponent == FMRUListControl) FMRUListControl = nullptr;
  if (!FEditButton || !FEditButtons) return;
  std::vector<TEditButtonEh*> Buttons{FEditButton};
  for (Integer I = 0; I < FEditButtons->Count(); ++I) Buttons.push_back(FEditButtons->EditButton(I));
  for (TEditButtonEh* B : Buttons)
    if (AComponent == B->DropdownMenu()) B->SetDropdownMenu(nullptr);
  if (ComponentState().Contains(csDestroying)) return;
  // A freed image list must not stay behind in a button's images.
  for (TEditButtonEh* B : Buttons) {
    TButtonImagesEh* Images = B->Images();
    if (Images->NormalImages() == AComponent) Images->SetNormalImages(nullptr);
    if (Images->HotImages() == AComponent) Images->SetHotImages(nullptr);
    if (Images->PressedImages() == AComponent) Images->SetPressedImages(nullptr);
    if (Images->DisabledImages() == AComponent) Images->SetDisabledImages(nullptr);
  }
}

void TCustomDBEditEh::watchImageList(TObject*, TComponent* RefComponent) {
  if (RefComponent) RefComponent->FreeNotification(this);
}

// Text and Value are stored only data-independent, Text when not empty and
// Value when not Null; EditMask only when set on the control, through the
// defined property "EditMask".
bool TCustomDBEditEh::IsTextStored() { return IsDataIndepended() && !Text().isEmpty(); }
// An empty text is no value of the control's: it streams nothing.
bool TCustomDBEditEh::IsValueStored() {
  const Variant V = Value();
  return IsDataIndepended() && !VarIsNull(V) && !(VarIsStr(V) && V.AsString().isEmpty());
}

void TCustomDBEditEh::DefineProperties(TFiler* Filer) {
  TCustomMaskEdit::DefineProperties(Filer);
  Filer->DefineProperty("EditMask", TReaderProc(this, &TCustomDBEditEh::readEditMask),
                        TWriterProc(this, &TCustomDBEditEh::writeEditMask),
                        FAssignedValues.Contains(evEditMaskEh));
}

void TCustomDBEditEh::readEditMask(TReader* Reader) { SetEditMask(Reader->ReadString()); }
void TCustomDBEditEh::writeEditMask(TWriter* Writer) { Writer->WriteString(EditMask()); }

// ---------------------------------------------------------------------------
// in place

void TCustomDBEditEh::SetInplaceEditHolder(TWinControl* Holder) {
  if (Holder == FInplaceEditHolder) return;
  IInplaceEditHolderEh* Intf = nullptr;
  if (Holder) {
    Intf = dynamic_cast<IInplaceEditHolderEh*>(Holder);
    if (!Intf) throw Exception(String(SInplaceEditHolderNotSupported));
  }
  FInplaceEditHolder = Holder;
  FIntfInplaceEditHolder = Intf;
  FInplaceMode = Holder != nullptr;
}

void TCustomDBEditEh::WndProc(TMessage& Message) {
  if (FInplaceMode && FIntfInplaceEditHolder) {
    const LRESULT Saved = Message.Result;
    Message.Result = 0;
    FIntfInplaceEditHolder->InplaceEditWndProc(this, Message);
    if (Message.Result != 0) return;
    Message.Result = Saved;
    if (Message.Msg == WM_SETFOCUS) {
      TCustomForm* Form = GetParentForm(this);
      if (Form && !Form->SetFocusedControl(FInplaceEditHolder)) return;
      Dispatch(Message);
      return;
    }
  }
  if (routeKeyToMRUList(Message)) return;
  TCustomMaskEdit::WndProc(Message);
  // A text change reported during the message is handled once it is done.
  if (FUserTextChanged) {
    FUserTextChanged = false;
    UserTextChanged();
  }
  FKeepMRUList = true;
}

bool TCustomDBEditEh::Visible() {
  if (FInplaceMode && HandleAllocated()) return IsWindowVisible(Handle());
  return TControl::Visible();
}

void TCustomDBEditEh::SetVisible(bool Value) {
  if (FInplaceMode && !Value) {
    Hide();
    return;
  }
  TControl::SetVisible(Value);
}

void TCustomDBEditEh::Move(const TRect& Loc) { placeInplace(Loc, /*Redraw=*/true); }
void TCustomDBEditEh::UpdateLoc(const TRect& Loc) { placeInplace(Loc, /*Redraw=*/false); }

void TCustomDBEditEh::placeInplace(const TRect& Loc, bool Redraw) {
  if (!FInplaceMode) {
    SetBoundsRect(Loc);
    return;
  }
  if (Loc.IsEmpty()) {
    Hide();
    return;
  }
  const bool WasHidden = !HandleAllocated() || !IsWindowVisible(Handle());
  HandleNeeded();
  SetBoundsRect(Loc);
  Invalidate();
  Perform(CM_CANCELMODE, 0, LPARAM(FInplaceEditHolder));
  SetWindowPos(Handle(), HWND_TOP, Loc.Left, Loc.Top, Loc.Width(), Loc.Height(),
               SWP_SHOWWINDOW | SWP_NOREDRAW);
  if (Redraw || WasHidden) Invalidate();
  if (FInplaceEditHolder->Focused()) gdi::SetFocus(Handle());
}

void TCustomDBEditEh::Hide() {
  if (!FInplaceMode) {
    TControl::SetVisible(false);
    return;
  }
  if (!HandleAllocated() || !IsWindowVisible(Handle())) return;
  const bool WasFocused = Focused();
  Invalidate();
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOZORDER | SWP_NOREDRAW);
  if (WasFocused && FInplaceEditHolder->HandleAllocated()) gdi::SetFocus(FInplaceEditHolder->Handle());
}

void TCustomDBEditEh::SetFocus() {
  if (!FInplaceMode) {
    TCustomMaskEdit::SetFocus();
    return;
  }
  if (HandleAllocated() && IsWindowVisible(Handle())) gdi::SetFocus(Handle());
}

// ---------------------------------------------------------------------------
// TDBEditEh

void TDBEditEh::DescribeProperties(TPropertyTable& Props) {
  using E = TCustomDBEditEh;
  Props.Add<E>("Alignment", &E::Alignment, &E::SetAlignment).NoDefault().Stored(&E::IsAlignmentStored);
  Props.Add<E>("AlwaysShowBorder", &E::AlwaysShowBorder, &E::SetAlwaysShowBorder).Default(false);
  Props.Add<E>("DataField", &E::DataField, &E::SetDataField);
  Props.Add<E>("DataSource", &E::DataSource, &E::SetDataSource);
  Props.Add<E>("EditButtons", &E::EditButtons, &E::SetEditButtons);
  Props.Add<E>("Flat", &E::Flat, &E::SetFlat).Default(false);
  Props.Add<E>("HighlightRequired", &E::HighlightRequired, &E::SetHighlightRequired).Default(false);
  Props.Add<E>("ReadOnly", &E::ReadOnly, &E::SetReadOnly).Default(false);
  Props.Add<E>("Tooltips", &E::Tooltips, &E::SetTooltips).Default(false);
  Props.Add<E>("WantReturns", &E::WantReturns, &E::SetWantReturns).Default(false);
  Props.Add<E>("WantTabs", &E::WantTabs, &E::SetWantTabs).Default(false);
  Props.Add<E>("WordWrap", &E::WordWrap, &E::SetWordWrap).Default(false);
  Props.Add<E>("EditButton", &E::EditButton, &E::SetEditButton);
  Props.Add<E>("Text", &E::Text, &E::SetText).Stored(&E::IsTextStored);
  Props.Add<E>("Value", &E::Value, &E::SetValue).Stored(&E::IsValueStored);
  Props.Add<E>("ShowHint", &E::ShowHint, &E::SetShowHint).Default(false);
  Props.Add<E>("DynProps", &E::DynProps, &E::SetDynProps);
  Props.Add<E>("MRUList", &E::MRUList, &E::SetMRUList);
  Props.Add<E>("PasswordChar", &E::PasswordChar, &E::SetPasswordChar).Default(Char(0));
  Props.Add<E>("Images", &E::Images, &E::SetImages);
  Props.Add<E>("ControlLabel", &E::ControlLabel, nullptr);
  Props.Add<E>("ControlLabelLocation", &E::ControlLabelLocation, &E::SetControlLabelLocation);
  Props.Add<E>("EmptyDataInfo", &E::EmptyDataInfo, &E::SetEmptyDataInfo);
  Props.Add<TControl>("AutoSize", &TControl::AutoSize, &TControl::SetAutoSize).Default(true);
  Props.Add<TCustomEdit>("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect).Default(true);
  Props.Add<TCustomEdit>("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase).Default(ecNormal);
  Props.Add<TCustomEdit>("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength).Default(0);
  Props.Add<TControl>("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(true);
  Props.Add<TControl>("Font", &TControl::Font, &TControl::SetFont);
  Props.Add<TWinControl>("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(true);
  Props.Add<TCustomEdit>("OnChange", &TCustomEdit::OnChange, &TCustomEdit::OnChange);
  Props.Add<TWinControl>("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter);
  Props.Add<TWinControl>("OnExit", &TWinControl::OnExit, &TWinControl::OnExit);
  Props.Add<TWinControl>("OnKeyDown", &TWinControl::OnKeyDown, &TWinControl::OnKeyDown);
  Props.Add<TWinControl>("OnKeyPress", &TWinControl::OnKeyPress, &TWinControl::OnKeyPress);
}
