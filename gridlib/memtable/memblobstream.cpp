#include "gridlib/memtable/memblobstream.h"

#include "gridlib/memtable/memtable.h"
#include "platform/db/fieldclasses.h"

namespace {

TBlobField* memTableBlobField(TBlobField* Field) {
  As<TCustomMemTableEh>(Field->DataSet());
  return Field;
}

}  // namespace

TMemBlobStreamEh::TMemBlobStreamEh(TBlobField* Field, TBlobStreamMode Mode)
    : TBlobStream(memTableBlobField(Field), Mode) {}
