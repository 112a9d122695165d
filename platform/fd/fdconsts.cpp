#include "platform/fd/fdconsts.h"

void FDException(const String& Msg) { throw EFDException(Msg); }

void FDExceptionFmt(const String& Fmt, std::initializer_list<TVarRec> Args) {
  throw EFDException(Format(Fmt, Args));
}
