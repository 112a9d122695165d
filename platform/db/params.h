// TParam and TParams: the parameters of a dataset's statement or of a data
// driver's reader, a collection a form streams with its owner (items of
// Name, DataType and ParamType).  Setting a value marks the parameter bound.
#pragma once

#include "platform/db/dbtypes.h"
#include "platform/rtl/collection.h"
#include "platform/rtl/variant.h"

class TParams;

RTL_ENUM(TParamType, ptUnknown, ptInput, ptOutput, ptInputOutput, ptResult)

class TParam : public TCollectionItem {
  RTL_CLASS(TParam, TCollectionItem)
public:
  explicit TParam(TCollection* Collection);
  static void DescribeProperties(TPropertyTable& Props);

  // Copies name, types, value and the bound mark from another TParam.
  void Assign(TPersistent* Source) override;
  // The value becomes Null; the bound mark stays.
  void Clear() { FValue = Null(); }
  bool IsNull() const { return VarIsNull(FValue) || VarIsEmpty(FValue); }

  // properties
  const String& Name() const { return FName; }
  void SetName(const String& Value) { FName = Value; }
  TFieldType DataType() const { return FDataType; }
  void SetDataType(TFieldType Value) { FDataType = Value; }
  TParamType ParamType() const { return FParamType; }
  void SetParamType(TParamType Value) { FParamType = Value; }
  const Variant& Value() const { return FValue; }
  // Marks the parameter bound.
  void SetValue(const Variant& AValue);
  // Whether a value was given; a value taken over from elsewhere may leave
  // the parameter unbound.
  bool Bound() const { return FBound; }
  void SetBound(bool Value) { FBound = Value; }
  void SetDisplayName(const String& Value) override { SetName(Value); }

protected:
  String GetDisplayName() override { return FName; }

private:
  String FName;
  TFieldType FDataType = ftUnknown;
  TParamType FParamType = ptUnknown;
  Variant FValue;
  bool FBound = false;
};

class TParams : public TOwnedCollection {
  RTL_CLASS(TParams, TOwnedCollection)
public:
  // AOwner is the owning component or nullptr.
  explicit TParams(TPersistent* AOwner);

  TParam* Items(Integer Index) const;
  TParam* operator[](Integer Index) const { return Items(Index); }
  TParam* AddParam() { return static_cast<TParam*>(TCollection::Add()); }
  TParam* CreateParam(TFieldType FldType, const String& ParamName, TParamType ParamType);
  // Ignoring case; nullptr when absent.
  TParam* FindParam(const String& Value) const;
  // "Parameter '%s' not found" (database error) when absent.
  TParam* ParamByName(const String& Value) const;

protected:
  // For a list of a TParam descendant.
  TParams(TPersistent* AOwner, TCollectionItemClass ItemClass) : TOwnedCollection(AOwner, ItemClass) {}
};
