// The field data link of every data-aware control of the library: binds one
// field, or a ";"-list of fields (MultiFields), of a data source's dataset
// by name, and forwards the dataset's events to the control.  With neither a
// data source nor a field name it is data-independent: it holds a value of
// its own (DataIndependentValue), so the same control works unbound.
//
// Modes move with DataSource and FieldName (UpdateDataIndepended); leaving
// either mode resets the own value to Null and binds again.
//
// Faults the link refuses:
//   - a field name that does not resolve empties the bound fields (the
//     control re-reads and shows nothing) before the error is raised, so no
//     field it no longer names stays bound;
//   - a multi-field SetValue whose value is neither Null nor an array of at
//     least FieldsCount elements raises before any field is written.
#pragma once

#include "gridlib/base/basecontrols.h"
#include "platform/db/datasource.h"
#include "platform/rtl/variant.h"

class TComponent;
class TField;

class TFieldDataLinkEh : public TDataLink {
  RTL_CLASS(TFieldDataLinkEh, TDataLink)
public:
  // Data-independent, value Null, a visual-control link.
  TFieldDataLinkEh();

  // properties
  // Data-independent, or the platform link active with a bound field.
  bool Active() const;
  // A data source with an active dataset.
  bool DataSetActive() const;
  // A bound field that can be modified, or data-independent (ReadOnly is
  // not asked here).
  bool CanModify() const;
  void SetDataSource(TDataSource* Value);
  const String& FieldName() const { return FFieldName; }
  void SetFieldName(const String& Value);
  bool MultiFields() const { return FMultiFields; }
  void SetMultiFields(bool Value);
  // The first bound field, nullptr when none.
  TField* Field() const { return FFields.empty() ? nullptr : FFields.front(); }
  TField* GetFieldsField(Integer Index) const { return FFields.empty() ? nullptr : FFields.at(size_t(Index)); }
  Integer FieldsCount() const { return Integer(FFields.size()); }
  bool DataIndepended() const { return FDataIndepended; }
  bool Editing() const { return FEditing; }
  bool IsModified() const { return FModified; }
  // The owning control (not owned): names it in errors, takes the focus.
  TComponent* Control() const { return FControl; }
  void SetControl(TComponent* Value) { FControl = Value; }

  // operations
  // Starts editing: data-independent unless ReadOnly; bound through the
  // dataset when CanModify.  Answers Editing.
  bool Edit();
  void Modified() { FModified = true; }
  void SetModified(bool Value) { FModified = Value; }
  // The control re-reads the field, forgetting its text.
  void Reset() { RecordChanged(nullptr); }
  // Data-independent: the own value as a string; bound: AsString of a blob,
  // Text of any other field.
  void SetText(const String& Text);
  // Data-independent: the own value; several fields: Null to each, or
  // element i to field i; one field: AsVariant.
  void SetValue(const Variant& Value);

  // The value held while data-independent.
  Variant DataIndependentValue = Null();

  // events (Sender: the link)
  TNotifyEvent OnDataChange;
  TNotifyEvent OnEditingChange;
  TNotifyEvent OnUpdateData;
  TNotifyEvent OnActiveChange;

  // reimplemented (public: controls and tests drive them)
  void ActiveChanged() override;
  void DataEvent(TDataEvent Event, std::intptr_t Info) override;
  void EditingChanged() override;
  void FocusControl(TField*& Field) override;
  void LayoutChanged() override;
  void RecordChanged(TField* Field) override;
  void UpdateData() override;

  // introduced virtuals
  virtual void BindFields();
  virtual bool IsDataIndepended() const;

private:
  void UpdateDataIndepended();
  TField* findField(const String& Name);
  void SetFields(const TFieldsArrEh& List);
  void SetEditing(bool Value);
  bool IsBoundField(TField* Field) const;
  void UpdateRightToLeft();

  TFieldsArrEh FFields;
  String FFieldName;
  TComponent* FControl = nullptr;
  bool FMultiFields = false;
  bool FDataIndepended = true;
  bool FEditing = false;
  bool FModified = false;
};
