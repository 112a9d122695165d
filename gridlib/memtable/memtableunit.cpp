#include "gridlib/memtable/memtableunit.h"

#include "gridlib/memtable/datadriver.h"
#include "gridlib/memtable/memtable.h"
#include "gridlib/memtable/refobjectfield.h"

#include <vector>

namespace {

std::vector<TClass> streamableClasses() {
  return {TMemTableEh::StaticClass(), TMemTableDataEh::StaticClass(), TRefObjectField::StaticClass(),
          TDataDriverEh::StaticClass()};
}

}  // namespace

void InitializeGridLibMemTableEh() {
  for (TClass C : streamableClasses()) RegisterClass(C);
}

void FinalizeGridLibMemTableEh() {
  for (TClass C : streamableClasses()) UnRegisterClass(C);
}
