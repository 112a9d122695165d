#include "platform/db/dbunit.h"

#include "platform/db/datasource.h"
#include "platform/db/fieldclasses.h"

void InitializeDb() {
  RegisterFieldClasses();
  RegisterClass(TDataSource::StaticClass());
}

void FinalizeDb() {
  UnRegisterClass(TDataSource::StaticClass());
  UnRegisterFieldClasses();
}
