// The field structure of a memory-table data container: an ordered list of
// field definitions, each a component of one of nine kinds.
//
// A definition fixes the field's name, its platform data type (chosen through
// the kind's own enumeration), the variant type every record stores its
// values in (VarDataType), its size and its display properties, and copies
// itself from and to platform fields.  Records hold one value per definition,
// in structure order.
//
// Text values of every string type are held as UTF-16 strings: characters
// outside one 8-bit code page (Greek letters, accented Latin in titles) must
// survive, so sizes count characters.
//
// Ownership: the structure owns its definitions as components; its list only
// orders them.  A change of any definition property is signalled to the
// container (DataStructChanged) or, without one, recorded in StructChanged;
// inside BeginUpdate/EndUpdate it is signalled once at the end when asked.
#pragma once

#include "platform/db/dbtypes.h"
#include "platform/rtl/alignment.h"
#include "platform/rtl/component.h"
#include "platform/rtl/variant.h"

#include "gridlib/base/basecontrols.h"
#include "gridlib/base/orderbylist.h"

#include <vector>

class TField;
class TFieldDef;
class TFieldDefs;
class TFields;
class TMemTableDataEh;
class TMTDataStructEh;
class TReader;
class TWriter;

using TIntArrayEh = std::vector<Integer>;

RTL_ENUM(TMTStringDataTypeEh, fdtStringEh, fdtFixedCharEh, fdtWideStringEh, fdtGuidEh, fdtFixedWideCharEh,
         fdtOraIntervalEh)
RTL_ENUM(TMTNumericDataTypeEh, fdtSmallintEh, fdtIntegerEh, fdtWordEh, fdtFloatEh, fdtCurrencyEh, fdtBCDEh,
         fdtAutoIncEh, fdtLargeintEh, fdtFMTBcdEh, fdtLongWordEh, fdtShortintEh, fdtByteEh, fdtExtendedEh,
         fdtSingleEh)
RTL_ENUM(TMTDateTimeDataTypeEh, fdtDateEh, fdtTimeEh, fdtDateTimeEh)
RTL_ENUM(TMTInterfaceDataTypeEh, fdtInterfaceEh, fdtIDispatchEh)
RTL_ENUM(TMTVariantDataTypeEh, fdtVariant, fdtBytes, fdtVarBytes)
RTL_ENUM(TMTSQLTimeStampDataTypeEh, fdtTimeStampEh, fdtOraTimeStampEh, fdtTimeStampOffsetEh)

// The definition class that holds DataType; nullptr for the types no kind
// can hold (ftCursor, ftADT, ftArray, ftReference, ftDataSet, ftConnection,
// ftParams, ftStream, ftObject).
TClass MTDataFieldClassForType(TFieldType DataType);
// The variant type records hold values of DataType in; varEmpty for the types
// without a kind.
TVarType MTVarTypeForDataType(TFieldType DataType);
// Value converted to VarType as a record stores it: Null and Unassigned stay
// as they are, varVariant keeps any value, a byte array becomes text of its
// bytes for a text type, anything else goes through the variant cast (whose
// errors propagate).  A value that needs no conversion is moved through.
Variant MTCastValue(const Variant& Value, TVarType VarType);
Variant MTCastValue(Variant&& Value, TVarType VarType);

// ---------------------------------------------------------------------------
// field definitions

class TMTDataFieldEh : public TComponent {
  RTL_CLASS(TMTDataFieldEh, TComponent)
public:
  explicit TMTDataFieldEh(TComponent* AOwner);
  void BeforeDestruction() override;
  static void DescribeProperties(TPropertyTable& Props);

  // Copies another definition (the kind's own properties when of the same
  // kind); any other source goes to the component model's assignment.
  void Assign(TPersistent* Source) override;

  // properties
  TMTDataStructEh* DataStruct() const { return FDataStruct; }
  // Leaves the old structure and joins the new one.
  void SetDataStruct(TMTDataStructEh* Value);
  TFieldType DataType() { return GetDataType(); }
  TVarType VarDataType() const { return FVarDataType; }
  Integer Index() const;
  // Moves the definition in its structure and signals the change.
  void SetIndex(Integer Value);
  Integer FieldId() const { return FFieldId; }
  // A GUID text made at construction and kept by copies; matches a field to
  // its copy across a restructure.  Never streamed.
  const String& IdentityText() const { return FIdentityText; }
  bool Calculated() const { return FCalculated; }
  void SetCalculated(bool Value);
  String FieldName() { return GetFieldName(); }
  TAlignment Alignment() { return GetAlignment(); }
  bool AutoIncrement() { return GetAutoIncrement(); }
  String DefaultExpression() { return GetDefaultExpression(); }
  String DisplayLabel() { return GetDisplayLabel(); }
  Integer DisplayWidth() { return GetDisplayWidth(); }
  String EditMask() { return GetEditMask(); }
  bool ReadOnly() { return GetReadOnly(); }
  bool Required() { return GetRequired(); }
  Cardinal Size() { return GetSize(); }
  bool Visible() { return GetVisible(); }

  // whether the stream writes them
  bool StoredDisplayWidth() const { return FDisplayWidth > 0; }
  bool StoredSize() { return CanDinaSize(); }

  // reimplemented
  TComponent* GetParentComponent() const override;
  bool HasParent() const override;

  // introduced virtuals
  virtual Cardinal GetDefaultSize();
  virtual TAlignment GetDefaultAlignment();
  virtual TAlignment GetAlignment();
  virtual bool GetAutoIncrement();
  virtual TFieldType GetDataType();
  virtual String GetDefaultExpression();
  virtual Integer GetDefaultWidth();
  virtual String GetDisplayLabel();
  virtual Integer GetDisplayWidth();
  virtual String GetEditMask();
  virtual String GetFieldName();
  virtual bool GetReadOnly();
  virtual bool GetRequired();
  virtual Cardinal GetSize();
  virtual bool GetVisible();
  virtual void SetAlignment(TAlignment Value);
  virtual void SetAutoIncrement(bool Value);
  virtual void SetDefaultExpression(const String& Value);
  virtual void SetDisplayLabel(const String& Value);
  virtual void SetDisplayWidth(Integer Value);
  virtual void SetEditMask(const String& Value);
  // Checks the name against the structure (unless only its case changes)
  // and gives the component a unique name made from it.
  virtual void SetFieldName(const String& Value);
  virtual void SetReadOnly(bool Value);
  virtual void SetRequired(bool Value);
  // "Invalid field size" on a kind whose size is fixed.
  virtual void SetSize(Cardinal Value);
  virtual void SetVisible(bool Value);
  // Whether the size may change.
  virtual bool CanDinaSize();
  virtual TVarType GetVarDataType();
  // Takes FieldType as the kind's data type; raises for a type the kind
  // cannot hold.
  virtual void AssignDataType(TFieldType FieldType);
  // Copies display properties from and to a platform field.
  virtual void AssignProps(TField* Field);
  virtual void AssignPropsTo(TField* Field);
  // One record value in the memory-table stream (see memtabledata.h).
  virtual void WriteDataToWriter(const Variant& Value, TWriter* Writer);
  // Reads one value back, converted to the field's value type; a binary
  // type whose tag is not vaBinary raises "Invalid property value".
  virtual Variant ReadDataFromReader(TReader* Reader);

protected:
  // reimplemented
  void SetParentComponent(TComponent* Value) override;

  // A property changed: tell the structure unless it is updating.
  void Changed();
  // The cached value type follows the data type.
  void UpdateVarDataType() { FVarDataType = GetVarDataType(); }
  template <class T>
  void setAndSignal(T& Field, const T& Value) {
    if (Field == Value) return;
    Field = Value;
    Changed();
  }

  TAlignment FAlignment = taLeftJustify;
  bool FAutoIncrement = false;
  TMTDataStructEh* FDataStruct = nullptr;
  String FDefaultExpression;
  String FDisplayLabel;
  String FEditMask;
  Integer FDisplayWidth = 0;
  Integer FFieldId = 0;
  String FFieldName;
  String FIdentityText;
  bool FReadOnly = false;
  bool FRequired = false;
  bool FVisible = true;
  bool FCalculated = false;
  Cardinal FSize = 0;
  TVarType FVarDataType = varEmpty;

private:
  String uniqueComponentName(const String& FieldNameText);
  friend class TMTDataStructEh;
};

class TMTStringDataFieldEh : public TMTDataFieldEh {
  RTL_CLASS(TMTStringDataFieldEh, TMTDataFieldEh)
public:
  explicit TMTStringDataFieldEh(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);
  void Assign(TPersistent* Source) override;

  TMTStringDataTypeEh StringDataType() const { return FStringDataType; }
  // fdtGuidEh sets the size to 38.
  void SetStringDataType(TMTStringDataTypeEh Value);
  bool FixedChar() const { return FFixedChar; }
  void SetFixedChar(bool Value) { setAndSignal(FFixedChar, Value); }
  bool Transliterate() const { return FTransliterate; }
  void SetTransliterate(bool Value) { setAndSignal(FTransliterate, Value); }

  // reimplemented
  Cardinal GetDefaultSize() override;
  TFieldType GetDataType() override;
  Integer GetDefaultWidth() override;
  bool CanDinaSize() override { return true; }
  void AssignDataType(TFieldType FieldType) override;
  void AssignProps(TField* Field) override;
  void AssignPropsTo(TField* Field) override;

private:
  TMTStringDataTypeEh FStringDataType = fdtStringEh;
  bool FFixedChar = false;
  bool FTransliterate = false;
};

class TMTNumericDataFieldEh : public TMTDataFieldEh {
  RTL_CLASS(TMTNumericDataFieldEh, TMTDataFieldEh)
public:
  explicit TMTNumericDataFieldEh(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);
  void Assign(TPersistent* Source) override;

  TMTNumericDataTypeEh NumericDataType() const { return FNumericDataType; }
  // A sizeable type with size 0 takes size 4.
  void SetNumericDataType(TMTNumericDataTypeEh Value);
  const String& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const String& Value) { setAndSignal(FDisplayFormat, Value); }
  const String& EditFormat() const { return FEditFormat; }
  void SetEditFormat(const String& Value) { setAndSignal(FEditFormat, Value); }
  bool Currency() const { return FCurrency; }
  void SetCurrency(bool Value) { setAndSignal(FCurrency, Value); }
  double MaxValue() const { return FMaxValue; }
  void SetMaxValue(double Value) { setAndSignal(FMaxValue, Value); }
  double MinValue() const { return FMinValue; }
  void SetMinValue(double Value) { setAndSignal(FMinValue, Value); }
  Integer Precision() const { return FPrecision; }
  void SetPrecision(Integer Value) { setAndSignal(FPrecision, Value); }
  // The size under its decimal name.
  Cardinal Scale() { return GetSize(); }
  void SetScale(Cardinal Value) { SetSize(Value); }

  // reimplemented
  Cardinal GetDefaultSize() override;
  TAlignment GetDefaultAlignment() override { return taRightJustify; }
  TFieldType GetDataType() override;
  Integer GetDefaultWidth() override;
  bool CanDinaSize() override;
  void AssignDataType(TFieldType FieldType) override;
  void AssignProps(TField* Field) override;
  void AssignPropsTo(TField* Field) override;

private:
  TMTNumericDataTypeEh FNumericDataType = fdtIntegerEh;
  String FDisplayFormat;
  String FEditFormat;
  bool FCurrency = false;
  double FMaxValue = 0;
  double FMinValue = 0;
  Integer FPrecision = 15;
};

class TMTDateTimeDataFieldEh : public TMTDataFieldEh {
  RTL_CLASS(TMTDateTimeDataFieldEh, TMTDataFieldEh)
public:
  explicit TMTDateTimeDataFieldEh(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);
  void Assign(TPersistent* Source) override;

  TMTDateTimeDataTypeEh DateTimeDataType() const { return FDateTimeDataType; }
  void SetDateTimeDataType(TMTDateTimeDataTypeEh Value);
  const String& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const String& Value) { setAndSignal(FDisplayFormat, Value); }

  // reimplemented
  TFieldType GetDataType() override;
  Integer GetDefaultWidth() override { return 18; }
  void AssignDataType(TFieldType FieldType) override;
  void AssignProps(TField* Field) override;
  void AssignPropsTo(TField* Field) override;

private:
  TMTDateTimeDataTypeEh FDateTimeDataType = fdtDateTimeEh;
  String FDisplayFormat;
};

class TMTBlobDataFieldEh : public TMTDataFieldEh {
  RTL_CLASS(TMTBlobDataFieldEh, TMTDataFieldEh)
public:
  explicit TMTBlobDataFieldEh(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);
  void Assign(TPersistent* Source) override;

  TBlobType BlobType() const { return FBlobType; }
  void SetBlobType(TBlobType Value);
  bool GraphicHeader() const { return FGraphicHeader; }
  void SetGraphicHeader(bool Value) { setAndSignal(FGraphicHeader, Value); }
  bool Transliterate() const { return FTransliterate; }
  void SetTransliterate(bool Value) { setAndSignal(FTransliterate, Value); }

  // reimplemented
  TFieldType GetDataType() override { return FBlobType; }
  void AssignDataType(TFieldType FieldType) override;
  void AssignProps(TField* Field) override;
  void AssignPropsTo(TField* Field) override;

private:
  TBlobType FBlobType = ftBlob;
  bool FGraphicHeader = true;
  bool FTransliterate = false;
};

class TMTBooleanDataFieldEh : public TMTDataFieldEh {
  RTL_CLASS(TMTBooleanDataFieldEh, TMTDataFieldEh)
public:
  explicit TMTBooleanDataFieldEh(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);
  void Assign(TPersistent* Source) override;

  const String& DisplayValues() const { return FDisplayValues; }
  void SetDisplayValues(const String& Value) { setAndSignal(FDisplayValues, Value); }

  // reimplemented
  TFieldType GetDataType() override { return ftBoolean; }
  Integer GetDefaultWidth() override;
  void AssignDataType(TFieldType FieldType) override;
  void AssignProps(TField* Field) override;
  void AssignPropsTo(TField* Field) override;

private:
  String FDisplayValues;
};

class TMTInterfaceDataFieldEh : public TMTDataFieldEh {
  RTL_CLASS(TMTInterfaceDataFieldEh, TMTDataFieldEh)
public:
  explicit TMTInterfaceDataFieldEh(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);

  TMTInterfaceDataTypeEh InterfaceDataType() const { return FInterfaceDataType; }
  void SetInterfaceDataType(TMTInterfaceDataTypeEh Value);

  // reimplemented
  TFieldType GetDataType() override;
  void AssignDataType(TFieldType FieldType) override;

private:
  TMTInterfaceDataTypeEh FInterfaceDataType = fdtInterfaceEh;
};

class TMTVariantDataFieldEh : public TMTDataFieldEh {
  RTL_CLASS(TMTVariantDataFieldEh, TMTDataFieldEh)
public:
  explicit TMTVariantDataFieldEh(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);

  TMTVariantDataTypeEh VariantDataType() const { return FVariantDataType; }
  void SetVariantDataType(TMTVariantDataTypeEh Value);

  // reimplemented
  TFieldType GetDataType() override;
  Integer GetDefaultWidth() override { return 15; }
  bool CanDinaSize() override;
  void AssignDataType(TFieldType FieldType) override;

private:
  TMTVariantDataTypeEh FVariantDataType = fdtVariant;
};

// A field holding an object reference (an interface) that no platform field
// type describes.
class TMTRefObjectFieldEh : public TMTDataFieldEh {
  RTL_CLASS(TMTRefObjectFieldEh, TMTDataFieldEh)
public:
  explicit TMTRefObjectFieldEh(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);

  // reimplemented
  TFieldType GetDataType() override { return ftUnknown; }
  TVarType GetVarDataType() override { return varUnknown; }
  bool CanDinaSize() override { return true; }
  void AssignDataType(TFieldType FieldType) override;
};

class TMTSQLTimeStampDataFieldEh : public TMTDataFieldEh {
  RTL_CLASS(TMTSQLTimeStampDataFieldEh, TMTDataFieldEh)
public:
  explicit TMTSQLTimeStampDataFieldEh(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);
  void Assign(TPersistent* Source) override;

  TMTSQLTimeStampDataTypeEh SQLTimeStampDataFieldType() const { return FSQLTimeStampDataFieldType; }
  // Only recomputes the value type; no change is signalled.
  void SetSQLTimeStampDataFieldType(TMTSQLTimeStampDataTypeEh Value);
  const String& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const String& Value) { setAndSignal(FDisplayFormat, Value); }

  // reimplemented
  TFieldType GetDataType() override;
  void AssignDataType(TFieldType FieldType) override;

private:
  TMTSQLTimeStampDataTypeEh FSQLTimeStampDataFieldType = fdtTimeStampEh;
  String FDisplayFormat;
};

// ---------------------------------------------------------------------------
// the structure

class TMTDataStructEh : public TComponent {
  RTL_CLASS(TMTDataStructEh, TComponent)
public:
  // AMemTableData owns the structure and hears of its changes; nullptr
  // makes a free-standing structure.
  explicit TMTDataStructEh(TComponent* AMemTableData);
  void BeforeDestruction() override;

  // A copy from Source (records of the container converted to it); any other
  // source goes to the component model's assignment.
  void Assign(TPersistent* Source) override;

  // fields
  // A new definition of FieldClass, owned here, appended, with the next id.
  TMTDataFieldEh* CreateField(TClass FieldClass);
  void InsertField(TMTDataFieldEh* Field);
  // Takes Field out of the list and the owned components; not freed.
  void RemoveField(TMTDataFieldEh* Field);
  // Frees every definition, last first.
  void Clear();
  TMTDataFieldEh* GetDataField(Integer Index) const;
  Integer Count() const { return FList.Count(); }
  // Locale-aware, any case; nullptr when absent.
  TMTDataFieldEh* FindField(const String& FieldName) const;
  // FindField or the database error "Field '%s' not found".
  TMTDataFieldEh* FieldByName(const String& FieldName) const;
  // ASCII any case; -1 when absent.
  Integer FieldIndex(const String& FieldName) const;
  TMTDataFieldEh* FindFieldByGIUD(const String& IdentityText) const;
  // Looks up every name of the ';'-list; appends them when List is given.
  void GetFieldList(TList* List, const String& FieldNames) const;
  // The indexes of a ';'-list (raising for a missing name), or of one name
  // (empty when it is missing).
  TIntArrayEh FieldsIndex(const String& FieldNames) const;
  // "Field name missing" or "Duplicate field name '%s'".
  void CheckFieldName(const String& FieldName);
  // Replaces the definition by one of FieldClass at the same place, keeping
  // its properties, identity and name; record values are not converted.
  TMTDataFieldEh* ChangeFieldType(const String& FieldName, TClass FieldClass);

  // building
  TMTDataFieldEh* BuildDataFieldForField(TField* AField);
  TMTDataFieldEh* BuildAndCopyDataFieldForField(TField* AField);
  TMTDataFieldEh* BuildDataFieldForFieldDef(TFieldDef* AFieldDef);
  TMTDataFieldEh* BuildDataFieldForDef(const String& Name, TFieldType DataType, Integer Size, Integer Precision);
  // Both destroy the container's table first.
  void BuildStructFromFieldDefs(TFieldDefs* FieldDefs);
  // Data and internal-calc fields only; the dataset's registered features
  // build the definitions when there are any.
  void BuildStructFromFields(TFields* Fields);
  void BuildFieldDefsFromStruct(TFieldDefs* FieldDefs);

  // copies
  // A free-standing copy (the caller owns it), identity texts included.
  TMTDataStructEh* GetCopy();
  TMTDataStructEh* BeginRestructure() { return GetCopy(); }
  // Assigns NewStructure when asked and always frees it.
  void EndRestructure(TMTDataStructEh* NewStructure, bool ApplyNewStructure);

  // change signals
  void BeginUpdate() { FUpdateCount++; }
  void EndUpdate(bool AStructChanged);
  bool Updating() const { return FUpdateCount > 0; }
  void StructChanged();
  bool IsStructChanged() const { return FStructChanged; }
  void ClearStructChanged() { FStructChanged = false; }

  // properties
  TMemTableDataEh* MemTableData() const { return FMemTableData; }
  TNotifyEvent OnStructChanged;

protected:
  // reimplemented
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;
  TComponent* GetChildOwner() override { return this; }

private:
  void convertRecords(TMTDataStructEh* Source);

  TObjectListEh FList;
  TMemTableDataEh* FMemTableData = nullptr;
  Integer FNextFieldId = 0;
  bool FStructChanged = false;
  Integer FUpdateCount = 0;

  friend class TMTDataFieldEh;
};

// The sort text of a records view, its names resolved through the structure
// of the view's container: the index goes to each item's MTFieldIndex (its
// FieldIndex stays -1); a name the structure lacks fails the parse.
class TRecordsViewOrderByList : public TOrderByList {
  RTL_CLASS(TRecordsViewOrderByList, TOrderByList)
public:
  // ADataStruct is not owned; the view sets it when its container changes.
  explicit TRecordsViewOrderByList(TMTDataStructEh* ADataStruct = nullptr) : FDataStruct(ADataStruct) {}
  void SetDataStruct(TMTDataStructEh* Value) { FDataStruct = Value; }

  // reimplemented
  void SetItemFieldIndex(TOrderByItemEh* Item, Integer FieldIndex) override { Item->MTFieldIndex = FieldIndex; }
  Integer FieldIndexOfName(const String& Name) override {
    return FDataStruct ? FDataStruct->FieldIndex(Name) : -1;
  }

private:
  TMTDataStructEh* FDataStruct;
};
