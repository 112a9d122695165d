#include "gridlib/editors/fielddatalink.h"

#include "gridlib/base/valuetext.h"
#include "platform/db/dataset.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fields.h"
#include "platform/rtl/exceptions.h"
#include "platform/ui/dbctrls/dbctrls.h"
#include "platform/ui/windowing/controls.h"
#include "platform/ui/windowing/window.h"

#include <QStringList>
#include <algorithm>

using namespace gdi;

TFieldDataLinkEh::TFieldDataLinkEh() { SetVisualControl(true); }

// ---------------------------------------------------------------------------
// properties

bool TFieldDataLinkEh::Active() const { return FDataIndepended || (TDataLink::Active() && Field()); }

bool TFieldDataLinkEh::DataSetActive() const {
  return DataSource() && DataSource()->DataSet() && DataSource()->DataSet()->Active();
}

bool TFieldDataLinkEh::CanModify() const { return (Field() && Field()->CanModify()) || FDataIndepended; }

void TFieldDataLinkEh::SetDataSource(TDataSource* Value) {
  if (DataSource() == Value) return;
  TDataLink::SetDataSource(Value);
  UpdateDataIndepended();
}

void TFieldDataLinkEh::SetFieldName(const String& Value) {
  if (FFieldName == Value) return;
  FFieldName = Value;
  BindFields();
  UpdateDataIndepended();
}

void TFieldDataLinkEh::SetMultiFields(bool Value) {
  if (FMultiFields == Value) return;
  FMultiFields = Value;
  BindFields();
}

bool TFieldDataLinkEh::IsDataIndepended() const { return !DataSource() && FFieldName.isEmpty(); }

void TFieldDataLinkEh::UpdateDataIndepended() {
  if (IsDataIndepended() == FDataIndepended) return;
  FDataIndepended = IsDataIndepended();
  DataIndependentValue = Null();
  LayoutChanged();
  if (FDataIndepended) RecordChanged(nullptr);
}

// ---------------------------------------------------------------------------
// binding

void TFieldDataLinkEh::BindFields() {
  TFieldsArrEh List;
  if (TDataLink::Active() && !FFieldName.isEmpty()) {
    const QStringList Names = FMultiFields ? FFieldName.split(';') : QStringList{FFieldName};
    for (const String& Name : Names) List.push_back(findField(Name));
  }
  SetFields(List);
}

// A name that does not resolve leaves no stale field bound behind the
// error: the control empties first, then the error is raised for the
// control (or, without one, for the dataset).
TField* TFieldDataLinkEh::findField(const String& Name) {
  TDataSet* Data = DataSet();
  if (TField* F = Data->FindField(Name)) return F;
  SetFields({});
  if (FControl) DatabaseErrorFmt(DBConsts::SFieldNotFound, {Name}, FControl);
  return Data->FieldByName(Name);
}

void TFieldDataLinkEh::SetFields(const TFieldsArrEh& List) {
  FFields = List;
  EditingChanged();
  RecordChanged(nullptr);
  UpdateRightToLeft();
}

bool TFieldDataLinkEh::IsBoundField(TField* Field) const {
  return std::find(FFields.begin(), FFields.end(), Field) != FFields.end();
}

void TFieldDataLinkEh::UpdateRightToLeft() {
  auto* Control = dynamic_cast<TWinControl*>(FControl);
  if (!Control || Control->ComponentState().Contains(csDestroying)) return;
  if (!Control->UseRightToLeftReading() && !Control->UseRightToLeftAlignment()) return;
  if (!Control->HandleAllocated()) return;
  const bool RightAligned = (GetWindowLong(Control->Handle(), GWL_EXSTYLE) & WS_EX_RIGHT) != 0;
  if (RightAligned != DBUseRightToLeftAlignment(Control, Field())) Control->Perform(CM_RECREATEWND, 0, 0);
}

// ---------------------------------------------------------------------------
// editing and writing

bool TFieldDataLinkEh::Edit() {
  if (FDataIndepended) {
    if (!FEditing && !ReadOnly()) {
      FEditing = true;
      FModified = false;
      if (OnEditingChange) OnEditingChange(this);
    }
  } else if (CanModify()) {
    TDataLink::Edit();
  }
  return FEditing;
}

void TFieldDataLinkEh::SetText(const String& Text) {
  if (FDataIndepended) {
    DataIndependentValue = Variant(Text);
    RecordChanged(nullptr);
    return;
  }
  TField* F = Field();
  if (!F) return;
  if (F->IsBlob())
    F->SetAsString(Text);
  else
    F->SetText(Text);
}

void TFieldDataLinkEh::SetValue(const Variant& Value) {
  if (FDataIndepended) {
    DataIndependentValue = Value;
    RecordChanged(nullptr);
    return;
  }
  if (FFields.size() > 1) {
    if (VariantsEqualEh(Value, Null())) {
      for (TField* F : FFields) F->SetAsVariant(Null());
      return;
    }
    // Checked before writing: a short or scalar value must not leave half a
    // record written.
    if (!VarIsArray(Value)) throw EVariantInvalidArgError(QStringLiteral("Variant is not an array"));
    const Integer Low = VarArrayLowBound(Value, 1);
    if (VarArrayHighBound(Value, 1) - Low + 1 < FieldsCount())
      throw EVariantBadIndexError(QStringLiteral("Variant or safe array index out of bounds"));
    for (size_t I = 0; I < FFields.size(); ++I) FFields[I]->SetAsVariant(Value[Low + Integer(I)]);
    return;
  }
  if (TField* F = Field()) F->SetAsVariant(Value);
}

// ---------------------------------------------------------------------------
// data events

void TFieldDataLinkEh::ActiveChanged() {
  BindFields();
  if (OnActiveChange) OnActiveChange(this);
}

void TFieldDataLinkEh::LayoutChanged() { BindFields(); }

void TFieldDataLinkEh::DataEvent(TDataEvent Event, std::intptr_t Info) {
  TDataLink::DataEvent(Event, Info);
  if (Event != deDisabledStateChange) return;
  if (Info != 0)
    BindFields();
  else
    SetFields({});
}

void TFieldDataLinkEh::RecordChanged(TField* Field) {
  if (Field && !IsBoundField(Field)) return;
  if (OnDataChange) OnDataChange(this);
  FModified = false;
}

void TFieldDataLinkEh::EditingChanged() { SetEditing(TDataLink::Editing() && CanModify()); }

void TFieldDataLinkEh::SetEditing(bool Value) {
  if (FEditing == Value) return;
  FEditing = Value;
  FModified = false;
  if (OnEditingChange) OnEditingChange(this);
}

void TFieldDataLinkEh::UpdateData() {
  if (FDataIndepended) {
    if (FModified && OnUpdateData) OnUpdateData(this);
    FEditing = false;
  } else if (FModified && Field() && OnUpdateData) {
    OnUpdateData(this);
  }
  FModified = false;
}

void TFieldDataLinkEh::FocusControl(TField*& Field) {
  if (!Field || !IsBoundField(Field)) return;
  auto* Control = dynamic_cast<TWinControl*>(FControl);
  if (!Control || !Control->CanFocus()) return;
  Field = nullptr;
  Control->SetFocus();
}
