// Data-aware standard controls: TFieldDataLink, which ties one control to one
// field of a data source's dataset, and the edit, memo and combo box that
// show and edit that field through it.
//
// The link's protocol, as the controls use it:
//   a record change (scroll, refresh, another field's program change of this
//     field, Reset)         -> OnDataChange; the control shows Field's value and
//                              its pending change is forgotten (Modified false)
//   the first modifying input -> Edit: the dataset goes into dsEdit, or the
//                              input is refused when the link cannot modify
//   every later change     -> Modified
//   leaving the control, or the dataset posting (deUpdateRecord)
//                          -> UpdateRecord: OnUpdateData writes the text to
//                              Field, only when Modified
// While the link writes (UpdateRecord), the field change it causes does not
// come back as a record change, so the control keeps its text and caret.
#pragma once

#include "platform/db/datasource.h"
#include "platform/rtl/methodptr.h"

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
