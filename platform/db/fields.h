// TField, the base of every field class, and TFields, a dataset's ordered
// list of fields.
//
// A field holds no value of its own: every read asks the dataset
// (GetFieldData), every write goes through the dataset's write path, which
// the descendant dataset runs in this order:
//
//   field converts the input to its value kind (range checks here)
//     -> TDataSet::SetFieldData(field, value)
//        -> CheckFieldWrite(field)          state and read-only checks
//        -> field->Validate(value)          OnValidate sees the pending value
//        -> store in the record buffer
//        -> NotifyFieldChanged(field)       deFieldChange, then field->Change()
//
// Values cross that boundary as Variant: each field class has one value
// kind (see fieldclasses.h), and Null means "no value".
//
// Lookup fields take their value from another dataset (LookupDataSet): the
// engine calls CalcLookupValue while it calculates a record (dsCalcFields);
// with LookupCache the answers come from LookupList, filled by
// RefreshLookupList when the field is bound.  Lookup fields cannot be written
// outside that calculation.
#pragma once

#include "platform/db/dbtypes.h"
#include "platform/rtl/alignment.h"
#include "platform/rtl/ansistring.h"
#include "platform/rtl/component.h"
#include "platform/rtl/variant.h"

#include <memory>
#include <utility>
#include <vector>

class TDataSet;
class TFields;
class TStrings;

// A class reference to TField or a descendant.
using TFieldClass = TClass;

// The key -> value pairs of a cached lookup field, in the order the lookup
// dataset delivered them.
class TLookupList {
public:
  void Add(const Variant& AKey, const Variant& AValue);
  void Clear();
  int Count() const { return int(FList.size()); }
  // The value of the first entry whose key equals AKey (arrays element by
  // element); Null when there is none or AKey is Null.
  Variant ValueOfKey(const Variant& AKey) const;

private:
  std::vector<std::pair<Variant, Variant>> FList;
};

class TField : public TComponent {
  RTL_CLASS(TField, TComponent)
public:
  explicit TField(TComponent* AOwner);
  ~TField() override;
  void BeforeDestruction() override;
  static void DescribeProperties(TPropertyTable& Props);

  // Null clears the field, a TField copies its Value, anything else raises
  // the component model's assignment error.
  void Assign(TPersistent* Source) override;

  // identity and layout
  const String& FieldName() const { return FFieldName; }
  // Inactive dataset only; a name another field of the dataset has raises
  // "Duplicate field name '%s'".  Sends deFieldListChange.
  void SetFieldName(const String& Value);
  // DisplayLabel when set, else FieldName.
  String DisplayName() const;
  String DisplayLabel() const { return DisplayName(); }
  void SetDisplayLabel(const String& Value);
  // The stored width, or the class's default width when none is stored.
  Integer DisplayWidth() const;
  void SetDisplayWidth(Integer Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  bool Required() const { return FRequired; }
  void SetRequired(bool Value) { FRequired = Value; }
  // The place in the dataset's Fields, -1 without a dataset; setting it
  // moves the field.
  Integer Index() const;
  void SetIndex(Integer Value);
  // The 1-based number of the field's def for data fields; -1 for the other
  // kinds, 0 for a data field not yet bound.
  Integer FieldNo() const;
  TFieldKind FieldKind() const { return FFieldKind; }
  // Inactive dataset only.
  void SetFieldKind(TFieldKind Value);
  bool Calculated() const { return FFieldKind == fkCalculated; }
  void SetCalculated(bool Value);
  bool Lookup() const { return FFieldKind == fkLookup; }
  void SetLookup(bool Value);
  TFieldType DataType() const { return FDataType; }
  TDataSet* DataSet() const { return FDataSet; }
  // Leaves the old dataset's Fields and joins the new one's; both datasets
  // must be inactive.
  void SetDataSet(TDataSet* ADataSet);
  // Characters of text fields, scale of BCD fields, bytes of binary fields.
  // Inactive dataset only; a size the class cannot take raises "Invalid field
  // size".
  Integer Size() const { return FSize; }
  void SetSize(Integer Value);
  // Bytes one value takes in a record buffer that stores it natively.
  Integer DataSize() const { return GetDataSize(); }
  virtual bool IsBlob() const { return false; }
  bool IsNull();
  // A data field that is not ReadOnly on a dataset that can modify.
  bool CanModify() const;
  const String& DefaultExpression() const { return FDefaultExpression; }
  void SetDefaultExpression(const String& Value) { FDefaultExpression = Value; }
  // The mask string fields show their display text through; edit controls also edit with it.
  const String& EditMask() const { return FEditMask; }
  void SetEditMask(const String& Value);
  TAutoRefreshFlag AutoGenerateValue() const { return FAutoGenerateValue; }
  void SetAutoGenerateValue(TAutoRefreshFlag Value) { FAutoGenerateValue = Value; }
  TProviderFlags ProviderFlags() const { return FProviderFlags; }
  void SetProviderFlags(TProviderFlags Value) { FProviderFlags = Value; }
  const String& Origin() const { return FOrigin; }
  void SetOrigin(const String& Value) { FOrigin = Value; }

  // values.  A field without a dataset raises "Field '%s' has no dataset"; a
  // conversion the class has no rule for raises "Cannot access field '%s' as
  // type %s".  Null reads as "", 0, false or 0.0.
  Variant Value() { return GetAsVariant(); }
  // Null or Unassigned clears the field.
  void SetValue(const Variant& AValue);
  Variant AsVariant() { return GetAsVariant(); }
  void SetAsVariant(const Variant& AValue) { SetValue(AValue); }
  String AsString() { return GetAsString(); }
  virtual void SetAsString(const String& AValue);
  Integer AsInteger() { return GetAsInteger(); }
  virtual void SetAsInteger(Integer AValue);
  Int64 AsLargeInt() { return GetAsLargeInt(); }
  virtual void SetAsLargeInt(Int64 AValue);
  double AsFloat() { return GetAsFloat(); }
  virtual void SetAsFloat(double AValue);
  Currency AsCurrency() { return GetAsCurrency(); }
  virtual void SetAsCurrency(Currency AValue);
  bool AsBoolean() { return GetAsBoolean(); }
  virtual void SetAsBoolean(bool AValue);
  TDateTime AsDateTime() { return GetAsDateTime(); }
  virtual void SetAsDateTime(TDateTime AValue);
  // The text in the 8-bit code page; blobs give their raw bytes.
  AnsiString AsAnsiString() { return GetAsAnsiString(); }
  virtual void SetAsAnsiString(const AnsiString& AValue);
  String AsWideString() { return GetAsWideString(); }
  virtual void SetAsWideString(const String& AValue);
  TBytes AsBytes() { return GetAsBytes(); }
  virtual void SetAsBytes(const TBytes& AValue);
  void Clear();

  // texts
  // OnGetText(DisplayText = true), else the class's display text.
  String DisplayText();
  // The edit text: OnGetText(DisplayText = false), else the class's edit text.
  String Text();
  // OnSetText, else the class's parsing (AsString by default).
  void SetText(const String& AValue);
  // Whether an editor may accept Ch for this field.
  virtual bool IsValidChar(Char Ch);

  // write path and engine services
  // Runs OnValidate with Value pending: the field's getters answer it while
  // the handler runs.  An exception leaves nothing stored.
  virtual void Validate(const Variant& AValue);
  // Fires OnChange; the engine calls it after a stored change.
  virtual void Change();
  // Asks the dataset's links to focus the control editing this field.
  void FocusControl();
  // The dataset is opening (true) or closing: lookup fields check their
  // lookup information and fill the cache.
  virtual void Bind(bool Binding);
  // Set by the dataset when it binds the field to its def.
  void SetFieldNo(Integer Value) { FFieldNo = Value; }
  // Class description "(MEMO)": upper case when there is a value.
  String ClassDesc();

  // lookup
  const String& KeyFields() const { return FKeyFields; }
  void SetKeyFields(const String& Value);
  TDataSet* LookupDataSet() const { return FLookupDataSet; }
  void SetLookupDataSet(TDataSet* Value);
  const String& LookupKeyFields() const { return FLookupKeyFields; }
  void SetLookupKeyFields(const String& Value);
  const String& LookupResultField() const { return FLookupResultField; }
  void SetLookupResultField(const String& Value);
  bool LookupCache() const { return FLookupCache; }
  void SetLookupCache(bool Value);
  TLookupList* LookupList();
  // Reloads LookupList from every record of LookupDataSet (opened for it
  // and left as it was found).
  void RefreshLookupList();
  // Stores the value looked up for the current record: from LookupList with
  // LookupCache, else LookupDataSet->Lookup; nothing while the lookup
  // dataset is closed.
  void CalcLookupValue();

  // events
  TFieldNotifyEvent OnChange() const { return FOnChange; }
  void SetOnChange(TFieldNotifyEvent Value) { FOnChange = Value; }
  TFieldNotifyEvent OnValidate() const { return FOnValidate; }
  void SetOnValidate(TFieldNotifyEvent Value) { FOnValidate = Value; }
  TFieldGetTextEvent OnGetText() const { return FOnGetText; }
  void SetOnGetText(TFieldGetTextEvent Value) { FOnGetText = Value; }
  TFieldSetTextEvent OnSetText() const { return FOnSetText; }
  void SetOnSetText(TFieldSetTextEvent Value) { FOnSetText = Value; }

protected:
  // value access through the dataset
  // False (and Value Null) when the field has no value.
  bool GetData(Variant& AValue);
  void SetData(const Variant& AValue);
  void SetDataType(TFieldType Value) { FDataType = Value; }
  // Takes a field def's type when the class serves several (ftFixedChar for
  // a TStringField); base: nothing.
  virtual void SetFieldType(TFieldType Value);
  // "Invalid field size" for a size the class cannot take; base: only 0.
  virtual void CheckTypeSize(Integer Value);
  virtual Integer GetDataSize() const { return 0; }
  virtual Integer GetDefaultWidth() const { return 10; }
  // deLayoutChange when the layout is affected, else deDataSetChange; only
  // while the dataset is active.
  void PropertyChanged(bool LayoutAffected);
  // Raises "Cannot access field '%s' as type %s".
  [[noreturn]] void AccessError(const char* TypeName);
  void CheckInactive();

  // introduced virtuals: the class's value rules
  virtual String GetAsString();
  virtual Integer GetAsInteger();
  virtual Int64 GetAsLargeInt();
  virtual double GetAsFloat();
  virtual Currency GetAsCurrency();
  virtual bool GetAsBoolean();
  virtual TDateTime GetAsDateTime();
  virtual AnsiString GetAsAnsiString();
  virtual String GetAsWideString();
  virtual TBytes GetAsBytes();
  virtual Variant GetAsVariant();
  // Stores a value that is neither Null nor Unassigned.
  virtual void SetVarValue(const Variant& AValue);
  // The class's text: display text when DisplayText, else edit text.
  virtual void GetText(String& AText, bool DisplayText);
  // The class's parsing of an edit text; base: SetAsString.
  virtual void SetTextValue(const String& AValue);

  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  friend class TFields;
  friend class TFieldDef;    // SetFieldType while making a field from its def
  friend class TBlobStream;  // GetData and the dataset services below

  void detachFromDataSet();
  void validateLookupInfo(bool All);
  bool isDisplayLabelStored() const { return !FDisplayLabel.isEmpty(); }
  bool isDisplayWidthStored() const { return FDisplayWidth > 0; }
  // The dataset's write guard and exception report, for the blob stream.
  void checkFieldWrite();
  void handleDataSetException();

  TDataSet* FDataSet = nullptr;
  TFields* FFields = nullptr;  // the list the field is in, nullptr outside one
  String FFieldName;
  String FDisplayLabel;
  Integer FDisplayWidth = 0;  // 0: the class's default
  TAlignment FAlignment = taLeftJustify;
  bool FVisible = true;
  bool FReadOnly = false;
  bool FRequired = false;
  Integer FFieldNo = 0;
  TFieldKind FFieldKind = fkData;
  TFieldType FDataType = ftUnknown;
  Integer FSize = 0;
  String FDefaultExpression;
  String FEditMask;
  TAutoRefreshFlag FAutoGenerateValue = arNone;
  TProviderFlags FProviderFlags{pfInUpdate, pfInWhere};
  String FOrigin;
  String FKeyFields;
  TDataSet* FLookupDataSet = nullptr;
  String FLookupKeyFields;
  String FLookupResultField;
  bool FLookupCache = false;
  std::unique_ptr<TLookupList> FLookupList;  // made on first use
  const Variant* FPendingValue = nullptr;  // set while OnValidate runs
  TFieldNotifyEvent FOnChange;
  TFieldNotifyEvent FOnValidate;
  TFieldGetTextEvent FOnGetText;
  TFieldSetTextEvent FOnSetText;
};

// The fields of one dataset, in display order.  The list does not own its
// fields' components (their Owner does), but Clear frees them, as closing a
// dataset frees the fields it made.  Adding, removing and moving send
// deFieldListChange to the dataset.
class TFields : public TObject {
  RTL_CLASS(TFields, TObject)
public:
  explicit TFields(TDataSet* ADataSet);
  ~TFields() override;

  TDataSet* DataSet() const { return FDataSet; }
  Integer Count() const { return Integer(FList.size()); }
  TField* Fields(Integer Index) const;
  TField* operator[](Integer Index) const { return Fields(Index); }
  Integer IndexOf(const TField* Field) const;

  // Appends Field; its name must be set and new to the list ("Field name
  // missing", "Duplicate field name '%s'").
  void Add(TField* Field);
  void Remove(TField* Field);
  // Frees every field, last first.
  void Clear();
  // Moves Field to Value (clamped to the list).
  void SetFieldIndex(TField* Field, Integer Value);

  // Case-insensitive; nullptr when absent.
  TField* FindField(const String& FieldName) const;
  // Raises "Field '%s' not found" for the dataset.
  TField* FieldByName(const String& FieldName) const;
  // The field whose FieldNo is FieldNo; nullptr when none.
  TField* FieldByNumber(Integer FieldNo) const;
  void GetFieldNames(TStrings* List) const;
  void CheckFieldName(const String& FieldName) const;
  // Raises for the first name of the ";"-list that is not a field.
  void CheckFieldNames(const String& FieldNames) const;

private:
  void freeFields();
  void changed();

  TDataSet* FDataSet;
  std::vector<TField*> FList;
};
