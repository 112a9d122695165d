#include "platform/ui/uiunit.h"

#include "platform/ui/application.h"
#include "platform/ui/clipbrd.h"
#include "platform/ui/printers.h"

void InitializeUi() {
  InitializeForms();
  InitializeClipboard();
  InitializePrinter();
}

void FinalizeUi() {
  FinalizePrinter();
  FinalizeClipboard();
  FinalizeForms();
}
