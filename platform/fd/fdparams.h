// The parameters of a statement: one per ":name" marker of its text.  Values
// are always bound to the statement, never written into its text.
#pragma once

#include "platform/rtl/object.h"
#include "platform/rtl/variant.h"

#include <memory>
#include <vector>

class TFDParam : public TObject {
  RTL_CLASS(TFDParam, TObject)
public:
  explicit TFDParam(const String& AName) : FName(AName) {}

  const String& Name() const { return FName; }
  // Unassigned until set; an unassigned parameter cannot run.
  const Variant& Value() const { return FValue; }
  void SetValue(const Variant& AValue) { FValue = AValue; }
  bool IsNull() const { return VarIsNull(FValue) || VarIsEmpty(FValue); }
  // Assigned, possibly to Null.
  bool Assigned() const { return !VarIsEmpty(FValue); }
  // Sets Null (an assigned value: the statement gets NULL).
  void Clear() { FValue = Null(); }

  String AsString() const { return VarToStr(FValue); }
  void SetAsString(const String& AValue) { FValue = AValue; }
  Integer AsInteger() const { return IsNull() ? 0 : FValue.AsInteger(); }
  void SetAsInteger(Integer AValue) { FValue = AValue; }
  Int64 AsLargeInt() const { return IsNull() ? 0 : FValue.AsInt64(); }
  void SetAsLargeInt(Int64 AValue) { FValue = AValue; }
  double AsFloat() const { return IsNull() ? 0 : FValue.AsDouble(); }
  void SetAsFloat(double AValue) { FValue = AValue; }

private:
  String FName;
  Variant FValue;
};

class TFDParams : public TObject {
  RTL_CLASS(TFDParams, TObject)
public:
  TFDParams() = default;

  int Count() const { return int(FItems.size()); }
  TFDParam* Items(int Index) const { return FItems[Index].get(); }
  TFDParam* operator[](int Index) const { return Items(Index); }
  // Ignoring case; nullptr when absent.
  TFDParam* FindParam(const String& Name) const;
  // "Parameter '%s' not found" (EFDException) when absent.
  TFDParam* ParamByName(const String& Name) const;
  void Clear() { FItems.clear(); }
  // Makes the list Names, keeping the values of parameters that stay.
  void Update(const std::vector<String>& Names);

private:
  std::vector<std::unique_ptr<TFDParam>> FItems;
};
