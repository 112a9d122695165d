// The sort text of a dataset ("Name DESC, [Entry date]; Year") turned into
// items, one per field.  The memory table's sort and index lists derive from
// TOrderByList: they answer FieldIndexOfName from their own fields and keep
// the resolved index in their items through SetItemFieldIndex.
//
// Grammar of the text: field names separated by a comma or a semicolon, each
// followed by any number of ASC or DESC words (any letter case; DESC makes the
// field descending, ASC leaves it).  A name in brackets may hold blanks.
#pragma once

#include "gridlib/base/basecontrols.h"
#include "platform/db/dbtypes.h"

// One field of a sort text.
class TOrderByItemEh : public TObject {
  RTL_CLASS(TOrderByItemEh, TObject)
public:
  Integer FieldIndex = -1;
  Integer MTFieldIndex = -1;
  bool Desc = false;
  bool CaseIns = false;
  Integer ExtObjIndex = 0;  // the key's place among the keys of an external sort
  TFieldType DataType = ftUnknown;
};

// The items of the last sort text that parsed.  The list never owns its
// items through the object list; it frees them itself when a new text
// replaces them, on ClearFreeItems and when it is destroyed.
class TOrderByList : public TObjectListEh {
  RTL_CLASS(TOrderByList, TObjectListEh)
public:
  TOrderByList() = default;
  // AOwnsObjects is accepted for descendants that pass it on; the list still
  // does not own its items (see the class comment).
  template <std::same_as<bool> B>
  explicit TOrderByList(B /*AOwnsObjects*/) {}
  ~TOrderByList() override;

  TOrderByItemEh* Items(Integer Index) const { return static_cast<TOrderByItemEh*>(TObjectListEh::Items(Index)); }

  // Replaces the items by those of OrderByStr, or by none for an empty text.
  // A field FieldIndexOfName does not know, or a word where ASC, DESC, a
  // separator or the end belongs, raises Exception and keeps the items.
  void ParseOrderByStr(const String& OrderByStr);
  // The token at FromIndex (1-based), FromIndex moved past it; "" at the end.
  static String GetToken(const String& Exp, Integer& FromIndex);
  // Frees every item, then empties the list.
  void ClearFreeItems();

  // introduced virtuals
  // Stores the resolved index in Item; the base keeps nothing.
  virtual void SetItemFieldIndex(TOrderByItemEh* Item, Integer FieldIndex);
  // The index of the field named Name, -1 when there is none (the base knows
  // no fields).
  virtual Integer FieldIndexOfName(const String& Name);
};
