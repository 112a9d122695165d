// The memory table's loops over many records (sorting, searching) read the
// stored values through these: by reference, and integers without the
// variant's conversions.
#pragma once

#include "gridlib/memtable/memoryrecord.h"

// The integer kinds an Int64 holds exactly; the variant comparison orders
// any two of them as integers.
inline bool isInt64VarType(TVarType Type) {
  switch (Type) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
      return true;
    default:
      return false;
  }
}

// The value Rec stores at DataIndex itself, not a copy; valid while Rec is
// not edited.
inline const Variant& storedValue(TMemoryRecordEh* Rec, Integer DataIndex) {
  const TRecDataValues& Values = Rec->Row(dvvValueEh);
  // An index the record lacks raises the records' own bounds error.
  if (DataIndex < 0 || size_t(DataIndex) >= Values.size()) (void)Rec->GetDataValue(DataIndex, dvvValueEh);
  return Values[size_t(DataIndex)];
}
