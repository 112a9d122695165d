#include "gridlib/memtable/sortedvarlist.h"

#include "gridlib/base/valuetext.h"
#include "platform/rtl/scopeexit.h"

bool TSortedVarlistEh::FindKeyValueIndex(const Variant& Value, Integer& Index) const {
  Integer Low = 0;
  Integer High = Count() - 1;
  bool Found = false;
  while (Low <= High) {
    const Integer Middle = (Low + High) / 2;
    const TVariantRelationship Relation = CompareVariantsEh(Items(Middle)->Value, Value);
    if (Relation == vrNotEqual)
      throw Exception(QStringLiteral("TSortedVarlistEh.FindKeyValueIndex: values is not comparable."));
    if (Relation == vrLessThan) {
      Low = Middle + 1;
      continue;
    }
    High = Middle - 1;
    if (Relation == vrEqual) {
      Found = true;
      Low = Middle;
    }
  }
  Index = Low;
  return Found;
}

bool TSortedVarlistEh::FindKeyValue(const Variant& Value) const {
  Integer Index = 0;
  return FindKeyValueIndex(Value, Index);
}

Integer TSortedVarlistEh::Add(TSortedVarItemEh* AObject) {
  // The list took ownership: an item it cannot place is not leaked.
  TScopeExit FreeUnplaced([AObject] { AObject->Free(); });
  Integer Index = 0;
  FindKeyValueIndex(AObject->Value, Index);
  TObjectListEh::Insert(Index, AObject);
  FreeUnplaced.Release();
  return Index;
}

void TSortedVarlistEh::Insert(Integer, TSortedVarItemEh* AObject) { Add(AObject); }
