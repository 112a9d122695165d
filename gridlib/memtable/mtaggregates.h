// The values of a memory table's aggregate fields.  The records view owns
// one collection; Reset mirrors every aggregate field of the view's dataset
// by one aggregate, which parses the field's expression in aggregate mode and
// evaluates it over the view's accountable rows.  Each field's Handle points
// to its aggregate, through which the field reads its value.
//
// Values are Null while the collection is updating, inactive, or the dataset
// is closed or loading, and for an aggregate that is inactive or has no
// expression.
#pragma once

#include "gridlib/memtable/datasetexprparser.h"
#include "platform/rtl/collection.h"

#include <memory>

class TDataSet;
class TMTAggregatesEh;
class TRecordsViewEh;

class TMTAggregateEh : public TCollectionItem {
  RTL_CLASS(TMTAggregateEh, TCollectionItem)
public:
  // Bound to the collection's dataset.
  explicit TMTAggregateEh(TCollection* Aggregates);
  // Clears the Handle of the dataset's aggregate fields that point here.
  ~TMTAggregateEh() override;

  // From an aggregate or a TAggregateField: Active and Expression.
  void Assign(TPersistent* Source) override;
  void Reset();
  void Recalc();

  // properties
  TMTAggregatesEh* Aggregates() const;
  bool Active() const { return FActive; }
  // Evaluates at once unless the collection is updating; a failure leaves
  // the aggregate inactive and propagates.
  void SetActive(bool Value);
  const String& Expression() const { return FExpression; }
  void SetExpression(const String& Value);
  TDataSet* DataSet() const { return FDataSet; }
  TFieldType DataType() const { return FDataType; }
  const Variant& Value() const { return FValue; }
  bool InUse() const { return FInUse; }

protected:
  // reimplemented
  String GetDisplayName() override;

private:
  friend class TMTAggregatesEh;  // clears FValue while it cannot evaluate

  bool FActive = false;
  std::unique_ptr<TDataSetExprParserEh> FAggrExpr;
  TDataSet* FDataSet;
  TFieldType FDataType = ftUnknown;
  String FExpression;
  bool FInUse = false;
  Variant FValue;
};

class TMTAggregatesEh : public TCollection {
  RTL_CLASS(TMTAggregatesEh, TCollection)
public:
  // AOwner (the records view) owns the collection.
  explicit TMTAggregatesEh(TRecordsViewEh* AOwner);

  TMTAggregateEh* Add() { return static_cast<TMTAggregateEh*>(TCollection::Add()); }
  TMTAggregateEh* GetItem(Integer Index) const { return static_cast<TMTAggregateEh*>(Items(Index)); }
  void SetItem(Integer Index, TMTAggregateEh* Value) { TCollection::SetItem(Index, Value); }
  // Rebuilds the aggregates from the dataset's aggregate fields, then Recalc.
  void Reset();
  void Recalc();

  // properties
  bool Active() const { return FActive; }
  void SetActive(bool Value);
  TRecordsViewEh* RecordsView() const { return FOwner; }
  TDataSet* DataSet() const;

protected:
  // reimplemented
  TPersistent* GetOwner() override;

private:
  bool FActive = false;
  TRecordsViewEh* FOwner;
};
