#include "platform/ui/dbctrls/dbctrls.h"

#include "platform/db/dataset.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fields.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"
#include "platform/ui/windowing/beep.h"
#include "platform/ui/windowing/controls.h"
#include "platform/ui/windowing/dialogs.h"

using namespace gdi;

namespace {

// Fields whose Size counts characters, and so limits what an edit takes.
bool isTextField(const TField* Field) {
  switch (Field->DataType()) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftFixedWideChar: return true;
    default: return false;
  }
}

// What the data-aware edit and memo publish after their own properties, in
// the stream's order.
void describeEditTail(TPropertyTable& Props) {
  Props.Add<TControl>("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(true);
  Props.Add<TControl>("Font", &TControl::Font, &TControl::SetFont);
  Props.Add<TControl>("Color", &TControl::Color, &TControl::SetColor).Default(clWindow);
  Props.Add<TWinControl>("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(true);
  Props.Add<TCustomEdit>("OnChange", &TCustomEdit::OnChange, &TCustomEdit::OnChange);
  Props.Add<TControl>("OnClick", &TControl::OnClick, &TControl::OnClick);
  Props.Add<TControl>("OnDblClick", &TControl::OnDblClick, &TControl::OnDblClick);
  Props.Add<TWinControl>("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter);
  Props.Add<TWinControl>("OnExit", &TWinControl::OnExit, &TWinControl::OnExit);
  Props.Add<TWinControl>("OnKeyDown", &TWinControl::OnKeyDown, &TWinControl::OnKeyDown);
  Props.Add<TWinControl>("OnKeyPress", &TWinControl::OnKeyPress, &TWinControl::OnKeyPress);
  Props.Add<TWinControl>("OnKeyUp", &TWinControl::OnKeyUp, &TWinControl::OnKeyUp);
}

constexpr Char Escape = Char(27);
constexpr Char CarriageReturn = Char(13);

}  // namespace

// ---------------------------------------------------------------------------
// TFieldDataLink

void TFieldDataLink::SetFieldName(const String& Value) {
  if (FFieldName == Value) return;
  FFieldName = Value;
  updateField();
}

bool TFieldDataLink::CanModify() const { return !ReadOnly() && FField && FField->CanModify(); }

bool TFieldDataLink::Edit() {
  if (CanModify()) TDataLink::Edit();
  return FEditing;
}

void TFieldDataLink::ActiveChanged() {
  updateField();
  if (OnActiveChange) OnActiveChange(this);
}

void TFieldDataLink::EditingChanged() { setEditing(TDataLink::Editing() && CanModify()); }

void TFieldDataLink::FocusControl(TField*& AField) {
  if (!AField || AField != FField) return;
  auto* Control = dynamic_cast<TWinControl*>(FControl);
  if (!Control || !Control->CanFocus()) return;
  AField = nullptr;
  Control->SetFocus();
}

void TFieldDataLink::LayoutChanged() { updateField(); }

void TFieldDataLink::RecordChanged(TField* AField) {
  if (AField && AField != FField) return;
  if (OnDataChange) OnDataChange(this);
  FModified = false;
}

void TFieldDataLink::UpdateData() {
  if (!FModified) return;
  if (FField && OnUpdateData) OnUpdateData(this);
  FModified = false;
}

void TFieldDataLink::updateField() {
  if (!Active() || FFieldName.isEmpty()) {
    setField(nullptr);
    return;
  }
  TField* Found = DataSet()->FindField(FFieldName);
  // A name that no longer resolves leaves no stale field behind the error:
  // the control empties and stops editing first.
  if (!Found) {
    setField(nullptr);
    DatabaseErrorFmt(DBConsts::SFieldNotFound, {FFieldName}, FControl);
  }
  setField(Found);
}

void TFieldDataLink::setField(TField* Value) {
  if (FField == Value) return;
  FField = Value;
  EditingChanged();
  RecordChanged(nullptr);
}

void TFieldDataLink::setEditing(bool Value) {
  if (FEditing == Value) return;
  FEditing = Value;
  FModified = false;
  if (OnEditingChange) OnEditingChange(this);
}

// ---------------------------------------------------------------------------
// TDBFieldControl

template <class TBase>
const TMessageMap& TDBFieldControl<TBase>::MessageMap() {
  static const TMessageMap Map(TBase::MessageMap(), {{CM_GETDATALINK, &TDBFieldControl::CMGetDataLink}});
  return Map;
}

template <class TBase>
TDBFieldControl<TBase>::TDBFieldControl(TComponent* AOwner)
    : TBase(AOwner), FDataLink(std::make_unique<TFieldDataLink>()) {
  FDataLink->SetControl(this);
  FDataLink->OnDataChange = TNotifyEvent([this](TObject*) { dataChange(); });
  FDataLink->OnUpdateData = TNotifyEvent([this](TObject*) { updateData(); });
  this->FControlStyle.Include(csReplicatable);
}

template <class TBase>
template <class T>
void TDBFieldControl<TBase>::describeLinkProperties(TPropertyTable& Props) {
  Props.Add<T>("DataSource", &T::DataSource, &T::SetDataSource);
  Props.Add<T>("DataField", &T::DataField, &T::SetDataField);
  Props.Add<T>("ReadOnly", &T::ReadOnly, &T::SetReadOnly).Default(false);
}

template <class TBase>
bool TDBFieldControl<TBase>::askToEdit() {
  if (FDataLink->Edit()) return true;
  MessageBeep(MB_OK);
  return false;
}

template <class TBase>
bool TDBFieldControl<TBase>::filterKey(Char& Key) {
  if (Key == Escape) {
    Key = Char(0);
    return true;
  }
  if (Key.unicode() >= 32 && Field() && !Field()->IsValidChar(Key)) {
    MessageBeep(MB_OK);
    Key = Char(0);
  }
  return false;
}

template <class TBase>
void TDBFieldControl<TBase>::writeOnExit(bool SelectText) {
  try {
    FDataLink->UpdateRecord();
  } catch (const Exception&) {
    if (SelectText) this->SelectAll();
    this->SetFocus();
    throw;
  }
}

template <class TBase>
void TDBFieldControl<TBase>::setFocused(bool Value) {
  if (FFocused == Value) return;
  FFocused = Value;
  focusChanged();
}

template <class TBase>
void TDBFieldControl<TBase>::CMEnter(TMessage& Message) {
  setFocused(true);
  this->template DispatchAs<TBase>(Message);
}

template <class TBase>
void TDBFieldControl<TBase>::CMGetDataLink(TMessage& Message) {
  Message.Result = LRESULT(FDataLink.get());
}

template class TDBFieldControl<TCustomMaskEdit>;
template class TDBFieldControl<TCustomMemo>;
template class TDBFieldControl<TCustomComboBox>;

// ---------------------------------------------------------------------------
// TDBEdit

const TMessageMap& TDBEdit::MessageMap() {
  static const TMessageMap Map(TDBFieldControl::MessageMap(), {
      {CM_ENTER, &TDBEdit::CMEnter},
      {CM_EXIT, &TDBEdit::CMExit},
  });
  return Map;
}

void TDBEdit::DescribeProperties(TPropertyTable& Props) {
  describeLinkProperties<TDBEdit>(Props);
  Props.Add<TCustomEdit>("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase).Default(ecNormal);
  Props.Add<TCustomEdit>("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength).Default(0);
  Props.Add<TCustomEdit>("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect).Default(true);
  Props.Add<TCustomEdit>("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle).Default(bsSingle);
  describeEditTail(Props);
}

void TDBEdit::SetDataSource(TDataSource* Value) {
  resetMaxLength();
  FDataLink->SetDataSource(Value);
}

void TDBEdit::SetDataField(const String& Value) {
  resetMaxLength();
  FDataLink->SetFieldName(Value);
}

void TDBEdit::Reset() {
  FDataLink->Reset();
  SelectAll();
}

void TDBEdit::Change() {
  FDataLink->Modified();
  TCustomMaskEdit::Change();
}

bool TDBEdit::EditCanModify() { return askToEdit(); }

void TDBEdit::KeyPress(Char& Key) {
  TCustomMaskEdit::KeyPress(Key);
  if (filterKey(Key)) Reset();
}

void TDBEdit::CMExit(TMessage& Message) {
  // A refused text leaves FFocused set, so taking the focus back keeps the
  // rejected text for the user to correct.
  writeOnExit(/*SelectText=*/true);
  setFocused(false);
  // The write validated the mask already: skip the masked edit's own check.
  DispatchAs<TCustomEdit>(Message);
}

void TDBEdit::dataChange() {
  TField* F = FDataLink->Field();
  if (!F) {
    // A closed dataset may come back with other sizes, or another field.
    resetMaxLength();
    SetEditMask(String());
    SetEditText(String());
    return;
  }
  SetEditMask(F->EditMask());
  if (isTextField(F) && MaxLength() == 0) {
    SetMaxLength(F->Size());
    FFieldMaxLength = F->Size();
  }
  if (FFocused && FDataLink->CanModify()) {
    SetText(F->Text());
    return;
  }
  SetEditText(F->DisplayText());
  // Another field's change redisplays this one while its own change waits.
  if (FDataLink->Editing() && FDataLink->IsModified()) SetModified(true);
}

void TDBEdit::updateData() {
  ValidateEdit();
  FDataLink->Field()->SetText(Text());
}

void TDBEdit::resetMaxLength() {
  if (FFieldMaxLength > 0 && MaxLength() == FFieldMaxLength) SetMaxLength(0);
  FFieldMaxLength = 0;
}

// ---------------------------------------------------------------------------
// TDBMemo

const TMessageMap& TDBMemo::MessageMap() {
  static const TMessageMap Map(TDBFieldControl::MessageMap(), {
      {CM_ENTER, &TDBMemo::CMEnter},
      {CM_EXIT, &TDBMemo::CMExit},
      {WM_LBUTTONDBLCLK, &TDBMemo::WMLButtonDblClk},
  });
  return Map;
}

void TDBMemo::DescribeProperties(TPropertyTable& Props) {
  describeLinkProperties<TDBMemo>(Props);
  Props.Add("AutoDisplay", &TDBMemo::AutoDisplay, &TDBMemo::SetAutoDisplay).Default(true);
  Props.Add<TCustomEdit>("Alignment", &TCustomEdit::Alignment, &TCustomEdit::SetAlignment).Default(taLeftJustify);
  Props.Add<TCustomEdit>("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle).Default(bsSingle);
  Props.Add<TWinControl>("BevelKind", &TWinControl::BevelKind, &TWinControl::SetBevelKind).Default(bkNone);
  Props.Add<TWinControl>("BevelInner", &TWinControl::BevelInner, &TWinControl::SetBevelInner).Default(bvRaised);
  Props.Add<TWinControl>("BevelOuter", &TWinControl::BevelOuter, &TWinControl::SetBevelOuter).Default(bvLowered);
  Props.Add<TCustomEdit>("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength).Default(0);
  Props.Add<TCustomMemo>("ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars).Default(ssNone);
  Props.Add<TCustomMemo>("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap).Default(true);
  Props.Add<TCustomMemo>("WantReturns", &TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns).Default(true);
  Props.Add<TCustomMemo>("WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs).Default(false);
  Props.Add<TControl>("Align", &TControl::Align, &TControl::SetAlign).Default(alNone);
  describeEditTail(Props);
}

void TDBMemo::SetAutoDisplay(bool Value) {
  if (FAutoDisplay == Value) return;
  FAutoDisplay = Value;
  if (Value) LoadMemo();
}

void TDBMemo::LoadMemo() {
  TField* F = FDataLink->Field();
  if (FMemoLoaded || !F || !F->IsBlob()) return;
  SetText(F->AsString());
  FMemoLoaded = true;
}

void TDBMemo::Change() {
  if (FMemoLoaded) FDataLink->Modified();
  TCustomMemo::Change();
}

bool TDBMemo::EditCanModify() { return FMemoLoaded && askToEdit(); }

void TDBMemo::KeyPress(Char& Key) {
  TCustomMemo::KeyPress(Key);
  if (!FMemoLoaded) {
    if (Key == CarriageReturn) LoadMemo();
    Key = Char(0);
    return;
  }
  if (filterKey(Key)) FDataLink->Reset();
}

void TDBMemo::CMExit(TMessage& Message) {
  writeOnExit(/*SelectText=*/false);
  setFocused(false);
  DispatchAs<TCustomMemo>(Message);
}

void TDBMemo::WMLButtonDblClk(TWMMouse& Message) {
  if (!FMemoLoaded)
    LoadMemo();
  else
    DispatchAs<TCustomMemo>(Message);
}

void TDBMemo::dataChange() {
  TField* F = FDataLink->Field();
  const bool WasLoaded = FMemoLoaded;
  FMemoLoaded = false;
  if (!F) {
    SetText(String());
  } else if (F->IsBlob()) {
    // A memo being edited keeps showing the text it had loaded.
    if (FAutoDisplay || (FDataLink->Editing() && WasLoaded))
      LoadMemo();
    else
      SetText("(" + F->DisplayLabel() + ")");
  } else {
    SetText(FFocused && FDataLink->CanModify() ? F->Text() : F->DisplayText());
    FMemoLoaded = true;
  }
}

void TDBMemo::updateData() { FDataLink->Field()->SetAsString(Text()); }

void TDBMemo::focusChanged() {
  if (!Field() || !Field()->IsBlob()) FDataLink->Reset();
}

// ---------------------------------------------------------------------------
// TDBComboBox

const TMessageMap& TDBComboBox::MessageMap() {
  static const TMessageMap Map(TDBFieldControl::MessageMap(), {{CM_EXIT, &TDBComboBox::CMExit}});
  return Map;
}

void TDBComboBox::DescribeProperties(TPropertyTable& Props) {
  describeLinkProperties<TDBComboBox>(Props);
  Props.Add<TCustomComboBox>("Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle).Default(csDropDown);
  Props.Add<TCustomComboBox>("Items", &TCustomComboBox::Items, &TCustomComboBox::SetItems);
  Props.Add<TCustomComboBox>("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount)
      .Default(8);
  Props.Add<TCustomComboBox>("Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted).Default(false);
  Props.Add<TCustomComboBox>("CharCase", &TCustomComboBox::CharCase, &TCustomComboBox::SetCharCase)
      .Default(ecNormal);
  Props.Add<TControl>("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(true);
  Props.Add<TControl>("Font", &TControl::Font, &TControl::SetFont);
  Props.Add<TCustomComboBox>("TabStop", &TCustomComboBox::TabStop, &TCustomComboBox::SetTabStop).Default(true);
  Props.Add<TCustomComboBox>("OnChange", &TCustomComboBox::OnChange, &TCustomComboBox::OnChange);
  Props.Add<TControl>("OnClick", &TControl::OnClick, &TControl::OnClick);
  Props.Add<TCustomComboBox>("OnDropDown", &TCustomComboBox::OnDropDown, &TCustomComboBox::OnDropDown);
  Props.Add<TWinControl>("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter);
  Props.Add<TWinControl>("OnExit", &TWinControl::OnExit, &TWinControl::OnExit);
  Props.Add<TWinControl>("OnKeyDown", &TWinControl::OnKeyDown, &TWinControl::OnKeyDown);
  Props.Add<TWinControl>("OnKeyPress", &TWinControl::OnKeyPress, &TWinControl::OnKeyPress);
}

void TDBComboBox::Change() {
  // Going into edit re-sends the record; the text the user just made must
  // not be replaced by the field's old value.  A dataset that refuses by an
  // exception must not leave the records unheard.
  const bool Editing = [this] {
    FEditing = true;
    const TScopeExit End([&Flag = FEditing] { Flag = false; });
    return FDataLink->Edit();
  }();
  if (!Editing) {
    MessageBeep(MB_OK);
    FDataLink->Reset();
    return;
  }
  FDataLink->Modified();
  TCustomComboBox::Change();
}

void TDBComboBox::KeyPress(Char& Key) {
  TCustomComboBox::KeyPress(Key);
  if (!filterKey(Key)) return;
  FDataLink->Reset();
  SelectAll();
}

void TDBComboBox::CMExit(TMessage& Message) {
  writeOnExit(/*SelectText=*/true);
  DispatchAs<TCustomComboBox>(Message);
}

void TDBComboBox::dataChange() {
  // An open list is choosing: the choice, not the record, decides the text.
  if (FEditing || DroppedDown()) return;
  TField* F = FDataLink->Field();
  SetText(F ? F->Text() : String());
}

void TDBComboBox::updateData() { FDataLink->Field()->SetText(Text()); }

// ---------------------------------------------------------------------------
// right-to-left alignment of data-aware controls

bool DBUseRightToLeftAlignment(TControl* Control, TField* /*Field*/) {
  return SysLocale.MiddleEast && Control->BiDiMode() == bdRightToLeft;
}
