// TIndexDef and TIndexDefs: the index definitions of a dataset, a collection
// a dataset class reads when it builds its indexes and a form streams with
// the dataset (a collection property of Name, Fields and Options items).
#pragma once

#include "platform/db/dbtypes.h"
#include "platform/rtl/collection.h"

class TIndexDefs;

class TIndexDef : public TCollectionItem {
  RTL_CLASS(TIndexDef, TCollectionItem)
public:
  explicit TIndexDef(TCollection* Collection);
  static void DescribeProperties(TPropertyTable& Props);

  // Copies name, fields and options from another TIndexDef.
  void Assign(TPersistent* Source) override;
  TIndexDefs* IndexDefs() const;

  // properties
  const String& Name() const { return FName; }
  void SetName(const String& Value);
  // ";"-list of field names.
  const String& Fields() const { return FFields; }
  void SetFields(const String& Value);
  TIndexOptions Options() const { return FOptions; }
  void SetOptions(TIndexOptions Value);
  void SetDisplayName(const String& Value) override { SetName(Value); }

protected:
  String GetDisplayName() override;

private:
  String FName;
  String FFields;
  TIndexOptions FOptions;
};

class TIndexDefs : public TOwnedCollection {
  RTL_CLASS(TIndexDefs, TOwnedCollection)
public:
  // AOwner is the dataset, or nullptr for a free-standing list.
  explicit TIndexDefs(TPersistent* AOwner);

  TDataSet* DataSet() const { return FDataSet; }
  TIndexDef* Items(Integer Index) const;
  TIndexDef* operator[](Integer Index) const { return Items(Index); }

  TIndexDef* AddIndexDef();
  void Add(const String& Name, const String& Fields, TIndexOptions Options);
  // Case-insensitive; -1 when absent.
  Integer IndexOf(const String& Name) const;
  // Raises "Index '%s' not found" for the dataset.
  TIndexDef* Find(const String& Name) const;
  // nullptr when absent.
  TIndexDef* FindIndexForFields(const String& Fields) const;

  // Whether the list reflects the dataset's indexes; a change of an item
  // clears it.
  bool Updated() const { return FUpdated; }
  void SetUpdated(bool Value) { FUpdated = Value; }

protected:
  void Update(TCollectionItem* Item) override;

private:
  TDataSet* FDataSet = nullptr;
  bool FUpdated = false;
};
