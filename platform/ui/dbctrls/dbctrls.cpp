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

constexpr Char Escape = Char(27);
constexpr Char CarriageReturn = Char(13);

// A link serving Control (which owns it): OnDataChange shows the field's
// value, OnUpdateData writes the control's.
std::unique_ptr<TFieldDataLink> newFieldLink(TComponent* Control, const TNotifyEvent& OnDataChange,
                                             const TNotifyEvent& OnUpdateData) {
  auto Link = std::make_unique<TFieldDataLink>();
  Link->SetControl(Control);
  Link->OnDataChange = OnDataChange;
  Link->OnUpdateData = OnUpdateData;
  return Link;
}

// Filters a typed character for Field before it reaches the text: one the
// field cannot hold (a letter in a number) goes with a beep.  Esc goes too
// and answers true: the control shows the field's value again.
bool filterKey(TField* Field, Char& Key) {
  if (Key == Escape) {
    Key = Char(0);
    return true;
  }
  if (Key.unicode() >= 32 && Field && !Field->IsValidChar(Key)) {
    MessageBeep(MB_OK);
    Key = Char(0);
  }
  return false;
}

// The link edits for a modification, or the modification goes with a beep.
bool askToEdit(TFieldDataLink* Link) {
  if (Link->Edit()) return true;
  MessageBeep(MB_OK);
  return false;
}

// Leaving Control writes its modified value.  A value the field refuses
// keeps the focus on Control, its text all selected when SelectText, and the
// error goes on to the caller.
template <class TFieldControl>
void writeOnExit(TFieldDataLink* Link, TFieldControl* Control, bool SelectText) {
  try {
    Link->UpdateRecord();
  } catch (const Exception&) {
    if (SelectText) Control->SelectAll();
    Control->SetFocus();
    throw;
  }
}

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
// TDBEdit

const TMessageMap& TDBEdit::MessageMap() {
  static const TMessageMap Map(TCustomMaskEdit::MessageMap(), {
      {CM_ENTER, &TDBEdit::CMEnter},
      {CM_EXIT, &TDBEdit::CMExit},
      {CM_GETDATALINK, &TDBEdit::CMGetDataLink},
  });
  return Map;
}

TDBEdit::TDBEdit(TComponent* AOwner)
    : TCustomMaskEdit(AOwner),
      FDataLink(newFieldLink(this, TNotifyEvent(this, &TDBEdit::dataChange),
                             TNotifyEvent(this, &TDBEdit::updateData))) {
  FControlStyle.Include(csReplicatable);
}

TDBEdit::~TDBEdit() = default;

void TDBEdit::DescribeProperties(TPropertyTable& Props) {
  Props.Add("DataSource", &TDBEdit::DataSource, &TDBEdit::SetDataSource);
  Props.Add("DataField", &TDBEdit::DataField, &TDBEdit::SetDataField);
  Props.Add("ReadOnly", &TDBEdit::ReadOnly, &TDBEdit::SetReadOnly).Default(false);
  Props.Add<TCustomEdit>("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase).Default(ecNormal);
  Props.Add<TCustomEdit>("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength).Default(0);
  Props.Add<TCustomEdit>("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect).Default(true);
  Props.Add<TCustomEdit>("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle).Default(bsSingle);
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

bool TDBEdit::EditCanModify() { return askToEdit(FDataLink.get()); }

void TDBEdit::KeyPress(Char& Key) {
  TCustomMaskEdit::KeyPress(Key);
  if (filterKey(FDataLink->Field(), Key)) Reset();
}

void TDBEdit::CMEnter(TMessage& Message) {
  setFocused(true);
  DispatchAs<TCustomMaskEdit>(Message);
}

void TDBEdit::CMExit(TMessage& Message) {
  // A refused text leaves FFocused set, so taking the focus back keeps the
  // rejected text for the user to correct.
  writeOnExit(FDataLink.get(), this, /*SelectText=*/true);
  setFocused(false);
  // The write validated the mask already: skip the masked edit's own check.
  DispatchAs<TCustomEdit>(Message);
}

void TDBEdit::CMGetDataLink(TMessage& Message) { Message.Result = LRESULT(FDataLink.get()); }

void TDBEdit::dataChange(TObject*) {
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

void TDBEdit::updateData(TObject*) {
  ValidateEdit();
  FDataLink->Field()->SetText(Text());
}

void TDBEdit::setFocused(bool Value) {
  if (FFocused == Value) return;
  FFocused = Value;
  FDataLink->Reset();
}

void TDBEdit::resetMaxLength() {
  if (FFieldMaxLength > 0 && MaxLength() == FFieldMaxLength) SetMaxLength(0);
  FFieldMaxLength = 0;
}

// ---------------------------------------------------------------------------
// TDBMemo

const TMessageMap& TDBMemo::MessageMap() {
  static const TMessageMap Map(TCustomMemo::MessageMap(), {
      {CM_ENTER, &TDBMemo::CMEnter},
      {CM_EXIT, &TDBMemo::CMExit},
      {CM_GETDATALINK, &TDBMemo::CMGetDataLink},
      {WM_LBUTTONDBLCLK, &TDBMemo::WMLButtonDblClk},
  });
  return Map;
}

TDBMemo::TDBMemo(TComponent* AOwner)
    : TCustomMemo(AOwner),
      FDataLink(newFieldLink(this, TNotifyEvent(this, &TDBMemo::dataChange),
                             TNotifyEvent(this, &TDBMemo::updateData))) {
  FControlStyle.Include(csReplicatable);
}

TDBMemo::~TDBMemo() = default;

void TDBMemo::DescribeProperties(TPropertyTable& Props) {
  Props.Add("DataSource", &TDBMemo::DataSource, &TDBMemo::SetDataSource);
  Props.Add("DataField", &TDBMemo::DataField, &TDBMemo::SetDataField);
  Props.Add("ReadOnly", &TDBMemo::ReadOnly, &TDBMemo::SetReadOnly).Default(false);
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

bool TDBMemo::EditCanModify() { return FMemoLoaded && askToEdit(FDataLink.get()); }

void TDBMemo::KeyPress(Char& Key) {
  TCustomMemo::KeyPress(Key);
  if (!FMemoLoaded) {
    if (Key == CarriageReturn) LoadMemo();
    Key = Char(0);
    return;
  }
  if (filterKey(FDataLink->Field(), Key)) FDataLink->Reset();
}

void TDBMemo::CMEnter(TMessage& Message) {
  setFocused(true);
  DispatchAs<TCustomMemo>(Message);
}

void TDBMemo::CMExit(TMessage& Message) {
  writeOnExit(FDataLink.get(), this, /*SelectText=*/false);
  setFocused(false);
  DispatchAs<TCustomMemo>(Message);
}

void TDBMemo::CMGetDataLink(TMessage& Message) { Message.Result = LRESULT(FDataLink.get()); }

void TDBMemo::WMLButtonDblClk(TWMMouse& Message) {
  if (!FMemoLoaded)
    LoadMemo();
  else
    DispatchAs<TCustomMemo>(Message);
}

void TDBMemo::dataChange(TObject*) {
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

void TDBMemo::updateData(TObject*) { FDataLink->Field()->SetAsString(Text()); }

void TDBMemo::setFocused(bool Value) {
  if (FFocused == Value) return;
  FFocused = Value;
  // A blob shows the same text focused or not: keep the caret where it is.
  if (!FDataLink->Field() || !FDataLink->Field()->IsBlob()) FDataLink->Reset();
}

// ---------------------------------------------------------------------------
// TDBComboBox

const TMessageMap& TDBComboBox::MessageMap() {
  static const TMessageMap Map(TCustomComboBox::MessageMap(), {
      {CM_EXIT, &TDBComboBox::CMExit},
      {CM_GETDATALINK, &TDBComboBox::CMGetDataLink},
  });
  return Map;
}

TDBComboBox::TDBComboBox(TComponent* AOwner)
    : TCustomComboBox(AOwner),
      FDataLink(newFieldLink(this, TNotifyEvent(this, &TDBComboBox::dataChange),
                             TNotifyEvent(this, &TDBComboBox::updateData))) {
  FControlStyle.Include(csReplicatable);
}

TDBComboBox::~TDBComboBox() = default;

void TDBComboBox::DescribeProperties(TPropertyTable& Props) {
  Props.Add("DataSource", &TDBComboBox::DataSource, &TDBComboBox::SetDataSource);
  Props.Add("DataField", &TDBComboBox::DataField, &TDBComboBox::SetDataField);
  Props.Add("ReadOnly", &TDBComboBox::ReadOnly, &TDBComboBox::SetReadOnly).Default(false);
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
  if (!filterKey(FDataLink->Field(), Key)) return;
  FDataLink->Reset();
  SelectAll();
}

void TDBComboBox::CMExit(TMessage& Message) {
  writeOnExit(FDataLink.get(), this, /*SelectText=*/true);
  DispatchAs<TCustomComboBox>(Message);
}

void TDBComboBox::CMGetDataLink(TMessage& Message) { Message.Result = LRESULT(FDataLink.get()); }

void TDBComboBox::dataChange(TObject*) {
  // An open list is choosing: the choice, not the record, decides the text.
  if (FEditing || DroppedDown()) return;
  TField* F = FDataLink->Field();
  SetText(F ? F->Text() : String());
}

void TDBComboBox::updateData(TObject*) { FDataLink->Field()->SetText(Text()); }

// ---------------------------------------------------------------------------
// right-to-left alignment of data-aware controls

bool DBUseRightToLeftAlignment(TControl* Control, TField* /*Field*/) {
  return SysLocale.MiddleEast && Control->BiDiMode() == bdRightToLeft;
}
