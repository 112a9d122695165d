#include "platform/db/dbconsts.h"

#include "platform/db/dbtypes.h"
#include "platform/rtl/component.h"
#include "platform/rtl/format.h"

void DatabaseError(const String& Message, TComponent* Component) {
  if (Component && !Component->Name().isEmpty())
    throw EDatabaseError(Component->Name() + QStringLiteral(": ") + Message);
  throw EDatabaseError(Message);
}

void DatabaseErrorFmt(const String& Fmt, std::initializer_list<TVarRec> Args, TComponent* Component) {
  DatabaseError(Format(Fmt, Args), Component);
}

String FieldTypeName(TFieldType Type) {
  return GetEnumName(EnumTypeInfo(Type), Integer(Type)).mid(2);
}
