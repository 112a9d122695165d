#include "platform/ui/dbctrls/dbctrls.h"

#include "platform/db/dataset.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fields.h"
#include "platform/ui/controls.h"

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
  // A name that no longer resolves leaves no stale field behind the error.
  FField = nullptr;
  TField* Found = DataSet()->FindField(FFieldName);
  if (!Found) DatabaseErrorFmt(DBConsts::SFieldNotFound, {FFieldName}, FControl);
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
