// Data-aware standard controls: TFieldDataLink, which ties one control to one
// field of a data source's dataset, and the edit, memo and combo box that
// show and edit that field through it.
//
// The link's protocol, as the controls use it:
//   a record change (scroll, refresh, edit, post, cancel, a change of Field
//     by code, Reset)       -> OnDataChange; the control shows Field's value and
//                              its pending change is forgotten (Modified false)
//   the first modifying input -> Edit: the dataset goes into dsEdit, or the
//                              input is refused when the link cannot modify
//   every later change     -> Modified
//   leaving the control, or the dataset posting (deUpdateRecord)
//                          -> UpdateRecord: OnUpdateData writes the text to
//                              Field, only when Modified
// While the link writes (UpdateRecord), the field change it causes does not
// come back as a record change, so the control keeps its text and caret.
//
// The edit and the memo ask the link before every modification
// (EditCanModify), the combo box as soon as its text changed: a refusal
// (inactive dataset, no field, read-only link, field or dataset) drops the
// input with a beep.  Esc shows the field's value again.  Leaving the
// control writes; when the field refuses the text (a conversion error), the
// control keeps the focus with its text selected (the memo keeps its caret)
// and the error goes on to the caller.  Without an active field the control
// is empty.  Each control answers CM_GETDATALINK with its link.
#pragma once

#include "platform/db/datasource.h"
#include "platform/rtl/methodptr.h"
#include "platform/ui/controls/combobox.h"
#include "platform/ui/controls/edits.h"
#include "platform/ui/controls/mask.h"

#include <memory>

class TField;

// The confirmation texts of deleting through the data-aware controls
// (mtConfirmation, OK and Cancel).
namespace DBCtrlConsts {
inline constexpr const char* SDeleteRecordQuestion = "Delete record?";
inline constexpr const char* SDeleteMultipleRecordsQuestion = "Delete all selected records?";
}  // namespace DBCtrlConsts

// ---------------------------------------------------------------------------
// TFieldDataLink

class TFieldDataLink : public TDataLink {
  RTL_CLASS(TFieldDataLink, TDataLink)
public:
  TFieldDataLink() = default;

  // properties
  // The component the link serves (not owned); names it in "Field not found"
  // errors and receives the focus when the dataset focuses Field.
  TComponent* Control() const { return FControl; }
  void SetControl(TComponent* Value) { FControl = Value; }
  const String& FieldName() const { return FFieldName; }
  // Resolves the field at once on an active link: an unknown name raises
  // "Field '%s' not found" prefixed with the control's name.
  void SetFieldName(const String& Value);
  // The field of FieldName while active; nullptr otherwise.
  TField* Field() const { return FField; }
  // The dataset is in an edit state and the link can modify.
  bool Editing() const { return FEditing; }
  // Not ReadOnly, with a field that can be modified.
  bool CanModify() const;
  // The control changed the value since the last record change or write.
  bool IsModified() const { return FModified; }

  // operations
  // Puts the dataset into dsEdit when the link can modify (and the source
  // auto-edits); answers Editing.
  bool Edit();
  // The control's value differs from the field's from now on.
  void Modified() { FModified = true; }
  // Shows the field's value again (OnDataChange), forgetting the change.
  void Reset() { RecordChanged(nullptr); }

  // events (Sender: the link)
  // The control shows Field's value.
  TNotifyEvent OnDataChange;
  // Editing changed.
  TNotifyEvent OnEditingChange;
  // The control writes its value to Field.
  TNotifyEvent OnUpdateData;
  // Active changed (after Field was resolved).
  TNotifyEvent OnActiveChange;

protected:
  // reimplemented
  void ActiveChanged() override;
  void EditingChanged() override;
  // Takes the focus for the control when Field is the field asked for.
  void FocusControl(TField*& AField) override;
  void LayoutChanged() override;
  // nullptr or Field: OnDataChange, and the change is forgotten.
  void RecordChanged(TField* AField) override;
  // Writes through OnUpdateData when Modified.
  void UpdateData() override;

private:
  void updateField();
  void setField(TField* Value);
  void setEditing(bool Value);

  TComponent* FControl = nullptr;  // not owned
  TField* FField = nullptr;        // not owned: the dataset's
  String FFieldName;
  bool FEditing = false;
  bool FModified = false;
};

// ---------------------------------------------------------------------------
// TDBFieldControl: what the three data-aware controls share, mixed into the
// standard control each extends (TBase).  It owns the field link and wires it
// to the control's dataChange and updateData, publishes the link's properties,
// answers CM_GETDATALINK, tracks the focus for the controls that show another
// text while focused, and gives the modification, key and exit rules of the
// top of this file.  The controls' metaclasses and message maps name TBase's
// as their parent's, so the mix-in is no class of the object model.

template <class TBase>
class TDBFieldControl : public TBase {
  UI_MESSAGE_MAP
public:
  // properties
  TDataSource* DataSource() const { return FDataLink->DataSource(); }
  // Not owned; a freed source detaches itself.
  void SetDataSource(TDataSource* Value) { FDataLink->SetDataSource(Value); }
  const String& DataField() const { return FDataLink->FieldName(); }
  void SetDataField(const String& Value) { FDataLink->SetFieldName(Value); }
  TField* Field() const { return FDataLink->Field(); }
  // The link's: a read-only control never puts the dataset into edit.
  bool ReadOnly() const { return FDataLink->ReadOnly(); }
  void SetReadOnly(bool Value) { FDataLink->SetReadOnly(Value); }

protected:
  explicit TDBFieldControl(TComponent* AOwner);

  // DataSource, DataField and ReadOnly, as the control T publishes them.
  template <class T>
  static void describeLinkProperties(TPropertyTable& Props);
  // The link edits for a modification; else a beep and no.
  bool askToEdit();
  // Filters a typed character for the field before it reaches the text: one
  // the field cannot hold (a letter in a number) goes with a beep.  Esc goes
  // too and answers true: the control shows the field's value again.
  bool filterKey(Char& Key);
  // Leaving writes a modified value.  A value the field refuses keeps the
  // focus here, the text all selected when SelectText, and the error goes on
  // to the caller.
  void writeOnExit(bool SelectText);
  // The focus came or went (CM_ENTER, CM_EXIT); a change calls focusChanged.
  void setFocused(bool Value);

  // introduced virtuals
  // The control shows the field's value.
  virtual void dataChange() = 0;
  // The control writes its value to the field.
  virtual void updateData() = 0;
  // The focused text differs from the unfocused one: shows the field again.
  virtual void focusChanged() { FDataLink->Reset(); }

  // message handlers
  // For the controls that track the focus.
  void CMEnter(TMessage& Message);
  void CMGetDataLink(TMessage& Message);

  std::unique_ptr<TFieldDataLink> FDataLink;
  bool FFocused = false;
};

// ---------------------------------------------------------------------------
// TDBEdit: a masked edit over one field.  Unfocused it shows the field's
// DisplayText, focused (and modifiable) its Text; EditMask is the field's,
// and a text field's Size becomes MaxLength when MaxLength is 0.

class TDBEdit : public TDBFieldControl<TCustomMaskEdit> {
  RTL_CLASS(TDBEdit, TCustomMaskEdit)
  UI_MESSAGE_MAP
public:
  explicit TDBEdit(TComponent* AOwner) : TDBFieldControl(AOwner) {}
  static void DescribeProperties(TPropertyTable& Props);

  // properties
  // Both forget a MaxLength that came from the field's Size.
  void SetDataSource(TDataSource* Value);
  void SetDataField(const String& Value);

  // Shows the field's value again, all selected.
  void Reset() override;

protected:
  // reimplemented
  // The link is modified, then OnChange.
  void Change() override;
  // The link edits; else a beep and no.
  bool EditCanModify() override;
  // A character the field refuses beeps and goes; Esc resets.
  void KeyPress(Char& Key) override;

  // message handlers
  // Writes a modified value first (see the top of the file).
  void CMExit(TMessage& Message);

private:
  void dataChange() override;
  void updateData() override;
  // Forgets a MaxLength that came from a field's Size.
  void resetMaxLength();

  Integer FFieldMaxLength = 0;  // the MaxLength a field's Size gave; 0: none
};

// ---------------------------------------------------------------------------
// TDBMemo: a memo over one field, showing its AsString (a non-blob field:
// DisplayText unfocused, Text focused).  With AutoDisplay off a blob field
// shows "(DisplayLabel)" until loaded by a double click, Enter or LoadMemo;
// until then the memo takes no input.

class TDBMemo : public TDBFieldControl<TCustomMemo> {
  RTL_CLASS(TDBMemo, TCustomMemo)
  UI_MESSAGE_MAP
public:
  explicit TDBMemo(TComponent* AOwner) : TDBFieldControl(AOwner) {}
  static void DescribeProperties(TPropertyTable& Props);

  // properties
  // Turning it on loads the blob at once.
  bool AutoDisplay() const { return FAutoDisplay; }
  void SetAutoDisplay(bool Value);

  // Loads a blob field's text when it is not shown yet.
  void LoadMemo();

protected:
  // reimplemented
  // The link is modified once the text is loaded, then OnChange.
  void Change() override;
  // Not before the text is loaded; then the link edits, else a beep and no.
  bool EditCanModify() override;
  // A character the field refuses beeps and goes; Esc resets; Enter loads
  // an unloaded blob.
  void KeyPress(Char& Key) override;

  // message handlers
  // Writes a modified value first (see the top of the file).
  void CMExit(TMessage& Message);
  // Loads an unloaded blob instead of selecting a word.
  void WMLButtonDblClk(TWMMouse& Message);

private:
  void dataChange() override;
  void updateData() override;
  // A blob shows the same text focused or not: the caret stays where it is.
  void focusChanged() override;

  bool FAutoDisplay = true;
  bool FMemoLoaded = false;  // the text shows the field's value
};

// ---------------------------------------------------------------------------
// TDBComboBox: a combo box over one field, showing its Text.  Typing and
// choosing an item change the field's value (written on leaving or posting);
// a change the link cannot take is undone with a beep.

class TDBComboBox : public TDBFieldControl<TCustomComboBox> {
  RTL_CLASS(TDBComboBox, TCustomComboBox)
  UI_MESSAGE_MAP
public:
  explicit TDBComboBox(TComponent* AOwner) : TDBFieldControl(AOwner) {}
  static void DescribeProperties(TPropertyTable& Props);

protected:
  // reimplemented
  // The link edits (the text stays as the user made it) and is modified,
  // then OnChange; a refusal beeps and shows the field again.
  void Change() override;
  // A character the field refuses beeps and goes; Esc shows the field again.
  void KeyPress(Char& Key) override;

  // message handlers
  // Writes a modified value first (see the top of the file).
  void CMExit(TMessage& Message);

private:
  void dataChange() override;
  void updateData() override;

  bool FEditing = false;  // Change is putting the dataset into edit
};

// ---------------------------------------------------------------------------
// right-to-left alignment of data-aware controls

// Whether Control shows Field's value right-aligned for right-to-left
// reading: only under a middle-east system locale (SysLocale.MiddleEast) and
// when Control's BiDiMode is bdRightToLeft.  Field may be nullptr.
bool DBUseRightToLeftAlignment(TControl* Control, TField* Field);
