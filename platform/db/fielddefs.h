// TFieldDefs and TFieldDef: the physical fields a dataset offers (name, type,
// size), from which its default fields are made.
//
// The defs belong to a dataset (or, for child defs, to a parent def).  Every
// change of the collection calls the dataset's DefChanged; Updated says
// whether the defs still mirror the dataset's cursor.
#pragma once

#include "platform/db/dbtypes.h"
#include "platform/rtl/collection.h"

class TDataSet;
class TField;
class TFieldDefs;

class TFieldDef : public TCollectionItem {
  RTL_CLASS(TFieldDef, TCollectionItem)
public:
  explicit TFieldDef(TCollection* Collection);
  ~TFieldDef() override;
  static void DescribeProperties(TPropertyTable& Props);

  // Copies name, type, size, precision, attributes and the internal-calc
  // flag from another TFieldDef.
  void Assign(TPersistent* Source) override;

  // A new field of the dataset's class for this type, named, sized and
  // flagged after the def, owned by Owner and joined to the dataset.  A type
  // without a class raises "Field '%s' is of an unknown type".
  TField* CreateField(TComponent* Owner);
  // The dataset's field class for DataType; nullptr when it has none.
  TClass FieldClass() const;
  TFieldDefs* FieldDefs() const;

  // properties
  const String& Name() const { return FName; }
  void SetName(const String& Value);
  TFieldType DataType() const { return FDataType; }
  void SetDataType(TFieldType Value);
  Integer Size() const { return FSize; }
  void SetSize(Integer Value);
  Integer Precision() const { return FPrecision; }
  void SetPrecision(Integer Value);
  TFieldAttributes Attributes() const { return FAttributes; }
  void SetAttributes(TFieldAttributes Value);
  // faRequired in Attributes.
  bool Required() const { return FAttributes.Contains(faRequired); }
  void SetRequired(bool Value);
  bool InternalCalcField() const { return FInternalCalcField; }
  void SetInternalCalcField(bool Value);
  // The number set, else the 1-based place in the collection.
  Integer FieldNo() const;
  void SetFieldNo(Integer Value) { FFieldNo = Value; }
  // Nested defs; always empty for the flat datasets here.
  TFieldDefs* ChildDefs();
  bool HasChildDefs() const;
  void SetDisplayName(const String& Value) override { SetName(Value); }

protected:
  String GetDisplayName() override;

private:
  String FName;
  TFieldType FDataType = ftUnknown;
  Integer FSize = 0;
  Integer FPrecision = 0;
  TFieldAttributes FAttributes;
  bool FInternalCalcField = false;
  Integer FFieldNo = 0;
  TFieldDefs* FChildDefs = nullptr;  // owned, made on first use
};

class TFieldDefs : public TOwnedCollection {
  RTL_CLASS(TFieldDefs, TOwnedCollection)
public:
  // AOwner is the dataset, or the TFieldDef whose children these are.
  explicit TFieldDefs(TPersistent* AOwner);

  TDataSet* DataSet() const { return FDataSet; }
  // The def these are the children of; nullptr for a dataset's own defs.
  TFieldDef* ParentDef() const { return FParentDef; }
  TFieldDef* Items(Integer Index) const;
  TFieldDef* operator[](Integer Index) const { return Items(Index); }

  TFieldDef* AddFieldDef();
  // An empty Name raises "Field name missing".
  void Add(const String& Name, TFieldType DataType, Integer Size = 0, bool Required = false);
  // Case-insensitive; -1 when absent.
  Integer IndexOf(const String& Name) const;
  // Raises "Field '%s' not found" for the dataset.
  TFieldDef* Find(const String& Name) const;

  // Asks the dataset for its defs (opening it for information only when it
  // is closed); then Updated is true.
  void Update();
  bool Updated() const { return FUpdated; }
  void SetUpdated(bool Value) { FUpdated = Value; }
  // Whether the dataset makes fields for hidden defs too.
  bool HiddenFields() const { return FHiddenFields; }
  void SetHiddenFields(bool Value) { FHiddenFields = Value; }

protected:
  // Tells the dataset (DefChanged).
  void Update(TCollectionItem* Item) override;

private:
  TDataSet* FDataSet = nullptr;
  TFieldDef* FParentDef = nullptr;
  bool FUpdated = false;
  bool FHiddenFields = false;
  int FInternalUpdateCount = 0;  // inside Update(): the dataset is refilling the defs
};
