// The parameters of a statement: one per ":name" marker of its text.  Values
// are always bound to the statement, never written into its text.  They are
// the dataset layer's parameters, so a data driver reaches them through the
// query's PSGetParams.
#pragma once

#include "platform/db/params.h"

#include <vector>

class TFDParam : public TParam {
  RTL_CLASS(TFDParam, TParam)
public:
  explicit TFDParam(TCollection* Collection) : TParam(Collection) {}

  // Value is Unassigned until set; an unassigned parameter cannot run.
  // Assigned, possibly to Null.
  bool Assigned() const { return !VarIsEmpty(Value()); }

  String AsString() const { return VarToStr(Value()); }
  void SetAsString(const String& AValue) { SetValue(AValue); }
  Integer AsInteger() const { return IsNull() ? 0 : Value().AsInteger(); }
  void SetAsInteger(Integer AValue) { SetValue(AValue); }
  Int64 AsLargeInt() const { return IsNull() ? 0 : Value().AsInt64(); }
  void SetAsLargeInt(Int64 AValue) { SetValue(AValue); }
  double AsFloat() const { return IsNull() ? 0 : Value().AsDouble(); }
  void SetAsFloat(double AValue) { SetValue(AValue); }
};

class TFDParams : public TParams {
  RTL_CLASS(TFDParams, TParams)
public:
  TFDParams() : TParams(nullptr, TFDParam::StaticClass()) {}

  TFDParam* Items(int Index) const { return static_cast<TFDParam*>(TParams::Items(Index)); }
  TFDParam* operator[](int Index) const { return Items(Index); }
  // Ignoring case; nullptr when absent.
  TFDParam* FindParam(const String& Name) const { return static_cast<TFDParam*>(TParams::FindParam(Name)); }
  // "Parameter '%s' not found" (EFDException) when absent.
  TFDParam* ParamByName(const String& Name) const;
  // Makes the list Names, keeping the values of parameters that stay.
  void Update(const std::vector<String>& Names);
};
